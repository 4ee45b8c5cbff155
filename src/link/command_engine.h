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
#include <utility>
#include <vector>

namespace tessaro {

class cErrorLog;

// Places in the poll burst. Each subsystem adds its step at its place; a step decides by its own rules
// (the transceiver's capabilities, a download already running) which commands it queues.
enum class PollOrder : int {
    TestModeQuery = 10,  // "se -q"
    Status = 20,         // "ti -u", "st -v", "st -i", "st -s", "st -w", "ru -g", "ver"
    ReportSettings = 30, // "se -r 1"
    Messages = 40,       // "ls IN.*"
    Egcs = 50,           // "ls EGC.*"
    LesList = 60,        // "st -n"
};

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
    // Runs every poll step in order; steps of the same place run in the order they were added.
    void QueuePollCycle();
    void addPollStep(PollOrder order, std::function<void()> step);
    CommandQueue& queue() { return m_queue; }

    // One Timer1 step: the engine's steps chained while each finishes its state (read, complete, route,
    // write the next command). Arriving data run it too, between ticks.
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
    void setTerminalWindowOpen(bool open) {
        m_terminalOpen = open;
        m_terminalAwaitsInput = false;
    }
    bool terminalWindowOpen() const { return m_terminalOpen; }
    // With the terminal window open: the last reply ended in a prompt that waits for the operator (a password,
    // a file number, a continuation line), not in a shell prompt. A line written now would be taken as his
    // answer.
    bool terminalAwaitsInput() const { return m_terminalAwaitsInput; }
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

    // The text prepared in memory for an upload of this file name; nothing means read the file. One
    // provider answers (the messaging subsystem's pending transfers).
    using UploadTextProvider = std::function<std::optional<QByteArray>(const QString& fileName)>;
    void setUploadTextProvider(UploadTextProvider provider) { m_uploadText = std::move(provider); }
    std::optional<QByteArray> UploadText(const QString& fileName) const {
        return m_uploadText ? m_uploadText(fileName) : std::nullopt;
    }

Q_SIGNALS:
    // A completed "st -l" reply: its INFO and ERROR lines are for the information handler.
    void infoErrorReply(const QString& reply);
    // The serial line's events are due to be looked at (after "st -l" and after I/O errors).
    void serialCheckDue();
    // A command got no answer within the time-out: the link counts as lost.
    void silentTimeOut();
    // With the terminal window open: a reply without its echo, line ends normalised.
    void terminalReply(const QString& text);
    // With the terminal window open: the queue is empty.
    void terminalIdle();
    // After every admitted QueueCommand.
    void commandQueued(const QString& command);
    // An upload command was answered with the bare shell or an ERROR line instead of its echo alone: nothing
    // was uploaded. shellGone: the terminal program had exited ("minic -f" is queued to start it again).
    void uploadRefused(const QString& fileName, bool shellGone, const QString& reply);
    // Emitted just before a line goes to the link: what must be on disk before the transceiver can act on
    // the line is written here.
    void writingLine(const QString& line);
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
    static QString uploadFileName(const QString& reply);
    void finishUpload();
    bool writeToLink(const QByteArray& bytes);
    // The completed buffer is not the reply of the command in flight: the restart banner alone, or text ending in
    // the main prompt without the echo of an upload's "tr" (late greeting text after a reconnect).
    bool notTheReplyInFlight() const;
    void logLinkError(const ILink* link);
    void setActivity(Activity activity);
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
    QString m_lineInFlight;        // the command line written last
    bool m_uploadBodySent = false; // the body of the "tr" in flight has gone out: its echo is behind us
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
    bool m_terminalAwaitsInput = false;
    bool m_commLogOn = false;
    QString m_dataPath;
    QString m_uploadFolder;
    std::optional<Activity> m_activity;
    UploadTextProvider m_uploadText;
    std::vector<std::pair<PollOrder, std::function<void()>>> m_pollSteps;

    struct Upload {
        bool active = false;
        QByteArray text;
        int round = 0;
        int lastRound = 0;
    } m_upload;
    QTimer m_uploadTimer; // continues an upload between Timer1 ticks
    QTimer m_dataTimer;   // reads arriving data between Timer1 ticks
    // How long the line must be quiet before a reply with a weaker end than the main prompt is complete: one
    // Timer1 period, less the jitter of a coarse timer.
    static constexpr qint64 kQuietMs = 50;
};

} // namespace tessaro
