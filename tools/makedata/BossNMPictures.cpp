#include "BossNMPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "ArtKit.h"
#include "BulletPictures.h"

namespace {

const RGBF kInk = {20, 18, 34};

// The boss's colours: white armour with blue and purple, yellow trim; the dark copy is carbon.
struct NMPALETTE {
    RGBF armour, shade, blue, purple, trim, fin, eye, glow;
};

NMPALETTE Bright()
{
    return NMPALETTE{Rgb(0xE8ECF4), Rgb(0x9098B0), Rgb(0x3050C8), Rgb(0x5A3C90), Rgb(0xF0C830), Rgb(0x4A4458),
                     Rgb(0x40F0FF), Rgb(0xFFE860)};
}

NMPALETTE Carbon()
{
    return NMPALETTE{Rgb(0x50505A), Rgb(0x28282E), Rgb(0x30304A), Rgb(0x382848), Rgb(0x907828), Rgb(0x202028),
                     Rgb(0xFF4040), Rgb(0xFF8040)};
}

void Plate(CArtKit& kit, const std::vector<PTF>& pts, const PAINT& paint)
{
    kit.Polygon(pts, paint);
    kit.PolygonOutline(pts, 1.5f, Flat(kInk));
}

// The six fins on its back, fanned out behind it; spread further while it fires.
void Fins(CArtKit& kit, float x, float y, float w, float h, const NMPALETTE& p, float fSpread)
{
    const float bx = x + w * 0.6f, by = y + h * 0.42f;
    for (int i = 0; i < 6; i++) {
        const float a = -1.35f + (float)i * (0.34f + fSpread);
        const float ca = std::cos(a), sa = std::sin(a);
        const float len = h * 0.37f, half = h * 0.045f;
        const PTF root{bx + ca * h * 0.06f, by + sa * h * 0.06f};
        const PTF tip{bx + ca * len, by + sa * len};
        const float nx = -sa * half, ny = ca * half;
        Plate(kit, {{root.x - nx, root.y - ny}, {tip.x - nx * 0.6f, tip.y - ny * 0.6f}, {tip.x + ca * 6.0f, tip.y + sa * 6.0f},
                    {tip.x + nx * 0.6f, tip.y + ny * 0.6f}, {root.x + nx, root.y + ny}},
              Flat(Lit(p.fin, -sa, ca, 0.6f)));
        kit.Stroke(root.x, root.y, tip.x, tip.y, 1.2f, Flat(p.purple));
    }
}

// The body: a leaning figure with a big round shield in front, a head with a crest, shoulders, a
// waist with skirt plates and legs ending in thrusters; bFiring raises the rifle with its glow.
void Body(CArtKit& kit, int x0, int y0, int w0, int h0, const NMPALETTE& p, bool bFiring)
{
    kit.Clip(x0, y0, w0, h0);
    const float x = (float)x0, y = (float)y0, w = (float)w0, h = (float)h0;
    const float cx = x + w * 0.55f;
    Fins(kit, x, y, w, h, p, bFiring ? 0.1f : 0.0f);
    // Thruster flames under the legs.
    for (int i = 0; i < 2; i++) {
        const float fx = cx - w * 0.02f + (float)i * w * 0.14f, fy = y + h * 0.9f;
        kit.Ellipse(fx, fy, w * 0.045f, h * 0.07f, RadialGradient(fx, fy - h * 0.03f, h * 0.08f, Rgb(0xFFF8D0), Rgb(0xF07020)));
    }
    // Legs.
    for (int i = 0; i < 2; i++) {
        const float lx = cx - w * 0.08f + (float)i * w * 0.14f;
        Plate(kit, {{lx, y + h * 0.58f}, {lx + w * 0.12f, y + h * 0.58f}, {lx + w * 0.1f, y + h * 0.86f}, {lx - w * 0.01f, y + h * 0.86f}},
              CylinderShade(lx, w * 0.12f, p.armour));
        kit.Bevel(lx - w * 0.01f, y + h * 0.8f, w * 0.12f, h * 0.07f, 2.0f, p.blue);
    }
    // Skirt and waist.
    Plate(kit, {{cx - w * 0.12f, y + h * 0.5f}, {cx + w * 0.16f, y + h * 0.5f}, {cx + w * 0.2f, y + h * 0.62f}, {cx - w * 0.16f, y + h * 0.62f}},
          VerticalGradient(y + h * 0.5f, p.armour, y + h * 0.62f, p.shade));
    kit.Bevel(cx - w * 0.04f, y + h * 0.49f, w * 0.1f, h * 0.06f, 2.0f, p.trim);
    // Torso: blue chest, white shoulders.
    Plate(kit, {{cx - w * 0.14f, y + h * 0.3f}, {cx + w * 0.16f, y + h * 0.28f}, {cx + w * 0.13f, y + h * 0.5f}, {cx - w * 0.1f, y + h * 0.5f}},
          VerticalGradient(y + h * 0.28f, Mix(p.blue, RGBF{255, 255, 255}, 0.25f), y + h * 0.5f, Scale(p.blue, 0.6f)));
    kit.Bevel(cx - w * 0.06f, y + h * 0.33f, w * 0.12f, h * 0.06f, 2.0f, p.trim);
    kit.Ball(cx + w * 0.15f, y + h * 0.3f, w * 0.09f, h * 0.07f, p.armour);
    kit.EllipseOutline(cx + w * 0.15f, y + h * 0.3f, w * 0.09f, h * 0.07f, 1.2f, Flat(kInk));
    // Head: helmet, face plate, eyes and the crest.
    const float hx = cx + w * 0.01f, hy = y + h * 0.2f;
    kit.Polygon({{hx - w * 0.02f, hy}, {hx - w * 0.12f, hy - h * 0.12f}, {hx - w * 0.06f, hy - h * 0.01f}}, Flat(p.trim));
    kit.Polygon({{hx + w * 0.02f, hy}, {hx + w * 0.1f, hy - h * 0.13f}, {hx + w * 0.05f, hy - h * 0.01f}}, Flat(p.trim));
    kit.Ball(hx, hy + h * 0.02f, w * 0.06f, h * 0.065f, p.armour);
    kit.EllipseOutline(hx, hy + h * 0.02f, w * 0.06f, h * 0.065f, 1.2f, Flat(kInk));
    kit.RoundBox(hx - w * 0.055f, hy + h * 0.01f, w * 0.07f, h * 0.02f, 1.5f, Flat(p.eye));
    kit.RoundBox(hx - w * 0.045f, hy + h * 0.045f, w * 0.05f, h * 0.03f, 1.0f, Flat(p.shade));
    // The rifle: held low, or raised at the target with a muzzle glow.
    const float ry = bFiring ? y + h * 0.36f : y + h * 0.52f;
    const float rx = bFiring ? x + w * 0.04f : x + w * 0.16f;
    kit.RoundBox(rx, ry, cx - rx - w * 0.02f, h * 0.05f, 2.0f, VerticalGradient(ry, p.shade, ry + h * 0.05f, Scale(p.shade, 0.5f)));
    kit.RoundBoxOutline(rx, ry, cx - rx - w * 0.02f, h * 0.05f, 2.0f, 1.2f, Flat(kInk));
    kit.RoundBox(rx + w * 0.12f, ry + h * 0.04f, w * 0.05f, h * 0.07f, 1.5f, Flat(Scale(p.shade, 0.7f)));
    if (bFiring)
        kit.Ellipse(rx + 2.0f, ry + h * 0.025f, w * 0.05f, h * 0.05f, RadialGradient(rx + 2.0f, ry + h * 0.025f, w * 0.05f, Rgb(0xFFFFF0), p.glow));
    // Arm holding it.
    kit.Stroke(cx + w * 0.1f, y + h * 0.34f, cx - w * 0.06f, ry + h * 0.02f, w * 0.06f, CylinderShade(cx - w * 0.06f, w * 0.16f, p.armour));
    // The shield in front: a long rounded plate with a blue field and a yellow cross bar.
    const float sx = x + w * 0.16f, sy = y + h * 0.3f;
    kit.Polygon({{sx, sy + h * 0.06f}, {sx + w * 0.12f, sy}, {sx + w * 0.16f, sy + h * 0.36f}, {sx + w * 0.06f, sy + h * 0.46f}, {sx - w * 0.02f, sy + h * 0.32f}},
                VerticalGradient(sy, Mix(p.purple, RGBF{255, 255, 255}, 0.3f), sy + h * 0.46f, Scale(p.purple, 0.6f)));
    kit.PolygonOutline({{sx, sy + h * 0.06f}, {sx + w * 0.12f, sy}, {sx + w * 0.16f, sy + h * 0.36f}, {sx + w * 0.06f, sy + h * 0.46f}, {sx - w * 0.02f, sy + h * 0.32f}},
                       2.0f, Flat(p.armour));
    kit.Stroke(sx + w * 0.02f, sy + h * 0.2f, sx + w * 0.14f, sy + h * 0.17f, 3.0f, Flat(p.trim));
    kit.Unclip();
}

void DrawBodyA(CArtKit& kit, int x, int y, int w, int h)
{
    Body(kit, x, y, w, h, Bright(), false);
}

void DrawBodyB(CArtKit& kit, int x, int y, int w, int h)
{
    Body(kit, x, y, w, h, Bright(), true);
}

void DrawCarbon(CArtKit& kit, int x, int y, int w, int h)
{
    Body(kit, x, y, w, h, Carbon(), false);
}

// A homing missile, nose left, its flame longer in the second frame.
void Homing(CArtKit& kit, int x0, int y0, int w0, int h0, float fFlame)
{
    kit.Clip(x0, y0, w0, h0);
    const float x = (float)x0, y = (float)y0, w = (float)w0, h = (float)h0, cy = y + h * 0.5f;
    kit.Ellipse(x + w * 0.86f, cy, w * 0.14f * fFlame, h * 0.3f, RadialGradient(x + w * 0.8f, cy, w * 0.16f, Rgb(0xFFF8C0), Rgb(0xF05018)));
    kit.RoundBox(x + w * 0.16f, cy - h * 0.24f, w * 0.58f, h * 0.48f, h * 0.2f, VerticalGradient(cy - h * 0.24f, Rgb(0xF0F0F8), cy + h * 0.24f, Rgb(0x8088A0)));
    kit.Polygon({{x + 1.0f, cy}, {x + w * 0.2f, cy - h * 0.24f}, {x + w * 0.2f, cy + h * 0.24f}}, Flat(Rgb(0xE03838)));
    kit.Polygon({{x + w * 0.6f, cy - h * 0.2f}, {x + w * 0.76f, y + 1.0f}, {x + w * 0.76f, cy - h * 0.1f}}, Flat(Rgb(0x3050C8)));
    kit.Polygon({{x + w * 0.6f, cy + h * 0.2f}, {x + w * 0.76f, y + h - 1.0f}, {x + w * 0.76f, cy + h * 0.1f}}, Flat(Rgb(0x3050C8)));
    kit.Unclip();
}

void DrawHoming1(CArtKit& kit, int x, int y, int w, int h)
{
    Homing(kit, x, y, w, h, 0.7f);
}

void DrawHoming2(CArtKit& kit, int x, int y, int w, int h)
{
    Homing(kit, x, y, w, h, 1.0f);
}

// A formation pod: a long fin, its gun to the left (where its beam goes), its vent glowing at one
// of three strengths.
void Funnel(CArtKit& kit, int x0, int y0, int w0, int h0, float fGlow)
{
    kit.Clip(x0, y0, w0, h0);
    const float x = (float)x0, y = (float)y0, w = (float)w0, h = (float)h0, cy = y + h * 0.5f;
    const NMPALETTE p = Bright();
    const RGBF vent = Mix(Rgb(0xF06020), Rgb(0xFFF8C0), fGlow);
    kit.Ellipse(x + w * 0.9f, cy, w * 0.1f, h * 0.22f * (0.6f + fGlow * 0.4f), Flat(vent));
    Plate(kit, {{x + w * 0.12f, cy - h * 0.14f}, {x + w * 0.5f, y + 2.0f}, {x + w * 0.9f, cy - h * 0.2f}, {x + w * 0.9f, cy + h * 0.2f},
                {x + w * 0.5f, y + h - 2.0f}, {x + w * 0.12f, cy + h * 0.14f}},
          VerticalGradient(y + 2.0f, Lit(p.fin, 0.0f, -1.0f, 0.5f), y + h - 2.0f, Scale(p.fin, 0.7f)));
    kit.Stroke(x + w * 0.3f, cy, x + w * 0.8f, cy, 2.0f, Flat(p.purple));
    kit.RoundBox(x + 1.0f, cy - h * 0.1f, w * 0.16f, h * 0.2f, 1.5f, Flat(p.shade));
    kit.Ellipse(x + w * 0.5f, cy, w * 0.07f, h * 0.12f, Flat(Mix(p.eye, RGBF{255, 255, 255}, fGlow * 0.5f)));
    kit.Unclip();
}

void DrawFunnel1(CArtKit& kit, int x, int y, int w, int h)
{
    Funnel(kit, x, y, w, h, 0.0f);
}

void DrawFunnel2(CArtKit& kit, int x, int y, int w, int h)
{
    Funnel(kit, x, y, w, h, 0.5f);
}

void DrawFunnel3(CArtKit& kit, int x, int y, int w, int h)
{
    Funnel(kit, x, y, w, h, 1.0f);
}

// The triangular pod: a three-cornered plate with a core that pulses between the two frames.
void Triangle(CArtKit& kit, int x0, int y0, int w0, int h0, float fPulse)
{
    kit.Clip(x0, y0, w0, h0);
    const float x = (float)x0, y = (float)y0, w = (float)w0, h = (float)h0;
    const float cx = x + w * 0.5f, cy = y + h * 0.56f;
    const NMPALETTE p = Bright();
    const std::vector<PTF> outer = {{cx, y + 2.0f}, {x + w - 2.0f, y + h - 4.0f}, {x + 2.0f, y + h - 4.0f}};
    kit.Polygon(outer, VerticalGradient(y, Mix(p.purple, RGBF{255, 255, 255}, 0.35f), y + h, Scale(p.purple, 0.55f)));
    kit.PolygonOutline(outer, 2.0f, Flat(kInk));
    const std::vector<PTF> inner = {{cx, y + h * 0.24f}, {x + w * 0.78f, y + h * 0.8f}, {x + w * 0.22f, y + h * 0.8f}};
    kit.Polygon(inner, Flat(p.fin));
    kit.PolygonOutline(inner, 1.5f, Flat(p.trim));
    const float r = w * (0.1f + 0.04f * fPulse);
    kit.Ellipse(cx, cy + h * 0.06f, r, r, RadialGradient(cx, cy + h * 0.06f, r, Rgb(0xFFFFFF), Mix(p.eye, p.glow, fPulse)));
    kit.Unclip();
}

void DrawTriangle1(CArtKit& kit, int x, int y, int w, int h)
{
    Triangle(kit, x, y, w, h, 0.0f);
}

void DrawTriangle2(CArtKit& kit, int x, int y, int w, int h)
{
    Triangle(kit, x, y, w, h, 1.0f);
}

// The familiars' missile: a slim dart, nose left, with a short flame.
void DrawCanon(CArtKit& kit, int x0, int y0, int w0, int h0)
{
    kit.Clip(x0, y0, w0, h0);
    const float x = (float)x0, y = (float)y0, w = (float)w0, h = (float)h0, cy = y + h * 0.5f;
    kit.Ellipse(x + w * 0.88f, cy, w * 0.12f, h * 0.28f, RadialGradient(x + w * 0.84f, cy, w * 0.14f, Rgb(0xFFF0A0), Rgb(0xF04018)));
    kit.RoundBox(x + w * 0.18f, cy - h * 0.22f, w * 0.6f, h * 0.44f, h * 0.2f, VerticalGradient(cy - h * 0.22f, Rgb(0xA8B0C8), cy + h * 0.22f, Rgb(0x485068)));
    kit.Polygon({{x + 1.0f, cy}, {x + w * 0.22f, cy - h * 0.22f}, {x + w * 0.22f, cy + h * 0.22f}}, Flat(Rgb(0xF0C830)));
    kit.Unclip();
}

typedef void (*PFNDRAWNM)(CCanvas& canvas, int x, int y, int w, int h);

template <void (*FDRAW)(CArtKit&, int, int, int, int)> void WithKit(CCanvas& canvas, int x, int y, int w, int h)
{
    CArtKit kit(canvas);
    FDRAW(kit, x, y, w, h);
}

struct NMREGION {
    const char* pszName;
    int nWidth;
    int nHeight;
    PFNDRAWNM pfnDraw;
};

const NMREGION kRegions[] = {
    {"NM_RX93a.bmp", 224, 208, WithKit<DrawBodyA>},
    {"NM_RX93b.bmp", 224, 208, WithKit<DrawBodyB>},
    {"NM_RX93carbon.bmp", 224, 208, WithKit<DrawCarbon>},
    {"NM_Familiar.bmp", 64, 48, DrawFamiliar},
    {"NM_Force.bmp", 32, 32, DrawForceShot},
    {"Tsuibi1.bmp", 32, 14, WithKit<DrawHoming1>},
    {"Tsuibi2.bmp", 32, 14, WithKit<DrawHoming2>},
    {"NM_Funnel1.bmp", 48, 24, WithKit<DrawFunnel1>},
    {"NM_Funnel2.bmp", 48, 24, WithKit<DrawFunnel2>},
    {"NM_Funnel3.bmp", 48, 24, WithKit<DrawFunnel3>},
    {"NM_Triangle1.bmp", 64, 60, WithKit<DrawTriangle1>},
    {"NM_Triangle2.bmp", 64, 60, WithKit<DrawTriangle2>},
    {"NM_Canon.bmp", 24, 10, WithKit<DrawCanon>},
};

const int kSheetWidth = 680;
const int kGap = 2;

} // namespace

void WriteBossNMPictures(CDataSet& data, const std::string& folder)
{
    // Rows across the sheet, left to right.
    struct PLACE {
        int x, y;
    };
    std::vector<PLACE> places;
    int x = 0, y = 0, nRowH = 0;
    for (const NMREGION& r : kRegions) {
        if (x > 0 && x + r.nWidth > kSheetWidth) {
            x = 0;
            y += nRowH + kGap;
            nRowH = 0;
        }
        places.push_back(PLACE{x, y});
        x += r.nWidth + kGap;
        nRowH = std::max(nRowH, r.nHeight);
    }
    CCanvas sheet(kSheetWidth, y + nRowH);
    std::vector<std::string> lines;
    lines.push_back("// BossRX93Index.txt: the last boss, its pods, missiles and familiars on BossRX93.bmp");
    lines.push_back("#INDEX_FOR BossRX93.bmp");
    for (size_t i = 0; i < places.size(); i++) {
        const PLACE& at = places[i];
        const NMREGION& r = kRegions[i];
        r.pfnDraw(sheet, at.x, at.y, r.nWidth, r.nHeight);
        Label(sheet, at.x, at.y, r.nWidth, r.nHeight, r.pszName);
        char szLine[128];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %d:%d:%d:%d", r.pszName, at.x, at.y, at.x + r.nWidth - 1,
                 at.y + r.nHeight - 1);
        lines.push_back(szLine);
    }
    data.WriteText(folder + "BossRX93Index.txt", JoinCrLf(lines));
    data.Write(folder + "BossRX93.bmp", sheet.ToBmp24());
}
