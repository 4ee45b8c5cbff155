#pragma once

#include "messaging/inbox.h"
#include "messaging/reception_parsers.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

namespace tessaro {

class CConfiguration;
class IClock;
class IMessagingHost;
class cErrorLog;

// The message download cycle: "ls IN.*" -> "st -r" -> one "ty" per file (retried when short) -> store and
// index -> "delete". A message leaves the transceiver only after its body and both index lines are on
// disk; a message found already stored (a delete lost with the link) is not stored twice.
class CMessageReception final {
public:
    static constexpr int kMaxAttempts = 10;

    CMessageReception(CConfiguration& config, CInbox& inbox, IMessagingHost& host, cErrorLog& errorLog,
                      const IClock& clock);

    // Reply handlers, each given the whole reply (echo, output, prompt).
    void HandleListing(const QString& reply); // "ls IN.*"
    void HandleLog(const QString& reply);     // "st -r"
    void HandleMessage(const QString& reply); // "ty IN."
    void HandleDelete(const QString& reply);  // "delete IN."
    void MessageTimerExpired();

    // The "ty" line for a transceiver file (" -b" alone for the models that lack " -k").
    QString TyCommand(const QString& fileName) const;

    // Remote configuration seam: called with every complete received text before it is stored. Returns
    // true when the text carried a configuration packet and was dealt with; the message is then deleted
    // in the transceiver and never stored as mail. One handler answers.
    using RemoteConfigHandler = std::function<bool(const QString& text, const QString& modemFileName)>;
    void setRemoteConfigHandler(RemoteConfigHandler handler) { m_remoteConfigHandler = std::move(handler); }

    // Told once per message that reached the inbox for the first time (body and both index lines on disk,
    // its delete queued): the stored body's path, the priority 0..3 and the transceiver's file name.
    using StoredObserver = std::function<void(const QString& path, int priority, const QString& modemFileName)>;
    void setStoredObserver(StoredObserver observer) { m_storedObserver = std::move(observer); }

    const QVector<ListingRecord>& listing() const { return m_listing; }
    const QVector<ReceptionLogRecord>& log() const { return m_log; }

    // The message text inside a "ty" reply: after the echo line, before the final prompt.
    static QString ExtractMessageText(const QString& reply, const QString& lineEnd, qint32 expectedSize);
    // True when a fetched text is nothing but one shell error line ("ERROR 104: File IN.5 not found").
    static bool IsShellErrorLine(const QString& text);

private:
    RemoteConfigHandler m_remoteConfigHandler;
    StoredObserver m_storedObserver;
    enum class StoreResult { Failed, Stored, AlreadyStored };
    void endBatchIfIdle();
    StoreResult store(const QString& modemFileName, const QString& text, const ReceptionLogRecord* logRecord,
                      const ListingRecord* listed, quint8* priority, QString* storedPath);
    void loadStoredKeys();
    void reportStoreFailure(const FileError& error);
    void alert(quint8 priority, const QString& text);

    CConfiguration& m_config;
    CInbox& m_inbox;
    IMessagingHost& m_host;
    cErrorLog& m_errorLog;
    const IClock& m_clock;
    QVector<ListingRecord> m_listing;
    QVector<ReceptionLogRecord> m_log;
    // Keys of the messages already in IN.IDX and in Inbox.idx (read once, then kept up to date).
    bool m_keysLoaded = false;
    QSet<QString> m_inIdxKeys;
    QHash<QString, QString> m_inIdxDiskNames;
    QSet<QString> m_inboxIdxKeys;
    bool m_storeErrorShown = false;
};

// Identity of a received message across cycles: transceiver file, LES, reference and received time.
QString ReceivedMessageKey(const QString& modemFileName, qint64 les, qint64 refNumber, const QDateTime& received);

} // namespace tessaro
