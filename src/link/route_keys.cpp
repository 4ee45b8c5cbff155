#include "link/route_keys.h"

#include <array>

namespace tessaro {

namespace {
struct KeyInfo {
    const char* name;
    Subsystem owner;
};

using S = Subsystem;
// Same order as RouteKey.
constexpr std::array<KeyInfo, kRouteKeyCount> kKeys = {{
    {"Version", S::Status},
    {"EgcFxCheck", S::Egc},
    {"PrintDone", S::Printing},
    {"LatestDistress", S::Distress},
    {"TerminalStatus", S::Status},
    {"LinkTest", S::Status},
    {"StatusSummary", S::Status},
    {"Identity", S::Status},
    {"DnidList", S::Reporting},
    {"EnidList", S::Egc},
    {"LesServices", S::Lists},
    {"SoftwareVersion", S::Status},
    {"Gps", S::Status},
    {"Time", S::Status},
    {"TimeInsert", S::Editor},
    {"DistressGenerator", S::Distress},
    {"Position", S::Status},
    {"TestMode", S::Distress},
    {"EgcSettings", S::Egc},
    {"EgcSettingsBare", S::Egc},
    {"EgcSettingsFixed", S::Egc},
    {"EgcSettingsNavarea", S::Egc},
    {"ConfigVariables", S::Lists},
    {"PositionSet", S::Status},
    {"DistressGeneratorWrite", S::Distress},
    {"Routing", S::Lists},
    {"EgcListing", S::Egc},
    {"EgcLog", S::Egc},
    {"EgcFetch", S::Egc},
    {"EgcDelete", S::Egc},
    {"MessageListing", S::Messaging},
    {"MessageLog", S::Messaging},
    {"MessageFetch", S::Messaging},
    {"MessageDelete", S::Messaging},
    {"UploadSizeCheck", S::Messaging},
    {"PrintReport", S::Printing},
    {"ReportProgramStatus0", S::Reporting},
    {"ReportProgramStatus1", S::Reporting},
    {"ReportProgramStatus2", S::Reporting},
    {"ReportProgramStatus3", S::Reporting},
    {"ReportPrograms", S::Reporting},
    {"ReportSettings", S::Reporting},
    {"LesList", S::Lists},
    {"TransceiverRestart", S::Messaging},
    {"DistressAlertParameters", S::Distress},
    {"DistressAllOceans", S::Distress},
    {"TxRefusedEgcOnly", S::Messaging},
    {"TxFailed", S::Messaging},
}};
} // namespace

QString SubsystemName(Subsystem subsystem) {
    switch (subsystem) {
    case S::Status:
        return QStringLiteral("status");
    case S::Messaging:
        return QStringLiteral("messaging");
    case S::Lists:
        return QStringLiteral("lists");
    case S::Egc:
        return QStringLiteral("EGC");
    case S::Distress:
        return QStringLiteral("distress");
    case S::Reporting:
        return QStringLiteral("reporting");
    case S::Printing:
        return QStringLiteral("printing");
    case S::Editor:
        return QStringLiteral("editor");
    case S::Forms:
        return QStringLiteral("forms");
    }
    return QStringLiteral("unknown");
}

QString RouteKeyName(RouteKey key) {
    const int i = int(key);
    return i >= 0 && i < kRouteKeyCount ? QLatin1String(kKeys[size_t(i)].name) : QStringLiteral("?");
}

Subsystem RouteKeyOwner(RouteKey key) {
    return kKeys[size_t(key)].owner;
}

} // namespace tessaro
