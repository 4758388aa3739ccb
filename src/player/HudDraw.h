// The keyed blit the heroine's pictures, the cockpit and the items share.
#pragma once
#include "engine/SurfaceUtil.h"

// The cell of the source (the whole source when prcCell is null) with its top-left corner at
// (x, y), keyed and clipped to the screen. 1 when the blit succeeds or nothing is left to draw.
BOOL BltKeyedCell(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT* prcCell, int x, int y);
