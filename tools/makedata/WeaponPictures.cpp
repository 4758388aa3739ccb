#include "WeaponPictures.h"

#include <algorithm>
#include <cmath>

#include "ArtKit.h"
#include "BulletPictures.h"

namespace {

const float kPi = 3.14159265f;
const uint32_t kBlack = 0x000000;

// Adds colour c x strength at a pixel (the pictures are drawn additively).
void AddAt(CCanvas& canvas, int x, int y, const RGBF& c, float f)
{
    if (f <= 0.0f)
        return;
    const uint32_t d = canvas.At(x, y);
    const RGBF out{std::min(255.0f, (float)((d >> 16) & 0xFF) + c.r * f),
                   std::min(255.0f, (float)((d >> 8) & 0xFF) + c.g * f), std::min(255.0f, (float)(d & 0xFF) + c.b * f)};
    canvas.Set(x, y, Quantise(out, x, y));
}

// The shield: a bubble of light, a bright rim and a hexagon lattice that shows more in frame 1.
std::vector<uint8_t> IonShield(int nFrame)
{
    CCanvas canvas(128, 128, kBlack);
    const float c = 64.0f, r = 58.0f;
    for (int y = 0; y < 128; y++) {
        for (int x = 0; x < 128; x++) {
            const float dx = (float)x + 0.5f - c, dy = (float)y + 0.5f - c;
            const float d = std::sqrt(dx * dx + dy * dy) / r;
            if (d >= 1.04f)
                continue;
            const float fRim = std::exp(-std::pow((d - 0.95f) / 0.06f, 2.0f));
            float fFill = d < 1.0f ? 0.12f + 0.25f * d * d : 0.0f;
            // A lattice of hexagon edges, from the three directions 60 degrees apart.
            float fLine = 0.0f;
            for (int k = 0; k < 3; k++) {
                const float a = (float)k * kPi / 3.0f + (float)nFrame * 0.18f;
                const float u = (dx * std::cos(a) + dy * std::sin(a)) / 14.0f;
                fLine = std::max(fLine, 1.0f - std::fabs(u - std::round(u)) * 8.0f);
            }
            fFill += d < 0.97f ? std::max(0.0f, fLine) * (nFrame ? 0.35f : 0.2f) * d : 0.0f;
            const RGBF col = Mix(Rgb(0x2060FF), Rgb(0x80F0FF), std::min(1.0f, fRim + 0.3f * d));
            AddAt(canvas, x, y, col, std::min(1.0f, fFill + fRim * (nFrame ? 1.0f : 0.85f)));
        }
    }
    // Glints on the rim, where the light catches it.
    AddGlow(canvas, 40.0f, 30.0f, 12.0f, Rgb(0xC0F8FF), 0.6f, 1.5f);
    AddGlow(canvas, nFrame ? 96.0f : 92.0f, nFrame ? 94.0f : 100.0f, 8.0f, Rgb(0x80E0FF), 0.5f, 1.5f);
    return canvas.ToBmp24();
}

// A five-pointed yellow star in its own glow: the missiles' heads and trails.
std::vector<uint8_t> StarYellow()
{
    CCanvas canvas(32, 32, kBlack);
    CArtKit kit(canvas);
    const float cx = 16.0f, cy = 16.0f;
    AddGlow(canvas, cx, cy, 15.5f, Rgb(0xB08000), 0.0f, 2.0f);
    std::vector<PTF> pts;
    for (int k = 0; k < 10; k++) {
        const float a = -kPi / 2.0f + (float)k * kPi / 5.0f;
        const float r = k % 2 ? 5.0f : 13.0f;
        pts.push_back(PTF{cx + std::cos(a) * r, cy + std::sin(a) * r});
    }
    kit.Polygon(pts, RadialGradient(cx, cy, 12.0f, Rgb(0xFFFFE0), Rgb(0xFFD020)));
    kit.PolygonOutline(pts, 1.0f, Flat(Rgb(0xC09010)));
    return canvas.ToBmp24();
}

// The fire ball: a white-hot core in orange flame with four short rays.
std::vector<uint8_t> FireSparkle()
{
    CCanvas canvas(32, 32, kBlack);
    AddGlow(canvas, 16.0f, 16.0f, 15.5f, Rgb(0xFF4010), 0.0f, 1.6f);
    CArtKit kit(canvas);
    kit.Stroke(4.0f, 16.0f, 28.0f, 16.0f, 1.5f, Flat(Rgb(0x803010)));
    kit.Stroke(16.0f, 4.0f, 16.0f, 28.0f, 1.5f, Flat(Rgb(0x803010)));
    AddGlow(canvas, 16.0f, 16.0f, 9.0f, Rgb(0xFFC040), 0.6f, 1.0f);
    return canvas.ToBmp24();
}

// A falling drop of fire: a round head at the bottom, its flame streaming up.
std::vector<uint8_t> FireDrop()
{
    CCanvas canvas(32, 32, kBlack);
    CArtKit kit(canvas);
    kit.Shade(0, 0, 32, 32, 2, [](float x, float y, RGBF* pOut) {
        const float dx = (x - 16.0f) / 7.5f, fHead = 21.0f;
        // A teardrop: round below the head's centre, narrowing to a point at the top.
        const float fHalf = y >= fHead ? std::sqrt(std::max(0.0f, 1.0f - std::pow((y - fHead) / 8.0f, 2.0f)))
                                       : std::max(0.0f, (y - 2.0f) / (fHead - 2.0f));
        const float d = std::fabs(dx) / std::max(fHalf, 0.001f);
        if (fHalf <= 0.0f || d >= 1.0f)
            return false;
        const float fHeat = (1.0f - d) * (0.45f + 0.55f * std::clamp((y - 4.0f) / 22.0f, 0.0f, 1.0f)) * 1.25f;
        *pOut = FireColour(fHeat);
        return true;
    });
    return canvas.ToBmp24();
}

// The Ground Wiper's puff: a round, soft cloud of white-blue light with a brighter heart.
std::vector<uint8_t> WiperPuff()
{
    CCanvas canvas(64, 64, kBlack);
    for (int y = 0; y < 64; y++) {
        for (int x = 0; x < 64; x++) {
            const float dx = (float)x + 0.5f - 32.0f, dy = (float)y + 0.5f - 32.0f;
            const float d = std::sqrt(dx * dx + dy * dy) / 30.0f;
            if (d >= 1.0f)
                continue;
            const float n = Fbm((float)x, (float)y, 0x6E11u, 10.0f, 3, 0, 0);
            const float f = std::pow(1.0f - d, 1.3f) * (0.55f + 0.6f * n);
            AddAt(canvas, x, y, Mix(Rgb(0x4080FF), Rgb(0xE0F8FF), 1.0f - d), std::min(1.0f, f));
        }
    }
    return canvas.ToBmp24();
}

// One exhaust flame in the w x h cell at (x0, y0): it leaves the pipe at the cell's right edge,
// half-way down, and licks back to the left, blue-white at the root and orange at the tip.
void Flame(CArtKit& kit, int x0, int y0, int w, int h, float fLength, float fThick, uint32_t nSeed)
{
    const float rx = (float)(x0 + w) - 4.0f, ry = (float)y0 + (float)h / 2.0f;
    kit.Clip(x0, y0, w, h);
    kit.Shade(x0, y0, w, h, 2, [=](float x, float y, RGBF* pOut) {
        const float t = (rx - x) / fLength;  // 0 at the root, 1 at the tip
        if (t < -0.06f || t > 1.0f)
            return false;
        const float n = Fbm(x - (float)x0, y - (float)y0, nSeed, 9.0f, 2, 0, 0);
        const float fHalf = fThick * (t < 0.0f ? 0.6f : (0.6f + 0.8f * std::sin(std::min(t, 1.0f) * kPi * 0.8f))) *
                            (1.0f - 0.85f * t) * (0.85f + 0.3f * n);
        const float d = std::fabs(y - ry) / std::max(fHalf, 0.5f);
        if (d >= 1.0f)
            return false;
        const float fHeat = (1.0f - d * d) * (1.0f - t * 0.75f);
        const RGBF core = Mix(Rgb(0x80C0FF), Rgb(0xFFFFFF), std::clamp(1.0f - t * 3.0f, 0.0f, 1.0f));
        *pOut = t < 0.3f ? Mix(core, FireColour(fHeat), std::clamp(t / 0.3f, 0.0f, 1.0f)) : FireColour(fHeat);
        return fHeat > 0.02f;
    });
    kit.Unclip();
}

std::vector<uint8_t> BackFireSheet()
{
    CCanvas canvas(320, 240, kBlack);
    CArtKit kit(canvas);
    for (int p = 0; p < 3; p++) {
        for (int f = 0; f < 2; f++)
            Flame(kit, 100 * f, 80 * p, 100, 80, f ? 78.0f : 62.0f, f ? 9.0f : 10.5f, 0xBF00u + (uint32_t)(p * 2 + f));
    }
    Flame(kit, 200, 0, 120, 120, 104.0f, 15.0f, 0xBF10u);
    Flame(kit, 200, 120, 120, 120, 90.0f, 17.0f, 0xBF11u);
    return canvas.ToBmp24();
}

} // namespace

void WriteWeaponPictures(CDataSet& data)
{
    data.Write("System/IonShield1.bmp", IonShield(0));
    data.Write("System/IonShield2.bmp", IonShield(1));
    data.Write("System/StarY32.bmp", StarYellow());
    data.Write("System/FireSparkle32.bmp", FireSparkle());
    data.Write("System/FireStorm32.bmp", FireDrop());
    data.Write("System/GroundWiper.bmp", WiperPuff());
    data.Write("System/BackFire.bmp", BackFireSheet());
}
