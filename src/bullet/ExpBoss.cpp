#include "bullet/ExpBoss.h"

#include <cmath>

#include "bullet/EffectTexture.h"
#include "bullet/SubtractiveRandom.h"
#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"

namespace {

const float kChainRadius = 40.0f;
const DWORD kIntervalStep = 5;
const DWORD kIntervalFloor = 50;
// The chain is fast enough for the smoke once it waits less than this.
const DWORD kSmokeInterval = 100;
const DWORD kSmokeDuration = 10000;
const float kDiscRadius = 10.0f;
const float kDiscAngleStep = 0.3925f;
const float kDiscGrowth = 2.0f;
const float kFadeStep = 0.08f;
const int kPuffsPerEmit = 5;
const float kPuffColorStep = 0.01f;

DWORD Now()
{
    return CAppTimer::GetElapsed(0);
}

float Unit()
{
    return (float)GetLookRandom().Rand() / 32768.0f;
}

D3DCOLOR PuffColor(const SMOKEPUFF& p)
{
    const DWORD r = (DWORD)(int)(p.fRed * 255.0f) & 0xFF;
    const DWORD g = (DWORD)(int)(p.fGreen * 255.0f) & 0xFF;
    const DWORD b = (DWORD)(int)(p.fBlue * 255.0f) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

} // namespace

// ---- The smoke ------------------------------------------------------------------------------------------

CSmokeEx::CSmokeEx()
{
    for (SMOKEPUFF& p : m_Puffs)
        p = SMOKEPUFF{};
    MakeQuadVertices(0.0f, 0.0f, m_Quad);
}

CSmokeEx::~CSmokeEx()
{
    Release();
}

void CSmokeEx::Release()
{
    SafeRelease(m_lpTexture);
}

int CSmokeEx::LoadTexture(IDirect3DDevice7* lpDevice, const char* pszPath)
{
    Release();
    IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpPicture)
        return 0;
    int w = 0, h = 0;
    GetSurfaceSize(lpPicture, &w, &h);
    m_lpTexture = CreateTextureFromSurface(lpDevice, lpPicture, nullptr, 0);
    SafeRelease(lpPicture);
    if (!m_lpTexture)
        return 0;
    MakeQuadVertices((float)w, (float)h, m_Quad);
    return 1;
}

void CSmokeEx::Clear()
{
    for (SMOKEPUFF& p : m_Puffs)
        p.nLife = 0;
    m_bDisabled = 1;
}

void CSmokeEx::Start(DWORD dwDuration)
{
    Clear();
    m_dwEmitInterval = 20;
    m_dwLastEmit = Now();
    m_dwDuration = dwDuration;
    m_dwStart = Now();
    m_bEmitStopped = 0;
    m_bDisabled = 0;
}

void CSmokeEx::Emit(int i)
{
    if (i < 0 || i >= SMOKEEX_PUFFS)
        return;
    SMOKEPUFF& p = m_Puffs[i];
    const float r1 = Unit(), r2 = Unit(), r3 = Unit(), r4 = Unit(), r5 = Unit(), r6 = Unit();
    p.fAngle = r1 * 6.28f;
    p.nLife = (int)(r2 * 17.0f + 3.0f);
    const float d = r3 * 60.0f + 20.0f;
    p.x = std::cos(p.fAngle) * d;
    p.y = std::sin(p.fAngle) * d;
    p.z = 0.0f;
    p.fRed = p.fGreen = p.fBlue = r4 * 0.5f + 0.3f;
    p.Speed.Set(0.0f, r5 * 5.0f, 0.0f, 0.0f, 0);
    p.fScale = r6 * 0.29999995f + 1.0f;
}

void CSmokeEx::Update()
{
    if (m_bDisabled)
        return;
    if (!m_bEmitStopped) {
        const DWORD dwNow = Now();
        if (dwNow - m_dwStart > m_dwDuration) {
            m_bEmitStopped = 1;
        } else if (dwNow - m_dwLastEmit > m_dwEmitInterval) {
            int n = 0;
            for (int i = 0; i < SMOKEEX_PUFFS && n < kPuffsPerEmit; i++) {
                if (m_Puffs[i].nLife < 1) {
                    Emit(i);
                    n++;
                }
            }
            m_dwLastEmit = dwNow;
        }
    }
    for (SMOKEPUFF& p : m_Puffs) {
        if (p.nLife <= 0)
            continue;
        p.x += std::cos(p.fAngle) * p.Speed.fValue;
        p.y += std::sin(p.fAngle) * p.Speed.fValue;
        p.Speed.Step();
        p.fRed -= kPuffColorStep;
        p.fGreen -= kPuffColorStep;
        p.fBlue -= kPuffColorStep;
        p.nLife--;
    }
}

int CSmokeEx::CountAlive() const
{
    int n = 0;
    for (const SMOKEPUFF& p : m_Puffs)
        n += p.nLife > 0;
    return n;
}

int CSmokeEx::Render(IDirect3DDevice7* lpDevice)
{
    if (m_bDisabled || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    int bOk = 1;
    for (const SMOKEPUFF& p : m_Puffs) {
        if (p.nLife <= 0)
            continue;
        SetQuadColor(m_Quad, PuffColor(p));
        D3DXMATRIX mScale, mMove, mLocal;
        D3DXMatrixScaling(&mScale, p.fScale, p.fScale, p.fScale);
        D3DXMatrixTranslation(&mMove, m_fOrigin[0] + p.x, m_fOrigin[1] + p.y, m_fOrigin[2] + p.z);
        D3DXMatrixMultiply(&mLocal, &mScale, &mMove);
        bOk &= DrawLitQuad(lpDevice, m_lpTexture, m_Quad, mLocal, mSaved);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return bOk;
}

// ---- The chain, the burst and the disc -------------------------------------------------------------------

CSubtractiveRandom& CExpBoss::GetRandom()
{
    static CSubtractiveRandom s_Random;
    return s_Random;
}

CExpBoss::CExpBoss()
{
    m_Scale.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
    BuildDisc();
}

CExpBoss::~CExpBoss()
{
    Stop();
    RemoveEffect(&m_Effect);
}

int CExpBoss::Load(IDirect3DDevice7* lpDevice)
{
    Stop();
    m_Smoke.Release();
    for (CExpBombScrollRef& ref : m_Handles)
        ref.m_nStyle = 2;
    m_Effect.SetOuterColor(1.0f, 1.0f, 1.0f);
    m_Effect.SetInnerColor(0.0f, 0.0f, 0.0f);
    m_Effect.SetFade(-0.0f);
    m_Effect.SetParam(10.0f);
    AddEffect(&m_Effect);
    m_Smoke.Load(lpDevice);
    return 1;
}

void CExpBoss::SetPoint(float x, float y, float z)
{
    m_fX = x;
    m_fY = y;
    m_fZ = z;
    m_Smoke.SetOrigin(x, y, z);
}

void CExpBoss::BuildDisc()
{
    m_Disc[0] = D3DLVERTEX{};
    for (int k = 0; k < EXPBOSS_DISC_RIM; k++) {
        D3DLVERTEX& v = m_Disc[k + 1];
        v = D3DLVERTEX{};
        const float a = (float)k * kDiscAngleStep;
        v.x = std::cos(a) * kDiscRadius;
        v.y = std::sin(a) * kDiscRadius;
        v.color = 0xFF000000u;
    }
    m_Disc[EXPBOSS_DISC_VERTICES - 1] = m_Disc[1];
    SetCentreColor();
}

void CExpBoss::SetCentreColor()
{
    m_Disc[0].color = GreyOf(m_fBrightness);
}

void CExpBoss::Start()
{
    Stop();
    m_fBrightness = m_fStartBrightness;
    BuildDisc();
    m_Scale.Set(0.4f, kDiscGrowth, 0.0f, 0.0f, 0);
    m_nState = STATE_CHAIN;
    m_nNextHandle = 0;
    const DWORD dwNow = Now();
    m_dwBurstStart = dwNow;
    m_bBurstDone = 0;
    m_bGrowDone = 1;
    m_dwChainInterval = m_dwNextInterval = m_dwFirstInterval;
    m_dwLastChain = dwNow;
    m_nChainCount = 0;
    m_bFinished = 0;
    m_Smoke.Clear();
    CShowableSet::Register(this, 0);
}

void CExpBoss::Stop()
{
    m_bFinished = 1;
    m_Smoke.Clear();
    CShowableSet::Unregister(this, 0);
}

void CExpBoss::StepChain(DWORD dwNow)
{
    CSubtractiveRandom& r = GetRandom();
    if (!r.IsSeeded())
        r.Seed((uint32_t)GetLookRandom().Rand());
    const float a = (float)(r.Next() % 32767u) * 6.28f / 32768.0f;
    m_Handles[m_nNextHandle].Explode(m_fX + std::cos(a) * kChainRadius, m_fY + std::sin(a) * kChainRadius, 0);
    m_nNextHandle = (m_nNextHandle + 1) % EXPBOSS_HANDLES;
    m_dwNextInterval = m_dwNextInterval >= kIntervalFloor + kIntervalStep ? m_dwNextInterval - kIntervalStep
                                                                          : kIntervalFloor;
    if (m_dwNextInterval < kSmokeInterval && m_Smoke.m_bDisabled)
        m_Smoke.Start(kSmokeDuration);
    m_dwChainInterval = m_dwNextInterval;
    m_dwLastChain = dwNow;
    m_nChainCount++;
}

void CExpBoss::Update()
{
    if (m_bFinished)
        return;
    const DWORD dwNow = Now();
    if (m_nState == STATE_FADING) {
        m_fBrightness -= kFadeStep;
        if (m_fBrightness < 0.0f) {
            m_fBrightness = 0.0f;
            Stop();
        }
        SetCentreColor();
    } else {
        if (m_nState == STATE_GROWING) {
            m_Scale.Step();
            if (dwNow - m_dwGrowStart > m_dwGrowTime && !m_bGrowDone) {
                m_bGrowDone = 1;
                m_nState = STATE_FADING;
            }
        }
        if (m_nState != STATE_FADING && dwNow - m_dwLastChain > m_dwChainInterval)
            StepChain(dwNow);
        if (!m_bBurstDone && dwNow - m_dwBurstStart > m_dwBurstDelay) {
            m_bBurstDone = 1;
            m_Effect.SetPosition(m_fX, m_fY);
            m_Effect.Reset();
            m_dwGrowStart = dwNow;
            m_bGrowDone = 0;
            m_Smoke.StopEmit();
            m_nState = STATE_GROWING;
        }
    }
    m_Effect.Update();
    m_Smoke.Update();
}

BOOL CExpBoss::Draw3D(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !lpDevice)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DXMATRIX mScale, mMove, mLocal, mWorld;
    const float s = m_Scale.fValue;
    D3DXMatrixScaling(&mScale, s, s, s);
    D3DXMatrixTranslation(&mMove, m_fX, m_fY, m_fZ);
    D3DXMatrixMultiply(&mLocal, &mScale, &mMove);
    D3DXMatrixMultiply(&mWorld, &mLocal, &mSaved);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->SetTexture(0, nullptr);
    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, m_Disc, EXPBOSS_DISC_VERTICES, 0);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    const BOOL bEffect = RenderEffect(lpDevice, &m_Effect);
    const int bSmoke = m_Smoke.Render(lpDevice);
    return SUCCEEDED(hr) && bEffect && bSmoke ? 1 : 0;
}
