// Software blending of one surface into another, channel by channel with saturation: DirectDraw
// has no blending of its own. Builds the flash copies at load time and the dimmed menu items.
#pragma once
#include <cstdint>

#include "platform/ddraw/DDraw.h"

// A channel operation: stores the new destination channel from the source channel, never above
// the channel's maximum.
typedef void (*PFNBLENDOP)(BYTE* pbDest, BYTE bSrc, BYTE bMax);

void BlendAdd(BYTE* pbDest, BYTE bSrc, BYTE bMax);      // d + s
void BlendHalfAdd(BYTE* pbDest, BYTE bSrc, BYTE bMax);  // d + s / 2
void BlendStrong(BYTE* pbDest, BYTE bSrc, BYTE bMax);   // (55 d + 200 s) / 256
void BlendMix(BYTE* pbDest, BYTE bSrc, BYTE bMax);      // (140 d + 115 s) / 256

// Blends the source rectangle into the destination rectangle (whole surfaces for null). Rows follow
// the height ratio, columns map one to one up to the narrower width. Source pixels equal to the
// source's colour key (when it has one) are left out. 1 when done; 0 when a surface cannot be
// locked or a rectangle does not lie on its surface.
int BlendBlt(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc,
             PFNBLENDOP pfnOp);
int BlendBltAdd(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc);
int BlendBltHalfAdd(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc);
int BlendBltStrong(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc);
int BlendBltMix(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc);
int BlendBltOp(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc,
               PFNBLENDOP pfnOp);

// The low 16 bits repeated into the four lanes of a 64-bit word.
uint64_t ReplicateWord16(DWORD dwValue);
void SplitPixelChannels(DWORD dwPixel, DWORD dwRedMask, DWORD dwGreenMask, DWORD dwBlueMask, int nGreenWidth,
                        BYTE bBlueMask, int nBlueWidth, BYTE* pbRed, BYTE* pbGreen, BYTE* pbBlue);

// The packed 5-6-5 add of four pixels at once (bHalf: the source halved first); exposed so that
// tests can hold it to the per-pixel rule.
uint64_t PackedAdd565(uint64_t qwDest, uint64_t qwSrc, bool bHalf);
// Chooses the packed path as the processor probe says (tests may force either path).
void SetBlendPackedPath(int nMode);  // -1 probe, 0 never, 1 always
