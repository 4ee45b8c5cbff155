// The reporting module with an in-memory link: what each operation queues, what each reply makes the module
// announce, and what it refuses.
#include "reporting_replies.h"

#include "config/configuration.h"
#include "link/in_memory_link.h"
#include "link/terminal.h"
#include "messaging/address_book.h"
#include "messaging/message_store.h"
#include "qt_test_app.h"
#include "reporting/reporting_module.h"
#include "status/module_context.h"
#include "status/session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaro;
using namespace tessaro::test;

namespace {

class RecordingForm final : public NullMainForm {
public:
    QStringList waits;
    QStringList boxes;
    QStringList questions;
    bool answer = true;
    void setWaitWindow(const QString& text) override { waits << text; }
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes << box.title + QStringLiteral(": ") + box.text;
        closed();
    }
    void confirm(const ConfirmRequest& request, std::function<void(bool)> reply) override {
        questions << request.title + QStringLiteral(": ") + request.text;
        reply(answer);
    }
};

class ReportingModuleTest : public ::testing::Test {
protected:
    ReportingModuleTest()
        : config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini")),
          terminal(config, session, form, clock, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); }),
          info(terminal.infoLog(), terminal.notifier()), context(terminal, session, info), module(session) {
        context.attach(module);
        session.SetMesConnected(true);
        QObject::connect(&module, &ReportingModule::dnidListReady, [this](const QList<DnidRecord>& r) { lists << r; });
        QObject::connect(&module, &ReportingModule::programsReady,
                         [this](const ProgramListing& l, bool c) { listings << std::make_pair(l, c); });
        QObject::connect(&module, &ReportingModule::dnidChoicesReady,
                         [this](int slot, const std::array<QStringList, 4>& c) { choices << std::make_pair(slot, c); });
        QObject::connect(&module, &ReportingModule::programStatusReady,
                         [this](int slot, const QString& text) { statuses << QString::number(slot) + u'|' + text; });
        QObject::connect(&module, &ReportingModule::messageReportingReady,
                         [this](const MessageReportingSettings& s, const ReportDestinations& d) {
                             settings << s;
                             destinations << d;
                         });
        QObject::connect(&module, &ReportingModule::messageReportingUnsupported, [this] { ++unsupported; });
    }
    int Route(const QString& reply) {
        return terminal.engine().router().route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ ")).handled;
    }
    QStringList Queue() { return terminal.engine().queue().text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts); }
    void ClearQueue() {
        context.removeQueued([](QStringView) { return true; });
    }
    QStringList Boxes() {
        for (int i = 0; i < 20 && terminal.messageBoxes().size() > 0; ++i)
            terminal.messageBoxes().onMBoxTimer();
        return form.boxes;
    }
    QString ErrorLog() {
        QFile f(dir.path() + QStringLiteral("/ErrorLog.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    ManualClock clock;
    CConfiguration config;
    CSession session;
    RecordingForm form;
    CTerminal terminal;
    CInfo info;
    ModuleContext context;
    ReportingModule module;
    QList<QList<DnidRecord>> lists;
    QList<std::pair<ProgramListing, bool>> listings;
    QList<std::pair<int, std::array<QStringList, 4>>> choices;
    QStringList statuses;
    QList<MessageReportingSettings> settings;
    QList<ReportDestinations> destinations;
    int unsupported = 0;
};

} // namespace

TEST_F(ReportingModuleTest, DnidListIsReadLoggedAndChangedRowsAreSent) {
    ASSERT_TRUE(module.OpenDnidList());
    EXPECT_EQ(Queue(), QStringList{QStringLiteral("st -d")});
    EXPECT_EQ(module.DnidListPurpose(), 0);
    // Only the echo: the engine is told to keep receiving and nothing is parsed.
    const RouteOutcome echoOnly = terminal.engine().router().route(QStringLiteral("st -d\r\n"), QStringLiteral("\r\n"),
                                                                   QStringLiteral("can0:/$ "));
    EXPECT_TRUE(echoOnly.keepReceiving);
    EXPECT_TRUE(lists.isEmpty());

    EXPECT_EQ(Route(DnidReply()), 1);
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(lists.at(0).size(), 3);
    EXPECT_TRUE(form.waits.last().isEmpty());
    EXPECT_TRUE(ErrorLog().contains(QStringLiteral("  3 DNID(s) stored")));
    EXPECT_TRUE(ErrorLog().contains(QStringLiteral("Fleet Tracking & Co")));

    ClearQueue();
    EXPECT_EQ(module.ApplyDnidChanges({false, false, true}), 1);
    EXPECT_EQ(Queue(), QStringList{QStringLiteral("st -d D102,12345,7,0")});
    ClearQueue();
    session.SetMesConnected(false);
    EXPECT_EQ(module.ApplyDnidChanges({false, false, true}), -1);
    EXPECT_FALSE(module.OpenDnidList());
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(Boxes().size(), 2);
}

TEST_F(ReportingModuleTest, ProgramWindowOpensFromTheListingOnly) {
    module.OpenPrograms();
    EXPECT_EQ(Queue(), (QStringList{QStringLiteral("pg -d"), QStringLiteral("se -z posformat=pu")}));
    EXPECT_EQ(module.ListingPurpose(), 2);
    EXPECT_EQ(Route(ListingReply()), 1);
    ASSERT_EQ(listings.size(), 1);
    EXPECT_TRUE(listings.at(0).second);
    EXPECT_EQ(listings.at(0).first.slots[0].PrgStatus, QStringLiteral("2"));
    EXPECT_TRUE(form.waits.last().isEmpty());

    // Not supported: the error, and the wait window closes.
    module.OpenPrograms();
    Route(QStringLiteral("pg -d\r\nERROR 120: Unknown command\r\ncan0:/$ "));
    EXPECT_EQ(listings.size(), 1);
    EXPECT_TRUE(form.waits.last().isEmpty());
    EXPECT_TRUE(Boxes().contains(QStringLiteral("Error: Feature not supported")));

    // Without a transceiver the window opens at once, every button off.
    session.SetMesConnected(false);
    ClearQueue();
    module.OpenPrograms();
    ASSERT_EQ(listings.size(), 2);
    EXPECT_FALSE(listings.at(1).second);
    EXPECT_TRUE(Queue().isEmpty());
}

TEST_F(ReportingModuleTest, SlotButtonsQueueTheirCommandsAndRefuseRemotePrograms) {
    module.OpenPrograms();
    Route(ListingReply());
    ClearQueue();
    EXPECT_TRUE(module.StopProgram(0));
    EXPECT_EQ(Queue(),
              (QStringList{QStringLiteral("pg -s 0"), QStringLiteral("pg -d"), QStringLiteral("se -z posformat=pu")}));
    ClearQueue();
    EXPECT_TRUE(module.StartProgram(0));
    EXPECT_EQ(Queue().first(), QStringLiteral("pg -i 0,P"));
    ClearQueue();
    EXPECT_FALSE(module.StartProgram(1));
    EXPECT_FALSE(module.StopProgram(1));
    module.DeleteProgram(1);
    EXPECT_FALSE(module.StartProgram(2)); // closed: ignored
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(Boxes(), (QStringList{QStringLiteral("Info: You are not allowed to START a Remote Program!"),
                                    QStringLiteral("Info: You are not allowed to STOP a Remote Program!"),
                                    QStringLiteral("Info: You are not allowed to DELETE a Remote Program!")}));

    form.answer = false;
    module.DeleteProgram(0);
    EXPECT_TRUE(Queue().isEmpty());
    form.answer = true;
    module.DeleteProgram(0);
    EXPECT_EQ(form.questions.last(), QStringLiteral("Delete Confimation: Do you want to delete Program 1?"));
    EXPECT_EQ(Queue().first(), QStringLiteral("pg -c 0"));

    ClearQueue();
    EXPECT_TRUE(module.ProgramStatus(3));
    EXPECT_EQ(Queue(), QStringList{QStringLiteral("pg -d 3")});
    EXPECT_EQ(Route(QStringLiteral("pg -d 3\r\nProgram 4 status\r\ncan0:/$ ")), 1);
    EXPECT_EQ(statuses, QStringList{QStringLiteral("3|Program 4 status\r\n")});
}

TEST_F(ReportingModuleTest, NewProgramChoosesTheLowestFreeSlotAndSavesIt) {
    module.OpenPrograms();
    Route(ListingReply());
    ClearQueue();
    ASSERT_TRUE(module.NewProgram());
    EXPECT_EQ(module.DnidListPurpose(), 1);
    EXPECT_EQ(Queue(), QStringList{QStringLiteral("st -d")});
    Route(DnidReply());
    EXPECT_TRUE(lists.isEmpty()); // not the DNID window
    ASSERT_EQ(choices.size(), 1);
    EXPECT_EQ(choices.at(0).first, 2);
    EXPECT_EQ(choices.at(0).second[1].size(), 1);
    EXPECT_EQ(module.DnidListPurpose(), 0);

    ClearQueue();
    ProgramDefinition d;
    d.choices[1] = choices.at(0).second[1].at(0);
    d.intervalHour = QStringLiteral("1");
    ProgramDefinition checked;
    ASSERT_TRUE(module.SaveProgram(2, d, &checked));
    EXPECT_EQ(checked.intervalMinute, QStringLiteral("00"));
    EXPECT_EQ(Queue(), (QStringList{QStringLiteral("pg -o \"102,12345,007\""), QStringLiteral("pg -p 2,417"),
                                    QStringLiteral("pg -i 2,P"), QStringLiteral("pg -d"),
                                    QStringLiteral("se -z posformat=pu")}));
    EXPECT_TRUE(form.waits.contains(QStringLiteral("Saving PU Settings in Modem.")));

    // Nothing is sent without a DNID or without a transceiver.
    ClearQueue();
    EXPECT_FALSE(module.SaveProgram(2, ProgramDefinition{}));
    session.SetMesConnected(false);
    EXPECT_FALSE(module.SaveProgram(2, d));
    EXPECT_TRUE(Queue().isEmpty());
}

TEST_F(ReportingModuleTest, NewRefusesWhenEverySlotIsTaken) {
    module.OpenPrograms();
    QString full = ListingReply();
    full.replace(QStringLiteral("Closed    none"), QStringLiteral("PU-Local  PU[s]"));
    Route(full);
    ClearQueue();
    EXPECT_FALSE(module.NewProgram());
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes().at(0).contains(QStringLiteral("Delete a program")));
}

TEST_F(ReportingModuleTest, MessageReportingIsReadWithTheBookAndWrittenBack) {
    const QString folder = StoreFolderPath(config, kAddressBookKey);
    QDir().mkpath(folder);
    ASSERT_TRUE(
        SaveAddressBook(folder, {{QStringLiteral("Mail"), 0, 1, QStringLiteral("a@b.c"), {}},
                                 {QStringLiteral("Fleet"), 6, 2, QStringLiteral("12345"), QStringLiteral("7")}}));
    config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));

    ASSERT_TRUE(module.OpenMessageReporting());
    EXPECT_EQ(Queue(), QStringList{QStringLiteral("rs")});
    EXPECT_EQ(Route(RsReply()), 1);
    ASSERT_EQ(settings.size(), 1);
    EXPECT_EQ(destinations.at(0).names, QStringList{QStringLiteral("Fleet")});
    EXPECT_EQ(destinations.at(0).selected, 0);

    ClearQueue();
    ASSERT_TRUE(module.ApplyMessageReporting(settings.at(0), QStringLiteral("Fleet")));
    const QStringList q = Queue();
    ASSERT_EQ(q.size(), 5);
    EXPECT_EQ(q.at(4), QStringLiteral("rs -e 12345 -t 5 -l 7 -a 12345 -f 1 102 000 000 000"));
    ClearQueue();
    EXPECT_FALSE(module.ApplyMessageReporting(settings.at(0), QStringLiteral(" ")));
    EXPECT_TRUE(Queue().isEmpty());

    Route(QStringLiteral("rs\r\nINFO 999: Message reporting not supported\r\ncan0:/$ "));
    EXPECT_EQ(unsupported, 1);
    EXPECT_EQ(settings.size(), 1);
}
