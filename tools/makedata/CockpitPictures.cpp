// The heroine's HUD, drawn with the art kit into its regions of System/CockpitIndex.txt's sheet:
// the plate with its slots, her four faces, the gauges, the sub-weapon icons, the pop-ups, the
// money and level digits and the option icons; and the two pop-ups of SystemIndex.txt that rise
// over her. Places on the plate follow where the cockpit puts each part on the screen.
#include "CockpitPictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// The HUD's palette: a dark navy panel framed in steel, cyan and gold accents.
const uint32_t kPanel = 0x18213A, kPanelDeep = 0x0C1222, kSteel = 0x8C9AB8, kSteelDark = 0x3A4560;
const uint32_t kInk = 0x080A14, kCyan = 0x40D8F8, kGold = 0xFFD040, kGoldDeep = 0xC07810, kRed = 0xE83040;
const uint32_t kWhite = 0xFFFFFF, kOrange = 0xFF8A20, kGreen = 0x50E060;

// The plate's own origin on the screen, and the places the cockpit draws at.
const int kPlateX = 5, kPlateY = 5;
const int kFaceX = 7, kFaceY = 7, kFaceW = 100, kFaceH = 76;
const int kLifeX = 120, kLifeY = 7, kLifeW = 200, kLifeH = 16;
const int kDigitX = 155, kDigitY = 38;
const int kExpX = 184, kExpY = 41, kBarW = 130, kBarH = 10;
const int kChargeY = 64;
const int kIconX = 330, kIconY = 5, kIconW = 60, kIconArtH = 32;

float F(int n)
{
    return (float)n;
}

// Text centred on (cx, cy), with an outline.
void Caption(CArtKit& kit, float cx, float cy, const std::string& text, int nHeight, const PAINT& paint,
             const RGBF& outline, float fOutline)
{
    const float w = (float)CArtKit::TextWidth(text, nHeight);
    kit.Text(cx - w / 2.0f, cy - (float)nHeight / 2.0f, text, nHeight, paint, outline, fOutline);
}

// The largest text height up to nMax whose outlined glyph fits nWidth.
int FitHeight(const std::string& text, int nMax, int nWidth, float fOutline)
{
    int h = nMax;
    while (h > 6 && (float)CArtKit::TextWidth(text, h) + 2.0f * fOutline > (float)nWidth)
        h--;
    return h;
}

// A recessed slot in the panel for a gauge or a picture, in plate coordinates made absolute.
void Slot(CArtKit& kit, float x, float y, float w, float h)
{
    kit.RoundBox(x, y, w, h, 3.0f, Flat(Rgb(kInk)));
    kit.RoundBoxOutline(x, y, w, h, 3.0f, 1.0f, Flat(Rgb(kSteelDark)));
    kit.Stroke(x + 3.0f, y + h - 0.5f, x + w - 3.0f, y + h - 0.5f, 1.0f, Flat(Mix(Rgb(kSteel), Rgb(kWhite), 0.3f)));
}

// ---- The plate ----------------------------------------------------------------------------------

void DrawPlate(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = F(x), fy = F(y), fw = F(w), fh = F(h);
    // Screen point (sx, sy) on the plate.
    auto X = [&](int sx) { return fx + F(sx - kPlateX); };
    auto Y = [&](int sy) { return fy + F(sy - kPlateY); };
    kit.Clip(x, y, w, h);
    // The panel: a steel frame with a slanted lower right corner around the navy face.
    const std::vector<PTF> outer = {{fx, fy}, {fx + fw, fy}, {fx + fw, fy + fh - 20.0f}, {fx + fw - 20.0f, fy + fh},
                                    {fx, fy + fh}};
    kit.Polygon(outer, VerticalGradient(fy, Rgb(kSteel), fy + fh, Rgb(kSteelDark)));
    const std::vector<PTF> inner = {{fx + 3.0f, fy + 3.0f},
                                    {fx + fw - 3.0f, fy + 3.0f},
                                    {fx + fw - 3.0f, fy + fh - 21.0f},
                                    {fx + fw - 21.0f, fy + fh - 3.0f},
                                    {fx + 3.0f, fy + fh - 3.0f}};
    kit.Polygon(inner, VerticalGradient(fy, Rgb(kPanel), fy + fh, Rgb(kPanelDeep)));
    // Fine horizontal lines across the panel, like a screen.
    for (float ly = fy + 6.0f; ly < fy + fh - 4.0f; ly += 4.0f)
        kit.Stroke(fx + 108.0f, ly, fx + fw - 70.0f, ly, 0.6f, Flat(Mix(Rgb(kPanel), Rgb(kSteelDark), 0.35f)));
    kit.PolygonOutline(outer, 1.0f, Flat(Rgb(kInk)));

    // Her face's window, the life slot, the level digit, the two gauges and the icon bay.
    Slot(kit, X(kFaceX) - 1.0f, Y(kFaceY) - 1.0f, F(kFaceW) + 2.0f, F(kFaceH) + 2.0f);
    Slot(kit, X(kLifeX) - 2.0f, Y(kLifeY) - 1.0f, F(kLifeW) + 4.0f, F(kLifeH) + 3.0f);
    Slot(kit, X(kDigitX) - 3.0f, Y(kDigitY) - 2.0f, 16.0f, 20.0f);
    Slot(kit, X(kExpX) - 2.0f, Y(kExpY) - 2.0f, F(kBarW) + 4.0f, F(kBarH) + 4.0f);
    Slot(kit, X(kExpX) - 2.0f, Y(kChargeY) - 2.0f, F(kBarW) + 4.0f, F(kBarH) + 4.0f);
    Slot(kit, X(kIconX) - 2.0f, Y(kIconY) + 1.0f, F(kIconW) + 4.0f, F(kIconArtH));

    // Small words for the rows: LV before the digit, EXP and SUB before the gauges.
    const RGBF ink = Rgb(kInk);
    kit.Text(X(kLifeX) + 2.0f, Y(kDigitY) + 1.0f, "LV", 14, VerticalGradient(Y(kDigitY), Rgb(kWhite), Y(kDigitY) + 14.0f, Rgb(kCyan)), ink, 1.0f);
    kit.Text(X(kExpX) - 3.0f - (float)CArtKit::TextWidth("EX", 11), Y(kExpY) - 1.0f, "EX", 11, Flat(Rgb(kGold)), ink, 1.0f);
    kit.Text(X(kExpX) - 3.0f - (float)CArtKit::TextWidth("SUB", 11), Y(kChargeY) - 1.0f, "SUB", 11, Flat(Rgb(kCyan)), ink,
             1.0f);
    // A row of lamps under the life slot.
    for (int i = 0; i < 10; i++) {
        const float lx = X(kLifeX) + 10.0f + 20.0f * (float)i, ly = Y(kLifeY) + F(kLifeH) + 7.0f;
        kit.Ball(lx, ly, 2.0f, 2.0f, Rgb(i < 2 ? kRed : kCyan));
    }
    kit.Unclip();
}

// ---- Her faces ----------------------------------------------------------------------------------

enum FACEMOOD { FM_CALM, FM_HURT, FM_WORRIED, FM_ALARMED };

void DrawFace(CArtKit& kit, int x, int y, int w, int h, FACEMOOD mood)
{
    const float fx = F(x), fy = F(y), fw = F(w), fh = F(h);
    kit.Clip(x, y, w, h);
    static const uint32_t kBack[4][2] = {{0x3A5CA8, 0x101C40}, {0xC02030, 0x400810}, {0xD06018, 0x401008},
                                         {0xF0A020, 0x602008}};
    kit.Fill(x, y, w, h, VerticalGradient(fy, Rgb(kBack[mood][0]), fy + fh, Rgb(kBack[mood][1])));
    const float cx = fx + fw * 0.5f, cy = fy + fh * 0.52f;
    const RGBF skin = Rgb(0xF8C8A0), hair = Rgb(0x6A3418), ink = Rgb(0x201018);
    // Hair behind the head, the scarf, the neck and the head.
    kit.Ellipse(cx, cy + 2.0f, 29.0f, 31.0f, SphereShade(cx, cy + 2.0f, 29.0f, 31.0f, hair));
    kit.Polygon({{cx - 34.0f, fy + fh}, {cx - 24.0f, cy + 26.0f}, {cx + 24.0f, cy + 26.0f}, {cx + 34.0f, fy + fh}},
                VerticalGradient(cy + 26.0f, Rgb(0xFFE838), fy + fh, Rgb(0xD09010)));
    kit.Fill((int)(cx - 7.0f), (int)(cy + 18.0f), 14, 9, Flat(Scale(skin, 0.85f)));
    kit.Ellipse(cx, cy + 2.0f, 21.0f, 24.0f, SphereShade(cx, cy + 2.0f, 21.0f, 24.0f, skin));
    // Fringe.
    kit.Polygon({{cx - 23.0f, cy - 4.0f}, {cx - 20.0f, cy - 22.0f}, {cx, cy - 28.0f}, {cx + 21.0f, cy - 22.0f},
                 {cx + 24.0f, cy - 2.0f}, {cx + 12.0f, cy - 13.0f}, {cx + 2.0f, cy - 8.0f}, {cx - 8.0f, cy - 14.0f}},
                VerticalGradient(cy - 28.0f, Mix(hair, Rgb(0xFFFFFF), 0.2f), cy - 4.0f, hair));
    // Eyes and brows.
    const float ey = cy + 1.0f;
    for (int side = -1; side <= 1; side += 2) {
        const float ex = cx + 9.0f * (float)side;
        if (mood == FM_HURT) {
            kit.Stroke(ex - 4.0f, ey - 3.0f, ex + 4.0f, ey, 1.8f, Flat(ink));
            kit.Stroke(ex - 4.0f, ey + 3.0f, ex + 4.0f, ey, 1.8f, Flat(ink));
            if (side > 0) {
                kit.Stroke(ex - 4.0f, ey - 3.0f, ex + 4.0f, ey, 1.8f, Flat(ink));
            }
        } else {
            kit.Ellipse(ex, ey, 3.8f, 5.0f, Flat(Rgb(0xFFFFFF)));
            kit.Ellipse(ex + 0.6f, ey + 0.8f, 2.4f, 3.4f, Flat(Rgb(mood == FM_CALM ? 0x2850A0 : 0x284070)));
            kit.Ellipse(ex - 0.6f, ey - 1.2f, 0.9f, 0.9f, Flat(Rgb(0xFFFFFF)));
        }
        const float tilt = mood == FM_CALM ? 0.0f : (mood == FM_HURT ? -2.5f : 2.5f);
        kit.Stroke(ex - 4.5f, ey - 8.0f + tilt * (float)side, ex + 4.5f, ey - 8.0f - tilt * (float)side, 1.5f,
                   Flat(Scale(hair, 0.7f)));
    }
    // Mouth.
    const float my = cy + 13.0f;
    switch (mood) {
    case FM_CALM:
        kit.PolyLine({{cx - 5.0f, my - 1.0f}, {cx, my + 2.0f}, {cx + 5.0f, my - 1.0f}}, 1.5f, Flat(Rgb(0xA02838)));
        break;
    case FM_HURT:
        kit.Ellipse(cx, my + 1.0f, 4.5f, 3.5f, Flat(Rgb(0x801828)));
        kit.Stroke(cx - 4.0f, my, cx + 4.0f, my, 1.0f, Flat(Rgb(0xFFFFFF)));
        break;
    default:
        kit.PolyLine({{cx - 5.0f, my + 2.0f}, {cx - 2.0f, my}, {cx + 2.0f, my + 1.0f}, {cx + 5.0f, my - 1.0f}}, 1.5f,
                     Flat(Rgb(0xA02838)));
        break;
    }
    // Blush, a sweat drop when worried, stars of pain when hurt.
    kit.Ellipse(cx - 14.0f, cy + 9.0f, 3.5f, 2.0f, Flat(Rgb(0xF8A0A0)));
    kit.Ellipse(cx + 14.0f, cy + 9.0f, 3.5f, 2.0f, Flat(Rgb(0xF8A0A0)));
    if (mood == FM_WORRIED || mood == FM_ALARMED) {
        const float sx = cx + 24.0f, sy = cy - 10.0f + (mood == FM_ALARMED ? 4.0f : 0.0f);
        kit.Polygon({{sx, sy - 7.0f}, {sx + 4.0f, sy + 1.0f}, {sx - 4.0f, sy + 1.0f}}, Flat(Rgb(0xA8E8FF)));
        kit.Ellipse(sx, sy + 2.0f, 4.0f, 4.0f, SphereShade(sx, sy + 2.0f, 4.0f, 4.0f, Rgb(0x90D8FF)));
    }
    if (mood == FM_HURT) {
        for (int i = 0; i < 3; i++) {
            const float sx = fx + 12.0f + 36.0f * (float)i, sy = fy + 10.0f + (float)(i % 2) * 6.0f;
            kit.Polygon({{sx, sy - 5.0f}, {sx + 1.5f, sy - 1.5f}, {sx + 5.0f, sy}, {sx + 1.5f, sy + 1.5f}, {sx, sy + 5.0f},
                         {sx - 1.5f, sy + 1.5f}, {sx - 5.0f, sy}, {sx - 1.5f, sy - 1.5f}},
                        Flat(Rgb(0xFFF060)));
        }
    }
    kit.RoundBoxOutline(fx, fy, fw, fh, 2.0f, 1.0f, Flat(Rgb(kInk)));
    kit.Unclip();
}

void DrawFaceCalm(CArtKit& kit, int x, int y, int w, int h) { DrawFace(kit, x, y, w, h, FM_CALM); }
void DrawFaceHurt(CArtKit& kit, int x, int y, int w, int h) { DrawFace(kit, x, y, w, h, FM_HURT); }
void DrawFaceWorried(CArtKit& kit, int x, int y, int w, int h) { DrawFace(kit, x, y, w, h, FM_WORRIED); }
void DrawFaceAlarmed(CArtKit& kit, int x, int y, int w, int h) { DrawFace(kit, x, y, w, h, FM_ALARMED); }

// ---- Gauges -------------------------------------------------------------------------------------

// A bar of one strip: colours run along it from left to right, lit on top, with segment ticks.
void Bar(CArtKit& kit, int x, int y, int w, int h, uint32_t c0, uint32_t c1, uint32_t c2)
{
    const float fx = F(x), fy = F(y), fw = F(w), fh = F(h);
    const RGBF a = Rgb(c0), b = Rgb(c1), c = Rgb(c2);
    kit.Fill(x, y, w, h, [=](float px, float py) {
        const float t = (px - fx) / fw;
        const RGBF along = t < 0.5f ? Mix(a, b, t * 2.0f) : Mix(b, c, (t - 0.5f) * 2.0f);
        const float v = (py - fy) / fh;
        return v < 0.35f ? Mix(along, Rgb(kWhite), 0.45f * (1.0f - v / 0.35f)) : Scale(along, 1.0f - 0.35f * (v - 0.35f));
    });
    for (float tx = fx + 10.0f; tx < fx + fw - 1.0f; tx += 10.0f)
        kit.Stroke(tx, fy + 1.0f, tx, fy + fh - 1.0f, 0.8f, Flat(Scale(b, 0.55f)));
}

void DrawLifeHard(CArtKit& kit, int x, int y, int w, int h)
{
    kit.Clip(x, y, w, h);
    Bar(kit, x, y, w, h, kRed, kOrange, kGreen);
    kit.Unclip();
}

void DrawLifeEasy(CArtKit& kit, int x, int y, int w, int h)
{
    kit.Clip(x, y, w, h);
    Bar(kit, x, y, w, h, 0x30A0F0, 0x40E0D0, 0xB0F060);
    kit.Unclip();
}

// Three strips: the bar and the two pictures it blinks between.
void DrawLevelGauge(CArtKit& kit, int x, int y, int w, int h)
{
    const int nStrip = h / 3;
    kit.Clip(x, y, w, h);
    Bar(kit, x, y, w, nStrip, kGoldDeep, kGold, 0xFFF0A0);
    Bar(kit, x, y + nStrip, w, nStrip, 0xF0F8FF, kWhite, 0xF0F8FF);
    Bar(kit, x, y + 2 * nStrip, w, nStrip, kOrange, 0xFFB040, kOrange);
    kit.Unclip();
}

// ---- Sub-weapon icons ---------------------------------------------------------------------------

// Each icon is a tag across the top of its cell: the replay list draws the cell with its lower
// part over the last digits of the slot's score, so that part stays the key.
void IconBack(CArtKit& kit, float x, float y, float w, float h, uint32_t dwTint)
{
    kit.RoundBox(x + 1.0f, y + 1.0f, w - 2.0f, h - 2.0f, 6.0f,
                 VerticalGradient(y, Mix(Rgb(dwTint), Rgb(kPanel), 0.55f), y + h, Rgb(kPanelDeep)));
    kit.RoundBoxOutline(x + 1.0f, y + 1.0f, w - 2.0f, h - 2.0f, 6.0f, 1.5f, Flat(Rgb(dwTint)));
}

void IonShieldIcon(CArtKit& kit, float x, float y, float w, float h)
{
    IconBack(kit, x, y, w, h, 0x50A0FF);
    const float cx = x + w / 2.0f, cy = y + h / 2.0f;
    // A ring of force round the bubble, seen edge on.
    kit.EllipseOutline(cx, cy, 23.0f, 8.0f, 1.4f, Flat(Rgb(0x70C8FF)));
    kit.Ellipse(cx, cy, 12.0f, 12.0f, RadialGradient(cx, cy, 12.0f, Rgb(0x102060), Rgb(0x60C0FF)));
    kit.EllipseOutline(cx, cy, 12.0f, 12.0f, 1.6f, Flat(Rgb(0xC0F0FF)));
    // A hexagon pattern on the bubble.
    for (int i = 0; i < 6; i++) {
        const float a0 = 1.0471976f * (float)i, a1 = a0 + 1.0471976f;
        kit.Stroke(cx + 6.0f * cosf(a0), cy + 6.0f * sinf(a0), cx + 6.0f * cosf(a1), cy + 6.0f * sinf(a1), 1.0f,
                   Flat(Rgb(0xA0E8FF)));
    }
    kit.Ellipse(cx - 4.0f, cy - 5.0f, 3.0f, 2.0f, Flat(Rgb(0xE8FAFF)));
}

void HawkWindIcon(CArtKit& kit, float x, float y, float w, float h)
{
    IconBack(kit, x, y, w, h, 0x40E0A0);
    // Four missiles fanning up to the right, each with a trail.
    for (int i = 0; i < 4; i++) {
        const float a = -0.08f - 0.15f * (float)i;
        const float bx = x + 8.0f, by = y + h - 5.0f;
        const float tx = bx + cosf(a) * 44.0f, ty = by + sinf(a) * 44.0f;
        kit.Stroke(bx, by, tx - cosf(a) * 8.0f, ty - sinf(a) * 8.0f, 1.6f, Flat(Rgb(0x80FFD0)));
        kit.Stroke(tx - cosf(a) * 8.0f, ty - sinf(a) * 8.0f, tx, ty, 3.0f, Flat(Rgb(kWhite)));
        kit.Ellipse(tx, ty, 1.8f, 1.8f, Flat(Rgb(kRed)));
    }
}

void FireStormIcon(CArtKit& kit, float x, float y, float w, float h)
{
    IconBack(kit, x, y, w, h, 0xFF6020);
    const float cx = x + w / 2.0f, by = y + h - 4.0f;
    kit.Polygon({{cx - 16.0f, by}, {cx - 18.0f, by - 10.0f}, {cx - 8.0f, by - 16.0f}, {cx - 6.0f, by - 10.0f},
                 {cx, by - 24.0f}, {cx + 10.0f, by - 13.0f}, {cx + 12.0f, by - 18.0f}, {cx + 18.0f, by - 8.0f},
                 {cx + 16.0f, by}},
                VerticalGradient(by - 24.0f, Rgb(0xFFE040), by, Rgb(0xE02010)));
    kit.Polygon({{cx - 8.0f, by}, {cx - 8.0f, by - 6.0f}, {cx - 1.0f, by - 13.0f}, {cx + 6.0f, by - 6.0f}, {cx + 8.0f, by}},
                VerticalGradient(by - 13.0f, Rgb(kWhite), by, Rgb(0xFFD040)));
}

void GroundWiperIcon(CArtKit& kit, float x, float y, float w, float h)
{
    IconBack(kit, x, y, w, h, 0xC080FF);
    const float gy = y + h - 6.0f;
    kit.Fill((int)(x + 6.0f), (int)gy, (int)(w - 12.0f), 3, Flat(Rgb(0x806040)));
    // Columns of light rising from the ground, tallest in the middle.
    const float heights[4] = {10.0f, 17.0f, 20.0f, 13.0f};
    for (int i = 0; i < 4; i++) {
        const float cx = x + 14.0f + 11.0f * (float)i;
        kit.RoundBox(cx - 3.5f, gy - heights[i], 7.0f, heights[i], 3.0f,
                     VerticalGradient(gy - heights[i], Rgb(kWhite), gy, Rgb(0xB060FF)));
    }
}

void DrawSubWeaponIcons(CArtKit& kit, int x, int y, int w, int h)
{
    kit.Clip(x, y, w, std::min(h, kIconArtH));
    const float cw = F(w) / 4.0f, ch = F(std::min(h, kIconArtH));
    IonShieldIcon(kit, F(x), F(y), cw, ch);
    HawkWindIcon(kit, F(x) + cw, F(y), cw, ch);
    FireStormIcon(kit, F(x) + 2.0f * cw, F(y), cw, ch);
    GroundWiperIcon(kit, F(x) + 3.0f * cw, F(y), cw, ch);
    kit.Unclip();
}

// ---- Pop-ups and the warning --------------------------------------------------------------------

// Words on the key colour, outlined so that they read over anything.
void Words(CArtKit& kit, int x, int y, int w, int h, const char* pszText, uint32_t c0, uint32_t c1, uint32_t dwOutline)
{
    kit.Clip(x, y, w, h);
    const int nHeight = FitHeight(pszText, h - 2, w - 2, 2.0f);
    const float fy = F(y) + F(h) / 2.0f;
    Caption(kit, F(x) + F(w) / 2.0f, fy, pszText, nHeight,
            VerticalGradient(fy - F(nHeight) / 2.0f, Rgb(c0), fy + F(nHeight) / 2.0f, Rgb(c1)), Rgb(dwOutline), 2.0f);
    kit.Unclip();
}

void DrawLvMax(CArtKit& kit, int x, int y, int w, int h) { Words(kit, x, y, w, h, "LV MAX", 0xFFF8C0, kGold, 0x801000); }
void DrawReady(CArtKit& kit, int x, int y, int w, int h) { Words(kit, x, y, w, h, "READY!", kWhite, kCyan, 0x002050); }
void DrawLevelUp(CArtKit& kit, int x, int y, int w, int h) { Words(kit, x, y, w, h, "LEVEL UP!", 0xFFFFA0, kOrange, 0x601000); }
void DrawDamaged(CArtKit& kit, int x, int y, int w, int h) { Words(kit, x, y, w, h, "DAMAGE!", 0xFFC0C0, kRed, 0x300008); }

// Hazard tape with the word, in two colourings that blink in turn. It lies on the life gauge while
// a fifth of the life or less is left, so the gauge's left fifth stays clear (the key) and the
// tape's pointed end shows at what is left.
void Danger(CArtKit& kit, int x, int y, int w, int h, uint32_t dwStripe, uint32_t dwText)
{
    const float fy = F(y), fh = F(h), fRight = F(x + w);
    const float fTip = F(x + w / 5 + 2), fBody = fTip + fh / 2.0f;
    const std::vector<PTF> tape = {{fTip, fy + fh / 2.0f}, {fBody, fy}, {fRight, fy}, {fRight, fy + fh}, {fBody, fy + fh}};
    kit.Clip(x, y, w, h);
    kit.Polygon(tape, Flat(Rgb(kInk)));
    kit.Clip((int)fBody, y, x + w - (int)fBody, h);
    for (float sx = fBody - fh; sx < fRight; sx += 16.0f)
        kit.Polygon({{sx, fy + fh}, {sx + fh, fy}, {sx + fh + 8.0f, fy}, {sx + 8.0f, fy + fh}}, Flat(Rgb(dwStripe)));
    kit.Clip(x, y, w, h);
    kit.Polygon({{fTip + 3.0f, fy + fh / 2.0f}, {fBody, fy + 3.0f}, {fBody, fy + fh - 3.0f}}, Flat(Rgb(dwText)));
    kit.PolygonOutline(tape, 1.0f, Flat(Rgb(kInk)));
    Caption(kit, (fBody + fRight) / 2.0f, fy + fh / 2.0f, "DANGER", h - 2, Flat(Rgb(dwText)), Rgb(kInk), 1.5f);
    kit.Unclip();
}

void DrawDanger1(CArtKit& kit, int x, int y, int w, int h) { Danger(kit, x, y, w, h, kRed, kWhite); }
void DrawDanger2(CArtKit& kit, int x, int y, int w, int h) { Danger(kit, x, y, w, h, kOrange, 0xFFF060); }

// ---- Digits -------------------------------------------------------------------------------------

// Digit cells in the order 1..9, 0 and then the extra glyphs, each row in its own paint.
void Digits(CArtKit& kit, int x, int y, int nCellW, int nCellH, const std::string& cells, int nRow, uint32_t c0,
            uint32_t c1, float fOutline)
{
    const int nHeight = FitHeight("0", nCellH, nCellW, fOutline);
    for (size_t i = 0; i < cells.size(); i++) {
        const int cx = x + (int)i * nCellW, cy = y + nRow * nCellH;
        kit.Clip(cx, cy, nCellW, nCellH);
        const float fcy = F(cy) + F(nCellH) / 2.0f;
        Caption(kit, F(cx) + F(nCellW) / 2.0f, fcy, std::string(1, cells[i]), nHeight,
                VerticalGradient(fcy - F(nHeight) / 2.0f, Rgb(c0), fcy + F(nHeight) / 2.0f, Rgb(c1)), Rgb(kInk), fOutline);
        kit.Unclip();
    }
}

void DrawScoreDigits(CArtKit& kit, int x, int y, int w, int h)
{
    Digits(kit, x, y, w / 10, h, "1234567890", 0, 0xFFF4B0, kGoldDeep, 2.0f);
}

void DrawScoreDigitsWhite(CArtKit& kit, int x, int y, int w, int h)
{
    Digits(kit, x, y, w / 10, h, "1234567890", 0, kWhite, 0xD8E8FF, 2.0f);
}

// Digits too small for the font: drawn as strokes in a unit box (x right, y down).
const std::vector<std::vector<PTF>>& DigitStrokes(char c)
{
    static const std::vector<std::vector<PTF>> kGlyphs[11] = {
        {{{0.5f, 0.0f}, {0.9f, 0.15f}, {0.9f, 0.85f}, {0.5f, 1.0f}, {0.1f, 0.85f}, {0.1f, 0.15f}, {0.5f, 0.0f}}},
        {{{0.25f, 0.22f}, {0.6f, 0.0f}, {0.6f, 1.0f}}},
        {{{0.1f, 0.2f}, {0.35f, 0.0f}, {0.7f, 0.0f}, {0.9f, 0.2f}, {0.9f, 0.4f}, {0.1f, 1.0f}, {0.9f, 1.0f}}},
        {{{0.1f, 0.0f}, {0.9f, 0.0f}, {0.45f, 0.42f}, {0.75f, 0.45f}, {0.9f, 0.65f}, {0.9f, 0.85f}, {0.7f, 1.0f},
          {0.3f, 1.0f}, {0.1f, 0.88f}}},
        {{{0.7f, 1.0f}, {0.7f, 0.0f}, {0.1f, 0.7f}, {0.95f, 0.7f}}},
        {{{0.85f, 0.0f}, {0.15f, 0.0f}, {0.12f, 0.45f}, {0.6f, 0.4f}, {0.9f, 0.6f}, {0.9f, 0.85f}, {0.7f, 1.0f},
          {0.3f, 1.0f}, {0.1f, 0.88f}}},
        {{{0.8f, 0.05f}, {0.45f, 0.0f}, {0.15f, 0.3f}, {0.1f, 0.75f}, {0.3f, 1.0f}, {0.7f, 1.0f}, {0.9f, 0.8f},
          {0.9f, 0.6f}, {0.7f, 0.45f}, {0.3f, 0.45f}, {0.12f, 0.6f}}},
        {{{0.1f, 0.0f}, {0.9f, 0.0f}, {0.4f, 1.0f}}},
        {{{0.5f, 0.0f}, {0.85f, 0.12f}, {0.85f, 0.35f}, {0.5f, 0.47f}, {0.15f, 0.35f}, {0.15f, 0.12f}, {0.5f, 0.0f}},
         {{0.5f, 0.47f}, {0.9f, 0.6f}, {0.9f, 0.87f}, {0.5f, 1.0f}, {0.1f, 0.87f}, {0.1f, 0.6f}, {0.5f, 0.47f}}},
        {{{0.2f, 0.95f}, {0.55f, 1.0f}, {0.85f, 0.7f}, {0.9f, 0.25f}, {0.7f, 0.0f}, {0.3f, 0.0f}, {0.1f, 0.2f},
          {0.1f, 0.4f}, {0.3f, 0.55f}, {0.7f, 0.55f}, {0.88f, 0.4f}}},
        {{{0.5f, 0.25f}, {0.5f, 0.27f}}, {{0.5f, 0.75f}, {0.5f, 0.77f}}},
    };
    const int i = c == ':' ? 10 : c - '0';
    return kGlyphs[i >= 0 && i <= 10 ? i : 0];
}

void StrokeDigits(CArtKit& kit, int x, int y, int nCellW, int nCellH, const std::string& cells, uint32_t c0, uint32_t c1)
{
    for (size_t i = 0; i < cells.size(); i++) {
        const float bx = F(x + (int)i * nCellW) + 2.0f, by = F(y) + 2.0f, bw = F(nCellW) - 4.0f, bh = F(nCellH) - 4.0f;
        kit.Clip(x + (int)i * nCellW, y, nCellW, nCellH);
        for (int pass = 0; pass < 2; pass++) {
            const PAINT paint = pass ? VerticalGradient(by, Rgb(c0), by + bh, Rgb(c1)) : Flat(Rgb(kInk));
            for (const std::vector<PTF>& line : DigitStrokes(cells[i])) {
                std::vector<PTF> pts;
                for (const PTF& p : line)
                    pts.push_back(PTF{bx + p.x * bw, by + p.y * bh});
                kit.PolyLine(pts, pass ? 1.7f : 3.4f, paint);
            }
        }
        kit.Unclip();
    }
}

// Two rows of eleven 10 x 16 cells: the level digit, and the floating points' digits.
void DrawLevelDigits(CArtKit& kit, int x, int y, int w, int h)
{
    StrokeDigits(kit, x, y, w / 11, h / 2, "1234567890:", kWhite, kCyan);
    StrokeDigits(kit, x, y + h / 2, w / 11, h / 2, "1234567890:", 0xFFFFC0, kGold);
}

// The Yen sign: a Y with two bars across its stem.
void DrawYen(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = F(x), fy = F(y), fw = F(w), fh = F(h);
    kit.Clip(x, y, w, h);
    const float cx = fx + fw / 2.0f, top = fy + fh * 0.18f, mid = fy + fh * 0.5f, bottom = fy + fh * 0.86f;
    const PAINT gold = VerticalGradient(top, Rgb(0xFFF4B0), bottom, Rgb(kGoldDeep));
    const RGBF ink = Rgb(kInk);
    for (int pass = 0; pass < 2; pass++) {
        const float wLine = pass == 0 ? 6.5f : 3.0f;
        const PAINT p = pass == 0 ? Flat(ink) : gold;
        kit.Stroke(fx + 3.5f, top, cx, mid, wLine, p);
        kit.Stroke(fx + fw - 3.5f, top, cx, mid, wLine, p);
        kit.Stroke(cx, mid, cx, bottom, wLine, p);
        kit.Stroke(fx + 4.0f, mid + 2.0f, fx + fw - 4.0f, mid + 2.0f, wLine - 1.0f, p);
        kit.Stroke(fx + 4.0f, mid + 8.0f, fx + fw - 4.0f, mid + 8.0f, wLine - 1.0f, p);
    }
    kit.Unclip();
}

void DrawComma(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = F(x), fy = F(y), fw = F(w), fh = F(h);
    kit.Clip(x, y, w, h);
    const float cx = fx + fw / 2.0f, cy = fy + fh * 0.8f;
    kit.Ellipse(cx, cy, 3.4f, 3.4f, Flat(Rgb(kInk)));
    kit.Stroke(cx + 1.5f, cy, cx - 1.5f, cy + 6.0f, 3.5f, Flat(Rgb(kInk)));
    kit.Ellipse(cx, cy, 2.0f, 2.0f, Flat(Rgb(kGold)));
    kit.Stroke(cx + 1.0f, cy, cx - 1.0f, cy + 5.0f, 1.6f, Flat(Rgb(kGold)));
    kit.Unclip();
}

// ---- Options --------------------------------------------------------------------------------------

// Three 24 x 24 icons (half damage, double power, high jump) over the two frames of the bonus sign.
void DrawOptions(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = F(x), fy = F(y);
    kit.Clip(x, y, w, h);
    const uint32_t tints[3] = {0x40C060, kRed, 0x40A0FF};
    for (int i = 0; i < 3; i++) {
        const float ix = fx + 24.0f * (float)i;
        kit.RoundBox(ix + 1.0f, fy + 1.0f, 22.0f, 22.0f, 5.0f, VerticalGradient(fy, Rgb(tints[i]), fy + 24.0f, Scale(Rgb(tints[i]), 0.45f)));
        kit.RoundBoxOutline(ix + 1.0f, fy + 1.0f, 22.0f, 22.0f, 5.0f, 1.2f, Flat(Rgb(kInk)));
    }
    // Half damage: a heart, half of it shaded.
    const float hx = fx + 12.0f, hy = fy + 12.0f;
    const std::vector<PTF> heart = {{hx, hy + 7.0f}, {hx - 7.5f, hy - 0.5f}, {hx - 6.5f, hy - 5.5f}, {hx - 2.5f, hy - 6.5f},
                                    {hx, hy - 3.5f}, {hx + 2.5f, hy - 6.5f}, {hx + 6.5f, hy - 5.5f}, {hx + 7.5f, hy - 0.5f}};
    kit.Polygon(heart, Flat(Rgb(0xFF5070)));
    kit.Polygon({{hx, hy + 7.0f}, {hx, hy - 3.5f}, {hx + 2.5f, hy - 6.5f}, {hx + 6.5f, hy - 5.5f}, {hx + 7.5f, hy - 0.5f}},
                Flat(Rgb(0x903040)));
    kit.PolygonOutline(heart, 1.0f, Flat(Rgb(kWhite)));
    // Double power: "x2".
    Caption(kit, fx + 36.0f, fy + 12.0f, "x2", 16, Flat(Rgb(kWhite)), Rgb(kInk), 1.0f);
    // High jump: an arrow up over a spring.
    const float jx = fx + 60.0f;
    kit.Polygon({{jx, fy + 3.0f}, {jx + 6.0f, fy + 10.0f}, {jx + 2.0f, fy + 10.0f}, {jx + 2.0f, fy + 14.0f},
                 {jx - 2.0f, fy + 14.0f}, {jx - 2.0f, fy + 10.0f}, {jx - 6.0f, fy + 10.0f}},
                Flat(Rgb(kWhite)));
    kit.PolyLine({{jx - 5.0f, fy + 15.5f}, {jx + 5.0f, fy + 17.0f}, {jx - 5.0f, fy + 18.5f}, {jx + 5.0f, fy + 20.0f}},
                 1.3f, Flat(Rgb(0xFFF060)));
    // The bonus sign, plain and lit.
    for (int k = 0; k < 2; k++) {
        const float sy = fy + 24.0f + 24.0f * (float)k;
        kit.RoundBox(fx + 1.0f, sy + 1.0f, 62.0f, 22.0f, 6.0f,
                     VerticalGradient(sy, Rgb(k ? 0xFFB030 : 0x305080), sy + 24.0f, Rgb(k ? 0xC05010 : 0x101C38)));
        kit.RoundBoxOutline(fx + 1.0f, sy + 1.0f, 62.0f, 22.0f, 6.0f, 1.5f, Flat(Rgb(k ? kWhite : kGold)));
        Caption(kit, fx + 32.0f, sy + 12.0f, "BONUS", 14, Flat(Rgb(k ? kWhite : kGold)), Rgb(kInk), 1.0f);
    }
    kit.Unclip();
}

struct HUDART {
    const char* pszRegion;
    REGIONDRAW pfnDraw;
};

const HUDART kArt[] = {
    {"Cockpit.bmp", DrawPlate},
    {"FaceNormal", DrawFaceCalm},
    {"FaceDamage", DrawFaceHurt},
    {"FaceDanger1", DrawFaceWorried},
    {"FaceDanger2", DrawFaceAlarmed},
    {"mode_easy", DrawLifeEasy},
    {"mode_hard", DrawLifeHard},
    {"MaxLVGauge.bmp", DrawLevelGauge},
    {"SubWeaponIcon.bmp", DrawSubWeaponIcons},
    {"LvMax.bmp", DrawLvMax},
    {"SubWeaponReady.bmp", DrawReady},
    {"Danger1", DrawDanger1},
    {"Danger2", DrawDanger2},
    {"ScoreNumbers.bmp", DrawScoreDigits},
    {"ScoreNumbersWhite.bmp", DrawScoreDigitsWhite},
    {"LvNumbers.bmp", DrawLevelDigits},
    {"Yen.bmp", DrawYen},
    {"comma.bmp", DrawComma},
    {"Option", DrawOptions},
    {"LvUp.bmp", DrawLevelUp},
    {"Damaged.bmp", DrawDamaged},
};

} // namespace

REGIONDRAW FindHudArt(const char* pszRegion)
{
    for (const HUDART& art : kArt) {
        if (!strcmp(art.pszRegion, pszRegion))
            return art.pfnDraw;
    }
    return nullptr;
}
