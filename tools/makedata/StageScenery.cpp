// The stage's scenery: the tree (or what stands in its place), the water basin, tufts, the far
// ground seen through gaps, the big picture in the sky, the glow and the haze.
#include <algorithm>
#include <cmath>

#include "StageArt.h"

namespace {

// A round shape shaded by the light with a darker edge: canopies, clouds, balloons.
void Blob(CArtKit& kit, float cx, float cy, float rx, float ry, const RGBF& base, const RGBF& edge, float fEdge)
{
    kit.Ball(cx, cy, rx, ry, base);
    if (fEdge > 0.0f)
        kit.EllipseOutline(cx, cy, rx, ry, fEdge, Flat(edge));
}

void RoundTree(CArtKit& kit, const STAGETHEME& t, float x, float y)
{
    const RGBF trunk = Rgb(t.trunk), outline = Rgb(t.outline);
    kit.Polygon({{x + 27.0f, y + 64.0f}, {x + 37.0f, y + 64.0f}, {x + 40.0f, y + 128.0f}, {x + 24.0f, y + 128.0f}},
                CylinderShade(x + 24.0f, 16.0f, trunk));
    kit.Stroke(x + 31.0f, y + 84.0f, x + 44.0f, y + 66.0f, 4.0f, CylinderShade(x + 36.0f, 10.0f, trunk));
    // Back leaves dark, front leaves lit; each clump speckled with leaf noise.
    const float kClumps[][3] = {{20, 52, 16}, {44, 50, 16}, {32, 34, 19}, {16, 36, 13}, {47, 34, 13},
                                {24, 20, 13}, {40, 20, 13}, {32, 54, 15}};
    for (const auto& c : kClumps)
        kit.Ellipse(x + c[0], y + c[1], c[2] + 1.5f, c[2] + 1.5f, Flat(outline));
    const RGBF leaf = Rgb(t.foliage);
    for (const auto& c : kClumps) {
        const PAINT shade = SphereShade(x + c[0], y + c[1], c[2], c[2], leaf);
        kit.Ellipse(x + c[0], y + c[1], c[2], c[2], [&](float px, float py) {
            return Scale(shade(px, py), 0.85f + 0.3f * ValueNoise(px, py, t.nSeed + 41, 3.0f, 0, 0));
        });
    }
}

void LampPost(CArtKit& kit, const STAGETHEME& t, float x, float y)
{
    const RGBF metal = Rgb(t.trunk), outline = Rgb(t.outline);
    kit.RoundBox(x + 22.0f, y + 112.0f, 20.0f, 16.0f, 3.0f, CylinderShade(x + 22.0f, 20.0f, metal));
    kit.Fill((int)x + 29, (int)y + 30, 6, 84, CylinderShade(x + 29.0f, 6.0f, metal));
    kit.Stroke(x + 32.0f, y + 32.0f, x + 46.0f, y + 22.0f, 3.0f, Flat(Scale(metal, 0.9f)));
    kit.Stroke(x + 32.0f, y + 32.0f, x + 18.0f, y + 22.0f, 3.0f, Flat(Scale(metal, 0.9f)));
    for (float lx : {12.0f, 40.0f}) {
        kit.RoundBox(x + lx, y + 12.0f, 12.0f, 8.0f, 2.0f, Flat(Scale(metal, 1.2f)));
        kit.Ellipse(x + lx + 6.0f, y + 22.0f, 5.0f, 4.0f, RadialGradient(x + lx + 6.0f, y + 21.0f, 5.0f, Rgb(0xFFFFFF),
                                                                        Rgb(t.windowLit)));
    }
    kit.RoundBoxOutline(x + 22.0f, y + 112.0f, 20.0f, 16.0f, 3.0f, 1.2f, Flat(outline));
}

void Cactus(CArtKit& kit, const STAGETHEME& t, float x, float y)
{
    const RGBF green = Rgb(t.foliage), outline = Rgb(t.outline);
    struct ARM {
        float x0, y0, x1, y1, w;
    };
    const ARM kArms[] = {{32, 128, 32, 26, 16}, {32, 86, 14, 86, 10}, {14, 88, 14, 52, 10},
                         {32, 72, 50, 72, 10}, {50, 74, 50, 40, 10}};
    for (const ARM& a : kArms)
        kit.Stroke(x + a.x0, y + a.y0, x + a.x1, y + a.y1, a.w + 3.0f, Flat(outline));
    for (const ARM& a : kArms) {
        const bool bUpright = a.x0 == a.x1;
        const float left = std::min(a.x0, a.x1) - a.w / 2.0f;
        // Upright stems are round across x, the arms' elbows across y.
        const float mid = y + a.y0;
        const PAINT shade = bUpright ? CylinderShade(x + left, a.w, green) : [=](float, float py) {
            const float ny = std::clamp((py - 0.5f - mid) / (a.w / 2.0f), -1.0f, 1.0f);
            return Lit(green, 0.0f, ny, std::sqrt(1.0f - ny * ny));
        };
        kit.Stroke(x + a.x0, y + a.y0, x + a.x1, y + a.y1, a.w, [&, left](float px, float py) {
            // Ribs along the stem.
            const float rib = std::fabs(std::sin((px - x - left) * 3.14159f / (a.w / 3.0f)));
            return bUpright ? Scale(shade(px, py), 0.8f + 0.2f * rib) : shade(px, py);
        });
    }
    for (int i = 0; i < 18; i++) {
        const float sx = x + 26.0f + 12.0f * Hash01(t.nSeed + 43, i, 0), sy = y + 30.0f + 90.0f * Hash01(t.nSeed + 43, i, 1);
        kit.Plot((int)sx, (int)sy, Rgb(0xF0E8C0), 1.0f);
    }
    kit.Ellipse(x + 32.0f, y + 24.0f, 4.0f, 3.0f, Flat(Rgb(t.flower)));
}

void SnowPine(CArtKit& kit, const STAGETHEME& t, float x, float y)
{
    const RGBF outline = Rgb(t.outline);
    kit.Fill((int)x + 28, (int)y + 100, 8, 28, CylinderShade(x + 28.0f, 8.0f, Rgb(t.trunk)));
    // Tiers from the bottom up, each lit on the left and carrying snow on its upper edge.
    for (int i = 0; i < 4; i++) {
        const float top = y + 8.0f + 20.0f * (float)i, bottom = top + 40.0f, half = 12.0f + 6.0f * (float)i;
        const std::vector<PTF> tier = {{x + 32.0f, top}, {x + 32.0f + half, bottom}, {x + 32.0f - half, bottom}};
        kit.Polygon({{x + 32.0f, top}, {x + 32.0f, bottom}, {x + 32.0f - half, bottom}}, Flat(Rgb(t.foliage)));
        kit.Polygon({{x + 32.0f, top}, {x + 32.0f + half, bottom}, {x + 32.0f, bottom}}, Flat(Rgb(t.foliageDark)));
        kit.Polygon({{x + 32.0f, top}, {x + 32.0f + half * 0.45f, top + 18.0f}, {x + 32.0f, top + 14.0f},
                     {x + 32.0f - half * 0.45f, top + 18.0f}},
                    Flat(Rgb(t.capLight)));
        kit.Polygon({{x + 32.0f - half, bottom}, {x + 32.0f + half, bottom}, {x + 32.0f + half - 3.0f, bottom - 3.0f},
                     {x + 32.0f - half + 3.0f, bottom - 3.0f}},
                    Flat(Rgb(t.capDark)));
        kit.PolygonOutline(tier, 1.2f, Flat(outline));
    }
}

void Branch(CArtKit& kit, const STAGETHEME& t, float x, float y, float a, float len, float w, int nDepth, int nId)
{
    const float ex = x + std::cos(a) * len, ey = y - std::sin(a) * len;
    kit.Stroke(x, y, ex, ey, w, Flat(Lit(Rgb(t.trunk), -std::sin(a), 0.0f, 1.0f)));
    if (nDepth == 0)
        return;
    for (int k = 0; k < 2; k++) {
        const float spread = 0.35f + 0.35f * Hash01(t.nSeed + 45, nId, k);
        Branch(kit, t, ex, ey, a + (k ? spread : -spread), len * 0.68f, std::max(1.2f, w * 0.6f), nDepth - 1,
               nId * 2 + k + 1);
    }
}

void DeadTree(CArtKit& kit, const STAGETHEME& t, float x, float y)
{
    kit.Polygon({{x + 26.0f, y + 128.0f}, {x + 38.0f, y + 128.0f}, {x + 35.0f, y + 80.0f}, {x + 29.0f, y + 80.0f}},
                CylinderShade(x + 26.0f, 12.0f, Rgb(t.trunk)));
    Branch(kit, t, x + 32.0f, y + 84.0f, 1.5708f, 26.0f, 6.0f, 4, 1);
    // A hanging lantern gives the dark tree some life.
    kit.Stroke(x + 46.0f, y + 50.0f, x + 46.0f, y + 62.0f, 1.2f, Flat(Rgb(t.outline)));
    kit.RoundBox(x + 42.0f, y + 62.0f, 8.0f, 10.0f, 2.0f, RadialGradient(x + 46.0f, y + 67.0f, 5.0f, Rgb(0xFFE0A0),
                                                                             Rgb(t.accent)));
}

} // namespace

void DrawTree(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    kit.Clip(x, y, 64, 128);
    switch (t.tree) {
    case TS_ROUND:
        RoundTree(kit, t, (float)x, (float)y);
        break;
    case TS_LAMP:
        LampPost(kit, t, (float)x, (float)y);
        break;
    case TS_CACTUS:
        Cactus(kit, t, (float)x, (float)y);
        break;
    case TS_PINE:
        SnowPine(kit, t, (float)x, (float)y);
        break;
    case TS_DEAD:
        DeadTree(kit, t, (float)x, (float)y);
        break;
    }
    kit.Unclip();
}

// A stone basin of water in front of the ground, a little jet rising from it; the two frames
// differ in the ripples and the jet.
void DrawWater(CArtKit& kit, const STAGETHEME& t, int x, int y, int nFrame)
{
    const float fx = (float)x, fy = (float)y;
    const RGBF rim = Rgb(t.rim), water = Rgb(t.water), outline = Rgb(t.outline);
    kit.Clip(x, y, 64, 64);
    kit.RoundBox(fx + 3.0f, fy + 40.0f, 58.0f, 24.0f, 8.0f, VerticalGradient(fy + 40.0f, rim, fy + 64.0f, Scale(rim, 0.6f)));
    kit.RoundBoxOutline(fx + 3.0f, fy + 40.0f, 58.0f, 24.0f, 8.0f, 1.5f, Flat(outline));
    kit.Ellipse(fx + 32.0f, fy + 41.0f, 28.0f, 6.0f, Flat(Scale(rim, 1.15f)));
    kit.Ellipse(fx + 32.0f, fy + 41.5f, 24.0f, 4.0f, [&](float px, float py) {
        // Short bright ripples that move between the frames.
        const float ripple = ValueNoise(px - fx + (float)nFrame * 5.0f, (py - fy) * 4.0f, t.nSeed + 47, 6.0f, 0, 0);
        return ripple > 0.68f ? Rgb(t.waterLight) : Mix(water, Scale(water, 0.7f), (py - fy - 38.0f) / 8.0f);
    });
    // The jet: a column with a spray that rises and falls between the frames.
    const float top = fy + (nFrame ? 20.0f : 16.0f);
    kit.Stroke(fx + 32.0f, fy + 40.0f, fx + 32.0f, top, 3.0f, VerticalGradient(top, Rgb(0xFFFFFF), fy + 40.0f, Rgb(t.waterLight)));
    for (int i = 0; i < 6; i++) {
        const float a = 0.5f + 0.45f * (float)i + (float)nFrame * 0.2f;
        const float r = nFrame ? 7.0f : 9.0f;
        kit.Ellipse(fx + 32.0f + std::cos(a) * r * 1.4f, top + 4.0f + std::sin(a) * r * 0.5f + (float)(i & 1) * 3.0f, 1.3f,
                    1.3f, Flat(Rgb(t.waterLight)));
    }
    kit.Unclip();
}

// Tufts in front of the ground: blades from the bottom edge, a flower or a mound of snow.
void DrawGrass(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y + 64.0f;
    kit.Clip(x, y, 64, 64);
    if (t.bSnow)
        Blob(kit, fx + 30.0f, fy, 22.0f, 9.0f, Rgb(t.cap), Rgb(t.capDark), 1.0f);
    for (int i = 0; i < 14; i++) {
        const float bx = fx + 6.0f + 52.0f * Hash01(t.nSeed + 51, i, 0);
        const float h = 12.0f + 20.0f * Hash01(t.nSeed + 51, i, 1);
        const float lean = (Hash01(t.nSeed + 51, i, 2) - 0.5f) * 14.0f;
        const bool bDark = (i & 1) != 0;
        const RGBF base = Rgb(bDark ? t.grass : t.grassTip);
        kit.Polygon({{bx - 2.5f, fy}, {bx + lean, fy - h}, {bx + 2.5f, fy}},
                    VerticalGradient(fy - h, base, fy, Scale(Rgb(t.grass), bDark ? 0.6f : 0.8f)));
    }
    for (int i = 0; i < 2; i++) {
        const float cx = fx + 18.0f + 28.0f * (float)i, cy = fy - 18.0f - 6.0f * (float)i;
        kit.Stroke(cx, fy, cx, cy, 1.5f, Flat(Rgb(t.grass)));
        for (int p = 0; p < 5; p++) {
            const float a = (float)p * 1.2566f;
            kit.Ellipse(cx + std::cos(a) * 2.6f, cy + std::sin(a) * 2.6f, 2.0f, 2.0f, Flat(Rgb(t.flower)));
        }
        kit.Ellipse(cx, cy, 1.6f, 1.6f, Flat(Rgb(t.accent)));
    }
    kit.Unclip();
}

// The ground behind the main layer, seen where the main ground has a gap: a bumpy line of shrubs,
// rocks or drifts over a dark bank (or the sea below a pier). Tiles side by side.
void DrawFarGround(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y;
    const bool bSea = t.ground == GS_PLATES;
    const bool bBare = t.ground == GS_COBBLE || t.ground == GS_STRATA;
    const RGBF top = Rgb(bSea ? t.water : bBare ? t.capDark : t.foliageDark);
    const RGBF bank = Scale(Rgb(bSea ? t.water : t.bodyAlt), 0.55f);
    kit.Clip(x, y, 64, 64);
    kit.Shade(x, y, 64, 64, 4, [&](float px, float py, RGBF* pOut) {
        const float lx = px - fx, ly = py - fy;
        const float surface = bSea ? 22.0f : 14.0f + 10.0f * Fbm(lx, 0.0f, t.nSeed + 61, 16.0f, 2, 64, 0);
        if (ly < surface)
            return false;
        if (bSea) {
            const float ripple = ValueNoise(lx, ly * 4.0f, t.nSeed + 63, 8.0f, 64, 0);
            *pOut = ripple > 0.7f ? Mix(Rgb(t.waterLight), top, (ly - surface) / 42.0f) : Mix(top, bank, (ly - surface) / 40.0f);
            return true;
        }
        const float leaf = ValueNoise(lx, ly, t.nSeed + 62, 4.0f, 64, 0);
        const RGBF c = ly < surface + 10.0f ? Scale(top, 0.8f + 0.4f * leaf) : Mix(top, bank, std::min(1.0f, (ly - surface - 10.0f) / 16.0f));
        *pOut = ly < surface + 1.5f ? Rgb(t.outline) : c;
        return true;
    });
    kit.Unclip();
}

// The big picture on layer B, wider than any plane: an airship or a long cloud.
void DrawBig(CArtKit& kit, const STAGETHEME& t, int w, int h)
{
    const float fw = (float)w, fh = (float)h;
    const RGBF body = Rgb(t.bigBody), trim = Rgb(t.bigTrim), outline = Rgb(t.outline);
    if (t.big == BS_CLOUD) {
        // A long streak of cloud: flat puffs along the width, lit from the sun's side.
        const bool bLitBelow = t.sunY > 250.0f;
        const float kPuffs[][4] = {{44, 36, 40, 12}, {96, 30, 50, 16}, {150, 26, 56, 18}, {206, 30, 50, 16},
                                   {258, 36, 44, 12}, {120, 42, 60, 10}, {200, 42, 60, 10}};
        for (const auto& p : kPuffs) {
            kit.Ellipse(p[0], p[1], p[2], p[3], [&](float px, float py) {
                const float v = std::clamp((py - 14.0f) / 40.0f, 0.0f, 1.0f);
                const float n = ValueNoise(px, py * 2.0f, t.nSeed + 73, 10.0f, 0, 0);
                return Scale(Mix(trim, body, bLitBelow ? 1.0f - v : v), 0.94f + 0.12f * n);
            });
        }
        return;
    }
    // Airship facing right: tail fins, envelope, panel seams, gondola with lit windows.
    const float cx = fw * 0.5f, cy = fh * 0.42f, rx = fw * 0.44f, ry = fh * 0.36f;
    kit.Polygon({{cx - rx + 10.0f, cy}, {cx - rx - 6.0f, cy - ry - 4.0f}, {cx - rx + 40.0f, cy - 6.0f}}, Flat(trim));
    kit.Polygon({{cx - rx + 10.0f, cy}, {cx - rx - 6.0f, cy + ry + 4.0f}, {cx - rx + 40.0f, cy + 6.0f}}, Flat(Scale(trim, 0.7f)));
    kit.Ball(cx, cy, rx, ry, body);
    for (int i = 1; i < 6; i++) {
        const float sx = cx - rx + 2.0f * rx * (float)i / 6.0f;
        const float half = ry * std::sqrt(1.0f - std::pow((sx - cx) / rx, 2.0f));
        kit.Stroke(sx, cy - half + 1.5f, sx, cy + half - 1.5f, 1.2f, Flat(Scale(body, 0.72f)));
    }
    kit.Stroke(cx - rx * 0.9f, cy + 4.0f, cx + rx * 0.95f, cy + 4.0f, 4.0f, Flat(trim));
    kit.EllipseOutline(cx, cy, rx, ry, 1.5f, Flat(outline));
    const float gx = cx - 34.0f, gy = cy + ry - 3.0f;
    kit.RoundBox(gx, gy, 68.0f, fh - gy - 2.0f, 5.0f, VerticalGradient(gy, Scale(trim, 1.1f), fh, Scale(trim, 0.6f)));
    for (int i = 0; i < 6; i++)
        kit.RoundBox(gx + 6.0f + 10.0f * (float)i, gy + 4.0f, 6.0f, 5.0f, 1.0f, Flat(Rgb(t.windowLit)));
    kit.RoundBoxOutline(gx, gy, 68.0f, fh - gy - 2.0f, 5.0f, 1.2f, Flat(outline));
}

void DrawGlow(CArtKit& kit, const STAGETHEME& t, int w, int h)
{
    const float cx = (float)w / 2.0f, cy = (float)h / 2.0f, r = (float)std::min(w, h) / 2.0f - 1.0f;
    const RGBF glow = Rgb(t.glow);
    kit.Fill(0, 0, w, h, [=](float px, float py) {
        const float d = std::min(1.0f, std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy)) / r);
        const float f = (1.0f - d) * (1.0f - d);
        return Mix(Scale(glow, f), Rgb(0xFFFFFF), std::max(0.0f, 1.0f - d * 5.0f));
    });
}

void DrawHaze(CArtKit& kit, const STAGETHEME& t, int w, int h)
{
    const float cx = (float)w / 2.0f, cy = (float)h / 2.0f, r = (float)std::min(w, h) / 2.0f - 1.0f;
    const RGBF haze = Rgb(t.haze);
    kit.Fill(0, 0, w, h, [=](float px, float py) {
        const float d = std::min(1.0f, std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy) * 1.6f) / r);
        const float n = Fbm(px, py, t.nSeed + 71, 16.0f, 3, 0, 0);
        return Scale(haze, std::max(0.0f, (1.0f - d) * (0.6f + 0.8f * n)));
    });
}
