// Clears that wait: a fill kept in tiles against the same fill done at once, over random fills,
// opaque and partial writes; and the device's clears seen through every way to the pixels (lock,
// device context, blits both ways, draws that test depth or skip it), against clears made to
// happen at once by a lock straight after them.
#include <thread>
#include <vector>

#include "GfxFixture.h"
#include "platform/ddraw/BltCore.h"
#include "platform/ddraw/DDObjects.h"
#include "platform/ddraw/PendingFill.h"
#include "platform/ddraw/PixelRow.h"

namespace {

uint32_t Rand(uint32_t* pSeed)
{
    *pSeed = *pSeed * 1664525u + 1013904223u;
    return *pSeed >> 7;
}

// A random rectangle that may reach past the plane's edges, or lie wholly outside.
void RandomRect(uint32_t* pSeed, int w, int h, int* l, int* t, int* r, int* b)
{
    *l = (int)(Rand(pSeed) % (w + 8)) - 4;
    *t = (int)(Rand(pSeed) % (h + 8)) - 4;
    *r = *l + 1 + (int)(Rand(pSeed) % w);
    *b = *t + 1 + (int)(Rand(pSeed) % h);
}

struct PLANEPAIR {
    std::vector<uint8_t> lazy, eager;
    BLTPLANE lazyPlane, eagerPlane;
};

PLANEPAIR MakePair(int w, int h, PIXELKIND eKind)
{
    PLANEPAIR p;
    const long lPitch = (long)w * BytesPerPixel(eKind) + 8;
    p.lazy.assign((size_t)lPitch * h, 0x5A);
    p.eager = p.lazy;
    p.lazyPlane = BLTPLANE{p.lazy.data(), lPitch, w, h, eKind};
    p.eagerPlane = BLTPLANE{p.eager.data(), lPitch, w, h, eKind};
    return p;
}

void RunFillModel(int w, int h, PIXELKIND eKind, uint32_t seed)
{
    PLANEPAIR pair = MakePair(w, h, eKind);
    const int nBpp = BytesPerPixel(eKind);
    CPendingFill fill;
    uint32_t dwFill = 0;
    for (int step = 0; step < 400; step++) {
        int l, t, r, b;
        RandomRect(&seed, w, h, &l, &t, &r, &b);
        const int cl = std::max(l, 0), ct = std::max(t, 0), cr = std::min(r, w), cb = std::min(b, h);
        const int nOp = (int)(Rand(&seed) % 8);
        if (nOp < 2) {
            if (cl < cr && ct < cb) {
                dwFill = Rand(&seed) & (nBpp == 2 ? 0xFFFFu : 0xFFFFFFFFu);
                fill.Defer(pair.lazyPlane, cl, ct, cr, cb, dwFill);
                FillPlane(pair.eagerPlane, cl, ct, cr, cb, dwFill);
            }
        } else if (nOp < 7) {
            // A write of every pixel of the rectangle, or of some of them.
            const bool bOpaque = nOp < 5;
            fill.BeforeWrite(pair.lazyPlane, l, t, r, b, bOpaque);
            for (int y = ct; y < cb; y++) {
                for (int x = cl; x < cr; x++) {
                    const uint32_t v = Rand(&seed);
                    if (bOpaque || (v & 3) == 0) {
                        WriteRowPixel(pair.lazyPlane.pBits + y * pair.lazyPlane.lPitch, x, nBpp, v);
                        WriteRowPixel(pair.eagerPlane.pBits + y * pair.eagerPlane.lPitch, x, nBpp, v);
                    }
                }
            }
        } else {
            fill.Apply(pair.lazyPlane);
            ASSERT_TRUE(fill.IsEmpty());
            ASSERT_EQ(pair.lazy, pair.eager) << "step " << step;
        }
        // What still waits reads as the fill; the rest is already right.
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                const uint32_t want = ReadRowPixel(pair.eagerPlane.pBits + y * pair.eagerPlane.lPitch, x, nBpp);
                const uint32_t have = fill.IsWaiting(x, y)
                                          ? dwFill
                                          : ReadRowPixel(pair.lazyPlane.pBits + y * pair.lazyPlane.lPitch, x, nBpp);
                ASSERT_EQ(have, want) << "step " << step << " at " << x << "," << y;
            }
        }
        if (fill.IsAllWaiting(cl, ct, cr, cb, dwFill)) {
            for (int y = ct; y < cb; y++) {
                for (int x = cl; x < cr; x++) {
                    ASSERT_TRUE(fill.IsWaiting(x, y));
                }
            }
        }
    }
    fill.Apply(pair.lazyPlane);
    EXPECT_EQ(pair.lazy, pair.eager);
}

TEST(PendingFill, WaitingFillEndsAsTheFillDoneAtOnce)
{
    // Sizes off the tile grid and on it, pixels of both widths.
    RunFillModel(75, 41, PK_R5G6B5, 1);
    RunFillModel(64, 32, PK_R5G6B5, 2);
    RunFillModel(37, 50, PK_A8R8G8B8, 3);
    RunFillModel(3, 2, PK_Z16, 4);
}

TEST(PendingFill, OpaqueWriteOverTheWholeFillLeavesNothingWaiting)
{
    PLANEPAIR pair = MakePair(100, 70, PK_R5G6B5);
    CPendingFill fill;
    fill.Defer(pair.lazyPlane, 5, 3, 90, 60, 0x1234);
    EXPECT_TRUE(fill.IsAllWaiting(5, 3, 90, 60, 0x1234));
    EXPECT_FALSE(fill.IsAllWaiting(5, 3, 90, 60, 0x1235));
    EXPECT_FALSE(fill.IsAllWaiting(4, 3, 90, 60, 0x1234));
    // A band in the middle: the tiles it cuts do their rows outside it, the rest keeps waiting.
    fill.BeforeWrite(pair.lazyPlane, 0, 20, 100, 40, true);
    EXPECT_FALSE(fill.IsWaiting(50, 30));
    EXPECT_TRUE(fill.IsWaiting(50, 5));
    EXPECT_TRUE(fill.IsWaiting(50, 50));
    EXPECT_EQ(ReadRowPixel(pair.lazy.data() + 19 * pair.lazyPlane.lPitch, 50, 2), 0x1234u);
    EXPECT_EQ(ReadRowPixel(pair.lazy.data() + 20 * pair.lazyPlane.lPitch, 50, 2), 0x5A5Au);
    fill.BeforeWrite(pair.lazyPlane, 0, 0, 100, 70, true);
    EXPECT_TRUE(fill.IsEmpty());
}

// ---- The device's clears --------------------------------------------------------------------------

class DeferredClearTest : public GfxTest {
protected:
    void TearDown() override
    {
        for (IDirectDrawSurface7* p : m_made) {
            p->Release();
        }
        GfxTest::TearDown();
    }

    IDirectDrawSurface7* Made(IDirectDrawSurface7* p)
    {
        m_made.push_back(p);
        return p;
    }

    // Every pixel of the target set to its own value.
    void Scribble(uint16_t wSalt)
    {
        for (int y = 0; y < 480; y++) {
            uint16_t* p = Row16(m_pBack, y);
            for (int x = 0; x < 640; x++) {
                p[x] = (uint16_t)(x * 3 + y * 641 + wSalt);
            }
        }
    }

    // A 40 x 30 keyed sprite: key colour on its left half.
    IDirectDrawSurface7* Sprite()
    {
        IDirectDrawSurface7* p = Made(MakeSurface(m_pDD, 40, 30));
        for (int y = 0; y < 30; y++) {
            for (int x = 0; x < 40; x++) {
                Row16(p, y)[x] = x < 20 ? 0x07E0 : (uint16_t)(0x8000 + x + y);
            }
        }
        DDCOLORKEY ck = {0x07E0, 0x07E0};
        p->SetColorKey(DDCKEY_SRCBLT, &ck);
        return p;
    }

    // A depth read under a lock for reading, which leaves the buffer known as one value.
    uint16_t DepthLookedAt(int x, int y)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        if (m_pZ->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) {
            return 0x5555;
        }
        const uint16_t w = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) +
                                                             (size_t)y * desc.lPitch)[x];
        m_pZ->Unlock(nullptr);
        return w;
    }

    std::vector<IDirectDrawSurface7*> m_made;
};

const uint16_t kBlue = 0x001F;  // RGB565 of the clear colour below
const D3DCOLOR kClearBlue = RGB_MAKE(0, 0, 255);

TEST_F(DeferredClearTest, LockAndDeviceContextSeeTheClear)
{
    Scribble(7);
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearBlue, 0.5f, 0), D3D_OK);
    EXPECT_EQ(Px(0, 0), kBlue);
    EXPECT_EQ(Px(639, 479), kBlue);
    EXPECT_EQ(Zv(321, 17), (uint16_t)(0.5f * 65535.0f + 0.5f));

    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, RGB_MAKE(255, 0, 0), 1.0f, 0), D3D_OK);
    HDC hDC = nullptr;
    ASSERT_EQ(m_pBack->GetDC(&hDC), DD_OK);
    const DDSURFACEDC* pDC = DDGetSurfaceDC(hDC);
    ASSERT_NE(pDC, nullptr);
    const uint16_t* pBits = static_cast<const uint16_t*>(pDC->lpBits);
    EXPECT_EQ(pBits[0], 0xF800);
    EXPECT_EQ(pBits[(size_t)479 * pDC->lPitch / 2 + 639], 0xF800);
    EXPECT_EQ(m_pBack->ReleaseDC(hDC), DD_OK);
}

// A clear made while the pixels are out (a lock, a device context) lands at once: the holder
// sees it through its pointer, and what it writes after the clear stays.
TEST_F(DeferredClearTest, AClearWhileThePixelsAreOutLandsAtOnce)
{
    Scribble(3);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(m_pBack->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    uint16_t* pRow = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + 10 * desc.lPitch);
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, kClearBlue, 1.0f, 0), D3D_OK);
    EXPECT_EQ(pRow[20], kBlue);
    pRow[20] = 0x1234;
    ASSERT_EQ(m_pBack->Unlock(nullptr), DD_OK);
    EXPECT_EQ(Px(20, 10), 0x1234);
    EXPECT_EQ(Px(21, 10), kBlue);

    HDC hDC = nullptr;
    ASSERT_EQ(m_pBack->GetDC(&hDC), DD_OK);
    const DDSURFACEDC* pDC = DDGetSurfaceDC(hDC);
    ASSERT_NE(pDC, nullptr);
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, RGB_MAKE(255, 0, 0), 1.0f, 0), D3D_OK);
    uint16_t* pBits = static_cast<uint16_t*>(pDC->lpBits);
    EXPECT_EQ(pBits[(size_t)5 * pDC->lPitch / 2 + 6], 0xF800);
    pBits[(size_t)5 * pDC->lPitch / 2 + 6] = 0x4321;
    EXPECT_EQ(m_pBack->ReleaseDC(hDC), DD_OK);
    EXPECT_EQ(Px(6, 5), 0x4321);
    EXPECT_EQ(Px(7, 5), 0xF800);
}

TEST_F(DeferredClearTest, ClearedRectanglesOnlyAndTheLaterClearOnTop)
{
    Scribble(1);
    const uint16_t wOld = Px(100, 100);
    D3DRECT rc[2] = {{10, 10, 50, 20}, {600, 470, 700, 500}};
    ASSERT_EQ(m_pDev->Clear(2, rc, D3DCLEAR_TARGET, kClearBlue, 1.0f, 0), D3D_OK);
    // A second, smaller clear of another colour: the first still shows around it.
    D3DRECT inner = {20, 12, 30, 14};
    ASSERT_EQ(m_pDev->Clear(1, &inner, D3DCLEAR_TARGET, RGB_MAKE(255, 0, 0), 1.0f, 0), D3D_OK);
    EXPECT_EQ(Px(10, 10), kBlue);
    EXPECT_EQ(Px(49, 19), kBlue);
    EXPECT_EQ(Px(25, 13), 0xF800);
    EXPECT_EQ(Px(639, 479), kBlue);
    EXPECT_EQ(Px(599, 479), (uint16_t)(599 * 3 + 479 * 641 + 1));
    EXPECT_EQ(Px(100, 100), wOld);
}

TEST_F(DeferredClearTest, BlitsOverAndOutOfAClearedTarget)
{
    Scribble(3);
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, kClearBlue, 1.0f, 0), D3D_OK);
    // Keyed: the key pixels show the clear.
    IDirectDrawSurface7* pSprite = Sprite();
    RECT rcKeyed = {101, 77, 141, 107};
    ASSERT_EQ(m_pBack->Blt(&rcKeyed, pSprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
    // Opaque, off the tile grid: the clear all round it.
    IDirectDrawSurface7* pPicture = Made(MakeSurface(m_pDD, 33, 19));
    FillAll(pPicture, 0x4321);
    ASSERT_EQ(m_pBack->BltFast(300, 203, pPicture, nullptr, DDBLTFAST_WAIT), DD_OK);
    // The target as a source: another surface copies the clear.
    IDirectDrawSurface7* pCopy = Made(MakeSurface(m_pDD, 640, 480));
    ASSERT_EQ(pCopy->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    for (IDirectDrawSurface7* p : {m_pBack, pCopy}) {
        EXPECT_EQ(Pixel(p, 101, 77), kBlue);
        EXPECT_EQ(Pixel(p, 121, 77), 0x8000 + 20);
        EXPECT_EQ(Pixel(p, 140, 106), 0x8000 + 39 + 29);
        EXPECT_EQ(Pixel(p, 299, 210), kBlue);
        EXPECT_EQ(Pixel(p, 300, 203), 0x4321);
        EXPECT_EQ(Pixel(p, 332, 221), 0x4321);
        EXPECT_EQ(Pixel(p, 333, 221), kBlue);
        EXPECT_EQ(Pixel(p, 332, 222), kBlue);
        EXPECT_EQ(Pixel(p, 0, 0), kBlue);
    }
    // Within the target itself.
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, RGB_MAKE(255, 0, 0), 1.0f, 0), D3D_OK);
    RECT rcFrom = {0, 0, 8, 8}, rcTo = {500, 400, 508, 408};
    ASSERT_EQ(m_pBack->Blt(&rcTo, m_pBack, &rcFrom, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Px(504, 404), 0xF800);
}

TEST_F(DeferredClearTest, DrawsTestTheClearedDepth)
{
    // Depth cleared half way: a quad behind it is hidden, one in front shows and writes its depth.
    const std::vector<uint16_t> zNear = ProbeDepths([&] { DrawQuad(0, 0, 640, 480, -200.0f, 0xFFFFFFFF); });
    const std::vector<uint16_t> zFar = ProbeDepths([&] { DrawQuad(0, 0, 640, 480, 500.0f, 0xFFFFFFFF); });
    const float fMid = ((float)zNear[0] + (float)zFar[0]) / 2.0f / 65535.0f;
    m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearBlue, fMid, 0), D3D_OK);
    ASSERT_EQ(DrawQuad(100, 100, 200, 200, 500.0f, RGB_MAKE(255, 0, 0)), D3D_OK);
    ASSERT_EQ(DrawQuad(300, 100, 400, 200, -200.0f, RGB_MAKE(0, 255, 0)), D3D_OK);
    EXPECT_EQ(Px(150, 150), kBlue);
    EXPECT_EQ(Px(350, 150), 0x07E0);
    EXPECT_EQ(Zv(350, 150), zNear[0]);
    EXPECT_EQ(Zv(150, 150), (uint16_t)(fMid * 65535.0f + 0.5f));
}

TEST_F(DeferredClearTest, DrawWithoutDepthWritesLeavesTheClearedDepthAndStillTestsEarlierWrites)
{
    m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearBlue, 1.0f, 0), D3D_OK);
    // A near quad writes depth; a far one that writes none is hidden by it and shows elsewhere.
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    ASSERT_EQ(DrawQuad(100, 100, 200, 200, -200.0f, RGB_MAKE(0, 255, 0)), D3D_OK);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    ASSERT_EQ(DrawQuad(150, 150, 450, 250, 500.0f, RGB_MAKE(255, 0, 0)), D3D_OK);
    ASSERT_EQ(DrawQuad(500, 300, 600, 400, 500.0f, RGB_MAKE(255, 0, 0)), D3D_OK);
    EXPECT_EQ(Px(170, 170), 0x07E0);
    EXPECT_EQ(Px(300, 200), 0xF800);
    EXPECT_EQ(Px(550, 350), 0xF800);
    EXPECT_EQ(Px(50, 50), kBlue);
    EXPECT_EQ(Zv(550, 350), 0xFFFF);
    EXPECT_EQ(Zv(300, 200), 0xFFFF);
    EXPECT_NE(Zv(170, 170), 0xFFFF);

    // The buffer known as one value, its clear already done (looked at): the far plane lets every
    // such draw through, a nearer value does not.
    const std::vector<uint16_t> zFar = ProbeDepths([&] { DrawQuad(0, 0, 640, 480, 500.0f, 0xFFFFFFFF); });
    m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    for (const float fClear : {1.0f, 0.0f}) {
        ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearBlue, fClear, 0), D3D_OK);
        EXPECT_EQ(DepthLookedAt(0, 0), fClear == 1.0f ? 0xFFFF : 0);
        ASSERT_EQ(DrawQuad(10, 10, 60, 60, 500.0f, RGB_MAKE(255, 0, 0)), D3D_OK);
        EXPECT_EQ(Px(30, 30), fClear == 1.0f ? 0xF800 : kBlue) << fClear;
        EXPECT_EQ(Zv(30, 30), fClear == 1.0f ? 0xFFFF : 0);
    }
    EXPECT_LT(zFar[0], 0xFFFF);
}

// The loading thread warms its effects with draws that cover no pixel while the frame loop clears:
// the waiting fill stays whole, and the clear after them shows everywhere.
TEST_F(DeferredClearTest, ClearsOnOneThreadAndEmptyDrawsOnAnother)
{
    D3DLVERTEX quad[4];
    Quad(quad, 300, 200, 300, 200, 10.0f, 0xFFFFFFFF);
    std::thread loader([&] {
        for (int i = 0; i < 300; i++) {
            m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, quad, 4, 0);
        }
    });
    for (int i = 0; i < 300; i++) {
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, RGB_MAKE(0, 0, i & 255), 1.0f, 0);
    }
    loader.join();
    ASSERT_EQ(m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearBlue, 0.0f, 0), D3D_OK);
    const std::vector<uint16_t> all = Snapshot();
    for (size_t i = 0; i < all.size(); i++) {
        ASSERT_EQ(all[i], (i / 640) % 2 == 0 ? kBlue : 0) << i;
    }
}

// One scene drawn twice, once with each clear and each plain copy made to happen at once by a lock
// after it: the same target, depth buffer and other surfaces at the end and every 25 steps on the
// way (a whole clear hides much of what went before). The plain copies come
// alone or two side by side on the same rows (touching or not, as the far background's two parts
// come), from pictures written in between and from the target itself, into it and out of it.
TEST_F(DeferredClearTest, SceneEndsTheSameWhetherClearsWaitOrNot)
{
    IDirectDrawSurface7* pSprite = Sprite();
    IDirectDrawSurface7* pPicture = Made(MakeSurface(m_pDD, 200, 120));
    IDirectDrawSurface7* pOther = Made(MakeSurface(m_pDD, 640, 480));
    std::vector<std::vector<uint16_t>> results[2];
    for (int nPass = 0; nPass < 2; nPass++) {
        Scribble(11);
        FillAll(m_pZ, 0xFFFF);
        FillAll(pPicture, 0x39E7);
        FillAll(pOther, 0x1111);
        uint32_t seed = 99;
        auto random = [&](uint32_t n) { return (LONG)(Rand(&seed) % n); };
        auto lookAt = [&] {
            if (nPass == 1) {
                Pixel(m_pBack, 0, 0);
                Pixel(m_pZ, 0, 0);
                Pixel(pOther, 0, 0);
            }
        };
        auto snapshot = [&] {
            results[nPass].push_back(Snapshot());
            for (IDirectDrawSurface7* p : {pPicture, pOther}) {
                DDSURFACEDESC2 desc = {};
                desc.dwSize = sizeof(desc);
                p->GetSurfaceDesc(&desc);
                for (int yy = 0; yy < (int)desc.dwHeight; yy++) {
                    results[nPass].back().insert(results[nPass].back().end(), Row16(p, yy), Row16(p, yy) + desc.dwWidth);
                }
            }
        };
        for (int step = 0; step < 400; step++) {
            if (step % 25 == 24) {
                snapshot();
            }
            const int nOp = (int)(Rand(&seed) % 9);
            const float x = (float)(Rand(&seed) % 700) - 30.0f, y = (float)(Rand(&seed) % 540) - 30.0f;
            const float w = (float)(Rand(&seed) % 300 + 1), h = (float)(Rand(&seed) % 200 + 1);
            if (nOp == 0) {
                D3DRECT rc = {(LONG)x, (LONG)y, (LONG)(x + w), (LONG)(y + h)};
                const bool bWhole = Rand(&seed) % 2;
                const float fZ = (float)(Rand(&seed) % 100) / 99.0f;
                ASSERT_EQ(m_pDev->Clear(bWhole ? 0 : 1, bWhole ? nullptr : &rc, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                        Rand(&seed) | 0xFF000000u, fZ, 0),
                          D3D_OK);
                lookAt();
            } else if (nOp == 1) {
                RECT rc = {(LONG)x, (LONG)y, (LONG)(x + 40), (LONG)(y + 30)};
                m_pBack->Blt(&rc, pSprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
            } else if (nOp == 2) {
                RECT rc = {(LONG)x, (LONG)y, (LONG)(x + w), (LONG)(y + h)};
                m_pBack->Blt(&rc, pPicture, nullptr, DDBLT_WAIT, nullptr);
            } else if (nOp == 6) {
                // One or two plain copies onto the target: the second on the same rows, right of
                // the first, touching it or not, from the picture or the other surface.
                const LONG sx = random(150), sy = random(60), cw = 1 + random(50), ch = 1 + random(60);
                RECT rcSrc = {sx, sy, sx + cw, sy + ch};
                RECT rcDst = {(LONG)x, (LONG)y, (LONG)x + cw, (LONG)y + ch};
                m_pBack->Blt(&rcDst, pPicture, &rcSrc, DDBLT_WAIT, nullptr);
                if (random(3) != 0) {
                    const LONG nGap = random(2) ? 0 : random(70);
                    RECT rcSrc2 = {random(500), random(400), 0, 0};
                    rcSrc2.right = rcSrc2.left + 1 + random(140);
                    rcSrc2.bottom = rcSrc2.top + ch;
                    RECT rcDst2 = {rcDst.right + nGap, rcDst.top, rcDst.right + nGap + (rcSrc2.right - rcSrc2.left),
                                   rcDst.bottom};
                    m_pBack->Blt(&rcDst2, random(2) ? pOther : pPicture, &rcSrc2, DDBLT_WAIT, nullptr);
                }
                lookAt();
            } else if (nOp == 7) {
                // The picture or the other surface written while a copy of it may wait.
                IDirectDrawSurface7* p = random(2) ? pPicture : pOther;
                RECT rc = {random(150), random(100), 0, 0};
                rc.right = rc.left + 1 + random(60);
                rc.bottom = rc.top + 1 + random(30);
                if (random(2)) {
                    DDBLTFX fx = {};
                    fx.dwSize = sizeof(fx);
                    fx.dwFillColor = Rand(&seed) & 0xFFFF;
                    p->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
                } else {
                    p->Blt(&rc, pSprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
                }
                lookAt();
            } else if (nOp == 8) {
                // The target copied out while a copy onto it may wait, and later written.
                RECT rcSrc = {random(600), random(450), 0, 0};
                rcSrc.right = rcSrc.left + 1 + random(640 - rcSrc.left);
                rcSrc.bottom = rcSrc.top + 1 + random(480 - rcSrc.top);
                RECT rcDst = {random(640), random(480), 0, 0};
                rcDst.right = rcDst.left + (rcSrc.right - rcSrc.left);
                rcDst.bottom = rcDst.top + (rcSrc.bottom - rcSrc.top);
                pOther->Blt(&rcDst, m_pBack, &rcSrc, DDBLT_WAIT, nullptr);
                lookAt();
            } else {
                const DWORD dwFunc[3] = {D3DCMP_LESSEQUAL, D3DCMP_LESS, D3DCMP_ALWAYS};
                m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, Rand(&seed) % 4 ? D3DZB_TRUE : D3DZB_FALSE);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, Rand(&seed) % 2);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, dwFunc[Rand(&seed) % 3]);
                const float z = (float)(Rand(&seed) % 700) - 200.0f;
                ASSERT_EQ(DrawQuad(x, y, x + w, y + h, z, Rand(&seed) | 0xFF000000u), D3D_OK);
            }
        }
        snapshot();
    }
    ASSERT_EQ(results[0].size(), results[1].size());
    for (size_t i = 0; i < results[0].size(); i++) {
        EXPECT_TRUE(results[0][i] == results[1][i]) << "snapshot " << i;
    }
}

} // namespace
