#pragma once

#include "link/imain_form.h"

#include <deque>

namespace tessaro {

// Message boxes raised inside the command cycle wait here and are shown one at a time by MBoxTimer,
// so the cycle never stops for a dialog. An entry stays queued (and blocks an equal one) until closed.
class MessageBoxQueue final {
public:
    explicit MessageBoxQueue(IMainForm& form) : m_form(form) {}

    // Returns false when an equal message is already waiting or showing.
    bool ShowMessageQueued(const QString& text, const QString& title = QStringLiteral("Info"),
                           MessageStyle style = MessageStyle::Information);
    // One MBoxTimer tick: shows the next entry unless a box is open.
    void onMBoxTimer();

    bool boxOpen() const { return m_open; }
    int size() const { return int(m_entries.size()); }

private:
    IMainForm& m_form;
    std::deque<MessageBoxRequest> m_entries;
    bool m_open = false;
    quint64 m_generation = 0; // a repeated closed() of an older box must not remove a newer entry
};

} // namespace tessaro
