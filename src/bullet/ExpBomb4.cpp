#include "bullet/ExpBomb4.h"

#include <cmath>

#include "bullet/EffectTexture.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"

namespace {

const DWORD kFrameInterval = 15;
const float kPictureHalf = 128.0f;
const float kSparkHalf = 10.0f;
const float kSparkBrake = -0.4f;
const float kSparkFade = -0.2f;

IDirectDrawSurface7* s_lpFrames[EXPBOMB_FRAMES];
// [row * colours + colour]: row 0 is the brightest.
IDirectDrawSurface7* s_lpBalls[EXPBOMB_COLORS * EXPBOMB_BRIGHTNESS_ROWS];

// A draw of the runtime's generator, as a fraction in [0, 1).
float RandFraction()
{
    return (float)GetExplosionRandom().Rand() / 32768.0f;
}

// A draw of the class generator, as a fraction in [0, 1).
float NextFraction(CSubtractiveRandom& r)
{
    return (float)(r.Next() % 32767u) / 32768.0f;
}

} // namespace

CExpBomb4::CExpBomb4()
{
    MakeLitQuad(m_PictureQuad, kPictureHalf, 0xFFFFFFFF);
    MakeLitQuad(m_SparkQuad, kSparkHalf, 0xFFFFFFFF);
    for (EXPSPARK& s : m_Sparks) {
        s = EXPSPARK{};
        s.Fade.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
        s.Motion.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
    }
}

CSubtractiveRandom& CExpBomb4::GetRandom()
{
    static CSubtractiveRandom s_Random;
    return s_Random;
}

int CExpBomb4::LoadShared(IDirect3DDevice7* lpDevice)
{
    ReleaseShared();
    // Frame i at column i mod 4, row i div 4; a missing sheet leaves the frames null.
    LoadCellTextures(lpDevice, EXPBOMB_SHEET_PATH, EXPBOMB_CELL, EXPBOMB_CELL, 4, 3, s_lpFrames);
    return LoadCellTextures(lpDevice, EXPBOMB_BALL_PATH, EXPBOMB_BALL_CELL, EXPBOMB_BALL_CELL, EXPBOMB_COLORS,
                            EXPBOMB_BRIGHTNESS_ROWS, s_lpBalls);
}

void CExpBomb4::ReleaseShared()
{
    ReleaseTextures(s_lpFrames, EXPBOMB_FRAMES);
    ReleaseTextures(s_lpBalls, EXPBOMB_COLORS * EXPBOMB_BRIGHTNESS_ROWS);
}

IDirectDrawSurface7* CExpBomb4::GetFrameTexture(int nFrame)
{
    return nFrame >= 0 && nFrame < EXPBOMB_FRAMES ? s_lpFrames[nFrame] : nullptr;
}

IDirectDrawSurface7* CExpBomb4::GetBallTexture(int nColor, int nRow)
{
    if (nColor < 0 || nColor >= EXPBOMB_COLORS || nRow < 0 || nRow >= EXPBOMB_BRIGHTNESS_ROWS)
        return nullptr;
    return s_lpBalls[nRow * EXPBOMB_COLORS + nColor];
}

void CExpBomb4::StartSpark(EXPSPARK& s)
{
    CSubtractiveRandom& r = GetRandom();
    s.nColor = (int)(NextFraction(r) * 8.0f);
    const float fAngle = NextFraction(r) * 6.28f;
    const float fRadius = RandFraction() * m_fStartRadius;
    s.x = std::cos(fAngle) * fRadius;
    s.y = std::sin(fAngle) * fRadius;
    s.z = 0.0f;
    s.fBrightness = 1.0f;
    const float fSpeed = RandFraction() * (m_fHighestSpeed - m_fLowestSpeed) + m_fLowestSpeed;
    s.Motion.Set(fSpeed, kSparkBrake, 0.0f, fSpeed, 1);
    s.fAngle = fAngle;
    s.nLife = (int)(RandFraction() * (float)(m_nLongestLife - m_nShortestLife) + (float)m_nShortestLife);
    s.nStartLife = s.nLife;
    s.Fade.Set(kSparkFade, 0.0f, 0.0f, 0.0f, 0);
}

void CExpBomb4::Begin()
{
    Stop();
    m_nFrame = 0;
    // Colours and angles are looks only; the lives come from the explosions' own generator, which a
    // first burst of the run must not shift.
    if (!GetRandom().IsSeeded())
        GetRandom().Seed((uint32_t)GetLookRandom().Rand());
    for (EXPSPARK& s : m_Sparks)
        StartSpark(s);
    m_dwFrameInterval = kFrameInterval;
    m_dwLastFrame = CAppTimer::GetElapsed(0);
    m_bIdle = 0;
}

void CExpBomb4::Stop()
{
    m_nFrame = 0;
    m_bIdle = 1;
    if (m_pOwner) {
        m_pOwner->Release();
        m_pOwner = nullptr;
    }
}

void CExpBomb4::Update()
{
    if (m_bIdle)
        return;
    int bAdvanced = 0;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwLastFrame > m_dwFrameInterval) {
        m_nFrame++;
        m_dwLastFrame = dwNow;
        bAdvanced = m_nFrame < EXPBOMB_FRAMES;
    }
    MoveParticles();
    for (const EXPSPARK& s : m_Sparks) {
        if (s.nLife > 0)
            return;
    }
    if (!bAdvanced)
        Stop();
}

void CExpBomb4::MoveParticles()
{
    if (m_bIdle)
        return;
    for (EXPSPARK& s : m_Sparks) {
        if (s.nLife <= 0)
            continue;
        s.Motion.Step();
        s.x += std::cos(s.fAngle) * s.Motion.fValue;
        s.y += std::sin(s.fAngle) * s.Motion.fValue;
        s.x += m_vDrift.x;
        s.y += m_vDrift.y;
        s.z += m_vDrift.z;
        if (s.Motion.nReached) {
            s.fBrightness += s.Fade.fValue;
            if (s.fBrightness < 0.0f)
                s.fBrightness = 0.0f;
            s.Fade.Step();
        }
        s.nLife--;
    }
}

D3DVECTOR* CExpBomb4::GetPosition(D3DVECTOR* pOut)
{
    *pOut = D3DVECTOR{{m_fX}, {-m_fY}, {m_fZ}};
    return pOut;
}

int CExpBomb4::Render(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DXMATRIX mPoint;
    D3DXMatrixTranslation(&mPoint, m_fX, -m_fY, m_fZ);
    int bOk = 1;
    if (m_nFrame < EXPBOMB_FRAMES && m_bPicture)
        bOk = DrawLitQuad(lpDevice, s_lpFrames[m_nFrame], m_PictureQuad, mPoint, mSaved);
    for (int i = 0; i < EXPBOMB_SPARKS && bOk; i++) {
        const EXPSPARK& s = m_Sparks[i];
        D3DXMATRIX mSpark, mLocal;
        D3DXMatrixTranslation(&mSpark, s.x, s.y, s.z);
        D3DXMatrixMultiply(&mLocal, &mPoint, &mSpark);
        const int nRow = EXPBOMB_BRIGHTNESS_ROWS - 1 - (int)(s.fBrightness * 9.0f);
        bOk = DrawLitQuad(lpDevice, GetBallTexture(s.nColor, nRow), m_SparkQuad, mLocal, mSaved);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return bOk;
}
