#include "bullet/EBNormal.h"

#include <algorithm>
#include <cmath>

#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "stage/Stage.h"

namespace {

const char kIndexFile[] = "SystemIndex.txt";
const char* const kRegions[EBNORMAL_GRAPHICS] = {"EnemyShot1.bmp", "EnemyShot2.bmp"};
// The picture is drawn this far above the shot's row.
const int kDrawLift = 16;

CDSurface s_Pictures[EBNORMAL_GRAPHICS];
float s_fDefaultSpeed = 6.5f;
float s_fHiSpeed = 15.0f;

} // namespace

// ---- Normal shot ----------------------------------------------------------------------------------

int CEBNormal::LoadShared(IDirect3DDevice7* lpDevice)
{
    s_fDefaultSpeed = GetParamFloat("ENEMY_BULLET_SPEED", 0, 6.5f);
    s_fHiSpeed = GetParamFloat("ENEMY_BULLET_SPEED", 1, 15.0f);
    for (int i = 0; i < EBNORMAL_GRAPHICS; i++) {
        if (!s_Pictures[i].LoadFromIndex(lpDevice, IMGKEY{kIndexFile, kRegions[i]}, nullptr, MEM_VIDEO))
            return 0;
        s_Pictures[i].SetColorKeyGreen();
    }
    return 1;
}

void CEBNormal::ReleaseShared()
{
    for (CDSurface& picture : s_Pictures)
        picture.Release();
}

float CEBNormal::GetDefaultSpeed()
{
    return s_fDefaultSpeed;
}

float CEBNormal::GetHiSpeed()
{
    return s_fHiSpeed;
}

CEBNormal::CEBNormal()
{
    m_Speed = ACCINFO{};
    m_Speed.fValue = s_fDefaultSpeed;
    m_Speed.fStart = s_fDefaultSpeed;
    m_Speed.nClamp = 0;
    m_bIdle = 1;
}

CEBNormal::~CEBNormal()
{
    Stop();
    Release();
}

int CEBNormal::SetSpeed(float fSpeed)
{
    m_Speed.Set(fSpeed, 0.0f, 0.0f, 0.0f, 0);
    return 0;
}

int CEBNormal::SetGraphic(IDirect3DDevice7*, int nGraphic)
{
    m_nGraphic = nGraphic;
    const int n = std::clamp(nGraphic, 0, EBNORMAL_GRAPHICS - 1);
    s_Pictures[n].GetSize(&m_nWidth, &m_nHeight);
    m_Explosion.m_nStyle = EXPBOMB_STYLE_SHOT;
    return 1;
}

int CEBNormal::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBNormal::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    if (m_bIdle || !pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
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
    CCrushableSet::Unregister(this);
    m_Explosion.Explode(m_vPos.x, m_vPos.y, 0);
    return nConfirm;
}

void CEBNormal::GetQuad(D3DVECTOR* pOut)
{
    if (m_nGraphic == 0) {
        MakeTruncQuad(pOut, m_vPos.x, m_vPos.y, (float)(m_nWidth / 2), (float)(m_nHeight / 2));
        return;
    }
    MakeTruncQuad(pOut, m_vPos.x, m_vPos.y, (float)m_nWidth * (2.0f / 3.0f), (float)m_nHeight * (2.0f / 3.0f));
}

void CEBNormal::GetHitQuad(D3DVECTOR* pOut)
{
    CEBulletPart::GetHitQuad(pOut);
    SweepQuad(pOut, m_vPrev.x, -m_vPrev.y);
}

int CEBNormal::Fire()
{
    m_nHitPoints = EBNORMAL_HIT_POINTS;
    m_vPrev = m_vPos;
    m_Explosion.Release();
    return JoinRegistries(this);
}

void CEBNormal::Stop()
{
    LeaveRegistries(this);
}

void CEBNormal::Move()
{
    m_vPrev = m_vPos;
    if (m_bIdle) {
        Stop();
        return;
    }
    if (m_nHitPoints < 1 && !IsExploding()) {
        Stop();
        return;
    }
    const float w = (float)m_nWidth, h = (float)m_nHeight;
    const float fRow = -m_vPos.y;
    if (!(-w <= m_vPos.x && m_vPos.x <= 640.0f + w && -h <= fRow && fRow <= 480.0f + h)) {
        Stop();
        return;
    }
    if (IsExploding())
        return;
    m_vPos.x += std::cos(m_fAngle) * m_Speed.fValue;
    m_vPos.y += std::sin(m_fAngle) * m_Speed.fValue;
    m_Speed.Step();
}

int CEBNormal::Render2D(IDirectDrawSurface7* lpSurface)
{
    if (m_bIdle || IsExploding() || m_nHitPoints < 1)
        return 1;
    IDirectDrawSurface7* lpPicture = s_Pictures[std::clamp(m_nGraphic, 0, EBNORMAL_GRAPHICS - 1)].GetSurface();
    if (!lpSurface || !lpPicture)
        return 0;
    const int nLeft = (int)(m_vPos.x - (float)m_nWidth * 0.5f);
    const int nTop = -kDrawLift - (int)(m_vPos.y + (float)m_nHeight * 0.5f);
    RECT rcSrc, rcDest;
    GetClippedBltRects(nLeft, nTop, m_nWidth, m_nHeight, &rcSrc, &rcDest);
    return SUCCEEDED(lpSurface->Blt(&rcDest, lpPicture, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr)) ? 1 : 0;
}

// ---- Hi-speed shot --------------------------------------------------------------------------------

CEBHiSpeed::CEBHiSpeed()
{
    for (CEBNormal& shot : m_Shots)
        shot.SetSpeed(CEBNormal::GetHiSpeed());
    m_bIdle = 1;
}

CEBHiSpeed::~CEBHiSpeed()
{
    Release();
}

BOOL CEBHiSpeed::IsIdle()
{
    switch (m_nMode) {
    case MODE_SINGLE:
        return m_Shots[0].IsIdle();
    case MODE_PAIR:
        return m_Shots[0].IsIdle() && m_Shots[1].IsIdle();
    default:
        return 1;
    }
}

int CEBHiSpeed::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBHiSpeed::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    switch (m_nMode) {
    case MODE_SINGLE:
        return m_Shots[0].HitByPlayerBullet(pStage, pBullet);
    case MODE_PAIR: {
        const int n0 = m_Shots[0].HitByPlayerBullet(pStage, pBullet);
        const int n1 = m_Shots[1].HitByPlayerBullet(pStage, pBullet);
        return n0 || n1 ? 1 : 0;
    }
    default:
        return 0;
    }
}

int CEBHiSpeed::Fire()
{
    switch (m_nMode) {
    case MODE_SINGLE:
        m_Shots[0].SetPosition(m_vShotPos);
        return m_Shots[0].Fire();
    case MODE_PAIR: {
        const float s = std::sin(m_fAngle), c = std::cos(m_fAngle);
        const D3DVECTOR& p = m_vShotPos;
        m_Shots[0].SetPosition(D3DVECTOR{{p.x + -10.0f * s}, {p.y + 10.0f * c}, {p.z}});
        m_Shots[1].SetPosition(D3DVECTOR{{p.x + 10.0f * s}, {p.y + -10.0f * c}, {p.z}});
        m_Shots[0].Fire();
        return m_Shots[1].Fire();
    }
    default:
        return m_nMode;
    }
}

void CEBHiSpeed::Stop()
{
    for (CEBNormal& shot : m_Shots)
        shot.Stop();
}

void CEBHiSpeed::Move()
{
    for (CEBNormal& shot : m_Shots)
        shot.Move();
}

int CEBHiSpeed::Render3D(IDirect3DDevice7* lpDevice)
{
    for (CEBNormal& shot : m_Shots)
        shot.Render3D(lpDevice);
    return 1;
}

void CEBHiSpeed::SetSpeed(float fSpeed)
{
    for (CEBNormal& shot : m_Shots)
        shot.SetSpeed(fSpeed);
}

void CEBHiSpeed::SetAngle(float fAngle)
{
    for (CEBNormal& shot : m_Shots)
        shot.SetAngle(fAngle);
    m_fAngle = fAngle;
}

int CEBHiSpeed::Setup(IDirect3DDevice7* lpDevice, int nMode)
{
    for (CEBNormal& shot : m_Shots) {
        if (!shot.SetGraphic(lpDevice, 1))
            return 0;
    }
    m_nMode = nMode;
    return 1;
}

void CEBHiSpeed::Release()
{
    for (CEBNormal& shot : m_Shots)
        shot.Release();
}
