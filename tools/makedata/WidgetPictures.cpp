#include "WidgetPictures.h"

#include "IndexSheetsCanvas.h"

namespace {

const uint32_t kFrame = 0x203060, kEdge = 0x80C0FF, kFace = 0xF0A0C0, kFaceDark = 0x603040, kWhite = 0xFFFFFF;

// A 400 x 80 window: the face on the left, the text area (from x 110, y 25) on a dark panel.
void WriteMessageWindow(CDataSet& data)
{
    CCanvas c(400, 80);
    c.Fill(0, 0, 400, 80, kFrame);
    c.Frame(0, 0, 400, 80, kEdge);
    c.Frame(2, 2, 396, 76, kEdge);
    c.Fill(8, 8, 92, 64, kFaceDark);
    c.Disc(54, 36, 22, kFace);
    c.Fill(44, 30, 4, 4, kFaceDark);
    c.Fill(60, 30, 4, 4, kFaceDark);
    c.Fill(48, 46, 12, 2, kFaceDark);
    c.Text(30, 62, "ZORVA", kWhite, 1, 1);
    c.Frame(104, 8, 288, 64, kEdge);
    data.Write("System/MsgWindow.bmp", c.ToBmp24());
}

} // namespace

void WriteWidgetPictures(CDataSet& data)
{
    WriteMessageWindow(data);
}
