#include "status/position.h"
#include "status/transceiver_time.h"
#include "status_fixture.h"

#include <cerrno>

using namespace tessaro;
using tessaro::test::ReadReply;

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QDateTime Utc(int y, int mo, int d, int h, int mi) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
}

class FakeClockSetter final : public ISystemClockSetter {
public:
    int result = 0;
    QList<QDateTime> calls;
    int setUtc(const QDateTime& utc) override {
        calls << utc;
        return result;
    }
};
} // namespace

TEST(StatusTransceiverTime, CannedReplies) {
    EXPECT_EQ(ParseTransceiverTime(ReadReply("ti_u_2013.txt"), kCrLf), Utc(2013, 5, 7, 9, 41));
    EXPECT_EQ(ParseTransceiverTime(ReadReply("ti_u_1999.txt"), kCrLf), Utc(1999, 12, 31, 23, 59));
    // With LF line ends the time sits one character earlier; the hours are still read.
    EXPECT_EQ(ParseTransceiverTime(ReadReply("ti_u_lf.txt"), QStringLiteral("\n")), Utc(2013, 5, 7, 9, 41));
    EXPECT_FALSE(ParseTransceiverTime(ReadReply("ti_u_error_120.txt"), kCrLf).has_value());
}

TEST(StatusTransceiverTime, EdgeCases) {
    struct Case {
        const char* reply;
        const char* lineEnd;
        QDateTime expected; // invalid: nothing stored
    };
    const Case cases[] = {
        {"ti -u\r\n69-01-01 00:00", "\r\n", Utc(2069, 1, 1, 0, 0)},
        {"ti -u\r\n70-01-01 00:00", "\r\n", Utc(1970, 1, 1, 0, 0)},
        {"ti -u\r\n13-02-30 10:00:00", "\r\n", QDateTime()}, // no such day
        {"ti -u\r\n13-05-07 09:4", "\r\n", QDateTime()},     // 20 characters: too short
        {"ti -u\r\n13-05-07 09:41", "\r\n", Utc(2013, 5, 7, 9, 41)},
        {"ti -u\r\n13-05-07 no time at all", "\r\n", Utc(2013, 5, 7, 0, 0)},
        {"ti -u\r\n13-5-7 09:41:00 xxxxxx", "\r\n", QDateTime()}, // not the yy-mm-dd form
        {"ti -u\r\r\n13-05-07 09:41:00\r\r\n", "\r\r\n", Utc(2013, 5, 7, 9, 41)},
        {"ti -u\r\n13-05-07 09:41:00", "\r\r\n", QDateTime()}, // learned line end not in the reply
        {"ti -u 13-05-07 09:41:00 xxxxx", "", QDateTime()},    // no line end at all
        {"ti -u\n-3-05-07 09:41:00 xxxxx", "\n", QDateTime()},
    };
    for (const Case& c : cases) {
        const auto t = ParseTransceiverTime(QString::fromLatin1(c.reply), QString::fromLatin1(c.lineEnd));
        if (c.expected.isValid()) {
            EXPECT_EQ(t, c.expected) << c.reply;
        } else {
            EXPECT_FALSE(t.has_value()) << c.reply;
        }
    }
}

TEST(StatusPcTime, SetsTheClockToTheWholeMinute) {
    FakeClockSetter setter;
    const QDateTime t = QDateTime(QDate(2013, 5, 7), QTime(9, 41, 27), Qt::UTC);
    const PcTimeResult r = SetPcTimeFromTransceiver(ReadReply("ti_u_2013.txt"), true, t, setter);
    EXPECT_TRUE(r.set);
    EXPECT_TRUE(r.errorLine.isEmpty());
    ASSERT_EQ(setter.calls.size(), 1);
    EXPECT_EQ(setter.calls[0], Utc(2013, 5, 7, 9, 41));
}

TEST(StatusPcTime, RefusalsAreOneClearErrorLineAndNeverTouchTheClock) {
    FakeClockSetter setter;
    const QDateTime t = Utc(2013, 5, 7, 9, 41);
    const PcTimeResult refused = SetPcTimeFromTransceiver(ReadReply("ti_u_error_120.txt"), true, t, setter);
    EXPECT_FALSE(refused.set);
    EXPECT_EQ(refused.errorLine, QStringLiteral("Error: PC time could not be set. Command does not exist or you do "
                                                "not have access to this command on current user level."));
    EXPECT_TRUE(setter.calls.isEmpty());

    const PcTimeResult unknown = SetPcTimeFromTransceiver(ReadReply("ti_u_2013.txt"), false, t, setter);
    EXPECT_FALSE(unknown.set);
    EXPECT_TRUE(unknown.errorLine.isEmpty());
    EXPECT_TRUE(setter.calls.isEmpty());

    setter.result = EPERM;
    const PcTimeResult denied = SetPcTimeFromTransceiver(ReadReply("ti_u_2013.txt"), true, t, setter);
    EXPECT_FALSE(denied.set);
    EXPECT_TRUE(denied.errorLine.startsWith(QStringLiteral("Error: PC time could not be set.")));
    EXPECT_TRUE(denied.errorLine.contains(QStringLiteral("not permitted")));

    setter.result = EINVAL;
    EXPECT_FALSE(SetPcTimeFromTransceiver(ReadReply("ti_u_2013.txt"), true, t, setter).errorLine.isEmpty());
}

TEST(StatusPositionParse, LabelledValuesWithoutFraming) {
    const PositionReply r = ParsePosition(ReadReply("se_p_valid.txt"));
    EXPECT_EQ(r.position, QStringLiteral("55 40 12 N 012 05 30 E"));
    EXPECT_EQ(r.time, QStringLiteral("09:41 UTC"));
    EXPECT_EQ(r.course, QStringLiteral("123"));
    EXPECT_EQ(r.speed, QStringLiteral("10"));
    EXPECT_TRUE(r.valid);

    const PositionReply invalid = ParsePosition(ReadReply("se_p_not_valid.txt"));
    EXPECT_FALSE(invalid.valid);
    EXPECT_EQ(invalid.position, QStringLiteral("55 40 12 N 012 05 30 E"));

    const PositionReply empty = ParsePosition(QStringLiteral("se -p\r\nPosition : "));
    EXPECT_TRUE(empty.position.isEmpty());
    EXPECT_TRUE(empty.speed.isEmpty());
}

TEST(StatusPositionParse, ValuesEndAtTheNextLabelOnTheSameLine) {
    const PositionReply r = ParsePosition(
        QStringLiteral("se -p\nPosition : 1 2 3 S 4 5 6 W Course   : 90 at 12:00 Speed    : 7\ncan0:/$ "));
    EXPECT_EQ(r.position, QStringLiteral("1 2 3 S 4 5 6 W"));
    EXPECT_EQ(r.course, QStringLiteral("90"));
    EXPECT_EQ(r.time, QStringLiteral("12:00"));
    EXPECT_EQ(r.speed, QStringLiteral("7"));
}

TEST(StatusSetPos, EightPieceRule) {
    struct Case {
        const char* position;
        bool kept;
        bool south, west;
    };
    const Case cases[] = {
        {"55 40 12 N 012 05 30 E", true, false, false},
        {"55 40 12 S 012 05 30 West", true, true, true}, // first character of the last piece decides
        {"55 40 12 s 012 05 30 w", true, false, false},  // hemispheres compare exactly
        {"55 40 12 N 012 05 30", false, false, false},   // seven pieces
        {"55 40 12 N 012 05 30 E extra", false, false, false},
        {"55  40 12 N 012 05 30 E", false, false, false}, // a double blank makes an empty piece
        {"256 40 12 N 012 05 30 E", false, false, false}, // not an unsigned byte
        {"-1 40 12 N 012 05 30 E", false, false, false},
        {"", false, false, false},
    };
    for (const Case& c : cases) {
        PositionRecord rec;
        rec.Valid = true;
        rec.LatDegrees = 9;
        rec.Time = QStringLiteral("old");
        ApplyPosition(rec, QString::fromLatin1(c.position), QStringLiteral("123"), QStringLiteral("09:41"),
                      QStringLiteral("10"), true);
        if (c.kept) {
            EXPECT_EQ(rec.LatDegrees, 55) << c.position;
            EXPECT_EQ(rec.LatMinutes, 40) << c.position;
            EXPECT_EQ(rec.LatFraction, 12) << c.position;
            EXPECT_EQ(rec.LonDegrees, 12) << c.position;
            EXPECT_EQ(rec.LonMinutes, 5) << c.position;
            EXPECT_EQ(rec.LonFraction, 30) << c.position;
            EXPECT_EQ(rec.South, c.south) << c.position;
            EXPECT_EQ(rec.West, c.west) << c.position;
            EXPECT_EQ(rec.Course, 123);
            EXPECT_EQ(rec.Speed, 10);
            EXPECT_EQ(rec.Time, QStringLiteral("09:41"));
            EXPECT_TRUE(rec.Valid);
        } else {
            EXPECT_EQ(rec, PositionRecord{}) << c.position;
        }
    }
}

TEST(StatusSetPos, NonNumericCourseAndSpeedKeepTheStoredValues) {
    PositionRecord rec;
    rec.Course = 45;
    rec.Speed = 3;
    ApplyPosition(rec, QStringLiteral("1 2 3 N 4 5 6 E"), QStringLiteral("n/a"), QStringLiteral("t"),
                  QStringLiteral("10 knots"), false);
    EXPECT_EQ(rec.Course, 45);
    EXPECT_EQ(rec.Speed, 3);
    EXPECT_FALSE(rec.Valid); // the valid flag is stored as given
    ApplyPosition(rec, QStringLiteral("1 2 3 N 4 5 6 E"), QStringLiteral(" 12.6 "), QStringLiteral("t"),
                  QStringLiteral("99999"), true);
    EXPECT_EQ(rec.Course, 13);
    EXPECT_EQ(rec.Speed, 3); // does not fit 16 bits
}

TEST(StatusGpsStatus, BlockEndsWithTheSpeedLine) {
    EXPECT_EQ(ParseGpsStatus(ReadReply("ru_g.txt")),
              QStringLiteral("GPS Test Summary\r\n  Receiver        : OK\r\n  Satellites used : 7\r\n"
                             "  Fix             : 3D\r\n  Speed           : 12 mph"));
    // Without a speed line the block runs to the prompt, which is left out; LF line ends are normalised.
    EXPECT_EQ(ParseGpsStatus(QStringLiteral("ru -g\nTest Summary\nFix: none\ncan0:/$ ")),
              QStringLiteral("Test Summary\r\nFix: none"));
    EXPECT_EQ(ParseGpsStatus(QStringLiteral("ru -g")), QString());
}
