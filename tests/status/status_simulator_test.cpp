// End to end: the status handlers against the simulated transceiver over loopback TCP.
#include "config/configuration.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "status/module_context.h"
#include "status/session.h"
#include "status/status_module.h"
#include "status/status_summary.h"
#include "status/terminal_status.h"
#include "status_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

// Runs the event loop until the condition holds or the time is up (integration tests only).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

class NoClockSetter final : public ISystemClockSetter {
public:
    int setUtc(const QDateTime&) override { return 0; }
};

} // namespace

TEST(StatusSimulator, FollowsTheUnitAndALoginToAnotherOcean) {
    tessaro::test::EnsureCoreApp();
    sim::MesSimulator simulator;
    ASSERT_TRUE(simulator.listen());

    QTemporaryDir dir;
    CConfiguration config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini"));
    config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"), true);
    CSession session;
    NullMainForm form;
    SystemClock clock;
    CTerminal terminal(config, session, form, clock);
    NoClockSetter setter;
    CInfo info(terminal.infoLog(), terminal.notifier());
    ModuleContext context(terminal, session, info);
    StatusModule module(session, &setter);
    context.attach(module);
    QStringList summaries;
    FollowStatusSummary(session, [&](const QString& line) { summaries << line; });

    TerminalOptions options;
    options.connect = QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort());
    ASSERT_TRUE(terminal.start(options).ok);
    // The first poll burst is asked for as soon as the unit answers, rather than after Timer2's 10 s.
    ASSERT_TRUE(WaitFor([&] { return session.MesConnected(); }, 10000));
    terminal.QueuePollCycle();

    const bool identified = WaitFor(
        [&] {
            return session.LoggedIn() && session.SystemTimeSet() && session.Position().Valid &&
                   session.MobileNumber() != 0 && session.ProductModel() != 0;
        },
        20000);
    ASSERT_TRUE(identified) << StatusSummaryLine(session).toStdString();
    EXPECT_EQ(session.MobileNumber(), simulator.unit()->mobileNumber.toLongLong());
    EXPECT_EQ(session.SerialNumber(), simulator.unit()->serialNumber);
    EXPECT_EQ(ProductModelName(session.ProductModel()), QStringLiteral("LarchC "));
    EXPECT_EQ(session.CurrentOcean(), 1);
    EXPECT_EQ(session.CurrentChannel(), QStringLiteral("NCS"));
    EXPECT_EQ(session.SwVersion(), simulator.unit()->model().swVersion);
    EXPECT_EQ(module.statusIndex(), StatusEastAtlantic);
    EXPECT_LT(qAbs(session.SystemTime().secsTo(simulator.clock()->utc())), 120);

    module.LoginOcean(2);
    // Once the unit has taken the command, its simulated clock is moved on so the login completes at once.
    ASSERT_TRUE(WaitFor([&] { return simulator.unit()->protocol == QStringLiteral("Changing NCS"); }, 10000));
    simulator.clock()->advance(6000);
    terminal.QueueCommand(QStringLiteral("st -w"));
    ASSERT_TRUE(WaitFor([&] { return session.LoggedIn() && session.CurrentOcean() == 2; }, 10000))
        << StatusSummaryLine(session).toStdString();
    EXPECT_EQ(module.statusIndex(), StatusPacificOcean);
    // The headless summary follows (it is printed once the reply's handler is done).
    ASSERT_TRUE(WaitFor(
        [&] { return !summaries.isEmpty() && summaries.last().contains(QStringLiteral("ocean Pacific Ocean")); },
        2000));
    EXPECT_TRUE(summaries.last().contains(QStringLiteral("logged in, ocean Pacific Ocean")));
    EXPECT_TRUE(summaries.last().contains(QStringLiteral("LarchC (Maritime), IMN 492123456")));

    terminal.finishShutDown();
}
