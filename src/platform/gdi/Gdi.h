// The GDI subset the game draws text, glyphs and small bitmaps with, and the polygon regions its
// quad tests use. Served by FreeType (faces found through fontconfig) over plain pixel memory:
// a device context is a DirectDraw surface's (IDirectDrawSurface7::GetDC), a memory context
// holding a bitmap, or a window's (a dialog's draws on its client area; the main window's is for
// measuring only: drawing on it changes nothing).
//
// Text is code page 932 bytes, as everywhere in the game; it becomes Unicode only inside.
// Every face name resolves to the Japanese Gothic font fontconfig finds for the language "ja".
// All calls are thread-safe (the loading thread makes text surfaces).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/ddraw/DDraw.h"
#include "platform/win/Win.h"
#include "platform/win/WinTypes.h"

typedef struct HDC__* HDC;
typedef struct HFONT__* HFONT;
typedef struct HBITMAP__* HBITMAP;
typedef struct HPEN__* HPEN;
typedef struct HRGN__* HRGN;
typedef void* HGLOBAL;
typedef DWORD COLORREF;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)((c)&0xFF))
#define GetGValue(c) ((BYTE)(((c) >> 8) & 0xFF))
#define GetBValue(c) ((BYTE)(((c) >> 16) & 0xFF))
#define CLR_INVALID 0xFFFFFFFF

#define HGDI_ERROR ((HGDIOBJ)(intptr_t)-1)
#define GDI_ERROR 0xFFFFFFFFu

// ---- Stock objects (GetStockObject of Win.h; WHITE_BRUSH and BLACK_BRUSH are declared there) -------
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define NULL_BRUSH 5
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// ---- Fonts --------------------------------------------------------------------------------------
#define LF_FACESIZE 32

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SHIFTJIS_CHARSET 128

#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4

#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

struct LOGFONTA {
    LONG lfHeight;  // < 0: character (em) height in pixels; > 0: cell height; 0: the default size
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// Null when no font file can be had (the reason is in GdiGetLastFontError). Width, escapement,
// orientation, italic, underline and strike-out are kept but not drawn: the game uses none.
HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName);
HFONT CreateFontIndirectA(const LOGFONTA* lplf);

// ---- Device contexts and objects ----------------------------------------------------------------
#define TRANSPARENT 1
#define OPAQUE 2

#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90

#define PS_SOLID 0
#define PS_NULL 5

// Selects a font, pen, brush or bitmap (a bitmap into a memory context only); the previously
// selected object of that kind, or null on failure.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// An object still selected into a context is freed once it is no longer selected; its handle is
// invalid at once. Stock objects are never deleted (TRUE).
BOOL DeleteObject(HGDIOBJ ho);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);

// The screen: 640 x 480, 16 bits per pixel, 96 pixels per inch on both axes.
int GetDeviceCaps(HDC hdc, int index);
// nNumber * nNumerator / nDenominator rounded half away from zero; -1 when nDenominator is 0.
int MulDiv(int nNumber, int nNumerator, int nDenominator);
// Code page 932 lead bytes: 0x81-0x9F and 0xE0-0xFC.
BOOL IsDBCSLeadByte(BYTE c);

// A window's context (null: the screen's): RGB565 like the display; it draws only on a dialog.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hdc);
// A memory context; it starts holding a 1 x 1 monochrome bitmap, as GDI's do.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// ---- Text ---------------------------------------------------------------------------------------
// Writes the code-page-932 bytes with the cell's top-left at (x, y), glyphs in exactly the text
// colour with no anti-aliasing; OPAQUE mode first fills the text's extent with the background
// colour. Clipped to the context's pixels. A lead byte without its trail byte is one character.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
// The box TextOutA fills: the sum of the advances by the font's cell height (0 x 0 for no text).
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, SIZE* psizl);
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* lptm);

// ---- Glyph outlines -----------------------------------------------------------------------------
#define GGO_METRICS 0
#define GGO_BITMAP 1
#define GGO_NATIVE 2
#define GGO_GRAY2_BITMAP 4
#define GGO_GRAY4_BITMAP 5
#define GGO_GRAY8_BITMAP 6

struct FIXED {
    WORD fract;
    SHORT value;
};
struct MAT2 {
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
};
struct GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;  // y: from the baseline up to the black box's top
    SHORT gmCellIncX;
    SHORT gmCellIncY;
};
typedef GLYPHMETRICS* LPGLYPHMETRICS;

// uChar is a byte, or lead byte * 256 + trail byte. GGO_BITMAP rows are 1 bit per pixel (most
// significant first), the grey formats one byte per pixel of 0..4, 0..16 or 0..64; rows padded to
// four bytes. Returns the buffer size (0 for a glyph with no pixels, a space), GDI_ERROR on
// failure; with cjBuffer 0 only the size and the metrics. Only the identity transform is served.
DWORD GetGlyphOutlineA(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer, LPVOID pvBuffer,
                       const MAT2* lpmat2);

// ---- Bitmaps ------------------------------------------------------------------------------------
#define BI_RGB 0
#define BI_RLE8 1
#define BI_RLE4 2
#define BI_BITFIELDS 3
#define BI_JPEG 4
#define BI_PNG 5
#define DIB_RGB_COLORS 0

#define SRCCOPY 0x00CC0020u
#define PATCOPY 0x00F00021u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // > 0: rows bottom-up; < 0: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// A bitmap in the context's format: RGB565 for the screen, a window or a 16-bit surface; the
// surface's format for other surfaces; a memory context's current bitmap's format (monochrome for
// a fresh one). Content black.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// 1, 4, 8 (colour table), 16 (555, or BI_BITFIELDS 565), 24 or 32 bits per pixel; the bits are
// zeroed and stay owned by the bitmap. Null for a header that is not one of these.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                         DWORD offset);
// BITMAP of a bitmap (cbBuffer >= sizeof(BITMAP)); the number of bytes written, 0 on failure.
int GetObjectA(HGDIOBJ h, int c, LPVOID pv);
// Colour conversion widens each channel by repeating its top bits and packs by truncation, so
// pure green stays pure green in every format; alpha bits are written as 0. Clipped to both the
// source and the destination. SRCCOPY, BLACKNESS, WHITENESS, PATCOPY (solid brushes).
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);

// ---- Dialogs ------------------------------------------------------------------------------------
// A modal dialog in a small window of its own on the host. Its procedure draws it through window
// contexts (BeginPaint, GetDC) and is fed the mouse, Escape and Enter as the commands IDCANCEL and
// IDOK, and the close box as WM_CLOSE. The program has no resources: every template gives an
// empty captioned popup that the procedure sizes and places in WM_INITDIALOG. A procedure that
// leaves IDCANCEL to the default ends the dialog with IDCANCEL.
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);
// The value given to EndDialog; -1 when the host could not show the window.
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// The whole client area is repainted (and first erased when asked) before the next input.
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
// Sends WM_ERASEBKGND first when an erase is due.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// ---- Global memory blocks -----------------------------------------------------------------------
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL GlobalAlloc(UINT uFlags, size_t dwBytes);
LPVOID GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
size_t GlobalSize(HGLOBAL hMem);
// Null on success, the block itself when it is not one of ours.
HGLOBAL GlobalFree(HGLOBAL hMem);

// ---- Polygon regions ----------------------------------------------------------------------------
// A region is a set of pixels. Pixel (x, y) belongs to a polygon when its centre (x + 0.5, y + 0.5)
// lies inside; a centre exactly on an edge belongs to the side the edge faces rightwards, i.e. the
// left edge of a span is in, the right edge out (centres never fall on horizontal edges, since
// vertices are whole). So polygons that only share an edge have no pixel in common, and together
// they cover every pixel along it exactly once.
#define ALTERNATE 1
#define WINDING 2

#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3

// Coordinates must lie within +-(1 << 27) and the polygon may span at most GDI_REGION_MAX_ROWS
// rows; otherwise (or with fewer than 2 points) the result is null.
#define GDI_REGION_MAX_ROWS 65536
HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode);
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
// hrgnDst receives the combination (it may be one of the sources). NULLREGION, SIMPLEREGION (one
// rectangle), COMPLEXREGION, or ERROR.
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
BOOL PtInRegion(HRGN hrgn, int x, int y);
// The bounding rectangle (right and bottom exclusive; all 0 for an empty region) and the kind.
int GetRgnBox(HRGN hrgn, RECT* lprc);

// ---- Our own ------------------------------------------------------------------------------------
// The same pixel sets as CreatePolygonRgn, tested without building regions or allocating: whether
// two polygons share a pixel, and whether a pixel lies in a polygon. At most GDI_POLY_MAX_POINTS
// points each and the limits above; outside them the answer is FALSE.
#define GDI_POLY_MAX_POINTS 32
BOOL PolygonsShareAPixel(const POINT* pA, int nA, const POINT* pB, int nB, int iMode);
BOOL PtInPolygon(const POINT* pPoints, int nPoints, int iMode, int x, int y);

// The surface's IDirectDrawSurface7::ReleaseDC must call this with the context it gives back: the
// context's selections, colours and modes are forgotten (the next GetDC starts afresh).
void GdiReleaseSurfaceDC(HDC hdc);
// Forces the font file every face resolves to (null: back to the fontconfig lookup). Existing
// fonts keep their face. FALSE when the file cannot be opened as a font: fonts made after that
// fail (null) until another file is set.
BOOL GdiSetFontFile(const char* pszPath);
// Why the last CreateFont failed, in English; "" when it did not.
const char* GdiGetLastFontError();
