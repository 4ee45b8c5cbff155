#include "egc/enid_list.h"

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

const QString kStx(QChar(0x02));
const QString kEtx(QChar(0x03));

QString framed(const QString& s) {
    return kStx + s + kEtx;
}

QString listing(const QStringList& lines, const QString& le = QStringLiteral("\r\n")) {
    QString r = QStringLiteral("st -g") + le + QStringLiteral("EGC Network ID list") + le;
    for (const QString& l : lines)
        r += l + le;
    return r + QStringLiteral("can0:/$ ");
}

TEST(EnidSaveData, ListingsAndBrokenLines) {
    struct Case {
        const char* name;
        QString reply;
        QString lineEnd;
        QList<EnidRecord> records;
        QStringList logged;
    };
    const QString crlf = QStringLiteral("\r\n");
    const Case cases[] = {
        {"enabled and disabled",
         listing({framed(QStringLiteral(" Fleet & Weather ")) + u' ' + framed(QStringLiteral("12345")),
                  framed(QStringLiteral("Provider")) + u' ' + framed(QStringLiteral("1234")) +
                      QStringLiteral(" disabled")}),
         crlf,
         {{12345, QStringLiteral("Fleet & Weather"), 1}, {1234, QStringLiteral("Provider"), 0}},
         {}},
        {"STX without ETX is logged and skipped",
         listing(
             {kStx + QStringLiteral("Broken provider 777"), framed(QStringLiteral("B")) + framed(QStringLiteral("2"))}),
         crlf,
         {{2, QStringLiteral("B"), 1}},
         {QStringLiteral("ENID.SaveData: <ETX> missing in line")}},
        {"second STX missing",
         listing({framed(QStringLiteral("A")) + QStringLiteral(" 55"),
                  framed(QStringLiteral("B")) + framed(QStringLiteral("3"))}),
         crlf,
         {{3, QStringLiteral("B"), 1}},
         {QStringLiteral("ENID.SaveData: <STX> missing in line")}},
        {"second ETX missing",
         listing({framed(QStringLiteral("A")) + kStx + QStringLiteral("55")}),
         crlf,
         {},
         {QStringLiteral("ENID.SaveData: <ETX> missing in line")}},
        {"non-numeric and too large ENIDs are skipped silently",
         listing({framed(QStringLiteral("A")) + framed(QStringLiteral("abc")),
                  framed(QStringLiteral("B")) + framed(QStringLiteral("99999999999")),
                  framed(QStringLiteral("C")) + framed(QStringLiteral("-5"))}),
         crlf,
         {{-5, QStringLiteral("C"), 1}},
         {}},
        {"a line without STX ends the list",
         listing({framed(QStringLiteral("A")) + framed(QStringLiteral("1")), QStringLiteral("2 ENIDs"),
                  framed(QStringLiteral("B")) + framed(QStringLiteral("2"))}),
         crlf,
         {{1, QStringLiteral("A"), 1}},
         {}},
        {"disabled only counts after the ENID",
         listing({framed(QStringLiteral("disabled vessels")) + framed(QStringLiteral("8"))}),
         crlf,
         {{8, QStringLiteral("disabled vessels"), 1}},
         {}},
        {"missing heading gives an empty list",
         QStringLiteral("st -g\r\n") + framed(QStringLiteral("A")) + framed(QStringLiteral("1")) +
             QStringLiteral("\r\ncan0:/$ "),
         crlf,
         {},
         {}},
        {"the last line needs its line end",
         QStringLiteral("st -g\r\nEGC Network ID list\r\n") + framed(QStringLiteral("A")) + framed(QStringLiteral("1")),
         crlf,
         {},
         {}},
        {"learned line end CR CR LF",
         listing({framed(QStringLiteral("A")) + framed(QStringLiteral("42")) + QStringLiteral(" DISABLED")},
                 QStringLiteral("\r\r\n")),
         QStringLiteral("\r\r\n"),
         {{42, QStringLiteral("A"), 0}},
         {}},
    };
    for (const Case& c : cases) {
        cENID list;
        QStringList logged;
        list.SaveData(c.reply, c.lineEnd, [&logged](const QString& t) { logged << t; });
        EXPECT_EQ(list.records(), c.records) << c.name;
        EXPECT_EQ(list.count(), c.records.size()) << c.name;
        EXPECT_EQ(list.loaded(), !c.records.isEmpty()) << c.name;
        EXPECT_EQ(logged, c.logged) << c.name;
    }
}

TEST(EnidSaveData, ANewListReplacesTheOldOne) {
    cENID list;
    list.SaveData(listing({framed(QStringLiteral("A")) + framed(QStringLiteral("1"))}), QStringLiteral("\r\n"), {});
    ASSERT_TRUE(list.loaded());
    list.SaveData(QStringLiteral("st -g\r\nERROR 120\r\ncan0:/$ "), QStringLiteral("\r\n"), {});
    EXPECT_FALSE(list.loaded());
    EXPECT_EQ(list.count(), 0);
}

TEST(EnidChanges, OnlyChangedRowsSendACommand) {
    const QList<EnidRecord> records{
        {1234, QStringLiteral("A"), 1}, {23456, QStringLiteral("B"), 0}, {77, QStringLiteral("C"), 1}};
    struct Case {
        const char* name;
        QList<bool> states;
        QStringList commands;
    };
    const Case cases[] = {
        {"nothing changed", {true, false, true}, {}},
        {"untick an enabled ENID", {false, false, true}, {QStringLiteral("st -g d1234")}},
        {"tick a disabled one and untick another",
         {true, true, false},
         {QStringLiteral("st -g e23456"), QStringLiteral("st -g d77")}},
        {"fewer states than rows", {false}, {QStringLiteral("st -g d1234")}},
        {"more states than rows", {true, false, true, false}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnidChangeCommands(records, c.states), c.commands) << c.name;
}

} // namespace
