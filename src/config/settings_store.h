#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace tessaro {

class CIniStore;

// Per-user (section, key) values with a caller default.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual QString GetSettingValue(const QString& section, const QString& key, const QString& defaultValue) = 0;
    virtual void SaveSettingValue(const QString& section, const QString& key, const QString& value) = 0;
    // The keys of a section that hold a value.
    virtual QStringList SectionKeys(const QString& section) = 0;
};

// QSettings under the application name "Tessaro". A file path may be given (tests, explicit stores).
class QSettingsStore final : public ISettingsStore {
public:
    QSettingsStore();
    explicit QSettingsStore(const QString& iniFilePath);
    ~QSettingsStore() override;

    QString GetSettingValue(const QString& section, const QString& key, const QString& defaultValue) override;
    void SaveSettingValue(const QString& section, const QString& key, const QString& value) override;
    QStringList SectionKeys(const QString& section) override;
    QString location() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

// Portable form: the values live in Tessaro.ini as "[" section "_" key "]" entries. An empty value
// yields the default, and every save rewrites the file.
class IniSettingsStore final : public ISettingsStore {
public:
    explicit IniSettingsStore(CIniStore& ini) : m_ini(ini) {}

    QString GetSettingValue(const QString& section, const QString& key, const QString& defaultValue) override;
    void SaveSettingValue(const QString& section, const QString& key, const QString& value) override;
    QStringList SectionKeys(const QString& section) override;

private:
    static QString entryKey(const QString& section, const QString& key);
    CIniStore& m_ini;
};

} // namespace tessaro
