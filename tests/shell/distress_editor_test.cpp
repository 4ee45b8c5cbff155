// The distress message editor: its two dialogs, distress mode in the message editor and leaving it, and the
// sending dialog's locked priority.
#include "shell_test_app.h"

#include "config/configuration.h"
#include "messaging/distress_message.h"
#include "shell/distress_editor.h"
#include "shell/message_editor.h"
#include "shell/sending_dialog.h"
#include "status/session.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tessaro;

namespace {

class DistressEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_dir.isValid());
        m_config = std::make_unique<CConfiguration>(m_dir.path() + QLatin1Char('/'), false,
                                                    m_dir.filePath(QStringLiteral("settings.ini")));
        m_editor = new MessageEditor(*m_config);
        m_editor->addRecipient({FieldTo, EMail, QStringLiteral("master@shipowner.example")});
        m_editor->addRecipient({FieldCc, Telex, QStringLiteral("+4712345678")});
        m_editor->addRecipient({FieldBcc, Fax, QStringLiteral("4798765432")});
        m_editor->setSubject(QStringLiteral("Noon report"));
        m_before = m_editor->message();
        m_controller = std::make_unique<DistressEditorController>(*m_config, m_session, [this] {
            ++m_opened;
            return m_editor.data();
        });
    }
    void TearDown() override {
        m_controller.reset();
        delete m_editor;
    }
    // Clicks the button and answers the first dialog.
    void openAnswering(bool yes) {
        m_controller->DistressEditorButton_Click();
        ASSERT_NE(m_controller->info1(), nullptr);
        (yes ? m_controller->info1()->yesButton() : m_controller->info1()->noButton())->click();
    }
    void expectAsBefore(const char* when) {
        const OutgoingMessage now = m_editor->message();
        ASSERT_EQ(now.recipients.size(), m_before.recipients.size()) << when;
        for (qsizetype i = 0; i < now.recipients.size(); ++i) {
            EXPECT_EQ(now.recipients[i].field, m_before.recipients[i].field) << when;
            EXPECT_EQ(now.recipients[i].type, m_before.recipients[i].type) << when;
            EXPECT_EQ(now.recipients[i].address, m_before.recipients[i].address) << when;
        }
        EXPECT_EQ(now.subject, m_before.subject) << when;
        EXPECT_EQ(m_session.MessagePriority(), 0) << when;
        EXPECT_FALSE(m_editor->recipientsLocked()) << when;
        EXPECT_FALSE(m_editor->recipientColour(0).isValid()) << when;
        EXPECT_FALSE(m_controller->active()) << when;
    }

    QTemporaryDir m_dir;
    CSession m_session;
    std::unique_ptr<CConfiguration> m_config;
    QPointer<MessageEditor> m_editor;
    OutgoingMessage m_before;
    std::unique_ptr<DistressEditorController> m_controller;
    int m_opened = 0;
};

TEST_F(DistressEditorTest, NoLeavesTheEditorAndEveryFieldAsItWas) {
    m_controller->DistressEditorButton_Click();
    DistressEditorInfo1* info = m_controller->info1();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_TRUE(info->isModal());
    EXPECT_EQ(info->text(),
              QStringLiteral("Continue to Distress Message Editor ?\n\nA message with distress priority "
                             "will automatically be sent to Maritime Rescue Coordination Centre (MRCC)."));
    EXPECT_EQ(info->yesButton()->text(), QStringLiteral("Yes"));
    EXPECT_EQ(info->noButton()->text(), QStringLiteral("No"));
    // A second click while the question is up asks nothing twice.
    m_controller->DistressEditorButton_Click();
    EXPECT_EQ(m_controller->info1(), info);

    info->noButton()->click();
    EXPECT_EQ(info->result(), DistressEditorInfo1::kNo);
    EXPECT_EQ(m_opened, 0) << "the main window stays where it was";
    EXPECT_EQ(m_controller->info2(), nullptr);
    EXPECT_TRUE(m_editor->body().isEmpty());
    expectAsBefore("after No");
}

TEST_F(DistressEditorTest, YesPutsTheEditorIntoDistressModeWithTheShipsData) {
    m_config->SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselName"), QStringLiteral("Aurora"));
    m_config->SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("VesselCargo"), QStringLiteral("Timber"));
    m_session.SetMobileNumber(423456789);
    m_session.SetMesConnected(true);
    m_session.SetPos(QStringLiteral("55 40 12 N 12 5 30 E"), QStringLiteral("270"), QStringLiteral("09:04"),
                     QStringLiteral("12"), true);

    openAnswering(true);
    EXPECT_EQ(m_opened, 1) << "the main window switches to the editor";
    EXPECT_EQ(m_session.MessagePriority(), kDistressPriority);
    EXPECT_TRUE(m_controller->active());
    DistressEditorInfo2* important = m_controller->info2();
    ASSERT_NE(important, nullptr);
    EXPECT_TRUE(important->isVisible());
    EXPECT_EQ(important->windowTitle(), QStringLiteral("Important"));
    EXPECT_EQ(important->text(),
              QStringLiteral("Please make sure that the distress priority message is written in English."));
    EXPECT_EQ(important->okButton()->text(), QStringLiteral("OK"));

    // The rescue centre is the one recipient, red and locked.
    EXPECT_EQ(m_editor->toText(), QStringLiteral("SEARCH & RESCUE;"));
    ASSERT_EQ(m_editor->recipientCount(), 1) << "no Cc or Bcc goes out at distress priority";
    EXPECT_EQ(m_editor->message().recipients[0].type, Telex);
    EXPECT_TRUE(m_editor->recipientsLocked());
    EXPECT_EQ(m_editor->recipientColour(0), QColor(255, 0, 0));
    m_editor->addRecipient({FieldCc, EMail, QStringLiteral("someone@example.org")});
    EXPECT_EQ(m_editor->recipientCount(), 1) << "nothing is added while locked";
    EXPECT_EQ(m_editor->message().subject, QStringLiteral("Noon report"));

    EXPECT_EQ(m_editor->body(), QStringLiteral("Position: 55,40.12N , 12,5.30E\n"
                                               "Mobile No.: 423456789\n"
                                               "Vessel name: Aurora\n"
                                               "Vessel type: \n"
                                               "Flag: \n"
                                               "Destination: \n"
                                               "Cargo: Timber\n"
                                               "Comment: \n"));
    important->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_controller->info2(), nullptr);

    // Leaving brings back what was there; the body written meanwhile stays.
    m_editor->setSubject(QStringLiteral("MAYDAY"));
    QPointer<QPushButton> leaveButton = m_editor->findChild<QPushButton*>(QStringLiteral("leaveDistressEditor"));
    ASSERT_NE(leaveButton, nullptr);
    EXPECT_EQ(leaveButton->text(), QStringLiteral("&Leave Distress Editor"));
    leaveButton->click();
    expectAsBefore("after leaving");
    EXPECT_TRUE(m_editor->body().startsWith(QLatin1String("Position: 55,40.12N")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(leaveButton.isNull()) << "the distress notice is gone";
    // And recipients can be added again.
    m_editor->addRecipient({FieldCc, EMail, QStringLiteral("someone@example.org")});
    EXPECT_EQ(m_editor->recipientCount(), m_before.recipients.size() + 1);
}

TEST_F(DistressEditorTest, NoPositionIsInsertedWithoutTheTransceiver) {
    m_session.SetMobileNumber(423456789);
    m_session.SetPos(QStringLiteral("55 40 12 N 12 5 30 E"), QStringLiteral("270"), QStringLiteral("09:04"),
                     QStringLiteral("12"), true);
    openAnswering(true);
    EXPECT_TRUE(m_editor->body().startsWith(QLatin1String("Mobile No.: 423456789\nVessel name: \n")))
        << m_editor->body().toStdString();
}

TEST_F(DistressEditorTest, OpeningTwiceKeepsTheFieldsSavedTheFirstTime) {
    openAnswering(true);
    m_controller->info2()->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QString body = m_editor->body();

    // Already at distress priority: no question, the reminder again, nothing saved or inserted a second time.
    m_controller->DistressEditorButton_Click();
    EXPECT_EQ(m_controller->info1(), nullptr);
    ASSERT_NE(m_controller->info2(), nullptr);
    EXPECT_EQ(m_opened, 2);
    EXPECT_EQ(m_editor->body(), body);
    EXPECT_EQ(m_editor->toText(), QStringLiteral("SEARCH & RESCUE;"));

    m_controller->leave();
    expectAsBefore("after leaving the twice opened editor");
}

TEST_F(DistressEditorTest, ClosingTheEditorEndsDistressMode) {
    openAnswering(true);
    ASSERT_EQ(m_session.MessagePriority(), kDistressPriority);
    delete m_editor;
    EXPECT_FALSE(m_controller->active());
    EXPECT_EQ(m_session.MessagePriority(), 0) << "the next message is not sent at distress priority";

    // A new editor asks again and keeps its own fields.
    m_editor = new MessageEditor(*m_config);
    m_editor->addRecipient({FieldTo, InmC, QStringLiteral("581423456789")});
    m_before = m_editor->message();
    openAnswering(true);
    EXPECT_EQ(m_editor->toText(), QStringLiteral("SEARCH & RESCUE;"));
    m_controller->leave();
    expectAsBefore("after leaving the second editor");
}

TEST(DistressSendingDialogTest, DistressPriorityIsShownAndCannotBeLowered) {
    test::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CConfiguration config(dir.path() + QLatin1Char('/'), false, dir.filePath(QStringLiteral("settings.ini")));
    SendingDialog dialog(config, 1, false);
    EXPECT_EQ(dialog.options().priority, 0);
    dialog.setDistressPriority();
    EXPECT_EQ(dialog.priorityBox()->currentText(), QStringLiteral("Distress"));
    EXPECT_FALSE(dialog.priorityBox()->isEnabled());
    EXPECT_EQ(dialog.options().priority, kDistressPriority);
    dialog.setDistressPriority();
    EXPECT_EQ(dialog.priorityBox()->findText(QStringLiteral("Distress")), dialog.priorityBox()->count() - 1);
    EXPECT_EQ(dialog.priorityBox()->count(), 3) << "one Distress entry however often it is set";
}

} // namespace
