#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <sys/stat.h>

#include "engine/BigSurface.h"
#include "engine/Blender.h"
#include "engine/BmpIndex.h"
#include "engine/DSurface.h"
#include "engine/SurfaceUtil.h"
#include "support/DeviceFixture.h"

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

WORD PixelAt(IDirectDrawSurface7* lpSurface, int x, int y)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    if (lpSurface->Lock(nullptr, &ddsd, 0, nullptr) != DD_OK) {
        return 0xDEAD;
    }
    WORD w;
    std::memcpy(&w, (uint8_t*)ddsd.lpSurface + (size_t)y * ddsd.lPitch + (size_t)x * 2, 2);
    lpSurface->Unlock(nullptr);
    return w;
}

void SetPixel(IDirectDrawSurface7* lpSurface, int x, int y, WORD w)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ASSERT_EQ(lpSurface->Lock(nullptr, &ddsd, 0, nullptr), DD_OK);
    std::memcpy((uint8_t*)ddsd.lpSurface + (size_t)y * ddsd.lPitch + (size_t)x * 2, &w, 2);
    lpSurface->Unlock(nullptr);
}

void Fill(IDirectDrawSurface7* lpSurface, WORD w)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = w;
    lpSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
}

// A 24-bit bitmap file whose pixel (x, y) is fill(x, y) as 0xRRGGBB.
template <typename F> void WriteBmp(const char* pszPath, int w, int h, F fill)
{
    const uint32_t nRow = ((uint32_t)w * 3 + 3) & ~3u;
    std::vector<uint8_t> v(54 + nRow * h, 0);
    auto put32 = [&](size_t at, uint32_t x) {
        for (int i = 0; i < 4; i++) {
            v[at + i] = (uint8_t)(x >> (8 * i));
        }
    };
    v[0] = 'B';
    v[1] = 'M';
    put32(2, (uint32_t)v.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)w);
    put32(22, (uint32_t)h);
    v[26] = 1;
    v[28] = 24;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const uint32_t c = fill(x, y);
            uint8_t* p = &v[54 + (size_t)(h - 1 - y) * nRow + (size_t)x * 3];
            p[0] = (uint8_t)c;
            p[1] = (uint8_t)(c >> 8);
            p[2] = (uint8_t)(c >> 16);
        }
    }
    FILE* fp = fopen(pszPath, "wb");
    ASSERT_NE(fp, nullptr);
    fwrite(v.data(), 1, v.size(), fp);
    fclose(fp);
}

void WriteText(const char* pszPath, const char* pszText)
{
    FILE* fp = fopen(pszPath, "wb");
    ASSERT_NE(fp, nullptr);
    fputs(pszText, fp);
    fclose(fp);
}

class SurfaceTest : public CDeviceFixture {
protected:
    IDirectDrawSurface7* Plane(int w, int h)
    {
        return CreateDevicePlaneSurface(g_lpD3DDevice, w, h, MEM_SYSTEM);
    }
};

} // namespace

TEST(ClipBltRects, PartlyOffScreenDraws)
{
    RECT s, d;
    GetClippedBltRects(-10, 7, 50, 20, &s, &d);
    EXPECT_TRUE(SameRect(s, RECT{10, 0, 50, 20}));
    EXPECT_TRUE(SameRect(d, RECT{0, 7, 40, 27}));
    GetClippedBltRects(620, 7, 50, 20, &s, &d);
    EXPECT_TRUE(SameRect(s, RECT{0, 0, 20, 20}));
    EXPECT_TRUE(SameRect(d, RECT{620, 7, 640, 27}));
    GetClippedBltRects(5, -4, 10, 10, &s, &d);
    EXPECT_TRUE(SameRect(s, RECT{0, 4, 10, 10}));
    EXPECT_TRUE(SameRect(d, RECT{5, 0, 15, 6}));
    GetClippedBltRects(5, 475, 10, 10, &s, &d);
    EXPECT_TRUE(SameRect(s, RECT{0, 0, 10, 5}));
    EXPECT_TRUE(SameRect(d, RECT{5, 475, 15, 480}));
    GetClippedBltRects(700, 0, 50, 10, &s, &d);  // wholly right of the screen
    EXPECT_LT(d.right, d.left);
    GetClippedBltRects(1, 2, 3, 4, nullptr, nullptr);

    RECT n;
    const RECT in = {9, 8, 1, 2};
    NormalizeRect(&n, &in);
    EXPECT_TRUE(SameRect(n, RECT{1, 2, 9, 8}));
    NormalizeRect(&n, nullptr);
    EXPECT_TRUE(SameRect(n, RECT{0, 0, 1, 1}));
    EXPECT_EQ(CountBits(0), 0);
    EXPECT_EQ(CountBits(0x07E0), 6);
}

TEST(Blender, ChannelOperations)
{
    BYTE d = 20;
    BlendAdd(&d, 20, 31);
    EXPECT_EQ(d, 31);
    d = 10;
    BlendHalfAdd(&d, 31, 31);
    EXPECT_EQ(d, 25);
    d = 31;
    BlendStrong(&d, 0, 31);
    EXPECT_EQ(d, 6);  // 55 x 31 / 256
    d = 255;
    BlendStrong(&d, 0, 255);
    EXPECT_EQ(d, 54);
    d = 31;
    BlendMix(&d, 31, 31);
    EXPECT_EQ(d, 30);  // (140 + 115) x 31 / 256
    EXPECT_EQ(ReplicateWord16(0x12345), 0x2345234523452345ull);
}

TEST(Blender, PackedAddMatchesThePerPixelRule)
{
    std::mt19937 rng(7);
    for (int n = 0; n < 2000; n++) {
        uint16_t d[4], s[4];
        for (int i = 0; i < 4; i++) {
            d[i] = (uint16_t)rng();
            s[i] = (uint16_t)rng();
        }
        for (int bHalf = 0; bHalf < 2; bHalf++) {
            uint64_t qd, qs;
            std::memcpy(&qd, d, 8);
            std::memcpy(&qs, s, 8);
            const uint64_t q = PackedAdd565(qd, qs, bHalf != 0);
            for (int i = 0; i < 4; i++) {
                BYTE r = d[i] >> 11, g = (d[i] >> 5) & 63, b = d[i] & 31;
                PFNBLENDOP op = bHalf ? BlendHalfAdd : BlendAdd;
                op(&r, (BYTE)(s[i] >> 11), 31);
                op(&g, (BYTE)((s[i] >> 5) & 63), 63);
                op(&b, (BYTE)(s[i] & 31), 31);
                ASSERT_EQ((uint16_t)(q >> (16 * i)), (uint16_t)((r << 11) | (g << 5) | b));
            }
        }
    }
}

TEST_F(SurfaceTest, BlendBltExactValuesOnBothPaths)
{
    for (int nMode = 0; nMode < 2; nMode++) {
        SetBlendPackedPath(nMode);
        IDirectDrawSurface7* a = Plane(7, 3);
        IDirectDrawSurface7* b = Plane(7, 3);
        Fill(a, 0x07E0);            // pure green
        Fill(b, 0xF800 | 0x07E0);   // full yellow
        ASSERT_EQ(BlendBltHalfAdd(a, nullptr, b, nullptr), 1);
        EXPECT_EQ(PixelAt(a, 6, 2), 0x7FE0);  // red 15, green 63, blue 0
        Fill(b, 0xFFFF);
        Fill(a, 0x1234);
        ASSERT_EQ(BlendBltAdd(a, nullptr, b, nullptr), 1);
        EXPECT_EQ(PixelAt(a, 3, 1), 0xFFFF);
        Fill(a, 0xFFFF);
        Fill(b, 0x0000);
        ASSERT_EQ(BlendBltStrong(a, nullptr, b, nullptr), 1);
        EXPECT_EQ(PixelAt(a, 0, 0), (6 << 11) | (13 << 5) | 6);
        // A keyed source leaves its key pixels out.
        Fill(a, 0x001F);
        Fill(b, 0x07E0);
        SetPixel(b, 2, 1, 0xF800);
        SetColorKeyGreen(b);
        ASSERT_EQ(BlendBltAdd(a, nullptr, b, nullptr), 1);
        EXPECT_EQ(PixelAt(a, 0, 0), 0x001F);
        EXPECT_EQ(PixelAt(a, 2, 1), 0xF81F);
        // Rectangles off the surface are refused.
        RECT bad = {5, 0, 9, 3};
        EXPECT_EQ(BlendBltAdd(a, &bad, b, nullptr), 0);
        a->Release();
        b->Release();
    }
    SetBlendPackedPath(-1);
}

TEST_F(SurfaceTest, FillsAndBrightness)
{
    IDirectDrawSurface7* s = Plane(4, 4);
    ASSERT_EQ(FillSurfaceColor(s, 1, 1, 1, nullptr), 1);
    EXPECT_EQ(PixelAt(s, 3, 3), 0xFFFF);
    RECT rc = {1, 1, 2, 2};
    ASSERT_EQ(FillSurfaceColor(s, 0, 1, 0, &rc), 1);
    EXPECT_EQ(PixelAt(s, 1, 1), 0x07E0);
    EXPECT_EQ(PixelAt(s, 0, 0), 0xFFFF);
    ScaleSurfaceBrightness(s, 1.0f);
    EXPECT_EQ(PixelAt(s, 0, 0), 0xFFFF);
    ScaleSurfaceBrightness(s, 0.5f);
    EXPECT_EQ(PixelAt(s, 0, 0), (15 << 11) | (31 << 5) | 15);
    SetPixel(s, 2, 2, (20 << 11) | (40 << 5) | 3);
    ScaleSurfaceBrightness(s, 2.0f);  // clamped per channel, no carry into the neighbour
    EXPECT_EQ(PixelAt(s, 2, 2), (31 << 11) | (63 << 5) | 6);
    // A bright channel times a large factor stays at its maximum instead of wrapping past 255
    // (31 x 9 = 279 would come back as 23).
    SetPixel(s, 3, 3, (31 << 11) | (30 << 5) | 1);
    ScaleSurfaceBrightness(s, 9.0f);
    EXPECT_EQ(PixelAt(s, 3, 3), (31 << 11) | (63 << 5) | 9);
    s->Release();
}

TEST_F(SurfaceTest, FlashCopyTurnsTheKeyIntoTheFlashKey)
{
    IDirectDrawSurface7* s = Plane(3, 2);
    Fill(s, 0x07E0);
    SetPixel(s, 1, 0, 0x001F);
    IDirectDrawSurface7* f = CreateBlendedCopy(g_lpD3DDevice, s);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(PixelAt(f, 0, 0), 0x7FE0);
    EXPECT_EQ(PixelAt(f, 1, 0), (15 << 11) | (31 << 5) | 31);
    DDCOLORKEY ck = {};
    ASSERT_EQ(f->GetColorKey(DDCKEY_SRCBLT, &ck), DD_OK);
    EXPECT_EQ(ck.dwColorSpaceLowValue, 0x7FE0u);
    IDirectDrawSurface7* r = CreateBlendedCopyRed(g_lpD3DDevice, s);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(PixelAt(r, 0, 0), (15 << 11) | 0x07E0);
    r->Release();
    f->Release();
    s->Release();
}

TEST_F(SurfaceTest, SlantedBlitLeansLeft)
{
    IDirectDrawSurface7* src = Plane(6, 3);
    Fill(src, 0xFFFF);
    SetColorKeyGreen(src);
    Fill(g_lpDDSBack, 0);
    ASSERT_EQ(BltSlanted(g_lpDDSBack, 10, 20, src, 6, 3), 1);
    // Row 0 starts two pixels right, row 2 at x; each row is width - height + 1 = 4 pixels.
    EXPECT_EQ(PixelAt(g_lpDDSBack, 11, 20), 0);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 12, 20), 0xFFFF);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 15, 20), 0xFFFF);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 16, 20), 0);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 10, 22), 0xFFFF);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 14, 22), 0);
    EXPECT_EQ(BltSlanted(g_lpDDSBack, 0, 0, src, 0, 3), 1);
    src->Release();
}

TEST_F(SurfaceTest, MirroredAndFlashImages)
{
    IDirectDrawSurface7* src = Plane(4, 2);
    Fill(src, 0x07E0);
    SetPixel(src, 0, 0, 0xF800);
    CDSurfaceEx ex;
    ASSERT_EQ(ex.Create(g_lpD3DDevice, src, nullptr, MEM_VIDEO), 1);
    for (int k : {0, 1, 16, 17}) {
        EXPECT_NE(ex.GetImage(k), nullptr) << k;
    }
    EXPECT_EQ(ex.GetImage(2), nullptr);
    EXPECT_EQ(ex.GetImage(18), nullptr);
    EXPECT_EQ(PixelAt(ex.GetImage(1), 3, 0), 0xF800);
    EXPECT_EQ(PixelAt(ex.GetImage(1), 0, 0), 0x07E0);
    EXPECT_EQ(PixelAt(ex.GetImage(17), 1, 1), 0x7FE0);
    int w = 0, h = 0;
    ex.GetSize(&w, &h);
    EXPECT_EQ(w, 4);
    ex.Release();
    ex.GetSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(ex.GetImage(0), nullptr);
    EXPECT_EQ(ex.Create(g_lpD3DDevice, nullptr, nullptr, MEM_VIDEO), 0);
    src->Release();
}

TEST_F(SurfaceTest, BigSurfaceTilesAndDrawsHalfOffScreen)
{
    IDirectDrawSurface7* src = Plane(600, 300);
    Fill(src, 0x001F);
    SetPixel(src, 599, 299, 0xF800);
    CBigSurface big;
    ASSERT_EQ(big.Create(g_lpD3DDevice, src, nullptr, MEM_VIDEO), 1);
    EXPECT_EQ(big.GetColumns(), 3);
    EXPECT_EQ(big.GetRows(), 2);
    const int widths[6] = {256, 256, 88, 256, 256, 88};
    const int heights[6] = {256, 256, 256, 44, 44, 44};
    ASSERT_EQ(big.GetTiles().size(), 6u);
    for (int i = 0; i < 6; i++) {
        int w = 0, h = 0;
        big.GetTiles()[i]->GetSize(&w, &h);
        EXPECT_EQ(w, widths[i]);
        EXPECT_EQ(h, heights[i]);
    }
    Fill(g_lpDDSBack, 0);
    EXPECT_EQ(big.Draw(g_lpDDSBack, -300, 100, 0, DDBLT_WAIT, 0), 1);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 0, 100), 0x001F);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 299, 399), 0xF800);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 300, 100), 0);

    RECT rc = {0, 0, 257, 10};
    ASSERT_EQ(big.Create(g_lpD3DDevice, src, &rc, MEM_VIDEO), 1);
    ASSERT_EQ(big.GetTiles().size(), 2u);
    int w = 0;
    big.GetTiles()[1]->GetSize(&w, nullptr);
    EXPECT_EQ(w, 1);
    RECT one = {0, 0, 256, 256};
    ASSERT_EQ(big.Create(g_lpD3DDevice, src, &one, MEM_VIDEO), 1);
    EXPECT_EQ(big.GetTiles().size(), 1u);
    src->Release();
}

TEST_F(SurfaceTest, RegionsOffTheSheetMakeNothing)
{
    mkdir("GameData", 0755);
    WriteBmp("GameData/Small.bmp", 8, 8, [](int, int) { return 0xFF0000u; });
    WriteText("GameData/SmallIndex.txt",
              "#INDEX_FOR Small.bmp\r\n#IMG_RGN inside = 0:0:7:7\r\n#IMG_RGN far = 0:0:9999:9999\r\n"
              "#IMG_RGN edge = 2147483000:0:2147483646:3\r\n");
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, ".\\GameData\\", "SmallIndex.txt"), 1);
    IDirectDrawSurface7* inside = index.CreateSurfaceByDevice(g_lpD3DDevice, "inside", nullptr, MEM_SYSTEM);
    ASSERT_NE(inside, nullptr);
    inside->Release();
    EXPECT_EQ(index.CreateSurfaceByDevice(g_lpD3DDevice, "far", nullptr, MEM_SYSTEM), nullptr);
    // A sub-rectangle moved by a corner near the top of the int range must not overflow.
    RECT sub = {0, 0, 1000, 2};
    EXPECT_EQ(index.CreateSurfaceByDevice(g_lpD3DDevice, "edge", &sub, MEM_SYSTEM), nullptr);
    EXPECT_EQ(index.BltRegion(g_lpDDSBack, nullptr, "edge", &sub, DDBLT_WAIT, nullptr), 0);
    index.Clear();
    remove("GameData/Small.bmp");
    remove("GameData/SmallIndex.txt");
    rmdir("GameData");
}

TEST_F(SurfaceTest, SystemIndexesLoadTogetherOrNotAtAll)
{
    mkdir("GameData", 0755);
    mkdir("GameData/System", 0755);
    WriteBmp("GameData/System/Sheet.bmp", 16, 8, [](int x, int) { return x < 8 ? 0x00FF00u : 0xFF0000u; });
    WriteText("GameData/System/SystemIndex.txt", "#INDEX_FOR Sheet.bmp\r\n#IMG_RGN Red = 8:0:15:7\r\n");
    WriteText("GameData/System/CockpitIndex.txt", "#INDEX_FOR Sheet.bmp\r\n#IMG_RGN Green = 0:0:7:7\r\n");
    CBmpIndexSet::GetInstance().Clear();
    EXPECT_EQ(LoadSystemIndexes(g_lpD3DDevice), 0);  // BossIndex.txt is missing
    EXPECT_EQ(CBmpIndexSet::GetInstance().Count(), 0u);

    WriteText("GameData/System/BossIndex.txt", "#INDEX_FOR Missing.bmp\r\n#IMG_RGN Any = 0:0:1:1\r\n");
    EXPECT_EQ(LoadSystemIndexes(g_lpD3DDevice), 0);  // its sheet is missing
    EXPECT_TRUE(GetBossIndex().HasRegion("any"));
    EXPECT_EQ(GetBossIndex().CreateSurfaceByDevice(g_lpD3DDevice, "Any", nullptr, MEM_SYSTEM), nullptr);

    WriteText("GameData/System/BossIndex.txt", "#INDEX_FOR Sheet.bmp\r\n");
    ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
    EXPECT_EQ(CBmpIndexSet::GetInstance().Count(), 3u);
    IDirectDrawSurface7* red = LoadIndexSurface(g_lpD3DDevice, IMGKEY{"SystemIndex.txt", "RED"}, MEM_VIDEO);
    ASSERT_NE(red, nullptr);
    int w = 0, h = 0;
    GetSurfaceSize(red, &w, &h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
    EXPECT_EQ(PixelAt(red, 0, 0), 0xF800);
    red->Release();
    RECT sub = {2, 2, 10, 10};
    IDirectDrawSurface7* part = LoadIndexSurfaceEx(g_lpD3DDevice, IMGKEY{"CockpitIndex.txt", "green"}, &sub, 1);
    ASSERT_NE(part, nullptr);
    GetSurfaceSize(part, &w, &h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(PixelAt(part, 0, 0), 0x07E0);
    part->Release();
    EXPECT_EQ(LoadIndexSurface(g_lpD3DDevice, IMGKEY{"Other.txt", "green"}, 1), nullptr);
    EXPECT_EQ(LoadIndexSurface(g_lpD3DDevice, IMGKEY{"CockpitIndex.txt", "nothing"}, 1), nullptr);

    CDSurface pic;
    ASSERT_EQ(pic.LoadFromIndex(g_lpD3DDevice, IMGKEY{"SystemIndex.txt", "Red"}, nullptr, MEM_VIDEO), 1);
    pic.SetColorKeyGreen();
    Fill(g_lpDDSBack, 0);
    RECT rcDest = {0, 0, 8, 8};
    EXPECT_EQ(pic.BltTo(g_lpDDSBack, &rcDest, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), 1);
    EXPECT_EQ(PixelAt(g_lpDDSBack, 7, 7), 0xF800);

    ReleaseSystemIndexes();
    for (const char* f : {"Sheet.bmp", "SystemIndex.txt", "CockpitIndex.txt", "BossIndex.txt"}) {
        remove((std::string("GameData/System/") + f).c_str());
    }
    rmdir("GameData/System");
    rmdir("GameData");
}
