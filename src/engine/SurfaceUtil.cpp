#include "engine/SurfaceUtil.h"

#include <algorithm>
#include <cstring>

#include "engine/Blender.h"
#include "engine/BmpIndex.h"
#include "engine/BmpLoader.h"
#include "engine/DebugOut.h"
#include "engine/Log.h"

namespace {

DDSURFACEDESC2 PlaneDesc(int nWidth, int nHeight, DWORD dwMemCaps)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    ddsd.dwWidth = (DWORD)nWidth;
    ddsd.dwHeight = (DWORD)nHeight;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | dwMemCaps;
    return ddsd;
}

bool GetDesc(IDirectDrawSurface7* lpSurface, DDSURFACEDESC2* pDesc)
{
    std::memset(pDesc, 0, sizeof(*pDesc));
    pDesc->dwSize = sizeof(*pDesc);
    return lpSurface && lpSurface->GetSurfaceDesc(pDesc) == DD_OK;
}

// A plane copy of the source filled with fill = masks picked by bRedOnly, blended half into it.
IDirectDrawSurface7* MakeTintedCopy(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, bool bRedOnly)
{
    int w = 0, h = 0;
    GetSurfaceSize(lpSurface, &w, &h);
    if (!lpSurface || w <= 0 || h <= 0) {
        return nullptr;
    }
    IDirectDrawSurface7* lpCopy = CreateDevicePlaneSurface(lpDevice, w, h, MEM_VIDEO);
    if (!lpCopy) {
        return nullptr;
    }
    IDirectDrawSurface7* lpTint = nullptr;
    bool bOk = lpCopy->Blt(nullptr, lpSurface, nullptr, DDBLT_WAIT, nullptr) == DD_OK;
    if (bOk) {
        lpTint = CreateDevicePlaneSurface(lpDevice, w, h, MEM_VIDEO);
        bOk = lpTint != nullptr;
    }
    if (bOk) {
        DWORD dwR = 0, dwG = 0;
        GetRGBMasks(lpTint, &dwR, &dwG, nullptr);
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = bRedOnly ? dwR : (dwR | dwG);
        bOk = lpTint->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK &&
              BlendBltHalfAdd(lpCopy, nullptr, lpTint, nullptr) != 0;
    }
    SafeRelease(lpTint);
    if (!bOk) {
        SafeRelease(lpCopy);
        return nullptr;
    }
    SetSourceColorKey(lpCopy, GetFlashColorKey(lpCopy));
    return lpCopy;
}

} // namespace

// ---- Creation and loading -------------------------------------------------------------------------
IDirectDraw7* GetDeviceDirectDraw(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice) {
        return nullptr;
    }
    IDirectDrawSurface7* lpTarget = nullptr;
    if (lpDevice->GetRenderTarget(&lpTarget) != D3D_OK || !lpTarget) {
        return nullptr;
    }
    LPVOID lpDD = nullptr;
    lpTarget->GetDDInterface(&lpDD);
    lpTarget->Release();
    return static_cast<IDirectDraw7*>(lpDD);
}

IDirectDrawSurface7* CreatePlaneSurface(IDirectDraw7* lpDD, int nWidth, int nHeight, int nMemFlag)
{
    if (!lpDD || nWidth <= 0 || nHeight <= 0) {
        return nullptr;
    }
    IDirectDrawSurface7* lpSurface = nullptr;
    DDSURFACEDESC2 ddsd = PlaneDesc(nWidth, nHeight, nMemFlag ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY);
    if (lpDD->CreateSurface(&ddsd, &lpSurface, nullptr) == DD_OK) {
        return lpSurface;
    }
    if (!nMemFlag) {
        DDSCAPS2 caps = {DDSCAPS_VIDEOMEMORY, 0, 0, 0};
        DWORD dwTotal = 0, dwFree = 0;
        lpDD->GetAvailableVidMem(&caps, &dwTotal, &dwFree);
        CDebugInfo::Trace(0, "ビデオメモリのプレーンサーフェスの作成に失敗しました : VRAM空き = %2.3f MB\n",
                          (double)dwFree * 9.536743e-7);
        CDebugInfo::Trace(0, "システムメモリに作成します : width = %ld height = %ld\n", (long)nWidth, (long)nHeight);
        ddsd = PlaneDesc(nWidth, nHeight, DDSCAPS_SYSTEMMEMORY);
        if (lpDD->CreateSurface(&ddsd, &lpSurface, nullptr) == DD_OK) {
            return lpSurface;
        }
    }
    DebugPrintf("error : CreatePlaneSurface()::CreateSurface() : width = %ld height = %ld\n", (long)nWidth,
                (long)nHeight);
    return nullptr;
}

IDirectDrawSurface7* CreateDevicePlaneSurface(IDirect3DDevice7* lpDevice, int nWidth, int nHeight, int nMemFlag)
{
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    IDirectDrawSurface7* lpSurface = CreatePlaneSurface(lpDD, nWidth, nHeight, nMemFlag);
    SafeRelease(lpDD);
    return lpSurface;
}

CBmpLoader* LoadBitmapFile(const char* pszPath, int nLine, const char* pszFile)
{
    WriteOpenLog("%s 読み込み : %d %s\n", pszPath ? pszPath : "", nLine, pszFile ? pszFile : "");
    CBmpLoader* pLoader = new CBmpLoader();
    if (!pLoader->Load(pszPath)) {
        delete pLoader;
        WriteOpenLog("%s オープンに失敗しました。\n", pszPath ? pszPath : "");
        DebugPrintf("%s のオープンに失敗しました。\n", pszPath ? pszPath : "");
        return nullptr;
    }
    return pLoader;
}

IDirectDrawSurface7* CreateSurfaceFromBitmap(IDirectDraw7* lpDD, const char* pszPath, int nMemFlag)
{
    CBmpLoader* pLoader = LoadBitmapFile(pszPath);
    if (!pLoader) {
        return nullptr;
    }
    int w = 0, h = 0;
    pLoader->GetSize(&w, &h);
    IDirectDrawSurface7* lpSurface = CreatePlaneSurface(lpDD, w, h, nMemFlag);
    if (lpSurface) {
        HDC hdc = nullptr;
        if (lpSurface->GetDC(&hdc) == DD_OK) {
            BitBlt(hdc, 0, 0, w, h, pLoader, 0, 0, SRCCOPY);
            lpSurface->ReleaseDC(hdc);
        } else {
            SafeRelease(lpSurface);
        }
    }
    DeleteObject(pLoader);
    return lpSurface;
}

IDirectDrawSurface7* LoadBitmapSurface(IDirect3DDevice7* lpDevice, const char* pszPath, int nMemFlag)
{
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    IDirectDrawSurface7* lpSurface = CreateSurfaceFromBitmap(lpDD, pszPath, nMemFlag);
    SafeRelease(lpDD);
    return lpSurface;
}

IDirectDrawSurface7* LoadBitmapRectSurface(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc,
                                           int nMemFlag)
{
    IDirectDrawSurface7* lpWhole = LoadBitmapSurface(lpDevice, pszPath, nMemFlag);
    if (!lpWhole) {
        return nullptr;
    }
    int w = 0, h = 0;
    GetSurfaceSize(lpWhole, &w, &h);
    RECT rc = prc ? *prc : RECT{0, 0, w, h};
    IDirectDrawSurface7* lpPart = CreateDevicePlaneSurface(lpDevice, rc.right - rc.left, rc.bottom - rc.top, nMemFlag);
    if (lpPart && lpPart->Blt(nullptr, lpWhole, &rc, DDBLT_WAIT, nullptr) != DD_OK) {
        SafeRelease(lpPart);
    }
    SafeRelease(lpWhole);
    return lpPart;
}

IDirectDrawSurface7* LoadRegionSurface(IDirect3DDevice7* lpDevice, const char* pszIndexFile, const char* pszRegion,
                                       const RECT* prcSub, int nMemFlag)
{
    CBmpIndex* pIndex = CBmpIndexSet::GetInstance().Find(pszIndexFile);
    if (!pIndex) {
        return nullptr;
    }
    return pIndex->CreateSurfaceByDevice(lpDevice, pszRegion, prcSub, nMemFlag);
}

IDirectDrawSurface7* LoadIndexSurface(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nMemFlag)
{
    return LoadIndexSurfaceEx(lpDevice, key, nullptr, nMemFlag);
}

IDirectDrawSurface7* LoadIndexSurfaceEx(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prcSub,
                                        int nMemFlag)
{
    if (key.IsNULL()) {
        RaiseRuntimeAssert("!key.IsNULL()", __FILE__, __LINE__);
        return nullptr;
    }
    return LoadRegionSurface(lpDevice, key.pszIndexFile, key.pszRegion, prcSub, nMemFlag);
}

int GetBitmapFileSize(const char* pszPath, int* pnWidth, int* pnHeight)
{
    ReadBitmapFileSize(pszPath, pnWidth, pnHeight);
    return 1;
}

// ---- Queries and keys -----------------------------------------------------------------------------
void GetSurfaceSize(IDirectDrawSurface7* lpSurface, int* pnWidth, int* pnHeight)
{
    DDSURFACEDESC2 ddsd;
    if (!GetDesc(lpSurface, &ddsd)) {
        return;
    }
    if (pnWidth) {
        *pnWidth = (int)ddsd.dwWidth;
    }
    if (pnHeight) {
        *pnHeight = (int)ddsd.dwHeight;
    }
}

void GetRGBMasks(IDirectDrawSurface7* lpSurface, DWORD* pdwRed, DWORD* pdwGreen, DWORD* pdwBlue)
{
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    if (!lpSurface || lpSurface->GetPixelFormat(&pf) != DD_OK) {
        return;
    }
    if (pdwRed) {
        *pdwRed = pf.dwRBitMask;
    }
    if (pdwGreen) {
        *pdwGreen = pf.dwGBitMask;
    }
    if (pdwBlue) {
        *pdwBlue = pf.dwBBitMask;
    }
}

int MaskShift(DWORD dwMask)
{
    if (!dwMask) {
        return 0;
    }
    int n = 0;
    while (!(dwMask & 1)) {
        dwMask >>= 1;
        n++;
    }
    return n;
}

int CountBits(DWORD dwWord)
{
    int n = 0;
    for (; dwWord; dwWord &= dwWord - 1) {
        n++;
    }
    return n;
}

HRESULT SetSourceColorKey(IDirectDrawSurface7* lpSurface, DWORD dwColor)
{
    if (!lpSurface) {
        return DDERR_INVALIDPARAMS;
    }
    DDCOLORKEY ck = {dwColor, dwColor};
    return lpSurface->SetColorKey(DDCKEY_SRCBLT, &ck);
}

HRESULT SetColorKeyGreen(IDirectDrawSurface7* lpSurface)
{
    DWORD dwGreen = 0;
    GetRGBMasks(lpSurface, nullptr, &dwGreen, nullptr);
    return SetSourceColorKey(lpSurface, dwGreen);
}

DWORD GetFlashColorKey(IDirectDrawSurface7* lpSurface)
{
    DWORD dwRed = 0, dwGreen = 0;
    GetRGBMasks(lpSurface, &dwRed, &dwGreen, nullptr);
    return dwGreen | (dwRed >> 1);
}

int IsSurfaceInSystemMemory(IDirectDrawSurface7* lpSurface)
{
    DDSCAPS2 caps = {};
    return lpSurface && lpSurface->GetCaps(&caps) == DD_OK && (caps.dwCaps & DDSCAPS_SYSTEMMEMORY) ? 1 : 0;
}

int IsSurfaceInVideoMemory(IDirectDrawSurface7* lpSurface)
{
    DDSCAPS2 caps = {};
    return lpSurface && lpSurface->GetCaps(&caps) == DD_OK && (caps.dwCaps & DDSCAPS_VIDEOMEMORY) ? 1 : 0;
}

// ---- Pixel work -----------------------------------------------------------------------------------
int FillSurfaceColor(IDirectDrawSurface7* lpSurface, float fRed, float fGreen, float fBlue, const RECT* prc)
{
    if (!lpSurface) {
        return 0;
    }
    DWORD dwMasks[3] = {0, 0, 0};
    GetRGBMasks(lpSurface, &dwMasks[0], &dwMasks[1], &dwMasks[2]);
    const float fChannels[3] = {fRed, fGreen, fBlue};
    DWORD dwColor = 0;
    for (int i = 0; i < 3; i++) {
        const int nShift = MaskShift(dwMasks[i]);
        const DWORD dwMax = dwMasks[i] >> nShift;
        const float f = fChannels[i] < 0.0f ? 0.0f : (fChannels[i] > 1.0f ? 1.0f : fChannels[i]);
        dwColor |= ((DWORD)((float)dwMax * f) << nShift) & dwMasks[i];
    }
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = dwColor;
    RECT rc = prc ? *prc : RECT{};
    return lpSurface->Blt(prc ? &rc : nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK ? 1 : 0;
}

void ScaleSurfaceBrightness(IDirectDrawSurface7* lpSurface, float fFactor)
{
    if (!lpSurface || (fFactor > 0.99f && fFactor < 1.01f)) {
        return;
    }
    DDSURFACEDESC2 ddsd;
    if (!LockSurfaceRetrying(lpSurface, &ddsd)) {
        return;
    }
    const DDPIXELFORMAT& pf = ddsd.ddpfPixelFormat;
    const DWORD dwMasks[3] = {pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};
    const int nShifts[3] = {MaskShift(dwMasks[0]), MaskShift(dwMasks[1]), MaskShift(dwMasks[2])};
    const int nBytes = pf.dwRGBBitCount == 16 ? 2 : 4;
    for (DWORD y = 0; y < ddsd.dwHeight; y++) {
        uint8_t* pRow = (uint8_t*)ddsd.lpSurface + (size_t)y * ddsd.lPitch;
        for (DWORD x = 0; x < ddsd.dwWidth; x++) {
            const DWORD dwPixel = ReadRowPixel(pRow, (int)x, nBytes);
            DWORD dwOut = dwPixel & ~(dwMasks[0] | dwMasks[1] | dwMasks[2]);
            for (int i = 0; i < 3; i++) {
                const DWORD dwMask = dwMasks[i];
                const int nShift = nShifts[i];
                const DWORD dwMax = dwMask >> nShift;
                // Limited to the channel before it is cut to eight bits: a brightening factor must
                // neither carry into the next channel nor wrap a bright channel round to a dark one.
                const float f = (float)((dwPixel & dwMask) >> nShift) * fFactor;
                const DWORD c = f <= 0.0f ? 0 : (f >= (float)dwMax ? dwMax : (DWORD)f & 0xFF);
                dwOut |= c << nShift;
            }
            WriteRowPixel(pRow, (int)x, nBytes, dwOut);
        }
    }
    lpSurface->Unlock(nullptr);
}

IDirectDrawSurface7* CreateBlendedCopy(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface)
{
    return MakeTintedCopy(lpDevice, lpSurface, false);
}

IDirectDrawSurface7* CreateBlendedCopyRed(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface)
{
    return MakeTintedCopy(lpDevice, lpSurface, true);
}

int CopySurfacePixels(IDirectDrawSurface7* lpDest, int x, int y, IDirectDrawSurface7* lpSrc, int sx, int sy, int w,
                      int h)
{
    if (!lpDest || !lpSrc || lpDest == lpSrc) {
        return 0;
    }
    DDSURFACEDESC2 src, dst;
    if (!LockSurfaceRetrying(lpSrc, &src)) {
        return 0;
    }
    if (!LockSurfaceRetrying(lpDest, &dst)) {
        lpSrc->Unlock(nullptr);
        return 0;
    }
    RECT rcS = {sx, sy, sx + w, sy + h};
    RECT rcD = {x, y, x + w, y + h};
    ClipBltRects(&rcS, &rcD, (int)dst.dwWidth, (int)dst.dwHeight);
    const int nW = std::min<int>(rcD.right - rcD.left, (int)src.dwWidth - rcS.left);
    const int nH = std::min<int>(rcD.bottom - rcD.top, (int)src.dwHeight - rcS.top);
    const DDPIXELFORMAT& pfS = src.ddpfPixelFormat;
    const DDPIXELFORMAT& pfD = dst.ddpfPixelFormat;
    const int nSB = pfS.dwRGBBitCount == 16 ? 2 : 4;
    const int nDB = pfD.dwRGBBitCount == 16 ? 2 : 4;
    const bool bSame = pfS.dwRGBBitCount == pfD.dwRGBBitCount && pfS.dwRBitMask == pfD.dwRBitMask &&
                       pfS.dwGBitMask == pfD.dwGBitMask && pfS.dwBBitMask == pfD.dwBBitMask &&
                       pfS.dwRGBAlphaBitMask == pfD.dwRGBAlphaBitMask;
    const CPixelPacker unpackS(pfS), packD(pfD);
    for (int r = 0; r < nH && rcS.top >= 0 && rcS.left >= 0; r++) {
        const uint8_t* pS = (const uint8_t*)src.lpSurface + (size_t)(rcS.top + r) * src.lPitch;
        uint8_t* pD = (uint8_t*)dst.lpSurface + (size_t)(rcD.top + r) * dst.lPitch;
        if (bSame) {
            std::memcpy(pD + (size_t)rcD.left * nDB, pS + (size_t)rcS.left * nSB, (size_t)std::max(nW, 0) * nDB);
            continue;
        }
        for (int c = 0; c < nW; c++) {
            const uint32_t dwRgb = unpackS.Unpack(ReadRowPixel(pS, rcS.left + c, nSB));
            WriteRowPixel(pD, rcD.left + c, nDB, packD.Pack(dwRgb));
        }
    }
    lpDest->Unlock(nullptr);
    lpSrc->Unlock(nullptr);
    return 1;
}

bool LockSurfaceRetrying(IDirectDrawSurface7* lpSurface, DDSURFACEDESC2* pDesc)
{
    std::memset(pDesc, 0, sizeof(*pDesc));
    pDesc->dwSize = sizeof(*pDesc);
    HRESULT hr;
    while ((hr = lpSurface->Lock(nullptr, pDesc, 0, nullptr)) == DDERR_WASSTILLDRAWING) {
    }
    return hr == DD_OK;
}


void GetPictureRect(IDirectDrawSurface7* lpSurface, const RECT* prc, int* pnX, int* pnY, int* pnWidth, int* pnHeight)
{
    *pnX = *pnY = *pnWidth = *pnHeight = 0;
    if (prc) {
        *pnX = prc->left;
        *pnY = prc->top;
        *pnWidth = prc->right - prc->left;
        *pnHeight = prc->bottom - prc->top;
    } else {
        GetSurfaceSize(lpSurface, pnWidth, pnHeight);
    }
}

// ---- Rectangles -----------------------------------------------------------------------------------
void GetClippedBltRects(int x, int y, int nWidth, int nHeight, RECT* prcSrc, RECT* prcDest)
{
    RECT rcSrc = {0, 0, nWidth, nHeight};
    RECT rcDest = {x, y, x + nWidth, y + nHeight};
    ClipBltRects(&rcSrc, &rcDest, SCREEN_WIDTH, SCREEN_HEIGHT);
    if ((rcSrc.right - rcSrc.left) != (rcDest.right - rcDest.left)) {
        RaiseRuntimeAssert("(rcSrc.right - rcSrc.left) == (rcDest.right - rcDest.left)", __FILE__, __LINE__);
    }
    if ((rcSrc.bottom - rcSrc.top) != (rcDest.bottom - rcDest.top)) {
        RaiseRuntimeAssert("(rcSrc.bottom - rcSrc.top) == (rcDest.bottom - rcDest.top)", __FILE__, __LINE__);
    }
    if (prcSrc) {
        *prcSrc = rcSrc;
    }
    if (prcDest) {
        *prcDest = rcDest;
    }
}

void ClipBltRects(RECT* prcSrc, RECT* prcDest, int nWidth, int nHeight)
{
    if (prcSrc->left < 0) {
        prcDest->left -= prcSrc->left;
        prcSrc->left = 0;
    }
    if (prcDest->left < 0) {
        prcSrc->left -= prcDest->left;
        prcDest->left = 0;
    }
    if (prcDest->right > nWidth) {
        prcSrc->right -= prcDest->right - nWidth;
        prcDest->right = nWidth;
    }
    if (prcDest->top < 0) {
        prcSrc->top -= prcDest->top;
        prcDest->top = 0;
    }
    if (prcDest->bottom > nHeight) {
        prcSrc->bottom -= prcDest->bottom - nHeight;
        prcDest->bottom = nHeight;
    }
}

void NormalizeRect(RECT* prcOut, const RECT* prcIn)
{
    if (!prcIn) {
        *prcOut = RECT{0, 0, 1, 1};
        return;
    }
    prcOut->left = std::min(prcIn->left, prcIn->right);
    prcOut->right = std::max(prcIn->left, prcIn->right);
    prcOut->top = std::min(prcIn->top, prcIn->bottom);
    prcOut->bottom = std::max(prcIn->top, prcIn->bottom);
}

int BltSlanted(IDirectDrawSurface7* lpDest, int x, int y, IDirectDrawSurface7* lpSrc, int nWidth, int nHeight)
{
    if (nWidth == 0 || nHeight == 0) {
        return 1;
    }
    if (!lpDest || !lpSrc) {
        return 0;
    }
    for (int i = 0; i < nHeight; i++) {
        const int nLeft = nHeight - 1 - i;
        RECT rcSrc = {nLeft, i, nWidth - i, i + 1};
        RECT rcDest = {x + nLeft, y + i, x + nLeft + (rcSrc.right - rcSrc.left), y + i + 1};
        if (rcSrc.right <= rcSrc.left) {
            continue;  // nothing of this row lies inside the picture
        }
        if (lpDest->Blt(&rcDest, lpSrc, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr) != DD_OK) {
            return 0;
        }
    }
    return 1;
}

int BltOk(IDirectDrawSurface7* lpSurface, RECT* prcDest, IDirectDrawSurface7* lpSrc, RECT* prcSrc, DWORD dwFlags,
          DDBLTFX* lpFx)
{
    return lpSurface && lpSurface->Blt(prcDest, lpSrc, prcSrc, dwFlags, lpFx) == DD_OK ? 1 : 0;
}
