#include "bullet/EBFamiliar.h"

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"
#include "engine/SurfaceUtil.h"
#include "stage/LabelEffects.h"
#include "stage/Stage.h"

namespace {

const float kEntrySpeed = 5.0f;
const float kEntryBrake = -0.125f;
const int kKickEnd = 5;
const int kFireFrame = 7;
const float kKick = 5.0f;
const float kMissileSpeed = 19.0f;
const float kGunDrop = 20.0f;
const float kTargetLift = 16.0f;
const float kDrawLowering = 16.0f;
const float kBoxLowering = 32.0f;
const float kItemDrop = 30.0f;
const DWORD kExplosionGap = 125;

} // namespace

CEBFamiliar::CEBFamiliar()
{
    m_Entry = ACCINFO{};
    m_Flash.Stop();
    m_vPos = D3DVECTOR{};
    m_bIdle = 1;
}

CEBFamiliar::~CEBFamiliar()
{
    Stop();
    CScrollableSet::Unregister(this);
}

int CEBFamiliar::Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture, CDSurfaceEx* pMissilePair)
{
    if (!lpPicture || !m_Picture.Create(lpDevice, lpPicture, nullptr, MEM_VIDEO))
        return 0;
    GetSurfaceSize(lpPicture, &m_nWidth, &m_nHeight);
    for (CEBMissile& missile : m_Missiles) {
        missile.SetSurfaces(lpDevice, pMissilePair);
        missile.m_bSmallBox = 1;
    }
    for (CExpBombScrollRef& e : m_Explosions)
        e.m_nStyle = 2;
    m_Item.Load(lpDevice);
    m_Item.SetKind(EBFAMILIAR_ITEM_KIND);
    return 1;
}

void CEBFamiliar::Launch(float y)
{
    Stop();
    m_vPos = D3DVECTOR{{640.0f + (float)(m_nWidth / 2)}, {y}, {0.0f}};
    m_fKickHeading = 3.14159f;
    m_fKickDistance = 0.0f;
    m_Flash.Stop();
    m_Entry.Set(kEntrySpeed, kEntryBrake, 0.0f, kEntrySpeed, 1);
    m_nMode = MODE_ENTERING;
    if (JoinRegistries(this) < 0)
        Stop();
}

void CEBFamiliar::Retreat()
{
    if (m_bIdle)
        return;
    m_nMissile = 0;
    m_nFrameCount = 0;
    m_nMode = MODE_FIRING;
}

void CEBFamiliar::SetTimer(int nValue, int nPeriod)
{
    m_nTimerValue = nValue;
    m_nTimerPeriod = nPeriod;
    m_dwTimerStart = CAppTimer::GetElapsed(0);
    m_bTimerBusy = 0;
}

void CEBFamiliar::Stop()
{
    for (CExpBombScrollRef& e : m_Explosions)
        e.Release();
    Finish();
}

void CEBFamiliar::Finish()
{
    for (CEBMissile& missile : m_Missiles)
        missile.Stop();
    LeaveRegistries(this);
}

void CEBFamiliar::FireMissile()
{
    const float fGunX = m_vPos.x, fGunRow = m_vPos.y + kGunDrop + m_fViewOffset;
    const float dx = m_vTarget.x - fGunX, dy = (m_vTarget.y - kTargetLift) - fGunRow;
    ACCINFO speed{};
    speed.Set(kMissileSpeed, 0.0f, 0.0f, 0.0f, 1);
    CEBMissile& missile = m_Missiles[m_nMissile];
    missile.SetAngleSpeed(std::atan2(dy, dx), speed);
    missile.SetPosition(D3DVECTOR{{m_vPos.x}, {-(m_vPos.y + kGunDrop)}, {0.0f}});
    missile.SetScrollSpeed(m_fViewOffset);
    missile.Fire();
    m_fKickHeading = std::atan2(-dy, -dx);
    m_fKickDistance = kKick;
    m_nMissile++;
    m_nFrameCount = 0;
}

void CEBFamiliar::Move()
{
    if (m_bIdle)
        return;
    m_Flash.Update();
    switch (m_nMode) {
    case MODE_ENTERING:
        if (!m_Entry.nReached) {
            m_vPos.x -= m_Entry.fValue;
            m_Entry.Step();
        }
        break;
    case MODE_FIRING:
        m_nFrameCount++;
        if (m_nFrameCount == kKickEnd)
            m_fKickDistance = 0.0f;
        if (m_nFrameCount == kFireFrame && m_nMissile < EBFAMILIAR_MISSILES)
            FireMissile();
        break;
    case MODE_EXPLODING:
        if (IsExplosionDone())
            Finish();
        break;
    default:
        break;
    }
}

void CEBFamiliar::Explode()
{
    if (m_bIdle)
        return;
    const float fBase = m_fViewOffset - kDrawLowering - m_vPos.y;
    for (int i = 0; i < EBFAMILIAR_EXPLOSIONS; i++)
        m_Explosions[i].Explode(m_vPos.x + g_ExpBombOffset[i].x, fBase - g_ExpBombOffset[i].y, kExplosionGap * (DWORD)i);
    m_Item.SetPosition(D3DVECTOR{{m_vPos.x}, {m_vPos.y + kItemDrop}, {0.0f}});
    m_Item.Start();
    m_nMode = MODE_EXPLODING;
}

// The fifth explosion goes off last: once it has, all have. Without a pool element it counts as
// done, so a full pool never keeps the familiar waiting.
BOOL CEBFamiliar::IsExplosionDone()
{
    return m_Explosions[EBFAMILIAR_EXPLOSIONS - 1].IsFinished();
}

void CEBFamiliar::SetPlayerScroll(int nScroll)
{
    for (CExpBombScrollRef& e : m_Explosions) {
        CExpBombScroll* p = e.Get();
        if (p)
            p->SetScrollPos((float)nScroll);
    }
}

int CEBFamiliar::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBFamiliar::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    if (m_bIdle || m_nMode == MODE_EXPLODING || !pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    const int nConfirm = pBullet->HitByEnemyBullet(pStage, this);
    if (!nConfirm)
        return 0;
    if (pStage)
        pStage->AddScore(10 * static_cast<IPlayerBullet*>(pBullet)->GetPower(), 0);
    m_Flash.Start();
    g_PCMManagerTask.Play(EBFAMILIAR_DAMAGE_WAVE);
    return nConfirm;
}

void CEBFamiliar::GetQuad(D3DVECTOR* pOut)
{
    MakeTruncRowQuad(pOut, m_vPos.x, m_vPos.y + m_fViewOffset + kBoxLowering, (float)(m_nWidth / 2) * 0.5f,
                     (float)(m_nHeight / 2) * 0.5f);
}

void CEBFamiliar::GetHitQuad(D3DVECTOR* pOut)
{
    MakeTruncRowQuad(pOut, m_vPos.x, m_vPos.y + m_fViewOffset + kBoxLowering, 2.0f, 2.0f);
}

void CEBFamiliar::GetDrawPos(float* pX, float* pY) const
{
    *pX = m_vPos.x - (float)(m_nWidth / 2);
    *pY = m_vPos.y + m_fViewOffset + kDrawLowering - (float)(m_nHeight / 2);
}

int CEBFamiliar::Render2D(IDirectDrawSurface7* lpSurface)
{
    if (m_bIdle)
        return 1;
    float x, y;
    GetDrawPos(&x, &y);
    x += std::trunc(std::cos(m_fKickHeading) * m_fKickDistance);
    y += std::trunc(std::sin(m_fKickHeading) * m_fKickDistance);
    const BOOL bFlash = m_Flash.IsFlashing() && !CAppTimer::IsPaused(0);
    IDirectDrawSurface7* lpPicture = m_Picture.GetImage(bFlash ? CDSurfaceEx::IMAGE_FLASH : CDSurfaceEx::IMAGE_NORMAL);
    if (!lpSurface || !lpPicture)
        return 0;
    RECT rcSrc, rcDest;
    GetClippedBltRects((int)x, (int)y, m_nWidth, m_nHeight, &rcSrc, &rcDest);
    if (rcDest.right <= rcDest.left || rcDest.bottom <= rcDest.top)
        return 1;
    return SUCCEEDED(lpSurface->Blt(&rcDest, lpPicture, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr)) ? 1 : 0;
}
