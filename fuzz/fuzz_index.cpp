// The region index reader on arbitrary text: every line is read, nothing is read past the input,
// whatever regions come out can be asked for by name, and each is cut from a real sheet as the
// game cuts it: a region on the sheet makes a surface of its size, one off the sheet none.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzDevice.h"
#include "engine/BmpIndex.h"
#include "engine/SurfaceUtil.h"

namespace {

void CutRegion(CBmpIndex& index, const rvm::string& name, const RECT& rc)
{
    int w = 0, h = 0;
    index.GetRegionSize(name.c_str(), &w, &h);
    int nSheetW = 0, nSheetH = 0;
    GetSurfaceSize(index.GetSheet(), &nSheetW, &nSheetH);
    const bool bOnSheet = rc.left >= 0 && rc.top >= 0 && rc.right <= nSheetW && rc.bottom <= nSheetH &&
                          rc.left < rc.right && rc.top < rc.bottom;
    IDirectDrawSurface7* lpSurface = index.CreateRegionSurface(g_lpDD, name.c_str(), nullptr, MEM_SYSTEM);
    if ((lpSurface != nullptr) != bOnSheet)
        abort();
    if (lpSurface) {
        int nCutW = 0, nCutH = 0;
        GetSurfaceSize(lpSurface, &nCutW, &nCutH);
        if (nCutW != w || nCutH != h)
            abort();
        lpSurface->Release();
    }
    // A corner of the region, and the region drawn onto the screen's back buffer.
    RECT sub = {1, 1, 3, 3};
    if (IDirectDrawSurface7* lpCorner = index.CreateRegionSurface(g_lpDD, name.c_str(), &sub, MEM_SYSTEM))
        lpCorner->Release();
    RECT dest = {0, 0, w > 0 && w < 640 ? w : 1, h > 0 && h < 480 ? h : 1};
    index.BltRegion(g_lpDDSBack, &dest, name.c_str(), nullptr, DDBLT_WAIT, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const FuzzInputScope scope;
    IDirect3DDevice7* lpDevice = FuzzDevice("fuzz_index");
    static CBmpIndex* s_pIndex = new CBmpIndex;
    CBmpIndex& index = *s_pIndex;
    LoadFuzzSheet(lpDevice, index);
    std::vector<char> copy(pData, pData + nSize);
    index.ParseIndexText(copy.data(), copy.size());
    for (const auto& entry : index.GetRegions()) {
        if (!index.HasRegion(entry.first.c_str()))
            abort();  // names are stored folded, so a stored name must find itself
        CutRegion(index, entry.first, entry.second);
    }
    index.ClearRegions();
    return 0;
}
