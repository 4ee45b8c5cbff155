#include "link/terminal.h"

#include "config/strings.h"
#include "config/text_util.h"
#include "link/disclaimer.h"
#include "link/link_settings.h"

#include <QDir>
#include <QFile>

namespace tessaro {

namespace {
constexpr int kPeriods[kTerminalTimerCount] = {60, 10000, 500, 100, 60000, 100, 300, 60000, 60000, 65, 100, 100};

QString notConnectedText() {
    return QStringLiteral("Mobile not connected");
}
} // namespace

CTerminal::CTerminal(CConfiguration& config, SessionFlags& session, IMainForm& form, const IClock& clock,
                     LinkFactory linkFactory, QObject* parent)
    : QObject(parent), m_config(config), m_session(session), m_form(form), m_clock(clock),
      m_errorLog(config.DataPath(), clock), m_infoLog(config.DataPath(), clock), m_debugLog(config.DataPath(), clock),
      m_serial(linkFactory(LinkKind::Serial)), m_tcp(linkFactory(LinkKind::Tcp)), m_engine(session, clock, form),
      m_lan(*m_tcp, session, config, m_errorLog), m_fixedIp(*m_tcp, clock), m_discovery(config, m_errorLog),
      m_lanSetup(*m_tcp, clock), m_boxes(form) {
    for (int i = 0; i < kTerminalTimerCount; ++i) {
        m_timers[size_t(i)].setInterval(kPeriods[i]);
        connect(&m_timers[size_t(i)], &QTimer::timeout, this, [this, i] { tick(TerminalTimer(i)); });
    }

    m_engine.setErrorLog(&m_errorLog);
    m_lan.setDiscovery(&m_discovery);
    m_engine.setLinkProvider([this] { return activeLink(); });
    m_engine.watchLink(m_serial.get());
    m_engine.watchLink(m_tcp.get());
    connect(&m_engine, &CommandEngine::silentTimeOut, this, &CTerminal::LinkLost);
    connect(&m_engine, &CommandEngine::serialCheckDue, this, &CTerminal::checkSerialEvents);

    connect(&m_lan, &LanConnector::terminalProgramStarted, this, [this] {
        m_engine.QueueCommand(QStringLiteral("st -v"), true);
        m_engine.QueueCommand(QStringLiteral("st -i"), true);
    });
    connect(&m_lan, &LanConnector::linkLost, this, &CTerminal::LinkLost);
    connect(&m_lan, &LanConnector::received, this, [this](const QByteArray& chunk) {
        if (m_engine.commLogOn())
            AppendToLog(m_config.DataPath(), QString::fromLatin1(chunk), QStringLiteral("CommLog.txt"), false);
    });
    connect(&m_session, &SessionFlags::mesConnectedChanged, this, [this](bool connected) {
        if (!connected)
            return;
        for (const auto& job : m_linkUpJobs)
            job();
    });

    connect(m_serial.get(), &ILink::eventOccurred, this, [this](LinkEvent e) {
        if (e != LinkEvent::Lost)
            return;
        // A vanished adapter is a lost link; Timer2 keeps trying to open the port again.
        m_errorLog.AddLine(
            QStringLiteral("Serial device %1 lost: %2").arg(m_serial->target(), m_serial->errorString()));
        m_serial->takeEvent();
        LinkLost();
    });
}

CTerminal::~CTerminal() {
    for (QTimer& t : m_timers)
        t.stop();
}

ILink* CTerminal::activeLink() {
    if (!m_lanSelected)
        return m_serial->isOpen() ? m_serial.get() : nullptr;
    if (m_fixedIp.running() || m_lanSetup.running())
        return nullptr; // the exchange owns the socket; lines wait in the queue
    return (m_session.LanLinkUp() && m_tcp->isOpen()) ? m_tcp.get() : nullptr;
}

bool CTerminal::prepareDataFolders() {
    const QString data = m_config.DataPath();
    struct Folder {
        const char* key;
        const char* fallback;
    };
    static const Folder folders[] = {{"[addressbook]", "addressbook/"},
                                     {"[Drafts]", "Drafts/"},
                                     {"[egc]", "egc/"},
                                     {"[inbox]", "inbox/"},
                                     {"[outbox]", "sent items/"},
                                     {"[Saved files]", "Saved files/"},
                                     {"[working dir]", ""}};
    bool ok = true;
    for (const Folder& f : folders) {
        const QString key = QLatin1String(f.key);
        QString path = m_config.GetIni(key).trimmed();
        if (path.isEmpty()) {
            path = data + QLatin1String(f.fallback);
            m_config.SetIni(key, path);
        }
        if (!QDir().mkpath(path)) {
            ok = false;
            m_errorLog.AddLine(QStringLiteral("Cannot create the folder %1 (%2).").arg(path, key));
            m_boxes.ShowMessageQueued(QStringLiteral("The folder %1 cannot be created.").arg(path),
                                      QStringLiteral("Info"), MessageStyle::Warning);
        }
    }
    return ok;
}

StartResult CTerminal::start(const TerminalOptions& options) {
    m_options = options;
    const QString data = m_config.DataPath();

    // One instance per data folder; a lock left by a crashed run is taken over.
    m_lock = std::make_unique<QLockFile>(data + QStringLiteral("Tessaro.lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const QString text = QStringLiteral("Tessaro instance already running.");
        m_form.fatalMessage(text, QStringLiteral("Info"));
        return {false, 1, text};
    }

    prepareDataFolders();
    if (!DisclaimerAccepted(m_config)) {
        if (!m_form.askDisclaimer()) {
            m_lock->unlock();
            return {false, 1, QStringLiteral("The disclaimer was not accepted.")};
        }
        AcceptDisclaimer(m_config);
    }

    if (QFile::exists(markerPath()))
        m_boxes.ShowMessageQueued(QStringLiteral("Tessaro was not closed properly last time it was run."),
                                  QStringLiteral("Info"));
    QFile marker(markerPath());
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        m_errorLog.AddLine(QStringLiteral("Cannot create %1: %2").arg(markerPath(), marker.errorString()));
    marker.close();

    m_engine.setCommandTimeOut(Val(
        m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("CommandTimeOut"), QStringLiteral("4"))));
    const bool logging =
        options.logComm ||
        m_config.GetIni(QStringLiteral("[Logging]")).compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0;
    m_engine.setCommLog(data, logging);
    m_engine.setUploadFolder(WithTrailingSeparator(m_config.GetIni(QStringLiteral("[working dir]")).trimmed()));

    for (const auto& job : m_startUpJobs)
        job();

    // Transport: the command line decides for this run, else "[HOST Interface]".
    if (!options.serial.isEmpty()) {
        m_lanSelected = false;
        const SerialTarget t = ParseSerialTarget(options.serial);
        m_serialDevice = t.device;
        m_serialSettings = t.settings;
    } else if (!options.connect.isEmpty()) {
        m_lanSelected = true;
        m_lan.setHostOverride(options.connect);
    } else {
        m_lanSelected =
            m_config.GetIni(QStringLiteral("[HOST Interface]")).compare(QLatin1String("COM"), Qt::CaseInsensitive) != 0;
        if (!m_lanSelected) {
            const int port = GetComPort(m_config);
            m_serialSettings = GetComSettings(m_config);
            m_serialDevice = ComDevice(m_config, port);
            m_config.SetIni(QStringLiteral("[COM port]"), QString::number(port));
            m_config.SetIni(QStringLiteral("[COM Settings]"), m_serialSettings);
        }
    }
    if (!m_lanSelected)
        OpenSerialPort();

    m_engine.QueueCommand(QStringLiteral("st -l\r"), true);
    m_engine.QueueCommand(QStringLiteral("st -l"), true);
    m_engine.QueueCommand(QStringLiteral("se -p"), true);
    if (m_session.MesConnected())
        m_engine.QueuePollCycle();

    m_started = true;
    EnableTimers();
    updateIndicator();
    return {true, 0, {}};
}

void CTerminal::EnableTimers() {
    for (TerminalTimer t : {TerminalTimer::Timer1, TerminalTimer::Timer2, TerminalTimer::Winsock, TerminalTimer::Gui,
                            TerminalTimer::Timer60S, TerminalTimer::Event, TerminalTimer::MBox, TerminalTimer::HotList})
        timer(t).start();
}

bool CTerminal::OpenSerialPort() {
    m_serial->close();
    m_serial->setTarget(m_serialDevice, m_serialSettings);
    return m_serial->open();
}

void CTerminal::useSerial(int port, const QString& settings) {
    m_config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("COM"));
    m_lanSetup.cancel();
    m_tcp->close();
    m_session.SetLanLinkUp(false);
    m_session.SetTcpConnected(false);
    m_lanSelected = false;
    LinkLost();
    m_config.SetIni(QStringLiteral("[COM port]"), QString::number(port));
    m_config.SetIni(QStringLiteral("[COM Settings]"), settings);
    m_serialDevice = ComDevice(m_config, port);
    m_serialSettings = settings;
    OpenSerialPort();
    m_engine.QueueCommand(QStringLiteral("st -v"), true);
    m_engine.QueueCommand(QStringLiteral("st -i"), true);
    m_engine.setEngineState(CommandEngine::Idle);
}

void CTerminal::useLan(const QString& address) {
    m_config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("LAN"));
    m_serial->close();
    m_lanSelected = true;
    LinkLost();
    m_config.SetIni(QStringLiteral("[IP Settings]"), address);
    m_lan.setHostOverride(QString());
    m_lan.restart();
    m_engine.setEngineState(CommandEngine::Idle);
    if (m_fixedIp.running() || m_lanSetup.running())
        return; // the connect sequence picks the new address up once the socket is free
    QObject::disconnect(&m_lanSetup, &LanSetupExchange::finished, this, nullptr);
    connect(&m_lanSetup, &LanSetupExchange::finished, this, [this](LanSetupExchange::Outcome outcome) {
        if (outcome == LanSetupExchange::Outcome::Done) {
            m_lan.terminalProgramRunning(); // queues "st -v" and "st -i"
            m_engine.setEngineState(CommandEngine::Idle);
            return;
        }
        m_lan.restart();
        m_boxes.ShowMessageQueued(LanSetupExchange::OutcomeText(outcome), QStringLiteral("Info"),
                                  MessageStyle::Warning);
    });
    m_lanSetup.start(address);
}

void CTerminal::LinkLost() {
    m_session.Reset();
    // The connect sequence checks the shell before the engine may write again; until its next tick the
    // socket must not count as usable, or the next command's reply is read away and lost.
    if (m_lanSelected)
        m_session.SetLanLinkUp(false);
    for (const auto& job : m_linkLostJobs)
        job();
    m_promptCountdown = 0;
    updateIndicator();
    m_engine.setEngineState(CommandEngine::Idle);
}

void CTerminal::SetFixedIp(const QString& address, bool fixed) {
    if (m_fixedIp.running())
        return;
    // The command in flight is given up: its reply would be mixed into the exchange's.
    m_engine.setEngineState(CommandEngine::Idle);
    QObject::disconnect(&m_fixedIp, &FixedIpExchange::finished, this, nullptr);
    connect(&m_fixedIp, &FixedIpExchange::finished, this, [this, address, fixed](FixedIpExchange::Outcome outcome) {
        if (outcome == FixedIpExchange::Outcome::Done) {
            m_engine.QueueCommand(QStringLiteral("st -v"), true);
            m_engine.QueueCommand(QStringLiteral("st -i"), true);
        }
        m_engine.setEngineState(CommandEngine::Idle);
        m_boxes.ShowMessageQueued(FixedIpExchange::OutcomeText(outcome, address, fixed), QStringLiteral("Info"),
                                  outcome == FixedIpExchange::Outcome::Done ? MessageStyle::Information
                                                                            : MessageStyle::Warning);
    });
    m_fixedIp.start(address, fixed);
}

void CTerminal::checkSerialEvents() {
    if (m_lanSelected || !m_session.MesConnected())
        return;
    const LinkEvent e = m_serial->takeEvent();
    if (e == LinkEvent::CarrierChange) {
        if (m_serial->carrierHolding())
            m_engine.QueuePollCycle();
        else
            LinkLost();
        return;
    }
    const QString text = SerialEventText(e);
    if (!text.isEmpty())
        AppendToLog(m_config.DataPath(), text, QStringLiteral("ErrorLog.txt"), true);
}

void CTerminal::addTimerJob(TerminalTimer which, std::function<void()> job) {
    m_jobs[size_t(which)].push_back(std::move(job));
}

void CTerminal::runJobs(TerminalTimer which) {
    for (const auto& job : m_jobs[size_t(which)])
        job();
}

void CTerminal::tick(TerminalTimer which) {
    switch (which) {
    case TerminalTimer::Timer1:
        m_engine.onTimer1();
        break;
    case TerminalTimer::Timer2:
        onTimer2();
        break;
    case TerminalTimer::Winsock:
        onWinsockTimer();
        break;
    case TerminalTimer::Timer60S:
        onTimer60S();
        break;
    case TerminalTimer::MBox:
        m_boxes.onMBoxTimer();
        break;
    case TerminalTimer::Egc:
        m_session.SetProcessingEgcs(false);
        timer(which).stop();
        break;
    case TerminalTimer::Message:
        m_session.SetProcessingMsgs(false);
        timer(which).stop();
        break;
    case TerminalTimer::CloseDown:
        onCloseDownTimer();
        break;
    case TerminalTimer::Progress:
        onProgressTimer();
        break;
    default:
        break;
    }
    runJobs(which);
}

void CTerminal::onTimer2() {
    // Typed at the operator's password or file-number prompt, the keep-alive would be taken as his answer.
    if (!m_engine.terminalAwaitsInput())
        m_engine.QueueCommand(QStringLiteral("st -l"));
    if (m_session.MesConnected() && !m_engine.terminalWindowOpen())
        m_engine.QueuePollCycle();
    else if (!m_lanSelected && !m_session.MesConnected())
        OpenSerialPort(); // a silent port (device re-plugged, transceiver restarted) gets a fresh open
}

void CTerminal::updateIndicator() {
    LinkIndicatorState s;
    if (m_lanSelected) {
        s.green = m_session.TcpConnected();
    } else {
        if (m_session.PromptSeen()) {
            m_session.SetPromptSeen(false);
            m_promptCountdown = 20;
        }
        s.green = m_promptCountdown != 0;
        s.countdown = m_promptCountdown;
        if (m_promptCountdown > 0)
            --m_promptCountdown;
    }
    if (!s.green)
        s.text = notConnectedText();
    else if (!m_session.MesConnected())
        s.text = GetText(3036, QStringLiteral("Connected to TCU"));
    if (!m_indicatorShown || !(s == m_indicator)) {
        m_indicator = s;
        m_indicatorShown = true;
        m_form.setLinkIndicator(s);
    }
}

void CTerminal::onWinsockTimer() {
    updateIndicator();
    // The connect sequence would read the exchange's replies and take the bare shell for a stopped program.
    if (m_lanSelected && !m_fixedIp.running() && !m_lanSetup.running())
        m_lan.onTick();
}

void CTerminal::onTimer60S() {
    if (m_session.MesConnected() && !m_engine.terminalWindowOpen())
        m_engine.QueueCommand(QStringLiteral("se -p"));
}

void CTerminal::startEgcWatchdog() {
    timer(TerminalTimer::Egc).start();
}

void CTerminal::stopEgcWatchdog() {
    timer(TerminalTimer::Egc).stop();
}

void CTerminal::startMessageWatchdog() {
    timer(TerminalTimer::Message).start();
}

void CTerminal::stopMessageWatchdog() {
    timer(TerminalTimer::Message).stop();
}

void CTerminal::setWaitWindow(const QString& text) {
    if (text == m_waitText)
        return;
    m_waitText = text;
    m_form.setWaitWindow(text);
    if (text.isEmpty()) {
        timer(TerminalTimer::Progress).stop();
    } else if (!timer(TerminalTimer::Progress).isActive()) {
        m_progressStep = 0;
        timer(TerminalTimer::Progress).start();
    }
}

void CTerminal::onProgressTimer() {
    m_progressStep = (m_progressStep + 1) % 11;
    m_form.setWaitProgress(m_progressStep);
}

void CTerminal::requestClose() {
    if (m_closing)
        return;
    const QString question = m_exitQuestion ? m_exitQuestion() : QStringLiteral("Do you want to exit Tessaro ?");
    m_form.confirm({question, QStringLiteral("Tessaro"), false}, [this](bool yes) {
        if (yes)
            beginShutDown();
    });
}

void CTerminal::beginShutDown() {
    if (m_closing)
        return;
    m_closing = true;
    m_engine.setClosingDown(true);
    timer(TerminalTimer::CloseDown).start();
    onCloseDownTimer();
}

void CTerminal::onCloseDownTimer() {
    if (m_finished)
        return;
    QString text = QStringLiteral("Closing Tessaro...");
    if (m_session.ProcessingEgcs())
        text += QStringLiteral("\r\n(Downloading EGC's)");
    if (m_session.ProcessingMsgs())
        text += QStringLiteral("\r\n(Downloading Messages)");
    setWaitWindow(text);
    if (!m_session.ProcessingEgcs() && !m_session.ProcessingMsgs())
        finishShutDown();
}

void CTerminal::finishShutDown() {
    if (m_finished)
        return;
    m_finished = true;
    m_closing = true;
    m_engine.setClosingDown(true);
    for (QTimer& t : m_timers)
        t.stop();
    for (const auto& job : m_shutDownJobs)
        job();
    m_serial->close();
    m_tcp->close();
    if (m_started) {
        m_config.SaveIni();
        QFile::remove(markerPath());
    }
    if (m_lock)
        m_lock->unlock();
    setWaitWindow(QString());
    m_form.closeFinished();
    Q_EMIT finished();
}

} // namespace tessaro
