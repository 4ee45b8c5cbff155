#include "app/headless_send.h"

#include "config/text_util.h"
#include "link/terminal.h"
#include "messaging/messaging_module.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"
#include "status/session.h"

#include <QFile>

namespace tessaro {

bool ReadSendText(const QString& path, QString* text, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the --text-file %1: %2").arg(path, file.errorString());
        return false;
    }
    *text = TextFromFile(file.readAll());
    return true;
}

HeadlessSender::HeadlessSender(CTerminal& terminal, CSession& session, MessagingModule& messaging, SendRequest request,
                               Print print, QObject* parent)
    : QObject(parent), m_terminal(terminal), m_session(session), m_messaging(messaging), m_request(std::move(request)),
      m_print(std::move(print)) {
    terminal.addTimerJob(TerminalTimer::Gui, [this] { check(); });
    connect(&terminal.engine(), &CommandEngine::replyCompleted, this, [this](const QString& reply) {
        // The status reply asked for has been parsed (its row runs before this signal): the ocean is known
        // now, or will not be; either way the result code tells.
        if (m_state == State::WaitingForOcean && reply.startsWith(QLatin1String("st -s")))
            sendNow();
    });
    connect(&messaging, &MessagingModule::outboxChanged, this, &HeadlessSender::followOutbox);
}

void HeadlessSender::check() {
    if (m_state != State::WaitingForLink)
        return;
    if (m_terminal.engine().LineEnd().isEmpty() || !m_session.MesConnected())
        return;
    const int ocean = m_session.CurrentOcean();
    if (ocean >= 0 && ocean <= 3) {
        sendNow();
        return;
    }
    m_state = State::WaitingForOcean;
    m_terminal.QueueCommand(QStringLiteral("st -s"));
}

void HeadlessSender::sendNow() {
    if (m_state == State::Sent)
        return;
    m_state = State::Sent;
    const SendOutcome outcome = m_messaging.SendMessageToAddress(m_request.address, m_request.type, m_request.format,
                                                                 m_request.subject, m_request.text);
    m_result = outcome.code;
    m_outFileName = outcome.outFileName;
    QString line = QStringLiteral("Send: result %1 (%2)").arg(outcome.code).arg(SendOutcomeText(outcome));
    if (!outcome.outFileName.isEmpty())
        line += QStringLiteral(", out file ") + outcome.outFileName;
    m_print(line);
    followOutbox();
    Q_EMIT sent(m_result, m_outFileName);
}

void HeadlessSender::followOutbox() {
    if (m_outFileName.isEmpty() || m_result != SendResult::Done)
        return;
    for (const QStringList& p : m_messaging.outbox().ReadIndex()) {
        if (p.size() <= OutPos::Status || p[OutPos::FileName].trimmed() != m_outFileName)
            continue;
        const QString status = p[OutPos::Status].trimmed();
        const QString reference = p[OutPos::Reference].trimmed();
        if (status != m_lastStatus || reference != m_lastReference) {
            m_lastStatus = status;
            m_lastReference = reference;
            m_print(QStringLiteral("Outbox: %1 %2 (reference %3)").arg(m_outFileName, status, reference));
        }
        return;
    }
}

} // namespace tessaro
