#include "shell/link_test_window.h"

#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro {

LinkTestWindow::LinkTestWindow(QWidget* parent) : QDialog(parent) {
    setModal(false);
    setWindowTitle(ShellText(5310, "Link test results"));
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_text);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* execute = buttons->addButton(ShellText(5311, "&Execute link test"), QDialogButtonBox::ActionRole);
    QPushButton* print = buttons->addButton(ShellText(6904, "&Print"), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("print"));
    buttons->addButton(QDialogButtonBox::Close)->setText(ShellText(5301, "&Close"));
    connect(execute, &QPushButton::clicked, this, &LinkTestWindow::executeRequested);
    connect(print, &QPushButton::clicked, this, [this] { Q_EMIT printRequested(results()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(560, 380);
}

void LinkTestWindow::setResults(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(shown);
}

QString LinkTestWindow::results() const {
    return m_text->toPlainText();
}

} // namespace tessaro
