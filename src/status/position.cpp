#include "status/position.h"

#include "config/text_util.h"
#include "status/reply_fields.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace tessaro {

namespace {

std::optional<quint8> byteValue(const QString& piece) {
    const qint64 v = Val(piece);
    if (v < 0 || v > 255)
        return std::nullopt;
    return quint8(v);
}

std::optional<qint16> shortValue(const QString& text) {
    if (!IsNumeric(text))
        return std::nullopt;
    const double v = std::nearbyint(text.trimmed().toDouble());
    if (!(v >= -32768.0 && v <= 32767.0))
        return std::nullopt;
    return qint16(v);
}

constexpr std::array<const char*, 4> kPositionLabels = {"Position : ", "Course   : ", " at ", "Speed    : "};

bool endsWithMainPrompt(const QString& text) {
    for (const char* p : {"can0:/$ ", "can1:/$ ", "can2:/$ "}) {
        if (text.endsWith(QLatin1StringView(p)))
            return true;
    }
    return false;
}

} // namespace

std::optional<PositionPieces> SplitPosition(const QString& position) {
    const QStringList pieces = position.split(QLatin1Char(' '));
    if (pieces.size() != 8)
        return std::nullopt;
    PositionPieces p;
    const std::array<quint8*, 6> numbers = {&p.latDegrees, &p.latMinutes, &p.latFraction,
                                            &p.lonDegrees, &p.lonMinutes, &p.lonFraction};
    const std::array<int, 6> at = {0, 1, 2, 4, 5, 6};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto v = byteValue(pieces[at[i]]);
        if (!v)
            return std::nullopt;
        *numbers[i] = *v;
    }
    p.south = pieces[3] == QLatin1String("S");
    p.west = pieces[7].startsWith(QLatin1Char('W'));
    return p;
}

void ApplyPosition(PositionRecord& record, const QString& position, const QString& course, const QString& time,
                   const QString& speed, bool valid) {
    const std::optional<PositionPieces> p = SplitPosition(position);
    if (!p) {
        record = PositionRecord{};
        return;
    }
    record.LatDegrees = p->latDegrees;
    record.LatMinutes = p->latMinutes;
    record.LatFraction = p->latFraction;
    record.South = p->south;
    record.LonDegrees = p->lonDegrees;
    record.LonMinutes = p->lonMinutes;
    record.LonFraction = p->lonFraction;
    record.West = p->west;
    if (const auto c = shortValue(course))
        record.Course = *c;
    if (const auto s = shortValue(speed))
        record.Speed = *s;
    record.Time = time;
    record.Valid = valid;
}

PositionReply ParsePosition(const QString& reply) {
    // The framing characters are not part of any value; removing them first keeps the labels' offsets simple.
    const QString text = WithoutFraming(reply);
    std::array<qsizetype, 4> start{};
    for (std::size_t i = 0; i < kPositionLabels.size(); ++i)
        start[i] = text.indexOf(QLatin1StringView(kPositionLabels[i]), 0, Qt::CaseInsensitive);
    // " at " is common English: take the one that follows the position label.
    if (start[0] >= 0)
        start[2] = text.indexOf(QLatin1StringView(kPositionLabels[2]), start[0], Qt::CaseInsensitive);

    std::array<QString, 4> values;
    for (std::size_t i = 0; i < kPositionLabels.size(); ++i) {
        if (start[i] < 0)
            continue;
        const qsizetype from = start[i] + qsizetype(qstrlen(kPositionLabels[i]));
        qsizetype end = LineEndFrom(text, from);
        for (qsizetype other : start) {
            if (other >= from && other < end)
                end = other;
        }
        values[i] = text.mid(from, end - from).trimmed();
    }
    PositionReply out;
    out.position = values[0];
    out.course = values[1];
    out.time = values[2];
    out.speed = values[3];
    out.valid = !text.contains(QLatin1StringView("Not Valid"), Qt::CaseInsensitive);
    return out;
}

QString ParseGpsStatus(const QString& reply) {
    QString body = WithoutFraming(reply);
    const qsizetype echoEnd = body.indexOf(QLatin1Char('\n'));
    body = echoEnd < 0 ? QString() : body.mid(echoEnd + 1);
    const qsizetype mph = body.indexOf(QLatin1StringView(" mph"), 0, Qt::CaseInsensitive);
    if (mph >= 0) {
        body.truncate(LineEndFrom(body, mph));
    } else if (endsWithMainPrompt(body)) {
        const qsizetype lastLf = body.lastIndexOf(QLatin1Char('\n'));
        body.truncate(lastLf < 0 ? 0 : lastLf);
    }
    return NormaliseLineEnds(StripLineEnds(body));
}

QString PositionCommaText(const PositionRecord& p) {
    return QStringLiteral("%1,%2.%3%4 , %5,%6.%7%8")
        .arg(p.LatDegrees)
        .arg(p.LatMinutes)
        .arg(p.LatFraction, 2, 10, QLatin1Char('0'))
        .arg(p.South ? QLatin1Char('S') : QLatin1Char('N'))
        .arg(p.LonDegrees)
        .arg(p.LonMinutes)
        .arg(p.LonFraction, 2, 10, QLatin1Char('0'))
        .arg(p.West ? QLatin1Char('W') : QLatin1Char('E'));
}

} // namespace tessaro
