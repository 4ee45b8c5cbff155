#pragma once

#include "egc/egc_types.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

namespace tessaro {

// Parsers of the EGC fetch cycle's replies: reply text in, values out. Lines end at any run of CR and LF
// (LF, CR LF, CR CR LF), so the parsers work before the shell's line end is known.

// A listed two-digit-year date ("26-12-10") with its century: "19" for years 70 and above, else "20".
// Text that does not start with two digits is returned unchanged.
QString EgcCenturyDate(const QString& listedDate);
// A year-first date ("2026-12-10", any single separator); invalid when it is no calendar date.
QDate EgcDate(const QString& date);
// Date + " " + "hh:mm" as one moment; invalid when either part is.
QDateTime EgcDateTime(const QString& date, const QString& time);

// The "ls EGC.*" listing, oldest first (date, then time, then number). Both layouts: the long one (name in
// columns 1-17, date 37-44, time 47-51, size up to " bytes") and the DOS one that ends with " bytes free"
// (name 1-8, extension 10-12, size ending in column 22, date 25-32, time 35-39).
QVector<EgcFileEntry> DecodeEGCFileList(const QString& reply);

// The entries of a sorted listing that are newer than the last EGC handled ("[LastEgcNumber]",
// "[LastEgcDate]"); every entry when those do not hold a valid number and date.
QVector<EgcFileEntry> NewEgcEntries(const QVector<EgcFileEntry>& sorted, const QString& lastNumber,
                                    const QString& lastDate);

// The "st -e" table after its echo line: lines of exactly twelve blank-separated columns whose last
// starts with "EGC.". found is false when the reply has no "st -e" echo.
QVector<EgcLogEntry> DecodeEgcLog(const QString& reply, bool* found = nullptr);

// Whether the routing column in front of name in an "st -e" reply marks the EGC for saving ("+M" or
// "Mem" in the 8 characters before the name). An EGC the table does not show counts as marked: it is
// fetched and its index line repaired later.
bool EgcMarkedForSaving(const QString& logReply, const QString& name);

// The EGC text of a "ty" reply: the three lines in front of it (echo, file header, empty line) dropped,
// and the final prompt. A reply with fewer lines gives an empty text.
QString ExtractEgcMsgFromBuffer(const QString& reply, const QString& prompt);

// The transceiver file name echoed by a "ty" reply (characters 4-10: "EGC.012"); empty when the reply is
// not longer than 11 characters.
QString EgcNameOfTyReply(const QString& reply);

} // namespace tessaro
