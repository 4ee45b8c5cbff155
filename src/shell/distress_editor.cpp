#include "shell/distress_editor.h"

#include "messaging/distress_message.h"
#include "messaging/editor_insertions.h"
#include "shell/message_editor.h"
#include "shell/shell_texts.h"
#include "status/session.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro {

namespace {
// Colour value 255 of the To field: pure red.
const QColor kDistressRed(255, 0, 0);

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}
} // namespace

DistressEditorInfo1::DistressEditorInfo1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ShellText(5980, "Distress Message Editor"));
    auto* layout = new QVBoxLayout(this);
    m_text = wrappedLabel(ShellText(504, "Continue to Distress Message Editor ?") + QStringLiteral("\n\n") +
                              ShellText(503, "A message with distress priority will automatically be sent to "
                                             "Maritime Rescue Coordination Centre (MRCC)."),
                          this);
    layout->addWidget(m_text);
    auto* buttons = new QHBoxLayout;
    m_yes = new QPushButton(ShellText(2207, "Yes"), this);
    m_no = new QPushButton(ShellText(2206, "No"), this);
    m_no->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    layout->addLayout(buttons);
    connect(m_yes, &QPushButton::clicked, this, [this] { done(kYes); });
    connect(m_no, &QPushButton::clicked, this, [this] { done(kNo); });
}

QString DistressEditorInfo1::text() const {
    return m_text->text();
}

DistressEditorInfo2::DistressEditorInfo2(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ShellText(322, "Important"));
    auto* layout = new QVBoxLayout(this);
    m_text = wrappedLabel(ShellText(500, "Please make sure that the distress priority message is written in English."),
                          this);
    layout->addWidget(m_text);
    auto* buttons = new QHBoxLayout;
    m_ok = new QPushButton(ShellText(1906, "OK"), this);
    m_ok->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString DistressEditorInfo2::text() const {
    return m_text->text();
}

DistressEditorController::DistressEditorController(CConfiguration& config, CSession& session, EditorOpener openEditor,
                                                   QWidget* dialogParent)
    : QObject(dialogParent), m_config(config), m_session(session), m_openEditor(std::move(openEditor)),
      m_dialogParent(dialogParent) {}

void DistressEditorController::DistressEditorButton_Click() {
    if (m_session.MessagePriority() == kDistressPriority) {
        enter();
        return;
    }
    if (m_info1 && m_info1->isVisible()) {
        m_info1->raise();
        m_info1->activateWindow();
        return;
    }
    m_info1 = new DistressEditorInfo1(m_dialogParent);
    m_info1->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_info1, &QDialog::finished, this, [this](int result) {
        if (result == DistressEditorInfo1::kYes)
            enter();
    });
    m_info1->open();
}

void DistressEditorController::enter() {
    MessageEditor* editor = m_openEditor ? m_openEditor() : nullptr;
    if (!editor)
        return;
    if (editor != m_editor) {
        // Another editor than the one in distress mode: that one is gone, and with it distress mode.
        leave();
        m_editor = editor;
        // A widget announces its destruction with its members already gone: it must not be touched then.
        connect(editor, &QObject::destroyed, this, [this] {
            m_editor.clear();
            leave();
        });
    }
    const bool entering = !m_saved;
    if (entering) {
        const OutgoingMessage before = editor->message();
        m_saved = Kept{before.recipients, before.subject, m_session.MessagePriority()};
    }
    m_session.SetMessagePriority(kDistressPriority);
    if (!m_info2 || !m_info2->isVisible()) {
        m_info2 = new DistressEditorInfo2(m_dialogParent ? m_dialogParent.data() : editor);
        m_info2->setAttribute(Qt::WA_DeleteOnClose);
        m_info2->open();
    }
    // Opened again while in distress mode: the editor is locked and the ship's data is in the body already.
    if (entering) {
        lockEditor(*editor);
        insertShipData(*editor);
        Q_EMIT activeChanged(true);
    }
}

void DistressEditorController::lockEditor(MessageEditor& editor) {
    // Other recipients would get the message at distress priority too: the rescue centre is the only one.
    editor.setRecipientsLocked(false);
    editor.setRecipients({DistressRecipient()});
    editor.setRecipientsLocked(true, kDistressRed);

    auto* banner = new QWidget;
    auto* row = new QHBoxLayout(banner);
    row->setContentsMargins(0, 0, 0, 0);
    auto* notice = new QLabel(
        ShellText(5981, "Distress priority message: it goes to the Maritime Rescue Coordination Centre (MRCC)."),
        banner);
    QPalette red = notice->palette();
    red.setColor(QPalette::WindowText, kDistressRed);
    notice->setPalette(red);
    auto* leaveButton = new QPushButton(ShellText(5982, "&Leave Distress Editor"), banner);
    leaveButton->setObjectName(QStringLiteral("leaveDistressEditor"));
    row->addWidget(notice, 1);
    row->addWidget(leaveButton);
    connect(leaveButton, &QPushButton::clicked, this, &DistressEditorController::leave);
    editor.setBanner(banner);
}

void DistressEditorController::insertShipData(MessageEditor& editor) {
    // As the insert menu does: no position at all while the transceiver is not connected.
    if (m_session.MesConnected())
        editor.insertAtCursor(EditorInsert::Position(m_session));
    editor.insertAtCursor(EditorInsert::MobileNumber(m_session));
    editor.insertAtCursor(EditorInsert::VesselData(m_config));
}

void DistressEditorController::leave() {
    if (!m_saved)
        return;
    const Kept kept = *m_saved;
    m_saved.reset();
    // Never leave distress priority behind for the next message, even if something else had set it.
    m_session.SetMessagePriority(kept.priority == kDistressPriority ? 0 : kept.priority);
    if (m_editor) {
        m_editor->setRecipientsLocked(false);
        m_editor->setRecipients(kept.recipients);
        m_editor->setSubject(kept.subject);
        m_editor->setBanner(nullptr);
    }
    Q_EMIT activeChanged(false);
}

QPushButton* MakeDistressEditorButton(QWidget* parent) {
    return new QPushButton(ShellText(1929, "Click for Distress Editor"), parent);
}

QString DistressEditorMenuText() {
    return ShellText(2002, "&Distress Message Editor");
}

} // namespace tessaro
