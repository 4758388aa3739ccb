#include "player/WeaponDraw.h"

#include <algorithm>
#include <cmath>

#include "platform/d3d/D3DX.h"
#include "stage/Neighbours.h"
#include "stage/ObjectLabel.h"

int DrawWeaponFan(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTexture, const D3DLVERTEX* pQuad,
                  const D3DMATRIX& mLocal)
{
    if (!lpDevice || !lpTexture)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    D3DXMATRIX mWorld;
    D3DXMatrixMultiply(&mWorld, &mLocal, &mSaved);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->SetTexture(0, lpTexture);
    const HRESULT hr =
        lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, const_cast<D3DLVERTEX*>(pQuad), 4, 0);
    lpDevice->SetTexture(0, nullptr);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return hr == D3D_OK ? 1 : 0;
}

D3DMATRIX ScaleRotateMove(float sx, float sy, float fAngle, float x, float y, float z)
{
    D3DXMATRIX mScale, mRot, mMove, mTemp, mOut;
    D3DXMatrixScaling(&mScale, sx, sy, 1.0f);
    D3DXMatrixRotationZ(&mRot, fAngle);
    D3DXMatrixTranslation(&mMove, x, y, z);
    D3DXMatrixMultiply(&mTemp, &mScale, &mRot);
    D3DXMatrixMultiply(&mOut, &mTemp, &mMove);
    return mOut;
}

void SetFanColor(D3DLVERTEX* pQuad, D3DCOLOR dwColor)
{
    for (int i = 0; i < 4; i++)
        pQuad[i].color = dwColor;
}

D3DCOLOR ColorOf(float r, float g, float b)
{
    auto channel = [](float f) { return (DWORD)(std::clamp(f, 0.0f, 1.0f) * 255.0f); };
    return RGBA_MAKE(channel(r), channel(g), channel(b), 0xFF);
}

CELLMASK BoxCellMask(float x0, float y0, float x1, float y1)
{
    const RECT rc = {(LONG)x0, (LONG)y0, (LONG)x1, (LONG)y1};
    CELLMASK mask;
    GetRectCellMask(&mask, rc);
    return mask;
}

int GetWeaponTarget(CCrushable* pOther, int nFamily, WEAPONTARGET* pOut)
{
    if (!pOther)
        return 0;
    if (nFamily == CRUSH_LABEL) {
        CObjectLabel* pLabel = pOther->GetObjectLabel();
        if (!pLabel)
            return 0;
        HITQUAD quad;
        pLabel->GetHitQuad(&quad);
        std::copy(quad.v, quad.v + 4, pOut->quad);
        pLabel->GetHitCellMask(&pOut->mask);
        GetQuadRect(&pOut->rc, pOut->quad);
        return 1;
    }
    if (nFamily == CRUSH_ENEMY_PART) {
        IEnemyPart* pPart = pOther->GetEnemyPart();
        if (!pPart)
            return 0;
        pPart->GetHitQuad(pOut->quad);
    } else if (nFamily == CRUSH_ENEMY_BULLET && pOther->m_nCategory == CRUSH_ENEMY_BULLET) {
        static_cast<IEnemyBullet*>(pOther)->GetHitQuad(pOut->quad);
    } else {
        return 0;
    }
    GetQuadRect(&pOut->rc, pOut->quad);
    GetRectCellMask(&pOut->mask, pOut->rc);
    return 1;
}
