// The stage-name plate shown at the top right while a stage runs: a rounded plate in the stage's
// colour with the stage number in a badge and the stage's name, one frame per stage.
#include <cstdio>

#include "StageArt.h"

void DrawStageNamePlate(CArtKit& kit, const STAGETHEME& t, int nStage, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h;
    const RGBF plate = Rgb(t.plate), white = Rgb(0xFFFFFF), dark = Rgb(0x101018);
    kit.Clip(x, y, w, h);
    kit.RoundBox(fx + 1.0f, fy + 1.0f, fw - 2.0f, fh - 2.0f, fh / 2.0f - 2.0f,
                 VerticalGradient(fy + 1.0f, Mix(plate, white, 0.35f), fy + fh - 2.0f, Scale(plate, 0.55f)));
    kit.RoundBox(fx + 6.0f, fy + 3.0f, fw - 12.0f, fh * 0.3f, fh * 0.15f, Flat(Mix(plate, white, 0.45f)));
    kit.RoundBoxOutline(fx + 1.0f, fy + 1.0f, fw - 2.0f, fh - 2.0f, fh / 2.0f - 2.0f, 2.0f, Flat(dark));
    // The badge with the number.
    const float r = fh / 2.0f - 4.0f, bx = fx + 4.0f + r, by = fy + fh / 2.0f;
    kit.Ball(bx, by, r, r, Rgb(0xF4F0E8));
    kit.EllipseOutline(bx, by, r, r, 1.5f, Flat(dark));
    char szNumber[8];
    snprintf(szNumber, sizeof(szNumber), "%d", nStage);
    const int nNumberH = (int)(r * 1.6f);
    const RGBF ink = Scale(plate, 0.6f);
    // Drawn with an outline of its own colour, so the digit stands out bold.
    kit.Text(bx - (float)CArtKit::TextWidth(szNumber, nNumberH) / 2.0f, by - (float)nNumberH / 2.0f - 1.0f, szNumber,
             nNumberH, Flat(ink), ink, 0.8f);
    const int nNameH = 17;
    kit.Text(bx + r + 8.0f, by - (float)nNameH / 2.0f - 1.0f, t.pszName, nNameH, Flat(white), dark, 1.5f);
    kit.Unclip();
}
