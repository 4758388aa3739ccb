// The first boss: a hovering armoured walker in white, blue and red, drawn facing left in four poses
// (mine bay open, gun levelled, hammer chain raised, hammer thrown), its own portrait, and its
// weapons (mine, hammer head, chain link), on one sheet with its region index in the stage folder.
#include "BossMMPictures.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "ArtKit.h"

namespace {

const RGBF kInk = {20, 18, 30};
const int kBodyW = 208;
const int kBodyH = 192;
const int kThrownW = 256;

struct MMPALETTE {
    RGBF armour, armourDark, blue, blueDark, red, yellow, visor, metal, flame;
};

MMPALETTE Palette()
{
    return MMPALETTE{Rgb(0xE8ECF4), Rgb(0x9098B0), Rgb(0x2850B8), Rgb(0x142860), Rgb(0xD02828),
                     Rgb(0xF8C818), Rgb(0x60F0FF), Rgb(0x585C68), Rgb(0xFFB040)};
}

enum POSE { POSE_MINES, POSE_GUN, POSE_HOLD, POSE_THROWN };

void Plate(CArtKit& kit, const std::vector<PTF>& pts, const RGBF& light, const RGBF& dark, float y0, float y1)
{
    kit.Polygon(pts, VerticalGradient(y0, light, y1, dark));
    kit.PolygonOutline(pts, 1.6f, Flat(kInk));
}

void Limb(CArtKit& kit, float x0, float y0, float x1, float y1, float w, const MMPALETTE& p)
{
    kit.Stroke(x0, y0, x1, y1, w + 3.0f, Flat(kInk));
    kit.Stroke(x0, y0, x1, y1, w, Flat(p.armourDark));
    kit.Stroke(x0, y0 - w * 0.2f, x1, y1 - w * 0.2f, w * 0.45f, Flat(p.armour));
}

void Fist(CArtKit& kit, float cx, float cy, float r, const MMPALETTE& p)
{
    kit.Ball(cx, cy, r, r, p.blue);
    kit.EllipseOutline(cx, cy, r, r, 1.5f, Flat(kInk));
}

void Shoulder(CArtKit& kit, float cx, float cy, const MMPALETTE& p)
{
    kit.Ball(cx, cy, 24.0f, 20.0f, p.blue);
    kit.EllipseOutline(cx, cy, 24.0f, 20.0f, 1.6f, Flat(kInk));
    kit.Stroke(cx - 16.0f, cy - 6.0f, cx + 16.0f, cy - 6.0f, 3.0f, Flat(p.yellow));
}

// Hover skirt, back pack, torso and head, the same in every pose; ox moves it across the cell.
void Body(CArtKit& kit, float ox, const MMPALETTE& p, bool bBayOpen)
{
    // Exhaust under the skirt and from the back pack.
    kit.Ellipse(ox + 104.0f, 182.0f, 40.0f, 9.0f, RadialGradient(ox + 104.0f, 182.0f, 40.0f, Rgb(0xFFF8D0), p.flame));
    kit.Ellipse(ox + 186.0f, 118.0f, 16.0f, 8.0f, RadialGradient(ox + 186.0f, 118.0f, 16.0f, Rgb(0xFFF8D0), p.flame));
    // Back pack with two nozzles.
    kit.Bevel(ox + 136.0f, 46.0f, 40.0f, 70.0f, 5.0f, p.metal);
    kit.RoundBoxOutline(ox + 136.0f, 46.0f, 40.0f, 70.0f, 3.0f, 1.5f, Flat(kInk));
    kit.RoundBox(ox + 168.0f, 104.0f, 16.0f, 20.0f, 3.0f, Flat(p.metal));
    kit.RoundBoxOutline(ox + 168.0f, 104.0f, 16.0f, 20.0f, 3.0f, 1.2f, Flat(kInk));
    // Hover skirt.
    Plate(kit, {{ox + 62.0f, 128.0f}, {ox + 148.0f, 128.0f}, {ox + 162.0f, 176.0f}, {ox + 48.0f, 176.0f}}, p.blue,
          p.blueDark, 128.0f, 176.0f);
    kit.Stroke(ox + 56.0f, 160.0f, ox + 154.0f, 160.0f, 4.0f, Flat(p.red));
    // Torso.
    Plate(kit, {{ox + 64.0f, 58.0f}, {ox + 144.0f, 58.0f}, {ox + 154.0f, 132.0f}, {ox + 56.0f, 132.0f}}, p.armour,
          p.armourDark, 58.0f, 132.0f);
    kit.Bevel(ox + 74.0f, 112.0f, 60.0f, 16.0f, 3.0f, p.red);
    if (bBayOpen) {
        // The mine bay: the chest plate slid away over a glowing pit.
        kit.RoundBox(ox + 78.0f, 72.0f, 52.0f, 34.0f, 5.0f, RadialGradient(ox + 104.0f, 89.0f, 30.0f, Rgb(0xFF8040), Rgb(0x401010)));
        kit.RoundBoxOutline(ox + 78.0f, 72.0f, 52.0f, 34.0f, 5.0f, 2.0f, Flat(kInk));
        kit.Ball(ox + 104.0f, 92.0f, 11.0f, 11.0f, Rgb(0x484850));
        kit.EllipseOutline(ox + 104.0f, 92.0f, 11.0f, 11.0f, 1.2f, Flat(kInk));
    } else {
        kit.Ball(ox + 100.0f, 88.0f, 14.0f, 14.0f, p.red);
        kit.EllipseOutline(ox + 100.0f, 88.0f, 14.0f, 14.0f, 1.6f, Flat(kInk));
        kit.Stroke(ox + 74.0f, 70.0f, ox + 134.0f, 70.0f, 3.0f, Flat(p.blue));
    }
    // Head: a helmet with a visor looking left and a yellow V crest.
    Plate(kit, {{ox + 84.0f, 30.0f}, {ox + 120.0f, 30.0f}, {ox + 124.0f, 58.0f}, {ox + 82.0f, 58.0f}}, p.armour,
          p.armourDark, 30.0f, 58.0f);
    kit.RoundBox(ox + 84.0f, 40.0f, 22.0f, 7.0f, 2.0f, Flat(p.visor));
    kit.Polygon({{ox + 102.0f, 32.0f}, {ox + 78.0f, 10.0f}, {ox + 84.0f, 8.0f}, {ox + 104.0f, 28.0f}}, Flat(p.yellow));
    kit.Polygon({{ox + 104.0f, 32.0f}, {ox + 126.0f, 10.0f}, {ox + 120.0f, 8.0f}, {ox + 100.0f, 28.0f}}, Flat(p.yellow));
    kit.RoundBox(ox + 98.0f, 26.0f, 10.0f, 8.0f, 2.0f, Flat(p.red));
}

void Gun(CArtKit& kit, float x0, float cy, const MMPALETTE& p)
{
    kit.Bevel(x0 + 20.0f, cy - 10.0f, 44.0f, 20.0f, 3.0f, p.metal);
    kit.RoundBoxOutline(x0 + 20.0f, cy - 10.0f, 44.0f, 20.0f, 3.0f, 1.4f, Flat(kInk));
    for (int i = 0; i < 3; i++) {
        const float y = cy - 6.0f + (float)i * 6.0f;
        kit.Stroke(x0 + 2.0f, y, x0 + 24.0f, y, 4.0f, Flat(kInk));
        kit.Stroke(x0 + 2.0f, y, x0 + 24.0f, y, 2.0f, Flat(p.armourDark));
    }
}

CCanvas Pose(POSE pose, const MMPALETTE& p)
{
    const int w = pose == POSE_THROWN ? kThrownW : kBodyW;
    CCanvas c(w, kBodyH);
    CArtKit kit(c);
    // The far arm first, behind the body.
    switch (pose) {
    case POSE_HOLD:
        Limb(kit, 158.0f, 70.0f, 164.0f, 30.0f, 14.0f, p);
        Limb(kit, 164.0f, 30.0f, 159.0f, 12.0f, 12.0f, p);
        break;
    case POSE_THROWN:
        // Swung back for balance, into the extra width on the right.
        Limb(kit, 158.0f, 70.0f, 206.0f, 84.0f, 14.0f, p);
        Limb(kit, 206.0f, 84.0f, 236.0f, 70.0f, 12.0f, p);
        break;
    default:
        Limb(kit, 158.0f, 70.0f, 166.0f, 112.0f, 14.0f, p);
        break;
    }
    Body(kit, 0.0f, p, pose == POSE_MINES);
    Shoulder(kit, 158.0f, 66.0f, p);
    switch (pose) {
    case POSE_HOLD:
        Fist(kit, 159.0f, 10.0f, 9.0f, p);
        break;
    case POSE_THROWN:
        Fist(kit, 238.0f, 70.0f, 9.0f, p);
        break;
    default:
        Fist(kit, 166.0f, 116.0f, 9.0f, p);
        break;
    }
    // The near arm, in front.
    switch (pose) {
    case POSE_GUN:
        Limb(kit, 50.0f, 70.0f, 34.0f, 92.0f, 15.0f, p);
        Gun(kit, 0.0f, 92.0f, p);
        Fist(kit, 40.0f, 94.0f, 9.0f, p);
        break;
    case POSE_THROWN:
        Limb(kit, 50.0f, 70.0f, 24.0f, 96.0f, 15.0f, p);
        Limb(kit, 24.0f, 96.0f, 6.0f, 104.0f, 12.0f, p);
        Fist(kit, 8.0f, 104.0f, 8.0f, p);
        break;
    case POSE_MINES:
        Limb(kit, 50.0f, 70.0f, 30.0f, 116.0f, 15.0f, p);
        Fist(kit, 30.0f, 120.0f, 10.0f, p);
        break;
    default:
        Limb(kit, 50.0f, 70.0f, 42.0f, 118.0f, 15.0f, p);
        Fist(kit, 42.0f, 122.0f, 10.0f, p);
        break;
    }
    Shoulder(kit, 50.0f, 66.0f, p);
    return c;
}

// The portrait the body keeps of itself: the same walker, bay shut, lit hotter.
CCanvas Portrait(const MMPALETTE& p)
{
    MMPALETTE hot = p;
    hot.armour = Mix(p.armour, Rgb(0xFFD0A0), 0.3f);
    hot.blue = Mix(p.blue, p.red, 0.35f);
    return Pose(POSE_HOLD, hot);
}

CCanvas Mine(const MMPALETTE& p)
{
    CCanvas c(32, 32);
    CArtKit kit(c);
    for (int i = 0; i < 4; i++) {
        const float a = 0.785398f + (float)i * 1.570796f;
        kit.Stroke(16.0f, 16.0f, 16.0f + 14.0f * std::cos(a), 16.0f + 14.0f * std::sin(a), 4.0f, Flat(kInk));
        kit.Stroke(16.0f, 16.0f, 16.0f + 13.0f * std::cos(a), 16.0f + 13.0f * std::sin(a), 2.0f, Flat(p.yellow));
    }
    kit.Ball(16.0f, 16.0f, 10.0f, 10.0f, Rgb(0x505460));
    kit.EllipseOutline(16.0f, 16.0f, 10.0f, 10.0f, 1.4f, Flat(kInk));
    kit.Ball(16.0f, 16.0f, 4.0f, 4.0f, p.red);
    return c;
}

CCanvas HammerHead(const MMPALETTE& p)
{
    CCanvas c(48, 48);
    CArtKit kit(c);
    for (int i = 0; i < 8; i++) {
        const float a = (float)i * 0.785398f;
        const float ca = std::cos(a), sa = std::sin(a);
        kit.Polygon({{24.0f + 14.0f * ca - 4.0f * sa, 24.0f + 14.0f * sa + 4.0f * ca},
                     {24.0f + 23.0f * ca, 24.0f + 23.0f * sa},
                     {24.0f + 14.0f * ca + 4.0f * sa, 24.0f + 14.0f * sa - 4.0f * ca}},
                    Flat(p.armourDark));
    }
    kit.Ball(24.0f, 24.0f, 16.0f, 16.0f, p.metal);
    kit.EllipseOutline(24.0f, 24.0f, 16.0f, 16.0f, 1.6f, Flat(kInk));
    kit.Stroke(12.0f, 24.0f, 36.0f, 24.0f, 3.0f, Flat(p.red));
    return c;
}

CCanvas ChainLink(const MMPALETTE& p)
{
    CCanvas c(16, 16);
    CArtKit kit(c);
    kit.Ellipse(8.0f, 8.0f, 6.5f, 6.5f, Flat(kInk));
    kit.Ellipse(8.0f, 8.0f, 5.0f, 5.0f, SphereShade(8.0f, 8.0f, 5.0f, 5.0f, p.armourDark));
    kit.Ellipse(8.0f, 8.0f, 2.2f, 2.2f, Flat(kInk));
    return c;
}

struct MMREGION {
    const char* pszName;
    int x, y;
    CCanvas (*fnDraw)(const MMPALETTE&);
};

CCanvas PoseMines(const MMPALETTE& p)
{
    return Pose(POSE_MINES, p);
}
CCanvas PoseGun(const MMPALETTE& p)
{
    return Pose(POSE_GUN, p);
}
CCanvas PoseHold(const MMPALETTE& p)
{
    return Pose(POSE_HOLD, p);
}
CCanvas PoseThrown(const MMPALETTE& p)
{
    return Pose(POSE_THROWN, p);
}

} // namespace

void WriteBossMMPictures(CDataSet& data, const std::string& folder)
{
    const MMPALETTE p = Palette();
    const MMREGION regions[] = {
        {"BossRX78e.bmp", 0, 0, PoseMines},
        {"BossRX78b.bmp", kBodyW, 0, PoseGun},
        {"BossRX78c.bmp", kBodyW * 2, 0, PoseHold},
        {"BossRX78d.bmp", 0, kBodyH, PoseThrown},
        {"BossRX78f.bmp", kThrownW, kBodyH, Portrait},
        {"BossMine.bmp", kThrownW + kBodyW, kBodyH, Mine},
        {"BossHammer.bmp", kThrownW + kBodyW + 32, kBodyH, HammerHead},
        {"BossChain.bmp", kThrownW + kBodyW + 80, kBodyH, ChainLink},
    };
    CCanvas sheet(kBodyW * 3, kBodyH * 2);
    std::vector<std::string> lines;
    lines.push_back("// BossRX78Index.txt: the first boss and its mine, hammer and chain on BossRX78.bmp");
    lines.push_back("#INDEX_FOR BossRX78.bmp");
    for (const MMREGION& r : regions) {
        const CCanvas picture = r.fnDraw(p);
        const int w = picture.Width(), h = picture.Height();
        sheet.Blit(picture, r.x, r.y);
        Label(sheet, r.x, r.y, w, h, r.pszName);
        char szLine[128];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %d:%d:%d:%d", r.pszName, r.x, r.y, r.x + w - 1, r.y + h - 1);
        lines.push_back(szLine);
    }
    data.WriteText(folder + "BossRX78Index.txt", JoinCrLf(lines));
    data.Write(folder + "BossRX78.bmp", sheet.ToBmp24());
}
