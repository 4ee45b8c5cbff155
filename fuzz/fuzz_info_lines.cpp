// Any "st -l" reply through the INFO and ERROR line cutter.
#include "status/info_lines.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& keyword : {QStringLiteral("INFO "), QStringLiteral("ERROR ")}) {
        const auto lines = tessaro::CutInfoLines(text, keyword, QStringLiteral("can0:/$ "));
        // Every cut line starts after a line end, so there can be no more lines than line ends plus one.
        if (lines.size() > text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r')) + 1)
            std::abort();
        (void)tessaro::CutInfoLines(text, keyword, QStringLiteral("\r\n: "));
    }
    return 0;
}
