// The routing service against the simulated transceiver: open reads "set -z" and "ro", OK writes one class
// and the printer, and the next opening reads them back.
#include "integration_rig.h"

#include "mes_unit.h"
#include "messaging/lists_module.h"

#include <QSignalSpy>

using namespace tessaro;
using namespace tessaro::test;

TEST(RoutingAgainstSimulator, ReadChangeOneClassAndReadBack) {
    IntegrationRig rig;
    // An older family: its "set -z" reply tells the local printer.
    ASSERT_TRUE(rig.simulator->unit()->setModel(QStringLiteral("alder-ab")));
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(FamilyReportsPrinterVariable(rig.session.ProductType())) << rig.session.ProductType();
    RoutingService& routing = rig.runtime->lists().routing();
    QSignalSpy read(&routing, &RoutingService::routingRead);
    QSignalSpy printer(&routing, &RoutingService::localPrinterRead);

    ASSERT_TRUE(routing.OpenRouting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return read.count() == 1; }, 5000));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(printer.count(), 1);
    EXPECT_EQ(routing.localPrinter(), LocalPrinter::Modem); // the simulator starts with PRINTER=YES
    const auto& units = rig.simulator->unit()->routes;
    for (int routingClass : kRoutingClasses)
        EXPECT_EQ(routing.routing().value(routingClass), units.value(routingClass)) << routingClass;

    RoutingTable wanted = routing.routing();
    wanted.set(10, RouteDisk | RouteRemotePrinter);
    const RoutingApplyResult applied = routing.ApplyRouting(wanted, LocalPrinter::PC, routing.storeFolders());
    EXPECT_TRUE(applied.foldersSaved);
    EXPECT_EQ(applied.commands.value(0), QStringLiteral("ro 10  5"));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.simulator->unit()->routes.value(10), 5);
    EXPECT_EQ(rig.simulator->unit()->variables.value(QStringLiteral("PRINTER")), QStringLiteral("NO"));

    // Forget what was sent, so the values below can only come from the transceiver's own table.
    rig.simulator->unit()->routes[31] = 6;
    ASSERT_TRUE(routing.OpenRouting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return read.count() == 2; }, 5000));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(routing.routing().value(10), 5);
    EXPECT_EQ(routing.routing().value(31), 6);
    EXPECT_EQ(routing.localPrinter(), LocalPrinter::PC);
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(u'\n').toStdString();
}

TEST(RoutingAgainstSimulator, NewerFamilyLeavesThePrinterUnreadAndUnwritten) {
    IntegrationRig rig;
    ASSERT_TRUE(rig.start()); // a Larch unit
    ASSERT_FALSE(FamilyReportsPrinterVariable(rig.session.ProductType()));
    RoutingService& routing = rig.runtime->lists().routing();
    QSignalSpy read(&routing, &RoutingService::routingRead);
    ASSERT_TRUE(routing.OpenRouting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return read.count() == 1; }, 5000));
    ASSERT_TRUE(rig.settle());
    EXPECT_FALSE(routing.localPrinter().has_value());
    RoutingTable wanted = routing.routing();
    wanted.set(33, RouteDisk);
    routing.ApplyRouting(wanted, routing.localPrinter(), {});
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.simulator->unit()->routes.value(33), 1);
    EXPECT_EQ(rig.simulator->unit()->variables.value(QStringLiteral("PRINTER")), QStringLiteral("YES"));
    EXPECT_EQ(rig.countWritten(QStringLiteral("se -z")), 0);
}
