#include "app/runtime_rig.h"
#include "egc/egc_codes.h"
#include "egc/egc_module.h"
#include "egc/egc_store.h"
#include "egc_replies.h"
#include "messaging/index_file.h"
#include "messaging/message_store.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::egcLog;
using test::egcName;
using test::longListing;
using test::tyReply;

const QString kLastNumber = QStringLiteral("[LastEgcNumber]");
const QString kLastDate = QStringLiteral("[LastEgcDate]");

// The runtime on in-memory links with a known transceiver (terminal program and control unit 1.3, so
// receptions are checked for completeness) and an EGC folder of its own.
class EgcStoreTest : public ::testing::Test {
protected:
    test::RuntimeRig rig;
    CEGC* egc = nullptr;
    qint64 freeKb = 1 << 20;

    void SetUp() override {
        rig.runtime->config().SetIni(QStringLiteral("[egc]"), rig.path + QStringLiteral("egc/"));
        ASSERT_TRUE(rig.start().ok);
        rig.session().SetMinicSwVersion(1, 3);
        rig.runtime->config().SetTcuSwVersion(1, 3);
        egc = &rig.runtime->egc().egc();
        rig.runtime->egc().setFreeDiskProbe([this](const QString&) { return freeKb; });
    }
    void TearDown() override { SetStoreWriteFault({}); }

    QStringList queued() { return rig.queue().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts); }
    void clearQueue() { rig.terminal().engine().queue().clear(); }
    QStringList index() { return ReadIndexLines(egc->indexPath()); }
    QString folder() { return egc->egcFolder(); }
    QByteArray body(const QString& diskName) {
        QFile f(folder() + diskName);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString ini(const QString& key) { return rig.runtime->config().GetIni(key); }
    // Listing and log of one cycle; the queue then holds the cycle's "ty" lines.
    void listAndLog(const QList<test::ListedEgc>& files, const QList<test::LoggedEgc>& log) {
        egc->HandleListing(longListing(files));
        ASSERT_TRUE(rig.session().ProcessingEgcs());
        ASSERT_EQ(queued(), QStringList{QStringLiteral("st -e")});
        clearQueue();
        egc->HandleLogReply(egcLog(log));
    }
    void setModel(int model) {
        TransceiverIdentity id = rig.session().Identity();
        id.ProductModel = model;
        rig.session().SetIdentity(id);
    }
    QStringList bodyFiles() { return QDir(folder()).entryList({QStringLiteral("*.egc")}, QDir::Files, QDir::Name); }
};

TEST_F(EgcStoreTest, EgcsAreFetchedOldestFirstStoredByteForByteAndDeletedAfterStoring) {
    QSignalSpy stored(egc, &CEGC::egcStored);
    listAndLog({{8, 6, "26-12-10", "08:15"}, {7, 5, "26-12-10", "08:10"}},
               {{7, 102, 31, 1, "26-12-10", "08:10", 5, "Mem"}, {8, 2, 4, 3, "26-12-10", "08:15", 6, "Pr+M"}});
    EXPECT_EQ(queued(), (QStringList{QStringLiteral("ty EGC.007 -b -k"), QStringLiteral("ty EGC.008 -b -k")}));
    EXPECT_TRUE(rig.terminal().timer(TerminalTimer::Egc).isActive());

    QByteArray bytes("NAV\r\n");
    bytes[1] = char(0xC5); // a byte above 127 survives
    clearQueue();
    egc->Transfer(tyReply(7, bytes));
    EXPECT_EQ(bodyFiles(), QStringList{QStringLiteral("13010301.egc")});
    EXPECT_EQ(body(QStringLiteral("13010301.egc")), bytes);
    EXPECT_EQ(index(), QStringList{QStringLiteral("EGC.007:102:31:1:0:2026-12-10 08:10:5:4007:Mem:No:13010301.egc")});
    EXPECT_EQ(queued(), QStringList{QStringLiteral("delete EGC.007")});
    EXPECT_EQ(ini(kLastNumber), QStringLiteral("007"));
    EXPECT_EQ(ini(kLastDate), QStringLiteral("2026-12-10 08:10"));
    EXPECT_TRUE(rig.form.alerts.empty()) << "a Safety EGC raises no alarm";

    egc->Transfer(tyReply(8, "ABCDEF"));
    EXPECT_EQ(body(QStringLiteral("13010302.egc")), QByteArray("ABCDEF"));
    ASSERT_EQ(index().size(), 2);
    EXPECT_EQ(index()[1], QStringLiteral("EGC.008:002:4:3:0:2026-12-10 08:15:6:4008:Pr+M:No:13010302.egc"));
    ASSERT_EQ(rig.form.alerts.size(), 1u);
    EXPECT_EQ(rig.form.alerts[0].first, AlertKind::EgcDistress);
    EXPECT_TRUE(rig.form.alerts[0].second.contains(QLatin1String("EGC.008")));
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[1][0].value<EgcIdxRecord>().DiskFileName, QStringLiteral("13010302.egc"));

    // The cycle ends with the last delete.
    clearQueue();
    rig.terminal().engine().queue().QueueCommand(QStringLiteral("delete EGC.008"), false, false);
    egc->HandleDelete(QStringLiteral("delete EGC.007\r\ncan0:/$ "));
    EXPECT_TRUE(rig.session().ProcessingEgcs());
    clearQueue();
    egc->HandleDelete(QStringLiteral("delete EGC.008\r\ncan0:/$ "));
    EXPECT_FALSE(rig.session().ProcessingEgcs());
    EXPECT_FALSE(rig.terminal().timer(TerminalTimer::Egc).isActive());

    // The next listing shows only what was handled: nothing new, the cycle ends at once.
    egc->HandleListing(longListing({{8, 6, "26-12-10", "08:15"}}));
    EXPECT_FALSE(rig.session().ProcessingEgcs());
    EXPECT_TRUE(queued().isEmpty());
}

// A kill after storing but before the deletes (and before Tessaro.ini kept the last-EGC keys) leaves the
// stored EGCs in the transceiver: the next run fetches them again and must only delete them.
TEST_F(EgcStoreTest, AnEgcStoredBeforeAKillIsDeletedNotStoredAgainWhenFetchedAnew) {
    const QList<test::ListedEgc> listed{{7, 5, "26-12-10", "08:10"}, {8, 6, "26-12-10", "08:15"}};
    const QList<test::LoggedEgc> logged{{7, 102, 31, 2, "26-12-10", "08:10", 5, "Mem"},
                                        {8, 102, 31, 0, "26-12-10", "08:15", 6, "Mem"}};
    listAndLog(listed, logged);
    clearQueue();
    egc->Transfer(tyReply(7, "NAV-A"));
    egc->Transfer(tyReply(8, "NAV-BB"));
    ASSERT_EQ(index().size(), 2);
    ASSERT_EQ(rig.form.alerts.size(), 1u);
    const QStringList firstIndex = index();

    // The run ends before the deletes are written; the next one starts without the last-EGC keys.
    egc->LinkLost();
    clearQueue();
    rig.runtime->config().SetIni(kLastNumber, QString());
    rig.runtime->config().SetIni(kLastDate, QString());
    listAndLog(listed, logged);
    clearQueue();
    egc->Transfer(tyReply(7, "NAV-A"));
    egc->Transfer(tyReply(8, "NAV-BB"));
    EXPECT_EQ(index(), firstIndex);
    EXPECT_EQ(bodyFiles().size(), 2);
    EXPECT_EQ(queued(), (QStringList{QStringLiteral("delete EGC.007"), QStringLiteral("delete EGC.008")}));
    EXPECT_EQ(rig.form.alerts.size(), 1u) << "no second alarm for an EGC already stored";
    EXPECT_EQ(ini(kLastNumber), QStringLiteral("008"));

    // Another EGC under a reused name is new: other bytes or another reference are stored.
    egc->LinkLost();
    clearQueue();
    listAndLog({{7, 5, "26-12-10", "09:10"}}, {{7, 102, 31, 0, "26-12-10", "09:10", 5, "Mem"}});
    clearQueue();
    egc->Transfer(tyReply(7, "NAV-C"));
    EXPECT_EQ(index().size(), 3);
}

TEST_F(EgcStoreTest, EgcsArePrintedWithoutTheirFirstLineOnlyWhenAskedAndPossible) {
    struct Case {
        int family;
        const char* printEgcs;
        bool printed;
    };
    const Case cases[] = {{4, "1", true}, {5, "1", true}, {3, "1", false}, {4, "0", false}, {5, "", false}};
    QSignalSpy printed(&rig.runtime->egc(), &EgcModule::printRequested);
    int number = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        TransceiverIdentity id = rig.session().Identity();
        id.ProductType = c.family;
        rig.session().SetIdentity(id);
        rig.runtime->config().SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("PrintEgcs"),
                                               QLatin1String(c.printEgcs));
        printed.clear();
        rig.session().SetProcessingEgcs(false);
        ++number;
        listAndLog({{number, 14, "26-12-10", "08:10"}}, {{number, 102, 31, 0, "26-12-10", "08:10", 14, "Mem"}});
        clearQueue();
        egc->Transfer(tyReply(number, "ZCZC AB12\r\nTEXT\r\n"));
        ASSERT_EQ(printed.size(), c.printed ? 1 : 0);
        if (c.printed) {
            EXPECT_EQ(printed[0][0].toString(), QStringLiteral("TEXT\r\n"));
        }
        clearQueue();
    }
}

TEST_F(EgcStoreTest, OlderModelsFetchWithoutTheKeepFlag) {
    for (const int model : {1, 6}) {
        SCOPED_TRACE(model);
        setModel(model);
        EXPECT_EQ(egc->TyCommand(QStringLiteral("EGC.007")), QStringLiteral("ty EGC.007 -b"));
    }
    setModel(2);
    EXPECT_EQ(egc->TyCommand(QStringLiteral("EGC.007")), QStringLiteral("ty EGC.007 -b -k"));
}

TEST_F(EgcStoreTest, UnmarkedEgcsStayInTheTransceiverWithOneErrorLogLine) {
    for (int cycle = 0; cycle < 2; ++cycle) {
        listAndLog({{7, 5, "26-12-10", "08:10"}}, {{7, 102, 31, 0, "26-12-10", "08:10", 5, "Pr"}});
        EXPECT_TRUE(queued().isEmpty());
        EXPECT_FALSE(rig.session().ProcessingEgcs()) << "nothing to fetch ends the cycle";
    }
    const QByteArray log = rig.file(QStringLiteral("ErrorLog.txt"));
    EXPECT_EQ(log.count("EGC.007 not saved: EGC not marked for saving"), 1) << log.toStdString();
    EXPECT_TRUE(index().isEmpty());
}

TEST_F(EgcStoreTest, AnEnidDownloadIsAnnouncedDeletedAndNeverStored) {
    QSignalSpy enid(&rig.runtime->egc(), &EgcModule::enidDownloaded);
    listAndLog({{7, 5, "26-12-10", "08:10"}}, {{7, 102, 33, 0, "26-12-10", "08:10", 5, "Mem"}});
    clearQueue();
    egc->Transfer(tyReply(7, "ENIDS"));
    EXPECT_EQ(enid.size(), 1);
    EXPECT_TRUE(index().isEmpty());
    EXPECT_TRUE(bodyFiles().isEmpty());
    EXPECT_EQ(queued(), QStringList{QStringLiteral("delete EGC.007")});
    EXPECT_EQ(ini(kLastNumber), QStringLiteral("007"));
    ASSERT_FALSE(rig.form.statusLines.isEmpty());
    EXPECT_EQ(rig.form.statusLines.last(), QStringLiteral("2013-01-03 09:05:00: New ENID Downloaded"));
}

TEST_F(EgcStoreTest, AnEgcWithoutItsLogLineIsStoredAsUnknownAndRepairedByTheNextLog) {
    listAndLog({{7, 5, "26-12-10", "08:10"}}, {});
    EXPECT_EQ(queued(), QStringList{QStringLiteral("ty EGC.007 -b -k")});
    clearQueue();
    egc->Transfer(tyReply(7, "HELLO"));
    EXPECT_EQ(index(),
              QStringList{QStringLiteral("EGC.007:Unk:-1:-1:-1:2026-12-10 08:10:5:-1:Unknown:No:13010301.egc")});
    EXPECT_EQ(queued(), (QStringList{QStringLiteral("st -e"), QStringLiteral("delete EGC.007")}));
    EXPECT_TRUE(egc->UpdateEgcLog());

    QSignalSpy changed(egc, &CEGC::indexChanged);
    egc->HandleLogReply(egcLog({{7, 2, 31, 2, "26-12-10", "08:09", 5, "Mem"}}));
    EXPECT_FALSE(egc->UpdateEgcLog());
    EXPECT_EQ(index(), QStringList{QStringLiteral("EGC.007:2:31:2:0:2026-12-10 08:09:5:4007:Mem:No:13010301.egc")});
    EXPECT_EQ(changed.size(), 1);
}

TEST_F(EgcStoreTest, ARepairThatCannotBeWrittenLeavesTheIndexAsItWas) {
    const QByteArray stored("EGC.007:Unk:-1:-1:-1:Unknown::-1:-1:Unknown:No:a.egc\r\n");
    ASSERT_TRUE(WriteWholeFile(egc->indexPath(), stored));
    egc->DecodeEgcLog(egcLog({{7, 2, 31, 2, "26-12-10", "08:09", 5, "Mem"}}));
    SetStoreWriteFault([](const QString&) { return FileError{13, QStringLiteral("Permission denied")}; });
    rig.runtime->egc().RepairEgcLog();
    SetStoreWriteFault({});
    EXPECT_EQ(rig.file(QStringLiteral("egc/EGC.IDX")), stored);
    rig.drainBoxes();
    ASSERT_FALSE(rig.form.boxes.empty());
    EXPECT_EQ(rig.form.boxes.back().text, QStringLiteral("(UpdateIndexFile) Error '13': Permission denied."));
    rig.runtime->egc().RepairEgcLog();
    EXPECT_TRUE(index()[0].startsWith(QLatin1String("EGC.007:2:31:2:0:2026-12-10 08:09:5:")));
}

TEST_F(EgcStoreTest, AShortReceptionIsFetchedAgainTenTimesThenStoredWithANotice) {
    egc->setSimulateRxError(true); // every reception counts one character short
    listAndLog({{7, 5, "26-12-10", "08:10"}}, {{7, 102, 31, 0, "26-12-10", "08:10", 5, "Mem"}});
    for (int attempt = 1; attempt <= CEGC::kMaxAttempts; ++attempt) {
        clearQueue();
        egc->Transfer(tyReply(7, "HELLO"));
        ASSERT_EQ(queued(), QStringList{QStringLiteral("ty EGC.007 -b -k")}) << attempt;
        EXPECT_EQ(rig.runtime->config().GetSettingValue(QStringLiteral("Messages"), QStringLiteral("EgcRxErrors")),
                  QStringLiteral(";7,%1").arg(attempt));
    }
    EXPECT_TRUE(index().isEmpty());
    clearQueue();
    egc->Transfer(tyReply(7, "HELLO"));
    EXPECT_EQ(index().size(), 1);
    EXPECT_EQ(queued(), QStringList{QStringLiteral("delete EGC.007")});
    EXPECT_EQ(rig.runtime->config().GetSettingValue(QStringLiteral("Messages"), QStringLiteral("EgcRxErrors")),
              QString());
    rig.drainBoxes();
    ASSERT_FALSE(rig.form.boxes.empty());
    EXPECT_EQ(
        rig.form.boxes.back().text,
        QStringLiteral("The EGC message 'EGC.007' was attempted received 10 times, but was received with errors."));
}

TEST_F(EgcStoreTest, CompletenessIsCheckedOnlyForKnownCapableVersions) {
    struct Case {
        int minicMajor, minicMinor, tcuMajor, tcuMinor, model;
        bool checked;
    };
    const Case cases[] = {
        {1, 3, 1, 3, 2, true},
        {1, 9, 1, 4, 0, true},
        {1, 2, 1, 3, 2, false},
        {1, 3, 0, 9, 2, false},
        {2, 0, 1, 3, 2, false},
        {1, 3, 1, 3, 1, false},
        {1, 3, 1, 3, 6, false},
        // A control unit never discovered on the LAN has no known version: unchecked, a short reception would
        // be stored cut and the whole EGC deleted in the transceiver.
        {1, 3, 0, 0, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1.%2 %3.%4 model %5")
                         .arg(c.minicMajor)
                         .arg(c.minicMinor)
                         .arg(c.tcuMajor)
                         .arg(c.tcuMinor)
                         .arg(c.model)
                         .toStdString());
        rig.session().SetMinicSwVersion(c.minicMajor, c.minicMinor);
        rig.runtime->config().SetTcuSwVersion(c.tcuMajor, c.tcuMinor);
        setModel(c.model);
        rig.runtime->config().SetIni(kLastNumber, QString());
        rig.runtime->config().SetIni(kLastDate, QString());
        rig.session().SetProcessingEgcs(false);
        listAndLog({{7, 6, "26-12-10", "08:10"}}, {{7, 102, 31, 0, "26-12-10", "08:10", 6, "Mem"}});
        clearQueue();
        const qsizetype before = index().size();
        // 5 of 6 bytes, other bytes in every case: the same EGC twice would be recognised as stored already.
        egc->Transfer(tyReply(7, QByteArray("SHOR") + char('A' + (&c - cases))));
        EXPECT_EQ(index().size() == before, c.checked);
        ClearRxErrorCount(rig.runtime->config().settings(), kRxKindEgc, 7);
        clearQueue();
    }
}

TEST_F(EgcStoreTest, LowDiskEvictsOlderEgcsOfTheSameOrLowerPriorityLowestFirst) {
    // Stored: two of each priority, the second of each older than the first.
    QStringList lines;
    for (int priority = 0; priority < 4; ++priority) {
        for (int i = 0; i < 2; ++i) {
            const QString disk = QStringLiteral("p%1_%2.egc").arg(priority).arg(i);
            QFile f(folder() + disk);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            lines << QStringLiteral("EGC.%1:102:31:%2:0:26-12-0%3 10:00:5:1:Mem:Yes:%4")
                         .arg(priority * 2 + i + 100)
                         .arg(priority)
                         .arg(5 - i)
                         .arg(disk);
        }
    }
    ASSERT_TRUE(
        WriteWholeFile(egc->indexPath(), (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1()));
    const auto stored = [this] {
        QStringList out;
        for (const QString& line : index())
            out << line.section(QLatin1Char(':'), 11);
        return out;
    };

    struct Case {
        int priority;
        int needFreed; // stored EGCs that must go before the disk has room
        const char* gone;
    };
    const Case cases[] = {
        {0, 1, "p0_1.egc"},                   // the older Routine one
        {0, 5, "p0_1.egc p0_0.egc"},          // only Routine, never higher
        {1, 3, "p0_1.egc p0_0.egc p1_1.egc"}, // Routine first, then Safety
        {3, 7, "p0_1.egc p0_0.egc p1_1.egc p1_0.egc p2_1.egc p2_0.egc p3_1.egc"},
    };
    const QStringList all = stored();
    const QByteArray original = rig.file(QStringLiteral("egc/EGC.IDX"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.priority);
        ASSERT_TRUE(WriteWholeFile(egc->indexPath(), original));
        for (const QString& disk : all) {
            QFile f(folder() + disk);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        const int start = int(all.size());
        // Free space grows with every EGC removed.
        rig.runtime->egc().setFreeDiskProbe([this, start, need = c.needFreed](const QString&) {
            return qint64(int(index().size()) <= start - need ? 4096 : 100);
        });
        rig.runtime->config().SetIni(kLastNumber, QString());
        rig.session().SetProcessingEgcs(false);
        listAndLog({{7, 3, "26-12-10", "08:10"}}, {{7, 102, 31, c.priority, "26-12-10", "08:10", 3, "Mem"}});
        clearQueue();
        egc->Transfer(tyReply(7, "NEW"));
        const QStringList gone = QString::fromLatin1(c.gone).split(QLatin1Char(' '));
        QStringList expected = all;
        for (const QString& g : gone)
            expected.removeAll(g);
        const QStringList now = stored();
        EXPECT_EQ(now.mid(0, now.size() - 1), expected);
        for (const QString& g : gone)
            EXPECT_FALSE(QFile::exists(folder() + g)) << g.toStdString();
        EXPECT_EQ(queued(), QStringList{QStringLiteral("delete EGC.007")}) << "stored even when nothing more could go";
        QFile::remove(folder() + now.last());
        clearQueue();
    }
}

TEST_F(EgcStoreTest, AFailedStoreEndsTheCycleSoTheEgcIsFetchedAgain) {
    listAndLog({{7, 3, "26-12-10", "08:10"}, {8, 3, "26-12-10", "08:11"}, {9, 3, "26-12-10", "08:12"}},
               {{7, 102, 31, 0, "26-12-10", "08:10", 3, "Mem"},
                {8, 102, 31, 0, "26-12-10", "08:11", 3, "Mem"},
                {9, 102, 31, 0, "26-12-10", "08:12", 3, "Mem"}});
    // The engine has written the first fetch.
    rig.terminal().engine().queue().removeLines([](QStringView line) { return line == u"ty EGC.007 -b -k"; });
    egc->Transfer(tyReply(7, "ONE"));
    ASSERT_EQ(queued(), (QStringList{QStringLiteral("ty EGC.008 -b -k"), QStringLiteral("ty EGC.009 -b -k"),
                                     QStringLiteral("delete EGC.007")}));

    SetStoreWriteFault([](const QString& path) {
        return path.endsWith(QLatin1String(".egc")) ? FileError{28, QStringLiteral("No space left on device")}
                                                    : FileError{};
    });
    egc->Transfer(tyReply(8, "TWO"));
    // No delete for the EGC that is not stored, no further fetch that would move the keys past it; the
    // delete of the stored one stays.
    EXPECT_EQ(queued(), QStringList{QStringLiteral("delete EGC.007")});
    EXPECT_EQ(ini(kLastNumber), QStringLiteral("007"));
    EXPECT_EQ(index().size(), 1);
    EXPECT_TRUE(bodyFiles().size() == 1);
    rig.drainBoxes();
    ASSERT_FALSE(rig.form.boxes.empty());
    EXPECT_EQ(rig.form.boxes.back().text, QStringLiteral("(EGC.Transfer) Error: Not enough disk space.\r\n"
                                                         "Due to this error, Tessaro might not have saved the EGC."));
    clearQueue();
    egc->HandleDelete(QStringLiteral("delete EGC.007\r\ncan0:/$ "));
    EXPECT_FALSE(rig.session().ProcessingEgcs());

    // Room again: the next cycle fetches the failed EGC and the one after it.
    SetStoreWriteFault({});
    listAndLog({{8, 3, "26-12-10", "08:11"}, {9, 3, "26-12-10", "08:12"}},
               {{8, 102, 31, 0, "26-12-10", "08:11", 3, "Mem"}, {9, 102, 31, 0, "26-12-10", "08:12", 3, "Mem"}});
    EXPECT_EQ(queued(), (QStringList{QStringLiteral("ty EGC.008 -b -k"), QStringLiteral("ty EGC.009 -b -k")}));
}

TEST_F(EgcStoreTest, ARefusedOrCutFetchStoresAndDeletesNothing) {
    const char* replies[] = {
        "ty EGC.007 -b -k\r\nERROR 104: File EGC.007 not found\r\ncan0:/$ ",
        "ty EGC.007 -b -k\r\nFile EGC.007, 3 bytes\r\ncan0:/$ ", // the header lines cut short
    };
    for (const char* reply : replies) {
        SCOPED_TRACE(reply);
        rig.runtime->config().SetIni(kLastNumber, QString());
        listAndLog({{7, 3, "26-12-10", "08:10"}, {8, 3, "26-12-10", "08:11"}},
                   {{7, 102, 31, 0, "26-12-10", "08:10", 3, "Mem"}, {8, 102, 31, 0, "26-12-10", "08:11", 3, "Mem"}});
        egc->Transfer(QString::fromLatin1(reply));
        EXPECT_TRUE(queued().isEmpty()) << "no delete, and no later fetch that would move the keys past it";
        EXPECT_TRUE(index().isEmpty());
        EXPECT_TRUE(bodyFiles().isEmpty());
        EXPECT_FALSE(rig.session().ProcessingEgcs());
        EXPECT_EQ(ini(kLastNumber), QString());
    }
    EXPECT_TRUE(rig.file(QStringLiteral("ErrorLog.txt"))
                    .contains("Fetching EGC.007 failed: ERROR 104: File EGC.007 not found"));
}

TEST_F(EgcStoreTest, RemoteConfigurationPacketsAreDeletedAndNeverStored) {
    QStringList seen;
    egc->setRemoteConfigHandler([&seen](const QString& text, bool allowed) {
        seen << text + (allowed ? QStringLiteral(" allowed") : QStringLiteral(" refused"));
        return text.startsWith(QLatin1String("PACKET"));
    });
    struct Case {
        const char* allow;
        const char* body;
        bool stored;
    };
    const Case cases[] = {{"1", "PACKET 1", false}, {"0", "PACKET 2", false}, {"0", "NAVTEXT", true}};
    int number = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        rig.runtime->config().SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("AllowRemoteConfig"),
                                               QLatin1String(c.allow));
        rig.session().SetProcessingEgcs(false);
        ++number;
        const QByteArray body(c.body);
        listAndLog({{number, int(body.size()), "26-12-10", "08:10"}},
                   {{number, 102, 31, 0, "26-12-10", "08:10", int(body.size()), "Mem"}});
        clearQueue();
        const qsizetype before = index().size();
        egc->Transfer(tyReply(number, body));
        EXPECT_EQ(index().size() - before, c.stored ? 1 : 0);
        EXPECT_EQ(queued().filter(QStringLiteral("delete ") + egcName(number)).size(), 1);
        clearQueue();
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("PACKET 1 allowed"), QStringLiteral("PACKET 2 refused"),
                                 QStringLiteral("NAVTEXT refused")}));
}

TEST_F(EgcStoreTest, ALostLinkEndsTheCycleButKeepsTheDeletesOfStoredEgcs) {
    listAndLog({{7, 3, "26-12-10", "08:10"}, {8, 3, "26-12-10", "08:11"}},
               {{7, 102, 31, 0, "26-12-10", "08:10", 3, "Mem"}, {8, 102, 31, 0, "26-12-10", "08:11", 3, "Mem"}});
    rig.terminal().engine().queue().removeLines([](QStringView line) { return line == u"ty EGC.007 -b -k"; });
    egc->Transfer(tyReply(7, "ONE"));
    rig.terminal().LinkLost();
    EXPECT_EQ(queued(), QStringList{QStringLiteral("delete EGC.007")});
    EXPECT_FALSE(rig.session().ProcessingEgcs());
    EXPECT_FALSE(rig.terminal().timer(TerminalTimer::Egc).isActive());
}

TEST_F(EgcStoreTest, AFailedIndexAppendLeavesNoBodyAndOtherErrorsNameTheFile) {
    listAndLog({{7, 3, "26-12-10", "08:10"}}, {{7, 102, 31, 0, "26-12-10", "08:10", 3, "Mem"}});
    SetStoreWriteFault([](const QString& path) {
        return path.endsWith(QLatin1String("EGC.IDX")) ? FileError{13, QStringLiteral("Permission denied")}
                                                       : FileError{};
    });
    clearQueue();
    egc->Transfer(tyReply(7, "ONE"));
    EXPECT_TRUE(bodyFiles().isEmpty()) << "no body without its index line";
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_FALSE(rig.session().ProcessingEgcs());
    rig.drainBoxes();
    ASSERT_FALSE(rig.form.boxes.empty());
    EXPECT_TRUE(rig.form.boxes.back().text.startsWith(QStringLiteral("(EGC.Transfer) Error '13': Permission denied.\r\n"
                                                                     "Could not open the file '")));
    EXPECT_EQ(rig.form.boxes.back().title, QStringLiteral("Error13"));
}

TEST_F(EgcStoreTest, IndexRewritesAreWholeAndKeepForeignLines) {
    const QString foreign = QStringLiteral("EGC.001:Unk:-1:-1:-1:Unknown::-1:-1:Unknown:Yes:a.egc");
    const QStringList lines = {
        foreign,
        QStringLiteral("EGC.002:102: 031:1:0:26-12-10 08:10:5:1:Mem:Yes:b.egc"),
        QStringLiteral("short:line"),
        QStringLiteral("EGC.003:102:31:1:0:26-12-10 08:10:5:1:Mem:Yes:B.EGC"),
    };
    ASSERT_TRUE(
        WriteWholeFile(egc->indexPath(), (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1()));
    QFile f(folder() + QStringLiteral("b.egc"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    QSignalSpy changed(&rig.runtime->egc(), &EgcModule::indexChanged);
    EXPECT_TRUE(rig.runtime->egc().MarkUnread(QStringLiteral("a.egc")));
    EXPECT_EQ(index()[0], QStringLiteral("EGC.001:Unk:-1:-1:-1:Unknown::-1:-1:Unknown:No:a.egc"));
    EXPECT_EQ(index()[1], lines[1]) << "other lines keep their bytes";

    EXPECT_TRUE(rig.runtime->egc().DeleteStoredEgc(QStringLiteral("b.egc")));
    EXPECT_EQ(index(), (QStringList{QStringLiteral("EGC.001:Unk:-1:-1:-1:Unknown::-1:-1:Unknown:No:a.egc"),
                                    QStringLiteral("short:line")}));
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("b.egc")));
    EXPECT_EQ(changed.size(), 2);
    EXPECT_FALSE(rig.runtime->egc().DeleteStoredEgc(QStringLiteral("b.egc")));
    // Opening marks it read again; a second open changes nothing.
    EXPECT_TRUE(rig.runtime->egc().MarkRead(QStringLiteral("a.egc")));
    EXPECT_EQ(index()[0], foreign);
    EXPECT_FALSE(rig.runtime->egc().MarkRead(QStringLiteral("a.egc")));
    // No work file is left beside the index.
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), (QStringList{QStringLiteral("EGC.IDX")}));
}

TEST(EgcStoreStart, AnInterruptedRewriteIsRecoveredBeforeTheIndexIsCreated) {
    struct Case {
        const char* work;
        bool indexThere;
        QByteArray expected;
    };
    const QByteArray saved("EGC.001:102:31:1:0:2026-12-10 08:10:5:1:Mem:No:a.egc\r\n");
    const Case cases[] = {
        {"egc.tmp", false, saved}, // the index was deleted, its work file not yet renamed
        {"EGC.BAK", false, saved},
        {"egc.tmp", true, QByteArray("old\r\n")}, // the index is whole: the work file was never in force
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.work);
        test::RuntimeRig rig;
        const QString folder = rig.path + QStringLiteral("egc/");
        rig.runtime->config().SetIni(QStringLiteral("[egc]"), folder);
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(WriteWholeFile(folder + QLatin1String(c.work), saved));
        if (c.indexThere) {
            ASSERT_TRUE(WriteWholeFile(folder + QStringLiteral("EGC.IDX"), "old\r\n"));
        }
        ASSERT_TRUE(rig.start().ok);
        EXPECT_EQ(rig.file(QStringLiteral("egc/EGC.IDX")), c.expected);
        EXPECT_FALSE(QFile::exists(folder + QLatin1String(c.work)));
    }
    test::RuntimeRig fresh;
    ASSERT_TRUE(fresh.start().ok);
    EXPECT_TRUE(QFile::exists(fresh.runtime->egc().indexPath())) << "a missing index is created empty";
}

TEST_F(EgcStoreTest, ThePollListsEgcsOnlyBetweenCyclesAndSimulationsUseTheDebugCommands) {
    rig.terminal().engine().QueuePollCycle();
    EXPECT_TRUE(queued().contains(QStringLiteral("ls EGC.*")));
    clearQueue();
    rig.session().SetProcessingEgcs(true);
    rig.terminal().engine().QueuePollCycle();
    EXPECT_FALSE(queued().contains(QStringLiteral("ls EGC.*")));
    clearQueue();
    for (int p = 0; p < 4; ++p)
        rig.runtime->egc().QueueSimulatedEgc(p);
    rig.runtime->egc().QueueSimulatedEgc(4);
    EXPECT_EQ(queued(), (QStringList{QStringLiteral("db egc sim 200"), QStringLiteral("db egc sim 400"),
                                     QStringLiteral("db egc sim 4"), QStringLiteral("db egc sim 100")}));
}

} // namespace
} // namespace tessaro
