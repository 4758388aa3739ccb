// The bitmap reader on arbitrary bytes, the whole way a picture of the game takes: the file layer
// hands the bytes to the loader, which refuses them or decodes them within their own bytes, and the
// decoded picture is written into a 16-bit surface of its size. A file whose headers are refused is
// never decoded, and a decoded one has the size its headers give.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/BmpLoader.h"
#include "engine/SurfaceUtil.h"
#include "pack/teskFile.h"

namespace {

// Big pictures only cost time per input: their rows take the paths small ones take.
constexpr int64_t kMaxFuzzPixels = 1 << 16;

IDirectDraw7* FuzzDirectDraw()
{
    static IDirectDraw7* s_lpDD = nullptr;
    if (!s_lpDD) {
        DirectDrawCreateEx(nullptr, (LPVOID*)&s_lpDD, IID_IDirectDraw7, nullptr);
    }
    return s_lpDD;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // Exactly the input's bytes, so a read past the end is caught.
    std::vector<uint8_t> copy(pData, pData + nSize);
    int w = 0, h = 0;
    const int nHeader = ReadBitmapHeaderSize(copy.data(), copy.size(), &w, &h);
    if (nHeader == BMP_OK && (int64_t)w * h > kMaxFuzzPixels) {
        return 0;
    }
    char szName[64];
    const uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)copy.size(), szName, sizeof(szName));
    if (nToken == 0) {
        return 0;  // no bytes at all
    }
    IDirectDrawSurface7* lpSurface = CreateSurfaceFromBitmap(FuzzDirectDraw(), szName, MEM_SYSTEM);
    UnregisterMemoryName(nToken);
    if (!lpSurface) {
        return 0;
    }
    if (nHeader != BMP_OK) {
        abort();
    }
    int sw = 0, sh = 0;
    GetSurfaceSize(lpSurface, &sw, &sh);
    if (sw != w || sh != h) {
        abort();
    }
    lpSurface->Release();
    return 0;
}
