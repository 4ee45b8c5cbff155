#include "slp_agent.h"

#include "link/slp_codec.h"

#include <QNetworkDatagram>

namespace tessaro::sim {

namespace {
constexpr quint16 kLifetime = 65535;

bool hasDefaultScope(const QByteArray& scopes) {
    if (scopes.trimmed().isEmpty())
        return true;
    for (const QByteArray& s : scopes.split(',')) {
        if (s.trimmed().compare(slp::kDefaultScope, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isOurType(const QByteArray& typeOrUrl) {
    return typeOrUrl.toLower().startsWith(QByteArray(slp::kServiceType));
}
} // namespace

SlpAgent::SlpAgent(QObject* parent) : QObject(parent) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &SlpAgent::readRequests);
    setShellAddress(QHostAddress(QHostAddress::LocalHost), 23);
}

bool SlpAgent::listen(const QHostAddress& address, quint16 port) {
    return m_socket.bind(address, port);
}

void SlpAgent::setShellAddress(const QHostAddress& address, quint16 port) {
    QByteArray host = address.toString().toLatin1();
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        host = '[' + host + ']';
    m_url = QByteArray(slp::kServiceType) + "://" + host;
    if (port != 23)
        m_url += ':' + QByteArray::number(port);
}

QByteArray SlpAgent::attributes() const {
    return "(device-model=" + m_model + "),(device-sw-version=" + m_version + ")";
}

QByteArray SlpAgent::answer(const QByteArray& datagram, const QHostAddress& ownAddress) const {
    const auto request = slp::ParseRequest(datagram);
    if (!request.ok())
        return {};
    const slp::Header& h = request.value.header;
    const bool multicast = (h.flags & slp::kFlagMulticast) != 0;
    // Agents already named as having answered stay silent on a repeated multicast request.
    if (multicast && request.value.previousResponders.contains(ownAddress.toString().toLatin1()))
        return {};
    const bool scopeOk = hasDefaultScope(request.value.scopes);
    if (!isOurType(request.value.serviceTypeOrUrl) || (!scopeOk && multicast))
        return {};
    const quint16 error = scopeOk ? slp::kOk : slp::kScopeNotSupported;
    if (h.function == quint8(slp::Function::SrvRqst)) {
        QList<slp::UrlEntry> urls;
        if (error == slp::kOk)
            urls.append({kLifetime, m_url});
        return slp::BuildServiceReply(h.xid, h.language, error, urls);
    }
    return slp::BuildAttributeReply(h.xid, h.language, error, error == slp::kOk ? attributes() : QByteArray());
}

void SlpAgent::readRequests() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket.receiveDatagram();
        const QByteArray reply = answer(d.data(), m_socket.localAddress());
        if (reply.isEmpty())
            continue;
        m_socket.writeDatagram(reply, d.senderAddress(), quint16(d.senderPort()));
        ++m_answered;
    }
}

} // namespace tessaro::sim
