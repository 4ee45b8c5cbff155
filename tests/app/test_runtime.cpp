#include "runtime_rig.h"

#include "messaging/outbox.h"
#include "status/session.h"

#include <iostream>
#include <set>

using namespace tessaro;
using test::RuntimeRig;

namespace {

// The routing table as the engine must test its rows: key, match kind and command, in this order. Rows of
// subsystems not built yet are absent from the assembled table; those present keep this order.
const char* const kEngineRoutingOrder[] = {
    "Version echo \"ver\"",
    "EgcFxCheck starts \"fx \"",
    "PrintDone echo \"print tessprnt.txt -d\"",
    "LatestDistress echo \"st -a\"",
    "TerminalStatus echo \"st -w\"",
    "LinkTest echo \"st -m\"",
    "StatusSummary echo \"st -s\"",
    "Identity echo \"st -i\"",
    "DnidList echo \"st -d\"",
    "EnidList echo \"st -g\"",
    "LesServices echo \"status -n\"",
    "SoftwareVersion echo \"st -v\"",
    "Gps echo \"ru -g\"",
    "Time echo \"ti -u\"",
    "TimeInsert echo \"ti u\"",
    "DistressGenerator echo \"se -g\"",
    "Position echo \"se -p\"",
    "TestMode starts \"se -q\"",
    "EgcSettings echo \"se -e\"",
    "EgcSettingsBare echo \"se\"",
    "EgcSettingsFixed echo \"se -x\"",
    "EgcSettingsNavarea echo \"se -sn\"",
    "ConfigVariables echo \"set -z\"",
    "PositionSet starts \"se -p \"",
    "DistressGeneratorWrite starts \"se -g \"",
    "Routing echo \"ro\"",
    "EgcListing echo-nocase \"ls EGC.*\"",
    "EgcLog echo-nocase \"st -e\"",
    "EgcFetch starts-nocase \"ty EGC.\"",
    "EgcDelete starts-nocase \"delete EGC.\"",
    "MessageListing echo \"ls IN.*\"",
    "MessageLog echo \"st -r\"",
    "MessageFetch starts \"ty IN.\"",
    "MessageDelete starts \"delete IN.\"",
    "UploadSizeCheck custom \"ls \"",
    "PrintReport starts \"type \"",
    "ReportProgramStatus0 echo \"pg -d 0\"",
    "ReportProgramStatus1 echo \"pg -d 1\"",
    "ReportProgramStatus2 echo \"pg -d 2\"",
    "ReportProgramStatus3 echo \"pg -d 3\"",
    "ReportPrograms echo \"pg -d\"",
    "ReportSettings echo \"rs\"",
    "LesList echo \"st -n\"",
    "TransceiverRestart contains \"Starting application program.\"",
    "DistressAlertParameters echo \"se -m \"",
    "DistressAllOceans echo \"se -m ALL_OCEANS\"",
    "TxRefusedEgcOnly custom \"tx + ERROR 250:\"",
    "TxFailed custom \"tx + ERROR\"",
};

// A module that takes what another subsystem already owns, to show how start-up refuses it.
class IntruderModule final : public ITerminalModule {
public:
    Subsystem subsystem() const override { return Subsystem::Printing; }
    bool providesAllRoutes() const override { return complete; }
    void attach(ModuleContext& context) override {
        if (takeRoute)
            context.addRoute(RouteKey::TerminalStatus, MatchKind::Echo, QStringLiteral("st -w"), [](const QString&) {});
        if (takeInfoCode)
            context.onInfo(81, [](const InfoEvent&) {});
    }
    bool takeRoute = false;
    bool takeInfoCode = false;
    bool complete = false;
};

} // namespace

TEST(Runtime, RoutingTableKeepsTheEngineOrder) {
    RuntimeRig rig;
    rig.attach();
    const QStringList assembled = rig.runtime->context().router().describe();
    std::cout << "Assembled reply routing table:\n" << assembled.join(u'\n').toStdString() << std::endl;

    QStringList expected;
    for (const char* row : kEngineRoutingOrder)
        if (assembled.contains(QLatin1String(row)))
            expected << QLatin1String(row);
    EXPECT_EQ(assembled, expected) << "rows out of order or unknown to the engine's table";

    // Present: exactly the rows of the subsystems that are built and say they are complete.
    std::set<Subsystem> owners;
    for (const RouteRow& r : rig.runtime->context().router().rows())
        owners.insert(RouteKeyOwner(r.key));
    EXPECT_EQ(owners,
              (std::set<Subsystem>{Subsystem::Status, Subsystem::Messaging, Subsystem::Egc, Subsystem::Distress,
                                   Subsystem::Editor, Subsystem::Lists, Subsystem::Reporting, Subsystem::Printing}));
    EXPECT_TRUE(rig.runtime->context().errors().isEmpty()) << rig.runtime->context().errors().join(u'\n').toStdString();
}

TEST(Runtime, EveryAssembledRowRoutesItsReply) {
    struct Case {
        const char* reply;
        QStringList keys;
    };
    const Case cases[] = {
        {"ver\r\nV1\r\ncan0:/$ ", {QStringLiteral("Version")}},
        {"st -w\r\nx\r\ncan0:/$ ", {QStringLiteral("TerminalStatus")}},
        {"st -m\r\nx\r\ncan0:/$ ", {QStringLiteral("LinkTest")}},
        {"st -s\r\nx\r\ncan0:/$ ", {QStringLiteral("StatusSummary")}},
        {"st -i\r\nx\r\ncan0:/$ ", {QStringLiteral("Identity")}},
        {"st -v\r\nx\r\ncan0:/$ ", {QStringLiteral("SoftwareVersion")}},
        {"ru -g\r\nx\r\ncan0:/$ ", {QStringLiteral("Gps")}},
        {"ti -u\r\nx\r\ncan0:/$ ", {QStringLiteral("Time")}},
        {"ti u\r\nx\r\ncan0:/$ ", {QStringLiteral("TimeInsert")}},
        {"se -p\r\nx\r\ncan0:/$ ", {QStringLiteral("Position")}},
        {"se -p 5530N 01020E\r\ncan0:/$ ", {QStringLiteral("PositionSet")}},
        {"se -g\r\nx\r\ncan0:/$ ", {QStringLiteral("DistressGenerator")}},
        {"se -g 102,F,N,1,2,3,E,4,5,6,7,8,9,10\r\nx\r\ncan0:/$ ", {QStringLiteral("DistressGeneratorWrite")}},
        {"se -m \r\nx\r\ncan0:/$ ", {QStringLiteral("DistressAlertParameters")}},
        {"se -m ALL_OCEANS\r\nx\r\ncan0:/$ ", {QStringLiteral("DistressAllOceans")}},
        {"st -a\r\nx\r\ncan0:/$ ", {QStringLiteral("LatestDistress")}},
        {"se -q\r\nx\r\ncan0:/$ ", {QStringLiteral("TestMode")}},
        {"se -q 1\r\nx\r\ncan0:/$ ", {QStringLiteral("TestMode")}},
        {"se -m 001,102,201,301\r\nAlert LES stored\r\ncan0:/$ ", {}},
        {"ls IN.*\r\nx\r\ncan0:/$ ", {QStringLiteral("MessageListing")}},
        {"st -r\r\nx\r\ncan0:/$ ", {QStringLiteral("MessageLog")}},
        {"ty IN.7 -b -k\r\nx\r\ncan0:/$ ", {QStringLiteral("MessageFetch")}},
        {"delete IN.7\r\ncan0:/$ ", {QStringLiteral("MessageDelete")}},
        {"ls msg1.txt\r\n 250 msg1.txt\r\ncan0:/$ ", {QStringLiteral("UploadSizeCheck")}},
        {"ls in.*\r\nx\r\ncan0:/$ ", {QStringLiteral("UploadSizeCheck")}}, // the listing row compares exactly
        {"ls EGC.*\r\nx\r\ncan0:/$ ", {QStringLiteral("EgcListing")}},
        {"LS egc.*\r\nx\r\ncan0:/$ ", {QStringLiteral("EgcListing")}},
        {"st -e\r\nx\r\ncan0:/$ ", {QStringLiteral("EgcLog")}},
        {"ty EGC.004 -b -k\r\nx\r\ncan0:/$ ", {QStringLiteral("EgcFetch")}},
        {"delete EGC.004\r\ncan0:/$ ", {QStringLiteral("EgcDelete")}},
        {"fx 55,N,12,E\r\nFixed positions: 55,N,12,E\r\ncan0:/$ ", {QStringLiteral("EgcFxCheck")}},
        {"st -g\r\nEGC Network ID list\r\ncan0:/$ ", {QStringLiteral("EnidList")}},
        {"se -e\r\n -e (num)  value is 0\r\ncan0:/$ ", {QStringLiteral("EgcSettings")}},
        {"se\r\n -e (num)  value is 0\r\ncan0:/$ ", {QStringLiteral("EgcSettingsBare")}},
        {"se -x\r\n -x (str)  value is AB\r\ncan0:/$ ", {QStringLiteral("EgcSettingsFixed")}},
        {"se -sn\r\nSpare Navareas: 1\r\ncan0:/$ ", {QStringLiteral("EgcSettingsNavarea")}},
        {"\r\nstarting APPLICATION program.\r\ncan0:/$ ", {QStringLiteral("TransceiverRestart")}},
        {"tx -l 102\r\nERROR 250: EGC receiver\r\ncan0:/$ ", {QStringLiteral("TxRefusedEgcOnly")}},
        {"tx -l 102\r\nERROR 120\r\ncan0:/$ ", {QStringLiteral("TxFailed")}},
        {"tx -l 1\r\nStarting application program.\r\nERROR 250: x\r\ncan0:/$ ",
         {QStringLiteral("TransceiverRestart"), QStringLiteral("TxRefusedEgcOnly")}},
        {"tx -l 102\r\nOK\r\ncan0:/$ ", {}},
        {"st -l\r\nINFO 999: x\r\ncan0:/$ ", {}},
        {"set -z\r\nPRINTER=YES\r\ncan0:/$ ", {QStringLiteral("ConfigVariables")}},
        {"ro\r\nRouting Configuration\r\nEnter filenumber > ", {QStringLiteral("Routing")}},
        {"ro 10  5\r\nRouting of 10 set to 5\r\ncan0:/$ ", {}},
        {"st -d\r\nName Rd\r\n  0 DNID(s) stored\r\ncan0:/$ ", {QStringLiteral("DnidList")}},
        {"st -d E102,12345,7,0\r\nDNID 12345 enabled\r\ncan0:/$ ", {}},
        {"pg -d\r\nConnection\r\ncan0:/$ ", {QStringLiteral("ReportPrograms")}},
        {"pg -d 0\r\nx\r\ncan0:/$ ", {QStringLiteral("ReportProgramStatus0")}},
        {"pg -d 1\r\nx\r\ncan0:/$ ", {QStringLiteral("ReportProgramStatus1")}},
        {"pg -d 2\r\nx\r\ncan0:/$ ", {QStringLiteral("ReportProgramStatus2")}},
        {"pg -d 3\r\nx\r\ncan0:/$ ", {QStringLiteral("ReportProgramStatus3")}},
        {"pg -i 0,P\r\nProgram 1 started\r\ncan0:/$ ", {}},
        {"rs\r\nIllegal argument\r\ncan0:/$ ", {QStringLiteral("ReportSettings")}},
        {"rs -f 6\r\nMessage reporting settings stored\r\ncan0:/$ ", {}},
        {"st -n\r\nLES id \x02"
         "101\x03\r\ncan0:/$ ",
         {QStringLiteral("LesList")}},
        {"status -n\r\nLES id 101 Southbury\r\n\r\ncan0:/$ ", {QStringLiteral("LesServices")}},
        {"print tessprnt.txt -d\r\nPrinting tessprnt.txt, 5 bytes\r\ncan0:/$ ", {QStringLiteral("PrintDone")}},
        {"type IN.7\r\nx\r\ncan0:/$ ", {QStringLiteral("PrintReport")}},
    };
    RuntimeRig rig;
    rig.attach();
    // The same matches as the assembled table, each row recording its key instead of acting.
    ReplyRouter recording;
    QStringList fired;
    for (const RouteRow& r : rig.runtime->context().router().rows()) {
        RouteRow copy = r;
        copy.handler = [&fired, key = r.key](const QString&) { fired << RouteKeyName(key); };
        ASSERT_TRUE(recording.addRow(copy));
    }
    std::set<QString> covered;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        fired.clear();
        recording.route(QString::fromLatin1(c.reply), QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
        EXPECT_EQ(fired, c.keys);
        covered.insert(c.keys.begin(), c.keys.end());
    }
    for (const RouteRow& r : recording.rows())
        EXPECT_TRUE(covered.count(RouteKeyName(r.key))) << RouteKeyName(r.key).toStdString();
}

TEST(Runtime, RegistrationMistakesStopTheStartWithAClearMessage) {
    struct Case {
        const char* name;
        bool takeRoute;
        bool takeInfoCode;
        bool complete;
        const char* reason;
    };
    const Case cases[] = {
        {"route twice", true, false, false, "reply route TerminalStatus registered twice"},
        {"INFO code twice", false, true, false, "INFO 81 registered twice (by messaging and printing)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RuntimeRig rig;
        rig.attach();
        IntruderModule intruder;
        intruder.takeRoute = c.takeRoute;
        intruder.takeInfoCode = c.takeInfoCode;
        intruder.complete = c.complete;
        rig.runtime->context().attach(intruder);

        const StartResult r = rig.runtime->start();
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.message.startsWith(QStringLiteral("Tessaro cannot start")));
        EXPECT_TRUE(r.message.contains(QLatin1String(c.reason))) << r.message.toStdString();
        ASSERT_EQ(rig.form.fatalMessages.size(), 1);
        EXPECT_EQ(rig.form.fatalMessages[0], r.message);
        EXPECT_TRUE(rig.file(QStringLiteral("ErrorLog.txt")).contains(c.reason));
        EXPECT_FALSE(rig.terminal().timer(TerminalTimer::Timer1).isActive()) << "nothing runs";
    }

    // A subsystem that says it is complete but leaves one of its routes empty. Every subsystem is in the
    // runtime now, so the check is shown on a routing table of its own.
    {
        ReplyRouter router;
        ASSERT_TRUE(router.addRow(RouteRow{
            RouteKey::PrintReport, MatchKind::Starts, QStringLiteral("type "), RowOption::None, {}, [](const QString&) {
            }}));
        const QStringList missing = router.missingRows({Subsystem::Printing});
        EXPECT_EQ(missing, QStringList{QStringLiteral("reply route PrintDone of the printing subsystem is not filled")})
            << missing.join(u'|').toStdString();
    }

    // The same subsystem twice.
    RuntimeRig twice;
    twice.attach();
    twice.runtime->context().attach(twice.runtime->status());
    EXPECT_TRUE(twice.runtime->start().message.contains(QLatin1String("the status subsystem is attached twice")));
}

TEST(Runtime, InfoCodesHaveOneOwnerEach) {
    RuntimeRig rig;
    rig.attach();
    const QStringList codes = rig.runtime->info().describe();
    const auto owner = [&codes](int code) {
        const QString prefix = QStringLiteral("INFO %1 ").arg(code);
        for (const QString& line : codes)
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        return QString();
    };
    for (int code : {30, 60, 61, 116, 132, 220, 221, 500, 501})
        EXPECT_EQ(owner(code), QStringLiteral("status")) << code;
    for (int code : {80, 81, 82, 130, 131, 140, 141, 552})
        EXPECT_EQ(owner(code), QStringLiteral("messaging")) << code;
    for (int code : {20, 21, 22, 119, 353, 363, 502, 733, 803})
        EXPECT_EQ(owner(code), QStringLiteral("distress")) << code;
    EXPECT_TRUE(owner(40).isEmpty()) << "a notice only: nobody acts on it";
}

TEST(Runtime, PollBurstFollowsCapabilitiesAndDownloads) {
    struct Case {
        int solas;
        int model;
        bool msgs;
        bool egcs;
        const char* expected;
    };
    const Case cases[] = {
        {2, 2, false, false,
         "se -q\r\nti -u\r\nst -v\r\nst -i\r\nst -s\r\nst -w\r\nru -g\r\nver\r\nse -r 1\r\nls IN.*\r\nls EGC.*\r\n"},
        {1, 0, true, true, "ti -u\r\nst -v\r\nst -i\r\nst -s\r\nst -w\r\nru -g\r\nver\r\n"},
        {2, 6, false, true, "ti -u\r\nst -v\r\nst -i\r\nst -s\r\nst -w\r\nru -g\r\nver\r\nls IN.*\r\n"},
        {2, 6, true, false, "ti -u\r\nst -v\r\nst -i\r\nst -s\r\nst -w\r\nru -g\r\nver\r\nls EGC.*\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        RuntimeRig rig;
        ASSERT_TRUE(rig.start().ok);
        TransceiverIdentity id;
        id.SolasType = c.solas;
        id.ProductModel = c.model;
        rig.session().SetIdentity(id);
        rig.session().SetProcessingMsgs(c.msgs);
        rig.session().SetProcessingEgcs(c.egcs);
        rig.terminal().QueuePollCycle();
        EXPECT_EQ(rig.queue(), QString::fromLatin1(c.expected));
        // A second burst adds only what may be queued twice.
        rig.terminal().QueuePollCycle();
        EXPECT_EQ(rig.queue().count(QStringLiteral("st -w")), 1);
        EXPECT_EQ(rig.queue().count(QStringLiteral("ti -u")), 2);
    }
}

TEST(Runtime, LinkUpJobsRunWhenTheTransceiverAnswersAgain) {
    RuntimeRig rig;
    ASSERT_TRUE(rig.start().ok);
    int ups = 0;
    rig.terminal().addLinkUpJob([&] { ++ups; });
    rig.session().SetMesConnected(true);
    rig.session().SetMesConnected(true);
    EXPECT_EQ(ups, 1);
    rig.terminal().LinkLost();
    rig.session().SetMesConnected(true);
    EXPECT_EQ(ups, 2);
}

// Closing the only display of the transceiver leaves alerts unseen: the question says so first, unless the
// ship has a display device of its own.
TEST(Runtime, ExitQuestionWarnsWhenTessaroIsTheOnlyDisplay) {
    const QString warning = QStringLiteral("Using the terminal without a display device seriously degrades safety at "
                                           "sea. While Tessaro is closed, no distress or urgent alert, safety "
                                           "broadcast or message is shown and no alarm sounds.\n\n");
    const QString unsent = QStringLiteral("There are 3 unsent messages in your outbox\nWould you still like to exit ?");
    const QString plain = QStringLiteral("Do you want to exit Tessaro ?");
    EXPECT_EQ(ExitQuestionText(0, true), plain);
    EXPECT_EQ(ExitQuestionText(3, true), unsent);
    EXPECT_EQ(ExitQuestionText(0, false), warning + plain);
    EXPECT_EQ(ExitQuestionText(3, false), warning + unsent);

    QTemporaryDir dir;
    CConfiguration config(dir.path() + QStringLiteral("/"), false, dir.path() + QStringLiteral("/settings.ini"));
    EXPECT_FALSE(OtherDisplayDeviceUsed(config)) << "without the setting the warning shows";
    config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("DisplayDevice"), QStringLiteral("1"));
    EXPECT_TRUE(OtherDisplayDeviceUsed(config));
}
