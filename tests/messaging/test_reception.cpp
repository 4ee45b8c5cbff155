#include "fake_host.h"
#include "store_fixture.h"

#include "config/clock.h"
#include "config/logs.h"
#include "messaging/inbox.h"
#include "messaging/reception.h"

#include <QFileInfo>

using namespace tessaro;
using tessaro::testing::FakeHost;
using tessaro::testing::StoreTest;

namespace {

QString fixtureText(const char* name) {
    return QString::fromLatin1(StoreTest::fixture(name));
}

TEST(MessageListing, BytesFreeLayoutTakesFixedColumnsAndSkipsEarlyColons) {
    const auto records = ParseMessageListing(fixtureText("listing_bytes_free.txt"));
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0].fileName(), QStringLiteral("IN.12"));
    EXPECT_EQ(records[0].size, 1234);
    EXPECT_EQ(records[0].dateTime, QDateTime(QDate(2013, 1, 3), QTime(9, 5)));
    EXPECT_EQ(records[1].size, 20);
    EXPECT_EQ(records[2].dateTime, QDateTime(QDate(2069, 12, 31), QTime(23, 59)));
}

TEST(MessageListing, PlainLayoutReadsSizeUpToBytes) {
    const auto records = ParseMessageListing(fixtureText("listing_plain.txt"));
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].name, QStringLiteral("IN"));
    EXPECT_EQ(records[0].extension, QStringLiteral("12"));
    EXPECT_EQ(records[0].size, 1234);
    EXPECT_EQ(records[0].dateTime, QDateTime(QDate(2013, 1, 3), QTime(9, 5)));
    EXPECT_EQ(records[1].dateTime.date(), QDate(1970, 1, 1));
}

TEST(MessageListing, LineEndVariantsAndTruncationAreSurvived) {
    QString lf = fixtureText("listing_bytes_free.txt");
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(ParseMessageListing(lf).size(), 3);
    QString crcrlf = fixtureText("listing_bytes_free.txt");
    crcrlf.replace(QStringLiteral("\r\n"), QStringLiteral("\r\r\n"));
    EXPECT_EQ(ParseMessageListing(crcrlf)[0].size, 1234);
    // A stray CR inside a line ends it: no value keeps a line end.
    const auto stray = ParseMessageListing(QStringLiteral("IN       1\r2       1234  13-01-03  09:05\r\n bytes free"));
    for (const ListingRecord& r : stray)
        EXPECT_FALSE(r.extension.contains(QLatin1Char('\r')));
    const QString full = fixtureText("listing_plain.txt");
    for (qsizetype cut = 0; cut < full.size(); ++cut)
        ParseMessageListing(full.left(cut)); // must not crash on any prefix
    EXPECT_TRUE(ParseMessageListing(QString()).isEmpty());
}

TEST(ReceptionLog, FixedColumnsAndCenturyRule) {
    const auto records = ParseReceptionLog(fixtureText("reception_log.txt"));
    ASSERT_EQ(records.size(), 3);
    const ReceptionLogRecord& r = records[0];
    EXPECT_EQ(r.les, 102);
    EXPECT_EQ(r.priority, 2);
    EXPECT_EQ(r.presentation, 5);
    EXPECT_EQ(r.received, QDateTime(QDate(2013, 1, 3), QTime(9, 5)));
    EXPECT_EQ(r.size, 1234);
    EXPECT_EQ(r.refNumber, 987654);
    EXPECT_EQ(r.routing, QStringLiteral("+M"));
    EXPECT_EQ(r.fileName, QStringLiteral("IN.12"));
    EXPECT_EQ(records[2].received.date(), QDate(2069, 12, 31));
    EXPECT_EQ(ParseShortDate(QStringLiteral("70-01-01")), QDate(1970, 1, 1));
    EXPECT_FALSE(ParseShortDate(QStringLiteral("xx-01-01")).isValid());
    const auto cut = ParseReceptionLog(QStringLiteral("102  1 9 5 13-01-03  09:05  12IN."));
    ASSERT_EQ(cut.size(), 1);
    EXPECT_EQ(cut[0].priority, 0); // no priority outside 0..3 is ever stored
    EXPECT_TRUE(cut[0].fileName.isEmpty());
}

struct ExtractCase {
    const char* reply;
    const char* lineEnd;
    int size;
    const char* text;
};

TEST(MessageText, CutBetweenEchoAndPrompt) {
    const ExtractCase cases[] = {
        {"ty IN.12 -b -k\r\nHello\r\ncan0:/$ ", "\r\n", 5, "Hello"},
        {"ty IN.12 -b -k\r\nHello\r\n\r\ncan1:/$ ", "\r\n", 7, "Hello\r\n"},
        {"ty IN.12 -b -k\nHello\ncan2:/$ ", "\n", 5, "Hello"},
        {"ty IN.12 -b -k\r\r\nHello\r\r\ncan0:/$ ", "\r\r\n", 5, "Hello"},
        {"ty IN.12 -b -k\r\nHel", "\r\n", 5, "Hel"}, // cut by the time-out
        {"ty IN.12 -b -k", "\r\n", 5, ""},
    };
    for (const ExtractCase& c : cases)
        EXPECT_EQ(CMessageReception::ExtractMessageText(QLatin1String(c.reply), QLatin1String(c.lineEnd), c.size),
                  QLatin1String(c.text))
            << c.reply;
}

class ReceptionCycle : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        errorLog = std::make_unique<cErrorLog>(data(), clock);
        in = std::make_unique<CInbox>(*config);
        rx = std::make_unique<CMessageReception>(*config, *in, host, *errorLog, clock);
        config->SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("NewMessageNotify"), QStringLiteral("1"));
    }

    static QString tyReply(const QString& command, const QString& body) {
        return command + QStringLiteral("\r\n") + body + QStringLiteral("\r\ncan0:/$ ");
    }
    static QString body(int size, char fill = 'a') { return QString(size, QLatin1Char(fill)); }

    // Runs the queue as the engine would until it is empty; bodies gives the text each "ty" returns.
    void runQueue(const std::function<QString(const QString& file)>& bodies) {
        for (int guard = 0; guard < 200 && !host.queue.isEmpty(); ++guard) {
            const QString cmd = host.take();
            if (cmd == QLatin1String("st -r"))
                rx->HandleLog(fixtureText("reception_log.txt"));
            else if (cmd.startsWith(QLatin1String("ty IN.")))
                rx->HandleMessage(tyReply(cmd, bodies(cmd.section(QLatin1Char(' '), 1, 1))));
            else if (cmd.startsWith(QLatin1String("delete IN."))) {
                deleted << cmd.mid(7);
                rx->HandleDelete(cmd + QStringLiteral("\r\ncan0:/$ "));
            }
        }
    }
    static QString fullBodies(const QString& file) {
        return file == QLatin1String("IN.12")   ? body(1234)
               : file == QLatin1String("IN.13") ? body(20, 'b')
                                                : body(7, 'c');
    }

    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(12, 0), Qt::UTC)};
    FakeHost host;
    std::unique_ptr<cErrorLog> errorLog;
    std::unique_ptr<CInbox> in;
    std::unique_ptr<CMessageReception> rx;
    QStringList deleted;
};

TEST_F(ReceptionCycle, ThreePrioritiesAreFetchedStoredIndexedDeletedAndAlerted) {
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    EXPECT_TRUE(host.processingMsgs);
    EXPECT_TRUE(host.messageTimer);
    EXPECT_EQ(host.queue, QStringList({QStringLiteral("st -r")}));
    runQueue(fullBodies);

    EXPECT_EQ(deleted, QStringList({QStringLiteral("IN.12"), QStringLiteral("IN.13"), QStringLiteral("IN.14")}));
    const auto rows = in->ReadIndex();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].join(QLatin1Char(':')),
              QStringLiteral("IN.12:102:2:5:13-01-03 09:05:1234:987654:+M:No:13010301.in"));
    EXPECT_EQ(rows[1][InIdx::Priority], QStringLiteral("3"));
    EXPECT_EQ(rows[2][InIdx::DateHour], QStringLiteral("69-12-31 23"));
    EXPECT_EQ(ReadIndexLines(in->inboxIdxPath()).size(), 3);
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("13010302.in")), QByteArray(20, 'b'));
    EXPECT_EQ(host.alerts,
              QStringList({QStringLiteral("URGENCY PRIORITY MESSAGE"), QStringLiteral("DISTRESS PRIORITY MESSAGE")}));
    EXPECT_EQ(host.sounds, 1);
    EXPECT_EQ(host.information, QStringList({QStringLiteral("New message received")}));
    EXPECT_FALSE(host.processingMsgs); // the last delete ended the batch
    EXPECT_FALSE(host.messageTimer);
}

TEST_F(ReceptionCycle, ShortReceptionIsRetriedTenTimesThenStoredWithANotice) {
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    int attemptsOf12 = 0;
    runQueue([&](const QString& file) {
        if (file != QLatin1String("IN.12"))
            return fullBodies(file);
        ++attemptsOf12;
        return body(100);
    });
    EXPECT_EQ(attemptsOf12, 11); // the first fetch and ten retries
    EXPECT_EQ(host.information.count(QStringLiteral("The message 'IN.12' was attempted received 10 times, but was "
                                                    "received with errors.")),
              1);
    EXPECT_EQ(in->ReadIndex().size(), 3);
    EXPECT_TRUE(deleted.contains(QStringLiteral("IN.12")));
    EXPECT_EQ(GetRxErrorCount(config->settings(), kRxKindInbox, 12), 0); // counting starts again next time
}

TEST_F(ReceptionCycle, ARetryThatCompletesStoresTheWholeMessageOnce) {
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    int attempts = 0;
    runQueue([&](const QString& file) {
        if (file == QLatin1String("IN.12") && attempts++ < 2)
            return body(10); // the link dropped twice in the middle
        return fullBodies(file);
    });
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("13010303.in")).size(), 1234);
    EXPECT_EQ(in->ReadIndex().size(), 3);
    EXPECT_TRUE(host.information.filter(QStringLiteral("attempted")).isEmpty());
}

TEST_F(ReceptionCycle, RefusedFetchStoresRetriesAndDeletesNothing) {
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    int attemptsOf12 = 0;
    runQueue([&](const QString& file) {
        if (file != QLatin1String("IN.12"))
            return fullBodies(file);
        ++attemptsOf12;
        return QStringLiteral("ERROR 104: File IN.12 not found"); // deleted after it was listed
    });
    EXPECT_EQ(attemptsOf12, 1);
    EXPECT_EQ(deleted, QStringList({QStringLiteral("IN.13"), QStringLiteral("IN.14")}));
    EXPECT_EQ(in->ReadIndex().size(), 2);
    EXPECT_TRUE(host.information.filter(QStringLiteral("attempted")).isEmpty());
    EXPECT_FALSE(host.processingMsgs);

    // A fetch of a file no listing knows (expected size 0) is not stored either; a body that merely
    // starts like an error line is.
    host.queue.clear();
    rx->HandleMessage(tyReply(QStringLiteral("ty IN.99 -b -k"), QStringLiteral("ERROR 104: File IN.99 not found")));
    EXPECT_TRUE(host.queue.isEmpty());
    EXPECT_EQ(in->ReadIndex().size(), 2);
    rx->HandleMessage(tyReply(QStringLiteral("ty IN.98 -b -k"), QStringLiteral("ERROR 1: x\r\nsecond line")));
    EXPECT_EQ(host.queue, QStringList({QStringLiteral("delete IN.98")}));
    EXPECT_EQ(in->ReadIndex().size(), 3);
}

TEST_F(ReceptionCycle, UnwritableStoreKeepsMessagesInTheTransceiverAndTellsOnce) {
    // A file where the inbox folder should be: writes fail even for root.
    QDir(inbox()).removeRecursively();
    writeBytes(inbox().chopped(1), "not a folder");
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    runQueue(fullBodies);
    EXPECT_TRUE(deleted.isEmpty());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_TRUE(host.boxes[0].text.startsWith(QStringLiteral("(Inbox.HandleMessage) Error '")));
    EXPECT_EQ(host.boxes[0].style, MessageStyle::Critical);
    EXPECT_FALSE(host.processingMsgs); // the batch ends; the next poll tries again
    EXPECT_TRUE(readBytes(data() + QStringLiteral("ErrorLog.txt")).contains("(Inbox.HandleMessage) Error"));

    // The folder comes back: the next cycle stores and deletes everything.
    QFile::remove(inbox().chopped(1));
    QDir().mkpath(inbox());
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    runQueue(fullBodies);
    EXPECT_EQ(deleted.size(), 3);
    EXPECT_EQ(in->ReadIndex().size(), 3);
}

TEST_F(ReceptionCycle, DiskFullOnTheSecondIndexIsRepairedWithoutASecondBody) {
    SetStoreWriteFault([](const QString& path) {
        return path.endsWith(QLatin1String("Inbox.idx")) ? FileError{28, QStringLiteral("No space left on device")}
                                                         : FileError{};
    });
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    runQueue(fullBodies);
    EXPECT_TRUE(deleted.isEmpty());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_TRUE(host.boxes[0].text.startsWith(QStringLiteral("(Inbox.HandleMessage) Error: Not enough disk space.")));
    EXPECT_EQ(in->ReadIndex().size(), 3);

    SetStoreWriteFault({});
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    runQueue(fullBodies);
    EXPECT_EQ(deleted.size(), 3);
    EXPECT_EQ(in->ReadIndex().size(), 3);
    EXPECT_EQ(ReadIndexLines(in->inboxIdxPath()).size(), 3);
    EXPECT_EQ(filesIn(inbox()).filter(QStringLiteral(".in")).size(), 3);
    EXPECT_EQ(host.alerts.size(), 2); // alerted once, when the message was complete on disk
}

TEST_F(ReceptionCycle, AMessageWhoseDeleteWasLostIsNotStoredTwice) {
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    runQueue([&](const QString& file) { return fullBodies(file); });
    ASSERT_EQ(in->ReadIndex().size(), 3);
    // The deletes never reached the transceiver: the same files are listed again, by a fresh handler too.
    CMessageReception again(*config, *in, host, *errorLog, clock);
    host.processingMsgs = false;
    again.HandleListing(fixtureText("listing_bytes_free.txt"));
    host.take();
    again.HandleLog(fixtureText("reception_log.txt"));
    while (!host.queue.isEmpty()) {
        const QString cmd = host.take();
        if (cmd.startsWith(QLatin1String("ty ")))
            again.HandleMessage(tyReply(cmd, fullBodies(cmd.section(QLatin1Char(' '), 1, 1))));
        else
            deleted << cmd;
    }
    EXPECT_EQ(in->ReadIndex().size(), 3);
    EXPECT_EQ(filesIn(inbox()).filter(QStringLiteral(".in")).size(), 3);
    EXPECT_EQ(deleted.filter(QStringLiteral("delete IN.")).size(), 3);
    EXPECT_EQ(host.alerts.size(), 2);
}

TEST_F(ReceptionCycle, MessageMissingFromTheLogIsStillKeptAndDeleted) {
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    host.take();
    rx->HandleLog(QStringLiteral("st -r\r\ncan0:/$ "));
    host.queue.clear();
    rx->HandleMessage(tyReply(QStringLiteral("ty IN.13 -b -k"), body(20)));
    EXPECT_TRUE(readBytes(data() + QStringLiteral("ErrorLog.txt"))
                    .contains("A message was received that was not found in the In Log"));
    EXPECT_EQ(host.queue, QStringList({QStringLiteral("delete IN.13")}));
    const auto rows = in->ReadIndex();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][InIdx::DateHour] + QLatin1Char(':') + rows[0][InIdx::Minutes], QStringLiteral("13-01-03 10:15"));
}

TEST_F(ReceptionCycle, RemoteConfigurationPacketIsDeletedNotStored) {
    QStringList handed;
    rx->setRemoteConfigHandler([&](const QString& text, const QString& file) {
        handed << file;
        return text.startsWith(QLatin1String("CFG"));
    });
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    host.take();
    rx->HandleLog(fixtureText("reception_log.txt"));
    host.queue.clear();
    rx->HandleMessage(tyReply(QStringLiteral("ty IN.14 -b -k"), QStringLiteral("CFG1234")));
    EXPECT_EQ(handed, QStringList({QStringLiteral("IN.14")}));
    EXPECT_EQ(host.queue, QStringList({QStringLiteral("delete IN.14")}));
    EXPECT_TRUE(in->ReadIndex().isEmpty());
}

TEST_F(ReceptionCycle, ModelsWithoutKeepOptionGetThePlainTyForm) {
    host.productModel = 6;
    EXPECT_EQ(rx->TyCommand(QStringLiteral("IN.3")), QStringLiteral("ty IN.3 -b"));
    host.productModel = 2;
    EXPECT_EQ(rx->TyCommand(QStringLiteral("IN.3")), QStringLiteral("ty IN.3 -b -k"));
}

TEST_F(ReceptionCycle, EmptyListingEndsTheBatchAtOnceAndTheWatchdogEndsAStall) {
    rx->HandleListing(QStringLiteral("ls IN.*\r\n     180224 bytes free\r\ncan0:/$ "));
    host.take();
    rx->HandleLog(fixtureText("reception_log.txt"));
    EXPECT_FALSE(host.processingMsgs);
    EXPECT_TRUE(host.queue.isEmpty());

    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    EXPECT_TRUE(host.processingMsgs);
    rx->MessageTimerExpired();
    EXPECT_FALSE(host.processingMsgs);
    EXPECT_FALSE(host.messageTimer);
}

TEST_F(ReceptionCycle, PrintsIncomingMessagesOnFamiliesFourAndFive) {
    config->SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintIncomingMsg"), QStringLiteral("1"));
    host.productType = 5;
    rx->HandleListing(fixtureText("listing_bytes_free.txt"));
    runQueue(fullBodies);
    EXPECT_EQ(host.printed.size(), 3);
}

} // namespace
