// Title/StartMenuIndex.txt and its sheet: the start menu's background ("back"), the two modes
// (drawn at (48, 128)), the four sub-weapon tabs with a picture of each weapon (drawn at (48, 300))
// and the two arrows that stand beside the row being chosen.
#include <cmath>
#include <string>
#include <vector>

#include "CutSceneArt.h"
#include "FrontPictures.h"

namespace {

const int kSheetW = 1024, kSheetH = 1024;
const int kModeW = 312, kModeH = 96, kTabW = 452, kTabH = 140, kArrow = 32;
const RGBF kInk = {0.04f, 0.03f, 0.08f};

struct MODEDEF {
    const char* pszRegion;
    const char* pszLabel;
    const char* pszLabelJa;  // やさしい, むずかしい
    const char* pszNoteJa;   // ダメージ半分, ダメージ通常
    uint32_t dwTop, dwBottom;
};
const MODEDEF kModes[] = {
    {"mode_easy", "EASY", "\x82\xE2\x82\xB3\x82\xB5\x82\xA2", "\x83\x5F\x83\x81\x81\x5B\x83\x57\x94\xBC\x95\xAA",
     0x70D870, 0x207830},
    {"mode_hard", "HARD", "\x82\xDE\x82\xB8\x82\xA9\x82\xB5\x82\xA2", "\x83\x5F\x83\x81\x81\x5B\x83\x57\x92\xCA\x8F\xED",
     0xF07050, 0x902018},
};

enum WEAPONART { ART_HAWK, ART_FIRE, ART_ION, ART_WIPER };
struct TABDEF {
    const char* pszRegion;
    const char* pszName;
    const char* pszNote;
    WEAPONART eArt;
};
const TABDEF kTabs[] = {
    {"tab_howk", "HAWK WIND", "Homing missiles hunt the nearest foe.", ART_HAWK},
    {"tab_fire", "FIRE STORM", "A burning cloud rains fire ahead.", ART_FIRE},
    {"tab_ion", "ION SHIELD", "A shield of light turns shots away.", ART_ION},
    {"tab_wiper", "GROUND WIPER", "Pillars burst from the ground.", ART_WIPER},
};

// The sub-weapon pictures, each in a 120 x 104 box at (x, y).
void DrawHawk(CArtKit& kit, float x, float y)
{
    for (int i = 0; i < 3; i++) {
        const float cx = x + 34.0f + 26.0f * (float)i, cy = y + 78.0f - 26.0f * (float)i;
        kit.Stroke(x + 6.0f, y + 96.0f - 10.0f * (float)i, cx - 10.0f, cy + 6.0f, 5.0f,
                   Flat(Mix(Rgb(0xFFFFFF), Rgb(0x80C0FF), 0.5f)));
        kit.Polygon({{cx + 16.0f, cy - 8.0f}, {cx - 10.0f, cy + 2.0f}, {cx - 6.0f, cy + 10.0f}}, Flat(Rgb(0xE0E8F0)));
        kit.PolygonOutline({{cx + 16.0f, cy - 8.0f}, {cx - 10.0f, cy + 2.0f}, {cx - 6.0f, cy + 10.0f}}, 1.5f, Flat(kInk));
        kit.Ellipse(cx - 10.0f, cy + 6.0f, 4.0f, 4.0f, Flat(Rgb(0xFFB030)));
    }
}

void DrawFire(CArtKit& kit, float x, float y)
{
    for (int i = 0; i < 4; i++) {
        kit.Ellipse(x + 22.0f + 25.0f * (float)i, y + 22.0f + 4.0f * (float)(i % 2), 22.0f, 16.0f,
                    SphereShade(x + 22.0f + 25.0f * (float)i, y + 22.0f, 22.0f, 16.0f, Rgb(0x705060)));
    }
    for (int i = 0; i < 5; i++) {
        const float fx = x + 14.0f + 22.0f * (float)i, fy = y + 54.0f + 12.0f * (float)(i % 3);
        kit.Stroke(fx + 8.0f, fy - 14.0f, fx, fy, 5.0f, Flat(Rgb(0xF08020)));
        kit.Ball(fx, fy, 7.0f, 7.0f, Rgb(0xFFA020));
        kit.Ellipse(fx, fy, 3.0f, 3.0f, Flat(Rgb(0xFFF0A0)));
    }
}

void DrawIon(CArtKit& kit, float x, float y)
{
    const float cx = x + 60.0f, cy = y + 52.0f;
    kit.Ellipse(cx, cy, 50.0f, 48.0f, RadialGradient(cx, cy, 50.0f, Rgb(0x204080), Rgb(0x60E0FF)));
    kit.EllipseOutline(cx, cy, 50.0f, 48.0f, 3.0f, Flat(Rgb(0xC0F8FF)));
    kit.EllipseOutline(cx, cy, 38.0f, 36.0f, 2.0f, Flat(Rgb(0x80D8FF)));
    kit.Ball(cx, cy, 14.0f, 14.0f, Rgb(0xE0F8FF));
    for (int i = 0; i < 3; i++) {
        const float sx = x + 112.0f, sy = y + 24.0f + 26.0f * (float)i;
        kit.Ball(sx, sy, 5.0f, 5.0f, Rgb(0xF06040));
    }
}

void DrawWiper(CArtKit& kit, float x, float y)
{
    kit.Fill((int)x, (int)y + 88, 120, 16, VerticalGradient(y + 88.0f, Rgb(0x8A6040), y + 104.0f, Rgb(0x4A3020)));
    for (int i = 0; i < 5; i++) {
        const float h = 30.0f + 12.0f * (float)((i * 7) % 5);
        const float px = x + 6.0f + 23.0f * (float)i;
        kit.Bevel(px, y + 88.0f - h, 18.0f, h, 3.0f, Rgb(0xB08858));
        kit.Polygon({{px - 2.0f, y + 88.0f - h}, {px + 9.0f, y + 76.0f - h}, {px + 20.0f, y + 88.0f - h}},
                    Flat(Rgb(0xD8B080)));
    }
}

void DrawWeapon(CArtKit& kit, WEAPONART eArt, float x, float y)
{
    kit.RoundBox(x - 4.0f, y - 4.0f, 128.0f, 112.0f, 8.0f, Flat(Rgb(0x0C1024)));
    kit.Clip((int)x, (int)y, 120, 104);
    switch (eArt) {
    case ART_HAWK: DrawHawk(kit, x, y); break;
    case ART_FIRE: DrawFire(kit, x, y); break;
    case ART_ION: DrawIon(kit, x, y); break;
    default: DrawWiper(kit, x, y); break;
    }
    kit.Unclip();
}

void DrawMode(CArtKit& kit, float x, float y, const MODEDEF& m)
{
    FrontPlate(kit, x + 2.0f, y + 2.0f, kModeW - 4.0f, kModeH - 4.0f, Rgb(m.dwTop), Rgb(m.dwBottom), Rgb(0xFFFFFF));
    kit.Text(x + 24.0f, y + 14.0f, m.pszLabel, 44, Flat(Rgb(0xFFFFFF)), kInk, 3.0f);
    kit.Text(x + 170.0f, y + 18.0f, m.pszLabelJa, 22, Flat(Rgb(0xFFFFFF)), kInk, 2.0f);
    kit.Text(x + 170.0f, y + 54.0f, m.pszNoteJa, 16, Flat(Rgb(0xFFF8D0)), kInk, 1.5f);
}

void DrawTab(CArtKit& kit, float x, float y, int nTab)
{
    // Four tab tops, the chosen one lit and joined to the card.
    for (int i = 0; i < 4; i++) {
        const bool bOn = i == nTab;
        kit.RoundBox(x + 8.0f + 60.0f * (float)i, y + 2.0f, 56.0f, 30.0f, 6.0f,
                     Flat(bOn ? Rgb(0x3A58B8) : Rgb(0x1C2448)));
        kit.Text(x + 30.0f + 60.0f * (float)i, y + 6.0f, std::to_string(i + 1), 16,
                 Flat(bOn ? Rgb(0xFFF0A0) : Rgb(0x8890B0)), kInk, 1.0f);
    }
    FrontPlate(kit, x + 2.0f, y + 24.0f, kTabW - 4.0f, kTabH - 26.0f, Rgb(0x3A58B8), Rgb(0x142050), Rgb(0xB0C0F0));
    const TABDEF& t = kTabs[nTab];
    DrawWeapon(kit, t.eArt, x + 14.0f, y + 30.0f);
    kit.Text(x + 150.0f, y + 40.0f, t.pszName, 32, VerticalGradient(y + 40.0f, Rgb(0xFFFFFF), y + 76.0f, Rgb(0xFFD060)),
             kInk, 2.5f);
    kit.Text(x + 150.0f, y + 92.0f, t.pszNote, 14, Flat(Rgb(0xE0E8FF)), kInk, 1.0f);
}

void DrawArrow(CArtKit& kit, float x, float y, bool bLeft)
{
    const float l = x + 4.0f, r = x + kArrow - 4.0f, m = y + kArrow / 2.0f;
    const std::vector<PTF> pts = bLeft ? std::vector<PTF>{{l, m}, {r, y + 4.0f}, {r, y + kArrow - 4.0f}}
                                       : std::vector<PTF>{{r, m}, {l, y + 4.0f}, {l, y + kArrow - 4.0f}};
    kit.Polygon(pts, VerticalGradient(y, Rgb(0xFFF0A0), y + kArrow, Rgb(0xF08020)));
    kit.PolygonOutline(pts, 2.0f, Flat(kInk));
}

// サブウェポン, 難易度, 決定, 戻る
const char kSubWeaponJa[] = "\x83\x54\x83\x75\x83\x45\x83\x46\x83\x7C\x83\x93";
const char kModeJa[] = "\x93\xEF\x88\xD5\x93\x78";
const char kDecideJa[] = "\x8C\x88\x92\xE8";
const char kBackJa[] = "\x96\xDF\x82\xE9";

void DrawBack(CArtKit& kit)
{
    kit.Fill(0, 0, 640, 480, VerticalGradient(0.0f, Rgb(0x281838), 480.0f, Rgb(0x0C0818)));
    for (int i = 0; i < 12; i++) {
        const float y = 40.0f * (float)i;
        kit.Stroke(0.0f, y + 60.0f, 640.0f, y - 40.0f, 14.0f, Flat(Rgb(0x20142E)));
    }
    kit.Text(24.0f, 16.0f, "START", 48, VerticalGradient(16.0f, Rgb(0xFFF8D0), 64.0f, Rgb(0xF09030)), kInk, 3.0f);
    kit.Text(24.0f, 88.0f, "MODE", 26, Flat(Rgb(0xF0F0FF)), kInk, 2.0f);
    kit.Text(112.0f, 94.0f, kModeJa, 18, Flat(Rgb(0xC0C0E0)), kInk, 1.5f);
    kit.Text(24.0f, 258.0f, "SUB WEAPON", 26, Flat(Rgb(0xF0F0FF)), kInk, 2.0f);
    kit.Text(204.0f, 264.0f, kSubWeaponJa, 18, Flat(Rgb(0xC0C0E0)), kInk, 1.5f);
    const std::string help = std::string("<  >   Z: ") + kDecideJa + "   X: " + kBackJa;
    kit.Text(24.0f, 450.0f, help, 16, Flat(Rgb(0xB0B0D0)), kInk, 1.0f);
    // The heroine on her bike on the right of the mode row, in a pool of light on the floor.
    kit.Ellipse(505.0f, 176.0f, 118.0f, 70.0f, RadialGradient(505.0f, 176.0f, 118.0f, Rgb(0x5A3C78), Rgb(0x281838)));
    kit.Ellipse(505.0f, 222.0f, 96.0f, 12.0f, Flat(Rgb(0x1A1024)));
    const FIGURE bike{505.0f, 206.0f, 0.72f, 1.0f};
    DrawBike(kit, bike);
    DrawRider(kit, bike);
}

} // namespace

void WriteStartMenuPictures(CDataSet& data)
{
    CCanvas c(kSheetW, kSheetH);
    CArtKit kit(c);
    std::vector<std::string> lines = {"#INDEX_FOR StartMenuSheet.bmp"};
    kit.Clip(0, 0, 640, 480);
    DrawBack(kit);
    kit.Unclip();
    lines.push_back(FrontRegionLine("back", 0, 0, 640, 480));
    for (int i = 0; i < 2; i++) {
        const int x = 320 * i, y = 480;
        kit.Clip(x, y, kModeW, kModeH);
        DrawMode(kit, (float)x, (float)y, kModes[i]);
        kit.Unclip();
        lines.push_back(FrontRegionLine(kModes[i].pszRegion, x, y, kModeW, kModeH));
    }
    for (int i = 0; i < 4; i++) {
        const int x = 460 * (i % 2), y = 580 + 144 * (i / 2);
        kit.Clip(x, y, kTabW, kTabH);
        DrawTab(kit, (float)x, (float)y, i);
        kit.Unclip();
        lines.push_back(FrontRegionLine(kTabs[i].pszRegion, x, y, kTabW, kTabH));
    }
    for (int i = 0; i < 2; i++) {
        const int x = 648 + 40 * i;
        kit.Clip(x, 0, kArrow, kArrow);
        DrawArrow(kit, (float)x, 0.0f, i == 0);
        kit.Unclip();
        lines.push_back(FrontRegionLine(i == 0 ? "arrow_left" : "arrow_right", x, 0, kArrow, kArrow));
    }
    data.Write("Title/StartMenuSheet.bmp", c.ToBmp24());
    data.WriteText("Title/StartMenuIndex.txt", JoinCrLf(lines));
}
