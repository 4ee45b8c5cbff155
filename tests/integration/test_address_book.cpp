// Names of the address book reach the transceiver as the entries' addresses: from a composed message and
// from a form of the forms server.
#include "integration_rig.h"

#include "messaging/address_book.h"
#include "messaging/message_store.h"
#include "messaging/message_submission.h"
#include "messaging/out_idx.h"
#include "messaging/outbox.h"
#include "reporting/forms_module.h"
#include "reporting/forms_service.h"

#include <QTcpSocket>
#include <QUrl>

using namespace tessaro;
using namespace tessaro::test;

namespace {

struct BookRig : IntegrationRig {
    bool startWithBook() {
        QFile f(StoreFolderPath(config, kAddressBookKey) + QStringLiteral("address.dat"));
        if (!start() || !f.open(QIODevice::WriteOnly))
            return false;
        f.write("Fleet:DNID:7:12345:7\r\nShip B:Telex:5:4711\r\nEight:InmC:8:581412345678\r\n");
        f.close();
        poll(); // the ocean decides the LES
        return settle();
    }
    QStringList txLines() {
        return simLines(QStringLiteral("lines")).filter(QRegularExpression(QStringLiteral("^L tx ")));
    }
    // The OUT.IDX line of the message with that alias.
    QStringList outLineOf(const QString& alias) {
        for (const QString& line : outIdxLines()) {
            const QStringList f = line.split(QLatin1Char(';'));
            if (f.value(OutIdx::ToText) == alias)
                return f;
        }
        return {};
    }
};

} // namespace

TEST(AddressBookIntegration, ComposedMessageToBookNamesGoesToTheEntriesAddresses) {
    BookRig rig;
    ASSERT_TRUE(rig.startWithBook());
    rig.sim(QStringLiteral("clear-lines"));

    const QVector<AddressBookEntry> book = LoadAddressBook(StoreFolderPath(rig.config, kAddressBookKey));
    OutgoingMessage message;
    message.recipients = ResolveRecipientText(book, QStringLiteral("ship b; EIGHT;fleet"), FieldTo, EMail);
    message.subject = QStringLiteral("Noon");
    message.body = QStringLiteral("All well.\r\n");
    const QVector<SubmissionStep> steps = SubmitMessage(rig.config, rig.messaging(), rig.clock, message, {});
    ASSERT_EQ(steps.size(), 3);
    for (const SubmissionStep& s : steps)
        EXPECT_TRUE(s.failure.isEmpty()) << s.failure.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.countWritten(QStringLiteral("tx ")) == 3; }, 8000));
    ASSERT_TRUE(rig.settle());

    // Telex, InmC and DNID in type order; the DNID entry's number and member travel with " -e ".
    const QStringList tx = rig.txLines();
    ASSERT_EQ(tx.size(), 3) << tx.join(u'|').toStdString();
    EXPECT_TRUE(tx[0].endsWith(QStringLiteral(" -c 102 -s 0 -t 0 -l 0 -n"))) << tx[0].toStdString();
    EXPECT_TRUE(tx[2].endsWith(QStringLiteral(" -c 102 -s 0 -t 5 -l 0 -e 12345,7 -n"))) << tx[2].toStdString();

    // The outbox names each entry and records its address; the 8-bit entry's number is in its 8-bit form.
    EXPECT_EQ(rig.outLineOf(QStringLiteral("Ship B")).value(OutIdx::Destination), QStringLiteral("4711"));
    EXPECT_EQ(rig.outLineOf(QStringLiteral("Eight")).value(OutIdx::Destination), QStringLiteral("1111412345678"));
    EXPECT_EQ(rig.outLineOf(QStringLiteral("Fleet")).value(OutIdx::Destination), QStringLiteral("12345,7"));
}

TEST(AddressBookIntegration, FormsServerSendsToAnAddressBookEntry) {
    BookRig rig;
    ASSERT_TRUE(rig.startWithBook());
    rig.sim(QStringLiteral("clear-lines"));
    CFormsService* service = rig.runtime->forms().service();
    ASSERT_NE(service, nullptr);
    ASSERT_TRUE(service->isListening());
    const QUrl url(service->url());

    QTcpSocket socket;
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    socket.connectToHost(url.host(), quint16(url.port()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000));
    socket.write("GET /TXMESSAGE?MSGADRBOOKENTRY=ship+b&MSGSUBJECT=Noon&MSGTEXT=All%20well HTTP/1.1\r\nHost: " +
                 url.authority().toLatin1() + "\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.toUpper().contains("</HTML>"); }, 8000)) << answer.toStdString();
    EXPECT_TRUE(answer.contains("<HTML><BODY>Message sent to the transceiver.<br>Ref:")) << answer.toStdString();

    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.countWritten(QStringLiteral("tx ")) == 1; }, 8000));
    ASSERT_TRUE(rig.settle());
    // The entry is kept as 5 bit: presentation 6 on the "tx" line.
    const QStringList tx = rig.txLines();
    ASSERT_EQ(tx.size(), 1);
    EXPECT_TRUE(tx[0].endsWith(QStringLiteral(" -c 102 -s 0 -t 0 -l 6 -n"))) << tx[0].toStdString();
    const QStringList lines = rig.outIdxLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].split(QLatin1Char(';')).value(OutIdx::Destination), QStringLiteral("4711"));
}
