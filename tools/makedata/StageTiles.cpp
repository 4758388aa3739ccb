// The stage's terrain: ground blocks, slopes, platforms, crates, the safe, spikes and the lift.
//
// Ground and slopes are one material seen through different outlines: a cap band that follows the
// surface and a body below it, both periodic over the 64-pixel cell. So blocks side by side and a
// slope next to flat ground join without a seam, and a slope's cap runs on into the flat cap.
#include <algorithm>
#include <cmath>

#include "StageArt.h"

namespace {

const int kCell = 64;

float Wrap64(float v)
{
    v = std::fmod(v, (float)kCell);
    return v < 0.0f ? v + (float)kCell : v;
}

float Smooth(float a, float b, float v)
{
    const float t = std::clamp((v - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// How deep the cap band reaches below the surface at x.
float CapDepth(const STAGETHEME& t, float x)
{
    switch (t.ground) {
    case GS_STRATA:
        return 9.0f + 4.0f * ValueNoise(x, 0.0f, t.nSeed + 7, 16.0f, kCell, 0);
    case GS_COBBLE: {
        // Snow with a few short icicles hanging from it.
        const float kDrips[3][3] = {{11.0f, 6.0f, 3.5f}, {31.0f, 9.0f, 4.5f}, {50.0f, 5.0f, 3.0f}};
        float drip = 0.0f;
        for (const auto& d : kDrips)
            drip = std::max(drip, d[1] * (1.0f - std::fabs(Wrap64(x - d[0] + 32.0f) - 32.0f) / d[2]));
        return 10.0f + 3.0f * ValueNoise(x, 0.0f, t.nSeed + 7, 16.0f, kCell, 0) + drip;
    }
    default:
        return 11.0f;
    }
}

RGBF CapColour(const STAGETHEME& t, float x, float d, float capH)
{
    const float grain = ValueNoise(x, d, t.nSeed + 11, 3.0f, kCell, 0) - 0.5f;
    switch (t.ground) {
    case GS_BRICK: {
        if (Wrap64(x) - 32.0f * std::floor(Wrap64(x) / 32.0f) < 1.5f || d > capH - 2.0f)
            return Rgb(t.capDark);
        const RGBF c = Mix(Rgb(t.capLight), Rgb(t.cap), Smooth(1.5f, 5.0f, d));
        return Scale(c, 1.0f + grain * 0.08f);
    }
    case GS_PLATES: {
        if (d < 4.0f)
            return Mix(Rgb(t.capLight), Rgb(t.metal), Smooth(1.5f, 4.0f, d));
        if (d > capH - 1.5f)
            return Rgb(t.joint);
        const bool bYellow = ((int)std::floor(Wrap64(x + d) / 8.0f) & 1) == 0;
        return Scale(Rgb(bYellow ? t.cap : t.capDark), 1.0f + grain * 0.1f);
    }
    case GS_STRATA: {
        const float speck = Hash01(t.nSeed + 13, (int)Wrap64(x), (int)d);
        const RGBF c = Mix(Rgb(t.capLight), Rgb(t.cap), Smooth(1.5f, capH, d));
        return speck > 0.93f ? Rgb(t.capDark) : Scale(c, 1.0f + grain * 0.1f);
    }
    case GS_COBBLE: {
        const RGBF c = Mix(Rgb(t.capLight), Rgb(t.capDark), Smooth(3.0f, capH + 2.0f, d));
        return Hash01(t.nSeed + 13, (int)Wrap64(x), (int)d) > 0.97f ? Rgb(0xFFFFFF) : c;
    }
    case GS_ASHLAR: {
        // An iron band with studs every 16 pixels.
        const float sx = Wrap64(x) - 16.0f * std::floor(Wrap64(x) / 16.0f) - 8.0f, sy = d - capH / 2.0f;
        const float r = std::sqrt(sx * sx + sy * sy);
        if (r < 2.8f)
            return Lit(Rgb(t.capLight), sx / 2.8f, sy / 2.8f, std::sqrt(std::max(0.0f, 1.0f - r * r / 7.84f)));
        if (d > capH - 1.5f)
            return Rgb(t.joint);
        return Mix(Rgb(t.capLight), Rgb(t.cap), Smooth(1.5f, 4.5f, d));
    }
    }
    return Rgb(t.cap);
}

// Where a point lies in courses of w x h blocks, every other course shifted by half a block: the
// block's column and row and the point's place inside it. The joint lies along its top and left.
struct COURSE {
    int col, row;
    float lx, ly;
    bool bJoint;
};

COURSE CourseAt(float x, float y, float w, float h)
{
    COURSE c;
    c.row = (int)std::floor(y / h);
    const float bx = Wrap64(x + ((c.row & 1) ? w / 2.0f : 0.0f));
    c.col = (int)(bx / w);
    c.lx = bx - w * (float)c.col;
    c.ly = y - h * (float)c.row;
    c.bJoint = c.lx < 1.5f || c.ly < 1.5f;
    return c;
}

RGBF BrickColour(const STAGETHEME& t, float x, float y)
{
    const COURSE b = CourseAt(x, y, 16.0f, 8.0f);
    const float ly = b.ly;
    if (b.bJoint)
        return Rgb(t.joint);
    RGBF c = Mix(Rgb(t.body), Rgb(t.bodyAlt), Hash01(t.nSeed, b.col, b.row & 7));
    c = Scale(c, 0.94f + 0.12f * ValueNoise(x, y, t.nSeed + 3, 4.0f, kCell, 0));
    return Scale(c, ly < 3.0f ? 1.1f : ly > 6.5f ? 0.86f : 1.0f);
}

RGBF PlateColour(const STAGETHEME& t, float x, float y)
{
    const float px = Wrap64(x), py = y;
    const float lx = px - 32.0f * std::floor(px / 32.0f), ly = py - 32.0f * std::floor(py / 32.0f);
    if (lx < 1.5f || ly < 1.5f)
        return Rgb(t.joint);
    for (float rx : {5.5f, 27.0f}) {
        for (float ry : {5.5f, 27.0f}) {
            const float dx = lx - rx, dy = ly - ry;
            if (dx * dx + dy * dy < 5.0f)
                return Lit(Rgb(t.capLight), dx / 2.2f, dy / 2.2f, 0.6f);
        }
    }
    RGBF c = Mix(Rgb(t.body), Rgb(t.bodyAlt), Hash01(t.nSeed, (int)(px / 32.0f), (int)(py / 32.0f)));
    c = Scale(c, 1.08f - ly / 32.0f * 0.16f);
    const float rust = Fbm(x, y, t.nSeed + 5, 16.0f, 3, kCell, kCell);
    return rust > 0.62f ? Mix(c, Rgb(0x8A5A3A), std::min(1.0f, (rust - 0.62f) * 4.0f)) : c;
}

RGBF StrataColour(const STAGETHEME& t, float x, float y)
{
    const float v = y + 5.0f * ValueNoise(x, 0.0f, t.nSeed + 9, 32.0f, kCell, 0);
    const int band = (int)std::floor(v / 9.0f);
    const float lv = v - 9.0f * (float)band;
    const RGBF kBands[3] = {Rgb(t.body), Rgb(t.bodyAlt), Mix(Rgb(t.body), Rgb(t.cap), 0.5f)};
    RGBF c = kBands[(int)(Hash01(t.nSeed, band & 7, 0) * 3.0f) % 3];
    if (lv < 1.2f)
        c = Mix(c, Rgb(t.joint), 0.6f);
    return Scale(c, 0.93f + 0.14f * ValueNoise(x * 2.0f, y * 0.5f, t.nSeed + 4, 6.0f, 2 * kCell, 0));
}

RGBF CobbleColour(const STAGETHEME& t, float x, float y)
{
    // Stones around jittered points on a 16-pixel lattice, 4 x 4 per cell (so it tiles).
    const float kStep = 16.0f;
    const int ci = (int)std::floor(x / kStep), cj = (int)std::floor(y / kStep);
    float d1 = 1e9f, d2 = 1e9f, nx = 0.0f, ny = 0.0f;
    int nBest = 0;
    for (int j = cj - 1; j <= cj + 1; j++) {
        for (int i = ci - 1; i <= ci + 1; i++) {
            const int wi = ((i % 4) + 4) % 4, wj = ((j % 4) + 4) % 4;
            const float px = ((float)i + 0.2f + 0.6f * Hash01(t.nSeed, wi, wj)) * kStep;
            const float py = ((float)j + 0.2f + 0.6f * Hash01(t.nSeed + 1, wi, wj)) * kStep;
            const float d = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
            if (d < d1) {
                d2 = d1;
                d1 = d;
                nx = x - px;
                ny = y - py;
                nBest = wi + 4 * wj;
            } else if (d < d2) {
                d2 = d;
            }
        }
    }
    if (d2 - d1 < 2.0f)
        return Rgb(t.joint);
    const RGBF c = Mix(Rgb(t.body), Rgb(t.bodyAlt), Hash01(t.nSeed + 2, nBest, 0));
    const float edge = std::clamp((d2 - d1) / 7.0f, 0.0f, 1.0f);
    const float len = std::max(0.01f, std::sqrt(nx * nx + ny * ny));
    return Lit(c, nx / len * (1.0f - edge), ny / len * (1.0f - edge), edge + 0.2f);
}

RGBF AshlarColour(const STAGETHEME& t, float x, float y)
{
    const COURSE b = CourseAt(x, y, 32.0f, 16.0f);
    const float lx = b.lx, ly = b.ly;
    if (b.bJoint)
        return Rgb(t.joint);
    RGBF c = Mix(Rgb(t.body), Rgb(t.bodyAlt), Hash01(t.nSeed, b.col, b.row & 3));
    c = Scale(c, 0.92f + 0.16f * Fbm(x, y, t.nSeed + 6, 8.0f, 2, kCell, kCell));
    if (ly < 3.5f || lx < 3.5f)
        c = Scale(c, 1.15f);
    else if (ly > 13.5f || lx > 29.5f)
        c = Scale(c, 0.8f);
    const float moss = Fbm(x, y, t.nSeed + 8, 12.0f, 3, kCell, kCell);
    return moss > 0.64f ? Mix(c, Rgb(0x4A5A3A), std::min(1.0f, (moss - 0.64f) * 5.0f)) : c;
}

RGBF BodyColour(const STAGETHEME& t, float x, float y)
{
    switch (t.ground) {
    case GS_BRICK:
        return BrickColour(t, x, y);
    case GS_PLATES:
        return PlateColour(t, x, y);
    case GS_STRATA:
        return StrataColour(t, x, y);
    case GS_COBBLE:
        return CobbleColour(t, x, y);
    case GS_ASHLAR:
        return AshlarColour(t, x, y);
    }
    return Rgb(t.body);
}

// The terrain material at a point d pixels below the surface.
RGBF TerrainColour(const STAGETHEME& t, float x, float y, float d)
{
    if (d < 1.5f)
        return Rgb(t.outline);
    const float capH = CapDepth(t, x);
    if (d < capH)
        return CapColour(t, x, d, capH);
    // The cap casts a short shadow onto the body.
    return Scale(BodyColour(t, x, y), 0.72f + 0.28f * Smooth(capH, capH + 6.0f, d));
}

// A block's surface runs from y = fLeft at its left edge to fRight at its right edge.
void DrawTerrain(CArtKit& kit, const STAGETHEME& t, int x, int y, float fLeft, float fRight,
                 const std::function<bool(float, float, RGBF*)>& fnDetail)
{
    kit.Clip(x, y, kCell, kCell);
    kit.Shade(x, y, kCell, kCell, 4, [&](float px, float py, RGBF* pOut) {
        const float lx = px - (float)x, ly = py - (float)y;
        const float top = fLeft + (fRight - fLeft) * lx / (float)kCell;
        if (ly < top)
            return false;
        if (!fnDetail || !fnDetail(lx, ly, pOut))
            *pOut = TerrainColour(t, lx, ly, ly - top);
        return true;
    });
    kit.Unclip();
}

// What the second ground block shows away from its edges, so it still joins its neighbours.
bool GroundDetail(const STAGETHEME& t, float lx, float ly, RGBF* pOut)
{
    const float cx = lx - 32.0f, cy = ly - 40.0f;
    switch (t.ground) {
    case GS_BRICK: {
        // A barred vent.
        if (std::fabs(cx) < 13.0f && std::fabs(cy) < 9.0f) {
            const bool bBar = std::fmod(lx - 19.0f, 6.5f) < 2.0f;
            const bool bRim = std::fabs(cx) > 11.0f || std::fabs(cy) > 7.0f;
            *pOut = bRim ? Rgb(t.capDark) : bBar ? Lit(Rgb(t.metal), 0.0f, -0.3f, 1.0f) : Rgb(0x181010);
            return true;
        }
        return false;
    }
    case GS_PLATES: {
        // A bolted hatch.
        const float r = std::sqrt(cx * cx + cy * cy);
        if (r < 12.0f) {
            const float a = std::atan2(cy, cx) * 8.0f / 6.2831853f;
            const bool bBolt = r > 8.5f && r < 11.0f && std::fabs(a - std::round(a)) < 0.18f;
            *pOut = bBolt ? Rgb(t.capLight) : r > 10.0f ? Rgb(t.joint) : Lit(Rgb(t.metal), cx / 12.0f, cy / 12.0f, 0.8f);
            return true;
        }
        return false;
    }
    case GS_STRATA:
    case GS_COBBLE: {
        // An embedded boulder (ice-crusted in the cold).
        const float r = std::sqrt(cx * cx / 1.8f + cy * cy);
        if (r < 9.0f) {
            const uint32_t base = t.ground == GS_COBBLE ? 0x9CC8E4 : t.capDark;
            *pOut = Lit(Rgb(base), cx / 12.0f, cy / 9.0f, std::sqrt(std::max(0.05f, 1.0f - r * r / 81.0f)));
            return true;
        }
        return false;
    }
    case GS_ASHLAR: {
        // An arrow slit with a glow behind it.
        if (std::fabs(cx) < 3.5f && std::fabs(cy) < 12.0f) {
            *pOut = Mix(Rgb(t.accent), Rgb(0x200808), std::fabs(cy) / 12.0f);
            return true;
        }
        return false;
    }
    }
    return false;
}

} // namespace

void DrawGroundTile(CArtKit& kit, const STAGETHEME& t, int x, int y, int nVariant)
{
    if (nVariant == 0) {
        DrawTerrain(kit, t, x, y, 0.0f, 0.0f, nullptr);
    } else {
        DrawTerrain(kit, t, x, y, 0.0f, 0.0f,
                    [&t](float lx, float ly, RGBF* pOut) { return GroundDetail(t, lx, ly, pOut); });
    }
}

void DrawSlopeTile(CArtKit& kit, const STAGETHEME& t, int x, int y, int nPiece, bool bRising)
{
    // The whole slope spans three cells and climbs one cell: a third per cell.
    const float kRise = (float)kCell / 3.0f;
    const float fLeft = bRising ? (float)kCell - kRise * (float)nPiece : kRise * (float)nPiece;
    const float fRight = bRising ? fLeft - kRise : fLeft + kRise;
    DrawTerrain(kit, t, x, y, fLeft, fRight, nullptr);
}

void DrawEdgeTile(CArtKit& kit, const STAGETHEME& t, int x, int y, bool bCap, int nOpen)
{
    kit.Clip(x, y, kCell, kCell);
    kit.Shade(x, y, kCell, kCell, 4, [&](float px, float py, RGBF* pOut) {
        const float lx = px - (float)x, ly = py - (float)y;
        // How far in from the open side; the material runs on as if the ground went on.
        const float side = nOpen < 0 ? lx : nOpen > 0 ? (float)kCell - lx : 1e9f;
        if (side < 1.5f) {
            *pOut = Rgb(t.outline);
            return true;
        }
        // Without a cap the cell is as deep below the surface as the cell above it is tall.
        const RGBF c = TerrainColour(t, lx, ly, bCap ? ly : ly + (float)kCell);
        *pOut = side < 8.0f ? Scale(c, 0.62f + 0.38f * Smooth(1.5f, 8.0f, side)) : c;
        return true;
    });
    kit.Unclip();
}

void DrawSign(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y;
    kit.Clip(x, y, kCell, kCell);
    // A post in the ground, a diamond board on it: the gap drawn as a broken line under a "!".
    const RGBF post = t.ground == GS_PLATES || t.ground == GS_ASHLAR ? Rgb(t.metal) : Rgb(t.wood);
    kit.Fill(x + 29, y + 30, 6, 34, CylinderShade(fx + 29.0f, 6.0f, post));
    kit.Stroke(fx + 29.5f, fy + 31.0f, fx + 29.5f, fy + 63.0f, 1.2f, Flat(Rgb(t.outline)));
    kit.Stroke(fx + 34.5f, fy + 31.0f, fx + 34.5f, fy + 63.0f, 1.2f, Flat(Rgb(t.outline)));
    const std::vector<PTF> board = {{fx + 32.0f, fy + 3.0f}, {fx + 56.0f, fy + 27.0f}, {fx + 32.0f, fy + 51.0f},
                                    {fx + 8.0f, fy + 27.0f}};
    kit.Polygon(board, VerticalGradient(fy + 3.0f, Scale(Rgb(t.accent), 1.15f), fy + 51.0f, Scale(Rgb(t.accent), 0.85f)));
    kit.PolygonOutline(board, 2.2f, Flat(Rgb(t.outline)));
    const RGBF ink = Rgb(t.outline);
    kit.RoundBox(fx + 30.0f, fy + 13.0f, 4.0f, 14.0f, 1.5f, Flat(ink));
    kit.Ellipse(fx + 32.0f, fy + 31.0f, 2.2f, 2.2f, Flat(ink));
    kit.Fill(x + 19, y + 37, 9, 3, Flat(ink));
    kit.Fill(x + 36, y + 37, 9, 3, Flat(ink));
    if (t.bSnow)
        kit.Polygon({{fx + 26.0f, fy + 9.0f}, {fx + 32.0f, fy + 3.0f}, {fx + 38.0f, fy + 9.0f}, {fx + 32.0f, fy + 7.0f}},
                    Flat(Rgb(t.capLight)));
    kit.Unclip();
}

void DrawPlatform(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const bool bGirder = t.ground == GS_PLATES || t.ground == GS_ASHLAR;
    kit.Clip(x, y, kCell, 16);
    kit.Shade(x, y, kCell, 16, 4, [&](float px, float py, RGBF* pOut) {
        const float lx = px - (float)x, ly = py - (float)y;
        if (ly < 1.2f || ly > 14.8f) {
            *pOut = Rgb(t.outline);
            return true;
        }
        if (bGirder) {
            // Flanges top and bottom, a web with lightening holes.
            const float hx = Wrap64(lx) - 16.0f * std::floor(Wrap64(lx) / 16.0f) - 8.0f, hy = ly - 8.0f;
            if (ly > 5.0f && ly < 11.0f && hx * hx + hy * hy < 7.0f)
                return false;
            if (ly < 5.0f)
                *pOut = Lit(Rgb(t.metal), 0.0f, ly < 2.6f ? -1.0f : 0.0f, 1.0f);
            else if (ly > 11.0f)
                *pOut = Lit(Rgb(t.metal), 0.0f, 0.6f, 0.8f);
            else
                *pOut = Scale(Rgb(t.metal), 0.8f);
            return true;
        }
        // Two boards with grain, a joint in the middle (so platforms side by side run on as one
        // plank) and nails either side of it.
        const float grain = ValueNoise(lx * 0.25f, ly * 2.0f, t.nSeed + 21, 3.0f, kCell / 4, 0);
        RGBF c = Scale(Rgb(t.wood), 0.88f + 0.24f * grain);
        if (std::fabs(ly - 8.0f) < 0.8f || std::fabs(lx - 32.0f) < 0.75f)
            c = Scale(Rgb(t.wood), 0.45f);
        else if (ly < 3.0f || (ly > 8.8f && ly < 10.5f))
            c = Scale(c, 1.15f);
        else if (ly > 12.5f)
            c = Scale(c, 0.8f);
        for (float nx : {27.0f, 37.0f})
            for (float ny : {4.8f, 11.5f})
                if ((lx - nx) * (lx - nx) + (ly - ny) * (ly - ny) < 1.6f)
                    c = Rgb(0x3A3A40);
        if (t.bSnow && ly < 4.0f + 1.5f * ValueNoise(lx, 0.0f, t.nSeed + 22, 10.0f, kCell, 0))
            c = Mix(Rgb(t.capLight), Rgb(t.capDark), ly / 6.0f);
        *pOut = c;
        return true;
    });
    kit.Unclip();
}

void DrawCrate(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y;
    kit.Clip(x, y, kCell, kCell);
    const RGBF wood = Rgb(t.wood);
    if (t.ground == GS_PLATES) {
        // A small cargo container: ribbed walls between a top and a bottom rail.
        kit.Shade(x, y, kCell, kCell, 2, [&](float px, float, RGBF* pOut) {
            const float rib = std::sin((px - fx) * 6.2831853f / 8.0f);
            *pOut = Lit(wood, rib * 0.7f, 0.0f, 1.0f);
            return true;
        });
        kit.Bevel(fx, fy, 64.0f, 8.0f, 2.0f, Scale(wood, 0.8f));
        kit.Bevel(fx, fy + 56.0f, 64.0f, 8.0f, 2.0f, Scale(wood, 0.7f));
        for (float bx : {26.0f, 36.0f})
            kit.Stroke(fx + bx, fy + 12.0f, fx + bx, fy + 52.0f, 3.0f, Flat(Lit(Rgb(t.metal), -0.5f, 0.0f, 1.0f)));
    } else {
        kit.Bevel(fx, fy, 64.0f, 64.0f, 8.0f, Scale(wood, 0.9f));
        // Boards behind a diagonal brace.
        kit.Shade(x + 8, y + 8, 48, 48, 2, [&](float px, float py, RGBF* pOut) {
            const float lx = px - fx - 8.0f;
            const float grain = ValueNoise(lx * 3.0f, py - fy, t.nSeed + 31, 6.0f, 0, 0);
            *pOut = std::fmod(lx, 12.0f) < 1.2f ? Scale(wood, 0.5f) : Scale(wood, 0.82f + 0.22f * grain);
            return true;
        });
        kit.Polygon({{fx + 8.0f, fy + 48.0f}, {fx + 48.0f, fy + 8.0f}, {fx + 56.0f, fy + 8.0f}, {fx + 56.0f, fy + 16.0f},
                     {fx + 16.0f, fy + 56.0f}, {fx + 8.0f, fy + 56.0f}},
                    Flat(Lit(wood, -0.3f, -0.3f, 1.0f)));
        for (float nx : {4.0f, 60.0f})
            for (float ny : {4.0f, 60.0f})
                kit.Ball(fx + nx, fy + ny, 1.8f, 1.8f, Rgb(t.metal));
    }
    if (t.ground == GS_ASHLAR) {
        for (float by : {14.0f, 46.0f}) {
            kit.Bevel(fx, fy + by, 64.0f, 6.0f, 1.5f, Rgb(t.metal));
            kit.Ellipse(fx + 10.0f, fy + by + 3.0f, 1.6f, 1.6f, Flat(Rgb(t.capLight)));
            kit.Ellipse(fx + 54.0f, fy + by + 3.0f, 1.6f, 1.6f, Flat(Rgb(t.capLight)));
        }
    }
    if (t.bSnow) {
        kit.Shade(x, y, kCell, 10, 4, [&](float px, float py, RGBF* pOut) {
            const float depth = 4.0f + 4.0f * ValueNoise(px - fx, 0.0f, t.nSeed + 33, 12.0f, 0, 0);
            if (py - fy > depth)
                return false;
            *pOut = Mix(Rgb(t.capLight), Rgb(t.capDark), (py - fy) / depth);
            return true;
        });
    }
    kit.RoundBoxOutline(fx, fy, 64.0f, 64.0f, 2.0f, 1.5f, Flat(Rgb(t.outline)));
    kit.Unclip();
}

void DrawSafe(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y;
    const RGBF metal = Rgb(t.metal);
    kit.Clip(x, y, kCell, kCell);
    kit.Bevel(fx, fy, 64.0f, 64.0f, 6.0f, metal);
    kit.Fill(x + 6, y + 6, 52, 52, VerticalGradient(fy + 6.0f, Scale(metal, 1.12f), fy + 58.0f, Scale(metal, 0.85f)));
    kit.RoundBoxOutline(fx + 9.0f, fy + 9.0f, 46.0f, 46.0f, 3.0f, 1.5f, Flat(Scale(metal, 0.6f)));
    // The dial and its handle.
    kit.Ball(fx + 32.0f, fy + 32.0f, 11.0f, 11.0f, Scale(metal, 1.2f));
    kit.EllipseOutline(fx + 32.0f, fy + 32.0f, 11.0f, 11.0f, 1.5f, Flat(Rgb(t.outline)));
    kit.Stroke(fx + 32.0f, fy + 32.0f, fx + 39.0f, fy + 25.0f, 3.0f, Flat(Rgb(t.outline)));
    for (float rx : {12.0f, 52.0f})
        for (float ry : {12.0f, 52.0f})
            kit.Ball(fx + rx, fy + ry, 2.2f, 2.2f, Scale(metal, 1.3f));
    kit.RoundBoxOutline(fx, fy, 64.0f, 64.0f, 2.0f, 1.5f, Flat(Rgb(t.outline)));
    kit.Unclip();
}

void DrawSpikes(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y;
    const RGBF metal = Rgb(t.metal);
    kit.Clip(x, y, kCell, kCell);
    for (int i = 0; i < 4; i++) {
        const float cx = fx + 8.0f + 16.0f * (float)i, base = fy + 57.0f, tip = fy + 26.0f;
        const std::vector<PTF> spike = {{cx - 7.5f, base}, {cx, tip}, {cx + 7.5f, base}};
        kit.Polygon({{cx - 7.5f, base}, {cx, tip}, {cx, base}}, Flat(Lit(metal, -0.8f, -0.2f, 0.6f)));
        kit.Polygon({{cx, tip}, {cx + 7.5f, base}, {cx, base}}, Flat(Lit(metal, 0.8f, -0.2f, 0.6f)));
        kit.Polygon({{cx - 2.0f, tip + 8.0f}, {cx, tip}, {cx + 2.0f, tip + 8.0f}}, Flat(Rgb(t.accent)));
        kit.PolygonOutline(spike, 1.2f, Flat(Rgb(t.outline)));
    }
    kit.Bevel(fx, fy + 56.0f, 64.0f, 8.0f, 2.0f, Scale(metal, 0.8f));
    kit.Unclip();
}

void DrawLift(CArtKit& kit, const STAGETHEME& t, int x, int y)
{
    const float fx = (float)x, fy = (float)y;
    const RGBF metal = Rgb(t.metal);
    kit.Clip(x, y, kCell, 32);
    kit.Bevel(fx, fy + 5.0f, 64.0f, 19.0f, 3.0f, metal);
    kit.Shade(x, y, kCell, 6, 4, [&](float px, float py, RGBF* pOut) {
        const bool bStripe = ((int)std::floor((px - fx + py - fy) / 7.0f) & 1) == 0;
        *pOut = Rgb(bStripe ? t.accent : t.outline);
        return true;
    });
    for (float wx : {14.0f, 50.0f}) {
        kit.Ball(fx + wx, fy + 27.0f, 4.5f, 4.5f, Scale(metal, 0.7f));
        kit.EllipseOutline(fx + wx, fy + 27.0f, 4.5f, 4.5f, 1.2f, Flat(Rgb(t.outline)));
    }
    kit.Polygon({{fx + 26.0f, fy + 18.0f}, {fx + 32.0f, fy + 10.0f}, {fx + 38.0f, fy + 18.0f}}, Flat(Rgb(t.accent)));
    kit.RoundBoxOutline(fx, fy, 64.0f, 25.0f, 1.0f, 1.2f, Flat(Rgb(t.outline)));
    kit.Unclip();
}
