#include "shell_test_app.h"

#include "app/runtime.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "config/strings.h"
#include "link/in_memory_link.h"
#include "messaging/messaging_module.h"
#include "reporting/forms_module.h"
#include "shell/language.h"
#include "shell/main_form.h"
#include "shell/main_menus.h"
#include "status/session.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

// The key of an "&" mnemonic ("&&" is a literal ampersand), lower-cased; null when the text has none.
QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// Every text of one menu (or of the menu bar) that shares its mnemonic with an earlier one.
QStringList clashes(const QString& where, const QStringList& texts) {
    QHash<QChar, QString> taken;
    QStringList found;
    for (const QString& text : texts) {
        const QChar key = mnemonic(text);
        if (key.isNull())
            continue;
        if (taken.contains(key))
            found << where + QStringLiteral(": \"") + taken[key] + QStringLiteral("\" and \"") + text +
                         QStringLiteral("\"");
        else
            taken.insert(key, text);
    }
    return found;
}

QStringList textsOf(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* a : actions)
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

QStringList clashes(const QString& where, const QList<QAction*>& actions) {
    return clashes(where, textsOf(actions));
}

QStringList clashesBelow(const QMenu& menu) {
    QStringList found = clashes(menu.title(), menu.actions());
    for (const QAction* a : menu.actions())
        if (const QMenu* sub = a->menu())
            found << clashesBelow(*sub);
    return found;
}

TEST(MenuMnemonicsTest, NoTwoEntriesOfOneMenuShareTheirKeyInAnyLanguage) {
    test::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RuntimeOptions options;
    options.dataPath = dir.path() + QLatin1Char('/');
    options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
    ManualClock clock;
    TessaroRuntime runtime(options, clock);
    MainForm form(runtime.config(), runtime.session(), clock);
    runtime.attach(form, [](LinkKind kind) { return std::make_unique<InMemoryLink>(kind); });
    form.attach(runtime); // the Forms menu comes with the runtime

    int menusWalked = 0;
    for (const LanguageChoice& language : Languages()) {
        form.selectLanguage(language.id);
        ASSERT_EQ(CurrentLanguage(), language.id);
        const QList<QAction*> top = form.menuBar()->actions();
        // Alt and a letter reaches a menu title and a button of the window alike: they share one set of keys.
        QStringList windowKeys = textsOf(top);
        for (const QAbstractButton* b : form.findChildren<QAbstractButton*>())
            if (b->window() == &form)
                windowKeys << b->text();
        QStringList found = clashes(QStringLiteral("menu bar and buttons"), windowKeys);
        for (const QAction* a : top) {
            ASSERT_NE(a->menu(), nullptr) << a->text().toStdString();
            found << clashesBelow(*a->menu());
            ++menusWalked;
        }
        EXPECT_TRUE(found.isEmpty()) << language.name.toStdString() << ":\n"
                                     << found.join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_EQ(menusWalked, 3 * 10)
        << "File, Messages, View, Transceiver, EGC, Distress, Options, Forms, Hot list and Help in three languages";
    form.selectLanguage(English);
}

} // namespace

namespace {

QStringList titlesWithoutMnemonic(const QMenu& menu) {
    QStringList found;
    if (mnemonic(menu.title()).isNull())
        found << menu.title();
    for (const QAction* a : menu.actions())
        if (const QMenu* sub = a->menu())
            found << titlesWithoutMnemonic(*sub);
    return found;
}

TEST(MenuShortcutsTest, EveryKeyReachesOneActionAndTheStandardKeysTheirOwn) {
    test::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RuntimeOptions options;
    options.dataPath = dir.path() + QLatin1Char('/');
    options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
    ManualClock clock;
    TessaroRuntime runtime(options, clock);
    MainForm form(runtime.config(), runtime.session(), clock);
    runtime.attach(form, [](LinkKind kind) { return std::make_unique<InMemoryLink>(kind); });
    form.attach(runtime);

    // One key, one action: two actions on one key make Qt run neither.
    QHash<QString, const QAction*> byKey;
    QStringList clashing;
    for (const QAction* a : form.findChildren<QAction*>()) {
        for (const QKeySequence& key : a->shortcuts()) {
            const QString k = key.toString(QKeySequence::PortableText);
            if (k.isEmpty())
                continue;
            if (byKey.contains(k) && byKey[k] != a)
                clashing << k + QStringLiteral(": ") + byKey[k]->text() + QStringLiteral(" / ") + a->text();
            byKey.insert(k, a);
        }
    }
    EXPECT_TRUE(clashing.isEmpty()) << clashing.join(QLatin1Char('\n')).toStdString();

    MainMenus& m = form.menus();
    const std::pair<QKeySequence, QAction*> expected[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), m.newMessage},
        {QKeySequence(Qt::CTRL | Qt::Key_O), m.openMessage},
        {QKeySequence(Qt::CTRL | Qt::Key_P), m.print},
        {QKeySequence(Qt::Key_Delete), m.deleteMessage},
        {QKeySequence(Qt::Key_F5), m.terminalStatus},
        {QKeySequence(Qt::CTRL | Qt::Key_1), m.showTab[0]},
        {QKeySequence(Qt::CTRL | Qt::Key_2), m.showTab[1]},
        {QKeySequence(Qt::CTRL | Qt::Key_3), m.showTab[2]},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), m.nightMode},
    };
    for (const auto& [key, action] : expected) {
        const QString k = key.toString(QKeySequence::PortableText);
        EXPECT_EQ(byKey.value(k), action) << k.toStdString();
    }

    // Every menu, also every submenu, opens with Alt and a letter in every language.
    for (const LanguageChoice& language : Languages()) {
        form.selectLanguage(language.id);
        QStringList missing;
        for (const QAction* a : form.menuBar()->actions())
            missing << titlesWithoutMnemonic(*a->menu());
        EXPECT_TRUE(missing.isEmpty()) << language.name.toStdString() << ": "
                                       << missing.join(QStringLiteral(", ")).toStdString();
    }
    form.selectLanguage(English);

    // The View menu's list keys switch the list shown.
    for (int tab : {MainForm::kEgcTab, MainForm::kSentItemsTab, MainForm::kInboxTab}) {
        m.showTab[size_t(tab)]->trigger();
        EXPECT_EQ(form.mailboxTabs().currentIndex(), tab);
    }
    m.print->trigger(); // nothing selected: nothing printed, nothing breaks
}

} // namespace
