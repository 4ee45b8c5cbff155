#pragma once

#include "messaging/in_idx.h"
#include "messaging/inbox_idx.h"
#include "messaging/index_file.h"
#include "messaging/message_types.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace tessaro {

class CConfiguration;

// The inbox folder and its two indexes: IN.IDX (":"-separated) and Inbox.idx (STX-separated, feeds the grid).
class CInbox final : public QObject {
    Q_OBJECT
public:
    explicit CInbox(CConfiguration& config, QObject* parent = nullptr) : QObject(parent), m_config(config) {}

    QString folder() const;
    QString inIdxPath() const;    // IN.IDX
    QString inboxIdxPath() const; // Inbox.idx

    // Separate appends, as the reception stores them one after the other. False when the line is not on disk.
    bool AppendInIdx(const InboxRecord& record, FileError* error = nullptr);
    bool AppendInboxIdx(const InboxRecord& record, FileError* error = nullptr);

    // Writes a received body to a new file of the inbox folder (whole or not at all).
    bool SaveBody(const QString& fileName, const QString& text, FileError* error = nullptr);

    // Body of a stored message; the two-line notice (CR LF between its lines) when it is missing.
    QString GetInBoxMessage(const QString& fileName) const;
    // Body of a stored message; nullopt when fileName names no file of the inbox folder.
    std::optional<QString> ReadBody(const QString& fileName) const;

    // The IN.IDX lines that are messages, in file order (only unread ones when unreadOnly).
    QVector<InIdxRecord> ReadRecords(bool unreadOnly = false) const;
    // The same lines split into their 11 positions, kept for the callers that index positions until they
    // read records.
    QVector<QStringList> ReadIndex(bool unreadOnly = false) const;
    // Every line of Inbox.idx that holds a record, short ones included.
    QVector<InboxIdxRecord> ReadInboxRecords() const;

    // Sets the read state of the message stored as diskFileName in both indexes. Returns true when a
    // line changed; the indexes are replaced atomically or left as they were.
    bool MarkAsUnread(const QString& diskFileName) { return SetReadState(diskFileName, false); }
    bool SetReadState(const QString& diskFileName, bool read);

Q_SIGNALS:
    // After every change of either index.
    void changed();
    // A failure to write the store, already worded by the error-message convention.
    void storeError(const QString& message);

private:
    void report(const QString& scope, const FileError& error);
    CConfiguration& m_config;
};

} // namespace tessaro
