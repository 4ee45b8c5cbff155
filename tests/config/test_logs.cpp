#include "config/logs.h"
#include "temp_data_dir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace tessaro;

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ManualClock clockAt(int y, int mo, int d, int h, int mi, int s) {
    return ManualClock(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}
} // namespace

TEST(Logs, ErrorLogLineHasNoLeadingZeros) {
    TempDataDir data;
    const ManualClock clock = clockAt(2013, 5, 7, 9, 3, 2);
    cErrorLog log(data.path(), clock);
    log.AddLine(QStringLiteral("x"));
    log.AddLine(QStringLiteral("y"));
    EXPECT_EQ(readFile(data.path() + QStringLiteral("ErrorLog.txt")),
              QByteArray("2013-5-7 9:3:2 x\r\n2013-5-7 9:3:2 y\r\n"));
}

TEST(Logs, CommLogKeepsTheRawStreamAndNamedLogsStampTheirLines) {
    TempDataDir data;
    EXPECT_TRUE(AppendToLog(data.path(), QStringLiteral("st -l\r"), QStringLiteral("CommLog.txt"), false));
    EXPECT_TRUE(AppendToLog(data.path(), QStringLiteral("\nOK"), QStringLiteral("CommLog.txt"), false));
    EXPECT_EQ(readFile(data.path() + QStringLiteral("CommLog.txt")), QByteArray("st -l\r\nOK"));

    const ManualClock clock = clockAt(2024, 12, 31, 23, 5, 9);
    cLog named(data.path(), clock);
    named.Log(QStringLiteral("dropped: no file yet"));
    named.SetLogFile(QStringLiteral("RemoteLog.txt"));
    named.Log(QStringLiteral("packet ok"));
    EXPECT_EQ(readFile(data.path() + QStringLiteral("RemoteLog.txt")),
              QByteArray("2024-12-31 23:05:09  packet ok\r\n"));
}

TEST(Logs, DebugLogWritesTheFileOnlyWhenItExists) {
    TempDataDir data;
    const ManualClock clock = clockAt(2024, 1, 2, 3, 4, 5);
    DebugLog debug(data.path(), clock);
    debug.AddLine(QStringLiteral("first"));
    EXPECT_FALSE(QFile::exists(data.path() + QStringLiteral("DebugLog.txt")));
    EXPECT_EQ(debug.TextWindow(), QStringLiteral("2024-01-02 03:04:05  first\r\n"));

    QFile(data.path() + QStringLiteral("DebugLog.txt")).open(QIODevice::WriteOnly);
    debug.AddLine(QStringLiteral("second"));
    EXPECT_EQ(readFile(data.path() + QStringLiteral("DebugLog.txt")), QByteArray("2024-01-02 03:04:05  second\r\n"));
}

TEST(Logs, InfoLogIsTrimmedToTheNewestLines) {
    TempDataDir data;
    const ManualClock clock;
    cInfoLog info(data.path(), clock);
    for (int i = 0; i <= cInfoLog::kMaxLines; ++i)
        ASSERT_TRUE(info.AddInfo(QStringLiteral("line %1").arg(i)));
    EXPECT_EQ(info.LineCount(), cInfoLog::kKeepLines);
    const QByteArray content = readFile(info.filePath());
    EXPECT_TRUE(content.endsWith(QStringLiteral("line %1\r\n").arg(cInfoLog::kMaxLines).toLatin1()));
    EXPECT_FALSE(content.contains("  line 0\r\n"));
    EXPECT_FALSE(QFile::exists(data.path() + QStringLiteral("InfoLog.tmp"))) << "the work file is renamed over the log";
}

TEST(Logs, FailedAppendIsSwallowedAndReported) {
    TempDataDir data;
    EXPECT_FALSE(AppendToLog(data.path() + QStringLiteral("no/such/"), QStringLiteral("x"),
                             QStringLiteral("ErrorLog.txt"), true));
}

TEST(Logs, ErrorMessageConvention) {
    EXPECT_EQ(ErrorMessage(QStringLiteral("MainForm.EGCDelete_Click"), 53, QStringLiteral("File not found")),
              QStringLiteral("(MainForm.EGCDelete_Click) Error '53': File not found."));
    EXPECT_EQ(ErrorMessage(QStringLiteral("OutBox.SaveMessage"), 0x80070070LL, QString()),
              QStringLiteral("(OutBox.SaveMessage) Error: Not enough disk space."));
    EXPECT_EQ(ErrorMessage(QStringLiteral("InfoLog.AddInfo"), 28, QStringLiteral("No space left on device")),
              QStringLiteral("(InfoLog.AddInfo) Error: Not enough disk space."));
}

TEST(Logs, InfoLogWriteFailureGivesTheOperatorTheErrorText) {
    struct Case {
        const char* name;
        int error;
        QString expected;
    };
    const Case cases[] = {
        {"full disk", ENOSPC,
         QStringLiteral(
             "(InfoLog.AddInfo) Error: Not enough disk space.\nDue to this error, the info can not be saved.")},
        {"other failure", EIO,
         QStringLiteral("(InfoLog.AddInfo) Error '%1': %2.\nDue to this error, the info can not be saved.")
             .arg(EIO)
             .arg(QString::fromLocal8Bit(std::strerror(EIO)))},
    };
    for (const Case& c : cases) {
        TempDataDir data;
        const ManualClock clock;
        cInfoLog info(data.path(), clock);
        ASSERT_TRUE(info.AddInfo(QStringLiteral("before")));
        const QByteArray before = readFile(info.filePath());

        QStringList tried;
        SetLogWriteFault([&](const QString& path) {
            tried << path;
            return c.error;
        });
        EXPECT_FALSE(info.AddInfo(QStringLiteral("lost"))) << c.name;
        SetLogWriteFault({});
        EXPECT_EQ(tried, QStringList{info.filePath()}) << c.name;
        EXPECT_EQ(info.lastError(), c.expected) << c.name;
        EXPECT_EQ(readFile(info.filePath()), before) << c.name;
        EXPECT_EQ(info.LineCount(), 1) << c.name;

        // Once the disk has room again the log carries on and the error is over.
        EXPECT_TRUE(info.AddInfo(QStringLiteral("after"))) << c.name;
        EXPECT_TRUE(info.lastError().isEmpty()) << c.name;
        EXPECT_EQ(info.LineCount(), 2) << c.name;
    }
}

TEST(Logs, InfoLogInAMissingFolderReportsTheSystemError) {
    TempDataDir data;
    const ManualClock clock;
    cInfoLog info(data.path() + QStringLiteral("gone/"), clock);
    EXPECT_FALSE(info.AddInfo(QStringLiteral("x")));
    EXPECT_TRUE(info.lastError().startsWith(QStringLiteral("(InfoLog.AddInfo) Error '%1': ").arg(ENOENT)))
        << info.lastError().toStdString();
}
