#include "bullet/ExpDamage.h"

#include <algorithm>
#include <cmath>

#include "bullet/EffectTexture.h"
#include "engine/AppTimer.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "platform/d3d/D3DX.h"

namespace {

const float kStarHalf = 16.0f;
const float kFlashSize = 32.0f;
const float kStarHSpeed = -15.0f;
const float kStarVBrake = 0.2f;
const int kFirstLimit = 10, kSecondLimit = 20, kLastLimit = 25;
const DWORD kLastInterval = 30;
const int kLastPerRelease = 2;
const float kRingStep = 0.3925f;
const float kRingXSpeed = 3.0f;
const float kRingYSpeed = 9.0f;
const DWORD kRingLife = 5000;
const int kDamageParams = 12;
const float kDamageDefaults[kDamageParams] = {-8.0f, 8.0f, -3.0f, 0.5f, 2.5f, 0.6f, -0.03f, 6.5f, -0.1f, 0.0f, 85.0f, 100.0f};

IDirectDrawSurface7* s_lpStars[EXPDAMAGE_STAR_KINDS * EXPDAMAGE_STAR_FRAMES];
IDirectDrawSurface7* s_lpFlash;

float LookFraction()
{
    return (float)GetLookRandom().Rand() / 32768.0f;
}

float NextFraction(CSubtractiveRandom& r, float fDivisor)
{
    return (float)(r.Next() % 32767u) / fDivisor;
}

} // namespace

// ---- Stars ----------------------------------------------------------------------------------------

CExpDamage::CExpDamage()
{
    for (DAMAGESTAR& s : m_Stars) {
        s = DAMAGESTAR{};
        s.bWaiting = 1;
    }
    MakeLitQuad(m_Quad, kStarHalf, 0xFFFFFFFF);
}

CSubtractiveRandom& CExpDamage::GetRandom()
{
    static CSubtractiveRandom s_Random;
    return s_Random;
}

int CExpDamage::LoadShared(IDirect3DDevice7* lpDevice)
{
    ReleaseShared();
    return LoadCellTextures(lpDevice, EXPDAMAGE_STAR_PATH, EXPDAMAGE_STAR_CELL, EXPDAMAGE_STAR_CELL,
                            EXPDAMAGE_STAR_KINDS, EXPDAMAGE_STAR_FRAMES, s_lpStars);
}

void CExpDamage::ReleaseShared()
{
    ReleaseTextures(s_lpStars, EXPDAMAGE_STAR_KINDS * EXPDAMAGE_STAR_FRAMES);
}

IDirectDrawSurface7* CExpDamage::GetStarTexture(int nKind, int nFrame)
{
    if (nKind < 0 || nKind >= EXPDAMAGE_STAR_KINDS || nFrame < 0 || nFrame >= EXPDAMAGE_STAR_FRAMES)
        return nullptr;
    return s_lpStars[nFrame * EXPDAMAGE_STAR_KINDS + nKind];
}

void CExpDamage::Start()
{
    Stop();
    // Only the looks take the time: this generator serves nothing else.
    GetLookRandom().Srand(GetLookSeed());
    CSubtractiveRandom& r = GetRandom();
    if (!r.IsSeeded())
        r.Seed((uint32_t)GetLookRandom().Rand());
    for (DAMAGESTAR& s : m_Stars) {
        s.nKind = (int)(NextFraction(r, 32768.0f) * 10.0f);
        const float fAngle = NextFraction(r, 32768.0f) * 6.28f;
        const float fRadius = LookFraction() * m_fStartRadius;
        s.x = std::cos(fAngle) * fRadius;
        s.y = std::sin(fAngle) * fRadius;
        s.z = 0.0f;
        s.nFrame = 0;
        const float v = LookFraction() * (m_fHighestVSpeed - m_fLowestVSpeed) + m_fLowestVSpeed;
        if (v >= 0.0f)
            s.VSpeed.Set(v, -kStarVBrake, 1.0f, v, 1);
        else
            s.VSpeed.Set(v, kStarVBrake, v, -1.0f, 1);
        s.HSpeed.Set(kStarHSpeed, 0.0f, 0.0f, 0.0f, 0);
        s.nLife = (int)(LookFraction() * (float)(m_nLongestLife - m_nShortestLife) + (float)m_nShortestLife);
        s.nStartLife = s.nLife;
        s.bWaiting = 1;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    m_dwPause = 80;
    m_dwReleaseInterval = 5;
    m_dwLastRelease = dwNow;
    m_nPerRelease = 8;
    m_nReleaseLimit = kFirstLimit;
    m_nNextStar = 0;
    m_nState = STATE_FIRST;
    m_nStateAfterPause = STATE_FIRST;
    m_dwRotationInterval = 30;
    m_dwLastRotation = dwNow;
    m_bStopped = 0;
}

void CExpDamage::ReleaseStars()
{
    for (int i = m_nNextStar; i < m_nNextStar + m_nPerRelease && i < EXPDAMAGE_STARS; i++) {
        DAMAGESTAR& s = m_Stars[i];
        s.bWaiting = 0;
        s.x += m_fOriginX;
        s.y += m_fOriginY;
        s.z += m_fOriginZ;
    }
    m_nNextStar += m_nPerRelease;
}

void CExpDamage::Update()
{
    if (m_bStopped)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_nState >= STATE_FIRST && m_nState <= STATE_LAST && dwNow - m_dwLastRelease > m_dwReleaseInterval) {
        ReleaseStars();
        if (m_nState == STATE_FIRST && m_nNextStar > kFirstLimit) {
            m_nState = STATE_PAUSE;
            m_nStateAfterPause = STATE_SECOND;
            m_dwPauseStart = dwNow;
            m_nReleaseLimit = kSecondLimit;
        } else if (m_nState == STATE_SECOND && m_nNextStar > kSecondLimit) {
            m_nState = STATE_PAUSE;
            m_nStateAfterPause = STATE_LAST;
            m_dwPauseStart = dwNow;
            m_dwReleaseInterval = kLastInterval;
            m_nPerRelease = kLastPerRelease;
            m_nReleaseLimit = kLastLimit;
        } else if (m_nState == STATE_LAST && m_nNextStar > kLastLimit) {
            m_nState = STATE_DONE;
        }
        m_dwLastRelease = dwNow;
    }
    if (m_nState == STATE_PAUSE && dwNow - m_dwPauseStart > m_dwPause) {
        m_nState = m_nStateAfterPause;
        m_dwLastRelease = dwNow;
    }
    if (dwNow - m_dwLastRotation > m_dwRotationInterval) {
        for (DAMAGESTAR& s : m_Stars) {
            if (!s.bWaiting)
                s.nFrame = (s.nFrame + 1) % EXPDAMAGE_STAR_FRAMES;
        }
        m_dwLastRotation = dwNow;
    }
    for (DAMAGESTAR& s : m_Stars) {
        if (s.bWaiting)
            continue;
        s.nLife--;
        s.x += s.HSpeed.fValue;
        s.y -= s.VSpeed.fValue;
        s.HSpeed.Step();
        s.VSpeed.Step();
        if (s.nLife <= 0)
            s.bWaiting = 1;
    }
    if (m_nState == STATE_DONE && CountLive() == 0)
        Stop();
}

int CExpDamage::CountLive() const
{
    int n = 0;
    for (const DAMAGESTAR& s : m_Stars)
        n += s.bWaiting ? 0 : 1;
    return n;
}

int CExpDamage::Render(IDirect3DDevice7* lpDevice)
{
    if (m_bStopped)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    int bOk = 1;
    for (int i = 0; i < EXPDAMAGE_STARS && bOk; i++) {
        const DAMAGESTAR& s = m_Stars[i];
        if (s.bWaiting)
            continue;
        D3DXMATRIX mMove;
        D3DXMatrixTranslation(&mMove, s.x, s.y, s.z);
        bOk = DrawLitQuad(lpDevice, GetStarTexture(s.nKind, s.nFrame), m_Quad, mMove, mSaved);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return bOk;
}

// ---- Flash fountain and ring ----------------------------------------------------------------------

CExpDamageEx::CExpDamageEx()
{
    for (FLASHPARTICLE& p : m_Particles) {
        p = FLASHPARTICLE{};
        p.bDead = 1;
    }
    MakeLitQuad(m_Quad, kFlashSize / 2.0f, 0xFFFFFFFF);
    m_BurstCount = ACCINFO{};
}

CSubtractiveRandom& CExpDamageEx::GetRandom()
{
    static CSubtractiveRandom s_Random;
    return s_Random;
}

int CExpDamageEx::LoadShared(IDirect3DDevice7* lpDevice)
{
    ReleaseShared();
    IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, EXPDAMAGEEX_FLASH_PATH, MEM_SYSTEM);
    if (!lpPicture)
        return 0;
    int w = 0, h = 0;
    GetSurfaceSize(lpPicture, &w, &h);
    s_lpFlash = CreateCellTexture(lpDevice, lpPicture, 0, 0, w, h);
    lpPicture->Release();
    return s_lpFlash ? 1 : 0;
}

void CExpDamageEx::ReleaseShared()
{
    SafeRelease(s_lpFlash);
}

IDirectDrawSurface7* CExpDamageEx::GetFlashTexture()
{
    return s_lpFlash;
}

void CExpDamageEx::SetBrightness(float fBrightness)
{
    m_fQuadBrightness = fBrightness;
    SetQuadColor(m_Quad, GreyOf(fBrightness));
}

void CExpDamageEx::Start()
{
    Stop();
    MakeLitQuad(m_Quad, kFlashSize / 2.0f, 0xFFFFFFFF);
    SetBrightness(1.0f);
    m_dwLastBurst = CAppTimer::GetElapsed(0);
    // Every start bursts at once, as the first one does.
    m_dwBurstInterval = 0;
    m_nNext = 0;
    m_BurstCount.Set(GetParamFloat("DEBUG_DAMAGE", 7, kDamageDefaults[7]),
                     GetParamFloat("DEBUG_DAMAGE", 8, kDamageDefaults[8]), 0.0f, 0.0f, 0);
    m_bStopped = 0;
    CShowableSet::Register(this, 0);
}

void CExpDamageEx::Stop()
{
    for (FLASHPARTICLE& p : m_Particles)
        p.bDead = 1;
    m_bStopped = 1;
    CShowableSet::Unregister(this, 0);
}

void CExpDamageEx::Update()
{
    if (m_bStopped)
        return;
    if ((this->*m_pfnEmit)() == 0)
        Stop();
    for (FLASHPARTICLE& p : m_Particles) {
        if (p.bDead)
            continue;
        p.x += p.XSpeed.fValue;
        p.y += p.fYSpeed;
        p.XSpeed.Step();
        p.Brightness.Step();
    }
}

FLASHPARTICLE& CExpDamageEx::NextParticle()
{
    FLASHPARTICLE& p = m_Particles[m_nNext];
    m_nNext = (m_nNext + 1) % EXPDAMAGEEX_PARTICLES;
    return p;
}

int CExpDamageEx::EmitDefault()
{
    // The count runs on by its Param.txt step without end; more than the particles at once would
    // only overwrite themselves.
    const int n = std::clamp(FloatToInt(m_BurstCount.fValue), 0, EXPDAMAGEEX_PARTICLES);
    m_BurstCount.Step();
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwLastBurst > m_dwBurstInterval) {
        float d[kDamageParams];
        for (int i = 0; i < kDamageParams; i++)
            d[i] = GetParamFloat("DEBUG_DAMAGE", (unsigned)i, kDamageDefaults[i]);
        CSubtractiveRandom& r = GetRandom();
        if (!r.IsSeeded())
            r.Seed((uint32_t)GetLookRandom().Rand());
        for (int k = 0; k < n; k++) {
            FLASHPARTICLE& p = NextParticle();
            p.y = NextFraction(r, 32767.0f) * (d[10] - d[9]) + d[9];
            p.x = NextFraction(r, 32767.0f) * (d[10] - d[9]) + d[9];
            p.z = 0.0f;
            p.XSpeed.Set(d[2], NextFraction(r, 32767.0f) * (d[4] - d[3]) + d[3], 0.0f, 0.0f, 0);
            p.fYSpeed = NextFraction(r, 32767.0f) * (d[1] - d[0]) + d[0];
            p.Brightness.Set(d[5], d[6], 0.0f, 0.0f, 0);
            p.bDead = 0;
        }
        m_dwBurstInterval = (DWORD)(int)d[11];
        m_dwLastBurst = dwNow;
    }
    return n;
}

int CExpDamageEx::EmitRing()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_nNext < EXPDAMAGEEX_RING) {
        for (int k = 0; k < EXPDAMAGEEX_RING; k++) {
            FLASHPARTICLE& p = NextParticle();
            const float fAngle = (float)k * kRingStep;
            p.XSpeed.Set(std::cos(fAngle) * kRingXSpeed, 0.0f, 0.0f, 0.0f, 0);
            p.fYSpeed = std::sin(fAngle) * kRingYSpeed;
            p.x = p.y = p.z = 0.0f;
            p.Brightness.Set(0.6f, -0.03f, 0.0f, 0.0f, 0);
            p.bDead = 0;
        }
        m_dwBurstInterval = kRingLife;
        m_dwLastBurst = dwNow;
    }
    return dwNow - m_dwLastBurst > m_dwBurstInterval ? 0 : EXPDAMAGEEX_RING;
}

int CExpDamageEx::CountLive() const
{
    int n = 0;
    for (const FLASHPARTICLE& p : m_Particles)
        n += p.bDead ? 0 : 1;
    return n;
}

int CExpDamageEx::Render(IDirect3DDevice7* lpDevice)
{
    if (m_bStopped)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DXMATRIX mTurn, mPoint, mPattern;
    D3DXMatrixRotationZ(&mTurn, m_fAngle);
    D3DXMatrixTranslation(&mPoint, m_fX, m_fY, m_fZ);
    D3DXMatrixMultiply(&mPattern, &mTurn, &mPoint);
    int bOk = 1;
    for (int i = 0; i < EXPDAMAGEEX_PARTICLES && bOk; i++) {
        const FLASHPARTICLE& p = m_Particles[i];
        if (p.bDead)
            continue;
        D3DXMATRIX mMove, mLocal;
        D3DXMatrixTranslation(&mMove, p.x, p.y, p.z);
        D3DXMatrixMultiply(&mLocal, &mMove, &mPattern);
        SetBrightness(p.Brightness.fValue);
        bOk = DrawLitQuad(lpDevice, s_lpFlash, m_Quad, mLocal, mSaved);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return bOk;
}
