#include "egc/egc_parsers.h"
#include "egc_replies.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::dosListing;
using test::egcLog;
using test::longListing;
using test::tyReply;

QStringList names(const QVector<EgcFileEntry>& list) {
    QStringList out;
    for (const EgcFileEntry& e : list)
        out << e.Name;
    return out;
}

TEST(EgcParsers, BothListingLayoutsReadTheSameEntriesOldestFirst) {
    const QList<test::ListedEgc> files = {
        {7, 412, "26-12-10", "08:15"},    {5, 300, "26-12-10", "08:15"}, // same moment: the lower number first
        {3, 99, "69-01-01", "00:00"},                                    // 2069
        {9, 123456, "70-01-01", "23:59"},                                // 1970, and a size wider than five digits
        {4, 10, "26-12-09", "23:59"},
    };
    for (const QString& reply : {longListing(files), dosListing(files)}) {
        SCOPED_TRACE(reply.toStdString());
        const QVector<EgcFileEntry> list = DecodeEGCFileList(reply);
        EXPECT_EQ(names(list),
                  (QStringList{QStringLiteral("EGC.009"), QStringLiteral("EGC.004"), QStringLiteral("EGC.005"),
                               QStringLiteral("EGC.007"), QStringLiteral("EGC.003")}));
        ASSERT_EQ(list.size(), 5);
        EXPECT_EQ(list[0], (EgcFileEntry{QStringLiteral("EGC.009"), 9, 123456, QStringLiteral("1970-01-01"),
                                         QStringLiteral("23:59")}));
        EXPECT_EQ(list[3], (EgcFileEntry{QStringLiteral("EGC.007"), 7, 412, QStringLiteral("2026-12-10"),
                                         QStringLiteral("08:15")}));
        EXPECT_EQ(list[4].Date, QStringLiteral("2069-01-01"));
    }
}

TEST(EgcParsers, ListingsWithoutFilesAndOtherLineEndsAreHandled) {
    EXPECT_TRUE(DecodeEGCFileList(longListing({})).isEmpty());
    EXPECT_TRUE(DecodeEGCFileList(dosListing({})).isEmpty());
    EXPECT_TRUE(DecodeEGCFileList(QString()).isEmpty());
    // LF and CR CR LF line ends: no stray CR reaches the values.
    QString reply = longListing({{12, 40, "26-12-10", "08:15"}});
    for (const QString& end : {QStringLiteral("\n"), QStringLiteral("\r\r\n")}) {
        QString other = reply;
        other.replace(QStringLiteral("\r\n"), end);
        const QVector<EgcFileEntry> list = DecodeEGCFileList(other);
        ASSERT_EQ(list.size(), 1);
        EXPECT_EQ(list[0].Size, 40);
        EXPECT_EQ(list[0].Time, QStringLiteral("08:15"));
    }
}

TEST(EgcParsers, OnlyEntriesAfterTheLastEgcHandledAreNew) {
    const QVector<EgcFileEntry> sorted = DecodeEGCFileList(longListing({
        {4, 10, "26-12-10", "08:10"},
        {5, 10, "26-12-10", "08:15"},
        {6, 10, "26-12-10", "08:15"},
        {2, 10, "26-12-10", "09:00"}, // numbers wrap: a later EGC may have a lower number
    }));
    struct Case {
        const char* number;
        const char* date;
        const char* expected;
    };
    const Case cases[] = {
        {"", "", "EGC.004 EGC.005 EGC.006 EGC.002"},
        {"005", "", "EGC.004 EGC.005 EGC.006 EGC.002"},                 // no valid date: everything
        {"abc", "2026-12-10 08:15", "EGC.004 EGC.005 EGC.006 EGC.002"}, // no number: everything
        {"005", "2026-12-10 08:15", "EGC.006 EGC.002"},                 // same moment, number not above
        {"006", "2026-12-10 08:15", "EGC.002"},
        {"001", "2026-12-10 08:12", "EGC.005 EGC.006 EGC.002"}, // an earlier moment
        {"999", "2026-12-10 09:00", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " / " + c.date);
        EXPECT_EQ(names(NewEgcEntries(sorted, QLatin1String(c.number), QLatin1String(c.date))),
                  QString::fromLatin1(c.expected).split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    EXPECT_TRUE(NewEgcEntries({EgcFileEntry{}}, {}, {}).isEmpty()) << "a single nameless entry is nothing";
}

TEST(EgcParsers, LogLinesNeedTwelveColumnsEndingInAnEgcFile) {
    const QString reply =
        QStringLiteral("st -e\r\n"
                       "EGC log\r\n"
                       "102  31 2 0 26-12-10 08:15     412     4007  0  1 Pr+M    EGC.007\r\n"
                       "102  31 2 0 26-12-10 08:15     412     4007  0  Pr+M    EGC.008\r\n"     // 11 columns
                       "102  31 2 0 26-12-10 08:15     412     4007  0  1 2 Pr+M    EGC.009\r\n" // 13 columns
                       "102  31 2 0 26-12-10 08:15     412     4007  0  1 Pr+M    IN.10\r\n"     // not an EGC file
                       "  002   4   3   6   2026-12-11   23:59   7   -1   5   6   Mem   EGC.010  \r\n"
                       "can0:/$ ");
    bool found = false;
    const QVector<EgcLogEntry> log = DecodeEgcLog(reply, &found);
    EXPECT_TRUE(found);
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], (EgcLogEntry{102, 31, 2, 0, QStringLiteral("2026-12-10"), QStringLiteral("08:15"), 412, 4007, 0,
                                   1, QStringLiteral("Pr+M"), QStringLiteral("EGC.007")}));
    EXPECT_EQ(log[1], (EgcLogEntry{2, 4, 3, 6, QStringLiteral("2026-12-11"), QStringLiteral("23:59"), 7, -1, 5, 6,
                                   QStringLiteral("Mem"), QStringLiteral("EGC.010")}));

    EXPECT_TRUE(
        DecodeEgcLog(QStringLiteral("st -r\r\n") + test::egcLogLine({7, 102, 31, 2, "26-12-10", "08:15", 4, "Mem"}),
                     &found)
            .isEmpty());
    EXPECT_FALSE(found);
}

TEST(EgcParsers, RoutingMarksDecideWhatIsFetched) {
    struct Case {
        const char* routing;
        bool marked;
    };
    const Case cases[] = {{"Mem", true}, {"+M", true}, {"Pr+M", true}, {"PrMem", true},
                          {"Pr", false}, {"-", false}, {"mem", true},  {"M", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.routing);
        const QString reply = egcLog({{7, 102, 31, 0, "26-12-10", "08:15", 40, c.routing}});
        EXPECT_EQ(EgcMarkedForSaving(reply, QStringLiteral("EGC.007")), c.marked);
    }
    // An EGC the table does not show is fetched (its index line is repaired later).
    EXPECT_TRUE(EgcMarkedForSaving(egcLog({}), QStringLiteral("EGC.007")));
    // The mark of another EGC on the line before does not count.
    EXPECT_FALSE(EgcMarkedForSaving(
        egcLog({{6, 102, 31, 0, "26-12-10", "08:15", 40, "Mem"}, {7, 102, 31, 0, "26-12-10", "08:15", 40, "Pr"}}),
        QStringLiteral("EGC.007")));
}

TEST(EgcParsers, TheEgcTextIsWhatFollowsTheThreeHeaderLines) {
    QByteArray body("ZCZC\r\nNAVAREA I 123\r\n");
    body.append(char(0xE6)).append(char(0xF8)).append(char(0x80)).append("\r\nNNNN\r\n");
    const QString text = ExtractEgcMsgFromBuffer(tyReply(7, body), QStringLiteral("can0:/$ "));
    EXPECT_EQ(text.toLatin1(), body);
    // The prompt last seen, or any of the shell's usual prompts when none is known yet.
    EXPECT_EQ(ExtractEgcMsgFromBuffer(tyReply(7, "abc"), QString()), QStringLiteral("abc"));
    QString otherPrompt = tyReply(7, "abc");
    otherPrompt.replace(QStringLiteral("can0:/$ "), QStringLiteral("MES> "));
    EXPECT_EQ(ExtractEgcMsgFromBuffer(otherPrompt, QStringLiteral("MES> ")), QStringLiteral("abc"));
    // Fewer than three lines: no text.
    EXPECT_EQ(ExtractEgcMsgFromBuffer(QStringLiteral("ty EGC.007 -b -k\r\nERROR 104\r\n"), {}), QString());
    EXPECT_EQ(EgcNameOfTyReply(tyReply(7, "abc")), QStringLiteral("EGC.007"));
    EXPECT_EQ(EgcNameOfTyReply(QStringLiteral("ty EGC.007")), QString());
}

} // namespace
} // namespace tessaro
