#pragma once

#include "messaging/index_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace tessaro {

// One LES of an ocean region's list.
struct LesTableEntry {
    QString id; // three digits
    QString name;
    // "102, Burum", the text the distress windows show.
    QString displayText() const { return id + QStringLiteral(", ") + name; }
    bool operator==(const LesTableEntry&) const = default;
};

// The LES list file of an ocean region (0..3) in the data folder, "les_aorw.dat" and its siblings.
QString LesTableFileName(int ocean);
// The label of an ocean region (0..3) in the list windows: "West:", "East:", "Pacific:", "Indian:".
QString OceanLabel(int ocean);
// The list a region gets when its file is missing.
QVector<LesTableEntry> DefaultLesTable(int ocean);
// The file text of a list: id + "|" + name per line, each ended by CR LF.
QByteArray LesTableBytes(const QVector<LesTableEntry>& entries);
// The region's list as stored; the default list only when the file is missing (an emptied list stays
// empty). Lines without an identifier are skipped. The file is not written here.
QVector<LesTableEntry> ReadLesTable(const QString& dataPath, int ocean);
// Replaces the region's list file whole (atomically).
bool WriteLesTable(const QString& dataPath, int ocean, const QVector<LesTableEntry>& entries,
                   FileError* error = nullptr);
// Whether an identifier may stand in the region's list: three digits whose first is the region.
bool IsLesOfOcean(const QString& id, int ocean);
// The region whose list holds the LES (compared as numbers), or -1.
int OceanOfLes(const QString& dataPath, const QString& les);
// The display text of the LES in the region's list; the identifier alone when the list lacks it.
QString LesDisplayText(const QString& dataPath, int ocean, const QString& les);

// The LESs to offer for sending in an ocean: those the NCS listed (available, identifiers joined by ","),
// named from the ocean's file where it knows them; the ocean's file when no list came.
QVector<LesTableEntry> OfferedLes(const QString& dataPath, int ocean, const QString& available);

// Start-up: writes each of the four LES files and isp.dat that is missing from its default table.
// Returns one text per file that could not be written (empty when all is well).
QStringList WriteMissingListFiles(const QString& dataPath);

// The LES identifiers of a reply to "st -n": the three characters after each "LES id " + STX, numeric ones
// padded to three digits. Anything else in the reply is ignored.
QStringList ParseLesList(const QString& reply);
// The region (0..3) a parsed list belongs to, from its first identifier's first digit; -1 for none.
int OceanOfLesList(const QStringList& ids);

// The services block of one LES in a reply to "status -n": from "LES id " + that number up to the next
// empty line (or the end of the reply). Nothing when the reply has no block for it or les is not a number.
std::optional<QString> FindLesServices(const QString& reply, const QString& les, const QString& lineEnd);

} // namespace tessaro
