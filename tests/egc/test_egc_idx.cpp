#include "egc/egc_codes.h"
#include "egc/egc_idx.h"

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

EgcLogEntry logEntry() {
    EgcLogEntry e;
    e.Les = 2;
    e.Service = 31;
    e.Priority = 2;
    e.Bits = 0;
    e.Date = QStringLiteral("2026-12-10");
    e.Time = QStringLiteral("08:15");
    e.Size = 812;
    e.RefNo = 4711;
    e.Routing = QStringLiteral("Pr+M");
    e.FileName = QStringLiteral("EGC.012");
    return e;
}

TEST(EgcIdx, NewLineHasTwelvePositionsAndReadsBack) {
    const EgcIdxRecord r = EgcIdx::fromLog(logEntry(), QStringLiteral("26121001.egc"));
    const QString line = EgcIdx::format(r);
    EXPECT_EQ(line, QStringLiteral("EGC.012:002:31:2:0:2026-12-10 08:15:812:4711:Pr+M:No:26121001.egc"));
    const auto back = EgcIdx::parse(line);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->lesNumber(), 2);
    EXPECT_EQ(back->dateTimeText(), QStringLiteral("2026-12-10 08:15"));
    EXPECT_TRUE(back->unread());
    EXPECT_EQ(back->DiskFileName, QStringLiteral("26121001.egc"));
}

TEST(EgcIdx, LineStoredWithoutLogIsUnknownAndRepairedFromTheLog) {
    EgcLogEntry missing;
    missing.Date = QStringLiteral("Unknown");
    missing.Time = QStringLiteral("Unknown");
    missing.FileName = QStringLiteral("EGC.003");
    const QString line = EgcIdx::format(EgcIdx::fromLog(missing, QStringLiteral("26121002.egc")));
    EXPECT_EQ(line, QStringLiteral("EGC.003:Unk:-1:-1:-1:Unknown::-1:-1:Unknown:No:26121002.egc"));
    auto stored = EgcIdx::parse(line);
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(stored->lesUnknown());
    EXPECT_EQ(stored->dateTimeText(), QStringLiteral("Unknown"));

    EgcLogEntry found = logEntry();
    found.FileName = QStringLiteral("EGC.003");
    EXPECT_EQ(EgcIdx::format(EgcIdx::repaired(*stored, found)),
              QStringLiteral("EGC.003:2:31:2:0:2026-12-10 08:15:812:4711:Pr+M:No:26121002.egc"));
}

TEST(EgcIdx, ForeignLinesKeepTheirBytesAndShortLinesAreNoEgc) {
    const QString foreign = QStringLiteral("EGC.007:044: 13:1:6:99-01-02 23:59:0120:-1:Mem:Yes:c:\\old:file.egc");
    const auto r = EgcIdx::parse(foreign);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(EgcIdx::format(*r), foreign);
    EXPECT_EQ(r->DiskFileName, QStringLiteral("c:\\old:file.egc"));
    EXPECT_FALSE(r->unread());
    EXPECT_FALSE(EgcIdx::parse(QStringLiteral("EGC.007:044:13:1:6:99-01-02 23:59:0120:-1:Mem:No")).has_value());
}

TEST(EgcCodes, TablesAndUnknowns) {
    EXPECT_EQ(ConvertEGCServiceNo(34), ConvertEGCServiceNo(44));
    EXPECT_EQ(ConvertEGCServiceNo(44), QStringLiteral("SAR Coordination"));
    EXPECT_EQ(ConvertEGCServiceNo(73), QStringLiteral("Chart Correction"));
    EXPECT_EQ(ConvertEGCServiceNo(1), QStringLiteral("Unknown"));
    EXPECT_EQ(ConvertEGCLanguage(6), QStringLiteral("5 Bit TELEX"));
    EXPECT_EQ(ConvertEGCLanguage(1), QStringLiteral("Unknown"));
    EXPECT_EQ(ConvertEGCPriorityNo(3), QStringLiteral("Distress"));
    EXPECT_EQ(ConvertEGCPriorityNo(4), QStringLiteral("Unknown"));
    EXPECT_EQ(ConvertEGCData(-1), QStringLiteral("Unknown"));
    EXPECT_EQ(ConvertEGCData(0), QStringLiteral("0"));
    EXPECT_EQ(EgcLesText(2), QStringLiteral("002"));
    EXPECT_EQ(EgcLesText(-3), QStringLiteral("Unk"));
    EXPECT_EQ(EgcLesText(QStringView(u"x12")), QStringLiteral("Unk"));
    EXPECT_EQ(EgcLesText(QStringView(u" 44")), QStringLiteral("044"));
}

} // namespace
