#include "engine/Blender.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/CpuInfo.h"
#include "engine/SurfaceUtil.h"

namespace {

std::atomic<int> s_nPackedMode{-1};

bool UsePackedPath()
{
    const int nMode = s_nPackedMode.load();
    return nMode < 0 ? HasMMX() != 0 : nMode != 0;
}

bool RectOnSurface(const RECT& rc, const DDSURFACEDESC2& desc)
{
    return rc.left >= 0 && rc.top >= 0 && rc.left < rc.right && rc.top < rc.bottom && rc.right <= (LONG)desc.dwWidth &&
           rc.bottom <= (LONG)desc.dwHeight;
}

struct CHANNELS {
    DWORD dwR, dwG, dwB;
    int nGW, nBW;
    BYTE bMaxR, bMaxG, bMaxB;
};

CHANNELS ChannelsOf(const DDPIXELFORMAT& pf)
{
    CHANNELS c;
    c.dwR = pf.dwRBitMask;
    c.dwG = pf.dwGBitMask;
    c.dwB = pf.dwBBitMask;
    c.nGW = CountBits(c.dwG);
    c.nBW = CountBits(c.dwB);
    c.bMaxR = (BYTE)((1u << CountBits(c.dwR)) - 1);
    c.bMaxG = (BYTE)((1u << c.nGW) - 1);
    c.bMaxB = (BYTE)((1u << c.nBW) - 1);
    return c;
}

DWORD BlendPixel(DWORD dwDest, DWORD dwSrc, const CHANNELS& d, const CHANNELS& s, PFNBLENDOP pfnOp)
{
    BYTE dr, dg, db, sr, sg, sb;
    SplitPixelChannels(dwDest, d.dwR, d.dwG, d.dwB, d.nGW, (BYTE)d.dwB, d.nBW, &dr, &dg, &db);
    SplitPixelChannels(dwSrc, s.dwR, s.dwG, s.dwB, s.nGW, (BYTE)s.dwB, s.nBW, &sr, &sg, &sb);
    pfnOp(&dr, sr, d.bMaxR);
    pfnOp(&dg, sg, d.bMaxG);
    pfnOp(&db, sb, d.bMaxB);
    return ((DWORD)dr << (d.nGW + d.nBW)) | ((DWORD)dg << d.nBW) | db;
}

// Lanes where a 16-bit sum (at most 126) exceeds nMax become nMax.
uint64_t SaturateLanes(uint64_t qwSum, unsigned nMax)
{
    const uint64_t qwBias = ReplicateWord16(0x8000u - (nMax + 1));
    const uint64_t qwOver = ((qwSum + qwBias) >> 15) & ReplicateWord16(1);
    const uint64_t qwMask = (qwOver << 16) - qwOver;
    return (qwSum & ~qwMask) | (ReplicateWord16(nMax) & qwMask);
}

void BlendRow16(uint16_t* pDest, const uint16_t* pSrc, int n, const CHANNELS& d, const CHANNELS& s, PFNBLENDOP pfnOp,
                bool bKey, DWORD dwKey, bool bPacked)
{
    int x = 0;
    if (bPacked) {
        const bool bHalf = pfnOp == BlendHalfAdd;
        for (; x + 4 <= n; x += 4) {
            uint64_t qwD, qwS;
            std::memcpy(&qwD, pDest + x, 8);
            std::memcpy(&qwS, pSrc + x, 8);
            qwD = PackedAdd565(qwD, qwS, bHalf);
            std::memcpy(pDest + x, &qwD, 8);
        }
    }
    for (; x < n; x++) {
        if (bKey && pSrc[x] == dwKey) {
            continue;
        }
        pDest[x] = (uint16_t)BlendPixel(pDest[x], pSrc[x], d, s, pfnOp);
    }
}

void BlendRow32(uint32_t* pDest, const uint32_t* pSrc, int n, const CHANNELS& d, const CHANNELS& s, PFNBLENDOP pfnOp,
                bool bKey, DWORD dwKey)
{
    for (int x = 0; x < n; x++) {
        if (bKey && (pSrc[x] & (s.dwR | s.dwG | s.dwB)) == dwKey) {
            continue;
        }
        const DWORD dwRest = pDest[x] & ~(d.dwR | d.dwG | d.dwB);
        pDest[x] = dwRest | BlendPixel(pDest[x], pSrc[x], d, s, pfnOp);
    }
}

bool Is565(const DDPIXELFORMAT& pf)
{
    return pf.dwRGBBitCount == 16 && pf.dwRBitMask == 0xF800 && pf.dwGBitMask == 0x07E0 && pf.dwBBitMask == 0x001F;
}

} // namespace

void BlendAdd(BYTE* pbDest, BYTE bSrc, BYTE bMax)
{
    const unsigned n = (unsigned)*pbDest + bSrc;
    *pbDest = (BYTE)(n < bMax ? n : bMax);
}

void BlendHalfAdd(BYTE* pbDest, BYTE bSrc, BYTE bMax)
{
    const unsigned n = (unsigned)*pbDest + (bSrc >> 1);
    *pbDest = (BYTE)(n < bMax ? n : bMax);
}

void BlendStrong(BYTE* pbDest, BYTE bSrc, BYTE bMax)
{
    const unsigned n = (((unsigned)*pbDest * 55 + (unsigned)bSrc * 200) >> 8) & 0xFF;
    *pbDest = (BYTE)(n < bMax ? n : bMax);
}

void BlendMix(BYTE* pbDest, BYTE bSrc, BYTE bMax)
{
    const unsigned n = ((unsigned)*pbDest * 140 + (unsigned)bSrc * 115) >> 8;
    *pbDest = (BYTE)(n < bMax ? n : bMax);
}

uint64_t ReplicateWord16(DWORD dwValue)
{
    const uint64_t w = dwValue & 0xFFFFu;
    return w | (w << 16) | (w << 32) | (w << 48);
}

void SplitPixelChannels(DWORD dwPixel, DWORD dwRedMask, DWORD dwGreenMask, DWORD dwBlueMask, int nGreenWidth,
                        BYTE bBlueMask, int nBlueWidth, BYTE* pbRed, BYTE* pbGreen, BYTE* pbBlue)
{
    (void)dwBlueMask;
    *pbRed = (BYTE)((dwPixel & dwRedMask) >> (nGreenWidth + nBlueWidth));
    *pbGreen = (BYTE)((dwPixel & dwGreenMask) >> nBlueWidth);
    *pbBlue = (BYTE)(dwPixel & bBlueMask);
}

uint64_t PackedAdd565(uint64_t qwDest, uint64_t qwSrc, bool bHalf)
{
    const uint64_t qw5 = ReplicateWord16(0x1F);
    const uint64_t qw6 = ReplicateWord16(0x3F);
    const int nHalf = bHalf ? 1 : 0;
    const uint64_t r = SaturateLanes(((qwDest >> 11) & qw5) + ((qwSrc >> (11 + nHalf)) & ReplicateWord16(0x1Fu >> nHalf)), 31);
    const uint64_t g = SaturateLanes(((qwDest >> 5) & qw6) + ((qwSrc >> (5 + nHalf)) & ReplicateWord16(0x3Fu >> nHalf)), 63);
    const uint64_t b = SaturateLanes((qwDest & qw5) + ((qwSrc >> nHalf) & ReplicateWord16(0x1Fu >> nHalf)), 31);
    return (r << 11) | (g << 5) | b;
}

void SetBlendPackedPath(int nMode)
{
    s_nPackedMode = nMode;
}

int BlendBlt(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc,
             PFNBLENDOP pfnOp)
{
    if (!lpDest || !lpSrc || !pfnOp) {
        return 0;
    }
    DDSURFACEDESC2 src, dst;
    if (!LockSurfaceRetrying(lpSrc, &src)) {
        return 0;
    }
    if (lpDest == lpSrc) {
        dst = src;
    } else if (!LockSurfaceRetrying(lpDest, &dst)) {
        lpSrc->Unlock(nullptr);
        return 0;
    }
    const RECT rcD = prcDest ? *prcDest : RECT{0, 0, (LONG)dst.dwWidth, (LONG)dst.dwHeight};
    const RECT rcS = prcSrc ? *prcSrc : RECT{0, 0, (LONG)src.dwWidth, (LONG)src.dwHeight};
    const DWORD dwBits = dst.ddpfPixelFormat.dwRGBBitCount;
    int nResult = 0;
    if (RectOnSurface(rcD, dst) && RectOnSurface(rcS, src) && dwBits == src.ddpfPixelFormat.dwRGBBitCount) {
        const CHANNELS d = ChannelsOf(dst.ddpfPixelFormat);
        const CHANNELS s = ChannelsOf(src.ddpfPixelFormat);
        const bool bKey = (src.dwFlags & DDSD_CKSRCBLT) != 0;
        const DWORD dwKey = src.ddckCKSrcBlt.dwColorSpaceLowValue;
        const int nDestH = rcD.bottom - rcD.top;
        const int nSrcH = rcS.bottom - rcS.top;
        const int nCols = std::min(rcD.right - rcD.left, rcS.right - rcS.left);
        const float fStep = (float)nSrcH / (float)nDestH;
        const bool bPacked = !bKey && UsePackedPath() && nCols >= 2 && (pfnOp == BlendAdd || pfnOp == BlendHalfAdd) &&
                             Is565(dst.ddpfPixelFormat) && Is565(src.ddpfPixelFormat);
        for (int r = 0; r < nDestH; r++) {
            int nSrcRow = (int)((float)r * fStep);
            if (nSrcRow >= nSrcH) {
                nSrcRow = nSrcH - 1;
            }
            uint8_t* pD = (uint8_t*)dst.lpSurface + (size_t)(rcD.top + r) * dst.lPitch;
            const uint8_t* pS = (const uint8_t*)src.lpSurface + (size_t)(rcS.top + nSrcRow) * src.lPitch;
            if (dwBits == 16) {
                BlendRow16((uint16_t*)pD + rcD.left, (const uint16_t*)pS + rcS.left, nCols, d, s, pfnOp, bKey, dwKey,
                           bPacked);
            } else if (dwBits == 32) {
                BlendRow32((uint32_t*)pD + rcD.left, (const uint32_t*)pS + rcS.left, nCols, d, s, pfnOp, bKey, dwKey);
            }
        }
        nResult = 1;
    }
    if (lpDest != lpSrc) {
        lpDest->Unlock(nullptr);
    }
    lpSrc->Unlock(nullptr);
    return nResult;
}

int BlendBltAdd(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc)
{
    return BlendBlt(lpDest, prcDest, lpSrc, prcSrc, BlendAdd);
}

int BlendBltHalfAdd(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc)
{
    return BlendBlt(lpDest, prcDest, lpSrc, prcSrc, BlendHalfAdd);
}

int BlendBltStrong(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc)
{
    return BlendBlt(lpDest, prcDest, lpSrc, prcSrc, BlendStrong);
}

int BlendBltMix(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc)
{
    return BlendBlt(lpDest, prcDest, lpSrc, prcSrc, BlendMix);
}

int BlendBltOp(IDirectDrawSurface7* lpDest, const RECT* prcDest, IDirectDrawSurface7* lpSrc, const RECT* prcSrc,
               PFNBLENDOP pfnOp)
{
    return BlendBlt(lpDest, prcDest, lpSrc, prcSrc, pfnOp);
}
