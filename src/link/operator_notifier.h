#pragma once

#include "link/imain_form.h"

#include <QString>

#include <functional>

namespace tessaro {

class CTerminal;
class cInfoLog;

// The one way a subsystem reaches the operator: queued message boxes, lines of the information list,
// alerts, sounds, windows and the wait window. Front ends decide how each is shown.
class OperatorNotifier {
public:
    virtual ~OperatorNotifier() = default;

    // A message box through the message-box queue; false when an equal one is already waiting.
    virtual bool showMessage(const QString& text, const QString& title = QStringLiteral("Info"),
                             MessageStyle style = MessageStyle::Information) = 0;
    // A line for the information list and the information log.
    virtual void information(const QString& text) = 0;
    // A line for the information list only (the caller has logged it).
    virtual void informationLine(const QString& text) = 0;
    // The status line with its background (0xRRGGBB).
    virtual void statusLine(const QString& text, unsigned colour) = 0;
    virtual void alert(AlertKind kind, const QString& text) = 0;
    virtual void sound(OperatorSound sound) = 0;
    virtual void openWindow(WindowId window) = 0;
    // The modeless wait window; an empty text closes it.
    virtual void waitWindow(const QString& text) = 0;
    // A yes/no question answered later; answer() is called exactly once.
    virtual void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) = 0;
};

// Tells the operator, once, why the information log could not be written.
void ReportInfoLogFailure(cInfoLog& log, OperatorNotifier& notifier);

// The terminal's notifier: the message-box queue, the information log and the main form.
class TerminalNotifier final : public OperatorNotifier {
public:
    explicit TerminalNotifier(CTerminal& terminal) : m_terminal(terminal) {}

    bool showMessage(const QString& text, const QString& title, MessageStyle style) override;
    void information(const QString& text) override;
    void informationLine(const QString& text) override;
    void statusLine(const QString& text, unsigned colour) override;
    void alert(AlertKind kind, const QString& text) override;
    void sound(OperatorSound sound) override;
    void openWindow(WindowId window) override;
    void waitWindow(const QString& text) override;
    void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) override;

private:
    CTerminal& m_terminal;
};

} // namespace tessaro
