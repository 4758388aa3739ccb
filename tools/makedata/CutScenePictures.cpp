// The cut-scenes' pictures, each in the folder of its script: the backgrounds, the heroine and the
// people, and the things that move (the fleet, a leaf, clouds, dust, a falling rock, a petal,
// stars and the moon), and the prompt that blinks while a shot waits for the player.
#include <cmath>
#include <functional>
#include <string>

#include "CutSceneArt.h"
#include "CutScenes.h"
#include "IndexSheetsCanvas.h"

namespace {

RGBF C(uint32_t dwColor)
{
    return Rgb(dwColor);
}

void Write(CDataSet& data, const std::string& rel, int w, int h, bool bKeyed, const std::function<void(CArtKit&)>& draw)
{
    CCanvas canvas(w, h, bKeyed ? kKeyGreen : 0x000000);
    CArtKit kit(canvas);
    draw(kit);
    data.Write(rel, canvas.ToBmp24());
}

// An airship flying right: hull, ribs, fins, gondola with lit windows and the enemy's mark.
void Airship(CArtKit& kit, float cx, float cy, float rx, float ry)
{
    const RGBF steel = C(0x5A6470), ink = C(0x14141A);
    kit.Polygon({{cx - rx * 0.8f, cy}, {cx - rx * 1.15f, cy - ry * 1.1f}, {cx - rx * 0.95f, cy - ry * 1.1f}, {cx - rx * 0.55f, cy - ry * 0.2f}},
                Flat(C(0x3A4048)));
    kit.Polygon({{cx - rx * 0.8f, cy}, {cx - rx * 1.15f, cy + ry * 1.0f}, {cx - rx * 0.95f, cy + ry * 1.0f}, {cx - rx * 0.55f, cy + ry * 0.2f}},
                Flat(C(0x3A4048)));
    kit.Ellipse(cx, cy, rx, ry, SphereShade(cx, cy, rx, ry, steel));
    for (int k = 1; k < 6; k++) {
        const float x = cx - rx + 2.0f * rx * (float)k / 6.0f;
        const float h = ry * std::sqrt(std::max(0.0f, 1.0f - ((x - cx) / rx) * ((x - cx) / rx)));
        kit.Stroke(x, cy - h + 2, x, cy + h - 2, 1.2f, Flat(C(0x3A424C)));
    }
    // The red light of the burning town on its underside.
    kit.Ellipse(cx, cy + ry * 0.55f, rx * 0.8f, ry * 0.3f, [=](float, float y) {
        return Mix(Lit(steel, 0.0f, 0.3f, 0.8f), C(0xC04030), 0.35f * std::clamp((y - cy) / ry, 0.0f, 1.0f));
    });
    kit.EllipseOutline(cx, cy, rx, ry, 1.6f, Flat(ink));
    kit.Ellipse(cx + rx * 0.25f, cy - ry * 0.1f, ry * 0.45f, ry * 0.45f, Flat(C(0xB02020)));
    kit.EllipseOutline(cx + rx * 0.25f, cy - ry * 0.1f, ry * 0.45f, ry * 0.45f, 1.4f, Flat(C(0x200808)));
    kit.Stroke(cx + rx * 0.25f - ry * 0.25f, cy - ry * 0.1f, cx + rx * 0.25f + ry * 0.25f, cy - ry * 0.1f, 2.0f, Flat(C(0x200808)));
    const float gw = rx * 0.7f, gh = ry * 0.55f;
    kit.RoundBox(cx - gw / 2, cy + ry * 0.8f, gw, gh, gh * 0.3f, VerticalGradient(cy + ry * 0.8f, C(0x4A4E58), cy + ry * 0.8f + gh, C(0x1E2026)));
    kit.RoundBoxOutline(cx - gw / 2, cy + ry * 0.8f, gw, gh, gh * 0.3f, 1.4f, Flat(ink));
    for (int k = 0; k < 5; k++) {
        kit.Fill((int)(cx - gw / 2 + gw * 0.1f + gw * 0.17f * (float)k), (int)(cy + ry * 0.8f + gh * 0.3f), std::max(2, (int)(gw * 0.08f)),
                 std::max(2, (int)(gh * 0.3f)), Flat(C(0xFFC050)));
    }
}

void Ships(CArtKit& kit)
{
    Airship(kit, 90, 46, 64, 20);
    Airship(kit, 372, 40, 56, 18);
    Airship(kit, 236, 88, 150, 44);
}

// A small fighter craft flying right, ahead of the fleet.
void Scout(CArtKit& kit)
{
    kit.Polygon({{50, 34}, {10, 12}, {4, 18}, {32, 36}}, Flat(C(0x3A4048)));
    kit.Polygon({{50, 38}, {10, 60}, {4, 54}, {32, 38}}, Flat(C(0x3A4048)));
    kit.Ellipse(74, 36, 66, 16, SphereShade(74, 36, 66, 16, C(0x6A7480)));
    kit.EllipseOutline(74, 36, 66, 16, 1.6f, Flat(C(0x14141A)));
    kit.Ellipse(110, 30, 16, 8, RadialGradient(106, 27, 14, C(0xFFF0C0), C(0xE06020)));
    kit.EllipseOutline(110, 30, 16, 8, 1.2f, Flat(C(0x14141A)));
    kit.Ellipse(10, 36, 5, 7, RadialGradient(10, 36, 7, C(0xFFFFE0), C(0xFF7020)));
}

void Leaf(CArtKit& kit, float cx, float cy, float r, uint32_t dwColor)
{
    std::vector<PTF> pts;
    for (int k = 0; k < 10; k++) {
        const float a = -1.5708f + (float)k * 0.6283f;
        const float rr = k % 2 ? r * 0.45f : r;
        pts.push_back(PTF{cx + std::cos(a) * rr, cy + std::sin(a) * rr * 0.9f});
    }
    kit.Polygon(pts, RadialGradient(cx - r * 0.3f, cy - r * 0.3f, r * 1.4f, Mix(C(dwColor), C(0xFFFFA0), 0.4f), Scale(C(dwColor), 0.7f)));
    kit.PolygonOutline(pts, 1.0f, Flat(C(0x5A2008)));
    kit.Stroke(cx, cy + r * 0.9f, cx, cy - r * 0.5f, 1.0f, Flat(C(0x7A3010)));
}

// A band of clouds lit from below, drifting left over the road; none is cut at the band's ends.
void CloudBand(CArtKit& kit, int w)
{
    for (int i = 0; i < 9; i++) {
        const float cw = 130.0f + 70.0f * Hash01(131, i, 0);
        const float cx = 90.0f + 120.0f * (float)i + 20.0f * Hash01(131, i, 1), cy = 70.0f + 40.0f * Hash01(131, i, 2);
        if (cx + cw * 0.7f < (float)w) {
            ArtCloud(kit, cx, cy, cw, C(0xF8A070), C(0x5A1A2A), (uint32_t)(133 + i), true);
        }
    }
}

void Dust(CArtKit& kit)
{
    for (int i = 0; i < 11; i++) {
        const float t = (float)i / 10.0f;
        const float r = 9.0f + 24.0f * t * (0.7f + 0.5f * Hash01(139, i, 0));
        const float cx = 24.0f + 166.0f * t + 8.0f * Hash01(139, i, 1), cy = 84.0f - r * 0.8f - 14.0f * Hash01(139, i, 2) * t;
        kit.Ellipse(cx, cy, r, r * 0.8f, SphereShade(cx, cy, r, r * 0.8f, Mix(C(0x8A6A50), C(0xE0C8A0), t)));
    }
}

void Rock(CArtKit& kit)
{
    const std::vector<PTF> pts = {{8, 30}, {26, 6}, {62, 4}, {86, 26}, {78, 58}, {40, 66}, {14, 54}};
    kit.Polygon(pts, [](float x, float y) { return Lit(C(0x4A3A48), (44 - x) / 60.0f, (y - 34) / 50.0f, 0.8f); });
    kit.PolygonOutline(pts, 1.6f, Flat(C(0x140A10)));
    kit.PolyLine({{20, 40}, {40, 30}, {50, 44}, {72, 36}}, 4.0f, Flat(C(0xFF8020)));
    kit.PolyLine({{20, 40}, {40, 30}, {50, 44}, {72, 36}}, 1.6f, Flat(C(0xFFF0A0)));
    kit.Fill(30, 14, 6, 5, Flat(C(0xFFC050)));
    kit.Fill(52, 16, 6, 5, Flat(C(0xFFC050)));
}

void Petal(CArtKit& kit)
{
    kit.Polygon({{10, 2}, {17, 8}, {15, 17}, {10, 14}, {5, 17}, {3, 8}}, RadialGradient(8, 7, 12, C(0xFFF0F4), C(0xF07AA0)));
    kit.PolygonOutline({{10, 2}, {17, 8}, {15, 17}, {10, 14}, {5, 17}, {3, 8}}, 1.0f, Flat(C(0xA03060)));
}

void StarBand(CArtKit& kit, int w, int h)
{
    for (int i = 0; i < 70; i++) {
        const float x = 6.0f + Hash01(137, i, 0) * (float)(w - 12), y = 6.0f + Hash01(137, i, 1) * (float)(h - 12);
        const float r = 1.5f + 4.0f * Hash01(137, i, 2) * Hash01(137, i, 3);
        const RGBF c = Mix(C(0xFFFFFF), C(0xFFE890), Hash01(137, i, 4));
        kit.Polygon({{x, y - r * 2}, {x + r * 0.4f, y - r * 0.4f}, {x + r * 2, y}, {x + r * 0.4f, y + r * 0.4f}, {x, y + r * 2},
                     {x - r * 0.4f, y + r * 0.4f}, {x - r * 2, y}, {x - r * 0.4f, y - r * 0.4f}},
                    Flat(c));
    }
}

void Moon(CArtKit& kit)
{
    kit.Shade(0, 0, 90, 90, 4, [](float x, float y, RGBF* pColour) {
        const float d0 = std::hypot(x - 45, y - 45), d1 = std::hypot(x - 62, y - 34);
        if (d0 > 40 || d1 < 34) {
            return false;
        }
        *pColour = Lit(C(0xF8F0C8), (45 - x) / 40.0f, (y - 45) / 40.0f, 0.9f);
        return true;
    });
}

// Two frames side by side: a down arrow, bright, then lower and dimmer.
void Prompt(CArtKit& kit)
{
    for (int f = 0; f < 2; f++) {
        const float x = 16.0f + 32.0f * (float)f, y = 5.0f + 4.0f * (float)f;
        const RGBF c = f ? C(0xD0A040) : C(0xFFE870);
        const std::vector<PTF> arrow = {{x - 11, y}, {x + 11, y}, {x, y + 13}};
        kit.Polygon(arrow, VerticalGradient(y, Mix(c, C(0xFFFFFF), 0.4f), y + 13, c));
        kit.PolygonOutline(arrow, 1.6f, Flat(C(0x302010)));
    }
}

} // namespace

void WriteCutScenePictures(CDataSet& data)
{
    // The opening.
    Write(data, "Opening/OpTown.bmp", 640, 480, false, [](CArtKit& kit) { DrawTown(kit, TOWN_DUSK); });
    Write(data, "Opening/OpTownRed.bmp", 640, 480, false, [](CArtKit& kit) { DrawTown(kit, TOWN_BURNING); });
    Write(data, "Opening/OpTownShips.bmp", 440, 170, true, Ships);
    Write(data, "Opening/OpTownScout.bmp", 150, 70, true, Scout);
    Write(data, "Opening/OpGarage.bmp", 320, 240, true, [](CArtKit& kit) {
        DrawBike(kit, FIGURE{128, 206, 1.2f, -1.0f});
        DrawStanding(kit, FIGURE{282, 236, 0.84f, -1.0f}, false);
    });
    Write(data, "Opening/OpLeaf.bmp", 24, 24, true, [](CArtKit& kit) { Leaf(kit, 12, 12, 10, 0xE06018); });
    Write(data, "Opening/OpNight.bmp", 640, 480, false, DrawNight);
    Write(data, "Opening/OpFace.bmp", 300, 440, true, [](CArtKit& kit) { DrawPortrait(kit, 0, 0, false); });
    Write(data, "Opening/OpRoad.bmp", 640, 480, false, DrawRoad);
    Write(data, "Opening/OpClouds.bmp", 1120, 150, true, [](CArtKit& kit) { CloudBand(kit, 1120); });
    Write(data, "Opening/OpRide.bmp", 300, 200, true, [](CArtKit& kit) {
        DrawBike(kit, FIGURE{150, 168, 1.0f, 1.0f});
        DrawRider(kit, FIGURE{150, 168, 1.0f, 1.0f});
    });
    Write(data, "Opening/OpDust.bmp", 220, 90, true, Dust);
    Write(data, "Opening/Prompt.bmp", 64, 24, true, Prompt);
    // The ending.
    Write(data, "Ending/EdFortress.bmp", 640, 480, false, DrawFortress);
    Write(data, "Ending/EdRock.bmp", 90, 70, true, Rock);
    Write(data, "Ending/EdRide.bmp", 300, 200, true, [](CArtKit& kit) {
        DrawBike(kit, FIGURE{150, 168, 1.0f, 1.0f});
        DrawRider(kit, FIGURE{150, 168, 1.0f, 1.0f});
    });
    Write(data, "Ending/EdDawn.bmp", 640, 480, false, DrawDawn);
    Write(data, "Ending/EdHome.bmp", 640, 480, false, [](CArtKit& kit) { DrawTown(kit, TOWN_MORNING); });
    Write(data, "Ending/EdStand.bmp", 160, 240, true, [](CArtKit& kit) { DrawStanding(kit, FIGURE{80, 236, 1.0f, 1.0f}, true); });
    Write(data, "Ending/EdKidA.bmp", 70, 120, true, [](CArtKit& kit) { DrawKid(kit, FIGURE{35, 116, 1.0f, 1.0f}, false); });
    Write(data, "Ending/EdKidB.bmp", 70, 120, true, [](CArtKit& kit) { DrawKid(kit, FIGURE{35, 116, 1.0f, 1.0f}, true); });
    Write(data, "Ending/EdSky.bmp", 640, 480, false, DrawSky);
    Write(data, "Ending/EdSmile.bmp", 300, 440, true, [](CArtKit& kit) { DrawPortrait(kit, 0, 0, true); });
    Write(data, "Ending/EdPetal.bmp", 20, 20, true, Petal);
    Write(data, "Ending/EdStaff.bmp", 640, 480, false, DrawStaff);
    Write(data, "Ending/EdStars.bmp", 1120, 120, true, [](CArtKit& kit) { StarBand(kit, 1120, 120); });
    Write(data, "Ending/EdMoon.bmp", 90, 90, true, Moon);
    Write(data, "Ending/EdTinyRide.bmp", 120, 80, true, [](CArtKit& kit) {
        DrawBike(kit, FIGURE{60, 72, 0.42f, 1.0f});
        DrawRider(kit, FIGURE{60, 72, 0.42f, 1.0f});
    });
    Write(data, "Ending/Prompt.bmp", 64, 24, true, Prompt);
}
