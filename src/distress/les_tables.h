#pragma once

#include <QString>
#include <QVector>

namespace tessaro {

// One LES of an ocean region's list.
struct LesTableEntry {
    QString id; // three digits
    QString name;
    // "102, Burum", the text the distress windows show.
    QString displayText() const { return id + QStringLiteral(", ") + name; }
};

// The LES list file of an ocean region (0..3) in the data folder, "les_aorw.dat" and its siblings.
QString LesTableFileName(int ocean);
// The region's list as stored (id + "|" + name per line); the default list when the file is missing or
// holds no entry. The file is not written here.
QVector<LesTableEntry> ReadLesTable(const QString& dataPath, int ocean);
// The region whose list holds the LES (compared as numbers), or -1.
int OceanOfLes(const QString& dataPath, const QString& les);
// The display text of the LES in the region's list; the identifier alone when the list lacks it.
QString LesDisplayText(const QString& dataPath, int ocean, const QString& les);

} // namespace tessaro
