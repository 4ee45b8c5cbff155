#include "config/access_password.h"
#include "config/configuration.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaro;

TEST(AccessPassword, StoredFormIsTwoNibbleCharactersPerByte) {
    const struct {
        QString plain;
        QString stored;
    } cases[] = {
        {QStringLiteral("z"), QStringLiteral("7K")},          // 122: nibbles 7 and 10
        {QString(QChar(0xFA)), QStringLiteral("PK")},         // 15 and 10
        {QStringLiteral("0000"), QStringLiteral("30303030")}, // digits only
        {QStringLiteral("Ab~"), QStringLiteral("41627O")},    // 0x41, 0x62, 0x7E (14 is "O")
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain.toStdString());
        EXPECT_EQ(EncodeAccessPassword(c.plain), c.stored);
        EXPECT_EQ(DecodeAccessPassword(c.stored), c.plain);
    }
}

TEST(AccessPassword, NoPasswordAcceptsAnythingAndAStoredOneOnlyItself) {
    QTemporaryDir dir;
    CConfiguration config(dir.path() + QStringLiteral("/"), false, dir.path() + QStringLiteral("/settings.ini"));
    EXPECT_TRUE(AccessPasswordAccepts(config, AccessPassword::Config, QStringLiteral("anything")));
    config.SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Config Password"),
                            EncodeAccessPassword(QStringLiteral("Bridge1")));
    EXPECT_EQ(StoredAccessPassword(config, AccessPassword::Config), QStringLiteral("Bridge1"));
    EXPECT_TRUE(AccessPasswordAccepts(config, AccessPassword::Config, QStringLiteral("Bridge1")));
    EXPECT_FALSE(AccessPasswordAccepts(config, AccessPassword::Config, QStringLiteral("bridge1")));
    EXPECT_FALSE(AccessPasswordAccepts(config, AccessPassword::Config, QStringLiteral("Bridge")));
    EXPECT_TRUE(AccessPasswordAccepts(config, AccessPassword::Transmit, QString())) << "the other one is not set";
}
