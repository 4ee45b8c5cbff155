#include "shell_fakes.h"
#include "shell_test_app.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "egc/egc_idx.h"
#include "shell/alarm_player.h"
#include "shell/alert_window.h"
#include "shell/egc_alarm_window.h"
#include "shell/main_form.h"
#include "status/session.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

class AlarmTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_config = std::make_unique<CConfiguration>(m_dir.path() + QLatin1Char('/'), false,
                                                    m_dir.filePath(QStringLiteral("settings.ini")));
        m_form = std::make_unique<MainForm>(*m_config, m_session, m_clock);
        auto player = std::make_unique<test::FakeAlarmPlayer>();
        m_player = player.get();
        m_form->setAlarmPlayer(std::move(player));
    }
    QTemporaryDir m_dir;
    ManualClock m_clock;
    CSession m_session;
    std::unique_ptr<CConfiguration> m_config;
    std::unique_ptr<MainForm> m_form;
    test::FakeAlarmPlayer* m_player = nullptr;
};

QStringList labelTexts(const QWidget& w) {
    QStringList texts;
    for (const QLabel* l : w.findChildren<QLabel*>())
        texts << l->text();
    return texts;
}

TEST_F(AlarmTest, UrgentEgcRaisesTheEgcAlarmUntilOk) {
    m_form->showAlert(AlertKind::EgcUrgent, QStringLiteral("NAVAREA I"));
    EgcAlarmWindow* w = m_form->egcAlarmWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(m_form->alertWindow(), nullptr) << "the priority-message window stays out of it";
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("EGC Distress/Urgent Message received!"));
    EXPECT_EQ(labelTexts(*w), test::AsciiTexts({"DISTRESS / URGENT EGC MESSAGE", "RECEIVED",
                                                "Reset alarm using Reset/Test button on remote Alarm/Distress box or "
                                                "Distress --> Reset Alarm menu."}));
    EXPECT_EQ(w->okButton()->text(), QStringLiteral("OK"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_LE((w->frameGeometry().center() - screen->availableGeometry().center()).manhattanLength(), 4)
        << "centred on the screen";

    // The sound starts at once and comes again one second after each sound ends.
    EXPECT_EQ(m_player->plays, 1);
    EXPECT_TRUE(w->bell().soundTimer().isActive());
    EXPECT_EQ(w->bell().soundTimer().interval(), 500 + 1000);
    EXPECT_EQ(w->bell().flashTimer().interval(), 333);
    w->bell().soundTick();
    w->bell().soundTick();
    EXPECT_EQ(m_player->plays, 3);

    // The big text blinks on every flash tick.
    const bool before = w->bannerShown();
    w->bell().flashTick();
    EXPECT_NE(w->bannerShown(), before);
    w->bell().flashTick();
    EXPECT_EQ(w->bannerShown(), before);

    // A Distress EGC while it runs only keeps it going.
    m_form->showAlert(AlertKind::EgcDistress, QStringLiteral("MAYDAY RELAY"));
    EXPECT_EQ(m_form->egcAlarmWindow(), w);
    EXPECT_EQ(m_player->plays, 3) << "no restart of the sound";
    EXPECT_TRUE(w->alarmRunning());

    // Minimised, it comes back on the next flash.
    w->showMinimized();
    ASSERT_TRUE(w->isMinimized());
    w->bell().flashTick();
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());

    // Tab always lands on OK.
    w->okButton()->clearFocus();
    QTest::keyClick(w, Qt::Key_Tab);
    EXPECT_EQ(w->focusWidget(), w->okButton());

    w->okButton()->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->alarmRunning());
    EXPECT_FALSE(w->bell().soundTimer().isActive());
    EXPECT_FALSE(w->bell().flashTimer().isActive());
    EXPECT_GE(m_player->stops, 1);
    EXPECT_TRUE(w->bannerShown()) << "the next alarm starts with its text shown";

    // The next Urgent EGC raises it anew; closing the window acknowledges as well.
    m_form->showAlert(AlertKind::EgcUrgent, QString());
    EXPECT_TRUE(w->alarmRunning());
    EXPECT_EQ(m_player->plays, 4);
    w->close();
    EXPECT_FALSE(w->alarmRunning());
}

TEST_F(AlarmTest, OnlyEgcAlertKindsOpenTheEgcAlarm) {
    // Storing an EGC only adds its row; the EGC module raises the alarm for Urgent and Distress ones.
    EgcIdxRecord safety = *EgcIdx::parse(QStringLiteral("EGC.001:002:31:1:0:2026-12-10 08:15:12:5:Mem:No:a.egc"));
    m_form->egcStored(safety, QStringLiteral("text"));
    EXPECT_EQ(m_form->egcAlarmWindow(), nullptr);

    // A distress priority message keeps its own window, with the same sound.
    m_form->showAlert(AlertKind::DistressMessage, QStringLiteral("Vessel on fire"));
    EXPECT_EQ(m_form->egcAlarmWindow(), nullptr);
    AlertWindow* alert = m_form->alertWindow();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->captionText(), QStringLiteral("DISTRESS PRIORITY MESSAGE"));
    EXPECT_EQ(m_player->plays, 1);
    EXPECT_EQ(alert->bell().soundTimer().interval(), 500 + 1000);
    alert->bell().soundTick();
    EXPECT_EQ(m_player->plays, 2);
    EXPECT_EQ(alert->beepsSoFar(), 2);
    alert->reject();
    EXPECT_FALSE(alert->alarmRunning());
    EXPECT_GE(m_player->stops, 1);
}

TEST_F(AlarmTest, SoundIsAnnouncedOnceInTheInformationList) {
    m_form->announceAlarmSound();
    m_form->announceAlarmSound();
    EXPECT_EQ(m_form->informationLines().filter(QStringLiteral("Alarm sound: test player")).size(), 1);
}

TEST(AlarmSoundTest, GeneratedAlarmIsAPcmWave) {
    QFile f(QStringLiteral(TESSARO_ALARM_WAV));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << TESSARO_ALARM_WAV;
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 44);
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    EXPECT_EQ(b.mid(0, 4), QByteArray("RIFF"));
    EXPECT_EQ(u32(4), quint32(b.size() - 8));
    EXPECT_EQ(b.mid(8, 4), QByteArray("WAVE"));
    EXPECT_EQ(b.mid(12, 4), QByteArray("fmt "));
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(u16(20), 1) << "PCM";
    EXPECT_EQ(u16(22), 1) << "mono";
    const quint32 rate = u32(24);
    EXPECT_EQ(u32(28), rate * 2) << "byte rate";
    EXPECT_EQ(u16(32), 2) << "block align";
    EXPECT_EQ(u16(34), 16) << "bits per sample";
    EXPECT_EQ(b.mid(36, 4), QByteArray("data"));
    const quint32 data = u32(40);
    EXPECT_EQ(data, quint32(b.size() - 44));
    const double seconds = double(data) / (rate * 2);
    EXPECT_GE(seconds, 0.3);
    EXPECT_LE(seconds, 0.8);
    int loudest = 0;
    for (int at = 44; at + 1 < b.size(); at += 2)
        loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(b.constData() + at))));
    EXPECT_GT(loudest, 8000) << "an audible beep, not silence";
    EXPECT_LT(loudest, 32767) << "no clipping";
    EXPECT_EQ(WavDurationMs(f.fileName()), int(seconds * 1000));
}

TEST(AlarmSoundTest, PlayerChoosesFileBellOrSilence) {
    test::App();
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARO_ALARM_WAV), second.filePath(QStringLiteral("alarm.wav"))));
    const QString found = FindAlarmSound({first.path(), second.path()});
    EXPECT_EQ(found, second.filePath(QStringLiteral("alarm.wav")));
    EXPECT_TRUE(FindAlarmSound({first.path()}).isEmpty());

    SoundAlarmPlayer device(found, true);
    EXPECT_EQ(device.mode(), SoundAlarmPlayer::Mode::SoundFile);
    EXPECT_EQ(device.soundMs(), 500);
    EXPECT_TRUE(device.description().contains(QLatin1String("through the audio device")));

    SoundAlarmPlayer bell(found, false);
    EXPECT_EQ(bell.mode(), SoundAlarmPlayer::Mode::Bell);
    EXPECT_EQ(bell.soundMs(), 0);
    EXPECT_TRUE(bell.play());
    EXPECT_EQ(bell.description(), QStringLiteral("Alarm sound: system bell (no audio output device)"));

    SoundAlarmPlayer silent(first.filePath(QStringLiteral("alarm.wav")), true);
    EXPECT_EQ(silent.mode(), SoundAlarmPlayer::Mode::Silent);
    EXPECT_FALSE(silent.play());
    EXPECT_EQ(silent.description(), QStringLiteral("Alarm sound: alarm.wav not found, alarms only flash"));

    QFile junk(first.filePath(QStringLiteral("junk.wav")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("RIFF\x04\x00\x00\x00WAVEdata");
    junk.close();
    EXPECT_EQ(WavDurationMs(junk.fileName()), 0) << "a header without its format block has no length";
}

} // namespace
