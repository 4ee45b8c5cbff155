// Messages waiting in the transceiver are fetched, stored, indexed and deleted, also when receptions come
// in short or the link drops in the middle of a download.
#include "integration_rig.h"

#include "messaging/inbox.h"

#include <QDir>
#include <QTimer>

using namespace tessaro;
using namespace tessaro::test;

namespace {
struct ReceiveRig : IntegrationRig {
    explicit ReceiveRig(int baud = 0) : IntegrationRig(baud) {}
    QStringList inIdx() {
        return QString::fromLatin1(readAll(messaging().inbox().inIdxPath()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QStringList inboxIdx() {
        return QString::fromLatin1(readAll(messaging().inbox().inboxIdxPath()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QStringList simMessages() {
        QStringList out;
        for (const QString& f : simLines(QStringLiteral("files")))
            if (f.contains(QLatin1String(" message ")))
                out << f.section(QLatin1Char(' '), 0, 0);
        return out;
    }
    QByteArray storedBody(const QStringList& inIdxPositions) {
        return readAll(messaging().inbox().folder() + inIdxPositions.value(InIdx::DiskFileName).trimmed());
    }
    // One poll, then until the download cycle has ended and every command is answered.
    bool downloadCycle(int ms = 10000) {
        poll();
        return QTest::qWaitFor([this] { return linkedUp() && idle() && !session.ProcessingMsgs(); }, ms);
    }
};
} // namespace

TEST(ReceivingIntegration, ThreeMessagesOfDifferentPrioritiesAreStoredIndexedAndDeleted) {
    ReceiveRig rig;
    ASSERT_TRUE(rig.start());
    struct Case {
        int priority;
        const char* text;
        const char* alert;
    };
    const Case cases[] = {{0, "Routine: crew change confirmed", nullptr},
                          {2, "Urgent: storm warning for your route", "URGENCY PRIORITY MESSAGE"},
                          {3, "Distress relay: vessel aground 55N 012E", "DISTRESS PRIORITY MESSAGE"}};
    for (const Case& c : cases)
        ASSERT_TRUE(rig.sim(QStringLiteral("message priority=%1 %2").arg(c.priority).arg(QLatin1String(c.text))));
    ASSERT_EQ(rig.simMessages().size(), 3);

    ASSERT_TRUE(rig.downloadCycle());
    const QStringList in = rig.inIdx();
    ASSERT_EQ(in.size(), 3) << in.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(rig.inboxIdx().size(), 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto line = std::find_if(in.begin(), in.end(), [&](const QString& l) {
            return rig.storedBody(l.split(QLatin1Char(':'))) == QByteArray(c.text);
        });
        ASSERT_NE(line, in.end()) << "the body is stored exactly, without the shell's header lines";
        const QStringList p = line->split(QLatin1Char(':'));
        EXPECT_EQ(Val(p[InIdx::Priority]), c.priority);
        EXPECT_EQ(p[InIdx::Read].trimmed(), QStringLiteral("No"));
        const QString modem = p[InIdx::ModemFileName].trimmed();
        EXPECT_EQ(rig.inboxIdx().filter(modem + InboxIdx::kLayout.separator).size(), 1);
        if (c.alert) {
            EXPECT_TRUE(rig.form.alerts.contains(QLatin1String(c.alert)));
        }
    }
    EXPECT_TRUE(rig.simMessages().isEmpty()) << "deleted in the transceiver once stored";
    EXPECT_EQ(rig.countWritten(QStringLiteral("delete IN.")), 3);

    // Nothing left: the next cycle lists, finds nothing and fetches nothing.
    const int fetches = rig.countWritten(QStringLiteral("ty IN."));
    ASSERT_TRUE(rig.downloadCycle());
    EXPECT_EQ(rig.countWritten(QStringLiteral("ty IN.")), fetches);
    EXPECT_EQ(rig.inIdx().size(), 3);
}

TEST(ReceivingIntegration, ShortReceptionIsRetriedTenTimesThenStoredWithTheNotice) {
    ReceiveRig rig;
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.sim(QStringLiteral("message size=600")));
    // Every fetch of the file comes in 40 bytes short.
    QObject::connect(&rig.terminal->engine(), &CommandEngine::lineWritten, [&rig](const QString& line) {
        if (line.startsWith(QLatin1String("ty IN.1 ")))
            rig.sim(QStringLiteral("short-ty 40"));
    });
    ASSERT_TRUE(rig.downloadCycle(20000));
    EXPECT_EQ(rig.countWritten(QStringLiteral("ty IN.1 -b -k")), 11) << "the first fetch and ten retries";
    const QString notice =
        QStringLiteral("The message 'IN.1' was attempted received 10 times, but was received with errors.");
    EXPECT_EQ(rig.form.information.count(notice), 1) << rig.form.information.join(QLatin1Char('\n')).toStdString();
    const QStringList in = rig.inIdx();
    ASSERT_EQ(in.size(), 1);
    EXPECT_EQ(rig.storedBody(in.first().split(QLatin1Char(':'))).size(), 560) << "stored as received";
    EXPECT_EQ(rig.inboxIdx().size(), 1);
    EXPECT_TRUE(rig.simMessages().isEmpty());

    // The counter starts again from nothing: a new message fetched whole on its first attempt.
    ASSERT_TRUE(rig.sim(QStringLiteral("message size=300")));
    const int before = rig.countWritten(QStringLiteral("ty IN."));
    ASSERT_TRUE(rig.downloadCycle());
    EXPECT_EQ(rig.countWritten(QStringLiteral("ty IN.")), before + 1);
    EXPECT_EQ(rig.inIdx().size(), 2);
}

TEST(ReceivingIntegration, LinkDroppedInTheMiddleOfADownloadLosesNothingAndStoresNothingTwice) {
    // At 115200 baud a body of 6000 bytes takes half a second on the line: time to cut it.
    ReceiveRig rig(115200);
    ASSERT_TRUE(rig.start());
    // The drop falls inside the second message's reply.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.sim(QStringLiteral("message priority=1 size=6000")));
    // Watched from a timer of its own: the event loop runs it between the engine's reads.
    bool dropped = false;
    QTimer watch;
    watch.setInterval(2);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString& buffer = rig.terminal->engine().ReceiveBuffer();
        if (!dropped && buffer.startsWith(QLatin1String("ty IN.2")) && buffer.size() > 600 &&
            !buffer.endsWith(QLatin1String("$ "))) {
            dropped = true;
            rig.sim(QStringLiteral("drop"));
        }
    });
    watch.start();
    rig.poll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dropped; }, 10000)) << rig.written.join(QLatin1Char('|')).toStdString();
    watch.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.session.MesConnected(); }, 5000));
    ASSERT_TRUE(rig.settle(10000));
    EXPECT_EQ(rig.inIdx().size(), 1) << "only the message fetched before the drop";
    EXPECT_FALSE(rig.form.boxes.join(QLatin1Char('|')).contains(QLatin1String("lost connection to the mobile")))
        << "nothing was being sent";

    // The next cycle completes the work: every message once in both indexes, none left in the transceiver.
    ASSERT_TRUE(rig.downloadCycle());
    const QStringList in = rig.inIdx();
    ASSERT_EQ(in.size(), 3) << in.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(rig.inboxIdx().size(), 3);
    QStringList modems;
    for (const QString& l : in) {
        const QStringList p = l.split(QLatin1Char(':'));
        modems << p[InIdx::ModemFileName].trimmed();
        EXPECT_EQ(rig.storedBody(p).size(), 6000);
    }
    modems.sort();
    EXPECT_EQ(modems, QStringList({QStringLiteral("IN.1"), QStringLiteral("IN.2"), QStringLiteral("IN.3")}));
    EXPECT_TRUE(rig.simMessages().isEmpty());
    EXPECT_EQ(QDir(rig.messaging().inbox().folder()).entryList({QStringLiteral("*.in")}, QDir::Files).size(), 3);
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(QLatin1Char('|')).toStdString();
}
