#include "shell_fakes.h"
#include "shell_test_app.h"

#include "app/runtime.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "messaging/messaging_module.h"
#include "reporting/forms_service.h"
#include "shell/alert_window.h"
#include "shell/comm_settings_dialog.h"
#include "shell/forms_menu_controller.h"
#include "shell/inbox_model.h"
#include "shell/mailbox_view.h"
#include "shell/main_form.h"
#include "shell/outbox_model.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QAction>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "config/access_password.h"
#include "shell/alarm_player.h"
#include "shell/distress_test_window.h"
#include "shell/distress_windows.h"
#include "shell/egc_alarm_window.h"
#include "shell/egc_model.h"
#include "shell/main_menus.h"
#include "shell/password_prompt.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

using namespace tessaro;

namespace {

// The whole program against the simulator over loopback TCP, with the real window and timers.
class GuiFlowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_sim = std::make_unique<sim::MesSimulator>();
        ASSERT_TRUE(m_sim->listen(QHostAddress(QHostAddress::LocalHost), 0));
        RuntimeOptions options;
        options.dataPath = m_dir.path() + QLatin1Char('/');
        options.settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
        options.acceptDisclaimer = true;
        options.formsPort = 0; // forms server on a free port
        options.terminal.connect = QStringLiteral("127.0.0.1:%1").arg(m_sim->serverPort());
        m_runtime = std::make_unique<TessaroRuntime>(options, m_clock);
        m_config = &m_runtime->config();
        for (const char* key :
             {"[Default LES West]", "[Default LES East]", "[Default LES Pacific]", "[Default LES Indian]"})
            m_config->SetIni(QLatin1String(key), QStringLiteral("112"));
        m_form = std::make_unique<MainForm>(*m_config, m_runtime->session(), m_clock);
        m_runtime->attach(*m_form);
        m_terminal = &m_runtime->terminal();
        m_status = &m_runtime->status();
        m_messaging = &m_runtime->messaging();
        m_form->attach(*m_runtime);
        m_form->setDisclaimerAccepted(true);
        ASSERT_TRUE(m_runtime->start().ok);
        m_form->reloadMailboxes();
        m_form->show();
        ASSERT_TRUE(waitFor([&] { return bool(m_runtime->session().MesConnected()); }, 10000))
            << "the simulator never answered";
        m_terminal->tick(TerminalTimer::Timer2); // the first poll burst now instead of in 10 s
        ASSERT_TRUE(waitFor([&] { return !m_runtime->session().SwVersion().isEmpty(); }, 10000)) << "no status reply";
    }

    void TearDown() override {
        if (m_terminal && !m_terminal->hasFinished())
            m_terminal->finishShutDown();
        m_form.reset(); // before the runtime whose modules it watches
        m_runtime.reset();
    }

    // Integration tests only: the real event loop runs until the condition holds or the time is up.
    template <typename F> bool waitFor(F condition, int ms) {
        QDeadlineTimer deadline(ms);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QEventLoop loop;
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return true;
    }

    QTemporaryDir m_dir;
    SystemClock m_clock;
    std::unique_ptr<sim::MesSimulator> m_sim;
    std::unique_ptr<TessaroRuntime> m_runtime;
    CConfiguration* m_config = nullptr;
    std::unique_ptr<MainForm> m_form;
    CTerminal* m_terminal = nullptr;
    StatusModule* m_status = nullptr;
    MessagingModule* m_messaging = nullptr;
};

TEST_F(GuiFlowsTest, ReceivedMessageAppearsInTheInboxBoldAndOpens) {
    ASSERT_TRUE(m_sim->control(QStringLiteral("message les=112 priority=0 Cargo manifest follows")).ok);
    m_terminal->tick(TerminalTimer::Timer2); // the next poll burst now instead of in 10 s
    ASSERT_TRUE(waitFor([&] { return m_form->inboxModel().rowCount() == 1; }, 20000));
    InboxModel& inbox = m_form->inboxModel();
    EXPECT_TRUE(inbox.isUnread(0));
    m_form->mailboxTabs().setCurrentIndex(0);
    m_form->inboxView().setCurrentIndex(inbox.index(0, 0));
    m_form->openSelectedMessage();
    auto windows = m_form->findChildren<QDialog*>(QStringLiteral("MessageWindow"));
    ASSERT_EQ(windows.size(), 1);
    // Opening marks it read; the grid follows the index.
    ASSERT_TRUE(waitFor([&] { return inbox.rowCount() == 1 && !inbox.isUnread(0); }, 5000));
}

TEST_F(GuiFlowsTest, ComposedMessageReachesTheSimulatorAndTheOutbox) {
    m_form->newMessage();
    MessageEditor* editor = m_form->editor();
    ASSERT_NE(editor, nullptr);
    editor->addRecipient({FieldTo, Telex, QStringLiteral("58123456")});
    editor->setSubject(QStringLiteral("Noon"));
    const QString body = QStringLiteral("Noon position 55 40N 012 35E");
    editor->setBody(body);
    Q_EMIT editor->sendRequested();
    SendingDialog* dialog = m_form->sendingDialog();
    ASSERT_NE(dialog, nullptr);
    Q_EMIT dialog->submitRequested();
    ASSERT_TRUE(waitFor([&] { return m_form->outboxModel().rowCount() == 1; }, 5000));
    EXPECT_EQ(m_form->outboxModel().status(0), QStringLiteral("Initiated"));
    const auto uploaded = [&] {
        for (const sim::SimFile& f : m_sim->unit()->files())
            if (f.kind == sim::FileKind::Upload && QString::fromLatin1(f.body).contains(body))
                return true;
        return false;
    };
    EXPECT_TRUE(waitFor(uploaded, 20000)) << "the body never reached the simulator";
    // The transceiver's reports move the line on from "Initiated".
    for (int i = 0; i < 4 && m_form->outboxModel().status(0) == u"Initiated"; ++i) {
        m_terminal->tick(TerminalTimer::Timer2);
        waitFor([&] { return m_form->outboxModel().status(0) != u"Initiated"; }, 5000);
    }
    EXPECT_NE(m_form->outboxModel().status(0), QStringLiteral("Initiated"));
}

// The code page is chosen in the sending dialog: Cyrillic goes out in it, and a page that cannot carry
// the text is named with the characters in a message box before anything is sent.
TEST_F(GuiFlowsTest, CodePageChosenInTheSendingDialogDecidesWhatIsSent) {
    const QString body = QString::fromUtf8("\xD0\x96\xD0\xB4\xD1\x91\xD0\xBC 55N");
    const auto compose = [&](const QString& codePage) {
        m_form->newMessage();
        MessageEditor* editor = m_form->editor();
        editor->addRecipient({FieldTo, Telex, QStringLiteral("58123456")});
        editor->setBody(body);
        Q_EMIT editor->sendRequested();
        SendingDialog* dialog = m_form->sendingDialog();
        dialog->codePageBox()->setCurrentIndex(dialog->codePageBox()->findData(codePage));
        Q_EMIT dialog->submitRequested();
    };

    compose(QString());
    const auto boxes = m_form->findChildren<QMessageBox*>();
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_TRUE(boxes.last()->text().contains(QString::fromUtf8("\xD0\x96 (U+0416)")))
        << boxes.last()->text().toStdString();
    EXPECT_TRUE(boxes.last()->text().contains(QLatin1String("Latin-1")));
    EXPECT_EQ(m_form->outboxModel().rowCount(), 0);

    compose(QStringLiteral("1251"));
    ASSERT_TRUE(waitFor([&] { return m_form->outboxModel().rowCount() == 1; }, 5000));
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[CodePage]")), QStringLiteral("1251"));
    const QByteArray cp1251("\xC6\xE4\xB8\xEC 55N");
    const auto uploaded = [&] {
        for (const sim::SimFile& f : m_sim->unit()->files())
            if (f.kind == sim::FileKind::Upload && f.body.contains(cp1251))
                return true;
        return false;
    };
    EXPECT_TRUE(waitFor(uploaded, 20000)) << "the 1251 body never reached the simulator";
}

TEST_F(GuiFlowsTest, EmptyRecipientsAreRefusedBeforeTheSendingDialog) {
    m_form->newMessage();
    Q_EMIT m_form->editor()->sendRequested();
    EXPECT_EQ(m_form->sendingDialog(), nullptr);
    ASSERT_NE(m_form->currentMessageBox(), nullptr);
    EXPECT_EQ(m_form->currentMessageBox()->text(),
              QStringLiteral("You have to select minimum one destination address!"));
}

// The whole EGC path as the operator meets it: the debug menu makes the transceiver receive an urgent
// EGC, the poll fetches it into the grid, the alarm window rings through the player until OK.
TEST_F(GuiFlowsTest, UrgentEgcFromTheSimulatorRingsTheAlarmUntilAcknowledged) {
    QStringList written;
    QObject::connect(&m_terminal->engine(), &CommandEngine::lineWritten, [&](const QString& l) { written << l; });
    auto player = std::make_unique<test::FakeAlarmPlayer>();
    const test::FakeAlarmPlayer& counts = *player;
    m_form->setAlarmPlayer(std::move(player));
    Q_EMIT m_form->simulateEgcRequested(2); // "Receive EGC Urgency"
    // A poll burst whenever the engine has gone quiet, as the 10 s timer would, until the EGC is in the grid.
    ASSERT_TRUE(waitFor(
        [&] {
            if (m_terminal->engine().queue().isEmpty() && m_terminal->engine().EngineState() == 0)
                m_terminal->tick(TerminalTimer::Timer2);
            return m_form->egcModel().rowCount() == 1;
        },
        20000))
        << written.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(m_form->egcModel().isAlarmPriority(0));
    EXPECT_TRUE(m_form->egcModel().isUnread(0));
    m_form->openEgc(0);
    EXPECT_TRUE(waitFor([&] { return m_form->egcModel().rowCount() == 1 && !m_form->egcModel().isUnread(0); }, 3000))
        << "opening it marks it read";
    ASSERT_TRUE(waitFor([&] { return m_form->egcAlarmWindow() && m_form->egcAlarmWindow()->isVisible(); }, 5000));
    EXPECT_TRUE(m_form->egcAlarmWindow()->alarmRunning());
    EXPECT_TRUE(waitFor([&] { return counts.plays >= 2; }, 5000)) << "the sound repeats";
    m_form->egcAlarmWindow()->okButton()->click();
    EXPECT_FALSE(m_form->egcAlarmWindow() && m_form->egcAlarmWindow()->alarmRunning());
    EXPECT_GE(counts.stops, 1);
}

// The EGC set-up is a configuration window: with a configuration password set it opens only after the
// right password, and a wrong one sends nothing to the transceiver.
TEST_F(GuiFlowsTest, EgcSetupWaitsForTheConfigurationPassword) {
    m_config->SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Config Password"),
                               EncodeAccessPassword(QStringLiteral("Bridge1")));
    QStringList written;
    QObject::connect(&m_terminal->engine(), &CommandEngine::lineWritten, [&](const QString& l) { written << l; });
    Q_EMIT m_form->egcSetupRequested();
    auto* prompt = m_form->findChild<PasswordPrompt*>();
    ASSERT_NE(prompt, nullptr);
    prompt->field().setText(QStringLiteral("bridge1"));
    prompt->submit();
    EXPECT_TRUE(prompt->isVisible()) << "stays open for another try";
    waitFor([] { return false; }, 300);
    EXPECT_FALSE(written.join(QLatin1Char('|')).contains(QLatin1String("se -sn")));
    prompt->field().setText(QStringLiteral("Bridge1"));
    prompt->submit();
    EXPECT_TRUE(waitFor([&] { return written.join(QLatin1Char('|')).contains(QLatin1String("se -sn")); }, 5000))
        << written.join(QLatin1Char('|')).toStdString();
}

// The provider list, the routing and the terminal open from their menus only after the configuration password.
TEST_F(GuiFlowsTest, GuardedListWindowsWaitForTheConfigurationPassword) {
    m_config->SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Config Password"),
                               EncodeAccessPassword(QStringLiteral("Bridge1")));
    const struct {
        QAction* action;
        const char* window;
    } cases[] = {{m_form->menus().emailProviders, "tessaro::EmailServicesForm"},
                 {m_form->menus().routing, "tessaro::RoutingForm"},
                 {m_form->menus().terminalMode, "tessaro::TerminalModeForm"}};
    const auto open = [this](const char* name) {
        int n = 0;
        for (QWidget* w : m_form->findChildren<QWidget*>())
            n += w->isVisible() && QLatin1String(w->metaObject()->className()) == QLatin1String(name) ? 1 : 0;
        return n;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        c.action->trigger();
        PasswordPrompt* prompt = nullptr;
        for (PasswordPrompt* p : m_form->findChildren<PasswordPrompt*>())
            if (p->isVisible())
                prompt = p;
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(open(c.window), 0) << "nothing before the password";
        prompt->field().setText(QStringLiteral("Bridge1"));
        prompt->submit();
        EXPECT_TRUE(waitFor([&] { return open(c.window) == 1; }, 3000));
    }
}

// The distress menu: the warning window first; its OK reads the generator, whose window then opens.
TEST_F(GuiFlowsTest, DistressAlertSetupOpensTheGeneratorAfterTheWarning) {
    m_form->menus().distressSetup->trigger();
    auto* warning = m_form->findChild<DistressInfoForm*>();
    ASSERT_NE(warning, nullptr);
    EXPECT_TRUE(warning->isVisible());
    auto* buttons = warning->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    buttons->button(QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(waitFor(
        [&] {
            auto* generator = m_form->findChild<DistressGeneratorForm*>();
            return generator && generator->isVisible();
        },
        10000));
}

// With a transmit password set, nothing is queued until the password is given.
TEST_F(GuiFlowsTest, TransmitPasswordIsAskedBeforeAnythingIsSent) {
    m_config->SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Transmit Password"),
                               EncodeAccessPassword(QStringLiteral("Tx9")));
    m_form->newMessage();
    MessageEditor* editor = m_form->editor();
    ASSERT_NE(editor, nullptr);
    editor->addRecipient({FieldTo, Telex, QStringLiteral("58123456")});
    editor->setBody(QStringLiteral("Noon position 55 40N 012 35E"));
    Q_EMIT editor->sendRequested();
    ASSERT_NE(m_form->sendingDialog(), nullptr);
    Q_EMIT m_form->sendingDialog()->submitRequested();
    auto* prompt = m_form->findChild<PasswordPrompt*>();
    ASSERT_NE(prompt, nullptr);
    prompt->field().setText(QStringLiteral("tx9"));
    prompt->submit();
    waitFor([] { return false; }, 300);
    EXPECT_EQ(m_form->outboxModel().rowCount(), 0) << "a wrong password sends nothing";
    prompt->field().setText(QStringLiteral("Tx9"));
    prompt->submit();
    EXPECT_TRUE(waitFor([&] { return m_form->outboxModel().rowCount() == 1; }, 5000));
}

// The distress menu starts the buttons test; the test window comes up and its Cancel ends the test.
TEST_F(GuiFlowsTest, DistressTestModeStartsFromTheMenuAndCancelEndsIt) {
    QStringList written;
    QObject::connect(&m_terminal->engine(), &CommandEngine::lineWritten, [&](const QString& l) { written << l; });
    ASSERT_TRUE(m_form->menus().distressTestMode->isEnabled());
    m_form->menus().distressTestMode->trigger();
    ASSERT_TRUE(waitFor([&] { return written.join(u'|').contains(QLatin1String("se -q 1")); }, 5000))
        << written.join(u'|').toStdString();
    auto* window = m_form->findChild<DistressModeForm*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return window->isVisible(); }, 5000));
    auto* cancel = window->findChild<QPushButton*>(QStringLiteral("CancelButton"));
    ASSERT_NE(cancel, nullptr);
    // Cancel counts once the transceiver has confirmed the test mode.
    ASSERT_TRUE(
        waitFor([&] { return m_runtime->distress().testMode().GetState() == int(TestModeState::Running); }, 10000));
    cancel->click();
    EXPECT_TRUE(waitFor([&] { return written.join(u'|').contains(QLatin1String("se -q 0")); }, 5000))
        << written.join(u'|').toStdString();
    EXPECT_FALSE(m_form->inHarbourButton()->isVisible()) << "offered only when the setting says so";
}

TEST_F(GuiFlowsTest, Info552TurnsTheIndicatorRedUntilTheReportSettlesIt) {
    ASSERT_TRUE(m_sim->control(QStringLiteral("info 552 Message transfer needs attention")).ok);
    m_terminal->tick(TerminalTimer::Timer2);
    ASSERT_TRUE(waitFor([&] { return m_form->messageIndicatorAlarm(); }, 10000));
    ASSERT_TRUE(m_sim->control(QStringLiteral("info 81 Message delivered")).ok);
    m_terminal->tick(TerminalTimer::Timer2);
    EXPECT_TRUE(waitFor([&] { return !m_form->messageIndicatorAlarm(); }, 10000));
}

TEST_F(GuiFlowsTest, LinkIndicatorTurnsRedWhenTheSimulatorGoesAway) {
    ASSERT_TRUE(waitFor([&] { return m_form->statusField().background == kIndicatorGreen; }, 5000));
    m_sim.reset();
    EXPECT_TRUE(waitFor([&] { return m_form->statusField().background == kIndicatorRed; }, 20000));
    EXPECT_FALSE(m_form->statusField().text.isEmpty());
}

} // namespace

TEST_F(GuiFlowsTest, FormsMenuListsTheFormsAndOpensTheChosenOneInTheBrowser) {
    FormsMenuController* forms = m_form->formsMenu();
    ASSERT_NE(forms, nullptr);
    ASSERT_NE(m_runtime->forms().service(), nullptr);
    ASSERT_TRUE(m_runtime->forms().service()->isListening());
    QList<QUrl> opened;
    forms->openUrl = [&](const QUrl& url) {
        opened << url;
        return true;
    };
    forms->rebuild();
    // The example forms are installed into the empty forms folder and listed by their titles.
    QAction* chosen = nullptr;
    for (QAction* a : forms->menu()->actions())
        if (a->toolTip().endsWith(QLatin1String(".htm")) && a->toolTip().contains(QLatin1String("position")))
            chosen = a;
    ASSERT_NE(chosen, nullptr) << "no position-report form in the menu";
    EXPECT_FALSE(chosen->text().endsWith(QLatin1String(".htm"))) << "captioned by its title";
    chosen->trigger();
    ASSERT_EQ(opened.size(), 1);
    const QUrl served(m_runtime->forms().service()->url());
    EXPECT_EQ(opened[0].port(), served.port());
    EXPECT_TRUE(opened[0].path().endsWith(chosen->toolTip()));
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[LastForm]")), chosen->toolTip());

    // The "Forms" entry opens the last shown form again.
    forms->openLastForm();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], opened[0]);
}

TEST_F(GuiFlowsTest, DistressPriorityMessageRaisesTheAlertWindowUntilAcknowledged) {
    // A distress and an urgency message in the same batch: neither hides the other, distress names the alarm.
    ASSERT_TRUE(m_sim->control(QStringLiteral("message les=102 priority=3 Vessel on fire in 50N 010W")).ok);
    ASSERT_TRUE(m_sim->control(QStringLiteral("message les=112 priority=2 Tow requested for disabled vessel")).ok);
    m_terminal->tick(TerminalTimer::Timer2);
    ASSERT_TRUE(waitFor([&] { return m_form->alertWindow() && m_form->alertWindow()->pendingAlerts() == 2; }, 20000));
    AlertWindow* alert = m_form->alertWindow();
    EXPECT_TRUE(alert->isVisible());
    EXPECT_FALSE(alert->isModal()) << "the operator can still work in the main window";
    EXPECT_TRUE(alert->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Message with distress priority received"));
    EXPECT_EQ(alert->captionText(), QStringLiteral("DISTRESS PRIORITY MESSAGE"));
    EXPECT_TRUE(alert->messagesText().contains(QLatin1String("Vessel on fire"))) << "the alert shows the message";
    EXPECT_TRUE(alert->messagesText().contains(QLatin1String("Tow requested")));
    EXPECT_TRUE(alert->alarmRunning());
    ASSERT_TRUE(waitFor([&] { return alert->beepsSoFar() >= 2; }, 3000)) << "the alarm repeats until acknowledged";

    alert->reject(); // Escape or the close button acknowledge as well
    EXPECT_FALSE(alert->alarmRunning());
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(alert->pendingAlerts(), 0);
}

TEST_F(GuiFlowsTest, CommSettingsApplyAtOnceAndOkWithoutAChangeKeepsTheLink) {
    ASSERT_TRUE(waitFor([&] { return m_form->statusField().background == kIndicatorGreen; }, 5000));
    const auto connectingLines = [&] {
        return m_form->informationLines().filter(QStringLiteral("new communication settings")).size();
    };
    // OK on the unchanged LAN page keeps the link this run uses (here the one the command line chose).
    CommChoice same;
    same.lan = true;
    same.tcuAddress = m_config->GetIni(QStringLiteral("[IP Settings]"));
    m_form->applyCommChoice(same);
    EXPECT_TRUE(m_runtime->session().MesConnected());
    EXPECT_EQ(connectingLines(), 0);

    // Serial chosen: the LAN link is left at once and the chosen device is used.
    CommChoice serial;
    serial.lan = false;
    serial.comDevice = m_dir.filePath(QStringLiteral("ttyNothing"));
    serial.comSettings = QStringLiteral("9600,n,8,1");
    m_form->applyCommChoice(serial);
    EXPECT_FALSE(m_terminal->usingLan());
    EXPECT_FALSE(m_runtime->session().MesConnected());
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[HOST Interface]")), QStringLiteral("COM"));
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[COM Device]")), serial.comDevice);
    EXPECT_EQ(connectingLines(), 1);
    EXPECT_TRUE(waitFor([&] { return m_form->statusField().background == kIndicatorRed; }, 20000));

    // Back to the LAN at the simulator's address: connected again without a restart.
    CommChoice lan;
    lan.lan = true;
    lan.tcuAddress = QStringLiteral("127.0.0.1:%1").arg(m_sim->serverPort());
    m_form->applyCommChoice(lan);
    EXPECT_TRUE(m_terminal->usingLan());
    EXPECT_TRUE(waitFor([&] { return bool(m_runtime->session().MesConnected()); }, 20000))
        << "the new address was not used";
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[IP Settings]")), lan.tcuAddress);
}
