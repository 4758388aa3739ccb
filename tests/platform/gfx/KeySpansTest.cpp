// Keyed blits through the run form of the source (its spans and, for whole rows, its moves) against
// the general pixel loop: the same pixels at every clip, size and position, and a run form that
// never outlives a write of its surface.
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "GfxFixture.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/ddraw/BltCore.h"
#include "platform/ddraw/DDObjects.h"
#include "platform/ddraw/KeySpans.h"
#include "platform/ddraw/PixelRow.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr uint16_t kKey = 0x07E0;

// A plane in plain memory with its pixels.
struct TESTPLANE {
    std::vector<uint8_t> bits;
    BLTPLANE plane;
};

TESTPLANE MakePlane(int w, int h, PIXELKIND eKind, long lExtraPitch = 0)
{
    TESTPLANE t;
    const long lPitch = (long)w * BytesPerPixel(eKind) + lExtraPitch;
    t.bits.assign((size_t)lPitch * h, 0);
    t.plane = BLTPLANE{t.bits.data(), lPitch, w, h, eKind};
    return t;
}

uint32_t Next(uint32_t* pSeed)
{
    *pSeed = *pSeed * 214013u + 2531011u;
    return *pSeed >> 8;
}

// Rows of alternating key and other runs of random lengths 1 to nLongest; some rows are all key,
// some have none. Other pixels are never a key value in [dwKeyLow, dwKeyHigh].
void PaintSprite(BLTPLANE& p, uint32_t dwKeyLow, uint32_t dwKeyHigh, int nLongest, uint32_t nSeed)
{
    const int nBpp = BytesPerPixel(p.eKind);
    for (int y = 0; y < p.nHeight; y++) {
        const int nRowKind = (int)(Next(&nSeed) % 7);
        bool bKey = Next(&nSeed) & 1;
        int nLeft = 0;
        for (int x = 0; x < p.nWidth; x++) {
            if (nLeft-- <= 0) {
                bKey = nRowKind == 0 ? true : (nRowKind == 1 ? false : !bKey);
                nLeft = (int)(Next(&nSeed) % (uint32_t)nLongest);
            }
            uint32_t v = bKey ? dwKeyLow + Next(&nSeed) % (dwKeyHigh - dwKeyLow + 1) : Next(&nSeed);
            if (nBpp == 2) {
                v &= 0xFFFF;
            }
            if (!bKey && v >= dwKeyLow && v <= dwKeyHigh) {
                v = dwKeyHigh + 1;
            }
            WriteRowPixel(p.pBits + (long)y * p.lPitch, x, nBpp, v);
        }
    }
}

void PaintNoise(BLTPLANE& p, uint32_t nSeed)
{
    for (int y = 0; y < p.nHeight; y++) {
        for (long i = 0; i < p.lPitch; i++) {
            p.pBits[(long)y * p.lPitch + i] = (uint8_t)Next(&nSeed);
        }
    }
}

// The job of a same-size keyed blit of source rectangle rcSrc to (x, y), clipped as Blt clips.
BLTJOB KeyedJob(const BLTPLANE& dst, const RECT& rcSrc, int x, int y, uint32_t dwKeyLow, uint32_t dwKeyHigh,
                bool bMirrorUD)
{
    BLTJOB job = {};
    job.nDstX = x;
    job.nDstY = y;
    job.nDstW = job.nSrcW = rcSrc.right - rcSrc.left;
    job.nDstH = job.nSrcH = rcSrc.bottom - rcSrc.top;
    job.nSrcX = rcSrc.left;
    job.nSrcY = rcSrc.top;
    job.nClipL = std::max(x, 0);
    job.nClipT = std::max(y, 0);
    job.nClipR = std::min(x + job.nDstW, dst.nWidth);
    job.nClipB = std::min(y + job.nDstH, dst.nHeight);
    job.bKeySrc = true;
    job.dwKeyLow = dwKeyLow;
    job.dwKeyHigh = dwKeyHigh;
    job.bMirrorUD = bMirrorUD;
    return job;
}

// Every placement of the source rectangle from fully off one side of the destination to fully off
// the other, so that key runs and other runs cross each edge at every offset: the run form (spans,
// and moves where whole rows go) against RunBlt.
void CheckEveryPlacement(const BLTPLANE& src, const RECT& rcSrc, uint32_t dwKeyLow, uint32_t dwKeyHigh,
                         int nDstW, int nDstH, const char* pszWhat)
{
    CKeySpans spans;
    spans.Build(src, dwKeyLow, dwKeyHigh);
    TESTPLANE want = MakePlane(nDstW, nDstH, src.eKind, 4);
    TESTPLANE got = MakePlane(nDstW, nDstH, src.eKind, 4);
    spans.PrepareMoves(src, want.plane.lPitch);
    const int w = rcSrc.right - rcSrc.left, h = rcSrc.bottom - rcSrc.top;
    int nCompared = 0;
    for (int nMirror = 0; nMirror < 2; nMirror++) {
        for (int y = -h; y <= nDstH; y++) {
            for (int x = -w; x <= nDstW; x++) {
                const BLTJOB job = KeyedJob(want.plane, rcSrc, x, y, dwKeyLow, dwKeyHigh, nMirror == 1);
                if (job.nClipL >= job.nClipR || job.nClipT >= job.nClipB) {
                    continue;
                }
                PaintNoise(want.plane, (uint32_t)(x * 31 + y));
                got.bits = want.bits;
                RunBlt(want.plane, src, job);
                RunBltSpans(got.plane, src, job, spans);
                ASSERT_TRUE(got.bits == want.bits) << pszWhat << " at " << x << "," << y << (nMirror ? " mirrored" : "");
                nCompared++;
            }
        }
    }
    EXPECT_GT(nCompared, 0) << pszWhat;
}

TEST(KeySpansTest, EveryPlacementAndClipMatchesTheGeneralBlit)
{
    struct CASE {
        PIXELKIND eKind;
        int w, h, nLongest;
        uint32_t dwKeyLow, dwKeyHigh;
        RECT rcSrc;
        const char* pszWhat;
    };
    const CASE cases[] = {
        {PK_R5G6B5, 29, 11, 9, kKey, kKey, {0, 0, 29, 11}, "whole 16-bit sprite"},
        {PK_R5G6B5, 40, 13, 20, kKey, kKey, {0, 0, 40, 13}, "long runs"},
        {PK_R5G6B5, 29, 11, 3, kKey, kKey, {3, 2, 27, 10}, "part of a sprite"},
        {PK_R5G6B5, 29, 11, 9, kKey, kKey, {0, 4, 29, 9}, "whole rows, some of them"},
        {PK_R5G6B5, 17, 9, 6, 0x0010, 0x0013, {0, 0, 17, 9}, "key range"},
        {PK_A8R8G8B8, 19, 7, 8, 0x0000FF00u, 0x0000FF00u, {0, 0, 19, 7}, "32-bit sprite"},
        {PK_A8R8G8B8, 19, 7, 8, 0x0000FF00u, 0x0000FF00u, {2, 1, 13, 7}, "part of a 32-bit sprite"},
        {PK_R5G6B5, 1, 12, 2, kKey, kKey, {0, 0, 1, 12}, "one pixel wide"},
        {PK_R5G6B5, 9, 1, 2, kKey, kKey, {0, 0, 9, 1}, "one row"},
    };
    for (const CASE& c : cases) {
        TESTPLANE src = MakePlane(c.w, c.h, c.eKind, 2);
        PaintSprite(src.plane, c.dwKeyLow, c.dwKeyHigh, c.nLongest, (uint32_t)(c.w * 7 + c.h));
        CheckEveryPlacement(src.plane, c.rcSrc, c.dwKeyLow, c.dwKeyHigh, 23, 15, c.pszWhat);
        if (HasFatalFailure()) {
            return;
        }
    }
}

// The spans of a known row: runs of each length from 1 to 4 and at both ends.
TEST(KeySpansTest, SpansAreTheRunsOfOtherColours)
{
    const uint16_t row[] = {1, kKey, 2, 3, kKey, kKey, 4, 5, 6, kKey, kKey, kKey, 7, 8, 9, 10};
    TESTPLANE src = MakePlane(16, 2, PK_R5G6B5);
    std::memcpy(src.bits.data(), row, sizeof(row));
    for (int x = 0; x < 16; x++) {
        reinterpret_cast<uint16_t*>(src.bits.data() + src.plane.lPitch)[x] = kKey;
    }
    CKeySpans spans;
    spans.Build(src.plane, kKey, kKey);
    ASSERT_TRUE(spans.IsFor(kKey, kKey));
    EXPECT_FALSE(spans.IsFor(kKey, kKey + 1));
    const uint32_t* pStart = spans.RowStarts();
    ASSERT_EQ(pStart[1] - pStart[0], 4u);
    EXPECT_EQ(pStart[2], pStart[1]);  // the row of key colour has none
    const KEYSPAN want[] = {{0, 1}, {2, 4}, {6, 9}, {12, 16}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(spans.Spans()[i].nLeft, want[i].nLeft) << i;
        EXPECT_EQ(spans.Spans()[i].nRight, want[i].nRight) << i;
    }
    spans.Clear();
    EXPECT_FALSE(spans.IsFor(kKey, kKey));
}

// Surfaces: blits through Blt with the run form against the same blits with it turned off.
class KeyedSurfaceTest : public GfxTest {
protected:
    void TearDown() override
    {
        CDDSurface::EnableKeySpans(true);
        for (IDirectDrawSurface7* p : m_made) {
            p->Release();
        }
        GfxTest::TearDown();
    }

    IDirectDrawSurface7* Make(int w, int h, DWORD dwCaps = DDSCAPS_OFFSCREENPLAIN)
    {
        IDirectDrawSurface7* p = MakeSurface(m_pDD, w, h, dwCaps);
        if (p) {
            m_made.push_back(p);
        }
        return p;
    }

    // A keyed sprite surface of random runs.
    IDirectDrawSurface7* Sprite(int w, int h, uint32_t nSeed, DWORD dwCaps = DDSCAPS_OFFSCREENPLAIN)
    {
        IDirectDrawSurface7* p = Make(w, h, dwCaps);
        TESTPLANE t = MakePlane(w, h, PK_R5G6B5);
        PaintSprite(t.plane, kKey, kKey, 7, nSeed);
        for (int y = 0; y < h; y++) {
            std::memcpy(Row16(p, y), t.bits.data() + (size_t)y * t.plane.lPitch, (size_t)w * 2);
        }
        DDCOLORKEY ck = {kKey, kKey};
        p->SetColorKey(DDCKEY_SRCBLT, &ck);
        return p;
    }

    // Two surfaces of one size and colour, to blit into with the run form and without.
    void Pair(int w, int h, uint16_t wFill, IDirectDrawSurface7** ppFast, IDirectDrawSurface7** ppPlain)
    {
        *ppFast = Make(w, h);
        *ppPlain = Make(w, h);
        ASSERT_NE(*ppFast, nullptr);
        ASSERT_NE(*ppPlain, nullptr);
        FillAll(*ppFast, wFill);
        FillAll(*ppPlain, wFill);
    }

    static std::vector<uint16_t> Pixels(IDirectDrawSurface7* p)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        p->GetSurfaceDesc(&desc);
        std::vector<uint16_t> out;
        for (int y = 0; y < (int)desc.dwHeight; y++) {
            out.insert(out.end(), Row16(p, y), Row16(p, y) + desc.dwWidth);
        }
        return out;
    }

    // The same blit into two surfaces that hold the same pixels: into pFast through the run form
    // (when the source has one) and into pPlain with it off.
    void BlitBoth(IDirectDrawSurface7* pFast, IDirectDrawSurface7* pPlain, RECT* pDest, IDirectDrawSurface7* pSrc,
                  RECT* pSrcRect, DWORD dwFlags = DDBLT_WAIT | DDBLT_KEYSRC, DDBLTFX* pFx = nullptr)
    {
        ASSERT_EQ(pFast->Blt(pDest, pSrc, pSrcRect, dwFlags, pFx), DD_OK);
        CDDSurface::EnableKeySpans(false);
        ASSERT_EQ(pPlain->Blt(pDest, pSrc, pSrcRect, dwFlags, pFx), DD_OK);
        CDDSurface::EnableKeySpans(true);
    }

    // Whether the surface holds a run form for its key now (asking counts as a use).
    static bool HasSpans(IDirectDrawSurface7* p)
    {
        DDCOLORKEY ck = {};
        p->GetColorKey(DDCKEY_SRCBLT, &ck);
        CDDSurface* pSurface = CDDSurface::From(p);
        const std::unique_lock<std::mutex> lock = pSurface->LockDerived();
        return pSurface->KeySpans(ck.dwColorSpaceLowValue, ck.dwColorSpaceHighValue, 0) != nullptr;
    }

    std::vector<IDirectDrawSurface7*> m_made;
};

// Blits at places that clip on every side, of parts and of the whole, mirrored and not, through
// Blt: each picture as the general path draws it, and the run form is built by the second blit.
TEST_F(KeyedSurfaceTest, BlitsThroughTheRunFormMatchTheGeneralPath)
{
    IDirectDrawSurface7* pSprite = Sprite(37, 21, 5);
    IDirectDrawSurface7 *pFast = nullptr, *pPlain = nullptr;
    Pair(64, 48, 0x1234, &pFast, &pPlain);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(pSprite, nullptr);
    EXPECT_FALSE(HasSpans(pSprite));  // the first use after a write takes the general path
    RECT rcWhole = {0, 0, 37, 21}, rcPart = {5, 3, 30, 19};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwDDFX = DDBLTFX_MIRRORUPDOWN;
    int nBlits = 0;
    for (int y = -25; y < 52; y += 3) {
        for (int x = -40; x < 68; x += 5) {
            RECT rcDest = {x, y, x + 37, y + 21};
            RECT rcDestPart = {x, y, x + 25, y + 16};
            BlitBoth(pFast, pPlain, &rcDest, pSprite, &rcWhole);
            BlitBoth(pFast, pPlain, &rcDestPart, pSprite, &rcPart);
            BlitBoth(pFast, pPlain, &rcDest, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC | DDBLT_DDFX, &fx);
            ASSERT_FALSE(HasFatalFailure());
            nBlits += 3;
        }
    }
    EXPECT_TRUE(HasSpans(pSprite));
    EXPECT_GT(nBlits, 1000);
    const std::vector<uint16_t> picture = Pixels(pFast);
    EXPECT_TRUE(picture == Pixels(pPlain));
    // The sprites cover nearly all of it.
    EXPECT_LT(std::count(picture.begin(), picture.end(), 0x1234), 64 * 48 / 4);
}

// A sprite one pixel wide, and one pixel high, at every position across the edges.
TEST_F(KeyedSurfaceTest, OnePixelSpritesMatchTheGeneralPath)
{
    IDirectDrawSurface7* pTall = Sprite(1, 19, 8);
    IDirectDrawSurface7* pFlat = Sprite(19, 1, 9);
    IDirectDrawSurface7 *pFast = nullptr, *pPlain = nullptr;
    Pair(12, 12, 0, &pFast, &pPlain);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(pFlat, nullptr);
    for (int y = -20; y <= 12; y++) {
        for (int x = -20; x <= 12; x++) {
            RECT rcTall = {x, y, x + 1, y + 19}, rcFlat = {x, y, x + 19, y + 1};
            BlitBoth(pFast, pPlain, &rcTall, pTall, nullptr);
            BlitBoth(pFast, pPlain, &rcFlat, pFlat, nullptr);
            ASSERT_FALSE(HasFatalFailure());
        }
        ASSERT_TRUE(Pixels(pFast) == Pixels(pPlain)) << "row " << y;
    }
    EXPECT_TRUE(HasSpans(pTall));
    EXPECT_TRUE(HasSpans(pFlat));
}

// Stretched and left-right mirrored blits take the general path, also from a source with a run form.
TEST_F(KeyedSurfaceTest, StretchedAndMirroredBlitsOfASpannedSourceMatchTheGeneralPath)
{
    IDirectDrawSurface7* pSprite = Sprite(23, 17, 12);
    IDirectDrawSurface7 *pFast = nullptr, *pPlain = nullptr;
    Pair(80, 60, 0x4321, &pFast, &pPlain);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(pSprite, nullptr);
    RECT rc = {0, 0, 23, 17};
    BlitBoth(pFast, pPlain, &rc, pSprite, nullptr);
    BlitBoth(pFast, pPlain, &rc, pSprite, nullptr);
    ASSERT_TRUE(HasSpans(pSprite));
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    const RECT dests[] = {{-7, 3, 40, 30}, {30, 20, 41, 26}, {50, 40, 95, 71}, {2, 35, 25, 52}, {60, -4, 70, 9}};
    for (RECT rcDest : dests) {
        BlitBoth(pFast, pPlain, &rcDest, pSprite, nullptr);
        BlitBoth(pFast, pPlain, &rcDest, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC | DDBLT_DDFX, &fx);
        RECT rcPart = {4, 2, 19, 15};
        BlitBoth(pFast, pPlain, &rcDest, pSprite, &rcPart);
        ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_TRUE(Pixels(pFast) == Pixels(pPlain));
}

// Every way of writing a surface drops its run form, and the blits after the write show the new
// pixels.
TEST_F(KeyedSurfaceTest, EveryWriteDropsTheRunForm)
{
    IDirectDrawSurface7* pSprite = Sprite(32, 24, 21, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    IDirectDrawSurface7* pOther = Sprite(32, 24, 22);
    IDirectDrawSurface7 *pFast = nullptr, *pPlain = nullptr;
    Pair(40, 30, 0x2222, &pFast, &pPlain);
    ASSERT_FALSE(HasFatalFailure());
    IDirect3DDevice7* pDev = nullptr;
    ASSERT_EQ(m_pD3D->CreateDevice(IID_IDirect3DRGBDevice, pSprite, &pDev), DD_OK);
    pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);

    const auto lockAndWrite = [&] {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        ASSERT_EQ(pSprite->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (int y = 0; y < 24; y += 2) {
            uint16_t* p = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
            std::fill(p, p + 32, (uint16_t)(0x0841 * y));
        }
        ASSERT_EQ(pSprite->Unlock(nullptr), DD_OK);
    };
    const auto copyInto = [&] {
        RECT rc = {3, 2, 20, 15};
        ASSERT_EQ(pSprite->Blt(&rc, pOther, &rc, DDBLT_WAIT, nullptr), DD_OK);
    };
    const auto keyedInto = [&] { ASSERT_EQ(pSprite->Blt(nullptr, pOther, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK); };
    const auto fill = [&] {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = kKey;  // a block of key colour: no longer drawn
        RECT rc = {10, 5, 30, 12};
        ASSERT_EQ(pSprite->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    };
    const auto newKey = [&] {
        DDCOLORKEY ck = {0xFFFF, 0xFFFF};
        ASSERT_EQ(pSprite->SetColorKey(DDCKEY_SRCBLT, &ck), DD_OK);
    };
    const auto oldKey = [&] {
        DDCOLORKEY ck = {kKey, kKey};
        ASSERT_EQ(pSprite->SetColorKey(DDCKEY_SRCBLT, &ck), DD_OK);
    };
    const auto gdi = [&] {
        HDC hdc = nullptr;
        ASSERT_EQ(pSprite->GetDC(&hdc), DD_OK);
        EXPECT_TRUE(PatBlt(hdc, 4, 4, 9, 13, WHITENESS));
        ASSERT_EQ(pSprite->ReleaseDC(hdc), DD_OK);
    };
    const auto draw = [&] {
        D3DTLVERTEX v[4] = {};
        const float xs[4] = {2.5f, 29.0f, 29.0f, 2.5f}, ys[4] = {1.0f, 1.0f, 20.5f, 20.5f};
        for (int i = 0; i < 4; i++) {
            v[i].sx = xs[i];
            v[i].sy = ys[i];
            v[i].rhw = 1.0f;
            v[i].color = RGBA_MAKE(200, 40, 90, 255);
        }
        ASSERT_EQ(pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, v, 4, 0), DD_OK);
    };
    const auto clear = [&] {
        D3DRECT rc = {{6}, {6}, {18}, {11}};
        ASSERT_EQ(pDev->Clear(1, &rc, D3DCLEAR_TARGET, RGB_MAKE(0, 255, 0), 1.0f, 0), DD_OK);
    };
    const auto selfBlit = [&] {
        RECT rcDest = {8, 8, 32, 24}, rcSrc = {0, 0, 24, 16};
        ASSERT_EQ(pSprite->Blt(&rcDest, pSprite, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    };
    struct WRITE {
        const char* pszName;
        std::function<void()> write;
    };
    const WRITE writes[] = {{"lock", lockAndWrite}, {"copy into", copyInto}, {"keyed blit into", keyedInto},
                            {"colour fill", fill},  {"new key", newKey},     {"old key", oldKey},
                            {"DC", gdi},            {"device draw", draw},   {"device clear", clear},
                            {"blit onto itself", selfBlit}};
    int nPlace = 0;
    for (const WRITE& w : writes) {
        // Two blits build the run form; the write drops it; the blits after it show the write.
        for (int i = 0; i < 2; i++, nPlace++) {
            RECT rc = {nPlace % 9, nPlace % 7, nPlace % 9 + 32, nPlace % 7 + 24};
            BlitBoth(pFast, pPlain, &rc, pSprite, nullptr);
        }
        ASSERT_TRUE(HasSpans(pSprite)) << w.pszName;
        w.write();
        ASSERT_FALSE(HasFatalFailure()) << w.pszName;
        EXPECT_FALSE(HasSpans(pSprite)) << w.pszName;
        for (int i = 0; i < 3; i++, nPlace++) {
            RECT rc = {nPlace % 9, nPlace % 7, nPlace % 9 + 32, nPlace % 7 + 24};
            BlitBoth(pFast, pPlain, &rc, pSprite, nullptr);
        }
        ASSERT_TRUE(Pixels(pFast) == Pixels(pPlain)) << "after " << w.pszName;
    }
    pDev->Release();
}

// A read-only lock leaves the run form; a lock for writing drops it at once, builds nothing while
// it lasts, and drops again at the unlock.
TEST_F(KeyedSurfaceTest, OnlyLocksForWritingDropTheRunForm)
{
    IDirectDrawSurface7* pSprite = Sprite(8, 8, 31);
    IDirectDrawSurface7* pDst = Make(8, 8);
    ASSERT_NE(pDst, nullptr);
    ASSERT_EQ(pDst->Blt(nullptr, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    ASSERT_EQ(pDst->Blt(nullptr, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    ASSERT_TRUE(HasSpans(pSprite));
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(pSprite->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
    ASSERT_EQ(pSprite->Unlock(nullptr), DD_OK);
    EXPECT_TRUE(HasSpans(pSprite));
    ASSERT_EQ(pSprite->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_FALSE(HasSpans(pSprite));
    EXPECT_FALSE(HasSpans(pSprite));  // not even on the second use while locked
    static_cast<uint16_t*>(desc.lpSurface)[0] = 0x0001;
    ASSERT_EQ(pSprite->Unlock(nullptr), DD_OK);
    EXPECT_FALSE(HasSpans(pSprite));
    EXPECT_TRUE(HasSpans(pSprite));
    FillAll(pDst, kKey);
    ASSERT_EQ(pDst->Blt(nullptr, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    EXPECT_EQ(Pixel(pDst, 0, 0), 0x0001);
}

// A key given with the blit instead of the surface's own: its own run form, and back again.
TEST_F(KeyedSurfaceTest, AnOverridingKeyGetsItsOwnRunForm)
{
    IDirectDrawSurface7* pSprite = Sprite(30, 20, 41);
    IDirectDrawSurface7 *pFast = nullptr, *pPlain = nullptr;
    Pair(40, 30, 0x7777, &pFast, &pPlain);
    ASSERT_FALSE(HasFatalFailure());
    // Pixels of the overriding key: a band of one colour.
    for (int y = 5; y < 9; y++) {
        std::fill(Row16(pSprite, y) + 3, Row16(pSprite, y) + 27, (uint16_t)0x001F);
    }
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.ddckSrcColorkey = DDCOLORKEY{0x001F, 0x001F};
    for (int i = 0; i < 6; i++) {
        RECT rc = {i, i, i + 30, i + 20};
        if (i % 3 == 2) {
            BlitBoth(pFast, pPlain, &rc, pSprite, nullptr);
        } else {
            BlitBoth(pFast, pPlain, &rc, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRCOVERRIDE, &fx);
        }
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(Pixels(pFast) == Pixels(pPlain)) << "blit " << i;
    }
}

// The moves are made for a destination pitch: blits that alternate between destinations of
// different pitches, and whole-row blits that alternate with clipped ones, all as the general path.
TEST_F(KeyedSurfaceTest, DestinationsOfOtherPitchesGetTheirOwnMoves)
{
    IDirectDrawSurface7* pSprite = Sprite(21, 13, 51);
    IDirectDrawSurface7 *pWideFast = nullptr, *pWidePlain = nullptr, *pNarrowFast = nullptr, *pNarrowPlain = nullptr;
    Pair(90, 20, 0x5A5A, &pWideFast, &pWidePlain);
    Pair(25, 40, 0x5A5A, &pNarrowFast, &pNarrowPlain);
    ASSERT_FALSE(HasFatalFailure());
    for (int i = 0; i < 12; i++) {
        RECT rcWide = {i * 5, i % 6, i * 5 + 21, i % 6 + 13};
        RECT rcNarrow = {i % 5 - (i % 3 == 0 ? 9 : 0), i * 2, i % 5 + 21 - (i % 3 == 0 ? 9 : 0), i * 2 + 13};
        BlitBoth(pWideFast, pWidePlain, &rcWide, pSprite, nullptr);
        BlitBoth(pNarrowFast, pNarrowPlain, &rcNarrow, pSprite, nullptr);
        ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_TRUE(Pixels(pWideFast) == Pixels(pWidePlain));
    EXPECT_TRUE(Pixels(pNarrowFast) == Pixels(pNarrowPlain));
}

// Two threads blitting from one source at once, each into its own surface of its own pitch (so
// that the source's moves are made again and again, for one pitch and the other), starting
// together: the pictures one thread alone draws.
TEST_F(KeyedSurfaceTest, BlitsFromOneSourceOnTwoThreads)
{
    IDirectDrawSurface7* pSprite = Sprite(40, 30, 61);
    IDirectDrawSurface7 *pA = nullptr, *pWantA = nullptr, *pB = nullptr, *pWantB = nullptr;
    Pair(64, 48, 0x0F0F, &pA, &pWantA);
    Pair(50, 60, 0x0F0F, &pB, &pWantB);
    ASSERT_FALSE(HasFatalFailure());
    std::atomic<int> nReady{0};
    const auto blits = [&](IDirectDrawSurface7* pDst, bool bTogether) {
        if (bTogether) {
            for (nReady++; nReady < 2;) {
                std::this_thread::yield();
            }
        }
        for (int i = 0; i < 300; i++) {
            RECT rc = {i % 11 - 3, i % 23 - 4, i % 11 + 37, i % 23 + 26};
            pDst->Blt(&rc, pSprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
    };
    CDDSurface::EnableKeySpans(false);
    blits(pWantA, false);
    blits(pWantB, false);
    CDDSurface::EnableKeySpans(true);
    std::thread other([&] { blits(pB, true); });
    blits(pA, true);
    other.join();
    EXPECT_TRUE(Pixels(pA) == Pixels(pWantA));
    EXPECT_TRUE(Pixels(pB) == Pixels(pWantB));
}

} // namespace
