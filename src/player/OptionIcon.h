// The three play options (g_nOptionFlags of the key recorder, which the replay files carry): half
// damage, high jump and double power, and their small icons at the bottom of the view.
#pragma once
#include "engine/DSurface.h"
#include "engine/KeyRecorder.h"

// Their places in g_nOptionFlags, the replay files' order.
enum { OPTION_HALF_DAMAGE = 0, OPTION_HIGH_JUMP = 1, OPTION_DOUBLE_POWER = 2 };

// 1 when the option is on.
inline int IsOptionOn(int nOption)
{
    return g_nOptionFlags[nOption] != 0 ? 1 : 0;
}

class COptionIcon {
public:
    enum { ICON_SIZE = 24, SHIFT = 32, DRAW_X = 47, DRAW_Y = 451 };

    // The shared icons: the "Option" region of CockpitIndex.txt. Once, at start-up.
    static int Load(IDirect3DDevice7* lpDevice);
    static void Release();
    // The icons of the options set in pnFlags ([3], the replay order), packed from the left at
    // (x, y); 32 px further right when bShifted.
    static int DrawIcons(IDirectDrawSurface7* lpSurface, int x, int y, int bShifted, const int* pnFlags);
    // The current options at (47, 451), moved aside while a replay plays.
    static int Draw(IDirectDrawSurface7* lpSurface);
    // The left edges DrawIcons uses for these flags (-1 for an option that is off), in the order
    // half damage, double power, high jump.
    static void GetIconPlaces(int x, int bShifted, const int* pnFlags, int pnX[3]);

    static IDirectDrawSurface7* GetSurface() { return s_Icons.GetSurface(); }

private:
    static CDSurface s_Icons;
};
