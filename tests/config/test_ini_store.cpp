#include "config/ini_store.h"
#include "temp_data_dir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(IniStore, MissingFileIsCreatedWithTheDefaultLayout) {
    TempDataDir data;
    CIniStore ini(data.path());
    EXPECT_EQ(ini.GetIni(QStringLiteral("[Version]")), QStringLiteral("1. 0. 4"));
    EXPECT_EQ(ini.GetIni(QStringLiteral("[HOST Interface]")), QStringLiteral("LAN"));
    EXPECT_EQ(ini.GetIni(QStringLiteral("[inbox]")), data.path() + QStringLiteral("inbox/"));
    EXPECT_EQ(ini.GetIni(QStringLiteral("[outbox]")), data.path() + QStringLiteral("sent items/"));
    EXPECT_EQ(ini.GetIni(QStringLiteral("[Signature]")), QString());
    EXPECT_EQ(ini.GetIni(QStringLiteral("[Default LES West]")), QStringLiteral("000"));

    const QList<QByteArray> lines = readFile(ini.filePath()).split('\n');
    // 50 lines, each ending in CR LF, the last one "[End Of File]".
    ASSERT_EQ(lines.size(), 51);
    EXPECT_EQ(lines[0], "[Version]\r");
    EXPECT_EQ(lines[3], "\r"); // "[Default ISP]" with an empty value, no blank line after it
    EXPECT_EQ(lines[4], "[AS IS Accepted?]\r");
    EXPECT_EQ(lines[46], "[Signature]\r");
    EXPECT_EQ(lines[47], "[End Of Signature]\r");
    EXPECT_EQ(lines[49], "[End Of File]\r");
}

TEST(IniStore, ParsesTheFileFormsAsWritten) {
    struct Case {
        const char* name;
        QByteArray file;
        QString key;
        QString expected;
    };
    const Case cases[] = {
        {"signature joins its lines untrimmed",
         "[Signature]\r\n Capt. Nemo\r\nNautilus\r\n  Pacific  \r\n[End Of Signature]\r\n[A]\r\nb\r\n",
         QStringLiteral("[Signature]"), QStringLiteral(" Capt. Nemo\r\nNautilus\r\n  Pacific  ")},
        {"key after signature block", "[Signature]\r\nx\r\n[End Of Signature]\r\n[A]\r\nb\r\n", QStringLiteral("[A]"),
         QStringLiteral("b")},
        {"value that looks like a key is a value", "[Name]\r\n[Bracketed]\r\n", QStringLiteral("[Name]"),
         QStringLiteral("[Bracketed]")},
        {"missing value line swallows the next key", "[COM port]\r\n[COM Settings]\r\n9600,n,8,1\r\n",
         QStringLiteral("[COM port]"), QStringLiteral("[COM Settings]")},
        {"the swallowed key is lost", "[COM port]\r\n[COM Settings]\r\n9600,n,8,1\r\n",
         QStringLiteral("[COM Settings]"), QString()},
        {"keys are case-sensitive", "[COM port]\r\n3\r\n", QStringLiteral("[com port]"), QString()},
        {"first match wins", "[A]\r\n1\r\n[A]\r\n2\r\n", QStringLiteral("[A]"), QStringLiteral("1")},
        {"values and keys are trimmed", "  [A]  \r\n   v  \r\n", QStringLiteral("[A]"), QStringLiteral("v")},
        {"key as last line gets empty value", "[A]\r\n1\r\n[Last]", QStringLiteral("[Last]"), QString()},
        {"End Of File is no key", "[End Of File]\r\nx\r\n", QStringLiteral("[End Of File]"), QString()},
        {"LF-only file reads alike", "[A]\n1\n\n[B]\n2\n", QStringLiteral("[B]"), QStringLiteral("2")},
        {"latin-1 bytes survive", "[A]\r\n\xE9t\xE9\r\n", QStringLiteral("[A]"), QString::fromLatin1("\xE9t\xE9")},
    };
    for (const Case& c : cases) {
        const auto entries = CIniStore::parse(c.file);
        QString value;
        for (const auto& e : entries)
            if (e.key == c.key) {
                value = e.value;
                break;
            }
        EXPECT_EQ(value, c.expected) << c.name;
    }
}

TEST(IniStore, SaveWritesEntriesWithBlankLinesAndNoEndOfFile) {
    TempDataDir data;
    writeFile(data.path() + QStringLiteral("Tessaro.ini"),
              "[A]\r\n1\r\n[Signature]\r\nline one\r\nline two\r\n[End Of Signature]\r\n[End Of File]\r\n");
    CIniStore ini(data.path());
    ini.SetIni(QStringLiteral("[B]"), QStringLiteral("2"), true);
    EXPECT_EQ(readFile(ini.filePath()), QByteArray("[A]\r\n1\r\n\r\n"
                                                   "[Signature]\r\nline one\r\nline two\r\n[End Of Signature]\r\n\r\n"
                                                   "[B]\r\n2\r\n\r\n"));

    CIniStore reread(data.path());
    EXPECT_EQ(reread.GetIni(QStringLiteral("[Signature]")), QStringLiteral("line one\r\nline two"));
    EXPECT_EQ(reread.GetIni(QStringLiteral("[B]")), QStringLiteral("2"));
}

TEST(IniStore, SetIniChangesOnlyTheFirstOccurrenceAndSavesOnlyWhenAsked) {
    TempDataDir data;
    writeFile(data.path() + QStringLiteral("Tessaro.ini"), "[A]\r\n1\r\n[A]\r\n2\r\n");
    CIniStore ini(data.path());
    ini.SetIni(QStringLiteral("[A]"), QStringLiteral("x"));
    ASSERT_EQ(ini.entries().size(), 2);
    EXPECT_EQ(ini.entries()[0].value, QStringLiteral("x"));
    EXPECT_EQ(ini.entries()[1].value, QStringLiteral("2"));
    EXPECT_EQ(readFile(ini.filePath()), QByteArray("[A]\r\n1\r\n[A]\r\n2\r\n")) << "no save without the flag";
}

TEST(IniStore, SaveBeforeAnyLoadDoesNothing) {
    TempDataDir data;
    CIniStore ini(data.path());
    EXPECT_FALSE(ini.SaveIni());
    EXPECT_FALSE(QFile::exists(ini.filePath()));
}

TEST(IniStore, UnwritableFolderStillAnswersWithDefaultsAndReportsTheFailedSave) {
    TempDataDir data;
    // A file where the data folder should be: nothing can be written there.
    writeFile(data.path() + QStringLiteral("blocked"), "x");
    CIniStore ini(data.path() + QStringLiteral("blocked/"));
    EXPECT_EQ(ini.GetIni(QStringLiteral("[COM Settings]")), QStringLiteral("115200,n,8,1"));
    ini.SetIni(QStringLiteral("[COM port]"), QStringLiteral("2"));
    EXPECT_FALSE(ini.SaveIni());
    EXPECT_EQ(ini.GetIni(QStringLiteral("[COM port]")), QStringLiteral("2"));
}
