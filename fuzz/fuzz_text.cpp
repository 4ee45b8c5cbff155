// Any reply text through the lenient readers and the line-end helpers.
#include "config/text_util.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)tessaro::Val(text);
    (void)tessaro::IsNumeric(text);
    const QString flat = tessaro::FlattenText(text);
    if (flat.contains(QLatin1Char('\n')) || flat.contains(QLatin1Char('\r')))
        std::abort();
    if (tessaro::NormaliseLineEnds(text).contains(QLatin1String("\r\r")))
        std::abort();
    (void)tessaro::StripLineEnds(text);
    return 0;
}
