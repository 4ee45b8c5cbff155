#include "link_test_support.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "link/lan_connector.h"

using namespace tessaro;

namespace {
struct LanRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, true};
    ManualClock clock;
    cErrorLog errorLog{path, clock};
    SessionFlags session;
    InMemoryLink tcp{LinkKind::Tcp};
    LanConnector lan{tcp, session, config, errorLog};
    int started = 0;
    int linkLost = 0;

    LanRig() {
        config.SetIni(QStringLiteral("[IP Settings]"), QStringLiteral("10.0.0.5"));
        QObject::connect(&lan, &LanConnector::terminalProgramStarted, [this] { ++started; });
        QObject::connect(&lan, &LanConnector::linkLost, [this] { ++linkLost; });
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            lan.onTick();
    }
    // Up to the banner wait: connect, start the terminal program.
    void connectAndStart() {
        ticks(3); // 0 -> 1 -> 2 -> 3
        ASSERT_EQ(lan.LanConnectState(), LanState::WaitBanner);
    }
};
} // namespace

TEST(LanConnector, EitherBannerLinksAndAnnouncesTheTerminalProgram) {
    for (const char* banner : {"minic -f\r\nMINIC: command not found\r\ncan0:/$ ", "Mini-C terminal Connected\r\n"}) {
        SCOPED_TRACE(banner);
        LanRig rig;
        rig.connectAndStart();
        EXPECT_EQ(rig.tcp.target(), QStringLiteral("10.0.0.5"));
        EXPECT_TRUE(rig.session.TcpConnected());
        EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\nminic -f\r\n"));
        rig.tcp.feed(banner);
        rig.ticks(1);
        EXPECT_EQ(rig.lan.LanConnectState(), LanState::WaitReport);
        EXPECT_TRUE(rig.session.LanLinkUp());
        EXPECT_EQ(rig.started, 1);
        rig.session.SetMesConnected(true);
        rig.ticks(1);
        EXPECT_EQ(rig.lan.LanConnectState(), LanState::Linked);
    }
}

TEST(LanConnector, FallsBackAfterOneSecondWithoutSocketAndThreeWithoutBanner) {
    LanRig rig;
    rig.tcp.connectOnOpen = false;
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::WaitConnect);
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::WaitConnect);
    rig.ticks(1); // second failed look: back to the start
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::Start);
    EXPECT_FALSE(rig.session.TcpConnected());

    LanRig quiet;
    quiet.connectAndStart();
    quiet.ticks(5);
    EXPECT_EQ(quiet.lan.LanConnectState(), LanState::WaitBanner);
    quiet.ticks(1); // sixth tick without the banner
    EXPECT_EQ(quiet.lan.LanConnectState(), LanState::Start);
    EXPECT_FALSE(quiet.session.LanLinkUp());
}

TEST(LanConnector, WaitsElevenTicksForTheTransceiverToReportItself) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("Connected\r\n");
    rig.ticks(1);
    rig.ticks(10);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::WaitReport);
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::Start);
}

TEST(LanConnector, StartingOverTakesTheShellAwayUntilTheNextBanner) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("Connected\r\n");
    rig.ticks(12); // the transceiver never reports itself: back to the start
    ASSERT_EQ(rig.lan.LanConnectState(), LanState::Start);
    // Reconnected, the terminal program not yet started: the engine must not write into the bare shell
    // nor read the banner the sequence waits for.
    rig.ticks(3);
    ASSERT_EQ(rig.lan.LanConnectState(), LanState::WaitBanner);
    EXPECT_FALSE(rig.session.LanLinkUp());
    rig.tcp.feed("Connected\r\n");
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::WaitReport);
    EXPECT_TRUE(rig.session.LanLinkUp());
}

TEST(LanConnector, BareShellPromptRestartsTheTerminalProgramOnTheSameSocket) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("kv7302:/$ minic -f\r\nConnected\r\n");
    rig.session.SetMesConnected(true);
    rig.ticks(2);
    ASSERT_EQ(rig.lan.LanConnectState(), LanState::Linked);
    rig.tcp.takeWritten();
    const int closes = rig.tcp.closeCount;

    rig.session.SetMesConnected(false); // a reply timed out: the link was reset
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::CheckShell);
    EXPECT_FALSE(rig.session.LanLinkUp());
    rig.ticks(1);
    EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\n"));
    rig.tcp.feed("\r\nkv7302:/$ ");
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::StartTerminal);
    rig.ticks(1);
    EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\nminic -f\r\n"));
    EXPECT_EQ(rig.tcp.closeCount, closes);
}

TEST(LanConnector, AnOldBannerDoesNotDecideALaterState) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("kv7302:/$ minic -f\r\nConnected\r\n"); // the bare prompt before the program started
    rig.session.SetMesConnected(true);
    rig.ticks(2);
    rig.session.SetMesConnected(false);
    rig.ticks(2); // 5 -> 6 -> 7
    rig.tcp.feed("\r\ncan0:/$ ");
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::Start)
        << "the terminal program answered: no restart, reconnect instead";
}

TEST(LanConnector, DroppedSocketUnderARunningLinkIsALostLink) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("Connected\r\n");
    rig.session.SetMesConnected(true);
    rig.ticks(2);
    ASSERT_EQ(rig.lan.LanConnectState(), LanState::Linked);
    rig.tcp.setConnected(false);
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), LanState::Start);
    EXPECT_EQ(rig.linkLost, 1);
    EXPECT_FALSE(rig.session.LanLinkUp());
    EXPECT_FALSE(rig.session.TcpConnected());
}

TEST(LanConnector, EmptyAddressUsesTheOneDiscoveredTransceiver) {
    LanRig rig;
    rig.config.SetIni(QStringLiteral("[IP Settings]"), QString());
    struct Discovery final : ILanDiscovery {
        int searches = 0;
        QStringList found;
        void runSearch() override { ++searches; }
        QStringList discoveredHosts() const override { return found; }
        void askVersion(const QString&) override {}
        int knownSoftwareMajor() const override { return 1; }
    } discovery;
    rig.lan.setDiscovery(&discovery);
    int& searches = discovery.searches;
    QStringList& found = discovery.found;
    for (int i = 0; i < 12; ++i) {
        rig.ticks(1); // state 0
        rig.ticks(2); // state 1 fails twice (no target)
    }
    EXPECT_EQ(searches, 2) << "a search on every tenth attempt";
    EXPECT_TRUE(test::readFile(rig.path + QStringLiteral("ErrorLog.txt")).contains("Check1"));
    found = {QStringLiteral("192.168.1.9")};
    rig.ticks(1);
    EXPECT_EQ(rig.tcp.target(), QStringLiteral("192.168.1.9"));
    CIniStore reread(rig.path);
    EXPECT_EQ(reread.GetIni(QStringLiteral("[IP Settings]")), QStringLiteral("192.168.1.9"));
}

TEST(LanConnector, CommandLineHostOverridesTheConfiguration) {
    LanRig rig;
    rig.lan.setHostOverride(QStringLiteral("127.0.0.1:2323"));
    rig.ticks(1);
    EXPECT_EQ(rig.tcp.target(), QStringLiteral("127.0.0.1:2323"));
    EXPECT_EQ(rig.config.GetIni(QStringLiteral("[IP Settings]")), QStringLiteral("10.0.0.5"));
}
