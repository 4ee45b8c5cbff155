// Any "ls <file>" and "tx" reply through the size check and the tx error parser.
#include "messaging/transmission_replies.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)tessaro::UploadedSizeMatches(text, qint64(size));
    (void)tessaro::UploadedSizeMatches(text, 0);
    const tessaro::TxError e = tessaro::ParseTxError(QStringLiteral("tx") + text);
    if (e.text.contains(QLatin1Char('\n')) || e.fileName.contains(QLatin1Char('\n')))
        std::abort();
    return 0;
}
