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
#include "status/session.h"

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

// Every entry of one menu (or of the menu bar) that shares its mnemonic with an earlier entry.
QStringList clashes(const QString& where, const QList<QAction*>& actions) {
    QHash<QChar, QString> taken;
    QStringList found;
    for (const QAction* a : actions) {
        if (a->isSeparator())
            continue;
        const QChar key = mnemonic(a->text());
        if (key.isNull())
            continue;
        if (taken.contains(key))
            found << where + QStringLiteral(": \"") + taken[key] + QStringLiteral("\" and \"") + a->text() +
                         QStringLiteral("\"");
        else
            taken.insert(key, a->text());
    }
    return found;
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
        QStringList found = clashes(QStringLiteral("menu bar"), top);
        for (const QAction* a : top) {
            ASSERT_NE(a->menu(), nullptr) << a->text().toStdString();
            found << clashesBelow(*a->menu());
            ++menusWalked;
        }
        EXPECT_TRUE(found.isEmpty()) << language.name.toStdString() << ":\n"
                                     << found.join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_EQ(menusWalked, 3 * 9)
        << "File, Messages, Transceiver, EGC, Distress, Options, Forms, Hot list and Help in three languages";
    form.selectLanguage(English);
}

} // namespace
