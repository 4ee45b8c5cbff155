// Any bytes as a configuration file: parsing must not crash, and a save must read back to the same entries.
#include "config/ini_store.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using tessaro::CIniStore;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto entries = CIniStore::parse(input);
    const auto again = CIniStore::parse(CIniStore::serialise(entries));
    // Keys and single-line values survive a save; the signature block may gain its own line structure.
    if (again.size() != entries.size())
        std::abort();
    return 0;
}
