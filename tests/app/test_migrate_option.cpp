// --migrate-from: read from the command line, checked before the run, and the migration it asks for done
// before the runtime reads its configuration.
#include "app/command_line.h"
#include "app/in_process_simulator.h"
#include "app/run_setup.h"
#include "app/runtime.h"
#include "config/clock.h"
#include "qt_test_app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

TEST(MigrateFromOption, IsReadAndAMissingFolderIsRefused) {
    const OptionAvailability all{true, true, true, true};
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CommandLine cl = ParseCommandLine({QStringLiteral("tessaro"), QStringLiteral("--migrate-from"), dir.path(),
                                             QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data"))},
                                            all);
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_EQ(cl.migrateFrom, dir.path());
    EXPECT_TRUE(cl.helpText.contains(QLatin1String("--migrate-from <DIR>")));

    InProcessSimulator simulator;
    RuntimeOptions options;
    QString error;
    EXPECT_EQ(PrepareRun(cl, simulator, &options, &error), std::nullopt) << error.toStdString();
    EXPECT_EQ(options.migrateFrom, dir.path());

    CommandLine missing = cl;
    missing.migrateFrom = dir.filePath(QStringLiteral("no-such-folder"));
    EXPECT_EQ(PrepareRun(missing, simulator, &options, &error), 2);
    EXPECT_TRUE(error.contains(QLatin1String("no-such-folder does not exist"))) << error.toStdString();

    EXPECT_FALSE(
        ParseCommandLine({QStringLiteral("tessaro"), QStringLiteral("--migrate-from"), QStringLiteral(" ")}, all)
            .error.isEmpty());
}

TEST(MigrateFromOption, RuntimeReadsTheConfigurationTakenOver) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString theirs = dir.filePath(QStringLiteral("brivel"));
    ASSERT_TRUE(writeFile(theirs + QStringLiteral("/brivel"), "#!/bin/sh\n"));
    ASSERT_TRUE(writeFile(theirs + QStringLiteral("/Brivel.ini"),
                          "[Version]\r\n0. 9\r\n[Preferred Ocean]\r\nPacific\r\n[Default ISP]\r\nBrivel Mail\r\n"));
    {
        QSettings s(dir.filePath(QStringLiteral("brivel.conf")), QSettings::IniFormat);
        s.setValue(QStringLiteral("Config/PrintMessage"), QStringLiteral("1"));
    }
    RuntimeOptions options;
    options.dataPath = dir.filePath(QStringLiteral("data")) + QLatin1Char('/');
    QDir().mkpath(options.dataPath);
    options.settingsFile = dir.filePath(QStringLiteral("tessaro.conf"));
    options.migrateFrom = theirs;
    options.predecessorSettingsFile = dir.filePath(QStringLiteral("brivel.conf"));
    ManualClock clock;
    TessaroRuntime runtime(options, clock);
    EXPECT_EQ(runtime.config().GetIni(QStringLiteral("[Preferred Ocean]")), QStringLiteral("Pacific"));
    EXPECT_EQ(runtime.config().GetIni(QStringLiteral("[Default ISP]")), QStringLiteral("Tessaro Mail"));
    EXPECT_EQ(runtime.config().GetIni(QStringLiteral("[Version]")), QStringLiteral("1. 0. 4"));
    EXPECT_EQ(runtime.config().GetSettingValue(QStringLiteral("Config"), QStringLiteral("PrintMessage")),
              QStringLiteral("1"));
    EXPECT_FALSE(QFileInfo::exists(theirs));
}

} // namespace
