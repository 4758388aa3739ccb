#include "bullet/EBSaber.h"

#include <cmath>

#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"

namespace {

const float kPairAngle = 0.157f;
const float kAngleToIndex = 12.738853f;
const float kMaxBladeAngle = 3.14f;
const float kFadeFactor = 7.0f;
const float kQuarterTurn = 1.57f;
const float kHitLowering = 16.0f;
const float kSaberReach = 10.0f;
const float kThrowShift = 0.725f;

void SetCrescentVertex(D3DLVERTEX& v, float x, float y, D3DCOLOR dwColor, float u)
{
    v.x = x;
    v.y = y;
    v.z = 0.0f;
    v.dwReserved = 0;
    v.color = dwColor;
    v.specular = 0;
    v.tu = u;
    v.tv = 0.0f;
}

int PackComponent(float c)
{
    const int n = (int)(c * 255.0f);
    return n < 0 ? 0 : (n > 255 ? 255 : n);
}

// The rectangle (x0, y0)-(x1, y1) with its corners in order as a quad.
void MakeBoxQuad(D3DVECTOR* pOut, float x0, float y0, float x1, float y1)
{
    const float fLeft = std::fmin(x0, x1), fRight = std::fmax(x0, x1);
    const float fTop = std::fmin(y0, y1), fBottom = std::fmax(y0, y1);
    pOut[0] = D3DVECTOR{{fLeft}, {fTop}, {0.0f}};
    pOut[1] = D3DVECTOR{{fRight}, {fTop}, {0.0f}};
    pOut[2] = D3DVECTOR{{fRight}, {fBottom}, {0.0f}};
    pOut[3] = D3DVECTOR{{fLeft}, {fBottom}, {0.0f}};
}

int HurtOnContact(CEBulletPart* pSelf, CStage* pStage, CCrushable* pOther)
{
    return !pSelf->IsIdle() && pOther ? pOther->HitByEnemyBullet(pStage, pSelf) : 0;
}

// Nothing scores or breaks on a saber: the bullet alone decides what meeting it means.
int LeaveToBullet(CEBulletPart* pSelf, CStage* pStage, CCrushable* pBullet)
{
    return !pSelf->IsIdle() && pBullet ? pBullet->HitByEnemyBullet(pStage, pSelf) : 0;
}

} // namespace

void BuildCrescent(D3DLVERTEX* pOut, float fRadius, float fEllipseX, float fEllipseY, D3DCOLOR dwOuter)
{
    for (int k = 0; k < EBSABER_VERTEX_NUM / 2; k++) {
        const float a = (float)k * kPairAngle;
        const float c = std::cos(a), s = std::sin(a);
        SetCrescentVertex(pOut[2 * k], fRadius * fEllipseX * c, fRadius * fEllipseY * s, 0xFF000000, 0.0f);
        SetCrescentVertex(pOut[2 * k + 1], fRadius * c, fRadius * s, dwOuter, 0.8f);
    }
}

D3DCOLOR PackSaberColor(float r, float g, float b)
{
    return 0xFF000000u | (DWORD)PackComponent(r) << 16 | (DWORD)PackComponent(g) << 8 | (DWORD)PackComponent(b);
}

int RenderCrescent(IDirect3DDevice7* lpDevice, const D3DLVERTEX* pVertices, const D3DVECTOR& vScale, float fTurn,
                   const D3DVECTOR& v)
{
    DWORD dwSrcBlend = 0, dwDestBlend = 0;
    lpDevice->GetRenderState(D3DRENDERSTATE_SRCBLEND, &dwSrcBlend);
    lpDevice->GetRenderState(D3DRENDERSTATE_DESTBLEND, &dwDestBlend);
    lpDevice->SetTexture(0, nullptr);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    // Turned first, then stretched: the stretch then runs along the screen's x, so the band covers
    // the hit area beside the centre.
    D3DXMATRIX mTurn, mStretch, mMove, mTmp, mWorld;
    D3DXMatrixRotationZ(&mTurn, fTurn);
    D3DXMatrixScaling(&mStretch, -vScale.x, vScale.y, vScale.z);
    D3DXMatrixTranslation(&mMove, v.x, v.y, v.z);
    D3DXMatrixMultiply(&mTmp, &mTurn, &mStretch);
    D3DXMatrixMultiply(&mWorld, &mTmp, &mMove);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_LVERTEX,
                                               const_cast<D3DLVERTEX*>(pVertices), EBSABER_VERTEX_NUM, 0);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, dwSrcBlend);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, dwDestBlend);
    return FAILED(hr) ? 0 : 1;
}

// ---- The swing --------------------------------------------------------------------------------------

CEBSaber::CEBSaber()
{
    BuildCrescent(m_Vertices, m_fRadius, m_fEllipseX, m_fEllipseY, 0xFF000000);
    for (auto& c : m_fColor)
        c[0] = c[1] = c[2] = 0.0f;
    m_bIdle = 1;
}

CEBSaber::~CEBSaber()
{
    Release();
    Stop();
}

void CEBSaber::SetVertexColor(int i, float r, float g, float b)
{
    // The trail of a blade near either end would run off the band: what lies beyond it is dropped.
    if (i < 0 || i >= EBSABER_VERTEX_NUM)
        return;
    m_fColor[i][0] = r;
    m_fColor[i][1] = g;
    m_fColor[i][2] = b;
    m_Vertices[i].color = PackSaberColor(r, g, b);
}

void CEBSaber::SetBlade(float fAngle, float r, float g, float b)
{
    if (!(fAngle >= 0.0f && fAngle <= kMaxBladeAngle))
        return;
    const int i = (int)(fAngle * kAngleToIndex);
    const float d = m_fTrailStep;
    SetVertexColor(i + 1, r, g, b);
    SetVertexColor(i, r - d, g - d, b - d);
    for (int n = 1; i - 2 * n > 0; n++) {
        const float fNear = d * (float)n, fFar = d * (float)(n + 1);
        SetVertexColor(i + 1 - 2 * n, r - fNear, g - fNear, b - fNear);
        SetVertexColor(i - 2 * n, r - fFar, g - fFar, b - fFar);
    }
    for (int n = 1; i + 1 + 2 * n <= EBSABER_VERTEX_NUM - 2; n++) {
        const float fNear = d * (float)n, fFar = d * (float)(n + 1);
        SetVertexColor(i + 1 + 2 * n, r - fNear, g - fNear, b - fNear);
        SetVertexColor(i + 2 * n, r - fFar, g - fFar, b - fFar);
    }
}

int CEBSaber::Collide(CStage* pStage, CCrushable* pOther)
{
    return HurtOnContact(this, pStage, pOther);
}

int CEBSaber::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    return LeaveToBullet(this, pStage, pBullet);
}

void CEBSaber::GetQuad(D3DVECTOR* pOut)
{
    if (m_nDirection == 0) {
        MakeBoxQuad(pOut, 0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    const float fReach = m_vScale.x * m_fRadius + kSaberReach;
    const float x = m_vCenter.x;
    const float fRow = -m_vCenter.y + m_fViewOffset + kHitLowering;
    const float fHalf = m_vScale.y * m_fRadius;
    if (m_nDirection >= 1)
        MakeBoxQuad(pOut, x - fReach, fRow - fHalf, x, fRow + fHalf);
    else
        MakeBoxQuad(pOut, x, fRow - fHalf, x + fReach, fRow + fHalf);
}

int CEBSaber::Fire()
{
    return JoinRegistries(this);
}

void CEBSaber::Stop()
{
    LeaveRegistries(this);
}

void CEBSaber::Move()
{
    if (m_bIdle)
        return;
    const float d = m_fFadeBase * kFadeFactor;
    bool bAllOut = true;
    for (int i = 0; i < EBSABER_VERTEX_NUM; i++) {
        float* c = m_fColor[i];
        for (int k = 0; k < 3; k++) {
            c[k] -= d;
            if (c[k] < 0.0f)
                c[k] = 0.0f;
            else
                bAllOut = false;
        }
        m_Vertices[i].color = PackSaberColor(c[0], c[1], c[2]);
    }
    // Faded out: harmless and unseen, but still listed until the owner stops it.
    if (bAllOut)
        m_bIdle = 1;
}

int CEBSaber::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle || !lpDevice)
        return 1;
    const float fTurn = m_nDirection >= 1 ? -kQuarterTurn : (m_nDirection < 0 ? kQuarterTurn : 0.0f);
    return RenderCrescent(lpDevice, m_Vertices, m_vScale, fTurn, m_vCenter);
}

// ---- The thrown crescent ----------------------------------------------------------------------------

CEBMoveSaber::CEBMoveSaber()
{
    BuildCrescent(m_Vertices, m_fRadius, m_fEllipseX, m_fEllipseY, 0xFFFFFFFF);
    m_Speed = ACCINFO{};
    m_Speed.fValue = m_Speed.fStart = -1.0f;
    m_bIdle = 1;
}

CEBMoveSaber::~CEBMoveSaber()
{
    Release();
    Stop();
}

int CEBMoveSaber::Collide(CStage* pStage, CCrushable* pOther)
{
    return HurtOnContact(this, pStage, pOther);
}

int CEBMoveSaber::HitByPlayerBullet(CStage* pStage, CCrushable* pBullet)
{
    return LeaveToBullet(this, pStage, pBullet);
}

void CEBMoveSaber::GetQuad(D3DVECTOR* pOut)
{
    const float sx = m_vScale.x * m_fRadius, sy = m_vScale.y * m_fRadius;
    const float fRow = -m_vPos.y + m_fViewOffset + kHitLowering;
    MakeBoxQuad(pOut, m_vPos.x - sx + kSaberReach, fRow - sy * 0.5f, m_vPos.x - sx * 0.5f, fRow + sy * 0.5f);
    const float dx = std::trunc((std::cos(m_fAngle) + 1.0f) * kThrowShift * sx);
    const float dy = std::trunc(-std::sin(m_fAngle) * sy);
    for (int i = 0; i < 4; i++) {
        pOut[i].x += dx;
        pOut[i].y += dy;
    }
}

int CEBMoveSaber::Fire()
{
    Stop();
    m_Speed.fValue = m_Speed.fStart;
    m_Speed.nReached = 0;
    return JoinRegistries(this);
}

void CEBMoveSaber::Stop()
{
    LeaveRegistries(this);
}

void CEBMoveSaber::Move()
{
    if (m_bIdle)
        return;
    m_vPos.x += std::cos(m_fAngle) * m_Speed.fValue;
    m_vPos.y += std::sin(m_fAngle) * m_Speed.fValue;
    m_Speed.Step();
    const float w = m_vScale.x * m_fRadius;
    if (m_vPos.x < -w || m_vPos.x > 640.0f + w)
        Stop();
}

int CEBMoveSaber::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle || !lpDevice)
        return 1;
    return RenderCrescent(lpDevice, m_Vertices, m_vScale, -kQuarterTurn, m_vPos);
}
