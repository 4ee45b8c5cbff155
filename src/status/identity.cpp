#include "status/identity.h"

#include "config/text_util.h"
#include "status/reply_fields.h"

#include <array>

namespace tessaro {

namespace {

constexpr int kKeep = -1;

// A value that may differ for units that reported the old software banner: Pick(normal, oldBanner).
struct Pick {
    int normal = kKeep;
    int alderAB = kKeep;
    // Implicit on purpose: the table rows write plain numbers.
    constexpr Pick(int both = kKeep) : normal(both), alderAB(both) {}
    constexpr Pick(int n, int ab) : normal(n), alderAB(ab) {}
    int value(bool ab) const { return ab ? alderAB : normal; }
};

struct IdentityRule {
    std::array<const char*, 2> texts; // either text matches; the second may be null
    Pick mobileType, productType, productModel, solasType, atcType;
    // Applied when the reply also contains " SSAS".
    Pick ssasMobileType = {}, ssasProductModel = {}, ssasAtcType = {};
};

const std::array<IdentityRule, 21> kIdentityRules = {{
    {{"Landmobile", nullptr}, 1, Pick(2, 1), Pick(3, 1), 1, 1},
    {{"(Aero)", nullptr}, 4, 3, 6, 1, 1},
    {{"Maritime", nullptr}, 2, 1, Pick(2, 1), Pick(3, 2), 1},
    {{"Fishery", nullptr}, 3, 2, 4, 2, 1},
    {{"Non-SOLAS Fishery", nullptr}, 3, 2, 4, 2, 1},
    {{"Non-SOLAS Without Distress Fishery", nullptr}, 3, 2, 5, 1, 1},
    {{" SOLAS Maritime", nullptr}, 2, 1, 2, 3, 1},
    {{"CedarL", nullptr}, 1, 4, 7, 1, 1},
    {{"CedarM", nullptr}, 2, 4, 8, 1, kKeep, 5, 9, 1},
    {{"CedarS", nullptr}, 2, 4, 10, 1, 1},
    {{"CedarSD", "CedarD"}, 2, 4, 11, 2, 1},
    {{"CedarC", nullptr}, 2, 4, 12, 3, 1},
    {{"LarchL", nullptr}, 1, 5, 13, 1, 1},
    {{"LarchM", nullptr}, 2, 5, 14, 1, kKeep, 5, 15, 1},
    {{"LarchGM", nullptr}, 2, 5, 20, 1, kKeep, 5, 15, 2},
    {{"LarchLRIT", nullptr}, 2, 5, 16, 1, 1},
    {{"LarchSD", "LarchD"}, 2, 5, 17, 2, 1},
    {{"LarchGD", nullptr}, 2, 5, 19, 2, 2},
    {{"LarchC", nullptr}, 2, 5, 18, 3, 1},
    {{"LarchSSA", nullptr}, 2, 5, 15, 1, 1, 5},
    {{" SOLAS ", nullptr}, kKeep, kKeep, kKeep, 3, kKeep},
}};

constexpr std::array<const char*, 6> kMobileTypeNames = {
    "<unknown>", "Landmobile", "Maritime", "Fishery", "Aero", "Maritime for Ship Security Alert System"};

constexpr std::array<const char*, 21> kModelNames = {
    "<unknown>", "AlderA/B ", "AlderC ",     "BirchC ", "BirchD ", "BirchE ",  "ElmA ",
    "CedarL ",   "CedarM ",   "CedarM SSAS", "CedarS ", "CedarD ", "CedarC ",  "LarchL ",
    "LarchM ",   "LarchSSA ", "LarchLRIT ",  "LarchD ", "LarchC ", "LarchGD ", "LarchGM "};

void assign(int& target, const Pick& pick, bool ab) {
    const int v = pick.value(ab);
    if (v != kKeep)
        target = v;
}

bool containsAny(const QString& reply, const std::array<const char*, 2>& texts) {
    for (const char* t : texts) {
        if (t && reply.contains(QLatin1StringView(t), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QString MobileTypeName(int mobileType) {
    if (mobileType < 0 || mobileType >= int(kMobileTypeNames.size()))
        return QString::fromLatin1(kMobileTypeNames[0]);
    return QString::fromLatin1(kMobileTypeNames[std::size_t(mobileType)]);
}

QString ProductModelName(int productModel) {
    if (productModel < 0 || productModel >= int(kModelNames.size()))
        return QString::fromLatin1(kModelNames[0]);
    return QString::fromLatin1(kModelNames[std::size_t(productModel)]);
}

bool ParseSoftwareBanner(const QString& reply) {
    return reply.contains(QLatin1StringView("Inmarsat-C Software"), Qt::CaseInsensitive);
}

TransceiverIdentity ParseIdentity(const QString& reply, bool mobileTypeAlderAB, TransceiverIdentity current) {
    const bool ssas = reply.contains(QLatin1StringView(" SSAS"), Qt::CaseInsensitive);
    for (const IdentityRule& rule : kIdentityRules) {
        if (!containsAny(reply, rule.texts))
            continue;
        assign(current.MobileType, rule.mobileType, mobileTypeAlderAB);
        assign(current.ProductType, rule.productType, mobileTypeAlderAB);
        assign(current.ProductModel, rule.productModel, mobileTypeAlderAB);
        assign(current.SolasType, rule.solasType, mobileTypeAlderAB);
        assign(current.AtcType, rule.atcType, mobileTypeAlderAB);
        if (ssas) {
            assign(current.MobileType, rule.ssasMobileType, mobileTypeAlderAB);
            assign(current.ProductModel, rule.ssasProductModel, mobileTypeAlderAB);
            assign(current.AtcType, rule.ssasAtcType, mobileTypeAlderAB);
        }
    }
    return current;
}

std::optional<MinicVersion> ParseVersions(const QString& reply) {
    const qsizetype cpu = reply.indexOf(QLatin1StringView("CPU"), 0, Qt::CaseInsensitive);
    if (cpu < 0)
        return std::nullopt;
    const qsizetype dot = reply.indexOf(QLatin1Char('.'), cpu + 3);
    if (dot < 0)
        return std::nullopt;
    MinicVersion v;
    const qsizetype before = qMax<qsizetype>(dot - 2, 0);
    v.major = BoundedVal(QStringView(reply).mid(before, dot - before), 0, 99);
    v.minor = BoundedVal(QStringView(reply).mid(dot + 1, 2), 0, 99);
    return v;
}

bool WantsDistressTestModeQuery(const TransceiverIdentity& id) {
    return id.SolasType != 1 && id.ProductModel != 1 && id.ProductModel != 6;
}

bool WantsReportSettingsQuery(const TransceiverIdentity& id) {
    return id.ProductModel != 0 && id.ProductModel != 1 && id.ProductModel != 6;
}

bool HasDistressFunction(const TransceiverIdentity& id) {
    return id.SolasType == 2 || id.SolasType == 3;
}

bool ShowsSolasAdvice(const TransceiverIdentity& id) {
    return HasDistressFunction(id);
}

bool IsUnsupportedFamily(const TransceiverIdentity& id) {
    return id.ProductType >= 1 && id.ProductType <= 4;
}

QString SolasAdviceText() {
    return QStringLiteral("When using Tessaro, please make sure that :\n"
                          "* PC sound is turned on\n"
                          "* PC standby is disabled\n"
                          "* PC hibernate is disabled\n"
                          "* PC screensaver is not password protected");
}

QString UnsupportedTransceiverText() {
    return QStringLiteral("The transceiver is not supported by this version of Tessaro");
}

} // namespace tessaro
