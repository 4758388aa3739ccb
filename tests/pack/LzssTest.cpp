#include <gtest/gtest.h>

#include <memory>

#include "support/TempFolder.h"
#include "pack/teskLZSS.h"
#include "rvm/rvm_stl.h"

namespace {

rvm::vector<uint8_t> Decode(const rvm::vector<uint8_t>& in, uint32_t nSize, int* pResult)
{
    auto codec = std::make_unique<CTeskLZSS>();
    rvm::vector<uint8_t> out;
    *pResult = codec->Decode(in.data(), (uint32_t)in.size(), out, nSize);
    return out;
}

} // namespace

TEST(Lzss, DecodesTheDocumentedStreams)
{
    int nResult = -1;
    // A literal 'A', then a reference to ring position 4078 (r - 1), length 18: 19 'A's.
    rvm::vector<uint8_t> out = Decode({0x01, 0x41, 0xEE, 0xFF}, 19, &nResult);
    EXPECT_EQ(nResult, LZSS_OK);
    EXPECT_EQ(out, rvm::vector<uint8_t>(19, 'A'));

    // A reference into the untouched ring yields zero bytes.
    out = Decode({0x00, 0x00, 0x0F}, 5, &nResult);
    EXPECT_EQ(nResult, LZSS_OK);
    EXPECT_EQ(out, rvm::vector<uint8_t>(5, 0));

    // Decoding stops in the middle of a reference when the expanded size is reached.
    out = Decode({0x01, 0x42, 0xEE, 0xFF}, 7, &nResult);
    EXPECT_EQ(nResult, LZSS_OK);
    EXPECT_EQ(out, rvm::vector<uint8_t>(7, 'B'));
}

TEST(Lzss, EmptyAndTruncatedStreams)
{
    int nResult = -1;
    rvm::vector<uint8_t> out = Decode({0x01, 0x41}, 0, &nResult);
    EXPECT_EQ(nResult, LZSS_EMPTY);
    EXPECT_TRUE(out.empty());

    // The input runs out before the expanded size: a failure, never a read past the input.
    Decode({0xFF, 'a', 'b'}, 3, &nResult);
    EXPECT_EQ(nResult, LZSS_TRUNCATED);
    Decode({0x00, 0x12}, 4, &nResult);   // half a reference
    EXPECT_EQ(nResult, LZSS_TRUNCATED);
    Decode({}, 1, &nResult);
    EXPECT_EQ(nResult, LZSS_TRUNCATED);
}

TEST(Lzss, EncoderRefusesShortAndIncompressibleInput)
{
    auto codec = std::make_unique<CTeskLZSS>();
    rvm::vector<uint8_t> out{1, 2, 3};
    uint32_t nSize = 99;
    rvm::vector<uint8_t> sixteen(16, 'x');
    EXPECT_EQ(codec->Encode(sixteen.data(), 16, &out, &nSize), 1);
    EXPECT_TRUE(out.empty());

    rvm::vector<uint8_t> noise = MakeBytes<rvm::vector<uint8_t>>(4000, 7, false);
    EXPECT_EQ(codec->Encode(noise.data(), (uint32_t)noise.size(), &out, &nSize), 1);
    EXPECT_TRUE(out.empty());

    rvm::vector<uint8_t> seventeen(17, 'x');
    EXPECT_EQ(codec->Encode(seventeen.data(), 17, &out, &nSize), 0);
    EXPECT_LT(nSize, 17u - 8u);
}

TEST(Lzss, RoundTripsAndSizeOnlyModeAgrees)
{
    for (size_t n : {100u, 4095u, 4096u, 4097u, 20000u, 70000u}) {
        for (uint32_t nSeed : {1u, 2u}) {
            rvm::vector<uint8_t> in = MakeBytes<rvm::vector<uint8_t>>(n, nSeed, true);
            auto codec = std::make_unique<CTeskLZSS>();
            rvm::vector<uint8_t> packed;
            uint32_t nPacked = 0, nCounted = 0;
            ASSERT_EQ(codec->Encode(in.data(), (uint32_t)n, &packed, &nPacked), 0) << n;
            EXPECT_EQ(packed.size(), nPacked);
            EXPECT_EQ(codec->Encode(in.data(), (uint32_t)n, nullptr, &nCounted), 0);
            EXPECT_EQ(nCounted, nPacked);
            int nResult = -1;
            EXPECT_EQ(Decode(packed, (uint32_t)n, &nResult), in) << n;
            EXPECT_EQ(nResult, LZSS_OK);
        }
    }
    // Long runs use the full 18-byte references.
    rvm::vector<uint8_t> zeros(5000, 0);
    auto codec = std::make_unique<CTeskLZSS>();
    rvm::vector<uint8_t> packed;
    uint32_t nPacked = 0;
    ASSERT_EQ(codec->Encode(zeros.data(), 5000, &packed, &nPacked), 0);
    EXPECT_LT(nPacked, 5000u / 8);
    int nResult = -1;
    EXPECT_EQ(Decode(packed, 5000, &nResult), zeros);
}
