#include "link/operator_notifier.h"

#include "config/logs.h"
#include "link/terminal.h"

namespace tessaro {

void ReportInfoLogFailure(cInfoLog& log, OperatorNotifier& notifier) {
    const QString error = log.takeErrorToReport();
    if (!error.isEmpty())
        notifier.showMessage(error, QStringLiteral("Error"), MessageStyle::Critical);
}

bool TerminalNotifier::showMessage(const QString& text, const QString& title, MessageStyle style) {
    return m_terminal.messageBoxes().ShowMessageQueued(text, title, style);
}

void TerminalNotifier::information(const QString& text) {
    if (!m_terminal.infoLog().AddInfo(text))
        ReportInfoLogFailure(m_terminal.infoLog(), *this);
    m_terminal.form().addInformation(text);
}

void TerminalNotifier::informationLine(const QString& text) {
    m_terminal.form().addInformation(text);
}

void TerminalNotifier::statusLine(const QString& text, unsigned colour) {
    m_terminal.form().setStatusLine(text, colour);
}

void TerminalNotifier::alert(AlertKind kind, const QString& text) {
    m_terminal.form().showAlert(kind, text);
}

void TerminalNotifier::sound(OperatorSound sound) {
    m_terminal.form().playSound(sound);
}

void TerminalNotifier::openWindow(WindowId window) {
    m_terminal.form().openWindow(window);
}

void TerminalNotifier::waitWindow(const QString& text) {
    m_terminal.setWaitWindow(text);
}

void TerminalNotifier::confirm(const ConfirmRequest& request, std::function<void(bool)> answer) {
    m_terminal.form().confirm(request, std::move(answer));
}

} // namespace tessaro
