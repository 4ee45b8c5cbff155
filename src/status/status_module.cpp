#include "status/status_module.h"

#include "config/text_util.h"
#include "status/identity.h"
#include "status/link_test.h"
#include "status/module_context.h"
#include "status/position.h"
#include "status/session.h"
#include "status/terminal_status.h"

#include <QDir>
#include <QStorageInfo>

#include <array>

namespace tessaro {

namespace {

constexpr std::array<const char*, 4> kLoginCommands = {"li 44", "li 144", "li 244", "li 344"};
constexpr std::array<const char*, 5> kPreferredCommands = {"se -o w", "se -o e", "se -o p", "se -o i", "se -o n"};
constexpr std::array<const char*, 5> kPreferredNames = {"West", "East", "Pacific", "Indian", "None"};

QString lowDiskText(qint64 freeKBytes, const QString& drive) {
    const QStringList lines = {
        FormatText(QStringLiteral("Warning, Low disk space (%0 kBytes) on drive '%1'."),
                   {QString::number(freeKBytes), drive}),
        QStringLiteral("In case more disk space is not retrieved, "),
        QStringLiteral("attempts to receive new messages could fail and Tessaro"),
        QStringLiteral("could start behaving abnormally."),
        QStringLiteral("Please do one or more of the following things."),
        QStringLiteral("* Use another drive or partition to save EGC's and messages"),
        QStringLiteral("* Use Windows Disk Clean Up (Windows 98, 2000, XP)"),
        QStringLiteral("* Empty the Windows Recycle Bin."),
        FormatText(QStringLiteral("* Manually delete unused files on drive '%0'."), {drive}),
        FormatText(QStringLiteral("* Manually delete Commlog.txt, Errorlog.txt and Remotelog.txt from drive '%0'."),
                   {drive}),
        QStringLiteral("* Manually delete unused EGC's or messages from Tessaro."),
    };
    return lines.join(QLatin1Char('\n'));
}

} // namespace

std::optional<DiskSpace> FreeDiskSpace(const QString& folder) {
    if (folder.isEmpty() || !QDir(folder).exists())
        return std::nullopt;
    const QStorageInfo info(folder);
    if (!info.isValid() || !info.isReady())
        return std::nullopt;
    return DiskSpace{info.bytesAvailable() / 1024, info.rootPath()};
}

StatusModule::StatusModule(CSession& session, ISystemClockSetter* clockSetter, QObject* parent)
    : QObject(parent), m_session(session), m_ownSetter(clockSetter ? nullptr : std::make_unique<SystemClockSetter>()),
      m_clockSetter(clockSetter ? *clockSetter : *m_ownSetter) {}

StatusModule::~StatusModule() = default;

void StatusModule::attach(ModuleContext& context) {
    m_context = &context;
    const auto route = [&](RouteKey key, const char* command, void (StatusModule::*handler)(const QString&),
                           MatchKind kind = MatchKind::Echo, RowOption option = RowOption::None) {
        context.addRoute(
            key, kind, QLatin1String(command), [this, handler](const QString& r) { (this->*handler)(r); }, option);
    };
    route(RouteKey::Version, "ver", &StatusModule::onVersions);
    route(RouteKey::TerminalStatus, "st -w", &StatusModule::onTerminalStatus, MatchKind::Echo, RowOption::CutPrompt);
    route(RouteKey::LinkTest, "st -m", &StatusModule::onLinkTest);
    route(RouteKey::StatusSummary, "st -s", &StatusModule::onStatusSummary);
    route(RouteKey::Identity, "st -i", &StatusModule::onIdentity);
    route(RouteKey::SoftwareVersion, "st -v", &StatusModule::onSoftwareVersion);
    route(RouteKey::Gps, "ru -g", &StatusModule::onGpsStatus);
    route(RouteKey::Time, "ti -u", &StatusModule::onTime);
    route(RouteKey::Position, "se -p", &StatusModule::onPosition);
    route(RouteKey::PositionSet, "se -p ", &StatusModule::onPositionSet, MatchKind::Starts);

    // The poll burst's status part, with the identity's rules for the optional queries.
    context.addPollStep(PollOrder::TestModeQuery, [this] {
        if (WantsDistressTestModeQuery(m_session.Identity()))
            queue(QStringLiteral("se -q"));
    });
    context.addPollStep(PollOrder::Status, [this] {
        queue(QStringLiteral("ti -u"), true);
        for (const char* c : {"st -v", "st -i", "st -s", "st -w", "ru -g"})
            queue(QLatin1String(c));
        queue(QStringLiteral("ver"), true);
    });
    context.addPollStep(PollOrder::ReportSettings, [this] {
        if (WantsReportSettingsQuery(m_session.Identity()))
            queue(QStringLiteral("se -r 1"));
    });

    // INFO lines that ask for a fresh status, and the status notices.
    for (int code : {30, 60, 61, 220, 221, 500, 501})
        context.onInfo(code, [this](const InfoEvent&) { QueueStatusPoll(); });
    context.onInfo(116, [this](const InfoEvent& e) {
        if (!m_testSoftwareNoticeShown) {
            m_testSoftwareNoticeShown = true;
            m_context->notifier().showMessage(QStringLiteral("INFO 116: ") + e.text, QStringLiteral("INFO"));
        }
    });
    // The reminders to enter the position concern only a transceiver whose position is entered by hand.
    context.onInfo(450, [this](const InfoEvent&) { m_noBuiltInGps = true; });
    for (int code : {111, 193})
        context.onInfo(code, [this](const InfoEvent& e) {
            if (PositionIsEnteredByHand())
                m_context->notifier().showMessage(QStringLiteral("INFO %1: ").arg(e.code) + e.text,
                                                  QStringLiteral("INFO"));
        });
    context.onInfo(132,
                   [this](const InfoEvent& e) { m_context->notifier().showMessage(e.text, QStringLiteral("Info")); });

    // The status and GPS windows say they are being updated from the moment their command is queued.
    QObject::connect(&context.engine(), &CommandEngine::commandQueued, this, &StatusModule::onCommandQueued);
    context.addTimerJob(TerminalTimer::Event, [this] { onEventTimer(); });
    context.addTimerJob(TerminalTimer::Timer60S, [this] { onTimer60S(); });
    context.addLinkLostJob([this] { onLinkLost(); });
}

bool StatusModule::PositionIsEnteredByHand() const {
    return m_noBuiltInGps || !m_session.Position().Valid;
}

void StatusModule::QueueStatusPoll() {
    if (m_context && !m_context->isQueued(QStringLiteral("st -w")))
        queue(QStringLiteral("st -w"));
}

void StatusModule::RefreshPosition() {
    queue(QStringLiteral("se -p"));
}

void StatusModule::RefreshGpsStatus() {
    queue(QStringLiteral("ru -g"));
}

void StatusModule::RefreshSystemInformation() {
    queue(QStringLiteral("st -v"));
    queue(QStringLiteral("st -i"));
}

bool StatusModule::queue(const QString& command, bool allowDuplicate) {
    return m_context && m_context->QueueCommand(command, allowDuplicate, false);
}

void StatusModule::notice(const QString& text, const QString& title) {
    if (m_context)
        m_context->notifier().showMessage(text, title);
}

void StatusModule::onCommandQueued(const QString& command) {
    if (command == QLatin1String("st -w")) {
        m_terminalStatusCaption = QStringLiteral("Transceiver Status updating...");
        Q_EMIT terminalStatusWindowChanged(m_terminalStatusText, m_terminalStatusCaption);
    } else if (command == QLatin1String("ru -g")) {
        m_gpsCaption = QStringLiteral("GPS Status Updating...");
        Q_EMIT gpsStatusWindowChanged(m_session.GpsStatus(), m_gpsCaption);
    }
}

void StatusModule::SetMobileStatus(int index) {
    m_statusIndex = index;
    if (m_context)
        m_context->notifier().statusLine(MobileStatusText(index),
                                         IsAlarmStatus(index) ? kStatusLineAlarm : kStatusLineNormal);
}

void StatusModule::applyStatusFields(const QString& reply) {
    const TerminalStatusReply r = ParseTerminalStatus(reply);
    if (r.swVersion)
        m_session.SetSwVersion(*r.swVersion);
    if (r.synchronised)
        m_session.SetSyncronization(*r.synchronised);
    if (r.tdmOrigin) {
        m_session.SetTDMOrigin(*r.tdmOrigin);
        if (m_session.CurrentOcean() != 4) {
            m_session.SetLastOcean(m_session.CurrentOcean());
            if (m_context)
                m_context->config().SetLastOcean(m_session.CurrentOcean());
        }
    }
    if (r.loggedIn) {
        m_session.SetLoggedIn(*r.loggedIn);
        SetMobileStatus(LoggedInStatusIndex(*r.loggedIn, m_session.CurrentOcean()));
    }
    if (r.protocol) {
        m_session.SetCurrentProtocol(*r.protocol);
        const std::optional<int> index = ProtocolStatusIndex(*r.protocolWord, m_session.Syncronization());
        if (index && *index != 0)
            SetMobileStatus(*index);
        if (index == StatusLinkTest)
            Q_EMIT automaticTestModeSeen();
    }
    if (r.channel)
        m_session.SetCurrentChannel(*r.channel);
    if (r.serialNumber)
        m_session.SetSerialNumber(*r.serialNumber);
    if (r.mobileNumberText && IsNumeric(*r.mobileNumberText))
        m_session.SetMobileNumber(qBound<qint64>(0, Val(*r.mobileNumberText), 0xFFFFFFFFLL));
    if (r.preferredOcean) {
        m_preferredMark = *r.preferredOcean;
        Q_EMIT preferredOceanMarked(m_preferredMark);
    }
    if (r.tdmChannel)
        m_session.SetTDMChannel(*r.tdmChannel);
    if (r.signalStrength)
        m_session.SetSignalStrength(*r.signalStrength);
}

void StatusModule::onTerminalStatus(const QString& reply) {
    if (!m_session.MesConnected())
        return;
    if (m_statusWindowRequested && m_context) {
        m_statusWindowRequested = false;
        m_context->notifier().waitWindow(QString());
        m_context->notifier().openWindow(WindowId::TerminalStatus);
    }
    applyStatusFields(reply);
    m_terminalStatusText = TerminalStatusWindowText(reply);
    m_terminalStatusCaption = TerminalStatusCaption(m_session.SystemTimeSet(), m_session.SystemTime());
    Q_EMIT terminalStatusWindowChanged(m_terminalStatusText, m_terminalStatusCaption);
}

void StatusModule::onStatusSummary(const QString& reply) {
    // The summary carries the same labels as the full status; it keeps the status line fresh.
    if (m_session.MesConnected())
        applyStatusFields(reply);
}

void StatusModule::onSoftwareVersion(const QString& reply) {
    m_session.SetMobileTypeAlderAB(ParseSoftwareBanner(reply));
}

void StatusModule::onIdentity(const QString& reply) {
    const TransceiverIdentity id = ParseIdentity(reply, m_session.MobileTypeAlderAB(), m_session.Identity());
    m_session.SetIdentity(id);
    Q_EMIT systemInformationRefresh();
    if (!m_solasAdviceShown && ShowsSolasAdvice(id)) {
        m_solasAdviceShown = true;
        notice(SolasAdviceText(), QStringLiteral("Info"));
    }
    if (!m_unsupportedShown && IsUnsupportedFamily(id)) {
        m_unsupportedShown = true;
        if (m_context)
            m_context->notifier().showMessage(UnsupportedTransceiverText(), QStringLiteral("Transceiver not supported"),
                                              MessageStyle::Warning);
    }
}

void StatusModule::onVersions(const QString& reply) {
    if (const auto v = ParseVersions(reply))
        m_session.SetMinicSwVersion(v->major, v->minor);
}

void StatusModule::onTime(const QString& reply) {
    const QString lineEnd = m_context ? m_context->lineEnd() : QString();
    const std::optional<QDateTime> t = ParseTransceiverTime(reply, lineEnd);
    if (t)
        m_session.SetSystemTime(*t);
    if (!m_pcTimeRequested)
        return;
    m_pcTimeRequested = false;
    // Only a time read from this very reply is fresh enough to set the PC clock with.
    const PcTimeResult r = SetPcTimeFromTransceiver(reply, t.has_value(), t.value_or(QDateTime()), m_clockSetter);
    if (!r.errorLine.isEmpty() && m_context)
        m_context->errorLog().AddLine(r.errorLine);
}

void StatusModule::onPosition(const QString& reply) {
    const PositionReply r = ParsePosition(reply);
    m_session.SetPos(r.position, r.course, r.time, r.speed, r.valid);
    Q_EMIT positionWindowRefresh();
}

void StatusModule::onPositionSet(const QString&) {
    if (m_context)
        m_context->notifier().waitWindow(QString());
}

void StatusModule::onGpsStatus(const QString& reply) {
    const QString text = ParseGpsStatus(reply);
    m_session.SetGpsStatus(text);
    const QDateTime now = m_context ? m_context->clock().nowLocal() : QDateTime::currentDateTime();
    m_gpsCaption = QStringLiteral("GPS Status last updated at ") + now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    Q_EMIT gpsStatusWindowChanged(text, m_gpsCaption);
}

void StatusModule::onLinkTest(const QString& reply) {
    if (const std::optional<QString> block = ParseLinkTestResults(reply)) {
        m_session.SetLatestLinkTestText(*block);
        const QString lineEnd = m_context ? m_context->lineEnd() : QString();
        const QString prompt = m_context ? m_context->promptText() : QString();
        m_linkTestText = LinkTestWindowText(*block, lineEnd, prompt);
    } else {
        m_linkTestText = NoLinkTestResultsText();
    }
    if (m_context)
        m_context->notifier().waitWindow(QString());
    Q_EMIT linkTestWindowChanged(m_linkTestText);
}

void StatusModule::onEventTimer() {
    const Seen now{m_session.SerialNumber(), ProductModelName(m_session.ProductModel()), m_session.MobileNumber()};
    // Nothing identified yet (or the link was just lost): nothing to compare.
    if (now.serial.isEmpty() && now.mobile == 0)
        return;
    if (m_seen && *m_seen == now)
        return;
    m_seen = now;
    if (!m_context)
        return;
    // Another transceiver numbers its EGC files afresh: the last-EGC keys of the old one would skip them.
    CConfiguration& config = m_context->config();
    config.SetIni(QStringLiteral("[LastEgcNumber]"), QString());
    config.SetIni(QStringLiteral("[LastEgcDate]"), QString(), true);
    Q_EMIT mainWindowRefresh();
    if (HasDistressFunction(m_session.Identity()))
        queue(QStringLiteral("se -g"));
    queue(QStringLiteral("se -m ALL_OCEANS"));
    if (config.GetIni(QStringLiteral("[SETPCTIME]")).trimmed().compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0)
        RequestPcTimeSetting();
}

void StatusModule::onTimer60S() {
    if (!m_context)
        return;
    CConfiguration& config = m_context->config();
    QString folder = config.GetIni(QStringLiteral("[egc]")).trimmed();
    if (folder.isEmpty())
        folder = config.DataPath() + QStringLiteral("egc/");
    const std::optional<DiskSpace> space = m_diskSpace ? m_diskSpace(folder) : std::nullopt;
    if (!space) {
        notice(QStringLiteral("EGC Directory invalid. Please set EGC Directory in 'Options->Routing'"),
               QStringLiteral("Info"));
        return;
    }
    qint64 limit = Val(config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("LowDiskSpaceLimit"),
                                              QStringLiteral("1024")));
    if (limit < 512) {
        limit = 1024;
        config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("LowDiskSpaceLimit"),
                                QStringLiteral("1024"));
    }
    if (space->freeKBytes < limit && !m_lowDiskWarned) {
        m_lowDiskWarned = true;
        notice(lowDiskText(space->freeKBytes, space->drive), QStringLiteral("Info"));
    }
}

void StatusModule::LoginOcean(int ocean) {
    if (ocean >= 0 && ocean < int(kLoginCommands.size()))
        queue(QLatin1String(kLoginCommands[std::size_t(ocean)]));
}

void StatusModule::Logout() {
    queue(QStringLiteral("lo"));
}

void StatusModule::SetPreferredOcean(int ocean) {
    if (ocean < 0 || ocean >= int(kPreferredCommands.size()))
        return;
    queue(QLatin1String(kPreferredCommands[std::size_t(ocean)]));
    if (m_context)
        m_context->config().SetIni(QStringLiteral("[Preferred Ocean]"),
                                   QLatin1String(kPreferredNames[std::size_t(ocean)]), true);
}

void StatusModule::Scan() {
    queue(QStringLiteral("nc -s"));
}

void StatusModule::onLinkLost() {
    // The "st -w" asked for by the operator will not be answered: end the wait instead of leaving it up.
    if (!m_statusWindowRequested || !m_context)
        return;
    m_statusWindowRequested = false;
    m_context->notifier().waitWindow(QString());
    notice(QStringLiteral("Not connected to the transceiver."), QStringLiteral("Info"));
}

void StatusModule::ShowTerminalStatus() {
    // Without a transceiver nothing would close the wait window, and a reply much later would open the
    // status window unasked.
    if (!m_session.MesConnected()) {
        m_statusWindowRequested = false;
        notice(QStringLiteral("Not connected to the transceiver."), QStringLiteral("Info"));
        return;
    }
    m_statusWindowRequested = true;
    queue(QStringLiteral("st -w"));
    if (m_context)
        m_context->notifier().waitWindow(QStringLiteral("Transceiver Status updating..."));
}

void StatusModule::OpenLinkTest() {
    m_linkTestText.clear();
    Q_EMIT linkTestWindowChanged(m_linkTestText);
    if (!m_context)
        return;
    m_context->notifier().openWindow(WindowId::LinkTest);
    if (m_session.MesConnected()) {
        queue(QStringLiteral("st -m"), true);
        m_context->notifier().waitWindow(QStringLiteral("Reading the link test results..."));
    }
}

void StatusModule::ExecuteLinkTest() {
    if (!m_context)
        return;
    m_context->notifier().confirm(ConfirmRequest{LinkTestWarningText(), LinkTestWarningTitle(), false},
                                  [this](bool ok) {
                                      if (!ok)
                                          return;
                                      // Queued even without a transceiver: the engine sends it once the link is up.
                                      queue(QStringLiteral("test"), true);
                                      notice(LinkTestRequestedText(), QStringLiteral("Link test"));
                                      Q_EMIT linkTestWindowCloseRequested();
                                  });
}

void StatusModule::RequestPcTimeSetting() {
    m_pcTimeRequested = true;
    queue(QStringLiteral("ti -u"));
}

} // namespace tessaro
