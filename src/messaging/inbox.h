#pragma once

#include "messaging/index_file.h"
#include "messaging/message_types.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace tessaro {

class CConfiguration;

// Positions of an IN.IDX line after splitting on ":" (the received time's own colon makes 11 of 10 values).
namespace InPos {
enum : int {
    ModemFileName = 0,
    Les = 1,
    Priority = 2,
    Bits = 3,
    DateHour = 4,
    Minutes = 5,
    Size = 6,
    Refnumber = 7,
    Routing = 8,
    Read = 9,
    DiskFileName = 10,
    Count = 11
};
}

inline const QChar kInboxIdxSeparator(0x02);

// The inbox folder and its two indexes: IN.IDX (":"-separated) and Inbox.idx (STX-separated, feeds the grid).
class CInbox final {
public:
    explicit CInbox(CConfiguration& config) : m_config(config) {}

    QString folder() const;
    QString inIdxPath() const;    // IN.IDX
    QString inboxIdxPath() const; // Inbox.idx

    // The two index lines of a record, exactly as stored (without CR LF).
    static QString InIdxLine(const InboxRecord& record);
    static QString InboxIdxLine(const InboxRecord& record);

    // Separate appends, as the reception stores them one after the other. False when the line is not on disk.
    bool AppendInIdx(const InboxRecord& record, FileError* error = nullptr);
    bool AppendInboxIdx(const InboxRecord& record, FileError* error = nullptr);

    // Writes a received body to a new file of the inbox folder (whole or not at all).
    bool SaveBody(const QString& fileName, const QString& text, FileError* error = nullptr);

    // Body of a stored message with CR LF as "<br>", or the two-line notice when it is missing.
    QString GetInBoxMessage(const QString& fileName) const;

    // The 11 positions of every IN.IDX line that has them (only unread lines when unreadOnly).
    QVector<QStringList> ReadIndex(bool unreadOnly = false) const;

    // Sets the read state of the message stored as diskFileName in both indexes. Returns true when a
    // line changed; the indexes are replaced atomically or left as they were.
    bool MarkAsUnread(const QString& diskFileName) { return SetReadState(diskFileName, false); }
    bool SetReadState(const QString& diskFileName, bool read);

    // An HTML table of up to count lines (only unread ones when unreadOnly), skipping skip lines.
    QString LoadIndexHTML(int count, bool unreadOnly, int skip, bool newestFirst) const;

    std::function<void()> onChanged;
    std::function<void(const QString& message)> onError;

private:
    void report(const QString& scope, const FileError& error);
    CConfiguration& m_config;
};

} // namespace tessaro
