// The far backgrounds of a stage: the sky it starts under, the day layer with the landscape of its
// theme and the night layer. Each repeats side by side without a visible join: noise is periodic
// over the picture's width and every shape that crosses an edge is drawn again one width away.
// The sky and the day layer share one gradient, so the change from one to the other shows only
// the landscape arriving.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "StageArt.h"

namespace {

const float kTwoPi = 6.2831853f;

PAINT SkyGradient(const STAGETHEME& t, float s, bool bNight)
{
    if (bNight)
        return VerticalGradient(0.0f, Rgb(t.nightTop), 470.0f * s, Rgb(t.nightLow));
    return VerticalStops({{0.0f, Rgb(t.skyTop)},
                          {200.0f * s, Rgb(t.skyMid)},
                          {360.0f * s, Rgb(t.skyLow)},
                          {470.0f * s, Rgb(t.skyHorizon)}});
}

// A soft light blended over the picture, strongest at the centre.
void Glow(CArtKit& kit, float cx, float cy, float r, const RGBF& c, float fStrength)
{
    for (int y = (int)(cy - r); y <= (int)(cy + r); y++) {
        for (int x = (int)(cx - r); x <= (int)(cx + r); x++) {
            const float d = std::sqrt(((float)x + 0.5f - cx) * ((float)x + 0.5f - cx) + ((float)y + 0.5f - cy) * ((float)y + 0.5f - cy)) / r;
            if (d < 1.0f)
                kit.Plot(x, y, c, fStrength * (1.0f - d) * (1.0f - d));
        }
    }
}

void Sun(CArtKit& kit, const STAGETHEME& t, float cx, float cy, float r)
{
    Glow(kit, cx, cy, r * 4.0f, Rgb(t.sunGlow), 0.55f);
    kit.Ellipse(cx, cy, r, r, RadialGradient(cx, cy, r, Rgb(0xFFFFFF), Rgb(t.sun)));
}

void Moon(CArtKit& kit, const STAGETHEME& t, float cx, float cy, float r)
{
    Glow(kit, cx, cy, r * 3.0f, Rgb(t.moon), 0.25f);
    const PAINT shade = SphereShade(cx, cy, r, r, Rgb(t.moon));
    kit.Ellipse(cx, cy, r, r, [&](float x, float y) {
        const float crater = ValueNoise(x, y, t.nSeed + 81, r / 3.0f, 0, 0);
        return Scale(shade(x, y), crater > 0.62f ? 0.82f : 1.0f);
    });
}

void Stars(CArtKit& kit, const STAGETHEME& t, int w, float yMax, int nCount)
{
    for (int i = 0; i < nCount; i++) {
        // Kept off the side edges, so no star is cut in two where the picture repeats.
        const int x = 2 + (int)(Hash01(t.nSeed + 83, i, 0) * (float)(w - 4));
        const float fy = Hash01(t.nSeed + 83, i, 1);
        const int y = (int)(fy * fy * yMax);
        const float b = Hash01(t.nSeed + 83, i, 2);
        kit.Plot(x, y, Rgb(0xFFFFFF), 0.4f + 0.6f * b);
        if (b > 0.9f) {
            for (int k = 0; k < 4; k++)
                kit.Plot(x + (k == 0) - (k == 1), y + (k == 2) - (k == 3), Rgb(0xFFFFFF), 0.45f);
        }
    }
}

// A band of clouds from noise that repeats every w pixels; lit from below when the sun is low.
void Clouds(CArtKit& kit, const STAGETHEME& t, int w, float y0, float y1, float cell, float fAmount)
{
    const bool bLitBelow = t.sunY > 250.0f;
    // The density of every row of the band and three rows either side, worked out once.
    const int nTop = (int)y0 - 3, nRows = (int)y1 - (int)y0 + 6;
    std::vector<float> density((size_t)nRows * (size_t)w);
    for (int r = 0; r < nRows; r++)
        for (int x = 0; x < w; x++)
            density[(size_t)r * w + x] = Fbm((float)x, (float)(nTop + r) * 2.5f, t.nSeed + 85, cell, 5, w, 0);
    auto at = [&](int x, int y) { return density[(size_t)(y - nTop) * w + x]; };
    for (int y = (int)y0; y < (int)y1; y++) {
        // Thickest in the middle of the band, thinning out above and below.
        const float band = std::sqrt(std::sin(((float)y - y0) / (y1 - y0) * 3.14159f));
        for (int x = 0; x < w; x++) {
            const float a = std::clamp((at(x, y) * band - 0.62f + 0.25f * fAmount) * 8.0f, 0.0f, 1.0f);
            if (a <= 0.0f)
                continue;
            const float edge = (at(x, y - 3) - at(x, y + 3)) * 8.0f;
            const float lit = std::clamp(0.5f + (bLitBelow ? edge : -edge), 0.0f, 1.0f);
            kit.Plot(x, y, Mix(Rgb(t.cloudShade), Rgb(t.cloudLit), lit), a * 0.9f);
        }
    }
}

// A skyline top(x) worked out once for every quarter pixel from 4 pixels left of the picture to 4
// right of it (the fills sample it many times per column).
std::function<float(float)> Cached(int w, const std::function<float(float)>& top)
{
    auto cache = std::make_shared<std::vector<float>>();
    for (int i = 0; i < (w + 8) * 4; i++)
        cache->push_back(top((float)i / 4.0f - 4.0f));
    return [cache, top](float x) {
        const long i = std::lround((x + 4.0f) * 4.0f);
        return i >= 0 && i < (long)cache->size() && std::fabs((float)i / 4.0f - 4.0f - x) < 1e-4f ? (*cache)[(size_t)i]
                                                                                                 : top(x);
    };
}

// Everything below the line top(x) in the paint, anti-aliased along the line.
void Silhouette(CArtKit& kit, int w, int y0, int y1, const std::function<float(float)>& top, const PAINT& paint)
{
    kit.Shade(0, y0, w, y1 - y0, 2, [&](float x, float y, RGBF* pOut) {
        if (y < top(x))
            return false;
        *pOut = paint(x, y);
        return true;
    });
}

// Draws a shape at x and one picture width either side, so what crosses an edge wraps around.
void Wrapped(int w, const std::function<void(float)>& fnAt)
{
    for (int k = -1; k <= 1; k++)
        fnAt((float)(k * w));
}

void Hills(CArtKit& kit, const STAGETHEME& t, int w, int h, float base, float amp, uint32_t nSeed, const RGBF& c)
{
    Silhouette(kit, w, (int)(base - amp - 2.0f), h,
               Cached(w, [&](float x) { return base - amp * Fbm(x, 0.0f, nSeed, (float)w / 4.0f, 3, w, 0); }),
               [&](float x, float y) { return Scale(c, 0.95f + 0.1f * ValueNoise(x, y, t.nSeed + 87, 6.0f, w, 0)); });
}

// Little houses with lit windows, standing in a row on the line y = base.
void Houses(CArtKit& kit, const STAGETHEME& t, int w, float s, float base, int nCount, uint32_t nSeed, const RGBF& c)
{
    for (int i = 0; i < nCount; i++) {
        const float x = (float)w * ((float)i + 0.2f * Hash01(nSeed, i, 0)) / (float)nCount;
        const float hw = (10.0f + 8.0f * Hash01(nSeed, i, 1)) * s, hh = (8.0f + 8.0f * Hash01(nSeed, i, 2)) * s;
        Wrapped(w, [&](float off) {
            const float x0 = x + off;
            kit.Polygon({{x0, base}, {x0, base - hh}, {x0 + hw / 2.0f, base - hh - hw * 0.45f}, {x0 + hw, base - hh}, {x0 + hw, base}},
                        Flat(c));
            if (Hash01(nSeed, i, 3) > 0.3f)
                kit.Fill((int)(x0 + hw * 0.35f), (int)(base - hh * 0.7f), std::max(1, (int)(3.0f * s)),
                         std::max(1, (int)(3.0f * s)), Flat(Rgb(t.windowLit)));
        });
    }
}

// A row of buildings filling the width exactly, with roofs of a few kinds and windows lit at random.
void Buildings(CArtKit& kit, const STAGETHEME& t, int w, float s, float base, float minH, float maxH, uint32_t nSeed,
               const RGBF& c, float fLit)
{
    float x = 0.0f;
    for (int i = 0; x < (float)w - 1.0f; i++) {
        float bw = (18.0f + 22.0f * Hash01(nSeed, i, 0)) * s;
        if ((float)w - x - bw < 14.0f * s)
            bw = (float)w - x;
        const float bh = (minH + (maxH - minH) * Hash01(nSeed, i, 1)) * s, top = base - bh;
        const int nRoof = (int)(Hash01(nSeed, i, 2) * 3.0f);
        const RGBF body = Scale(c, 0.92f + 0.16f * Hash01(nSeed, i, 3));
        const float gap = 2.0f * s;
        kit.Fill((int)(x + gap), (int)top, (int)(bw - gap), (int)(base - top) + 1, Flat(body));
        if (nRoof == 1)
            kit.Polygon({{x + gap, top}, {x + bw / 2.0f, top - bw * 0.3f}, {x + bw, top}}, Flat(body));
        else if (nRoof == 2)
            kit.Stroke(x + bw / 2.0f, top, x + bw / 2.0f, top - 10.0f * s, std::max(1.0f, 1.5f * s), Flat(body));
        // Windows on a 6-pixel grid, lit at random.
        const float step = 6.0f * s;
        for (float wy = top + 4.0f * s; wy < base - 4.0f * s; wy += step) {
            for (float wx = x + gap + 3.0f * s; wx < x + bw - 3.0f * s; wx += step) {
                const float r = Hash01(nSeed + 1, (int)(wx / s), (int)(wy / s));
                if (r < fLit)
                    kit.Fill((int)wx, (int)wy, std::max(1, (int)(3.0f * s)), std::max(1, (int)(3.0f * s)),
                             Flat(Mix(Rgb(t.windowLit), Rgb(0xFFFFFF), r * 0.5f)));
            }
        }
        x += bw;
    }
}

void Crane(CArtKit& kit, const STAGETHEME& t, float x, float s, float base, float h, const RGBF& c, bool bNight)
{
    const float lw = std::max(1.0f, 2.0f * s), top = base - h;
    kit.Stroke(x, base, x + 6.0f * s, top, lw, Flat(c));
    kit.Stroke(x + 24.0f * s, base, x + 18.0f * s, top, lw, Flat(c));
    for (float f = 0.2f; f < 0.9f; f += 0.25f)
        kit.Stroke(x + 2.0f * s, base - h * f, x + 22.0f * s, base - h * (f + 0.2f), std::max(1.0f, s), Flat(c));
    kit.Fill((int)(x - 30.0f * s), (int)(top - 4.0f * s), (int)(96.0f * s), (int)(5.0f * s), Flat(c));
    kit.Fill((int)(x + 4.0f * s), (int)(top - 14.0f * s), (int)(16.0f * s), (int)(10.0f * s), Flat(c));
    kit.Stroke(x + 50.0f * s, top, x + 50.0f * s, top + h * 0.45f, std::max(1.0f, 0.8f * s), Flat(c));
    kit.Fill((int)(x + 46.0f * s), (int)(top + h * 0.45f), (int)(8.0f * s) + 1, (int)(5.0f * s) + 1, Flat(c));
    if (bNight)
        kit.Ellipse(x + 65.0f * s, top - 2.0f * s, 2.0f * s + 0.5f, 2.0f * s + 0.5f, Flat(Rgb(0xFF4030)));
    (void)t;
}

void Containers(CArtKit& kit, const STAGETHEME& t, int w, float s, float base, uint32_t nSeed, const RGBF& c)
{
    const RGBF kTints[3] = {Mix(c, Rgb(t.wood), 0.35f), Mix(c, Rgb(0x3A6A9A), 0.3f), Mix(c, Rgb(0x4A7A4A), 0.3f)};
    for (int i = 0; i < 10; i++) {
        const float cw = 30.0f * s, ch = 12.0f * s;
        const float x = (float)w * Hash01(nSeed, i, 0);
        const int nHigh = 1 + (int)(Hash01(nSeed, i, 1) * 3.0f);
        for (int k = 0; k < nHigh; k++) {
            const RGBF tint = kTints[(int)(Hash01(nSeed, i, 2 + k) * 3.0f) % 3];
            Wrapped(w, [&](float off) {
                kit.Fill((int)(x + off), (int)(base - ch * (float)(k + 1)), (int)cw, (int)ch - 1, [&](float px, float) {
                    return Scale(tint, std::fmod(px, 4.0f * s) < 2.0f * s ? 1.0f : 0.85f);
                });
            });
        }
    }
}

void Sea(CArtKit& kit, const STAGETHEME& t, int w, int h, float horizon, float sunX, bool bNight)
{
    const RGBF deep = Rgb(t.water), light = Mix(Rgb(t.water), Rgb(t.skyLow), 0.5f);
    kit.Fill(0, (int)horizon, w, h - (int)horizon, VerticalGradient(horizon, bNight ? Scale(deep, 0.5f) : light,
                                                                      (float)h, Scale(deep, bNight ? 0.35f : 0.8f)));
    for (int y = (int)horizon + 2; y < h; y += 3) {
        for (int x = 0; x < w; x++) {
            const float ripple = ValueNoise((float)x, (float)y * 3.0f, t.nSeed + 89, 12.0f, w, 0);
            const float near = std::max(0.0f, 1.0f - std::fabs((float)x - sunX) / 120.0f);
            if (ripple > 0.72f - 0.2f * near)
                kit.Plot(x, y, bNight ? Rgb(t.windowLit) : Rgb(t.waterLight), bNight ? 0.35f : 0.5f + 0.4f * near);
        }
    }
}

void Mesas(CArtKit& kit, int w, int h, float s, float base, float amp, uint32_t nSeed, const RGBF& c)
{
    const auto top = Cached(w, [&](float x) {
        const float n = Fbm(x, 0.0f, nSeed, (float)w / 3.0f, 3, w, 0);
        return base - amp * std::clamp((n - 0.5f) * 7.0f, 0.0f, 1.0f) - 4.0f * s * n;
    });
    Silhouette(kit, w, (int)(base - amp - 8.0f * s), h, top, [&](float x, float y) {
        const int band = (int)((y + 3.0f * s * ValueNoise(x, 0.0f, nSeed + 1, 20.0f * s, w, 0)) / (7.0f * s));
        // Cliff faces turned to the light are bright, the others in shade; plateaus in between.
        const float slope = top(x + 2.0f) - top(x - 2.0f);
        const float lit = slope > 3.0f * s ? 1.15f : slope < -3.0f * s ? 0.85f : 1.0f;
        return Scale(c, lit * ((band & 1) ? 1.0f : 0.9f));
    });
}

void Dunes(CArtKit& kit, const STAGETHEME& t, int w, int h, float base, const RGBF& c)
{
    const auto top = Cached(w, [&](float x) {
        const float u = x * kTwoPi / (float)w;
        return base - 18.0f * (std::sin(u * 2.0f) + 0.6f * std::sin(u * 5.0f + 1.0f) + 1.6f);
    });
    Silhouette(kit, w, (int)(base - 70.0f), h, top, [&](float x, float y) {
        // Slopes that face the light are brighter, and the sand darkens towards the viewer.
        const float slope = std::clamp((top(x + 2.0f) - top(x - 2.0f)) * 0.12f, -0.12f, 0.12f);
        return Scale(c, (1.0f + slope) * (1.0f - (y - base) / 600.0f));
    });
    (void)t;
}

void Peaks(CArtKit& kit, const STAGETHEME& t, int w, int h, float s, float base, float amp, uint32_t nSeed,
           const RGBF& c)
{
    const int nPeaks = std::max(2, (int)((float)w / (130.0f * s)));
    const auto top = Cached(w, [&](float x) {
        float p = 0.0f;
        for (int i = 0; i < nPeaks; i++) {
            const float cx = (float)w * ((float)i + Hash01(nSeed, i, 0) * 0.6f) / (float)nPeaks;
            const float hh = 0.55f + 0.45f * Hash01(nSeed, i, 1), half = (60.0f + 50.0f * Hash01(nSeed, i, 2)) * s;
            for (int k = -1; k <= 1; k++)
                p = std::max(p, hh * (1.0f - std::fabs(x - cx - (float)(k * w)) / half));
        }
        return base - amp * p - 4.0f * s * Fbm(x, 0.0f, nSeed + 1, 12.0f * s, 2, w, 0);
    });
    const RGBF snow = Rgb(t.capLight), snowShade = Rgb(t.capDark);
    Silhouette(kit, w, (int)(base - amp - 6.0f), h, top, [&](float x, float y) {
        const bool bLit = top(x - 1.0f) > top(x + 1.0f);
        const float snowLine = base - amp * (0.45f + 0.1f * ValueNoise(x, 0.0f, nSeed + 2, 10.0f * s, w, 0));
        if (y < snowLine)
            return bLit ? snow : snowShade;
        return Scale(c, bLit ? 1.1f : 0.88f);
    });
}

void Pines(CArtKit& kit, int w, float s, float base, uint32_t nSeed, const RGBF& c)
{
    for (int i = 0; i < (int)((float)w / (9.0f * s)); i++) {
        const float x = ((float)i + 0.5f) * 9.0f * s, ph = (14.0f + 12.0f * Hash01(nSeed, i, 0)) * s;
        Wrapped(w, [&](float off) {
            kit.Polygon({{x + off - 5.0f * s, base}, {x + off, base - ph}, {x + off + 5.0f * s, base}}, Flat(c));
        });
    }
    kit.Fill(0, (int)base - 1, w, (int)(30.0f * s), Flat(c));
}

void Castle(CArtKit& kit, const STAGETHEME& t, int w, float s, float base, uint32_t nSeed, const RGBF& c, float fLit)
{
    const int nTowers = std::max(3, (int)((float)w / (64.0f * s)));
    for (int i = 0; i < nTowers; i++) {
        const float x = (float)w * ((float)i + 0.3f * Hash01(nSeed, i, 0)) / (float)nTowers;
        const float tw = (24.0f + 16.0f * Hash01(nSeed, i, 1)) * s, th = (70.0f + 130.0f * Hash01(nSeed, i, 2)) * s;
        Wrapped(w, [&](float off) {
            const float x0 = x + off, top = base - th;
            kit.Fill((int)x0, (int)top, (int)tw, (int)th + 1, Flat(c));
            if (Hash01(nSeed, i, 3) > 0.45f) {
                kit.Polygon({{x0 - 3.0f * s, top}, {x0 + tw / 2.0f, top - tw * 1.1f}, {x0 + tw + 3.0f * s, top}}, Flat(c));
                kit.Stroke(x0 + tw / 2.0f, top - tw * 1.1f, x0 + tw / 2.0f, top - tw * 1.1f - 10.0f * s, std::max(1.0f, s), Flat(c));
                kit.Polygon({{x0 + tw / 2.0f, top - tw * 1.1f - 10.0f * s}, {x0 + tw / 2.0f + 8.0f * s, top - tw * 1.1f - 7.0f * s},
                             {x0 + tw / 2.0f, top - tw * 1.1f - 4.0f * s}},
                            Flat(Rgb(t.accent)));
            } else {
                for (float mx = x0; mx < x0 + tw - 1.0f; mx += 8.0f * s)
                    kit.Fill((int)mx, (int)(top - 5.0f * s), (int)(4.0f * s) + 1, (int)(5.0f * s) + 1, Flat(c));
            }
            for (float wy = top + 12.0f * s; wy < base - 20.0f * s; wy += 22.0f * s)
                if (Hash01(nSeed + 1, i, (int)(wy / s)) < fLit)
                    kit.RoundBox(x0 + tw / 2.0f - 2.0f * s, wy, 4.0f * s + 1.0f, 8.0f * s + 1.0f, 2.0f * s,
                                 Flat(Rgb(t.windowLit)));
        });
    }
    // The curtain wall with its battlements.
    const float wallTop = base - 50.0f * s;
    kit.Fill(0, (int)wallTop, w, (int)(base - wallTop) + (int)(60.0f * s), Flat(Scale(c, 0.85f)));
    for (float mx = 0.0f; mx < (float)w; mx += 10.0f * s)
        kit.Fill((int)mx, (int)(wallTop - 6.0f * s), (int)(5.0f * s) + 1, (int)(6.0f * s) + 1, Flat(Scale(c, 0.85f)));
}

// The aurora: curtains of light waving across the top of the night sky.
void Aurora(CArtKit& kit, const STAGETHEME& t, int w, float s)
{
    for (int x = 0; x < w; x++) {
        const float u = (float)x * kTwoPi / (float)w;
        const float yc = (70.0f + 25.0f * std::sin(u * 2.0f) + 12.0f * std::sin(u * 5.0f + 2.0f)) * s;
        const float streak = 0.5f + 0.5f * ValueNoise((float)x, 0.0f, t.nSeed + 91, 3.0f, w, 0);
        for (int y = (int)(yc - 40.0f * s); y < (int)(yc + 30.0f * s); y++) {
            const float d = ((float)y - yc) / (18.0f * s);
            const float a = std::exp(-d * d) * streak * 0.55f;
            kit.Plot(x, y, Mix(Rgb(0x40E0A8), Rgb(0x9060E0), std::clamp(-d * 0.4f + 0.2f, 0.0f, 1.0f)), a);
        }
    }
}

// The landscape of a skyline kind at a depth (0 farthest .. 2 nearest), scaled by s.
void Landscape(CArtKit& kit, const STAGETHEME& t, SKYLINE kind, int w, int h, float s, bool bNight)
{
    const RGBF far = Rgb(t.farFar), mid = Rgb(t.farMid), near = Rgb(t.farNear);
    const RGBF nightFar = Mix(far, Rgb(t.nightTop), 0.55f), nightMid = Mix(mid, Rgb(t.nightTop), 0.45f);
    const RGBF cFar = bNight ? nightFar : far, cMid = bNight ? nightMid : mid;
    const uint32_t seed = t.nSeed + (bNight ? 500 : 0) + (uint32_t)w;
    switch (kind) {
    case SL_HILLS:
        Hills(kit, t, w, h, 450.0f * s, 60.0f * s, seed, cFar);
        if (t.dayline == SL_CITY)
            Houses(kit, t, w, s, 440.0f * s, 14, seed + 1, Scale(cFar, 0.85f));
        Hills(kit, t, w, h, 478.0f * s, 30.0f * s, seed + 2, cMid);
        break;
    case SL_CITY:
        Hills(kit, t, w, h, 430.0f * s, 40.0f * s, seed, cFar);
        Buildings(kit, t, w, s, 470.0f * s, 60.0f, 190.0f, seed + 1, cMid, bNight ? 0.45f : 0.12f);
        Buildings(kit, t, w, s, 490.0f * s, 30.0f, 80.0f, seed + 2, near, bNight ? 0.3f : 0.2f);
        kit.Fill(0, (int)(490.0f * s), w, h, Flat(near));
        break;
    case SL_SEA:
        Sea(kit, t, w, h, 420.0f * s, t.sunX * s, bNight);
        break;
    case SL_HARBOUR:
        Sea(kit, t, w, h, 440.0f * s, (float)w * 0.5f, bNight);
        Buildings(kit, t, w, s, 440.0f * s, 20.0f, 50.0f, seed + 3, cFar, bNight ? 0.35f : 0.0f);
        Wrapped(w, [&](float off) {
            Crane(kit, t, off + (float)w * 0.2f, s, 470.0f * s, 210.0f * s, cMid, bNight);
            if (w >= 400)
                Crane(kit, t, off + (float)w * 0.68f, s, 470.0f * s, 170.0f * s, cMid, bNight);
        });
        Containers(kit, t, w, s, 480.0f * s, seed + 4, near);
        kit.Fill(0, (int)(478.0f * s), w, h, Flat(near));
        break;
    case SL_DUNES:
        Dunes(kit, t, w, h, 450.0f * s, cFar);
        break;
    case SL_MESAS:
        Mesas(kit, w, h, s, 420.0f * s, 120.0f * s, seed, cFar);
        Mesas(kit, w, h, s, 470.0f * s, 90.0f * s, seed + 5, cMid);
        Dunes(kit, t, w, h, 500.0f * s, bNight ? Scale(near, 0.6f) : near);
        break;
    case SL_PEAKS:
        Peaks(kit, t, w, h, s, 430.0f * s, 220.0f * s, seed, cFar);
        if (t.dayline == kind && h > 256 && w < 640)
            Peaks(kit, t, w, h, s, 470.0f * s, 150.0f * s, seed + 6, cMid);
        Pines(kit, w, s, 478.0f * s, seed + 7, bNight ? Scale(near, 0.6f) : near);
        break;
    case SL_CASTLE:
        Hills(kit, t, w, h, 440.0f * s, 50.0f * s, seed, cFar);
        Castle(kit, t, w, s, 480.0f * s, seed + 8, cMid, bNight ? 0.7f : 0.45f);
        break;
    }
}

} // namespace

void DrawSky(CArtKit& kit, const STAGETHEME& t, int w, int h)
{
    kit.Fill(0, 0, w, h, SkyGradient(t, 1.0f, false));
    Sun(kit, t, t.sunX, t.sunY, t.sunR);
    Clouds(kit, t, w, 60.0f, 300.0f, 160.0f, 0.55f);
    Landscape(kit, t, t.skyline, w, h, 1.0f, false);
}

void DrawDayFar(CArtKit& kit, const STAGETHEME& t, int w, int h)
{
    kit.Fill(0, 0, w, h, SkyGradient(t, 1.0f, false));
    Clouds(kit, t, w, 80.0f, 260.0f, 100.0f, 0.45f);
    Landscape(kit, t, t.dayline, w, h, 1.0f, false);
}

void DrawNightFar(CArtKit& kit, const STAGETHEME& t, int w, int h)
{
    const float s = (float)h / 512.0f;
    kit.Fill(0, 0, w, h, SkyGradient(t, s, true));
    Stars(kit, t, w, (float)h * 0.7f, w / 2);
    if (t.nightline == SL_PEAKS)
        Aurora(kit, t, w, s);
    Moon(kit, t, (float)w * 0.6f, 110.0f * s, (t.nightline == SL_MESAS ? 44.0f : 30.0f) * s);
    Landscape(kit, t, t.nightline, w, h, s, true);
}
