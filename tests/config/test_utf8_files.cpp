#include "config/configuration.h"
#include "config/ini_store.h"
#include "config/logs.h"
#include "temp_data_dir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <ostream>

using namespace tessaro;

// Paths, Tessaro.ini, DataPath.txt and the logs are UTF-8 text (the Linux system code page); files written
// elsewhere in Latin-1 still load. Link bytes in CommLog.txt stay exactly as they arrived.

// Readable failure output for Qt strings.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

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

const QString kCyrillic = QStringLiteral(u"данные");
} // namespace

TEST(Utf8Files, DataFolderWithCyrillicNameKeepsItsFolderValues) {
    TempDataDir base;
    const QString dataPath = base.path() + kCyrillic + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(dataPath));
    {
        CConfiguration config(dataPath, false, base.path() + QStringLiteral("settings.ini"));
        EXPECT_EQ(config.GetIni(QStringLiteral("[inbox]")), dataPath + QStringLiteral("inbox/"));
        EXPECT_EQ(config.GetIni(QStringLiteral("[working dir]")), dataPath);
        config.SetIni(QStringLiteral("[Signature]"), QStringLiteral(u"Капитан\r\nΝαυτίλος"), true);
    }
    const QByteArray file = readFile(dataPath + QStringLiteral("Tessaro.ini"));
    EXPECT_TRUE(file.contains("[inbox]\r\n" + (dataPath + QStringLiteral("inbox/")).toUtf8() + "\r\n"));
    EXPECT_TRUE(file.contains(QStringLiteral(u"Капитан\r\nΝαυτίλος").toUtf8()));

    CIniStore reread(dataPath);
    EXPECT_EQ(reread.GetIni(QStringLiteral("[inbox]")), dataPath + QStringLiteral("inbox/"));
    EXPECT_EQ(reread.GetIni(QStringLiteral("[Signature]")), QStringLiteral(u"Капитан\r\nΝαυτίλος"));
}

TEST(Utf8Files, TextFilesFromElsewhereStillLoad) {
    struct Case {
        const char* name;
        QByteArray file;
        QString expected;
    };
    const Case cases[] = {
        {"UTF-8", "[outbox]\r\n" + QStringLiteral(u"/srv/données/").toUtf8() + "\r\n",
         QStringLiteral(u"/srv/données/")},
        {"Latin-1 (not valid UTF-8)",
         "[outbox]\r\n/srv/donn\xE9"
         "es/\r\n",
         QStringLiteral(u"/srv/données/")},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[outbox]\r\n" + QStringLiteral(u"/srv/данные/").toUtf8() + "\r\n",
         QStringLiteral(u"/srv/данные/")},
    };
    for (const Case& c : cases) {
        TempDataDir data;
        writeFile(data.path() + QStringLiteral("Tessaro.ini"), c.file);
        CIniStore ini(data.path());
        EXPECT_EQ(ini.GetIni(QStringLiteral("[outbox]")), c.expected) << c.name;
    }
}

TEST(Utf8Files, DataPathTxtIsReadAsUtf8OrElseLatin1) {
    struct Case {
        const char* name;
        QString folder;
        QByteArray (*encode)(const QString&);
    };
    const Case cases[] = {
        {"UTF-8", kCyrillic, [](const QString& s) { return s.toUtf8(); }},
        {"Latin-1", QStringLiteral(u"données"), [](const QString& s) { return s.toLatin1(); }},
    };
    for (const Case& c : cases) {
        TempDataDir program;
        const QString named = program.path() + c.folder;
        writeFile(program.path() + QStringLiteral("DataPath.txt"), c.encode(named) + "\r\n");
        const DataPathChoice choice = ResolveDataPath({}, program.dir.path());
        EXPECT_EQ(choice.path, named + QLatin1Char('/')) << c.name;
        EXPECT_TRUE(QDir(named).exists()) << c.name;
    }
}

TEST(Utf8Files, LogsAreUtf8AndTheCommLogKeepsTheLinkBytes) {
    TempDataDir data;
    const ManualClock clock(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC));
    const QString text = QStringLiteral(u"Папка %1 недоступна").arg(data.path() + kCyrillic);

    cErrorLog(data.path(), clock).AddLine(text);
    EXPECT_EQ(readFile(data.path() + QStringLiteral("ErrorLog.txt")), "2024-1-2 3:4:5 " + text.toUtf8() + "\r\n");

    cInfoLog info(data.path(), clock);
    EXPECT_TRUE(info.AddInfo(text));
    EXPECT_EQ(readFile(info.filePath()), "2024-01-02 03:04:05  " + text.toUtf8() + "\r\n");

    cLog named(data.path(), clock);
    named.SetLogFile(QStringLiteral("RemoteLog.txt"));
    named.Log(text);
    EXPECT_EQ(readFile(data.path() + QStringLiteral("RemoteLog.txt")),
              "2024-01-02 03:04:05  " + text.toUtf8() + "\r\n");

    writeFile(data.path() + QStringLiteral("DebugLog.txt"), {});
    DebugLog debug(data.path(), clock);
    debug.AddLine(text);
    EXPECT_EQ(readFile(data.path() + QStringLiteral("DebugLog.txt")), "2024-01-02 03:04:05  " + text.toUtf8() + "\r\n");

    // The link carries bytes, handed over as Latin-1 text: the log is the raw stream, byte for byte.
    const QByteArray fromLink("Gr\xFC\xDF"
                              "e \xE9t\xE9\r\n\x02\xFF");
    EXPECT_TRUE(AppendToLog(data.path(), QString::fromLatin1(fromLink), QStringLiteral("CommLog.txt"), false));
    EXPECT_EQ(readFile(data.path() + QStringLiteral("CommLog.txt")), fromLink);
}
