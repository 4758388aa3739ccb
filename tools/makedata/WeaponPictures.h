// The sub-weapons' and the bike's additive pictures on black: the Ion Shield's two frames, the Hawk
// Wind's star, the Fire Storm's sparkle and drop, the Ground Wiper's puff, the exhaust flame sheet
// and the landing smoke.
#pragma once
#include "DataSet.h"

void WriteWeaponPictures(CDataSet& data);
