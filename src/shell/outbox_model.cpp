#include "shell/outbox_model.h"

#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/out_idx.h"
#include "shell/shell_texts.h"

#include <QApplication>
#include <QStyle>

#include <array>

namespace tessaro {

namespace {
// The words the operator sees in his language (string table 3001..3008); other spellings, such as "Conf.OK"
// or a failure with its code, are shown as stored.
constexpr std::array<OutboxStatus, 8> kTranslatedStatuses = {
    OutboxStatus::Initiated, OutboxStatus::Sending, OutboxStatus::Delivered, OutboxStatus::ConfReq,
    OutboxStatus::ConfOk,    OutboxStatus::Failed,  OutboxStatus::PcCleared, OutboxStatus::MesCleared};
constexpr int kFirstStatusId = 3001;
constexpr int kNoReferenceId = 3009;
const QLatin1String kSearchAndRescue("SEARCH & RESCUE");
} // namespace

OutboxModel::OutboxModel(QObject* parent) : IndexFileModel(OutIdx::kLayout, parent) {
    setFileNameField(OutIdx::FileName);
    retranslate();
}

void OutboxModel::retranslate() {
    setColumns({
        // Date and time in one column, as the inbox and the EGC grid show them.
        {OutIdx::Date, ShellText(2668, "Date & Time"), SortKind::DateTime},
        {OutIdx::Status, ShellText(5150, "Status")},
        {OutIdx::ToText, ShellText(5101, "To")},
        {OutIdx::Destination, ShellText(5151, "Destination")},
        {OutIdx::Subject, ShellText(5103, "Subject")},
        {OutIdx::TypeAndBits, ShellText(5152, "Type")},
        {OutIdx::Les, ShellText(5106, "LES"), SortKind::Number},
        {OutIdx::Size, ShellText(5105, "Size"), SortKind::Number},
        {OutIdx::Reference, ShellText(5155, "Reference")},
        {OutIdx::FileName, ShellText(5111, "File")},
    });
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString OutboxModel::StatusText(const QString& stored) {
    const QString word = stored.trimmed();
    if (word == kNoReference)
        return GetText(kNoReferenceId, word);
    const OutboxStatus status = ParseOutboxStatus(word);
    for (size_t i = 0; i < kTranslatedStatuses.size(); ++i) {
        if (status == kTranslatedStatuses[i])
            return GetText(kFirstStatusId + int(i), word);
    }
    return word;
}

QString OutboxModel::displayText(int column, const QString& value) const {
    const int f = columns()[size_t(column)].field;
    if (f == OutIdx::Status || f == OutIdx::Reference)
        return StatusText(value);
    return value;
}

std::optional<IndexTime> OutboxModel::lineTime(int line, int column) const {
    if (columns()[size_t(column)].field != OutIdx::Date)
        return IndexFileModel::lineTime(line, column);
    // "yy-mm-dd" and "hh:mm" in two positions.
    return ParseIndexTime(storedFieldView(line, OutIdx::Date).trimmed(), u' ',
                          storedFieldView(line, OutIdx::Time).trimmed());
}

QString OutboxModel::lineCellText(int line, int column) const {
    if (columns()[size_t(column)].field != OutIdx::Date)
        return IndexFileModel::lineCellText(line, column);
    if (const std::optional<IndexTime> t = lineTime(line, column))
        return IndexTimeText(*t);
    // Not a date of ours: both values as stored.
    const QStringView date = storedFieldView(line, OutIdx::Date).trimmed();
    const QStringView time = storedFieldView(line, OutIdx::Time).trimmed();
    return time.isEmpty() ? date.toString() : date.toString() + u' ' + time.toString();
}

void OutboxModel::lineLoaded() {
    const int lines = storedLineCount();
    m_marks.assign(size_t(lines), RowMark::None);
    m_unsent = 0;
    for (int i = 0; i < lines; ++i) {
        const OutboxStatus status = ParseOutboxStatus(storedFieldView(i, OutIdx::Status));
        if (storedFieldView(i, OutIdx::ToText).trimmed() == kSearchAndRescue)
            m_marks[size_t(i)] = RowMark::Alarm;
        else if (status == OutboxStatus::Failed || status == OutboxStatus::FailedWithCode)
            m_marks[size_t(i)] = RowMark::Failed;
        if (IsUnsent(status))
            ++m_unsent;
    }
}

IndexFileModel::RowMark OutboxModel::lineMark(int line) const {
    return m_marks[size_t(line)];
}

QVariant OutboxModel::data(const QModelIndex& index, int role) const {
    // A failed transmission also shows a sign beside its status, for who does not tell the colours apart.
    if (role == Qt::DecorationRole && index.isValid() && size_t(index.column()) < columns().size() &&
        columns()[size_t(index.column())].field == OutIdx::Status && rowMark(index.row()) == RowMark::Failed) {
        if (m_failedIcon.isNull())
            m_failedIcon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return m_failedIcon;
    }
    return IndexFileModel::data(index, role);
}

QString OutboxModel::fileName(int row) const {
    return field(row, OutIdx::FileName).trimmed();
}

QString OutboxModel::les(int row) const {
    return field(row, OutIdx::Les).trimmed();
}

QString OutboxModel::reference(int row) const {
    return field(row, OutIdx::Reference).trimmed();
}

QString OutboxModel::status(int row) const {
    return field(row, OutIdx::Status).trimmed();
}

} // namespace tessaro
