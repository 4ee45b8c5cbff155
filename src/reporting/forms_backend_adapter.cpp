#include "reporting/forms_backend_adapter.h"

#include "config/access_password.h"
#include "config/text_util.h"
#include "messaging/address_book.h"
#include "messaging/inbox.h"
#include "messaging/message_store.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"
#include "reporting/mailbox_html.h"
#include "status/session.h"

namespace tessaro {

namespace {
// What the transceiver reports without a fix; the page shows it as "No position available".
const QString kNoFix = QStringLiteral("255,255.255N , 255,255.255E");
} // namespace

CFormsBackend::CFormsBackend(CConfiguration& config, const CSession& session, cOutBox& outbox, CInbox& inbox,
                             IMessagingHost& host, PendingTransfers& transfers, const IClock& clock)
    : m_config(config), m_session(session), m_outbox(outbox), m_inbox(inbox), m_host(host), m_transfers(transfers),
      m_clock(clock) {}

QString CFormsBackend::positionText() {
    const PositionRecord& p = m_session.Position();
    return p.Valid ? PositionCommaText(p) : QString(kNoFix);
}

QString CFormsBackend::speedText() {
    return QString::number(m_session.Position().Speed);
}

QString CFormsBackend::courseText() {
    return QString::number(m_session.Position().Course);
}

QString CFormsBackend::mobileNumber() {
    const qint64 n = m_session.MobileNumber();
    return n > 0 ? QString::number(n) : QString();
}

QDateTime CFormsBackend::transceiverTimeUtc() {
    // Before the transceiver has told its time the clock's start value is shown, as the session keeps it.
    if (!m_session.SystemTimeSet() || !m_session.SystemTime().isValid())
        return QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
    return m_session.SystemTime();
}

FormsSendResult CFormsBackend::SendMessageToAddress(const QString& address, int messageType, int formatCode,
                                                    const QString& subject, const QString& text) {
    if (!StoredAccessPassword(m_config, AccessPassword::Transmit).isEmpty())
        return {kFormsTransmitPasswordRefused,
                QStringLiteral("Sending from the forms server is turned off while a transmit password is set. Send "
                               "the message from the Tessaro window, which asks for the password."),
                QString()};
    const SendOutcome outcome = tessaro::SendMessageToAddress(m_config, m_outbox, m_host, m_transfers, m_clock, address,
                                                              messageType, formatCode, subject, text);
    return {outcome.code, SendOutcomeText(outcome), outcome.outFileName};
}

FormsSendResult CFormsBackend::SendMessageToAddressBookEntry(const QString& entry, const QString& subject,
                                                             const QString& text) {
    // Read at every request: the book may have changed in the window since the last form.
    const QVector<AddressBookEntry> book = LoadAddressBook(StoreFolderPath(m_config, kAddressBookKey));
    const int i = FindAddressBookEntry(book, entry);
    if (i < 0)
        return {SendResult::EmptyDestination,
                FormatText(QStringLiteral("The address book has no entry '%0'."), {entry.trimmed()}), QString()};
    const AddressBookEntry& e = book[i];
    // The entry's presentation codes (5, 7, 8 bit) are the form's format codes.
    return SendMessageToAddress(EntryDestination(e), e.Type, e.Presentation, subject, text);
}

FormsStatusLookup CFormsBackend::GetIndexValue(const QString& reference) {
    // The answer to a sent form names the out file, since the LES reference comes later: accept either.
    const QString ref = reference.trimmed();
    if (!ref.isEmpty()) {
        for (const OutIdxRecord& r : m_outbox.ReadRecords()) {
            if (r.valueCount > OutIdx::Status && (r.Reference.trimmed() == ref || r.FileName.trimmed() == ref))
                return {true, r.Status.text().trimmed()};
        }
    }
    return {false, m_outbox.GetIndexValue(ref)};
}

std::optional<QString> CFormsBackend::outboxMessageText(const QString& fileName) {
    return m_outbox.ReadBody(fileName);
}

std::optional<QString> CFormsBackend::inboxMessageText(const QString& fileName) {
    return m_inbox.ReadBody(fileName);
}

QString CFormsBackend::outboxListingHtml(int count, int skip, bool newestFirst) {
    if (count < 1)
        return {};
    return OutboxListingHtml(m_outbox.ReadRecords(), count, skip, newestFirst);
}

QString CFormsBackend::inboxListingHtml(int count, bool unreadOnly, int skip, bool newestFirst) {
    if (count < 1)
        return {};
    return InboxListingHtml(m_inbox.ReadRecords(unreadOnly), count, skip, newestFirst);
}

} // namespace tessaro
