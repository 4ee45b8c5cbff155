#include "app/headless_send.h"

#include "config/access_password.h"
#include "config/clock.h"
#include "config/text_util.h"
#include "link/terminal.h"
#include "messaging/messaging_module.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"
#include "status/session.h"

#include <QFile>

namespace tessaro {

QString SendTransmitPasswordRefusal(CConfiguration& config, const QString& given, bool givenSet) {
    if (StoredAccessPassword(config, AccessPassword::Transmit).isEmpty())
        return {};
    if (!givenSet)
        return QStringLiteral("a transmit password is set; give it in the environment variable %1 to send.")
            .arg(QLatin1String(kTransmitPasswordVariable));
    if (!AccessPasswordAccepts(config, AccessPassword::Transmit, given))
        return QStringLiteral("Invalid Transmit Password! Nothing was sent.");
    return {};
}

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
                               Print print, const IClock& clock, QObject* parent)
    : QObject(parent), m_terminal(terminal), m_session(session), m_messaging(messaging), m_request(std::move(request)),
      m_print(std::move(print)), m_clock(clock), m_startedMs(clock.monotonicMs()) {
    terminal.addTimerJob(TerminalTimer::Gui, [this] { check(); });
    connect(&terminal.engine(), &CommandEngine::replyCompleted, this, [this](const QString& reply) {
        // Its row has run before this signal: the session holds what the reply said.
        if (m_state == State::WaitingForLogin &&
            (reply.startsWith(QLatin1String("st -s")) || reply.startsWith(QLatin1String("st -w")))) {
            m_statusSinceLink = true;
            check();
        }
    });
    connect(&messaging, &MessagingModule::outboxChanged, this, &HeadlessSender::followOutbox);
    m_print(QStringLiteral("Send: waiting for the link to the transceiver"));
}

bool HeadlessSender::linkUp() const {
    return !m_terminal.engine().LineEnd().isEmpty() && m_session.MesConnected();
}

bool HeadlessSender::readyToSend() const {
    const int ocean = m_session.CurrentOcean();
    return m_statusSinceLink && m_session.LoggedIn() && ocean >= 0 && ocean <= 3;
}

void HeadlessSender::enter(State state) {
    m_state = state;
    if (state == State::WaitingForLink) {
        m_statusSinceLink = false;
        m_print(QStringLiteral("Send: the link is down; waiting for it to come back"));
    } else if (state == State::WaitingForLogin) {
        m_statusSinceLink = false;
        m_print(QStringLiteral("Send: waiting until the transceiver is logged in to an ocean region"));
        // The ocean region decides the LES: ask now rather than at the next poll.
        m_terminal.QueueCommand(QStringLiteral("st -s"));
    }
}

void HeadlessSender::check() {
    if (m_state == State::Sent || m_state == State::GaveUp)
        return;
    if (m_state == State::WaitingForLogin && !linkUp())
        enter(State::WaitingForLink);
    if (m_state == State::WaitingForLink && linkUp())
        enter(State::WaitingForLogin);
    if (m_state == State::WaitingForLogin && readyToSend()) {
        sendNow();
        return;
    }
    if (m_clock.monotonicMs() - m_startedMs < m_timeOutMs)
        return;
    const QString waitingFor = m_state == State::WaitingForLink
                                   ? QStringLiteral("the link to the transceiver did not come up")
                                   : QStringLiteral("the transceiver did not log in to an ocean region");
    const QString reason = QStringLiteral("Send: gave up after %1 s: %2. The message was not sent.")
                               .arg(m_timeOutMs / 1000)
                               .arg(waitingFor);
    m_state = State::GaveUp;
    m_print(reason);
    Q_EMIT gaveUp(reason);
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
