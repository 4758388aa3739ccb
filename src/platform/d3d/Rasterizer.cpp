#include "platform/d3d/Rasterizer.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <mutex>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d/PixelOps.h"
#include "platform/ddraw/DDObjects.h"

namespace {

std::atomic<bool> g_bFastPaths{true};

// Guard band: primitives are clipped only where they reach this many viewports away.
constexpr float kGuardBand = 4.0f;
constexpr int kSubPixel = 256;
constexpr int kHalfPixel = kSubPixel / 2;

int64_t Snap(float f)
{
    return (int64_t)std::floor((double)f * kSubPixel + 0.5);
}

// Where the fields of a vertex are, from its flexible vertex format.
struct FVFLAYOUT {
    bool bRHW;
    int nNormal, nDiffuse, nSpecular, nTex;  // byte offsets, -1 when absent
    int nStride;
};

bool ParseFVF(DWORD dwFVF, FVFLAYOUT* p)
{
    const DWORD dwKnown = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_RESERVED1 | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                          D3DFVF_TEXCOUNT_MASK | 0xFFFF0000u;
    if ((dwFVF & ~dwKnown) || (dwFVF & D3DFVF_RESERVED0)) {
        return false;
    }
    const DWORD dwPos = dwFVF & D3DFVF_POSITION_MASK;
    int nOffset = 0;
    p->bRHW = false;
    if (dwPos == D3DFVF_XYZ) {
        nOffset = 12;
    } else if (dwPos == D3DFVF_XYZRHW) {
        nOffset = 16;
        p->bRHW = true;
    } else if (dwPos >= 0x6) {
        nOffset = 12 + 4 * (int)((dwPos - 0x4) / 2);  // XYZB1..XYZB5: blend weights follow
    } else {
        return false;
    }
    p->nNormal = -1;
    if (dwFVF & D3DFVF_NORMAL) {
        if (p->bRHW) {
            return false;
        }
        p->nNormal = nOffset;
        nOffset += 12;
    }
    if (dwFVF & D3DFVF_RESERVED1) {
        nOffset += 4;
    }
    p->nDiffuse = -1;
    if (dwFVF & D3DFVF_DIFFUSE) {
        p->nDiffuse = nOffset;
        nOffset += 4;
    }
    p->nSpecular = -1;
    if (dwFVF & D3DFVF_SPECULAR) {
        p->nSpecular = nOffset;
        nOffset += 4;
    }
    const int nTexCount = (int)((dwFVF & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (nTexCount > D3DDP_MAXTEXCOORD) {
        return false;
    }
    p->nTex = nTexCount > 0 ? nOffset : -1;
    nOffset += 8 * nTexCount;
    p->nStride = nOffset;
    return true;
}

DWORD ReadDword(const uint8_t* p)
{
    DWORD d;
    std::memcpy(&d, p, 4);
    return d;
}

void ReadFloats(const uint8_t* p, float* pOut, int n)
{
    std::memcpy(pOut, p, sizeof(float) * n);
}

void SetColor(PVERTEX& v, int nSlot, DWORD dwArgb, bool bAlpha)
{
    v.a[nSlot] = (float)RGBA_GETRED(dwArgb);
    v.a[nSlot + 1] = (float)RGBA_GETGREEN(dwArgb);
    v.a[nSlot + 2] = (float)RGBA_GETBLUE(dwArgb);
    if (bAlpha) {
        v.a[nSlot + 3] = (float)RGBA_GETALPHA(dwArgb);
    }
}

D3DCOLORVALUE ColorOf(DWORD dwArgb)
{
    return D3DCOLORVALUE{{RGBA_GETRED(dwArgb) / 255.0f}, {RGBA_GETGREEN(dwArgb) / 255.0f},
                         {RGBA_GETBLUE(dwArgb) / 255.0f}, {RGBA_GETALPHA(dwArgb) / 255.0f}};
}

float To255(float f)
{
    return std::min(std::max(f, 0.0f), 1.0f) * 255.0f;
}

float Dot(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Normalize(float* v)
{
    const float fLen = std::sqrt(Dot(v, v));
    if (fLen > 0.0f) {
        v[0] /= fLen;
        v[1] /= fLen;
        v[2] /= fLen;
    }
}

float PlaneDistance(const PVERTEX& v, int nPlane)
{
    switch (nPlane) {
    case 0: return v.cz;
    case 1: return v.cw - v.cz;
    case 2: return kGuardBand * v.cw + v.cx;
    case 3: return kGuardBand * v.cw - v.cx;
    case 4: return kGuardBand * v.cw + v.cy;
    default: return kGuardBand * v.cw - v.cy;
    }
}

constexpr int kPlaneCount = 6;

unsigned OutCode(const PVERTEX& v)
{
    unsigned n = 0;
    for (int i = 0; i < kPlaneCount; i++) {
        if (!(PlaneDistance(v, i) >= 0.0f)) {
            n |= 1u << i;
        }
    }
    return n;
}

// The point t of the way from the inside vertex toward the outside one. Always walking from the
// inside vertex makes a shared edge give the same point in both primitives.
PVERTEX Between(const PVERTEX& vIn, const PVERTEX& vOut, float t)
{
    PVERTEX r;
    r.cx = vIn.cx + (vOut.cx - vIn.cx) * t;
    r.cy = vIn.cy + (vOut.cy - vIn.cy) * t;
    r.cz = vIn.cz + (vOut.cz - vIn.cz) * t;
    r.cw = vIn.cw + (vOut.cw - vIn.cw) * t;
    r.sx = r.sy = 0.0f;
    for (int i = 0; i < ATTR_COUNT; i++) {
        r.a[i] = vIn.a[i] + (vOut.a[i] - vIn.a[i]) * t;
    }
    return r;
}

void ClipPolygon(const std::vector<PVERTEX>& in, std::vector<PVERTEX>& out, int nPlane)
{
    out.clear();
    const size_t n = in.size();
    for (size_t i = 0; i < n; i++) {
        const PVERTEX& s = in[i];
        const PVERTEX& e = in[(i + 1) % n];
        const float ds = PlaneDistance(s, nPlane);
        const float de = PlaneDistance(e, nPlane);
        const bool bSIn = ds >= 0.0f;
        const bool bEIn = de >= 0.0f;
        if (bSIn) {
            out.push_back(s);
        }
        if (bSIn && !bEIn) {
            out.push_back(Between(s, e, ds / (ds - de)));
        } else if (!bSIn && bEIn) {
            out.push_back(Between(e, s, de / (de - ds)));
        }
    }
}

// Attribute planes of one triangle: value = base + dx * (x - x0) + dy * (y - y0).
// The arrays run on to a whole number of four-float groups (the rest 0), for RowStart.
constexpr int kPlaneWidth = (ATTR_COUNT + 3) / 4 * 4;

struct PLANES {
    float x0, y0;
    float base[kPlaneWidth];
    float dx[kPlaneWidth];
    float dy[kPlaneWidth];
};

// Bit g of a group mask stands for attributes 4g to 4g + 3.
constexpr unsigned kAllGroups = (1u << (kPlaneWidth / 4)) - 1;
static_assert(ATTR_U / 4 == ATTR_V / 4, "the texture coordinates share a group");

#if defined(__SSE2__)
// Attributes i to i + 3 at offset (fx, fy) from the planes' origin, as RowStart finds them.
[[gnu::always_inline]] inline __m128 GroupAt(const PLANES& pl, int i, __m128 vfx, __m128 vfy)
{
    const __m128 vx = _mm_mul_ps(_mm_loadu_ps(pl.dx + i), vfx);
    const __m128 vy = _mm_mul_ps(_mm_loadu_ps(pl.dy + i), vfy);
    return _mm_add_ps(_mm_add_ps(_mm_loadu_ps(pl.base + i), vx), vy);
}
#endif

// The attributes at offset (fx, fy) from the planes' origin: base + dx * fx + dy * fy, each in
// that order, four at a time where SSE is there (the same float operations either way); only the
// groups of nGroups where SSE is there.
[[gnu::always_inline]] inline void RowStart(const PLANES& pl, float fx, float fy, float* at, unsigned nGroups)
{
#if defined(__SSE2__)
    static_assert(kPlaneWidth == 12, "three groups");
    const __m128 vfx = _mm_set1_ps(fx), vfy = _mm_set1_ps(fy);
    auto group = [&](int i) { _mm_storeu_ps(at + i, GroupAt(pl, i, vfx, vfy)); };
    if (nGroups & 1) {
        group(0);
    }
    if (nGroups & 2) {
        group(4);
    }
    if (nGroups & 4) {
        group(8);
    }
#else
    (void)nGroups;
    for (int i = 0; i < ATTR_COUNT; i++) {
        at[i] = pl.base[i] + pl.dx[i] * fx + pl.dy[i] * fy;
    }
#endif
}

void SetupPlanes(const PVERTEX& a, const PVERTEX& b, const PVERTEX& c, const int64_t* X, const int64_t* Y,
                 int64_t nArea2, bool bFlat, const PVERTEX& vFlat, PLANES* p)
{
    const double x0 = (double)X[0] / kSubPixel, y0 = (double)Y[0] / kSubPixel;
    const double x1 = (double)X[1] / kSubPixel - x0, y1 = (double)Y[1] / kSubPixel - y0;
    const double x2 = (double)X[2] / kSubPixel - x0, y2 = (double)Y[2] / kSubPixel - y0;
    const double fArea = (double)nArea2 / ((double)kSubPixel * kSubPixel);
    p->x0 = (float)x0;
    p->y0 = (float)y0;
    for (int i = ATTR_COUNT; i < kPlaneWidth; i++) {
        p->base[i] = p->dx[i] = p->dy[i] = 0.0f;
    }
#if defined(__SSE2__)
    // Two attributes at a time, each lane the same double operations as below.
    static_assert(ATTR_COUNT % 2 == 0, "attributes in pairs");
    const __m128d vx1 = _mm_set1_pd(x1), vy1 = _mm_set1_pd(y1), vx2 = _mm_set1_pd(x2), vy2 = _mm_set1_pd(y2);
    const __m128d vArea = _mm_set1_pd(fArea);
    auto pair = [](const float* pf) {
        return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pf))));
    };
    auto store = [](float* pf, __m128d v) { _mm_storel_pi(reinterpret_cast<__m64*>(pf), _mm_cvtpd_ps(v)); };
    for (int i = 0; i < ATTR_COUNT; i += 2) {
        const __m128d v0 = pair(a.a + i);
        const __m128d d1 = _mm_sub_pd(pair(b.a + i), v0), d2 = _mm_sub_pd(pair(c.a + i), v0);
        p->base[i] = a.a[i];
        p->base[i + 1] = a.a[i + 1];
        store(p->dx + i, _mm_div_pd(_mm_sub_pd(_mm_mul_pd(d1, vy2), _mm_mul_pd(d2, vy1)), vArea));
        store(p->dy + i, _mm_div_pd(_mm_sub_pd(_mm_mul_pd(d2, vx1), _mm_mul_pd(d1, vx2)), vArea));
    }
#else
    for (int i = 0; i < ATTR_COUNT; i++) {
        const double v0 = a.a[i];
        const double d1 = (double)b.a[i] - v0, d2 = (double)c.a[i] - v0;
        p->base[i] = a.a[i];
        p->dx[i] = (float)((d1 * y2 - d2 * y1) / fArea);
        p->dy[i] = (float)((d2 * x1 - d1 * x2) / fArea);
    }
#endif
    if (bFlat) {
        for (int i = ATTR_R; i <= ATTR_SB; i++) {
            p->base[i] = vFlat.a[i];
            p->dx[i] = p->dy[i] = 0.0f;
        }
    }
}

// Whether the texel row of row y of a triangle whose v does not change along rows is all black.
// The span computes v as base + dx * fx + dy * fy; with dx 0 the middle term is a zero, which
// leaves the sum as it is, whatever the span's first pixel.
bool IsBlackRow(const PIXELSTATE& ps, const PLANES& pl, int64_t y)
{
    const float fy = (float)y + 0.5f - pl.y0;
    return IsBlackTexelRow(ps, TexelFixed((pl.base[ATTR_V] + pl.dy[ATTR_V] * fy) * ps.fTexH));
}

// One edge as an integer function of the pixel centre; Test(x) tells whether a centre is inside.
struct EDGE {
    int64_t dx, dy, ax, ay;
    int64_t nBias;  // 0 when the edge owns the pixels on it, else 1
};

EDGE MakeEdge(int64_t ax, int64_t ay, int64_t bx, int64_t by)
{
    EDGE e;
    e.dx = bx - ax;
    e.dy = by - ay;
    e.ax = ax;
    e.ay = ay;
    const bool bOwned = (e.dy < 0) || (e.dy == 0 && e.dx > 0);  // left edge, or top edge
    e.nBias = bOwned ? 0 : 1;
    return e;
}

// An edge's limit on the rows of a triangle. The limit is floor(m / P) for a numerator m that grows
// by the same amount from one row to the next, so it is kept as quotient and remainder and stepped
// row by row: one division per edge and triangle instead of one per edge and row, the same limits.
struct EDGESTEP {
    int64_t A = 0;       // -dy; 0 for a level edge, which limits no column
    int64_t P = 1;       // kSubPixel * |A|
    int64_t q = 0;       // floor(m / P)
    int64_t r = 0;       // m - q * P, in [0, P)
    int64_t nStepQ = 0;  // the row's growth of m, as quotient and remainder by P
    int64_t nStepR = 0;
};

EDGESTEP StartEdge(const EDGE& e, int64_t yc)
{
    EDGESTEP s;
    s.A = -e.dy;
    if (s.A == 0) {
        return s;
    }
    // m is minus the numerator of the pixel-centre test's division: the inside columns begin at
    // -floor(m / P) on an edge going up and end at floor(m / P) on one going down.
    const int64_t K = e.dx * (yc - e.ay) + e.dy * e.ax;
    const int64_t m = K + (int64_t)kHalfPixel * s.A - e.nBias;
    s.P = (int64_t)kSubPixel * (s.A > 0 ? s.A : -s.A);
    s.q = FloorDiv(m, s.P);
    s.r = m - s.q * s.P;
    const int64_t nStep = e.dx * kSubPixel;
    s.nStepQ = FloorDiv(nStep, s.P);
    s.nStepR = nStep - s.nStepQ * s.P;
    return s;
}

// Without a branch: whether the remainder carries is as good as random from row to row.
void StepEdge(EDGESTEP* s)
{
    const int64_t r = s->r + s->nStepR;
    const int64_t nCarry = r >= s->P ? 1 : 0;
    s->q += s->nStepQ + nCarry;
    s->r = r - (s->P & -nCarry);
}

// A triangle's rows [nRowT, nRowB] and what cuts them.
struct ROWS {
    const EDGE* e;  // three
    const PLANES* pPlanes;
    int64_t nRowT, nRowB;
    bool bBlackRowsSkip;  // v is the same along a row: rows whose texels are all black add nothing
    unsigned nGroups = kAllGroups;  // the attribute groups the spans read
};

// A level edge limits no column: a row centre is inside it when dx * (yc - ay) >= its bias, which
// for a top edge (going right, owning its pixels) is yc >= ay and for a bottom edge yc < ay. So it
// only narrows the rows.
void CutRowsByLevelEdge(const EDGE& e, int64_t* pRowT, int64_t* pRowB)
{
    if (e.dx > 0) {
        *pRowT = std::max(*pRowT, CeilDiv(e.ay - kHalfPixel, kSubPixel));
    } else {
        *pRowB = std::min(*pRowB, FloorDiv(e.ay - kHalfPixel - 1, kSubPixel));
    }
}

// The span of row y, its columns [nL, nR], and what is to be done for it: shade(y, x0, x1, at)
// with at the attributes at its first pixel's centre, unless it is empty or a row whose texels are
// all black.
template <class F>
[[gnu::always_inline]] inline void ShadeRow(const PIXELSTATE& ps, const ROWS& rows, int64_t y, int64_t nL, int64_t nR,
                                            F& shade)
{
    const PLANES& pl = *rows.pPlanes;
    if (nL > nR || (rows.bBlackRowsSkip && IsBlackRow(ps, pl, y))) {
        return;
    }
    float at[kPlaneWidth];
    RowStart(pl, (float)nL + 0.5f - pl.x0, (float)y + 0.5f - pl.y0, at, rows.nGroups);
    shade((int)y, (int)nL, (int)nR + 1, at);
}

#if defined(__SSE2__)
// The steps of a left and a right edge (lanes 0 and 1) in 32 bits, four lanes at once: StepEdge
// for both in a few instructions, where their limits and remainders hold in 32 bits on every row.
struct EDGEPAIR {
    __m128i q, r, nStepQ, nStepR, P;
};

// Whether StepEdge keeps s within 32 bits for nRows rows: the quotient moves by at most its step
// and one a row, and the remainder stays below P, where adding a step below P keeps it.
bool FitsInt32(const EDGESTEP& s, int64_t nRows)
{
    constexpr int64_t kMax = (int64_t)1 << 30;
    const int64_t nStep = s.nStepQ < 0 ? -s.nStepQ : s.nStepQ;
    return s.P <= kMax && s.q > -kMax && s.q < kMax && nStep < kMax && (s.q < 0 ? -s.q : s.q) + nRows * (nStep + 1) < kMax;
}

EDGEPAIR PairEdges(const EDGESTEP& l, const EDGESTEP& r)
{
    return EDGEPAIR{_mm_setr_epi32((int)l.q, (int)r.q, 0, 0), _mm_setr_epi32((int)l.r, (int)r.r, 0, 0),
                    _mm_setr_epi32((int)l.nStepQ, (int)r.nStepQ, 0, 0), _mm_setr_epi32((int)l.nStepR, (int)r.nStepR, 0, 0),
                    _mm_setr_epi32((int)l.P, (int)r.P, 1, 1)};
}

// StepEdge of both edges.
[[gnu::always_inline]] inline void StepEdges(EDGEPAIR* e)
{
    const __m128i r = _mm_add_epi32(e->r, e->nStepR);
    const __m128i carry = _mm_xor_si128(_mm_cmplt_epi32(r, e->P), _mm_set1_epi32(-1));  // all ones where r >= P
    e->q = _mm_sub_epi32(_mm_add_epi32(e->q, e->nStepQ), carry);
    e->r = _mm_sub_epi32(r, _mm_and_si128(e->P, carry));
}
#endif

// Calls shade(y, x0, x1, at) for the span [x0, x1) of each of rows [nRowT, nRowB] with pixels in
// it, at holding the attributes at its first pixel's centre: st[0, kLeft) are the edges that limit
// the columns on the left, the next kRight those on the right (known in number, the steps stay in
// registers).
template <int kLeft, int kRight, class F>
void ForEachRowOf(const PIXELSTATE& ps, const ROWS& rows, int64_t nRowT, int64_t nRowB, const EDGESTEP* pSt, F shade)
{
#if defined(__SSE2__)
    if (kLeft == 1 && kRight == 1 && FitsInt32(pSt[0], nRowB - nRowT + 1) && FitsInt32(pSt[1], nRowB - nRowT + 1)) {
        EDGEPAIR e = PairEdges(pSt[0], pSt[1]);
        for (int64_t y = nRowT; y <= nRowB; y++) {
            const int nL = std::max(ps.nClipL, -_mm_cvtsi128_si32(e.q));
            const int nR = std::min(ps.nClipR - 1, _mm_cvtsi128_si32(_mm_srli_si128(e.q, 4)));
            StepEdges(&e);
            ShadeRow(ps, rows, y, nL, nR, shade);
        }
        return;
    }
#endif
    EDGESTEP st[kLeft + kRight];
    std::copy(pSt, pSt + kLeft + kRight, st);
    for (int64_t y = nRowT; y <= nRowB; y++) {
        int64_t nL = ps.nClipL, nR = ps.nClipR - 1;
        for (int i = 0; i < kLeft; i++) {
            nL = std::max(nL, -st[i].q);
            StepEdge(&st[i]);
        }
        for (int i = kLeft; i < kLeft + kRight; i++) {
            nR = std::min(nR, st[i].q);
            StepEdge(&st[i]);
        }
        ShadeRow(ps, rows, y, nL, nR, shade);
    }
}

// Rows [nRowT, nRowB] of ForEachRowOf, the edges in the order given (the left ones first) started
// at the first of them.
template <int kLeft, int kRight, class F>
void RowsBetween(const PIXELSTATE& ps, const ROWS& rows, int64_t nRowT, int64_t nRowB, const EDGE* const* ppEdge, F shade)
{
    nRowT = std::max(nRowT, rows.nRowT);
    nRowB = std::min(nRowB, rows.nRowB);
    if (nRowT > nRowB) {
        return;
    }
    EDGESTEP st[kLeft + kRight];
    for (int i = 0; i < kLeft + kRight; i++) {
        st[i] = StartEdge(*ppEdge[i], nRowT * kSubPixel + kHalfPixel);
    }
    ForEachRowOf<kLeft, kRight>(ps, rows, nRowT, nRowB, st, shade);
}

// ForEachRowOf for a triangle's rows: an edge going up limits the columns on the left, one going
// down on the right; a level edge only narrows the rows. Of two edges on one side the upper one
// alone limits the rows whose centres lie above the vertex they share and the lower one those
// below it: the other's line runs outside the triangle there (on the row of the vertex itself both
// are looked at).
template <class F>
void ForEachRow(const PIXELSTATE& ps, const ROWS& rowsIn, F shade)
{
    ROWS rows = rowsIn;
    const EDGE* e = rows.e;
    const EDGE* pLeft[2] = {};
    const EDGE* pRight[2] = {};
    int nLeft = 0, nRight = 0;
    for (int i = 0; i < 3; i++) {
        if (e[i].dy == 0) {
            CutRowsByLevelEdge(e[i], &rows.nRowT, &rows.nRowB);
        } else if (e[i].dy < 0) {
            pLeft[nLeft++] = &e[i];
        } else {
            pRight[nRight++] = &e[i];
        }
    }
    if (rows.nRowT > rows.nRowB) {
        return;
    }
    // A triangle of some area has an edge going up and one going down, and at most one level edge.
    if (nLeft == 1 && nRight == 1) {
        const EDGE* pEdges[2] = {pLeft[0], pRight[0]};
        RowsBetween<1, 1>(ps, rows, rows.nRowT, rows.nRowB, pEdges, shade);
        return;
    }
    const EDGE** pPair = nLeft == 2 ? pLeft : pRight;
    const EDGE* pOne = nLeft == 2 ? pRight[0] : pLeft[0];
    auto top = [](const EDGE* p) { return std::min(p->ay, p->ay + p->dy); };
    const EDGE* pUpper = top(pPair[0]) < top(pPair[1]) ? pPair[0] : pPair[1];
    const EDGE* pLower = pUpper == pPair[0] ? pPair[1] : pPair[0];
    const int64_t yMid = std::max(pUpper->ay, pUpper->ay + pUpper->dy);
    const int64_t nAbove = FloorDiv(yMid - kHalfPixel - 1, kSubPixel);  // the last row centred above it
    const int64_t nBelow = FloorDiv(yMid - kHalfPixel, kSubPixel) + 1;  // the first row centred below it
    const EDGE* pUpperPair[2] = {nLeft == 2 ? pUpper : pOne, nLeft == 2 ? pOne : pUpper};
    const EDGE* pLowerPair[2] = {nLeft == 2 ? pLower : pOne, nLeft == 2 ? pOne : pLower};
    RowsBetween<1, 1>(ps, rows, rows.nRowT, nAbove, pUpperPair, shade);
    if (nBelow - nAbove == 2) {
        const EDGE* pAll[3] = {pLeft[0], nLeft == 2 ? pLeft[1] : pRight[0], pRight[nRight - 1]};
        if (nLeft == 2) {
            RowsBetween<2, 1>(ps, rows, nAbove + 1, nAbove + 1, pAll, shade);
        } else {
            RowsBetween<1, 2>(ps, rows, nAbove + 1, nAbove + 1, pAll, shade);
        }
    }
    RowsBetween<1, 1>(ps, rows, nBelow, rows.nRowB, pLowerPair, shade);
}

#if defined(__SSE2__)
// The rows of a triangle of one colour throughout on a texture wrapped by mask, without depth or
// (kDepth) tested and not written, its spans shaded in mode kMode. Each span finds its texture
// coordinates (and depth) itself, at once, and looks at its texel row from the texel position it
// needs anyway.
template <int kMode, bool kDepth>
void ShadeWrappedRows(const PIXELSTATE& ps, const ROWS& rows, const TEXSPANS& ts)
{
    static_assert(ATTR_U % 4 == 0 && ATTR_V == ATTR_U + 1 && ATTR_Z == 0, "u and v lead a group, depth another");
    ROWS wrapped = rows;
    wrapped.bBlackRowsSkip = false;
    wrapped.nGroups = 0;
    const PLANES& pl = *rows.pPlanes;
    const __m128 size = _mm_setr_ps(ps.fTexW, ps.fTexH, 0.0f, 0.0f);
    ForEachRow(ps, wrapped, [&](int y, int x0, int x1, float*) __attribute__((always_inline)) {
        const __m128 vfx = _mm_set1_ps((float)x0 + 0.5f - pl.x0), vfy = _mm_set1_ps((float)y + 0.5f - pl.y0);
        int64_t nU, nV;
        TexelFixedPair(_mm_mul_ps(GroupAt(pl, ATTR_U, vfx, vfy), size), &nU, &nV);
        const uint16_t z16 = kDepth ? DepthToZ16(_mm_cvtss_f32(GroupAt(pl, ATTR_Z, vfx, vfy))) : 0;
        ShadeWrappedSpan<kMode, kDepth>(ps, ts, y, x0, x1, nU, nV, z16);
    });
}

// The rows of a triangle of one colour throughout, its spans shaded in mode kMode.
template <int kMode>
void ShadeFixedRows(const PIXELSTATE& ps, const ROWS& rows, const TEXSPANS& ts)
{
    if (ts.bPow2 && !ps.pZ) {
        ShadeWrappedRows<kMode, false>(ps, rows, ts);
    } else if (ts.bPow2 && !ps.bZWrite) {
        ShadeWrappedRows<kMode, true>(ps, rows, ts);
    } else {
        ForEachRow(ps, rows, [&](int y, int x0, int x1, float* at) { ShadeFixedSpan<kMode>(ps, ts, y, x0, x1, at); });
    }
}
#endif

void SetTexChannels(const DDPIXELFORMAT& pf, PIXELSTATE* ps)
{
    const DWORD dwMasks[3] = {pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};
    ps->bTexChannels = true;
    for (int i = 0; i < 3; i++) {
        ps->nTexShift[i] = dwMasks[i] ? std::countr_zero(dwMasks[i]) : 0;
        ps->nTexBits[i] = std::popcount(dwMasks[i]);
        // Widening by one repeat of the top bits is the decoding rule only for 4..8 bits.
        if (ps->nTexBits[i] < 4 || ps->nTexBits[i] > 8) {
            ps->bTexChannels = false;
        }
    }
}

} // namespace

int VertexStride(DWORD dwFVF)
{
    FVFLAYOUT lay;
    return ParseFVF(dwFVF, &lay) ? lay.nStride : 0;
}

void CRasterizer::EnableFastPaths(bool bEnable)
{
    g_bFastPaths = bEnable;
}

bool CRasterizer::FastPathsEnabled()
{
    return g_bFastPaths;
}

HRESULT CRasterizer::Begin(const DRAWSTATE& ds)
{
    m_ds = ds;
    PIXELSTATE& ps = m_ps;
    ps = PIXELSTATE{};
    const DWORD* rs = ds.pRender;
    const DWORD* ts = ds.pStage0;
    CDDSurface* pT = ds.pTarget;
    ps.pTarget = reinterpret_cast<uint16_t*>(pT->Bits());
    ps.lTargetPitch = pT->Pitch() / 2;
    const D3DVIEWPORT7& vp = *ds.pViewport;
    ps.nClipL = (int)std::min<DWORD>(vp.dwX, (DWORD)pT->Width());
    ps.nClipT = (int)std::min<DWORD>(vp.dwY, (DWORD)pT->Height());
    ps.nClipR = (int)std::min<int64_t>((int64_t)vp.dwX + vp.dwWidth, pT->Width());
    ps.nClipB = (int)std::min<int64_t>((int64_t)vp.dwY + vp.dwHeight, pT->Height());
    if (ds.pZ && rs[D3DRENDERSTATE_ZENABLE] != D3DZB_FALSE) {
        ps.pZ = reinterpret_cast<uint16_t*>(ds.pZ->Bits());
        ps.lZPitch = ds.pZ->Pitch() / 2;
        ps.bZTest = true;
        ps.dwZFunc = rs[D3DRENDERSTATE_ZFUNC];
        ps.bZWrite = rs[D3DRENDERSTATE_ZWRITEENABLE] != 0;
    }
    ps.dwColorOp = ts[D3DTSS_COLOROP];
    ps.dwColorArg1 = ts[D3DTSS_COLORARG1];
    ps.dwColorArg2 = ts[D3DTSS_COLORARG2];
    ps.dwAlphaOp = ts[D3DTSS_ALPHAOP];
    ps.dwAlphaArg1 = ts[D3DTSS_ALPHAARG1];
    ps.dwAlphaArg2 = ts[D3DTSS_ALPHAARG2];
    if (ps.dwColorOp < D3DTOP_DISABLE || ps.dwColorOp > D3DTOP_BLENDCURRENTALPHA) {
        return D3DERR_UNSUPPORTEDCOLOROPERATION;
    }
    if (ps.dwAlphaOp < D3DTOP_DISABLE || ps.dwAlphaOp > D3DTOP_BLENDCURRENTALPHA) {
        return D3DERR_UNSUPPORTEDALPHAOPERATION;
    }
    if ((ps.dwColorArg1 & D3DTA_SELECTMASK) > D3DTA_SPECULAR || (ps.dwColorArg2 & D3DTA_SELECTMASK) > D3DTA_SPECULAR) {
        return D3DERR_UNSUPPORTEDCOLORARG;
    }
    if ((ps.dwAlphaArg1 & D3DTA_SELECTMASK) > D3DTA_SPECULAR || (ps.dwAlphaArg2 & D3DTA_SELECTMASK) > D3DTA_SPECULAR) {
        return D3DERR_UNSUPPORTEDALPHAARG;
    }
    CDDSurface* pTex = ds.pTexture;
    if (pTex) {
        const PIXELKIND eKind = pTex->Kind();
        if (eKind == PK_Z16 || eKind == PK_UNKNOWN) {
            return D3DERR_WRONGTEXTUREFORMAT;
        }
        ps.pTex = pTex->Bits();
        ps.lTexPitch = pTex->Pitch();
        ps.nTexW = pTex->Width();
        ps.nTexH = pTex->Height();
        ps.fTexW = (float)ps.nTexW;
        ps.fTexH = (float)ps.nTexH;
        ps.nTexBpp = BytesPerPixel(eKind);
        ps.pTexLut = ps.nTexBpp == 2 ? ArgbTable16(eKind) : nullptr;
        ps.bWrapU = ts[D3DTSS_ADDRESSU] != D3DTADDRESS_CLAMP;
        ps.bWrapV = ts[D3DTSS_ADDRESSV] != D3DTADDRESS_CLAMP;
        ps.bPow2U = ps.bWrapU && (ps.nTexW & (ps.nTexW - 1)) == 0;
        ps.bPow2V = ps.bWrapV && (ps.nTexH & (ps.nTexH - 1)) == 0;
        if (ps.nTexBpp == 2) {
            SetTexChannels(pTex->Format(), &ps);
        }
        if (rs[D3DRENDERSTATE_COLORKEYENABLE] && pTex->HasSrcKey()) {
            const uint32_t dwAll = ps.nTexBpp == 2 ? 0xFFFFu : 0xFFFFFFFFu;
            ps.bKey = true;
            ps.dwKeyMask = dwAll & ~pTex->Format().dwRGBAlphaBitMask;
            ps.dwKey = pTex->SrcKey().dwColorSpaceLowValue & ps.dwKeyMask;
        }
    }
    ps.dwTFactor = rs[D3DRENDERSTATE_TEXTUREFACTOR];
    ps.bSpecular = rs[D3DRENDERSTATE_SPECULARENABLE] != 0;
    ps.bAlphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] != 0;
    ps.dwAlphaFunc = rs[D3DRENDERSTATE_ALPHAFUNC];
    ps.dwAlphaRef = rs[D3DRENDERSTATE_ALPHAREF] & 0xFF;
    ps.bBlend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
    ps.dwSrcBlend = rs[D3DRENDERSTATE_SRCBLEND];
    ps.dwDestBlend = rs[D3DRENDERSTATE_DESTBLEND];
    ps.bFlat = rs[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT;
    ps.nFastPath = g_bFastPaths ? ChooseFastPath(ps) : FAST_NONE;
    ps.bSkipBlack = ps.nFastPath == FAST_TEX_ADDITIVE && !(ps.pZ && ps.bZWrite) && pTex != pT;
    return D3D_OK;
}

void CRasterizer::ToScreen(PVERTEX& v) const
{
    const D3DVIEWPORT7& vp = *m_ds.pViewport;
    const float fInv = 1.0f / v.cw;
    const float fHalfW = (float)vp.dwWidth * 0.5f;
    const float fHalfH = (float)vp.dwHeight * 0.5f;
    v.sx = (float)vp.dwX + (v.cx * fInv + 1.0f) * fHalfW;
    v.sy = (float)vp.dwY + (1.0f - v.cy * fInv) * fHalfH;
    v.a[ATTR_Z] = vp.dvMinZ + v.cz * fInv * (vp.dvMaxZ - vp.dvMinZ);
}

void CRasterizer::LightVertex(const float* pPos, const float* pNormal, DWORD dwDiffuse, DWORD dwSpecular,
                              bool bHasDiffuse, bool bHasSpecular, PVERTEX& out) const
{
    const DWORD* rs = m_ds.pRender;
    if (!rs[D3DRENDERSTATE_LIGHTING]) {
        SetColor(out, ATTR_R, bHasDiffuse ? dwDiffuse : 0xFFFFFFFFu, true);
        SetColor(out, ATTR_SR, bHasSpecular ? dwSpecular : 0u, false);
        return;
    }
    const D3DMATERIAL7& m = *m_ds.pMaterial;
    D3DCOLORVALUE md = m.diffuse, ma = m.ambient, ms = m.specular, me = m.emissive;
    if (rs[D3DRENDERSTATE_COLORVERTEX]) {
        auto pick = [&](DWORD dwSource, D3DCOLORVALUE& c) {
            if (dwSource == D3DMCS_COLOR1 && bHasDiffuse) {
                c = ColorOf(dwDiffuse);
            } else if (dwSource == D3DMCS_COLOR2 && bHasSpecular) {
                c = ColorOf(dwSpecular);
            }
        };
        pick(rs[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE], md);
        pick(rs[D3DRENDERSTATE_AMBIENTMATERIALSOURCE], ma);
        pick(rs[D3DRENDERSTATE_SPECULARMATERIALSOURCE], ms);
        pick(rs[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE], me);
    }
    const D3DMATRIX& w = *m_ds.pWorld;
    const float wp[3] = {pPos[0] * w._11 + pPos[1] * w._21 + pPos[2] * w._31 + w._41,
                         pPos[0] * w._12 + pPos[1] * w._22 + pPos[2] * w._32 + w._42,
                         pPos[0] * w._13 + pPos[1] * w._23 + pPos[2] * w._33 + w._43};
    float n[3] = {0.0f, 0.0f, 0.0f};
    if (pNormal) {
        n[0] = pNormal[0] * w._11 + pNormal[1] * w._21 + pNormal[2] * w._31;
        n[1] = pNormal[0] * w._12 + pNormal[1] * w._22 + pNormal[2] * w._32;
        n[2] = pNormal[0] * w._13 + pNormal[1] * w._23 + pNormal[2] * w._33;
        if (rs[D3DRENDERSTATE_NORMALIZENORMALS]) {
            Normalize(n);
        }
    }
    const D3DCOLORVALUE ga = ColorOf(rs[D3DRENDERSTATE_AMBIENT]);
    float c[3] = {me.r + ga.r * ma.r, me.g + ga.g * ma.g, me.b + ga.b * ma.b};
    float s[3] = {0.0f, 0.0f, 0.0f};
    const D3DMATRIX& v = *m_ds.pView;
    float toEye[3] = {-v._13, -v._23, -v._33};
    Normalize(toEye);
    for (size_t i = 0; i < m_ds.nLights; i++) {
        if (!m_ds.pLightOn[i]) {
            continue;
        }
        const D3DLIGHT7& L = m_ds.pLights[i];
        float dir[3];
        float fAtt = 1.0f;
        if (L.dltType == D3DLIGHT_DIRECTIONAL) {
            dir[0] = -L.dvDirection.x;
            dir[1] = -L.dvDirection.y;
            dir[2] = -L.dvDirection.z;
            Normalize(dir);
        } else {
            dir[0] = L.dvPosition.x - wp[0];
            dir[1] = L.dvPosition.y - wp[1];
            dir[2] = L.dvPosition.z - wp[2];
            const float fDist = std::sqrt(Dot(dir, dir));
            if (L.dvRange > 0.0f && fDist > L.dvRange) {
                continue;
            }
            Normalize(dir);
            const float fDen = L.dvAttenuation0 + L.dvAttenuation1 * fDist + L.dvAttenuation2 * fDist * fDist;
            fAtt = fDen > 0.0f ? 1.0f / fDen : 1.0f;
        }
        c[0] += fAtt * L.dcvAmbient.r * ma.r;
        c[1] += fAtt * L.dcvAmbient.g * ma.g;
        c[2] += fAtt * L.dcvAmbient.b * ma.b;
        const float fNL = std::max(0.0f, Dot(n, dir));
        if (fNL <= 0.0f) {
            continue;
        }
        c[0] += fAtt * L.dcvDiffuse.r * md.r * fNL;
        c[1] += fAtt * L.dcvDiffuse.g * md.g * fNL;
        c[2] += fAtt * L.dcvDiffuse.b * md.b * fNL;
        if (rs[D3DRENDERSTATE_SPECULARENABLE]) {
            float h[3] = {dir[0] + toEye[0], dir[1] + toEye[1], dir[2] + toEye[2]};
            Normalize(h);
            const float fNH = std::max(0.0f, Dot(n, h));
            const float fP = m.power > 0.0f ? std::pow(fNH, m.power) : 1.0f;
            s[0] += fAtt * L.dcvSpecular.r * ms.r * fP;
            s[1] += fAtt * L.dcvSpecular.g * ms.g * fP;
            s[2] += fAtt * L.dcvSpecular.b * ms.b * fP;
        }
    }
    out.a[ATTR_R] = To255(c[0]);
    out.a[ATTR_G] = To255(c[1]);
    out.a[ATTR_B] = To255(c[2]);
    out.a[ATTR_A] = To255(md.a);
    out.a[ATTR_SR] = To255(s[0]);
    out.a[ATTR_SG] = To255(s[1]);
    out.a[ATTR_SB] = To255(s[2]);
}

void CRasterizer::TransformVertices(DWORD dwFVF, const void* pVertices, DWORD dwCount)
{
    FVFLAYOUT lay;
    ParseFVF(dwFVF, &lay);
    m_bPretransformed = lay.bRHW;
    m_verts.resize(dwCount);
    const uint8_t* p = static_cast<const uint8_t*>(pVertices);
    const D3DMATRIX& m = *m_ds.pCombined;
    for (DWORD i = 0; i < dwCount; i++, p += lay.nStride) {
        PVERTEX& v = m_verts[i];
        float pos[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        ReadFloats(p, pos, lay.bRHW ? 4 : 3);
        const DWORD dwDiffuse = lay.nDiffuse >= 0 ? ReadDword(p + lay.nDiffuse) : 0xFFFFFFFFu;
        const DWORD dwSpecular = lay.nSpecular >= 0 ? ReadDword(p + lay.nSpecular) : 0u;
        if (lay.nTex >= 0) {
            ReadFloats(p + lay.nTex, &v.a[ATTR_U], 2);
        } else {
            v.a[ATTR_U] = v.a[ATTR_V] = 0.0f;
        }
        if (lay.bRHW) {
            v.sx = pos[0];
            v.sy = pos[1];
            v.a[ATTR_Z] = pos[2];
            v.cx = v.cy = v.cz = 0.0f;
            v.cw = 1.0f;
            v.nOutCode = 0;
            SetColor(v, ATTR_R, dwDiffuse, true);
            SetColor(v, ATTR_SR, dwSpecular, false);
            continue;
        }
        v.cx = pos[0] * m._11 + pos[1] * m._21 + pos[2] * m._31 + m._41;
        v.cy = pos[0] * m._12 + pos[1] * m._22 + pos[2] * m._32 + m._42;
        v.cz = pos[0] * m._13 + pos[1] * m._23 + pos[2] * m._33 + m._43;
        v.cw = pos[0] * m._14 + pos[1] * m._24 + pos[2] * m._34 + m._44;
        float normal[3];
        if (lay.nNormal >= 0) {
            ReadFloats(p + lay.nNormal, normal, 3);
        }
        LightVertex(pos, lay.nNormal >= 0 ? normal : nullptr, dwDiffuse, dwSpecular, lay.nDiffuse >= 0,
                    lay.nSpecular >= 0, v);
        v.nOutCode = OutCode(v);
        if (v.cw > 0.0f) {
            ToScreen(v);
        }
    }
}

HRESULT CRasterizer::Draw(D3DPRIMITIVETYPE eType, DWORD dwFVF, const void* pVertices, DWORD dwCount,
                          const WORD* pIndices, DWORD dwIndexCount)
{
    FVFLAYOUT lay;
    if (!ParseFVF(dwFVF, &lay)) {
        return D3DERR_INVALIDVERTEXFORMAT;
    }
    if (eType < D3DPT_POINTLIST || eType > D3DPT_TRIANGLEFAN) {
        return D3DERR_INVALIDPRIMITIVETYPE;
    }
    if (!pVertices || dwCount == 0) {
        return dwCount == 0 ? D3D_OK : DDERR_INVALIDPARAMS;
    }
    const DWORD n = pIndices ? dwIndexCount : dwCount;
    if (pIndices) {
        for (DWORD k = 0; k < dwIndexCount; k++) {
            if (pIndices[k] >= dwCount) {
                return DDERR_INVALIDPARAMS;
            }
        }
    }
    TransformVertices(dwFVF, pVertices, dwCount);
    m_ds.pTarget->MarkWritten();
    if (m_ps.pZ && m_ps.bZWrite) {
        m_ds.pZ->MarkWritten();
    }
    // The texture's bounds stay as they are (no one writes it) while they are in use. Bounds that
    // cut nothing are not worth looking at.
    std::unique_lock<std::mutex> lock;
    if (m_ps.bSkipBlack) {
        lock = m_ds.pTexture->LockDerived();
        const CNonBlackBounds* pBounds = m_ds.pTexture->NonBlackBounds();
        m_ps.pBounds = pBounds && !pBounds->IsFull() ? pBounds : nullptr;
    }
#if defined(__SSE2__)
    FIXEDCOLOURS fixed;
    m_pFixed = &fixed;
#endif
    DrawPrimitives(eType, pIndices, n);
    m_pFixed = nullptr;
    m_ps.pBounds = nullptr;
    return D3D_OK;
}

void CRasterizer::DrawPrimitives(D3DPRIMITIVETYPE eType, const WORD* pIndices, DWORD n)
{
    auto at = [&](DWORD k) -> const PVERTEX& { return m_verts[pIndices ? pIndices[k] : k]; };
    switch (eType) {
    case D3DPT_POINTLIST:
        for (DWORD k = 0; k < n; k++) {
            Point(at(k));
        }
        break;
    case D3DPT_LINELIST:
        for (DWORD k = 0; k + 1 < n; k += 2) {
            ClippedLine(at(k), at(k + 1));
        }
        break;
    case D3DPT_LINESTRIP:
        for (DWORD k = 0; k + 1 < n; k++) {
            ClippedLine(at(k), at(k + 1));
        }
        break;
    case D3DPT_TRIANGLELIST:
        for (DWORD k = 0; k + 2 < n; k += 3) {
            ClippedTriangle(at(k), at(k + 1), at(k + 2));
        }
        break;
    case D3DPT_TRIANGLESTRIP:
        for (DWORD k = 0; k + 2 < n; k++) {
            if (k & 1) {
                ClippedTriangle(at(k + 1), at(k), at(k + 2));
            } else {
                ClippedTriangle(at(k), at(k + 1), at(k + 2));
            }
        }
        break;
    case D3DPT_TRIANGLEFAN:
        for (DWORD k = 1; k + 1 < n; k++) {
            ClippedTriangle(at(0), at(k), at(k + 1));
        }
        break;
    }
}

void CRasterizer::ClippedTriangle(const PVERTEX& a, const PVERTEX& b, const PVERTEX& c)
{
    if (m_bPretransformed) {
        Triangle(a, b, c);
        return;
    }
    const unsigned c0 = a.nOutCode, c1 = b.nOutCode, c2 = c.nOutCode;
    if ((c0 | c1 | c2) == 0) {
        Triangle(a, b, c);
        return;
    }
    if (c0 & c1 & c2) {
        return;
    }
    m_clipA.assign({a, b, c});
    const unsigned nAny = c0 | c1 | c2;
    for (int i = 0; i < kPlaneCount && m_clipA.size() >= 3; i++) {
        if (nAny & (1u << i)) {
            ClipPolygon(m_clipA, m_clipB, i);
            m_clipA.swap(m_clipB);
        }
    }
    if (m_clipA.size() < 3) {
        return;
    }
    for (PVERTEX& v : m_clipA) {
        ToScreen(v);
    }
    for (size_t i = 1; i + 1 < m_clipA.size(); i++) {
        Triangle(m_clipA[0], m_clipA[i], m_clipA[i + 1]);
    }
}

void CRasterizer::Triangle(const PVERTEX& a, const PVERTEX& b, const PVERTEX& c)
{
    // A texture that is black throughout, added, adds nothing to any span (see NonBlackPart): the
    // faded sparks of a burst.
    if (SkipsBlackSpans(m_ps) && m_ps.pBounds->IsBlack()) {
        return;
    }
    const PVERTEX* v[3] = {&a, &b, &c};
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; i++) {
        if (!std::isfinite(v[i]->sx) || !std::isfinite(v[i]->sy)) {
            return;
        }
        X[i] = Snap(v[i]->sx);
        Y[i] = Snap(v[i]->sy);
    }
    int64_t nArea2 = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
    if (nArea2 == 0) {
        return;
    }
    // On screen (y down) a positive area runs clockwise.
    const DWORD dwCull = m_ds.pRender[D3DRENDERSTATE_CULLMODE];
    if ((dwCull == D3DCULL_CCW && nArea2 < 0) || (dwCull == D3DCULL_CW && nArea2 > 0)) {
        return;
    }
    if (nArea2 < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        nArea2 = -nArea2;
    }
    const PIXELSTATE& ps = m_ps;
    const int64_t nMinY = std::min({Y[0], Y[1], Y[2]});
    const int64_t nMaxY = std::max({Y[0], Y[1], Y[2]});
    const int64_t nRowT = std::max<int64_t>(CeilDiv(nMinY - kHalfPixel, kSubPixel), ps.nClipT);
    const int64_t nRowB = std::min<int64_t>(FloorDiv(nMaxY - kHalfPixel, kSubPixel), ps.nClipB - 1);
    if (nRowT > nRowB) {
        return;
    }
    // A triangle whose corners all lie left of the first column's centres or right of the last
    // one's (a laser's strip running off the screen) covers none of them: its rows are all empty.
    const int64_t nMinX = std::min({X[0], X[1], X[2]});
    const int64_t nMaxX = std::max({X[0], X[1], X[2]});
    if (nMaxX < (int64_t)ps.nClipL * kSubPixel + kHalfPixel || nMinX > (int64_t)(ps.nClipR - 1) * kSubPixel + kHalfPixel) {
        return;
    }
    const EDGE e[3] = {MakeEdge(X[0], Y[0], X[1], Y[1]), MakeEdge(X[1], Y[1], X[2], Y[2]),
                       MakeEdge(X[2], Y[2], X[0], Y[0])};
    PLANES pl;
    SetupPlanes(*v[0], *v[1], *v[2], X, Y, nArea2, ps.bFlat, a, &pl);
    // With v the same along a row, a row whose texels are all black adds nothing (see ShadeSpan).
    const bool bBlackRowsSkip = pl.dx[ATTR_V] == 0.0f && SkipsBlackSpans(ps);
    TEXSPANS ts;
    if (ps.nFastPath == FAST_TEX_OPAQUE || ps.nFastPath == FAST_TEX_ADDITIVE) {
        MakeTexSpans(ps, pl.base, pl.dx, pl.dy, &ts);
    }
    ROWS rows = {e, &pl, nRowT, nRowB, bBlackRowsSkip};
#if defined(__SSE2__)
    // The game's glows and sprites: one colour throughout, each span shaded the same way.
    if ((ps.nFastPath == FAST_TEX_OPAQUE || ps.nFastPath == FAST_TEX_ADDITIVE) && ts.bEights && ts.bFixedColor) {
        MakeFixedSpans(ps, ps.nFastPath == FAST_TEX_ADDITIVE, m_pFixed, &ts);
        if (ts.bNothing) {
            return;
        }
        // Their spans read the texture coordinates, and depth where it is tested.
        rows.nGroups = 1u << (ATTR_U / 4) | (ps.pZ ? 1u << (ATTR_Z / 4) : 0u);
        switch (ts.nMode) {
        case SHADE_OPAQUE: ShadeFixedRows<SHADE_OPAQUE>(ps, rows, ts); break;
        case SHADE_ADD565: ShadeFixedRows<SHADE_ADD565>(ps, rows, ts); break;
        case SHADE_ADD555: ShadeFixedRows<SHADE_ADD555>(ps, rows, ts); break;
        case SHADE_ADD_LIT555: ShadeFixedRows<SHADE_ADD_LIT555>(ps, rows, ts); break;
        case SHADE_ADD555_BLUE: ShadeFixedRows<SHADE_ADD555_BLUE>(ps, rows, ts); break;
        case SHADE_OPAQUE_LIT555: ShadeFixedRows<SHADE_OPAQUE_LIT555>(ps, rows, ts); break;
        default: ShadeFixedRows<SHADE_ADD>(ps, rows, ts); break;
        }
        return;
    }
#endif
    // The common set-ups shade their spans inline in the row loop.
    switch (ps.nFastPath) {
    case FAST_TEX_ADDITIVE:
        ForEachRow(ps, rows, [&](int y, int x0, int x1, float* at) {
            ShadeSpanTexModulate<true>(ps, ts, y, x0, x1, at, pl.dx);
        });
        break;
    case FAST_TEX_OPAQUE:
        ForEachRow(ps, rows, [&](int y, int x0, int x1, float* at) {
            ShadeSpanTexModulate<false>(ps, ts, y, x0, x1, at, pl.dx);
        });
        break;
    default:
        ForEachRow(ps, rows, [&](int y, int x0, int x1, float* at) { ShadeSpan(ps, ts, y, x0, x1, at, pl.dx); });
        break;
    }
}

void CRasterizer::ClippedLine(const PVERTEX& a, const PVERTEX& b)
{
    if (m_bPretransformed) {
        Line(a, b);
        return;
    }
    const unsigned c0 = a.nOutCode, c1 = b.nOutCode;
    if ((c0 | c1) == 0) {
        Line(a, b);
        return;
    }
    if (c0 & c1) {
        return;
    }
    PVERTEX p = a, q = b;
    for (int i = 0; i < kPlaneCount; i++) {
        const float dp = PlaneDistance(p, i), dq = PlaneDistance(q, i);
        if (dp >= 0.0f && dq >= 0.0f) {
            continue;
        }
        if (dp < 0.0f && dq < 0.0f) {
            return;
        }
        if (dp < 0.0f) {
            p = Between(q, p, dq / (dq - dp));
        } else {
            q = Between(p, q, dp / (dp - dq));
        }
    }
    ToScreen(p);
    ToScreen(q);
    Line(p, q);
}

void CRasterizer::Line(const PVERTEX& a, const PVERTEX& b)
{
    if (!std::isfinite(a.sx) || !std::isfinite(a.sy) || !std::isfinite(b.sx) || !std::isfinite(b.sy)) {
        return;
    }
    const float fdx = b.sx - a.sx, fdy = b.sy - a.sy;
    const float fLen = std::max(std::fabs(fdx), std::fabs(fdy));
    const int nSteps = (int)std::min(std::floor(fLen + 0.5f), 65536.0f);
    // One pixel per step along the longer axis; the last pixel is left for the next segment.
    for (int k = 0; k < nSteps; k++) {
        const float t = (float)k / (float)nSteps;
        const int x = (int)std::floor(a.sx + fdx * t);
        const int y = (int)std::floor(a.sy + fdy * t);
        if (x < m_ps.nClipL || x >= m_ps.nClipR || y < m_ps.nClipT || y >= m_ps.nClipB) {
            continue;
        }
        float at[ATTR_COUNT];
        for (int i = 0; i < ATTR_COUNT; i++) {
            at[i] = a.a[i] + (b.a[i] - a.a[i]) * t;
        }
        ShadePixel(m_ps, x, y, at, TexelFixed(at[ATTR_U] * m_ps.fTexW), TexelFixed(at[ATTR_V] * m_ps.fTexH));
    }
}

void CRasterizer::Point(const PVERTEX& a)
{
    if (!m_bPretransformed && a.nOutCode) {
        return;
    }
    if (!std::isfinite(a.sx) || !std::isfinite(a.sy)) {
        return;
    }
    const float fx = std::floor(a.sx), fy = std::floor(a.sy);
    if (fx < (float)m_ps.nClipL || fx >= (float)m_ps.nClipR || fy < (float)m_ps.nClipT || fy >= (float)m_ps.nClipB) {
        return;
    }
    ShadePixel(m_ps, (int)fx, (int)fy, a.a, TexelFixed(a.a[ATTR_U] * m_ps.fTexW),
               TexelFixed(a.a[ATTR_V] * m_ps.fTexH));
}
