#include "player/OptionIcon.h"

#include "player/HudDraw.h"
#include "player/Player.h"

CDSurface COptionIcon::s_Icons;

namespace {

// Drawn in this order; each option's cell of the picture.
const int kDrawOrder[3] = {OPTION_HALF_DAMAGE, OPTION_DOUBLE_POWER, OPTION_HIGH_JUMP};
const int kCellX[3] = {0, 24, 48};

} // namespace

int COptionIcon::Load(IDirect3DDevice7* lpDevice)
{
    s_Icons.Release();
    if (!s_Icons.LoadFromIndex(lpDevice, IMGKEY{"CockpitIndex.txt", "Option"}, nullptr, MEM_VIDEO))
        return 0;
    s_Icons.SetColorKeyGreen();
    return 1;
}

void COptionIcon::Release()
{
    s_Icons.Release();
}

void COptionIcon::GetIconPlaces(int x, int bShifted, const int* pnFlags, int pnX[3])
{
    int nAt = x + (bShifted ? SHIFT : 0);
    for (int i = 0; i < 3; i++) {
        pnX[i] = -1;
        if (pnFlags && pnFlags[kDrawOrder[i]]) {
            pnX[i] = nAt;
            nAt += ICON_SIZE;
        }
    }
}

int COptionIcon::DrawIcons(IDirectDrawSurface7* lpSurface, int x, int y, int bShifted, const int* pnFlags)
{
    int nX[3];
    GetIconPlaces(x, bShifted, pnFlags, nX);
    int bOk = 1;
    for (int i = 0; i < 3; i++) {
        if (nX[i] < 0)
            continue;
        const RECT rcCell = {kCellX[i], 0, kCellX[i] + ICON_SIZE, ICON_SIZE};
        bOk &= BltKeyedCell(lpSurface, s_Icons.GetSurface(), &rcCell, nX[i], y);
    }
    return bOk;
}

int COptionIcon::Draw(IDirectDrawSurface7* lpSurface)
{
    return DrawIcons(lpSurface, DRAW_X, DRAW_Y, g_bPlayerReplaying, g_nOptionFlags);
}
