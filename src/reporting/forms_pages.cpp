// Placeholders of served form pages and the mailbox listings they can ask for.
#include "config/configuration.h"
#include "config/text_util.h"
#include "reporting/forms_server_processing.h"

#include <limits>

namespace tessaro {

namespace {
const QLatin1String kNoFix("255,255.255N , 255,255.255E");

struct ListingArguments {
    QList<qint64> values;
    qint64 at(qsizetype i) const { return i < values.size() ? values[i] : 0; }
};

// Blank-separated numbers; runs of blanks count as one separator.
ListingArguments listingArguments(QStringView text) {
    ListingArguments args;
    for (const QStringView piece : text.split(u' ', Qt::SkipEmptyParts))
        args.values.append(Val(piece));
    return args;
}

int clampToInt(qint64 v) {
    constexpr qint64 lo = std::numeric_limits<int>::min();
    constexpr qint64 hi = std::numeric_limits<int>::max();
    return int(v < lo ? lo : (v > hi ? hi : v));
}
} // namespace

QString cHttpServerProcessing::FillPlaceholders(const QString& page) {
    QString out;
    out.reserve(page.size() + 256);
    bool hadPosition = false;
    qsizetype pos = 0;
    qsizetype close = -1; // remembered "%>", so a run of unknown tags does not rescan the page
    while (pos < page.size()) {
        const qsizetype open = page.indexOf(QLatin1String("<%="), pos);
        if (open < 0)
            break;
        if (close < open + 3)
            close = page.indexOf(QLatin1String("%>"), open + 3);
        if (close < 0)
            break;
        bool isPosition = false;
        const QString value = placeholderValue(QStringView(page).sliced(open + 3, close - open - 3), &isPosition);
        if (value.isNull()) {
            out += QStringView(page).sliced(pos, open + 3 - pos);
            pos = open + 3;
            continue;
        }
        hadPosition = hadPosition || isPosition;
        out += QStringView(page).sliced(pos, open - pos);
        out += value;
        pos = close + 2;
    }
    out += QStringView(page).sliced(pos);
    // The session's "no fix" position is shown as words wherever it ended up in the page.
    if (hadPosition && out.contains(kNoFix, Qt::CaseInsensitive))
        out.replace(kNoFix, QStringLiteral("No position available"), Qt::CaseInsensitive);
    return out;
}

QString cHttpServerProcessing::placeholderValue(QStringView tag, bool* isPosition) {
    // Listing tags carry their arguments inside the tag.
    if (tag.startsWith(u"REQUESTOUTBOX", Qt::CaseInsensitive))
        return outboxListing(tag.sliced(13));
    if (tag.startsWith(u"REQUESTINBOX", Qt::CaseInsensitive))
        return inboxListing(tag.sliced(12));

    const QString name = tag.toString().toUpper();
    QString value;
    if (name == QLatin1String("REQUESTPOSITION")) {
        *isPosition = true;
        value = m_backend.positionText();
    } else if (name == QLatin1String("REQUESTSPEED")) {
        value = m_backend.speedText();
    } else if (name == QLatin1String("REQUESTCOURSE")) {
        value = m_backend.courseText();
    } else if (name == QLatin1String("REQUESTMOBILENO")) {
        value = m_backend.mobileNumber();
    } else if (name == QLatin1String("REQUESTUTCTIME")) {
        value = m_backend.transceiverTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    } else if (name == QLatin1String("REQUESTLOCALTIME")) {
        value = m_clock.nowLocal().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    } else if (name == QLatin1String("REQUESTSIGNATURE")) {
        value = m_config.GetIni(QStringLiteral("[Signature]"));
    } else if (name == QLatin1String("REQUESTSHIPNAME")) {
        value = m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName"));
    } else if (name == QLatin1String("REQUESTSERVERIP")) {
        value = m_serverIp;
    } else if (name == QLatin1String("REQUESTSERVERPORT")) {
        value = m_serverPort;
    } else {
        return QString(); // null: not a placeholder of ours, left in the page as written
    }
    return value.isNull() ? QStringLiteral("") : value;
}

// Arguments: count, number of lines to skip, newest-first flag (non-zero = true).
QString cHttpServerProcessing::outboxListing(QStringView arguments) {
    const ListingArguments args = listingArguments(arguments);
    const int count = clampToInt(args.at(0));
    if (count < 1)
        return QStringLiteral("");
    return m_backend.outboxListingHtml(count, qMax(0, clampToInt(args.at(1))), args.at(2) != 0);
}

// Arguments: count, unread-only flag, number of lines to skip, newest-first flag.
QString cHttpServerProcessing::inboxListing(QStringView arguments) {
    const ListingArguments args = listingArguments(arguments);
    const int count = clampToInt(args.at(0));
    if (count < 1)
        return QStringLiteral("");
    return m_backend.inboxListingHtml(count, args.at(1) != 0, qMax(0, clampToInt(args.at(2))), args.at(3) != 0);
}

} // namespace tessaro
