#pragma once

#include "link/link.h"
#include "link/session_flags.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace tessaro {

class CConfiguration;
class cErrorLog;

// The states of the LAN connect sequence; the numbers are those the error log and the tests know.
enum class LanState : int {
    Start = 0,         // close, pick the address, open the socket
    WaitConnect = 1,   // the socket connects
    StartTerminal = 2, // start the terminal program with "minic -f"
    WaitBanner = 3,    // its banner (or "command not found") shows the shell answers
    WaitReport = 4,    // the transceiver reports itself
    Linked = 5,        // running: watch for a dropped socket or a silent transceiver
    CheckShell = 6,    // the transceiver went quiet: poke the shell
    ReadShell = 7,     // a bare shell prompt means the terminal program has exited
};

// Network discovery of the transceiver, when it is built; one implementation answers.
class ILanDiscovery {
public:
    virtual ~ILanDiscovery() = default;
    virtual void runSearch() = 0;
    virtual QStringList discoveredHosts() const = 0;
    // Asks a transceiver for its software version, while that is not known yet.
    virtual void askVersion(const QString& host) = 0;
    virtual int knownSoftwareMajor() const = 0;
};

// The LAN connect sequence, stepped every 500 ms: connect the socket, start the transceiver's terminal
// program with "minic -f", wait for its banner and for the transceiver to report itself, watch for the
// bare shell prompt that means the terminal program has exited.
class LanConnector final : public QObject {
    Q_OBJECT
public:
    LanConnector(ILink& tcp, SessionFlags& session, CConfiguration& config, cErrorLog& errorLog,
                 QObject* parent = nullptr);

    // A host (HOST or HOST:PORT) for this run instead of "[IP Settings]".
    void setHostOverride(const QString& hostPort) { m_override = hostPort; }
    QString host();
    void setDiscovery(ILanDiscovery* discovery) { m_discovery = discovery; }

    void onTick();

    LanState LanConnectState() const { return m_state; }
    int LanRetryCount() const { return m_retry; }
    const QString& LanConnectBuffer() const { return m_buffer; }
    // Back to the beginning (a new address was chosen).
    void restart() { m_state = LanState::Start; }
    // The terminal program was started on the socket by someone else (the comm-settings dialog's OK): carry
    // on from the wait for the transceiver's report, as after the banner.
    void terminalProgramRunning();

Q_SIGNALS:
    // The terminal program answered: the shell over TCP is usable.
    void terminalProgramStarted();
    // The socket dropped under a running link.
    void linkLost();
    // Text received while the engine does not own the socket (for the communication log).
    void received(const QByteArray& chunk);

private:
    void start();
    void waitConnect(bool connected);
    void startTerminal(bool connected);
    void waitBanner(bool connected);
    void waitReport();
    void linked(bool connected);
    void checkShell(bool connected);
    void readShell(bool connected);

    void goTo(LanState state) { m_state = state; }
    bool countFailure(int limit); // true when the retries are used up
    void readInto();

    ILink& m_tcp;
    SessionFlags& m_session;
    CConfiguration& m_config;
    cErrorLog& m_errorLog;
    ILanDiscovery* m_discovery = nullptr;
    QString m_override;
    LanState m_state = LanState::Start;
    int m_retry = 0;
    int m_discoveryTick = 0;
    QString m_buffer;
};

} // namespace tessaro
