#pragma once

#include "link/lan_connector.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tessaro {

class CConfiguration;
class cErrorLog;

// Reading the SLP tool's output.
// The address of every service URL: the text after each "//" up to the next ","; trimmed, each once.
QStringList ServiceAddresses(const QString& output);
// Whether an attribute list names the supported transceiver model, "device-model=7302".
bool IsSupportedTransceiver(const QString& output);
struct TcuVersion {
    int major = 0;
    int minor = 0;
};
// "device-sw-version=1.06" gives 1 and 6: the whole number before the ".", and the two characters after it.
// Only for the supported model; nullopt when the list has no version.
std::optional<TcuVersion> ParseTcuSwVersion(const QString& output);

// Runs a tool with its standard output and error captured, without waiting on the event loop: the result
// comes to the callback when the tool ends, or after at most 10 s, when it is killed and whatever it has
// printed is used. A tool that cannot be started gives an empty text and a line in the error log.
class HiddenRunner final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimitMs = 10000;
    explicit HiddenRunner(cErrorLog& errorLog, QObject* parent = nullptr) : QObject(parent), m_errorLog(errorLog) {}
    ~HiddenRunner() override;
    void RunHidden(const QString& program, const QStringList& arguments, std::function<void(const QString&)> done);
    void setLimitMs(int ms) { m_limitMs = ms; }

private:
    cErrorLog& m_errorLog;
    int m_limitMs = kLimitMs;
};

// Network discovery of the transceiver through the tessaro-slp tool: the list of supported transceivers on
// the LAN, and the software version of one of them. Results are kept in the configuration
// (SlpTcuAddresses, the TCU software version) and announced as signals. Settings, section "SLP": "Tool" (the
// tool's path; default: tessaro-slp beside the program), "Targets" (HOST[:PORT] list, comma-separated: ask
// these agents instead of the multicast group), "Port" (the agents' SLP port), "WaitMs" (how long the tool
// collects answers).
class LanDiscovery final : public QObject, public ILanDiscovery {
    Q_OBJECT
public:
    LanDiscovery(CConfiguration& config, cErrorLog& errorLog, QObject* parent = nullptr);

    // DiscoverTransceivers: a search while one runs is not started twice.
    void runSearch() override;
    QStringList discoveredHosts() const override;
    // QueryTransceiverVersion.
    void askVersion(const QString& host) override;
    int knownSoftwareMajor() const override;
    // Asks one address for its attributes (the comm-settings dialog's check of a chosen address); also stores
    // the version of a supported transceiver.
    void checkAddress(const QString& address);

    bool searching() const { return m_searching; }
    QString toolPath() const;
    HiddenRunner& runner() { return m_runner; }

Q_SIGNALS:
    void searchFinished(const QStringList& addresses);
    void versionLearned(int major, int minor);
    // supported: the address answered as the supported model; version 0.0 when it named none.
    void addressChecked(const QString& address, bool supported, int major, int minor);

private:
    QStringList commonArguments() const;
    QStringList findAttrsArguments(const QString& address) const;
    void checkNext(QStringList pending, QStringList found);
    void finishSearch(const QStringList& found);
    void storeVersion(const QString& output);

    CConfiguration& m_config;
    cErrorLog& m_errorLog;
    HiddenRunner m_runner;
    bool m_searching = false;
    bool m_skipLogged = false;
};

} // namespace tessaro
