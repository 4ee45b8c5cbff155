#pragma once

#include "messaging/message_submission.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QColor;
class QPushButton;
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

    // The recipient list as a whole, in order (the distress editor keeps and restores it).
    void setRecipients(const QVector<Recipient>& recipients);
    // The To addresses as one list, each ended by ";" ("SEARCH & RESCUE;").
    QString toText() const;
    // A locked list takes no additions or removals; colour paints its addresses (invalid: the normal colour).
    void setRecipientsLocked(bool locked, const QColor& colour = QColor());
    bool recipientsLocked() const { return m_locked; }
    QColor recipientColour(int row) const;
    // A strip above the recipients (the distress mode's notice); null removes it. The editor takes ownership.
    void setBanner(QWidget* banner);

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

    // Names picked in the address book: each becomes a recipient of that field with its entry's type and
    // address (a name no longer in the book is kept as a literal address of the chosen type).
    void addNames(int field, const QStringList& names);
    // Typed text for the recipient field and type chosen in the editor, as Add takes it.
    void addTyped(const QString& text);
    // The address of the selected recipient goes into a new address-book entry: the operator is told, then
    // the card opens. False when no typed (non-book) recipient is selected.
    bool addSelectedToAddressBook();
    // Selects a recipient row.
    void selectRecipient(int row);
    // The text a recipient row shows in its address column.
    QString recipientText(int row) const;

Q_SIGNALS:
    void sendRequested();
    // The editor's print entry: the body as it stands.
    void printRequested(const QString& text);
    void insertRequested(tessaro::MessageEditor::Insertion which);

private:
    void addFromEntry();
    void removeSelected();
    QVector<AddressBookEntry> loadBook() const;

    CConfiguration& m_config;
    QComboBox* m_field;
    QComboBox* m_type;
    QLineEdit* m_address;
    QTableWidget* m_recipients;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
    QList<QAction*> m_insertActions;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPointer<QWidget> m_banner;
    bool m_locked = false;
};

} // namespace tessaro
