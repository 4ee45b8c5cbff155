#include "config/access_password.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "config/temp_data_dir.h"
#include "messaging/fake_host.h"
#include "messaging/inbox.h"
#include "messaging/message_store.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"
#include "reporting/forms_backend_adapter.h"
#include "reporting/forms_server_processing.h"
#include "status/session.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {
// The real session, store and sender behind the forms server, over a fresh data folder.
struct AdapterEnv {
    TempDataDir data;
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(9, 5), Qt::UTC)};
    CConfiguration config{data.path(), false, data.path() + QStringLiteral("settings.ini")};
    CSession session;
    cOutBox outbox{config};
    CInbox inbox{config};
    tessaro::testing::FakeHost host;
    PendingTransfers transfers;
    CFormsBackend backend{config, session, outbox, inbox, host, transfers, clock};

    AdapterEnv() {
        config.LoadIni();
        CheckStoreFolders(config, nullptr);
    }
    void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};
} // namespace

TEST(FormsBackendAdapter, SessionValuesForThePlaceholders) {
    AdapterEnv env;
    EXPECT_EQ(env.backend.positionText(), QStringLiteral("255,255.255N , 255,255.255E")); // no fix yet
    EXPECT_EQ(env.backend.transceiverTimeUtc(), QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(env.backend.mobileNumber(), QString());

    env.session.SetPos(QStringLiteral("55 40 12 N 12 5 30 W"), QStringLiteral("270"), QStringLiteral("09:04"),
                       QStringLiteral("12"), true);
    env.session.SetMobileNumber(423456789);
    env.session.SetSystemTime(QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC));
    EXPECT_EQ(env.backend.positionText(), QStringLiteral("55,40.12N , 12,5.30W"));
    EXPECT_EQ(env.backend.speedText(), QStringLiteral("12"));
    EXPECT_EQ(env.backend.courseText(), QStringLiteral("270"));
    EXPECT_EQ(env.backend.mobileNumber(), QStringLiteral("423456789"));
    EXPECT_EQ(env.backend.transceiverTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
              QStringLiteral("2013-05-07 09:41"));
    // Hundredths of a minute keep their two digits: "40.5" would put the ship half a mile off.
    env.session.SetPos(QStringLiteral("55 40 05 S 3 7 0 E"), QStringLiteral("270"), QStringLiteral("09:04"),
                       QStringLiteral("12"), true);
    EXPECT_EQ(env.backend.positionText(), QStringLiteral("55,40.05S , 3,7.00E"));
}

TEST(FormsBackendAdapter, StatusByOutFileNameOrReference) {
    AdapterEnv env;
    QStringList line(OutIdx::Count, QStringLiteral("0"));
    line[OutIdx::FileName] = QStringLiteral("13010301.out");
    line[OutIdx::Reference] = QStringLiteral("4711");
    line[OutIdx::Status] = QStringLiteral("Delivered");
    ASSERT_TRUE(env.outbox.AppendLine(line));

    const FormsStatusLookup byFile = env.backend.GetIndexValue(QStringLiteral("13010301.out"));
    EXPECT_TRUE(byFile.found);
    EXPECT_EQ(byFile.text, QStringLiteral("Delivered"));
    EXPECT_TRUE(env.backend.GetIndexValue(QStringLiteral(" 4711 ")).found);
    const FormsStatusLookup missing = env.backend.GetIndexValue(QStringLiteral("99"));
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(missing.text, env.outbox.GetIndexValue(QStringLiteral("99")));
    EXPECT_FALSE(env.backend.GetIndexValue(QString()).found);
}

TEST(FormsBackendAdapter, BodiesComeOnlyFromTheirOwnFolder) {
    AdapterEnv env;
    env.write(env.inbox.folder() + QStringLiteral("m1.txt"), "line1\r\n<b>\xe9");
    env.write(env.data.path() + QStringLiteral("secret.txt"), "SECRET");
    EXPECT_EQ(env.backend.inboxMessageText(QStringLiteral("m1.txt")), QString::fromLatin1("line1\r\n<b>\xe9"));
    EXPECT_EQ(env.backend.inboxMessageText(QStringLiteral("none.txt")), std::nullopt);
    EXPECT_EQ(env.backend.inboxMessageText(QStringLiteral("../secret.txt")), std::nullopt);
    EXPECT_EQ(env.backend.outboxMessageText(QStringLiteral("m1.txt")), std::nullopt);
}

TEST(FormsBackendAdapter, ListingsComeFromTheStoreIndexes) {
    AdapterEnv env;
    env.write(env.inbox.inIdxPath(), "IN.1:102:0:5:13-01-03 09:05:1234:1:+M:Yes:read.in\r\n"
                                     "IN.2:102:0:5:13-01-03 09:06:1234:2:+M:No:unread.in\r\n");
    const QString unread = env.backend.inboxListingHtml(10, true, 0, false);
    EXPECT_TRUE(unread.contains(QStringLiteral("<td>unread.in</td>")));
    EXPECT_FALSE(unread.contains(QStringLiteral("<td>read.in</td>")));
    EXPECT_TRUE(env.backend.inboxListingHtml(10, false, 0, false).contains(QStringLiteral("<td>read.in</td>")));
    EXPECT_TRUE(env.backend.inboxListingHtml(0, false, 0, false).isEmpty());

    env.write(env.outbox.indexPath(), "a.out;x;102;Telex 5 Bit;13-01-03;09:05; 5;<None>;Initiated;0;0;0;0;03;01;09;05;"
                                      "x;;;Hi\r\n");
    EXPECT_TRUE(env.backend.outboxListingHtml(10, 0, false)
                    .contains(QStringLiteral("<td>a.out</td><td>x</td><td>102</td><td>Telex 5 Bit</td>"
                                             "<td>13-01-03 09:05</td><td> 5</td><td>&lt;None&gt;</td>"
                                             "<td>Initiated</td><td>Hi</td>")));
    EXPECT_TRUE(env.backend.outboxListingHtml(0, 0, false).isEmpty());
}

TEST(FormsBackendAdapter, FormsAreSentThroughTheTransmissionAndLookedUpAfterwards) {
    AdapterEnv env;
    env.host.mesConnected = false;
    const FormsSendResult offline =
        env.backend.SendMessageToAddress(QStringLiteral("4711"), 1, 1, {}, QStringLiteral("x"));
    EXPECT_EQ(offline.code, SendResult::NotConnected);
    EXPECT_EQ(offline.text, SendResultText(SendResult::NotConnected));
    EXPECT_TRUE(env.host.queue.isEmpty());

    const FormsSendResult entry = env.backend.SendMessageToAddressBookEntry(QStringLiteral(" Office "), {}, {});
    EXPECT_EQ(entry.code, SendResult::EmptyDestination);
    EXPECT_EQ(entry.text, QStringLiteral("The address book has no entry 'Office'."));

    // A Telex through the default LES of the current ocean: the commands are queued, the outbox line written,
    // and the answer's reference finds that line.
    env.host.mesConnected = true;
    env.config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("112"));
    const FormsSendResult sent =
        env.backend.SendMessageToAddress(QStringLiteral("4711"), 1, 1, QStringLiteral("s"), QStringLiteral("POS,55"));
    ASSERT_EQ(sent.code, SendResult::Done) << sent.text.toStdString();
    EXPECT_FALSE(sent.reference.isEmpty());
    EXPECT_TRUE(env.host.queue.join(u'|').contains(QStringLiteral("tx "))) << env.host.queue.join(u'|').toStdString();
    const FormsStatusLookup status = env.backend.GetIndexValue(sent.reference);
    EXPECT_TRUE(status.found);
    EXPECT_EQ(status.text, QStringLiteral("Initiated"));
}

TEST(FormsBackendAdapter, AnswerNamesCharactersTheCodePageCannotCarry) {
    AdapterEnv env;
    env.config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
    const FormsSendResult r = env.backend.SendMessageToAddress(QStringLiteral("4711"), Telex, 1, QStringLiteral("S"),
                                                               QString::fromUtf8("Hold \xD0\x96"));
    EXPECT_EQ(r.code, SendResult::Uncarried);
    EXPECT_TRUE(r.text.contains(QString::fromUtf8("\xD0\x96 (U+0416)"))) << r.text.toStdString();
    EXPECT_TRUE(env.host.queue.isEmpty());
}

// A form naming an address-book entry goes to the entry's address with its type and presentation.
TEST(FormsBackendAdapter, AddressBookEntryIsSentToItsAddressAndType) {
    AdapterEnv env;
    env.config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("112"));
    env.write(StoreFolderPath(env.config, kAddressBookKey) + QStringLiteral("address.dat"),
              "Ship A:InmC:8:581412345678\r\nFleet:DNID:7:12345:7\r\n");

    const FormsSendResult ship = env.backend.SendMessageToAddressBookEntry(QStringLiteral(" ship a "),
                                                                           QStringLiteral("s"), QStringLiteral("Hi"));
    ASSERT_EQ(ship.code, SendResult::Done) << ship.text.toStdString();
    const QString tx = env.host.queue.filter(QStringLiteral("tx ")).value(0);
    // InmC, 8 bit: network 3 and presentation 7; the 8-bit entry's prefix 581 is sent as 1111.
    EXPECT_TRUE(tx.endsWith(QStringLiteral(" -c 112 -s 0 -t 3 -l 7 -n"))) << tx.toStdString();
    QFile index(env.outbox.indexPath());
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QStringList line =
        QString::fromLatin1(index.readAll()).split(QStringLiteral("\r\n")).value(0).split(QLatin1Char(';'));
    EXPECT_EQ(line.value(OutIdx::Destination), QStringLiteral("1111412345678"));

    env.host.queue.clear();
    const FormsSendResult fleet = env.backend.SendMessageToAddressBookEntry(QStringLiteral("Fleet"), {}, {});
    ASSERT_EQ(fleet.code, SendResult::Done) << fleet.text.toStdString();
    EXPECT_TRUE(
        env.host.queue.filter(QStringLiteral("tx ")).value(0).endsWith(QStringLiteral(" -t 5 -l 0 -e 12345,7 -n")))
        << env.host.queue.join(u'|').toStdString();

    const FormsSendResult unknown = env.backend.SendMessageToAddressBookEntry(QStringLiteral("Ship"), {}, {});
    EXPECT_EQ(unknown.code, SendResult::EmptyDestination);
    EXPECT_EQ(unknown.text, QStringLiteral("The address book has no entry 'Ship'."));
}

TEST(FormsBackendAdapter, ASetTransmitPasswordStopsEverySendFromTheForms) {
    AdapterEnv env;
    env.config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("112"));
    ASSERT_TRUE(
        ChangeAccessPassword(env.config, AccessPassword::Transmit, {}, QStringLiteral("Sea7"), QStringLiteral("Sea7")));
    const FormsSendResult refused =
        env.backend.SendMessageToAddress(QStringLiteral("4711"), 1, 1, QStringLiteral("s"), QStringLiteral("x"));
    EXPECT_EQ(refused.code, kFormsTransmitPasswordRefused);
    EXPECT_TRUE(refused.text.contains(QStringLiteral("transmit password is set"))) << refused.text.toStdString();
    EXPECT_TRUE(env.host.queue.isEmpty());
    EXPECT_TRUE(env.outbox.ReadRecords().isEmpty());

    // Cleared again, the same form goes out.
    ASSERT_TRUE(ChangeAccessPassword(env.config, AccessPassword::Transmit, QStringLiteral("Sea7"), {}, {}));
    EXPECT_EQ(
        env.backend.SendMessageToAddress(QStringLiteral("4711"), 1, 1, QStringLiteral("s"), QStringLiteral("x")).code,
        SendResult::Done);
}
