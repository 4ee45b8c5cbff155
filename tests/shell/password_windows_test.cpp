// The access-password prompt in front of a guarded window, the change windows, and the remote password.
#include "config/access_password.h"
#include "config/configuration.h"
#include "config/temp_data_dir.h"
#include "reporting/remote_config.h"
#include "shell/password_prompt.h"
#include "shell/remote_password_dialog.h"
#include "shell_test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

using namespace tessaro;

namespace {
struct Env {
    Env() { test::App(); }
    ~Env() {
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            windows << w;
        for (const QPointer<QWidget>& w : windows)
            delete w.data();
    }
    TempDataDir data;
    CConfiguration config{data.path(), false, data.path() + QStringLiteral("settings.ini")};
};
} // namespace

TEST(PasswordWindows, AGuardedWindowOpensOnlyAfterTheRightPassword) {
    Env env;
    ASSERT_TRUE(ChangeAccessPassword(env.config, AccessPassword::Config, QString(), QStringLiteral("Bridge1"),
                                     QStringLiteral("Bridge1")));
    QPointer<QDialog> guarded;
    const auto open = [&env, &guarded] {
        guarded = new RemotePasswordForm(env.config);
        guarded->show();
    };
    QPointer<PasswordPrompt> prompt = GuardConfigAction(env.config, nullptr, open);
    ASSERT_TRUE(prompt);
    EXPECT_FALSE(guarded) << "nothing opens before the password";

    int refusals = 0;
    QObject::connect(prompt, &PasswordPrompt::refused, [&refusals] { ++refusals; });
    for (const char* wrong : {"bridge1", "", "Bridge1 "}) {
        prompt->field().setText(QLatin1String(wrong));
        prompt->submit();
        EXPECT_FALSE(guarded) << wrong;
        ASSERT_TRUE(prompt) << "a wrong password leaves the prompt open";
    }
    EXPECT_EQ(refusals, 3);
    prompt->field().setText(QStringLiteral("Bridge1"));
    prompt->submit();
    ASSERT_TRUE(guarded);
    EXPECT_TRUE(guarded->isVisible());

    // Without a password the window opens at once and no prompt is made.
    Env open2;
    guarded = nullptr;
    EXPECT_EQ(GuardConfigAction(open2.config, nullptr, [&] { guarded = new RemotePasswordForm(open2.config); }),
              nullptr);
    EXPECT_TRUE(guarded);
}

TEST(PasswordWindows, ChangingTheConfigPassword) {
    const struct {
        const char* old;
        const char* fresh;
        const char* confirm;
        bool stored;
    } cases[] = {
        {"", "Deck9", "Deck9", true},
        {"", "Deck9", "deck9", false},  // confirmation differs
        {"x", "Deck9", "Deck9", false}, // old one wrong (none is set)
    };
    for (const auto& c : cases) {
        Env env;
        ChangePasswordDialog dialog(env.config, AccessPassword::Config);
        dialog.oldField().setText(QLatin1String(c.old));
        dialog.newField().setText(QLatin1String(c.fresh));
        dialog.confirmField().setText(QLatin1String(c.confirm));
        const QString outcome = dialog.submit();
        EXPECT_EQ(outcome, c.stored ? QStringLiteral("New Config Password Registered OK!")
                                    : QStringLiteral("Config Password Failure!"));
        EXPECT_EQ(StoredAccessPassword(env.config, AccessPassword::Config).isEmpty(), !c.stored);
        if (c.stored) {
            EXPECT_TRUE(AccessPasswordAccepts(env.config, AccessPassword::Config, QStringLiteral("Deck9")));
            EXPECT_FALSE(AccessPasswordAccepts(env.config, AccessPassword::Config, QStringLiteral("deck9")));
        }
    }
}

TEST(PasswordWindows, RemotePasswordIsStoredScrambledAndControlKeysAreDropped) {
    Env env;
    RemotePasswordForm form(env.config);
    form.show();
    QTest::keyClicks(&form.newField(), QStringLiteral("Sea1"));
    QTest::keyClick(&form.newField(), Qt::Key_A, Qt::ControlModifier); // Ctrl+A types code 1 in a terminal
    QTest::keyClick(&form.newField(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyClicks(&form.confirmField(), QStringLiteral("Sea1"));
    EXPECT_EQ(form.newField().text(), QStringLiteral("Sea1"));
    EXPECT_EQ(form.submit(), QStringLiteral("New Remote Password Registered OK!"));
    const QString stored = env.config.GetSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password"));
    EXPECT_EQ(stored, QStringLiteral("AC9A9ECE")); // 255 minus 'S' 'e' 'a' '1'
    EXPECT_EQ(UnscrambleRemotePassword(stored), QStringLiteral("Sea1"));

    RemotePasswordForm again(env.config);
    again.oldField().setText(QStringLiteral("wrong"));
    again.newField().setText(QStringLiteral("Other"));
    again.confirmField().setText(QStringLiteral("Other"));
    EXPECT_EQ(again.submit(), QStringLiteral("Remote Password Failure!"));
    EXPECT_EQ(env.config.GetSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password")), stored);
}
