#pragma once

#include "app/receive_hook.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "config/migration.h"
#include "distress/distress_module.h"
#include "egc/egc_module.h"
#include "link/disclaimer.h"
#include "link/terminal.h"
#include "messaging/editor_insertions.h"
#include "messaging/lists_module.h"
#include "messaging/messaging_module.h"
#include "messaging/printing.h"
#include "reporting/forms_module.h"
#include "reporting/remote_config_service.h"
#include "reporting/reporting_module.h"
#include "status/info_lines.h"
#include "status/module_context.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QObject>
#include <QString>

#include <memory>

namespace tessaro {

class IMainForm;
class cOutBox;

// What a run is asked to be, from the command line.
struct RuntimeOptions {
    QString dataPath;
    bool portable = false;
    bool acceptDisclaimer = false; // --accept-disclaimer: stored as accepted without asking
    int formsPort = -1;            // --forms-port, or -1 for the "LocalPort" setting
    TerminalOptions terminal;
    QString settingsFile; // a settings store file of its own (tests); empty: the per-user store
    // The predecessor's folder (--migrate-from); empty: the "MigrateFrom" setting, else /opt/brivel.
    QString migrateFrom;
    QString predecessorSettingsFile; // the predecessor's settings store file (tests); empty: its per-user store
    QString receiveHook;             // --run-on-receive: the hook's command for this run instead of the setting
};

// One run of the program: configuration, session, terminal and the subsystems, built and attached the same
// way for every front end. The window and the headless program differ only in their IMainForm and their
// event loop.
class TessaroRuntime final : public QObject {
    Q_OBJECT
public:
    // Loads the configuration (storing an accepted disclaimer) and the language, so a front end can build
    // its form in the operator's language.
    TessaroRuntime(const RuntimeOptions& options, const IClock& clock, QObject* parent = nullptr);
    ~TessaroRuntime() override;

    CConfiguration& config() { return m_config; }
    CSession& session() { return m_session; }
    const IClock& clock() const { return m_clock; }
    bool disclaimerAccepted() { return DisclaimerAccepted(m_config); }
    void acceptDisclaimer() { AcceptDisclaimer(m_config); }

    // Builds the terminal on the front end's form and attaches every subsystem. Call once, before start().
    void attach(IMainForm& form, CTerminal::LinkFactory linkFactory = CreateLink);
    // Refuses to run on registration mistakes (a route or INFO code taken twice, a route left unfilled),
    // naming them; otherwise starts the terminal.
    StartResult start();
    // The transport for this run, when it is known only after construction (a simulator's port).
    void setTerminalOptions(const TerminalOptions& options) { m_options.terminal = options; }

    CTerminal& terminal() { return *m_terminal; }
    ModuleContext& context() { return *m_context; }
    CInfo& info() { return *m_info; }
    StatusModule& status() { return *m_status; }
    MessagingModule& messaging() { return *m_messaging; }
    DistressModule& distress() { return *m_distress; }
    EditorModule& editor() { return *m_editor; }
    ListsModule& lists() { return *m_lists; }
    FormsModule& forms() { return *m_forms; }
    EgcModule& egc() { return *m_egc; }
    RemoteConfigService& remoteConfig() { return *m_remoteConfig; }
    ReportingModule& reporting() { return *m_reporting; }
    PrintingModule& printing() { return *m_printing; }
    ReceiveHook& receiveHook() { return *m_receiveHook; }
    // The received-traffic hook's command: --run-on-receive, else the setting "RunOnReceive" of section
    // "Settings"; empty when none is set.
    QString receiveHookCommand();

private:
    RuntimeOptions m_options;
    const IClock& m_clock;
    CConfiguration m_config;
    CSession m_session;
    IMainForm* m_form = nullptr;
    std::unique_ptr<CTerminal> m_terminal;
    std::unique_ptr<CInfo> m_info;
    std::unique_ptr<ModuleContext> m_context;
    std::unique_ptr<StatusModule> m_status;
    std::unique_ptr<MessagingModule> m_messaging;
    std::unique_ptr<DistressModule> m_distress;
    std::unique_ptr<EditorModule> m_editor;
    std::unique_ptr<ListsModule> m_lists;
    std::unique_ptr<MessagingLogMailer> m_logMailer;
    std::unique_ptr<RemoteConfigService> m_remoteConfig;
    std::unique_ptr<FormsModule> m_forms;
    std::unique_ptr<EgcModule> m_egc;
    std::unique_ptr<ReportingModule> m_reporting;
    std::unique_ptr<PrintingModule> m_printing;
    std::unique_ptr<ReceiveHook> m_receiveHook;
};

// Outbox lines still waiting for the transceiver or the LES ("Initiated", "Sending").
// Takes over the predecessor's settings and data on a first start (before the configuration is read).
MigrationOutcome MigrateFromPredecessor(const RuntimeOptions& options, CConfiguration& config, const IClock& clock);

int UnsentMessageCount(const cOutBox& outbox);
// Whether the transceiver has a display device of its own besides this program (setting "DisplayDevice" of
// section "Settings", "1"); without one, closing the program leaves alerts and alarms unseen.
bool OtherDisplayDeviceUsed(CConfiguration& config);
// "Do you want to exit Tessaro ?", or the unsent-messages question when some are waiting; led by the
// warning about running without a display device unless the transceiver has one of its own.
QString ExitQuestionText(int unsentMessages, bool otherDisplayDevice);

} // namespace tessaro
