// EGCs waiting in the transceiver are fetched oldest first, stored, indexed and deleted only once stored;
// unmarked EGCs stay, ENID downloads are deleted without being stored.
#include "integration_rig.h"

#include "egc/egc_idx.h"
#include "egc/egc_module.h"

using namespace tessaro;
using namespace tessaro::test;

namespace {
struct EgcRig : IntegrationRig {
    EgcModule& egc() { return runtime->egc(); }
    QStringList index() {
        return QString::fromLatin1(readAll(egc().indexPath())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QStringList simEgcs() {
        QStringList out;
        for (const QString& f : simLines(QStringLiteral("files")))
            if (f.contains(QLatin1String(" egc ")))
                out << f.section(QLatin1Char(' '), 0, 0);
        return out;
    }
    bool downloadCycle(int ms = 10000) {
        poll();
        return QTest::qWaitFor([this] { return linkedUp() && idle() && !session.ProcessingEgcs(); }, ms);
    }
};
} // namespace

TEST(EgcIntegration, EgcsOfEveryPriorityAreFetchedOldestFirstStoredAndThenDeleted) {
    EgcRig rig;
    ASSERT_TRUE(rig.start());
    // Each delete must find its EGC already in the index.
    QStringList deletedBeforeStored;
    QObject::connect(&rig.terminal->engine(), &CommandEngine::lineWritten,
                     [&rig, &deletedBeforeStored](const QString& l) {
                         if (!l.startsWith(QLatin1String("delete EGC.")))
                             return;
                         const QString name = l.trimmed().section(QLatin1Char(' '), 1);
                         if (rig.index().filter(name + QLatin1Char(':')).isEmpty() && name != QLatin1String("EGC.006"))
                             deletedBeforeStored << name;
                     });

    for (int priority = 3; priority >= 0; --priority) {
        rig.egc().QueueSimulatedEgc(priority); // EGC.001 Distress .. EGC.004 Routine
        ASSERT_TRUE(rig.settle());
        ASSERT_TRUE(rig.sim(QStringLiteral("advance 60")));
    }
    ASSERT_TRUE(rig.sim(QStringLiteral("egc priority=1 routing=Pr Printed, not kept"))); // EGC.005
    ASSERT_TRUE(rig.sim(QStringLiteral("egc service=33 ENID 12345")));                   // EGC.006
    ASSERT_EQ(rig.simEgcs().size(), 6);

    ASSERT_TRUE(rig.downloadCycle());
    QStringList fetched;
    for (const QString& l : rig.written)
        if (l.startsWith(QLatin1String("ty EGC.")))
            fetched << l.trimmed();
    EXPECT_EQ(fetched, (QStringList{QStringLiteral("ty EGC.001 -b -k"), QStringLiteral("ty EGC.002 -b -k"),
                                    QStringLiteral("ty EGC.003 -b -k"), QStringLiteral("ty EGC.004 -b -k"),
                                    QStringLiteral("ty EGC.006 -b -k")}));
    EXPECT_TRUE(deletedBeforeStored.isEmpty()) << deletedBeforeStored.join(u' ').toStdString();

    const QStringList lines = rig.index();
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const std::optional<EgcIdxRecord> r = EgcIdx::parse(lines[i]);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->ModemFileName, QStringLiteral("EGC.00%1").arg(i + 1));
        EXPECT_EQ(r->Priority, 3 - i);
        EXPECT_EQ(r->Read, QStringLiteral("No"));
        const QByteArray body = readAll(rig.egc().egcFolder() + r->DiskFileName);
        EXPECT_EQ(body.size(), r->Size) << "the body is stored exactly, without the shell's header lines";
    }
    EXPECT_EQ(rig.form.alerts.count(QStringLiteral("DISTRESS / URGENT EGC MESSAGE")), 2);
    EXPECT_EQ(rig.simEgcs(), QStringList{QStringLiteral("EGC.005")}) << "only the unmarked EGC stays";
    EXPECT_EQ(rig.config.GetIni(QStringLiteral("[LastEgcNumber]")), QStringLiteral("006"));

    // The unmarked one is not fetched again.
    const int fetches = rig.countWritten(QStringLiteral("ty EGC."));
    ASSERT_TRUE(rig.downloadCycle());
    EXPECT_EQ(rig.countWritten(QStringLiteral("ty EGC.")), fetches);
    EXPECT_EQ(rig.index().size(), 4);
}

TEST(EgcIntegration, AnEgcFetchedWithoutItsLogLineIsRepairedByTheNextLog) {
    EgcRig rig;
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.sim(QStringLiteral("egc les=112 service=4 priority=1 log=no Header comes later")));
    // The log catches up while the EGC is being fetched.
    QObject::connect(&rig.terminal->engine(), &CommandEngine::lineWritten, [&rig](const QString& l) {
        if (l.startsWith(QLatin1String("ty EGC.001")))
            rig.sim(QStringLiteral("egc-log EGC.001 on"));
    });
    ASSERT_TRUE(rig.downloadCycle());
    const QStringList lines = rig.index();
    ASSERT_EQ(lines.size(), 1);
    const std::optional<EgcIdxRecord> r = EgcIdx::parse(lines[0]);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Les, QStringLiteral("112"));
    EXPECT_EQ(r->Service, 4);
    EXPECT_EQ(r->Priority, 1);
    EXPECT_EQ(r->Routing, QStringLiteral("Mem"));
    EXPECT_TRUE(rig.simEgcs().isEmpty());
}

// With the simulated reception error every reception is one character short: the EGC is typed again until
// the count of ten failed receptions, then stored as received with the notice, and deleted.
TEST(EgcIntegration, AShortReceptionIsFetchedAgainUpToTheLimitThenStoredWithTheNotice) {
    EgcRig rig;
    ASSERT_TRUE(rig.start());
    // The check needs versions that can report a complete size: the terminal program's comes with the poll's
    // "ver" (not run here), the TCU's only through network discovery.
    rig.session.SetMinicSwVersion(1, 3);
    rig.config.SetTcuSwVersion(1, 3);
    rig.egc().setSimulateRxError(true);
    ASSERT_TRUE(rig.sim(QStringLiteral("egc priority=1 Navigational warning 123")));
    ASSERT_TRUE(rig.downloadCycle(20000));
    EXPECT_EQ(rig.countWritten(QStringLiteral("ty EGC.001")), 11) << "the first reception and ten more";
    EXPECT_EQ(rig.index().size(), 1);
    const QString notice =
        QStringLiteral("The EGC message 'EGC.001' was attempted received 10 times, but was received with errors.");
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.form.boxes.contains(notice); }, 3000))
        << rig.form.boxes.join(u'|').toStdString();
    EXPECT_TRUE(rig.simEgcs().isEmpty());
    EXPECT_TRUE(rig.config.GetSettingValue(QStringLiteral("Messages"), QStringLiteral("EgcRxErrors")).isEmpty())
        << "the count is cleared once the EGC is stored";
}
