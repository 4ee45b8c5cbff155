// Any text as a reply to "st -a": the two values never keep a line end or an ETX, and mapping them
// never fails.
#include "distress/distress_test_service.h"

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool clean(const QString& s) {
    for (QChar c : s)
        if (c == u'\r' || c == u'\n' || c == QChar(3))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tessaro;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const LatestDistressValues raw = ParseLatestDistress(text);
    check(clean(raw.alert) && clean(raw.test));
    const LatestDistressValues mapped = MapLatestDistress(raw);
    check(clean(mapped.alert) && clean(mapped.test));
    return 0;
}
