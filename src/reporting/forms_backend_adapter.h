#pragma once

#include "reporting/forms_backend.h"

namespace tessaro {

class CConfiguration;
class CInbox;
class CSession;
class IClock;
class IMessagingHost;
class PendingTransfers;
class cOutBox;

// The forms server's view of the running program: session values from CSession, stored messages and
// listings from the outbox and inbox, sending through SendMessageToAddress.
class CFormsBackend final : public IFormsBackend {
public:
    CFormsBackend(CConfiguration& config, const CSession& session, cOutBox& outbox, CInbox& inbox, IMessagingHost& host,
                  PendingTransfers& transfers, const IClock& clock);

    QString positionText() override;
    QString speedText() override;
    QString courseText() override;
    QString mobileNumber() override;
    QDateTime transceiverTimeUtc() override;

    FormsSendResult SendMessageToAddress(const QString& address, int messageType, int formatCode,
                                         const QString& subject, const QString& text) override;
    // Sends to the address and type of the entry of that name (exact, else ignoring letter case).
    FormsSendResult SendMessageToAddressBookEntry(const QString& entry, const QString& subject,
                                                  const QString& text) override;
    FormsStatusLookup GetIndexValue(const QString& reference) override;
    std::optional<QString> outboxMessageText(const QString& fileName) override;
    std::optional<QString> inboxMessageText(const QString& fileName) override;
    QString outboxListingHtml(int count, int skip, bool newestFirst) override;
    QString inboxListingHtml(int count, bool unreadOnly, int skip, bool newestFirst) override;

private:
    CConfiguration& m_config;
    const CSession& m_session;
    cOutBox& m_outbox;
    CInbox& m_inbox;
    IMessagingHost& m_host;
    PendingTransfers& m_transfers;
    const IClock& m_clock;
};

} // namespace tessaro
