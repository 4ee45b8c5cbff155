#pragma once

#include "messaging/inbox.h"
#include "messaging/messaging_host.h"
#include "messaging/outbox.h"
#include "messaging/outbox_reports.h"
#include "messaging/reception.h"
#include "messaging/submission_order.h"
#include "messaging/transmission.h"
#include "messaging/transmission_replies.h"
#include "status/module_context.h"

#include <QObject>
#include <QSet>

#include <memory>

namespace tessaro {

class CSession;

// Joins the message store, reception, transmission replies and the delivery reports to the terminal:
// registers the routes of the message download, the size check, the "tx" errors and the restart, the
// delivery-report INFO codes and the upload texts, and checks the store folders at start-up.
class MessagingModule final : public QObject, public ITerminalModule, public IMessagingHost {
    Q_OBJECT
public:
    explicit MessagingModule(CSession& session, QObject* parent = nullptr);
    ~MessagingModule() override;

    Subsystem subsystem() const override { return Subsystem::Messaging; }
    void attach(ModuleContext& context) override;
    void startUp();

    // The link went down: the interrupted download is dropped from the queue (the next cycle lists the
    // transceiver again and knows what is already stored), and an upload cut short is sent again.
    void LinkLost();

    // One message to one address (forms server, remote configuration, headless --send).
    SendOutcome SendMessageToAddress(const QString& address, int messageType, int format, const QString& subject,
                                     const QString& text);

    cOutBox& outbox() { return *m_outbox; }
    CInbox& inbox() { return *m_inbox; }
    OutboxReports& reports() { return *m_reports; }
    CMessageReception& reception() { return *m_reception; }
    CTransmissionReplies& transmissionReplies() { return *m_replies; }
    PendingTransfers& transfers() { return m_transfers; }

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
    void ShowPriorityAlert(AlertKind kind, const QString& text) override;
    void PlayNewMessageSound() override;
    void PrintText(const QString& text) override;
    void RefreshOutboxView() override;

Q_SIGNALS:
    void inboxChanged();
    void outboxChanged();
    // A text to print (confirmations, received messages set to be printed).
    void printRequested(const QString& text);
    // INFO 552 sets the alarm indicator; the delivery report that settles the last one clears it.
    void indicatorAlarm(bool alarm);
    // A received message was stored for the first time: kind "message", priority 0..3, the transceiver's
    // file name ("IN.5").
    void stored(const QString& path, const QString& kind, int priority, const QString& modemFileName);

private:
    bool cp866Upload() const;
    void onUploadRefused(const QString& fileName, bool shellGone, const QString& reply);
    void onWritingLine(const QString& line);
    void onTxRefused(const QString& reply);
    // Lines still "Initiated" whose "tx" never went out (dropped from the queue, or everything left when the
    // program stops) become "PC Cleared": no report will come for them, and the next submission report
    // must not land on them.
    void clearUnsubmitted(bool all);
    // m_txQueued and m_order are kept on disk: a run killed before its "tx" went out is cleared at the next
    // start, and the names of those written still find their reports.
    QString unsubmittedPath() const;
    void saveUnsubmitted();
    void clearUnsubmittedOfLastRun();

    CSession& m_session;
    ModuleContext* m_context = nullptr;
    PendingTransfers m_transfers;
    // Transceiver file names whose "tx" is queued and not written yet.
    QSet<QString> m_txQueued;
    // The "tx" written and the transceiver names they should get, so reports find their lines by name.
    SubmissionOrder m_order;
    std::unique_ptr<cOutBox> m_outbox;
    std::unique_ptr<CInbox> m_inbox;
    std::unique_ptr<CMessageReception> m_reception;
    std::unique_ptr<CTransmissionReplies> m_replies;
    std::unique_ptr<OutboxReports> m_reports;
};

} // namespace tessaro
