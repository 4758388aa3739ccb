// The art kit's rules where they are exact: shapes never leave a blend of the key colour at their
// edges, nothing drawn turns into the key, palette colours and gradient ends land exactly on the
// RGB565 grid, flat fills stay flat under the dither, the dither spreads a colour between two
// levels in the right proportion, and noise repeats over its period and with its seed.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "ArtKit.h"

namespace {

// The RGB565 value the game makes of a 24-bit pixel.
uint16_t To565(uint32_t c)
{
    return (uint16_t)((((c >> 19) & 0x1F) << 11) | (((c >> 10) & 0x3F) << 5) | ((c >> 3) & 0x1F));
}

const uint16_t kKey565 = 0x07E0;

uint32_t Snapped(uint32_t c)
{
    const RGBF f = Rgb(c);
    return ((uint32_t)f.r << 16) | ((uint32_t)f.g << 8) | (uint32_t)f.b;
}

struct SHAPECASE {
    const char* pszName;
    std::function<void(CArtKit&, const PAINT&)> fnDraw;
};

// Every kind of shape, drawn across a 64 x 64 canvas with curved and slanted edges.
std::vector<SHAPECASE> Shapes()
{
    return {
        {"polygon", [](CArtKit& k, const PAINT& p) { k.Polygon({{3.3f, 60.0f}, {31.7f, 2.2f}, {61.1f, 48.9f}}, p); }},
        {"ellipse", [](CArtKit& k, const PAINT& p) { k.Ellipse(32.3f, 31.6f, 27.4f, 15.2f, p); }},
        {"round box", [](CArtKit& k, const PAINT& p) { k.RoundBox(4.5f, 7.25f, 53.0f, 40.5f, 11.0f, p); }},
        {"stroke", [](CArtKit& k, const PAINT& p) { k.Stroke(5.0f, 9.0f, 57.0f, 51.0f, 7.3f, p); }},
        {"poly line", [](CArtKit& k, const PAINT& p) { k.PolyLine({{4, 50}, {20, 10}, {40, 44}, {60, 8}}, 3.6f, p); }},
        {"ellipse outline", [](CArtKit& k, const PAINT& p) { k.EllipseOutline(32.0f, 32.0f, 25.5f, 20.5f, 2.5f, p); }},
        {"round box outline",
         [](CArtKit& k, const PAINT& p) { k.RoundBoxOutline(6.0f, 6.0f, 50.0f, 40.0f, 9.0f, 2.0f, p); }},
        {"polygon outline",
         [](CArtKit& k, const PAINT& p) { k.PolygonOutline({{8.0f, 56.0f}, {30.5f, 4.5f}, {58.0f, 40.0f}}, 1.7f, p); }},
        {"shade", [](CArtKit& k, const PAINT& p) {
             k.Shade(0, 0, 64, 64, 4, [&p](float x, float y, RGBF* pOut) {
                 *pOut = p(x, y);
                 return y > 20.0f + x / 3.0f;
             });
         }},
        {"text", [](CArtKit& k, const PAINT& p) { k.Text(2.0f, 10.0f, "Zorva!", 22, p, Rgb(0), 0.0f); }},
    };
}

} // namespace

TEST(ArtKitKey, EveryShapeIsHardAgainstTheKeyAndBlendsOnlyIntoOpaquePixels)
{
    const uint32_t kInk = 0xC83020;
    for (const SHAPECASE& shape : Shapes()) {
        // On the key: every pixel is the key or exactly the ink, none a blend of the two.
        CCanvas keyed(64, 64);
        CArtKit kit(keyed);
        shape.fnDraw(kit, Flat(Rgb(kInk)));
        int nInk = 0;
        for (int y = 0; y < 64; y++) {
            for (int x = 0; x < 64; x++) {
                const uint32_t c = keyed.At(x, y);
                ASSERT_TRUE(c == kKeyGreen || c == Snapped(kInk)) << shape.pszName << " at " << x << ", " << y;
                nInk += c != kKeyGreen;
            }
        }
        EXPECT_GT(nInk, 40) << shape.pszName;

        // Over an opaque picture the same edges are anti-aliased: colours between the two appear.
        CCanvas opaque(64, 64, 0x2040A0);
        CArtKit kitOpaque(opaque);
        shape.fnDraw(kitOpaque, Flat(Rgb(kInk)));
        int nBlend = 0;
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 64; x++)
                nBlend += opaque.At(x, y) != 0x2040A0 && opaque.At(x, y) != Snapped(kInk);
        EXPECT_GT(nBlend, 4) << shape.pszName;
    }
}

TEST(ArtKitKey, NothingDrawnTurnsIntoTheKey)
{
    // Greens all round the key, flat and in a gradient that passes through it.
    CCanvas c(64, 64, 0x000000);
    CArtKit kit(c);
    kit.Fill(0, 0, 32, 64, Flat(Rgb(0x00FF00)));
    kit.Fill(32, 0, 32, 64, VerticalGradient(0.0f, Rgb(0x08F808), 63.0f, Rgb(0x00FF00)));
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            ASSERT_NE(To565(c.At(x, y)), kKey565) << x << ", " << y;
    for (int v = 0; v < 256; v += 3)
        for (int x = 0; x < 4; x++)
            for (int y = 0; y < 4; y++)
                ASSERT_NE(To565(Quantise(RGBF{(float)(v % 9), (float)v, (float)(v % 7)}, x, y)), kKey565);
}

TEST(ArtKitColour, PaletteColoursAndGradientEndsLandExactlyOnTheGrid)
{
    // A snapped colour keeps its RGB565 value and is written back unchanged.
    for (uint32_t c : {0x000000u, 0xFFFFFFu, 0x102040u, 0xA8563Cu, 0x6B8E23u, 0x00F000u}) {
        EXPECT_EQ(To565(Snapped(c)), To565(c)) << std::hex << c;
        for (int k = 0; k < 16; k++)
            EXPECT_EQ(Quantise(Rgb(c), k % 4, k / 4), Snapped(c)) << std::hex << c;
    }
    EXPECT_EQ(Snapped(0x000000), 0x000000u);
    EXPECT_EQ(Snapped(0xFFFFFF), 0xFFFFFFu);

    const uint32_t kTop = 0x2B2D6E, kBottom = 0xFFD27A;
    CCanvas c(40, 33, 0);
    CArtKit kit(c);
    kit.Fill(0, 0, 40, 33, VerticalGradient(0.0f, Rgb(kTop), 32.0f, Rgb(kBottom)));
    for (int x = 0; x < 40; x++) {
        EXPECT_EQ(c.At(x, 0), Snapped(kTop));
        EXPECT_EQ(c.At(x, 32), Snapped(kBottom));
    }
    // Stops: each stop's row is its colour.
    kit.Fill(0, 0, 40, 33, VerticalStops({{0.0f, Rgb(kTop)}, {16.0f, Rgb(0x9B4F8A)}, {32.0f, Rgb(kBottom)}}));
    for (int x = 0; x < 40; x++) {
        EXPECT_EQ(c.At(x, 0), Snapped(kTop));
        EXPECT_EQ(c.At(x, 16), Snapped(0x9B4F8A));
        EXPECT_EQ(c.At(x, 32), Snapped(kBottom));
    }
    // Radial: the centre is the inner colour, everything at the radius and beyond the outer.
    CCanvas r(41, 41, 0);
    CArtKit kitR(r);
    kitR.Fill(0, 0, 41, 41, RadialGradient(20.0f, 20.0f, 15.0f, Rgb(0xFFF0B8), Rgb(0x203040)));
    EXPECT_EQ(r.At(20, 20), Snapped(0xFFF0B8));
    EXPECT_EQ(r.At(0, 0), Snapped(0x203040));
    EXPECT_EQ(r.At(35, 20), Snapped(0x203040));
    EXPECT_EQ(r.At(20, 40), Snapped(0x203040));
}

TEST(ArtKitColour, DitherKeepsFlatColoursFlatAndSpreadsInBetweenColoursInProportion)
{
    // Any colour given as a number, flat over a 4 x 4-aligned area or not, is one colour.
    uint32_t x = 12345;
    for (int i = 0; i < 200; i++) {
        x = x * 1103515245u + 12345u;
        const uint32_t c = (x >> 8) & 0xFFFFFF;
        CCanvas canvas(13, 9, 0);
        CArtKit kit(canvas);
        kit.Fill(1, 2, 11, 6, Flat(Rgb(c)));
        for (int py = 2; py < 8; py++)
            for (int px = 1; px < 12; px++)
                ASSERT_EQ(canvas.At(px, py), Snapped(c)) << std::hex << c;
    }
    // A colour a quarter of the way between two red levels: a quarter of each 4 x 4 block is the
    // upper level, and only the two levels appear.
    const float lo = 8.0f * 10.0f + 2.0f, hi = 8.0f * 11.0f + 2.0f;  // levels 10 and 11 as written
    const RGBF quarter = RGBF{lo + (hi - lo) * 0.25f, 0.0f, 0.0f};
    std::multiset<uint32_t> levels;
    for (int py = 0; py < 4; py++)
        for (int px = 0; px < 4; px++)
            levels.insert(To565(Quantise(quarter, px, py)) >> 11);
    EXPECT_EQ(levels.count(10), 12u);
    EXPECT_EQ(levels.count(11), 4u);
}

TEST(ArtKitNoise, NoiseRepeatsOverItsPeriodAndFollowsItsSeed)
{
    for (int i = 0; i < 50; i++) {
        const float x = (float)i * 7.3f, y = (float)i * 3.1f;
        // Equal but for the rounding of the shifted coordinate.
        EXPECT_NEAR(ValueNoise(x, y, 9, 16.0f, 200, 0), ValueNoise(x + 200.0f, y, 9, 16.0f, 200, 0), 1e-5) << i;
        EXPECT_NEAR(ValueNoise(x, y, 9, 16.0f, 64, 64), ValueNoise(x - 64.0f, y + 128.0f, 9, 16.0f, 64, 64), 1e-5) << i;
        EXPECT_NEAR(Fbm(x, y, 4, 40.0f, 4, 640, 0), Fbm(x + 640.0f, y, 4, 40.0f, 4, 640, 0), 1e-5) << i;
        const float v = ValueNoise(x, y, 9, 16.0f, 0, 0);
        EXPECT_GE(v, 0.0f);
        EXPECT_LT(v, 1.0f);
    }
    int nSame = 0;
    for (int i = 0; i < 100; i++) {
        EXPECT_EQ(Hash01(5, i, -i), Hash01(5, i, -i));
        nSame += Hash01(5, i, 0) == Hash01(6, i, 0);
    }
    EXPECT_LT(nSame, 3);
}

TEST(ArtKitClip, DrawingStaysInsideTheClipRectangle)
{
    CCanvas c(64, 64);
    CArtKit kit(c);
    kit.Clip(16, 16, 32, 32);
    kit.Ellipse(32.0f, 32.0f, 40.0f, 40.0f, Flat(Rgb(0x804020)));
    kit.Text(0.0f, 20.0f, "CLIP", 30, Flat(Rgb(0xFFFFFF)), Rgb(0), 2.0f);
    kit.Unclip();
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            EXPECT_EQ(c.At(x, y) != kKeyGreen, x >= 16 && x < 48 && y >= 16 && y < 48) << x << ", " << y;
}

TEST(ArtKitLabels, LabelsAreWrittenOnlyInTheLabelledVariant)
{
    CCanvas plain(64, 32);
    Label(plain, 0, 0, 64, 32, "G1");
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++)
            ASSERT_EQ(plain.At(x, y), kKeyGreen);
    SetLabelled(true);
    CCanvas labelled(64, 32);
    Label(labelled, 0, 0, 64, 32, "G1");
    SetLabelled(false);
    int n = 0;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++)
            n += labelled.At(x, y) == 0xFFFFFF;
    EXPECT_GT(n, 20);
}
