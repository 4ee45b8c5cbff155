#include "reporting/forms_module.h"

#include "config/logs.h"
#include "messaging/messaging_module.h"
#include "reporting/forms_backend_adapter.h"
#include "reporting/forms_service.h"

namespace tessaro {

FormsModule::FormsModule(CSession& session, MessagingModule& messaging, int portOverride, QObject* parent)
    : QObject(parent), m_session(session), m_messaging(messaging), m_portOverride(portOverride) {}

FormsModule::~FormsModule() = default;

void FormsModule::attach(ModuleContext& context) {
    // Nothing to route: the server answers its own sockets. It binds once the data folders exist.
    m_context = &context;
    context.addStartUpJob([this] { startUp(); });
    context.addShutDownJob([this] { shutDown(); });
}

void FormsModule::startUp() {
    ModuleContext& context = *m_context;
    m_hotList.setFilePath(context.config().DataPath() + QStringLiteral("Hotlist.xml"));
    if (!m_hotList.Load())
        context.errorLog().AddLine(m_hotList.lastError());
    m_backend = std::make_unique<CFormsBackend>(context.config(), m_session, m_messaging.outbox(), m_messaging.inbox(),
                                                m_messaging, m_messaging.transfers(), context.clock());
    m_service = std::make_unique<CFormsService>(context.config(), *m_backend, context.clock(), context.errorLog(),
                                                &context.debugLog());
    connect(m_service.get(), &CFormsService::listening, this, &FormsModule::serverListening);
    connect(m_service.get(), &CFormsService::startFailed, this, [this](const QString& text) {
        m_context->notifier().showMessage(text, QStringLiteral("Electronic forms"), MessageStyle::Warning);
    });
    m_service->start(m_portOverride);
}

void FormsModule::shutDown() {
    if (m_service)
        m_service->server().close();
}

} // namespace tessaro
