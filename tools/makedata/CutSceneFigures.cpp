// The figures of the cut-scenes: the heroine's portrait, her bike, her riding and standing, and
// the children of her town. Drawn in their own coordinates (see FIGURE), outlined in dark ink and
// lit from the upper left like every picture of the game.
#include <algorithm>
#include <cmath>

#include "CutSceneArt.h"

namespace {

const float kPi = 3.14159265f;

RGBF C(uint32_t dwColor)
{
    return Rgb(dwColor);
}

// Lit on the left, shaded towards the right of [x0, x0 + w].
PAINT SideShade(float x0, float w, const RGBF& lit, const RGBF& shade)
{
    return [=](float x, float) { return Mix(lit, shade, std::clamp((x - x0) / w, 0.0f, 1.0f)); };
}

void Wheel(CArtKit& kit, const FIGURE& f, float cx, float cy, float r)
{
    const PTF c = f.P(cx, cy);
    const float R = f.L(r);
    kit.Ellipse(c.x, c.y, R, R, Flat(C(kArtTyre)));
    kit.EllipseOutline(c.x, c.y, R * 0.96f, R * 0.96f, f.L(2.0f), Flat(C(0x3A3A44)));
    kit.Ellipse(c.x, c.y, R * 0.7f, R * 0.7f, RadialGradient(c.x - R * 0.2f, c.y - R * 0.2f, R * 0.8f, C(0xE8E8F0), C(0x787888)));
    kit.Ellipse(c.x, c.y, R * 0.58f, R * 0.58f, Flat(C(0x2A2A30)));
    for (int k = 0; k < 5; k++) {
        const float a = (float)k * 2.0f * kPi / 5.0f + 0.3f;
        kit.Stroke(c.x, c.y, c.x + std::cos(a) * R * 0.6f, c.y + std::sin(a) * R * 0.6f, f.L(2.6f), Flat(C(kArtChrome)));
    }
    kit.Ellipse(c.x, c.y, R * 0.16f, R * 0.16f, SphereShade(c.x, c.y, R * 0.16f, R * 0.16f, C(kArtChrome)));
    kit.EllipseOutline(c.x, c.y, R, R, f.L(1.4f), Flat(C(0x08080A)));
}

// The scarf's free end as a ribbon waving behind a point, over the length and the wave.
void ScarfTail(CArtKit& kit, const FIGURE& f, float x0, float y0, float fLength, float fWidth, float fPhase)
{
    std::vector<PTF> top, bottom;
    const int n = 12;
    for (int i = 0; i <= n; i++) {
        const float t = (float)i / n;
        const float x = x0 - fLength * t;
        const float wave = std::sin(t * 2.6f * kPi + fPhase) * fLength * 0.07f * t;
        const float w = fWidth * (1.0f - 0.55f * t);
        top.push_back(f.P(x, y0 + wave - w / 2.0f - t * 6.0f));
        bottom.push_back(f.P(x, y0 + wave + w / 2.0f - t * 6.0f));
    }
    std::vector<PTF> ribbon = top;
    ribbon.insert(ribbon.end(), bottom.rbegin(), bottom.rend());
    const PTF a = f.P(x0, y0 - fWidth), b = f.P(x0, y0 + fWidth);
    kit.Polygon(ribbon, VerticalGradient(std::min(a.y, b.y), C(0xFFF070), std::max(a.y, b.y), C(kArtScarfShade)));
    kit.PolygonOutline(ribbon, f.L(1.4f), Flat(C(0x6A5010)));
}

} // namespace

void ArtGlow(CArtKit& kit, float cx, float cy, float r, const RGBF& c, float fStrength)
{
    for (int y = (int)(cy - r); y <= (int)(cy + r); y++) {
        for (int x = (int)(cx - r); x <= (int)(cx + r); x++) {
            const float dx = (float)x + 0.5f - cx, dy = (float)y + 0.5f - cy;
            const float d = std::sqrt(dx * dx + dy * dy) / r;
            if (d < 1.0f) {
                kit.Plot(x, y, c, fStrength * (1.0f - d) * (1.0f - d));
            }
        }
    }
}

void ArtShape(CArtKit& kit, const FIGURE& f, std::initializer_list<PTF> pts, const PAINT& paint, float fOutline)
{
    const std::vector<PTF> poly = f.Poly(pts);
    kit.Polygon(poly, paint);
    if (fOutline > 0.0f) {
        kit.PolygonOutline(poly, f.L(fOutline), Flat(C(kArtInk)));
    }
}

// ---- The bike -------------------------------------------------------------------------------------

void DrawBike(CArtKit& kit, const FIGURE& f)
{
    const PTF top = f.P(0, -80), bottom = f.P(0, 0);
    const PAINT body = VerticalGradient(top.y, C(0xF06070), bottom.y, C(kArtBodyDark));
    // Exhaust and swing arm behind the engine.
    kit.PolyLine(f.Poly({{-6, -14}, {-50, -12}, {-84, -20}}), f.L(7.0f), Flat(C(0x8A8A98)));
    kit.Ellipse(f.P(-88, -21).x, f.P(-88, -21).y, f.L(10), f.L(6), SphereShade(f.P(-88, -21).x, f.P(-88, -21).y, f.L(10), f.L(6), C(kArtChrome)));
    kit.Stroke(f.P(-62, 0).x, f.P(-62, 0).y, f.P(-14, -20).x, f.P(-14, -20).y, f.L(7.0f), Flat(C(0x50505C)));
    Wheel(kit, f, -62, 0, 27);
    Wheel(kit, f, 64, 0, 27);
    // Front fork and mudguard.
    kit.Stroke(f.P(64, 0).x, f.P(64, 0).y, f.P(44, -60).x, f.P(44, -60).y, f.L(7.0f), Flat(C(kArtChrome)));
    ArtShape(kit, f, {{40, -30}, {56, -36}, {80, -34}, {92, -22}, {84, -24}, {62, -29}, {44, -24}}, body, 1.2f);
    // Engine.
    const PTF e0 = f.P(-30, -40), e1 = f.P(22, -8);
    kit.RoundBox(std::min(e0.x, e1.x), e0.y, std::fabs(e1.x - e0.x), e1.y - e0.y, f.L(5), Flat(C(0x44444E)));
    for (int k = 0; k < 4; k++) {
        const PTF a = f.P(-24 + 12 * (float)k, -36), b = f.P(-24 + 12 * (float)k, -12);
        kit.Stroke(a.x, a.y, b.x, b.y, f.L(2.0f), Flat(C(0x8A8A96)));
    }
    kit.RoundBoxOutline(std::min(e0.x, e1.x), e0.y, std::fabs(e1.x - e0.x), e1.y - e0.y, f.L(5), f.L(1.4f), Flat(C(kArtInk)));
    // Tail, seat, tank and cowl.
    ArtShape(kit, f, {{-66, -44}, {-96, -54}, {-92, -40}, {-64, -32}}, body);
    kit.Ellipse(f.P(-94, -48).x, f.P(-94, -48).y, f.L(3), f.L(4), Flat(C(0xFF5030)));
    ArtShape(kit, f, {{-72, -48}, {-30, -54}, {-18, -44}, {-66, -36}}, VerticalGradient(top.y, C(0x4A3A3A), bottom.y, C(0x181010)));
    ArtShape(kit, f, {{-32, -44}, {-10, -64}, {34, -64}, {52, -48}, {30, -34}, {-28, -34}}, body);
    kit.PolyLine(f.Poly({{-20, -50}, {-4, -60}, {30, -60}}), f.L(3.0f), Flat(C(0xFFD0D8)));
    ArtShape(kit, f, {{36, -74}, {60, -72}, {74, -54}, {54, -44}, {40, -52}}, body);
    // Handlebar and headlight.
    kit.Stroke(f.P(40, -68).x, f.P(40, -68).y, f.P(26, -82).x, f.P(26, -82).y, f.L(4.0f), Flat(C(0x303038)));
    const PTF lamp = f.P(70, -60);
    kit.Ellipse(lamp.x, lamp.y, f.L(6), f.L(8), RadialGradient(lamp.x, lamp.y, f.L(8), C(0xFFFFFF), C(kArtLamp)));
    kit.EllipseOutline(lamp.x, lamp.y, f.L(6), f.L(8), f.L(1.2f), Flat(C(kArtInk)));
}

// ---- Riding ---------------------------------------------------------------------------------------

void DrawRider(CArtKit& kit, const FIGURE& f)
{
    const PTF top = f.P(0, -150), bottom = f.P(0, -40);
    const PAINT suit = VerticalGradient(top.y, C(kArtSuitLight), bottom.y, C(kArtSuitDark));
    const PAINT hair = VerticalGradient(top.y, C(kArtHairLight), bottom.y, C(kArtHair));
    // Scarf and ponytail stream out behind her.
    ScarfTail(kit, f, -18, -108, 96, 14, 0.0f);
    ArtShape(kit, f, {{-20, -126}, {-50, -122}, {-80, -112}, {-68, -122}, {-86, -130}, {-50, -134}, {-18, -138}}, hair);
    // Far arm and leg, darker.
    ArtShape(kit, f, {{-12, -104}, {18, -86}, {30, -78}, {24, -72}, {12, -80}, {-16, -94}}, Flat(C(kArtSuitDark)));
    ArtShape(kit, f, {{-44, -58}, {-4, -64}, {4, -56}, {-8, -26}, {-18, -28}, {-12, -50}, {-42, -46}}, Flat(C(kArtSuitDark)));
    // Seated, leaning forward: hips on the seat, shoulders over the tank.
    ArtShape(kit, f, {{-50, -54}, {-46, -80}, {-30, -104}, {-6, -112}, {4, -100}, {-8, -80}, {-22, -56}}, suit);
    // Near thigh along the tank, knee, shin back to the peg, boot.
    ArtShape(kit, f, {{-48, -60}, {-2, -66}, {8, -58}, {-6, -26}, {-18, -28}, {-10, -52}, {-44, -48}}, suit);
    ArtShape(kit, f, {{-22, -32}, {-4, -32}, {8, -22}, {6, -16}, {-22, -18}}, Flat(C(kArtBoot)));
    // Near arm to the handlebar, glove.
    ArtShape(kit, f, {{-18, -108}, {-4, -110}, {26, -86}, {24, -76}, {14, -80}}, suit);
    kit.Ellipse(f.P(26, -80).x, f.P(26, -80).y, f.L(6), f.L(5), Flat(C(kArtBoot)));
    // Scarf round the neck.
    ArtShape(kit, f, {{-22, -112}, {-4, -120}, {4, -110}, {-16, -102}}, Flat(C(kArtScarf)), 1.2f);
    // Head in profile, goggles down over her eyes, hair on top.
    const PTF h = f.P(0, -128);
    kit.Ellipse(h.x, h.y, f.L(13), f.L(14), SideShade(h.x - f.L(13) * f.dir, f.L(26) * f.dir, C(kArtSkin), C(kArtSkinShade)));
    ArtShape(kit, f, {{6, -122}, {14, -120}, {10, -114}, {2, -114}}, Flat(C(kArtSkin)), 1.0f);
    ArtShape(kit, f, {{-16, -134}, {-8, -144}, {6, -146}, {16, -138}, {12, -132}, {2, -136}, {-6, -128}, {-14, -120}}, hair);
    kit.Stroke(f.P(-14, -130).x, f.P(-14, -130).y, f.P(12, -130).x, f.P(12, -130).y, f.L(4.0f), Flat(C(0x302830)));
    const PTF lens = f.P(10, -130);
    kit.Ellipse(lens.x, lens.y, f.L(5), f.L(4), RadialGradient(lens.x - f.L(1), lens.y - f.L(1), f.L(5), C(0xFFE0A0), C(kArtLens)));
    kit.EllipseOutline(lens.x, lens.y, f.L(5), f.L(4), f.L(1.2f), Flat(C(kArtInk)));
}

// ---- Standing -------------------------------------------------------------------------------------

void DrawStanding(CArtKit& kit, const FIGURE& f, bool bWave)
{
    const PTF top = f.P(0, -220), bottom = f.P(0, 0);
    const PAINT suit = VerticalGradient(top.y, C(kArtSuitLight), bottom.y, C(kArtSuitDark));
    const PAINT hair = VerticalGradient(top.y, C(kArtHairLight), f.P(0, -130).y, C(kArtHair));
    // Hair behind, scarf end.
    ArtShape(kit, f, {{-28, -190}, {-30, -214}, {0, -226}, {30, -214}, {34, -180}, {40, -140}, {22, -150}, {-24, -150}, {-36, -150}},
             hair);
    ScarfTail(kit, f, 14, -142, -50, 12, 1.0f);
    // Legs and boots.
    ArtShape(kit, f, {{-18, -80}, {-2, -80}, {-4, -22}, {-16, -22}}, suit);
    ArtShape(kit, f, {{2, -80}, {18, -80}, {16, -22}, {4, -22}}, suit);
    ArtShape(kit, f, {{-18, -26}, {-2, -26}, {-2, 0}, {-22, 0}}, Flat(C(kArtBoot)));
    ArtShape(kit, f, {{2, -26}, {18, -26}, {22, 0}, {2, 0}}, Flat(C(kArtBoot)));
    // Arms: the left one down, the right one waving or holding a cloth out.
    ArtShape(kit, f, {{-22, -138}, {-32, -100}, {-30, -82}, {-22, -84}, {-20, -104}, {-12, -130}}, suit);
    kit.Ellipse(f.P(-27, -80).x, f.P(-27, -80).y, f.L(5), f.L(6), Flat(C(kArtBoot)));
    if (bWave) {
        ArtShape(kit, f, {{16, -136}, {36, -160}, {40, -192}, {30, -196}, {28, -166}, {12, -148}}, suit);
        kit.Ellipse(f.P(36, -198).x, f.P(36, -198).y, f.L(6), f.L(7), Flat(C(kArtBoot)));
    } else {
        ArtShape(kit, f, {{14, -134}, {26, -104}, {44, -96}, {42, -88}, {20, -96}, {8, -128}}, suit);
        ArtShape(kit, f, {{38, -100}, {56, -98}, {60, -84}, {42, -82}}, Flat(C(0xF4F4F0)), 1.2f);
    }
    // Body and scarf.
    ArtShape(kit, f, {{-22, -142}, {22, -142}, {20, -110}, {22, -78}, {-22, -78}, {-20, -110}}, suit);
    kit.Stroke(f.P(0, -136).x, f.P(0, -136).y, f.P(0, -80).x, f.P(0, -80).y, f.L(1.6f), Flat(C(0xC8D0E8)));
    ArtShape(kit, f, {{-16, -148}, {16, -148}, {20, -136}, {0, -130}, {-20, -136}}, Flat(C(kArtScarf)), 1.2f);
    // Head: face, eyes, smile, fringe and goggles on the forehead.
    const PTF h = f.P(0, -170);
    kit.Ellipse(h.x, h.y, f.L(20), f.L(23), SideShade(h.x - f.L(20), f.L(40), C(kArtSkin), C(kArtSkinShade)));
    kit.EllipseOutline(h.x, h.y, f.L(20), f.L(23), f.L(1.4f), Flat(C(kArtInk)));
    for (float ex : {-8.0f, 8.0f}) {
        const PTF e = f.P(ex, -168);
        kit.Ellipse(e.x, e.y, f.L(3.2f), f.L(4.4f), Flat(C(0x3A2010)));
        kit.Ellipse(e.x - f.L(1), e.y - f.L(1.5f), f.L(1.2f), f.L(1.2f), Flat(C(0xFFFFFF)));
    }
    kit.PolyLine(f.Poly({{-6, -156}, {0, -153}, {6, -156}}), f.L(1.6f), Flat(C(0x802030)));
    ArtShape(kit, f, {{-22, -172}, {-20, -190}, {-6, -196}, {12, -194}, {22, -184}, {22, -170}, {14, -180}, {8, -174}, {2, -182}, {-6, -174},
                      {-12, -182}, {-18, -168}},
             hair);
    kit.Stroke(f.P(-20, -186).x, f.P(-20, -186).y, f.P(20, -186).x, f.P(20, -186).y, f.L(4.0f), Flat(C(0x302830)));
    for (float lx : {-8.0f, 8.0f}) {
        const PTF l = f.P(lx, -188);
        kit.Ellipse(l.x, l.y, f.L(6), f.L(5), RadialGradient(l.x - f.L(2), l.y - f.L(2), f.L(6), C(0xFFE8B0), C(kArtLens)));
        kit.EllipseOutline(l.x, l.y, f.L(6), f.L(5), f.L(1.2f), Flat(C(kArtInk)));
    }
}

// ---- The children ---------------------------------------------------------------------------------

void DrawKid(CArtKit& kit, const FIGURE& f, bool bGirl)
{
    const uint32_t dwShirt = bGirl ? 0xF0B020 : 0x40A050, dwHair = bGirl ? 0x2A1A12 : 0x7A4020;
    const PTF top = f.P(0, -110), bottom = f.P(0, 0);
    const PAINT shirt = VerticalGradient(top.y, Mix(C(dwShirt), C(0xFFFFFF), 0.3f), bottom.y, Scale(C(dwShirt), 0.6f));
    // Running: legs apart, arms swinging.
    ArtShape(kit, f, {{-4, -40}, {6, -40}, {-10, -4}, {-20, -6}}, Flat(C(0x3A4A70)));
    ArtShape(kit, f, {{0, -40}, {10, -40}, {22, -10}, {14, -6}}, Flat(C(0x4A5A88)));
    kit.Ellipse(f.P(-18, -4).x, f.P(-18, -4).y, f.L(7), f.L(4), Flat(C(0x802020)));
    kit.Ellipse(f.P(20, -6).x, f.P(20, -6).y, f.L(7), f.L(4), Flat(C(0x802020)));
    ArtShape(kit, f, {{-6, -70}, {-22, -52}, {-18, -48}, {-2, -62}}, Flat(C(kArtSkin)), 1.2f);
    if (bGirl) {
        ArtShape(kit, f, {{-12, -72}, {12, -72}, {22, -30}, {-22, -30}}, shirt);
    } else {
        ArtShape(kit, f, {{-12, -72}, {12, -72}, {12, -38}, {-12, -38}}, shirt);
    }
    ArtShape(kit, f, {{6, -70}, {24, -82}, {28, -78}, {10, -62}}, Flat(C(kArtSkin)), 1.2f);
    // Big head, happy face.
    const PTF h = f.P(2, -88);
    if (bGirl) {
        for (float side : {-1.0f, 1.0f}) {
            const PTF t = f.P(2 + side * 20, -86);
            kit.Ellipse(t.x, t.y, f.L(6), f.L(10), Flat(C(dwHair)));
        }
    }
    kit.Ellipse(h.x, h.y, f.L(18), f.L(17), SideShade(h.x - f.L(18), f.L(36), C(kArtSkin), C(kArtSkinShade)));
    kit.EllipseOutline(h.x, h.y, f.L(18), f.L(17), f.L(1.2f), Flat(C(kArtInk)));
    ArtShape(kit, f, {{-16, -92}, {-14, -104}, {2, -108}, {18, -102}, {20, -90}, {10, -98}, {0, -94}, {-8, -98}}, Flat(C(dwHair)), 1.2f);
    if (!bGirl) {
        ArtShape(kit, f, {{-16, -98}, {-10, -110}, {12, -112}, {20, -100}, {32, -98}, {18, -94}}, Flat(C(0xD03030)), 1.2f);
    }
    for (float ex : {-5.0f, 9.0f}) {
        kit.PolyLine(f.Poly({{ex - 3, -86}, {ex, -89}, {ex + 3, -86}}), f.L(1.6f), Flat(C(0x2A1A10)));
    }
    kit.Ellipse(f.P(4, -78).x, f.P(4, -78).y, f.L(4), f.L(3), Flat(C(0xA02838)));
}

// ---- The portrait ---------------------------------------------------------------------------------

namespace {

void PortraitEye(CArtKit& kit, const FIGURE& f, float ex, float ey, float w, float h, bool bSmile, float fBrow)
{
    if (bSmile) {
        // Closed in a smile: an arch and a lash.
        kit.PolyLine(f.Poly({{ex - w / 2, ey + 2}, {ex - w / 4, ey - h / 4}, {ex + w / 4, ey - h / 4}, {ex + w / 2, ey + 2}}),
                     f.L(3.6f), Flat(C(0x2A1410)));
        kit.PolyLine(f.Poly({{ex - w / 2 - 6, ey - h / 2 - 10}, {ex, ey - h / 2 - 14}, {ex + w / 2 + 4, ey - h / 2 - 9}}), f.L(2.6f),
                     Flat(C(kArtHair)));
        return;
    }
    const PTF c = f.P(ex, ey);
    kit.Ellipse(c.x, c.y, f.L(w / 2), f.L(h / 2), Flat(C(0xFAFAFF)));
    // The iris looks left, towards the scene.
    const PTF i = f.P(ex - w * 0.12f, ey + h * 0.06f);
    kit.Ellipse(i.x, i.y, f.L(w * 0.34f), f.L(h * 0.42f), VerticalGradient(i.y - f.L(h * 0.4f), C(0x3A1808), i.y + f.L(h * 0.4f), C(0xD08840)));
    kit.Ellipse(i.x, i.y + f.L(h * 0.04f), f.L(w * 0.16f), f.L(h * 0.2f), Flat(C(0x1A0C06)));
    kit.Ellipse(i.x - f.L(w * 0.12f), i.y - f.L(h * 0.16f), f.L(w * 0.11f), f.L(w * 0.11f), Flat(C(0xFFFFFF)));
    kit.Ellipse(i.x + f.L(w * 0.1f), i.y + f.L(h * 0.2f), f.L(w * 0.05f), f.L(w * 0.05f), Flat(C(0xFFFFFF)));
    // A firm look: the upper lid comes down over the eye's top.
    ArtShape(kit, f, {{ex - w / 2 - 4, ey - h / 2 - 6}, {ex + w / 2 + 4, ey - h / 2 - 6 - fBrow * 0.3f}, {ex + w / 2 + 4, ey - h * 0.18f},
                      {ex - w / 2 - 4, ey - h * 0.22f + fBrow * 0.4f}},
             Flat(C(kArtSkin)), 0.0f);
    kit.PolyLine(f.Poly({{ex - w / 2 - 3, ey - h * 0.14f + fBrow * 0.4f}, {ex, ey - h * 0.26f}, {ex + w / 2 + 3, ey - h * 0.18f},
                         {ex + w / 2 + 8, ey - h * 0.26f}}),
                 f.L(4.0f), Flat(C(0x2A1410)));
    kit.PolyLine(f.Poly({{ex - w / 2 + 2, ey + h / 2 - 2}, {ex + w / 2 - 2, ey + h / 2 - 1}}), f.L(1.4f), Flat(C(0x8A5040)));
    // Brow.
    kit.PolyLine(f.Poly({{ex - w / 2 - 4, ey - h / 2 - 12 + fBrow}, {ex + w / 2 + 2, ey - h / 2 - 14 - fBrow}}), f.L(3.2f), Flat(C(kArtHair)));
}

} // namespace

void DrawPortrait(CArtKit& kit, float x, float y, bool bSmile)
{
    const FIGURE f = {x, y, 1.0f, 1.0f};
    const PAINT hair = [=](float px, float py) {
        const float t = std::clamp((py - y - 30.0f) / 260.0f, 0.0f, 1.0f);
        const float lit = std::clamp((px - x - 60.0f) / 200.0f, 0.0f, 1.0f);
        return Mix(Mix(C(kArtHairLight), C(kArtHair), t), Scale(C(kArtHair), 0.7f), lit * 0.6f);
    };
    const PAINT skin = [=](float px, float py) {
        const float t = std::clamp((px - x - 90.0f) / 130.0f, 0.0f, 1.0f);
        const float u = std::clamp((py - y - 200.0f) / 60.0f, 0.0f, 1.0f);
        return Mix(C(kArtSkin), C(kArtSkinShade), std::max(t * 0.75f, u * 0.35f));
    };
    // Hair behind the head, and the ponytail flowing right.
    ArtShape(kit, f, {{66, 110}, {72, 64}, {104, 38}, {150, 26}, {200, 34}, {236, 58}, {254, 100}, {262, 160}, {276, 230}, {292, 300},
                      {262, 292}, {244, 250}, {226, 214}, {150, 190}, {84, 206}, {70, 160}},
             hair, 2.0f);
    ArtShape(kit, f, {{226, 60}, {262, 58}, {292, 84}, {298, 126}, {288, 168}, {296, 214}, {272, 196}, {262, 150}, {254, 104}}, hair, 2.0f);
    kit.Ellipse(x + 238, y + 66, 9, 12, SphereShade(x + 238, y + 66, 9, 12, C(kArtScarf)));
    // Shoulders in the riding suit, shoulder plates, collar and zip.
    const PAINT suit = [=](float px, float py) {
        const float t = std::clamp((px - x - 20.0f) / 270.0f, 0.0f, 1.0f);
        return Mix(C(kArtSuitLight), C(kArtSuitDark), 0.2f + t * 0.7f + std::clamp((py - y - 420.0f) / 40.0f, 0.0f, 0.2f));
    };
    ArtShape(kit, f, {{18, 440}, {26, 366}, {56, 322}, {108, 302}, {192, 298}, {242, 314}, {276, 352}, {292, 440}}, suit, 2.0f);
    kit.PolyLine(f.Poly({{60, 440}, {70, 380}, {96, 340}}), 3.0f, Flat(C(0xC8D4F4)));
    kit.PolyLine(f.Poly({{250, 440}, {240, 384}, {214, 344}}), 3.0f, Flat(C(0x8898C8)));
    for (float sx : {54.0f, 250.0f}) {
        const PTF p = f.P(sx, 340);
        kit.Ellipse(p.x, p.y, 34, 22, SphereShade(p.x, p.y, 34, 22, C(0x8C9CC0)));
        kit.EllipseOutline(p.x, p.y, 34, 22, 2.0f, Flat(C(kArtInk)));
    }
    kit.Stroke(x + 150, y + 330, x + 150, y + 440, 4.0f, Flat(C(0xC0C4D0)));
    for (int k = 0; k < 10; k++) {
        kit.Stroke(x + 147, y + 336 + (float)k * 10, x + 153, y + 336 + (float)k * 10, 1.6f, Flat(C(0x707484)));
    }
    // Neck, then the scarf round it with its end blowing to the right.
    ArtShape(kit, f, {{128, 236}, {174, 230}, {178, 296}, {130, 300}}, Flat(C(kArtSkinShade)), 2.0f);
    ScarfTail(kit, FIGURE{x, y, 1.0f, -1.0f}, -190, 292, 120, 34, 0.8f);
    ArtShape(kit, f, {{98, 286}, {150, 268}, {208, 278}, {218, 302}, {172, 316}, {120, 318}, {94, 304}},
             VerticalGradient(y + 268, C(0xFFF27A), y + 318, C(kArtScarfShade)), 2.0f);
    kit.PolyLine(f.Poly({{116, 300}, {150, 290}, {196, 294}}), 2.0f, Flat(C(0xB88A10)));
    // Ear and face.
    kit.Ellipse(x + 214, y + 168, 11, 19, skin);
    kit.EllipseOutline(x + 214, y + 168, 11, 19, 2.0f, Flat(C(kArtInk)));
    ArtShape(kit, f, {{88, 120}, {84, 160}, {92, 200}, {108, 232}, {126, 254}, {146, 254}, {178, 236}, {202, 208}, {212, 174}, {214, 136},
                      {204, 100}, {178, 76}, {148, 68}, {114, 78}, {94, 98}},
             skin, 2.0f);
    // Cheeks.
    for (float cx : {104.0f, 184.0f}) {
        kit.Ellipse(x + cx, y + 210, 16, 8, [=](float px, float py) {
            const float d = std::sqrt((px - x - cx) * (px - x - cx) / 256.0f + (py - y - 210) * (py - y - 210) / 64.0f);
            return Mix(skin(px, py), C(0xF89A9A), std::clamp(1.0f - d, 0.0f, 1.0f) * (bSmile ? 0.7f : 0.35f));
        });
    }
    // Eyes: the far one narrower. A firm brow, or closed eyes in a smile.
    PortraitEye(kit, f, 112, 172, 28, 38, bSmile, 6.0f);
    PortraitEye(kit, f, 174, 170, 36, 40, bSmile, -6.0f);
    // Nose and mouth.
    kit.PolyLine(f.Poly({{140, 196}, {136, 208}, {142, 210}}), 2.0f, Flat(C(0xC07860)));
    if (bSmile) {
        ArtShape(kit, f, {{120, 222}, {158, 220}, {150, 236}, {136, 240}, {124, 232}}, Flat(C(0x8A2030)), 1.8f);
        kit.Ellipse(x + 140, y + 233, 9, 4, Flat(C(0xF07080)));
    } else {
        kit.PolyLine(f.Poly({{124, 228}, {138, 226}, {154, 229}}), 2.6f, Flat(C(0x7A3030)));
        kit.PolyLine(f.Poly({{132, 235}, {146, 235}}), 1.4f, Flat(C(0xD08878)));
    }
    // Fringe, side locks, the shine on the hair.
    ArtShape(kit, f, {{78, 104}, {98, 66}, {140, 50}, {192, 56}, {222, 88}, {226, 134}, {208, 108}, {198, 140}, {182, 106}, {164, 144}, {152, 102},
                      {130, 148}, {122, 104}, {104, 150}, {98, 116}, {86, 156}},
             hair, 2.0f);
    ArtShape(kit, f, {{80, 112}, {98, 120}, {94, 192}, {104, 244}, {84, 226}, {72, 170}}, hair, 2.0f);
    ArtShape(kit, f, {{208, 112}, {228, 126}, {230, 196}, {222, 246}, {210, 206}}, hair, 2.0f);
    kit.PolyLine(f.Poly({{96, 92}, {130, 74}, {172, 72}, {204, 90}}), 5.0f, Flat(C(0xC08050)));
    // Goggles pushed up on her head.
    kit.PolyLine(f.Poly({{74, 90}, {112, 66}, {150, 58}, {194, 64}, {232, 92}}), 10.0f, Flat(C(0x302830)));
    for (const PTF& l : {PTF{118, 64}, PTF{180, 62}}) {
        const PTF p = f.P(l.x, l.y);
        kit.Ellipse(p.x, p.y, 24, 17, SphereShade(p.x, p.y, 24, 17, C(0x9098A8)));
        kit.Ellipse(p.x, p.y, 18, 12, RadialGradient(p.x - 6, p.y - 5, 20, C(0xFFE8B8), C(kArtLens)));
        kit.Ellipse(p.x - 7, p.y - 4, 5, 3, Flat(C(0xFFFFF0)));
        kit.EllipseOutline(p.x, p.y, 24, 17, 2.0f, Flat(C(kArtInk)));
    }
}
