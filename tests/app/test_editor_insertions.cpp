// The lines the editor's insert menu puts at the cursor, and the UTC time read from the transceiver for it.
#include "runtime_rig.h"

#include "messaging/editor_insertions.h"
#include "status/session.h"

using namespace tessaro;
using test::RuntimeRig;

TEST(EditorInsertions, PositionSpeedAndCourseFromTheSession) {
    CSession session;
    EXPECT_EQ(EditorInsert::Position(session), QStringLiteral("Position: not available\r\n"));
    EXPECT_EQ(EditorInsert::SpeedAndCourse(session), QStringLiteral("Speed: not available\r\n"));
    const struct {
        const char* position;
        const char* inserted;
    } cases[] = {
        {"55 40 12 N 12 5 30 E", "Position: 55,40.12N , 12,5.30E\r\n"},
        // Hundredths of a minute: "40.5" would be half a nautical mile off.
        {"55 40 05 S 3 7 0 W", "Position: 55,40.05S , 3,7.00W\r\n"},
    };
    for (const auto& c : cases) {
        session.SetPos(QLatin1String(c.position), QStringLiteral("270"), QStringLiteral("09:04"), QStringLiteral("12"),
                       true);
        EXPECT_EQ(EditorInsert::Position(session), QLatin1String(c.inserted)) << c.position;
    }
    EXPECT_EQ(EditorInsert::SpeedAndCourse(session), QStringLiteral("Speed: 12 knots, Course: 270 deg.\r\n"));
    session.SetMobileNumber(423456789);
    EXPECT_EQ(EditorInsert::MobileNumber(session), QStringLiteral("Mobile No.: 423456789\r\n"));
    const QDateTime t(QDate(2026, 12, 10), QTime(9, 5));
    EXPECT_EQ(EditorInsert::LocalTime(t, QLocale(QLocale::English)),
              QStringLiteral("Local Time: 10. December 2026 09:05\r\n"));
    EXPECT_EQ(EditorInsert::LocalTime(t, QLocale(QLocale::French)),
              QStringLiteral("Local Time: 10. décembre 2026 09:05\r\n"));
}

TEST(EditorInsertions, VesselDataKeepsItsLabelsWhenEmptyAndTheSignatureIsAsStored) {
    RuntimeRig rig;
    CConfiguration& config = rig.runtime->config();
    EXPECT_EQ(EditorInsert::VesselData(config), QStringLiteral("Vessel name: \r\nVessel type: \r\nFlag: \r\n"
                                                               "Destination: \r\nCargo: \r\nComment: \r\n"));
    config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName"), QStringLiteral("Nordkap"));
    config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselCargo"), QStringLiteral("Timber"));
    EXPECT_EQ(EditorInsert::VesselName(config), QStringLiteral("Vessel name: Nordkap\r\n"));
    EXPECT_TRUE(EditorInsert::VesselData(config).contains(QStringLiteral("\r\nCargo: Timber\r\n")));
    config.SetIni(QStringLiteral("[Signature]"), QStringLiteral("Master, MV Nordkap"));
    EXPECT_EQ(EditorInsert::Signature(config), QStringLiteral("Master, MV Nordkap"));
}

// The UTC time and the position need the transceiver: without it nothing is asked and nothing inserted; with
// it "ti u" is queued and its reply becomes the inserted line. A "ti u" nobody asked for inserts nothing.
TEST(EditorInsertions, UtcTimeComesFromTheTransceiversReply) {
    RuntimeRig rig;
    ASSERT_TRUE(rig.start().ok);
    EditorModule& editor = rig.runtime->editor();
    QStringList inserted;
    QObject::connect(&editor, &EditorModule::insertText, [&inserted](const QString& t) { inserted << t; });
    // The assembled table's own row for the reply, called as the engine would.
    const auto route = [&rig](const QString& reply) {
        for (const RouteRow& r : rig.runtime->context().router().rows())
            if (r.key == RouteKey::TimeInsert)
                r.handler(reply);
    };
    EXPECT_FALSE(editor.RequestUtcTime());
    EXPECT_TRUE(editor.PositionText().isEmpty());
    EXPECT_FALSE(rig.queue().contains(QLatin1String("ti u")));

    rig.session().SetMesConnected(true);
    EXPECT_EQ(editor.PositionText(), QStringLiteral("Position: not available\r\n"));
    ASSERT_TRUE(editor.RequestUtcTime());
    EXPECT_TRUE(rig.queue().contains(QLatin1String("ti u\r\n")));
    const QString reply = QStringLiteral("ti u\r\nUTC date and time 26-12-10 09:05:17\r\ncan0:/$ ");
    route(reply);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0], EditorInsert::UtcTime(QDateTime(QDate(2026, 12, 10), QTime(9, 5), Qt::UTC)));
    route(reply);
    EXPECT_EQ(inserted.size(), 1);
}
