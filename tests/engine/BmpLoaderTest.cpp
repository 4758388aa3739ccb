#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/BmpLoader.h"

namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    v[at] = (uint8_t)x;
    v[at + 1] = (uint8_t)(x >> 8);
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    Put16(v, at, x & 0xFFFF);
    Put16(v, at + 2, x >> 16);
}

// A bitmap file of w x h at the bit count; rows bottom-up unless the height is negative. Pixel
// bytes come from fill(x, file row) per byte.
std::vector<uint8_t> MakeBmp(int w, int h, int nBits, int nColors = 0)
{
    const int nRows = h < 0 ? -h : h;
    const uint32_t nRow = ((uint32_t)(nBits * w + 31) / 32) * 4;
    const uint32_t nOff = 54 + (uint32_t)nColors * 4;
    std::vector<uint8_t> v(nOff + nRow * (uint32_t)nRows, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, (uint32_t)v.size());
    Put32(v, 10, nOff);
    Put32(v, 14, 40);
    Put32(v, 18, (uint32_t)w);
    Put32(v, 22, (uint32_t)h);
    Put16(v, 26, 1);
    Put16(v, 28, (uint32_t)nBits);
    Put32(v, 46, (uint32_t)nColors);
    return v;
}

const DDPIXELFORMAT k565 = [] {
    DDPIXELFORMAT pf = {};
    pf.dwRGBBitCount = 16;
    pf.dwRBitMask = 0xF800;
    pf.dwGBitMask = 0x07E0;
    pf.dwBBitMask = 0x001F;
    return pf;
}();

} // namespace

TEST(BmpDecode, TwentyFourBitBottomUpAndTopDownGiveTheSameTopRow)
{
    std::vector<uint8_t> up = MakeBmp(2, 2, 24);
    // Bottom-up: the file's first row is the picture's bottom row. Bytes are B, G, R.
    up[54 + 0] = 0x11, up[54 + 1] = 0x22, up[54 + 2] = 0x33;  // bottom-left
    up[54 + 8 + 3] = 0xAA, up[54 + 8 + 4] = 0xBB, up[54 + 8 + 5] = 0xCC;  // top-right (row size 8)
    BMPIMAGE img;
    ASSERT_EQ(DecodeBitmap(up.data(), up.size(), &img), BMP_OK);
    EXPECT_EQ(img.nWidth, 2);
    EXPECT_EQ(img.nHeight, 2);
    EXPECT_EQ(img.pixels[1], 0xCCBBAAu);  // top row, right
    EXPECT_EQ(img.pixels[2], 0x332211u);  // bottom row, left

    std::vector<uint8_t> down = MakeBmp(2, -2, 24);
    down[54 + 3] = 0xAA, down[54 + 4] = 0xBB, down[54 + 5] = 0xCC;
    ASSERT_EQ(DecodeBitmap(down.data(), down.size(), &img), BMP_OK);
    EXPECT_EQ(img.nHeight, 2);
    EXPECT_EQ(img.pixels[1], 0xCCBBAAu);
}

TEST(BmpDecode, EightBitUsesItsColourTable)
{
    std::vector<uint8_t> v = MakeBmp(3, 1, 8, 2);
    // Entry 1 is pure green (B, G, R, 0).
    v[54 + 4] = 0x00, v[54 + 5] = 0xFF, v[54 + 6] = 0x00;
    v[62 + 0] = 1;
    v[62 + 1] = 0;
    v[62 + 2] = 7;  // beyond the table's two entries: black
    BMPIMAGE img;
    ASSERT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_OK);
    EXPECT_EQ(img.pixels[0], 0x00FF00u);
    EXPECT_EQ(img.pixels[1], 0u);
    EXPECT_EQ(img.pixels[2], 0u);
}

TEST(BmpDecode, HeadersThatLieAreRefused)
{
    const std::vector<uint8_t> good = MakeBmp(4, 4, 24);
    BMPIMAGE img;
    ASSERT_EQ(DecodeBitmap(good.data(), good.size(), &img), BMP_OK);

    std::vector<uint8_t> v = good;
    v[0] = 'X';
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_SIGNATURE);
    // Data cut short by one byte.
    EXPECT_EQ(DecodeBitmap(good.data(), good.size() - 1, &img), BMP_ERR_TRUNCATED);
    // Inside the headers.
    EXPECT_EQ(DecodeBitmap(good.data(), 30, &img), BMP_ERR_TRUNCATED);
    v = good;
    Put32(v, 10, 20);  // pixels said to start inside the info header
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_OFFSET);
    v = good;
    Put32(v, 10, 0xFFFFFFF0u);
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_OFFSET);
    v = good;
    Put16(v, 28, 16);
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_BITCOUNT);
    v = good;
    Put32(v, 18, 0);
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_SIZE);
    v = good;
    Put32(v, 18, 0xFFFFFFFFu);  // negative width
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_SIZE);
    v = good;
    Put32(v, 22, 100000);  // a height the data cannot hold, beyond the side limit
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_SIZE);
    v = good;
    Put32(v, 22, 5000);  // within the limit, but the rows are not in the file
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_TRUNCATED);
    v = good;
    Put32(v, 30, 1);  // run-length compression
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_HEADER);
    v = good;
    Put16(v, 26, 2);  // two planes
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_HEADER);
    v = good;
    Put32(v, 14, 12);  // an old core header
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_HEADER);

    std::vector<uint8_t> pal = MakeBmp(2, 2, 8, 4);
    Put32(pal, 46, 300);  // more colours than eight bits can address
    EXPECT_EQ(DecodeBitmap(pal.data(), pal.size(), &img), BMP_ERR_PALETTE);
    EXPECT_EQ(DecodeBitmap(nullptr, 0, &img), BMP_ERR_TRUNCATED);
}

TEST(BmpDecode, ColourConversionTruncates)
{
    EXPECT_EQ(PackColorToFormat(0x00FF00, k565), 0x07E0u);  // pure green is exactly the key
    EXPECT_EQ(PackColorToFormat(0x07FC07, k565), 0x07E0u);  // near-greens fall on the key too
    EXPECT_EQ(PackColorToFormat(0x00FB00, k565), 0x07C0u);
    EXPECT_EQ(PackColorToFormat(0xFFFFFF, k565), 0xFFFFu);
    EXPECT_EQ(PackColorToFormat(0x080400, k565), 0x0820u);
    EXPECT_EQ(UnpackColorFromFormat(0xF800, k565), 0xFF0000u);
    EXPECT_EQ(UnpackColorFromFormat(0x07E0, k565), 0x00FF00u);
    EXPECT_EQ(UnpackColorFromFormat(0x7800, k565), 0x7B0000u);  // 5-bit 15 widens to 123
}
