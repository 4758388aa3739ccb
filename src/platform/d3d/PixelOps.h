// Per-pixel work of the rasteriser: depth test, texture fetch and colour key, the stage-0 colour
// and alpha operations, specular add, alpha test and blending into RGB565. The specialised span
// loops at the end do the same arithmetic for the game's two common set-ups, only with the state
// tests taken out of the loop.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/d3d/Rasterizer.h"
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
// the same texel: a coordinate u becomes round(u * size * 2^32); the texel is its integer part.
inline int64_t TexelFixed(float fTexels)
{
    if (!(std::fabs(fTexels) < 1.0e9f)) {
        return 0;
    }
    return (int64_t)std::floor((double)fTexels * 4294967296.0 + 0.5);
}

inline int WrapTexel(int64_t nFixed, int n, bool bWrap)
{
    int64_t i = nFixed >> 32;  // floor
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
    const RGBA8 dif = {Channel8(at[ATTR_R]), Channel8(at[ATTR_G]), Channel8(at[ATTR_B]), Channel8(at[ATTR_A])};
    const RGBA8 spec = {Channel8(at[ATTR_SR]), Channel8(at[ATTR_SG]), Channel8(at[ATTR_SB]), 0};
    RGBA8 tex = dif;
    if (ps.pTex) {
        const uint32_t dwRaw = FetchTexel(ps, nU, nV);
        if (ps.bKey && (dwRaw & ps.dwKeyMask) == ps.dwKey) {
            return;
        }
        tex = FromArgb(TexelArgb(ps, dwRaw));
    }
    RGBA8 out = CombineStage(ps, dif, tex, spec);
    if (ps.bSpecular) {
        out.r = std::min(255u, out.r + spec.r);
        out.g = std::min(255u, out.g + spec.g);
        out.b = std::min(255u, out.b + spec.b);
    }
    if (ps.bAlphaTest && !Compare(ps.dwAlphaFunc, out.a, ps.dwAlphaRef)) {
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
};

inline bool IsPlainArg(DWORD dwArg, DWORD dwWhat)
{
    return dwArg == dwWhat || (dwWhat == D3DTA_DIFFUSE && dwArg == D3DTA_CURRENT);
}

inline int ChooseFastPath(const PIXELSTATE& ps)
{
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

// Texture x diffuse (+ specular) over a span, opaque or added: the same arithmetic as ShadePixel
// for these states. kAdd selects the ONE/ONE blend.
template <bool kAdd>
inline void ShadeSpanTexModulate(const PIXELSTATE& ps, int y, int x0, int x1, float* at, const float* dx)
{
    uint16_t* pD = ps.pTarget + (long)y * ps.lTargetPitch;
    uint16_t* pZRow = ps.pZ ? ps.pZ + (long)y * ps.lZPitch : nullptr;
    const bool bConstColor = dx[ATTR_R] == 0.0f && dx[ATTR_G] == 0.0f && dx[ATTR_B] == 0.0f &&
                             dx[ATTR_SR] == 0.0f && dx[ATTR_SG] == 0.0f && dx[ATTR_SB] == 0.0f;
    uint32_t r = Channel8(at[ATTR_R]), g = Channel8(at[ATTR_G]), b = Channel8(at[ATTR_B]);
    uint32_t sr = 0, sg = 0, sb = 0;
    if (ps.bSpecular) {
        sr = Channel8(at[ATTR_SR]);
        sg = Channel8(at[ATTR_SG]);
        sb = Channel8(at[ATTR_SB]);
    }
    const bool bPow2 = (ps.nTexW & (ps.nTexW - 1)) == 0 && (ps.nTexH & (ps.nTexH - 1)) == 0 && ps.bWrapU && ps.bWrapV;
    int64_t nU = TexelFixed(at[ATTR_U] * (float)ps.nTexW), nV = TexelFixed(at[ATTR_V] * (float)ps.nTexH);
    const int64_t nDU = TexelFixed(dx[ATTR_U] * (float)ps.nTexW), nDV = TexelFixed(dx[ATTR_V] * (float)ps.nTexH);
    const int64_t nMaskU = ps.nTexW - 1, nMaskV = ps.nTexH - 1;
    // Only the attributes that change are stepped; the others keep their exact start values,
    // as the general loop's adds of zero would.
    const bool bWhite = bConstColor && r == 255 && g == 255 && b == 255;
    if (bWhite && !pZRow && bPow2 && nDV == 0 && (sr | sg | sb) == 0) {
        // Unlit white, no depth, a texture row per span: the common glow and sprite case.
        const uint16_t* pRow = reinterpret_cast<const uint16_t*>(ps.pTex + (long)((nV >> 32) & nMaskV) * ps.lTexPitch);
        const uint32_t* pLut = ps.pTexLut;
        // Without a key no texel matches: a mask of 0 against a key of 1.
        const uint32_t dwKeyMask = ps.bKey ? ps.dwKeyMask : 0, dwKey = ps.bKey ? ps.dwKey : 1;
        for (int x = x0; x < x1; x++, nU += nDU) {
            const uint32_t dwRaw = pRow[(nU >> 32) & nMaskU];
            if ((dwRaw & dwKeyMask) == dwKey) {
                continue;
            }
            const uint32_t t = pLut[dwRaw];
            uint32_t outR = (t >> 16) & 0xFF, outG = (t >> 8) & 0xFF, outB = t & 0xFF;
            if (kAdd) {
                const uint32_t d = Expand565(pD[x]);
                outR = std::min(255u, outR + ((d >> 16) & 0xFF));
                outG = std::min(255u, outG + ((d >> 8) & 0xFF));
                outB = std::min(255u, outB + (d & 0xFF));
            }
            pD[x] = Pack565(outR, outG, outB);
        }
        return;
    }
    for (int x = x0; x < x1; x++, nU += nDU, nV += nDV) {
        if (x != x0) {
            at[ATTR_Z] += dx[ATTR_Z];
            if (!bConstColor) {
                for (int i = ATTR_R; i <= ATTR_SB; i++) {
                    at[i] += dx[i];
                }
            }
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

// A span [x0, x1) of row y; at holds the attributes at the first pixel's centre and dx their step.
inline void ShadeSpan(const PIXELSTATE& ps, int y, int x0, int x1, float* at, const float* dx)
{
    switch (ps.nFastPath) {
    case FAST_TEX_OPAQUE: ShadeSpanTexModulate<false>(ps, y, x0, x1, at, dx); return;
    case FAST_TEX_ADDITIVE: ShadeSpanTexModulate<true>(ps, y, x0, x1, at, dx); return;
    default: break;
    }
    int64_t nU = 0, nV = 0, nDU = 0, nDV = 0;
    if (ps.pTex) {
        nU = TexelFixed(at[ATTR_U] * (float)ps.nTexW);
        nV = TexelFixed(at[ATTR_V] * (float)ps.nTexH);
        nDU = TexelFixed(dx[ATTR_U] * (float)ps.nTexW);
        nDV = TexelFixed(dx[ATTR_V] * (float)ps.nTexH);
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
