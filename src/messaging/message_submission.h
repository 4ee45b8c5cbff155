#pragma once

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
    int field = FieldTo; // FieldTo, FieldCc, FieldBcc
    int type = EMail;    // 0..8
    QString address;
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
