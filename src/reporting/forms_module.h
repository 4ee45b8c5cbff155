#pragma once

#include "reporting/hot_list.h"
#include "status/module_context.h"

#include <QObject>

#include <QString>

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
class FormsModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    // portOverride: --forms-port for this run (0 = any free port), or -1 for the "LocalPort" setting.
    FormsModule(CSession& session, MessagingModule& messaging, int portOverride = -1, QObject* parent = nullptr);
    ~FormsModule() override;

    Subsystem subsystem() const override { return Subsystem::Forms; }
    void attach(ModuleContext& context) override;

    // Null until start-up.
    CFormsService* service() { return m_service.get(); }
    // The usage counts of the forms menu and the other counted entries; Hotlist.xml is read at start-up.
    cHotList& hotList() { return m_hotList; }

Q_SIGNALS:
    // "Forms server: http://ADDRESS:PORT/" once the server listens.
    void serverListening(const QString& line);

private:
    void startUp();
    void shutDown();

    ModuleContext* m_context = nullptr;
    CSession& m_session;
    MessagingModule& m_messaging;
    int m_portOverride;
    std::unique_ptr<CFormsBackend> m_backend;
    std::unique_ptr<CFormsService> m_service;
    cHotList m_hotList;
};

} // namespace tessaro
