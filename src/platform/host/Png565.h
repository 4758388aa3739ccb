// PNG files of RGB565 frames (screenshots) and a reader for checking them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes w x h pixels as 8-bit RGB, expanding 5 and 6 bits by bit replication; the file appears
// only once complete (written beside it, then renamed). False on any failure.
bool WritePng565(const char* pszPath, const uint16_t* pPixels, int nPitchBytes, int w, int h);

// Decodes a PNG into packed 8-bit RGB. False, with a message, for anything that is not a
// readable PNG.
bool ReadPngRgb(const uint8_t* pData, size_t cbData, std::vector<uint8_t>* pRgb, int* pW, int* pH,
                std::string* pError);
bool ReadPngRgbFile(const char* pszPath, std::vector<uint8_t>* pRgb, int* pW, int* pH, std::string* pError);

// One RGB565 pixel as 8-bit components, bits replicated into the low bits.
inline void Expand565(uint16_t c, uint8_t* pR, uint8_t* pG, uint8_t* pB) {
    unsigned r = (c >> 11) & 0x1F, g = (c >> 5) & 0x3F, b = c & 0x1F;
    *pR = static_cast<uint8_t>((r << 3) | (r >> 2));
    *pG = static_cast<uint8_t>((g << 2) | (g >> 4));
    *pB = static_cast<uint8_t>((b << 3) | (b >> 2));
}
