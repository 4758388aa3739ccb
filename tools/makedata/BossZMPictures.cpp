#include "BossZMPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ArtKit.h"
#include "BulletPictures.h"
#include "IndexSheetsCanvas.h"
#include "SaberPictures.h"
#include "platform/win/WinTypes.h"

namespace {

// The boss's livery: ivory armour, violet plates, gold fins, a dark frame and cyan eyes.
const RGBF kInk = {26, 20, 40};
const RGBF kIvory = {236, 230, 244};
const RGBF kViolet = {112, 64, 176};
const RGBF kGold = {232, 180, 64};
const RGBF kFrame = {70, 66, 90};
const RGBF kEye = {96, 232, 255};
const RGBF kVent = {208, 48, 64};
const RGBF kWhite = {255, 255, 255};

struct ZMREGION {
    const char* pszName;
    int nWidth;
    int nHeight;
};

// Body pictures first (0 to 3 and the body's own), then the weapons' pictures.
const ZMREGION kRegions[] = {
    {"ZM_MSZ006a.bmp", 180, 200},   {"ZM_MSZ006b.bmp", 122, 172},   {"ZM_MSZ006c.bmp", 240, 256},
    {"ZM_MSZ006d.bmp", 200, 160},   {"ZM_MSZ006carbon.bmp", 180, 200}, {"ZM_Gun.bmp", 160, 28},
    {"ZM_Saber1.bmp", 64, 48},      {"ZM_Saber2.bmp", 64, 48},      {"MSZ006Shield1.bmp", 128, 128},
    {"MSZ006Shield2.bmp", 128, 128},
};

const int kSheetWidth = 640;
const int kGap = 2;

RGBF Light(const RGBF& c, float f)
{
    return Mix(c, kWhite, f);
}

// An armour plate: lit from above, darker below, outlined.
void Plate(CArtKit& kit, const std::vector<PTF>& pts, const RGBF& base)
{
    float y0 = pts[0].y, y1 = pts[0].y;
    for (const PTF& p : pts) {
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    kit.Polygon(pts, VerticalGradient(y0, Light(base, 0.35f), y1, Scale(base, 0.62f)));
    kit.PolygonOutline(pts, 1.6f, Flat(kInk));
}

// A limb segment: an outlined, round-ended bar with a highlight along its upper side.
void Limb(CArtKit& kit, float x0, float y0, float x1, float y1, float w, const RGBF& base)
{
    kit.Stroke(x0, y0, x1, y1, w + 3.2f, Flat(kInk));
    kit.Stroke(x0, y0, x1, y1, w, Flat(Scale(base, 0.8f)));
    kit.Stroke(x0 - w * 0.12f, y0 - w * 0.18f, x1 - w * 0.12f, y1 - w * 0.18f, w * 0.35f, Flat(Light(base, 0.4f)));
}

void Joint(CArtKit& kit, float x, float y, float r)
{
    kit.Ball(x, y, r, r, kFrame);
    kit.EllipseOutline(x, y, r, r, 1.2f, Flat(kInk));
}

// The head, looking left: helmet, gold V fin, cyan eye slit and a mouth guard.
void Head(CArtKit& kit, float cx, float cy, float s)
{
    Plate(kit, {{cx - 10 * s, cy - 10 * s}, {cx + 9 * s, cy - 12 * s}, {cx + 12 * s, cy + 4 * s}, {cx + 4 * s, cy + 12 * s},
                {cx - 9 * s, cy + 10 * s}, {cx - 13 * s, cy}},
          kIvory);
    Plate(kit, {{cx - 4 * s, cy - 9 * s}, {cx - 20 * s, cy - 24 * s}, {cx - 2 * s, cy - 13 * s}, {cx + 10 * s, cy - 26 * s},
                {cx + 6 * s, cy - 9 * s}},
          kGold);
    kit.RoundBox(cx - 12 * s, cy - 3 * s, 13 * s, 4.5f * s, 2.0f * s, Flat(kEye));
    kit.Ellipse(cx - 9 * s, cy - 1 * s, 2.2f * s, 1.6f * s, Flat(kWhite));
    Plate(kit, {{cx - 11 * s, cy + 4 * s}, {cx - 2 * s, cy + 4 * s}, {cx - 2 * s, cy + 10 * s}, {cx - 8 * s, cy + 10 * s}},
          kViolet);
}

// A thruster nozzle pointing down-right with its flame.
void Thruster(CArtKit& kit, float x, float y, float r, bool bFlame)
{
    if (bFlame)
        kit.Ellipse(x + r * 1.6f, y + r * 0.6f, r * 2.2f, r * 0.9f,
                    RadialGradient(x + r * 0.8f, y + r * 0.3f, r * 2.4f, Rgb(0xFFF4C0), Rgb(0xF05020)));
    kit.Ball(x, y, r, r * 0.8f, kFrame);
    kit.EllipseOutline(x, y, r, r * 0.8f, 1.2f, Flat(kInk));
}

// Red vents on the chest.
void Vents(CArtKit& kit, float x, float y, float s)
{
    for (int i = 0; i < 3; i++) {
        kit.RoundBox(x, y + (float)i * 5.0f * s, 12.0f * s, 3.0f * s, 1.0f, Flat(kVent));
    }
}

// Image 0: swooping forwards, wings spread behind, legs trailing.
void DrawGlide(CArtKit& kit, int ox, int oy)
{
    const float x = (float)ox, y = (float)oy;
    Plate(kit, {{x + 118, y + 64}, {x + 168, y + 6}, {x + 178, y + 14}, {x + 134, y + 80}}, kViolet);
    Plate(kit, {{x + 122, y + 78}, {x + 176, y + 46}, {x + 178, y + 58}, {x + 132, y + 92}}, kViolet);
    Limb(kit, x + 108, y + 118, x + 136, y + 146, 15, Scale(kIvory, 0.8f));
    Limb(kit, x + 136, y + 146, x + 160, y + 170, 13, Scale(kIvory, 0.8f));
    Plate(kit, {{x + 150, y + 164}, {x + 176, y + 166}, {x + 172, y + 184}, {x + 152, y + 178}}, Scale(kViolet, 0.8f));
    Plate(kit, {{x + 98, y + 50}, {x + 140, y + 56}, {x + 144, y + 104}, {x + 104, y + 108}}, kFrame);
    Thruster(kit, x + 136, y + 104, 8, true);
    Limb(kit, x + 100, y + 66, x + 82, y + 94, 11, Scale(kIvory, 0.8f));
    Limb(kit, x + 82, y + 94, x + 60, y + 102, 10, Scale(kIvory, 0.8f));
    Plate(kit, {{x + 60, y + 60}, {x + 112, y + 52}, {x + 124, y + 98}, {x + 106, y + 124}, {x + 72, y + 120}, {x + 58, y + 92}},
          kIvory);
    Vents(kit, x + 70, y + 76, 1.0f);
    Plate(kit, {{x + 74, y + 112}, {x + 108, y + 116}, {x + 104, y + 132}, {x + 80, y + 130}}, kViolet);
    Limb(kit, x + 96, y + 128, x + 122, y + 160, 16, kIvory);
    Joint(kit, x + 122, y + 160, 7);
    Limb(kit, x + 122, y + 160, x + 146, y + 186, 14, kIvory);
    Plate(kit, {{x + 136, y + 180}, {x + 166, y + 184}, {x + 160, y + 198}, {x + 134, y + 194}}, kViolet);
    Head(kit, x + 54, y + 46, 1.1f);
    Limb(kit, x + 80, y + 72, x + 52, y + 90, 12, kIvory);
    Joint(kit, x + 52, y + 90, 6);
    Limb(kit, x + 52, y + 90, x + 28, y + 98, 11, kIvory);
    kit.Ball(x + 22, y + 98, 8, 7, kFrame);
    kit.EllipseOutline(x + 22, y + 98, 8, 7, 1.2f, Flat(kInk));
    kit.RoundBox(x + 64, y + 52, 36, 30, 8, VerticalGradient(y + 52, Light(kViolet, 0.4f), y + 82, Scale(kViolet, 0.6f)));
    kit.RoundBoxOutline(x + 64, y + 52, 36, 30, 8, 1.6f, Flat(kInk));
    kit.Stroke(x + 70, y + 58, x + 94, y + 58, 2.0f, Flat(kGold));
}

// Image 1: standing, the rifle arm held out to the left (the rifle is a picture of its own, its grip
// in the hand at (24, 84)).
void DrawGunner(CArtKit& kit, int ox, int oy)
{
    const float x = (float)ox, y = (float)oy;
    Plate(kit, {{x + 68, y + 34}, {x + 104, y + 38}, {x + 106, y + 86}, {x + 72, y + 90}}, kFrame);
    Thruster(kit, x + 78, y + 92, 7, false);
    Thruster(kit, x + 98, y + 88, 7, false);
    Limb(kit, x + 80, y + 52, x + 92, y + 76, 11, Scale(kIvory, 0.8f));
    Limb(kit, x + 92, y + 76, x + 80, y + 92, 10, Scale(kIvory, 0.8f));
    Limb(kit, x + 72, y + 100, x + 82, y + 132, 16, Scale(kIvory, 0.8f));
    Limb(kit, x + 82, y + 132, x + 84, y + 156, 14, Scale(kIvory, 0.8f));
    Plate(kit, {{x + 70, y + 154}, {x + 100, y + 156}, {x + 102, y + 170}, {x + 66, y + 170}}, Scale(kViolet, 0.8f));
    Plate(kit, {{x + 30, y + 42}, {x + 86, y + 40}, {x + 88, y + 88}, {x + 74, y + 104}, {x + 40, y + 102}, {x + 28, y + 80}},
          kIvory);
    Vents(kit, x + 38, y + 54, 1.0f);
    Plate(kit, {{x + 40, y + 96}, {x + 76, y + 96}, {x + 72, y + 110}, {x + 46, y + 110}}, kViolet);
    Limb(kit, x + 52, y + 106, x + 46, y + 134, 17, kIvory);
    Joint(kit, x + 46, y + 134, 7);
    Limb(kit, x + 46, y + 134, x + 44, y + 158, 15, kIvory);
    Plate(kit, {{x + 24, y + 156}, {x + 58, y + 156}, {x + 60, y + 170}, {x + 20, y + 170}}, kViolet);
    Head(kit, x + 52, y + 26, 0.95f);
    Limb(kit, x + 44, y + 52, x + 32, y + 72, 12, kIvory);
    Joint(kit, x + 32, y + 72, 6);
    Limb(kit, x + 32, y + 72, x + 24, y + 84, 11, kIvory);
    kit.RoundBox(x + 24, y + 38, 36, 26, 8, VerticalGradient(y + 38, Light(kViolet, 0.4f), y + 64, Scale(kViolet, 0.6f)));
    kit.RoundBoxOutline(x + 24, y + 38, 36, 26, 8, 1.6f, Flat(kInk));
    kit.Stroke(x + 30, y + 44, x + 54, y + 44, 2.0f, Flat(kGold));
}

// Image 2: the saber held low behind, its hilt where the glow is laid over the blade.
void DrawSwordsman(CArtKit& kit, int ox, int oy)
{
    const float x = (float)ox, y = (float)oy;
    Plate(kit, {{x + 136, y + 62}, {x + 196, y + 8}, {x + 206, y + 18}, {x + 152, y + 80}}, kViolet);
    Plate(kit, {{x + 140, y + 80}, {x + 210, y + 50}, {x + 212, y + 62}, {x + 150, y + 96}}, kViolet);
    Plate(kit, {{x + 124, y + 58}, {x + 166, y + 62}, {x + 168, y + 118}, {x + 128, y + 122}}, kFrame);
    Thruster(kit, x + 152, y + 122, 8, false);
    Limb(kit, x + 118, y + 154, x + 140, y + 196, 16, Scale(kIvory, 0.8f));
    Limb(kit, x + 140, y + 196, x + 128, y + 240, 14, Scale(kIvory, 0.8f));
    Plate(kit, {{x + 114, y + 236}, {x + 146, y + 238}, {x + 150, y + 254}, {x + 110, y + 254}}, Scale(kViolet, 0.8f));
    Plate(kit, {{x + 66, y + 66}, {x + 130, y + 62}, {x + 134, y + 120}, {x + 120, y + 150}, {x + 80, y + 150}, {x + 64, y + 112}},
          kIvory);
    Vents(kit, x + 76, y + 84, 1.1f);
    Plate(kit, {{x + 78, y + 140}, {x + 122, y + 140}, {x + 118, y + 158}, {x + 84, y + 158}}, kViolet);
    Limb(kit, x + 90, y + 154, x + 78, y + 198, 18, kIvory);
    Joint(kit, x + 78, y + 198, 8);
    Limb(kit, x + 78, y + 198, x + 74, y + 238, 16, kIvory);
    Plate(kit, {{x + 50, y + 234}, {x + 92, y + 234}, {x + 94, y + 254}, {x + 46, y + 254}}, kViolet);
    // The saber arm: down and back to the hilt at the blade's root.
    Limb(kit, x + 118, y + 84, x + 130, y + 140, 13, kIvory);
    Joint(kit, x + 130, y + 140, 7);
    Limb(kit, x + 130, y + 140, x + 142, y + 186, 12, kIvory);
    kit.Stroke(x + 140, y + 190, x + 150, y + 202, 7.0f, Flat(kFrame));
    kit.Ball(x + 142, y + 188, 9, 8, kFrame);
    kit.EllipseOutline(x + 142, y + 188, 9, 8, 1.2f, Flat(kInk));
    kit.Stroke(x + 152, y + 204, x + 196, y + 232, 3.0f, Flat(Rgb(0xFFD0E8)));
    Head(kit, x + 96, y + 44, 1.2f);
    // The free arm reaches forwards.
    Limb(kit, x + 84, y + 80, x + 54, y + 100, 13, kIvory);
    Joint(kit, x + 54, y + 100, 7);
    Limb(kit, x + 54, y + 100, x + 30, y + 86, 12, kIvory);
    kit.Ball(x + 24, y + 84, 9, 8, kFrame);
    kit.EllipseOutline(x + 24, y + 84, 9, 8, 1.2f, Flat(kInk));
    kit.RoundBox(x + 62, y + 56, 40, 32, 9, VerticalGradient(y + 56, Light(kViolet, 0.4f), y + 88, Scale(kViolet, 0.6f)));
    kit.RoundBoxOutline(x + 62, y + 56, 40, 32, 9, 1.6f, Flat(kInk));
    kit.Stroke(x + 68, y + 62, x + 96, y + 62, 2.0f, Flat(kGold));
}

// Image 3: the charge, crouched low and flat behind the shield, thrusters at full.
void DrawCharger(CArtKit& kit, int ox, int oy)
{
    const float x = (float)ox, y = (float)oy;
    kit.Ellipse(x + 176, y + 70, 22, 12, RadialGradient(x + 164, y + 70, 28, Rgb(0xFFF8D0), Rgb(0xF06020)));
    kit.Ellipse(x + 172, y + 96, 18, 9, RadialGradient(x + 162, y + 96, 22, Rgb(0xFFF8D0), Rgb(0xF06020)));
    Plate(kit, {{x + 110, y + 36}, {x + 190, y + 22}, {x + 194, y + 32}, {x + 120, y + 54}}, kViolet);
    Plate(kit, {{x + 118, y + 48}, {x + 158, y + 50}, {x + 160, y + 104}, {x + 120, y + 106}}, kFrame);
    Thruster(kit, x + 158, y + 70, 8, false);
    Thruster(kit, x + 156, y + 96, 7, false);
    Limb(kit, x + 112, y + 110, x + 150, y + 122, 15, Scale(kIvory, 0.8f));
    Limb(kit, x + 150, y + 122, x + 178, y + 140, 13, Scale(kIvory, 0.8f));
    Plate(kit, {{x + 40, y + 62}, {x + 122, y + 50}, {x + 130, y + 100}, {x + 112, y + 120}, {x + 56, y + 116}, {x + 38, y + 90}},
          kIvory);
    Vents(kit, x + 58, y + 74, 1.0f);
    Limb(kit, x + 100, y + 116, x + 136, y + 136, 17, kIvory);
    Joint(kit, x + 136, y + 136, 7);
    Limb(kit, x + 136, y + 136, x + 166, y + 150, 14, kIvory);
    Plate(kit, {{x + 156, y + 142}, {x + 190, y + 146}, {x + 186, y + 158}, {x + 154, y + 156}}, kViolet);
    Head(kit, x + 36, y + 60, 1.0f);
    Limb(kit, x + 62, y + 80, x + 30, y + 98, 13, kIvory);
    Joint(kit, x + 30, y + 98, 6);
    Limb(kit, x + 30, y + 98, x + 14, y + 110, 12, kIvory);
    kit.RoundBox(x + 50, y + 52, 38, 30, 8, VerticalGradient(y + 52, Light(kViolet, 0.4f), y + 82, Scale(kViolet, 0.6f)));
    kit.RoundBoxOutline(x + 50, y + 52, 38, 30, 8, 1.6f, Flat(kInk));
}

// The body's own picture: the glide pose scorched and sooty.
void DrawCarbon(CCanvas& canvas, CArtKit& kit, int ox, int oy, int w, int h)
{
    DrawGlide(kit, ox, oy);
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            const uint32_t d = canvas.At(ox + i, oy + j);
            if (d == kKeyGreen)
                continue;
            const float fSoot = 0.35f + 0.25f * Fbm((float)i, (float)j, 0x2006u, 9.0f, 3, 0, 0);
            const RGBF c{(float)((d >> 16) & 0xFF), (float)((d >> 8) & 0xFF), (float)(d & 0xFF)};
            canvas.Set(ox + i, oy + j, Quantise(Mix(Scale(c, fSoot), RGBF{60, 30, 20}, 0.2f), ox + i, oy + j));
        }
    }
}

// The beam rifle, muzzle to the left, the barrel's axis on row 16, the grip at x 118 to 130.
void DrawRifle(CArtKit& kit, int ox, int oy)
{
    const float x = (float)ox, y = (float)oy;
    kit.RoundBox(x + 2, y + 12, 96, 8, 2, VerticalGradient(y + 12, Rgb(0x9090A8), y + 20, Rgb(0x404058)));
    kit.RoundBoxOutline(x + 2, y + 12, 96, 8, 2, 1.2f, Flat(kInk));
    kit.RoundBox(x + 40, y + 10, 10, 12, 2, Flat(kFrame));
    kit.RoundBoxOutline(x + 40, y + 10, 10, 12, 2, 1.0f, Flat(kInk));
    Plate(kit, {{x + 84, y + 7}, {x + 150, y + 7}, {x + 156, y + 22}, {x + 88, y + 24}}, kFrame);
    Plate(kit, {{x + 116, y + 20}, {x + 130, y + 20}, {x + 134, y + 27}, {x + 118, y + 27}}, kFrame);
    kit.RoundBox(x + 96, y + 1, 32, 6, 2, Flat(kViolet));
    kit.RoundBoxOutline(x + 96, y + 1, 32, 6, 2, 1.0f, Flat(kInk));
    kit.Ellipse(x + 6, y + 16, 5, 5, RadialGradient(x + 6, y + 16, 5, kWhite, kEye));
    kit.Stroke(x + 92, y + 15, x + 146, y + 15, 1.5f, Flat(kGold));
}

// The charge shield, additive on black: a bright bow in front (left) over a faint lattice.
void DrawShield(CCanvas& canvas, int ox, int oy, int n, int nFrame)
{
    const float c = (float)n * 0.5f, r = c - 6.0f;
    for (int j = 0; j < n; j++) {
        for (int i = 0; i < n; i++) {
            const float dx = (float)i + 0.5f - c, dy = (float)j + 0.5f - c;
            const float d = std::sqrt(dx * dx + dy * dy) / r;
            if (d >= 1.05f) {
                canvas.Set(ox + i, oy + j, 0x000000);
                continue;
            }
            // Brighter on the front, where the charge meets the air.
            const float fFront = std::clamp(0.5f - dx / (2.0f * r), 0.0f, 1.0f);
            const float fRim = std::exp(-std::pow((d - 0.93f) / 0.07f, 2.0f)) * (0.4f + 0.6f * fFront);
            const float fHex = 1.0f - std::fabs(std::sin((dx + (float)nFrame * 4.0f) * 0.35f) * std::sin(dy * 0.35f));
            const float fFill = d < 1.0f ? (0.08f + 0.3f * fFront * d) * (nFrame ? 1.0f : 0.8f) + 0.12f * fHex * d : 0.0f;
            const RGBF col = Mix(Rgb(0xB02080), Rgb(0xFFC0F0), std::min(1.0f, fRim));
            canvas.Set(ox + i, oy + j, Quantise(Scale(col, std::min(1.0f, fFill + fRim)), ox + i, oy + j));
        }
    }
}

void DrawRegion(CCanvas& canvas, int nRegion, int x, int y, int w, int h)
{
    CArtKit kit(canvas);
    kit.Clip(x, y, w, h);
    switch (nRegion) {
    case 0: DrawGlide(kit, x, y); break;
    case 1: DrawGunner(kit, x, y); break;
    case 2: DrawSwordsman(kit, x, y); break;
    case 3: DrawCharger(kit, x, y); break;
    case 4: DrawCarbon(canvas, kit, x, y, w, h); break;
    case 5: DrawRifle(kit, x, y); break;
    case 6:
    case 7: DrawSaberGlow(canvas, x, y, w, h, nRegion - 6, Rgb(0xFF4090)); break;
    default: DrawShield(canvas, x, y, w, nRegion - 8); break;
    }
    kit.Unclip();
    Label(canvas, x, y, w, h, kRegions[nRegion].pszName);
}

} // namespace

void WriteBossZMPictures(CDataSet& data, const std::string& folder)
{
    std::vector<RECT> places;
    int x = 0, y = 0, nRowH = 0;
    for (const ZMREGION& r : kRegions) {
        if (x > 0 && x + r.nWidth > kSheetWidth) {
            x = 0;
            y += nRowH + kGap;
            nRowH = 0;
        }
        places.push_back(RECT{x, y, x + r.nWidth, y + r.nHeight});
        x += r.nWidth + kGap;
        nRowH = std::max(nRowH, r.nHeight);
    }
    CCanvas canvas(kSheetWidth, y + nRowH);
    std::vector<std::string> lines;
    lines.push_back(std::string("// ") + ZM_INDEX_FILE + ": regions of " + ZM_SHEET_FILE);
    lines.push_back(std::string("#INDEX_FOR ") + ZM_SHEET_FILE);
    for (size_t i = 0; i < places.size(); i++) {
        const RECT& rc = places[i];
        DrawRegion(canvas, (int)i, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        char szLine[160];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %ld:%ld:%ld:%ld", kRegions[i].pszName, (long)rc.left,
                 (long)rc.top, (long)rc.right - 1, (long)rc.bottom - 1);
        lines.push_back(szLine);
    }
    data.WriteText(folder + ZM_INDEX_FILE, JoinCrLf(lines));
    data.Write(folder + ZM_SHEET_FILE, canvas.ToBmp24());
}
