#pragma once

#include "messaging/message_submission.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace tessaro {

class CConfiguration;

// The message editor: recipients (each with its field and message type), subject and body. Send hands
// the message to the main window, which checks it and opens the sending dialog.
class MessageEditor final : public QWidget {
    Q_OBJECT
public:
    explicit MessageEditor(CConfiguration& config, QWidget* parent = nullptr);

    OutgoingMessage message() const;
    // Adds a recipient line (also used by tests and by a reply).
    void addRecipient(const Recipient& r);
    void setSubject(const QString& subject);
    void setBody(const QString& body);
    int recipientCount() const;

Q_SIGNALS:
    void sendRequested();

private:
    void addFromEntry();
    void removeSelected();

    QComboBox* m_field;
    QComboBox* m_type;
    QLineEdit* m_address;
    QTableWidget* m_recipients;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
};

} // namespace tessaro
