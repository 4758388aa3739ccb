// The software pipeline of the device: vertex transform and lighting, clipping, and the
// rasterisation of triangles, lines and points into a 16-bit RGB565 target with a 16-bit Z buffer.
//
// Rules (fixed, so that pictures are the same on every machine):
// - Row vectors: clip = (x, y, z, 1) * World * View * Projection; screen x = X + (x/w + 1) * W/2,
//   screen y = Y + (1 - y/w) * H/2, depth = MinZ + z/w * (MaxZ - MinZ). Primitives are clipped to
//   0 <= z <= w and to a guard band of four viewports; pixels are cut to the viewport.
// - Screen positions are snapped to 1/256 pixel. Pixel (x, y) is covered when its centre
//   (x + .5, y + .5) lies inside the triangle, or on an edge that is a top edge (horizontal, the
//   inside below it) or a left edge: two triangles sharing an edge cover each pixel once.
// - Colours and texture coordinates are interpolated linearly in screen space (Gouraud); a colour
//   channel is rounded to 0..255 at each pixel. Depth is rounded to 16 bits (z * 65535 + .5).
// - Texture sampling is by point: texel floor(u * width), floor(v * height), wrapped (or clamped).
//   Along a span the texel position starts at round(u * width * 2^32) / 2^32 and steps by the
//   rounded per-pixel change in the same units, so every path fetches the same texel.
// - Products of two 8-bit values are a * b / 255 rounded to nearest; blending saturates each
//   channel at 255 and truncates to 5/6/5 bits when written. The target has no alpha: DESTALPHA
//   reads as 255.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/d3d/D3D.h"

class CDDSurface;
class CNonBlackBounds;
struct FIXEDCOLOURS;

constexpr int D3D_MAX_STAGES = 8;

// Everything one draw needs from the device, by pointer (valid for the draw).
struct DRAWSTATE {
    CDDSurface* pTarget;
    CDDSurface* pZ;
    CDDSurface* pTexture;  // stage 0; null when none is bound
    const D3DMATRIX* pWorld;
    const D3DMATRIX* pView;
    const D3DMATRIX* pCombined;
    const D3DVIEWPORT7* pViewport;
    const D3DMATERIAL7* pMaterial;
    const D3DLIGHT7* pLights;
    const BOOL* pLightOn;
    size_t nLights;
    const DWORD* pRender;  // render states by number
    const DWORD* pStage0;  // texture stage 0 states by number
};

// Attribute slots interpolated across a primitive.
enum { ATTR_Z, ATTR_R, ATTR_G, ATTR_B, ATTR_A, ATTR_SR, ATTR_SG, ATTR_SB, ATTR_U, ATTR_V, ATTR_COUNT };

// Pixel state derived from the render and stage states for one draw.
struct PIXELSTATE {
    uint16_t* pTarget;
    long lTargetPitch;  // in pixels
    uint16_t* pZ;       // null: no depth test or write
    long lZPitch;       // in pixels
    int nClipL, nClipT, nClipR, nClipB;
    bool bZTest, bZWrite;
    DWORD dwZFunc;
    // Texture of stage 0 (pTex null: none bound).
    const uint8_t* pTex;
    long lTexPitch;  // in bytes
    int nTexW, nTexH, nTexBpp;
    float fTexW, fTexH;  // the sizes as floats, which texture coordinates are scaled by
    const uint32_t* pTexLut;  // ARGB of a 16-bit texel; null for 32-bit texels
    bool bWrapU, bWrapV;
    bool bPow2U, bPow2V;  // wrapped, and the size a power of two: wrapping is a mask
    bool bKey;
    uint32_t dwKey, dwKeyMask;  // a texel t is discarded when (t & dwKeyMask) == dwKey
    // R, G, B of a 16-bit texel: the channel is (t >> shift) & (2^bits - 1), widened to 8 bits by
    // repeating its top bits. bTexChannels is false when a channel has fewer than 4 or more than 8 bits.
    bool bTexChannels;
    int nTexShift[3], nTexBits[3];
    DWORD dwColorOp, dwColorArg1, dwColorArg2, dwAlphaOp, dwAlphaArg1, dwAlphaArg2;
    uint32_t dwTFactor;
    bool bSpecular;
    bool bAlphaTest;
    DWORD dwAlphaFunc;
    uint32_t dwAlphaRef;
    bool bBlend;
    DWORD dwSrcBlend, dwDestBlend;
    bool bFlat;
    int nFastPath;
    // Texels that are black add nothing in this draw (ONE/ONE, texture x diffuse, no depth
    // written), so the spans may skip them; pBounds, where they are, is set for each draw.
    bool bSkipBlack;
    const CNonBlackBounds* pBounds;
};

struct PVERTEX {
    float cx, cy, cz, cw;  // clip space
    unsigned nOutCode;     // the clip planes it lies outside of, as bits; of transformed vertices only
    float sx, sy;          // screen position
    float a[ATTR_COUNT];   // depth 0..1, colours 0..255, texture coordinates
};

// Bytes per vertex of a flexible vertex format; 0 for one the rasteriser refuses.
int VertexStride(DWORD dwFVF);

class CRasterizer {
public:
    // Checks the draw state (unsupported stage operations fail) and takes it for the next draws.
    HRESULT Begin(const DRAWSTATE& ds);
    HRESULT Draw(D3DPRIMITIVETYPE eType, DWORD dwFVF, const void* pVertices, DWORD dwCount, const WORD* pIndices,
                 DWORD dwIndexCount);
    // Tests turn the specialised pixel loops off to compare them with the general one.
    static void EnableFastPaths(bool bEnable);
    static bool FastPathsEnabled();

private:
    void DrawPrimitives(D3DPRIMITIVETYPE eType, const WORD* pIndices, DWORD n);
    void TransformVertices(DWORD dwFVF, const void* pVertices, DWORD dwCount);
    void LightVertex(const float* pPos, const float* pNormal, DWORD dwDiffuse, DWORD dwSpecular, bool bHasDiffuse,
                     bool bHasSpecular, PVERTEX& out) const;
    void Triangle(const PVERTEX& a, const PVERTEX& b, const PVERTEX& c);
    void ClippedTriangle(const PVERTEX& a, const PVERTEX& b, const PVERTEX& c);
    void Line(const PVERTEX& a, const PVERTEX& b);
    void ClippedLine(const PVERTEX& a, const PVERTEX& b);
    void Point(const PVERTEX& a);
    void ToScreen(PVERTEX& v) const;

    DRAWSTATE m_ds = {};
    bool m_bPretransformed = false;
    std::vector<PVERTEX> m_verts;
    std::vector<PVERTEX> m_clipA, m_clipB;
    PIXELSTATE m_ps = {};
    FIXEDCOLOURS* m_pFixed = nullptr;  // the draw's, while it draws
};
