#include "shell_test_app.h"

#include "app/runtime_rig.h"
#include "distress/distress_module.h"
#include "distress/distress_test_service.h"
#include "shell/distress_test_window.h"
#include "shell/latest_distress_window.h"
#include "status/session.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

class DistressTestWindows : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(rig.start().ok);
        service = &rig.runtime->distress().testMode();
        rig.session().SetMesConnected(true);
    }
    void reply(const QString& text) {
        rig.runtime->context().router().route(text, QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
    }

    test::RuntimeRig rig;
    DistressTestService* service = nullptr;
};

} // namespace

TEST_F(DistressTestWindows, TheTestWindowFollowsTheMachineAndCancels) {
    DistressModeForm form(*service);
    auto* cancel = form.findChild<QPushButton*>(QStringLiteral("CancelButton"));
    ASSERT_NE(cancel, nullptr);
    ASSERT_NE(form.findChild<QLabel*>(QStringLiteral("StatusLabel")), nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Distress Test Mode"));
    EXPECT_EQ(form.statusText(), QStringLiteral("Distress buttons test not running"));
    EXPECT_FALSE(form.isVisible());

    service->StartTest();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.statusText(), QStringLiteral("Initiating the Distress buttons test"));
    EXPECT_FALSE(cancel->isEnabled());

    reply(QStringLiteral("se -q 1\r\nDistress functionality disabled\r\ncan0:/$ "));
    EXPECT_EQ(form.statusText(), QStringLiteral("Distress buttons are under test.\nCancel the test mode if a real "
                                                "Distress Alert needs to be sent."));
    EXPECT_TRUE(cancel->isEnabled());

    rig.terminal().engine().queue().clear();
    cancel->click();
    EXPECT_EQ(rig.queue(), QStringLiteral("se -q 0\r\n"));
    EXPECT_EQ(form.statusText(), QStringLiteral("Cancelling the Distress buttons test"));
    EXPECT_FALSE(cancel->isEnabled());
    cancel->click(); // disabled: nothing more
    EXPECT_EQ(rig.queue(), QStringLiteral("se -q 0\r\n"));

    reply(QStringLiteral("se -q 0\r\nDistress functionality enabled\r\ncan0:/$ "));
    EXPECT_EQ(service->GetState(), 0);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(DistressTestWindows, LatestDistressWindowShowsTheMappedValues) {
    QWidget parent;
    ConnectLatestDistressWindow(*service, &parent);
    {
        LatestDistressForm fresh;
        EXPECT_EQ(fresh.alertText(), QStringLiteral("none"));
        EXPECT_EQ(fresh.testText(), QStringLiteral("none"));
    }
    service->RequestLatestDistress();
    reply(QStringLiteral("st -a\r\nLatest Distress     : \x02"
                         "accepted\x03\r\nLatest Distress test: \x02"
                         "rejected\x03\r\ncan0:/$ "));
    auto* form = parent.findChild<LatestDistressForm*>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Latest distress info"));
    EXPECT_EQ(form->alertText(), QStringLiteral("received by MRCC"));
    EXPECT_EQ(form->testText(), QStringLiteral("rejected"));
}
