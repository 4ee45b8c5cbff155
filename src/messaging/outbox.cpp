#include "messaging/outbox.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "messaging/message_store.h"

namespace tessaro {

namespace {
const QLatin1String kSearchAndRescue("SEARCH & RESCUE");
} // namespace

bool IsPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QChar(0));
}

QString MissingBodyText(const QString& name, const QString& lineBreak) {
    return FormatText(QStringLiteral("'%0' Does not exist!"), {name}) + lineBreak +
           QStringLiteral("The file might have been manually deleted by operator.");
}

std::optional<QString> ReadBodyFile(const QString& folder, const QString& name) {
    QString text;
    if (folder.isEmpty() || !IsPlainFileName(name) || !ReadWholeFile(folder + name, &text))
        return std::nullopt;
    return text;
}

QString cOutBox::folder() const {
    return StoreFolderPath(m_config, kOutboxKey);
}

QString cOutBox::indexPath() const {
    return CaseBlindPath(folder(), QStringLiteral("OUT.IDX"));
}

void cOutBox::report(const QString& scope, const FileError& error) {
    Q_EMIT storeError(ErrorMessage(scope, error.number, error.description));
}

void cOutBox::announceChange() {
    Q_EMIT changed();
}

bool cOutBox::SaveMessage(const QString& text, const QString& fileName) {
    if (!IsPlainFileName(fileName))
        return false;
    FileError error;
    if (!WriteWholeFile(folder() + fileName, text.toLatin1(), &error)) {
        report(QStringLiteral("OutBox.SaveMessage"), error);
        return false;
    }
    return true;
}

bool cOutBox::AppendLine(const QStringList& positions) {
    return AppendRecord(OutIdx::fromValues(positions));
}

bool cOutBox::AppendRecord(const OutIdxRecord& record) {
    FileError error;
    if (!AppendIndexLine(indexPath(), OutIdx::format(record), &error)) {
        report(QStringLiteral("OutBox.AppendLine"), error);
        return false;
    }
    announceChange();
    return true;
}

int cOutBox::rewrite(const Matcher& match, const QString& hint, int minValues, bool dropEmpty, const QString& newRefNo,
                     const OutboxStatusWord& newStatus, bool updateAll, const QString& scope) {
    const auto edit = [&](OutIdxRecord& record) {
        if (!newRefNo.isEmpty())
            record.Reference = newRefNo;
        record.Status = newStatus;
    };
    return rewriteWith(match, hint, minValues, dropEmpty, edit, updateAll, scope);
}

int cOutBox::rewriteWith(const Matcher& match, const QString& hint, int minValues, bool dropEmpty,
                         const std::function<void(OutIdxRecord&)>& edit, bool updateAll, const QString& scope) {
    const QString path = indexPath();
    bool ok = false;
    const QStringList lines = ReadIndexLines(path, &ok);
    if (!ok)
        return 0;
    int changedCount = 0;
    QString out;
    out.reserve(qsizetype(lines.size()) * 128);
    for (const QString& line : lines) {
        if (dropEmpty && line.isEmpty())
            continue;
        std::optional<OutIdxRecord> record;
        if ((updateAll || changedCount == 0) && (hint.isEmpty() || line.contains(hint)))
            record = OutIdx::parse(line);
        if (record && record->valueCount >= minValues && match(*record)) {
            edit(*record);
            out += OutIdx::format(*record);
            ++changedCount;
        } else {
            out += line; // copied as it is, whatever it holds
        }
        out += kCrLf;
    }
    if (changedCount == 0)
        return 0; // nothing to change: the index is not touched at all
    FileError error;
    if (!WriteWholeFile(path, out.toLatin1(), &error)) {
        // The old index is still whole; the caller learns that nothing changed.
        report(scope, error);
        return 0;
    }
    announceChange();
    return changedCount;
}

int cOutBox::updateOutBox(const QString& les, const QString& refNo, const QString& oldStatus, const QString& newRefNo,
                          const OutboxStatusWord& newStatus, bool updateAll) {
    const QString ref = refNo.trimmed();
    const QString lesWanted = les.trimmed();
    const qint64 lesValue = Val(lesWanted);
    const QString old = oldStatus.trimmed();
    const Matcher match = [&](const OutIdxRecord& r) {
        if (!ref.isEmpty() && r.Reference.trimmed() != ref)
            return false;
        if (!lesWanted.isEmpty() && r.lesNumber() != lesValue)
            return false;
        return old.isEmpty() || r.Status.text().trimmed() == old;
    };
    // A matching line holds the reference (or the old status) somewhere in its text.
    const QString hint = !ref.isEmpty() ? ref : old;
    return rewrite(match, hint, OutIdx::RequestConfirmation + 1, true, newRefNo, newStatus, updateAll,
                   QStringLiteral("OutBox.UpdateOutBox"));
}

int cOutBox::UpdateOutBox(const QString& les, const QString& refNo, std::optional<OutboxStatus> oldStatus,
                          const QString& newRefNo, const OutboxStatusWord& newStatus, bool updateAll) {
    // The kinds are the stored words, so matching the old status by its word is matching it by kind.
    const QString old = oldStatus ? OutboxStatusWord(*oldStatus).text() : QString();
    return updateOutBox(les, refNo, old, newRefNo, newStatus, updateAll);
}

int cOutBox::UpdateOutBox(const QString& les, const QString& refNo, const QString& oldStatus, const QString& newRefNo,
                          const QString& newStatus, bool updateAll) {
    return updateOutBox(les, refNo, oldStatus, newRefNo, OutboxStatusWord::fromText(newStatus), updateAll);
}

int cOutBox::UpdateOutBoxFile(const QString& fileName, const QString& newRefNo, const OutboxStatusWord& newStatus,
                              bool updateAll) {
    const QString name = fileName.trimmed();
    if (name.isEmpty())
        return 0;
    const Matcher match = [&](const OutIdxRecord& r) { return r.FileName.trimmed() == name; };
    return rewrite(match, name, OutIdx::Status + 1, false, newRefNo, newStatus, updateAll,
                   QStringLiteral("OutBox.UpdateOutBoxFile"));
}

int cOutBox::UpdateOutBoxWhere(OutboxStatus oldStatus, const Matcher& pick, const OutboxStatusWord& newStatus) {
    const OutboxStatusWord old(oldStatus);
    const Matcher match = [&](const OutIdxRecord& r) { return r.Status.text().trimmed() == old.text() && pick(r); };
    return rewrite(match, old.text(), OutIdx::Status + 1, false, {}, newStatus, true,
                   QStringLiteral("OutBox.UpdateOutBoxWhere"));
}

int cOutBox::RenumberSubmissions(const QHash<QString, QString>& outNameByFile) {
    const Matcher match = [&](const OutIdxRecord& r) {
        return (r.Status.kind() == OutboxStatus::Initiated || r.Status.kind() == OutboxStatus::Sending) &&
               outNameByFile.contains(r.FileName.trimmed());
    };
    const auto edit = [&](OutIdxRecord& r) {
        r.Reference = outNameByFile.value(r.FileName.trimmed());
        r.Status = OutboxStatusWord(OutboxStatus::Sending);
    };
    return outNameByFile.isEmpty() ? 0
                                   : rewriteWith(match, {}, OutIdx::Status + 1, false, edit, true,
                                                 QStringLiteral("OutBox.RenumberSubmissions"));
}

int cOutBox::UpdateOutBoxFile(const QString& fileName, const QString& newRefNo, const QString& newStatus,
                              bool updateAll) {
    return UpdateOutBoxFile(fileName, newRefNo, OutboxStatusWord::fromText(newStatus), updateAll);
}

QString cOutBox::GetOutBoxMessage(const QString& fileName) const {
    const QString name = fileName.trimmed();
    return ReadBody(name).value_or(MissingBodyText(name, kCrLf));
}

std::optional<QString> cOutBox::ReadBody(const QString& fileName) const {
    return ReadBodyFile(folder(), fileName);
}

QVector<OutIdxRecord> cOutBox::ReadRecords() const {
    QVector<OutIdxRecord> records;
    const QStringList lines = ReadIndexLines(indexPath());
    records.reserve(lines.size());
    for (const QString& line : lines)
        if (std::optional<OutIdxRecord> r = OutIdx::parse(line))
            records << std::move(*r);
    return records;
}

QVector<QStringList> cOutBox::ReadIndex() const {
    QVector<QStringList> rows;
    const QStringList lines = ReadIndexLines(indexPath());
    rows.reserve(lines.size());
    for (const QString& line : lines)
        if (!line.isEmpty()) // the only line that is no record
            rows << SplitIndexLine(line, OutIdx::kLayout);
    return rows;
}

QString cOutBox::GetIndexValue(const QString& reference, int position) const {
    const QString ref = reference.trimmed();
    for (const OutIdxRecord& r : ReadRecords()) {
        if (r.valueCount > OutIdx::Status && r.Reference.trimmed() == ref)
            return OutIdx::values(r).value(position);
    }
    return FormatText(QStringLiteral("No message with reference '%0' found."), {ref});
}

bool cOutBox::AddDistressAlert(const DistressAlertRecord& alert) {
    OutIdxRecord r;
    r.FileName = alert.OutFileName;
    r.Destination = alert.Destination;
    r.Les = alert.LesNumber == 0 ? QStringLiteral("Auto") : QString::number(alert.LesNumber);
    r.TypeAndBits = alert.Description;
    r.Date = alert.TimeStamp.toString(QStringLiteral("yy-MM-dd"));
    r.Time = alert.TimeStamp.toString(QStringLiteral("HH:mm"));
    r.Size = QStringLiteral("-");
    r.Reference = QStringLiteral("-");
    r.Status = OutboxStatusWord::fromText(alert.Status);
    const QString zero = QStringLiteral("0");
    r.Reserved = r.OptionFlag = zero;
    r.DateParts = {zero, zero};
    r.TimeParts = {zero, zero};
    r.ToText = r.Subject = kSearchAndRescue;
    return AppendRecord(r);
}

} // namespace tessaro
