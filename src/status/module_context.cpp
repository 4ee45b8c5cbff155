#include "status/module_context.h"

#include "config/logs.h"
#include "status/session.h"

namespace tessaro {

ModuleContext::ModuleContext(CTerminal& terminal, CSession& session, CInfo& info)
    : m_terminal(terminal), m_session(session), m_info(info) {
    QObject::connect(&terminal.engine(), &CommandEngine::infoErrorReply, &terminal, [this](const QString& reply) {
        const QString prompt = m_terminal.engine().PromptText();
        m_info.CheckInfos(reply, prompt);
        m_info.CheckErrors(reply, prompt);
    });
}

void ModuleContext::attach(ITerminalModule& module) {
    const Subsystem subsystem = module.subsystem();
    if (!m_attached.insert(subsystem).second)
        m_errors << QStringLiteral("the %1 subsystem is attached twice").arg(SubsystemName(subsystem));
    if (module.providesAllRoutes())
        m_complete.insert(subsystem);
    m_current = subsystem;
    module.attach(*this);
    m_current.reset();
}

Subsystem ModuleContext::owner() const {
    return m_current.value_or(Subsystem::Status);
}

QStringList ModuleContext::errors() const {
    return m_errors + m_terminal.engine().router().missingRows(m_complete);
}

void ModuleContext::addRoute(RouteKey key, MatchKind kind, const QString& command, ReplyHandler handler,
                             RowOption option) {
    QString error;
    if (!m_terminal.engine().router().addRow(RouteRow{key, kind, command, option, {}, std::move(handler)}, &error))
        m_errors << error;
}

void ModuleContext::addCustomRoute(RouteKey key, const QString& label, ReplyPredicate predicate, ReplyHandler handler) {
    QString error;
    if (!m_terminal.engine().router().addRow(
            RouteRow{key, MatchKind::Custom, label, RowOption::None, std::move(predicate), std::move(handler)}, &error))
        m_errors << error;
}

void ModuleContext::onInfo(int code, InfoHandler handler) {
    QString error;
    if (!m_info.addHandler(LineKind::Info, code, owner(), std::move(handler), &error))
        m_errors << error;
}

void ModuleContext::onError(int code, InfoHandler handler) {
    QString error;
    if (!m_info.addHandler(LineKind::Error, code, owner(), std::move(handler), &error))
        m_errors << error;
}

void ModuleContext::addPollStep(PollOrder order, std::function<void()> step) {
    m_terminal.engine().addPollStep(order, std::move(step));
}

void ModuleContext::addTimerJob(TerminalTimer timer, std::function<void()> job) {
    m_terminal.addTimerJob(timer, std::move(job));
}

void ModuleContext::addLinkUpJob(std::function<void()> job) {
    m_terminal.addLinkUpJob(std::move(job));
}

void ModuleContext::addLinkLostJob(std::function<void()> job) {
    m_terminal.addLinkLostJob(std::move(job));
}

void ModuleContext::addStartUpJob(std::function<void()> job) {
    m_terminal.addStartUpJob(std::move(job));
}

void ModuleContext::addShutDownJob(std::function<void()> job) {
    m_terminal.addShutDownJob(std::move(job));
}

void ModuleContext::setUploadTextProvider(CommandEngine::UploadTextProvider provider) {
    if (m_uploadProviders.contains(owner())) {
        m_errors << QStringLiteral("a second upload text provider (from the %1 subsystem)").arg(SubsystemName(owner()));
        return;
    }
    // One provider per subsystem, each answering only for its own file names; asked in attach order.
    m_uploadProviders.emplace(owner(), std::move(provider));
    m_providerOrder.push_back(owner());
    m_terminal.engine().setUploadTextProvider([this](const QString& fileName) -> std::optional<QByteArray> {
        for (Subsystem s : m_providerOrder)
            if (std::optional<QByteArray> text = m_uploadProviders.at(s)(fileName))
                return text;
        return std::nullopt;
    });
}

bool ModuleContext::QueueCommand(const QString& command, bool allowDuplicate, bool atFront) {
    return m_terminal.QueueCommand(command, allowDuplicate, atFront);
}

void ModuleContext::QueuePollCycle() {
    m_terminal.QueuePollCycle();
}

bool ModuleContext::isQueued(const QString& text) const {
    return m_terminal.engine().queue().contains(text, Qt::CaseInsensitive);
}

int ModuleContext::removeQueued(const std::function<bool(QStringView line)>& drop) {
    return m_terminal.engine().queue().removeLines(drop);
}

QString ModuleContext::queuedText() const {
    return m_terminal.engine().queue().text();
}

QString ModuleContext::lineEnd() const {
    return m_terminal.engine().LineEnd();
}

QString ModuleContext::promptText() const {
    return m_terminal.engine().PromptText();
}

void ModuleContext::setUploadFolder(const QString& folder) {
    m_terminal.engine().setUploadFolder(folder);
}

OperatorNotifier& ModuleContext::notifier() {
    return m_terminal.notifier();
}

void ModuleContext::startTimer(TerminalTimer timer) {
    m_terminal.timer(timer).start();
}

void ModuleContext::stopTimer(TerminalTimer timer) {
    m_terminal.timer(timer).stop();
}

CConfiguration& ModuleContext::config() {
    return m_terminal.config();
}

const IClock& ModuleContext::clock() const {
    return m_terminal.clock();
}

cErrorLog& ModuleContext::errorLog() {
    return m_terminal.errorLog();
}

cInfoLog& ModuleContext::infoLog() {
    return m_terminal.infoLog();
}

DebugLog& ModuleContext::debugLog() {
    return m_terminal.debugLog();
}

const CommandEngine& ModuleContext::engine() const {
    return m_terminal.engine();
}

const ReplyRouter& ModuleContext::router() const {
    return m_terminal.engine().router();
}

} // namespace tessaro
