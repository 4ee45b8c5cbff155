// The headless program as a user runs it: a real process, the built-in simulator, signals.
#include "qt_test_app.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {
struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

QStringList baseArgs(const QTemporaryDir& dir) {
    // Forms on a free port: tests run side by side, and port 80 is not ours to take.
    return {QStringLiteral("--headless"), QStringLiteral("--portable"), QStringLiteral("--forms-port"),
            QStringLiteral("0"),          QStringLiteral("--data-dir"), dir.path()};
}

ProcessResult runToEnd(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TESSARO_EXECUTABLE), args);
    ProcessResult r;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}
} // namespace

TEST(Headless, RefusesToRunBeforeTheDisclaimerIsAccepted) {
    QTemporaryDir dir;
    const ProcessResult r = runToEnd(baseArgs(dir) << QStringLiteral("--connect") << QStringLiteral("127.0.0.1:1"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QLatin1String("--accept-disclaimer"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/#Tessaro.tmp")));
}

TEST(Headless, RejectsTwoTransportsAndBadHosts) {
    QTemporaryDir dir;
    EXPECT_EQ(runToEnd(baseArgs(dir) << QStringLiteral("--simulator") << QStringLiteral("--serial")
                                     << QStringLiteral("/dev/null"))
                  .exitCode,
              2);
    for (const char* bad : {"mes:0", "mes:http", ":23"}) {
        const ProcessResult r = runToEnd(baseArgs(dir) << QStringLiteral("--connect") << QLatin1String(bad));
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_TRUE(r.err.contains(QLatin1String("--connect needs HOST"))) << bad;
    }
}

TEST(Headless, SimulatorRunPollsAndStopsCleanlyOnSigint) {
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral(TESSARO_EXECUTABLE), baseArgs(dir)
                                                    << QStringLiteral("--simulator")
                                                    << QStringLiteral("--accept-disclaimer") << QStringLiteral("-log"));
    ASSERT_TRUE(p.waitForStarted());
    QString out;
    const bool polled = QTest::qWaitFor(
        [&] {
            out += QString::fromLocal8Bit(p.readAllStandardOutput());
            return out.contains(QLatin1String("Line end learned: CR LF")) && out.contains(QLatin1String("< se -p"));
        },
        8000);
    EXPECT_TRUE(polled) << out.toStdString();
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/#Tessaro.tmp")));
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    out += QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(out.contains(QLatin1String("Tessaro stopped.")));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/#Tessaro.tmp"))) << "a clean exit removes the marker";

    // The communication log is the raw stream: the echoed command lines and the replies, byte for byte.
    QFile log(dir.path() + QStringLiteral("/CommLog.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray comm = log.readAll();
    EXPECT_TRUE(comm.contains("st -l\r\n")) << comm.left(400).toStdString();
    EXPECT_TRUE(comm.contains("can0:/$ se -p\r\n"));
}

TEST(Headless, NewDataFolderGetsTheDefaultFileAndASecondInstanceIsRefused) {
    QTemporaryDir parent;
    const QString dataDir = parent.path() + QStringLiteral("/new folder");
    const QStringList args = {QStringLiteral("--headless"),   QStringLiteral("--portable"),
                              QStringLiteral("--forms-port"), QStringLiteral("0"),
                              QStringLiteral("--data-dir"),   dataDir,
                              QStringLiteral("--simulator"),  QStringLiteral("--accept-disclaimer")};
    QProcess first;
    first.start(QStringLiteral(TESSARO_EXECUTABLE), args);
    ASSERT_TRUE(first.waitForStarted());
    QString out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += QString::fromLocal8Bit(first.readAllStandardOutput());
            return out.contains(QLatin1String("Line end learned"));
        },
        8000))
        << out.toStdString();

    QFile ini(dataDir + QStringLiteral("/Tessaro.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().startsWith("[Version]\r\n1. 0. 4\r\n"));

    const ProcessResult second = runToEnd(args);
    EXPECT_NE(second.exitCode, 0);
    EXPECT_TRUE((second.out + second.err).contains(QLatin1String("Tessaro instance already running.")))
        << (second.out + second.err).toStdString();

    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

TEST(Headless, SendRefusesAnUnknownTypeAndAnUnreadableTextFile) {
    QTemporaryDir dir;
    const ProcessResult badType =
        runToEnd(baseArgs(dir) << QStringLiteral("--simulator") << QStringLiteral("--send")
                               << QStringLiteral("pigeon:123") << QStringLiteral("--text-file") << QStringLiteral("x"));
    EXPECT_EQ(badType.exitCode, 2);
    EXPECT_TRUE(badType.err.contains(QLatin1String("\"pigeon\" names none"))) << badType.err.toStdString();
    const ProcessResult noFile =
        runToEnd(baseArgs(dir) << QStringLiteral("--simulator") << QStringLiteral("--accept-disclaimer")
                               << QStringLiteral("--send") << QStringLiteral("Telex:123")
                               << QStringLiteral("--text-file") << dir.path() + QStringLiteral("/missing.txt"));
    EXPECT_EQ(noFile.exitCode, 2);
    EXPECT_TRUE(noFile.err.contains(QLatin1String("cannot read the --text-file"))) << noFile.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/#Tessaro.tmp"))) << "refused before starting";
}

TEST(Headless, SendQueuesOneMessageOnceTheLinkIsUpAndKeepsRunning) {
    QTemporaryDir dir;
    {
        QFile ini(dir.path() + QStringLiteral("/Tessaro.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Default LES East]\r\n102\r\n");
        QFile text(dir.path() + QStringLiteral("/noon.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("Noon position 55N 012E.\r\n");
    }
    QProcess p;
    p.start(QStringLiteral(TESSARO_EXECUTABLE),
            baseArgs(dir) << QStringLiteral("--simulator") << QStringLiteral("--accept-disclaimer")
                          << QStringLiteral("--send") << QStringLiteral("telex:4712345678")
                          << QStringLiteral("--subject") << QStringLiteral("Noon") << QStringLiteral("--text-file")
                          << dir.path() + QStringLiteral("/noon.txt"));
    ASSERT_TRUE(p.waitForStarted());
    QString out;
    QString outFile;
    const bool sent = QTest::qWaitFor(
        [&] {
            out += QString::fromLocal8Bit(p.readAllStandardOutput());
            const qsizetype at =
                out.indexOf(QLatin1String("Send: result 1000 (Message sent to the transceiver.), out file "));
            if (at < 0)
                return false;
            outFile = out.mid(at).section(QLatin1String("out file "), 1).section(QLatin1Char('\n'), 0, 0).trimmed();
            return out.contains(QStringLiteral("< tx ") + outFile);
        },
        12000);
    EXPECT_TRUE(sent) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Outbox: %1 Initiated (reference <None>)").arg(outFile)));
    EXPECT_EQ(p.state(), QProcess::Running) << "keeps running for the delivery reports";
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);

    QFile index(dir.path() + QStringLiteral("/sent items/OUT.IDX"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = index.readAll().split('\n');
    ASSERT_GE(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith(outFile.toLatin1() + ";4712345678;102;Telex")) << lines.first().toStdString();
}

// A transceiver that never comes up: the run says what it waited for, gives up and ends with its own code.
TEST(Headless, SendGivesUpWithAReasonWhenTheTransceiverIsNotReadyInTime) {
    QTemporaryDir dir;
    {
        QFile text(dir.path() + QStringLiteral("/noon.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("Noon position 55N 012E.\r\n");
    }
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close(); // nothing answers on this port now
    const ProcessResult r =
        runToEnd(baseArgs(dir) << QStringLiteral("--connect") << QStringLiteral("127.0.0.1:%1").arg(port)
                               << QStringLiteral("--accept-disclaimer") << QStringLiteral("--send")
                               << QStringLiteral("telex:4712345678") << QStringLiteral("--text-file")
                               << dir.path() + QStringLiteral("/noon.txt") << QStringLiteral("--send-timeout")
                               << QStringLiteral("1"));
    EXPECT_EQ(r.exitCode, 5) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("Send: waiting for the link to the transceiver"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String(
        "Send: gave up after 1 s: the link to the transceiver did not come up. The message was not sent.")))
        << r.out.toStdString();
}

// A text the code page cannot carry is not sent as "?": the run ends naming the characters.
TEST(Headless, SendNamesCharactersTheCodePageCannotCarryAndFails) {
    QTemporaryDir dir;
    {
        QFile ini(dir.path() + QStringLiteral("/Tessaro.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Default LES East]\r\n102\r\n");
        QFile text(dir.path() + QStringLiteral("/noon.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("\xD0\x9F\xD0\xBE\xD0\xB7\xD0\xB8\xD1\x86\xD0\xB8\xD1\x8F 55N 012E\r\n"); // UTF-8 Cyrillic
    }
    const ProcessResult r =
        runToEnd(baseArgs(dir) << QStringLiteral("--simulator") << QStringLiteral("--accept-disclaimer")
                               << QStringLiteral("--send") << QStringLiteral("telex:4712345678")
                               << QStringLiteral("--text-file") << dir.path() + QStringLiteral("/noon.txt"));
    EXPECT_EQ(r.exitCode, 4) << r.out.toStdString() << r.err.toStdString();
    const QString all = QString::fromUtf8(r.out.toLocal8Bit() + r.err.toLocal8Bit());
    EXPECT_TRUE(all.contains(QLatin1String("Send: result 1014"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QString::fromUtf8("\xD0\x9F (U+041F)"))) << all.toStdString();
    QFile index(dir.path() + QStringLiteral("/sent items/OUT.IDX"));
    EXPECT_TRUE(!index.open(QIODevice::ReadOnly) || index.readAll().trimmed().isEmpty()) << "nothing sent";
}

// A set transmit password guards --send too: it comes only from the environment (never the command line that
// ps shows), and a run without it or with a wrong one ends before anything is queued.
TEST(Headless, SendNeedsTheTransmitPasswordFromTheEnvironmentWhenOneIsSet) {
    QTemporaryDir dir;
    {
        QFile ini(dir.path() + QStringLiteral("/Tessaro.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Config_Transmit Password]\r\n53656137\r\n"); // "Sea7" in the stored encoding
        QFile text(dir.path() + QStringLiteral("/noon.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("Noon position 55N 012E.\r\n");
    }
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    const QStringList args = baseArgs(dir) << QStringLiteral("--connect") << QStringLiteral("127.0.0.1:%1").arg(port)
                                           << QStringLiteral("--accept-disclaimer") << QStringLiteral("--send")
                                           << QStringLiteral("telex:4712345678") << QStringLiteral("--text-file")
                                           << dir.path() + QStringLiteral("/noon.txt")
                                           << QStringLiteral("--send-timeout") << QStringLiteral("1");
    struct Case {
        const char* password; // null: not set
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {nullptr, 6, "a transmit password is set; give it in the environment variable TESSARO_TRANSMIT_PASSWORD"},
        {"sea7", 6, "Invalid Transmit Password! Nothing was sent."},
        {"Sea7", 5, "Send: waiting for the link to the transceiver"}, // past the password, then no transceiver
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password ? c.password : "none");
        if (c.password)
            qputenv("TESSARO_TRANSMIT_PASSWORD", c.password);
        else
            qunsetenv("TESSARO_TRANSMIT_PASSWORD");
        const ProcessResult r = runToEnd(args);
        qunsetenv("TESSARO_TRANSMIT_PASSWORD");
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE((r.out + r.err).contains(QLatin1String(c.says))) << r.out.toStdString() << r.err.toStdString();
    }
}
