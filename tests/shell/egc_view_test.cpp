#include "shell_fakes.h"
#include "shell_test_app.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "egc/egc_idx.h"
#include "shell/egc_model.h"
#include "shell/egc_view.h"
#include "shell/main_form.h"
#include "shell/main_menus.h"
#include "shell/message_window.h"
#include "status/session.h"

#include <QAction>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

// Five kinds of line: an Urgent EGC, one stored while the EGC log was empty, a line cut short, a read
// Safety EGC, and a Distress EGC whose LES was repaired to plain decimal.
const char* const kFixture[] = {
    "EGC.001:002:31:2:0:2026-12-10 08:15:1234:56:Mem+M:No:26121001.egc",
    "EGC.002:Unk:-1:-1:-1:Unknown::-1:-1:Unknown:No:26121002.egc",
    "EGC.003:102:4:1:0:2026-12-09 07",
    "EGC.004:102:4:1:6:2026-12-09 07:05:300:12:+M:Yes:26120901.egc",
    "EGC.005:2:14:3:7:2026-12-11 00:01:10:77:Mem:No:26121101.egc",
};

void writeIndex(const QString& path, const QStringList& extra = {}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const char* l : kFixture)
        f.write(QByteArray(l) + "\r\n");
    for (const QString& l : extra)
        f.write(l.toLatin1() + "\r\n");
}

QStringList rowTexts(const EgcModel& m, int row) {
    QStringList cells;
    for (int c = 0; c < m.columnCount(); ++c)
        cells << m.data(m.index(row, c), Qt::DisplayRole).toString();
    return cells;
}

class EgcViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_config = std::make_unique<CConfiguration>(m_dir.path() + QLatin1Char('/'), false,
                                                    m_dir.filePath(QStringLiteral("settings.ini")));
        m_index = m_dir.filePath(QStringLiteral("EGC/EGC.IDX"));
    }
    // The store's folder, made by the EGC module at start-up.
    void makeFolder() { ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("EGC"))); }
    QTemporaryDir m_dir;
    std::unique_ptr<CConfiguration> m_config;
    QString m_index;
};

TEST_F(EgcViewTest, RowsShowTheDecodedIndexSortedOnDateAndTime) {
    EgcModel m;
    m.open(m_index);
    EXPECT_TRUE(QFile::exists(m_index)) << "a missing EGC.IDX is created empty when the view opens";
    EXPECT_EQ(m.rowCount(), 0);
    writeIndex(m_index);
    m.refresh();

    const QStringList headers = test::AsciiTexts({"Disk Filename", "Modem Filename", "LES", "Service", "Priority",
                                                  "Bits", "Date & Time", "Size", "Ref.No.", "Routing"});
    ASSERT_EQ(m.columnCount(), headers.size());
    for (int c = 0; c < m.columnCount(); ++c)
        EXPECT_EQ(m.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);

    // The short line is no row; the rest come in the text order of "Date & Time", "Unknown" last.
    const QList<QStringList> expected = {
        test::AsciiTexts({"26120901.egc", "EGC.004", "102", "NAV Warning", "Safety", "5 Bit TELEX", "2026-12-09 07:05",
                          "300", "12", "+M"}),
        test::AsciiTexts({"26121001.egc", "EGC.001", "002", "MET/NAV Warning/Forecast", "Urgent", "7 Bit IA5",
                          "2026-12-10 08:15", "1234", "56", "Mem+M"}),
        test::AsciiTexts({"26121101.egc", "EGC.005", "002", "Distress Alert Relay", "Distress", "8 Bit Data",
                          "2026-12-11 00:01", "10", "77", "Mem"}),
        test::AsciiTexts(
            {"26121002.egc", "EGC.002", "Unk", "Unknown", "Unknown", "Unknown", "Unknown", "-1", "-1", "Unknown"}),
    };
    ASSERT_EQ(m.rowCount(), expected.size());
    for (int r = 0; r < m.rowCount(); ++r)
        EXPECT_EQ(rowTexts(m, r), expected[r]) << "row " << r;

    // Unread ("No") rows bold, Urgent and Distress rows pure red.
    const bool bold[] = {false, true, true, true};
    const bool red[] = {false, true, true, false};
    for (int r = 0; r < m.rowCount(); ++r) {
        const QVariant font = m.data(m.index(r, 3), Qt::FontRole);
        EXPECT_EQ(font.isValid() && font.value<QFont>().bold(), bold[r]) << "row " << r;
        const QVariant colour = m.data(m.index(r, 0), Qt::ForegroundRole);
        EXPECT_EQ(colour.isValid(), red[r]) << "row " << r;
        if (red[r]) {
            EXPECT_EQ(colour.value<QColor>().rgb() & 0xFFFFFF, 0xFF0000u) << "row " << r;
        }
    }

    // A click on "Size" sorts by number; "Date & Time" descending puts "Unknown" first.
    m.sort(EgcModel::Size, Qt::AscendingOrder);
    QStringList sizes;
    for (int r = 0; r < m.rowCount(); ++r)
        sizes << m.cellText(r, EgcModel::Size);
    EXPECT_EQ(sizes, test::AsciiTexts({"-1", "10", "300", "1234"}));
    m.sort(EgcModel::DateTime, Qt::DescendingOrder);
    EXPECT_EQ(m.diskFileName(0), QStringLiteral("26121002.egc"));
}

TEST_F(EgcViewTest, StoredEgcIsAppendedOnceAndChangesReloadTheGrid) {
    makeFolder();
    writeIndex(m_index);
    EgcModel m;
    m.open(m_index);
    ASSERT_EQ(m.rowCount(), 4);

    EgcLogEntry log;
    log.Les = 112;
    log.Service = 31;
    log.Priority = 3;
    log.Bits = 0;
    log.Date = QStringLiteral("2026-12-08");
    log.Time = QStringLiteral("23:59");
    log.Size = 99;
    log.RefNo = 5;
    log.Routing = QStringLiteral("Mem");
    log.FileName = QStringLiteral("EGC.006");
    const EgcIdxRecord stored = EgcIdx::fromLog(log, QStringLiteral("26120801.egc"));
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    m.appendStored(stored);
    ASSERT_EQ(inserted.count(), 1) << "one row added, no reload of the whole grid";
    ASSERT_EQ(m.rowCount(), 5);
    EXPECT_EQ(rowTexts(m, 4), test::AsciiTexts({"26120801.egc", "EGC.006", "112", "MET/NAV Warning/Forecast",
                                                "Distress", "7 Bit IA5", "2026-12-08 23:59", "99", "5", "Mem"}));
    EXPECT_TRUE(m.isUnread(4));
    EXPECT_TRUE(m.isAlarmPriority(4));
    m.appendStored(stored); // the same file announced again: no second row
    EXPECT_EQ(m.rowCount(), 5);

    // The store writes the line and announces a change: the reload sorts the new row into place.
    writeIndex(m_index, {EgcIdx::format(stored)});
    m.refresh();
    ASSERT_EQ(m.rowCount(), 5);
    EXPECT_EQ(m.diskFileName(0), QStringLiteral("26120801.egc"));
}

TEST_F(EgcViewTest, ColumnWidthsRoundTripThroughEgcGrid) {
    makeFolder();
    writeIndex(m_index);
    EgcModel m;
    m.open(m_index);
    QList<int> widths;
    {
        EgcView v(m, *m_config);
        for (int c = 0; c < m.columnCount(); ++c) {
            v.horizontalHeader()->resizeSection(c, 50 + 7 * c);
            widths << v.horizontalHeader()->sectionSize(c);
        }
        v.saveLayout();
    }
    QStringList joined;
    for (int w : widths)
        joined << QString::number(w);
    EXPECT_EQ(m_config->GetSettingValue(QStringLiteral("Config"), QStringLiteral("EGCGRID")), joined.join(u':'));
    EgcView again(m, *m_config);
    for (int c = 0; c < m.columnCount() - 1; ++c) // the last column stretches to the view's edge
        EXPECT_EQ(again.horizontalHeader()->sectionSize(c), widths[c]) << "column " << c;
}

TEST(EgcDeleteQuestionsTest, AnswersDecideWhichFilesAreDeleted) {
    struct Case {
        const char* name;
        std::vector<EgcDeleteQuestions::Answer> answers;
        QStringList deleted;
        int questions;
    };
    using A = EgcDeleteQuestions::Answer;
    const QStringList files = test::AsciiTexts({"a.egc", "b.egc", "c.egc"});
    const Case cases[] = {
        {"yes to each", {A::Yes, A::Yes, A::Yes}, files, 3},
        {"yes, then yes to all", {A::Yes, A::YesToAll}, files, 2},
        {"yes, then no to all", {A::Yes, A::NoToAll}, test::AsciiTexts({"a.egc"}), 2},
        {"no to all at once", {A::NoToAll}, {}, 1},
    };
    for (const Case& c : cases) {
        EgcDeleteQuestions q;
        QStringList asked;
        QStringList deleted;
        int finished = 0;
        QObject::connect(&q, &EgcDeleteQuestions::ask, &q, [&](const QString& text) { asked << text; });
        QObject::connect(&q, &EgcDeleteQuestions::deleteRequested, &q, [&](const QString& f) { deleted << f; });
        QObject::connect(&q, &EgcDeleteQuestions::finished, &q, [&] { ++finished; });
        q.start(files, QStringLiteral("/data/EGC/"));
        for (A a : c.answers)
            q.answer(a);
        EXPECT_EQ(deleted, c.deleted) << c.name;
        EXPECT_EQ(asked.size(), c.questions) << c.name;
        EXPECT_EQ(asked.value(0), QStringLiteral("Delete /data/EGC/a.egc ?")) << c.name;
        EXPECT_EQ(finished, 1) << c.name;
        EXPECT_FALSE(q.asking()) << c.name;
        q.answer(A::Yes); // an answer after the end changes nothing
        EXPECT_EQ(deleted, c.deleted) << c.name;
    }
}

TEST_F(EgcViewTest, DeleteKeyAsksForEachSelectedFileInTheWindow) {
    makeFolder();
    writeIndex(m_index);
    EgcModel m;
    m.open(m_index);
    EgcView v(m, *m_config);
    v.setEgcFolder(m_dir.filePath(QStringLiteral("EGC")) + QLatin1Char('/'));
    v.show();
    QSignalSpy deletes(&v, &EgcView::deleteRequested);
    v.selectionModel()->select(m.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    v.selectionModel()->select(m.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(&v, Qt::Key_Delete);

    QMessageBox* box = v.deleteQuestionBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Delete ") +
                               QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("EGC/26120901.egc"))) +
                               QStringLiteral(" ?"));
    QStringList buttons;
    for (QAbstractButton* b : box->buttons())
        buttons << b->text().remove(u'&');
    buttons.sort();
    EXPECT_EQ(buttons, test::AsciiTexts({"No to all", "Yes", "Yes to all"}));
    const auto click = [](QMessageBox* b, const QString& text) {
        for (QAbstractButton* button : b->buttons())
            if (button->text().remove(u'&') == text)
                button->click();
    };
    click(box, QStringLiteral("Yes"));
    ASSERT_EQ(deletes.count(), 1);
    EXPECT_EQ(deletes.at(0).at(0).toString(), QStringLiteral("26120901.egc"));
    QMessageBox* second = v.deleteQuestionBox();
    ASSERT_NE(second, nullptr) << "the next selected file is asked about";
    EXPECT_TRUE(second->text().contains(QLatin1String("26121101.egc")));
    QTest::keyClick(second, Qt::Key_Escape); // Escape keeps the rest
    EXPECT_EQ(deletes.count(), 1);
    EXPECT_EQ(v.deleteQuestionBox(), nullptr);
    EXPECT_FALSE(v.deleteQuestions().asking());
}

TEST_F(EgcViewTest, MainFormOpensEgcsAndForwardsTheOperatorsRequests) {
    makeFolder();
    writeIndex(m_index);
    QFile body(m_dir.filePath(QStringLiteral("EGC/26121001.egc")));
    ASSERT_TRUE(body.open(QIODevice::WriteOnly));
    body.write("NAVAREA I 123/26\r\nGALE WARNING\r\n");
    body.close();
    ManualClock clock;
    CSession session;
    MainForm form(*m_config, session, clock);
    form.setEgcStore(m_index, m_dir.filePath(QStringLiteral("EGC")) + QLatin1Char('/'));
    ASSERT_EQ(form.egcModel().rowCount(), 4);
    form.mailboxTabs().setCurrentIndex(MainForm::kEgcTab);
    EXPECT_EQ(form.mailboxTabs().tabText(MainForm::kEgcTab), QStringLiteral("EGC"));

    // Enter on a row shows its text in the message window.
    form.egcView().setCurrentIndex(form.egcModel().index(1, 0));
    QTest::keyClick(&form.egcView(), Qt::Key_Return);
    MessageWindow* window = form.findChild<MessageWindow*>(QStringLiteral("MessageWindow"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->body().contains(QLatin1String("GALE WARNING")));
    EXPECT_TRUE(window->windowTitle().contains(QLatin1String("26121001.egc")));
    window->close();

    QSignalSpy unread(&form, &MainForm::markEgcUnreadRequested);
    form.markSelectedUnread();
    ASSERT_EQ(unread.count(), 1);
    EXPECT_EQ(unread.at(0).at(0).toString(), QStringLiteral("26121001.egc"));

    // The store reports a stored EGC and later a changed index.
    EgcIdxRecord r = *EgcIdx::parse(QString::fromLatin1(kFixture[0]));
    r.stored.clear();
    r.DiskFileName = QStringLiteral("26121003.egc");
    form.egcStored(r, QStringLiteral("text"));
    EXPECT_EQ(form.egcModel().rowCount(), 5);
    form.reloadEgcList();
    EXPECT_EQ(form.egcModel().rowCount(), 4) << "the grid shows what the index holds";
}

TEST_F(EgcViewTest, EgcMenuEntriesEmitTheirSignals) {
    ManualClock clock;
    CSession session;
    MainForm form(*m_config, session, clock);
    MainMenus& menus = form.menus();
    QSignalSpy setup(&form, &MainForm::egcSetupRequested);
    QSignalSpy enids(&form, &MainForm::enidListRequested);
    QSignalSpy repair(&form, &MainForm::repairEgcLogRequested);
    QSignalSpy simulate(&form, &MainForm::simulateEgcRequested);
    QSignalSpy rxError(&form, &MainForm::simulateEgcRxErrorToggled);
    menus.egcSetup->trigger();
    menus.enidList->trigger();
    menus.repairEgcLog->trigger();
    for (QAction* a : menus.receiveEgc)
        a->trigger();
    menus.simulateEgcRxError->trigger();
    menus.simulateEgcRxError->trigger();
    EXPECT_EQ(setup.count(), 1);
    EXPECT_EQ(enids.count(), 1);
    EXPECT_EQ(repair.count(), 1);
    QList<int> priorities;
    for (const QList<QVariant>& call : simulate)
        priorities << call.at(0).toInt();
    EXPECT_EQ(priorities, QList<int>({3, 0, 1, 2})) << "Distress, Routine, Safety, Urgency";
    ASSERT_EQ(rxError.count(), 2);
    EXPECT_TRUE(rxError.at(0).at(0).toBool());
    EXPECT_FALSE(rxError.at(1).at(0).toBool());
    EXPECT_TRUE(menus.simulateEgcRxError->isCheckable());
    EXPECT_EQ(menus.receiveEgc[0]->text(), QStringLiteral("Receive EGC &Distress"));
    EXPECT_EQ(menus.egcSetup->text().remove(u'&'), QStringLiteral("EGC Setup..."));
}

} // namespace
