#include "link_test_support.h"

#include "link/terminal.h"

#include <QDir>

using namespace tessaro;

namespace {
struct TerminalRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, false, path + QStringLiteral("settings.ini")};
    SessionFlags session;
    ManualClock clock;
    RecordingMainForm form;
    InMemoryLink* serial = nullptr;
    InMemoryLink* tcp = nullptr;
    std::unique_ptr<CTerminal> terminal;

    TerminalRig() {
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("yes"));
        terminal = make();
        // The poll burst's commands come from the subsystems; one stands for them here.
        terminal->engine().addPollStep(PollOrder::Status, [this] { terminal->QueueCommand(QStringLiteral("st -w")); });
    }
    std::unique_ptr<CTerminal> make() {
        return std::make_unique<CTerminal>(config, session, form, clock, [this](LinkKind kind) {
            auto link = std::make_unique<InMemoryLink>(kind);
            (kind == LinkKind::Serial ? serial : tcp) = link.get();
            return link;
        });
    }
    StartResult startCom() {
        config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("COM"));
        return terminal->start({});
    }
    QString errorLog() const { return QString::fromLatin1(test::readFile(path + QStringLiteral("ErrorLog.txt"))); }
};
} // namespace

TEST(Terminal, StartUpQueuesTheProbesAndCreatesTheFoldersAndMarker) {
    TerminalRig rig;
    rig.config.SetIni(QStringLiteral("[COM port]"), QStringLiteral("17"));
    rig.config.settings().SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("CommandTimeOut"),
                                           QStringLiteral("2"));
    const StartResult r = rig.startCom();
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(rig.terminal->engine().queue().text(), QStringLiteral("st -l\r\r\nst -l\r\nse -p\r\n"));
    EXPECT_EQ(rig.serial->target(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(rig.serial->settings(), QStringLiteral("115200,n,8,1"));
    EXPECT_TRUE(rig.serial->isOpen());
    EXPECT_EQ(rig.config.GetIni(QStringLiteral("[COM port]")), QStringLiteral("1"));
    EXPECT_EQ(rig.terminal->engine().CommandTimeOut(), 4);
    EXPECT_TRUE(QFile::exists(rig.terminal->markerPath()));
    for (const char* folder : {"inbox", "egc", "sent items", "addressbook", "Drafts", "Saved files"})
        EXPECT_TRUE(QDir(rig.path + QLatin1String(folder)).exists()) << folder;
    EXPECT_EQ(rig.terminal->messageBoxes().size(), 0);
    EXPECT_TRUE(rig.terminal->timer(TerminalTimer::Timer1).isActive());
    EXPECT_FALSE(rig.terminal->timer(TerminalTimer::Egc).isActive());
}

TEST(Terminal, LeftoverMarkerIsReportedOnce) {
    TerminalRig rig;
    QFile marker(rig.path + QStringLiteral("#Tessaro.tmp"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    ASSERT_TRUE(rig.startCom().ok);
    rig.terminal->tick(TerminalTimer::MBox);
    ASSERT_EQ(rig.form.boxes.size(), 1u);
    EXPECT_EQ(rig.form.boxes[0].text, QStringLiteral("Tessaro was not closed properly last time it was run."));
    EXPECT_EQ(rig.form.boxes[0].title, QStringLiteral("Info"));
}

TEST(Terminal, SecondInstanceOnTheSameDataFolderIsRefused) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    SessionFlags otherSession;
    RecordingMainForm otherForm;
    CConfiguration otherConfig(rig.path, false, rig.path + QStringLiteral("settings.ini"));
    CTerminal second(otherConfig, otherSession, otherForm, rig.clock,
                     [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
    const StartResult r = second.start({});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(otherForm.fatalMessages, QStringList{QStringLiteral("Tessaro instance already running.")});
}

TEST(Terminal, DisclaimerMustBeAccepted) {
    TerminalRig rig;
    rig.config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("NO"));
    rig.form.disclaimerAnswer = false;
    EXPECT_FALSE(rig.startCom().ok);
    EXPECT_FALSE(QFile::exists(rig.terminal->markerPath())) << "nothing starts without the disclaimer";

    rig.terminal = rig.make();
    rig.form.disclaimerAnswer = true;
    EXPECT_TRUE(rig.startCom().ok);
    EXPECT_EQ(rig.form.disclaimerAsked, 2);
    EXPECT_EQ(CIniStore(rig.path).GetIni(QStringLiteral("[AS IS Accepted?]")), QStringLiteral("YES"));
}

TEST(Terminal, SerialIndicatorStaysGreenTwentyTicksAfterAPrompt) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    EXPECT_FALSE(rig.terminal->indicator().green);
    rig.session.SetPromptSeen(true);
    rig.terminal->tick(TerminalTimer::Winsock); // tick 0
    EXPECT_TRUE(rig.terminal->indicator().green);
    EXPECT_EQ(rig.terminal->indicator().text, QStringLiteral("Connected to TCU"));
    EXPECT_FALSE(rig.session.PromptSeen());
    for (int tick = 1; tick < 20; ++tick) {
        rig.terminal->tick(TerminalTimer::Winsock);
        ASSERT_TRUE(rig.terminal->indicator().green) << tick;
    }
    rig.session.SetMesConnected(true);
    rig.terminal->tick(TerminalTimer::Winsock); // tick 20
    EXPECT_FALSE(rig.terminal->indicator().green);
    EXPECT_EQ(rig.terminal->indicator().colour(), kIndicatorRed);
    EXPECT_EQ(rig.terminal->indicator().text, QStringLiteral("Mobile not connected"));
}

TEST(Terminal, LanIndicatorFollowsTheSocket) {
    TerminalRig rig;
    ASSERT_TRUE(rig.terminal->start({QStringLiteral("127.0.0.1:2323"), {}, false}).ok);
    EXPECT_FALSE(rig.serial->isOpen());
    rig.terminal->tick(TerminalTimer::Winsock); // connects
    rig.terminal->tick(TerminalTimer::Winsock);
    rig.terminal->tick(TerminalTimer::Winsock); // indicator sees TcpConnected
    EXPECT_EQ(rig.tcp->target(), QStringLiteral("127.0.0.1:2323"));
    EXPECT_TRUE(rig.terminal->indicator().green);
    EXPECT_EQ(rig.terminal->indicator().text, QStringLiteral("Connected to TCU"));
    rig.session.SetMesConnected(true);
    rig.terminal->tick(TerminalTimer::Winsock);
    EXPECT_TRUE(rig.terminal->indicator().text.isEmpty()) << "the status line speaks once the transceiver does";
}

TEST(Terminal, Timer2PollsWhileConnectedAndReopensASilentSerialPort) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.terminal->engine().queue().clear();
    const int opens = rig.serial->openCount;
    rig.terminal->tick(TerminalTimer::Timer2);
    EXPECT_EQ(rig.terminal->engine().queue().text(), QStringLiteral("st -l\r\n"));
    EXPECT_EQ(rig.serial->openCount, opens + 1);

    rig.session.SetMesConnected(true);
    rig.terminal->tick(TerminalTimer::Timer2);
    EXPECT_TRUE(rig.terminal->engine().queue().contains(QStringLiteral("st -w"), Qt::CaseSensitive));
    EXPECT_EQ(rig.terminal->engine().queue().text().count(QStringLiteral("st -l")), 1);
    EXPECT_EQ(rig.serial->openCount, opens + 1);

    rig.terminal->engine().queue().clear();
    rig.terminal->setTerminalWindowOpen(true);
    rig.terminal->tick(TerminalTimer::Timer2);
    rig.terminal->tick(TerminalTimer::Timer60S);
    EXPECT_EQ(rig.terminal->engine().queue().text(), QStringLiteral("st -l\r\n")) << "only the keep-alive";
    rig.terminal->setTerminalWindowOpen(false);
    rig.terminal->tick(TerminalTimer::Timer60S);
    EXPECT_TRUE(rig.terminal->engine().queue().contains(QStringLiteral("se -p"), Qt::CaseSensitive));
}

// The keep-alive waits while the terminal window shows a prompt for the operator's answer.
TEST(Terminal, KeepAliveWaitsWhileTheTerminalWindowAwaitsAPassword) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.session.SetMesConnected(true);
    rig.terminal->engine().queue().clear();
    rig.terminal->setTerminalWindowOpen(true);
    const auto reply = [&](const QString& command, const QByteArray& answer) {
        rig.terminal->QueueCommand(command);
        rig.terminal->tick(TerminalTimer::Timer1);
        ASSERT_TRUE(rig.serial->takeWritten().startsWith(command.toLatin1()));
        rig.serial->feed(answer);
        for (int i = 0; i < 4; ++i) {
            rig.clock.advanceMs(60);
            rig.terminal->tick(TerminalTimer::Timer1);
        }
        ASSERT_EQ(rig.terminal->engine().EngineState(), CommandEngine::Idle);
    };
    ASSERT_NO_FATAL_FAILURE(reply(QStringLiteral("pw"), "pw\r\nEnter password: "));
    rig.terminal->tick(TerminalTimer::Timer2);
    EXPECT_TRUE(rig.terminal->engine().queue().text().isEmpty()) << rig.terminal->engine().queue().text().toStdString();

    ASSERT_NO_FATAL_FAILURE(reply(QStringLiteral("secret"), "\r\nPassword accepted\r\ncan0:/$ "));
    rig.terminal->tick(TerminalTimer::Timer2);
    EXPECT_EQ(rig.terminal->engine().queue().text(), QStringLiteral("st -l\r\n"));
}

TEST(Terminal, SerialEventsAreLoggedWhileTheTransceiverIsConnected) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.serial->raiseEvent(LinkEvent::Parity);
    rig.terminal->checkSerialEvents();
    EXPECT_TRUE(rig.errorLog().isEmpty()) << "nothing is examined while the transceiver is silent";
    rig.session.SetMesConnected(true);
    rig.serial->raiseEvent(LinkEvent::Parity);
    rig.terminal->checkSerialEvents();
    rig.terminal->checkSerialEvents(); // an event is reported once
    EXPECT_EQ(rig.errorLog(),
              QStringLiteral("Parity Error. If this error continues, you may need to reboot the computer.\r\n"));

    rig.terminal->engine().queue().clear();
    rig.serial->raiseEvent(LinkEvent::CarrierChange);
    rig.terminal->checkSerialEvents();
    EXPECT_TRUE(rig.terminal->engine().queue().contains(QStringLiteral("st -w"), Qt::CaseSensitive));
    rig.serial->carrier = false;
    rig.serial->raiseEvent(LinkEvent::CarrierChange);
    rig.terminal->checkSerialEvents();
    EXPECT_FALSE(rig.session.MesConnected()) << "carrier dropped: the link is lost";
}

TEST(Terminal, SerialReadErrorIsLoggedAndTheLineEventsAreExamined) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.session.SetMesConnected(true);
    rig.serial->errorCode = 8;
    rig.serial->errorText = QStringLiteral("Input/output error");
    rig.serial->raiseEvent(LinkEvent::Overrun);
    const QString log = rig.errorLog();
    EXPECT_TRUE(log.contains(QStringLiteral(" Error 8: Input/output error\r\n"))) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("Data Lost. If this error continues, you may need to reboot the computer.")), 1);
    rig.terminal->checkSerialEvents();
    EXPECT_EQ(rig.errorLog(), log) << "the event is reported once";
    EXPECT_TRUE(rig.session.MesConnected()) << "a read error alone is no lost link";
}

TEST(Terminal, VanishedSerialDeviceIsALostLinkAndTimer2ReopensIt) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.session.SetMesConnected(true);
    rig.session.SetProcessingMsgs(true);
    int lostJobs = 0;
    rig.terminal->addLinkLostJob([&] { ++lostJobs; });
    rig.serial->setConnected(false);
    rig.serial->raiseEvent(LinkEvent::Lost);
    EXPECT_FALSE(rig.session.MesConnected());
    EXPECT_FALSE(rig.session.ProcessingMsgs());
    EXPECT_EQ(lostJobs, 1);
    EXPECT_TRUE(rig.errorLog().contains(QStringLiteral("Serial device /dev/ttyS0 lost")));
    rig.terminal->tick(TerminalTimer::Timer2);
    EXPECT_TRUE(rig.serial->isOpen());
}

TEST(Terminal, MessageBoxesAreShownOneAtATimeWithoutDuplicates) {
    TerminalRig rig;
    rig.form.holdBoxes = true;
    EXPECT_TRUE(rig.terminal->ShowMessageQueued(QStringLiteral("A")));
    EXPECT_FALSE(rig.terminal->ShowMessageQueued(QStringLiteral("A")));
    EXPECT_TRUE(rig.terminal->ShowMessageQueued(QStringLiteral("A"), QStringLiteral("Other title")));
    EXPECT_TRUE(rig.terminal->ShowMessageQueued(QStringLiteral("B")));
    rig.terminal->tick(TerminalTimer::MBox);
    rig.terminal->tick(TerminalTimer::MBox);
    EXPECT_EQ(rig.form.boxes.size(), 1u);
    EXPECT_FALSE(rig.terminal->ShowMessageQueued(QStringLiteral("A"))) << "still showing counts as queued";
    rig.form.closeBox();
    EXPECT_TRUE(rig.terminal->ShowMessageQueued(QStringLiteral("A")));
    rig.terminal->tick(TerminalTimer::MBox);
    ASSERT_EQ(rig.form.boxes.size(), 2u);
    EXPECT_EQ(rig.form.boxes[1].title, QStringLiteral("Other title"));
}

TEST(Terminal, WatchdogsClearAStalledDownload) {
    TerminalRig rig;
    rig.session.SetProcessingEgcs(true);
    rig.session.SetProcessingMsgs(true);
    rig.terminal->startEgcWatchdog();
    rig.terminal->startMessageWatchdog();
    rig.terminal->tick(TerminalTimer::Egc);
    EXPECT_FALSE(rig.session.ProcessingEgcs());
    EXPECT_TRUE(rig.session.ProcessingMsgs());
    EXPECT_FALSE(rig.terminal->timer(TerminalTimer::Egc).isActive());
    rig.terminal->tick(TerminalTimer::Message);
    EXPECT_FALSE(rig.session.ProcessingMsgs());
}

TEST(Terminal, ExitQuestionDefaultsToStaying) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.terminal->requestClose();
    ASSERT_EQ(rig.form.confirmations.size(), 1u);
    EXPECT_EQ(rig.form.confirmations[0].text, QStringLiteral("Do you want to exit Tessaro ?"));
    EXPECT_FALSE(rig.terminal->closing());
    rig.form.setNextAnswer(true);
    rig.terminal->requestClose();
    EXPECT_TRUE(rig.terminal->hasFinished());
}

TEST(Terminal, ShutDownLetsTheRunningDownloadFinish) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    int finished = 0;
    QObject::connect(rig.terminal.get(), &CTerminal::finished, [&] { ++finished; });
    rig.session.SetProcessingMsgs(true);
    rig.terminal->beginShutDown();
    EXPECT_TRUE(rig.terminal->closing());
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(rig.form.waitTexts.last(), QStringLiteral("Closing Tessaro...\r\n(Downloading Messages)"));
    EXPECT_FALSE(rig.terminal->QueueCommand(QStringLiteral("st -w")));
    EXPECT_TRUE(rig.terminal->QueueCommand(QStringLiteral("ty IN.4 -b -k")));
    EXPECT_TRUE(QFile::exists(rig.terminal->markerPath()));

    rig.session.SetProcessingMsgs(false);
    rig.terminal->tick(TerminalTimer::CloseDown);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(rig.form.closeFinishedCount, 1);
    EXPECT_FALSE(QFile::exists(rig.terminal->markerPath()));
    EXPECT_FALSE(rig.terminal->timer(TerminalTimer::Timer1).isActive());
    // The data folder is free for the next run.
    rig.terminal = rig.make();
    EXPECT_TRUE(rig.startCom().ok);
}

TEST(Terminal, CommSettingsSwitchTheTransport) {
    TerminalRig rig;
    ASSERT_TRUE(rig.startCom().ok);
    rig.session.SetMesConnected(true);
    rig.terminal->useLan(QStringLiteral("10.1.1.1"));
    EXPECT_TRUE(rig.terminal->usingLan());
    EXPECT_FALSE(rig.serial->isOpen());
    EXPECT_FALSE(rig.session.MesConnected());
    EXPECT_EQ(rig.config.GetIni(QStringLiteral("[HOST Interface]")), QStringLiteral("LAN"));
    rig.terminal->tick(TerminalTimer::Winsock);
    EXPECT_EQ(rig.tcp->target(), QStringLiteral("10.1.1.1"));

    rig.terminal->engine().queue().clear();
    rig.terminal->useSerial(3, QStringLiteral("9600,n,8,1"));
    EXPECT_FALSE(rig.terminal->usingLan());
    EXPECT_FALSE(rig.tcp->isOpen());
    EXPECT_EQ(rig.serial->target(), QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(rig.serial->settings(), QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(rig.config.GetIni(QStringLiteral("[COM Settings]")), QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(rig.terminal->engine().queue().text(), QStringLiteral("st -v\r\nst -i\r\n"));
}
