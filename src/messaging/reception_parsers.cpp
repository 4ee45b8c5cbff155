#include "messaging/reception_parsers.h"

#include "config/text_util.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace tessaro {

namespace {
qint64 bound(qint64 low, qint64 value, qint64 high) {
    return std::clamp(value, low, high);
}

// Lines of a reply at any line end (LF, CR LF, CR CR LF, or a stray CR), so no value cut from a line
// can carry a CR or LF.
QStringList replyLines(const QString& reply) {
    static const QRegularExpression lineEnds(QStringLiteral("[\r\n]+"));
    return reply.split(lineEnds);
}

// 1-based columns as the layouts are documented.
QString cols(const QString& line, int first, int width) {
    return SafeMid(line, first - 1, width);
}

QDateTime dateWithTime(const QString& date, const QString& hour, const QString& minute) {
    const QDate d = ParseShortDate(date.trimmed());
    if (!d.isValid())
        return {};
    const int h = int(bound(0, Val(hour), 23));
    const int m = int(bound(0, Val(minute), 59));
    return QDateTime(d, QTime(h, m));
}

qint32 toInt32(qint64 v) {
    return qint32(bound(std::numeric_limits<qint32>::min(), v, std::numeric_limits<qint32>::max()));
}

// Reception log columns: (first column, width) in record order.
struct Column {
    int first;
    int width;
};
enum LogField { Les, Code1, Priority, Presentation, Date, Hours, Minutes, Size, Ref, Code2, Routing, FileName, Count };
constexpr Column kLogColumns[Count] = {{1, 3},  {6, 1},  {8, 1},  {10, 1}, {12, 8}, {22, 2},
                                       {25, 2}, {28, 5}, {34, 8}, {43, 1}, {45, 8}, {54, 6}};
} // namespace

QDate ParseShortDate(QStringView text) {
    const QList<QStringView> parts = text.trimmed().split(u'-');
    if (parts.size() != 3 || !IsNumeric(parts[0]) || !IsNumeric(parts[1]) || !IsNumeric(parts[2]))
        return {};
    const int yy = int(Val(parts[0]));
    if (yy < 0 || yy > 99)
        return {};
    return QDate(yy < 70 ? 2000 + yy : 1900 + yy, int(Val(parts[1])), int(Val(parts[2])));
}

QVector<ListingRecord> ParseMessageListing(const QString& reply) {
    QVector<ListingRecord> records;
    const QStringList lines = replyLines(reply);
    if (reply.contains(QLatin1String(" bytes free"))) {
        for (const QString& line : lines) {
            if (line.indexOf(QLatin1Char(':'), 7) < 0)
                continue;
            ListingRecord r;
            r.name = cols(line, 1, 8).trimmed();
            r.extension = cols(line, 10, 3).trimmed();
            r.size = toInt32(Val(cols(line, 18, 5)));
            r.dateTime = dateWithTime(cols(line, 25, 8), cols(line, 35, 2), cols(line, 38, 2));
            records << r;
        }
        return records;
    }
    for (const QString& line : lines) {
        const qsizetype bytes = line.indexOf(QLatin1String(" bytes"), 8);
        if (bytes < 0)
            continue;
        ListingRecord r;
        r.name = cols(line, 1, 13).trimmed();
        if (SafeMid(line, 13, 1) == QLatin1String("."))
            r.extension = cols(line, 15, 3).trimmed();
        else if (r.name.contains(QLatin1Char('.'))) {
            // A name written whole ("IN.12") rather than in the two columns.
            r.extension = r.name.section(QLatin1Char('.'), 1);
            r.name = r.name.section(QLatin1Char('.'), 0, 0);
        }
        r.dateTime = dateWithTime(cols(line, 37, 8), cols(line, 47, 2), cols(line, 50, 2));
        r.size = bytes > 51 ? toInt32(Val(SafeMid(line, 51, bytes - 51).trimmed())) : 0;
        records << r;
    }
    return records;
}

QVector<ReceptionLogRecord> ParseReceptionLog(const QString& reply) {
    QVector<ReceptionLogRecord> records;
    for (const QString& line : replyLines(reply)) {
        if (!line.contains(QLatin1String("IN.")))
            continue;
        QString f[Count];
        for (int i = 0; i < Count; ++i)
            f[i] = cols(line, kLogColumns[i].first, kLogColumns[i].width);
        ReceptionLogRecord r;
        r.les = qint16(bound(0, Val(f[Les]), 32767));
        r.code1 = int(Val(f[Code1]));
        const qint64 priority = Val(f[Priority]);
        // Only the four priorities exist; anything else is read as routine rather than stored as is.
        r.priority = quint8(priority >= 0 && priority <= 3 ? priority : 0);
        r.presentation = quint8(bound(0, Val(f[Presentation]), 255));
        const QDate d = ParseShortDate(f[Date]);
        if (d.isValid())
            r.received = QDateTime(d, QTime(0, 0))
                             .addSecs(bound(0, Val(f[Hours]), 99) * 3600 + bound(0, Val(f[Minutes]), 99) * 60);
        r.size = toInt32(Val(f[Size]));
        r.refNumber = toInt32(Val(f[Ref]));
        r.code2 = int(Val(f[Code2]));
        r.routing = f[Routing].trimmed();
        r.fileName = f[FileName].trimmed();
        records << r;
    }
    return records;
}

} // namespace tessaro
