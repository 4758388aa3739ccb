// Stage04/BossF91Index.txt and its sheet: the stage-4 boss, a slim white-and-blue flying mecha
// facing left, in four poses (plain, firing the gun arm, lunging with the saber, and the ghostly
// rifle afterimage), its burnt-out body, the two thrown sabers, the saber glow frames and its
// missile. The poses put the gun muzzle, missile pod, saber hand and rifle muzzle where the game
// places those weapons relative to the body's centre (picture column 144, row 160).
#include "BossF91Pictures.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "ArtKit.h"

namespace {

const RGBF kInk = {20, 18, 30};
const int kBody = 288;

struct F91PAL {
    RGBF white, blue, red, yellow, frame, eye;
};

F91PAL Palette(int nLook)
{
    switch (nLook) {
    case 1:  // the afterimage: a pale cyan ghost of the armour
        return F91PAL{Rgb(0xB8F0FF), Rgb(0x5090E0), Rgb(0x9080E0), Rgb(0xC8F0F8), Rgb(0x406890), Rgb(0xFFFFFF)};
    case 2:  // burnt out
        return F91PAL{Rgb(0x585860), Rgb(0x303038), Rgb(0x483030), Rgb(0x606048), Rgb(0x202024), Rgb(0x803020)};
    default:
        return F91PAL{Rgb(0xE8ECF4), Rgb(0x2848B8), Rgb(0xD02828), Rgb(0xF0C818), Rgb(0x38404C), Rgb(0x60F0FF)};
    }
}

void Part(CArtKit& kit, const std::vector<PTF>& pts, const RGBF& base)
{
    float y0 = pts[0].y, y1 = pts[0].y;
    for (const PTF& p : pts) {
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    kit.Polygon(pts, VerticalGradient(y0, Mix(base, RGBF{255, 255, 255}, 0.25f), y1, Scale(base, 0.62f)));
    kit.PolygonOutline(pts, 1.6f, Flat(kInk));
}

void Block(CArtKit& kit, float x, float y, float w, float h, const RGBF& base)
{
    kit.Bevel(x, y, w, h, 3.0f, base);
    kit.RoundBoxOutline(x, y, w, h, 1.0f, 1.4f, Flat(kInk));
}

// Thruster flames pointing right, behind the backpack.
void Flames(CArtKit& kit, float x, float y)
{
    kit.Ellipse(x + 18.0f, y, 22.0f, 7.0f, RadialGradient(x + 10.0f, y, 24.0f, Rgb(0xFFF8D0), Rgb(0xF07018)));
    kit.Ellipse(x + 10.0f, y, 10.0f, 4.0f, Flat(Rgb(0xFFFFF0)));
}

void Legs(CArtKit& kit, const F91PAL& p, float lean)
{
    // The far leg trails behind, the near one bends under the body: a flying pose.
    Part(kit, {{160 + lean, 180}, {196 + lean, 186}, {236, 236}, {222, 250}}, Scale(p.white, 0.8f));
    Part(kit, {{222, 236}, {246, 246}, {262, 270}, {228, 266}}, Scale(p.blue, 0.8f));
    Part(kit, {{132 + lean, 186}, {168 + lean, 188}, {178, 232}, {150, 238}}, p.white);
    Part(kit, {{150, 232}, {180, 228}, {196, 262}, {188, 276}, {146, 276}}, p.white);
    Part(kit, {{146, 268}, {196, 268}, {200, 282}, {140, 282}}, p.blue);
    Block(kit, 154, 240, 24, 12, p.red);
}

void Torso(CArtKit& kit, const F91PAL& p, float lean)
{
    const float l = lean;
    // Backpack, thrusters and their flames.
    Flames(kit, 236, 118);
    Flames(kit, 232, 150);
    Part(kit, {{170 + l, 92}, {226, 104}, {236, 160}, {178 + l, 170}}, p.white);
    Block(kit, 222, 110, 18, 16, p.frame);
    Block(kit, 218, 142, 18, 16, p.frame);
    // Waist and skirt armour.
    Part(kit, {{124 + l, 160}, {178 + l, 160}, {182 + l, 190}, {120 + l, 190}}, p.white);
    Block(kit, 138 + l, 162, 26, 14, p.red);
    // Chest with its yellow vents.
    Part(kit, {{112 + l, 96}, {180 + l, 92}, {184 + l, 140}, {172 + l, 164}, {126 + l, 164}, {110 + l, 138}}, p.blue);
    for (int i = 0; i < 3; i++)
        Block(kit, 118 + l, 110.0f + 9.0f * (float)i, 16, 6, p.yellow);
    Block(kit, 146 + l, 128, 24, 20, p.white);
}

void Head(CArtKit& kit, const F91PAL& p, float lean)
{
    const float hx = 134 + lean, hy = 72;
    Part(kit, {{hx - 18, hy - 8}, {hx + 2, hy - 22}, {hx + 22, hy - 12}, {hx + 24, hy + 14}, {hx + 4, hy + 22},
               {hx - 16, hy + 12}},
         p.white);
    Part(kit, {{hx - 16, hy + 8}, {hx - 4, hy + 8}, {hx - 2, hy + 20}, {hx - 14, hy + 18}}, p.red);
    // The V fin.
    Part(kit, {{hx - 6, hy - 14}, {hx - 30, hy - 40}, {hx - 2, hy - 20}}, p.yellow);
    Part(kit, {{hx - 2, hy - 18}, {hx + 8, hy - 46}, {hx + 6, hy - 18}}, p.yellow);
    kit.Ellipse(hx - 10, hy + 1, 6, 3, Flat(p.eye));
    kit.Ellipse(hx + 2, hy + 1, 4, 3, Flat(p.eye));
    Block(kit, hx + 8, hy - 12, 12, 18, p.frame);
}

// The far shoulder with the missile pod the volleys leave from (column 184, row 152).
void MissilePod(CArtKit& kit, const F91PAL& p, float lean)
{
    Part(kit, {{168 + lean, 130}, {206, 134}, {206, 164}, {168 + lean, 164}}, p.frame);
    for (int i = 0; i < 3; i++)
        kit.Ellipse(176.0f + 10.0f * (float)i + lean * 0.5f, 147, 4, 4, Flat(p.red));
}

void Shoulder(CArtKit& kit, const F91PAL& p, float x, float y)
{
    Part(kit, {{x - 26, y - 14}, {x + 18, y - 18}, {x + 24, y + 16}, {x - 22, y + 20}}, p.white);
    Block(kit, x - 16, y - 6, 28, 10, p.blue);
}

void Shield(CArtKit& kit, const F91PAL& p, float cx, float cy)
{
    Part(kit, {{cx - 18, cy - 44}, {cx + 14, cy - 40}, {cx + 18, cy + 30}, {cx, cy + 52}, {cx - 22, cy + 30}}, p.blue);
    Part(kit, {{cx - 6, cy - 26}, {cx + 4, cy - 26}, {cx + 4, cy + 30}, {cx - 6, cy + 30}}, p.yellow);
    Part(kit, {{cx - 14, cy - 6}, {cx + 12, cy - 6}, {cx + 12, cy + 4}, {cx - 14, cy + 4}}, p.yellow);
}

// Poses: 0 plain, 1 gun arm out to the left (muzzle at column 9, row 140), 2 saber lunge (hand at
// column 155, row 224), 3 the rifle across the chest (muzzle at column 121, row 75).
void Mecha(CArtKit& kit, const F91PAL& p, int nPose)
{
    const float lean = nPose == 2 ? -14.0f : 0.0f;
    Legs(kit, p, lean);
    MissilePod(kit, p, lean);
    Torso(kit, p, lean);
    Head(kit, p, lean);
    switch (nPose) {
    case 1:
        Shoulder(kit, p, 120, 108);
        Part(kit, {{120, 104}, {120, 122}, {64, 132}, {64, 118}}, p.white);
        Part(kit, {{70, 116}, {70, 136}, {36, 144}, {36, 126}}, p.white);
        Block(kit, 26, 124, 18, 24, p.frame);
        Part(kit, {{8, 134}, {52, 130}, {52, 146}, {8, 146}}, p.frame);
        kit.Ellipse(10, 140, 5, 5, RadialGradient(10, 140, 6, Rgb(0xFFFFE0), Rgb(0xF0A020)));
        break;
    case 2:
        Shoulder(kit, p, 112, 110);
        Part(kit, {{106, 112}, {124, 118}, {150, 172}, {134, 180}}, p.white);
        Part(kit, {{136, 172}, {152, 168}, {164, 216}, {148, 220}}, p.white);
        Block(kit, 144, 214, 22, 16, p.frame);
        // The blade drawn in the picture, so it shows on any sky; the game's glow flickers on it.
        kit.Stroke(155, 232, 155, 284, 11.0f, Flat(Rgb(0xB02068)));
        kit.Stroke(155, 232, 155, 284, 6.0f, Flat(Rgb(0xFF70C0)));
        kit.Stroke(155, 234, 155, 282, 2.0f, Flat(Rgb(0xFFE8F4)));
        Part(kit, {{149, 222}, {161, 222}, {161, 236}, {149, 236}}, Rgb(0x707078));
        break;
    case 3:
        Shoulder(kit, p, 120, 110);
        Part(kit, {{122, 66}, {236, 82}, {234, 98}, {124, 84}}, p.frame);
        Block(kit, 176, 84, 30, 26, p.frame);
        Part(kit, {{150, 108}, {170, 96}, {184, 108}, {164, 122}}, p.white);
        kit.Ellipse(124, 75, 5, 6, RadialGradient(124, 75, 7, Rgb(0xFFFFFF), p.eye));
        break;
    default:
        Shoulder(kit, p, 120, 108);
        Part(kit, {{112, 116}, {130, 118}, {126, 168}, {108, 166}}, p.white);
        Shield(kit, p, 96, 160);
        break;
    }
}

// A thrown saber: a glowing blade with its hilt, turned a little differently per frame; additive,
// on black.
CCanvas ThrownSaber(int nFrame)
{
    CCanvas c(64, 64, 0x000000);
    CArtKit kit(c);
    const float a = nFrame == 0 ? 0.6f : 2.2f;
    const float dx = std::cos(a) * 26.0f, dy = std::sin(a) * 26.0f;
    kit.Stroke(32 - dx, 32 - dy, 32 + dx, 32 + dy, 12.0f, Flat(Rgb(0xC03070)));
    kit.Stroke(32 - dx, 32 - dy, 32 + dx, 32 + dy, 6.0f, Flat(Rgb(0xFF90D0)));
    kit.Stroke(32 - dx * 0.8f, 32 - dy * 0.8f, 32 + dx * 0.8f, 32 + dy * 0.8f, 2.0f, Flat(Rgb(0xFFFFFF)));
    kit.Ellipse(32, 32, 5, 5, Flat(Rgb(0x808088)));
    return c;
}

// The saber glow over the lunging hand: a blade of light, two flickering frames; additive, on black.
CCanvas SaberGlow(int nFrame)
{
    CCanvas c(32, 64, 0x000000);
    CArtKit kit(c);
    const float w = nFrame == 0 ? 1.0f : 0.8f;
    kit.Ellipse(16, 30, 13 * w, 30, RadialGradient(16, 30, 30, Rgb(0xFF60B0), Rgb(0x200010)));
    kit.Ellipse(16, 30, 5 * w, 26, Flat(Rgb(0xFFC8E8)));
    kit.Stroke(16, 8, 16, 54, 2.0f, Flat(Rgb(0xFFFFFF)));
    return c;
}

// The missile: a slim dark body with a red nose to the left and a flame at the tail.
CCanvas Missile()
{
    CCanvas c(40, 16);
    CArtKit kit(c);
    kit.Ellipse(34, 8, 6, 4, RadialGradient(32, 8, 7, Rgb(0xFFF0A0), Rgb(0xF06018)));
    kit.RoundBox(8, 4, 26, 8, 3, VerticalGradient(4, Rgb(0x9098A8), 12, Rgb(0x384050)));
    kit.Polygon({{1, 8}, {10, 3}, {10, 13}}, Flat(Rgb(0xD03030)));
    kit.Polygon({{24, 4}, {32, 0}, {32, 4}}, Flat(Rgb(0x505868)));
    kit.Polygon({{24, 12}, {32, 16}, {32, 12}}, Flat(Rgb(0x505868)));
    kit.RoundBoxOutline(8, 4, 26, 8, 3, 1.0f, Flat(kInk));
    return c;
}

struct F91REGION {
    const char* pszName;
    int x, y;
    CCanvas canvas;
};

CCanvas Body(int nPose, int nLook)
{
    CCanvas c(kBody, kBody);
    CArtKit kit(c);
    Mecha(kit, Palette(nLook), nPose);
    return c;
}

} // namespace

void WriteBossF91Pictures(CDataSet& data, const std::string& folder)
{
    std::vector<F91REGION> regions;
    regions.push_back({"F91a.bmp", 0, 0, Body(0, 0)});
    regions.push_back({"F91b.bmp", kBody, 0, Body(1, 0)});
    regions.push_back({"F91d.bmp", kBody * 2, 0, Body(2, 0)});
    regions.push_back({"F91e.bmp", 0, kBody, Body(3, 1)});
    regions.push_back({"F91carbon.bmp", kBody, kBody, Body(0, 2)});
    regions.push_back({"F91_MSaber1.bmp", kBody * 2, kBody, ThrownSaber(0)});
    regions.push_back({"F91_MSaber2.bmp", kBody * 2 + 64, kBody, ThrownSaber(1)});
    regions.push_back({"F91_Saber1.bmp", kBody * 2 + 128, kBody, SaberGlow(0)});
    regions.push_back({"F91_Saber2.bmp", kBody * 2 + 160, kBody, SaberGlow(1)});
    regions.push_back({"F91_Canon.bmp", kBody * 2 + 200, kBody, Missile()});

    CCanvas sheet(kBody * 3, kBody * 2);
    std::vector<std::string> lines = {"// BossF91Index.txt: the stage-4 boss on BossF91Sheet.bmp", "#INDEX_FOR BossF91Sheet.bmp"};
    for (const F91REGION& r : regions) {
        sheet.Blit(r.canvas, r.x, r.y);
        Label(sheet, r.x, r.y, r.canvas.Width(), r.canvas.Height(), r.pszName);
        char szLine[128];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %d:%d:%d:%d", r.pszName, r.x, r.y, r.x + r.canvas.Width() - 1,
                 r.y + r.canvas.Height() - 1);
        lines.push_back(szLine);
    }
    data.WriteText(folder + "BossF91Index.txt", JoinCrLf(lines));
    data.Write(folder + "BossF91Sheet.bmp", sheet.ToBmp24());
}
