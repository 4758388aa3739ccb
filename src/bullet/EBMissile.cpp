#include "bullet/EBMissile.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/SurfaceUtil.h"
#include "stage/Stage.h"

namespace {

const char kIndexFile[] = "SystemIndex.txt";
const float kHitLowering = 16.0f;

ACCINFO MakeRecord(float fValue, float fStep, float fMin, float fMax)
{
    ACCINFO a{};
    a.Set(fValue, fStep, fMin, fMax, 1);
    return a;
}

} // namespace

CDSurfaceEx& CEBMissile::GetSharedPicture()
{
    static CDSurfaceEx s_Picture;
    return s_Picture;
}

int CEBMissile::LoadShared(IDirect3DDevice7* lpDevice)
{
    return GetSharedPicture().LoadFromIndex(lpDevice, IMGKEY{kIndexFile, EBMISSILE_REGION}, nullptr, MEM_VIDEO);
}

void CEBMissile::ReleaseShared()
{
    GetSharedPicture().Release();
}

CEBMissile::CEBMissile()
{
    m_Horz = MakeRecord(5.0f, -0.2f, -100.0f, 5.0f);
    m_Vert = MakeRecord(5.0f, -0.2f, 0.0f, 5.0f);
    m_bIdle = 1;
}

CEBMissile::~CEBMissile()
{
    // The handle's own destructor hands a held explosion back to the pool, still to go off.
    Release();
    Stop();
}

int CEBMissile::Load(IDirect3DDevice7*)
{
    m_nExplosionStyle = m_Explosion.m_nStyle = 2;
    CDSurfaceEx& picture = GetSharedPicture();
    if (!picture.GetSurface())
        return 0;
    picture.GetSize(&m_nWidth, &m_nHeight);
    picture.SetColorKeyGreen();
    return 1;
}

int CEBMissile::SetSurfaces(IDirect3DDevice7*, CDSurfaceEx* pPair)
{
    m_nExplosionStyle = m_Explosion.m_nStyle = 2;
    m_pPair = pPair;
    m_bExternal = 1;
    if (!pPair)
        return 0;
    for (int i = 1; i >= 0; i--) {
        if (pPair[i].GetSurface()) {
            pPair[i].GetSize(&m_nWidth, &m_nHeight);
            pPair[i].SetColorKeyGreen();
        }
    }
    return pPair[0].GetSurface() && pPair[1].GetSurface() ? 1 : 0;
}

void CEBMissile::Release()
{
    m_bExternal = 0;
    m_pPair = nullptr;
}

void CEBMissile::SetAccInfo(const ACCINFO& horz, const ACCINFO& vert)
{
    m_Horz = horz;
    m_Vert = vert;
}

void CEBMissile::SetAngleSpeed(float fAngle, const ACCINFO& speed)
{
    m_Horz = ACCINFO{};
    m_Vert = ACCINFO{};
    m_Horz.fValue = m_Horz.fStart = std::cos(fAngle) * speed.fValue;
    m_Vert.fValue = m_Vert.fStart = std::sin(fAngle) * speed.fValue;
    m_Horz.fStep = m_Vert.fStep = speed.fStep;
}

int CEBMissile::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBMissile::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    // Brought down already: a second bullet in the same pass finds nothing left to score.
    if (m_bIdle || m_nHitPoints < 1 || !pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    const int nConfirm = pBullet->HitByEnemyBullet(pStage, this);
    if (!nConfirm)
        return 0;
    const int nDamage = static_cast<IPlayerBullet*>(pBullet)->GetPower();
    if (pStage)
        pStage->AddScore(10 * std::min(nDamage, m_nHitPoints), 0);
    m_nHitPoints -= nDamage;
    if (m_nHitPoints > 0)
        return nConfirm;
    if (pStage)
        pStage->AddScore(EBMISSILE_KILL_BONUS, 0);
    CCrushableSet::Unregister(this);
    m_Explosion.Explode(m_vPos.x, m_vPos.y, 0);
    return nConfirm;
}

void CEBMissile::GetQuad(D3DVECTOR* pOut)
{
    const float f = m_bSmallBox ? 0.5f : 0.8f;
    MakeTruncRowQuad(pOut, m_vPos.x, -m_vPos.y + m_fViewOffset + kHitLowering, (float)m_nWidth * f,
                     (float)m_nHeight * f);
}

void CEBMissile::GetHitQuad(D3DVECTOR* pOut)
{
    if (m_bSmallBox)
        MakeTruncQuad(pOut, m_vPos.x, m_vPos.y, (float)(m_nWidth / 2) * 0.5f, (float)(m_nHeight / 2) * 0.5f);
    else
        CEBulletPart::GetHitQuad(pOut);
    SweepQuad(pOut, m_vPrev.x, -m_vPrev.y);
    LowerQuad(pOut, m_fViewOffset + kHitLowering);
}

int CEBMissile::Fire()
{
    m_nHitPoints = 1;
    if (m_bExternal) {
        m_nFrame = 0;
        m_nFramePeriod = EBMISSILE_FRAME_MS;
        m_dwFrameStart = CAppTimer::GetElapsed(0);
    }
    m_vPrev = m_vPos;
    m_Explosion.Release();
    return JoinRegistries(this);
}

void CEBMissile::Stop()
{
    LeaveRegistries(this);
}

void CEBMissile::Move()
{
    if (m_bIdle || (m_nHitPoints < 1 && !IsExploding())) {
        Stop();
        return;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bExternal && !m_bBusy && dwNow - m_dwFrameStart > (DWORD)m_nFramePeriod) {
        m_nFrame ^= 1;
        m_dwFrameStart = dwNow;
    }
    const float w = (float)m_nWidth, h = (float)m_nHeight;
    const float fRow = -m_vPos.y;
    if (!(-w <= m_vPos.x && m_vPos.x <= 640.0f + w && -h <= fRow && fRow <= 480.0f + h)) {
        Stop();
        return;
    }
    if (IsExploding())
        return;
    m_vPrev = m_vPos;
    m_vPos.x += m_Horz.fValue;
    m_vPos.y -= m_Vert.fValue;
    m_vPos.z = 0.0f;
    m_Horz.Step();
    m_Vert.Step();
}

int CEBMissile::Render2D(IDirectDrawSurface7* lpSurface)
{
    if (m_bIdle || IsExploding() || m_nHitPoints < 1)
        return 1;
    const CDSurfaceEx& picture = m_bExternal && m_pPair ? m_pPair[m_nFrame & 1] : GetSharedPicture();
    IDirectDrawSurface7* lpPicture =
        picture.GetImage(m_nFacing < 1 ? CDSurfaceEx::IMAGE_MIRROR : CDSurfaceEx::IMAGE_NORMAL);
    if (!lpSurface || !lpPicture)
        return 0;
    const int nLeft = (int)(m_vPos.x - (float)m_nWidth * 0.5f);
    const int nTop = (int)(m_fViewOffset - std::trunc(m_vPos.y + (float)m_nHeight * 0.5f));
    RECT rcSrc, rcDest;
    GetClippedBltRects(nLeft, nTop, m_nWidth, m_nHeight, &rcSrc, &rcDest);
    if (rcDest.right <= rcDest.left || rcDest.bottom <= rcDest.top)
        return 1;
    return SUCCEEDED(lpSurface->Blt(&rcDest, lpPicture, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr)) ? 1 : 0;
}
