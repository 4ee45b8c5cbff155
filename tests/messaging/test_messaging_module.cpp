#include "store_fixture.h"

#include "app/runtime.h"
#include "config/clock.h"
#include "link/in_memory_link.h"
#include "link/recording_main_form.h"
#include "link/terminal.h"
#include "messaging/messaging_module.h"
#include "status/session.h"

#include <QDirIterator>

using namespace tessaro;

namespace {

QString fixtureText(const char* name) {
    return QString::fromLatin1(tessaro::testing::StoreTest::fixture(name));
}

RuntimeOptions options(const QTemporaryDir& dir) {
    RuntimeOptions o;
    o.dataPath = dir.path() + QLatin1Char('/');
    o.settingsFile = dir.path() + QStringLiteral("/settings.ini");
    o.acceptDisclaimer = true;
    o.formsPort = 0;
    return o;
}

// The module in the whole runtime, with replies routed by the engine's own table and INFO lines handled
// by the registered codes.
class MessagingModuleTest : public ::testing::Test {
protected:
    MessagingModuleTest()
        : runtime(options(dir), clock), config(runtime.config()), session(runtime.session()),
          terminal(
              (runtime.attach(form, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); }), runtime.terminal())),
          module(runtime.messaging()) {
        const StartResult started = runtime.start();
        EXPECT_TRUE(started.ok) << started.message.toStdString();
        session.SetMesConnected(true);
        terminal.engine().queue().clear(); // the start-up probes
    }
    void Info(const QString& reply) {
        runtime.info().CheckInfos(reply, QStringLiteral("can0:/$ "));
        runtime.info().CheckErrors(reply, QStringLiteral("can0:/$ "));
    }
    int Route(const QString& reply) {
        return terminal.engine().router().route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ ")).handled;
    }
    QString Queue() { return terminal.engine().queue().text(); }
    // n telexes to 4711, 4712, ... with the bodies "A", "B", ...: out files 13010301.out, 13010302.out, ...
    void SendTelexes(int n) {
        config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
        session.SetCurrentOcean(1);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(module
                          .SendMessageToAddress(QString::number(4711 + i), Telex, 1, {},
                                                QString(QChar(QLatin1Char('A').unicode() + i)))
                          .code,
                      1000);
    }

    QTemporaryDir dir;
    RecordingMainForm form;
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(12, 0), Qt::UTC)};
    TessaroRuntime runtime;
    CConfiguration& config;
    CSession& session;
    CTerminal& terminal;
    MessagingModule& module;
};

TEST_F(MessagingModuleTest, DownloadRepliesAreRoutedThroughTheCycle) {
    EXPECT_EQ(Route(fixtureText("listing_bytes_free.txt")), 1);
    EXPECT_TRUE(session.ProcessingMsgs());
    EXPECT_TRUE(terminal.timer(TerminalTimer::Message).isActive());
    EXPECT_TRUE(Queue().contains(QStringLiteral("st -r")));
    terminal.engine().queue().clear();
    EXPECT_EQ(Route(fixtureText("reception_log.txt")), 1);
    EXPECT_TRUE(Queue().contains(QStringLiteral("ty IN.12 -b -k\r\n")));
    terminal.engine().queue().clear();
    Route(QStringLiteral("ty IN.13 -b -k\r\n") + QString(20, QLatin1Char('b')) + QStringLiteral("\r\ncan0:/$ "));
    EXPECT_EQ(Queue(), QStringLiteral("delete IN.13\r\n"));
    EXPECT_EQ(module.inbox().ReadIndex().size(), 1);
    ASSERT_EQ(form.alerts.size(), 1u);
    EXPECT_EQ(form.alerts[0].first, AlertKind::DistressMessage);
    terminal.engine().queue().clear();
    Route(QStringLiteral("delete IN.13\r\ncan0:/$ "));
    EXPECT_FALSE(session.ProcessingMsgs());
}

TEST_F(MessagingModuleTest, SubmissionUploadAndDeliveryReports) {
    config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
    session.SetCurrentOcean(1);
    const SendOutcome sent =
        module.SendMessageToAddress(QStringLiteral("4711"), Telex, 1, QStringLiteral("S"), QStringLiteral("Hello"));
    ASSERT_EQ(sent.code, SendResult::Done);
    EXPECT_EQ(Queue(),
              QStringLiteral("tr 13010301.out -b 5\r\nls 13010301.out\r\ntx 13010301.out -c 102 -s 0 -t 0 -l 0 "
                             "-n\r\n"));
    EXPECT_EQ(terminal.engine().UploadText(QStringLiteral("13010301.out")), std::optional<QByteArray>("Hello"));
    EXPECT_FALSE(terminal.engine().UploadText(QStringLiteral("other.txt")).has_value());

    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.001\r\ncan0:/$ "));
    EXPECT_EQ(module.outbox().ReadIndex()[0][OutPos::Status], QStringLiteral("Sending"));
    EXPECT_EQ(Route(QStringLiteral("st -l\r\nApplication restart\r\nStarting application program.\r\ncan0:/$ ")), 1);
    EXPECT_EQ(module.outbox().ReadIndex()[0][OutPos::Status], QStringLiteral("MES Cleared"));
}

TEST_F(MessagingModuleTest, TxErrorIsRoutedAndShown) {
    config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
    session.SetCurrentOcean(1);
    ASSERT_EQ(module.SendMessageToAddress(QStringLiteral("4711"), Telex, 1, {}, QStringLiteral("x")).code, 1000);
    EXPECT_GE(Route(QStringLiteral("tx 13010301.out -c 102\r\nERROR 121: too long\r\ncan0:/$ ")), 1);
    EXPECT_EQ(module.outbox().ReadIndex()[0][OutPos::Status], QStringLiteral("Failed"));
    EXPECT_GE(terminal.messageBoxes().size(), 1);
}

} // namespace

TEST_F(MessagingModuleTest, DistressAlertInfoAsksForTheGeneratorValuesAndMarksTheSession) {
    session.SetLoggedIn(true); // logged in: the generator's values are fetched at once
    Info(QStringLiteral("st -l\r\nINFO  22: Sending Distress Alert\r\ncan0:/$ "));
    EXPECT_TRUE(session.AddDistressAlertToOutbox());
    EXPECT_EQ(session.DistressAlertStatus(), QStringLiteral("Sending"));
    EXPECT_TRUE(Queue().contains(QStringLiteral("se -g\r\n"))) << Queue().toStdString();

    Info(QStringLiteral("st -l\r\nINFO  21: Distress Acknowledgement received\r\ncan0:/$ "));
    EXPECT_EQ(session.DistressAlertStatus(), QStringLiteral("Conf.Ok"));
}

TEST_F(MessagingModuleTest, DistressAcknowledgementAddsNoSecondAlertLine) {
    session.SetLoggedIn(true);
    // The alert was entered when it was sent; the acknowledgement only changes that line.
    module.outbox().AddDistressAlert({QStringLiteral("Distress"), QStringLiteral("MRCC"), 0, QStringLiteral("Fire"),
                                      clock.nowLocal(), QStringLiteral("Sending")});
    Info(QStringLiteral("st -l\r\nINFO  21: Distress Acknowledgement received\r\ncan0:/$ "));
    EXPECT_FALSE(session.AddDistressAlertToOutbox());
    ASSERT_EQ(module.outbox().ReadIndex().size(), 1);
    EXPECT_EQ(module.outbox().ReadIndex()[0][OutPos::Status], QStringLiteral("Conf.Ok"));

    Info(QStringLiteral("st -l\r\nINFO  20: Distress alert not delivered\r\ncan0:/$ "));
    EXPECT_TRUE(session.AddDistressAlertToOutbox());
    EXPECT_EQ(session.DistressAlertStatus(), QStringLiteral("Failed"));
}

namespace {
// Writes the queued lines the way the engine does, up to and including the one starting with last.
void WriteLinesUpTo(CTerminal& terminal, const QString& last) {
    for (;;) {
        QString line = terminal.engine().queue().takeLine();
        ASSERT_FALSE(line.isEmpty()) << "no line " << last.toStdString();
        line.chop(2);
        Q_EMIT terminal.engine().writingLine(line);
        Q_EMIT terminal.engine().lineWritten(line);
        if (line.startsWith(last))
            return;
    }
}

// A copy of the data folder as a killed run left it (this run still holds its lock).
void CopyDataFolder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".lock")))
            continue;
        const QString target = to + path.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(path, target);
    }
}
} // namespace

// A line whose "tx" never went out gets no reports: left "Initiated" it would take the next message's.
TEST_F(MessagingModuleTest, LinesWhoseSubmissionNeverWentOutAreClearedAtShutDown) {
    ASSERT_NO_FATAL_FAILURE(SendTelexes(3));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010301.out"));
    WriteLinesUpTo(terminal, QStringLiteral("tr 13010302.out")); // its upload under way, "tx" still queued

    terminal.finishShutDown();
    const auto status = [&](int row) { return module.outbox().ReadIndex().value(row).value(OutPos::Status); };
    EXPECT_EQ(status(0), QStringLiteral("Initiated")); // its reports are still to come
    EXPECT_EQ(status(1), QStringLiteral("PC Cleared"));
    EXPECT_EQ(status(2), QStringLiteral("PC Cleared"));

    // The first message's submission report finds its own line.
    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.001\r\ncan0:/$ "));
    EXPECT_EQ(status(0), QStringLiteral("Sending"));
    EXPECT_EQ(status(1), QStringLiteral("PC Cleared"));
}

// Killed before a "tx" went out, the program finds the line at its next start: with no reports to come it
// must not stay "Initiated", where it would take the next message's submission report.
TEST_F(MessagingModuleTest, LinesWhoseSubmissionNeverWentOutAreClearedAtTheStartAfterAKill) {
    ASSERT_NO_FATAL_FAILURE(SendTelexes(3));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010301.out"));
    WriteLinesUpTo(terminal, QStringLiteral("tr 13010302.out"));

    // The next run on the data folder as the killed run left it.
    const QTemporaryDir after;
    CopyDataFolder(dir.path(), after.path());
    const auto boxes = [](TessaroRuntime& r, RecordingMainForm& f) {
        for (int i = 0; i < 20 && r.terminal().messageBoxes().size() > 0; ++i)
            r.terminal().messageBoxes().onMBoxTimer();
        QStringList texts;
        for (const MessageBoxRequest& b : f.boxes)
            texts << b.text;
        return texts.join(u'|');
    };
    {
        RecordingMainForm form2;
        TessaroRuntime next(options(after), clock);
        next.attach(form2, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
        ASSERT_TRUE(next.start().ok);
        const auto status = [&](int row) {
            return next.messaging().outbox().ReadIndex().value(row).value(OutPos::Status);
        };
        EXPECT_EQ(status(0), QStringLiteral("Initiated")); // its "tx" went out: its reports may still come
        EXPECT_EQ(status(1), QStringLiteral("PC Cleared"));
        EXPECT_EQ(status(2), QStringLiteral("PC Cleared"));
        const QString told = boxes(next, form2);
        EXPECT_TRUE(told.contains(QStringLiteral("13010302.out")) && told.contains(QStringLiteral("13010303.out")))
            << told.toStdString();
        EXPECT_FALSE(told.contains(QStringLiteral("13010301.out"))) << told.toStdString();
    } // killed again: no shut-down

    // Told once: a third run finds nothing left to clear.
    RecordingMainForm form3;
    TessaroRuntime third(options(after), clock);
    third.attach(form3, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
    ASSERT_TRUE(third.start().ok);
    EXPECT_FALSE(boxes(third, form3).contains(QStringLiteral(".out"))) << boxes(third, form3).toStdString();
    EXPECT_EQ(third.messaging().outbox().ReadIndex().value(0).value(OutPos::Status), QStringLiteral("Initiated"));
}

// A transceiver restart loses the transmissions it was given; a submission whose "tx" is still queued in
// the program goes out after the restart and keeps its line.
TEST_F(MessagingModuleTest, RestartClearsOnlyTheSubmissionsTheTransceiverHad) {
    ASSERT_NO_FATAL_FAILURE(SendTelexes(2));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010301.out"));
    EXPECT_EQ(Route(QStringLiteral("st -l\r\nApplication restart\r\nStarting application program.\r\ncan0:/$ ")), 1);
    const auto row = [&](int r) { return module.outbox().ReadIndex().value(r); };
    EXPECT_EQ(row(0).value(OutPos::Status), QStringLiteral("MES Cleared"));
    EXPECT_EQ(row(1).value(OutPos::Status), QStringLiteral("Initiated"));

    WriteLinesUpTo(terminal, QStringLiteral("tx 13010302.out"));
    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.002\r\ncan0:/$ "));
    EXPECT_EQ(row(0).value(OutPos::Status), QStringLiteral("MES Cleared"));
    EXPECT_EQ(row(1).value(OutPos::Status), QStringLiteral("Sending"));
    EXPECT_EQ(row(1).value(OutPos::Reference).trimmed(), QStringLiteral("OUT.002"));
}

// The transceiver numbers its transmissions in the order it accepts them. One lost in a restart the program
// never saw (the link was down) sends no start report: the next report must still find its own line, not the
// line of the lost one, or every later line would carry the transmission after its own.
TEST_F(MessagingModuleTest, AReportFindsItsLineWhenAnEarlierTransmissionWasLost) {
    struct Case {
        const char* first;
        const char* kept; // the third message's transmission; the second one's was lost
        const char* fourth;
    };
    const Case cases[] = {{"OUT.047", "OUT.049", "OUT.050"}, {"OUT.998", "OUT.001", "OUT.002"}};
    int sent = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        QFile::remove(module.outbox().indexPath());
        ASSERT_NO_FATAL_FAILURE(SendTelexes(4));
        const auto tx = [&](int i) { return QStringLiteral("tx 130103%1.out").arg(sent + i, 2, 10, QLatin1Char('0')); };
        const auto row = [&](int r) { return module.outbox().ReadIndex().value(r); };
        WriteLinesUpTo(terminal, tx(1));
        Info(QStringLiteral("st -l\r\nINFO 82: File %1\r\ncan0:/$ ").arg(QLatin1String(c.first)));
        ASSERT_EQ(row(0).value(OutPos::Reference).trimmed(), QLatin1String(c.first));
        WriteLinesUpTo(terminal, tx(2));
        WriteLinesUpTo(terminal, tx(3));

        Info(QStringLiteral("st -l\r\nINFO 82: File %1\r\ncan0:/$ ").arg(QLatin1String(c.kept)));
        EXPECT_EQ(row(1).value(OutPos::Status), QStringLiteral("Initiated"));
        EXPECT_EQ(row(2).value(OutPos::Status), QStringLiteral("Sending"));
        EXPECT_EQ(row(2).value(OutPos::Reference).trimmed(), QLatin1String(c.kept));
        Info(QStringLiteral("st -l\r\nINFO 81: Message delivered to LES\r\nReference number 333\r\nFile %1\r\nLES "
                            "102\r\ncan0:/$ ")
                 .arg(QLatin1String(c.kept)));
        EXPECT_EQ(row(2).value(OutPos::Status), QStringLiteral("Delivered"));
        EXPECT_EQ(row(2).value(OutPos::Reference).trimmed(), QStringLiteral("333"));

        WriteLinesUpTo(terminal, tx(4));
        Info(QStringLiteral("st -l\r\nINFO 82: File %1\r\ncan0:/$ ").arg(QLatin1String(c.fourth)));
        EXPECT_EQ(row(3).value(OutPos::Reference).trimmed(), QLatin1String(c.fourth));
        EXPECT_EQ(row(1).value(OutPos::Status), QStringLiteral("Initiated"));
        EXPECT_EQ(row(1).value(OutPos::Reference).trimmed(), QStringLiteral("<None>"));
        sent += 4;
        terminal.engine().queue().clear();
    }
}

// A start report sent while the program was down (or read and not stored when it was killed) does not come
// again: the names the written "tx" should get are kept on disk, so the next report and the delivery report of
// the lost one still find their own lines.
TEST_F(MessagingModuleTest, ReportsFindTheirLinesByNameAfterAKill) {
    ASSERT_NO_FATAL_FAILURE(SendTelexes(3));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010301.out"));
    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.010\r\ncan0:/$ "));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010302.out"));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010303.out"));

    const QTemporaryDir after;
    CopyDataFolder(dir.path(), after.path());
    RecordingMainForm form2;
    TessaroRuntime next(options(after), clock);
    next.attach(form2, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
    ASSERT_TRUE(next.start().ok);
    const auto info = [&](const QString& text) {
        next.info().CheckInfos(QStringLiteral("st -l\r\n") + text + QStringLiteral("\r\ncan0:/$ "),
                               QStringLiteral("can0:/$ "));
    };
    const auto row = [&](int r) { return next.messaging().outbox().ReadIndex().value(r); };
    info(QStringLiteral("INFO 82: File OUT.012"));
    EXPECT_EQ(row(1).value(OutPos::Reference).trimmed(), QStringLiteral("<None>"));
    EXPECT_EQ(row(2).value(OutPos::Reference).trimmed(), QStringLiteral("OUT.012"));

    info(QStringLiteral("INFO 81: Message delivered to LES\r\nReference number 111\r\nFile OUT.011\r\nLES 102"));
    EXPECT_EQ(row(1).value(OutPos::Status), QStringLiteral("Delivered"));
    EXPECT_EQ(row(1).value(OutPos::Reference).trimmed(), QStringLiteral("111"));
    EXPECT_EQ(row(2).value(OutPos::Reference).trimmed(), QStringLiteral("OUT.012"));
    EXPECT_EQ(row(2).value(OutPos::Status), QStringLiteral("Sending"));
}

// A "tx" typed in the terminal window takes the transceiver's next name though it has no line; a refused "tx"
// takes none. Neither report may land on a line of the program's own.
TEST_F(MessagingModuleTest, ATxTypedInTheTerminalTakesANameARefusedOneDoesNot) {
    ASSERT_NO_FATAL_FAILURE(SendTelexes(3));
    const auto row = [&](int r) { return module.outbox().ReadIndex().value(r); };
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010301.out"));
    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.020\r\ncan0:/$ "));
    Q_EMIT terminal.engine().writingLine(QStringLiteral("tx memo.txt -c 102")); // OUT.021
    Q_EMIT terminal.engine().writingLine(QStringLiteral("tx -h"));              // no file: no transmission
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010302.out"));
    EXPECT_GE(Route(QStringLiteral("tx 13010302.out -c 102 -s 0 -t 0 -l 0 -n\r\nERROR 123: Not logged in\r\ncan0:/$ ")),
              1);
    ASSERT_EQ(row(1).value(OutPos::Status), QStringLiteral("Failed"));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010303.out")); // OUT.022

    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.021\r\ncan0:/$ "));
    EXPECT_EQ(row(2).value(OutPos::Status), QStringLiteral("Initiated"));
    Info(QStringLiteral("st -l\r\nINFO 81: Message delivered to LES\r\nReference number 5\r\nFile OUT.021\r\nLES "
                        "102\r\ncan0:/$ "));
    EXPECT_EQ(row(2).value(OutPos::Status), QStringLiteral("Initiated"));
    Info(QStringLiteral("st -l\r\nINFO 82: File OUT.022\r\ncan0:/$ "));
    EXPECT_EQ(row(2).value(OutPos::Status), QStringLiteral("Sending"));
    EXPECT_EQ(row(2).value(OutPos::Reference).trimmed(), QStringLiteral("OUT.022"));
}

// A transfer the shell refused is sent again after the terminal program restarts: its line stays
// "Initiated" through the re-queue, and is cleared only if the program stops before its "tx" goes out.
TEST_F(MessagingModuleTest, TransferQueuedAgainAfterTheBareShellIsNotCleared) {
    config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
    session.SetCurrentOcean(1);
    ASSERT_EQ(module.SendMessageToAddress(QStringLiteral("4711"), Telex, 1, {}, QStringLiteral("A")).code, 1000);
    WriteLinesUpTo(terminal, QStringLiteral("tr 13010301.out"));
    Q_EMIT terminal.engine().uploadRefused(QStringLiteral("13010301.out"), true, QStringLiteral("tr\r\nkv7302:/$ "));
    EXPECT_TRUE(Queue().contains(QStringLiteral("tx 13010301.out")));
    EXPECT_EQ(module.outbox().ReadIndex().value(0).value(OutPos::Status), QStringLiteral("Initiated"));
    WriteLinesUpTo(terminal, QStringLiteral("tx 13010301.out"));
    terminal.finishShutDown();
    EXPECT_EQ(module.outbox().ReadIndex().value(0).value(OutPos::Status), QStringLiteral("Initiated"));
}

// The chosen code page is used for the upload whatever the program language.
TEST_F(MessagingModuleTest, UploadUsesTheChosenCodePage) {
    config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
    config.SetIni(QStringLiteral("[CodePage]"), QStringLiteral("866"));
    session.SetCurrentOcean(1);
    ASSERT_EQ(
        module.SendMessageToAddress(QStringLiteral("4711"), Telex, 1, {}, QString::fromUtf8("\xD0\x96\xD1\x8F")).code,
        1000);
    EXPECT_EQ(terminal.engine().UploadText(QStringLiteral("13010301.out")), std::optional<QByteArray>("\x86\xEF"));
}
