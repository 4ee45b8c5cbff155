#pragma once

#include "egc/egc_types.h"
#include "messaging/index_file.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// EGC.IDX, the EGC index: eleven values joined by ":", the colon of the stored time making twelve positions.
namespace EgcIdx {
enum Pos : int {
    ModemFileName = 0,
    Les, // three digits, "Unk", or plain decimal once repaired
    Service,
    Priority,
    Bits,
    DateHour, // "yyyy-mm-dd hh", or "Unknown"
    Minutes,  // "mm", or empty
    Size,
    RefNo,
    Routing,
    Read, // "No" while unread
    DiskFileName,
    Count
};
// A disk file name written by another program may hold ":"; as the last value it keeps the rest of the line.
inline constexpr IndexLineLayout kLayout{QChar(u':'), Count, true};
inline const QLatin1String kFileName("EGC.IDX");
// The work file of an interrupted rewrite, recovered at start-up.
inline const QLatin1String kWorkFileName("egc.tmp");
} // namespace EgcIdx

// One EGC.IDX line. Text positions are kept as text: the LES and the time have more than one stored form,
// and a line read and written back must keep its bytes.
struct EgcIdxRecord {
    QString ModemFileName;
    QString Les;
    qint16 Service = -1;
    qint16 Priority = -1;
    qint16 Bits = -1;
    QString DateHour;
    QString Minutes;
    qint32 Size = -1;
    qint32 RefNo = -1;
    QString Routing;
    QString Read = QStringLiteral("No");
    QString DiskFileName;
    // The values as the line held them (empty for a record made in code).
    QStringList stored;

    // The LES number, or -1 for "Unk" and anything not numeric.
    qint32 lesNumber() const;
    bool unread() const { return Read.contains(QLatin1String("No")); }
    bool lesUnknown() const { return Les.trimmed() == QLatin1String("Unk"); }
    // Positions 5 and 6 as one value ("2026-12-10 08:15"), or position 5 alone when it is "Unknown".
    QString dateTimeText() const;
};

namespace EgcIdx {
// The record of a split line; nullopt without the twelve positions (such a line is no EGC).
std::optional<EgcIdxRecord> fromValues(const QStringList& values);
std::optional<EgcIdxRecord> parse(const QString& line);
// The line as stored, without its CR LF. A ":" inside a value would shift every later position, so it
// becomes "."; a line break becomes a blank.
QString format(const EgcIdxRecord& record);
// The line of a newly stored EGC: LES as three digits or "Unk", date and time or "Unknown", unread.
EgcIdxRecord fromLog(const EgcLogEntry& entry, const QString& diskFileName);
// A line stored while its log line was missing, filled in from the log: LES and codes as plain decimal,
// date, hour and minutes from the log's date and time; read flag and disk file name stay.
EgcIdxRecord repaired(const EgcIdxRecord& record, const EgcLogEntry& entry);
} // namespace EgcIdx

} // namespace tessaro
