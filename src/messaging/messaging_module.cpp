#include "messaging/messaging_module.h"

#include "config/logs.h"
#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/cyrillic.h"
#include "messaging/index_file.h"
#include "messaging/message_store.h"
#include "status/session.h"

#include <QDir>
#include <QFile>

namespace tessaro {

MessagingModule::MessagingModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

MessagingModule::~MessagingModule() = default;

void MessagingModule::attach(ModuleContext& context) {
    m_context = &context;
    CConfiguration& config = context.config();
    m_outbox = std::make_unique<cOutBox>(config);
    m_inbox = std::make_unique<CInbox>(config);
    m_reception = std::make_unique<CMessageReception>(config, *m_inbox, *this, context.errorLog(), context.clock());
    m_reception->setStoredObserver([this](const QString& path, int priority, const QString& modemFileName) {
        Q_EMIT stored(path, QStringLiteral("message"), priority, modemFileName);
    });
    m_replies = std::make_unique<CTransmissionReplies>(config, *m_outbox, *this, m_transfers);
    m_reports = std::make_unique<OutboxReports>(config, *m_outbox, m_session, m_order);
    connect(m_reports.get(), &OutboxReports::submissionOrderChanged, this, &MessagingModule::saveUnsubmitted);
    connect(m_reports.get(), &OutboxReports::printRequested, this, &MessagingModule::printRequested);
    connect(m_reports.get(), &OutboxReports::indicatorAlarm, this, &MessagingModule::indicatorAlarm);

    const auto storeError = [this](const QString& message) {
        m_context->errorLog().AddLine(message);
        m_context->notifier().showMessage(message, QStringLiteral("Error"), MessageStyle::Critical);
    };
    connect(m_outbox.get(), &cOutBox::storeError, this, storeError);
    connect(m_inbox.get(), &CInbox::storeError, this, storeError);
    connect(m_outbox.get(), &cOutBox::changed, this, &MessagingModule::outboxChanged);
    connect(m_inbox.get(), &CInbox::changed, this, &MessagingModule::inboxChanged);

    context.addRoute(RouteKey::MessageListing, MatchKind::Echo, QStringLiteral("ls IN.*"),
                     [this](const QString& r) { m_reception->HandleListing(r); });
    context.addRoute(RouteKey::MessageLog, MatchKind::Echo, QStringLiteral("st -r"),
                     [this](const QString& r) { m_reception->HandleLog(r); });
    context.addRoute(RouteKey::MessageFetch, MatchKind::Starts, QStringLiteral("ty IN."),
                     [this](const QString& r) { m_reception->HandleMessage(r); });
    context.addRoute(RouteKey::MessageDelete, MatchKind::Starts, QStringLiteral("delete IN."),
                     [this](const QString& r) { m_reception->HandleDelete(r); });
    // Listings of the download cycles have their own rows; any other "ls " is an upload's size check.
    context.addCustomRoute(
        RouteKey::UploadSizeCheck, QStringLiteral("ls "),
        [](QStringView reply, QStringView) {
            return reply.startsWith(QLatin1StringView("ls ")) &&
                   !reply.startsWith(QLatin1StringView("ls EGC."), Qt::CaseInsensitive) &&
                   !reply.startsWith(QLatin1StringView("ls IN."));
        },
        [this](const QString& r) { m_replies->HandleLsReply(r); });
    context.addRoute(RouteKey::TransceiverRestart, MatchKind::Contains, QStringLiteral("Starting application program."),
                     [this](const QString&) {
                         m_replies->HandleRestart(m_txQueued);
                         m_order.clearPending();
                         saveUnsubmitted();
                     });
    const auto txWithError = [](QStringView reply, QLatin1StringView text) {
        return reply.startsWith(QLatin1StringView("tx")) && reply.contains(text, Qt::CaseInsensitive);
    };
    context.addCustomRoute(
        RouteKey::TxRefusedEgcOnly, QStringLiteral("tx + ERROR 250:"),
        [txWithError](QStringView reply, QStringView) { return txWithError(reply, QLatin1StringView("ERROR 250:")); },
        [this](const QString& r) { onTxRefused(r); });
    context.addCustomRoute(
        RouteKey::TxFailed, QStringLiteral("tx + ERROR"),
        [txWithError](QStringView reply, QStringView) {
            return txWithError(reply, QLatin1StringView("ERROR")) &&
                   !reply.contains(QLatin1StringView("ERROR 250:"), Qt::CaseInsensitive);
        },
        [this](const QString& r) { onTxRefused(r); });

    context.addPollStep(PollOrder::Messages, [this] {
        if (!m_session.ProcessingMsgs())
            m_context->QueueCommand(QStringLiteral("ls IN.*"));
    });

    for (auto& [code, handler] : m_reports->infoHandlers())
        context.onInfo(code, std::move(handler));

    context.setUploadTextProvider([this](const QString& fileName) -> std::optional<QByteArray> {
        if (!m_transfers.contains(fileName))
            return std::nullopt;
        return m_transfers.uploadBytes(fileName, cp866Upload());
    });
    context.addLinkLostJob([this] { LinkLost(); });
    context.addStartUpJob([this] { startUp(); });
    context.addShutDownJob([this] { clearUnsubmitted(true); });
    connect(&context.engine(), &CommandEngine::uploadRefused, this, &MessagingModule::onUploadRefused);
    connect(&context.engine(), &CommandEngine::writingLine, this, &MessagingModule::onWritingLine);
}

void MessagingModule::LinkLost() {
    // A submission under way when the link went: the operator must know, even though it is sent again.
    if (!m_transfers.names().isEmpty())
        m_context->notifier().showMessage(
            QStringLiteral(
                "The PC has lost connection to the mobile. Due to this the message might not have been sent."),
            QStringLiteral("Info"));
    // Left in the queue, the old cycle's "ty" and "delete" lines would run beside the next cycle's and fetch
    // files that are already gone.
    m_context->removeQueued([](QStringView line) {
        return line.startsWith(QLatin1String("ty IN."), Qt::CaseInsensitive) ||
               line.startsWith(QLatin1String("delete IN."), Qt::CaseInsensitive) || line == QLatin1String("st -r");
    });
    m_reception->MessageTimerExpired();

    // A transfer whose "tr" was written but whose "ls" check has not been answered may have lost its body
    // on the way: upload it again before its check and its "tx" run. When the check itself was written, only
    // the check is repeated, so the "tx" still waiting never submits an unchecked copy.
    const QString text = m_context->queuedText();
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
            m_context->QueueCommand(tr, true, true);
        else
            m_context->QueueCommand(QStringLiteral("ls ") + name, true, true);
    }
}

void MessagingModule::onUploadRefused(const QString& fileName, bool shellGone, const QString& reply) {
    if (!m_transfers.contains(fileName))
        return;
    // Its check and its submission must not run without the body: take them out of the queue.
    QString tx;
    const QString ls = QStringLiteral("ls ") + fileName;
    const QString txStart = QStringLiteral("tx ") + fileName + QLatin1Char(' ');
    for (const QString& line : m_context->queuedText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        if (line.startsWith(txStart))
            tx = line;
    m_context->removeQueued([&](QStringView line) { return line == ls || line.startsWith(txStart); });
    const QString tr = QStringLiteral("tr ") + fileName + QStringLiteral(" -b ") +
                       QString::number(m_transfers.expectedLength(fileName));
    if (shellGone) {
        // Sent again, whole, once the terminal program has been started again.
        m_context->QueueCommand(QStringLiteral("minic -f"));
        m_context->QueueCommand(tr, true);
        m_context->QueueCommand(ls, true);
        if (!tx.isEmpty())
            m_context->QueueCommand(tx, true);
        m_context->errorLog().AddLine(
            QStringLiteral("Upload of %1 met the bare shell: sent again after the terminal program restarts.")
                .arg(fileName));
        return;
    }
    m_transfers.finish(fileName);
    m_outbox->UpdateOutBoxFile(fileName, {}, QStringLiteral("Failed"), false);
    clearUnsubmitted(false);
    const QString text = FormatText(QStringLiteral("The transceiver refused the message %0: %1"),
                                    {fileName, FlattenText(reply.section(QLatin1Char('\n'), 1)).trimmed()});
    m_context->errorLog().AddLine(text);
    m_context->notifier().showMessage(text, QStringLiteral("Error"), MessageStyle::Critical);
}

void MessagingModule::onWritingLine(const QString& line) {
    // Recorded before the line goes out: a run killed in between then counts the "tx" as written. Its line
    // stays "Initiated" for reports that may come, which is safer than clearing a message that went out.
    // Every "tx" takes the transceiver's next name, one typed in the terminal window too; "tx" without a file
    // (asking for its options) takes none.
    if (!line.startsWith(QLatin1String("tx ")))
        return;
    const QString name = line.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty).trimmed();
    if (name.isEmpty() || name.startsWith(QLatin1Char('-')))
        return;
    m_txQueued.remove(name);
    m_order.written(name);
    saveUnsubmitted();
}

void MessagingModule::onTxRefused(const QString& reply) {
    m_replies->HandleTxReply(reply);
    if (const TxError e = ParseTxError(reply); e.isError && !e.fileName.isEmpty()) {
        m_order.refused(e.fileName);
        saveUnsubmitted();
    }
}

void MessagingModule::clearUnsubmitted(bool all) {
    if (m_txQueued.isEmpty())
        return;
    QSet<QString> gone;
    const QString queued = m_context->queuedText();
    for (const QString& name : std::as_const(m_txQueued))
        if (all || !queued.contains(QStringLiteral("tx ") + name + QLatin1Char(' ')))
            gone.insert(name);
    if (gone.isEmpty())
        return;
    m_txQueued.subtract(gone);
    m_outbox->UpdateOutBoxWhere(
        OutboxStatus::Initiated,
        [&gone](const OutIdxRecord& r) {
            return r.Reference.trimmed() == kNoReference &&
                   gone.contains(CTransmission::TransceiverFileNameOf(r.FileName.trimmed()));
        },
        OutboxStatus::PcCleared);
    saveUnsubmitted();
}

QString MessagingModule::unsubmittedPath() const {
    return m_outbox->folder() + QStringLiteral("UNSENT.LST");
}

void MessagingModule::saveUnsubmitted() {
    // One file, written whole: the "tx" still queued, then those written and the names they should get.
    QStringList names(m_txQueued.begin(), m_txQueued.end());
    names.sort();
    names << m_order.toLines();
    const QString path = unsubmittedPath();
    FileError error;
    const bool ok = names.isEmpty() ? (!QFile::exists(path) || QFile::remove(path))
                                    : WriteWholeFile(path, (names.join(kCrLf) + kCrLf).toLatin1(), &error);
    if (!ok)
        m_context->errorLog().AddLine(QStringLiteral("Could not record the messages waiting to be submitted in %1: %2")
                                          .arg(QDir::toNativeSeparators(path), error.description.isEmpty()
                                                                                   ? QStringLiteral("not removed")
                                                                                   : error.description));
}

void MessagingModule::clearUnsubmittedOfLastRun() {
    QString text;
    if (!ReadWholeFile(unsubmittedPath(), &text))
        return;
    QSet<QString> names;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (const QString name = line.trimmed(); !name.isEmpty() && !m_order.readLine(name))
            names.insert(name);
    QSet<QString> cleared; // out file names
    QStringList waiting;   // transceiver names of the lines whose "tx" went out and that wait for their report
    for (const OutIdxRecord& r : m_outbox->ReadRecords()) {
        if (!r.awaitsStartReport())
            continue;
        const QString txName = CTransmission::TransceiverFileNameOf(r.FileName.trimmed());
        if (names.contains(txName))
            cleared.insert(r.FileName.trimmed());
        else
            waiting << txName;
    }
    // Entries whose line got its report before the kill (or that had none) are done with.
    m_order.keepOnly(waiting);
    if (!cleared.isEmpty()) {
        const int changed = m_outbox->UpdateOutBoxWhere(
            OutboxStatus::Initiated,
            [&cleared](const OutIdxRecord& r) {
                return r.Reference.trimmed() == kNoReference && cleared.contains(r.FileName.trimmed());
            },
            OutboxStatus::PcCleared);
        if (changed == 0)
            return; // the index could not be rewritten (already reported): tried again at the next start
        QStringList list(cleared.begin(), cleared.end());
        list.sort();
        const QString text =
            QStringLiteral("The program stopped before these messages were submitted to the transceiver: %1. They "
                           "were not sent and are marked \"PC Cleared\" in Sent Items; send them again from there.")
                .arg(list.join(QStringLiteral(", ")));
        m_context->errorLog().AddLine(text);
        m_context->notifier().showMessage(text, QStringLiteral("Info"), MessageStyle::Warning);
    }
    saveUnsubmitted(); // nothing is queued yet: the list of the last run is done with
}

void MessagingModule::startUp() {
    ModuleContext& context = *m_context;
    const StoreCheckResult result = CheckStoreFolders(context.config(), &context.infoLog());
    for (const QString& text : result.infoMessages)
        context.notifier().informationLine(text);
    for (const QString& repair : result.repairs)
        context.errorLog().AddLine(QStringLiteral("Message store: ") + repair);
    for (const QString& failure : result.failures)
        context.notifier().showMessage(failure, QStringLiteral("Error"), MessageStyle::Critical);
    if (result.outboxIndexMissing)
        context.notifier().showMessage(
            SentItemsWarningText(context.config().DataPath(), context.config().ini().filePath()),
            kSentItemsWarningTitle, MessageStyle::Critical);
    context.setUploadFolder(m_outbox->folder());
    clearUnsubmittedOfLastRun();
    m_reports->noteWaitingAtStart();
}

bool MessagingModule::cp866Upload() const {
    // Bodies are stored in 1251 codes whenever a Cyrillic page is chosen, whatever the program language.
    return MessageCodePageOf(m_context->config().GetIni(QStringLiteral("[CodePage]"))) == MessageCodePage::Dos866;
}

SendOutcome MessagingModule::SendMessageToAddress(const QString& address, int messageType, int format,
                                                  const QString& subject, const QString& text) {
    return tessaro::SendMessageToAddress(m_context->config(), *m_outbox, *this, m_transfers, m_context->clock(),
                                         address, messageType, format, subject, text);
}

bool MessagingModule::QueueCommand(const QString& command, bool allowDuplicate, bool atFront) {
    if (!m_context->QueueCommand(command, allowDuplicate, atFront))
        return false;
    if (command.startsWith(QLatin1String("tx "))) {
        m_txQueued.insert(command.section(QLatin1Char(' '), 1, 1));
        saveUnsubmitted();
    }
    return true;
}

bool MessagingModule::IsCommandQueued(const QString& text) const {
    return m_context->isQueued(text);
}

QString MessagingModule::LineEnd() const {
    return m_context->lineEnd();
}

bool MessagingModule::MesConnected() const {
    return m_session.MesConnected();
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
    return m_session.ProductModel();
}

bool MessagingModule::ProcessingMsgs() const {
    return m_session.ProcessingMsgs();
}

void MessagingModule::SetProcessingMsgs(bool running) {
    m_session.SetProcessingMsgs(running);
}

void MessagingModule::SetMessageTimer(bool running) {
    if (running)
        m_context->startTimer(TerminalTimer::Message);
    else
        m_context->stopTimer(TerminalTimer::Message);
}

void MessagingModule::ShowMessageQueued(const QString& text, const QString& title, MessageStyle style) {
    m_context->notifier().showMessage(text, title, style);
}

void MessagingModule::PostInformation(const QString& text) {
    m_context->notifier().information(text);
}

void MessagingModule::AddInformationLine(const QString& text) {
    m_context->notifier().informationLine(text);
}

void MessagingModule::ShowPriorityAlert(AlertKind kind, const QString& text) {
    m_context->notifier().alert(kind, text);
}

void MessagingModule::PlayNewMessageSound() {
    m_context->notifier().sound(OperatorSound::NewMessage);
}

void MessagingModule::PrintText(const QString& text) {
    Q_EMIT printRequested(text);
}

void MessagingModule::RefreshOutboxView() {
    m_outbox->announceChange();
}

} // namespace tessaro
