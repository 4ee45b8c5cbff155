#pragma once

#include "link/command_engine.h"
#include "link/operator_notifier.h"
#include "link/reply_router.h"
#include "link/route_keys.h"
#include "link/terminal.h"
#include "status/info_lines.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace tessaro {

class CConfiguration;
class CSession;
class IClock;
class ModuleContext;
class cErrorLog;
class cInfoLog;

// A subsystem as the terminal runs it. attach() registers everything the subsystem offers through the
// context (reply routes, INFO and ERROR codes, poll steps, jobs) and nothing else; what it tells the rest
// of the program it emits as Qt signals.
class ITerminalModule {
public:
    virtual ~ITerminalModule() = default;
    virtual Subsystem subsystem() const = 0;
    virtual void attach(ModuleContext& context) = 0;
    // False only while a subsystem is built in part: its routes are then not required at start-up.
    virtual bool providesAllRoutes() const { return true; }
};

// What a subsystem receives when it attaches: the registration points, one command sink and one operator
// notifier. Registration mistakes (a route or code taken twice, a route of an attached subsystem left
// unfilled) are collected and make start-up fail with a clear message.
class ModuleContext final {
public:
    ModuleContext(CTerminal& terminal, CSession& session, CInfo& info);

    // Attaches a module; a subsystem attached twice is a registration error.
    void attach(ITerminalModule& module);
    // The mistakes found so far, including the unfilled routes of the attached subsystems.
    QStringList errors() const;
    const std::set<Subsystem>& attached() const { return m_attached; }
    // The attached subsystems whose every route must be filled.
    const std::set<Subsystem>& complete() const { return m_complete; }

    // Reply routes: a row at its key's place in the routing table.
    void addRoute(RouteKey key, MatchKind kind, const QString& command, ReplyHandler handler,
                  RowOption option = RowOption::None);
    void addCustomRoute(RouteKey key, const QString& label, ReplyPredicate predicate, ReplyHandler handler);
    // INFO and ERROR codes: one owner per code.
    void onInfo(int code, InfoHandler handler);
    void onError(int code, InfoHandler handler);
    // A step of the poll burst at its place.
    void addPollStep(PollOrder order, std::function<void()> step);
    // Jobs.
    void addTimerJob(TerminalTimer timer, std::function<void()> job);
    void addLinkUpJob(std::function<void()> job);
    void addLinkLostJob(std::function<void()> job);
    void addStartUpJob(std::function<void()> job);
    void addShutDownJob(std::function<void()> job);
    // A subsystem's provider of in-memory upload texts (nothing for file names not its own); a second one from
    // the same subsystem is a registration error.
    void setUploadTextProvider(CommandEngine::UploadTextProvider provider);

    // The command sink: QueueCommand with all its rules, and what the queue holds.
    bool QueueCommand(const QString& command, bool allowDuplicate = false, bool atFront = false);
    void QueuePollCycle();
    bool isQueued(const QString& text) const; // case-blind containment
    int removeQueued(const std::function<bool(QStringView line)>& drop);
    QString queuedText() const;
    // The shell's line end as learned from "st -l" (empty until then), and the prompt last seen.
    QString lineEnd() const;
    QString promptText() const;
    // Folder of the files uploaded by "tr " when no in-memory text answers.
    void setUploadFolder(const QString& folder);

    OperatorNotifier& notifier();
    void startTimer(TerminalTimer timer);
    void stopTimer(TerminalTimer timer);

    CConfiguration& config();
    CSession& session() { return m_session; }
    const IClock& clock() const;
    cErrorLog& errorLog();
    cInfoLog& infoLog();
    DebugLog& debugLog();
    CInfo& info() { return m_info; }
    const ReplyRouter& router() const;
    // The engine's signals (commands queued, replies); nothing of it can be changed through this.
    const CommandEngine& engine() const;

private:
    Subsystem owner() const;

    CTerminal& m_terminal;
    CSession& m_session;
    CInfo& m_info;
    std::set<Subsystem> m_attached;
    std::set<Subsystem> m_complete;
    std::optional<Subsystem> m_current;
    QStringList m_errors;
    std::map<Subsystem, CommandEngine::UploadTextProvider> m_uploadProviders;
    std::vector<Subsystem> m_providerOrder;
};

} // namespace tessaro
