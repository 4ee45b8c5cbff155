#pragma once

#include <QString>

namespace tessaro {

// The subsystems that own reply routes, INFO codes and poll steps. A module names the subsystem it
// stands for when it attaches; the routes of an attached subsystem must all be filled.
enum class Subsystem {
    Status,    // terminal status, identity, position, GPS, clock, link test
    Messaging, // message store, transmission, reception
    Lists,     // LES and provider lists, routing, configuration variables
    Egc,       // EGC reception, set-up, ENID list
    Distress,  // distress generator, test mode, latest distress status
    Reporting, // DNID list, message reporting, position report programs
    Printing,  // printing on the transceiver's printer
    Editor,    // editor insertions (the time read for a message)
    Forms,     // the electronic-forms server (no reply routes)
};
QString SubsystemName(Subsystem subsystem);

// Every row of the reply routing table, in the order the rows are tested. Replies are matched against
// every row in this order and several rows may fire, so the order is part of the behaviour: the enum
// value is the row's place in the table.
enum class RouteKey : int {
    Version,                 // "ver"
    EgcFxCheck,              // "fx "
    PrintDone,               // "print tessprnt.txt -d"
    LatestDistress,          // "st -a"
    TerminalStatus,          // "st -w"
    LinkTest,                // "st -m"
    StatusSummary,           // "st -s"
    Identity,                // "st -i"
    DnidList,                // "st -d"
    EnidList,                // "st -g"
    LesServices,             // "status -n"
    SoftwareVersion,         // "st -v"
    Gps,                     // "ru -g"
    Time,                    // "ti -u"
    TimeInsert,              // "ti u"
    DistressGenerator,       // "se -g"
    Position,                // "se -p"
    TestMode,                // "se -q"
    EgcSettings,             // "se -e"
    EgcSettingsBare,         // "se"
    EgcSettingsFixed,        // "se -x"
    EgcSettingsNavarea,      // "se -sn"
    ConfigVariables,         // "set -z"
    PositionSet,             // "se -p " + position
    DistressGeneratorWrite,  // "se -g " + values
    Routing,                 // "ro"
    EgcListing,              // "ls EGC.*"
    EgcLog,                  // "st -e"
    EgcFetch,                // "ty EGC."
    EgcDelete,               // "delete EGC."
    MessageListing,          // "ls IN.*"
    MessageLog,              // "st -r"
    MessageFetch,            // "ty IN."
    MessageDelete,           // "delete IN."
    UploadSizeCheck,         // "ls " + an uploaded file
    PrintReport,             // "type "
    ReportProgramStatus0,    // "pg -d 0"
    ReportProgramStatus1,    // "pg -d 1"
    ReportProgramStatus2,    // "pg -d 2"
    ReportProgramStatus3,    // "pg -d 3"
    ReportPrograms,          // "pg -d"
    ReportSettings,          // "rs"
    LesList,                 // "st -n"
    TransceiverRestart,      // "Starting application program." anywhere
    DistressAlertParameters, // "se -m "
    DistressAllOceans,       // "se -m ALL_OCEANS"
    TxRefusedEgcOnly,        // "tx" with "ERROR 250:"
    TxFailed,                // "tx" with another ERROR
    Count
};
inline constexpr int kRouteKeyCount = int(RouteKey::Count);

QString RouteKeyName(RouteKey key);
Subsystem RouteKeyOwner(RouteKey key);

} // namespace tessaro
