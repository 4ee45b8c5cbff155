#include "shell_test_app.h"

#include "app/runtime_rig.h"
#include "distress/distress_generator_service.h"
#include "distress/distress_module.h"
#include "messaging/messaging_module.h"
#include "messaging/out_idx.h"
#include "messaging/outbox.h"
#include "shell/distress_windows.h"
#include "shell/outbox_model.h"
#include "status/identity.h"
#include "status/session.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

template <typename T> T* child(QWidget& parent, const QString& name) {
    T* w = parent.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void clickOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

const QString kListing = QStringLiteral("se -g\r\nParameters for Distress Alert\r\n"
                                        "Current LES/NCS Id: 102\r\n"
                                        "Nature of Distress: C  Collision\r\n"
                                        "Position          : 54 20 50 N 10 8 5 E\r\n"
                                        "Time of Position  : 9:05\r\n"
                                        "Course            : 275 deg/true\r\n"
                                        "Speed             : 12 knots\r\ncan0:/$ ");

class DistressWindows : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(rig.start().ok);
        service = &rig.runtime->distress().generator();
        rig.session().SetMesConnected(true);
        TransceiverIdentity id;
        id.ProductType = 2;
        id.MobileType = 2;
        rig.session().SetIdentity(id);
        rig.session().SetCurrentOcean(1);
    }
    void reply(const QString& text) {
        rig.runtime->context().router().route(text, QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
    }
    QLineEdit* edit(QWidget& w, const char* name) { return child<QLineEdit>(w, QLatin1String(name)); }
    // The validation box the form opened, closed again; its title and text.
    QString takeBox(QWidget& form) {
        auto* box = form.findChild<QMessageBox*>(QStringLiteral("ValidationBox"));
        if (!box)
            return {};
        const QString text = box->windowTitle() + u'|' + box->text();
        box->setObjectName(QString());
        box->close();
        return text;
    }

    test::RuntimeRig rig;
    DistressGeneratorService* service = nullptr;
};

} // namespace

TEST_F(DistressWindows, MaritimeFormShowsValidatesAndSends) {
    reply(kListing);
    DistressGeneratorForm form(*service);
    EXPECT_EQ(edit(form, "LatDegText")->text(), QStringLiteral("54"));
    EXPECT_EQ(edit(form, "OestVestText")->text(), QStringLiteral("E"));
    EXPECT_EQ(edit(form, "TOPHourText")->text(), QStringLiteral("09"));
    EXPECT_EQ(edit(form, "SpeedText")->text(), QStringLiteral("12"));
    EXPECT_TRUE(child<QRadioButton>(form, QStringLiteral("ReasonOption3"))->isChecked()); // C
    EXPECT_EQ(child<QLabel>(form, QStringLiteral("UpdatedLabel"))->text(), QStringLiteral("Updated at: 9:05"));
    EXPECT_EQ(child<QComboBox>(form, QStringLiteral("DistressLesList1"))->currentText(), QStringLiteral("102, Burum"));
    EXPECT_EQ(child<QComboBox>(form, QStringLiteral("DistressLesList2"))->currentText(),
              QStringLiteral("Please choose LES"));

    // The filters keep digits in the numeric fields and N or S in the hemisphere.
    edit(form, "CourseText")->clear();
    QTest::keyClicks(edit(form, "CourseText"), QStringLiteral("1x2-3"));
    EXPECT_EQ(edit(form, "CourseText")->text(), QStringLiteral("123"));
    edit(form, "NordSydText")->clear();
    QTest::keyClicks(edit(form, "NordSydText"), QStringLiteral("qs"));
    EXPECT_EQ(edit(form, "NordSydText")->text(), QStringLiteral("S"));

    // A field out of range: the box, the focus on the field, nothing sent, the window open.
    form.show();
    edit(form, "TOPMinText")->setText(QStringLiteral("60"));
    clickOk(form);
    EXPECT_EQ(takeBox(form),
              QStringLiteral("Validation error|Error: Minutes field must contain a value between 0 and 59"));
    EXPECT_EQ(form.focusWidget(), edit(form, "TOPMinText"));
    EXPECT_TRUE(rig.queue().isEmpty());
    EXPECT_TRUE(form.isVisible());

    edit(form, "TOPMinText")->setText(QStringLiteral("7"));
    child<QRadioButton>(form, QStringLiteral("ReasonOption10"))->setChecked(true);
    clickOk(form);
    EXPECT_EQ(takeBox(form), QString());
    EXPECT_EQ(rig.queue(), QStringLiteral("se -g 102,P,S,54,20,50,E,10,8,5,09,7,123,12\r\nse -g\r\n"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(DistressWindows, GpsPositionSendsTheFixedValues) {
    rig.runtime->config().SetLastOcean(1);
    reply(kListing);
    DistressGeneratorForm form(*service);
    child<QRadioButton>(form, QStringLiteral("RadioUseGPS"))->setChecked(true);
    EXPECT_FALSE(edit(form, "LatDegText")->isEnabled());
    edit(form, "LatDegText")->setText(QStringLiteral("99")); // ignored with GPS
    clickOk(form);
    EXPECT_EQ(rig.queue(), QStringLiteral("se -g 102,C,S,127,63,0,W,255,63,0,23,59,359,180\r\nse -g\r\n"));
}

TEST_F(DistressWindows, LandMobileWindowsShowTheRepliesAndSend) {
    const QString params = QStringLiteral("se -m \r\nLand Station number      : ") + QChar(2) + QStringLiteral("105") +
                           QChar(3) + QStringLiteral("\r\nNature of distress       : Hijack (Maritime Grounding)\r\n");
    reply(params);
    reply(QStringLiteral("se -m ALL_OCEANS\r\nDistress alert LES per ocean region\r\n"
                         "LES IDs           : 000,112,210,999\r\ncan0:/$ "));

    DistressGeneratorLMForm lm(*service);
    EXPECT_EQ(child<QComboBox>(lm, QStringLiteral("LandStationCombo"))->currentText(), QStringLiteral("105, Fucino"));
    auto* nature = child<QComboBox>(lm, QStringLiteral("DistressNatureCombo"));
    EXPECT_EQ(nature->currentText(), QStringLiteral("Hijack"));
    nature->setCurrentIndex(8);
    clickOk(lm);
    EXPECT_EQ(rig.queue(), QStringLiteral("se -m ?\r\n105\r\n\r\nA\r\n"));
    rig.terminal().engine().queue().clear();

    Option112Form settings(*service);
    EXPECT_EQ(settings.windowTitle(), QStringLiteral("Landmobile Alert Settings"));
    EXPECT_EQ(child<QComboBox>(settings, QStringLiteral("AORWCombo"))->currentText(), QStringLiteral("000, None"));
    EXPECT_EQ(child<QComboBox>(settings, QStringLiteral("AORECombo"))->currentText(), QStringLiteral("112, Burum"));
    EXPECT_EQ(child<QComboBox>(settings, QStringLiteral("IORCombo"))->currentText(), QStringLiteral("999"))
        << "an LES the list lacks is added";
    EXPECT_EQ(child<QComboBox>(settings, QStringLiteral("DistressNatureCombo"))->currentText(),
              QStringLiteral("Hijack"));
    clickOk(settings);
    EXPECT_EQ(rig.queue(), QStringLiteral("se -m 000,112,210,999\r\nse -m 112,n,G\r\n"));
}

TEST_F(DistressWindows, WarningOpensTheGeneratorOnceRead) {
    QWidget parent;
    ConnectDistressWindows(*service, &parent);
    DistressInfoForm info(*service, &parent);
    EXPECT_EQ(info.windowTitle(), QStringLiteral("Distress Info."));
    clickOk(info);
    EXPECT_EQ(rig.queue(), QStringLiteral("st -i\r\nst -n\r\n\r\nse -g\r\n"));
    EXPECT_EQ(parent.findChild<DistressGeneratorForm*>(), nullptr);
    reply(kListing);
    auto* form = parent.findChild<DistressGeneratorForm*>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    // A failed read closes it again.
    reply(QStringLiteral("se -g\r\nERROR 120: Unknown command\r\ncan0:/$ "));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(DistressWindows, RecordedAlertIsRedInSentItems) {
    rig.session().SetLoggedIn(true);
    rig.infoReply(QStringLiteral("INFO 22: Sending Distress Alert"));
    reply(kListing);
    OutboxModel model;
    model.setFile(rig.runtime->messaging().outbox().indexPath());
    ASSERT_EQ(model.rowCount(), 1);
    int status = -1;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.data(model.index(0, c), Qt::DisplayRole).toString() == u"Sending")
            status = c;
    ASSERT_GE(status, 0);
    EXPECT_EQ(model.data(model.index(0, status), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
}
