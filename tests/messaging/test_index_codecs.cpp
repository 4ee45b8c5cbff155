#include "store_fixture.h"

#include "messaging/in_idx.h"
#include "messaging/inbox.h"
#include "messaging/inbox_idx.h"
#include "messaging/out_idx.h"
#include "messaging/outbox.h"

using namespace tessaro;
using tessaro::testing::StoreTest;

namespace {

// Index lines are bytes: every test line goes through Latin-1 as the store reads it.
QString bytes(const char* text) {
    return QString::fromLatin1(text);
}

// Lines as the store hands them to the codecs: one per line end, without the CR LF.
QStringList fixtureLines(const char* name) {
    QStringList lines = QString::fromLatin1(StoreTest::fixture(name)).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

template <typename Parse, typename Format> void expectRoundTrip(const QStringList& lines, Parse parse, Format format) {
    for (const QString& line : lines) {
        SCOPED_TRACE(line.toLatin1().toStdString());
        const auto record = parse(line);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(format(*record).toLatin1(), line.toLatin1());
    }
}

// ---- OUT.IDX ----

const char* const kOddOutLines[] = {
    // written by the sender, the distress handling and other tests
    "13010301.out;4711,4712;102;Telex 5 Bit;13-01-03;09:05; 0;<None>;Initiated;0;0;0;0;03;01;09;05;Joe,4712;;;Sub",
    "Distress;MRCC;Auto;Fire;13-01-03;09:05;-;-;Sending;0;0;0;0;0;0;0;0;SEARCH & RESCUE;;;SEARCH & RESCUE",
    "7.out;4711;102;Telex 7 Bit;13-01-03;09:05; 1234;REF7;Delivered;0;0;0;0;03;01;09;05;4711;;;Subject 7",
    // numbers and flags that lenient reading understands but would not write so
    "a.out;x;0102;Fax 8 Bit;13-01-03;09:05;1234;555; Delivered ; 1;01;7;yes;aa;bb;cc;dd;To;Cc;Bcc;S",
    // every value empty, and a subject holding the separator several times
    ";;;;;;;;;;;;;;;;;;;;",
    "b.out;x;102;Telex;13-01-03;09:05; 5;9;Sending;0;0;0;0;01;03;09;06;x;;;a;b;;c;",
    // short lines: the readers take what they find
    "short;line",
    "lonely",
    "c.out;x;102;Telex;13-01-03;09:05; 5;9;Sending",
    // Latin-1 bytes and a stray CR inside values and at the end
    "\xe9t\xe9.out;\x80\xff;102;Telex;13-01-03;09:05; 5;9;Sending;0;0;0;0;01;03;09;06;J\xf6rg;;;Gr\xfc\xdf\r",
    "d.out;x\ry;102;Telex;13-01-03;09:05; 5;9;Sending;0;0;0;0;01;03;09;06;x;;;s",
    // status words written elsewhere and words this program never writes
    "e.out;x;102;Telex;13-01-03;09:05; 5;9;Conf.OK;0;0;0;0;01;03;09;06;x;;;s",
    "f.out;x;102;Telex;13-01-03;09:05; 5;9;ConfOk;0;0;0;0;01;03;09;06;x;;;s",
    "g.out;x;102;Telex;13-01-03;09:05; 5;55;Failed. Error code: '17';0;0;0;0;01;03;09;06;x;;;s",
    "h.out;x;102;Telex;13-01-03;09:05; 5;TX-Error;Queued by hand;0;0;0;0;01;03;09;06;x;;;s",
};

TEST(OutIdxCodec, EveryLineComesBackByteForByte) {
    QStringList sample = fixtureLines("out_idx_sample.txt");
    ASSERT_EQ(sample.removeAll(QString()), 1);
    expectRoundTrip(sample, OutIdx::parse, OutIdx::format);
    QStringList odd;
    for (const char* line : kOddOutLines)
        odd << bytes(line);
    expectRoundTrip(odd, OutIdx::parse, OutIdx::format);
    EXPECT_EQ(OutIdx::parse(QString()), std::nullopt); // an empty line is no record
}

TEST(OutIdxCodec, ValuesAreReadLenientlyAndShortLinesSayWhatTheyHave) {
    const OutIdxRecord r = *OutIdx::parse(bytes(kOddOutLines[3]));
    EXPECT_EQ(r.valueCount, OutIdx::Count);
    EXPECT_EQ(r.lesNumber(), 102);
    EXPECT_EQ(r.Status, OutboxStatus::Delivered);
    EXPECT_EQ(r.Status.text(), QStringLiteral(" Delivered "));
    EXPECT_TRUE(r.RequestConfirmation);
    EXPECT_FALSE(r.PrintMessage); // "01" is not "1"
    EXPECT_EQ(r.OptionFlag, QStringLiteral("yes"));
    EXPECT_EQ(r.DateParts[1], QStringLiteral("bb"));
    EXPECT_EQ(r.TimeParts[0], QStringLiteral("cc"));
    EXPECT_EQ(r.BccText, QStringLiteral("Bcc"));

    const OutIdxRecord semicolons = *OutIdx::parse(bytes(kOddOutLines[5]));
    EXPECT_EQ(semicolons.Subject, QStringLiteral("a;b;;c;"));
    EXPECT_EQ(OutIdx::values(semicolons).size(), OutIdx::Count);

    const OutIdxRecord shortLine = *OutIdx::parse(bytes(kOddOutLines[8]));
    EXPECT_EQ(shortLine.valueCount, OutIdx::Status + 1);
    EXPECT_EQ(shortLine.Status, OutboxStatus::Sending);
    EXPECT_TRUE(shortLine.Subject.isEmpty());
}

TEST(OutIdxCodec, AChangedValueIsWrittenAndEveryOtherKeepsItsBytes) {
    OutIdxRecord r = *OutIdx::parse(bytes(kOddOutLines[3]));
    r.Reference = QStringLiteral("777");
    r.Status = OutboxStatus::ConfReq;
    EXPECT_EQ(
        OutIdx::format(r),
        QStringLiteral("a.out;x;0102;Fax 8 Bit;13-01-03;09:05;1234;777;ConfReq; 1;01;7;yes;aa;bb;cc;dd;To;Cc;Bcc;S"));
    // A flag set to what the line already says keeps its text; a new value gets the written form.
    r.RequestConfirmation = true;
    r.PrintMessage = true;
    EXPECT_TRUE(OutIdx::format(r).contains(QStringLiteral(";ConfReq; 1;1;7;")));

    OutIdxRecord odd = *OutIdx::parse(bytes(kOddOutLines[9]));
    odd.Status = OutboxStatus::Delivered;
    EXPECT_EQ(OutIdx::format(odd).toLatin1(),
              QByteArray("\xe9t\xe9.out;\x80\xff;102;Telex;13-01-03;09:05; 5;9;Delivered;0;0;0;0;01;03;09;06;J\xf6rg;;;"
                         "Gr\xfc\xdf\r"));
    // A value given here with a line break would split the record.
    odd.Subject = QStringLiteral("two\r\nlines");
    EXPECT_TRUE(OutIdx::format(odd).endsWith(QStringLiteral(";two  lines")));
}

TEST(OutIdxCodec, ARecordMadeHereHasTheTwentyOnePositions) {
    OutIdxRecord r;
    r.FileName = QStringLiteral("13010301.out");
    r.Reference = kNoReference;
    r.Status = OutboxStatus::Initiated;
    r.RequestConfirmation = true;
    r.ToText = QStringLiteral("Joe");
    r.Subject = QStringLiteral("Hello; world");
    EXPECT_EQ(OutIdx::format(r), QStringLiteral("13010301.out;;;;;;;<None>;Initiated;1;0;;;;;;;Joe;;;Hello; world"));
    EXPECT_EQ(OutIdx::format(OutIdx::fromValues(OutIdx::values(r))), OutIdx::format(r));
}

struct StatusCase {
    const char* text;
    OutboxStatus kind;
    bool canonical; // the kind's own word writes exactly this text
};

TEST(OutboxStatusWords, EachStoredSpellingHasItsKind) {
    const StatusCase cases[] = {
        {"Initiated", OutboxStatus::Initiated, true},
        {"Sending", OutboxStatus::Sending, true},
        {"Delivered", OutboxStatus::Delivered, true},
        {"ConfReq", OutboxStatus::ConfReq, true},
        {"Conf.Ok", OutboxStatus::ConfOk, true},
        {"Conf.OK", OutboxStatus::ConfOkCapitalK, true},
        {"ConfOk", OutboxStatus::ConfOkNoDot, true},
        {"Failed", OutboxStatus::Failed, true},
        {"PC Cleared", OutboxStatus::PcCleared, true},
        {"MES Cleared", OutboxStatus::MesCleared, true},
        {"Failed. Error code: '17'", OutboxStatus::FailedWithCode, false},
        {" Sending ", OutboxStatus::Sending, false},
        {"sending", OutboxStatus::Other, false},
        {"Conf.ok", OutboxStatus::Other, false},
        {"<None>", OutboxStatus::Other, false},
        {"", OutboxStatus::Other, true},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QLatin1String(c.text);
        EXPECT_EQ(ParseOutboxStatus(text), c.kind);
        const OutboxStatusWord read = OutboxStatusWord::fromText(text);
        EXPECT_EQ(read, c.kind);
        EXPECT_EQ(read.text(), text);
        if (c.canonical) {
            EXPECT_EQ(OutboxStatusWord(c.kind).text(), text);
        }
    }
    const OutboxStatusWord failed = OutboxStatusWord::failedWithCode(QStringLiteral("17"));
    EXPECT_EQ(failed, OutboxStatus::FailedWithCode);
    EXPECT_EQ(failed.text(), QStringLiteral("Failed. Error code: '17'"));
    EXPECT_FALSE(failed == OutboxStatus::Failed);
}

TEST(OutboxStatusWords, OnlyInitiatedAndSendingAreUnsent) {
    for (int k = int(OutboxStatus::Other); k <= int(OutboxStatus::MesCleared); ++k) {
        const auto kind = OutboxStatus(k);
        EXPECT_EQ(IsUnsent(kind), kind == OutboxStatus::Initiated || kind == OutboxStatus::Sending) << k;
    }
}

// ---- IN.IDX ----

const char* const kInLines[] = {
    // written by the reception, the benchmarks and the grid tests
    "IN.12:102:2:5:13-01-03 09:05:1234:987654:+M:No:13010301.in",
    "IN.5:102:0:5:13-01-03 09:05:1234:5:+M:No:5.in",
    "IN.1:112:0:0:26-01-02 10:00:5:4711:Mem:Yes:keep.in",
    // numbers with blanks and leading zeros, a read flag in another case
    "IN.7: 0102:02:5: 13-01-03 09:05 :01234:-1:+M: yes :a.in",
    // a file name written elsewhere with colons, empty values, a time that is no time
    "IN.8:102:0:0:13-01-03 09:05:10:1:Re:No:C:\\mail\\b.in",
    "::::::::::",
    "IN.9:102:0:0:yesterday:noon:10:1:Re:No:c.in",
    // Latin-1 bytes and a stray CR
    "IN.10:102:3:7:69-12-31 23:59:10:1:\xe9\xff\x80:No:d.in\r",
    "IN.11:102:1:0:70-01-01 00:00:10:1:R\re:No:e.in",
};

TEST(InIdxCodec, EveryLineComesBackByteForByte) {
    QStringList lines;
    for (const char* line : kInLines)
        lines << bytes(line);
    expectRoundTrip(lines, InIdx::parse, InIdx::format);
}

TEST(InIdxCodec, LinesWithoutTheElevenPositionsAreNoMessages) {
    for (const char* line : {"", "IN.1:102:0:0:13-01-03 09:05:10:1:Re:No", "IN.1:102:0:0:13-01-03:10:1:Re:No:a.in"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(InIdx::parse(bytes(line)), std::nullopt);
    }
}

TEST(InIdxCodec, TypedValuesOfALine) {
    const InIdxRecord r = *InIdx::parse(bytes(kInLines[0]));
    EXPECT_EQ(r.ModemFileName, QStringLiteral("IN.12"));
    EXPECT_EQ(r.LES, 102);
    EXPECT_EQ(r.Priority, 2);
    EXPECT_EQ(r.Bits, 5);
    EXPECT_EQ(r.Received, QDateTime(QDate(2013, 1, 3), QTime(9, 5)));
    EXPECT_EQ(r.Size, 1234);
    EXPECT_EQ(r.Refnumber, 987654);
    EXPECT_EQ(r.Routing, QStringLiteral("+M"));
    EXPECT_FALSE(r.Read);
    EXPECT_EQ(r.DiskFileName, QStringLiteral("13010301.in"));

    const InIdxRecord odd = *InIdx::parse(bytes(kInLines[3]));
    EXPECT_EQ(odd.LES, 102);
    EXPECT_EQ(odd.Received, QDateTime(QDate(2013, 1, 3), QTime(9, 5)));
    EXPECT_EQ(odd.Refnumber, -1);
    EXPECT_TRUE(odd.Read); // only "No" is unread
    EXPECT_EQ(InIdx::parse(bytes(kInLines[4]))->DiskFileName, QStringLiteral("C:\\mail\\b.in"));
    EXPECT_FALSE(InIdx::parse(bytes(kInLines[6]))->Received.isValid());
    // Two-digit years below 70 are 20yy.
    EXPECT_EQ(InIdx::parse(bytes(kInLines[7]))->Received.date(), QDate(2069, 12, 31));
    EXPECT_EQ(InIdx::parse(bytes(kInLines[8]))->Received.date(), QDate(1970, 1, 1));
}

TEST(InIdxCodec, MarkingReadChangesOnlyTheReadPosition) {
    InIdxRecord r = *InIdx::parse(bytes(kInLines[7]));
    r.Read = true;
    EXPECT_EQ(InIdx::format(r).toLatin1(), QByteArray("IN.10:102:3:7:69-12-31 23:59:10:1:\xe9\xff\x80:Yes:d.in\r"));
    r.Received = QDateTime(QDate(2013, 1, 3), QTime(9, 5, 59));
    r.LES = 112;
    EXPECT_TRUE(InIdx::format(r).startsWith(QStringLiteral("IN.10:112:3:7:13-01-03 09:05:10:")));
}

// ---- Inbox.idx ----

QString boxLine(QStringList values) {
    return values.join(QChar(2));
}

QStringList inboxLines() {
    const QString full =
        boxLine({QStringLiteral("IN.1"), QStringLiteral("0"), QStringLiteral("MES"),
                 QStringLiteral("shore@example.com"), QStringLiteral("read one"), QStringLiteral("2026-01-02 10:00:00"),
                 QStringLiteral("112"), QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("4711"),
                 QStringLiteral("Mem"), QStringLiteral("255"), QStringLiteral("26010201.in")});
    return {
        full,
        // the reception's line, empty addresses and subject
        bytes("IN.12\x02"
              "2\x02\x02\x02\x02"
              "2013-01-03 09:05:00\x02"
              "102\x02"
              "5\x02"
              "1234\x02"
              "987654\x02+M\x02"
              "0\x02"
              "13010301.in"),
        // short lines, as a damaged index holds them
        bytes("IN.9\x02"
              "2"),
        QStringLiteral(" "),
        // values after the thirteenth, numbers that are no numbers, a time in another form
        full + QChar(2) + QStringLiteral("FollowUp") + QChar(2),
        bytes("IN.2\x02 3\x02\x02\x02\x02"
              "02.01.2026\x02"
              "0112\x02x\x02\x02-5\x02\x02"
              "abc\x02"
              "f.in"),
        // Latin-1 bytes and stray CRs
        bytes("IN.3\x02"
              "1\x02J\xf6rg\x02\xff\x80\x02Sub\rject\x02"
              "2026-01-02 10:00:00\x02"
              "112\x02"
              "0\x02"
              "10\x02"
              "1\x02R\x02"
              "0\x02g.in\r"),
    };
}

TEST(InboxIdxCodec, EveryLineComesBackByteForByte) {
    expectRoundTrip(inboxLines(), InboxIdx::parse, InboxIdx::format);
    EXPECT_EQ(InboxIdx::parse(QString()), std::nullopt);
}

TEST(InboxIdxCodec, ShortLinesAreRecordsButNotComplete) {
    const QStringList lines = inboxLines();
    const InboxIdxRecord full = *InboxIdx::parse(lines[0]);
    EXPECT_TRUE(full.complete());
    EXPECT_TRUE(full.isRead());
    EXPECT_EQ(full.Received, QDateTime(QDate(2026, 1, 2), QTime(10, 0)));
    EXPECT_EQ(full.DiskFileName, QStringLiteral("26010201.in"));

    const InboxIdxRecord shortLine = *InboxIdx::parse(lines[2]);
    EXPECT_FALSE(shortLine.complete());
    EXPECT_EQ(shortLine.valueCount, 2);
    EXPECT_EQ(shortLine.Priority, 2);
    EXPECT_FALSE(shortLine.isRead()); // a line without a read flag must not hide a message as read

    const InboxIdxRecord extra = *InboxIdx::parse(lines[4]);
    EXPECT_EQ(extra.DiskFileName, QStringLiteral("26010201.in"));
    EXPECT_EQ(extra.extra, QStringList({QStringLiteral("FollowUp"), QString()}));

    const InboxIdxRecord odd = *InboxIdx::parse(lines[5]);
    EXPECT_EQ(odd.Priority, 3);
    EXPECT_EQ(odd.LES, 112);
    EXPECT_FALSE(odd.Received.isValid());
    EXPECT_EQ(odd.Read, 0); // damaged: unread, so nothing is missed
}

TEST(InboxIdxCodec, MarkingReadChangesOnlyTheReadValue) {
    InboxIdxRecord r = *InboxIdx::parse(inboxLines()[6]);
    r.Read = 255;
    const QStringList values = InboxIdx::format(r).split(QChar(2));
    const QStringList before = inboxLines()[6].split(QChar(2));
    ASSERT_EQ(values.size(), before.size());
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i], i == InboxIdx::Read ? QStringLiteral("255") : before[i]) << i;
}

// ---- the stores keep what they do not change ----

using IndexRewrites = StoreTest;

TEST_F(IndexRewrites, AnOutboxUpdateChangesOnlyTheStatusOfTheMatchingLine) {
    QByteArray original;
    for (const char* line : kOddOutLines)
        original += QByteArray(line) + "\r\n";
    writeBytes(outbox() + QStringLiteral("OUT.IDX"), original);
    cOutBox out(*config);
    ASSERT_EQ(out.UpdateOutBoxFile(bytes("\xe9t\xe9.out"), {}, OutboxStatus::Delivered, false), 1);
    QByteArray expected = original;
    expected.replace("09:05; 5;9;Sending;0;0;0;0;01;03;09;06;J\xf6rg",
                     "09:05; 5;9;Delivered;0;0;0;0;01;03;09;06;J\xf6rg");
    EXPECT_EQ(readBytes(out.indexPath()), expected);
    // By kind: the word written elsewhere ("Conf.OK") is matched and replaced as a whole.
    ASSERT_EQ(out.UpdateOutBox({}, QStringLiteral("9"), OutboxStatus::ConfOkCapitalK, QStringLiteral("10"),
                               OutboxStatus::ConfOk, true),
              1);
    EXPECT_TRUE(readBytes(out.indexPath()).contains("e.out;x;102;Telex;13-01-03;09:05; 5;10;Conf.Ok;0;"));
    ASSERT_EQ(out.UpdateOutBoxFile(QStringLiteral("g.out"), {}, OutboxStatusWord::failedWithCode(QStringLiteral("18")),
                                   false),
              1);
    EXPECT_TRUE(
        readBytes(out.indexPath()).contains("g.out;x;102;Telex;13-01-03;09:05; 5;55;Failed. Error code: '18';"));
}

TEST_F(IndexRewrites, RecordsOfTheOutboxAndLinesForOlderCallers) {
    writeBytes(outbox() + QStringLiteral("OUT.IDX"), fixture("out_idx_sample.txt"));
    cOutBox out(*config);
    const QVector<OutIdxRecord> records = out.ReadRecords();
    ASSERT_EQ(records.size(), 5); // the empty line is no record
    EXPECT_EQ(records[2].Subject, QStringLiteral("Fax; with semicolon"));
    EXPECT_EQ(records[3].valueCount, 2);
    EXPECT_EQ(records[4].Status, OutboxStatus::Initiated);
    const QVector<QStringList> rows = out.ReadIndex();
    ASSERT_EQ(rows.size(), records.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], OutIdx::values(records[i])) << i;
}

TEST_F(IndexRewrites, MarkingReadKeepsEveryOtherByteOfBothIndexes) {
    const QByteArray in = QByteArray(kInLines[7]) + "\r\n" + kInLines[3] + "\r\n";
    QByteArray box;
    for (const QString& line : inboxLines())
        box += line.toLatin1() + "\r\n";
    writeBytes(inbox() + QStringLiteral("IN.IDX"), in);
    writeBytes(inbox() + QStringLiteral("Inbox.idx"), box);
    CInbox store(*config);
    ASSERT_TRUE(store.SetReadState(QStringLiteral("d.in"), true));
    QByteArray expectedIn = in;
    expectedIn.replace(":No:d.in", ":Yes:d.in");
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("IN.IDX")), expectedIn);
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("Inbox.idx")), box); // no complete line names d.in

    ASSERT_TRUE(store.SetReadState(QStringLiteral("g.in"), true));
    QByteArray expectedBox = box;
    expectedBox.replace("\x02R\x02"
                        "0\x02g.in",
                        "\x02R\x02"
                        "255\x02g.in");
    EXPECT_EQ(readBytes(inbox() + QStringLiteral("Inbox.idx")), expectedBox);
}

} // namespace
