#include "status/status_module.h"

#include "config/configuration.h"
#include "link/in_memory_link.h"
#include "link/terminal.h"
#include "status/module_context.h"
#include "status/session.h"
#include "status_fixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

using namespace tessaro;
using tessaro::test::ReadReply;
using tessaro::test::WithoutPrompt;

namespace {

// Records what the status handlers show, with the status line's colour.
class StatusForm final : public NullMainForm {
public:
    QList<std::pair<QString, unsigned>> statusLines;
    QStringList windows;
    QStringList waits;
    QList<MessageBoxRequest> boxes;
    QList<ConfirmRequest> questions;
    bool answer = false;

    void setStatusLine(const QString& text, unsigned colour) override { statusLines.append({text, colour}); }
    void openWindow(WindowId window) override {
        windows << (window == WindowId::TerminalStatus ? QStringLiteral("TerminalStatus") : QStringLiteral("LinkTest"));
    }
    void setWaitWindow(const QString& text) override { waits << text; }
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes << box;
        closed();
    }
    void confirm(const ConfirmRequest& request, std::function<void(bool)> reply) override {
        questions << request;
        reply(answer);
    }
};

class FakeSetter final : public ISystemClockSetter {
public:
    int result = 0;
    QList<QDateTime> calls;
    int setUtc(const QDateTime& utc) override {
        calls << utc;
        return result;
    }
};

class StatusModuleTest : public ::testing::Test {
protected:
    StatusModuleTest()
        : config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini")),
          terminal(config, session, form, clock, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); }),
          info(terminal.infoLog(), terminal.notifier()), context(terminal, session, info), module(session, &setter) {
        context.attach(module);
        module.setDiskSpaceProbe([this](const QString& folder) -> std::optional<DiskSpace> {
            askedFolder = folder;
            return space;
        });
    }

    // Routes a reply by its echo as the engine does.
    int Route(const QString& reply, const QString& lineEnd = QStringLiteral("\r\n")) {
        return terminal.engine().router().route(reply, lineEnd, QStringLiteral("can0:/$ ")).handled;
    }
    QString Queue() const { return const_cast<CTerminal&>(terminal).engine().queue().text(); }
    // Shows and closes every queued message box.
    void DrainBoxes() {
        for (int i = 0; i < 20 && terminal.messageBoxes().size() > 0; ++i)
            terminal.messageBoxes().onMBoxTimer();
    }
    QString ErrorLog() const {
        QFile f(dir.path() + QStringLiteral("/ErrorLog.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    CConfiguration config;
    CSession session;
    StatusForm form;
    ManualClock clock{QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)};
    CTerminal terminal;
    CInfo info;
    ModuleContext context;
    FakeSetter setter;
    StatusModule module;
    std::optional<DiskSpace> space = DiskSpace{1 << 20, QStringLiteral("/")};
    QString askedFolder;
};

} // namespace

TEST_F(StatusModuleTest, TerminalStatusReplyFillsTheSessionAndTheStatusLine) {
    session.SetMesConnected(true);
    EXPECT_EQ(Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt"))), 1);
    EXPECT_TRUE(session.LoggedIn());
    EXPECT_TRUE(session.Syncronization());
    EXPECT_EQ(session.TDMOrigin(), 244);
    EXPECT_EQ(session.CurrentOcean(), 2);
    EXPECT_EQ(session.LastOcean(), 2);
    EXPECT_EQ(session.CurrentChannel(), QStringLiteral("NCS"));
    EXPECT_EQ(session.CurrentProtocol(), QStringLiteral("Idle"));
    EXPECT_EQ(session.MobileNumber(), 423456789);
    EXPECT_EQ(session.SerialNumber(), QStringLiteral("SN 0412-7733"));
    EXPECT_EQ(session.SwVersion(), QStringLiteral("4.12"));
    EXPECT_EQ(session.SwVerMajor(), 4);
    EXPECT_EQ(session.SwVerMinor(), 12);
    EXPECT_EQ(module.preferredOceanMark(), QChar(u'P'));
    ASSERT_FALSE(form.statusLines.isEmpty());
    EXPECT_EQ(form.statusLines.last().first, QStringLiteral("Pacific Ocean"));
    EXPECT_EQ(form.statusLines.last().second, kStatusLineNormal);
    EXPECT_EQ(module.terminalStatusCaption(), QStringLiteral("Transceiver Status updated"));
    EXPECT_TRUE(module.terminalStatusText().endsWith(QStringLiteral("\r\n\r\n")));
}

TEST_F(StatusModuleTest, ProtocolStatesOverrideTheLoginLine) {
    session.SetMesConnected(true);
    int testModeSeen = 0;
    QObject::connect(&module, &StatusModule::automaticTestModeSeen, &module, [&] { ++testModeSeen; });

    Route(WithoutPrompt(ReadReply("st_w_sending_distress_test.txt")));
    EXPECT_EQ(form.statusLines.last().first, QStringLiteral("Sending Distress test!"));
    EXPECT_EQ(form.statusLines.last().second, kStatusLineAlarm);
    EXPECT_EQ(session.CurrentOcean(), 3);

    Route(WithoutPrompt(ReadReply("st_w_free_not_synchronised.txt")));
    EXPECT_EQ(form.statusLines.last().first, QStringLiteral("Tuning..."));
    EXPECT_EQ(session.CurrentOcean(), 4);
    EXPECT_EQ(session.LastOcean(), 3); // the last known ocean survives a TDM origin of 0
    EXPECT_EQ(testModeSeen, 0);

    Route(WithoutPrompt(ReadReply("st_w_link_test.txt")));
    EXPECT_EQ(form.statusLines.last().first, QStringLiteral("Link Test..."));
    EXPECT_EQ(testModeSeen, 1);
}

TEST_F(StatusModuleTest, StatusRepliesAreIgnoredWhileNotConnected) {
    Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    Route(ReadReply("st_w_logged_in_pacific.txt").replace(QStringLiteral("st -w"), QStringLiteral("st -s")));
    EXPECT_FALSE(session.LoggedIn());
    EXPECT_EQ(session.CurrentOcean(), 4);
    EXPECT_TRUE(form.statusLines.isEmpty());
}

TEST_F(StatusModuleTest, StatusWindowOpensWhenTheRequestedReplyArrives) {
    session.SetMesConnected(true);
    module.ShowTerminalStatus();
    EXPECT_TRUE(Queue().contains(QStringLiteral("st -w\r\n")));
    EXPECT_EQ(module.terminalStatusCaption(), QStringLiteral("Transceiver Status updating..."));
    EXPECT_TRUE(form.windows.isEmpty());
    session.SetSystemTime(QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC));
    Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    EXPECT_EQ(form.windows, QStringList{QStringLiteral("TerminalStatus")});
    ASSERT_FALSE(form.waits.isEmpty());
    EXPECT_TRUE(form.waits.last().isEmpty()); // the wait window closed
    EXPECT_EQ(module.terminalStatusCaption(),
              QStringLiteral("Transceiver Status last updated at 2013-05-07 09:41 UTC"));
    // The poll's own replies do not open it again.
    Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    EXPECT_EQ(form.windows.size(), 1);
}

TEST_F(StatusModuleTest, IdentityRepliesSetTheUnitAndItsNoticesComeOncePerRun) {
    Route(ReadReply("st_v_old_banner.txt"));
    EXPECT_TRUE(session.MobileTypeAlderAB());
    Route(ReadReply("st_i_old_maritime.txt"));
    EXPECT_EQ(session.Identity(), (TransceiverIdentity{2, 1, 1, 2, 1}));
    DrainBoxes();
    ASSERT_EQ(form.boxes.size(), 2);
    EXPECT_TRUE(form.boxes[0].text.startsWith(QStringLiteral("When using Tessaro, please make sure that :")));
    EXPECT_EQ(form.boxes[1].text, QStringLiteral("The transceiver is not supported by this version of Tessaro"));
    EXPECT_EQ(form.boxes[1].title, QStringLiteral("Transceiver not supported"));

    Route(ReadReply("st_i_old_maritime.txt"));
    Route(ReadReply("st_i_cedar_sd.txt"));
    DrainBoxes();
    EXPECT_EQ(form.boxes.size(), 2);

    Route(ReadReply("st_v_new_banner.txt"));
    EXPECT_FALSE(session.MobileTypeAlderAB());
    Route(ReadReply("ver.txt"));
    EXPECT_EQ(session.MinicSwMajor(), 1);
    EXPECT_EQ(session.MinicSwMinor(), 5);
}

TEST_F(StatusModuleTest, LarchUnitsGetNoUnsupportedNotice) {
    Route(ReadReply("st_i_larch_lrit.txt"));
    DrainBoxes();
    EXPECT_TRUE(form.boxes.isEmpty()); // no distress function, supported family
}

TEST_F(StatusModuleTest, PollBurstFollowsTheUnitsCapabilities) {
    session.SetMesConnected(true);
    Route(ReadReply("st_i_larch_lrit.txt")); // SOLAS type 1, model 16
    terminal.QueuePollCycle();
    EXPECT_FALSE(Queue().contains(QStringLiteral("se -q")));
    EXPECT_TRUE(Queue().contains(QStringLiteral("se -r 1")));
    terminal.engine().queue().clear();
    session.SetIdentity(TransceiverIdentity{4, 3, 6, 1, 1}); // aero
    terminal.QueuePollCycle();
    EXPECT_FALSE(Queue().contains(QStringLiteral("se -q")));
    EXPECT_FALSE(Queue().contains(QStringLiteral("se -r 1")));
}

TEST_F(StatusModuleTest, EventTimerActsOncePerTransceiver) {
    config.SetIni(QStringLiteral("[LastEgcNumber]"), QStringLiteral("017"));
    config.SetIni(QStringLiteral("[LastEgcDate]"), QStringLiteral("13-05-07 09:41"));
    int refreshes = 0;
    QObject::connect(&module, &StatusModule::mainWindowRefresh, &module, [&] { ++refreshes; });

    module.onEventTimer(); // nothing identified yet
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(config.GetIni(QStringLiteral("[LastEgcNumber]")), QStringLiteral("017"));

    session.SetIdentity(TransceiverIdentity{2, 5, 18, 3, 1});
    session.SetSerialNumber(QStringLiteral("A1"));
    session.SetMobileNumber(423456789);
    module.onEventTimer();
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(config.GetIni(QStringLiteral("[LastEgcNumber]")).isEmpty());
    EXPECT_TRUE(config.GetIni(QStringLiteral("[LastEgcDate]")).isEmpty());
    EXPECT_EQ(Queue(), QStringLiteral("se -g\r\nse -m ALL_OCEANS\r\n"));
    EXPECT_FALSE(module.pcTimeRequested());

    terminal.engine().queue().clear();
    module.onEventTimer();
    session.Reset(); // link lost: nothing to compare, and the same unit coming back is not new
    module.onEventTimer();
    session.SetIdentity(TransceiverIdentity{2, 5, 18, 3, 1});
    session.SetSerialNumber(QStringLiteral("A1"));
    session.SetMobileNumber(423456789);
    module.onEventTimer();
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(Queue().isEmpty());

    // Another unit without a distress function, with the PC time to be set from it.
    config.SetIni(QStringLiteral("[SETPCTIME]"), QStringLiteral("Yes"));
    session.SetIdentity(TransceiverIdentity{1, 5, 13, 1, 1});
    session.SetSerialNumber(QStringLiteral("B2"));
    module.onEventTimer();
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(Queue(), QStringLiteral("se -m ALL_OCEANS\r\nti -u\r\n"));
    EXPECT_TRUE(module.pcTimeRequested());
}

TEST_F(StatusModuleTest, TimeRepliesSetTheSessionClockAndThePcClockOnlyWhenAsked) {
    Route(ReadReply("ti_u_2013.txt"));
    EXPECT_TRUE(session.SystemTimeSet());
    EXPECT_EQ(session.SystemTime(), QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC));
    EXPECT_TRUE(setter.calls.isEmpty());

    module.RequestPcTimeSetting();
    Route(ReadReply("ti_u_2013.txt"));
    ASSERT_EQ(setter.calls.size(), 1);
    EXPECT_FALSE(module.pcTimeRequested());

    // Not permitted: one clear line in the error log, no crash, no retry.
    setter.result = EPERM;
    module.RequestPcTimeSetting();
    Route(ReadReply("ti_u_2013.txt"));
    Route(ReadReply("ti_u_2013.txt"));
    EXPECT_EQ(setter.calls.size(), 2);
    EXPECT_EQ(ErrorLog().count(QStringLiteral("PC time could not be set")), 1);

    // Refused by the transceiver: the clock is not touched even though an earlier time is known.
    module.RequestPcTimeSetting();
    Route(ReadReply("ti_u_error_120.txt"));
    EXPECT_EQ(setter.calls.size(), 2);
    EXPECT_TRUE(ErrorLog().contains(QStringLiteral("Command does not exist or you do not have access")));
}

TEST_F(StatusModuleTest, PositionAndGpsReplies) {
    int refreshed = 0;
    QObject::connect(&module, &StatusModule::positionWindowRefresh, &module, [&] { ++refreshed; });
    Route(ReadReply("se_p_valid.txt"));
    EXPECT_EQ(refreshed, 1);
    EXPECT_TRUE(session.Position().Valid);
    EXPECT_EQ(session.Position().LatDegrees, 55);
    EXPECT_EQ(session.Position().LonFraction, 30);
    EXPECT_EQ(session.Position().Course, 123);
    EXPECT_EQ(session.Position().Speed, 10);
    EXPECT_EQ(session.Position().Time, QStringLiteral("09:41 UTC"));

    Route(ReadReply("se_p_not_valid.txt"));
    EXPECT_FALSE(session.Position().Valid);
    EXPECT_EQ(session.Position().Course, 0);

    // A position being set closes the please-wait window.
    terminal.setWaitWindow(QStringLiteral("Please wait..."));
    Route(QStringLiteral("se -p 55 40 12 N 012 05 30 E\r\ncan0:/$ "));
    ASSERT_FALSE(form.waits.isEmpty());
    EXPECT_TRUE(form.waits.last().isEmpty());

    terminal.QueueCommand(QStringLiteral("ru -g"));
    EXPECT_EQ(module.gpsStatusCaption(), QStringLiteral("GPS Status Updating..."));
    Route(ReadReply("ru_g.txt"));
    EXPECT_TRUE(session.GpsStatus().startsWith(QStringLiteral("GPS Test Summary")));
    EXPECT_EQ(module.gpsStatusCaption(), QStringLiteral("GPS Status last updated at 2026-03-01 12:00:00"));
}

TEST_F(StatusModuleTest, LinkTestWindowAndExecution) {
    module.OpenLinkTest(); // not connected: the window opens empty, nothing is asked
    EXPECT_EQ(form.windows, QStringList{QStringLiteral("LinkTest")});
    EXPECT_TRUE(Queue().isEmpty());

    session.SetMesConnected(true);
    module.OpenLinkTest();
    module.OpenLinkTest();
    EXPECT_EQ(Queue(), QStringLiteral("st -m\r\nst -m\r\n")); // duplicates allowed
    Route(ReadReply("st_m_results.txt"));
    EXPECT_TRUE(module.linkTestWindowText().startsWith(QStringLiteral("Latest Link Test results\r\n  Result")));
    EXPECT_TRUE(session.LatestLinkTestText().endsWith(QStringLiteral("13-05-07 09:12\r\n")));
    Route(ReadReply("st_m_no_results.txt"));
    EXPECT_EQ(module.linkTestWindowText(), QStringLiteral("No LINK Test results available"));
    EXPECT_TRUE(session.LatestLinkTestText().endsWith(QStringLiteral("13-05-07 09:12\r\n"))); // kept

    terminal.engine().queue().clear();
    session.SetMesConnected(false);
    int closed = 0;
    QObject::connect(&module, &StatusModule::linkTestWindowCloseRequested, &module, [&] { ++closed; });
    form.answer = false;
    module.ExecuteLinkTest();
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(closed, 0);
    form.answer = true;
    module.ExecuteLinkTest();
    EXPECT_EQ(Queue(), QStringLiteral("test\r\n")); // queued even while no transceiver answers
    EXPECT_EQ(closed, 1);
    ASSERT_EQ(form.questions.size(), 2);
    EXPECT_EQ(form.questions[0].title, QStringLiteral("Link test warning"));
    EXPECT_FALSE(form.questions[0].safeAnswer);
    DrainBoxes();
    ASSERT_EQ(form.boxes.size(), 1);
    EXPECT_EQ(form.boxes[0].text, QStringLiteral("The Link test Request has been sent."));
    EXPECT_EQ(form.boxes[0].title, QStringLiteral("Link test"));
}

TEST_F(StatusModuleTest, MenuOperationsQueueTheirCommands) {
    for (int ocean = 0; ocean < 4; ++ocean)
        module.LoginOcean(ocean);
    module.LoginOcean(4); // no NCS to log in to
    module.Logout();
    module.Scan();
    module.SetPreferredOcean(1);
    EXPECT_EQ(Queue(), QStringLiteral("li 44\r\nli 144\r\nli 244\r\nli 344\r\nlo\r\nnc -s\r\nse -o e\r\n"));
    EXPECT_EQ(config.GetIni(QStringLiteral("[Preferred Ocean]")), QStringLiteral("East"));
    module.SetPreferredOcean(4);
    EXPECT_TRUE(Queue().endsWith(QStringLiteral("se -o n\r\n")));
    EXPECT_EQ(config.GetIni(QStringLiteral("[Preferred Ocean]")), QStringLiteral("None"));
}

TEST_F(StatusModuleTest, LowDiskSpaceIsWarnedOncePerRun) {
    config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("LowDiskSpaceLimit"), QStringLiteral("100"));
    space = DiskSpace{900, QStringLiteral("/data")};
    module.onTimer60S(); // the stored limit below 512 becomes 1024, and 900 kB is below it
    EXPECT_EQ(config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("LowDiskSpaceLimit")),
              QStringLiteral("1024"));
    EXPECT_EQ(askedFolder, config.GetIni(QStringLiteral("[egc]")).trimmed());
    DrainBoxes();
    module.onTimer60S();
    DrainBoxes();
    ASSERT_EQ(form.boxes.size(), 1);
    EXPECT_TRUE(
        form.boxes[0].text.startsWith(QStringLiteral("Warning, Low disk space (900 kBytes) on drive '/data'.")));
    EXPECT_TRUE(form.boxes[0].text.contains(QStringLiteral("* Manually delete unused files on drive '/data'.")));

    space.reset();
    module.onTimer60S();
    DrainBoxes();
    ASSERT_EQ(form.boxes.size(), 2);
    EXPECT_EQ(form.boxes[1].text,
              QStringLiteral("EGC Directory invalid. Please set EGC Directory in 'Options->Routing'"));
}

TEST_F(StatusModuleTest, EnoughDiskSpaceRaisesNothing) {
    space = DiskSpace{2048, QStringLiteral("/")};
    module.onTimer60S();
    DrainBoxes();
    EXPECT_TRUE(form.boxes.isEmpty());
    // The real reading of an existing folder works.
    EXPECT_TRUE(FreeDiskSpace(dir.path()).has_value());
    EXPECT_FALSE(FreeDiskSpace(dir.path() + QStringLiteral("/missing")).has_value());
}

TEST_F(StatusModuleTest, LastOceanIsKeptInTheConfigurationAcrossALostLinkAndARestart) {
    session.SetMesConnected(true);
    Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    EXPECT_EQ(config.LastOcean(), 2);

    session.Reset(); // what a lost link does to the session
    Route(WithoutPrompt(ReadReply("st_w_free_not_synchronised.txt")));
    EXPECT_EQ(session.CurrentOcean(), 4);
    EXPECT_EQ(config.LastOcean(), 2);

    CConfiguration restarted(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini"));
    restarted.LoadIni();
    EXPECT_EQ(restarted.LastOcean(), 2);
}

TEST_F(StatusModuleTest, TerminalStatusWithoutATransceiverSaysSoInsteadOfWaiting) {
    ASSERT_FALSE(session.MesConnected());
    module.ShowTerminalStatus();
    DrainBoxes();
    EXPECT_TRUE(form.waits.isEmpty()); // a wait window nothing would ever close
    ASSERT_EQ(form.boxes.size(), 1);
    EXPECT_EQ(form.boxes.first().text, QStringLiteral("Not connected to the transceiver."));

    // The transceiver answering later must not pop the window up unasked.
    session.SetMesConnected(true);
    Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    EXPECT_TRUE(form.windows.isEmpty());
}

TEST_F(StatusModuleTest, ALostLinkClosesTheTerminalStatusWait) {
    session.SetMesConnected(true);
    module.ShowTerminalStatus();
    ASSERT_EQ(form.waits, QStringList{QStringLiteral("Transceiver Status updating...")});

    terminal.LinkLost();
    EXPECT_EQ(form.waits.last(), QString());
    DrainBoxes();
    ASSERT_EQ(form.boxes.size(), 1);
    EXPECT_EQ(form.boxes.first().text, QStringLiteral("Not connected to the transceiver."));

    session.SetMesConnected(true);
    Route(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    EXPECT_TRUE(form.windows.isEmpty());
}
