// Any text as a reply to "ro" or "set -z", or as a default-message or Hotlist.xml file. Whatever is read,
// the commands built from it stay one line each, and what is read back from a written file is what was
// written.
#include "messaging/default_message.h"
#include "messaging/routing.h"
#include "reporting/hot_list.h"

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool hasLineEnd(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tessaro;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromLatin1(bytes);

    RoutingTable previous;
    previous.set(31, 4);
    const RoutingTable table = ParseRoutingReply(text, previous);
    for (int routingClass : kRoutingClasses) {
        if (const auto v = table.value(routingClass))
            check(*v >= 0 && *v <= 999);
    }
    check(table.value(31).has_value());
    for (const QString& command : RoutingCommands(table, LocalPrinterFromVariables(text)))
        check(!command.isEmpty() && !hasLineEnd(command));

    if (const auto message = ParseDefaultMessage(bytes)) {
        // Written in the tagged layout, every field reads back unchanged.
        const auto back = ParseDefaultMessage(FormatDefaultMessage(*message));
        check(back.has_value());
        DefaultMessageFields expected = *message;
        check(back->Name == expected.Name && back->Subject == expected.Subject && back->BodyText == expected.BodyText);
    }

    if (const auto items = ParseHotList(bytes)) {
        const auto back = ParseHotList(FormatHotList(*items));
        check(back.has_value() && *back == *items);
    }
    return 0;
}
