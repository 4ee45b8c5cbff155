#include "messaging/messaging_module.h"

#include "config/strings.h"
#include "link/terminal.h"
#include "messaging/message_store.h"
#include "status/session.h"

namespace tessaro {

MessagingModule::MessagingModule(CSession& session) : m_session(session) {}

MessagingModule::~MessagingModule() = default;

void MessagingModule::attach(CTerminal& terminal) {
    m_terminal = &terminal;
    CConfiguration& config = terminal.config();
    m_outbox = std::make_unique<cOutBox>(config);
    m_inbox = std::make_unique<CInbox>(config);
    m_reception = std::make_unique<CMessageReception>(config, *m_inbox, *this, terminal.errorLog(), terminal.clock());
    m_replies = std::make_unique<CTransmissionReplies>(config, *m_outbox, *this, m_transfers);
    m_info = std::make_unique<CInfo>(config, *m_outbox, *this, terminal.infoLog(), nullptr);
    // A distress alert is entered in the outbox once the "se -g" reply that CInfo queues brings the
    // generator's values; until then the session carries the request and its status.
    m_info->distressAlert = [this](const QString& status) {
        // An acknowledgement (21) settles the alert line already in the outbox; only a new or failed alert
        // (22, 20) adds one.
        if (status != QLatin1String("Conf.Ok"))
            m_session.SetAddDistressAlertToOutbox(true);
        m_session.SetDistressAlertStatus(status);
    };

    const auto storeError = [this](const QString& message) {
        m_terminal->errorLog().AddLine(message);
        m_terminal->ShowMessageQueued(message, QStringLiteral("Error"), MessageStyle::Critical);
    };
    m_outbox->onError = storeError;
    m_inbox->onError = storeError;
    m_outbox->onChanged = [this] { RefreshOutboxView(); };

    ReplyRouter& router = terminal.engine().router();
    router.setHandler(route::MessageDownload, [this](const QString& reply) { onMessageDownload(reply); });
    router.setHandler(route::UploadSizeCheck, [this](const QString& reply) { m_replies->HandleLsReply(reply); });
    router.setHandler(route::TransceiverRestart, [this](const QString&) { m_replies->HandleRestart(); });
    router.setHandler(route::TxRefusedEgcOnly, [this](const QString& reply) { m_replies->HandleTxReply(reply); });
    router.setHandler(route::TxFailed, [this](const QString& reply) { m_replies->HandleTxReply(reply); });

    CommandEngine& engine = terminal.engine();
    engine.infoErrorLines = [this](const QString& reply) {
        const QString prompt = m_terminal->engine().PromptText();
        m_info->CheckInfos(reply, prompt);
        m_info->CheckErrors(reply, prompt);
    };
    engine.uploadText = [this](const QString& fileName) -> std::optional<QByteArray> {
        if (!m_transfers.contains(fileName))
            return std::nullopt;
        return m_transfers.uploadBytes(fileName, cp866Upload());
    };
    terminal.addLinkLostJob([this] { LinkLost(); });
}

void MessagingModule::LinkLost() {
    CommandQueue& queue = m_terminal->engine().queue();
    // Left in the queue, the old cycle's "ty" and "delete" lines would run beside the next cycle's and fetch
    // files that are already gone.
    queue.removeLines([](QStringView line) {
        return line.startsWith(QLatin1String("ty IN."), Qt::CaseInsensitive) ||
               line.startsWith(QLatin1String("delete IN."), Qt::CaseInsensitive) || line == QLatin1String("st -r");
    });
    m_reception->MessageTimerExpired();

    // A transfer whose "tr" was written but whose "ls" check has not been answered may have lost its body
    // on the way: upload it again before its check and its "tx" run. When the check itself was written, only
    // the check is repeated, so the "tx" still waiting never submits an unchecked copy.
    const QString text = queue.text();
    const auto queued = [&text](const QString& line) {
        return text.startsWith(line + QLatin1String("\r\n")) ||
               text.contains(QLatin1String("\n") + line + QLatin1String("\r\n"));
    };
    for (const QString& name : m_transfers.names()) {
        const QString tr =
            QStringLiteral("tr ") + name + QStringLiteral(" -b ") + QString::number(m_transfers.expectedLength(name));
        if (queued(tr))
            continue;
        if (queued(QStringLiteral("ls ") + name))
            m_terminal->QueueCommand(tr, true, true);
        else
            m_terminal->QueueCommand(QStringLiteral("ls ") + name, true, true);
    }
}

void MessagingModule::startUp(CTerminal& terminal) {
    const StoreCheckResult result = CheckStoreFolders(terminal.config(), &terminal.infoLog());
    for (const QString& text : result.infoMessages)
        terminal.form().addInformation(text);
    for (const QString& repair : result.repairs)
        terminal.errorLog().AddLine(QStringLiteral("Message store: ") + repair);
    for (const QString& failure : result.failures)
        terminal.ShowMessageQueued(failure, QStringLiteral("Error"), MessageStyle::Critical);
    if (result.outboxIndexMissing)
        terminal.ShowMessageQueued(
            SentItemsWarningText(terminal.config().DataPath(), terminal.config().ini().filePath()),
            kSentItemsWarningTitle, MessageStyle::Critical);
    terminal.engine().setUploadFolder(m_outbox->folder());
}

void MessagingModule::onMessageDownload(const QString& reply) {
    if (reply.startsWith(QLatin1String("ls IN.*")))
        m_reception->HandleListing(reply);
    else if (reply.startsWith(QLatin1String("st -r")))
        m_reception->HandleLog(reply);
    else if (reply.startsWith(QLatin1String("ty IN.")))
        m_reception->HandleMessage(reply);
    else if (reply.startsWith(QLatin1String("delete IN."), Qt::CaseInsensitive))
        m_reception->HandleDelete(reply);
}

bool MessagingModule::cp866Upload() const {
    return CurrentLanguage() == Russian &&
           m_terminal->config().GetIni(QStringLiteral("[CodePage]")).trimmed() == QLatin1String("866");
}

SendOutcome MessagingModule::SendMessageToAddress(const QString& address, int messageType, int format,
                                                  const QString& subject, const QString& text) {
    return tessaro::SendMessageToAddress(m_terminal->config(), *m_outbox, *this, m_transfers, m_terminal->clock(),
                                         address, messageType, format, subject, text);
}

bool MessagingModule::QueueCommand(const QString& command, bool allowDuplicate, bool atFront) {
    return m_terminal->QueueCommand(command, allowDuplicate, atFront);
}

bool MessagingModule::IsCommandQueued(const QString& text) const {
    return m_terminal->engine().queue().contains(text, Qt::CaseInsensitive);
}

QString MessagingModule::LineEnd() const {
    return m_terminal->engine().LineEnd();
}

bool MessagingModule::MesConnected() const {
    return m_session.MesConnected;
}

bool MessagingModule::LoggedIn() const {
    return m_session.LoggedIn();
}

int MessagingModule::CurrentOcean() const {
    return m_session.CurrentOcean();
}

int MessagingModule::ProductType() const {
    return m_session.ProductType();
}

int MessagingModule::ProductModel() const {
    return m_session.ProductModel;
}

bool MessagingModule::ProcessingMsgs() const {
    return m_session.ProcessingMsgs;
}

void MessagingModule::SetProcessingMsgs(bool running) {
    m_session.ProcessingMsgs = running;
}

void MessagingModule::SetMessageTimer(bool running) {
    if (running)
        m_terminal->startMessageWatchdog();
    else
        m_terminal->stopMessageWatchdog();
}

void MessagingModule::ShowMessageQueued(const QString& text, const QString& title, MessageStyle style) {
    m_terminal->ShowMessageQueued(text, title, style);
}

void MessagingModule::PostInformation(const QString& text) {
    m_terminal->infoLog().AddInfo(text);
    m_terminal->form().addInformation(text);
}

void MessagingModule::AddInformationLine(const QString& text) {
    m_terminal->form().addInformation(text);
}

void MessagingModule::ShowPriorityAlert(const QString& caption, const QString& text) {
    if (priorityAlert)
        priorityAlert(caption, text);
    else
        m_terminal->form().openWindow(caption);
}

void MessagingModule::PlayNewMessageSound() {
    if (newMessageSound)
        newMessageSound();
}

void MessagingModule::PrintText(const QString& text) {
    if (printText)
        printText(text);
}

void MessagingModule::RefreshOutboxView() {
    if (outboxViewRefresh)
        outboxViewRefresh();
}

} // namespace tessaro
