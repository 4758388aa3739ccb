#include "platform/host/Png565.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

bool WritePng565(const char* pszPath, const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    if (!pszPath || !pPixels || w <= 0 || h <= 0 || nPitchBytes < w * 2) return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    const uint8_t* pRow = reinterpret_cast<const uint8_t*>(pPixels);
    uint8_t* pOut = rgb.data();
    for (int y = 0; y < h; ++y, pRow += nPitchBytes) {
        for (int x = 0; x < w; ++x, pOut += 3) {
            uint16_t c;
            memcpy(&c, pRow + x * 2, sizeof c);
            Expand565(c, pOut, pOut + 1, pOut + 2);
        }
    }
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    std::string tmp = std::string(pszPath) + ".tmp";
    if (!png_image_write_to_file(&image, tmp.c_str(), 0, rgb.data(), w * 3, nullptr)) {
        remove(tmp.c_str());
        return false;
    }
    if (rename(tmp.c_str(), pszPath) != 0) {
        remove(tmp.c_str());
        return false;
    }
    return true;
}

// True when every chunk after the signature fits in the data, up to IEND or the end. libpng
// trusts a chunk's length and would try to read gigabytes an 8-byte header claims.
static bool ChunksFit(const uint8_t* pData, size_t cbData) {
    size_t pos = 8;
    while (pos < cbData) {
        if (cbData - pos < 12) return false;
        const uint8_t* p = pData + pos;
        uint32_t len = (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
        if (len > 0x7FFFFFFFu || len > cbData - pos - 12) return false;
        if (memcmp(p + 4, "IEND", 4) == 0) return true;
        pos += 12 + (size_t)len;
    }
    return true;
}

bool ReadPngRgb(const uint8_t* pData, size_t cbData, std::vector<uint8_t>* pRgb, int* pW, int* pH,
                std::string* pError) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    auto fail = [&](const char* pszWhat) {
        if (pError) *pError = std::string(pszWhat) + ": " + image.message;
        png_image_free(&image);
        return false;
    };
    if (!pData || cbData == 0) {
        if (pError) *pError = "empty PNG data";
        return false;
    }
    if (cbData >= 8 && !ChunksFit(pData, cbData)) {
        if (pError) *pError = "corrupt PNG: a chunk runs past the end of the data";
        return false;
    }
    if (!png_image_begin_read_from_memory(&image, pData, cbData)) return fail("not a PNG");
    // Refuse pictures too large to be frames rather than allocate what a corrupt header claims.
    if (image.width == 0 || image.height == 0 || image.width > 8192 || image.height > 8192)
        return fail("PNG size out of range");
    image.format = PNG_FORMAT_RGB;
    pRgb->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, pRgb->data(), 0, nullptr)) return fail("corrupt PNG");
    *pW = static_cast<int>(image.width);
    *pH = static_cast<int>(image.height);
    return true;
}

bool ReadPngRgbFile(const char* pszPath, std::vector<uint8_t>* pRgb, int* pW, int* pH, std::string* pError) {
    std::ifstream in(pszPath, std::ios::binary);
    if (!in) {
        if (pError) *pError = std::string("cannot open ") + (pszPath ? pszPath : "");
        return false;
    }
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ReadPngRgb(data.data(), data.size(), pRgb, pW, pH, pError);
}
