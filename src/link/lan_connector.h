#pragma once

#include "link/link.h"
#include "link/session_flags.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro {

class CConfiguration;
class cErrorLog;

// The LAN connect sequence, stepped every 500 ms: connect the socket, start the transceiver's terminal
// program with "minic -f", wait for its banner and for the transceiver to report itself, watch for the
// bare shell prompt that means the terminal program has exited.
class LanConnector final {
public:
    LanConnector(ILink& tcp, SessionFlags& session, CConfiguration& config, cErrorLog& errorLog);

    // A host (HOST or HOST:PORT) for this run instead of "[IP Settings]".
    void setHostOverride(const QString& hostPort) { m_override = hostPort; }
    QString host();

    void onTick();

    int LanConnectState() const { return m_state; }
    int LanRetryCount() const { return m_retry; }
    const QString& LanConnectBuffer() const { return m_buffer; }
    // Back to the beginning (a new address was chosen).
    void restart() { m_state = 0; }

    std::function<bool(const QString& command, bool allowDuplicate)> queueCommand;
    std::function<void()> linkLost;
    // Received text while the engine does not own the socket (for the communication log).
    std::function<void(const QByteArray& chunk)> received;
    // Network discovery, when it is built: run a search, the addresses found so far, and asking a
    // transceiver for its software version; knownSoftwareMajor tells whether that is still needed.
    std::function<void()> runDiscovery;
    std::function<QStringList()> discoveredHosts;
    std::function<void(const QString& host)> askVersion;
    std::function<int()> knownSoftwareMajor;

private:
    void goTo(int state) { m_state = state; }
    bool countFailure(int limit); // true when the retries are used up
    void readInto();

    ILink& m_tcp;
    SessionFlags& m_session;
    CConfiguration& m_config;
    cErrorLog& m_errorLog;
    QString m_override;
    int m_state = 0;
    int m_retry = 0;
    int m_discoveryTick = 0;
    QString m_buffer;
};

} // namespace tessaro
