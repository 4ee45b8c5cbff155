#include "sim_test_support.h"

using namespace tessaro::sim;
using namespace tessaro::sim::test;

namespace {

QStringList collapse(const QString& line) {
    QString t = line.trimmed();
    while (t.contains(QStringLiteral("  ")))
        t.replace(QStringLiteral("  "), QStringLiteral(" "));
    return t.split(u' ');
}

TEST(SimEgcLog, TwelveColumnsAndTheMemoryMarkBeforeTheName) {
    SimHarness h;
    h.control(QStringLiteral("egc les=102 service=31 priority=1 pres=0 routing=+M Weather"));
    h.control(QStringLiteral("egc les=112 service=4 priority=2 routing=Mem Warning"));
    h.control(QStringLiteral("egc service=13 routing=Pr Printed only"));
    const QString reply = h.run(QStringLiteral("st -e"));
    QStringList entries;
    for (const QString& l : reply.mid(reply.indexOf(QStringLiteral("\r\n")) + 2).split(QStringLiteral("\r\n"))) {
        const QStringList c = collapse(l);
        if (c.size() == 12 && c[11].startsWith(QStringLiteral("EGC.")))
            entries << l;
    }
    ASSERT_EQ(entries.size(), 3) << qPrintable(reply);
    const QStringList first = collapse(entries[0]);
    EXPECT_EQ(first[0], QStringLiteral("102"));
    EXPECT_EQ(first[1], QStringLiteral("31"));
    EXPECT_EQ(first[2], QStringLiteral("1"));
    EXPECT_EQ(first[3], QStringLiteral("0"));
    EXPECT_EQ(first[4], QStringLiteral("13-05-07"));
    EXPECT_EQ(first[5], QStringLiteral("09:41"));
    EXPECT_EQ(first[6], QStringLiteral("7"));
    EXPECT_EQ(first[11], QStringLiteral("EGC.001"));
    auto marked = [&](const QString& name) {
        const qsizetype at = reply.indexOf(name + QStringLiteral("\r\n"));
        const QString before = reply.mid(at - 8, 8);
        return before.contains(QStringLiteral("+M")) || before.contains(QStringLiteral("Mem"));
    };
    EXPECT_TRUE(marked(QStringLiteral("EGC.001")));
    EXPECT_TRUE(marked(QStringLiteral("EGC.002")));
    EXPECT_FALSE(marked(QStringLiteral("EGC.003")));
}

TEST(SimEgcLog, AnEgcsLogLineCanBeLeftOutAndBroughtBack) {
    SimHarness h;
    h.control(QStringLiteral("egc log=no Lost header"));
    h.control(QStringLiteral("egc service=33 ENIDs"));
    EXPECT_FALSE(h.run(QStringLiteral("st -e")).contains(QStringLiteral("EGC.001")));
    EXPECT_TRUE(h.run(QStringLiteral("st -e")).contains(QStringLiteral("EGC.002")));
    EXPECT_TRUE(h.run(QStringLiteral("ls EGC.*")).contains(QStringLiteral("EGC.001")));
    EXPECT_TRUE(h.sim->control(QStringLiteral("egc-log EGC.001 on")).ok);
    EXPECT_TRUE(h.run(QStringLiteral("st -e")).contains(QStringLiteral("EGC.001")));
    EXPECT_FALSE(h.sim->control(QStringLiteral("egc-log EGC.009 on")).ok);
}

TEST(SimEgcLog, DebugSimulationCreatesEgcsOfEachPriority) {
    SimHarness h;
    for (const char* code : {"100", "200", "400", "4"})
        EXPECT_FALSE(h.run(QStringLiteral("db egc sim ") + QLatin1String(code)).contains(QStringLiteral("ERROR")));
    QList<int> priorities;
    for (const SimFile& f : h.unit().files())
        priorities << f.priority;
    EXPECT_EQ(priorities, (QList<int>{3, 0, 1, 2}));
    EXPECT_TRUE(h.run(QStringLiteral("db foo")).contains(QStringLiteral("ERROR 120")));
}

TEST(SimEnidList, StxEtxPairsAndDisabledMark) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("st -g"));
    ASSERT_TRUE(reply.contains(QStringLiteral("\r\nEGC Network ID list\r\n")));
    const QString second = lineWith(reply, QStringLiteral("23456"));
    EXPECT_TRUE(second.startsWith(QChar(2) + QStringLiteral("Northern Shipping Co.") + QChar(3)));
    EXPECT_TRUE(second.contains(QChar(2) + QStringLiteral("23456") + QChar(3)));
    EXPECT_TRUE(second.endsWith(QStringLiteral("disabled")));
    EXPECT_FALSE(lineWith(reply, QStringLiteral("12345")).contains(QStringLiteral("disabled")));

    h.run(QStringLiteral("st -g e23456"));
    h.run(QStringLiteral("st -g d12345"));
    const QString after = h.run(QStringLiteral("st -g"));
    EXPECT_FALSE(lineWith(after, QStringLiteral("23456")).contains(QStringLiteral("disabled")));
    EXPECT_TRUE(lineWith(after, QStringLiteral("12345")).contains(QStringLiteral("disabled")));
    EXPECT_TRUE(h.run(QStringLiteral("st -g e999")).contains(QStringLiteral("ERROR")));
}

// "value is " after the switch text, searched from the start of the reply.
QString switchValue(const QString& reply, const QString& sw, int width) {
    const qsizetype s = reply.indexOf(sw);
    const qsizetype v = reply.indexOf(QStringLiteral("value is "), s, Qt::CaseInsensitive);
    return s < 0 || v < 0 ? QStringLiteral("<missing>") : reply.mid(v + 9, width);
}

TEST(SimEgcSettings, SwitchValuesAndSubjects) {
    SimHarness h;
    for (const char* cmd : {"se -e 1", "se -a 0", "se -w 1", "se -y AD", "se -x BC"})
        EXPECT_FALSE(h.run(QLatin1String(cmd)).contains(QStringLiteral("Illegal"))) << cmd;
    const QString reply = h.run(QStringLiteral("se"));
    EXPECT_EQ(switchValue(reply, QStringLiteral("-e "), 1), QStringLiteral("1"));
    EXPECT_EQ(switchValue(reply, QStringLiteral("-a "), 1), QStringLiteral("0"));
    EXPECT_EQ(switchValue(reply, QStringLiteral("-w "), 1), QStringLiteral("1"));
    EXPECT_EQ(switchValue(reply, QStringLiteral("-y "), 17).trimmed(), QStringLiteral("AD"));
    const QString x = h.run(QStringLiteral("se -x"));
    EXPECT_EQ(switchValue(x, QString(), 100).section(u'\r', 0, 0).trimmed(), QStringLiteral("BC"));
    h.run(QStringLiteral("se -x ."));
    EXPECT_EQ(switchValue(h.run(QStringLiteral("se -x")), QString(), 100).section(u'\r', 0, 0).trimmed(),
              QStringLiteral("."));
    EXPECT_TRUE(h.run(QStringLiteral("se -y AZ")).contains(QStringLiteral("Illegal argument")));
    EXPECT_TRUE(h.run(QStringLiteral("se -e 2")).contains(QStringLiteral("Illegal argument")));
}

TEST(SimEgcSettings, SpareNavareasStartALineAndFillFourEntries) {
    SimHarness h;
    h.run(QStringLiteral("se -sn 5,0,12,0"));
    const QString reply = h.run(QStringLiteral("se -sn"));
    const qsizetype at = reply.indexOf(QStringLiteral("\r\nSpare Navareas:"));
    ASSERT_GE(at, 0);
    QStringList entries = reply.mid(at + 2 + 15).split(QStringLiteral("\r\n"));
    entries.removeLast(); // the prompt after the last line break is no entry
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].trimmed(), QStringLiteral("5"));
    EXPECT_EQ(entries[1].trimmed(), QStringLiteral("None"));
    EXPECT_EQ(entries[2].trimmed(), QStringLiteral("12"));
    h.run(QStringLiteral("se -sn 0"));
    EXPECT_FALSE(h.run(QStringLiteral("se -sn")).contains(QStringLiteral("\r\n5")));
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_FALSE(a.run(QStringLiteral("se -sn")).contains(QStringLiteral("Spare Navareas:")));
}

TEST(SimEgcSettings, OneAreaUnitTakesTheFourValueFormWithZeros) {
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_FALSE(a.run(QStringLiteral("se -sn 7,0,0,0")).contains(QStringLiteral("Illegal")));
    EXPECT_EQ(a.unit().spareNavareas[0], 7);
    EXPECT_TRUE(a.run(QStringLiteral("se -sn 7,0,3,0")).contains(QStringLiteral("Illegal argument")));
    EXPECT_EQ(switchValue(a.run(QStringLiteral("se -sn")), QStringLiteral("-sn "), 1), QStringLiteral("7"));
}

TEST(SimEgcSettings, FixedPositionsOrError120) {
    SimHarness h;
    EXPECT_TRUE(h.run(QStringLiteral("fx 55,N,12,E 60,N,5,E")).contains(QStringLiteral("55,N,12,E 60,N,5,E")));
    EXPECT_TRUE(h.run(QStringLiteral("fx 95")).contains(QStringLiteral("Illegal argument")));
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_TRUE(a.run(QStringLiteral("fx")).contains(QStringLiteral("ERROR 120")));
}

} // namespace
