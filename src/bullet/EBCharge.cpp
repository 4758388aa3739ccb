#include "bullet/EBCharge.h"

#include <algorithm>
#include <cmath>

#include "bullet/EffectTexture.h"
#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"

namespace {

const float kTwoPi = 6.2831855f;
const float kCoreGrowth = 1.0f / 30.0f;
const float kParticleGrowth = 0.1f;
const float kParticleMargin = 0.3f;
const float kFade = 0.3f;
const float kGone = 0.01f;
const float kCoreWeight = 0.2f;

IDirectDrawSurface7* s_lpSmoke;
int s_nSmokeWidth, s_nSmokeHeight;

float Fraction(CSubtractiveRandom& r)
{
    return (float)(r.Next() % 32767u) / 32768.0f;
}

} // namespace

int CEBCharge::LoadShared(IDirect3DDevice7* lpDevice)
{
    ReleaseShared();
    s_lpSmoke = CreateTextureFromFile(lpDevice, EBCHARGE_PICTURE_PATH, nullptr);
    if (!s_lpSmoke)
        return 0;
    GetBitmapFileSize(EBCHARGE_PICTURE_PATH, &s_nSmokeWidth, &s_nSmokeHeight);
    return 1;
}

void CEBCharge::ReleaseShared()
{
    SafeRelease(s_lpSmoke);
}

IDirectDrawSurface7* CEBCharge::GetSharedTexture()
{
    return s_lpSmoke;
}

CSubtractiveRandom& CEBCharge::GetRandom()
{
    static CSubtractiveRandom s_Random;
    return s_Random;
}

CEBCharge::CEBCharge()
{
    m_Template = ACCINFO{};
    m_Template.fStep = 1.0f;
    m_Core = ACCINFO{};
    for (CHARGEPARTICLE& p : m_Particles)
        p = CHARGEPARTICLE{};
    m_bIdle = 1;
}

CEBCharge::~CEBCharge()
{
    Release();
}

void CEBCharge::Place(CHARGEPARTICLE& p)
{
    CSubtractiveRandom& r = GetRandom();
    const float u1 = Fraction(r), u2 = Fraction(r);
    const float fRadius = m_fInner + u1 * (m_fOuter - m_fInner);
    const float fAngle = u2 * kTwoPi;
    p.x = fRadius * std::cos(fAngle);
    p.y = fRadius * std::sin(fAngle);
    p.z = 0.0f;
    p.fDistance = fRadius;
    p.fAngle = fAngle;
    p.Speed = m_Template;
    p.fSize = 0.0f;
}

int CEBCharge::Fire()
{
    m_fCoreSize = 0.0f;
    m_Core = ACCINFO{};
    m_nState = STATE_CHARGING;
    m_bEnded = 0;
    // The time seeds only the looks' generator: the game's own rand and the explosions' generator,
    // which replays depend on, are never touched by a charge.
    GetLookRandom().Srand(GetLookSeed());
    CSubtractiveRandom& r = GetRandom();
    if (!r.IsSeeded())
        r.Seed((uint32_t)GetLookRandom().Rand());
    for (CHARGEPARTICLE& p : m_Particles)
        Place(p);
    m_dwStart = CAppTimer::GetElapsed(0);
    m_bIdle = 0;
    return CEBulletPart::Fire();
}

void CEBCharge::Stop()
{
    m_bIdle = 1;
    CEBulletPart::Stop();
}

void CEBCharge::Move()
{
    if (m_bIdle)
        return;
    const float fParticleMax = m_fMaxSize - kParticleMargin;
    if (m_nState == STATE_CHARGING) {
        m_fCoreSize = std::clamp(m_fCoreSize + kCoreGrowth, 0.0f, m_fMaxSize);
        for (CHARGEPARTICLE& p : m_Particles)
            p.fSize = std::clamp(p.fSize + kParticleGrowth, 0.0f, fParticleMax);
        if (CAppTimer::GetElapsed(0) - m_dwStart > m_dwDuration) {
            m_bEnded = 1;
            m_nState = STATE_FADING;
        }
    } else {
        m_fCoreSize = std::clamp(m_fCoreSize - kFade, 0.0f, m_fMaxSize);
        BOOL bGone = std::fabs(m_fCoreSize) < kGone;
        for (CHARGEPARTICLE& p : m_Particles) {
            p.fSize = std::clamp(p.fSize - kFade, 0.0f, fParticleMax);
            bGone = bGone && std::fabs(p.fSize) < kGone;
        }
        if (bGone) {
            Stop();
            return;
        }
    }
    for (CHARGEPARTICLE& p : m_Particles) {
        if (p.fDistance > 0.0f) {
            p.x -= p.Speed.fValue * std::cos(p.fAngle);
            p.y -= p.Speed.fValue * std::sin(p.fAngle);
            p.fDistance -= p.Speed.fValue;
            p.Speed.Step();
        } else {
            Place(p);
        }
    }
}

// The sprite's weight is the brightness of its quad: the core shows at a fifth.
int CEBCharge::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle || !s_lpSmoke)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DLVERTEX quad[4];
    MakeQuadVertices((float)s_nSmokeWidth, (float)s_nSmokeHeight, quad);
    D3DXMATRIX mScale, mMove, mLocal;
    int nResult = 1;
    for (const CHARGEPARTICLE& p : m_Particles) {
        if (p.fDistance <= 0.0f)
            continue;
        D3DXMatrixScaling(&mScale, p.fSize, p.fSize, 1.0f);
        D3DXMatrixTranslation(&mMove, m_vPos.x + p.x, m_vPos.y + p.y, m_vPos.z + p.z);
        D3DXMatrixMultiply(&mLocal, &mScale, &mMove);
        nResult &= DrawLitQuad(lpDevice, s_lpSmoke, quad, mLocal, mSaved);
    }
    SetQuadColor(quad, GreyOf(kCoreWeight));
    D3DXMatrixScaling(&mScale, m_fCoreSize, m_fCoreSize, 1.0f);
    D3DXMatrixTranslation(&mMove, m_vPos.x, m_vPos.y, m_vPos.z);
    D3DXMatrixMultiply(&mLocal, &mScale, &mMove);
    nResult &= DrawLitQuad(lpDevice, s_lpSmoke, quad, mLocal, mSaved);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return nResult;
}
