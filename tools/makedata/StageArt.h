// The look of the five sample stages: a theme per stage (palette, sky, far layers, tile set) and the
// drawers of its pictures, all drawn with the art kit.
#pragma once
#include <cstdint>

#include "ArtKit.h"

enum GROUNDSTYLE {
    GS_BRICK,   // bricks under a kerb of paving slabs
    GS_PLATES,  // riveted steel plates under a hazard-striped edge
    GS_STRATA,  // layered sandstone under a sand crust
    GS_COBBLE,  // rough stones under snow
    GS_ASHLAR,  // large dressed blocks under an iron band
};

enum TREESTYLE { TS_ROUND, TS_LAMP, TS_CACTUS, TS_PINE, TS_DEAD };

// What stands against the sky in the far layers.
enum SKYLINE { SL_HILLS, SL_CITY, SL_HARBOUR, SL_SEA, SL_DUNES, SL_MESAS, SL_PEAKS, SL_CASTLE };

enum BIGSTYLE { BS_AIRSHIP, BS_CLOUD };

struct STAGETHEME {
    const char* pszName;  // on the stage-name plate
    uint32_t nSeed;
    // Day sky: gradient stops top, middle, low, horizon; the sun (or moon) and its glow; clouds.
    uint32_t skyTop, skyMid, skyLow, skyHorizon;
    uint32_t sun, sunGlow;
    float sunX, sunY, sunR;
    uint32_t cloudShade, cloudLit;
    // Night layer.
    uint32_t nightTop, nightLow, moon;
    // Far layers, from the farthest to the nearest, and their lit windows.
    uint32_t farFar, farMid, farNear, windowLit;
    SKYLINE skyline, dayline, nightline;
    // The ground tiles.
    GROUNDSTYLE ground;
    uint32_t body, bodyAlt, joint, cap, capLight, capDark, outline;
    // Scenery.
    TREESTYLE tree;
    uint32_t foliage, foliageDark, trunk;
    uint32_t grass, grassTip, flower;
    uint32_t water, waterLight, rim;
    uint32_t wood, metal, accent;
    BIGSTYLE big;
    uint32_t bigBody, bigTrim;
    uint32_t glow, haze;
    uint32_t plate;  // the stage-name plate's colour
    bool bSnow;      // snow lies on crates, platforms and tufts
};

const STAGETHEME& StageTheme(int nStage);

// Terrain, each drawn into its cell of the sheet at (x, y).
void DrawGroundTile(CArtKit& kit, const STAGETHEME& t, int x, int y, int nVariant);
// nPiece 0..2 of a slope rising to the right (bRising) or falling.
void DrawSlopeTile(CArtKit& kit, const STAGETHEME& t, int x, int y, int nPiece, bool bRising);
void DrawPlatform(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawCrate(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawSafe(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawSpikes(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawLift(CArtKit& kit, const STAGETHEME& t, int x, int y);
// Ground with a side open to the air (nOpen -1 its left, 1 its right, 0 neither); without its cap
// it is the ground under ground.
void DrawEdgeTile(CArtKit& kit, const STAGETHEME& t, int x, int y, bool bCap, int nOpen);
// The warning sign that stands before a gap or spikes.
void DrawSign(CArtKit& kit, const STAGETHEME& t, int x, int y);

// Scenery.
void DrawTree(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawWater(CArtKit& kit, const STAGETHEME& t, int x, int y, int nFrame);
void DrawGrass(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawFarGround(CArtKit& kit, const STAGETHEME& t, int x, int y);
void DrawBig(CArtKit& kit, const STAGETHEME& t, int w, int h);
// On black: the blended types add their picture to the screen.
void DrawGlow(CArtKit& kit, const STAGETHEME& t, int w, int h);
void DrawHaze(CArtKit& kit, const STAGETHEME& t, int w, int h);

// The far backgrounds; each tiles side by side with itself.
void DrawSky(CArtKit& kit, const STAGETHEME& t, int w, int h);
void DrawDayFar(CArtKit& kit, const STAGETHEME& t, int w, int h);
void DrawNightFar(CArtKit& kit, const STAGETHEME& t, int w, int h);

// The stage-name plate of a stage, one frame of the plate strip.
void DrawStageNamePlate(CArtKit& kit, const STAGETHEME& t, int nStage, int x, int y, int w, int h);
