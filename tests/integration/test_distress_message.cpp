// A message written in the distress editor goes to the transceiver with its priority switch and is kept in
// the outbox as a distress message to the rescue centre; an ordinary message beside it does not get the switch.
#include "integration_rig.h"

#include "messaging/distress_message.h"
#include "messaging/message_submission.h"
#include "messaging/out_idx.h"
#include "messaging/outbox.h"

using namespace tessaro;
using namespace tessaro::test;

TEST(DistressMessageIntegration, DistressPriorityMessageCarriesThePrioritySwitchAndGoesToTheRescueCentre) {
    IntegrationRig rig;
    ASSERT_TRUE(rig.start());
    // The status poll tells the ocean region the unit is logged in to.
    rig.poll();
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.session.CurrentOcean(), 1) << "the simulator logs in to East Atlantic, default LES 102";
    rig.sim(QStringLiteral("clear-lines"));

    const struct {
        const char* name;
        Recipient recipient;
        int priority;
        const char* txOptions; // after "tx " + file name
        const char* destination;
        const char* typeAndBits;
    } cases[] = {
        {"routine telex",
         {FieldTo, Telex, QStringLiteral("+4712345678")},
         0,
         " -c 102 -s 0 -t 0 -l 0 -n",
         "4712345678",
         "Telex 7 Bit"},
        {"distress editor", DistressRecipient(), kDistressPriority, " -c 102 -s 0 -t 0 -l 0 -a -n", "MRCC",
         "Distress message"},
    };
    for (const auto& c : cases) {
        OutgoingMessage message;
        message.recipients = {c.recipient};
        message.body = QStringLiteral("Fire in engine room, 12 persons on board.\r\n");
        SendingOptions options;
        options.priority = quint8(c.priority);
        const QVector<SubmissionStep> steps = SubmitMessage(rig.config, rig.messaging(), rig.clock, message, options);
        ASSERT_EQ(steps.size(), 1) << c.name;
        ASSERT_TRUE(steps[0].failure.isEmpty()) << c.name << ": " << steps[0].failure.toStdString();
        ASSERT_TRUE(rig.settle()) << c.name;

        const QString name = steps[0].outFileName;
        const QStringList lines = rig.simLines(QStringLiteral("lines"));
        const QStringList tx = lines.filter(QStringLiteral("L tx ") + name);
        ASSERT_EQ(tx.size(), 1) << c.name << ": " << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(tx[0], QStringLiteral("L tx ") + name + QLatin1String(c.txOptions)) << c.name;

        const QStringList outLines = rig.outIdxLines().filter(name);
        ASSERT_EQ(outLines.size(), 1) << c.name;
        const QStringList fields = outLines[0].split(QLatin1Char(';'));
        EXPECT_EQ(fields.value(OutIdx::Destination), QLatin1String(c.destination)) << c.name;
        EXPECT_EQ(fields.value(OutIdx::TypeAndBits), QLatin1String(c.typeAndBits)) << c.name;
    }
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(QLatin1Char('|')).toStdString();
}

TEST(DistressMessageIntegration, OnlySafetyAndDistressSetThePrioritySwitch) {
    const struct {
        int priority;
        quint8 transmission;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {kDistressPriority, 1}, {-1, 0}, {4, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TransmissionPriority(c.priority), c.transmission) << c.priority;
}
