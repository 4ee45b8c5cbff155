#include "status/terminal_status.h"

#include "config/strings.h"
#include "config/text_util.h"
#include "status/reply_fields.h"

#include <QDateTime>

#include <array>

namespace tessaro {

namespace {

constexpr std::array<const char*, kMobileStatusCount> kStatusTexts = {"Mobile not connected",
                                                                      "Sending Distress",
                                                                      "Link Test...",
                                                                      "Connected to mobile",
                                                                      "Logged out",
                                                                      "Pending...",
                                                                      "Sending Distress test!",
                                                                      "Confirmation request",
                                                                      "Logging in...",
                                                                      "Logging out...",
                                                                      "Changing NCS",
                                                                      "Scanning...",
                                                                      "Transmission",
                                                                      "Receiving...",
                                                                      "Receiving EGC",
                                                                      "Position Report",
                                                                      "Data report",
                                                                      "Enhanced data report",
                                                                      "Programmed report",
                                                                      "Tuning...",
                                                                      "Searching...",
                                                                      "West Atlantic",
                                                                      "East Atlantic",
                                                                      "Indian Ocean",
                                                                      "Pacific Ocean",
                                                                      "None"};

struct ProtocolRow {
    const char* word;
    int index;
};
// "free" is handled apart: it depends on synchronisation.
constexpr std::array<ProtocolRow, 17> kProtocolTable = {{
    {"pending", StatusPending},
    {"sending distress", StatusSendingDistress},
    {"sending distress test", StatusSendingDistressTest},
    {"confirmation request", StatusConfirmationRequest},
    {"login", StatusLoggingIn},
    {"logout", StatusLoggingOut},
    {"changing ncs", StatusChangingNcs},
    {"scanning", StatusScanning},
    {"link test", StatusLinkTest},
    {"transmission", StatusTransmission},
    {"receiving", StatusReceiving},
    {"receiving egc", StatusReceivingEgc},
    {"position report", StatusPositionReport},
    {"data report", StatusDataReport},
    {"enhanced data report", StatusEnhancedDataReport},
    {"programmed report", StatusProgrammedReport},
    {"init track", StatusSearching},
}};

enum class Field {
    Version,
    Synchronization,
    TdmOrigin,
    LoggedIn,
    Protocol,
    Channel,
    SerialNo,
    MobileNo,
    Preferred,
    TdmChannel,
    Signal,
};
enum class Cut { Fixed, ToLineEnd, Special };

struct FieldRow {
    Field field;
    const char* label;
    Cut cut;
    int width;
};
constexpr std::array<FieldRow, 11> kFieldTable = {{
    {Field::Version, "version", Cut::Special, 5},
    {Field::Synchronization, "Synchronization", Cut::Fixed, 4},
    {Field::TdmOrigin, "TDM origin", Cut::Fixed, 4},
    {Field::LoggedIn, "Logged in", Cut::Fixed, 4},
    {Field::Protocol, "Current protocol", Cut::Fixed, 25},
    {Field::Channel, "Current channel", Cut::Fixed, 4},
    {Field::SerialNo, "Serial no", Cut::ToLineEnd, 0},
    {Field::MobileNo, "Mobile no", Cut::ToLineEnd, 0},
    {Field::Preferred, "Preferred ocean", Cut::Fixed, 3},
    // Nothing else reports the TDM channel and the signal level, which the status display shows.
    {Field::TdmChannel, "TDM channel", Cut::ToLineEnd, 0},
    {Field::Signal, "Signal strength", Cut::ToLineEnd, 0},
}};

// The version is read around the first "." after its label: two characters either side of it. Characters
// across a line end belong to another line and are left out, and so is the label's own colon.
std::optional<QString> versionAfter(const QString& reply, QLatin1StringView label) {
    const qsizetype at = reply.indexOf(label, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const qsizetype dot = reply.indexOf(QLatin1Char('.'), at + label.size());
    if (dot < 0)
        return std::nullopt;
    qsizetype begin = qMax<qsizetype>(dot - 2, 0);
    // A value written right after its colon ("version:4.12") must not take the colon with it.
    const qsizetype colon = reply.indexOf(QLatin1Char(':'), at + label.size());
    if (colon >= 0 && colon < dot)
        begin = qMax(begin, colon + 1);
    for (qsizetype i = dot - 1; i >= begin; --i) {
        if (reply[i] == u'\r' || reply[i] == u'\n') {
            begin = i + 1;
            break;
        }
    }
    const qsizetype end = qMin(LineEndFrom(reply, dot), dot + 3);
    return reply.mid(begin, end - begin).trimmed();
}

} // namespace

QString MobileStatusText(int index) {
    if (index < 0 || index >= kMobileStatusCount)
        return {};
    return GetText(kMobileStatusTextFirstId + index, QString::fromLatin1(kStatusTexts[std::size_t(index)]));
}

bool IsAlarmStatus(int index) {
    return index == StatusSendingDistress || index == StatusSendingDistressTest;
}

int OceanFromStationId(int stationId) {
    if (stationId <= 0 || stationId >= 400)
        return 4;
    return stationId / 100;
}

int LoggedInStatusIndex(bool loggedIn, int ocean) {
    if (!loggedIn)
        return StatusLoggedOut;
    switch (ocean) {
    case 0:
        return StatusWestAtlantic;
    case 1:
        return StatusEastAtlantic;
    case 2:
        return StatusPacificOcean;
    case 3:
        return StatusIndianOcean;
    default:
        return StatusNone;
    }
}

std::optional<int> ProtocolStatusIndex(const QString& word, bool synchronised) {
    if (word == QLatin1String("free")) {
        if (synchronised)
            return std::nullopt;
        return int(StatusTuning);
    }
    for (const ProtocolRow& row : kProtocolTable) {
        if (word == QLatin1String(row.word))
            return row.index;
    }
    return std::nullopt;
}

QString TestModeBannerText() {
    return QStringLiteral("Automatic test mode: Normal communication disabled. Do not press any distress button "
                          "unless you are in distress.");
}

TerminalStatusReply ParseTerminalStatus(const QString& reply) {
    TerminalStatusReply out;
    for (const FieldRow& row : kFieldTable) {
        const QLatin1StringView label(row.label);
        if (row.cut == Cut::Special) {
            out.swVersion = versionAfter(reply, label);
            continue;
        }
        const qsizetype start = ValueStartAfterLabel(reply, label);
        if (start < 0)
            continue;
        const QString value = row.cut == Cut::Fixed ? FixedField(reply, start, row.width) : LineField(reply, start);
        switch (row.field) {
        case Field::Synchronization:
            out.synchronised = value.toLower() == QLatin1String("yes");
            break;
        case Field::TdmOrigin:
            out.tdmOrigin = BoundedVal(value, 0, 65535);
            break;
        case Field::LoggedIn:
            out.loggedIn = value.toLower() == QLatin1String("yes");
            break;
        case Field::Protocol:
            out.protocol = value;
            out.protocolWord = value.toLower();
            break;
        case Field::Channel:
            out.channel = value.toLower() == QLatin1String("ncs") ? QStringLiteral("NCS") : value.toLower();
            break;
        case Field::SerialNo:
            out.serialNumber = value;
            break;
        case Field::MobileNo:
            out.mobileNumberText = value;
            break;
        case Field::Preferred:
            if (!value.isEmpty()) {
                const QChar c = value[0].toUpper();
                if (QStringView(u"EWIPN").contains(c))
                    out.preferredOcean = c;
            }
            break;
        case Field::TdmChannel:
            out.tdmChannel = BoundedVal(value, 0, 65535);
            break;
        case Field::Signal:
            out.signalStrength = BoundedVal(value, 0, 255);
            break;
        case Field::Version:
            break;
        }
    }
    return out;
}

QString TerminalStatusWindowText(const QString& reply) {
    return NormaliseLineEnds(reply) + QStringLiteral("\r\n\r\n");
}

QString TerminalStatusCaption(bool systemTimeSet, const QDateTime& systemTime) {
    if (!systemTimeSet)
        return QStringLiteral("Transceiver Status updated");
    return QStringLiteral("Transceiver Status last updated at ") +
           systemTime.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(" UTC");
}

} // namespace tessaro
