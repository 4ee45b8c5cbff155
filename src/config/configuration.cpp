#include "config/configuration.h"

#include "config/text_util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessaro {

QString WithTrailingSeparator(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

namespace {
bool makeFolder(const QString& path) {
    return !path.isEmpty() && QDir().mkpath(path) && QFileInfo(path).isDir();
}

bool folderWritable(const QString& path) {
    // isWritable() on a folder follows the permission bits; root ignores them, so probe for real.
    QFile probe(WithTrailingSeparator(path) + QStringLiteral(".tessaro-write-probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}
} // namespace

DataPathChoice ResolveDataPath(const QString& commandLineDir, const QString& programDir) {
    if (!commandLineDir.isEmpty()) {
        const QString dir = QDir::cleanPath(QDir(commandLineDir).absolutePath());
        if (!makeFolder(dir))
            return {{}, QStringLiteral("Cannot create the data folder %1.").arg(dir)};
        return {WithTrailingSeparator(dir), {}};
    }

    QFile pointer(WithTrailingSeparator(programDir) + QStringLiteral("DataPath.txt"));
    if (pointer.open(QIODevice::ReadOnly)) {
        // The whole content names the folder; only the line end an editor adds is dropped.
        QString named = TextFromFile(pointer.readAll());
        while (named.endsWith(QLatin1Char('\n')) || named.endsWith(QLatin1Char('\r')))
            named.chop(1);
        if (!named.isEmpty() && (QFileInfo(named).isDir() || makeFolder(named)))
            return {WithTrailingSeparator(named), {}};
    }

    // An installed program (its shared files in <prefix>/share/tessaro) lives in a system folder: data
    // written there would be the administrator's, not the operator's, even when root can write it.
    const bool installed = QFileInfo(QDir(programDir).filePath(QStringLiteral("../share/tessaro"))).isDir();
    if (!installed && folderWritable(programDir))
        return {WithTrailingSeparator(programDir), {}};

    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (makeFolder(user))
        return {WithTrailingSeparator(user), {}};
    return {{}, QStringLiteral("No writable data folder: %1 and %2 cannot be used.").arg(programDir, user)};
}

CConfiguration::CConfiguration(const QString& dataPath, bool portable, const QString& settingsFile)
    : m_dataPath(WithTrailingSeparator(dataPath)), m_portable(portable), m_ini(m_dataPath) {
    if (portable)
        m_settings = std::make_unique<IniSettingsStore>(m_ini);
    else if (!settingsFile.isEmpty())
        m_settings = std::make_unique<QSettingsStore>(settingsFile);
    else
        m_settings = std::make_unique<QSettingsStore>();
}

int CConfiguration::LastOcean() {
    const QString text = GetIni(QStringLiteral("[LastOcean]")).trimmed();
    if (text.isEmpty())
        return 4;
    const qint64 ocean = Val(text);
    return (ocean < 0 || ocean > 4) ? 4 : int(ocean);
}

void CConfiguration::SetLastOcean(int ocean) {
    if (ocean < 0 || ocean > 4)
        ocean = 4;
    if (LastOcean() == ocean)
        return; // written once per change, not once per status poll
    SetIni(QStringLiteral("[LastOcean]"), QString::number(ocean), true);
}

namespace {
QString DistressLesKey(int ocean) {
    static const char* const kOceans[] = {"West", "East", "Pacific", "Indian"};
    return QStringLiteral("[Distress LES %1]").arg(QLatin1String(kOceans[ocean]));
}
} // namespace

QString CConfiguration::GetDistressGenLes(int ocean) {
    if (ocean < 0 || ocean > 3)
        return {};
    return GetIni(DistressLesKey(ocean)).trimmed();
}

void CConfiguration::SetDistressGenLes(int ocean, const QString& les) {
    if (ocean < 0 || ocean > 3 || GetDistressGenLes(ocean) == les.trimmed())
        return;
    SetIni(DistressLesKey(ocean), les.trimmed(), true);
}

namespace {
QString defaultLesKey(int ocean) {
    static const char* const kKeys[] = {"[Default LES West]", "[Default LES East]", "[Default LES Pacific]",
                                        "[Default LES Indian]"};
    return QLatin1String(kKeys[ocean]);
}
} // namespace

QString CConfiguration::DefaultLes(int ocean) {
    if (ocean < 0 || ocean > 3)
        return {};
    return GetIni(defaultLesKey(ocean)).trimmed();
}

void CConfiguration::SetDefaultLes(int ocean, const QString& les) {
    if (ocean < 0 || ocean > 3 || DefaultLes(ocean) == les.trimmed())
        return;
    SetIni(defaultLesKey(ocean), les.trimmed(), true);
}

QString CConfiguration::AvailableLESs(int ocean) const {
    return ocean >= 0 && ocean <= 3 ? m_availableLes[ocean] : QString();
}

void CConfiguration::SetAvailableLESs(int ocean, const QString& list) {
    if (ocean >= 0 && ocean <= 3)
        m_availableLes[ocean] = list;
}

QString CConfiguration::settingsLocation() const {
    if (m_portable)
        return m_ini.filePath();
    return static_cast<const QSettingsStore&>(*m_settings).location();
}

} // namespace tessaro
