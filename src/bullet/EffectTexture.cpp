#include "bullet/EffectTexture.h"

#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"

IDirectDrawSurface7* CreateCellTexture(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSheet, int x, int y, int w,
                                       int h)
{
    int tw = 1, th = 1;
    GetTextureSize(w, h, &tw, &th);
    IDirectDrawSurface7* lpPlane = CreateDevicePlaneSurface(lpDevice, tw, th, MEM_SYSTEM);
    if (!lpPlane)
        return nullptr;
    FillSurfaceColor(lpPlane, 0.0f, 0.0f, 0.0f, nullptr);
    RECT rcSrc = {x, y, x + w, y + h};
    RECT rcDst = {(tw - w) / 2, (th - h) / 2, (tw - w) / 2 + w, (th - h) / 2 + h};
    IDirectDrawSurface7* lpTexture = nullptr;
    if (SUCCEEDED(lpPlane->Blt(&rcDst, lpSheet, &rcSrc, DDBLT_WAIT, nullptr)))
        lpTexture = CreateTextureFromSurface(lpDevice, lpPlane, nullptr, 0);
    lpPlane->Release();
    return lpTexture;
}

int LoadCellTextures(IDirect3DDevice7* lpDevice, const char* pszPath, int w, int h, int nCols, int nRows,
                     IDirectDrawSurface7** ppOut)
{
    IDirectDrawSurface7* lpSheet = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpSheet)
        return 0;
    for (int r = 0; r < nRows; r++) {
        for (int c = 0; c < nCols; c++)
            ppOut[r * nCols + c] = CreateCellTexture(lpDevice, lpSheet, w * c, h * r, w, h);
    }
    lpSheet->Release();
    return 1;
}

void ReleaseTextures(IDirectDrawSurface7** ppTextures, int nCount)
{
    for (int i = 0; i < nCount; i++)
        SafeRelease(ppTextures[i]);
}

void MakeLitQuad(D3DLVERTEX* pOut, float fHalf, D3DCOLOR dwColor)
{
    const float pos[4][4] = {
        {-fHalf, fHalf, 0.0f, 0.0f}, {fHalf, fHalf, 1.0f, 0.0f}, {fHalf, -fHalf, 1.0f, 1.0f}, {-fHalf, -fHalf, 0.0f, 1.0f}};
    for (int i = 0; i < 4; i++) {
        D3DLVERTEX& v = pOut[i];
        v.x = pos[i][0];
        v.y = pos[i][1];
        v.z = 0.0f;
        v.dwReserved = 0;
        v.color = dwColor;
        v.specular = 0;
        v.tu = pos[i][2];
        v.tv = pos[i][3];
    }
}

void SetQuadColor(D3DLVERTEX* pQuad, D3DCOLOR dwColor)
{
    for (int i = 0; i < 4; i++)
        pQuad[i].color = dwColor;
}

D3DCOLOR GreyOf(float fBrightness)
{
    const float b = fBrightness < 0.0f ? 0.0f : (fBrightness > 1.0f ? 1.0f : fBrightness);
    const DWORD c = (DWORD)(b * 255.0f);
    return 0xFF000000u | (c << 16) | (c << 8) | c;
}

int DrawLitQuad(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTexture, const D3DLVERTEX* pQuad,
                const D3DMATRIX& mLocal, const D3DMATRIX& mSaved)
{
    if (!lpTexture)
        return 1;
    D3DXMATRIX mWorld;
    D3DXMatrixMultiply(&mWorld, &mLocal, &mSaved);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->SetTexture(0, lpTexture);
    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, const_cast<D3DLVERTEX*>(pQuad), 4, 0);
    return SUCCEEDED(hr) ? 1 : 0;
}
