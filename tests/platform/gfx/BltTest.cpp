// DirectDraw surfaces: creation, blits (fill, key, stretch, clip, mirror), locks, keys, counting.
#include "GfxFixture.h"

#include "platform/ddraw/BltCore.h"

namespace {

class BltTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        void* pv = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &pv, IID_IDirectDraw7, nullptr), DD_OK);
        m_pDD = static_cast<IDirectDraw7*>(pv);
    }
    void TearDown() override { EXPECT_EQ(m_pDD->Release(), 0u); }

    // A surface whose pixel (x, y) holds x + 16 * y + 1 (never 0, never the key 0x07E0 for small sizes).
    IDirectDrawSurface7* Numbered(int w, int h)
    {
        IDirectDrawSurface7* p = MakeSurface(m_pDD, w, h);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                Row16(p, y)[x] = (uint16_t)(x + 16 * y + 1);
            }
        }
        return p;
    }

    IDirectDraw7* m_pDD = nullptr;
};

TEST_F(BltTest, SurfaceDescriptionIsRgb565WithPitch)
{
    IDirectDrawSurface7* p = MakeSurface(m_pDD, 33, 7);
    ASSERT_NE(p, nullptr);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(p->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 33u);
    EXPECT_EQ(desc.dwHeight, 7u);
    EXPECT_GE(desc.lPitch, 66);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, 0x001Fu);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    p->Release();
}

TEST_F(BltTest, CreationRefusesBadDescriptions)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface7* p = nullptr;
    desc.dwWidth = 0;
    desc.dwHeight = 10;
    EXPECT_EQ(m_pDD->CreateSurface(&desc, &p, nullptr), DDERR_INVALIDPARAMS);
    desc.dwWidth = 100000;
    EXPECT_EQ(m_pDD->CreateSurface(&desc, &p, nullptr), DDERR_TOOBIGSIZE);
    EXPECT_EQ(p, nullptr);
    // Plane probe of the frame: every size up to 256 succeeds.
    for (int n : {64, 128, 256}) {
        IDirectDrawSurface7* q = MakeSurface(m_pDD, n, n);
        ASSERT_NE(q, nullptr);
        q->Release();
    }
}

TEST_F(BltTest, OnePrimaryAtATimeSizedByTheMode)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7* p = nullptr;
    ASSERT_EQ(m_pDD->CreateSurface(&desc, &p, nullptr), DD_OK);
    DDSURFACEDESC2 got = {};
    got.dwSize = sizeof(got);
    p->GetSurfaceDesc(&got);
    EXPECT_EQ(got.dwWidth, 640u);
    EXPECT_EQ(got.dwHeight, 480u);
    IDirectDrawSurface7* q = nullptr;
    EXPECT_EQ(m_pDD->CreateSurface(&desc, &q, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    p->Release();
    EXPECT_EQ(m_pDD->CreateSurface(&desc, &q, nullptr), DD_OK);
    q->Release();
}

TEST_F(BltTest, ColorFillWritesRawValueClippedToSurface)
{
    IDirectDrawSurface7* p = MakeSurface(m_pDD, 8, 8);
    FillAll(p, 0);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0xF81F;
    RECT rc = {6, -3, 20, 2};
    ASSERT_EQ(p->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(Pixel(p, 6, 0), 0xF81F);
    EXPECT_EQ(Pixel(p, 7, 1), 0xF81F);
    EXPECT_EQ(Pixel(p, 5, 0), 0);
    EXPECT_EQ(Pixel(p, 6, 2), 0);
    p->Release();
}

TEST_F(BltTest, KeyedBlitNeverWritesTheKey)
{
    IDirectDrawSurface7* pSrc = MakeSurface(m_pDD, 4, 1);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 4, 1);
    const uint16_t src[4] = {0x07E0, 0x1234, 0x07E0, 0x07E1};
    std::memcpy(Row16(pSrc, 0), src, sizeof(src));
    FillAll(pDst, 0xAAAA);
    DDCOLORKEY ck = {0x07E0, 0x07E0};
    ASSERT_EQ(pSrc->SetColorKey(DDCKEY_SRCBLT, &ck), DD_OK);
    ASSERT_EQ(pDst->Blt(nullptr, pSrc, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    EXPECT_EQ(Pixel(pDst, 0, 0), 0xAAAA);
    EXPECT_EQ(Pixel(pDst, 1, 0), 0x1234);
    EXPECT_EQ(Pixel(pDst, 2, 0), 0xAAAA);
    EXPECT_EQ(Pixel(pDst, 3, 0), 0x07E1);
    // Without the flag the key is copied like any colour.
    ASSERT_EQ(pDst->Blt(nullptr, pSrc, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(pDst, 0, 0), 0x07E0);
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, KeyedRowCopyMatchesPixelRuleAtEveryLength)
{
    for (int n = 0; n < 40; n++) {
        std::vector<uint16_t> src(n), dst(n, 0x5555), want(n, 0x5555);
        for (int i = 0; i < n; i++) {
            src[i] = (i % 3 == 0) ? 0x07E0 : (uint16_t)(i * 977);
            if (src[i] != 0x07E0) {
                want[i] = src[i];
            }
        }
        CopyRowKeyed16(dst.data(), src.data(), n, 0x07E0);
        EXPECT_EQ(dst, want) << "length " << n;
    }
}

TEST_F(BltTest, KeyedBlitWithoutKeySetFails)
{
    IDirectDrawSurface7* pSrc = MakeSurface(m_pDD, 4, 4);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 4, 4);
    EXPECT_EQ(pDst->Blt(nullptr, pSrc, nullptr, DDBLT_KEYSRC, nullptr), DDERR_NOCOLORKEY);
    DDCOLORKEY ck = {};
    EXPECT_EQ(pSrc->GetColorKey(DDCKEY_SRCBLT, &ck), DDERR_NOCOLORKEY);
    ck = {0x07E0, 0x0000};
    pSrc->SetColorKey(DDCKEY_SRCBLT, &ck);
    DDCOLORKEY got = {};
    ASSERT_EQ(pSrc->GetColorKey(DDCKEY_SRCBLT, &got), DD_OK);
    EXPECT_EQ(got.dwColorSpaceLowValue, 0x07E0u);
    EXPECT_EQ(got.dwColorSpaceHighValue, 0x07E0u);  // one colour unless a colour space is asked for
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, BadRectanglesFailAndTouchNothing)
{
    IDirectDrawSurface7* pSrc = Numbered(8, 8);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 8, 8);
    FillAll(pDst, 0x1111);
    RECT inverted = {5, 0, 4, 4};
    RECT empty = {2, 2, 2, 6};
    RECT outside = {4, 4, 9, 8};
    RECT negative = {-1, 0, 3, 3};
    RECT ok = {0, 0, 4, 4};
    EXPECT_EQ(pDst->Blt(&inverted, pSrc, &ok, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(pDst->Blt(&empty, pSrc, &ok, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(pDst->Blt(&ok, pSrc, &inverted, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(pDst->Blt(&ok, pSrc, &outside, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(pDst->Blt(&ok, pSrc, &negative, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    EXPECT_EQ(pDst->Blt(&inverted, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) {
            ASSERT_EQ(Pixel(pDst, x, y), 0x1111);
        }
    }
    pSrc->Release();
    pDst->Release();
}

// Destination rectangles hanging over each edge keep the part on the surface, with the source cut
// by the same amount; mirrored up and down too, where the rows are taken from the bottom up.
TEST_F(BltTest, DestinationClippedAtEveryEdgeWithSourceInProportion)
{
    IDirectDrawSurface7* pSrc = Numbered(8, 8);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 10, 10);
    struct CASE {
        RECT rcDst;
        int nDx, nDy;  // destination pixel that must hold source (0, 0) offset
    };
    const CASE cases[] = {
        {{-3, 2, 5, 10}, -3, 2},  // left
        {{6, 1, 14, 9}, 6, 1},    // right
        {{1, -5, 9, 3}, 1, -5},   // top
        {{0, 7, 8, 15}, 0, 7},    // bottom
    };
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwDDFX = DDBLTFX_MIRRORUPDOWN;
    for (bool bMirror : {false, true}) {
        for (const CASE& c : cases) {
            FillAll(pDst, 0);
            RECT rcDst = c.rcDst;
            const DWORD dwFlags = DDBLT_WAIT | (bMirror ? DDBLT_DDFX : 0);
            ASSERT_EQ(pDst->Blt(&rcDst, pSrc, nullptr, dwFlags, bMirror ? &fx : nullptr), DD_OK);
            for (int y = 0; y < 10; y++) {
                for (int x = 0; x < 10; x++) {
                    const int sx = x - c.nDx, sy = y - c.nDy;
                    const bool bIn = sx >= 0 && sx < 8 && sy >= 0 && sy < 8;
                    const int nRow = bMirror ? 7 - sy : sy;
                    ASSERT_EQ(Pixel(pDst, x, y), bIn ? (uint16_t)(sx + 16 * nRow + 1) : 0)
                        << x << "," << y << (bMirror ? " mirrored" : "");
                }
            }
        }
    }
    // Wholly outside: nothing drawn, no failure.
    RECT away = {20, 20, 28, 28};
    FillAll(pDst, 0);
    EXPECT_EQ(pDst->Blt(&away, pSrc, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(pDst, 9, 9), 0);
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, StretchSamplesSourceUnderPixelCentre)
{
    EXPECT_EQ(StretchIndex(0, 4, 8), 0);
    EXPECT_EQ(StretchIndex(1, 4, 8), 0);
    EXPECT_EQ(StretchIndex(2, 4, 8), 1);
    EXPECT_EQ(StretchIndex(7, 4, 8), 3);
    EXPECT_EQ(StretchIndex(0, 8, 4), 1);  // shrinking by 2 takes the odd pixels
    EXPECT_EQ(StretchIndex(3, 8, 4), 7);
    EXPECT_EQ(StretchIndex(2, 3, 3), 2);  // same size is a straight copy

    IDirectDrawSurface7* pSrc = Numbered(2, 2);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 6, 4);
    FillAll(pDst, 0);
    RECT rcDst = {0, 0, 6, 4};
    ASSERT_EQ(pDst->Blt(&rcDst, pSrc, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    const uint16_t want[4][6] = {{1, 1, 1, 2, 2, 2}, {1, 1, 1, 2, 2, 2}, {17, 17, 17, 18, 18, 18}, {17, 17, 17, 18, 18, 18}};
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 6; x++) {
            EXPECT_EQ(Pixel(pDst, x, y), want[y][x]) << x << "," << y;
        }
    }
    // A clipped stretch keeps the same mapping for the pixels that remain.
    FillAll(pDst, 0);
    RECT rcOver = {-3, 0, 3, 4};
    ASSERT_EQ(pDst->Blt(&rcOver, pSrc, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(pDst, 0, 0), 2);
    EXPECT_EQ(Pixel(pDst, 2, 3), 18);
    EXPECT_EQ(Pixel(pDst, 3, 0), 0);
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, WideStretchMirroredKeyedAndClippedFollowsThePixelRule)
{
    // Wider than one batch of source columns, clipped on the left, mirrored, with a key.
    IDirectDrawSurface7* pSrc = Numbered(300, 3);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 640, 5);
    FillAll(pDst, 0xFFFF);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    fx.ddckSrcColorkey = DDCOLORKEY{20, 20};
    RECT rcDst = {-20, 0, 680, 5};
    ASSERT_EQ(pDst->Blt(&rcDst, pSrc, nullptr, DDBLT_WAIT | DDBLT_DDFX | DDBLT_KEYSRCOVERRIDE, &fx), DD_OK);
    for (int y = 0; y < 5; y++) {
        const int sy = StretchIndex(y, 3, 5);
        for (int x = 0; x < 640; x++) {
            const int sx = 299 - StretchIndex(x + 20, 300, 700);
            const uint16_t v = (uint16_t)(sx + 16 * sy + 1);
            ASSERT_EQ(Pixel(pDst, x, y), v == 20 ? 0xFFFF : v) << x << "," << y;
        }
    }
    pSrc->Release();
    pDst->Release();
}

// Stretched or shrunk only up and down (the counter's rolling digits), keyed or not, upside down or
// not, cut at the top and the bottom: the pixel rule.
TEST_F(BltTest, BlitsStretchedOnlyUpAndDownFollowThePixelRule)
{
    IDirectDrawSurface7* pSrc = Numbered(12, 9);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 12, 16);
    for (int nKeyed = 0; nKeyed < 2; nKeyed++) {
        for (int nUD = 0; nUD < 2; nUD++) {
            for (int h = 1; h <= 24; h++) {
                for (int y0 = -4; y0 <= 8; y0 += 4) {
                    FillAll(pDst, 0xFFFF);
                    DDBLTFX fx = {};
                    fx.dwSize = sizeof(fx);
                    fx.dwDDFX = nUD ? DDBLTFX_MIRRORUPDOWN : 0;
                    fx.ddckSrcColorkey = DDCOLORKEY{20, 20};
                    RECT rcDst = {0, y0, 12, y0 + h};
                    const DWORD dwFlags = DDBLT_WAIT | DDBLT_DDFX | (nKeyed ? DDBLT_KEYSRCOVERRIDE : 0);
                    ASSERT_EQ(pDst->Blt(&rcDst, pSrc, nullptr, dwFlags, &fx), DD_OK);
                    for (int y = 0; y < 16; y++) {
                        for (int x = 0; x < 12; x++) {
                            uint16_t want = 0xFFFF;
                            if (y >= y0 && y < y0 + h) {
                                const int sy = StretchIndex(y - y0, 9, h);
                                const uint16_t v = (uint16_t)(x + 16 * (nUD ? 8 - sy : sy) + 1);
                                want = nKeyed && v == 20 ? 0xFFFF : v;
                            }
                            ASSERT_EQ(Pixel(pDst, x, y), want) << "height " << h << " at " << y0 << (nKeyed ? " keyed" : "")
                                                                << (nUD ? " upside down" : "") << ": " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, MirrorLeftRightReversesColumns)
{
    IDirectDrawSurface7* pSrc = Numbered(5, 2);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 5, 2);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    ASSERT_EQ(pDst->Blt(nullptr, pSrc, nullptr, DDBLT_WAIT | DDBLT_DDFX, &fx), DD_OK);
    for (int x = 0; x < 5; x++) {
        EXPECT_EQ(Pixel(pDst, x, 0), (uint16_t)(4 - x + 1));
        EXPECT_EQ(Pixel(pDst, x, 1), (uint16_t)(4 - x + 17));
    }
    pSrc->Release();
    pDst->Release();
}

// Mirrored at one scale, every width around the eight pixels done at once, clipped on either side,
// without a key, with one key and with a range of keys, upside down or not: the pixel rule.
TEST_F(BltTest, MirroredBlitsAtOneScaleFollowThePixelRule)
{
    IDirectDrawSurface7* pSrc = Numbered(40, 3);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 48, 5);
    for (int nKeys = 0; nKeys < 3; nKeys++) {
        for (int nUD = 0; nUD < 2; nUD++) {
            for (int w = 1; w <= 40; w++) {
                for (int x = -5; x <= 48 - w + 5; x += 3) {
                    FillAll(pDst, 0xFFFF);
                    DDBLTFX fx = {};
                    fx.dwSize = sizeof(fx);
                    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT | (nUD ? DDBLTFX_MIRRORUPDOWN : 0);
                    // Keys among the numbers of the pixels: 20 alone, or 20 to 23.
                    fx.ddckSrcColorkey = DDCOLORKEY{20, nKeys == 2 ? 23u : 20u};
                    RECT rcSrc = {0, 0, w, 3}, rcDst = {x, 1, x + w, 4};
                    const DWORD dwFlags = DDBLT_WAIT | DDBLT_DDFX | (nKeys ? DDBLT_KEYSRCOVERRIDE : 0);
                    ASSERT_EQ(pDst->Blt(&rcDst, pSrc, &rcSrc, dwFlags, &fx), DD_OK);
                    for (int y = 0; y < 5; y++) {
                        for (int px = 0; px < 48; px++) {
                            uint16_t want = 0xFFFF;
                            if (y >= 1 && y < 4 && px >= x && px < x + w) {
                                const int sx = w - 1 - (px - x), sy = nUD ? 3 - y : y - 1;
                                const uint16_t v = (uint16_t)(sx + 16 * sy + 1);
                                const bool bKey = nKeys && v >= 20 && v <= (nKeys == 2 ? 23 : 20);
                                want = bKey ? 0xFFFF : v;
                            }
                            ASSERT_EQ(Pixel(pDst, px, y), want) << "keys " << nKeys << " w " << w << " at " << x << ": "
                                                                << px << "," << y;
                        }
                    }
                }
            }
        }
    }
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, BlitWithinOneSurfaceReadsTheOldPixels)
{
    IDirectDrawSurface7* p = Numbered(6, 1);
    RECT rcSrc = {0, 0, 4, 1};
    RECT rcDst = {2, 0, 6, 1};
    ASSERT_EQ(p->Blt(&rcDst, p, &rcSrc, DDBLT_WAIT, nullptr), DD_OK);
    const uint16_t want[6] = {1, 2, 1, 2, 3, 4};
    for (int x = 0; x < 6; x++) {
        EXPECT_EQ(Pixel(p, x, 0), want[x]);
    }
    p->Release();
}

TEST_F(BltTest, BltFastNeverClips)
{
    IDirectDrawSurface7* pSrc = Numbered(4, 4);
    IDirectDrawSurface7* pDst = MakeSurface(m_pDD, 8, 8);
    FillAll(pDst, 0);
    EXPECT_EQ(pDst->BltFast(6, 0, pSrc, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(Pixel(pDst, 6, 0), 0);
    ASSERT_EQ(pDst->BltFast(4, 4, pSrc, nullptr, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(Pixel(pDst, 4, 4), 1);
    EXPECT_EQ(Pixel(pDst, 7, 7), 3 + 48 + 1);
    pSrc->Release();
    pDst->Release();
}

TEST_F(BltTest, LockGivesPixelsAndUnlockIsCounted)
{
    IDirectDrawSurface7* p = MakeSurface(m_pDD, 4, 4);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    RECT rc = {1, 2, 3, 4};
    ASSERT_EQ(p->Lock(&rc, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    static_cast<uint16_t*>(desc.lpSurface)[0] = 0xBEEF;
    ASSERT_EQ(p->Unlock(&rc), DD_OK);
    EXPECT_EQ(p->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_EQ(Pixel(p, 1, 2), 0xBEEF);
    RECT bad = {0, 0, 5, 1};
    EXPECT_EQ(p->Lock(&bad, &desc, 0, nullptr), DDERR_INVALIDRECT);
    p->Release();
}

TEST_F(BltTest, DeviceContextRecordNamesTheSurfacePixels)
{
    IDirectDrawSurface7* p = MakeSurface(m_pDD, 3, 3);
    HDC hDC = nullptr;
    ASSERT_EQ(p->GetDC(&hDC), DD_OK);
    HDC hSecond = nullptr;
    EXPECT_EQ(p->GetDC(&hSecond), DDERR_DCALREADYCREATED);
    DDSURFACEDC* pDC = DDGetSurfaceDC(hDC);
    ASSERT_NE(pDC, nullptr);
    EXPECT_EQ(pDC->lpSurface, p);
    EXPECT_EQ(pDC->dwWidth, 3u);
    EXPECT_EQ(pDC->ddpf.dwGBitMask, 0x07E0u);
    static_cast<uint16_t*>(pDC->lpBits)[1] = 0x0F0F;
    EXPECT_EQ(p->ReleaseDC(hDC), DD_OK);
    EXPECT_EQ(p->ReleaseDC(hDC), DDERR_NODC);
    EXPECT_EQ(Pixel(p, 1, 0), 0x0F0F);
    int nNotADC = 0;
    EXPECT_EQ(DDGetSurfaceDC(reinterpret_cast<HDC>(&nNotADC)), nullptr);
    p->Release();
}

TEST_F(BltTest, ReferencesKeepObjectsUntilTheLastRelease)
{
    IDirectDrawSurface7* p = MakeSurface(m_pDD, 2, 2);
    EXPECT_EQ(p->AddRef(), 2u);
    void* pv = nullptr;
    ASSERT_EQ(p->GetDDInterface(&pv), DD_OK);
    EXPECT_EQ(static_cast<IDirectDraw7*>(pv), m_pDD);
    static_cast<IDirectDraw7*>(pv)->Release();
    IDirectDrawClipper* pClip = nullptr;
    ASSERT_EQ(m_pDD->CreateClipper(0, &pClip, nullptr), DD_OK);
    ASSERT_EQ(p->SetClipper(pClip), DD_OK);
    EXPECT_EQ(pClip->Release(), 1u);  // the surface holds it
    EXPECT_EQ(p->Release(), 1u);
    EXPECT_EQ(p->Release(), 0u);  // frees the surface and its clipper; the fixture checks DirectDraw
}

TEST_F(BltTest, ZBufferAttachesOnceAndIsFoundByCaps)
{
    IDirectDrawSurface7* pBack = MakeSurface(m_pDD, 16, 16, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    DDPIXELFORMAT zf = {};
    zf.dwSize = sizeof(zf);
    zf.dwFlags = DDPF_ZBUFFER;
    zf.dwZBufferBitDepth = 16;
    zf.dwZBitMask = 0xFFFF;
    IDirectDrawSurface7* pZ = MakeSurface(m_pDD, 16, 16, DDSCAPS_ZBUFFER, &zf);
    IDirectDrawSurface7* pSmallZ = MakeSurface(m_pDD, 8, 8, DDSCAPS_ZBUFFER, &zf);
    ASSERT_NE(pZ, nullptr);
    EXPECT_EQ(pBack->AddAttachedSurface(pSmallZ), DDERR_CANNOTATTACHSURFACE);
    ASSERT_EQ(pBack->AddAttachedSurface(pZ), DD_OK);
    EXPECT_EQ(pBack->AddAttachedSurface(pZ), DDERR_SURFACEALREADYATTACHED);
    DDSCAPS2 caps = {DDSCAPS_ZBUFFER, 0, 0, 0};
    IDirectDrawSurface7* pFound = nullptr;
    ASSERT_EQ(pBack->GetAttachedSurface(&caps, &pFound), DD_OK);
    EXPECT_EQ(pFound, pZ);
    pFound->Release();
    EXPECT_EQ(pZ->Release(), 1u);  // still attached
    pSmallZ->Release();
    pBack->Release();
}

TEST_F(BltTest, CapsAndIdentityAreFixed)
{
    DDCAPS hal = {}, hel = {};
    hal.dwSize = hel.dwSize = sizeof(DDCAPS);
    ASSERT_EQ(m_pDD->GetCaps(&hal, &hel), DD_OK);
    EXPECT_FALSE(hal.dwCaps & DDCAPS_3D);
    EXPECT_TRUE(hel.dwCaps & DDCAPS_BLTSTRETCH);
    EXPECT_EQ(hal.dwVidMemFree, 32u * 1024 * 1024);
    DWORD dwTotal = 0, dwFree = 0;
    DDSCAPS2 caps = {DDSCAPS_VIDEOMEMORY, 0, 0, 0};
    m_pDD->GetAvailableVidMem(&caps, &dwTotal, &dwFree);
    EXPECT_EQ(dwFree, hal.dwVidMemFree);
    EXPECT_EQ(m_pDD->TestCooperativeLevel(), DD_OK);
    EXPECT_EQ(m_pDD->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(m_pDD->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT), DD_OK);
    EXPECT_EQ(m_pDD->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    EXPECT_EQ(m_pDD->SetDisplayMode(640, 480, 8, 0, 0), DDERR_INVALIDMODE);

    int nDevices = 0;
    DirectDrawEnumerateExA(
        [](GUID* pGuid, LPSTR, LPSTR, LPVOID pCtx, HMONITOR) -> BOOL {
            ++*static_cast<int*>(pCtx);
            return pGuid == nullptr ? DDENUMRET_OK : DDENUMRET_CANCEL;
        },
        &nDevices, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
    EXPECT_EQ(nDevices, 1);
}

} // namespace
