// Any "st -r" reply through the reception-log parser, and any "ty" reply through the text extraction.
#include "messaging/reception.h"
#include "messaging/reception_parsers.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const tessaro::ReceptionLogRecord& r : tessaro::ParseReceptionLog(text)) {
        if (r.priority > 3 || r.fileName.contains(QLatin1Char('\n')) || r.routing.contains(QLatin1Char('\r')))
            std::abort();
    }
    const QString body = tessaro::CMessageReception::ExtractMessageText(text, QStringLiteral("\r\n"), 10);
    if (body.size() > text.size())
        std::abort();
    return 0;
}
