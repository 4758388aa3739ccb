#include "engine/AntiCharBmp.h"

#include <algorithm>
#include <cstring>

#include "engine/Log.h"
#include "engine/WinMain.h"
#include "rvm/rvm_stl.h"

namespace {

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// Fills the DIB header block: a top-down w x h bitmap of the format's depth whose colour table
// maps each coverage level to its grey.
void FillHeader(BITMAPINFO* pbmi, const GLYPHMETRICS& gm, DWORD dwSize, UINT uFormat, int nMaxLevel)
{
    BITMAPINFOHEADER& h = pbmi->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = static_cast<LONG>(gm.gmBlackBoxX);
    h.biHeight = -static_cast<LONG>(gm.gmBlackBoxY);
    h.biPlanes = 1;
    h.biBitCount = uFormat == GGO_BITMAP ? 1 : 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = dwSize;
    RGBQUAD* pColors = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(pbmi) + sizeof(BITMAPINFOHEADER));
    const int nLevels = CAntiCharBmp::GetLevelCount(uFormat);
    for (int v = 0; v < nLevels; v++) {
        const BYTE grey = static_cast<BYTE>(CAntiCharBmp::GetLevelGrey(v, nLevels, nMaxLevel));
        pColors[v] = RGBQUAD{grey, grey, grey, 0};
    }
}

}  // namespace

CAntiCharBmp::~CAntiCharBmp() { Release(); }

int CAntiCharBmp::GetLevelCount(UINT uFormat)
{
    switch (uFormat) {
    case GGO_BITMAP:
        return 2;
    case GGO_GRAY2_BITMAP:
        return 5;
    case GGO_GRAY4_BITMAP:
        return 17;
    case GGO_GRAY8_BITMAP:
        return 65;
    default:
        return 0;
    }
}

int CAntiCharBmp::GetLevelGrey(int nLevel, int nLevels, int nMaxLevel)
{
    if (nLevels < 2) {
        return 0;
    }
    return static_cast<int>(static_cast<int64_t>(nLevel) * nMaxLevel / (nLevels - 1));
}

void CAntiCharBmp::Release()
{
    if (m_hDC) {
        DeleteDC(m_hDC);  // lets go of the bitmap first
    }
    if (m_hBitmap) {
        DeleteObject(m_hBitmap);
    }
    if (m_hHeader) {
        GlobalFree(m_hHeader);
    }
    m_dwCode = 0;
    m_hBitmap = nullptr;
    m_hDC = nullptr;
    m_hHeader = nullptr;
    m_nWidth = m_nHeight = 0;
    m_nCellIncX = m_nCellIncY = 0;
}

int CAntiCharBmp::Create(int, HFONT hFont, const char* pszChar, int nLength, UINT uFormat, int nMaxLevel)
{
    Release();
    if (!pszChar || nLength <= 0 || GetLevelCount(uFormat) == 0) {
        return 0;
    }
    HDC hWindowDC = ::GetDC(g_hWnd);
    HGDIOBJ hOldFont = SelectObject(hWindowDC, hFont);
    const BYTE lead = static_cast<BYTE>(pszChar[0]);
    const DWORD dwCode =
        (IsDBCSLeadByte(lead) && nLength >= 2) ? (static_cast<DWORD>(lead) << 8) | static_cast<BYTE>(pszChar[1]) : lead;
    GLYPHMETRICS gm = {};
    const DWORD dwSize = GetGlyphOutlineA(hWindowDC, dwCode, uFormat, &gm, 0, nullptr, &kIdentity);
    int nResult = 0;
    SIZE extent = {0, 0};
    if (dwSize != GDI_ERROR && dwSize >= 1 && GetTextExtentPoint32A(hWindowDC, pszChar, nLength, &extent)) {
        m_nWidth = extent.cx;
        m_nHeight = extent.cy;
        m_hDC = CreateCompatibleDC(hWindowDC);
        m_hBitmap = CreateCompatibleBitmap(hWindowDC, extent.cx, extent.cy);
        rvm::vector<BYTE> glyph(dwSize);
        if (m_hBitmap && SelectObject(m_hDC, m_hBitmap) && PatBlt(m_hDC, 0, 0, extent.cx, extent.cy, BLACKNESS) &&
            GetGlyphOutlineA(hWindowDC, dwCode, uFormat, &gm, dwSize, glyph.data(), &kIdentity) == dwSize &&
            PlaceGlyph(hWindowDC, gm, glyph.data(), dwSize, uFormat, nMaxLevel)) {
            m_dwCode = dwCode;
            m_nCellIncX = gm.gmCellIncX;
            m_nCellIncY = gm.gmCellIncY;
            nResult = 1;
        }
    }
    SelectObject(hWindowDC, hOldFont);
    ::ReleaseDC(g_hWnd, hWindowDC);
    if (!nResult) {
        Release();
    }
    return nResult;
}

bool CAntiCharBmp::PlaceGlyph(HDC hWindowDC, const GLYPHMETRICS& gm, const void* pGlyph, DWORD dwSize, UINT uFormat,
                              int nMaxLevel)
{
    m_hHeader = GlobalAlloc(GHND, ANTICHAR_HEADER_BYTES);
    BITMAPINFO* pbmi = static_cast<BITMAPINFO*>(GlobalLock(m_hHeader));
    if (!pbmi) {
        return false;
    }
    FillHeader(pbmi, gm, dwSize, uFormat, nMaxLevel);
    void* pBits = nullptr;
    HBITMAP hDib = CreateDIBSection(hWindowDC, pbmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    GlobalUnlock(m_hHeader);
    if (!hDib) {
        DebugPrintLastError(GetLastError());
        return false;
    }
    BITMAP bm = {};
    GetObjectA(hDib, sizeof(bm), &bm);
    std::memcpy(pBits, pGlyph, std::min<size_t>(dwSize, static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight));

    TEXTMETRICA tm = {};
    GetTextMetricsA(hWindowDC, &tm);
    HDC hDibDC = CreateCompatibleDC(hWindowDC);
    HGDIOBJ hOldBitmap = SelectObject(hDibDC, hDib);
    const int x = gm.gmptGlyphOrigin.x;
    const int y = tm.tmAscent - gm.gmptGlyphOrigin.y;
    const int w = std::min(static_cast<int>(gm.gmBlackBoxX), m_nWidth - x);
    const int h = std::min(static_cast<int>(gm.gmBlackBoxY), m_nHeight - y);
    if (w > 0 && h > 0) {
        BitBlt(m_hDC, x, y, w, h, hDibDC, 0, 0, SRCCOPY);
    }
    SelectObject(hDibDC, hOldBitmap);
    DeleteDC(hDibDC);
    DeleteObject(hDib);
    return true;
}

CAntiCharCache::~CAntiCharCache() { Clear(); }

rvm::string CAntiCharCache::CharKey(const char* pszChar)
{
    if (!pszChar || !*pszChar) {
        return rvm::string();
    }
    const bool bDouble = IsDBCSLeadByte(static_cast<BYTE>(pszChar[0])) && pszChar[1] != '\0';
    return rvm::string(pszChar, bDouble ? 2 : 1);
}

void CAntiCharCache::Add(const char* pszChar, CAntiCharBmp* pGlyph)
{
    if (!pGlyph) {
        return;
    }
    auto [it, bInserted] = m_glyphs.emplace(CharKey(pszChar), pGlyph);
    if (!bInserted && it->second != pGlyph) {
        delete pGlyph;
    }
}

CAntiCharBmp* CAntiCharCache::Find(const char* pszChar) const
{
    auto it = m_glyphs.find(CharKey(pszChar));
    return it == m_glyphs.end() ? nullptr : it->second;
}

void CAntiCharCache::Clear()
{
    for (auto& entry : m_glyphs) {
        delete entry.second;
    }
    m_glyphs.clear();
}
