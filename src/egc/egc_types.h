#pragma once

#include <QString>
#include <QtGlobal>

namespace tessaro {

// One line of the transceiver's "ls EGC.*" listing.
struct EgcFileEntry {
    QString Name;      // "EGC.012"
    qint16 Number = 0; // the part after the ".", 0 without one
    qint32 Size = 0;
    QString Date; // year first, four-digit year ("2026-12-10")
    QString Time; // "hh:mm"
    bool operator==(const EgcFileEntry&) const = default;
};

// One line of the "st -e" EGC log: twelve columns.
struct EgcLogEntry {
    qint16 Les = -1;
    qint16 Service = -1;
    qint16 Priority = -1; // 0 Routine, 1 Safety, 2 Urgent, 3 Distress
    qint16 Bits = -1;     // 0 IA5 7-bit, 6 telex 5-bit, 7 8-bit data
    QString Date;         // four-digit year once read; "Unknown" when built without a log line
    QString Time;         // "hh:mm" or "Unknown"
    qint32 Size = -1;
    qint32 RefNo = -1;
    qint16 Spare1 = -1; // read and not interpreted
    qint16 Spare2 = -1;
    QString Routing = QStringLiteral("Unknown"); // holds "+M" or "Mem" when marked for saving
    QString FileName;                            // "EGC.012"
    bool operator==(const EgcLogEntry&) const = default;
};

} // namespace tessaro
