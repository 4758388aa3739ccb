// The beam sabers' glow pictures: an additive flare on black over a blade that runs from the
// cell's upper left to its lower right, in two frames that flicker in turn.
#pragma once
#include "ArtKit.h"
#include "IndexSheetsCanvas.h"

// Frame 0 or 1 of the glow in the w x h cell at (x, y) of a sheet; the blade's colour at its core
// fades through `colour` to black.
void DrawSaberGlow(CCanvas& canvas, int x, int y, int w, int h, int nFrame, const RGBF& colour);
