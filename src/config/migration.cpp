#include "config/migration.h"

#include "config/ini_store.h"
#include "config/logs.h"
#include "config/settings_store.h"
#include "config/text_util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include <memory>

namespace tessaro {

namespace {
const QStringList kProgramFiles = {QStringLiteral("brivel.exe"), QStringLiteral("brivel")};
const QStringList kListFiles = {QStringLiteral("isp.dat"), QStringLiteral("les_aore.dat"),
                                QStringLiteral("les_aorw.dat"), QStringLiteral("les_ior.dat"),
                                QStringLiteral("les_por.dat")};
const QStringList kDataFolders = {QStringLiteral("inbox"), QStringLiteral("egc"), QStringLiteral("sent items"),
                                  QStringLiteral("addressbook")};
const QLatin1String kConfig("Config");
const QLatin1String kVersionKey("[Version]");
const QLatin1String kVersion("1. 0. 4");
const QLatin1String kCrLf("\r\n");

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

std::unique_ptr<QSettings> predecessorSettings(const QString& file) {
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brivel"),
                                       QStringLiteral("Brivel"));
}

bool copyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo& e : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = to + QLatin1Char('/') + e.fileName();
        const bool ok =
            e.isDir() && !e.isSymLink() ? copyFolder(e.filePath(), target) : QFile::copy(e.filePath(), target);
        if (!ok)
            return false;
    }
    return true;
}
} // namespace

Migration::Migration(MigrationPaths paths, ISettingsStore& ownSettings, cErrorLog& errorLog, CIniStore* portableIni)
    : m_paths(std::move(paths)), m_own(ownSettings), m_log(errorLog), m_portableIni(portableIni),
      m_mover(&Migration::MoveFolder) {}

QString Migration::DefaultPredecessorFolder(const QString& parent) {
    return FindEntry(parent, {QStringLiteral("brivel")}, true);
}

QString Migration::FindEntry(const QString& folder, const QStringList& lowerNames, bool folders) {
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    const QDir::Filters filter = (folders ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot | QDir::Hidden;
    for (const QString& name : lowerNames) // in the order asked, so the first name wins
        for (const QFileInfo& e : dir.entryInfoList(filter, QDir::Name))
            if (e.fileName().toLower() == name)
                return e.filePath();
    return {};
}

QStringList Migration::ConvertConfiguration(const QStringList& lines, const QString& predecessorFolder,
                                            const QString& ownFolder) {
    const QString from = withoutTrailingSlash(QDir::cleanPath(predecessorFolder));
    QStringList out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.contains(kVersionKey)) {
            out << line << QString(kVersion);
            ++i; // the old version's line is dropped; a key on the last line still gets the new version
            continue;
        }
        const QString trimmed = line.trimmed();
        QString rest;
        bool inside = false;
        if (!from.isEmpty() && from != u"/") {
            if (trimmed == from || trimmed == from + QLatin1Char('/')) {
                inside = true;
            } else if (trimmed.startsWith(from + QLatin1Char('/'))) {
                inside = true;
                rest = trimmed.mid(from.size() + 1);
            }
        }
        // Left to right; "Tessaro" holds no "Brivel", so no replacement is ever replaced again.
        rest.replace(QLatin1String("Brivel"), QLatin1String("Tessaro"));
        out << (inside ? ownFolder + rest : QString(line).replace(QLatin1String("Brivel"), QLatin1String("Tessaro")));
    }
    return out;
}

bool Migration::MoveFolder(const QString& from, const QString& to) {
    if (QDir().rename(from, to))
        return true;
    // Another file system: copy, and let the source go only once everything is across.
    if (!copyFolder(from, to)) {
        QDir(to).removeRecursively();
        return false;
    }
    return QDir(from).removeRecursively();
}

void Migration::fail(const QString& text) {
    const QString line = QStringLiteral("Migration from ") + m_paths.predecessorFolder + QStringLiteral(": ") + text;
    m_outcome.errors << line;
    m_log.AddLine(line);
}

MigrationOutcome Migration::run() {
    m_outcome = {};
    // 1. Only on a first start, and only with the predecessor installed.
    if (!m_own.SectionKeys(kConfig).isEmpty()) {
        m_outcome.skipped = QStringLiteral("our settings already hold section Config");
        return m_outcome;
    }
    const QString program = FindEntry(m_paths.predecessorFolder, kProgramFiles, false);
    if (program.isEmpty()) {
        m_outcome.skipped = QStringLiteral("no predecessor program file in \"%1\"").arg(m_paths.predecessorFolder);
        return m_outcome;
    }
    m_outcome.ran = true;

    // 2. Its settings, then its settings store goes.
    QList<QPair<QString, QString>> taken;
    {
        const std::unique_ptr<QSettings> theirs = predecessorSettings(m_paths.predecessorSettingsFile);
        theirs->beginGroup(kConfig);
        for (const QString& key : theirs->childKeys())
            taken.append({key, theirs->value(key).toString()});
        theirs->endGroup();
        for (const auto& [key, value] : taken)
            m_own.SaveSettingValue(kConfig, key, value);
        theirs->clear();
        theirs->sync();
        const QString file = theirs->fileName();
        if (QFileInfo::exists(file) && !QFile::remove(file))
            fail(QStringLiteral("its settings file %1 could not be removed").arg(file));
    }
    // Marked as done first: whatever follows fails, the next start leaves both installations alone.
    m_own.SaveSettingValue(kConfig, QLatin1String(kDoneKey), m_paths.predecessorFolder);

    // 3. The files only when both folders are there.
    const QString theirConfig = FindEntry(m_paths.predecessorFolder, {QStringLiteral("brivel.ini")}, false);
    if (theirConfig.isEmpty() || m_paths.ownFolder.isEmpty() || !QFileInfo(m_paths.ownFolder).isDir()) {
        if (theirConfig.isEmpty())
            fail(QStringLiteral("no Brivel.ini: only the settings were taken over"));
        else
            fail(QStringLiteral("our folder %1 does not exist: only the settings were taken over")
                     .arg(m_paths.ownFolder));
        return m_outcome;
    }

    // 4. The configuration file.
    QStringList kept;
    if (!convertConfigurationFile(theirConfig))
        kept << theirConfig;
    if (m_portableIni) {
        // Our settings live in the file just replaced: read it and put the settings taken over back in.
        m_portableIni->LoadIni();
        for (const auto& [key, value] : taken)
            m_own.SaveSettingValue(kConfig, key, value);
        m_own.SaveSettingValue(kConfig, QLatin1String(kDoneKey), m_paths.predecessorFolder);
    }

    // 5. and 6. The lists and the data folders.
    moveListFiles(&kept);
    replaceFolders();

    // 7. What is left of the predecessor, except what could not be taken over.
    const QDir theirs(m_paths.predecessorFolder);
    for (const QFileInfo& f : theirs.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (kept.contains(f.filePath()))
            continue;
        if (!QFile::remove(f.filePath()))
            fail(QStringLiteral("%1 could not be deleted").arg(f.filePath()));
    }
    if (!QDir().rmdir(m_paths.predecessorFolder))
        fail(QStringLiteral("the folder was kept: it still holds what could not be taken over"));
    m_log.AddLine(QStringLiteral("Migration from ") + m_paths.predecessorFolder +
                  QStringLiteral(": settings and data taken over"));
    return m_outcome;
}

bool Migration::convertConfigurationFile(const QString& from) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("%1 could not be read (%2); our configuration file stays as it was")
                 .arg(from, in.errorString()));
        return false;
    }
    QStringList lines = TextFromFile(in.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    const QStringList converted = ConvertConfiguration(lines, m_paths.predecessorFolder, m_paths.ownFolder);
    // Whole or not at all: a failed write keeps whatever configuration file we had.
    QSaveFile out(m_paths.ownConfigFile);
    if (!out.open(QIODevice::WriteOnly) || out.write((converted.join(kCrLf) + kCrLf).toUtf8()) < 0 || !out.commit()) {
        fail(QStringLiteral("%1 could not be written (%2); it stays as it was")
                 .arg(m_paths.ownConfigFile, out.errorString()));
        return false;
    }
    return true;
}

void Migration::moveListFiles(QStringList* kept) {
    for (const QString& name : kListFiles) {
        const QString from = FindEntry(m_paths.predecessorFolder, {name}, false);
        if (from.isEmpty())
            continue;
        const QString to = m_paths.ownFolder + name;
        // Ours is never replaced; theirs then stays where it is.
        if (QFileInfo::exists(to) || !QFile::rename(from, to)) {
            fail(QStringLiteral("%1 was not moved to %2").arg(from, to));
            *kept << from;
        }
    }
}

void Migration::replaceFolders() {
    for (const QString& name : kDataFolders) {
        const QString from = FindEntry(m_paths.predecessorFolder, {name}, true);
        if (from.isEmpty())
            continue;
        const QString target = m_paths.ownFolder + name;
        const QString incoming = target + QStringLiteral(".migrating");
        const QString old = target + QStringLiteral(".replaced");
        // Theirs comes in beside ours first; ours goes only once theirs is safely here.
        QDir(incoming).removeRecursively(); // a copy cut short by an earlier attempt
        if (!m_mover(from, incoming)) {
            fail(QStringLiteral("the folder %1 could not be moved; ours and theirs stay as they were").arg(from));
            continue;
        }
        QDir(old).removeRecursively();
        const bool hadOurs = QFileInfo::exists(target);
        if ((hadOurs && !QDir().rename(target, old)) || !QDir().rename(incoming, target)) {
            if (hadOurs && !QFileInfo::exists(target))
                QDir().rename(old, target);
            const bool back = m_mover(incoming, from);
            fail(QStringLiteral("our folder %1 could not be replaced; theirs %2")
                     .arg(target,
                          back ? QStringLiteral("went back to ") + from : QStringLiteral("stays in ") + incoming));
            continue;
        }
        if (hadOurs && !QDir(old).removeRecursively())
            fail(QStringLiteral("our old folder %1 could not be deleted").arg(old));
    }
}

} // namespace tessaro
