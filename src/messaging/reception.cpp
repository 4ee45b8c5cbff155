#include "messaging/reception.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "messaging/message_store.h"
#include "messaging/messaging_host.h"

#include <QFile>
#include <QRegularExpression>

namespace tessaro {

namespace {
const QLatin1String kTyIn("ty IN.");
const QLatin1String kDeleteIn("delete IN.");
const char* const kMainPrompts[] = {"can0:/$ ", "can1:/$ ", "can2:/$ "};

QString keyTime(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("yy-MM-dd HH:mm")) : QString();
}

// The second blank-separated word of the echoed command: the transceiver file name.
QString echoedFileName(const QString& reply) {
    const QString firstLine = reply.section(QLatin1Char('\n'), 0, 0).trimmed();
    return firstLine.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty).trimmed();
}
} // namespace

bool CMessageReception::IsShellErrorLine(const QString& text) {
    static const QRegularExpression error(QStringLiteral("^ERROR +\\d+:[^\r\n]*$"));
    return error.match(text.trimmed()).hasMatch();
}

QString ReceivedMessageKey(const QString& modemFileName, qint64 les, qint64 refNumber, const QDateTime& received) {
    return modemFileName.trimmed().toUpper() + QLatin1Char('|') + QString::number(les) + QLatin1Char('|') +
           QString::number(refNumber) + QLatin1Char('|') + keyTime(received);
}

CMessageReception::CMessageReception(CConfiguration& config, CInbox& inbox, IMessagingHost& host, cErrorLog& errorLog,
                                     const IClock& clock)
    : m_config(config), m_inbox(inbox), m_host(host), m_errorLog(errorLog), m_clock(clock) {}

QString CMessageReception::TyCommand(const QString& fileName) const {
    const int model = m_host.ProductModel();
    return QStringLiteral("ty ") + fileName +
           (model == 1 || model == 6 ? QStringLiteral(" -b") : QStringLiteral(" -b -k"));
}

void CMessageReception::HandleListing(const QString& reply) {
    if (m_host.ProcessingMsgs())
        return; // a cycle runs already; its own listing drives it
    m_host.SetProcessingMsgs(true);
    m_host.SetMessageTimer(true);
    m_listing = ParseMessageListing(reply);
    m_host.QueueCommand(QStringLiteral("st -r"), false, false);
}

void CMessageReception::HandleLog(const QString& reply) {
    m_log = ParseReceptionLog(reply);
    for (const ListingRecord& r : std::as_const(m_listing))
        if (r.name.compare(QLatin1String("IN"), Qt::CaseInsensitive) == 0 && !r.extension.isEmpty())
            m_host.QueueCommand(TyCommand(r.fileName()), true, false);
    if (!m_host.IsCommandQueued(kTyIn))
        endBatchIfIdle();
}

void CMessageReception::endBatchIfIdle() {
    if (m_host.IsCommandQueued(kTyIn) || m_host.IsCommandQueued(kDeleteIn))
        return;
    m_host.SetProcessingMsgs(false);
    m_host.SetMessageTimer(false);
}

void CMessageReception::HandleDelete(const QString&) {
    endBatchIfIdle();
}

void CMessageReception::MessageTimerExpired() {
    m_host.SetProcessingMsgs(false);
    m_host.SetMessageTimer(false);
}

QString CMessageReception::ExtractMessageText(const QString& reply, const QString& lineEnd, qint32 expectedSize) {
    const QString end = lineEnd.isEmpty() ? QStringLiteral("\n") : lineEnd;
    const qsizetype echoEnd = reply.indexOf(end);
    if (echoEnd < 0)
        return {};
    QString text = reply.mid(echoEnd + end.size());
    // "ty NAME -b" may print a header line ("File NAME, SIZE bytes, DATE TIME") and an empty line before
    // the bytes; they are not part of the message and must not count towards its size.
    const QString name = echoedFileName(reply);
    if (!name.isEmpty() && text.startsWith(QStringLiteral("File ") + name + QLatin1Char(','), Qt::CaseInsensitive)) {
        const qsizetype headerEnd = text.indexOf(end);
        if (headerEnd >= 0 && QStringView(text).mid(headerEnd + end.size()).startsWith(end))
            text.remove(0, headerEnd + 2 * end.size());
    }
    for (const char* prompt : kMainPrompts) {
        if (text.endsWith(QLatin1String(prompt))) {
            text.chop(qsizetype(qstrlen(prompt)));
            break;
        }
    }
    // The shell ends its output with a line end before the prompt; it is not part of the message unless
    // the message needs it to reach its listed size.
    if (text.endsWith(end) && text.size() - end.size() >= expectedSize)
        text.chop(end.size());
    return text;
}

void CMessageReception::HandleMessage(const QString& reply) {
    const QString modemFileName = echoedFileName(reply);
    if (modemFileName.isEmpty())
        return;
    const int number = int(Val(modemFileName.section(QLatin1Char('.'), 1)));

    const ListingRecord* listed = nullptr;
    for (const ListingRecord& r : std::as_const(m_listing))
        if (r.fileName().compare(modemFileName, Qt::CaseInsensitive) == 0)
            listed = &r;
    const ReceptionLogRecord* logged = nullptr;
    for (const ReceptionLogRecord& r : std::as_const(m_log))
        if (r.fileName.compare(modemFileName, Qt::CaseInsensitive) == 0)
            logged = &r;
    const qint32 expected = listed ? listed->size : logged ? logged->size : 0;
    const QString text = ExtractMessageText(reply, m_host.LineEnd(), expected);

    // The shell refused the fetch (the file was deleted after it was listed, for instance when a slow
    // batch outlived MessageTimer and a second listing queued it again): there is no message to store,
    // retry or delete. Whatever is still in the transceiver is listed and fetched by the next cycle.
    if ((!listed || text.size() < expected) && IsShellErrorLine(text)) {
        m_errorLog.AddLine(QStringLiteral("Fetching ") + modemFileName + QStringLiteral(" failed: ") + text.trimmed());
        ClearRxErrorCount(m_config.settings(), kRxKindInbox, number);
        endBatchIfIdle();
        return;
    }

    // Remote configuration packets are executed or refused there and never become mail.
    if (m_remoteConfigHandler && m_remoteConfigHandler(text, modemFileName)) {
        ClearRxErrorCount(m_config.settings(), kRxKindInbox, number);
        m_host.QueueCommand(QStringLiteral("delete ") + modemFileName, false, false);
        return;
    }

    if (text.size() < expected) {
        const int count = GetRxErrorCount(m_config.settings(), kRxKindInbox, number);
        if (count < kMaxAttempts) {
            IncrementRxErrorCount(m_config.settings(), kRxKindInbox, number);
            m_host.QueueCommand(TyCommand(modemFileName), true, false);
            return;
        }
        m_host.PostInformation(QStringLiteral("The message '") + modemFileName +
                               QStringLiteral("' was attempted received ") + QString::number(count) +
                               QStringLiteral(" times, but was received with errors."));
    }
    ClearRxErrorCount(m_config.settings(), kRxKindInbox, number);

    if (!logged)
        m_errorLog.AddLine(QStringLiteral("A message was received that was not found in the In Log"));

    quint8 priority = 0;
    QString storedPath;
    const StoreResult stored = store(modemFileName, text, logged, listed, &priority, &storedPath);
    if (stored == StoreResult::Failed) {
        endBatchIfIdle(); // the message stays in the transceiver; the next cycle tries again
        return;
    }
    m_host.QueueCommand(QStringLiteral("delete ") + modemFileName, false, false);
    if (stored == StoreResult::Stored) {
        alert(priority, text);
        if (m_storedObserver)
            m_storedObserver(storedPath, priority, modemFileName);
    }
    endBatchIfIdle();
}

void CMessageReception::loadStoredKeys() {
    if (m_keysLoaded)
        return;
    m_keysLoaded = true;
    m_inIdxKeys.clear();
    m_inIdxDiskNames.clear();
    m_inboxIdxKeys.clear();
    for (const InIdxRecord& r : m_inbox.ReadRecords()) {
        const QString key = ReceivedMessageKey(r.ModemFileName, r.LES, r.Refnumber, r.Received);
        m_inIdxKeys.insert(key);
        m_inIdxDiskNames.insert(key, r.DiskFileName);
    }
    for (const InboxIdxRecord& r : m_inbox.ReadInboxRecords())
        if (r.complete())
            m_inboxIdxKeys.insert(ReceivedMessageKey(r.ModemFileName, r.LES, r.Refnumber, r.Received));
}

CMessageReception::StoreResult CMessageReception::store(const QString& modemFileName, const QString& text,
                                                        const ReceptionLogRecord* logged, const ListingRecord* listed,
                                                        quint8* priority, QString* storedPath) {
    loadStoredKeys();
    InboxRecord r;
    r.ModemFileName = modemFileName;
    if (logged) {
        r.LES = logged->les;
        r.Priority = logged->priority;
        r.Bits = logged->presentation;
        r.Received = logged->received;
        r.Size = logged->size;
        r.Refnumber = logged->refNumber;
        r.Routing = logged->routing;
    } else {
        // Not in the reception log: keep what the listing knows, so the message still shows in the inbox.
        r.Received = listed ? listed->dateTime : m_clock.nowLocal();
        r.Size = qint32(text.size());
    }
    // IN.IDX needs the date with its time colon, or the line would lack a position and never be read.
    if (!r.Received.isValid())
        r.Received = listed && listed->dateTime.isValid() ? listed->dateTime : m_clock.nowLocal();
    r.Read = 0;
    const QString key = ReceivedMessageKey(r.ModemFileName, r.LES, r.Refnumber, r.Received);
    const bool inIdx = m_inIdxKeys.contains(key);
    const bool inBox = m_inboxIdxKeys.contains(key);
    if (inIdx && inBox)
        return StoreResult::AlreadyStored; // by an earlier cycle whose delete never arrived

    FileError error;
    QString createdBody;
    if (inIdx) {
        r.DiskFileName = m_inIdxDiskNames.value(key);
    } else {
        const QString folder = m_inbox.folder();
        r.DiskFileName = NextStoreFileName(folder, QStringLiteral("in"), m_clock.nowLocal().date());
        if (folder.isEmpty() || !m_inbox.SaveBody(r.DiskFileName, text, &error)) {
            if (!error.failed())
                error.description = QStringLiteral("The inbox folder is not usable");
            reportStoreFailure(error);
            return StoreResult::Failed;
        }
        createdBody = folder + r.DiskFileName;
        if (!m_inbox.AppendInIdx(r, &error)) {
            QFile::remove(createdBody); // no body without its index line
            reportStoreFailure(error);
            return StoreResult::Failed;
        }
        m_inIdxKeys.insert(key);
        m_inIdxDiskNames.insert(key, r.DiskFileName);
    }
    if (!m_inbox.AppendInboxIdx(r, &error)) {
        // IN.IDX holds the message already; the next cycle adds the missing Inbox.idx line only.
        reportStoreFailure(error);
        return StoreResult::Failed;
    }
    m_inboxIdxKeys.insert(key);
    m_storeErrorShown = false;
    *priority = r.Priority;
    *storedPath = m_inbox.folder() + r.DiskFileName;
    return StoreResult::Stored; // also when only the Inbox.idx line was missing: the first complete store
}

void CMessageReception::reportStoreFailure(const FileError& error) {
    const QString message = ErrorMessage(QStringLiteral("Inbox.HandleMessage"), error.number, error.description);
    m_errorLog.AddLine(message);
    if (m_storeErrorShown)
        return;
    m_storeErrorShown = true;
    QString text = message;
    if (IsDiskFullError(error.number))
        text += QStringLiteral("\r\n") + QStringLiteral("Due to this error, the message can not be saved.");
    m_host.ShowMessageQueued(text + QStringLiteral("\r\n") +
                                 QStringLiteral("The message stays in the transceiver and is fetched again later."),
                             QStringLiteral("Error"), MessageStyle::Critical);
}

void CMessageReception::alert(quint8 priority, const QString& text) {
    if (priority == 2) {
        m_host.ShowPriorityAlert(AlertKind::UrgencyMessage, text);
    } else if (priority == 3) {
        m_host.ShowPriorityAlert(AlertKind::DistressMessage, text);
    } else {
        m_host.PlayNewMessageSound();
        if (m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("NewMessageNotify"), {}) ==
            QLatin1String("1"))
            m_host.PostInformation(QStringLiteral("New message received"));
    }
    const int family = m_host.ProductType();
    if ((family == 4 || family == 5) &&
        m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintIncomingMsg"), {}) ==
            QLatin1String("1"))
        m_host.PrintText(text);
}

} // namespace tessaro
