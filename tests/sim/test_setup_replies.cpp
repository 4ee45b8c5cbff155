#include "sim_test_support.h"

using namespace tessaro::sim;
using namespace tessaro::sim::test;

namespace {

// The value 20 characters after the label's first character, up to the line end.
QString column20(const QString& reply, const QString& label) {
    const qsizetype at = reply.indexOf(label);
    if (at < 0)
        return QStringLiteral("<missing>");
    const qsizetype end = reply.indexOf(QStringLiteral("\r\n"), at);
    return reply.mid(at + 20, end - at - 20);
}

TEST(SimDistressGenerator, ListingWithTwentyCharacterValueColumn) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("se -g 102,F,N,55,40,12,E,12,34,56,9,5,270,14"));
    EXPECT_FALSE(reply.contains(QStringLiteral("ERROR")));
    const qsizetype start = reply.indexOf(QStringLiteral("\r\nParameters for Distress"));
    ASSERT_GE(start, 0);
    EXPECT_GT(reply.indexOf(QStringLiteral("knots"), start), start);
    EXPECT_EQ(column20(reply, QStringLiteral("Current LES/NCS Id:")).trimmed(), QStringLiteral("102"));
    EXPECT_EQ(column20(reply, QStringLiteral("Nature of Distress:")).left(1), QStringLiteral("F"));
    EXPECT_EQ(column20(reply, QStringLiteral("Position")).trimmed(), QStringLiteral("55 40 12 N 12 34 56 E"));
    EXPECT_EQ(column20(reply, QStringLiteral("Time of Position")).left(5), QStringLiteral("09:05"));
    const QString course = column20(reply, QStringLiteral("Course"));
    EXPECT_EQ(course.left(course.indexOf(QStringLiteral(" deg/true"))), QStringLiteral("270"));
    const QString speed = column20(reply, QStringLiteral("Speed"));
    EXPECT_EQ(speed.left(speed.indexOf(QStringLiteral(" knots"))), QStringLiteral("14"));
}

TEST(SimDistressGenerator, GpsFormOldLabelAndRefusals) {
    SimHarness h;
    h.run(QStringLiteral("se -g 101,U,S,127,63,0,W,255,63,0,23,59,359,180"));
    EXPECT_TRUE(h.unit().generator.useGps);
    EXPECT_EQ(column20(h.run(QStringLiteral("se -g")), QStringLiteral("Position")).trimmed(),
              QStringLiteral("55 40 12 N 12 34 56 E"));
    EXPECT_TRUE(h.run(QStringLiteral("se -g 102,F,N,95,0,0,E,0,0,0,0,0,0,0")).contains(QStringLiteral("\r\nERROR")));
    EXPECT_TRUE(h.run(QStringLiteral("se -g 102,Z,N,5,0,0,E,0,0,0,0,0,0,0")).contains(QStringLiteral("\r\nERROR")));
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_EQ(column20(a.run(QStringLiteral("se -g")), QStringLiteral("LES/NCS Id        :")).trimmed(),
              QStringLiteral("102"));
}

QString alertValue(const QString& reply, int ocean) {
    const qsizetype at = reply.indexOf(QStringLiteral("ocean %1").arg(ocean));
    const qsizetype stx = reply.indexOf(QChar(2), at);
    const qsizetype etx = reply.indexOf(QChar(3), stx);
    return reply.mid(stx + 1, etx - stx - 1);
}

TEST(SimDistressAlertLes, ThreeLayoutsOfAllOceans) {
    SimHarness h; // Larch maritime: "Alert LES"
    h.run(QStringLiteral("se -m 001,112,210,305"));
    QString reply = h.run(QStringLiteral("se -m ALL_OCEANS"));
    EXPECT_TRUE(reply.contains(QStringLiteral("Alert LES\r\n")));
    EXPECT_FALSE(reply.contains(QStringLiteral("Land Mobile")));
    EXPECT_EQ(alertValue(reply, 0), QStringLiteral("001"));
    EXPECT_EQ(alertValue(reply, 3), QStringLiteral("305"));
    EXPECT_GT(reply.indexOf(QChar(2)), 15);

    SimOptions land;
    land.model = QStringLiteral("cedar-l");
    SimHarness l(land);
    reply = l.run(QStringLiteral("se -m ALL_OCEANS"));
    EXPECT_TRUE(reply.contains(QStringLiteral("Land Mobile\r\n")));
    for (int k = 0; k < 4; ++k) {
        const qsizetype at = reply.indexOf(QStringLiteral("ocean %1").arg(k));
        EXPECT_EQ(reply.mid(at + 15, reply.indexOf(QChar(3), at) - at - 15),
                  l.unit().generator.alertLes[static_cast<size_t>(k)]);
    }

    SimOptions lrit;
    lrit.model = QStringLiteral("larch-lrit");
    SimHarness t(lrit);
    reply = t.run(QStringLiteral("se -m ALL_OCEANS"));
    const qsizetype at = reply.indexOf(QStringLiteral("LES IDs           : "));
    ASSERT_GE(at, 0);
    EXPECT_EQ(reply.mid(at + 20, reply.indexOf(u'\r', at) - at - 20), QStringLiteral("001,102,201,301"));
}

TEST(SimDistressAlertLes, LandStationAndNature) {
    SimOptions land;
    land.model = QStringLiteral("larch-l");
    SimHarness h(land);
    h.run(QStringLiteral("se -m 104,n,A"));
    const QString reply = h.run(QStringLiteral("se -m "));
    const qsizetype at = reply.indexOf(QStringLiteral("Land Station number      : "));
    ASSERT_GE(at, 0);
    EXPECT_EQ(reply.mid(at + 28, 3), QStringLiteral("104"));
    const QString tail = reply.mid(reply.indexOf(QStringLiteral("Maritime ")) + 8);
    EXPECT_TRUE(tail.contains(QStringLiteral("Abandoning ship")));
    for (const char* other : {"Flooding", "Collision", "Grounding", "Listing", "Sinking", "Explosion"})
        EXPECT_FALSE(tail.contains(QLatin1String(other))) << other;
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_TRUE(a.run(QStringLiteral("se -m ALL_OCEANS")).contains(QStringLiteral("ERROR 120")));
}

TEST(SimDnidList, FiftyEightCharacterLinesBetweenHeaderAndCount) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("st -d"));
    const qsizetype name = reply.indexOf(QStringLiteral("Name"), 0, Qt::CaseInsensitive);
    ASSERT_GE(reply.indexOf(QStringLiteral("DNID(s) stored"), name), name);
    const qsizetype header = reply.indexOf(QStringLiteral("Rd\r\n"), 0, Qt::CaseInsensitive);
    ASSERT_GE(header, 0);
    QStringList lines = reply.mid(header + 4).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    const QString l = lines[0];
    ASSERT_EQ(l.size(), 58) << qPrintable(l);
    EXPECT_EQ(lines[1].size(), 58);
    EXPECT_TRUE(lines[2].contains(QStringLiteral("2 DNID(s) stored")));
    EXPECT_EQ(cols(l, 1, 27).trimmed(), QStringLiteral("Fleet Tracking & Co"));
    EXPECT_EQ(cols(l, 28, 29).trimmed(), QStringLiteral("1"));
    EXPECT_EQ(cols(l, 31, 33), QStringLiteral("102"));
    EXPECT_EQ(cols(l, 35, 40).trimmed(), QStringLiteral("12345"));
    EXPECT_EQ(cols(l, 43, 45).toInt(), 7);
    EXPECT_EQ(cols(l, 49, 49), QStringLiteral("0"));
    EXPECT_EQ(cols(l, 55, 55), QStringLiteral("1"));
    EXPECT_EQ(cols(l, 58, 58), QStringLiteral("0"));
    EXPECT_EQ(cols(lines[1], 28, 29).trimmed(), QStringLiteral("0"));

    h.run(QStringLiteral("st -d E212,4321,12,1"));
    h.run(QStringLiteral("st -d D102,12345,7,0"));
    const QStringList after = h.run(QStringLiteral("st -d")).split(QStringLiteral("\r\n"));
    EXPECT_EQ(cols(after[3], 28, 29).trimmed(), QStringLiteral("0"));
    EXPECT_EQ(cols(after[4], 28, 29).trimmed(), QStringLiteral("1"));
    EXPECT_TRUE(h.run(QStringLiteral("st -d E1,2,3,4")).contains(QStringLiteral("ERROR 121")));
}

TEST(SimReportPrograms, ListingLinesAfterConnectionHeader) {
    SimHarness h;
    QString reply = h.run(QStringLiteral("pg -d"));
    const qsizetype block = reply.indexOf(QStringLiteral("Connection"));
    ASSERT_GE(block, 0);
    const QStringList lines = reply.mid(block).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("local"), Qt::CaseInsensitive));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("PU[i")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("remote"), Qt::CaseInsensitive));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("PU[s")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("closed"), Qt::CaseInsensitive));
    EXPECT_FALSE(lines[3].contains(QStringLiteral("PU")));
    const QStringList groups = lines[1].mid(21).split(u' ');
    ASSERT_EQ(groups.size(), 4);
    EXPECT_EQ(groups[2], QStringLiteral("212,4321,12"));

    // Define, start, stop and delete slot 3.
    h.run(QStringLiteral("pg -o \"101,12345,7 000,0,0 000,0,0 301,555,2\""));
    EXPECT_TRUE(h.run(QStringLiteral("pg -p 2,1042,694")).contains(QStringLiteral("defined")));
    h.run(QStringLiteral("pg -i 2,P"));
    reply = h.run(QStringLiteral("pg -d"));
    QString slot = reply.mid(reply.indexOf(QStringLiteral("Connection"))).split(QStringLiteral("\r\n"))[3];
    EXPECT_TRUE(slot.contains(QStringLiteral("PU[i"))) << qPrintable(slot);
    EXPECT_EQ(slot.mid(21), QStringLiteral("101,12345,7 000,0,0 000,0,0 301,555,2"));
    h.run(QStringLiteral("pg -s 2"));
    EXPECT_TRUE(h.run(QStringLiteral("pg -d 2")).contains(QStringLiteral("Stopped")));
    h.run(QStringLiteral("pg -c 2"));
    slot = h.run(QStringLiteral("pg -d")).split(QStringLiteral("\r\n"))[5];
    EXPECT_TRUE(slot.contains(QStringLiteral("Closed")));
    EXPECT_TRUE(h.run(QStringLiteral("pg -s 1")).contains(QStringLiteral("ERROR")));   // remote
    EXPECT_TRUE(h.run(QStringLiteral("pg -i 3,P")).contains(QStringLiteral("ERROR"))); // closed
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_TRUE(a.run(QStringLiteral("pg -d")).contains(QStringLiteral("ERROR 120")));
}

QString rsValue(const QString& block, const QString& marker, const QString& endBefore) {
    const qsizetype at = block.indexOf(marker);
    if (at < 0)
        return QStringLiteral("<missing>");
    const qsizetype start = at + marker.size();
    const qsizetype end = endBefore.isEmpty() ? block.indexOf(u' ', start) : block.indexOf(endBefore, start);
    return block.mid(start, end - start).trimmed();
}

TEST(SimMessageReporting, SettingsBlockAndWrites) {
    SimHarness h;
    h.run(QStringLiteral("rs -f 6"));
    h.run(QStringLiteral("rs -m 1,6 -d 15"));
    h.run(QStringLiteral("rs -w * -h 8"));
    h.run(QStringLiteral("rs -u 30 -n 0 -v 1 -p 9ab"));
    h.run(QStringLiteral("rs -e 12345 -t 5 -l 0 -a 12345 -f 1 101 201 301 001"));
    const QString reply = h.run(QStringLiteral("rs"));
    const qsizetype s = reply.indexOf(QStringLiteral("Illegal argument"));
    const qsizetype op = reply.indexOf(QStringLiteral("Operation "), s);
    ASSERT_GE(s, 0);
    ASSERT_GT(op, s);
    const QString block = reply.mid(s, reply.indexOf(u':', op) + 11 - s);
    EXPECT_EQ(rsValue(block, QStringLiteral("-f (num)  value is "), {}), QStringLiteral("1"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-m (str)  value is "), QStringLiteral("Month")), QStringLiteral("1,6"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-d (str)  value is "), QStringLiteral("Month day")), QStringLiteral("15"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-w (str)  value is "), QStringLiteral("Day of week")),
              QStringLiteral("*"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-h (str)  value is "), QStringLiteral("Hour of day")),
              QStringLiteral("8"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-u (str)  value is "), QStringLiteral("Minute of day")),
              QStringLiteral("30"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-n (num)  value is "), {}), QStringLiteral("0"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-v (num)  value is "), {}), QStringLiteral("1"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-e (str)  value is "), QStringLiteral("Message Exten")),
              QStringLiteral("12345"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-p (str)  value is "), QStringLiteral("PIN code")), QStringLiteral("9ab"));
    EXPECT_EQ(rsValue(block, QStringLiteral("-a (str)  value is "), QStringLiteral("Destination Address")),
              QStringLiteral("12345"));
    EXPECT_TRUE(block.contains(QStringLiteral("Operation 1")));
    h.run(QStringLiteral("rs -f 0"));
    EXPECT_FALSE(h.run(QStringLiteral("rs")).contains(QStringLiteral("Operation 1")));
    EXPECT_TRUE(h.run(QStringLiteral("rs -q 1")).contains(QStringLiteral("Illegal argument: -q")));
    SimOptions old;
    old.model = QStringLiteral("birch-c");
    SimHarness a(old);
    EXPECT_TRUE(a.run(QStringLiteral("rs")).contains(QStringLiteral("INFO 999:")));
}

TEST(SimRouting, TableValuesAndVariables) {
    SimHarness h;
    h.run(QStringLiteral("ro 10  5"));
    const QString reply = h.run(QStringLiteral("ro"));
    const qsizetype from = reply.indexOf(QStringLiteral("Configuration"));
    const qsizetype to = reply.indexOf(QStringLiteral("Enter filenumber >"));
    ASSERT_GE(from, 0);
    ASSERT_GT(to, from);
    const QString table = reply.mid(from, to - from);
    const QMap<int, int> expected{{10, 5}, {30, 1}, {31, 1}, {32, 3}, {33, 7}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const qsizetype at = table.indexOf(QStringLiteral("%1 :").arg(it.key()));
        ASSERT_GE(at, 0) << it.key();
        const qsizetype colon = table.indexOf(u':', at + 34);
        EXPECT_EQ(table.mid(colon + 1, 3).trimmed().toInt(), it.value()) << it.key();
    }
    h.run(QString()); // leave the file-number prompt
    EXPECT_TRUE(h.run(QStringLiteral("ro 10 9")).contains(QStringLiteral("Illegal argument")));
    h.run(QStringLiteral("se -z PRINTER=OFF"));
    h.run(QStringLiteral("se -z PLINES=66"));
    const QString vars = h.run(QStringLiteral("set -z"));
    EXPECT_TRUE(vars.contains(QStringLiteral("\r\nPRINTER=OFF\r\n")));
    EXPECT_TRUE(vars.contains(QStringLiteral("\r\nPLINES=66\r\n")));
    EXPECT_TRUE(h.run(QStringLiteral("se -z nothing")).contains(QStringLiteral("Illegal argument")));
}

} // namespace
