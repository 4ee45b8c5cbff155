// Any received text through the remote configuration packet decoder: it must never crash, and what it
// decodes must hold together (no more than six parameters, a trailer only behind a found end marker).
#include "config/logs.h"
#include "reporting/remote_config.h"

#include <cstdlib>

namespace {
class NullLog final : public tessaro::ILog {
public:
    void SetLogFile(const QString&) override {}
    void Log(const QString&) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    NullLog log;
    tessaro::cRemoteConfig remote;
    remote.Logging = &log;
    remote.Password = QStringLiteral("pw");
    remote.UTCDate = QDate(2026, 1, 1);
    remote.UTCTime = QTime(12, 0);
    const bool exists = tessaro::cRemoteConfig::ExistConfig(text);
    const tessaro::RemoteConfigPacket p = remote.DecodePacket(text);
    if (!exists && (!p.Commands.isEmpty() || p.PasswordOk))
        std::abort();
    for (const tessaro::RemoteConfigCommand& c : p.Commands)
        if (c.ParamCount > tessaro::kRemoteConfigMaxParams)
            std::abort();
    if (!p.Trailer.isEmpty() && p.Eocid.isEmpty())
        std::abort();
    (void)tessaro::UnscrambleRemotePassword(text);
    return 0;
}
