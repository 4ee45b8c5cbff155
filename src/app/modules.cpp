#include "app/modules.h"

#include "config/strings.h"
#include "config/text_util.h"
#include "link/terminal.h"
#include "messaging/outbox.h"

namespace tessaro {

void AttachCoreModules(CTerminal& terminal, CoreModules& modules) {
    terminal.addModule(&modules.status);
    terminal.addModule(&modules.messaging);
    terminal.addModule(&modules.forms);
    MessagingModule* messaging = &modules.messaging;
    terminal.exitQuestion = [messaging] { return ExitQuestionText(UnsentMessageCount(messaging->outbox())); };
}

int UnsentMessageCount(const cOutBox& outbox) {
    int unsent = 0;
    for (const QStringList& p : outbox.ReadIndex()) {
        if (p.size() <= OutPos::Status)
            continue;
        const QString status = p[OutPos::Status].trimmed();
        if (status == QLatin1String("Initiated") || status == QLatin1String("Sending"))
            ++unsent;
    }
    return unsent;
}

QString ExitQuestionText(int unsentMessages) {
    if (unsentMessages <= 0)
        return GetText(5001, QStringLiteral("Do you want to exit Tessaro ?"));
    return FormatText(GetText(5002, QStringLiteral("There are %0 unsent messages in your outbox")),
                      {QString::number(unsentMessages)}) +
           QLatin1Char('\n') + GetText(5003, QStringLiteral("Would you still like to exit ?"));
}

} // namespace tessaro
