// Terrain for the bodies that obey it (the heroine and the flying items): each tick a body is
// carried left with the stage, moved by the scroll and by its own step against the main layer's
// labels, landed or stopped, and handed the rest of its displacement. Also the damage terrain.
#include <algorithm>
#include <cmath>

#include "engine/DebugPrim.h"
#include "engine/Geometry.h"
#include "engine/Log.h"
#include "stage/BoundableSet.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"

namespace {

const float kStandOff = 5.0f;     // bodies stay this far from sides, tops and ceilings
const float kLookAhead = 10.0f;   // the second ground probe looks this far past the fall
const float kReach = 15.0f;       // the vertical test reaches this far past the fall
const float kGlide = 0.33333334f; // the scroll follows a slope one pixel up per three across
const float kSlopeLimit = 0.5235988f;
const int kMoveSteps = 8;         // slides one move may chain
const int kDamage = 5;
const int kDebugLayerBit = 0x80;

const DWORD kSlopeBits = PLAYER_STATE_SLOPES;

int SignOf(float f)
{
    return f > 0.0f ? 1 : (f < 0.0f ? -1 : 0);
}

D3DVECTOR Vec(float x, float y, float z)
{
    return D3DVECTOR{{x}, {y}, {z}};
}

D3DVECTOR Add(const D3DVECTOR& a, const D3DVECTOR& b)
{
    return Vec(a.x + b.x, a.y + b.y, a.z + b.z);
}

// The state bit for standing on a label of these attributes.
DWORD GroundBit(DWORD dwAttr)
{
    if (dwAttr & OBJATTR_RUNUP)
        return PLAYER_STATE_UP;
    if (dwAttr & OBJATTR_RUNDOWN)
        return PLAYER_STATE_DOWN;
    if (dwAttr & (OBJATTR_TOUCH | OBJATTR_RIDEON))
        return PLAYER_STATE_FLAT;
    return 0;
}

// The point lies in the column the label is drawn over: from its left edge up to, not including,
// the next column's, as the map counts columns.
bool IsInDrawnColumn(CObjectLabel* pLabel, float x)
{
    HITQUAD q;
    pLabel->GetQuad(&q);
    return x >= q.v[0].x && x < std::min(q.v[2].x, q.v[0].x + (float)STAGE_CELL_SIZE);
}

} // namespace

D3DVECTOR CStage::ExtendVector(const D3DVECTOR& v, float fLength)
{
    const float fNow = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (fNow < 0.01f)
        return v;
    const float k = (fNow + std::fabs(fLength)) / fNow;
    return Vec(v.x * k, v.y * k, v.z * k);
}

int CStage::GetMainDistanceAt(float fScreenX, float fDistance) const
{
    return TruncDistance(ToLayerDistance(STAGE_MAIN_LAYER, (float)TruncDistance(fDistance + 0.5f), fScreenX));
}

CObjectLabel* CStage::FindMainLabel(const D3DVECTOR& vPoint, int bSolid, float fDistance)
{
    const int nDistance = GetMainDistanceAt(vPoint.x, fDistance);
    return bSolid ? m_StageData.GetSolidCellAt(STAGE_MAIN_LAYER, nDistance, vPoint)
                  : m_StageData.GetCellAtPoint(STAGE_MAIN_LAYER, nDistance, vPoint);
}

CObjectLabel* CStage::FindSolidLabelBeside(const D3DVECTOR& vPoint)
{
    const int nDistance = GetMainDistanceAt(vPoint.x, m_fLayerPos[STAGE_MAIN_LAYER]);
    for (int nSide : {-1, 1}) {
        CObjectLabel* pLabel = m_StageData.GetSolidCellAt(STAGE_MAIN_LAYER, nDistance + nSide * STAGE_CELL_SIZE, vPoint);
        if (pLabel && IsInDrawnColumn(pLabel, vPoint.x))
            return pLabel;
    }
    return nullptr;
}

CObjectLabel* CStage::GetMainLabelAt(const D3DVECTOR& vPoint)
{
    return FindMainLabel(vPoint, 0, m_fLayerPos[STAGE_MAIN_LAYER]);
}

CObjectLabel* CStage::GetMainLabelAtEx(const D3DVECTOR& vPoint)
{
    CObjectLabel* pLabel = FindMainLabel(vPoint, 1, m_fLayerPos[STAGE_MAIN_LAYER]);
    if (pLabel && pLabel->WhichX(vPoint.x) == 0)
        return pLabel;
    // The cell may have moved under the point by a speed change this tick: look again at the
    // distance before the change.
    const float fDelta = m_StageData.GetXSpeedDelta();
    if (pLabel && fDelta != 0.0f) {
        pLabel = FindMainLabel(vPoint, 1, m_fLayerPos[STAGE_MAIN_LAYER] - fDelta);
        if (pLabel)
            m_bXSpeedCorrected = 1;
        if (pLabel && pLabel->WhichX(vPoint.x) == 0)
            return pLabel;
    }
    // The cells on screen when the scroll changed speed stay drawn a pixel or so off the columns
    // the map now gives for their places until they have scrolled by, long after that one look
    // through the change is spent (and a change before it may have moved them too): a point the
    // map gives to an empty cell, or to the cell beside the one drawn there, is on the cell drawn
    // there.
    CObjectLabel* pDrawn = FindSolidLabelBeside(vPoint);
    return pDrawn ? pDrawn : pLabel;
}

int CStage::MoveBody(CBoundable* pBody, D3DVECTOR p, D3DVECTOR v, int* pbLanded, float* pfGroundY)
{
    const float fScroll = GetStep(STAGE_MAIN_LAYER);
    int nResult = 0;
    for (int nStep = 0; nStep < kMoveSteps; nStep++) {
        const int nDirX = SignOf(v.x);
        const int nDirY = SignOf(v.y);
        const D3DVECTOR e = ExtendVector(v, kStandOff * (float)nDirX + fScroll);
        const D3DVECTOR t = Add(p, e);
        if (nDirX == 0) {
            pBody->SetPosition(p);
            return nResult;
        }
        const D3DVECTOR probes[4] = {p, t, Vec(p.x, t.y, 0.0f), Vec(t.x, p.y, 0.0f)};
        const int nProbes = nDirY != 0 ? 4 : 2;
        // Every probe is looked up before any is asked: a lookup that has to see through a speed
        // change flags it, whichever probe then makes the contact.
        CObjectLabel* pLabels[4] = {};
        for (int i = 0; i < nProbes; i++)
            pLabels[i] = GetMainLabelAtEx(probes[i]);
        CONTACTINFO info{};
        CObjectLabel* pHit = nullptr;
        for (int i = 0; i < nProbes && !pHit; i++) {
            if (pLabels[i] && pLabels[i]->CheckMove(&p, &e, &info, pBody))
                pHit = pLabels[i];
        }
        if (!pHit) {
            pBody->SetPosition(Add(p, v));
            return nResult;
        }
        switch (info.nKind) {
        case CONTACT_LEFT:
        case CONTACT_RIGHT:
            pBody->SetPosition(Vec(info.pos.x - kStandOff * (float)nDirX, info.pos.y, 0.0f));
            return nResult;
        case CONTACT_TOP:
            break;
        default:
            if (info.nKind != CONTACT_BOTTOM)
                RaiseRuntimeAssert("hit_x != HIT_NODIR", __FILE__, __LINE__);
            pBody->SetPosition(p);
            return nResult;
        }
        // A top: glide along it and go on with the rest of the movement.
        const float dx = (p.x + e.x) - info.pos.x;
        const DWORD dwAttr = pHit->GetAttribute();
        float y = info.pos.y;
        DWORD dwState = pBody->GetState();
        if (dwAttr & OBJATTR_RUNUP) {
            y = info.pos.y - dx / 3.0f;
            dwState = (dwState & ~(DWORD)PLAYER_STATE_DOWN) | PLAYER_STATE_UP;
            pBody->SetState(dwState);
        } else if (dwAttr & OBJATTR_RUNDOWN) {
            y = info.pos.y + dx / 3.0f;
            dwState = (dwState & ~(DWORD)PLAYER_STATE_UP) | PLAYER_STATE_DOWN;
            pBody->SetState(dwState);
        }
        v = Vec(p.x + v.x - info.pos.x, y - info.pos.y, t.z - info.pos.z);
        p = Vec(info.pos.x, info.pos.y - kStandOff, info.pos.z);
        if (pbLanded)
            *pbLanded = 1;
        if (pfGroundY)
            *pfGroundY = info.pos.y - kStandOff;
        nResult = 1;
    }
    // A slide that keeps finding slides ends where it stands.
    pBody->SetPosition(p);
    return nResult;
}

int CStage::IsPassable(CBoundable* pBody, CObjectLabel* pLabel)
{
    if (!(pLabel->GetAttribute() & OBJATTR_RIDEON))
        return 0;
    if (pBody->m_nKind == 1)
        return 1;
    return pBody->m_nKind == 0 && m_Player.IsDropDown();
}

int CStage::ProbeGround(CBoundable* pBody, const D3DVECTOR& vPos, const D3DVECTOR& vProbe, int nDirY,
                        CONTACTINFO* pInfo)
{
    CObjectLabel* pLabel = GetMainLabelAtEx(vProbe);
    if (!pLabel || IsPassable(pBody, pLabel))
        return 0;
    const D3DVECTOR& B = pBody->GetVectorB();
    const D3DVECTOR vMove = Vec(B.x, B.y + kReach * (float)nDirY, B.z);
    if (!pLabel->CheckVert(&vPos, &vMove, pInfo))
        return 0;
    pInfo->pLabel = pLabel;
    return 1;
}

void CStage::CollideTerrain(CBoundable* pBody, int)
{
    static const D3DVECTOR kZero{};
    const D3DVECTOR s = m_StageData.m_vVelocity[STAGE_MAIN_LAYER];
    const int nDirY = SignOf(pBody->GetVectorB().y);
    pBody->SetVectorC(kZero);

    D3DVECTOR vPos;
    pBody->GetPosition(&vPos);
    vPos.x -= s.x;
    pBody->SetPosition(vPos);
    const D3DVECTOR vStart = vPos;

    // Off screen or stuck inside a label: no terrain, only the embedded mark.
    DWORD dwState = pBody->GetState();
    if ((dwState & BOUND_STATE_EMBEDDED) || vPos.x < 0.0f || vPos.x > 640.0f) {
        const D3DVECTOR vScroll = Vec(s.x, 0.0f, 0.0f);
        const D3DVECTOR vStep = Add(Add(pBody->GetVectorA(), pBody->GetVectorB()), vScroll);
        const D3DVECTOR q = Add(Add(Add(vPos, pBody->GetVectorA()), pBody->GetVectorB()), vScroll);
        CObjectLabel* pLabel = GetMainLabelAtEx(q);
        if (pLabel && pLabel->Contains(&q))
            dwState |= BOUND_STATE_EMBEDDED;
        else
            dwState &= ~BOUND_STATE_EMBEDDED;
        pBody->SetState(dwState);
        pBody->SetVectorC(vStep);
        pBody->SetVectorA(kZero);
        pBody->SetVectorB(kZero);
        return;
    }

    // The scroll's move, along the slope she stands on, then her own.
    D3DVECTOR v = Vec(s.x, 0.0f, 0.0f);
    if (dwState & PLAYER_STATE_UP)
        v.y = -s.x * kGlide;
    else if (dwState & PLAYER_STATE_DOWN)
        v.y = s.x * kGlide;
    int bLanded = 0;
    float fGroundY = 0.0f;
    int bHit = MoveBody(pBody, vPos, v, &bLanded, &fGroundY);
    pBody->GetPosition(&vPos);
    bHit |= MoveBody(pBody, vPos, pBody->GetVectorA(), &bLanded, &fGroundY);
    pBody->SetVectorA(kZero);
    if (pBody->GetState() & BOUND_STATE_EMBEDDED)
        return;

    // After a slide the probes look from the ground it reached.
    pBody->GetPosition(&vPos);
    if (bHit && bLanded)
        vPos.y = fGroundY;

    const D3DVECTOR probes[2] = {vPos, Vec(vPos.x, vPos.y + pBody->GetVectorB().y + kLookAhead * (float)nDirY, vPos.z)};
    bool bAirborne = true;
    bool bDone = false;
    for (const D3DVECTOR& vProbe : probes) {
        CONTACTINFO info{};
        if (!ProbeGround(pBody, vPos, vProbe, nDirY, &info))
            continue;
        const D3DVECTOR vLanded = Vec(info.pos.x, info.pos.y - kStandOff * (float)nDirY, info.pos.z);
        pBody->SetPosition(vLanded);
        pBody->SetVectorB(kZero);
        if (info.nKind == CONTACT_BOTTOM)
            pBody->SetGroundY(vLanded.y);
        else
            pBody->Land(vLanded.y);
        pBody->SetState((pBody->GetState() & ~kSlopeBits) | GroundBit(info.pLabel->GetAttribute()));
        bAirborne = info.nKind != CONTACT_TOP;
        bDone = true;
        break;
    }

    if (!bDone && bHit) {
        // Slid this tick but nothing under the feet: the scroll move once more from where a fall
        // would have taken her, unless she rises steeper than the ground she was on.
        const DWORD dwNow = pBody->GetState();
        const float fLimit = (dwNow & PLAYER_STATE_UP) ? -kSlopeLimit : ((dwNow & PLAYER_STATE_DOWN) ? kSlopeLimit : 0.0f);
        const float a = std::atan2(pBody->GetVectorB().y, s.x);
        bool bStillHit = true;
        if (a < fLimit)
            bStillHit = MoveBody(pBody, Vec(vStart.x, vStart.y + pBody->GetVectorB().y, 0.0f), v, nullptr, nullptr) != 0;
        if (bStillHit) {
            if (bLanded)
                pBody->Land(fGroundY);
            bAirborne = false;
        }
    }
    if (bAirborne)
        pBody->SetState((pBody->GetState() | PLAYER_STATE_JUMP) & ~kSlopeBits);

    pBody->SetVectorC(Add(pBody->GetVectorA(), pBody->GetVectorB()));
    pBody->SetVectorA(kZero);
    pBody->SetVectorB(kZero);
    pBody->GetPosition(&vPos);
    CDebugPrim::GetInstance()->AddPoint(kDebugLayerBit, Vec(vPos.x, vPos.y + m_fOffsetY[STAGE_MAIN_LAYER], vPos.z),
                                        0xFF00FF00, 8.0f);
}

void CStage::CheckDamageTerrain()
{
    D3DVECTOR vQuad[4];
    m_Player.GetDamageQuad(vQuad);
    const D3DVECTOR c = Vec((vQuad[0].x + vQuad[2].x) * 0.5f, (vQuad[0].y + vQuad[2].y) * 0.5f, 0.0f);
    const D3DVECTOR& A = m_Player.GetVectorA();
    const D3DVECTOR s = m_StageData.m_vVelocity[STAGE_MAIN_LAYER];

    D3DVECTOR samples[12];
    int n = 0;
    for (float fBack : {128.0f, 64.0f, 0.0f})
        samples[n++] = Vec(A.x + c.x + s.x - fBack, A.y + c.y, 0.0f);
    const float d = s.y < 0.0f ? c.y + s.y - 16.0f : c.y + s.y + 16.0f;
    for (float fBackX : {0.0f, 64.0f, 128.0f})
        for (float fUp : {0.0f, 64.0f, 128.0f})
            samples[n++] = Vec(c.x + s.x - fBackX, d - fUp, 0.0f);

    // Every sample that finds a damaging label hurts on its own.
    for (const D3DVECTOR& vSample : samples) {
        CObjectLabel* pLabel = GetMainLabelAt(vSample);
        if (!pLabel || pLabel->IsFinished() || !(pLabel->GetAttribute() & OBJATTR_DAMAGE))
            continue;
        HITQUAD quad;
        pLabel->GetDamageQuad(&quad);
        RECT rc;
        GetQuadRect(&rc, quad.v);
        if (IsPointInRect(rc, c.x, c.y))
            m_Player.Damage(kDamage);
    }
}
