// The records a soak run judges the PC by: what it deleted (with the bytes), what became of each "tx", and the
// line speed changed on the fly.
#include "sim_test_support.h"

#include <QCryptographicHash>

using namespace tessaro::sim;
using namespace tessaro::sim::test;

TEST(SimSoakCommands, DeletedListsEachRemovedFileWithTheHashOfItsBytes) {
    SimHarness h;
    h.control(QStringLiteral("message One\\ntwo"));
    h.control(QStringLiteral("egc priority=2 Gale"));
    h.run(QStringLiteral("delete IN.1"));
    h.run(QStringLiteral("delete IN.1")); // gone already: nothing more recorded
    h.run(QStringLiteral("delete EGC.001"));
    const QStringList deleted = h.sim->control(QStringLiteral("deleted")).lines;
    ASSERT_EQ(deleted.size(), 2) << deleted.join(u'\n').toStdString();
    const auto md5 = [](const QByteArray& b) {
        return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Md5).toHex());
    };
    EXPECT_TRUE(deleted[0].startsWith(QStringLiteral("IN.1 8 ") + md5("One\r\ntwo") + u' '))
        << deleted[0].toStdString();
    EXPECT_TRUE(deleted[1].startsWith(QStringLiteral("EGC.001 4 ") + md5("Gale") + u' ')) << deleted[1].toStdString();
}

TEST(SimSoakCommands, TxLogFollowsEachTransmissionToReportedOrLost) {
    SimHarness h;
    h.send("tr a.out -b 1\rA");
    h.send("tr b.out -b 1\rB");
    h.run(QStringLiteral("tx a.out -c 102 -s 0 -t 0 -l 0"));
    auto log = [&] { return h.sim->control(QStringLiteral("tx-log")).lines; };
    ASSERT_EQ(log().size(), 1);
    EXPECT_TRUE(log()[0].startsWith(QStringLiteral("a.out OUT.001 A "))) << log()[0].toStdString();
    EXPECT_TRUE(log()[0].endsWith(QStringLiteral(" pending")));
    h.advance(10);
    EXPECT_TRUE(log()[0].endsWith(QStringLiteral(" delivered"))) << "INFO 81 queued, not yet taken";
    h.run(QStringLiteral("st -l"));
    EXPECT_TRUE(log()[0].endsWith(QStringLiteral(" reported")));

    // Queued but never taken when the unit restarts: lost, like one still under way.
    h.run(QStringLiteral("tx b.out -c 102 -s 0 -t 0 -l 0"));
    h.advance(10);
    h.control(QStringLiteral("restart"));
    ASSERT_EQ(log().size(), 2);
    EXPECT_TRUE(log()[1].endsWith(QStringLiteral(" lost"))) << log()[1].toStdString();
    EXPECT_TRUE(log()[0].endsWith(QStringLiteral(" reported"))) << "a reported transmission stays reported";
}

TEST(SimSoakCommands, BaudTakesANumberFromZero) {
    SimHarness h;
    for (const char* good : {"baud 1200", "baud 0"})
        EXPECT_TRUE(h.sim->control(QLatin1String(good)).ok) << good;
    for (const char* bad : {"baud", "baud -1", "baud fast"})
        EXPECT_FALSE(h.sim->control(QLatin1String(bad)).ok) << bad;
}
