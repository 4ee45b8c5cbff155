// Taking over the predecessor's settings and data: once, in order, with every file error logged and nothing
// of ours or theirs lost when a step fails.
#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "config/migration.h"
#include "temp_data_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A predecessor installation (program, configuration, lists, data folders, names in odd letter cases), its
// settings store, and our data folder with a settings store of its own.
struct MigrationRig {
    TempDataDir temp;
    QString theirs = temp.path() + QStringLiteral("Brivel");
    QString ours = temp.path() + QStringLiteral("data/");
    QString theirSettings = temp.path() + QStringLiteral("brivel-settings.ini");
    ManualClock clock;
    std::unique_ptr<CConfiguration> config;
    std::unique_ptr<cErrorLog> log;

    MigrationRig() {
        QDir().mkpath(ours);
        config = std::make_unique<CConfiguration>(ours, false, temp.path() + QStringLiteral("tessaro-settings.ini"));
        log = std::make_unique<cErrorLog>(ours, clock);
    }
    void installPredecessor() {
        writeFile(theirs + QStringLiteral("/Brivel.EXE"), "MZ");
        writeFile(theirs + QStringLiteral("/BRIVEL.INI"), "[Version]\r\n0. 9. 7\r\n[working dir]\r\n" +
                                                              theirs.toUtf8() + "/\r\n[inbox]\r\n" + theirs.toUtf8() +
                                                              "/inbox/\r\n[Default ISP]\r\nBrivel Mail\r\n");
        writeFile(theirs + QStringLiteral("/ISP.DAT"), "their isp");
        writeFile(theirs + QStringLiteral("/les_aore.dat"), "their les east");
        writeFile(theirs + QStringLiteral("/les_por.dat"), "their les pacific");
        writeFile(theirs + QStringLiteral("/Inbox/IN.IDX"), "their inbox index");
        writeFile(theirs + QStringLiteral("/EGC/EGC.IDX"), "their egc index");
        writeFile(theirs + QStringLiteral("/Sent Items/OUT.IDX"), "their outbox index");
        writeFile(theirs + QStringLiteral("/addressbook/address.dat"), "their addresses");
        writeFile(theirs + QStringLiteral("/readme.txt"), "old notes");
        QSettings s(theirSettings, QSettings::IniFormat);
        s.setValue(QStringLiteral("Config/ConfirmationRequest"), QStringLiteral("1"));
        s.setValue(QStringLiteral("Config/Transmit Password"), QStringLiteral("secret"));
        s.setValue(QStringLiteral("Settings/VesselName"), QStringLiteral("Aurora"));
        s.sync();
    }
    MigrationOutcome run(FolderMover mover = {}) {
        Migration m({theirs, ours, ours + QStringLiteral("Tessaro.ini"), theirSettings}, config->settings(), *log);
        if (mover)
            m.setFolderMover(std::move(mover));
        return m.run();
    }
    QString own(const char* key) { return config->GetSettingValue(QStringLiteral("Config"), QLatin1String(key)); }
    QByteArray errorLog() { return readFile(ours + QStringLiteral("ErrorLog.txt")); }
};

TEST(ConfigurationConversion, VersionNameAndFolderLines) {
    const QString theirs = QStringLiteral("/opt/Brivel");
    const QString ours = QStringLiteral("/home/op/tessaro/");
    struct Case {
        const char* name;
        QStringList in;
        QStringList out;
    };
    const Case cases[] = {
        {"version line replaced",
         {u"[Version]"_s, u"0. 9. 7"_s, u"[COM port]"_s, u"2"_s},
         {u"[Version]"_s, u"1. 0. 4"_s, u"[COM port]"_s, u"2"_s}},
        {"version key as the last line still gets the version", {u"[Version]"_s}, {u"[Version]"_s, u"1. 0. 4"_s}},
        {"name replaced left to right, exact case only",
         {u"Brivel Mail via Brivel"_s, u"BriBrivelvel"_s, u"brivel BRIVEL"_s},
         {u"Tessaro Mail via Tessaro"_s, u"BriTessarovel"_s, u"brivel BRIVEL"_s}},
        {"folders inside the predecessor's folder become ours",
         {u"/opt/Brivel/"_s, u"/opt/Brivel"_s, u"/opt/Brivel/sent items/"_s, u"  /opt/Brivel/Brivel forms/"_s},
         {u"/home/op/tessaro/"_s, u"/home/op/tessaro/"_s, u"/home/op/tessaro/sent items/"_s,
          u"/home/op/tessaro/Tessaro forms/"_s}},
        {"a folder that only starts like it is not inside",
         {u"/opt/Brivel2/inbox/"_s, u"/var/Brivel/"_s},
         {u"/opt/Tessaro2/inbox/"_s, u"/var/Tessaro/"_s}},
        {"Windows paths follow the name rule",
         {u"c:\\Program Files\\Brivel\\egc\\"_s},
         {u"c:\\Program Files\\Tessaro\\egc\\"_s}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Migration::ConvertConfiguration(c.in, theirs, ours), c.out) << c.name;
    // The folder may be named with its trailing separator.
    EXPECT_EQ(Migration::ConvertConfiguration({u"/opt/Brivel/egc/"_s}, theirs + u'/', ours),
              QStringList{u"/home/op/tessaro/egc/"_s});
}

TEST(Migration, TakesOverSettingsListsAndFoldersOnceThenLeavesEverythingAlone) {
    MigrationRig rig;
    rig.installPredecessor();
    // What we had: an inbox that theirs replaces, a Pacific list that theirs may not replace.
    writeFile(rig.ours + QStringLiteral("inbox/old.txt"), "ours");
    writeFile(rig.ours + QStringLiteral("les_por.dat"), "our les pacific");

    const MigrationOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(rig.own("ConfirmationRequest"), QStringLiteral("1"));
    EXPECT_EQ(rig.own("Transmit Password"), QStringLiteral("secret"));
    EXPECT_EQ(rig.own(Migration::kDoneKey), rig.theirs);
    EXPECT_EQ(rig.config->GetSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName")), QString())
        << "only section Config is taken over";
    EXPECT_FALSE(QFileInfo::exists(rig.theirSettings)) << "their settings store is gone";

    EXPECT_EQ(readFile(rig.ours + QStringLiteral("Tessaro.ini")),
              "[Version]\r\n1. 0. 4\r\n[working dir]\r\n" + rig.ours.toUtf8() + "\r\n[inbox]\r\n" + rig.ours.toUtf8() +
                  "inbox/\r\n[Default ISP]\r\nTessaro Mail\r\n");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("isp.dat")), "their isp");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("les_aore.dat")), "their les east");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("les_por.dat")), "our les pacific");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("inbox/IN.IDX")), "their inbox index");
    EXPECT_FALSE(QFileInfo::exists(rig.ours + QStringLiteral("inbox/old.txt")));
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("egc/EGC.IDX")), "their egc index");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("sent items/OUT.IDX")), "their outbox index");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("addressbook/address.dat")), "their addresses");
    EXPECT_TRUE(QDir(rig.ours)
                    .entryList({QStringLiteral("*.migrating"), QStringLiteral("*.replaced")}, QDir::AllEntries)
                    .isEmpty());

    // Their Pacific list was not taken over, so it stays, and with it their folder; the rest is gone.
    EXPECT_EQ(QDir(rig.theirs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"les_por.dat"_s});
    EXPECT_TRUE(rig.errorLog().contains("les_por.dat was not moved")) << rig.errorLog().constData();

    // A second start, even with a predecessor installed again, touches nothing.
    QDir(rig.theirs).removeRecursively();
    rig.installPredecessor();
    const QByteArray ini = readFile(rig.ours + QStringLiteral("Tessaro.ini"));
    const MigrationOutcome second = rig.run();
    EXPECT_FALSE(second.ran);
    EXPECT_TRUE(QFileInfo::exists(rig.theirSettings));
    EXPECT_TRUE(QFileInfo::exists(rig.theirs + QStringLiteral("/Brivel.EXE")));
    EXPECT_TRUE(QFileInfo::exists(rig.theirs + QStringLiteral("/Inbox/IN.IDX")));
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("Tessaro.ini")), ini);
}

TEST(Migration, NothingIsDoneWithOurSettingsPresentOrWithoutTheirProgram) {
    {
        MigrationRig rig;
        rig.installPredecessor();
        rig.config->SaveSettingValue(QStringLiteral("Config"), QStringLiteral("GoDebug"), QStringLiteral("0"));
        EXPECT_FALSE(rig.run().ran);
        EXPECT_EQ(rig.own("ConfirmationRequest"), QString());
        EXPECT_TRUE(QFileInfo::exists(rig.theirSettings));
        EXPECT_FALSE(QFileInfo::exists(rig.ours + QStringLiteral("isp.dat")));
    }
    {
        MigrationRig rig;
        rig.installPredecessor();
        QFile::remove(rig.theirs + QStringLiteral("/Brivel.EXE"));
        EXPECT_FALSE(rig.run().ran);
        EXPECT_TRUE(QFileInfo::exists(rig.theirSettings));
        EXPECT_EQ(rig.own(Migration::kDoneKey), QString());
    }
    {
        // No folder configured and none found: nothing at all.
        MigrationRig rig;
        rig.theirs.clear();
        EXPECT_FALSE(rig.run().ran);
    }
}

TEST(Migration, WithoutOurFolderOnlyTheSettingsAreTakenOver) {
    MigrationRig rig;
    rig.installPredecessor();
    QDir(rig.ours).removeRecursively();
    const MigrationOutcome outcome = rig.run();
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(rig.own("Transmit Password"), QStringLiteral("secret"));
    EXPECT_TRUE(QFileInfo::exists(rig.theirs + QStringLiteral("/BRIVEL.INI")));
    EXPECT_TRUE(QFileInfo::exists(rig.theirs + QStringLiteral("/Inbox/IN.IDX")));
    EXPECT_TRUE(QFileInfo::exists(rig.theirs + QStringLiteral("/readme.txt")));
    EXPECT_FALSE(QFileInfo::exists(rig.ours));
    ASSERT_EQ(outcome.errors.size(), 1);
    EXPECT_TRUE(outcome.errors[0].contains(QLatin1String("only the settings were taken over")));
}

TEST(Migration, AFolderThatCannotBeMovedLeavesOursAndTheirsAsTheyWere) {
    MigrationRig rig;
    rig.installPredecessor();
    writeFile(rig.ours + QStringLiteral("egc/EGC.IDX"), "our egc index");
    writeFile(rig.ours + QStringLiteral("egc/EGC.007"), "our egc");
    const auto failEgc = [](const QString& from, const QString& to) {
        return from.endsWith(QLatin1String("/EGC")) ? false : Migration::MoveFolder(from, to);
    };
    const MigrationOutcome outcome = rig.run(failEgc);
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("egc/EGC.IDX")), "our egc index");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("egc/EGC.007")), "our egc");
    EXPECT_EQ(readFile(rig.theirs + QStringLiteral("/EGC/EGC.IDX")), "their egc index");
    EXPECT_EQ(readFile(rig.ours + QStringLiteral("inbox/IN.IDX")), "their inbox index") << "the others go on";
    EXPECT_TRUE(QFileInfo(rig.theirs).isDir()) << "their folder stays while it holds their data";
    EXPECT_TRUE(rig.errorLog().contains("could not be moved; ours and theirs stay as they were"))
        << rig.errorLog().constData();
}

TEST(Migration, FolderMoveCopiesAcrossAndKeepsTheSourceWhenTheCopyFails) {
    TempDataDir temp;
    const QString from = temp.path() + QStringLiteral("from");
    writeFile(from + QStringLiteral("/a/b.txt"), "b");
    writeFile(from + QStringLiteral("/c.txt"), "c");
    // A target that cannot be made (a file stands in its way): the source is untouched.
    writeFile(temp.path() + QStringLiteral("blocked"), "x");
    EXPECT_FALSE(Migration::MoveFolder(from, temp.path() + QStringLiteral("blocked/to")));
    EXPECT_EQ(readFile(from + QStringLiteral("/a/b.txt")), "b");
    EXPECT_TRUE(Migration::MoveFolder(from, temp.path() + QStringLiteral("to")));
    EXPECT_EQ(readFile(temp.path() + QStringLiteral("to/a/b.txt")), "b");
    EXPECT_EQ(readFile(temp.path() + QStringLiteral("to/c.txt")), "c");
    EXPECT_FALSE(QFileInfo::exists(from));
}

TEST(Migration, NamesAreFoundWithoutRegardToCase) {
    TempDataDir temp;
    writeFile(temp.path() + QStringLiteral("BRIVEL"), "MZ");
    QDir().mkpath(temp.path() + QStringLiteral("Sent Items"));
    EXPECT_EQ(Migration::FindEntry(temp.path(), {u"brivel.exe"_s, u"brivel"_s}, false),
              temp.path() + QStringLiteral("BRIVEL"));
    EXPECT_EQ(Migration::FindEntry(temp.path(), {u"sent items"_s}, true), temp.path() + QStringLiteral("Sent Items"));
    EXPECT_EQ(Migration::FindEntry(temp.path(), {u"sent items"_s}, false), QString()) << "a folder is no file";
    EXPECT_EQ(Migration::DefaultPredecessorFolder(temp.path() + QStringLiteral("none")), QString());
}

} // namespace
