#include "sim_test_support.h"

using namespace tessaro::sim;
using namespace tessaro::sim::test;

namespace {

QString status(SimHarness& h, const char* label, int width) {
    return afterLabel(h.run(QStringLiteral("st -w")), QLatin1String(label), width).trimmed().toLower();
}

TEST(SimTerminalStatus, LabelsCarryTheirValuesAtTheReadWidths) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("st -w"));
    // Software version: five characters around the first "." after the label.
    const qsizetype v = reply.indexOf(QStringLiteral("version"), 0, Qt::CaseInsensitive);
    const qsizetype dot = reply.indexOf(u'.', v);
    EXPECT_EQ(reply.mid(dot - 2, 5).trimmed(), QStringLiteral("4.12"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Synchronization"), 4).trimmed().toLower(), QStringLiteral("yes"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("TDM origin"), 4).trimmed(), QStringLiteral("144"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Logged in"), 4).trimmed().toLower(), QStringLiteral("yes"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Current protocol"), 25).trimmed().toLower(), QStringLiteral("free"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Current channel"), 4).trimmed().toLower(), QStringLiteral("ncs"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Preferred ocean"), 3).left(1), QStringLiteral("E"));
    // Serial and mobile number run to the line end.
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Mobile no"), 100).section(u'\n', 0, 0).remove(u'\r').trimmed(),
              QStringLiteral("492123456"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Serial no"), 100).section(u'\n', 0, 0).remove(u'\r').trimmed(),
              QStringLiteral("14020K0123"));
}

TEST(SimTerminalStatus, LoginMovesThroughProtocolStatesOverSimulatedSeconds) {
    SimHarness h;
    h.run(QStringLiteral("li 344"));
    EXPECT_EQ(status(h, "Current protocol", 25), QStringLiteral("changing ncs"));
    EXPECT_EQ(status(h, "Logged in", 4), QStringLiteral("no"));
    h.advance(2.5);
    EXPECT_EQ(status(h, "Current protocol", 25), QStringLiteral("login"));
    EXPECT_EQ(status(h, "TDM origin", 4), QStringLiteral("344"));
    h.advance(3);
    EXPECT_EQ(status(h, "Logged in", 4), QStringLiteral("yes"));
    EXPECT_EQ(status(h, "Current protocol", 25), QStringLiteral("free"));

    h.run(QStringLiteral("lo"));
    EXPECT_EQ(status(h, "Current protocol", 25), QStringLiteral("logout"));
    h.advance(3);
    EXPECT_EQ(status(h, "Logged in", 4), QStringLiteral("no"));
    EXPECT_TRUE(h.run(QStringLiteral("li 45")).contains(QStringLiteral("ERROR")));
}

TEST(SimTerminalStatus, ScanAndPreferredOcean) {
    SimHarness h;
    EXPECT_FALSE(h.run(QStringLiteral("se -o p")).contains(QStringLiteral("ERROR")));
    EXPECT_EQ(afterLabel(h.run(QStringLiteral("st -w")), QStringLiteral("Preferred ocean"), 3).left(1),
              QStringLiteral("P"));
    h.run(QStringLiteral("nc -s"));
    EXPECT_EQ(status(h, "Current protocol", 25), QStringLiteral("scanning"));
    EXPECT_EQ(status(h, "Synchronization", 4), QStringLiteral("no"));
    h.advance(5);
    EXPECT_EQ(status(h, "TDM origin", 4), QStringLiteral("244"));
    EXPECT_EQ(status(h, "Synchronization", 4), QStringLiteral("yes"));
    EXPECT_TRUE(h.run(QStringLiteral("se -o x")).contains(QStringLiteral("Illegal argument")));
}

TEST(SimTerminalStatus, SummaryCarriesTheSameLabels) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("st -s"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Logged in"), 4).trimmed(), QStringLiteral("Yes"));
    EXPECT_EQ(afterLabel(reply, QStringLiteral("Current protocol"), 25).trimmed(), QStringLiteral("Free"));
}

struct IdentityCase {
    const char* model;
    bool oldBanner;
    const char* mustContain;
    const char* mustNotContain;
};
void PrintTo(const IdentityCase& c, std::ostream* os) {
    *os << c.model;
}

class SimIdentity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(SimIdentity, BannerAndIdentityTextsOfEachModel) {
    SimOptions options;
    options.model = QLatin1String(GetParam().model);
    SimHarness h(options);
    EXPECT_EQ(h.run(QStringLiteral("st -v")).contains(QStringLiteral("Inmarsat-C Software"), Qt::CaseInsensitive),
              GetParam().oldBanner);
    const QString id = h.run(QStringLiteral("st -i"));
    EXPECT_TRUE(id.contains(QLatin1String(GetParam().mustContain), Qt::CaseInsensitive)) << qPrintable(id);
    if (*GetParam().mustNotContain) {
        EXPECT_FALSE(id.contains(QLatin1String(GetParam().mustNotContain), Qt::CaseInsensitive)) << qPrintable(id);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, SimIdentity,
    ::testing::Values(
        IdentityCase{"alder-ab", true, "Maritime", " SOLAS "}, IdentityCase{"birch-c", false, "Landmobile", ""},
        IdentityCase{"elm-a", false, "(Aero)", "Maritime"}, IdentityCase{"cedar-l", false, "CedarL", "Maritime"},
        IdentityCase{"cedar-m", false, "CedarM", " SSAS"}, IdentityCase{"cedar-m-ssas", false, "CedarM SSAS", ""},
        IdentityCase{"cedar-c", false, " SOLAS ", ""}, IdentityCase{"larch-m", false, "LarchM", " SSAS"},
        IdentityCase{"larch-m-ssas", false, "LarchM SSAS", ""}, IdentityCase{"larch-c", false, "LarchC", ""},
        IdentityCase{"larch-lrit", false, "LarchLRIT", ""}, IdentityCase{"larch-gm", false, "LarchGM", ""}));

TEST(SimIdentity, VersionsAfterCpu) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("ver"));
    const qsizetype cpu = reply.indexOf(QStringLiteral("CPU"));
    ASSERT_GE(cpu, 0);
    const qsizetype dot = reply.indexOf(u'.', cpu);
    EXPECT_EQ(reply.mid(dot - 2, 2).trimmed(), QStringLiteral("1"));
    EXPECT_EQ(reply.mid(dot + 1, 2), QStringLiteral("05"));
}

class SimClockReply : public ::testing::TestWithParam<LineEnd> {};

TEST_P(SimClockReply, DateAndTimeAtTheirOffsets) {
    SimOptions options;
    options.lineEnd = GetParam();
    SimHarness h(options);
    const QString le = QString::fromLatin1(lineEndBytes(GetParam()));
    for (const char* cmd : {"ti -u", "ti u"}) {
        const QString reply = h.run(QLatin1String(cmd));
        ASSERT_GT(reply.size(), 20);
        const qsizetype afterEcho = reply.indexOf(le) + le.size();
        const qsizetype dash = reply.indexOf(u'-', afterEcho);
        EXPECT_EQ(reply.mid(dash - 2, 8), QStringLiteral("13-05-07"));
        const qsizetype colon = reply.indexOf(u':', dash - 2 + 8);
        EXPECT_GT(colon + 1, 18); // 1-based position beyond 18
        EXPECT_EQ(reply.mid(colon - 2, 2), QStringLiteral("09"));
        EXPECT_EQ(reply.mid(colon + 1, 2), QStringLiteral("41"));
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, SimClockReply, ::testing::Values(LineEnd::Lf, LineEnd::CrLf, LineEnd::CrCrLf));

TEST(SimPosition, LabelledFieldsAndEightPieces) {
    SimHarness h;
    QString reply = h.run(QStringLiteral("se -p"));
    auto between = [&](const QString& a, const QString& b) {
        const qsizetype s = reply.indexOf(a) + a.size();
        return reply.mid(s, reply.indexOf(b, s) - s);
    };
    QString pos = between(QStringLiteral("Position : "), QStringLiteral("Course   : "));
    pos.remove(QChar(2)).remove(QChar(3));
    EXPECT_EQ(pos.trimmed().split(u' ').size(), 8);
    EXPECT_EQ(pos.trimmed(), QStringLiteral("55 40 12 N 12 34 56 E"));
    EXPECT_EQ(between(QStringLiteral("Course   : "), QStringLiteral(" at ")).trimmed(), QStringLiteral("123"));
    EXPECT_EQ(between(QStringLiteral(" at "), QStringLiteral("Speed    : ")).trimmed(), QStringLiteral("09:41 UTC"));
    EXPECT_FALSE(reply.contains(QStringLiteral("Not Valid"), Qt::CaseInsensitive));

    h.run(QStringLiteral("se -p 10 20 30 S 100 5 0 W 90 7"));
    reply = h.run(QStringLiteral("se -p"));
    EXPECT_TRUE(reply.contains(QStringLiteral("10 20 30 S 100 5 0 W")));
    EXPECT_TRUE(h.run(QStringLiteral("se -p 1 2 3")).contains(QStringLiteral("ERROR")));

    h.control(QStringLiteral("position invalid"));
    EXPECT_TRUE(h.run(QStringLiteral("se -p")).contains(QStringLiteral("Not Valid")));
}

TEST(SimPosition, GpsStatusRunsFromTestSummaryToMph) {
    SimHarness h;
    const QString reply = h.run(QStringLiteral("ru -g"));
    const qsizetype start = reply.indexOf(QStringLiteral("Test Summary"));
    const qsizetype end = reply.indexOf(QStringLiteral(" mph"));
    EXPECT_GE(start, 0);
    EXPECT_GT(end, start);
}

TEST(SimLesLists, CurrentOceanListWithStxAndServiceBlocks) {
    SimHarness h;
    const QString list = h.run(QStringLiteral("st -n"));
    const QString marker = QStringLiteral("LES id ") + QChar(2);
    EXPECT_EQ(list.count(marker), 9); // East Atlantic
    EXPECT_EQ(list.mid(list.indexOf(marker) + marker.size(), 3), QStringLiteral("101"));
    const QString services = h.run(QStringLiteral("status -n"));
    const qsizetype block = services.indexOf(QStringLiteral("LES id 105"));
    ASSERT_GE(block, 0);
    const qsizetype end = services.indexOf(QStringLiteral("\r\n\r\n"), block);
    EXPECT_GT(end, block);
    EXPECT_TRUE(services.mid(block, end - block).contains(QStringLiteral("Fucino")));
}

TEST(SimLinkTest, NoResultsThenBlockEndingWithTestAtUtc) {
    SimHarness h;
    EXPECT_TRUE(h.run(QStringLiteral("st -m")).contains(QStringLiteral("No test results available")));
    h.run(QStringLiteral("test"));
    EXPECT_EQ(afterLabel(h.run(QStringLiteral("st -w")), QStringLiteral("Current protocol"), 25).trimmed(),
              QStringLiteral("Link test"));
    h.advance(61);
    const QString reply = h.run(QStringLiteral("st -m"));
    const qsizetype s = reply.indexOf(QStringLiteral("Latest Link Test results"));
    const qsizetype t = reply.indexOf(QStringLiteral("Test at UTC"), s);
    ASSERT_GE(s, 0);
    ASSERT_GT(t, s);
    EXPECT_GT(reply.indexOf(QStringLiteral("\r\n"), t), t);
    const QString infos = h.run(QStringLiteral("st -l"));
    EXPECT_TRUE(infos.contains(QStringLiteral("INFO 502:")));
    EXPECT_TRUE(infos.contains(QStringLiteral("INFO 353:")));
}

TEST(SimDistressStatus, ValuesTwentyThreeCharactersAfterTheLabelUpToEtx) {
    SimHarness h;
    h.unit().latestTest = QStringLiteral("accepted");
    const QString reply = h.run(QStringLiteral("st -a"));
    auto value = [&](const QString& label) {
        const qsizetype at = reply.indexOf(label);
        const qsizetype etx = reply.indexOf(QChar(3), at + 23);
        return at < 0 || etx < 0 ? QStringLiteral("<missing>") : reply.mid(at + 23, etx - at - 23).trimmed();
    };
    EXPECT_EQ(value(QStringLiteral("Latest Distress  ")), QStringLiteral("none"));
    EXPECT_EQ(value(QStringLiteral("Latest Distress test")), QStringLiteral("accepted"));
}

TEST(SimDistressTestMode, QueryOnOffAndUnsupportedUnits) {
    SimHarness h;
    EXPECT_TRUE(h.run(QStringLiteral("se -q")).contains(QStringLiteral("Distress functionality enabled")));
    EXPECT_TRUE(h.run(QStringLiteral("se -q 1")).contains(QStringLiteral("Distress functionality disabled")));
    EXPECT_TRUE(h.run(QStringLiteral("st -l")).contains(QStringLiteral("INFO 733:")));
    EXPECT_TRUE(h.run(QStringLiteral("se -q 0")).contains(QStringLiteral("Distress functionality enabled")));
    EXPECT_TRUE(h.run(QStringLiteral("se -q 7")).contains(QStringLiteral("Illegal argument")));
    SimOptions options;
    options.model = QStringLiteral("birch-c");
    SimHarness old(options);
    EXPECT_TRUE(old.run(QStringLiteral("se -q 1")).contains(QStringLiteral("NOT implemented")));
}

} // namespace
