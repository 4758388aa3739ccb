// The settings screen: its background Title/Config.bmp and the sheet of its parts with the index
// Title/ConfigIndex.txt (frame-rate choices, volume bars, button numbers, help lines, the two
// cursor pictures).
#include <string>
#include <vector>

#include "DataSet.h"
#include "IndexSheetsCanvas.h"

namespace {

const uint32_t kWhite = 0xFFFFFF, kYellow = 0xFFE040, kCyan = 0x40D0F0, kOrange = 0xF08020, kDark = 0x202040;
const uint32_t kPanel = 0x182848, kGrey = 0x8090A0;
const int kSheetWidth = 640;

struct PART {
    std::string name;
    int w, h;
};

// Places the parts in rows across the sheet; returns the sheet height.
int LayOut(const std::vector<PART>& parts, std::vector<std::pair<int, int>>& at) {
    int x = 0, y = 0, nRowH = 0;
    for (const PART& p : parts) {
        if (x + p.w > kSheetWidth) {
            x = 0;
            y += nRowH + 2;
            nRowH = 0;
        }
        at.emplace_back(x, y);
        x += p.w + 2;
        nRowH = nRowH > p.h ? nRowH : p.h;
    }
    return y + nRowH;
}

void Plate(CCanvas& c, int x, int y, int w, int h, const std::string& text, uint32_t dwColor) {
    c.Fill(x, y, w, h, kDark);
    c.Frame(x, y, w, h, dwColor);
    c.TextCentred(x + 1, y + 1, w - 2, h - 2, text, dwColor);
}

void DrawPart(CCanvas& c, const PART& p, int x, int y) {
    const std::string& n = p.name;
    if (n == "skip_60" || n == "skip_30") {
        Plate(c, x, y, p.w, p.h, n == "skip_60" ? "60 FPS" : "30 FPS", kYellow);
    } else if (n.rfind("vol_", 0) == 0 && n != "vol_info") {
        int nLevel = std::stoi(n.substr(4)) / 10;
        for (int i = 0; i < nLevel; ++i) c.Fill(x + i * 30, y + p.h - 6 - i * 2, 26, 6 + i * 2, i < 7 ? kCyan : kOrange);
    } else if (n.rfind("btn_", 0) == 0 && n != "btn_info") {
        size_t nDigit = n.find_first_of("0123456789");
        Plate(c, x, y, p.w, p.h, "BUTTON " + n.substr(nDigit), kWhite);
    } else if (n.rfind("cursor", 0) == 0) {
        c.Disc(x + p.w / 2, y + p.h / 2, p.w / 2 - 1, n == "cursor1" ? kCyan : kOrange);
        c.Disc(x + p.w / 2, y + p.h / 2, p.w / 5, kWhite);
    }
}

const char* const kHelpTexts[][2] = {
    {"skip_60_info", "60 FRAMES A SECOND: LEFT/RIGHT TO CHANGE"},
    {"skip_30_info", "30 FRAMES A SECOND: FOR SLOW MACHINES"},
    {"vol_info", "VOLUME: LEFT/RIGHT TO CHANGE"},
    {"btn_info", "PRESS A JOYSTICK BUTTON FOR EACH ACTION"},
    {"exit_info", "SHOT OR ENTER: SAVE AND RETURN"},
};

std::vector<PART> Parts() {
    std::vector<PART> parts = {{"skip_60", 150, 36}, {"skip_30", 150, 36}, {"cursor0", 24, 24}, {"cursor1", 28, 28}};
    for (int v = 1; v <= 10; ++v) parts.push_back({"vol_" + std::to_string(v * 10), 300, 26});
    for (const char* pszAction : {"btn_shot", "btn_jump", "btn_sub"})
        for (int n = 1; n <= 10; ++n) parts.push_back({pszAction + std::to_string(n), 150, 28});
    for (const auto& help : kHelpTexts) parts.push_back({help[0], 592, 40});
    return parts;
}

void WriteBackground(CDataSet& data) {
    CCanvas c(640, 480, kPanel);
    c.TextCentred(0, 10, 640, 50, "SETTINGS", kWhite);
    const struct {
        const char* pszLabel;
        int y;
    } kRows[] = {{"FRAME RATE", 84}, {"VOLUME", 138}, {"BUTTONS", 200}, {"EXIT", 376}};
    for (const auto& row : kRows) c.Text(80, row.y, row.pszLabel, kGrey, 3, 3);
    c.Text(120, 244, "SHOT", kGrey, 2, 2);
    c.Text(120, 278, "JUMP", kGrey, 2, 2);
    c.Text(120, 312, "SUB WEAPON", kGrey, 2, 2);
    c.Frame(20, 404, 600, 52, kGrey);
    data.Write("Title/Config.bmp", c.ToBmp24());
}

}  // namespace

void WriteSettingsScreen(CDataSet& data) {
    WriteBackground(data);
    std::vector<PART> parts = Parts();
    std::vector<std::pair<int, int>> at;
    int nHeight = LayOut(parts, at);
    CCanvas sheet(kSheetWidth, nHeight);
    std::vector<std::string> lines = {"#INDEX_FOR ConfigSheet.bmp"};
    for (size_t i = 0; i < parts.size(); ++i) {
        const PART& p = parts[i];
        int x = at[i].first, y = at[i].second;
        bool bHelp = false;
        for (const auto& help : kHelpTexts)
            if (p.name == help[0]) {
                sheet.TextCentred(x, y, p.w, p.h, help[1], kWhite);
                bHelp = true;
            }
        if (!bHelp) DrawPart(sheet, p, x, y);
        lines.push_back("#IMG_RGN " + p.name + " = " + std::to_string(x) + ":" + std::to_string(y) + ":" +
                        std::to_string(x + p.w - 1) + ":" + std::to_string(y + p.h - 1));
    }
    data.Write("Title/ConfigSheet.bmp", sheet.ToBmp24());
    data.WriteText("Title/ConfigIndex.txt", JoinCrLf(lines));
}
