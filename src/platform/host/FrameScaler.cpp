#include "platform/host/FrameScaler.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/host/Host.h"

namespace {

// n pixels of RGB565 as XRGB8888, eight at a time where SSE2 is there.
void RowTo8888(const uint16_t* pIn, uint32_t* pOut, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i m5 = _mm_set1_epi16(0x1F), m6 = _mm_set1_epi16(0x3F), top = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i k527 = _mm_set1_epi16(527), k23 = _mm_set1_epi16(23), k259 = _mm_set1_epi16(259), k33 = _mm_set1_epi16(33);
    for (; i + 8 <= n; i += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pIn + i));
        const __m128i r = _mm_and_si128(_mm_srli_epi16(p, 11), m5);
        const __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), m6);
        const __m128i b = _mm_and_si128(p, m5);
        // The products stay below 2^15.
        const __m128i r8 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(r, k527), k23), 6);
        const __m128i g8 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(g, k259), k33), 6);
        const __m128i b8 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b, k527), k23), 6);
        // Each pixel's low word green and blue, its high word 0xFF and red.
        const __m128i lo = _mm_or_si128(_mm_slli_epi16(g8, 8), b8), hi = _mm_or_si128(r8, top);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), _mm_unpacklo_epi16(lo, hi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i + 4), _mm_unpackhi_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i) pOut[i] = Xrgb8888Of565(pIn[i]);
}

// The frame's index of output index i of n, for a frame size of m.
int Nearest(int i, int n, int m) {
    return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * m / (2 * static_cast<int64_t>(n)));
}

}  // namespace

FRAMEOUTKIND FrameOutKind(int nBytesPerPixel, uint32_t dwRMask, uint32_t dwGMask, uint32_t dwBMask) {
    if (nBytesPerPixel == 4 && dwRMask == 0xFF0000u && dwGMask == 0xFF00u && dwBMask == 0xFFu) return FRAMEOUT_XRGB8888;
    if (nBytesPerPixel == 2 && dwRMask == 0xF800u && dwGMask == 0x07E0u && dwBMask == 0x1Fu) return FRAMEOUT_RGB565;
    return FRAMEOUT_NONE;
}

void CFrameScaler::TakeSizes(int w, int h, int fitW, int fitH, FRAMEOUTKIND eKind) {
    if (w == m_nW && h == m_nH && fitW == m_nFitW && fitH == m_nFitH && eKind == m_eKind) return;
    m_nW = w;
    m_nH = h;
    m_nFitW = fitW;
    m_nFitH = fitH;
    m_eKind = eKind;
    m_cols.resize(static_cast<size_t>(fitW));
    for (int i = 0; i < fitW; ++i) m_cols[static_cast<size_t>(i)] = Nearest(i, fitW, w);
    m_row.resize(static_cast<size_t>(w));
}

void CFrameScaler::Draw(const uint16_t* pFrame, int nFramePitch, int w, int h, uint8_t* pOut, int nOutPitch, int outW,
                        int outH, FRAMEOUTKIND eKind) {
    if (!pFrame || !pOut || w <= 0 || h <= 0 || outW <= 0 || outH <= 0 || eKind == FRAMEOUT_NONE) return;
    const HOSTRECT fit = FitKeepingAspect(w, h, outW, outH);
    const size_t nPixel = eKind == FRAMEOUT_XRGB8888 ? 4 : 2;
    TakeSizes(w, h, fit.w, fit.h, eKind);
    const uint8_t* pFrameBytes = reinterpret_cast<const uint8_t*>(pFrame);
    int nLastRow = -1;
    const uint8_t* pLastOut = nullptr;
    for (int y = 0; y < outH; ++y) {
        uint8_t* pRow = pOut + static_cast<ptrdiff_t>(y) * nOutPitch;
        if (y < fit.y || y >= fit.y + fit.h) {
            memset(pRow, 0, static_cast<size_t>(outW) * nPixel);
            continue;
        }
        memset(pRow, 0, static_cast<size_t>(fit.x) * nPixel);
        const size_t nRight = static_cast<size_t>(fit.x + fit.w);
        memset(pRow + nRight * nPixel, 0, (static_cast<size_t>(outW) - nRight) * nPixel);
        uint8_t* pPicture = pRow + static_cast<size_t>(fit.x) * nPixel;
        const int nRow = Nearest(y - fit.y, fit.h, h);
        // Rows the scale repeats are copied from the one before.
        if (nRow == nLastRow) {
            memcpy(pPicture, pLastOut, static_cast<size_t>(fit.w) * nPixel);
            continue;
        }
        nLastRow = nRow;
        pLastOut = pPicture;
        const uint16_t* pIn = reinterpret_cast<const uint16_t*>(pFrameBytes + static_cast<ptrdiff_t>(nRow) * nFramePitch);
        if (fit.w == w) {
            if (eKind == FRAMEOUT_XRGB8888) {
                RowTo8888(pIn, reinterpret_cast<uint32_t*>(pPicture), w);
            } else {
                memcpy(pPicture, pIn, static_cast<size_t>(w) * 2);
            }
        } else if (eKind == FRAMEOUT_XRGB8888) {
            RowTo8888(pIn, m_row.data(), w);
            uint32_t* pOut32 = reinterpret_cast<uint32_t*>(pPicture);
            for (int x = 0; x < fit.w; ++x) pOut32[x] = m_row[static_cast<size_t>(m_cols[static_cast<size_t>(x)])];
        } else {
            uint16_t* pOut16 = reinterpret_cast<uint16_t*>(pPicture);
            for (int x = 0; x < fit.w; ++x) pOut16[x] = pIn[m_cols[static_cast<size_t>(x)]];
        }
    }
}
