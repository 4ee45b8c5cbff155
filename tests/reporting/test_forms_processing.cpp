#include "forms_test_env.h"

#include <gtest/gtest.h>

using namespace tessaro;

TEST(FormsProcessing, SpecialPathsAndPagesByTable) {
    FormsTestEnv env;
    env.writeFile(QStringLiteral("html/index.htm"), "INDEX PAGE");
    env.writeFile(QStringLiteral("html/sub/TXMESSAGE.htm"), "never served");
    env.writeFile(QStringLiteral("html/My Form+1.htm"), "spaced");
    env.config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName"), QStringLiteral("Nordlys"));
    env.writeFile(QStringLiteral("html/ship.htm"), "<%=REQUESTSHIPNAME%> and <%=requestShipName%>");
    env.backend.statuses.insert(QStringLiteral("13050701.out"), QStringLiteral("Delivered"));
    const QString folder = env.formsFolder();

    struct Case {
        const char* name;
        QString request;
        QString answer;
    };
    const QList<Case> cases = {
        {"empty request", QString(), QStringLiteral("Error in request")},
        {"blank request", QStringLiteral("  \r\n"), QStringLiteral("Error in request")},
        {"root serves index.htm", QStringLiteral("GET / HTTP/1.1\r\n\r\n"), QStringLiteral("INDEX PAGE")},
        {"root with a query", QStringLiteral("GET /?x=1 HTTP/1.1\r\n\r\n"), QStringLiteral("INDEX PAGE")},
        {"both ship-name tags", QStringLiteral("GET /ship.htm HTTP/1.1\r\n\r\n"),
         QStringLiteral("Nordlys and Nordlys")},
        {"encoded blank in a file name, plus kept", QStringLiteral("GET /My%20Form+1.htm HTTP/1.1\r\n\r\n"),
         QStringLiteral("spaced")},
        {"missing page", QStringLiteral("GET /nope.htm HTTP/1.1\r\n\r\n"),
         QStringLiteral("404: File ") + folder + QStringLiteral("nope.htm not found")},
        {"folder is not a page", QStringLiteral("GET /sub HTTP/1.1\r\n\r\n"),
         QStringLiteral("404: File ") + folder + QStringLiteral("sub not found")},
        {"send without parameters", QStringLiteral("POST /TXMESSAGE HTTP/1.1\r\n\r\n"),
         QStringLiteral("Error, missing parameter(s).")},
        {"a page under a TXMESSAGE name is a send request", QStringLiteral("GET /sub/TXMESSAGE.htm HTTP/1.1\r\n\r\n"),
         QStringLiteral("Error, missing parameter(s).")},
        {"outbox message without ID", QStringLiteral("GET /REQUESTTXMSG?X=1 HTTP/1.1\r\n\r\n"),
         QStringLiteral("Error, function parameter missing.")},
        {"inbox message without ID", QStringLiteral("GET /REQUESTRXMSG HTTP/1.1\r\n\r\n"),
         QStringLiteral("Error, function parameter missing.")},
        {"status without REF", QStringLiteral("GET /REQUESTMSGSTATUS?ID=3 HTTP/1.1\r\n\r\n"),
         QStringLiteral("Error, function parameter missing.")},
        {"status found", QStringLiteral("GET /requestmsgstatus?REF=13050701.out HTTP/1.1\r\n\r\n"),
         QStringLiteral("<HTML><BODY>Ref:13050701.out<br>Status:Delivered</BODY></HTML>")},
        {"status not found gives the look-up's text", QStringLiteral("GET /REQUESTMSGSTATUS?ref=77 HTTP/1.1\r\n\r\n"),
         QStringLiteral("No message with reference 77")},
        {"a reflected reference is not markup", QStringLiteral("GET /REQUESTMSGSTATUS?REF=%3Cb%3E HTTP/1.1\r\n\r\n"),
         QStringLiteral("No message with reference &lt;b&gt;")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(env.processing.ProcessData(c.request), c.answer) << c.name;
    EXPECT_TRUE(env.backend.sent.isEmpty());
}

TEST(FormsProcessing, PathsOutsideTheFormsFolderAreMissingFiles) {
    FormsTestEnv env;
    env.writeFile(QStringLiteral("secret.txt"), "SECRET");
    env.writeFile(QStringLiteral("html/sub/page.htm"), "PAGE");
    const QStringList attacks = {
        QStringLiteral("/../secret.txt"),
        QStringLiteral("/%2e%2e/secret.txt"),
        QStringLiteral("/%2E%2E%2Fsecret.txt"),
        QStringLiteral("/sub/../../secret.txt"),
        QStringLiteral("/sub/%2e%2e/%2e%2e/secret.txt"),
        QStringLiteral("/..\\secret.txt"),
        QStringLiteral("/..%5csecret.txt"),
        QStringLiteral("//") + env.data.path() + QStringLiteral("secret.txt"),
        QStringLiteral("/%2F") + env.data.path().mid(1) + QStringLiteral("secret.txt"),
        QStringLiteral("/sub/page.htm%00.txt"),
        QStringLiteral("/.."),
    };
    for (const QString& path : attacks) {
        const QString answer = env.get(path);
        EXPECT_TRUE(answer.startsWith(QStringLiteral("404: File ")))
            << path.toStdString() << " -> " << answer.toStdString();
        EXPECT_TRUE(answer.endsWith(QStringLiteral(" not found"))) << path.toStdString();
        EXPECT_FALSE(answer.contains(QStringLiteral("SECRET"))) << path.toStdString();
    }
    // Sub-folders inside the forms folder stay reachable, also through a harmless "..".
    EXPECT_EQ(env.get(QStringLiteral("/sub/page.htm")), QStringLiteral("PAGE"));
    EXPECT_EQ(env.get(QStringLiteral("/sub/./page.htm")), QStringLiteral("PAGE"));
}

TEST(FormsProcessing, FormFieldsBecomeTheMessage) {
    struct Case {
        const char* name;
        QString target;
        QString body;
        QString address;
        int type;
        int format;
        QString subject;
        QString text;
    };
    const QString kTx = QStringLiteral("/TXMESSAGE");
    const QList<Case> cases = {
        {"fields in form order",
         kTx,
         QStringLiteral("MSGADDRESS=ops@x&MSGTEXT=Hello&Deck=3"),
         QStringLiteral("ops@x"),
         0,
         1,
         {},
         QStringLiteral("Hello,3")},
        {"decoded comma and blank",
         kTx,
         QStringLiteral("MSGADDRESS=a&MSGTEXT=a%2Cb+c"),
         QStringLiteral("a"),
         0,
         1,
         {},
         QStringLiteral("a,b c")},
        {"empty text keeps its comma",
         kTx,
         QStringLiteral("MSGADDRESS=a&MSGTEXT=&Deck=3"),
         QStringLiteral("a"),
         0,
         1,
         {},
         QStringLiteral(",3")},
        {"empty other fields are left out",
         kTx,
         QStringLiteral("MSGADDRESS=a&Deck=&Crew=7"),
         QStringLiteral("a"),
         0,
         1,
         {},
         QStringLiteral("7")},
        {"settings fields are not text", kTx,
         QStringLiteral("msgtype=Telex&MsgFormat=5-BIT&MSGADDRESS=4711&MSGSUBJECT=Hi&MSGTEXT=x"),
         QStringLiteral("4711"), 1, 0, QStringLiteral("Hi"), QStringLiteral("x")},
        {"type by number, 8-bit",
         kTx,
         QStringLiteral("MSGTYPE=3&MSGFORMAT=8-bit&MSGADDRESS=581&MSGTEXT=y"),
         QStringLiteral("581"),
         3,
         2,
         {},
         QStringLiteral("y")},
        {"unknown format is 7 bit",
         kTx,
         QStringLiteral("MSGFORMAT=6bit&MSGADDRESS=a&MSGTEXT=z"),
         QStringLiteral("a"),
         0,
         1,
         {},
         QStringLiteral("z")},
        {"query and body both count",
         QStringLiteral("/TXMESSAGE?MSGADDRESS=q%40x"),
         QStringLiteral("MSGTEXT=b"),
         QStringLiteral("q@x"),
         0,
         1,
         {},
         QStringLiteral("b")},
    };
    for (const Case& c : cases) {
        FormsTestEnv env;
        EXPECT_EQ(env.post(c.target, c.body),
                  QStringLiteral("<HTML><BODY>Message submitted<br>Ref:13050701.out</BODY></HTML>"))
            << c.name;
        ASSERT_EQ(env.backend.sent.size(), 1) << c.name;
        const FakeFormsBackend::SendCall& s = env.backend.sent.first();
        EXPECT_EQ(s.target, c.address) << c.name;
        EXPECT_EQ(s.type, c.type) << c.name;
        EXPECT_EQ(s.format, c.format) << c.name;
        EXPECT_EQ(s.subject, c.subject) << c.name;
        EXPECT_EQ(s.text, c.text) << c.name;
    }
}

TEST(FormsProcessing, DefaultsAndSendOutcomes) {
    FormsTestEnv env;
    const QString s = QStringLiteral("Settings");
    env.config.SaveSettingValue(s, QStringLiteral("DefaultMsgType"), QStringLiteral("Fax"));
    env.config.SaveSettingValue(s, QStringLiteral("DefaultMsgFormat"), QStringLiteral("8-bit"));
    env.config.SaveSettingValue(s, QStringLiteral("DefaultMsgAddress"), QStringLiteral("4790000"));
    env.post(QStringLiteral("/TXMESSAGE"), QStringLiteral("MSGTEXT=hi"));
    ASSERT_EQ(env.backend.sent.size(), 1);
    EXPECT_EQ(env.backend.sent[0].target, QStringLiteral("4790000"));
    EXPECT_EQ(env.backend.sent[0].type, 2);
    EXPECT_EQ(env.backend.sent[0].format, 2);

    env.backend.sendResult = {1003, QStringLiteral("Not connected to the transceiver"), {}};
    EXPECT_EQ(env.post(QStringLiteral("/TXMESSAGE"), QStringLiteral("MSGTEXT=hi")),
              QStringLiteral("<HTML><BODY>Error 1003: Not connected to the transceiver</BODY></HTML>"));

    env.backend.throwOnSend = true;
    EXPECT_EQ(env.post(QStringLiteral("/TXMESSAGE"), QStringLiteral("MSGTEXT=hi")),
              QStringLiteral("<HTML><BODY>Unknown error occurred when sending message.</BODY></HTML>"));
    env.backend.throwOnSend = false;

    // An address-book entry goes to the entry sender, whatever address the form also gives.
    EXPECT_EQ(
        env.post(QStringLiteral("/TXMESSAGE"), QStringLiteral("MSGADDRESS=a&MSGADRBOOKENTRY=Head+office&MSGTEXT=t")),
        QStringLiteral("<HTML><BODY>Error 1020: Unknown address book entry 'Head office'</BODY></HTML>"));
    EXPECT_TRUE(env.backend.sent.last().toEntry);
    EXPECT_EQ(env.backend.sent.last().target, QStringLiteral("Head office"));

    const qsizetype before = env.backend.sent.size();
    EXPECT_EQ(env.post(QStringLiteral("/TXMESSAGE"), QStringLiteral("MSGTYPE=Pigeon&MSGTEXT=t")),
              QStringLiteral("<HTML><BODY>Error, unknown message type 'Pigeon'.</BODY></HTML>"));
    EXPECT_EQ(env.backend.sent.size(), before);
}

TEST(FormsProcessing, ReceivedMessageTextIsShownNotRun) {
    FormsTestEnv env;
    env.backend.inboxFiles.insert(QStringLiteral("IN 12.txt"), QString::fromLatin1(readFixture("rx_script.txt")));
    EXPECT_EQ(env.get(QStringLiteral("/REQUESTRXMSG?ID=IN+12.txt")),
              QStringLiteral("From: shore@example.com<br>Hi &lt;b&gt;crew&lt;/b&gt; &amp; friends,<br>"
                             "&lt;script&gt;alert(1)&lt;/script&gt;<br>line3<br>last"));
    EXPECT_EQ(env.get(QStringLiteral("/REQUESTRXMSG?ID=gone.txt")),
              QStringLiteral("'gone.txt' Does not exist!<br>The file might have been manually deleted by operator."));
}

TEST(FormsProcessing, MessageIdsNeverLeaveTheirMailbox) {
    FormsTestEnv env;
    const QStringList ids = {QStringLiteral("../Sent+items/x.out"), QStringLiteral("..%2F..%2Fsecret.txt"),
                             QStringLiteral("..%5Cx"), QStringLiteral(".."), QStringLiteral("%2Fetc%2Fpasswd")};
    for (const QString& id : ids) {
        EXPECT_TRUE(env.get(QStringLiteral("/REQUESTRXMSG?ID=") + id).contains(QStringLiteral("Does not exist!")))
            << id.toStdString();
        EXPECT_TRUE(env.get(QStringLiteral("/REQUESTTXMSG?ID=") + id).contains(QStringLiteral("Does not exist!")))
            << id.toStdString();
    }
    EXPECT_TRUE(env.backend.bodyRequests.isEmpty()) << env.backend.bodyRequests.join(u' ').toStdString();
}

TEST(FormsProcessing, SentMessagePageCarriesTheDecodeScript) {
    FormsTestEnv env;
    env.backend.outboxFiles.insert(QStringLiteral("13050701.out"), QStringLiteral("POS,55 <N>"));
    const QString withoutScript = env.get(QStringLiteral("/REQUESTTXMSG?ID=13050701.out"));
    EXPECT_EQ(withoutScript,
              QStringLiteral("<script type=\"text/javascript\"></script><html><body onload='MainDecode()'>"
                             "POS,55 &lt;N&gt;</body></html>"));
    EXPECT_TRUE(env.readFile(QStringLiteral("ErrorLog.txt"))
                    .endsWith("  LoadOutBoxHeader:Error, file 'decode.js' not found\r\n"))
        << env.readFile(QStringLiteral("ErrorLog.txt")).toStdString();

    env.writeFile(QStringLiteral("html/decode.js"), "function MainDecode(){}");
    EXPECT_TRUE(env.get(QStringLiteral("/REQUESTTXMSG?ID=13050701.out"))
                    .startsWith(QStringLiteral("<script type=\"text/javascript\">function MainDecode(){}</script>")));
}

TEST(FormsProcessing, EveryPlaceholderIsFilled) {
    FormsTestEnv env;
    env.config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName"), QStringLiteral("Nordlys"));
    env.config.SetIni(QStringLiteral("[Signature]"), QStringLiteral("Captain\r\nMV Nordlys"));
    env.processing.setServerAddress(QStringLiteral("127.0.0.1"), 8123);
    env.writeFile(QStringLiteral("html/all.htm"), readFixture("placeholders.htm"));
    EXPECT_EQ(env.get(QStringLiteral("/all.htm")), QString::fromLatin1(readFixture("placeholders.expected.htm")));
    EXPECT_TRUE(env.debugLog.TextWindow().contains(QStringLiteral("  /all.htm\r\n")));
}

TEST(FormsProcessing, PositionWithoutFixReadsAsWords) {
    FormsTestEnv env;
    env.backend.position = QStringLiteral("255,255.255N , 255,255.255E");
    EXPECT_EQ(env.processing.FillPlaceholders(QStringLiteral("<input value=\"<%=REQUESTPOSITION%>\">")),
              QStringLiteral("<input value=\"No position available\">"));
    // Without the position tag the page is left as written.
    EXPECT_EQ(env.processing.FillPlaceholders(QStringLiteral("255,255.255N , 255,255.255E")),
              QStringLiteral("255,255.255N , 255,255.255E"));
}

TEST(FormsProcessing, MailboxListingTagsPassTheirArguments) {
    FormsTestEnv env;
    struct Case {
        QString page;
        QString filled;
        QString call; // empty: the store is not asked
    };
    const QList<Case> cases = {
        {QStringLiteral("<%=REQUESTOUTBOX  5  2  1%>"), QStringLiteral("<table>outbox</table>"),
         QStringLiteral("out 5 2 1")},
        {QStringLiteral("<%=RequestOutbox 3 x%>"), QStringLiteral("<table>outbox</table>"),
         QStringLiteral("out 3 0 0")},
        {QStringLiteral("[<%=REQUESTOUTBOX 0 0 1%>]"), QStringLiteral("[]"), {}},
        {QStringLiteral("[<%=REQUESTOUTBOX -3%>]"), QStringLiteral("[]"), {}},
        {QStringLiteral("<%=REQUESTINBOX 9 1 2 7%>"), QStringLiteral("<table>inbox</table>"),
         QStringLiteral("in 9 1 2 1")},
        {QStringLiteral("<%=REQUESTINBOX 99999999999 0 -4 0%>"), QStringLiteral("<table>inbox</table>"),
         QStringLiteral("in 2147483647 0 0 0")},
        {QStringLiteral("[<%=REQUESTINBOX%>]"), QStringLiteral("[]"), {}},
    };
    for (const Case& c : cases) {
        env.backend.listingCalls.clear();
        EXPECT_EQ(env.processing.FillPlaceholders(c.page), c.filled) << c.page.toStdString();
        EXPECT_EQ(env.backend.listingCalls, c.call.isEmpty() ? QStringList() : QStringList{c.call})
            << c.page.toStdString();
    }
}

TEST(FormsProcessing, ManyUnclosedTagsAreLeftAlone) {
    FormsTestEnv env;
    QString page;
    for (int i = 0; i < 2000; ++i)
        page += QStringLiteral("<%=X ");
    page += QStringLiteral("%> <%=REQUESTSPEED%>");
    const QString filled = env.processing.FillPlaceholders(page);
    EXPECT_TRUE(filled.endsWith(QStringLiteral("%> 12")));
    EXPECT_EQ(filled.count(QStringLiteral("<%=X ")), 2000);
}

TEST(FormsProcessing, MessageTypeAndFormatTexts) {
    const QList<std::pair<const char*, int>> types = {
        {"", 0},     {"E-Mail", 0}, {"email", 0}, {" telex ", 1}, {"FAX", 2}, {"InmC", 3}, {"pstn", 4}, {"SAC", 5},
        {"DNID", 6}, {"X.25", 7},   {"x25", 7},   {"SMS", 8},     {"8", 8},   {"9", -1},   {"-1", -1},  {"Pigeon", -1}};
    for (const auto& [text, index] : types)
        EXPECT_EQ(FormMessageType(QString::fromLatin1(text)), index) << text;
    EXPECT_EQ(FormFormatCode(QStringLiteral("5-Bit")), 0);
    EXPECT_EQ(FormFormatCode(QStringLiteral("7-bit")), 1);
    EXPECT_EQ(FormFormatCode(QStringLiteral("8-BIT")), 2);
    EXPECT_EQ(FormFormatCode(QString()), 1);
}
