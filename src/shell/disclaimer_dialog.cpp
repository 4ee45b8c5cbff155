#include "shell/disclaimer_dialog.h"

#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro {

QString DisclaimerDialog::Text() {
    return ShellText(5320, "Tessaro is provided \"AS IS\", without warranty of any kind.\n\n"
                           "It does not replace the transceiver's own distress functions or the watch-keeping "
                           "duties required on board. Messages may be delayed or lost on the way; never rely on "
                           "this program alone for the safety of life at sea.\n\n"
                           "Do you accept these terms?");
}

DisclaimerDialog::DisclaimerDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ShellText(5321, "Tessaro - Disclaimer"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(Text(), this);
    text->setWordWrap(true);
    text->setMinimumWidth(420);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ShellText(5322, "I &accept"), QDialogButtonBox::AcceptRole);
    buttons->addButton(ShellText(5323, "I do &not accept"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace tessaro
