// The data manifest reader on arbitrary bytes: a text it takes holds only safe paths, and writing
// it and reading that back gives the same records and the same text; a text it refuses leaves
// nothing behind.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "DataManifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string text(reinterpret_cast<const char*>(pData), nSize);
    CDataManifest manifest;
    std::string error;
    if (!manifest.Decode(text, &error)) {
        if (error.empty() || !manifest.Files().empty() || manifest.HasVersion())
            abort();
        return 0;
    }
    for (const auto& entry : manifest.Files()) {
        if (!IsSafeDataPath(entry.first))
            abort();
    }
    const std::string written = manifest.Encode();
    CDataManifest again;
    if (!again.Decode(written, &error))
        abort();
    if (again.Files() != manifest.Files() || again.HasVersion() != manifest.HasVersion() ||
        again.Version() != manifest.Version() || again.Encode() != written)
        abort();
    return 0;
}
