// The DNID list, the position-report programs and message reporting against the simulator: each change is
// sent, read back, and shows in what the module announces.
#include "app/runtime.h"
#include "config/clock.h"
#include "link/imain_form.h"
#include "mes_simulator.h"
#include "messaging/address_book.h"
#include "messaging/message_store.h"
#include "qt_test_app.h"
#include "reporting/reporting_module.h"
#include "status/session.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tessaro;

namespace {

// Answers every question with yes and keeps the message boxes.
class YesForm final : public NullMainForm {
public:
    QStringList boxes;
    QStringList questions;
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes << box.text;
        closed();
    }
    void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) override {
        questions << request.text;
        answer(true);
    }
};

struct ReportingRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    SystemClock clock;
    YesForm form;
    std::unique_ptr<sim::MesSimulator> simulator;
    std::unique_ptr<TessaroRuntime> runtime;
    QList<QList<DnidRecord>> lists;
    QList<ProgramListing> listings;
    QList<std::pair<int, std::array<QStringList, 4>>> choices;
    QStringList statuses;
    QList<MessageReportingSettings> settings;
    QList<ReportDestinations> destinations;

    ReportingRig() {
        RuntimeOptions o;
        o.dataPath = path;
        o.settingsFile = path + QStringLiteral("settings.ini");
        o.acceptDisclaimer = true;
        o.formsPort = 0;
        runtime = std::make_unique<TessaroRuntime>(o, clock);
        sim::SimOptions options;
        options.realTime = false;
        options.chunkDelayMs = 2;
        simulator = std::make_unique<sim::MesSimulator>(options);
        runtime->attach(form);
        CTerminal& t = runtime->terminal();
        t.timer(TerminalTimer::Timer1).setInterval(10);
        t.timer(TerminalTimer::Winsock).setInterval(50);
        t.timer(TerminalTimer::Timer2).setInterval(3600 * 1000);
        ReportingModule& m = module();
        QObject::connect(&m, &ReportingModule::dnidListReady, [this](const QList<DnidRecord>& r) { lists << r; });
        QObject::connect(&m, &ReportingModule::programsReady, [this](const ProgramListing& l, bool) { listings << l; });
        QObject::connect(&m, &ReportingModule::dnidChoicesReady,
                         [this](int slot, const std::array<QStringList, 4>& c) { choices << std::make_pair(slot, c); });
        QObject::connect(&m, &ReportingModule::programStatusReady,
                         [this](int, const QString& text) { statuses << text; });
        QObject::connect(&m, &ReportingModule::messageReportingReady,
                         [this](const MessageReportingSettings& s, const ReportDestinations& d) {
                             settings << s;
                             destinations << d;
                         });
    }
    ~ReportingRig() {
        runtime.reset();
        simulator.reset();
    }
    ReportingModule& module() { return runtime->reporting(); }
    bool idle() {
        CommandEngine& e = runtime->terminal().engine();
        return e.queue().isEmpty() && e.EngineState() == 0;
    }
    bool start() {
        if (!simulator->listen())
            return false;
        runtime->setTerminalOptions({QStringLiteral("127.0.0.1:%1").arg(simulator->serverPort()), {}, false});
        return runtime->start().ok && settle();
    }
    bool settle() {
        return QTest::qWaitFor([this] { return runtime->session().MesConnected() && idle(); }, 8000);
    }
};

} // namespace

TEST(ReportingAgainstSimulator, DnidIsDisabledAndEnabled) {
    ReportingRig rig;
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.module().OpenDnidList());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.lists.size(), 1);
    const QList<DnidRecord> first = rig.lists.at(0);
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first.at(0).Provider, QStringLiteral("Fleet Tracking & Co"));
    EXPECT_TRUE(first.at(0).enabled());
    EXPECT_FALSE(first.at(1).enabled());

    EXPECT_EQ(rig.module().ApplyDnidChanges({false, true}), 2);
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(rig.module().OpenDnidList());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.lists.size(), 2);
    EXPECT_FALSE(rig.lists.at(1).at(0).enabled());
    EXPECT_TRUE(rig.lists.at(1).at(1).enabled());
}

TEST(ReportingAgainstSimulator, ProgramIsDefinedStartedStoppedAndDeleted) {
    ReportingRig rig;
    ASSERT_TRUE(rig.start());
    rig.module().OpenPrograms();
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.listings.size(), 1);
    EXPECT_EQ(rig.listings.last().slots[0].PrgType, QStringLiteral("2"));
    EXPECT_EQ(rig.listings.last().slots[1].PrgType, QStringLiteral("3"));
    EXPECT_EQ(rig.listings.last().slots[2].PrgType, QStringLiteral("1"));

    ASSERT_TRUE(rig.module().NewProgram());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.choices.size(), 1);
    EXPECT_EQ(rig.choices.at(0).first, 2);
    const std::array<QStringList, 4> c = rig.choices.at(0).second;
    ASSERT_EQ(c[1].size(), 1);
    ASSERT_EQ(c[2].size(), 1);

    ProgramDefinition d;
    d.choices[1] = c[1].at(0);
    d.choices[2] = c[2].at(0);
    d.intervalHour = QStringLiteral("1");
    ASSERT_TRUE(rig.module().SaveProgram(2, d));
    ASSERT_TRUE(rig.settle());
    ProgramSlot slot = rig.listings.last().slots[2];
    EXPECT_EQ(slot.PrgType, QStringLiteral("2"));
    EXPECT_EQ(slot.PrgStatus, QStringLiteral("2")); // a 00:00 start starts it at once
    ASSERT_TRUE(slot.connections[1].has_value());
    EXPECT_EQ(slot.connections[1]->les, QStringLiteral("102"));
    ASSERT_TRUE(slot.connections[2].has_value());
    EXPECT_EQ(slot.connections[2]->les, QStringLiteral("212"));
    EXPECT_EQ(slot.buttons, (SlotButtons{false, false, true, true}));

    ASSERT_TRUE(rig.module().ProgramStatus(2));
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.statuses.size(), 1);
    EXPECT_TRUE(rig.statuses.at(0).contains(QStringLiteral("417"))) << rig.statuses.at(0).toStdString();

    ASSERT_TRUE(rig.module().StopProgram(2));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.listings.last().slots[2].PrgStatus, QStringLiteral("3"));
    ASSERT_TRUE(rig.module().StartProgram(2));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.listings.last().slots[2].PrgStatus, QStringLiteral("2"));
    rig.module().DeleteProgram(2);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.form.questions, QStringList{QStringLiteral("Do you want to delete Program 3?")});
    EXPECT_EQ(rig.listings.last().slots[2].PrgType, QStringLiteral("1"));
    EXPECT_FALSE(rig.listings.last().slots[2].connections[1].has_value());
}

TEST(ReportingAgainstSimulator, MessageReportingIsReadAndWrittenBack) {
    ReportingRig rig;
    const QString folder = StoreFolderPath(rig.runtime->config(), kAddressBookKey);
    QDir().mkpath(folder);
    ASSERT_TRUE(SaveAddressBook(folder, {{QStringLiteral("Office"), 0, 1, QStringLiteral("a@b.c"), {}},
                                         {QStringLiteral("Fleet"), 6, 1, QStringLiteral("12345"), QStringLiteral("7")},
                                         {QStringLiteral("Shore fax"), 2, 0, QStringLiteral("004755512"), {}}}));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.module().OpenMessageReporting());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.settings.size(), 1);
    MessageReportingSettings s = rig.settings.at(0);
    EXPECT_TRUE(s.function);
    EXPECT_EQ(s.hour, QStringLiteral("12"));
    EXPECT_EQ(rig.destinations.at(0).names, (QStringList{QStringLiteral("Fleet"), QStringLiteral("Shore fax")}));
    EXPECT_EQ(rig.destinations.at(0).selected, 0);

    s.hour = QStringLiteral("6,18");
    s.minute = QStringLiteral("30");
    s.function = false;
    ASSERT_TRUE(rig.module().ApplyMessageReporting(s, QStringLiteral("Shore fax")));
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(rig.module().OpenMessageReporting());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.settings.size(), 2);
    const MessageReportingSettings back = rig.settings.at(1);
    EXPECT_EQ(back.hour, QStringLiteral("6,18"));
    EXPECT_EQ(back.minute, QStringLiteral("30"));
    EXPECT_FALSE(back.function);
    EXPECT_EQ(back.destinationAddress, QStringLiteral("4755512"));
    EXPECT_EQ(back.destinationType, QStringLiteral("1"));
    EXPECT_EQ(rig.destinations.at(1).selected, 1);
}
