// The DNID, message-reporting and program windows, offscreen, on the runtime with in-memory links.
#include "shell_test_app.h"

#include "app/runtime_rig.h"
#include "config/access_password.h"
#include "messaging/address_book.h"
#include "messaging/message_store.h"
#include "reporting/reporting_module.h"
#include "reporting/reporting_replies.h"
#include "shell/dnid_window.h"
#include "shell/message_reporting_dialog.h"
#include "shell/password_prompt.h"
#include "shell/report_program_windows.h"
#include "status/session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

class ReportingWindows : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        parentWidget = std::make_unique<QWidget>();
        ASSERT_TRUE(rig.start().ok);
        rig.session().SetMesConnected(true);
        ConnectReportingWindows(rig.runtime->reporting(), &parent());
    }
    void reply(const QString& text) {
        rig.runtime->context().router().route(text, QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
    }
    template <typename T> QList<T*> windows() {
        return parent().findChildren<T*>(QString(), Qt::FindDirectChildrenOnly);
    }
    QWidget& parent() { return *parentWidget; }
    ReportingModule& module() { return rig.runtime->reporting(); }

    test::RuntimeRig rig;
    std::unique_ptr<QWidget> parentWidget;
};

} // namespace

TEST_F(ReportingWindows, DnidWindowShowsTheListAndSendsOnlyChangedRows) {
    OpenDnidListMenu(rig.runtime->config(), module(), &parent());
    EXPECT_TRUE(rig.queue().contains(QStringLiteral("st -d")));
    rig.terminal().engine().queue().clear();
    reply(test::DnidReply());
    ASSERT_EQ(windows<DNIDForm>().size(), 1);
    DNIDForm& form = *windows<DNIDForm>().at(0);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("DNID List"));
    const QList<QLabel*> providers = form.findChildren<QLabel*>(QStringLiteral("LabelProvider"));
    ASSERT_EQ(providers.size(), 3);
    // The ampersand is shown, not taken as a mnemonic.
    EXPECT_EQ(providers.at(0)->text(), QStringLiteral("Fleet Tracking & Co"));
    EXPECT_EQ(providers.at(0)->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.findChildren<QLabel*>(QStringLiteral("LabelNo")).at(1)->text(), QStringLiteral("2."));
    EXPECT_EQ(form.findChildren<QLabel*>(QStringLiteral("LabelStatus")).at(1)->text(), QStringLiteral("Disabled"));
    EXPECT_EQ(form.findChildren<QLabel*>(QStringLiteral("LabelMember")).at(0)->text(), QStringLiteral("7"));
    EXPECT_EQ(child<QLabel>(form, QStringLiteral("Heading6"))->text(), QStringLiteral("Random"));

    // Ticked and unticked again: nothing for that row.
    child<QCheckBox>(form, QStringLiteral("CheckEnabled1"))->click();
    child<QCheckBox>(form, QStringLiteral("CheckEnabled1"))->click();
    child<QCheckBox>(form, QStringLiteral("CheckEnabled2"))->click();
    clickOk(form);
    EXPECT_EQ(rig.queue(), QStringLiteral("st -d D405,777,1,0\r\n"));
}

TEST_F(ReportingWindows, EmptyDnidListSaysSo) {
    module().OpenDnidList();
    reply(QStringLiteral("st -d\r\nNo list\r\ncan0:/$ "));
    ASSERT_EQ(windows<DNIDForm>().size(), 1);
    EXPECT_EQ(child<QLabel>(*windows<DNIDForm>().at(0), QStringLiteral("EmptyLabel"))->text(),
              QStringLiteral("No DNID's in mobile."));
}

TEST_F(ReportingWindows, ConfigPasswordGuardsTheReportingMenus) {
    ASSERT_TRUE(ChangeAccessPassword(rig.runtime->config(), AccessPassword::Config, {}, QStringLiteral("pw"),
                                     QStringLiteral("pw")));
    OpenDnidListMenu(rig.runtime->config(), module(), &parent());
    OpenPositionReportsMenu(rig.runtime->config(), module(), &parent());
    OpenMessageReportingMenu(rig.runtime->config(), module(), &parent());
    EXPECT_TRUE(rig.queue().isEmpty());
    const QList<PasswordPrompt*> prompts = parent().findChildren<PasswordPrompt*>();
    ASSERT_EQ(prompts.size(), 3);
    prompts.at(0)->field().setText(QStringLiteral("pw"));
    prompts.at(0)->submit();
    prompts.at(1)->field().setText(QStringLiteral("pw"));
    prompts.at(1)->submit();
    prompts.at(2)->field().setText(QStringLiteral("pw"));
    prompts.at(2)->submit();
    EXPECT_EQ(rig.queue(), QStringLiteral("st -d\r\npg -d\r\nse -z posformat=pu\r\nrs\r\n"));
}

TEST_F(ReportingWindows, MessageReportingFiltersInputAndSendsTheBatch) {
    const QString folder = StoreFolderPath(rig.runtime->config(), kAddressBookKey);
    QDir().mkpath(folder);
    ASSERT_TRUE(
        SaveAddressBook(folder, {{QStringLiteral("Fleet"), 6, 1, QStringLiteral("12345"), QStringLiteral("7")}}));
    OpenMessageReportingMenu(rig.runtime->config(), module(), &parent());
    rig.terminal().engine().queue().clear();
    reply(test::RsReply());
    ASSERT_EQ(windows<MessageReportingForm>().size(), 1);
    MessageReportingForm& form = *windows<MessageReportingForm>().at(0);
    auto* hour = child<QLineEdit>(form, QStringLiteral("HourOfDayText"));
    EXPECT_EQ(hour->text(), QStringLiteral("12"));
    EXPECT_FALSE(hour->toolTip().isEmpty());
    hour->clear();
    QTest::keyClicks(hour, QStringLiteral("6a,1 8*"));
    EXPECT_EQ(hour->text(), QStringLiteral("6,18*"));
    auto* password = child<QLineEdit>(form, QStringLiteral("PINCodeText"));
    password->clear();
    QTest::keyClicks(password, QStringLiteral("x7y-"));
    EXPECT_EQ(password->text(), QStringLiteral("7y"));
    EXPECT_TRUE(child<QCheckBox>(form, QStringLiteral("rsFunctionCheck"))->isChecked());

    EXPECT_EQ(child<QComboBox>(form, QStringLiteral("rsDestinationAddressText"))->currentText(),
              QStringLiteral("Fleet"));
    child<QCheckBox>(form, QStringLiteral("rsFunctionCheck"))->click();
    clickOk(form);
    EXPECT_EQ(rig.queue(), QStringLiteral("rs -f 6\r\nrs -m 1-6 -d *\r\nrs -w 1,3 -h 6,18*\r\n"
                                          "rs -u 30 -n 1 -v 0 -p 7y\r\nrs -e 12345 -t 5 -l 0 -a 12345 -f 0\r\n"));
    EXPECT_FALSE(form.isVisible());

    reply(QStringLiteral("rs\r\nINFO 999: Message reporting not supported\r\ncan0:/$ "));
    QMessageBox* box = parent().findChild<QMessageBox*>(QStringLiteral("NoMsgRepForm"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Message Reporting Not Supported!"));
    EXPECT_TRUE(windows<MessageReportingForm>().isEmpty() || !windows<MessageReportingForm>().at(0)->isVisible());
}

TEST_F(ReportingWindows, ProgramWindowFollowsTheListingAndNewOpensTheProgramming) {
    OpenPositionReportsMenu(rig.runtime->config(), module(), &parent());
    reply(test::ListingReply());
    ASSERT_EQ(windows<PUReportingForm>().size(), 1);
    PUReportingForm& form = *windows<PUReportingForm>().at(0);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("PU Reporting Setup"));
    const PUReportingForm::SlotWidgets& s0 = form.slotWidgets(0);
    EXPECT_EQ(s0.type->text(), QStringLiteral("Type: PU-Local"));
    EXPECT_EQ(s0.status->text(), QStringLiteral("Status: Started"));
    EXPECT_TRUE(s0.dnids[0]->text().trimmed() == QStringLiteral("West:"));
    EXPECT_TRUE(s0.dnids[1]->text().contains(QStringLiteral("105")));
    EXPECT_TRUE(s0.stop->isEnabled());
    EXPECT_FALSE(s0.start->isEnabled());
    EXPECT_FALSE(form.slotWidgets(1).remove->isEnabled());
    EXPECT_TRUE(form.slotWidgets(2).newButton->isEnabled());

    // Read again: the same window shows the new state.
    QString stopped = test::ListingReply();
    stopped.replace(QStringLiteral("PU-Local  PU[i]"), QStringLiteral("PU-Local  PU[s]"));
    reply(stopped);
    ASSERT_EQ(windows<PUReportingForm>().size(), 1);
    EXPECT_EQ(s0.status->text(), QStringLiteral("Status: Stopped"));
    EXPECT_TRUE(s0.start->isEnabled());

    rig.terminal().engine().queue().clear();
    form.slotWidgets(2).newButton->click();
    EXPECT_EQ(rig.queue(), QStringLiteral("st -d\r\n"));
    reply(test::DnidReply());
    EXPECT_TRUE(windows<DNIDForm>().isEmpty());
    ASSERT_EQ(windows<DNIDPUProgramForm>().size(), 1);
    DNIDPUProgramForm& program = *windows<DNIDPUProgramForm>().at(0);
    EXPECT_EQ(program.windowTitle(), QStringLiteral("PU Program 3"));
    EXPECT_EQ(program.ocean(0).itemText(0), QStringLiteral("No DNID for this ocean"));
    EXPECT_EQ(program.ocean(1).itemText(0), QStringLiteral("Choose DNID from list"));
    program.ocean(1).setCurrentIndex(1);
    program.startHour().setText(QStringLiteral("24"));
    program.intervalMinute().setText(QStringLiteral("1"));
    rig.terminal().engine().queue().clear();
    program.submit();
    EXPECT_EQ(program.startHour().text(), QStringLiteral("00"));
    EXPECT_EQ(rig.queue(), QStringLiteral("pg -o \"102,12345,007\"\r\npg -p 2,20\r\npg -i 2,P\r\npg -d\r\n"
                                          "se -z posformat=pu\r\n"));

    reply(QStringLiteral("pg -d 1\r\nProgram 2 status\r\nType    : PU-Remote\r\ncan0:/$ "));
    ASSERT_EQ(windows<ProgramStatusForm>().size(), 1);
    EXPECT_EQ(windows<ProgramStatusForm>().at(0)->windowTitle(), QStringLiteral("Program 2 Status"));
    EXPECT_EQ(windows<ProgramStatusForm>().at(0)->text(), QStringLiteral("Program 2 status\nType    : PU-Remote\n"));
}

TEST_F(ReportingWindows, WithoutTransceiverTheProgramWindowHasNoButtons) {
    rig.session().SetMesConnected(false);
    OpenPositionReportsMenu(rig.runtime->config(), module(), &parent());
    ASSERT_EQ(windows<PUReportingForm>().size(), 1);
    for (int slot = 0; slot < 4; ++slot) {
        const PUReportingForm::SlotWidgets& w = windows<PUReportingForm>().at(0)->slotWidgets(slot);
        for (QPushButton* b : {w.newButton, w.start, w.stop, w.remove, w.statusButton})
            EXPECT_FALSE(b->isEnabled());
    }
    EXPECT_TRUE(rig.queue().isEmpty());
}
