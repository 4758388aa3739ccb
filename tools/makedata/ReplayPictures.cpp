// Title/Replay.bmp, the background of the replay selection: five slot frames down the right
// (rows at y 72 + 80 k) with their numbers on the left; and Title/ReplaySub.bmp, the plate an
// empty slot shows (drawn at (356, y + 8)).
#include <string>

#include "FrontPictures.h"

namespace {

const RGBF kInk = {0.03f, 0.03f, 0.07f};
// リプレイ, データなし
const char kReplayJa[] = "\x83\x8A\x83\x76\x83\x8C\x83\x43";
const char kNoDataJa[] = "\x83\x66\x81\x5B\x83\x5E\x82\xC8\x82\xB5";

void WriteBackground(CDataSet& data)
{
    CCanvas c(640, 480, 0);
    CArtKit kit(c);
    kit.Fill(0, 0, 640, 480, VerticalGradient(0.0f, Rgb(0x102038), 480.0f, Rgb(0x060A14)));
    kit.Text(24.0f, 14.0f, "REPLAY", 44, VerticalGradient(14.0f, Rgb(0xF0FFFF), 58.0f, Rgb(0x50B0F0)), kInk, 3.0f);
    kit.Text(196.0f, 24.0f, kReplayJa, 20, Flat(Rgb(0xC0D8F0)), kInk, 1.5f);
    for (int k = 0; k < 5; k++) {
        const float y = 72.0f + 80.0f * (float)k;
        // The heroine's face, 76 high, is drawn at (306, y): the frame holds it whole (the
        // sub-weapon badge at y - 12 stands out over the top edge).
        FrontPlate(kit, 290.0f, y - 3.0f, 340.0f, 79.0f, Rgb(0x284870), Rgb(0x101C34), Rgb(0x6088C0));
        kit.Text(150.0f, y + 16.0f, "SLOT " + std::to_string(k + 1), 26, Flat(Rgb(0xD8E8FF)), kInk, 2.0f);
    }
    kit.Text(24.0f, 450.0f, "Z: OK   X: BACK", 16, Flat(Rgb(0x90A8C8)), kInk, 1.0f);
    data.Write("Title/Replay.bmp", c.ToBmp24());
}

void WriteEmptyPlate(CDataSet& data)
{
    CCanvas c(240, 44);
    CArtKit kit(c);
    FrontPlate(kit, 0.0f, 0.0f, 240.0f, 44.0f, Rgb(0x303848), Rgb(0x181C28), Rgb(0x586078));
    FrontTextCentred(kit, 80.0f, 10.0f, "NO DATA", 22, Flat(Rgb(0x9098B0)), kInk, 1.5f);
    FrontTextCentred(kit, 186.0f, 14.0f, kNoDataJa, 16, Flat(Rgb(0x9098B0)), kInk, 1.0f);
    data.Write("Title/ReplaySub.bmp", c.ToBmp24());
}

} // namespace

void WriteReplayPictures(CDataSet& data)
{
    WriteBackground(data);
    WriteEmptyPlate(data);
}
