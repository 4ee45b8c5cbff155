#include "status/link_test.h"
#include "status_fixture.h"

using namespace tessaro;
using tessaro::test::ReadReply;

TEST(StatusLinkTestParse, BlockRunsToTheEndOfTheTestAtUtcLine) {
    const auto block = ParseLinkTestResults(ReadReply("st_m_results.txt"));
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(*block, QStringLiteral("Latest Link Test results\r\n\r\n  Result          : Passed\r\n"
                                     "  Signal level    : 5\r\n  Test at UTC     : 13-05-07 09:12\r\n"));
    // Empty lines are not copied into the window.
    EXPECT_EQ(LinkTestWindowText(*block, QStringLiteral("\r\n"), QStringLiteral("can0:/$ ")),
              QStringLiteral("Latest Link Test results\r\n  Result          : Passed\r\n  Signal level    : 5\r\n"
                             "  Test at UTC     : 13-05-07 09:12\r\n"));
}

TEST(StatusLinkTestParse, NoCompleteBlockMeansNoResults) {
    EXPECT_FALSE(ParseLinkTestResults(ReadReply("st_m_no_results.txt")).has_value());
    EXPECT_FALSE(ParseLinkTestResults(ReadReply("st_m_no_test_line.txt")).has_value());
    // "Test at UTC" before the heading does not count, nor a last line without its line end.
    EXPECT_FALSE(ParseLinkTestResults(QStringLiteral("Test at UTC 1\r\nLatest Link Test results\r\n")).has_value());
    EXPECT_FALSE(ParseLinkTestResults(QStringLiteral("Latest Link Test results\r\nTest at UTC 1")).has_value());
    EXPECT_EQ(NoLinkTestResultsText(), QStringLiteral("No LINK Test results available"));
}

TEST(StatusLinkTestParse, LfLineEndsAndPromptsInTheBlock) {
    const auto block =
        ParseLinkTestResults(QStringLiteral("st -m\nLATEST LINK TEST RESULTS\nx\ncan0:/$ ok\ntest at utc 9\n"));
    ASSERT_TRUE(block.has_value());
    // One-character lines are dropped, the prompt text is cut out of a line.
    EXPECT_EQ(LinkTestWindowText(*block, QStringLiteral("\n"), QStringLiteral("can0:/$ ")),
              QStringLiteral("LATEST LINK TEST RESULTS\r\nok\r\ntest at utc 9\r\n"));
    // Split at a line end the shell did not use: no stray CR or LF survives.
    const QString text = LinkTestWindowText(QStringLiteral("ab\r\ncd\r\n"), QStringLiteral("\n"), QString());
    EXPECT_EQ(text, QStringLiteral("ab\r\ncd\r\n"));
}
