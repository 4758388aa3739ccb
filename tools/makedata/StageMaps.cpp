// The sample stages' definition files: the object types every stage defines, and the map and
// events of each stage as its plan lays them out (StagePlans). Every stage has level ground, hills,
// steps, crates of every durability, the safe, planks and bridges, gaps, spikes, scenery on layers
// A, B and D, the far background, passers-by, enemies, events of every kind and its boss at the end.
#include <cstdio>
#include <string>
#include <vector>

#include "StageFiles.h"
#include "BossMMPictures.h"
#include "BossNMPictures.h"
#include "BossF91Pictures.h"
#include "EnemyPictures.h"
#include "StageBuilder.h"
#include "StagePlans.h"
#include "WaveWriter.h"

namespace {

// Room enough for the longest stage.
const int kMaxScreens = 200;

void Directives(std::vector<std::string>& lines, int nStage)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "#XFIRST %d", StageSpeed(nStage));
    lines.push_back(sz);
    lines.push_back("#BGSPEED0 0.25:0.5");
    lines.push_back("#BGSPEED1 0.5:0.5");
    lines.push_back("#BGSPEED2 0.75:0.75");
    lines.push_back("#BGSPEED4 1.5:1.25");
    snprintf(sz, sizeof(sz), "#SHOTLEVEL %d", nStage);
    lines.push_back(sz);
    lines.push_back("#OBJECTG1 Ground.bmp=1:1:64:64, TOUCH");
    lines.push_back("#OBJECTG2 Ground.bmp=65:1:128:64, TOUCH");
    // The ground's edges and the ground under ground.
    lines.push_back("#OBJECTGL Edge.bmp=1:1:64:64, TOUCH");
    lines.push_back("#OBJECTGR Edge.bmp=65:1:128:64, TOUCH");
    lines.push_back("#OBJECTGF Edge.bmp=129:1:192:64, TOUCH");
    lines.push_back("#OBJECTFL Edge.bmp=1:65:64:128, TOUCH");
    lines.push_back("#OBJECTFR Edge.bmp=65:65:128:128, TOUCH");
    lines.push_back("#OBJECTU1 Slope.bmp=1:1:64:64, RUNUP1");
    lines.push_back("#OBJECTU2 Slope.bmp=65:1:128:64, RUNUP2");
    lines.push_back("#OBJECTU3 Slope.bmp=129:1:192:64, RUNUP3");
    lines.push_back("#OBJECTD3 Slope.bmp=1:65:64:128, RUNDOWN3");
    lines.push_back("#OBJECTD2 Slope.bmp=65:65:128:128, RUNDOWN2");
    lines.push_back("#OBJECTD1 Slope.bmp=129:65:192:128, RUNDOWN1");
    lines.push_back("#OBJECTR1 Platform.bmp, RIDEON");
    lines.push_back("#OBJECTK1 Crate.bmp, TOUCH, CRUSH16");
    lines.push_back("#OBJECTK2 Crate.bmp, TOUCH, CRUSH32");
    lines.push_back("#OBJECTK3 Crate.bmp, TOUCH, CRUSH48");
    lines.push_back("#OBJECTK5 Crate.bmp, TOUCH, CRUSH64");
    lines.push_back("#OBJECTK4 Safe.bmp, TOUCH, CRUSH00");
    // Spikes hurt whoever rides into them; they stop no one.
    lines.push_back("#OBJECTS1 Spike.bmp, DAMAGE");
    lines.push_back("#OBJECTN1 Sign.bmp");
    lines.push_back("#OBJECTE1 Lift.bmp=1:1:64:32, MOVEUP");
    lines.push_back("#OBJECTE2 Lift.bmp=1:1:64:32, MOVEDOWN");
    lines.push_back("#OBJECTL1 Glow.bmp, ADDBLT");
    lines.push_back("#OBJECTH1 Haze.bmp, 50%BLT");
    lines.push_back("#OBJECTT1 Tree.bmp");
    lines.push_back("#OBJECTT2 Tree.bmp, NOTRANCE");
    lines.push_back("#OBJECTW1 Water.bmp=1:1:64:64");
    lines.push_back("#OBJECTW2 Water.bmp=65:1:128:64");
    lines.push_back("#ANIMATEWA W1, W2");
    lines.push_back("#OBJECTB1 Big.bmp");
    lines.push_back("#OBJECTF1 FarGround.bmp");
    lines.push_back("#OBJECTP1 Grass.bmp");
}

}  // namespace

std::string MakeStageText(int nStage, bool bDemo)
{
    std::vector<std::string> lines;
    char sz[96];
    snprintf(sz, sizeof(sz), "// Stage %d%s: generated sample stage.", nStage, bDemo ? " (demo play)" : "");
    lines.push_back(sz);
    Directives(lines, nStage);
    CStageBuilder builder(nStage, kMaxScreens);
    char szBgm[32];
    snprintf(szBgm, sizeof(szBgm), "BGM=Stage%02d.wav:%u", nStage, MakeMusicPiece(2 + nStage).nLoopStartMs);
    builder.EventAtScreen(0, "BG0=Sky.bmp");
    builder.EventAtScreen(0, szBgm);
    PlanStage(builder, nStage);
    builder.Emit(lines);
    return JoinCrLf(lines);
}

void WriteStageFiles(CDataSet& data)
{
    for (int nStage = 1; nStage <= SAMPLE_STAGE_COUNT; nStage++) {
        char szFolder[16];
        snprintf(szFolder, sizeof(szFolder), "Stage%02d/", nStage);
        const std::string folder = szFolder;
        data.WriteText(folder + "Stage.txt", MakeStageText(nStage, false));
        data.WriteText(folder + "StageDemo.txt", MakeStageText(nStage, true));
        WriteStagePictures(data, nStage, folder);
        WriteEnemyPictures(data, nStage, folder);
        if (nStage == 1)
            WriteBossMMPictures(data, folder);
        if (nStage == 5)
            WriteBossNMPictures(data, folder);
        if (nStage == 4)
            WriteBossF91Pictures(data, folder);
        data.Write(folder + "Chat01.wav", MakeChatVoice(1));
        data.Write(folder + "Chat02.wav", MakeChatVoice(2));
        data.Write(folder + "Horn.wav", MakeEffectWave("Horn"));
        char szBgm[32];
        snprintf(szBgm, sizeof(szBgm), "Stage%02d.wav", nStage);
        data.Write(folder + szBgm, MakeMusicPiece(2 + nStage).wave);
        data.Write(folder + "Boss.wav", MakeMusicPiece(8 + nStage).wave);
    }
}
