#include "egc/egc_parsers.h"

#include "config/text_util.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace tessaro {

namespace {
const char* const kKnownPrompts[] = {"can0:/$ ", "can1:/$ ", "can2:/$ "};

// Every CR and LF ends a line: a garbled reply's stray CR must not end up inside a value.
QStringList replyLines(const QString& reply) {
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]+"));
    return reply.split(lineEnd);
}

// Characters first..last (1-based, inclusive) trimmed; empty where the line is shorter.
QString columns(const QString& line, int first, int last) {
    return SafeMid(line, first - 1, last - first + 1).trimmed();
}

template <typename T> T clampedVal(QStringView text) {
    return T(std::clamp<qint64>(Val(text), std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

qint16 numberAfterDot(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : clampedVal<qint16>(QStringView(name).mid(dot + 1));
}

EgcFileEntry longLayoutEntry(const QString& line) {
    EgcFileEntry e;
    e.Name = columns(line, 1, 17);
    e.Number = numberAfterDot(e.Name);
    e.Date = EgcCenturyDate(columns(line, 37, 44));
    e.Time = columns(line, 47, 51);
    const qsizetype bytes = line.indexOf(QLatin1String(" bytes"));
    e.Size = clampedVal<qint32>(SafeMid(line, 51, bytes - 51).trimmed());
    return e;
}

EgcFileEntry dosLayoutEntry(const QString& line) {
    EgcFileEntry e;
    e.Name = columns(line, 1, 8);
    const QString extension = columns(line, 10, 12);
    if (!extension.isEmpty()) {
        e.Name += QLatin1Char('.') + extension;
        e.Number = clampedVal<qint16>(extension);
    }
    e.Date = EgcCenturyDate(columns(line, 25, 32));
    e.Time = columns(line, 35, 39);
    // The size column ends in column 22; a size of more than five digits reaches back beyond column 18.
    e.Size = clampedVal<qint32>(columns(line, 13, 22).section(QLatin1Char(' '), -1));
    return e;
}

bool earlier(const EgcFileEntry& a, const EgcFileEntry& b) {
    const QDate da = EgcDate(a.Date);
    const QDate db = EgcDate(b.Date);
    // A date that is no calendar date sorts last, as the unselectable 3000-12-31 of the pick does.
    if (da.isValid() != db.isValid())
        return da.isValid();
    if (da != db)
        return da < db;
    if (a.Time != b.Time)
        return a.Time < b.Time;
    return a.Number < b.Number;
}
} // namespace

QString EgcCenturyDate(const QString& listedDate) {
    if (listedDate.size() < 2 || !listedDate[0].isDigit() || !listedDate[1].isDigit())
        return listedDate;
    const int year = listedDate.left(2).toInt();
    return (year >= 70 ? QStringLiteral("19") : QStringLiteral("20")) + listedDate;
}

QDate EgcDate(const QString& date) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    const QRegularExpressionMatch m = form.match(date.trimmed());
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QDateTime EgcDateTime(const QString& date, const QString& time) {
    const QDate d = EgcDate(date);
    const QTime t = QTime::fromString(time.trimmed(), QStringLiteral("hh:mm"));
    if (!d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t, Qt::UTC);
}

QVector<EgcFileEntry> DecodeEGCFileList(const QString& reply) {
    QVector<EgcFileEntry> list;
    const bool dos = reply.contains(QLatin1String(" bytes free"));
    for (const QString& line : replyLines(reply)) {
        if (dos) {
            if (line.indexOf(QLatin1Char(':')) > 6)
                list << dosLayoutEntry(line);
        } else if (line.indexOf(QLatin1String(" bytes")) > 7) {
            list << longLayoutEntry(line);
        }
    }
    std::stable_sort(list.begin(), list.end(), earlier);
    return list;
}

QVector<EgcFileEntry> NewEgcEntries(const QVector<EgcFileEntry>& sorted, const QString& lastNumber,
                                    const QString& lastDate) {
    if (sorted.size() == 1 && sorted.first().Name.isEmpty())
        return {};
    const QString last = lastDate.trimmed();
    const QDateTime lastTime = EgcDateTime(last.section(QLatin1Char(' '), 0, 0), last.section(QLatin1Char(' '), 1));
    if (!lastTime.isValid() || !IsNumeric(lastNumber))
        return sorted;
    const qint64 number = Val(lastNumber);
    QVector<EgcFileEntry> fresh;
    for (const EgcFileEntry& e : sorted) {
        const QDateTime t = EgcDateTime(e.Date, e.Time);
        if (t.isValid() && (lastTime > t || (lastTime == t && number >= e.Number)))
            continue;
        fresh << e;
    }
    return fresh;
}

QVector<EgcLogEntry> DecodeEgcLog(const QString& reply, bool* found) {
    QVector<EgcLogEntry> log;
    QStringList lines = replyLines(reply);
    const bool echoed = !lines.isEmpty() && lines.first().trimmed() == QLatin1String("st -e") && lines.size() > 1;
    if (found)
        *found = echoed;
    if (!echoed)
        return log;
    lines.removeFirst();
    for (const QString& line : std::as_const(lines)) {
        const QStringList c = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (c.size() != 12 || !c[11].startsWith(QLatin1String("EGC.")))
            continue;
        EgcLogEntry e;
        e.Les = clampedVal<qint16>(c[0]);
        e.Service = clampedVal<qint16>(c[1]);
        e.Priority = clampedVal<qint16>(c[2]);
        e.Bits = clampedVal<qint16>(c[3]);
        e.Date = c[4].size() == 8 ? EgcCenturyDate(c[4]) : c[4];
        e.Time = c[5];
        e.Size = clampedVal<qint32>(c[6]);
        e.RefNo = clampedVal<qint32>(c[7]);
        e.Spare1 = clampedVal<qint16>(c[8]);
        e.Spare2 = clampedVal<qint16>(c[9]);
        e.Routing = c[10];
        e.FileName = c[11];
        log << e;
    }
    return log;
}

bool EgcMarkedForSaving(const QString& logReply, const QString& name) {
    if (name.isEmpty())
        return false;
    for (const QString& line : replyLines(logReply)) {
        if (!line.endsWith(name, Qt::CaseInsensitive))
            continue;
        const qsizetype at = line.size() - name.size();
        if (at < 8)
            continue;
        const QString routing = line.mid(at - 8, 8);
        return routing.contains(QLatin1String("+M"), Qt::CaseInsensitive) ||
               routing.contains(QLatin1String("Mem"), Qt::CaseInsensitive);
    }
    return true;
}

QString ExtractEgcMsgFromBuffer(const QString& reply, const QString& prompt) {
    qsizetype at = 1;
    for (int i = 0; i < 3; ++i) {
        at = reply.indexOf(QLatin1Char('\n'), at);
        if (at < 0)
            return {};
        ++at;
    }
    QString text = reply.mid(at);
    if (!prompt.isEmpty() && text.endsWith(prompt)) {
        text.chop(prompt.size());
        return text;
    }
    for (const char* known : kKnownPrompts) {
        if (text.endsWith(QLatin1String(known))) {
            text.chop(qsizetype(qstrlen(known)));
            break;
        }
    }
    return text;
}

QString EgcNameOfTyReply(const QString& reply) {
    if (reply.size() <= 11)
        return {};
    return reply.mid(3, 7);
}

} // namespace tessaro
