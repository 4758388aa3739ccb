// Windows bitmap files as the surface loaders read them: CBmpLoader, the decoded picture that a
// surface's device context copies from, and the conversion of its colours to a surface's format.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/BmpDecode.h"
#include "platform/ddraw/DDraw.h"

#ifndef SRCCOPY
#define SRCCOPY 0x00CC0020u
#endif

// A format's three colour channels (masks in one piece, as every surface's are) as shifts and
// factors worked out once, so that converting a picture costs a shift, a multiply and a mask per
// channel and pixel.
class CPixelPacker {
public:
    explicit CPixelPacker(const DDPIXELFORMAT& pf);

    // A 0x00RRGGBB colour as a pixel of the format: each channel truncated to its width.
    DWORD Pack(uint32_t dwRgb) const
    {
        return PackChannel(m_Channels[0], (dwRgb >> 16) & 0xFF) | PackChannel(m_Channels[1], (dwRgb >> 8) & 0xFF) |
               PackChannel(m_Channels[2], dwRgb & 0xFF);
    }
    // The 0x00RRGGBB colour of a raw pixel: each channel widened to 8 bits by repeating its top bits.
    uint32_t Unpack(DWORD dwPixel) const
    {
        return (UnpackChannel(m_Channels[0], dwPixel) << 16) | (UnpackChannel(m_Channels[1], dwPixel) << 8) |
               UnpackChannel(m_Channels[2], dwPixel);
    }

private:
    struct CHANNEL {
        DWORD dwMask;
        int nShift;        // of the mask's lowest bit
        int nPackRight;    // an 8-bit value is cut to the width by this much...
        int nPackLeft;     // ...then moved up by this much
        uint32_t nRepeat;  // the channel times this repeats it until it covers 8 bits...
        int nUnpackRight;  // ...and this much off the bottom leaves the top 8
    };

    static DWORD PackChannel(const CHANNEL& c, uint32_t c8) { return ((c8 >> c.nPackRight) << c.nPackLeft) & c.dwMask; }
    static uint32_t UnpackChannel(const CHANNEL& c, DWORD dwPixel)
    {
        return ((((dwPixel & c.dwMask) >> c.nShift) * c.nRepeat) >> c.nUnpackRight) & 0xFF;
    }
    static CHANNEL MakeChannel(DWORD dwMask);

    CHANNEL m_Channels[3];
};

// One-off conversions (a key colour); loops over pixels make a CPixelPacker once.
DWORD PackColorToFormat(uint32_t dwRgb, const DDPIXELFORMAT& pf);
uint32_t UnpackColorFromFormat(DWORD dwPixel, const DDPIXELFORMAT& pf);

class CBmpLoader {
public:
    CBmpLoader() = default;
    virtual ~CBmpLoader() { Release(); }

    // Reads the bitmap through the pack-aware file layer. 0 (and a debug message that says why)
    // when it cannot be opened or is refused.
    int Load(const char* pszPath);
    void Release();
    void GetSize(int* pnWidth, int* pnHeight) const;
    const BMPIMAGE& GetImage() const { return m_Image; }
    bool IsLoaded() const { return m_bLoaded; }
    // Copies w x h pixels from (sx, sy) of the picture to (x, y) of a surface, converting to the
    // surface's format; the copy is clipped to both. 0 when the surface cannot be locked.
    int CopyTo(IDirectDrawSurface7* lpSurface, int x, int y, int w, int h, int sx, int sy) const;

private:
    BMPIMAGE m_Image;
    bool m_bLoaded = false;
};

// The bitmap's size from its headers, read through the pack-aware file layer; -1 and -1 when it
// cannot be opened or its headers are refused.
void ReadBitmapFileSize(const char* pszPath, int* pnWidth, int* pnHeight);

// GDI-style companions of the loader.
int DeleteObject(CBmpLoader* pLoader);
// Copies into the surface behind a device context handed out by IDirectDrawSurface7::GetDC (only
// SRCCOPY). 0 for a null loader or a context that is not a surface's.
BOOL BitBlt(HDC hdcDest, int x, int y, int w, int h, CBmpLoader* pLoader, int sx, int sy, DWORD dwRop);
