// The routing table and printer variable: the reply parsers, the commands OK sends, and the service that
// reads them when the dialog opens and writes the operator's choice and folders back.
#include "messaging/routing.h"
#include "messaging/routing_service.h"

#include "config/configuration.h"
#include "link/in_memory_link.h"
#include "link/terminal.h"
#include "messaging/message_store.h"
#include "qt_test_app.h"
#include "status/identity.h"
#include "status/module_context.h"
#include "status/session.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {

QString Row(int routingClass, int value) {
    return QStringLiteral("%1 : ").arg(routingClass) + RoutingCaption(routingClass).leftJustified(31) +
           QStringLiteral("Routing:%1\r\n").arg(value, 3);
}

QString RoReply(const QList<std::pair<int, int>>& rows) {
    QString r = QStringLiteral("ro\r\nRouting Configuration\r\nValues: 1 Disk, 2 Local printer, 4 Remote printer\r\n");
    for (const auto& [c, v] : rows)
        r += Row(c, v);
    return r + QStringLiteral("Enter filenumber > ");
}

RoutingTable Table(std::initializer_list<std::pair<int, int>> values) {
    RoutingTable t;
    for (const auto& [c, v] : values)
        t.set(c, v);
    return t;
}

} // namespace

TEST(RoutingReply, ReadsEveryClassOfTheTable) {
    const RoutingTable t = ParseRoutingReply(RoReply({{10, 5}, {30, 1}, {31, 0}, {32, 3}, {33, 7}}), {});
    EXPECT_EQ(t, Table({{10, 5}, {30, 1}, {31, 0}, {32, 3}, {33, 7}}));
}

TEST(RoutingReply, MissingOrUnreadableValuesKeepWhatWasKnown) {
    const RoutingTable previous = Table({{10, 1}, {30, 1}, {31, 4}, {32, 3}, {33, 7}});
    struct Case {
        const char* name;
        QString reply;
        RoutingTable expected;
    };
    const QString cut =
        RoReply({{10, 2}, {30, 2}}).replace(QStringLiteral("Routing:  2\r\nEnter"), QStringLiteral("Enter"));
    const Case cases[] = {
        // No "31 :" label: FleetNET keeps its value while the others are read.
        {"no FleetNET row", RoReply({{10, 5}, {30, 0}, {32, 2}, {33, 6}}),
         Table({{10, 5}, {30, 0}, {31, 4}, {32, 2}, {33, 6}})},
        {"no Configuration header", QStringLiteral("ro\r\n") + Row(10, 7) + QStringLiteral("can0:/$ "), previous},
        {"empty reply", QString(), previous},
        // A row after "Enter filenumber >" is not part of the table.
        {"row after the question", RoReply({{10, 6}}) + QStringLiteral("\r\n") + Row(30, 6),
         Table({{10, 6}, {30, 1}, {31, 4}, {32, 3}, {33, 7}})},
        // The value field is blank where the table stops: no value, not 0.
        {"value cut off", cut, Table({{10, 2}, {30, 1}, {31, 4}, {32, 3}, {33, 7}})},
        {"label too close to the end", QStringLiteral("Configuration\r\n10 : Mail : 3"), previous},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseRoutingReply(c.reply, previous), c.expected) << c.name;
}

TEST(RoutingReply, ColonsInsideTheCaptionAreSkipped) {
    // The value is behind the first ":" at least 34 characters past the label, not the caption's own colons.
    const QString reply = QStringLiteral("Configuration\r\n10 : Mail: to disk: printer           : 6\r\n"
                                         "Enter filenumber > ");
    EXPECT_EQ(ParseRoutingReply(reply, {}).value(10), 6);
}

TEST(PrinterVariable, PrinterWordDecidesTheSetting) {
    struct Case {
        const char* reply;
        LocalPrinter expected;
    };
    const Case cases[] = {
        {"set -z\r\nFFEED=NO\r\nPRINTER=NO\r\ncan0:/$ ", LocalPrinter::PC},
        {"set -z\r\nprinter=off\r\ncan0:/$ ", LocalPrinter::Off},
        {"set -z\r\nPRINTER=YES\r\ncan0:/$ ", LocalPrinter::Modem},
        {"set -z\r\ncan0:/$ ", LocalPrinter::Modem},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalPrinterFromVariables(QString::fromLatin1(c.reply)), c.expected) << c.reply;
    for (int family = 0; family <= 5; ++family)
        EXPECT_EQ(FamilyReportsPrinterVariable(family), family != 4 && family != 5) << family;
}

TEST(RoutingCommands, EachValueWithOneLeadingBlankThenThePrinter) {
    const QStringList commands =
        RoutingCommands(Table({{10, 5}, {30, 1}, {31, 0}, {32, 3}, {33, 7}}), LocalPrinter::PC);
    EXPECT_EQ(commands, (QStringList{QStringLiteral("ro 10  5"), QStringLiteral("ro 30  1"), QStringLiteral("ro 31  0"),
                                     QStringLiteral("ro 32  3"), QStringLiteral("ro 33  7"),
                                     QStringLiteral("se -z PRINTER=NO")}));
    EXPECT_EQ(LocalPrinterCommand(LocalPrinter::Modem), QStringLiteral("se -z PRINTER=YES"));
    EXPECT_EQ(LocalPrinterCommand(LocalPrinter::Off), QStringLiteral("se -z PRINTER=OFF"));
    // A class never read is not cleared, and an unknown printer is not overwritten.
    EXPECT_EQ(RoutingCommands(Table({{31, 4}}), std::nullopt), QStringList{QStringLiteral("ro 31  4")});
}

namespace {

class BoxForm final : public NullMainForm {
public:
    QStringList boxes;
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes << box.text;
        closed();
    }
};

class RoutingServiceTest : public ::testing::Test {
protected:
    RoutingServiceTest()
        : config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini")),
          terminal(config, session, form, clock, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); }),
          info(terminal.infoLog(), terminal.notifier()), context(terminal, session, info) {
        service.attach(context);
    }
    int Route(const QString& reply) {
        return terminal.engine().router().route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ ")).handled;
    }
    QString Queue() { return terminal.engine().queue().text(); }
    void Connect(int family) {
        TransceiverIdentity id;
        id.ProductType = family;
        session.SetIdentity(id);
        session.SetMesConnected(true);
    }
    QStringList Boxes() {
        for (int i = 0; i < 20 && terminal.messageBoxes().size() > 0; ++i)
            terminal.messageBoxes().onMBoxTimer();
        return form.boxes;
    }

    QTemporaryDir dir;
    ManualClock clock;
    CConfiguration config;
    CSession session;
    BoxForm form;
    CTerminal terminal;
    CInfo info;
    ModuleContext context;
    RoutingService service;
};

} // namespace

TEST_F(RoutingServiceTest, OpeningQueuesBothReadsAsOneEntryOnlyWhenConnected) {
    EXPECT_FALSE(service.OpenRouting());
    EXPECT_TRUE(Queue().isEmpty());
    Connect(2);
    ASSERT_TRUE(service.OpenRouting());
    EXPECT_EQ(Queue(), QStringLiteral("set -z\r\nro\r\n"));
    service.OpenRouting(); // still waiting: nothing more
    EXPECT_EQ(Queue(), QStringLiteral("set -z\r\nro\r\n"));
    // The queue writes the entry as two command lines.
    EXPECT_EQ(terminal.engine().queue().takeLine(), QStringLiteral("set -z\r\n"));
    EXPECT_EQ(terminal.engine().queue().takeLine(), QStringLiteral("ro\r\n"));
}

TEST_F(RoutingServiceTest, RepliesReachTheSignalsAndThePrinterOnlyForOlderFamilies) {
    QSignalSpy routing(&service, &RoutingService::routingRead);
    QSignalSpy printer(&service, &RoutingService::localPrinterRead);
    Connect(5);
    EXPECT_EQ(Route(QStringLiteral("set -z\r\nPRINTER=NO\r\ncan0:/$ ")), 1);
    EXPECT_EQ(printer.count(), 0);
    EXPECT_FALSE(service.localPrinter().has_value());
    Connect(2);
    Route(QStringLiteral("set -z\r\nPRINTER=OFF\r\ncan0:/$ "));
    ASSERT_EQ(printer.count(), 1);
    EXPECT_EQ(service.localPrinter(), LocalPrinter::Off);

    EXPECT_EQ(Route(RoReply({{10, 3}, {31, 4}})), 1);
    ASSERT_EQ(routing.count(), 1);
    EXPECT_EQ(service.routing(), Table({{10, 3}, {31, 4}}));
    Route(RoReply({{10, 1}})); // FleetNET missing this time: kept
    EXPECT_EQ(service.routing(), Table({{10, 1}, {31, 4}}));
    // "ro N v" answers are not tables.
    EXPECT_EQ(Route(QStringLiteral("ro 10  3\r\nRouting of 10 set to 3\r\ncan0:/$ ")), 0);
}

TEST_F(RoutingServiceTest, OkQueuesTheBatchAndStoresTheFolders) {
    Connect(2);
    const QString inbox = dir.path() + QStringLiteral("/new inbox");
    const RoutingApplyResult r =
        service.ApplyRouting(Table({{10, 5}, {30, 1}, {31, 0}, {32, 3}, {33, 7}}), LocalPrinter::Modem,
                             {inbox, dir.path() + QStringLiteral("/sent/"), QString()});
    EXPECT_EQ(Queue(), QStringLiteral("ro 10  5\r\nro 30  1\r\nro 31  0\r\nro 32  3\r\nro 33  7\r\n"
                                      "se -z PRINTER=YES\r\n"));
    EXPECT_EQ(r.commands.size(), 6);
    EXPECT_TRUE(r.foldersSaved);
    EXPECT_EQ(Boxes().value(0), QStringLiteral("Saving Routing setting in Modem."));
    // Stored with the final "/", saved to the file, and the new folders made ready for the store at once.
    CConfiguration reread(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini"));
    EXPECT_EQ(reread.GetIni(QStringLiteral("[inbox]")), inbox + QLatin1Char('/'));
    EXPECT_EQ(reread.GetIni(QStringLiteral("[outbox]")), dir.path() + QStringLiteral("/sent/"));
    EXPECT_FALSE(reread.GetIni(QStringLiteral("[egc]")).isEmpty()); // an empty field keeps the folder
    EXPECT_TRUE(QDir(inbox).exists());
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/sent/OUT.IDX")));
}

TEST_F(RoutingServiceTest, WithoutTransceiverOnlyTheFoldersAreSaved) {
    const RoutingApplyResult r = service.ApplyRouting(Table({{10, 5}}), LocalPrinter::PC,
                                                      {dir.path() + QStringLiteral("/in2"), QString(), QString()});
    EXPECT_TRUE(r.commands.isEmpty());
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(config.GetIni(QStringLiteral("[inbox]")), dir.path() + QStringLiteral("/in2/"));
}
