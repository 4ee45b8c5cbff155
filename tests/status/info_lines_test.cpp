#include "status/info_lines.h"

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

const QString kPrompt = QStringLiteral("can0:/$ ");

QString stl(const QString& lines) {
    return QStringLiteral("st -l\r\nStatus ok\r\n") + lines + QStringLiteral("\r\n") + kPrompt;
}

} // namespace

TEST(InfoLines, CuttingCodesAndTerminators) {
    auto lines = CutInfoLines(stl(QStringLiteral("INFO   80: Transmission failed.\r\nLES 102\r\nINFO 82: x")),
                              QStringLiteral("INFO "), kPrompt);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].code, QStringLiteral("80"));
    EXPECT_EQ(lines[0].text, QStringLiteral("Transmission failed.\r\nLES 102"));
    EXPECT_EQ(lines[1].code, QStringLiteral("82"));
    // An ERROR line between two INFO lines ends the first.
    lines = CutInfoLines(stl(QStringLiteral("INFO 40: a\r\nERROR 105: Remote Printer not OK\r\nINFO 50: b")),
                         QStringLiteral("INFO "), kPrompt);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].text, QStringLiteral("a"));
    EXPECT_EQ(lines[1].text, QStringLiteral("b"));
    const auto errors =
        CutInfoLines(stl(QStringLiteral("INFO 40: a\r\nERROR 105: Remote Printer not OK\r\nINFO 50: b")),
                     QStringLiteral("ERROR "), kPrompt);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].code, QStringLiteral("105"));
    // LF-only shells and a missing prompt.
    lines = CutInfoLines(QStringLiteral("st -l\nINFO 40: a\ncan0:/$ "), QStringLiteral("INFO "), kPrompt);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].text, QStringLiteral("a"));
    lines = CutInfoLines(QStringLiteral("st -l\r\nINFO 40: cut off"), QStringLiteral("INFO "), kPrompt);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_FALSE(lines[0].terminated);
    EXPECT_TRUE(
        CutInfoLines(QStringLiteral("INFO 40: not after a line end"), QStringLiteral("INFO "), kPrompt).isEmpty());
}
