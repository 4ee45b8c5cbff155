#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

namespace tessaro::sim {

// The unit's SLP service agent: answers Service Requests for "service:device.devsvc" with the unit's service
// URL and Attribute Requests with its model and software version. It listens on one unicast address and
// never joins the multicast group, so a test can run several on loopback (127.0.0.2, 127.0.0.3, ...) without
// anything leaving the machine.
class SlpAgent final : public QObject {
    Q_OBJECT
public:
    explicit SlpAgent(QObject* parent = nullptr);

    // Port 0 picks a free port.
    bool listen(const QHostAddress& address, quint16 port);
    void close() { m_socket.close(); }
    quint16 port() const { return m_socket.localPort(); }
    QHostAddress address() const { return m_socket.localAddress(); }
    QString errorString() const { return m_socket.errorString(); }

    // The address the unit's shell is reached at; the URL names its port only when it is not 23.
    void setShellAddress(const QHostAddress& address, quint16 port);
    QByteArray serviceUrl() const { return m_url; }
    void setModel(const QByteArray& model) { m_model = model; }
    void setSoftwareVersion(const QByteArray& version) { m_version = version; }
    QByteArray attributes() const;
    int answered() const { return m_answered; }

    // The reply to one request datagram from the given sender; empty when the agent stays silent.
    QByteArray answer(const QByteArray& request, const QHostAddress& ownAddress) const;

private:
    void readRequests();

    QUdpSocket m_socket;
    QByteArray m_url;
    QByteArray m_model = "7302";
    QByteArray m_version = "1.06";
    int m_answered = 0;
};

} // namespace tessaro::sim
