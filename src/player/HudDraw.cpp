#include "player/HudDraw.h"

#include "engine/WidgetDraw.h"

BOOL BltKeyedCell(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT* prcCell, int x, int y)
{
    if (!lpDest || !lpSrc)
        return 1;
    RECT rcCell;
    if (prcCell) {
        rcCell = *prcCell;
    } else {
        int w = 0, h = 0;
        GetSurfaceSize(lpSrc, &w, &h);
        rcCell = RECT{0, 0, w, h};
    }
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, rcCell.right - rcCell.left, rcCell.bottom - rcCell.top, &rcSrc, &rcDest);
    if (IsRectEmpty(rcDest) || IsRectEmpty(rcSrc))
        return 1;
    ShiftRect(&rcSrc, rcCell.left, rcCell.top);
    return BltOk(lpDest, &rcDest, lpSrc, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

BOOL BltKeyedStretched(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, const RECT& rcDest)
{
    if (!lpDest || !lpSrc) {
        return 0;
    }
    const bool bOffScreen = rcDest.right <= 0 || rcDest.bottom <= 0 || rcDest.left >= SCREEN_WIDTH ||
                            rcDest.top >= SCREEN_HEIGHT;
    if (IsRectEmpty(rcDest) || bOffScreen) {
        return 1;
    }
    int w = 0, h = 0;
    GetSurfaceSize(lpSrc, &w, &h);
    RECT rcSrc = {0, 0, w, h};
    RECT rc = rcDest;
    return BltOk(lpDest, &rc, lpSrc, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}
