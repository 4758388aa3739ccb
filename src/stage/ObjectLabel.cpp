#include "stage/ObjectLabel.h"

#include <cmath>
#include <cstdio>

#include "engine/AppTimer.h"
#include "engine/Geometry.h"
#include "engine/Log.h"
#include "engine/PCMManagerTask.h"
#include "stage/Object.h"
#include "stage/Stage.h"

namespace {

const char kEnemyDamageWave[] = ".\\GameData\\System\\EnemyDamage.wav";
const int kBurstCount = 5;
const DWORD kBurstDelay = 125;

D3DVECTOR Vec(float x, float y, float z)
{
    D3DVECTOR v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

// Halves away from zero, to one decimal place.
float RoundToOneDecimal(float f)
{
    float fHalf = f < 0.0f ? -0.5f : 0.5f;
    return std::trunc(f * 10.0f + fHalf) / 10.0f;
}

} // namespace

void HITQUAD::SetRect(const RECT& rc)
{
    v[0] = Vec((float)rc.left, (float)rc.top, 0.0f);
    v[1] = Vec((float)rc.right, (float)rc.top, 0.0f);
    v[2] = Vec((float)rc.right, (float)rc.bottom, 0.0f);
    v[3] = Vec((float)rc.left, (float)rc.bottom, 0.0f);
}

void HITQUAD::Clear()
{
    for (D3DVECTOR& c : v)
        c = Vec(0.0f, 0.0f, 0.0f);
}

BOOL HITQUAD::IsEmpty() const
{
    for (const D3DVECTOR& c : v) {
        if (c.x != 0.0f || c.y != 0.0f || c.z != 0.0f)
            return 0;
    }
    return 1;
}

CObjectLabel::CObjectLabel() : CCrushable(CRUSH_LABEL)
{
    m_Flash.Stop();
    m_vPos = Vec(320.0f, 240.0f, 0.0f);
}

CObjectLabel::~CObjectLabel()
{
    DeleteBurst();
    delete m_pExplosion;
}

void CObjectLabel::DeleteBurst()
{
    for (IScrollExplosion*& p : m_pExplosions) {
        delete p;
        p = nullptr;
    }
}

int CObjectLabel::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByLabel(pStage, this) : 0;
}

BOOL CObjectLabel::IsDestroyable()
{
    return GetCrushBits() != 0;
}

int CObjectLabel::HitByPlayerBullet(CStage*, CCrushable* pBullet)
{
    if (!m_pObject || !IsDestroyable() || m_bFinished || !IsExplosionIdle() || m_bCrushed)
        return 0;
    if (!pBullet || pBullet->m_nCategory != CRUSH_PLAYER_BULLET)
        return 0;
    m_nDurability -= static_cast<IPlayerBullet*>(pBullet)->GetPower();
    if (m_nDurability > 0) {
        StartFlash();
        g_PCMManagerTask.Play(kEnemyDamageWave);
        return 1;
    }
    for (int i = 0; i < kBurstCount; i++) {
        if (m_pExplosions[i])
            m_pExplosions[i]->Start(kBurstDelay * (DWORD)i);
    }
    if (m_pExplosion)
        m_pExplosion->Start(kBurstDelay * kBurstCount);
    m_bCrushed = 1;
    return 1;
}

BOOL CObjectLabel::IsFinished()
{
    return m_bFinished;
}

void CObjectLabel::SetObject(CObject* pObj)
{
    if (!pObj)
        RaiseRuntimeAssert("pObj", __FILE__, __LINE__);
    m_pObject = pObj;
}

CObject* CObjectLabel::GetObject()
{
    return m_pObject;
}

void CObjectLabel::SetNumber(int nNumber)
{
    m_nNumber = nNumber;
}

int CObjectLabel::GetNumber()
{
    return m_nNumber;
}

const char* CObjectLabel::GetName()
{
    return m_pObject ? m_pObject->GetName() : nullptr;
}

DWORD CObjectLabel::GetAttribute()
{
    return m_pObject ? m_pObject->GetAttribute() : 0;
}

DWORD CObjectLabel::GetCrushBits()
{
    return m_pObject ? m_pObject->GetCrushBits() : 0;
}

void CObjectLabel::SetLayer(char chLayer)
{
    m_chLayer = chLayer;
}

void CObjectLabel::SetCell(int nColumn, int nRow)
{
    m_nColumn = nColumn;
    m_nRow = nRow;
}

void CObjectLabel::GetCell(int* pnColumn, int* pnRow)
{
    if (pnColumn)
        *pnColumn = m_nColumn;
    if (pnRow)
        *pnRow = m_nRow;
}

void CObjectLabel::SetPos(const D3DVECTOR* pPos)
{
    if (pPos)
        m_vPos = *pPos;
}

void CObjectLabel::SetSpeed(float fSpeed)
{
    m_fSpeed = fSpeed;
}

float CObjectLabel::GetSpeed()
{
    return m_fSpeed;
}

void CObjectLabel::SetTarget(const D3DVECTOR*) {}

void CObjectLabel::SetOffsetY(float fOffset)
{
    m_fOffsetY = fOffset;
}

float CObjectLabel::GetOffsetY()
{
    return m_fOffsetY;
}

HITQUAD* CObjectLabel::GetDamageQuad(HITQUAD* pOut)
{
    if (!m_pObject || m_bFinished || (IsDestroyable() && m_nDurability <= 0)) {
        pOut->Clear();
        return pOut;
    }
    return GetBoxQuad(pOut);
}

HITQUAD* CObjectLabel::GetQuad(HITQUAD* pOut)
{
    if (!m_pObject || m_bFinished || (IsDestroyable() && m_nDurability <= 0)) {
        pOut->Clear();
        return pOut;
    }
    int nW = 0, nH = 0;
    m_pObject->GetSize(&nW, &nH);
    const float x = m_vPos.x, y = m_vPos.y, z = m_vPos.z;
    const float w = (float)nW, h = (float)nH;
    const float h1 = h * 0.33333334f, h2 = h * 0.6666667f;
    const DWORD dwAttr = GetAttribute();
    float yTL = y, yTR = y, yBR = y + h, yBL = y + h;
    if (dwAttr & OBJATTR_RUNUP1) {
        yTL = y + h - 1.0f, yTR = y + h2 - 1.0f, yBR = yBL = y + h + 1.0f;
    } else if (dwAttr & OBJATTR_RUNUP2) {
        yTL = y + h2 - 1.0f, yTR = y + h1 - 1.0f;
    } else if (dwAttr & OBJATTR_RUNUP3) {
        yTL = y + h1 - 1.0f, yTR = y - 1.0f;
    } else if (dwAttr & OBJATTR_RUNDOWN1) {
        yTL = y + h2 - 1.0f, yTR = y + h - 1.0f, yBR = yBL = y + h + 1.0f;
    } else if (dwAttr & OBJATTR_RUNDOWN2) {
        yTL = y + h1 - 1.0f, yTR = y + h2 - 1.0f;
    } else if (dwAttr & OBJATTR_RUNDOWN3) {
        yTL = y - 1.0f, yTR = y + h1 - 1.0f;
    } else if (dwAttr & OBJATTR_RIDEON) {
        yBR = yBL = y;
    }
    pOut->v[0] = Vec(x, yTL, z);
    pOut->v[1] = Vec(x + w, yTR, z);
    pOut->v[2] = Vec(x + w, yBR, z);
    pOut->v[3] = Vec(x, yBL, z);
    return pOut;
}

HITQUAD* CObjectLabel::GetHitQuad(HITQUAD* pOut)
{
    GetQuad(pOut);
    for (D3DVECTOR& c : pOut->v)
        c.y += m_fOffsetY;
    return pOut;
}

HITQUAD* CObjectLabel::GetBoxQuad(HITQUAD* pOut)
{
    int nW = 0, nH = 0;
    if (m_pObject)
        m_pObject->GetSize(&nW, &nH);
    const float x = m_vPos.x, y = m_vPos.y, z = m_vPos.z;
    pOut->v[0] = Vec(x, y, z);
    pOut->v[1] = Vec(x + (float)nW, y, z);
    pOut->v[2] = Vec(x + (float)nW, y + (float)nH, z);
    pOut->v[3] = Vec(x, y + (float)nH, z);
    return pOut;
}

CELLMASK* CObjectLabel::GetHitCellMask(CELLMASK* pOut)
{
    HITQUAD q;
    GetHitQuad(&q);
    RECT rc;
    GetQuadRect(&rc, q.v);
    GetRectCellMask(pOut, rc);
    return pOut;
}

BOOL CObjectLabel::IsInside(const D3DVECTOR* pPoint)
{
    return IsInsideByAngles(pPoint, nullptr);
}

BOOL CObjectLabel::IsInsideByAngles(const D3DVECTOR* pPoint, float* pfSum)
{
    HITQUAD q;
    GetQuad(&q);
    float fSum = 0.0f;
    for (int i = 0; i < 4; i++) {
        const D3DVECTOR& c0 = q.v[i];
        const D3DVECTOR& c1 = q.v[(i + 1) % 4];
        const float ax = c0.x - pPoint->x, ay = c0.y - pPoint->y;
        const float bx = c1.x - pPoint->x, by = c1.y - pPoint->y;
        const float fLen = Vec2Length(ax, ay) * Vec2Length(bx, by);
        if (fLen == 0.0f)
            continue;  // the point is a corner: that edge adds no angle
        float fCos = (ax * bx + ay * by) / fLen;
        fCos = fCos > 1.0f ? 1.0f : (fCos < -1.0f ? -1.0f : fCos);
        fSum += std::acos(fCos);
    }
    if (pfSum)
        *pfSum = fSum;
    return fSum > 6.27f && fSum < 6.29f;
}

BOOL CObjectLabel::IsPointInside(const D3DVECTOR* pPoint)
{
    HITQUAD q;
    GetQuad(&q);
    return IsPointInQuad(q.v, pPoint->x, pPoint->y);
}

int CObjectLabel::GetCrossedEdge(const D3DVECTOR* pDir, const D3DVECTOR* pPoint, int nMode, D3DVECTOR* pCross)
{
    if (nMode != 0) {
        RaiseRuntimeAssert("0", __FILE__, __LINE__);
        return 0;
    }
    HITQUAD q;
    GetQuad(&q);
    const float x0 = pPoint->x - pDir->x, y0 = pPoint->y - pDir->y;
    const float x1 = pPoint->x, y1 = pPoint->y;
    float fBest = 640.0f;
    int nEdge = 0;
    auto tryEdge = [&](const D3DVECTOR& a, const D3DVECTOR& b, int nKind, bool bNearer) {
        INTERSECTINFO hit;
        if (!IntersectSegments(x0, y0, x1, y1, a.x, a.y, b.x, b.y, &hit))
            return;
        const float fDist = Vec2Length(hit.x - x0, hit.y - y0);
        if (bNearer && !(fDist < fBest))
            return;
        fBest = fDist;
        nEdge = nKind;
        if (pCross)
            *pCross = Vec(hit.x, hit.y, pPoint->z);
    };
    if (pDir->x <= -0.01f || pDir->x >= 0.01f) {
        tryEdge(q.v[3], q.v[0], CONTACT_LEFT, false);
        tryEdge(q.v[1], q.v[2], CONTACT_RIGHT, false);
    }
    if (pDir->y < 0.0f)
        tryEdge(q.v[2], q.v[3], CONTACT_BOTTOM, true);
    else
        tryEdge(q.v[0], q.v[1], CONTACT_TOP, true);
    return nEdge;
}

D3DVECTOR* CObjectLabel::PushOut(D3DVECTOR* pOut, const D3DVECTOR* pPoint)
{
    // The segment runs from where the label's own advance came from back to the point. Nothing
    // calls this, so the advance is not run for real (it would step an animated type's frame).
    D3DVECTOR vDir = Vec(m_fSpeed, 0.0f, 0.0f);
    D3DVECTOR vCross{};
    const BOOL bSlope = (GetAttribute() & OBJATTR_SLOPE) != 0;
    switch (GetCrossedEdge(&vDir, pPoint, 0, &vCross)) {
    case CONTACT_TOP:
        *pOut = bSlope ? Vec(vCross.x - 1.0f, vCross.y, vCross.z) : Vec(vCross.x, vCross.y - 5.0f, vCross.z);
        return pOut;
    case CONTACT_BOTTOM: *pOut = Vec(vCross.x, vCross.y + 5.0f, vCross.z); return pOut;
    case CONTACT_LEFT: *pOut = Vec(vCross.x - 1.0f, pPoint->y, pPoint->z); return pOut;
    case CONTACT_RIGHT: *pOut = Vec(vCross.x + 1.0f, vCross.y, vCross.z); return pOut;
    default: break;
    }
    HITQUAD q;
    GetQuad(&q);
    *pOut = IsPointInQuad(q.v, pPoint->x, pPoint->y) ? Vec(q.v[0].x - 1.0f, pPoint->y, pPoint->z) : *pPoint;
    return pOut;
}

D3DVECTOR* CObjectLabel::PushOutPath(D3DVECTOR* pOut, const D3DVECTOR* pFrom, const D3DVECTOR* pTo)
{
    HITQUAD q;
    GetQuad(&q);
    const DWORD dwAttr = GetAttribute();
    INTERSECTINFO hit;
    auto crosses = [&](const D3DVECTOR& a, const D3DVECTOR& b) {
        return IntersectSegments(pFrom->x, pFrom->y, pTo->x, pTo->y, a.x, a.y, b.x, b.y, &hit) != 0;
    };
    if (crosses(q.v[0], q.v[1])) {
        float k = (dwAttr & OBJATTR_RUNUP) ? 1.0f / 3.0f : (dwAttr & OBJATTR_RUNDOWN) ? -1.0f / 3.0f : 0.0f;
        *pOut = Vec(pTo->x, q.v[0].y - k * std::fabs(q.v[0].x - pTo->x) - 5.0f, pTo->z);
    } else if (crosses(q.v[3], q.v[0])) {
        *pOut = Vec(hit.x - 1.0f, pTo->y, pTo->z);
    } else if (crosses(q.v[1], q.v[2])) {
        *pOut = Vec(hit.x + 1.0f, pTo->y, pTo->z);
    } else if (crosses(q.v[2], q.v[3])) {
        *pOut = Vec(hit.x, hit.y + 5.0f, pTo->z);
    } else {
        *pOut = *pTo;
    }
    return pOut;
}

void CObjectLabel::StartFlash()
{
    m_Flash.Start();
}

int CObjectLabel::Setup(IDirect3DDevice7* lpDevice, const char*)
{
    if (!IsDestroyable())
        return 1;
    IScrollExplosion* (*pfnCreate)() = CStage::GetHooks().CreateExplosion;
    if (!pfnCreate)
        return 1;
    if (!m_pExplosion)
        m_pExplosion = pfnCreate();
    m_pExplosion->SetStyle(EXPBOMB_STYLE_LARGE);
    DeleteBurst();
    for (int i = 0; i < kBurstCount; i++) {
        m_pExplosions[i] = pfnCreate();
        m_pExplosions[i]->SetStyle(EXPBOMB_STYLE_LARGE);
        m_pExplosions[i]->Load(lpDevice);
    }
    return 1;
}

void CObjectLabel::Release()
{
    DeleteBurst();
}

void CObjectLabel::StopExplosions()
{
    if (m_pExplosion)
        m_pExplosion->Stop();
    for (IScrollExplosion* p : m_pExplosions) {
        if (p)
            p->Stop();
    }
}

void CObjectLabel::Spawn()
{
    if (!m_pObject)
        return;
    if (IsDestroyable())
        CCrushableSet::Register(this);
    m_pObject->StartAnimationClock();
    m_nDurability = m_pObject->GetCrushLife();
    const D3DVECTOR vDrift = Vec(-0.01f * m_fSpeed * m_fSpeed, -1.0f, 0.0f);
    if (m_pExplosion)
        m_pExplosion->SetDrift(vDrift);
    if (IsDestroyable()) {
        for (IScrollExplosion* p : m_pExplosions) {
            if (p)
                p->SetDrift(vDrift);
        }
    }
    m_bCrushed = 0;
    m_Flash.Stop();
    m_bFinished = 0;
}

void CObjectLabel::Update()
{
    if (m_bFinished || !m_pObject)
        return;
    m_pObject->Advance(m_fSpeed, &m_vPos.x);
    int nW = 0, nH = 0;
    m_pObject->GetSize(&nW, &nH);
    if (m_bCrushed) {
        const float fCx = m_vPos.x + (float)(nW / 2);
        const float fCy = 16.0f - (m_vPos.y + (float)(nH / 2));
        if (m_pExplosion)
            m_pExplosion->SetPosition(fCx, fCy);
        for (int i = 0; i < kBurstCount && IsDestroyable(); i++) {
            if (m_pExplosions[i])
                m_pExplosions[i]->SetPosition(fCx + g_ExpBombOffset[i].x, fCy - m_fOffsetY - g_ExpBombOffset[i].y);
        }
    }
    m_Flash.Update();
    if (m_vPos.x < -64.0f - (float)nW || (IsDestroyable() && IsExplosionFinished() && m_nDurability <= 0))
        Stop();
}

void CObjectLabel::Stop()
{
    m_bFinished = 1;
    if (IsDestroyable())
        CCrushableSet::Unregister(this);
}

int CObjectLabel::Draw2D(IDirectDrawSurface7* lpTarget)
{
    if (m_bFinished || !IsExplosionIdle())
        return 1;
    float fOffset = GetOffsetY();
    if (fOffset < 0.0f)
        fOffset = RoundToOneDecimal(fOffset);
    if (!m_pObject)
        return 0;
    const D3DVECTOR vPos = Vec(m_vPos.x, m_vPos.y + fOffset, m_vPos.z);
    if (!CAppTimer::IsPaused(0) && m_Flash.IsFlashing())
        return m_pObject->DrawFlash2D(lpTarget, &vPos);
    return m_pObject->Draw2D(lpTarget, &vPos);
}

int CObjectLabel::Draw3D(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !IsExplosionIdle())
        return 1;
    if (!m_pObject)
        return 0;
    const D3DVECTOR vPos = Vec(m_vPos.x, m_vPos.y + GetOffsetY(), m_vPos.z);
    return m_pObject->Draw3D(lpDevice, &vPos);
}

const char* CObjectLabel::GetDebugText()
{
    static char s_szText[256];
    if (!m_pObject) {
        RaiseRuntimeAssert("m_pObject", __FILE__, __LINE__);
        s_szText[0] = 0;
        return s_szText;
    }
    snprintf(s_szText, sizeof(s_szText), "%s %03d%c:(%2d %2d) (%06.2f %06.2f %06.2f) speed = %f", m_pObject->GetName(),
             m_nNumber, m_chLayer, m_nColumn, m_nRow, (double)m_vPos.x, (double)m_vPos.y, (double)m_vPos.z,
             (double)m_fSpeed);
    return s_szText;
}
