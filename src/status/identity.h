#pragma once

#include <QString>

#include <optional>

namespace tessaro {

// What kind of transceiver is attached; decides menus, command variants and capability rules.
struct TransceiverIdentity {
    int MobileType = 0;   // 0 unknown, 1 land mobile, 2 maritime, 3 fishery, 4 aero, 5 maritime SSAS
    int ProductType = 0;  // hardware family 0..5 (4 Cedar, 5 Larch)
    int ProductModel = 0; // index into ProductModelName
    int SolasType = 0;    // 1 no distress function, 2 distress (non-SOLAS), 3 SOLAS distress; 0 not known yet
    int AtcType = 0;

    bool operator==(const TransceiverIdentity&) const = default;
};

QString MobileTypeName(int mobileType);     // "<unknown>" outside the table
QString ProductModelName(int productModel); // "<unknown>" outside the table

// "st -v": true when the unit reports the old software banner.
bool ParseSoftwareBanner(const QString& reply);

// "st -i": applies every matching rule of the identity table in order, so later matches override
// earlier ones. Plain containment is intended: "LarchLRIT" also matches "LarchL" first.
TransceiverIdentity ParseIdentity(const QString& reply, bool mobileTypeAlderAB, TransceiverIdentity current);

// "ver": the terminal program's version, read around the first "." after "CPU".
struct MinicVersion {
    int major = 0;
    int minor = 0;
};
std::optional<MinicVersion> ParseVersions(const QString& reply);

// Capability rules of the poll burst.
bool WantsDistressTestModeQuery(const TransceiverIdentity& id); // "se -q"
bool WantsReportSettingsQuery(const TransceiverIdentity& id);   // "se -r 1"
bool HasDistressFunction(const TransceiverIdentity& id);        // SolasType 2 or 3

// Once-per-run notices after an identity reply.
bool ShowsSolasAdvice(const TransceiverIdentity& id);
bool IsUnsupportedFamily(const TransceiverIdentity& id);
QString SolasAdviceText();
QString UnsupportedTransceiverText();

} // namespace tessaro
