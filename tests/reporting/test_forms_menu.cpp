#include "forms_test_env.h"
#include "reporting/forms_menu.h"

#include <gtest/gtest.h>

using namespace tessaro;

TEST(FormsMenu, TitleOfAPage) {
    const QList<std::pair<QByteArray, QString>> cases = {
        {"<html><head><TITLE> Noon\r\n  report </Title>", QStringLiteral("Noon report")},
        {"<title></title>", QString()},
        {"<title>never closed", QString()},
        {"no title at all", QString()},
        {"<title>Caf\xe9</title>", QString::fromLatin1("Caf\xe9")},
    };
    for (const auto& [content, title] : cases)
        EXPECT_EQ(FormTitle(content), title) << content.toStdString();
}

TEST(FormsMenu, ListsHtmFilesWithTheirCaptions) {
    FormsTestEnv env;
    env.writeFile(QStringLiteral("html/b.htm"), "<title>Bravo</title>");
    env.writeFile(QStringLiteral("html/A.HTM"), "<title>Alpha</title>");
    env.writeFile(QStringLiteral("html/untitled.htm"), "<p>x</p>");
    env.writeFile(QStringLiteral("html/decode.js"), "<title>no</title>");
    env.writeFile(QStringLiteral("html/page.html"), "<title>no</title>");
    env.writeFile(QStringLiteral("html/sub/c.htm"), "<title>no</title>");
    QStringList got;
    for (const FormEntry& e : ListForms(env.formsFolder()))
        got << e.fileName + QLatin1Char('=') + e.caption;
    EXPECT_EQ(got, QStringList({QStringLiteral("A.HTM=Alpha"), QStringLiteral("b.htm=Bravo"),
                                QStringLiteral("untitled.htm=untitled.htm")}));
    EXPECT_TRUE(ListForms(env.data.path() + QStringLiteral("missing/")).isEmpty());
}

TEST(FormsMenu, UrlsLeaveOutPort80AndEncodeTheName) {
    EXPECT_EQ(FormUrl(QStringLiteral("127.0.0.1"), 80, QStringLiteral("a.htm")),
              QStringLiteral("http://127.0.0.1/a.htm"));
    EXPECT_EQ(FormUrl(QStringLiteral("10.0.0.2"), 8080, QStringLiteral("sub/My form#1.htm")),
              QStringLiteral("http://10.0.0.2:8080/sub/My%20form%231.htm"));
    EXPECT_EQ(FormUrl(QStringLiteral("127.0.0.1"), 80, QString::fromLatin1("r\xe9sum\xe9.htm")),
              QStringLiteral("http://127.0.0.1/r%E9sum%E9.htm"));
}

TEST(FormsMenu, LastFormIsRememberedAndReopened) {
    FormsTestEnv env;
    cFormsMenu menu(env.config);
    menu.setServerAddress(QStringLiteral("127.0.0.1"), 8123);
    EXPECT_TRUE(menu.openLastForm().isEmpty());
    EXPECT_EQ(menu.chooseForm(QStringLiteral("noon.htm")), QStringLiteral("http://127.0.0.1:8123/noon.htm"));
    // Stored in Tessaro.ini, so a later run opens it from the Forms button.
    CConfiguration again(env.data.path(), false, env.data.path() + QStringLiteral("settings.ini"));
    again.LoadIni();
    EXPECT_EQ(again.GetIni(QStringLiteral("[LastForm]")), QStringLiteral("noon.htm"));
    cFormsMenu later(again);
    EXPECT_EQ(later.openLastForm(), QStringLiteral("http://127.0.0.1/noon.htm"));
}

TEST(FormsMenu, ExamplesGoOnlyIntoAnEmptyFolder) {
    FormsTestEnv env;
    const QString fresh = env.data.path() + QStringLiteral("fresh/");
    EXPECT_EQ(InstallExampleForms(fresh), 6);
    QStringList captions;
    for (const FormEntry& e : ListForms(fresh))
        captions << e.caption;
    EXPECT_EQ(captions, QStringList({QStringLiteral("E-mail"), QStringLiteral("Electronic forms"),
                                     QStringLiteral("Inbox and outbox"), QStringLiteral("Message status"),
                                     QStringLiteral("Position report")}));
    // Installed files are the operator's to edit.
    EXPECT_TRUE(QFileInfo(fresh + QStringLiteral("email.htm")).isWritable());
    EXPECT_EQ(InstallExampleForms(fresh), 0);

    env.writeFile(QStringLiteral("html/own.htm"), "mine");
    EXPECT_EQ(InstallExampleForms(env.formsFolder()), 0);
    EXPECT_EQ(ListForms(env.formsFolder()).size(), 1);
}
