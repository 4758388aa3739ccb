// Title/Title.bmp, the title picture (the road to the enemy's fortress at dusk, the game's name,
// the heroine riding, and the menu at rest on the left), and Title/TitleIndex.txt with its sheet
// of the four menu items as they look under the cursor (drawn at x 0, y 185 + 60 k).
#include <string>
#include <vector>

#include "CutSceneArt.h"
#include "FrontPictures.h"

namespace {

const int kW = 640, kH = 480;
const int kItemW = 320, kItemH = 50, kItemTop = 185, kItemStep = 60;

struct MENUITEM {
    const char* pszRegion;
    const char* pszLabel;
    const char* pszLabelJa;
};
// スタート, リプレイ, せってい, おわる
const MENUITEM kItems[] = {
    {"GameStart", "GAME START", "\x83\x58\x83\x5E\x81\x5B\x83\x67"},
    {"Replay", "REPLAY", "\x83\x8A\x83\x76\x83\x8C\x83\x43"},
    {"Config", "CONFIG", "\x82\xB9\x82\xC1\x82\xC4\x82\xA2"},
    {"Exit", "EXIT", "\x82\xA8\x82\xED\x82\xE9"},
};
// ぞるばくるむ！
const char kSubtitleJa[] = "\x82\xBC\x82\xE9\x82\xCE\x82\xAD\x82\xE9\x82\xDE\x81\x49";

// An item's label with its top-left band corner at (x, y): dim at rest, dark on a lit band under
// the cursor.
void DrawItem(CArtKit& kit, float x, float y, const MENUITEM& item, bool bLit)
{
    const RGBF ink = Rgb(0x100818);
    if (bLit) {
        kit.Polygon({{x, y + 3.0f}, {x + kItemW - 40.0f, y + 3.0f}, {x + kItemW - 8.0f, y + kItemH / 2.0f},
                     {x + kItemW - 40.0f, y + kItemH - 3.0f}, {x, y + kItemH - 3.0f}},
                    VerticalGradient(y, Rgb(0xFFF4B0), y + kItemH, Rgb(0xF09028)));
        kit.Polygon({{x + 14.0f, y + 15.0f}, {x + 34.0f, y + kItemH / 2.0f}, {x + 14.0f, y + kItemH - 15.0f}},
                    Flat(Rgb(0xC02010)));
        kit.Text(x + 48.0f, y + 6.0f, item.pszLabel, 26, Flat(Rgb(0x301008)), Rgb(0xFFFFFF), 2.0f);
        kit.Text(x + 200.0f, y + 28.0f, item.pszLabelJa, 14, Flat(Rgb(0x501810)), Rgb(0xFFF0C0), 1.0f);
        return;
    }
    kit.Text(x + 48.0f, y + 6.0f, item.pszLabel, 26, Flat(Rgb(0xC8C0D8)), ink, 2.0f);
    kit.Text(x + 200.0f, y + 28.0f, item.pszLabelJa, 14, Flat(Rgb(0xA8A0B8)), ink, 1.0f);
}

void WriteTitle(CDataSet& data)
{
    CCanvas c(kW, kH, 0);
    CArtKit kit(c);
    DrawRoad(kit);
    DrawBike(kit, FIGURE{500.0f, 420.0f, 0.75f, 1.0f});
    DrawRider(kit, FIGURE{500.0f, 420.0f, 0.75f, 1.0f});
    // The menu's side darkened so the items read over the desert.
    for (int y = kItemTop - 10; y < kItemTop + 4 * kItemStep; y++) {
        for (int x = 0; x < kItemW + 10; x++) {
            const float fEdge = x > kItemW - 30 ? (float)(kItemW + 10 - x) / 40.0f : 1.0f;
            kit.Plot(x, y, Rgb(0x100818), 0.65f * fEdge);
        }
    }
    const RGBF ink = Rgb(0x180810);
    kit.Text(36.0f, 26.0f, "ZORVA", 96, VerticalStops({{34.0f, Rgb(0xFFFCE0)}, {80.0f, Rgb(0xFFC860)}, {122.0f, Rgb(0xE04818)}}),
             ink, 4.0f);
    kit.Text(60.0f, 132.0f, kSubtitleJa, 26, Flat(Rgb(0xFFFFFF)), ink, 2.5f);
    for (int i = 0; i < 4; i++) {
        DrawItem(kit, 0.0f, (float)(kItemTop + kItemStep * i), kItems[i], false);
    }
    data.Write("Title/Title.bmp", c.ToBmp24());
}

void WriteMenuSheet(CDataSet& data)
{
    CCanvas c(kItemW, kItemH * 4);
    CArtKit kit(c);
    std::vector<std::string> lines = {"#INDEX_FOR TitleSheet.bmp"};
    for (int i = 0; i < 4; i++) {
        const int y = kItemH * i;
        kit.Clip(0, y, kItemW, kItemH);
        DrawItem(kit, 0.0f, (float)y, kItems[i], true);
        kit.Unclip();
        lines.push_back(FrontRegionLine(kItems[i].pszRegion, 0, y, kItemW, kItemH));
    }
    data.Write("Title/TitleSheet.bmp", c.ToBmp24());
    data.WriteText("Title/TitleIndex.txt", JoinCrLf(lines));
}

} // namespace

void WriteTitlePictures(CDataSet& data)
{
    WriteTitle(data);
    WriteMenuSheet(data);
}
