// First/Loading.bmp: the picture shown while a stage or the ending loads, 640 x 480, a dark panel
// with a frame, "NOW LOADING" across the middle and a row of blocks under it.
#include "DataSet.h"
#include "IndexSheetsCanvas.h"

namespace {

const uint32_t kBack = 0x102040, kFrame = 0x80C0FF, kWhite = 0xFFFFFF, kBlock = 0x40D0F0;

} // namespace

void WriteLoadingPicture(CDataSet& data)
{
    CCanvas c(640, 480, kBack);
    c.Frame(16, 16, 608, 448, kFrame);
    c.Frame(20, 20, 600, 440, kFrame);
    c.TextCentred(40, 180, 560, 80, "NOW LOADING", kWhite);
    for (int i = 0; i < 8; ++i) {
        c.Fill(176 + i * 36, 292, 24, 24, kBlock);
    }
    c.TextCentred(40, 360, 560, 30, "PLEASE WAIT", kFrame);
    data.Write("First/Loading.bmp", c.ToBmp24());
}
