// The last boss's sheet (BossRX93Index.txt): its two body pictures and its dark own image, the
// homing missile's two frames, the formation pods' three frames, the triangular pod's two frames
// and the familiars' missile. All keyed on pure green, facing left.
#pragma once
#include <vector>

#include "ScreenPictures.h"

const std::vector<ARTREGION>& BossNMRegions();
