// Bitmaps, pixel access and the block transfers of the GDI stand-in.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gdi/GdiInternal.h"

namespace {

constexpr int kMaxSide = 32767;
constexpr size_t kMaxBytes = size_t(256) << 20;

bool HasAlpha(PIXELKIND eKind) { return eKind == PK_A1R5G5B5 || eKind == PK_A4R4G4B4 || eKind == PK_A8R8G8B8; }

uint8_t* Row(const PIXELVIEW& v, int y) { return v.pTop + static_cast<ptrdiff_t>(y) * v.nPitch; }

int NearestIndex(const PIXELVIEW& v, uint32_t dwRgb)
{
    int nBest = 0;
    int64_t nBestDist = INT64_MAX;
    const int r = (dwRgb >> 16) & 0xFF, g = (dwRgb >> 8) & 0xFF, b = dwRgb & 0xFF;
    for (int i = 0; i < v.nPalette; i++) {
        const RGBQUAD& q = v.pPalette[i];
        const int dr = r - q.rgbRed, dg = g - q.rgbGreen, db = b - q.rgbBlue;
        const int64_t d = dr * dr + dg * dg + db * db;
        if (d < nBestDist) {
            nBestDist = d;
            nBest = i;
        }
    }
    return nBest;
}

}  // namespace

void ViewWriteRaw(const PIXELVIEW& v, int x, int y, uint32_t dwRaw)
{
    uint8_t* p = Row(v, y);
    switch (v.nBpp) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        p[x >> 3] = dwRaw ? (p[x >> 3] | bit) : (p[x >> 3] & ~bit);
        break;
    }
    case 4: {
        uint8_t& c = p[x >> 1];
        c = (x & 1) ? static_cast<uint8_t>((c & 0xF0) | (dwRaw & 0x0F)) : static_cast<uint8_t>((c & 0x0F) | (dwRaw << 4));
        break;
    }
    case 8:
        p[x] = static_cast<uint8_t>(dwRaw);
        break;
    case 16:
        reinterpret_cast<uint16_t*>(p)[x] = static_cast<uint16_t>(dwRaw);
        break;
    case 24:
        p[3 * x] = static_cast<uint8_t>(dwRaw);
        p[3 * x + 1] = static_cast<uint8_t>(dwRaw >> 8);
        p[3 * x + 2] = static_cast<uint8_t>(dwRaw >> 16);
        break;
    case 32:
        reinterpret_cast<uint32_t*>(p)[x] = dwRaw;
        break;
    default:
        break;
    }
}

namespace {

// Clips a w x h block at (x, y) to the view; false when nothing is left.
bool ClipToView(const PIXELVIEW& v, int& x, int& y, int& w, int& h)
{
    int x1 = x + w, y1 = y + h;
    x = std::max(x, 0);
    y = std::max(y, 0);
    x1 = std::min(x1, v.nWidth);
    y1 = std::min(y1, v.nHeight);
    w = x1 - x;
    h = y1 - y;
    return w > 0 && h > 0;
}

CGdiBitmap* NewBitmap(int w, int h, int nBpp, PIXELKIND eKind, bool bBottomUp)
{
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        return nullptr;
    }
    const size_t nStride = ((static_cast<size_t>(w) * nBpp + 31) / 32) * 4;
    if (nStride * static_cast<size_t>(h) > kMaxBytes) {
        return nullptr;
    }
    auto p = std::make_unique<CGdiBitmap>();
    p->m_nWidth = w;
    p->m_nHeight = h;
    p->m_nBpp = nBpp;
    p->m_eKind = eKind;
    p->m_bBottomUp = bBottomUp;
    p->m_nStride = nStride;
    p->m_bits.assign(nStride * static_cast<size_t>(h), 0);
    return p.release();
}

HBITMAP Publish(CGdiBitmap* p)
{
    if (!p) {
        return nullptr;
    }
    GdiRegister(p);
    return reinterpret_cast<HBITMAP>(static_cast<CGdiObject*>(p));
}

// The 16- or 32-bit kind of a DIB header, PK_UNKNOWN when it is not one we serve.
PIXELKIND DibKind(const BITMAPINFO* pbmi)
{
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    if (h.biCompression == BI_RGB) {
        return h.biBitCount == 16 ? PK_X1R5G5B5 : PK_X8R8G8B8;
    }
    DWORD m[3];
    std::memcpy(m, reinterpret_cast<const BYTE*>(pbmi) + h.biSize, sizeof(m));
    if (h.biBitCount == 16 && m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F) {
        return PK_R5G6B5;
    }
    if (h.biBitCount == 16 && m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F) {
        return PK_X1R5G5B5;
    }
    if (h.biBitCount == 32 && m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF) {
        return PK_X8R8G8B8;
    }
    return PK_UNKNOWN;
}

bool SameRawFormat(const PIXELVIEW& a, const PIXELVIEW& b)
{
    return a.nBpp == b.nBpp && a.nBpp >= 16 && a.eKind == b.eKind && !HasAlpha(a.eKind);
}

// Copies rows when both views store colours alike; rows move bottom-up when a block moves down
// within the same pixels.
void CopyRaw(const PIXELVIEW& d, int x, int y, const PIXELVIEW& s, int sx, int sy, int w, int h)
{
    const size_t nBytes = static_cast<size_t>(w) * (d.nBpp / 8);
    const bool bBackwards = reinterpret_cast<uintptr_t>(Row(d, y)) > reinterpret_cast<uintptr_t>(Row(s, sy));
    for (int i = 0; i < h; i++) {
        const int r = bBackwards ? h - 1 - i : i;
        std::memmove(Row(d, y + r) + static_cast<size_t>(x) * (d.nBpp / 8),
                     Row(s, sy + r) + static_cast<size_t>(sx) * (s.nBpp / 8), nBytes);
    }
}

void CopyConverted(const PIXELVIEW& d, int x, int y, const PIXELVIEW& s, int sx, int sy, int w, int h)
{
    uint32_t dwLastRgb = 0xFFFFFFFF, dwLastRaw = 0;
    for (int r = 0; r < h; r++) {
        for (int c = 0; c < w; c++) {
            const uint32_t dwRgb = ViewRead(s, sx + c, sy + r);
            if (dwRgb != dwLastRgb) {
                dwLastRgb = dwRgb;
                dwLastRaw = ViewEncode(d, dwRgb);
            }
            ViewWriteRaw(d, x + c, y + r, dwLastRaw);
        }
    }
}

// The colour a raster operation without a source paints; false when it paints nothing.
bool PatternColor(const DCSTATE& s, DWORD rop, uint32_t* pRgb)
{
    switch (rop) {
    case BLACKNESS:
        *pRgb = 0;
        return true;
    case WHITENESS:
        *pRgb = 0xFFFFFF;
        return true;
    case PATCOPY: {
        if (s.pBrush) {
            *pRgb = ColorRefToRgb(s.pBrush->m_color);
            return !s.pBrush->m_bNull;
        }
        const int n = GdiStockIndex(s.hBrush);
        static const uint32_t kStockBrush[5] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
        if (n >= 0 && n < 5) {
            *pRgb = kStockBrush[n];
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

}  // namespace

PIXELVIEW CGdiBitmap::View()
{
    PIXELVIEW v;
    v.nWidth = m_nWidth;
    v.nHeight = m_nHeight;
    v.nBpp = m_nBpp;
    v.eKind = m_eKind;
    v.pPalette = m_palette.data();
    v.nPalette = static_cast<int>(m_palette.size());
    if (m_bBottomUp) {
        v.pTop = m_bits.data() + m_nStride * static_cast<size_t>(m_nHeight - 1);
        v.nPitch = -static_cast<ptrdiff_t>(m_nStride);
    } else {
        v.pTop = m_bits.data();
        v.nPitch = static_cast<ptrdiff_t>(m_nStride);
    }
    return v;
}

uint32_t ViewRead(const PIXELVIEW& v, int x, int y)
{
    const uint8_t* p = Row(v, y);
    int nIndex = 0;
    switch (v.nBpp) {
    case 1:
        nIndex = (p[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        nIndex = (x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4);
        break;
    case 8:
        nIndex = p[x];
        break;
    case 16:
        return DecodeArgb(v.eKind, reinterpret_cast<const uint16_t*>(p)[x]) & 0xFFFFFF;
    case 24:
        return (static_cast<uint32_t>(p[3 * x + 2]) << 16) | (static_cast<uint32_t>(p[3 * x + 1]) << 8) | p[3 * x];
    case 32:
        return DecodeArgb(v.eKind, reinterpret_cast<const uint32_t*>(p)[x]) & 0xFFFFFF;
    default:
        return 0;
    }
    if (nIndex >= v.nPalette) {
        return 0;
    }
    const RGBQUAD& q = v.pPalette[nIndex];
    return (static_cast<uint32_t>(q.rgbRed) << 16) | (static_cast<uint32_t>(q.rgbGreen) << 8) | q.rgbBlue;
}

uint32_t ViewEncode(const PIXELVIEW& v, uint32_t dwRgb)
{
    dwRgb &= 0xFFFFFF;
    if (v.nBpp <= 8) {
        return static_cast<uint32_t>(NearestIndex(v, dwRgb));
    }
    if (v.nBpp == 24) {
        return dwRgb;
    }
    return EncodeArgb(v.eKind, dwRgb);
}

void ViewWrite(const PIXELVIEW& v, int x, int y, uint32_t dwRgb)
{
    if (x >= 0 && y >= 0 && x < v.nWidth && y < v.nHeight) {
        ViewWriteRaw(v, x, y, ViewEncode(v, dwRgb));
    }
}

void ViewFill(const PIXELVIEW& v, int x0, int y0, int x1, int y1, uint32_t dwRgb)
{
    int w = x1 - x0, h = y1 - y0;
    if (!ClipToView(v, x0, y0, w, h)) {
        return;
    }
    const uint32_t dwRaw = ViewEncode(v, dwRgb);
    for (int y = y0; y < y0 + h; y++) {
        if (v.nBpp == 16) {
            std::fill_n(reinterpret_cast<uint16_t*>(Row(v, y)) + x0, w, static_cast<uint16_t>(dwRaw));
        } else if (v.nBpp == 32) {
            std::fill_n(reinterpret_cast<uint32_t*>(Row(v, y)) + x0, w, dwRaw);
        } else {
            for (int x = x0; x < x0 + w; x++) {
                ViewWriteRaw(v, x, y, dwRaw);
            }
        }
    }
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    CGdiDC* pOwn = GdiOwnDC(hdc);
    CGdiBitmap* p = nullptr;
    if (pOwn && pOwn->eKind == DCK_MEMORY) {
        if (s->pBitmap) {
            p = NewBitmap(cx, cy, s->pBitmap->m_nBpp, s->pBitmap->m_eKind, false);
            if (p) {
                p->m_palette = s->pBitmap->m_palette;
            }
        } else {
            p = NewBitmap(cx, cy, 1, PK_UNKNOWN, false);
            if (p) {
                p->m_palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
            }
        }
        return Publish(p);
    }
    PIXELVIEW v;
    if (s && !pOwn && GdiTargetView(hdc, *s, &v)) {
        return Publish(NewBitmap(cx, cy, v.nBpp, v.eKind, false));
    }
    if (hdc && !s) {
        return nullptr;
    }
    return Publish(NewBitmap(cx, cy, 16, PK_R5G6B5, false));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD)
{
    if (ppvBits) {
        *ppvBits = nullptr;
    }
    if (!pbmi || usage != DIB_RGB_COLORS || hSection) {
        return nullptr;
    }
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    const int nBpp = h.biBitCount;
    const bool bBppOk = nBpp == 1 || nBpp == 4 || nBpp == 8 || nBpp == 16 || nBpp == 24 || nBpp == 32;
    const bool bFieldsOk = h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && (nBpp == 16 || nBpp == 32));
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 1024 || h.biPlanes != 1 || !bBppOk || !bFieldsOk ||
        h.biHeight == 0 || h.biHeight < -kMaxSide) {
        return nullptr;
    }
    PIXELKIND eKind = PK_UNKNOWN;
    if (nBpp == 16 || nBpp == 32) {
        eKind = DibKind(pbmi);
        if (eKind == PK_UNKNOWN) {
            return nullptr;
        }
    }
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiBitmap* p = NewBitmap(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, nBpp, eKind, h.biHeight > 0);
    if (!p) {
        return nullptr;
    }
    p->m_bDIB = true;
    if (nBpp <= 8) {
        const DWORD nMax = 1u << nBpp;
        const DWORD nColors = (h.biClrUsed && h.biClrUsed < nMax) ? h.biClrUsed : nMax;
        const RGBQUAD* pColors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(pbmi) + h.biSize);
        p->m_palette.assign(pColors, pColors + nColors);
    }
    if (ppvBits) {
        *ppvBits = p->m_bits.data();
    }
    return Publish(p);
}

int GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiObject* pObj = GdiLookup(h, 0);
    if (!pObj) {
        return 0;
    }
    if (pObj->m_eKind == GK_BITMAP) {
        if (!pv) {
            return static_cast<int>(sizeof(BITMAP));
        }
        if (c < static_cast<int>(sizeof(BITMAP))) {
            return 0;
        }
        CGdiBitmap* p = static_cast<CGdiBitmap*>(pObj);
        BITMAP bm = {};
        bm.bmWidth = p->m_nWidth;
        bm.bmHeight = p->m_nHeight;
        bm.bmWidthBytes = static_cast<LONG>(p->m_nStride);
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(p->m_nBpp);
        bm.bmBits = p->m_bDIB ? p->m_bits.data() : nullptr;
        std::memcpy(pv, &bm, sizeof(bm));
        return static_cast<int>(sizeof(bm));
    }
    if (pObj->m_eKind == GK_FONT) {
        if (!pv) {
            return static_cast<int>(sizeof(LOGFONTA));
        }
        if (c < static_cast<int>(sizeof(LOGFONTA))) {
            return 0;
        }
        std::memcpy(pv, &static_cast<CGdiFont*>(pObj)->m_lf, sizeof(LOGFONTA));
        return static_cast<int>(sizeof(LOGFONTA));
    }
    return 0;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* sd = GdiState(hdc);
    if (!sd) {
        return FALSE;
    }
    PIXELVIEW d;
    const bool bTarget = GdiTargetView(hdc, *sd, &d);
    if (rop != SRCCOPY) {
        uint32_t dwRgb = 0;
        if (rop != BLACKNESS && rop != WHITENESS && rop != PATCOPY) {
            return FALSE;
        }
        if (bTarget && PatternColor(*sd, rop, &dwRgb) && cx > 0 && cy > 0) {
            ViewFill(d, x, y, x + cx, y + cy, dwRgb);
        }
        return TRUE;
    }
    DCSTATE* ss = GdiState(hdcSrc);
    PIXELVIEW s;
    if (!ss || !GdiTargetView(hdcSrc, *ss, &s)) {
        return FALSE;
    }
    if (!bTarget || cx <= 0 || cy <= 0) {
        return TRUE;
    }
    // Clip against the source, then the destination, moving the other side along.
    int nLeft = std::max({0, -x1, -x});
    int nTop = std::max({0, -y1, -y});
    int w = std::min({cx, s.nWidth - x1, d.nWidth - x}) - nLeft;
    int h = std::min({cy, s.nHeight - y1, d.nHeight - y}) - nTop;
    if (w <= 0 || h <= 0) {
        return TRUE;
    }
    if (SameRawFormat(d, s)) {
        CopyRaw(d, x + nLeft, y + nTop, s, x1 + nLeft, y1 + nTop, w, h);
    } else {
        CopyConverted(d, x + nLeft, y + nTop, s, x1 + nLeft, y1 + nTop, w, h);
    }
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    return BitBlt(hdc, x, y, w, h, nullptr, 0, 0, rop == SRCCOPY ? 0 : rop);
}
