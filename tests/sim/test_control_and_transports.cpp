#include "sim_test_support.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace tessaro::sim;
using namespace tessaro::sim::test;

namespace {

// Reads from the socket until the text ends with `until` or the bounded wait runs out.
QByteArray readUntil(QTcpSocket& socket, const QByteArray& until, int timeoutMs = 3000) {
    QByteArray got;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        got += socket.readAll();
        if (got.endsWith(until))
            loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    got += socket.readAll();
    if (!got.endsWith(until)) {
        timer.start(timeoutMs);
        loop.exec();
    }
    return got;
}

bool connectTo(QTcpSocket& socket, quint16 port) {
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(3000);
}

TEST(SimControl, IncomingMessagesAndEgcsAppearInTheFileSystem) {
    SimHarness h;
    ControlResult r = h.sim->control(QStringLiteral("message les=305 priority=3 pres=7 Mayday\\nrelay"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines, QStringList{QStringLiteral("IN.1 13 bytes")});
    const SimFile* f = h.unit().findFile(QStringLiteral("IN.1"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->body, QByteArray("Mayday\r\nrelay"));
    EXPECT_EQ(f->les, 305);
    EXPECT_EQ(f->priority, 3);
    EXPECT_EQ(f->presentation, 7);
    r = h.sim->control(QStringLiteral("message size=1000"));
    EXPECT_EQ(h.unit().findFile(QStringLiteral("IN.2"))->body.size(), 1000);
    r = h.sim->control(QStringLiteral("egc les=112 service=4 priority=2 routing=Pr Text"));
    EXPECT_EQ(h.unit().findFile(QStringLiteral("EGC.001"))->routing, QStringLiteral("Pr"));
    const ControlResult files = h.sim->control(QStringLiteral("files"));
    EXPECT_EQ(files.lines.size(), 3);
    EXPECT_TRUE(files.lines[0].startsWith(QStringLiteral("IN.1 13 message")));
}

TEST(SimControl, InfoErrorAndDistressLinesWaitForTheKeepAlive) {
    SimHarness h;
    h.control(QStringLiteral("info 116 WARNING Test software.\\nDistress disabled"));
    h.control(QStringLiteral("error 105 Remote Printer not OK"));
    h.control(QStringLiteral("distress ack"));
    QString reply = h.run(QStringLiteral("st -l"));
    EXPECT_TRUE(reply.contains(QStringLiteral("\r\nINFO 116: WARNING Test software.\r\nDistress disabled\r\n")));
    EXPECT_TRUE(reply.contains(QStringLiteral("\r\nERROR 105: Remote Printer not OK\r\n")));
    EXPECT_TRUE(reply.contains(QStringLiteral("\r\nINFO  22: Sending Distress Alert\r\ncan0:/$ ")));
    h.advance(6);
    EXPECT_TRUE(h.run(QStringLiteral("st -l")).contains(QStringLiteral("INFO  21: Distress Acknowledgement received")));
    EXPECT_TRUE(afterLabel(h.run(QStringLiteral("st -a")), QStringLiteral("Latest Distress  "), 20)
                    .contains(QStringLiteral("accepted")));
    h.control(QStringLiteral("distress fail"));
    h.advance(6);
    EXPECT_TRUE(h.run(QStringLiteral("st -l")).contains(QStringLiteral("INFO  20:")));
}

TEST(SimControl, RecordsLinesAndUploadBodiesInOrder) {
    SimHarness h;
    h.run(QStringLiteral("st -l"));
    h.send("tr x.out -b 4\rab\r\n");
    const ControlResult r = h.sim->control(QStringLiteral("lines"));
    EXPECT_EQ(r.lines, (QStringList{QStringLiteral("L st -l"), QStringLiteral("L tr x.out -b 4"),
                                    QStringLiteral("B ab\\r\\n")}));
    h.control(QStringLiteral("clear-lines"));
    EXPECT_TRUE(h.sim->control(QStringLiteral("lines")).lines.isEmpty());
}

TEST(SimControl, SettingsAndRefusals) {
    SimHarness h;
    h.control(QStringLiteral("time 99-12-31 23:59"));
    EXPECT_TRUE(h.run(QStringLiteral("ti -u")).contains(QStringLiteral("99-12-31 23:59")));
    h.control(QStringLiteral("model alder-ab"));
    EXPECT_TRUE(h.run(QStringLiteral("st -v")).contains(QStringLiteral("Inmarsat-C Software")));
    h.control(QStringLiteral("line-end crcrlf"));
    EXPECT_TRUE(h.run(QStringLiteral("st -l")).startsWith(QStringLiteral("st -l\r\r\n")));
    h.control(QStringLiteral("prompt can2"));
    EXPECT_TRUE(h.run(QStringLiteral("st -l")).endsWith(QStringLiteral("can2:/$ ")));
    h.control(QStringLiteral("position 1 2 3 S 4 5 6 W 10 11"));
    EXPECT_EQ(h.unit().position.course, 10);
    for (const char* bad : {"model nothing", "line-end cr", "info abc text", "stall x", "bogus", "position 1 2",
                            "tx-result maybe", "message priority=9 x"}) {
        const ControlResult r = h.sim->control(QLatin1String(bad));
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_FALSE(r.error.isEmpty()) << bad;
    }
}

TEST(SimScenario, SleepLinesWaitForSimulatedTime) {
    SimHarness h;
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("# training run\nmessage First\nsleep 10\nmessage Second\ninfo 30 Logged in\n");
    file.close();
    bool finished = false;
    QObject::connect(h.sim.get(), &MesSimulator::scenarioFinished, h.sim.get(), [&] { finished = true; });
    QString error;
    ASSERT_TRUE(h.sim->runScenarioFile(file.fileName(), &error)) << qPrintable(error);
    EXPECT_NE(h.unit().findFile(QStringLiteral("IN.1")), nullptr);
    EXPECT_EQ(h.unit().findFile(QStringLiteral("IN.2")), nullptr);
    EXPECT_FALSE(finished);
    h.advance(10);
    EXPECT_NE(h.unit().findFile(QStringLiteral("IN.2")), nullptr);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(h.sim->runScenarioFile(QStringLiteral("/nonexistent/scenario"), &error));
}

TEST(SimTcp, FullSessionOverLoopback) {
    ensureApp();
    SimOptions options;
    options.chunkDelayMs = 2;
    MesSimulator sim(options);
    ASSERT_TRUE(sim.listen(QHostAddress(QHostAddress::LocalHost), 0));
    ASSERT_NE(sim.serverPort(), 0);
    sim.control(QStringLiteral("message Hello"));
    QTcpSocket socket;
    ASSERT_TRUE(connectTo(socket, sim.serverPort()));
    EXPECT_EQ(readUntil(socket, "kv7302:/$ "), QByteArray("kv7302:/$ "));
    socket.write("\r\nminic -f\r\n");
    EXPECT_TRUE(readUntil(socket, "can0:/$ ").contains("Connected"));
    socket.write("ty IN.1 -b -k\r\n");
    EXPECT_TRUE(readUntil(socket, "can0:/$ ").endsWith("Hellocan0:/$ "));
    socket.write("tr m.out -b 3\r");
    EXPECT_EQ(readUntil(socket, "\r\n"), QByteArray("tr m.out -b 3\r\n"));
    socket.write("abc");
    EXPECT_TRUE(readUntil(socket, "can0:/$ ").contains("3 bytes stored"));
    socket.write("exit\r\n");
    EXPECT_TRUE(readUntil(socket, "kv7302:/$ ").endsWith("\r\nkv7302:/$ "));
    sim.control(QStringLiteral("drop"));
    readUntil(socket, "never", 2000);
    EXPECT_EQ(socket.state(), QAbstractSocket::UnconnectedState);
}

TEST(SimTcp, PacedOutputArrivesWhole) {
    ensureApp();
    SimOptions options;
    options.baud = 115200;
    MesSimulator sim(options);
    ASSERT_TRUE(sim.listen(QHostAddress(QHostAddress::LocalHost), 0));
    QTcpSocket socket;
    ASSERT_TRUE(connectTo(socket, sim.serverPort()));
    readUntil(socket, "kv7302:/$ ");
    socket.write("minic -f\r\nst -w\r\n");
    const QByteArray got = readUntil(socket, "Terminal class     : Maritime, SOLAS compliant\r\ncan0:/$ ");
    EXPECT_TRUE(got.contains("Current protocol")) << got.constData();
}

TEST(SimTcp, ControlPortAnswersWithOk) {
    ensureApp();
    MesSimulator sim;
    ASSERT_TRUE(sim.listenControl(QHostAddress(QHostAddress::LocalHost), 0));
    QTcpSocket socket;
    ASSERT_TRUE(connectTo(socket, sim.controlPort()));
    socket.write("message Hi\nfiles\nnonsense\n");
    const QByteArray got = readUntil(socket, "(try help)\n");
    EXPECT_TRUE(got.startsWith("IN.1 2 bytes\nOK\nIN.1 2 message")) << got.constData();
    EXPECT_TRUE(got.endsWith("ERROR: unknown command 'nonsense' (try help)\n"));
}

TEST(SimPty, SerialSideSpeaksTheTerminalProgram) {
    ensureApp();
    MesSimulator sim;
    QString path;
    QString error;
    ASSERT_TRUE(sim.openPty(&path, &error)) << qPrintable(error);
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    ASSERT_EQ(::write(fd, "st -l\r", 6), 6);
    QByteArray got;
    QEventLoop loop;
    QTimer poll;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
        if (got.endsWith("can0:/$ "))
            loop.quit();
    });
    poll.start(5);
    deadline.start(3000);
    loop.exec();
    ::close(fd);
    EXPECT_EQ(got, QByteArray("st -l\r\ncan0:/$ "));
}

} // namespace
