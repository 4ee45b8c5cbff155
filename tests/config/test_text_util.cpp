#include "config/strings.h"
#include "config/text_util.h"

#include <gtest/gtest.h>

using namespace tessaro;

TEST(TextUtil, ValReadsLeadingDigitsLikeTheClassicReader) {
    const struct {
        const char* text;
        qint64 expected;
    } cases[] = {
        {"123", 123}, {"  42 kB", 42}, {"-7", -7}, {"+5", 5},  {"abc", 0},
        {"", 0},      {"12abc34", 12}, {"\t9", 9}, {"- 3", 0}, {"99999999999999999999999", 9223372036854775807LL},
        {"0007", 7},  {"3.9", 3}};
    for (const auto& c : cases)
        EXPECT_EQ(Val(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(TextUtil, IsNumericAcceptsSurroundingBlanksOnly) {
    EXPECT_TRUE(IsNumeric(u" 12 "));
    EXPECT_TRUE(IsNumeric(u"-3.5"));
    EXPECT_FALSE(IsNumeric(u""));
    EXPECT_FALSE(IsNumeric(u"   "));
    EXPECT_FALSE(IsNumeric(u"12a"));
    EXPECT_FALSE(IsNumeric(u"1 2"));
    EXPECT_FALSE(IsNumeric(u"."));
}

TEST(TextUtil, FormatTextReplacesNumberedPlaceholders) {
    EXPECT_EQ(FormatText(QStringLiteral("(UpdateIndexFile) Error '%0': %1."),
                         {QStringLiteral("53"), QStringLiteral("File not found")}),
              QStringLiteral("(UpdateIndexFile) Error '53': File not found."));
    EXPECT_EQ(FormatText(QStringLiteral("%0 and %0"), {QStringLiteral("x")}), QStringLiteral("x and x"));
    // "%1" must not eat the front of "%10", and a value containing "%1" is not expanded again.
    QStringList many;
    for (int i = 0; i < 11; ++i)
        many << QString::number(i * 100);
    EXPECT_EQ(FormatText(QStringLiteral("%1/%10"), many), QStringLiteral("100/1000"));
    EXPECT_EQ(FormatText(QStringLiteral("%0 %1"), {QStringLiteral("%1"), QStringLiteral("b")}), QStringLiteral("%1 b"));
}

TEST(TextUtil, FormatTextInsertsEachValueOnceLeftToRight) {
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << QStringLiteral("v%1").arg(i);
    struct Case {
        const char* name;
        QString templ;
        QStringList values;
        QString expected;
    };
    const Case cases[] = {
        {"an inserted value is never scanned again",
         QStringLiteral("%0 %1"),
         {QStringLiteral("53"), QStringLiteral("File %0.txt")},
         QStringLiteral("53 File %0.txt")},
        {"nor is a later one",
         QStringLiteral("%1 %0"),
         {QStringLiteral("%1"), QStringLiteral("%0")},
         QStringLiteral("%0 %1")},
        {"%10 names value 10 when there are eleven", QStringLiteral("%10|%1"), eleven, QStringLiteral("v10|v1")},
        {"else it is %1 followed by 0",
         QStringLiteral("%10"),
         {QStringLiteral("a"), QStringLiteral("b")},
         QStringLiteral("b0")},
        {"%01 is value 0 followed by 1", QStringLiteral("%01"), eleven, QStringLiteral("v01")},
        {"no such value: the text stays", QStringLiteral("%2 %x %"), {QStringLiteral("a")}, QStringLiteral("%2 %x %")},
        {"a percent sign before a placeholder stays",
         QStringLiteral("100%%0"),
         {QStringLiteral("!")},
         QStringLiteral("100%!")},
        {"no values", QStringLiteral("%0"), {}, QStringLiteral("%0")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatText(c.templ, c.values), c.expected) << c.name;
}

TEST(TextUtil, LineEndHelpers) {
    EXPECT_EQ(NormaliseLineEnds(QStringLiteral("a\nb\r\nc\r\r\nd")), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(FlattenText(QStringLiteral("\x02"
                                         "a\r\nb\rc\nd\x03")),
              QStringLiteral("a b c d"));
    EXPECT_EQ(FlattenText(QStringLiteral("a\r\n\r\nb")), QStringLiteral("a  b"));
    EXPECT_EQ(StripLineEnds(QStringLiteral("\r\nIN.7\r\r\n")), QStringLiteral("IN.7"));
    EXPECT_EQ(StripLineEnds(QStringLiteral(" x ")), QStringLiteral(" x "));
    EXPECT_EQ(SafeMid(QStringLiteral("abc"), 5, 2), QString());
    EXPECT_EQ(SafeMid(QStringLiteral("abc"), 1, 10), QStringLiteral("bc"));
}

TEST(Strings, LanguageTablesFallBackToTheCallersEnglishText) {
    EXPECT_EQ(SetLanguage(1036), 1036);
    EXPECT_EQ(GetText(999999, QStringLiteral("Default")), QStringLiteral("Default"));
    EXPECT_EQ(SetLanguage(4242), int(English)) << "unknown languages fall back to English";
    EXPECT_EQ(GetText(1, QStringLiteral("Tessaro")), QStringLiteral("Tessaro"));

    const auto table = ParseStringTable("# comment\n12\tLigne\\nsuivante\r\nbad line\n13\t\n");
    EXPECT_EQ(table.value(12), QStringLiteral("Ligne\nsuivante"));
    EXPECT_TRUE(table.contains(13));
    EXPECT_EQ(table.size(), 2);
}
