#include "status/identity.h"
#include "status_fixture.h"

using namespace tessaro;
using tessaro::test::ReadReply;

namespace {
TransceiverIdentity Id(int mobile, int product, int model, int solas, int atc) {
    return TransceiverIdentity{mobile, product, model, solas, atc};
}
} // namespace

TEST(StatusSoftwareBanner, OnlyTheOldBannerMarksTheOldUnit) {
    EXPECT_TRUE(ParseSoftwareBanner(ReadReply("st_v_old_banner.txt")));
    EXPECT_FALSE(ParseSoftwareBanner(ReadReply("st_v_new_banner.txt")));
    EXPECT_TRUE(ParseSoftwareBanner(QStringLiteral("st -v\r\nINMARSAT-C SOFTWARE v1")));
    EXPECT_FALSE(ParseSoftwareBanner(QString()));
}

TEST(StatusIdentityParse, CannedRepliesGiveTheirUnits) {
    struct Case {
        const char* fixture;
        bool alderAB;
        TransceiverIdentity expected;
    };
    const Case cases[] = {
        {"st_i_larch_c.txt", false, Id(2, 5, 18, 3, 1)},
        // "LarchLRIT" also matches "LarchL" first; the later row wins.
        {"st_i_larch_lrit.txt", false, Id(2, 5, 16, 1, 1)},
        // GM with SSAS: ship-security type, model "LarchSSA", ATC 2.
        {"st_i_larch_gm_ssas.txt", false, Id(5, 5, 15, 1, 2)},
        // "CedarSD" also matches "CedarS" first.
        {"st_i_cedar_sd.txt", false, Id(2, 4, 11, 2, 1)},
        // An old maritime unit after the "Inmarsat-C Software" banner.
        {"st_i_old_maritime.txt", true, Id(2, 1, 1, 2, 1)},
        {"st_i_old_maritime.txt", false, Id(2, 1, 2, 3, 1)},
        // The earlier "Fishery" match is overridden.
        {"st_i_fishery_without_distress.txt", false, Id(3, 2, 5, 1, 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIdentity(ReadReply(c.fixture), c.alderAB, {}), c.expected) << c.fixture;
}

TEST(StatusIdentityParse, OrderedContainmentRules) {
    struct Case {
        const char* reply;
        bool alderAB;
        TransceiverIdentity expected;
    };
    const Case cases[] = {
        {"Landmobile", false, Id(1, 2, 3, 1, 1)},
        {"landmobile", true, Id(1, 1, 1, 1, 1)},
        {"Aeronautical (Aero)", false, Id(4, 3, 6, 1, 1)},
        {"Non-SOLAS Fishery", false, Id(3, 2, 4, 2, 1)},
        {"Type: SOLAS Maritime", false, Id(2, 1, 2, 3, 1)},
        {"CedarL", false, Id(1, 4, 7, 1, 1)},
        {"CedarM", false, Id(2, 4, 8, 1, 0)}, // ATC type is left as it was
        {"CedarM SSAS", false, Id(5, 4, 9, 1, 1)},
        {"CedarS", false, Id(2, 4, 10, 1, 1)},
        {"CedarD", false, Id(2, 4, 11, 2, 1)},
        {"CedarC", false, Id(2, 4, 12, 3, 1)},
        {"LarchL", false, Id(1, 5, 13, 1, 1)},
        {"LarchM", false, Id(2, 5, 14, 1, 0)},
        {"LarchM SSAS", false, Id(5, 5, 15, 1, 1)},
        {"LarchGM", false, Id(2, 5, 20, 1, 0)},
        {"LarchD", false, Id(2, 5, 17, 2, 1)},
        {"LarchSD", false, Id(2, 5, 17, 2, 1)},
        {"LarchGD", false, Id(2, 5, 19, 2, 2)},
        {"LarchSSA", false, Id(2, 5, 15, 1, 1)},
        {"LarchSSA SSAS", false, Id(5, 5, 15, 1, 1)},
        // " SOLAS " only raises the SOLAS type; "Non-SOLAS " has no blank before SOLAS.
        {"LarchM SOLAS unit", false, Id(2, 5, 14, 3, 0)},
        {"LarchD Non-SOLAS unit", false, Id(2, 5, 17, 2, 1)},
        {"", false, Id(0, 0, 0, 0, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIdentity(QString::fromLatin1(c.reply), c.alderAB, {}), c.expected) << c.reply;
}

TEST(StatusIdentityParse, UnmatchedRepliesAndDashesKeepTheCurrentValues) {
    const TransceiverIdentity current = Id(2, 5, 14, 1, 2);
    EXPECT_EQ(ParseIdentity(QStringLiteral("nothing known"), false, current), current);
    // "LarchM" leaves the ATC type alone.
    EXPECT_EQ(ParseIdentity(QStringLiteral("LarchM"), false, current).AtcType, 2);
}

TEST(StatusIdentityNames, TablesAndTheirBounds) {
    EXPECT_EQ(ProductModelName(9), QStringLiteral("CedarM SSAS"));
    EXPECT_EQ(ProductModelName(20), QStringLiteral("LarchGM "));
    EXPECT_EQ(ProductModelName(21), QStringLiteral("<unknown>"));
    EXPECT_EQ(ProductModelName(-1), QStringLiteral("<unknown>"));
    EXPECT_EQ(MobileTypeName(5), QStringLiteral("Maritime for Ship Security Alert System"));
    EXPECT_EQ(MobileTypeName(6), QStringLiteral("<unknown>"));
}

TEST(StatusVersions, TerminalProgramVersionFollowsCpu) {
    const auto v = ParseVersions(ReadReply("ver.txt"));
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->major, 1);
    EXPECT_EQ(v->minor, 5);

    struct Case {
        const char* reply;
        int major, minor; // -1: nothing
    };
    const Case cases[] = {
        {"cpu 12.34", 12, 34}, {"CPU v1.06", 0, 6},  // lenient reading: "v1" is not a number
        {"CPU 7.", 7, 0},                            // nothing after the dot
        {".CPU", -1, -1},      {"1.05 CPU", -1, -1}, // the dot must follow "CPU"
        {"", -1, -1},
    };
    for (const Case& c : cases) {
        const auto r = ParseVersions(QString::fromLatin1(c.reply));
        if (c.major < 0) {
            EXPECT_FALSE(r.has_value()) << c.reply;
        } else {
            ASSERT_TRUE(r.has_value()) << c.reply;
            EXPECT_EQ(r->major, c.major) << c.reply;
            EXPECT_EQ(r->minor, c.minor) << c.reply;
        }
    }
}

TEST(StatusCapabilities, PollBurstAndNoticeRules) {
    struct Case {
        TransceiverIdentity id;
        bool testMode, reportSettings, distress, unsupported;
    };
    const Case cases[] = {
        {Id(0, 0, 0, 0, 0), true, false, false, false},  // nothing known yet
        {Id(1, 1, 1, 1, 1), false, false, false, true},  // old land-mobile unit
        {Id(2, 1, 1, 2, 1), false, false, true, true},   // old maritime unit
        {Id(4, 3, 6, 1, 1), false, false, false, true},  // aero
        {Id(2, 4, 12, 3, 1), true, true, true, true},    // Cedar family is not supported either
        {Id(2, 5, 18, 3, 1), true, true, true, false},   // LarchC
        {Id(1, 5, 13, 1, 1), false, true, false, false}, // LarchL: no distress function
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WantsDistressTestModeQuery(c.id), c.testMode) << c.id.ProductModel;
        EXPECT_EQ(WantsReportSettingsQuery(c.id), c.reportSettings) << c.id.ProductModel;
        EXPECT_EQ(HasDistressFunction(c.id), c.distress) << c.id.ProductModel;
        EXPECT_EQ(ShowsSolasAdvice(c.id), c.distress) << c.id.ProductModel;
        EXPECT_EQ(IsUnsupportedFamily(c.id), c.unsupported) << c.id.ProductModel;
    }
}
