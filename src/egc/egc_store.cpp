#include "egc/egc_store.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "egc/egc_codes.h"
#include "egc/egc_parsers.h"
#include "messaging/message_store.h"
#include "messaging/reception.h"
#include "status/module_context.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QFile>

#include <cerrno>

namespace tessaro {

namespace {
const QLatin1String kTyEgc("ty EGC.");
const QLatin1String kDeleteEgc("delete EGC.");
const QLatin1String kLastNumberKey("[LastEgcNumber]");
const QLatin1String kLastDateKey("[LastEgcDate]");
const QLatin1String kNotSaved("Due to this error, Tessaro might not have saved the EGC.");

qint64 probeFreeKb(const QString& folder) {
    const std::optional<DiskSpace> space = FreeDiskSpace(folder);
    return space ? space->freeKBytes : -1;
}

// Date and time of an index line for the eviction order; invalid when the line holds none.
QDateTime storedDateTime(const EgcIdxRecord& r) {
    QString date = r.DateHour.section(QLatin1Char(' '), 0, 0);
    const QString hour = r.DateHour.section(QLatin1Char(' '), 1).trimmed();
    const QString year = date.section(QLatin1Char('-'), 0, 0);
    if (IsNumeric(year) && year.size() <= 2) {
        const qint64 y = Val(year);
        date = (y >= 80 ? QStringLiteral("19") : QStringLiteral("20")) + year.rightJustified(2, QLatin1Char('0')) +
               date.mid(year.size());
    }
    return EgcDateTime(date, hour + QLatin1Char(':') + r.Minutes.trimmed());
}

bool sameFile(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}
} // namespace

QString EgcFileErrorText(qint64 errorNumber, const QString& path) {
    if (errorNumber == 61 || IsDiskFullError(errorNumber))
        return QStringLiteral("Could not save the file '") + path + QStringLiteral("'.") + kCrLf +
               QStringLiteral("Message not saved due to very low disk space. Information was lost. ") + kCrLf +
               QStringLiteral("Please provide more space on the disk drive immediately by removing unused files.");
    if (errorNumber == 70 || errorNumber == 75 || errorNumber == 76 || errorNumber == EACCES || errorNumber == EPERM ||
        errorNumber == EROFS || errorNumber == ENOENT)
        return QStringLiteral("Could not open the file '") + path + QStringLiteral("'.") + kCrLf +
               QStringLiteral("Please make sure you have write access to this directory and file, and that the "
                              "file is not opened by another process.");
    return {};
}

CEGC::CEGC(ModuleContext& context, CSession& session, QObject* parent)
    : QObject(parent), m_context(context), m_session(session), m_freeDisk(probeFreeKb) {}

QString CEGC::egcFolder() const {
    CConfiguration& config = m_context.config();
    const QString folder = StoreFolderPath(config, kEgcKey);
    return folder.isEmpty() ? config.DataPath() + QStringLiteral("Egc/") : folder;
}

QString CEGC::indexPath() const {
    return CaseBlindPath(egcFolder(), EgcIdx::kFileName);
}

QString CEGC::TyCommand(const QString& name) const {
    const int model = m_session.ProductModel();
    return QStringLiteral("ty ") + name + (model == 1 || model == 6 ? QStringLiteral(" -b") : QStringLiteral(" -b -k"));
}

qint64 CEGC::FreeDiskKb(const QString& folder) const {
    const qint64 kb = m_freeDisk ? m_freeDisk(folder) : -1;
    m_context.debugLog().AddLine(QStringLiteral("Diskspace: %1 kBytes").arg(kb));
    return kb;
}

// --- the fetch cycle

void CEGC::endCycle() {
    m_session.SetProcessingEgcs(false);
    m_context.stopTimer(TerminalTimer::Egc);
}

void CEGC::endCycleIfIdle() {
    if (!m_context.isQueued(kTyEgc) && !m_context.isQueued(kDeleteEgc))
        endCycle();
}

void CEGC::HandleListing(const QString& reply) {
    if (m_session.ProcessingEgcs())
        return; // a cycle runs already; its own listing drives it
    m_session.SetProcessingEgcs(true);
    m_context.startTimer(TerminalTimer::Egc);
    if (DecodeEGCs(reply))
        m_context.QueueCommand(QStringLiteral("st -e"));
    else
        endCycle();
}

bool CEGC::DecodeEGCs(const QString& reply) {
    const QVector<EgcFileEntry> listed = DecodeEGCFileList(reply);
    m_fileListLoaded = !listed.isEmpty();
    CConfiguration& config = m_context.config();
    if (listed.isEmpty()) {
        // The transceiver holds no EGC: whatever it numbers next is new, whatever its number.
        config.SetIni(kLastNumberKey, QString());
        config.SetIni(kLastDateKey, QString());
    }
    m_files = NewEgcEntries(listed, config.GetIni(kLastNumberKey), config.GetIni(kLastDateKey));
    return !m_files.isEmpty();
}

void CEGC::DecodeEgcLog(const QString& reply) {
    m_log = tessaro::DecodeEgcLog(reply);
    m_updateEgcLog = false;
}

void CEGC::HandleLogReply(const QString& reply) {
    if (m_updateEgcLog) {
        DecodeEgcLog(reply);
        RepairEgcLog();
        // Asked for by a fetch that is still being handled: the repair is all this table is for. Otherwise
        // it is the log a new cycle waits for (the repair request was lost with the link).
        if (!m_session.ProcessingEgcs() || m_context.isQueued(kTyEgc) || m_context.isQueued(kDeleteEgc))
            return;
    }
    // A cycle is still deleting what it fetched: this table belongs to a repair request, not a new fetch.
    if (m_context.isQueued(kDeleteEgc))
        return;
    HandleEGCLog(reply);
}

void CEGC::HandleEGCLog(const QString& reply) {
    DecodeEgcLog(reply);
    for (const EgcFileEntry& e : std::as_const(m_files)) {
        if (e.Name.isEmpty())
            continue;
        if (!EgcMarkedForSaving(reply, e.Name)) {
            if (!m_unmarkedLogged.contains(e.Name.toUpper())) {
                m_unmarkedLogged.insert(e.Name.toUpper());
                m_context.errorLog().AddLine(e.Name + QStringLiteral(" not saved: EGC not marked for saving"));
            }
            continue;
        }
        m_context.QueueCommand(TyCommand(e.Name));
    }
    if (!m_context.isQueued(kTyEgc))
        endCycle();
}

void CEGC::HandleDelete(const QString&) {
    if (!m_context.isQueued(kDeleteEgc))
        endCycle();
}

void CEGC::LinkLost() {
    m_context.removeQueued([](QStringView line) {
        return line.startsWith(kTyEgc, Qt::CaseInsensitive) || line == QLatin1String("st -e");
    });
    endCycle();
}

bool CEGC::completenessChecked(const EgcFileEntry* listed) const {
    const int model = m_session.ProductModel();
    const CConfiguration& config = m_context.config();
    // The control unit's version comes only from discovery on the LAN: unknown (0.0) when the unit was reached
    // directly. Left unchecked, a cut reception would be stored and the whole EGC deleted in the transceiver.
    const bool tcuUnknown = config.GetTcuSwMajor() == 0 && config.GetTcuSwMinor() == 0;
    const bool tcuCapable = config.GetTcuSwMajor() == 1 && config.GetTcuSwMinor() >= 3;
    return model != 1 && model != 6 && listed && m_session.MinicSwMajor() == 1 && m_session.MinicSwMinor() >= 3 &&
           (tcuUnknown || tcuCapable);
}

void CEGC::Transfer(const QString& reply) {
    const QString name = EgcNameOfTyReply(reply);
    if (name.isEmpty())
        return; // nothing but an echo: there is no text to store
    m_currentName = name;
    m_currentNumber = name.right(3);
    const QString text = ExtractEgcMsgFromBuffer(reply, m_context.promptText());
    const int number = int(Val(m_currentNumber));

    // The shell refused the fetch (the file went after it was listed), or the reply lacks the lines in front
    // of the text: nothing to store, retry or delete.
    QString output = reply.section(QLatin1Char('\n'), 1);
    const QString prompt = m_context.promptText();
    if (!prompt.isEmpty() && output.endsWith(prompt))
        output.chop(prompt.size());
    if (CMessageReception::IsShellErrorLine(output) || reply.count(QLatin1Char('\n')) < 3) {
        fetchFailed(QStringLiteral("Fetching ") + m_currentName + QStringLiteral(" failed: ") +
                    FlattenText(output).trimmed());
        return;
    }

    const EgcFileEntry* listed = nullptr;
    for (const EgcFileEntry& e : std::as_const(m_files))
        if (sameFile(e.Name, m_currentName))
            listed = &e;

    CConfiguration& config = m_context.config();
    if (m_remoteConfig) {
        const bool allowed = Val(config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("AllowRemoteConfig"),
                                                        QStringLiteral("1"))) != 0;
        if (m_remoteConfig(text, allowed)) {
            m_context.QueueCommand(QStringLiteral("delete ") + m_currentName);
            return;
        }
    }

    const EgcLogEntry* logged = nullptr;
    for (const EgcLogEntry& e : std::as_const(m_log))
        if (!logged && sameFile(e.FileName, m_currentName))
            logged = &e;
    EgcLogEntry entry;
    if (logged) {
        entry = *logged;
    } else {
        // Stored now with what the listing knows; the next "st -e" fills in its index line.
        m_updateEgcLog = true;
        m_context.QueueCommand(QStringLiteral("st -e"));
        entry.FileName = m_currentName;
        entry.Date = listed ? listed->Date : QStringLiteral("Unknown");
        entry.Time = listed ? listed->Time : QStringLiteral("Unknown");
        entry.Size = listed ? listed->Size : -1;
    }

    if (entry.Service == 33) {
        m_context.notifier().statusLine(m_context.clock().nowLocal().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                                            QStringLiteral(": New ENID Downloaded"),
                                        kStatusLineNormal);
        advanceLastEgc(entry);
        m_context.QueueCommand(QStringLiteral("delete ") + m_currentName);
        Q_EMIT enidDownloaded();
        return;
    }

    if (completenessChecked(listed)) {
        const qint64 expected = qint64(listed->Size) + (m_simulateRxError ? 1 : 0);
        if (text.size() < expected && IsNumeric(m_currentNumber)) {
            const int count = GetRxErrorCount(config.settings(), kRxKindEgc, number);
            if (count < kMaxAttempts) {
                IncrementRxErrorCount(config.settings(), kRxKindEgc, number);
                m_context.QueueCommand(QStringLiteral("ty ") + m_currentName + QStringLiteral(" -b -k"), true);
                return;
            }
            m_context.notifier().showMessage(
                FormatText(QStringLiteral("The EGC message '%0' was attempted received %1 times, but was received "
                                          "with errors."),
                           {m_currentName, QString::number(count)}),
                QStringLiteral("Info"));
        }
        ClearRxErrorCount(config.settings(), kRxKindEgc, number);
    }

    store(entry, text);
}

bool CEGC::alreadyStored(const EgcLogEntry& entry, const QByteArray& bytes) const {
    for (const QString& line : readIndex()) {
        const std::optional<EgcIdxRecord> r = EgcIdx::parse(line);
        if (!r || !sameFile(r->ModemFileName, entry.FileName) || r->RefNo != entry.RefNo)
            continue;
        QFile body(CaseBlindPath(egcFolder(), r->DiskFileName.trimmed()));
        if (body.open(QIODevice::ReadOnly) && body.size() == bytes.size() && body.readAll() == bytes)
            return true;
    }
    return false;
}

void CEGC::store(const EgcLogEntry& entry, const QString& text) {
    if (alreadyStored(entry, text.toLatin1())) {
        // Stored by an earlier run: finish what it left undone, without a second copy or alarm.
        advanceLastEgc(entry);
        m_context.QueueCommand(QStringLiteral("delete ") + m_currentName);
        return;
    }
    const QString folder = egcFolder();
    // An EGC of unknown priority may only push out Routine EGCs.
    const int priority = entry.Priority >= 0 && entry.Priority <= 3 ? entry.Priority : 0;
    // An unreadable disk figure (-1) is no reason to evict anything.
    for (qint64 kb = FreeDiskKb(folder); kb >= 0 && kb <= kMinFreeKb; kb = FreeDiskKb(folder))
        if (!FreeEgcSpace(priority))
            break;

    const QString diskName = NextStoreFileName(folder, QStringLiteral("egc"), m_context.clock().nowLocal().date());
    const QString bodyPath = folder + diskName;
    FileError error;
    if (!WriteWholeFile(bodyPath, text.toLatin1(), &error)) {
        storeFailed(error, bodyPath);
        return;
    }
    const EgcIdxRecord record = EgcIdx::fromLog(entry, diskName);
    if (!AppendIndexLine(indexPath(), EgcIdx::format(record), &error)) {
        QFile::remove(bodyPath); // no body without its index line
        storeFailed(error, indexPath());
        return;
    }
    Q_EMIT egcStored(record, text);
    if (entry.Priority == 2 || entry.Priority == 3)
        m_context.notifier().alert(entry.Priority == 3 ? AlertKind::EgcDistress : AlertKind::EgcUrgent,
                                   ConvertEGCPriorityNo(entry.Priority) + QStringLiteral(" EGC ") + m_currentName +
                                       QStringLiteral(" (") + ConvertEGCServiceNo(entry.Service) +
                                       QStringLiteral(") stored as ") + diskName);
    advanceLastEgc(entry);
    m_context.QueueCommand(QStringLiteral("delete ") + m_currentName);
    Q_EMIT stored(bodyPath, QStringLiteral("egc"), entry.Priority, m_currentName);

    const int family = m_session.ProductType();
    if ((family == 4 || family == 5) &&
        Val(m_context.config().GetSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintEgcs"),
                                               QStringLiteral("0"))) == 1) {
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
        Q_EMIT printRequested(lineEnd < 0 ? QString() : text.mid(lineEnd + 1));
    }
}

void CEGC::storeFailed(const FileError& error, const QString& path) {
    QString text;
    if (IsDiskFullError(error.number))
        text = QStringLiteral("(EGC.Transfer) Error: Not enough disk space.") + kCrLf + kNotSaved;
    else
        text = ErrorMessage(QStringLiteral("EGC.Transfer"), error.number, error.description) + kCrLf +
               EgcFileErrorText(error.number, path) + kCrLf + kNotSaved;
    m_context.errorLog().AddLine(FlattenText(text));
    m_context.notifier().showMessage(text,
                                     IsDiskFullError(error.number)
                                         ? QStringLiteral("Error")
                                         : QStringLiteral("Error") + QString::number(error.number),
                                     MessageStyle::Critical);
    endCycleAt();
}

void CEGC::fetchFailed(const QString& why) {
    m_context.errorLog().AddLine(why);
    endCycleAt();
}

void CEGC::endCycleAt() {
    // Later EGCs of this cycle would move the last-EGC keys past this one and it would never be fetched
    // again: the cycle ends here. The deletes of EGCs already stored stay queued.
    m_context.removeQueued([](QStringView line) { return line.startsWith(kTyEgc, Qt::CaseInsensitive); });
    endCycleIfIdle();
}

void CEGC::advanceLastEgc(const EgcLogEntry& entry) {
    CConfiguration& config = m_context.config();
    config.SetIni(kLastNumberKey, m_currentNumber);
    config.SetIni(kLastDateKey, entry.Date + QLatin1Char(' ') + entry.Time, true);
}

// --- the store

QStringList CEGC::readIndex() const {
    return ReadIndexLines(indexPath());
}

bool CEGC::rewriteIndex(const QStringList& lines, const QString& scope) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    FileError error;
    if (WriteWholeFile(indexPath(), bytes, &error))
        return true;
    const QString text = ErrorMessage(scope, error.number, error.description);
    m_context.errorLog().AddLine(text);
    m_context.notifier().showMessage(text, QStringLiteral("Error"), MessageStyle::Critical);
    return false;
}

QString CEGC::FindOldestEGC(int priority) const {
    QString oldest;
    QDateTime oldestTime;
    for (const QString& line : readIndex()) {
        const std::optional<EgcIdxRecord> r = EgcIdx::parse(line);
        if (!r || !IsNumeric(r->stored.value(EgcIdx::Priority)) || r->Priority != priority)
            continue;
        const QDateTime t = storedDateTime(*r);
        if (!t.isValid())
            continue;
        if (oldest.isEmpty() || t < oldestTime) {
            oldest = r->DiskFileName.trimmed();
            oldestTime = t;
        }
    }
    return oldest;
}

bool CEGC::DeleteEGC(const QString& diskFileName) {
    if (diskFileName.trimmed().isEmpty())
        return false;
    QStringList kept;
    bool removed = false;
    for (const QString& line : readIndex()) {
        const std::optional<EgcIdxRecord> r = EgcIdx::parse(line);
        if (r && sameFile(r->DiskFileName, diskFileName)) {
            removed = true;
            continue;
        }
        kept << line;
    }
    if (removed && !rewriteIndex(kept, QStringLiteral("EGC.DeleteEGC")))
        return false; // the line stays, so the body stays too
    QFile::remove(CaseBlindPath(egcFolder(), diskFileName.trimmed()));
    if (removed)
        Q_EMIT indexChanged();
    return removed;
}

bool CEGC::Clean(int priority) {
    const QString oldest = FindOldestEGC(priority);
    return !oldest.isEmpty() && DeleteEGC(oldest);
}

bool CEGC::FreeEgcSpace(int highestPriority) {
    for (int p = 0; p <= std::min(highestPriority, 3); ++p)
        if (Clean(p))
            return true;
    return false;
}

bool CEGC::DeleteStoredEgc(const QString& diskFileName) {
    const QString name = diskFileName.trimmed();
    if (name.isEmpty())
        return false;
    const QString body = CaseBlindPath(egcFolder(), name);
    const bool hadBody = QFile::exists(body);
    const bool removedLine = DeleteEGC(name);
    return removedLine || (hadBody && !QFile::exists(body));
}

bool CEGC::MarkUnread(const QString& diskFileName) {
    return setReadFlag(diskFileName, false);
}

bool CEGC::MarkRead(const QString& diskFileName) {
    return setReadFlag(diskFileName, true);
}

bool CEGC::setReadFlag(const QString& diskFileName, bool read) {
    QStringList lines = readIndex();
    bool changed = false;
    for (QString& line : lines) {
        std::optional<EgcIdxRecord> r = EgcIdx::parse(line);
        if (!r || !sameFile(r->DiskFileName, diskFileName) || r->unread() != read)
            continue;
        r->Read = read ? QStringLiteral("Yes") : QStringLiteral("No");
        const QString updated = EgcIdx::format(*r);
        changed = changed || updated != line;
        line = updated;
    }
    if (!changed ||
        !rewriteIndex(lines, read ? QStringLiteral("MainForm.MarkRead") : QStringLiteral("MainForm.MarkUnread")))
        return false;
    Q_EMIT indexChanged();
    return true;
}

void CEGC::RepairEgcLog() {
    if (m_log.isEmpty())
        return;
    QStringList lines = readIndex();
    bool changed = false;
    for (QString& line : lines) {
        const std::optional<EgcIdxRecord> r = EgcIdx::parse(line);
        if (!r || !r->lesUnknown())
            continue;
        for (const EgcLogEntry& e : std::as_const(m_log)) {
            if (sameFile(e.FileName, r->ModemFileName)) {
                line = EgcIdx::format(EgcIdx::repaired(*r, e));
                changed = true;
                break;
            }
        }
    }
    if (changed && rewriteIndex(lines, QStringLiteral("UpdateIndexFile")))
        Q_EMIT indexChanged();
}

void CEGC::CheckStore() {
    const QString folder = egcFolder();
    const QString index = CaseBlindPath(folder, EgcIdx::kFileName);
    for (const QLatin1String work : {EgcIdx::kWorkFileName, QLatin1String("EGC.BAK")}) {
        const QString done = RecoverIndexWorkFile(index, CaseBlindPath(folder, work));
        if (!done.isEmpty())
            m_context.errorLog().AddLine(QStringLiteral("EGC store: ") + done);
    }
    FileError error;
    if (!EnsureFileExists(CaseBlindPath(folder, EgcIdx::kFileName), &error))
        m_context.notifier().showMessage(QStringLiteral("File '%1' could not be created.").arg(index),
                                         QStringLiteral("Error"), MessageStyle::Critical);
}

} // namespace tessaro
