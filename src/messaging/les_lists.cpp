#include "messaging/les_lists.h"

#include "config/text_util.h"
#include "messaging/provider_list.h"

#include <QFileInfo>

namespace tessaro {

namespace {

constexpr QChar kStx(2);

bool validOcean(int ocean) {
    return ocean >= 0 && ocean <= 3;
}

QString lesPath(const QString& dataPath, int ocean) {
    return CaseBlindPath(dataPath, LesTableFileName(ocean));
}

} // namespace

QString LesTableFileName(int ocean) {
    static const char* const kFiles[] = {"les_aorw.dat", "les_aore.dat", "les_por.dat", "les_ior.dat"};
    return validOcean(ocean) ? QLatin1String(kFiles[ocean]) : QString();
}

QString OceanLabel(int ocean) {
    static const char* const kLabels[] = {"West:", "East:", "Pacific:", "Indian:"};
    return validOcean(ocean) ? QLatin1String(kLabels[ocean]) : QString();
}

QVector<LesTableEntry> DefaultLesTable(int ocean) {
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
    if (!validOcean(ocean))
        return out;
    for (const char* line : kTables[ocean]) {
        if (!line)
            break;
        const QString text = QLatin1String(line);
        out.append({text.section(u'|', 0, 0), text.section(u'|', 1)});
    }
    return out;
}

QByteArray LesTableBytes(const QVector<LesTableEntry>& entries) {
    QByteArray bytes;
    for (const LesTableEntry& e : entries)
        bytes += (e.id + QLatin1Char('|') + e.name + kCrLf).toLatin1();
    return bytes;
}

QVector<LesTableEntry> ReadLesTable(const QString& dataPath, int ocean) {
    if (!validOcean(ocean))
        return {};
    const QString path = lesPath(dataPath, ocean);
    if (!QFileInfo(path).isFile())
        return DefaultLesTable(ocean);
    QString text;
    if (!ReadWholeFile(path, &text))
        return DefaultLesTable(ocean);
    QVector<LesTableEntry> out;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = StripLineEnds(raw).trimmed();
        const qsizetype bar = line.indexOf(u'|');
        if (bar <= 0)
            continue;
        out.append({line.left(bar).trimmed(), line.mid(bar + 1).trimmed()});
    }
    return out;
}

bool WriteLesTable(const QString& dataPath, int ocean, const QVector<LesTableEntry>& entries, FileError* error) {
    if (!validOcean(ocean))
        return false;
    return WriteWholeFile(lesPath(dataPath, ocean), LesTableBytes(entries), error);
}

bool IsLesOfOcean(const QString& id, int ocean) {
    return validOcean(ocean) && id.size() == 3 && IsAllDigits(id) && id.at(0).digitValue() == ocean;
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

QVector<LesTableEntry> OfferedLes(const QString& dataPath, int ocean, const QString& available) {
    const QVector<LesTableEntry> table = ReadLesTable(dataPath, ocean);
    if (available.trimmed().isEmpty())
        return table;
    QVector<LesTableEntry> out;
    for (const QString& raw : available.split(u',', Qt::SkipEmptyParts)) {
        LesTableEntry entry{raw.trimmed(), QString()};
        for (const LesTableEntry& e : table)
            if (e.id == entry.id)
                entry.name = e.name;
        out << entry;
    }
    return out;
}

QStringList WriteMissingListFiles(const QString& dataPath) {
    QStringList failures;
    const auto writeIfMissing = [&](const QString& name, const QByteArray& bytes) {
        const QString path = CaseBlindPath(dataPath, name);
        if (QFileInfo::exists(path))
            return;
        FileError error;
        if (!WriteWholeFile(path, bytes, &error))
            failures << QStringLiteral("File '%1' could not be created: %2.").arg(path, error.description);
    };
    for (int ocean = 0; ocean < 4; ++ocean)
        writeIfMissing(LesTableFileName(ocean), LesTableBytes(DefaultLesTable(ocean)));
    writeIfMissing(QStringLiteral("isp.dat"), ProviderFileBytes(DefaultProviders()));
    return failures;
}

QStringList ParseLesList(const QString& reply) {
    static const QString marker = QStringLiteral("LES id ") + kStx;
    QStringList ids;
    for (qsizetype at = reply.indexOf(marker, 0, Qt::CaseInsensitive); at >= 0;
         at = reply.indexOf(marker, at + 1, Qt::CaseInsensitive)) {
        // The identifier field is three characters; a shorter number ends at ETX or a blank.
        QString digits;
        for (const QChar c : QStringView(reply).mid(at + marker.size(), 3)) {
            if (!c.isDigit())
                break;
            digits += c;
        }
        if (!digits.isEmpty())
            ids << digits.rightJustified(3, u'0');
    }
    return ids;
}

int OceanOfLesList(const QStringList& ids) {
    if (ids.isEmpty())
        return -1;
    const int ocean = ids.first().at(0).digitValue();
    return validOcean(ocean) ? ocean : -1;
}

std::optional<QString> FindLesServices(const QString& reply, const QString& les, const QString& lineEnd) {
    const QString wanted = les.trimmed();
    if (wanted.isEmpty() || !IsAllDigits(wanted))
        return std::nullopt;
    const QString end = lineEnd.isEmpty() ? QString(kCrLf) : lineEnd;
    static const QLatin1String label("LES id");
    for (qsizetype at = reply.indexOf(label, 0, Qt::CaseInsensitive); at >= 0;
         at = reply.indexOf(label, at + 1, Qt::CaseInsensitive)) {
        qsizetype pos = at + label.size();
        const qsizetype blanks = pos;
        while (pos < reply.size() && reply.at(pos) == u' ')
            ++pos;
        qsizetype digitsEnd = pos;
        while (digitsEnd < reply.size() && reply.at(digitsEnd).isDigit())
            ++digitsEnd;
        // A blank must part label and number; "LES id" + STX lines of "st -n" are not blocks.
        if (pos == blanks || digitsEnd == pos || Val(QStringView(reply).mid(pos, digitsEnd - pos)) != Val(wanted))
            continue;
        qsizetype stop = reply.indexOf(end + end, at);
        if (stop < 0) {
            // The last block may run to the end of the reply; the prompt line after it is not part of it.
            stop = reply.lastIndexOf(end);
            if (stop < at)
                stop = reply.size();
        }
        return reply.mid(at, stop - at);
    }
    return std::nullopt;
}

} // namespace tessaro
