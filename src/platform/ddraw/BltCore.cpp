#include "platform/ddraw/BltCore.h"
#include "platform/ddraw/PixelRow.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

bool IsKey(const BLTJOB& job, uint32_t v)
{
    return job.bKeySrc && v >= job.dwKeyLow && v <= job.dwKeyHigh;
}

int SourceColumn(const BLTJOB& job, int x)
{
    int i = StretchIndex(x - job.nDstX, job.nSrcW, job.nDstW);
    if (job.bMirrorLR) {
        i = job.nSrcW - 1 - i;
    }
    return job.nSrcX + i;
}

int SourceRow(const BLTJOB& job, int y)
{
    int i = StretchIndex(y - job.nDstY, job.nSrcH, job.nDstH);
    if (job.bMirrorUD) {
        i = job.nSrcH - 1 - i;
    }
    return job.nSrcY + i;
}

// Rows ahead of the one being copied whose destination is fetched into the cache. The frame's
// first copy (the far background) lands on a buffer last drawn two frames ago, out of the cache;
// every line of it is read before it is written, and the reads of a few rows ahead overlap the
// copy instead of stalling it.
constexpr int kPrefetchRows = 4;

void PrefetchRow(const uint8_t* p, size_t nBytes)
{
    for (size_t i = 0; i < nBytes; i += 64) {
        __builtin_prefetch(p + i, 1);
    }
}

// Same width, same layout, no left-right mirror: whole rows at a time (a row of the source for
// each row of the destination, so a blit stretched only up and down is one too). At one scale the
// source row steps by one (back by one mirrored up-down), so no row needs SourceRow's division.
void RunStraight(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job)
{
    const int nBpp = BytesPerPixel(dst.eKind);
    const int nW = job.nClipR - job.nClipL;
    const size_t nRowBytes = (size_t)nW * nBpp;
    const int sx = job.nSrcX + (job.nClipL - job.nDstX);
    const bool bOneScale = job.nSrcH == job.nDstH;
    const long lSrcStep = job.bMirrorUD ? -src.lPitch : src.lPitch;
    uint8_t* pD = dst.pBits + (long)job.nClipT * dst.lPitch + (long)job.nClipL * nBpp;
    const uint8_t* pS = src.pBits + (long)SourceRow(job, job.nClipT) * src.lPitch + (long)sx * nBpp;
    for (int y = job.nClipT; y < job.nClipB; y++, pD += dst.lPitch, pS += lSrcStep) {
        if (!bOneScale) {
            pS = src.pBits + (long)SourceRow(job, y) * src.lPitch + (long)sx * nBpp;
        }
        if (!job.bKeySrc) {
            if (y + kPrefetchRows < job.nClipB) {
                PrefetchRow(pD + kPrefetchRows * dst.lPitch, nRowBytes);
            }
            std::memmove(pD, pS, nRowBytes);
        } else if (nBpp == 2 && job.dwKeyLow == job.dwKeyHigh) {
            uint16_t* pD16 = reinterpret_cast<uint16_t*>(pD);
            const uint16_t* pS16 = reinterpret_cast<const uint16_t*>(pS);
            CopyRowKeyed16(pD16, pS16, nW, (uint16_t)job.dwKeyLow);
        } else {
            for (int i = 0; i < nW; i++) {
                const uint32_t v = ReadRowPixel(pS, i, nBpp);
                if (!IsKey(job, v)) {
                    WriteRowPixel(pD, i, nBpp, v);
                }
            }
        }
    }
}

// The first destination and source bytes of a plain copy's clipped rows.
uint8_t* FirstDstByte(const BLTPLANE& dst, const BLTJOB& job)
{
    return dst.pBits + (long)job.nClipT * dst.lPitch + (long)job.nClipL * BytesPerPixel(dst.eKind);
}

const uint8_t* FirstSrcByte(const BLTPLANE& src, const BLTJOB& job)
{
    const int sx = job.nSrcX + (job.nClipL - job.nDstX), sy = job.nSrcY + (job.nClipT - job.nDstY);
    return src.pBits + (long)sy * src.lPitch + (long)sx * BytesPerPixel(src.eKind);
}

// The eight words of v in reverse order.
inline __m128i ReverseWords(__m128i v)
{
    v = _mm_shufflelo_epi16(v, 0x1B);
    v = _mm_shufflehi_epi16(v, 0x1B);
    return _mm_shuffle_epi32(v, 0x4E);
}

// One row of a 16-bit blit mirrored left and right at one scale: destination pixel i takes source
// pixel -i from pS (a pointer to the source pixel of the first destination pixel), eight at a time;
// with a key, key pixels are left out as RunBlt leaves them out.
void CopyRowMirrored16(uint16_t* pDst, const uint16_t* pS, int n, const BLTJOB& job)
{
    const bool bOneKey = job.bKeySrc && job.dwKeyLow == job.dwKeyHigh;
    int i = 0;
    if (!job.bKeySrc || bOneKey) {
        const __m128i vKey = _mm_set1_epi16((int16_t)job.dwKeyLow);
        for (; i + 8 <= n; i += 8) {
            const __m128i s = ReverseWords(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pS - i - 7)));
            __m128i* pD = reinterpret_cast<__m128i*>(pDst + i);
            if (bOneKey) {
                const __m128i keep = _mm_cmpeq_epi16(s, vKey);
                _mm_storeu_si128(pD, _mm_or_si128(_mm_and_si128(keep, _mm_loadu_si128(pD)), _mm_andnot_si128(keep, s)));
            } else {
                _mm_storeu_si128(pD, s);
            }
        }
    }
    for (; i < n; i++) {
        const uint16_t v = pS[-i];
        if (!IsKey(job, v)) {
            pDst[i] = v;
        }
    }
}

// Same size, 16-bit, mirrored left and right (up and down too, or not).
void RunMirrored16(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job)
{
    const int nW = job.nClipR - job.nClipL;
    const long lSrcStep = job.bMirrorUD ? -src.lPitch : src.lPitch;
    const int sx = SourceColumn(job, job.nClipL);
    uint8_t* pD = dst.pBits + (long)job.nClipT * dst.lPitch + (long)job.nClipL * 2;
    const uint8_t* pS = src.pBits + (long)SourceRow(job, job.nClipT) * src.lPitch + (long)sx * 2;
    for (int y = job.nClipT; y < job.nClipB; y++, pD += dst.lPitch, pS += lSrcStep) {
        CopyRowMirrored16(reinterpret_cast<uint16_t*>(pD), reinterpret_cast<const uint16_t*>(pS), nW, job);
    }
}

} // namespace

bool BltIsPlainCopy(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job)
{
    return !job.bKeySrc && !job.bMirrorLR && !job.bMirrorUD && job.nSrcW == job.nDstW && job.nSrcH == job.nDstH &&
           dst.eKind == src.eKind;
}

bool BltCopiesSideBySide(const BLTJOB& a, const BLTJOB& b)
{
    return a.nClipT == b.nClipT && a.nClipB == b.nClipB && (a.nClipR <= b.nClipL || b.nClipR <= a.nClipL);
}

void RunCopiesSideBySide(const BLTPLANE& dst, const BLTPLANE& srcA, const BLTJOB& a, const BLTPLANE& srcB,
                         const BLTJOB& b)
{
    if (a.nClipL >= a.nClipR || a.nClipT >= a.nClipB || b.nClipL >= b.nClipR) {
        RunBlt(dst, srcA, a);
        RunBlt(dst, srcB, b);
        return;
    }
    const int nBpp = BytesPerPixel(dst.eKind);
    const size_t nBytesA = (size_t)(a.nClipR - a.nClipL) * nBpp, nBytesB = (size_t)(b.nClipR - b.nClipL) * nBpp;
    // Both rows, from the left one's first byte to the right one's last, are fetched ahead.
    const int nLeft = std::min(a.nClipL, b.nClipL);
    const size_t nRowBytes = (size_t)(std::max(a.nClipR, b.nClipR) - nLeft) * nBpp;
    uint8_t* pDA = FirstDstByte(dst, a);
    uint8_t* pDB = FirstDstByte(dst, b);
    const uint8_t* pSA = FirstSrcByte(srcA, a);
    const uint8_t* pSB = FirstSrcByte(srcB, b);
    uint8_t* pRow = dst.pBits + (long)a.nClipT * dst.lPitch + (long)nLeft * nBpp;
    for (int y = a.nClipT; y < a.nClipB; y++) {
        if (y + kPrefetchRows < a.nClipB) {
            PrefetchRow(pRow + kPrefetchRows * dst.lPitch, nRowBytes);
        }
        std::memmove(pDA, pSA, nBytesA);
        std::memmove(pDB, pSB, nBytesB);
        pDA += dst.lPitch;
        pDB += dst.lPitch;
        pRow += dst.lPitch;
        pSA += srcA.lPitch;
        pSB += srcB.lPitch;
    }
}

void CopyRowKeyed16(uint16_t* pDst, const uint16_t* pSrc, int n, uint16_t wKey)
{
    // Eight pixels a step with a select, so the compiler can keep it in vector registers.
    typedef uint16_t V8 __attribute__((vector_size(16)));
    int i = 0;
    const V8 vKey = {wKey, wKey, wKey, wKey, wKey, wKey, wKey, wKey};
    for (; i + 8 <= n; i += 8) {
        V8 s, d;
        std::memcpy(&s, pSrc + i, 16);
        std::memcpy(&d, pDst + i, 16);
        const V8 keep = (V8)(s == vKey);
        d = (d & keep) | (s & ~keep);
        std::memcpy(pDst + i, &d, 16);
    }
    for (; i < n; i++) {
        if (pSrc[i] != wKey) {
            pDst[i] = pSrc[i];
        }
    }
}

void RunBlt(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job)
{
    if (job.nClipL >= job.nClipR || job.nClipT >= job.nClipB) {
        return;
    }
    const bool bSameScale = job.nSrcW == job.nDstW && job.nSrcH == job.nDstH;
    if (job.nSrcW == job.nDstW && !job.bMirrorLR && dst.eKind == src.eKind) {
        RunStraight(dst, src, job);
        return;
    }
    if (bSameScale && dst.eKind == src.eKind && BytesPerPixel(dst.eKind) == 2) {
        RunMirrored16(dst, src, job);
        return;
    }
    const int nDB = BytesPerPixel(dst.eKind);
    const int nSB = BytesPerPixel(src.eKind);
    const bool bConvert = dst.eKind != src.eKind;
    // The source column of each destination column is worked out once for all rows, a batch of
    // columns at a time.
    constexpr int kBatch = 256;
    int columns[kBatch];
    for (int x0 = job.nClipL; x0 < job.nClipR; x0 += kBatch) {
        const int n = std::min(kBatch, job.nClipR - x0);
        for (int i = 0; i < n; i++) {
            columns[i] = SourceColumn(job, x0 + i);
        }
        for (int y = job.nClipT; y < job.nClipB; y++) {
            const uint8_t* pS = src.pBits + (long)SourceRow(job, y) * src.lPitch;
            uint8_t* pD = dst.pBits + (long)y * dst.lPitch;
            for (int i = 0; i < n; i++) {
                uint32_t v = ReadRowPixel(pS, columns[i], nSB);
                if (IsKey(job, v)) {
                    continue;
                }
                if (bConvert) {
                    v = EncodeArgb(dst.eKind, DecodeArgb(src.eKind, v));
                }
                WriteRowPixel(pD, x0 + i, nDB, v);
            }
        }
    }
}

void FillPlane(const BLTPLANE& dst, int l, int t, int r, int b, uint32_t dwRaw)
{
    const int nBpp = BytesPerPixel(dst.eKind);
    for (int y = t; y < b; y++) {
        uint8_t* pRow = dst.pBits + (long)y * dst.lPitch;
        if (nBpp == 2) {
            uint16_t* p = reinterpret_cast<uint16_t*>(pRow) + l;
            for (int x = l; x < r; x++) {
                *p++ = (uint16_t)dwRaw;
            }
        } else {
            uint32_t* p = reinterpret_cast<uint32_t*>(pRow) + l;
            for (int x = l; x < r; x++) {
                *p++ = dwRaw;
            }
        }
    }
}
