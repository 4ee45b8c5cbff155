#include "link_test_support.h"

#include "config/logs.h"
#include "link/shell_protocol.h"

using namespace tessaro;
using tessaro::test::EngineRig;

TEST(CommandEngine, WritesOneQueuedLinePerIdleStepAndUploadLinesEndInCr) {
    EngineRig rig;
    rig.engine.QueueCommand(QStringLiteral("st -l"));
    rig.engine.QueueCommand(QStringLiteral("tr msg.txt -b 3"));
    EXPECT_EQ(rig.sendNext(), QByteArray("st -l\r\n"));
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    rig.tick(3);
    EXPECT_TRUE(rig.link.written().isEmpty()) << "one command in flight at a time";
    rig.answer("st -l\r\nOK\r\ncan0:/$ ");
    EXPECT_EQ(rig.sendNext(), QByteArray("tr msg.txt -b 3\r"));
}

TEST(CommandEngine, ReplyEndingInTheMainPromptCompletesInTheTickItArrivesWeakerEndsWaitForAQuietTick) {
    EngineRig rig;
    QStringList replies;
    QObject::connect(&rig.engine, &CommandEngine::replyCompleted, [&](const QString& r) { replies << r; });
    rig.engine.QueueCommand(QStringLiteral("st -v"));
    rig.engine.QueueCommand(QStringLiteral("pw"));
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    EXPECT_EQ(rig.sendNext(), QByteArray("st -v\r\n"));
    rig.link.feed("st -v\r\nVersion 4.1\r\nc");
    rig.tick();
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving) << "half a prompt ends nothing";
    EXPECT_TRUE(rig.link.written().isEmpty());
    rig.link.feed("an0:/$ ");
    rig.tick();
    // Read, completed, routed and the next command written: all in the tick the prompt arrived.
    EXPECT_EQ(replies, QStringList{QStringLiteral("st -v\r\nVersion 4.1\r\ncan0:/$ ")});
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("pw\r\n"));
    EXPECT_TRUE(rig.session.MesConnected());
    EXPECT_TRUE(rig.session.PromptSeen());
    EXPECT_EQ(rig.engine.PromptText(), QStringLiteral("can0:/$ "));
    EXPECT_TRUE(rig.form.activities.contains(QStringLiteral("Receiving")));
    EXPECT_TRUE(rig.form.activities.contains(QStringLiteral("Processing")));

    rig.link.feed("pw\r\nEnter password: ");
    rig.tick();
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving) << "a password prompt waits for a quiet tick";
    EXPECT_EQ(replies.size(), 1);
    rig.tick();
    EXPECT_EQ(replies.size(), 2);
    EXPECT_EQ(replies.last(), QStringLiteral("pw\r\nEnter password: "));
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("st -w\r\n")) << "the quiet tick routes and writes the next";
}

TEST(CommandEngine, DataAreReadAsTheyArriveAndAWeakerEndStillNeedsAQuietTick) {
    EngineRig rig;
    QStringList replies;
    QObject::connect(&rig.engine, &CommandEngine::replyCompleted, [&](const QString& r) { replies << r; });
    rig.engine.QueueCommand(QStringLiteral("st -v"));
    rig.engine.QueueCommand(QStringLiteral("pw"));
    rig.engine.QueueCommand(QStringLiteral("tr a.txt -b 3"));
    EXPECT_EQ(rig.sendNext(), QByteArray("st -v\r\n"));

    rig.link.feed("st -v\r\nVersion 4.1\r\ncan0:/$ ");
    EXPECT_TRUE(replies.isEmpty()) << "nothing is read inside the link's signal";
    QCoreApplication::processEvents();
    EXPECT_EQ(replies.size(), 1) << "no tick was needed";
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("pw\r\n"));

    rig.link.feed("pw\r\nEnter password: ");
    QCoreApplication::processEvents();
    EXPECT_FALSE(rig.link.hasPendingInput());
    rig.clock.advanceMs(20);
    rig.engine.onTimer1(); // a tick right after the data: the line has not been quiet yet
    EXPECT_EQ(replies.size(), 1);
    rig.clock.advanceMs(40);
    rig.engine.onTimer1();
    EXPECT_EQ(replies.size(), 2);
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("tr a.txt -b 3\r"));

    rig.link.feed("tr a.txt -b 3\r\n");
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.link.hasPendingInput()) << "the pause after an upload command leaves its echo unread";
}

TEST(CommandEngine, TimeOutCountsFromTheLastChunkAndResetsTheLink) {
    EngineRig rig;
    rig.engine.setCommandTimeOut(4);
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.sendNext();
    rig.clock.advanceMs(3000);
    rig.link.feed("st -w\r\npartial");
    rig.tick();
    rig.clock.advanceMs(3800);
    rig.tick(); // 3.86 s after the chunk: still waiting
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    QStringList timedOut;
    QObject::connect(&rig.engine, &CommandEngine::replyTimedOut, [&](const QString& r) { timedOut << r; });
    rig.tick(3);
    EXPECT_EQ(timedOut, QStringList{QStringLiteral("st -w\r\npartial")});
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Idle) << "the partial reply is routed in the same tick";
    EXPECT_EQ(rig.linkLostCount, 1);
    EXPECT_FALSE(rig.session.MesConnected()) << "a time-out is no proof of a transceiver";
}

TEST(CommandEngine, TimeOutSpanningMidnightStillExpires) {
    EngineRig rig;
    rig.clock.setUtc(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58), Qt::UTC));
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.sendNext();
    int timedOut = 0;
    QObject::connect(&rig.engine, &CommandEngine::replyTimedOut, [&] { ++timedOut; });
    rig.tick(70); // 4.2 s later, past midnight
    EXPECT_EQ(timedOut, 1);
}

TEST(CommandEngine, CommandTimeOutBelowFourIsRaised) {
    EngineRig rig;
    rig.engine.setCommandTimeOut(1);
    EXPECT_EQ(rig.engine.CommandTimeOut(), 4);
    rig.engine.setCommandTimeOut(9);
    EXPECT_EQ(rig.engine.CommandTimeOut(), 9);
}

TEST(CommandEngine, TerminalWindowOpenShowsRepliesWithoutRoutingOrLinkReset) {
    EngineRig rig;
    QStringList shown;
    int routed = 0;
    QObject::connect(&rig.engine, &CommandEngine::terminalReply, [&](const QString& t) { shown << t; });
    rig.engine.router().addRow(
        {RouteKey::Version, MatchKind::Echo, QStringLiteral("ver"), {}, {}, [&](const QString&) { ++routed; }});
    rig.engine.setTerminalWindowOpen(true);
    rig.engine.QueueCommand(QStringLiteral("ver"));
    rig.sendNext();
    rig.answer("ver\nV1\ncan0:/$ ");
    EXPECT_EQ(shown, QStringList{QStringLiteral("V1\r\ncan0:/$ ")});
    EXPECT_EQ(routed, 0);
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.sendNext();
    rig.tick(80);
    EXPECT_EQ(rig.linkLostCount, 0);
}

TEST(CommandEngine, BareShellPromptQueuesOneRestartAndIsNotDispatched) {
    EngineRig rig;
    int routed = 0;
    rig.engine.router().addRow(
        {RouteKey::TerminalStatus, MatchKind::Echo, QStringLiteral("st -w"), {}, {}, [&](const QString&) {
             ++routed;
         }});
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.sendNext();
    rig.link.feed("st -w\r\nkv7302:/$ ");
    rig.tick(20);
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    EXPECT_EQ(rig.engine.queue().text(), QStringLiteral("minic -f\r\n"));
    EXPECT_TRUE(rig.session.PromptSeen());
    EXPECT_FALSE(rig.session.MesConnected());
    int timedOut = 0;
    QObject::connect(&rig.engine, &CommandEngine::replyTimedOut, [&] { ++timedOut; });
    for (int i = 0; i < 100 && timedOut == 0; ++i) // the wait ends by time-out
        rig.tick();
    EXPECT_EQ(timedOut, 1);
    EXPECT_EQ(rig.linkLostCount, 1);
    EXPECT_EQ(routed, 1);
    EXPECT_EQ(rig.sendNext(), QByteArray("minic -f\r\n"));
}

TEST(CommandEngine, LineEndIsLearnedFromTheProbeAndUsedForRouting) {
    EngineRig rig;
    QStringList infoReplies;
    int serialChecks = 0;
    int status = 0;
    QObject::connect(&rig.engine, &CommandEngine::infoErrorReply, [&](const QString& r) { infoReplies << r; });
    QObject::connect(&rig.engine, &CommandEngine::serialCheckDue, [&] { ++serialChecks; });
    rig.engine.router().addRow(
        {RouteKey::TerminalStatus, MatchKind::Echo, QStringLiteral("st -w"), {}, {}, [&](const QString&) {
             ++status;
         }});

    rig.engine.QueueCommand(QStringLiteral("st -l\r"), true);
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.engine.QueueCommand(QStringLiteral("st -w"), true);
    EXPECT_EQ(rig.sendNext(), QByteArray("st -l\r\r\n"));
    rig.answer("st -l\r\r\nINFO 999: x\r\r\ncan0:/$ ");
    EXPECT_EQ(rig.engine.LineEnd(), QStringLiteral("\r\r\n"));
    EXPECT_EQ(rig.engine.LineEndLength(), 3);
    EXPECT_EQ(infoReplies.size(), 1);
    EXPECT_EQ(serialChecks, 1);

    rig.sendNext();
    rig.answer("st -w\r\nStatus\r\ncan0:/$ ");
    EXPECT_EQ(status, 0);
    rig.sendNext();
    rig.answer("st -w\r\r\nStatus\r\r\ncan0:/$ ");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(infoReplies.size(), 1) << "only replies to st -l reach the INFO/ERROR handler";
}

TEST(CommandEngine, EchoOnlyDnidListKeepsCollectingThenRoutesTheWholeReply) {
    EngineRig rig;
    rig.engine.QueueCommand(QStringLiteral("st -l"));
    rig.sendNext();
    rig.answer("st -l\r\ncan0:/$ ");
    QStringList lists;
    rig.engine.router().addRow({RouteKey::DnidList,
                                MatchKind::Echo,
                                QStringLiteral("st -d"),
                                RowOption::KeepReceivingIfEchoOnly,
                                {},
                                [&](const QString& r) { lists << r; }});
    rig.engine.QueueCommand(QStringLiteral("st -d"));
    rig.sendNext();
    rig.link.feed("st -d\r\n");
    int timedOut = 0;
    QObject::connect(&rig.engine, &CommandEngine::replyTimedOut, [&] { ++timedOut; });
    for (int i = 0; i < 100 && timedOut == 0; ++i) // time-out with only the echo
        rig.tick();
    EXPECT_EQ(timedOut, 1);
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    EXPECT_TRUE(lists.isEmpty());
    rig.answer("1234 1 LES\r\ncan0:/$ ");
    EXPECT_EQ(lists, QStringList{QStringLiteral("st -d\r\n1234 1 LES\r\ncan0:/$ ")});

    // An echo that stays alone is dropped after one more wait: the queue moves on.
    rig.engine.QueueCommand(QStringLiteral("st -d"));
    rig.engine.QueueCommand(QStringLiteral("st -v"));
    rig.sendNext();
    rig.link.feed("st -d\r\n");
    rig.tick(150);
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("st -v\r\n"));
}

TEST(CommandEngine, UploadWritesHundredCharacterPiecesWithProgress) {
    EngineRig rig;
    QByteArray body;
    for (int i = 0; i < 250; ++i)
        body += char('a' + i % 26);
    rig.engine.setUploadTextProvider([&](const QString& name) -> std::optional<QByteArray> {
        if (name == QLatin1String("msg1.txt"))
            return body;
        return std::nullopt;
    });
    rig.session.SetMesConnected(true);
    rig.engine.QueueCommand(QStringLiteral("tr msg1.txt -b 250"));
    EXPECT_EQ(rig.sendNext(), QByteArray("tr msg1.txt -b 250\r"));
    rig.link.feed("tr msg1.txt -b 250\r\n");
    rig.tick(8); // the half-second pause: the echo waits unread
    EXPECT_TRUE(rig.link.hasPendingInput());
    ASSERT_TRUE(rig.tickUntilState(CommandEngine::Uploading, 5));
    rig.tick(8);
    EXPECT_EQ(rig.link.takeWritten(), body);
    EXPECT_EQ(rig.form.uploadMaximums, std::vector<int>{300});
    EXPECT_EQ(rig.form.uploadValues, (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(rig.form.uploadsFinished, 1);
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    EXPECT_TRUE(rig.engine.ReceiveBuffer().isEmpty());
    EXPECT_TRUE(rig.form.activities.contains(QStringLiteral("Message to mobile")));

    // The shell's answer to the upload is collected as an ordinary reply.
    QStringList replies;
    QObject::connect(&rig.engine, &CommandEngine::replyCompleted, [&](const QString& r) { replies << r; });
    rig.answer("\r\n250 bytes received\r\ncan0:/$ ");
    EXPECT_EQ(replies, QStringList{QStringLiteral("\r\n250 bytes received\r\ncan0:/$ ")});
}

TEST(CommandEngine, UploadReadsTheFileAndStopsWhenTheTransceiverDisconnects) {
    EngineRig rig;
    const QByteArray body(1000, 'x');
    QFile f(rig.dataPath() + QStringLiteral("long.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(body);
    f.close();
    rig.engine.setUploadFolder(rig.dataPath());
    rig.session.SetMesConnected(true);
    rig.engine.QueueCommand(QStringLiteral("tr long.txt -b 1000"));
    rig.sendNext();
    rig.link.feed("tr long.txt -b 1000\r\n");
    ASSERT_TRUE(rig.tickUntilState(CommandEngine::Uploading, 15)); // the completed echo starts the upload
    rig.tick(2);                                                   // pause, first piece
    rig.tick();                                                    // second piece
    rig.session.SetMesConnected(false);
    rig.tick(20);
    EXPECT_EQ(rig.link.takeWritten(), body.left(200));
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    EXPECT_EQ(rig.form.uploadsFinished, 1);
}

TEST(CommandEngine, OperatorsOwnUploadEndsAtThePromptOnceAndTheQueueMovesOn) {
    EngineRig rig;
    QStringList shown;
    QObject::connect(&rig.engine, &CommandEngine::terminalReply, [&](const QString& t) { shown << t; });
    rig.engine.setTerminalWindowOpen(true);
    rig.engine.QueueCommand(QStringLiteral("st -l"));
    rig.sendNext();
    rig.answer("st -l\r\ncan0:/$ ");
    shown.clear();

    rig.engine.QueueCommand(QStringLiteral("tr note.txt -b 5"));
    rig.engine.QueueCommand(QStringLiteral("st -v"));
    EXPECT_EQ(rig.sendNext(), QByteArray("tr note.txt -b 5\r"));
    rig.link.feed("tr note.txt -b 5\r\n");
    ASSERT_TRUE(rig.tickUntilState(CommandEngine::Uploading, 20));
    rig.engine.writeRaw("hello");
    rig.link.feed("\r\n5 bytes received\r\ncan0:/$ ");
    rig.tick(10);
    ASSERT_EQ(shown.size(), 2) << "the echo, then the finished upload once: no second upload";
    EXPECT_EQ(shown.last(), QStringLiteral("\r\n5 bytes received\r\ncan0:/$ "));
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("hellost -v\r\n"));
    EXPECT_EQ(rig.form.uploadMaximums.size(), 0u) << "no file of the program's own is sent";

    // Closing the window mid-upload ends the operator's upload instead of sending a file in its place.
    rig.engine.QueueCommand(QStringLiteral("tr other.txt -b 5"));
    rig.answer("st -v\r\n4.1\r\ncan0:/$ ");
    rig.sendNext();
    rig.link.feed("tr other.txt -b 5\r\n");
    ASSERT_TRUE(rig.tickUntilState(CommandEngine::Uploading, 20));
    rig.engine.setTerminalWindowOpen(false);
    rig.tick(10);
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Idle);
    EXPECT_EQ(rig.form.uploadMaximums.size(), 0u);
}

TEST(CommandEngine, LinesWaitWhileNoTransportIsUsable) {
    EngineRig rig;
    rig.linkUsable = false;
    rig.engine.QueueCommand(QStringLiteral("st -l"));
    rig.tick(100);
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Idle);
    EXPECT_EQ(rig.linkLostCount, 0);
    EXPECT_EQ(rig.engine.queue().text(), QStringLiteral("st -l\r\n"));
    rig.linkUsable = true;
    EXPECT_EQ(rig.sendNext(), QByteArray("st -l\r\n"));
}

TEST(CommandEngine, UnsolicitedOutputIsCollectedAloneAndIsNoLinkLoss) {
    EngineRig rig;
    rig.engine.QueueCommand(QStringLiteral("st -l"));
    rig.sendNext();
    rig.answer("st -l\r\ncan0:/$ ");
    rig.link.feed("\r\nINFO 101: Message sent\r\n");
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.tick();
    EXPECT_TRUE(rig.link.written().isEmpty()) << "the unsolicited text is read before the next command goes out";
    rig.tick(80);
    EXPECT_EQ(rig.linkLostCount, 0);
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("st -w\r\n"));
}

// A transceiver restart announces itself with its banner and a prompt whenever it happens. Taken as the reply
// of the command in flight, every later reply would belong to the command before it (an "ls" answer read as
// the echo of a "tr", a "tx" typed into an upload body). The banner is routed alone and the command's own
// reply is still awaited.
TEST(CommandEngine, RestartBannerDuringACommandIsNotTakenAsItsReply) {
    EngineRig rig;
    QStringList replies;
    QObject::connect(&rig.engine, &CommandEngine::replyCompleted, [&](const QString& r) { replies << r; });
    rig.engine.QueueCommand(QStringLiteral("ru -g"));
    rig.engine.QueueCommand(QStringLiteral("ls IN.*"));
    EXPECT_EQ(rig.sendNext(), QByteArray("ru -g\r\n"));
    rig.link.feed("\r\nStarting application program.\r\ncan0:/$ ");
    rig.tick();
    EXPECT_EQ(replies, QStringList{QStringLiteral("\r\nStarting application program.\r\ncan0:/$ ")});
    EXPECT_TRUE(rig.link.written().isEmpty()) << "\"ru -g\" is still waiting for its reply";
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);

    rig.link.feed("ru -g\r\nFix: 3D\r\ncan0:/$ ");
    rig.tick();
    ASSERT_EQ(replies.size(), 2);
    EXPECT_EQ(replies[1], QStringLiteral("ru -g\r\nFix: 3D\r\ncan0:/$ "));
    EXPECT_EQ(rig.link.takeWritten(), QByteArray("ls IN.*\r\n"));

    // A reply that holds its echo is the command's, banner or not.
    rig.link.feed("ls IN.*\r\nStarting application program.\r\ncan0:/$ ");
    rig.tick();
    ASSERT_EQ(replies.size(), 3);
    EXPECT_TRUE(replies[2].startsWith(QLatin1String("ls IN.*")));
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Idle);
}

// Late text of the transceiver's greeting after a reconnect, arriving right after an upload's "tr", is not that
// command's reply: taken as one, the next command would be typed into the upload body while the shell still waits
// for it, the file stored damaged and the "tx" after it refused.
TEST(CommandEngine, TextWithoutTheEchoOfAnUploadIsNotItsReply) {
    EngineRig rig;
    const QByteArray body("hello");
    rig.engine.setUploadTextProvider([&](const QString&) { return std::optional<QByteArray>(body); });
    QStringList replies;
    QObject::connect(&rig.engine, &CommandEngine::replyCompleted, [&](const QString& r) { replies << r; });
    rig.engine.QueueCommand(QStringLiteral("tr msg1.txt -b 5"));
    rig.engine.QueueCommand(QStringLiteral("ls msg1.txt"));
    EXPECT_EQ(rig.sendNext(), QByteArray("tr msg1.txt -b 5\r"));
    rig.link.feed("iver LarchC, mobile no 492123456\r\ncan0:/$ ");
    rig.tick(12);
    EXPECT_EQ(replies, QStringList{QStringLiteral("iver LarchC, mobile no 492123456\r\ncan0:/$ ")});
    EXPECT_TRUE(rig.link.written().isEmpty()) << "the upload still waits for its echo";

    rig.link.feed("tr msg1.txt -b 5\r\n");
    ASSERT_TRUE(rig.tickUntilState(CommandEngine::Uploading, 20));
    rig.tick(8);
    EXPECT_EQ(rig.link.takeWritten(), body);
}

TEST(CommandEngine, WriteErrorIsLoggedAndTheCycleGoesOn) {
    EngineRig rig;
    cErrorLog log(rig.dataPath(), rig.clock);
    rig.engine.setErrorLog(&log);
    rig.link.failWrites = true;
    rig.engine.QueueCommand(QStringLiteral("st -l"));
    rig.tick();
    EXPECT_EQ(rig.engine.EngineState(), CommandEngine::Receiving);
    EXPECT_TRUE(
        test::readFile(rig.dataPath() + QStringLiteral("ErrorLog.txt")).contains(" Error 7: Write refused\r\n"));
}

TEST(CommandEngine, CommLogHoldsTheRawReceivedStream) {
    EngineRig rig;
    rig.engine.setCommLog(rig.dataPath(), true);
    rig.engine.QueueCommand(QStringLiteral("ver"));
    rig.sendNext();
    rig.link.feed("ver\r\n");
    rig.tick();
    rig.link.feed(QByteArray("V\xe9\x01\r\ncan0:/$ "));
    rig.tick(3);
    EXPECT_EQ(test::readFile(rig.dataPath() + QStringLiteral("CommLog.txt")),
              QByteArray("ver\r\nV\xe9\x01\r\ncan0:/$ "));
}

TEST(CommandEngine, PollBurstRunsTheRegisteredStepsInTheirOrder) {
    EngineRig rig;
    QStringList ran;
    rig.engine.addPollStep(PollOrder::Messages, [&] { ran << QStringLiteral("messages"); });
    rig.engine.addPollStep(PollOrder::Status, [&] { ran << QStringLiteral("status"); });
    rig.engine.addPollStep(PollOrder::TestModeQuery, [&] { ran << QStringLiteral("test mode"); });
    rig.engine.addPollStep(PollOrder::Status, [&] { ran << QStringLiteral("status, second"); });
    rig.engine.QueuePollCycle();
    EXPECT_EQ(ran, (QStringList{QStringLiteral("test mode"), QStringLiteral("status"), QStringLiteral("status, second"),
                                QStringLiteral("messages")}));
}

TEST(CommandEngine, QueuedCommandsAreAnnounced) {
    EngineRig rig;
    QStringList announced;
    QObject::connect(&rig.engine, &CommandEngine::commandQueued, [&](const QString& c) { announced << c; });
    rig.engine.QueueCommand(QStringLiteral("st -w"));
    rig.engine.QueueCommand(QStringLiteral("st -w")); // a duplicate is not admitted, so not announced
    rig.engine.QueueCommand(QStringLiteral("ver"), true);
    EXPECT_EQ(announced, (QStringList{QStringLiteral("st -w"), QStringLiteral("ver")}));
}

TEST(CommandEngine, UploadAnsweredByTheBareShellOrAnErrorIsNotTyped) {
    struct Case {
        const char* reply;
        bool shellGone;
    };
    const Case cases[] = {
        {"tr msg1.txt -b 5\r\ntr: command not found\r\nkv7302:/$ ", true},
        {"tr msg1.txt -b 5\r\nkv7302:/$ ", true},
        {"tr msg1.txt -b 5\r\nERROR 212: File system full\r\ncan0:/$ ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        EngineRig rig;
        rig.engine.setUploadTextProvider([](const QString&) { return std::optional<QByteArray>("reboot"); });
        rig.session.SetMesConnected(true);
        QStringList refused;
        QObject::connect(&rig.engine, &CommandEngine::uploadRefused,
                         [&](const QString& name, bool gone, const QString&) {
                             refused << name + (gone ? QStringLiteral(" gone") : QStringLiteral(" error"));
                         });
        rig.engine.QueueCommand(QStringLiteral("tr msg1.txt -b 5"));
        rig.engine.QueueCommand(QStringLiteral("ls msg1.txt"));
        EXPECT_EQ(rig.sendNext(), QByteArray("tr msg1.txt -b 5\r"));
        rig.link.feed(c.reply);
        rig.tick(40);
        EXPECT_FALSE(rig.link.takeWritten().contains("reboot")) << "the body went into the shell";
        EXPECT_TRUE(rig.form.uploadMaximums.empty());
        EXPECT_EQ(refused,
                  QStringList{c.shellGone ? QStringLiteral("msg1.txt gone") : QStringLiteral("msg1.txt error")});
        EXPECT_EQ(rig.engine.queue().contains(QStringLiteral("minic -f"), Qt::CaseSensitive), c.shellGone);
    }
}
