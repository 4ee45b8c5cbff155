#include "status/terminal_status.h"
#include "status_fixture.h"

#include <QDateTime>

using namespace tessaro;
using tessaro::test::ReadReply;
using tessaro::test::WithoutPrompt;

TEST(StatusTerminalParse, ReadsEveryLabelledFieldOfAFullReply) {
    const TerminalStatusReply r = ParseTerminalStatus(WithoutPrompt(ReadReply("st_w_logged_in_pacific.txt")));
    EXPECT_EQ(r.swVersion, QStringLiteral("4.12"));
    EXPECT_EQ(r.synchronised, true);
    EXPECT_EQ(r.tdmOrigin, 244);
    EXPECT_EQ(r.loggedIn, true);
    EXPECT_EQ(r.protocol, QStringLiteral("Idle"));
    EXPECT_EQ(r.protocolWord, QStringLiteral("idle"));
    EXPECT_EQ(r.channel, QStringLiteral("NCS"));
    EXPECT_EQ(r.serialNumber, QStringLiteral("SN 0412-7733"));
    EXPECT_EQ(r.mobileNumberText, QStringLiteral("423456789"));
    EXPECT_EQ(r.preferredOcean, QChar(u'P'));
}

TEST(StatusTerminalParse, ShortValuesStopAtTheLineEndAndLabelsIgnoreCase) {
    // LF line ends and no padding: a 4-character field would otherwise take "\nTDM" into "Synchronization".
    const TerminalStatusReply r = ParseTerminalStatus(ReadReply("st_w_lf_unpadded.txt"));
    EXPECT_EQ(r.synchronised, false);
    EXPECT_EQ(r.tdmOrigin, 44);
    EXPECT_EQ(r.loggedIn, true);
    EXPECT_EQ(r.protocolWord, QStringLiteral("scanning"));
    EXPECT_EQ(r.channel, QStringLiteral("NCS"));
    EXPECT_EQ(r.mobileNumberText, QStringLiteral("not set"));
    EXPECT_EQ(r.serialNumber, QStringLiteral("A1"));
    EXPECT_EQ(r.preferredOcean, QChar(u'W'));
    EXPECT_EQ(r.swVersion, QStringLiteral("4.1"));
}

TEST(StatusTerminalParse, MissingLabelsLeaveTheirValuesUnset) {
    const TerminalStatusReply r = ParseTerminalStatus(ReadReply("st_w_truncated.txt"));
    EXPECT_EQ(r.protocol, QString()); // label and colon present, nothing after them
    EXPECT_FALSE(r.synchronised.has_value());
    EXPECT_FALSE(r.tdmOrigin.has_value());
    EXPECT_FALSE(r.loggedIn.has_value());
    EXPECT_FALSE(r.channel.has_value());
    EXPECT_FALSE(r.swVersion.has_value());
    EXPECT_FALSE(r.serialNumber.has_value());
    EXPECT_FALSE(r.mobileNumberText.has_value());
    EXPECT_FALSE(r.preferredOcean.has_value());

    const TerminalStatusReply empty = ParseTerminalStatus(QString());
    EXPECT_FALSE(empty.protocol.has_value());
}

TEST(StatusTerminalParse, ProtocolFieldIsTwentyFiveCharactersWide) {
    const QString reply = QStringLiteral("st -w\r\nCurrent protocol: Enhanced Data Report       TAIL\r\n");
    EXPECT_EQ(ParseTerminalStatus(reply).protocolWord, QStringLiteral("enhanced data report"));
    const QString longer = QStringLiteral("st -w\r\nCurrent protocol:ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n");
    EXPECT_EQ(ParseTerminalStatus(longer).protocol, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"));
}

TEST(StatusTerminalParse, VersionIsReadTwoCharactersEitherSideOfTheFirstDot) {
    struct Case {
        const char* reply;
        const char* expected; // nullptr: no version
    };
    const Case cases[] = {
        {"Software version : 12.345", "12.34"},
        {"version: 4.12", "4.12"},
        {"version 1.2", "1.2"},
        {"version:4.12", "4.12"}, // the colon is not part of the version
        {"version\r\n.5", ".5"},  // the dot is on the next line: nothing of this line is taken
        {"version without dot", nullptr},
        {"version.", "on."}, // plain character positions, label text included
        {".5 before version", nullptr},
    };
    for (const Case& c : cases) {
        const auto v = ParseTerminalStatus(QString::fromLatin1(c.reply)).swVersion;
        if (c.expected) {
            EXPECT_EQ(v, QString::fromLatin1(c.expected)) << c.reply;
        } else {
            EXPECT_FALSE(v.has_value()) << c.reply;
        }
    }
}

TEST(StatusTerminalRules, StationIdGivesTheOceanByItsHundredsDigit) {
    const std::pair<int, int> cases[] = {{344, 3}, {0, 4},   {412, 4}, {44, 0},  {99, 0}, {100, 1},
                                         {144, 1}, {244, 2}, {399, 3}, {400, 4}, {-1, 4}, {65535, 4}};
    for (auto [id, ocean] : cases)
        EXPECT_EQ(OceanFromStationId(id), ocean) << id;
}

TEST(StatusTerminalRules, LoginStatusFollowsTheOcean) {
    const std::tuple<bool, int, int, const char*> cases[] = {
        {true, 0, 21, "West Atlantic"}, {true, 1, 22, "East Atlantic"}, {true, 2, 24, "Pacific Ocean"},
        {true, 3, 23, "Indian Ocean"},  {true, 4, 25, "None"},          {false, 2, 4, "Logged out"},
    };
    for (auto [loggedIn, ocean, index, text] : cases) {
        EXPECT_EQ(LoggedInStatusIndex(loggedIn, ocean), index);
        EXPECT_EQ(MobileStatusText(index), QString::fromLatin1(text));
    }
}

TEST(StatusTerminalRules, ProtocolWordsMapToStatusLines) {
    struct Case {
        const char* word;
        bool synchronised;
        int index; // -1: no change
        bool alarm;
    };
    const Case cases[] = {
        {"free", false, 19, false},
        {"free", true, -1, false},
        {"pending", true, 5, false},
        {"sending distress", true, 1, true},
        {"sending distress test", true, 6, true},
        {"confirmation request", true, 7, false},
        {"login", true, 8, false},
        {"logout", true, 9, false},
        {"changing ncs", true, 10, false},
        {"scanning", true, 11, false},
        {"link test", true, 2, false},
        {"transmission", true, 12, false},
        {"receiving", true, 13, false},
        {"receiving egc", true, 14, false},
        {"position report", true, 15, false},
        {"data report", true, 16, false},
        {"enhanced data report", true, 17, false},
        {"programmed report", true, 18, false},
        {"init track", true, 20, false},
        {"idle", true, -1, false},
        {"", false, -1, false},
        {"Pending", true, -1, false}, // the caller lower-cases; the table itself is exact
    };
    for (const Case& c : cases) {
        const auto index = ProtocolStatusIndex(QString::fromLatin1(c.word), c.synchronised);
        EXPECT_EQ(index.value_or(-1), c.index) << c.word;
        if (index) {
            EXPECT_EQ(IsAlarmStatus(*index), c.alarm) << c.word;
        }
    }
    EXPECT_EQ(MobileStatusText(6), QStringLiteral("Sending Distress test!"));
    EXPECT_EQ(MobileStatusText(19), QStringLiteral("Tuning..."));
    EXPECT_EQ(MobileStatusText(26), QString());
    EXPECT_EQ(MobileStatusText(-1), QString());
}

TEST(StatusTerminalWindow, ShowsTheReplyAndTheTransceiverTimeInItsCaption) {
    EXPECT_EQ(TerminalStatusWindowText(QStringLiteral("a\nb")), QStringLiteral("a\r\nb\r\n\r\n"));
    EXPECT_EQ(TerminalStatusCaption(false, QDateTime()), QStringLiteral("Transceiver Status updated"));
    const QDateTime t(QDate(2013, 5, 7), QTime(9, 41, 27), Qt::UTC);
    EXPECT_EQ(TerminalStatusCaption(true, t),
              QStringLiteral("Transceiver Status last updated at 2013-05-07 09:41 UTC"));
}
