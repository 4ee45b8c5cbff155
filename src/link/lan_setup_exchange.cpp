#include "link/lan_setup_exchange.h"

#include "config/clock.h"
#include "link/link.h"

namespace tessaro {

LanSetupExchange::LanSetupExchange(ILink& tcp, const IClock& clock, QObject* parent)
    : QObject(parent), m_tcp(tcp), m_clock(clock) {
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, &LanSetupExchange::step);
}

bool LanSetupExchange::start(const QString& address) {
    if (running())
        return false;
    m_received.clear();
    if (m_tcp.isOpen() && m_tcp.target().trimmed() == address.trimmed()) {
        startTerminalProgram();
    } else {
        m_tcp.close();
        m_tcp.setTarget(address.trimmed());
        m_tcp.open();
        m_phase = Phase::Connecting;
        m_deadlineMs = m_clock.monotonicMs() + kConnectWaitMs;
    }
    m_timer.start();
    return true;
}

void LanSetupExchange::cancel() {
    m_timer.stop();
    m_phase = Phase::Idle;
}

void LanSetupExchange::startTerminalProgram() {
    m_tcp.readAll(); // an old prompt or banner must not count as the answer
    m_tcp.write(QByteArrayLiteral("\r\nminic -f\r\n"));
    m_phase = Phase::Banner;
    m_deadlineMs = m_clock.monotonicMs() + kBannerWaitMs;
}

void LanSetupExchange::step() {
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::Connecting:
        if (m_tcp.isOpen())
            startTerminalProgram();
        else if (m_clock.monotonicMs() >= m_deadlineMs)
            finish(Outcome::NotConnected);
        return;
    case Phase::Banner:
        m_received += m_tcp.readAll();
        const QString text = QString::fromLatin1(m_received);
        if (text.contains(QLatin1String("minic: command not found"), Qt::CaseInsensitive) ||
            text.contains(QLatin1String("Connected"), Qt::CaseInsensitive)) {
            finish(Outcome::Done);
        } else if (m_clock.monotonicMs() >= m_deadlineMs) {
            if (m_tcp.isOpen())
                m_tcp.write(QByteArrayLiteral("reboot\r\n"));
            finish(Outcome::NoBanner);
        }
        return;
    }
}

void LanSetupExchange::finish(Outcome outcome) {
    m_timer.stop();
    m_phase = Phase::Idle;
    Q_EMIT finished(outcome);
}

QString LanSetupExchange::OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return {};
    case Outcome::NoBanner:
        return QStringLiteral("Mini-C Terminal not responding, please try again");
    case Outcome::NotConnected:
        return QStringLiteral("TCP/IP Timemout, please check IP address or try again");
    }
    return {};
}

} // namespace tessaro
