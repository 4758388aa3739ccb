#include "bullet/ExpStarCir.h"

#include <cmath>

#include "bullet/EffectTexture.h"
#include "bullet/ExpDamage.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"

namespace {

const char kKey[] = "DEBUG_EXP_CRUSH";
const float kStarHalf = 16.0f;
const float kStartRadius = 10.0f;
const float kAngleStep = 0.3925f;

} // namespace

CExpStarCir::CExpStarCir()
{
    for (CIRCLESTAR& s : m_Stars) {
        s = CIRCLESTAR{};
        s.bDead = 1;
    }
    m_Brightness = ACCINFO{};
    MakeLitQuad(m_Quad, kStarHalf, 0xFFFFFFFF);
}

void CExpStarCir::Start()
{
    Stop();
    const float v = GetParamFloat(kKey, 0, 15.0f);
    const float d = GetParamFloat(kKey, 1, 100.0f);
    // No travel distance: the stars stay on the start circle.
    const bool bStill = d <= 0.0f;
    const float a = bStill ? 0.0f : v * v / (2.0f * d);
    const float fSign = v > 0.0f ? 1.0f : (v < 0.0f ? -1.0f : 0.0f);
    for (int k = 0; k < EXPSTARCIR_STARS; k++) {
        CIRCLESTAR& s = m_Stars[k];
        s.fAngle = (float)k * kAngleStep;
        s.x = std::cos(s.fAngle) * kStartRadius;
        s.y = std::sin(s.fAngle) * kStartRadius;
        s.z = 0.0f;
        if (v >= 0.0f)
            s.Speed.Set(v, -fSign * a, 0.0f, v, 1);
        else
            s.Speed.Set(v, -fSign * a, v, 0.0f, 1);
        s.Speed.nReached = bStill ? 1 : 0;
        s.nColor = 0;
        s.bDead = 0;
    }
    m_Brightness.Set(1.0f, -0.1f, 0.0f, 0.0f, 0);
    m_nCount = 0;
    m_bStopped = 0;
    CShowableSet::Register(this, 0);
}

void CExpStarCir::Stop()
{
    for (CIRCLESTAR& s : m_Stars)
        s.bDead = 1;
    m_bStopped = 1;
    CShowableSet::Unregister(this, 0);
}

void CExpStarCir::Update()
{
    if (m_bStopped)
        return;
    for (CIRCLESTAR& s : m_Stars) {
        if (s.bDead)
            continue;
        if (!s.Speed.nReached) {
            s.x += std::cos(s.fAngle) * s.Speed.fValue;
            s.y += std::sin(s.fAngle) * s.Speed.fValue;
            s.Speed.Step();
        }
        s.nColor = (s.nColor + 1) % EXPDAMAGE_STAR_KINDS;
    }
    SetQuadColor(m_Quad, GreyOf(m_Brightness.fValue));
    m_nCount++;
    if (m_nCount > GetParamInt(kKey, 2, 10))
        m_Brightness.Step();
    if (m_nCount > GetParamInt(kKey, 3, 20))
        Stop();
}

int CExpStarCir::Render(IDirect3DDevice7* lpDevice)
{
    if (m_bStopped)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    int bOk = 1;
    for (int k = 0; k < EXPSTARCIR_STARS && bOk; k++) {
        const CIRCLESTAR& s = m_Stars[k];
        if (s.bDead)
            continue;
        D3DXMATRIX mMove;
        D3DXMatrixTranslation(&mMove, m_fX + s.x, m_fY + s.y, m_fZ + s.z);
        bOk = DrawLitQuad(lpDevice, CExpDamage::GetStarTexture(s.nColor, k % EXPDAMAGE_STAR_FRAMES), m_Quad, mMove,
                          mSaved);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return bOk;
}
