#pragma once

#include "link/terminal_module.h"
#include "messaging/inbox.h"
#include "messaging/info_handler.h"
#include "messaging/messaging_host.h"
#include "messaging/outbox.h"
#include "messaging/reception.h"
#include "messaging/transmission.h"
#include "messaging/transmission_replies.h"

#include <functional>
#include <memory>

namespace tessaro {

class CSession;
class CTerminal;

// Joins the message store, reception, transmission replies and the INFO/ERROR handler to the terminal:
// fills the routing slots of the message download, the size check, the "tx" errors and the restart, the
// engine's INFO/ERROR hook and its upload text, and checks the store folders at start-up.
class MessagingModule final : public ITerminalModule, public IMessagingHost {
public:
    explicit MessagingModule(CSession& session);
    ~MessagingModule() override;

    void attach(CTerminal& terminal) override;
    void startUp(CTerminal& terminal) override;

    // The link went down: the interrupted download is dropped from the queue (the next cycle lists the
    // transceiver again and knows what is already stored), and an upload cut short is sent again.
    void LinkLost();

    // One message to one address (forms server, remote configuration, headless --send).
    SendOutcome SendMessageToAddress(const QString& address, int messageType, int format, const QString& subject,
                                     const QString& text);

    cOutBox& outbox() { return *m_outbox; }
    CInbox& inbox() { return *m_inbox; }
    CInfo& info() { return *m_info; }
    CMessageReception& reception() { return *m_reception; }
    CTransmissionReplies& transmissionReplies() { return *m_replies; }
    PendingTransfers& transfers() { return m_transfers; }

    // Front-end facilities the main form interface does not offer yet; unset ones fall back to an
    // information line so nothing passes unseen.
    std::function<void(const QString& caption, const QString& text)> priorityAlert;
    std::function<void()> newMessageSound;
    std::function<void(const QString& text)> printText;
    std::function<void()> outboxViewRefresh;

    // IMessagingHost
    bool QueueCommand(const QString& command, bool allowDuplicate, bool atFront) override;
    bool IsCommandQueued(const QString& text) const override;
    QString LineEnd() const override;
    bool MesConnected() const override;
    bool LoggedIn() const override;
    int CurrentOcean() const override;
    int ProductType() const override;
    int ProductModel() const override;
    bool ProcessingMsgs() const override;
    void SetProcessingMsgs(bool running) override;
    void SetMessageTimer(bool running) override;
    void ShowMessageQueued(const QString& text, const QString& title, MessageStyle style) override;
    void PostInformation(const QString& text) override;
    void AddInformationLine(const QString& text) override;
    void ShowPriorityAlert(const QString& caption, const QString& text) override;
    void PlayNewMessageSound() override;
    void PrintText(const QString& text) override;
    void RefreshOutboxView() override;

private:
    void onMessageDownload(const QString& reply);
    bool cp866Upload() const;

    CSession& m_session;
    CTerminal* m_terminal = nullptr;
    PendingTransfers m_transfers;
    std::unique_ptr<cOutBox> m_outbox;
    std::unique_ptr<CInbox> m_inbox;
    std::unique_ptr<CMessageReception> m_reception;
    std::unique_ptr<CTransmissionReplies> m_replies;
    std::unique_ptr<CInfo> m_info;
};

} // namespace tessaro
