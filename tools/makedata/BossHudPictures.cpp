#include "BossHudPictures.h"

#include <cstring>
#include <string>

namespace {

const uint32_t kInk = 0x080A14, kSteel = 0x8C9AB8, kSteelDark = 0x3A4560, kWhite = 0xFFFFFF;
const uint32_t kBlood = 0x901020, kRed = 0xF03040, kHot = 0xFFB060, kGoldDeep = 0xC07810;

// The plates in boss order, each in the colour of its stage.
const char* const kBossNames[5] = {"M.ZORVA", "Z.M.ZORVA", "ZZ.M.ZORVA", "M.ZORVA F91", "N.M.ZORVA"};
const uint32_t kPlateColors[5] = {0x3070E0, 0x40A060, 0xA050D0, 0xE0A020, 0xD04040};

float F(int n)
{
    return (float)n;
}

// Text centred on (cx, cy), as large as fits the width up to nMax.
void Caption(CArtKit& kit, float cx, float cy, const std::string& text, int nMax, float fWidth, const PAINT& paint)
{
    int h = nMax;
    while (h > 6 && F(CArtKit::TextWidth(text, h)) + 4.0f > fWidth)
        h--;
    const float w = F(CArtKit::TextWidth(text, h));
    kit.Text(cx - w / 2.0f, cy - F(h) / 2.0f, text, h, paint, Rgb(kInk), 1.5f);
}

// The life: hot at the top edge, deep red below, a notch every 10 pixels.
void DrawLifeBar(CArtKit& kit, int x, int y, int w, int h)
{
    const float fy = F(y), fh = F(h);
    kit.Clip(x, y, w, h);
    kit.Fill(x, y, w, h, VerticalStops({{fy, Rgb(kHot)}, {fy + fh * 0.3f, Rgb(kRed)}, {fy + fh, Rgb(kBlood)}}));
    for (int tx = x + 10; tx < x + w; tx += 10)
        kit.Stroke(F(tx), fy + 2.0f, F(tx), fy + fh - 2.0f, 0.8f, Flat(Scale(Rgb(kBlood), 0.7f)));
    kit.Unclip();
}

// The frame around a third of the gauge: a steel rim whose inside stays key green, so the gauge
// shows through it.
void DrawLifeFrame(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = F(x), fy = F(y), fw = F(w), fh = F(h);
    kit.Clip(x, y, w, h);
    const PAINT steel = VerticalGradient(fy, Mix(Rgb(kSteel), Rgb(kWhite), 0.4f), fy + fh, Rgb(kSteelDark));
    kit.Fill(x, y, w, 2, steel);
    kit.Fill(x, y + h - 2, w, 2, steel);
    kit.Fill(x, y, 2, h, steel);
    kit.Fill(x + w - 2, y, 2, h, steel);
    kit.Stroke(fx + 0.5f, fy + 0.5f, fx + fw - 0.5f, fy + 0.5f, 1.0f, Flat(Rgb(kInk)));
    kit.Stroke(fx + 0.5f, fy + fh - 0.5f, fx + fw - 0.5f, fy + fh - 0.5f, 1.0f, Flat(Rgb(kInk)));
    kit.Unclip();
}

void DrawNamePlates(CArtKit& kit, int x, int y, int w, int h)
{
    const int nCellH = h / 5;
    for (int i = 0; i < 5; i++) {
        const float cy = F(y + i * nCellH);
        kit.Clip(x, y + i * nCellH, w, nCellH);
        const RGBF c = Rgb(kPlateColors[i]);
        kit.RoundBox(F(x) + 1.0f, cy + 1.0f, F(w) - 2.0f, F(nCellH) - 2.0f, 5.0f,
                     VerticalGradient(cy, Mix(c, Rgb(kWhite), 0.35f), cy + F(nCellH), Scale(c, 0.45f)));
        kit.RoundBoxOutline(F(x) + 1.0f, cy + 1.0f, F(w) - 2.0f, F(nCellH) - 2.0f, 5.0f, 1.5f, Flat(Rgb(kInk)));
        Caption(kit, F(x) + F(w) / 2.0f, cy + F(nCellH) / 2.0f, kBossNames[i], nCellH - 9, F(w) - 8.0f,
                VerticalGradient(cy + 4.0f, Rgb(kWhite), cy + F(nCellH) - 4.0f, Mix(c, Rgb(kWhite), 0.6f)));
        kit.Unclip();
    }
}

void DrawTimeLabel(CArtKit& kit, int x, int y, int w, int h)
{
    kit.Clip(x, y, w, h);
    Caption(kit, F(x) + F(w) / 2.0f, F(y) + F(h) / 2.0f, "TIME", h - 2, F(w),
            VerticalGradient(F(y), Rgb(0xFFF4B0), F(y + h), Rgb(kGoldDeep)));
    kit.Unclip();
}

struct BOSSHUDART {
    const char* pszRegion;
    REGIONDRAW pfnDraw;
};

const BOSSHUDART kArt[] = {
    {"BossLife1.bmp", DrawLifeBar},
    {"BossLife2.bmp", DrawLifeFrame},
    {"BossName.bmp", DrawNamePlates},
    {"TimeLimit.bmp", DrawTimeLabel},
};

} // namespace

REGIONDRAW FindBossHudArt(const char* pszRegion)
{
    for (const BOSSHUDART& art : kArt) {
        if (!strcmp(art.pszRegion, pszRegion))
            return art.pfnDraw;
    }
    return nullptr;
}
