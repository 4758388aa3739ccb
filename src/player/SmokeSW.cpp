#include "player/SmokeSW.h"

#include <algorithm>

#include "effect/EffectRandom.h"
#include "engine/RenderState.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"
#include "player/WeaponDraw.h"

namespace {

// The puffs' looks only: their own generators, never the game's.
CEffectRandom& PuffRandom()
{
    static CEffectRandom s_Random;
    return s_Random;
}

CSubtractiveRandom& JitterGenerator()
{
    static CSubtractiveRandom s_Random;
    return s_Random;
}

CSubtractiveRandom& JitterRandom()
{
    CSubtractiveRandom& r = JitterGenerator();
    if (!r.IsSeeded())
        r.Seed((uint32_t)PuffRandom().Rand());
    return r;
}

// A value in (-0.5, 0].
float Jitter()
{
    return -(float)(JitterRandom().Next() % 1000u) / 2000.0f;
}

} // namespace

void CSmokeSW::SeedLooks(uint32_t nSeed)
{
    PuffRandom().Srand(nSeed);
    JitterGenerator().Seed((uint32_t)PuffRandom().Rand());
}

CSmokeSW::CSmokeSW()
{
    D3DXMATRIX mIdentity;
    D3DXMatrixIdentity(&mIdentity);
    m_Matrix = mIdentity;
    MakeQuadVertices(1.0f, 1.0f, m_Vertices);
    SetCorners();
}

int CSmokeSW::SetTexture(IDirectDrawSurface7* lpTexture)
{
    if (!lpTexture)
        return 0;
    Stop();
    m_lpTexture = lpTexture;
    return 1;
}

void CSmokeSW::SetStartColor(float r, float g, float b)
{
    m_fStart[0] = r;
    m_fStart[1] = g;
    m_fStart[2] = b;
}

void CSmokeSW::SetEndColor(float r, float g, float b)
{
    m_fEnd[0] = r;
    m_fEnd[1] = g;
    m_fEnd[2] = b;
}

void CSmokeSW::SetCorners()
{
    const float h = m_fHalf;
    const float xs[4] = {-h, h, h, -h}, ys[4] = {h, h, -h, -h};
    for (int i = 0; i < 4; i++) {
        m_Vertices[i].x = xs[i];
        m_Vertices[i].y = ys[i];
        m_Vertices[i].z = 0.0f;
    }
}

void CSmokeSW::Reset()
{
    SetCorners();
    std::copy(m_fStart, m_fStart + 3, m_fColor);
    m_fStep = m_fStepSetting;
    SetFanColor(m_Vertices, ColorOf(m_fColor[0], m_fColor[1], m_fColor[2]));
    m_fScale = 0.5f;
    m_fGrowth = 0.01f;
    m_bGrowing = PuffRandom().Rand() & 1;
    m_fMaxScale = 1.0f;
    m_bFinished = 0;
}

void CSmokeSW::SetQuadSize(int nWidth, int nHeight)
{
    if (!m_lpTexture)
        return;
    MakeQuadVertices((float)nWidth, (float)nHeight, m_Vertices);
    SetFanColor(m_Vertices, ColorOf(m_fColor[0], m_fColor[1], m_fColor[2]));
    SetCorners();
}

void CSmokeSW::ColorVertices()
{
    if (!m_bJitter) {
        SetFanColor(m_Vertices, ColorOf(m_fColor[0], m_fColor[1], m_fColor[2]));
        return;
    }
    for (D3DLVERTEX& v : m_Vertices) {
        float c[3];
        for (int i = 0; i < 3; i++)
            c[i] = std::max(m_fColor[i] + Jitter(), m_fEnd[i]);
        v.color = ColorOf(c[0], c[1], c[2]);
    }
}

// A channel stops at its end colour, so a puff that has faded stays dark instead of wrapping. A
// puff without a step (the missiles' trails) keeps its colour and shows until it is stopped.
int CSmokeSW::Update()
{
    if (m_bFinished)
        return 0;
    int nDone = 0;
    for (int i = 0; i < 3; i++) {
        m_fColor[i] += m_fStep;
        const bool bReached = m_fStep < 0.0f   ? m_fColor[i] <= m_fEnd[i]
                              : m_fStep > 0.0f ? m_fColor[i] >= m_fEnd[i]
                                               : m_fColor[i] == m_fEnd[i];
        if (bReached) {
            m_fColor[i] = m_fEnd[i];
            nDone++;
        }
    }
    ColorVertices();
    if (m_bGrowing) {
        m_fScale += m_fGrowth;
        if (m_fScale >= m_fMaxScale)
            m_bGrowing = 0;
    }
    if (nDone == 3)
        m_bFinished = 1;
    return nDone == 3;
}

int CSmokeSW::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DXMATRIX mScale, mMove, mTemp, mLocal;
    D3DXMatrixScaling(&mScale, m_fScale, m_fScale, 1.0f);
    D3DXMatrixTranslation(&mMove, m_vPos.x, m_vPos.y, m_vPos.z);
    D3DXMatrixMultiply(&mTemp, &mScale, &m_Matrix);
    D3DXMatrixMultiply(&mLocal, &mTemp, &mMove);
    return DrawWeaponFan(lpDevice, m_lpTexture, m_Vertices, mLocal);
}
