#include "shell/outbox_model.h"

#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/outbox.h"
#include "shell/shell_texts.h"

#include <array>

namespace tessaro {

namespace {
constexpr std::array<const char*, 9> kStatusWords = {"Initiated", "Sending",    "Delivered",   "ConfReq", "Conf.Ok",
                                                     "Failed",    "PC Cleared", "MES Cleared", "<None>"};
constexpr int kFirstStatusId = 3001;
const QLatin1String kSearchAndRescue("SEARCH & RESCUE");
} // namespace

OutboxModel::OutboxModel(QObject* parent) : IndexFileModel(u';', OutPos::Count, parent) {
    retranslate();
}

void OutboxModel::retranslate() {
    setColumns({
        {OutPos::Date, ShellText(5153, "Date")},
        {OutPos::Time, ShellText(5154, "Time")},
        {OutPos::Status, ShellText(5150, "Status")},
        {OutPos::ToText, ShellText(5101, "To")},
        {OutPos::Destination, ShellText(5151, "Destination")},
        {OutPos::Subject, ShellText(5103, "Subject")},
        {OutPos::TypeAndBits, ShellText(5152, "Type")},
        {OutPos::Les, ShellText(5106, "LES"), SortKind::Number},
        {OutPos::Size, ShellText(5105, "Size"), SortKind::Number},
        {OutPos::Reference, ShellText(5155, "Reference")},
        {OutPos::FileName, ShellText(5111, "File")},
    });
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString OutboxModel::StatusText(const QString& stored) {
    const QString word = stored.trimmed();
    for (size_t i = 0; i < kStatusWords.size(); ++i) {
        if (word == QLatin1String(kStatusWords[i]))
            return GetText(kFirstStatusId + int(i), word);
    }
    return word;
}

QString OutboxModel::displayText(int column, const QString& value) const {
    const int f = columns()[size_t(column)].field;
    if (f == OutPos::Status || f == OutPos::Reference)
        return StatusText(value);
    return value;
}

QString OutboxModel::sortText(int column, const QString& value) const {
    // "yy-mm-dd": two-digit years below 70 are 20yy.
    if (columns()[size_t(column)].field == OutPos::Date && value.size() >= 2)
        return (Val(value.left(2)) < 70 ? QStringLiteral("20") : QStringLiteral("19")) + value;
    return IndexFileModel::sortText(column, value);
}

void OutboxModel::lineLoaded() {
    const int lines = storedLineCount();
    m_red.assign(size_t(lines), false);
    m_unsent = 0;
    for (int i = 0; i < lines; ++i) {
        m_red[size_t(i)] = storedField(i, OutPos::ToText).trimmed() == kSearchAndRescue;
        const QString status = storedField(i, OutPos::Status).trimmed();
        if (status == QLatin1String("Initiated") || status == QLatin1String("Sending"))
            ++m_unsent;
    }
}

bool OutboxModel::lineRed(int line) const {
    return m_red[size_t(line)];
}

QString OutboxModel::fileName(int row) const {
    return field(row, OutPos::FileName).trimmed();
}

QString OutboxModel::les(int row) const {
    return field(row, OutPos::Les).trimmed();
}

QString OutboxModel::reference(int row) const {
    return field(row, OutPos::Reference).trimmed();
}

QString OutboxModel::status(int row) const {
    return field(row, OutPos::Status).trimmed();
}

} // namespace tessaro
