// Text of the GDI stand-in: code page 932 bytes to code points, TextOut, extents, metrics and
// grey-level glyph outlines.
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/gdi/GdiInternal.h"

namespace {

constexpr int kTrailCount = 0xFC - 0x40 + 1;
constexpr int kLeadCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

bool IsTrail(uint8_t c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }
int LeadIndex(uint8_t c) { return c <= 0x9F ? c - 0x81 : c - 0xE0 + (0x9F - 0x81 + 1); }

// Every character of the code page, converted once through iconv: single bytes and every lead and
// trail pair. A sequence iconv refuses is 0.
struct CP932TABLE {
    uint32_t single[256] = {};
    std::vector<uint32_t> pairs;
};

uint32_t ConvertOne(iconv_t cd, const uint8_t* p, size_t n)
{
    char in[2] = {static_cast<char>(p[0]), n > 1 ? static_cast<char>(p[1]) : '\0'};
    uint32_t out = 0;
    char* pIn = in;
    char* pOut = reinterpret_cast<char*>(&out);
    size_t nIn = n, nOut = sizeof(out);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &pIn, &nIn, &pOut, &nOut) == static_cast<size_t>(-1) || nIn != 0 || nOut != 0) {
        return 0;
    }
    return out;
}

const CP932TABLE& Table()
{
    static CP932TABLE s_table;
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        s_table.pairs.assign(static_cast<size_t>(kLeadCount) * kTrailCount, 0);
        iconv_t cd = iconv_open("UTF-32LE", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            std::fprintf(stderr, "gdi: iconv has no CP932; only ASCII text can be drawn\n");
            for (uint32_t c = 0; c < 0x80; c++) {
                s_table.single[c] = c;
            }
            return;
        }
        for (int c = 0; c < 256; c++) {
            const uint8_t b = static_cast<uint8_t>(c);
            s_table.single[c] = IsDBCSLeadByte(b) ? 0 : ConvertOne(cd, &b, 1);
        }
        for (int c = 0x81; c <= 0xFC; c++) {
            if (!IsDBCSLeadByte(static_cast<BYTE>(c))) {
                continue;
            }
            for (int t = 0x40; t <= 0xFC; t++) {
                const uint8_t pair[2] = {static_cast<uint8_t>(c), static_cast<uint8_t>(t)};
                if (IsTrail(pair[1])) {
                    s_table.pairs[static_cast<size_t>(LeadIndex(pair[0])) * kTrailCount + (t - 0x40)] =
                        ConvertOne(cd, pair, 2);
                }
            }
        }
        iconv_close(cd);
    });
    return s_table;
}

SIZE Extent(CGdiFont* pFont, const uint8_t* p, int n)
{
    SIZE sz = {0, 0};
    if (n <= 0) {
        return sz;
    }
    for (int i = 0; i < n;) {
        int nBytes = 1;
        const uint32_t cp = Cp932Next(p + i, n - i, &nBytes);
        sz.cx += FontMonoGlyph(pFont, cp)->nAdvance;
        i += nBytes;
    }
    sz.cy = pFont->m_metrics.nAscent + pFont->m_metrics.nDescent;
    return sz;
}

// Sets the view's pixels under the glyph's bits to the raw colour, within the view.
void DrawMono(const PIXELVIEW& v, const GLYPHIMAGE& g, int x0, int y0, uint32_t dwRaw)
{
    const int nRowFirst = std::max(0, -y0), nRowEnd = std::min(g.nRows, v.nHeight - y0);
    const int nColFirst = std::max(0, -x0), nColEnd = std::min(g.nWidth, v.nWidth - x0);
    for (int r = nRowFirst; r < nRowEnd; r++) {
        const uint8_t* pRow = &g.bits[static_cast<size_t>(r) * g.nPitch];
        for (int c = nColFirst; c < nColEnd; c++) {
            if (pRow[c >> 3] & (0x80 >> (c & 7))) {
                ViewWriteRaw(v, x0 + c, y0 + r, dwRaw);
            }
        }
    }
}

bool IsIdentity(const MAT2& m)
{
    return m.eM11.value == 1 && m.eM11.fract == 0 && m.eM12.value == 0 && m.eM12.fract == 0 && m.eM21.value == 0 &&
           m.eM21.fract == 0 && m.eM22.value == 1 && m.eM22.fract == 0;
}

// The highest level of a glyph-outline format, 0 when it is not one we serve.
int MaxLevel(UINT fuFormat)
{
    switch (fuFormat) {
    case GGO_BITMAP:
        return 1;
    case GGO_GRAY2_BITMAP:
        return 4;
    case GGO_GRAY4_BITMAP:
        return 16;
    case GGO_GRAY8_BITMAP:
        return 64;
    default:
        return 0;
    }
}

uint32_t CodePointOf(UINT uChar)
{
    uint8_t bytes[2];
    int nBytes = 1;
    if (uChar > 0xFF) {
        bytes[0] = static_cast<uint8_t>(uChar >> 8);
        bytes[1] = static_cast<uint8_t>(uChar);
        const uint32_t cp = Cp932Next(bytes, 2, &nBytes);
        return nBytes == 2 ? cp : 0;
    }
    bytes[0] = static_cast<uint8_t>(uChar);
    return Cp932Next(bytes, 1, &nBytes);
}

void FillGlyphBuffer(const GLYPHIMAGE& g, int nMaxLevel, int nPitch, uint8_t* pOut)
{
    std::memset(pOut, 0, static_cast<size_t>(nPitch) * g.nRows);
    for (int r = 0; r < g.nRows; r++) {
        const uint8_t* pSrc = &g.bits[static_cast<size_t>(r) * g.nPitch];
        uint8_t* pDst = pOut + static_cast<size_t>(r) * nPitch;
        for (int c = 0; c < g.nWidth; c++) {
            if (nMaxLevel == 1) {
                if (pSrc[c] >= 128) {
                    pDst[c >> 3] |= static_cast<uint8_t>(0x80 >> (c & 7));
                }
            } else {
                pDst[c] = static_cast<uint8_t>((pSrc[c] * nMaxLevel + 127) / 255);
            }
        }
    }
}

}  // namespace

uint32_t Cp932Next(const uint8_t* p, int n, int* pnBytes)
{
    *pnBytes = 1;
    if (n <= 0) {
        return 0;
    }
    const CP932TABLE& t = Table();
    if (!IsDBCSLeadByte(p[0])) {
        return t.single[p[0]];
    }
    if (n < 2 || !IsTrail(p[1])) {
        return 0;
    }
    *pnBytes = 2;
    return t.pairs[static_cast<size_t>(LeadIndex(p[0])) * kTrailCount + (p[1] - 0x40)];
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    if (!s || c < 0 || (c > 0 && !lpString)) {
        return FALSE;
    }
    CGdiFont* pFont = FontOfState(*s);
    if (!pFont) {
        return FALSE;
    }
    PIXELVIEW v;
    if (!GdiTargetView(hdc, *s, &v)) {
        return TRUE;
    }
    const uint8_t* p = reinterpret_cast<const uint8_t*>(lpString);
    if (s->nBkMode == OPAQUE && c > 0) {
        const SIZE sz = Extent(pFont, p, c);
        ViewFill(v, x, y, x + sz.cx, y + sz.cy, ColorRefToRgb(s->crBk));
    }
    const uint32_t dwRaw = ViewEncode(v, ColorRefToRgb(s->crText));
    const int nBaseline = y + pFont->m_metrics.nAscent;
    int nPen = x;
    for (int i = 0; i < c;) {
        int nBytes = 1;
        const GLYPHIMAGE* g = FontMonoGlyph(pFont, Cp932Next(p + i, c - i, &nBytes));
        DrawMono(v, *g, nPen + g->nLeft, nBaseline - g->nTop, dwRaw);
        nPen += g->nAdvance;
        i += nBytes;
    }
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, SIZE* psizl)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    if (!s || !psizl || c < 0 || (c > 0 && !lpString)) {
        return FALSE;
    }
    CGdiFont* pFont = FontOfState(*s);
    if (!pFont) {
        return FALSE;
    }
    *psizl = Extent(pFont, reinterpret_cast<const uint8_t*>(lpString), c);
    return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* lptm)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    CGdiFont* pFont = s ? FontOfState(*s) : nullptr;
    if (!pFont || !lptm) {
        return FALSE;
    }
    const FONTMETRICS& m = pFont->m_metrics;
    const LOGFONTA& lf = pFont->m_lf;
    TEXTMETRICA tm = {};
    tm.tmHeight = m.nAscent + m.nDescent;
    tm.tmAscent = m.nAscent;
    tm.tmDescent = m.nDescent;
    tm.tmInternalLeading = tm.tmHeight - m.nPpem;
    tm.tmAveCharWidth = m.nAveWidth;
    tm.tmMaxCharWidth = m.nMaxWidth;
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmPitchAndFamily = static_cast<BYTE>((lf.lfPitchAndFamily & 0xF0) | 0x06);  // outline, TrueType
    tm.tmCharSet = SHIFTJIS_CHARSET;
    *lptm = tm;
    return TRUE;
}

DWORD GetGlyphOutlineA(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer, LPVOID pvBuffer,
                       const MAT2* lpmat2)
{
    const int nMaxLevel = MaxLevel(fuFormat);
    if (!lpgm || !lpmat2 || !IsIdentity(*lpmat2) || uChar > 0xFFFF || (fuFormat != GGO_METRICS && nMaxLevel == 0)) {
        return GDI_ERROR;
    }
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    CGdiFont* pFont = s ? FontOfState(*s) : nullptr;
    GLYPHIMAGE g;
    if (!pFont || !FontGreyGlyph(pFont, CodePointOf(uChar), &g)) {
        return GDI_ERROR;
    }
    const bool bEmpty = g.nWidth <= 0 || g.nRows <= 0;
    GLYPHMETRICS gm = {};
    gm.gmBlackBoxX = bEmpty ? 1 : static_cast<UINT>(g.nWidth);
    gm.gmBlackBoxY = bEmpty ? 1 : static_cast<UINT>(g.nRows);
    gm.gmptGlyphOrigin.x = bEmpty ? 0 : g.nLeft;
    gm.gmptGlyphOrigin.y = bEmpty ? 0 : g.nTop;
    gm.gmCellIncX = static_cast<SHORT>(g.nAdvance);
    gm.gmCellIncY = 0;
    *lpgm = gm;
    if (fuFormat == GGO_METRICS || bEmpty) {
        return 0;
    }
    const int nPitch = nMaxLevel == 1 ? ((g.nWidth + 31) / 32) * 4 : (g.nWidth + 3) & ~3;
    const DWORD nSize = static_cast<DWORD>(nPitch) * static_cast<DWORD>(g.nRows);
    if (cjBuffer == 0 || !pvBuffer) {
        return nSize;
    }
    if (cjBuffer < nSize) {
        return GDI_ERROR;
    }
    FillGlyphBuffer(g, nMaxLevel, nPitch, static_cast<uint8_t*>(pvBuffer));
    return nSize;
}
