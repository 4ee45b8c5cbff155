#include "distress/distress_generator.h"

#include "config/text_util.h"

namespace tessaro {

namespace {

constexpr Qt::CaseSensitivity kNoCase = Qt::CaseInsensitive;
// Every line end the shell uses (LF, CR LF, CR CR LF) ends in LF, so a label at the start of a line
// follows an LF whichever one was learned.
constexpr QChar kLf = u'\n';
constexpr QChar kStx = QChar(2);
constexpr QChar kEtx = QChar(3);

// Where a label stands: at the start of a line when it is there, else its first occurrence anywhere.
qsizetype FindLabel(const QString& text, const QString& label) {
    const qsizetype atLine = text.indexOf(kLf + label, 0, kNoCase);
    if (atLine >= 0)
        return atLine + 1;
    return text.indexOf(label, 0, kNoCase);
}

qsizetype LineEndFrom(const QString& text, qsizetype from) {
    qsizetype end = from;
    while (end < text.size() && text.at(end) != u'\r' && text.at(end) != kLf)
        ++end;
    return end;
}

// The text of a fixed column up to the end of its line, without any CR or LF.
QString ColumnToLineEnd(const QString& text, qsizetype labelPos, qsizetype column = 20) {
    const qsizetype from = labelPos + column;
    if (labelPos < 0 || from >= text.size())
        return {};
    return text.mid(from, LineEndFrom(text, from) - from);
}

QString WithoutControls(const QString& text) {
    QString out;
    for (QChar c : text)
        if (c.unicode() >= 0x20)
            out += c;
    return out.trimmed();
}

QString TwoDigits(const QString& text) {
    return text.size() == 1 ? QStringLiteral("0") + text : text;
}

bool LabelBeforeBreak(const QString& reply, const QString& label) {
    qsizetype at = reply.indexOf(label, 0, kNoCase);
    while (at >= 0) {
        const qsizetype after = at + label.size();
        if (after < reply.size() && (reply.at(after) == u'\r' || reply.at(after) == kLf))
            return true;
        at = reply.indexOf(label, at + 1, kNoCase);
    }
    return false;
}

} // namespace

const std::array<DistressNatureEntry, 11>& MaritimeNatures() {
    static const std::array<DistressNatureEntry, 11> natures{{
        {u'U', 2231, "Undesignated"},
        {u'E', 2232, "Explosion/Fire"},
        {u'F', 2233, "Flooding"},
        {u'C', 2234, "Collision"},
        {u'G', 2235, "Grounding"},
        {u'L', 2236, "Listing"},
        {u'S', 2237, "Sinking"},
        {u'D', 2238, "Disabled && adrift"},
        {u'A', 2239, "Abandoning ship"},
        {u'R', 2240, "Req. assistance"},
        {u'P', 2241, "Piracy"},
    }};
    return natures;
}

const std::array<DistressNatureEntry, 10>& LandMobileNatures() {
    static const std::array<DistressNatureEntry, 10> natures{{
        {u'U', 2859, "Unspecified"},
        {u'E', 2860, "Ambulance"},
        {u'F', 2861, "Fire"},
        {u'C', 2862, "Police"},
        {u'G', 2863, "Hijack"},
        {u'L', 2864, "Under attack/threat of attack"},
        {u'S', 2865, "Dangerous cargo leak/spill"},
        {u'D', 2866, "Accident"},
        {u'A', 2867, "Vehicle breakdown"},
        {u'R', 2868, "Severe weather"},
    }};
    return natures;
}

namespace {
template <size_t N> int natureIndex(const std::array<DistressNatureEntry, N>& all, QChar letter) {
    for (size_t i = 0; i < N; ++i)
        if (all[i].letter == letter.toUpper())
            return int(i);
    return -1;
}
} // namespace

int MaritimeNatureIndex(QChar letter) {
    return natureIndex(MaritimeNatures(), letter);
}

int LandMobileNatureIndex(QChar letter) {
    return natureIndex(LandMobileNatures(), letter);
}

bool IsCedarOrLarch(int productType) {
    return productType == 4 || productType == 5;
}

GeneratorParse ParseDistressGenerator(const QString& reply, const QString& lineEnd,
                                      const DistressGeneratorValues& previous) {
    Q_UNUSED(lineEnd); // every learned line end ends in LF; see kLf
    GeneratorParse out;
    out.values = previous;

    const qsizetype error = reply.indexOf(kLf + QStringLiteral("ERROR"), 0, kNoCase);
    if (error >= 0) {
        QString line = reply.mid(error + 1, LineEndFrom(reply, error + 1) - error - 1).trimmed();
        if (line.isEmpty())
            line = QStringLiteral("Unknown error occurred");
        out.kind =
            line.startsWith(QLatin1String("ERROR 550"), kNoCase) ? GeneratorReply::Ignored : GeneratorReply::ErrorLine;
        out.errorLine = line;
        return out;
    }

    const qsizetype start = reply.indexOf(kLf + QStringLiteral("Parameters for Distress"), 0, kNoCase);
    const qsizetype knots = start < 0 ? -1 : reply.indexOf(QLatin1String("knots"), start, kNoCase);
    if (knots < 0)
        return out;
    // A leading LF keeps the first label findable as a line start.
    const QString listing = reply.mid(start, knots + 5 - start) + kLf;

    qsizetype les = listing.indexOf(kLf + QStringLiteral("Current LES/NCS Id:"), 0, kNoCase);
    if (les >= 0)
        ++les;
    else
        les = listing.indexOf(QLatin1String("LES/NCS Id        :"), 0, kNoCase);
    if (les < 0)
        return out;
    DistressGeneratorValues& v = out.values;
    v.Les = ColumnToLineEnd(listing, les).trimmed();

    const qsizetype nature = FindLabel(listing, QStringLiteral("Nature of Distress:"));
    const QString natureText = ColumnToLineEnd(listing, nature);
    if (!natureText.isEmpty())
        v.Nature = natureText.at(0);

    const qsizetype time = listing.indexOf(QLatin1String("Time of Position"), 0, kNoCase);
    if (time >= 0) {
        // Five characters, but never past the end of the line.
        QString hhmm = listing.mid(time + 20, 5);
        hhmm.truncate(LineEndFrom(hhmm, 0));
        const qsizetype colon = hhmm.indexOf(u':');
        v.Hour = TwoDigits(colon < 0 ? hhmm : hhmm.left(colon));
        v.Minute = TwoDigits(colon < 0 ? QString() : hhmm.mid(colon + 1));
        v.UpdatedAt = QStringLiteral("Updated at: ") + hhmm;
    }

    const qsizetype position = FindLabel(listing, QStringLiteral("Position"));
    const QStringList pieces = ColumnToLineEnd(listing, position).trimmed().split(u' ', Qt::SkipEmptyParts);
    // Anything but the eight pieces would shift every value: the previous position stays.
    if (pieces.size() == 8)
        v.Position = pieces;

    const qsizetype course = FindLabel(listing, QStringLiteral("Course"));
    if (course >= 0) {
        QString text = ColumnToLineEnd(listing, course);
        const qsizetype unit = text.indexOf(QLatin1String(" deg/true"), 0, kNoCase);
        v.Course = int(Val(unit < 0 ? text : text.left(unit)));
    }
    const qsizetype speed = FindLabel(listing, QStringLiteral("Speed"));
    if (speed >= 0) {
        QString text = ColumnToLineEnd(listing, speed);
        const qsizetype unit = text.indexOf(QLatin1String(" knots"), 0, kNoCase);
        text = (unit < 0 ? text : text.left(unit)).trimmed();
        v.Speed = IsNumeric(text) ? int(Val(text)) : 0;
    }
    out.kind = GeneratorReply::Values;
    return out;
}

AlertParameters ParseAlertParameters(const QString& reply) {
    AlertParameters out;
    const qsizetype label = reply.indexOf(QLatin1String("Land Station number      : "), 0, kNoCase);
    if (label >= 0)
        out.landStation = WithoutControls(reply.mid(label + 28, 3));

    // Each pair joins the land-mobile word and the maritime word of one letter.
    static const char* const kPairs[10][2] = {
        {"Unspecified", "Unspecified"},
        {"Ambulance", "Explosion"},
        {"Fire", "Flooding"},
        {"Police", "Collision"},
        {"Hijack", "Grounding"},
        {"attack", "Listing"},
        {"Danger", "Sinking"},
        {"Accident", "Disabled and adrift"},
        {"Vehicle breakdown", "Abandoning ship"},
        {"Severe weather", "Require assistance"},
    };
    const qsizetype maritime = reply.indexOf(QLatin1String("Maritime "), 0, kNoCase);
    const QString text = maritime < 0 ? reply : reply.mid(maritime + 8);
    // The word that comes first names the nature: "Explosion/Fire" is an explosion, not a fire.
    qsizetype best = -1;
    for (int i = 0; i < 10; ++i) {
        for (const char* word : kPairs[i]) {
            const qsizetype at = text.indexOf(QLatin1String(word), 0, Qt::CaseSensitive);
            if (at >= 0 && (best < 0 || at <= best)) {
                best = at;
                out.natureIndex = i;
            }
        }
    }
    return out;
}

AlertLesParse ParseAlertLes(const QString& reply, const QString& lineEnd) {
    Q_UNUSED(lineEnd);
    AlertLesParse out;
    if (LabelBeforeBreak(reply, QStringLiteral("Land Mobile"))) {
        out.layout = AlertLesParse::Layout::LandMobile;
        for (int k = 0; k < 4; ++k) {
            const qsizetype at = reply.indexOf(QStringLiteral("ocean %1").arg(k), 0, kNoCase);
            if (at < 0 || at + 15 >= reply.size())
                continue;
            qsizetype end = reply.indexOf(kEtx, at + 15);
            if (end < 0)
                end = LineEndFrom(reply, at + 15);
            out.les[size_t(k)] = WithoutControls(reply.mid(at + 15, end - at - 15));
        }
        return out;
    }
    if (LabelBeforeBreak(reply, QStringLiteral("Alert LES"))) {
        out.layout = AlertLesParse::Layout::AlertLes;
        for (int k = 0; k < 4; ++k) {
            const qsizetype at = reply.indexOf(QStringLiteral("ocean %1").arg(k), 0, kNoCase);
            const qsizetype stx = at < 0 ? -1 : reply.indexOf(kStx, at);
            const qsizetype etx = stx < 0 ? -1 : reply.indexOf(kEtx, stx);
            if (etx < 0 || stx <= 15)
                continue;
            const QString les = reply.mid(stx + 1, etx - stx - 1).trimmed();
            if (IsAllDigits(les))
                out.les[size_t(k)] = les;
        }
        return out;
    }
    const qsizetype ids = reply.indexOf(QLatin1String("LES IDs"), 0, kNoCase);
    if (ids >= 0) {
        out.layout = AlertLesParse::Layout::LesIds;
        const QStringList values = ColumnToLineEnd(reply, ids).split(u',');
        for (int k = 0; k < 4 && k < values.size(); ++k)
            out.les[size_t(k)] = WithoutControls(values.at(k));
    }
    return out;
}

QString ValidationTitle() {
    return QStringLiteral("Validation error");
}

std::optional<ValidationFailure> ValidateMaritimeFields(const MaritimeFields& f, int currentOcean,
                                                        const QString& currentLes) {
    if (currentOcean < 0 || currentOcean > 3)
        return ValidationFailure{QStringLiteral("Error: No current ocean region. Please log in to an ocean region "
                                                "before setting up the distress generator."),
                                 MaritimeField::None};
    if (!IsAllDigits(currentLes.left(3).trimmed()))
        return ValidationFailure{
            FormatText(QStringLiteral("Error: The Land Earth Station in the current ocean region (%0) must be set."),
                       {QString::number(currentOcean)}),
            MaritimeField::None};

    struct Range {
        const QString* text;
        int maximum;
        const char* message;
        MaritimeField field;
    };
    const Range ranges[] = {
        {&f.Course, 360, "Error: Course field must contain a value between", MaritimeField::Course},
        {&f.Speed, 200, "Error: Speed field must contain a value between ", MaritimeField::Speed},
        {&f.Hour, 23, "Error: Hour field must contain a value between ", MaritimeField::Hour},
        {&f.Minute, 59, "Error: Minutes field must contain a value between ", MaritimeField::Minute},
        {&f.LatDeg, 90, "Error: Latitude degrees field must contain a value between ", MaritimeField::LatDeg},
        {&f.LatMin, 59, "Error: Latitude minutes field must contain a value between ", MaritimeField::LatMin},
        {&f.LatHund, 99, "Error: Latitude minutes/100 field must contain a value between ", MaritimeField::LatHund},
        {&f.LonDeg, 180, "Error: Longitude degrees field must contain a value between ", MaritimeField::LonDeg},
        {&f.LonMin, 59, "Error: Longitude minutes field must contain a value between ", MaritimeField::LonMin},
        {&f.LonHund, 99, "Error: Longitude minutes/100 field must contain a value between ", MaritimeField::LonHund},
    };
    for (const Range& r : ranges) {
        const QString value = r.text->trimmed();
        // An empty field would leave a hole in the command; it is as wrong as one out of range.
        if (IsAllDigits(value) && value.size() <= 4 && value.toInt() <= r.maximum)
            continue;
        QString message = QLatin1String(r.message);
        if (!message.endsWith(u' '))
            message += u' '; // "between0" reads badly; every other text has its blank
        return ValidationFailure{message + QStringLiteral("0 and ") + QString::number(r.maximum), r.field};
    }
    if (f.NorthSouth.trimmed().toUpper() != u"N" && f.NorthSouth.trimmed().toUpper() != u"S")
        return ValidationFailure{QStringLiteral("Error: Latitude hemisphere must be N or S"),
                                 MaritimeField::NorthSouth};
    if (f.EastWest.trimmed().toUpper() != u"E" && f.EastWest.trimmed().toUpper() != u"W")
        return ValidationFailure{QStringLiteral("Error: Longitude hemisphere must be E or W"), MaritimeField::EastWest};

    const auto whole = [](const QString& deg, const QString& min, const QString& hund, int limit, const char* isText,
                          const char* betweenText, const char* minutesText, MaritimeField degField,
                          MaritimeField minField) -> std::optional<ValidationFailure> {
        const int d = deg.trimmed().toInt();
        const int m = min.trimmed().toInt();
        const int h = hund.trimmed().toInt();
        const QString minutes = min.trimmed() + u'.' + hund.trimmed() + QStringLiteral("' ");
        if (d > limit || (d == limit && (m > 0 || h > 0)))
            return ValidationFailure{QLatin1String(isText) + deg.trimmed() + QStringLiteral("° ") + minutes +
                                         QStringLiteral("\r\n") + QLatin1String(betweenText),
                                     degField};
        if (m >= 60)
            return ValidationFailure{QLatin1String(minutesText) + minutes + QStringLiteral("\r\n") +
                                         QStringLiteral("It must be between 0 and 60 minutes"),
                                     minField};
        return std::nullopt;
    };
    if (auto failure =
            whole(f.LatDeg, f.LatMin, f.LatHund, 90, "Error: Latitude is ", "It must be between 0 and 90 degrees",
                  "Error: Latitude minutes are ", MaritimeField::LatDeg, MaritimeField::LatMin))
        return failure;
    return whole(f.LonDeg, f.LonMin, f.LonHund, 180, "Error: Longitude is ", "It must be between 0 and 180 degrees",
                 "Error: Longitude minutes are ", MaritimeField::LonDeg, MaritimeField::LonMin);
}

QString GeneratorWriteCommand(const QString& les, QChar nature, const MaritimeFields& f) {
    const QStringList values{les,      QString(nature), f.NorthSouth, f.LatDeg, f.LatMin, f.LatHund, f.EastWest,
                             f.LonDeg, f.LonMin,        f.LonHund,    f.Hour,   f.Minute, f.Course,  f.Speed};
    QStringList trimmed;
    for (const QString& v : values)
        trimmed << v.trimmed();
    return QStringLiteral("se -g ") + trimmed.join(u',');
}

QString GeneratorGpsCommand(const QString& les, QChar nature) {
    return QStringLiteral("se -g ") + les.trimmed() + u',' + nature +
           QStringLiteral(",S,127,63,0,W,255,63,0,23,59,359,180");
}

QString AlertLesCommand(const std::array<QString, 4>& les) {
    QStringList parts;
    for (const QString& l : les)
        parts << l.trimmed();
    return QStringLiteral("se -m ") + parts.join(u',');
}

QString GeneratorOpeningBatch(int productType) {
    // The queue ends the text with the last CR LF.
    if (IsCedarOrLarch(productType))
        return QStringLiteral("st -i\r\nse -m ALL_OCEANS\r\nst -n\r\n\r\nse -g");
    return QStringLiteral("st -i\r\nst -n\r\n\r\nse -g");
}

QString LandMobileSetText(const QString& landStation, QChar nature) {
    return QStringLiteral("se -m ?\r\n") + landStation.left(3) + QStringLiteral("\r\n\r\n") + nature;
}

QString LandMobileAlertLes(const std::array<QString, 4>& les) {
    for (const QString& l : les)
        if (l.trimmed() != u"000")
            return l.trimmed();
    return les[3].trimmed();
}

} // namespace tessaro
