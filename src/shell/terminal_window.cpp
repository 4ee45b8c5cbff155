#include "shell/terminal_window.h"

#include "link/command_engine.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tessaro {

TerminalModeForm::TerminalModeForm(CommandEngine& engine, QWidget* parent) : QDialog(parent), m_session(engine) {
    setModal(false);
    setWindowTitle(TerminalModeSession::caption());
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TerminalWindow"));
    // Keys go to the session, which owns the text: the box itself never edits it.
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->installEventFilter(this);
    layout->addWidget(m_text);
    resize(720, 480);
    connect(&m_session, &TerminalModeSession::textChanged, this, &TerminalModeForm::refresh);
    connect(&m_session, &TerminalModeSession::closeRequested, this, &QDialog::close);
    connect(&m_session, &TerminalModeSession::focusRequested, this, [this] {
        refresh();
        if (isActiveWindow() || isVisible())
            m_text->setFocus(Qt::OtherFocusReason);
    });
}

TerminalModeForm::~TerminalModeForm() {
    m_session.close();
}

void TerminalModeForm::refresh() {
    QString shown = m_session.text();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (m_text->toPlainText() != shown)
        m_text->setPlainText(shown);
    m_text->moveCursor(QTextCursor::End);
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

bool TerminalModeForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Copying a selection stays the text box's own.
        if (key->matches(QKeySequence::Copy))
            return false;
        m_session.key(key->key(), key->text());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TerminalModeForm::showEvent(QShowEvent* event) {
    m_session.open();
    m_text->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void TerminalModeForm::closeEvent(QCloseEvent* event) {
    m_session.close();
    QDialog::closeEvent(event);
}

void TerminalModeForm::reject() {
    // Esc reaches the session through the text box; a dialog's own Esc (focus elsewhere) closes all the same.
    m_session.close();
    QDialog::reject();
}

TerminalModeForm* OpenTerminalWindow(CommandEngine& engine, QWidget* parent) {
    static QPointer<TerminalModeForm> open;
    if (!open) {
        open = new TerminalModeForm(engine, parent);
        open->setAttribute(Qt::WA_DeleteOnClose);
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

} // namespace tessaro
