#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/SurfaceUtil.h"
#include "engine/TextSprite.h"
#include "support/DeviceFixture.h"

namespace {

constexpr WORD kKey = 0x07E0;
constexpr WORD kWhite = 0xFFFF;
constexpr WORD kRed224 = 0xE000;
constexpr WORD kGrey7F = (0x7F >> 3) << 11 | (0x7F >> 2) << 5 | (0x7F >> 3);

struct PICTURE {
    int w = 0, h = 0;
    std::vector<WORD> px;
    WORD At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

PICTURE Read(IDirectDrawSurface7* lpSurface)
{
    PICTURE pic;
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    if (lpSurface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) {
        ADD_FAILURE() << "surface does not lock";
        return pic;
    }
    pic.w = static_cast<int>(ddsd.dwWidth);
    pic.h = static_cast<int>(ddsd.dwHeight);
    for (int y = 0; y < pic.h; y++) {
        const WORD* pRow = reinterpret_cast<const WORD*>(static_cast<const BYTE*>(ddsd.lpSurface) + y * ddsd.lPitch);
        pic.px.insert(pic.px.end(), pRow, pRow + pic.w);
    }
    lpSurface->Unlock(nullptr);
    return pic;
}

SIZE ExtentOf(const char* pszText, int nHeight, const char* pszFace)
{
    HDC hdc = GetDC(nullptr);
    HFONT hFont = CreateTextFont(0, pszFace, nHeight, 0);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    SIZE size = {};
    GetTextExtentPoint32A(hdc, pszText, static_cast<int>(std::strlen(pszText)), &size);
    SelectObject(hdc, hOld);
    DeleteObject(hFont);
    ReleaseDC(nullptr, hdc);
    return size;
}

std::set<WORD> Colours(const PICTURE& pic) { return std::set<WORD>(pic.px.begin(), pic.px.end()); }

using TextSpriteTest = CDeviceFixture;

TEST_F(TextSpriteTest, TextFontsAreMadeAsTheGameAsksForThem)
{
    HFONT hFont = CreateTextFont(0, FONT_MS_GOTHIC, -20, 0);
    ASSERT_NE(hFont, nullptr);
    LOGFONTA lf = {};
    ASSERT_EQ(GetObjectA(hFont, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfCharSet, 128);
    EXPECT_EQ(lf.lfQuality, 2);
    EXPECT_EQ(lf.lfPitchAndFamily, 49);
    EXPECT_STREQ(lf.lfFaceName, FONT_MS_GOTHIC);
    DeleteObject(hFont);
}

TEST_F(TextSpriteTest, AnEmptyOutlinedTextIsThreeByThreeKey)
{
    IDirectDrawSurface7* lpSurface = CreateOutlinedTextSurface(g_lpD3DDevice, "", 0);
    ASSERT_NE(lpSurface, nullptr);
    const PICTURE pic = Read(lpSurface);
    EXPECT_EQ(pic.w, 3);
    EXPECT_EQ(pic.h, 3);
    EXPECT_EQ(Colours(pic), std::set<WORD>{kKey});
    lpSurface->Release();
}

TEST_F(TextSpriteTest, OutlinedTextIsWhiteRingedInRedOnTheKey)
{
    const char* pszText = "Zorva \x83\x65\x83\x4C\x83\x58\x83\x67";  // "Zorva テキスト"
    IDirectDrawSurface7* lpSurface =
        CreateOutlinedTextSurface(g_lpD3DDevice, pszText, static_cast<int>(std::strlen(pszText)));
    ASSERT_NE(lpSurface, nullptr);
    const PICTURE pic = Read(lpSurface);
    const SIZE ext = ExtentOf(pszText, -16, FONT_UI_GOTHIC);
    EXPECT_EQ(pic.w, ext.cx + 3);
    EXPECT_EQ(pic.h, ext.cy + 3);
    EXPECT_EQ(Colours(pic), (std::set<WORD>{kKey, kRed224, kWhite}));
    for (int y = 0; y < pic.h; y++) {
        for (int x = 0; x < pic.w; x++) {
            const WORD c = pic.At(x, y);
            bool bNearWhite = false;
            for (int dy = -1; dy <= 1; dy++) {
                for (int dx = -1; dx <= 1; dx++) {
                    const int nx = x + dx, ny = y + dy;
                    const bool bInside = nx >= 0 && ny >= 0 && nx < pic.w && ny < pic.h;
                    const WORD n = bInside ? pic.At(nx, ny) : kKey;
                    bNearWhite = bNearWhite || n == kWhite;
                    if (c == kWhite) {
                        EXPECT_NE(n, kKey) << "white at " << x << "," << y << " touches the key";
                    }
                }
            }
            if (c == kRed224) {
                EXPECT_TRUE(bNearWhite) << "red at " << x << "," << y << " is not part of a ring";
            }
        }
    }
    lpSurface->Release();
}

TEST_F(TextSpriteTest, ShadowTextIsTheCopiedRectangleInGreyAndColour)
{
    IDirectDrawSurface7* lpSurface =
        CreateShadowTextSurface(g_lpD3DDevice, "ABCD", 4, 15, 34, 30, RGB(255, 255, 255), 2);
    ASSERT_NE(lpSurface, nullptr);
    const PICTURE pic = Read(lpSurface);
    EXPECT_EQ(pic.w, 4 * 15 + 1);
    EXPECT_EQ(pic.h, 34 + 1);
    EXPECT_EQ(Colours(pic), (std::set<WORD>{kKey, kGrey7F, kWhite}));
    lpSurface->Release();
}

TEST_F(TextSpriteTest, ShadowTextWiderThanTheWorkSurfaceIsCutAtItsEdge)
{
    const std::string text(60, 'W');
    IDirectDrawSurface7* lpSurface =
        CreateShadowTextSurface(g_lpD3DDevice, text.c_str(), 60, 15, 60, 30, RGB(255, 255, 255), 2);
    ASSERT_NE(lpSurface, nullptr);
    const PICTURE pic = Read(lpSurface);
    EXPECT_EQ(pic.w, SHADOW_TEXT_WORK_WIDTH);
    EXPECT_EQ(pic.h, SHADOW_TEXT_WORK_HEIGHT);
    lpSurface->Release();
}

TEST_F(TextSpriteTest, ChunksNeverCutADoubleByteCharacter)
{
    // With chunks of 2 bytes the first chunk would end on the lead byte of あ.
    const char* pszText = "a\x82\xA0";
    IDirectDrawSurface7* lp2 = CreateShadowTextSurface(g_lpD3DDevice, pszText, 3, 8, 16, 16, RGB(255, 255, 255), 2);
    IDirectDrawSurface7* lp3 = CreateShadowTextSurface(g_lpD3DDevice, pszText, 3, 8, 16, 16, RGB(255, 255, 255), 3);
    ASSERT_NE(lp2, nullptr);
    ASSERT_NE(lp3, nullptr);
    EXPECT_EQ(Read(lp2).px, Read(lp3).px);
    lp2->Release();
    lp3->Release();
}

TEST_F(TextSpriteTest, WritersRestoreTheContext)
{
    IDirectDrawSurface7* lpSurface = CreateDevicePlaneSurface(g_lpD3DDevice, 64, 24, MEM_SYSTEM);
    ASSERT_NE(lpSurface, nullptr);
    FillSurfaceColor(lpSurface, 0.0f, 1.0f, 0.0f, nullptr);
    HDC hdc = nullptr;
    ASSERT_EQ(lpSurface->GetDC(&hdc), DD_OK);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(1, 2, 3));
    HFONT hFont = CreateTextFont(0, FONT_UI_GOTHIC, 14, 0);
    const SIZE size = DrawTextWithFont(hdc, 0, 0, "Ab", 2, hFont, RGB(0, 0, 255));
    EXPECT_EQ(size.cy, 14);
    EXPECT_GT(size.cx, 0);
    EXPECT_EQ(GetTextColor(hdc), RGB(1, 2, 3));
    EXPECT_EQ(DrawGothicText(hdc, 20, 0, "Ab", 2, 14), 1);
    // Both left the stock font selected: selecting another gives it back.
    HGDIOBJ hPrevious = SelectObject(hdc, hFont);
    EXPECT_EQ(hPrevious, GetStockObject(SYSTEM_FONT));
    SelectObject(hdc, hPrevious);
    DeleteObject(hFont);
    lpSurface->ReleaseDC(hdc);
    const std::set<WORD> colours = Colours(Read(lpSurface));
    EXPECT_TRUE(colours.count(0x001F));  // blue from DrawTextWithFont
    EXPECT_TRUE(colours.count(0x0000));  // RGB(1, 2, 3) truncates to black
    lpSurface->Release();
}

}  // namespace
