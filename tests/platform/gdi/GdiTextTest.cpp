// Fonts, TextOut and extents on surface contexts.
#include <algorithm>
#include <set>

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFixture.h"

namespace {

constexpr uint16_t kKey = 0x07E0;
constexpr uint16_t kRed224 = 0xE000;  // RGB(224, 0, 0) packed by truncation
const char kMixed[] = "Zorva \x83\x65\x83\x4C\x83\x58\x83\x67 12";  // "Zorva テキスト 12"

struct DRAWN {
    std::vector<uint16_t> pixels;
    SIZE extent;
};

// Writes the text at (x, y) on a key-green w x h surface, transparent, in the colour.
DRAWN Draw(GdiTest* pTest, IDirectDrawSurface7* pSurf, HFONT hFont, int x, int y, const char* pszText, int nLen,
           COLORREF color)
{
    HDC hdc = nullptr;
    DRAWN out = {};
    EXPECT_EQ(pSurf->GetDC(&hdc), DD_OK);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, color);
    EXPECT_TRUE(TextOutA(hdc, x, y, pszText, nLen));
    EXPECT_TRUE(GetTextExtentPoint32A(hdc, pszText, nLen, &out.extent));
    SelectObject(hdc, hOld);
    GdiReleaseSurfaceDC(hdc);
    pSurf->ReleaseDC(hdc);
    (void)pTest;
    out.pixels = GdiTest::Pixels16(pSurf);
    return out;
}

using GdiTextTest = GdiTest;

TEST_F(GdiTextTest, TextIsDrawnInExactlyTheTextColourOnTheKey)
{
    IDirectDrawSurface7* p = Surface(200, 40, kKey);
    HFONT hFont = GameFont(-16);
    ASSERT_NE(hFont, nullptr) << GdiGetLastFontError();
    const DRAWN d = Draw(this, p, hFont, 2, 3, kMixed, static_cast<int>(sizeof(kMixed) - 1), RGB(224, 0, 0));
    const std::set<uint16_t> colours(d.pixels.begin(), d.pixels.end());
    EXPECT_EQ(colours, (std::set<uint16_t>{kKey, kRed224}));
    EXPECT_GT(std::count(d.pixels.begin(), d.pixels.end(), kRed224), 100);
    DeleteObject(hFont);
}

TEST_F(GdiTextTest, DrawnPixelsLieInsideTheExtentAndTouchItsSides)
{
    IDirectDrawSurface7* p = Surface(240, 60, kKey);
    HFONT hFont = GameFont(-16);
    const int x0 = 5, y0 = 7;
    const DRAWN d = Draw(this, p, hFont, x0, y0, kMixed, static_cast<int>(sizeof(kMixed) - 1), RGB(255, 255, 255));
    int nLeft = 240, nRight = -1, nTop = 60, nBottom = -1;
    for (int y = 0; y < 60; y++) {
        for (int x = 0; x < 240; x++) {
            if (d.pixels[y * 240 + x] != kKey) {
                nLeft = std::min(nLeft, x);
                nRight = std::max(nRight, x);
                nTop = std::min(nTop, y);
                nBottom = std::max(nBottom, y);
            }
        }
    }
    ASSERT_GE(nRight, 0);
    EXPECT_GE(nLeft, x0);
    EXPECT_GE(nTop, y0);
    EXPECT_LT(nRight, x0 + d.extent.cx);
    EXPECT_LT(nBottom, y0 + d.extent.cy);
    // The ink reaches close to both ends: the extent is the text's, not a guess.
    EXPECT_LE(nLeft - x0, 3);
    EXPECT_GE(nRight, x0 + d.extent.cx - 4);
    DeleteObject(hFont);
}

TEST_F(GdiTextTest, ExtentIsTheSumOfCharacterAdvancesByTheCellHeight)
{
    HDC hdc = GetDC(nullptr);
    HFONT hFont = GameFont(-16);
    SelectObject(hdc, hFont);
    TEXTMETRICA tm = {};
    ASSERT_TRUE(GetTextMetricsA(hdc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 16);
    SIZE a = {}, b = {}, ab = {}, empty = {-1, -1};
    GetTextExtentPoint32A(hdc, "A", 1, &a);
    GetTextExtentPoint32A(hdc, "\x82\xA0", 2, &b);  // あ
    GetTextExtentPoint32A(hdc, "A\x82\xA0", 3, &ab);
    GetTextExtentPoint32A(hdc, "", 0, &empty);
    EXPECT_EQ(ab.cx, a.cx + b.cx);
    EXPECT_EQ(ab.cy, tm.tmHeight);
    EXPECT_EQ(b.cx, 16);  // full-width characters are one em wide in this face
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 0);
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(hFont);
    ReleaseDC(nullptr, hdc);
}

TEST_F(GdiTextTest, HeightsFollowGdiSigns)
{
    HDC hdc = GetDC(nullptr);
    TEXTMETRICA tm = {};
    HFONT hCell = GameFont(20);
    SelectObject(hdc, hCell);
    GetTextMetricsA(hdc, &tm);
    EXPECT_EQ(tm.tmHeight, 20);  // positive: the cell height
    HFONT hEm = GameFont(-MulDiv(12, GetDeviceCaps(hdc, LOGPIXELSY), 72));
    SelectObject(hdc, hEm);
    GetTextMetricsA(hdc, &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);  // negative: the em height
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    DeleteObject(hCell);
    DeleteObject(hEm);
    ReleaseDC(nullptr, hdc);
}

TEST_F(GdiTextTest, EveryFaceNameGivesTheSameJapaneseFont)
{
    const int n = static_cast<int>(sizeof(kMixed) - 1);
    std::vector<uint16_t> first;
    for (const char* pszFace : {FACE_UI_GOTHIC, FACE_MS_GOTHIC, "Arial", ""}) {
        HFONT hFont = GameFont(-16, pszFace);
        ASSERT_NE(hFont, nullptr) << pszFace;
        const DRAWN d = Draw(this, Surface(200, 30, kKey), hFont, 0, 0, kMixed, n, RGB(255, 255, 255));
        if (first.empty()) {
            first = d.pixels;
        }
        EXPECT_EQ(d.pixels, first) << pszFace;
        DeleteObject(hFont);
    }
}

TEST_F(GdiTextTest, SameTextGivesSamePixelsWithFreshFonts)
{
    const int n = static_cast<int>(sizeof(kMixed) - 1);
    HFONT h1 = GameFont(-24);
    const DRAWN d1 = Draw(this, Surface(300, 40, kKey), h1, 1, 1, kMixed, n, RGB(255, 255, 255));
    DeleteObject(h1);
    HFONT h2 = GameFont(-24);
    const DRAWN d2 = Draw(this, Surface(300, 40, kKey), h2, 1, 1, kMixed, n, RGB(255, 255, 255));
    DeleteObject(h2);
    EXPECT_EQ(d1.pixels, d2.pixels);
}

TEST_F(GdiTextTest, DoubleByteCharactersAreNeverSplit)
{
    int nBytes = 0;
    // ソ: its trail byte is a backslash.
    EXPECT_EQ(Cp932Next(reinterpret_cast<const uint8_t*>("\x83\x5C"), 2, &nBytes), 0x30BDu);
    EXPECT_EQ(nBytes, 2);
    // A lead byte at the end of the text is one character of one byte, with no code point.
    EXPECT_EQ(Cp932Next(reinterpret_cast<const uint8_t*>("\x83"), 1, &nBytes), 0u);
    EXPECT_EQ(nBytes, 1);
    // A lead byte before a byte that cannot trail: the lead alone, then the next byte afresh.
    EXPECT_EQ(Cp932Next(reinterpret_cast<const uint8_t*>("\x83\x20"), 2, &nBytes), 0u);
    EXPECT_EQ(nBytes, 1);
    EXPECT_EQ(Cp932Next(reinterpret_cast<const uint8_t*>("\xB1"), 1, &nBytes), 0xFF71u);  // half-width ｱ
    EXPECT_EQ(Cp932Next(reinterpret_cast<const uint8_t*>("\x88\x9F"), 2, &nBytes), 0x4E9Cu);  // 亜

    HFONT hFont = GameFont(-16);
    const DRAWN whole = Draw(this, Surface(64, 20, kKey), hFont, 0, 0, "\x83\x5C", 2, RGB(255, 255, 255));
    IDirectDrawSurface7* pSplit = Surface(64, 20, kKey);
    Draw(this, pSplit, hFont, 0, 0, "\x83", 1, RGB(255, 255, 255));
    const DRAWN split = Draw(this, pSplit, hFont, 8, 0, "\x5C", 1, RGB(255, 255, 255));
    EXPECT_NE(whole.pixels, split.pixels);
    DeleteObject(hFont);
}

TEST_F(GdiTextTest, ALeadByteAtTheEndIsMeasuredAndDrawnWithoutReadingFurther)
{
    HDC hdc = GetDC(nullptr);
    HFONT hFont = GameFont(-16);
    SelectObject(hdc, hFont);
    // The buffer ends right after the lead byte (the sanitizer builds catch a read past it).
    std::vector<char> text = {'A', '\x82'};
    SIZE s = {}, a = {}, lone = {};
    EXPECT_TRUE(GetTextExtentPoint32A(hdc, text.data(), 2, &s));
    GetTextExtentPoint32A(hdc, "A", 1, &a);
    GetTextExtentPoint32A(hdc, "\x82", 1, &lone);
    EXPECT_EQ(s.cx, a.cx + lone.cx);
    EXPECT_GT(lone.cx, 0);
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    ReleaseDC(nullptr, hdc);
    const DRAWN d = Draw(this, Surface(40, 20, kKey), hFont, 0, 0, text.data(), 2, RGB(255, 255, 255));
    EXPECT_EQ(d.extent.cx, s.cx);
    DeleteObject(hFont);
}

TEST_F(GdiTextTest, OpaqueModeFillsTheExtentWithTheBackgroundColour)
{
    IDirectDrawSurface7* p = Surface(100, 30, kKey);
    HFONT hFont = GameFont(-16);
    HDC hdc = nullptr;
    ASSERT_EQ(p->GetDC(&hdc), DD_OK);
    SelectObject(hdc, hFont);
    EXPECT_EQ(GetBkMode(hdc), OPAQUE);  // a fresh context's mode
    SetBkColor(hdc, RGB(0, 0, 255));
    SetTextColor(hdc, RGB(255, 255, 255));
    TextOutA(hdc, 10, 5, "Ab", 2);
    SIZE sz = {};
    GetTextExtentPoint32A(hdc, "Ab", 2, &sz);
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    GdiReleaseSurfaceDC(hdc);
    p->ReleaseDC(hdc);
    const std::vector<uint16_t> px = Pixels16(p);
    for (int y = 0; y < 30; y++) {
        for (int x = 0; x < 100; x++) {
            const bool bInside = x >= 10 && x < 10 + sz.cx && y >= 5 && y < 5 + sz.cy;
            const uint16_t c = px[y * 100 + x];
            if (bInside) {
                EXPECT_TRUE(c == 0x001F || c == 0xFFFF) << x << "," << y;
            } else {
                EXPECT_EQ(c, kKey) << x << "," << y;
            }
        }
    }
    DeleteObject(hFont);
}

TEST_F(GdiTextTest, TextIsClippedToTheSurface)
{
    IDirectDrawSurface7* p = Surface(12, 10, kKey);
    HFONT hFont = GameFont(-32);
    const DRAWN d = Draw(this, p, hFont, -9, -7, kMixed, static_cast<int>(sizeof(kMixed) - 1), RGB(224, 0, 0));
    const std::set<uint16_t> colours(d.pixels.begin(), d.pixels.end());
    EXPECT_TRUE(colours.count(kRed224));
    EXPECT_EQ(d.pixels.size(), 120u);
    DeleteObject(hFont);
}

TEST_F(GdiTextTest, ReleasingASurfaceContextForgetsItsState)
{
    IDirectDrawSurface7* p = Surface(8, 8, kKey);
    HDC hdc = nullptr;
    ASSERT_EQ(p->GetDC(&hdc), DD_OK);
    SetTextColor(hdc, RGB(1, 2, 3));
    SetBkMode(hdc, TRANSPARENT);
    GdiReleaseSurfaceDC(hdc);
    p->ReleaseDC(hdc);
    ASSERT_EQ(p->GetDC(&hdc), DD_OK);
    EXPECT_EQ(GetTextColor(hdc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(hdc), OPAQUE);
    GdiReleaseSurfaceDC(hdc);
    p->ReleaseDC(hdc);
}

TEST_F(GdiTextTest, AMissingFontFileIsAClearErrorNotACrash)
{
    EXPECT_FALSE(GdiSetFontFile("/nonexistent/font.ttf"));
    HFONT hFont = GameFont(-16);
    EXPECT_EQ(hFont, nullptr);
    EXPECT_NE(std::string(GdiGetLastFontError()).find("/nonexistent/font.ttf"), std::string::npos);
    HDC hdc = GetDC(nullptr);
    EXPECT_EQ(SelectObject(hdc, hFont), nullptr);
    ReleaseDC(nullptr, hdc);
    EXPECT_TRUE(GdiSetFontFile(nullptr));
    HFONT hAgain = GameFont(-16);
    EXPECT_NE(hAgain, nullptr);
    EXPECT_STREQ(GdiGetLastFontError(), "");
    DeleteObject(hAgain);
}

TEST_F(GdiTextTest, BadArgumentsFail)
{
    HDC hdc = GetDC(nullptr);
    SIZE sz = {};
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "A", 1));
    EXPECT_FALSE(TextOutA(hdc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(hdc, 0, 0, "A", -1));
    EXPECT_FALSE(GetTextExtentPoint32A(hdc, "A", 1, nullptr));
    EXPECT_TRUE(TextOutA(hdc, 0, 0, "A", 1));  // a window's context measures only
    EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(hdc, 7), 0);
    EXPECT_TRUE(GetTextExtentPoint32A(hdc, "A", 1, &sz));
    ReleaseDC(nullptr, hdc);
}

}  // namespace
