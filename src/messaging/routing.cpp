#include "messaging/routing.h"

#include "config/text_util.h"

namespace tessaro {

namespace {

std::optional<size_t> classIndex(int routingClass) {
    for (size_t i = 0; i < kRoutingClasses.size(); ++i)
        if (kRoutingClasses[i] == routingClass)
            return i;
    return std::nullopt;
}

// Where a label's value stands: the first ":" this far past the start of "N :".
constexpr qsizetype kValueSearchOffset = 34;
constexpr qsizetype kValueWidth = 3;

} // namespace

QString RoutingCaption(int routingClass) {
    switch (routingClass) {
    case 10:
        return QStringLiteral("Mail");
    case 30:
        return QStringLiteral("EGC System Messages");
    case 31:
        return QStringLiteral("EGC FleetNET Messages");
    case 32:
        return QStringLiteral("EGC SafetyNET Safety");
    case 33:
        return QStringLiteral("EGC SafetyNET Urgent+Distress");
    default:
        return {};
    }
}

std::optional<int> RoutingTable::value(int routingClass) const {
    const auto i = classIndex(routingClass);
    return i ? values[*i] : std::nullopt;
}

void RoutingTable::set(int routingClass, int value) {
    if (const auto i = classIndex(routingClass))
        values[*i] = value;
}

LocalPrinter LocalPrinterFromVariables(QStringView reply) {
    if (reply.contains(u"PRINTER=NO", Qt::CaseInsensitive))
        return LocalPrinter::PC;
    if (reply.contains(u"PRINTER=OFF", Qt::CaseInsensitive))
        return LocalPrinter::Off;
    return LocalPrinter::Modem;
}

bool FamilyReportsPrinterVariable(int productType) {
    return productType != 4 && productType != 5;
}

RoutingTable ParseRoutingReply(QStringView reply, const RoutingTable& previous) {
    RoutingTable table = previous;
    const qsizetype from = reply.indexOf(u"Configuration", 0, Qt::CaseInsensitive);
    if (from < 0)
        return table;
    QStringView text = reply.sliced(from);
    const qsizetype end = text.indexOf(u"Enter filenumber >", 0, Qt::CaseInsensitive);
    if (end >= 0)
        text.truncate(end);
    for (int routingClass : kRoutingClasses) {
        const QString label = QString::number(routingClass) + QStringLiteral(" :");
        const qsizetype at = text.indexOf(label);
        if (at < 0 || at + kValueSearchOffset > text.size())
            continue;
        const qsizetype colon = text.indexOf(u':', at + kValueSearchOffset);
        if (colon < 0)
            continue;
        QStringView field = text.sliced(colon + 1).left(kValueWidth).trimmed();
        // A value cut off by the end of the table is no value; a number is at most 3 characters here.
        if (field.isEmpty() || !field.front().isDigit())
            continue;
        table.set(routingClass, int(Val(field)));
    }
    return table;
}

QString LocalPrinterCommand(LocalPrinter printer) {
    switch (printer) {
    case LocalPrinter::PC:
        return QStringLiteral("se -z PRINTER=NO");
    case LocalPrinter::Off:
        return QStringLiteral("se -z PRINTER=OFF");
    case LocalPrinter::Modem:
        break;
    }
    return QStringLiteral("se -z PRINTER=YES");
}

QStringList RoutingCommands(const RoutingTable& table, std::optional<LocalPrinter> printer) {
    QStringList commands;
    for (int routingClass : kRoutingClasses) {
        if (const auto v = table.value(routingClass))
            commands << QStringLiteral("ro %1 ").arg(routingClass) + QStringLiteral(" %1").arg(*v);
    }
    if (printer)
        commands << LocalPrinterCommand(*printer);
    return commands;
}

} // namespace tessaro
