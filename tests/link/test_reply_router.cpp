#include "link/reply_router.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <set>

using namespace tessaro;

namespace {
// A router whose every slot records its name and the text it was given.
struct RecordingRouter {
    ReplyRouter router;
    QStringList fired;
    QStringList texts;
    RecordingRouter() {
        std::set<QString> slots;
        for (const RouteRow& r : router.rows())
            slots.insert(r.slot);
        for (const QString& s : slots)
            router.setHandler(s, [this, s](const QString& reply) {
                fired << s;
                texts << reply;
            });
    }
    QStringList route(const char* reply) {
        fired.clear();
        texts.clear();
        router.route(QString::fromLatin1(reply), QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
        return fired;
    }
};

struct RouteCase {
    const char* reply;
    QStringList slots;
};
} // namespace

TEST(ReplyRouter, EveryRowRoutesItsReply) {
    const RouteCase cases[] = {
        {"ver\r\nV1\r\ncan0:/$ ", {route::Version}},
        {"fx 1 2\r\ncan0:/$ ", {route::EgcFxCheck}},
        {"print tessprnt.txt -d\r\ncan0:/$ ", {route::PrintDone}},
        {"st -a\r\nx\r\ncan0:/$ ", {route::LatestDistress}},
        {"st -w\r\nx\r\ncan0:/$ ", {route::TerminalStatus}},
        {"st -m\r\nx\r\ncan0:/$ ", {route::LinkTest}},
        {"st -s\r\nx\r\ncan0:/$ ", {route::StatusSummary}},
        {"st -i\r\nx\r\ncan0:/$ ", {route::Identity}},
        {"st -d\r\n1 2 3\r\ncan0:/$ ", {route::DnidList}},
        {"st -g\r\nx\r\ncan0:/$ ", {route::EnidList}},
        {"status -n\r\nx\r\ncan0:/$ ", {route::LesServices}},
        {"st -v\r\nx\r\ncan0:/$ ", {route::SoftwareVersion}},
        {"ru -g\r\nx\r\ncan0:/$ ", {route::Gps}},
        {"ti -u\r\nx\r\ncan0:/$ ", {route::Time}},
        {"ti u\r\nx\r\ncan0:/$ ", {route::TimeInsert}},
        {"se -g\r\nx\r\ncan0:/$ ", {route::DistressGenerator}},
        {"se -p\r\nx\r\ncan0:/$ ", {route::Position}},
        {"se -q 1\r\nx\r\ncan0:/$ ", {route::TestMode}},
        {"se -e\r\nx\r\ncan0:/$ ", {route::EgcSettings}},
        {"se\r\nx\r\ncan0:/$ ", {route::EgcSettings}},
        {"se -x\r\nx\r\ncan0:/$ ", {route::EgcSettings}},
        {"se -sn\r\nx\r\ncan0:/$ ", {route::EgcSettings}},
        {"set -z\r\nx\r\ncan0:/$ ", {route::ConfigVariables}},
        {"se -p 5530N 01020E\r\ncan0:/$ ", {route::PositionSet}},
        {"se -g 1 2\r\ncan0:/$ ", {route::DistressGeneratorWrite}},
        {"ro\r\nx\r\ncan0:/$ ", {route::Routing}},
        {"ls EGC.*\r\nx\r\ncan0:/$ ", {route::EgcDownload}},
        {"LS egc.*\r\nx\r\ncan0:/$ ", {route::EgcDownload}},
        {"st -e\r\nx\r\ncan0:/$ ", {route::EgcDownload}},
        {"ty EGC.12 -b -k\r\nx\r\ncan0:/$ ", {route::EgcDownload}},
        {"delete EGC.12\r\ncan0:/$ ", {route::EgcDownload}},
        {"ls IN.*\r\nx\r\ncan0:/$ ", {route::MessageDownload}},
        {"st -r\r\nx\r\ncan0:/$ ", {route::MessageDownload}},
        {"ty IN.7 -b -k\r\nx\r\ncan0:/$ ", {route::MessageDownload}},
        {"delete IN.7\r\ncan0:/$ ", {route::MessageDownload}},
        {"ls msg1.txt\r\n 250 msg1.txt\r\ncan0:/$ ", {route::UploadSizeCheck}},
        {"type report.txt\r\nx\r\ncan0:/$ ", {route::PrintReport}},
        {"pg -d 0\r\nx\r\ncan0:/$ ", {route::ReportProgramStatus}},
        {"pg -d 3\r\nx\r\ncan0:/$ ", {route::ReportProgramStatus}},
        {"pg -d\r\nx\r\ncan0:/$ ", {route::ReportPrograms}},
        {"rs\r\nx\r\ncan0:/$ ", {route::ReportSettings}},
        {"st -n\r\nx\r\ncan0:/$ ", {route::LesList}},
        {"\r\nstarting APPLICATION program.\r\ncan0:/$ ", {route::TransceiverRestart}},
        {"se -m \r\nx\r\ncan0:/$ ", {route::DistressAlertParameters}},
        {"se -m ALL_OCEANS\r\nx\r\ncan0:/$ ", {route::DistressAllOceans}},
        {"tx -l 102\r\nERROR 250: EGC receiver\r\ncan0:/$ ", {route::TxRefusedEgcOnly}},
        {"tx -l 102\r\nERROR 120\r\ncan0:/$ ", {route::TxFailed}},
        {"tx -l 102\r\nOK\r\ncan0:/$ ", {}},
        {"st -l\r\nINFO 999: x\r\ncan0:/$ ", {}},
        {"ls in.*\r\nx\r\ncan0:/$ ", {route::UploadSizeCheck}}, // message listing rows compare exactly
        {"ver\nV1\r\ncan0:/$ ", {}},                            // wrong line end: no echo match
    };
    RecordingRouter rr;
    std::set<QString> covered;
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(rr.route(c.reply), c.slots);
        for (const QString& s : c.slots)
            covered.insert(s);
    }
    for (const RouteRow& r : rr.router.rows())
        EXPECT_TRUE(covered.count(r.slot)) << r.slot.toStdString();
}

TEST(ReplyRouter, SeveralRowsMayFireInTableOrder) {
    RecordingRouter rr;
    EXPECT_EQ(rr.route("tx -l 1\r\nStarting application program.\r\nERROR 250: x\r\ncan0:/$ "),
              (QStringList{route::TransceiverRestart, route::TxRefusedEgcOnly}));
}

TEST(ReplyRouter, TerminalStatusGetsTheReplyWithoutItsPrompt) {
    RecordingRouter rr;
    rr.route("st -w\r\nLogged in\r\ncan0:/$ ");
    ASSERT_EQ(rr.texts.size(), 1);
    EXPECT_EQ(rr.texts.first(), QStringLiteral("st -w\r\nLogged in\r\n"));
    rr.route("st -s\r\nx\r\ncan0:/$ ");
    EXPECT_EQ(rr.texts.first(), QStringLiteral("st -s\r\nx\r\ncan0:/$ "));
}

TEST(ReplyRouter, EchoOnlyListingKeepsReceivingOnceThenIsDropped) {
    RecordingRouter rr;
    for (const char* echo : {"st -d\r\n", "pg -d\r\n"}) {
        SCOPED_TRACE(echo);
        RouteOutcome first = rr.router.route(QString::fromLatin1(echo), QStringLiteral("\r\n"), {});
        EXPECT_TRUE(first.keepReceiving);
        EXPECT_EQ(first.handled, 0);
        RouteOutcome second = rr.router.route(QString::fromLatin1(echo), QStringLiteral("\r\n"), {}, false);
        EXPECT_FALSE(second.keepReceiving);
        EXPECT_EQ(second.handled, 0);
    }
}

TEST(ReplyRouter, UnknownSlotIsRejectedAndFreeSlotsAreSkipped) {
    ReplyRouter router;
    EXPECT_FALSE(router.setHandler(QStringLiteral("no.such.slot"), [](const QString&) {}));
    EXPECT_EQ(router.route(QStringLiteral("ver\r\nx\r\ncan0:/$ "), QStringLiteral("\r\n"), {}).handled, 0);
    int calls = 0;
    EXPECT_TRUE(router.setHandler(route::EgcSettings, [&](const QString&) { ++calls; }));
    for (const char* r : {"se -e\r\n", "se\r\n", "se -x\r\n", "se -sn\r\n"})
        router.route(QString::fromLatin1(r), QStringLiteral("\r\n"), {});
    EXPECT_EQ(calls, 4);
}
