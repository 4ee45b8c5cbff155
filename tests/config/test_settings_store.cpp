#include "config/configuration.h"
#include "config/strings.h"
#include "temp_data_dir.h"

#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace tessaro;

TEST(SettingsStore, QSettingsFileGivesDefaultsAndKeepsSavedValues) {
    TempDataDir data;
    const QString file = data.path() + QStringLiteral("settings.ini");
    {
        CConfiguration config(data.path(), false, file);
        EXPECT_EQ(
            config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("CommandTimeOut"), QStringLiteral("4")),
            QStringLiteral("4"));
        config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("CommandTimeOut"), QStringLiteral("9"));
    }
    CConfiguration again(data.path(), false, file);
    EXPECT_EQ(again.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("CommandTimeOut"), QStringLiteral("4")),
              QStringLiteral("9"));
    EXPECT_EQ(again.settingsLocation(), file);
}

TEST(SettingsStore, PortableFormLivesInTessaroIniAndRewritesItOnEverySave) {
    TempDataDir data;
    CConfiguration config(data.path(), true);
    EXPECT_EQ(config.GetSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QStringLiteral("1033")),
              QStringLiteral("1033"));
    config.SaveSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QStringLiteral("1036"));

    QFile f(data.path() + QStringLiteral("Tessaro.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("[MultiLang_LangId]\r\n1036\r\n\r\n"));

    CConfiguration reread(data.path(), true);
    EXPECT_EQ(reread.GetSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QStringLiteral("1033")),
              QStringLiteral("1036"));
    // An empty stored value yields the caller's default.
    reread.SaveSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QString());
    EXPECT_EQ(reread.GetSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QStringLiteral("1033")),
              QStringLiteral("1033"));
}

TEST(SettingsStore, StoredLanguageIsSelectedAtStartUp) {
    TempDataDir data;
    CConfiguration config(data.path(), true);
    EXPECT_EQ(LoadLanguage(config), int(English)) << "nothing stored: English";
    config.SaveSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QStringLiteral("1049"));
    EXPECT_EQ(LoadLanguage(config), int(Russian));
    EXPECT_EQ(CurrentLanguage(), int(Russian));
    SetLanguage(English);
}

// Tests never touch the settings of the user who runs them.
TEST(TestEnvironment, SettingsAndDataStayInTheBuildFolder) {
    EXPECT_TRUE(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                    .startsWith(QStringLiteral(TESSARO_TEST_CONFIG_HOME)));
    EXPECT_TRUE(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    .startsWith(QStringLiteral(TESSARO_TEST_DATA_HOME)));
    EXPECT_EQ(qgetenv("TESSARO_TESTING"), QByteArray("1"));
}
