#pragma once

#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "link/command_engine.h"
#include "link/fixed_ip_exchange.h"
#include "link/imain_form.h"
#include "link/lan_connector.h"
#include "link/lan_discovery.h"
#include "link/lan_setup_exchange.h"
#include "link/link.h"
#include "link/message_box_queue.h"
#include "link/operator_notifier.h"
#include "link/session_flags.h"

#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace tessaro {

enum class TerminalTimer {
    Timer1,    // 60 ms: the engine step
    Timer2,    // 10 s: keep-alive and poll burst
    Winsock,   // 500 ms: link indicator and LAN connect sequence
    Gui,       // 100 ms: status display
    Timer60S,  // 60 s: position poll, disk space
    Event,     // 100 ms: different-transceiver check
    MBox,      // 300 ms: message-box queue
    Egc,       // 60 s: EGC download watchdog
    Message,   // 60 s: message download watchdog
    CloseDown, // 65 ms: shut-down
    Progress,  // 100 ms: wait-window progress
    HotList,   // 100 ms: hot-list refresh
};
inline constexpr int kTerminalTimerCount = 12;

// The run's choices from the command line.
struct TerminalOptions {
    QString connect; // HOST[:PORT]: LAN transport for this run
    QString serial;  // DEVICE[,SETTINGS]: serial transport for this run
    bool logComm = false;
};

struct StartResult {
    bool ok = false;
    int exitCode = 0;
    QString message;
};

// The non-visual half of the main window: transports, command engine, timers, message-box queue,
// start-up and shut-down. Subsystems join through the module context, which registers their jobs here.
class CTerminal final : public QObject {
    Q_OBJECT
public:
    using LinkFactory = std::function<std::unique_ptr<ILink>(LinkKind)>;

    CTerminal(CConfiguration& config, SessionFlags& session, IMainForm& form, const IClock& clock,
              LinkFactory linkFactory = CreateLink, QObject* parent = nullptr);
    ~CTerminal() override;

    StartResult start(const TerminalOptions& options);

    CConfiguration& config() { return m_config; }
    SessionFlags& session() { return m_session; }
    IMainForm& form() { return m_form; }
    const IClock& clock() const { return m_clock; }
    CommandEngine& engine() { return m_engine; }
    cErrorLog& errorLog() { return m_errorLog; }
    cInfoLog& infoLog() { return m_infoLog; }
    // The run's one debug log: INFO and ERROR lines, the forms server, disk space.
    DebugLog& debugLog() { return m_debugLog; }
    MessageBoxQueue& messageBoxes() { return m_boxes; }
    OperatorNotifier& notifier() { return m_notifier; }
    LanConnector& lan() { return m_lan; }
    // Network discovery of LAN transceivers (the LAN connect sequence and the comm-settings dialog use it).
    LanDiscovery& discovery() { return m_discovery; }
    ILink& serialLink() { return *m_serial; }
    ILink& tcpLink() { return *m_tcp; }

    bool QueueCommand(const QString& command, bool allowDuplicate = false, bool atFront = false) {
        return m_engine.QueueCommand(command, allowDuplicate, atFront);
    }
    void QueuePollCycle() { m_engine.QueuePollCycle(); }
    bool ShowMessageQueued(const QString& text, const QString& title = QStringLiteral("Info"),
                           MessageStyle style = MessageStyle::Information) {
        return m_boxes.ShowMessageQueued(text, title, style);
    }

    bool usingLan() const { return m_lanSelected; }
    // The comm-settings dialog's choices: switch transport, reset the link and start over with it. On the LAN
    // the socket is connected to the address and the terminal program started at once; the operator is told
    // when the socket or the terminal program does not answer (the connect sequence keeps trying).
    void useSerial(int port, const QString& settings);
    void useLan(const QString& address);
    bool lanSetupRunning() const { return m_lanSetup.running(); }
    // Opens (or reopens) the serial port with the configured or overridden device and settings.
    bool OpenSerialPort();
    // The reset after a lost link: session values, indicator, engine back to idle.
    void LinkLost();
    void addLinkLostJob(std::function<void()> job) { m_linkLostJobs.push_back(std::move(job)); }
    // Runs whenever the transceiver answers again after the link was down (and at the first answer).
    void addLinkUpJob(std::function<void()> job) { m_linkUpJobs.push_back(std::move(job)); }
    // Start-up jobs run once the data folders exist and the disclaimer is accepted, before the transport
    // opens; shut-down jobs run when closing completes. Both in the order they were added.
    void addStartUpJob(std::function<void()> job) { m_startUpJobs.push_back(std::move(job)); }
    void addShutDownJob(std::function<void()> job) { m_shutDownJobs.push_back(std::move(job)); }
    // Sets or clears a fixed IP address of the transceiver's LAN interface: leaves the terminal program,
    // changes the address setting and starts the terminal program again, as one exchange on the socket
    // during which the engine keeps its queue. The operator is told the outcome.
    void SetFixedIp(const QString& address, bool fixed);
    bool fixedIpExchangeRunning() const { return m_fixedIp.running(); }
    // Examines the serial port's last event (after an "st -l" reply and after I/O errors).
    void checkSerialEvents();

    QTimer& timer(TerminalTimer which) { return m_timers[size_t(which)]; }
    // A job for a timer whose work belongs to a later subsystem (Gui, Event, HotList, Timer60S, ...).
    void addTimerJob(TerminalTimer which, std::function<void()> job);
    void EnableTimers();
    // The tick of each timer, callable directly by tests.
    void tick(TerminalTimer which);

    // The download cycles' watchdogs: a cycle that stops answering is given up after 60 s.
    void startEgcWatchdog();
    void stopEgcWatchdog();
    void startMessageWatchdog();
    void stopMessageWatchdog();

    void setTerminalWindowOpen(bool open) { m_engine.setTerminalWindowOpen(open); }
    // The modeless wait window with its progress counter; an empty text closes it.
    void setWaitWindow(const QString& text);

    const LinkIndicatorState& indicator() const { return m_indicator; }
    int PromptCountdown() const { return m_promptCountdown; }

    // Shut-down: requestClose asks the operator; beginShutDown starts closing (downloads finish first);
    // finishShutDown completes at once (used when closing is forced).
    // The question asked before closing; one answer (the default asks plainly).
    void setExitQuestion(std::function<QString()> question) { m_exitQuestion = std::move(question); }
    void requestClose();
    void beginShutDown();
    void finishShutDown();
    bool closing() const { return m_closing; }
    bool hasFinished() const { return m_finished; }
    QString markerPath() const { return m_config.DataPath() + QStringLiteral("#Tessaro.tmp"); }

Q_SIGNALS:
    void finished();

private:
    ILink* activeLink();
    void onTimer2();
    void onWinsockTimer();
    void onTimer60S();
    void onCloseDownTimer();
    void onProgressTimer();
    void updateIndicator();
    bool prepareDataFolders();
    void runJobs(TerminalTimer which);

    CConfiguration& m_config;
    SessionFlags& m_session;
    IMainForm& m_form;
    const IClock& m_clock;
    cErrorLog m_errorLog;
    cInfoLog m_infoLog;
    DebugLog m_debugLog;
    std::unique_ptr<ILink> m_serial;
    std::unique_ptr<ILink> m_tcp;
    CommandEngine m_engine;
    LanConnector m_lan;
    FixedIpExchange m_fixedIp;
    LanDiscovery m_discovery;
    LanSetupExchange m_lanSetup;
    MessageBoxQueue m_boxes;
    std::array<QTimer, kTerminalTimerCount> m_timers;
    std::array<std::vector<std::function<void()>>, kTerminalTimerCount> m_jobs;
    TerminalNotifier m_notifier{*this};
    std::vector<std::function<void()>> m_linkLostJobs;
    std::vector<std::function<void()>> m_linkUpJobs;
    std::vector<std::function<void()>> m_startUpJobs;
    std::vector<std::function<void()>> m_shutDownJobs;
    std::function<QString()> m_exitQuestion;
    std::unique_ptr<QLockFile> m_lock;

    TerminalOptions m_options;
    bool m_lanSelected = true;
    QString m_serialDevice;
    QString m_serialSettings;
    LinkIndicatorState m_indicator;
    bool m_indicatorShown = false;
    int m_promptCountdown = 0;
    int m_progressStep = 0;
    QString m_waitText;
    bool m_started = false;
    bool m_closing = false;
    bool m_finished = false;
};

} // namespace tessaro
