// Additive (ONE/ONE) textured drawing skips texels that are black: each picture, target and depth,
// must be the one the general per-pixel loop draws, whatever the texture's black runs, the quad's
// placement, scale, turn and cut, the address mode, colours, specular, key and depth states.
#include <cmath>
#include <vector>

#include "GfxFixture.h"
#include "platform/d3d/PixelOps.h"
#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/DDObjects.h"
#include "platform/ddraw/NonBlackBounds.h"
#include "platform/ddraw/PixelFormat.h"

namespace {

uint32_t Next(uint32_t* pSeed)
{
    *pSeed = *pSeed * 214013u + 2531011u;
    return *pSeed >> 8;
}

// A black texel of the kind, with the alpha bits (which do not count) varied.
uint16_t Black(const DDPIXELFORMAT& pf, uint32_t nRand)
{
    return (uint16_t)(nRand & pf.dwRGBAlphaBitMask);
}

// A texel that is not black.
uint16_t Lit(const DDPIXELFORMAT& pf, uint32_t nRand)
{
    const uint16_t w = (uint16_t)nRand;
    return (w & ~pf.dwRGBAlphaBitMask) ? w : (uint16_t)(w | pf.dwBBitMask);
}

class BlackSkipTest : public TexturedGfxTest {
protected:
    // A glow: a black border of a few rows and columns, rows whose black runs at the start and the
    // end have every length from none to the whole row, black texels inside too, and the first and
    // last columns lit in a row of their own.
    void MakeGlow(PIXELKIND eKind, int w, int h, uint32_t nSeed)
    {
        const DDPIXELFORMAT pf = MakePixelFormat(eKind);
        NewTexture(eKind, w, h);
        if (HasFatalFailure()) {
            return;
        }
        for (int y = 0; y < h; y++) {
            const int nLeft = (y * 5 + 3) % (w + 1), nRight = std::max(nLeft, w - (y * 3) % (w + 1));
            for (int x = 0; x < w; x++) {
                const uint32_t r = Next(&nSeed);
                bool bLit = x >= nLeft && x < nRight && r % 5 != 0;
                if (y == 1) {
                    bLit = x == 0 || x == w - 1;  // the edges alone
                } else if (y < 1 || y >= h - 2) {
                    bLit = false;
                }
                Row16(m_pTex, y)[x] = bLit ? Lit(pf, r) : Black(pf, r);
            }
        }
        DDCOLORKEY ck = {(DWORD)Row16(m_pTex, h / 2)[w / 2], (DWORD)Row16(m_pTex, h / 2)[w / 2]};
        ASSERT_EQ(m_pTex->SetColorKey(DDCKEY_SRCBLT, &ck), DD_OK);
        ASSERT_EQ(m_pDev->SetTexture(0, m_pTex), DD_OK);
    }

    void Additive(bool bZ, bool bZWrite, bool bKey, bool bSpecular)
    {
        ModulateTexture();
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, bZ);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, bZWrite);
        m_pDev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, bKey);
        m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, bSpecular);
    }

    // A quad of screen rectangle (l, t)-(r, b) at world depth z with texture corners, in colours
    // c (all four) or c and c2 (left and right), specular spec.
    void Draw(float l, float t, float r, float b, float u0, float v0, float u1, float v1, D3DCOLOR c, D3DCOLOR c2,
              D3DCOLOR spec, float z = 0.0f, float zRight = 0.0f)
    {
        D3DLVERTEX v[4];
        Quad(v, l, t, r, b, z, c, u0, v0, u1, v1);
        v[1].color = v[2].color = c2;
        v[1].z = v[2].z = zRight;
        for (D3DLVERTEX& x : v) {
            x.specular = spec;
        }
        ASSERT_EQ(m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0), DD_OK);
    }

    // Quads at one texel per pixel, scaled up and down, mirrored, running off the texture (wrapped
    // or clamped by the address mode), and hanging over every screen edge.
    void DrawSet(int nTexW, int nTexH, D3DCOLOR c, D3DCOLOR c2, D3DCOLOR spec, float zRight)
    {
        const float fW = (float)nTexW, fH = (float)nTexH;
        struct QUAD {
            float l, t, r, b, u0, v0, u1, v1;
        };
        const QUAD quads[] = {
            {10, 10, 10 + fW, 10 + fH, 0, 0, 1, 1},
            {60.5f, 12.25f, 60.5f + fW, 12.25f + fH, 0, 0, 1, 1},
            {120, 5, 120 + 2.37f * fW, 5 + 1.6f * fH, 0, 0, 1, 1},
            {300, 8, 300 + 0.6f * fW, 8 + 0.45f * fH, 0, 0, 1, 1},
            {400, 10, 400 + fW, 10 + fH, 1, 0, 0, 1},
            {470, 10, 470 + fW, 10 + fH, 0, 1, 1, 0},
            {10, 150, 10 + 2 * fW, 150 + fH, -0.5f, 0, 1.5f, 1},
            {150, 150, 150 + 2 * fW, 150 + 2 * fH, 0.25f, -0.75f, 1.75f, 1.25f},
            {-7.5f, 250, -7.5f + fW, 250 + fH, 0, 0, 1, 1},
            {640 - 0.5f * fW, 260, 640 + 0.5f * fW, 260 + fH, 0, 0, 1, 1},
            {300, -0.5f * fH, 300 + fW, 0.5f * fH, 0, 0, 1, 1},
            {350.3f, 480 - 0.3f * fH, 350.3f + fW, 480 + 0.7f * fH, 0, 0, 1, 1},
        };
        for (const QUAD& q : quads) {
            Draw(q.l, q.t, q.r, q.b, q.u0, q.v0, q.u1, q.v1, c, c2, spec, 0.0f, zRight);
            if (HasFatalFailure()) {
                return;
            }
        }
    }

    // A target of varied colours that every add changes, and depths a little nearer and farther
    // than the quads' at world z 0 (view z 240 between planes 1 and 1000).
    void Background()
    {
        const int nQuadZ = DepthToZ16(239.0f / 999.0f);
        for (int y = 0; y < 480; y++) {
            uint16_t* pD = Row16(m_pBack, y);
            uint16_t* pZ = Row16(m_pZ, y);
            for (int x = 0; x < 640; x++) {
                const uint32_t h = (uint32_t)(x * 7919 + y * 104729) * 2654435761u;
                pD[x] = (uint16_t)((h >> 16) & 0x7BEF);
                pZ[x] = (uint16_t)(nQuadZ + (int)(h >> 8 & 7) - 3);
            }
        }
    }

    // The picture (target and depth) of draw() with the fast paths off and on.
    template <class F>
    void BothWays(F draw, std::vector<uint16_t>* pGeneral, std::vector<uint16_t>* pFast)
    {
        for (int nFast = 0; nFast < 2; nFast++) {
            CRasterizer::EnableFastPaths(nFast == 1);
            Background();
            draw();
            *(nFast ? pFast : pGeneral) = Snapshot();
        }
        CRasterizer::EnableFastPaths(true);
    }

    // TurnedAndScaledQuadsDrawnAsTheGeneralPathDrawsThem on a glow of the given kind and size.
    void TurnedAndScaled(PIXELKIND eKind, int w, int h);

    static size_t Changed(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b)
    {
        size_t n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); i++) {
            n += a[i] != b[i];
        }
        return n;
    }
};

TEST_F(BlackSkipTest, GlowsDrawnAsTheGeneralPathDrawsThem)
{
    struct TEX {
        PIXELKIND eKind;
        int w, h;
        bool bClamp;
    };
    const TEX texes[] = {{PK_R5G6B5, 40, 24, false}, {PK_A1R5G5B5, 33, 17, true}, {PK_A4R4G4B4, 16, 16, false},
                         {PK_R5G6B5, 96, 72, true}};
    int nCases = 0;
    for (const TEX& t : texes) {
        MakeGlow(t.eKind, t.w, t.h, (uint32_t)(t.w * t.h));
        ASSERT_FALSE(HasFatalFailure());
        const DWORD dwAddress = t.bClamp ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
        m_pDev->SetTextureStageState(0, D3DTSS_ADDRESSU, dwAddress);
        m_pDev->SetTextureStageState(0, D3DTSS_ADDRESSV, dwAddress);
        for (int nVariant = 0; nVariant < 12; nVariant++) {
            const bool bZ = nVariant % 3 != 0, bZWrite = nVariant % 3 == 2, bKey = nVariant % 2 == 1;
            const int nColour = nVariant / 3;  // white, a colour, Gouraud, specular
            const D3DCOLOR c = nColour == 0 ? 0xFFFFFFFF : RGBA_MAKE(230, 140, 60, 255);
            const D3DCOLOR c2 = nColour == 2 ? RGBA_MAKE(20, 250, 120, 255) : c;
            const D3DCOLOR spec = nColour == 3 ? RGB_MAKE(nVariant % 2 ? 0 : 30, 0, 0) : 0;
            const float zRight = nVariant % 4 == 1 ? -100.0f : 0.0f;  // nearer along each row
            std::vector<uint16_t> general, fast;
            BothWays(
                [&] {
                    Additive(bZ, bZWrite, bKey, nColour == 3);
                    DrawSet(t.w, t.h, c, c2, spec, zRight);
                },
                &general, &fast);
            ASSERT_FALSE(HasFatalFailure());
            EXPECT_TRUE(general == fast) << "kind " << t.eKind << " " << t.w << "x" << t.h << " variant " << nVariant;
            Background();
            EXPECT_GT(Changed(Snapshot(), fast), 200u) << "variant " << nVariant;
            nCases++;
        }
        m_pDev->SetTexture(0, nullptr);
        m_pTex->Release();
        m_pTex = nullptr;
    }
    EXPECT_EQ(nCases, 4 * 12);
}

// The main gun's set-up: a bullet cell turned to every angle, scaled and moved by the world matrix,
// depth tested and not written. Also on a texture wrapped by mask, five bits a channel, as the
// bursts' pictures are.
TEST_F(BlackSkipTest, TurnedAndScaledQuadsDrawnAsTheGeneralPathDrawsThem)
{
    for (const bool bPow2 : {false, true}) {
        TurnedAndScaled(bPow2 ? PK_X1R5G5B5 : PK_R5G6B5, bPow2 ? 64 : 96, bPow2 ? 64 : 72);
        if (HasFatalFailure()) {
            return;
        }
        m_pDev->SetTexture(0, nullptr);
        m_pTex->Release();
        m_pTex = nullptr;
    }
}

void BlackSkipTest::TurnedAndScaled(PIXELKIND eKind, int w, int h)
{
    SCOPED_TRACE(eKind);
    MakeGlow(eKind, w, h, 4242);
    ASSERT_FALSE(HasFatalFailure());
    for (int nTurn = 0; nTurn < 16; nTurn++) {
        const float fAngle = (float)nTurn * 0.4f;
        std::vector<uint16_t> general, fast;
        BothWays(
            [&] {
                Additive(true, false, false, false);
                for (int i = 0; i < 6; i++) {
                    D3DXMATRIX mTurn, mScale, mMove, m;
                    D3DXMatrixRotationZ(&mTurn, fAngle + (float)i * 0.07f);
                    D3DXMatrixScaling(&mScale, 1.0f + 0.3f * (float)(i % 3), 1.0f - 0.2f * (float)(i % 2), 1.0f);
                    D3DXMatrixTranslation(&mMove, 60.0f + 100.0f * (float)i, -80.0f - 60.0f * (float)(i % 4), 0.0f);
                    D3DXMatrixMultiply(&m, &mScale, &mTurn);
                    D3DXMatrixMultiply(&m, &m, &mMove);
                    m_pDev->SetTransform(D3DTRANSFORMSTATE_WORLD, &m);
                    Draw(-48, -36, 48, 36, 0, 0, 1, 1, 0xFFFFFFFF, 0xFFFFFFFF, 0);
                    if (HasFatalFailure()) {
                        return;
                    }
                }
                D3DXMATRIX m;
                m_pDev->SetTransform(D3DTRANSFORMSTATE_WORLD, D3DXMatrixIdentity(&m));
            },
            &general, &fast);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(general == fast) << "angle " << fAngle;
    }
}

// Through a viewport smaller than the target, quads cut by each of its edges.
TEST_F(BlackSkipTest, QuadsCutByTheViewportDrawnAsTheGeneralPathDrawsThem)
{
    MakeGlow(PK_R5G6B5, 40, 24, 77);
    ASSERT_FALSE(HasFatalFailure());
    D3DVIEWPORT7 vp = {37, 23, 501, 397, 0.0f, 1.0f};
    ASSERT_EQ(m_pDev->SetViewport(&vp), DD_OK);
    std::vector<uint16_t> general, fast;
    BothWays(
        [&] {
            Additive(false, false, false, false);
            DrawSet(40, 24, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0.0f);
        },
        &general, &fast);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(general == fast);
}

// A texture that is black all over draws nothing, and a texture written after its bounds were
// taken draws its new texels.
TEST_F(BlackSkipTest, BoundsFollowTheTexture)
{
    MakeGlow(PK_R5G6B5, 32, 16, 5);
    ASSERT_FALSE(HasFatalFailure());
    for (int y = 0; y < 16; y++) {
        std::fill(Row16(m_pTex, y), Row16(m_pTex, y) + 32, (uint16_t)0);
    }
    std::vector<uint16_t> before, after;
    Background();
    before = Snapshot();
    Additive(false, false, false, false);
    for (int i = 0; i < 3; i++) {
        Draw(100.0f + 40.0f * (float)i, 100, 132.0f + 40.0f * (float)i, 116, 0, 0, 1, 1, 0xFFFFFFFF, 0xFFFFFFFF, 0);
    }
    EXPECT_TRUE(Snapshot() == before);
    // One lit texel at a corner, then one in the middle: each shows where it is.
    const int at[2][2] = {{31, 15}, {16, 8}};
    for (int i = 0; i < 2; i++) {
        const int* p = at[i];
        Row16(m_pTex, p[1])[p[0]] = 0x0841;
        Background();
        Draw(300, 200, 332, 216, 0, 0, 1, 1, 0xFFFFFFFF, 0xFFFFFFFF, 0);
        Draw(300, 200, 332, 216, 0, 0, 1, 1, 0xFFFFFFFF, 0xFFFFFFFF, 0);
        int nChanged = 0;
        for (int y = 195; y < 220; y++) {
            for (int x = 295; x < 340; x++) {
                nChanged += Px(x, y) != before[(size_t)y * 1280 + x];
            }
        }
        EXPECT_EQ(nChanged, i + 1) << p[0] << "," << p[1];
        EXPECT_NE(Px(300 + p[0], 200 + p[1]), before[(size_t)(200 + p[1]) * 1280 + 300 + p[0]]);
    }
}

TEST(NonBlackBoundsTest, RowsAndRectangleOfTheTexelsThatAreNotBlack)
{
    // 6 x 4 A1R5G5B5: alpha alone is black.
    const uint16_t texels[4][6] = {
        {0x8000, 0x0000, 0x8000, 0x0000, 0x0000, 0x8000},
        {0x8000, 0x0001, 0x0000, 0x8000, 0x0400, 0x0000},
        {0x7C00, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000},
        {0x0000, 0x0000, 0x0000, 0x8000, 0x0020, 0x0000},
    };
    CNonBlackBounds b;
    b.Build(reinterpret_cast<const uint8_t*>(texels), 12, 6, 4, PK_A1R5G5B5);
    ASSERT_TRUE(b.IsBuilt());
    const int want[4][2] = {{0, 0}, {1, 5}, {0, 1}, {4, 5}};
    for (int y = 0; y < 4; y++) {
        EXPECT_EQ(b.RowLeft(y), want[y][0]) << y;
        EXPECT_EQ(b.RowRight(y), want[y][1]) << y;
    }
    EXPECT_EQ(b.Left(), 0);
    EXPECT_EQ(b.Right(), 5);
    EXPECT_EQ(b.Top(), 1);
    EXPECT_EQ(b.Bottom(), 4);
    EXPECT_FALSE(b.IsBlack());
    EXPECT_FALSE(b.IsFull());
    const uint16_t black[2][2] = {{0x8000, 0}, {0, 0x8000}};
    b.Build(reinterpret_cast<const uint8_t*>(black), 4, 2, 2, PK_A1R5G5B5);
    EXPECT_TRUE(b.IsBlack());
    const uint16_t full[2][2] = {{1, 0}, {0, 0x7FFF}};  // black inside a row does not matter
    b.Build(reinterpret_cast<const uint8_t*>(full), 4, 2, 2, PK_R5G6B5);
    EXPECT_FALSE(b.IsFull());
    const uint16_t lit[2][2] = {{1, 1}, {0x0800, 0x0020}};
    b.Build(reinterpret_cast<const uint8_t*>(lit), 4, 2, 2, PK_R5G6B5);
    EXPECT_TRUE(b.IsFull());
    b.Clear();
    EXPECT_FALSE(b.IsBuilt());
}

#if defined(__SSE2__)
// The field-wise add against widening, adding with saturation and truncating, for every pair of
// values of each field (the other fields varied alongside).
TEST(BlackSkipSumTest, FieldwiseAddIsTheWidenedSaturatingAdd)
{
    for (int a = 0; a < 64; a++) {
        for (int b = 0; b < 64; b += 8) {
            alignas(16) uint16_t wa[8], wb[8], got[8];
            for (int i = 0; i < 8; i++) {
                const int nB = b + i;
                wa[i] = (uint16_t)(((a & 31) << 11) | (a << 5) | (a & 31));
                wb[i] = (uint16_t)(((nB & 31) << 11) | (nB << 5) | ((nB * 7) & 31));
            }
            const __m128i sum = AddSat565x8(_mm_load_si128(reinterpret_cast<const __m128i*>(wa)),
                                            _mm_load_si128(reinterpret_cast<const __m128i*>(wb)));
            _mm_store_si128(reinterpret_cast<__m128i*>(got), sum);
            for (int i = 0; i < 8; i++) {
                const uint32_t x = Expand565(wa[i]), y = Expand565(wb[i]);
                const uint16_t want = Pack565(std::min(255u, ((x >> 16) & 0xFF) + ((y >> 16) & 0xFF)),
                                              std::min(255u, ((x >> 8) & 0xFF) + ((y >> 8) & 0xFF)),
                                              std::min(255u, (x & 0xFF) + (y & 0xFF)));
                ASSERT_EQ(got[i], want) << std::hex << wa[i] << " + " << wb[i];
            }
        }
    }
}
#endif

} // namespace
