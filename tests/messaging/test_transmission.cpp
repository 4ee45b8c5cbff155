#include "fake_host.h"
#include "store_fixture.h"

#include "config/clock.h"
#include "messaging/cyrillic.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"
#include "messaging/transmission_replies.h"

using namespace tessaro;
using tessaro::testing::FakeHost;
using tessaro::testing::StoreTest;

namespace {

class Sending : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        outboxStore = std::make_unique<cOutBox>(*config);
        config->SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
        config->SetIni(QStringLiteral("[Default ISP]"), QStringLiteral("Vizada SkyFile C 01"));
        providers = LoadProviders(data());
    }
    CTransmission make() { return CTransmission(*config, *outboxStore, host, transfers, clock); }
    const ServiceProvider* provider(const char* name) { return FindProvider(providers, QLatin1String(name)); }

    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(9, 5), Qt::UTC)};
    FakeHost host;
    PendingTransfers transfers;
    std::unique_ptr<cOutBox> outboxStore;
    QVector<ServiceProvider> providers;
};

TEST_F(Sending, SetDestinationTable) {
    struct Case {
        int type;
        int presentation;
        const char* provider;
        const char* given;
        int network;
        const char* extra;
    };
    const Case cases[] = {
        {EMail, 0, "Vizada SkyFile C 01", "", 6, "28"},
        {EMail, 0, "Telemar X25", "", 3, ""},
        {Telex, 0, nullptr, "", 0, ""},
        {Fax, 0, nullptr, "", 1, "T30"},
        {InmC, 0, nullptr, "", 0, ""},
        {InmC, 7, nullptr, "", 3, ""},
        {PSTN, 0, nullptr, "", 1, "V22B"},
        {SAC, 0, nullptr, "32", 6, "32"},
        {DNID, 0, nullptr, "12345,7", 5, "12345,7"},
        {X25, 0, nullptr, "", 3, ""},
        {SMS, 0, "Vizada SkyFile C 01", "", 6, "66"},
    };
    for (const Case& c : cases) {
        CTransmission t = make();
        t.SetPresentation(quint8(c.presentation));
        ASSERT_TRUE(t.SetDestination(c.type, c.provider ? provider(c.provider) : nullptr, QLatin1String(c.given)))
            << c.type;
        EXPECT_EQ(t.NetworkType, c.network) << c.type;
        EXPECT_EQ(t.ExtraDestination, QLatin1String(c.extra)) << c.type;
    }
    EXPECT_FALSE(make().SetDestination(EMail, nullptr));
}

TEST_F(Sending, OutFileNamesAndTheirTransceiverNames) {
    CTransmission t = make();
    EXPECT_EQ(t.CreateOutFileName(), QStringLiteral("13010301.out"));
    writeBytes(outbox() + QStringLiteral("13010301.out"), "");
    EXPECT_EQ(t.CreateOutFileName(), QStringLiteral("13010302.out"));
    EXPECT_EQ(CTransmission::TransceiverFileNameOf(QStringLiteral("13010302.out")), QStringLiteral("13010302.out"));
    EXPECT_EQ(CTransmission::TransceiverFileNameOf(QStringLiteral("130103100.out")), QStringLiteral("13010300.out"));
}

TEST_F(Sending, ConvertAddressesTable) {
    struct Case {
        int type;
        const char* in;
        bool eightBit;
        const char* out;
    };
    const Case cases[] = {
        {Fax, "+4940123", false, "4940123"},     {Fax, "004940123", false, "4940123"},
        {Telex, "00+123", false, "123"},         {InmC, "581234567", true, "1111234567"},
        {InmC, "581234567", false, "581234567"}, {X25, "584000", false, "1114000"},
        {X25, "585000", false, "585000"},        {EMail, "+a@b.c", false, "+a@b.c"},
    };
    for (const Case& c : cases) {
        CTransmission t = make();
        t.setEightBitLookup([&](const QString&) { return c.eightBit; });
        t.Message.SetAddresses(c.type, FieldCc, QLatin1String(c.in));
        ASSERT_TRUE(t.ConvertAddresses());
        EXPECT_EQ(t.Message.GetAddresses(c.type, FieldCc), QLatin1String(c.out)) << c.in;
    }
    CTransmission safety = make();
    safety.Priority = 1;
    safety.Message.SetAddresses(Fax, FieldTo, QStringLiteral("+49"));
    safety.ConvertAddresses();
    EXPECT_EQ(safety.Message.GetAddresses(Fax, FieldTo), QStringLiteral("+49"));
}

TEST_F(Sending, EmailIsFormattedWithTheProviderTemplates) {
    CTransmission t = make();
    t.SetDestination(EMail, provider("Stratos Global C-email 02"));
    t.Message.SetAddresses(EMail, FieldTo, QStringLiteral("a@b.c;d@e.f"));
    t.Message.SetAddresses(EMail, FieldCc, QStringLiteral("g@h.i"));
    t.Message.Subject = QStringLiteral("Hi");
    t.Message.TextField = QStringLiteral("one<CRLF>two<LF>");
    ASSERT_TRUE(t.FormatMessage(provider("Stratos Global C-email 02")));
    EXPECT_EQ(t.Message.TextField, QStringLiteral("TO+a@b.c\r\nCC+d@e.f\r\nCC+g@h.i\r\nSubject: Hi\r\none\r\ntwo\n"));
    EXPECT_EQ(t.Status, 16);

    CTransmission bcc = make();
    bcc.SetDestination(EMail, provider("Vizada SkyFile C 01"));
    bcc.Message.SetAddresses(EMail, FieldBcc, QStringLiteral("x@y.z"));
    EXPECT_FALSE(bcc.FormatMessage(provider("Vizada SkyFile C 01"))); // no Bcc prefix: refused, not leaked

    CTransmission x25 = make();
    x25.SetDestination(EMail, provider("Telemar X25"));
    x25.Message.SetAddresses(EMail, FieldTo, QStringLiteral("a@b.c"));
    ASSERT_TRUE(x25.FormatMessage(provider("Telemar X25")));
    EXPECT_TRUE(x25.Message.TextField.startsWith(QStringLiteral("2403722360710+\r\nTo:a@b.c\r\n")));
}

TEST_F(Sending, CommandLinesAreExact) {
    CTransmission t = make();
    t.OutFileName = QStringLiteral("13010301.out");
    t.LESUsed = QStringLiteral("102");
    t.Message.TextField = QString(1234, QLatin1Char('x'));
    t.SetDestination(Fax, nullptr);
    t.Presentation = 7;
    EXPECT_EQ(t.TrCommand(), QStringLiteral("tr 13010301.out -b 1234"));
    EXPECT_EQ(t.TxCommand(), QStringLiteral("tx 13010301.out -c 102 -s 0 -t 1 -l 7 -e T30 -n"));
    t.Priority = 1;
    t.PrintMessage = true;
    t.RequestConfirmation = true;
    t.TransmissionDate = QStringLiteral("13-01-05");
    t.TransmissionTime = QStringLiteral("18:30");
    EXPECT_EQ(t.TxCommand(), QStringLiteral("tx 13010301.out -c 102 -h 18:30 -y 13-01-05 -s 0 -t 1 -l 7 -e T30 -a -v"));
}

TEST_F(Sending, OutLogLineHasTheTwentyOnePositions) {
    CTransmission t = make();
    t.OutFileName = QStringLiteral("13010301.out");
    t.LESUsed = QStringLiteral("102");
    t.SetDestination(Telex, nullptr);
    t.Message.SetAddresses(Telex, FieldTo, QStringLiteral("4711;4712"));
    t.Message.SetAliases(Telex, FieldTo, QStringLiteral("Joe;4712"));
    t.Message.Subject = QStringLiteral("Sub");
    t.Presentation = 6;
    ASSERT_TRUE(t.WriteOutLog());
    EXPECT_EQ(
        readBytes(outboxStore->indexPath()),
        QByteArray("13010301.out;4711,4712;102;Telex 5 Bit;13-01-03;09:05; 0;<None>;Initiated;0;0;0;0;03;01;09;05;"
                   "Joe,4712;;;Sub\r\n"));
    EXPECT_EQ(t.Status, 64);

    CTransmission deferred = make();
    deferred.SetDestination(EMail, provider("Vizada SkyFile C 01"));
    deferred.TransmissionDate = QStringLiteral("13-01-05");
    deferred.TransmissionTime = QStringLiteral("18:30");
    const QStringList p = deferred.OutLogPositions();
    ASSERT_EQ(p.size(), 21);
    EXPECT_EQ(p[OutIdx::Destination], QStringLiteral("-"));
    EXPECT_EQ(p.mid(13, 4),
              QStringList({QStringLiteral("01"), QStringLiteral("05"), QStringLiteral("18"), QStringLiteral("30")}));
}

TEST_F(Sending, SearchAndRescueLine) {
    CTransmission t = make();
    t.SetDestination(InmC, nullptr);
    t.Message.SetAliases(InmC, FieldTo, QStringLiteral("SEARCH & RESCUE"));
    const QStringList p = t.OutLogPositions();
    EXPECT_EQ(p[OutIdx::Destination], QStringLiteral("MRCC"));
    EXPECT_EQ(p[OutIdx::TypeAndBits], QStringLiteral("Distress message"));
}

TEST_F(Sending, SendMessageToAddressResultCodes) {
    struct Case {
        const char* name;
        bool connected;
        int ocean;
        int type;
        const char* address;
        int code;
        bool diskFull = false;
    };
    const Case cases[] = {
        {"not connected", false, 1, Telex, "4711", 1003},
        {"out file cannot be written", true, 1, Telex, "4711", 1011, true},
        {"empty destination", true, 1, Telex, " ", 1020},
        {"no default LES in Pacific", true, 2, Telex, "4711", 1002},
        {"provider has no LES in the ocean", true, 4, EMail, "a@b.c", 1001},
        {"done", true, 1, Telex, "4711", 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.queue.clear();
        host.mesConnected = c.connected;
        host.ocean = c.ocean;
        if (c.diskFull)
            failWrites();
        const SendOutcome r =
            SendMessageToAddress(*config, *outboxStore, host, transfers, clock, QLatin1String(c.address), c.type, 1,
                                 QStringLiteral("S"), QStringLiteral("Hello"));
        SetStoreWriteFault({});
        EXPECT_EQ(r.code, c.code);
        if (c.code != 1000) {
            EXPECT_TRUE(host.queue.isEmpty());
            EXPECT_TRUE(transfers.isEmpty());
            EXPECT_TRUE(readBytes(outboxStore->indexPath()).isEmpty()) << "no Initiated line for a failed submission";
            continue;
        }
        EXPECT_EQ(r.outFileName, QStringLiteral("13010301.out"));
        EXPECT_EQ(host.queue, QStringList({QStringLiteral("tr 13010301.out -b 5"), QStringLiteral("ls 13010301.out"),
                                           QStringLiteral("tx 13010301.out -c 102 -s 0 -t 0 -l 0 -n")}));
        EXPECT_EQ(readBytes(outbox() + QStringLiteral("13010301.out")), QByteArray("Hello\r\n"));
        EXPECT_EQ(transfers.uploadBytes(QStringLiteral("13010301.out"), false), QByteArray("Hello"));
        EXPECT_TRUE(readBytes(outboxStore->indexPath()).startsWith("13010301.out;4711;102;Telex 7 Bit;"));
    }
}

TEST_F(Sending, EmailThroughTheDefaultProvider) {
    const SendOutcome r = SendMessageToAddress(*config, *outboxStore, host, transfers, clock, QStringLiteral("a@b.c"),
                                               EMail, 1, QStringLiteral("S"), QStringLiteral("Hi"));
    ASSERT_EQ(r.code, 1000);
    EXPECT_EQ(host.queue.last(), QStringLiteral("tx 13010301.out -c 101 -s 0 -t 6 -l 0 -e 28 -n"));
    EXPECT_EQ(transfers.uploadBytes(QStringLiteral("13010301.out"), false), QByteArray("TO:a@b.c\r\nSubject: S\r\nHi"));
}

// The code page decides what a body can carry; characters it cannot carry are named and nothing is sent,
// instead of going out (and into the stored copy) as "?".
TEST_F(Sending, CodePageDecidesWhatTheBodyCarries) {
    struct Case {
        const char* name;
        const char* codePage;
        const char* text; // UTF-8
        int code;
        QByteArray stored;   // the sent copy without its closing CR LF; for 1014 the characters named
        QByteArray uploaded; // with the 866 conversion when the code page is 866
    };
    const Case cases[] = {
        {"Latin-1 carries its own letters", "", "Caf\xC3\xA9 ok", 1000, "Caf\xE9 ok", "Caf\xE9 ok"},
        {"Latin-1 cannot carry Cyrillic", "", "\xD0\x96 \xE2\x82\xAC \xD0\x96", 1014,
         "\xD0\x96 (U+0416), \xE2\x82\xAC (U+20AC)", ""},
        {"1251 carries Cyrillic and the euro", "1251", "\xD0\x96\xD1\x8F \xE2\x82\xAC", 1000, "\xC6\xFF \x88",
         "\xC6\xFF \x88"},
        {"866 stores 1251 codes and uploads 866 ones", "866", "\xD0\x96\xD1\x8F", 1000, "\xC6\xFF", "\x86\xEF"},
        {"866 cannot carry the euro", "866", "\xD0\x96 \xE2\x82\xAC", 1014, "\xE2\x82\xAC (U+20AC)", ""},
        {"1251 cannot carry Chinese", "1251", "\xE4\xB8\x80", 1014, "\xE4\xB8\x80 (U+4E00)", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.queue.clear();
        const QByteArray indexBefore = readBytes(outboxStore->indexPath());
        config->SetIni(QStringLiteral("[CodePage]"), QLatin1String(c.codePage));
        const SendOutcome r =
            SendMessageToAddress(*config, *outboxStore, host, transfers, clock, QStringLiteral("4711"), Telex, 1,
                                 QStringLiteral("S"), QString::fromUtf8(c.text));
        EXPECT_EQ(r.code, c.code);
        if (c.code != 1000) {
            EXPECT_TRUE(SendOutcomeText(r).contains(QString::fromUtf8(c.stored))) << SendOutcomeText(r).toStdString();
            EXPECT_TRUE(host.queue.isEmpty());
            EXPECT_EQ(readBytes(outboxStore->indexPath()), indexBefore) << "no Initiated line";
            continue;
        }
        const QString name = CTransmission::TransceiverFileNameOf(r.outFileName);
        EXPECT_EQ(readBytes(outbox() + r.outFileName), c.stored + "\r\n");
        EXPECT_EQ(host.queue.value(0), QStringLiteral("tr %1 -b %2").arg(name).arg(c.stored.size()));
        EXPECT_EQ(transfers.uploadBytes(name, QByteArray(c.codePage) == "866"), c.uploaded);
        transfers.finish(name);
    }

    // The dialog's steps stop at the same place, naming the characters.
    config->SetIni(QStringLiteral("[CodePage]"), QString());
    CTransmission t = make();
    ASSERT_TRUE(t.SetDestination(Telex, nullptr));
    t.Message.SetAddresses(Telex, FieldTo, QStringLiteral("4711"));
    t.Message.TextField = QString::fromUtf8("\xD0\x96");
    host.ocean = 1;
    const QString failure = t.Submit({}, nullptr);
    EXPECT_TRUE(failure.contains(QString::fromUtf8("\xD0\x96 (U+0416)"))) << failure.toStdString();
    EXPECT_TRUE(host.queue.isEmpty());
}

TEST(UploadSizeCheck, BothLayouts) {
    struct Case {
        const char* reply;
        qint64 length;
        bool ok;
    };
    const Case cases[] = {
        {"ls 13010301.out\r\n13010301.out          13-01-03  09:05 1234 bytes\r\ncan0:/$ ", 1234, true},
        {"ls 13010301.out\r\n13010301.out          13-01-03  09:05 1233 bytes\r\ncan0:/$ ", 1234, false},
        {"ls 13010301.out\r\n13010301 out       1234  13-01-03  09:05\r\n     2048 bytes free\r\ncan0:/$ ", 1234, true},
        {"ls 13010301.out\r\n13010301 out        123  13-01-03  09:05\r\n     1234 bytes free\r\ncan0:/$ ", 1234,
         false},
        {"ls 13010301.out\r\nERROR 104: File not found\r\ncan0:/$ ", 1234, false},
        // The file is missing: neither the totals nor the prompt's colon may pass for a file line.
        {"ls 13010301.out\r\nFile not found\r\n         0 file(s)            0 bytes\r\n"
         "                   2048 bytes free\r\ncan0:/$ ",
         0, false},
        {"ls 13010301.out\r\nFile not found\r\n         0 file(s)            0 bytes\r\n"
         "                   1234 bytes free\r\ncan0:/$ ",
         1234, false},
        {"ls 13010301.out\r\n13010301 out         0  13-01-03  09:05\r\n         1 file(s)            0 bytes\r\n"
         "                   2048 bytes free\r\ncan0:/$ ",
         0, true},
        {"ls 13010301.out", 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UploadedSizeMatches(QLatin1String(c.reply), c.length), c.ok) << c.reply;
}

TEST(TxErrors, NumberTextAndEgcOnly) {
    TxError e = ParseTxError(QStringLiteral("tx 13010301.out -c 102\r\nERROR 121: Message too long\r\ncan0:/$ "));
    EXPECT_TRUE(e.isError);
    EXPECT_EQ(e.fileName, QStringLiteral("13010301.out"));
    EXPECT_EQ(e.number, QStringLiteral("121"));
    EXPECT_EQ(e.text, QStringLiteral("Message too long"));
    e = ParseTxError(QStringLiteral("tx 13010301.out\r\nERROR 120\r\ncan0:/$ "));
    EXPECT_EQ(e.number, QStringLiteral("120"));
    EXPECT_TRUE(ParseTxError(QStringLiteral("tx a\r\nERROR 250: EGC\r\n")).egcOnly);
    EXPECT_FALSE(ParseTxError(QStringLiteral("tx a\r\nok\r\ncan0:/$ ")).isError);
    EXPECT_FALSE(ParseTxError(QStringLiteral("ERROR 1")).isError);
    // A colon right at the line end leaves no text; the next lines are not taken for it.
    e = ParseTxError(QStringLiteral("tx a\r\nERROR 104:\nmore\r\ncan0:/$ "));
    EXPECT_EQ(e.number, QStringLiteral("104"));
    EXPECT_EQ(e.text, QString());
}

class Replies : public Sending {
protected:
    void SetUp() override {
        Sending::SetUp();
        replies = std::make_unique<CTransmissionReplies>(*config, *outboxStore, host, transfers);
        ASSERT_EQ(SendMessageToAddress(*config, *outboxStore, host, transfers, clock, QStringLiteral("4711"), Telex, 1,
                                       QStringLiteral("S"), QStringLiteral("Hello"))
                      .code,
                  1000);
        host.queue.clear();
    }
    QString status() { return outboxStore->ReadIndex().last()[OutIdx::Status]; }
    QString reference() { return outboxStore->ReadIndex().last()[OutIdx::Reference]; }
    std::unique_ptr<CTransmissionReplies> replies;
};

TEST_F(Replies, FailedSizeCheckDeletesTheCopyBeforeItsTx) {
    host.queue << QStringLiteral("tx 13010301.out -c 102 -s 0 -t 0 -l 0 -n");
    EXPECT_TRUE(replies->HandleLsReply(
        QStringLiteral("ls 13010301.out\r\n13010301.out          13-01-03  09:05 4 bytes\r\ncan0:/$ ")));
    EXPECT_EQ(host.queue.first(), QStringLiteral("delete 13010301.out"));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, QStringLiteral("Error: The message '13010301.out' was possibly sent with errors."));
    EXPECT_TRUE(transfers.isEmpty());
    EXPECT_FALSE(replies->HandleLsReply(QStringLiteral("ls other.txt\r\ncan0:/$ ")));
}

TEST_F(Replies, PassedSizeCheckQueuesNothing) {
    EXPECT_TRUE(replies->HandleLsReply(
        QStringLiteral("ls 13010301.out\r\n13010301.out          13-01-03  09:05 5 bytes\r\ncan0:/$ ")));
    EXPECT_TRUE(host.queue.isEmpty());
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Replies, TxErrorMarksTheLineAndAddsTheDnidHint) {
    replies->HandleTxReply(QStringLiteral("tx 13010301.out -c 102\r\nERROR 121: Message too long\r\ncan0:/$ "));
    EXPECT_EQ(reference(), QStringLiteral("TX-Error"));
    EXPECT_EQ(status(), QStringLiteral("Failed"));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, QStringLiteral("Message Transmission failed.\r\n\r\nError 121: Message too long\r\n"
                                                 "Please check the message size and that the DNID exists in the "
                                                 "transceiver."));
    EXPECT_EQ(host.boxes[0].style, MessageStyle::Critical);
}

// From the hundredth message of a day the transceiver name is shortened ("130103105.out" becomes
// "13010305.out") and may repeat the name of a message sent earlier that day. A refusal belongs to the
// submission still waiting under that name, not to the earlier, finished line.
TEST_F(Replies, TxErrorUnderARepeatedShortNameMarksTheWaitingSubmission) {
    const auto line = [](const char* name, const char* reference, const char* status) {
        return QString::fromLatin1("%1;4711;102;Telex 5 Bit;13-01-03;09:05; 5;%2;%3;0;0;0;0;03;01;09;05;4711;;;S")
            .arg(QLatin1String(name), QLatin1String(reference), QLatin1String(status))
            .split(u';');
    };
    ASSERT_TRUE(outboxStore->AppendLine(line("13010305.out", "184100", "Delivered")));
    ASSERT_TRUE(outboxStore->AppendLine(line("130103105.out", "<None>", "Initiated")));
    replies->HandleTxReply(QStringLiteral("tx 13010305.out -c 102\r\nERROR 121: Message too long\r\ncan0:/$ "));
    const QVector<QStringList> rows = outboxStore->ReadIndex();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1][OutIdx::Status], QStringLiteral("Delivered"));
    EXPECT_EQ(rows[1][OutIdx::Reference], QStringLiteral("184100"));
    EXPECT_EQ(rows[2][OutIdx::Status], QStringLiteral("Failed"));
    EXPECT_EQ(rows[2][OutIdx::Reference], QStringLiteral("TX-Error"));
}

TEST_F(Replies, EgcOnlyUnitRefusesToTransmit) {
    replies->HandleTxReply(QStringLiteral("tx 13010301.out -c 102\r\nERROR 250: receive only\r\ncan0:/$ "));
    EXPECT_EQ(reference(), QStringLiteral("EGC only"));
    EXPECT_EQ(status(), QStringLiteral("Failed"));
    EXPECT_EQ(host.boxes.at(0).text, QStringLiteral("Not allowed to transmit as EGC receiver!"));
}

TEST_F(Replies, RestartClearsWaitingSubmissions) {
    replies->HandleRestart();
    EXPECT_EQ(status(), QStringLiteral("MES Cleared"));
    EXPECT_EQ(host.outboxRefreshes, 1);
}

TEST_F(Replies, ConfirmationRequestOneAtATime) {
    outboxStore->UpdateOutBoxFile(QStringLiteral("13010301.out"), QStringLiteral("555"), QStringLiteral("Delivered"),
                                  false);
    replies->RequestConfirmation(QStringLiteral("13010301.out"), QStringLiteral("102"), QStringLiteral("555"));
    EXPECT_EQ(host.queue, QStringList({QStringLiteral("co 555 102")}));
    EXPECT_EQ(status(), QStringLiteral("ConfReq"));
    EXPECT_EQ(config->GetIni(QStringLiteral("[ConfReq]")), QStringLiteral("13010301.out"));

    outboxStore->UpdateOutBoxFile(QStringLiteral("13010301.out"), {}, QStringLiteral("Delivered"), false);
    replies->RequestConfirmation(QStringLiteral("13010301.out"), QStringLiteral("102"), QStringLiteral("555"));
    EXPECT_EQ(status(), QStringLiteral("Delivered")); // not marked while another request is pending
    EXPECT_TRUE(host.boxes.back().text.startsWith(QStringLiteral("Only one confirmation request")));

    config->SetIni(QStringLiteral("[ConfReq]"), QString());
    replies->RequestConfirmation(QStringLiteral("nope.out"), QStringLiteral("102"), QStringLiteral("555"));
    EXPECT_EQ(host.boxes.back().text, QStringLiteral("ConfReq of this message not possible"));
    EXPECT_EQ(host.boxes.back().title, QStringLiteral("Confirmation Request"));
    replies->AbortTransmission();
    EXPECT_EQ(host.queue.last(), QStringLiteral("cl"));
}

TEST(Cyrillic866, LettersMoveOtherCodesStay) {
    const QByteArray in("\xC0\xFF\xE0\xEF\xF0\xA8\xB8"
                        "Az09",
                        11);
    const QByteArray out = Cp1251To866(in);
    EXPECT_EQ(quint8(out[0]), 128); // capital A
    EXPECT_EQ(quint8(out[1]), 239); // small ya
    EXPECT_EQ(quint8(out[2]), 160);
    EXPECT_EQ(quint8(out[3]), 175);
    EXPECT_EQ(quint8(out[4]), 224);
    EXPECT_EQ(quint8(out[5]), 240); // Yo
    EXPECT_EQ(quint8(out[6]), 241); // yo
    EXPECT_EQ(out.mid(7), QByteArray("Az09"));
    EXPECT_TRUE(Cp1251To866({}).isEmpty());
    EXPECT_EQ(ToCp1251(QString::fromUtf8("\xD0\x90\xD1\x8F\xE2\x84\x96\xE2\x82\xAC\xE4\xB8\x80")),
              QByteArray("\xC0\xFF\xB9\x88?"));
    PendingTransfers p;
    p.add(QStringLiteral("f"), QString::fromUtf8("\xD0\x90x"));
    EXPECT_EQ(p.uploadBytes(QStringLiteral("f"), true), QByteArray("\x80x"));
}

using Providers = StoreTest;

TEST_F(Providers, ReadsIspDatOrFallsBackToTheDefaults) {
    const auto defaults = LoadProviders(data());
    ASSERT_EQ(defaults.size(), 13);
    EXPECT_EQ(defaults[12].name(), QStringLiteral("Vizada SkyFile C 21"));
    EXPECT_EQ(defaults[12].field(ServiceProvider::BccPrefix), QStringLiteral("BCC+"));
    EXPECT_EQ(defaults[0].les(0), QString());
    EXPECT_EQ(defaults[0].les(2), QStringLiteral("211"));
    writeBytes(data() + QStringLiteral("isp.dat"),
               "VERSION 116\r\nMine|001|101|201|301|TO:|CC:||S:|STX:|SAC|28|;||||\r\n");
    const auto mine = LoadProviders(data());
    ASSERT_EQ(mine.size(), 1);
    EXPECT_EQ(mine[0].les(3), QStringLiteral("301"));
    writeBytes(data() + QStringLiteral("isp.dat"), "VERSION 100\r\nOld\r\n");
    EXPECT_EQ(LoadProviders(data()).size(), 13);
}

} // namespace
