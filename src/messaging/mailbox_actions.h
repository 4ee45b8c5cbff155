#pragma once

#include <QString>

namespace tessaro {

class CInbox;
class cOutBox;

// Deletes a received message: its lines leave IN.IDX and Inbox.idx (each index replaced atomically),
// then the body file is removed. Returns false, changing nothing further, when an index cannot be written.
bool DeleteInboxMessage(CInbox& inbox, const QString& diskFileName, QString* error = nullptr);

// Deletes the OUT.IDX lines of a sent message and then its body file.
bool DeleteOutboxMessage(cOutBox& outbox, const QString& outFileName, QString* error = nullptr);

} // namespace tessaro
