// Polygon regions as pixel sets. A row y samples the polygon at y + 0.5; an edge crossing that
// line at cx makes pixel x lie past it when x + 0.5 >= cx. The comparison is done in integers,
// with each edge taken top to bottom, so an edge shared by two polygons splits its row exactly
// the same way for both: the pixels left of it belong to one, the rest to the other.
#include <algorithm>
#include <vector>

#include "platform/gdi/GdiInternal.h"

namespace {

constexpr int64_t kCoordLimit = int64_t(1) << 27;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && (a < 0)); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Whether the points are usable, and their row range [*pTop, *pBottom).
bool PolygonRows(const POINT* p, int n, int* pTop, int* pBottom)
{
    if (!p || n < 2) {
        return false;
    }
    int64_t nTop = p[0].y, nBottom = p[0].y;
    for (int i = 0; i < n; i++) {
        if (p[i].x < -kCoordLimit || p[i].x > kCoordLimit || p[i].y < -kCoordLimit || p[i].y > kCoordLimit) {
            return false;
        }
        nTop = std::min<int64_t>(nTop, p[i].y);
        nBottom = std::max<int64_t>(nBottom, p[i].y);
    }
    if (nBottom - nTop > GDI_REGION_MAX_ROWS) {
        return false;
    }
    *pTop = static_cast<int>(nTop);
    *pBottom = static_cast<int>(nBottom);
    return true;
}

// The first pixel past each edge crossing row y, with the edge's direction, sorted by pixel.
// pT and pDir hold n entries; returns how many crossings there are.
int RowCrossings(const POINT* p, int n, int y, int64_t* pT, int* pDir)
{
    int nCross = 0;
    for (int i = 0; i < n; i++) {
        const POINT& a = p[i];
        const POINT& b = p[(i + 1) % n];
        if (a.y == b.y) {
            continue;
        }
        const bool bDown = a.y < b.y;
        const POINT& lo = bDown ? a : b;
        const POINT& hi = bDown ? b : a;
        if (y < lo.y || y >= hi.y) {
            continue;
        }
        const int64_t dy = int64_t(hi.y) - lo.y;
        const int64_t dx = int64_t(hi.x) - lo.x;
        // x + 0.5 >= lo.x + (y + 0.5 - lo.y) * dx / dy, times 2 dy.
        const int64_t t = CeilDiv(2 * int64_t(lo.x) * dy + (2 * (int64_t(y) - lo.y) + 1) * dx - dy, 2 * dy);
        int k = nCross++;
        while (k > 0 && pT[k - 1] > t) {
            pT[k] = pT[k - 1];
            pDir[k] = pDir[k - 1];
            k--;
        }
        pT[k] = t;
        pDir[k] = bDown ? 1 : -1;
    }
    return nCross;
}

// The inside spans of a row from its crossings; spans that touch are one. Returns the count
// (at most nCross / 2).
int RowSpans(const int64_t* pT, const int* pDir, int nCross, int iMode, RGNSPAN* pOut)
{
    int nSpans = 0, nWind = 0;
    for (int i = 0; i + 1 < nCross; i++) {
        nWind += pDir[i];
        const bool bInside = iMode == WINDING ? nWind != 0 : (i & 1) == 0;
        if (!bInside || pT[i + 1] <= pT[i]) {
            continue;
        }
        const int x0 = static_cast<int>(pT[i]), x1 = static_cast<int>(pT[i + 1]);
        if (nSpans > 0 && pOut[nSpans - 1].x1 >= x0) {
            pOut[nSpans - 1].x1 = std::max(pOut[nSpans - 1].x1, x1);
        } else {
            pOut[nSpans++] = RGNSPAN{x0, x1};
        }
    }
    return nSpans;
}

bool SpansOverlap(const RGNSPAN* a, int na, const RGNSPAN* b, int nb)
{
    int i = 0, j = 0;
    while (i < na && j < nb) {
        if (a[i].x1 <= b[j].x0) {
            i++;
        } else if (b[j].x1 <= a[i].x0) {
            j++;
        } else {
            return true;
        }
    }
    return false;
}

bool SpansContain(const RGNSPAN* p, int n, int x)
{
    for (int i = 0; i < n; i++) {
        if (x >= p[i].x0 && x < p[i].x1) {
            return true;
        }
    }
    return false;
}

bool SameSpans(const CGdiRegion& r, const RGNBAND& band, const RGNSPAN* p, int n)
{
    if (static_cast<int>(band.nCount) != n) {
        return false;
    }
    for (int i = 0; i < n; i++) {
        const RGNSPAN& s = r.m_spans[band.nFirst + i];
        if (s.x0 != p[i].x0 || s.x1 != p[i].x1) {
            return false;
        }
    }
    return true;
}

// Adds rows [y0, y1) holding the spans, joining the band above when it is the same.
void AppendRows(CGdiRegion& r, int y0, int y1, const RGNSPAN* p, int n)
{
    if (n == 0 || y1 <= y0) {
        return;
    }
    if (!r.m_bands.empty()) {
        RGNBAND& last = r.m_bands.back();
        if (last.y1 == y0 && SameSpans(r, last, p, n)) {
            last.y1 = y1;
            return;
        }
    }
    r.m_bands.push_back(RGNBAND{y0, y1, static_cast<uint32_t>(r.m_spans.size()), static_cast<uint32_t>(n)});
    r.m_spans.insert(r.m_spans.end(), p, p + n);
}

const RGNBAND* BandAt(const CGdiRegion& r, int y)
{
    auto it = std::upper_bound(r.m_bands.begin(), r.m_bands.end(), y,
                               [](int v, const RGNBAND& b) { return v < b.y0; });
    if (it == r.m_bands.begin()) {
        return nullptr;
    }
    --it;
    return (y < it->y1) ? &*it : nullptr;
}

bool Apply(int iMode, bool a, bool b)
{
    switch (iMode) {
    case RGN_AND:
        return a && b;
    case RGN_OR:
        return a || b;
    case RGN_XOR:
        return a != b;
    case RGN_DIFF:
        return a && !b;
    default:
        return a;
    }
}

// One row interval of a combination: the spans of A and B there, combined.
void CombineSpans(const RGNSPAN* a, int na, const RGNSPAN* b, int nb, int iMode, std::vector<int>& xs,
                  std::vector<RGNSPAN>& out)
{
    xs.clear();
    out.clear();
    for (int i = 0; i < na; i++) {
        xs.push_back(a[i].x0);
        xs.push_back(a[i].x1);
    }
    for (int i = 0; i < nb; i++) {
        xs.push_back(b[i].x0);
        xs.push_back(b[i].x1);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k++) {
        if (!Apply(iMode, SpansContain(a, na, xs[k]), SpansContain(b, nb, xs[k]))) {
            continue;
        }
        if (!out.empty() && out.back().x1 == xs[k]) {
            out.back().x1 = xs[k + 1];
        } else {
            out.push_back(RGNSPAN{xs[k], xs[k + 1]});
        }
    }
}

void Combine(const CGdiRegion& a, const CGdiRegion& b, int iMode, CGdiRegion& out)
{
    std::vector<int> ys;
    for (const RGNBAND& band : a.m_bands) {
        ys.push_back(band.y0);
        ys.push_back(band.y1);
    }
    for (const RGNBAND& band : b.m_bands) {
        ys.push_back(band.y0);
        ys.push_back(band.y1);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<int> xs;
    std::vector<RGNSPAN> spans;
    for (size_t k = 0; k + 1 < ys.size(); k++) {
        const RGNBAND* pa = BandAt(a, ys[k]);
        const RGNBAND* pb = BandAt(b, ys[k]);
        CombineSpans(pa ? &a.m_spans[pa->nFirst] : nullptr, pa ? static_cast<int>(pa->nCount) : 0,
                     pb ? &b.m_spans[pb->nFirst] : nullptr, pb ? static_cast<int>(pb->nCount) : 0, iMode, xs, spans);
        AppendRows(out, ys[k], ys[k + 1], spans.data(), static_cast<int>(spans.size()));
    }
}

int Kind(const CGdiRegion& r)
{
    if (r.m_bands.empty()) {
        return NULLREGION;
    }
    return (r.m_bands.size() == 1 && r.m_bands[0].nCount == 1) ? SIMPLEREGION : COMPLEXREGION;
}

HRGN Publish(CGdiRegion* p)
{
    GdiRegister(p);
    return reinterpret_cast<HRGN>(static_cast<CGdiObject*>(p));
}

CGdiRegion* RegionOf(HRGN h) { return static_cast<CGdiRegion*>(GdiLookup(h, GK_REGION)); }

// The spans of row y of a polygon of at most GDI_POLY_MAX_POINTS points.
int SmallRowSpans(const POINT* p, int n, int iMode, int y, RGNSPAN* pOut)
{
    int64_t t[GDI_POLY_MAX_POINTS];
    int dir[GDI_POLY_MAX_POINTS];
    const int nCross = RowCrossings(p, n, y, t, dir);
    return RowSpans(t, dir, nCross, iMode, pOut);
}

}  // namespace

HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode)
{
    int nTop = 0, nBottom = 0;
    if ((iMode != ALTERNATE && iMode != WINDING) || !PolygonRows(pptl, cPoint, &nTop, &nBottom)) {
        return nullptr;
    }
    CGdiRegion* pRgn = new CGdiRegion();
    std::vector<int64_t> t(static_cast<size_t>(cPoint));
    std::vector<int> dir(static_cast<size_t>(cPoint));
    std::vector<RGNSPAN> spans(static_cast<size_t>(cPoint) / 2 + 1);
    for (int y = nTop; y < nBottom; y++) {
        const int nCross = RowCrossings(pptl, cPoint, y, t.data(), dir.data());
        const int nSpans = RowSpans(t.data(), dir.data(), nCross, iMode, spans.data());
        AppendRows(*pRgn, y, y + 1, spans.data(), nSpans);
    }
    std::lock_guard<std::mutex> guard(GdiLock());
    return Publish(pRgn);
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2)
{
    CGdiRegion* pRgn = new CGdiRegion();
    const RGNSPAN span = {std::min(x1, x2), std::max(x1, x2)};
    if (span.x1 > span.x0) {
        AppendRows(*pRgn, std::min(y1, y2), std::max(y1, y2), &span, 1);
    }
    std::lock_guard<std::mutex> guard(GdiLock());
    return Publish(pRgn);
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiRegion* pDst = RegionOf(hrgnDst);
    CGdiRegion* pA = RegionOf(hrgnSrc1);
    CGdiRegion* pB = iMode == RGN_COPY ? pA : RegionOf(hrgnSrc2);
    if (!pDst || !pA || !pB || iMode < RGN_AND || iMode > RGN_COPY) {
        return ERROR;
    }
    CGdiRegion result;
    Combine(*pA, *pB, iMode, result);
    pDst->m_bands.swap(result.m_bands);
    pDst->m_spans.swap(result.m_spans);
    return Kind(*pDst);
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    const CGdiRegion* p = RegionOf(hrgn);
    const RGNBAND* pBand = p ? BandAt(*p, y) : nullptr;
    return pBand && SpansContain(&p->m_spans[pBand->nFirst], static_cast<int>(pBand->nCount), x);
}

int GetRgnBox(HRGN hrgn, RECT* lprc)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    const CGdiRegion* p = RegionOf(hrgn);
    if (!p || !lprc) {
        return ERROR;
    }
    RECT rc = {0, 0, 0, 0};
    if (!p->m_bands.empty()) {
        rc = {p->m_spans[0].x0, p->m_bands.front().y0, p->m_spans[0].x1, p->m_bands.back().y1};
        for (const RGNBAND& band : p->m_bands) {
            rc.left = std::min<LONG>(rc.left, p->m_spans[band.nFirst].x0);
            rc.right = std::max<LONG>(rc.right, p->m_spans[band.nFirst + band.nCount - 1].x1);
        }
    }
    *lprc = rc;
    return Kind(*p);
}

BOOL PolygonsShareAPixel(const POINT* pA, int nA, const POINT* pB, int nB, int iMode)
{
    int nTopA = 0, nBottomA = 0, nTopB = 0, nBottomB = 0;
    if ((iMode != ALTERNATE && iMode != WINDING) || nA > GDI_POLY_MAX_POINTS || nB > GDI_POLY_MAX_POINTS ||
        !PolygonRows(pA, nA, &nTopA, &nBottomA) || !PolygonRows(pB, nB, &nTopB, &nBottomB)) {
        return FALSE;
    }
    RGNSPAN spansA[GDI_POLY_MAX_POINTS / 2 + 1];
    RGNSPAN spansB[GDI_POLY_MAX_POINTS / 2 + 1];
    const int nEnd = std::min(nBottomA, nBottomB);
    for (int y = std::max(nTopA, nTopB); y < nEnd; y++) {
        const int na = SmallRowSpans(pA, nA, iMode, y, spansA);
        const int nb = na ? SmallRowSpans(pB, nB, iMode, y, spansB) : 0;
        if (SpansOverlap(spansA, na, spansB, nb)) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL PtInPolygon(const POINT* pPoints, int nPoints, int iMode, int x, int y)
{
    int nTop = 0, nBottom = 0;
    if ((iMode != ALTERNATE && iMode != WINDING) || nPoints > GDI_POLY_MAX_POINTS ||
        !PolygonRows(pPoints, nPoints, &nTop, &nBottom) || y < nTop || y >= nBottom) {
        return FALSE;
    }
    RGNSPAN spans[GDI_POLY_MAX_POINTS / 2 + 1];
    return SpansContain(spans, SmallRowSpans(pPoints, nPoints, iMode, y, spans), x);
}
