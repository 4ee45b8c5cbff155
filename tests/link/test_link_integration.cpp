// End-to-end runs of the terminal against the simulator: loopback TCP and a pseudo-terminal.
#include "link_test_support.h"

#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "link/terminal.h"
#include "mes_simulator.h"

#include <QTcpServer>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace tessaro;

namespace {
struct SimRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, false, path + QStringLiteral("settings.ini")};
    SessionFlags session;
    SystemClock clock;
    RecordingMainForm form;
    std::unique_ptr<sim::MesSimulator> simulator;
    std::unique_ptr<CTerminal> terminal;
    QStringList replies;
    QStringList timedOut;

    explicit SimRig(sim::SimOptions options = {}) {
        options.chunkDelayMs = 5;
        simulator = std::make_unique<sim::MesSimulator>(options);
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"));
        terminal = std::make_unique<CTerminal>(config, session, form, clock);
        // The connect sequence counts ticks, not time: a faster tick keeps these runs short.
        terminal->timer(TerminalTimer::Winsock).setInterval(100);
        QObject::connect(&terminal->engine(), &CommandEngine::replyCompleted,
                         [this](const QString& r) { replies << r; });
        QObject::connect(&terminal->engine(), &CommandEngine::replyTimedOut,
                         [this](const QString& r) { timedOut << r; });
    }
    bool startTcp() {
        if (!simulator->listen())
            return false;
        return terminal->start({QStringLiteral("127.0.0.1:%1").arg(simulator->serverPort()), {}, false}).ok;
    }
    bool linkedUp() const { return terminal->lan().LanConnectState() == LanState::Linked && session.MesConnected(); }
    // Links up, lets the transceiver stall and a command time out; false when any step never happened.
    bool linkUpThenTimeOut() {
        return startTcp() && QTest::qWaitFor([&] { return linkedUp(); }, 6000) &&
               QTest::qWaitFor([&] { return terminal->engine().queue().isEmpty(); }, 5000) &&
               simulator->control(QStringLiteral("stall 5")).ok && terminal->QueueCommand(QStringLiteral("st -s")) &&
               QTest::qWaitFor([&] { return !timedOut.isEmpty(); }, 6000);
    }
    bool repliedTo(const QString& command) const {
        for (const QString& r : replies)
            if (r.startsWith(command + terminal->engine().LineEnd()))
                return true;
        return false;
    }
};
} // namespace

TEST(LinkIntegration, StartsTheTerminalProgramAndLearnsEachLineEnd) {
    const std::pair<sim::LineEnd, const char*> cases[] = {{sim::LineEnd::CrLf, "\r\n"},
                                                          {sim::LineEnd::CrCrLf, "\r\r\n"}};
    for (auto [simLineEnd, expected] : cases) {
        SCOPED_TRACE(expected);
        sim::SimOptions options;
        options.lineEnd = simLineEnd;
        SimRig rig(options);
        ASSERT_TRUE(rig.startTcp());
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp() && rig.repliedTo(QStringLiteral("st -l")); }, 6000));
        EXPECT_TRUE(rig.session.LanLinkUp());
        EXPECT_EQ(rig.terminal->engine().LineEnd(), QLatin1String(expected));
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("se -p")); }, 3000));
        EXPECT_TRUE(rig.timedOut.isEmpty());
    }
}

TEST(LinkIntegration, RestartInsideTheTerminalProgramIsAnsweredAsUnknown) {
    SimRig rig;
    ASSERT_TRUE(rig.startTcp());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp(); }, 6000));
    rig.terminal->QueueCommand(QStringLiteral("minic -f"), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("minic -f")); }, 3000));
    EXPECT_TRUE(rig.replies.last().contains(QLatin1String("minic: command not found"), Qt::CaseInsensitive));
}

TEST(LinkIntegration, BarePromptComingBackRestartsTheTerminalProgram) {
    SimRig rig;
    ASSERT_TRUE(rig.startTcp());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp(); }, 6000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.terminal->engine().queue().isEmpty(); }, 5000));
    ASSERT_TRUE(rig.simulator->control(QStringLiteral("exit-terminal")).ok);
    rig.replies.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("minic -f")); }, 8000));
    rig.terminal->QueueCommand(QStringLiteral("st -v"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("st -v")); }, 3000));
    EXPECT_TRUE(rig.replies.last().endsWith(QLatin1String("can0:/$ ")));
}

TEST(LinkIntegration, SimulatorKilledMidReplyAndStartedAgainIsRecoveredWithoutAStuckQueue) {
    SimRig rig;
    ASSERT_TRUE(rig.startTcp());
    const quint16 port = rig.simulator->serverPort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp(); }, 6000));
    rig.terminal->QueueCommand(QStringLiteral("st -w"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return rig.terminal->engine().ReceiveBuffer().startsWith(QLatin1String("st -w")); }, 3000));
    rig.simulator.reset(); // gone in the middle of the reply

    sim::SimOptions options;
    options.chunkDelayMs = 5;
    rig.simulator = std::make_unique<sim::MesSimulator>(options);
    ASSERT_TRUE(rig.simulator->listen(QHostAddress(QHostAddress::LocalHost), port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.session.MesConnected(); }, 6000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp(); }, 8000));
    rig.replies.clear();
    rig.terminal->QueueCommand(QStringLiteral("st -i"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("st -i")); }, 4000));
}

TEST(LinkIntegration, StalledReplyEndsByTimeOutAndTheLinkComesBack) {
    SimRig rig;
    ASSERT_TRUE(rig.linkUpThenTimeOut());
    EXPECT_FALSE(rig.session.MesConnected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp(); }, 10000));
    rig.replies.clear();
    rig.terminal->QueueCommand(QStringLiteral("st -v"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("st -v")); }, 4000));
}

TEST(LinkIntegration, SerialLinkOverAPseudoTerminal) {
    SimRig rig;
    QString slave;
    QString error;
    ASSERT_TRUE(rig.simulator->openPty(&slave, &error)) << error.toStdString();
    ASSERT_TRUE(rig.terminal->start({{}, slave, false}).ok);
    EXPECT_FALSE(rig.terminal->usingLan());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("se -p")); }, 5000));
    EXPECT_EQ(rig.terminal->engine().LineEnd(), QStringLiteral("\r\n"));
    EXPECT_TRUE(rig.session.MesConnected());
    rig.terminal->tick(TerminalTimer::Winsock);
    EXPECT_TRUE(rig.terminal->indicator().green);
}

TEST(LinkIntegration, CommandAfterALanTimeOutWaitsForTheLinkAndIsAnswered) {
    SimRig rig;
    ASSERT_TRUE(rig.linkUpThenTimeOut());
    // Reset at once: nothing may be written into the link until the connect sequence has it back.
    EXPECT_FALSE(rig.session.LanLinkUp());
    rig.replies.clear();
    rig.terminal->QueueCommand(QStringLiteral("st -v"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("st -v")); }, 10000));
    EXPECT_EQ(rig.timedOut.size(), 1) << "the command after the time-out lost its reply";
}

// "Set fixed IP" and "Clear fixed IP" leave the terminal program, change the setting in the bare shell and
// start the program again in one exchange; the engine's queue waits and carries on afterwards.
TEST(LinkIntegration, FixedIpIsSetAndClearedInOneExchangeAndTheLinkCarriesOn) {
    SimRig rig;
    ASSERT_TRUE(rig.startTcp());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.linkedUp() && rig.terminal->engine().queue().isEmpty(); }, 6000));
    const struct {
        bool fixed;
        QStringList lines;
        QString told;
    } cases[] = {
        {true,
         {QStringLiteral("L exit"), QStringLiteral("L sysconf -h 0"), QStringLiteral("L sysconf -i 192.168.1.50"),
          QStringLiteral("L minic -f")},
         QStringLiteral("The transceiver's fixed IP address is now 192.168.1.50.")},
        {false,
         {QStringLiteral("L exit"), QStringLiteral("L sysconf -h 1"), QStringLiteral("L minic -f")},
         QStringLiteral("The transceiver's fixed IP address is cleared; it takes its address from DHCP now.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told.toStdString());
        ASSERT_TRUE(rig.simulator->control(QStringLiteral("clear-lines")).ok);
        rig.form.boxes.clear();
        rig.replies.clear();
        rig.terminal->SetFixedIp(QStringLiteral("192.168.1.50"), c.fixed);
        EXPECT_TRUE(rig.terminal->fixedIpExchangeRunning());
        rig.terminal->QueueCommand(QStringLiteral("st -s")); // waits for the exchange
        ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.form.boxes.empty(); }, 8000));
        EXPECT_EQ(rig.form.boxes.front().text, c.told);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.repliedTo(QStringLiteral("st -s")); }, 5000));
        const QStringList lines = rig.simulator->control(QStringLiteral("lines")).lines;
        QStringList sequence;
        for (const QString& l : lines)
            if (l != QLatin1String("L ") && !l.startsWith(QLatin1String("L st ")))
                sequence << l;
        EXPECT_EQ(sequence.mid(0, c.lines.size()), c.lines) << lines.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(rig.timedOut.isEmpty());
        EXPECT_TRUE(rig.linkedUp());
    }
}

namespace {
// True when the peer's descriptor has bytes to read, without turning the event loop: what a kill of this
// process would leave the transceiver to receive.
bool peerReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 500) == 1 && (p.revents & POLLIN);
}
} // namespace

// A line counted as handed to the transceiver (a "tx" leaves the unsent list when it is written) must have left
// the process when write returns: kept in the socket's buffer until the next event-loop turn, a kill there lost it.
TEST(LinkIntegration, AWrittenLineHasLeftTheProcessBeforeWriteReturns) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TcpLink tcp;
    tcp.setTarget(QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
    ASSERT_TRUE(tcp.open());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tcp.isOpen() && server.hasPendingConnections(); }, 3000));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    ASSERT_TRUE(tcp.write("tx 26121001.out -c 102\r\n"));
    EXPECT_TRUE(peerReadable(int(peer->socketDescriptor()))) << "TCP";

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    SerialLink serial;
    serial.setTarget(QString::fromLocal8Bit(::ptsname(master)));
    ASSERT_TRUE(serial.open());
    ASSERT_TRUE(serial.write("tx 26121001.out -c 102\r\n"));
    EXPECT_TRUE(peerReadable(master)) << "serial";
    serial.close();
    ::close(master);
}
