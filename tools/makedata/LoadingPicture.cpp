// First/Loading.bmp: the picture shown while a stage or the ending loads, 640 x 480: a night road
// under a dusk horizon, the game's name and "NOW LOADING" in the game's font.
#include <cmath>

#include "ArtKit.h"
#include "DataSet.h"

namespace {

const int kW = 640, kH = 480;
const float kHorizon = 330.0f;

void DrawRoad(CArtKit& kit)
{
    kit.Fill(0, (int)kHorizon, kW, kH - (int)kHorizon,
             VerticalGradient(kHorizon, Rgb(0x2A1C34), (float)kH, Rgb(0x0C0810)));
    // The road narrows to the horizon; its centre line in dashes that shorten with distance.
    kit.Polygon({{300.0f, kHorizon}, {340.0f, kHorizon}, {620.0f, (float)kH}, {20.0f, (float)kH}},
                VerticalGradient(kHorizon, Rgb(0x3A3448), (float)kH, Rgb(0x1A1822)));
    for (int i = 0; i < 6; i++) {
        const float a = std::pow((float)i / 6.0f, 2.0f), b = std::pow(((float)i + 0.5f) / 6.0f, 2.0f);
        const float ya = kHorizon + a * ((float)kH - kHorizon), yb = kHorizon + b * ((float)kH - kHorizon);
        const float wa = 1.0f + 6.0f * a, wb = 1.0f + 6.0f * b;
        kit.Polygon({{320.0f - wa, ya}, {320.0f + wa, ya}, {320.0f + wb, yb}, {320.0f - wb, yb}}, Flat(Rgb(0xF0D060)));
    }
    kit.Stroke(300.0f, kHorizon, 20.0f, (float)kH, 3.0f, Flat(Rgb(0xC8C0D0)));
    kit.Stroke(340.0f, kHorizon, 620.0f, (float)kH, 3.0f, Flat(Rgb(0xC8C0D0)));
}

} // namespace

void WriteLoadingPicture(CDataSet& data)
{
    CCanvas c(kW, kH, 0);
    CArtKit kit(c);
    kit.Fill(0, 0, kW, (int)kHorizon, VerticalStops({{0.0f, Rgb(0x0E1430)}, {180.0f, Rgb(0x2A2058)},
                                                       {280.0f, Rgb(0x7A3C70)}, {kHorizon, Rgb(0xF09060)}}));
    for (int i = 0; i < 120; i++) {
        const float fy = Hash01(11, i, 1);
        kit.Plot((int)(Hash01(11, i, 0) * (float)kW), (int)(fy * fy * 220.0f), Rgb(0xFFFFFF), 0.3f + 0.6f * Hash01(11, i, 2));
    }
    kit.Ellipse(320.0f, kHorizon, 90.0f, 90.0f, RadialGradient(320.0f, kHorizon, 90.0f, Rgb(0xFFF0C0), Rgb(0xF8A060)));
    DrawRoad(kit);

    const RGBF white = Rgb(0xFFFFFF), ink = Rgb(0x100818);
    const int nTitleH = 72;
    const float titleX = (float)(kW - CArtKit::TextWidth("ZORVA", nTitleH)) / 2.0f;
    kit.Text(titleX, 70.0f, "ZORVA", nTitleH, VerticalGradient(80.0f, Rgb(0xFFF4C0), 140.0f, Rgb(0xF08030)), ink, 3.0f);
    const int nTextH = 28;
    kit.Text((float)(kW - CArtKit::TextWidth("NOW LOADING", nTextH)) / 2.0f, 200.0f, "NOW LOADING", nTextH, Flat(white),
             ink, 2.0f);
    for (int i = 0; i < 8; i++) {
        const float x = 194.0f + 36.0f * (float)i;
        kit.RoundBox(x, 250.0f, 24.0f, 10.0f, 5.0f, Flat(Mix(Rgb(0x403C70), Rgb(0x80E0FF), (float)i / 7.0f)));
    }
    kit.RoundBoxOutline(8.0f, 8.0f, (float)kW - 16.0f, (float)kH - 16.0f, 12.0f, 2.0f, Flat(Rgb(0x8090C0)));
    data.Write("First/Loading.bmp", c.ToBmp24());
}
