#include "link/reply_router.h"

#include "link/shell_protocol.h"

namespace tessaro {

namespace {
RouteRow row(const QString& slot, MatchKind kind, const char* command, RowOption option = RowOption::None) {
    return RouteRow{slot, kind, QLatin1String(command), option, {}, {}};
}

RouteRow custom(const QString& slot, const char* label, std::function<bool(QStringView, QStringView)> predicate) {
    return RouteRow{slot, MatchKind::Custom, QLatin1String(label), RowOption::None, std::move(predicate), {}};
}

bool startsWithTxAndContains(QStringView reply, QLatin1StringView text) {
    return reply.startsWith(QLatin1StringView("tx")) && reply.contains(text, Qt::CaseInsensitive);
}
} // namespace

ReplyRouter::ReplyRouter() {
    using K = MatchKind;
    m_rows = {
        row(route::Version, K::Echo, "ver"),
        row(route::EgcFxCheck, K::Starts, "fx "),
        row(route::PrintDone, K::Echo, "print tessprnt.txt -d"),
        row(route::LatestDistress, K::Echo, "st -a"),
        row(route::TerminalStatus, K::Echo, "st -w", RowOption::CutPrompt),
        row(route::LinkTest, K::Echo, "st -m"),
        row(route::StatusSummary, K::Echo, "st -s"),
        row(route::Identity, K::Echo, "st -i"),
        row(route::DnidList, K::Echo, "st -d", RowOption::KeepReceivingIfEchoOnly),
        row(route::EnidList, K::Echo, "st -g"),
        row(route::LesServices, K::Echo, "status -n"),
        row(route::SoftwareVersion, K::Echo, "st -v"),
        row(route::Gps, K::Echo, "ru -g"),
        row(route::Time, K::Echo, "ti -u"),
        row(route::TimeInsert, K::Echo, "ti u"),
        row(route::DistressGenerator, K::Echo, "se -g"),
        row(route::Position, K::Echo, "se -p"),
        row(route::TestMode, K::Starts, "se -q"),
        row(route::EgcSettings, K::Echo, "se -e"),
        row(route::EgcSettings, K::Echo, "se"),
        row(route::EgcSettings, K::Echo, "se -x"),
        row(route::EgcSettings, K::Echo, "se -sn"),
        row(route::ConfigVariables, K::Echo, "set -z"),
        row(route::PositionSet, K::Starts, "se -p "),
        row(route::DistressGeneratorWrite, K::Starts, "se -g "),
        row(route::Routing, K::Echo, "ro"),
        row(route::EgcDownload, K::EchoNoCase, "ls EGC.*"),
        row(route::EgcDownload, K::EchoNoCase, "st -e"),
        row(route::EgcDownload, K::StartsNoCase, "ty EGC."),
        row(route::EgcDownload, K::StartsNoCase, "delete EGC."),
        row(route::MessageDownload, K::Echo, "ls IN.*"),
        row(route::MessageDownload, K::Echo, "st -r"),
        row(route::MessageDownload, K::Starts, "ty IN."),
        row(route::MessageDownload, K::Starts, "delete IN."),
        // Listings of the download cycles have their own rows; any other "ls " is an upload's size check.
        custom(route::UploadSizeCheck, "ls ",
               [](QStringView reply, QStringView) {
                   return reply.startsWith(QLatin1StringView("ls ")) &&
                          !reply.startsWith(QLatin1StringView("ls EGC."), Qt::CaseInsensitive) &&
                          !reply.startsWith(QLatin1StringView("ls IN."));
               }),
        row(route::PrintReport, K::Starts, "type "),
        row(route::ReportProgramStatus, K::Echo, "pg -d 0"),
        row(route::ReportProgramStatus, K::Echo, "pg -d 1"),
        row(route::ReportProgramStatus, K::Echo, "pg -d 2"),
        row(route::ReportProgramStatus, K::Echo, "pg -d 3"),
        row(route::ReportPrograms, K::Echo, "pg -d", RowOption::KeepReceivingIfEchoOnly),
        row(route::ReportSettings, K::Echo, "rs"),
        row(route::LesList, K::Echo, "st -n"),
        row(route::TransceiverRestart, K::Contains, "Starting application program."),
        row(route::DistressAlertParameters, K::Echo, "se -m "),
        row(route::DistressAllOceans, K::Echo, "se -m ALL_OCEANS"),
        custom(route::TxRefusedEgcOnly, "tx + ERROR 250:",
               [](QStringView reply, QStringView) {
                   return startsWithTxAndContains(reply, QLatin1StringView("ERROR 250:"));
               }),
        custom(route::TxFailed, "tx + ERROR",
               [](QStringView reply, QStringView) {
                   return startsWithTxAndContains(reply, QLatin1StringView("ERROR")) &&
                          !reply.contains(QLatin1StringView("ERROR 250:"), Qt::CaseInsensitive);
               }),
    };
}

bool ReplyRouter::setHandler(const QString& slot, ReplyHandler handler) {
    bool found = false;
    for (RouteRow& r : m_rows) {
        if (r.slot == slot) {
            r.handler = handler;
            found = true;
        }
    }
    return found;
}

bool ReplyRouter::matches(const RouteRow& r, QStringView reply, QStringView lineEnd) const {
    switch (r.kind) {
    case MatchKind::Echo:
        return EchoMatches(reply, r.command, lineEnd);
    case MatchKind::EchoNoCase:
        return EchoMatches(reply, r.command, lineEnd, Qt::CaseInsensitive);
    case MatchKind::Starts:
        return reply.startsWith(r.command);
    case MatchKind::StartsNoCase:
        return reply.startsWith(r.command, Qt::CaseInsensitive);
    case MatchKind::Contains:
        return reply.contains(r.command, Qt::CaseInsensitive);
    case MatchKind::Custom:
        return r.predicate && r.predicate(reply, lineEnd);
    }
    return false;
}

RouteOutcome ReplyRouter::route(const QString& reply, const QString& lineEnd, const QString& prompt,
                                bool keepReceivingAllowed) const {
    RouteOutcome out;
    for (const RouteRow& r : m_rows) {
        if (!matches(r, reply, lineEnd))
            continue;
        if (r.option == RowOption::KeepReceivingIfEchoOnly && reply.size() <= r.command.size() + lineEnd.size()) {
            // The output follows later; waiting once more is enough, a second silent wait drops the reply.
            out.keepReceiving = out.keepReceiving || keepReceivingAllowed;
            continue;
        }
        if (!r.handler)
            continue;
        r.handler(r.option == RowOption::CutPrompt ? CutFinalPrompt(reply, prompt) : reply);
        ++out.handled;
    }
    return out;
}

} // namespace tessaro
