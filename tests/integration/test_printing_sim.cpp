// Printing on the transceiver's printer against the simulator: the printer set-up, the transfer of the text
// and the print command, exactly as the transceiver receives them.
#include "integration_rig.h"

#include "messaging/printing.h"

using namespace tessaro;
using namespace tessaro::test;

namespace {

// What the transceiver received since the last clear: "L " + command line, or "B " + upload body.
QStringList received(IntegrationRig& rig) {
    QStringList out;
    for (const sim::ReceivedItem& item : rig.simulator->unit()->received())
        out << (item.isBody ? QStringLiteral("B ") : QStringLiteral("L ")) + QString::fromLatin1(item.data);
    return out;
}

TEST(PrintingOnTheTransceiver, FirstPrintSendsTheSetUpAndTheTextLaterPrintsOnlyTheText) {
    IntegrationRig rig;
    sim::SimOptions options;
    options.realTime = false;
    options.chunkDelayMs = 2;
    options.model = QStringLiteral("birch-c"); // a family that drives a printer of its own
    rig.simulator = std::make_unique<sim::MesSimulator>(options);
    rig.config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("UseMesPrinter"), QStringLiteral("1"));
    rig.config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("PageLines"), QStringLiteral("150"));
    ASSERT_TRUE(rig.start());
    rig.poll();
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.session.ProductType(), 2) << "the identity reply names the Birch family";
    rig.simulator->unit()->clearReceived();

    const QString text = QStringLiteral("Noon position\r\n55N 012E \u00e9t\u00e9");
    QStringList printed;
    QObject::connect(&rig.runtime->printing(), &PrintingModule::transceiverPrintDone,
                     [&](const QString& reply) { printed << reply; });
    rig.runtime->printing().Print(text);
    ASSERT_TRUE(rig.settle());
    const QStringList first = received(rig);
    EXPECT_EQ(first, (QStringList{QStringLiteral("L se -z PRINTER=YES"), QStringLiteral("L st -w"),
                                  QStringLiteral("L se -z FFEED=NO"), QStringLiteral("L st -w"),
                                  QStringLiteral("L se -z PLINES=99"), QStringLiteral("L st -w"),
                                  QStringLiteral("L se -z PRTYPEMAX=70"), QStringLiteral("L st -w"),
                                  QStringLiteral("L se -z PRTYPEREM=3"), QStringLiteral("L st -w"),
                                  QStringLiteral("L tr tessprnt.txt -b 27"), QStringLiteral("B ") + text,
                                  // The set-up batch ends in a line end of its own: one empty line follows.
                                  QStringLiteral("L print tessprnt.txt -d"), QStringLiteral("L ")}))
        << first.join(u'|').toStdString();
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].contains(QStringLiteral("Printing tessprnt.txt, 27 bytes"))) << printed[0].toStdString();
    EXPECT_FALSE(rig.runtime->printing().PrintPending());

    rig.simulator->unit()->clearReceived();
    rig.runtime->printing().Print(QStringLiteral("Second"));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(received(rig), (QStringList{QStringLiteral("L tr tessprnt.txt -b 6"), QStringLiteral("B Second"),
                                          QStringLiteral("L print tessprnt.txt -d")}));
    EXPECT_EQ(printed.size(), 2);
}

} // namespace
