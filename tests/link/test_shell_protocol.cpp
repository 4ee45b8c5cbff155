#include "link/shell_protocol.h"

#include <gtest/gtest.h>

using namespace tessaro;

namespace {
struct EndCase {
    const char* buffer;
    const char* lineEnd;
    bool complete;
    bool promptSeen;
    bool bareShell;
    const char* prompt;
};

const EndCase kEndCases[] = {
    {"st -w\r\nOK\r\ncan0:/$ ", "\r\n", true, true, false, "can0:/$ "},
    {"x\r\ncan1:/$ ", "\r\n", true, true, false, "can1:/$ "},
    {"x\r\ncan2:/$ ", "\r\n", true, true, false, "can2:/$ "},
    {"x\r\ncan3:/$ ", "\r\n", false, false, false, ""},
    {"x\r\ncan0:/$", "\r\n", false, false, false, ""}, // the trailing blank belongs to the prompt
    {"minic -f\r\nkv7302:/$ ", "\r\n", false, true, true, "kv7302:/$ "},
    {"delete IN.3\r\nAre you sure\r\n: ", "\r\n", true, true, false, "\r\n: "},
    {"x\n: ", "\n", false, false, false, ""}, // a continuation prompt always follows CR LF
    {"ty IN.\r\nEnter filenumber > ", "\r\n", true, false, false, ""},
    {"x\r\nready >", "\r\n", true, false, false, ""},
    {"se -z\r\nEnter password: ", "\r\n", true, false, false, ""},
    {"se -z\r\r\nEnter new password: ", "\r\r\n", true, false, false, ""},
    {"se -z\r\nConfirm new password: ", "\r\n", true, false, false, ""},
    {"se -z\nEnter password: ", "\r\n", false, false, false, ""}, // line end must be the learned one
    {"Enter password: ", "", true, false, false, ""},             // nothing learned yet: the prompt alone
    {"tr msg.txt -b 250\r", "\r\n", true, false, false, ""},
    {"tr msg.txt -b 250\r\ncan1:/$ ", "\r\n", true, true, false, "can1:/$ "}, // the prompt is still learned
    {"tr msg.txt -b 250\r\nkv7302:/$ ", "\r\n", true, true, true, "kv7302:/$ "},
    {"tr", "\r\n", false, false, false, ""},
    {">", "\r\n", false, false, false, ""}, // a single character is never tested
    {"st -l\r\nINFO 999: busy", "\r\n", false, false, false, ""},
};
} // namespace

TEST(ShellProtocol, ReplyEndTestsApplyInTheirOrder) {
    for (const EndCase& c : kEndCases) {
        SCOPED_TRACE(c.buffer);
        const ReplyEndTest r = TestReplyEnd(QString::fromLatin1(c.buffer), QString::fromLatin1(c.lineEnd));
        EXPECT_EQ(r.complete, c.complete);
        EXPECT_EQ(r.promptSeen, c.promptSeen);
        EXPECT_EQ(r.bareShell, c.bareShell);
        EXPECT_EQ(r.prompt, QString::fromLatin1(c.prompt));
    }
}

TEST(ShellProtocol, LineEndIsLearnedOnlyFromTheProbeEcho) {
    EXPECT_EQ(LearnLineEnd(u"st -l\nOK"), QStringLiteral("\n"));
    EXPECT_EQ(LearnLineEnd(u"st -l\r\nOK"), QStringLiteral("\r\n"));
    EXPECT_EQ(LearnLineEnd(u"st -l\r\r\nOK"), QStringLiteral("\r\r\n"));
    EXPECT_FALSE(LearnLineEnd(u"st -l\r\r\r\n").has_value());
    EXPECT_FALSE(LearnLineEnd(u"st -w\r\nOK").has_value());
    EXPECT_FALSE(LearnLineEnd(u"st -l").has_value());
    EXPECT_FALSE(LearnLineEnd(u"").has_value());
}

TEST(ShellProtocol, EchoMatchNeedsTheLearnedLineEnd) {
    const QString crcrlf = QStringLiteral("\r\r\n");
    EXPECT_TRUE(EchoMatches(u"st -w\r\r\nStatus", u"st -w", crcrlf));
    EXPECT_FALSE(EchoMatches(u"st -w\r\nStatus", u"st -w", crcrlf));
    EXPECT_FALSE(EchoMatches(u"st -wx\r\r\n", u"st -w", crcrlf));
    EXPECT_FALSE(EchoMatches(u"st -w\r\r", u"st -w", crcrlf)); // cut short
    EXPECT_TRUE(EchoMatches(u"LS EGC.*\r\n", u"ls EGC.*", u"\r\n", Qt::CaseInsensitive));
    EXPECT_FALSE(EchoMatches(u"LS EGC.*\r\n", u"ls EGC.*", u"\r\n"));
}

TEST(ShellProtocol, UploadRoundsRoundHalvesToEven) {
    // last round index = round-half-even(length / 100) + 1; rounds run 0..last.
    const std::pair<int, int> cases[] = {{0, 1},   {49, 1},  {50, 1},  {51, 2},  {149, 2},  {150, 3},
                                         {250, 3}, {251, 4}, {350, 5}, {450, 5}, {1000, 11}};
    for (auto [length, last] : cases)
        EXPECT_EQ(UploadLastRound(length), last) << length;
    // Whatever the length, the rounds cover the whole text.
    for (int length = 0; length < 2000; ++length)
        ASSERT_GE((UploadLastRound(length) + 1) * 100, length);
}

TEST(ShellProtocol, PromptAndEchoCutting) {
    EXPECT_EQ(CutFinalPrompt(QStringLiteral("st -w\r\nA\r\ncan0:/$ "), QStringLiteral("can0:/$ ")),
              QStringLiteral("st -w\r\nA\r\n"));
    EXPECT_EQ(CutFinalPrompt(QStringLiteral("st -w\r\nA"), QStringLiteral("can0:/$ ")), QStringLiteral("st -w\r\nA"));
    EXPECT_EQ(WithoutEchoLine(QStringLiteral("ver\r\n1.2\r\ncan0:/$ ")), QStringLiteral("1.2\r\ncan0:/$ "));
    EXPECT_EQ(WithoutEchoLine(QStringLiteral("ver")), QString());
}
