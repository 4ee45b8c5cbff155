#include "shell/password_prompt.h"

#include "config/configuration.h"
#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tessaro {

PasswordPrompt::PasswordPrompt(CConfiguration& config, AccessPassword which, std::function<void()> action,
                               QWidget* parent)
    : QDialog(parent), m_config(config), m_which(which), m_action(std::move(action)), m_field(new QLineEdit(this)) {
    const bool configPassword = which == AccessPassword::Config;
    setWindowTitle(ShellText(5860, "Password verification"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(configPassword ? ShellText(5861, "Please enter Config Password:")
                                                : ShellText(5862, "Please enter Transmit Password:"),
                                 this));
    m_field->setEchoMode(QLineEdit::Password);
    layout->addWidget(m_field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordPrompt::submit);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PasswordPrompt::submit() {
    if (!AccessPasswordAccepts(m_config, m_which, m_field->text())) {
        const QString text = m_which == AccessPassword::Config ? ShellText(5863, "Invalid Config Password!")
                                                               : ShellText(5864, "Invalid Transmit Password!");
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tessaro"), text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        m_field->selectAll();
        Q_EMIT refused();
        return;
    }
    if (m_action)
        m_action();
    accept();
}

PasswordPrompt* GuardConfigAction(CConfiguration& config, QWidget* parent, std::function<void()> action) {
    if (StoredAccessPassword(config, AccessPassword::Config).isEmpty()) {
        action();
        return nullptr;
    }
    auto* prompt = new PasswordPrompt(config, AccessPassword::Config, std::move(action), parent);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->open();
    return prompt;
}

} // namespace tessaro
