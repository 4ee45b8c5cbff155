#pragma once

#include "messaging/messaging_module.h"
#include "reporting/forms_module.h"
#include "status/status_module.h"

namespace tessaro {

class CSession;
class CTerminal;
class cOutBox;

// The subsystems every front end runs, built together so the GUI and the headless program attach the same
// set in the same order. Later subsystems join here.
struct CoreModules final {
    // formsPort: the forms server's port for this run (-1: the "LocalPort" setting).
    explicit CoreModules(CSession& session, int formsPort = -1)
        : status(session), messaging(session), forms(session, messaging, formsPort)
    {
    }

    StatusModule status;
    MessagingModule messaging;
    FormsModule forms;
};

// Attaches the modules (before CTerminal::start) and installs what they add to the terminal as a whole:
// the exit question with the count of unsent messages. A front end may replace terminal.exitQuestion
// afterwards with its own wording.
void AttachCoreModules(CTerminal& terminal, CoreModules& modules);

// Outbox lines still waiting for the transceiver or the LES ("Initiated", "Sending").
int UnsentMessageCount(const cOutBox& outbox);
// "Do you want to exit Tessaro ?", or the unsent-messages question when some are waiting.
QString ExitQuestionText(int unsentMessages);

} // namespace tessaro
