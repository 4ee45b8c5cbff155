// The DNID list, message-reporting and program parsers and command builders, as tables of cases.
#include "reporting_replies.h"

#include "reporting/dnid_list.h"
#include "reporting/message_reporting.h"
#include "reporting/report_programs.h"

#include <gtest/gtest.h>

using namespace tessaro;
using namespace tessaro::test;

TEST(DnidList, ReadsEveryFiftyEightCharacterLineWithEitherLineEnd) {
    for (const QString& br : {QStringLiteral("\r\n"), QStringLiteral("\n")}) {
        SCOPED_TRACE(br.size());
        cDnid list;
        list.SaveData(DnidListBlock(DnidReply(br)), br);
        ASSERT_EQ(list.count(), 3);
        const DnidRecord first = list.records().at(0);
        EXPECT_EQ(first, (DnidRecord{QStringLiteral("Fleet Tracking & Co"), 102, 12345, 7, 0, 1, 0, 1}));
        EXPECT_EQ(list.records().at(1), (DnidRecord{QStringLiteral("Coastal Monitoring"), 212, 4321, 12, 1, 0, 1, 0}));
        EXPECT_FALSE(list.records().at(1).enabled());
        EXPECT_EQ(list.records().at(2).LesId, 405);
    }
}

TEST(DnidList, BrokenRepliesGiveWhatCanBeRead) {
    const QString good = QStringLiteral("Fleet Tracking & Co         1 102 12345   007   0     1  0");
    const QString header = QStringLiteral("Name                       St LES DNID    Mem  Sub   Ch Rd\r\n");
    struct Case {
        const char* name;
        QString reply;
        int count;
    };
    const Case cases[] = {
        {"no Name", QStringLiteral("st -d\r\n") + good + QStringLiteral("\r\n  1 DNID(s) stored\r\n"), 0},
        {"no count line", QStringLiteral("st -d\r\n") + header + good + QStringLiteral("\r\ncan0:/$ "), 0},
        {"no Rd header", QStringLiteral("st -d\r\nName\r\n") + good + QStringLiteral("\r\n 1 DNID(s) stored"), 0},
        {"short line ends the list",
         QStringLiteral("st -d\r\n") + header + good + QStringLiteral("\r\nshort\r\n") + good +
             QStringLiteral("\r\n 2 DNID(s) stored"),
         1},
        {"59-character line ends the list",
         QStringLiteral("st -d\r\n") + header + good + QStringLiteral("x\r\n") + good +
             QStringLiteral("\r\n 2 DNID(s) stored"),
         0},
        {"a line broken by a bare LF ends the list (no name keeps a line end)",
         QStringLiteral("st -d\r\n") + header + good + QStringLiteral("\r\n") +
             QString(good).replace(5, 1, QLatin1Char('\n')) + QStringLiteral("\r\n 2 DNID(s) stored"),
         1},
        {"lenient numbers",
         QStringLiteral("st -d\r\n") + header +
             QStringLiteral("Odd                         x 1x2 9z      abc   q     !  ?") +
             QStringLiteral("\r\n 1 DNID(s) stored"),
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cDnid list;
        list.SaveData(DnidListBlock(c.reply), QStringLiteral("\r\n"));
        EXPECT_EQ(list.count(), c.count);
        EXPECT_EQ(list.isEmpty(), c.count == 0);
    }
    cDnid odd;
    odd.SaveData(DnidListBlock(cases[6].reply), QStringLiteral("\r\n"));
    EXPECT_EQ(odd.records().at(0), (DnidRecord{QStringLiteral("Odd"), 1, 9, 0, 0, 0, 0, 0}));
}

TEST(DnidList, ChangedRowsOnlyGiveCommands) {
    cDnid list;
    list.SaveData(DnidListBlock(DnidReply()), QStringLiteral("\r\n"));
    const QList<DnidRecord> r = list.records();
    EXPECT_EQ(DnidChangeCommands(r, {true, false, true}), QStringList());
    EXPECT_EQ(DnidChangeCommands(r, {false, true, true}),
              (QStringList{QStringLiteral("st -d D102,12345,7,0"), QStringLiteral("st -d E212,4321,12,1")}));
    // Fewer states than rows: the rest count as unchanged.
    EXPECT_EQ(DnidChangeCommands(r, {false}), QStringList{QStringLiteral("st -d D102,12345,7,0")});
}

TEST(MessageReporting, ReadsEveryOptionUpToItsDescription) {
    const MessageReportingReply r = ParseMessageReportingReply(RsReply());
    ASSERT_TRUE(r.supported);
    MessageReportingSettings expected;
    expected.function = true;
    expected.month = QStringLiteral("1-6");
    expected.dayOfMonth = QStringLiteral("*");
    expected.dayOfWeek = QStringLiteral("1,3");
    expected.hour = QStringLiteral("12");
    expected.minute = QStringLiteral("30");
    expected.noPrintCopy = true;
    expected.service = QStringLiteral("0");
    expected.destinationType = QStringLiteral("5");
    expected.confirmation = false;
    expected.extension = QStringLiteral("12345");
    expected.pinCode = QStringLiteral("1A2");
    expected.destinationAddress = QStringLiteral("12345");
    EXPECT_EQ(r.settings, expected);
}

TEST(MessageReporting, FunctionNeedsOperationOneAndUnsupportedUnitsSayInfo999) {
    EXPECT_FALSE(ParseMessageReportingReply(RsReply(QStringLiteral("Operation 0: Inactive"))).settings.function);
    EXPECT_FALSE(ParseMessageReportingReply(RsReply(QString())).settings.function);
    const MessageReportingReply none =
        ParseMessageReportingReply(QStringLiteral("rs\r\nINFO 999: Message reporting not supported\r\ncan0:/$ "));
    EXPECT_FALSE(none.supported);
    // Values never keep a line end, even when the description is missing.
    const MessageReportingReply cut =
        ParseMessageReportingReply(QStringLiteral("rs\r\nIllegal argument\r\n -p (str)  value is 77\r\nOperation 1:"));
    EXPECT_EQ(cut.settings.pinCode, QStringLiteral("77"));
    EXPECT_EQ(ParseMessageReportingReply(QStringLiteral("rs\r\ncan0:/$ ")).settings, MessageReportingSettings{});
}

namespace {

QVector<AddressBookEntry> Book() {
    return {
        {QStringLiteral("Office mail"), 0, 1, QStringLiteral("a@b.c"), {}},
        {QStringLiteral("Fax home"), 2, 0, QStringLiteral("004712345678"), {}},
        {QStringLiteral("Phone"), 4, 1, QStringLiteral("0047555"), {}},
        {QStringLiteral("Sac"), 5, 1, QStringLiteral("0032"), {}},
        {QStringLiteral("Fleet DNID"), 6, 2, QStringLiteral("12345"), QStringLiteral("7")},
        {QStringLiteral("Telex"), 1, 0, QStringLiteral("58123"), {}},
        {QStringLiteral("Ship"), 3, 1, QStringLiteral("492123456"), {}},
        {QStringLiteral("X"), 7, 2, QStringLiteral("0099"), {}},
        {QStringLiteral("Sms"), 8, 1, QStringLiteral("00479999"), {}},
    };
}

} // namespace

TEST(MessageReporting, DestinationsLeaveOutEmailAndSelectTheReportedNumber) {
    const ReportDestinations d = MessageReportingDestinations(Book(), QStringLiteral("4712345678"));
    EXPECT_EQ(d.names, (QStringList{QStringLiteral("Fax home"), QStringLiteral("Phone"), QStringLiteral("Sac"),
                                    QStringLiteral("Fleet DNID"), QStringLiteral("Telex"), QStringLiteral("Ship"),
                                    QStringLiteral("X"), QStringLiteral("Sms")}));
    EXPECT_EQ(d.selected, 0);
    EXPECT_EQ(MessageReportingDestinations(Book(), QStringLiteral("12345")).selected, 3);
    EXPECT_EQ(MessageReportingDestinations(Book(), QStringLiteral("1")).selected, -1);
}

TEST(MessageReporting, OkBatchHasTheDestinationLineOfEachEntryType) {
    MessageReportingSettings s;
    s.month = QStringLiteral("*");
    s.dayOfMonth = QStringLiteral("1,15");
    s.dayOfWeek = QStringLiteral("*");
    s.hour = QStringLiteral("6-18");
    s.minute = QStringLiteral("0");
    s.noPrintCopy = true;
    s.confirmation = true;
    s.pinCode = QStringLiteral("9x");
    const std::array<QString, 4> les{QStringLiteral("001"), QStringLiteral("102"), QStringLiteral("212"),
                                     QStringLiteral("305")};
    const QStringList head{QStringLiteral("rs -f 6"), QStringLiteral("rs -m * -d 1,15"),
                           QStringLiteral("rs -w * -h 6-18"), QStringLiteral("rs -u 0 -n 1 -v 1 -p 9x")};
    EXPECT_EQ(MessageReportingCommands(s, QStringLiteral("fleet dnid"), Book(), les),
              head + QStringList{QStringLiteral("rs -e 12345 -t 5 -l 7 -a 12345 -f 0")});

    struct Case {
        const char* destination;
        const char* line;
    };
    const Case cases[] = {
        {"Fax home", "rs -e T30 -t 1 -l 6 -a 4712345678"},
        {"Phone", "rs -e V22B -t 1 -l 0 -a 47555"},
        {"Sac", "rs -e 32 -t 6 -l 0 -a 32"},
        {"Telex", "rs -t 0 -l 6 -a 58123"},
        {"Ship", "rs -t 0 -l 0 -a 492123456"},
        {"X", "rs -t 3 -l 7 -a 99"},
        {"Sms", "rs -a 479999"},
        {"5551234", "rs -a 5551234"},
    };
    s.function = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        const QStringList out = MessageReportingCommands(s, QLatin1String(c.destination), Book(), les);
        ASSERT_EQ(out.size(), 5);
        EXPECT_EQ(out.mid(0, 4), head);
        EXPECT_EQ(out.at(4), QLatin1String(c.line) + QStringLiteral(" -f 1 102 212 305 001"));
    }
    EXPECT_TRUE(MessageReportingCommands(s, QStringLiteral("  "), Book(), les).isEmpty());
}

TEST(MessageReporting, InputRules) {
    EXPECT_TRUE(IsScheduleText(QStringLiteral("1-5,7,*")));
    EXPECT_TRUE(IsScheduleText(QString()));
    EXPECT_FALSE(IsScheduleText(QStringLiteral("1 2")));
    EXPECT_FALSE(IsScheduleText(QStringLiteral("a")));
    EXPECT_TRUE(IsReportPasswordText(QStringLiteral("1abC9")));
    EXPECT_TRUE(IsReportPasswordText(QString()));
    EXPECT_FALSE(IsReportPasswordText(QStringLiteral("a1")));
    EXPECT_FALSE(IsReportPasswordText(QStringLiteral("1-2")));
}

TEST(ReportPrograms, ListingGivesTypesStatesConnectionsAndButtons) {
    const ProgramListing l = ParseProgramListing(ListingReply(), QStringLiteral("\r\n"));
    ASSERT_EQ(l.outcome, ProgramListing::Outcome::Ok);
    const ProgramSlot& s0 = l.slots[0];
    EXPECT_EQ(s0.PrgType, QStringLiteral("2"));
    EXPECT_EQ(s0.PrgStatus, QStringLiteral("2"));
    EXPECT_EQ(s0.kind, QStringLiteral("PU-"));
    // LES 105 stands first in the line but belongs to the East row; "000" groups leave their row empty.
    EXPECT_FALSE(s0.connections[0].has_value());
    ASSERT_TRUE(s0.connections[1].has_value());
    EXPECT_EQ(*s0.connections[1],
              (ProgramConnection{QStringLiteral("105"), QStringLiteral("12345"), QStringLiteral("7")}));
    EXPECT_EQ(*s0.connections[2],
              (ProgramConnection{QStringLiteral("212"), QStringLiteral("4321"), QStringLiteral("12")}));
    EXPECT_FALSE(s0.connections[3].has_value());
    EXPECT_EQ(s0.buttons, (SlotButtons{false, false, true, true}));
    EXPECT_EQ(l.slots[1].PrgType, QStringLiteral("3"));
    EXPECT_EQ(l.slots[1].buttons, SlotButtons{});
    EXPECT_EQ(l.slots[2].PrgType, QStringLiteral("1"));
    EXPECT_EQ(l.slots[2].kind, QString());
    EXPECT_EQ(l.slots[2].buttons, (SlotButtons{true, false, false, false}));
    // A line shorter than 23 characters has no connections.
    EXPECT_FALSE(l.slots[3].connections[0] || l.slots[3].connections[1]);
    EXPECT_EQ(FreeProgramSlot(l), 2);

    // With LF learned as the line end, a stray CR inside a connection separates groups; no value keeps it.
    const ProgramListing stray =
        ParseProgramListing(QStringLiteral("pg -d\nPrg Type      State   Connection (LES,DNID,Mem per ocean)\n"
                                           "0  PU-Local  PU[i]   102,12300\r10 212,4321,12\ncan0:/$ "),
                            QStringLiteral("\n"));
    ASSERT_TRUE(stray.slots[0].connections[1].has_value());
    EXPECT_EQ(*stray.slots[0].connections[1],
              (ProgramConnection{QStringLiteral("102"), QStringLiteral("12300"), QString()}));
    ASSERT_TRUE(stray.slots[0].connections[2].has_value());
    EXPECT_EQ(stray.slots[0].connections[2]->dnid, QStringLiteral("4321"));

    EXPECT_EQ(ParseProgramListing(QStringLiteral("pg -d\r\nERROR 120: Unknown command\r\n"), {}).outcome,
              ProgramListing::Outcome::NotSupported);
    EXPECT_EQ(ParseProgramListing(QStringLiteral("pg -d\r\nconnection\r\n"), {}).outcome,
              ProgramListing::Outcome::NoHeader);
    EXPECT_EQ(FreeProgramSlot(ProgramListing{}), -1);
}

TEST(ReportPrograms, ButtonRulesApplyInOrder) {
    struct Case {
        const char* type;
        const char* status;
        SlotButtons buttons;
    };
    const Case cases[] = {
        {"2", "2", {false, false, true, true}},   {"2", "3", {false, true, false, true}},
        {"2", "1", {false, false, false, true}},  {"1", "2", {true, false, false, false}},
        {"3", "3", {false, false, false, false}}, {"", "", {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + "/" + c.status);
        EXPECT_EQ(ProgramSlotButtons(QLatin1String(c.type), QLatin1String(c.status)), c.buttons);
    }
    // State tokens: later matches win, and "CN" programs are shown as ADS.
    const ProgramListing l = ParseProgramListing(
        QStringLiteral("Connection\r\n0  ADS-Local CN[s] none 000,0,0\r\n1 local cn[i\r\n"), QStringLiteral("\r\n"));
    EXPECT_EQ(l.slots[0].PrgStatus, QStringLiteral("1"));
    EXPECT_EQ(l.slots[0].kind, QStringLiteral("ADS-"));
    EXPECT_EQ(l.slots[1].PrgStatus, QStringLiteral("2"));
}

TEST(ReportPrograms, DnidChoicesByOceanWithFixedColumns) {
    const std::array<QStringList, 4> c = DnidChoices(DnidListBlock(DnidReply()), QStringLiteral("\r\n"));
    EXPECT_TRUE(c[0].isEmpty());
    ASSERT_EQ(c[1].size(), 1);
    EXPECT_EQ(c[1].at(0), QStringLiteral("Fleet Tracking & Co       102 12345 007"));
    EXPECT_EQ(c[2], QStringList{QStringLiteral("Coastal Monitoring        212 04321 012")});
    // LES 405 is in no ocean region.
    EXPECT_TRUE(c[3].isEmpty());
    // A blank line inside the block is no DNID of LES 000.
    const std::array<QStringList, 4> blank =
        DnidChoices(QStringLiteral("Name Rd\r\n\r\n  0 DNID(s) stored"), QStringLiteral("\r\n"));
    EXPECT_TRUE(blank[0].isEmpty());
}

TEST(ReportPrograms, ProgrammingCommands) {
    const QString east = QStringLiteral("Fleet Tracking & Co       102 12345 007");
    const QString pacific = QStringLiteral("Coastal Monitoring        212 04321 012");
    struct Case {
        const char* name;
        int slot;
        const char* startH;
        const char* startM;
        const char* intH;
        const char* intM;
        bool immediately;
        QStringList tail;
    };
    const Case cases[] = {
        {"00:00 start with Immediately clear starts at once",
         0,
         "00",
         "00",
         "1",
         "0",
         false,
         {QStringLiteral("pg -p 0,417"), QStringLiteral("pg -i 0,P")}},
        {"0:0 typed without leading zeros is 00:00 too",
         1,
         "0",
         "0",
         "1",
         "0",
         false,
         {QStringLiteral("pg -p 1,417"), QStringLiteral("pg -i 1,P")}},
        {"a set start time", 2, "12", "30", "0", "30", false, {QStringLiteral("pg -p 2,5208,208")}},
        {"Immediately wins over a start time",
         3,
         "12",
         "30",
         "0",
         "30",
         true,
         {QStringLiteral("pg -p 3,208"), QStringLiteral("pg -i 3,P")}},
        {"one minute is raised to 20 units",
         0,
         "",
         "",
         "0",
         "1",
         false,
         {QStringLiteral("pg -p 0,20"), QStringLiteral("pg -i 0,P")}},
        {"out of range fields become 00",
         0,
         "24",
         "60",
         "x",
         "99",
         false,
         {QStringLiteral("pg -p 0,20"), QStringLiteral("pg -i 0,P")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramDefinition d;
        d.choices = {QStringLiteral("Choose DNID from list"), east, pacific, QString()};
        d.startHour = QLatin1String(c.startH);
        d.startMinute = QLatin1String(c.startM);
        d.intervalHour = QLatin1String(c.intH);
        d.intervalMinute = QLatin1String(c.intM);
        d.immediately = c.immediately;
        const ProgramCommands out = BuildProgramCommands(c.slot, d);
        EXPECT_EQ(out.commands, QStringList{QStringLiteral("pg -o \"102,12345,007 212,04321,012\"")} + c.tail);
    }
    ProgramDefinition bad;
    bad.startHour = QStringLiteral("25");
    bad.intervalMinute = QStringLiteral("-1");
    bad.choices[0] = east;
    const ProgramCommands checked = BuildProgramCommands(0, bad);
    EXPECT_EQ(checked.checked.startHour, QStringLiteral("00"));
    EXPECT_EQ(checked.checked.intervalMinute, QStringLiteral("00"));
    ProgramDefinition none;
    none.choices = {QStringLiteral("No DNID for this ocean"), {}, {}, {}};
    EXPECT_TRUE(BuildProgramCommands(0, none).noDnid);
    EXPECT_TRUE(BuildProgramCommands(0, none).commands.isEmpty());
    EXPECT_EQ(TimeUnits(24, 0), 10000);
    EXPECT_EQ(TimeUnits(0, 1), 7);
}

TEST(ReportPrograms, StatusTextIsTheReplyBetweenEchoAndPrompt) {
    EXPECT_EQ(ProgramStatusText(QStringLiteral("pg -d 1\r\nProgram 2 status\r\nType: x\r\ncan0:/$ "),
                                QStringLiteral("\r\n"), QStringLiteral("can0:/$ ")),
              QStringLiteral("Program 2 status\r\nType: x\r\n"));
    EXPECT_EQ(ProgramStatusText(QStringLiteral("pg -d 1\r\nProgram 2 status\r\ncan1:/$ "), QStringLiteral("\r\n"), {}),
              QStringLiteral("Program 2 status\r\n"));
    EXPECT_EQ(ProgramStatusText(QStringLiteral("pg -d 1"), QStringLiteral("\r\n"), {}), QString());
}
