#include "messaging/mailbox_actions.h"

#include "messaging/in_idx.h"
#include "messaging/inbox.h"
#include "messaging/inbox_idx.h"
#include "messaging/index_file.h"
#include "messaging/out_idx.h"
#include "messaging/outbox.h"

#include <QFile>

#include <functional>

namespace tessaro {

namespace {
// Rewrites an index without the lines that match; true when the index is as wanted afterwards. Only lines
// holding hint are asked (a big index is not parsed line by line for one message).
bool dropLines(const QString& path, const QString& hint, const std::function<bool(const QString&)>& matches,
               int* dropped, QString* error) {
    bool ok = false;
    const QStringList lines = ReadIndexLines(path, &ok);
    if (!ok) {
        if (error)
            *error = QStringLiteral("%1 cannot be read.").arg(path);
        return false;
    }
    QByteArray out;
    int n = 0;
    for (const QString& line : lines) {
        if (line.contains(hint) && matches(line)) {
            ++n;
            continue;
        }
        out += line.toLatin1();
        out += "\r\n";
    }
    *dropped += n;
    if (n == 0)
        return true;
    FileError e;
    if (!WriteWholeFile(path, out, &e)) {
        if (error)
            *error = e.description;
        return false;
    }
    return true;
}
} // namespace

bool DeleteInboxMessage(CInbox& inbox, const QString& diskFileName, QString* error) {
    const QString name = diskFileName.trimmed();
    if (!IsPlainFileName(name))
        return false;
    int dropped = 0;
    const bool inOk = dropLines(
        inbox.inIdxPath(), name,
        [&](const QString& line) {
            const std::optional<InIdxRecord> r = InIdx::parse(line);
            return r && r->DiskFileName.trimmed() == name;
        },
        &dropped, error);
    if (!inOk)
        return false;
    const bool boxOk = dropLines(
        inbox.inboxIdxPath(), name,
        [&](const QString& line) {
            const std::optional<InboxIdxRecord> r = InboxIdx::parse(line);
            return r && r->complete() && r->DiskFileName.trimmed() == name;
        },
        &dropped, error);
    if (!boxOk)
        return false;
    // The body goes last: a message whose index lines could not be removed keeps its text.
    QFile::remove(inbox.folder() + name);
    Q_EMIT inbox.changed();
    return dropped > 0;
}

bool DeleteOutboxMessage(cOutBox& outbox, const QString& outFileName, QString* error) {
    const QString name = outFileName.trimmed();
    if (name.isEmpty())
        return false;
    int dropped = 0;
    const bool ok = dropLines(
        outbox.indexPath(), name,
        [&](const QString& line) {
            const std::optional<OutIdxRecord> r = OutIdx::parse(line);
            return r && r->FileName.trimmed() == name;
        },
        &dropped, error);
    if (!ok)
        return false;
    if (IsPlainFileName(name))
        QFile::remove(outbox.folder() + name);
    outbox.announceChange();
    return dropped > 0;
}

} // namespace tessaro
