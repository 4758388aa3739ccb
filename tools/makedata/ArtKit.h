// The art kit every generated picture is drawn with: anti-aliased shapes (polygons, ellipses,
// rounded boxes, strokes), gradients, shading by one light, seeded noise that can tile, text in the
// game's font, and a store that dithers to the RGB565 grid the game shows.
//
// Rules the store keeps, so pictures work as the game loads them:
// - colours given as 0xRRGGBB are snapped to the RGB565 grid, so a flat fill stays one colour and a
//   gradient ends exactly on its end colours;
// - an edge blends only into the picture's own opaque pixels; against the pure-green key it is hard
//   (a pixel is taken when at least half covered), so no green fringe ever shows;
// - nothing drawn ever turns into the key colour;
// - the same calls give the same bytes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "IndexSheetsCanvas.h"

struct RGBF {
    float r, g, b;
};

struct PTF {
    float x, y;
};

// A palette colour, snapped to the RGB565 grid.
RGBF Rgb(uint32_t dwColor);
RGBF Mix(const RGBF& a, const RGBF& b, float t);
RGBF Scale(const RGBF& c, float f);
// The 24-bit value the store writes for a colour at a pixel (dithered, never the key).
uint32_t Quantise(const RGBF& c, int x, int y);

// The colour at a point (x, y in pixels; pixel centres at + 0.5).
using PAINT = std::function<RGBF(float x, float y)>;
PAINT Flat(const RGBF& c);
// c0 at y0 and above, c1 at y1 and below.
PAINT VerticalGradient(float y0, const RGBF& c0, float y1, const RGBF& c1);
// Stops of (y, colour) in rising y.
PAINT VerticalStops(const std::vector<std::pair<float, RGBF>>& stops);
// inner at the centre, outer at radius r and beyond.
PAINT RadialGradient(float cx, float cy, float r, const RGBF& inner, const RGBF& outer);

// The light falls from the upper left and a little from the front. A face turned to the viewer
// (normal 0, 0, 1) keeps its colour; faces turned to the light are brighter, others darker.
float LightFactor(float nx, float ny, float nz);
RGBF Lit(const RGBF& base, float nx, float ny, float nz);
// An ellipsoid's shading over the ellipse (cx, cy, rx, ry), with a soft highlight.
PAINT SphereShade(float cx, float cy, float rx, float ry, const RGBF& base);
// A vertical cylinder's shading across x0 .. x0 + w.
PAINT CylinderShade(float x0, float w, const RGBF& base);

// Seeded noise. Hash01 is a value in [0, 1) per lattice point. ValueNoise is smooth noise in [0, 1)
// with features about `cell` pixels apart; with a period (> 0) it repeats every `period` pixels on
// that axis, so pictures built from it tile. Fbm sums octaves of it.
float Hash01(uint32_t nSeed, int x, int y);
float ValueNoise(float x, float y, uint32_t nSeed, float cell, int nPeriodX, int nPeriodY);
float Fbm(float x, float y, uint32_t nSeed, float cell, int nOctaves, int nPeriodX, int nPeriodY);

class CArtKit {
public:
    explicit CArtKit(CCanvas& canvas);

    // Drawing stays inside the rectangle (a cell of a sheet) until Unclip.
    void Clip(int x, int y, int w, int h);
    void Unclip();

    // Stores a colour at a pixel with a coverage in 0 .. 1 under the rules above.
    void Plot(int x, int y, const RGBF& c, float fCoverage);
    void Fill(int x, int y, int w, int h, const PAINT& paint);
    void Polygon(const std::vector<PTF>& points, const PAINT& paint);
    void Ellipse(float cx, float cy, float rx, float ry, const PAINT& paint);
    void RoundBox(float x, float y, float w, float h, float r, const PAINT& paint);
    // A stroke of the width with round ends.
    void Stroke(float x0, float y0, float x1, float y1, float w, const PAINT& paint);
    void PolyLine(const std::vector<PTF>& points, float w, const PAINT& paint);
    // Outlines lie inside the shape's edge, so an outlined shape keeps its size.
    void EllipseOutline(float cx, float cy, float rx, float ry, float w, const PAINT& paint);
    void RoundBoxOutline(float x, float y, float w, float h, float r, float fWidth, const PAINT& paint);
    void PolygonOutline(const std::vector<PTF>& points, float w, const PAINT& paint);
    // An ellipse shaded as a ball (SphereShade).
    void Ball(float cx, float cy, float rx, float ry, const RGBF& base);
    // A box with bevelled edges: lit on the light's sides, shaded on the others.
    void Bevel(float x, float y, float w, float h, float size, const RGBF& base);
    // A shape of the caller's own: fn says whether a point is inside and its colour there; the
    // rectangle is sampled n x n times per pixel.
    void Shade(int x, int y, int w, int h, int n, const std::function<bool(float, float, RGBF*)>& fn);

    // Text in the game's font, `height` pixels per em, its top-left at (x, y); with an outline of
    // the given width around the glyphs when fOutline > 0. Pictures of words use it.
    void Text(float x, float y, const std::string& text, int nHeight, const PAINT& paint, const RGBF& outline,
              float fOutline);
    static int TextWidth(const std::string& text, int nHeight);

private:
    // Plots a coverage given by a signed distance (negative inside) over the box.
    void Distance(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& fnDist,
                  const PAINT& paint);

    CCanvas& m_Canvas;
    int m_nClipX0, m_nClipY0, m_nClipX1, m_nClipY1;
};

// The labelled variant of the data set writes region and cell names on the pictures, for
// debugging; the ordinary set does not.
void SetLabelled(bool bLabelled);
bool IsLabelled();
// The name centred in the rectangle, in the labelled variant only.
void Label(CCanvas& canvas, int x, int y, int w, int h, const std::string& text);
