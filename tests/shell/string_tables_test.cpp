#include "config/strings.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

// Every text id the windows ask for, read from the shell's sources, must be in the French and Russian
// tables: a window half in English is what this guards against.
QSet<int> idsUsedByTheWindows() {
    QSet<int> ids;
    const QDir dir(QStringLiteral(TESSARO_SOURCE_DIR "/src/shell"));
    const QRegularExpression call(QStringLiteral(R"((?:ShellText|GetText)\((\d{4}))"));
    for (const QString& name : dir.entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")})) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(f.readAll());
        for (auto it = call.globalMatch(text); it.hasNext();)
            ids.insert(it.next().captured(1).toInt());
    }
    return ids;
}

TEST(StringTablesTest, FrenchAndRussianCoverEveryWindowText) {
    const QSet<int> used = idsUsedByTheWindows();
    ASSERT_GT(used.size(), 100);
    // Ranges that the windows reach by offset (priorities, mobile types, message types, oceans, activity,
    // outbox status words, status-line texts).
    QSet<int> wanted = used;
    for (int i = 0; i < 4; ++i)
        wanted << 5120 + i << 5030 + i;
    for (int i = 0; i < 6; ++i)
        wanted << 5230 + i;
    for (int i = 0; i < 9; ++i)
        wanted << 5410 + i << 3001 + i;
    for (int i = 0; i < 5; ++i)
        wanted << 5620 + i;
    for (int i = 0; i < 26; ++i)
        wanted << 3100 + i;
    for (const char* file : {"1036.txt", "1049.txt"}) {
        QFile f(QStringLiteral(TESSARO_SOURCE_DIR "/resources/strings/") + QLatin1String(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file;
        const QHash<int, QString> table = ParseStringTable(f.readAll());
        for (int id : wanted) {
            EXPECT_TRUE(table.contains(id)) << file << " lacks " << id;
            EXPECT_FALSE(table.value(id).trimmed().isEmpty()) << file << " " << id;
        }
        // Placeholders survive translation.
        for (int id : {5002, 5036, 5042, 5444})
            EXPECT_TRUE(table.value(id).contains(QStringLiteral("%0"))) << file << " " << id;
    }
}

} // namespace
