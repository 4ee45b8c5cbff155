#pragma once

#include "messaging/address_book.h"
#include "messaging/message_types.h"
#include "messaging/transmission.h"

#include <QString>
#include <QVector>

namespace tessaro {

class CConfiguration;
class IClock;
class MessagingModule;

// One destination as the editor holds it: recipient field, message type and the address as typed.
struct Recipient {
    Recipient() = default;
    Recipient(int field_, int type_, QString address_, QString alias_ = {})
        : field(field_), type(type_), address(std::move(address_)), alias(std::move(alias_)) {}

    int field = FieldTo; // FieldTo, FieldCc, FieldBcc
    int type = EMail;    // 0..8
    QString address;
    QString alias; // the address-book name the address came from; empty for an address typed as such
};

// What the editor and the sending dialog hand over.
struct OutgoingMessage {
    QVector<Recipient> recipients;
    QString subject;
    QString body;
};

struct SendingOptions {
    TransmissionOptions transmission;
    quint8 presentation = 0; // 0 = 7 bit, 6 = 5 bit, 7 = 8 bit
    quint8 priority = 0;     // 0 routine, 1 safety, 3 distress (the distress editor)
};

// Outcome of one message type's transmission.
struct SubmissionStep {
    int type = EMail;
    QString outFileName; // empty when the submission stopped before a file was named
    QString failure;     // the failing step's text; empty when submitted
};

// The text typed in a recipient field, ";"-separated: a part that names an address-book entry (exact name,
// else ignoring letter case) becomes the entry's destination with the entry's type and the name as alias;
// any other part is a literal address of typedType. Empty parts are skipped.
QVector<Recipient> ResolveRecipientText(const QVector<AddressBookEntry>& book, const QString& text, int field,
                                        int typedType);

// The message as CTransmission wants it: addresses and aliases per type and field, ";"-separated.
CMessage BuildMessage(const OutgoingMessage& message);

// "You have to select minimum one destination address!" when nothing is addressed, else empty.
QString ValidateRecipients(const OutgoingMessage& message);

// Submits one transmission per message type that has recipients, in type order, each through the
// sending steps. A failing type stops the submission (later types are not sent), as the operator must
// look at the problem before anything else goes out.
QVector<SubmissionStep> SubmitMessage(CConfiguration& config, MessagingModule& messaging, const IClock& clock,
                                      const OutgoingMessage& message, const SendingOptions& options);

// Recipient field and message-type names as the editor shows them.
QString RecipientFieldName(int field);
QString MessageTypeDisplayName(int type);

} // namespace tessaro
