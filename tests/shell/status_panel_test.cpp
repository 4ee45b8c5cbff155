#include "shell_fakes.h"
#include "shell_test_app.h"

#include "app/runtime.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "egc/egc_module.h"
#include "link/in_memory_link.h"
#include "messaging/messaging_module.h"
#include "shell/alert_window.h"
#include "shell/egc_model.h"
#include "shell/egc_view.h"
#include "shell/main_form.h"
#include "shell/main_menus.h"
#include "shell/night_mode.h"
#include "shell/status_display.h"
#include "shell/tray_notifier.h"
#include "status/session.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

const QDateTime kNoon(QDate(2026, 3, 14), QTime(12, 0), Qt::UTC);

// A session as the status reply leaves it.
void connectSession(CSession& s, bool loggedIn) {
    s.SetMesConnected(true);
    s.SetSyncronization(true);
    s.SetTDMOrigin(144);
    s.SetLoggedIn(loggedIn);
    s.SetSignalStrength(41);
    s.SetCurrentProtocol(QStringLiteral("Free"));
    s.SetCurrentChannel(QStringLiteral("NCS"));
    s.SetSystemTime(kNoon);
    s.SetPos(QStringLiteral("55 40 12 N 12 5 30 E"), QStringLiteral("270"), QStringLiteral("11:48 UTC"),
             QStringLiteral("12"), true);
}

// The colour painted in the middle of a value's left padding, where the text never reaches.
QColor paintedBackground(QLabel& label) {
    label.ensurePolished();
    label.resize(label.sizeHint());
    const QImage image = label.grab().toImage();
    return image.pixelColor(3, image.height() / 2);
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8 &&
           std::abs(a.blue() - b.blue()) <= 8;
}

class StatusPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_config = std::make_unique<CConfiguration>(m_dir.path() + QLatin1Char('/'), false,
                                                    m_dir.filePath(QStringLiteral("settings.ini")));
        m_clock.setUtc(kNoon);
        m_form = std::make_unique<MainForm>(*m_config, m_session, m_clock);
    }
    void TearDown() override {
        m_form->nightMode().setOn(false); // the palette is the application's: leave it as found
        m_form.reset();
    }
    QLabel& value(StatusRowId row) { return *m_form->statusDisplay().valueLabel(row); }

    QTemporaryDir m_dir;
    ManualClock m_clock;
    CSession m_session;
    std::unique_ptr<CConfiguration> m_config;
    std::unique_ptr<MainForm> m_form;
};

TEST_F(StatusPanelTest, LoggedInLoggedOutAndLinkLostSayItInWordsAndColours) {
    const QColor green = ColoursForLevel(StatusLevel::Normal, {}).background;
    const QColor amber = ColoursForLevel(StatusLevel::Degraded, {}).background;
    const QColor red = ColoursForLevel(StatusLevel::Lost, {}).background;
    ASSERT_NE(green, amber);
    ASSERT_NE(amber, red);
    struct Case {
        const char* name;
        std::function<void(CSession&)> arrange;
        const char* login;
        QColor loginColour;
        const char* signal;
        QColor signalColour;
        const char* ocean;
    };
    const Case cases[] = {
        {"logged in", [](CSession& s) { connectSession(s, true); }, "Logged in", green, "41 dBHz", green,
         "East Atlantic"},
        {"logged out", [](CSession& s) { connectSession(s, false); }, "Not logged in", amber, "41 dBHz", green,
         "East Atlantic"},
        {"link lost",
         [](CSession& s) {
             connectSession(s, true);
             s.Reset();
             s.SetMesConnected(false);
         },
         "Link lost", red, "No signal", red, "\u2014"},
    };
    for (const Case& c : cases) {
        c.arrange(m_session);
        m_form->refreshStatusPanel();
        EXPECT_EQ(value(RowLogin).text(), QString::fromUtf8(c.login)) << c.name;
        EXPECT_TRUE(near(paintedBackground(value(RowLogin)), c.loginColour))
            << c.name << " " << paintedBackground(value(RowLogin)).name().toStdString();
        EXPECT_EQ(value(RowSignal).text(), QString::fromUtf8(c.signal)) << c.name;
        EXPECT_TRUE(near(paintedBackground(value(RowSignal)), c.signalColour)) << c.name;
        EXPECT_EQ(value(RowOcean).text(), QString::fromUtf8(c.ocean)) << c.name;
        // Every value has its label.
        for (int row = 0; row < kStatusRowCount; ++row) {
            const StatusRow& r = m_form->statusDisplay().state().rows[size_t(row)];
            EXPECT_FALSE(r.label.isEmpty()) << c.name << " row " << row;
            EXPECT_FALSE(r.value.isEmpty()) << c.name << " row " << row;
        }
    }
}

TEST_F(StatusPanelTest, BeforeTheFirstAnswerTheLinkIsNotConnectedRatherThanLost) {
    m_form->refreshStatusPanel();
    EXPECT_EQ(value(RowLogin).text(), QStringLiteral("Not connected"));
    EXPECT_TRUE(near(paintedBackground(value(RowLogin)), ColoursForLevel(StatusLevel::Lost, {}).background));
}

TEST_F(StatusPanelTest, ChannelProtocolUtcAndGpsAreShownAsReported) {
    connectSession(m_session, true);
    m_form->refreshStatusPanel();
    EXPECT_EQ(value(RowChannel).text(), QStringLiteral("NCS 144"));
    EXPECT_EQ(value(RowProtocol).text(), QStringLiteral("Free"));
    EXPECT_EQ(value(RowUtc).text(), QStringLiteral("2026-03-14 12:00"));
    EXPECT_EQ(value(RowGps).text(), QStringLiteral("Fix"));
    EXPECT_EQ(value(RowPosition).text(), QStringLiteral("55\u00b040.12'N 012\u00b005.30'E\nat 11:48 UTC, 12 min old"));
    EXPECT_EQ(m_form->statusDisplay().state().rows[RowPosition].level, StatusLevel::Normal);
    m_session.SetCurrentProtocol(QStringLiteral("Sending distress"));
    m_session.SetPos(QStringLiteral("55 40 12 N 12 5 30 E"), QStringLiteral("270"), QStringLiteral("--:-- UTC"),
                     QStringLiteral("12"), false);
    m_form->refreshStatusPanel();
    const StatusDisplayState& s = m_form->statusDisplay().state();
    EXPECT_EQ(s.rows[RowProtocol].level, StatusLevel::Lost);
    EXPECT_EQ(value(RowGps).text(), QStringLiteral("No fix"));
    EXPECT_EQ(s.rows[RowGps].level, StatusLevel::Lost);
    EXPECT_EQ(s.rows[RowPosition].level, StatusLevel::Degraded) << "a position without a fix is not current";
}

TEST_F(StatusPanelTest, CtrlPPrintsTheSelectedItemAsItsWindowWould) {
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("EGC")));
    QFile index(m_dir.filePath(QStringLiteral("EGC/EGC.IDX")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("EGC.001:002:31:2:0:2026-12-10 08:15:1234:56:Mem+M:No:26121001.egc\r\n");
    index.close();
    QFile body(m_dir.filePath(QStringLiteral("EGC/26121001.egc")));
    ASSERT_TRUE(body.open(QIODevice::WriteOnly));
    body.write("NAVAREA I 123/26\nGALE WARNING\r\n");
    body.close();
    m_form->setEgcStore(index.fileName(), m_dir.filePath(QStringLiteral("EGC")) + QLatin1Char('/'));
    QSignalSpy printed(m_form.get(), &MainForm::printRequested);
    m_form->menus().showTab[MainForm::kEgcTab]->trigger();
    m_form->menus().print->trigger();
    EXPECT_EQ(printed.count(), 0) << "nothing selected, nothing printed";
    m_form->egcView().setCurrentIndex(m_form->egcModel().index(0, 0));
    m_form->menus().print->trigger();
    ASSERT_EQ(printed.count(), 1);
    const QString text = printed.at(0).at(0).toString();
    EXPECT_TRUE(text.contains(QStringLiteral("26121001.egc\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n\r\nNAVAREA I 123/26\r\nGALE WARNING\r\n"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("::"))) << "one colon after each label";
}

TEST(StatusPanelRowsTest, PositionAgeAndPendingMessages) {
    struct AgeCase {
        const char* time;
        QDateTime reference;
        int minutes;
    };
    const AgeCase ages[] = {
        {"11:48 UTC", kNoon, 12},
        {"11:48", kNoon, 12},
        {"23:50 UTC", QDateTime(QDate(2026, 3, 15), QTime(0, 10), Qt::UTC), 20}, // across midnight
        {"12:00", kNoon, 0},
        {"--:-- UTC", kNoon, -1},
        {"", kNoon, -1},
        {"25:61", kNoon, -1},
        {"11:48", QDateTime(), -1},
    };
    for (const AgeCase& c : ages)
        EXPECT_EQ(PositionAgeMinutes(QString::fromLatin1(c.time), c.reference), c.minutes) << c.time;

    CSession s;
    connectSession(s, true);
    // An old fix is amber; without the transceiver's clock the PC's UTC tells the age.
    s.SetPos(QStringLiteral("55 40 12 N 12 5 30 E"), QStringLiteral("270"), QStringLiteral("10:00 UTC"),
             QStringLiteral("12"), true);
    StatusDisplayState v = ComputeStatusDisplay(s, {kNoon, 0, true});
    EXPECT_TRUE(v.rows[RowPosition].value.endsWith(QStringLiteral("120 min old")));
    EXPECT_EQ(v.rows[RowPosition].level, StatusLevel::Degraded);
    s.ResetPos();
    v = ComputeStatusDisplay(s, {kNoon, 0, true});
    EXPECT_EQ(v.rows[RowPosition].value, QStringLiteral("No position"));
    EXPECT_EQ(v.rows[RowPosition].level, StatusLevel::Lost);

    struct PendingCase {
        int pending;
        bool loggedIn;
        const char* value;
        StatusLevel level;
    };
    const PendingCase pending[] = {
        {-1, true, "\u2014", StatusLevel::Neutral},
        {0, false, "0", StatusLevel::Neutral},
        {3, true, "3", StatusLevel::Neutral},
        {3, false, "3", StatusLevel::Degraded}, // they cannot leave
    };
    for (const PendingCase& c : pending) {
        s.SetLoggedIn(c.loggedIn);
        v = ComputeStatusDisplay(s, {kNoon, c.pending, true});
        EXPECT_EQ(v.rows[RowPending].value, QString::fromUtf8(c.value)) << c.pending;
        EXPECT_EQ(v.rows[RowPending].level, c.level) << c.pending << c.loggedIn;
    }
}

TEST_F(StatusPanelTest, NightModeDarkensTheWholeProgramInStepsAndIsRemembered) {
    connectSession(m_session, true);
    m_form->refreshStatusPanel();
    const QColor dayWindowColour = QApplication::palette().color(QPalette::Window);
    const int dayWindow = dayWindowColour.lightness();
    const QColor dayGreen = paintedBackground(value(RowLogin));
    MainMenus& m = m_form->menus();
    EXPECT_FALSE(m.nightMode->isChecked());
    EXPECT_FALSE(m.nightDim[0]->isEnabled()) << "the dim steps belong to night mode";

    m.nightMode->trigger();
    EXPECT_TRUE(m_form->nightMode().settings().on);
    int previousWindow = QApplication::palette().color(QPalette::Window).lightness();
    int previousText = QApplication::palette().color(QPalette::WindowText).lightness();
    EXPECT_LT(previousWindow, dayWindow / 3);
    EXPECT_GT(previousText, previousWindow) << "text stays readable";
    QColor previousGreen = paintedBackground(value(RowLogin));
    EXPECT_LT(previousGreen.lightness(), dayGreen.lightness());
    EXPECT_GT(previousGreen.green(), previousGreen.red()) << "green still means green";
    EXPECT_EQ(value(RowLogin).text(), QStringLiteral("Logged in"));

    for (int step = 1; step < kNightDimSteps; ++step) {
        m.nightDim[size_t(step)]->trigger();
        const int text = QApplication::palette().color(QPalette::WindowText).lightness();
        const QColor green = paintedBackground(value(RowLogin));
        EXPECT_LT(text, previousText) << step;
        EXPECT_LT(green.lightness(), previousGreen.lightness()) << step;
        previousText = text;
        previousGreen = green;
    }

    // The next start comes up as it was left.
    MainForm again(*m_config, m_session, m_clock);
    EXPECT_TRUE(again.menus().nightMode->isChecked());
    EXPECT_TRUE(again.menus().nightDim[2]->isChecked());
    EXPECT_EQ(again.nightMode().settings(), (NightSettings{true, 2}));

    m.nightMode->trigger();
    EXPECT_FALSE(LoadNightSettings(*m_config).on);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), dayWindowColour) << "the day palette comes back";
    EXPECT_TRUE(near(paintedBackground(value(RowLogin)), dayGreen));
}

TEST(NightSettingsTest, StoredValuesAreReadLeniently) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CConfiguration config(dir.path() + QLatin1Char('/'), false, dir.filePath(QStringLiteral("settings.ini")));
    struct Case {
        const char* on;
        const char* dim;
        NightSettings expected;
    };
    const Case cases[] = {
        {"1", "1", {true, 1}},   {" 1", "2 ", {true, 2}}, {"yes", "9", {false, 2}},
        {"0", "-3", {false, 0}}, {"", "", {false, 0}},
    };
    for (const Case& c : cases) {
        config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("NightMode"), QString::fromLatin1(c.on));
        config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("NightDim"), QString::fromLatin1(c.dim));
        EXPECT_EQ(LoadNightSettings(config), c.expected) << c.on << "/" << c.dim;
    }
}

// Records what the notification area was asked to show.
class RecordingTray final : public ITrayBackend {
public:
    explicit RecordingTray(QStringList& shown) : m_shown(shown) {}
    void setToolTip(const QString& text) override { toolTip = text; }
    void showMessage(const QString& title, const QString& text) override {
        m_shown << title + QStringLiteral(" | ") + text;
    }
    QString toolTip;

private:
    QStringList& m_shown;
};

TEST(TrayNotifierTest, OnlyRoutineAndSafetyTrafficIsNotified) {
    QStringList shown;
    TrayNotifier tray(std::make_unique<RecordingTray>(shown));
    for (auto traffic : {TrayNotifier::Traffic::Message, TrayNotifier::Traffic::Egc})
        for (int priority = -1; priority <= 4; ++priority)
            EXPECT_EQ(tray.received(traffic, priority, QStringLiteral("IN.1")), priority == 0 || priority == 1)
                << priority;
    EXPECT_EQ(shown, (QStringList{QStringLiteral("New message received | Routine: IN.1"),
                                  QStringLiteral("New message received | Safety: IN.1"),
                                  QStringLiteral("New EGC received | Routine: IN.1"),
                                  QStringLiteral("New EGC received | Safety: IN.1")}));
    // Without a notification area nothing is shown and nothing fails.
    TrayNotifier none(nullptr);
    EXPECT_FALSE(none.available());
    EXPECT_FALSE(none.received(TrayNotifier::Traffic::Message, 0, {}));
    none.setStatus(QStringLiteral("East Atlantic"), 2);
    EXPECT_EQ(none.toolTip(), QStringLiteral("Tessaro - East Atlantic\nMessages not sent yet: 2"));
}

TEST(TrayNotifierTest, UrgentAndDistressTrafficReachesTheOperatorThroughTheAlarmWindowOnly) {
    test::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RuntimeOptions options;
    options.dataPath = dir.path() + QLatin1Char('/');
    options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
    ManualClock clock;
    TessaroRuntime runtime(options, clock);
    MainForm form(runtime.config(), runtime.session(), clock);
    runtime.attach(form, [](LinkKind kind) { return std::make_unique<InMemoryLink>(kind); });
    form.attach(runtime);
    form.setAlarmPlayer(std::make_unique<test::FakeAlarmPlayer>());
    QStringList shown;
    auto recorder = std::make_unique<RecordingTray>(shown);
    RecordingTray* tray = recorder.get();
    form.tray().setBackend(std::move(recorder));
    EXPECT_TRUE(tray->toolTip.startsWith(QStringLiteral("Tessaro - "))) << "the tool tip is there at once";

    const QString path = dir.filePath(QStringLiteral("IN.1"));
    Q_EMIT runtime.messaging().stored(path, QStringLiteral("message"), 0, QStringLiteral("IN.1"));
    Q_EMIT runtime.egc().stored(path, QStringLiteral("egc"), 1, QStringLiteral("EGC.001"));
    EXPECT_EQ(shown.size(), 2);
    // The reception raises the alarm for Urgent and Distress traffic; the tray stays silent.
    form.showAlert(AlertKind::DistressMessage, QStringLiteral("Distress relay"));
    Q_EMIT runtime.messaging().stored(path, QStringLiteral("message"), 3, QStringLiteral("IN.2"));
    Q_EMIT runtime.egc().stored(path, QStringLiteral("egc"), 2, QStringLiteral("EGC.002"));
    EXPECT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
    ASSERT_NE(form.alertWindow(), nullptr);
    EXPECT_TRUE(form.alertWindow()->isVisible());
}

} // namespace
