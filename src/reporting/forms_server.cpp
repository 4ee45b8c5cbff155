#include "reporting/forms_server.h"

#include "config/logs.h"
#include "reporting/irequest_handler.h"

#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace tessaro {

cFormsServer::cFormsServer(IRequestHandler& handler, DebugLog* debugLog, QObject* parent)
    : QObject(parent), m_handler(handler), m_debugLog(debugLog), m_server(new QTcpServer(this)) {
    connect(m_server, &QTcpServer::newConnection, this, &cFormsServer::onNewConnection);
}

cFormsServer::~cFormsServer() {
    for (auto& [socket, c] : m_connections) {
        if (c->socket) {
            c->socket->disconnect(this);
            c->socket->abort();
        }
    }
}

bool cFormsServer::listen(const QHostAddress& address, quint16 port) {
    return m_server->listen(address, port);
}

void cFormsServer::close() {
    m_server->close();
}

bool cFormsServer::isListening() const {
    return m_server->isListening();
}

QString cFormsServer::errorString() const {
    return m_server->errorString();
}

QHostAddress cFormsServer::serverAddress() const {
    return m_server->serverAddress();
}

quint16 cFormsServer::serverPort() const {
    return m_server->serverPort();
}

QString cFormsServer::urlHost() const {
    const QHostAddress a = m_server->serverAddress();
    if (a == QHostAddress::Any || a == QHostAddress::AnyIPv4)
        return QStringLiteral("127.0.0.1");
    if (a == QHostAddress::AnyIPv6)
        return QStringLiteral("[::1]");
    if (a.protocol() == QAbstractSocket::IPv6Protocol)
        return QLatin1Char('[') + a.toString() + QLatin1Char(']');
    return a.toString();
}

QString cFormsServer::StateName(int state) {
    switch (state) {
    case QAbstractSocket::UnconnectedState:
        return QStringLiteral("Closed");
    case QAbstractSocket::BoundState:
        return QStringLiteral("Open");
    case QAbstractSocket::ListeningState:
        return QStringLiteral("Listening");
    case QAbstractSocket::HostLookupState:
        return QStringLiteral("Resolving host");
    case QAbstractSocket::ConnectingState:
        return QStringLiteral("Connecting");
    case QAbstractSocket::ConnectedState:
        return QStringLiteral("Connected");
    case QAbstractSocket::ClosingState:
        return QStringLiteral("Closing");
    default:
        return QStringLiteral("Unknown");
    }
}

void cFormsServer::debug(const QString& line) {
    if (m_debugLog)
        m_debugLog->AddLine(line);
}

void cFormsServer::onNewConnection() {
    while (m_server->hasPendingConnections()) {
        debug(QStringLiteral("Winsock connection request..."));
        debug(QStringLiteral("Winsock state: ") +
              StateName(m_server->isListening() ? QAbstractSocket::ListeningState : QAbstractSocket::UnconnectedState));
        QTcpSocket* socket = m_server->nextPendingConnection();
        if (!socket)
            break;
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        c->gatherer = HttpRequestGatherer(m_maxBytes);
        c->timer = new QTimer(socket);
        c->timer->setSingleShot(true);
        c->timer->setInterval(m_timeoutMs);
        connect(c->timer, &QTimer::timeout, this, [this, socket] { onTimeout(socket); });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket](qint64 n) { onBytesWritten(socket, n); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onDisconnected(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError e) {
            debug(QStringLiteral("Winsock error ") + QString::number(int(e)) + QStringLiteral(", ") +
                  socket->errorString());
        });
        c->timer->start();
        m_connections.emplace(socket, std::move(c));
        debug(QStringLiteral("Winsock connection accepted"));
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void cFormsServer::onReadyRead(QTcpSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection& c = *it->second;
    const QByteArray bytes = socket->readAll();
    if (c.answered)
        return; // one request per connection; anything after it is ignored
    debug(QStringLiteral("Winsock data received..."));
    switch (c.gatherer.feed(bytes)) {
    case HttpRequestGatherer::State::Incomplete:
        break;
    case HttpRequestGatherer::State::Complete: {
        const QByteArray request = c.gatherer.request();
        const QString refused = ForeignRequestReason(request, ownOrigin(*socket));
        if (refused.isEmpty())
            answer(c, m_handler.processRequest(request));
        else
            refuse(c, refused);
        break;
    }
    case HttpRequestGatherer::State::TooLarge:
        answer(c, QByteArrayLiteral("Error, request too large."));
        break;
    }
}

void cFormsServer::answer(Connection& c, const QByteArray& body) {
    c.answered = true;
    c.timer->stop();
    c.socket->write(QByteArrayLiteral("HTTP/1.1 200 OK\r\n\r\n") + body);
    debug(QStringLiteral("Winsock response sent"));
    Q_EMIT requestAnswered();
}

void cFormsServer::refuse(Connection& c, const QString& reason) {
    c.answered = true;
    c.timer->stop();
    const QByteArray text = reason.toUtf8();
    c.socket->write(QByteArrayLiteral("HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain; charset=utf-8\r\n"
                                      "X-Content-Type-Options: nosniff\r\nContent-Length: ") +
                    QByteArray::number(text.size()) + QByteArrayLiteral("\r\nConnection: close\r\n\r\n") + text);
    debug(QStringLiteral("Winsock request refused: ") + reason);
    Q_EMIT requestRefused();
}

OwnOrigin cFormsServer::ownOrigin(const QTcpSocket& socket) const {
    OwnOrigin own;
    own.port = m_server->serverPort();
    const auto addAddress = [&own](const QHostAddress& a) {
        if (a.isNull() || a == QHostAddress::Any || a == QHostAddress::AnyIPv4 || a == QHostAddress::AnyIPv6)
            return;
        own.hosts << a.toString();
        bool mapped = false;
        const quint32 v4 = a.toIPv4Address(&mapped);
        if (mapped && a.protocol() == QAbstractSocket::IPv6Protocol)
            own.hosts << QHostAddress(v4).toString(); // "::ffff:127.0.0.1" is reached as 127.0.0.1
    };
    addAddress(socket.localAddress());
    addAddress(m_server->serverAddress());
    own.hosts << QStringLiteral("localhost");
    const QString machine = QHostInfo::localHostName();
    if (!machine.isEmpty())
        own.hosts << machine;
    return own;
}

void cFormsServer::onBytesWritten(QTcpSocket* socket, qint64 bytes) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    const qint64 remaining = socket->bytesToWrite();
    debug(QStringLiteral("Sent: ") + QString::number(bytes) + QStringLiteral(", Remaining: ") +
          QString::number(remaining));
    if (it->second->answered && remaining == 0) {
        debug(QStringLiteral("Winsock send complete and connection closed"));
        socket->disconnectFromHost(); // may report the disconnection at once; the connection is gone then
    }
}

void cFormsServer::onTimeout(QTcpSocket* socket) {
    if (m_connections.find(socket) == m_connections.end())
        return;
    debug(QStringLiteral("Winsock request incomplete after %1 ms, connection closed").arg(m_timeoutMs));
    socket->abort();
    forget(socket);
}

void cFormsServer::onDisconnected(QTcpSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    debug(QStringLiteral("Winsock connection closed"));
    forget(socket);
}

void cFormsServer::forget(QTcpSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    const bool answered = it->second->answered;
    m_connections.erase(it);
    socket->disconnect(this);
    socket->deleteLater();
    if (!answered)
        Q_EMIT connectionDropped();
}

} // namespace tessaro
