#include "runtime_rig.h"

#include "config/logs.h"
#include "messaging/outbox.h"
#include "status/session.h"

#include <cerrno>

using namespace tessaro;
using test::RuntimeRig;

namespace {

// The INFO and ERROR lines as the whole program handles them: the code table's recording and notices, and
// the effects the owning subsystems registered.
class InfoCodes : public ::testing::Test {
protected:
    void SetUp() override {
        const StartResult r = rig.start();
        ASSERT_TRUE(r.ok) << r.message.toStdString();
        out = &rig.runtime->messaging().outbox();
        QFile index(out->indexPath());
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write(
            "13010301.out;4711;102;Telex 7 Bit;13-01-03;09:05; 5;<None>;Initiated;0;0;0;0;03;01;09;05;4711;;;A\r\n"
            "13010302.out;4712;102;Telex 7 Bit;13-01-03;09:06; 5;<None>;Initiated;1;0;0;0;03;01;09;06;4712;;;B\r\n");
    }
    QStringList line(int i) { return out->ReadIndex()[i]; }
    QByteArray infoLogText() { return rig.file(QStringLiteral("InfoLog.txt")); }
    std::vector<MessageBoxRequest> boxes() {
        rig.drainBoxes();
        return rig.form.boxes;
    }
    void setFamily(int family) {
        TransceiverIdentity id;
        id.ProductType = family;
        rig.session().SetIdentity(id);
    }

    RuntimeRig rig;
    cOutBox* out = nullptr;
};

} // namespace

TEST_F(InfoCodes, DeliveryIsTrackedFromSendingToDelivered) {
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.001 being sent"));
    EXPECT_EQ(line(0)[OutPos::Reference], QStringLiteral("OUT.001"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Sending"));
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("Initiated"));
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.002 being sent"));

    rig.infoReply(QStringLiteral("INFO 81: Message delivered.\r\nReference number: 123456\r\nLES 102\r\nFile OUT.001"));
    EXPECT_EQ(line(0)[OutPos::Reference], QStringLiteral("123456"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Delivered"));
    // The second message asked for a confirmation.
    rig.infoReply(QStringLiteral("INFO 81: Message delivered.\r\nReference number: 777\r\nLES 102\r\nFile OUT.002"));
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("ConfReq"));
    EXPECT_TRUE(infoLogText().contains("INFO 81: Message delivered. Reference number: 777"));
    EXPECT_TRUE(boxes().empty()); // 81 and 82 are recorded, not shown
}

TEST_F(InfoCodes, FailureCodesAndRuleAFallback) {
    // No line is "Sending" under that file: the first waiting submission gets the report.
    rig.infoReply(QStringLiteral("INFO   80: Transmission failed.\r\nLES 102\r\nFile OUT.009"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Failed"));
    const auto shown = boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, QStringLiteral("INFO"));
    EXPECT_TRUE(shown[0].text.startsWith(QStringLiteral("INFO 80: Transmission failed.")));

    out->UpdateOutBoxFile(QStringLiteral("13010302.out"), QStringLiteral("OUT.002"), QStringLiteral("Sending"), false);
    rig.infoReply(QStringLiteral(
        "INFO 140: Negative delivery\r\nReference number: 55\r\nLES 102\r\nFile OUT.002\r\nfailure code: 17"));
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("Failed. Error code: '17'"));
    EXPECT_EQ(line(1)[OutPos::Reference], QStringLiteral("55"));
}

TEST_F(InfoCodes, RecordingRules) {
    rig.infoReply(QStringLiteral("INFO 393: TXLOG Updated"));
    EXPECT_TRUE(infoLogText().isEmpty());
    EXPECT_TRUE(rig.form.information.filter(QStringLiteral("393")).isEmpty());

    const QString warning = QStringLiteral("INFO 116: WARNING Test software. Inmarsat-C education version.");
    rig.infoReply(warning);
    rig.infoReply(warning);
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_EQ(infoLogText().count("INFO 116:"), 2);

    rig.infoReply(QStringLiteral("INFO x1: garbage"));
    EXPECT_TRUE(rig.form.information.contains(QStringLiteral("Unknown info received from mobile")));
    const QString prompt = QStringLiteral("can0:/$ ");
    rig.runtime->info().CheckInfos(QStringLiteral("st -l\r\nINFO 40: never ends"), prompt);
    EXPECT_TRUE(infoLogText().contains("INFO 000: Unknown Info(s)"));
}

TEST_F(InfoCodes, QueuedCommandsByCode) {
    struct Case {
        const char* line;
        int family;
        bool loggedIn;
        const char* queue;
    };
    const Case cases[] = {
        {"INFO 30: x", 0, true, "st -w\r\n"},
        {"INFO 221: Synchronization successful", 0, true, "st -w\r\n"},
        {"INFO 501: x", 0, true, "st -w\r\n"},
        {"INFO 363: test mode ended", 0, true, "st -w\r\n"},
        {"INFO 22: Sending Distress Alert", 5, true, "se -g\r\nse -m ALL_OCEANS\r\n"},
        {"INFO 21: Distress Acknowledgement received", 0, true, "se -g\r\n"},
        {"INFO 21: Distress Acknowledgement received", 0, false, ""},
        {"INFO 119: x", 4, true, "se -m ALL_OCEANS\r\n"}, // its notice was raised: no "se -g"
        {"INFO 40: x", 0, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        rig.terminal().engine().queue().clear();
        setFamily(c.family);
        rig.session().SetLoggedIn(c.loggedIn);
        rig.infoReply(QLatin1String(c.line));
        EXPECT_EQ(rig.queue(), QLatin1String(c.queue));
    }
    rig.terminal().engine().queue().clear();
    rig.terminal().QueueCommand(QStringLiteral("st -w"));
    rig.infoReply(QStringLiteral("INFO 60: x"));
    EXPECT_EQ(rig.queue(), QStringLiteral("st -w\r\n")) << "never twice";
}

TEST_F(InfoCodes, DistressAlertsAndConfirmationSettlement) {
    rig.runtime->messaging().outbox().AddDistressAlert(
        {QStringLiteral("Distress"), QStringLiteral("MRCC"), 0, QStringLiteral("Fire"),
         QDateTime(QDate(2013, 1, 3), QTime(9, 5)), QStringLiteral("Sending")});
    rig.infoReply(QStringLiteral("INFO 21: Distress Acknowledgement received"));
    EXPECT_EQ(line(2)[OutPos::Status], QStringLiteral("Conf.Ok"));
    EXPECT_EQ(rig.session().DistressAlertStatus(), QStringLiteral("Conf.Ok"));
    EXPECT_FALSE(rig.session().AddDistressAlertToOutbox());

    rig.runtime->config().SetIni(QStringLiteral("[ConfReq]"), QStringLiteral("13010302.out"));
    rig.infoReply(QStringLiteral("INFO 131: confirmation"));
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("ConfOk"));
    EXPECT_TRUE(rig.runtime->config().GetIni(QStringLiteral("[ConfReq]")).isEmpty());
}

TEST_F(InfoCodes, IndicatorCountsUpAndDown) {
    QList<bool> states;
    QObject::connect(&rig.runtime->messaging(), &MessagingModule::indicatorAlarm, [&](bool alarm) { states << alarm; });
    rig.infoReply(QStringLiteral("INFO 552: a\r\nINFO 552: b"));
    EXPECT_EQ(rig.runtime->messaging().reports().indicatorCount(), 2);
    rig.infoReply(QStringLiteral("INFO 81: x"));
    rig.infoReply(QStringLiteral("INFO 80: y"));
    EXPECT_EQ(states, QList<bool>({true, true, false}));
}

TEST_F(InfoCodes, TestModeBannerHasOneOwner) {
    QStringList banners;
    QObject::connect(&rig.runtime->distress(), &DistressModule::testModeBannerChanged,
                     [&](const QString& text) { banners << text; });
    rig.infoReply(QStringLiteral("INFO 502: automatic test"));
    rig.infoReply(QStringLiteral("INFO 502: automatic test")); // shown already: no second change
    rig.infoReply(QStringLiteral("INFO 353: test over"));
    ASSERT_EQ(banners.size(), 2);
    EXPECT_TRUE(banners[0].startsWith(QStringLiteral("Automatic test mode: Normal communication disabled.")));
    EXPECT_TRUE(banners[1].isEmpty());
    // The status reply that shows the link test running raises the same banner.
    Q_EMIT rig.runtime->status().automaticTestModeSeen();
    EXPECT_EQ(banners.last(), banners[0]);

    QList<int> events;
    QObject::connect(&rig.runtime->distress(), &DistressModule::testModeEvent, [&](int e) { events << e; });
    rig.infoReply(QStringLiteral("INFO 733: a\r\nINFO 803: b"));
    EXPECT_EQ(events, QList<int>({1, 3}));
}

TEST_F(InfoCodes, ErrorLinesAreRecordedAndShown) {
    rig.infoReply(QStringLiteral("ERROR 105: Remote Printer not OK"));
    auto shown = boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("ERROR 105: Remote Printer not OK"));
    EXPECT_EQ(shown[0].title, QStringLiteral("ERROR"));
    EXPECT_TRUE(infoLogText().contains("ERROR 105: Remote Printer not OK"));
    rig.infoReply(QStringLiteral("ERROR abc: what"));
    shown = boxes();
    EXPECT_EQ(shown.back().text, QStringLiteral("Unknown error received from mobile: what"));
}

TEST_F(InfoCodes, ReportsAfterDeliveryFindTheirLineByReference) {
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.001 being sent"));
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.002 being sent"));
    rig.infoReply(QStringLiteral("INFO 81: Delivered\r\nReference number: 123456\r\nLES 102\r\nFile OUT.001"));
    rig.infoReply(QStringLiteral("INFO 81: Delivered\r\nReference number: 777\r\nLES 102\r\nFile OUT.002"));
    ASSERT_EQ(line(1)[OutPos::Status], QStringLiteral("ConfReq"));

    // The confirmation asked for arrives: the line now holds the LES reference, not the file name.
    rig.infoReply(QStringLiteral("INFO 141: Positive delivery\r\nReference number: 777\r\nLES 102\r\nFile OUT.002"));
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("Conf.OK"));
    EXPECT_EQ(line(1)[OutPos::Reference], QStringLiteral("777"));
    // A negative report for the first message lands on it, not on an unrelated waiting line.
    out->AppendLine(QStringLiteral("13010303.out;4713;102;Telex 7 Bit;13-01-03;09:07; 5;<None>;Initiated;0;0;0;0;03;"
                                   "01;09;07;4713;;;C")
                        .split(u';'));
    rig.infoReply(QStringLiteral(
        "INFO 140: Negative delivery\r\nReference number: 123456\r\nLES 102\r\nFile OUT.001\r\nfailure code: 9"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Failed. Error code: '9'"));
    EXPECT_EQ(line(2)[OutPos::Status], QStringLiteral("Initiated"));
}

// A kill between reading a start report and storing it loses that report: the next start report then goes to
// the line whose own report was lost. The transceiver numbers its transmissions in order, so the delivery report
// of the lost one names a number before the one that line holds, and the lines are put right.
TEST_F(InfoCodes, AStartReportLostInAKillDoesNotShiftTheLaterLines) {
    struct Case {
        const char* lost;
        const char* next;
    };
    const Case cases[] = {{"OUT.086", "OUT.087"}, {"OUT.999", "OUT.001"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lost);
        QFile index(out->indexPath());
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write(
            "13010301.out;4711;102;Telex 7 Bit;13-01-03;09:05; 5;<None>;Initiated;0;0;0;0;03;01;09;05;4711;;;A\r\n"
            "13010302.out;4712;102;Telex 7 Bit;13-01-03;09:06; 5;<None>;Initiated;1;0;0;0;03;01;09;06;4712;;;B\r\n");
        index.close();
        rig.runtime->messaging().startUp(); // the two lines were left waiting by a killed run
        rig.infoReply(QStringLiteral("INFO 82: Transmission started, %1 to LES 102").arg(QLatin1String(c.next)));
        ASSERT_EQ(line(0)[OutPos::Reference], QLatin1String(c.next)); // all the program can know yet

        rig.infoReply(QStringLiteral("INFO 81: Message delivered to LES\r\nReference number 111\r\nFile %1\r\nLES 102")
                          .arg(QLatin1String(c.lost)));
        EXPECT_EQ(line(0)[OutPos::Reference], QStringLiteral("111"));
        EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Delivered"));
        EXPECT_EQ(line(1)[OutPos::Reference], QLatin1String(c.next));
        EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("Sending"));

        rig.infoReply(QStringLiteral("INFO 81: Message delivered to LES\r\nReference number 222\r\nFile %1\r\nLES 102")
                          .arg(QLatin1String(c.next)));
        EXPECT_EQ(line(1)[OutPos::Reference], QStringLiteral("222"));
        EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("ConfReq"));

        // A later report about a delivered message names its old transmission too: that is no lost report.
        out->AppendLine(QStringLiteral("13010303.out;4713;102;Telex 7 Bit;13-01-03;09:07; 5;<None>;Initiated;0;0;0;0;"
                                       "03;01;09;07;4713;;;C")
                            .split(u';'));
        rig.infoReply(QStringLiteral("INFO 82: Transmission started, OUT.%1 to LES 102")
                          .arg(QString::number(QString::fromLatin1(c.next).mid(4).toInt() + 1), 3, u'0'));
        ASSERT_EQ(line(2)[OutPos::Status], QStringLiteral("Sending"));
        const QString sending = line(2)[OutPos::Reference];
        rig.infoReply(QStringLiteral("INFO 141: Positive delivery\r\nReference number: 111\r\nLES 102\r\nFile %1")
                          .arg(QLatin1String(c.lost)));
        EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Conf.OK"));
        EXPECT_EQ(line(1)[OutPos::Reference], QStringLiteral("222"));
        EXPECT_EQ(line(2)[OutPos::Reference], sending);
        EXPECT_EQ(line(2)[OutPos::Status], QStringLiteral("Sending"));
    }
}

// Lines submitted in this run got their start reports in order: a report for an earlier transmission the
// program did not make (one typed in the terminal window) leaves them alone.
TEST_F(InfoCodes, AReportForAnotherTransmissionDoesNotReorderThisRunsLines) {
    rig.infoReply(QStringLiteral("INFO 82: Transmission started, OUT.087 to LES 102"));
    ASSERT_EQ(line(0)[OutPos::Reference], QStringLiteral("OUT.087"));
    rig.infoReply(
        QStringLiteral("INFO 81: Message delivered to LES\r\nReference number 111\r\nFile OUT.086\r\nLES 102"));
    EXPECT_EQ(line(0)[OutPos::Reference], QStringLiteral("OUT.087"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Sending"));
}

TEST_F(InfoCodes, AFullDiskIsToldOnceNotOncePerLine) {
    const QString diskFull = QStringLiteral(
        "(InfoLog.AddInfo) Error: Not enough disk space.\nDue to this error, the info can not be saved.");
    const auto shown = [&] {
        int n = 0;
        for (const MessageBoxRequest& box : boxes())
            n += box.text == diskFull ? 1 : 0;
        return n;
    };
    SetLogWriteFault([](const QString&) { return ENOSPC; });
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.001 being sent\r\nERROR 40: first\r\nINFO 0: odd"));
    rig.runtime->terminal().notifier().information(QStringLiteral("a line of the program's own"));
    EXPECT_EQ(shown(), 1);

    // Once the disk has room again, a new failure is a new event the operator hears of.
    SetLogWriteFault({});
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.002 being sent"));
    SetLogWriteFault([](const QString&) { return ENOSPC; });
    rig.infoReply(QStringLiteral("INFO 82: Message File OUT.001 being sent"));
    SetLogWriteFault({});
    EXPECT_EQ(shown(), 2);
}

// "Update position" and "Time to enter new position" are for a transceiver whose position is entered by hand:
// one without a valid GPS position, or one that has said it has no built-in GPS.
TEST_F(InfoCodes, PositionRemindersOnlyWhereThePositionIsEnteredByHand) {
    const auto reminders = [this] {
        boxes(); // earlier notices out of the way
        rig.form.boxes.clear();
        rig.infoReply(QStringLiteral("INFO 111: Update position\r\nINFO 193: Time to enter new position"));
        QStringList texts;
        for (const MessageBoxRequest& b : boxes())
            texts << b.title + QLatin1Char('|') + b.text;
        return texts;
    };
    const QStringList shown = {QStringLiteral("INFO|INFO 111: Update position"),
                               QStringLiteral("INFO|INFO 193: Time to enter new position")};
    EXPECT_EQ(reminders(), shown) << "no valid position";
    rig.session().SetPos(QStringLiteral("55 40 12 N 12 30 45 E"), QStringLiteral("90"), QStringLiteral("10:00"),
                         QStringLiteral("12"), true);
    ASSERT_TRUE(rig.session().Position().Valid);
    EXPECT_TRUE(reminders().isEmpty()) << "the GPS gives the position";
    rig.infoReply(QStringLiteral("INFO 450: No built-in GPS avaliable."));
    EXPECT_EQ(reminders(), shown) << "the transceiver has no GPS of its own";
    EXPECT_EQ(infoLogText().count("INFO 111: Update position"), 3) << "recorded every time";
}

// INFO and ERROR lines reach the run's one debug log, the one the forms server writes to as well.
TEST_F(InfoCodes, LinesReachTheDebugLog) {
    QFile debug(rig.path + QStringLiteral("DebugLog.txt"));
    ASSERT_TRUE(debug.open(QIODevice::WriteOnly)); // the debug log is written only when the file exists
    debug.close();
    rig.infoReply(QStringLiteral("INFO 40: Scanning for NCS\r\nERROR 123: Not logged in"));
    const QByteArray text = rig.file(QStringLiteral("DebugLog.txt"));
    EXPECT_TRUE(text.contains("INFO 40: Scanning for NCS")) << text.toStdString();
    EXPECT_TRUE(text.contains("ERROR 123: Not logged in")) << text.toStdString();
    EXPECT_EQ(&rig.runtime->context().debugLog(), &rig.runtime->terminal().debugLog());
}
