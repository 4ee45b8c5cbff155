#include "egc/egc_setup_service.h"

#include "config/configuration.h"
#include "link/in_memory_link.h"
#include "link/terminal.h"
#include "qt_test_app.h"
#include "status/module_context.h"
#include "status/session.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {

class WaitForm final : public NullMainForm {
public:
    QStringList waits;
    QStringList boxes;
    void setWaitWindow(const QString& text) override { waits << text; }
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes << box.text;
        closed();
    }
};

class EgcSetupServiceTest : public ::testing::Test {
protected:
    EgcSetupServiceTest()
        : config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini")),
          terminal(config, session, form, clock, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); }),
          info(terminal.infoLog(), terminal.notifier()), context(terminal, session, info) {
        service.attach(context);
        QObject::connect(&service, &EgcSetupService::setupReady, [this](const EgcSetupValues& v) { ready << v; });
        QObject::connect(&service, &EgcSetupService::enidListReady, [this](const QList<EnidRecord>& r) { lists << r; });
        QObject::connect(&service, &EgcSetupService::validationFailed,
                         [this](const FixedPositionError& e) { errors << e; });
    }
    int Route(const QString& reply) {
        return terminal.engine().router().route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ ")).handled;
    }
    QString Queue() { return terminal.engine().queue().text(); }
    void DrainBoxes() {
        for (int i = 0; i < 20 && terminal.messageBoxes().size() > 0; ++i)
            terminal.messageBoxes().onMBoxTimer();
    }
    QString StoredList() {
        return config.GetSettingValue(QStringLiteral("Config"), QStringLiteral("Fixed Positions"),
                                      QStringLiteral("<none>"));
    }
    QString ErrorLog() {
        QFile f(dir.path() + QStringLiteral("/ErrorLog.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    ManualClock clock;
    CConfiguration config;
    CSession session;
    WaitForm form;
    CTerminal terminal;
    CInfo info;
    ModuleContext context;
    EgcSetupService service;
    QList<EgcSetupValues> ready;
    QList<QList<EnidRecord>> lists;
    QList<FixedPositionError> errors;
};

const QString kSeReply = QStringLiteral("se\r\nEGC receiver settings\r\n"
                                        " -e (num)  value is 0                  EGC receiver only\r\n"
                                        " -a (num)  value is 1                  System messages\r\n"
                                        " -w (num)  value is 1                  SafetyNET\r\n"
                                        " -y (str)  value is ad                 Coastal warning subjects\r\n"
                                        "can0:/$ ");

TEST_F(EgcSetupServiceTest, WithoutTransceiverTheStoredValuesComeAtOnce) {
    config.SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Fixed Positions"), QStringLiteral(" 55,N,12,E"));
    config.SetSupport4ExtraNavAreas(true);
    ASSERT_TRUE(service.OpenSetup());
    ASSERT_EQ(ready.size(), 1);
    EXPECT_EQ(ready[0].fixedPositions[0],
              (FixedPositionRow{QStringLiteral("55"), QStringLiteral("N"), QStringLiteral("12"), QStringLiteral("E")}));
    EXPECT_TRUE(ready[0].support4ExtraNavAreas);
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_TRUE(form.waits.isEmpty());
    EXPECT_FALSE(service.setupPending());
}

TEST_F(EgcSetupServiceTest, ReadsTheSettingsAndOpensAfterTheNavareaReply) {
    config.SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Fixed Positions"), QStringLiteral(" 55,N,12,E "));
    session.SetMesConnected(true);
    ASSERT_TRUE(service.OpenSetup());
    EXPECT_EQ(Queue(), QStringLiteral("fx 55,N,12,E\r\nse\r\nse -x\r\nse -sn\r\n"));
    ASSERT_EQ(form.waits.size(), 1);
    EXPECT_FALSE(form.waits[0].isEmpty());
    EXPECT_FALSE(service.OpenSetup()) << "a second read while the first waits";

    EXPECT_EQ(Route(QStringLiteral("fx 55,N,12,E\r\nERROR 120: Unknown command\r\ncan0:/$ ")), 1);
    EXPECT_EQ(Route(kSeReply), 1);
    EXPECT_EQ(Route(QStringLiteral("se -x\r\n -x (str)  value is BC\r\ncan0:/$ ")), 1);
    // "se -e" alone is answered with the same switch line; a waiting read takes it.
    EXPECT_EQ(Route(QStringLiteral("se -e\r\n -e (num)  value is 1   EGC receiver only\r\ncan0:/$ ")), 1);
    EXPECT_TRUE(ready.isEmpty()) << "the window waits for the last reply";
    EXPECT_EQ(Route(QStringLiteral("se -sn\r\nSpare Navareas: 5\r\nNone\r\n12\r\nNone\r\ncan0:/$ ")), 1);

    ASSERT_EQ(ready.size(), 1);
    const EgcSetupValues& v = ready[0];
    EXPECT_EQ(v.egcOnly, kSwitchOn);
    EXPECT_EQ(v.systemMessages, kSwitchOn);
    EXPECT_EQ(v.safetyNet, kSwitchOn);
    EXPECT_TRUE(v.subjects[0] && v.subjects[3]);
    EXPECT_EQ(v.coastalAreas, QStringLiteral("BC"));
    EXPECT_TRUE(v.addNavarea);
    EXPECT_EQ(v.navareas, (std::array<int, 4>{5, 0, 12, 0}));
    EXPECT_TRUE(v.support4ExtraNavAreas);
    EXPECT_FALSE(v.fixedPositionsSupported);
    EXPECT_FALSE(service.FixedPositionsSupported());
    EXPECT_EQ(v.fixedPositions[0].latDegrees, QStringLiteral("55"));
    EXPECT_TRUE(config.Support4ExtraNavAreas());
    EXPECT_TRUE(form.waits.last().isEmpty()) << "the wait window closes";

    // A later reply nobody waits for opens nothing.
    Route(QStringLiteral("se -sn\r\n -sn (num)  value is 0\r\ncan0:/$ "));
    EXPECT_EQ(ready.size(), 1);
    EXPECT_FALSE(config.Support4ExtraNavAreas());
}

TEST_F(EgcSetupServiceTest, OkValidatesQueuesAndStoresTheList) {
    EgcSetupValues v;
    v.fixedPositions[1] = {QStringLiteral("91"), QStringLiteral("N"), QStringLiteral("5"), QStringLiteral("E")};
    session.SetMesConnected(true);
    EgcApplyResult r = service.ApplySetup(v);
    EXPECT_FALSE(r.accepted);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].row, 1);
    EXPECT_EQ(errors[0].title, QStringLiteral("Validation error"));
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(StoredList(), QStringLiteral("<none>"));

    v.fixedPositions[1].latDegrees = QStringLiteral("60");
    r = service.ApplySetup(v);
    EXPECT_TRUE(r.accepted && r.sent);
    EXPECT_EQ(Queue(), EgcSetupCommands(v).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    EXPECT_TRUE(Queue().endsWith(QStringLiteral("fx 60,N,5,E\r\n")));
    EXPECT_EQ(StoredList(), QStringLiteral(" 60,N,5,E"));

    // Without a transceiver nothing is sent, but the list is kept for the next time.
    terminal.engine().queue().clear();
    session.SetMesConnected(false);
    v.fixedPositions[0] = {QStringLiteral("1"), QStringLiteral("S"), QStringLiteral("2"), QStringLiteral("W")};
    r = service.ApplySetup(v);
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.sent);
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(StoredList(), QStringLiteral(" 1,S,2,W 60,N,5,E"));
}

TEST_F(EgcSetupServiceTest, AnUnansweredReadEndsWithANotice) {
    session.SetMesConnected(true);
    service.setWaitTimeoutMs(5);
    ASSERT_TRUE(service.OpenSetup());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !service.setupPending(); }, 2000));
    DrainBoxes();
    EXPECT_EQ(form.boxes, QStringList{QStringLiteral("The transceiver did not answer. Please try again.")});
    EXPECT_TRUE(form.waits.last().isEmpty());
    Route(QStringLiteral("se -sn\r\nSpare Navareas: 5\r\ncan0:/$ "));
    EXPECT_TRUE(ready.isEmpty()) << "a reply after the time-out opens nothing";
    EXPECT_TRUE(service.OpenSetup()) << "the operator can try again";
}

TEST_F(EgcSetupServiceTest, ALostLinkEndsTheWait) {
    session.SetMesConnected(true);
    ASSERT_TRUE(service.OpenEnidList());
    ASSERT_TRUE(service.enidPending());
    terminal.LinkLost();
    DrainBoxes();
    EXPECT_FALSE(service.enidPending());
    EXPECT_TRUE(form.waits.last().isEmpty());
    EXPECT_EQ(form.boxes, QStringList{QStringLiteral("Not connected to the transceiver.")});
}

TEST_F(EgcSetupServiceTest, EnidListReadAndChangesSent) {
    EXPECT_FALSE(service.OpenEnidList());
    DrainBoxes();
    EXPECT_EQ(form.boxes.size(), 1);
    EXPECT_TRUE(Queue().isEmpty());

    session.SetMesConnected(true);
    ASSERT_TRUE(service.OpenEnidList());
    EXPECT_EQ(Queue(), QStringLiteral("st -g\r\n"));
    terminal.engine().queue().clear();
    const QString stx(QChar(2)), etx(QChar(3));
    const QString reply = QStringLiteral("st -g\r\nEGC Network ID list\r\n") + stx + QStringLiteral("P&O") + etx +
                          u' ' + stx + QStringLiteral("1234") + etx + QStringLiteral("\r\n") + stx +
                          QStringLiteral("Broken") + QStringLiteral("\r\n") + stx + QStringLiteral("B") + etx + u' ' +
                          stx + QStringLiteral("23456") + etx + QStringLiteral(" disabled\r\ncan0:/$ ");
    EXPECT_EQ(Route(reply), 1);
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(lists[0], (QList<EnidRecord>{{1234, QStringLiteral("P&O"), 1}, {23456, QStringLiteral("B"), 0}}));
    EXPECT_TRUE(ErrorLog().contains(QStringLiteral("ENID.SaveData: <ETX> missing in line")));
    EXPECT_TRUE(form.waits.last().isEmpty());

    EXPECT_EQ(service.ApplyEnidChanges({false, false}), 1);
    EXPECT_EQ(Queue(), QStringLiteral("st -g d1234\r\n"));
    EXPECT_EQ(service.ApplyEnidChanges({true, false}), 0);

    // A listing typed by hand updates the list but opens no window.
    Route(QStringLiteral("st -g\r\nEGC Network ID list\r\ncan0:/$ "));
    EXPECT_EQ(lists.size(), 1);
    EXPECT_EQ(service.enids().count(), 0);
}

} // namespace
