// tessaro-slp: a small SLP version 2 user agent. It finds services by type and reads their attributes, and
// prints them the way the program reads them: "URL,LIFETIME" one a line, and attribute lists one a line.
#include "link/slp_codec.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>

#include <cstdio>

using namespace tessaro;

namespace {

enum ExitCode {
    kExitOk = 0,         // the request went out; whatever answered is printed (possibly nothing)
    kExitUsage = 1,      // bad command line
    kExitNetwork = 2,    // no socket, or the request could not be sent
    kExitAgentError = 3, // agents answered, but only with SLP errors
};

const char* const kHelpEpilogue = R"(
Commands:
  findsrvs SERVICE-TYPE      Service Request; prints each service as URL,LIFETIME on its own line.
  findattrs URL|SERVICE-TYPE Attribute Request; prints each agent's attribute list on its own line,
                             e.g. (device-model=7302),(device-sw-version=1.06)

Without -u or --to, requests go to the multicast group 239.255.255.253 on the SLP port, and replies are
collected for the whole --wait time (the request is repeated every second, naming the agents that have
already answered so that only new ones reply). With -u or --to they go to those addresses only, and the
tool ends as soon as every one has answered.

Exit status:
  0  the request was sent; the answers (possibly none) are printed
  1  bad command line
  2  network error: no socket, or the request could not be sent
  3  agents answered, but only with SLP error codes (printed on standard error)
)";

struct Target {
    QHostAddress address;
    quint16 port = slp::kPort;
};

// "HOST" or "HOST:PORT" (an IPv6 address in brackets when it has a port).
bool parseTarget(const QString& text, quint16 defaultPort, Target* out) {
    QString host = text.trimmed();
    quint16 port = defaultPort;
    const qsizetype colon = host.lastIndexOf(u':');
    if (colon > 0 && host.count(u':') == 1) {
        bool ok = false;
        const uint p = host.mid(colon + 1).toUInt(&ok);
        if (!ok || p == 0 || p > 65535)
            return false;
        port = quint16(p);
        host = host.left(colon);
    } else if (host.startsWith(u'[') && host.contains(QLatin1String("]:"))) {
        const qsizetype close = host.indexOf(QLatin1String("]:"));
        bool ok = false;
        const uint p = host.mid(close + 2).toUInt(&ok);
        if (!ok || p == 0 || p > 65535)
            return false;
        port = quint16(p);
        host = host.mid(1, close - 1);
    }
    const QHostAddress address(host);
    if (address.isNull())
        return false;
    *out = {address, port};
    return true;
}

void printLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString& text) {
    std::fprintf(stderr, "tessaro-slp: %s\n", qPrintable(text));
}

class UserAgent final : public QObject {
public:
    UserAgent(bool attributes, QByteArray subject, QList<Target> targets, quint16 port, int waitMs, QByteArray language,
              QByteArray scopes)
        : m_attributes(attributes), m_subject(std::move(subject)), m_targets(std::move(targets)), m_port(port),
          m_language(std::move(language)), m_scopes(std::move(scopes)),
          m_xid(quint16(QRandomGenerator::global()->bounded(1, 0x10000))) {
        m_deadline.setSingleShot(true);
        m_deadline.setInterval(waitMs);
        m_repeat.setInterval(1000);
        connect(&m_deadline, &QTimer::timeout, this, [this] { finish(); });
        connect(&m_repeat, &QTimer::timeout, this, [this] { send(); });
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] { readReplies(); });
    }

    int exitCode() const { return m_exit; }

    // False when nothing could be sent at all.
    bool start() {
        if (!m_socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0)) {
            printError(QStringLiteral("cannot open a UDP socket: %1").arg(m_socket.errorString()));
            m_exit = kExitNetwork;
            return false;
        }
        if (!send())
            return false;
        m_deadline.start();
        m_repeat.start();
        return true;
    }

private:
    bool multicast() const { return m_targets.isEmpty(); }

    QByteArray request() const {
        QList<QByteArray> responders;
        if (multicast()) {
            for (const QHostAddress& a : m_responders)
                responders << a.toString().toLatin1();
        }
        return m_attributes
                   ? slp::BuildAttributeRequest(m_xid, m_subject, multicast(), responders, m_language, m_scopes)
                   : slp::BuildServiceRequest(m_xid, m_subject, multicast(), responders, m_language, m_scopes);
    }

    bool send() {
        const QByteArray datagram = request();
        bool sent = false;
        QString error;
        if (multicast()) {
            sent = m_socket.writeDatagram(datagram, QHostAddress(QLatin1String(slp::kMulticastGroup)), m_port) ==
                   datagram.size();
            if (!sent)
                error = m_socket.errorString();
        } else {
            for (const Target& t : m_targets) {
                if (m_responders.contains(t.address))
                    continue;
                if (m_socket.writeDatagram(datagram, t.address, t.port) == datagram.size())
                    sent = true;
                else
                    error = QStringLiteral("%1: %2").arg(t.address.toString(), m_socket.errorString());
            }
        }
        if (!sent && !m_everSent) {
            printError(QStringLiteral("cannot send the request: %1").arg(error));
            m_exit = kExitNetwork;
            finish();
            return false;
        }
        m_everSent = m_everSent || sent;
        return true;
    }

    void readReplies() {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = m_socket.receiveDatagram();
            handle(d.senderAddress(), d.data());
        }
        if (!multicast() && allTargetsAnswered())
            finish();
    }

    bool allTargetsAnswered() const {
        for (const Target& t : m_targets) {
            if (!m_responders.contains(t.address))
                return false;
        }
        return true;
    }

    void handle(const QHostAddress& sender, const QByteArray& datagram) {
        quint16 error = slp::kOk;
        if (m_attributes) {
            const auto reply = slp::ParseAttributeReply(datagram, m_xid, m_language);
            if (!reply.ok())
                return; // not an answer to this request: somebody else's, stale or damaged
            if (m_responders.contains(sender))
                return; // the answer to a repeated request
            m_responders.insert(sender);
            error = reply.value.error;
            if (error == slp::kOk)
                printLine(reply.value.attributes);
        } else {
            const auto reply = slp::ParseServiceReply(datagram, m_xid, m_language);
            if (!reply.ok())
                return;
            m_responders.insert(sender);
            error = reply.value.error;
            for (const slp::UrlEntry& e : reply.value.urls) {
                const QByteArray line = slp::UrlLine(e);
                if (!m_printed.contains(line)) {
                    m_printed.insert(line);
                    printLine(line);
                }
            }
        }
        if (error == slp::kOk) {
            m_goodAnswers = true;
        } else {
            m_agentErrors = true;
            printError(QStringLiteral("%1 answered with SLP error %2").arg(sender.toString()).arg(error));
        }
    }

    void finish() {
        if (m_finished)
            return;
        m_finished = true;
        m_deadline.stop();
        m_repeat.stop();
        if (m_exit == kExitOk && m_agentErrors && !m_goodAnswers)
            m_exit = kExitAgentError;
        QCoreApplication::exit(m_exit);
    }

    bool m_attributes;
    QByteArray m_subject;
    QList<Target> m_targets;
    quint16 m_port;
    QByteArray m_language;
    QByteArray m_scopes;
    quint16 m_xid;
    QUdpSocket m_socket;
    QTimer m_deadline;
    QTimer m_repeat;
    QSet<QHostAddress> m_responders;
    QSet<QByteArray> m_printed;
    bool m_everSent = false;
    bool m_goodAnswers = false;
    bool m_agentErrors = false;
    bool m_finished = false;
    int m_exit = kExitOk;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-slp"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A Service Location Protocol (SLPv2) user agent: finds services and their attributes."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption unicast(
        QStringLiteral("u"),
        QStringLiteral("Send to this one agent instead of the multicast group. A \":PORT\" after the address, as "
                       "findsrvs prints it, is the service's port and is not used."),
        QStringLiteral("ADDRESS"));
    const QCommandLineOption to(QStringList{QStringLiteral("t"), QStringLiteral("to")},
                                QStringLiteral("Send to HOST (at PORT, or the SLP port) instead of the multicast "
                                               "group; may be given several times."),
                                QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption port(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("The SLP port (default 427)."), QStringLiteral("N"),
                                  QString::number(slp::kPort));
    const QCommandLineOption wait(QStringList{QStringLiteral("w"), QStringLiteral("wait")},
                                  QStringLiteral("Milliseconds to collect replies (default 3000)."),
                                  QStringLiteral("MS"), QStringLiteral("3000"));
    const QCommandLineOption language(QStringList{QStringLiteral("l"), QStringLiteral("language")},
                                      QStringLiteral("Language tag of the request (default en)."),
                                      QStringLiteral("TAG"), QLatin1String(slp::kLanguage));
    const QCommandLineOption scopes(QStringList{QStringLiteral("s"), QStringLiteral("scopes")},
                                    QStringLiteral("Scope list (default DEFAULT)."), QStringLiteral("LIST"),
                                    QLatin1String(slp::kDefaultScope));
    parser.addOptions({help, version, unicast, to, port, wait, language, scopes});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("findsrvs or findattrs"));
    parser.addPositionalArgument(QStringLiteral("subject"), QStringLiteral("service type or service URL"));

    const auto usage = [&parser](const QString& error) {
        printError(error);
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return int(kExitUsage);
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        std::printf("%s%s", qPrintable(parser.helpText()), kHelpEpilogue);
        return kExitOk;
    }
    if (parser.isSet(version)) {
        std::printf("tessaro-slp %s\n", TESSARO_VERSION);
        return kExitOk;
    }

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2 || (args[0] != QLatin1String("findsrvs") && args[0] != QLatin1String("findattrs")))
        return usage(QStringLiteral("expected findsrvs SERVICE-TYPE or findattrs URL|SERVICE-TYPE"));
    bool ok = false;
    const uint slpPort = parser.value(port).toUInt(&ok);
    if (!ok || slpPort == 0 || slpPort > 65535)
        return usage(QStringLiteral("--port must be 1..65535"));
    const int waitMs = parser.value(wait).toInt(&ok);
    if (!ok || waitMs < 0)
        return usage(QStringLiteral("--wait must be a number of milliseconds"));

    QList<Target> targets;
    if (parser.isSet(unicast)) {
        Target t;
        // The service's own port is not where its agent listens.
        if (!parseTarget(parser.value(unicast), quint16(slpPort), &t))
            return usage(QStringLiteral("-u needs an IP address, not '%1'").arg(parser.value(unicast)));
        t.port = quint16(slpPort);
        targets << t;
    } else {
        for (const QString& text : parser.values(to)) {
            Target t;
            if (!parseTarget(text, quint16(slpPort), &t))
                return usage(QStringLiteral("--to needs HOST or HOST:PORT, not '%1'").arg(text));
            targets << t;
        }
    }

    UserAgent agent(args[0] == QLatin1String("findattrs"), args[1].toUtf8(), targets, quint16(slpPort), waitMs,
                    parser.value(language).toLatin1(), parser.value(scopes).toUtf8());
    if (!agent.start())
        return agent.exitCode();
    QCoreApplication::exec();
    return agent.exitCode();
}
