// The integer rules of the span loops, against their plain definitions: the 32.32 texel position of
// a coordinate, the part of a span whose texel positions fall in a band of texels (what black-texel
// skipping keeps), and the rounded product of two bytes eight lanes at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/d3d/PixelOps.h"

namespace {

// round(x * 2^32) with halves rounded up, as a double sum floored: exact for every float below
// 1e9 (x * 2^32 is exact in a double, and where adding a half is not, the product is an even whole
// number, which the sum rounds back to).
int64_t TexelFixedByDouble(float x)
{
    if (!(std::fabs(x) < 1.0e9f)) {
        return 0;
    }
    const double f = (double)x * 4294967296.0 + 0.5;
    return (int64_t)std::floor(f);
}

float FloatOfBits(uint32_t dwBits)
{
    float f;
    std::memcpy(&f, &dwBits, sizeof(f));
    return f;
}

TEST(SpanMathTest, TexelPositionIsTheRoundedProductForEveryKindOfFloat)
{
    // Every 97th bit pattern: both signs, denormals, every exponent, NaNs and infinities; the
    // two-lane form of the wrapped spans with it, paired with another pattern of every kind.
    size_t nChecked = 0;
    for (uint64_t n = 0; n <= 0xFFFFFFFFull; n += 97) {
        const float x = FloatOfBits((uint32_t)n);
        ASSERT_EQ(TexelFixed(x), TexelFixedByDouble(x)) << "bits " << std::hex << n;
#if defined(__SSE2__)
        const float y = FloatOfBits((uint32_t)(n * 2654435761u));
        int64_t nX = 0, nY = 0;
        TexelFixedPair(_mm_setr_ps(x, y, 0.0f, 0.0f), &nX, &nY);
        ASSERT_EQ(nX, TexelFixedByDouble(x)) << "bits " << std::hex << n;
        ASSERT_EQ(nY, TexelFixedByDouble(y)) << "bits " << std::hex << (uint32_t)(n * 2654435761u);
#endif
        nChecked++;
    }
    EXPECT_GT(nChecked, 44000000u);
    // Halves round up on both sides of 0, and the edges of the range.
    EXPECT_EQ(TexelFixed(0.5f / 4294967296.0f), 1);
    EXPECT_EQ(TexelFixed(-0.5f / 4294967296.0f), 0);
    EXPECT_EQ(TexelFixed(-1.5f / 4294967296.0f), -1);
    EXPECT_EQ(TexelFixed(-0.0f), 0);
    EXPECT_EQ(TexelFixed(3.0f), (int64_t)3 << 32);
    EXPECT_EQ(TexelFixed(-3.25f), -((int64_t)13 << 30));
    EXPECT_EQ(TexelFixed(999999936.0f), (int64_t)999999936 << 32);  // the last float below 1e9
    EXPECT_EQ(TexelFixed(1.0e9f), 0);
    EXPECT_EQ(TexelFixed(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(TexelFixed(-std::numeric_limits<float>::infinity()), 0);
}

// A small generator of its own, so the cases are the same on every run.
struct CASEGEN {
    uint64_t s = 0x9E3779B97F4A7C15ull;
    uint64_t Next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    int64_t Between(int64_t lo, int64_t hi) { return lo + (int64_t)(Next() % (uint64_t)(hi - lo + 1)); }
};

// Spans lying inside a texture of nSize texels, stepping up, down or not at all, with steps from a
// tiny fraction of a texel to many texels, against bands of texels: the part kept must be exactly
// the pixels whose positions fall in the band (they are always one run), or empty.
TEST(SpanMathTest, TheBandOfASpanIsExactlyItsPixelsInTheBand)
{
    CASEGEN gen;
    size_t nEmpty = 0, nPart = 0, nWhole = 0;
    for (int nCase = 0; nCase < 200000; nCase++) {
        const int nSize = 1 << gen.Between(0, 10);
        const int64_t nEnd = (int64_t)nSize << 32;
        const int n = (int)gen.Between(1, 700);
        const int64_t P = gen.Between(0, nEnd - 1);
        int64_t nLast = gen.Between(0, nEnd - 1);
        if (gen.Next() % 8 == 0) {
            nLast = P;  // a step of 0
        }
        // The step that reaches nLast on the last pixel (rounded toward P, so it stays inside).
        const int64_t D = n > 1 ? (nLast - P) / (n - 1) : gen.Between(-(nEnd >> 1), nEnd >> 1);
        if (n == 1 && gen.Next() % 4 == 0) {
            continue;
        }
        ASSERT_TRUE(StaysInside(P, D, n, nSize));
        const int64_t L = gen.Between(-1, nSize) << 32, R = gen.Between(L >> 32, nSize + 1) << 32;
        const int nLo0 = (int)gen.Between(0, n), nHi0 = (int)gen.Between(nLo0, n);
        int nLo = nLo0, nHi = nHi0;
        const double fRcp = D ? 1.0 / std::fabs((double)D) : 0.0;
        NarrowToBand(P, D, fRcp, L, R, &nLo, &nHi);
        int nFirst = -1, nAfter = -1;
        for (int i = nLo0; i < nHi0; i++) {
            const int64_t nAt = P + (int64_t)i * D;
            const bool bIn = nAt >= L && nAt < R;
            if (bIn && nFirst < 0) {
                nFirst = i;
            }
            if (bIn) {
                ASSERT_TRUE(nAfter < 0) << "the band's pixels are not one run";
            } else if (nFirst >= 0 && nAfter < 0) {
                nAfter = i;
            }
        }
        if (nFirst < 0) {
            ASSERT_GE(nLo, nHi) << "case " << nCase;
            nEmpty++;
            continue;
        }
        ASSERT_EQ(nLo, nFirst) << "case " << nCase << " P " << P << " D " << D << " n " << n;
        ASSERT_EQ(nHi, nAfter < 0 ? nHi0 : nAfter) << "case " << nCase << " P " << P << " D " << D << " n " << n;
        (nLo == nLo0 && nHi == nHi0 ? nWhole : nPart)++;
    }
    // Every outcome is met many times.
    EXPECT_GT(nEmpty, 10000u);
    EXPECT_GT(nPart, 10000u);
    EXPECT_GT(nWhole, 10000u);
}

#if defined(__SSE2__)
TEST(SpanMathTest, EightLaneProductIsTheRoundedProductForEveryPairOfBytes)
{
    for (uint32_t a = 0; a < 256; a++) {
        for (uint32_t b0 = 0; b0 < 256; b0 += 8) {
            const __m128i va = _mm_set1_epi16((short)a);
            const __m128i vb = _mm_setr_epi16((short)b0, (short)(b0 + 1), (short)(b0 + 2), (short)(b0 + 3),
                                              (short)(b0 + 4), (short)(b0 + 5), (short)(b0 + 6), (short)(b0 + 7));
            alignas(16) uint16_t out[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(out), Mul255x8(va, vb));
            for (uint32_t j = 0; j < 8; j++) {
                ASSERT_EQ(out[j], Mul255(a, b0 + j)) << a << " x " << b0 + j;
            }
        }
    }
    EXPECT_EQ(Mul255(255, 255), 255u);
    EXPECT_EQ(Mul255(128, 255), 128u);
    EXPECT_EQ(Mul255(1, 127), 0u);
    EXPECT_EQ(Mul255(1, 128), 1u);
}
#endif

} // namespace
