#pragma once

#include "config/access_password.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace tessaro {

class CConfiguration;

// The access-password prompt: OK runs the guarded action when the typed text is the stored password, and
// a wrong one is told while the prompt stays open for another try. Cancel runs nothing.
class PasswordPrompt final : public QDialog {
    Q_OBJECT
public:
    PasswordPrompt(CConfiguration& config, AccessPassword which, std::function<void()> action,
                   QWidget* parent = nullptr);

    QLineEdit& field() { return *m_field; }
    void submit();

Q_SIGNALS:
    // A wrong password was typed (after the message box is opened).
    void refused();

private:
    CConfiguration& m_config;
    AccessPassword m_which;
    std::function<void()> m_action;
    QLineEdit* m_field;
};

// "Config Password" / "Transmit Password": old, new and confirmation. OK stores the new password only when
// the old one is right and the two new ones agree, then tells the outcome; the window closes either way.
class ChangePasswordDialog final : public QDialog {
    Q_OBJECT
public:
    ChangePasswordDialog(CConfiguration& config, AccessPassword which, QWidget* parent = nullptr);
    QLineEdit& oldField() { return *m_old; }
    QLineEdit& newField() { return *m_new; }
    QLineEdit& confirmField() { return *m_confirm; }
    // Stores or refuses; returns the outcome text that is shown.
    QString submit();

private:
    CConfiguration& m_config;
    AccessPassword m_which;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
};

// Runs action at once when no transmit password is set; otherwise after the transmit-password prompt.
PasswordPrompt* GuardTransmitAction(CConfiguration& config, QWidget* parent, std::function<void()> action);

// Runs action at once when no configuration password is set; otherwise opens the prompt (modeless) and
// runs it once the password is accepted. Returns the prompt, or null when the action ran at once.
PasswordPrompt* GuardConfigAction(CConfiguration& config, QWidget* parent, std::function<void()> action);

} // namespace tessaro
