#include "IndexSheets.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BulletPictures.h"
#include "BossHudPictures.h"
#include "CockpitPictures.h"
#include "IndexSheetsCanvas.h"
#include "ScreenPictures.h"
#include "StageArt.h"
#include "platform/win/WinTypes.h"

namespace {

// How a region is drawn.
enum REGIONKIND {
    RK_LABEL,    // a framed plate with its label
    RK_DIGITS,   // digit cells 1..9, 0 (then the extra glyphs), one row per colour
    RK_GAUGE,    // a bar; several strips stacked for a blinking gauge
    RK_ICONS,    // labelled cells side by side
    RK_FRAMES,   // labelled frames stacked top to bottom
    RK_STAGES,   // the stage-name plates, one frame per stage, top to bottom
    RK_SHOT,     // a round shot
    RK_MISSILE,  // a missile pointing right
    RK_OPTION,   // three option icons over two wide pop cells
};

struct REGIONDEF {
    const char* pszName;
    int nWidth;
    int nHeight;
    REGIONKIND eKind;
    const char* pszLabel;  // label, or the cell labels separated by '|'
    uint32_t dwColor;      // main colour
    int nCells;            // cells, strips or frames
};

const uint32_t kWhite = 0xFFFFFF, kYellow = 0xFFE040, kRed = 0xE03030, kBlue = 0x3060E0, kCyan = 0x40D0F0;
const uint32_t kOrange = 0xF08020, kGrey = 0x808080, kDark = 0x202040, kPink = 0xF060C0, kLime = 0xA0E000;

const REGIONDEF kSystemRegions[] = {
    {"EnemyShot1.bmp", 12, 12, RK_SHOT, "", kOrange, 0},
    {"EnemyShot2.bmp", 16, 16, RK_SHOT, "", kPink, 0},
    {"EnemyMissile.bmp", 24, 12, RK_MISSILE, "", kGrey, 0},
    {"LvUp.bmp", 120, 28, RK_LABEL, "LV UP!", kYellow, 0},
    {"Damaged.bmp", 120, 28, RK_LABEL, "DAMAGED", kRed, 0},
    {"GroundWiperCall1.bmp", 200, 48, RK_LABEL, "GROUND WIPER", kCyan, 0},
    {"GroundWiperCall2.bmp", 200, 48, RK_LABEL, "GROUND WIPER!", kYellow, 0},
};

const REGIONDEF kCockpitRegions[] = {
    {"FPSNumbers.bmp", 96, 14, RK_DIGITS, "[]", kWhite, 1},
    {"FPS.bmp", 24, 14, RK_LABEL, "FPS", kWhite, 0},
    {"LvNumbers.bmp", 110, 32, RK_DIGITS, ":", kWhite, 2},
    {"Cockpit.bmp", 390, 82, RK_LABEL, "", kDark, 0},
    {"FaceNormal", 100, 76, RK_LABEL, "FACE", kPink, 0},
    {"FaceDamage", 100, 76, RK_LABEL, "OUCH", kRed, 0},
    {"FaceDanger1", 100, 76, RK_LABEL, "DANGER", kOrange, 0},
    {"FaceDanger2", 100, 76, RK_LABEL, "DANGER", kYellow, 0},
    {"mode_easy", 200, 16, RK_GAUGE, "", kLime, 1},
    {"mode_hard", 200, 16, RK_GAUGE, "", kCyan, 1},
    {"MaxLVGauge.bmp", 130, 30, RK_GAUGE, "", kYellow, 3},
    {"SubWeaponIcon.bmp", 240, 56, RK_ICONS, "ION|HAWK|FIRE|WIPER", kBlue, 4},
    {"LvMax.bmp", 80, 18, RK_LABEL, "LV MAX", kYellow, 0},
    {"SubWeaponReady.bmp", 80, 18, RK_LABEL, "READY", kCyan, 0},
    {"Danger1", 200, 16, RK_LABEL, "DANGER", kRed, 0},
    {"Danger2", 200, 16, RK_LABEL, "DANGER", kOrange, 0},
    {"ScoreNumbers.bmp", 200, 34, RK_DIGITS, "", kYellow, 1},
    {"ScoreNumbersWhite.bmp", 200, 34, RK_DIGITS, "", kWhite, 1},
    {"Yen.bmp", 20, 34, RK_LABEL, "$", kYellow, 0},
    {"comma.bmp", 8, 34, RK_LABEL, ",", kYellow, 0},
    {"Option", 72, 72, RK_OPTION, "", kCyan, 0},
    {"StageName.bmp", 218, 190, RK_STAGES, "", kWhite, 5},
};

const REGIONDEF kBossRegions[] = {
    {"BossLife1.bmp", 100, 12, RK_GAUGE, "", kRed, 1},
    {"BossLife2.bmp", 100, 12, RK_LABEL, "", kGrey, 0},
    {"BossName.bmp", 107, 125, RK_FRAMES, "M.ZORVA|Z.M.ZORVA|ZZ.M.ZORVA|M.ZORVA F91|N.M.ZORVA", kWhite, 5},
    {"TimeLimit.bmp", 80, 16, RK_LABEL, "TIME", kWhite, 0},
};

struct SHEETDEF {
    const char* pszIndexFile;
    const char* pszSheetFile;
    const REGIONDEF* pRegions;
    size_t nRegions;
};

const int kSheetWidth = 640;
const int kGap = 2;

void SplitLabels(const char* pszLabel, std::vector<std::string>& out)
{
    std::string cur;
    for (const char* p = pszLabel; *p; p++) {
        if (*p == '|') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += *p;
        }
    }
    out.push_back(cur);
}

void DrawPlate(CCanvas& c, int x, int y, int w, int h, const std::string& label, uint32_t dwColor)
{
    c.Fill(x, y, w, h, kDark);
    c.Frame(x, y, w, h, dwColor);
    c.TextCentred(x + 1, y + 1, w - 2, h - 2, label, dwColor);
}

// Digit cells in the order 1..9, 0 and then the extra glyphs; each row one colour.
void DrawDigits(CCanvas& c, int x, int y, const REGIONDEF& r)
{
    const std::string extra = r.pszLabel;
    const std::string cells = std::string("1234567890") + extra;
    const int nCellW = r.nWidth / (int)cells.size();
    const int nCellH = r.nHeight / r.nCells;
    const int sx = std::max(1, (nCellW - 1) / 5);
    const int sy = std::max(1, nCellH / 7);
    const int nGlyphW = std::min(5 * sx, nCellW);
    const uint32_t rowColor[2] = {r.dwColor, kYellow};
    for (int row = 0; row < r.nCells; row++) {
        for (size_t i = 0; i < cells.size(); i++) {
            const int cx = x + (int)i * nCellW + (nCellW - nGlyphW) / 2;
            const int cy = y + row * nCellH + (nCellH - 7 * sy) / 2;
            c.Glyph(cx, cy, cells[i], rowColor[row % 2], sx, sy);
        }
    }
}

void DrawRegion(CCanvas& c, int x, int y, const REGIONDEF& r)
{
    REGIONDRAW pfnArt = FindHudArt(r.pszName);
    if (!pfnArt)
        pfnArt = FindBossHudArt(r.pszName);
    if (pfnArt) {
        CArtKit kit(c);
        pfnArt(kit, x, y, r.nWidth, r.nHeight);
        Label(c, x, y, r.nWidth, r.nHeight, r.pszName);
        return;
    }
    switch (r.eKind) {
    case RK_LABEL:
        DrawPlate(c, x, y, r.nWidth, r.nHeight, r.pszLabel, r.dwColor);
        break;
    case RK_DIGITS:
        DrawDigits(c, x, y, r);
        break;
    case RK_GAUGE: {
        const int nStripH = r.nHeight / r.nCells;
        const uint32_t strips[3] = {r.dwColor, kWhite, kOrange};
        for (int i = 0; i < r.nCells; i++) {
            c.Fill(x, y + i * nStripH, r.nWidth, nStripH, strips[i % 3]);
            c.Frame(x, y + i * nStripH, r.nWidth, nStripH, kDark);
        }
        break;
    }
    case RK_STAGES: {
        CArtKit kit(c);
        const int nCellH = r.nHeight / r.nCells;
        for (int i = 0; i < r.nCells; i++)
            DrawStageNamePlate(kit, StageTheme(i + 1), i + 1, x, y + i * nCellH, r.nWidth, nCellH);
        break;
    }
    case RK_ICONS:
    case RK_FRAMES: {
        std::vector<std::string> labels;
        SplitLabels(r.pszLabel, labels);
        const bool bAcross = r.eKind == RK_ICONS;
        const int nCellW = bAcross ? r.nWidth / r.nCells : r.nWidth;
        const int nCellH = bAcross ? r.nHeight : r.nHeight / r.nCells;
        for (int i = 0; i < r.nCells; i++) {
            const std::string label = i < (int)labels.size() ? labels[i] : std::string();
            DrawPlate(c, x + (bAcross ? i * nCellW : 0), y + (bAcross ? 0 : i * nCellH), nCellW, nCellH, label,
                      r.dwColor);
        }
        break;
    }
    case RK_SHOT:
        DrawEnemyShot(c, x, y, r.nWidth, r.nHeight, r.dwColor);
        break;
    case RK_MISSILE:
        DrawEnemyMissile(c, x, y, r.nWidth, r.nHeight);
        break;
    case RK_OPTION: {
        const char* icons[3] = {"H", "P", "J"};
        for (int i = 0; i < 3; i++) {
            DrawPlate(c, x + i * 24, y, 24, 24, icons[i], r.dwColor);
        }
        DrawPlate(c, x, y + 24, 64, 24, "OPTION", kYellow);
        DrawPlate(c, x, y + 48, 64, 24, "OPTION!", kOrange);
        break;
    }
    }
}

// Places rectangles of the sizes in rows across the sheet; returns the sheet height.
int PlaceRegions(const std::vector<std::pair<int, int>>& sizes, std::vector<RECT>& places)
{
    int x = 0, y = 0, nRowH = 0;
    for (const std::pair<int, int>& size : sizes) {
        if (x > 0 && x + size.first > kSheetWidth) {
            x = 0;
            y += nRowH + kGap;
            nRowH = 0;
        }
        places.push_back(RECT{x, y, x + size.first, y + size.second});
        x += size.first + kGap;
        nRowH = std::max(nRowH, size.second);
    }
    return y + nRowH;
}

// The table's regions, then the screens' regions of the same index (drawn with the art kit).
void WriteSheet(CDataSet& data, const SHEETDEF& sheet)
{
    std::vector<const ARTREGION*> arts;
    for (const ARTREGION& a : ScreenRegions()) {
        if (!strcmp(a.pszIndexFile, sheet.pszIndexFile))
            arts.push_back(&a);
    }
    std::vector<std::pair<int, int>> sizes;
    for (size_t i = 0; i < sheet.nRegions; i++)
        sizes.push_back({sheet.pRegions[i].nWidth, sheet.pRegions[i].nHeight});
    for (const ARTREGION* a : arts)
        sizes.push_back({a->nWidth, a->nHeight});
    std::vector<RECT> places;
    const int nHeight = PlaceRegions(sizes, places);
    CCanvas canvas(kSheetWidth, nHeight);
    std::vector<std::string> lines;
    lines.push_back(std::string("// ") + sheet.pszIndexFile + ": regions of " + sheet.pszSheetFile);
    lines.push_back(std::string("#INDEX_FOR ") + sheet.pszSheetFile);
    for (size_t i = 0; i < places.size(); i++) {
        const RECT& rc = places[i];
        const char* pszName;
        if (i < sheet.nRegions) {
            DrawRegion(canvas, rc.left, rc.top, sheet.pRegions[i]);
            pszName = sheet.pRegions[i].pszName;
        } else {
            const ARTREGION& a = *arts[i - sheet.nRegions];
            CArtKit kit(canvas);
            kit.Clip(rc.left, rc.top, a.nWidth, a.nHeight);
            a.pfnDraw(kit, rc.left, rc.top, a.nWidth, a.nHeight);
            Label(canvas, rc.left, rc.top, a.nWidth, a.nHeight, a.pszName);
            pszName = a.pszName;
        }
        char szLine[256];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %ld:%ld:%ld:%ld", pszName, (long)rc.left, (long)rc.top,
                 (long)rc.right - 1, (long)rc.bottom - 1);
        lines.push_back(szLine);
    }
    data.WriteText(std::string("System/") + sheet.pszIndexFile, JoinCrLf(lines));
    data.Write(std::string("System/") + sheet.pszSheetFile, canvas.ToBmp24());
}

} // namespace

void WriteIndexSheets(CDataSet& data)
{
    const SHEETDEF sheets[] = {
        {"SystemIndex.txt", "SystemSheet.bmp", kSystemRegions, sizeof(kSystemRegions) / sizeof(kSystemRegions[0])},
        {"CockpitIndex.txt", "CockpitSheet.bmp", kCockpitRegions, sizeof(kCockpitRegions) / sizeof(kCockpitRegions[0])},
        {"BossIndex.txt", "BossSheet.bmp", kBossRegions, sizeof(kBossRegions) / sizeof(kBossRegions[0])},
    };
    for (const SHEETDEF& sheet : sheets) {
        WriteSheet(data, sheet);
    }
}
