#include "messaging/inbox.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "messaging/message_store.h"
#include "messaging/outbox.h"

namespace tessaro {

namespace {
const QLatin1Char kColon(':');

// A ":" inside a value would shift every later position of IN.IDX, so values never carry one.
QString inField(const QString& value) {
    return SanitiseIndexField(value, kColon, QLatin1Char('.'));
}

QString boxField(const QString& value) {
    return SanitiseIndexField(value, kInboxIdxSeparator, QLatin1Char(' '));
}

// Inbox.idx field 12 ("0" unread, "255" read) and IN.IDX position 9 ("Yes"/"No").
constexpr int kInboxIdxReadField = 11;
constexpr int kInboxIdxDiskField = 12;
} // namespace

QString CInbox::folder() const {
    return StoreFolderPath(m_config, kInboxKey);
}

QString CInbox::inIdxPath() const {
    return CaseBlindPath(folder(), QStringLiteral("IN.IDX"));
}

QString CInbox::inboxIdxPath() const {
    return CaseBlindPath(folder(), QStringLiteral("Inbox.idx"));
}

QString CInbox::InIdxLine(const InboxRecord& r) {
    const QStringList values = {
        inField(r.ModemFileName),
        QString::number(r.LES),
        QString::number(r.Priority),
        QString::number(r.Bits),
        r.Received.toString(QStringLiteral("yy-MM-dd HH:mm")),
        QString::number(r.Size),
        QString::number(r.Refnumber),
        inField(r.Routing),
        r.Read == 255 ? QStringLiteral("Yes") : QStringLiteral("No"),
        inField(r.DiskFileName),
    };
    return values.join(kColon);
}

QString CInbox::InboxIdxLine(const InboxRecord& r) {
    const QStringList values = {
        boxField(r.ModemFileName),
        QString::number(r.Priority),
        boxField(r.To),
        boxField(r.From),
        boxField(r.Subject),
        r.Received.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        QString::number(r.LES),
        QString::number(r.Bits),
        QString::number(r.Size),
        QString::number(r.Refnumber),
        boxField(r.Routing),
        QString::number(r.Read),
        boxField(r.DiskFileName),
    };
    return values.join(kInboxIdxSeparator);
}

void CInbox::report(const QString& scope, const FileError& error) {
    if (onError)
        onError(ErrorMessage(scope, error.number, error.description));
}

bool CInbox::AppendInIdx(const InboxRecord& record, FileError* error) {
    FileError e;
    const bool ok = AppendIndexLine(inIdxPath(), InIdxLine(record), &e);
    if (error)
        *error = e;
    if (ok && onChanged)
        onChanged();
    return ok;
}

bool CInbox::AppendInboxIdx(const InboxRecord& record, FileError* error) {
    FileError e;
    const bool ok = AppendIndexLine(inboxIdxPath(), InboxIdxLine(record), &e);
    if (error)
        *error = e;
    if (ok && onChanged)
        onChanged();
    return ok;
}

bool CInbox::SaveBody(const QString& fileName, const QString& text, FileError* error) {
    if (!IsPlainFileName(fileName))
        return false;
    return WriteWholeFile(folder() + fileName, text.toLatin1(), error);
}

QString CInbox::GetInBoxMessage(const QString& fileName) const {
    const QString name = fileName.trimmed();
    QString text;
    if (!IsPlainFileName(name) || !ReadWholeFile(folder() + name, &text))
        return MissingBodyText(name, QStringLiteral("<br>"));
    return text.replace(kCrLf, QLatin1String("<br>"));
}

QVector<QStringList> CInbox::ReadIndex(bool unreadOnly) const {
    QVector<QStringList> rows;
    const QStringList lines = ReadIndexLines(inIdxPath());
    rows.reserve(lines.size());
    for (const QString& line : lines) {
        QStringList p = line.split(kColon);
        if (p.size() < InPos::Count)
            continue;
        if (p.size() > InPos::Count) {
            // Only a file name written elsewhere can hold more colons; keep it whole in the last position.
            p[InPos::DiskFileName] = p.mid(InPos::DiskFileName).join(kColon);
            p.resize(InPos::Count);
        }
        if (unreadOnly && p[InPos::Read] != QLatin1String("No"))
            continue;
        rows << p;
    }
    return rows;
}

bool CInbox::SetReadState(const QString& diskFileName, bool read) {
    const QString name = diskFileName.trimmed();
    if (name.isEmpty())
        return false;
    const QString readText = read ? QStringLiteral("Yes") : QStringLiteral("No");

    // IN.IDX: positions 0..8 and 10 kept, position 9 replaced.
    QString inOut;
    int inChanged = 0;
    bool ok = false;
    const QStringList inLines = ReadIndexLines(inIdxPath(), &ok);
    if (!ok)
        return false;
    for (const QString& line : inLines) {
        QStringList p = line.split(kColon);
        if (p.size() >= InPos::Count && p.mid(InPos::DiskFileName).join(kColon).trimmed() == name &&
            p[InPos::Read] != readText) {
            p[InPos::Read] = readText;
            inOut += p.join(kColon);
            ++inChanged;
        } else {
            inOut += line;
        }
        inOut += kCrLf;
    }

    // Inbox.idx feeds the grid, so its read flag follows.
    QString boxOut;
    int boxChanged = 0;
    const QString boxPath = inboxIdxPath();
    const QStringList boxLines = ReadIndexLines(boxPath, &ok);
    const QString flag = read ? QStringLiteral("255") : QStringLiteral("0");
    for (const QString& line : boxLines) {
        QStringList p = line.split(kInboxIdxSeparator);
        if (ok && p.size() > kInboxIdxDiskField && p[kInboxIdxDiskField].trimmed() == name &&
            p[kInboxIdxReadField] != flag) {
            p[kInboxIdxReadField] = flag;
            boxOut += p.join(kInboxIdxSeparator);
            ++boxChanged;
        } else {
            boxOut += line;
        }
        boxOut += kCrLf;
    }

    FileError error;
    if (inChanged > 0 && !WriteWholeFile(inIdxPath(), inOut.toLatin1(), &error)) {
        report(QStringLiteral("Inbox.MarkAsUnread"), error);
        return false;
    }
    if (boxChanged > 0 && !WriteWholeFile(boxPath, boxOut.toLatin1(), &error)) {
        report(QStringLiteral("Inbox.MarkAsUnread"), error);
        return inChanged > 0;
    }
    if ((inChanged > 0 || boxChanged > 0) && onChanged)
        onChanged();
    return inChanged > 0 || boxChanged > 0;
}

QString CInbox::LoadIndexHTML(int count, bool unreadOnly, int skip, bool newestFirst) const {
    if (count < 1)
        return {};
    QVector<QStringList> rows = ReadIndex(unreadOnly);
    if (newestFirst)
        std::reverse(rows.begin(), rows.end());
    QString html = QStringLiteral("<table><tr><th>File</th><th>LES</th><th>Priority</th><th>Received</th>"
                                  "<th>Size</th><th>Ref</th><th>Routing</th><th>Read</th></tr>");
    int shown = 0;
    for (qsizetype i = qMax(0, skip); i < rows.size() && shown < count; ++i, ++shown) {
        const QStringList& p = rows[i];
        const QStringList cells = {p[InPos::DiskFileName],
                                   p[InPos::Les],
                                   PriorityName(int(p[InPos::Priority].toInt())),
                                   p[InPos::DateHour] + kColon + p[InPos::Minutes],
                                   p[InPos::Size],
                                   p[InPos::Refnumber],
                                   p[InPos::Routing],
                                   p[InPos::Read]};
        html += QStringLiteral("<tr>");
        for (const QString& c : cells)
            html += QStringLiteral("<td>") + HtmlEscaped(c) + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace tessaro
