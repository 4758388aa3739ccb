// The enemy kinds' pictures of a stage folder, drawn facing left (the game mirrors them).
#pragma once
#include <string>

#include "DataSet.h"

void WriteEnemyPictures(CDataSet& data, int nStage, const std::string& folder);
