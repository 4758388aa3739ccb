// The stage-4 boss's index file and sheet in a stage folder ("StageNN/").
#pragma once
#include <string>

#include "DataSet.h"

void WriteBossF91Pictures(CDataSet& data, const std::string& folder);
