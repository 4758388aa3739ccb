// The cut-scenes' pictures. Stand-ins (flat panels with their sizes) until they are drawn.
#include "CutScenes.h"
#include "IndexSheetsCanvas.h"

namespace {

struct PICTURE {
    const char* pszFile;
    int w, h;
    uint32_t dwColor;
    bool bKeyed;
};

const PICTURE kPictures[] = {
    {"Opening/OpTown.bmp", 640, 480, 0x9B4F8A, false},   {"Opening/OpTownRed.bmp", 640, 480, 0x802020, false},
    {"Opening/OpTownShips.bmp", 440, 170, 0x404850, true}, {"Opening/OpTownScout.bmp", 150, 70, 0x505860, true},
    {"Opening/OpGarage.bmp", 320, 240, 0xD02838, true},   {"Opening/OpLeaf.bmp", 24, 24, 0xE07020, true},
    {"Opening/OpNight.bmp", 640, 480, 0x200818, false},   {"Opening/OpFace.bmp", 300, 440, 0xF8C8A0, true},
    {"Opening/OpRoad.bmp", 640, 480, 0x603030, false},    {"Opening/OpClouds.bmp", 1120, 150, 0xC08080, true},
    {"Opening/OpRide.bmp", 300, 200, 0xD02838, true},     {"Opening/OpDust.bmp", 220, 90, 0xA08060, true},
    {"Ending/EdFortress.bmp", 640, 480, 0x601010, false}, {"Ending/EdRock.bmp", 90, 70, 0x505050, true},
    {"Ending/EdRide.bmp", 300, 200, 0xD02838, true},      {"Ending/EdDawn.bmp", 640, 480, 0xF0A060, false},
    {"Ending/EdHome.bmp", 640, 480, 0x80B0E0, false},     {"Ending/EdStand.bmp", 160, 240, 0x3050C8, true},
    {"Ending/EdKidA.bmp", 70, 120, 0x40A040, true},       {"Ending/EdKidB.bmp", 70, 120, 0xE0A020, true},
    {"Ending/EdSky.bmp", 640, 480, 0x68A8E0, false},      {"Ending/EdSmile.bmp", 300, 440, 0xF8C8A0, true},
    {"Ending/EdPetal.bmp", 20, 20, 0xF07AA0, true},       {"Ending/EdStaff.bmp", 640, 480, 0x101838, false},
    {"Ending/EdStars.bmp", 1120, 200, 0xFFFFC0, true},    {"Ending/EdMoon.bmp", 90, 90, 0xF4F0D8, true},
    {"Ending/EdTinyRide.bmp", 120, 80, 0xD02838, true},
};

void WritePrompt(CDataSet& data, const char* pszFile)
{
    CCanvas c(40, 20);
    for (int f = 0; f < 2; f++) {
        const uint32_t dwColor = f ? 0x808080 : 0xFFFFFF;
        for (int y = 0; y < 10; y++) {
            c.Fill(f * 20 + 2 + y, 5 + y, 16 - 2 * y, 1, dwColor);
        }
    }
    data.Write(pszFile, c.ToBmp24());
}

} // namespace

void WriteCutScenePictures(CDataSet& data)
{
    for (const PICTURE& p : kPictures) {
        CCanvas c(p.w, p.h, p.bKeyed ? kKeyGreen : p.dwColor);
        if (p.bKeyed) {
            c.Fill(2, 2, p.w - 4, p.h - 4, p.dwColor);
        }
        c.Frame(0, 0, p.w, p.h, 0x202020);
        data.Write(p.pszFile, c.ToBmp24());
    }
    WritePrompt(data, "Opening/Prompt.bmp");
    WritePrompt(data, "Ending/Prompt.bmp");
}
