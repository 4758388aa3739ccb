// The keyed blits the in-stage screens share: a picture (or a cell of it) at a point, and a picture
// stretched into a rectangle, both clipped to the screen.
#pragma once
#include "engine/SurfaceUtil.h"

// The cell of the source (the whole source when prcCell is null) with its top-left corner at
// (x, y). 1 when the blit succeeds or nothing is left on screen.
BOOL BltKeyedAt(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT* prcCell, int x, int y);
// The whole source stretched into the rectangle; the parts off screen are cut in proportion. 1 when
// the blit succeeds or the rectangle is empty or wholly off screen.
BOOL BltKeyedStretched(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT& rcDest);
