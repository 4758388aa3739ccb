#include "engine/Geometry.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Util.h"
#include "platform/gdi/Gdi.h"

namespace {

void QuadPoints(const D3DVECTOR* pQuad, POINT* pPoints)
{
    for (int i = 0; i < 4; i++) {
        pPoints[i] = POINT{FloatToInt(pQuad[i].x), FloatToInt(pQuad[i].y)};
    }
}

// Sets the bit of a 64-bit mask split in two words; indices outside 0..63 set nothing.
void SetMaskBit(DWORD* pWords, long long n)
{
    if (n >= 0 && n < 64) {
        pWords[n >> 5] |= 1u << (n & 31);
    }
}

void OrCell(CELLMASK* pMask, long long x, long long y)
{
    if (x < 0 || y < 0) {
        return;
    }
    SetMaskBit(pMask->dwCols, x / CELL_SIZE);
    SetMaskBit(pMask->dwRows, y / CELL_SIZE);
}

float SignOf(float x)
{
    return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f);
}

bool Within(float v, float a, float b)
{
    return v >= std::min(a, b) && v <= std::max(a, b);
}

} // namespace

int IsRectOverlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom ? 1 : 0;
}

int IsPointInRect(const RECT& rc, float x, float y)
{
    return (float)rc.left <= x && x <= (float)rc.right && (float)rc.top <= y && y <= (float)rc.bottom ? 1 : 0;
}

// Tuning values can fling a box far outside the world: its corners convert as far as an int goes.
void GetQuadRect(RECT* prc, const D3DVECTOR* q)
{
    prc->left = FloatToInt(std::min(q[0].x, q[3].x));
    prc->top = FloatToInt(std::min(q[0].y, q[1].y));
    prc->right = FloatToInt(std::max(q[1].x, q[2].x));
    prc->bottom = FloatToInt(std::max(q[2].y, q[3].y));
}

int IsQuadOverlap(const D3DVECTOR* pQuadA, const D3DVECTOR* pQuadB)
{
    POINT a[4], b[4];
    QuadPoints(pQuadA, a);
    QuadPoints(pQuadB, b);
    return PolygonsShareAPixel(a, 4, b, 4, WINDING) ? 1 : 0;
}

int IsPointInQuad(const D3DVECTOR* pQuad, float x, float y)
{
    POINT pts[4];
    QuadPoints(pQuad, pts);
    return PtInPolygon(pts, 4, WINDING, FloatToInt(x), FloatToInt(y)) ? 1 : 0;
}

float Vec2Length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

void GetPointCellMask(CELLMASK* pMask, float x, float y)
{
    *pMask = CELLMASK{};
    OrCell(pMask, FloatToInt(x + 0.5f), FloatToInt(y + 0.5f));
}

void GetRectCellMask(CELLMASK* pMask, const RECT& rc)
{
    *pMask = CELLMASK{};
    const LONG l = std::max<LONG>(rc.left, 0), t = std::max<LONG>(rc.top, 0);
    const LONG r = std::min<LONG>(rc.right, CELL_AREA_WIDTH), b = std::min<LONG>(rc.bottom, CELL_AREA_HEIGHT);
    for (LONG y = t; y < b; y += CELL_SIZE) {
        for (LONG x = l; x < r; x += CELL_SIZE) {
            OrCell(pMask, x, y);
        }
    }
    OrCell(pMask, r, b);
}

int IsCellMaskOverlap(const CELLMASK& a, const CELLMASK& b)
{
    const bool bCol = (a.dwCols[0] & b.dwCols[0]) || (a.dwCols[1] & b.dwCols[1]);
    const bool bRow = (a.dwRows[0] & b.dwRows[0]) || (a.dwRows[1] & b.dwRows[1]);
    return bCol && bRow ? 1 : 0;
}

int IntersectSegments(float ax0, float ay0, float ax1, float ay1, float bx0, float by0, float bx1, float by1,
                      INTERSECTINFO* pResult)
{
    const float e = 0.01f;
    *pResult = INTERSECTINFO{};
    const bool bAVert = std::fabs(ax1 - ax0) < e;
    const bool bBVert = std::fabs(bx1 - bx0) < e;
    float x, y;
    if (std::fabs(bx1 - bx0) < e && std::fabs(by1 - by0) < e) {
        if (!bAVert) {
            y = ay0 + (bx0 - ax0) * ((ay1 - ay0) / (ax1 - ax0));
            if (!(by0 - e < y && y < by0 + e)) {
                return 0;
            }
            x = bx0;
        } else {
            x = ax0;
            y = by0;
        }
    } else if (!bAVert && bBVert) {
        x = bx0;
        y = ay0 + (bx0 - ax0) * ((ay1 - ay0) / (ax1 - ax0));
    } else if (!bBVert && bAVert) {
        x = ax0;
        y = by0 - (bx0 - ax0) * ((by1 - by0) / (bx1 - bx0));
    } else if (bAVert && bBVert) {
        return 0;
    } else {
        const float ma = (ay1 - ay0) / (ax1 - ax0);
        const float mb = (by1 - by0) / (bx1 - bx0);
        if (std::fabs(ma - mb) < e) {
            return 0;
        }
        const float t = (by0 - ay0 - (bx0 - ax0) * mb) / (ma - mb);
        x = ax0 + t;
        y = ay0 + t * ma;
    }
    pResult->x = x;
    pResult->y = y;
    return Within(x, ax0, ax1) && Within(y, ay0, ay1) && Within(x, bx0, bx1) && Within(y, by0, by1) ? 1 : 0;
}

int CheckSpanCross(float a, float b, float c, int nDirection, float r)
{
    if (a < c - r && b < c - r && nDirection >= 1) {
        return 0;
    }
    if (a <= c + r) {
        return 1;
    }
    return (b <= c + r || nDirection >= 0) ? 1 : 0;
}

int CoordToCell(float fValue, int nSize)
{
    if (nSize == 64) {
        return FloatToInt(fValue) >> 6;
    }
    return nSize ? FloatToInt(fValue / (float)nSize) : 0;
}

float RoundToTenth(float x)
{
    return std::trunc((x + SignOf(x) * 0.05f) * 10.0f) * 0.1f;
}

float RoundToDigits(float x, int n)
{
    const float p = std::pow(10.0f, (float)n) * 0.1f;
    if (-0.01f < p && p < 0.01f) {
        return 0.0f;
    }
    return std::trunc((x + SignOf(x) * 0.5f / p) * p) / p;
}

int WrapIndex(int i, int n)
{
    if (n <= 0) {
        return i;
    }
    if (i >= 0) {
        return i % n;
    }
    const int r = i % n;
    return r < 0 ? r + n : r;
}

int LowestBitNumber(DWORD dwWord)
{
    for (int i = 0; i < 32; i++) {
        if (dwWord & (1u << i)) {
            return i + 1;
        }
    }
    return 0;
}

int GetRowOffset(int n)
{
    return (n >= 5 && n <= 8) ? (n - 4) * 32 : 0;
}

// ---- Motion on top of the eased record --------------------------------------------------------------

void ACCBOUNCE::Start()
{
    if (!pAcc) {
        return;
    }
    nState = STATE_SLIDE;
    pAcc->Set(20.0f, -2.0f, 0.0f, 20.0f, 1);
    nWait = 500;
    bWaited = 1;
}

void ACCBOUNCE::Update()
{
    if (!pAcc) {
        return;
    }
    switch (nState) {
    case STATE_SLIDE:
        if (pAcc->nReached) {
            pAcc->Set(-10.0f, 5.0f, -10.0f, 0.0f, 1);
            nState = STATE_KICK;
        }
        break;
    case STATE_KICK:
        if (pAcc->nReached) {
            dwStamp = CAppTimer::GetElapsed(0);
            bWaited = 0;
            nState = STATE_WAIT;
        }
        break;
    case STATE_WAIT:
        if (!bWaited && CAppTimer::GetElapsed(0) - dwStamp > (DWORD)nWait) {
            bWaited = 1;
            pAcc->Set(fRest, 0.0f, 0.0f, 0.0f, 0);
            nState = STATE_DONE;
        }
        break;
    default:
        break;
    }
    pAcc->Step();
}

void ACCBOUNCE::SetLimitHit()
{
    if (pAcc) {
        pAcc->nReached = 1;
    }
}

int ACCBOUNCE::IsLimitHit() const
{
    return pAcc ? pAcc->nReached : 1;
}

void SteerAccAdjust(float x, float fBase, STEERTIMER* pTimer, CAccAdjust* pAdjust)
{
    if (pTimer->bBusy || CAppTimer::GetElapsed(0) - pTimer->dwStamp <= pTimer->dwPeriod) {
        return;
    }
    pTimer->bBusy = 1;
    pAdjust->SetTarget(std::clamp(x, 100.0f, 420.0f) - fBase);
    pTimer->dwStamp = CAppTimer::GetElapsed(0);
    pTimer->bBusy = 0;
}

int UpdateAccMoveX(float* px, float fWidth, ACCINFO* pAcc, OFFSCREENTIMER* pTimer)
{
    const bool bOff = *px + fWidth / 2.0f < 0.0f || *px - fWidth / 2.0f > 640.0f;
    if (bOff) {
        if (pTimer->bIdle) {
            pTimer->dwPeriod = 1000;
            pTimer->dwStamp = CAppTimer::GetElapsed(0);
            pTimer->bIdle = 0;
        } else if (CAppTimer::GetElapsed(0) - pTimer->dwStamp > pTimer->dwPeriod) {
            pTimer->bIdle = 1;
            return 1;
        }
    }
    *px += pAcc->fValue;
    pAcc->Step();
    return 0;
}
