#include "link/reply_router.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {
const QString kLineEnd = QStringLiteral("\r\n");
const QString kPrompt = QStringLiteral("can0:/$ ");

// A router whose rows record the key that fired and the text it was given.
struct RecordingRouter {
    ReplyRouter router;
    QStringList fired;
    QStringList texts;

    ReplyHandler recorder(RouteKey key) {
        return [this, key](const QString& reply) {
            fired << RouteKeyName(key);
            texts << reply;
        };
    }
    bool add(RouteKey key, MatchKind kind, const char* command, RowOption option = RowOption::None) {
        return router.addRow({key, kind, QLatin1String(command), option, {}, recorder(key)});
    }
    QStringList route(const char* reply, bool keepReceivingAllowed = true) {
        fired.clear();
        texts.clear();
        router.route(QString::fromLatin1(reply), kLineEnd, kPrompt, keepReceivingAllowed);
        return fired;
    }
};
} // namespace

TEST(ReplyRouter, MatchKinds) {
    RecordingRouter rr;
    ASSERT_TRUE(rr.add(RouteKey::Version, MatchKind::Echo, "ver"));
    ASSERT_TRUE(rr.add(RouteKey::EgcListing, MatchKind::EchoNoCase, "ls EGC.*"));
    ASSERT_TRUE(rr.add(RouteKey::MessageFetch, MatchKind::Starts, "ty IN."));
    ASSERT_TRUE(rr.add(RouteKey::EgcDelete, MatchKind::StartsNoCase, "delete EGC."));
    ASSERT_TRUE(rr.add(RouteKey::TransceiverRestart, MatchKind::Contains, "Starting application program."));
    struct Case {
        const char* reply;
        QStringList keys;
    };
    const Case cases[] = {
        {"ver\r\nV1\r\ncan0:/$ ", {QStringLiteral("Version")}},
        {"ver\nV1\r\ncan0:/$ ", {}}, // another line end: no echo
        {"version\r\ncan0:/$ ", {}}, // an echo is the whole command
        {"LS egc.*\r\nx\r\ncan0:/$ ", {QStringLiteral("EgcListing")}},
        {"ty IN.7 -b -k\r\nx\r\ncan0:/$ ", {QStringLiteral("MessageFetch")}},
        {"TY in.7\r\ncan0:/$ ", {}}, // starts: exact case
        {"DELETE egc.12\r\ncan0:/$ ", {QStringLiteral("EgcDelete")}},
        {"\r\nstarting APPLICATION program.\r\ncan0:/$ ", {QStringLiteral("TransceiverRestart")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(rr.route(c.reply), c.keys);
    }
}

TEST(ReplyRouter, RowsFireInKeyOrderWhateverTheOrderOfRegistration) {
    RecordingRouter rr;
    // Registered the other way round; the table's order decides.
    rr.router.addRow(
        {RouteKey::TxRefusedEgcOnly, MatchKind::Custom, QStringLiteral("tx + ERROR 250:"), RowOption::None,
         [](QStringView reply, QStringView) { return reply.startsWith(u"tx") && reply.contains(u"ERROR 250:"); },
         rr.recorder(RouteKey::TxRefusedEgcOnly)});
    rr.add(RouteKey::TransceiverRestart, MatchKind::Contains, "Starting application program.");
    rr.add(RouteKey::Version, MatchKind::Echo, "ver");
    EXPECT_EQ(rr.route("tx -l 1\r\nStarting application program.\r\nERROR 250: x\r\ncan0:/$ "),
              (QStringList{QStringLiteral("TransceiverRestart"), QStringLiteral("TxRefusedEgcOnly")}));
    EXPECT_EQ(rr.router.describe(),
              (QStringList{QStringLiteral("Version echo \"ver\""),
                           QStringLiteral("TransceiverRestart contains \"Starting application program.\""),
                           QStringLiteral("TxRefusedEgcOnly custom \"tx + ERROR 250:\"")}));
}

TEST(ReplyRouter, CutPromptHandsOverTheReplyWithoutItsPrompt) {
    RecordingRouter rr;
    rr.add(RouteKey::TerminalStatus, MatchKind::Echo, "st -w", RowOption::CutPrompt);
    rr.add(RouteKey::StatusSummary, MatchKind::Echo, "st -s");
    rr.route("st -w\r\nLogged in\r\ncan0:/$ ");
    ASSERT_EQ(rr.texts.size(), 1);
    EXPECT_EQ(rr.texts.first(), QStringLiteral("st -w\r\nLogged in\r\n"));
    rr.route("st -s\r\nx\r\ncan0:/$ ");
    EXPECT_EQ(rr.texts.first(), QStringLiteral("st -s\r\nx\r\ncan0:/$ "));
}

TEST(ReplyRouter, EchoOnlyListingKeepsReceivingOnceThenIsDropped) {
    RecordingRouter rr;
    rr.add(RouteKey::DnidList, MatchKind::Echo, "st -d", RowOption::KeepReceivingIfEchoOnly);
    rr.add(RouteKey::ReportPrograms, MatchKind::Echo, "pg -d", RowOption::KeepReceivingIfEchoOnly);
    for (const char* echo : {"st -d\r\n", "pg -d\r\n"}) {
        SCOPED_TRACE(echo);
        RouteOutcome first = rr.router.route(QString::fromLatin1(echo), kLineEnd, {});
        EXPECT_TRUE(first.keepReceiving);
        EXPECT_EQ(first.handled, 0);
        RouteOutcome second = rr.router.route(QString::fromLatin1(echo), kLineEnd, {}, false);
        EXPECT_FALSE(second.keepReceiving);
        EXPECT_EQ(second.handled, 0);
    }
    EXPECT_EQ(rr.route("st -d\r\n1 2 3\r\ncan0:/$ "), QStringList{QStringLiteral("DnidList")});
}

TEST(ReplyRouter, RegistrationMistakesAreRefusedWithTheirReason) {
    ReplyRouter router;
    const ReplyHandler handler = [](const QString&) {};
    QString error;
    EXPECT_TRUE(router.addRow({RouteKey::Version, MatchKind::Echo, QStringLiteral("ver"), RowOption::None, {}, handler},
                              &error));
    EXPECT_FALSE(router.addRow(
        {RouteKey::Version, MatchKind::Echo, QStringLiteral("ver"), RowOption::None, {}, handler}, &error));
    EXPECT_EQ(error, QStringLiteral("reply route Version registered twice"));
    EXPECT_FALSE(
        router.addRow({RouteKey::Gps, MatchKind::Echo, QStringLiteral("ru -g"), RowOption::None, {}, {}}, &error));
    EXPECT_EQ(error, QStringLiteral("reply route Gps has no handler"));
    EXPECT_FALSE(router.addRow(
        {RouteKey::TxFailed, MatchKind::Custom, QStringLiteral("tx"), RowOption::None, {}, handler}, &error));
    EXPECT_EQ(error, QStringLiteral("reply route TxFailed has no predicate"));
    EXPECT_FALSE(
        router.addRow({RouteKey::Count, MatchKind::Echo, QStringLiteral("x"), RowOption::None, {}, handler}, &error));
    EXPECT_EQ(router.rows().size(), 1u);

    // Every key of a subsystem that says it is complete must have its row.
    const QStringList missing = router.missingRows({Subsystem::Status});
    EXPECT_TRUE(missing.contains(QStringLiteral("reply route TerminalStatus of the status subsystem is not filled")))
        << missing.join(u'\n').toStdString();
    EXPECT_FALSE(missing.join(u'\n').contains(u"route Version "));
    EXPECT_FALSE(missing.join(u'\n').contains(u"EgcListing"));
    EXPECT_TRUE(router.missingRows({}).isEmpty());
}
