#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace tessaro {

// The transceiver's routing classes in dialog order, with their row captions.
inline constexpr std::array<int, 5> kRoutingClasses{10, 30, 31, 32, 33};
QString RoutingCaption(int routingClass);

// Bits of a routing value; the transceiver may use further bits, which are kept as they were read.
enum RoutingBit : int { RouteDisk = 1, RouteLocalPrinter = 2, RouteRemotePrinter = 4 };
inline constexpr int kRoutingBits = RouteDisk | RouteLocalPrinter | RouteRemotePrinter;

// The routing value of each class; nullopt until the transceiver has told it (or the operator set it).
struct RoutingTable {
    std::array<std::optional<int>, kRoutingClasses.size()> values{};

    std::optional<int> value(int routingClass) const;
    void set(int routingClass, int value);
    bool operator==(const RoutingTable&) const = default;
};

enum class LocalPrinter { PC, Modem, Off };

// The local printer setting of a "set -z" reply: "PRINTER=NO" is the PC, "PRINTER=OFF" is off, anything
// else the modem's printer (case-blind).
LocalPrinter LocalPrinterFromVariables(QStringView reply);
// Only the families other than 4 and 5 report the printer this way.
bool FamilyReportsPrinterVariable(int productType);

// The "ro" reply laid over previous: the text from "Configuration" to "Enter filenumber >" is read; for
// each class, the 3 characters after the first ":" at least 34 characters past its "N :" label, trimmed and
// read as a number. A class whose label or value is missing keeps its previous value.
RoutingTable ParseRoutingReply(QStringView reply, const RoutingTable& previous);

// What OK sends: "ro N " + " " + value for each class with a value (a class never read and never set is
// left alone, rather than cleared), then the printer assignment when the printer setting is known.
QStringList RoutingCommands(const RoutingTable& table, std::optional<LocalPrinter> printer);
QString LocalPrinterCommand(LocalPrinter printer);

} // namespace tessaro
