#include "messaging/store_fixture.h"

#include "messaging/inbox.h"
#include "messaging/outbox.h"
#include "reporting/mailbox_html.h"

using namespace tessaro;
using tessaro::testing::StoreTest;

namespace {

using MailboxHtml = StoreTest;

TEST_F(MailboxHtml, OutboxListingShowsTheStoredValuesNewestFirstWhenAsked) {
    writeBytes(outbox() + QStringLiteral("OUT.IDX"), fixture("out_idx_sample.txt"));
    const QVector<OutIdxRecord> records = cOutBox(*config).ReadRecords();
    EXPECT_TRUE(OutboxListingHtml(records, 0, 0, false).isEmpty());
    const QString newest = OutboxListingHtml(records, 1, 0, true);
    EXPECT_TRUE(newest.contains(QStringLiteral("13010304.out")));
    EXPECT_FALSE(newest.contains(QStringLiteral("13010301.out")));
    EXPECT_TRUE(OutboxListingHtml(records, 10, 0, false).contains(QStringLiteral("Fax; with semicolon")));

    const QString header = QStringLiteral("<table><tr><th>File</th><th>Destination</th><th>LES</th><th>Type</th>"
                                          "<th>Date</th><th>Size</th><th>Ref</th><th>Status</th><th>Subject</th></tr>");
    EXPECT_EQ(OutboxListingHtml(records, 2, 2, false),
              header + QStringLiteral("<tr><td>13010303.out</td><td>+4711</td><td>0112</td><td>Fax 8 Bit</td>"
                                      "<td>13-01-03 09:07</td><td> 7</td><td>555</td><td>Delivered</td>"
                                      "<td>Fax; with semicolon</td></tr>"
                                      "<tr><td>short</td><td>line</td><td></td><td></td><td></td><td></td><td></td>"
                                      "<td></td><td></td></tr></table>"));
    EXPECT_EQ(OutboxListingHtml(records, 5, 99, true), header + QStringLiteral("</table>"));
}

TEST_F(MailboxHtml, InboxListingEscapesValuesAndCanShowOnlyUnreadMessages) {
    writeBytes(inbox() + QStringLiteral("IN.IDX"), "IN.1:102:3:5:13-01-03 09:05:1234:987654:<M&>:No:a.in\r\n"
                                                   "IN.2:0112:1:0:13-01-04 10:15:20:5:+M:Yes:b\xe9.in\r\n"
                                                   "IN.3:102:0:0:13-01-03 09:05:10:1:Re:No\r\n");
    CInbox store(*config);
    const QString header = QStringLiteral("<table><tr><th>File</th><th>LES</th><th>Priority</th><th>Received</th>"
                                          "<th>Size</th><th>Ref</th><th>Routing</th><th>Read</th></tr>");
    const QString first = QStringLiteral("<tr><td>a.in</td><td>102</td><td>Distress</td><td>13-01-03 09:05</td>"
                                         "<td>1234</td><td>987654</td><td>&lt;M&amp;&gt;</td><td>No</td></tr>");
    const QString second = QStringLiteral("<tr><td>b") + QChar(0xe9) +
                           QStringLiteral(".in</td><td>0112</td><td>Safety</td><td>13-01-04 10:15</td><td>20</td>"
                                          "<td>5</td><td>+M</td><td>Yes</td></tr>");
    EXPECT_EQ(InboxListingHtml(store.ReadRecords(), 10, 0, true), header + second + first + QStringLiteral("</table>"));
    EXPECT_EQ(InboxListingHtml(store.ReadRecords(true), 10, 0, false), header + first + QStringLiteral("</table>"));
    EXPECT_EQ(InboxListingHtml(store.ReadRecords(), 1, 1, false), header + second + QStringLiteral("</table>"));
    EXPECT_TRUE(InboxListingHtml(store.ReadRecords(), 0, 0, false).isEmpty());
}

TEST_F(MailboxHtml, InboxMessageTurnsLineEndsIntoBreaksAndRefusesPaths) {
    CInbox in(*config);
    ASSERT_TRUE(in.SaveBody(QStringLiteral("13010301.in"), QStringLiteral("line1\r\nline2")));
    EXPECT_EQ(InboxMessageHtml(in, QStringLiteral("13010301.in")), QStringLiteral("line1<br>line2"));
    EXPECT_EQ(InboxMessageHtml(in, QStringLiteral("gone.in")),
              QStringLiteral("'gone.in' Does not exist!<br>The file might have been manually deleted by operator."));
    writeBytes(data() + QStringLiteral("secret.txt"), "secret");
    EXPECT_TRUE(InboxMessageHtml(in, QStringLiteral("../secret.txt")).contains(QStringLiteral("Does not exist!")));
}

} // namespace
