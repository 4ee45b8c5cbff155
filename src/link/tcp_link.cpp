#include "link/tcp_link.h"

#include "link/link_settings.h"

namespace tessaro {

TcpLink::TcpLink(QObject* parent) : ILink(parent) {
    connect(&m_socket, &QTcpSocket::readyRead, this, &ILink::dataArrived);
    // A command line is a few bytes answered before the next goes out: Nagle's algorithm would only hold
    // it back until the last reply's segment is acknowledged.
    connect(&m_socket, &QTcpSocket::connected, this,
            [this] { m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        m_errorNumber = int(error);
        m_errorText = m_socket.errorString();
        if (error == QAbstractSocket::RemoteHostClosedError || error == QAbstractSocket::NetworkError) {
            m_event = LinkEvent::Lost;
            Q_EMIT eventOccurred(m_event);
        }
    });
}

void TcpLink::setTarget(const QString& hostPort, const QString&) {
    m_target = hostPort;
}

bool TcpLink::open() {
    m_socket.abort();
    const HostPort hp = ParseHostPort(m_target);
    if (!hp.ok)
        return false;
    m_socket.connectToHost(hp.host, hp.port);
    return true;
}

void TcpLink::close() {
    m_socket.abort();
}

bool TcpLink::write(const QByteArray& bytes) {
    if (!isOpen())
        return false;
    // Handed to the kernel now, not at the next event-loop turn: once the engine has counted a line as written
    // (a "tx" leaves the unsent list), a kill of the program must not take it back.
    const bool whole = m_socket.write(bytes) == bytes.size();
    m_socket.flush();
    return whole;
}

QByteArray TcpLink::readAll() {
    return m_socket.readAll();
}

LinkEvent TcpLink::takeEvent() {
    const LinkEvent e = m_event;
    m_event = LinkEvent::None;
    return e;
}

} // namespace tessaro
