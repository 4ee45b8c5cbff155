#pragma once

#include "messaging/message_submission.h"

#include <QWidget>

class QAction;
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
    // Puts text at the body's cursor (the insert menu's lines).
    void insertAtCursor(const QString& text);
    QString body() const;

    // The insert menu's entries, in menu order.
    enum class Insertion {
        Position,
        SpeedAndCourse,
        UtcTime,
        LocalTime,
        MobileNumber,
        Signature,
        VesselName,
        VesselData
    };
    QAction* insertAction(Insertion which) const;

Q_SIGNALS:
    void sendRequested();
    // The editor's print entry: the body as it stands.
    void printRequested(const QString& text);
    void insertRequested(tessaro::MessageEditor::Insertion which);

private:
    void addFromEntry();
    void removeSelected();

    QComboBox* m_field;
    QComboBox* m_type;
    QLineEdit* m_address;
    QTableWidget* m_recipients;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
    QList<QAction*> m_insertActions;
};

} // namespace tessaro
