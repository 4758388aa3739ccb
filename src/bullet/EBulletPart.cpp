#include "bullet/EBulletPart.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/PCMManagerTask.h"
#include "engine/ShowableSet.h"
#include "engine/Sprite.h"
#include "platform/d3d/D3DX.h"
#include "stage/CrushableSet.h"
#include "stage/Stage.h"

void MakeTruncQuad(D3DVECTOR* pOut, float x, float y, float fHw, float fHh)
{
    const float fLeft = std::trunc(x - fHw);
    const float fRight = std::trunc(x + fHw);
    const float fTop = std::trunc(-y - fHh);
    const float fBottom = std::trunc(fHh - y);
    pOut[0] = D3DVECTOR{{fLeft}, {fTop}, {0.0f}};
    pOut[1] = D3DVECTOR{{fRight}, {fTop}, {0.0f}};
    pOut[2] = D3DVECTOR{{fRight}, {fBottom}, {0.0f}};
    pOut[3] = D3DVECTOR{{fLeft}, {fBottom}, {0.0f}};
}

void MakeTruncRowQuad(D3DVECTOR* pOut, float x, float fRow, float fHw, float fHh)
{
    const float fLeft = std::trunc(x - fHw);
    const float fRight = std::trunc(x + fHw);
    const float fTop = std::trunc(fRow - fHh);
    const float fBottom = std::trunc(fRow + fHh);
    pOut[0] = D3DVECTOR{{fLeft}, {fTop}, {0.0f}};
    pOut[1] = D3DVECTOR{{fRight}, {fTop}, {0.0f}};
    pOut[2] = D3DVECTOR{{fRight}, {fBottom}, {0.0f}};
    pOut[3] = D3DVECTOR{{fLeft}, {fBottom}, {0.0f}};
}

void SweepQuad(D3DVECTOR* pQuad, float x, float fRow)
{
    if (x < pQuad[0].x)
        pQuad[0].x = pQuad[3].x = x;
    else if (x > pQuad[1].x)
        pQuad[1].x = pQuad[2].x = x;
    if (fRow < pQuad[0].y)
        pQuad[0].y = pQuad[1].y = fRow;
    else if (fRow > pQuad[2].y)
        pQuad[2].y = pQuad[3].y = fRow;
}

void LowerQuad(D3DVECTOR* pQuad, float dy)
{
    for (int i = 0; i < 4; i++)
        pQuad[i].y += dy;
}

CELLMASK* GetQuadCellMask(CELLMASK* pOut, const D3DVECTOR* pQuad)
{
    RECT rc;
    GetQuadRect(&rc, pQuad);
    GetRectCellMask(pOut, rc);
    return pOut;
}

void CEBulletPart::GetQuad(D3DVECTOR* pOut)
{
    MakeTruncQuad(pOut, m_vPos.x, m_vPos.y, (float)(m_nWidth / 2), (float)(m_nHeight / 2));
}

CELLMASK* CEBulletPart::GetRect(CELLMASK* pOut)
{
    D3DVECTOR quad[4];
    GetQuad(quad);
    return GetQuadCellMask(pOut, quad);
}

void CEBulletPart::GetHitQuad(D3DVECTOR* pOut)
{
    MakeTruncQuad(pOut, m_vPos.x, m_vPos.y, (float)(m_nWidth / 2) * 0.5f, (float)(m_nHeight / 2) * 0.5f);
}

CELLMASK* CEBulletPart::GetHitRect(CELLMASK* pOut)
{
    D3DVECTOR quad[4];
    GetHitQuad(quad);
    return GetQuadCellMask(pOut, quad);
}

int CEBulletPart::JoinRegistries(CScrollable* pScroll)
{
    CCrushableSet::Register(this);
    if (pScroll)
        CScrollableSet::Register(pScroll);
    m_bIdle = 0;
    const int nSlot = CEBulletPart::Fire();
    if (nSlot < 0)
        LeaveRegistries(pScroll);
    return nSlot;
}

void CEBulletPart::LeaveRegistries(CScrollable* pScroll)
{
    m_bIdle = 1;
    CCrushableSet::Unregister(this);
    if (pScroll)
        CScrollableSet::Unregister(pScroll);
    CEBulletPart::Stop();
}

void MoveEnemyBullets()
{
    for (IEBulletRender* p : IEBulletRender::GetRegistry())
        p->Move();
}

int DrawEnemyBullets2D(IDirectDrawSurface7* lpSurface)
{
    for (IEBulletRender* p : IEBulletRender::GetRegistry())
        p->Render2D(lpSurface);
    return 1;
}

int DrawEnemyBullets3D(IDirect3DDevice7* lpDevice)
{
    for (IEBulletRender* p : IEBulletRender::GetRegistry())
        p->Render3D(lpDevice);
    return 1;
}

int TakePlayerShot(CStage* pStage, CEBulletPart* pSelf, CCrushable* pBullet, int* pnHitPoints)
{
    if (!pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    const int nConfirm = pBullet->HitByEnemyBullet(pStage, pSelf);
    if (!nConfirm)
        return 0;
    const int nDamage = std::max(static_cast<IPlayerBullet*>(pBullet)->GetPower(), 0);
    const long long nPoints = 10LL * std::min(nDamage, std::max(*pnHitPoints, 0));
    if (pStage)
        pStage->AddScore((int)std::min<long long>(nPoints, INT_MAX), 0);
    *pnHitPoints -= nDamage;
    pSelf->m_Flash.Start();
    g_PCMManagerTask.Play(EBULLET_DAMAGE_WAVE);
    return nConfirm;
}

void DrawSpriteAt(IDirect3DDevice7* lpDevice, CSprite& sprite, float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    DWORD dwZ = 0;
    lpDevice->GetRenderState(D3DRENDERSTATE_ZENABLE, &dwZ);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    sprite.Draw(lpDevice, &m);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, dwZ);
}
