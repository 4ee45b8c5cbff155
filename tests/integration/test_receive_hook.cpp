// The received-traffic hook against the simulator: one run per stored message and EGC with the stored file in
// its environment; a hook that hangs is stopped and holds up neither storing nor deleting.
#include "integration_rig.h"

#include "app/receive_hook.h"
#include "egc/egc_idx.h"
#include "egc/egc_module.h"
#include "messaging/inbox.h"

#include <QFileInfo>

using namespace tessaro;
using namespace tessaro::test;

namespace {
struct HookRig : IntegrationRig {
    QString hookLog = path + QStringLiteral("hook.log");
    int ended = 0;
    int timedOut = 0;
    HookRig() {
        QObject::connect(&runtime->receiveHook(), &ReceiveHook::runEnded, [this](const QString&, int, bool late) {
            ++ended;
            timedOut += late ? 1 : 0;
        });
    }
    bool writeHook() {
        // The first run after "hang-once" appears hangs until it is stopped.
        QFile f(path + QStringLiteral("hook.sh"));
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write("#!/bin/sh\n"
                "echo \"$TESSARO_KIND|$TESSARO_MES_FILE|$TESSARO_PRIORITY|$TESSARO_FILE\" >> "
                "\"$TESSARO_DATA_DIR/hook.log\"\n"
                "if [ -e \"$TESSARO_DATA_DIR/hang-once\" ]; then rm \"$TESSARO_DATA_DIR/hang-once\"; sleep 60; fi\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("RunOnReceive"), f.fileName());
        config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("RunOnReceiveTimeout"), QStringLiteral("3"));
        return true;
    }
    QStringList hookLines() { return QString::fromUtf8(readAll(hookLog)).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList simFiles(const char* kind) {
        QStringList out;
        for (const QString& f : simLines(QStringLiteral("files")))
            if (f.contains(QLatin1Char(' ') + QLatin1String(kind) + QLatin1Char(' ')))
                out << f.section(QLatin1Char(' '), 0, 0);
        return out;
    }
};
} // namespace

TEST(ReceiveHookIntegration, RunsOncePerStoredMessageAndEgcAndAHangingRunHoldsNothingUp) {
    HookRig rig;
    ASSERT_TRUE(rig.writeHook());
    ASSERT_TRUE(rig.start());
    QFile(rig.path + QStringLiteral("hang-once")).open(QIODevice::WriteOnly);

    ASSERT_TRUE(rig.sim(QStringLiteral("message priority=0 Crew change confirmed")));
    ASSERT_TRUE(rig.sim(QStringLiteral("message priority=2 Storm warning for your route")));
    rig.poll();
    // Both stored and deleted in the transceiver while the first run still hangs.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return rig.idle() && !rig.session.ProcessingMsgs() && rig.simFiles("message").isEmpty(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.hookLines().size() == 2; }, 3000));
    EXPECT_FALSE(QFile::exists(rig.path + QStringLiteral("hang-once"))) << "the first run has begun to hang";
    EXPECT_EQ(rig.timedOut, 0) << "the download did not wait for the hanging run";
    EXPECT_EQ(rig.runtime->receiveHook().runningCount(), 1);

    // The EGC after them is stored and its hook runs while the hanging one is still there.
    rig.runtime->egc().QueueSimulatedEgc(3);
    ASSERT_TRUE(rig.settle());
    rig.poll();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return rig.idle() && !rig.session.ProcessingEgcs() && rig.hookLines().size() == 3; }, 10000));
    EXPECT_EQ(rig.timedOut, 0);

    // The hanging run is stopped at its time-out and reported.
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.ended == 3; }, 8000));
    EXPECT_EQ(rig.timedOut, 1);
    const QString errors = QString::fromLatin1(readAll(rig.path + QStringLiteral("ErrorLog.txt")));
    EXPECT_TRUE(errors.contains(QStringLiteral("stopped after 3000 ms"))) << errors.toStdString();

    const QStringList lines = rig.hookLines();
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    const QStringList in = QString::fromLatin1(readAll(rig.messaging().inbox().inIdxPath()))
                               .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(in.size(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const QStringList run = lines[i].split(u'|');
        ASSERT_EQ(run.size(), 4);
        EXPECT_EQ(run[0], QStringLiteral("message"));
        EXPECT_TRUE(run[1].startsWith(QLatin1String("IN."))) << run[1].toStdString();
        EXPECT_TRUE(in[i].contains(run[1] + QLatin1Char(':'))) << in[i].toStdString();
        EXPECT_EQ(run[2], i == 0 ? QStringLiteral("0") : QStringLiteral("2"));
        EXPECT_EQ(QFileInfo(run[3]).absolutePath() + QLatin1Char('/'), rig.messaging().inbox().folder());
        EXPECT_TRUE(in[i].contains(QFileInfo(run[3]).fileName())) << in[i].toStdString();
        EXPECT_TRUE(QFile::exists(run[3]));
    }
    const QStringList egc = lines[2].split(u'|');
    ASSERT_EQ(egc.size(), 4);
    EXPECT_EQ(egc[0], QStringLiteral("egc"));
    EXPECT_TRUE(egc[1].startsWith(QLatin1String("EGC."))) << egc[1].toStdString();
    EXPECT_EQ(egc[2], QStringLiteral("3"));
    EXPECT_TRUE(egc[3].startsWith(rig.runtime->egc().egcFolder())) << egc[3].toStdString();
    EXPECT_TRUE(QFile::exists(egc[3]));

    // Nothing new arrives: nothing runs again.
    ASSERT_TRUE(rig.settle());
    rig.poll();
    ASSERT_TRUE(rig.settle());
    QTest::qWait(100);
    EXPECT_EQ(rig.hookLines().size(), 3);
}
