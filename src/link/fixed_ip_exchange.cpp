#include "link/fixed_ip_exchange.h"

#include "config/clock.h"
#include "link/link.h"

namespace tessaro {

FixedIpExchange::FixedIpExchange(ILink& tcp, const IClock& clock, QObject* parent)
    : QObject(parent), m_tcp(tcp), m_clock(clock) {
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, &FixedIpExchange::step);
}

QStringList FixedIpExchange::Lines(const QString& address, bool fixed) {
    QStringList lines{QString(), QStringLiteral("exit")};
    if (fixed)
        lines << QStringLiteral("sysconf -h 0") << QStringLiteral("sysconf -i ") + address.trimmed();
    else
        lines << QStringLiteral("sysconf -h 1");
    lines << QStringLiteral("minic -f");
    return lines;
}

bool FixedIpExchange::start(const QString& address, bool fixed) {
    if (m_running)
        return false;
    if (!m_tcp.isOpen()) {
        Q_EMIT finished(Outcome::NotConnected);
        return true;
    }
    m_running = true;
    m_tcp.readAll(); // what was on the way belongs to the engine's abandoned command
    m_received.clear();
    QByteArray bytes;
    for (const QString& line : Lines(address, fixed))
        bytes += line.toLatin1() + QByteArrayLiteral("\r\n");
    m_tcp.write(bytes);
    m_deadlineMs = m_clock.monotonicMs() + kBannerWaitMs;
    m_timer.start();
    return true;
}

void FixedIpExchange::step() {
    if (!m_running)
        return;
    m_received += m_tcp.readAll();
    // The terminal program's banner, or its refusal to start twice: either way it runs again.
    if (m_received.contains("minic: command not found") || m_received.contains("Connected")) {
        finish(Outcome::Done);
        return;
    }
    if (m_clock.monotonicMs() < m_deadlineMs)
        return;
    if (m_tcp.isOpen())
        m_tcp.write(QByteArrayLiteral("reboot\r\n"));
    finish(Outcome::NoBanner);
}

void FixedIpExchange::finish(Outcome outcome) {
    m_timer.stop();
    m_running = false;
    Q_EMIT finished(outcome);
}

QString FixedIpExchange::OutcomeText(Outcome outcome, const QString& address, bool fixed) {
    switch (outcome) {
    case Outcome::Done:
        return fixed ? QStringLiteral("The transceiver's fixed IP address is now %1.").arg(address.trimmed())
                     : QStringLiteral("The transceiver's fixed IP address is cleared; it takes its address from "
                                      "DHCP now.");
    case Outcome::NoBanner:
        return QStringLiteral("Mini-C Terminal not responding, please try again");
    case Outcome::NotConnected:
        return QStringLiteral("TCP/IP Timemout, please check IP address or try again");
    }
    return {};
}

} // namespace tessaro
