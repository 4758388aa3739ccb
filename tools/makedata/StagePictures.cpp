// Object and background pictures of the sample stages, drawn with the art kit in each stage's
// theme: pure green where they are transparent, black where they are added to the screen. The
// labelled variant writes the codes and picture names on them.
#include <cstdio>

#include "ScreenPictures.h"
#include "StageArt.h"
#include "StageFiles.h"

namespace {

const uint32_t kBlack = 0x000000;

void WritePicture(CDataSet& data, const std::string& folder, const char* pszName, const CCanvas& c)
{
    data.Write(folder + pszName, c.ToBmp24());
}

void WriteTerrain(CDataSet& data, const std::string& folder, const STAGETHEME& t)
{
    CCanvas ground(128, 64);
    CArtKit kitGround(ground);
    DrawGroundTile(kitGround, t, 0, 0, 0);
    DrawGroundTile(kitGround, t, 64, 0, 1);
    Label(ground, 0, 0, 64, 64, "G1");
    Label(ground, 64, 0, 64, 64, "G2");
    WritePicture(data, folder, "Ground.bmp", ground);

    // The ground's open sides, and the ground under ground: GL GR GF over FL FR.
    CCanvas edge(192, 128);
    CArtKit kitEdge(edge);
    const struct {
        const char* pszCode;
        int x, y;
        bool bCap;
        int nOpen;
    } kEdges[] = {{"GL", 0, 0, true, -1}, {"GR", 64, 0, true, 1}, {"GF", 128, 0, false, 0},
                  {"FL", 0, 64, false, -1}, {"FR", 64, 64, false, 1}};
    for (const auto& e : kEdges) {
        DrawEdgeTile(kitEdge, t, e.x, e.y, e.bCap, e.nOpen);
        Label(edge, e.x, e.y, 64, 64, e.pszCode);
    }
    WritePicture(data, folder, "Edge.bmp", edge);

    CCanvas sign(64, 64);
    CArtKit kitSign(sign);
    DrawSign(kitSign, t, 0, 0);
    Label(sign, 0, 0, 64, 24, "N1");
    WritePicture(data, folder, "Sign.bmp", sign);

    // Row 1 rises a third of a cell per piece; row 2 falls the same way (D3 first).
    CCanvas slope(192, 128);
    CArtKit kitSlope(slope);
    const char* const kCodes[2][3] = {{"U1", "U2", "U3"}, {"D3", "D2", "D1"}};
    for (int row = 0; row < 2; row++) {
        for (int piece = 0; piece < 3; piece++) {
            DrawSlopeTile(kitSlope, t, piece * 64, row * 64, piece, row == 0);
            Label(slope, piece * 64, row * 64 + 40, 64, 24, kCodes[row][piece]);
        }
    }
    WritePicture(data, folder, "Slope.bmp", slope);

    CCanvas platform(64, 16);
    CArtKit kitPlatform(platform);
    DrawPlatform(kitPlatform, t, 0, 0);
    Label(platform, 0, 0, 64, 16, "R1");
    WritePicture(data, folder, "Platform.bmp", platform);

    CCanvas crate(64, 64);
    CArtKit kitCrate(crate);
    DrawCrate(kitCrate, t, 0, 0);
    Label(crate, 0, 0, 64, 64, "K");
    WritePicture(data, folder, "Crate.bmp", crate);

    CCanvas safe(64, 64);
    CArtKit kitSafe(safe);
    DrawSafe(kitSafe, t, 0, 0);
    Label(safe, 0, 0, 64, 64, "K4");
    WritePicture(data, folder, "Safe.bmp", safe);

    CCanvas spike(64, 64);
    CArtKit kitSpike(spike);
    DrawSpikes(kitSpike, t, 0, 0);
    Label(spike, 0, 0, 64, 24, "S1");
    WritePicture(data, folder, "Spike.bmp", spike);

    CCanvas lift(64, 32);
    CArtKit kitLift(lift);
    DrawLift(kitLift, t, 0, 0);
    Label(lift, 0, 0, 64, 32, "E1");
    WritePicture(data, folder, "Lift.bmp", lift);
}

void WriteScenery(CDataSet& data, const std::string& folder, const STAGETHEME& t)
{
    // Blended types sit on black, which adds nothing.
    CCanvas glow(64, 64, kBlack);
    CArtKit kitGlow(glow);
    DrawGlow(kitGlow, t, 64, 64);
    Label(glow, 0, 0, 64, 64, "L1");
    WritePicture(data, folder, "Glow.bmp", glow);

    CCanvas haze(64, 64, kBlack);
    CArtKit kitHaze(haze);
    DrawHaze(kitHaze, t, 64, 64);
    Label(haze, 0, 0, 64, 64, "H1");
    WritePicture(data, folder, "Haze.bmp", haze);

    CCanvas tree(64, 128);
    CArtKit kitTree(tree);
    DrawTree(kitTree, t, 0, 0);
    Label(tree, 0, 24, 64, 24, "T1");
    WritePicture(data, folder, "Tree.bmp", tree);

    CCanvas water(128, 64);
    CArtKit kitWater(water);
    DrawWater(kitWater, t, 0, 0, 0);
    DrawWater(kitWater, t, 64, 0, 1);
    Label(water, 0, 0, 64, 32, "W1");
    Label(water, 64, 0, 64, 32, "W2");
    WritePicture(data, folder, "Water.bmp", water);

    // Wider than the largest plane: drawn in tiles.
    CCanvas big(320, 64);
    CArtKit kitBig(big);
    DrawBig(kitBig, t, 320, 64);
    Label(big, 0, 0, 320, 16, "B1");
    WritePicture(data, folder, "Big.bmp", big);

    CCanvas far(64, 64);
    CArtKit kitFar(far);
    DrawFarGround(kitFar, t, 0, 0);
    Label(far, 0, 24, 64, 40, "F1");
    WritePicture(data, folder, "FarGround.bmp", far);

    CCanvas grass(64, 64);
    CArtKit kitGrass(grass);
    DrawGrass(kitGrass, t, 0, 0);
    Label(grass, 0, 0, 64, 32, "P1");
    WritePicture(data, folder, "Grass.bmp", grass);
}

void WriteBackgrounds(CDataSet& data, const std::string& folder, int nStage, const STAGETHEME& t)
{
    char szName[32];
    // 512 high, so the camera's 16 pixels either way never show the black behind them.
    CCanvas sky(640, 512, 0);
    CArtKit kitSky(sky);
    DrawSky(kitSky, t, 640, 512);
    snprintf(szName, sizeof(szName), "STAGE %d SKY", nStage);
    Label(sky, 0, 0, 640, 96, szName);
    WritePicture(data, folder, "Sky.bmp", sky);

    // Narrower than the screen: repeated side by side into a strip.
    CCanvas far2(200, 512, 0);
    CArtKit kitFar2(far2);
    DrawDayFar(kitFar2, t, 200, 512);
    Label(far2, 0, 0, 200, 64, "FAR2");
    WritePicture(data, folder, "Far2.bmp", far2);

    // Shown doubled ("200%").
    CCanvas far3(400, 256, 0);
    CArtKit kitFar3(far3);
    DrawNightFar(kitFar3, t, 400, 256);
    Label(far3, 0, 80, 400, 40, "FAR3 200%");
    WritePicture(data, folder, "Far3.bmp", far3);
}

void WriteChatWindows(CDataSet& data, const std::string& folder)
{
    for (int i = 1; i <= 2; i++) {
        CCanvas win(288, 80);
        DrawChatWindow(win, i);
        char szName[32];
        snprintf(szName, sizeof(szName), "ChatWin%d.bmp", i);
        WritePicture(data, folder, szName, win);
    }
}

}  // namespace

void WriteStagePictures(CDataSet& data, int nStage, const std::string& folder)
{
    const STAGETHEME& t = StageTheme(nStage);
    WriteTerrain(data, folder, t);
    WriteScenery(data, folder, t);
    WriteBackgrounds(data, folder, nStage, t);
    WriteChatWindows(data, folder);
}
