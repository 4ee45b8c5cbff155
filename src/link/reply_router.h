#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace tessaro {

// Names of the routing slots. Each later subsystem fills its slots at start-up; a slot may own several
// rows (for example the four rows of the EGC download cycle), and every row keeps its fixed place.
namespace route {
inline const QString Version = QStringLiteral("identity.version");
inline const QString EgcFxCheck = QStringLiteral("egc.fxCheck");
inline const QString PrintDone = QStringLiteral("printing.done");
inline const QString LatestDistress = QStringLiteral("distress.latestStatus");
inline const QString TerminalStatus = QStringLiteral("status.terminal");
inline const QString LinkTest = QStringLiteral("status.linkTest");
inline const QString StatusSummary = QStringLiteral("status.summary");
inline const QString Identity = QStringLiteral("identity.check");
inline const QString DnidList = QStringLiteral("reporting.dnidList");
inline const QString EnidList = QStringLiteral("egc.enidList");
inline const QString LesServices = QStringLiteral("messaging.lesServices");
inline const QString SoftwareVersion = QStringLiteral("identity.softwareVersion");
inline const QString Gps = QStringLiteral("position.gps");
inline const QString Time = QStringLiteral("position.time");
inline const QString TimeInsert = QStringLiteral("position.timeInsert");
inline const QString DistressGenerator = QStringLiteral("distress.generator");
inline const QString Position = QStringLiteral("position.position");
inline const QString TestMode = QStringLiteral("distress.testMode");
inline const QString EgcSettings = QStringLiteral("egc.settings");
inline const QString ConfigVariables = QStringLiteral("messaging.configVariables");
inline const QString PositionSet = QStringLiteral("position.positionSet");
inline const QString DistressGeneratorWrite = QStringLiteral("distress.generatorWrite");
inline const QString Routing = QStringLiteral("messaging.routing");
inline const QString EgcDownload = QStringLiteral("egc.download");
inline const QString MessageDownload = QStringLiteral("messaging.download");
inline const QString UploadSizeCheck = QStringLiteral("messaging.sizeCheck");
inline const QString PrintReport = QStringLiteral("printing.report");
inline const QString ReportProgramStatus = QStringLiteral("reporting.programStatus");
inline const QString ReportPrograms = QStringLiteral("reporting.programs");
inline const QString ReportSettings = QStringLiteral("reporting.settings");
inline const QString LesList = QStringLiteral("messaging.lesList");
inline const QString TransceiverRestart = QStringLiteral("messaging.transceiverRestart");
inline const QString DistressAlertParameters = QStringLiteral("distress.alertParameters");
inline const QString DistressAllOceans = QStringLiteral("distress.allOceans");
inline const QString TxRefusedEgcOnly = QStringLiteral("messaging.txRefusedEgcOnly");
inline const QString TxFailed = QStringLiteral("messaging.txFailed");
} // namespace route

enum class MatchKind {
    Echo,         // the reply starts with the command followed by the line end
    EchoNoCase,   // the same, ignoring letter case
    Starts,       // the reply starts with the command text
    StartsNoCase, // the same, ignoring letter case
    Contains,     // the reply contains the text anywhere, ignoring letter case
    Custom,       // the row's own predicate decides
};

// What a row does besides calling its handler.
enum class RowOption {
    None,
    CutPrompt,               // the handler gets the reply without its final prompt
    KeepReceivingIfEchoOnly, // a reply that is only the echo is not handed over: collect more
};

using ReplyHandler = std::function<void(const QString& reply)>;

struct RouteRow {
    QString slot;
    MatchKind kind = MatchKind::Echo;
    QString command;
    RowOption option = RowOption::None;
    std::function<bool(QStringView reply, QStringView lineEnd)> predicate; // Custom rows only
    ReplyHandler handler;                                                  // empty: the row is a free slot
};

struct RouteOutcome {
    int handled = 0;            // handlers called
    bool keepReceiving = false; // an echo-only reply to a command whose output comes later
};

// The reply routing table: every row is tested in order and more than one may fire.
class ReplyRouter final {
public:
    ReplyRouter(); // installs every row in its fixed order, all slots empty

    // Fills every row of the slot; returns false for an unknown slot name.
    bool setHandler(const QString& slot, ReplyHandler handler);
    bool matches(const RouteRow& row, QStringView reply, QStringView lineEnd) const;
    // keepReceivingAllowed: false once the engine has already waited once more for this command.
    RouteOutcome route(const QString& reply, const QString& lineEnd, const QString& prompt,
                       bool keepReceivingAllowed = true) const;

    const std::vector<RouteRow>& rows() const { return m_rows; }

private:
    std::vector<RouteRow> m_rows;
};

} // namespace tessaro
