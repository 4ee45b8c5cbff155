#include "shell/outbox_model.h"

#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/out_idx.h"
#include "shell/shell_texts.h"

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
    retranslate();
}

void OutboxModel::retranslate() {
    setColumns({
        {OutIdx::Date, ShellText(5153, "Date")},
        {OutIdx::Time, ShellText(5154, "Time")},
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

QString OutboxModel::sortText(int column, const QString& value) const {
    // "yy-mm-dd": two-digit years below 70 are 20yy.
    if (columns()[size_t(column)].field == OutIdx::Date && value.size() >= 2)
        return (Val(value.left(2)) < 70 ? QStringLiteral("20") : QStringLiteral("19")) + value;
    return IndexFileModel::sortText(column, value);
}

void OutboxModel::lineLoaded() {
    const int lines = storedLineCount();
    m_red.assign(size_t(lines), false);
    m_unsent = 0;
    for (int i = 0; i < lines; ++i) {
        m_red[size_t(i)] = storedField(i, OutIdx::ToText).trimmed() == kSearchAndRescue;
        if (IsUnsent(ParseOutboxStatus(storedField(i, OutIdx::Status))))
            ++m_unsent;
    }
}

bool OutboxModel::lineRed(int line) const {
    return m_red[size_t(line)];
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
