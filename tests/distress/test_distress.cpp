#include "app/runtime_rig.h"
#include "distress/sample_fields.h"

#include "config/configuration.h"
#include "distress/distress_generator.h"
#include "distress/distress_generator_service.h"
#include "distress/distress_module.h"
#include "messaging/les_lists.h"
#include "messaging/messaging_module.h"
#include "messaging/outbox.h"
#include "status/identity.h"
#include "status/session.h"

#include <QFile>
#include <QTest>

using namespace tessaro;

namespace {

const QString kEnd = QStringLiteral("\r\n");

// A listing as the transceiver prints it: each value 20 characters after its label's first character.
QString Listing(const QString& lesLabel, const QString& les, const QString& time, const QString& speed,
                const QString& end = kEnd) {
    return QStringLiteral("se -g") + end + QStringLiteral("Parameters for Distress Alert") + end + lesLabel + u' ' +
           les + end + QStringLiteral("Nature of Distress: F  Flooding") + end +
           QStringLiteral("Position          : 54 20 50 N 10 8 5 E") + end + QStringLiteral("Time of Position  : ") +
           time + end + QStringLiteral("Course            : 275 deg/true") + end +
           QStringLiteral("Speed             : ") + speed + QStringLiteral(" knots") + end + QStringLiteral("can0:/$ ");
}

DistressGeneratorValues Previous() {
    DistressGeneratorValues v;
    v.Les = QStringLiteral("999");
    v.Nature = u'U';
    v.Position = QStringLiteral("1 2 3 S 4 5 6 W").split(u' ');
    v.Hour = QStringLiteral("11");
    v.Minute = QStringLiteral("22");
    v.UpdatedAt = QStringLiteral("Updated at: 11:22");
    v.Course = 1;
    v.Speed = 2;
    return v;
}

} // namespace

TEST(DistressGeneratorParse, ListingsOfBothLabelsAndLineEnds) {
    struct Case {
        const char* name;
        QString reply;
        QString les, hour, minute, updated;
        int speed;
    };
    const QString current = QStringLiteral("Current LES/NCS Id:");
    const QString plain = QStringLiteral("LES/NCS Id        :");
    const Case cases[] = {
        {"current label", Listing(current, QStringLiteral("102"), QStringLiteral("09:05"), QStringLiteral("12")),
         QStringLiteral("102"), QStringLiteral("09"), QStringLiteral("05"), QStringLiteral("Updated at: 09:05"), 12},
        {"plain label", Listing(plain, QStringLiteral("305"), QStringLiteral("23:59"), QStringLiteral("7")),
         QStringLiteral("305"), QStringLiteral("23"), QStringLiteral("59"), QStringLiteral("Updated at: 23:59"), 7},
        {"one-digit hour and minute",
         Listing(current, QStringLiteral("102"), QStringLiteral("9:5"), QStringLiteral("3")), QStringLiteral("102"),
         QStringLiteral("09"), QStringLiteral("05"), QStringLiteral("Updated at: 9:5"), 3},
        {"speed not a number", Listing(current, QStringLiteral("102"), QStringLiteral("10:00"), QStringLiteral("n/a")),
         QStringLiteral("102"), QStringLiteral("10"), QStringLiteral("00"), QStringLiteral("Updated at: 10:00"), 0},
        {"LF line ends",
         Listing(current, QStringLiteral("002"), QStringLiteral("01:02"), QStringLiteral("5"), QStringLiteral("\n")),
         QStringLiteral("002"), QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("Updated at: 01:02"), 5},
        {"CR CR LF line ends",
         Listing(plain, QStringLiteral("LES?"), QStringLiteral("01:02"), QStringLiteral("5"), QStringLiteral("\r\r\n")),
         QStringLiteral("LES?"), QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("Updated at: 01:02"), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GeneratorParse p = ParseDistressGenerator(c.reply, kEnd, Previous());
        ASSERT_EQ(p.kind, GeneratorReply::Values);
        EXPECT_EQ(p.values.Les, c.les);
        EXPECT_EQ(p.values.Nature, u'F');
        EXPECT_EQ(p.values.Position, QStringLiteral("54 20 50 N 10 8 5 E").split(u' '));
        EXPECT_EQ(p.values.Hour, c.hour);
        EXPECT_EQ(p.values.Minute, c.minute);
        EXPECT_EQ(p.values.UpdatedAt, c.updated);
        EXPECT_EQ(p.values.Course, 275);
        EXPECT_EQ(p.values.Speed, c.speed);
    }
}

TEST(DistressGeneratorParse, ErrorsAndMissingLabelsKeepThePreviousValues) {
    struct Case {
        const char* name;
        QString reply;
        GeneratorReply kind;
        QString errorLine;
    };
    const Case cases[] = {
        {"error 550", QStringLiteral("se -g\r\nERROR 550: busy\r\ncan0:/$ "), GeneratorReply::Ignored,
         QStringLiteral("ERROR 550: busy")},
        {"other error", QStringLiteral("se -g\r\nERROR 120: Unknown command\r\ncan0:/$ "), GeneratorReply::ErrorLine,
         QStringLiteral("ERROR 120: Unknown command")},
        {"no header",
         QStringLiteral("se -g\r\nCurrent LES/NCS Id: 102\r\n12 knots\r\n"),
         GeneratorReply::NotLoaded,
         {}},
        {"no knots",
         QStringLiteral("se -g\r\nParameters for Distress Alert\r\nCurrent LES/NCS Id: 102\r\n"),
         GeneratorReply::NotLoaded,
         {}},
        {"no LES label",
         QStringLiteral("se -g\r\nParameters for Distress Alert\r\nLES: 102\r\nSpeed: 1 knots\r\n"),
         GeneratorReply::NotLoaded,
         {}},
        {"empty", QString(), GeneratorReply::NotLoaded, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GeneratorParse p = ParseDistressGenerator(c.reply, kEnd, Previous());
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.errorLine, c.errorLine);
        EXPECT_EQ(p.values, Previous());
    }
}

TEST(DistressGeneratorParse, ShortPositionLeavesThePositionAndSurvivesCutReplies) {
    QString reply = Listing(QStringLiteral("Current LES/NCS Id:"), QStringLiteral("102"), QStringLiteral("09:05"),
                            QStringLiteral("1"));
    reply.replace(QStringLiteral("54 20 50 N 10 8 5 E"), QStringLiteral("54 20 N"));
    const GeneratorParse p = ParseDistressGenerator(reply, kEnd, Previous());
    ASSERT_EQ(p.kind, GeneratorReply::Values);
    EXPECT_EQ(p.values.Position, Previous().Position);
    // Every cut of a listing is survived.
    for (qsizetype n = 0; n <= reply.size(); ++n)
        (void)ParseDistressGenerator(reply.left(n), kEnd, Previous());
}

TEST(DistressAlertParameters, LandStationAndNatureOfBothLayouts) {
    struct Case {
        const char* name;
        QString nature;
        int index;
    };
    const QString head = QStringLiteral("se -m \r\nDistress alert settings\r\nLand Station number      : ") + QChar(2) +
                         QStringLiteral("102") + QChar(3) + QStringLiteral("\r\nNature of distress       : ");
    const Case cases[] = {
        {"maritime flooding", QStringLiteral("Maritime Flooding"), 2},
        {"maritime explosion", QStringLiteral("Maritime Explosion/Fire"), 1},
        {"land ambulance", QStringLiteral("Ambulance (Maritime Explosion/Fire)"), 1},
        {"land attack", QStringLiteral("Under attack/threat of attack (Maritime Listing)"), 5},
        {"land accident", QStringLiteral("Accident (Maritime Disabled and adrift)"), 7},
        {"maritime assistance", QStringLiteral("Maritime Require assistance"), 9},
        {"piracy has no land entry", QStringLiteral("Maritime Piracy"), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AlertParameters p = ParseAlertParameters(head + c.nature + QStringLiteral("\r\ncan0:/$ "));
        EXPECT_EQ(p.landStation, QStringLiteral("102"));
        EXPECT_EQ(p.natureIndex.value_or(-1), c.index);
    }
    EXPECT_TRUE(
        ParseAlertParameters(QStringLiteral("se -m 001,102,201,301\r\nAlert LES stored\r\n")).landStation.isEmpty());
}

TEST(DistressAlertLes, TheThreeLayouts) {
    const QChar stx(2), etx(3);
    const QString landMobile =
        QStringLiteral("se -m ALL_OCEANS\r\nAlert LES for Land Mobile\r\n") + QStringLiteral("ocean 0 AOR-W ") + stx +
        QStringLiteral("001") + etx + QStringLiteral(" Southbury\r\nocean 1 AOR-E ") + stx + QStringLiteral("102") +
        etx + QStringLiteral("\r\nocean 3 IOR   ") + stx + QStringLiteral("305") + etx + QStringLiteral("\r\ncan0:/$ ");
    AlertLesParse p = ParseAlertLes(landMobile, kEnd);
    EXPECT_EQ(p.layout, AlertLesParse::Layout::LandMobile);
    EXPECT_EQ(p.les, (std::array<QString, 4>{QStringLiteral("001"), QStringLiteral("102"), {}, QStringLiteral("305")}));

    QString alert = landMobile;
    alert.replace(QStringLiteral("Alert LES for Land Mobile"), QStringLiteral("Alert LES"));
    alert.replace(QStringLiteral("305"), QStringLiteral("3x5"));
    p = ParseAlertLes(alert, kEnd);
    EXPECT_EQ(p.layout, AlertLesParse::Layout::AlertLes);
    EXPECT_EQ(p.les, (std::array<QString, 4>{QStringLiteral("001"), QStringLiteral("102"), {}, {}}))
        << "a value that is not a number is not stored";

    p = ParseAlertLes(QStringLiteral("se -m ALL_OCEANS\r\nDistress alert LES per ocean region\r\n"
                                     "LES IDs           : 002,105,210,328\r\ncan0:/$ "),
                      kEnd);
    EXPECT_EQ(p.layout, AlertLesParse::Layout::LesIds);
    EXPECT_EQ(p.les, (std::array<QString, 4>{QStringLiteral("002"), QStringLiteral("105"), QStringLiteral("210"),
                                             QStringLiteral("328")}));

    EXPECT_EQ(ParseAlertLes(QStringLiteral("se -m ALL_OCEANS\r\nERROR 120: Unknown command\r\n"), kEnd).layout,
              AlertLesParse::Layout::None);
}

TEST(MaritimeValidation, EveryRuleWithItsText) {
    struct Case {
        const char* name;
        std::function<void(MaritimeFields&)> edit;
        int ocean;
        QString les;
        QString text; // empty: accepted
        MaritimeField field;
    };
    const QString les = QStringLiteral("102");
    const Case cases[] = {
        {"all good", [](MaritimeFields&) {}, 1, les, {}, MaritimeField::None},
        {"not logged in", [](MaritimeFields&) {}, 4, les,
         QStringLiteral("Error: No current ocean region. Please log in to an ocean region before setting up the "
                        "distress generator."),
         MaritimeField::None},
        {"no LES", [](MaritimeFields&) {}, 2, QStringLiteral("Ple"),
         QStringLiteral("Error: The Land Earth Station in the current ocean region (2) must be set."),
         MaritimeField::None},
        {"course", [](MaritimeFields& f) { f.Course = QStringLiteral("361"); }, 1, les,
         QStringLiteral("Error: Course field must contain a value between 0 and 360"), MaritimeField::Course},
        {"speed", [](MaritimeFields& f) { f.Speed = QStringLiteral("201"); }, 1, les,
         QStringLiteral("Error: Speed field must contain a value between 0 and 200"), MaritimeField::Speed},
        {"hour", [](MaritimeFields& f) { f.Hour = QStringLiteral("24"); }, 1, les,
         QStringLiteral("Error: Hour field must contain a value between 0 and 23"), MaritimeField::Hour},
        {"minute", [](MaritimeFields& f) { f.Minute = QStringLiteral("60"); }, 1, les,
         QStringLiteral("Error: Minutes field must contain a value between 0 and 59"), MaritimeField::Minute},
        {"latitude degrees", [](MaritimeFields& f) { f.LatDeg = QStringLiteral("91"); }, 1, les,
         QStringLiteral("Error: Latitude degrees field must contain a value between 0 and 90"), MaritimeField::LatDeg},
        {"latitude minutes", [](MaritimeFields& f) { f.LatMin = QStringLiteral("60"); }, 1, les,
         QStringLiteral("Error: Latitude minutes field must contain a value between 0 and 59"), MaritimeField::LatMin},
        {"latitude hundredths", [](MaritimeFields& f) { f.LatHund = QStringLiteral("100"); }, 1, les,
         QStringLiteral("Error: Latitude minutes/100 field must contain a value between 0 and 99"),
         MaritimeField::LatHund},
        {"longitude degrees", [](MaritimeFields& f) { f.LonDeg = QStringLiteral("181"); }, 1, les,
         QStringLiteral("Error: Longitude degrees field must contain a value between 0 and 180"),
         MaritimeField::LonDeg},
        {"longitude minutes", [](MaritimeFields& f) { f.LonMin = QStringLiteral("99"); }, 1, les,
         QStringLiteral("Error: Longitude minutes field must contain a value between 0 and 59"), MaritimeField::LonMin},
        {"longitude hundredths", [](MaritimeFields& f) { f.LonHund = QStringLiteral("123"); }, 1, les,
         QStringLiteral("Error: Longitude minutes/100 field must contain a value between 0 and 99"),
         MaritimeField::LonHund},
        {"empty field", [](MaritimeFields& f) { f.Speed.clear(); }, 1, les,
         QStringLiteral("Error: Speed field must contain a value between 0 and 200"), MaritimeField::Speed},
        {"latitude 90 00.00 is the pole",
         [](MaritimeFields& f) {
             f.LatDeg = QStringLiteral("90");
             f.LatMin = f.LatHund = QStringLiteral("0");
         },
         1,
         les,
         {},
         MaritimeField::None},
        {"latitude 90 00.01 as a whole",
         [](MaritimeFields& f) {
             f.LatDeg = QStringLiteral("90");
             f.LatMin = QStringLiteral("00");
             f.LatHund = QStringLiteral("01");
         },
         1, les, QStringLiteral("Error: Latitude is 90° 00.01' \r\nIt must be between 0 and 90 degrees"),
         MaritimeField::LatDeg},
        {"longitude 180 01.00 as a whole",
         [](MaritimeFields& f) {
             f.LonDeg = QStringLiteral("180");
             f.LonMin = QStringLiteral("1");
             f.LonHund = QStringLiteral("0");
         },
         1, les, QStringLiteral("Error: Longitude is 180° 1.0' \r\nIt must be between 0 and 180 degrees"),
         MaritimeField::LonDeg},
        {"hemisphere", [](MaritimeFields& f) { f.NorthSouth.clear(); }, 1, les,
         QStringLiteral("Error: Latitude hemisphere must be N or S"), MaritimeField::NorthSouth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MaritimeFields f = test::SampleMaritimeFields();
        c.edit(f);
        const auto failure = ValidateMaritimeFields(f, c.ocean, c.les);
        if (c.text.isEmpty()) {
            EXPECT_FALSE(failure.has_value()) << failure->text.toStdString();
            continue;
        }
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->text, c.text);
        EXPECT_EQ(failure->field, c.field);
    }
    EXPECT_EQ(ValidationTitle(), QStringLiteral("Validation error"));
}

TEST(DistressCommands, ExactTexts) {
    MaritimeFields f = test::SampleMaritimeFields();
    f.Course = QStringLiteral(" 275 ");
    EXPECT_EQ(GeneratorWriteCommand(QStringLiteral("102"), u'F', f),
              QStringLiteral("se -g 102,F,N,54,20,50,E,10,8,5,9,5,275,12"));
    EXPECT_EQ(GeneratorGpsCommand(QStringLiteral("102"), u'A'),
              QStringLiteral("se -g 102,A,S,127,63,0,W,255,63,0,23,59,359,180"));
    EXPECT_EQ(
        AlertLesCommand({QStringLiteral("001"), QStringLiteral("102"), QStringLiteral("0"), QStringLiteral("305")}),
        QStringLiteral("se -m 001,102,0,305"));
    EXPECT_EQ(GeneratorOpeningBatch(5), QStringLiteral("st -i\r\nse -m ALL_OCEANS\r\nst -n\r\n\r\nse -g"));
    EXPECT_EQ(GeneratorOpeningBatch(4), GeneratorOpeningBatch(5));
    EXPECT_EQ(GeneratorOpeningBatch(2), QStringLiteral("st -i\r\nst -n\r\n\r\nse -g"));
    EXPECT_EQ(LandMobileSetText(QStringLiteral("102, Burum"), u'C'), QStringLiteral("se -m ?\r\n102\r\n\r\nC"));
    EXPECT_EQ(LandMobileAlertLes(
                  {QStringLiteral("000"), QStringLiteral("000"), QStringLiteral("210"), QStringLiteral("305")}),
              QStringLiteral("210"));
    EXPECT_EQ(LandMobileAlertLes(
                  {QStringLiteral("000"), QStringLiteral("000"), QStringLiteral("000"), QStringLiteral("000")}),
              QStringLiteral("000"));
}

TEST(LesTables, DefaultsAndStoredLists) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/");
    EXPECT_EQ(OceanOfLes(path, QStringLiteral("102")), 1);
    EXPECT_EQ(OceanOfLes(path, QStringLiteral("330")), 3);
    EXPECT_EQ(OceanOfLes(path, QStringLiteral("999")), -1);
    EXPECT_EQ(LesDisplayText(path, 1, QStringLiteral("102")), QStringLiteral("102, Burum"));
    QFile f(path + QStringLiteral("les_por.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("277|Test station\r\n\r\n");
    f.close();
    EXPECT_EQ(ReadLesTable(path, 2).size(), 1);
    EXPECT_EQ(OceanOfLes(path, QStringLiteral("277")), 2);
    EXPECT_EQ(OceanOfLes(path, QStringLiteral("201")), -1);
}

namespace {

// The service inside the whole runtime, answered by hand through the reply routing table.
class GeneratorService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.start().ok);
        service = &rig.runtime->distress().generator();
        rig.session().SetMesConnected(true);
        setFamily(5);
    }
    void setFamily(int family, int mobileType = 2) {
        TransceiverIdentity id;
        id.ProductType = family;
        id.MobileType = mobileType;
        rig.session().SetIdentity(id);
    }
    void reply(const QString& text) { rig.runtime->context().router().route(text, kEnd, QStringLiteral("can0:/$ ")); }
    QStringList boxes() {
        rig.drainBoxes();
        QStringList out;
        for (const MessageBoxRequest& b : rig.form.boxes)
            out << b.title + u'|' + b.text;
        return out;
    }
    QStringList outLines() {
        QFile f(rig.runtime->messaging().outbox().indexPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split(kEnd, Qt::SkipEmptyParts);
    }

    test::RuntimeRig rig;
    DistressGeneratorService* service = nullptr;
};

} // namespace

TEST_F(GeneratorService, OpeningShowsTheWindowOnceTheListingIsRead) {
    int shown = 0;
    QObject::connect(service, &DistressGeneratorService::showGeneratorWindow, [&] { ++shown; });
    ASSERT_TRUE(service->OpenMaritime());
    EXPECT_EQ(rig.queue(), QStringLiteral("st -i\r\nse -m ALL_OCEANS\r\nst -n\r\n\r\nse -g\r\n"));
    EXPECT_EQ(rig.form.waitTexts.last(), QStringLiteral("Reading the distress generator..."));
    reply(Listing(QStringLiteral("Current LES/NCS Id:"), QStringLiteral("102"), QStringLiteral("9:05"),
                  QStringLiteral("12")));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(rig.form.waitTexts.last().isEmpty());
    EXPECT_EQ(service->values().Les, QStringLiteral("102"));
    EXPECT_EQ(rig.runtime->config().GetDistressGenLes(1), QStringLiteral("102"));
    // A listing nobody waits for refreshes the values but opens nothing.
    reply(Listing(QStringLiteral("Current LES/NCS Id:"), QStringLiteral("305"), QStringLiteral("9:05"),
                  QStringLiteral("12")));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(rig.runtime->config().GetDistressGenLes(3), QStringLiteral("305"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(GeneratorService, FailuresAreToldAndTheWaitEnds) {
    int closed = 0;
    QObject::connect(service, &DistressGeneratorService::closeGeneratorWindow, [&] { ++closed; });
    service->OpenMaritime();
    reply(QStringLiteral("se -g\r\nERROR 550: busy\r\ncan0:/$ "));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(service->waiting()) << "ERROR 550 changes nothing";
    reply(QStringLiteral("se -g\r\nnothing here\r\ncan0:/$ "));
    EXPECT_FALSE(service->waiting());
    EXPECT_EQ(closed, 1);
    reply(QStringLiteral("se -g 102,F,N,54,20,50,E,10,8,5,9,5,275,12\r\nERROR 122: Illegal argument\r\ncan0:/$ "));
    reply(QStringLiteral("se -g\r\nERROR 120: Unknown command\r\ncan0:/$ "));
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Error|Error: Distress generator values could not be loaded"),
                                    QStringLiteral("Distress Generator|Distress generator not updated."),
                                    QStringLiteral("Error|ERROR 120: Unknown command")}));

    // No answer at all: the wait ends with a notice.
    rig.form.boxes.clear();
    service->setWaitTimeoutMs(1);
    service->OpenLandMobile();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service->waiting(); }, 2000));
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Info|The transceiver did not answer. Please try again.")}));
}

TEST_F(GeneratorService, ApplyMaritimeQueuesTheExactCommands) {
    const std::array<QString, 4> lists{QStringLiteral("001, Southbury"), QStringLiteral("102, Burum"),
                                       QStringLiteral("Please choose LES"), QStringLiteral("305, Thermopylae")};
    rig.session().SetCurrentOcean(1);
    GeneratorApplyResult r = service->ApplyMaritime(false, u'F', test::SampleMaritimeFields(), lists);
    EXPECT_TRUE(r.sent);
    EXPECT_EQ(rig.queue(), QStringLiteral("se -g 102,F,N,54,20,50,E,10,8,5,9,5,275,12\r\nse -m 001,102,0,305\r\n"
                                          "se -m ALL_OCEANS\r\nse -g\r\n"));
    EXPECT_TRUE(rig.runtime->config().GetDistressGenLes(2).isEmpty());

    rig.terminal().engine().queue().clear();
    MaritimeFields bad = test::SampleMaritimeFields();
    bad.Hour = QStringLiteral("24");
    r = service->ApplyMaritime(false, u'F', bad, lists);
    EXPECT_FALSE(r.sent);
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.errorTitle, QStringLiteral("Validation error"));
    EXPECT_TRUE(rig.queue().isEmpty());

    // GPS: the fixed values whatever the fields say; the LES of the last ocean region.
    setFamily(2);
    r = service->ApplyMaritime(true, u'A', bad, lists);
    ASSERT_TRUE(r.error.has_value()) << "no last ocean known";
    EXPECT_EQ(r.error->text,
              QStringLiteral("Can not set distress generator. Please log in to an Ocean region and try again"));
    EXPECT_EQ(r.errorTitle, QStringLiteral("Info"));
    rig.runtime->config().SetLastOcean(2);
    r = service->ApplyMaritime(true, u'A', bad, lists);
    EXPECT_TRUE(r.sent);
    EXPECT_EQ(rig.queue(), QStringLiteral("se -g 0,A,S,127,63,0,W,255,63,0,23,59,359,180\r\nse -g\r\n"));
    rig.terminal().engine().queue().clear();
    setFamily(4);
    service->ApplyMaritime(true, u'A', bad, lists);
    EXPECT_TRUE(rig.queue().startsWith(QStringLiteral("se -g 401,A,S,127,63,0,W,255,63,0,23,59,359,180\r\n")));
}

TEST_F(GeneratorService, LandMobileAndAlertSettings) {
    setFamily(5, 1);
    int lmShown = 0, settingsShown = 0;
    AlertParameters read;
    std::array<QString, 4> les;
    QObject::connect(service, &DistressGeneratorService::showLandMobileWindow, [&] { ++lmShown; });
    QObject::connect(service, &DistressGeneratorService::showAlertSettingsWindow, [&] { ++settingsShown; });
    QObject::connect(service, &DistressGeneratorService::alertParametersRead,
                     [&](const AlertParameters& p) { read = p; });
    QObject::connect(service, &DistressGeneratorService::alertLesRead,
                     [&](const std::array<QString, 4>& l) { les = l; });

    ASSERT_TRUE(service->OpenLandMobile());
    EXPECT_EQ(rig.queue(), QStringLiteral("se -m \r\nst -n\r\n"));
    const QString params = QStringLiteral("se -m \r\nLand Station number      : ") + QChar(2) + QStringLiteral("102") +
                           QChar(3) + QStringLiteral("\r\nNature of distress       : Police (Maritime Collision)\r\n");
    reply(params);
    EXPECT_EQ(lmShown, 1);
    EXPECT_EQ(read.landStation, QStringLiteral("102"));
    EXPECT_EQ(read.natureIndex.value_or(-1), 3);
    rig.terminal().engine().queue().clear();
    EXPECT_TRUE(service->ApplyLandMobile(QStringLiteral("105, Fucino"), 9));
    EXPECT_EQ(rig.queue(), QStringLiteral("se -m ?\r\n105\r\n\r\nR\r\n"));

    rig.terminal().engine().queue().clear();
    ASSERT_TRUE(service->OpenAlertSettings());
    EXPECT_EQ(rig.queue(), QStringLiteral("se -m \r\nse -m ALL_OCEANS\r\n"));
    reply(params);
    EXPECT_EQ(settingsShown, 0) << "Larch waits for the alert LES too";
    reply(QStringLiteral("se -m ALL_OCEANS\r\nLES IDs           : 002,105,210,328\r\ncan0:/$ "));
    EXPECT_EQ(settingsShown, 1);
    EXPECT_EQ(les[3], QStringLiteral("328"));
    rig.terminal().engine().queue().clear();
    service->ApplyAlertSettings({QStringLiteral("000, None"), QStringLiteral("105, Fucino"),
                                 QStringLiteral("000, None"), QStringLiteral("328, Sentosa")},
                                6);
    EXPECT_EQ(rig.queue(), QStringLiteral("se -m 000,105,000,328\r\nse -m 105,n,S\r\n"));

    // A family without "se -m ALL_OCEANS" opens the window on the "se -m " reply.
    setFamily(2, 1);
    service->OpenAlertSettings();
    reply(params);
    EXPECT_EQ(settingsShown, 2);
}

TEST_F(GeneratorService, AlertSettingsOfMaritimeLayoutAreStored) {
    const QString reply_ = QStringLiteral("se -m ALL_OCEANS\r\nAlert LES\r\nocean 0 AOR-W ") + QChar(2) +
                           QStringLiteral("004") + QChar(3) + QStringLiteral("\r\nocean 2 POR   ") + QChar(2) +
                           QStringLiteral("212") + QChar(3) + QStringLiteral("\r\ncan0:/$ ");
    reply(reply_);
    EXPECT_EQ(rig.runtime->config().GetDistressGenLes(0), QStringLiteral("004"));
    EXPECT_EQ(rig.runtime->config().GetDistressGenLes(2), QStringLiteral("212"));
    EXPECT_TRUE(rig.runtime->config().GetDistressGenLes(1).isEmpty());
}

TEST_F(GeneratorService, DistressAlertIsRecordedAfterTheGeneratorRead) {
    rig.session().SetLoggedIn(true);
    int recorded = 0;
    QObject::connect(service, &DistressGeneratorService::distressAlertRecorded, [&] { ++recorded; });
    rig.infoReply(QStringLiteral("INFO 22: Sending Distress Alert"));
    EXPECT_TRUE(rig.queue().contains(QStringLiteral("se -g\r\n")));
    EXPECT_TRUE(outLines().isEmpty()) << "the line waits for the generator's values";
    reply(Listing(QStringLiteral("Current LES/NCS Id:"), QStringLiteral("102"), QStringLiteral("9:05"),
                  QStringLiteral("12")));
    EXPECT_EQ(recorded, 1);
    EXPECT_FALSE(rig.session().AddDistressAlertToOutbox());
    ASSERT_EQ(outLines().size(), 1);
    EXPECT_EQ(outLines()[0], QStringLiteral("Distress;MRCC;102;Flooding;13-01-03;09:05;-;-;Sending;0;0;0;0;0;0;0;0;"
                                            "SEARCH & RESCUE;;;SEARCH & RESCUE"));

    // The failure settles that line and adds none.
    rig.infoReply(QStringLiteral("INFO 20: Distress alert not delivered"));
    EXPECT_FALSE(rig.session().AddDistressAlertToOutbox());
    reply(Listing(QStringLiteral("Current LES/NCS Id:"), QStringLiteral("102"), QStringLiteral("9:05"),
                  QStringLiteral("12")));
    ASSERT_EQ(outLines().size(), 1);
    EXPECT_TRUE(outLines()[0].contains(QStringLiteral(";-;-;Failed;")));

    // A failure of an alert that has no line yet is recorded, even when the listing cannot be read, and
    // without the "could not be loaded" box.
    rig.infoReply(QStringLiteral("INFO 20: Distress alert not delivered"));
    EXPECT_TRUE(rig.session().AddDistressAlertToOutbox());
    rig.form.boxes.clear();
    reply(QStringLiteral("se -g\r\ngarbage\r\ncan0:/$ "));
    EXPECT_EQ(outLines().size(), 2);
    EXPECT_TRUE(outLines()[1].contains(QStringLiteral(";-;-;Failed;")));
    for (const QString& b : boxes())
        EXPECT_FALSE(b.contains(QStringLiteral("could not be loaded")));
}
