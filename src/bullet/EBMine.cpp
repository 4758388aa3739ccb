#include "bullet/EBMine.h"

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"
#include "rvm/rvm_stl.h"
#include "stage/Stage.h"

namespace {

const float kSlideSpeed = 20.0f;
// Below half a pixel there is nothing to slide over: the braking would divide by (almost) zero.
const float kShortestSlide = 0.5f;
const float kSinking = -2.0f;
const float kLowestY = -520.0f;
const float kBoxLowering = 16.0f;
const float kShotSpread = 1.57f;
const float kFirstShot = 0.785f;
const float kPointLift = 30.0f;

} // namespace

CEBMine::CEBMine()
{
    m_Horz.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
    m_Vert.Set(kSinking, 0.0f, 0.0f, 0.0f, 0);
    m_vPos = D3DVECTOR{};
    m_Flash.Stop();
    m_bIdle = 1;
}

CEBMine::~CEBMine()
{
    Release();
    CScrollableSet::Unregister(this);
}

int CEBMine::Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture)
{
    if (!lpPicture || !m_Sprite.Create(lpDevice, lpPicture, nullptr))
        return 0;
    if (!m_Sprite.CreateFromSurfaceKeyed(lpDevice, lpPicture, &m_FlashSprite))
        return 0;
    return FinishLoad(lpDevice);
}

int CEBMine::LoadFile(IDirect3DDevice7* lpDevice, const char* pszDir)
{
    const rvm::string path = rvm::string(pszDir ? pszDir : "") + EBMINE_FILE;
    if (!m_Sprite.CreateFromFile(lpDevice, path.c_str(), nullptr))
        return 0;
    if (!m_Sprite.CreateFromFileKeyed(lpDevice, path.c_str(), &m_FlashSprite))
        return 0;
    return FinishLoad(lpDevice);
}

int CEBMine::FinishLoad(IDirect3DDevice7* lpDevice)
{
    m_Sprite.GetSize(&m_nWidth, &m_nHeight);
    m_Explosion.m_nStyle = 2;
    for (CEBHiSpeed& shot : m_Shots) {
        if (!shot.Setup(lpDevice, CEBHiSpeed::MODE_SINGLE))
            return 0;
    }
    // No warm-up draw of the sprites: their textures are ready once loaded, and a draw from the
    // loading thread would land in the frame the main thread is drawing.
    return 1;
}

void CEBMine::Release()
{
    Stop();
    for (CEBHiSpeed& shot : m_Shots)
        shot.Release();
    m_Sprite.Release();
    m_FlashSprite.Release();
}

// Uniform braking from 20 pixels an update to rest over the distance to the target x.
int CEBMine::Fire()
{
    Stop();
    const float d = std::fabs(m_vPos.x - m_fTargetX);
    if (d < kShortestSlide) {
        StartSway(m_fSwayStep);
    } else {
        const float a = kSlideSpeed * kSlideSpeed / (2.0f * d);
        if (m_vPos.x <= m_fTargetX)
            m_Horz.Set(kSlideSpeed, -a, 0.0f, kSlideSpeed, 1);
        else
            m_Horz.Set(-kSlideSpeed, a, -kSlideSpeed, 0.0f, 1);
        m_nState = STATE_SLIDE;
    }
    m_nHitPoints = EBMINE_HIT_POINTS;
    m_Flash.Stop();
    return JoinRegistries(this);
}

void CEBMine::Stop()
{
    LeaveRegistries(this);
}

void CEBMine::StartSway(float fStep)
{
    m_Horz.Set(0.0f, fStep, -m_fSwayLimit, m_fSwayLimit, 1);
    m_nState = STATE_SWAY;
}

void CEBMine::Move()
{
    if (m_bIdle)
        return;
    m_Flash.Update();
    if (m_nState == STATE_SLIDE) {
        // It sways off the way it was braking: a mine slid out leftwards first drifts right.
        if (m_Horz.nReached)
            StartSway(m_Horz.fStep < 0.0f ? -m_fSwayStep : m_fSwayStep);
    } else if (m_Horz.nReached) {
        m_Horz.fStep = -m_Horz.fStep;
        m_Horz.nReached = 0;
    }
    m_vPos.x += m_Horz.fValue;
    m_vPos.y += m_Vert.fValue;
    m_Horz.Step();
    m_Vert.Step();
    if (m_vPos.y < kLowestY || m_nHitPoints < 1)
        Stop();
}

void CEBMine::GetQuad(D3DVECTOR* pOut)
{
    MakeTruncRowQuad(pOut, m_vPos.x, -m_vPos.y + m_fViewOffset + kBoxLowering, (float)m_nWidth * 0.8f,
                     (float)m_nHeight * 0.8f);
}

void CEBMine::GetHitQuad(D3DVECTOR* pOut)
{
    CEBulletPart::GetHitQuad(pOut);
    LowerQuad(pOut, m_fViewOffset + kBoxLowering);
}

int CEBMine::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBMine::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    if (m_bIdle)
        return 0;
    const int nConfirm = TakePlayerShot(pStage, this, pBullet, &m_nHitPoints);
    if (!nConfirm || m_nHitPoints > 0)
        return nConfirm;
    if (pStage)
        pStage->AddScore(EBMINE_BURST_BONUS, 0);
    Burst();
    return nConfirm;
}

void CEBMine::Burst()
{
    Stop();
    m_Explosion.Explode(m_vPos.x, m_vPos.y, 0);
    for (int i = 0; i < EBMINE_SHOTS; i++) {
        CEBHiSpeed& shot = m_Shots[i];
        shot.SetAngle((float)i * kShotSpread + kFirstShot);
        shot.SetPosition(m_vPos);
        shot.SetLowSpeed();
        shot.Fire();
    }
    m_Point.m_fX = m_vPos.x;
    m_Point.m_fY = kPointLift - m_vPos.y;
    m_Point.m_fZ = m_vPos.z;
    m_Point.SetNumber(EBMINE_BURST_BONUS);
    m_Point.Start(6.0f, 50.0f, 500);
}

int CEBMine::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_OPAQUE);
    const BOOL bFlash = m_Flash.IsFlashing() && !CAppTimer::IsPaused(0);
    DrawSpriteAt(lpDevice, bFlash ? m_FlashSprite : m_Sprite, m_vPos.x, m_vPos.y, m_vPos.z);
    return 1;
}
