// Boss Z.M.Zorva's sheet and region index in its stage folder: the four body poses (gliding, with
// the rifle, swinging the saber, charging), the scorched body, the rifle, the saber glow's two
// frames and the charge shield's two frames.
#pragma once
#include <string>

#include "DataSet.h"

#define ZM_INDEX_FILE "BossMSZ006Index.txt"
#define ZM_SHEET_FILE "BossMSZ006Sheet.bmp"

// folder: the stage folder ("StageNN/").
void WriteBossZMPictures(CDataSet& data, const std::string& folder);
