// The routing window, the default-message window and the hot-list menu, offscreen.
#include "shell_test_app.h"

#include "config/access_password.h"
#include "config/configuration.h"
#include "link/in_memory_link.h"
#include "link/terminal.h"
#include "messaging/routing_service.h"
#include "reporting/hot_list.h"
#include "shell/default_message_dialog.h"
#include "shell/hot_list_menu.h"
#include "shell/message_editor.h"
#include "shell/password_prompt.h"
#include "shell/routing_dialog.h"
#include "status/identity.h"
#include "status/module_context.h"
#include "status/session.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

class RoutingWindowTest : public ::testing::Test {
protected:
    RoutingWindowTest()
        : config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini")),
          terminal(config, session, form, clock, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); }),
          info(terminal.infoLog(), terminal.notifier()), context(terminal, session, info) {
        test::App();
        service.attach(context);
        TransceiverIdentity id;
        id.ProductType = 2;
        session.SetIdentity(id);
        session.SetMesConnected(true);
    }
    void Route(const QString& reply) {
        terminal.engine().router().route(reply, QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
    }
    QString Queue() { return terminal.engine().queue().text(); }

    QTemporaryDir dir;
    ManualClock clock;
    CConfiguration config;
    CSession session;
    NullMainForm form;
    CTerminal terminal;
    CInfo info;
    ModuleContext context;
    RoutingService service;
};

const QString kRo = QStringLiteral("ro\r\nRouting Configuration\r\n"
                                   "10 : Mail                           Routing:  9\r\n"
                                   "30 : EGC System Messages            Routing:  1\r\n"
                                   "32 : EGC SafetyNET Safety           Routing:  3\r\n"
                                   "33 : EGC SafetyNET Urgent+Distress  Routing:  7\r\n"
                                   "Enter filenumber > ");

} // namespace

TEST_F(RoutingWindowTest, ShowsWhatIsReadAndSendsOnlyWhatIsKnownOrTouched) {
    RoutingForm window(service);
    EXPECT_FALSE(window.Route10().has_value());
    Route(kRo); // arrives while the window is open
    Route(QStringLiteral("set -z\r\nPRINTER=NO\r\ncan0:/$ "));
    EXPECT_TRUE(window.box(10, RouteDisk)->isChecked());
    EXPECT_FALSE(window.box(10, RouteLocalPrinter)->isChecked());
    EXPECT_TRUE(window.box(33, RouteRemotePrinter)->isChecked());
    EXPECT_TRUE(window.LocalPrinterPCValue());
    EXPECT_FALSE(window.Route31().has_value()); // FleetNET was not in the table

    // Disk and remote printer for Mail: 5, with the transceiver's own further bit (8) kept.
    window.box(10, RouteRemotePrinter)->setChecked(true);
    window.LocalPrinterOFF()->setChecked(true);
    window.submit();
    EXPECT_EQ(Queue(), QStringLiteral("ro 10  13\r\nro 30  1\r\nro 32  3\r\nro 33  7\r\nse -z PRINTER=OFF\r\n"));
}

TEST_F(RoutingWindowTest, AnUnreadRowTickedByTheOperatorIsSentButAnUntouchedPrinterIsNot) {
    session.SetIdentity([] {
        TransceiverIdentity id;
        id.ProductType = 5; // reports no printer variable
        return id;
    }());
    RoutingForm window(service);
    Route(QStringLiteral("set -z\r\nPRINTER=NO\r\ncan0:/$ "));
    EXPECT_FALSE(window.localPrinter().has_value());
    window.box(31, RouteDisk)->setChecked(true);
    window.inboxFolder().setText(dir.path() + QStringLiteral("/in"));
    window.submit();
    EXPECT_EQ(Queue(), QStringLiteral("ro 31  1\r\n"));
    EXPECT_EQ(config.GetIni(QStringLiteral("[inbox]")), dir.path() + QStringLiteral("/in/"));
}

TEST_F(RoutingWindowTest, OpeningIsGuardedByTheConfigurationPassword) {
    QWidget parent;
    ASSERT_TRUE(
        ChangeAccessPassword(config, AccessPassword::Config, QString(), QStringLiteral("pw"), QStringLiteral("pw")));
    OpenRoutingForm(config, service, &parent);
    EXPECT_TRUE(Queue().isEmpty());
    EXPECT_EQ(parent.findChild<RoutingForm*>(), nullptr);
    auto* prompt = parent.findChild<PasswordPrompt*>();
    ASSERT_NE(prompt, nullptr);
    prompt->field().setText(QStringLiteral("pw"));
    prompt->submit();
    EXPECT_EQ(Queue(), QStringLiteral("set -z\r\nro\r\n"));
    EXPECT_NE(parent.findChild<RoutingForm*>(), nullptr);
}

TEST(DefaultMessageWindowTest, CreateListInsertDelete) {
    test::App();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/DefaultMessages/");
    CConfiguration config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini"));
    auto* editor = new MessageEditor(config);
    DefaultMessageForm window(folder, dir.path(), editor);
    EXPECT_EQ(window.list().count(), 0);
    EXPECT_EQ(window.nameField().text(), QStringLiteral("Default message")); // an empty folder starts a new one
    window.nameField().setText(QStringLiteral("Noon"));
    window.toField().setText(QStringLiteral("a@b.c; d@e.f"));
    window.bccField().setText(QStringLiteral("x@y.z"));
    window.subjectField().setText(QStringLiteral("Noon report"));
    window.bodyField().setPlainText(QStringLiteral("Line 1\nLine 2"));
    ASSERT_TRUE(window.save());
    ASSERT_EQ(window.list().count(), 1);
    EXPECT_TRUE(window.list().item(0)->text().endsWith(QStringLiteral("\tNoon")));

    cDefaultMessage stored;
    stored.Init(folder);
    ASSERT_TRUE(stored.LoadMessage(0));
    EXPECT_EQ(stored.GetBodyText(), QStringLiteral("Line 1\r\nLine 2"));

    window.insert();
    const OutgoingMessage m = editor->message();
    ASSERT_EQ(m.recipients.size(), 3);
    EXPECT_EQ(m.recipients[1].address, QStringLiteral("d@e.f"));
    EXPECT_EQ(m.recipients[2].field, int(FieldBcc));
    EXPECT_EQ(m.subject, QStringLiteral("Noon report"));
    EXPECT_EQ(m.body, QStringLiteral("Line 1\r\nLine 2"));

    ASSERT_TRUE(window.newMessage());
    EXPECT_EQ(window.current(), 1);
    ASSERT_TRUE(window.save());
    EXPECT_EQ(window.list().count(), 2);
    window.choose(0);
    ASSERT_TRUE(window.remove());
    EXPECT_FALSE(stored.ExistsFile(0));
    EXPECT_EQ(window.list().count(), 1);

    // The editor closed while the window stays open: Insert tells so instead of writing into nothing.
    QStringList problems;
    QObject::connect(&window, &DefaultMessageForm::problem, [&](const QString& t) { problems << t; });
    delete editor;
    window.insert();
    EXPECT_EQ(problems.size(), 1);
}

TEST(DefaultMessageWindowTest, AllNineTakenRefusesANewOne) {
    test::App();
    QTemporaryDir dir;
    cDefaultMessage store;
    store.Init(dir.path());
    for (int n = 0; n < kDefaultMessageCount; ++n)
        ASSERT_TRUE(store.CreateMessage(n, {}));
    DefaultMessageForm window(dir.path(), QString(), nullptr);
    QStringList problems;
    QObject::connect(&window, &DefaultMessageForm::problem, [&](const QString& t) { problems << t; });
    EXPECT_EQ(window.list().count(), kDefaultMessageCount);
    EXPECT_FALSE(window.newMessage());
    EXPECT_EQ(problems.size(), 1);
}

TEST(HotListMenuTest, MostUsedFirstUnresolvedHiddenRemoveAndClear) {
    test::App();
    QTemporaryDir dir;
    cHotList list;
    list.setFilePath(dir.path() + QStringLiteral("/Hotlist.xml"));
    QMenu menu;
    HotListMenu hot(menu, list);
    QStringList opened;
    hot.addResolver(QStringLiteral("Forms"), [&](const QString& id) -> std::optional<HotListTarget> {
        if (id == QStringLiteral("gone.htm"))
            return std::nullopt;
        return HotListTarget{id.toUpper(), [&opened, id] { opened << id; }};
    });
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_FALSE(menu.actions()[0]->isEnabled()); // nothing yet

    list.add(QStringLiteral("a.htm"), QStringLiteral("Forms"));
    for (int i = 0; i < 3; ++i)
        list.add(QStringLiteral("b.htm"), QStringLiteral("Forms"));
    list.add(QStringLiteral("gone.htm"), QStringLiteral("Forms"));
    list.add(QStringLiteral("x"), QStringLiteral("Nobody"));
    const QPointer<QAction> before = menu.actions()[0];
    hot.refresh();
    const QList<QAction*> actions = menu.actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_TRUE(before.isNull()); // rebuilt
    EXPECT_EQ(actions[0]->text(), QStringLiteral("B.HTM"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("A.HTM"));
    EXPECT_TRUE(actions[2]->isSeparator());
    actions[0]->trigger();
    EXPECT_EQ(opened, QStringList{QStringLiteral("b.htm")});
    const QPointer<QAction> kept = actions[0];
    hot.refresh(); // no change: the same actions stay
    EXPECT_FALSE(kept.isNull());

    QMenu* remove = actions[3]->menu();
    ASSERT_NE(remove, nullptr);
    remove->actions()[0]->trigger();
    hot.refresh();
    EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("A.HTM"));
    EXPECT_EQ(list.items().size(), 3); // the unresolved entries keep their counts

    menu.actions().last()->trigger(); // clear
    EXPECT_TRUE(list.items().isEmpty());
    hot.refresh();
    EXPECT_EQ(menu.actions().size(), 1);
}

TEST(HotListMenuTest, EditorInsertionsAreCountedAndRunAgain) {
    test::App();
    QTemporaryDir dir;
    CConfiguration config(dir.path() + QLatin1Char('/'), false, dir.path() + QStringLiteral("/settings.ini"));
    MessageEditor editor(config);
    cHotList list;
    QMenu menu;
    HotListMenu hot(menu, list);
    CountInsertionsInHotList(hot, editor, list);
    QList<MessageEditor::Insertion> asked;
    QObject::connect(&editor, &MessageEditor::insertRequested, [&](MessageEditor::Insertion which) { asked << which; });
    editor.insertAction(MessageEditor::Insertion::UtcTime)->trigger();
    editor.insertAction(MessageEditor::Insertion::UtcTime)->trigger();
    editor.insertAction(MessageEditor::Insertion::Signature)->trigger();
    EXPECT_EQ(list.mostUsed(), (QList<HotListItem>{{QStringLiteral("UtcTime"), QStringLiteral("Insert"), 2},
                                                   {QStringLiteral("Signature"), QStringLiteral("Insert"), 1}}));
    hot.refresh();
    QAction* first = menu.actions().value(0);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->text().contains(u'&'));
    asked.clear();
    first->trigger();
    EXPECT_EQ(asked, QList<MessageEditor::Insertion>{MessageEditor::Insertion::UtcTime});
    EXPECT_EQ(list.mostUsed().value(0).Hits, 3); // a use from the hot list counts too
}
