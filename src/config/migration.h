#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro {

class CIniStore;
class cErrorLog;
class ISettingsStore;

// Taking over the settings and data of the predecessor program, Brivel, once: on the first start, when our
// settings store has nothing in section "Config" and Brivel's program file is found in its folder.
struct MigrationPaths {
    QString predecessorFolder; // Brivel's folder; empty: nothing to take over
    QString ownFolder;         // our data folder, ending in "/"
    QString ownConfigFile;     // our Tessaro.ini
    // Brivel's settings store (a QSettings file); empty: its per-user store under the application name "Brivel".
    QString predecessorSettingsFile;
};

// Folder moves go through this (tests make one fail); false when the folder could not be moved.
using FolderMover = std::function<bool(const QString& from, const QString& to)>;

struct MigrationOutcome {
    bool ran = false;   // the predecessor was found and taken over (errors included)
    QStringList errors; // each file error, as written to the error log
    QString skipped;    // why nothing was done, when it was not
};

class Migration final {
public:
    // portableIni: our Tessaro.ini when the settings store lives inside it (then the settings taken over
    // are written again after the configuration file was converted); null otherwise.
    Migration(MigrationPaths paths, ISettingsStore& ownSettings, cErrorLog& errorLog, CIniStore* portableIni = nullptr);

    void setFolderMover(FolderMover mover) { m_mover = std::move(mover); }
    MigrationOutcome run();

    // The predecessor's folder when none is configured: the entry of /opt named "brivel" in any letter case.
    static QString DefaultPredecessorFolder(const QString& parent = QStringLiteral("/opt"));
    // The entry of a folder whose name matches one of the names without regard to case; empty when none.
    static QString FindEntry(const QString& folder, const QStringList& lowerNames, bool folders);
    // The configuration file converted line by line: "[Version]" keeps its key and gets "1. 0. 4", a
    // line naming a path inside the predecessor's folder names the same path inside ours, and "Brivel"
    // becomes "Tessaro" everywhere else.
    static QStringList ConvertConfiguration(const QStringList& lines, const QString& predecessorFolder,
                                            const QString& ownFolder);
    // Moves a folder: a rename, else a copy followed by removing the source; a failed copy leaves the source
    // as it was and removes what was copied.
    static bool MoveFolder(const QString& from, const QString& to);

    // The key written to our section "Config" once the predecessor was taken over, so it never runs again.
    static constexpr const char* kDoneKey = "MigratedFrom";

private:
    void fail(const QString& text);
    bool convertConfigurationFile(const QString& from);
    void moveListFiles(QStringList* kept);
    void replaceFolders();

    MigrationPaths m_paths;
    ISettingsStore& m_own;
    cErrorLog& m_log;
    CIniStore* m_portableIni;
    FolderMover m_mover;
    MigrationOutcome m_outcome;
};

} // namespace tessaro
