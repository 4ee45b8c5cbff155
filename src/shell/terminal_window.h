#pragma once

#include "link/terminal_mode.h"

#include <QDialog>

class QPlainTextEdit;

namespace tessaro {

class CommandEngine;

// The terminal window: the operator types shell commands directly. The dialogue's text and its keys belong
// to TerminalModeSession; this window shows the text with the caret at its end and forwards every key.
// Opening it starts terminal mode; closing it (Esc or the window's close) ends it and routing resumes.
class TerminalModeForm final : public QDialog {
    Q_OBJECT
public:
    explicit TerminalModeForm(CommandEngine& engine, QWidget* parent = nullptr);
    ~TerminalModeForm() override;

    TerminalModeSession& session() { return m_session; }
    QPlainTextEdit& textBox() { return *m_text; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void refresh();

    TerminalModeSession m_session;
    QPlainTextEdit* m_text;
};

// Opens the terminal window (one at a time) and brings it to the front; it deletes itself when closed.
TerminalModeForm* OpenTerminalWindow(CommandEngine& engine, QWidget* parent);

} // namespace tessaro
