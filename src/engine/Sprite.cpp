#include "engine/Sprite.h"

#include <algorithm>
#include <cstring>

#include "engine/BmpLoader.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"

namespace {

int BytesOf(const DDPIXELFORMAT& pf)
{
    return pf.dwRGBBitCount == 16 ? 2 : (pf.dwRGBBitCount == 32 ? 4 : 0);
}

// The lowest bit of the blue channel (of red when there is no blue): the smallest visible change.
DWORD LowestColorBit(const DDPIXELFORMAT& pf)
{
    const DWORD dwMask = pf.dwBBitMask ? pf.dwBBitMask : pf.dwRBitMask;
    return dwMask & (~dwMask + 1);
}

// Copies the picture into the texture and decides each texel's alpha from the source pixel: the key
// (compared on the source's colour bits, before any conversion) gives alpha 0, anything else full
// alpha. An opaque pixel whose colour narrows onto the texture key (a near-green in a format with
// fewer green bits) is moved off it by its lowest blue bit, or the colour-key test would drop it.
// Texels outside the picture stay transparent black.
bool CopyWithAlpha(IDirectDrawSurface7* lpTexture, IDirectDrawSurface7* lpSrc, int x0, int y0, int w, int h,
                   DWORD dwSrcKey, DWORD dwTexKey)
{
    DDSURFACEDESC2 src, tex;
    if (!LockSurfaceRetrying(lpSrc, &src)) {
        return false;
    }
    if (!LockSurfaceRetrying(lpTexture, &tex)) {
        lpSrc->Unlock(nullptr);
        return false;
    }
    const DDPIXELFORMAT& pfS = src.ddpfPixelFormat;
    const DDPIXELFORMAT& pfT = tex.ddpfPixelFormat;
    const int nSB = BytesOf(pfS), nTB = BytesOf(pfT);
    const DWORD dwColorBits = pfS.dwRBitMask | pfS.dwGBitMask | pfS.dwBBitMask;
    const DWORD dwTexColorBits = pfT.dwRBitMask | pfT.dwGBitMask | pfT.dwBBitMask;
    const DWORD dwNudge = LowestColorBit(pfT);
    const CPixelPacker unpackS(pfS), packT(pfT);
    const bool bInside = x0 >= 0 && y0 >= 0 && x0 + w <= (int)src.dwWidth && y0 + h <= (int)src.dwHeight;
    const bool bOk = nSB && nTB && bInside;
    if (bOk) {
        for (DWORD y = 0; y < tex.dwHeight; y++) {
            uint8_t* pT = (uint8_t*)tex.lpSurface + (size_t)y * tex.lPitch;
            const uint8_t* pS = (const uint8_t*)src.lpSurface + (size_t)(y0 + (int)y) * src.lPitch;
            for (DWORD x = 0; x < tex.dwWidth; x++) {
                DWORD dwTexel = 0;
                if ((int)x < w && (int)y < h) {
                    const DWORD dwRaw = ReadRowPixel(pS, x0 + (int)x, nSB);
                    dwTexel = packT.Pack(unpackS.Unpack(dwRaw));
                    if ((dwRaw & dwColorBits) != (dwSrcKey & dwColorBits)) {
                        if ((dwTexel & dwTexColorBits) == (dwTexKey & dwTexColorBits)) {
                            dwTexel ^= dwNudge;
                        }
                        dwTexel |= pfT.dwRGBAlphaBitMask;
                    }
                }
                WriteRowPixel(pT, (int)x, nTB, dwTexel);
            }
        }
    }
    lpTexture->Unlock(nullptr);
    lpSrc->Unlock(nullptr);
    return bOk;
}

} // namespace

CSprite::CSprite()
{
    std::memset(&m_ddsd, 0, sizeof(m_ddsd));
    std::memset(&m_Material, 0, sizeof(m_Material));
    m_Material.diffuse = D3DCOLORVALUE{{1.0f}, {1.0f}, {1.0f}, {1.0f}};
    std::memset(m_Vertices, 0, sizeof(m_Vertices));
}

CSprite::CSprite(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, const RECT* prc) : CSprite()
{
    Create(lpDevice, lpSurface, prc);
}

CSprite::CSprite(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc) : CSprite()
{
    CreateFromFile(lpDevice, pszPath, prc);
}

int CSprite::Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, const RECT* prc, int bKeyFlag,
                    DWORD dwKeyColor)
{
    Release();
    D3DDEVICEDESC7 desc = {};
    if (!lpDevice || !lpSurface || lpDevice->GetCaps(&desc) != D3D_OK) {
        return 0;
    }
    int w = 0, h = 0, x0 = 0, y0 = 0;
    GetPictureRect(lpSurface, prc, &x0, &y0, &w, &h);
    if (w <= 0 || h <= 0) {
        return 0;
    }
    int tw = w, th = h;
    const DWORD dwTexCaps = desc.dpcTriCaps.dwTextureCaps;
    if (dwTexCaps & D3DPTEXTURECAPS_POW2) {
        tw = NextPowerOfTwo(w);
        th = NextPowerOfTwo(h);
    }
    if (dwTexCaps & D3DPTEXTURECAPS_SQUAREONLY) {
        tw = th = std::max(tw, th);
    }
    m_lpTexture = CreateTextureSurface(lpDevice, tw, th);
    if (!m_lpTexture) {
        return 0;
    }
    DDPIXELFORMAT pfSrc = {};
    pfSrc.dwSize = sizeof(pfSrc);
    lpSurface->GetPixelFormat(&pfSrc);
    const DWORD dwSrcKey = bKeyFlag ? dwKeyColor : pfSrc.dwGBitMask;
    m_ddsd.dwSize = sizeof(m_ddsd);
    m_lpTexture->GetSurfaceDesc(&m_ddsd);
    const DWORD dwTexKey = PackColorToFormat(UnpackColorFromFormat(dwSrcKey, pfSrc), m_ddsd.ddpfPixelFormat);
    if (!CopyWithAlpha(m_lpTexture, lpSurface, x0, y0, w, h, dwSrcKey, dwTexKey)) {
        Release();
        return 0;
    }
    SetColorKey(dwTexKey);
    m_nWidth = w;
    m_nHeight = h;
    m_nTexWidth = tw;
    m_nTexHeight = th;
    BuildVertices(0.0f, 0.0f);
    return 1;
}

int CSprite::CreateFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc)
{
    IDirectDrawSurface7* lpSurface = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpSurface) {
        Release();
        return 0;
    }
    const int nResult = Create(lpDevice, lpSurface, prc, 0, 0);
    lpSurface->Release();
    return nResult;
}

int CSprite::CreateFromSurfaceKeyed(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, CSprite* pTarget)
{
    // Without a texture of its own there is no format to key on.
    if (!m_lpTexture || !pTarget || !lpSurface) {
        return 0;
    }
    IDirectDrawSurface7* lpFlash = CreateBlendedCopy(lpDevice, lpSurface);
    if (!lpFlash) {
        return 0;
    }
    const int nResult = pTarget->Create(lpDevice, lpFlash, nullptr, 1, GetFlashColorKey(lpFlash));
    lpFlash->Release();
    return nResult;
}

int CSprite::CreateFromFileKeyed(IDirect3DDevice7* lpDevice, const char* pszPath, CSprite* pTarget)
{
    return CreateFromFileRect(lpDevice, pszPath, nullptr, pTarget);
}

int CSprite::CreateFromFileRect(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, CSprite* pTarget)
{
    IDirectDrawSurface7* lpSurface = prc ? LoadBitmapRectSurface(lpDevice, pszPath, prc, MEM_SYSTEM)
                                         : LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpSurface) {
        return 0;
    }
    const int nResult = CreateFromSurfaceKeyed(lpDevice, lpSurface, pTarget);
    lpSurface->Release();
    return nResult;
}

int CSprite::Draw(IDirect3DDevice7* lpDevice, const D3DMATRIX* pMatrix, int, int)
{
    if (!lpDevice || !pMatrix) {
        return 1;
    }
    IDirectDrawSurface7* lpOldTexture = nullptr;
    D3DMATRIX mWorld, mNew;
    D3DMATERIAL7 mtrl;
    lpDevice->GetTexture(0, &lpOldTexture);
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->GetMaterial(&mtrl);
    lpDevice->SetTexture(0, m_lpTexture);
    D3DXMatrixMultiply(static_cast<D3DXMATRIX*>(&mNew), pMatrix, &mWorld);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mNew);
    lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, m_Vertices, 4, 0);
    lpDevice->SetTexture(0, lpOldTexture);
    SafeRelease(lpOldTexture);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->SetMaterial(&mtrl);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    return 1;
}

int CSprite::Release()
{
    SafeRelease(m_lpTexture);
    SafeRelease(m_lpSecond);
    return 1;
}

int CSprite::GetSize(int* pnWidth, int* pnHeight) const
{
    if (pnWidth) {
        *pnWidth = m_nWidth;
    }
    if (pnHeight) {
        *pnHeight = m_nHeight;
    }
    return 1;
}

void CSprite::BuildVertices(float fCenterX, float fCenterY)
{
    const float w = (float)m_nWidth, h = (float)m_nHeight;
    const float W = (float)(m_nTexWidth > 0 ? m_nTexWidth : 1);
    const float H = (float)(m_nTexHeight > 0 ? m_nTexHeight : 1);
    const float uL = 0.5f / W, uR = (w - 0.5f) / W, vT = 0.5f / H, vB = (h - 0.5f) / H;
    const float pos[4][4] = {{fCenterX - w / 2, fCenterY + h / 2, uL, vT},
                             {fCenterX + w / 2, fCenterY + h / 2, uR, vT},
                             {fCenterX + w / 2, fCenterY - h / 2, uR, vB},
                             {fCenterX - w / 2, fCenterY - h / 2, uL, vB}};
    for (int i = 0; i < 4; i++) {
        D3DVERTEX& v = m_Vertices[i];
        v.x = pos[i][0];
        v.y = pos[i][1];
        v.z = 0.0f;
        v.nx = 0.0f;
        v.ny = 0.0f;
        v.nz = -1.0f;
        v.tu = pos[i][2];
        v.tv = pos[i][3];
    }
}

void CSprite::ResetTexCoords()
{
    const float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int i = 0; i < 4; i++) {
        m_Vertices[i].tu = uv[i][0];
        m_Vertices[i].tv = uv[i][1];
    }
}

void CSprite::SetColorKey(DWORD dwColor)
{
    SetSourceColorKey(m_lpTexture, dwColor);
    m_dwColorKey = dwColor;
}

int CSprite::ClearPicture()
{
    if (m_lpTexture && m_nWidth > 0 && m_nHeight > 0) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = 0;
        RECT rc = {0, 0, m_nWidth, m_nHeight};
        m_lpTexture->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    return 1;
}

void CSprite::GetTextureSize(int* pnWidth, int* pnHeight) const
{
    if (pnWidth) {
        *pnWidth = m_nTexWidth;
    }
    if (pnHeight) {
        *pnHeight = m_nTexHeight;
    }
}

DWORD CSprite::GetFirstPixel()
{
    DDSURFACEDESC2 ddsd;
    if (!m_lpTexture || !LockSurfaceRetrying(m_lpTexture, &ddsd)) {
        return 0;
    }
    const DWORD dw = ReadRowPixel((const uint8_t*)ddsd.lpSurface, 0, BytesOf(ddsd.ddpfPixelFormat) == 2 ? 2 : 4);
    m_lpTexture->Unlock(nullptr);
    return dw;
}

int CSprite::Fill(DWORD dwColor)
{
    if (!m_lpTexture) {
        return 0;
    }
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = dwColor;
    return m_lpTexture->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK ? 1 : 0;
}
