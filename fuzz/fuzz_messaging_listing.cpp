// Any "ls IN.*" reply through the listing parser, in both layouts.
#include "messaging/reception_parsers.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const tessaro::ListingRecord& r : tessaro::ParseMessageListing(text)) {
        // Values cut from columns never keep a line end.
        if (r.name.contains(QLatin1Char('\n')) || r.extension.contains(QLatin1Char('\r')))
            std::abort();
    }
    // The same text with the other layout's marker.
    (void)tessaro::ParseMessageListing(text + QStringLiteral(" bytes free"));
    return 0;
}
