#include "shell_test_app.h"

#include "app/runtime_rig.h"
#include "config/configuration.h"
#include "messaging/les_list_service.h"
#include "messaging/lists_module.h"
#include "shell/les_dialogs.h"
#include "shell/sending_dialog.h"
#include "status/session.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

class LesDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(rig.start().ok);
        service = rig.runtime->lists().lesLists();
        ASSERT_NE(service, nullptr);
        rig.session().SetMesConnected(true);
        rig.session().SetCurrentOcean(1);
    }
    // Answers the next question of a window and records what was asked.
    AskFunction answer(bool yes) {
        return [this, yes](const QString& text, const QString& title, std::function<void(bool)> done) {
            asked << title + u'|' + text;
            done(yes);
        };
    }
    void route(const QString& reply) {
        rig.runtime->context().router().route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
    }

    test::RuntimeRig rig;
    LesListService* service = nullptr;
    QStringList asked;
};

} // namespace

TEST_F(LesDialogs, ProviderWindowAddsChecksDeletesAndLoadsDefaults) {
    EmailServicesForm form(*service);
    ASSERT_EQ(form.providerList()->count(), 13);
    EXPECT_EQ(form.fieldEdit(ServiceProvider::Name)->text(), QStringLiteral("CTTC China"));
    EXPECT_EQ(form.fieldEdit(ServiceProvider::LesPacific)->text(), QStringLiteral("211"));
    EXPECT_FALSE(form.fieldEdit(ServiceProvider::Name)->isEnabled()); // the key is not edited in place

    // A name already taken is refused and nothing is written.
    const QByteArray before = rig.file(QStringLiteral("isp.dat"));
    form.newButton()->click();
    EXPECT_TRUE(form.fieldEdit(ServiceProvider::Name)->isEnabled());
    EXPECT_TRUE(form.fieldEdit(ServiceProvider::LesWest)->text().isEmpty());
    form.fieldEdit(ServiceProvider::Name)->setText(QStringLiteral("OTE Greece"));
    form.addButton()->click();
    EXPECT_EQ(form.problemText(), QStringLiteral("Provider Name already exists. Please choose another name"));
    EXPECT_EQ(rig.file(QStringLiteral("isp.dat")), before);

    form.fieldEdit(ServiceProvider::Name)->setText(QStringLiteral("Harbour Mail"));
    form.fieldEdit(ServiceProvider::LesEast)->setText(QStringLiteral("112"));
    form.fieldEdit(ServiceProvider::Address)->setText(QStringLiteral("28"));
    form.addButton()->click();
    EXPECT_EQ(form.problemText(), QString());
    EXPECT_EQ(form.providerList()->count(), 14);
    EXPECT_TRUE(rig.file(QStringLiteral("isp.dat")).contains("\r\nHarbour Mail||112|||||||||28|||||\r\n"));

    // Delete asks first; "no" keeps the provider.
    form.providerList()->setCurrentRow(13);
    form.setAsker(answer(false));
    form.deleteButton()->click();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0],
              QStringLiteral("Delete confirmation!|Do you want to delete the Service Provider: Harbour Mail"));
    EXPECT_EQ(form.providerList()->count(), 14);
    form.setAsker(answer(true));
    form.deleteButton()->click();
    EXPECT_EQ(form.providerList()->count(), 13);
    EXPECT_FALSE(rig.file(QStringLiteral("isp.dat")).contains("Harbour Mail"));

    // Load Default asks with both lines and rewrites the file.
    form.providerList()->setCurrentRow(0);
    form.fieldEdit(ServiceProvider::ToPrefix)->setText(QStringLiteral("AN:"));
    form.saveButton()->click();
    EXPECT_TRUE(rig.file(QStringLiteral("isp.dat")).contains("CTTC China|||211|311|AN:|"));
    form.loadDefaultButton()->click();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_TRUE(asked[2].contains(QStringLiteral(
        "Are you sure you want to load default e-mail service providers ?\r\nAll other service providers "
        "will be lost.")));
    EXPECT_FALSE(rig.file(QStringLiteral("isp.dat")).contains("AN:"));
}

TEST_F(LesDialogs, LesWindowAddsAndDeletesTheMarkedRows) {
    LesListForm form(*service);
    form.setAsker(answer(true));
    EXPECT_EQ(form.tabs()->currentIndex(), 1); // the ocean logged in to
    ASSERT_EQ(form.list(2)->count(), 9);
    form.tabs()->setCurrentIndex(2);
    form.idEdit()->setText(QStringLiteral("122"));
    form.nameEdit()->setText(QStringLiteral("Wrong ocean"));
    form.addButton()->click();
    EXPECT_FALSE(form.problemText().isEmpty());
    form.idEdit()->setText(QStringLiteral("222"));
    form.nameEdit()->setText(QStringLiteral("New Station"));
    form.addButton()->click();
    EXPECT_EQ(form.problemText(), QString());
    ASSERT_EQ(form.list(2)->count(), 10);

    form.list(2)->item(0)->setCheckState(Qt::Checked);
    form.list(2)->item(9)->setCheckState(Qt::Checked);
    form.deleteButton()->click();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(form.list(2)->count(), 8);
    EXPECT_TRUE(rig.file(QStringLiteral("les_por.dat")).startsWith("202|Burum\r\n"));
    EXPECT_FALSE(rig.file(QStringLiteral("les_por.dat")).contains("222|"));
}

TEST_F(LesDialogs, DefaultLesAndProviderAreStored) {
    DefaultLesForm les(*service);
    QComboBox* east = les.box(1);
    EXPECT_EQ(east->currentData().toString(), QStringLiteral("000")); // a new configuration
    east->setCurrentIndex(east->findData(QStringLiteral("105")));
    EXPECT_EQ(east->currentText(), QStringLiteral("105 Fucino"));
    les.apply();
    EXPECT_EQ(rig.runtime->config().GetIni(QStringLiteral("[Default LES East]")), QStringLiteral("105"));
    EXPECT_EQ(rig.runtime->config().GetIni(QStringLiteral("[Default LES West]")), QStringLiteral("000"));

    DefaultProviderForm provider(*service);
    provider.box()->setCurrentIndex(provider.box()->findText(QStringLiteral("OTE Greece")));
    EXPECT_TRUE(provider.lesLabel()->text().startsWith(QStringLiteral("West: -   East: 120")));
    provider.apply();
    EXPECT_EQ(rig.runtime->config().GetIni(QStringLiteral("[Default ISP]")), QStringLiteral("OTE Greece"));
}

TEST_F(LesDialogs, ServicesWindowShowsTheAnswer) {
    LesServicesForm form(*service);
    form.lesBox()->setCurrentIndex(form.lesBox()->findData(QStringLiteral("105")));
    form.askButton()->click();
    EXPECT_TRUE(rig.queue().contains(QStringLiteral("status -n")));
    route(QStringLiteral("status -n\r\nLES id 104 Eik\r\n  Services : Telex\r\n\r\n"
                         "LES id 105 Fucino\r\n  Services : Fax\r\n\r\ncan0:/$ "));
    EXPECT_EQ(form.text()->toPlainText(), QStringLiteral("LES id 105 Fucino\n  Services : Fax"));
    form.askButton()->click();
    route(QStringLiteral("status -n\r\nLES id 104 Eik\r\n\r\ncan0:/$ "));
    EXPECT_EQ(form.text()->toPlainText(), QStringLiteral("LES services not found"));
}

TEST_F(LesDialogs, SendingDialogOffersTheOceansLessByName) {
    CConfiguration& config = rig.runtime->config();
    route(QStringLiteral("st -n\r\nLES id ") + QChar(2) + QStringLiteral("102") + QChar(3) +
          QStringLiteral("\r\nLES id ") + QChar(2) + QStringLiteral("112") + QChar(3) + QStringLiteral("\r\ncan0:/$ "));
    {
        // No default LES yet: the list is offered and nothing is chosen for the operator.
        SendingDialog dialog(config, 1, false);
        QComboBox* les = dialog.lesBox();
        ASSERT_EQ(les->count(), 2);
        EXPECT_EQ(les->itemText(0), QStringLiteral("102 Burum"));
        EXPECT_EQ(les->currentIndex(), -1);
        les->setCurrentIndex(1);
        dialog.storeChoices();
        EXPECT_EQ(config.DefaultLes(1), QStringLiteral("112"));
    }
    SendingDialog again(config, 1, false);
    EXPECT_EQ(again.lesBox()->currentData().toString(), QStringLiteral("112"));
    SendingDialog notLoggedIn(config, 4, false);
    EXPECT_FALSE(notLoggedIn.lesBox()->isEnabled());
}

TEST_F(LesDialogs, MenuOpensEachWindowModeless) {
    QWidget parent;
    const LesWindow windows[] = {LesWindow::LesList, LesWindow::Providers, LesWindow::DefaultLes,
                                 LesWindow::DefaultProvider, LesWindow::Services};
    for (LesWindow w : windows) {
        SCOPED_TRACE(int(w));
        QDialog* dialog = OpenLesWindow(w, *service, &parent);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->isModal());
        EXPECT_TRUE(dialog->testAttribute(Qt::WA_DeleteOnClose));
        dialog->close();
    }
}
