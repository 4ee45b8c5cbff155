#include "shell/egc_model.h"

#include "egc/egc_codes.h"
#include "shell/shell_texts.h"

#include <QDir>
#include <QFileInfo>

namespace tessaro {

namespace {
const QLatin1String kUnknown("Unknown");
} // namespace

EgcModel::EgcModel(QObject* parent) : IndexFileModel(EgcIdx::kLayout, parent) {
    setFileNameField(EgcIdx::DiskFileName);
    retranslate();
    sort(DateTime, Qt::AscendingOrder);
}

void EgcModel::retranslate() {
    setColumns({
        {EgcIdx::DiskFileName, ShellText(2666, "Disk Filename")},
        {EgcIdx::ModemFileName, ShellText(2667, "Modem Filename")},
        {EgcIdx::Les, ShellText(306, "LES"), SortKind::Number},
        {EgcIdx::Service, ShellText(320, "Service")},
        {EgcIdx::Priority, ShellText(300, "Priority"), SortKind::Number},
        {EgcIdx::Bits, ShellText(307, "Bits")},
        {EgcIdx::DateHour, ShellText(2668, "Date & Time"), SortKind::DateTime},
        {EgcIdx::Size, ShellText(305, "Size"), SortKind::Number},
        {EgcIdx::RefNo, ShellText(2669, "Ref.No."), SortKind::Number},
        {EgcIdx::Routing, ShellText(321, "Routing")},
    });
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void EgcModel::open(const QString& indexPath) {
    if (!indexPath.isEmpty() && !QFileInfo::exists(indexPath)) {
        QDir().mkpath(QFileInfo(indexPath).absolutePath());
        WriteWholeFile(indexPath, {}); // a failure shows as an empty grid; the store reports its own errors
    }
    setFile(indexPath);
}

void EgcModel::appendStored(const EgcIdxRecord& record) {
    const QString name = record.DiskFileName.trimmed();
    for (int line = 0; line < storedLineCount(); ++line)
        if (lineShown(line) &&
            storedField(line, EgcIdx::DiskFileName).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return;
    appendLine(EgcIdx::format(record));
}

std::optional<EgcIdxRecord> EgcModel::record(int row) const {
    const int line = lineOfRow(row);
    if (line < 0)
        return std::nullopt;
    return EgcIdx::parse(storedLine(line));
}

bool EgcModel::isUnread(int row) const {
    const int line = lineOfRow(row);
    return line >= 0 && lineBold(line);
}

bool EgcModel::isAlarmPriority(int row) const {
    const int line = lineOfRow(row);
    return line >= 0 && lineMark(line) == RowMark::Alarm;
}

QString EgcModel::displayText(int column, const QString& value) const {
    // The stored codes are trimmed and read as numbers before they are looked up.
    switch (column) {
    case Les:
        return EgcLesText(QStringView(value));
    case Service:
        return ConvertEGCServiceNo(IndexNumber<qint16>(value));
    case Priority:
        return ConvertEGCPriorityNo(IndexNumber<qint16>(value));
    case Bits:
        return ConvertEGCLanguage(IndexNumber<qint16>(value));
    default:
        return value;
    }
}

QString EgcModel::lineCellText(int line, int column) const {
    if (column != DateTime)
        return IndexFileModel::lineCellText(line, column);
    if (const std::optional<IndexTime> t = lineTime(line, column))
        return IndexTimeText(*t);
    // Not a time of ours: date and hour, then the minutes, as stored.
    const QStringView date = storedFieldView(line, EgcIdx::DateHour).trimmed();
    if (date == kUnknown)
        return date.toString();
    const QStringView minutes = storedFieldView(line, EgcIdx::Minutes).trimmed();
    QString text;
    text.reserve(date.size() + 1 + minutes.size());
    text.append(date).append(QLatin1Char(':')).append(minutes);
    return text;
}

std::optional<IndexTime> EgcModel::lineTime(int line, int column) const {
    if (column != DateTime)
        return IndexFileModel::lineTime(line, column);
    // Date and hour, then the minutes: the time's colon split them into two positions.
    return ParseIndexTime(storedFieldView(line, EgcIdx::DateHour).trimmed(), u':',
                          storedFieldView(line, EgcIdx::Minutes).trimmed());
}

bool EgcModel::lineShown(int line) const {
    return lineComplete(line);
}

bool EgcModel::lineBold(int line) const {
    return storedFieldView(line, EgcIdx::Read).contains(QLatin1String("No"));
}

IndexFileModel::RowMark EgcModel::lineMark(int line) const {
    return EgcPriorityRaisesAlarm(IndexNumber<qint16>(storedFieldView(line, EgcIdx::Priority))) ? RowMark::Alarm
                                                                                                : RowMark::None;
}

} // namespace tessaro
