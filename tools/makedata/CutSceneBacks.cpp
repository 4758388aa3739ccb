// The cut-scenes' backgrounds: the heroine's town at dusk, burning and on the morning of her
// return; the night she decides; the road to the sky fortress; the fortress falling; the dawn; a
// bright sky; and the staff picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "CutSceneArt.h"
#include "CutScenes.h"

namespace {

const int kW = 640, kH = 480;

RGBF C(uint32_t dwColor)
{
    return Rgb(dwColor);
}

// The colour of a vertical gradient of stops at y (for things that show the sky through them).
RGBF StopsAt(const std::vector<std::pair<float, RGBF>>& stops, float y)
{
    if (y <= stops.front().first) {
        return stops.front().second;
    }
    for (size_t i = 1; i < stops.size(); i++) {
        if (y <= stops[i].first) {
            const float t = (y - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
            return Mix(stops[i - 1].second, stops[i].second, t);
        }
    }
    return stops.back().second;
}

void Stars(CArtKit& kit, uint32_t nSeed, int nCount, float yMax)
{
    for (int i = 0; i < nCount; i++) {
        const int x = (int)(Hash01(nSeed, i, 0) * kW);
        const float fy = Hash01(nSeed, i, 1);
        const int y = (int)(fy * fy * yMax);
        const float b = Hash01(nSeed, i, 2);
        kit.Plot(x, y, C(0xFFFFF0), 0.35f + 0.65f * b);
        if (b > 0.93f) {
            for (int k = 0; k < 4; k++) {
                kit.Plot(x + (k == 0) - (k == 1), y + (k == 2) - (k == 3), C(0xFFFFF0), 0.4f);
            }
        }
    }
}

} // namespace

void ArtCloud(CArtKit& kit, float cx, float cy, float w, const RGBF& lit, const RGBF& shade, uint32_t nSeed, bool bLitBelow)
{
    const int n = 7;
    for (int i = 0; i < n; i++) {
        const float t = (float)i / (n - 1);
        const float px = cx - w / 2 + w * t;
        const float r = w * (0.14f + 0.12f * std::sin(t * 3.14159f)) * (0.8f + 0.4f * Hash01(nSeed, i, 0));
        const float py = cy - r * 0.4f * std::sin(t * 3.14159f);
        kit.Ellipse(px, py, r, r * 0.72f, [=](float x, float y) {
            const float k = std::clamp((y - (py - r * 0.72f)) / (r * 1.44f), 0.0f, 1.0f);
            return Mix(lit, shade, bLitBelow ? 1.0f - k : k * 0.85f + std::clamp((x - px) / r, 0.0f, 1.0f) * 0.1f);
        });
    }
}

namespace {

void Cloud(CArtKit& kit, float cx, float cy, float w, const RGBF& lit, const RGBF& shade, uint32_t nSeed, bool bLitBelow)
{
    ArtCloud(kit, cx, cy, w, lit, shade, nSeed, bLitBelow);
}

// A jagged far silhouette from noise, repeating nothing: from y0 with peaks up to h.
void Ridge(CArtKit& kit, float y0, float h, float cell, uint32_t nSeed, const PAINT& paint)
{
    std::vector<PTF> pts = {{0, (float)kH}};
    for (int x = 0; x <= kW; x += 4) {
        pts.push_back(PTF{(float)x, y0 - h * Fbm((float)x, 0.0f, nSeed, cell, 4, 0, 0)});
    }
    pts.push_back(PTF{(float)kW, (float)kH});
    kit.Polygon(pts, paint);
}

// ---- The town -------------------------------------------------------------------------------------

struct TOWN {
    std::vector<std::pair<float, RGBF>> sky;
    uint32_t cloudLit, cloudShade, hills, city, windowLit;
    float fLitWindows;
    uint32_t walls[4], roof, roofDark, street, pavement, ink;
    float fShade;  // 1 as it is, below 1 darker
};

TOWN TownOf(TOWNMOOD mood)
{
    switch (mood) {
    case TOWN_BURNING:
        return TOWN{{{0, C(0x1A0408)}, {150, C(0x5A0C14)}, {260, C(0xB02818)}, {330, C(0xF07028)}},
                    0x8A3020, 0x2A0C10, 0x4A1418, 0x2A0A10, 0xFF8030, 0.15f,
                    {0x8A4A3A, 0x6A4A5A, 0x7A5A3A, 0x5A4A4A}, 0x3A1A1A, 0x200C0C, 0x2A2028, 0x5A4A48, 0x140808, 0.7f};
    case TOWN_MORNING:
        return TOWN{{{0, C(0x3A78D0)}, {160, C(0x78B4EC)}, {280, C(0xC4E4F8)}, {330, C(0xEAF6FC)}},
                    0xFFFFFF, 0xB8C8E0, 0x7AAA8A, 0x8AA0B8, 0xFFE8A0, 0.1f,
                    {0xF0D8B0, 0xC8E0F0, 0xF0C8C8, 0xE0E8C0}, 0xC04838, 0x7A2A20, 0x5A5A66, 0xB8B4AC, 0x2A2028, 1.0f};
    default:
        return TOWN{{{0, C(0x2B2D6E)}, {150, C(0x9B4F8A)}, {260, C(0xF59B5B)}, {330, C(0xFFD27A)}},
                    0xFFB38A, 0x6E4A80, 0x8A5E8C, 0x573E70, 0xFFD36B, 0.7f,
                    {0xC8906A, 0xA88AA0, 0xD8A870, 0x9A7A8A}, 0x6A3040, 0x3A1828, 0x3A3040, 0x8A7A78, 0x2A1C1C, 0.85f};
    }
}

void House(CArtKit& kit, const TOWN& t, float x, float w, float h, int nColour, uint32_t nSeed)
{
    const float base = 400.0f, top = base - h;
    const RGBF wall = Scale(C(t.walls[nColour % 4]), t.fShade);
    kit.Fill((int)x, (int)top, (int)w, (int)h, [=](float px, float) {
        return Mix(Scale(wall, 1.08f), Scale(wall, 0.8f), std::clamp((px - x) / w, 0.0f, 1.0f));
    });
    kit.RoundBoxOutline(x, top, w, h, 0.0f, 1.6f, Flat(C(t.ink)));
    // The gable roof, and its eaves' shadow on the wall.
    const std::vector<PTF> roof = {{x - 8, top + 2}, {x + w / 2, top - h * 0.45f}, {x + w + 8, top + 2}};
    kit.Polygon(roof, [=](float px, float py) {
        const float k = std::clamp((px - x) / w, 0.0f, 1.0f);
        const float stripe = ((int)(py / 5.0f) % 2) ? 0.92f : 1.0f;
        return Scale(Mix(C(t.roof), C(t.roofDark), k), stripe);
    });
    kit.PolygonOutline(roof, 1.6f, Flat(C(t.ink)));
    kit.Fill((int)x, (int)top + 2, (int)w, 5, Flat(Scale(wall, 0.55f)));
    // Chimney on some.
    if (Hash01(nSeed, 0, 1) > 0.5f) {
        const float cx = x + w * 0.72f;
        kit.Fill((int)cx, (int)(top - h * 0.36f), 12, (int)(h * 0.2f), Flat(Scale(C(t.roofDark), 1.2f)));
    }
    // Windows: lit or dark, with a frame and a sill; a door on the ground floor.
    for (int k = 0; k < 2; k++) {
        const float wx = x + w * (0.18f + 0.46f * (float)k), wy = top + h * 0.22f;
        const bool bLit = Hash01(nSeed, k, 2) < t.fLitWindows;
        const RGBF glass = bLit ? C(t.windowLit) : Scale(C(0x28304A), t.fShade);
        kit.Fill((int)wx, (int)wy, (int)(w * 0.2f), (int)(h * 0.22f), VerticalGradient(wy, Mix(glass, C(0xFFFFFF), bLit ? 0.3f : 0.15f), wy + h * 0.22f, glass));
        kit.RoundBoxOutline(wx, wy, w * 0.2f, h * 0.22f, 0.0f, 1.4f, Flat(C(t.ink)));
        kit.Stroke(wx + w * 0.1f, wy, wx + w * 0.1f, wy + h * 0.22f, 1.2f, Flat(C(t.ink)));
        kit.Fill((int)wx - 2, (int)(wy + h * 0.22f), (int)(w * 0.2f) + 4, 3, Flat(C(0xE8E0D0)));
    }
    const float dx = x + w * 0.4f, dy = base - h * 0.38f;
    kit.Fill((int)dx, (int)dy, (int)(w * 0.22f), (int)(h * 0.38f), Flat(Scale(C(0x6A4028), t.fShade)));
    kit.RoundBoxOutline(dx, dy, w * 0.22f, h * 0.38f, 0.0f, 1.4f, Flat(C(t.ink)));
}

// The heroine's garage: brick front, its door rolled up on a workshop lit by a bulb.
void Garage(CArtKit& kit, const TOWN& t)
{
    const float x = 404, y = 214, w = 240, h = 186;
    const RGBF brick = Scale(C(0xA8563C), t.fShade);
    kit.Fill((int)x, (int)y, (int)w, (int)h, [=](float px, float py) {
        const int row = (int)((py - y) / 10.0f);
        const float bx = px - x + (row % 2 ? 12.0f : 0.0f);
        const bool bMortar = std::fmod(py - y, 10.0f) < 1.6f || std::fmod(bx, 24.0f) < 1.6f;
        const float n = 0.9f + 0.2f * Hash01(31, (int)(bx / 24.0f), row);
        return bMortar ? Scale(C(0xC8B8A0), t.fShade * 0.9f) : Scale(brick, n);
    });
    kit.Fill((int)x - 6, (int)y - 12, (int)w + 12, 14, Flat(Scale(C(0x5A5A64), t.fShade)));
    kit.RoundBoxOutline(x, y, w, h, 0.0f, 1.8f, Flat(C(t.ink)));
    // The opening, the workshop inside, the rolled door above it.
    const float ix = x + 24, iy = y + 56, iw = w - 40, ih = h - 56;
    kit.Fill((int)ix, (int)iy, (int)iw, (int)ih, VerticalGradient(iy, C(0x3A2E2A), iy + ih, C(0x141010)));
    ArtGlow(kit, ix + iw * 0.5f, iy + 20, 90.0f, C(0xFFD890), 0.45f);
    kit.Ellipse(ix + iw * 0.5f, iy + 14, 5, 6, Flat(C(0xFFF8D0)));
    for (int k = 0; k < 5; k++) {
        const float tx = ix + 16 + 22.0f * (float)k;
        kit.Stroke(tx, iy + 40, tx + 4, iy + 60, 3.0f, Flat(C(0x9A9AA8)));
    }
    kit.Fill((int)ix + 8, (int)(iy + 64), (int)iw - 16, 4, Flat(C(0x6A4A30)));
    kit.Fill((int)ix - 4, (int)iy - 16, (int)iw + 8, 16, VerticalGradient(iy - 16, C(0xB8BCC8), iy, C(0x7A7E8A)));
    for (int k = 0; k < 4; k++) {
        kit.Stroke(ix - 4, iy - 13 + 4.0f * (float)k, ix + iw + 4, iy - 13 + 4.0f * (float)k, 1.0f, Flat(C(0x5A5E6A)));
    }
    kit.RoundBoxOutline(ix, iy, iw, ih, 0.0f, 1.6f, Flat(C(t.ink)));
    // The sign over the door.
    kit.RoundBox(x + 40, y + 14, w - 80, 28, 6, Flat(C(0x2A3A6A)));
    kit.RoundBoxOutline(x + 40, y + 14, w - 80, 28, 6, 2.0f, Flat(C(0xF0C030)));
    const std::string sign = "ZORVA MOTORS";
    kit.Text(x + w / 2 - (float)CArtKit::TextWidth(sign, 16) / 2, y + 20, sign, 16, Flat(C(0xFFE070)), C(0x1A1A30), 1.0f);
}

void Poles(CArtKit& kit, const TOWN& t)
{
    const RGBF wood = Scale(C(0x5A4030), t.fShade);
    for (float px : {36.0f, 372.0f}) {
        kit.Stroke(px, 404, px, 176, 6.0f, Flat(wood));
        kit.Stroke(px - 22, 188, px + 22, 188, 4.0f, Flat(wood));
    }
    for (float dy : {0.0f, 10.0f}) {
        std::vector<PTF> wire;
        for (int i = -10; i <= 34; i++) {
            const float x = 36.0f + (float)i * 14.0f;
            const float u = std::fmod((x - 36.0f) / 336.0f + 10.0f, 1.0f);
            wire.push_back(PTF{x, 186 + dy + 22.0f * u * (1.0f - u) * 4.0f * 0.5f});
        }
        kit.PolyLine(wire, 1.2f, Flat(C(t.ink)));
    }
}

// Bunting of the homecoming between the poles.
void Bunting(CArtKit& kit)
{
    const uint32_t flags[5] = {0xE04040, 0xF0C030, 0x40A0E0, 0x50C060, 0xF080C0};
    for (int i = 0; i < 22; i++) {
        const float u = (float)i / 22.0f;
        const float x = 40.0f + 330.0f * u, y = 200.0f + 40.0f * u * (1.0f - u) * 2.0f;
        kit.Polygon({{x, y}, {x + 12, y + 1}, {x + 6, y + 16}}, Flat(C(flags[i % 5])));
    }
    kit.PolyLine({{40, 200}, {205, 220}, {370, 200}}, 1.0f, Flat(C(0x2A2028)));
}

} // namespace

void DrawTown(CArtKit& kit, TOWNMOOD mood)
{
    const TOWN t = TownOf(mood);
    kit.Fill(0, 0, kW, kH, VerticalStops(t.sky));
    if (mood == TOWN_DUSK) {
        ArtGlow(kit, 250, 236, 170, C(0xFFB070), 0.6f);
        kit.Ellipse(250, 236, 30, 30, RadialGradient(250, 236, 30, C(0xFFFFF0), C(0xFFE0A0)));
    } else if (mood == TOWN_MORNING) {
        ArtGlow(kit, 90, 70, 150, C(0xFFFFF0), 0.7f);
        kit.Ellipse(90, 70, 30, 30, RadialGradient(90, 70, 30, C(0xFFFFFF), C(0xFFF6D0)));
    }
    const bool bBelow = mood == TOWN_DUSK || mood == TOWN_BURNING;
    for (int i = 0; i < 4; i++) {
        const float cx = 80.0f + 170.0f * (float)i + 40.0f * Hash01(7 + mood, i, 0);
        Cloud(kit, cx, 60.0f + 60.0f * Hash01(7 + mood, i, 1), 130.0f + 60.0f * Hash01(7 + mood, i, 2), C(t.cloudLit), C(t.cloudShade),
              (uint32_t)(i + 3 * mood), bBelow);
    }
    if (mood == TOWN_BURNING) {
        for (int i = 0; i < 5; i++) {
            const float fx = 40.0f + 140.0f * (float)i;
            ArtGlow(kit, fx, 320, 120, C(0xFF6020), 0.55f);
        }
    }
    Ridge(kit, 300, 60, 90, 11, Flat(C(t.hills)));
    // The far city.
    for (int i = 0; i < 18; i++) {
        const float x = -10.0f + 38.0f * (float)i, h = 30.0f + 70.0f * Hash01(13, i, 0);
        kit.Fill((int)x, (int)(330 - h), 30, (int)h + 80, Flat(C(t.city)));
        for (int k = 0; k < 6; k++) {
            if (Hash01(13, i, k + 1) < t.fLitWindows * 0.5f) {
                kit.Fill((int)x + 6 + (k % 2) * 12, (int)(330 - h + 8 + (float)(k / 2) * 14), 5, 6, Flat(C(t.windowLit)));
            }
        }
    }
    if (mood == TOWN_BURNING) {
        // Flames on the far roofs, smoke billowing up from them and thinning into the sky.
        for (int i = 0; i < 4; i++) {
            const float fx = 70.0f + 160.0f * (float)i + 30.0f * Hash01(43, i, 0), fy = 250.0f + 20.0f * Hash01(43, i, 1);
            for (int k = 0; k < 9; k++) {
                const float r = 18.0f + 5.0f * (float)k;
                const float px = fx - 6.0f * (float)k + 12.0f * std::sin((float)k * 1.3f + (float)i);
                const float py = fy - 24.0f * (float)k;
                const float a = 0.7f - 0.06f * (float)k;
                kit.Ellipse(px, py, r, r * 0.8f, [&t, py, r, a](float, float y) {
                    const RGBF smoke = Mix(C(0x3A2024), C(0x6A3028), std::clamp((y - py + r) / (2 * r), 0.0f, 1.0f));
                    return Mix(StopsAt(t.sky, y), smoke, a);
                });
            }
            for (int k = 0; k < 3; k++) {
                const float px = fx - 14.0f + 14.0f * (float)k, h = 22.0f + 10.0f * (float)(k % 2);
                kit.Polygon({{px - 9, fy + 10}, {px - 3, fy - h * 0.6f}, {px, fy - h}, {px + 4, fy - h * 0.5f}, {px + 9, fy + 10}},
                            VerticalGradient(fy - h, C(0xFFF0A0), fy + 10, C(0xF04010)));
            }
            ArtGlow(kit, fx, fy, 70, C(0xFF8030), 0.5f);
        }
    }
    // Houses along the street and the garage.
    const float widths[5] = {92, 84, 100, 88, 76};
    float x = -30;
    for (int i = 0; i < 5; i++) {
        House(kit, t, x, widths[i], 110.0f + 30.0f * Hash01(17, i, 0), i, (uint32_t)(41 + i));
        x += widths[i] + 8;
    }
    Garage(kit, t);
    Poles(kit, t);
    if (mood == TOWN_MORNING) {
        Bunting(kit);
    }
    // Pavement, kerb and the street.
    kit.Fill(0, 400, kW, 18, Flat(C(t.pavement)));
    kit.Fill(0, 416, kW, 4, Flat(Scale(C(t.pavement), 0.7f)));
    kit.Fill(0, 420, kW, 60, [=](float px, float py) {
        return Scale(C(t.street), 0.9f + 0.2f * ValueNoise(px, py, 23, 3.0f, 0, 0) - (py - 420) * 0.002f);
    });
    for (int k = 0; k < 5; k++) {
        kit.Fill(20 + 140 * k, 452, 70, 4, Flat(Scale(C(0xE8E0C0), t.fShade)));
    }
    if (mood == TOWN_BURNING) {
        for (int i = 0; i < 60; i++) {
            const int ex = (int)(Hash01(29, i, 0) * kW), ey = (int)(Hash01(29, i, 1) * 380.0f);
            kit.Plot(ex, ey, C(0xFFA040), 0.5f + 0.5f * Hash01(29, i, 2));
            kit.Plot(ex + 1, ey, C(0xFF6020), 0.4f);
        }
    }
}

// ---- The night she decides ------------------------------------------------------------------------

void DrawNight(CArtKit& kit)
{
    const std::vector<std::pair<float, RGBF>> sky = {{0, C(0x08040E)}, {200, C(0x240814)}, {380, C(0x5A1018)}, {480, C(0x8A2018)}};
    kit.Fill(0, 0, kW, kH, VerticalStops(sky));
    Stars(kit, 51, 90, 260);
    // Searchlights from the fleet above, sweeping the town.
    const float beams[3][3] = {{120, 60, 0.22f}, {420, 240, 0.16f}, {560, 520, 0.12f}};
    for (const auto& b : beams) {
        const float x0 = b[0], x1 = b[1];
        kit.Polygon({{x0 - 6, 0}, {x0 + 6, 0}, {x1 + 60, 480}, {x1 - 60, 480}},
                    [&, k = b[2]](float, float y) { return Mix(StopsAt(sky, y), C(0xFFD8C0), k * (1.0f - y / 700.0f)); });
    }
    for (int i = 0; i < 6; i++) {
        ArtGlow(kit, 40.0f + 120.0f * (float)i, 420, 110, C(0xFF5020), 0.5f);
    }
    // The burning town, black against the glow.
    std::vector<PTF> skyline = {{0, 480}};
    for (int i = 0; i <= 26; i++) {
        const float x = (float)i * 25.0f, h = 40.0f + 90.0f * Hash01(53, i, 0);
        skyline.push_back(PTF{x, 480 - h});
        skyline.push_back(PTF{x + 25.0f, 480 - h});
    }
    skyline.push_back(PTF{640, 480});
    kit.Polygon(skyline, Flat(C(0x0C0608)));
    for (int i = 0; i < 40; i++) {
        const int ex = (int)(Hash01(57, i, 0) * kW), ey = 200 + (int)(Hash01(57, i, 1) * 260.0f);
        kit.Plot(ex, ey, C(0xFFA040), 0.6f + 0.4f * Hash01(57, i, 2));
    }
}

// ---- The road to the fortress ---------------------------------------------------------------------

namespace {

// The sky fortress: a dark hull with towers and spikes below, lights in its windows.
void Fortress(CArtKit& kit, float cx, float cy, float s, const RGBF& hull, const RGBF& lights)
{
    const PAINT paint = VerticalGradient(cy - 60 * s, Scale(hull, 1.3f), cy + 40 * s, Scale(hull, 0.7f));
    kit.Polygon({{cx - 130 * s, cy}, {cx - 100 * s, cy - 24 * s}, {cx + 110 * s, cy - 24 * s}, {cx + 140 * s, cy}, {cx + 90 * s, cy + 34 * s},
                 {cx - 80 * s, cy + 34 * s}},
                paint);
    const float towers[6][3] = {{-80, 34, 16}, {-40, 60, 20}, {0, 92, 26}, {40, 70, 20}, {80, 40, 16}, {108, 26, 12}};
    for (const auto& tw : towers) {
        const float tx = cx + tw[0] * s, th = tw[1] * s, w = tw[2] * s;
        kit.Fill((int)(tx - w / 2), (int)(cy - 24 * s - th), (int)w, (int)th + 2, paint);
        kit.Polygon({{tx - w / 2 - 3 * s, cy - 24 * s - th}, {tx, cy - 24 * s - th - 18 * s}, {tx + w / 2 + 3 * s, cy - 24 * s - th}}, paint);
        for (int k = 0; k < (int)(th / (12 * s)); k++) {
            kit.Fill((int)(tx - 2 * s), (int)(cy - 24 * s - th + 8 * s + (float)k * 12 * s), std::max(2, (int)(3 * s)),
                     std::max(2, (int)(4 * s)), Flat(lights));
        }
    }
    for (int k = 0; k < 5; k++) {
        const float sx = cx - 60 * s + (float)k * 30 * s;
        kit.Polygon({{sx - 8 * s, cy + 30 * s}, {sx + 8 * s, cy + 30 * s}, {sx, cy + 70 * s - (float)(k % 2) * 18 * s}}, paint);
    }
    for (int k = 0; k < 9; k++) {
        kit.Fill((int)(cx - 90 * s + (float)k * 22 * s), (int)(cy - 6 * s), std::max(2, (int)(5 * s)), std::max(2, (int)(4 * s)), Flat(lights));
    }
}

} // namespace

void DrawRoad(CArtKit& kit)
{
    const std::vector<std::pair<float, RGBF>> sky = {{0, C(0x2A0810)}, {120, C(0x7A1820)}, {210, C(0xD85028)}, {252, C(0xFFB060)}};
    kit.Fill(0, 0, kW, 256, VerticalStops(sky));
    ArtGlow(kit, 330, 250, 200, C(0xFFC070), 0.5f);
    for (int i = 0; i < 3; i++) {
        Cloud(kit, 90.0f + 220.0f * (float)i, 70.0f + 30.0f * (float)(i % 2), 170, C(0xE07040), C(0x4A1420), (uint32_t)(61 + i), true);
    }
    Fortress(kit, 450, 120, 0.9f, C(0x3A1A24), C(0xFFB040));
    ArtGlow(kit, 450, 120, 130, C(0xFF4020), 0.2f);
    // Mesas on the horizon, then the plain.
    kit.Polygon({{0, 256}, {0, 224}, {40, 222}, {60, 236}, {130, 234}, {150, 212}, {210, 210}, {224, 240}, {420, 244}, {440, 218}, {520, 214},
                 {540, 234}, {640, 232}, {640, 256}},
                VerticalGradient(210, C(0x8A3A3A), 256, C(0x5A2430)));
    kit.Fill(0, 250, kW, 230, [](float px, float py) {
        const float k = (py - 250) / 230.0f;
        return Scale(Mix(C(0xB06A48), C(0x6A3020), k), 0.92f + 0.16f * Fbm(px, py * 2.0f, 67, 24.0f, 3, 0, 0));
    });
    // The road to the horizon, its edges and the dashes down the middle.
    const float vx = 332, vy = 252;
    kit.Polygon({{vx - 6, vy}, {vx + 6, vy}, {560, 480}, {100, 480}}, VerticalGradient(vy, C(0x5A4048), 480, C(0x2A2028)));
    kit.PolyLine({{vx - 5, vy}, {112, 480}}, 3.0f, Flat(C(0xE8D8C0)));
    kit.PolyLine({{vx + 5, vy}, {548, 480}}, 3.0f, Flat(C(0xE8D8C0)));
    for (int k = 0; k < 9; k++) {
        const float t0 = std::pow((float)k / 9.0f, 2.0f), t1 = std::pow(((float)k + 0.5f) / 9.0f, 2.0f);
        const float y0 = vy + (480 - vy) * t0, y1 = vy + (480 - vy) * t1;
        const float w0 = 1.0f + 5.0f * t0, w1 = 1.0f + 5.0f * t1;
        kit.Polygon({{vx - w0, y0}, {vx + w0, y0}, {vx + w1, y1}, {vx - w1, y1}}, Flat(C(0xF8E070)));
    }
    // Rocks by the road.
    for (int i = 0; i < 6; i++) {
        const float rx = i % 2 ? 560.0f + 30.0f * (float)i : 20.0f + 16.0f * (float)i, ry = 300.0f + 28.0f * (float)i;
        const float r = 8.0f + 3.0f * (float)i;
        kit.Ellipse(rx, ry, r * 1.4f, r, SphereShade(rx, ry, r * 1.4f, r, C(0x8A4A38)));
    }
}

// ---- The fortress falls ---------------------------------------------------------------------------

void DrawFortress(CArtKit& kit)
{
    kit.Fill(0, 0, kW, kH, VerticalStops({{0, C(0x200408)}, {200, C(0x6A0C14)}, {380, C(0xC02818)}, {480, C(0xF06020)}}));
    for (int i = 0; i < 5; i++) {
        Cloud(kit, 60.0f + 140.0f * (float)i, 40.0f + 20.0f * (float)(i % 3), 200, C(0x6A2020), C(0x1A0808), (uint32_t)(71 + i), true);
    }
    Fortress(kit, 330, 230, 2.1f, C(0x2A1820), C(0xFFC050));
    // Cracks that glow, and explosions tearing it open.
    const float cracks[4][4] = {{180, 190, 240, 300}, {300, 120, 340, 260}, {420, 170, 390, 290}, {250, 250, 470, 270}};
    for (const auto& c : cracks) {
        const PTF a = {c[0], c[1]}, b = {c[2], c[3]};
        const PTF m = {(a.x + b.x) / 2 + 14, (a.y + b.y) / 2 - 8};
        kit.PolyLine({a, m, b}, 6.0f, Flat(C(0xFF8020)));
        kit.PolyLine({a, m, b}, 2.5f, Flat(C(0xFFF0A0)));
    }
    const float blasts[4][3] = {{190, 210, 60}, {360, 150, 80}, {470, 260, 50}, {280, 300, 44}};
    for (int n = 0; n < 4; n++) {
        const float bx = blasts[n][0], by = blasts[n][1], br = blasts[n][2];
        ArtGlow(kit, bx, by, br * 2.2f, C(0xFF7020), 0.7f);
        std::vector<PTF> burst;
        for (int k = 0; k < 18; k++) {
            const float a = (float)k * 0.349f + (float)n;
            const float r = br * (k % 2 ? 0.38f : 0.62f + 0.3f * Hash01(77, n, k));
            burst.push_back(PTF{bx + std::cos(a) * r, by + std::sin(a) * r * 0.85f});
        }
        kit.Polygon(burst, RadialGradient(bx, by, br * 0.8f, C(0xFFFFE0), C(0xFF7020)));
    }
    for (int i = 0; i < 14; i++) {
        const float dx = 60.0f + 40.0f * (float)i + 20.0f * Hash01(79, i, 0), dy = 340.0f + 120.0f * Hash01(79, i, 1);
        const float r = 4.0f + 7.0f * Hash01(79, i, 2);
        kit.Polygon({{dx - r, dy}, {dx, dy - r * 0.8f}, {dx + r, dy + r * 0.3f}, {dx + r * 0.2f, dy + r}}, Flat(C(0x1A1014)));
    }
    Ridge(kit, 470, 40, 80, 83, Flat(C(0x140808)));
}

// ---- Dawn -----------------------------------------------------------------------------------------

void DrawDawn(CArtKit& kit)
{
    const std::vector<std::pair<float, RGBF>> sky = {{0, C(0x1A2A6A)}, {130, C(0x6A4A9A)}, {240, C(0xF08A50)}, {300, C(0xFFE090)}};
    kit.Fill(0, 0, kW, kH, VerticalStops(sky));
    Stars(kit, 91, 30, 90);
    // The sun rising, its rays fanning over the sky.
    for (int k = 0; k < 12; k++) {
        const float a0 = 3.14159f + (float)k * 0.262f, a1 = a0 + 0.11f;
        kit.Polygon({{320, 300}, {320 + 700 * std::cos(a0), 300 + 700 * std::sin(a0)}, {320 + 700 * std::cos(a1), 300 + 700 * std::sin(a1)}},
                    [&sky](float, float y) {
                        return Mix(StopsAt(sky, y), C(0xFFF0C0), 0.18f * std::clamp(y / 300.0f, 0.0f, 1.0f));
                    });
    }
    ArtGlow(kit, 320, 300, 220, C(0xFFE8A0), 0.7f);
    kit.Ellipse(320, 300, 48, 48, RadialGradient(320, 300, 48, C(0xFFFFFF), C(0xFFF0B0)));
    for (int i = 0; i < 3; i++) {
        Cloud(kit, 120.0f + 200.0f * (float)i, 150.0f + 30.0f * (float)(i % 2), 150, C(0xFFC090), C(0x7A4A7A), (uint32_t)(93 + i), true);
    }
    // Hills in layers, the road winding towards the sun.
    Ridge(kit, 318, 30, 120, 95, Flat(C(0xB06A80)));
    Ridge(kit, 350, 40, 100, 96, Flat(C(0x7A3E62)));
    Ridge(kit, 420, 30, 70, 97, Flat(C(0x3A2038)));
    std::vector<PTF> left, right;
    for (int k = 0; k <= 16; k++) {
        const float t = (float)k / 16.0f, y = 352.0f + 128.0f * t;
        const float cx = 320.0f + 70.0f * std::sin(t * 5.0f) * t, w = 2.0f + 110.0f * t * t;
        left.push_back(PTF{cx - w, y});
        right.push_back(PTF{cx + w, y});
    }
    std::vector<PTF> road = left;
    road.insert(road.end(), right.rbegin(), right.rend());
    kit.Polygon(road, VerticalGradient(352, C(0xF0C090), 480, C(0x9A6048)));
    kit.Polygon({{0, 480}, {0, 440}, {150, 430}, {240, 470}, {180, 480}}, Flat(C(0x2A1828)));
    kit.Polygon({{640, 480}, {640, 436}, {520, 440}, {460, 476}, {500, 480}}, Flat(C(0x2A1828)));
    for (int i = 0; i < 5; i++) {
        const float bx = 420.0f + 26.0f * (float)i, by = 190.0f + 10.0f * (float)(i % 2);
        kit.PolyLine({{bx - 6, by - 3}, {bx, by}, {bx + 6, by - 3}}, 1.6f, Flat(C(0x3A2A3A)));
    }
}

// ---- A bright sky ---------------------------------------------------------------------------------

void DrawSky(CArtKit& kit)
{
    kit.Fill(0, 0, kW, kH, VerticalStops({{0, C(0x2A6CC8)}, {220, C(0x7AB8EC)}, {400, C(0xD0ECFC)}}));
    ArtGlow(kit, 120, 90, 200, C(0xFFFFFF), 0.5f);
    const float clouds[5][3] = {{110, 330, 260}, {420, 300, 300}, {600, 360, 220}, {250, 130, 160}, {520, 110, 140}};
    for (int i = 0; i < 5; i++) {
        Cloud(kit, clouds[i][0], clouds[i][1], clouds[i][2], C(0xFFFFFF), C(0xA8C0DC), (uint32_t)(101 + i), false);
    }
    Ridge(kit, 430, 30, 140, 103, VerticalGradient(400, C(0x7AC06A), 480, C(0x3A8040)));
    for (int i = 0; i < 90; i++) {
        const float fx = Hash01(107, i, 0) * kW, fy = 440.0f + 40.0f * Hash01(107, i, 1);
        const uint32_t colours[3] = {0xFFFFFF, 0xF8E060, 0xF07AA0};
        kit.Ellipse(fx, fy, 2.2f, 2.2f, Flat(C(colours[i % 3])));
    }
}

// ---- Staff ----------------------------------------------------------------------------------------

void DrawStaff(CArtKit& kit)
{
    const std::vector<std::pair<float, RGBF>> sky = {{0, C(0x060A24)}, {260, C(0x18204E)}, {480, C(0x3A2E6A)}};
    // The milky way across the sky, then stars.
    kit.Fill(0, 0, kW, kH, [&sky](float px, float py) {
        const float band = 1.0f - std::fabs(py - 60.0f - px * 0.25f) / 90.0f;
        const float n = band > 0.0f ? Fbm(px, py, 111, 30.0f, 4, 0, 0) : 0.0f;
        return Mix(StopsAt(sky, py), C(0x8A8AC8), std::clamp(band, 0.0f, 1.0f) * n * 0.45f);
    });
    Stars(kit, 113, 160, 360);
    // The title and the staff.
    const std::string title = ToCp932("ぞるばくるむ！");
    const int nTitle = 44;
    kit.Text(320.0f - (float)CArtKit::TextWidth(title, nTitle) / 2.0f, 128, title, nTitle,
             VerticalGradient(128, C(0xFFF4A0), 172, C(0xF0A030)), C(0x802010), 2.5f);
    const char* const lines[] = {"― スタッフ ―", "ゲームデザイン　ぞるば制作室", "プログラム　　　ぞるば制作室",
                                 "グラフィック　　ぞるば制作室", "サウンド　　　　ぞるば制作室"};
    float y = 190;
    for (const char* pszLine : lines) {
        const std::string line = ToCp932(pszLine);
        kit.Text(320.0f - (float)CArtKit::TextWidth(line, 16) / 2.0f, y, line, 16, Flat(C(0xE8ECFF)), C(0x101030), 1.0f);
        y += 20;
    }
    // The town asleep at the bottom.
    std::vector<PTF> roofs = {{0, 480}};
    for (int i = 0; i <= 16; i++) {
        const float x = (float)i * 40.0f, h = 24.0f + 40.0f * Hash01(117, i, 0);
        roofs.push_back(PTF{x, 480 - h});
        roofs.push_back(PTF{x + 20, 480 - h - 16});
        roofs.push_back(PTF{x + 40, 480 - h});
    }
    roofs.push_back(PTF{640, 480});
    kit.Polygon(roofs, Flat(C(0x0A0818)));
    for (int i = 0; i < 16; i++) {
        if (Hash01(119, i, 0) < 0.5f) {
            kit.Fill(14 + 40 * i, 458, 6, 7, Flat(C(0xFFD870)));
        }
    }
}
