// The software device: fill convention, depth, keys, blending, lighting, stage operations, culling
// and clipping, checked pixel by pixel where the rule is exact.
#include <algorithm>
#include <set>
#include <utility>

#include "GfxFixture.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/d3d/Rasterizer.h"

namespace {

constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kMidGrey = 0x7BEF;  // black at alpha .5 over white: 127 in every channel

DDPIXELFORMAT A1R5G5B5()
{
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    pf.dwRGBBitCount = 16;
    pf.dwRGBAlphaBitMask = 0x8000;
    pf.dwRBitMask = 0x7C00;
    pf.dwGBitMask = 0x03E0;
    pf.dwBBitMask = 0x001F;
    return pf;
}

// A pretransformed vertex at screen position (x, y), halfway in depth, of one colour.
D3DTLVERTEX ScreenVertex(float x, float y, D3DCOLOR color)
{
    D3DTLVERTEX v = {};
    v.sx = x;
    v.sy = y;
    v.sz = 0.5f;
    v.rhw = 1.0f;
    v.color = color;
    return v;
}

class RasterTest : public GfxTest {
protected:
    // Pixels of the back buffer that differ from a value.
    std::set<std::pair<int, int>> Changed(uint16_t wBackground)
    {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < 480; y++) {
            const uint16_t* p = Row16(m_pBack, y);
            for (int x = 0; x < 640; x++) {
                if (p[x] != wBackground) {
                    s.insert({x, y});
                }
            }
        }
        return s;
    }

    void Additive()
    {
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    }

    // A texture of the given format whose texels the caller fills; 16-bit formats only.
    IDirectDrawSurface7* Texture(int w, int h, const DDPIXELFORMAT& pf)
    {
        return MakeSurface(m_pDD, w, h, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &pf);
    }
};

TEST_F(RasterTest, QuadCoversPixelCentresWithTopLeftRule)
{
    Additive();
    ASSERT_EQ(DrawQuad(10.5f, 20.25f, 50.5f, 60.75f, 0.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    const auto s = Changed(0);
    // Columns 10..49 (centre 10.5 lies on the owned left edge, 50.5 on the right edge), rows 20..60.
    EXPECT_EQ(s.size(), 40u * 41u);
    EXPECT_TRUE(s.count({10, 20}));
    EXPECT_TRUE(s.count({49, 60}));
    EXPECT_FALSE(s.count({50, 30}));
    EXPECT_FALSE(s.count({9, 30}));
    for (const auto& p : s) {
        ASSERT_EQ(Px(p.first, p.second), 0x0841) << "a pixel drawn twice";  // 8,8,8 once
    }
}

TEST_F(RasterTest, SharedEdgesTouchEachPixelOnce)
{
    Additive();
    // An irregular convex polygon, drawn as fans from two different corners.
    const float px[6] = {100.3f, 180.9f, 240.2f, 230.7f, 150.1f, 90.6f};
    const float py[6] = {50.2f, 40.6f, 110.3f, 200.9f, 230.4f, 140.8f};
    std::set<std::pair<int, int>> first;
    for (int nStart : {0, 3}) {
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        D3DLVERTEX v[6];
        for (int i = 0; i < 6; i++) {
            const int k = (nStart + i) % 6;
            D3DLVERTEX corner[4];
            Quad(corner, px[k], py[k], px[k], py[k], 0.0f, RGB_MAKE(8, 8, 8));
            v[i] = corner[0];
        }
        ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 6, 0), DD_OK);
        const auto s = Changed(0);
        for (const auto& p : s) {
            ASSERT_EQ(Px(p.first, p.second), 0x0841) << "double at " << p.first << "," << p.second;
        }
        if (nStart == 0) {
            first = s;
            EXPECT_GT(s.size(), 10000u);
        } else {
            EXPECT_EQ(s, first) << "the two triangulations cover different pixels: a gap or a double";
        }
    }
}

// Triangles of every shape the row loop tells apart (a level edge at top or bottom, two edges on
// the left or on the right, corners on pixel centres, on whole pixels and between), in both
// windings, cover exactly the pixels whose centres the definition puts inside: every edge
// function of the 1/256-pixel corners non-negative, zero only on an owned (top or left) edge.
// After the first 300, some reach a corner thousands of pixels away (whose edges the row loop
// steps in 64 bits), some hang over the target's left edge or lie beyond it, and some are cut by
// a viewport narrower than the probed area, on either side of which a triangle may lie whole; the
// last ones end just short of, on or just past the centres of the first or last column drawn.
TEST_F(RasterTest, TrianglesCoverThePixelCentresInsideThem)
{
    Additive();
    m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 214013 + 2531011;
        return (int)((seed >> 16) % (uint32_t)n);
    };
    const float kFractions[4] = {0.0f, 0.5f, 0.25f, 0.8125f};
    const D3DVIEWPORT7 vpAll = {0, 0, 640, 480, 0.0f, 1.0f}, vpCut = {30, 10, 70, 100, 0.0f, 1.0f};
    int nCovered = 0;
    const float kNearCentre[4] = {-1.0f / 256.0f, 0.0f, 1.0f / 256.0f, 0.25f};
    for (int nTri = 0; nTri < 524; nTri++) {
        float fx[3], fy[3];
        for (int i = 0; i < 3; i++) {
            fx[i] = (float)next(80) + kFractions[next(4)] + 20.0f;
            fy[i] = (float)next(60) + kFractions[next(4)] + 20.0f;
        }
        if (nTri >= 500) {
            // An edge straight down at a column centre give or take a little, the rest of the
            // triangle off the side it is near: the first column of the target or of vpCut, or
            // vpCut's last.
            const int nSide = (nTri - 500) / 8;
            const float fEdge = (nSide == 0 ? 0.5f : (nSide == 1 ? 30.5f : 99.5f)) + kNearCentre[nTri % 4];
            const float fOff = nSide == 2 ? 40.0f : -40.0f;
            const float fTurn = nTri % 8 < 4 ? 1.0f : -1.0f;  // both windings
            const float fCornerX[3] = {fEdge, fEdge + fOff, fEdge}, fCornerY[3] = {30.0f, 45.0f + fTurn, 60.0f};
            std::copy(fCornerX, fCornerX + 3, fx);
            std::copy(fCornerY, fCornerY + 3, fy);
        }
        if (nTri % 5 == 0) {
            fy[1] = fy[0];  // a level edge
        }
        const bool bVaried = nTri >= 300 && nTri < 500;
        if (bVaried && nTri % 7 == 3) {
            fx[2] += nTri % 2 ? 20000.0f : -20000.0f;
            fy[2] += nTri % 3 ? 30000.0f : -30000.0f;
        }
        if (bVaried && nTri % 3 == 1) {
            for (float& f : fx) {
                f -= 70.0f;
            }
        }
        const D3DVIEWPORT7& vp = nTri >= 500 ? (nTri < 508 ? vpAll : vpCut) : (bVaried && nTri % 4 == 2 ? vpCut : vpAll);
        ASSERT_EQ(m_pDev->SetViewport(const_cast<D3DVIEWPORT7*>(&vpAll)), DD_OK);
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        ASSERT_EQ(m_pDev->SetViewport(const_cast<D3DVIEWPORT7*>(&vp)), DD_OK);
        D3DTLVERTEX v[3];
        for (int i = 0; i < 3; i++) {
            v[i] = ScreenVertex(fx[i], fy[i], RGB_MAKE(8, 8, 8));
        }
        ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0), DD_OK);
        int64_t X[3], Y[3];
        for (int i = 0; i < 3; i++) {
            X[i] = (int64_t)(fx[i] * 256.0f);
            Y[i] = (int64_t)(fy[i] * 256.0f);
        }
        const int64_t nArea = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
        if (nArea < 0) {
            std::swap(X[1], X[2]);
            std::swap(Y[1], Y[2]);
        }
        size_t nWrong = 0;
        for (int py = 0; py < 120; py++) {
            for (int px = 0; px < 140; px++) {
                bool bIn = nArea != 0 && px >= (int)vp.dwX && px < (int)(vp.dwX + vp.dwWidth) && py >= (int)vp.dwY &&
                           py < (int)(vp.dwY + vp.dwHeight);
                for (int i = 0; i < 3; i++) {
                    const int j = (i + 1) % 3;
                    const int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
                    const int64_t f = dx * (py * 256 + 128 - Y[i]) - dy * (px * 256 + 128 - X[i]);
                    const bool bOwned = dy < 0 || (dy == 0 && dx > 0);
                    bIn = bIn && (f > 0 || (f == 0 && bOwned));
                }
                nCovered += bIn;
                nWrong += bIn != (Px(px, py) == 0x0841);
            }
        }
        ASSERT_EQ(nWrong, 0u) << "triangle " << nTri;
    }
    ASSERT_EQ(m_pDev->SetViewport(const_cast<D3DVIEWPORT7*>(&vpAll)), DD_OK);
    EXPECT_GT(nCovered, 100000);
}

TEST_F(RasterTest, FaderFlatColourWithNoTextureBound)
{
    FillAll(m_pBack, kWhite);
    Fade(0.0f, 0.5f);
    EXPECT_EQ(Px(0, 0), kMidGrey);
    EXPECT_EQ(Px(639, 479), kMidGrey);
    EXPECT_EQ(Px(320, 240), kMidGrey);

    FillAll(m_pBack, 0);
    Fade(1.0f, 0.5f);
    EXPECT_EQ(Px(100, 100), 0x8410);  // white at .5 over black: 128 in every channel

    FillAll(m_pBack, 0x1234);
    Fade(1.0f, 1.0f);
    EXPECT_EQ(Changed(kWhite).size(), 0u);
    Fade(0.0f, 1.0f);
    EXPECT_EQ(Changed(0).size(), 0u);

    FillAll(m_pBack, 0x1234);
    Fade(0.0f, 0.0f);  // a finished fade-in: drawn fully transparent
    EXPECT_EQ(Changed(0x1234).size(), 0u);
    EXPECT_EQ(Zv(5, 5), 0xFFFF);  // Z writes were off
}

TEST_F(RasterTest, AdditiveBlendSaturatesEachChannel)
{
    FillAll(m_pBack, 0x632C);  // (99, 101, 99) when widened to 8 bits
    Additive();
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0.0f, RGB_MAKE(200, 100, 50)), DD_OK);
    EXPECT_EQ(Px(1, 1), (31 << 11) | (50 << 5) | 18);  // (255, 201, 149)
    EXPECT_EQ(Px(4, 4), 0x632C);
}

TEST_F(RasterTest, BlendFactorsAgainstKnownValues)
{
    struct CASE {
        DWORD dwSrc, dwDest;
        uint16_t wWant;
    };
    // Source (255, 0, 0) alpha 128 over destination white.
    const CASE cases[] = {
        {D3DBLEND_ONE, D3DBLEND_ZERO, 0xF800},
        {D3DBLEND_ZERO, D3DBLEND_ONE, 0xFFFF},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, (31 << 11) | (31 << 5) | 15},  // (255, 127, 127)
        {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, 0xF800},
        {D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, 0x07FF},
        {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, 0xF800},
        {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, 0x0000},
        {D3DBLEND_DESTALPHA, D3DBLEND_ZERO, 0xF800},
    };
    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    m_pDev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);  // diffuse alpha (no texture)
    m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    for (const CASE& c : cases) {
        FillAll(m_pBack, kWhite);
        m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, c.dwSrc);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, c.dwDest);
        ASSERT_EQ(DrawQuad(0, 0, 2, 2, 0.0f, RGBA_MAKE(255, 0, 0, 128)), DD_OK);
        EXPECT_EQ(Px(0, 0), c.wWant) << "blend " << c.dwSrc << "/" << c.dwDest;
    }
}

TEST_F(RasterTest, DepthLessEqualPassesEqualDepthBitForBit)
{
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, 0.0f, RGB_MAKE(255, 0, 0)), DD_OK);
    const uint16_t z0 = Zv(3, 3);
    EXPECT_EQ(z0, (uint16_t)(239.0f / 999.0f * 65535.0f + 0.5f));
    EXPECT_EQ(Zv(0, 0), z0);
    EXPECT_EQ(Zv(7, 7), z0);
    ASSERT_EQ(DrawQuad(2, 2, 6, 6, 0.0f, RGB_MAKE(0, 255, 0)), DD_OK);  // equal depth: passes
    EXPECT_EQ(Px(3, 3), 0x07E0);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, 10.0f, RGB_MAKE(0, 0, 255)), DD_OK);  // behind: fails
    EXPECT_EQ(Px(3, 3), 0x07E0);
    EXPECT_EQ(Px(0, 0), 0xF800);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, -10.0f, RGB_MAKE(0, 0, 255)), DD_OK);  // in front: passes
    EXPECT_EQ(Px(0, 0), 0x001F);
    EXPECT_LT(Zv(0, 0), z0);

    m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS);
    const uint16_t zNear = Zv(0, 0);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, -10.0f, RGB_MAKE(255, 255, 255)), DD_OK);  // equal: LESS fails
    EXPECT_EQ(Px(0, 0), 0x001F);
    EXPECT_EQ(Zv(0, 0), zNear);
}

TEST_F(RasterTest, DepthWriteOffAndDepthOff)
{
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, -100.0f, RGB_MAKE(255, 0, 0)), DD_OK);
    EXPECT_EQ(Px(1, 1), 0xF800);
    EXPECT_EQ(Zv(1, 1), 0xFFFF);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, 100.0f, RGB_MAKE(0, 255, 0)), DD_OK);  // nothing nearer was written
    EXPECT_EQ(Px(1, 1), 0x07E0);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, 500.0f, RGB_MAKE(0, 0, 255)), DD_OK);  // no test, no write
    EXPECT_EQ(Px(1, 1), 0x001F);
    EXPECT_EQ(Zv(1, 1), Zv(2, 2));
    EXPECT_NE(Zv(1, 1), (uint16_t)(739.0f / 999.0f * 65535.0f + 0.5f));
}

TEST_F(RasterTest, TextureColourKeyDiscardsColourAndDepth)
{
    const DDPIXELFORMAT pf = A1R5G5B5();
    IDirectDrawSurface7* pTex = Texture(4, 4, pf);
    ASSERT_NE(pTex, nullptr);
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 4; x++) {
            // Key (pure green, alpha clear) on the diagonal, opaque red elsewhere.
            Row16(pTex, y)[x] = (x == y) ? 0x03E0 : 0xFC00;
        }
    }
    DDCOLORKEY ck = {0x03E0, 0x03E0};
    pTex->SetColorKey(DDCKEY_SRCBLT, &ck);
    FillAll(m_pBack, 0x001F);
    m_pDev->SetTexture(0, pTex);
    ModulateTexture();
    m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    D3DLVERTEX v[4];
    Quad(v, 100, 100, 104, 104, 0.0f, 0xFFFFFFFF);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 4; x++) {
            if (x == y) {
                EXPECT_EQ(Px(100 + x, 100 + y), 0x001F);
                EXPECT_EQ(Zv(100 + x, 100 + y), 0xFFFF);
            } else {
                EXPECT_EQ(Px(100 + x, 100 + y), 0xF800);
                EXPECT_NE(Zv(100 + x, 100 + y), 0xFFFF);
            }
        }
    }
    // Keying off: the key colour is drawn.
    m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(100, 100), 0x07E0);
    m_pDev->SetTexture(0, nullptr);
    EXPECT_EQ(pTex->Release(), 0u);
}

TEST_F(RasterTest, SpriteVerticesSampleEachTexelOnce)
{
    // A 5 x 3 picture in an 8 x 4 texture, drawn with the half-texel inset the sprites use.
    const DDPIXELFORMAT pf = [] {
        DDPIXELFORMAT f = {};
        f.dwSize = sizeof(f);
        f.dwFlags = DDPF_RGB;
        f.dwRGBBitCount = 16;
        f.dwRBitMask = 0xF800;
        f.dwGBitMask = 0x07E0;
        f.dwBBitMask = 0x001F;
        return f;
    }();
    IDirectDrawSurface7* pTex = Texture(8, 4, pf);
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 8; x++) {
            Row16(pTex, y)[x] = (uint16_t)(0x0841 * (x + 1) + 0x1000 * y);
        }
    }
    m_pDev->SetTexture(0, pTex);
    ModulateTexture();
    D3DLVERTEX v[4];
    Quad(v, 200, 300, 205, 303, 0.0f, 0xFFFFFFFF, 0.5f / 8, 0.5f / 4, 4.5f / 8, 2.5f / 4);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    for (int y = 0; y < 3; y++) {
        for (int x = 0; x < 5; x++) {
            EXPECT_EQ(Px(200 + x, 300 + y), Row16(pTex, y)[x]) << x << "," << y;
        }
    }
    m_pDev->SetTexture(0, nullptr);
    pTex->Release();
}

TEST_F(RasterTest, LightingOfQuadFacingTheLight)
{
    D3DMATERIAL7 mtrl = {};
    mtrl.diffuse = D3DCOLORVALUE{{0.5f}, {0.25f}, {1.0f}, {1.0f}};
    m_pDev->SetMaterial(&mtrl);
    m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    D3DVERTEX v[4] = {};
    const float xs[4] = {0, 4, 4, 0}, ys[4] = {0, 0, -4, -4};
    for (int i = 0; i < 4; i++) {
        v[i].x = xs[i];
        v[i].y = ys[i];
        v[i].nz = -1.0f;
    }
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(1, 1), ((128 >> 3) << 11) | ((64 >> 2) << 5) | 31);  // (128, 64, 255): diffuse x N.L = 1
    // Facing away: only the (zero) ambient material remains.
    for (D3DVERTEX& x : v) {
        x.nz = 1.0f;
    }
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(1, 1), 0);
    // Ambient: render-state ambient x material ambient + light ambient x material ambient.
    mtrl.ambient = D3DCOLORVALUE{{0.25f}, {0.0f}, {0.0f}, {0.0f}};
    m_pDev->SetMaterial(&mtrl);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(1, 1), (128 >> 3) << 11);  // (.25 + .25) x 255 = 127.5 -> 128
}

TEST_F(RasterTest, CullModesFollowScreenWinding)
{
    D3DLVERTEX v[4];
    Quad(v, 0, 0, 4, 4, 0.0f, RGB_MAKE(255, 255, 255));  // clockwise on screen
    D3DLVERTEX r[4] = {v[0], v[3], v[2], v[1]};          // counter-clockwise
    struct CASE {
        DWORD dwCull;
        bool bClockwiseDrawn, bCounterDrawn;
    };
    for (const CASE& c : {CASE{D3DCULL_CCW, true, false}, CASE{D3DCULL_CW, false, true}, CASE{D3DCULL_NONE, true, true}}) {
        m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, c.dwCull);
        for (int k = 0; k < 2; k++) {
            m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
            ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, k == 0 ? v : r, 4, 0), DD_OK);
            EXPECT_EQ(Px(1, 1) == kWhite, k == 0 ? c.bClockwiseDrawn : c.bCounterDrawn) << c.dwCull << " " << k;
        }
    }
}

TEST_F(RasterTest, ClippingAtEveryEdgeAndDepthRange)
{
    Additive();
    // A quad far larger than the screen: every pixel once, nothing outside.
    ASSERT_EQ(DrawQuad(-5000, -4000, 6000, 5000, 0.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    EXPECT_EQ(Changed(0).size(), 640u * 480u);
    EXPECT_EQ(Px(0, 0), 0x0841);
    EXPECT_EQ(Px(639, 479), 0x0841);
    // Hanging over each edge.
    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    ASSERT_EQ(DrawQuad(-10, -10, 10, 10, 0.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    ASSERT_EQ(DrawQuad(630, 470, 650, 490, 0.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    EXPECT_EQ(Changed(0).size(), 200u);
    // Depth: world z in [-239, 760] is inside; beyond is cut away.
    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 761.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, -240.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    EXPECT_EQ(Changed(0).size(), 0u);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 759.0f, RGB_MAKE(8, 8, 8)), DD_OK);
    EXPECT_EQ(Changed(0).size(), 16u);
    // A quad tilted through the far plane keeps only its near part.
    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    D3DLVERTEX v[4];
    Quad(v, 0, 0, 100, 10, 0.0f, RGB_MAKE(8, 8, 8));
    v[1].z = v[2].z = 1520.0f;  // x = 50 is at z = 760
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    EXPECT_NE(Px(48, 5), 0);
    EXPECT_EQ(Px(52, 5), 0);
}

TEST_F(RasterTest, StageOperationsOnDiffuseAndFactor)
{
    struct CASE {
        DWORD dwOp, dwArg1, dwArg2;
        uint16_t wWant;
    };
    // Diffuse (64, 128, 192); texture factor (128, 128, 128) alpha 64.
    const CASE cases[] = {
        {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TFACTOR, ((64 >> 3) << 11) | ((128 >> 2) << 5) | (192 >> 3)},
        {D3DTOP_SELECTARG2, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0x8410},
        {D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TFACTOR, ((32 >> 3) << 11) | ((64 >> 2) << 5) | (96 >> 3)},
        {D3DTOP_MODULATE2X, D3DTA_DIFFUSE, D3DTA_TFACTOR, ((64 >> 3) << 11) | ((128 >> 2) << 5) | (192 >> 3)},
        {D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_TFACTOR, ((192 >> 3) << 11) | ((255 >> 2) << 5) | (255 >> 3)},
        {D3DTOP_SUBTRACT, D3DTA_TFACTOR, D3DTA_DIFFUSE, ((64 >> 3) << 11)},
        {D3DTOP_SELECTARG1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT, 0, ((191 >> 3) << 11) | ((127 >> 2) << 5) | (63 >> 3)},
        {D3DTOP_SELECTARG1, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE, 0, ((64 >> 3) << 11) | ((64 >> 2) << 5) | (64 >> 3)},
        {D3DTOP_BLENDFACTORALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, ((112 >> 3) << 11) | ((128 >> 2) << 5) | (144 >> 3)},
        {D3DTOP_DISABLE, D3DTA_TFACTOR, D3DTA_TFACTOR, ((64 >> 3) << 11) | ((128 >> 2) << 5) | (192 >> 3)},
    };
    m_pDev->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, RGBA_MAKE(128, 128, 128, 64));
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    for (const CASE& c : cases) {
        m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, c.dwOp);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG1, c.dwArg1);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, c.dwArg2);
        ASSERT_EQ(DrawQuad(0, 0, 2, 2, 0.0f, RGB_MAKE(64, 128, 192)), DD_OK);
        EXPECT_EQ(Px(0, 0), c.wWant) << "op " << c.dwOp;
    }
    m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, 24);  // not one we draw
    EXPECT_EQ(DrawQuad(0, 0, 2, 2, 0.0f, 0), D3DERR_UNSUPPORTEDCOLOROPERATION);
}

TEST_F(RasterTest, SpecularAddedAfterTexturingWhenEnabled)
{
    D3DLVERTEX v[4];
    Quad(v, 0, 0, 2, 2, 0.0f, RGB_MAKE(100, 0, 0));
    for (D3DLVERTEX& x : v) {
        x.specular = RGB_MAKE(200, 0, 40);
    }
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(0, 0), (100 >> 3) << 11);
    m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(0, 0), (31 << 11) | (40 >> 3));
}

TEST_F(RasterTest, GouraudColoursAndLines)
{
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    D3DLVERTEX v[4];
    Quad(v, 0, 0, 256, 1, 0.0f, 0);
    v[1].color = v[2].color = RGB_MAKE(255, 255, 255);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Px(0, 0), 0);  // centre .5 of 256: 0.498 -> 0
    EXPECT_EQ(Px(255, 0), 0xFFFF);
    EXPECT_LT(Px(100, 0), Px(200, 0));
    D3DLVERTEX line[4];
    Quad(line, 10.5f, 100.5f, 10.5f, 100.5f, 0.0f, RGB_MAKE(255, 0, 0));
    line[1] = line[0];
    line[1].x = 20.5f;
    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_LINELIST, D3DFVF_LVERTEX, line, 2, 0), DD_OK);
    EXPECT_EQ(Changed(0).size(), 10u);  // the last pixel is left out
    EXPECT_EQ(Px(10, 100), 0xF800);
    EXPECT_EQ(Px(20, 100), 0);
}

TEST_F(RasterTest, IndexedAndStripPrimitives)
{
    m_pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    D3DLVERTEX v[4];
    Quad(v, 0, 0, 4, 4, 0.0f, RGB_MAKE(255, 255, 255));
    // Strip order: top-left, top-right, bottom-left, bottom-right; the second triangle is flipped
    // for culling, so both survive CCW culling.
    D3DLVERTEX strip[4] = {v[0], v[1], v[3], v[2]};
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_LVERTEX, strip, 4, 0), DD_OK);
    EXPECT_EQ(Changed(0).size(), 16u);
    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    WORD idx[6] = {0, 1, 2, 0, 2, 3};
    ASSERT_EQ(m_pDev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_LVERTEX, v, 4, idx, 6, 0), DD_OK);
    EXPECT_EQ(Changed(0).size(), 16u);
    WORD bad[3] = {0, 1, 4};
    EXPECT_EQ(m_pDev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_LVERTEX, v, 4, bad, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLELIST, 0x1, v, 3, 0), D3DERR_INVALIDVERTEXFORMAT);
    EXPECT_EQ(m_pDev->DrawPrimitive((D3DPRIMITIVETYPE)9, D3DFVF_LVERTEX, v, 3, 0), D3DERR_INVALIDPRIMITIVETYPE);
}

TEST_F(RasterTest, PretransformedVerticesAreScreenPositions)
{
    D3DTLVERTEX v[4];
    const float xs[4] = {10, 14, 14, 10}, ys[4] = {20, 20, 24, 24};
    for (int i = 0; i < 4; i++) {
        v[i] = ScreenVertex(xs[i], ys[i], RGB_MAKE(0, 0, 255));
    }
    ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, v, 4, 0), DD_OK);
    EXPECT_EQ(Changed(0).size(), 16u);
    EXPECT_EQ(Px(10, 20), 0x001F);
    EXPECT_EQ(Zv(10, 20), 32768);
}

TEST_F(RasterTest, ScenesDoNotNestButDrawingOutsideIsAllowed)
{
    EXPECT_EQ(m_pDev->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(m_pDev->BeginScene(), D3D_OK);
    EXPECT_EQ(m_pDev->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(m_pDev->EndScene(), D3D_OK);
    EXPECT_EQ(DrawQuad(0, 0, 1, 1, 0.0f, RGB_MAKE(255, 255, 255)), D3D_OK);
    EXPECT_EQ(Px(0, 0), kWhite);
}

TEST_F(RasterTest, ClearCutsRectanglesToTheViewport)
{
    D3DVIEWPORT7 vp = {10, 10, 20, 20, 0.0f, 1.0f};
    ASSERT_EQ(m_pDev->SetViewport(&vp), D3D_OK);
    D3DRECT rc = {{0}, {0}, {15}, {15}};
    ASSERT_EQ(m_pDev->Clear(1, &rc, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, RGB_MAKE(255, 0, 0), 0.5f, 0), D3D_OK);
    EXPECT_EQ(Changed(0).size(), 25u);
    EXPECT_EQ(Px(10, 10), 0xF800);
    EXPECT_EQ(Zv(14, 14), 32768);
    EXPECT_EQ(Zv(15, 15), 0xFFFF);
    D3DVIEWPORT7 bad = {630, 0, 20, 20, 0.0f, 1.0f};
    EXPECT_EQ(m_pDev->SetViewport(&bad), DDERR_INVALIDPARAMS);
}

// The specialised loops for the keyed opaque and the additive set-ups must give exactly what the
// general loop gives.
TEST_F(RasterTest, FastPathsMatchTheGeneralPath)
{
    const DDPIXELFORMAT pf = A1R5G5B5();
    IDirectDrawSurface7* pTex = Texture(32, 16, pf);
    uint32_t seed = 12345;
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 32; x++) {
            seed = seed * 214013 + 2531011;
            const uint16_t w = (uint16_t)(seed >> 16);
            Row16(pTex, y)[x] = (w % 5 == 0) ? 0x03E0 : (uint16_t)(w | 0x8000);
        }
    }
    DDCOLORKEY ck = {0x03E0, 0x03E0};
    pTex->SetColorKey(DDCKEY_SRCBLT, &ck);
    m_pDev->SetTexture(0, pTex);
    m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    ModulateTexture();

    auto scene = [&](bool bFast) {
        CRasterizer::EnableFastPaths(bFast);
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, RGB_MAKE(30, 60, 90), 1.0f, 0);
        uint32_t s = 99;
        for (int n = 0; n < 40; n++) {
            s = s * 214013 + 2531011;
            const float cx = (float)(s >> 16 & 511) + 40.0f, cy = (float)(s >> 8 & 255) + 100.0f;
            D3DLVERTEX v[4];
            Quad(v, cx - 37.3f, cy - 21.7f, cx + 41.9f, cy + 19.1f, (float)(n % 7) * 10.0f - 30.0f,
                 RGBA_MAKE(255, 255 - n * 3, 128 + n, 255), -0.3f, 0.1f, 2.7f, 1.9f);
            v[1].color = RGB_MAKE(n * 6, 255, 90);  // Gouraud across the quad
            v[2].specular = RGB_MAKE(40, 0, n);
            v[3].x += (float)(n % 5) * 3.1f;  // not a rectangle
            const bool bAdd = n % 2 == 1;
            m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, bAdd);
            m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, bAdd ? D3DBLEND_ONE : D3DBLEND_ONE);
            m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, bAdd ? D3DBLEND_ONE : D3DBLEND_ZERO);
            m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, !bAdd);
            m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0);
        }
        std::vector<uint16_t> out;
        for (int y = 0; y < 480; y++) {
            out.insert(out.end(), Row16(m_pBack, y), Row16(m_pBack, y) + 640);
            out.insert(out.end(), Row16(m_pZ, y), Row16(m_pZ, y) + 640);
        }
        return out;
    };
    const std::vector<uint16_t> fast = scene(true);
    const std::vector<uint16_t> general = scene(false);
    CRasterizer::EnableFastPaths(true);
    EXPECT_TRUE(fast == general);

    // Unlit white rectangles without depth: the tightest loop.
    auto flat = [&](bool bFast) {
        CRasterizer::EnableFastPaths(bFast);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, RGB_MAKE(30, 60, 90), 1.0f, 0);
        for (int n = 0; n < 30; n++) {
            D3DLVERTEX v[4];
            const float x = (float)(n * 19 % 500) + 0.37f, y = (float)(n * 31 % 380) + 0.61f;
            Quad(v, x, y, x + 97.3f, y + 61.9f, 0.0f, 0xFFFFFFFF, -0.7f, 0.3f, 3.1f, 1.3f);
            m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, n % 2);
            m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, n % 2 ? D3DBLEND_ONE : D3DBLEND_ZERO);
            m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, n % 3 != 0);
            m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0);
        }
        std::vector<uint16_t> out;
        for (int y = 0; y < 480; y++) {
            out.insert(out.end(), Row16(m_pBack, y), Row16(m_pBack, y) + 640);
        }
        return out;
    };
    EXPECT_TRUE(flat(true) == flat(false));
    CRasterizer::EnableFastPaths(true);
    const uint16_t wClear = (30 >> 3) << 11 | (60 >> 2) << 5 | (90 >> 3);
    EXPECT_GT(std::count_if(fast.begin(), fast.end(), [&](uint16_t w) { return w != wClear && w != 0xFFFF; }),
              50000);
    m_pDev->SetTexture(0, nullptr);
    pTex->Release();
}

} // namespace
