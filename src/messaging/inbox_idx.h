#pragma once

#include "messaging/index_file.h"
#include "messaging/message_types.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// Inbox.idx, the detail index behind the message grid: the thirteen values of a received message, in this
// order, separated by the control character 2 (STX), without a separator after the last.
namespace InboxIdx {
enum Pos : int {
    ModemFileName = 0,
    Priority,
    To,
    From,
    Subject,
    Received,
    Les,
    Bits,
    Size,
    Refnumber,
    Routing,
    Read,
    DiskFileName,
    Count
};
inline constexpr IndexLineLayout kLayout{QChar(0x02), Count, false};
} // namespace InboxIdx

// One Inbox.idx line, its fields in the order of the line.
struct InboxIdxRecord {
    QString ModemFileName;
    quint8 Priority = 0;
    QString To;
    QString From;
    QString Subject;
    QDateTime Received; // "yyyy-mm-dd hh:nn:ss"
    qint16 LES = 0;
    quint8 Bits = 0;
    qint32 Size = 0;
    qint32 Refnumber = 0;
    QString Routing;
    quint8 Read = 0; // 255 = read; anything below, a damaged value included, is unread so nothing is missed
    QString DiskFileName;

    // Values the line had: a short line is still shown in the grid but never matched by a rewrite.
    int valueCount = InboxIdx::Count;
    QStringList extra; // values after the thirteenth, written back as they were
    // The values as the line held them (empty for a record made in code); format() writes every value the
    // caller left alone back exactly as stored.
    QStringList stored;

    bool complete() const { return valueCount >= InboxIdx::Count; }
    bool isRead() const { return Read == 255; }
};

namespace InboxIdx {
// nullopt for an empty line only; a short line gives a record with the values it has.
std::optional<InboxIdxRecord> parse(const QString& line);
// The line as stored, without its CR LF: the record's values (only the first valueCount), then the extra
// ones. A separator or line break inside a value written here becomes a blank.
QString format(const InboxIdxRecord& record);
InboxIdxRecord fromInbox(const InboxRecord& record);
// The read flag of a stored value ("0" or "255").
quint8 readFlag(QStringView text);
} // namespace InboxIdx

} // namespace tessaro
