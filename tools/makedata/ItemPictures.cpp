// The pick-up items: System/Item01.bmp (32 x 32 cells: coins of 100 and 500, the small blue and
// green crystals) and System/Item02.bmp (60 x 40 cells: the 1000 coin, the 5000 notes, the 10000
// gold bars, the large crystal, the large life capsule and the food), eight animation frames of
// each kind side by side, one kind a row.
#include "ItemPictures.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ArtKit.h"

namespace {

const int kFrames = 8;
const float kPi = 3.14159265f;
const uint32_t kInk = 0x14101C;

float F(int n)
{
    return (float)n;
}

void Caption(CArtKit& kit, float cx, float cy, const std::string& text, int nHeight, const RGBF& fill, const RGBF& outline)
{
    const float w = (float)CArtKit::TextWidth(text, nHeight);
    kit.Text(cx - w / 2.0f, cy - (float)nHeight / 2.0f, text, nHeight, Flat(fill), outline, 1.0f);
}

// A coin turning about its upright axis: a full face at frame 0, edge on at frame 4.
void Coin(CArtKit& kit, float cx, float cy, float r, int nFrame, uint32_t dwFace, uint32_t dwRim, const char* pszValue)
{
    const float s = std::max(0.14f, std::fabs(std::cos((float)nFrame * kPi / (float)kFrames)));
    const RGBF face = Rgb(dwFace), rim = Rgb(dwRim);
    kit.Ellipse(cx, cy, r * s + 1.0f, r + 1.0f, Flat(Rgb(kInk)));
    kit.Ellipse(cx, cy, r * s, r, VerticalGradient(cy - r, Mix(rim, Rgb(0xFFFFFF), 0.3f), cy + r, Scale(rim, 0.7f)));
    if (s > 0.3f) {
        kit.Ellipse(cx, cy, r * s * 0.78f, r * 0.78f, SphereShade(cx, cy, r * s * 0.78f, r * 0.78f, face));
        kit.EllipseOutline(cx, cy, r * s * 0.78f, r * 0.78f, 1.0f, Flat(Scale(rim, 0.8f)));
    }
    if (s > 0.7f) {
        int nHeight = (int)(r * 0.9f);
        while (nHeight > 7 && (float)CArtKit::TextWidth(pszValue, nHeight) + 2.0f > r * 1.5f * s)
            nHeight--;
        Caption(kit, cx, cy, pszValue, nHeight, Scale(rim, 0.5f), Mix(face, Rgb(0xFFFFFF), 0.5f));
    }
    // A glint that runs round with the turn.
    const float gx = cx - r * s * 0.4f, gy = cy - r * 0.45f;
    kit.Ellipse(gx, gy, 1.6f * s + 0.4f, 1.6f, Flat(Rgb(0xFFFFFF)));
}

// A cut gem that bobs and sparkles.
void Crystal(CArtKit& kit, float cx, float cy, float r, int nFrame, uint32_t dwColor)
{
    const float bob = std::sin((float)nFrame * 2.0f * kPi / (float)kFrames) * r * 0.12f;
    cy += bob;
    const RGBF c = Rgb(dwColor), light = Mix(c, Rgb(0xFFFFFF), 0.55f), dark = Scale(c, 0.5f);
    const float w = r * 0.72f;
    const PTF top = {cx, cy - r}, bottom = {cx, cy + r}, left = {cx - w, cy - r * 0.2f}, right = {cx + w, cy - r * 0.2f};
    const PTF inner = {cx - w * 0.2f, cy - r * 0.1f};
    kit.Polygon({top, right, bottom, left}, Flat(Rgb(kInk)));
    const float k = 0.92f;
    auto in = [&](PTF p) { return PTF{cx + (p.x - cx) * k, cy + (p.y - cy) * k}; };
    kit.Polygon({in(top), in(left), inner}, Flat(light));
    kit.Polygon({in(top), inner, in(right)}, Flat(Mix(light, c, 0.5f)));
    kit.Polygon({in(left), in(bottom), inner}, Flat(c));
    kit.Polygon({inner, in(bottom), in(right)}, Flat(dark));
    // The sparkle moves down the gem's left edge and fades.
    const float t = (float)nFrame / (float)kFrames;
    const float sx = cx - w * 0.5f + t * w * 0.4f, sy = cy - r * 0.7f + t * r * 0.8f, ss = r * 0.35f * (1.0f - t * 0.6f);
    kit.Polygon({{sx, sy - ss}, {sx + ss * 0.25f, sy - ss * 0.25f}, {sx + ss, sy}, {sx + ss * 0.25f, sy + ss * 0.25f},
                 {sx, sy + ss}, {sx - ss * 0.25f, sy + ss * 0.25f}, {sx - ss, sy}, {sx - ss * 0.25f, sy - ss * 0.25f}},
                Flat(Rgb(0xFFFFFF)));
}

// A red and white pill with a cross, its glow pulsing.
void Capsule(CArtKit& kit, float cx, float cy, float w, float h, int nFrame)
{
    const float pulse = 0.5f + 0.5f * std::cos((float)nFrame * 2.0f * kPi / (float)kFrames);
    kit.RoundBox(cx - w / 2.0f - 2.0f, cy - h / 2.0f - 2.0f, w + 4.0f, h + 4.0f, h / 2.0f + 2.0f,
                 Flat(Mix(Rgb(0xFF8090), Rgb(0xFFFFFF), pulse * 0.6f)));
    kit.RoundBox(cx - w / 2.0f, cy - h / 2.0f, w, h, h / 2.0f, Flat(Rgb(kInk)));
    kit.RoundBox(cx - w / 2.0f + 1.0f, cy - h / 2.0f + 1.0f, w / 2.0f, h - 2.0f, h / 2.0f - 1.0f,
                 VerticalGradient(cy - h / 2.0f, Rgb(0xFF7080), cy + h / 2.0f, Rgb(0xB01020)));
    kit.RoundBox(cx - 1.0f, cy - h / 2.0f + 1.0f, w / 2.0f, h - 2.0f, h / 2.0f - 1.0f,
                 VerticalGradient(cy - h / 2.0f, Rgb(0xFFFFFF), cy + h / 2.0f, Rgb(0xB8C0D0)));
    kit.Fill((int)(cx - 1.0f), (int)(cy - h / 2.0f + 1.0f), 3, (int)(h - 2.0f), Flat(Rgb(0xE8E8F0)));
    // The cross on the white half.
    const float kx = cx + w * 0.25f, a = h * 0.28f, b = h * 0.1f;
    kit.Fill((int)(kx - a), (int)(cy - b), (int)(2.0f * a), (int)(2.0f * b) + 1, Flat(Rgb(0xE02030)));
    kit.Fill((int)(kx - b), (int)(cy - a), (int)(2.0f * b) + 1, (int)(2.0f * a), Flat(Rgb(0xE02030)));
    kit.Stroke(cx - w / 2.0f + h / 2.0f, cy - h * 0.28f, cx + w / 2.0f - h / 2.0f, cy - h * 0.28f, 1.5f,
               Flat(Mix(Rgb(0xFFFFFF), Rgb(0xFF8090), 0.3f)));
}

// A rice ball wrapped in a strip of seaweed, hopping a little.
void RiceBall(CArtKit& kit, float cx, float cy, float r, int nFrame)
{
    cy -= std::fabs(std::sin((float)nFrame * kPi / (float)kFrames)) * 3.0f;
    const std::vector<PTF> ball = {{cx, cy - r}, {cx + r * 0.95f, cy + r * 0.6f}, {cx + r * 0.7f, cy + r * 0.85f},
                                   {cx - r * 0.7f, cy + r * 0.85f}, {cx - r * 0.95f, cy + r * 0.6f}};
    kit.Polygon(ball, SphereShade(cx, cy, r, r, Rgb(0xF4F4EC)));
    kit.PolygonOutline(ball, 1.5f, Flat(Rgb(kInk)));
    kit.RoundBox(cx - r * 0.38f, cy + r * 0.2f, r * 0.76f, r * 0.62f, 2.0f, Flat(Rgb(0x203020)));
    kit.Stroke(cx - r * 0.3f, cy + r * 0.3f, cx + r * 0.3f, cy + r * 0.3f, 1.0f, Flat(Rgb(0x406840)));
    // Grains.
    for (int i = 0; i < 5; i++)
        kit.Ellipse(cx - r * 0.4f + (float)i * r * 0.2f, cy - r * 0.1f - (float)(i % 2) * r * 0.2f, 1.2f, 0.8f,
                    Flat(Rgb(0xFFFFFF)));
}

// Banknotes fanned out, the top one rocking.
void Notes(CArtKit& kit, float cx, float cy, int nFrame)
{
    const float rock = std::sin((float)nFrame * 2.0f * kPi / (float)kFrames) * 0.12f;
    for (int i = 0; i < 3; i++) {
        const float a = -0.18f + 0.12f * (float)i + (i == 2 ? rock : 0.0f);
        const float c = std::cos(a), s = std::sin(a), hw = 22.0f, hh = 11.0f;
        const float ox = cx + (float)(i - 1) * 3.0f, oy = cy + (float)(1 - i) * 2.0f;
        auto P = [&](float x, float y) { return PTF{ox + x * c - y * s, oy + x * s + y * c}; };
        const std::vector<PTF> note = {P(-hw, -hh), P(hw, -hh), P(hw, hh), P(-hw, hh)};
        kit.Polygon(note, Flat(Rgb(i == 2 ? 0x70C070 : 0x4E9050)));
        kit.PolygonOutline(note, 1.2f, Flat(Rgb(0x18401C)));
        if (i == 2) {
            const PTF m = P(-12.0f, 0.0f);
            kit.Ellipse(m.x, m.y, 5.0f, 6.0f, Flat(Rgb(0xC8E8C0)));
            kit.EllipseOutline(m.x, m.y, 5.0f, 6.0f, 1.0f, Flat(Rgb(0x18401C)));
            const PTF t = P(6.0f, 0.0f);
            Caption(kit, t.x, t.y, "5000", 10, Rgb(0xFFFFFF), Rgb(0x18401C));
        }
    }
}

// A stack of three gold bars with a glint crossing them.
void GoldBars(CArtKit& kit, float cx, float cy, int nFrame)
{
    auto Bar = [&](float x, float y) {
        const std::vector<PTF> top = {{x - 10.0f, y - 6.0f}, {x + 10.0f, y - 6.0f}, {x + 14.0f, y}, {x - 14.0f, y}};
        const std::vector<PTF> front = {{x - 14.0f, y}, {x + 14.0f, y}, {x + 14.0f, y + 7.0f}, {x - 14.0f, y + 7.0f}};
        kit.Polygon(top, Flat(Rgb(0xFFE870)));
        kit.Polygon(front, VerticalGradient(y, Rgb(0xF0B020), y + 7.0f, Rgb(0xA06008)));
        kit.PolygonOutline({{x - 10.0f, y - 6.0f}, {x + 10.0f, y - 6.0f}, {x + 14.0f, y}, {x + 14.0f, y + 7.0f},
                            {x - 14.0f, y + 7.0f}, {x - 14.0f, y}},
                           1.0f, Flat(Rgb(0x503000)));
    };
    Bar(cx - 13.0f, cy + 6.0f);
    Bar(cx + 13.0f, cy + 6.0f);
    Bar(cx, cy - 6.0f);
    const float t = (float)nFrame / (float)kFrames;
    const float gx = cx - 18.0f + 36.0f * t;
    kit.Stroke(gx - 1.5f, cy + 11.0f, gx + 1.5f, cy + 7.0f, 2.0f, Flat(Mix(Rgb(0xFFFFFF), Rgb(0xFFE870), 0.3f)));
    Caption(kit, cx, cy - 6.0f + 2.0f, "10000", 9, Rgb(0xFFFFFF), Rgb(0x704000));
}

using CELLDRAW = void (*)(CArtKit& kit, float cx, float cy, int nFrame);

void Coin100(CArtKit& kit, float cx, float cy, int f) { Coin(kit, cx, cy, 13.0f, f, 0xD88840, 0x8A4A18, "100"); }
void Coin500(CArtKit& kit, float cx, float cy, int f) { Coin(kit, cx, cy, 13.0f, f, 0xD8E0EC, 0x707A90, "500"); }
void Coin1000(CArtKit& kit, float cx, float cy, int f) { Coin(kit, cx, cy, 17.0f, f, 0xFFD040, 0xB07010, "1000"); }
void BlueCrystal(CArtKit& kit, float cx, float cy, int f) { Crystal(kit, cx, cy, 11.0f, f, 0x3080FF); }
void GreenCrystal(CArtKit& kit, float cx, float cy, int f) { Crystal(kit, cx, cy, 13.0f, f, 0x30D060); }
void BigCrystal(CArtKit& kit, float cx, float cy, int f) { Crystal(kit, cx, cy, 17.0f, f, 0xC040F0); }
void BigCapsule(CArtKit& kit, float cx, float cy, int f) { Capsule(kit, cx, cy, 44.0f, 20.0f, f); }
void Food(CArtKit& kit, float cx, float cy, int f) { RiceBall(kit, cx, cy + 2.0f, 15.0f, f); }
void Notes5000(CArtKit& kit, float cx, float cy, int f) { Notes(kit, cx, cy, f); }
void Bars10000(CArtKit& kit, float cx, float cy, int f) { GoldBars(kit, cx, cy, f); }

std::vector<uint8_t> Sheet(int nCellW, int nCellH, const std::vector<CELLDRAW>& rows, const char* const* pszNames)
{
    CCanvas canvas(nCellW * kFrames, nCellH * (int)rows.size());
    CArtKit kit(canvas);
    for (size_t row = 0; row < rows.size(); row++) {
        for (int f = 0; f < kFrames; f++) {
            const int x = f * nCellW, y = (int)row * nCellH;
            kit.Clip(x, y, nCellW, nCellH);
            rows[row](kit, F(x) + F(nCellW) / 2.0f, F(y) + F(nCellH) / 2.0f, f);
            kit.Unclip();
            Label(canvas, x, y, nCellW, nCellH / 3, pszNames[row]);
        }
    }
    return canvas.ToBmp24();
}

} // namespace

void WriteItemPictures(CDataSet& data)
{
    static const char* const kNames01[] = {"5", "6", "0", "1"};
    static const char* const kNames02[] = {"7", "8", "9", "2", "4", "3"};
    data.Write("System/Item01.bmp", Sheet(32, 32, {Coin100, Coin500, BlueCrystal, GreenCrystal}, kNames01));
    data.Write("System/Item02.bmp",
               Sheet(60, 40, {Coin1000, Notes5000, Bars10000, BigCrystal, BigCapsule, Food}, kNames02));
}
