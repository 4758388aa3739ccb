#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/BmpLoader.h"
#include "engine/SurfaceUtil.h"
#include "platform/gdi/Gdi.h"
#include "support/TempFolder.h"

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

void Append32(std::vector<uint8_t>& v, uint32_t x)
{
    v.resize(v.size() + 4);
    Put32(v, v.size() - 4, x);
}

// A bitmap file as any writer of the format's versions lays it out.
struct BMPFILE {
    uint32_t nInfoSize = 40;
    int32_t nWidth = 1;
    int32_t nHeight = 1;  // negative: top-down
    uint32_t nBits = 24;
    uint32_t nCompression = BI_RGB;
    std::vector<uint32_t> masks;    // red, green, blue (, alpha): inside a header of 52 bytes or more
    std::vector<uint32_t> palette;  // 0xRRGGBB; three bytes an entry after a core header
    bool bCountColors = true;       // the entry count goes into the header (biClrUsed)
    std::vector<uint8_t> pixels;    // as stored
};

std::vector<uint8_t> WriteBmp(const BMPFILE& f)
{
    std::vector<uint8_t> v(BMP_FILEHEADER_SIZE + f.nInfoSize, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 14, f.nInfoSize);
    if (f.nInfoSize == BMP_COREHEADER_SIZE) {
        Put16(v, 18, (uint32_t)f.nWidth);
        Put16(v, 20, (uint32_t)f.nHeight);
        Put16(v, 22, 1);
        Put16(v, 24, f.nBits);
    } else {
        Put32(v, 18, (uint32_t)f.nWidth);
        Put32(v, 22, (uint32_t)f.nHeight);
        Put16(v, 26, 1);
        Put16(v, 28, f.nBits);
        Put32(v, 30, f.nCompression);
        Put32(v, 34, (uint32_t)f.pixels.size());
        Put32(v, 46, f.bCountColors ? (uint32_t)f.palette.size() : 0);
        for (size_t i = 0; i < f.masks.size() && 40 + 4 * i < f.nInfoSize; i++) {
            Put32(v, 14 + 40 + 4 * i, f.masks[i]);
        }
        if (f.nInfoSize == 40) {
            for (size_t i = 0; i < f.masks.size() && i < 3; i++) {
                Append32(v, f.masks[i]);
            }
        }
    }
    for (uint32_t c : f.palette) {
        v.push_back((uint8_t)c);
        v.push_back((uint8_t)(c >> 8));
        v.push_back((uint8_t)(c >> 16));
        if (f.nInfoSize != BMP_COREHEADER_SIZE) {
            v.push_back(0);
        }
    }
    Put32(v, 10, (uint32_t)v.size());
    v.insert(v.end(), f.pixels.begin(), f.pixels.end());
    Put32(v, 2, (uint32_t)v.size());
    return v;
}

// Rows of little-endian values of nBytes each, given top row first, stored bottom-up and padded
// to four bytes.
std::vector<uint8_t> Rows(int nBytes, int w, const std::vector<uint32_t>& values)
{
    const size_t nRow = ((size_t)w * nBytes + 3) & ~(size_t)3;
    const int h = (int)(values.size() / w);
    std::vector<uint8_t> v(nRow * h, 0);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const uint32_t c = values[(size_t)y * w + x];
            for (int b = 0; b < nBytes; b++) {
                v[(size_t)(h - 1 - y) * nRow + (size_t)x * nBytes + b] = (uint8_t)(c >> (8 * b));
            }
        }
    }
    return v;
}

// A one-row picture of 16 or 32 bits with colour masks (none: the fixed layout).
BMPFILE MaskedFile(uint32_t nInfoSize, uint32_t nBits, const std::vector<uint32_t>& masks,
                   const std::vector<uint32_t>& values)
{
    BMPFILE f;
    f.nInfoSize = nInfoSize;
    f.nWidth = (int32_t)values.size();
    f.nBits = nBits;
    f.nCompression = masks.empty() ? BI_RGB : BI_BITFIELDS;
    f.masks = masks;
    f.pixels = Rows((int)nBits / 8, f.nWidth, values);
    return f;
}

// The file as the loader decodes it, or an empty picture when it is refused.
BMPIMAGE Decode(const std::vector<uint8_t>& v)
{
    BMPIMAGE img;
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_OK);
    return img;
}

std::vector<uint32_t> Pixels(const BMPIMAGE& img)
{
    return std::vector<uint32_t>(img.pixels.begin(), img.pixels.end());
}

int Refusal(const BMPFILE& f)
{
    const std::vector<uint8_t> v = WriteBmp(f);
    BMPIMAGE img;
    return DecodeBitmap(v.data(), v.size(), &img);
}

// A bitmap file of w x h at the bit count with zeroed pixels; rows bottom-up unless the height is
// negative.
std::vector<uint8_t> MakeBmp(int w, int h, int nBits, int nColors = 0)
{
    BMPFILE f;
    f.nWidth = w;
    f.nHeight = h;
    f.nBits = (uint32_t)nBits;
    f.palette.assign((size_t)nColors, 0);
    f.pixels.assign((((size_t)nBits * w + 31) / 32) * 4 * (size_t)(h < 0 ? -h : h), 0);
    return WriteBmp(f);
}

const DDPIXELFORMAT k565 = [] {
    DDPIXELFORMAT pf = {};
    pf.dwRGBBitCount = 16;
    pf.dwRBitMask = 0xF800;
    pf.dwGBitMask = 0x07E0;
    pf.dwBBitMask = 0x001F;
    return pf;
}();

// The run-length test pictures' colour table: 0 the background, then red, green, blue, white.
const std::vector<uint32_t> kRlePalette = {0x000080, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
constexpr uint32_t N = 0x000080, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;

// 6 x 4, bottom row first: runs, a padded literal, end of line, a move that skips pixels, a run
// that passes the row's end, an unpadded literal, end of picture.
const std::vector<uint8_t> kRle8Stream = {
    0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00,  // row 0: R R R G B W
    0x02, 0x04, 0x00, 0x02, 0x02, 0x01,                          // row 1: W W, then to (4, 2)
    0x05, 0x03, 0x00, 0x00,                                      // row 2: B B (three more dropped)
    0x00, 0x04, 0x01, 0x02, 0x01, 0x02, 0x00, 0x01,              // row 3: R G R G, end
};
const std::vector<uint32_t> kRle8Picture = {
    R, G, R, G, N, N,  // top row
    N, N, N, N, B, B,  //
    W, W, N, N, N, N,  //
    R, R, R, G, B, W,  // bottom row
};

BMPFILE Rle8File(const std::vector<uint8_t>& stream)
{
    BMPFILE f;
    f.nWidth = 6;
    f.nHeight = 4;
    f.nBits = 8;
    f.nCompression = BI_RLE8;
    f.palette = kRlePalette;
    f.pixels = stream;
    return f;
}

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

TEST(BmpDecode, ShortColourTablesAndEveryHeaderVersion)
{
    // Four bits with three colours, one bit with one: indexes past the table are black.
    BMPFILE f;
    f.nWidth = 4;
    f.nBits = 4;
    f.palette = {0x112233, 0x445566, 0x778899};
    f.pixels = {0x21, 0x3F, 0, 0};
    EXPECT_EQ(Pixels(Decode(WriteBmp(f))), (std::vector<uint32_t>{0x778899, 0x445566, 0, 0}));
    f.nBits = 1;
    f.palette = {0xABCDEF};
    f.pixels = {0x60, 0, 0, 0};
    EXPECT_EQ(Pixels(Decode(WriteBmp(f))), (std::vector<uint32_t>{0xABCDEF, 0, 0, 0xABCDEF}));

    // The core header: sizes in 16 bits, three-byte colours, always the whole table.
    BMPFILE core;
    core.nInfoSize = BMP_COREHEADER_SIZE;
    core.nWidth = 3;
    core.nBits = 4;
    core.palette.assign(16, 0);
    core.palette[1] = 0x123456;
    core.palette[15] = 0xABCDEF;
    core.pixels = {0x1F, 0x00, 0, 0};
    EXPECT_EQ(Pixels(Decode(WriteBmp(core))), (std::vector<uint32_t>{0x123456, 0xABCDEF, 0}));
    core.nBits = 24;
    core.nHeight = 2;
    core.palette.clear();
    core.pixels = Rows(3, 3, {1, 2, 3, 0x040506, 0x070809, 0x0A0B0C});
    EXPECT_EQ(Pixels(Decode(WriteBmp(core))), (std::vector<uint32_t>{1, 2, 3, 0x040506, 0x070809, 0x0A0B0C}));
    core.nBits = 16;  // the core header knew no 16-bit pictures
    EXPECT_EQ(Refusal(core), BMP_ERR_BITCOUNT);

    // Every info header version finds its colour table and its masks.
    for (uint32_t nInfo : {40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(nInfo);
        BMPFILE p;
        p.nInfoSize = nInfo;
        p.nWidth = 2;
        p.nBits = 8;
        p.palette = {0x112233, 0x445566};
        p.pixels = {1, 0, 0, 0};
        EXPECT_EQ(Pixels(Decode(WriteBmp(p))), (std::vector<uint32_t>{0x445566, 0x112233}));
        const BMPFILE m = MaskedFile(nInfo, 16, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07FF});
        EXPECT_EQ(Pixels(Decode(WriteBmp(m))), (std::vector<uint32_t>{0xFF0000, 0x00FFFF}));
    }
}

TEST(BmpDecode, SixteenBitPicturesWidenEachChannelByRepeatingItsBits)
{
    // Without masks 5-5-5: full channels stay full, so pure green is still the key once in 565.
    const BMPIMAGE img = Decode(WriteBmp(MaskedFile(40, 16, {}, {0x7FFF, 0x03E0, 0x7C00, 0x0421, 0x4210})));
    EXPECT_EQ(Pixels(img), (std::vector<uint32_t>{0xFFFFFF, 0x00FF00, 0xFF0000, 0x080808, 0x848484}));
    EXPECT_EQ(PackColorToFormat(img.pixels[1], k565), 0x07E0u);
    EXPECT_EQ(PackColorToFormat(img.pixels[3], k565), 0x0841u);  // 5-bit 1 is 6-bit 2 in green

    // 5-6-5 masks hold every surface pixel exactly: all 65536 of them come back unchanged.
    BMPFILE all;
    all.nWidth = 256;
    all.nHeight = -256;
    all.nBits = 16;
    all.nCompression = BI_BITFIELDS;
    all.masks = {0xF800, 0x07E0, 0x001F};
    for (uint32_t i = 0; i < 65536; i++) {
        all.pixels.push_back((uint8_t)i);
        all.pixels.push_back((uint8_t)(i >> 8));
    }
    const BMPIMAGE every = Decode(WriteBmp(all));
    ASSERT_EQ(every.pixels.size(), 65536u);
    for (uint32_t i = 0; i < 65536; i++) {
        ASSERT_EQ(PackColorToFormat(every.pixels[i], k565), i) << i;
    }

    // 4-4-4 with an alpha mask (a 56-byte header): alpha ignored, 4 bits times 17.
    const BMPFILE x = MaskedFile(56, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, {0xFF04, 0x0A5F});
    EXPECT_EQ(Pixels(Decode(WriteBmp(x))), (std::vector<uint32_t>{0xFF0044, 0xAA55FF}));
    // Masks in any order and place: blue on top, a 3-bit red in the middle, a 2-bit green low.
    const BMPFILE y = MaskedFile(40, 16, {0x0038, 0x0003, 0xF800}, {0xF83B, 0x0011});
    EXPECT_EQ(Pixels(Decode(WriteBmp(y))), (std::vector<uint32_t>{0xFFFFFF, 0x495500}));
}

TEST(BmpDecode, ThirtyTwoAndTwentyFourBitWithMasksOrAColourTable)
{
    // Masks in a version 5 header; the low byte (alpha) is ignored.
    const BMPFILE v5 = MaskedFile(124, 32, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF}, {0x1234567F, 0xFF0000AA});
    EXPECT_EQ(Pixels(Decode(WriteBmp(v5))), (std::vector<uint32_t>{0x563412, 0x0000FF}));
    // Ten bits a channel after a 40-byte header: the top eight are kept.
    const BMPFILE ten = MaskedFile(40, 32, {0x3FF00000, 0x000FFC00, 0x000003FF},
                                   {0x3FFFFFFF, (0x201u << 20) | (0x0FFu << 10) | 0x3u});
    EXPECT_EQ(Pixels(Decode(WriteBmp(ten))), (std::vector<uint32_t>{0xFFFFFF, 0x803F00}));
    // Without masks the top byte is ignored as well.
    const BMPFILE plain = MaskedFile(40, 32, {}, {0xFF123456, 0x80ABCDEF});
    EXPECT_EQ(Pixels(Decode(WriteBmp(plain))), (std::vector<uint32_t>{0x123456, 0xABCDEF}));

    // A colour table before the pixels of a true-colour picture is there for palette screens
    // only; the pixels start where the header says.
    for (uint32_t nBits : {24u, 32u}) {
        BMPFILE p;
        p.nWidth = 2;
        p.nBits = nBits;
        p.palette = {0x010203, 0x040506, 0x070809};
        p.pixels = Rows((int)nBits / 8, 2, {0xA0B0C0, 0x0D0E0F});
        EXPECT_EQ(Pixels(Decode(WriteBmp(p))), (std::vector<uint32_t>{0xA0B0C0, 0x0D0E0F}));
    }
}

TEST(BmpDecode, RunLengthPicturesWithEveryEscape)
{
    const BMPIMAGE img = Decode(WriteBmp(Rle8File(kRle8Stream)));
    EXPECT_EQ(img.nWidth, 6);
    EXPECT_EQ(img.nHeight, 4);
    EXPECT_EQ(Pixels(img), kRle8Picture);

    // An end of line on the top row finishes the picture as well as the end mark does.
    std::vector<uint8_t> stream = kRle8Stream;
    stream.back() = 0x00;
    EXPECT_EQ(Pixels(Decode(WriteBmp(Rle8File(stream)))), kRle8Picture);
    // So does a move past the top row; what it skipped is colour 0.
    stream = {0x02, 0x02, 0x00, 0x02, 0x01, 0x09};
    std::vector<uint32_t> moved(24, N);
    moved[18] = moved[19] = G;
    EXPECT_EQ(Pixels(Decode(WriteBmp(Rle8File(stream)))), moved);
    // A stream cut before its end, inside a literal or inside a move is refused.
    for (size_t nCut : {kRle8Stream.size() - 2, (size_t)23, (size_t)14}) {
        stream.assign(kRle8Stream.begin(), kRle8Stream.begin() + (ptrdiff_t)nCut);
        EXPECT_EQ(Refusal(Rle8File(stream)), BMP_ERR_DATA) << nCut;
    }
    // Indexes past the table are black here too.
    BMPFILE past = Rle8File({0x06, 0x07, 0x00, 0x01});
    past.nHeight = 1;
    EXPECT_EQ(Pixels(Decode(WriteBmp(past))), std::vector<uint32_t>(6, 0));

    // RLE4: a run alternates its two nibbles; a literal of five nibbles is three bytes and a pad.
    BMPFILE f;
    f.nWidth = 5;
    f.nHeight = 3;
    f.nBits = 4;
    f.nCompression = BI_RLE4;
    f.palette = {N, R, G, B};
    f.pixels = {
        0x05, 0x12, 0x00, 0x00,                    // bottom row: R G R G R
        0x00, 0x05, 0x39, 0x12, 0x30, 0x00, 0x00, 0x00,  // middle row: B (9: black) R G B
        0x00, 0x03, 0x21, 0x30, 0x00, 0x01,        // top row: G R B, then colour 0
    };
    EXPECT_EQ(Pixels(Decode(WriteBmp(f))), (std::vector<uint32_t>{G, R, B, N, N,  //
                                                                  B, 0, R, G, B,  //
                                                                  R, G, R, G, R}));

    BMPFILE down = Rle8File(kRle8Stream);
    down.nHeight = -4;
    EXPECT_EQ(Refusal(down), BMP_ERR_RLE_TOPDOWN);
    f.nBits = 8;  // RLE4 on an 8-bit picture
    EXPECT_EQ(Refusal(f), BMP_ERR_COMPRESSION_BITS);
    // A few bytes asking for more pixels than any picture the game could hold.
    BMPFILE huge = Rle8File({0x00, 0x01});
    huge.nWidth = 8192;
    huge.nHeight = 4096;
    EXPECT_EQ(Refusal(huge), BMP_ERR_SIZE);
    huge.nWidth = 4096;  // at the limit: its headers pass (decoding it would take a while)
    const std::vector<uint8_t> v = WriteBmp(huge);
    int w = 0, h = 0;
    EXPECT_EQ(ReadBitmapHeaderSize(v.data(), v.size(), &w, &h), BMP_OK);
    EXPECT_EQ(w * h, 4096 * 4096);
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
    EXPECT_EQ(DecodeBitmap(good.data(), good.size() - 1, &img), BMP_ERR_DATA);
    // Inside the headers.
    EXPECT_EQ(DecodeBitmap(good.data(), 30, &img), BMP_ERR_TRUNCATED);
    v = good;
    Put32(v, 10, 20);  // pixels said to start inside the info header
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_OFFSET);
    v = good;
    Put32(v, 10, 0xFFFFFFF0u);
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_OFFSET);
    v = good;
    Put16(v, 28, 15);
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
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_DATA);
    v = good;
    Put16(v, 26, 2);  // two planes
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_PLANES);
    v = good;
    Put32(v, 14, 64);  // a header size no version has
    EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), BMP_ERR_HEADER);
    // Compressions: pictures of other formats carried inside, and values nobody defined.
    const std::pair<uint32_t, int> compressions[] = {
        {BI_JPEG, BMP_ERR_JPEG}, {BI_PNG, BMP_ERR_PNG}, {6, BMP_ERR_COMPRESSION}, {BI_RLE8, BMP_ERR_COMPRESSION_BITS},
        {BI_BITFIELDS, BMP_ERR_COMPRESSION_BITS}};
    for (const auto& c : compressions) {
        v = good;
        Put32(v, 30, c.first);
        if (c.first == BI_JPEG || c.first == BI_PNG) {
            Put16(v, 28, 0);  // such files give no bit count
        }
        EXPECT_EQ(DecodeBitmap(v.data(), v.size(), &img), c.second) << c.first;
    }

    std::vector<uint8_t> pal = MakeBmp(2, 2, 8, 4);
    Put32(pal, 46, 300);  // more colours than eight bits can address
    EXPECT_EQ(DecodeBitmap(pal.data(), pal.size(), &img), BMP_ERR_PALETTE);
    EXPECT_EQ(DecodeBitmap(nullptr, 0, &img), BMP_ERR_TRUNCATED);

    // Masks that overlap, have a gap or pass the pixel's 16 bits.
    for (const std::vector<uint32_t>& masks : {std::vector<uint32_t>{0xF800, 0x0FE0, 0x001F},
                                               std::vector<uint32_t>{0xF800, 0x07A0, 0x001F},
                                               std::vector<uint32_t>{0x1F800, 0x07E0, 0x001F}}) {
        EXPECT_EQ(Refusal(MaskedFile(40, 16, masks, {0})), BMP_ERR_MASKS) << masks[0] << " " << masks[1];
    }
    // The three masks after a 40-byte header are themselves cut off.
    EXPECT_EQ(Refusal(MaskedFile(40, 16, {0xF800}, {0})), BMP_ERR_TRUNCATED);
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

// From a file on disk to a 16-bit surface, as every picture of the game is loaded.
TEST(BmpDecode, RunLengthFileBecomesASurface)
{
    CTempFolder folder;
    CTempFolder::Put("Rle8.bmp", WriteBmp(Rle8File(kRle8Stream)));
    IDirectDraw7* lpDD = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, (LPVOID*)&lpDD, IID_IDirectDraw7, nullptr), DD_OK);
    IDirectDrawSurface7* lpSurface = CreateSurfaceFromBitmap(lpDD, ".\\Rle8.bmp", MEM_SYSTEM);
    ASSERT_NE(lpSurface, nullptr);
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ASSERT_EQ(lpSurface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(ddsd.dwWidth, 6u);
    ASSERT_EQ(ddsd.dwHeight, 4u);
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 6; x++) {
            uint16_t w = 0;
            std::memcpy(&w, (const uint8_t*)ddsd.lpSurface + (size_t)y * ddsd.lPitch + (size_t)x * 2, 2);
            EXPECT_EQ(w, PackColorToFormat(kRle8Picture[(size_t)y * 6 + x], k565)) << x << "," << y;
        }
    }
    lpSurface->Unlock(nullptr);
    lpSurface->Release();
    lpDD->Release();
}
