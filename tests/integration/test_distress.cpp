// The distress generator against the simulator: read, changed and read back on a maritime and a
// land-mobile unit, and a distress alert that leaves its SEARCH & RESCUE line in Sent Items.
#include "distress/sample_fields.h"
#include "integration_rig.h"

#include "distress/distress_generator_service.h"
#include "distress/distress_module.h"
#include "messaging/outbox.h"

using namespace tessaro;
using namespace tessaro::test;

namespace {

struct DistressRig : IntegrationRig {
    explicit DistressRig(const QString& model = QStringLiteral("larch-c")) {
        sim::SimOptions options;
        options.realTime = false;
        options.chunkDelayMs = 2;
        options.model = model;
        simulator = std::make_unique<sim::MesSimulator>(options);
    }
    DistressGeneratorService& generator() { return runtime->distress().generator(); }
    bool advanceAndPoll(int seconds) {
        simulator->clock()->advance(qint64(seconds) * 1000);
        poll();
        return settle();
    }
    // The engine's written lines carry the line end.
    bool wroteExactly(const QString& line) const {
        for (const QString& w : written)
            if (StripLineEnds(w) == line)
                return true;
        return false;
    }
};

} // namespace

TEST(DistressAgainstSimulator, GeneratorIsReadWrittenAndReadBack) {
    DistressRig rig;
    ASSERT_TRUE(rig.start());
    // The status poll tells the ocean region the unit is logged in to.
    rig.poll();
    ASSERT_TRUE(rig.settle());
    ASSERT_GE(rig.session.CurrentOcean(), 0);
    ASSERT_LE(rig.session.CurrentOcean(), 3);
    const int ocean = rig.session.CurrentOcean();

    int shown = 0;
    QObject::connect(&rig.generator(), &DistressGeneratorService::showGeneratorWindow, [&] { ++shown; });
    ASSERT_TRUE(rig.generator().OpenMaritime());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(rig.generator().waiting());
    const DistressGeneratorValues first = rig.generator().values();
    EXPECT_EQ(first.Les.size(), 3);
    EXPECT_EQ(first.Position.size(), 8);

    std::array<QString, 4> lists{QStringLiteral("001, Southbury"), QStringLiteral("102, Burum"),
                                 QStringLiteral("201, Southbury"), QStringLiteral("301, Southbury")};
    const GeneratorApplyResult r = rig.generator().ApplyMaritime(false, u'G', test::SampleMaritimeFields(), lists);
    ASSERT_TRUE(r.sent);
    ASSERT_TRUE(rig.settle());
    const QString les = lists[size_t(ocean)].left(3);
    EXPECT_TRUE(rig.wroteExactly(QStringLiteral("se -g %1,G,N,54,20,50,E,10,8,5,9,5,275,12").arg(les)))
        << rig.written.join(u'|').toStdString();
    EXPECT_TRUE(rig.wroteExactly(QStringLiteral("se -m 001,102,201,301")));
    const DistressGeneratorValues back = rig.generator().values();
    EXPECT_EQ(back.Les, les);
    EXPECT_EQ(back.Nature, u'G');
    EXPECT_EQ(back.Position, QStringLiteral("54 20 50 N 10 8 5 E").split(u' '));
    EXPECT_EQ(back.Hour + u':' + back.Minute, QStringLiteral("09:05"));
    EXPECT_EQ(back.Course, 275);
    EXPECT_EQ(back.Speed, 12);
    EXPECT_EQ(rig.config.GetDistressGenLes(ocean), les);
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(u'|').toStdString();

    // The alert LES of every region, as the unit now lists them, is kept by the configuration.
    EXPECT_EQ(rig.config.GetDistressGenLes(3), QStringLiteral("301"));
}

TEST(DistressAgainstSimulator, LandMobileGeneratorAndAlertSettings) {
    DistressRig rig(QStringLiteral("larch-l"));
    ASSERT_TRUE(rig.start());
    rig.poll();
    ASSERT_TRUE(rig.settle());
    int lmShown = 0, settingsShown = 0;
    AlertParameters params;
    std::array<QString, 4> les;
    DistressGeneratorService& g = rig.generator();
    QObject::connect(&g, &DistressGeneratorService::showLandMobileWindow, [&] { ++lmShown; });
    QObject::connect(&g, &DistressGeneratorService::showAlertSettingsWindow, [&] { ++settingsShown; });
    QObject::connect(&g, &DistressGeneratorService::alertParametersRead, [&](const AlertParameters& p) { params = p; });
    QObject::connect(&g, &DistressGeneratorService::alertLesRead, [&](const std::array<QString, 4>& l) { les = l; });

    ASSERT_TRUE(g.OpenLandMobile());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(lmShown, 1);
    EXPECT_EQ(params.landStation.size(), 3);

    // The "se -m ?" dialogue: land station, message type, nature.
    ASSERT_TRUE(g.ApplyLandMobile(QStringLiteral("105, Fucino"), 3)); // Police
    ASSERT_TRUE(rig.settle());
    params = {};
    ASSERT_TRUE(g.OpenLandMobile());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(params.landStation, QStringLiteral("105"));
    EXPECT_EQ(params.natureIndex.value_or(-1), 3);

    ASSERT_TRUE(g.OpenAlertSettings());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(settingsShown, 1);
    ASSERT_TRUE(g.ApplyAlertSettings({QStringLiteral("000, None"), QStringLiteral("112, Burum"),
                                      QStringLiteral("212, Burum"), QStringLiteral("312, Burum")},
                                     7));
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(g.OpenAlertSettings());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(settingsShown, 2);
    EXPECT_EQ(les, (std::array<QString, 4>{QStringLiteral("000"), QStringLiteral("112"), QStringLiteral("212"),
                                           QStringLiteral("312")}));
    EXPECT_EQ(params.landStation, QStringLiteral("112"));
    EXPECT_EQ(params.natureIndex.value_or(-1), 7);
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(u'|').toStdString();
}

TEST(DistressAgainstSimulator, AlertLeavesARedSearchAndRescueLineThatFails) {
    DistressRig rig;
    ASSERT_TRUE(rig.start());
    rig.poll();
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(rig.session.LoggedIn());
    ASSERT_TRUE(rig.outIdxLines().isEmpty());

    ASSERT_TRUE(rig.sim(QStringLiteral("distress fail")));
    rig.poll(); // "st -l" brings INFO 22; the generator read follows
    ASSERT_TRUE(rig.settle());
    EXPECT_GE(rig.countWritten(QStringLiteral("se -g")), 1);
    QStringList lines = rig.outIdxLines();
    ASSERT_EQ(lines.size(), 1);
    QStringList fields = lines[0].split(u';');
    ASSERT_EQ(fields.size(), 21);
    EXPECT_EQ(fields[OutIdx::ToText], QStringLiteral("SEARCH & RESCUE"));
    EXPECT_EQ(fields[OutIdx::Status], QStringLiteral("Sending"));
    EXPECT_EQ(fields[OutIdx::Les], rig.generator().values().Les);
    EXPECT_FALSE(rig.session.AddDistressAlertToOutbox());

    ASSERT_TRUE(rig.advanceAndPoll(6)); // INFO 20
    lines = rig.outIdxLines();
    ASSERT_EQ(lines.size(), 1) << "the failure settles the alert's line and adds none";
    EXPECT_EQ(lines[0].split(u';')[OutIdx::Status], QStringLiteral("Failed"));
}

TEST(DistressAgainstSimulator, ButtonsTestRunsAndIsCancelled) {
    DistressRig rig;
    ASSERT_TRUE(rig.start());
    DistressTestService& test = rig.runtime->distress().testMode();
    ASSERT_TRUE(test.StartTest());
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.wroteExactly(QStringLiteral("se -q 1")));
    EXPECT_EQ(test.GetState(), 2) << "the reply says the distress function is off";
    EXPECT_FALSE(test.initTimer().isActive());
    EXPECT_TRUE(test.testModeTimer().isActive());
    // The INFO line that follows on the next poll changes nothing.
    rig.poll();
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(test.GetState(), 2);

    test.CancelTest();
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.wroteExactly(QStringLiteral("se -q 0")));
    EXPECT_EQ(test.GetState(), 0);
    EXPECT_FALSE(test.initTimer().isActive());
    EXPECT_FALSE(test.testModeTimer().isActive());
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(u'\n').toStdString();
}

TEST(DistressAgainstSimulator, UnitWithoutTestModeAndTheLatestStatus) {
    DistressRig rig(QStringLiteral("birch-c"));
    ASSERT_TRUE(rig.start());
    DistressTestService& test = rig.runtime->distress().testMode();
    ASSERT_TRUE(test.StartTest());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(test.GetState(), 0);
    for (int i = 0; i < 10 && rig.terminal->messageBoxes().size() > 0; ++i)
        rig.terminal->messageBoxes().onMBoxTimer();
    EXPECT_TRUE(rig.form.boxes.join(u'\n').contains(QStringLiteral("Distress Test Mode not supported")))
        << rig.form.boxes.join(u'\n').toStdString();

    std::vector<LatestDistressValues> read;
    QObject::connect(&test, &DistressTestService::latestDistressRead,
                     [&](const LatestDistressValues& v) { read.push_back(v); });
    ASSERT_TRUE(test.RequestLatestDistress());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], (LatestDistressValues{QStringLiteral("none"), QStringLiteral("none")}));
}
