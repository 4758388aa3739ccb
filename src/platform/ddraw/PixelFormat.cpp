#include "platform/ddraw/PixelFormat.h"

#include <array>
#include <memory>
#include <mutex>

const PIXELKIND kTextureFormats[kTextureFormatCount] = {PK_R5G6B5, PK_X1R5G5B5, PK_A1R5G5B5, PK_A4R4G4B4,
                                                        PK_A8R8G8B8};

namespace {

struct KINDMASKS {
    DWORD dwBits;
    DWORD dwA, dwR, dwG, dwB;
};

constexpr KINDMASKS kMasks[PK_COUNT] = {
    {0, 0, 0, 0, 0},                                         // PK_UNKNOWN
    {16, 0, 0xF800, 0x07E0, 0x001F},                         // PK_R5G6B5
    {16, 0, 0x7C00, 0x03E0, 0x001F},                         // PK_X1R5G5B5
    {16, 0x8000, 0x7C00, 0x03E0, 0x001F},                    // PK_A1R5G5B5
    {16, 0xF000, 0x0F00, 0x00F0, 0x000F},                    // PK_A4R4G4B4
    {32, 0xFF000000u, 0x00FF0000, 0x0000FF00, 0x000000FF},  // PK_A8R8G8B8
    {32, 0, 0x00FF0000, 0x0000FF00, 0x000000FF},             // PK_X8R8G8B8
    {16, 0, 0, 0xFFFF, 0},                                   // PK_Z16 (Z mask in the green slot)
};

int LowBit(DWORD dwMask)
{
    int n = 0;
    while (dwMask && !(dwMask & 1)) {
        dwMask >>= 1;
        n++;
    }
    return n;
}

int BitCount(DWORD dwMask)
{
    int n = 0;
    for (; dwMask; dwMask &= dwMask - 1) {
        n++;
    }
    return n;
}

// A channel of nBits widened to 8 bits by repeating its top bits.
uint32_t Widen(uint32_t v, int nBits)
{
    if (nBits <= 0) {
        return 0;
    }
    if (nBits >= 8) {
        return v >> (nBits - 8);
    }
    uint32_t out = 0;
    int nShift = 8 - nBits;
    out = v << nShift;
    while (nShift > 0) {
        nShift -= nBits;
        out |= nShift >= 0 ? (v << nShift) : (v >> -nShift);
    }
    return out & 0xFF;
}

uint32_t Channel(uint32_t dwRaw, DWORD dwMask)
{
    if (!dwMask) {
        return 0;
    }
    return Widen((dwRaw & dwMask) >> LowBit(dwMask), BitCount(dwMask));
}

uint32_t Place(uint32_t v8, DWORD dwMask)
{
    if (!dwMask) {
        return 0;
    }
    const int nBits = BitCount(dwMask);
    return ((v8 >> (8 - nBits)) << LowBit(dwMask)) & dwMask;
}

} // namespace

DDPIXELFORMAT MakePixelFormat(PIXELKIND eKind)
{
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    if (eKind <= PK_UNKNOWN || eKind >= PK_COUNT) {
        return pf;
    }
    const KINDMASKS& m = kMasks[eKind];
    if (eKind == PK_Z16) {
        pf.dwFlags = DDPF_ZBUFFER;
        pf.dwZBufferBitDepth = 16;
        pf.dwZBitMask = 0xFFFF;
        return pf;
    }
    pf.dwFlags = DDPF_RGB | (m.dwA ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = m.dwBits;
    pf.dwRBitMask = m.dwR;
    pf.dwGBitMask = m.dwG;
    pf.dwBBitMask = m.dwB;
    pf.dwRGBAlphaBitMask = m.dwA;
    return pf;
}

PIXELKIND ClassifyPixelFormat(const DDPIXELFORMAT& pf)
{
    if (pf.dwFlags & DDPF_ZBUFFER) {
        return (pf.dwZBufferBitDepth == 16) ? PK_Z16 : PK_UNKNOWN;
    }
    if (!(pf.dwFlags & DDPF_RGB) || (pf.dwFlags & (DDPF_FOURCC | DDPF_PALETTEINDEXED8 | DDPF_PALETTEINDEXED4))) {
        return PK_UNKNOWN;
    }
    const DWORD dwAlpha = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
    for (int k = PK_R5G6B5; k < PK_Z16; k++) {
        const KINDMASKS& m = kMasks[k];
        if (m.dwBits == pf.dwRGBBitCount && m.dwR == pf.dwRBitMask && m.dwG == pf.dwGBitMask &&
            m.dwB == pf.dwBBitMask && m.dwA == dwAlpha) {
            return (PIXELKIND)k;
        }
    }
    return PK_UNKNOWN;
}

// BytesPerPixel, inline in the header, must agree with the table.
static constexpr bool SizesAgree()
{
    for (int i = 0; i < PK_COUNT; i++) {
        if (BytesPerPixel((PIXELKIND)i) != (int)kMasks[i].dwBits / 8) {
            return false;
        }
    }
    return true;
}
static_assert(SizesAgree());

uint32_t DecodeArgb(PIXELKIND eKind, uint32_t dwRaw)
{
    if (eKind <= PK_UNKNOWN || eKind >= PK_Z16) {
        return 0;
    }
    const KINDMASKS& m = kMasks[eKind];
    const uint32_t a = m.dwA ? Channel(dwRaw, m.dwA) : 0xFF;
    return (a << 24) | (Channel(dwRaw, m.dwR) << 16) | (Channel(dwRaw, m.dwG) << 8) | Channel(dwRaw, m.dwB);
}

uint32_t EncodeArgb(PIXELKIND eKind, uint32_t dwArgb)
{
    if (eKind <= PK_UNKNOWN || eKind >= PK_Z16) {
        return 0;
    }
    const KINDMASKS& m = kMasks[eKind];
    return Place(dwArgb >> 24, m.dwA) | Place((dwArgb >> 16) & 0xFF, m.dwR) | Place((dwArgb >> 8) & 0xFF, m.dwG) |
           Place(dwArgb & 0xFF, m.dwB);
}

const uint32_t* ArgbTable16(PIXELKIND eKind)
{
    static std::array<std::unique_ptr<uint32_t[]>, PK_COUNT> s_tables;
    static std::once_flag s_once[PK_COUNT];
    if (eKind <= PK_UNKNOWN || eKind >= PK_Z16 || BytesPerPixel(eKind) != 2) {
        return nullptr;
    }
    std::call_once(s_once[eKind], [eKind] {
        std::unique_ptr<uint32_t[]> p(new uint32_t[65536]);
        for (uint32_t v = 0; v < 65536; v++) {
            p[v] = DecodeArgb(eKind, v);
        }
        s_tables[eKind] = std::move(p);
    });
    return s_tables[eKind].get();
}
