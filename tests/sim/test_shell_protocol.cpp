#include "sim_test_support.h"

using namespace tessaro::sim;
using namespace tessaro::sim::test;

namespace {

struct LineEndCase {
    LineEnd lineEnd;
    const char* bytes;
};
void PrintTo(const LineEndCase& c, std::ostream* os) {
    PrintTo(c.lineEnd, os);
}

class SimShellLineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(SimShellLineEnds, EchoOutputAndPromptUseTheConfiguredLineEnd) {
    SimOptions options;
    options.lineEnd = GetParam().lineEnd;
    SimHarness h(options);
    const QString le = QString::fromLatin1(GetParam().bytes);
    const QString reply = h.run(QStringLiteral("st -v"));
    EXPECT_TRUE(reply.startsWith(QStringLiteral("st -v") + le)) << qPrintable(reply);
    EXPECT_TRUE(reply.endsWith(le + QStringLiteral("can0:/$ "))) << qPrintable(reply);
    // Every output line ends in the same sequence: no stray line-end kinds inside.
    const QString inner = reply.mid(5 + le.size());
    EXPECT_EQ(inner.count(le), 1);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, SimShellLineEnds,
                         ::testing::Values(LineEndCase{LineEnd::Lf, "\n"}, LineEndCase{LineEnd::CrLf, "\r\n"},
                                           LineEndCase{LineEnd::CrCrLf, "\r\r\n"}));

TEST(SimShellProtocol, LineEndProbeWithExtraCrGivesOneReplyAndOnePrompt) {
    SimHarness h;
    const QString reply = h.send("st -l\r\r\n");
    EXPECT_EQ(reply, QStringLiteral("st -l\r\ncan0:/$ "));
    // CR alone ends a line too (the upload command is written that way).
    EXPECT_EQ(h.send("st -l\r"), QStringLiteral("st -l\r\ncan0:/$ "));
    EXPECT_EQ(h.send("\n"), QString()); // the LF that completes CR LF is not a second line
    EXPECT_EQ(h.send("st -l\n"), QStringLiteral("st -l\r\ncan0:/$ "));
}

TEST(SimShellProtocol, UnknownCommandGivesError120AndEmptyLineOnlyAPrompt) {
    SimHarness h;
    EXPECT_EQ(h.run(QStringLiteral("frobnicate -x")),
              QStringLiteral("frobnicate -x\r\nERROR 120: Unknown command\r\ncan0:/$ "));
    EXPECT_EQ(h.run(QString()), QStringLiteral("\r\ncan0:/$ "));
}

TEST(SimShellProtocol, PromptFollowsConfiguration) {
    for (const char* name : {"can0", "can1", "can2"}) {
        SimOptions options;
        options.prompt = promptFor(QLatin1String(name));
        SimHarness h(options);
        EXPECT_TRUE(h.run(QStringLiteral("st -l")).endsWith(QLatin1String(name) + QStringLiteral(":/$ ")));
    }
    EXPECT_TRUE(promptFor(QStringLiteral("can3")).isEmpty());
}

TEST(SimShellProtocol, ReplyArrivesInSeveralChunksWithEchoFirstAndPromptLast) {
    SimHarness h;
    h.run(QStringLiteral("st -w"));
    ASSERT_GE(h.chunks.size(), 3);
    EXPECT_EQ(h.chunks.first(), QByteArray("st -w\r\n"));
    EXPECT_EQ(h.chunks.last(), QByteArray("can0:/$ "));
}

TEST(SimShellProtocol, SeveralLinesInOneWriteAreAnsweredInOrder) {
    SimHarness h;
    const QString reply = h.send("st -v\r\nver\r\n");
    const qsizetype first = reply.indexOf(QStringLiteral("st -v\r\n"));
    const qsizetype second = reply.indexOf(QStringLiteral("can0:/$ ver\r\n"));
    EXPECT_EQ(first, 0);
    EXPECT_GT(second, first);
    EXPECT_TRUE(reply.endsWith(QStringLiteral("can0:/$ ")));
}

TEST(SimBareShell, TcpStartSequence) {
    SimHarness h({}, ShellSession::Mode::BareShell);
    h.session->greet();
    EXPECT_EQ(h.collect(), QStringLiteral("kv7302:/$ "));
    EXPECT_EQ(h.run(QString()), QStringLiteral("\r\nkv7302:/$ "));
    const QString banner = h.run(QStringLiteral("minic -f"));
    EXPECT_TRUE(banner.contains(QStringLiteral("Connected"))) << qPrintable(banner);
    EXPECT_TRUE(banner.endsWith(QStringLiteral("\r\ncan0:/$ ")));
    EXPECT_EQ(h.run(QStringLiteral("minic -f")), QStringLiteral("minic -f\r\nminic: command not found\r\ncan0:/$ "));
    EXPECT_TRUE(h.run(QStringLiteral("exit")).endsWith(QStringLiteral("\r\nkv7302:/$ ")));
    EXPECT_EQ(h.session->mode(), ShellSession::Mode::BareShell);
    EXPECT_TRUE(h.run(QStringLiteral("st -w")).contains(QStringLiteral("st: command not found")));
}

TEST(SimBareShell, SysconfIsAcceptedAndRebootRestartsTheApplication) {
    SimHarness h({}, ShellSession::Mode::BareShell);
    for (const char* line : {"sysconf -h 0", "sysconf -h 1", "sysconf -i 10.0.0.7"}) {
        const QString reply = h.run(QLatin1String(line));
        EXPECT_FALSE(reply.contains(QStringLiteral("not found"))) << line;
        EXPECT_FALSE(reply.contains(QStringLiteral("usage"))) << line;
        EXPECT_TRUE(reply.endsWith(QStringLiteral("kv7302:/$ "))) << line;
    }
    const QString reboot = h.run(QStringLiteral("reboot"));
    EXPECT_TRUE(reboot.contains(QStringLiteral("reboot")));
    EXPECT_TRUE(h.closed);
    // The next start of the terminal program announces the restart.
    SimHarness h2({}, ShellSession::Mode::BareShell);
    h2.unit().announceStart = true;
    EXPECT_TRUE(h2.run(QStringLiteral("minic -f")).contains(QStringLiteral("Starting application program.")));
}

TEST(SimShellDialogs, ContinuationPromptsOfTheAlertDialog) {
    SimOptions options;
    options.model = QStringLiteral("cedar-l");
    SimHarness h(options);
    EXPECT_TRUE(h.run(QStringLiteral("se -m ?")).endsWith(QStringLiteral("\r\n: ")));
    EXPECT_TRUE(h.run(QStringLiteral("101")).endsWith(QStringLiteral("\r\n: ")));
    EXPECT_TRUE(h.run(QString()).endsWith(QStringLiteral("\r\n: ")));
    const QString done = h.run(QStringLiteral("F"));
    EXPECT_TRUE(done.endsWith(QStringLiteral("\r\ncan0:/$ "))) << qPrintable(done);
    EXPECT_EQ(h.unit().generator.les, QStringLiteral("101"));
    EXPECT_EQ(h.unit().generator.nature, u'F');
}

TEST(SimShellDialogs, PasswordPromptIsNotEchoedAndWrongPasswordChangesNothing) {
    SimHarness h;
    EXPECT_EQ(h.run(QStringLiteral("se -u 492999999")), QStringLiteral("se -u 492999999\r\nEnter password: "));
    const QString wrong = h.run(QStringLiteral("1111"));
    EXPECT_FALSE(wrong.contains(QStringLiteral("1111")));
    EXPECT_TRUE(wrong.contains(QStringLiteral("ERROR")));
    EXPECT_EQ(h.unit().mobileNumber, QStringLiteral("492123456"));
    h.run(QStringLiteral("se -u 492999999"));
    EXPECT_TRUE(h.run(QStringLiteral("0000")).endsWith(QStringLiteral("can0:/$ ")));
    EXPECT_EQ(h.unit().mobileNumber, QStringLiteral("492999999"));
    // Changing the password asks three times.
    EXPECT_TRUE(h.run(QStringLiteral("passwd")).endsWith(QStringLiteral("\r\nEnter password: ")));
    EXPECT_TRUE(h.run(QStringLiteral("0000")).endsWith(QStringLiteral("\r\nEnter new password: ")));
    EXPECT_TRUE(h.run(QStringLiteral("4321")).endsWith(QStringLiteral("\r\nConfirm new password: ")));
    h.run(QStringLiteral("4321"));
    EXPECT_EQ(h.unit().password, QStringLiteral("4321"));
}

TEST(SimShellDialogs, FileNumberPromptAnswersANumberOrRunsACommand) {
    SimHarness h;
    EXPECT_TRUE(h.run(QStringLiteral("ro")).endsWith(QStringLiteral("Enter filenumber > ")));
    EXPECT_TRUE(h.run(QStringLiteral("32")).contains(QStringLiteral("32 : Routing:")));
    h.run(QStringLiteral("ro"));
    const QString reply = h.run(QStringLiteral("st -v"));
    EXPECT_TRUE(reply.contains(h.unit().model().softwareBanner)) << qPrintable(reply);
    EXPECT_TRUE(reply.endsWith(QStringLiteral("can0:/$ ")));
}

TEST(SimShellUpload, ExactlyTheAnnouncedBytesAreTheBody) {
    SimHarness h;
    // Written as the program does: the command ends in CR alone, the body follows in pieces.
    EXPECT_EQ(h.send("tr 13050701.out -b 12\r"), QStringLiteral("tr 13050701.out -b 12\r\n"));
    EXPECT_EQ(h.send("\nhello "), QString()); // a LF in a later write is body
    const QString done = h.send("worldst -l\r\n");
    EXPECT_TRUE(done.startsWith(QStringLiteral("13050701.out: 12 bytes stored\r\ncan0:/$ "))) << qPrintable(done);
    EXPECT_TRUE(done.contains(QStringLiteral("st -l\r\n"))); // what follows the body is the next command
    ASSERT_NE(h.unit().findFile(QStringLiteral("13050701.out")), nullptr);
    EXPECT_EQ(h.unit().findFile(QStringLiteral("13050701.out"))->body, QByteArray("\nhello world"));
}

TEST(SimShellUpload, LineFeedOfACrLfClientIsNotBody) {
    SimHarness h;
    h.send("tr a.txt -b 3\r\nabc");
    EXPECT_EQ(h.unit().findFile(QStringLiteral("a.txt"))->body, QByteArray("abc"));
}

TEST(SimShellUpload, ShortBodyTimesOutAndIsNotStored) {
    SimHarness h;
    h.send("tr short.txt -b 100\r");
    h.send("only forty bytes of the hundred announced");
    h.advance(5);
    EXPECT_TRUE(h.collect().isEmpty());
    h.advance(6);
    const QString reply = h.collect();
    EXPECT_TRUE(reply.startsWith(QStringLiteral("ERROR"))) << qPrintable(reply);
    EXPECT_TRUE(reply.endsWith(QStringLiteral("can0:/$ ")));
    EXPECT_EQ(h.unit().findFile(QStringLiteral("short.txt")), nullptr);
    // The shell is usable again.
    EXPECT_TRUE(h.run(QStringLiteral("st -l")).startsWith(QStringLiteral("st -l\r\n")));
}

TEST(SimShellFaults, StalledUnitAnswersWhenTheStallEnds) {
    SimHarness h;
    h.control(QStringLiteral("stall 3"));
    EXPECT_TRUE(h.run(QStringLiteral("st -v")).isEmpty());
    h.advance(2.9);
    EXPECT_TRUE(h.collect().isEmpty());
    h.advance(0.2);
    EXPECT_TRUE(h.collect().startsWith(QStringLiteral("st -v\r\n")));
}

TEST(SimShellFaults, RestartAndTerminalExitAreAnnouncedUnasked) {
    SimHarness h;
    h.control(QStringLiteral("restart"));
    EXPECT_EQ(h.collect(), QStringLiteral("\r\nStarting application program.\r\ncan0:/$ "));
    EXPECT_FALSE(h.unit().loggedIn);
    h.advance(15);
    EXPECT_TRUE(h.unit().loggedIn); // logs in again by itself
    h.control(QStringLiteral("exit-terminal"));
    EXPECT_EQ(h.collect(), QStringLiteral("\r\nkv7302:/$ "));
    EXPECT_EQ(h.session->mode(), ShellSession::Mode::BareShell);
}

} // namespace
