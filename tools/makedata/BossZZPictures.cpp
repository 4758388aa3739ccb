#include "BossZZPictures.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "ArtKit.h"

namespace {

// The gunship faces left. Its body point is column 150, row 136 of a pose (the game draws a body
// 16 px above its point); the guns sit where the boss fires from: the twin beam gun's muzzles at
// (0, 112) and (10, 143), the shoulder launcher's mouth at (110, 46), the small gun at (120, 56), the
// missile bays at (150, 136) and (150, 196).
const int kPoseW = 300;
const int kPoseH = 240;

const RGBF kInk = {20, 18, 30};

struct ZZLOOK {
    RGBF armour, armourDark, frame, frameDark, accent, vent, gun, gunDark, glow, eye;
};

ZZLOOK Fresh()
{
    return ZZLOOK{Rgb(0xE6E2D4), Rgb(0x8C93A8), Rgb(0x2A3C70), Rgb(0x17203E), Rgb(0xD8342C),
                  Rgb(0xF2C230), Rgb(0x4A5262), Rgb(0x262A34), Rgb(0x7CF0FF), Rgb(0xFFE860)};
}

// The hull burnt out: charcoal plates, embers where the vents and engines were.
ZZLOOK Burnt()
{
    return ZZLOOK{Rgb(0x4A4440), Rgb(0x2A2624), Rgb(0x302622), Rgb(0x1A1412), Rgb(0x6A2A18),
                  Rgb(0xFF7020), Rgb(0x343030), Rgb(0x1C1A1A), Rgb(0xFF6020), Rgb(0xFF9040)};
}

void Plate(CArtKit& kit, const std::vector<PTF>& pts, const PAINT& paint, float fOutline = 1.5f)
{
    kit.Polygon(pts, paint);
    kit.PolygonOutline(pts, fOutline, Flat(kInk));
}

void Box(CArtKit& kit, float x, float y, float w, float h, float r, const PAINT& paint)
{
    kit.RoundBox(x, y, w, h, r, paint);
    kit.RoundBoxOutline(x, y, w, h, r, 1.2f, Flat(kInk));
}

PAINT Down(float y0, const RGBF& c0, float y1, const RGBF& c1)
{
    return VerticalGradient(y0, c0, y1, c1);
}

// A missile bay: shut, a seamed plate; open, three warheads waiting in the dark.
void Bay(CArtKit& kit, const ZZLOOK& k, float cx, float cy, bool bOpen)
{
    const float x = cx - 20.0f, y = cy - 8.0f;
    if (!bOpen) {
        Box(kit, x, y, 40.0f, 16.0f, 3.0f, Down(y, k.armour, y + 16.0f, k.armourDark));
        kit.Stroke(cx, y + 2.0f, cx, y + 14.0f, 1.0f, Flat(k.frameDark));
        kit.Stroke(x + 4.0f, cy, x + 14.0f, cy, 1.0f, Flat(k.frameDark));
        kit.Stroke(x + 26.0f, cy, x + 36.0f, cy, 1.0f, Flat(k.frameDark));
        return;
    }
    kit.RoundBox(x - 3.0f, y - 3.0f, 46.0f, 22.0f, 4.0f, Flat(k.vent));
    Box(kit, x, y, 40.0f, 16.0f, 3.0f, Flat(k.frameDark));
    for (int i = 0; i < 3; i++) {
        const float ty = y + 3.0f + 4.5f * (float)i;
        kit.RoundBox(x + 9.0f, ty, 26.0f, 3.5f, 1.5f, Flat(k.armourDark));
        kit.Polygon({{x + 3.0f, ty + 1.75f}, {x + 10.0f, ty - 0.5f}, {x + 10.0f, ty + 4.0f}}, Flat(k.accent));
    }
    // The doors swung up and down.
    Plate(kit, {{x - 2.0f, y - 1.0f}, {x + 42.0f, y - 1.0f}, {x + 38.0f, y - 7.0f}, {x + 2.0f, y - 7.0f}},
          Flat(k.armourDark), 1.0f);
    Plate(kit, {{x - 2.0f, y + 17.0f}, {x + 42.0f, y + 17.0f}, {x + 38.0f, y + 23.0f}, {x + 2.0f, y + 23.0f}},
          Flat(k.armourDark), 1.0f);
}

void Thruster(CArtKit& kit, const ZZLOOK& k, float y, bool bBurning)
{
    Plate(kit, {{258.0f, y}, {286.0f, y - 5.0f}, {286.0f, y + 33.0f}, {258.0f, y + 28.0f}},
          Down(y - 5.0f, k.gun, y + 33.0f, k.gunDark));
    const float r = bBurning ? 13.0f : 9.0f;
    kit.Ellipse(290.0f, y + 14.0f, r * 0.7f, r, RadialGradient(288.0f, y + 14.0f, r, RGBF{255, 255, 255}, k.glow));
}

void DrawPose(CArtKit& kit, const ZZLOOK& k, bool bBaysOpen)
{
    // Far leg, in shadow.
    Plate(kit, {{178.0f, 168.0f}, {208.0f, 172.0f}, {238.0f, 212.0f}, {254.0f, 236.0f}, {222.0f, 238.0f}, {192.0f, 206.0f}},
          Down(168.0f, k.armourDark, 238.0f, k.frameDark));
    // Backpack and engines.
    Box(kit, 194.0f, 66.0f, 70.0f, 108.0f, 10.0f, Down(66.0f, k.frame, 174.0f, k.frameDark));
    kit.Stroke(204.0f, 80.0f, 204.0f, 160.0f, 2.0f, Flat(k.vent));
    Thruster(kit, k, 80.0f, bBaysOpen);
    Thruster(kit, k, 124.0f, bBaysOpen);
    // The shoulder launcher over the far shoulder: barrel, mouth ring and power drum.
    Plate(kit, {{188.0f, 56.0f}, {214.0f, 56.0f}, {206.0f, 94.0f}, {180.0f, 94.0f}}, Flat(k.frameDark));
    Box(kit, 100.0f, 35.0f, 148.0f, 23.0f, 4.0f, Down(35.0f, k.gun, 58.0f, k.gunDark));
    kit.Stroke(116.0f, 40.0f, 236.0f, 40.0f, 2.0f, Flat(Mix(k.gun, RGBF{255, 255, 255}, 0.35f)));
    Box(kit, 92.0f, 30.0f, 18.0f, 33.0f, 4.0f, Down(30.0f, k.frame, 63.0f, k.frameDark));
    kit.Stroke(101.0f, 33.0f, 101.0f, 60.0f, 3.0f, Flat(k.accent));
    kit.Ellipse(95.0f, 46.5f, 3.0f, 7.0f, Flat(kInk));
    kit.Ball(232.0f, 46.0f, 22.0f, 19.0f, k.frame);
    kit.EllipseOutline(232.0f, 46.0f, 22.0f, 19.0f, 1.5f, Flat(kInk));
    kit.Ellipse(232.0f, 46.0f, 8.0f, 7.0f, RadialGradient(232.0f, 46.0f, 8.0f, RGBF{255, 255, 255}, k.glow));
    // The small gun under the launcher's mouth.
    Box(kit, 112.0f, 56.0f, 28.0f, 9.0f, 2.0f, Down(56.0f, k.gun, 65.0f, k.gunDark));
    // Torso.
    Plate(kit, {{110.0f, 86.0f}, {200.0f, 82.0f}, {216.0f, 120.0f}, {206.0f, 174.0f}, {118.0f, 178.0f}, {102.0f, 130.0f}},
          Down(82.0f, k.armour, 178.0f, k.armourDark));
    Plate(kit, {{122.0f, 96.0f}, {192.0f, 94.0f}, {199.0f, 120.0f}, {126.0f, 124.0f}}, Down(94.0f, k.frame, 124.0f, k.frameDark));
    for (int i = 0; i < 3; i++) {
        const float vx = 140.0f + 16.0f * (float)i;
        kit.Stroke(vx, 101.0f, vx + 3.0f, 118.0f, 3.0f, Flat(k.vent));
    }
    kit.Stroke(194.0f, 140.0f, 190.0f, 166.0f, 3.0f, Flat(k.accent));
    Bay(kit, k, 150.0f, 136.0f, bBaysOpen);
    // Skirt with the lower bay.
    Plate(kit, {{116.0f, 172.0f}, {208.0f, 170.0f}, {222.0f, 214.0f}, {110.0f, 216.0f}},
          Down(170.0f, k.armour, 216.0f, k.armourDark));
    kit.Stroke(116.0f, 180.0f, 206.0f, 178.0f, 2.0f, Flat(k.accent));
    Bay(kit, k, 150.0f, 196.0f, bBaysOpen);
    // Near leg and foot.
    Plate(kit, {{132.0f, 210.0f}, {176.0f, 210.0f}, {196.0f, 228.0f}, {188.0f, 236.0f}, {140.0f, 236.0f}, {126.0f, 222.0f}},
          Down(210.0f, k.armour, 236.0f, k.armourDark));
    Plate(kit, {{118.0f, 230.0f}, {202.0f, 230.0f}, {208.0f, 239.0f}, {112.0f, 239.0f}}, Flat(k.frame));
    // Head with its crest and visor.
    Plate(kit, {{146.0f, 64.0f}, {124.0f, 40.0f}, {130.0f, 38.0f}, {152.0f, 60.0f}}, Flat(k.vent), 1.0f);
    Plate(kit, {{124.0f, 62.0f}, {156.0f, 58.0f}, {166.0f, 72.0f}, {160.0f, 90.0f}, {128.0f, 90.0f}, {120.0f, 76.0f}},
          Down(58.0f, k.armour, 90.0f, k.armourDark));
    kit.Stroke(124.0f, 72.0f, 146.0f, 72.0f, 4.0f, Flat(kInk));
    kit.Stroke(126.0f, 72.0f, 144.0f, 72.0f, 2.0f, Flat(k.eye));
    kit.Stroke(150.0f, 84.0f, 160.0f, 84.0f, 2.0f, Flat(k.accent));
    // Near shoulder.
    kit.Ball(178.0f, 106.0f, 28.0f, 24.0f, k.armour);
    kit.EllipseOutline(178.0f, 106.0f, 28.0f, 24.0f, 1.5f, Flat(kInk));
    kit.Stroke(156.0f, 102.0f, 200.0f, 95.0f, 5.0f, Flat(k.accent));
    // Arm reaching forward to the gun.
    Plate(kit, {{158.0f, 110.0f}, {176.0f, 118.0f}, {130.0f, 142.0f}, {118.0f, 128.0f}}, Down(110.0f, k.frame, 142.0f, k.frameDark));
    Plate(kit, {{126.0f, 122.0f}, {136.0f, 140.0f}, {104.0f, 146.0f}, {98.0f, 126.0f}}, Down(122.0f, k.armour, 146.0f, k.armourDark));
    // The twin beam gun: body, sight, grip, and the two barrels ending at its muzzles.
    Box(kit, 40.0f, 102.0f, 74.0f, 48.0f, 6.0f, Down(102.0f, k.gun, 150.0f, k.gunDark));
    Box(kit, 66.0f, 95.0f, 26.0f, 8.0f, 2.0f, Flat(k.frame));
    Plate(kit, {{82.0f, 150.0f}, {98.0f, 150.0f}, {94.0f, 168.0f}, {78.0f, 168.0f}}, Flat(k.gunDark));
    Box(kit, 0.0f, 106.0f, 46.0f, 12.0f, 3.0f, Down(106.0f, k.gun, 118.0f, k.gunDark));
    Box(kit, 10.0f, 137.0f, 36.0f, 12.0f, 3.0f, Down(137.0f, k.gun, 149.0f, k.gunDark));
    kit.RoundBox(0.0f, 107.0f, 5.0f, 10.0f, 2.0f, Flat(k.accent));
    kit.RoundBox(10.0f, 138.0f, 5.0f, 10.0f, 2.0f, Flat(k.accent));
    kit.Stroke(50.0f, 126.0f, 106.0f, 126.0f, 3.0f, Flat(k.glow));
    // The hand on the grip.
    kit.Ball(100.0f, 134.0f, 9.0f, 8.0f, k.armourDark);
    kit.EllipseOutline(100.0f, 134.0f, 9.0f, 8.0f, 1.0f, Flat(kInk));
}

std::function<void(CArtKit&)> Pose(const ZZLOOK& look, bool bBaysOpen)
{
    return [look, bBaysOpen](CArtKit& kit) { DrawPose(kit, look, bBaysOpen); };
}

// A word it shouts, in big outlined letters.
std::function<void(CArtKit&)> Word(const std::string& text, uint32_t top, uint32_t bottom, uint32_t edge)
{
    return [text, top, bottom, edge](CArtKit& kit) {
        const int nHeight = 44;
        const float x = (112.0f - (float)CArtKit::TextWidth(text, nHeight)) / 2.0f;
        kit.Text(x, 5.0f, text, nHeight, Down(8.0f, Rgb(top), 48.0f, Rgb(bottom)), Rgb(edge), 3.0f);
    };
}

// The anti-air missile, nose to the left; the second frame's flame is longer.
std::function<void(CArtKit&)> AirMissile(int nFrame)
{
    return [nFrame](CArtKit& kit) {
        const RGBF body = Rgb(0xF0F0F0), fin = Rgb(0x3050B0), nose = Rgb(0xE03020);
        const float flame = nFrame ? 7.0f : 4.0f;
        kit.Ellipse(36.0f - flame, 6.0f, flame, 2.5f, RadialGradient(36.0f - flame, 6.0f, flame, RGBF{255, 250, 210}, Rgb(0xFF8020)));
        kit.Polygon({{22.0f, 6.0f}, {28.0f, 0.5f}, {30.0f, 0.5f}, {28.0f, 6.0f}}, Flat(fin));
        kit.Polygon({{22.0f, 6.0f}, {28.0f, 6.0f}, {30.0f, 11.5f}, {28.0f, 11.5f}}, Flat(fin));
        kit.RoundBox(6.0f, 3.5f, 23.0f, 5.0f, 2.0f, CylinderShade(6.0f, 23.0f, body));
        kit.Stroke(14.0f, 4.0f, 14.0f, 8.0f, 1.5f, Flat(Rgb(0xF0C020)));
        kit.Polygon({{0.5f, 6.0f}, {7.0f, 3.5f}, {7.0f, 8.5f}}, Flat(nose));
    };
}

// The homing missile, nose to the left (the game turns it to its heading); two flame frames.
std::function<void(CArtKit&)> Homing(int nFrame)
{
    return [nFrame](CArtKit& kit) {
        const RGBF body = Rgb(0x34407C), fin = Rgb(0xD8342C), nose = Rgb(0xF2C230);
        const float flame = nFrame ? 5.0f : 3.5f;
        kit.Ellipse(39.5f - flame, 8.0f, flame, 3.0f, RadialGradient(39.5f - flame, 8.0f, flame, RGBF{255, 255, 255}, Rgb(0x7CF0FF)));
        kit.Polygon({{25.0f, 2.0f}, {31.0f, 2.0f}, {34.0f, 6.0f}, {24.0f, 6.0f}}, Flat(fin));
        kit.Polygon({{24.0f, 10.0f}, {34.0f, 10.0f}, {31.0f, 14.0f}, {25.0f, 14.0f}}, Flat(fin));
        kit.RoundBox(7.0f, 5.0f, 27.0f, 6.0f, 2.5f, CylinderShade(7.0f, 27.0f, body));
        kit.Polygon({{1.0f, 8.0f}, {8.0f, 4.5f}, {8.0f, 11.5f}}, Flat(nose));
    };
}

struct ZZREGION {
    const char* pszName;
    int x, y, w, h;
    std::function<void(CArtKit&)> draw;
};

} // namespace

void WriteBossZZSheet(CDataSet& data, const std::string& folder)
{
    const char kNekketsu[] = "\x94\x4D\x8C\x8C";
    const char kKoun[] = "\x8D\x4B\x89\x5E";
    const ZZREGION regions[] = {
        {"MSZ006b.bmp", 0, 0, kPoseW, kPoseH, Pose(Fresh(), false)},
        {"MSZ006c.bmp", 302, 0, kPoseW, kPoseH, Pose(Fresh(), true)},
        {"MSZ006carbon.bmp", 0, 242, kPoseW, kPoseH, Pose(Burnt(), false)},
        {"Nekketsu.bmp", 302, 242, 112, 56, Word(kNekketsu, 0xFFF080, 0xF03010, 0x401008)},
        {"Koun.bmp", 416, 242, 112, 56, Word(kKoun, 0xFFFFFF, 0x60C0FF, 0x102050)},
        {"Tsuibi1.bmp", 302, 300, 40, 16, Homing(0)},
        {"Tsuibi2.bmp", 344, 300, 40, 16, Homing(1)},
        {"Taiku1.bmp", 386, 300, 36, 12, AirMissile(0)},
        {"Taiku2.bmp", 424, 300, 36, 12, AirMissile(1)},
    };
    CCanvas sheet(640, 2 * kPoseH + 2);
    std::vector<std::string> lines = {"// BossMSZ010Index.txt: regions of BossMSZ010Sheet.bmp",
                                      "#INDEX_FOR BossMSZ010Sheet.bmp"};
    for (const ZZREGION& r : regions) {
        CCanvas cell(r.w, r.h);
        CArtKit kit(cell);
        r.draw(kit);
        sheet.Blit(cell, r.x, r.y);
        Label(sheet, r.x, r.y, r.w, r.h, r.pszName);
        char szLine[128];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %d:%d:%d:%d", r.pszName, r.x, r.y, r.x + r.w - 1, r.y + r.h - 1);
        lines.push_back(szLine);
    }
    data.WriteText(folder + "BossMSZ010Index.txt", JoinCrLf(lines));
    data.Write(folder + "BossMSZ010Sheet.bmp", sheet.ToBmp24());
}
