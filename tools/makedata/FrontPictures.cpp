#include "FrontPictures.h"

void FrontTextCentred(CArtKit& kit, float cx, float y, const std::string& text, int nHeight, const PAINT& paint,
                      const RGBF& outline, float fOutline)
{
    kit.Text(cx - (float)CArtKit::TextWidth(text, nHeight) / 2.0f, y, text, nHeight, paint, outline, fOutline);
}

void FrontPlate(CArtKit& kit, float x, float y, float w, float h, const RGBF& top, const RGBF& bottom, const RGBF& rim)
{
    kit.RoundBox(x, y, w, h, 8.0f, VerticalGradient(y, top, y + h, bottom));
    kit.RoundBoxOutline(x, y, w, h, 8.0f, 2.0f, Flat(rim));
}

void WriteFrontPictures(CDataSet& data)
{
    WriteDialogPictures(data);
}
