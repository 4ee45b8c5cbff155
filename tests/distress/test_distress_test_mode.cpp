#include "app/runtime_rig.h"

#include "config/configuration.h"
#include "distress/distress_module.h"
#include "distress/distress_test_service.h"
#include "distress/in_harbour_button.h"
#include "status/session.h"

#include <QFile>
#include <QTest>

using namespace tessaro;

namespace {

const QString kEnd = QStringLiteral("\r\n");
const QString kPrompt = QStringLiteral("can0:/$ ");

class TestMode : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.start().ok) << "every distress route is filled";
        service = &rig.runtime->distress().testMode();
        rig.session().SetMesConnected(true);
        QObject::connect(service, &DistressTestService::showWindowRequested, [this] { ++shown; });
        QObject::connect(service, &DistressTestService::hideWindowRequested, [this] { ++hidden; });
    }
    void reply(const QString& text) { rig.runtime->context().router().route(text, kEnd, kPrompt); }
    // Drives the machine from state 0 to the given state through its ordinary path.
    void reach(int state) {
        static const std::vector<int> kPath = {0, 1, 2};
        for (int k = 0; k < state; ++k)
            service->HandleEvent(kPath[size_t(k)]);
        ASSERT_EQ(service->GetState(), state);
        rig.terminal().engine().queue().clear();
        shown = hidden = 0;
    }
    QStringList boxes() {
        rig.drainBoxes();
        QStringList out;
        for (const MessageBoxRequest& b : rig.form.boxes)
            out << b.title + u'|' + b.text;
        rig.form.boxes.clear();
        return out;
    }

    test::RuntimeRig rig;
    DistressTestService* service = nullptr;
    int shown = 0;
    int hidden = 0;
};

} // namespace

TEST_F(TestMode, EveryStateAndEventOfTheTransitionTable) {
    struct Case {
        int state, event, next;
        QString queued;
        bool init, testMode, hide;
    };
    const QString on = QStringLiteral("se -q 0\r\n");
    const QString off = QStringLiteral("se -q 1\r\n");
    const std::vector<Case> cases = {
        {0, 0, 1, off, true, false, false}, {0, 1, 2, {}, false, true, false},  {0, 2, 0, {}, false, false, false},
        {0, 3, 0, {}, false, false, false}, {0, 4, 0, {}, false, false, false}, {1, 0, 1, {}, true, false, false},
        {1, 1, 2, {}, false, true, false},  {1, 2, 1, {}, true, false, false},  {1, 3, 0, {}, false, false, true},
        {1, 4, 3, on, true, false, false},  {2, 0, 2, {}, false, true, false},  {2, 1, 2, {}, false, true, false},
        {2, 2, 3, on, true, false, false},  {2, 3, 0, {}, false, false, true},  {2, 4, 3, on, true, false, false},
        {3, 0, 3, {}, true, false, false},  {3, 1, 2, {}, false, true, false},  {3, 2, 3, {}, true, false, false},
        {3, 3, 0, {}, false, false, true},  {3, 4, 0, {}, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " event " << c.event);
        service->HandleEvent(3); // back to 0 from wherever the last case ended
        service->HandleEvent(3);
        reach(c.state);
        std::vector<int> states;
        auto conn =
            QObject::connect(service, &DistressTestService::stateChanged, [&](int s, const QString& text, bool cancel) {
                states.push_back(s);
                EXPECT_EQ(text, TestModeStatusText(s));
                EXPECT_EQ(cancel, s == 2);
            });
        const bool onTopBefore = service->onTopTimer().isActive();
        service->HandleEvent(c.event);
        QObject::disconnect(conn);
        EXPECT_EQ(service->GetState(), c.next);
        EXPECT_EQ(rig.queue(), c.queued);
        EXPECT_EQ(service->initTimer().isActive(), c.init);
        EXPECT_EQ(service->testModeTimer().isActive(), c.testMode);
        if (c.init) {
            EXPECT_EQ(service->initTimer().interval(), 10000);
        }
        if (c.testMode) {
            EXPECT_EQ(service->testModeTimer().interval(), 60000);
        }
        // On in 2, off in 0, left as it was in 1 and 3.
        const bool onTop = c.next == 2 || ((c.next == 1 || c.next == 3) && onTopBefore);
        EXPECT_EQ(service->onTopTimer().isActive(), onTop);
        EXPECT_EQ(hidden, c.hide ? 1 : 0);
        EXPECT_EQ(states.size(), c.next == c.state ? 0u : 1u) << "the view hears of real changes only";
    }
}

TEST_F(TestMode, StatusTexts) {
    EXPECT_EQ(TestModeStatusText(0), QStringLiteral("Distress buttons test not running"));
    EXPECT_EQ(TestModeStatusText(1), QStringLiteral("Initiating the Distress buttons test"));
    EXPECT_EQ(TestModeStatusText(2), QStringLiteral("Distress buttons are under test.\r\nCancel the test mode if a "
                                                    "real Distress Alert needs to be sent."));
    EXPECT_EQ(TestModeStatusText(3), QStringLiteral("Cancelling the Distress buttons test"));
    EXPECT_EQ(TestModeStatusText(7), QStringLiteral("Unknown state"));
    EXPECT_EQ(TestModeStatusText(-1), QStringLiteral("Unknown state"));
}

TEST_F(TestMode, ARunningTestEndsByItselfAtTheTwentiethMinute) {
    ASSERT_TRUE(service->StartTest());
    EXPECT_EQ(rig.queue(), QStringLiteral("se -q 1\r\n"));
    EXPECT_EQ(shown, 1);
    rig.terminal().engine().queue().clear();
    service->HandleEvent(1);
    for (int minute = 1; minute < 20; ++minute) {
        rig.clock.advanceMs(60000);
        service->onTestModeTimer();
        ASSERT_EQ(service->GetState(), 2) << "minute " << minute;
        ASSERT_TRUE(rig.queue().isEmpty());
    }
    rig.clock.advanceMs(60000);
    service->onTestModeTimer();
    EXPECT_EQ(rig.queue(), QStringLiteral("se -q 0\r\n"));
    EXPECT_EQ(service->GetState(), 3);
    EXPECT_FALSE(service->testModeTimer().isActive());
    // The transceiver never confirms: another 10 s and the test counts as over.
    service->onInitTimer();
    EXPECT_EQ(service->GetState(), 0);
    EXPECT_EQ(hidden, 1);

    // A later test gets its full 20 minutes even after one was cancelled half-way.
    service->HandleEvent(0);
    service->HandleEvent(1);
    for (int k = 0; k < 10; ++k)
        service->onTestModeTimer();
    service->HandleEvent(2);
    service->HandleEvent(1); // "se -q 0" not taken: the test runs again
    for (int k = 0; k < 19; ++k)
        service->onTestModeTimer();
    EXPECT_EQ(service->GetState(), 2);
    EXPECT_EQ(service->testModeCountdown(), 1);
}

TEST_F(TestMode, StartNeedsTheTransceiver) {
    rig.session().SetMesConnected(false);
    EXPECT_FALSE(service->StartTest());
    EXPECT_EQ(service->GetState(), 0);
    EXPECT_TRUE(rig.queue().isEmpty());
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Info|Not connected to the transceiver.")}));
}

TEST_F(TestMode, ReplyRulesInOrder) {
    struct Case {
        int state;
        QString reply;
        int next;
        QStringList boxes;
        int shown;
    };
    const QString notImpl = QStringLiteral("Info|Distress Test Mode not supported");
    const QString illegal = QStringLiteral("Info|Distress test mode not supported");
    const std::vector<Case> cases = {
        // The plain poll on a unit without the test mode says nothing.
        {0, QStringLiteral("se -q\r\nse -q: Distress test mode NOT implemented\r\n"), 0, {}, 0},
        {2, QStringLiteral("se -q\r\nse -q: Distress test mode NOT implemented\r\n"), 2, {}, 0},
        {1, QStringLiteral("se -q 1\r\nse -q: Distress test mode NOT implemented\r\n"), 0, {notImpl}, 0},
        {0, QStringLiteral("se -q 0\r\nse -q: Distress test mode not implemented\r\n"), 0, {notImpl}, 0},
        // "NOT implemented" wins over the words that follow it.
        {1, QStringLiteral("se -q 1\r\nNOT implemented\r\nDistress functionality disabled\r\n"), 0, {notImpl}, 0},
        {0, QStringLiteral("se -q\r\nDistress functionality enabled\r\n"), 0, {}, 0},
        {3, QStringLiteral("se -q 0\r\nDistress functionality enabled\r\n"), 0, {}, 0},
        {2, QStringLiteral("se -q\r\nDistress functionality enabled\r\n"), 0, {}, 0},
        {1, QStringLiteral("se -q 1\r\nIllegal argument: 1\r\n"), 0, {illegal}, 0},
        {0, QStringLiteral("se -q 7\r\nIllegal argument: 7\r\n"), 0, {illegal}, 0},
        {1, QStringLiteral("se -q 1\r\nDistress functionality disabled\r\n"), 2, {}, 1},
        {3, QStringLiteral("se -q\r\nDistress functionality disabled\r\n"), 2, {}, 1},
        // A test started elsewhere is picked up by the poll.
        {0, QStringLiteral("se -q\r\nDISTRESS FUNCTIONALITY DISABLED\r\n"), 2, {}, 1},
        {2, QStringLiteral("se -q\r\nDistress functionality disabled\r\n"), 2, {}, 0},
        {2, QStringLiteral("se -q\r\nsomething else\r\n"), 2, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        service->HandleEvent(3);
        service->HandleEvent(3);
        reach(c.state);
        reply(c.reply + kPrompt);
        EXPECT_EQ(service->GetState(), c.next);
        EXPECT_EQ(boxes(), c.boxes);
        EXPECT_EQ(shown, c.shown);
    }
}

TEST_F(TestMode, InfoLinesAndTheLostLink) {
    service->StartTest();
    rig.infoReply(QStringLiteral("INFO 733: Distress functionality disabled for test"));
    EXPECT_EQ(service->GetState(), 2);
    rig.infoReply(QStringLiteral("INFO 803: Distress functionality enabled"));
    EXPECT_EQ(service->GetState(), 0);
    EXPECT_TRUE(boxes().isEmpty());

    service->StartTest();
    service->HandleEvent(1);
    rig.terminal().LinkLost();
    EXPECT_EQ(service->GetState(), 0);
    EXPECT_FALSE(service->testModeTimer().isActive());
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Info|The PC has lost connection to the mobile. Due to this the "
                                                   "message might not have been sent.")}));
    // Without a test nothing is said about it.
    rig.terminal().LinkLost();
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TestMode, OnTopTickOnlyWhileRunning) {
    int kept = 0;
    QObject::connect(service, &DistressTestService::keepWindowInView, [&] { ++kept; });
    service->onOnTopTimer();
    reach(2);
    EXPECT_EQ(service->onTopTimer().interval(), 5000);
    service->onOnTopTimer();
    service->onOnTopTimer();
    EXPECT_EQ(kept, 2);
}

TEST(LatestDistress, ValuesAndTheirMapping) {
    const QChar stx(2), etx(3);
    auto listing = [&](const QString& alert, const QString& test) {
        return QStringLiteral("st -a\r\nLatest Distress     : ") + stx + alert + etx +
               QStringLiteral("\r\nLatest Distress test: ") + stx + test + etx + QStringLiteral("\r\ncan0:/$ ");
    };
    struct Case {
        QString reply;
        LatestDistressValues raw, mapped;
    };
    const std::vector<Case> cases = {
        {listing(QStringLiteral("none"), QStringLiteral("none")),
         {QStringLiteral("none"), QStringLiteral("none")},
         {QStringLiteral("none"), QStringLiteral("none")}},
        {listing(QStringLiteral("accepted"), QStringLiteral("Accepted")),
         {QStringLiteral("accepted"), QStringLiteral("Accepted")},
         {QStringLiteral("received by MRCC"), QStringLiteral("successful")}},
        {listing(QStringLiteral("REJECTED "), QStringLiteral("rejected")),
         {QStringLiteral("REJECTED"), QStringLiteral("rejected")},
         {QStringLiteral("rejected"), QStringLiteral("rejected")}},
        {listing(QStringLiteral("pending"), QStringLiteral("in progress")),
         {QStringLiteral("pending"), QStringLiteral("in progress")},
         {QStringLiteral("pending"), QStringLiteral("in progress")}},
        // No ETX: both empty, and no CR or LF is ever kept.
        {QStringLiteral("st -a\r\nLatest Distress     : ") + stx +
             QStringLiteral("accepted\r\nLatest Distress test: ") + stx + QStringLiteral("none\r\n"),
         {},
         {}},
        // The alert's ETX is missing: the test's ETX on the next line does not end the alert's value.
        {QStringLiteral("st -a\r\nLatest Distress     : ") + stx +
             QStringLiteral("accepted\r\nLatest Distress test: ") + stx + QStringLiteral("none") + etx +
             QStringLiteral("\r\n"),
         {QString(), QStringLiteral("none")},
         {QString(), QStringLiteral("none")}},
        {QStringLiteral("st -a\r\nnothing\r\n"), {}, {}},
        {QStringLiteral("Latest Distress  "), {}, {}},
        {QString(), {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        const LatestDistressValues raw = ParseLatestDistress(c.reply);
        EXPECT_EQ(raw.alert, c.raw.alert);
        EXPECT_EQ(raw.test, c.raw.test);
        const LatestDistressValues mapped = MapLatestDistress(raw);
        EXPECT_EQ(mapped.alert, c.mapped.alert);
        EXPECT_EQ(mapped.test, c.mapped.test);
    }
}

TEST_F(TestMode, LatestDistressOnRequestOnly) {
    std::vector<LatestDistressValues> read;
    QObject::connect(service, &DistressTestService::latestDistressRead,
                     [&](const LatestDistressValues& v) { read.push_back(v); });
    const QString answer = QStringLiteral("st -a\r\nLatest Distress     : \x02"
                                          "accepted\x03\r\nLatest Distress test: \x02"
                                          "accepted\x03\r\n") +
                           kPrompt;
    reply(answer);
    EXPECT_TRUE(read.empty()) << "nobody asked";
    ASSERT_TRUE(service->RequestLatestDistress());
    EXPECT_EQ(rig.queue(), QStringLiteral("st -a\r\n"));
    EXPECT_FALSE(rig.form.waitTexts.last().isEmpty());
    reply(answer);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], (LatestDistressValues{QStringLiteral("received by MRCC"), QStringLiteral("successful")}));
    EXPECT_TRUE(rig.form.waitTexts.last().isEmpty());
    reply(answer);
    EXPECT_EQ(read.size(), 1u);

    // No answer: the wait window closes with a notice.
    service->setWaitTimeoutMs(1);
    service->RequestLatestDistress();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.form.waitTexts.last().isEmpty(); }, 2000));
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Info|The transceiver did not answer. Please try again.")}));
}

namespace {

// Records what reaches the port; fails on request.
struct FakePort final : IParallelPort {
    QStringList* log;
    bool openFails = false;
    explicit FakePort(QStringList* l) : log(l) {}
    bool open(const QString& device, QString* error) override {
        *log << QStringLiteral("open ") + device;
        if (openFails && error)
            *error = QStringLiteral("No such device");
        return !openFails;
    }
    bool writeData(quint8 value) override {
        *log << QStringLiteral("write %1").arg(value);
        return true;
    }
    void close() override { *log << QStringLiteral("close"); }
};

} // namespace

TEST_F(TestMode, InHarbourButtonPushesForFiveSeconds) {
    InHarbourService& button = rig.runtime->distress().inHarbour();
    QStringList log;
    auto port = std::make_unique<FakePort>(&log);
    FakePort* fake = port.get();
    button.setPort(std::move(port));

    // Not offered: nothing at all.
    EXPECT_FALSE(button.Press());
    EXPECT_TRUE(log.isEmpty());

    rig.runtime->config().SetIni(QStringLiteral("[InHarbourButton]"), QStringLiteral("1"));
    rig.session().SetPos(QStringLiteral("54 20 50 N 10 8 5 E"), QStringLiteral("275"), QStringLiteral("9:05"),
                         QStringLiteral("12"), true);
    ASSERT_TRUE(button.Press());
    EXPECT_EQ(log, QStringList({QStringLiteral("open /dev/parport0"), QStringLiteral("write 1")}));
    EXPECT_TRUE(button.releaseTimer().isActive());
    EXPECT_EQ(button.releaseTimer().interval(), 5000);
    const QString text = QStringLiteral("In Harbour Button pressed at position: '54 20.50 N 010 08.05 E'");
    EXPECT_EQ(rig.form.information.last(), text);
    EXPECT_TRUE(rig.form.statusLines.last().endsWith(QStringLiteral("INFO : ") + text));
    EXPECT_TRUE(QString::fromLatin1(rig.file(QStringLiteral("InfoLog.txt"))).contains(text));
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Info|") + text}));
    rig.clock.advanceMs(5000);
    button.onReleaseTimer();
    EXPECT_EQ(log.mid(2),
              QStringList({QStringLiteral("open /dev/parport0"), QStringLiteral("write 0"), QStringLiteral("close")}));
    EXPECT_FALSE(button.releaseTimer().isActive());

    // A configured device that cannot be opened: the text names it; the release is still tried.
    log.clear();
    fake->openFails = true;
    rig.runtime->config().SaveSettingValue(QLatin1String(kInHarbourDeviceSection), QLatin1String(kInHarbourDeviceKey),
                                           QStringLiteral("/dev/parport1"));
    rig.session().SetPos(QString(), QString(), QString(), QString(), false);
    ASSERT_TRUE(button.Press());
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("Info|Error pressing In Harbour Button at position: 'No position "
                                                   "available'.\r\nThe device /dev/parport1 might be missing or not "
                                                   "writable")}));
    button.onReleaseTimer();
    EXPECT_EQ(log, QStringList({QStringLiteral("open /dev/parport1"), QStringLiteral("open /dev/parport1"),
                                QStringLiteral("close")}));
}

TEST(InHarbourPort, MissingDeviceFailsWithAReason) {
    PpdevParallelPort port;
    QString error;
    EXPECT_FALSE(port.open(QStringLiteral("/nonexistent/parport9"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(port.writeData(1)) << "nothing is open";
    port.close();
}
