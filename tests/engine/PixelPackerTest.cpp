// Converting pixels with shifts worked out once per format must give exactly what working each
// channel out from its bit count gives, for every channel width and place.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/BmpLoader.h"

namespace {

int Width(DWORD dwMask)
{
    int n = 0;
    for (; dwMask; dwMask &= dwMask - 1)
        n++;
    return n;
}

int Lowest(DWORD dwMask)
{
    int n = 0;
    while (dwMask && !(dwMask & 1)) {
        dwMask >>= 1;
        n++;
    }
    return n;
}

// The rule channel by channel, counted afresh for every pixel.
DWORD PackByCount(uint32_t c8, DWORD dwMask)
{
    const int nWidth = Width(dwMask);
    if (nWidth == 0)
        return 0;
    const uint32_t c = nWidth >= 8 ? (c8 << (nWidth - 8)) : (c8 >> (8 - nWidth));
    return (c << Lowest(dwMask)) & dwMask;
}

uint32_t UnpackByCount(DWORD dwPixel, DWORD dwMask)
{
    const int nWidth = Width(dwMask);
    if (nWidth == 0)
        return 0;
    const uint32_t c = (dwPixel & dwMask) >> Lowest(dwMask);
    if (nWidth >= 8)
        return c >> (nWidth - 8);
    uint32_t v = 0;
    for (int nBits = 0; nBits < 8; nBits += nWidth)
        v = (v << nWidth) | c;
    return (v >> ((8 + nWidth - 1) / nWidth * nWidth - 8)) & 0xFF;
}

DDPIXELFORMAT Format(DWORD dwBits, DWORD dwR, DWORD dwG, DWORD dwB)
{
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB;
    pf.dwRGBBitCount = dwBits;
    pf.dwRBitMask = dwR;
    pf.dwGBitMask = dwG;
    pf.dwBBitMask = dwB;
    return pf;
}

// The game's formats, and masks of every width from 0 to 10 bits at odd places (a channel may
// also be missing). Every surface's masks are in one piece.
std::vector<DDPIXELFORMAT> Formats()
{
    std::vector<DDPIXELFORMAT> v = {
        Format(16, 0xF800, 0x07E0, 0x001F),          Format(16, 0x7C00, 0x03E0, 0x001F),
        Format(16, 0x0F00, 0x00F0, 0x000F),          Format(32, 0xFF0000, 0x00FF00, 0x0000FF),
        Format(32, 0x3FF00000, 0x000FFC00, 0x3FF),   Format(16, 0xE000, 0x1C00, 0x0300),
        Format(16, 0, 0x07E0, 0),                    Format(32, 0xC0000000, 0x3FFFF000, 0x00000E00),
    };
    for (int nWidth = 1; nWidth <= 10; nWidth++) {
        const DWORD dwField = (1u << nWidth) - 1;
        v.push_back(Format(32, dwField << 21, dwField << 11, dwField << 1));
    }
    return v;
}

} // namespace

TEST(PixelPacker, PacksEveryChannelValueAsTheChannelCountRuleDoes)
{
    std::mt19937 rng(7);
    for (const DDPIXELFORMAT& pf : Formats()) {
        const CPixelPacker packer(pf);
        for (uint32_t c = 0; c < 256; c++) {
            for (int nRound = 0; nRound < 8; nRound++) {
                // The channel under test takes every value; the others are random.
                const uint32_t dwOthers = rng() & 0xFFFFFF;
                for (int nChannel = 0; nChannel < 3; nChannel++) {
                    const int nAt = 16 - 8 * nChannel;
                    const uint32_t dwRgb = (dwOthers & ~(0xFFu << nAt)) | (c << nAt);
                    const DWORD dwExpected = PackByCount((dwRgb >> 16) & 0xFF, pf.dwRBitMask) |
                                             PackByCount((dwRgb >> 8) & 0xFF, pf.dwGBitMask) |
                                             PackByCount(dwRgb & 0xFF, pf.dwBBitMask);
                    ASSERT_EQ(packer.Pack(dwRgb), dwExpected) << std::hex << pf.dwRBitMask << " " << dwRgb;
                    ASSERT_EQ(PackColorToFormat(dwRgb, pf), dwExpected);
                }
            }
        }
    }
}

TEST(PixelPacker, UnpacksEveryPixelAsTheChannelCountRuleDoes)
{
    std::mt19937 rng(11);
    for (const DDPIXELFORMAT& pf : Formats()) {
        const CPixelPacker packer(pf);
        // Every 16-bit value, and as many random ones above.
        for (uint32_t n = 0; n < 0x20000; n++) {
            const DWORD dwPixel = n < 0x10000 ? n : rng();
            const uint32_t dwExpected = (UnpackByCount(dwPixel, pf.dwRBitMask) << 16) |
                                        (UnpackByCount(dwPixel, pf.dwGBitMask) << 8) |
                                        UnpackByCount(dwPixel, pf.dwBBitMask);
            ASSERT_EQ(packer.Unpack(dwPixel), dwExpected) << std::hex << pf.dwRBitMask << " " << dwPixel;
            ASSERT_EQ(UnpackColorFromFormat(dwPixel, pf), dwExpected);
        }
    }
}
