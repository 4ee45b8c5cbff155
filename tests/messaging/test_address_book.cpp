#include "fake_host.h"
#include "store_fixture.h"

#include "config/clock.h"
#include "config/logs.h"
#include "messaging/address_book.h"
#include "messaging/message_submission.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"

using namespace tessaro;
using tessaro::testing::FakeHost;
using tessaro::testing::StoreTest;

namespace {

class RecordingLog final : public ILog {
public:
    QStringList lines;
    void SetLogFile(const QString&) override {}
    void Log(const QString& text) override { lines << text; }
};

AddressBookEntry entry(const char* name, int type, int presentation, const char* address, const char* extra = "") {
    AddressBookEntry e;
    e.Name = QString::fromLatin1(name);
    e.Type = quint8(type);
    e.Presentation = qint16(presentation);
    e.Address = QString::fromLatin1(address);
    e.Extra = QString::fromLatin1(extra);
    return e;
}

class AddressBookTest : public StoreTest {
protected:
    QString folder() { return StoreFolderPath(*config, kAddressBookKey); }
    QString file() { return AddressBookPath(folder()); }
    QByteArray bytes() { return readBytes(file()); }
};

TEST(AddressBookLines, EntriesAreWrittenAsColonJoinedFields) {
    struct Case {
        AddressBookEntry entry;
        const char* line;
    };
    const Case cases[] = {
        {entry("Ship A", InmC, 1, "581412345678"), "Ship A:InmC:7:581412345678"},
        {entry("Fleet", DNID, 2, "12345", "7"), "Fleet:DNID:8:12345:7"},
        {entry("Office", EMail, 0, "ops@example.com"), "Office:Email:5:ops@example.com"},
        {entry("Gate", X25, 9, "2403722360710"), "Gate:X25:5:2403722360710"},
        {entry("Odd", 42, -1, "x"), "Odd:Email:5:x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressBookLine(c.entry), QLatin1String(c.line)) << c.line;
    const char* const words[] = {"Email", "Telex", "Fax", "InmC", "PSTN", "SAC", "DNID", "X25", "SMS"};
    for (int type = 0; type < kMessageTypeCount; ++type) {
        EXPECT_EQ(AddressTypeWord(type), QLatin1String(words[type]));
        EXPECT_EQ(AddressTypeOfWord(QLatin1String(words[type])), type);
    }
}

TEST(AddressBookLines, ReadingIsLenient) {
    struct Case {
        const char* line;
        AddressBookEntry expected;
    };
    const Case cases[] = {
        {"Ship A:InmC:7:581412345678", entry("Ship A", InmC, 1, "581412345678")},
        {"Fleet:DNID:8:12345:7\r\n", entry("Fleet", DNID, 2, "12345", "7")},
        {"Pilot:Pager:7:123", entry("Pilot", EMail, 1, "123")}, // unknown type word reads as Email
        {"Lower:inmc:8:581412345678", entry("Lower", EMail, 2, "581412345678")},
        {"Odd:Fax:6:040", entry("Odd", Fax, 0, "040")}, // unknown presentation reads as 5 bit
        {"OnlyName", entry("OnlyName", EMail, 0, "")},
        {"Short:Telex", entry("Short", Telex, 0, "")},
        {"  Padded :SMS: 8 : 0049170 \r", entry("Padded", SMS, 2, "0049170")},
        {"Many:Fax:7:040:x:y:z", entry("Many", Fax, 1, "040", "x")},
        {"", entry("", EMail, 0, "")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseAddressBookLine(QLatin1String(c.line)), c.expected) << c.line;
}

TEST_F(AddressBookTest, SaveWritesTheWholeBookAndLoadReadsItBack) {
    QVector<AddressBookEntry> book{entry("Ship A", InmC, 1, "581412345678"), entry("  ", Telex, 0, "123"),
                                   entry("M\xe9t\xe9o", Fax, 0, "+33123"), entry("Fleet", DNID, 2, "12345", "7")};
    ASSERT_TRUE(SaveAddressBook(folder(), book));
    EXPECT_EQ(bytes(),
              QByteArray("Ship A:InmC:7:581412345678\r\nM\xe9t\xe9o:Fax:5:+33123\r\nFleet:DNID:8:12345:7\r\n"));
    EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("address.dat")});

    writeBytes(file(), bytes() + "\r\n   \r\nLast:SMS:7:0049");
    bool ok = false;
    const QVector<AddressBookEntry> loaded = LoadAddressBook(folder(), &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(loaded.size(), 4);
    EXPECT_EQ(loaded[0], book[0]);
    EXPECT_EQ(loaded[1], book[2]);
    EXPECT_EQ(loaded[2], book[3]);
    EXPECT_EQ(loaded[3], entry("Last", SMS, 1, "0049"));

    // A failed write leaves the old book as it was.
    const QByteArray before = bytes();
    failWrites();
    EXPECT_FALSE(SaveAddressBook(folder(), {entry("New", Telex, 0, "1")}));
    SetStoreWriteFault({});
    EXPECT_EQ(bytes(), before);
    EXPECT_TRUE(LoadAddressBook(QString()).isEmpty()); // no folder configured: no book
}

TEST_F(AddressBookTest, AddAddressAddsKeepsOrOverwritesWithItsLogLines) {
    RecordingLog log;
    cAddressBook book(folder());
    book.SetLogFile(&log);

    QFile::remove(file());
    EXPECT_FALSE(book.AddAddress(QStringLiteral("Ship A"), InmC, 1, QStringLiteral("581412345678"), {}, false));
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Error occurred adding address. File 'address.dat' not found")});
    EXPECT_FALSE(QFile::exists(file()));

    writeBytes(file(), "Ship A:InmC:7:581412345678\r\nShip AB:Telex:5:123\r\n");
    log.lines.clear();
    ASSERT_TRUE(book.AddAddress(QStringLiteral("Fleet"), DNID, 2, QStringLiteral("12345"), QStringLiteral("7"), false));
    EXPECT_TRUE(log.lines.isEmpty());
    EXPECT_EQ(bytes(), QByteArray("Ship A:InmC:7:581412345678\r\nShip AB:Telex:5:123\r\nFleet:DNID:8:12345:7\r\n"));
    EXPECT_EQ(book.entries().size(), 3);

    // The same name without the overwrite flag: the file is rewritten unchanged.
    const QByteArray before = bytes();
    ASSERT_TRUE(book.AddAddress(QStringLiteral("Ship A"), Fax, 0, QStringLiteral("040"), {}, false));
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Address already exists and will not be overwritten")});
    EXPECT_EQ(bytes(), before);

    // With it, only the line of exactly that name is replaced ("Ship AB" starts with the same letters).
    log.lines.clear();
    ASSERT_TRUE(book.AddAddress(QStringLiteral("Ship A"), InmC, 2, QStringLiteral("582412345678"), {}, true));
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Address already exists and will be overwritten")});
    EXPECT_EQ(bytes(), QByteArray("Ship A:InmC:8:582412345678\r\nShip AB:Telex:5:123\r\nFleet:DNID:8:12345:7\r\n"));
    EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("address.dat")}); // no work file left
    EXPECT_EQ(book.entries().value(0).Presentation, 2);
}

TEST_F(AddressBookTest, AddAddressRefusesWhatWouldBreakTheFileAndReportsFailedWrites) {
    RecordingLog log;
    cAddressBook book(folder());
    book.SetLogFile(&log);
    writeBytes(file(), "Ship A:InmC:7:581412345678\r\n");
    const QByteArray before = bytes();
    struct Case {
        const char* name;
        const char* address;
        const char* extra;
    };
    const Case refused[] = {{"Bad:Name", "1", ""}, {"", "1", ""}, {"Ok", "1:2", ""}, {"Ok", "1", "a\r\nb"}};
    for (const Case& c : refused) {
        log.lines.clear();
        EXPECT_FALSE(
            book.AddAddress(QLatin1String(c.name), Telex, 0, QLatin1String(c.address), QLatin1String(c.extra), true))
            << c.name;
        EXPECT_EQ(log.lines, QStringList{QString(AddAddressLog::BadField)}) << c.name;
        EXPECT_EQ(bytes(), before) << c.name;
    }

    log.lines.clear();
    failWrites();
    EXPECT_FALSE(book.AddAddress(QStringLiteral("New"), Telex, 0, QStringLiteral("1"), {}, false));
    SetStoreWriteFault({});
    EXPECT_EQ(log.lines, QStringList{QStringLiteral(
                             "Unknown error occurred in AddAddress. Address Book might not have been updated")});
    EXPECT_EQ(bytes(), before);
}

TEST(AddressCard, ValidationTable) {
    const QString address = QStringLiteral("Address failure");
    const QString name = QStringLiteral("Name failure");
    const QString inmcLength = QStringLiteral("Inm-C addresses needs to be a 12 digits No., 3 digit for Ocean Region "
                                              "& 9 digit for the Mobile No.");
    const QString inmcStart = QStringLiteral("Inm-C addresses must start with the ocean region (581,582,583,584 or "
                                             "580 for any ocean) and a '4' in Mobile Number.");
    const QString dnid = QStringLiteral("DNID Numbers can max. be a 5 digit No.");
    const QString email = QStringLiteral("E-mail addresses must have an '@' character. Continue anyway?");
    struct Case {
        AddressBookEntry entry;
        QString message; // empty: accepted
        QString title;
        bool mayContinue;
    };
    const Case cases[] = {
        {entry("Ship A", InmC, 1, "581412345678"), {}, {}, false},
        {entry("Any", InmC, 2, "580412345678"), {}, {}, false},
        {entry("Short", InmC, 1, "58141234567"), inmcLength, address, false},
        {entry("Long", InmC, 1, "5814123456789"), inmcLength, address, false},
        {entry("Letters", InmC, 1, "58141234567x"), inmcLength, address, false},
        {entry("NoFour", InmC, 1, "581312345678"), inmcStart, address, false},
        {entry("BadOcean", InmC, 1, "585412345678"), inmcStart, address, false},
        {entry("Office", EMail, 0, "ops@example.com"), {}, {}, false},
        {entry("NoAt", EMail, 0, "ops.example.com"), email, address, true},
        {entry("NoDot", EMail, 0, "ops@example"), email, address, true},
        {entry("Fleet", DNID, 0, "12345", "7"), {}, {}, false},
        {entry("Fleet6", DNID, 0, "123456"), dnid, address, false},
        {entry("Telex", Telex, 0, "anything goes"), {}, {}, false},
        {entry("", Telex, 0, "1"), QStringLiteral("The name field can not be empty."), name, false},
        {entry("   ", Telex, 0, "1"), QStringLiteral("The name field can not be empty."), name, false},
        {entry("A:B", Telex, 0, "1"), QStringLiteral("The name can not contain ':' or ';'."), name, false},
        {entry("A;B", Telex, 0, "1"), QStringLiteral("The name can not contain ':' or ';'."), name, false},
        {entry("Blank", Fax, 0, "  "), QStringLiteral("The address field can not be empty."), address, false},
        {entry("Colon", X25, 0, "1:2"), QStringLiteral("The address and the extra value can not contain ':'."), address,
         false},
    };
    for (const Case& c : cases) {
        const AddressCardCheck check = ValidateAddressCard(c.entry);
        EXPECT_EQ(check.ok, c.message.isEmpty()) << c.entry.Name.toStdString();
        EXPECT_EQ(check.message, c.message) << c.entry.Name.toStdString();
        EXPECT_EQ(check.title, c.title) << c.entry.Name.toStdString();
        EXPECT_EQ(check.mayContinue, c.mayContinue) << c.entry.Name.toStdString();
    }

    // A name another entry has (in any letter case) is refused; the entry being edited may keep its own.
    const QVector<AddressBookEntry> book{entry("Ship A", InmC, 1, "581412345678"), entry("Office", Telex, 0, "1")};
    const AddressCardCheck taken = ValidateAddressCard(entry("ship a", Telex, 0, "1"), book, -1);
    EXPECT_FALSE(taken.ok);
    EXPECT_EQ(taken.message, QStringLiteral("An entry named 'Ship A' is already in the address book."));
    EXPECT_EQ(taken.title, name);
    EXPECT_TRUE(ValidateAddressCard(entry("Ship A", InmC, 2, "581412345678"), book, 0).ok);
    EXPECT_FALSE(ValidateAddressCard(entry("Ship A", Telex, 0, "1"), book, 1).ok);
}

TEST(RecipientNames, TypedTextResolvesToEntriesOrStaysLiteral) {
    const QVector<AddressBookEntry> book{entry("Ship A", InmC, 2, "581412345678"), entry("ship a", Telex, 0, "99"),
                                         entry("Office", EMail, 0, "ops@example.com"),
                                         entry("Fleet", DNID, 1, "12345", "7"), entry("Pool", DNID, 1, "777")};
    struct Case {
        const char* typed;
        QVector<Recipient> expected;
    };
    const Case cases[] = {
        {"Ship A", {{FieldCc, InmC, QStringLiteral("581412345678"), QStringLiteral("Ship A")}}},
        {" ship a ", {{FieldCc, Telex, QStringLiteral("99"), QStringLiteral("ship a")}}}, // exact case wins
        {"OFFICE", {{FieldCc, EMail, QStringLiteral("ops@example.com"), QStringLiteral("Office")}}},
        {"Fleet;Pool",
         {{FieldCc, DNID, QStringLiteral("12345,7"), QStringLiteral("Fleet")},
          {FieldCc, DNID, QStringLiteral("777"), QStringLiteral("Pool")}}},
        {"4711; ;Office;Offi",
         {{FieldCc, Fax, QStringLiteral("4711"), {}},
          {FieldCc, EMail, QStringLiteral("ops@example.com"), QStringLiteral("Office")},
          {FieldCc, Fax, QStringLiteral("Offi"), {}}}}, // no partial matches
        {" ; ", {}},
    };
    const auto same = [](const Recipient& a, const Recipient& b) {
        return a.field == b.field && a.type == b.type && a.address == b.address && a.alias == b.alias;
    };
    for (const Case& c : cases) {
        const QVector<Recipient> got = ResolveRecipientText(book, QLatin1String(c.typed), FieldCc, Fax);
        ASSERT_EQ(got.size(), c.expected.size()) << c.typed;
        for (int i = 0; i < got.size(); ++i)
            EXPECT_TRUE(same(got[i], c.expected[i]))
                << c.typed << " #" << i << ": " << got[i].address.toStdString() << "/" << got[i].alias.toStdString();
    }

    // The name stays as the alias the outbox shows; the address is what is sent.
    OutgoingMessage m;
    m.recipients = ResolveRecipientText(book, QStringLiteral("Office;x@y.z"), FieldTo, EMail);
    const CMessage built = BuildMessage(m);
    EXPECT_EQ(built.GetAddresses(EMail, FieldTo), QStringLiteral("ops@example.com;x@y.z"));
    EXPECT_EQ(built.GetAliases(EMail, FieldTo), QStringLiteral("Office;x@y.z"));
}

class EightBitRule : public AddressBookTest {
protected:
    void SetUp() override {
        AddressBookTest::SetUp();
        outboxStore = std::make_unique<cOutBox>(*config);
        ASSERT_TRUE(
            SaveAddressBook(folder(), {entry("Eight", InmC, 2, "581412345678"), entry("Seven", InmC, 1, "582412345678"),
                                       entry("Telex eight", Telex, 2, "583412345678")}));
    }
    QString converted(const QString& address, quint8 presentation) {
        CTransmission t(*config, *outboxStore, host, transfers, clock);
        t.SetPresentation(presentation);
        t.Message.SetAddresses(InmC, FieldBcc, address);
        EXPECT_TRUE(t.ConvertAddresses());
        return t.Message.GetAddresses(InmC, FieldBcc);
    }
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(9, 5), Qt::UTC)};
    FakeHost host;
    PendingTransfers transfers;
    std::unique_ptr<cOutBox> outboxStore;
};

TEST_F(EightBitRule, TheEntrysPresentationDecidesTheInmcPrefix) {
    struct Case {
        const char* address;
        quint8 presentation; // of the message: 0 = 7 bit, 7 = 8 bit
        const char* sent;
    };
    const Case cases[] = {
        {"581412345678", 0, "1111412345678"},   // 8-bit entry, 7-bit message
        {"+581412345678", 0, "1111412345678"},  // the book's entry is found without the plus
        {"00581412345678", 0, "1111412345678"}, // ... and without the 00
        {"582412345678", 7, "582412345678"},    // 7-bit entry, 8-bit message
        {"583412345678", 0, "583412345678"},    // only InmC entries count
        {"584412345678", 0, "584412345678"},    // not in the book: the message's presentation
        {"584412345678", 7, "1114412345678"},   {"581412345678;582412345678", 0, "1111412345678;582412345678"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(converted(QLatin1String(c.address), c.presentation), QLatin1String(c.sent)) << c.address;
}

} // namespace
