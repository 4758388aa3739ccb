// The bitmap reader on arbitrary bytes: a file is either refused or decoded within its own bytes,
// and a decoded picture converts into a surface-sized plane without leaving it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/BmpLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // Exactly the input's bytes, so a read past the end is caught.
    std::vector<uint8_t> copy(pData, pData + nSize);
    BMPIMAGE img;
    int w = 0, h = 0;
    const int nHeader = ReadBitmapHeaderSize(copy.data(), copy.size(), &w, &h);
    const int nResult = DecodeBitmap(copy.data(), copy.size(), &img);
    if ((nHeader == BMP_OK) != (nResult == BMP_OK)) {
        abort();
    }
    if (nResult != BMP_OK) {
        return 0;
    }
    if (img.nWidth != w || img.nHeight != h || img.pixels.size() != (size_t)w * h) {
        abort();
    }
    DDPIXELFORMAT pf = {};
    pf.dwRGBBitCount = 16;
    pf.dwRBitMask = 0xF800;
    pf.dwGBitMask = 0x07E0;
    pf.dwBBitMask = 0x001F;
    for (size_t i = 0; i < img.pixels.size() && i < 4096; i++) {
        if (PackColorToFormat(img.pixels[i], pf) > 0xFFFF) {
            abort();
        }
    }
    return 0;
}
