// Per-pixel work of the rasteriser: depth test, texture fetch and colour key, the stage-0 colour
// and alpha operations, specular add, alpha test and blending into RGB565. The specialised span
// loops at the end do the same arithmetic for the game's two common set-ups, only with the state
// tests taken out of the loop; spans of one colour without depth go eight pixels at a time (SSE2).
// Added (ONE/ONE) spans leave out the texels that are black, which add nothing, by the texture's
// bounds of the others.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/NonBlackBounds.h"
#include "platform/ddraw/PixelFormat.h"

// a * b / 255 rounded to nearest, for 8-bit a and b.
inline uint32_t Mul255(uint32_t a, uint32_t b)
{
    const uint32_t p = a * b + 128;
    return (p + (p >> 8)) >> 8;
}

inline uint32_t Sat255(int v)
{
    return v < 0 ? 0u : (v > 255 ? 255u : (uint32_t)v);
}

inline uint16_t DepthToZ16(float z)
{
    if (!(z > 0.0f)) {
        return 0;
    }
    if (z >= 1.0f) {
        return 0xFFFF;
    }
    return (uint16_t)(z * 65535.0f + 0.5f);
}

// An interpolated colour channel (0..255 as float) as an 8-bit value.
inline uint32_t Channel8(float f)
{
    if (!(f > 0.0f)) {
        return 0;
    }
    return f >= 255.0f ? 255u : (uint32_t)(f + 0.5f);
}

struct RGBA8 {
    uint32_t r, g, b, a;
};

inline RGBA8 Diffuse8(const float* at)
{
    return RGBA8{Channel8(at[ATTR_R]), Channel8(at[ATTR_G]), Channel8(at[ATTR_B]), Channel8(at[ATTR_A])};
}

inline RGBA8 Specular8(const float* at)
{
    return RGBA8{Channel8(at[ATTR_SR]), Channel8(at[ATTR_SG]), Channel8(at[ATTR_SB]), 0};
}

// n copies of w from p on.
inline void FillWords(uint16_t* p, size_t n, uint16_t w)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi16((short)w);
    for (; i + 8 <= n; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
    }
#endif
    for (; i < n; i++) {
        p[i] = w;
    }
}

inline RGBA8 FromArgb(uint32_t c)
{
    return RGBA8{(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, c >> 24};
}

inline bool Compare(DWORD dwFunc, uint32_t v, uint32_t ref)
{
    switch (dwFunc) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return v < ref;
    case D3DCMP_EQUAL: return v == ref;
    case D3DCMP_LESSEQUAL: return v <= ref;
    case D3DCMP_GREATER: return v > ref;
    case D3DCMP_NOTEQUAL: return v != ref;
    case D3DCMP_GREATEREQUAL: return v >= ref;
    default: return true;
    }
}

// Texture positions along a span are stepped in texels as 32.32 fixed point, so every path finds
// the same texel: a coordinate u becomes round(u * size * 2^32), halves rounded up; the texel is its
// integer part. Below 1e9 texels a float times 2^32 is exact in a double, and where adding a half
// is not exact the product is an even whole number, which the sum rounds back to; the floor is the
// truncation less one where that went up. A value of 1e9 texels or more (or not a number) becomes 0.
// From 2^-9 texel on a float's last bit is worth 2^-32 or more: the product is whole, which the
// rounding leaves as it is, and its truncation is all.
inline int64_t TexelFixed(float fTexels)
{
    const float fAbs = std::fabs(fTexels);
    if (fAbs >= 0x1p-9f && fAbs < 1.0e9f) {
        return (int64_t)((double)fTexels * 4294967296.0);
    }
    if (!(fAbs < 1.0e9f)) {
        return 0;
    }
    const double f = (double)fTexels * 4294967296.0 + 0.5;
    const int64_t n = (int64_t)f;
    return n - (f < (double)n ? 1 : 0);
}

#if defined(__SSE2__)
// TexelFixed of lanes 0 and 1 of v, both at once where both take the one truncation.
[[gnu::always_inline]] inline void TexelFixedPair(__m128 v, int64_t* pA, int64_t* pB)
{
    const __m128 abs = _mm_andnot_ps(_mm_set1_ps(-0.0f), v);
    const __m128 in = _mm_and_ps(_mm_cmpge_ps(abs, _mm_set1_ps(0x1p-9f)), _mm_cmplt_ps(abs, _mm_set1_ps(1.0e9f)));
    if ((_mm_movemask_ps(in) & 3) == 3) {
        const __m128d d = _mm_mul_pd(_mm_cvtps_pd(v), _mm_set1_pd(4294967296.0));
        *pA = _mm_cvttsd_si64(d);
        *pB = _mm_cvttsd_si64(_mm_unpackhi_pd(d, d));
        return;
    }
    *pA = TexelFixed(_mm_cvtss_f32(v));
    *pB = TexelFixed(_mm_cvtss_f32(_mm_shuffle_ps(v, v, 1)));
}
#endif

inline int WrapTexel(int64_t nFixed, int n, bool bWrap)
{
    int64_t i = nFixed >> 32;  // floor
    if (bWrap && n > 0 && (n & (n - 1)) == 0) {
        return (int)(i & (n - 1));  // the modulo below, without a division
    }
    if (bWrap) {
        i %= n;
        return (int)(i < 0 ? i + n : i);
    }
    return (int)std::min<int64_t>(std::max<int64_t>(i, 0), n - 1);
}

inline uint32_t FetchTexel(const PIXELSTATE& ps, int64_t nU, int64_t nV)
{
    const int x = WrapTexel(nU, ps.nTexW, ps.bWrapU);
    const int y = WrapTexel(nV, ps.nTexH, ps.bWrapV);
    const uint8_t* pRow = ps.pTex + (long)y * ps.lTexPitch;
    return ps.nTexBpp == 2 ? reinterpret_cast<const uint16_t*>(pRow)[x] : reinterpret_cast<const uint32_t*>(pRow)[x];
}

inline uint32_t TexelArgb(const PIXELSTATE& ps, uint32_t dwRaw)
{
    return ps.pTexLut ? ps.pTexLut[dwRaw] : dwRaw;
}

inline RGBA8 StageArg(DWORD dwArg, const RGBA8& dif, const RGBA8& tex, const RGBA8& spec, const RGBA8& tf)
{
    RGBA8 v;
    switch (dwArg & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE: v = tex; break;
    case D3DTA_TFACTOR: v = tf; break;
    case D3DTA_SPECULAR: v = spec; break;
    default: v = dif; break;  // DIFFUSE, and CURRENT (the diffuse colour at stage 0)
    }
    if (dwArg & D3DTA_ALPHAREPLICATE) {
        v.r = v.g = v.b = v.a;
    }
    if (dwArg & D3DTA_COMPLEMENT) {
        v = RGBA8{255 - v.r, 255 - v.g, 255 - v.b, 255 - v.a};
    }
    return v;
}

inline uint32_t StageOp(DWORD dwOp, uint32_t x1, uint32_t x2, uint32_t alpha)
{
    switch (dwOp) {
    case D3DTOP_SELECTARG1: return x1;
    case D3DTOP_SELECTARG2: return x2;
    case D3DTOP_MODULATE: return Mul255(x1, x2);
    case D3DTOP_MODULATE2X: return std::min(255u, 2 * Mul255(x1, x2));
    case D3DTOP_MODULATE4X: return std::min(255u, 4 * Mul255(x1, x2));
    case D3DTOP_ADD: return std::min(255u, x1 + x2);
    case D3DTOP_ADDSIGNED: return Sat255((int)x1 + (int)x2 - 128);
    case D3DTOP_ADDSIGNED2X: return Sat255(2 * ((int)x1 + (int)x2 - 128));
    case D3DTOP_SUBTRACT: return Sat255((int)x1 - (int)x2);
    case D3DTOP_ADDSMOOTH: return x1 + x2 - Mul255(x1, x2);
    case D3DTOP_BLENDTEXTUREALPHAPM: return std::min(255u, x1 + Mul255(x2, 255 - alpha));
    default: return std::min(255u, Mul255(x1, alpha) + Mul255(x2, 255 - alpha));  // the BLEND...ALPHA ops
    }
}

// The alpha a BLEND...ALPHA operation weighs its arguments by.
inline uint32_t OpAlpha(DWORD dwOp, const RGBA8& dif, const RGBA8& tex, const RGBA8& tf)
{
    switch (dwOp) {
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDTEXTUREALPHAPM: return tex.a;
    case D3DTOP_BLENDFACTORALPHA: return tf.a;
    default: return dif.a;  // BLENDDIFFUSEALPHA, BLENDCURRENTALPHA
    }
}

// Stage 0: a texture argument with no texture bound reads as the current (diffuse) colour.
inline RGBA8 CombineStage(const PIXELSTATE& ps, const RGBA8& dif, const RGBA8& tex, const RGBA8& spec)
{
    if (ps.dwColorOp == D3DTOP_DISABLE) {
        return dif;
    }
    const RGBA8 tf = FromArgb(ps.dwTFactor);
    const RGBA8 c1 = StageArg(ps.dwColorArg1, dif, tex, spec, tf);
    const RGBA8 c2 = StageArg(ps.dwColorArg2, dif, tex, spec, tf);
    const uint32_t dwColorAlpha = OpAlpha(ps.dwColorOp, dif, tex, tf);
    RGBA8 out;
    out.r = StageOp(ps.dwColorOp, c1.r, c2.r, dwColorAlpha);
    out.g = StageOp(ps.dwColorOp, c1.g, c2.g, dwColorAlpha);
    out.b = StageOp(ps.dwColorOp, c1.b, c2.b, dwColorAlpha);
    if (ps.dwAlphaOp == D3DTOP_DISABLE) {
        out.a = dif.a;
    } else {
        const RGBA8 a1 = StageArg(ps.dwAlphaArg1, dif, tex, spec, tf);
        const RGBA8 a2 = StageArg(ps.dwAlphaArg2, dif, tex, spec, tf);
        out.a = StageOp(ps.dwAlphaOp, a1.a, a2.a, OpAlpha(ps.dwAlphaOp, dif, tex, tf));
    }
    return out;
}

inline void BlendFactors(DWORD dwSrc, DWORD dwDest, const RGBA8& s, const RGBA8& d, RGBA8* pFs, RGBA8* pFd)
{
    auto factor = [&](DWORD f) -> RGBA8 {
        switch (f) {
        case D3DBLEND_ZERO: return RGBA8{0, 0, 0, 0};
        case D3DBLEND_SRCCOLOR: return s;
        case D3DBLEND_INVSRCCOLOR: return RGBA8{255 - s.r, 255 - s.g, 255 - s.b, 255 - s.a};
        case D3DBLEND_SRCALPHA: return RGBA8{s.a, s.a, s.a, s.a};
        case D3DBLEND_INVSRCALPHA: return RGBA8{255 - s.a, 255 - s.a, 255 - s.a, 255 - s.a};
        case D3DBLEND_DESTALPHA: return RGBA8{255, 255, 255, 255};
        case D3DBLEND_INVDESTALPHA: return RGBA8{0, 0, 0, 0};
        case D3DBLEND_DESTCOLOR: return d;
        case D3DBLEND_INVDESTCOLOR: return RGBA8{255 - d.r, 255 - d.g, 255 - d.b, 255 - d.a};
        case D3DBLEND_SRCALPHASAT: return RGBA8{0, 0, 0, 255};  // min(source alpha, 1 - destination alpha)
        default: return RGBA8{255, 255, 255, 255};              // ONE
        }
    };
    if (dwSrc == D3DBLEND_BOTHSRCALPHA || dwSrc == D3DBLEND_BOTHINVSRCALPHA) {
        const uint32_t a = dwSrc == D3DBLEND_BOTHSRCALPHA ? s.a : 255 - s.a;
        *pFs = RGBA8{a, a, a, a};
        *pFd = RGBA8{255 - a, 255 - a, 255 - a, 255 - a};
        return;
    }
    *pFs = factor(dwSrc);
    *pFd = factor(dwDest);
}

inline uint16_t BlendPixel(const PIXELSTATE& ps, const RGBA8& s, uint16_t wDest)
{
    const RGBA8 d = FromArgb(Expand565(wDest));
    RGBA8 fs, fd;
    BlendFactors(ps.dwSrcBlend, ps.dwDestBlend, s, d, &fs, &fd);
    return Pack565(std::min(255u, Mul255(s.r, fs.r) + Mul255(d.r, fd.r)),
                   std::min(255u, Mul255(s.g, fs.g) + Mul255(d.g, fd.g)),
                   std::min(255u, Mul255(s.b, fs.b) + Mul255(d.b, fd.b)));
}

// Stage 0, the specular add and the alpha test: false when the alpha test discards the pixel.
inline bool PixelColour(const PIXELSTATE& ps, const RGBA8& dif, const RGBA8& tex, const RGBA8& spec, RGBA8* pOut)
{
    RGBA8 out = CombineStage(ps, dif, tex, spec);
    if (ps.bSpecular) {
        out.r = std::min(255u, out.r + spec.r);
        out.g = std::min(255u, out.g + spec.g);
        out.b = std::min(255u, out.b + spec.b);
    }
    if (ps.bAlphaTest && !Compare(ps.dwAlphaFunc, out.a, ps.dwAlphaRef)) {
        return false;
    }
    *pOut = out;
    return true;
}

// The general path: one pixel with every state honoured; nU, nV are the texel position.
inline void ShadePixel(const PIXELSTATE& ps, int x, int y, const float* at, int64_t nU, int64_t nV)
{
    uint16_t* pZ = nullptr;
    uint16_t z16 = 0;
    if (ps.pZ) {
        z16 = DepthToZ16(at[ATTR_Z]);
        pZ = ps.pZ + (long)y * ps.lZPitch + x;
        if (!Compare(ps.dwZFunc, z16, *pZ)) {
            return;
        }
    }
    const RGBA8 dif = Diffuse8(at);
    const RGBA8 spec = Specular8(at);
    RGBA8 tex = dif;
    if (ps.pTex) {
        const uint32_t dwRaw = FetchTexel(ps, nU, nV);
        if (ps.bKey && (dwRaw & ps.dwKeyMask) == ps.dwKey) {
            return;
        }
        tex = FromArgb(TexelArgb(ps, dwRaw));
    }
    RGBA8 out;
    if (!PixelColour(ps, dif, tex, spec, &out)) {
        return;
    }
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch + x;
    *pD = ps.bBlend ? BlendPixel(ps, out, *pD) : Pack565(out.r, out.g, out.b);
    if (pZ && ps.bZWrite) {
        *pZ = z16;
    }
}

enum FASTPATH {
    FAST_NONE = 0,
    FAST_TEX_OPAQUE,    // texture x diffuse, written as it is (the keyed, lit sprite set-up)
    FAST_TEX_ADDITIVE,  // texture x diffuse, added with saturation (the glow set-up)
    FAST_UNTEXTURED,    // no texture bound: flat and Gouraud colours, any stage, blend and depth state
};

inline bool IsPlainArg(DWORD dwArg, DWORD dwWhat)
{
    return dwArg == dwWhat || (dwWhat == D3DTA_DIFFUSE && dwArg == D3DTA_CURRENT);
}

inline int ChooseFastPath(const PIXELSTATE& ps)
{
    if (!ps.pTex) {
        return FAST_UNTEXTURED;
    }
    if (!ps.pTex || !ps.pTexLut || ps.bAlphaTest || ps.dwColorOp != D3DTOP_MODULATE) {
        return FAST_NONE;
    }
    const bool bTexDif = (IsPlainArg(ps.dwColorArg1, D3DTA_TEXTURE) && IsPlainArg(ps.dwColorArg2, D3DTA_DIFFUSE)) ||
                         (IsPlainArg(ps.dwColorArg2, D3DTA_TEXTURE) && IsPlainArg(ps.dwColorArg1, D3DTA_DIFFUSE));
    if (!bTexDif) {
        return FAST_NONE;
    }
    if (!ps.bBlend) {
        return FAST_TEX_OPAQUE;
    }
    if (ps.dwSrcBlend == D3DBLEND_ONE && ps.dwDestBlend == D3DBLEND_ONE) {
        return FAST_TEX_ADDITIVE;
    }
    return FAST_NONE;
}

// Whether the n texel positions from P by D (32.32) all have P's integer part: the run keeps to
// one texel row (or column), however its index wraps.
inline bool KeepsTexel(int64_t P, int64_t D, int n)
{
    int64_t nSteps, nLast;
    // The positions lie between the first and the last, unless the sum runs past what 64 bits hold.
    if (__builtin_mul_overflow(D, (int64_t)(n - 1), &nSteps) || __builtin_add_overflow(P, nSteps, &nLast)) {
        return false;
    }
    return (P >> 32) == (nLast >> 32);
}

// The raw texels of n pixels from texel position (nU, nV) stepping by (nDU, nDV), by the general
// fetch rule. A run that lies within one texture row is returned in place; others are gathered
// into pBuf. bInside: every position lies inside the texture, where wrapping and clamping leave
// the texel index as it is.
inline const uint16_t* TexelRun(const PIXELSTATE& ps, int64_t nU, int64_t nV, int64_t nDU, int64_t nDV, int n,
                                bool bInside, uint16_t* pBuf)
{
    const bool bPow2U = ps.bPow2U, bPow2V = ps.bPow2V;
    const int64_t nMaskU = ps.nTexW - 1, nMaskV = ps.nTexH - 1;
    // A short span's v seldom moves it to another texture row.
    if (nDV == 0 || KeepsTexel(nV, nDV, n)) {
        const int ty = bPow2V ? (int)((nV >> 32) & nMaskV) : WrapTexel(nV, ps.nTexH, ps.bWrapV);
        const uint16_t* pRow = reinterpret_cast<const uint16_t*>(ps.pTex + (long)ty * ps.lTexPitch);
        const int64_t nFirst = nU >> 32;
        // One texel per pixel inside the row: wrapping and clamping leave every index as it is.
        if (nDU == (int64_t)1 << 32 && nFirst >= 0 && nFirst + n <= ps.nTexW) {
            return pRow + nFirst;
        }
        if (bInside) {
            for (int i = 0; i < n; i++, nU += nDU) {
                pBuf[i] = pRow[nU >> 32];
            }
            return pBuf;
        }
        if (bPow2U) {
            for (int i = 0; i < n; i++, nU += nDU) {
                pBuf[i] = pRow[(nU >> 32) & nMaskU];
            }
            return pBuf;
        }
        for (int i = 0; i < n; i++, nU += nDU) {
            pBuf[i] = pRow[WrapTexel(nU, ps.nTexW, ps.bWrapU)];
        }
        return pBuf;
    }
    if (bInside) {
        for (int i = 0; i < n; i++, nU += nDU, nV += nDV) {
            pBuf[i] = reinterpret_cast<const uint16_t*>(ps.pTex + (long)(nV >> 32) * ps.lTexPitch)[nU >> 32];
        }
        return pBuf;
    }
    for (int i = 0; i < n; i++, nU += nDU, nV += nDV) {
        if (bPow2U && bPow2V) {
            const uint8_t* pRow = ps.pTex + (long)((nV >> 32) & nMaskV) * ps.lTexPitch;
            pBuf[i] = reinterpret_cast<const uint16_t*>(pRow)[(nU >> 32) & nMaskU];
        } else {
            pBuf[i] = (uint16_t)FetchTexel(ps, nU, nV);
        }
    }
    return pBuf;
}

inline int64_t FloorDiv(int64_t n, int64_t d)
{
    int64_t q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0))) {
        q--;
    }
    return q;
}

inline int64_t CeilDiv(int64_t n, int64_t d)
{
    return -FloorDiv(-n, d);
}

// Whether the n texel positions from P by D (32.32) all lie in [0, nSize) texels.
inline bool StaysInside(int64_t P, int64_t D, int n, int nSize)
{
    const int64_t nEnd = (int64_t)nSize << 32;
    int64_t nSteps, nLast;
    // A last position past what 64 bits hold is outside.
    if (__builtin_mul_overflow(D, (int64_t)(n - 1), &nSteps) || __builtin_add_overflow(P, nSteps, &nLast)) {
        return false;
    }
    return P >= 0 && P < nEnd && nLast >= 0 && nLast < nEnd;
}

// ceil(num / d) for d > 0, held to [nMin, nMax] (nMin <= nMax), with fRcp about 1 / d: the estimate
// from the reciprocal is mended by products, which the bounds keep near num, so it is exact and
// needs no division.
inline int64_t CeilDivWithin(int64_t num, int64_t d, double fRcp, int64_t nMin, int64_t nMax)
{
    const double fEstimate = (double)num * fRcp;
    int64_t q = fEstimate <= (double)nMin ? nMin : (fEstimate >= (double)nMax ? nMax : (int64_t)fEstimate);
    while (q < nMax && q * d < num) {
        q++;
    }
    while (q > nMin && (q - 1) * d >= num) {
        q--;
    }
    return q;
}

// Narrows [*pLo, *pHi) to the pixels i of a span whose texel position P + i * D (32.32) lies in
// [L, R); fRcp is 1 / |D|. Every position of the span lies inside the texture (StaysInside), so
// nothing overflows. An empty result has *pLo == *pHi.
inline void NarrowToBand(int64_t P, int64_t D, double fRcp, int64_t L, int64_t R, int* pLo, int* pHi)
{
    int64_t nLo = *pLo, nHi = *pHi;
    if (nLo >= nHi) {
        return;
    }
    // Where the span's first or last position already lies in the band, that end stays.
    const int64_t nLast = P + (nHi - 1) * D;
    if (D == 0) {
        nHi = (P >= L && P < R) ? nHi : nLo;
    } else if (D > 0) {
        // P + i * D >= L from i = ceil((L - P) / D) on; < R up to ceil((R - P) / D).
        nLo = P >= L ? nLo : CeilDivWithin(L - P, D, fRcp, nLo, nHi);
        nHi = nLast < R ? nHi : CeilDivWithin(R - P, D, fRcp, nLo, nHi);
    } else {
        // Going down: < R from floor((R - P) / D) + 1 = ceil((P - R + 1) / -D) on, and >= L up to
        // ceil((P - L + 1) / -D).
        nLo = P < R ? nLo : CeilDivWithin(P - R + 1, -D, fRcp, nLo, nHi);
        nHi = nLast >= L ? nHi : CeilDivWithin(P - L + 1, -D, fRcp, nLo, nHi);
    }
    *pLo = (int)nLo;
    *pHi = (int)nHi;
}

// Whether the draw skips spans whose texels are all black (added with ONE/ONE, nothing added to them).
inline bool SkipsBlackSpans(const PIXELSTATE& ps)
{
    return ps.nFastPath == FAST_TEX_ADDITIVE && ps.pBounds && !ps.bSpecular;
}

// Whether texel row nV (32.32), which a span with no change in v fetches throughout, is all black.
inline bool IsBlackTexelRow(const PIXELSTATE& ps, int64_t nV)
{
    const int ty = WrapTexel(nV, ps.nTexH, ps.bWrapV);
    return ps.pBounds->RowLeft(ty) == ps.pBounds->RowRight(ty);
}

// NarrowToBand to texels [nFirst, nEnd) of nSize, which needs nothing when that is all of them.
inline void NarrowToTexels(int64_t P, int64_t D, double fRcp, int nFirst, int nEnd, int nSize, int* pLo, int* pHi)
{
    if (nFirst > 0 || nEnd < nSize) {
        NarrowToBand(P, D, fRcp, (int64_t)nFirst << 32, (int64_t)nEnd << 32, pLo, pHi);
    }
}

// The part [*pLo, *pHi) of a span of n pixels, texel position (nU, nV) stepping by (nDU, nDV), whose
// texels may be other than black (the rest add nothing); *pbInside tells whether every position
// lies inside the texture. fRcpDU, fRcpDV: 1 / |nDU|, 1 / |nDV|.
inline void NonBlackPart(const PIXELSTATE& ps, int64_t nU, int64_t nV, int64_t nDU, int64_t nDV, double fRcpDU,
                         double fRcpDV, int n, int* pLo, int* pHi, bool* pbInside)
{
    const CNonBlackBounds& b = *ps.pBounds;
    const bool bInsideU = StaysInside(nU, nDU, n, ps.nTexW);
    *pbInside = bInsideU && StaysInside(nV, nDV, n, ps.nTexH);
    *pLo = 0;
    *pHi = n;
    if (b.IsBlack()) {
        *pHi = 0;
    } else if (nDV == 0) {
        // One texture row, whichever way its index wraps: its own bounds.
        const int ty = WrapTexel(nV, ps.nTexH, ps.bWrapV);
        if (IsBlackTexelRow(ps, nV)) {
            *pHi = 0;
        } else if (bInsideU) {
            NarrowToTexels(nU, nDU, fRcpDU, b.RowLeft(ty), b.RowRight(ty), ps.nTexW, pLo, pHi);
        }
    } else if (*pbInside) {
        NarrowToTexels(nU, nDU, fRcpDU, b.Left(), b.Right(), ps.nTexW, pLo, pHi);
        NarrowToTexels(nV, nDV, fRcpDV, b.Top(), b.Bottom(), ps.nTexH, pLo, pHi);
    }
}

#if defined(__SSE2__)
// A constant-colour span eight pixels at a time, each channel in a 16-bit lane. Every value stays
// within 0..255 in the low byte, so an unsigned saturating byte add is min(255, a + b).
struct SPANSIMD {
    __m128i shift[3], mask[3], up[3], down[3];  // texel channel: v = (t >> shift) & mask, (v << up) | (v >> down)
    __m128i color[3], spec[3];
    __m128i keyMask, key;
    bool bLit, bKey;
    bool bSum565;  // an RGB565 texel, white and no specular: added, the fields simply add (AddSat565x8)
    bool b555;     // an X1R5G5B5 or A1R5G5B5 texel
    bool bSum555;  // the same for such a texel (AddSat555x8)
    bool bBlue555; // the same but for a specular colour of blue alone (AddSat555x8<true>)
    DWORD dwZFunc;
    bool bZWrite;
};

inline SPANSIMD MakeSpanSimd(const PIXELSTATE& ps, uint32_t r, uint32_t g, uint32_t b, uint32_t sr, uint32_t sg,
                             uint32_t sb)
{
    SPANSIMD k;
    const uint32_t color[3] = {r, g, b}, spec[3] = {sr, sg, sb};
    for (int i = 0; i < 3; i++) {
        const int nBits = ps.nTexBits[i];
        k.shift[i] = _mm_cvtsi32_si128(ps.nTexShift[i]);
        k.mask[i] = _mm_set1_epi16((short)((1 << nBits) - 1));
        k.up[i] = _mm_cvtsi32_si128(8 - nBits);
        k.down[i] = _mm_cvtsi32_si128(2 * nBits - 8);
        k.color[i] = _mm_set1_epi16((short)color[i]);
        k.spec[i] = _mm_set1_epi16((short)spec[i]);
    }
    k.bLit = (r & g & b) != 255;  // x * 255 / 255 is x
    k.bSum565 = !k.bLit && (sr | sg | sb) == 0 && ps.nTexShift[0] == 11 && ps.nTexBits[0] == 5 &&
                ps.nTexShift[1] == 5 && ps.nTexBits[1] == 6 && ps.nTexShift[2] == 0 && ps.nTexBits[2] == 5;
    k.b555 = ps.nTexShift[0] == 10 && ps.nTexBits[0] == 5 && ps.nTexShift[1] == 5 && ps.nTexBits[1] == 5 &&
             ps.nTexShift[2] == 0 && ps.nTexBits[2] == 5;
    k.bSum555 = !k.bLit && (sr | sg | sb) == 0 && k.b555;
    k.bBlue555 = !k.bLit && (sr | sg) == 0 && sb != 0 && k.b555;
    k.bKey = ps.bKey;
    k.keyMask = _mm_set1_epi16((short)ps.dwKeyMask);
    k.key = _mm_set1_epi16((short)ps.dwKey);
    k.dwZFunc = ps.dwZFunc;
    k.bZWrite = ps.bZWrite;
    return k;
}

// Mul255 of eight lanes: with p = a * b + 128, (p + (p >> 8)) >> 8 is p * 257 >> 16 for every
// product of two bytes, which is one high-half multiply.
inline __m128i Mul255x8(__m128i a, __m128i b)
{
    const __m128i p = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(p, _mm_set1_epi16(257));
}

// A 5- or 6-bit field of a 16-bit pixel (RGB565, or a texel of five bits a channel) widened to 8 bits.
template <int kShift, int kBits>
inline __m128i Field565(__m128i w)
{
    const __m128i v = _mm_and_si128(_mm_srli_epi16(w, kShift), _mm_set1_epi16((1 << kBits) - 1));
    return _mm_or_si128(_mm_slli_epi16(v, 8 - kBits), _mm_srli_epi16(v, 2 * kBits - 8));
}

// Eight 8-bit channel triples (one per 16-bit lane) truncated into RGB565.
inline __m128i Pack565x8(__m128i r, __m128i g, __m128i b)
{
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(r, _mm_set1_epi16(0xF8)), 8),
                                     _mm_slli_epi16(_mm_and_si128(g, _mm_set1_epi16(0xFC)), 3)),
                        _mm_srli_epi16(b, 3));
}

// Two RGB565 words added field by field, each field saturating. A 5-bit field widened to 8 bits
// gains less than one unit of its own, and two such gains reach one only where the sum saturates
// anyway (likewise for 6 bits): so for a white texel with no specular this is exactly the widened
// channels added with saturation and truncated back.
inline __m128i AddSat565x8(__m128i a, __m128i b)
{
    // Each field moved to the top of its lane, where an unsigned saturating add saturates it.
    const __m128i top5 = _mm_set1_epi16((short)0xF800), top6 = _mm_set1_epi16((short)0xFC00);
    const __m128i g6 = _mm_set1_epi16(0x07E0);
    const __m128i r = _mm_and_si128(_mm_adds_epu16(_mm_and_si128(a, top5), _mm_and_si128(b, top5)), top5);
    const __m128i g = _mm_and_si128(
        _mm_adds_epu16(_mm_slli_epi16(_mm_and_si128(a, g6), 5), _mm_slli_epi16(_mm_and_si128(b, g6), 5)), top6);
    const __m128i bl = _mm_adds_epu16(_mm_slli_epi16(a, 11), _mm_slli_epi16(b, 11));
    return _mm_or_si128(_mm_or_si128(r, _mm_srli_epi16(g, 5)), _mm_srli_epi16(bl, 11));
}

// Eight texels of five bits a channel (the top bit, alpha, left out) added to eight RGB565
// pixels as AddSat565x8 adds: red and blue field by field, as there; green, five bits onto six,
// widened to 8 bits and added with saturation. With kBlue the 8-bit blue specBlue is added to each
// texel's blue first: blue then goes widened too, the texel's, specBlue and the pixel's added with
// saturation (which is the same in either order).
template <bool kBlue = false>
inline __m128i AddSat555x8(__m128i raw, __m128i dst, __m128i specBlue = _mm_setzero_si128())
{
    const __m128i top5 = _mm_set1_epi16((short)0xF800);
    const __m128i r = _mm_and_si128(_mm_adds_epu16(_mm_and_si128(_mm_slli_epi16(raw, 1), top5), _mm_and_si128(dst, top5)), top5);
    const __m128i g = _mm_adds_epu8(Field565<5, 5>(raw), Field565<5, 6>(dst));
    const __m128i rg = _mm_or_si128(r, _mm_slli_epi16(_mm_and_si128(g, _mm_set1_epi16(0xFC)), 3));
    if (kBlue) {
        const __m128i b = _mm_adds_epu8(_mm_adds_epu8(Field565<0, 5>(raw), specBlue), Field565<0, 5>(dst));
        return _mm_or_si128(rg, _mm_srli_epi16(b, 3));
    }
    const __m128i bl = _mm_adds_epu16(_mm_slli_epi16(raw, 11), _mm_slli_epi16(dst, 11));
    return _mm_or_si128(rg, _mm_srli_epi16(bl, 11));
}

// How eight pixels are shaded: written as they come, added, added field by field (bSum565,
// bSum555; and bBlue555, with a specular blue), or added or written from a texel of five bits a
// channel at fixed places (b555), whose widening needs no shift counts from the span's constants.
enum SHADEMODE {
    SHADE_OPAQUE,
    SHADE_ADD,
    SHADE_ADD565,
    SHADE_ADD555,
    SHADE_ADD_LIT555,
    SHADE_ADD555_BLUE,
    SHADE_OPAQUE_LIT555
};

// A texel channel c widened to 8 bits, times channel i of the colour, plus that of the specular colour.
inline __m128i LitChannel(const SPANSIMD& k, __m128i c, int i)
{
    if (k.bLit) {
        c = Mul255x8(c, k.color[i]);
    }
    return _mm_adds_epu8(c, k.spec[i]);
}

// Channel i of eight texels widened to 8 bits, times the colour, plus the specular colour.
inline __m128i TexelChannel(const SPANSIMD& k, __m128i raw, int i)
{
    const __m128i v = _mm_and_si128(_mm_srl_epi16(raw, k.shift[i]), k.mask[i]);
    return LitChannel(k, _mm_or_si128(_mm_sll_epi16(v, k.up[i]), _mm_srl_epi16(v, k.down[i])), i);
}

// Eight pixels of ShadeSpanTexModulate's arithmetic for a constant colour, before key and depth.
template <int kMode>
[[gnu::always_inline]] inline __m128i ShadeEight(const SPANSIMD& k, __m128i raw, __m128i dst)
{
    if (kMode == SHADE_ADD565) {
        return AddSat565x8(raw, dst);
    }
    if (kMode == SHADE_ADD555) {
        return AddSat555x8(raw, dst);
    }
    if (kMode == SHADE_ADD555_BLUE) {
        return AddSat555x8<true>(raw, dst, k.spec[2]);
    }
    constexpr bool kAdd = kMode == SHADE_ADD || kMode == SHADE_ADD_LIT555;
    // Channel by channel, written out: as a loop over the three, the compiler keeps it a loop.
    __m128i r, g, b;
    if (kMode == SHADE_ADD_LIT555 || kMode == SHADE_OPAQUE_LIT555) {
        r = LitChannel(k, Field565<10, 5>(raw), 0);
        g = LitChannel(k, Field565<5, 5>(raw), 1);
        b = LitChannel(k, Field565<0, 5>(raw), 2);
    } else {
        r = TexelChannel(k, raw, 0);
        g = TexelChannel(k, raw, 1);
        b = TexelChannel(k, raw, 2);
    }
    if (kAdd) {
        r = _mm_adds_epu8(r, Field565<11, 5>(dst));
        g = _mm_adds_epu8(g, Field565<5, 6>(dst));
        b = _mm_adds_epu8(b, Field565<0, 5>(dst));
    }
    return Pack565x8(r, g, b);
}

// The lanes where Compare(dwFunc, z, ref) holds; SSE2 compares signed words, hence the bias.
inline __m128i DepthPass8(DWORD dwFunc, __m128i z, __m128i ref)
{
    const __m128i bias = _mm_set1_epi16((short)0x8000);
    const __m128i all = _mm_set1_epi16(-1);
    const __m128i a = _mm_xor_si128(z, bias), b = _mm_xor_si128(ref, bias);
    switch (dwFunc) {
    case D3DCMP_NEVER: return _mm_setzero_si128();
    case D3DCMP_LESS: return _mm_cmplt_epi16(a, b);
    case D3DCMP_EQUAL: return _mm_cmpeq_epi16(a, b);
    case D3DCMP_LESSEQUAL: return _mm_xor_si128(_mm_cmpgt_epi16(a, b), all);
    case D3DCMP_GREATER: return _mm_cmpgt_epi16(a, b);
    case D3DCMP_NOTEQUAL: return _mm_xor_si128(_mm_cmpeq_epi16(a, b), all);
    case D3DCMP_GREATEREQUAL: return _mm_xor_si128(_mm_cmplt_epi16(a, b), all);
    default: return all;
    }
}

inline __m128i Select8(__m128i mask, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// The first n < 8 words at p in the low lanes, the rest 0. The pieces are built in a register: a
// 16-byte load of a temporary written in smaller pieces would wait for those writes.
inline __m128i LoadFew(const uint16_t* p, int n)
{
    __m128i v = _mm_setzero_si128();
    int i = 0;
    if (n & 4) {
        v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        i = 4;
    }
    if (n & 2) {
        uint32_t d;
        std::memcpy(&d, p + i, sizeof(d));
        const __m128i t = _mm_cvtsi32_si128((int)d);
        v = i ? _mm_or_si128(v, _mm_slli_si128(t, 8)) : t;
        i += 2;
    }
    if (n & 1) {
        switch (i) {
        case 0: v = _mm_insert_epi16(v, p[0], 0); break;
        case 2: v = _mm_insert_epi16(v, p[2], 2); break;
        case 4: v = _mm_insert_epi16(v, p[4], 4); break;
        default: v = _mm_insert_epi16(v, p[6], 6); break;
        }
    }
    return v;
}

// The low n < 8 lanes of v to p.
inline void StoreFew(uint16_t* p, __m128i v, int n)
{
    int i = 0;
    if (n & 4) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        v = _mm_srli_si128(v, 8);
        i = 4;
    }
    if (n & 2) {
        const uint32_t d = (uint32_t)_mm_cvtsi128_si32(v);
        std::memcpy(p + i, &d, sizeof(d));
        v = _mm_srli_si128(v, 4);
        i += 2;
    }
    if (n & 1) {
        p[i] = (uint16_t)_mm_cvtsi128_si32(v);
    }
}

// Lanes [0, n) of eight set, the rest clear.
inline __m128i FirstLanes(int n)
{
    static const uint16_t kLanes[16] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLanes + 8 - n));
}

// Calls f(d, z, src) for each group of eight pixels of a span of n: d the target's pixels and z the
// depth buffer's (each written back after, z only with bZWrite), src those of pSrc (depths or
// texels of the pixels). pZ and pSrc may be null, and their lanes then read 0. The last few pixels
// are read and written only as far as the span goes.
// With bRoom the target row holds eight pixels from the last group's first on, and pSrc eight
// words: that group is read whole and only its own pixels written back changed.
template <class F>
[[gnu::always_inline]] inline void ByEights(uint16_t* pD, uint16_t* pZ, const uint16_t* pSrc, int n, bool bZWrite, F f,
                                            bool bRoom = false)
{
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pD + i));
        __m128i z = pZ ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pZ + i)) : zero;
        const __m128i src = pSrc ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i)) : zero;
        f(d, z, src);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pD + i), d);
        if (pZ && bZWrite) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pZ + i), z);
        }
    }
    if (i == n) {
        return;
    }
    const int nLeft = n - i;
    if (bRoom && !pZ) {
        const __m128i dOld = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pD + i));
        __m128i d = dOld, z = zero;
        f(d, z, pSrc ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i)) : zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pD + i), Select8(FirstLanes(nLeft), d, dOld));
        return;
    }
    __m128i d = LoadFew(pD + i, nLeft);
    __m128i z = pZ ? LoadFew(pZ + i, nLeft) : zero;
    const __m128i src = pSrc ? LoadFew(pSrc + i, nLeft) : zero;
    f(d, z, src);
    StoreFew(pD + i, d, nLeft);
    if (pZ && bZWrite) {
        StoreFew(pZ + i, z, nLeft);
    }
}

// Eight textured pixels dst from their raw texels; with bDepth, zBuf holds the depth buffer's
// values, z the span's depth. A keyed texel leaves its pixel and depth alone, as does a failed
// depth test.
template <int kMode>
[[gnu::always_inline]] inline void TexEight(const SPANSIMD& k, __m128i& dst, __m128i& zBuf, __m128i raw, __m128i z,
                                            bool bDepth)
{
    __m128i out = ShadeEight<kMode>(k, raw, dst);
    __m128i pass = _mm_set1_epi16(-1);
    if (k.bKey) {
        pass = _mm_xor_si128(_mm_cmpeq_epi16(_mm_and_si128(raw, k.keyMask), k.key), pass);
    }
    if (bDepth) {
        pass = _mm_and_si128(pass, DepthPass8(k.dwZFunc, z, zBuf));
        zBuf = Select8(pass, z, zBuf);
    }
    if (k.bKey || bDepth) {
        out = Select8(pass, out, dst);
    }
    dst = out;
}

// n pixels from pD (and pZ, null without depth) on, all at depth z16, the texel position starting
// at (nU, nV) and stepping by (nDU, nDV). With bRoom the target row holds pixels up to the eight
// that the last pixel is in.
template <int kMode>
inline void ShadeRunsConst(const PIXELSTATE& ps, const SPANSIMD& k, uint16_t* pD, uint16_t* pZ, uint16_t z16, int n,
                           int64_t nU, int64_t nV, int64_t nDU, int64_t nDV, bool bInside, bool bRoom = false)
{
    constexpr int kRun = 64;
    alignas(16) uint16_t buf[kRun];
    const __m128i z = _mm_set1_epi16((short)z16);
    while (n > 0) {
        const int m = std::min(n, kRun);
        const uint16_t* pRaw = TexelRun(ps, nU, nV, nDU, nDV, m, bInside, buf);
        // A gathered run's buffer holds eight words from its last group's first on.
        ByEights(
            pD, pZ, pRaw, m, k.bZWrite,
            [&](__m128i& d, __m128i& zBuf, __m128i raw) { TexEight<kMode>(k, d, zBuf, raw, z, pZ != nullptr); },
            bRoom && pRaw == buf);
        // The same wrap-around sums as stepping pixel by pixel.
        nU = (int64_t)((uint64_t)nU + (uint64_t)m * (uint64_t)nDU);
        nV = (int64_t)((uint64_t)nV + (uint64_t)m * (uint64_t)nDV);
        pD += m;
        if (pZ) {
            pZ += m;
        }
        n -= m;
    }
}

// ShadeRunsConst in the mode of the blend and the colour, chosen once for the span.
template <bool kAdd>
inline void ShadeSpanConst(const PIXELSTATE& ps, const SPANSIMD& k, uint16_t* pD, uint16_t* pZ, uint16_t z16, int n,
                           int64_t nU, int64_t nV, int64_t nDU, int64_t nDV, bool bInside)
{
    if (!kAdd && k.b555) {
        ShadeRunsConst<SHADE_OPAQUE_LIT555>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    } else if (!kAdd) {
        ShadeRunsConst<SHADE_OPAQUE>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    } else if (k.bSum565) {
        ShadeRunsConst<SHADE_ADD565>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    } else if (k.bSum555) {
        ShadeRunsConst<SHADE_ADD555>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    } else if (k.bBlue555) {
        ShadeRunsConst<SHADE_ADD555_BLUE>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    } else if (k.b555) {
        ShadeRunsConst<SHADE_ADD_LIT555>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    } else {
        ShadeRunsConst<SHADE_ADD>(ps, k, pD, pZ, z16, n, nU, nV, nDU, nDV, bInside);
    }
}

// The first n <= 8 words at p, the rest 0.
inline __m128i LoadUpTo8(const uint16_t* p, int n)
{
    return n == 8 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)) : LoadFew(p, n);
}

inline void StoreUpTo8(uint16_t* p, __m128i v, int n)
{
    if (n == 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    } else {
        StoreFew(p, v, n);
    }
}

// ShadeRunsConst for a span of 1 to 8 pixels, where its loops and buffers cost more than the pixels.
// With bRoom the target row holds eight pixels from pD on: they are read and written whole, the
// pixels past the span written back as they were.
template <int kMode>
inline void ShadeFewConst(const PIXELSTATE& ps, const SPANSIMD& k, uint16_t* pD, uint16_t* pZ, uint16_t z16, int n,
                          int64_t nU, int64_t nV, int64_t nDU, int64_t nDV, bool bInside, bool bRoom)
{
    alignas(16) uint16_t buf[8] = {};
    const uint16_t* pRaw = TexelRun(ps, nU, nV, nDU, nDV, n, bInside, buf);
    const __m128i raw = pRaw == buf ? _mm_load_si128(reinterpret_cast<const __m128i*>(buf)) : LoadUpTo8(pRaw, n);
    const __m128i dOld = bRoom ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pD)) : LoadUpTo8(pD, n);
    __m128i d = dOld;
    __m128i zBuf = pZ ? LoadUpTo8(pZ, n) : _mm_setzero_si128();
    TexEight<kMode>(k, d, zBuf, raw, _mm_set1_epi16((short)z16), pZ != nullptr);
    if (bRoom) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pD), Select8(FirstLanes(n), d, dOld));
    } else {
        StoreUpTo8(pD, d, n);
    }
    if (pZ && k.bZWrite) {
        StoreUpTo8(pZ, zBuf, n);
    }
}
#endif

#if defined(__SSE2__)
// n pixels from pD (and pZ, null without depth) on, all at depth z16, whose texels lie in texture
// row pRow at columns (nU >> 32) & nMask, nU stepping by nDU: eight at a time, the texels gathered
// straight into the lanes. The lanes past the last pixel take its texel again, which lies in the
// row whatever the mask.
template <int kMode>
inline void ShadeRunInRow(const SPANSIMD& k, uint16_t* pD, uint16_t* pZ, uint16_t z16, int n, const uint16_t* pRow,
                          int64_t nU, int64_t nDU, int64_t nMask, bool bRoom)
{
    const __m128i z = _mm_set1_epi16((short)z16);
    int nLeft = n;
    ByEights(
        pD, pZ, nullptr, n, k.bZWrite,
        [&](__m128i& d, __m128i& zBuf, __m128i) __attribute__((always_inline)) {
            __m128i raw;
            if (nLeft >= 8) {
                raw = GatherLanes<8>([&]() __attribute__((always_inline)) {
                    const int t = pRow[(nU >> 32) & nMask];
                    nU = (int64_t)((uint64_t)nU + (uint64_t)nDU);
                    return t;
                });
            } else {
                int i = 0;
                raw = GatherLanes<8>([&]() __attribute__((always_inline)) {
                    const int t = pRow[(nU >> 32) & nMask];
                    nU = ++i < nLeft ? (int64_t)((uint64_t)nU + (uint64_t)nDU) : nU;
                    return t;
                });
            }
            nLeft -= 8;
            TexEight<kMode>(k, d, zBuf, raw, z, pZ != nullptr);
        },
        bRoom);
}
#endif

// What a textured span finds the same on every row of a triangle, found once for it: the texel
// steps and which loop the spans take. The eight-pixel constants are made again only when a row's
// colours differ from those they were made for, which on most triangles is never.
struct TEXSPANS {
    int64_t nDU, nDV;
    double fRcpDU, fRcpDV;  // 1 / |nDU|, 1 / |nDV|; 0 for a step of 0
    bool bConstColor;  // the colours do not change along a row
    bool bConstSpec;   // the specular colour does not
    bool bPow2;        // both sizes powers of two, both wrapped: wrapping is a mask
    bool bEights;      // constant-colour spans of one depth go eight pixels at a time
    bool bFixedColor;  // the colours are the same all over the triangle: these
    uint32_t r, g, b, sr, sg, sb;
#if defined(__SSE2__)
    uint64_t nSimdColors;  // the colours k was made for; none while bSimdMade is false
    bool bSimdMade;
    SPANSIMD k;
    // With bFixedColor and bEights (MakeFixedSpans): the eight-pixel constants of the triangle's
    // colours, how every span is shaded, whether the triangle adds nothing at all, and whether
    // spans look at the texture's bounds.
    const SPANSIMD* pK;
    int nMode;
    bool bNothing;
    bool bBounds;
#endif
};

// base, dx, dy: the triangle's attribute planes (value = base + dx * x + dy * y).
inline void MakeTexSpans(const PIXELSTATE& ps, const float* base, const float* dx, const float* dy, TEXSPANS* pts)
{
    pts->bConstColor = dx[ATTR_R] == 0.0f && dx[ATTR_G] == 0.0f && dx[ATTR_B] == 0.0f && dx[ATTR_SR] == 0.0f &&
                       dx[ATTR_SG] == 0.0f && dx[ATTR_SB] == 0.0f;
    // Planes of no slope give their base at every pixel: base + 0 * x + 0 * y is base.
    pts->bFixedColor = pts->bConstColor && dy[ATTR_R] == 0.0f && dy[ATTR_G] == 0.0f && dy[ATTR_B] == 0.0f &&
                       dy[ATTR_SR] == 0.0f && dy[ATTR_SG] == 0.0f && dy[ATTR_SB] == 0.0f;
    if (pts->bFixedColor) {
        pts->r = Channel8(base[ATTR_R]);
        pts->g = Channel8(base[ATTR_G]);
        pts->b = Channel8(base[ATTR_B]);
        pts->sr = ps.bSpecular ? Channel8(base[ATTR_SR]) : 0;
        pts->sg = ps.bSpecular ? Channel8(base[ATTR_SG]) : 0;
        pts->sb = ps.bSpecular ? Channel8(base[ATTR_SB]) : 0;
    }
    pts->bConstSpec = dx[ATTR_SR] == 0.0f && dx[ATTR_SG] == 0.0f && dx[ATTR_SB] == 0.0f;
    pts->bPow2 = (ps.nTexW & (ps.nTexW - 1)) == 0 && (ps.nTexH & (ps.nTexH - 1)) == 0 && ps.bWrapU && ps.bWrapV;
    pts->nDU = TexelFixed(dx[ATTR_U] * ps.fTexW);
    pts->nDV = TexelFixed(dx[ATTR_V] * ps.fTexH);
    pts->fRcpDU = pts->nDU ? 1.0 / std::fabs((double)pts->nDU) : 0.0;
    pts->fRcpDV = pts->nDV ? 1.0 / std::fabs((double)pts->nDV) : 0.0;
    pts->bEights = false;
#if defined(__SSE2__)
    // With depth, only a span of one depth: stepping it is sequential float arithmetic.
    pts->bEights = pts->bConstColor && ps.bTexChannels && (!ps.pZ || dx[ATTR_Z] == 0.0f);
    pts->bSimdMade = false;
    pts->nSimdColors = 0;
#endif
}

// Texture x diffuse (+ specular) over a span, opaque or added: the same arithmetic as ShadePixel
// for these states. kAdd selects the ONE/ONE blend.
template <bool kAdd>
inline void ShadeSpanTexModulate(const PIXELSTATE& ps, TEXSPANS& ts, int y, int x0, int x1, float* at,
                                 const float* dx)
{
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch;
    uint16_t* pZRow = ps.pZ ? ps.pZ + (long)y * ps.lZPitch : nullptr;
    const bool bConstColor = ts.bConstColor;
    uint32_t r = ts.r, g = ts.g, b = ts.b, sr = ts.sr, sg = ts.sg, sb = ts.sb;
    if (!ts.bFixedColor) {
        r = Channel8(at[ATTR_R]);
        g = Channel8(at[ATTR_G]);
        b = Channel8(at[ATTR_B]);
        sr = sg = sb = 0;
        if (ps.bSpecular) {
            sr = Channel8(at[ATTR_SR]);
            sg = Channel8(at[ATTR_SG]);
            sb = Channel8(at[ATTR_SB]);
        }
    }
    const bool bPow2 = ts.bPow2;
    int64_t nU = TexelFixed(at[ATTR_U] * ps.fTexW), nV = TexelFixed(at[ATTR_V] * ps.fTexH);
    const int64_t nDU = ts.nDU, nDV = ts.nDV;
    const int64_t nMaskU = ps.nTexW - 1, nMaskV = ps.nTexH - 1;
    // Only the attributes that change are stepped; the others keep their exact start values,
    // as the general loop's adds of zero would.
    const bool bWhite = bConstColor && r == 255 && g == 255 && b == 255;
    // Pixels [x0 + nLo, x0 + nHi) may change; a black texel elsewhere adds nothing, unless a
    // specular colour is added to it.
    int nLo = 0, nHi = x1 - x0;
    bool bInside = false;
    const bool bNoSpecular = !ps.bSpecular || (ts.bConstSpec && (sr | sg | sb) == 0);
    // Any texel times black, plus no specular, adds nothing: a glow faded out.
    if (kAdd && ps.bSkipBlack && bConstColor && bNoSpecular && (r | g | b) == 0) {
        return;
    }
    if (kAdd && ps.pBounds && bNoSpecular) {
        NonBlackPart(ps, nU, nV, nDU, nDV, ts.fRcpDU, ts.fRcpDV, x1 - x0, &nLo, &nHi, &bInside);
        if (nLo >= nHi) {
            return;
        }
    }
#if defined(__SSE2__)
    if (ts.bEights) {
        const uint16_t z16 = pZRow ? DepthToZ16(at[ATTR_Z]) : 0;
        const uint64_t nColors = (uint64_t)(r | g << 8 | b << 16) | (uint64_t)(sr | sg << 8 | sb << 16) << 24;
        if (!ts.bSimdMade || (!ts.bFixedColor && ts.nSimdColors != nColors)) {
            ts.k = MakeSpanSimd(ps, r, g, b, sr, sg, sb);
            ts.nSimdColors = nColors;
            ts.bSimdMade = true;
        }
        // The same wrap-around sums as stepping pixel by pixel.
        const int64_t nFirstU = (int64_t)((uint64_t)nU + (uint64_t)nLo * (uint64_t)nDU);
        const int64_t nFirstV = (int64_t)((uint64_t)nV + (uint64_t)nLo * (uint64_t)nDV);
        ShadeSpanConst<kAdd>(ps, ts.k, pD + x0 + nLo, pZRow ? pZRow + x0 + nLo : nullptr,
                             z16, nHi - nLo, nFirstU, nFirstV, nDU, nDV, bInside);
        return;
    }
#endif
    for (int x = x0; x < x1; x++, nU += nDU, nV += nDV) {
        if (x != x0) {
            at[ATTR_Z] += dx[ATTR_Z];
            if (!bConstColor) {
                for (int i = ATTR_R; i <= ATTR_SB; i++) {
                    at[i] += dx[i];
                }
            }
        }
        if (x - x0 < nLo) {
            continue;
        }
        if (x - x0 >= nHi) {
            break;
        }
        uint16_t z16 = 0;
        if (pZRow) {
            z16 = DepthToZ16(at[ATTR_Z]);
            if (!Compare(ps.dwZFunc, z16, pZRow[x])) {
                continue;
            }
        }
        uint32_t dwRaw;
        if (bPow2) {
            // Wrapping by mask is the general rule's modulo for power-of-two sizes.
            const int tx = (int)((nU >> 32) & nMaskU);
            const int ty = (int)((nV >> 32) & nMaskV);
            dwRaw = reinterpret_cast<const uint16_t*>(ps.pTex + (long)ty * ps.lTexPitch)[tx];
        } else {
            dwRaw = FetchTexel(ps, nU, nV);
        }
        if (ps.bKey && (dwRaw & ps.dwKeyMask) == ps.dwKey) {
            continue;
        }
        if (!bConstColor) {
            r = Channel8(at[ATTR_R]);
            g = Channel8(at[ATTR_G]);
            b = Channel8(at[ATTR_B]);
            if (ps.bSpecular) {
                sr = Channel8(at[ATTR_SR]);
                sg = Channel8(at[ATTR_SG]);
                sb = Channel8(at[ATTR_SB]);
            }
        }
        const uint32_t t = ps.pTexLut[dwRaw];
        uint32_t outR = (t >> 16) & 0xFF, outG = (t >> 8) & 0xFF, outB = t & 0xFF;
        if (!bWhite) {  // x * 255 / 255 is x
            outR = Mul255(outR, r);
            outG = Mul255(outG, g);
            outB = Mul255(outB, b);
        }
        outR = std::min(255u, outR + sr);
        outG = std::min(255u, outG + sg);
        outB = std::min(255u, outB + sb);
        if (kAdd) {
            const uint32_t d = Expand565(pD[x]);
            outR = std::min(255u, outR + ((d >> 16) & 0xFF));
            outG = std::min(255u, outG + ((d >> 8) & 0xFF));
            outB = std::min(255u, outB + (d & 0xFF));
        }
        pD[x] = Pack565(outR, outG, outB);
        if (pZRow && ps.bZWrite) {
            pZRow[x] = z16;
        }
    }
}

#if defined(__SSE2__)
// Spans this short skip the look at the texture's bounds: shading their few pixels, black ones
// included (which add nothing), costs less.
constexpr int kFewPixels = 8;

// The eight-pixel constants of a draw's triangles of one colour throughout, kept from one triangle
// to the next: the quads of a draw, or a laser's strip, mostly share their colour.
struct FIXEDCOLOURS {
    bool bMade = false;
    uint64_t nColors = 0;  // the colours k was made for
    SPANSIMD k;
};

// For a triangle of one colour throughout whose spans go eight pixels at a time (bFixedColor and
// bEights): what ShadeSpanTexModulate would find again on every row. pLast holds the constants of
// the draw's triangle before, if any, which are made again only for other colours.
inline void MakeFixedSpans(const PIXELSTATE& ps, bool bAdd, FIXEDCOLOURS* pLast, TEXSPANS* pts)
{
    const uint32_t r = pts->r, g = pts->g, b = pts->b, sr = pts->sr, sg = pts->sg, sb = pts->sb;
    const uint64_t nColors = (uint64_t)(r | g << 8 | b << 16) | (uint64_t)(sr | sg << 8 | sb << 16) << 24;
    if (!pLast->bMade || pLast->nColors != nColors) {
        pLast->k = MakeSpanSimd(ps, r, g, b, sr, sg, sb);
        pLast->nColors = nColors;
        pLast->bMade = true;
    }
    pts->pK = &pLast->k;
    const SPANSIMD& k = pLast->k;
    pts->nMode = !bAdd       ? (k.b555 ? SHADE_OPAQUE_LIT555 : SHADE_OPAQUE)
                 : k.bSum565  ? SHADE_ADD565
                 : k.bSum555  ? SHADE_ADD555
                 : k.bBlue555 ? SHADE_ADD555_BLUE
                 : k.b555     ? SHADE_ADD_LIT555
                              : SHADE_ADD;
    const bool bNoSpecular = !ps.bSpecular || (sr | sg | sb) == 0;
    pts->bNothing = bAdd && ps.bSkipBlack && bNoSpecular && (r | g | b) == 0;
    pts->bBounds = bAdd && ps.pBounds && bNoSpecular;
}

// The depth buffer of a span that tests depth without writing it, at one depth throughout: the
// depths from its first pixel on, that depth in every lane, and the buffer's pitch (in pixels).
struct SPANDEPTH {
    const uint16_t* pZ;
    __m128i z;
    long lPitch;
};

// Eight pixels from pD (column x) on, of which the first n are a span's (n <= 8), shaded from
// their raw texels; where the row holds all eight they are read whole and written back with only
// the span's changed. With kDepth they are tested against the depths from dz.pZ + i on.
template <int kMode, bool kDepth = false>
[[gnu::always_inline]] inline void ShadeGroup(const SPANSIMD& k, uint16_t* pD, __m128i raw, int n, bool bRoom,
                                              const SPANDEPTH* pDepth = nullptr, int i = 0, int x = 0)
{
    const __m128i dOld = bRoom ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pD)) : LoadUpTo8(pD, n);
    __m128i d = ShadeEight<kMode>(k, raw, dOld);
    if (kDepth) {
        const uint16_t* pZ = pDepth->pZ + i;
        const __m128i zBuf = x + 8 <= pDepth->lPitch ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pZ)) : LoadUpTo8(pZ, n);
        __m128i pass = DepthPass8(k.dwZFunc, pDepth->z, zBuf);
        if (k.bKey) {
            pass = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(raw, k.keyMask), k.key), pass);
        }
        d = Select8(pass, d, dOld);
    } else if (k.bKey) {
        d = Select8(_mm_cmpeq_epi16(_mm_and_si128(raw, k.keyMask), k.key), dOld, d);
    }
    if (n == 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pD), d);
    } else if (bRoom) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pD), Select8(FirstLanes(n), d, dOld));
    } else {
        StoreFew(pD, d, n);
    }
}

// The raw texels next() gives, one for each of the first kLanes lanes (4 or 8), the rest 0. The
// lanes are written out: an insert takes its lane as a constant.
template <int kLanes, class NEXT>
[[gnu::always_inline]] inline __m128i GatherLanes(NEXT next)
{
    __m128i v = _mm_cvtsi32_si128(next());
    v = _mm_insert_epi16(v, next(), 1);
    v = _mm_insert_epi16(v, next(), 2);
    v = _mm_insert_epi16(v, next(), 3);
    if (kLanes == 8) {
        v = _mm_insert_epi16(v, next(), 4);
        v = _mm_insert_epi16(v, next(), 5);
        v = _mm_insert_epi16(v, next(), 6);
        v = _mm_insert_epi16(v, next(), 7);
    }
    return v;
}

// The n pixels from pD (column x) on, eight at a time, the raw texels of each group from next();
// with kFew n is at most 8, one group; with kDepth tested against pDepth's depths.
template <int kMode, bool kFew, bool kDepth, class NEXT>
[[gnu::always_inline]] inline void ShadeGroups(const SPANSIMD& k, uint16_t* pD, int x, int n, long lPitch,
                                               const SPANDEPTH* pDepth, NEXT next)
{
    for (int i = 0; i < n; i += 8) {
        const int m = kFew ? n : std::min(8, n - i);
        ShadeGroup<kMode, kDepth>(k, pD + i, m <= 4 ? GatherLanes<4>(next) : GatherLanes<8>(next), m,
                                  x + i + 8 <= lPitch, pDepth, i, x + i);
        if (kFew) {
            break;
        }
    }
}

// The n pixels from pD (column x) on of a span of a texture wrapped by mask, without depth or
// (kDepth) tested against pDepth's, from texel position (nU, nV): eight at a time, their texels
// gathered by mask, or read in place where the span takes one texel a pixel along a row without
// wrapping. By mask every position is a texel, so a group gathers four or eight whatever its
// pixels; those past the span are not written. With kFew the span has 1 to 8 pixels, which are
// gathered whatever their step.
template <int kMode, bool kFew, bool kDepth>
[[gnu::always_inline]] inline void ShadeRunWrapped(const PIXELSTATE& ps, const TEXSPANS& ts, uint16_t* pD, int x,
                                                   int n, int64_t nU, int64_t nV, const SPANDEPTH* pDepth)
{
    const uint64_t nDU = (uint64_t)ts.nDU, nDV = (uint64_t)ts.nDV;
    const int64_t nMaskU = ps.nTexW - 1, nMaskV = ps.nTexH - 1;
    const long lPitch = ps.lTargetPitch;
    const uint8_t* pTex = ps.pTex;
    const long lTexPitch = ps.lTexPitch;
    // The same wrap-around sums as stepping pixel by pixel.
    if (nDV == 0 || KeepsTexel(nV, (int64_t)nDV, n)) {
        const uint16_t* pRow = reinterpret_cast<const uint16_t*>(pTex + ((nV >> 32) & nMaskV) * lTexPitch);
        const int64_t nFirst = (nU >> 32) & nMaskU;
        if (!kFew && nDU == (uint64_t)1 << 32 && nFirst + n <= ps.nTexW) {
            for (int i = 0; i < n; i += 8) {
                const int m = std::min(8, n - i);
                const uint16_t* pIn = pRow + nFirst + i;
                // Read whole where the row holds eight texels from there.
                const __m128i raw = nFirst + i + 8 <= ps.nTexW ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pIn))
                                                                : LoadUpTo8(pIn, m);
                ShadeGroup<kMode, kDepth>(*ts.pK, pD + i, raw, m, x + i + 8 <= lPitch, pDepth, i, x + i);
            }
            return;
        }
        ShadeGroups<kMode, kFew, kDepth>(*ts.pK, pD, x, n, lPitch, pDepth, [&]() __attribute__((always_inline)) {
            const int t = pRow[(nU >> 32) & nMaskU];
            nU = (int64_t)((uint64_t)nU + nDU);
            return t;
        });
        return;
    }
    ShadeGroups<kMode, kFew, kDepth>(*ts.pK, pD, x, n, lPitch, pDepth, [&]() __attribute__((always_inline)) {
        const int t = reinterpret_cast<const uint16_t*>(pTex + ((nV >> 32) & nMaskV) * lTexPitch)[(nU >> 32) & nMaskU];
        nU = (int64_t)((uint64_t)nU + nDU);
        nV = (int64_t)((uint64_t)nV + nDV);
        return t;
    });
}

// Whether the texel row of texel position nV (32.32) of a texture wrapped by mask is all black.
inline bool IsBlackWrappedRow(const PIXELSTATE& ps, int64_t nV)
{
    const int ty = (int)((nV >> 32) & (ps.nTexH - 1));
    return ps.pBounds->RowLeft(ty) == ps.pBounds->RowRight(ty);
}

// Narrows [*pLo, *pHi) to about the pixels i of a span of n whose texel position P + i * D
// (32.32, every one inside the texture) lies in texels [nFirst, nEnd); fRcp is 1 / |D|. The ends
// are estimates by the reciprocal, which may take in a pixel or two more on either side: it needs
// no division and no mending, and what it takes in outside the band is black, which adds nothing.
// The band's ends, as pixel indices, are found to well within one pixel: the estimate is near
// them only where they are near the span, whose length a double holds many times over.
[[gnu::always_inline]] inline void AroundBand(int64_t P, int64_t D, double fRcp, int nFirst, int nEnd, int n, int* pLo,
                                              int* pHi)
{
    const int64_t L = (int64_t)nFirst << 32, R = (int64_t)nEnd << 32;
    if (D == 0) {
        if (P < L || P >= R) {
            *pHi = *pLo;
        }
        return;
    }
    // Going up the pixels in the band are those from (L - P) / D to before (R - P) / D; going down
    // those after (P - R) / -D up to (P - L) / -D. The first is at least the floor of the estimate
    // of the lower end, and the last less than the floor of the estimate of the upper end plus 2.
    const double fLower = (double)(D > 0 ? L - P : P - R) * fRcp;
    const double fUpper = (double)(D > 0 ? R - P : P - L) * fRcp + 2.0;
    const double fN = (double)n;
    const int nLo = fLower <= 0.0 ? 0 : (fLower >= fN ? n : (int)fLower);
    const int nHi = fUpper <= 0.0 ? 0 : (fUpper >= fN ? n : (int)fUpper);
    *pLo = std::max(*pLo, nLo);
    *pHi = std::max(*pLo, std::min(*pHi, nHi));
}

// About the part [*pLo, *pHi) of a span of n pixels of a texture wrapped by mask, without depth,
// whose texels may be other than black, by AroundBand: where it does not stay inside the texture
// (whatever wraps), all of it.
[[gnu::always_inline]] inline void AroundNonBlack(const PIXELSTATE& ps, const TEXSPANS& ts, int64_t nU, int64_t nV,
                                                  int n, int* pLo, int* pHi)
{
    const CNonBlackBounds& b = *ps.pBounds;
    const int nW = ps.nTexW, nH = ps.nTexH;
    if (ts.nDV == 0) {
        const int ty = (int)((nV >> 32) & (nH - 1));
        const int nLeft = b.RowLeft(ty), nRight = b.RowRight(ty);
        if ((nLeft > 0 || nRight < nW) && StaysInside(nU, ts.nDU, n, nW)) {
            AroundBand(nU, ts.nDU, ts.fRcpDU, nLeft, nRight, n, pLo, pHi);
        }
        return;
    }
    const bool bCutU = b.Left() > 0 || b.Right() < nW, bCutV = b.Top() > 0 || b.Bottom() < nH;
    if ((bCutU || bCutV) && StaysInside(nU, ts.nDU, n, nW) && StaysInside(nV, ts.nDV, n, nH)) {
        if (bCutU) {
            AroundBand(nU, ts.nDU, ts.fRcpDU, b.Left(), b.Right(), n, pLo, pHi);
        }
        if (bCutV) {
            AroundBand(nV, ts.nDV, ts.fRcpDV, b.Top(), b.Bottom(), n, pLo, pHi);
        }
    }
}

// A span of more than 8 pixels of a texture wrapped by mask, without depth or (kDepth) tested
// against pDepth's: its part that may be other than black, eight pixels at a time. Kept out of
// line: the short spans are most.
template <int kMode, bool kDepth>
[[gnu::noinline]] void ShadeLongWrapped(const PIXELSTATE& ps, const TEXSPANS& ts, uint16_t* pD, int x, int n,
                                        int64_t nU, int64_t nV, SPANDEPTH depth)
{
    int nLo = 0, nHi = n;
    if (ts.bBounds) {
        AroundNonBlack(ps, ts, nU, nV, n, &nLo, &nHi);
        if (nLo >= nHi) {
            return;
        }
        // The same wrap-around sums as stepping pixel by pixel.
        nU = (int64_t)((uint64_t)nU + (uint64_t)nLo * (uint64_t)ts.nDU);
        nV = (int64_t)((uint64_t)nV + (uint64_t)nLo * (uint64_t)ts.nDV);
        if (kDepth) {
            depth.pZ += nLo;
        }
    }
    ShadeRunWrapped<kMode, false, kDepth>(ps, ts, pD + nLo, x + nLo, nHi - nLo, nU, nV, &depth);
}

// A span [x0, x1) of row y of such a triangle whose texture is wrapped by mask, without depth or
// (kDepth) tested at depth z16 and not written, from texel position (nU, nV) at its first pixel:
// the same pixels as ShadeSpanTexModulate. A span whose texels all lie in one black row adds
// nothing.
template <int kMode, bool kDepth>
[[gnu::always_inline]] inline void ShadeWrappedSpan(const PIXELSTATE& ps, const TEXSPANS& ts, int y, int x0, int x1,
                                                    int64_t nU, int64_t nV, uint16_t z16)
{
    const int n = x1 - x0;
    if (ts.bBounds && ts.nDV == 0 && IsBlackWrappedRow(ps, nV)) {
        return;
    }
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch + x0;
    SPANDEPTH depth = {};
    if (kDepth) {
        depth = SPANDEPTH{ps.pZ + (long)y * ps.lZPitch + x0, _mm_set1_epi16((short)z16), ps.lZPitch};
    }
    if (n <= kFewPixels) {
        ShadeRunWrapped<kMode, true, kDepth>(ps, ts, pD, x0, n, nU, nV, &depth);
    } else {
        ShadeLongWrapped<kMode, kDepth>(ps, ts, pD, x0, n, nU, nV, depth);
    }
}

// A span [x0, x1) of row y of such a triangle with depth or a texture not wrapped by mask, at the
// attributes at its first pixel: the same pixels as ShadeSpanTexModulate, without finding again
// what MakeFixedSpans found.
template <int kMode>
inline void ShadeFixedSpan(const PIXELSTATE& ps, const TEXSPANS& ts, int y, int x0, int x1, const float* at)
{
    const int n = x1 - x0;
    int64_t nU = TexelFixed(at[ATTR_U] * ps.fTexW), nV = TexelFixed(at[ATTR_V] * ps.fTexH);
    const int64_t nDU = ts.nDU, nDV = ts.nDV;
    uint16_t* pZ = ps.pZ ? ps.pZ + (long)y * ps.lZPitch + x0 : nullptr;
    const uint16_t z16 = pZ ? DepthToZ16(at[ATTR_Z]) : 0;
    int nLo = 0, nHi = n;
    bool bInside;
    if (ts.bBounds && n > kFewPixels) {
        NonBlackPart(ps, nU, nV, nDU, nDV, ts.fRcpDU, ts.fRcpDV, n, &nLo, &nHi, &bInside);
        if (nLo >= nHi) {
            return;
        }
        // The same wrap-around sums as stepping pixel by pixel.
        nU = (int64_t)((uint64_t)nU + (uint64_t)nLo * (uint64_t)nDU);
        nV = (int64_t)((uint64_t)nV + (uint64_t)nLo * (uint64_t)nDV);
    } else {
        // Wrapping by mask takes the texels as they are inside the texture and wherever else.
        bInside = !ts.bPow2 && StaysInside(nU, nDU, n, ps.nTexW) && StaysInside(nV, nDV, n, ps.nTexH);
    }
    const int x = x0 + nLo, m = nHi - nLo;
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch + x;
    if (pZ) {
        pZ += nLo;
    }
    // A span that keeps to one texture row, inside the texture or wrapped by mask: its texels go
    // straight into the lanes.
    if ((bInside || ts.bPow2) && (nDV == 0 || KeepsTexel(nV, nDV, m))) {
        const int64_t nMaskU = ts.bPow2 ? ps.nTexW - 1 : ~(int64_t)0, nMaskV = ts.bPow2 ? ps.nTexH - 1 : ~(int64_t)0;
        const uint16_t* pRow = reinterpret_cast<const uint16_t*>(ps.pTex + ((nV >> 32) & nMaskV) * ps.lTexPitch);
        ShadeRunInRow<kMode>(*ts.pK, pD, pZ, z16, m, pRow, nU, nDU, nMaskU, x + (m + 7) / 8 * 8 <= ps.lTargetPitch);
    } else if (m <= 8) {
        ShadeFewConst<kMode>(ps, *ts.pK, pD, pZ, z16, m, nU, nV, nDU, nDV, bInside, x + 8 <= ps.lTargetPitch);
    } else {
        ShadeRunsConst<kMode>(ps, *ts.pK, pD, pZ, z16, m, nU, nV, nDU, nDV, bInside, x + (m + 7) / 8 * 8 <= ps.lTargetPitch);
    }
}
#endif

// Untextured spans. The stage result depends only on the 8-bit diffuse and specular colours, so it
// is found once per colour; blends whose factors do not read the destination colour turn into one
// multiply-add per channel, and the few that do keep the general blend.
enum PLANKIND {
    PLAN_KEEP,     // the target keeps its pixel (e.g. SRCALPHA / INVSRCALPHA at alpha 0)
    PLAN_FILL,     // every pixel becomes wFill (no blend, or a blend that ignores the target)
    PLAN_BLEND,    // channel c becomes min(255, add[c] + d * mul[c] / 255)
    PLAN_GENERAL,  // BlendPixel per pixel
};

// What one source colour does to a target pixel that passes the depth test.
struct SPANPLAN {
    int nKind;
    RGBA8 s;
    uint16_t wFill;
    uint32_t add[3], mul[3];
};

inline bool BlendReadsDest(const PIXELSTATE& ps)
{
    if (ps.dwSrcBlend == D3DBLEND_BOTHSRCALPHA || ps.dwSrcBlend == D3DBLEND_BOTHINVSRCALPHA) {
        return false;
    }
    const auto reads = [](DWORD f) { return f == D3DBLEND_DESTCOLOR || f == D3DBLEND_INVDESTCOLOR; };
    return reads(ps.dwSrcBlend) || reads(ps.dwDestBlend);
}

inline SPANPLAN PlanColour(const PIXELSTATE& ps, const RGBA8& s)
{
    SPANPLAN k = {};
    k.s = s;
    if (!ps.bBlend) {
        k.nKind = PLAN_FILL;
        k.wFill = Pack565(s.r, s.g, s.b);
        return k;
    }
    if (BlendReadsDest(ps)) {
        k.nKind = PLAN_GENERAL;
        return k;
    }
    // Destination alpha reads as 255 whatever the pixel, so these factors are the general ones.
    RGBA8 fs, fd;
    BlendFactors(ps.dwSrcBlend, ps.dwDestBlend, s, RGBA8{0, 0, 0, 255}, &fs, &fd);
    const uint32_t src[3] = {s.r, s.g, s.b}, fsrc[3] = {fs.r, fs.g, fs.b}, fdst[3] = {fd.r, fd.g, fd.b};
    bool bKeep = true, bFill = true;
    for (int i = 0; i < 3; i++) {
        k.add[i] = Mul255(src[i], fsrc[i]);
        k.mul[i] = fdst[i];
        // d * 255 / 255 is d, and a 5/6-bit field widened to 8 bits truncates back to itself.
        bKeep = bKeep && k.add[i] == 0 && k.mul[i] == 255;
        bFill = bFill && k.mul[i] == 0;
    }
    k.nKind = bKeep ? PLAN_KEEP : (bFill ? PLAN_FILL : PLAN_BLEND);
    k.wFill = Pack565(k.add[0], k.add[1], k.add[2]);
    return k;
}

inline uint16_t PlannedColour(const PIXELSTATE& ps, const SPANPLAN& k, uint16_t wDest)
{
    switch (k.nKind) {
    case PLAN_KEEP: return wDest;
    case PLAN_FILL: return k.wFill;
    case PLAN_BLEND: {
        const uint32_t d = Expand565(wDest);
        return Pack565(std::min(255u, k.add[0] + Mul255((d >> 16) & 0xFF, k.mul[0])),
                       std::min(255u, k.add[1] + Mul255((d >> 8) & 0xFF, k.mul[1])),
                       std::min(255u, k.add[2] + Mul255(d & 0xFF, k.mul[2])));
    }
    default: return BlendPixel(ps, k.s, wDest);
    }
}

// Depth test, colour and depth write of one pixel; pZ is null without depth.
inline void PlannedPixel(const PIXELSTATE& ps, const SPANPLAN& k, uint16_t* pD, uint16_t* pZ, uint16_t z16)
{
    if (pZ && !Compare(ps.dwZFunc, z16, *pZ)) {
        return;
    }
    *pD = PlannedColour(ps, k, *pD);
    if (pZ && ps.bZWrite) {
        *pZ = z16;
    }
}

#if defined(__SSE2__)
struct PLANSIMD {
    __m128i add[3], mul[3], fill;
    int nKind;
    DWORD dwZFunc;
    bool bZWrite;
};

inline PLANSIMD MakePlanSimd(const PIXELSTATE& ps, const SPANPLAN& k)
{
    PLANSIMD v;
    for (int i = 0; i < 3; i++) {
        v.add[i] = _mm_set1_epi16((short)k.add[i]);
        v.mul[i] = _mm_set1_epi16((short)k.mul[i]);
    }
    v.fill = _mm_set1_epi16((short)k.wFill);
    v.nKind = k.nKind;
    v.dwZFunc = ps.dwZFunc;
    v.bZWrite = ps.bZWrite;
    return v;
}

inline __m128i Planned8(const PLANSIMD& k, __m128i dst)
{
    switch (k.nKind) {
    case PLAN_FILL: return k.fill;
    case PLAN_BLEND:
        return Pack565x8(_mm_adds_epu8(k.add[0], Mul255x8(Field565<11, 5>(dst), k.mul[0])),
                         _mm_adds_epu8(k.add[1], Mul255x8(Field565<5, 6>(dst), k.mul[1])),
                         _mm_adds_epu8(k.add[2], Mul255x8(Field565<0, 5>(dst), k.mul[2])));
    default: return dst;
    }
}

// Eight pixels dst of a planned span with depths z; with bDepth, zBuf holds the depth buffer's values.
inline void PlannedEight(const PLANSIMD& k, __m128i& dst, __m128i& zBuf, __m128i z, bool bDepth)
{
    __m128i out = Planned8(k, dst);
    if (bDepth) {
        const __m128i pass = DepthPass8(k.dwZFunc, z, zBuf);
        out = Select8(pass, out, dst);
        zBuf = Select8(pass, z, zBuf);
    }
    dst = out;
}

// n pixels from pD (and pZ) on; pDepth holds their depths, or is null when every one is z16.
inline void PlannedRun(const PLANSIMD& k, uint16_t* pD, uint16_t* pZ, const uint16_t* pDepth, uint16_t z16, int n)
{
    const __m128i zAll = _mm_set1_epi16((short)z16);
    ByEights(pD, pZ, pDepth, n, k.bZWrite, [&](__m128i& d, __m128i& zBuf, __m128i depth) {
        PlannedEight(k, d, zBuf, pDepth ? depth : zAll, pZ != nullptr);
    });
}
#endif

inline bool ColourConstant(const float* dx)
{
    for (int i = ATTR_R; i <= ATTR_SB; i++) {
        if (dx[i] != 0.0f) {
            return false;
        }
    }
    return true;
}

// A span of one colour: the stage result and blend plan once, then depth and blend per pixel. Only
// depth is stepped; the general loop's adds of zero leave the colours as they are.
inline void ShadeSpanFlat(const PIXELSTATE& ps, int y, int x0, int x1, const float* at, const float* dx)
{
    const RGBA8 dif = Diffuse8(at);
    RGBA8 s;
    if (!PixelColour(ps, dif, dif, Specular8(at), &s)) {
        return;
    }
    const SPANPLAN k = PlanColour(ps, s);
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch + x0;
    uint16_t* pZ = ps.pZ ? ps.pZ + (long)y * ps.lZPitch + x0 : nullptr;
    if (k.nKind == PLAN_KEEP && !(pZ && ps.bZWrite)) {
        return;
    }
    const int n = x1 - x0;
    if (!pZ && k.nKind == PLAN_FILL) {
        FillWords(pD, (size_t)n, k.wFill);
        return;
    }
    float fZ = at[ATTR_Z];
#if defined(__SSE2__)
    if (k.nKind != PLAN_GENERAL) {
        const PLANSIMD v = MakePlanSimd(ps, k);
        if (!pZ || dx[ATTR_Z] == 0.0f) {
            PlannedRun(v, pD, pZ, nullptr, DepthToZ16(fZ), n);
            return;
        }
        constexpr int kRun = 64;
        alignas(16) uint16_t depth[kRun];
        for (int i = 0; i < n; i += kRun) {
            const int m = std::min(n - i, kRun);
            for (int j = 0; j < m; j++) {
                if (i + j != 0) {
                    fZ += dx[ATTR_Z];
                }
                depth[j] = DepthToZ16(fZ);
            }
            PlannedRun(v, pD + i, pZ + i, depth, 0, m);
        }
        return;
    }
#endif
    for (int i = 0; i < n; i++) {
        if (i != 0) {
            fZ += dx[ATTR_Z];
        }
        PlannedPixel(ps, k, pD + i, pZ ? pZ + i : nullptr, pZ ? DepthToZ16(fZ) : 0);
    }
}

// A span whose colours change: the stage result and blend plan are found again only when the 8-bit
// colours change, which along a Gouraud span is seldom.
inline void ShadeSpanGouraud(const PIXELSTATE& ps, int y, int x0, int x1, float* at, const float* dx)
{
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch;
    uint16_t* pZRow = ps.pZ ? ps.pZ + (long)y * ps.lZPitch : nullptr;
    uint64_t nLast = ~0ull;  // no pair of 8-bit colours packs to this
    bool bPass = false;
    SPANPLAN k = {};
    for (int x = x0; x < x1; x++) {
        if (x != x0) {
            for (int i = ATTR_Z; i <= ATTR_SB; i++) {
                at[i] += dx[i];
            }
        }
        uint16_t z16 = 0;
        if (pZRow) {
            z16 = DepthToZ16(at[ATTR_Z]);
            if (!Compare(ps.dwZFunc, z16, pZRow[x])) {
                continue;
            }
        }
        const RGBA8 dif = Diffuse8(at), spec = Specular8(at);
        const uint64_t nKey = (uint64_t)(dif.r | dif.g << 8 | dif.b << 16 | dif.a << 24) |
                              (uint64_t)(spec.r | spec.g << 8 | spec.b << 16) << 32;
        if (nKey != nLast) {
            nLast = nKey;
            RGBA8 s;
            bPass = PixelColour(ps, dif, dif, spec, &s);
            if (bPass) {
                k = PlanColour(ps, s);
            }
        }
        if (!bPass) {
            continue;
        }
        pD[x] = PlannedColour(ps, k, pD[x]);
        if (pZRow && ps.bZWrite) {
            pZRow[x] = z16;
        }
    }
}

// A span [x0, x1) of row y; at holds the attributes at the first pixel's centre and dx their step.
// ts: the triangle's MakeTexSpans, for the textured fast paths.
inline void ShadeSpan(const PIXELSTATE& ps, TEXSPANS& ts, int y, int x0, int x1, float* at, const float* dx)
{
    switch (ps.nFastPath) {
    case FAST_TEX_OPAQUE: ShadeSpanTexModulate<false>(ps, ts, y, x0, x1, at, dx); return;
    case FAST_TEX_ADDITIVE: ShadeSpanTexModulate<true>(ps, ts, y, x0, x1, at, dx); return;
    case FAST_UNTEXTURED:
        if (ColourConstant(dx)) {
            ShadeSpanFlat(ps, y, x0, x1, at, dx);
        } else {
            ShadeSpanGouraud(ps, y, x0, x1, at, dx);
        }
        return;
    default: break;
    }
    int64_t nU = 0, nV = 0, nDU = 0, nDV = 0;
    if (ps.pTex) {
        nU = TexelFixed(at[ATTR_U] * ps.fTexW);
        nV = TexelFixed(at[ATTR_V] * ps.fTexH);
        nDU = TexelFixed(dx[ATTR_U] * ps.fTexW);
        nDV = TexelFixed(dx[ATTR_V] * ps.fTexH);
    }
    for (int x = x0; x < x1; x++, nU += nDU, nV += nDV) {
        if (x != x0) {
            for (int i = 0; i < ATTR_COUNT; i++) {
                at[i] += dx[i];
            }
        }
        ShadePixel(ps, x, y, at, nU, nV);
    }
}
