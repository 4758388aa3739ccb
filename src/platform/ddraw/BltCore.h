// The pixel loops of Blt and BltFast, apart from the rectangle rules so that both can be tested
// and measured on their own.
#pragma once
#include <cstdint>

#include "platform/ddraw/PixelFormat.h"

struct BLTPLANE {
    uint8_t* pBits;
    long lPitch;
    int nWidth;
    int nHeight;
    PIXELKIND eKind;
};

struct BLTJOB {
    // Whole (unclipped) destination and source rectangles: they fix the scale.
    int nDstX, nDstY, nDstW, nDstH;
    int nSrcX, nSrcY, nSrcW, nSrcH;
    // The part of the destination actually written (inside the destination plane).
    int nClipL, nClipT, nClipR, nClipB;
    bool bKeySrc;
    uint32_t dwKeyLow, dwKeyHigh;
    bool bMirrorLR, bMirrorUD;
};

// Source pixel for destination offset i of a span of nDst pixels reading nSrc pixels: the source
// pixel under the destination pixel's centre, floor((2i + 1) * nSrc / (2 * nDst)).
inline int StretchIndex(int i, int nSrc, int nDst)
{
    return (int)(((int64_t)(2 * i + 1) * nSrc) / (2 * (int64_t)nDst));
}

// Whether the job is a plain copy: no key, no mirror, one scale, between planes of one kind.
bool BltIsPlainCopy(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job);
// Whether two plain copies onto one plane cover the same rows, side by side without overlapping.
bool BltCopiesSideBySide(const BLTJOB& a, const BLTJOB& b);
// The plain copies a (from srcA) and b (from srcB), side by side, a row of each in turn.
void RunCopiesSideBySide(const BLTPLANE& dst, const BLTPLANE& srcA, const BLTJOB& a, const BLTPLANE& srcB,
                         const BLTJOB& b);
// Copies the job's pixels (source and destination may be the same plane only when the source is
// first copied elsewhere by the caller).
void RunBlt(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job);
// Keyed copy of one 16-bit row: every source pixel other than wKey is written.
void CopyRowKeyed16(uint16_t* pDst, const uint16_t* pSrc, int n, uint16_t wKey);
// Fills a rectangle (already inside the plane) with a raw pixel value.
void FillPlane(const BLTPLANE& dst, int l, int t, int r, int b, uint32_t dwRaw);
