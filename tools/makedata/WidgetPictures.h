// Pictures of the display widgets that no index sheet holds: the message window's face and frame.
#pragma once
#include "DataSet.h"

void WriteWidgetPictures(CDataSet& data);
