// Boss ZZ's sheet and its index in the folder of the stage it ends: the heavy gunship in its two
// poses, its burnt hull, its two missiles' frames and the two words it shouts.
#pragma once
#include "DataSet.h"

// The folder ("Stage03/") the index and sheet go to.
void WriteBossZZSheet(CDataSet& data, const std::string& folder);
