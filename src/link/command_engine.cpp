#include "link/command_engine.h"

#include "config/logs.h"
#include "config/text_util.h"
#include "link/shell_protocol.h"

#include <QFile>

#include <algorithm>

namespace tessaro {

CommandEngine::CommandEngine(SessionFlags& session, const IClock& clock, IMainForm& form, QObject* parent)
    : QObject(parent), m_session(session), m_clock(clock), m_form(form), m_queue(session) {
    m_uploadTimer.setSingleShot(true);
    connect(&m_uploadTimer, &QTimer::timeout, this, [this] {
        if (m_state == Uploading && !m_inStep)
            onTimer1();
    });
    m_dataTimer.setSingleShot(true);
    connect(&m_dataTimer, &QTimer::timeout, this, [this] {
        if (m_state == Receiving && !m_inStep)
            onTimer1();
    });
}

void CommandEngine::setLinkProvider(LinkProvider provider) {
    m_linkProvider = std::move(provider);
}

void CommandEngine::watchLink(ILink* link) {
    connect(link, &ILink::dataArrived, this, [this, link] {
        // Output nobody asked for is collected like a reply, so it never prefixes the next command's echo.
        if (m_state == Idle && !m_inStep && m_linkProvider && m_linkProvider() == link) {
            m_receiveBuffer.clear();
            m_lastReceiveMs = now();
            m_unsolicited = true;
            m_bareShellHandled = false;
            m_keepReceivingUsed = false;
            m_state = Receiving;
        }
        // Data are read as they arrive, from the event loop right after this signal rather than inside it: a
        // reply ending in the main prompt is then finished and the next command written without waiting for
        // the tick. The pause after "tr " still holds the echo unread.
        if (m_state == Receiving && !m_uploadPending && m_linkProvider && m_linkProvider() == link)
            m_dataTimer.start(0);
    });
    // The serial port reports a failed read on its own, outside any step: logged like a failed write,
    // then the line events are looked at.
    connect(link, &ILink::eventOccurred, this, [this, link](LinkEvent event) {
        if (event != LinkEvent::Overrun || link->kind() != LinkKind::Serial || !m_linkProvider ||
            m_linkProvider() != link)
            return;
        logLinkError(link);
        Q_EMIT serialCheckDue();
    });
}

bool CommandEngine::QueueCommand(const QString& command, bool allowDuplicate, bool atFront) {
    if (!m_queue.QueueCommand(command, allowDuplicate, atFront))
        return false;
    Q_EMIT commandQueued(command);
    return true;
}

void CommandEngine::QueuePollCycle() {
    for (const auto& [order, step] : m_pollSteps)
        step();
}

void CommandEngine::addPollStep(PollOrder order, std::function<void()> step) {
    const auto at = std::upper_bound(m_pollSteps.begin(), m_pollSteps.end(), order,
                                     [](PollOrder o, const auto& entry) { return int(o) < int(entry.first); });
    m_pollSteps.insert(at, {order, std::move(step)});
}

void CommandEngine::setEngineState(int state) {
    if (m_state == Uploading && state != Uploading && m_upload.active) {
        m_upload.active = false;
        m_uploadTimer.stop();
        m_form.uploadFinished();
    }
    if (state != Uploading)
        m_operatorUpload = false;
    m_state = state;
    if (state == Idle) {
        m_unsolicited = false;
        m_uploadDone = false;
    }
}

void CommandEngine::onTimer1() {
    if (m_inStep)
        return;
    m_inStep = true;
    // The steps chain within one tick: a completed reply is routed at once, and the command its handlers or
    // the queue hold next is written in the same tick. A step that leaves the state as it was waits for the
    // next tick, and so does a written command (its answer cannot be here yet). The bound only guards
    // against a cycle; a command takes at most read, complete, route/write.
    for (int steps = 0; steps < 8; ++steps) {
        const int before = m_state;
        switch (m_state) {
        case Idle:
            idleStep();
            break;
        case Receiving:
            receiveStep();
            break;
        case ReplyComplete:
            replyCompleteStep();
            break;
        case Uploading:
            uploadStep();
            break;
        default:
            m_state = Idle;
            break;
        }
        if (m_state == before || before == Idle || m_state == Receiving)
            break;
    }
    m_inStep = false;
}

void CommandEngine::setActivity(Activity activity) {
    if (m_activity == activity)
        return;
    m_activity = activity;
    m_form.setActivity(activity);
}

bool CommandEngine::writeToLink(const QByteArray& bytes) {
    ILink* link = m_linkProvider ? m_linkProvider() : nullptr;
    if (link && link->write(bytes))
        return true;
    logLinkError(link);
    Q_EMIT serialCheckDue();
    return false;
}

void CommandEngine::logLinkError(const ILink* link) {
    if (m_errorLog)
        m_errorLog->AddError(link ? link->errorNumber() : 0,
                             link ? link->errorString() : QStringLiteral("No transport is open."));
}

void CommandEngine::idleStep() {
    setActivity(Activity::Idle);
    m_receiveBuffer.clear();
    m_lastReceiveMs = now();
    m_unsolicited = false;
    if (m_queue.isEmpty()) {
        if (m_terminalOpen)
            Q_EMIT terminalIdle();
        return;
    }
    // Lines wait in the queue while no transport is usable instead of being written into nothing.
    if (!m_linkProvider || !m_linkProvider())
        return;
    QString line = m_queue.takeLine();
    if (line.isEmpty())
        return;
    if (line.startsWith(QLatin1String("tr "))) {
        line.chop(1); // an upload command ends in CR only
        m_uploadPending = true;
        m_pauseUntilMs = -1;
    }
    m_bareShellHandled = false;
    m_keepReceivingUsed = false;
    m_uploadBodySent = false;
    m_state = Receiving;
    m_lineInFlight = line.trimmed();
    m_terminalAwaitsInput = false;
    Q_EMIT writingLine(line);
    writeToLink(line.toLatin1());
    Q_EMIT lineWritten(line);
}

void CommandEngine::receiveStep() {
    const qint64 t = now();
    if (m_uploadPending) {
        // The shell needs a moment after "tr " before its echo is worth reading.
        if (m_pauseUntilMs < 0)
            m_pauseUntilMs = t + 500;
        if (t < m_pauseUntilMs)
            return;
        m_uploadPending = false;
        m_pauseUntilMs = -1;
    }

    ILink* link = m_linkProvider ? m_linkProvider() : nullptr;
    const QByteArray chunk = link ? link->readAll() : QByteArray();
    if (!chunk.isEmpty()) {
        m_receiveBuffer += QString::fromLatin1(chunk);
        m_lastReceiveMs = t;
        setActivity(Activity::Receiving);
        if (m_commLogOn)
            AppendToLog(m_dataPath, QString::fromLatin1(chunk), QStringLiteral("CommLog.txt"), false);
        // The main prompt ends a reply for certain: no quiet tick is needed to be sure. The weaker ends
        // ("> ", the password prompts, the echo of "tr ") still wait for a tick without new data.
        if (!EndsWithMainPrompt(m_receiveBuffer))
            return;
    }

    if (m_receiveBuffer.size() >= 2) {
        ReplyEndTest r = TestReplyEnd(m_receiveBuffer, m_lineEnd);
        // A weaker end counts once the line has been quiet for a tick; data read between ticks do not make
        // the next tick a quiet one.
        if (r.complete && !EndsWithMainPrompt(m_receiveBuffer) && t - m_lastReceiveMs < kQuietMs)
            r.complete = false;
        if (r.promptSeen) {
            m_promptText = r.prompt;
            m_session.SetPromptSeen(true);
        }
        if (r.bareShell && !m_bareShellHandled) {
            // Once per reply: the test repeats every tick until the time-out ends the wait.
            m_bareShellHandled = true;
            QueueCommand(QStringLiteral("minic -f"), true);
        }
        if (r.complete && notTheReplyInFlight()) {
            // Routed on its own (the restart handlers run); the command's own reply is still to come, and
            // its time-out counts from now.
            const QString banner = m_receiveBuffer;
            m_receiveBuffer.clear();
            m_lastReceiveMs = t;
            m_router.route(banner, m_lineEnd, m_promptText, false);
            Q_EMIT replyCompleted(banner);
            return;
        }
        if (r.complete) {
            m_state = ReplyComplete;
            m_session.SetMesConnected(true);
            return;
        }
    }

    if (t - m_lastReceiveMs >= qint64(m_commandTimeOut) * 1000) {
        // Unsolicited output proves the transceiver is there: only a silent one counts as lost.
        if (!m_terminalOpen && !m_unsolicited)
            Q_EMIT silentTimeOut();
        Q_EMIT replyTimedOut(m_receiveBuffer);
        m_state = ReplyComplete;
    }
}

bool CommandEngine::notTheReplyInFlight() const {
    if (m_unsolicited || m_terminalOpen || m_uploadDone || m_lineInFlight.isEmpty() ||
        m_receiveBuffer.contains(m_lineInFlight))
        return false;
    if (m_receiveBuffer.contains(shell::kRestartBanner))
        return true;
    // Taken as the reply of a "tr", such text would let the next command be typed into the upload body while
    // the shell still waits for it. A refusal ("tr" alone, the bare shell) starts with "tr" and stays the reply.
    return !m_uploadBodySent && m_lineInFlight.startsWith(QLatin1String("tr ")) &&
           EndsWithMainPrompt(m_receiveBuffer) && !m_receiveBuffer.trimmed().startsWith(QLatin1String("tr"));
}

void CommandEngine::replyCompleteStep() {
    const QString reply = m_receiveBuffer;
    if (m_terminalOpen) {
        m_terminalAwaitsInput = !EndsWithMainPrompt(reply) && !reply.endsWith(shell::kBareShellPrompt);
        Q_EMIT terminalReply(NormaliseLineEnds(WithoutEchoLine(reply)));
    }

    if (const std::optional<QString> learned = LearnLineEnd(reply)) {
        if (*learned != m_lineEnd) {
            m_lineEnd = *learned;
            Q_EMIT lineEndLearned(m_lineEnd);
        }
        Q_EMIT infoErrorReply(reply);
        Q_EMIT serialCheckDue();
    }

    setActivity(Activity::Processing);
    // The operator's own upload ends in this state with the echo still at the front of the reply.
    m_state = (reply.startsWith(QLatin1String("tr ")) && !m_uploadDone) ? Uploading : Idle;
    if (m_state == Uploading && !m_terminalOpen) {
        // A body typed into the bare shell would run line by line as shell commands on the transceiver.
        const UploadRefusal refusal = UploadRefusalIn(reply);
        if (refusal != UploadRefusal::None) {
            m_state = Idle;
            m_uploadDone = false;
            m_unsolicited = false;
            if (refusal == UploadRefusal::ShellGone)
                QueueCommand(QStringLiteral("minic -f"));
            Q_EMIT uploadRefused(uploadFileName(reply), refusal == UploadRefusal::ShellGone, reply);
            Q_EMIT replyCompleted(reply);
            return;
        }
    }
    m_operatorUpload = m_state == Uploading && m_terminalOpen;
    m_uploadDone = false;
    m_unsolicited = false;
    if (!m_terminalOpen) {
        const RouteOutcome outcome = m_router.route(reply, m_lineEnd, m_promptText, !m_keepReceivingUsed);
        if (outcome.keepReceiving) {
            m_keepReceivingUsed = true;
            m_lastReceiveMs = now();
            m_state = Receiving;
            return;
        }
    }
    Q_EMIT replyCompleted(reply);
}

QString CommandEngine::uploadFileName(const QString& reply) {
    // "tr NAME -b SIZE": the file name is the second word of the echoed line.
    const QString firstLine = reply.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
    return firstLine.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(1);
}

void CommandEngine::startUpload() {
    const QString fileName = uploadFileName(m_receiveBuffer);
    std::optional<QByteArray> text = m_uploadText ? m_uploadText(fileName) : std::nullopt;
    if (!text) {
        QFile file(m_uploadFolder + fileName);
        if (!fileName.isEmpty() && file.open(QIODevice::ReadOnly)) {
            text = file.readAll();
        } else {
            text = QByteArray();
            if (m_errorLog)
                m_errorLog->AddLine(ErrorMessage(QStringLiteral("CommandEngine.Upload"), 53,
                                                 QStringLiteral("File not found: ") + m_uploadFolder + fileName));
        }
    }
    m_upload.active = true;
    m_upload.text = *text;
    m_upload.round = 0;
    m_upload.lastRound = UploadLastRound(m_upload.text.size());
    setActivity(Activity::MessageToMobile);
    m_form.uploadStarted(m_upload.lastRound * 100);
    m_pauseUntilMs = now() + 100;
    m_uploadTimer.start(100);
}

void CommandEngine::finishUpload() {
    m_upload.active = false;
    m_upload.text.clear();
    m_uploadTimer.stop();
    m_form.uploadFinished();
    m_uploadBodySent = true;
    m_receiveBuffer.clear();
    m_lastReceiveMs = now();
    m_state = Receiving;
}

void CommandEngine::uploadStep() {
    if (m_operatorUpload) {
        // The operator's own upload: his typed characters go out through writeRaw until the prompt returns.
        ILink* link = m_linkProvider ? m_linkProvider() : nullptr;
        const QByteArray chunk = link ? link->readAll() : QByteArray();
        if (!chunk.isEmpty()) {
            m_receiveBuffer += QString::fromLatin1(chunk);
            if (m_commLogOn)
                AppendToLog(m_dataPath, QString::fromLatin1(chunk), QStringLiteral("CommLog.txt"), false);
        }
        // A closed window ends it too: nobody is left to type, and no file of ours belongs to this echo.
        if ((!m_promptText.isEmpty() && m_receiveBuffer.endsWith(m_promptText)) || !m_terminalOpen) {
            m_operatorUpload = false;
            m_uploadDone = true;
            m_state = ReplyComplete;
        }
        return;
    }
    if (!m_upload.active) {
        startUpload();
        return;
    }
    if (now() < m_pauseUntilMs)
        return;
    // One piece per step; the event loop runs between pieces as it would between rounds.
    if (m_upload.round > 0) {
        if (!m_session.MesConnected()) {
            finishUpload();
            return;
        }
        m_form.uploadProgress(m_upload.round * 100);
    }
    const QByteArray piece = m_upload.text.mid(qsizetype(m_upload.round) * 100, 100);
    if (!piece.isEmpty())
        writeToLink(piece);
    ++m_upload.round;
    if (m_upload.round > m_upload.lastRound) {
        finishUpload();
        return;
    }
    m_uploadTimer.start(0);
}

void CommandEngine::writeRaw(const QByteArray& bytes) {
    writeToLink(bytes);
}

void CommandEngine::touchReceiveTime() {
    m_lastReceiveMs = now();
}

void CommandEngine::setCommLog(const QString& dataPath, bool on) {
    m_dataPath = dataPath;
    m_commLogOn = on;
}

} // namespace tessaro
