// The set-up and the ENID list against the simulated transceiver over loopback TCP.
#include "config/configuration.h"
#include "egc/egc_setup_service.h"
#include "link/disclaimer.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "mes_unit.h"
#include "qt_test_app.h"
#include "status/module_context.h"
#include "status/session.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {

// The terminal with only the set-up service attached, so the test owns the one service that gets the replies.
struct SetupRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, false, path + QStringLiteral("settings.ini")};
    CSession session;
    SystemClock clock;
    NullMainForm form;
    std::unique_ptr<sim::MesSimulator> simulator;
    std::unique_ptr<CTerminal> terminal;
    std::unique_ptr<CInfo> info;
    std::unique_ptr<ModuleContext> context;
    EgcSetupService service;
    QList<EgcSetupValues> ready;
    QList<QList<EnidRecord>> lists;
    QStringList written;

    explicit SetupRig(const QString& model = QStringLiteral("larch-c")) {
        sim::SimOptions options;
        options.realTime = false;
        options.chunkDelayMs = 2;
        options.model = model;
        simulator = std::make_unique<sim::MesSimulator>(options);
        AcceptDisclaimer(config);
        terminal = std::make_unique<CTerminal>(config, session, form, clock);
        terminal->timer(TerminalTimer::Timer1).setInterval(10);
        terminal->timer(TerminalTimer::Winsock).setInterval(50);
        terminal->timer(TerminalTimer::Timer2).setInterval(3600 * 1000);
        info = std::make_unique<CInfo>(terminal->infoLog(), terminal->notifier());
        context = std::make_unique<ModuleContext>(*terminal, session, *info);
        service.attach(*context);
        QObject::connect(&service, &EgcSetupService::setupReady, [this](const EgcSetupValues& v) { ready << v; });
        QObject::connect(&service, &EgcSetupService::enidListReady, [this](const QList<EnidRecord>& r) { lists << r; });
        QObject::connect(&terminal->engine(), &CommandEngine::lineWritten,
                         [this](const QString& l) { written << l.trimmed(); });
    }
    ~SetupRig() {
        terminal.reset();
        simulator.reset();
    }
    bool start() {
        return simulator->listen() &&
               terminal->start({QStringLiteral("127.0.0.1:%1").arg(simulator->serverPort()), {}, false}).ok && settle();
    }
    bool idle() { return terminal->engine().queue().isEmpty() && terminal->engine().EngineState() == 0; }
    bool settle() {
        return QTest::qWaitFor(
            [this] {
                return terminal->lan().LanConnectState() == LanState::Linked && session.MesConnected() && idle();
            },
            8000);
    }
    std::optional<EgcSetupValues> readSetup() {
        const qsizetype before = ready.size();
        if (!service.OpenSetup() || !QTest::qWaitFor([&] { return ready.size() > before; }, 5000))
            return std::nullopt;
        return ready.last();
    }
    std::optional<QList<EnidRecord>> readEnids() {
        const qsizetype before = lists.size();
        if (!service.OpenEnidList() || !QTest::qWaitFor([&] { return lists.size() > before; }, 5000))
            return std::nullopt;
        return lists.last();
    }
};

TEST(EgcSetupSim, WhatOkWritesIsWhatTheNextOpeningReads) {
    SetupRig rig;
    ASSERT_TRUE(rig.start());
    const auto first = rig.readSetup();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->egcOnly, kSwitchOff);
    EXPECT_EQ(first->systemMessages, kSwitchOn);
    EXPECT_EQ(first->coastalAreas, QStringLiteral("A"));
    EXPECT_TRUE(first->support4ExtraNavAreas);
    EXPECT_TRUE(first->fixedPositionsSupported);
    EXPECT_FALSE(first->addNavarea);

    EgcSetupValues wanted = *first;
    wanted.egcOnly = kSwitchOn;
    wanted.safetyNet = kSwitchOff;
    wanted.addNavarea = true;
    wanted.navareas = {5, 0, 12, 21};
    wanted.coastalAreas = QStringLiteral("BCZ");
    wanted.subjects = {};
    wanted.subjects[1] = wanted.subjects[9] = true; // B and L
    wanted.fixedPositions = {};
    wanted.fixedPositions[0] = {QStringLiteral("55"), QStringLiteral("N"), QStringLiteral("12"), QStringLiteral("E")};
    wanted.fixedPositions[2] = {QStringLiteral("60"), QStringLiteral("S"), QStringLiteral("5"), QStringLiteral("W")};
    const EgcApplyResult applied = rig.service.ApplySetup(wanted);
    ASSERT_TRUE(applied.accepted && applied.sent);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.simulator->unit()->fixedPositions, QStringLiteral("55,N,12,E 60,S,5,W"));

    const auto back = rig.readSetup();
    ASSERT_TRUE(back.has_value());
    EgcSetupValues expected = wanted;
    expected.fixedPositions = {};
    expected.fixedPositions[0] = wanted.fixedPositions[0];
    expected.fixedPositions[1] = wanted.fixedPositions[2]; // stored as a list, read back in order
    EXPECT_EQ(*back, expected);

    // Unticking the NAVAREA box clears the areas whatever the boxes show.
    wanted.addNavarea = false;
    ASSERT_TRUE(rig.service.ApplySetup(wanted).sent);
    ASSERT_TRUE(rig.settle());
    const auto cleared = rig.readSetup();
    ASSERT_TRUE(cleared.has_value());
    EXPECT_FALSE(cleared->addNavarea);
    EXPECT_EQ(cleared->navareas, (std::array<int, 4>{0, 0, 0, 0}));
}

TEST(EgcSetupSim, OldUnitHasOneNavareaAndNoFixedPositions) {
    SetupRig rig(QStringLiteral("alder-ab"));
    ASSERT_TRUE(rig.start());
    rig.config.SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Fixed Positions"),
                                QStringLiteral(" 1,N,2,E"));
    const auto read = rig.readSetup();
    ASSERT_TRUE(read.has_value());
    EXPECT_FALSE(read->fixedPositionsSupported);
    EXPECT_FALSE(read->support4ExtraNavAreas);
    EXPECT_FALSE(rig.config.Support4ExtraNavAreas());

    EgcSetupValues wanted = *read;
    wanted.addNavarea = true;
    wanted.navareas = {7, 0, 0, 0};
    rig.written.clear();
    ASSERT_TRUE(rig.service.ApplySetup(wanted).sent);
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.written.contains(QStringLiteral("se -sn 7,0,0,0")));
    for (const QString& line : rig.written)
        EXPECT_FALSE(line.startsWith(QStringLiteral("fx"))) << "fx goes only to units that know it";
    EXPECT_EQ(rig.simulator->unit()->spareNavareas[0], 7);
    EXPECT_TRUE(rig.simulator->unit()->extraNavareas);
    // The list is kept even though it was not sent.
    EXPECT_EQ(rig.config.GetSettingValue(QStringLiteral("Config"), QStringLiteral("Fixed Positions")),
              QStringLiteral(" 1,N,2,E"));
}

TEST(EgcSetupSim, EnidDisabledAndReadBack) {
    SetupRig rig;
    ASSERT_TRUE(rig.start());
    const auto list = rig.readEnids();
    ASSERT_TRUE(list.has_value());
    ASSERT_GE(list->size(), 2);
    EXPECT_EQ(list->at(0), (EnidRecord{12345, QStringLiteral("Fleet Weather Services"), 1}));
    EXPECT_EQ(list->at(1).Enabled, 0);

    QList<bool> states;
    for (const EnidRecord& r : *list)
        states << (r.Enabled != 0);
    states[0] = false;
    EXPECT_EQ(rig.service.ApplyEnidChanges(states), 1);
    ASSERT_TRUE(rig.settle());
    const auto back = rig.readEnids();
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), list->size());
    EXPECT_EQ(back->at(0).Enabled, 0);
    for (qsizetype i = 1; i < back->size(); ++i)
        EXPECT_EQ(back->at(i), list->at(i));
}

} // namespace
