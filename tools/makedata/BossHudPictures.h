// The pictures of the boss HUD in the boss sheet, drawn with the art kit.
#pragma once
#include "CockpitPictures.h"

// The drawer of a boss-HUD region; null for any other region.
REGIONDRAW FindBossHudArt(const char* pszRegion);
