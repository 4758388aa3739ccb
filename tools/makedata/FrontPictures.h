// The pictures of the program's front: the screen-mode dialog, the caution screen and the maker's
// bar, the title and its menu, the start menu, the replay selection and the provisional ending.
#pragma once
#include "ArtKit.h"
#include "DataSet.h"

void WriteFrontPictures(CDataSet& data);

// The parts, each a writer of its own file.
void WriteDialogPictures(CDataSet& data);
void WriteLogoPictures(CDataSet& data);
void WriteTitlePictures(CDataSet& data);
void WriteStartMenuPictures(CDataSet& data);
void WriteReplayPictures(CDataSet& data);
void WriteEndingPicture(CDataSet& data);

// Shared by the front's pictures: text centred on x, and a plate with a bevelled rim.
void FrontTextCentred(CArtKit& kit, float cx, float y, const std::string& text, int nHeight, const PAINT& paint,
                      const RGBF& outline, float fOutline);
// The index line of a region: "#IMG_RGN name = left:top:right:bottom", right and bottom inclusive.
std::string FrontRegionLine(const std::string& name, int x, int y, int w, int h);
void FrontPlate(CArtKit& kit, float x, float y, float w, float h, const RGBF& top, const RGBF& bottom, const RGBF& rim);
