#include "egc/egc_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace tessaro;

namespace {

const QString kPrompt = QStringLiteral("can0:/$ ");

// A "se" reply in the transceiver's layout: the value column is wide, the description follows it.
QString switchesReply(const QString& e, const QString& a, const QString& w, const QString& y) {
    auto line = [](const char* sw, const QString& value) {
        return QStringLiteral(" %1 (num)  value is %2                  description\r\n")
            .arg(QLatin1String(sw), value.leftJustified(18, u' '));
    };
    return QStringLiteral("se\r\nEGC receiver settings\r\n") + line("-e", e) + line("-a", a) + line("-w", w) +
           line("-n", QStringLiteral("0")) + line("-x", QStringLiteral("A")) + line("-y", y) + kPrompt;
}

std::array<bool, kSubjectCount> subjects(const char* letters) {
    std::array<bool, kSubjectCount> out{};
    for (int i = 0; i < kSubjectCount; ++i)
        out[std::size_t(i)] = QByteArray(letters).contains(kSubjectLetters[std::size_t(i)]);
    return out;
}

TEST(EgcSetupParse, SwitchesAndSubjectsOfTheSeReply) {
    struct Case {
        const char* name;
        QString reply;
        int e, a, w;
        const char* before; // subjects checked before the reply
        const char* after;
    };
    const Case cases[] = {
        {"values as reported",
         switchesReply(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("AD")), 1, 0, 1,
         "", "AD"},
        {"lower-case letters check their subjects",
         switchesReply(QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("ad")), 0, 1, 0,
         "", "AD"},
        {"absent letters keep their boxes",
         switchesReply(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("L")), 0, 0, 0,
         "C", "CL"},
        {"a digit other than 0 and 1 is unknown",
         switchesReply(QStringLiteral("7"), QStringLiteral("x"), QStringLiteral("1"), QStringLiteral(".")),
         kSwitchUnknown, kSwitchUnknown, 1, "", ""},
        // The switch text is matched with its case: "-E " is not "-e ".
        {"switch text is case-sensitive",
         QStringLiteral("se\r\n -E (num)  value is 1\r\n -w (num) VALUE IS 1\r\n") + kPrompt, 0, 0, 1, "", ""},
        {"missing switches are off", QStringLiteral("se\r\nERROR 120: Unknown command\r\n") + kPrompt, 0, 0, 0, "B",
         "B"},
        // Only 17 characters after "value is " belong to the subjects; the description's letters do not.
        {"subject value is 17 characters wide",
         QStringLiteral("se\r\n -y (str)  value is A                L and more\r\n") + kPrompt, 0, 0, 0, "", "A"},
        // A short value at a line end does not take the next line's letters with it.
        {"subject value stops at the line end", QStringLiteral("se\r\n -y (str)  value is K\r\nDEF\r\n") + kPrompt, 0,
         0, 0, "", "K"},
        {"reply cut right after value is", QStringLiteral("se\r\n -e (num)  value is "), 0, 0, 0, "", ""},
    };
    for (const Case& c : cases) {
        EgcSetupValues v;
        v.egcOnly = v.systemMessages = v.safetyNet = kSwitchOn;
        v.subjects = subjects(c.before);
        ApplyEgcSwitchesReply(c.reply, v);
        EXPECT_EQ(v.egcOnly, c.e) << c.name;
        EXPECT_EQ(v.systemMessages, c.a) << c.name;
        EXPECT_EQ(v.safetyNet, c.w) << c.name;
        EXPECT_EQ(v.subjects, subjects(c.after)) << c.name;
    }
}

TEST(EgcSetupParse, EgcOnlyReplyChangesOnlyThatSwitch) {
    EgcSetupValues v;
    v.safetyNet = kSwitchOn;
    ApplyEgcOnlyReply(QStringLiteral("se -e\r\n -e (num)  value is 1   EGC receiver only\r\n") + kPrompt, v);
    EXPECT_EQ(v.egcOnly, kSwitchOn);
    EXPECT_EQ(v.safetyNet, kSwitchOn);
}

TEST(EgcSetupParse, CoastalAreasOfTheSeXReply) {
    struct Case {
        const char* name;
        QString reply;
        QString expected;
    };
    const Case cases[] = {
        {"letters", QStringLiteral("se -x\r\nCoastal warning areas\r\n -x (str)  value is BC\r\n") + kPrompt,
         QStringLiteral("BC")},
        {"a dot is no areas", QStringLiteral("se -x\r\n -x (str)  value is .\r\n") + kPrompt, QString()},
        {"upper-cased and letters only", QStringLiteral("se -x\r\n -x (str)  VALUE IS a b,c\r\n") + kPrompt,
         QStringLiteral("ABC")},
        {"no value label leaves the box", QStringLiteral("se -x\r\nERROR 120: Unknown command\r\n") + kPrompt,
         QStringLiteral("QR")},
        {"value at the very end", QStringLiteral("se -x\r\n -x (str)  value is Z"), QStringLiteral("Z")},
    };
    for (const Case& c : cases) {
        EgcSetupValues v;
        v.coastalAreas = QStringLiteral("QR");
        ApplyCoastalAreasReply(c.reply, v);
        EXPECT_EQ(v.coastalAreas, c.expected) << c.name;
    }
}

TEST(EgcSetupParse, SpareNavareasOnlyAfterALineStartingWithTheLabel) {
    using Areas = std::array<int, kNavareaBoxes>;
    struct Case {
        const char* name;
        QString reply;
        QString lineEnd;
        bool four;
        bool add;
        Areas areas;
    };
    const QString crlf = QStringLiteral("\r\n");
    const Case cases[] = {
        {"four entries",
         QStringLiteral("se -sn\r\nSpare Navareas: 5\r\nNone\r\n12\r\nNone\r\n") + kPrompt,
         crlf,
         true,
         true,
         {5, 0, 12, 0}},
        {"all None",
         QStringLiteral("se -sn\r\nSpare Navareas: None\r\nNone\r\nNone\r\nNone\r\n") + kPrompt,
         crlf,
         true,
         false,
         {0, 0, 0, 0}},
        {"label in any case",
         QStringLiteral("se -sn\r\nSPARE NAVAREAS:  3 \r\n") + kPrompt,
         crlf,
         true,
         true,
         {3, 0, 0, 0}},
        {"label not at a line start",
         QStringLiteral("se -sn\r\n -sn (num)  value is 5  Spare Navareas: 3\r\n") + kPrompt,
         crlf,
         false,
         false,
         {0, 0, 0, 0}},
        {"one-area layout",
         QStringLiteral("se -sn\r\n -sn (num)  value is 5   Additional NAVAREA\r\n") + kPrompt,
         crlf,
         false,
         false,
         {0, 0, 0, 0}},
        {"a non-number keeps its place",
         QStringLiteral("se -sn\r\nSpare Navareas: x\r\n8\r\n") + kPrompt,
         crlf,
         true,
         true,
         {0, 8, 0, 0}},
        {"text after the last line break is no entry",
         QStringLiteral("se -sn\r\nSpare Navareas: None\r\n7"),
         crlf,
         true,
         false,
         {0, 0, 0, 0}},
        {"entries past the fourth are ignored",
         QStringLiteral("se -sn\r\nSpare Navareas: 1\r\n2\r\n3\r\n4\r\n5\r\n") + kPrompt,
         crlf,
         true,
         true,
         {1, 2, 3, 4}},
        {"the learned line end",
         QStringLiteral("se -sn\r\r\nSpare Navareas: 9\r\r\n10\r\r\n") + kPrompt,
         QStringLiteral("\r\r\n"),
         true,
         true,
         {9, 10, 0, 0}},
    };
    for (const Case& c : cases) {
        EgcSetupValues v;
        v.navareas = {7, 7, 7, 7};
        v.addNavarea = true;
        ApplySpareNavareasReply(c.reply, c.lineEnd, v);
        EXPECT_EQ(v.support4ExtraNavAreas, c.four) << c.name;
        EXPECT_EQ(v.addNavarea, c.add) << c.name;
        EXPECT_EQ(v.navareas, c.areas) << c.name;
    }
}

TEST(EgcSetupParse, Error120MeansNoFixedPositions) {
    EXPECT_FALSE(FixedPositionsSupportedByReply(QStringLiteral("fx \r\nERROR 120: Unknown command\r\n") + kPrompt));
    EXPECT_FALSE(FixedPositionsSupportedByReply(QStringLiteral("fx 5,N,1,E\r\nerror 120\r\n") + kPrompt));
    EXPECT_TRUE(FixedPositionsSupportedByReply(QStringLiteral("fx 5,N,1,E\r\nFixed positions: 5,N,1,E\r\n") + kPrompt));
    EXPECT_TRUE(FixedPositionsSupportedByReply(QStringLiteral("fx \r\nERROR 121: other\r\n") + kPrompt));
}

FixedPositionRow row(const char* lat, const char* ns, const char* lon, const char* ew) {
    return {QLatin1String(lat), QLatin1String(ns), QLatin1String(lon), QLatin1String(ew)};
}

using Rows = std::array<FixedPositionRow, kFixedPositionRows>;
// The first rows as given, the rest empty.
Rows rows(std::initializer_list<FixedPositionRow> first) {
    Rows out;
    std::copy(first.begin(), first.end(), out.begin());
    return out;
}

TEST(EgcSetupFixedPositions, ListFormatLeavesIncompleteRowsOut) {
    const Rows five = rows({row("55", "N", "12", "E"), row("40", "", "3", "W"), row("60", "N", "5", "E"),
                            row("", "S", "1", "E"), row("7", "S", "", "W")});
    EXPECT_EQ(FormatFixedPositions(five), QStringLiteral(" 55,N,12,E 60,N,5,E"));
    EXPECT_EQ(FormatFixedPositions({}), QString());

    const auto back = ParseFixedPositions(QStringLiteral(" 55,N,12,E 60,s,5,w"));
    EXPECT_EQ(back[0], row("55", "N", "12", "E"));
    EXPECT_EQ(back[1], row("60", "S", "5", "W"));
    EXPECT_EQ(back[2], FixedPositionRow{});
    EXPECT_EQ(FormatFixedPositions(back), QStringLiteral(" 55,N,12,E 60,S,5,W"));

    // A damaged stored value fills only what it can; nothing but digits reaches a degree field.
    const auto odd = ParseFixedPositions(QStringLiteral("5x,Q,-3 1,N,2,E 2,N,2,E 3,N,3,E 4,N,4,E 5,N,5,E 6,N,6,E"));
    EXPECT_EQ(odd[0], row("5", "", "3", ""));
    EXPECT_EQ(odd[4], row("4", "N", "4", "E"));
}

TEST(EgcSetupFixedPositions, ValidationNamesTheFirstFieldOutOfRange) {
    using F = FixedPositionError::Field;
    const QString latText = QStringLiteral("Error: Latitude degrees field must contain a value between 0 and 90");
    const QString lonText = QStringLiteral("Error: Longitude degrees field must contain a value between 0 and 180");
    struct Case {
        const char* name;
        Rows rows;
        std::optional<FixedPositionError> error;
    };
    const Case cases[] = {
        {"limits are allowed", rows({row("90", "N", "180", "E"), row("0", "S", "0", "W")}), std::nullopt},
        {"empty rows pass", {}, std::nullopt},
        {"latitude 91", rows({row("1", "N", "1", "E"), {}, row("91", "N", "5", "E")}),
         FixedPositionError{2, F::LatitudeDegrees, latText, QStringLiteral("Validation error")}},
        {"longitude 181 in an incomplete row", rows({{}, {}, {}, {}, row("", "", "181", "")}),
         FixedPositionError{4, F::LongitudeDegrees, lonText, QStringLiteral("Validation error")}},
        {"latitude before longitude", rows({row("95", "N", "200", "E")}),
         FixedPositionError{0, F::LatitudeDegrees, latText, QStringLiteral("Validation error")}},
        {"huge number", rows({row("1", "N", "99999999999999999999999", "E")}),
         FixedPositionError{0, F::LongitudeDegrees, lonText, QStringLiteral("Validation error")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidateFixedPositions(c.rows), c.error) << c.name;
}

TEST(EgcSetupCommandList, CommandsInOrderForEachChoice) {
    struct Case {
        const char* name;
        std::function<void(EgcSetupValues&)> change;
        QStringList expected;
    };
    const Case cases[] = {
        {"nothing chosen",
         [](EgcSetupValues&) {},
         {QStringLiteral("se -e 0"), QStringLiteral("se -a 0"), QStringLiteral("se -w 0"), QStringLiteral("se -sn 0"),
          QStringLiteral("se -n 0"), QStringLiteral("se -x ."), QStringLiteral("se -y ."), QStringLiteral("fx")}},
        {"everything chosen",
         [](EgcSetupValues& v) {
             v.egcOnly = v.systemMessages = v.safetyNet = kSwitchOn;
             v.addNavarea = true;
             v.navareas = {5, 0, 12, 0};
             v.coastalAreas = QStringLiteral("bc");
             v.subjects = subjects("LDA");
             v.fixedPositions = rows({row("55", "N", "12", "E"), row("40", "", "3", "W"), row("60", "N", "5", "E")});
         },
         {QStringLiteral("se -e 1"), QStringLiteral("se -a 1"), QStringLiteral("se -w 1"),
          QStringLiteral("se -sn 5,0,12,0"), QStringLiteral("se -n 1"), QStringLiteral("se -x BC"),
          QStringLiteral("se -y ADL"), QStringLiteral("fx 55,N,12,E 60,N,5,E")}},
        {"unchecked NAVAREA box sends 0 whatever the boxes show",
         [](EgcSetupValues& v) {
             v.addNavarea = false;
             v.navareas = {3, 4, 5, 6};
             v.fixedPositionsSupported = false;
         },
         {QStringLiteral("se -e 0"), QStringLiteral("se -a 0"), QStringLiteral("se -w 0"), QStringLiteral("se -sn 0"),
          QStringLiteral("se -n 0"), QStringLiteral("se -x ."), QStringLiteral("se -y .")}},
        {"unknown switches send nothing",
         [](EgcSetupValues& v) {
             v.egcOnly = kSwitchUnknown;
             v.safetyNet = 9;
             v.subjects = subjects("ABCDEFHJKL");
         },
         {QStringLiteral("se -a 0"), QStringLiteral("se -sn 0"), QStringLiteral("se -n 0"), QStringLiteral("se -x ."),
          QStringLiteral("se -y ABCDEFHJKL"), QStringLiteral("fx")}},
    };
    for (const Case& c : cases) {
        EgcSetupValues v;
        c.change(v);
        EXPECT_EQ(EgcSetupCommands(v), c.expected) << c.name;
    }
}

TEST(EgcSetupFilters, CoastalLettersAndDegreeDigits) {
    EXPECT_EQ(FilterCoastalAreas(QStringLiteral("ab1c-\u00e9Z .")), QStringLiteral("ABCZ"));
    EXPECT_EQ(FilterDegrees(QStringLiteral(" 1a2-3\u0663")), QStringLiteral("123"));
}

} // namespace
