// Free functions over DirectDraw surfaces that every picture-handling class builds on: making
// plain surfaces, loading bitmaps and index-sheet regions into them, formats and colour keys,
// fills, the brightness scale, the tinted flash copies and the screen clipping of a draw.
#pragma once
#include <cstdint>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/PixelRow.h"

class CBmpLoader;

#define SCREEN_WIDTH 640
#define SCREEN_HEIGHT 480

// Memory flag of every creating function: 0 video memory (falling back to system memory), 1 system
// memory only.
#define MEM_VIDEO 0
#define MEM_SYSTEM 1

// A picture's address: {index file name, region name}, e.g. {"CockpitIndex.txt", "Option"}.
struct IMGKEY {
    const char* pszIndexFile;
    const char* pszRegion;
    bool IsNULL() const { return !pszIndexFile || !*pszIndexFile || !pszRegion || !*pszRegion; }
};

// ---- Creation and loading -------------------------------------------------------------------------
// The DirectDraw object behind the device's render target; the caller releases it.
IDirectDraw7* GetDeviceDirectDraw(IDirect3DDevice7* lpDevice);
IDirectDrawSurface7* CreatePlaneSurface(IDirectDraw7* lpDD, int nWidth, int nHeight, int nMemFlag);
IDirectDrawSurface7* CreateDevicePlaneSurface(IDirect3DDevice7* lpDevice, int nWidth, int nHeight, int nMemFlag);
// A loaded bitmap (the caller deletes it), or null after the log messages.
CBmpLoader* LoadBitmapFile(const char* pszPath, int nLine = __builtin_LINE(), const char* pszFile = __builtin_FILE());
IDirectDrawSurface7* CreateSurfaceFromBitmap(IDirectDraw7* lpDD, const char* pszPath, int nMemFlag);
IDirectDrawSurface7* LoadBitmapSurface(IDirect3DDevice7* lpDevice, const char* pszPath, int nMemFlag);
IDirectDrawSurface7* LoadBitmapRectSurface(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc,
                                           int nMemFlag);
// A region (or a sub-rectangle of it, relative to its top-left corner) of a registered index.
IDirectDrawSurface7* LoadRegionSurface(IDirect3DDevice7* lpDevice, const char* pszIndexFile, const char* pszRegion,
                                       const RECT* prcSub, int nMemFlag);
IDirectDrawSurface7* LoadIndexSurface(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nMemFlag);
IDirectDrawSurface7* LoadIndexSurfaceEx(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prcSub,
                                        int nMemFlag);
// Always 1; -1 x -1 when the file cannot be read.
int GetBitmapFileSize(const char* pszPath, int* pnWidth, int* pnHeight);

// ---- Queries and keys -----------------------------------------------------------------------------
void GetSurfaceSize(IDirectDrawSurface7* lpSurface, int* pnWidth, int* pnHeight);
void GetRGBMasks(IDirectDrawSurface7* lpSurface, DWORD* pdwRed, DWORD* pdwGreen, DWORD* pdwBlue);
int CountBits(DWORD dwWord);
// The position of a channel mask's lowest bit (0 for an empty mask).
int MaskShift(DWORD dwMask);
HRESULT SetSourceColorKey(IDirectDrawSurface7* lpSurface, DWORD dwColor);
// The key of every keyed picture: pure green of the surface's format.
HRESULT SetColorKeyGreen(IDirectDrawSurface7* lpSurface);
// What pure green becomes in a flash copy (green mask | red mask >> 1): the key of flash copies.
DWORD GetFlashColorKey(IDirectDrawSurface7* lpSurface);
int IsSurfaceInSystemMemory(IDirectDrawSurface7* lpSurface);
int IsSurfaceInVideoMemory(IDirectDrawSurface7* lpSurface);

// ---- Pixel work -----------------------------------------------------------------------------------
// Channels 0 to 1; the whole surface when prc is null. 1 on success.
int FillSurfaceColor(IDirectDrawSurface7* lpSurface, float fRed, float fGreen, float fBlue, const RECT* prc);
// Multiplies every channel (clamped to its maximum); nothing for a factor within 0.01 of 1.
void ScaleSurfaceBrightness(IDirectDrawSurface7* lpSurface, float fFactor);
// Yellow-tinted (red-tinted) copy keyed with GetFlashColorKey; null on failure.
IDirectDrawSurface7* CreateBlendedCopy(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface);
IDirectDrawSurface7* CreateBlendedCopyRed(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface);
// The GDI source copy between two surfaces of any formats: w x h pixels from (sx, sy) to (x, y),
// clipped to both; colours convert by truncation. 1 on success.
int CopySurfacePixels(IDirectDrawSurface7* lpDest, int x, int y, IDirectDrawSurface7* lpSrc, int sx, int sy, int w,
                      int h);

// Locks the whole surface, repeating while it is still drawing. False on any other failure.
bool LockSurfaceRetrying(IDirectDrawSurface7* lpSurface, DDSURFACEDESC2* pDesc);
// A raw pixel of a locked row: ReadRowPixel and WriteRowPixel of platform/ddraw/PixelRow.h.
// The picture's origin and size: the rectangle's, or the whole surface's at (0, 0).
void GetPictureRect(IDirectDrawSurface7* lpSurface, const RECT* prc, int* pnX, int* pnY, int* pnWidth, int* pnHeight);

// ---- Rectangles -----------------------------------------------------------------------------------
// Source and destination of a w x h picture drawn at (x, y), clipped to the screen. When the picture
// is wholly off screen the destination comes out empty or inverted (and a blit of it fails).
void GetClippedBltRects(int x, int y, int nWidth, int nHeight, RECT* prcSrc, RECT* prcDest);
void ClipBltRects(RECT* prcSrc, RECT* prcDest, int nWidth, int nHeight);
void NormalizeRect(RECT* prcOut, const RECT* prcIn);
// The picture as a parallelogram leaning left one pixel a row (the slanted gauge).
int BltSlanted(IDirectDrawSurface7* lpDest, int x, int y, IDirectDrawSurface7* lpSrc, int nWidth, int nHeight);
int BltOk(IDirectDrawSurface7* lpSurface, RECT* prcDest, IDirectDrawSurface7* lpSrc, RECT* prcSrc, DWORD dwFlags,
          DDBLTFX* lpFx);

// Releases an interface and clears the pointer (nothing for null).
template <typename T> void SafeRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}
