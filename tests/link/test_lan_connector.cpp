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
    QStringList queued;
    int linkLost = 0;

    LanRig() {
        config.SetIni(QStringLiteral("[IP Settings]"), QStringLiteral("10.0.0.5"));
        lan.queueCommand = [this](const QString& c, bool) {
            queued << c;
            return true;
        };
        lan.linkLost = [this] { ++linkLost; };
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            lan.onTick();
    }
    // Up to the banner wait: connect, start the terminal program.
    void connectAndStart() {
        ticks(3); // 0 -> 1 -> 2 -> 3
        ASSERT_EQ(lan.LanConnectState(), 3);
    }
};
} // namespace

TEST(LanConnector, EitherBannerLinksAndQueuesTheIdentityCommands) {
    for (const char* banner : {"minic -f\r\nMINIC: command not found\r\ncan0:/$ ", "Mini-C terminal Connected\r\n"}) {
        SCOPED_TRACE(banner);
        LanRig rig;
        rig.connectAndStart();
        EXPECT_EQ(rig.tcp.target(), QStringLiteral("10.0.0.5"));
        EXPECT_TRUE(rig.session.TcpConnected);
        EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\nminic -f\r\n"));
        rig.tcp.feed(banner);
        rig.ticks(1);
        EXPECT_EQ(rig.lan.LanConnectState(), 4);
        EXPECT_TRUE(rig.session.LanLinkUp);
        EXPECT_EQ(rig.queued, (QStringList{QStringLiteral("st -v"), QStringLiteral("st -i")}));
        rig.session.MesConnected = true;
        rig.ticks(1);
        EXPECT_EQ(rig.lan.LanConnectState(), 5);
    }
}

TEST(LanConnector, FallsBackAfterOneSecondWithoutSocketAndThreeWithoutBanner) {
    LanRig rig;
    rig.tcp.connectOnOpen = false;
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 1);
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 1);
    rig.ticks(1); // second failed look: back to the start
    EXPECT_EQ(rig.lan.LanConnectState(), 0);
    EXPECT_FALSE(rig.session.TcpConnected);

    LanRig quiet;
    quiet.connectAndStart();
    quiet.ticks(5);
    EXPECT_EQ(quiet.lan.LanConnectState(), 3);
    quiet.ticks(1); // sixth tick without the banner
    EXPECT_EQ(quiet.lan.LanConnectState(), 0);
    EXPECT_FALSE(quiet.session.LanLinkUp);
}

TEST(LanConnector, WaitsElevenTicksForTheTransceiverToReportItself) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("Connected\r\n");
    rig.ticks(1);
    rig.ticks(10);
    EXPECT_EQ(rig.lan.LanConnectState(), 4);
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 0);
}

TEST(LanConnector, StartingOverTakesTheShellAwayUntilTheNextBanner) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("Connected\r\n");
    rig.ticks(12); // the transceiver never reports itself: back to the start
    ASSERT_EQ(rig.lan.LanConnectState(), 0);
    // Reconnected, the terminal program not yet started: the engine must not write into the bare shell
    // nor read the banner the sequence waits for.
    rig.ticks(3);
    ASSERT_EQ(rig.lan.LanConnectState(), 3);
    EXPECT_FALSE(rig.session.LanLinkUp);
    rig.tcp.feed("Connected\r\n");
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 4);
    EXPECT_TRUE(rig.session.LanLinkUp);
}

TEST(LanConnector, BareShellPromptRestartsTheTerminalProgramOnTheSameSocket) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("kv7302:/$ minic -f\r\nConnected\r\n");
    rig.session.MesConnected = true;
    rig.ticks(2);
    ASSERT_EQ(rig.lan.LanConnectState(), 5);
    rig.tcp.takeWritten();
    const int closes = rig.tcp.closeCount;

    rig.session.MesConnected = false; // a reply timed out: the link was reset
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 6);
    EXPECT_FALSE(rig.session.LanLinkUp);
    rig.ticks(1);
    EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\n"));
    rig.tcp.feed("\r\nkv7302:/$ ");
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 2);
    rig.ticks(1);
    EXPECT_EQ(rig.tcp.takeWritten(), QByteArray("\r\nminic -f\r\n"));
    EXPECT_EQ(rig.tcp.closeCount, closes);
}

TEST(LanConnector, AnOldBannerDoesNotDecideALaterState) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("kv7302:/$ minic -f\r\nConnected\r\n"); // the bare prompt before the program started
    rig.session.MesConnected = true;
    rig.ticks(2);
    rig.session.MesConnected = false;
    rig.ticks(2); // 5 -> 6 -> 7
    rig.tcp.feed("\r\ncan0:/$ ");
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 0) << "the terminal program answered: no restart, reconnect instead";
}

TEST(LanConnector, DroppedSocketUnderARunningLinkIsALostLink) {
    LanRig rig;
    rig.connectAndStart();
    rig.tcp.feed("Connected\r\n");
    rig.session.MesConnected = true;
    rig.ticks(2);
    ASSERT_EQ(rig.lan.LanConnectState(), 5);
    rig.tcp.setConnected(false);
    rig.ticks(1);
    EXPECT_EQ(rig.lan.LanConnectState(), 0);
    EXPECT_EQ(rig.linkLost, 1);
    EXPECT_FALSE(rig.session.LanLinkUp);
    EXPECT_FALSE(rig.session.TcpConnected);
}

TEST(LanConnector, EmptyAddressUsesTheOneDiscoveredTransceiver) {
    LanRig rig;
    rig.config.SetIni(QStringLiteral("[IP Settings]"), QString());
    int searches = 0;
    QStringList found;
    rig.lan.runDiscovery = [&] { ++searches; };
    rig.lan.discoveredHosts = [&] { return found; };
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
