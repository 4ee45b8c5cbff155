#include "link/lan_connector.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "link/link_settings.h"

namespace tessaro {

namespace {
const QByteArray kCrLf("\r\n");

bool hasBanner(const QString& text) {
    return text.contains(QLatin1String("minic: command not found"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Connected"), Qt::CaseInsensitive);
}
} // namespace

LanConnector::LanConnector(ILink& tcp, SessionFlags& session, CConfiguration& config, cErrorLog& errorLog)
    : m_tcp(tcp), m_session(session), m_config(config), m_errorLog(errorLog) {}

QString LanConnector::host() {
    return m_override.isEmpty() ? m_config.GetIni(QStringLiteral("[IP Settings]")).trimmed() : m_override;
}

bool LanConnector::countFailure(int limit) {
    ++m_retry;
    if (m_retry > limit) {
        m_retry = 0;
        return true;
    }
    return false;
}

void LanConnector::readInto() {
    const QByteArray chunk = m_tcp.readAll();
    if (chunk.isEmpty())
        return;
    m_buffer += QString::fromLatin1(chunk);
    if (received)
        received(chunk);
}

void LanConnector::onTick() {
    const bool connected = m_tcp.isOpen();
    switch (m_state) {
    case 0: {
        m_buffer.clear();
        m_tcp.close();
        // Starting over (also from the wait for the transceiver's report): until the next banner the
        // socket reaches the bare shell, and the engine must neither write there nor read the banner away.
        m_session.LanLinkUp = false;
        QString target = host();
        if (target.isEmpty()) {
            const QStringList known = discoveredHosts ? discoveredHosts() : QStringList();
            if (known.isEmpty() && runDiscovery) {
                if (m_discoveryTick == 0) {
                    m_errorLog.AddLine(QStringLiteral("Check1"));
                    runDiscovery();
                }
                m_discoveryTick = (m_discoveryTick + 1) % 10;
            } else if (known.size() == 1) {
                target = known.first();
                m_config.SetIni(QStringLiteral("[IP Settings]"), target, true);
            }
        }
        if (!target.isEmpty()) {
            m_tcp.setTarget(target);
            m_tcp.open();
        }
        goTo(1);
        break;
    }
    case 1:
        if (connected) {
            m_session.TcpConnected = true;
            m_retry = 0;
            goTo(2);
        } else if (countFailure(1)) {
            m_session.TcpConnected = false;
            goTo(0);
        }
        break;
    case 2:
        if (connected) {
            m_tcp.write(kCrLf);
            m_tcp.write(QByteArrayLiteral("minic -f") + kCrLf);
            // Only text after this start counts: an old banner or prompt must not decide the next state.
            m_buffer.clear();
            goTo(3);
        } else if (countFailure(1)) {
            m_session.TcpConnected = false;
            goTo(0);
        }
        break;
    case 3:
        if (connected) {
            readInto();
            if (hasBanner(m_buffer)) {
                m_session.LanLinkUp = true;
                if (queueCommand) {
                    queueCommand(QStringLiteral("st -v"), true);
                    queueCommand(QStringLiteral("st -i"), true);
                }
                m_retry = 0;
                goTo(4);
                break;
            }
        }
        if (countFailure(5))
            goTo(0);
        break;
    case 4:
        m_session.LanLinkUp = true;
        if (m_session.MesConnected) {
            m_retry = 0;
            goTo(5);
            if (askVersion && knownSoftwareMajor && knownSoftwareMajor() == 0) {
                m_errorLog.AddLine(QStringLiteral("Check2"));
                askVersion(ParseHostPort(host()).host);
            }
        } else if (countFailure(10)) {
            goTo(0);
        }
        break;
    case 5:
        if (!connected) {
            // The socket dropped under a running link: nothing would be written, so no time-out would tell.
            m_session.LanLinkUp = false;
            m_session.TcpConnected = false;
            if (linkLost)
                linkLost();
            goTo(0);
        } else if (!m_session.MesConnected) {
            m_session.LanLinkUp = false;
            goTo(6);
        }
        break;
    case 6:
        if (connected) {
            m_tcp.write(kCrLf);
            m_buffer.clear();
            goTo(7);
        } else {
            goTo(0);
        }
        break;
    case 7:
        if (connected) {
            readInto();
            if (m_buffer.contains(QLatin1String("kv7302:/$"), Qt::CaseInsensitive)) {
                goTo(2); // the terminal program has exited: start it again on the same socket
            } else {
                m_session.TcpConnected = false;
                goTo(0);
            }
        } else {
            goTo(0);
        }
        break;
    default:
        goTo(0);
        break;
    }
}

} // namespace tessaro
