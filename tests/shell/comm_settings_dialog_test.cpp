// The comm-settings dialog's LAN page with network discovery: showing the page searches and fills the list,
// picking an address asks it what it is. The tool is a script with canned answers.
#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "link/lan_discovery.h"
#include "shell/comm_settings_dialog.h"
#include "shell_test_app.h"

#include <QComboBox>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {
struct DialogRig {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/");
    CConfiguration config{path, true};
    SystemClock clock;
    cErrorLog errorLog{path, clock};
    LanDiscovery discovery{config, errorLog};

    DialogRig() {
        test::App();
        const QString tool = path + QStringLiteral("slp-tool.sh");
        QFile f(tool);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"SH(#!/bin/sh
case "$*" in
*findsrvs*) echo "service:device.devsvc://10.0.0.1,65535"; echo "service:device.devsvc://10.0.0.2,65535";;
*"-u 10.0.0.2 "*) echo "(device-model=7302),(device-sw-version=1.07)";;
*) echo "(device-model=4711),(device-sw-version=2.00)";;
esac
)SH");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Tool"), tool);
        config.SaveSettingValue(QStringLiteral("SLP"), QStringLiteral("Targets"), QStringLiteral("127.0.0.9"));
        config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("COM"));
    }
};
} // namespace

TEST(CommSettingsDialog, TheLanPageFillsTheListFromDiscoveryAndChecksAPickedAddress) {
    DialogRig rig;
    CommSettingsDialog dialog(rig.config, {});
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.setDiscovery(&rig.discovery);
    auto* tabs = dialog.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_FALSE(rig.discovery.searching()) << "the serial page is shown: no search yet";
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(rig.discovery.searching());
    EXPECT_TRUE(dialog.lanStatusText().contains(QLatin1String("Searching")));
    ASSERT_TRUE(QTest::qWaitFor([&rig] { return !rig.discovery.searching(); }, 10000));
    EXPECT_EQ(dialog.lanStatusText(), QStringLiteral("Transceivers found: 1."));

    QComboBox* list = nullptr;
    for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
        if (box->isEditable())
            list = box;
    }
    ASSERT_NE(list, nullptr);
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("0.0.0.0"), QStringLiteral("10.0.0.2")}))
        << "only the supported unit is offered";

    Q_EMIT list->activated(1);
    EXPECT_EQ(dialog.lanStatusText(), QStringLiteral("Checking 10.0.0.2 ..."));
    ASSERT_TRUE(
        QTest::qWaitFor([&dialog] { return !dialog.lanStatusText().startsWith(QLatin1String("Checking")); }, 10000));
    EXPECT_EQ(dialog.lanStatusText(), QStringLiteral("10.0.0.2 is a supported transceiver, software version 1.07."));
    EXPECT_EQ(rig.config.GetTcuSwMinor(), 7);

    list->setEditText(QStringLiteral("10.0.0.1"));
    list->addItem(QStringLiteral("10.0.0.1"));
    Q_EMIT list->activated(2);
    ASSERT_TRUE(
        QTest::qWaitFor([&dialog] { return !dialog.lanStatusText().startsWith(QLatin1String("Checking")); }, 10000));
    EXPECT_EQ(dialog.lanStatusText(), QStringLiteral("No supported transceiver answers at 10.0.0.1."));
}
