#include "messaging/message_submission.h"

#include "config/configuration.h"
#include "config/strings.h"
#include "messaging/distress_message.h"
#include "messaging/messaging_module.h"
#include "messaging/provider_list.h"

namespace tessaro {

QVector<Recipient> ResolveRecipientText(const QVector<AddressBookEntry>& book, const QString& text, int field,
                                        int typedType) {
    QVector<Recipient> out;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString typed = part.trimmed();
        if (typed.isEmpty())
            continue;
        const int i = FindAddressBookEntry(book, typed);
        if (i >= 0)
            out.push_back({field, book[i].Type, EntryDestination(book[i]), book[i].Name});
        else
            out.push_back({field, typedType, typed, {}});
    }
    return out;
}

CMessage BuildMessage(const OutgoingMessage& message) {
    CMessage m;
    m.Subject = message.subject;
    m.TextField = message.body;
    for (const Recipient& r : message.recipients) {
        const QString address = r.address.trimmed();
        if (address.isEmpty() || r.type < 0 || r.type >= kMessageTypeCount || r.field < 0 ||
            r.field >= kRecipientFieldCount)
            continue;
        // ";" separates list entries, so an address may not carry one.
        const QString clean = QString(address).replace(u';', u',');
        m.AddAddress(r.type, r.field, clean);
        const QString alias = r.alias.trimmed();
        m.AddAlias(r.type, r.field, alias.isEmpty() ? clean : QString(alias).replace(u';', u','));
    }
    return m;
}

QString ValidateRecipients(const OutgoingMessage& message) {
    const CMessage m = BuildMessage(message);
    for (int type = 0; type < kMessageTypeCount; ++type) {
        if (m.ExistRecipient(type))
            return {};
    }
    return GetText(5400, QStringLiteral("You have to select minimum one destination address!"));
}

QVector<SubmissionStep> SubmitMessage(CConfiguration& config, MessagingModule& messaging, const IClock& clock,
                                      const OutgoingMessage& message, const SendingOptions& options) {
    QVector<SubmissionStep> steps;
    const CMessage built = BuildMessage(message);
    const QVector<ServiceProvider> providers = LoadProviders(config.DataPath());
    const QString isp = config.GetIni(QStringLiteral("[Default ISP]")).trimmed();
    const ServiceProvider* provider = FindProvider(providers, isp);
    for (int type = 0; type < kMessageTypeCount; ++type) {
        if (!built.ExistRecipient(type))
            continue;
        CTransmission t(config, messaging.outbox(), messaging, messaging.transfers(), clock);
        t.Message = built;
        t.MessageType = type;
        t.ISP = isp;
        t.Priority = TransmissionPriority(options.priority);
        t.SetPresentation(options.presentation);
        t.SetService();
        SubmissionStep step;
        step.type = type;
        // SAC and DNID destinations travel with " -e ": the first To address is the code (or "DNID,member").
        const QString special = built.GetFirstAddress(type, FieldTo);
        const bool destinationOk = (type == SAC || type == DNID) ? t.SetDestination(type, provider, special)
                                                                 : t.SetDestination(type, provider);
        if (!destinationOk) {
            step.failure =
                type == EMail || type == SMS ? QString(SendFailure::NoIspLes) : QString(SendFailure::FormatMessage);
        } else {
            step.failure = t.Submit(options.transmission, provider);
        }
        step.outFileName = t.OutFileName;
        steps.push_back(step);
        if (!step.failure.isEmpty())
            break;
    }
    messaging.RefreshOutboxView();
    return steps;
}

QString RecipientFieldName(int field) {
    switch (field) {
    case FieldTo:
        return GetText(5101, QStringLiteral("To"));
    case FieldCc:
        return GetText(5401, QStringLiteral("Cc"));
    case FieldBcc:
        return GetText(5402, QStringLiteral("Bcc"));
    default:
        return {};
    }
}

QString MessageTypeDisplayName(int type) {
    return GetText(5410 + type, MessageTypeName(type));
}

} // namespace tessaro
