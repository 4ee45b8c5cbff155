#include "link/command_queue.h"

namespace tessaro {

namespace {
const QLatin1StringView kCrLf("\r\n");

bool containsAny(const QString& command, std::initializer_list<QLatin1StringView> words) {
    for (QLatin1StringView w : words)
        if (command.contains(w, Qt::CaseInsensitive))
            return true;
    return false;
}
} // namespace

bool CommandQueue::admitted(const QString& command) const {
    if (!ClosingDown)
        return true;
    if (m_session.ProcessingEgcs && containsAny(command, {QLatin1StringView("ty EGC."), QLatin1StringView("st -e"),
                                                          QLatin1StringView("delete EGC.")}))
        return true;
    return m_session.ProcessingMsgs && containsAny(command, {QLatin1StringView("ty IN."), QLatin1StringView("st -r"),
                                                             QLatin1StringView("delete IN.")});
}

bool CommandQueue::QueueCommand(const QString& command, bool allowDuplicate, bool atFront) {
    if (!admitted(command))
        return false;
    if (!allowDuplicate && m_text.contains(command))
        return false;
    if (atFront) {
        m_text = kCrLf + command + kCrLf + m_text;
        return true;
    }
    if (command.isEmpty())
        return false;
    m_text += command + kCrLf;
    return true;
}

QString CommandQueue::takeLine() {
    const qsizetype lf = m_text.indexOf(QLatin1Char('\n'));
    if (lf < 0)
        return {};
    QString line = m_text.left(lf + 1);
    m_text.remove(0, lf + 1);
    return line;
}

} // namespace tessaro
