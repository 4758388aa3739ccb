// The first boss's sheet and region index, written into the folder of the stage it ends.
#pragma once
#include <string>

#include "DataSet.h"

void WriteBossMMPictures(CDataSet& data, const std::string& folder);
