#include "store_fixture.h"

#include "qt_test_app.h"

#include "app/runtime.h"
#include "config/clock.h"
#include "link/in_memory_link.h"
#include "link/recording_main_form.h"
#include "link/terminal.h"
#include "messaging/les_list_service.h"
#include "messaging/les_lists.h"
#include "messaging/lists_module.h"
#include "messaging/message_submission.h"
#include "messaging/messaging_module.h"
#include "messaging/transmission.h"
#include "status/session.h"

#include <QSignalSpy>

using namespace tessaro;
using tessaro::testing::StoreTest;

namespace {

// The default lists as the files must hold them, typed out independently of the program's tables.
const char* const kExpectedLesFiles[4][2] = {
    {"les_aorw.dat", "001|Southbury\r\n002|Burum\r\n003|Yamaguchi\r\n004|Eik\r\n012|Burum\r\n021|Aussaguel\r\n"},
    {"les_aore.dat", "101|Southbury\r\n102|Burum\r\n103|Yamaguchi\r\n104|Eik\r\n105|Fucino\r\n112|Burum\r\n"
                     "117|Nudol\r\n120|Thermopylae\r\n121|Aussaguel\r\n"},
    {"les_por.dat", "201|Southbury\r\n202|Burum\r\n203|Yamaguchi\r\n204|Eik\r\n210|Sentosa\r\n211|Beijing\r\n"
                    "212|Burum\r\n217|Nudol\r\n221|Aussaguel\r\n"},
    {"les_ior.dat", "301|Southbury\r\n302|Burum\r\n303|Yamaguchi\r\n304|Eik\r\n305|Thermopylae\r\n306|Arvi\r\n"
                    "311|Beijing\r\n312|Burum\r\n317|Nudol\r\n321|Aussaguel\r\n328|Sentosa\r\n330|Haiphong\r\n"
                    "335|Fucino\r\n"},
};

const char kExpectedIsp[] = "VERSION 116\r\n"
                            "CTTC China|||211|311|TO:|CC:||SUBJECT:|STX:|SAC|EMAIL|;||||\r\n"
                            "KDDI SatMail-C Japan|003|103|203|303|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||\r\n"
                            "Morsviazsputnik Russia||117|217|317|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||\r\n"
                            "OTE Greece||120||305|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||\r\n"
                            "SingTel Mail65 (SAC65)|002|102|210|328|to+|cc+||subject:||SAC|65|;|sms+||65|\r\n"
                            "SingTel Mail65 (SAC6500)|002|102|210|328|to+|cc+||subject:||SAC|6500|;||||\r\n"
                            "SingTel Mail65 (SAC6599)|002|102|210|328|to+|cc+||subject:||SAC|6599|;||||\r\n"
                            "Stratos Global C-email 02|002|102|202|302|TO+|CC+||SU+|STX:|SAC|63|<CR><LF>CC+||||\r\n"
                            "Stratos Global C-email 12|012|112|212|312|TO:|CC:||SU:|STX:|SAC|28|;|| |SMS|\r\n"
                            "Telemar X25|004|104|204|304|To:|||Su:|Stx:|X.25|2403722360710|;||||\r\n"
                            "Vizada SkyFile C 01|001|101|201|301|TO:|CC:||SUBJECT:|STX:|SAC|28|;||#|66|\r\n"
                            "Vizada SkyFile C 04|004|104|204|304|TO:|CC:||SUBJECT:|STX:|SAC|28|;||#|66|\r\n"
                            "Vizada SkyFile C 21|021|121|221|321|TO+|CC+|BCC+|SUBJ+||SAC|28|,|SMS+ ||28|\r\n";

LesTableEntry E(const char* id, const char* name) {
    return {QLatin1String(id), QLatin1String(name)};
}

QStringList L(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* item : items)
        out << QLatin1String(item);
    return out;
}

QString stx(const char* id) {
    return QStringLiteral("LES id ") + QChar(2) + QLatin1String(id) + QChar(3);
}

} // namespace

class LesListFilesTest : public StoreTest {};

TEST_F(LesListFilesTest, FreshDataFolderGetsTheDefaultListsByteForByte) {
    for (const auto& [name, bytes] : kExpectedLesFiles) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readBytes(data() + QLatin1String(name)), QByteArray(bytes));
    }
    EXPECT_EQ(readBytes(data() + QStringLiteral("isp.dat")), QByteArray(kExpectedIsp));
    QVector<ServiceProvider> providers;
    ASSERT_TRUE(ReadProviders(data(), &providers));
    EXPECT_EQ(providers.size(), 13);
}

TEST_F(LesListFilesTest, OnlyMissingFilesAreWrittenAgain) {
    ASSERT_TRUE(QFile::remove(data() + QStringLiteral("les_por.dat")));
    const QByteArray mine = "101|Southbury\r\n199|Own station\r\n";
    writeBytes(data() + QStringLiteral("les_aore.dat"), mine);
    const QByteArray isp = "VERSION 116\r\nMine|||||||||||||||||\r\n";
    writeBytes(data() + QStringLiteral("isp.dat"), isp);

    EXPECT_TRUE(CheckStoreFolders(*config, nullptr).failures.isEmpty());

    EXPECT_EQ(readBytes(data() + QStringLiteral("les_por.dat")), QByteArray(kExpectedLesFiles[2][1]));
    const QVector<LesTableEntry> pacific = ReadLesTable(data(), 2);
    ASSERT_EQ(pacific.size(), 9);
    EXPECT_EQ(pacific.first(), (LesTableEntry{QStringLiteral("201"), QStringLiteral("Southbury")}));
    EXPECT_EQ(pacific.last(), (LesTableEntry{QStringLiteral("221"), QStringLiteral("Aussaguel")}));
    EXPECT_EQ(readBytes(data() + QStringLiteral("les_aore.dat")), mine);
    EXPECT_EQ(readBytes(data() + QStringLiteral("isp.dat")), isp);
}

TEST_F(LesListFilesTest, AFolderThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(QFile::remove(data() + QStringLiteral("les_ior.dat")));
    failWrites();
    const QStringList failures = WriteMissingListFiles(data());
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("les_ior.dat")));
    EXPECT_FALSE(QFileInfo::exists(data() + QStringLiteral("les_ior.dat")));
}

TEST_F(LesListFilesTest, StoredListsReadAsWrittenAndAnEmptiedListStaysEmpty) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QVector<LesTableEntry> expected;
    };
    const Case cases[] = {
        {"LF line ends, blanks, a line without bar, a last line without end",
         " 102 | Burum \nnonsense\n\n112|Burum",
         {E("102", "Burum"), E("112", "Burum")}},
        {"Latin-1 name survives",
         "105|F\xfc"
         "cino\r\n",
         {{QStringLiteral("105"), QStringLiteral("F\u00fccino")}}},
        {"an emptied list", "", {}},
        {"a line with no identifier", "|Nameless\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(data() + QStringLiteral("les_aore.dat"), c.bytes);
        EXPECT_EQ(ReadLesTable(data(), 1), c.expected);
    }
    ASSERT_TRUE(QFile::remove(data() + QStringLiteral("les_aore.dat")));
    EXPECT_EQ(ReadLesTable(data(), 1).size(), 9);
    EXPECT_TRUE(ReadLesTable(data(), 4).isEmpty());
}

TEST(LesListParse, StNRepliesGiveTheLessOfTheOcean) {
    struct Case {
        const char* name;
        QString reply;
        QStringList ids;
        int ocean;
    };
    const QString head = QStringLiteral("st -n\r\nLES list of NCS 144 (AOR-E)\r\n");
    const Case cases[] = {
        {"three LESs",
         head + stx("101") + QStringLiteral("  Southbury\r\n") + stx("102") + QStringLiteral("  Burum\r\n") +
             stx("117") + QStringLiteral("  Nudol\r\ncan0:/$ "),
         L({"101", "102", "117"}), 1},
        {"short numbers are padded",
         head + QStringLiteral("LES id ") + QChar(2) + QStringLiteral("5") + QChar(3) +
             QStringLiteral(" x\r\nLES id ") + QChar(2) + QStringLiteral("21 x"),
         L({"005", "021"}), 0},
        {"letter case of the label", QStringLiteral("les ID ") + QChar(2) + QStringLiteral("305"), L({"305"}), 3},
        {"a non-numeric identifier is skipped",
         QStringLiteral("LES id ") + QChar(2) + QStringLiteral("ABC\r\n") + stx("212"), L({"212"}), 2},
        {"cut off after the marker", head + QStringLiteral("LES id ") + QChar(2), {}, -1},
        {"no NCS", QStringLiteral("st -n\r\nNo NCS, LES list not available\r\ncan0:/$ "), {}, -1},
        {"the services layout is not a list", QStringLiteral("LES id 105 Fucino\r\n"), {}, -1},
        {"a first identifier of no ocean", stx("512") + stx("101"), L({"512", "101"}), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList ids = ParseLesList(c.reply);
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(OceanOfLesList(ids), c.ocean);
    }
}

TEST(LesListParse, ServicesBlockOfOneLes) {
    const QString reply = QStringLiteral("status -n\r\n") + stx("101") +
                          QStringLiteral("\r\nLES id 101 Southbury\r\n  Services : Telex\r\n\r\n"
                                         "LES id 1050 Other\r\n  Services : none\r\n\r\n"
                                         "LES id  105 Fucino\r\n  Services : Telex, Fax\r\n\r\n"
                                         "LES id 112 Burum\r\n  Services : E-mail\r\ncan0:/$ ");
    struct Case {
        const char* les;
        std::optional<QString> block;
    };
    const Case cases[] = {
        {"101", QStringLiteral("LES id 101 Southbury\r\n  Services : Telex")},
        {"105", QStringLiteral("LES id  105 Fucino\r\n  Services : Telex, Fax")}, // not the 1050 block
        {" 105 ", QStringLiteral("LES id  105 Fucino\r\n  Services : Telex, Fax")},
        {"112", QStringLiteral("LES id 112 Burum\r\n  Services : E-mail")}, // last block, prompt left out
        {"999", std::nullopt},
        {"", std::nullopt},
        {"1x5", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.les);
        EXPECT_EQ(FindLesServices(reply, QLatin1String(c.les), QStringLiteral("\r\n")), c.block);
    }
    // A shell that ends lines with LF alone.
    EXPECT_EQ(FindLesServices(QStringLiteral("LES id 102 Burum\nX\n\nLES id 103"), QStringLiteral("102"),
                              QStringLiteral("\n")),
              QStringLiteral("LES id 102 Burum\nX"));
}

class ProviderFileTest : public StoreTest {};

TEST_F(ProviderFileTest, VersionDecidesWhetherTheFileIsRead) {
    struct Case {
        QByteArray bytes;
        ProviderFileState state;
        int providers;
    };
    const Case cases[] = {
        {"VERSION 116\r\nA|001||||||||||||||||\r\nB|||||||||||||||||\r\n", ProviderFileState::Current, 2},
        {"VERSION 116\nA|001||||||||||||||||", ProviderFileState::Current, 1},
        {"version 0116\r\n", ProviderFileState::Current, 0},
        {"VERSION 115\r\nA\r\n001\r\n", ProviderFileState::OtherVersion, 0},
        {"A|001||||||||||||||||\r\n", ProviderFileState::OtherVersion, 0},
        {"", ProviderFileState::OtherVersion, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.constData());
        writeBytes(data() + QStringLiteral("isp.dat"), c.bytes);
        EXPECT_EQ(ReadProviderFileState(data()), c.state);
        QVector<ServiceProvider> providers;
        EXPECT_EQ(ReadProviders(data(), &providers), c.state == ProviderFileState::Current);
        EXPECT_EQ(providers.size(), c.providers);
    }
    ASSERT_TRUE(QFile::remove(data() + QStringLiteral("isp.dat")));
    EXPECT_EQ(ReadProviderFileState(data()), ProviderFileState::Missing);
    EXPECT_FALSE(QFileInfo::exists(data() + QStringLiteral("isp.dat"))); // reading made no file
}

TEST_F(ProviderFileTest, ReplacingWithDefaultsKeepsEveryOlderFile) {
    const QByteArray first = "VERSION 100\r\nOld one\r\n";
    const QByteArray second = "VERSION 101\r\nOld two\r\n";
    writeBytes(data() + QStringLiteral("isp.dat"), first);
    QString keptAs;
    ASSERT_TRUE(ReplaceProvidersWithDefaults(data(), &keptAs));
    EXPECT_EQ(keptAs, data() + QStringLiteral("isp.dat.old"));
    writeBytes(data() + QStringLiteral("isp.dat"), second);
    ASSERT_TRUE(ReplaceProvidersWithDefaults(data(), &keptAs));
    EXPECT_EQ(keptAs, data() + QStringLiteral("isp.dat.old2"));
    EXPECT_EQ(readBytes(data() + QStringLiteral("isp.dat.old")), first);
    EXPECT_EQ(readBytes(data() + QStringLiteral("isp.dat.old2")), second);
    EXPECT_EQ(readBytes(data() + QStringLiteral("isp.dat")), QByteArray(kExpectedIsp));

    // A failed write leaves the present file as it was.
    writeBytes(data() + QStringLiteral("isp.dat"), second);
    failWrites();
    EXPECT_FALSE(ReplaceProvidersWithDefaults(data(), &keptAs));
    EXPECT_EQ(readBytes(data() + QStringLiteral("isp.dat")), second);
}

TEST(ProviderChecks, NamesAndFieldsThatWouldBreakTheList) {
    const QVector<ServiceProvider> providers = DefaultProviders();
    EXPECT_EQ(ProviderNameProblem(providers, QStringLiteral("OTE Greece")),
              QStringLiteral("Provider Name already exists. Please choose another name"));
    EXPECT_EQ(ProviderNameProblem(providers, QStringLiteral(" OTE Greece ")),
              QStringLiteral("Provider Name already exists. Please choose another name"));
    EXPECT_FALSE(ProviderNameProblem(providers, QStringLiteral("   ")).isEmpty());
    EXPECT_TRUE(ProviderNameProblem(providers, QStringLiteral("OTE Greece 2")).isEmpty());

    struct Case {
        const char* line;
        bool ok;
    };
    const Case cases[] = {
        {"New|001|101|201|301|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||", true},
        {"New|||||TO:||||||||||||", true},
        {"New|101||||||||||||||||", false},    // an East LES in the West field
        {"New|01||||||||||||||||", false},     // two digits
        {"New||1O2|||||||||||||||", false},    // a letter
        {"New|||||TO:\nX||||||||||||", false}, // a line break would split the record
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ProviderFieldsProblem(ServiceProvider::fromLine(QLatin1String(c.line))).isEmpty(), c.ok);
    }
    ServiceProvider bar = ServiceProvider::fromLine(QStringLiteral("New"));
    bar.fields[5] = QStringLiteral("TO|");
    EXPECT_FALSE(ProviderFieldsProblem(bar).isEmpty());
}

namespace {

RuntimeOptions runtimeOptions(const QTemporaryDir& dir) {
    RuntimeOptions o;
    o.dataPath = dir.path() + QLatin1Char('/');
    o.settingsFile = dir.path() + QStringLiteral("/settings.ini");
    o.acceptDisclaimer = true;
    o.formsPort = 0;
    return o;
}

QByteArray readFile(const QString& path) {
    return StoreTest::readBytes(path);
}

} // namespace

// The service in the whole runtime: replies routed by the engine's own table.
struct ServiceRig {
    ServiceRig() : runtime(runtimeOptions(dir), clock) {}

    void start() {
        runtime.attach(form, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
        const StartResult started = runtime.start();
        ASSERT_TRUE(started.ok) << started.message.toStdString();
        runtime.session().SetMesConnected(true);
        runtime.terminal().engine().queue().clear();
        service = runtime.lists().lesLists();
        ASSERT_NE(service, nullptr);
    }
    int Route(const QString& reply) {
        return runtime.terminal()
            .engine()
            .router()
            .route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ "))
            .handled;
    }
    QString Queue() { return runtime.terminal().engine().queue().text(); }
    QString data() const { return dir.path() + QLatin1Char('/'); }

    QTemporaryDir dir;
    RecordingMainForm form;
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(12, 0), Qt::UTC)};
    TessaroRuntime runtime;
    LesListService* service = nullptr;
};

class LesListServiceTest : public ::testing::Test, public ServiceRig {};

TEST_F(LesListServiceTest, NcsListBecomesTheAvailableLessOfItsOcean) {
    start();
    QSignalSpy changed(service, &LesListService::availableLesChanged);
    EXPECT_EQ(Route(QStringLiteral("st -n\r\n") + stx("201") + QStringLiteral("  Southbury\r\n") + stx("277") +
                    QStringLiteral("  Far away\r\n") + stx("210") + QStringLiteral("\r\ncan0:/$ ")),
              1);
    EXPECT_EQ(runtime.config().AvailableLESs(2), QStringLiteral("201,277,210"));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toInt(), 2);
    const QVector<LesTableEntry> offered = service->offeredLes(2);
    EXPECT_EQ(offered, (QVector<LesTableEntry>{E("201", "Southbury"), E("277", ""), E("210", "Sentosa")}));
    // Without a list from the NCS the ocean's file is offered.
    EXPECT_EQ(service->offeredLes(3).size(), 13);
    // A reply without identifiers keeps what was learned.
    Route(QStringLiteral("st -n\r\nNo NCS, LES list not available\r\ncan0:/$ "));
    EXPECT_EQ(runtime.config().AvailableLESs(2), QStringLiteral("201,277,210"));
}

TEST_F(LesListServiceTest, PollAsksForTheListOnlyWhileOnTheNcsChannel) {
    start();
    CSession& session = runtime.session();
    struct Case {
        const char* protocol;
        const char* channel;
        bool asked;
    };
    const Case cases[] = {
        {"Free", "Idle", true}, {"Idle", "NCS", true}, {"Idle", "Idle", false}, {"free", "ncs", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.protocol) + "/" + c.channel);
        runtime.terminal().engine().queue().clear();
        session.SetCurrentProtocol(QLatin1String(c.protocol));
        session.SetCurrentChannel(QLatin1String(c.channel));
        runtime.terminal().engine().QueuePollCycle();
        EXPECT_EQ(Queue().count(QStringLiteral("st -n")), c.asked ? 1 : 0);
        runtime.terminal().engine().QueuePollCycle();
        EXPECT_EQ(Queue().count(QStringLiteral("st -n")), c.asked ? 1 : 0);
    }
}

TEST_F(LesListServiceTest, ServicesWindowGetsTheBlockOrNotFound) {
    start();
    QSignalSpy ready(service, &LesListService::lesServicesReady);
    const QString reply = QStringLiteral("status -n\r\nLES id 105 Fucino\r\n  Services : Telex\r\n\r\n"
                                         "LES id 112 Burum\r\n  Services : Fax\r\n\r\ncan0:/$ ");
    // Nobody asked: nothing is shown.
    Route(reply);
    EXPECT_EQ(ready.size(), 0);

    service->requestLesServices(QStringLiteral("105"));
    EXPECT_TRUE(Queue().contains(QStringLiteral("status -n\r\n")));
    Route(reply);
    ASSERT_EQ(ready.size(), 1);
    EXPECT_EQ(ready[0][1].toString(), QStringLiteral("LES id 105 Fucino\r\n  Services : Telex"));

    service->requestLesServices(QStringLiteral("121"));
    Route(reply);
    ASSERT_EQ(ready.size(), 2);
    EXPECT_EQ(ready[1][1].toString(), QStringLiteral("LES services not found"));

    runtime.terminal().engine().queue().clear();
    service->requestLesServices(QStringLiteral("abc"));
    EXPECT_FALSE(Queue().contains(QStringLiteral("status -n")));
}

TEST(LesListService, OlderProviderFileIsReplacedOnlyWhenTheOperatorAgrees) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        ServiceRig rig;
        const QByteArray old = "VERSION 100\r\nOld Provider\r\n001\r\n101\r\n";
        QFile f(rig.data() + QStringLiteral("isp.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
        f.close();
        rig.form.setNextAnswer(yes);
        rig.start();
        ASSERT_EQ(rig.form.confirmations.size(), 1u);
        EXPECT_FALSE(rig.form.confirmations[0].safeAnswer);
        EXPECT_EQ(readFile(rig.data() + QStringLiteral("isp.dat")), yes ? QByteArray(kExpectedIsp) : old);
        EXPECT_EQ(QFileInfo::exists(rig.data() + QStringLiteral("isp.dat.old")), yes);
        if (yes) {
            EXPECT_EQ(readFile(rig.data() + QStringLiteral("isp.dat.old")), old);
        }
        EXPECT_EQ(rig.service->providersLoaded(), yes);
    }
}

TEST_F(LesListServiceTest, ProviderEditsAreSavedAtOnce) {
    start();
    ASSERT_TRUE(service->providersLoaded());
    const QString isp = data() + QStringLiteral("isp.dat");
    EXPECT_EQ(service->addProvider(ServiceProvider::fromLine(QStringLiteral("OTE Greece||120||305"))),
              QStringLiteral("Provider Name already exists. Please choose another name"));
    EXPECT_EQ(readFile(isp), QByteArray(kExpectedIsp));

    EXPECT_EQ(service->addProvider(ServiceProvider::fromLine(QStringLiteral(" Own Mail |001||||TO:"))), QString());
    EXPECT_TRUE(readFile(isp).endsWith("Own Mail|001||||TO:|||||||||||\r\n"));
    ServiceProvider changed = ServiceProvider::fromLine(QStringLiteral("Own Mail|001|102|||TO:"));
    EXPECT_EQ(service->updateProvider(changed), QString());
    EXPECT_TRUE(readFile(isp).endsWith("Own Mail|001|102|||TO:|||||||||||\r\n"));
    EXPECT_FALSE(service->updateProvider(ServiceProvider::fromLine(QStringLiteral("Own Mail|201"))).isEmpty());

    EXPECT_EQ(service->deleteProvider(QStringLiteral("CTTC China")), QString());
    QVector<ServiceProvider> stored;
    ASSERT_TRUE(ReadProviders(data(), &stored));
    EXPECT_EQ(stored.size(), 13);
    EXPECT_EQ(FindProvider(stored, QStringLiteral("CTTC China")), nullptr);

    EXPECT_EQ(service->loadDefaultProviders(), QString());
    EXPECT_EQ(readFile(isp), QByteArray(kExpectedIsp));
    EXPECT_EQ(service->providers().size(), 13);
}

TEST_F(LesListServiceTest, LesEditsAreCheckedAndSaved) {
    start();
    struct Case {
        const char* id;
        const char* name;
        bool ok;
    };
    const Case cases[] = {
        {"222", "New Station", true}, {"222", "Again", false}, {"122", "Wrong ocean", false},
        {"22", "Too short", false},   {"223", "", false},      {"224", "Bad|name", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(service->addLes(2, {QLatin1String(c.id), QLatin1String(c.name)}).isEmpty(), c.ok);
    }
    EXPECT_EQ(ReadLesTable(data(), 2).size(), 10);
    EXPECT_EQ(service->replaceLes(2, 9, {QStringLiteral("222"), QStringLiteral("Renamed")}), QString());
    EXPECT_FALSE(service->replaceLes(2, 9, {QStringLiteral("201"), QStringLiteral("Clash")}).isEmpty());
    EXPECT_EQ(service->deleteLes(2, {0, 9}), QString());
    const QVector<LesTableEntry> pacific = ReadLesTable(data(), 2);
    ASSERT_EQ(pacific.size(), 8);
    EXPECT_EQ(pacific.first().id, QStringLiteral("202"));
    EXPECT_FALSE(service->deleteLes(2, {}).isEmpty());
    // Deleting every LES leaves an empty list, not the defaults again.
    QList<int> all;
    for (int row = 0; row < 8; ++row)
        all << row;
    EXPECT_EQ(service->deleteLes(2, all), QString());
    EXPECT_TRUE(ReadLesTable(data(), 2).isEmpty());
    EXPECT_TRUE(readFile(data() + QStringLiteral("les_por.dat")).isEmpty());
}

TEST_F(LesListServiceTest, SendingStopsWithTheLesOrProviderText) {
    start();
    CConfiguration& config = runtime.config();
    runtime.session().SetCurrentOcean(0);
    config.SetIni(QStringLiteral("[Default ISP]"), QStringLiteral("Morsviazsputnik Russia")); // no West LES
    struct Case {
        int type;
        const char* address;
        const char* defaultLes;
        QLatin1String failure;
    };
    const Case cases[] = {
        {EMail, "a@b.c", "001", SendFailure::NoIspLes},
        {Telex, "4312345", "000", SendFailure::NoLes},
        {Telex, "4312345", "", SendFailure::NoLes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        config.SetDefaultLes(0, QLatin1String(c.defaultLes));
        OutgoingMessage message;
        message.recipients = {{FieldTo, c.type, QLatin1String(c.address)}};
        message.body = QStringLiteral("Hello");
        const QVector<SubmissionStep> steps = SubmitMessage(config, runtime.messaging(), clock, message, {});
        ASSERT_EQ(steps.size(), 1);
        EXPECT_EQ(steps[0].failure, QString(c.failure));
        EXPECT_TRUE(runtime.terminal().engine().queue().text().isEmpty());
    }
}

TEST(LesListService, AnUnreadProviderFileIsNeverOverwrittenByEdits) {
    ServiceRig rig;
    const QByteArray old = "VERSION 90\r\nOld Provider\r\n";
    QFile f(rig.data() + QStringLiteral("isp.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(old);
    f.close();
    rig.form.setNextAnswer(false); // keep the file at start-up
    rig.start();
    ASSERT_FALSE(rig.service->providersLoaded());
    EXPECT_EQ(rig.service->addProvider(ServiceProvider::fromLine(QStringLiteral("New|001"))),
              QStringLiteral("Error loading ISP list"));
    EXPECT_FALSE(rig.service->deleteProvider(QStringLiteral("Old Provider")).isEmpty());
    EXPECT_EQ(readFile(rig.data() + QStringLiteral("isp.dat")), old);
    // Load Default replaces it, keeping the old list beside it.
    EXPECT_EQ(rig.service->loadDefaultProviders(), QString());
    EXPECT_EQ(readFile(rig.data() + QStringLiteral("isp.dat")), QByteArray(kExpectedIsp));
    EXPECT_EQ(readFile(rig.data() + QStringLiteral("isp.dat.old")), old);
    EXPECT_TRUE(rig.service->providersLoaded());
}
