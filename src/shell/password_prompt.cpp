#include "shell/password_prompt.h"

#include "config/configuration.h"
#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
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

namespace {
PasswordPrompt* guard(CConfiguration& config, AccessPassword which, QWidget* parent, std::function<void()> action) {
    if (StoredAccessPassword(config, which).isEmpty()) {
        action();
        return nullptr;
    }
    auto* prompt = new PasswordPrompt(config, which, std::move(action), parent);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->open();
    return prompt;
}
} // namespace

PasswordPrompt* GuardConfigAction(CConfiguration& config, QWidget* parent, std::function<void()> action) {
    return guard(config, AccessPassword::Config, parent, std::move(action));
}

PasswordPrompt* GuardTransmitAction(CConfiguration& config, QWidget* parent, std::function<void()> action) {
    return guard(config, AccessPassword::Transmit, parent, std::move(action));
}

ChangePasswordDialog::ChangePasswordDialog(CConfiguration& config, AccessPassword which, QWidget* parent)
    : QDialog(parent), m_config(config), m_which(which), m_old(new QLineEdit(this)), m_new(new QLineEdit(this)),
      m_confirm(new QLineEdit(this)) {
    const bool cfg = which == AccessPassword::Config;
    setWindowTitle(cfg ? ShellText(5866, "Config Password") : ShellText(5867, "Transmit Password"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (QLineEdit* e : {m_old, m_new, m_confirm})
        e->setEchoMode(QLineEdit::Password);
    form->addRow(cfg ? ShellText(5868, "Old Config password:") : ShellText(5869, "Old Transmit Password:"), m_old);
    form->addRow(cfg ? ShellText(5870, "New Config password:") : ShellText(5871, "New Transmit Password:"), m_new);
    form->addRow(cfg ? ShellText(5872, "Confirm Config Password:") : ShellText(5873, "Confirm Transmit Password:"),
                 m_confirm);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        submit();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString ChangePasswordDialog::submit() {
    const bool cfg = m_which == AccessPassword::Config;
    const bool done = ChangeAccessPassword(m_config, m_which, m_old->text(), m_new->text(), m_confirm->text());
    const QString text =
        done ? (cfg ? ShellText(5874, "New Config Password Registered OK!")
                    : ShellText(5875, "New Transmit Password Registered OK!"))
             : (cfg ? ShellText(5876, "Config Password Failure!") : ShellText(5877, "Transmit Password Failure!"));
    auto* box = new QMessageBox(done ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("Tessaro"), text,
                                QMessageBox::Ok, parentWidget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return text;
}

} // namespace tessaro
