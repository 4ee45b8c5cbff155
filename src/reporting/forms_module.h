#pragma once

#include "link/terminal_module.h"

#include <QString>

#include <functional>
#include <memory>

namespace tessaro {

class CFormsBackend;
class CFormsService;
class CSession;
class DebugLog;
class MessagingModule;

// Joins the forms server to the terminal: at start-up it binds the server (the data folders exist by then)
// and installs the example forms; at shut-down it stops listening. A port that cannot be bound is reported
// through the message-box queue and the error log, and the program carries on without the server.
class FormsModule final : public ITerminalModule {
public:
    // portOverride: --forms-port for this run (0 = any free port), or -1 for the "LocalPort" setting.
    FormsModule(CSession& session, MessagingModule& messaging, int portOverride = -1);
    ~FormsModule() override;

    void attach(CTerminal& terminal) override;
    void startUp(CTerminal& terminal) override;
    void shutDown(CTerminal& terminal) override;

    // Where the headless front end prints "Forms server: http://ADDRESS:PORT/"; unset: nothing is printed.
    std::function<void(const QString& line)> printLine;

    // Null until start-up.
    CFormsService* service() { return m_service.get(); }
    DebugLog* debugLog() { return m_debugLog.get(); }

private:
    CSession& m_session;
    MessagingModule& m_messaging;
    int m_portOverride;
    std::unique_ptr<DebugLog> m_debugLog;
    std::unique_ptr<CFormsBackend> m_backend;
    std::unique_ptr<CFormsService> m_service;
};

} // namespace tessaro
