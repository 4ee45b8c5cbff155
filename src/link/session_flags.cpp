#include "link/session_flags.h"

namespace tessaro {

void SessionFlags::SetLanLinkUp(bool value) {
    if (m_lanLinkUp == value)
        return;
    m_lanLinkUp = value;
    Q_EMIT lanLinkUpChanged(value);
}

void SessionFlags::SetTcpConnected(bool value) {
    if (m_tcpConnected == value)
        return;
    m_tcpConnected = value;
    Q_EMIT tcpConnectedChanged(value);
}

void SessionFlags::SetMesConnected(bool value) {
    if (m_mesConnected == value)
        return;
    m_mesConnected = value;
    Q_EMIT mesConnectedChanged(value);
    Q_EMIT changed();
}

void SessionFlags::SetProcessingEgcs(bool value) {
    if (m_processingEgcs == value)
        return;
    m_processingEgcs = value;
    Q_EMIT processingChanged();
}

void SessionFlags::SetProcessingMsgs(bool value) {
    if (m_processingMsgs == value)
        return;
    m_processingMsgs = value;
    Q_EMIT processingChanged();
}

void SessionFlags::SetCurrentProtocol(const QString& value) {
    if (m_currentProtocol == value)
        return;
    m_currentProtocol = value;
    Q_EMIT currentProtocolChanged(value);
    Q_EMIT changed();
}

void SessionFlags::SetCurrentChannel(const QString& value) {
    if (m_currentChannel == value)
        return;
    m_currentChannel = value;
    Q_EMIT currentChannelChanged(value);
    Q_EMIT changed();
}

void SessionFlags::Reset() {
    SetMesConnected(false);
    SetProcessingEgcs(false);
    SetProcessingMsgs(false);
    m_solasType = 0;
    m_productModel = 0;
    SetCurrentProtocol(QString());
    SetCurrentChannel(QString());
}

} // namespace tessaro
