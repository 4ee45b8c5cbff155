#include "config/configuration.h"
#include "temp_data_dir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(DataPath, CommandLineFolderIsCreatedAndEndsWithSeparator) {
    TempDataDir program;
    const QString wanted = program.dir.path() + QStringLiteral("/a/b");
    const DataPathChoice choice = ResolveDataPath(wanted, program.dir.path());
    EXPECT_TRUE(choice.error.isEmpty());
    EXPECT_EQ(choice.path, wanted + QStringLiteral("/"));
    EXPECT_TRUE(QDir(wanted).exists());
}

TEST(DataPath, DataPathTxtNamesTheFolderInOnePiece) {
    TempDataDir program;
    const QString named = program.dir.path() + QStringLiteral("/data with blanks ");
    writeFile(program.path() + QStringLiteral("DataPath.txt"), (named + QStringLiteral("\n")).toLatin1());
    const DataPathChoice choice = ResolveDataPath({}, program.dir.path());
    // The trailing line end of an editor goes; the blank that belongs to the name stays.
    EXPECT_EQ(choice.path, named + QStringLiteral("/"));
    EXPECT_TRUE(QDir(named).exists());
}

TEST(DataPath, FallsBackToTheProgramFolderWhenDataPathTxtNamesNothingUsable) {
    TempDataDir program;
    writeFile(program.path() + QStringLiteral("blocker"), "x");
    writeFile(program.path() + QStringLiteral("DataPath.txt"),
              (program.path() + QStringLiteral("blocker/sub")).toLatin1());
    EXPECT_EQ(ResolveDataPath({}, program.dir.path()).path, program.path());
    QFile::remove(program.path() + QStringLiteral("DataPath.txt"));
    EXPECT_EQ(ResolveDataPath({}, program.dir.path()).path, program.path());
}

TEST(DataPath, UncreatableCommandLineFolderIsAnError) {
    TempDataDir program;
    writeFile(program.path() + QStringLiteral("file"), "x");
    const DataPathChoice choice = ResolveDataPath(program.path() + QStringLiteral("file/sub"), program.dir.path());
    EXPECT_TRUE(choice.path.isEmpty());
    EXPECT_FALSE(choice.error.isEmpty());
}

TEST(DataPath, WithTrailingSeparator) {
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/x")), QStringLiteral("/x/"));
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/x/")), QStringLiteral("/x/"));
    EXPECT_EQ(WithTrailingSeparator(QString()), QString());
}

// Installed (a share/tessaro folder beside bin/), the program folder is a system folder even where it is
// writable (root): the operator's data goes to the per-user data folder instead.
TEST(DataPath, AnInstalledProgramKeepsItsDataOutOfItsOwnFolder) {
    TempDataDir root;
    const QString bin = root.path() + QStringLiteral("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(root.path() + QStringLiteral("share/tessaro")));
    const DataPathChoice choice = ResolveDataPath({}, bin);
    EXPECT_TRUE(choice.error.isEmpty());
    EXPECT_NE(choice.path, bin + QStringLiteral("/"));
    EXPECT_FALSE(choice.path.startsWith(root.path())) << choice.path.toStdString();
    EXPECT_FALSE(QFile::exists(bin + QStringLiteral("/Tessaro.ini")));

    // DataPath.txt still names the folder.
    const QString named = root.path() + QStringLiteral("ship");
    writeFile(bin + QStringLiteral("/DataPath.txt"), named.toUtf8());
    EXPECT_EQ(ResolveDataPath({}, bin).path, named + QStringLiteral("/"));
}
