#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "engine/AntiCharBmp.h"
#include "engine/TextSprite.h"

namespace {

class AntiCharTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The cut-scene font: 18 points at 96 pixels per inch.
        m_hFont = CreateTextFont(0, FONT_UI_GOTHIC, -MulDiv(18, 96, 72), 0);
        ASSERT_NE(m_hFont, nullptr);
    }
    void TearDown() override { DeleteObject(m_hFont); }

    // The glyph's bitmap as 8-bit greys (from its RGB565 pixels).
    static std::vector<int> Greys(const CAntiCharBmp& glyph)
    {
        std::vector<uint8_t> header(sizeof(BITMAPINFOHEADER));
        BITMAPINFO* pbmi = reinterpret_cast<BITMAPINFO*>(header.data());
        pbmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        pbmi->bmiHeader.biWidth = glyph.GetWidth();
        pbmi->bmiHeader.biHeight = -glyph.GetHeight();
        pbmi->bmiHeader.biPlanes = 1;
        pbmi->bmiHeader.biBitCount = 32;
        void* pv = nullptr;
        HBITMAP hDib = CreateDIBSection(nullptr, pbmi, DIB_RGB_COLORS, &pv, nullptr, 0);
        HDC hdc = CreateCompatibleDC(nullptr);
        HGDIOBJ hOld = SelectObject(hdc, hDib);
        BitBlt(hdc, 0, 0, glyph.GetWidth(), glyph.GetHeight(), glyph.GetDC(), 0, 0, SRCCOPY);
        std::vector<int> out;
        const uint32_t* p = static_cast<const uint32_t*>(pv);
        for (int i = 0; i < glyph.GetWidth() * glyph.GetHeight(); i++) {
            const int r = (p[i] >> 16) & 0xFF, g = (p[i] >> 8) & 0xFF, b = p[i] & 0xFF;
            EXPECT_EQ(r, b);
            EXPECT_EQ(r >> 3, g >> 3);  // greys of a 565 bitmap: red and blue of 5 bits, green of 6
            out.push_back(g);
        }
        SelectObject(hdc, hOld);
        DeleteDC(hdc);
        DeleteObject(hDib);
        return out;
    }

    HFONT m_hFont = nullptr;
};

TEST(AntiCharRamp, LevelsRunFromBlackToTheMaximum)
{
    EXPECT_EQ(CAntiCharBmp::GetLevelCount(GGO_BITMAP), 2);
    EXPECT_EQ(CAntiCharBmp::GetLevelCount(GGO_GRAY2_BITMAP), 5);
    EXPECT_EQ(CAntiCharBmp::GetLevelCount(GGO_GRAY4_BITMAP), 17);
    EXPECT_EQ(CAntiCharBmp::GetLevelCount(GGO_GRAY8_BITMAP), 65);
    EXPECT_EQ(CAntiCharBmp::GetLevelCount(2), 0);
    const int expected[][2] = {{0, 0}, {1, 15}, {2, 31}, {3, 47}, {8, 127}, {15, 239}, {16, 255}};
    for (const auto& e : expected) {
        EXPECT_EQ(CAntiCharBmp::GetLevelGrey(e[0], 17, 255), e[1]) << e[0];
    }
    EXPECT_EQ(CAntiCharBmp::GetLevelGrey(1, 2, 255), 255);  // one-bit glyphs are visible
    EXPECT_EQ(CAntiCharBmp::GetLevelGrey(4, 5, 100), 100);
}

TEST_F(AntiCharTest, AGlyphIsItsExtentInGreysFromBlackToWhite)
{
    CAntiCharBmp glyph;
    ASSERT_EQ(glyph.Create(0, m_hFont, "\x82\xA0", 2, GGO_GRAY4_BITMAP, 255), 1);  // あ
    EXPECT_EQ(glyph.GetCode(), 0x82A0u);
    EXPECT_EQ(glyph.GetWidth(), 24);
    EXPECT_EQ(glyph.GetCellIncX(), 24);
    EXPECT_EQ(glyph.GetCellIncY(), 0);
    EXPECT_GE(glyph.GetHeight(), 24);
    const std::vector<int> greys = Greys(glyph);
    const std::set<int> distinct(greys.begin(), greys.end());
    EXPECT_TRUE(distinct.count(0));
    EXPECT_TRUE(distinct.count(255));  // full coverage
    EXPECT_LE(distinct.size(), 17u);
    EXPECT_GE(distinct.size(), 8u);  // anti-aliased edges
    EXPECT_EQ(GlobalSize(glyph.GetHeader()), ANTICHAR_HEADER_BYTES);
    const BITMAPINFOHEADER* pHeader = static_cast<const BITMAPINFOHEADER*>(GlobalLock(glyph.GetHeader()));
    EXPECT_EQ(pHeader->biBitCount, 8);
    EXPECT_LT(pHeader->biHeight, 0);
    GlobalUnlock(glyph.GetHeader());
}

TEST_F(AntiCharTest, ASingleByteCharacterUsesItsByteAsCode)
{
    CAntiCharBmp glyph;
    ASSERT_EQ(glyph.Create(0, m_hFont, "Ab", 1, GGO_GRAY4_BITMAP, 255), 1);
    EXPECT_EQ(glyph.GetCode(), static_cast<DWORD>('A'));
    EXPECT_EQ(glyph.GetWidth(), 12);
    // Making it again lets go of the first rendering.
    ASSERT_EQ(glyph.Create(0, m_hFont, "\x88\x9F", 2, GGO_GRAY4_BITMAP, 255), 1);  // 亜
    EXPECT_EQ(glyph.GetCode(), 0x889Fu);
}

TEST_F(AntiCharTest, ASpaceRendersNothing)
{
    CAntiCharBmp glyph;
    EXPECT_EQ(glyph.Create(0, m_hFont, " ", 1, GGO_GRAY4_BITMAP, 255), 0);
    EXPECT_EQ(glyph.GetBitmap(), nullptr);
    EXPECT_EQ(glyph.GetDC(), nullptr);
    EXPECT_EQ(glyph.Create(0, m_hFont, "A", 1, 3, 255), 0);
    EXPECT_EQ(glyph.Create(0, m_hFont, "", 0, GGO_GRAY4_BITMAP, 255), 0);
}

TEST_F(AntiCharTest, CacheKeepsTheFirstGlyphOfACharacter)
{
    CAntiCharCache cache;
    CAntiCharBmp* pFirst = new CAntiCharBmp();
    ASSERT_EQ(pFirst->Create(0, m_hFont, "\x82\xA0", 2, GGO_GRAY4_BITMAP, 255), 1);
    cache.Add("\x82\xA0\x82\xA2", pFirst);  // the text goes on after the character
    cache.Add("\x82\xA0", new CAntiCharBmp());  // rejected and deleted
    cache.Add(" ", new CAntiCharBmp());         // a space is cached though it rendered nothing
    cache.Add("\x82\xA0", pFirst);              // the same glyph again stays
    EXPECT_EQ(cache.GetCount(), 2u);
    EXPECT_EQ(cache.Find("\x82\xA0"), pFirst);
    EXPECT_NE(cache.Find(" "), nullptr);
    EXPECT_EQ(cache.Find("\x82\xA2"), nullptr);
    EXPECT_EQ(cache.Find("\x82"), nullptr);
}

TEST(AntiCharKey, CharactersAreOneOrTwoBytes)
{
    EXPECT_EQ(CAntiCharCache::CharKey("Ab"), "A");
    EXPECT_EQ(CAntiCharCache::CharKey("\x83\x5C" "n"), "\x83\x5C");  // ソ, whose trail byte is a backslash
    EXPECT_EQ(CAntiCharCache::CharKey("\x83"), "\x83");                // a lead byte at the end
    EXPECT_EQ(CAntiCharCache::CharKey("\xB1"), "\xB1");                // half-width katakana
    EXPECT_EQ(CAntiCharCache::CharKey(""), "");
    EXPECT_EQ(CAntiCharCache::CharKey(nullptr), "");
}

}  // namespace
