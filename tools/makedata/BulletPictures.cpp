#include "BulletPictures.h"

#include <algorithm>
#include <cmath>

#include "ArtKit.h"

namespace {

const float kPi = 3.14159265f;
const uint32_t kBlack = 0x000000;

// One frame (0..11) of the bomb: a white flash that swells into a boiling fireball, throws out
// sparks and burns down from the centre to a dim ring of embers.
void DrawBombFrame(CArtKit& kit, int nFrame, int x0, int y0)
{
    const float p = (float)nFrame / 11.0f;
    const float cx = (float)x0 + 80.0f, cy = (float)y0 + 80.0f;
    const float fRadius = 28.0f + 40.0f * (1.0f - (1.0f - p) * (1.0f - p));
    const float fFade = 1.0f - 0.6f * p * std::sqrt(p);
    const uint32_t nSeed = 0xB0B0u + (uint32_t)nFrame * 7u;
    PTF sparks[10];
    for (int i = 0; i < 10; i++) {
        const float a = Hash01(0x51u, i, 0) * 2.0f * kPi;
        const float r = std::min(fRadius * (0.9f + 0.35f * Hash01(0x52u, i, 0)) + 6.0f * p, 70.0f);
        sparks[i] = PTF{cx + std::cos(a) * r, cy + std::sin(a) * r};
    }
    const float fSparkSize = 5.0f - 2.5f * p;
    kit.Shade(x0, y0, 160, 160, 2, [=](float x, float y, RGBF* pOut) {
        const float dx = x - cx, dy = y - cy;
        const float d = std::sqrt(dx * dx + dy * dy) / fRadius;
        float fHeat = 0.0f;
        if (d < 1.15f) {
            const float n = Fbm(x - (float)x0, y - (float)y0, nSeed, 16.0f, 3, 0, 0);
            // The centre burns out first: the fire moves out to a ring as the frames go on.
            const float fRing = 1.0f - std::fabs(d - p * 0.7f) * (1.7f - p * 0.5f);
            fHeat = (fRing * 1.3f + (n - 0.5f) * (0.6f + p * 0.8f)) * fFade;
            fHeat *= std::clamp((1.15f - d) * 4.0f, 0.0f, 1.0f);
        }
        for (const PTF& s : sparks) {
            const float e = 1.0f - std::sqrt((x - s.x) * (x - s.x) + (y - s.y) * (y - s.y)) / fSparkSize;
            if (e > 0.0f)
                fHeat += e * e * (1.1f - 0.6f * p);
        }
        // Nothing reaches the cell's edge: the texture shows the cell whole, with no cut-off.
        fHeat *= std::clamp((78.0f - std::sqrt(dx * dx + dy * dy)) / 10.0f, 0.0f, 1.0f);
        if (fHeat <= 0.0f)
            return false;
        *pOut = FireColour(fHeat);
        return true;
    });
}

// A five-pointed star of the kind's colour turned by the frame (a tenth of its symmetry a frame).
void DrawStar(CCanvas& canvas, CArtKit& kit, int x0, int y0, int nKind, int nFrame)
{
    const float cx = (float)x0 + 16.0f, cy = (float)y0 + 16.0f;
    const RGBF colour = Rgb(g_dwStarColors[nKind]);
    AddGlow(canvas, cx, cy, 15.5f, Scale(colour, 0.6f), 0.0f, 2.0f);
    const int nPoints = nKind % 3 == 2 ? 4 : 5;
    const float fTurn = (float)nFrame * (2.0f * kPi / (float)nPoints) / 10.0f;
    std::vector<PTF> pts;
    for (int k = 0; k < nPoints * 2; k++) {
        const float a = fTurn - kPi / 2.0f + (float)k * kPi / (float)nPoints;
        const float r = k % 2 ? (nPoints == 4 ? 4.5f : 5.5f) : 12.5f;
        pts.push_back(PTF{cx + std::cos(a) * r, cy + std::sin(a) * r});
    }
    kit.Polygon(pts, RadialGradient(cx, cy, 12.0f, Mix(colour, RGBF{255, 255, 255}, 0.75f), colour));
    kit.PolygonOutline(pts, 1.0f, Flat(Scale(colour, 0.7f)));
}

std::vector<uint8_t> BigBullet()
{
    CCanvas canvas(32, 32, kBlack);
    CArtKit kit(canvas);
    kit.EllipseOutline(16.0f, 16.0f, 12.0f, 12.0f, 2.0f, Flat(Rgb(0x9050E0)));
    AddGlow(canvas, 16.0f, 16.0f, 16.0f, Rgb(0x6040FF), 0.0f, 1.5f);
    AddGlow(canvas, 16.0f, 16.0f, 11.0f, Rgb(0xE0A0FF), 0.6f, 1.0f);
    return canvas.ToBmp24();
}

std::vector<uint8_t> BombSheet()
{
    CCanvas canvas(640, 480, kBlack);
    CArtKit kit(canvas);
    for (int i = 0; i < 12; i++) {
        const int x0 = 160 * (i % 4), y0 = 160 * (i / 4);
        kit.Clip(x0, y0, 160, 160);
        DrawBombFrame(kit, i, x0, y0);
        kit.Unclip();
        Label(canvas, x0, y0, 160, 20, std::to_string(i));
    }
    return canvas.ToBmp24();
}

std::vector<uint8_t> ColourBalls()
{
    CCanvas canvas(160, 200, kBlack);
    for (int r = 0; r < 10; r++) {
        const float fBright = 1.0f - (float)r / 9.0f;
        for (int c = 0; c < 8; c++) {
            AddGlow(canvas, 20.0f * (float)c + 10.0f, 20.0f * (float)r + 10.0f, 9.0f, Rgb(g_dwBallColors[c]), 0.4f,
                    1.0f, fBright);
        }
    }
    return canvas.ToBmp24();
}

std::vector<uint8_t> RotatingStars()
{
    CCanvas canvas(320, 320, kBlack);
    CArtKit kit(canvas);
    for (int f = 0; f < 10; f++) {
        for (int k = 0; k < 10; k++) {
            kit.Clip(32 * k, 32 * f, 32, 32);
            DrawStar(canvas, kit, 32 * k, 32 * f, k, f);
            kit.Unclip();
        }
    }
    return canvas.ToBmp24();
}

std::vector<uint8_t> FlashLight()
{
    CCanvas canvas(32, 32, kBlack);
    CArtKit kit(canvas);
    kit.Stroke(3.0f, 16.0f, 29.0f, 16.0f, 1.0f, Flat(Rgb(0x804030)));
    kit.Stroke(16.0f, 3.0f, 16.0f, 29.0f, 1.0f, Flat(Rgb(0x804030)));
    AddGlow(canvas, 16.0f, 16.0f, 16.0f, Rgb(0xFF5030), 0.0f, 2.0f);
    AddGlow(canvas, 16.0f, 16.0f, 9.0f, Rgb(0xFFE0C0), 0.7f, 1.0f);
    return canvas.ToBmp24();
}

// One laser colour, 256 x 128 on black: the head of a beam pointing left in columns 0..63 (its tip
// at column 0), the body in columns 124..155 and the head of a beam pointing right in columns
// 192..255 (tip at 255). Across the rows the beam is a white core in a coloured glow; along the
// body a faint ripple runs, so the texture mirrored every 5 px shows the beam's energy flowing.
std::vector<uint8_t> LaserPicture(uint32_t dwColour)
{
    CCanvas canvas(256, 128, kBlack);
    CArtKit kit(canvas);
    const RGBF colour = Rgb(dwColour);
    // Brightness across the beam at a fraction of its half height (0 on the axis, 1 at the edge).
    auto across = [](float d, float fRipple) -> float {
        if (d >= 1.0f)
            return 0.0f;
        return std::pow(1.0f - d, 1.6f) * (0.85f + 0.15f * fRipple);
    };
    auto beam = [&](float fBright, float d) -> RGBF {
        const float fWhite = std::clamp((0.35f - d) / 0.35f, 0.0f, 1.0f);
        return Scale(Mix(colour, RGBF{255, 255, 255}, fWhite), std::min(1.0f, fBright * 1.15f));
    };
    kit.Shade(0, 0, 256, 128, 2, [&](float x, float y, RGBF* pOut) {
        const float d0 = std::fabs(y - 64.0f) / 62.0f;
        float fHalf = 1.0f;  // the cap's half height as a fraction of the body's
        float fRipple = 0.0f;
        if (x >= 124.0f && x < 156.0f) {
            fRipple = std::sin((x - 124.0f) / 32.0f * kPi);
        } else if (x < 64.0f || x >= 192.0f) {
            const float t = x < 64.0f ? 1.0f - x / 64.0f : (x - 192.0f) / 64.0f;
            fHalf = std::sqrt(std::max(0.0f, 1.0f - t * t));
        } else {
            return false;
        }
        if (fHalf <= 0.0f)
            return false;
        const float d = d0 / fHalf;
        const float fBright = across(d, fRipple);
        if (fBright <= 0.0f)
            return false;
        *pOut = beam(fBright, d);
        return true;
    });
    return canvas.ToBmp24();
}

// The homing missile, 40 x 16 on the key, nose to the left (it is drawn turned half round): a
// dark grey body with a red nose cone, tail fins and a bright exhaust at the right end.
std::vector<uint8_t> HomingMissile()
{
    CCanvas canvas(40, 16);
    CArtKit kit(canvas);
    const RGBF body = Rgb(0x8890A0), fin = Rgb(0x404858), nose = Rgb(0xE03028);
    kit.Polygon({{27.0f, 2.0f}, {33.0f, 2.0f}, {36.0f, 6.0f}, {26.0f, 6.0f}}, Flat(fin));
    kit.Polygon({{26.0f, 10.0f}, {36.0f, 10.0f}, {33.0f, 14.0f}, {27.0f, 14.0f}}, Flat(fin));
    kit.RoundBox(8.0f, 5.0f, 28.0f, 6.0f, 2.5f, CylinderShade(8.0f, 28.0f, body));
    kit.Polygon({{1.0f, 8.0f}, {9.0f, 4.5f}, {9.0f, 11.5f}}, Flat(nose));
    kit.Stroke(9.0f, 5.0f, 9.0f, 11.0f, 1.0f, Flat(Scale(nose, 0.5f)));
    kit.Ellipse(37.0f, 8.0f, 3.0f, 2.5f, RadialGradient(38.0f, 8.0f, 3.0f, RGBF{255, 250, 200}, Rgb(0xFF8020)));
    return canvas.ToBmp24();
}

// The puff the charge glow (and boss smoke) is made of: a soft round cloud, white at the heart,
// on black so it adds only itself.
std::vector<uint8_t> SmokePuff()
{
    CCanvas canvas(64, 64, kBlack);
    CArtKit kit(canvas);
    kit.Shade(0, 0, 64, 64, 2, [](float x, float y, RGBF* pOut) {
        const float dx = x - 32.0f, dy = y - 32.0f;
        const float d = std::sqrt(dx * dx + dy * dy) / 30.0f;
        if (d >= 1.0f)
            return false;
        const float n = Fbm(x, y, 0x5E0Cu, 10.0f, 3, 0, 0);
        const float f = std::pow(1.0f - d, 1.5f) * (0.7f + 0.6f * n);
        if (f <= 0.01f)
            return false;
        *pOut = Scale(Mix(Rgb(0xB0C8FF), RGBF{255, 255, 255}, std::clamp(1.0f - d * 2.0f, 0.0f, 1.0f)),
                      std::min(1.0f, f));
        return true;
    });
    return canvas.ToBmp24();
}

} // namespace

// Heat 0..1 as fire: black, deep red, orange, yellow, white.
RGBF FireColour(float fHeat)
{
    static const float kStops[5] = {0.0f, 0.3f, 0.55f, 0.8f, 1.0f};
    static const uint32_t kColours[5] = {0x000000, 0x801008, 0xF06018, 0xFFD040, 0xFFFFE0};
    fHeat = std::clamp(fHeat, 0.0f, 1.0f);
    for (int i = 1; i < 5; i++) {
        if (fHeat <= kStops[i])
            return Mix(Rgb(kColours[i - 1]), Rgb(kColours[i]), (fHeat - kStops[i - 1]) / (kStops[i] - kStops[i - 1]));
    }
    return Rgb(kColours[4]);
}

// Adds a glow to what is there (these pictures are drawn additively): the colour at the centre,
// whiter within the core fraction of the radius, falling to nothing at radius r.
void AddGlow(CCanvas& canvas, float cx, float cy, float r, const RGBF& colour, float fCore, float fExponent,
             float fGain)
{
    const int x0 = std::max(0, (int)(cx - r) - 1), x1 = std::min(canvas.Width(), (int)(cx + r) + 2);
    const int y0 = std::max(0, (int)(cy - r) - 1), y1 = std::min(canvas.Height(), (int)(cy + r) + 2);
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            RGBF sum{0, 0, 0};
            for (int k = 0; k < 4; k++) {
                const float px = (float)x + 0.25f + 0.5f * (float)(k & 1), py = (float)y + 0.25f + 0.5f * (float)(k >> 1);
                const float d = std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy)) / r;
                if (d >= 1.0f)
                    continue;
                const float fWhite = fCore > 0.0f ? std::max(0.0f, fCore - d) / fCore : 0.0f;
                const RGBF c = Scale(Mix(colour, RGBF{255, 255, 255}, fWhite), std::pow(1.0f - d, fExponent) * 0.25f * fGain);
                sum = RGBF{sum.r + c.r, sum.g + c.g, sum.b + c.b};
            }
            const uint32_t dst = canvas.At(x, y);
            const RGBF out{std::min(255.0f, (float)((dst >> 16) & 0xFF) + sum.r),
                           std::min(255.0f, (float)((dst >> 8) & 0xFF) + sum.g), std::min(255.0f, (float)(dst & 0xFF) + sum.b)};
            canvas.Set(x, y, Quantise(out, x, y));
        }
    }
}

const uint32_t g_dwBallColors[8] = {0xFF4020, 0xFF9020, 0xFFE040, 0x60FF40, 0x40E0FF, 0x4070FF, 0xC050FF, 0xFFFFFF};
const uint32_t g_dwStarColors[10] = {0xFFE040, 0xFFFFFF, 0xFF70C0, 0x50E0FF, 0x70FF60,
                                     0xFF9030, 0xFF4040, 0x6080FF, 0xC070FF, 0xFFC860};

void DrawEnemyShot(CCanvas& canvas, int x, int y, int w, int h, uint32_t dwColor)
{
    CArtKit kit(canvas);
    kit.Clip(x, y, w, h);
    const float cx = (float)x + (float)w / 2.0f, cy = (float)y + (float)h / 2.0f;
    const float r = (float)std::min(w, h) / 2.0f - 0.5f;
    const RGBF colour = Rgb(dwColor);
    kit.Ellipse(cx, cy, r, r, RadialGradient(cx - r * 0.25f, cy - r * 0.25f, r * 1.2f, RGBF{255, 255, 255}, colour));
    kit.EllipseOutline(cx, cy, r, r, std::max(1.0f, r / 5.0f), Flat(Scale(colour, 0.45f)));
    kit.Ellipse(cx - r * 0.25f, cy - r * 0.25f, r * 0.3f, r * 0.3f, Flat(RGBF{255, 255, 255}));
    kit.Unclip();
}

void DrawEnemyMissile(CCanvas& canvas, int x, int y, int w, int h)
{
    CArtKit kit(canvas);
    kit.Clip(x, y, w, h);
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h, cy = fy + fh / 2.0f;
    const RGBF body = Rgb(0xA8A8B0), fin = Rgb(0x505868), nose = Rgb(0xE03028);
    kit.Ellipse(fx + 3.0f, cy, 3.0f, fh * 0.25f, RadialGradient(fx + 2.0f, cy, 3.0f, RGBF{255, 250, 200}, Rgb(0xFF8020)));
    kit.Polygon({{fx + 4.0f, fy}, {fx + 9.0f, cy - 1.0f}, {fx + 4.0f, cy - 1.0f}}, Flat(fin));
    kit.Polygon({{fx + 4.0f, cy + 1.0f}, {fx + 9.0f, cy + 1.0f}, {fx + 4.0f, fy + fh}}, Flat(fin));
    kit.RoundBox(fx + 4.0f, cy - fh * 0.22f, fw - 10.0f, fh * 0.44f, 1.5f, CylinderShade(fx + 4.0f, fw - 10.0f, body));
    kit.Polygon({{fx + fw - 6.5f, cy - fh * 0.24f}, {fx + fw, cy}, {fx + fw - 6.5f, cy + fh * 0.24f}}, Flat(nose));
    kit.Unclip();
}

void DrawFamiliar(CCanvas& canvas, int x, int y, int w, int h)
{
    CArtKit kit(canvas);
    kit.Clip(x, y, w, h);
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h;
    const float cx = fx + fw * 0.55f, cy = fy + fh * 0.5f;
    const RGBF hull = Rgb(0x5868A8), dark = Rgb(0x283050), eye = Rgb(0xFF3040);
    // The cannon points left, under the hull's centre, where the missiles leave.
    kit.RoundBox(fx + 1.0f, cy + fh * 0.08f, fw * 0.45f, fh * 0.16f, 2.0f, CylinderShade(fx + 1.0f, fw * 0.45f, Rgb(0x707888)));
    kit.Polygon({{cx - fw * 0.1f, fy + 2.0f}, {fx + fw - 2.0f, cy - fh * 0.1f}, {cx + fw * 0.05f, cy - fh * 0.05f}}, Flat(dark));
    kit.Polygon({{cx - fw * 0.1f, fy + fh - 2.0f}, {fx + fw - 2.0f, cy + fh * 0.1f}, {cx + fw * 0.05f, cy + fh * 0.05f}}, Flat(dark));
    kit.Ball(cx, cy, fw * 0.3f, fh * 0.34f, hull);
    kit.EllipseOutline(cx, cy, fw * 0.3f, fh * 0.34f, 1.0f, Flat(dark));
    kit.Ball(cx - fw * 0.12f, cy - fh * 0.05f, fw * 0.08f, fh * 0.1f, eye);
    kit.Unclip();
}

void DrawForceShot(CCanvas& canvas, int x, int y, int w, int h)
{
    canvas.Fill(x, y, w, h, kBlack);
    CArtKit kit(canvas);
    kit.Clip(x, y, w, h);
    const float cx = (float)x + (float)w / 2.0f, cy = (float)y + (float)h / 2.0f, r = (float)std::min(w, h) / 2.0f;
    AddGlow(canvas, cx, cy, r - 1.0f, Rgb(0x40FFA0), 0.0f, 1.5f);
    AddGlow(canvas, cx, cy, r * 0.6f, Rgb(0xC0FFE0), 0.6f, 1.0f);
    kit.Unclip();
}

void WriteBulletPictures(CDataSet& data)
{
    data.Write("System/EnemyLaserB128.bmp", LaserPicture(0x3070FF));
    data.Write("System/EnemyLaserG128.bmp", LaserPicture(0x30FF60));
    data.Write("System/EnemyLaserR128.bmp", LaserPicture(0xFF3828));
    data.Write("System/MSZ006Missile.bmp", HomingMissile());
    data.Write("System/smoke2.bmp", SmokePuff());
    data.Write("System/EnemyShot3.bmp", BigBullet());
    data.Write("System/EnemyBomb.bmp", BombSheet());
    data.Write("System/ColorBall.bmp", ColourBalls());
    data.Write("System/RotateStar.bmp", RotatingStars());
    data.Write("System/FlashLightR.bmp", FlashLight());
}
