#include "platform/ddraw/KeySpans.h"

#include <algorithm>
#include <cstring>

#include "platform/ddraw/PixelRow.h"

namespace {

// One unaligned move of N bytes (a fixed size, so it compiles to a load and a store).
template <size_t N>
inline void MoveBytes(uint8_t* pDst, const uint8_t* pSrc)
{
    uint8_t v[N];
    std::memcpy(v, pSrc, N);
    std::memcpy(pDst, v, N);
}

// nBytes (a positive multiple of 2) from pSrc to pDst, which do not overlap. Sprite spans are
// mostly short, so they go in a few wide moves, the last ones overlapping those before, rather
// than through a call to memcpy.
inline void CopySpanBytes(uint8_t* pDst, const uint8_t* pSrc, size_t nBytes)
{
    if (nBytes > 32) {
        for (size_t i = 0; i + 32 < nBytes; i += 32) {
            MoveBytes<16>(pDst + i, pSrc + i);
            MoveBytes<16>(pDst + i + 16, pSrc + i + 16);
        }
        MoveBytes<16>(pDst + nBytes - 32, pSrc + nBytes - 32);
        MoveBytes<16>(pDst + nBytes - 16, pSrc + nBytes - 16);
    } else if (nBytes >= 16) {
        MoveBytes<16>(pDst, pSrc);
        MoveBytes<16>(pDst + nBytes - 16, pSrc + nBytes - 16);
    } else if (nBytes >= 8) {
        MoveBytes<8>(pDst, pSrc);
        MoveBytes<8>(pDst + nBytes - 8, pSrc + nBytes - 8);
    } else if (nBytes >= 4) {
        MoveBytes<4>(pDst, pSrc);
        MoveBytes<4>(pDst + nBytes - 4, pSrc + nBytes - 4);
    } else {
        MoveBytes<2>(pDst, pSrc);
    }
}

// The spans [pSpan, pEnd) of a source row pS, cut to source columns [nFirst, nEnd), to the
// destination row pD where column nFirst lands. The spans run left to right: a part of a sheet of
// pictures stops at the first span past its right edge.
template <int kBpp>
inline void CopyRowSpans(uint8_t* pD, const uint8_t* pS, const KEYSPAN* pSpan, const KEYSPAN* pEnd, int nFirst,
                         int nEnd)
{
    for (; pSpan != pEnd && pSpan->nLeft < nEnd; pSpan++) {
        const int nLeft = std::max<int>(pSpan->nLeft, nFirst);
        const int nRight = std::min<int>(pSpan->nRight, nEnd);
        if (nLeft < nRight) {
            CopySpanBytes(pD + (long)(nLeft - nFirst) * kBpp, pS + (long)nLeft * kBpp, (size_t)(nRight - nLeft) * kBpp);
        }
    }
}

// RunBltSpans for pixels of kBpp bytes. Everything the loops use is a local: the pixel stores
// could otherwise alias the job and the planes and make every field a reload.
template <int kBpp>
void CopySpans(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job, const uint32_t* pRowFirst,
               const KEYSPAN* pSpans)
{
    // Source columns [nFirst, nEnd) land on destination columns from job.nClipL on.
    const int nFirst = job.nSrcX + (job.nClipL - job.nDstX);
    const int nEnd = nFirst + (job.nClipR - job.nClipL);
    const long lDstPitch = dst.lPitch, lSrcPitch = src.lPitch;
    uint8_t* pD = dst.pBits + (long)job.nClipT * lDstPitch + (long)job.nClipL * kBpp;
    // Source row of the first destination row, and the step to the next.
    int nRow = job.nClipT - job.nDstY;
    int nStep = 1;
    if (job.bMirrorUD) {
        nRow = job.nSrcH - 1 - nRow;
        nStep = -1;
    }
    int sy = job.nSrcY + nRow;
    const uint8_t* pSrcBits = src.pBits;
    for (int n = job.nClipB - job.nClipT; n > 0; n--, sy += nStep, pD += lDstPitch) {
        CopyRowSpans<kBpp>(pD, pSrcBits + (long)sy * lSrcPitch, pSpans + pRowFirst[sy], pSpans + pRowFirst[sy + 1],
                           nFirst, nEnd);
    }
}

// The moves of size class c for source rows [y0, y1) to pD0, where source row y0 column 0 lands;
// lShift is y0 times the destination pitch (the offsets count from row 0).
template <int c>
void RunMoveSize(uint8_t* pD0, const CKeySpans& spans, int y0, int y1, long lShift)
{
    constexpr size_t kBytes = (size_t)16 >> c;
    const uint32_t nFirst = spans.MoveFirst(c, y0), nEnd = spans.MoveFirst(c, y1);
    const uint32_t* pDst = spans.MoveTargets(c);
    const uint8_t* pSrc = spans.MoveBytes(c) + (size_t)nFirst * kBytes;
#pragma GCC unroll 4
    for (uint32_t i = nFirst; i < nEnd; i++, pSrc += kBytes) {
        MoveBytes<kBytes>(pD0 + ((long)pDst[i] - lShift), pSrc);
    }
}

} // namespace

void CKeySpans::Clear()
{
    m_rowFirst.clear();
    m_spans.clear();
    m_bBuilt = false;
    m_lMovesPitch = 0;
}

void CKeySpans::Build(const BLTPLANE& src, uint32_t dwKeyLow, uint32_t dwKeyHigh)
{
    Clear();
    const int nBpp = BytesPerPixel(src.eKind);
    m_nBpp = nBpp;
    m_rowFirst.reserve((size_t)src.nHeight + 1);
    for (int y = 0; y < src.nHeight; y++) {
        m_rowFirst.push_back((uint32_t)m_spans.size());
        const uint8_t* pRow = src.pBits + (long)y * src.lPitch;
        int x = 0;
        while (x < src.nWidth) {
            while (x < src.nWidth) {
                const uint32_t v = ReadRowPixel(pRow, x, nBpp);
                if (v < dwKeyLow || v > dwKeyHigh) {
                    break;
                }
                x++;
            }
            const int nLeft = x;
            while (x < src.nWidth) {
                const uint32_t v = ReadRowPixel(pRow, x, nBpp);
                if (v >= dwKeyLow && v <= dwKeyHigh) {
                    break;
                }
                x++;
            }
            if (x > nLeft) {
                m_spans.push_back(KEYSPAN{(uint16_t)nLeft, (uint16_t)x});
            }
        }
    }
    m_rowFirst.push_back((uint32_t)m_spans.size());
    m_dwKeyLow = dwKeyLow;
    m_dwKeyHigh = dwKeyHigh;
    m_bBuilt = true;
}

void CKeySpans::PrepareMoves(const BLTPLANE& src, long lDstPitch)
{
    if (m_lMovesPitch == lDstPitch) {
        return;
    }
    m_lMovesPitch = 0;
    const size_t nRows = m_rowFirst.size() - 1;
    // The offsets are 32-bit: a destination too tall for them keeps the spans.
    if (lDstPitch <= 0 || (uint64_t)lDstPitch * nRows > UINT32_MAX) {
        return;
    }
    for (int c = 0; c < kMoveSizeCount; c++) {
        m_moveDst[c].clear();
        m_moveBytes[c].clear();
        m_moveFirst[c].clear();
    }
    for (size_t y = 0; y < nRows; y++) {
        for (int c = 0; c < kMoveSizeCount; c++) {
            m_moveFirst[c].push_back((uint32_t)m_moveDst[c].size());
        }
        const uint8_t* pRow = src.pBits + (long)y * src.lPitch;
        for (uint32_t i = m_rowFirst[y]; i < m_rowFirst[y + 1]; i++) {
            const KEYSPAN& s = m_spans[i];
            const int nLeftByte = s.nLeft * m_nBpp;
            AddMoves(pRow + nLeftByte, (uint32_t)(y * lDstPitch + nLeftByte), (s.nRight - s.nLeft) * m_nBpp);
        }
    }
    for (int c = 0; c < kMoveSizeCount; c++) {
        m_moveFirst[c].push_back((uint32_t)m_moveDst[c].size());
    }
    m_lMovesPitch = lDstPitch;
}

// A span's nBytes from pSrc, landing at nDst, in moves of 16 bytes with the last one ending at the
// span's end, or two moves of 8 or 4 bytes that meet or overlap, or one of 2 bytes.
void CKeySpans::AddMoves(const uint8_t* pSrc, uint32_t nDst, int nBytes)
{
    auto add = [&](int c, int nAt) {
        m_moveDst[c].push_back(nDst + (uint32_t)nAt);
        m_moveBytes[c].insert(m_moveBytes[c].end(), pSrc + nAt, pSrc + nAt + (16 >> c));
    };
    if (nBytes >= 16) {
        for (int i = 0; i + 16 < nBytes; i += 16) {
            add(0, i);
        }
        add(0, nBytes - 16);
        return;
    }
    for (int c = 1; c < kMoveSizeCount - 1; c++) {
        const int nSize = 16 >> c;
        if (nBytes >= nSize) {
            add(c, 0);
            add(c, nBytes - nSize);
            return;
        }
    }
    add(kMoveSizeCount - 1, 0);
}

bool BltServedBySpans(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job)
{
    return job.bKeySrc && !job.bMirrorLR && job.nSrcW == job.nDstW && job.nSrcH == job.nDstH &&
           dst.eKind == src.eKind;
}

bool BltCopiesWholeRows(const BLTPLANE& src, const BLTJOB& job)
{
    return !job.bMirrorUD && job.nSrcX + (job.nClipL - job.nDstX) == 0 && job.nClipR - job.nClipL == src.nWidth;
}

void RunBltSpans(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job, const CKeySpans& spans)
{
    if (BltCopiesWholeRows(src, job) && spans.HasMovesFor(dst.lPitch)) {
        const int y0 = job.nSrcY + (job.nClipT - job.nDstY);
        const int y1 = y0 + (job.nClipB - job.nClipT);
        uint8_t* pD0 = dst.pBits + (long)job.nClipT * dst.lPitch + (long)job.nClipL * BytesPerPixel(dst.eKind);
        const long lShift = (long)y0 * dst.lPitch;
        RunMoveSize<0>(pD0, spans, y0, y1, lShift);
        RunMoveSize<1>(pD0, spans, y0, y1, lShift);
        RunMoveSize<2>(pD0, spans, y0, y1, lShift);
        RunMoveSize<3>(pD0, spans, y0, y1, lShift);
        return;
    }
    if (BytesPerPixel(dst.eKind) == 2) {
        CopySpans<2>(dst, src, job, spans.RowStarts(), spans.Spans());
    } else {
        CopySpans<4>(dst, src, job, spans.RowStarts(), spans.Spans());
    }
}
