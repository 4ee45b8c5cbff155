#include "forms_test_env.h"
#include "reporting/forms_server.h"
#include "reporting/forms_service.h"
#include "reporting/forms_settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace tessaro;

namespace {
// Sockets need an application object and its event loop; the loop runs only while a test waits for an event.
class QtApp : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QCoreApplication::instance())
            m_app = new QCoreApplication(m_argc, m_argv);
    }

private:
    int m_argc = 1;
    char m_name[8] = "test";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication* m_app = nullptr;
};
const auto* const kQtApp = ::testing::AddGlobalTestEnvironment(new QtApp);

bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(1);
    if (!done())
        loop.exec();
    return done();
}

// A loopback client that writes the given pieces one after another, each once the server has read the last.
struct Client {
    QTcpSocket socket;
    QByteArray received;

    explicit Client(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        runUntil([this] { return socket.state() == QAbstractSocket::ConnectedState; });
    }
    bool closedByServer() {
        return runUntil([this] { return socket.state() == QAbstractSocket::UnconnectedState; });
    }
};

struct ServerEnv : FormsTestEnv {
    cFormsServer server{processing, &debugLog};
    int answered = 0;
    int dropped = 0;
    ServerEnv() {
        QObject::connect(&server, &cFormsServer::requestAnswered, &server, [this] { ++answered; });
        QObject::connect(&server, &cFormsServer::connectionDropped, &server, [this] { ++dropped; });
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    }
    int dataArrivals() const { return int(debugLog.TextWindow().count(QStringLiteral("Winsock data received..."))); }
};
} // namespace

TEST(FormsServer, BodyArrivingLaterIsGatheredAndSentOnce) {
    ServerEnv env;
    Client client(env.server.serverPort());
    const QByteArray body = "MSGADDRESS=ops%40x&MSGTEXT=Hello&Deck=3";
    client.socket.write("POST /TXMESSAGE HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(env.server.serverPort()) +
                        "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n");
    ASSERT_TRUE(runUntil([&] { return env.dataArrivals() == 1; }));
    EXPECT_EQ(env.answered, 0);
    client.socket.write(body.left(10));
    ASSERT_TRUE(runUntil([&] { return env.dataArrivals() == 2; }));
    EXPECT_EQ(env.answered, 0);
    client.socket.write(body.mid(10));
    ASSERT_TRUE(client.closedByServer());

    EXPECT_EQ(client.received,
              QByteArray("HTTP/1.1 200 OK\r\n\r\n<HTML><BODY>Message submitted<br>Ref:13050701.out</BODY></HTML>"));
    ASSERT_EQ(env.backend.sent.size(), 1);
    EXPECT_EQ(env.backend.sent[0].text, QStringLiteral("Hello,3"));
    EXPECT_EQ(env.answered, 1);
    EXPECT_TRUE(runUntil([&] { return env.server.openConnections() == 0; }));
}

TEST(FormsServer, OneRequestPerConnectionWithItsDebugLogLines) {
    ServerEnv env;
    env.writeFile(QStringLiteral("html/index.htm"), "hello");
    Client client(env.server.serverPort());
    client.socket.write("GET / HTTP/1.1\r\n\r\nGET /other HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(client.closedByServer());
    EXPECT_EQ(client.received, QByteArray("HTTP/1.1 200 OK\r\n\r\nhello"));

    const QStringList expected = {QStringLiteral("Winsock connection request..."),
                                  QStringLiteral("Winsock state: Listening"),
                                  QStringLiteral("Winsock connection accepted"),
                                  QStringLiteral("Winsock data received..."),
                                  QStringLiteral("/"),
                                  QStringLiteral("Winsock response sent"),
                                  QStringLiteral("Sent: 24, Remaining: 0"),
                                  QStringLiteral("Winsock send complete and connection closed")};
    QStringList lines;
    for (const QString& line : env.debugLog.TextWindow().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        lines << line.mid(21); // after "yyyy-mm-dd hh:nn:ss  "
    ASSERT_GE(lines.size(), expected.size()) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines.mid(0, expected.size()), expected) << lines.join(u'|').toStdString();
}

TEST(FormsServer, StalledRequestTimesOutUnanswered) {
    ServerEnv env;
    env.server.setRequestTimeoutMs(30);
    Client client(env.server.serverPort());
    client.socket.write("POST /TXMESSAGE HTTP/1.1\r\nContent-Length: 50\r\n\r\nMSGTEXT=half");
    ASSERT_TRUE(client.closedByServer());
    EXPECT_TRUE(client.received.isEmpty());
    EXPECT_EQ(env.answered, 0);
    EXPECT_EQ(env.dropped, 1);
    EXPECT_TRUE(env.backend.sent.isEmpty());
    EXPECT_EQ(env.server.openConnections(), 0);
}

TEST(FormsServer, OversizeRequestIsRefusedWithoutSending) {
    ServerEnv env;
    env.server.setMaxRequestBytes(200);
    Client client(env.server.serverPort());
    client.socket.write("POST /TXMESSAGE HTTP/1.1\r\nContent-Length: 5000\r\n\r\nMSGTEXT=x");
    ASSERT_TRUE(client.closedByServer());
    EXPECT_EQ(client.received, QByteArray("HTTP/1.1 200 OK\r\n\r\nError, request too large."));
    EXPECT_TRUE(env.backend.sent.isEmpty());
}

TEST(FormsServer, RequestsFromOtherSitesAreRefusedAndOwnFormsStillSend) {
    // The server's own pages carry its origin; another web page, or a foreign name resolved to this machine
    // (DNS rebinding), must not send paid messages or read the mailboxes.
    struct Case {
        const char* name;
        QByteArray headers; // "%P" stands for the server's port
        bool allowed;
    };
    const QString machine = QHostInfo::localHostName();
    const Case cases[] = {
        {"cross-origin POST", "Host: 127.0.0.1:%P\r\nOrigin: http://evil.example\r\n", false},
        {"foreign Host (DNS rebinding)", "Host: evil.example:%P\r\n", false},
        {"<img> GET with a foreign Referer", "Host: 127.0.0.1:%P\r\nReferer: http://evil.example/cat.html\r\n", false},
        {"own address, other port", "Host: 127.0.0.1:%P\r\nOrigin: http://127.0.0.1:1\r\n", false},
        {"own Host, wrong port", "Host: 127.0.0.1:1\r\n", false},
        {"https origin is another origin", "Host: 127.0.0.1:%P\r\nOrigin: https://127.0.0.1:%P\r\n", false},
        {"opaque origin of a sandboxed frame", "Host: 127.0.0.1:%P\r\nOrigin: null\r\n", false},
        {"browser says cross-site without naming it", "Host: 127.0.0.1:%P\r\nSec-Fetch-Site: cross-site\r\n", false},
        {"same-origin form",
         "Host: 127.0.0.1:%P\r\nOrigin: http://127.0.0.1:%P\r\n"
         "Referer: http://127.0.0.1:%P/email.htm\r\nSec-Fetch-Site: same-origin\r\n",
         true},
        {"localhost with its own origin", "Host: localhost:%P\r\nOrigin: http://LOCALHOST:%P\r\n", true},
        {"the machine's name",
         "Host: " + machine.toUtf8() + ":%P\r\nReferer: http://" + machine.toUtf8() + ":%P/index.htm\r\n", true},
        {"plain client without Origin, Referer or Host", "", true},
    };
    for (const Case& c : cases) {
        ServerEnv env;
        const QByteArray port = QByteArray::number(env.server.serverPort());
        const QByteArray body = "MSGADDRESS=ops%40x&MSGTEXT=Hello";
        Client client(env.server.serverPort());
        client.socket.write("POST /TXMESSAGE HTTP/1.1\r\n" + QByteArray(c.headers).replace("%P", port) +
                            "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        ASSERT_TRUE(client.closedByServer()) << c.name;
        if (c.allowed) {
            EXPECT_TRUE(client.received.startsWith("HTTP/1.1 200 OK\r\n")) << c.name << ": " << client.received.data();
            EXPECT_EQ(env.backend.sent.size(), 1) << c.name;
            continue;
        }
        EXPECT_TRUE(client.received.startsWith("HTTP/1.1 403 Forbidden\r\n"))
            << c.name << ": " << client.received.data();
        EXPECT_TRUE(client.received.contains("\r\nContent-Type: text/plain")) << c.name;
        const QByteArray text = client.received.mid(client.received.indexOf("\r\n\r\n") + 4);
        EXPECT_TRUE(text.startsWith("Refused: ")) << c.name << ": " << text.data();
        EXPECT_TRUE(env.backend.sent.isEmpty()) << c.name;
    }
}

TEST(FormsServer, ForeignPagesCannotReadTheMailboxesByGet) {
    ServerEnv env;
    env.writeFile(QStringLiteral("html/index.htm"), "inbox listing");
    env.backend.inboxFiles.insert(QStringLiteral("IN.7"), QStringLiteral("secret"));
    const QByteArray port = QByteArray::number(env.server.serverPort());
    const QByteArray requests[] = {
        "GET / HTTP/1.1\r\nHost: rebound.example:" + port + "\r\n\r\n",
        "GET /REQUESTRXMSG?ID=IN.7 HTTP/1.1\r\nHost: rebound.example:" + port + "\r\n\r\n",
        "GET /TXMESSAGE?MSGADDRESS=1&MSGTEXT=x HTTP/1.1\r\nHost: 127.0.0.1:" + port +
            "\r\nReferer: http://evil.example/\r\n\r\n",
    };
    for (const QByteArray& request : requests) {
        Client client(env.server.serverPort());
        client.socket.write(request);
        ASSERT_TRUE(client.closedByServer()) << request.data();
        EXPECT_TRUE(client.received.startsWith("HTTP/1.1 403 Forbidden\r\n")) << client.received.data();
        EXPECT_FALSE(client.received.contains("inbox listing"));
        EXPECT_FALSE(client.received.contains("secret"));
    }
    EXPECT_TRUE(env.backend.sent.isEmpty());
    EXPECT_TRUE(env.backend.bodyRequests.isEmpty());
    EXPECT_TRUE(env.debugLog.TextWindow().contains(QStringLiteral("Winsock request refused: ")));
}

TEST(FormsService, BusyPortKeepsTheProgramRunningAndSaysWhichPort) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const quint16 busy = occupant.serverPort();

    FormsTestEnv env;
    cErrorLog errorLog(env.data.path(), env.clock);
    QStringList printed;
    QStringList told;
    CFormsService service(env.config, env.backend, env.clock, errorLog, &env.debugLog);
    QObject::connect(&service, &CFormsService::listening, [&](const QString& l) { printed << l; });
    QObject::connect(&service, &CFormsService::startFailed, [&](const QString& m) { told << m; });
    EXPECT_FALSE(service.start(busy));
    EXPECT_FALSE(service.isListening());
    EXPECT_TRUE(printed.isEmpty());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("127.0.0.1 port ") + QString::number(busy))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("--forms-port")));
    const QByteArray log = env.readFile(QStringLiteral("ErrorLog.txt"));
    EXPECT_EQ(log.count("\r\n"), 1);
    EXPECT_TRUE(log.contains("(FormsServer.Listen) Error: cannot listen on 127.0.0.1 port " + QByteArray::number(busy)))
        << log.toStdString();

    env.config.SaveSettingValue(QStringLiteral("ElectronicForms"), QStringLiteral("LocalIP"),
                                QStringLiteral("ship.local"));
    EXPECT_FALSE(service.start(0));
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[1].contains(QStringLiteral("ship.local port 0: the address is not a valid IP address")));
}

TEST(FormsService, BoundServerAnnouncesItselfAndServesTheExamples) {
    FormsTestEnv env;
    QDir(env.formsFolder()).removeRecursively();
    cErrorLog errorLog(env.data.path(), env.clock);
    QStringList printed;
    CFormsService service(env.config, env.backend, env.clock, errorLog, nullptr);
    QObject::connect(&service, &CFormsService::listening, [&](const QString& l) { printed << l; });
    ASSERT_TRUE(service.start(0));
    const quint16 port = service.server().serverPort();
    ASSERT_NE(port, 0);
    const QString url = QStringLiteral("http://127.0.0.1:") + QString::number(port) + QLatin1Char('/');
    EXPECT_EQ(printed, QStringList{QStringLiteral("Forms server: ") + url});
    EXPECT_EQ(service.url(), url);

    // The placeholders give the real port, and a fresh forms folder has the example forms.
    EXPECT_EQ(service.processing().FillPlaceholders(QStringLiteral("<%=REQUESTSERVERIP%>:<%=REQUESTSERVERPORT%>")),
              QStringLiteral("127.0.0.1:") + QString::number(port));
    Client client(port);
    client.socket.write("GET /position_report.htm HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(client.closedByServer());
    EXPECT_TRUE(client.received.contains("value=\"55,40.12N , 12,5.30E\"")) << client.received.left(400).toStdString();
    EXPECT_FALSE(client.received.contains("<%="));
    EXPECT_EQ(service.menu().chooseForm(QStringLiteral("email.htm")), url + QStringLiteral("email.htm"));
}

TEST(FormsSettings, PortOutsideTheRangeIsReplacedAndWrittenBack) {
    const QList<std::pair<const char*, int>> cases = {{"8080", 8080}, {" 0", 0},   {"65535", 65535}, {"65536", 80},
                                                      {"-1", 80},     {"web", 80}, {"", 80}};
    for (const auto& [text, port] : cases) {
        FormsTestEnv env;
        const QString section = QStringLiteral("ElectronicForms");
        if (*text)
            env.config.SaveSettingValue(section, QStringLiteral("LocalPort"), QString::fromLatin1(text));
        EXPECT_EQ(ReadFormsSettings(env.config).localPort, port) << text;
        if (port == 80 && *text) {
            EXPECT_EQ(env.config.GetSettingValue(section, QStringLiteral("LocalPort")), QStringLiteral("80")) << text;
        }
    }
    FormsTestEnv env;
    const FormsSettings defaults = ReadFormsSettings(env.config);
    EXPECT_EQ(defaults.localIp, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(defaults.formsFolder, env.data.path() + QStringLiteral("html/"));
    env.config.SaveSettingValue(QStringLiteral("ElectronicForms"), QStringLiteral("Dir"),
                                QStringLiteral("forms\\ship"));
    EXPECT_EQ(FormsFolder(env.config), env.data.path() + QStringLiteral("forms/ship/"));
}
