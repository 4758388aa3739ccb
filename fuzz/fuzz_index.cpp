// The region index reader on arbitrary text: every line is read, nothing is read past the input,
// and whatever regions come out can be asked for by name.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/BmpIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<char> copy(pData, pData + nSize);
    CBmpIndex index;
    index.ParseIndexText(copy.data(), copy.size());
    for (const auto& entry : index.GetRegions()) {
        if (!index.HasRegion(entry.first.c_str())) {
            abort();  // names are stored folded, so a stored name must find itself
        }
        int w = 0, h = 0;
        index.GetRegionSize(entry.first.c_str(), &w, &h);
        RECT sub = {1, 1, 3, 3};
        index.CreateRegionSurface(nullptr, entry.first.c_str(), &sub, 1);
    }
    index.Clear();
    return 0;
}
