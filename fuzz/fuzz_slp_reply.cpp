// Any datagram through the SLP reply and request parsers, and any tool output through the discovery rules.
#include "link/lan_discovery.h"
#include "link/slp_codec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray datagram(reinterpret_cast<const char*>(data), qsizetype(size));
    using namespace tessaro;
    // The XID of the datagram itself, so the body parsers are reached and not only the header check.
    const quint16 xid = size >= 12 ? quint16((data[10] << 8) | data[11]) : 0;
    const auto services = slp::ParseServiceReply(datagram, xid);
    if (services.ok()) {
        qsizetype total = 0;
        for (const slp::UrlEntry& e : services.value.urls)
            total += e.url.size();
        if (total > datagram.size())
            std::abort(); // more URL bytes than the datagram holds
    }
    const auto attributes = slp::ParseAttributeReply(datagram, xid);
    if (attributes.ok() && attributes.value.attributes.size() > datagram.size())
        std::abort();
    (void)slp::ParseRequest(datagram);
    const QString text = QString::fromLatin1(datagram);
    for (const QString& address : ServiceAddresses(text)) {
        if (address.isEmpty() || address.contains(u'\n') || address.contains(u'\r'))
            std::abort();
    }
    const auto version = ParseTcuSwVersion(text);
    if (version && (version->major < 0 || version->minor < 0 || version->minor > 99))
        std::abort();
    return 0;
}
