#pragma once

#include "messaging/default_message.h"

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tessaro {

class MessageEditor;

// Puts a default message into the editor: its To, Cc and Bcc addresses (separated by ";" or ",") as
// e-mail recipients, its subject when it has one, and its body at the cursor.
void InsertDefaultMessage(MessageEditor& editor, const DefaultMessageFields& message);

// Ctrl+F1 .. Ctrl+F9 in the editor insert default message 0 .. 8 of the folder.
void AttachDefaultMessageKeys(MessageEditor& editor, const QString& folder);

// The default messages: the list by name (with the key that inserts each), and the fields of the chosen
// one to create, change or delete it. Insert puts it into the editor when one is given.
class DefaultMessageForm final : public QDialog {
    Q_OBJECT
public:
    // folder: the "DefaultMessages" folder; files of an older installation in oldFolder are moved in first.
    DefaultMessageForm(const QString& folder, const QString& oldFolder, MessageEditor* editor,
                       QWidget* parent = nullptr);

    // Refills the list from the folder, keeping the chosen message when it is still there.
    void UpdateDefaultMessageList();
    QListWidget& list() const { return *m_list; }
    // The number of the message in the fields (-1: none).
    int current() const { return m_current; }
    void choose(int number);

    // Fields of the chosen message.
    QLineEdit& nameField() const { return *m_name; }
    QLineEdit& toField() const { return *m_to; }
    QLineEdit& ccField() const { return *m_cc; }
    QLineEdit& bccField() const { return *m_bcc; }
    QLineEdit& subjectField() const { return *m_subject; }
    QPlainTextEdit& bodyField() const { return *m_body; }
    DefaultMessageFields fields() const;

    // New: empty fields under the first free number, named "Default message"; false when all are taken.
    bool newMessage();
    // Save writes the fields under the chosen number; false (and the operator told why) on failure.
    bool save();
    bool remove();
    void insert();

Q_SIGNALS:
    // A failure the operator is shown (also for tests).
    void problem(const QString& text);

private:
    void showFields(const DefaultMessageFields& m);
    void tell(const QString& text);

    cDefaultMessage m_store;
    QPointer<MessageEditor> m_editor; // the editor may be closed while this window is open
    int m_current = -1;
    QListWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_to;
    QLineEdit* m_cc;
    QLineEdit* m_bcc;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
    QPushButton* m_insert;
};

} // namespace tessaro
