// The conversion of numbers to int that holds for any input: exact truncation within the limit,
// the limit beyond it, 0 for NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Util.h"

TEST(FloatToInt, TruncatesLikeACastWithinTheLimitAndHoldsItBeyond)
{
    for (double d : {0.0, -0.0, 0.9, -0.9, 1.5, -1.5, 443.0, 442.99997, -95.25, 16777217.0, 999999999.9,
                     -999999999.9}) {
        EXPECT_EQ(FloatToInt(d), (int)d) << d;
    }
    // Every float a position can take in a real run converts as the cast did.
    for (float f = -5000.0f; f < 5000.0f; f += 0.37f) {
        EXPECT_EQ(FloatToInt(f - 95.0f), (int)(f - 95.0f)) << f;
    }
    const double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FloatToInt(1e9), FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(FloatToInt(2.31e9), FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(FloatToInt(-2.31e9), -FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(FloatToInt(1e39), FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(FloatToInt(kInf), FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(FloatToInt(-kInf), -FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(FloatToInt(std::nan("")), 0);
    EXPECT_EQ(FloatToInt(-std::nan("")), 0);
}
