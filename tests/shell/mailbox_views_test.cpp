// The mailbox and EGC grids as the operator meets them: columns nobody filled are hidden until shown, his
// column choice and widths come back, the reading pane shows the selected message without marking it read,
// marked rows and the one date-time form.
#include "shell_test_app.h"

#include "config/configuration.h"
#include "messaging/inbox_idx.h"
#include "messaging/out_idx.h"
#include "shell/egc_model.h"
#include "shell/egc_view.h"
#include "shell/inbox_model.h"
#include "shell/index_time.h"
#include "shell/mailbox_view.h"
#include "shell/outbox_model.h"
#include "shell/reading_pane.h"

#include <QAction>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QSplitter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace tessaro;

namespace {

const QChar kStx(0x02);

struct InboxLine {
    const char* disk;
    int priority;
    const char* subject;
    const char* received;
    int read = 0;
};

QString inboxLine(const InboxLine& l) {
    // To and From are never filled by the reception: only the subject varies here.
    return QStringList({QStringLiteral("IN.1"), QString::number(l.priority), QString(), QString(),
                        QString::fromLatin1(l.subject), QString::fromLatin1(l.received), QStringLiteral("112"),
                        QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("4711"), QStringLiteral("Mem"),
                        QString::number(l.read), QString::fromLatin1(l.disk)})
        .join(kStx);
}

QString outLine(const char* file, const char* date, const char* time, const char* status, const char* to) {
    QStringList p(21, QStringLiteral("0"));
    p[OutIdx::FileName] = QString::fromLatin1(file);
    p[OutIdx::Destination] = QStringLiteral("12345");
    p[OutIdx::Les] = QStringLiteral("112");
    p[OutIdx::TypeAndBits] = QStringLiteral("Telex 5 Bit");
    p[OutIdx::Date] = QString::fromLatin1(date);
    p[OutIdx::Time] = QString::fromLatin1(time);
    p[OutIdx::Size] = QStringLiteral(" 42");
    p[OutIdx::Reference] = QStringLiteral("<None>");
    p[OutIdx::Status] = QString::fromLatin1(status);
    p[OutIdx::ToText] = QString::fromLatin1(to);
    p[18] = p[19] = QString();
    p[OutIdx::Subject] = QStringLiteral("noon report");
    return p.join(u';');
}

void writeLines(const QString& path, const QStringList& lines, QIODevice::OpenMode mode = QIODevice::Truncate) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | mode));
    for (const QString& l : lines)
        f.write(l.toLatin1() + "\r\n");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int columnOf(const IndexFileModel& m, int field) {
    for (size_t i = 0; i < m.columns().size(); ++i)
        if (m.columns()[i].field == field)
            return int(i);
    return -1;
}

QStringList shownHeaders(const QTableView& view) {
    QStringList headers;
    for (int c = 0; c < view.model()->columnCount(); ++c)
        if (!view.isColumnHidden(c))
            headers << view.model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return headers;
}

class MailboxViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        newConfig();
        m_inbox = m_dir.filePath(QStringLiteral("Inbox.idx"));
    }
    // A new configuration object on the same settings file: what the next start of the program reads.
    void newConfig() {
        m_config = std::make_unique<CConfiguration>(m_dir.path() + u'/', false,
                                                    m_dir.filePath(QStringLiteral("settings.ini")));
    }
    void writeInbox(const std::vector<InboxLine>& lines) {
        QStringList text;
        for (const InboxLine& l : lines)
            text << inboxLine(l);
        writeLines(m_inbox, text);
    }
    QTemporaryDir m_dir;
    std::unique_ptr<CConfiguration> m_config;
    QString m_inbox;
};

TEST_F(MailboxViewsTest, ColumnsWithoutValuesAreHiddenUntilAValueArrives) {
    InboxModel m;
    MailboxView view(m, *m_config, QStringLiteral("INBOXGRID"), 0);
    // An empty inbox still shows every heading.
    m.setFile(m_inbox);
    EXPECT_EQ(shownHeaders(view).size(), m.columnCount());

    writeInbox({{"a.in", 0, "", "2026-01-02 10:00:00"}, {"b.in", 1, "", "2026-01-02 11:00:00"}});
    m.refresh();
    const QStringList withoutSenderAndSubject = {
        QStringLiteral("Received"), QStringLiteral("Priority"),         QStringLiteral("LES"),
        QStringLiteral("Size"),     QStringLiteral("Ref. number"),      QStringLiteral("Bits"),
        QStringLiteral("Routing"),  QStringLiteral("Transceiver file"), QStringLiteral("File")};
    EXPECT_EQ(shownHeaders(view), withoutSenderAndSubject);

    // One message with a subject brings the column back; blanks alone do not count as a value.
    writeLines(m_inbox, {inboxLine({"c.in", 0, "   ", "2026-01-03 09:00:00"})}, QIODevice::Append);
    m.refresh();
    EXPECT_TRUE(view.isColumnHidden(columnOf(m, InboxIdx::Subject)));
    writeLines(m_inbox, {inboxLine({"d.in", 0, "ice report", "2026-01-03 10:00:00"})}, QIODevice::Append);
    m.refresh();
    EXPECT_FALSE(view.isColumnHidden(columnOf(m, InboxIdx::Subject)));
    EXPECT_TRUE(view.isColumnHidden(columnOf(m, InboxIdx::From)));
}

TEST_F(MailboxViewsTest, OperatorsColumnChoiceAndWidthsComeBackAfterARestart) {
    writeInbox({{"a.in", 0, "", "2026-01-02 10:00:00"}});
    const int from = 2;     // the column of From in the inbox grid
    const int priority = 1; // the column of Priority
    {
        InboxModel m;
        m.setFile(m_inbox);
        ASSERT_EQ(columnOf(m, InboxIdx::From), from);
        ASSERT_EQ(columnOf(m, InboxIdx::Priority), priority);
        MailboxView view(m, *m_config, QStringLiteral("INBOXGRID"), 0);
        ASSERT_TRUE(view.isColumnHidden(from));

        // The header's menu lists every column, checked when shown; its entries show and hide them.
        std::unique_ptr<QMenu> menu(view.makeColumnMenu(nullptr));
        const QList<QAction*> entries = menu->actions();
        ASSERT_EQ(entries.size(), m.columnCount());
        EXPECT_EQ(entries[from]->text(), QStringLiteral("From"));
        EXPECT_TRUE(entries[from]->isCheckable());
        EXPECT_FALSE(entries[from]->isChecked());
        EXPECT_TRUE(entries[priority]->isChecked());
        entries[from]->setChecked(true);
        entries[priority]->setChecked(false);
        EXPECT_FALSE(view.isColumnHidden(from)) << "shown on the operator's word, although empty";
        EXPECT_TRUE(view.isColumnHidden(priority)) << "hidden on the operator's word, although filled";
        EXPECT_EQ(view.columnChoice(from), IndexGridView::ColumnChoice::Shown);

        view.setColumnWidth(from, 211);
        view.setColumnWidth(0, 133);
        view.saveLayout();
    }
    newConfig();
    InboxModel m;
    m.setFile(m_inbox);
    MailboxView view(m, *m_config, QStringLiteral("INBOXGRID"), 0);
    EXPECT_FALSE(view.isColumnHidden(from));
    EXPECT_TRUE(view.isColumnHidden(priority));
    EXPECT_EQ(view.columnWidth(from), 211);
    EXPECT_EQ(view.columnWidth(0), 133);
    // A hidden column keeps its width for when it is shown again.
    const int widthBefore = view.horizontalHeader()->sectionSize(priority); // 0 while hidden
    EXPECT_EQ(widthBefore, 0);
    view.setColumnShown(priority, true);
    EXPECT_GE(view.columnWidth(priority), 60);
}

TEST_F(MailboxViewsTest, TheLastShownColumnCannotBeHidden) {
    writeInbox({{"a.in", 0, "", "2026-01-02 10:00:00"}});
    InboxModel m;
    m.setFile(m_inbox);
    MailboxView view(m, *m_config, QStringLiteral("INBOXGRID"), 0);
    for (int c = 1; c < m.columnCount(); ++c)
        view.setColumnShown(c, false);
    ASSERT_EQ(shownHeaders(view), QStringList{QStringLiteral("Received")});
    view.setColumnShown(0, false);
    EXPECT_FALSE(view.isColumnHidden(0));
    std::unique_ptr<QMenu> menu(view.makeColumnMenu(nullptr));
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_TRUE(menu->actions()[1]->isEnabled());
}

TEST_F(MailboxViewsTest, ReadingPaneShowsTheSelectedMessageWithoutMarkingItRead) {
    writeInbox({{"a.in", 0, "", "2026-01-02 10:00:00", 255}, {"b.in", 2, "pan pan <b>", "2026-01-02 11:05:09", 0}});
    // A body with bytes above 127 and CR LF line ends, as the transceiver delivers it.
    writeBytes(m_dir.filePath(QStringLiteral("b.in")), QByteArray("POSITION 54\xb0N\r\nSECOND LINE\r\n"));
    InboxModel m;
    m.setFile(m_inbox);
    MailboxView view(m, *m_config, QStringLiteral("INBOXGRID"), 0);
    QSplitter* page = view.page();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page, view.page()) << "one page per grid";
    ASSERT_EQ(page->count(), 2);
    EXPECT_EQ(page->widget(0), &view);
    ReadingPane* pane = view.readingPane();
    ASSERT_EQ(page->widget(1), pane);
    EXPECT_TRUE(pane->body().isEmpty());
    EXPECT_TRUE(pane->headerText().isEmpty());

    const QByteArray indexBefore = readBytes(m_inbox);
    const int row = m.rowOfFileName(u"b.in");
    ASSERT_GE(row, 0);
    view.setCurrentIndex(m.index(row, 0));
    EXPECT_EQ(pane->body(), QStringLiteral("POSITION 54\u00b0N\nSECOND LINE\n"));
    // The values with something in them, in the grid's form; nothing of the subject is read as markup.
    EXPECT_EQ(pane->headerText(), QStringLiteral("Received: 2026-01-02 11:05\nPriority: Urgent\nSubject: pan pan "
                                                 "<b>\nLES: 112\nSize: 10\nRef. number: 4711\nBits: 7 bit\nRouting: "
                                                 "Mem\nTransceiver file: IN.1\nFile: b.in\n"));
    EXPECT_TRUE(m.isUnread(row));
    EXPECT_EQ(readBytes(m_inbox), indexBefore) << "selecting is not opening: the read flag stays";

    // A body that is gone says so; no selection empties the pane.
    view.setCurrentIndex(m.index(m.rowOfFileName(u"a.in"), 0));
    EXPECT_TRUE(pane->body().contains(QStringLiteral("a.in"))) << pane->body().toStdString();
    view.setCurrentIndex({});
    EXPECT_TRUE(pane->body().isEmpty());
}

TEST_F(MailboxViewsTest, ReadingPaneSizesComeBackAfterARestart) {
    writeInbox({{"a.in", 0, "", "2026-01-02 10:00:00"}});
    {
        InboxModel m;
        m.setFile(m_inbox);
        auto* view = new MailboxView(m, *m_config, QStringLiteral("INBOXGRID"), 0);
        std::unique_ptr<QSplitter> page(view->page());
        page->resize(400, 600);
        page->show();
        page->setSizes({450, 140});
        const QList<int> sizes = page->sizes();
        view->saveLayout();
        newConfig();
        EXPECT_EQ(m_config->GetSettingValue(QStringLiteral("INBOXGRID"), QStringLiteral("ReadingPane")),
                  QString::number(sizes[0]) + u',' + QString::number(sizes[1]));
    }
    InboxModel m;
    m.setFile(m_inbox);
    auto* view = new MailboxView(m, *m_config, QStringLiteral("INBOXGRID"), 0);
    std::unique_ptr<QSplitter> page(view->page());
    page->resize(400, 600);
    page->show();
    const QList<int> sizes = page->sizes();
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_GT(sizes[0], 2 * sizes[1]) << sizes[0] << " " << sizes[1];
}

TEST_F(MailboxViewsTest, TheCurrentMessageStaysCurrentAcrossReloadsAndSorts) {
    writeInbox({{"a.in", 0, "x", "2026-01-01 10:00:00"},
                {"b.in", 0, "y", "2026-01-03 10:00:00"},
                {"c.in", 0, "z", "2026-01-02 10:00:00"}});
    InboxModel m;
    m.setFile(m_inbox);
    MailboxView view(m, *m_config, QStringLiteral("INBOXGRID"), 0);
    view.page();
    view.setCurrentIndex(m.index(m.rowOfFileName(u"c.in"), 0));
    ASSERT_EQ(m.rowFileName(view.currentRow()), QStringLiteral("c.in"));

    m.sort(columnOf(m, InboxIdx::Subject), Qt::DescendingOrder);
    EXPECT_EQ(m.rowFileName(view.currentRow()), QStringLiteral("c.in")) << "a sort moves the row, not the choice";
    m.sort(columnOf(m, InboxIdx::Received), Qt::AscendingOrder);
    EXPECT_EQ(m.rowFileName(view.currentRow()), QStringLiteral("c.in"));

    // A message arriving reads the index again.
    writeLines(m_inbox, {inboxLine({"d.in", 3, "new", "2026-01-04 10:00:00"})}, QIODevice::Append);
    m.refresh();
    ASSERT_EQ(m.rowCount(), 4);
    EXPECT_EQ(m.rowFileName(view.currentRow()), QStringLiteral("c.in"));
    EXPECT_TRUE(view.readingPane()->headerText().contains(QStringLiteral("File: c.in")));
}

TEST_F(MailboxViewsTest, UrgentRowsAreMarkedAsDistressRowsAndFailedSentItemsHaveTheirOwnMark) {
    using Mark = IndexFileModel::RowMark;
    writeInbox({{"r.in", 0, "", "t"}, {"s.in", 1, "", "t"}, {"u.in", 2, "", "t"}, {"d.in", 3, "", "t"}});
    InboxModel inbox;
    inbox.setFile(m_inbox);
    const Mark inboxMarks[] = {Mark::None, Mark::None, Mark::Alarm, Mark::Alarm};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(inbox.rowMark(r), inboxMarks[r]) << "priority " << r;
        EXPECT_EQ(inbox.data(inbox.index(r, 0), IndexFileModel::RowMarkRole).toInt(), int(inboxMarks[r]));
    }
    EXPECT_EQ(inbox.data(inbox.index(2, 0), Qt::ForegroundRole).value<QColor>(),
              inbox.data(inbox.index(3, 0), Qt::ForegroundRole).value<QColor>());

    const QString outPath = m_dir.filePath(QStringLiteral("OUT.IDX"));
    struct Case {
        const char* status;
        const char* to;
        Mark mark;
    };
    const Case cases[] = {{"Delivered", "12345", Mark::None},
                          {"Failed", "12345", Mark::Failed},
                          {"Failed. Error code: '7'", "12345", Mark::Failed},
                          {"Initiated", "SEARCH & RESCUE", Mark::Alarm}};
    QStringList lines;
    for (const Case& c : cases)
        lines << outLine("f.out", "26-01-02", "10:15", c.status, c.to);
    writeLines(outPath, lines);
    OutboxModel out;
    out.setFile(outPath);
    const int status = columnOf(out, OutIdx::Status);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(out.rowMark(r), cases[r].mark) << cases[r].status;
        // Not by colour alone: the state text is in the row, and a failure has a sign beside it.
        EXPECT_EQ(out.data(out.index(r, status), Qt::DecorationRole).isValid(), cases[r].mark == Mark::Failed);
    }
    EXPECT_TRUE(out.cellText(1, status).startsWith(QStringLiteral("Failed")));
    EXPECT_NE(out.data(out.index(1, 0), Qt::ForegroundRole).value<QColor>(),
              out.data(out.index(3, 0), Qt::ForegroundRole).value<QColor>());
}

TEST_F(MailboxViewsTest, MarkColoursReadOnLightAndDarkPalettes) {
    QPalette light;
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    const auto contrast = [](const QColor& a, const QColor& b) {
        const auto lum = [](const QColor& c) {
            const auto ch = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
        };
        const double x = lum(a), y = lum(b);
        return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
    };
    for (IndexFileModel::RowMark mark : {IndexFileModel::RowMark::Alarm, IndexFileModel::RowMark::Failed}) {
        for (const QPalette& p : {light, dark}) {
            const QColor c = RowMarkColour(int(mark), p);
            EXPECT_GE(contrast(c, p.color(QPalette::Base)), 3.0)
                << int(mark) << " on " << p.color(QPalette::Base).name().toStdString();
        }
    }
    EXPECT_EQ(RowMarkColour(int(IndexFileModel::RowMark::Alarm), light), QColor(Qt::red));
    EXPECT_NE(RowMarkColour(int(IndexFileModel::RowMark::Alarm), light),
              RowMarkColour(int(IndexFileModel::RowMark::Failed), light));
}

TEST(IndexTimeTest, ReadsTheIndexFormsAndNothingElse) {
    struct Case {
        const char* text;
        const char* shown; // nullptr: no time
    };
    const Case cases[] = {
        {"2026-01-02 10:05:33", "2026-01-02 10:05"},
        {" 2026-1-2  9:05 ", "2026-01-02 09:05"},
        {"13-01-03 09:05", "2013-01-03 09:05"},
        {"99-12-31 23:59", "1999-12-31 23:59"},
        {"69-12-31 23:59", "2069-12-31 23:59"},
        {"Unknown", nullptr},
        {"", nullptr},
        {"2026-02-30 10:00", nullptr},
        {"2026-01-02 24:00", nullptr},
        {"2026-01-02 10:5", nullptr},
        {"2026-01-02", nullptr},
        {"03.01.2013 09:05:00", nullptr},
        {"2026-01-02 10:05 PM", nullptr},
        {"123-01-02 10:05", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<IndexTime> t = ParseIndexTime(QString::fromLatin1(c.text));
        ASSERT_EQ(t.has_value(), c.shown != nullptr) << c.text;
        if (t) {
            EXPECT_EQ(IndexTimeText(*t), QString::fromLatin1(c.shown)) << c.text;
        }
    }
    EXPECT_EQ(ParseIndexTime(u"26-01-02", u' ', u"10:15").value_or(IndexTime{}).key(), 20260102101500);
    EXPECT_EQ(ParseIndexTime(u"2026-12-10 08", u':', u"15").value_or(IndexTime{}).key(), 20261210081500);
    EXPECT_FALSE(ParseIndexTime(QString(60, u'1'), u' ', u"10:15"));
}

TEST_F(MailboxViewsTest, EveryGridShowsOneDateTimeFormAndSortsByTheTime) {
    writeInbox({{"a.in", 0, "", "2026-01-02 10:05:33"}, {"b.in", 0, "", "damaged"}});
    InboxModel inbox;
    inbox.setFile(m_inbox);
    const int received = columnOf(inbox, InboxIdx::Received);
    EXPECT_EQ(inbox.cellText(0, received), QStringLiteral("2026-01-02 10:05"));
    EXPECT_EQ(inbox.cellText(1, received), QStringLiteral("damaged")) << "what is no time is shown as stored";

    // Sent Items: one column for date and time; across the turn of the century by the time, not the text.
    const QString outPath = m_dir.filePath(QStringLiteral("OUT.IDX"));
    writeLines(outPath, {outLine("new.out", "00-01-01", "00:10", "Delivered", "1"),
                         outLine("old.out", "99-12-31", "23:50", "Delivered", "1"),
                         outLine("odd.out", "-", "-", "Delivered", "1"),
                         outLine("mid.out", "00-01-01", "00:09", "Delivered", "1")});
    OutboxModel out;
    out.setFile(outPath);
    const int date = columnOf(out, OutIdx::Date);
    ASSERT_EQ(date, 0);
    EXPECT_EQ(columnOf(out, OutIdx::Time), -1);
    EXPECT_EQ(out.headerData(date, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Date & Time"));
    EXPECT_EQ(out.cellText(0, date), QStringLiteral("2000-01-01 00:10"));
    EXPECT_EQ(out.cellText(2, date), QStringLiteral("- -"));
    out.sort(date, Qt::AscendingOrder);
    QStringList order;
    for (int r = 0; r < out.rowCount(); ++r)
        order << out.fileName(r);
    EXPECT_EQ(order, QStringList({QStringLiteral("old.out"), QStringLiteral("mid.out"), QStringLiteral("new.out"),
                                  QStringLiteral("odd.out")}));

    // The EGC grid: the same form.
    const QString egcPath = m_dir.filePath(QStringLiteral("EGC.IDX"));
    writeLines(egcPath, {QStringLiteral("EGC.001:002:31:2:0:2026-12-10 08:15:1234:56:Mem:No:1.egc")});
    EgcModel egc;
    egc.open(egcPath);
    EXPECT_EQ(egc.cellText(0, EgcModel::DateTime), QStringLiteral("2026-12-10 08:15"));
}

TEST_F(MailboxViewsTest, EgcGridHidesEmptyColumnsAndReadsItsBodiesInItsPane) {
    const QString folder = m_dir.filePath(QStringLiteral("Egc")) + u'/';
    ASSERT_TRUE(QDir().mkpath(folder));
    writeLines(folder + QStringLiteral("EGC.IDX"),
               {QStringLiteral("EGC.001:002:31:2:0:2026-12-10 08:15:1234:56::No:1.egc"),
                QStringLiteral("EGC.002:102:4:1:6:2026-12-09 07:05:300:12::Yes:2.egc")});
    writeBytes(folder + QStringLiteral("1.egc"), "NAVAREA I 123/26\r\nGALE WARNING\r\n");
    EgcModel m;
    m.open(folder + QStringLiteral("EGC.IDX"));
    EgcView view(m, *m_config);
    view.setEgcFolder(folder);
    EXPECT_TRUE(view.isColumnHidden(EgcModel::Routing));
    EXPECT_FALSE(view.isColumnHidden(EgcModel::DateTime));
    view.page();
    view.setCurrentIndex(m.index(m.rowOfFileName(u"1.egc"), 0));
    EXPECT_EQ(view.readingPane()->body(), QStringLiteral("NAVAREA I 123/26\nGALE WARNING\n"));
    EXPECT_TRUE(view.readingPane()->headerText().contains(QStringLiteral("Priority: Urgent")));
    EXPECT_TRUE(m.isUnread(view.currentRow()));

    // The choice lives in the grid's own section; the widths stay where they always were.
    view.setColumnShown(EgcModel::Routing, true);
    view.saveLayout();
    newConfig();
    EXPECT_EQ(m_config->GetSettingValue(QStringLiteral("EGCGRID"), QStringLiteral("ShownColumns")),
              QString::number(EgcIdx::Routing));
    EXPECT_EQ(m_config->GetSettingValue(QStringLiteral("Config"), QStringLiteral("EGCGRID")).split(u':').size(),
              m.columnCount());
}

} // namespace
