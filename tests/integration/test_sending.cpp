// A message sent as `tessaro --headless --send` sends it: through the transceiver's shell to its delivery
// report, and across a link that drops in the middle of the upload.
#include "integration_rig.h"

#include "app/headless_send.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"

#include <QRegularExpression>

using namespace tessaro;
using namespace tessaro::test;

namespace {
const QString kBody = QStringLiteral("Position 55N 012E, all well.\r\nETA Tuesday 0800 UTC.\r\n");

// Bytes in a body line of the simulator's "lines" report ("B " + the bytes with \r, \n, \\, \xNN escapes).
qsizetype bodyLength(const QString& line) {
    qsizetype n = 0;
    for (qsizetype i = 2; i < line.size(); ++i, ++n)
        if (line[i] == QLatin1Char('\\'))
            i += i + 1 < line.size() && line[i + 1] == QLatin1Char('x') ? 3 : 1;
    return n;
}

// The "tr" line the simulator received for a file, and its announced length; -1 when there is none.
qsizetype trLineAt(const QStringList& lines, const QString& out, qsizetype from, int* length) {
    const QString prefix = QStringLiteral("L tr %1 -b ").arg(out);
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (lines[i].startsWith(prefix)) {
            *length = lines[i].mid(prefix.size()).toInt();
            return i;
        }
    }
    return -1;
}

struct SendRig : IntegrationRig {
    QStringList printed;
    std::unique_ptr<HeadlessSender> sender;

    void send(int type, const QString& address, const QString& text) {
        SendRequest request;
        request.type = type;
        request.address = address;
        request.subject = QStringLiteral("Noon report");
        request.text = text;
        sender = std::make_unique<HeadlessSender>(
            *terminal, session, messaging(), request, [this](const QString& line) { printed << line; }, clock);
    }
    QStringList outLine() {
        const QStringList lines = outIdxLines();
        return lines.size() == 1 ? lines.first().split(QLatin1Char(';')) : QStringList();
    }
    QString outStatus() { return outLine().value(OutIdx::Status); }
    // Lets simulated time pass on the transceiver, then the poll asks "st -l" for what happened.
    bool advanceAndPoll(int seconds) {
        simulator->clock()->advance(qint64(seconds) * 1000);
        poll();
        return settle();
    }
};
} // namespace

TEST(SendingIntegration, MessageGoesThroughTrLsTxAndIsTrackedToDelivered) {
    SendRig rig;
    ASSERT_TRUE(rig.start());
    rig.sim(QStringLiteral("clear-lines"));
    rig.send(Telex, QStringLiteral("+4712345678"), kBody);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.sender->state() == HeadlessSender::State::Sent; }, 5000));
    EXPECT_EQ(rig.sender->resultCode(), int(SendResult::Done));
    const QString out = rig.sender->outFileName();
    ASSERT_FALSE(out.isEmpty());
    ASSERT_EQ(rig.printed.filter(QStringLiteral("Send: result")).value(0),
              QStringLiteral("Send: result 1000 (Message sent to the transceiver.), out file ") + out);
    EXPECT_EQ(rig.outStatus(), QStringLiteral("Initiated"));
    EXPECT_EQ(rig.outLine().value(OutIdx::Reference), QStringLiteral("<None>"));
    ASSERT_TRUE(rig.settle());

    // On the wire: "tr" with the exact length, the body byte for byte, the size check, the submission.
    const QStringList lines = rig.simLines(QStringLiteral("lines"));
    int length = 0;
    const qsizetype trAt = trLineAt(lines, out, 0, &length);
    ASSERT_GE(trAt, 0) << lines.join(QLatin1Char('\n')).toStdString();
    const QString bodyLine = lines.value(trAt + 1);
    ASSERT_TRUE(bodyLine.startsWith(QLatin1String("B ")));
    EXPECT_EQ(bodyLength(bodyLine), length);
    EXPECT_TRUE(bodyLine.contains(QLatin1String("ETA Tuesday 0800 UTC.\\r\\n"))) << bodyLine.toStdString();
    EXPECT_EQ(lines.value(trAt + 2), QStringLiteral("L ls ") + out);
    EXPECT_EQ(lines.value(trAt + 3), QStringLiteral("L tx %1 -c 102 -s 0 -t 0 -l 0 -n").arg(out));
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(QLatin1Char('|')).toStdString();

    // INFO 82 after a second, INFO 81 with the reference eight seconds later, each in an "st -l" reply.
    ASSERT_TRUE(rig.advanceAndPoll(2));
    EXPECT_EQ(rig.outStatus(), QStringLiteral("Sending"));
    EXPECT_TRUE(rig.outLine().value(OutIdx::Reference).startsWith(QLatin1String("OUT.")));
    ASSERT_TRUE(rig.advanceAndPoll(9));
    EXPECT_EQ(rig.outStatus(), QStringLiteral("Delivered"));
    EXPECT_GT(Val(rig.outLine().value(OutIdx::Reference)), 0);
    EXPECT_EQ(rig.sender->lastStatus(), QStringLiteral("Delivered"));
    EXPECT_EQ(UnsentMessageCount(rig.messaging().outbox()), 0);
}

// Started before the transceiver has logged in: the message waits (saying so) instead of failing with
// "No default LES for this address type in this ocean", goes out once the login is reported, and is followed
// to "Delivered".
TEST(SendingIntegration, SendWaitsForTheLoginAndThenTracksTheMessageToDelivered) {
    SendRig rig;
    ASSERT_TRUE(rig.sim(QStringLiteral("logout")));
    ASSERT_TRUE(rig.sim(QStringLiteral("advance 4")));
    rig.send(Telex, QStringLiteral("+4712345678"), kBody);
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.sender->state(), HeadlessSender::State::WaitingForLogin);
    EXPECT_TRUE(
        rig.printed.contains(QStringLiteral("Send: waiting until the transceiver is logged in to an ocean region")))
        << rig.printed.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rig.countWritten(QStringLiteral("tr ")), 0);
    EXPECT_TRUE(rig.outIdxLines().isEmpty());

    ASSERT_TRUE(rig.sim(QStringLiteral("login 144")));
    ASSERT_TRUE(rig.advanceAndPoll(6));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.sender->state() == HeadlessSender::State::Sent; }, 5000));
    EXPECT_EQ(rig.sender->resultCode(), int(SendResult::Done)) << rig.printed.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(rig.advanceAndPoll(2));
    ASSERT_TRUE(rig.advanceAndPoll(9));
    EXPECT_EQ(rig.outStatus(), QStringLiteral("Delivered"));
    EXPECT_TRUE(rig.printed.filter(QStringLiteral("1002")).isEmpty());
}

// A transceiver that stays logged out: the send gives up after its time-out, names what it waited for, and
// nothing is queued for the transceiver.
TEST(SendingIntegration, SendGivesUpWhenTheTransceiverStaysLoggedOut) {
    SendRig rig;
    ASSERT_TRUE(rig.sim(QStringLiteral("logout")));
    ASSERT_TRUE(rig.sim(QStringLiteral("advance 4")));
    rig.send(Telex, QStringLiteral("+4712345678"), kBody);
    rig.sender->setTimeOutSeconds(1);
    QString reason;
    QObject::connect(rig.sender.get(), &HeadlessSender::gaveUp, [&](const QString& r) { reason = r; });
    ASSERT_TRUE(rig.start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reason.isEmpty(); }, 5000));
    EXPECT_EQ(reason, QStringLiteral("Send: gave up after 1 s: the transceiver did not log in to an ocean region. "
                                     "The message was not sent."));
    EXPECT_EQ(rig.sender->state(), HeadlessSender::State::GaveUp);
    EXPECT_EQ(rig.countWritten(QStringLiteral("tr ")), 0);
    EXPECT_TRUE(rig.outIdxLines().isEmpty());
}

TEST(SendingIntegration, UploadCutByADroppedLinkIsSentAgainAndSubmittedOnce) {
    SendRig rig;
    ASSERT_TRUE(rig.start());
    rig.sim(QStringLiteral("clear-lines"));
    // Long enough for several pieces; the link goes down after the first one.
    QString text;
    for (int i = 0; text.size() < 1500; ++i)
        text += QStringLiteral("Line %1 of the cargo manifest.\r\n").arg(i);
    bool dropped = false;
    rig.form.onUploadProgress = [&](int value) {
        if (!dropped && value >= 100) {
            dropped = true;
            rig.sim(QStringLiteral("drop"));
        }
    };
    rig.send(Telex, QStringLiteral("4712345678"), text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dropped; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.session.MesConnected(); }, 5000));
    ASSERT_TRUE(rig.settle(10000));
    EXPECT_EQ(rig.form.boxes.count(QStringLiteral(
                  "The PC has lost connection to the mobile. Due to this the message might not have been sent.")),
              1);

    // The first "tr" lost its body with the link; the second one carries it whole, then the check and the
    // one and only submission.
    const QString out = rig.sender->outFileName();
    const QStringList lines = rig.simLines(QStringLiteral("lines"));
    int length = 0;
    const qsizetype first = trLineAt(lines, out, 0, &length);
    ASSERT_GE(first, 0) << lines.join(QLatin1Char('\n')).toStdString();
    const qsizetype second = trLineAt(lines, out, first + 1, &length);
    ASSERT_GT(second, first) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(trLineAt(lines, out, second + 1, &length), -1);
    EXPECT_EQ(bodyLength(lines.value(second + 1)), length);
    EXPECT_EQ(lines.value(second + 2), QStringLiteral("L ls ") + out);
    EXPECT_EQ(lines.count(QStringLiteral("L tx %1 -c 102 -s 0 -t 0 -l 0 -n").arg(out)), 1);
    const QString stored = QStringLiteral("%1 %2 upload").arg(out).arg(length);
    const QStringList files = rig.simLines(QStringLiteral("files"));
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const QString& f) { return f.startsWith(stored); }))
        << files.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rig.errorBoxes().isEmpty())
        << "no size-check or tx error: " << rig.errorBoxes().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(rig.outIdxLines().size(), 1);
    ASSERT_TRUE(rig.advanceAndPoll(2));
    EXPECT_EQ(rig.outStatus(), QStringLiteral("Sending"));
}

TEST(SendingIntegration, DeliveryNotificationsAfterTheDeliveryReportReachTheirMessage) {
    const std::pair<const char*, const char*> cases[] = {{"positive", "Conf.OK"},
                                                         {"negative", "Failed. Error code: '21'"}};
    for (const auto& [outcome, status] : cases) {
        SCOPED_TRACE(outcome);
        SendRig rig;
        ASSERT_TRUE(rig.start());
        ASSERT_TRUE(rig.sim(QStringLiteral("tx-result ") + QLatin1String(outcome)));
        rig.send(Telex, QStringLiteral("+4712345678"), kBody);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.sender->state() == HeadlessSender::State::Sent; }, 5000));
        ASSERT_TRUE(rig.settle());
        ASSERT_TRUE(rig.advanceAndPoll(2));
        ASSERT_TRUE(rig.advanceAndPoll(9));
        ASSERT_EQ(rig.outStatus(), QStringLiteral("Delivered"));
        const QString reference = rig.outLine().value(OutPos::Reference);
        // The notification follows six seconds later and names the LES reference the line holds by now.
        ASSERT_TRUE(rig.advanceAndPoll(7));
        EXPECT_EQ(rig.outStatus(), QLatin1String(status));
        EXPECT_EQ(rig.outLine().value(OutPos::Reference), reference);
    }
}

TEST(SendingIntegration, BodyIsNeverTypedIntoTheBareShellAndIsSentOnceTheTerminalProgramIsBack) {
    SendRig rig;
    ASSERT_TRUE(rig.start());
    rig.poll(); // the ocean decides the LES
    ASSERT_TRUE(rig.settle());
    rig.sim(QStringLiteral("clear-lines"));
    // The terminal program exits just as a message is submitted: its "tr" reaches the bare shell.
    ASSERT_TRUE(rig.sim(QStringLiteral("exit-terminal")));
    const SendOutcome sent = rig.messaging().SendMessageToAddress(
        QStringLiteral("+4712345678"), Telex, 1, QStringLiteral("Noon"), QStringLiteral("All well\r\nreboot\r\n"));
    ASSERT_EQ(sent.code, SendResult::Done);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.countWritten(QStringLiteral("tx ")) > 0 && rig.idle(); }, 20000));

    const QStringList lines = rig.simLines(QStringLiteral("lines"));
    EXPECT_FALSE(lines.contains(QStringLiteral("L reboot"))) << lines.join(u'\n').toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("L All well"))) << lines.join(u'\n').toStdString();
    // Sent again after "minic -f": the body as an upload, then its check and its submission, once.
    int length = 0;
    const qsizetype last = lines.lastIndexOf(QRegularExpression(QStringLiteral("L tr .*")));
    ASSERT_GE(last, 0) << lines.join(u'\n').toStdString();
    EXPECT_GE(trLineAt(lines, sent.outFileName, last, &length), 0);
    EXPECT_TRUE(lines.value(last + 1).startsWith(QLatin1String("B All well\\r\\nreboot")))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^L tx "))).size(), 1);
    EXPECT_GT(lines.indexOf(QRegularExpression(QStringLiteral("L minic.*"))), -1);
    EXPECT_TRUE(rig.errorBoxes().isEmpty()) << rig.errorBoxes().join(u'|').toStdString();
}

TEST(SendingIntegration, MessageNeverSubmittedBeforeTheProgramStopsDoesNotTakeTheNextOnesReports) {
    QString leftIndex;
    QString unsent;
    {
        SendRig rig;
        ASSERT_TRUE(rig.start());
        rig.poll(); // the ocean decides the LES
        ASSERT_TRUE(rig.settle());
        // The unit stops answering while the message is on its way: its "tx" never goes out.
        ASSERT_TRUE(rig.sim(QStringLiteral("stall 600")));
        const SendOutcome sent = rig.messaging().SendMessageToAddress(
            QStringLiteral("+4712345678"), Telex, 1, QStringLiteral("Noon"), QStringLiteral("Never submitted\r\n"));
        ASSERT_EQ(sent.code, SendResult::Done);
        unsent = sent.outFileName;
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.countWritten(QStringLiteral("tr ")) > 0; }, 5000));
        rig.terminal->finishShutDown();
        EXPECT_EQ(rig.countWritten(QStringLiteral("tx ")), 0);
        EXPECT_EQ(rig.outStatus(), QStringLiteral("PC Cleared"));
        leftIndex = QString::fromLatin1(readAll(rig.messaging().outbox().indexPath()));
    }

    // The next run sends another message: its submission report finds its own line.
    SendRig rig;
    QDir().mkpath(rig.messaging().outbox().folder());
    QFile index(rig.messaging().outbox().indexPath());
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(leftIndex.toLatin1());
    index.close();
    ASSERT_TRUE(rig.start());
    rig.send(Telex, QStringLiteral("+4712345678"), kBody);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.sender->state() == HeadlessSender::State::Sent; }, 5000));
    ASSERT_TRUE(rig.settle());
    ASSERT_TRUE(rig.advanceAndPoll(2));
    const QStringList lines = rig.outIdxLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(unsent + QLatin1Char(';')));
    EXPECT_EQ(lines[0].split(QLatin1Char(';')).value(OutIdx::Status), QStringLiteral("PC Cleared"));
    EXPECT_EQ(lines[1].split(QLatin1Char(';')).value(OutIdx::Status), QStringLiteral("Sending"));
    ASSERT_TRUE(rig.advanceAndPoll(9));
    EXPECT_EQ(rig.outIdxLines().value(1).split(QLatin1Char(';')).value(OutIdx::Status), QStringLiteral("Delivered"));
}
