#pragma once

#include "messaging/in_idx.h"
#include "messaging/out_idx.h"

#include <QString>
#include <QVector>

namespace tessaro {

class CInbox;

// The mailbox listings of the forms pages: an HTML table of up to count records after skipping skip of
// them, newest first when asked, every value escaped. Empty when count is below 1.
QString OutboxListingHtml(QVector<OutIdxRecord> records, int count, int skip, bool newestFirst);
QString InboxListingHtml(QVector<InIdxRecord> records, int count, int skip, bool newestFirst);

// A stored inbox message with its CR LF line ends as "<br>"; the two-line notice likewise when it is missing.
QString InboxMessageHtml(const CInbox& inbox, const QString& fileName);

} // namespace tessaro
