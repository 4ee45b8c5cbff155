#include "store_fixture.h"

#include "messaging/inbox.h"
#include "messaging/mailbox_actions.h"
#include "messaging/outbox.h"

#include <QFile>

using namespace tessaro;
using tessaro::testing::StoreTest;

namespace {

const QChar kStx(0x02);

QString inboxLine(const QString& modem, const QString& subject, const QString& disk) {
    return QStringList({modem, QStringLiteral("0"), QStringLiteral("MES"), QStringLiteral("shore@example.com"), subject,
                        QStringLiteral("2026-01-02 10:00:00"), QStringLiteral("112"), QStringLiteral("0"),
                        QStringLiteral("5"), QStringLiteral("4711"), QStringLiteral("Mem"), QStringLiteral("0"), disk})
        .join(kStx);
}

QString outLine(const QString& file, const QString& status) {
    return file + QStringLiteral(";12345;112;Telex 5 Bit;26-01-02;10:15; 42;<None>;") + status +
           QStringLiteral(";0;0;0;0;02;01;10;15;12345;;;s");
}

QByteArray crLfLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

using MailboxActions = StoreTest;

TEST_F(MailboxActions, DeletingAMessageRemovesBothIndexLinesThenTheBody) {
    CInbox box(*config);
    writeBytes(box.inIdxPath(), crLfLines({QStringLiteral("IN.1:112:0:0:26-01-02 10:00:5:4711:Mem:No:keep.in"),
                                           QStringLiteral("IN.2:112:0:0:26-01-02 11:00:5:4712:Mem:No:gone.in")}));
    writeBytes(box.inboxIdxPath(),
               crLfLines({inboxLine(QStringLiteral("IN.1"), QStringLiteral("k"), QStringLiteral("keep.in")),
                          inboxLine(QStringLiteral("IN.2"), QStringLiteral("g"), QStringLiteral("gone.in"))}));
    writeBytes(inbox() + QStringLiteral("gone.in"), "body\r\n");
    int changed = 0;
    QObject::connect(&box, &CInbox::changed, [&] { ++changed; });

    EXPECT_TRUE(DeleteInboxMessage(box, QStringLiteral("gone.in")));
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(QFile::exists(inbox() + QStringLiteral("gone.in")));
    EXPECT_EQ(box.ReadIndex().size(), 1);
    const QVector<InboxIdxRecord> left = box.ReadInboxRecords();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].DiskFileName, QStringLiteral("keep.in"));
    // Names that leave the folder are refused.
    EXPECT_FALSE(DeleteInboxMessage(box, QStringLiteral("../keep.in")));
    EXPECT_FALSE(DeleteInboxMessage(box, QStringLiteral("nothing.in")));
}

TEST_F(MailboxActions, AMessageWhoseIndexCannotBeWrittenKeepsItsBody) {
    CInbox box(*config);
    const QByteArray in = crLfLines({QStringLiteral("IN.2:112:0:0:26-01-02 11:00:5:4712:Mem:No:gone.in")});
    writeBytes(box.inIdxPath(), in);
    writeBytes(inbox() + QStringLiteral("gone.in"), "body\r\n");
    failWrites();
    QString error;
    EXPECT_FALSE(DeleteInboxMessage(box, QStringLiteral("gone.in"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(box.inIdxPath()), in);
    EXPECT_TRUE(QFile::exists(inbox() + QStringLiteral("gone.in")));
}

TEST_F(MailboxActions, DeletingASentMessageKeepsOtherLines) {
    cOutBox box(*config);
    writeBytes(box.indexPath(), crLfLines({outLine(QStringLiteral("a.out"), QStringLiteral("Sending")),
                                           outLine(QStringLiteral("b.out"), QStringLiteral("Delivered"))}));
    EXPECT_TRUE(DeleteOutboxMessage(box, QStringLiteral("a.out")));
    const auto lines = box.ReadIndex();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0][0], QStringLiteral("b.out"));
}

} // namespace
