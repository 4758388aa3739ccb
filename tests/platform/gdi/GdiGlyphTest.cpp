// Glyph outlines in the one-bit and grey formats.
#include <set>

#include "platform/gdi/GdiFixture.h"

namespace {

class GlyphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hdc = GetDC(nullptr);
        m_hFont = GameFont(-48);
        ASSERT_NE(m_hFont, nullptr) << GdiGetLastFontError();
        m_hOld = SelectObject(m_hdc, m_hFont);
    }
    void TearDown() override
    {
        SelectObject(m_hdc, m_hOld);
        DeleteObject(m_hFont);
        ReleaseDC(nullptr, m_hdc);
    }
    // The glyph's buffer in a format; its metrics in m_gm.
    std::vector<uint8_t> Glyph(UINT uChar, UINT uFormat)
    {
        const DWORD n = GetGlyphOutlineA(m_hdc, uChar, uFormat, &m_gm, 0, nullptr, &IdentityMat2());
        EXPECT_NE(n, GDI_ERROR);
        std::vector<uint8_t> buf(n == GDI_ERROR ? 0 : n);
        if (n && n != GDI_ERROR) {
            EXPECT_EQ(GetGlyphOutlineA(m_hdc, uChar, uFormat, &m_gm, n, buf.data(), &IdentityMat2()), n);
        }
        return buf;
    }

    HDC m_hdc = nullptr;
    HFONT m_hFont = nullptr;
    HGDIOBJ m_hOld = nullptr;
    GLYPHMETRICS m_gm = {};
};

TEST_F(GlyphTest, Gray4HasSeventeenLevelsInDwordRows)
{
    const std::vector<uint8_t> buf = Glyph(0x82A0, GGO_GRAY4_BITMAP);  // あ
    const UINT nPitch = (m_gm.gmBlackBoxX + 3) & ~3u;
    ASSERT_EQ(buf.size(), nPitch * m_gm.gmBlackBoxY);
    const std::set<uint8_t> levels(buf.begin(), buf.end());
    EXPECT_EQ(*levels.rbegin(), 16);
    EXPECT_EQ(*levels.begin(), 0);
    EXPECT_EQ(levels.size(), 17u);  // a large glyph's edges use every level
    // The padding bytes of each row stay 0.
    for (UINT y = 0; y < m_gm.gmBlackBoxY; y++) {
        for (UINT x = m_gm.gmBlackBoxX; x < nPitch; x++) {
            EXPECT_EQ(buf[y * nPitch + x], 0);
        }
    }
    EXPECT_EQ(m_gm.gmCellIncX, 48);
    EXPECT_EQ(m_gm.gmCellIncY, 0);
    EXPECT_GT(m_gm.gmptGlyphOrigin.y, 0);
}

TEST_F(GlyphTest, OtherFormatsHaveTheirLevelCountsAndTheSameBox)
{
    Glyph(0x82A0, GGO_GRAY4_BITMAP);
    const GLYPHMETRICS gm4 = m_gm;
    const std::vector<uint8_t> g2 = Glyph(0x82A0, GGO_GRAY2_BITMAP);
    EXPECT_EQ(*std::max_element(g2.begin(), g2.end()), 4);
    EXPECT_EQ(std::set<uint8_t>(g2.begin(), g2.end()).size(), 5u);
    const std::vector<uint8_t> g8 = Glyph(0x82A0, GGO_GRAY8_BITMAP);
    EXPECT_EQ(*std::max_element(g8.begin(), g8.end()), 64);
    EXPECT_EQ(m_gm.gmBlackBoxX, gm4.gmBlackBoxX);
    EXPECT_EQ(m_gm.gmBlackBoxY, gm4.gmBlackBoxY);
    EXPECT_EQ(m_gm.gmptGlyphOrigin.x, gm4.gmptGlyphOrigin.x);
    EXPECT_EQ(m_gm.gmptGlyphOrigin.y, gm4.gmptGlyphOrigin.y);
    const std::vector<uint8_t> g1 = Glyph(0x82A0, GGO_BITMAP);
    EXPECT_EQ(g1.size(), ((gm4.gmBlackBoxX + 31) / 32) * 4 * gm4.gmBlackBoxY);
    // One-bit pixels are the grey pixels of at least half coverage.
    const UINT nPitch8 = (gm4.gmBlackBoxX + 3) & ~3u, nPitch1 = ((gm4.gmBlackBoxX + 31) / 32) * 4;
    for (UINT y = 0; y < gm4.gmBlackBoxY; y++) {
        for (UINT x = 0; x < gm4.gmBlackBoxX; x++) {
            const bool bSet = (g1[y * nPitch1 + x / 8] >> (7 - x % 8)) & 1;
            EXPECT_EQ(bSet, g8[y * nPitch8 + x] >= 32) << x << "," << y;
        }
    }
}

TEST_F(GlyphTest, ASpaceHasNoPixelsButAnAdvance)
{
    GLYPHMETRICS gm = {};
    EXPECT_EQ(GetGlyphOutlineA(m_hdc, ' ', GGO_GRAY4_BITMAP, &gm, 0, nullptr, &IdentityMat2()), 0u);
    EXPECT_EQ(gm.gmCellIncX, 24);
    EXPECT_EQ(GetGlyphOutlineA(m_hdc, 0x8140, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &IdentityMat2()), 0u);  // 　
    EXPECT_EQ(gm.gmCellIncX, 48);
}

TEST_F(GlyphTest, RefusesWhatItCannotServe)
{
    GLYPHMETRICS gm = {};
    uint8_t small[4];
    const DWORD n = GetGlyphOutlineA(m_hdc, 'A', GGO_GRAY4_BITMAP, &gm, 0, nullptr, &IdentityMat2());
    ASSERT_GT(n, 4u);
    EXPECT_EQ(GetGlyphOutlineA(m_hdc, 'A', GGO_GRAY4_BITMAP, &gm, sizeof(small), small, &IdentityMat2()), GDI_ERROR);
    MAT2 twice = IdentityMat2();
    twice.eM11.value = 2;
    EXPECT_EQ(GetGlyphOutlineA(m_hdc, 'A', GGO_GRAY4_BITMAP, &gm, 0, nullptr, &twice), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(m_hdc, 'A', GGO_GRAY4_BITMAP, &gm, 0, nullptr, nullptr), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(m_hdc, 'A', 3, &gm, 0, nullptr, &IdentityMat2()), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(nullptr, 'A', GGO_GRAY4_BITMAP, &gm, 0, nullptr, &IdentityMat2()), GDI_ERROR);
}

TEST_F(GlyphTest, SameGlyphTwiceIsIdentical)
{
    EXPECT_EQ(Glyph(0x8E9A, GGO_GRAY4_BITMAP), Glyph(0x8E9A, GGO_GRAY4_BITMAP));  // 字
}

}  // namespace
