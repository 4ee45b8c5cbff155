#include "reporting/forms_module.h"

#include "link/terminal.h"
#include "messaging/messaging_module.h"
#include "reporting/forms_backend_adapter.h"
#include "reporting/forms_service.h"

namespace tessaro {

FormsModule::FormsModule(CSession& session, MessagingModule& messaging, int portOverride)
    : m_session(session), m_messaging(messaging), m_portOverride(portOverride) {}

FormsModule::~FormsModule() = default;

void FormsModule::attach(CTerminal&) {
    // Nothing to route: the server answers its own sockets.
}

void FormsModule::startUp(CTerminal& terminal) {
    m_debugLog = std::make_unique<DebugLog>(terminal.config().DataPath(), terminal.clock());
    m_backend = std::make_unique<CFormsBackend>(terminal.config(), m_session, m_messaging.outbox(), m_messaging.inbox(),
                                                m_messaging, m_messaging.transfers(), terminal.clock());
    FormsServiceHooks hooks;
    hooks.printLine = [this](const QString& line) {
        if (printLine)
            printLine(line);
    };
    hooks.operatorMessage = [&terminal](const QString& text) {
        terminal.ShowMessageQueued(text, QStringLiteral("Electronic forms"), MessageStyle::Warning);
    };
    m_service = std::make_unique<CFormsService>(terminal.config(), *m_backend, terminal.clock(), terminal.errorLog(),
                                                m_debugLog.get(), hooks);
    m_service->start(m_portOverride);
}

void FormsModule::shutDown(CTerminal&) {
    if (m_service)
        m_service->server().close();
}

} // namespace tessaro
