#include "output_pacer.h"
#include "sim_test_support.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using tessaro::sim::OutputPacer;

namespace {
// Runs the event loop until the pacer has written everything (bounded, so a stuck pacer fails the test).
void drain(OutputPacer& pacer) {
    QElapsedTimer t;
    t.start();
    while (!pacer.isIdle() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

TEST(SimOutputPacer, PiecesPushedOneByOneStillArriveSeparately) {
    tessaro::sim::test::ensureApp();
    QList<QByteArray> writes;
    OutputPacer pacer([&](const QByteArray& b) { writes << b; }, 0, 5);
    // A reply is pushed piece by piece from the same call: the second piece must not ride on the first.
    pacer.push("st -l\r\n");
    pacer.push("INFO 82: x\r\n");
    pacer.push("can0:/$ ");
    EXPECT_EQ(writes.size(), 1) << "only the first piece goes out at once";
    drain(pacer);
    ASSERT_EQ(writes.size(), 3);
    EXPECT_EQ(writes.join(), QByteArray("st -l\r\nINFO 82: x\r\ncan0:/$ "));
}

TEST(SimOutputPacer, UnchunkedOutputGoesOutWhole) {
    tessaro::sim::test::ensureApp();
    QList<QByteArray> writes;
    OutputPacer pacer([&](const QByteArray& b) { writes << b; }, 0, 0);
    pacer.push("a");
    pacer.push("b");
    drain(pacer);
    EXPECT_EQ(writes.join(), QByteArray("ab"));
}
