#pragma once

#include "config/ini_store.h"
#include "config/settings_store.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tessaro {

// Where the data folder comes from, in order: the command line, "DataPath.txt" beside the program,
// the program folder when writable and not an installed one (with ../share/tessaro), the per-user data
// location. The result ends with "/".
struct DataPathChoice {
    QString path;
    QString error; // non-empty when no usable folder could be made
};
DataPathChoice ResolveDataPath(const QString& commandLineDir, const QString& programDir);

// Adds the trailing "/" a folder value always carries.
QString WithTrailingSeparator(const QString& path);

// The process-wide configuration: data folder, Tessaro.ini and the settings store.
class CConfiguration final {
public:
    // portable: keep the settings store inside Tessaro.ini instead of the per-user store.
    // settingsFile: an explicit QSettings file (tests); empty selects the per-user store.
    CConfiguration(const QString& dataPath, bool portable, const QString& settingsFile = {});

    const QString& DataPath() const { return m_dataPath; }
    bool portable() const { return m_portable; }

    CIniStore& ini() { return m_ini; }
    ISettingsStore& settings() { return *m_settings; }

    QString GetIni(const QString& key) { return m_ini.GetIni(key); }
    void SetIni(const QString& key, const QString& value, bool save = false) { m_ini.SetIni(key, value, save); }
    bool SaveIni() { return m_ini.SaveIni(); }
    void LoadIni() { m_ini.LoadIni(); }

    QString GetSettingValue(const QString& section, const QString& key, const QString& defaultValue = {}) {
        return m_settings->GetSettingValue(section, key, defaultValue);
    }
    void SaveSettingValue(const QString& section, const QString& key, const QString& value) {
        m_settings->SaveSettingValue(section, key, value);
    }
    // The last ocean the transceiver was logged in to (0..3, 4 = none known), kept in Tessaro.ini under
    // "[LastOcean]" so that it survives a lost link and a restart.
    int LastOcean();
    void SetLastOcean(int ocean);
    // The LES the distress generator alerts in one ocean region (0..3), "[Distress LES West]" and its
    // siblings; empty when none is known. Other regions read as empty and are not stored.
    QString GetDistressGenLes(int ocean);
    void SetDistressGenLes(int ocean, const QString& les);

    // The default LES of an ocean region (0..3), "[Default LES West]" and its siblings; "000" means none
    // chosen. Other regions read as empty and are not stored.
    QString DefaultLes(int ocean);
    void SetDefaultLes(int ocean, const QString& les);
    // The LESs the NCS of a region last listed ("st -n"), identifiers joined by ","; empty until a list
    // came. Kept for this run only: the list is asked again at every login.
    QString AvailableLESs(int ocean) const;
    void SetAvailableLESs(int ocean, const QString& list);

    // Whether the transceiver takes four additional NAVAREAs rather than one, as its reply to "se -sn"
    // last said; the EGC set-up window offers that many boxes.
    bool Support4ExtraNavAreas() const { return m_support4ExtraNavAreas; }
    void SetSupport4ExtraNavAreas(bool value) { m_support4ExtraNavAreas = value; }

    // Transceivers that network discovery found (addresses as their service URLs name them), for this run.
    const QStringList& SlpTcuAddresses() const { return m_slpTcuAddresses; }
    int SlpTcuAddressCount() const { return int(m_slpTcuAddresses.size()); }
    void SetSlpTcuAddresses(const QStringList& addresses) { m_slpTcuAddresses = addresses; }
    // The control unit's software version as network discovery reports it; major 0 while unknown.
    void SetTcuSwVersion(int major, int minor) {
        m_tcuSwMajor = major;
        m_tcuSwMinor = minor;
    }
    int GetTcuSwMajor() const { return m_tcuSwMajor; }
    int GetTcuSwMinor() const { return m_tcuSwMinor; }

    // Human-readable place of the settings store (for --help output and the README's promise).
    QString settingsLocation() const;

private:
    QString m_dataPath;
    bool m_portable;
    bool m_support4ExtraNavAreas = false;
    QString m_availableLes[4];
    QStringList m_slpTcuAddresses;
    int m_tcuSwMajor = 0;
    int m_tcuSwMinor = 0;
    CIniStore m_ini;
    std::unique_ptr<ISettingsStore> m_settings;
};

} // namespace tessaro
