// Untextured drawing through the span loops that work out the colour once (flat) or once per change
// of colour (Gouraud), against the general per-pixel loop: target and Z buffer must be the same bit
// for bit over blends, alphas, depth states, stage set-ups and clipped edges. The fade plane's own
// set-up is also checked pixel by pixel.
#include <iterator>
#include <vector>

#include "GfxFixture.h"
#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/PixelFormat.h"

namespace {

// A quad in screen pixels with the world z of each corner (l,t r,t r,b l,b).
struct FLATQUAD {
    float l, t, r, b;
    float z[4];
    bool bGouraud;  // unlit only: a different colour at each corner
};

std::vector<FLATQUAD> FlatQuads()
{
    std::vector<FLATQUAD> q;
    const int widths[] = {1, 3, 7, 8, 9, 15, 16, 17, 63, 65};
    float y = 3.3f;
    for (const int w : widths) {
        q.push_back({10.37f, y, 10.37f + (float)w, y + 4.0f, {0, 0, 0, 0}, false});
        y += 7.0f;
    }
    q.push_back({-20.0f, 100.0f, 45.0f, 140.0f, {10, 10, 10, 10}, false});        // cut at the left
    q.push_back({600.25f, 150.5f, 671.0f, 190.0f, {-20, -20, -20, -20}, false});  // at the right
    q.push_back({200.0f, -13.0f, 261.0f, 20.0f, {0, 0, 0, 0}, false});            // at the top
    q.push_back({250.7f, 455.2f, 350.1f, 500.9f, {5, 5, 5, 5}, false});           // at the bottom
    q.push_back({300.0f, 200.0f, 400.0f, 260.0f, {0, 150, 300, 60}, false});      // depth changes
    q.push_back({450.0f, 250.0f, 530.0f, 300.0f, {0, 0, 0, 0}, true});
    q.push_back({40.0f, 320.0f, 200.0f, 380.0f, {0, 0, 0, 0}, false});
    q.push_back({100.0f, 350.0f, 180.0f, 400.0f, {0, 0, 0, 0}, false});  // over the last at the same depth
    return q;
}

struct BLENDCASE {
    bool bOn;
    DWORD dwSrc, dwDest;
};

const BLENDCASE kBlends[] = {
    {false, D3DBLEND_ONE, D3DBLEND_ZERO},
    {true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {true, D3DBLEND_ONE, D3DBLEND_ONE},
    {true, D3DBLEND_ZERO, D3DBLEND_ONE},
    {true, D3DBLEND_ONE, D3DBLEND_ZERO},
    {true, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
    {true, D3DBLEND_INVDESTCOLOR, D3DBLEND_SRCCOLOR},
    {true, D3DBLEND_BOTHSRCALPHA, D3DBLEND_ONE},
    {true, D3DBLEND_BOTHINVSRCALPHA, D3DBLEND_ZERO},
    {true, D3DBLEND_SRCALPHASAT, D3DBLEND_INVSRCALPHA},
    {true, D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA},
    {true, D3DBLEND_INVSRCCOLOR, D3DBLEND_SRCALPHA},
};

struct DEPTHCASE {
    bool bOn, bWrite;
    DWORD dwFunc;
};

const DEPTHCASE kDepths[] = {
    {false, false, D3DCMP_LESSEQUAL},  {true, false, D3DCMP_LESSEQUAL}, {true, true, D3DCMP_LESSEQUAL},
    {true, true, D3DCMP_LESS},         {true, false, D3DCMP_EQUAL},     {true, true, D3DCMP_GREATER},
    {true, true, D3DCMP_NOTEQUAL},     {true, false, D3DCMP_GREATEREQUAL}, {true, true, D3DCMP_NEVER},
    {true, true, D3DCMP_ALWAYS},
};

class FlatSpanTest : public GfxTest {
protected:
    void TearDown() override
    {
        CRasterizer::EnableFastPaths(true);
        GfxTest::TearDown();
    }

    // Stage set-ups: the fade plane's (the texture argument reads the diffuse colour when no texture
    // is bound), plain diffuse, and one with the texture factor, complements and specular.
    void SetStage(int nStage)
    {
        m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, nStage == 2);
        if (nStage == 0) {
            FadeStage();
        } else if (nStage == 1) {
            SelectDiffuse();
        } else {
            m_pDev->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, RGBA_MAKE(180, 220, 90, 200));
            m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
            m_pDev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
            m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
            m_pDev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
            m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT);
            m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
        }
    }

    // The quads unlit in colour c (alpha included), or lit by normals facing the light with a
    // material of alpha fAlpha.
    void DrawQuads(bool bLit, D3DCOLOR c, float fAlpha)
    {
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, bLit);
        if (bLit) {
            D3DMATERIAL7 mtrl = {};
            mtrl.diffuse = D3DCOLORVALUE{{0.6f}, {0.35f}, {0.2f}, {fAlpha}};
            mtrl.ambient = D3DCOLORVALUE{{0.1f}, {0.15f}, {0.05f}, {0.0f}};
            m_pDev->SetMaterial(&mtrl);
        }
        for (const FLATQUAD& q : m_quads) {
            const float xs[4] = {q.l, q.r, q.r, q.l}, ys[4] = {q.t, q.t, q.b, q.b};
            if (bLit) {
                D3DVERTEX v[4] = {};
                for (int i = 0; i < 4; i++) {
                    v[i].x = xs[i];
                    v[i].y = -ys[i];
                    v[i].z = q.z[i];
                    v[i].nz = -1.0f;
                }
                ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0), DD_OK);
                continue;
            }
            D3DLVERTEX v[4];
            Quad(v, q.l, q.t, q.r, q.b, 0.0f, c);
            for (int i = 0; i < 4; i++) {
                v[i].z = q.z[i];
                v[i].specular = RGB_MAKE(30, 70, 5);
            }
            if (q.bGouraud) {
                v[1].color = RGBA_MAKE(10, 250, 90, 40);
                v[2].color = RGBA_MAKE(250, 30, 200, 250);
                v[3].specular = RGB_MAKE(90, 0, 160);
            }
            ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
        }
    }

    std::vector<FLATQUAD> m_quads = FlatQuads();
};

TEST_F(FlatSpanTest, UntexturedSpansMatchTheGeneralPath)
{
    CRasterizer::EnableFastPaths(false);
    const std::vector<uint16_t> zProbe = ProbeDepths([&] { DrawQuads(false, 0xFFFFFFFF, 1.0f); });
    ASSERT_FALSE(HasFatalFailure());
    const uint32_t alphas[] = {0, 128, 255};
    size_t nCase = 0, nChanged = 0;
    for (const BLENDCASE& bc : kBlends) {
        for (const uint32_t a : alphas) {
            for (const DEPTHCASE& dc : kDepths) {
                const bool bLit = nCase % 2 == 1;
                const int nStage = (int)(nCase / 2 % 3);
                const bool bFlatShade = nCase % 7 == 3;
                const bool bAlphaTest = nCase % 5 == 1;
                std::vector<uint16_t> pictures[2];
                for (int nFast = 0; nFast < 2; nFast++) {
                    CRasterizer::EnableFastPaths(nFast == 1);
                    PaintBackground(zProbe);
                    SetStage(nStage);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, bc.bOn);
                    m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, bc.dwSrc);
                    m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, bc.dwDest);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, dc.bOn ? D3DZB_TRUE : D3DZB_FALSE);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, dc.bWrite);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, dc.dwFunc);
                    m_pDev->SetRenderState(D3DRENDERSTATE_SHADEMODE, bFlatShade ? D3DSHADE_FLAT : D3DSHADE_GOURAUD);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, bAlphaTest);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER);
                    m_pDev->SetRenderState(D3DRENDERSTATE_ALPHAREF, 100);
                    DrawQuads(bLit, RGBA_MAKE(200, 90, 40, a), (float)a / 255.0f);
                    ASSERT_FALSE(HasFatalFailure());
                    pictures[nFast] = Snapshot();
                }
                CRasterizer::EnableFastPaths(false);
                PaintBackground(zProbe);
                nChanged += Snapshot() != pictures[1];
                ASSERT_TRUE(pictures[0] == pictures[1])
                    << "case " << nCase << ": blend " << bc.bOn << " " << bc.dwSrc << "/" << bc.dwDest << " alpha "
                    << a << " depth " << dc.bOn << " write " << dc.bWrite << " func " << dc.dwFunc << " stage "
                    << nStage << (bLit ? " lit" : " unlit") << (bFlatShade ? " flat" : "")
                    << (bAlphaTest ? " alpha-tested" : "");
                nCase++;
            }
        }
    }
    EXPECT_EQ(nCase, std::size(kBlends) * 3 * std::size(kDepths));
    // Not every set-up changes a pixel (NEVER, KEEP-like blends without depth writes), but most do.
    EXPECT_GT(nChanged, nCase * 2 / 3);
}

// The fade plane: a full-screen lit quad in the material colour, SRCALPHA / INVSRCALPHA, depth
// tested and not written.
class FaderSpanTest : public FlatSpanTest {
protected:
    void SetUp() override
    {
        FlatSpanTest::SetUp();
        m_quads = {{0.0f, 0.0f, 640.0f, 480.0f, {0, 0, 0, 0}, false}};
    }

    // Draws the plane at a level of white (1) or black (0) and alpha with the fast paths on and
    // off; both pictures must be the same, and the fast one is returned.
    std::vector<uint16_t> FadeBoth(float fLevel, float fAlpha)
    {
        std::vector<uint16_t> pictures[2];
        for (int nFast = 0; nFast < 2; nFast++) {
            CRasterizer::EnableFastPaths(nFast == 1);
            PaintBackground(m_zProbe);
            Fade(fLevel, fAlpha);
            pictures[nFast] = Snapshot();
        }
        EXPECT_TRUE(pictures[0] == pictures[1]) << "level " << fLevel << " alpha " << fAlpha;
        return pictures[1];
    }

    std::vector<uint16_t> Background()
    {
        PaintBackground(m_zProbe);
        return Snapshot();
    }

    void SetUpProbe()
    {
        m_zProbe = ProbeDepths([&] { DrawQuads(true, 0, 1.0f); });
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    }

    std::vector<uint16_t> m_zProbe;
};

TEST_F(FaderSpanTest, AlphaZeroChangesNothing)
{
    SetUpProbe();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(FadeBoth(1.0f, 0.0f) == Background());
    EXPECT_TRUE(FadeBoth(0.0f, 0.0f) == Background());
}

// At alpha 1 every pixel that passes the depth test (one at or behind the plane) takes the plane's
// colour; the Z buffer is not written.
TEST_F(FaderSpanTest, AlphaOneFillsWhereTheDepthTestPasses)
{
    SetUpProbe();
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<uint16_t> before = Background();
    for (const float fLevel : {0.0f, 1.0f}) {
        const std::vector<uint16_t> after = FadeBoth(fLevel, 1.0f);
        const uint16_t wPlane = fLevel > 0.0f ? 0xFFFF : 0x0000;
        size_t nFilled = 0, nWrong = 0;
        for (int y = 0; y < 480; y++) {
            for (int x = 0; x < 640; x++) {
                const size_t i = (size_t)y * 1280 + x;
                const bool bPass = m_zProbe[(size_t)y * 640 + x] <= before[i + 640];
                nFilled += bPass;
                nWrong += after[i] != (bPass ? wPlane : before[i]);
                nWrong += after[i + 640] != before[i + 640];
            }
        }
        EXPECT_EQ(nWrong, 0u) << "level " << fLevel;
        EXPECT_GT(nFilled, 150000u);
        EXPECT_LT(nFilled, 250000u);
    }
}

// White at alpha 128 over (r, g, b): each channel is 255 * 128 / 255 + c * 127 / 255, rounded.
TEST_F(FaderSpanTest, HalfAlphaMixesEachChannelExactly)
{
    SetUpProbe();
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<uint16_t> before = Background();
    const std::vector<uint16_t> after = FadeBoth(1.0f, 128.0f / 255.0f);
    size_t nMixed = 0, nWrong = 0;
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 640; x++) {
            const size_t i = (size_t)y * 1280 + x;
            const uint16_t wDst = before[i];
            uint16_t wExpected = wDst;
            if (m_zProbe[(size_t)y * 640 + x] <= before[i + 640]) {
                const uint32_t d = Expand565(wDst);
                auto mix = [](uint32_t c) { return 128 + (2 * 127 * c + 255) / 510; };
                wExpected = Pack565(mix((d >> 16) & 0xFF), mix((d >> 8) & 0xFF), mix(d & 0xFF));
                nMixed++;
            }
            nWrong += after[i] != wExpected;
        }
    }
    EXPECT_EQ(nWrong, 0u);
    EXPECT_GT(nMixed, 150000u);
}

} // namespace
