#include "shell/default_message_dialog.h"

#include "config/text_util.h"
#include "messaging/message_types.h"
#include "shell/message_editor.h"
#include "shell/shell_texts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace tessaro {

namespace {

QKeySequence keyFor(int number) {
    return QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F1 + number));
}

} // namespace

void InsertDefaultMessage(MessageEditor& editor, const DefaultMessageFields& message) {
    const std::pair<int, QString> lists[] = {{FieldTo, message.To}, {FieldCc, message.Cc}, {FieldBcc, message.Bcc}};
    for (const auto& [field, text] : lists) {
        QString addresses = text;
        for (const QString& a : addresses.replace(QLatin1Char(','), QLatin1Char(';')).split(QLatin1Char(';')))
            if (!a.trimmed().isEmpty())
                editor.addRecipient({field, EMail, a.trimmed()});
    }
    if (!message.Subject.isEmpty())
        editor.setSubject(message.Subject);
    editor.insertAtCursor(message.BodyText);
}

void AttachDefaultMessageKeys(MessageEditor& editor, const QString& folder) {
    for (int n = 0; n < kDefaultMessageCount; ++n) {
        auto* key = new QShortcut(keyFor(n), &editor);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(key, &QShortcut::activated, &editor, [&editor, folder, n] {
            cDefaultMessage store;
            store.Init(folder);
            if (store.LoadMessage(n))
                InsertDefaultMessage(editor, store.fields());
        });
    }
}

DefaultMessageForm::DefaultMessageForm(const QString& folder, const QString& oldFolder, MessageEditor* editor,
                                       QWidget* parent)
    : QDialog(parent), m_editor(editor) {
    setWindowTitle(ShellText(6620, "Default messages"));
    m_store.Init(folder);
    if (!oldFolder.isEmpty())
        m_store.Upgrade(oldFolder);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_list = new QListWidget(this);
    left->addWidget(m_list);
    auto* newButton = new QPushButton(ShellText(6621, "&New"), this);
    auto* deleteButton = new QPushButton(ShellText(6622, "&Delete"), this);
    left->addWidget(newButton);
    left->addWidget(deleteButton);
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_to = new QLineEdit(this);
    m_cc = new QLineEdit(this);
    m_bcc = new QLineEdit(this);
    m_subject = new QLineEdit(this);
    m_body = new QPlainTextEdit(this);
    form->addRow(ShellText(6623, "Name:"), m_name);
    form->addRow(ShellText(6624, "To:"), m_to);
    form->addRow(ShellText(6625, "Cc:"), m_cc);
    form->addRow(ShellText(6626, "Bcc:"), m_bcc);
    form->addRow(ShellText(6627, "Subject:"), m_subject);
    right->addLayout(form);
    right->addWidget(m_body);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* saveButton = buttons->addButton(ShellText(6628, "&Save"), QDialogButtonBox::ActionRole);
    m_insert = buttons->addButton(ShellText(6629, "&Insert"), QDialogButtonBox::ActionRole);
    m_insert->setEnabled(editor != nullptr);
    if (editor)
        connect(editor, &QObject::destroyed, m_insert, [this] { m_insert->setEnabled(false); });
    right->addWidget(buttons);
    layout->addLayout(right, 1);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (QListWidgetItem* item = m_list->item(row))
            choose(item->data(Qt::UserRole).toInt());
    });
    connect(newButton, &QPushButton::clicked, this, &DefaultMessageForm::newMessage);
    connect(deleteButton, &QPushButton::clicked, this, &DefaultMessageForm::remove);
    connect(saveButton, &QPushButton::clicked, this, &DefaultMessageForm::save);
    connect(m_insert, &QPushButton::clicked, this, &DefaultMessageForm::insert);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    UpdateDefaultMessageList();
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    else
        newMessage();
}

void DefaultMessageForm::UpdateDefaultMessageList() {
    const QSignalBlocker block(m_list);
    m_list->clear();
    cDefaultMessage reader;
    reader.Init(m_store.folder());
    for (int n : reader.numbers()) {
        const QString name = reader.LoadMessage(n) ? reader.GetName() : ShellText(6630, "(unreadable)");
        auto* item = new QListWidgetItem(
            FormatText(QStringLiteral("%0\t%1"), {keyFor(n).toString(QKeySequence::NativeText), name}), m_list);
        item->setData(Qt::UserRole, n);
        if (n == m_current)
            m_list->setCurrentItem(item);
    }
}

void DefaultMessageForm::choose(int number) {
    if (!m_store.LoadMessage(number)) {
        tell(FormatText(ShellText(6631, "The default message could not be read: %0"), {m_store.lastError()}));
        return;
    }
    m_current = number;
    showFields(m_store.fields());
}

void DefaultMessageForm::showFields(const DefaultMessageFields& m) {
    m_name->setText(m.Name);
    m_to->setText(m.To);
    m_cc->setText(m.Cc);
    m_bcc->setText(m.Bcc);
    m_subject->setText(m.Subject);
    m_body->setPlainText(NormaliseLineEnds(m.BodyText));
}

DefaultMessageFields DefaultMessageForm::fields() const {
    DefaultMessageFields m;
    m.Name = m_name->text();
    m.To = m_to->text();
    m.Cc = m_cc->text();
    m.Bcc = m_bcc->text();
    m.Subject = m_subject->text();
    // Message bodies are kept with CR LF, as the transceiver's messages are.
    m.BodyText = m_body->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return m;
}

bool DefaultMessageForm::newMessage() {
    const int number = m_store.FreeNumber();
    if (number < 0) {
        tell(ShellText(6632, "All nine default messages are in use. Delete one first."));
        return false;
    }
    m_current = number;
    DefaultMessageFields m;
    m.Name = cDefaultMessage::NewMessageName();
    showFields(m);
    m_list->clearSelection();
    m_name->setFocus();
    m_name->selectAll();
    return true;
}

bool DefaultMessageForm::save() {
    if (m_current < 0 && !newMessage())
        return false;
    DefaultMessageFields m = fields();
    if (m.Name.trimmed().isEmpty())
        m.Name = cDefaultMessage::NewMessageName();
    if (!m_store.CreateMessage(m_current, m)) {
        tell(FormatText(ShellText(6633, "The default message could not be saved: %0"), {m_store.lastError()}));
        return false;
    }
    UpdateDefaultMessageList();
    return true;
}

bool DefaultMessageForm::remove() {
    if (m_current < 0 || !m_store.ExistsFile(m_current))
        return false;
    if (!m_store.Delete(m_current)) {
        tell(ShellText(6634, "The default message could not be deleted."));
        return false;
    }
    m_current = -1;
    UpdateDefaultMessageList();
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    else
        newMessage();
    return true;
}

void DefaultMessageForm::insert() {
    if (!m_editor) {
        tell(ShellText(6636, "Open a new message first."));
        return;
    }
    InsertDefaultMessage(*m_editor, fields());
}

void DefaultMessageForm::tell(const QString& text) {
    Q_EMIT problem(text);
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace tessaro
