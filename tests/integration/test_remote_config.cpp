// Remote configuration packets from shore, in messages and EGCs, against the simulator whose clock is set far
// from the PC's: a genuine packet runs once, a stale one runs nothing, and every carrier is deleted unfiled.
#include "integration_rig.h"

#include "egc/egc_module.h"
#include "messaging/inbox.h"
#include "reporting/remote_config.h"

#include <QDir>

using namespace tessaro;
using namespace tessaro::test;

namespace {
const QString kPassword = QStringLiteral("Harbour42");

struct RemoteRig : IntegrationRig {
    QString data() const { return runtime->config().DataPath(); }
    QStringList simFiles(const char* kind) {
        QStringList out;
        for (const QString& f : simLines(QStringLiteral("files")))
            if (f.contains(QLatin1Char(' ') + QLatin1String(kind) + QLatin1Char(' ')))
                out << f.section(QLatin1Char(' '), 0, 0);
        return out;
    }
    QStringList inIdx() {
        return QString::fromLatin1(readAll(messaging().inbox().inIdxPath()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QString remoteLog() { return QString::fromLatin1(readAll(data() + QStringLiteral("RemoteLog.txt"))); }
    bool cycle() {
        poll();
        return QTest::qWaitFor(
            [this] { return linkedUp() && idle() && !session.ProcessingMsgs() && !session.ProcessingEgcs(); }, 10000);
    }
    // The transceiver's clock at a fixed hour years away from the PC's, read by the terminal.
    bool fixTransceiverTime() {
        if (!sim(QStringLiteral("time 2031-06-01T04:20:00")))
            return false;
        poll();
        return QTest::qWaitFor([this] { return session.SystemTime().date() == QDate(2031, 6, 1) && idle(); }, 8000);
    }
};
} // namespace

TEST(RemoteConfigIntegration, PacketsInMessagesRunOnceAndAreNeverFiled) {
    RemoteRig rig;
    rig.runtime->config().SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password"),
                                           ScrambleRemotePassword(kPassword));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.fixTransceiverTime());

    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet ") + kPassword +
                        QStringLiteral(" 1 SAVEHTML#forms\\\\\\\\page.htm <html>\\nPort call\\n</html>")));
    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet ") + kPassword + QStringLiteral(" 3 SAVEHTML#stale.htm old")));
    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet ") + kPassword +
                        QStringLiteral(" 0 SAVEHTML#..\\\\\\\\..\\\\\\\\evil.htm x")));
    ASSERT_TRUE(rig.sim(QStringLiteral("message Ordinary mail after the packets")));
    ASSERT_TRUE(rig.cycle());

    EXPECT_EQ(readAll(rig.data() + QStringLiteral("html/forms/page.htm")),
              QByteArray("<html>\r\nPort call\r\n</html>"));
    EXPECT_FALSE(QFileInfo::exists(rig.data() + QStringLiteral("html/stale.htm")));
    EXPECT_FALSE(QFileInfo::exists(rig.data() + QStringLiteral("evil.htm")));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(rig.data()).dir().path() + QStringLiteral("/evil.htm")));
    const QString log = rig.remoteLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Remote configuration completed successfully")));
    EXPECT_TRUE(log.contains(QStringLiteral("Error: Remote configuration failed. Password not valid ")));
    EXPECT_TRUE(log.contains(QStringLiteral("SAVEHTML:Error: file path leads outside the html folder")));
    EXPECT_TRUE(rig.form.boxes.contains(QStringLiteral("Remote configuration completed successfully.")));

    const QStringList in = rig.inIdx();
    ASSERT_EQ(in.size(), 1) << "only the ordinary message is filed: " << in.join(u'\n').toStdString();
    EXPECT_TRUE(rig.form.alerts.isEmpty());
    EXPECT_TRUE(rig.simFiles("message").isEmpty()) << "every carrier is deleted in the transceiver";
    EXPECT_EQ(rig.countWritten(QStringLiteral("delete IN.")), 4);

    // The same packet copied into a later message is refused: it ran once already.
    QFile::remove(rig.data() + QStringLiteral("html/forms/page.htm"));
    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet ") + kPassword +
                        QStringLiteral(" 1 SAVEHTML#forms\\\\\\\\page.htm <html>\\nPort call\\n</html>")));
    ASSERT_TRUE(rig.cycle());
    EXPECT_FALSE(QFileInfo::exists(rig.data() + QStringLiteral("html/forms/page.htm")));
    EXPECT_TRUE(rig.remoteLog().contains(QStringLiteral("already executed")));
    EXPECT_TRUE(rig.simFiles("message").isEmpty());
}

TEST(RemoteConfigIntegration, APacketInAnEgcRunsAndTheEgcIsNotStored) {
    RemoteRig rig;
    rig.runtime->config().SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password"),
                                           ScrambleRemotePassword(kPassword));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.fixTransceiverTime());

    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet egc ") + kPassword + QStringLiteral(" 0 SETDEFLES#12&&&")));
    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet egc ") + kPassword + QStringLiteral(" 3 SETDEFLES#&&&321")));
    ASSERT_TRUE(
        rig.sim(QStringLiteral("remote-packet egc ") + kPassword + QStringLiteral(" 0 SAVEHTML#..\\\\evil.htm x")));
    ASSERT_TRUE(rig.cycle());
    EXPECT_EQ(rig.runtime->config().GetIni(QStringLiteral("[Default LES West]")), QStringLiteral("012"));
    EXPECT_NE(rig.runtime->config().GetIni(QStringLiteral("[Default LES Indian]")), QStringLiteral("321"))
        << "a stale hash runs nothing";
    EXPECT_FALSE(QFileInfo::exists(rig.data() + QStringLiteral("evil.htm")));
    EXPECT_TRUE(rig.simFiles("egc").isEmpty());
    const QString index = QString::fromLatin1(readAll(rig.runtime->egc().indexPath()));
    EXPECT_FALSE(index.contains(QLatin1String("EGC."))) << index.toStdString();
    EXPECT_TRUE(rig.form.alerts.isEmpty());
}

TEST(RemoteConfigIntegration, NotAllowedMeansNothingRunsButTheCarrierIsStillDeleted) {
    RemoteRig rig;
    rig.runtime->config().SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password"),
                                           ScrambleRemotePassword(kPassword));
    rig.runtime->config().SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("AllowRemoteConfig"),
                                           QStringLiteral("0"));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.fixTransceiverTime());
    ASSERT_TRUE(rig.sim(QStringLiteral("remote-packet ") + kPassword + QStringLiteral(" 0 SETDEFLES#12&&&")));
    ASSERT_TRUE(rig.cycle());
    EXPECT_NE(rig.runtime->config().GetIni(QStringLiteral("[Default LES West]")), QStringLiteral("012"));
    EXPECT_TRUE(rig.simFiles("message").isEmpty());
    EXPECT_TRUE(rig.inIdx().isEmpty());
}
