#pragma once

#include "reporting/http_request.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>

#include <memory>
#include <unordered_map>

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace tessaro {

class DebugLog;
class IRequestHandler;

// The listening side of the forms server: accepts connections, gathers each request until it is complete,
// hands it to the request handler once, sends "HTTP/1.1 200 OK", an empty line and the answer, and closes.
// Every connection has a size cap and a time-out, so a stalled or flooding client cannot hold resources.
// A request from another web site or under a foreign host name never reaches the handler: it is answered
// "403 Forbidden" with the reason as plain text (ForeignRequestReason), since any page the operator's
// browser shows could otherwise send paid messages or read the mailboxes.
class cFormsServer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultRequestTimeoutMs = 10000;

    cFormsServer(IRequestHandler& handler, DebugLog* debugLog, QObject* parent = nullptr);
    ~cFormsServer() override;

    // Binds and listens; false with errorString() when the address or port cannot be had.
    bool listen(const QHostAddress& address, quint16 port);
    void close();
    bool isListening() const;
    QString errorString() const;
    QHostAddress serverAddress() const;
    quint16 serverPort() const;
    // Address for URLs: a wildcard bind is reached through the loopback address.
    QString urlHost() const;

    void setRequestTimeoutMs(int ms) { m_timeoutMs = ms; }
    void setMaxRequestBytes(qsizetype bytes) { m_maxBytes = bytes; }
    int openConnections() const { return int(m_connections.size()); }

    // Name of a socket state as the debug log shows it.
    static QString StateName(int state);

    // The names this connection's client may use for the server: the address it connected to, the bound
    // address, "localhost" and the machine's name, with the server's port.
    OwnOrigin ownOrigin(const QTcpSocket& socket) const;

Q_SIGNALS:
    void requestAnswered();
    void requestRefused();    // from another web site or under a foreign name; the handler never saw it
    void connectionDropped(); // closed or timed out before a complete request arrived

private:
    struct Connection {
        QPointer<QTcpSocket> socket;
        HttpRequestGatherer gatherer;
        QTimer* timer = nullptr;
        bool answered = false;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onBytesWritten(QTcpSocket* socket, qint64 bytes);
    void onTimeout(QTcpSocket* socket);
    void onDisconnected(QTcpSocket* socket);
    void answer(Connection& c, const QByteArray& body);
    void refuse(Connection& c, const QString& reason);
    void forget(QTcpSocket* socket);
    void debug(const QString& line);

    IRequestHandler& m_handler;
    DebugLog* m_debugLog;
    QTcpServer* m_server;
    std::unordered_map<QTcpSocket*, std::unique_ptr<Connection>> m_connections;
    int m_timeoutMs = kDefaultRequestTimeoutMs;
    qsizetype m_maxBytes = HttpRequestGatherer::kDefaultMaxBytes;
};

} // namespace tessaro
