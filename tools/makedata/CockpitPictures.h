// The pictures of the heroine's HUD in the system sheets, drawn with the art kit.
#pragma once
#include "ArtKit.h"

// Draws a region's picture into its w x h place at (x, y) of a sheet.
using REGIONDRAW = void (*)(CArtKit& kit, int x, int y, int w, int h);

// The drawer of a HUD region of the cockpit and system sheets; null for any other region.
REGIONDRAW FindHudArt(const char* pszRegion);
