#include "messaging/submission_order.h"

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

// "name=number" for each entry, then "last=number".
std::string state(const SubmissionOrder& o) {
    std::string s;
    for (const SubmissionOrder::Entry& e : o.entries())
        s += e.txName.toStdString() + '=' + std::to_string(e.expected) + ' ';
    return s + "last=" + std::to_string(o.last());
}

// Wherever its number comes from, a "tx" expects the name after the one before it, around 999.
TEST(SubmissionOrder, NumbersFollowTheReportsAndWrapAfter999) {
    SubmissionOrder o;
    o.written(QStringLiteral("a"));
    o.written(QStringLiteral("b"));
    EXPECT_EQ(state(o), "a=0 b=0 last=0"); // nothing known yet
    EXPECT_EQ(o.holderOf(998), QString());

    o.settled(QStringLiteral("a"), 998); // the oldest took the first report: b comes after it
    EXPECT_EQ(state(o), "b=999 last=999");
    o.written(QStringLiteral("c"));
    o.written(QStringLiteral("d"));
    EXPECT_EQ(state(o), "b=999 c=1 d=2 last=2");
    EXPECT_EQ(o.holderOf(1), QStringLiteral("c"));

    // c's report came first: b's transmission was lost. b keeps its number in case its report still comes.
    o.settled(QStringLiteral("c"), 1);
    EXPECT_EQ(state(o), "b=999 d=2 last=2");

    // A report that does not follow the numbering given to the oldest line: the later ones number on from it.
    o.settled(QStringLiteral("b"), 5);
    EXPECT_EQ(state(o), "d=6 last=6");
}

TEST(SubmissionOrder, ARefusedTxGivesItsNumberToTheNext) {
    SubmissionOrder o;
    o.settled(QStringLiteral("old"), 40); // nothing waiting: the numbering starts here
    o.written(QStringLiteral("a"));
    o.written(QStringLiteral("b"));
    o.refused(QStringLiteral("b"));
    o.written(QStringLiteral("c"));
    EXPECT_EQ(state(o), "a=41 c=42 last=42");
    o.refused(QStringLiteral("unknown.txt")); // typed in the terminal window, never written here
    EXPECT_EQ(state(o), "a=41 c=42 last=42");

    SubmissionOrder fromOne;
    fromOne.settled(QStringLiteral("x"), 1);
    fromOne.written(QStringLiteral("y"));
    fromOne.refused(QStringLiteral("y"));
    EXPECT_EQ(fromOne.last(), 1);
}

// A transmission that never reported keeps its number for 999 names only: the next one to get it takes it.
TEST(SubmissionOrder, AStaleNumberPassesToTheNewerTx) {
    SubmissionOrder o;
    o.settled(QStringLiteral("first"), 1);
    o.written(QStringLiteral("lost")); // OUT.002, never reported
    for (int i = 0; i < 998; ++i) {    // OUT.003 to OUT.999 and OUT.001, each reported
        o.written(QStringLiteral("t%1").arg(i));
        o.settled(QStringLiteral("t%1").arg(i), o.last());
    }
    EXPECT_EQ(o.holderOf(2), QStringLiteral("lost"));
    o.written(QStringLiteral("new"));
    EXPECT_EQ(state(o), "lost=0 new=2 last=2");
    EXPECT_EQ(o.holderOf(2), QStringLiteral("new"));
}

TEST(SubmissionOrder, StoredLinesReadBackAndOthersAreLeft) {
    SubmissionOrder o;
    o.written(QStringLiteral("blind.out"));
    o.settled(QStringLiteral("x.out"), 0); // no number: nothing changes
    SubmissionOrder numbered;
    numbered.settled(QStringLiteral("x.out"), 7);
    numbered.written(QStringLiteral("26121005.out"));
    numbered.written(QStringLiteral("blind.out"));
    const QStringList lines = numbered.toLines();
    EXPECT_EQ(lines, QStringList({QStringLiteral("26121005.out OUT.008"), QStringLiteral("blind.out OUT.009"),
                                  QStringLiteral("=last OUT.009")}));

    SubmissionOrder read;
    for (const QString& l : lines)
        EXPECT_TRUE(read.readLine(l + QStringLiteral("\r")));
    EXPECT_EQ(state(read), state(numbered));
    EXPECT_EQ(o.toLines(), QStringList({QStringLiteral("blind.out -")}));
    EXPECT_TRUE(read.readLine(QStringLiteral("blind2.out -")));
    for (const char* other : {"13010302.out", "", "a b c", "a OUT.1000", "a OUT.000", "a 7"})
        EXPECT_FALSE(read.readLine(QLatin1String(other))) << other;
    read.keepOnly({QStringLiteral("blind.out")});
    EXPECT_EQ(state(read), "blind.out=9 last=9");
}

} // namespace
