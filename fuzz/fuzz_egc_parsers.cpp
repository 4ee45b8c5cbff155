// Any reply through the EGC parsers: the "ls EGC.*" listing in both layouts, the "st -e" log, the routing
// mark and the "ty" text.
#include "egc/egc_parsers.h"

#include <cstdlib>

namespace {
bool hasLineEnd(const QString& value) {
    return value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tessaro;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& reply : {text, text + QStringLiteral(" bytes free"), QStringLiteral("ls EGC.*\r\n") + text}) {
        const QVector<EgcFileEntry> list = DecodeEGCFileList(reply);
        for (qsizetype i = 0; i < list.size(); ++i) {
            // Values cut from columns never keep a line end.
            if (hasLineEnd(list[i].Name) || hasLineEnd(list[i].Date) || hasLineEnd(list[i].Time))
                std::abort();
            // Oldest first: no valid date after an invalid one.
            if (i > 0 && !EgcDate(list[i - 1].Date).isValid() && EgcDate(list[i].Date).isValid())
                std::abort();
        }
        const QVector<EgcFileEntry> fresh =
            NewEgcEntries(list, QStringLiteral("005"), QStringLiteral("2026-12-10 08:15"));
        if (fresh.size() > list.size())
            std::abort();
    }
    bool found = false;
    for (const EgcLogEntry& e : DecodeEgcLog(QStringLiteral("st -e\r\n") + text, &found)) {
        if (!e.FileName.startsWith(QLatin1String("EGC.")) || hasLineEnd(e.Routing) || hasLineEnd(e.FileName))
            std::abort();
    }
    if (!found)
        std::abort();
    (void)DecodeEgcLog(text);
    (void)EgcMarkedForSaving(text, QStringLiteral("EGC.001"));
    const QString body = ExtractEgcMsgFromBuffer(text, QStringLiteral("can0:/$ "));
    if (body.size() > text.size())
        std::abort();
    (void)EgcNameOfTyReply(text);
    return 0;
}
