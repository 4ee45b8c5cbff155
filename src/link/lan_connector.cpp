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

LanConnector::LanConnector(ILink& tcp, SessionFlags& session, CConfiguration& config, cErrorLog& errorLog,
                           QObject* parent)
    : QObject(parent), m_tcp(tcp), m_session(session), m_config(config), m_errorLog(errorLog) {}

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
    Q_EMIT received(chunk);
}

void LanConnector::onTick() {
    const bool connected = m_tcp.isOpen();
    switch (m_state) {
    case LanState::Start:
        start();
        break;
    case LanState::WaitConnect:
        waitConnect(connected);
        break;
    case LanState::StartTerminal:
        startTerminal(connected);
        break;
    case LanState::WaitBanner:
        waitBanner(connected);
        break;
    case LanState::WaitReport:
        waitReport();
        break;
    case LanState::Linked:
        linked(connected);
        break;
    case LanState::CheckShell:
        checkShell(connected);
        break;
    case LanState::ReadShell:
        readShell(connected);
        break;
    }
}

void LanConnector::start() {
    m_buffer.clear();
    m_tcp.close();
    // Starting over (also from the wait for the transceiver's report): until the next banner the socket
    // reaches the bare shell, and the engine must neither write there nor read the banner away.
    m_session.SetLanLinkUp(false);
    QString target = host();
    if (target.isEmpty() && m_discovery) {
        const QStringList known = m_discovery->discoveredHosts();
        if (known.isEmpty()) {
            if (m_discoveryTick == 0) {
                m_errorLog.AddLine(QStringLiteral("Check1"));
                m_discovery->runSearch();
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
    goTo(LanState::WaitConnect);
}

void LanConnector::waitConnect(bool connected) {
    if (connected) {
        m_session.SetTcpConnected(true);
        m_retry = 0;
        goTo(LanState::StartTerminal);
    } else if (countFailure(1)) {
        m_session.SetTcpConnected(false);
        goTo(LanState::Start);
    }
}

void LanConnector::startTerminal(bool connected) {
    if (connected) {
        m_tcp.write(kCrLf);
        m_tcp.write(QByteArrayLiteral("minic -f") + kCrLf);
        // Only text after this start counts: an old banner or prompt must not decide the next state.
        m_buffer.clear();
        goTo(LanState::WaitBanner);
    } else if (countFailure(1)) {
        m_session.SetTcpConnected(false);
        goTo(LanState::Start);
    }
}

void LanConnector::waitBanner(bool connected) {
    if (connected) {
        readInto();
        if (hasBanner(m_buffer)) {
            m_session.SetLanLinkUp(true);
            Q_EMIT terminalProgramStarted();
            m_retry = 0;
            goTo(LanState::WaitReport);
            return;
        }
    }
    if (countFailure(5))
        goTo(LanState::Start);
}

void LanConnector::terminalProgramRunning() {
    m_session.SetTcpConnected(true);
    m_session.SetLanLinkUp(true);
    m_retry = 0;
    m_buffer.clear();
    goTo(LanState::WaitReport);
    Q_EMIT terminalProgramStarted();
}

void LanConnector::waitReport() {
    m_session.SetLanLinkUp(true);
    if (m_session.MesConnected()) {
        m_retry = 0;
        goTo(LanState::Linked);
        if (m_discovery && m_discovery->knownSoftwareMajor() == 0) {
            m_errorLog.AddLine(QStringLiteral("Check2"));
            m_discovery->askVersion(ParseHostPort(host()).host);
        }
    } else if (countFailure(10)) {
        goTo(LanState::Start);
    }
}

void LanConnector::linked(bool connected) {
    if (!connected) {
        // The socket dropped under a running link: nothing would be written, so no time-out would tell.
        m_session.SetLanLinkUp(false);
        m_session.SetTcpConnected(false);
        Q_EMIT linkLost();
        goTo(LanState::Start);
    } else if (!m_session.MesConnected()) {
        m_session.SetLanLinkUp(false);
        goTo(LanState::CheckShell);
    }
}

void LanConnector::checkShell(bool connected) {
    if (connected) {
        m_tcp.write(kCrLf);
        m_buffer.clear();
        goTo(LanState::ReadShell);
    } else {
        goTo(LanState::Start);
    }
}

void LanConnector::readShell(bool connected) {
    if (!connected) {
        goTo(LanState::Start);
        return;
    }
    readInto();
    if (m_buffer.contains(QLatin1String("kv7302:/$"), Qt::CaseInsensitive)) {
        goTo(LanState::StartTerminal); // the terminal program has exited: start it again on the same socket
    } else {
        m_session.SetTcpConnected(false);
        goTo(LanState::Start);
    }
}

} // namespace tessaro
