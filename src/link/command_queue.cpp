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
    if (m_session.ProcessingEgcs() && containsAny(command, {QLatin1StringView("ty EGC."), QLatin1StringView("st -e"),
                                                            QLatin1StringView("delete EGC.")}))
        return true;
    return m_session.ProcessingMsgs() && containsAny(command, {QLatin1StringView("ty IN."), QLatin1StringView("st -r"),
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

int CommandQueue::removeLines(const std::function<bool(QStringView line)>& drop) {
    QString kept;
    kept.reserve(m_text.size());
    int removed = 0;
    qsizetype from = 0;
    while (from < m_text.size()) {
        const qsizetype lf = m_text.indexOf(QLatin1Char('\n'), from);
        const qsizetype end = lf < 0 ? m_text.size() : lf + 1;
        const QStringView line = QStringView(m_text).mid(from, end - from);
        QStringView bare = line;
        while (bare.endsWith(QLatin1Char('\n')) || bare.endsWith(QLatin1Char('\r')))
            bare.chop(1);
        if (lf >= 0 && drop(bare))
            ++removed;
        else
            kept += line;
        from = end;
    }
    m_text = kept;
    return removed;
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
