// Handles, contexts and their state, and the small queries of the GDI stand-in.
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "platform/gdi/GdiInternal.h"
#include "platform/win/WinInternal.h"

namespace {

// GetStockObject (Window.cpp) hands out 0x1000 + index.
constexpr uintptr_t kStockBase = 0x1000;
constexpr int kStockCount = 64;
// A fresh memory context holds this bitmap: 1 x 1, monochrome, never drawn on.
constexpr int kStockBitmap = 63;

struct GDIREGISTRY {
    std::unordered_set<CGdiObject*> objects;
    std::unordered_set<CGdiDC*> dcs;
    std::unordered_map<const DDSURFACEDC*, DCSTATE> surfaceStates;
};

GDIREGISTRY& Reg()
{
    static GDIREGISTRY s_reg;
    return s_reg;
}

void Destroy(CGdiObject* p) { delete p; }

void Unselect(CGdiObject* p)
{
    if (!p) {
        return;
    }
    p->m_nSelected--;
    if (p->m_bDeleted && p->m_nSelected <= 0) {
        Destroy(p);
    }
}

// Drops every selection of a state (the context is going away).
void ClearState(DCSTATE& s)
{
    Unselect(GdiLookup(s.hFont, GK_FONT));
    Unselect(GdiLookup(s.hPen, GK_PEN));
    Unselect(GdiLookup(s.hBrush, GK_BRUSH));
    Unselect(s.pBitmap);
    s = DCSTATE();
}

DCSTATE FreshState(bool bMemory)
{
    DCSTATE s;
    s.hFont = GdiStock(SYSTEM_FONT);
    s.hPen = GdiStock(BLACK_PEN);
    s.hBrush = GdiStock(WHITE_BRUSH);
    s.hBitmap = bMemory ? GdiStock(kStockBitmap) : nullptr;
    return s;
}

int StockKind(int nIndex)
{
    if (nIndex == kStockBitmap) {
        return GK_BITMAP;
    }
    if (nIndex >= WHITE_PEN && nIndex <= NULL_PEN) {
        return GK_PEN;
    }
    if (nIndex >= OEM_FIXED_FONT && nIndex <= DEFAULT_GUI_FONT && nIndex != 15 && nIndex != 16) {
        return GK_FONT;
    }
    if (nIndex >= 0 && nIndex <= NULL_BRUSH) {
        return GK_BRUSH;
    }
    return 0;
}

// Swaps one selection slot; returns the previous handle.
HGDIOBJ Swap(HGDIOBJ& slot, HGDIOBJ h, CGdiObject* pNew, int nKind)
{
    HGDIOBJ hOld = slot;
    if (pNew) {
        pNew->m_nSelected++;
    }
    Unselect(GdiLookup(hOld, nKind));
    slot = h;
    return hOld;
}

// Sets one of a context's colours; the previous one, or CLR_INVALID for no context.
COLORREF SwapColor(HDC hdc, COLORREF DCSTATE::*pMember, COLORREF color)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    if (!s) {
        return CLR_INVALID;
    }
    const COLORREF old = s->*pMember;
    s->*pMember = color & 0x00FFFFFF;
    return old;
}

COLORREF ReadColor(HDC hdc, COLORREF DCSTATE::*pMember)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    return s ? s->*pMember : CLR_INVALID;
}

}  // namespace

std::mutex& GdiLock()
{
    static std::mutex s_lock;
    return s_lock;
}

void GdiRegister(CGdiObject* p) { Reg().objects.insert(p); }

CGdiObject* GdiLookup(HGDIOBJ h, int nKind)
{
    CGdiObject* p = static_cast<CGdiObject*>(h);
    if (!p || !Reg().objects.count(p)) {
        return nullptr;
    }
    return (nKind == 0 || p->m_eKind == nKind) ? p : nullptr;
}

int GdiStockIndex(HGDIOBJ h)
{
    const uintptr_t v = reinterpret_cast<uintptr_t>(h);
    if (v < kStockBase || v >= kStockBase + kStockCount) {
        return -1;
    }
    return static_cast<int>(v - kStockBase);
}

HGDIOBJ GdiStock(int nIndex) { return reinterpret_cast<HGDIOBJ>(kStockBase + static_cast<uintptr_t>(nIndex)); }

CGdiDC* GdiOwnDC(HDC hdc)
{
    CGdiDC* p = reinterpret_cast<CGdiDC*>(hdc);
    return (p && Reg().dcs.count(p)) ? p : nullptr;
}

DCSTATE* GdiState(HDC hdc)
{
    if (!hdc) {
        return nullptr;
    }
    if (CGdiDC* p = GdiOwnDC(hdc)) {
        return &p->state;
    }
    const DDSURFACEDC* pSurf = DDGetSurfaceDC(hdc);
    if (!pSurf) {
        return nullptr;
    }
    auto it = Reg().surfaceStates.find(pSurf);
    if (it == Reg().surfaceStates.end()) {
        it = Reg().surfaceStates.emplace(pSurf, FreshState(false)).first;
    }
    return &it->second;
}

// A dialog's client area; the other windows have no pixels of their own here.
static bool WindowView(HWND hWnd, PIXELVIEW* pView)
{
    uint16_t* pBits = nullptr;
    int w = 0, h = 0;
    if (!WinGetClientPixels(hWnd, &pBits, &w, &h)) {
        return false;
    }
    PIXELVIEW v;
    v.pTop = reinterpret_cast<uint8_t*>(pBits);
    v.nPitch = static_cast<ptrdiff_t>(w) * 2;
    v.nWidth = w;
    v.nHeight = h;
    v.nBpp = 16;
    v.eKind = PK_R5G6B5;
    *pView = v;
    return true;
}

bool GdiTargetView(HDC hdc, const DCSTATE& state, PIXELVIEW* pView)
{
    if (CGdiDC* p = GdiOwnDC(hdc)) {
        if (p->eKind == DCK_WINDOW) {
            return WindowView(p->hWnd, pView);
        }
        if (!state.pBitmap) {
            return false;
        }
        *pView = state.pBitmap->View();
        return true;
    }
    const DDSURFACEDC* pSurf = DDGetSurfaceDC(hdc);
    if (!pSurf || !pSurf->lpBits) {
        return false;
    }
    const PIXELKIND eKind = ClassifyPixelFormat(pSurf->ddpf);
    if (eKind == PK_UNKNOWN || eKind == PK_Z16) {
        return false;
    }
    PIXELVIEW v;
    v.pTop = static_cast<uint8_t*>(pSurf->lpBits);
    v.nPitch = pSurf->lPitch;
    v.nWidth = static_cast<int>(pSurf->dwWidth);
    v.nHeight = static_cast<int>(pSurf->dwHeight);
    v.nBpp = BytesPerPixel(eKind) * 8;
    v.eKind = eKind;
    *pView = v;
    return true;
}

void GdiReleaseSurfaceDC(HDC hdc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    if (GdiOwnDC(hdc)) {
        return;
    }
    const DDSURFACEDC* pSurf = DDGetSurfaceDC(hdc);
    auto it = pSurf ? Reg().surfaceStates.find(pSurf) : Reg().surfaceStates.end();
    if (it != Reg().surfaceStates.end()) {
        ClearState(it->second);
        Reg().surfaceStates.erase(it);
    }
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    if (!s || !h) {
        return nullptr;
    }
    CGdiObject* p = GdiLookup(h, 0);
    const int nKind = p ? static_cast<int>(p->m_eKind) : StockKind(GdiStockIndex(h));
    switch (nKind) {
    case GK_FONT: {
        HGDIOBJ hOld = Swap(s->hFont, h, p, GK_FONT);
        s->pFont = static_cast<CGdiFont*>(p);
        return hOld;
    }
    case GK_PEN:
        return Swap(s->hPen, h, p, GK_PEN);
    case GK_BRUSH: {
        HGDIOBJ hOld = Swap(s->hBrush, h, p, GK_BRUSH);
        s->pBrush = static_cast<CGdiBrush*>(p);
        return hOld;
    }
    case GK_BITMAP: {
        CGdiDC* pDC = GdiOwnDC(hdc);
        if (!pDC || pDC->eKind != DCK_MEMORY) {
            return nullptr;
        }
        // A bitmap lives in one context at a time.
        if (p && p->m_nSelected > 0 && s->pBitmap != p) {
            return nullptr;
        }
        HGDIOBJ hOld = s->hBitmap;
        if (p) {
            p->m_nSelected++;
        }
        Unselect(s->pBitmap);
        s->hBitmap = h;
        s->pBitmap = static_cast<CGdiBitmap*>(p);
        return hOld;
    }
    default:
        return nullptr;  // regions are not selected here; anything else is no object
    }
}

BOOL DeleteObject(HGDIOBJ ho)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    if (GdiStockIndex(ho) >= 0) {
        return TRUE;
    }
    CGdiObject* p = GdiLookup(ho, 0);
    if (!p) {
        return FALSE;
    }
    Reg().objects.erase(p);
    p->m_bDeleted = true;
    if (p->m_nSelected <= 0) {
        Destroy(p);
    }
    return TRUE;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) { return SwapColor(hdc, &DCSTATE::crText, color); }

COLORREF GetTextColor(HDC hdc) { return ReadColor(hdc, &DCSTATE::crText); }

COLORREF SetBkColor(HDC hdc, COLORREF color) { return SwapColor(hdc, &DCSTATE::crBk, color); }

COLORREF GetBkColor(HDC hdc) { return ReadColor(hdc, &DCSTATE::crBk); }

int SetBkMode(HDC hdc, int mode)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    if (!s || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const int old = s->nBkMode;
    s->nBkMode = mode;
    return old;
}

int GetBkMode(HDC hdc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    DCSTATE* s = GdiState(hdc);
    return s ? s->nBkMode : 0;
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiPen* p = new CGdiPen();
    p->m_nStyle = iStyle;
    p->m_nWidth = cWidth;
    p->m_color = color & 0x00FFFFFF;
    GdiRegister(p);
    return reinterpret_cast<HPEN>(static_cast<CGdiObject*>(p));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiBrush* p = new CGdiBrush();
    p->m_color = color & 0x00FFFFFF;
    GdiRegister(p);
    return reinterpret_cast<HBRUSH>(static_cast<CGdiObject*>(p));
}

int GetDeviceCaps(HDC, int index)
{
    switch (index) {
    case HORZRES:
        return 640;
    case VERTRES:
        return 480;
    case BITSPIXEL:
        return 16;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    default:
        return 0;
    }
}

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0) {
        return -1;
    }
    int64_t p = static_cast<int64_t>(nNumber) * nNumerator;
    int64_t d = nDenominator;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    const int64_t q = p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d);
    if (q > INT32_MAX || q < INT32_MIN) {
        return -1;
    }
    return static_cast<int>(q);
}

BOOL IsDBCSLeadByte(BYTE c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

HDC GetDC(HWND hWnd)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiDC* p = new CGdiDC();
    p->eKind = DCK_WINDOW;
    p->hWnd = hWnd;
    p->state = FreshState(false);
    Reg().dcs.insert(p);
    return reinterpret_cast<HDC>(p);
}

int ReleaseDC(HWND, HDC hdc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiDC* p = GdiOwnDC(hdc);
    if (!p || p->eKind != DCK_WINDOW) {
        return 0;
    }
    ClearState(p->state);
    Reg().dcs.erase(p);
    delete p;
    return 1;
}

HDC CreateCompatibleDC(HDC)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiDC* p = new CGdiDC();
    p->eKind = DCK_MEMORY;
    p->state = FreshState(true);
    Reg().dcs.insert(p);
    return reinterpret_cast<HDC>(p);
}

BOOL DeleteDC(HDC hdc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiDC* p = GdiOwnDC(hdc);
    if (!p || p->eKind != DCK_MEMORY) {
        return FALSE;
    }
    ClearState(p->state);
    Reg().dcs.erase(p);
    delete p;
    return TRUE;
}

// ---- Global memory blocks -----------------------------------------------------------------------
namespace {

struct GLOBALHEAD {
    size_t nBytes;
    uint32_t nLocks;
};

// Live blocks, so that a foreign pointer is refused rather than freed.
std::unordered_set<void*>& GlobalBlocks()
{
    static std::unordered_set<void*> s_blocks;
    return s_blocks;
}

GLOBALHEAD* GlobalHead(HGLOBAL h)
{
    return (h && GlobalBlocks().count(h)) ? static_cast<GLOBALHEAD*>(h) : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT uFlags, size_t dwBytes)
{
    const size_t nTotal = sizeof(GLOBALHEAD) + dwBytes;
    if (nTotal < dwBytes) {
        return nullptr;
    }
    void* p = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, nTotal) : std::malloc(nTotal);
    if (!p) {
        return nullptr;
    }
    GLOBALHEAD* pHead = static_cast<GLOBALHEAD*>(p);
    pHead->nBytes = dwBytes;
    pHead->nLocks = 0;
    std::lock_guard<std::mutex> guard(GdiLock());
    GlobalBlocks().insert(p);
    return p;
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    GLOBALHEAD* p = GlobalHead(hMem);
    if (!p) {
        return nullptr;
    }
    p->nLocks++;
    return p + 1;
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    GLOBALHEAD* p = GlobalHead(hMem);
    if (!p || p->nLocks == 0) {
        return FALSE;
    }
    p->nLocks--;
    return p->nLocks > 0;
}

size_t GlobalSize(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    GLOBALHEAD* p = GlobalHead(hMem);
    return p ? p->nBytes : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    if (!GlobalHead(hMem)) {
        return hMem;
    }
    GlobalBlocks().erase(hMem);
    std::free(hMem);
    return nullptr;
}
