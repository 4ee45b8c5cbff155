#include "messaging/message_store.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "messaging/index_file.h"
#include "messaging/les_lists.h"

#include <QDir>
#include <QFileInfo>

namespace tessaro {

namespace {
struct FolderSpec {
    QLatin1String key;
    QLatin1String defaultName;
    QLatin1String resetMessage; // empty: the reset is not announced
};

const FolderSpec kFolders[] = {
    {kAddressBookKey, QLatin1String("Addressbook"),
     QLatin1String("The directory of contacts file has been changed to '")},
    {kDraftsKey, QLatin1String("Drafts"), QLatin1String()},
    {kEgcKey, QLatin1String("Egc"), QLatin1String("The directory of saved EGCs has been changed to '")},
    {kInboxKey, QLatin1String("Inbox"), QLatin1String("The directory of inbox has been changed to '")},
    {kOutboxKey, QLatin1String("Sent items"), QLatin1String("The directory of outbox has been changed to '")},
    {kSavedFilesKey, QLatin1String("Saved files"), QLatin1String()},
};

bool makeFolder(const QString& path) {
    // An empty value would name the working directory, which is not a store folder.
    if (path.isEmpty())
        return false;
    return QDir().mkpath(path) && QFileInfo(path).isDir();
}

QString counterKey(int kind) {
    if (kind == kRxKindEgc)
        return QStringLiteral("EgcRxErrors");
    if (kind == kRxKindInbox)
        return QStringLiteral("InMsgRxErrors");
    return {};
}

const QLatin1String kMessagesSection("Messages");

// Position of ";" + number + "," in the counter string, and the end of that entry.
bool findEntry(const QString& value, int number, qsizetype* start, qsizetype* end) {
    const QString tag = QLatin1Char(';') + QString::number(number) + QLatin1Char(',');
    const qsizetype at = value.indexOf(tag);
    if (at < 0)
        return false;
    *start = at;
    qsizetype e = value.indexOf(QLatin1Char(';'), at + 1);
    *end = e < 0 ? value.size() : e;
    return true;
}
} // namespace

QString StoreFolderPath(CConfiguration& config, const QString& key) {
    const QString value = config.GetIni(key).trimmed();
    return value.isEmpty() ? QString() : WithTrailingSeparator(value);
}

StoreCheckResult CheckStoreFolders(CConfiguration& config, cInfoLog* infoLog) {
    StoreCheckResult result;
    for (const FolderSpec& folder : kFolders) {
        const QString configured = StoreFolderPath(config, folder.key);
        if (makeFolder(configured))
            continue;
        const QString fallback = config.DataPath() + folder.defaultName + QLatin1Char('/');
        if (!makeFolder(fallback)) {
            result.failures << QStringLiteral("Folder '%1' could not be created.").arg(fallback);
            continue;
        }
        config.SetIni(folder.key, fallback, true);
        if (folder.resetMessage.size() > 0) {
            const QString text = folder.resetMessage + fallback + QStringLiteral("'.");
            result.infoMessages << text;
            if (infoLog)
                infoLog->AddInfo(QStringLiteral("INFO: ") + text);
        }
    }

    const QString inbox = StoreFolderPath(config, kInboxKey);
    const QString outbox = StoreFolderPath(config, kOutboxKey);
    // Work files first: a restored index must not be replaced by a fresh empty one.
    const auto recover = [&result](const QString& folder, const QString& index, const QString& work) {
        const QString done = RecoverIndexWorkFile(CaseBlindPath(folder, index), CaseBlindPath(folder, work));
        if (!done.isEmpty())
            result.repairs << done;
    };
    if (!outbox.isEmpty())
        recover(outbox, QStringLiteral("OUT.IDX"), QStringLiteral("OUT.BAK"));
    const QString egc = StoreFolderPath(config, kEgcKey);
    if (!egc.isEmpty()) {
        recover(egc, QStringLiteral("EGC.IDX"), QStringLiteral("egc.tmp"));
        recover(egc, QStringLiteral("EGC.IDX"), QStringLiteral("EGC.BAK"));
    }
    if (!inbox.isEmpty()) {
        recover(inbox, QStringLiteral("IN.IDX"), QStringLiteral("In.bak"));
        recover(inbox, QStringLiteral("Inbox.idx"), QStringLiteral("Inbox.bak"));
    }

    const std::pair<QString, QLatin1String> files[] = {
        {egc, QLatin1String("EGC.IDX")},
        {inbox, QLatin1String("IN.IDX")},
        {outbox, QLatin1String("OUT.IDX")},
        {StoreFolderPath(config, kAddressBookKey), QLatin1String("address.dat")},
    };
    for (const auto& [folder, name] : files) {
        const bool outIdx = name == QLatin1String("OUT.IDX");
        if (folder.isEmpty()) {
            result.outboxIndexMissing = result.outboxIndexMissing || outIdx;
            continue;
        }
        const QString path = CaseBlindPath(folder, name);
        if (EnsureFileExists(path))
            continue;
        if (outIdx)
            result.outboxIndexMissing = true; // told with its own warning
        else
            result.failures << QStringLiteral("File '%1' could not be created.").arg(path);
    }
    // The LES lists and the provider list live in the data folder itself.
    result.failures << WriteMissingListFiles(config.DataPath());
    return result;
}

QString SentItemsWarningText(const QString& dataPath, const QString& iniPath) {
    const QString name = QStringLiteral("Tessaro");
    return QStringLiteral("Default Sent Items Directory (") + dataPath +
           QStringLiteral("SentItems\\ and index file not found!") + QStringLiteral("\r\n\r\n") +
           QStringLiteral("This might be because the ") + name + QStringLiteral(".ini file is from an older ") + name +
           QStringLiteral(" installation.") + QStringLiteral("\r\n\r\n") + QStringLiteral("Please delete ") + iniPath +
           QStringLiteral(" and restart ") + name + QLatin1Char('.');
}

QString NextStoreFileName(const QString& folder, const QString& extension, const QDate& day) {
    const QString stem = day.toString(QStringLiteral("yyMMdd"));
    for (int counter = 1;; ++counter) {
        const QString name =
            stem + QStringLiteral("%1").arg(counter, 2, 10, QLatin1Char('0')) + QLatin1Char('.') + extension;
        if (!QFileInfo::exists(folder + name))
            return name;
    }
}

quint8 GetRxErrorCount(ISettingsStore& settings, int kind, int number) {
    const QString key = counterKey(kind);
    if (key.isEmpty())
        return 0;
    const QString value = settings.GetSettingValue(kMessagesSection, key, QString());
    qsizetype start = 0;
    qsizetype end = 0;
    if (!findEntry(value, number, &start, &end))
        return 0;
    const QString entry = value.mid(start, end - start);
    const qint64 count = entry.section(QLatin1Char(','), 1, 1).toLongLong();
    return quint8(qBound(qint64(0), count, qint64(255)));
}

void IncrementRxErrorCount(ISettingsStore& settings, int kind, int number) {
    const QString key = counterKey(kind);
    if (key.isEmpty())
        return;
    QString value = settings.GetSettingValue(kMessagesSection, key, QString());
    const int count = qMin(255, int(GetRxErrorCount(settings, kind, number)) + 1);
    const QString entry = QLatin1Char(';') + QString::number(number) + QLatin1Char(',') + QString::number(count);
    qsizetype start = 0;
    qsizetype end = 0;
    if (findEntry(value, number, &start, &end))
        value.replace(start, end - start, entry);
    else
        value += entry;
    settings.SaveSettingValue(kMessagesSection, key, value);
}

void ClearRxErrorCount(ISettingsStore& settings, int kind, int number) {
    const QString key = counterKey(kind);
    if (key.isEmpty())
        return;
    QString value = settings.GetSettingValue(kMessagesSection, key, QString());
    qsizetype start = 0;
    qsizetype end = 0;
    if (!findEntry(value, number, &start, &end))
        return;
    value.remove(start, end - start);
    settings.SaveSettingValue(kMessagesSection, key, value);
}

} // namespace tessaro
