// The LES lists against the simulator: the NCS list of the current ocean ("st -n") fills the available
// LESs, the services of one LES ("status -n") reach the window's signal, and a message goes out through
// the LES chosen from the list.
#include "integration_rig.h"

#include "messaging/les_list_service.h"
#include "messaging/lists_module.h"
#include "messaging/message_submission.h"
#include "messaging/messaging_module.h"

#include <QSignalSpy>

using namespace tessaro;
using namespace tessaro::test;

TEST(LesListsAgainstSimulator, NcsListAndServicesOfOneLes) {
    IntegrationRig rig;
    ASSERT_TRUE(rig.start());
    rig.poll();
    ASSERT_TRUE(rig.settle());
    const int ocean = rig.session.CurrentOcean();
    ASSERT_GE(ocean, 0);
    ASSERT_LE(ocean, 3);
    // The poll asks while the unit listens to the NCS; ask once more in case it had moved on.
    if (rig.config.AvailableLESs(ocean).isEmpty()) {
        rig.terminal->engine().QueueCommand(QStringLiteral("st -n"));
        ASSERT_TRUE(rig.settle());
    }
    const QStringList available = rig.config.AvailableLESs(ocean).split(u',');
    ASSERT_GE(available.size(), 2) << rig.config.AvailableLESs(ocean).toStdString();
    for (const QString& id : available)
        EXPECT_TRUE(IsLesOfOcean(id, ocean)) << id.toStdString();

    LesListService* service = rig.runtime->lists().lesLists();
    ASSERT_NE(service, nullptr);
    QSignalSpy ready(service, &LesListService::lesServicesReady);
    ASSERT_TRUE(service->requestLesServices(available[1]));
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(ready.size(), 1);
    const QString block = ready[0][1].toString();
    EXPECT_TRUE(block.startsWith(QStringLiteral("LES id ") + available[1])) << block.toStdString();
    EXPECT_FALSE(block.contains(QStringLiteral("LES id ") + available[0]));

    ASSERT_TRUE(service->requestLesServices(QStringLiteral("999")));
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(ready.size(), 2);
    EXPECT_EQ(ready[1][1].toString(), QStringLiteral("LES services not found"));
}

TEST(LesListsAgainstSimulator, MessageGoesThroughTheLesPickedFromTheList) {
    IntegrationRig rig;
    ASSERT_TRUE(rig.start());
    rig.poll();
    ASSERT_TRUE(rig.settle());
    const int ocean = rig.session.CurrentOcean();
    ASSERT_GE(ocean, 0);
    ASSERT_LE(ocean, 3);
    LesListService* service = rig.runtime->lists().lesLists();
    const QVector<LesTableEntry> offered = service->offeredLes(ocean);
    ASSERT_GE(offered.size(), 3);
    const QString picked = offered[2].id; // not the first, so a fallback would show
    service->setDefaultLes(ocean, picked);

    OutgoingMessage message;
    message.recipients = {{FieldTo, Telex, QStringLiteral("4312345")}};
    message.body = QStringLiteral("Through the chosen LES");
    const QVector<SubmissionStep> steps =
        SubmitMessage(rig.config, rig.runtime->messaging(), rig.clock, message, SendingOptions{});
    ASSERT_EQ(steps.size(), 1);
    EXPECT_TRUE(steps[0].failure.isEmpty()) << steps[0].failure.toStdString();
    ASSERT_TRUE(rig.settle(15000));
    QString tx;
    for (const QString& line : rig.written)
        if (line.startsWith(QStringLiteral("tx ")))
            tx = StripLineEnds(line);
    ASSERT_FALSE(tx.isEmpty());
    EXPECT_TRUE(tx.contains(QStringLiteral(" -c ") + picked)) << tx.toStdString();
}
