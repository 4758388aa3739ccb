#include "bullet/EBHoming.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"
#include "stage/Stage.h"

namespace {

const float kHitLowering = 16.0f;
const float kPassedDot = 0.3f;
const float kPassedDistance2 = 2500.0f;

// (x, y) scaled to length s; zero stays zero.
void ScaleTo(float x, float y, float s, float* pX, float* pY)
{
    const float fLength = std::sqrt(x * x + y * y);
    if (fLength == 0.0f) {
        *pX = *pY = 0.0f;
        return;
    }
    *pX = x / fLength * s;
    *pY = y / fLength * s;
}

} // namespace

CSprite& CEBHoming::GetSharedSprite()
{
    static CSprite s_Sprite;
    return s_Sprite;
}

int CEBHoming::LoadShared(IDirect3DDevice7* lpDevice)
{
    return GetSharedSprite().CreateFromFile(lpDevice, EBHOMING_PICTURE_PATH, nullptr);
}

void CEBHoming::ReleaseShared()
{
    GetSharedSprite().Release();
}

CEBHoming::CEBHoming()
{
    m_Launch = ACCINFO{};
    m_Launch.Set(5.0f, -0.2f, 0.0f, 5.0f, 1);
    m_Speed = ACCINFO{};
    m_Speed.Set(2.0f, 0.0f, 0.0f, 0.0f, 0);
    m_Magnitude = ACCINFO{};
    m_Magnitude.nClamp = 1;
    m_bIdle = 1;
}

CEBHoming::~CEBHoming()
{
    // The handle's own destructor hands a held explosion back to the pool, still to go off.
    Release();
    Stop();
}

// The sprite is ready as soon as it is made: there is no first draw to wait for.
int CEBHoming::Load(IDirect3DDevice7* lpDevice)
{
    m_nExplosionStyle = m_Explosion.m_nStyle = 2;
    m_Item.Load(lpDevice);
    m_Item.SetKind(0);
    CSprite& sprite = GetSharedSprite();
    if (!sprite.GetTexture())
        return 0;
    sprite.GetSize(&m_nWidth, &m_nHeight);
    return 1;
}

// The owner's frames are only drawn: the boxes stay those of the shared picture.
int CEBHoming::SetSprites(IDirect3DDevice7* lpDevice, CSprite* pPair)
{
    Load(lpDevice);
    m_pPair = pPair;
    m_bExternal = 1;
    return pPair && pPair[0].GetTexture() && pPair[1].GetTexture() ? 1 : 0;
}

void CEBHoming::Release()
{
    m_bExternal = 0;
    m_pPair = nullptr;
}

int CEBHoming::Fire(const D3DVECTOR* pTarget)
{
    m_fHeading = m_fDrawHeading = m_fLaunchHeading;
    if (pTarget)
        m_vTarget = *pTarget;
    m_nHitPoints = 1;
    m_nPhase = PHASE_HOMING;
    m_Launch.Restart();
    m_Speed.Restart();
    m_fVelocityX = std::cos(m_fHeading) * m_Speed.fValue;
    m_fVelocityY = std::sin(m_fHeading) * m_Speed.fValue;
    const float dy = m_vTarget.y - m_vPos.y;
    m_fTurnStep = dy > 0.0f ? m_fTurnRate : (dy < 0.0f ? -m_fTurnRate : 0.0f);
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bExternal) {
        m_nFrame = 0;
        m_nFramePeriod = EBHOMING_FRAME_MS;
        m_dwFrameStart = dwNow;
    }
    m_Explosion.Release();
    m_dwLifetime = (DWORD)m_nLifetimeSetting;
    m_dwFireTime = dwNow;
    m_bExpired = 0;
    return JoinRegistries(this);
}

void CEBHoming::Stop()
{
    LeaveRegistries(this);
}

void CEBHoming::Explode(BOOL bDropItem)
{
    if (bDropItem && m_bItem) {
        m_Item.SetPosition(D3DVECTOR{{m_vPos.x}, {-m_vPos.y}, {m_vPos.z}});
        m_Item.Start(-2.5f, 0.0f);
    }
    m_Explosion.Explode(m_vPos.x, m_vPos.y, 0);
    Stop();
}

BOOL CEBHoming::Home()
{
    const float s = m_Speed.fValue;
    float ux, uy, wx, wy;
    ScaleTo(m_fVelocityX, m_fVelocityY, s, &ux, &uy);
    const float dx = m_vTarget.x - m_vPos.x, dy = m_vTarget.y - m_vPos.y;
    ScaleTo(dx, dy, s, &wx, &wy);
    const float c = std::cos(m_fTurnStep), sn = std::sin(m_fTurnStep);
    const float rx = ux * c - uy * sn, ry = ux * sn + uy * c;
    const float fDesiredDot = wx * ux + wy * uy;
    if (rx * ux + ry * uy < fDesiredDot) {
        m_fVelocityX = wx;
        m_fVelocityY = wy;
    } else {
        m_fVelocityX = rx;
        m_fVelocityY = ry;
    }
    m_vPos.x += m_fVelocityX;
    m_vPos.y += m_fVelocityY;
    m_fHeading = std::atan2(m_fVelocityY, m_fVelocityX);
    m_Magnitude.Step();
    m_Speed.Step();
    m_fDrawHeading = m_fHeading;
    return fDesiredDot < kPassedDot && dx * dx + dy * dy < kPassedDistance2;
}

void CEBHoming::Move()
{
    if (m_bIdle)
        return;
    BOOL bPassed = 0;
    if (m_nPhase == PHASE_LAUNCH) {
        m_vPos.x += std::cos(m_fHeading) * m_Speed.fValue;
        m_vPos.y += std::sin(m_fHeading) * m_Speed.fValue;
        m_vPos.z = 0.0f;
        m_Launch.Step();
        m_Speed.Step();
        if (m_Launch.nReached) {
            const float fLength = std::sqrt(m_Launch.fValue * m_Launch.fValue + m_Speed.fValue * m_Speed.fValue);
            m_Magnitude = ACCINFO{};
            m_Magnitude.Set(fLength, 0.35f, 0.0f, 0.0f, 0);
            m_nPhase = PHASE_HOMING;
        }
    } else {
        bPassed = Home();
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bExternal && !m_bBusy && dwNow - m_dwFrameStart > (DWORD)m_nFramePeriod) {
        m_nFrame ^= 1;
        m_dwFrameStart = dwNow;
    }
    if (!m_bExpired && dwNow - m_dwFireTime > m_dwLifetime) {
        m_bExpired = 1;
        Explode(0);
    } else if (bPassed) {
        Explode(0);
    }
    if (!m_bIdle && m_nHitPoints < 1)
        Explode(1);
}

int CEBHoming::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    // Brought down already: it bursts in its next update and takes no more points meanwhile.
    if (m_bIdle || m_nHitPoints < 1 || !pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    const int nConfirm = pBullet->HitByEnemyBullet(pStage, this);
    if (!nConfirm)
        return 0;
    const int nDamage = static_cast<IPlayerBullet*>(pBullet)->GetPower();
    if (pStage)
        pStage->AddScore(10 * std::min(nDamage, m_nHitPoints), 0);
    m_nHitPoints -= nDamage;
    if (m_nHitPoints <= 0 && pStage)
        pStage->AddScore(EBHOMING_BONUS, 0);
    return nConfirm;
}

int CEBHoming::HitByPlayer(CStage* pStage, CCrushable* pPlayer)
{
    if (m_bIdle || !pPlayer)
        return 0;
    if (!pPlayer->HitByEnemyBullet(pStage, this))
        return 0;
    if (pStage)
        pStage->AddScore(EBHOMING_BONUS, 0);
    Explode(0);
    return 1;
}

void CEBHoming::GetQuad(D3DVECTOR* pOut)
{
    MakeTruncRowQuad(pOut, m_vPos.x, -m_vPos.y + m_fViewOffset + kHitLowering, (float)m_nWidth * 0.8f,
                     (float)m_nHeight * 0.8f);
}

void CEBHoming::GetHitQuad(D3DVECTOR* pOut)
{
    CEBulletPart::GetHitQuad(pOut);
    LowerQuad(pOut, m_fViewOffset + kHitLowering);
}

int CEBHoming::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    D3DXMATRIX mMove, mTurn, mLocal;
    D3DXMatrixTranslation(&mMove, m_vPos.x, m_vPos.y, m_vPos.z);
    D3DXMatrixRotationZ(&mTurn, m_fDrawHeading + 3.14f);
    D3DXMatrixMultiply(&mLocal, &mTurn, &mMove);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_OPAQUE);
    DWORD dwZ = 0;
    lpDevice->GetRenderState(D3DRENDERSTATE_ZENABLE, &dwZ);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    CSprite* pSprite = m_bExternal && m_pPair ? &m_pPair[m_nFrame & 1] : &GetSharedSprite();
    pSprite->Draw(lpDevice, &mLocal);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, dwZ);
    return 1;
}
