#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace tessaro {

class IClock;
class ILink;

// Sets or clears the fixed IP address of a LAN transceiver in one exchange on the raw socket: leave the
// terminal program ("exit"), change the address setting with "sysconf", start the terminal program again
// with "minic -f", and wait up to 6.5 s for its banner. The command engine must not use the socket while it
// runs: every line but the last leaves the terminal program's shell, so a queued command would go to the
// bare shell or time out and reset the link half-way.
class FixedIpExchange final : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Done,         // the terminal program answered: the new setting is in place
        NoBanner,     // nothing answered within the time: "reboot" was sent
        NotConnected, // no socket to the transceiver: nothing was sent
    };
    static constexpr int kBannerWaitMs = 6500;
    static constexpr int kStepMs = 100;

    FixedIpExchange(ILink& tcp, const IClock& clock, QObject* parent = nullptr);

    // The lines of the exchange, each sent with CR LF (the first is the empty line that wakes the shell).
    static QStringList Lines(const QString& address, bool fixed);

    // Starts the exchange; false (and no outcome) when one is already running.
    bool start(const QString& address, bool fixed);
    bool running() const { return m_running; }
    // One look at the received text (also run by the step timer).
    void step();

    // The operator's text for an outcome.
    static QString OutcomeText(Outcome outcome, const QString& address, bool fixed);

Q_SIGNALS:
    void finished(tessaro::FixedIpExchange::Outcome outcome);

private:
    void finish(Outcome outcome);

    ILink& m_tcp;
    const IClock& m_clock;
    QTimer m_timer;
    bool m_running = false;
    qint64 m_deadlineMs = 0;
    QByteArray m_received;
};

} // namespace tessaro
