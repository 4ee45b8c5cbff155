#include "config/settings_store.h"

#include "config/ini_store.h"

#include <QSettings>

namespace tessaro {

QSettingsStore::QSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tessaro"),
                                             QStringLiteral("Tessaro"))) {}

QSettingsStore::QSettingsStore(const QString& iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat)) {}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::GetSettingValue(const QString& section, const QString& key, const QString& defaultValue) {
    return m_settings->value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void QSettingsStore::SaveSettingValue(const QString& section, const QString& key, const QString& value) {
    m_settings->setValue(section + QLatin1Char('/') + key, value);
    m_settings->sync();
}

QStringList QSettingsStore::SectionKeys(const QString& section) {
    m_settings->beginGroup(section);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    return keys;
}

QString QSettingsStore::location() const {
    return m_settings->fileName();
}

QString IniSettingsStore::entryKey(const QString& section, const QString& key) {
    return QLatin1Char('[') + section + QLatin1Char('_') + key + QLatin1Char(']');
}

QString IniSettingsStore::GetSettingValue(const QString& section, const QString& key, const QString& defaultValue) {
    const QString value = m_ini.GetIni(entryKey(section, key));
    return value.isEmpty() ? defaultValue : value;
}

void IniSettingsStore::SaveSettingValue(const QString& section, const QString& key, const QString& value) {
    m_ini.SetIni(entryKey(section, key), value, true);
}

} // namespace tessaro

namespace tessaro {

QStringList IniSettingsStore::SectionKeys(const QString& section) {
    // An empty entry reads as the caller's default, so it holds no value.
    const QString prefix = QLatin1Char('[') + section + QLatin1Char('_');
    if (!m_ini.isLoaded())
        m_ini.LoadIni();
    QStringList keys;
    for (const CIniStore::Entry& e : m_ini.entries())
        if (e.key.startsWith(prefix) && e.key.endsWith(QLatin1Char(']')) && !e.value.isEmpty())
            keys << e.key.mid(prefix.size(), e.key.size() - prefix.size() - 1);
    return keys;
}

} // namespace tessaro
