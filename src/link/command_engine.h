#pragma once

#include "config/clock.h"
#include "link/command_queue.h"
#include "link/imain_form.h"
#include "link/link.h"
#include "link/reply_router.h"
#include "link/session_flags.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>

namespace tessaro {

class cErrorLog;

// Which optional commands the poll burst carries; the identity subsystem knows the transceiver.
struct PollCapabilities {
    bool askTestMode = true;       // "se -q"
    bool askReportSettings = true; // "se -r 1"
};
// The rules from the session's identity values alone.
PollCapabilities DefaultPollCapabilities(const SessionFlags& session);

// The command engine: one command in flight, a four-state machine stepped by Timer1 (onTimer1), reply
// completion, line-end learning, routing by echo and the file upload after "tr ".
class CommandEngine final : public QObject {
    Q_OBJECT
public:
    enum State : int { Idle = 0, Receiving = 1, ReplyComplete = 2, Uploading = 3 };

    CommandEngine(SessionFlags& session, const IClock& clock, IMainForm& form, QObject* parent = nullptr);

    // The link to write to and read from right now, or null while no transport is usable.
    using LinkProvider = std::function<ILink*()>;
    void setLinkProvider(LinkProvider provider);
    // Data arriving on a link while the engine is idle start a receive (unsolicited output).
    void watchLink(ILink* link);

    bool QueueCommand(const QString& command, bool allowDuplicate = false, bool atFront = false);
    void QueuePollCycle();
    CommandQueue& queue() { return m_queue; }

    // One Timer1 step.
    void onTimer1();

    int EngineState() const { return m_state; }
    void setEngineState(int state);
    const QString& ReceiveBuffer() const { return m_receiveBuffer; }
    const QString& LineEnd() const { return m_lineEnd; }
    int LineEndLength() const { return int(m_lineEnd.size()); }
    const QString& PromptText() const { return m_promptText; }
    int CommandTimeOut() const { return m_commandTimeOut; }
    void setCommandTimeOut(qint64 seconds) { m_commandTimeOut = int(std::clamp<qint64>(seconds, 4, 32767)); }
    bool ClosingDown() const { return m_queue.ClosingDown; }
    void setClosingDown(bool on) { m_queue.ClosingDown = on; }

    // While the terminal window is open replies are shown there instead of routed, and a time-out does
    // not reset the link.
    void setTerminalWindowOpen(bool open) { m_terminalOpen = open; }
    bool terminalWindowOpen() const { return m_terminalOpen; }
    // Characters the operator types during an upload of his own (terminal window).
    void writeRaw(const QByteArray& bytes);
    // A key typed in the terminal window: a reply being typed against does not time out.
    void touchReceiveTime();

    void setCommLog(const QString& dataPath, bool on);
    bool commLogOn() const { return m_commLogOn; }
    void setErrorLog(cErrorLog* log) { m_errorLog = log; }
    // Folder of the files uploaded by "tr " when no prepared text is registered.
    void setUploadFolder(const QString& folder) { m_uploadFolder = folder; }

    ReplyRouter& router() { return m_router; }

    // Registration points for later subsystems.
    std::function<void(const QString& reply)> infoErrorLines; // INFO and ERROR lines of the "st -l" replies
    std::function<void()> serialEventCheck;
    std::function<void()> linkLost;                            // the reset after a reply time-out
    std::function<void(const QString& text)> terminalReply;    // reply without echo, line ends normalised
    std::function<void()> terminalIdle;                        // queue empty with the terminal window open
    std::function<void(const QString& command)> commandQueued; // after every admitted QueueCommand
    std::function<PollCapabilities()> pollCapabilities;
    // The text prepared in memory for an upload of this file name; nothing means read the file.
    std::function<std::optional<QByteArray>(const QString& fileName)> uploadText;

Q_SIGNALS:
    void lineWritten(const QString& line);
    void replyCompleted(const QString& reply);
    void lineEndLearned(const QString& lineEnd);
    void replyTimedOut(const QString& reply);

private:
    void idleStep();
    void receiveStep();
    void replyCompleteStep();
    void uploadStep();
    void startUpload();
    void finishUpload();
    bool writeToLink(const QByteArray& bytes);
    void logLinkError(const ILink* link);
    void setActivity(const QString& text);
    qint64 now() const { return m_clock.monotonicMs(); }

    SessionFlags& m_session;
    const IClock& m_clock;
    IMainForm& m_form;
    CommandQueue m_queue;
    ReplyRouter m_router;
    LinkProvider m_linkProvider;
    cErrorLog* m_errorLog = nullptr;

    int m_state = Idle;
    bool m_inStep = false;
    QString m_receiveBuffer;
    QString m_lineEnd;
    QString m_promptText;
    qint64 m_lastReceiveMs = 0;
    int m_commandTimeOut = 4;
    bool m_uploadPending = false;
    qint64 m_pauseUntilMs = -1;
    bool m_unsolicited = false;      // the receive began with output nobody asked for
    bool m_bareShellHandled = false; // "minic -f" already queued for this reply
    bool m_keepReceivingUsed = false;
    bool m_operatorUpload = false; // the upload is typed by the operator in the terminal window
    bool m_uploadDone = false;     // the completed reply follows an upload: no second upload for its echo
    bool m_terminalOpen = false;
    bool m_commLogOn = false;
    QString m_dataPath;
    QString m_uploadFolder;
    QString m_activity;

    struct Upload {
        bool active = false;
        QByteArray text;
        int round = 0;
        int lastRound = 0;
    } m_upload;
    QTimer m_uploadTimer; // continues an upload between Timer1 ticks
};

} // namespace tessaro
