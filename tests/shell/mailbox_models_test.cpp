#include "shell_test_app.h"

#include "config/strings.h"
#include "messaging/out_idx.h"
#include "shell/inbox_model.h"
#include "shell/outbox_model.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

const QChar kStx(0x02);

QString inboxLine(const QString& modem, int priority, const QString& subject, const QString& received, int size,
                  int read, const QString& disk) {
    return QStringList({modem, QString::number(priority), QStringLiteral("MES"), QStringLiteral("shore@example.com"),
                        subject, received, QStringLiteral("112"), QStringLiteral("0"), QString::number(size),
                        QStringLiteral("4711"), QStringLiteral("Mem"), QString::number(read), disk})
        .join(kStx);
}

QString outLine(const QString& file, const QString& status, const QString& to, const QString& subject) {
    QStringList p = {file,
                     QStringLiteral("12345"),
                     QStringLiteral("112"),
                     QStringLiteral("Telex 5 Bit"),
                     QStringLiteral("26-01-02"),
                     QStringLiteral("10:15"),
                     QStringLiteral(" 42"),
                     QStringLiteral("<None>"),
                     status,
                     QStringLiteral("0"),
                     QStringLiteral("0"),
                     QStringLiteral("0"),
                     QStringLiteral("0"),
                     QStringLiteral("02"),
                     QStringLiteral("01"),
                     QStringLiteral("10"),
                     QStringLiteral("15"),
                     to,
                     QString(),
                     QString(),
                     subject};
    return p.join(u';');
}

void writeLines(const QString& path, const QStringList& lines) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const QString& l : lines)
        f.write(l.toLatin1() + "\r\n");
}

int columnOf(const IndexFileModel& m, int field) {
    for (size_t i = 0; i < m.columns().size(); ++i)
        if (m.columns()[i].field == field)
            return int(i);
    return -1;
}

class MailboxModelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Inbox.idx"));
    }
    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(MailboxModelsTest, InboxShowsUnreadBoldAndDistressRedWithWords) {
    writeLines(m_path, {inboxLine(QStringLiteral("IN.1"), 0, QStringLiteral("read one"),
                                  QStringLiteral("2026-01-02 10:00:00"), 10, 255, QStringLiteral("26010201.in")),
                        inboxLine(QStringLiteral("IN.2"), 3, QStringLiteral("mayday relay"),
                                  QStringLiteral("2026-01-02 11:00:00"), 20, 0, QStringLiteral("26010202.in"))});
    InboxModel m;
    m.setFile(m_path);
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.unreadCount(), 1);
    const int subject = columnOf(m, InboxIdx::Subject);
    const int priority = columnOf(m, InboxIdx::Priority);
    const int bits = columnOf(m, InboxIdx::Bits);
    // File order until sorted.
    EXPECT_EQ(m.data(m.index(0, subject), Qt::DisplayRole).toString(), QStringLiteral("read one"));
    EXPECT_FALSE(m.data(m.index(0, subject), Qt::FontRole).isValid());
    EXPECT_FALSE(m.data(m.index(0, subject), Qt::ForegroundRole).isValid());
    EXPECT_TRUE(m.data(m.index(1, subject), Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(m.data(m.index(1, subject), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(m.data(m.index(1, priority), Qt::DisplayRole).toString(), QStringLiteral("Distress"));
    EXPECT_EQ(m.data(m.index(1, bits), Qt::DisplayRole).toString(), QStringLiteral("7 bit"));
    EXPECT_EQ(m.diskFileName(1), QStringLiteral("26010202.in"));
}

TEST_F(MailboxModelsTest, InboxSurvivesShortAndEmptyLines) {
    writeLines(m_path, {QStringLiteral("IN.9") + kStx + QStringLiteral("2"), QString(),
                        inboxLine(QStringLiteral("IN.3"), 1, QStringLiteral("ok"), QStringLiteral("x"), 5, 255,
                                  QStringLiteral("a.in"))});
    InboxModel m;
    m.setFile(m_path);
    ASSERT_EQ(m.rowCount(), 2); // the empty line is no message
    EXPECT_EQ(m.field(0, InboxIdx::Priority), QStringLiteral("2"));
    EXPECT_EQ(m.field(0, InboxIdx::Subject), QString());
    EXPECT_EQ(m.diskFileName(0), QString());
    EXPECT_TRUE(m.isUnread(0)); // a line without a read flag must not hide a message as read
    EXPECT_EQ(m.diskFileName(1), QStringLiteral("a.in"));
}

TEST_F(MailboxModelsTest, InboxValuesAfterTheThirteenthAreNotPartOfTheFileName) {
    writeLines(m_path, {inboxLine(QStringLiteral("IN.1"), 3, QStringLiteral("s"), QStringLiteral("t"), 1, 255,
                                  QStringLiteral("a.in")) +
                        kStx + QStringLiteral("FollowUp")});
    InboxModel m;
    m.setFile(m_path);
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.diskFileName(0), QStringLiteral("a.in"));
    EXPECT_FALSE(m.isUnread(0));
    EXPECT_EQ(m.data(m.index(0, columnOf(m, InboxIdx::Subject)), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
}

TEST_F(MailboxModelsTest, SortingIsNumericForNumbersAndKeepsRowsWhole) {
    writeLines(m_path, {inboxLine(QStringLiteral("IN.1"), 0, QStringLiteral("nine"),
                                  QStringLiteral("2026-01-01 00:00:00"), 9, 0, QStringLiteral("a")),
                        inboxLine(QStringLiteral("IN.2"), 0, QStringLiteral("hundred"),
                                  QStringLiteral("2026-01-03 00:00:00"), 100, 0, QStringLiteral("b")),
                        inboxLine(QStringLiteral("IN.3"), 0, QStringLiteral("twenty"),
                                  QStringLiteral("2026-01-02 00:00:00"), 20, 0, QStringLiteral("c"))});
    InboxModel m;
    m.setFile(m_path);
    m.sort(columnOf(m, InboxIdx::Size), Qt::AscendingOrder);
    EXPECT_EQ(m.diskFileName(0), QStringLiteral("a"));
    EXPECT_EQ(m.diskFileName(1), QStringLiteral("c"));
    EXPECT_EQ(m.diskFileName(2), QStringLiteral("b")); // "100" after "20": numbers, not text
    m.sort(columnOf(m, InboxIdx::Received), Qt::DescendingOrder);
    EXPECT_EQ(m.diskFileName(0), QStringLiteral("b"));
    // A reload keeps the chosen order.
    m.refresh();
    EXPECT_EQ(m.diskFileName(0), QStringLiteral("b"));
}

TEST_F(MailboxModelsTest, OutboxTranslatesKnownStatusWordsOnlyAndMarksSearchAndRescue) {
    const QString path = m_dir.filePath(QStringLiteral("OUT.IDX"));
    writeLines(path, {outLine(QStringLiteral("26010201.out"), QStringLiteral("Initiated"), QStringLiteral("12345"),
                              QStringLiteral("a")),
                      outLine(QStringLiteral("26010202.out"), QStringLiteral("Failed. Error code: '7'"),
                              QStringLiteral("x"), QStringLiteral("b")),
                      outLine(QStringLiteral("-"), QStringLiteral("Sending"), QStringLiteral("SEARCH & RESCUE"),
                              QStringLiteral("SEARCH & RESCUE")),
                      outLine(QStringLiteral("26010203.out"), QStringLiteral("Conf.Ok"), QStringLiteral("y"),
                              QStringLiteral("subject; with separator"))});
    OutboxModel m;
    m.setFile(path);
    ASSERT_EQ(m.rowCount(), 4);
    const int status = columnOf(m, OutIdx::Status);
    const int subject = columnOf(m, OutIdx::Subject);
    EXPECT_EQ(m.data(m.index(0, status), Qt::DisplayRole).toString(), QStringLiteral("Initiated"));
    EXPECT_EQ(m.data(m.index(1, status), Qt::DisplayRole).toString(), QStringLiteral("Failed. Error code: '7'"));
    EXPECT_FALSE(m.data(m.index(0, status), Qt::ForegroundRole).isValid());
    EXPECT_EQ(m.data(m.index(2, status), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    // The subject is the last value and runs to the line end.
    EXPECT_EQ(m.data(m.index(3, subject), Qt::DisplayRole).toString(), QStringLiteral("subject; with separator"));
    EXPECT_EQ(m.unsentCount(), 2); // "Initiated" and "Sending"
    EXPECT_EQ(m.fileName(1), QStringLiteral("26010202.out"));
}

TEST_F(MailboxModelsTest, StatusWordsFollowTheLanguage) {
    ASSERT_EQ(SetLanguage(French), French);
    EXPECT_NE(OutboxModel::StatusText(QStringLiteral("Delivered")), QStringLiteral("Delivered"));
    EXPECT_EQ(OutboxModel::StatusText(QStringLiteral("Conf.OK")), QStringLiteral("Conf.OK"));
    SetLanguage(English);
    EXPECT_EQ(OutboxModel::StatusText(QStringLiteral(" Delivered ")), QStringLiteral("Delivered"));
}

TEST_F(MailboxModelsTest, ModelFollowsAppendedLines) {
    writeLines(m_path, {inboxLine(QStringLiteral("IN.1"), 0, QStringLiteral("one"), QStringLiteral("t"), 1, 0,
                                  QStringLiteral("a"))});
    InboxModel m;
    m.setFile(m_path);
    ASSERT_EQ(m.rowCount(), 1);
    QFile f(m_path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(inboxLine(QStringLiteral("IN.2"), 0, QStringLiteral("two"), QStringLiteral("t"), 1, 0, QStringLiteral("b"))
                .toLatin1() +
            "\r\n");
    f.close();
    m.refresh();
    EXPECT_EQ(m.rowCount(), 2);
}

} // namespace
