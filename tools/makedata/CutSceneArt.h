// What the cut-scene pictures share: the heroine's colours (those of her sprites in the stages), a
// placed and scaled frame to draw figures in, the figures and the backgrounds.
#pragma once
#include <initializer_list>
#include <vector>

#include "ArtKit.h"

// The heroine: brown hair, blue riding suit, yellow scarf, her red bike.
const uint32_t kArtSkin = 0xF8C8A0, kArtSkinShade = 0xE09A78, kArtHair = 0x603018, kArtHairLight = 0x9A5A30;
const uint32_t kArtSuit = 0x3050C8, kArtSuitDark = 0x203080, kArtSuitLight = 0x6C8CF0, kArtScarf = 0xF8E020;
const uint32_t kArtScarfShade = 0xC89810, kArtBoot = 0x302020, kArtBody = 0xD02838, kArtBodyDark = 0x801018;
const uint32_t kArtChrome = 0xB8B8C8, kArtTyre = 0x1C1C20, kArtLamp = 0xFFF080, kArtInk = 0x2A1C1C;
const uint32_t kArtEye = 0x8A4A20, kArtLens = 0xF0A030;

// A figure's own coordinates, scaled and placed; mirrored when it faces left (dir -1).
struct FIGURE {
    float ox, oy, s, dir;

    PTF P(float x, float y) const { return PTF{ox + dir * s * x, oy + s * y}; }
    float L(float v) const { return s * v; }
    std::vector<PTF> Poly(std::initializer_list<PTF> pts) const
    {
        std::vector<PTF> out;
        for (const PTF& p : pts) {
            out.push_back(P(p.x, p.y));
        }
        return out;
    }
};

// A soft light added over what is drawn, strongest at its centre.
void ArtGlow(CArtKit& kit, float cx, float cy, float r, const RGBF& c, float fStrength);
// A cloud of overlapping puffs w wide, shaded from lit to shade (from below when bLitBelow).
void ArtCloud(CArtKit& kit, float cx, float cy, float w, const RGBF& lit, const RGBF& shade, uint32_t nSeed, bool bLitBelow);
// A filled, outlined polygon in the figure's coordinates.
void ArtShape(CArtKit& kit, const FIGURE& f, std::initializer_list<PTF> pts, const PAINT& paint, float fOutline = 1.6f);

// The figures. The bike's origin is the middle between its wheel hubs, the rider's the same
// point of the bike she rides; a standing figure's origin is between her feet.
void DrawBike(CArtKit& kit, const FIGURE& f);
void DrawRider(CArtKit& kit, const FIGURE& f);
void DrawStanding(CArtKit& kit, const FIGURE& f, bool bWave);
void DrawKid(CArtKit& kit, const FIGURE& f, bool bGirl);
// Her head and shoulders in a 300 x 440 picture at (x, y), looking left.
void DrawPortrait(CArtKit& kit, float x, float y, bool bSmile);

// The backgrounds, 640 x 480.
enum TOWNMOOD { TOWN_DUSK, TOWN_BURNING, TOWN_MORNING };
void DrawTown(CArtKit& kit, TOWNMOOD mood);
void DrawNight(CArtKit& kit);
void DrawRoad(CArtKit& kit);
void DrawFortress(CArtKit& kit);
void DrawDawn(CArtKit& kit);
void DrawSky(CArtKit& kit);
void DrawStaff(CArtKit& kit);
