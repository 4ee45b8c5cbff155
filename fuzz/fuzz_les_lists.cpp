// Any text as a reply to "st -n" and "status -n": every listed identifier is three digits, a services block
// comes from the reply and starts with its label, and a provider line always has its 17 fields.
#include "messaging/les_lists.h"
#include "messaging/provider_list.h"

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tessaro;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList ids = ParseLesList(text);
    for (const QString& id : ids)
        check(id.size() == 3 && IsAllDigits(id));
    const int ocean = OceanOfLesList(ids);
    check(ocean >= -1 && ocean <= 3);
    const QString les = text.left(3);
    for (const QString& lineEnd : {QStringLiteral("\r\n"), QStringLiteral("\n"), QString()}) {
        const std::optional<QString> block = FindLesServices(text, les, lineEnd);
        if (block)
            check(text.contains(*block) && block->startsWith(QLatin1String("LES id"), Qt::CaseInsensitive));
    }
    const ServiceProvider provider = ServiceProvider::fromLine(text);
    check(ServiceProvider::fromLine(provider.line()).fields.size() >= ServiceProvider::kFieldCount);
    (void)ProviderFieldsProblem(provider);
    return 0;
}
