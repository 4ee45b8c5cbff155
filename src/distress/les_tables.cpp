#include "distress/les_tables.h"

#include "config/text_util.h"

#include <QFile>

namespace tessaro {

namespace {

QVector<LesTableEntry> DefaultTable(int ocean) {
    static const char* const kTables[4][13] = {
        {"001|Southbury", "002|Burum", "003|Yamaguchi", "004|Eik", "012|Burum", "021|Aussaguel"},
        {"101|Southbury", "102|Burum", "103|Yamaguchi", "104|Eik", "105|Fucino", "112|Burum", "117|Nudol",
         "120|Thermopylae", "121|Aussaguel"},
        {"201|Southbury", "202|Burum", "203|Yamaguchi", "204|Eik", "210|Sentosa", "211|Beijing", "212|Burum",
         "217|Nudol", "221|Aussaguel"},
        {"301|Southbury", "302|Burum", "303|Yamaguchi", "304|Eik", "305|Thermopylae", "306|Arvi", "311|Beijing",
         "312|Burum", "317|Nudol", "321|Aussaguel", "328|Sentosa", "330|Haiphong", "335|Fucino"},
    };
    QVector<LesTableEntry> out;
    for (const char* line : kTables[ocean]) {
        if (!line)
            break;
        const QString text = QLatin1String(line);
        out.append({text.section(u'|', 0, 0), text.section(u'|', 1)});
    }
    return out;
}

} // namespace

QString LesTableFileName(int ocean) {
    static const char* const kFiles[] = {"les_aorw.dat", "les_aore.dat", "les_por.dat", "les_ior.dat"};
    return (ocean < 0 || ocean > 3) ? QString() : QLatin1String(kFiles[ocean]);
}

QVector<LesTableEntry> ReadLesTable(const QString& dataPath, int ocean) {
    if (ocean < 0 || ocean > 3)
        return {};
    QFile file(dataPath + LesTableFileName(ocean));
    QVector<LesTableEntry> out;
    if (file.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
        for (const QString& raw : lines) {
            const QString line = StripLineEnds(raw).trimmed();
            const qsizetype bar = line.indexOf(u'|');
            if (bar <= 0)
                continue;
            out.append({line.left(bar).trimmed(), line.mid(bar + 1).trimmed()});
        }
    }
    return out.isEmpty() ? DefaultTable(ocean) : out;
}

int OceanOfLes(const QString& dataPath, const QString& les) {
    if (!IsNumeric(les.trimmed()))
        return -1;
    const qint64 wanted = Val(les);
    for (int ocean = 0; ocean < 4; ++ocean)
        for (const LesTableEntry& e : ReadLesTable(dataPath, ocean))
            if (IsNumeric(e.id) && Val(e.id) == wanted)
                return ocean;
    return -1;
}

QString LesDisplayText(const QString& dataPath, int ocean, const QString& les) {
    const QString id = les.trimmed();
    if (IsNumeric(id))
        for (const LesTableEntry& e : ReadLesTable(dataPath, ocean))
            if (IsNumeric(e.id) && Val(e.id) == Val(id))
                return e.displayText();
    return id;
}

} // namespace tessaro
