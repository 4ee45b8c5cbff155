#pragma once

#include "link/session_flags.h"

#include <QString>
#include <QStringView>

#include <functional>

namespace tessaro {

// The text queue of command lines, each ending in CR LF, in sending order. Everything runs on one
// thread and nothing here yields to the event loop, so no lock is needed around edits.
class CommandQueue final {
public:
    explicit CommandQueue(const SessionFlags& session) : m_session(session) {}

    // Admission (closing down lets only the running downloads' commands through), duplicates,
    // front insertion with an empty line before the command. Several lines joined by CR LF are
    // sent one per engine cycle. Returns true when queued.
    bool QueueCommand(const QString& command, bool allowDuplicate, bool atFront);

    // Removes and returns the first line with its CR LF; empty when the queue holds no whole line.
    QString takeLine();
    // Puts a line taken by takeLine() back in front, unchanged.
    void putBack(const QString& line) { m_text.prepend(line); }

    const QString& text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    bool contains(const QString& text, Qt::CaseSensitivity cs) const { return m_text.contains(text, cs); }
    void clear() { m_text.clear(); }
    // Removes every whole line for which drop(line without CR LF) is true; returns how many went.
    int removeLines(const std::function<bool(QStringView line)>& drop);

    bool ClosingDown = false;

private:
    bool admitted(const QString& command) const;

    const SessionFlags& m_session;
    QString m_text;
};

} // namespace tessaro
