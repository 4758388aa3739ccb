// The last boss's sheet and region index (BossRX93Index.txt), written into the folder of the stage
// it ends: its two body pictures and its dark own image, the homing missile's two frames, the
// formation pods' three frames, the triangular pod's two frames, the familiars and their missile,
// and the ring's shot. All keyed on pure green and facing left, but the shot, a glow on black.
#pragma once
#include <string>

#include "DataSet.h"

void WriteBossNMPictures(CDataSet& data, const std::string& folder);
