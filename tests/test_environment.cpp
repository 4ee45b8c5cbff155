// Linked into every test program: tests run offscreen, know they are tests, and keep settings and data in the
// build folder, never in the user's own. Set here because a list of variables does not survive test discovery.
#include <QByteArray>
#include <QtGlobal>

namespace {
const bool kTestEnvironment = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    qputenv("TESSARO_TESTING", QByteArrayLiteral("1"));
    qputenv("XDG_CONFIG_HOME", QByteArray(TESSARO_TEST_CONFIG_HOME));
    qputenv("XDG_DATA_HOME", QByteArray(TESSARO_TEST_DATA_HOME));
    return true;
}();
} // namespace
