// Smooth letters for the cut-scene messages: one character rendered from the font's grey-level
// glyph outline into a screen-compatible bitmap (black where the glyph does not cover), and the
// cache that renders each character of a cut-scene once.
#pragma once
#include "rvm/rvm_stl.h"
#include "platform/gdi/Gdi.h"

// The colour-table block of a glyph: the DIB header and 256 entries.
#define ANTICHAR_HEADER_BYTES (sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD))

class CAntiCharBmp {
public:
    CAntiCharBmp() = default;
    virtual ~CAntiCharBmp();
    CAntiCharBmp(const CAntiCharBmp&) = delete;
    CAntiCharBmp& operator=(const CAntiCharBmp&) = delete;

    // Renders the character (1 or 2 bytes at pszChar) of the font in a glyph-outline format,
    // its coverage levels shown as greys up to nMaxLevel. 0 when the glyph has no pixels (a
    // space) or cannot be made. The first argument is not used.
    int Create(int nUnused, HFONT hFont, const char* pszChar, int nLength, UINT uFormat, int nMaxLevel);
    void Release();

    DWORD GetCode() const { return m_dwCode; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    // The memory context holding the bitmap: the source of a BitBlt into a text sprite.
    HDC GetDC() const { return m_hDC; }
    HGLOBAL GetHeader() const { return m_hHeader; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetCellIncX() const { return m_nCellIncX; }
    int GetCellIncY() const { return m_nCellIncY; }

    // The number of coverage levels of a glyph-outline format, 0 for one we do not render.
    static int GetLevelCount(UINT uFormat);
    // The grey a coverage level is shown as: level * maximum / (levels - 1), so no coverage is
    // black and full coverage the maximum.
    static int GetLevelGrey(int nLevel, int nLevels, int nMaxLevel);

private:
    // Steps 5 to 8 of Create: the glyph's pixels into the character bitmap; false on failure.
    bool PlaceGlyph(HDC hWindowDC, const GLYPHMETRICS& gm, const void* pGlyph, DWORD dwSize, UINT uFormat,
                    int nMaxLevel);

    DWORD m_dwCode = 0;
    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGLOBAL m_hHeader = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nCellIncX = 0;
    int m_nCellIncY = 0;
};

class CAntiCharCache {
public:
    CAntiCharCache() = default;
    virtual ~CAntiCharCache();
    CAntiCharCache(const CAntiCharCache&) = delete;
    CAntiCharCache& operator=(const CAntiCharCache&) = delete;

    // Takes the glyph for the character at pszChar (2 bytes when the first is a lead byte). A
    // character already cached keeps its first glyph, and the one offered is deleted.
    void Add(const char* pszChar, CAntiCharBmp* pGlyph);
    // The glyph of the character at pszChar, or null.
    CAntiCharBmp* Find(const char* pszChar) const;
    size_t GetCount() const { return m_glyphs.size(); }
    void Clear();

    // The character at pszChar as its 1 or 2 bytes.
    static rvm::string CharKey(const char* pszChar);

private:
    rvm::map<rvm::string, CAntiCharBmp*> m_glyphs;
};
