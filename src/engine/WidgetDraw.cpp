#include "engine/WidgetDraw.h"

#include "engine/Util.h"

void ShiftRect(RECT* prc, int dx, int dy)
{
    prc->left += dx;
    prc->right += dx;
    prc->top += dy;
    prc->bottom += dy;
}

bool IsRectEmpty(const RECT& rc)
{
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

// The pops follow her, whom tuning values can carry as far away as any number.
void GetCentredClippedRects(float x, float y, int w, int h, RECT* prcSrc, RECT* prcDest)
{
    GetClippedBltRects(FloatToInt(x) - w / 2, FloatToInt(y) - h / 2, w, h, prcSrc, prcDest);
}

BOOL BltCentred(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpPicture, float x, float y, int w, int h,
                int nWidth, int nHeight, bool bSqueeze)
{
    RECT rcSrc, rcDest;
    GetCentredClippedRects(x, y, w, h, &rcSrc, &rcDest);
    if (bSqueeze) {
        rcSrc = RECT{0, 0, nWidth, nHeight};
    }
    return BltOk(lpDest, &rcDest, lpPicture, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}
