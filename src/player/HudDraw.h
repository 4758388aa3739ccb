// The keyed blits the heroine's pictures, the cockpit, the items and the in-stage screens share.
#pragma once
#include "engine/SurfaceUtil.h"

// The cell of the source (the whole source when prcCell is null) with its top-left corner at
// (x, y), keyed and clipped to the screen. 1 when the blit succeeds or nothing is left to draw.
BOOL BltKeyedCell(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT* prcCell, int x, int y);
// The whole source stretched into the rectangle; the parts off screen are cut in proportion. 1 when
// the blit succeeds or the rectangle is empty or wholly off screen.
BOOL BltKeyedStretched(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT& rcDest);
