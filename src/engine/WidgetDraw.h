// The drawing steps the display widgets share: a picture centred on a point, scaled into a
// rectangle and clipped to the screen.
#pragma once
#include "engine/SurfaceUtil.h"

void ShiftRect(RECT* prc, int dx, int dy);
bool IsRectEmpty(const RECT& rc);

// The w x h rectangle centred on (trunc(x), trunc(y)) clipped to the screen: its destination, and
// the matching part of a w x h source (not of the picture: callers that stretch take the whole).
void GetCentredClippedRects(float x, float y, int w, int h, RECT* prcSrc, RECT* prcDest);

// Blits the picture (nWidth x nHeight) into the w x h rectangle centred on (x, y), keyed. With
// bSqueeze the whole picture is stretched into what is left on screen; without, the clipped part
// of a w x h source is copied. 1 when the blit succeeds.
BOOL BltCentred(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpPicture, float x, float y, int w, int h,
                int nWidth, int nHeight, bool bSqueeze);
