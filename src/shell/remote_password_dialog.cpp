#include "shell/remote_password_dialog.h"

#include "reporting/remote_config_service.h"
#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tessaro {

RemotePasswordForm::RemotePasswordForm(CConfiguration& config, QWidget* parent)
    : QDialog(parent), m_config(config), m_old(new QLineEdit(this)), m_new(new QLineEdit(this)),
      m_confirm(new QLineEdit(this)) {
    setWindowTitle(ShellText(2760, "Remote Password"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (QLineEdit* e : {m_old, m_new, m_confirm}) {
        e->setEchoMode(QLineEdit::Password);
        e->installEventFilter(this);
    }
    form->addRow(ShellText(2761, "Old Remote Password:"), m_old);
    form->addRow(ShellText(2762, "New Remote Password:"), m_new);
    form->addRow(ShellText(2763, "Confirm Remote Password:"), m_confirm);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        submit();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool RemotePasswordForm::eventFilter(QObject* watched, QEvent* event) {
    // Control characters 1..15 (Backspace aside) would end up inside the password the hash is made from.
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text[0].unicode() >= 1 && text[0].unicode() <= 15 && text[0].unicode() != 8)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString RemotePasswordForm::submit() {
    const bool done = ChangeRemotePassword(m_config, m_old->text(), m_new->text(), m_confirm->text());
    const QString text =
        done ? ShellText(2764, "New Remote Password Registered OK!") : ShellText(2765, "Remote Password Failure!");
    auto* box = new QMessageBox(done ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("Tessaro"), text,
                                QMessageBox::Ok, parentWidget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return text;
}

} // namespace tessaro
