#include "shell_test_app.h"

#include "config/configuration.h"
#include "config/temp_data_dir.h"
#include "messaging/message_store.h"
#include "shell/address_book_window.h"
#include "shell/message_editor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

void clickButton(QMessageBox* box, const QString& text) {
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text) {
            b->click();
            return;
        }
    }
    FAIL() << "no button " << text.toStdString();
}

void clickOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

QPushButton* toButton(AddressBookForm& form) {
    for (QPushButton* b : form.findChildren<QPushButton*>())
        if (b->text() == u"T&o")
            return b;
    ADD_FAILURE() << "no To button";
    return new QPushButton(&form);
}

AddressBookEntry entry(const char* name, int type, int presentation, const char* address) {
    AddressBookEntry e;
    e.Name = QLatin1String(name);
    e.Type = quint8(type);
    e.Presentation = qint16(presentation);
    e.Address = QLatin1String(address);
    return e;
}

class AddressBookWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        config.LoadIni();
        CheckStoreFolders(config, nullptr);
        write("Ship A:InmC:8:581412345678\r\nShip B:Telex:5:4711\r\nOffice:Email:7:ops@example.com\r\n");
    }
    QString file() { return AddressBookPath(StoreFolderPath(config, kAddressBookKey)); }
    void write(const QByteArray& bytes) {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TempDataDir data;
    CConfiguration config{data.path(), false, data.path() + QStringLiteral("settings.ini")};
};

TEST_F(AddressBookWindowTest, CardLabelFollowsTheTypeAndInmcStartsWith580) {
    AddressCardDialog card(entry("", EMail, 0, ""), {}, -1);
    const char* const labels[] = {"E-Mail Address:",
                                  "Telex No.:",
                                  "Telefax No.:",
                                  "Inmarsat-C Mobile No.:",
                                  "Telephone No.:",
                                  "Special Access Code Service:",
                                  "DNID No.:",
                                  "X.25 No.:",
                                  "SMS Mobile phone number:"};
    for (int type = 0; type < kMessageTypeCount; ++type) {
        card.typeBox()->setCurrentIndex(type);
        EXPECT_EQ(card.addressLabel()->text(), QLatin1String(labels[type]));
        if (type == InmC) {
            EXPECT_EQ(card.addressEdit()->text(), QStringLiteral("580"));
            card.addressEdit()->clear();
        }
    }
    // A number already typed is not overwritten by the prefix.
    card.addressEdit()->setText(QStringLiteral("581412345678"));
    card.typeBox()->setCurrentIndex(InmC);
    EXPECT_EQ(card.addressEdit()->text(), QStringLiteral("581412345678"));
}

TEST_F(AddressBookWindowTest, CardRefusesWhatTheChecksRefuseAndMayKeepAnOddEmail) {
    AddressCardDialog inmc(entry("Ship C", InmC, 1, "58141234567"), {}, -1);
    inmc.open();
    clickOk(inmc);
    ASSERT_NE(inmc.failureBox(), nullptr);
    EXPECT_EQ(inmc.failureBox()->windowTitle(), QStringLiteral("Address failure"));
    EXPECT_TRUE(inmc.failureBox()->text().startsWith(QStringLiteral("Inm-C addresses needs to be a 12 digits No.")));
    inmc.failureBox()->done(0);
    EXPECT_TRUE(inmc.isVisible());
    EXPECT_EQ(inmc.result(), 0);

    AddressCardDialog named(entry("ship a", Telex, 0, "1"), {entry("Ship A", InmC, 2, "581412345678")}, -1);
    named.open();
    clickOk(named);
    ASSERT_NE(named.failureBox(), nullptr);
    EXPECT_EQ(named.failureBox()->windowTitle(), QStringLiteral("Name failure"));
    EXPECT_TRUE(named.isVisible());

    AddressCardDialog email(entry("Odd", EMail, 0, "ops-example-com"), {}, -1);
    email.open();
    clickOk(email);
    ASSERT_NE(email.failureBox(), nullptr);
    EXPECT_EQ(email.failureBox()->text(),
              QStringLiteral("E-mail addresses must have an '@' character. Continue anyway?"));
    clickButton(email.failureBox(), QStringLiteral("&No"));
    EXPECT_TRUE(email.isVisible());
    clickOk(email);
    clickButton(email.failureBox(), QStringLiteral("&Yes"));
    EXPECT_EQ(email.result(), QDialog::Accepted);
    EXPECT_EQ(email.entry(), entry("Odd", EMail, 0, "ops-example-com"));
}

TEST_F(AddressBookWindowTest, SearchFiltersAsTheOperatorTypes) {
    AddressBookForm form(config);
    EXPECT_EQ(form.shownNames(),
              (QStringList{QStringLiteral("Office"), QStringLiteral("Ship A"), QStringLiteral("Ship B")}));
    form.searchBox()->setText(QStringLiteral("sHi"));
    EXPECT_EQ(form.shownNames(), (QStringList{QStringLiteral("Ship A"), QStringLiteral("Ship B")}));
    form.searchBox()->setText(QStringLiteral("4711"));
    EXPECT_EQ(form.shownNames(), QStringList{QStringLiteral("Ship B")});
    form.searchBox()->setText(QStringLiteral("nobody"));
    EXPECT_TRUE(form.shownNames().isEmpty());
    form.searchBox()->clear();
    EXPECT_EQ(form.shownNames().size(), 3);
}

TEST_F(AddressBookWindowTest, NewPropertiesAndDeleteChangeAddressDat) {
    AddressBookForm form(config);
    form.show();
    form.newEntry();
    ASSERT_NE(form.card(), nullptr);
    form.card()->nameEdit()->setText(QStringLiteral("Fleet"));
    form.card()->typeBox()->setCurrentIndex(DNID);
    form.card()->addressEdit()->setText(QStringLiteral("12345"));
    form.card()->extraEdit()->setText(QStringLiteral("7"));
    // Meanwhile remote configuration adds an entry: the window's change must not lose it.
    write(bytes() + "Pilot:SMS:7:0049170\r\n");
    clickOk(*form.card());
    EXPECT_EQ(bytes(), QByteArray("Ship A:InmC:8:581412345678\r\nShip B:Telex:5:4711\r\nOffice:Email:7:ops@example."
                                  "com\r\nPilot:SMS:7:0049170\r\nFleet:DNID:5:12345:7\r\n"));
    EXPECT_EQ(form.selectedNames(), QStringList{QStringLiteral("Fleet")});

    ASSERT_TRUE(form.selectName(QStringLiteral("Ship B")));
    form.showProperties();
    ASSERT_NE(form.card(), nullptr);
    EXPECT_EQ(form.card()->addressEdit()->text(), QStringLiteral("4711"));
    form.card()->addressEdit()->setText(QStringLiteral("4712"));
    clickOk(*form.card());
    EXPECT_TRUE(bytes().contains("\r\nShip B:Telex:5:4712\r\n"));

    ASSERT_TRUE(form.selectName(QStringLiteral("Office")));
    form.deleteSelected();
    ASSERT_NE(form.questionBox(), nullptr);
    EXPECT_EQ(form.questionBox()->text(), QStringLiteral("Delete the entry 'Office' from the address book?"));
    clickButton(form.questionBox(), QStringLiteral("&No"));
    EXPECT_TRUE(bytes().contains("Office:"));
    form.deleteSelected();
    clickButton(form.questionBox(), QStringLiteral("&Yes"));
    EXPECT_FALSE(bytes().contains("Office:"));
    EXPECT_EQ(form.shownNames().size(), 4);
}

TEST_F(AddressBookWindowTest, PickedAndTypedNamesBecomeTheEntriesAddresses) {
    MessageEditor editor(config);
    AddressBookForm* form = ShowAddressBook(config, &editor, &editor);
    ASSERT_TRUE(form->selectName(QStringLiteral("Ship A")));
    form->pick(FieldCc);
    editor.addTyped(QStringLiteral("office; 0049 40 123 ;Nobody@x.y"));
    const OutgoingMessage m = editor.message();
    ASSERT_EQ(m.recipients.size(), 4);
    const auto is = [](const Recipient& r, int field, int type, const char* address, const char* alias) {
        return r.field == field && r.type == type && r.address == QLatin1String(address) &&
               r.alias == QLatin1String(alias);
    };
    EXPECT_TRUE(is(m.recipients[0], FieldCc, InmC, "581412345678", "Ship A"));
    EXPECT_TRUE(is(m.recipients[1], FieldTo, EMail, "ops@example.com", "Office"));
    EXPECT_TRUE(is(m.recipients[2], FieldTo, EMail, "0049 40 123", ""));
    EXPECT_TRUE(is(m.recipients[3], FieldTo, EMail, "Nobody@x.y", ""));
    EXPECT_EQ(editor.recipientText(0), QStringLiteral("Ship A <581412345678>"));

    // A picked name only goes into an editor while the window is opened for one that is still open.
    QWidget main;
    AddressBookForm* fromMenu = ShowAddressBook(config, &main);
    EXPECT_FALSE(toButton(*fromMenu)->isEnabled());
    auto* second = new MessageEditor(config);
    EXPECT_EQ(ShowAddressBook(config, &main, second), fromMenu);
    EXPECT_TRUE(toButton(*fromMenu)->isEnabled());
    ASSERT_TRUE(fromMenu->selectName(QStringLiteral("Ship B")));
    fromMenu->pick(FieldBcc);
    ASSERT_EQ(second->message().recipients.size(), 1);
    EXPECT_TRUE(is(second->message().recipients[0], FieldBcc, Telex, "4711", "Ship B"));
    delete second;
    EXPECT_FALSE(toButton(*fromMenu)->isEnabled());

    // A typed address can be added to the book: the operator is told, then a card for it opens.
    editor.selectRecipient(0);
    EXPECT_FALSE(editor.addSelectedToAddressBook()); // already a book entry
    editor.selectRecipient(3);
    ASSERT_TRUE(editor.addSelectedToAddressBook());
    auto* notice = editor.findChild<QMessageBox*>(QStringLiteral("AddToAddressBookNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), QStringLiteral("'Nobody@x.y' will be added to the address book . "));
    notice->done(QMessageBox::Ok);
    ASSERT_NE(form->card(), nullptr);
    EXPECT_EQ(form->card()->entry(), entry("", EMail, 0, "Nobody@x.y"));
}

} // namespace
