#include "ArtKit.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/Gdi.h"

namespace {

bool g_bLabelled = false;

// 5-bit and 6-bit levels as 8-bit values that the game's truncation turns back into the level,
// black and white kept exact.
int Rep5(int n) { return (n << 3) | (n >> 2); }
int Rep6(int n) { return (n << 2) | (n >> 4); }

// Ordered 4 x 4 dither thresholds in (0, 1).
const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

int QuantiseChannel(float v, int nBits, float t)
{
    const int nMax = (1 << nBits) - 1;
    auto rep = nBits == 5 ? Rep5 : Rep6;
    v = std::clamp(v, 0.0f, 255.0f);
    int n = std::min(nMax, (int)v >> (8 - nBits));
    while (n > 0 && (float)rep(n) > v)
        n--;
    if (n < nMax) {
        const float lo = (float)rep(n), hi = (float)rep(n + 1);
        if ((v - lo) / (hi - lo) > t)
            n++;
    }
    return n;
}

RGBF Raw(uint32_t c)
{
    return RGBF{(float)((c >> 16) & 0xFF), (float)((c >> 8) & 0xFF), (float)(c & 0xFF)};
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

float SegmentDistance(float px, float py, const PTF& a, const PTF& b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0.0f ? Clamp01(((px - a.x) * dx + (py - a.y) * dy) / len2) : 0.0f;
    return Length(px - a.x - dx * t, py - a.y - dy * t);
}

// Signed distance to a polygon (negative inside, even-odd rule).
float PolygonDistance(const std::vector<PTF>& pts, float px, float py)
{
    float d = 1e9f;
    bool bInside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const PTF& a = pts[j];
        const PTF& b = pts[i];
        d = std::min(d, SegmentDistance(px, py, a, b));
        if ((a.y <= py) != (b.y <= py) && px < a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y))
            bInside = !bInside;
    }
    return bInside ? -d : d;
}

float EllipseDistance(float px, float py, float rx, float ry)
{
    if (rx == ry)
        return Length(px, py) - rx;
    const float k0 = Length(px / rx, py / ry);
    const float k1 = Length(px / (rx * rx), py / (ry * ry));
    return k1 > 0.0f ? k0 * (k0 - 1.0f) / k1 : -std::min(rx, ry);
}

float RoundBoxDistance(float px, float py, float hx, float hy, float r)
{
    const float qx = std::fabs(px) - (hx - r), qy = std::fabs(py) - (hy - r);
    return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
}

struct BOUNDS {
    float x0, y0, x1, y1;
};

BOUNDS BoundsOf(const std::vector<PTF>& pts)
{
    BOUNDS b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const PTF& p : pts) {
        b.x0 = std::min(b.x0, p.x);
        b.x1 = std::max(b.x1, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.y1 = std::max(b.y1, p.y);
    }
    return b;
}

// The band of width w just inside a shape whose signed distance is d.
float InnerRing(float d, float w) { return std::max(d, -(d + w)); }

uint32_t Mix32(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int Wrap(int i, int n) { return n > 0 ? ((i % n) + n) % n : i; }

// A text's coverage mask in the game's font (the generator's pixel font when no font file can be
// had): 0 .. 1 per pixel, the em box's top at row 0.
struct TEXTMASK {
    int nWidth = 0, nHeight = 0;
    std::vector<float> cover;
};

HFONT MakeFont(int nHeight)
{
    return CreateFontA(-nHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "MS Gothic");
}

TEXTMASK PixelFontMask(const std::string& text, int nHeight)
{
    const int s = std::max(1, nHeight / 8);
    CCanvas c(std::max(1, TextWidth(text, s)), 7 * s, 0);
    c.Text(0, 0, text, 0xFFFFFF, s, s);
    TEXTMASK m;
    m.nWidth = c.Width();
    m.nHeight = c.Height();
    for (int y = 0; y < m.nHeight; y++)
        for (int x = 0; x < m.nWidth; x++)
            m.cover.push_back(c.At(x, y) ? 1.0f : 0.0f);
    return m;
}

TEXTMASK MakeTextMask(const std::string& text, int nHeight)
{
    HFONT hFont = MakeFont(nHeight);
    HDC hdc = hFont ? CreateCompatibleDC(nullptr) : nullptr;
    if (!hdc) {
        if (hFont)
            DeleteObject(hFont);
        return PixelFontMask(text, nHeight);
    }
    SelectObject(hdc, hFont);
    TEXTMETRICA tm = {};
    GetTextMetricsA(hdc, &tm);
    const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    struct PLACED {
        GLYPHMETRICS gm;
        std::vector<uint8_t> bits;
        int x;
    };
    std::vector<PLACED> glyphs;
    int nPen = 0;
    for (size_t i = 0; i < text.size(); i++) {
        // A two-byte character of code page 932 is one glyph.
        const uint8_t c = (uint8_t)text[i];
        const UINT uChar = IsDBCSLeadByte(c) && i + 1 < text.size() ? (UINT)c << 8 | (uint8_t)text[++i] : c;
        PLACED g = {};
        const DWORD n = GetGlyphOutlineA(hdc, uChar, GGO_GRAY8_BITMAP, &g.gm, 0, nullptr, &kIdentity);
        if (n != GDI_ERROR && n > 0) {
            g.bits.resize(n);
            GetGlyphOutlineA(hdc, uChar, GGO_GRAY8_BITMAP, &g.gm, n, g.bits.data(), &kIdentity);
        }
        g.x = nPen;
        nPen += n == GDI_ERROR ? nHeight / 2 : g.gm.gmCellIncX;
        glyphs.push_back(std::move(g));
    }
    DeleteDC(hdc);
    DeleteObject(hFont);
    TEXTMASK m;
    m.nWidth = std::max(1, nPen);
    m.nHeight = std::max(1, (int)tm.tmHeight);
    m.cover.assign((size_t)m.nWidth * m.nHeight, 0.0f);
    for (const PLACED& g : glyphs) {
        if (g.bits.empty())
            continue;
        const int nPitch = ((int)g.gm.gmBlackBoxX + 3) & ~3;
        const int ox = g.x + g.gm.gmptGlyphOrigin.x, oy = (int)tm.tmAscent - g.gm.gmptGlyphOrigin.y;
        for (int y = 0; y < (int)g.gm.gmBlackBoxY; y++) {
            for (int x = 0; x < (int)g.gm.gmBlackBoxX; x++) {
                const int mx = ox + x, my = oy + y;
                if (mx >= 0 && my >= 0 && mx < m.nWidth && my < m.nHeight) {
                    float& v = m.cover[(size_t)my * m.nWidth + mx];
                    v = std::min(1.0f, v + g.bits[(size_t)y * nPitch + x] / 64.0f);
                }
            }
        }
    }
    return m;
}

} // namespace

RGBF Rgb(uint32_t c)
{
    return RGBF{(float)Rep5((int)((c >> 19) & 0x1F)), (float)Rep6((int)((c >> 10) & 0x3F)),
                (float)Rep5((int)((c >> 3) & 0x1F))};
}

RGBF Mix(const RGBF& a, const RGBF& b, float t)
{
    return RGBF{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

RGBF Scale(const RGBF& c, float f) { return RGBF{c.r * f, c.g * f, c.b * f}; }

uint32_t Quantise(const RGBF& c, int x, int y)
{
    const float t = ((float)kBayer[y & 3][x & 3] + 0.5f) / 16.0f;
    const int r = QuantiseChannel(c.r, 5, t);
    int g = QuantiseChannel(c.g, 6, t);
    const int b = QuantiseChannel(c.b, 5, t);
    if (r == 0 && b == 0 && g == 63)
        g = 62;  // the key stays the key's alone
    return ((uint32_t)Rep5(r) << 16) | ((uint32_t)Rep6(g) << 8) | (uint32_t)Rep5(b);
}

PAINT Flat(const RGBF& c)
{
    return [c](float, float) { return c; };
}

PAINT VerticalGradient(float y0, const RGBF& c0, float y1, const RGBF& c1)
{
    return [=](float, float y) { return Mix(c0, c1, y1 > y0 ? Clamp01((y - 0.5f - y0) / (y1 - y0)) : 1.0f); };
}

PAINT VerticalStops(const std::vector<std::pair<float, RGBF>>& stops)
{
    return [stops](float, float y) {
        y -= 0.5f;
        if (y <= stops.front().first)
            return stops.front().second;
        for (size_t i = 1; i < stops.size(); i++) {
            if (y < stops[i].first) {
                const float t = (y - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
                return Mix(stops[i - 1].second, stops[i].second, t);
            }
        }
        return stops.back().second;
    };
}

PAINT RadialGradient(float cx, float cy, float r, const RGBF& inner, const RGBF& outer)
{
    return [=](float x, float y) { return Mix(inner, outer, Clamp01(Length(x - 0.5f - cx, y - 0.5f - cy) / r)); };
}

float LightFactor(float nx, float ny, float nz)
{
    static const float kLen = Length(Length(0.55f, 0.7f), 0.45f);
    const float lx = -0.55f / kLen, ly = -0.7f / kLen, lz = 0.45f / kLen;
    const float n = Length(Length(nx, ny), nz);
    const float d = n > 0.0f ? (nx * lx + ny * ly + nz * lz) / n : 0.0f;
    const float kAmbient = 0.5f, kDiffuse = 0.7f;
    return (kAmbient + kDiffuse * std::max(d, 0.0f)) / (kAmbient + kDiffuse * lz);
}

RGBF Lit(const RGBF& base, float nx, float ny, float nz) { return Scale(base, LightFactor(nx, ny, nz)); }

PAINT SphereShade(float cx, float cy, float rx, float ry, const RGBF& base)
{
    return [=](float x, float y) {
        float nx = (x - 0.5f - cx) / rx, ny = (y - 0.5f - cy) / ry;
        const float r2 = nx * nx + ny * ny;
        if (r2 > 1.0f) {
            nx /= std::sqrt(r2);
            ny /= std::sqrt(r2);
        }
        const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
        const RGBF c = Lit(base, nx, ny, nz);
        // A soft highlight towards the light.
        const float h = std::max(0.0f, 1.0f - Length(nx + 0.45f, ny + 0.55f) * 2.2f);
        return Mix(c, RGBF{255, 255, 255}, h * h * 0.35f);
    };
}

PAINT CylinderShade(float x0, float w, const RGBF& base)
{
    return [=](float x, float) {
        const float nx = std::clamp((x - 0.5f - x0) / w * 2.0f - 1.0f, -1.0f, 1.0f);
        return Lit(base, nx, 0.0f, std::sqrt(1.0f - nx * nx));
    };
}

float Hash01(uint32_t nSeed, int x, int y)
{
    const uint32_t h = Mix32(nSeed * 0x9E3779B1u ^ Mix32((uint32_t)x * 0x85EBCA77u ^ Mix32((uint32_t)y + 0x27D4EB2Fu)));
    return (float)(h >> 8) / 16777216.0f;
}

float ValueNoise(float x, float y, uint32_t nSeed, float cell, int nPeriodX, int nPeriodY)
{
    // With a period the lattice is fitted to it: a whole number of cells per period.
    const int nx = nPeriodX > 0 ? std::max(1, (int)std::lround(nPeriodX / cell)) : 0;
    const int ny = nPeriodY > 0 ? std::max(1, (int)std::lround(nPeriodY / cell)) : 0;
    const float u = nx ? x * (float)nx / (float)nPeriodX : x / cell;
    const float v = ny ? y * (float)ny / (float)nPeriodY : y / cell;
    const int i = (int)std::floor(u), j = (int)std::floor(v);
    float fu = u - (float)i, fv = v - (float)j;
    fu = fu * fu * (3.0f - 2.0f * fu);
    fv = fv * fv * (3.0f - 2.0f * fv);
    const int i0 = Wrap(i, nx), i1 = Wrap(i + 1, nx), j0 = Wrap(j, ny), j1 = Wrap(j + 1, ny);
    const float a = Hash01(nSeed, i0, j0), b = Hash01(nSeed, i1, j0);
    const float c = Hash01(nSeed, i0, j1), d = Hash01(nSeed, i1, j1);
    return (a + (b - a) * fu) + ((c + (d - c) * fu) - (a + (b - a) * fu)) * fv;
}

float Fbm(float x, float y, uint32_t nSeed, float cell, int nOctaves, int nPeriodX, int nPeriodY)
{
    float sum = 0.0f, amp = 1.0f, total = 0.0f;
    for (int k = 0; k < nOctaves; k++) {
        sum += amp * ValueNoise(x, y, nSeed + (uint32_t)k * 101u, cell, nPeriodX, nPeriodY);
        total += amp;
        amp *= 0.5f;
        cell *= 0.5f;
    }
    return sum / total;
}

CArtKit::CArtKit(CCanvas& canvas) : m_Canvas(canvas)
{
    Unclip();
}

void CArtKit::Clip(int x, int y, int w, int h)
{
    m_nClipX0 = std::max(0, x);
    m_nClipY0 = std::max(0, y);
    m_nClipX1 = std::min(m_Canvas.Width(), x + w);
    m_nClipY1 = std::min(m_Canvas.Height(), y + h);
}

void CArtKit::Unclip()
{
    m_nClipX0 = m_nClipY0 = 0;
    m_nClipX1 = m_Canvas.Width();
    m_nClipY1 = m_Canvas.Height();
}

void CArtKit::Plot(int x, int y, const RGBF& c, float fCoverage)
{
    if (x < m_nClipX0 || y < m_nClipY0 || x >= m_nClipX1 || y >= m_nClipY1 || fCoverage <= 0.0f)
        return;
    const uint32_t dst = m_Canvas.At(x, y);
    RGBF out = c;
    if (dst == kKeyGreen) {
        if (fCoverage < 0.5f)
            return;
    } else if (fCoverage < 1.0f) {
        out = Mix(Raw(dst), c, fCoverage);
    }
    m_Canvas.Set(x, y, Quantise(out, x, y));
}

void CArtKit::Fill(int x, int y, int w, int h, const PAINT& paint)
{
    for (int j = std::max(y, m_nClipY0); j < std::min(y + h, m_nClipY1); j++)
        for (int i = std::max(x, m_nClipX0); i < std::min(x + w, m_nClipX1); i++)
            Plot(i, j, paint((float)i + 0.5f, (float)j + 0.5f), 1.0f);
}

void CArtKit::Polygon(const std::vector<PTF>& pts, const PAINT& paint)
{
    if (pts.size() < 3)
        return;
    const BOUNDS b = BoundsOf(pts);
    const int x0 = std::max(m_nClipX0, (int)std::floor(b.x0)), x1 = std::min(m_nClipX1, (int)std::ceil(b.x1));
    const int y0 = std::max(m_nClipY0, (int)std::floor(b.y0)), y1 = std::min(m_nClipY1, (int)std::ceil(b.y1));
    if (x0 >= x1 || y0 >= y1)
        return;
    std::vector<float> acc((size_t)(x1 - x0));
    std::vector<std::pair<float, int>> xs;
    // Four sub-rows per pixel row; along each the covered spans count exactly, ends in fractions.
    auto addSpan = [&](float a, float b) {
        a = std::max(a, (float)x0);
        b = std::min(b, (float)x1);
        for (int px = (int)std::floor(a); px < (int)std::ceil(b); px++)
            acc[(size_t)(px - x0)] += 0.25f * (std::min(b, (float)px + 1.0f) - std::max(a, (float)px));
    };
    for (int y = y0; y < y1; y++) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (int s = 0; s < 4; s++) {
            const float sy = (float)y + ((float)s + 0.5f) / 4.0f;
            xs.clear();
            for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                const PTF& a = pts[j];
                const PTF& b = pts[i];
                if ((a.y <= sy) != (b.y <= sy))
                    xs.emplace_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y), b.y > a.y ? 1 : -1);
            }
            std::sort(xs.begin(), xs.end());
            int nWinding = 0;
            float fStart = 0.0f;
            for (const auto& x : xs) {
                const int nBefore = nWinding;
                nWinding += x.second;
                if (nBefore == 0 && nWinding != 0)
                    fStart = x.first;
                else if (nBefore != 0 && nWinding == 0)
                    addSpan(fStart, x.first);
            }
        }
        for (int x = x0; x < x1; x++) {
            const float cov = std::min(1.0f, acc[(size_t)(x - x0)]);
            if (cov > 0.0f)
                Plot(x, y, paint((float)x + 0.5f, (float)y + 0.5f), cov);
        }
    }
}

void CArtKit::Distance(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& fnDist,
                       const PAINT& paint)
{
    const int ix0 = std::max(m_nClipX0, (int)std::floor(x0) - 1), ix1 = std::min(m_nClipX1, (int)std::ceil(x1) + 1);
    const int iy0 = std::max(m_nClipY0, (int)std::floor(y0) - 1), iy1 = std::min(m_nClipY1, (int)std::ceil(y1) + 1);
    for (int y = iy0; y < iy1; y++) {
        for (int x = ix0; x < ix1; x++) {
            const float px = (float)x + 0.5f, py = (float)y + 0.5f;
            const float cov = Clamp01(0.5f - fnDist(px, py));
            if (cov > 0.0f)
                Plot(x, y, paint(px, py), cov);
        }
    }
}

void CArtKit::Ellipse(float cx, float cy, float rx, float ry, const PAINT& paint)
{
    Distance(cx - rx, cy - ry, cx + rx, cy + ry,
             [=](float x, float y) { return EllipseDistance(x - cx, y - cy, rx, ry); }, paint);
}

void CArtKit::EllipseOutline(float cx, float cy, float rx, float ry, float w, const PAINT& paint)
{
    Distance(cx - rx, cy - ry, cx + rx, cy + ry,
             [=](float x, float y) { return InnerRing(EllipseDistance(x - cx, y - cy, rx, ry), w); }, paint);
}

void CArtKit::RoundBox(float x, float y, float w, float h, float r, const PAINT& paint)
{
    const float hx = w / 2.0f, hy = h / 2.0f;
    r = std::min(r, std::min(hx, hy));
    Distance(x, y, x + w, y + h,
             [=](float px, float py) { return RoundBoxDistance(px - x - hx, py - y - hy, hx, hy, r); }, paint);
}

void CArtKit::RoundBoxOutline(float x, float y, float w, float h, float r, float fWidth, const PAINT& paint)
{
    const float hx = w / 2.0f, hy = h / 2.0f;
    r = std::min(r, std::min(hx, hy));
    Distance(x, y, x + w, y + h,
             [=](float px, float py) {
                 return InnerRing(RoundBoxDistance(px - x - hx, py - y - hy, hx, hy, r), fWidth);
             },
             paint);
}

void CArtKit::Stroke(float x0, float y0, float x1, float y1, float w, const PAINT& paint)
{
    const float r = w / 2.0f;
    const PTF a{x0, y0}, b{x1, y1};
    Distance(std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r,
             [=](float x, float y) { return SegmentDistance(x, y, a, b) - r; }, paint);
}

void CArtKit::PolyLine(const std::vector<PTF>& pts, float w, const PAINT& paint)
{
    if (pts.empty())
        return;
    const BOUNDS b = BoundsOf(pts);
    const float r = w / 2.0f;
    // One distance over the whole line, so its joints are not drawn twice.
    Distance(b.x0 - r, b.y0 - r, b.x1 + r, b.y1 + r,
             [&pts, r](float x, float y) {
                 float d = 1e9f;
                 for (size_t i = 1; i < pts.size(); i++)
                     d = std::min(d, SegmentDistance(x, y, pts[i - 1], pts[i]));
                 return d - r;
             },
             paint);
}

void CArtKit::PolygonOutline(const std::vector<PTF>& pts, float w, const PAINT& paint)
{
    if (pts.size() < 3)
        return;
    const BOUNDS b = BoundsOf(pts);
    Distance(b.x0, b.y0, b.x1, b.y1, [&pts, w](float x, float y) { return InnerRing(PolygonDistance(pts, x, y), w); },
             paint);
}

void CArtKit::Ball(float cx, float cy, float rx, float ry, const RGBF& base)
{
    Ellipse(cx, cy, rx, ry, SphereShade(cx, cy, rx, ry, base));
}

void CArtKit::Bevel(float x, float y, float w, float h, float s, const RGBF& base)
{
    const float k = 0.7071f;
    Polygon({{x, y}, {x + w, y}, {x + w - s, y + s}, {x + s, y + s}}, Flat(Lit(base, 0.0f, -k, k)));
    Polygon({{x, y}, {x + s, y + s}, {x + s, y + h - s}, {x, y + h}}, Flat(Lit(base, -k, 0.0f, k)));
    Polygon({{x + w, y}, {x + w, y + h}, {x + w - s, y + h - s}, {x + w - s, y + s}}, Flat(Lit(base, k, 0.0f, k)));
    Polygon({{x, y + h}, {x + s, y + h - s}, {x + w - s, y + h - s}, {x + w, y + h}}, Flat(Lit(base, 0.0f, k, k)));
    Polygon({{x + s, y + s}, {x + w - s, y + s}, {x + w - s, y + h - s}, {x + s, y + h - s}}, Flat(base));
}

void CArtKit::Shade(int x, int y, int w, int h, int n, const std::function<bool(float, float, RGBF*)>& fn)
{
    for (int j = std::max(y, m_nClipY0); j < std::min(y + h, m_nClipY1); j++) {
        for (int i = std::max(x, m_nClipX0); i < std::min(x + w, m_nClipX1); i++) {
            RGBF sum{0, 0, 0};
            int nIn = 0;
            for (int sy = 0; sy < n; sy++) {
                for (int sx = 0; sx < n; sx++) {
                    RGBF c;
                    if (fn((float)i + ((float)sx + 0.5f) / (float)n, (float)j + ((float)sy + 0.5f) / (float)n, &c)) {
                        sum = RGBF{sum.r + c.r, sum.g + c.g, sum.b + c.b};
                        nIn++;
                    }
                }
            }
            if (nIn)
                Plot(i, j, Scale(sum, 1.0f / (float)nIn), (float)nIn / (float)(n * n));
        }
    }
}

void CArtKit::Text(float x, float y, const std::string& text, int nHeight, const PAINT& paint, const RGBF& outline,
                   float fOutline)
{
    const TEXTMASK m = MakeTextMask(text, nHeight);
    const int ox = (int)std::lround(x), oy = (int)std::lround(y);
    auto at = [&m](int mx, int my) {
        return mx < 0 || my < 0 || mx >= m.nWidth || my >= m.nHeight ? 0.0f : m.cover[(size_t)my * m.nWidth + mx];
    };
    if (fOutline > 0.0f) {
        const int r = (int)std::ceil(fOutline);
        for (int my = -r; my < m.nHeight + r; my++) {
            for (int mx = -r; mx < m.nWidth + r; mx++) {
                float cov = 0.0f;
                for (int dy = -r; dy <= r; dy++)
                    for (int dx = -r; dx <= r; dx++)
                        cov = std::max(cov, at(mx + dx, my + dy) * Clamp01(fOutline + 0.5f - Length((float)dx, (float)dy)));
                Plot(ox + mx, oy + my, outline, cov);
            }
        }
    }
    for (int my = 0; my < m.nHeight; my++)
        for (int mx = 0; mx < m.nWidth; mx++)
            Plot(ox + mx, oy + my, paint((float)(ox + mx) + 0.5f, (float)(oy + my) + 0.5f), at(mx, my));
}

int CArtKit::TextWidth(const std::string& text, int nHeight)
{
    return MakeTextMask(text, nHeight).nWidth;
}

void SetLabelled(bool bLabelled) { g_bLabelled = bLabelled; }

bool IsLabelled() { return g_bLabelled; }

void Label(CCanvas& canvas, int x, int y, int w, int h, const std::string& text)
{
    if (!g_bLabelled)
        return;
    canvas.TextCentred(x + 1, y + 1, w, h, text, 0x000000);
    canvas.TextCentred(x, y, w, h, text, 0xFFFFFF);
}
