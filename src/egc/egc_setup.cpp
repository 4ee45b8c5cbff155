#include "egc/egc_setup.h"

#include "config/text_util.h"
#include "status/reply_fields.h"

#include <algorithm>

namespace tessaro {

namespace {

const QLatin1StringView kValueIs("value is ");
const QLatin1StringView kSpareLabel("Spare Navareas:");
// Width of the subject value after "value is ": wider values belong to the description beside them.
constexpr qsizetype kSubjectWidth = 17;

// Position right after the first "value is " that follows the switch text, or -1. The switch text is
// matched with its letter case, "value is " without.
qsizetype valueAfterSwitch(const QString& reply, QLatin1StringView switchText) {
    const qsizetype at = reply.indexOf(switchText, 0, Qt::CaseSensitive);
    if (at < 0)
        return -1;
    const qsizetype value = reply.indexOf(kValueIs, at, Qt::CaseInsensitive);
    return value < 0 ? -1 : value + kValueIs.size();
}

// One character after "value is ": 0 and 1 are the switch; a missing switch is off; anything else is a
// value this window cannot show.
int switchValue(const QString& reply, QLatin1StringView switchText) {
    const qsizetype start = valueAfterSwitch(reply, switchText);
    if (start < 0 || start >= reply.size())
        return kSwitchOff;
    const QChar c = reply.at(start);
    if (c == u'0')
        return kSwitchOff;
    if (c == u'1')
        return kSwitchOn;
    return kSwitchUnknown;
}

QString hemisphere(const QString& text, QChar first, QChar second) {
    const QString letter = text.trimmed().left(1).toUpper();
    return letter == first || letter == second ? letter : QString();
}

std::optional<QString> switchCommand(const char* option, int value) {
    if (value != kSwitchOff && value != kSwitchOn)
        return std::nullopt;
    return QStringLiteral("se %1 %2").arg(QLatin1String(option)).arg(value);
}

QString rangeError(const char* what, int hi) {
    return QStringLiteral("Error: %1 degrees field must contain a value between ").arg(QLatin1String(what)) +
           QStringLiteral("0") + QStringLiteral(" and ") + QString::number(hi);
}

} // namespace

void ApplyEgcSwitchesReply(const QString& reply, EgcSetupValues& values) {
    values.egcOnly = switchValue(reply, QLatin1StringView("-e "));
    values.systemMessages = switchValue(reply, QLatin1StringView("-a "));
    values.safetyNet = switchValue(reply, QLatin1StringView("-w "));
    const qsizetype subjects = valueAfterSwitch(reply, QLatin1StringView("-y "));
    if (subjects < 0)
        return;
    const QString letters = FixedField(reply, subjects, kSubjectWidth);
    for (int i = 0; i < kSubjectCount; ++i) {
        if (letters.contains(QLatin1Char(kSubjectLetters[std::size_t(i)]), Qt::CaseInsensitive))
            values.subjects[std::size_t(i)] = true;
    }
}

void ApplyEgcOnlyReply(const QString& reply, EgcSetupValues& values) {
    values.egcOnly = switchValue(reply, QLatin1StringView("-e "));
}

void ApplyCoastalAreasReply(const QString& reply, EgcSetupValues& values) {
    const qsizetype at = reply.indexOf(kValueIs, 0, Qt::CaseInsensitive);
    if (at < 0)
        return;
    const qsizetype start = at + kValueIs.size();
    const QString value = reply.mid(start, LineEndFrom(reply, start) - start).trimmed();
    values.coastalAreas = value == u"." ? QString() : FilterCoastalAreas(value);
}

void ApplySpareNavareasReply(const QString& reply, const QString& lineEnd, EgcSetupValues& values) {
    const QString br = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    const qsizetype at = reply.indexOf(br + kSpareLabel, 0, Qt::CaseInsensitive);
    values.support4ExtraNavAreas = at >= 0;
    values.navareas = {0, 0, 0, 0};
    bool anyNumeric = false;
    if (at >= 0) {
        // The rest of the label's line is the first entry, each following whole line the next; the text
        // after the last line break (the prompt) is none. Entries past the fourth have no box.
        qsizetype pos = at + br.size() + kSpareLabel.size();
        for (std::size_t i = 0; i < values.navareas.size(); ++i) {
            const qsizetype next = reply.indexOf(br, pos);
            if (next < 0)
                break;
            const QString entry = StripLineEnds(reply.mid(pos, next - pos)).trimmed();
            pos = next + br.size();
            if (!IsNumeric(entry))
                continue;
            anyNumeric = true;
            values.navareas[i] = BoundedVal(entry, 0, 999);
        }
    }
    values.addNavarea = anyNumeric;
}

bool FixedPositionsSupportedByReply(const QString& reply) {
    return !reply.contains(QLatin1StringView("ERROR 120"), Qt::CaseInsensitive);
}

QString FormatFixedPositions(const std::array<FixedPositionRow, kFixedPositionRows>& rows) {
    QString list;
    for (const FixedPositionRow& r : rows) {
        if (!r.complete())
            continue;
        list += QLatin1Char(' ') + r.latDegrees + QLatin1Char(',') + r.latHemisphere.left(1) + QLatin1Char(',') +
                r.lonDegrees + QLatin1Char(',') + r.lonHemisphere.left(1);
    }
    return list;
}

std::array<FixedPositionRow, kFixedPositionRows> ParseFixedPositions(const QString& list) {
    std::array<FixedPositionRow, kFixedPositionRows> rows;
    const QStringList groups = list.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < groups.size() && i < kFixedPositionRows; ++i) {
        const QStringList p = groups.at(i).split(QLatin1Char(','));
        FixedPositionRow& r = rows[std::size_t(i)];
        r.latDegrees = FilterDegrees(p.value(0));
        r.latHemisphere = hemisphere(p.value(1), u'N', u'S');
        r.lonDegrees = FilterDegrees(p.value(2));
        r.lonHemisphere = hemisphere(p.value(3), u'E', u'W');
    }
    return rows;
}

std::optional<FixedPositionError> ValidateFixedPositions(const std::array<FixedPositionRow, kFixedPositionRows>& rows) {
    const QString title = QStringLiteral("Validation error");
    for (int i = 0; i < kFixedPositionRows; ++i) {
        const FixedPositionRow& r = rows[std::size_t(i)];
        const qint64 lat = Val(r.latDegrees);
        if (lat < 0 || lat > 90)
            return FixedPositionError{i, FixedPositionError::Field::LatitudeDegrees, rangeError("Latitude", 90), title};
        const qint64 lon = Val(r.lonDegrees);
        if (lon < 0 || lon > 180)
            return FixedPositionError{i, FixedPositionError::Field::LongitudeDegrees, rangeError("Longitude", 180),
                                      title};
    }
    return std::nullopt;
}

QStringList EgcSetupCommands(const EgcSetupValues& values) {
    QStringList commands;
    for (const auto& [option, value] :
         {std::pair{"-e", values.egcOnly}, std::pair{"-a", values.systemMessages}, std::pair{"-w", values.safetyNet}}) {
        if (const auto command = switchCommand(option, value))
            commands << *command;
    }
    if (values.addNavarea) {
        QStringList areas;
        for (int area : values.navareas)
            areas << QString::number(area);
        commands << QStringLiteral("se -sn ") + areas.join(QLatin1Char(',')) << QStringLiteral("se -n 1");
    } else {
        commands << QStringLiteral("se -sn 0") << QStringLiteral("se -n 0");
    }
    const QString areas = FilterCoastalAreas(values.coastalAreas);
    commands << QStringLiteral("se -x ") + (areas.isEmpty() ? QStringLiteral(".") : areas);
    QString subjects;
    for (int i = 0; i < kSubjectCount; ++i) {
        if (values.subjects[std::size_t(i)])
            subjects += QLatin1Char(kSubjectLetters[std::size_t(i)]);
    }
    commands << QStringLiteral("se -y ") + (subjects.isEmpty() ? QStringLiteral(".") : subjects);
    if (values.fixedPositionsSupported)
        commands << QStringLiteral("fx") + FormatFixedPositions(values.fixedPositions);
    return commands;
}

QString FilterCoastalAreas(const QString& text) {
    QString out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z'))
            out += c.toUpper();
    }
    return out;
}

QString FilterDegrees(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            out += c;
    }
    return out;
}

} // namespace tessaro
