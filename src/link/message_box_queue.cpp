#include "link/message_box_queue.h"

#include <algorithm>

namespace tessaro {

bool MessageBoxQueue::ShowMessageQueued(const QString& text, const QString& title, MessageStyle style) {
    const MessageBoxRequest box{text, title, style};
    if (std::find(m_entries.begin(), m_entries.end(), box) != m_entries.end())
        return false;
    m_entries.push_back(box);
    return true;
}

void MessageBoxQueue::onMBoxTimer() {
    if (m_open || m_entries.empty())
        return;
    m_open = true;
    const quint64 generation = ++m_generation;
    m_form.showMessageBox(m_entries.front(), [this, generation] {
        if (generation != m_generation || !m_open)
            return;
        m_open = false;
        if (!m_entries.empty())
            m_entries.pop_front();
    });
}

} // namespace tessaro
