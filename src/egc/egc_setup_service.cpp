#include "egc/egc_setup_service.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "status/module_context.h"
#include "status/session.h"

namespace tessaro {

namespace {

QString fixedPositionsSection() {
    return QLatin1String(kFixedPositionsSection);
}
QString fixedPositionsKey() {
    return QLatin1String(kFixedPositionsKey);
}

} // namespace

EgcSetupService::EgcSetupService(QObject* parent) : QObject(parent) {
    for (QTimer* timer : {&m_setupTimer, &m_enidTimer}) {
        timer->setSingleShot(true);
        timer->setInterval(kDefaultWaitTimeoutMs);
    }
    connect(&m_setupTimer, &QTimer::timeout, this, [this] { onWaitTimedOut(m_setupPending); });
    connect(&m_enidTimer, &QTimer::timeout, this, [this] { onWaitTimedOut(m_enidPending); });
}

void EgcSetupService::attach(ModuleContext& context) {
    m_context = &context;
    context.addRoute(RouteKey::EgcFxCheck, MatchKind::Starts, QStringLiteral("fx "),
                     [this](const QString& reply) { onFxReply(reply); });
    context.addRoute(RouteKey::EnidList, MatchKind::Echo, QStringLiteral("st -g"),
                     [this](const QString& reply) { onEnidReply(reply); });
    // Nothing in the program asks "se -e" alone, but the transceiver answers it with the same switch
    // line as "se"; a read that is waiting takes the EGC-only value from it, otherwise it changes nothing.
    context.addRoute(RouteKey::EgcSettings, MatchKind::Echo, QStringLiteral("se -e"),
                     [this](const QString& reply) { onEgcOnlyReply(reply); });
    context.addRoute(RouteKey::EgcSettingsBare, MatchKind::Echo, QStringLiteral("se"),
                     [this](const QString& reply) { onSwitchesReply(reply); });
    context.addRoute(RouteKey::EgcSettingsFixed, MatchKind::Echo, QStringLiteral("se -x"),
                     [this](const QString& reply) { onCoastalAreasReply(reply); });
    context.addRoute(RouteKey::EgcSettingsNavarea, MatchKind::Echo, QStringLiteral("se -sn"),
                     [this](const QString& reply) { onSpareNavareasReply(reply); });
    context.addLinkLostJob([this] { onLinkLost(); });
}

bool EgcSetupService::connected() const {
    return m_context && m_context->session().MesConnected();
}

QString EgcSetupService::lineEnd() const {
    const QString le = m_context ? m_context->lineEnd() : QString();
    return le.isEmpty() ? QStringLiteral("\r\n") : le;
}

EgcSetupValues EgcSetupService::storedValues() const {
    EgcSetupValues values;
    values.fixedPositionsSupported = m_fixedPositionsSupported;
    if (!m_context)
        return values;
    values.support4ExtraNavAreas = m_context->config().Support4ExtraNavAreas();
    values.fixedPositions = ParseFixedPositions(
        m_context->config().GetSettingValue(fixedPositionsSection(), fixedPositionsKey()).trimmed());
    return values;
}

bool EgcSetupService::OpenSetup() {
    if (!m_context || m_setupPending)
        return false;
    if (!connected()) {
        Q_EMIT setupReady(storedValues());
        return true;
    }
    m_pending = storedValues();
    const QString stored = m_context->config().GetSettingValue(fixedPositionsSection(), fixedPositionsKey()).trimmed();
    // "fx " with the stored list both keeps the transceiver's list in step and shows whether it knows "fx".
    m_context->QueueCommand(QStringLiteral("fx ") + stored, true);
    const QString le = lineEnd();
    m_context->QueueCommand(QStringLiteral("se") + le + QStringLiteral("se -x") + le + QStringLiteral("se -sn"), true);
    m_setupPending = true;
    m_setupTimer.start();
    m_context->notifier().waitWindow(QStringLiteral("Reading the EGC settings..."));
    return true;
}

EgcApplyResult EgcSetupService::ApplySetup(const EgcSetupValues& values) {
    EgcApplyResult result;
    if (const auto error = ValidateFixedPositions(values.fixedPositions)) {
        result.error = error;
        Q_EMIT validationFailed(*error);
        return result;
    }
    result.accepted = true;
    if (!m_context)
        return result;
    if (connected()) {
        for (const QString& command : EgcSetupCommands(values))
            m_context->QueueCommand(command, true);
        result.sent = true;
    }
    m_context->config().SaveSettingValue(fixedPositionsSection(), fixedPositionsKey(),
                                         FormatFixedPositions(values.fixedPositions));
    return result;
}

bool EgcSetupService::OpenEnidList() {
    if (!m_context || m_enidPending)
        return false;
    if (!connected()) {
        notice(QStringLiteral("Not connected to the transceiver."));
        return false;
    }
    m_context->QueueCommand(QStringLiteral("st -g"), true);
    m_enidPending = true;
    m_enidTimer.start();
    m_context->notifier().waitWindow(QStringLiteral("Reading the ENID list..."));
    return true;
}

int EgcSetupService::ApplyEnidChanges(const QList<bool>& newStates) {
    const QStringList commands = EnidChangeCommands(m_enids.records(), newStates);
    if (commands.isEmpty())
        return 0;
    if (!connected()) {
        // Queued now, they would go out to whichever transceiver is connected next.
        notice(QStringLiteral("Not connected to the transceiver. The ENID changes were not sent."));
        return -1;
    }
    for (const QString& command : commands)
        m_context->QueueCommand(command, true);
    return int(commands.size());
}

void EgcSetupService::setWaitTimeoutMs(int ms) {
    m_setupTimer.setInterval(ms);
    m_enidTimer.setInterval(ms);
}

void EgcSetupService::endWait(QTimer& timer, bool& pending) {
    timer.stop();
    pending = false;
    if (m_context)
        m_context->notifier().waitWindow(QString());
}

void EgcSetupService::notice(const QString& text) {
    if (m_context)
        m_context->notifier().showMessage(text, QStringLiteral("Info"));
}

void EgcSetupService::onFxReply(const QString& reply) {
    m_fixedPositionsSupported = FixedPositionsSupportedByReply(reply);
    m_pending.fixedPositionsSupported = m_fixedPositionsSupported;
}

void EgcSetupService::onEgcOnlyReply(const QString& reply) {
    if (m_setupPending)
        ApplyEgcOnlyReply(reply, m_pending);
}

void EgcSetupService::onSwitchesReply(const QString& reply) {
    if (m_setupPending)
        ApplyEgcSwitchesReply(reply, m_pending);
}

void EgcSetupService::onCoastalAreasReply(const QString& reply) {
    if (m_setupPending)
        ApplyCoastalAreasReply(reply, m_pending);
}

void EgcSetupService::onSpareNavareasReply(const QString& reply) {
    EgcSetupValues read = m_pending;
    ApplySpareNavareasReply(reply, lineEnd(), read);
    if (m_context)
        m_context->config().SetSupport4ExtraNavAreas(read.support4ExtraNavAreas);
    if (!m_setupPending)
        return;
    m_pending = read;
    endWait(m_setupTimer, m_setupPending);
    Q_EMIT setupReady(m_pending);
}

void EgcSetupService::onEnidReply(const QString& reply) {
    cErrorLog* log = m_context ? &m_context->errorLog() : nullptr;
    m_enids.SaveData(reply, lineEnd(), [log](const QString& text) {
        if (log)
            log->AddLine(text);
    });
    // A list nobody asked for (typed in by hand) is kept but opens no window.
    if (!m_enidPending)
        return;
    endWait(m_enidTimer, m_enidPending);
    Q_EMIT enidListReady(m_enids.records());
}

void EgcSetupService::onWaitTimedOut(bool& pending) {
    if (!pending)
        return;
    pending = false;
    if (!m_context)
        return;
    m_context->notifier().waitWindow(QString());
    notice(QStringLiteral("The transceiver did not answer. Please try again."));
}

void EgcSetupService::onLinkLost() {
    if (!m_setupPending && !m_enidPending)
        return;
    endWait(m_setupTimer, m_setupPending);
    endWait(m_enidTimer, m_enidPending);
    notice(QStringLiteral("Not connected to the transceiver."));
}

} // namespace tessaro
