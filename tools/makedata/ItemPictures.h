// The pick-up items' pictures in System/.
#pragma once
#include "DataSet.h"

void WriteItemPictures(CDataSet& data);
