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

TEST(AccessPassword, ChangeNeedsTheOldPasswordAndAMatchingConfirmation) {
    QTemporaryDir dir;
    CConfiguration config(dir.path() + QStringLiteral("/"), false, dir.path() + QStringLiteral("/settings.ini"));
    const auto stored = [&] { return StoredAccessPassword(config, AccessPassword::Transmit); };
    const struct {
        const char* oldPassword;
        const char* newPassword;
        const char* confirmation;
        bool accepted;
        const char* after;
    } steps[] = {
        {"x", "Tx9", "Tx9", false, ""},  // none set: the old field must be empty
        {"", "Tx9", "Tx8", false, ""},   // new and confirmation differ
        {"", "Tx9", "Tx9", true, "Tx9"}, // set
        {"tx9", "A", "A", false, "Tx9"}, // wrong old one (case counts)
        {"Tx9", "", "", true, ""},       // cleared
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.newPassword);
        EXPECT_EQ(ChangeAccessPassword(config, AccessPassword::Transmit, QLatin1String(s.oldPassword),
                                       QLatin1String(s.newPassword), QLatin1String(s.confirmation)),
                  s.accepted);
        EXPECT_EQ(stored(), QLatin1String(s.after));
    }
    EXPECT_TRUE(StoredAccessPassword(config, AccessPassword::Config).isEmpty()) << "the other one untouched";
}
