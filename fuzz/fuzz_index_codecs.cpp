// Any line through the three index codecs: parsing never fails badly, and a line read and written back
// unchanged comes back byte for byte (the stores rewrite lines they did not mean to change).
#include "messaging/in_idx.h"
#include "messaging/inbox_idx.h"
#include "messaging/out_idx.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString line = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    // A stored line never holds its own line end.
    line.remove(QLatin1Char('\n'));
    if (const auto r = tessaro::OutIdx::parse(line); r && tessaro::OutIdx::format(*r) != line)
        std::abort();
    if (const auto r = tessaro::InIdx::parse(line); r && tessaro::InIdx::format(*r) != line)
        std::abort();
    if (const auto r = tessaro::InboxIdx::parse(line); r && tessaro::InboxIdx::format(*r) != line)
        std::abort();
    return 0;
}
