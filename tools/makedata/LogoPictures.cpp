// First/Caution.bmp, the caution screen of the start-up (a notice on playing in good light and
// taking breaks), and First/44vostil.bmp, the maker's bar that drops in after it.
#include <cmath>

#include "FrontPictures.h"

namespace {

const int kW = 640, kH = 480;
const int kBarW = 400, kBarH = 80;

// "注意" and the notice's lines, in code page 932.
const char kCautionJa[] = "\x92\x8D\x88\xD3";
const char* const kNotice[] = {
    // ゲームをプレイするときは、部屋を明るくして
    "\x83\x51\x81\x5B\x83\x80\x82\xF0\x83\x76\x83\x8C\x83\x43\x82\xB7\x82\xE9\x82\xC6\x82\xAB\x82\xCD\x81\x41\x95\x94"
    "\x89\xAE\x82\xF0\x96\xBE\x82\xE9\x82\xAD\x82\xB5\x82\xC4",
    // 画面からはなれてプレイしてください。
    "\x89\xE6\x96\xCA\x82\xA9\x82\xE7\x82\xCD\x82\xC8\x82\xEA\x82\xC4\x83\x76\x83\x8C\x83\x43\x82\xB5\x82\xC4\x82\xAD"
    "\x82\xBE\x82\xB3\x82\xA2\x81\x42",
    // 長い時間プレイするときは、適度に休みをとりましょう。
    "\x92\xB7\x82\xA2\x8E\x9E\x8A\xD4\x83\x76\x83\x8C\x83\x43\x82\xB7\x82\xE9\x82\xC6\x82\xAB\x82\xCD\x81\x41\x93\x4B"
    "\x93\x78\x82\xC9\x8B\x78\x82\xDD\x82\xF0\x82\xC6\x82\xE8\x82\xDC\x82\xB5\x82\xE5\x82\xA4\x81\x42",
    // 疲れているときは、プレイをひかえてください。
    "\x94\xE6\x82\xEA\x82\xC4\x82\xA2\x82\xE9\x82\xC6\x82\xAB\x82\xCD\x81\x41\x83\x76\x83\x8C\x83\x43\x82\xF0\x82\xD0"
    "\x82\xA9\x82\xA6\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42",
};
// 何かキーを押してください
const char kPressJa[] = "\x89\xBD\x82\xA9\x83\x4C\x81\x5B\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";

// A warning sign: a rounded yellow triangle with an exclamation mark.
void WarningSign(CArtKit& kit, float cx, float cy, float r)
{
    const RGBF ink = Rgb(0x201808);
    const std::vector<PTF> tri = {{cx, cy - r}, {cx + r * 1.1f, cy + r * 0.8f}, {cx - r * 1.1f, cy + r * 0.8f}};
    kit.Polygon(tri, VerticalGradient(cy - r, Rgb(0xFFE860), cy + r, Rgb(0xF0A020)));
    kit.PolygonOutline(tri, 3.0f, Flat(ink));
    kit.RoundBox(cx - r * 0.09f, cy - r * 0.45f, r * 0.18f, r * 0.75f, r * 0.08f, Flat(ink));
    kit.Ellipse(cx, cy + r * 0.5f, r * 0.11f, r * 0.11f, Flat(ink));
}

void WriteCaution(CDataSet& data)
{
    CCanvas c(kW, kH, 0);
    CArtKit kit(c);
    kit.Fill(0, 0, kW, kH, VerticalGradient(0.0f, Rgb(0x182038), (float)kH, Rgb(0x080A14)));
    // A band of hazard stripes along the top and the bottom.
    for (int nBand = 0; nBand < 2; nBand++) {
        const float y = nBand == 0 ? 24.0f : (float)kH - 44.0f;
        kit.Fill(0, (int)y, kW, 20, Flat(Rgb(0xF0C020)));
        for (int i = -1; i < kW / 28 + 1; i++) {
            const float x = (float)i * 28.0f;
            kit.Polygon({{x, y}, {x + 14.0f, y}, {x + 34.0f, y + 20.0f}, {x + 20.0f, y + 20.0f}}, Flat(Rgb(0x202020)));
        }
    }
    const RGBF ink = Rgb(0x04060C), paper = Rgb(0xF0F2FA);
    WarningSign(kit, 320.0f, 120.0f, 44.0f);
    FrontTextCentred(kit, 320.0f, 172.0f, "CAUTION", 40, VerticalGradient(172.0f, Rgb(0xFFF0A0), 212.0f, Rgb(0xF0A030)),
                     ink, 3.0f);
    FrontTextCentred(kit, 320.0f, 218.0f, kCautionJa, 22, Flat(paper), ink, 2.0f);
    kit.RoundBox(70.0f, 256.0f, 500.0f, 128.0f, 10.0f, Flat(Rgb(0x242C48)));
    kit.RoundBoxOutline(70.0f, 256.0f, 500.0f, 128.0f, 10.0f, 2.0f, Flat(Rgb(0x6878A8)));
    for (int i = 0; i < 4; i++) {
        kit.Text(92.0f, 268.0f + 28.0f * (float)i, kNotice[i], 18, Flat(paper), ink, 1.0f);
    }
    FrontTextCentred(kit, 320.0f, 398.0f, kPressJa, 16, Flat(Rgb(0xA8B4D8)), ink, 1.0f);
    data.Write("First/Caution.bmp", c.ToBmp24());
}

// The maker's bar: a chrome plate with the maker's name, a slanted red stripe through it.
void WriteBar(CDataSet& data)
{
    CCanvas c(kBarW, kBarH);
    CArtKit kit(c);
    const RGBF ink = Rgb(0x101018);
    kit.RoundBox(0.0f, 0.0f, (float)kBarW, (float)kBarH, 18.0f, Flat(ink));
    kit.RoundBox(3.0f, 3.0f, kBarW - 6.0f, kBarH - 6.0f, 15.0f,
                 VerticalStops({{3.0f, Rgb(0xF4F6FC)}, {34.0f, Rgb(0xB0B8C8)}, {40.0f, Rgb(0x6A7488)},
                                {(float)kBarH - 3.0f, Rgb(0xC8D0E0)}}));
    kit.Polygon({{250.0f, 3.0f}, {290.0f, 3.0f}, {250.0f, kBarH - 3.0f}, {210.0f, kBarH - 3.0f}},
                VerticalGradient(0.0f, Rgb(0xF04040), (float)kBarH, Rgb(0x901010)));
    kit.Polygon({{300.0f, 3.0f}, {316.0f, 3.0f}, {276.0f, kBarH - 3.0f}, {260.0f, kBarH - 3.0f}},
                VerticalGradient(0.0f, Rgb(0xF04040), (float)kBarH, Rgb(0x901010)));
    FrontTextCentred(kit, kBarW / 2.0f, 14.0f, "44VOSTIL", 44, VerticalGradient(14.0f, Rgb(0x3048A8), 62.0f, Rgb(0x101850)),
                     Rgb(0xFFFFFF), 2.5f);
    kit.RoundBoxOutline(3.0f, 3.0f, kBarW - 6.0f, kBarH - 6.0f, 15.0f, 1.5f, Flat(Rgb(0xFFFFFF)));
    data.Write("First/44vostil.bmp", c.ToBmp24());
}

} // namespace

void WriteLogoPictures(CDataSet& data)
{
    WriteCaution(data);
    WriteBar(data);
}
