#include "FrontPictures.h"

void FrontTextCentred(CArtKit& kit, float cx, float y, const std::string& text, int nHeight, const PAINT& paint,
                      const RGBF& outline, float fOutline)
{
    kit.Text(cx - (float)CArtKit::TextWidth(text, nHeight) / 2.0f, y, text, nHeight, paint, outline, fOutline);
}

std::string FrontRegionLine(const std::string& name, int x, int y, int w, int h)
{
    return "#IMG_RGN " + name + " = " + std::to_string(x) + ":" + std::to_string(y) + ":" + std::to_string(x + w - 1) +
           ":" + std::to_string(y + h - 1);
}

void FrontPlate(CArtKit& kit, float x, float y, float w, float h, const RGBF& top, const RGBF& bottom, const RGBF& rim)
{
    kit.RoundBox(x, y, w, h, 8.0f, VerticalGradient(y, top, y + h, bottom));
    kit.RoundBoxOutline(x, y, w, h, 8.0f, 2.0f, Flat(rim));
}

void WriteFrontPictures(CDataSet& data)
{
    WriteDialogPictures(data);
    WriteLogoPictures(data);
    WriteTitlePictures(data);
    WriteStartMenuPictures(data);
    WriteReplayPictures(data);
    WriteEndingPicture(data);
}
