// The system sheets: System/SystemIndex.txt, CockpitIndex.txt, BossIndex.txt and the sheet bitmaps
// they name, holding every region the game looks up in them.
#pragma once
#include "DataSet.h"

void WriteIndexSheets(CDataSet& data);
