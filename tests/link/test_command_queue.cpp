#include "link/command_queue.h"

#include <gtest/gtest.h>

using namespace tessaro;

TEST(CommandQueue, DuplicatesAreRefusedUnlessAllowed) {
    SessionFlags session;
    CommandQueue q(session);
    EXPECT_TRUE(q.QueueCommand(QStringLiteral("st -w"), false, false));
    EXPECT_FALSE(q.QueueCommand(QStringLiteral("st -w"), false, false));
    EXPECT_EQ(q.text(), QStringLiteral("st -w\r\n"));
    EXPECT_TRUE(q.QueueCommand(QStringLiteral("st -w"), true, false));
    EXPECT_EQ(q.text(), QStringLiteral("st -w\r\nst -w\r\n"));
    // Containment is a case-sensitive substring test.
    EXPECT_FALSE(q.QueueCommand(QStringLiteral("st"), false, false));
    EXPECT_TRUE(q.QueueCommand(QStringLiteral("ST -W"), false, false));
}

TEST(CommandQueue, FrontInsertionWritesAnEmptyLineFirst) {
    SessionFlags session;
    CommandQueue q(session);
    q.QueueCommand(QStringLiteral("a"), false, false);
    EXPECT_TRUE(q.QueueCommand(QStringLiteral("x"), false, true));
    EXPECT_EQ(q.text(), QStringLiteral("\r\nx\r\na\r\n"));
    EXPECT_EQ(q.takeLine(), QStringLiteral("\r\n"));
    EXPECT_EQ(q.takeLine(), QStringLiteral("x\r\n"));
    EXPECT_EQ(q.takeLine(), QStringLiteral("a\r\n"));
    EXPECT_EQ(q.takeLine(), QString());
}

TEST(CommandQueue, EmptyCommandAtTheBackIsRefused) {
    SessionFlags session;
    CommandQueue q(session);
    EXPECT_FALSE(q.QueueCommand(QString(), true, false));
    EXPECT_TRUE(q.isEmpty());
}

TEST(CommandQueue, SeveralLinesInOneCallAreTakenOneByOne) {
    SessionFlags session;
    CommandQueue q(session);
    ASSERT_TRUE(q.QueueCommand(QStringLiteral("se -z PRINTER=YES\r\nse -z FFEED=NO"), false, false));
    EXPECT_EQ(q.takeLine(), QStringLiteral("se -z PRINTER=YES\r\n"));
    EXPECT_EQ(q.takeLine(), QStringLiteral("se -z FFEED=NO\r\n"));
    EXPECT_TRUE(q.isEmpty());
}

TEST(CommandQueue, ClosingDownAdmitsOnlyTheRunningDownloadsCommands) {
    struct Case {
        const char* command;
        bool egcs;
        bool msgs;
        bool admitted;
    };
    const Case cases[] = {
        {"st -w", true, true, false},          {"ty IN.12 -b -k", false, true, true},
        {"TY in.12", false, true, true},       {"st -r", false, true, true},
        {"delete IN.3", false, true, true},    {"ty IN.12", true, false, false},
        {"ty EGC.4 -b -k", true, false, true}, {"st -e", true, false, true},
        {"delete EGC.4", true, false, true},   {"delete EGC.4", false, true, false},
        {"ls IN.*", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SessionFlags session;
        session.SetProcessingEgcs(c.egcs);
        session.SetProcessingMsgs(c.msgs);
        CommandQueue q(session);
        q.ClosingDown = true;
        EXPECT_EQ(q.QueueCommand(QString::fromLatin1(c.command), true, false), c.admitted);
        EXPECT_EQ(q.isEmpty(), !c.admitted);
    }
}
