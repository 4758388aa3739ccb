#include "bullet/EBFunnel.h"

#include <algorithm>
#include <cmath>

#include "effect/RVMEffect.h"
#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"
#include "stage/Stage.h"

D3DVECTOR TriPodOffset = D3DVECTOR{{-4.0f}, {27.0f}, {0.0f}};

namespace {

const float kRowLowering = 16.0f;
const float kHitHalf = 2.0f;
// The triangle is turned about y by this much, which is why its boxes are narrowed by its cosine.
const float kTriTilt = 1.0466667f;
const float kTriGrowth = 0.1f;
const float kTriLaunchSpeed = 20.0f;
const float kTriEntrySpeed = 8.0f;

} // namespace

// ---- What both pods share ---------------------------------------------------------------------------

CEBFunnelPod::~CEBFunnelPod()
{
    Stop();
    CScrollableSet::Unregister(this);
}

int CEBFunnelPod::StoreSprites(IDirect3DDevice7*, CSprite* pNormal, CSprite* pFlash, int)
{
    if (!pNormal || !pFlash)
        return 0;
    m_pNormal = pNormal;
    m_pFlash = pFlash;
    pNormal[0].GetSize(&m_nWidth, &m_nHeight);
    // No warm-up draw of the sprites: their textures are ready once loaded, and a draw from the
    // loading thread would land in the frame the main thread is drawing.
    return 1;
}

int CEBFunnelPod::StartFlying(int nFrames)
{
    m_Flash.Stop();
    m_nFramePeriod = EBFUNNEL_FRAME_MS;
    m_nFrameCount = nFrames;
    m_nFrame = 0;
    m_bFrameBusy = 0;
    m_dwFrameStart = CAppTimer::GetElapsed(0);
    return JoinRegistries(this);
}

void CEBFunnelPod::Stop()
{
    LeaveRegistries(this);
}

void CEBFunnelPod::StepFrame()
{
    m_Flash.Update();
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (!m_bFrameBusy && dwNow - m_dwFrameStart > (DWORD)m_nFramePeriod) {
        m_dwFrameStart = dwNow;
        m_nFrame = (m_nFrame + 1) % std::max(1, m_nFrameCount);
    }
}

CSprite* CEBFunnelPod::CurrentSprite()
{
    CSprite* pFrames = m_Flash.IsFlashing() && !CAppTimer::IsPaused(0) ? m_pFlash : m_pNormal;
    return pFrames ? &pFrames[m_nFrame] : nullptr;
}

int CEBFunnelPod::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBFunnelPod::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    if (m_bIdle || !pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    const int nConfirm = pBullet->HitByEnemyBullet(pStage, this);
    if (!nConfirm)
        return 0;
    if (pStage)
        pStage->AddScore(10 * static_cast<IPlayerBullet*>(pBullet)->GetPower(), 0);
    m_Flash.Start();
    g_PCMManagerTask.Play(EBFUNNEL_DAMAGE_WAVE);
    return nConfirm;
}

void CEBFunnelPod::GetHitQuad(D3DVECTOR* pOut)
{
    MakeTruncRowQuad(pOut, m_vPos.x, -m_vPos.y + m_fViewOffset + kRowLowering, kHitHalf, kHitHalf);
}

// ---- The formation pod ------------------------------------------------------------------------------

CEBFunnel::CEBFunnel()
{
    m_nFrameCount = EBFUNNEL_FRAMES;
    m_Flash.Stop();
    m_bIdle = 1;
}

int CEBFunnel::SetSprites(IDirect3DDevice7* lpDevice, CSprite* pNormal, CSprite* pFlash)
{
    return StoreSprites(lpDevice, pNormal, pFlash, EBFUNNEL_FRAMES);
}

float CEBFunnel::GetRow() const
{
    return -m_vPos.y + m_fViewOffset + kRowLowering;
}

void CEBFunnel::GetQuad(D3DVECTOR* pOut)
{
    MakeTruncRowQuad(pOut, m_vPos.x, GetRow(), (float)(m_nWidth / 2) * 0.5f, (float)(m_nHeight / 2) * 0.5f);
}

int CEBFunnel::Fire()
{
    Stop();
    return StartFlying(EBFUNNEL_FRAMES);
}

void CEBFunnel::Move()
{
    if (m_bIdle)
        return;
    StepFrame();
}

int CEBFunnel::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    CSprite* pSprite = CurrentSprite();
    if (!pSprite)
        return 0;
    D3DXMATRIX mScale, mTurn, mMove, mTmp, mWorld;
    D3DXMatrixScaling(&mScale, m_fScale, m_fScale, m_fScale);
    D3DXMatrixRotationZ(&mTurn, m_fAngle);
    D3DXMatrixTranslation(&mMove, m_vPos.x, m_vPos.y, m_vPos.z);
    D3DXMatrixMultiply(&mTmp, &mScale, &mTurn);
    D3DXMatrixMultiply(&mWorld, &mTmp, &mMove);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_OPAQUE);
    return pSprite->Draw(lpDevice, &mWorld);
}

// ---- The triangular pod ----------------------------------------------------------------------------

CEBFunnelTri::CEBFunnelTri()
{
    m_nFrameCount = EBFUNNELTRI_FRAMES;
    m_Drift = ACCINFO{};
    m_Drift.nClamp = 1;
    m_Spin = m_Drift;
    m_Flash.Stop();
    m_bIdle = 1;
}

int CEBFunnelTri::SetSprites(IDirect3DDevice7* lpDevice, CSprite* pBody, CSprite* pFlash)
{
    return StoreSprites(lpDevice, pBody, pFlash, EBFUNNELTRI_FRAMES);
}

// Centred on the position less the picture's offset, narrowed as the turn about y narrows it.
void CEBFunnelTri::GetQuad(D3DVECTOR* pOut)
{
    const float cx = m_vPos.x - TriPodOffset.x;
    const float cy = m_vPos.y - TriPodOffset.y;
    const float fHw = std::cos(kTriTilt) * (float)m_nWidth * m_fAppear * 0.25f;
    const float fHh = (float)m_nHeight * m_fAppear * 0.25f;
    MakeTruncRowQuad(pOut, cx, -cy + m_fViewOffset + kRowLowering, fHw, fHh);
}

int CEBFunnelTri::Fire()
{
    Stop();
    m_fAppear = 0.2f;
    m_fAngle = 0.0f;
    m_bSpin = 1;
    m_Drift.Set(2.0f, 0.3f, 0.0f, 0.0f, 0);
    m_Spin.Set(-0.001f, -0.005f, 0.0f, 0.0f, 0);
    m_fEntrySpeed = kTriEntrySpeed;
    m_nMode = MODE_DRIFT;
    return StartFlying(EBFUNNELTRI_FRAMES);
}

void CEBFunnelTri::Launch()
{
    Fire();
    m_fEntrySpeed = kTriLaunchSpeed;
    m_nMode = MODE_LAUNCHED;
}

void CEBFunnelTri::Withdraw()
{
    m_nMode = MODE_WITHDRAWN;
    Stop();
}

void CEBFunnelTri::Move()
{
    if (m_bIdle)
        return;
    StepFrame();
    if (m_fAppear < 1.0f) {
        m_fAppear = std::clamp(m_fAppear + kTriGrowth, 0.0f, 1.0f);
        m_vPos.x -= m_fEntrySpeed;
    } else if (m_nMode == MODE_DRIFT) {
        m_vPos.x -= m_Drift.fValue;
        m_Drift.Step();
        if (m_vPos.x < -(float)m_nWidth) {
            Stop();
            return;
        }
    } else if (m_nMode == MODE_LAUNCHED) {
        // Held: it keeps the spin rate it has reached.
        m_Spin.Set(m_Spin.fValue, 0.0f, 0.0f, 0.0f, 0);
    }
    if (m_bSpin) {
        m_fAngle += m_Spin.fValue;
        m_Spin.Step();
    }
}

int CEBFunnelTri::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    CSprite* pSprite = CurrentSprite();
    if (!pSprite)
        return 0;
    // Scale, spin, the tilt about y, then the picture moved onto its boxes and to the position.
    D3DXMATRIX mScale, mSpin, mMove, mWorld;
    D3DMATRIX mTilt;
    D3DXMatrixScaling(&mScale, m_fAppear, m_fAppear, m_fAppear);
    D3DXMatrixRotationZ(&mSpin, m_fAngle);
    RVMMatRotationY(&mTilt, kTriTilt);
    D3DXMatrixTranslation(&mMove, m_vPos.x - TriPodOffset.x, m_vPos.y - TriPodOffset.y, m_vPos.z - TriPodOffset.z);
    D3DXMatrixMultiply(&mWorld, &mScale, &mSpin);
    D3DXMatrixMultiply(&mWorld, &mWorld, &mTilt);
    D3DXMatrixMultiply(&mWorld, &mWorld, &mMove);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_OPAQUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    return pSprite->Draw(lpDevice, &mWorld);
}
