// The pixel layouts our surfaces come in, and conversions between their raw values and 8-bit ARGB.
// Expanding a channel to 8 bits replicates its top bits (5-bit 31 -> 255); packing truncates.
#pragma once
#include <cstdint>

#include "platform/ddraw/DDraw.h"

enum PIXELKIND {
    PK_UNKNOWN = 0,
    PK_R5G6B5,
    PK_X1R5G5B5,
    PK_A1R5G5B5,
    PK_A4R4G4B4,
    PK_A8R8G8B8,
    PK_X8R8G8B8,
    PK_Z16,
    PK_COUNT
};

// The record of a kind (the display format is PK_R5G6B5).
DDPIXELFORMAT MakePixelFormat(PIXELKIND eKind);
// The kind a record describes, PK_UNKNOWN when we do not serve it.
PIXELKIND ClassifyPixelFormat(const DDPIXELFORMAT& pf);
// Inline: the blitters ask it on every blit and row.
constexpr int BytesPerPixel(PIXELKIND eKind)
{
    if (eKind == PK_A8R8G8B8 || eKind == PK_X8R8G8B8) {
        return 4;
    }
    return eKind > PK_UNKNOWN && eKind < PK_COUNT ? 2 : 0;
}

// The texture formats the device offers, in the order it enumerates them.
constexpr int kTextureFormatCount = 5;
extern const PIXELKIND kTextureFormats[kTextureFormatCount];

// 65536-entry table of ARGB values for a 16-bit colour kind (built once, shared by all threads).
const uint32_t* ArgbTable16(PIXELKIND eKind);
uint32_t DecodeArgb(PIXELKIND eKind, uint32_t dwRaw);
uint32_t EncodeArgb(PIXELKIND eKind, uint32_t dwArgb);

// RGB565 helpers used on every drawn pixel.
inline uint32_t Expand565(uint16_t w)
{
    const uint32_t r = (w >> 11) & 0x1F, g = (w >> 5) & 0x3F, b = w & 0x1F;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}
inline uint16_t Pack565(uint32_t r, uint32_t g, uint32_t b)
{
    return (uint16_t)(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
