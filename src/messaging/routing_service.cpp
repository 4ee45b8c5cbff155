#include "messaging/routing_service.h"

#include "config/configuration.h"
#include "messaging/message_store.h"
#include "status/module_context.h"
#include "status/session.h"

namespace tessaro {

namespace {

QString withSlash(QString folder) {
    folder = folder.trimmed();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

RoutingService::RoutingService(QObject* parent) : QObject(parent) {}

void RoutingService::attach(ModuleContext& context) {
    m_context = &context;
    context.addRoute(RouteKey::ConfigVariables, MatchKind::Echo, QStringLiteral("set -z"),
                     [this](const QString& reply) { onConfigVariables(reply); });
    context.addRoute(RouteKey::Routing, MatchKind::Echo, QStringLiteral("ro"),
                     [this](const QString& reply) { onRouting(reply); });
}

bool RoutingService::connected() const {
    return m_context && m_context->session().MesConnected();
}

bool RoutingService::OpenRouting() {
    if (!connected())
        return false;
    // One entry, so a second opening while the first is waiting adds nothing; the queue still writes
    // it as two command lines.
    QString lineEnd = m_context->lineEnd();
    if (lineEnd.isEmpty())
        lineEnd = QStringLiteral("\r\n");
    m_context->QueueCommand(QStringLiteral("set -z") + lineEnd + QStringLiteral("ro"));
    return true;
}

RoutingApplyResult RoutingService::ApplyRouting(const RoutingTable& table, std::optional<LocalPrinter> printer,
                                                const StoreFolders& folders) {
    RoutingApplyResult result;
    if (!m_context)
        return result;
    if (connected()) {
        m_context->notifier().showMessage(QStringLiteral("Saving Routing setting in Modem."));
        result.commands = RoutingCommands(table, printer);
        for (const QString& command : result.commands)
            m_context->QueueCommand(command, true);
        // What was sent is what the transceiver now holds.
        for (int routingClass : kRoutingClasses)
            if (const auto v = table.value(routingClass))
                m_routing.set(routingClass, *v);
        if (printer)
            m_printer = printer;
    }
    CConfiguration& config = m_context->config();
    const StoreFolders before = storeFolders();
    const std::pair<QLatin1String, QString> keys[] = {
        {kInboxKey, folders.inbox}, {kOutboxKey, folders.outbox}, {kEgcKey, folders.egc}};
    for (const auto& [key, folder] : keys) {
        // An empty field keeps the folder: the store must always have one.
        const QString value = withSlash(folder);
        if (!value.isEmpty())
            config.SetIni(key, value);
    }
    result.foldersSaved = config.SaveIni();
    if (!result.foldersSaved)
        m_context->notifier().showMessage(QStringLiteral("The folder settings could not be saved."),
                                          QStringLiteral("Routing"), MessageStyle::Warning);
    if (storeFolders() != before) {
        // A new folder gets its index files now, not at the next start: the stores write there at once.
        const StoreCheckResult check = CheckStoreFolders(config, &m_context->infoLog());
        for (const QString& text : check.infoMessages)
            m_context->notifier().showMessage(text);
        for (const QString& text : check.failures)
            m_context->notifier().showMessage(text, QStringLiteral("Routing"), MessageStyle::Warning);
    }
    return result;
}

StoreFolders RoutingService::storeFolders() const {
    if (!m_context)
        return {};
    CConfiguration& config = m_context->config();
    return {StoreFolderPath(config, kInboxKey), StoreFolderPath(config, kOutboxKey), StoreFolderPath(config, kEgcKey)};
}

void RoutingService::onConfigVariables(const QString& reply) {
    if (!m_context || !FamilyReportsPrinterVariable(m_context->session().ProductType()))
        return;
    m_printer = LocalPrinterFromVariables(reply);
    Q_EMIT localPrinterRead(*m_printer);
}

void RoutingService::onRouting(const QString& reply) {
    m_routing = ParseRoutingReply(reply, m_routing);
    Q_EMIT routingRead(m_routing);
}

} // namespace tessaro
