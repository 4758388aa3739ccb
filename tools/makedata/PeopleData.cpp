#include "PeopleData.h"

#include <cstdio>
#include <string>
#include <vector>

#include "ArtKit.h"
#include "IndexSheetsCanvas.h"
#include "WaveWriter.h"

namespace {

const int kFigureWidth = 32;
const int kFigureHeight = 48;
const int kStageCount = 5;

struct PEOPLEKIND {
    const char* pszCode;
    uint32_t dwCoat;
    const char* pszLine;  // items : speech
};

// Items of every name the catalogue knows; speech of one to three segments.
const PEOPLEKIND kKinds[] = {
    {"Q1", 0x3060C0, "100, Food : Whoa!\\sSlow down!"},
    {"Q2", 0xC04040, "500, 1000, 100 : Hey!\\sWatch where\\syou're going!"},
    {"Q3", 0xC0A020, "Food, Food, 5000, 10000 : Help!"},
};

// A figure standing (head, coat, legs) or tumbling (the same, lying across the cell).
void DrawFigure(CCanvas& canvas, int x, int y, uint32_t dwCoat, bool bTumbling, const char* pszCode)
{
    const uint32_t kSkin = 0xF0C8A0, kDark = 0x202020;
    if (!bTumbling) {
        canvas.Disc(x + 16, y + 8, 7, kSkin);
        canvas.Fill(x + 8, y + 16, 16, 18, dwCoat);
        canvas.Frame(x + 8, y + 16, 16, 18, kDark);
        canvas.Fill(x + 10, y + 34, 5, 14, kDark);
        canvas.Fill(x + 17, y + 34, 5, 14, kDark);
    } else {
        canvas.Disc(x + 6, y + 24, 6, kSkin);
        canvas.Fill(x + 12, y + 16, 12, 16, dwCoat);
        canvas.Frame(x + 12, y + 16, 12, 16, kDark);
        canvas.Fill(x + 24, y + 18, 8, 4, kDark);
        canvas.Fill(x + 24, y + 26, 8, 4, kDark);
    }
    Label(canvas, x + (bTumbling ? 8 : 4), y + 16, 24, 16, pszCode);
}

void WriteStagePeople(CDataSet& data, int nStage)
{
    char szFolder[16];
    snprintf(szFolder, sizeof(szFolder), "Stage%02d/", nStage);
    const int nKinds = (int)(sizeof(kKinds) / sizeof(kKinds[0]));
    CCanvas sheet(kFigureWidth * 2, kFigureHeight * nKinds);
    std::vector<std::string> lines;
    lines.push_back("// Passers-by of this stage: their pictures, then the kinds.");
    lines.push_back("#INDEX_FOR People.bmp");
    for (int i = 0; i < nKinds; i++) {
        const PEOPLEKIND& k = kKinds[i];
        const int y = i * kFigureHeight;
        DrawFigure(sheet, 0, y, k.dwCoat, false, k.pszCode);
        DrawFigure(sheet, kFigureWidth, y, k.dwCoat, true, k.pszCode);
        for (int n = 1; n <= 2; n++) {
            const int x = (n - 1) * kFigureWidth;
            lines.push_back("#IMG_RGN People" + std::string(k.pszCode) + std::to_string(n) + ".bmp = " +
                            std::to_string(x) + ":" + std::to_string(y) + ":" + std::to_string(x + kFigureWidth - 1) +
                            ":" + std::to_string(y + kFigureHeight - 1));
        }
    }
    for (const PEOPLEKIND& k : kKinds) {
        lines.push_back(std::string("#PEOPLE") + k.pszCode + " " + k.pszLine);
        data.Write(std::string(szFolder) + "People" + k.pszCode + ".wav",
                   MakeEffectWave(std::string("People") + k.pszCode));
    }
    data.WriteText(std::string(szFolder) + "People.txt", JoinCrLf(lines));
    data.Write(std::string(szFolder) + "People.bmp", sheet.ToBmp24());
}

} // namespace

void WritePeopleFiles(CDataSet& data)
{
    for (int nStage = 1; nStage <= kStageCount; nStage++)
        WriteStagePeople(data, nStage);
}
