#include "fake_host.h"
#include "store_fixture.h"

#include "config/clock.h"
#include "config/logs.h"
#include "messaging/info_handler.h"
#include "messaging/outbox.h"

using namespace tessaro;
using tessaro::testing::FakeHost;
using tessaro::testing::StoreTest;

namespace {

const QString kPrompt = QStringLiteral("can0:/$ ");

QString stl(const QString& lines) {
    return QStringLiteral("st -l\r\nStatus ok\r\n") + lines + QStringLiteral("\r\n") + kPrompt;
}

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

class InfoHandling : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        out = std::make_unique<cOutBox>(*config);
        infoLog = std::make_unique<cInfoLog>(data(), clock);
        info = std::make_unique<CInfo>(*config, *out, host, *infoLog, nullptr);
        writeBytes(
            out->indexPath(),
            "13010301.out;4711;102;Telex 7 Bit;13-01-03;09:05; 5;<None>;Initiated;0;0;0;0;03;01;09;05;4711;;;A\r\n"
            "13010302.out;4712;102;Telex 7 Bit;13-01-03;09:06; 5;<None>;Initiated;1;0;0;0;03;01;09;06;4712;;;B\r\n");
    }
    QStringList line(int i) { return out->ReadIndex()[i]; }
    QByteArray infoLogText() { return readBytes(data() + QStringLiteral("InfoLog.txt")); }

    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(9, 5), Qt::UTC)};
    FakeHost host;
    std::unique_ptr<cOutBox> out;
    std::unique_ptr<cInfoLog> infoLog;
    std::unique_ptr<CInfo> info;
};

TEST_F(InfoHandling, DeliveryIsTrackedFromSendingToDelivered) {
    info->CheckInfos(stl(QStringLiteral("INFO 82: Message File OUT.001 being sent")), kPrompt);
    EXPECT_EQ(line(0)[OutPos::Reference], QStringLiteral("OUT.001"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Sending"));
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("Initiated"));
    info->CheckInfos(stl(QStringLiteral("INFO 82: Message File OUT.002 being sent")), kPrompt);

    info->CheckInfos(stl(QStringLiteral("INFO 81: Message delivered.\r\nReference number: 123456\r\nLES 102\r\n"
                                        "File OUT.001")),
                     kPrompt);
    EXPECT_EQ(line(0)[OutPos::Reference], QStringLiteral("123456"));
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Delivered"));
    // The second message asked for a confirmation.
    info->CheckInfos(stl(QStringLiteral("INFO 81: Message delivered.\r\nReference number: 777\r\nLES 102\r\n"
                                        "File OUT.002")),
                     kPrompt);
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("ConfReq"));
    EXPECT_TRUE(infoLogText().contains("INFO 81: Message delivered. Reference number: 777"));
    EXPECT_TRUE(host.boxes.empty()); // 81 and 82 are recorded, not shown
}

TEST_F(InfoHandling, FailureCodesAndRuleAFallback) {
    // No line is "Sending" under that file: the first waiting submission gets the report.
    info->CheckInfos(stl(QStringLiteral("INFO   80: Transmission failed.\r\nLES 102\r\nFile OUT.009")), kPrompt);
    EXPECT_EQ(line(0)[OutPos::Status], QStringLiteral("Failed"));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, QStringLiteral("INFO"));
    EXPECT_TRUE(host.boxes[0].text.startsWith(QStringLiteral("INFO 80: Transmission failed.")));

    out->UpdateOutBoxFile(QStringLiteral("13010302.out"), QStringLiteral("OUT.002"), QStringLiteral("Sending"), false);
    info->CheckInfos(stl(QStringLiteral("INFO 140: Negative delivery\r\nReference number: 55\r\nLES 102\r\n"
                                        "File OUT.002\r\nfailure code: 17")),
                     kPrompt);
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("Failed. Error code: '17'"));
    EXPECT_EQ(line(1)[OutPos::Reference], QStringLiteral("55"));
}

TEST_F(InfoHandling, RecordingRules) {
    info->CheckInfos(stl(QStringLiteral("INFO 393: TXLOG Updated")), kPrompt);
    EXPECT_TRUE(infoLogText().isEmpty());
    EXPECT_TRUE(host.information.isEmpty());

    const QString warning = stl(QStringLiteral("INFO 116: WARNING Test software. Inmarsat-C education version."));
    info->CheckInfos(warning, kPrompt);
    info->CheckInfos(warning, kPrompt);
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(infoLogText().count("INFO 116:"), 2);

    info->CheckInfos(stl(QStringLiteral("INFO x1: garbage")), kPrompt);
    EXPECT_TRUE(host.information.contains(QStringLiteral("Unknown info received from mobile")));
    info->CheckInfos(QStringLiteral("st -l\r\nINFO 40: never ends"), kPrompt);
    EXPECT_TRUE(infoLogText().contains("INFO 000: Unknown Info(s)"));
}

TEST_F(InfoHandling, QueuedCommandsByCode) {
    struct Case {
        const char* line;
        int family;
        QStringList queue;
    };
    const Case cases[] = {
        {"INFO 30: x", 0, {QStringLiteral("st -w")}},
        {"INFO 221: Synchronization successful", 0, {QStringLiteral("st -w")}},
        {"INFO 501: x", 0, {QStringLiteral("st -w")}},
        {"INFO 22: Sending Distress Alert", 5, {QStringLiteral("se -g"), QStringLiteral("se -m ALL_OCEANS")}},
        {"INFO 21: Distress Acknowledgement received", 0, {QStringLiteral("se -g")}},
        {"INFO 40: x", 0, {}},
    };
    for (const Case& c : cases) {
        host.queue.clear();
        host.productType = c.family;
        info->CheckInfos(stl(QLatin1String(c.line)), kPrompt);
        EXPECT_EQ(host.queue, c.queue) << c.line;
    }
    host.queue = QStringList({QStringLiteral("st -w")});
    info->CheckInfos(stl(QStringLiteral("INFO 60: x")), kPrompt);
    EXPECT_EQ(host.queue.size(), 1); // never twice
}

TEST_F(InfoHandling, DistressAndConfirmationSettlement) {
    QStringList alerts;
    info->distressAlert = [&](const QString& s) { alerts << s; };
    out->AddDistressAlert({QStringLiteral("Distress"), QStringLiteral("MRCC"), 0, QStringLiteral("Fire"),
                           QDateTime(QDate(2013, 1, 3), QTime(9, 5)), QStringLiteral("Sending")});
    info->CheckInfos(stl(QStringLiteral("INFO 21: Distress Acknowledgement received")), kPrompt);
    EXPECT_EQ(line(2)[OutPos::Status], QStringLiteral("Conf.Ok"));
    EXPECT_EQ(alerts, QStringList({QStringLiteral("Conf.Ok")}));

    config->SetIni(QStringLiteral("[ConfReq]"), QStringLiteral("13010302.out"));
    info->CheckInfos(stl(QStringLiteral("INFO 131: confirmation")), kPrompt);
    EXPECT_EQ(line(1)[OutPos::Status], QStringLiteral("ConfOk"));
    EXPECT_TRUE(config->GetIni(QStringLiteral("[ConfReq]")).isEmpty());
}

TEST_F(InfoHandling, IndicatorCountsUpAndDown) {
    QList<bool> states;
    info->indicator = [&](bool alarm) { states << alarm; };
    info->CheckInfos(stl(QStringLiteral("INFO 552: a\r\nINFO 552: b")), kPrompt);
    EXPECT_EQ(info->indicatorCount(), 2);
    info->CheckInfos(stl(QStringLiteral("INFO 81: x")), kPrompt);
    info->CheckInfos(stl(QStringLiteral("INFO 80: y")), kPrompt);
    EXPECT_EQ(states, QList<bool>({true, true, false}));
}

TEST_F(InfoHandling, ErrorLinesAreRecordedAndShown) {
    info->CheckErrors(stl(QStringLiteral("ERROR 105: Remote Printer not OK")), kPrompt);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, QStringLiteral("ERROR 105: Remote Printer not OK"));
    EXPECT_EQ(host.boxes[0].title, QStringLiteral("ERROR"));
    EXPECT_TRUE(infoLogText().contains("ERROR 105: Remote Printer not OK"));
    info->CheckErrors(stl(QStringLiteral("ERROR abc: what")), kPrompt);
    EXPECT_EQ(host.boxes.back().text, QStringLiteral("Unknown error received from mobile: what"));
}

} // namespace
