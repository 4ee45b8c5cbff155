#pragma once

#include "egc/egc_idx.h"
#include "egc/egc_types.h"
#include "messaging/index_file.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

namespace tessaro {

class CSession;
class ModuleContext;

// FileErrorText of the store's error messages: what the operator can do about a failed save (empty when
// the error number has no advice).
QString EgcFileErrorText(qint64 errorNumber, const QString& path);

// The EGC fetch cycle and the local EGC store: "ls EGC.*" -> "st -e" -> one "ty" per new EGC marked for
// saving -> body file and EGC.IDX line -> "delete". An EGC leaves the transceiver only after its body and
// its index line are on disk, and the last-EGC keys never move past an EGC that could not be stored.
class CEGC final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxAttempts = 10;
    // The store is kept above this much free space (kB) by evicting older EGCs.
    static constexpr qint64 kMinFreeKb = 512;

    CEGC(ModuleContext& context, CSession& session, QObject* parent = nullptr);

    // Reply handlers, each given the whole reply (echo, output, prompt).
    void HandleListing(const QString& reply);  // "ls EGC.*"
    void HandleLogReply(const QString& reply); // "st -e"
    void Transfer(const QString& reply);       // "ty EGC."
    void HandleDelete(const QString& reply);   // "delete EGC."
    // The link went down: the cycle's fetches go (the next cycle lists again), the deletes of EGCs already
    // stored stay queued for when the transceiver answers again.
    void LinkLost();

    // Steps of the cycle, public for the windows and tests.
    bool DecodeEGCs(const QString& reply);
    void DecodeEgcLog(const QString& reply);
    void HandleEGCLog(const QString& reply);
    // The "ty" line for a transceiver file (" -b" alone for the models that lack " -k").
    QString TyCommand(const QString& name) const;

    // The store.
    QString egcFolder() const;
    QString indexPath() const;
    // Disk file name of the oldest stored EGC of that priority, or empty.
    QString FindOldestEGC(int priority) const;
    // Removes every EGC.IDX line of that disk file and the file itself; true when a line was removed.
    bool DeleteEGC(const QString& diskFileName);
    bool Clean(int priority);
    // Evicts the oldest EGC of the lowest priority present, up to highestPriority; true when one went.
    bool FreeEgcSpace(int highestPriority);
    // User deletion: the body file and every index line naming it; true when anything was removed.
    bool DeleteStoredEgc(const QString& diskFileName);
    bool MarkUnread(const QString& diskFileName);
    // Opening an EGC marks it read ("Yes"), as opening a received message does; false when nothing changed.
    bool MarkRead(const QString& diskFileName);
    // Fills in the "Unk" lines of EGC.IDX from the EGC log parsed last.
    void RepairEgcLog();
    // Start-up: recovers an interrupted index rewrite and creates a missing EGC.IDX.
    void CheckStore();

    const QVector<EgcFileEntry>& fileList() const { return m_files; }
    const QVector<EgcLogEntry>& log() const { return m_log; }
    bool IsFileListLoaded() const { return m_fileListLoaded; }
    bool IsLogLoaded() const { return !m_log.isEmpty(); }
    int CountFiles() const { return int(m_files.size()); }
    int CountLog() const { return int(m_log.size()); }
    bool UpdateEgcLog() const { return m_updateEgcLog; }
    const QString& CurrentEgcName() const { return m_currentName; }

    // Each reception counts one character short (the debug menu's damaged-reception simulation).
    void setSimulateRxError(bool on) { m_simulateRxError = on; }
    bool simulateRxError() const { return m_simulateRxError; }
    // Free kB of the drive holding a folder, -1 when unknown.
    using FreeDiskProbe = std::function<qint64(const QString& folder)>;
    void setFreeDiskProbe(FreeDiskProbe probe) { m_freeDisk = std::move(probe); }
    qint64 FreeDiskKb(const QString& folder) const;

    // Remote configuration seam: given every fetched EGC text and whether the settings allow remote
    // configuration, returns true when the text was a configuration packet (executed when allowed). Such
    // an EGC is deleted in the transceiver and never stored. Without a handler nothing is a packet.
    using RemoteConfigHandler = std::function<bool(const QString& text, bool allowed)>;
    void setRemoteConfigHandler(RemoteConfigHandler handler) { m_remoteConfig = std::move(handler); }

Q_SIGNALS:
    void egcStored(const tessaro::EgcIdxRecord& record, const QString& text);
    // The same event for whoever wants only the file: kind "egc", priority 0..3, the transceiver's file name.
    void stored(const QString& path, const QString& kind, int priority, const QString& modemFileName);
    void indexChanged();
    void enidDownloaded();
    void printRequested(const QString& text);

private:
    bool setReadFlag(const QString& diskFileName, bool read);
    bool completenessChecked(const EgcFileEntry* listed) const;
    void store(const EgcLogEntry& entry, const QString& text);
    // Whether EGC.IDX holds this very file already: same transceiver name and reference, same bytes. A run
    // that ended between storing and deleting leaves such EGCs in the transceiver.
    bool alreadyStored(const EgcLogEntry& entry, const QByteArray& bytes) const;
    void storeFailed(const FileError& error, const QString& path);
    void fetchFailed(const QString& why);
    // Ends the cycle at the EGC in hand: its later EGCs are fetched by the next cycle.
    void endCycleAt();
    void advanceLastEgc(const EgcLogEntry& entry);
    void endCycle();
    void endCycleIfIdle();
    // Writes EGC.IDX whole; on failure tells the operator with the procedure's name.
    bool rewriteIndex(const QStringList& lines, const QString& scope);
    QStringList readIndex() const;

    ModuleContext& m_context;
    CSession& m_session;
    QVector<EgcFileEntry> m_files;
    bool m_fileListLoaded = false;
    QVector<EgcLogEntry> m_log;
    bool m_updateEgcLog = false;
    QString m_currentName;
    QString m_currentNumber;
    bool m_simulateRxError = false;
    FreeDiskProbe m_freeDisk;
    RemoteConfigHandler m_remoteConfig;
    // Unmarked EGCs stay in the transceiver and are listed every cycle: their error-log line is written once.
    QSet<QString> m_unmarkedLogged;
};

} // namespace tessaro
