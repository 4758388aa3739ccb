// The eight-pixels-at-a-time loop for constant-colour textured spans without depth (glows and
// sprites) against the general per-pixel loop: every picture must be the same bit for bit.
#include <algorithm>
#include <vector>

#include "GfxFixture.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/DDObjects.h"
#include "platform/ddraw/PixelFormat.h"

namespace {

constexpr D3DCOLOR kClear = RGB_MAKE(30, 60, 90);

// A quad in screen pixels with its texture corners.
struct QUADCASE {
    float l, t, r, b;
    float u0, v0, u1, v1;
};

class FastPathTest : public TexturedGfxTest {
protected:
    // A texture of random texels, about one in six of them the key; the key is set on it.
    void MakeTexture(PIXELKIND eKind, int w, int h, uint16_t wKey)
    {
        const DDPIXELFORMAT pf = MakePixelFormat(eKind);
        NewTexture(eKind, w, h);
        if (HasFatalFailure()) {
            return;
        }
        uint32_t seed = 777u + (uint32_t)(w * 31 + h);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                seed = seed * 214013 + 2531011;
                const uint16_t wRand = (uint16_t)(seed >> 12);
                // The alpha bits of a keyed texel vary: the key ignores them.
                Row16(m_pTex, y)[x] = (seed >> 28) % 6 == 0 ? (uint16_t)(wKey | (wRand & pf.dwRGBAlphaBitMask)) : wRand;
            }
        }
        DDCOLORKEY ck = {wKey, wKey};
        ASSERT_EQ(m_pTex->SetColorKey(DDCKEY_SRCBLT, &ck), DD_OK);
        ASSERT_EQ(m_pDev->SetTexture(0, m_pTex), DD_OK);
    }

    void SetLit(bool bLit)
    {
        D3DMATERIAL7 mtrl = {};
        mtrl.diffuse = D3DCOLORVALUE{{0.6f}, {0.35f}, {0.2f}, {1.0f}};
        mtrl.ambient = D3DCOLORVALUE{{0.1f}, {0.15f}, {0.05f}, {1.0f}};
        mtrl.specular = D3DCOLORVALUE{{0.3f}, {0.2f}, {0.1f}, {1.0f}};
        m_pDev->SetMaterial(&mtrl);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, bLit);
    }

    // Draws the quads: lit ones as normal vertices facing the light, unlit ones in colour c.
    void DrawQuads(const std::vector<QUADCASE>& quads, bool bLit, D3DCOLOR c, D3DCOLOR spec)
    {
        for (const QUADCASE& q : quads) {
            if (bLit) {
                D3DVERTEX v[4] = {};
                const float xs[4] = {q.l, q.r, q.r, q.l}, ys[4] = {q.t, q.t, q.b, q.b};
                const float us[4] = {q.u0, q.u1, q.u1, q.u0}, vs[4] = {q.v0, q.v0, q.v1, q.v1};
                for (int i = 0; i < 4; i++) {
                    v[i].x = xs[i];
                    v[i].y = -ys[i];
                    v[i].nz = -1.0f;
                    v[i].tu = us[i];
                    v[i].tv = vs[i];
                }
                ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0), DD_OK);
            } else {
                D3DLVERTEX v[4];
                Quad(v, q.l, q.t, q.r, q.b, 0.0f, c, q.u0, q.v0, q.u1, q.v1);
                for (D3DLVERTEX& x : v) {
                    x.specular = spec;
                }
                ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
            }
        }
    }

    // Texture x diffuse added (ONE/ONE) with the specular colour, no depth.
    void AddedWithSpecular()
    {
        ModulateTexture();
        m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    }

    // DepthTestedSpansMatchTheGeneralPath on a texture of the given size.
    void DepthTestedSpans(int nTexW, int nTexH);

    std::vector<uint16_t> Picture()
    {
        std::vector<uint16_t> out;
        for (int y = 0; y < 480; y++) {
            out.insert(out.end(), Row16(m_pBack, y), Row16(m_pBack, y) + 640);
        }
        return out;
    }

    // Pixels that differ between two pictures.
    static size_t Differences(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b)
    {
        size_t n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); i++) {
            n += a[i] != b[i];
        }
        return n + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
    }

    // Pixels that are not the clear colour.
    static size_t Drawn(const std::vector<uint16_t>& picture)
    {
        const uint16_t wClear = Pack565(30, 60, 90);
        size_t n = 0;
        for (const uint16_t w : picture) {
            n += w != wClear;
        }
        return n;
    }
};

// Quads with one texel per pixel (read in place from the texture row) and others that are scaled,
// mirrored, wrapped or run off the texture; widths around the eight-pixel groups and the 64-pixel
// runs; some cut by the screen edges.
std::vector<QUADCASE> QuadCases(int nTexW, int nTexH)
{
    const float fW = (float)nTexW, fH = (float)nTexH;
    std::vector<QUADCASE> q;
    const int widths[] = {1, 3, 7, 8, 9, 15, 16, 17, 63, 64, 65, 129};
    float y = 2.0f;
    for (const int w : widths) {
        const float fw = (float)w;
        q.push_back({10.0f, y, 10.0f + fw, y + 5.0f, 0.0f, 0.0f, fw / fW, 5.0f / fH});  // 1:1
        q.push_back({150.0f, y, 150.0f + fw, y + 5.0f, 3.0f / fW, 1.0f / fH, (3.0f + fw) / fW, 6.0f / fH});
        q.push_back({300.37f, y + 0.61f, 300.37f + fw, y + 5.61f, -0.3f, 0.1f, 2.7f, 1.9f});
        q.push_back({470.5f, y, 470.5f + fw, y + 3.0f, 1.0f, 0.0f, 0.0f, 1.0f});  // mirrored
        y += 9.0f;
    }
    q.push_back({-20.0f, 200.0f, 45.0f, 240.0f, 0.0f, 0.0f, 65.0f / fW, 40.0f / fH});        // cut at the left
    q.push_back({600.25f, 250.5f, 671.0f, 290.0f, 0.25f, 0.5f, 1.75f, 2.0f});               // at the right
    q.push_back({200.0f, -13.0f, 261.0f, 20.0f, 0.0f, 0.0f, 61.0f / fW, 33.0f / fH});       // at the top
    q.push_back({250.7f, 455.2f, 350.1f, 500.9f, -1.5f, -2.5f, 3.5f, 0.5f});                // at the bottom
    q.push_back({100.0f, 300.0f, 100.0f + 2.0f * fW, 300.0f + fH, 0.0f, 0.0f, 2.0f, 1.0f}); // wraps once
    return q;
}

TEST_F(FastPathTest, ConstantColourSpansMatchTheGeneralPath)
{
    struct TEXCASE {
        PIXELKIND eKind;
        int w, h;
        uint16_t wKey;
        bool bClamp;
    };
    const TEXCASE texes[] = {
        {PK_R5G6B5, 32, 16, 0x07E0, false},   {PK_A1R5G5B5, 16, 32, 0x03E0, false},
        {PK_A4R4G4B4, 24, 10, 0x00F0, false}, {PK_X1R5G5B5, 64, 8, 0x7C00, true},
        {PK_R5G6B5, 20, 12, 0xF81F, true},
    };
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    size_t nCase = 0;
    for (const TEXCASE& tc : texes) {
        MakeTexture(tc.eKind, tc.w, tc.h, tc.wKey);
        if (HasFatalFailure()) {
            return;
        }
        const std::vector<QUADCASE> quads = QuadCases(tc.w, tc.h);
        ModulateTexture();
        const DWORD dwAddress = tc.bClamp ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
        m_pDev->SetTextureStageState(0, D3DTSS_ADDRESSU, dwAddress);
        m_pDev->SetTextureStageState(0, D3DTSS_ADDRESSV, dwAddress);
        for (int nVariant = 0; nVariant < 8; nVariant++) {
            const bool bAdd = nVariant & 1, bKey = nVariant & 2, bLit = nVariant & 4;
            m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
            m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
            m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, bAdd ? D3DBLEND_ONE : D3DBLEND_ZERO);
            m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, bAdd);
            m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, bKey);
            SetLit(bLit);
            // Unlit: white, a colour, a colour with specular on, and white with a specular blue
            // alone (the lasers' set-up).
            for (int nColour = 0; nColour < (bLit ? 2 : 4); nColour++) {
                const D3DCOLOR c = nColour == 0 || nColour == 3 ? 0xFFFFFFFF : RGBA_MAKE(200, 133, 61, 255);
                const D3DCOLOR spec = nColour == 2 ? RGB_MAKE(40, 7, 90) : (nColour == 3 ? RGB_MAKE(0, 0, 5) : 0);
                m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, nColour != 0);
                std::vector<uint16_t> pictures[2];
                for (int nFast = 0; nFast < 2; nFast++) {
                    CRasterizer::EnableFastPaths(nFast == 1);
                    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
                    DrawQuads(quads, bLit, c, spec);
                    if (HasFatalFailure()) {
                        return;
                    }
                    pictures[nFast] = Picture();
                }
                CRasterizer::EnableFastPaths(true);
                EXPECT_GT(Drawn(pictures[1]), 5000u);
                EXPECT_EQ(Differences(pictures[0], pictures[1]), 0u)
                    << "kind " << tc.eKind << " " << tc.w << "x" << tc.h << (bAdd ? " added" : " opaque")
                    << (bKey ? " keyed" : "") << (bLit ? " lit" : " unlit") << " colour " << nColour;
                nCase++;
            }
        }
        m_pDev->SetTexture(0, nullptr);
        m_pTex->Release();
        m_pTex = nullptr;
    }
    EXPECT_EQ(nCase, 5u * 4u * (2u + 4u));
}

// Quads under a moved, a turned and a scaled world, and through a viewport smaller than the target.
TEST_F(FastPathTest, WorldTransformsAndViewportMatchTheGeneralPath)
{
    MakeTexture(PK_A1R5G5B5, 32, 32, 0x03E0);
    ASSERT_FALSE(HasFatalFailure());
    ModulateTexture();
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    const std::vector<QUADCASE> quads = QuadCases(32, 32);
    for (int nWorld = 0; nWorld < 4; nWorld++) {
        D3DXMATRIX m;
        switch (nWorld) {
        case 0: D3DXMatrixTranslation(&m, 17.0f, -9.0f, 0.0f); break;
        case 1: D3DXMatrixTranslation(&m, 3.3f, -2.71f, 0.0f); break;
        case 2: D3DXMatrixRotationZ(&m, 0.3f); break;
        default: D3DXMatrixScaling(&m, 1.37f, 0.61f, 1.0f); break;
        }
        m_pDev->SetTransform(D3DTRANSFORMSTATE_WORLD, &m);
        D3DVIEWPORT7 vp = {0, 0, 640, 480, 0.0f, 1.0f};
        if (nWorld == 3) {
            vp = D3DVIEWPORT7{37, 23, 501, 397, 0.0f, 1.0f};
        }
        ASSERT_EQ(m_pDev->SetViewport(&vp), DD_OK);
        std::vector<uint16_t> pictures[2];
        for (int nFast = 0; nFast < 2; nFast++) {
            CRasterizer::EnableFastPaths(nFast == 1);
            m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
            DrawQuads(quads, false, RGBA_MAKE(255, 190, 120, 255), 0);
            ASSERT_FALSE(HasFatalFailure());
            pictures[nFast] = Picture();
        }
        EXPECT_EQ(Differences(pictures[0], pictures[1]), 0u) << "world " << nWorld;
        EXPECT_GT(Drawn(pictures[1]), 5000u) << "world " << nWorld;
    }
}

// Constant-colour textured spans with the depth test on, written or not, over depths equal to the
// quads' own and one either side; one quad's depth changes along its spans. On a texture wrapped
// by mask and on one whose sizes are not powers of two (the boss's parts).
TEST_F(FastPathTest, DepthTestedSpansMatchTheGeneralPath)
{
    for (const bool bPow2 : {true, false}) {
        SCOPED_TRACE(bPow2 ? "32x16" : "48x24");
        DepthTestedSpans(bPow2 ? 32 : 48, bPow2 ? 16 : 24);
        if (HasFatalFailure()) {
            return;
        }
        m_pDev->SetTexture(0, nullptr);
        m_pTex->Release();
        m_pTex = nullptr;
    }
}

// One draw of triangles of several colours, each of one colour throughout, a colour coming back
// after others: each shades as its own colour asks, as the general path shades it.
TEST_F(FastPathTest, TrianglesOfSeveralColoursInOneDrawMatchTheGeneralPath)
{
    MakeTexture(PK_X1R5G5B5, 32, 32, 0x7C00);
    ASSERT_FALSE(HasFatalFailure());
    AddedWithSpecular();
    const D3DCOLOR colours[4] = {0xFFFFFFFF, RGBA_MAKE(200, 133, 61, 255), 0xFFFFFFFF, RGBA_MAKE(9, 250, 120, 255)};
    const D3DCOLOR specs[4] = {0, RGB_MAKE(40, 7, 90), RGB_MAKE(0, 0, 1), 0};
    std::vector<D3DLVERTEX> v;
    for (int i = 0; i < 24; i++) {
        D3DLVERTEX q[4];
        const float l = 10.0f + 26.0f * (float)(i % 12), t = 20.0f + 70.0f * (float)(i / 12);
        Quad(q, l, t, l + 23.0f, t + 60.0f, 0.0f, colours[i % 4], 0.1f, 0.0f, 1.7f, 2.1f);
        for (const int k : {0, 1, 2, 0, 2, 3}) {
            q[k].specular = specs[i % 4];
            v.push_back(q[k]);
        }
    }
    std::vector<uint16_t> pictures[2];
    for (int nFast = 0; nFast < 2; nFast++) {
        CRasterizer::EnableFastPaths(nFast == 1);
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_LVERTEX, v.data(), (DWORD)v.size(), 0), DD_OK);
        pictures[nFast] = Picture();
    }
    CRasterizer::EnableFastPaths(true);
    EXPECT_GT(Drawn(pictures[1]), 20000u);
    EXPECT_EQ(Differences(pictures[0], pictures[1]), 0u);
}

void FastPathTest::DepthTestedSpans(int nTexW, int nTexH)
{
    MakeTexture(PK_A1R5G5B5, nTexW, nTexH, 0x03E0);
    ASSERT_FALSE(HasFatalFailure());
    ModulateTexture();
    std::vector<QUADCASE> quads = QuadCases(nTexW, nTexH);
    auto draw = [&](bool bLit, D3DCOLOR c) {
        DrawQuads(quads, bLit, c, 0);
        D3DLVERTEX v[4];
        Quad(v, 380.3f, 330.6f, 470.9f, 400.2f, 0.0f, c, 0.0f, 0.0f, 2.5f, 3.0f);
        v[1].z = 200.0f;
        v[2].z = 90.0f;
        ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    };
    const std::vector<uint16_t> zProbe = ProbeDepths([&] { draw(false, 0xFFFFFFFF); });
    ASSERT_FALSE(HasFatalFailure());
    const DWORD funcs[] = {D3DCMP_LESSEQUAL, D3DCMP_LESS, D3DCMP_EQUAL, D3DCMP_GREATER, D3DCMP_NEVER, D3DCMP_ALWAYS};
    size_t nCase = 0;
    for (const DWORD dwFunc : funcs) {
        for (int nVariant = 0; nVariant < 8; nVariant++) {
            const bool bAdd = nVariant & 1, bKey = nVariant & 2, bWrite = nVariant & 4;
            const bool bLit = nCase % 3 == 1;
            std::vector<uint16_t> pictures[2];
            for (int nFast = 0; nFast < 2; nFast++) {
                CRasterizer::EnableFastPaths(nFast == 1);
                PaintBackground(zProbe);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, dwFunc);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, bWrite);
                m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, bAdd);
                m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
                m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
                m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, bKey);
                SetLit(bLit);
                draw(bLit, nCase % 3 == 0 ? 0xFFFFFFFF : RGBA_MAKE(200, 133, 61, 255));
                ASSERT_FALSE(HasFatalFailure());
                pictures[nFast] = Snapshot();
            }
            EXPECT_TRUE(pictures[0] == pictures[1])
                << "func " << dwFunc << (bAdd ? " added" : " opaque") << (bKey ? " keyed" : "")
                << (bWrite ? " written" : "") << (bLit ? " lit" : "");
            nCase++;
        }
    }
    EXPECT_EQ(nCase, 6u * 8u);
}

// Exact values across a group of eight and a tail: texel (16, 32, 8) of 5/6/5 bits is (132, 130,
// 66); times (200, 100, 50) rounded is (104, 51, 13); added to (99, 101, 99) gives (203, 152, 112).
TEST_F(FastPathTest, LitAdditiveTexelRoundsThenSaturates)
{
    MakeTexture(PK_R5G6B5, 16, 4, 0x0001);
    ASSERT_FALSE(HasFatalFailure());
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 16; x++) {
            Row16(m_pTex, y)[x] = (16 << 11) | (32 << 5) | 8;
        }
    }
    ModulateTexture();
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    FillAll(m_pBack, 0x632C);  // (99, 101, 99)
    ASSERT_EQ(DrawQuad(20, 30, 31, 32, 0.0f, RGB_MAKE(200, 100, 50)), DD_OK);
    const uint16_t wExpected = (uint16_t)((203 >> 3) << 11 | (152 >> 2) << 5 | (112 >> 3));
    for (int y = 30; y < 32; y++) {
        for (int x = 20; x < 31; x++) {
            EXPECT_EQ(Px(x, y), wExpected) << x << "," << y;
        }
    }
    EXPECT_EQ(Px(31, 30), 0x632C);
    EXPECT_EQ(Px(19, 30), 0x632C);
    // Again: the stored (25, 38, 14) of 5/6/5 bits widens to (206, 154, 115); adding (104, 51, 13) saturates
    // red and gives (255, 205, 128).
    ASSERT_EQ(DrawQuad(20, 30, 31, 32, 0.0f, RGB_MAKE(200, 100, 50)), DD_OK);
    EXPECT_EQ(Px(25, 31), (uint16_t)(31 << 11 | 51 << 5 | 16));
}

// A depth buffer cleared whole and not written since is known to hold one value (its clear may
// still be waiting): textured and untextured quads over such a buffer, below, at and above the
// quads' depth, under every test, must draw as the general path draws them and as they draw over
// the same values once the buffer has been written.
TEST_F(FastPathTest, SpansOverAClearedDepthBufferMatchTheGeneralPath)
{
    MakeTexture(PK_A1R5G5B5, 32, 16, 0x03E0);
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<QUADCASE> quads = QuadCases(32, 16);
    const std::vector<uint16_t> zProbe = ProbeDepths([&] { DrawQuads(quads, false, 0xFFFFFFFF, 0); });
    ASSERT_FALSE(HasFatalFailure());
    const auto itDrawn = std::find_if(zProbe.begin(), zProbe.end(), [](uint16_t z) { return z != 0xFFFF; });
    ASSERT_NE(itDrawn, zProbe.end());
    const uint16_t zQuad = *itDrawn;  // every quad lies at one depth
    ASSERT_GT(zQuad, 0);
    ASSERT_LT(zQuad, 0xFFFF);
    CDDSurface* pZ = CDDSurface::From(m_pZ);
    const DWORD funcs[] = {D3DCMP_LESSEQUAL, D3DCMP_LESS, D3DCMP_EQUAL, D3DCMP_GREATER, D3DCMP_NEVER, D3DCMP_ALWAYS};
    size_t nCase = 0, nDrawn = 0;
    for (const DWORD dwFunc : funcs) {
        for (int nVariant = 0; nVariant < 12; nVariant++) {
            const bool bAdd = nVariant & 1, bTextured = nVariant & 2;
            const int nStep = nVariant / 4 - 1;  // the cleared depth one below, at or one above the quads'
            const uint16_t zClear = (uint16_t)(zQuad + nStep);
            // General path, fast path over the cleared buffer, fast path over the same depths written.
            std::vector<uint16_t> pictures[3];
            for (int nWay = 0; nWay < 3; nWay++) {
                CRasterizer::EnableFastPaths(nWay > 0);
                m_pDev->SetTexture(0, bTextured ? m_pTex : nullptr);
                if (bTextured) {
                    ModulateTexture();
                } else {
                    SelectDiffuse();
                }
                m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, (float)zClear / 65535.0f, 0);
                uint16_t wUniform = 0;
                ASSERT_TRUE(pZ->GetUniformWord(&wUniform));
                ASSERT_EQ(wUniform, zClear);
                if (nWay == 2) {
                    Row16(m_pZ, 0)[0] = zClear;  // written through a lock: the same values, no longer known as one
                    ASSERT_FALSE(pZ->GetUniformWord(&wUniform));
                }
                m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, dwFunc);
                m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
                m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, bAdd);
                m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
                m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
                m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
                DrawQuads(quads, false, RGBA_MAKE(200, 133, 61, 255), 0);
                ASSERT_FALSE(HasFatalFailure());
                pictures[nWay] = Snapshot();
            }
            EXPECT_TRUE(pictures[0] == pictures[1] && pictures[1] == pictures[2])
                << "func " << dwFunc << (bAdd ? " added" : " opaque") << (bTextured ? " textured" : "")
                << " cleared at " << nStep;
            nDrawn += Drawn(Picture()) > 5000;
            nCase++;
        }
    }
    CRasterizer::EnableFastPaths(true);
    EXPECT_EQ(nCase, 6u * 12u);
    // ALWAYS draws in all 12, NEVER in none, and each of the others in 4 or 8.
    EXPECT_GT(nDrawn, 12u + 4u * 4u);
    EXPECT_LT(nDrawn, 6u * 12u - 12u);
}

// Which clears and writes leave the depth buffer known as one value.
TEST_F(FastPathTest, OnlyAWholeClearLeavesTheDepthBufferKnownAsOneValue)
{
    CDDSurface* pZ = CDDSurface::From(m_pZ);
    uint16_t w = 0;
    m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_TRUE(pZ->GetUniformWord(&w));
    EXPECT_EQ(w, 0xFFFF);
    m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.25f, 0);  // the target only
    EXPECT_TRUE(pZ->GetUniformWord(&w));
    D3DRECT rc = {0, 0, 640, 479};
    m_pDev->Clear(1, &rc, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);  // all but a row
    EXPECT_FALSE(pZ->GetUniformWord(&w));
    m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    ASSERT_TRUE(pZ->GetUniformWord(&w));
    EXPECT_EQ(w, 0);
    // A draw that tests depth without writing it leaves it so; one that writes it does not.
    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    SelectDiffuse();
    ASSERT_EQ(DrawQuad(10, 10, 50, 50, 0.0f, 0xFFFFFFFF), DD_OK);
    EXPECT_TRUE(pZ->GetUniformWord(&w));
    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    ASSERT_EQ(DrawQuad(10, 10, 50, 50, 0.0f, 0xFFFFFFFF), DD_OK);
    EXPECT_FALSE(pZ->GetUniformWord(&w));
    EXPECT_NE(Zv(20, 20), 0);
    // A clear to the value the buffer holds throughout may leave its memory alone; after any
    // write it fills again.
    m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    EXPECT_EQ(Zv(20, 20), 0);
    m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    EXPECT_TRUE(pZ->GetUniformWord(&w));
    Row16(m_pZ, 7)[9] = 0x1234;
    m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    EXPECT_EQ(Zv(9, 7), 0);
    D3DRECT rcSome = {0, 0, 100, 100};
    m_pDev->Clear(1, &rcSome, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
    m_pDev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    EXPECT_TRUE(pZ->GetUniformWord(&w));
    EXPECT_EQ(Zv(50, 50), 0);  // (looking locks it for writing)
    EXPECT_FALSE(pZ->GetUniformWord(&w));
}

// An added glow in black adds nothing, whatever its texels: it leaves the target as it is, as the
// general path does.
TEST_F(FastPathTest, ABlackGlowLeavesTheTargetAsItIs)
{
    MakeTexture(PK_R5G6B5, 32, 16, 0x07E0);
    ASSERT_FALSE(HasFatalFailure());
    AddedWithSpecular();
    const std::vector<QUADCASE> quads = QuadCases(32, 16);
    PaintBackground(std::vector<uint16_t>(640 * 480, 0xFFFF));
    const std::vector<uint16_t> before = Picture();
    for (int nFast = 0; nFast < 2; nFast++) {
        CRasterizer::EnableFastPaths(nFast == 1);
        // Drawn twice: the second time the texture's bounds of its texels that are not black are in use.
        for (int i = 0; i < 2; i++) {
            DrawQuads(quads, false, RGBA_MAKE(0, 0, 0, 255), 0);
            ASSERT_FALSE(HasFatalFailure());
        }
        EXPECT_EQ(Differences(before, Picture()), 0u) << (nFast ? "fast" : "general");
    }
    CRasterizer::EnableFastPaths(true);
    // A colour just above black adds something.
    DrawQuads(quads, false, RGBA_MAKE(0, 0, 9, 255), 0);
    EXPECT_GT(Differences(before, Picture()), 1000u);
}

} // namespace
