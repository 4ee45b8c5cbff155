#pragma once

#include <QString>
#include <QVector>

#include "link/operator_notifier.h"
#include "link/route_keys.h"

#include <QStringList>

#include <functional>
#include <map>
#include <utility>

namespace tessaro {

class DebugLog;
class cInfoLog;

// One INFO or ERROR line cut from a reply: its code text and the text after ": " (possibly several lines).
struct InfoLine {
    QString code;
    QString text;
    bool terminated = true; // false: the rest of the block had no end; recorded as code 000
};

// Cuts a block into the lines that start with CR LF + keyword ("INFO " or "ERROR "). Each ends at the next
// INFO or ERROR line or at the prompt. Line ends of any shell form are accepted.
QVector<InfoLine> CutInfoLines(const QString& block, const QString& keyword, const QString& prompt);

// One INFO or ERROR line as its handler gets it.
struct InfoEvent {
    int code = 0;
    QString text;              // the text after "INFO nnn: "
    bool noticeRaised = false; // the line's own notice box was raised
};
using InfoHandler = std::function<void(const InfoEvent& event)>;

enum class LineKind { Info, Error };

// The unsolicited INFO and ERROR lines of the "st -l" replies: recorded in the information log and the
// debug log, shown where the code table says the operator must know, and handed to the handler that the
// owning subsystem registered for the code (delivery reports to messaging, test mode to distress, ...).
class CInfo final {
public:
    CInfo(cInfoLog& infoLog, OperatorNotifier& notifier, DebugLog* debugLog = nullptr);

    // Registers the one handler of a code. False, with the reason in *error, when the code has one already.
    bool addHandler(LineKind kind, int code, Subsystem owner, InfoHandler handler, QString* error = nullptr);
    bool hasHandler(LineKind kind, int code) const;
    // "INFO 80 messaging", one line per registered code in code order.
    QStringList describe() const;

    void CheckInfos(const QString& block, const QString& prompt);
    void CheckErrors(const QString& block, const QString& prompt);

    void setDebugLog(DebugLog* log) { m_debugLog = log; }

private:
    struct Entry {
        Subsystem owner;
        InfoHandler handler;
    };
    void addInfo(const QString& line); // tells the operator once when the log cannot be written
    void record(const QString& kind, const QString& code, const QString& text);
    void notice(const QString& code, const QString& text);
    void dispatch(LineKind kind, int code, const QString& text);

    cInfoLog& m_infoLog;
    OperatorNotifier& m_notifier;
    DebugLog* m_debugLog;
    std::map<std::pair<LineKind, int>, Entry> m_handlers;
    bool m_noticeRaised = false; // for the line being handled
};

} // namespace tessaro
