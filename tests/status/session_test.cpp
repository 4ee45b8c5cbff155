#include "status/session.h"
#include "status/status_summary.h"
#include "status_fixture.h"

using namespace tessaro;

TEST(StatusSession, TdmOriginSetsTheOcean) {
    CSession s;
    int oceanSignals = 0;
    QObject::connect(&s, &CSession::currentOceanChanged, &s, [&](int) { ++oceanSignals; });
    const std::pair<int, int> cases[] = {{344, 3}, {0, 4}, {412, 4}, {44, 0}, {144, 1}, {244, 2}};
    for (auto [id, ocean] : cases) {
        s.SetTDMOrigin(id);
        EXPECT_EQ(s.TDMOrigin(), id);
        EXPECT_EQ(s.CurrentOcean(), ocean) << id;
    }
    EXPECT_EQ(oceanSignals, 5); // 0 and 412 both mean none: one change
    s.SetTDMOrigin(245);        // same ocean: no signal
    EXPECT_EQ(oceanSignals, 5);
}

TEST(StatusSession, ResetReturnsEveryValueToItsStartValue) {
    CSession s;
    s.SetMesConnected(true);
    s.SetLanLinkUp(true);
    s.SetLoggedIn(true);
    s.SetTDMOrigin(144);
    s.SetCurrentProtocol(QStringLiteral("Idle"));
    s.SetCurrentChannel(QStringLiteral("NCS"));
    s.SetSystemTime(QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC));
    s.SetIdentity(TransceiverIdentity{2, 5, 18, 3, 1});
    s.SetMobileNumber(423456789);
    s.SetSwVersion(QStringLiteral("4.12"));
    s.SetPos(QStringLiteral("1 2 3 N 4 5 6 E"), QStringLiteral("1"), QStringLiteral("t"), QStringLiteral("2"), true);
    s.SetGpsStatus(QStringLiteral("gps"));
    s.SetProcessingMsgs(true);

    bool loggedOut = false;
    int positionSignals = 0;
    QObject::connect(&s, &CSession::loggedInChanged, &s, [&](bool in) { loggedOut = !in; });
    QObject::connect(&s, &CSession::positionChanged, &s, [&] { ++positionSignals; });
    SessionFlags& flags = s;
    flags.Reset(); // the engine resets through the base
    EXPECT_FALSE(s.MesConnected());
    EXPECT_TRUE(s.LanLinkUp()); // link fields are the connect sequence's
    EXPECT_FALSE(s.LoggedIn());
    EXPECT_EQ(s.CurrentOcean(), 4);
    EXPECT_EQ(s.TDMOrigin(), 0);
    EXPECT_TRUE(s.CurrentProtocol().isEmpty());
    EXPECT_TRUE(s.CurrentChannel().isEmpty());
    EXPECT_FALSE(s.SystemTimeSet());
    EXPECT_EQ(s.SystemTime(), QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(s.Identity(), TransceiverIdentity{});
    EXPECT_EQ(s.MobileNumber(), 0);
    EXPECT_TRUE(s.SwVersion().isEmpty());
    EXPECT_EQ(s.SwVerInt(), 0);
    EXPECT_EQ(s.Position(), PositionRecord{});
    EXPECT_TRUE(s.GpsStatus().isEmpty());
    EXPECT_FALSE(s.ProcessingMsgs());
    EXPECT_TRUE(loggedOut);
    EXPECT_EQ(positionSignals, 1);
}

TEST(StatusSession, PositionChangesAreAnnouncedOnce) {
    CSession s;
    int signals = 0;
    QObject::connect(&s, &CSession::positionChanged, &s, [&] { ++signals; });
    const QString pos = QStringLiteral("55 40 12 S 012 05 30 W");
    s.SetPos(pos, QStringLiteral("90"), QStringLiteral("09:41"), QStringLiteral("5"), true);
    s.SetPos(pos, QStringLiteral("90"), QStringLiteral("09:41"), QStringLiteral("5"), true);
    EXPECT_EQ(signals, 1);
    EXPECT_TRUE(s.Position().South);
    EXPECT_TRUE(s.Position().West);
    s.SetPos(QStringLiteral("55 40 12 S 012 05 30"), QString(), QString(), QString(), true);
    EXPECT_EQ(s.Position(), PositionRecord{});
    EXPECT_EQ(signals, 2);
    s.ResetPos();
    EXPECT_EQ(signals, 2);
}

TEST(StatusSession, SoftwareVersionParts) {
    CSession s;
    const std::tuple<const char*, int, int, int> cases[] = {
        {"4.12", 4, 12, 0}, {"1.06", 1, 6, 0}, {"3.2.7", 3, 2, 7}, {"12", 12, 0, 0}, {"x", 0, 0, 0}};
    for (auto [text, major, minor, build] : cases) {
        s.SetSwVersion(QString::fromLatin1(text));
        EXPECT_EQ(s.SwVerStr(), QString::fromLatin1(text));
        EXPECT_EQ(s.SwVerMajor(), major) << text;
        EXPECT_EQ(s.SwVerMinor(), minor) << text;
        EXPECT_EQ(s.SwVerBuild(), build) << text;
    }
    s.SetSwVersion(QStringLiteral("1.06"));
    EXPECT_EQ(s.SwVerInt(), 106);
}

TEST(StatusSummary, OneLineWithIdentityLoginOceanPositionAndTime) {
    CSession s;
    s.SetMesConnected(true);
    s.SetIdentity(TransceiverIdentity{2, 5, 18, 3, 1});
    s.SetMobileNumber(423456789);
    s.SetLoggedIn(true);
    s.SetTDMOrigin(144);
    s.SetCurrentChannel(QStringLiteral("NCS"));
    s.SetCurrentProtocol(QStringLiteral("Idle"));
    s.SetPos(QStringLiteral("55 40 12 N 12 5 30 E"), QStringLiteral("1"), QString(), QStringLiteral("2"), true);
    s.SetSystemTime(QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC));
    EXPECT_EQ(StatusSummaryLine(s),
              QStringLiteral("Terminal: LarchC (Maritime), IMN 423456789, logged in, ocean East Atlantic, channel NCS, "
                             "protocol Idle, position 55 40.12 N, 12 05.30 E, UTC 2013-05-07 09:41"));
    CSession empty;
    EXPECT_EQ(StatusSummaryLine(empty),
              QStringLiteral("Terminal: <unknown> (<unknown>), IMN <unknown>, not connected, logged out, ocean None, "
                             "channel -, protocol -, position not available, UTC unknown"));
}

TEST(StatusSummary, PrintedOncePerChangeThatMatters) {
    tessaro::test::EnsureCoreApp();
    CSession s;
    QStringList printed;
    FollowStatusSummary(s, [&](const QString& line) { printed << line; });
    // One reply's worth of changes gives one line.
    s.SetLoggedIn(true);
    s.SetTDMOrigin(244);
    s.SetCurrentProtocol(QStringLiteral("Idle"));
    EXPECT_TRUE(printed.isEmpty()); // not while the handler still runs
    QCoreApplication::processEvents();
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].contains(QStringLiteral("logged in, ocean Pacific Ocean, channel -, protocol Idle")));

    s.SetSystemTime(QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC)); // no line of its own
    s.SetSignalStrength(5);                                               // not part of the line
    QCoreApplication::processEvents();
    EXPECT_EQ(printed.size(), 1);

    s.SetPos(QStringLiteral("1 2 3 N 4 5 6 E"), QString(), QStringLiteral("a"), QString(), true);
    QCoreApplication::processEvents();
    s.SetPos(QStringLiteral("1 2 3 N 4 5 6 E"), QString(), QStringLiteral("b"), QString(), true); // same place
    QCoreApplication::processEvents();
    s.SetTDMOrigin(245); // same ocean
    QCoreApplication::processEvents();
    ASSERT_EQ(printed.size(), 2);
    EXPECT_TRUE(printed[1].contains(QStringLiteral("position 1 02.03 N, 4 05.06 E, UTC 2013-05-07 09:41")));
}
