// What the GDI stand-in's files share: the object records behind the handles, the context state,
// and pixel access to whatever a context draws on. Everything here runs under GdiLock().
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/ddraw/PixelFormat.h"
#include "platform/gdi/Gdi.h"

std::mutex& GdiLock();

enum GDIKIND { GK_FONT = 1, GK_PEN, GK_BRUSH, GK_BITMAP, GK_REGION };

class CGdiObject {
public:
    explicit CGdiObject(GDIKIND eKind) : m_eKind(eKind) {}
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    const GDIKIND m_eKind;
    int m_nSelected = 0;     // contexts it is selected into
    bool m_bDeleted = false;  // handle gone; freed when no longer selected
};

class CGdiFont;

class CGdiPen final : public CGdiObject {
public:
    CGdiPen() : CGdiObject(GK_PEN) {}
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_color = 0;
};

class CGdiBrush final : public CGdiObject {
public:
    CGdiBrush() : CGdiObject(GK_BRUSH) {}
    COLORREF m_color = 0;
    bool m_bNull = false;
};

// Pixels of a bitmap or a surface as a drawing target. Rows run top-down (a bottom-up bitmap
// has a negative pitch); 16- and 32-bit pixels are of kind eKind, 1/4/8-bit index a palette,
// 24-bit are blue, green, red bytes.
struct PIXELVIEW {
    uint8_t* pTop = nullptr;
    ptrdiff_t nPitch = 0;
    int nWidth = 0;
    int nHeight = 0;
    int nBpp = 0;
    PIXELKIND eKind = PK_UNKNOWN;
    const RGBQUAD* pPalette = nullptr;
    int nPalette = 0;
};

class CGdiBitmap final : public CGdiObject {
public:
    CGdiBitmap() : CGdiObject(GK_BITMAP) {}
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBpp = 0;
    PIXELKIND m_eKind = PK_UNKNOWN;
    bool m_bBottomUp = false;
    bool m_bDIB = false;
    size_t m_nStride = 0;
    std::vector<uint8_t> m_bits;
    std::vector<RGBQUAD> m_palette;
    PIXELVIEW View();
};

// One band of rows [y0, y1) sharing the same spans.
struct RGNBAND {
    int y0, y1;
    uint32_t nFirst, nCount;
};
struct RGNSPAN {
    int x0, x1;
};
class CGdiRegion final : public CGdiObject {
public:
    CGdiRegion() : CGdiObject(GK_REGION) {}
    std::vector<RGNBAND> m_bands;
    std::vector<RGNSPAN> m_spans;
};

// Selections, colours and modes of a context. The handles are what SelectObject gives back
// (stock objects are tokens with no record behind them).
struct DCSTATE {
    HGDIOBJ hFont = nullptr;
    HGDIOBJ hPen = nullptr;
    HGDIOBJ hBrush = nullptr;
    HGDIOBJ hBitmap = nullptr;
    CGdiFont* pFont = nullptr;  // null: the stock font
    CGdiBrush* pBrush = nullptr;
    CGdiBitmap* pBitmap = nullptr;
    COLORREF crText = RGB(0, 0, 0);
    COLORREF crBk = RGB(255, 255, 255);
    int nBkMode = OPAQUE;
};

enum DCKIND { DCK_MEMORY = 1, DCK_WINDOW };
#define GDIDC_MAGIC 0x43444447u  // "GDDC": never the surface contexts' magic

struct CGdiDC {
    DWORD dwMagic = GDIDC_MAGIC;
    DCKIND eKind = DCK_MEMORY;
    HWND hWnd = nullptr;
    DCSTATE state;
};

// ---- Registry (GdiObjects.cpp) ------------------------------------------------------------------
void GdiRegister(CGdiObject* p);
// The live object a handle names, of that kind (0: any kind), or null.
CGdiObject* GdiLookup(HGDIOBJ h, int nKind);
// Stock tokens come from GetStockObject; index or -1.
int GdiStockIndex(HGDIOBJ h);
HGDIOBJ GdiStock(int nIndex);
// The state of a context (ours or a surface's), null for anything else.
DCSTATE* GdiState(HDC hdc);
CGdiDC* GdiOwnDC(HDC hdc);
// The pixels a context draws on; false when it has none (a window's context).
bool GdiTargetView(HDC hdc, const DCSTATE& state, PIXELVIEW* pView);

// ---- Pixels (GdiBitmap.cpp) ---------------------------------------------------------------------
// Colours inside are 0x00RRGGBB.
inline uint32_t ColorRefToRgb(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
uint32_t ViewRead(const PIXELVIEW& v, int x, int y);
// The raw value a colour is stored as in a 16/32-bit view (alpha bits 0).
uint32_t ViewEncode(const PIXELVIEW& v, uint32_t dwRgb);
void ViewWrite(const PIXELVIEW& v, int x, int y, uint32_t dwRgb);
// Stores a raw value (from ViewEncode) at a pixel known to lie in the view.
void ViewWriteRaw(const PIXELVIEW& v, int x, int y, uint32_t dwRaw);
void ViewFill(const PIXELVIEW& v, int x0, int y0, int x1, int y1, uint32_t dwRgb);

// ---- Fonts (GdiFont.cpp) ------------------------------------------------------------------------
struct FONTMETRICS {
    int nAscent = 0;
    int nDescent = 0;
    int nPpem = 0;
    int nAveWidth = 0;
    int nMaxWidth = 0;
};
// One rendered character: a 1-bit (mono) or 8-bit (grey 0..255) box placed relative to the pen
// at the baseline, and the advance to the next character.
struct GLYPHIMAGE {
    int nLeft = 0;  // box left from the pen
    int nTop = 0;   // box top above the baseline
    int nWidth = 0;
    int nRows = 0;
    int nPitch = 0;
    int nAdvance = 0;
    std::vector<uint8_t> bits;
};

struct FONTFACE;
class CGdiFont final : public CGdiObject {
public:
    CGdiFont() : CGdiObject(GK_FONT) {}
    ~CGdiFont() override;
    LOGFONTA m_lf = {};
    FONTMETRICS m_metrics;
    FONTFACE* m_pFace = nullptr;  // shared, never freed
    void* m_pSize = nullptr;      // the font's own FreeType size
    std::unordered_map<uint32_t, GLYPHIMAGE> m_mono;
};

// Null (with GdiGetLastFontError set) when no font file can be had.
CGdiFont* FontCreate(const LOGFONTA& lf);
// The stock font (em 16 pixels), made on first use; null without a font file.
CGdiFont* FontDefault();
// The font a context writes with: the selected one, or the stock font.
CGdiFont* FontOfState(const DCSTATE& state);
// The mono image of a code point (0: the font's missing-glyph box), cached by the font.
const GLYPHIMAGE* FontMonoGlyph(CGdiFont* pFont, uint32_t nCodePoint);
// A fresh grey image; false when FreeType fails.
bool FontGreyGlyph(CGdiFont* pFont, uint32_t nCodePoint, GLYPHIMAGE* pOut);

// ---- Code page 932 (GdiText.cpp) ----------------------------------------------------------------
// The character at p (n bytes left): its code point (0 for a byte sequence that is no character)
// and its length, 2 for a lead byte followed by a valid trail byte, else 1.
uint32_t Cp932Next(const uint8_t* p, int n, int* pnBytes);
