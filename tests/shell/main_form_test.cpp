#include "shell_test_app.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "link/message_box_queue.h"
#include "messaging/message_submission.h"
#include "shell/alert_window.h"
#include "shell/main_form.h"
#include "shell/main_presenter.h"
#include "shell/message_editor.h"
#include "shell/message_window.h"
#include "shell/status_display.h"
#include "shell/vessel_dialogs.h"
#include "shell/window_geometry.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

TEST(MainPresenterTest, StatusFieldCombinesIndicatorAndStatusLine) {
    struct Case {
        const char* name;
        bool green;
        const char* indicatorText;
        bool statusSet;
        unsigned statusColour;
        const char* expectedText;
        unsigned expectedBackground;
    };
    const Case cases[] = {
        {"link down", false, "Mobile not connected", true, kStatusLineNormal, "Mobile not connected", kIndicatorRed},
        {"socket up, transceiver silent", true, "Connected to TCU", false, 0, "Connected to TCU", kIndicatorGreen},
        {"reporting: status line text on green", true, "", true, kStatusLineNormal, "East Atlantic", kIndicatorGreen},
        {"distress stays white on red", true, "", true, kStatusLineAlarm, "East Atlantic", kStatusLineAlarm},
        {"link lost hides a stale status", false, "Mobile not connected", true, kStatusLineAlarm,
         "Mobile not connected", kIndicatorRed},
    };
    for (const Case& c : cases) {
        MainPresenter p;
        p.setLinkIndicator({c.green, QString::fromLatin1(c.indicatorText), 0});
        if (c.statusSet)
            p.setStatusLine(QStringLiteral("East Atlantic"), c.statusColour);
        const StatusFieldView v = p.statusField();
        EXPECT_EQ(v.text, QString::fromLatin1(c.expectedText)) << c.name;
        EXPECT_EQ(v.background, c.expectedBackground) << c.name;
    }
}

TEST(MainPresenterTest, StatusFieldTextIsWhiteOnRedAndBlackOnGreen) {
    struct Case {
        const char* name;
        bool green;
        const char* indicatorText;
        unsigned statusColour; // 0: no status line yet
        unsigned expectedForeground;
    };
    const Case cases[] = {
        {"not connected", false, "Mobile not connected", 0, 0xFFFFFF},
        {"not connected, stale status line", false, "Mobile not connected", kStatusLineNormal, 0xFFFFFF},
        {"distress", true, "", kStatusLineAlarm, 0xFFFFFF},
        {"socket up, transceiver silent", true, "Connected to TCU", 0, 0x000000},
        {"reporting", true, "", kStatusLineNormal, 0x000000},
    };
    for (const Case& c : cases) {
        MainPresenter p;
        p.setLinkIndicator({c.green, QString::fromLatin1(c.indicatorText), 0});
        if (c.statusColour != 0)
            p.setStatusLine(QStringLiteral("East Atlantic"), c.statusColour);
        EXPECT_EQ(p.statusField().foreground, c.expectedForeground) << c.name;
    }
}

TEST(AlertWindowTest, AlertsWaitingForAcknowledgementAreAllShownMostSevereFirst) {
    test::App();
    AlertWindow w;
    const QString distress = QStringLiteral("DISTRESS PRIORITY MESSAGE");
    const QString urgency = QStringLiteral("URGENCY PRIORITY MESSAGE");
    struct Step {
        const char* name;
        bool distress;
        const char* text;
        int pending;
        bool distressCaption;
    };
    const Step steps[] = {
        {"first urgency", false, "Tow requested", 1, false},
        {"distress outranks it", true, "Vessel on fire", 2, true},
        {"a later urgency keeps the distress caption", false, "Man overboard\r\nsearch", 3, true},
    };
    for (const Step& s : steps) {
        w.raiseAlert(s.distress ? distress : urgency, QString::fromLatin1(s.text) + QStringLiteral("\r\n"), s.distress);
        EXPECT_EQ(w.pendingAlerts(), s.pending) << s.name;
        EXPECT_EQ(w.captionText(), s.distressCaption ? distress : urgency) << s.name;
        // One alert: its text alone under the big caption; several: each under its own caption, newest first.
        const QString text = QString::fromLatin1(s.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QString newest =
            s.pending == 1 ? text
                           : (s.distress ? distress : urgency) + QLatin1Char('\n') + text + QStringLiteral("\n\n");
        EXPECT_TRUE(w.messagesText().startsWith(newest)) << s.name << ": " << w.messagesText().toStdString();
        EXPECT_FALSE(w.messagesText().contains(u'\r')) << s.name;
        EXPECT_TRUE(w.isVisible() && w.alarmRunning()) << s.name;
    }
    EXPECT_TRUE(w.messagesText().contains(QLatin1String("Tow requested"))) << "nothing is pushed out";

    w.reject();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.alarmRunning());
    // After the acknowledgement a new urgency alert stands alone again.
    w.raiseAlert(urgency, QStringLiteral("Engine failure"), false);
    EXPECT_EQ(w.pendingAlerts(), 1);
    EXPECT_EQ(w.captionText(), urgency);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Message with urgency priority received"));
    EXPECT_EQ(w.messagesText(), QStringLiteral("Engine failure"));
    w.reject();
}

TEST(MainPresenterTest, WindowTitleShowsCompactModeAndTheMobileNumber) {
    EXPECT_TRUE(MainPresenter::WindowTitle(0, true).endsWith(QStringLiteral("[Compact Mode]")));
    EXPECT_TRUE(MainPresenter::WindowTitle(423456789, false).contains(QStringLiteral("IMN: 423456789")));
}

TEST(StatusDisplayTest, ComputedFromTheSession) {
    CSession s;
    StatusDisplayState v = ComputeStatusDisplay(s);
    EXPECT_EQ(v.imn, QStringLiteral("IMN: <unknown>"));
    EXPECT_EQ(v.linkBars, 0);
    EXPECT_EQ(v.linkHint, QStringLiteral("No connection to the transceiver"));
    EXPECT_EQ(v.signalHint, QStringLiteral("No usable satellite signal"));
    EXPECT_EQ(v.gpsHint, QStringLiteral("No valid GPS position"));
    EXPECT_EQ(v.date, QStringLiteral("-"));
    s.SetMesConnected(true);
    s.SetSyncronization(true);
    s.SetLoggedIn(true);
    s.SetSignalStrength(40);
    s.SetMobileNumber(423456789);
    s.SetSystemTime(QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC));
    v = ComputeStatusDisplay(s);
    EXPECT_EQ(v.imn, QStringLiteral("IMN: 423456789"));
    EXPECT_EQ(v.date, QStringLiteral("2013-05-07"));
    EXPECT_EQ(v.time, QStringLiteral("09:41 UTC"));
    EXPECT_EQ(v.linkBars, 3);
    EXPECT_EQ(v.signalBars, 4);
    EXPECT_EQ(v.linkHint, QStringLiteral("Logged in to the satellite network"));
    EXPECT_EQ(v.signalHint, QStringLiteral("Satellite signal: 40 dBHz"));
    s.SetLoggedIn(false);
    EXPECT_EQ(ComputeStatusDisplay(s).linkHint, QStringLiteral("Synchronised to a satellite, not logged in"));
    // Signal bars by level: nothing usable below 30 dBHz, full from 42.
    for (auto [db, bars] : {std::pair{0, 0}, {29, 0}, {30, 1}, {33, 2}, {41, 4}, {42, 5}, {60, 5}})
        EXPECT_EQ(SignalBars(db), bars) << db;
}

TEST(StatusDisplayTest, PositionWindowShowsHemispheresAndUnits) {
    struct Case {
        const char* position;
        const char* latitude;
        const char* longitude;
    };
    const Case cases[] = {
        {"55 40 12 N 12 5 30 E", "Latitude: 55\u00b0 40.12' N", "Longitude: 012\u00b0 05.30' E"},
        {"33 52 7 S 151 12 40 W", "Latitude: 33\u00b0 52.07' S", "Longitude: 151\u00b0 12.40' W"},
    };
    for (const Case& c : cases) {
        CSession s;
        s.SetPos(QString::fromLatin1(c.position), QStringLiteral("270"), QStringLiteral("09:41"), QStringLiteral("12"),
                 true);
        const QStringList lines = PositionWindowText(s).split(u'\n');
        ASSERT_GE(lines.size(), 5) << c.position;
        EXPECT_EQ(lines[0], QString::fromUtf8(c.latitude)) << c.position;
        EXPECT_EQ(lines[1], QString::fromUtf8(c.longitude)) << c.position;
        EXPECT_EQ(lines[2], QStringLiteral("Course: 270\u00b0")) << c.position;
        EXPECT_EQ(lines[3], QStringLiteral("Speed: 12 kn")) << c.position;
        EXPECT_EQ(lines[4], QStringLiteral("Time of position: 09:41")) << c.position;
    }
}

TEST(MessageFontTest, EditorAndMessageWindowUseTheStoredFontSize) {
    test::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int appSize = QApplication::font().pointSize();
    ASSERT_GT(appSize, 0);
    const int other = appSize + 7;
    struct Case {
        QString stored; // empty: nothing stored
        int expected;
    };
    const Case cases[] = {
        {QString::number(other), other},
        {QStringLiteral(" %1pt").arg(other), other}, // read leniently, like every stored number
        {QString(), appSize},
        {QStringLiteral("large"), appSize},
        {QStringLiteral("0"), appSize},
    };
    for (const Case& c : cases) {
        CConfiguration config(dir.path() + QLatin1Char('/'), false,
                              dir.filePath(QStringLiteral("settings-%1.ini").arg(c.stored.trimmed())));
        if (!c.stored.isEmpty())
            config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("MsgFontSize"), c.stored);
        EXPECT_EQ(MessageFontSize(config), c.expected) << c.stored.toStdString();
        MessageEditor editor(config);
        const auto editorTexts = editor.findChildren<QPlainTextEdit*>();
        ASSERT_EQ(editorTexts.size(), 1);
        EXPECT_EQ(editorTexts[0]->font().pointSize(), c.expected) << c.stored.toStdString();
        MessageWindow window(config, QStringLiteral("Received message"), {}, QStringLiteral("body"));
        const auto windowTexts = window.findChildren<QPlainTextEdit*>();
        ASSERT_EQ(windowTexts.size(), 1);
        EXPECT_EQ(windowTexts[0]->font().pointSize(), c.expected) << c.stored.toStdString();
    }
}

TEST(MessageSubmissionTest, RecipientsBecomeTheAddressMatrix) {
    OutgoingMessage m;
    EXPECT_EQ(ValidateRecipients(m), QStringLiteral("You have to select minimum one destination address!"));
    m.recipients = {{FieldTo, Telex, QStringLiteral(" 58123456 ")},
                    {FieldCc, Telex, QStringLiteral("58111111")},
                    {FieldTo, EMail, QStringLiteral("a@example.com;b@example.com")},
                    {FieldBcc, Fax, QStringLiteral("   ")}};
    EXPECT_EQ(ValidateRecipients(m), QString());
    const CMessage c = BuildMessage(m);
    EXPECT_EQ(c.GetAddresses(Telex, FieldTo), QStringLiteral("58123456"));
    EXPECT_EQ(c.GetAddresses(Telex, FieldCc), QStringLiteral("58111111"));
    // ";" separates entries; inside one typed address it must not split it into two.
    EXPECT_EQ(c.GetAddresses(EMail, FieldTo), QStringLiteral("a@example.com,b@example.com"));
    EXPECT_FALSE(c.ExistRecipient(Fax));
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_config = std::make_unique<CConfiguration>(m_dir.path() + QLatin1Char('/'), false,
                                                    m_dir.filePath(QStringLiteral("settings.ini")));
        m_form = std::make_unique<MainForm>(*m_config, m_session, m_clock);
    }
    QTemporaryDir m_dir;
    ManualClock m_clock;
    CSession m_session;
    std::unique_ptr<CConfiguration> m_config;
    std::unique_ptr<MainForm> m_form;
};

TEST_F(MainFormTest, QueuedMessageBoxesAppearOneAtATimeWithoutBlocking) {
    MessageBoxQueue queue(*m_form);
    queue.ShowMessageQueued(QStringLiteral("first"), QStringLiteral("Info"));
    queue.ShowMessageQueued(QStringLiteral("second"), QStringLiteral("Info"), MessageStyle::Critical);
    queue.onMBoxTimer();
    QMessageBox* box = m_form->currentMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("first"));
    EXPECT_FALSE(box->isModal() && box->windowModality() == Qt::ApplicationModal);
    queue.onMBoxTimer(); // the first is still open: nothing new
    EXPECT_EQ(m_form->currentMessageBox(), box);
    box->done(QMessageBox::Ok);
    queue.onMBoxTimer();
    ASSERT_NE(m_form->currentMessageBox(), nullptr);
    EXPECT_EQ(m_form->currentMessageBox()->text(), QStringLiteral("second"));
    EXPECT_EQ(m_form->currentMessageBox()->icon(), QMessageBox::Critical);
}

TEST_F(MainFormTest, ConfirmationAnswersThroughTheCallback) {
    std::optional<bool> answer;
    m_form->confirm({QStringLiteral("Exit?"), QStringLiteral("Tessaro"), false}, [&](bool yes) { answer = yes; });
    auto boxes = m_form->findChildren<QMessageBox*>();
    ASSERT_FALSE(boxes.isEmpty());
    QMessageBox* box = boxes.last();
    EXPECT_FALSE(answer.has_value()); // nothing waits for the operator
    box->button(QMessageBox::Yes)->click();
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(*answer);
}

TEST_F(MainFormTest, InformationListKeepsTheNewestLines) {
    for (int i = 0; i < 1005; ++i)
        m_form->addInformation(QStringLiteral("INFO %1").arg(i));
    const QStringList lines = m_form->informationLines();
    ASSERT_EQ(lines.size(), 1000);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("INFO 5")));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("INFO 1004")));
}

TEST_F(MainFormTest, LinkIndicatorAndStatusLineDriveTheStatusField) {
    m_form->setLinkIndicator({false, QStringLiteral("Mobile not connected"), 0});
    EXPECT_EQ(m_form->statusField().background, kIndicatorRed);
    m_form->setLinkIndicator({true, QString(), 20});
    m_form->setStatusLine(QStringLiteral("Pacific Ocean"), kStatusLineNormal);
    EXPECT_EQ(m_form->statusField().text, QStringLiteral("Pacific Ocean"));
    EXPECT_EQ(m_form->statusField().background, kIndicatorGreen);
    m_form->setActivity(Activity::Receiving);
    EXPECT_EQ(m_form->activityText(), QStringLiteral("Receiving"));
}

TEST_F(MainFormTest, StatusFieldIsPaintedInThePresentersColours) {
    m_form->setLinkIndicator({false, QStringLiteral("Mobile not connected"), 0});
    const QString css = m_form->findChild<QLabel*>(QStringLiteral("MobileStatusField"))->styleSheet().toLower();
    EXPECT_TRUE(css.contains(QStringLiteral("#ff0000"))) << css.toStdString();
    EXPECT_TRUE(css.contains(QStringLiteral("#ffffff"))) << css.toStdString();
}

TEST_F(MainFormTest, NewMessageEditorUsesTheStoredFontSize) {
    const int size = QApplication::font().pointSize() + 5;
    m_config->SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("MsgFontSize"), QString::number(size));
    m_form->newMessage();
    ASSERT_NE(m_form->editor(), nullptr);
    const auto texts = m_form->editor()->findChildren<QPlainTextEdit*>();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0]->font().pointSize(), size);
    m_form->editor()->close();
}

TEST_F(MainFormTest, GeometryAndCompactModeAreKept) {
    m_form->resize(900, 640);
    m_form->move(40, 50);
    m_form->setCompactMode(true);
    m_form->close(); // no terminal attached: closes at once and saves the layout
    EXPECT_EQ(m_config->GetSettingValue(QStringLiteral("MainForm"), QStringLiteral("Width")), QStringLiteral("900"));
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[Compact Mode]")), QStringLiteral("1"));
    EXPECT_FALSE(m_config->GetSettingValue(QStringLiteral("INBOXGRID"), QStringLiteral("ColumnWidths")).isEmpty());
    MainForm again(*m_config, m_session, m_clock);
    EXPECT_EQ(again.size(), QSize(900, 640));
    EXPECT_TRUE(again.compactMode());
    EXPECT_TRUE(again.windowTitle().contains(QStringLiteral("[Compact Mode]")));
}

} // namespace

namespace {
// The editor's insert menu puts its lines at the cursor; the vessel data come from their window.
TEST_F(MainFormTest, InsertMenuPutsItsLinesAtTheCursor) {
    m_form->newMessage();
    MessageEditor* editor = m_form->editor();
    ASSERT_NE(editor, nullptr);
    using I = MessageEditor::Insertion;
    m_session.SetPos(QStringLiteral("55 40 05 N 12 5 30 E"), QStringLiteral("270"), QStringLiteral("09:04"),
                     QStringLiteral("12"), true);
    editor->insertAction(I::Position)->trigger();
    EXPECT_EQ(editor->body(), QString()) << "no position without the transceiver";
    m_session.SetMesConnected(true);
    editor->insertAction(I::Position)->trigger();
    editor->insertAction(I::SpeedAndCourse)->trigger();
    EXPECT_EQ(editor->body(), QStringLiteral("Position: 55,40.05N , 12,5.30E\nSpeed: 12 knots, Course: 270 deg.\n"));

    editor->setBody(QString());
    VesselDataDialog vessel(*m_config, m_form.get());
    vessel.field(0).setText(QStringLiteral("Nordkap"));
    vessel.save();
    editor->insertAction(I::VesselName)->trigger();
    EXPECT_EQ(editor->body(), QStringLiteral("Vessel name: Nordkap\n"));
    EXPECT_EQ(m_config->GetSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName")),
              QStringLiteral("Nordkap"));

    editor->setBody(QString());
    SignatureDialog signature(*m_config, m_form.get());
    signature.text().setPlainText(QStringLiteral("Master\nMV Nordkap"));
    signature.save();
    EXPECT_EQ(m_config->GetIni(QStringLiteral("[Signature]")), QStringLiteral("Master\r\nMV Nordkap"));
    editor->insertAction(I::Signature)->trigger();
    EXPECT_EQ(editor->body(), QStringLiteral("Master\nMV Nordkap"));
}
} // namespace
