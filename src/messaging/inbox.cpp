#include "messaging/inbox.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "messaging/message_store.h"
#include "messaging/outbox.h"

namespace tessaro {

QString CInbox::folder() const {
    return StoreFolderPath(m_config, kInboxKey);
}

QString CInbox::inIdxPath() const {
    return CaseBlindPath(folder(), QStringLiteral("IN.IDX"));
}

QString CInbox::inboxIdxPath() const {
    return CaseBlindPath(folder(), QStringLiteral("Inbox.idx"));
}

void CInbox::report(const QString& scope, const FileError& error) {
    Q_EMIT storeError(ErrorMessage(scope, error.number, error.description));
}

bool CInbox::AppendInIdx(const InboxRecord& record, FileError* error) {
    FileError e;
    const bool ok = AppendIndexLine(inIdxPath(), InIdx::format(InIdx::fromInbox(record)), &e);
    if (error)
        *error = e;
    if (ok)
        Q_EMIT changed();
    return ok;
}

bool CInbox::AppendInboxIdx(const InboxRecord& record, FileError* error) {
    FileError e;
    const bool ok = AppendIndexLine(inboxIdxPath(), InboxIdx::format(InboxIdx::fromInbox(record)), &e);
    if (error)
        *error = e;
    if (ok)
        Q_EMIT changed();
    return ok;
}

bool CInbox::SaveBody(const QString& fileName, const QString& text, FileError* error) {
    if (!IsPlainFileName(fileName))
        return false;
    return WriteWholeFile(folder() + fileName, text.toLatin1(), error);
}

QString CInbox::GetInBoxMessage(const QString& fileName) const {
    const QString name = fileName.trimmed();
    return ReadBody(name).value_or(MissingBodyText(name, kCrLf));
}

std::optional<QString> CInbox::ReadBody(const QString& fileName) const {
    return ReadBodyFile(folder(), fileName);
}

QVector<InIdxRecord> CInbox::ReadRecords(bool unreadOnly) const {
    QVector<InIdxRecord> records;
    const QStringList lines = ReadIndexLines(inIdxPath());
    records.reserve(lines.size());
    for (const QString& line : lines) {
        std::optional<InIdxRecord> r = InIdx::parse(line);
        if (r && !(unreadOnly && r->Read))
            records << std::move(*r);
    }
    return records;
}

QVector<QStringList> CInbox::ReadIndex(bool unreadOnly) const {
    // Positions only: these callers need no typed values, whose local times cost most of reading records.
    QVector<QStringList> rows;
    const QStringList lines = ReadIndexLines(inIdxPath());
    rows.reserve(lines.size());
    for (const QString& line : lines) {
        QStringList values = SplitIndexLine(line, InIdx::kLayout);
        if (values.size() == InIdx::Count && !(unreadOnly && InIdx::isRead(values[InIdx::Read])))
            rows << std::move(values);
    }
    return rows;
}

QVector<InboxIdxRecord> CInbox::ReadInboxRecords() const {
    QVector<InboxIdxRecord> records;
    const QStringList lines = ReadIndexLines(inboxIdxPath());
    records.reserve(lines.size());
    for (const QString& line : lines)
        if (std::optional<InboxIdxRecord> r = InboxIdx::parse(line))
            records << std::move(*r);
    return records;
}

namespace {
// The index text with the lines that change() changed; *changed counts them. Only lines holding hint are
// parsed (a rewrite of a big index stays quick); the others, and lines that are no record or that change()
// leaves alone, are copied as they are.
template <typename Record>
QString rewriteLines(const QStringList& lines, const QString& hint, std::optional<Record> (*parse)(const QString&),
                     QString (*format)(const Record&), const std::function<bool(Record&)>& change, int* changed) {
    QString out;
    out.reserve(lines.size() * 100);
    for (const QString& line : lines) {
        std::optional<Record> r = line.contains(hint) ? parse(line) : std::nullopt;
        if (r && change(*r)) {
            out += format(*r);
            ++*changed;
        } else {
            out += line;
        }
        out += kCrLf;
    }
    return out;
}
} // namespace

bool CInbox::SetReadState(const QString& diskFileName, bool read) {
    const QString name = diskFileName.trimmed();
    if (name.isEmpty())
        return false;

    bool ok = false;
    const QStringList inLines = ReadIndexLines(inIdxPath(), &ok);
    if (!ok)
        return false;
    int inChanged = 0;
    const QString inOut = rewriteLines<InIdxRecord>(
        inLines, name, InIdx::parse, InIdx::format,
        [&](InIdxRecord& r) {
            if (r.DiskFileName.trimmed() != name || r.Read == read)
                return false;
            r.Read = read;
            return true;
        },
        &inChanged);

    // Inbox.idx feeds the grid, so its read flag follows.
    const QString boxPath = inboxIdxPath();
    const QStringList boxLines = ReadIndexLines(boxPath, &ok);
    int boxChanged = 0;
    const QString boxOut = !ok ? QString()
                               : rewriteLines<InboxIdxRecord>(
                                     boxLines, name, InboxIdx::parse, InboxIdx::format,
                                     [&](InboxIdxRecord& r) {
                                         if (!r.complete() || r.DiskFileName.trimmed() != name || r.isRead() == read)
                                             return false;
                                         r.Read = read ? 255 : 0;
                                         return true;
                                     },
                                     &boxChanged);

    FileError error;
    if (inChanged > 0 && !WriteWholeFile(inIdxPath(), inOut.toLatin1(), &error)) {
        report(QStringLiteral("Inbox.MarkAsUnread"), error);
        return false;
    }
    if (boxChanged > 0 && !WriteWholeFile(boxPath, boxOut.toLatin1(), &error)) {
        report(QStringLiteral("Inbox.MarkAsUnread"), error);
        return inChanged > 0;
    }
    if (inChanged > 0 || boxChanged > 0)
        Q_EMIT changed();
    return inChanged > 0 || boxChanged > 0;
}

} // namespace tessaro
