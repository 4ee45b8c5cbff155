// The hot list: Hotlist.xml to the byte, defensive reading, counting, Delete, Reset, Enable.
#include "reporting/hot_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(HotListFile, WrittenExactly) {
    const QList<HotListItem> items{{QStringLiteral("email.htm"), QStringLiteral("Forms"), 3},
                                   {QStringLiteral("a&b <c>.htm"), QStringLiteral("Forms"), 1}};
    EXPECT_EQ(FormatHotList(items), QByteArray("<?xml version='1.0'?>\r\n"
                                               "<HotList>\r\n"
                                               "    <Version>1</Version>\r\n"
                                               "    <Item>\r\n"
                                               "        <MenuId>email.htm</MenuId>\r\n"
                                               "        <ParentMenuId>Forms</ParentMenuId>\r\n"
                                               "        <Hits>3</Hits>\r\n"
                                               "    </Item>\r\n"
                                               "    <Item>\r\n"
                                               "        <MenuId>a&amp;b &lt;c&gt;.htm</MenuId>\r\n"
                                               "        <ParentMenuId>Forms</ParentMenuId>\r\n"
                                               "        <Hits>1</Hits>\r\n"
                                               "    </Item>\r\n"
                                               "</HotList>\r\n"));
    EXPECT_EQ(ParseHotList(FormatHotList(items)), items);
    EXPECT_EQ(FormatHotList({}), QByteArray("<?xml version='1.0'?>\r\n<HotList>\r\n    <Version>1</Version>\r\n"
                                            "</HotList>\r\n"));
}

TEST(HotListFile, ReadsDefensively) {
    struct Case {
        const char* name;
        QByteArray xml;
        std::optional<QList<HotListItem>> expected;
    };
    const HotListItem a{QStringLiteral("a"), QStringLiteral("Forms"), 2};
    const Case cases[] = {
        {"other root", "<List><Item><MenuId>a</MenuId></Item></List>", std::nullopt},
        {"not xml", "Hits=3", std::nullopt},
        {"empty", "", std::nullopt},
        {"unknown elements skipped, bad hits read 0, no id dropped",
         "<HotList><Extra><Item><MenuId>x</MenuId></Item></Extra>"
         "<Item><MenuId>a</MenuId><ParentMenuId>Forms</ParentMenuId><Hits>2</Hits><Note/></Item>"
         "<Item><MenuId>b</MenuId><ParentMenuId>Forms</ParentMenuId><Hits>-4</Hits></Item>"
         "<Item><ParentMenuId>Forms</ParentMenuId><Hits>9</Hits></Item></HotList>",
         QList<HotListItem>{a, {QStringLiteral("b"), QStringLiteral("Forms"), 0}}},
        {"repeated entry merged, huge count capped",
         "<HotList><Item><MenuId>a</MenuId><ParentMenuId>Forms</ParentMenuId><Hits>1</Hits></Item>"
         "<Item><MenuId> a </MenuId><ParentMenuId>Forms</ParentMenuId><Hits>1</Hits></Item>"
         "<Item><MenuId>c</MenuId><ParentMenuId>Forms</ParentMenuId><Hits>99999999999</Hits></Item></HotList>",
         QList<HotListItem>{a, {QStringLiteral("c"), QStringLiteral("Forms"), 2147483647}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseHotList(c.xml), c.expected) << c.name;

    QList<HotListItem> partial;
    EXPECT_FALSE(ParseHotList("<HotList><Item><MenuId>a</MenuId><ParentMenuId>Forms</ParentMenuId><Hits>2</Hits>"
                              "</Item><Item><MenuId>b",
                              &partial));
    EXPECT_EQ(partial, QList<HotListItem>{a});
}

TEST(HotList, CountsSavesAndReloads) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Hotlist.xml");
    cHotList list;
    list.setFilePath(path);
    ASSERT_TRUE(list.Load()); // no file yet: an empty list
    const quint64 g0 = list.generation();
    list.add(QStringLiteral("email.htm"), QStringLiteral("Forms"));
    list.add(QStringLiteral("report.htm"), QStringLiteral("Forms"));
    list.add(QStringLiteral("report.htm"), QStringLiteral("Forms"));
    list.add(QStringLiteral("Position"), QStringLiteral("Insert"));
    list.add(QStringLiteral("bad\nid"), QStringLiteral("Forms")); // not storable: ignored
    list.add(QString(), QStringLiteral("Forms"));
    EXPECT_GT(list.generation(), g0);
    const QList<HotListItem> top = list.mostUsed(2);
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0], (HotListItem{QStringLiteral("report.htm"), QStringLiteral("Forms"), 2}));
    EXPECT_EQ(top[1].MenuId, QStringLiteral("email.htm")); // equal counts: first used first

    cHotList reread;
    reread.setFilePath(path);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.items(), list.items());
    EXPECT_EQ(ReadFile(path), FormatHotList(list.items()));

    EXPECT_TRUE(reread.Delete(QStringLiteral("report.htm"), QStringLiteral("Forms")));
    EXPECT_FALSE(reread.Delete(QStringLiteral("report.htm"), QStringLiteral("Forms")));
    EXPECT_FALSE(reread.Delete(QStringLiteral("Position"), QStringLiteral("Forms"))); // other parent
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.items().size(), 2);

    list.Enable(false);
    list.add(QStringLiteral("email.htm"), QStringLiteral("Forms"));
    EXPECT_TRUE(list.mostUsed().isEmpty());
    list.Enable(true);
    EXPECT_EQ(list.mostUsed().value(0).Hits, 1);

    list.Reset();
    EXPECT_TRUE(list.items().isEmpty());
    ASSERT_TRUE(reread.Load());
    EXPECT_TRUE(reread.items().isEmpty());
}

TEST(HotList, DamagedFileKeepsWhatCouldBeRead) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Hotlist.xml");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version='1.0'?>\r\n<HotList>\r\n    <Item>\r\n        <MenuId>a</MenuId>\r\n"
            "        <ParentMenuId>Forms</ParentMenuId>\r\n        <Hits>4</Hits>\r\n    </Item>\r\n    <Ite");
    f.close();
    cHotList list;
    list.setFilePath(path);
    EXPECT_FALSE(list.Load());
    EXPECT_FALSE(list.lastError().isEmpty());
    ASSERT_EQ(list.items().size(), 1);
    list.add(QStringLiteral("a"), QStringLiteral("Forms"));
    cHotList reread;
    reread.setFilePath(path);
    ASSERT_TRUE(reread.Load()); // written back whole
    EXPECT_EQ(reread.items().value(0).Hits, 5);
}
