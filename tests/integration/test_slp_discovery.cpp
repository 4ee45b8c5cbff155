// Network discovery end to end: two simulated transceivers with SLP agents on their own loopback addresses
// (one the supported model 7302, one another model), the built tessaro-slp tool, and the program's discovery
// and LAN start. Every request goes by unicast to 127.0.0.2 and 127.0.0.3; nothing is sent to the multicast
// group.
#include "integration_rig.h"
#include "link/slp_codec.h"
#include "slp_agent.h"

#include <QProcess>
#include <QSignalSpy>

using namespace tessaro;
using namespace tessaro::test;

namespace {

const QHostAddress kSupportedHost(QStringLiteral("127.0.0.2"));
const QHostAddress kOtherHost(QStringLiteral("127.0.0.3"));

// Two units, each with its shell and its SLP agent on its own loopback address; both agents share one port,
// as real agents share 427 on their own hosts.
struct TwoUnits {
    std::unique_ptr<sim::MesSimulator> supported;
    std::unique_ptr<sim::MesSimulator> other;
    sim::SlpAgent supportedAgent;
    sim::SlpAgent otherAgent;
    quint16 slpPort = 0;

    bool start() {
        sim::SimOptions options;
        options.realTime = false;
        options.chunkDelayMs = 2;
        supported = std::make_unique<sim::MesSimulator>(options);
        other = std::make_unique<sim::MesSimulator>(options);
        if (!supported->listen(kSupportedHost, 0) || !other->listen(kOtherHost, 0))
            return false;
        for (int attempt = 0; attempt < 5 && slpPort == 0; ++attempt) {
            if (!supportedAgent.listen(kSupportedHost, 0))
                return false;
            if (otherAgent.listen(kOtherHost, supportedAgent.port()))
                slpPort = supportedAgent.port();
            else
                supportedAgent.close();
        }
        supportedAgent.setShellAddress(kSupportedHost, supported->serverPort());
        otherAgent.setShellAddress(kOtherHost, other->serverPort());
        otherAgent.setModel("4711");
        otherAgent.setSoftwareVersion("2.00");
        return slpPort != 0;
    }
    QString supportedAddress() const { return QStringLiteral("127.0.0.2:%1").arg(supported->serverPort()); }
};

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the tool while the event loop keeps the in-process agents answering.
ToolRun runTool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TESSARO_SLP_TOOL), args);
    ToolRun r;
    if (!QTest::qWaitFor([&p] { return p.state() == QProcess::NotRunning; }, 10000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList sortedLines(const QString& text) {
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

// The program's settings that point discovery at the built tool and the two agents.
void pointDiscoveryAt(CConfiguration& config, quint16 port) {
    config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Tool"), QStringLiteral(TESSARO_SLP_TOOL));
    config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Targets"), QStringLiteral("127.0.0.2,127.0.0.3"));
    config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Port"), QString::number(port));
    config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("WaitMs"), QStringLiteral("3000"));
}

} // namespace

TEST(SlpTool, FindsBothAgentsAndReadsEachOnesAttributes) {
    TwoUnits units;
    ASSERT_TRUE(units.start());
    const QString port = QString::number(units.slpPort);
    const ToolRun services = runTool({QStringLiteral("--to"), QStringLiteral("127.0.0.2"), QStringLiteral("--to"),
                                      QStringLiteral("127.0.0.3"), QStringLiteral("--port"), port,
                                      QStringLiteral("findsrvs"), QLatin1String(slp::kServiceType)});
    EXPECT_EQ(services.exitCode, 0) << services.err.toStdString();
    EXPECT_EQ(
        sortedLines(services.out),
        (QStringList{QStringLiteral("service:device.devsvc://127.0.0.2:%1,65535").arg(units.supported->serverPort()),
                     QStringLiteral("service:device.devsvc://127.0.0.3:%1,65535").arg(units.other->serverPort())}));

    // -u takes an address as findsrvs prints it; the service's port after it is not the agent's.
    const ToolRun attributes =
        runTool({QStringLiteral("-u"), QStringLiteral("127.0.0.3:%1").arg(units.other->serverPort()),
                 QStringLiteral("--port"), port, QStringLiteral("findattrs"), QLatin1String(slp::kServiceType)});
    EXPECT_EQ(attributes.exitCode, 0);
    EXPECT_EQ(attributes.out, QStringLiteral("(device-model=4711),(device-sw-version=2.00)\n"));

    // An agent that does not share the scope answers with an error code: exit status 3.
    const ToolRun scoped = runTool({QStringLiteral("-u"), QStringLiteral("127.0.0.2"), QStringLiteral("--port"), port,
                                    QStringLiteral("--scopes"), QStringLiteral("BRIDGE"), QStringLiteral("findattrs"),
                                    QLatin1String(slp::kServiceType)});
    EXPECT_EQ(scoped.exitCode, 3);
    EXPECT_TRUE(scoped.out.isEmpty());
    EXPECT_TRUE(scoped.err.contains(QLatin1String("SLP error 4")));

    // Nobody at the address: nothing printed once the wait is over, and still exit status 0.
    const ToolRun silent = runTool({QStringLiteral("-u"), QStringLiteral("127.0.0.4"), QStringLiteral("--port"), port,
                                    QStringLiteral("--wait"), QStringLiteral("300"), QStringLiteral("findsrvs"),
                                    QLatin1String(slp::kServiceType)});
    EXPECT_EQ(silent.exitCode, 0);
    EXPECT_TRUE(silent.out.isEmpty());
}

TEST(SlpTool, HelpDocumentsTheOptionsAndBadCommandLinesExitWithOne) {
    const ToolRun help = runTool({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* text :
         {"findsrvs", "findattrs", "-u", "--to", "--port", "--wait", "Exit status", "239.255.255.253"})
        EXPECT_TRUE(help.out.contains(QLatin1String(text))) << text;
    // Each of these is refused before anything is sent.
    const QStringList bad[] = {
        {QStringLiteral("findsrvs")},
        {QStringLiteral("lookup"), QLatin1String(slp::kServiceType)},
        {QStringLiteral("-u"), QStringLiteral("not-an-address"), QStringLiteral("findattrs"), QStringLiteral("x")},
        {QStringLiteral("--to"), QStringLiteral("127.0.0.2:99999"), QStringLiteral("findsrvs"), QStringLiteral("x")},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        EXPECT_EQ(runTool(args).exitCode, 1);
    }
}

TEST(SlpDiscovery, OnlyTheModel7302UnitIsDiscovered) {
    TwoUnits units;
    ASSERT_TRUE(units.start());
    IntegrationRig rig;
    pointDiscoveryAt(rig.config, units.slpPort);
    LanDiscovery& discovery = rig.terminal->discovery();
    QSignalSpy finished(&discovery, &LanDiscovery::searchFinished);
    discovery.runSearch();
    ASSERT_TRUE(finished.wait(15000));
    EXPECT_EQ(discovery.discoveredHosts(), QStringList{units.supportedAddress()});
    EXPECT_EQ(rig.config.SlpTcuAddressCount(), 1);
    EXPECT_GE(units.otherAgent.answered(), 2) << "the other unit was found and asked, then left out";
}

TEST(SlpDiscovery, ALanStartWithoutAnAddressConnectsToTheDiscoveredUnitAndLearnsItsVersion) {
    TwoUnits units;
    ASSERT_TRUE(units.start());
    IntegrationRig rig;
    pointDiscoveryAt(rig.config, units.slpPort);
    rig.config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("LAN"));
    rig.config.SetIni(QStringLiteral("[IP Settings]"), QString());
    ASSERT_TRUE(rig.runtime->start().ok);
    ASSERT_TRUE(QTest::qWaitFor([&rig] { return rig.linkedUp(); }, 20000));
    EXPECT_EQ(rig.terminal->tcpLink().target(), units.supportedAddress());
    EXPECT_EQ(units.supported->connectionCount(), 1);
    EXPECT_EQ(units.other->connectionCount(), 0);
    CIniStore saved(rig.path);
    EXPECT_EQ(saved.GetIni(QStringLiteral("[IP Settings]")), units.supportedAddress());
    // Linked with the version unknown: the unit is asked for it.
    ASSERT_TRUE(QTest::qWaitFor([&rig] { return rig.config.GetTcuSwMajor() != 0; }, 15000));
    EXPECT_EQ(rig.config.GetTcuSwMajor(), 1);
    EXPECT_EQ(rig.config.GetTcuSwMinor(), 6);
    const QByteArray log = readAll(rig.path + QStringLiteral("ErrorLog.txt"));
    EXPECT_TRUE(log.contains("Check1"));
    EXPECT_TRUE(log.contains("Check2"));
}
