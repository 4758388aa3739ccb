#include "engine/TextureUtil.h"

#include <algorithm>
#include <cmath>

#include "engine/EnumDriver.h"
#include "engine/SurfaceUtil.h"

int g_bSquareTextureOnly = 0;

int NextPowerOfTwo(int n)
{
    int p = 1;
    while (p < n && p < (1 << 30)) {
        p <<= 1;
    }
    return p;
}

void GetTextureSize(int nWidth, int nHeight, int* pnTexWidth, int* pnTexHeight)
{
    int w = NextPowerOfTwo(nWidth);
    int h = NextPowerOfTwo(nHeight);
    if (g_bSquareTextureOnly) {
        w = h = std::max(w, h);
    }
    if (pnTexWidth) {
        *pnTexWidth = w;
    }
    if (pnTexHeight) {
        *pnTexHeight = h;
    }
}

bool IsHardwareDevice(IDirect3DDevice7* lpDevice)
{
    D3DDEVICEDESC7 desc = {};
    if (!lpDevice || lpDevice->GetCaps(&desc) != D3D_OK) {
        return false;
    }
    return IsSameGUID(desc.deviceGUID, IID_IDirect3DHALDevice) || IsSameGUID(desc.deviceGUID, IID_IDirect3DTnLHalDevice);
}

IDirectDrawSurface7* CreateTextureSurface(IDirect3DDevice7* lpDevice, int nTexWidth, int nTexHeight)
{
    CEnumDriver* pDriver = CEnumDriver::GetInstance();
    const DDPIXELFORMAT* pf = pDriver ? pDriver->GetAlphaTextureFormat() : nullptr;
    if (!lpDevice || !pf || pf->dwRGBBitCount == 0 || nTexWidth <= 0 || nTexHeight <= 0) {
        return nullptr;
    }
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    ddsd.dwWidth = (DWORD)nTexWidth;
    ddsd.dwHeight = (DWORD)nTexHeight;
    ddsd.ddpfPixelFormat = *pf;
    ddsd.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    if (IsHardwareDevice(lpDevice)) {
        ddsd.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    } else {
        ddsd.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    }
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    IDirectDrawSurface7* lpTexture = nullptr;
    if (!lpDD || lpDD->CreateSurface(&ddsd, &lpTexture, nullptr) != DD_OK) {
        lpTexture = nullptr;
    }
    SafeRelease(lpDD);
    return lpTexture;
}

IDirectDrawSurface7* CreateTextureFromSurface(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface,
                                              const RECT* prc, int bKey)
{
    D3DDEVICEDESC7 desc = {};
    if (!lpDevice || !lpSurface || lpDevice->GetCaps(&desc) != D3D_OK) {
        return nullptr;
    }
    int w = 0, h = 0, x0 = 0, y0 = 0;
    GetPictureRect(lpSurface, prc, &x0, &y0, &w, &h);
    if (w <= 0 || h <= 0) {
        return nullptr;
    }
    int tw = NextPowerOfTwo(w);
    int th = NextPowerOfTwo(h);
    if (desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY) {
        tw = th = std::max(tw, th);
        g_bSquareTextureOnly = 1;
    }
    IDirectDrawSurface7* lpTexture = CreateTextureSurface(lpDevice, tw, th);
    if (!lpTexture) {
        return nullptr;
    }
    if (!CopySurfacePixels(lpTexture, 0, 0, lpSurface, x0, y0, w, h)) {
        lpTexture->Release();
        return nullptr;
    }
    if (bKey) {
        SetColorKeyGreen(lpTexture);
    }
    return lpTexture;
}

IDirectDrawSurface7* CreateTextureFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc)
{
    IDirectDrawSurface7* lpSurface = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpSurface) {
        return nullptr;
    }
    IDirectDrawSurface7* lpTexture = CreateTextureFromSurface(lpDevice, lpSurface, prc, 0);
    lpSurface->Release();
    return lpTexture;
}

void MakeQuadVertices(float fWidth, float fHeight, D3DLVERTEX* pVertices)
{
    int tw = 1, th = 1;
    GetTextureSize((int)fWidth, (int)fHeight, &tw, &th);
    const float x = fWidth / 2.0f, y = fHeight / 2.0f;
    const float u = fWidth / (float)tw, v = fHeight / (float)th;
    const float pos[4][4] = {{-x, y, 0.0f, 0.0f}, {x, y, u, 0.0f}, {x, -y, u, v}, {-x, -y, 0.0f, v}};
    for (int i = 0; i < 4; i++) {
        D3DLVERTEX& vtx = pVertices[i];
        vtx.x = pos[i][0];
        vtx.y = pos[i][1];
        vtx.z = 0.0f;
        vtx.dwReserved = 0;
        vtx.color = 0xFFFFFFFF;
        vtx.specular = 0;
        vtx.tu = pos[i][2];
        vtx.tv = pos[i][3];
    }
}

HRESULT ProjectPoint(D3DVECTOR* pOut, const D3DVECTOR* pPoint, const D3DMATRIX* pMatrix)
{
    const D3DMATRIX& m = *pMatrix;
    const float x = pPoint->x, y = pPoint->y, z = pPoint->z;
    const float w = x * m._14 + y * m._24 + z * m._34 + m._44;
    if (std::fabs(w) < 0.01f) {
        return E_INVALIDARG;
    }
    pOut->x = (x * m._11 + y * m._21 + z * m._31 + m._41) / w;
    pOut->y = (x * m._12 + y * m._22 + z * m._32 + m._42) / w;
    pOut->z = (x * m._13 + y * m._23 + z * m._33 + m._43) / w;
    return S_OK;
}
