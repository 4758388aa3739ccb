#include "SaberPictures.h"

#include <algorithm>
#include <cmath>

namespace {

// The distance from (px, py) to the segment (x0, y0)-(x1, y1).
float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    const float ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace

void DrawSaberGlow(CCanvas& canvas, int x, int y, int w, int h, int nFrame, const RGBF& colour)
{
    const float W = (float)w, H = (float)h;
    // The blade leaves the hilt at the upper left and points down-right; frame 1 flares wider.
    const float x0 = W * 0.12f, y0 = H * 0.18f, x1 = W * 0.9f, y1 = H * 0.84f;
    const float fCore = nFrame ? 3.0f : 2.4f;
    const float fHalo = std::min(W, H) * (nFrame ? 0.5f : 0.42f);
    const RGBF white{255.0f, 255.0f, 255.0f};
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            const float px = (float)i + 0.5f, py = (float)j + 0.5f;
            const float d = SegmentDistance(px, py, x0, y0, x1, y1);
            // A ripple along the blade, shifted between the frames, makes the flicker.
            const float fAlong = (px - x0) * 0.13f + (float)nFrame * 1.7f;
            const float fRipple = 0.85f + 0.15f * std::sin(fAlong);
            float fHaloLight = std::max(0.0f, 1.0f - d / fHalo);
            fHaloLight = fHaloLight * fHaloLight * fRipple;
            const float fCoreLight = std::max(0.0f, 1.0f - d / fCore);
            // Nothing at the cell's edge, so the additive quad shows no border.
            const float fEdge = std::min({px, py, W - px, H - py});
            const float fFade = std::clamp((fEdge - 0.5f) / 4.0f, 0.0f, 1.0f);
            const RGBF c = Scale(Mix(Scale(colour, fHaloLight), white, fCoreLight), fFade);
            canvas.Set(x + i, y + j, Quantise(c, x + i, y + j));
        }
    }
}
