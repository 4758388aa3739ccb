#include "bullet/EBHammer.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"
#include "rvm/rvm_stl.h"
#include "stage/Stage.h"

namespace {

const float kFullTurn = 6.28f;
// Swish interval (ms) = kSwishBase - swing speed x kSwishSlope: 700 at the slowest, 120 at 0.7.
const float kSwishBase = 708.4058f;
const float kSwishSlope = 840.5797f;
const float kSwishSlowest = 0.01f;
const float kSwishFastest = 0.7f;
// The head brakes to rest this far from the left edge of the screen.
const float kThrowRest = 30.0f;
const float kBoxLowering = 16.0f;

} // namespace

CEBHammer::CEBHammer()
{
    m_Swing.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
    m_Throw.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
    m_SwingPreset.Set(0.0f, 0.01f, 0.0f, 0.6f, 1);
    m_Flash.Stop();
    m_bIdle = 1;
}

CEBHammer::~CEBHammer()
{
    Release();
    CScrollableSet::Unregister(this);
}

int CEBHammer::Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpHead, IDirectDrawSurface7* lpChain)
{
    if (!lpHead || !lpChain || !m_HeadSprite.Create(lpDevice, lpHead, nullptr))
        return 0;
    if (!m_HeadSprite.CreateFromSurfaceKeyed(lpDevice, lpHead, &m_HeadFlash))
        return 0;
    if (!m_ChainSprite.Create(lpDevice, lpChain, nullptr))
        return 0;
    return FinishLoad(lpDevice);
}

int CEBHammer::LoadFiles(IDirect3DDevice7* lpDevice, const char* pszDir)
{
    const rvm::string head = rvm::string(pszDir ? pszDir : "") + EBHAMMER_HEAD_FILE;
    const rvm::string chain = rvm::string(pszDir ? pszDir : "") + EBHAMMER_CHAIN_FILE;
    if (!m_HeadSprite.CreateFromFile(lpDevice, head.c_str(), nullptr))
        return 0;
    if (!m_HeadSprite.CreateFromFileKeyed(lpDevice, head.c_str(), &m_HeadFlash))
        return 0;
    if (!m_ChainSprite.CreateFromFile(lpDevice, chain.c_str(), nullptr))
        return 0;
    return FinishLoad(lpDevice);
}

int CEBHammer::FinishLoad(IDirect3DDevice7*)
{
    m_HeadSprite.GetSize(&m_nWidth, &m_nHeight);
    m_Explosion.m_nStyle = 2;
    // No warm-up draw of the sprites: their textures are ready once loaded, and a draw from the
    // loading thread would land in the frame the main thread is drawing.
    return 1;
}

void CEBHammer::Release()
{
    Stop();
    m_HeadSprite.Release();
    m_HeadFlash.Release();
    m_ChainSprite.Release();
}

int CEBHammer::Fire()
{
    Stop();
    m_nHitPoints = EBHAMMER_HIT_POINTS;
    m_Flash.Stop();
    m_fScale = 1.0f;
    return JoinRegistries(this);
}

void CEBHammer::Stop()
{
    LeaveRegistries(this);
}

void CEBHammer::StartSwing()
{
    m_vHead = D3DVECTOR{};
    m_Swing = m_SwingPreset;
    m_fScale = 1.0f;
    m_nState = STATE_SWING;
    m_fAngle = 0.0f;
    m_dwSwishStart = CAppTimer::GetElapsed(0);
    m_bSwishBusy = 0;
    g_PCMManagerTask.Play(EBHAMMER_SWING_WAVE);
    Fire();
}

// Uniform braking that would stop the head kThrowRest pixels from the left edge; an anchor that
// close to the edge or beyond it brakes as if it were one pixel further in, so the head never runs
// away before it turns.
void CEBHammer::StartThrow()
{
    const float d = std::max(m_vPos.x - kThrowRest, 1.0f);
    const float v = -m_fThrowSpeed;
    m_vHead = D3DVECTOR{};
    m_fScale = 1.0f;
    m_nState = STATE_THROWN;
    m_Throw.Set(v, v * v / (2.0f * d), -m_fThrowSpeed, m_fThrowSpeed, 1, 0, 1);
    Fire();
}

void CEBHammer::StartHold()
{
    m_fScale = 1.0f;
    m_vHead = D3DVECTOR{};
    m_nState = STATE_HELD;
    Fire();
}

void CEBHammer::Explode()
{
    m_Explosion.Explode(m_vPos.x + m_vHead.x, m_vPos.y + m_vHead.y, 0);
    Stop();
    m_nState = STATE_EXPLODED;
}

void CEBHammer::MoveSwing()
{
    m_fAngle += m_Swing.fValue;
    m_Swing.Step();
    if (m_fAngle >= kFullTurn)
        m_fAngle -= kFullTurn;
    m_vHead.x = m_fChainLength * m_fEllipseX * std::cos(m_fAngle);
    m_vHead.y = m_fChainLength * m_fEllipseY * std::sin(m_fAngle);
    const float c = std::clamp(m_Swing.fValue, kSwishSlowest, kSwishFastest);
    m_nSwishInterval = (int)(kSwishBase - c * kSwishSlope);
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (!m_bSwishBusy && dwNow - m_dwSwishStart > (DWORD)m_nSwishInterval) {
        g_PCMManagerTask.Play(EBHAMMER_SWING_WAVE);
        m_dwSwishStart = dwNow;
    }
}

void CEBHammer::MoveThrown()
{
    m_vHead.y = 0.0f;
    m_vHead.x += m_Throw.fValue;
    m_Throw.Step();
    if (m_Throw.nReached)
        m_nState = STATE_HELD;
}

void CEBHammer::Move()
{
    if (m_bIdle || m_nState == STATE_EXPLODED)
        return;
    m_Flash.Update();
    switch (m_nState) {
    case STATE_SWING:
        MoveSwing();
        break;
    case STATE_THROWN:
        MoveThrown();
        break;
    case STATE_HELD:
        m_vHead = D3DVECTOR{};
        break;
    default:
        break;
    }
    m_fScale = 1.0f;
}

void CEBHammer::GetTurnedOffset(float fShare, float* pX, float* pY) const
{
    const float ox = m_vHead.x * fShare, oy = m_vHead.y * fShare;
    if (m_nState != STATE_SWING) {
        *pX = ox;
        *pY = oy;
        return;
    }
    const float c = std::cos(m_fTilt), s = std::sin(m_fTilt);
    *pX = ox * c - oy * s;
    *pY = ox * s + oy * c;
}

void CEBHammer::GetHeadPos(float* pX, float* pY) const
{
    float ox, oy;
    GetTurnedOffset(1.0f, &ox, &oy);
    *pX = m_vPos.x + ox;
    *pY = m_vPos.y + oy;
}

void CEBHammer::GetQuad(D3DVECTOR* pOut)
{
    float x, y;
    GetHeadPos(&x, &y);
    MakeTruncRowQuad(pOut, x, -y + m_fViewOffset + kBoxLowering, (float)m_nWidth * m_fScale * 0.25f,
                     (float)m_nHeight * m_fScale * 0.25f);
}

void CEBHammer::GetHitQuad(D3DVECTOR* pOut)
{
    float x, y;
    GetHeadPos(&x, &y);
    MakeTruncRowQuad(pOut, x, -y + m_fViewOffset + kBoxLowering, (float)(m_nWidth / 2) * 0.5f,
                     (float)(m_nHeight / 2) * 0.5f);
}

int CEBHammer::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

int CEBHammer::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    if (m_bIdle || m_nState == STATE_EXPLODED)
        return 0;
    const int nConfirm = TakePlayerShot(pStage, this, pBullet, &m_nHitPoints);
    if (!nConfirm || m_nHitPoints > 0)
        return nConfirm;
    if (pStage)
        pStage->AddScore(EBHAMMER_BREAK_BONUS, 0);
    m_Explosion.Explode(m_vPos.x, m_vPos.y, 0);
    return nConfirm;
}

int CEBHammer::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle || m_nState == STATE_EXPLODED || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_OPAQUE);
    for (int i = 0; i < EBHAMMER_LINKS; i++) {
        float ox, oy;
        GetTurnedOffset((float)i * 0.2f, &ox, &oy);
        DrawSpriteAt(lpDevice, m_ChainSprite, m_vPos.x + ox, m_vPos.y + oy, m_vPos.z + m_vHead.z);
    }
    float x, y;
    GetHeadPos(&x, &y);
    const BOOL bFlash = m_Flash.IsFlashing() && !CAppTimer::IsPaused(0);
    DrawSpriteAt(lpDevice, bFlash ? m_HeadFlash : m_HeadSprite, x, y, m_vPos.z + m_vHead.z);
    return 1;
}
