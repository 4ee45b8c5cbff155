#pragma once

#include "link/fixed_ip_exchange.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace tessaro {

class IClock;
class ILink;

// What OK on the comm-settings dialog's LAN page does with the chosen address: connect the socket to it
// (unless it already is), start the terminal program with "minic -f" and wait up to 6.5 s for its banner;
// without a banner "reboot" is sent. Like the fixed-IP exchange it owns the socket while it runs, so the
// engine and the LAN connect sequence wait.
class LanSetupExchange final : public QObject {
    Q_OBJECT
public:
    using Outcome = FixedIpExchange::Outcome;
    static constexpr int kConnectWaitMs = 3000;
    static constexpr int kBannerWaitMs = FixedIpExchange::kBannerWaitMs;
    static constexpr int kStepMs = 100;

    LanSetupExchange(ILink& tcp, const IClock& clock, QObject* parent = nullptr);

    // Starts the exchange; false when one is already running.
    bool start(const QString& address);
    bool running() const { return m_phase != Phase::Idle; }
    // Gives up without an outcome (the operator switched to the serial line).
    void cancel();
    // One look at the socket (also run by the step timer).
    void step();

    // The operator's text for an outcome; empty for success, which needs no message.
    static QString OutcomeText(Outcome outcome);

Q_SIGNALS:
    void finished(tessaro::FixedIpExchange::Outcome outcome);

private:
    enum class Phase { Idle, Connecting, Banner };
    void startTerminalProgram();
    void finish(Outcome outcome);

    ILink& m_tcp;
    const IClock& m_clock;
    QTimer m_timer;
    Phase m_phase = Phase::Idle;
    qint64 m_deadlineMs = 0;
    QByteArray m_received;
};

} // namespace tessaro
