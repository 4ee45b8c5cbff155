#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace tessaro {

class CConfiguration;
class ISettingsStore;
class cInfoLog;

// Folder keys of the message store, in the order the start-up check visits them.
inline const QLatin1String kAddressBookKey("[addressbook]");
inline const QLatin1String kDraftsKey("[Drafts]");
inline const QLatin1String kEgcKey("[egc]");
inline const QLatin1String kInboxKey("[inbox]");
inline const QLatin1String kOutboxKey("[outbox]");
inline const QLatin1String kSavedFilesKey("[Saved files]");

// The configured folder of a key, always ending with "/" (empty when the key holds nothing).
QString StoreFolderPath(CConfiguration& config, const QString& key);

struct StoreCheckResult {
    QStringList infoMessages;        // folders that had to be reset, as told to the operator
    QStringList repairs;             // index work files recovered or removed
    QStringList failures;            // folders or index files that could not be made
    bool outboxIndexMissing = false; // OUT.IDX neither found nor made: the operator gets SentItemsWarningText
};

// The warning shown when the outbox index can neither be opened nor created (a configuration that names
// folders of another installation). Title "Sent Items directory warning!".
inline const QLatin1String kSentItemsWarningTitle("Sent Items directory warning!");
QString SentItemsWarningText(const QString& dataPath, const QString& iniPath);

// Start-up check of the store: writes the missing LES and provider lists, creates each configured folder, falls back to
// the data folder's default sub-folder (and stores that path) when the configured one cannot be made, creates the
// missing index files, and repairs what an interrupted index rewrite left behind. The reset messages also go to the
// information log when one is given.
StoreCheckResult CheckStoreFolders(CConfiguration& config, cInfoLog* infoLog);

// "yymmdd" of the day + a counter of at least two digits + "." + extension: the first name not yet taken
// in folder (counter from 1). Used for out files ("out"), received messages ("in") and EGCs ("egc").
QString NextStoreFileName(const QString& folder, const QString& extension, const QDate& day);

// Failed-reception counters kept in the settings store, section "Messages": kind 1 = EGC ("EgcRxErrors"),
// kind 2 = inbox ("InMsgRxErrors"); any other kind reads 0 and writes nothing. The value is a string of
// ";" + number + "," + count entries.
inline constexpr int kRxKindEgc = 1;
inline constexpr int kRxKindInbox = 2;
quint8 GetRxErrorCount(ISettingsStore& settings, int kind, int number);
void IncrementRxErrorCount(ISettingsStore& settings, int kind, int number);
void ClearRxErrorCount(ISettingsStore& settings, int kind, int number);

} // namespace tessaro
