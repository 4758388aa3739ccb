#include "bullet/EBVulcanEx.h"

#include <cmath>

#include "bullet/EffectTexture.h"
#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"
#include "player/PBullet.h"

namespace {

const float kSpeed = 30.0f;
const float kSegmentGap = 60.0f;
const float kBirthBrightness = 0.8f;
const float kFadeStep = 0.2f;
const DWORD kMuzzleOverMs = 50;
const float kHitLowering = 16.0f;
const float kHitStretch = 4.0f;

} // namespace

CEBVulcanEx::CEBVulcanEx()
{
    m_Speed = ACCINFO{};
    MakeQuadVertices((float)EBVULCAN_MUZZLE_SIZE, (float)EBVULCAN_MUZZLE_SIZE, m_Muzzle);
    MakeQuadVertices(0.0f, 0.0f, m_Template);
    for (VULCANSEGMENT& s : m_Segments) {
        s = VULCANSEGMENT{};
        s.bDead = 1;
    }
    m_bIdle = 1;
}

CEBVulcanEx::~CEBVulcanEx()
{
    Release();
    CScrollableSet::Unregister(this);
}

int CEBVulcanEx::Load(IDirect3DDevice7* lpDevice, int nLevel)
{
    SafeRelease(m_lpTexture);
    IDirectDrawSurface7* lpPicture = CPBullet::GetVulcanImage(EBVULCAN_KIND, nLevel);
    if (!lpPicture)
        return 0;
    // The screen test of the head uses the picture's size.
    GetSurfaceSize(lpPicture, &m_nWidth, &m_nHeight);
    m_lpTexture = CreateTextureFromSurface(lpDevice, lpPicture, nullptr, 0);
    MakeQuadVertices((float)m_nWidth, (float)m_nHeight, m_Template);
    for (VULCANSEGMENT& s : m_Segments)
        MakeQuadVertices((float)m_nWidth, (float)m_nHeight, s.Quad);
    MakeQuadVertices((float)EBVULCAN_MUZZLE_SIZE, (float)EBVULCAN_MUZZLE_SIZE, m_Muzzle);
    return m_lpTexture ? 1 : 0;
}

void CEBVulcanEx::Release()
{
    Stop();
    SafeRelease(m_lpTexture);
}

void CEBVulcanEx::SetMuzzlePoint(float x, float y, float z)
{
    m_vMuzzle = D3DVECTOR{{x}, {y}, {z}};
}

int CEBVulcanEx::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

void CEBVulcanEx::LaySegment()
{
    const int i = m_nNextSegment;
    VULCANSEGMENT& s = m_Segments[i];
    if (i > 0) {
        const VULCANSEGMENT& prev = m_Segments[i - 1];
        s.x = prev.x + std::cos(m_fAngle) * kSegmentGap;
        s.y = prev.y + std::sin(m_fAngle) * kSegmentGap;
    } else {
        s.x = m_vPos.x;
        s.y = m_vPos.y;
    }
    s.z = 0.0f;
    s.fBrightness = kBirthBrightness;
    s.bDead = 0;
    SetQuadColor(s.Quad, GreyOf(kBirthBrightness));
    m_nNextSegment = (i + 1) % EBVULCAN_SEGMENTS;
}

int CEBVulcanEx::Fire(int bPlaySound)
{
    Stop();
    m_Speed.Set(kSpeed, 0.0f, 0.0f, 0.0f, 0);
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    m_dwMuzzleFrameTime = 40;
    m_dwFireTime = dwNow;
    m_nMuzzleFrame = 0;
    m_bMuzzleOver = 0;
    m_vPos = D3DVECTOR{{m_vMuzzle.x - 20.0f}, {m_vMuzzle.y + 3.0f}, {m_vMuzzle.z}};
    m_vPrev = D3DVECTOR{{m_vMuzzle.x - 20.0f}, {m_vMuzzle.y}, {m_vMuzzle.z}};
    for (VULCANSEGMENT& s : m_Segments) {
        s.bDead = 1;
        s.fBrightness = kBirthBrightness;
        SetQuadColor(s.Quad, GreyOf(kBirthBrightness));
    }
    m_nNextSegment = 0;
    m_dwFadeInterval = 50;
    m_dwLastFade = dwNow;
    LaySegment();
    m_fDistance = 0.0f;
    if (bPlaySound)
        PlaySoundFile(EBVULCAN_SOUND);
    return JoinRegistries(this);
}

void CEBVulcanEx::Stop()
{
    LeaveRegistries(this);
}

int CEBVulcanEx::CountLiveSegments() const
{
    int n = 0;
    for (const VULCANSEGMENT& s : m_Segments)
        n += s.bDead ? 0 : 1;
    return n;
}

void CEBVulcanEx::Move()
{
    if (m_bIdle)
        return;
    m_vPrev = m_vPos;
    m_vPos.x += std::cos(m_fAngle) * m_Speed.fValue;
    m_vPos.y += std::sin(m_fAngle) * m_Speed.fValue;
    m_fDistance += m_Speed.fValue;
    m_Speed.Step();
    if (m_fDistance >= kSegmentGap) {
        LaySegment();
        m_fDistance -= kSegmentGap;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwFireTime > m_dwMuzzleFrameTime)
        m_nMuzzleFrame = 1;
    if (dwNow - m_dwFireTime > kMuzzleOverMs)
        m_bMuzzleOver = 1;
    if (dwNow - m_dwLastFade > m_dwFadeInterval) {
        for (VULCANSEGMENT& s : m_Segments) {
            if (s.bDead)
                continue;
            s.fBrightness -= kFadeStep;
            if (s.fBrightness < 0.0f) {
                s.fBrightness = 0.0f;
                s.bDead = 1;
            }
            SetQuadColor(s.Quad, GreyOf(s.fBrightness));
        }
        m_dwLastFade = dwNow;
    }
    const float w = (float)m_nWidth, h = (float)m_nHeight, fRow = -m_vPos.y;
    if (-w <= m_vPos.x && m_vPos.x <= 640.0f + w && -h <= fRow && fRow <= 480.0f + h)
        return;
    m_fDistance = 0.0f;
    if (CountLiveSegments() == 0)
        Stop();
}

void CEBVulcanEx::GetHitQuad(D3DVECTOR* pOut)
{
    CEBulletPart::GetHitQuad(pOut);
    if (m_vPrev.x < pOut[0].x)
        pOut[0].x = pOut[3].x = m_vPrev.x;
    else if (m_vPrev.x > pOut[1].x)
        pOut[1].x = pOut[2].x = m_vPrev.x;
    pOut[0].y -= kHitStretch;
    pOut[1].y -= kHitStretch;
    pOut[2].y += kHitStretch;
    pOut[3].y += kHitStretch;
    LowerQuad(pOut, kHitLowering + m_fViewOffset);
}

int CEBVulcanEx::RenderSegments(IDirect3DDevice7* lpDevice, D3DMATRIX& mSaved, const D3DMATRIX& mTurn)
{
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    int nResult = 1;
    D3DXMATRIX mMove, mLocal;
    for (const VULCANSEGMENT& s : m_Segments) {
        if (s.bDead)
            continue;
        D3DXMatrixTranslation(&mMove, s.x, s.y, s.z);
        D3DXMatrixMultiply(&mLocal, &mTurn, &mMove);
        nResult &= DrawLitQuad(lpDevice, m_lpTexture, s.Quad, mLocal, mSaved);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return nResult;
}

int CEBVulcanEx::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    D3DXMATRIX mTurn, mMove, mLocal;
    D3DXMatrixRotationZ(&mTurn, m_fAngle);
    int nResult = RenderSegments(lpDevice, mSaved, mTurn);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DXMatrixTranslation(&mMove, m_vPos.x, m_vPos.y, m_vPos.z);
    D3DXMatrixMultiply(&mLocal, &mTurn, &mMove);
    nResult &= DrawLitQuad(lpDevice, m_lpTexture, m_Template, mLocal, mSaved);
    if (m_bMuzzleEnabled && !m_bMuzzleOver) {
        D3DXMatrixTranslation(&mMove, m_vMuzzle.x, m_vMuzzle.y, m_vMuzzle.z);
        D3DXMatrixMultiply(&mLocal, &mTurn, &mMove);
        nResult &= DrawLitQuad(lpDevice, CPBullet::GetMuzzleImage(EBVULCAN_KIND, m_nMuzzleFrame), m_Muzzle, mLocal,
                               mSaved);
    }
    lpDevice->SetTexture(0, nullptr);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return nResult;
}
