#include "store_fixture.h"

#include "config/logs.h"
#include "messaging/inbox.h"
#include "messaging/message_types.h"
#include "messaging/outbox.h"

#include <QFileInfo>
#include <QSettings>

using namespace tessaro;
using tessaro::testing::StoreTest;

namespace {

InboxRecord sampleRecord() {
    InboxRecord r;
    r.ModemFileName = QStringLiteral("IN.12");
    r.LES = 102;
    r.Priority = 2;
    r.Bits = 5;
    r.Received = QDateTime(QDate(2013, 1, 3), QTime(9, 5));
    r.Size = 1234;
    r.Refnumber = 987654;
    r.Routing = QStringLiteral("+M");
    r.Read = 0;
    r.DiskFileName = QStringLiteral("13010301.in");
    return r;
}

TEST(MessageVocabulary, TablesAndOutOfRangeIndexes) {
    EXPECT_EQ(MessageTypeName(0), QStringLiteral("E-Mail"));
    EXPECT_EQ(MessageTypeName(7), QStringLiteral("X.25"));
    EXPECT_EQ(MessageTypeName(8), QStringLiteral("SMS"));
    EXPECT_TRUE(MessageTypeName(9).isEmpty());
    EXPECT_TRUE(MessageTypeName(-1).isEmpty());
    EXPECT_EQ(PriorityName(3), QStringLiteral("Distress"));
    EXPECT_TRUE(PriorityName(4).isEmpty());
    EXPECT_EQ(OutboxBitsText(6), QStringLiteral(" 5 Bit"));
    EXPECT_EQ(OutboxBitsText(0), QStringLiteral(" 7 Bit"));
    EXPECT_EQ(OutboxBitsText(7), QStringLiteral(" 8 Bit"));
    EXPECT_EQ(ReceivedBitsText(5), QStringLiteral("8 bit"));
    EXPECT_EQ(ReceivedBitsText(7), QStringLiteral("5 bit"));
    EXPECT_EQ(ReceivedBitsText(3), QStringLiteral("Unknown"));
}

TEST(MessageRecord, AddressMatrixAppendsAndJoinsAliases) {
    CMessage m;
    m.AddAddress(Telex, FieldTo, QStringLiteral("4711"));
    m.AddAddress(Telex, FieldTo, QStringLiteral("4712"));
    m.AddAddress(99, FieldTo, QStringLiteral("ignored"));
    EXPECT_EQ(m.GetAddresses(Telex, FieldTo), QStringLiteral("4711;4712"));
    EXPECT_EQ(m.GetFirstAddress(Telex, FieldTo), QStringLiteral("4711"));
    EXPECT_TRUE(m.ExistRecipient(Telex));
    EXPECT_FALSE(m.ExistRecipient(Fax));
    m.SetAliases(EMail, FieldTo, QStringLiteral("Joe;Ann"));
    m.SetAliases(EMail, FieldBcc, QStringLiteral("Boss"));
    EXPECT_EQ(m.GetFieldAliases(EMail), QStringLiteral("Joe,Ann,Boss"));
}

TEST(InboxIndexLines, InIdxHasElevenPositionsWithTheTimeColon) {
    const QString line = InIdx::format(InIdx::fromInbox(sampleRecord()));
    EXPECT_EQ(line, QStringLiteral("IN.12:102:2:5:13-01-03 09:05:1234:987654:+M:No:13010301.in"));
    EXPECT_EQ(line.split(QLatin1Char(':')).size(), 11);
}

TEST(InboxIndexLines, InboxIdxIsStxSeparatedWithoutTrailingSeparator) {
    InboxRecord r = sampleRecord();
    r.Read = 255;
    r.Subject = QStringLiteral("two\r\nlines");
    const QStringList fields = InboxIdx::format(InboxIdx::fromInbox(r)).split(QChar(2));
    ASSERT_EQ(fields.size(), 13);
    EXPECT_EQ(fields[0], QStringLiteral("IN.12"));
    EXPECT_EQ(fields[1], QStringLiteral("2"));
    EXPECT_EQ(fields[4], QStringLiteral("two  lines")); // a line break would split the record
    EXPECT_EQ(fields[11], QStringLiteral("255"));
    EXPECT_EQ(fields[12], QStringLiteral("13010301.in"));
    EXPECT_EQ(QDateTime::fromString(fields[5], QStringLiteral("yyyy-MM-dd HH:mm:ss")), r.Received);
}

TEST(InboxIndexLines, ColonInsideAValueCannotShiftPositions) {
    InboxRecord r = sampleRecord();
    r.Routing = QStringLiteral("Re:x");
    EXPECT_EQ(InIdx::format(InIdx::fromInbox(r)).split(QLatin1Char(':')).size(), 11);
}

using InboxStore = StoreTest;

TEST_F(InboxStore, AppendsBothIndexesWithCrLfAndReadsThemBack) {
    CInbox in(*config);
    InboxRecord r = sampleRecord();
    ASSERT_TRUE(in.AppendInIdx(r));
    r.ModemFileName = QStringLiteral("IN.13");
    r.DiskFileName = QStringLiteral("13010302.in");
    r.Read = 255;
    ASSERT_TRUE(in.AppendInIdx(r));
    ASSERT_TRUE(in.AppendInboxIdx(r));
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("IN.IDX")),
              QByteArray("IN.12:102:2:5:13-01-03 09:05:1234:987654:+M:No:13010301.in\r\n"
                         "IN.13:102:2:5:13-01-03 09:05:1234:987654:+M:Yes:13010302.in\r\n"));
    EXPECT_TRUE(readBytes(inbox() + QStringLiteral("Inbox.idx")).endsWith("13010302.in\r\n"));

    const auto all = in.ReadIndex();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0][4] + QLatin1Char(':') + all[0][5], QStringLiteral("13-01-03 09:05"));
    const auto unread = in.ReadIndex(true);
    ASSERT_EQ(unread.size(), 1);
    EXPECT_EQ(unread[0][10], QStringLiteral("13010301.in"));
}

TEST_F(InboxStore, ReaderSkipsLinesWithoutTheElevenPositions) {
    writeBytes(inbox() + QStringLiteral("IN.IDX"),
               "IN.1:102:0:0:13-01-03 09:05:10:1:Re:No\r\n"    // 10 positions: no file name
               "IN.2:102:0:0:13-01-03 09:05:10:1:Re:No:a.in\n" // LF alone is still a line end
               "\r\n"
               "IN.3:102:0:0:13-01-03 09:05:10:1:Re:No:b.in"); // no final line end
    const auto rows = CInbox(*config).ReadIndex();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][10], QStringLiteral("a.in"));
    EXPECT_EQ(rows[1][10], QStringLiteral("b.in"));
}

TEST_F(InboxStore, MarkAsUnreadRewritesOnlyTheSelectedLineOfBothIndexes) {
    CInbox in(*config);
    InboxRecord a = sampleRecord();
    a.Read = 255;
    InboxRecord b = a;
    b.ModemFileName = QStringLiteral("IN.13");
    b.DiskFileName = QStringLiteral("13010302.in");
    for (const InboxRecord& r : {a, b}) {
        ASSERT_TRUE(in.AppendInIdx(r));
        ASSERT_TRUE(in.AppendInboxIdx(r));
    }
    ASSERT_TRUE(in.MarkAsUnread(QStringLiteral("13010302.in")));
    const auto rows = in.ReadIndex();
    EXPECT_EQ(rows[0][9], QStringLiteral("Yes"));
    EXPECT_EQ(rows[1][9], QStringLiteral("No"));
    const QList<QByteArray> box = readBytes(in.inboxIdxPath()).split('\n');
    EXPECT_TRUE(box[0].contains("\x02"
                                "255\x02"));
    EXPECT_TRUE(box[1].contains("\x02"
                                "0\x02"
                                "13010302.in"));
    // Nothing to change: the index is left alone.
    const QByteArray before = readBytes(in.inIdxPath());
    EXPECT_FALSE(in.MarkAsUnread(QStringLiteral("13010302.in")));
    EXPECT_EQ(readBytes(in.inIdxPath()), before);
    EXPECT_EQ(filesIn(inbox()), QStringList({QStringLiteral("IN.IDX"), QStringLiteral("Inbox.idx")}));
}

TEST_F(InboxStore, GetInBoxMessageGivesThePlainBodyAndRefusesPaths) {
    CInbox in(*config);
    ASSERT_TRUE(in.SaveBody(QStringLiteral("13010301.in"), QString::fromLatin1("line1\r\nline2 \xe9")));
    EXPECT_EQ(in.GetInBoxMessage(QStringLiteral(" 13010301.in ")), QString::fromLatin1("line1\r\nline2 \xe9"));
    EXPECT_EQ(in.ReadBody(QStringLiteral("13010301.in")), QString::fromLatin1("line1\r\nline2 \xe9"));
    EXPECT_EQ(in.GetInBoxMessage(QStringLiteral("gone.in")),
              QStringLiteral("'gone.in' Does not exist!\r\nThe file might have been manually deleted by operator."));
    EXPECT_EQ(in.ReadBody(QStringLiteral("gone.in")), std::nullopt);
    writeBytes(data() + QStringLiteral("secret.txt"), "secret");
    EXPECT_TRUE(in.GetInBoxMessage(QStringLiteral("../secret.txt")).contains(QStringLiteral("Does not exist!")));
    EXPECT_EQ(in.ReadBody(QStringLiteral("../secret.txt")), std::nullopt);
}

using OutboxStore = StoreTest;

struct UpdateCase {
    const char* name;
    const char* les;
    const char* refNo;
    const char* oldStatus;
    const char* newRefNo;
    const char* newStatus;
    bool updateAll;
    int changed;
    std::vector<std::pair<int, const char*>> statusOfLine; // (line index after the rewrite, status)
};

TEST_F(OutboxStore, UpdateOutBoxTable) {
    const std::vector<UpdateCase> cases = {
        {"empty LES matches the first reference",
         "",
         "<None>",
         "",
         "",
         "Failed",
         false,
         1,
         {{0, "Failed"}, {4, "Initiated"}}},
        {"update all", "", "<None>", "Initiated", "", "MES Cleared", true, 2, {{0, "MES Cleared"}, {4, "MES Cleared"}}},
        {"LES compared as numbers", "112", "555", "", "", "Conf.Ok", false, 1, {{2, "Conf.Ok"}}},
        {"other LES does not match", "101", "555", "", "", "Conf.Ok", false, 0, {}},
        {"old status must match", "", "OUT.123", "Initiated", "", "Delivered", false, 0, {}},
        {"new reference set", "102", "OUT.123", "Sending", "777", "Delivered", false, 1, {{1, "Delivered"}}},
        {"empty reference: any line of that status",
         "",
         "",
         "Sending",
         "",
         "MES Cleared",
         true,
         1,
         {{1, "MES Cleared"}}},
    };
    for (const UpdateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray original = fixture("out_idx_sample.txt");
        writeBytes(outbox() + QStringLiteral("OUT.IDX"), original);
        cOutBox out(*config);
        int refreshed = 0;
        QObject::connect(&out, &cOutBox::changed, [&] { ++refreshed; });
        EXPECT_EQ(out.UpdateOutBox(QLatin1String(c.les), QLatin1String(c.refNo), QLatin1String(c.oldStatus),
                                   QLatin1String(c.newRefNo), QLatin1String(c.newStatus), c.updateAll),
                  c.changed);
        const QByteArray after = readBytes(out.indexPath());
        if (c.changed == 0) {
            EXPECT_EQ(after, original); // untouched to the byte
            EXPECT_EQ(refreshed, 0);
            continue;
        }
        EXPECT_EQ(refreshed, 1);
        EXPECT_FALSE(after.contains("\r\n\r\n")); // empty lines dropped
        EXPECT_TRUE(after.endsWith("Last\r\n"));
        EXPECT_TRUE(after.contains("short;line\r\n")); // short lines copied unchanged
        EXPECT_TRUE(after.contains(";Fax; with semicolon\r\n"));
        const QList<QByteArray> lines = after.split('\n');
        for (const auto& [index, status] : c.statusOfLine)
            EXPECT_EQ(lines[index].split(';')[8], QByteArray(status)) << index;
        if (QByteArray(c.newRefNo) == "777") {
            EXPECT_EQ(lines[1].split(';')[7], QByteArray("777"));
        }
    }
}

TEST_F(OutboxStore, UpdateOutBoxFileKeepsEmptyLinesAndMatchesTheFileName) {
    writeBytes(outbox() + QStringLiteral("OUT.IDX"), fixture("out_idx_sample.txt"));
    cOutBox out(*config);
    EXPECT_EQ(out.UpdateOutBoxFile(QStringLiteral(" 13010302.out "), QStringLiteral("TX-Error"),
                                   QStringLiteral("Failed"), false),
              1);
    const QByteArray after = readBytes(out.indexPath());
    EXPECT_TRUE(after.contains("\r\n\r\n"));
    EXPECT_TRUE(after.contains("13010302.out;4711;102;Telex 5 Bit;13-01-03;09:06; 5;TX-Error;Failed;0;"));
    EXPECT_EQ(out.GetIndexValue(QStringLiteral("TX-Error")), QStringLiteral("Failed"));
    EXPECT_EQ(out.GetIndexValue(QStringLiteral("nope")), QStringLiteral("No message with reference 'nope' found."));
}

TEST_F(OutboxStore, FailedRewriteLeavesTheIndexAsItWasAndTellsTheOperator) {
    const QByteArray original = fixture("out_idx_sample.txt");
    writeBytes(outbox() + QStringLiteral("OUT.IDX"), original);
    cOutBox out(*config);
    QStringList errors;
    QObject::connect(&out, &cOutBox::storeError, [&](const QString& m) { errors << m; });
    failWrites();
    EXPECT_EQ(out.UpdateOutBox({}, QStringLiteral("<None>"), {}, {}, QStringLiteral("Failed"), true), 0);
    EXPECT_EQ(readBytes(out.indexPath()), original);
    EXPECT_EQ(errors, QStringList({QStringLiteral("(OutBox.UpdateOutBox) Error: Not enough disk space.")}));
    EXPECT_FALSE(out.AppendLine({QStringLiteral("x")}));
    EXPECT_EQ(readBytes(out.indexPath()), original);
}

TEST_F(OutboxStore, DistressAlertLineHasTheTwentyOnePositions) {
    cOutBox out(*config);
    DistressAlertRecord alert{QStringLiteral("Distress"),
                              QStringLiteral("MRCC"),
                              0,
                              QStringLiteral("Fire"),
                              QDateTime(QDate(2013, 1, 3), QTime(9, 5)),
                              QStringLiteral("Sending")};
    ASSERT_TRUE(out.AddDistressAlert(alert));
    EXPECT_EQ(readBytes(out.indexPath()),
              QByteArray("Distress;MRCC;Auto;Fire;13-01-03;09:05;-;-;Sending;0;0;0;0;0;0;0;0;SEARCH & RESCUE;;;"
                         "SEARCH & RESCUE\r\n"));
    alert.LesNumber = 102;
    ASSERT_TRUE(out.AddDistressAlert(alert));
    EXPECT_EQ(out.ReadIndex()[1][OutIdx::Les], QStringLiteral("102"));
    EXPECT_EQ(out.ReadIndex()[1].size(), 21);
}

TEST_F(OutboxStore, Bodies) {
    cOutBox out(*config);
    ASSERT_TRUE(out.SaveMessage(QStringLiteral("body\r\n"), QStringLiteral("13010301.out")));
    EXPECT_EQ(out.GetOutBoxMessage(QStringLiteral("13010301.out")), QStringLiteral("body\r\n"));
    EXPECT_EQ(out.ReadBody(QStringLiteral("13010301.out")), QStringLiteral("body\r\n"));
    EXPECT_EQ(out.GetOutBoxMessage(QStringLiteral("gone.out")),
              QStringLiteral("'gone.out' Does not exist!\r\nThe file might have been manually deleted by operator."));
    EXPECT_FALSE(out.SaveMessage(QStringLiteral("x"), QStringLiteral("../escape.out")));
    EXPECT_FALSE(QFileInfo::exists(data() + QStringLiteral("escape.out")));
}

using StoreStartup = StoreTest;

TEST_F(StoreStartup, CreatesFoldersAndIndexFiles) {
    for (const QString& f : {StoreFolderPath(*config, kEgcKey) + QStringLiteral("EGC.IDX"),
                             inbox() + QStringLiteral("IN.IDX"), outbox() + QStringLiteral("OUT.IDX"),
                             StoreFolderPath(*config, kAddressBookKey) + QStringLiteral("address.dat")})
        EXPECT_TRUE(QFileInfo(f).isFile()) << f.toStdString();
    // Keys the configuration lacks get the default sub-folder of the data folder.
    EXPECT_EQ(StoreFolderPath(*config, kDraftsKey), data() + QStringLiteral("Drafts/"));
    EXPECT_TRUE(QFileInfo(data() + QStringLiteral("Saved files")).isDir());
}

TEST_F(StoreStartup, UnusableFolderFallsBackToTheDefaultAndIsAnnounced) {
    // A file where the folder should be: no permission bits involved, so it holds for root too.
    writeBytes(data() + QStringLiteral("blocked"), "x");
    config->SetIni(QStringLiteral("[inbox]"), data() + QStringLiteral("blocked/inbox/"));
    SystemClock clock;
    cInfoLog infoLog(data(), clock);
    const StoreCheckResult r = CheckStoreFolders(*config, &infoLog);
    const QString expected = data() + QStringLiteral("Inbox/");
    EXPECT_EQ(config->GetIni(QStringLiteral("[inbox]")), expected);
    ASSERT_EQ(r.infoMessages.size(), 1);
    EXPECT_EQ(r.infoMessages[0],
              QStringLiteral("The directory of inbox has been changed to '") + expected + QStringLiteral("'."));
    EXPECT_TRUE(readBytes(data() + QStringLiteral("InfoLog.txt")).contains("The directory of inbox has been changed"));
    EXPECT_TRUE(QFileInfo(expected + QStringLiteral("IN.IDX")).isFile());
    // The new path was stored for the next start.
    EXPECT_TRUE(readBytes(data() + QStringLiteral("Tessaro.ini")).contains(expected.toLatin1()));
}

TEST_F(StoreStartup, OutboxIndexThatCannotBeMadeGetsTheSentItemsWarning) {
    QFile::remove(outbox() + QStringLiteral("OUT.IDX"));
    SetStoreWriteFault([](const QString& path) {
        return path.endsWith(QLatin1String("OUT.IDX")) ? FileError{13, QStringLiteral("Permission denied")}
                                                       : FileError{};
    });
    const StoreCheckResult r = CheckStoreFolders(*config, nullptr);
    EXPECT_TRUE(r.outboxIndexMissing);
    EXPECT_TRUE(r.failures.isEmpty()) << "told once, by its own warning";
    EXPECT_EQ(SentItemsWarningText(QStringLiteral("/d/"), QStringLiteral("/d/Tessaro.ini")),
              QStringLiteral("Default Sent Items Directory (/d/SentItems\\ and index file not found!\r\n\r\n"
                             "This might be because the Tessaro.ini file is from an older Tessaro installation."
                             "\r\n\r\nPlease delete /d/Tessaro.ini and restart Tessaro."));
    SetStoreWriteFault({});
    EXPECT_FALSE(CheckStoreFolders(*config, nullptr).outboxIndexMissing);
}

TEST_F(StoreStartup, RecoversWhatAnInterruptedRewriteLeftBehind) {
    const QString idx = outbox() + QStringLiteral("OUT.IDX");
    const QByteArray content = fixture("out_idx_sample.txt");
    // The old scheme died between deleting the index and renaming its work file.
    QFile::remove(idx);
    writeBytes(outbox() + QStringLiteral("OUT.BAK"), content);
    // A work file of the old scheme beside a whole index, and an unfinished atomic write.
    writeBytes(inbox() + QStringLiteral("In.bak"), "partial");
    writeBytes(inbox() + QStringLiteral("IN.IDX.a1B2c3"), "partial");
    const QByteArray inIdx = readBytes(inbox() + QStringLiteral("IN.IDX"));

    const StoreCheckResult r = CheckStoreFolders(*config, nullptr);
    EXPECT_EQ(readBytes(idx), content);
    EXPECT_EQ(filesIn(outbox()), QStringList({QStringLiteral("OUT.IDX")}));
    EXPECT_EQ(filesIn(inbox()), QStringList({QStringLiteral("IN.IDX")}));
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("IN.IDX")), inIdx);
    EXPECT_EQ(r.repairs.size(), 2);
}

TEST_F(StoreStartup, FindsAnIndexWrittenWithAnotherLetterCase) {
    QFile::remove(inbox() + QStringLiteral("IN.IDX"));
    writeBytes(inbox() + QStringLiteral("in.idx"), "IN.1:102:0:0:13-01-03 09:05:10:1:Re:No:a.in\r\n");
    CheckStoreFolders(*config, nullptr);
    EXPECT_EQ(CInbox(*config).ReadIndex().size(), 1);
    EXPECT_EQ(filesIn(inbox()), QStringList({QStringLiteral("in.idx")}));
}

using StoreNames = StoreTest;

TEST_F(StoreNames, FirstFreeCounterOfTheDay) {
    const QDate day(2013, 1, 3);
    EXPECT_EQ(NextStoreFileName(outbox(), QStringLiteral("out"), day), QStringLiteral("13010301.out"));
    for (int i = 1; i <= 99; ++i)
        writeBytes(outbox() + QStringLiteral("130103%1.out").arg(i, 2, 10, QLatin1Char('0')), "");
    EXPECT_EQ(NextStoreFileName(outbox(), QStringLiteral("out"), day), QStringLiteral("130103100.out"));
    QFile::remove(outbox() + QStringLiteral("13010305.out"));
    EXPECT_EQ(NextStoreFileName(outbox(), QStringLiteral("out"), day), QStringLiteral("13010305.out"));
    EXPECT_EQ(NextStoreFileName(outbox(), QStringLiteral("in"), day), QStringLiteral("13010301.in"));
}

TEST_F(StoreNames, ReceptionErrorCountersPerKindAndNumber) {
    ISettingsStore& s = config->settings();
    IncrementRxErrorCount(s, kRxKindInbox, 12);
    IncrementRxErrorCount(s, kRxKindInbox, 12);
    IncrementRxErrorCount(s, kRxKindInbox, 112);
    IncrementRxErrorCount(s, kRxKindEgc, 12);
    IncrementRxErrorCount(s, 7, 12);
    EXPECT_EQ(GetRxErrorCount(s, kRxKindInbox, 12), 2);
    EXPECT_EQ(GetRxErrorCount(s, kRxKindInbox, 112), 1);
    EXPECT_EQ(GetRxErrorCount(s, kRxKindEgc, 12), 1);
    EXPECT_EQ(GetRxErrorCount(s, 7, 12), 0);
    EXPECT_EQ(s.GetSettingValue(QStringLiteral("Messages"), QStringLiteral("InMsgRxErrors"), {}),
              QStringLiteral(";12,2;112,1"));
    ClearRxErrorCount(s, kRxKindInbox, 12);
    EXPECT_EQ(GetRxErrorCount(s, kRxKindInbox, 12), 0);
    EXPECT_EQ(GetRxErrorCount(s, kRxKindInbox, 112), 1);
}

} // namespace
