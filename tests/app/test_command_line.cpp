// The --send options as the command line reads them.
#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace tessaro;

TEST(SendOption, MessageTypeWordsInAnyLetterCaseAndShortForms) {
    const std::pair<const char*, int> cases[] = {
        {"E-Mail", 0}, {"email", 0},      {"EMAIL", 0}, {"Telex", 1}, {"fax", 2},      {"InmC", 3},
        {"inmc", 3},   {"Inmarsat-C", 3}, {"PSTN", 4},  {"sac", 5},   {"DNID", 6},     {"X.25", 7},
        {"x25", 7},    {"SMS", 8},        {"", -1},     {"mail", -1}, {"telefax", -1}, {"X.400", -1}};
    for (const auto& [word, type] : cases)
        EXPECT_EQ(ParseMessageTypeWord(QLatin1String(word)), type) << word;
}

TEST(SendOption, ReadsTypeAddressSubjectAndTextFile) {
    const OptionAvailability all{true, true, true, true};
    const CommandLine cl =
        ParseCommandLine({QStringLiteral("tessaro"), QStringLiteral("--send"), QStringLiteral("E-Mail:ops@example.com"),
                          QStringLiteral("--subject"), QStringLiteral("Noon report"), QStringLiteral("--text-file"),
                          QStringLiteral("/tmp/noon.txt")},
                         all);
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_TRUE(cl.send);
    EXPECT_EQ(cl.sendType, 0);
    EXPECT_EQ(cl.sendAddress, QStringLiteral("ops@example.com"));
    EXPECT_EQ(cl.subject, QStringLiteral("Noon report"));
    EXPECT_EQ(cl.textFile, QStringLiteral("/tmp/noon.txt"));

    // Only the first colon separates: a DNID destination keeps its own punctuation.
    const CommandLine dnid =
        ParseCommandLine({QStringLiteral("tessaro"), QStringLiteral("--send"), QStringLiteral("dnid:12345,7"),
                          QStringLiteral("--text-file"), QStringLiteral("f")},
                         all);
    EXPECT_EQ(dnid.sendType, 6);
    EXPECT_EQ(dnid.sendAddress, QStringLiteral("12345,7"));
}

TEST(SendOption, IncompleteOrUnknownRequestsAreRefusedWithAReason) {
    const OptionAvailability all{true, true, true, true};
    struct Case {
        QStringList args;
        const char* reason;
    };
    const Case cases[] = {
        {{QStringLiteral("--send"), QStringLiteral("telegram:123"), QStringLiteral("--text-file"), QStringLiteral("f")},
         "\"telegram\" names none"},
        {{QStringLiteral("--send"), QStringLiteral("123456"), QStringLiteral("--text-file"), QStringLiteral("f")},
         "--send needs TYPE:ADDRESS"},
        {{QStringLiteral("--send"), QStringLiteral("Telex: "), QStringLiteral("--text-file"), QStringLiteral("f")},
         "needs an address"},
        {{QStringLiteral("--send"), QStringLiteral("Telex:123")}, "--send needs --text-file"},
        {{QStringLiteral("--subject"), QStringLiteral("S")}, "belong to --send"},
        {{QStringLiteral("--text-file"), QStringLiteral("f")}, "belong to --send"},
        {{QStringLiteral("--send-timeout"), QStringLiteral("30")}, "belong to --send"},
        {{QStringLiteral("--send"), QStringLiteral("Telex:123"), QStringLiteral("--text-file"), QStringLiteral("f"),
          QStringLiteral("--send-timeout"), QStringLiteral("0")},
         "--send-timeout needs a number of seconds"},
    };
    for (const Case& c : cases) {
        const CommandLine cl = ParseCommandLine(QStringList{QStringLiteral("tessaro")} + c.args, all);
        EXPECT_TRUE(cl.error.contains(QLatin1String(c.reason)))
            << c.args.join(QLatin1Char(' ')).toStdString() << " -> " << cl.error.toStdString();
    }
}
