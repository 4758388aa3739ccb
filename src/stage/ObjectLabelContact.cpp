// The label's terrain contact tests: where a point lies against the shaped quad, where a vertical
// movement meets it, and where a general movement meets it. Bodies glide along slopes of one pixel
// of height per three of width, so general movements are followed on that glide line.
#include <cmath>

#include "engine/DebugOut.h"
#include "engine/DebugPrim.h"
#include "engine/Geometry.h"
#include "engine/Log.h"
#include "stage/BoundableSet.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"

BOOL CObjectLabel::s_bGlide = 0;

namespace {

const float kTolerance = 0.01f;
const int kDebugLayerBit = 0x80;

bool Near(float a, float b)
{
    return std::fabs(a - b) < kTolerance;
}

int SignOf(float f)
{
    return f > 0.0f ? 1 : (f < 0.0f ? -1 : 0);
}

D3DVECTOR Vec(float x, float y)
{
    D3DVECTOR v;
    v.x = x;
    v.y = y;
    v.z = 0.0f;
    return v;
}

void FillContact(CONTACTINFO* pInfo, const D3DVECTOR& pos, int nKind, DWORD dwAttr, CObjectLabel* pLabel)
{
    if (!pInfo)
        return;
    *pInfo = CONTACTINFO{};
    pInfo->pos = pos;
    pInfo->nKind = nKind;
    pInfo->dwAttribute = dwAttr;
    pInfo->pLabel = pLabel;
}

void MarkPoint(const D3DVECTOR& pos, DWORD dwColor)
{
    CDebugPrim::GetInstance()->AddPoint(kDebugLayerBit, pos, dwColor, 5.0f);
}

// Whether a crossing at c lies within the reach of a movement from p by m: side crossings by the x
// travel, top and bottom crossings by the y travel.
bool IsReached(const CONTACTINFO& c, const D3DVECTOR* p, const D3DVECTOR* m)
{
    bool bSide = c.nKind == CONTACT_LEFT || c.nKind == CONTACT_RIGHT;
    float fTravel = bSide ? (c.pos.x - p->x) * (float)SignOf(m->x) : (c.pos.y - p->y) * (float)SignOf(m->y);
    float fReach = bSide ? std::fabs(m->x) : std::fabs(m->y);
    return fTravel >= -kTolerance && fTravel <= fReach + kTolerance;
}

} // namespace

int CObjectLabel::WhichX(float x)
{
    HITQUAD q;
    GetQuad(&q);
    if (Near(x, q.v[0].x) || Near(x, q.v[2].x))
        return 0;
    if (x < q.v[0].x)
        return -1;
    return x > q.v[2].x ? 1 : 0;
}

int CObjectLabel::WhichY(const D3DVECTOR* pPoint)
{
    HITQUAD q;
    GetQuad(&q);
    const float fTop = TopYAtX(pPoint->x);
    const float fBottom = q.v[2].y;
    const float y = pPoint->y;
    if (GetAttribute() & OBJATTR_RIDEON)
        return y <= fTop ? -1 : 1;
    if (Near(y, fTop) || Near(y, fBottom))
        return 0;
    if (y <= fTop)
        return -1;
    return y > fBottom ? 1 : 0;
}

BOOL CObjectLabel::Contains(const D3DVECTOR* pPoint)
{
    return WhichX(pPoint->x) == 0 && WhichY(pPoint) == 0;
}

float CObjectLabel::TopYAtX(float x)
{
    HITQUAD q;
    GetQuad(&q);
    const DWORD dwAttr = GetAttribute();
    if (dwAttr & OBJATTR_RUNUP)
        return q.v[0].y - (x - q.v[0].x) / 3.0f;
    if (dwAttr & OBJATTR_RUNDOWN)
        return q.v[0].y + (x - q.v[0].x) / 3.0f;
    return q.v[0].y;
}

float CObjectLabel::XAtTopY(float y)
{
    HITQUAD q;
    GetQuad(&q);
    const DWORD dwAttr = GetAttribute();
    if (dwAttr & OBJATTR_RUNUP)
        return q.v[0].x + 3.0f * (q.v[0].y - y);
    if (dwAttr & OBJATTR_RUNDOWN)
        return q.v[0].x - 3.0f * (q.v[0].y - y);
    return q.v[0].x;
}

void CObjectLabel::DebugDrawQuad()
{
    HITQUAD q;
    GetQuad(&q);
    for (D3DVECTOR& c : q.v)
        c.y += m_fOffsetY;
    CDebugPrim::GetInstance()->AddQuad(kDebugLayerBit, q.v, 0xFFFF0000, 3.0f);
}

int CObjectLabel::CheckVert(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo)
{
    const DWORD dwAttr = GetAttribute();
    if ((dwAttr & OBJATTR_NOTOUCH) || IsFinished())
        return 0;
    DebugDrawQuad();
    const int nFrom = WhichY(pPoint);
    if (nFrom == 0) {
        CDebugInfo::Trace(7, "Assert : すでにオブジェに含まれています CheckVert 無視可能 [pos = (%f %f)  obj = %s]\n",
                          (double)pPoint->x, (double)pPoint->y, m_pObject ? GetDebugText() : "");
        return 0;
    }
    if (!Near(pMove->x, 0.0f))
        RaiseRuntimeAssert("IsEqual(vDiff.x, 0.0f)", __FILE__, __LINE__);
    const int nDir = SignOf(pMove->y);
    const D3DVECTOR vDest = Vec(pPoint->x + pMove->x, pPoint->y + pMove->y);
    if (WhichX(pPoint->x) != 0)
        return 0;
    HITQUAD q;
    GetQuad(&q);
    const float fTop = TopYAtX(pPoint->x);
    const float fBottom = q.v[2].y;
    int nDest = WhichY(&vDest);
    if (Contains(&vDest))
        nDest = 0;
    else if (vDest.y < fTop)
        nDest = -1;
    else if (vDest.y > fBottom)
        nDest = 1;
    D3DVECTOR vContact;
    int nKind;
    if (nFrom < 0) {
        if (nDest == -1)
            return 0;
        vContact = Vec(pPoint->x, fTop);
        nKind = CONTACT_TOP;
    } else {
        if (nDest == 1 || (nDir < 0 && (dwAttr & OBJATTR_RIDEON)))
            return 0;
        vContact = Vec(pPoint->x, fBottom);
        nKind = CONTACT_BOTTOM;
    }
    MarkPoint(vContact, 0xFFFFFFFF);
    FillContact(pInfo, vContact, nKind, 0, nullptr);
    return 1;
}

int CObjectLabel::FindCrossings(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pFirst,
                                CONTACTINFO* pSecond)
{
    *pFirst = CONTACTINFO{};
    *pSecond = CONTACTINFO{};
    const int sx = SignOf(pMove->x), sy = SignOf(pMove->y);
    if (sx == 0)
        return 0;
    const float s = (float)(sx * sy);
    HITQUAD box;
    GetBoxQuad(&box);
    const float fLeft = box.v[0].x, fRight = box.v[1].x, fTop = box.v[0].y, fBottom = box.v[2].y;
    const float px = pPoint->x, py = pPoint->y;
    const DWORD dwAttr = GetAttribute();

    CONTACTINFO cand[4];
    int nCand = 0;
    auto offer = [&](float x, float y, int nKind) {
        const bool bOnOutline = (nKind == CONTACT_LEFT || nKind == CONTACT_RIGHT)
                                    ? (y >= fTop - kTolerance && y <= fBottom + kTolerance)
                                    : (x >= fLeft - kTolerance && x <= fRight + kTolerance);
        if (!bOnOutline)
            return;
        for (int i = 0; i < nCand; i++) {
            if (Near(cand[i].pos.x, x) && Near(cand[i].pos.y, y))
                return;  // a corner met by two edges
        }
        FillContact(&cand[nCand++], Vec(x, y), nKind, dwAttr, this);
    };
    if (s != 0.0f) {
        offer(px + 3.0f * s * (fTop - py), fTop, CONTACT_TOP);
        offer(px + 3.0f * s * (fBottom - py), fBottom, CONTACT_BOTTOM);
    }
    offer(fLeft, py + s * (fLeft - px) / 3.0f, CONTACT_LEFT);
    offer(fRight, py + s * (fRight - px) / 3.0f, CONTACT_RIGHT);
    if (nCand < 2)
        return 0;
    int nLo = 0, nHi = 0;
    for (int i = 1; i < nCand; i++) {
        if (cand[i].pos.x < cand[nLo].pos.x)
            nLo = i;
        if (cand[i].pos.x > cand[nHi].pos.x)
            nHi = i;
    }
    const CONTACTINFO lo = cand[nLo], hi = cand[nHi];
    if (!(lo.pos.x < hi.pos.x))
        return 0;
    const BOOL bLoIn = Contains(&lo.pos), bHiIn = Contains(&hi.pos);
    if (!bLoIn && !bHiIn)
        return 0;
    const bool bBetween = lo.pos.x < px && px < hi.pos.x;
    bool bLoFirst = (sx > 0) != bBetween;
    if (sx > 0 && sy > 0 && bHiIn && !bLoIn) {
        bLoFirst = true;
        s_bGlide = 1;
    } else if (sx < 0 && sy < 0 && bLoIn && !bHiIn) {
        bLoFirst = false;
        s_bGlide = 1;
    }
    *pFirst = bLoFirst ? lo : hi;
    *pSecond = bLoFirst ? hi : lo;
    return 1;
}

// The point where the movement meets the top line of the quad (the slope line of a slope piece).
static int MeetTopLine(CObjectLabel* pLabel, const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo)
{
    HITQUAD q;
    pLabel->GetQuad(&q);
    INTERSECTINFO hit;
    if (!IntersectSegments(pPoint->x, pPoint->y, pPoint->x + pMove->x, pPoint->y + pMove->y, q.v[0].x, q.v[0].y,
                           q.v[1].x, q.v[1].y, &hit))
        return 0;
    const D3DVECTOR vContact = Vec(hit.x, pLabel->TopYAtX(hit.x));
    if (!pLabel->Contains(&vContact))
        return 0;
    FillContact(pInfo, vContact, CONTACT_TOP, pLabel->GetAttribute(), pLabel);
    return 1;
}

int CObjectLabel::SlopeContactUp(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo)
{
    const DWORD dwAttr = GetAttribute();
    const int nProduct = SignOf(pMove->x) * SignOf(pMove->y);
    if (!(dwAttr & OBJATTR_RUNUP) && !((dwAttr & OBJATTR_TOUCH) && nProduct == 1))
        return 0;
    return MeetTopLine(this, pPoint, pMove, pInfo);
}

int CObjectLabel::SlopeContactDown(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo)
{
    const DWORD dwAttr = GetAttribute();
    const int nProduct = SignOf(pMove->x) * SignOf(pMove->y);
    if (!(dwAttr & OBJATTR_RUNDOWN) && !((dwAttr & OBJATTR_TOUCH) && nProduct == -1))
        return 0;
    return MeetTopLine(this, pPoint, pMove, pInfo);
}

int CObjectLabel::CheckMove(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo, CBoundable* pBody)
{
    const DWORD dwAttr = GetAttribute();
    if ((dwAttr & OBJATTR_NOTOUCH) || IsFinished())
        return 0;
    DebugDrawQuad();
    D3DVECTOR vStart = *pPoint;
    if (Contains(&vStart)) {
        CDebugInfo::Trace(7,
                          "Assert : すでにオブジェに含まれています(補正可能) [type = %d  pos = (%f %f)  obj = %s  "
                          "attr = %08x]\n",
                          pBody ? pBody->m_nKind : -1, (double)vStart.x, (double)vStart.y,
                          m_pObject ? GetDebugText() : "", (unsigned)dwAttr);
        HITQUAD box;
        GetBoxQuad(&box);
        if (Near(vStart.x, box.v[0].x)) {
            vStart.x -= 1.0f;
        } else if (Near(vStart.x, box.v[1].x)) {
            vStart.x += 1.0f;
        } else {
            if (pBody)
                pBody->SetState(pBody->GetState() | BOUND_STATE_EMBEDDED);
            return 0;
        }
    }
    const int sx = SignOf(pMove->x), sy = SignOf(pMove->y);
    s_bGlide = 0;
    CONTACTINFO first, second;
    if (!FindCrossings(&vStart, pMove, &first, &second))
        return 0;
    MarkPoint(first.pos, 0xFFFF0000);
    CONTACTINFO contact{};
    int bContact = 0;
    switch (first.nKind) {
    case CONTACT_BOTTOM:
        contact = first;
        bContact = IsReached(first, &vStart, pMove);
        break;
    case CONTACT_TOP:
        if (!Contains(&second.pos) || !IsReached(first, &vStart, pMove))
            break;
        if (dwAttr & OBJATTR_TOUCH) {
            contact = first;
            bContact = 1;
        } else if ((dwAttr & OBJATTR_RUNUP) && sx * sy == 1) {
            bContact = MeetTopLine(this, &vStart, pMove, &contact);
        } else if ((dwAttr & OBJATTR_RUNDOWN) && sx * sy == -1) {
            bContact = MeetTopLine(this, &vStart, pMove, &contact);
        }
        break;
    case CONTACT_LEFT:
    case CONTACT_RIGHT: {
        const bool bLeft = first.nKind == CONTACT_LEFT;
        if (WhichX(vStart.x) == 0) {
            bContact = (bLeft != (bool)s_bGlide) ? SlopeContactDown(&vStart, pMove, &contact)
                                                  : SlopeContactUp(&vStart, pMove, &contact);
        } else if (Contains(&first.pos) && IsReached(first, &vStart, pMove)) {
            contact = first;
            bContact = 1;
        } else {
            bContact = bLeft ? SlopeContactUp(&vStart, pMove, &contact) : SlopeContactDown(&vStart, pMove, &contact);
        }
        break;
    }
    default: break;
    }
    if (!bContact)
        return 0;
    MarkPoint(contact.pos, 0xFFFFFFFF);
    contact.pLabel = this;
    contact.dwAttribute = dwAttr;
    if (pInfo)
        *pInfo = contact;
    return 1;
}
