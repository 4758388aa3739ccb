// Object and background pictures of the sample stages: plain shapes with outlines and their codes
// written on them, tinted per stage, pure green where they are transparent.
#include <cstdio>

#include "IndexSheetsCanvas.h"
#include "StageFiles.h"

namespace {

const uint32_t kStageTint[SAMPLE_STAGE_COUNT] = {0x6B8E23, 0x8B6B3D, 0x5F6F8F, 0x7F5F7F, 0x8F4F3F};
const uint32_t kOutline = 0x202020;
const uint32_t kBlack = 0x000000;

uint32_t Shade(uint32_t dwColor, int nPercent)
{
    uint32_t r = ((dwColor >> 16) & 0xFF) * (uint32_t)nPercent / 100;
    uint32_t g = ((dwColor >> 8) & 0xFF) * (uint32_t)nPercent / 100;
    uint32_t b = (dwColor & 0xFF) * (uint32_t)nPercent / 100;
    r = r > 255 ? 255 : r;
    g = g > 255 ? 255 : g;
    b = b > 255 ? 255 : b;
    // Green must never turn into the key colour.
    if (r < 8 && b < 8 && g >= 252)
        g = 250;
    return (r << 16) | (g << 8) | b;
}

// A 64 x 64 block with an outline and its code.
void Block(CCanvas& c, int x, int y, uint32_t dwFill, const char* pszCode)
{
    c.Fill(x, y, 64, 64, dwFill);
    c.Frame(x, y, 64, 64, kOutline);
    c.Frame(x + 1, y + 1, 62, 62, Shade(dwFill, 130));
    c.TextCentred(x + 4, y + 20, 56, 24, pszCode, 0xFFFFFF);
}

// A slope piece: solid below the line from (0, yl) to (64, yr), transparent above.
void SlopePiece(CCanvas& c, int x, int y, int yl, int yr, uint32_t dwFill, const char* pszCode)
{
    for (int i = 0; i < 64; i++) {
        int top = yl + (yr - yl) * i / 64;
        c.Fill(x + i, y + top, 1, 64 - top, dwFill);
        c.Set(x + i, y + top, kOutline);
    }
    c.Text(x + 20, y + 48, pszCode, 0xFFFFFF, 1, 1);
}

void WritePicture(CDataSet& data, const std::string& folder, const char* pszName, const CCanvas& c)
{
    data.Write(folder + pszName, c.ToBmp24());
}

void WriteTerrain(CDataSet& data, const std::string& folder, uint32_t dwTint)
{
    CCanvas ground(128, 64);
    Block(ground, 0, 0, dwTint, "G1");
    Block(ground, 64, 0, Shade(dwTint, 80), "G2");
    WritePicture(data, folder, "Ground.bmp", ground);

    // Row 1 rises a third of a cell per piece; row 2 falls the same way (D3 first).
    CCanvas slope(192, 128);
    SlopePiece(slope, 0, 0, 64, 43, dwTint, "U1");
    SlopePiece(slope, 64, 0, 43, 21, dwTint, "U2");
    SlopePiece(slope, 128, 0, 21, 0, dwTint, "U3");
    SlopePiece(slope, 0, 64, 0, 21, dwTint, "D3");
    SlopePiece(slope, 64, 64, 21, 43, dwTint, "D2");
    SlopePiece(slope, 128, 64, 43, 64, dwTint, "D1");
    WritePicture(data, folder, "Slope.bmp", slope);

    CCanvas platform(64, 16);
    platform.Fill(0, 0, 64, 16, 0xC0A060);
    platform.Frame(0, 0, 64, 16, kOutline);
    platform.Text(26, 5, "R1", kOutline, 1, 1);
    WritePicture(data, folder, "Platform.bmp", platform);

    CCanvas crate(64, 64);
    Block(crate, 0, 0, 0xA0703C, "K");
    crate.Fill(8, 30, 48, 4, kOutline);
    WritePicture(data, folder, "Crate.bmp", crate);

    CCanvas safe(64, 64);
    Block(safe, 0, 0, 0x707880, "K4");
    WritePicture(data, folder, "Safe.bmp", safe);

    CCanvas spike(64, 64);
    for (int i = 0; i < 4; i++)
        for (int row = 0; row < 32; row++)
            spike.Fill(i * 16 + 8 - row / 4, 32 + row, (row / 4) * 2 + 1, 1, 0xC02020);
    spike.Fill(0, 60, 64, 4, kOutline);
    WritePicture(data, folder, "Spike.bmp", spike);

    CCanvas lift(64, 32);
    lift.Fill(0, 0, 64, 32, 0x4080C0);
    lift.Frame(0, 0, 64, 32, kOutline);
    lift.Text(20, 12, "E1", 0xFFFFFF, 1, 1);
    WritePicture(data, folder, "Lift.bmp", lift);
}

void WriteScenery(CDataSet& data, const std::string& folder, uint32_t dwTint)
{
    // Blended types sit on black, which adds nothing.
    CCanvas glow(64, 64, kBlack);
    glow.Disc(32, 32, 28, 0x604010);
    glow.Disc(32, 32, 18, 0xC09030);
    glow.Disc(32, 32, 8, 0xFFE080);
    WritePicture(data, folder, "Glow.bmp", glow);

    CCanvas haze(64, 64, kBlack);
    haze.Disc(32, 32, 30, 0x406080);
    haze.Text(26, 28, "H1", 0xFFFFFF, 1, 1);
    WritePicture(data, folder, "Haze.bmp", haze);

    CCanvas tree(64, 128);
    tree.Fill(26, 64, 12, 64, 0x6B4226);
    tree.Frame(26, 64, 12, 64, kOutline);
    tree.Disc(32, 40, 30, Shade(dwTint, 70));
    tree.Text(26, 36, "T1", 0xFFFFFF, 1, 1);
    WritePicture(data, folder, "Tree.bmp", tree);

    CCanvas water(128, 64);
    water.Fill(0, 16, 128, 48, 0x2060C0);
    for (int x = 0; x < 64; x += 16) {
        water.Fill(x, 16, 8, 4, 0xA0C0FF);
        water.Fill(64 + x + 8, 16, 8, 4, 0xA0C0FF);
    }
    water.Text(24, 36, "W1", 0xFFFFFF, 1, 1);
    water.Text(88, 36, "W2", 0xFFFFFF, 1, 1);
    WritePicture(data, folder, "Water.bmp", water);

    // Wider than the largest plane: drawn in tiles.
    CCanvas big(320, 64);
    for (int i = 0; i < 5; i++) {
        big.Fill(i * 64, 8, 60, 56, Shade(dwTint, 60 + i * 10));
        big.Frame(i * 64, 8, 60, 56, kOutline);
        big.Fill(i * 64 + 20, 24, 20, 16, 0xFFFF80);
    }
    big.Text(140, 0, "B1", kOutline, 1, 1);
    WritePicture(data, folder, "Big.bmp", big);

    CCanvas far(64, 64);
    far.Fill(0, 24, 64, 40, Shade(dwTint, 50));
    far.Frame(0, 24, 64, 40, Shade(dwTint, 30));
    WritePicture(data, folder, "FarGround.bmp", far);

    CCanvas grass(64, 64);
    for (int i = 0; i < 8; i++)
        grass.Fill(i * 8 + 2, 40 + (i % 3) * 4, 3, 24 - (i % 3) * 4, Shade(dwTint, 120));
    WritePicture(data, folder, "Grass.bmp", grass);
}

void WriteBackgrounds(CDataSet& data, const std::string& folder, int nStage, uint32_t dwTint)
{
    // 512 high, so the camera's 16 pixels either way never show the black behind it.
    CCanvas sky(640, 512, 0x4070B0);
    for (int y = 0; y < 512; y += 32)
        sky.Fill(0, y, 640, 16, 0x5080C0);
    sky.Disc(520, 110, 40, 0xFFF0A0);
    char szTitle[32];
    snprintf(szTitle, sizeof(szTitle), "STAGE %d SKY", nStage);
    sky.Text(40, 40, szTitle, 0xFFFFFF, 3, 3);
    WritePicture(data, folder, "Sky.bmp", sky);

    // Narrower than the screen: repeated side by side into a strip.
    CCanvas far2(200, 480, Shade(dwTint, 40));
    far2.Fill(20, 200, 60, 280, Shade(dwTint, 60));
    far2.Fill(110, 260, 70, 220, Shade(dwTint, 70));
    far2.Frame(0, 0, 200, 480, 0xFFFFFF);
    far2.Text(60, 20, "FAR2", 0xFFFFFF, 2, 2);
    WritePicture(data, folder, "Far2.bmp", far2);

    // Shown doubled ("200%").
    CCanvas far3(400, 240, 0x302040);
    for (int i = 0; i < 20; i++)
        far3.Set((i * 97) % 400, (i * 53) % 120, 0xFFFFFF);
    far3.Fill(0, 160, 400, 80, Shade(dwTint, 45));
    far3.Text(150, 100, "FAR3 200%", 0xFFFFFF, 2, 2);
    WritePicture(data, folder, "Far3.bmp", far3);
}

void WriteChatWindows(CDataSet& data, const std::string& folder)
{
    // A face on the left; the text goes from (110, 25) on.
    for (int i = 1; i <= 2; i++) {
        CCanvas win(400, 80, 0x102040);
        win.Frame(0, 0, 400, 80, 0xC0C0FF);
        win.Frame(2, 2, 396, 76, 0x6060A0);
        win.Fill(12, 10, 80, 60, i == 1 ? 0xE0B090 : 0xB07050);
        win.Frame(12, 10, 80, 60, 0xFFFFFF);
        win.Disc(38, 34, 5, kOutline);
        win.Disc(66, 34, 5, kOutline);
        win.Fill(40, 52, 24, 4, kOutline);
        win.Text(110, 8, i == 1 ? "PILOT" : "CONTROL", 0xC0C0FF, 1, 1);
        char szName[32];
        snprintf(szName, sizeof(szName), "ChatWin%d.bmp", i);
        WritePicture(data, folder, szName, win);
    }
}

}  // namespace

void WriteStagePictures(CDataSet& data, int nStage, const std::string& folder)
{
    uint32_t dwTint = kStageTint[(nStage - 1) % SAMPLE_STAGE_COUNT];
    WriteTerrain(data, folder, dwTint);
    WriteScenery(data, folder, dwTint);
    WriteBackgrounds(data, folder, nStage, dwTint);
    WriteChatWindows(data, folder);
}
