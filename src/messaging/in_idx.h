#pragma once

#include "messaging/index_file.h"
#include "messaging/message_types.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// IN.IDX, the inbox index that the reception appends to and the forms server lists: ten values joined by
// ":", the received time's own colon making eleven positions.
namespace InIdx {
enum Pos : int {
    ModemFileName = 0,
    Les,
    Priority,
    Bits,
    DateHour, // "yy-mm-dd hh"
    Minutes,  // "nn"
    Size,
    Refnumber,
    Routing,
    Read, // "Yes" / "No"
    DiskFileName,
    Count
};
// A file name written by another program may hold ":"; as the last value it keeps the rest of the line.
inline constexpr IndexLineLayout kLayout{QChar(u':'), Count, true};
} // namespace InIdx

// One IN.IDX line.
struct InIdxRecord {
    QString ModemFileName;
    qint16 LES = 0;
    quint8 Priority = 0;
    quint8 Bits = 0;    // received Bits code
    QDateTime Received; // to the minute
    qint32 Size = 0;
    qint32 Refnumber = 0;
    QString Routing;
    bool Read = false; // only "No" is unread, as the unread listings have always taken it
    QString DiskFileName;
    // The values as the line held them (empty for a record made in code); format() writes every value the
    // caller left alone back exactly as stored.
    QStringList stored;
};

namespace InIdx {
// The record of a split line; nullopt without the eleven positions (such a line is no message).
std::optional<InIdxRecord> fromValues(const QStringList& values);
std::optional<InIdxRecord> parse(const QString& line);
// The line as stored, without its CR LF. A ":" in a value written here would shift every later position, so
// it becomes "."; a line break becomes a blank. A record without a valid Received time gives a line
// without the time's colon, which no reader accepts.
QString format(const InIdxRecord& record);
// The eleven positions of the line format() writes.
QStringList values(const InIdxRecord& record);
// The read flag of a stored Read value.
bool isRead(QStringView value);
// The line of a received message; unread unless the record is marked read (255).
InIdxRecord fromInbox(const InboxRecord& record);
} // namespace InIdx

} // namespace tessaro
