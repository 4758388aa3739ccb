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

// The stages not yet laid out by a plan keep their first maps for now.
namespace legacy {
namespace {


// The chat lines (code page 932). "\\s" ends a text step, "\\n" a line; the two empty steps at the
// end keep the words up a while. "This is Zorva, the operation begins! / Many enemies ahead... /
// I'll break right through!"
const char kChatStart[] = "\x82\xB1\x82\xBF\x82\xE7\x83\x5D\x83\x8B\x83\x6F\x81\x41\x8D\xEC\x90\xED\x8A\x4A\x8E\x6E"
                          "\x81\x49\\s\\n\x93\x47\x82\xCC\x94\xBD\x89\x9E\x91\xBD\x90\x94\x81\x63\\n\x88\xEA\x8B\x43"
                          "\x82\xC9\x93\xCB\x94\x6A\x82\xB7\x82\xE9\x82\xED\x82\xE6\x81\x49\\s\\s";
// "Warning! A huge enemy ahead. / Zorva, don't push yourself!"
const char kChatBoss[] = "\x8C\x78\x8D\x90\x81\x49\x91\x4F\x95\xFB\x82\xC9\x8B\x90\x91\xE5\x82\xC8\x93\x47\x89\x65"
                         "\x81\x42\\s\\n\x83\x5D\x83\x8B\x83\x6F\x81\x41\x96\xB3\x97\x9D\x82\xCD\x82\xB7\x82\xE9\x82\xC8"
                         "\x81\x49\\s\\s";

const char* const kBossNames[SAMPLE_STAGE_COUNT] = {"M.Zorva", "Z.M.Zorva", "ZZ.M.Zorva", "M.ZorvaF91", "N.M.Zorva"};

// The map of one layer: codes by column and row (RR 1 at the bottom to 8 at the top).
class CLegacyGrid {
public:
    CLegacyGrid(char cLetter, int nColumnsPerScreen, int nScreens)
        : m_cLetter(cLetter), m_nPerScreen(nColumnsPerScreen), m_nScreens(nScreens)
    {
        int nColumns = 10 + (nScreens - 1) * nColumnsPerScreen;
        for (std::string& row : m_Rows)
            row.assign((size_t)nColumns * 2, '0');
    }
    int Columns() const { return (int)m_Rows[0].size() / 2; }
    // The first column of a screen: screen 0 has ten, every other its layer's count.
    int FirstColumn(int nScreen) const { return nScreen == 0 ? 0 : 10 + (nScreen - 1) * m_nPerScreen; }
    int ScreenWidth(int nScreen) const { return nScreen == 0 ? 10 : m_nPerScreen; }
    std::string Get(int nColumn, int nRR) const
    {
        if (nColumn < 0 || nColumn >= Columns() || nRR < 1 || nRR > 8)
            return "00";
        return m_Rows[nRR - 1].substr((size_t)nColumn * 2, 2);
    }
    void Set(int nColumn, int nRR, const char* pszCode)
    {
        if (nColumn < 0 || nColumn >= Columns() || nRR < 1 || nRR > 8)
            return;
        m_Rows[nRR - 1].replace((size_t)nColumn * 2, 2, pszCode);
    }
    // One line per row that holds anything: token i is screen i; empty screens give empty tokens.
    void Emit(std::vector<std::string>& lines) const
    {
        for (int nRR = 8; nRR >= 1; nRR--) {
            const std::string& row = m_Rows[nRR - 1];
            if (row.find_first_not_of('0') == std::string::npos)
                continue;
            char szHead[16];
            snprintf(szHead, sizeof(szHead), "#000%c%02d:", m_cLetter, nRR);
            std::string line = szHead;
            for (int s = 0; s < m_nScreens; s++) {
                std::string token = row.substr((size_t)FirstColumn(s) * 2, (size_t)ScreenWidth(s) * 2);
                if (s > 0)
                    line += ",";
                if (token.find_first_not_of('0') != std::string::npos)
                    line += token;
            }
            lines.push_back(line);
        }
    }

private:
    char m_cLetter;
    int m_nPerScreen;
    int m_nScreens;
    std::string m_Rows[8];
};

// Every enemy code of the factory's table.
std::vector<std::string> AllEnemyCodes()
{
    const struct {
        char cLetter;
        char cFirst;
        char cLast;
    } kRanges[] = {{'A', '0', '8'}, {'B', '1', '8'}, {'C', '1', '4'}, {'F', '0', '8'}, {'G', '0', '8'}, {'H', '1', '4'},
                   {'J', '1', '8'}, {'L', '1', '4'}, {'M', '1', '4'}, {'N', '1', '4'}, {'P', '1', '2'}};
    std::vector<std::string> codes;
    for (const auto& r : kRanges)
        for (char c = r.cFirst; c <= r.cLast; c++)
            codes.push_back(std::string(1, r.cLetter) + c);
    return codes;
}

// Stage 1 meets the kinds that fly today in their telling variants: the aimed shot and the big
// bullet of A, rings of two and of five with their core, the halting and the diving F, G's falling
// units, carrier and diagonal blade. Stages 2 to 5 share out the whole table between them and also
// meet one of each kind; stage 2 meets the kinds of the later stages first, within its first
// three screens.
std::vector<std::string> StageEnemyCodes(int nStage)
{
    if (nStage == 1)
        return {"A1", "B8", "F2", "G7", "A7", "F0", "G0", "B1", "A0", "F6", "G3", "A5"};
    const char* const kFirstOfKind[] = {"A1", "B1", "C1", "F1", "G1", "H1", "J1", "L1", "M1", "N1", "P1"};
    const char* const kLaterKindsFirst[] = {"C1", "H1", "J1", "L1", "M1", "N1", "P1", "A1", "B1", "F1", "G1"};
    std::vector<std::string> codes = nStage == 2
                                         ? std::vector<std::string>(std::begin(kLaterKindsFirst), std::end(kLaterKindsFirst))
                                         : std::vector<std::string>(std::begin(kFirstOfKind), std::end(kFirstOfKind));
    std::vector<std::string> all = AllEnemyCodes();
    for (size_t i = 0; i < all.size(); i++)
        if ((int)(i % 4) == nStage - 2)
            codes.push_back(all[i]);
    return codes;
}

struct STAGEPLAN {
    int nScreens;     // screens written
    int nBossScreen;  // the boss appears here; the warning comes one screen earlier
};

STAGEPLAN PlanOf(int nStage)
{
    return nStage == 1 ? STAGEPLAN{12, 8} : STAGEPLAN{18, 14};
}

void Directives(std::vector<std::string>& lines, int nStage)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "#XFIRST %d", nStage == 1 ? 4 : 5 + nStage / 3);
    lines.push_back(sz);
    lines.push_back("#BGSPEED0 0.25:0.5");
    lines.push_back("#BGSPEED1 0.5:0.5");
    lines.push_back("#BGSPEED2 0.75:0.75");
    lines.push_back("#BGSPEED4 1.5:1.25");
    snprintf(sz, sizeof(sz), "#SHOTLEVEL %d", nStage);
    lines.push_back(sz);
    lines.push_back("#OBJECTG1 Ground.bmp=1:1:64:64, TOUCH");
    lines.push_back("#OBJECTG2 Ground.bmp=65:1:128:64, TOUCH");
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
    lines.push_back("#OBJECTS1 Spike.bmp, TOUCH, DAMAGE");
    lines.push_back("#OBJECTE1 Lift.bmp, MOVEUP");
    lines.push_back("#OBJECTE2 Lift.bmp, MOVEDOWN");
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

// The feature of a screen: the six come round in turn, in an order of the stage's own. The gap
// (3) and the groups' screen (5) keep their places on every stage, as the events and groups count
// on them; the others change places from stage 3 on.
int FeatureOf(int nStage, int nScreen)
{
    const int kOrders[][6] = {{0, 1, 2, 3, 4, 5}, {2, 1, 0, 3, 4, 5}, {0, 4, 2, 3, 1, 5}, {2, 4, 0, 3, 1, 5}};
    const int nOrder = nStage <= 2 ? 0 : (nStage - 2) % 4;
    return kOrders[nOrder][(nScreen - 1) % 6];
}

// The main layer's features, one per screen between the start and the boss arena.
void MainLayer(CLegacyGrid& c, int nStage, const STAGEPLAN& plan)
{
    for (int col = 0; col < c.Columns(); col++)
        c.Set(col, 1, col % 3 == 2 ? "G2" : "G1");
    for (int s = 1; s < plan.nBossScreen - 1; s++) {
        int x = c.FirstColumn(s);
        switch (FeatureOf(nStage, s)) {
        case 0:  // up, along and down
            c.Set(x + 2, 2, "U1");
            c.Set(x + 3, 2, "U2");
            c.Set(x + 4, 2, "U3");
            c.Set(x + 5, 2, "G1");
            c.Set(x + 6, 2, "G1");
            c.Set(x + 7, 2, "D3");
            c.Set(x + 8, 2, "D2");
            c.Set(x + 9, 2, "D1");
            break;
        case 1:  // crates to shoot and a block to jump; later a stair of two, as a jump clears one cell
            c.Set(x + 3, 2, "K1");
            c.Set(x + 4, 2, "K1");
            c.Set(x + 4, 3, "K2");
            if (nStage == 1) {
                c.Set(x + 8, 2, "G2");
            } else {
                for (int k = 6; k <= 9; k++)
                    c.Set(x + k, 2, "G2");
                c.Set(x + 8, 3, "G2");
                c.Set(x + 9, 3, "G2");
            }
            break;
        case 2:  // a stair of platforms to stand on and drop through: a jump rises about one cell
            c.Set(x + 2, 2, "R1");
            c.Set(x + 3, 2, "R1");
            c.Set(x + 5, 3, "R1");
            c.Set(x + 6, 3, "R1");
            c.Set(x + 8, 4, "R1");
            break;
        case 3:  // a gap: bridged on stage 1, later a platform over it
            if (nStage == 1) {
                c.Set(x + 5, 1, "R1");
            } else {
                // The platform reaches a cell beyond the gap on both sides: a jump that tops it
                // anywhere along four cells lands, where one over the gap alone needed the apex
                // of the jump right at its edge. No spikes after it: a hit throws her back
                // about four cells, into the pit.
                c.Set(x + 4, 1, "00");
                c.Set(x + 5, 1, "00");
                for (int k = 3; k <= 6; k++)
                    c.Set(x + k, 2, "R1");
            }
            break;
        case 4:  // hard crates, a lift and spikes
            c.Set(x + 2, 2, "K3");
            c.Set(x + 3, 2, "K5");
            c.Set(x + 5, 2, "K4");
            c.Set(x + 7, 3, "E1");
            c.Set(x + 8, 4, "E2");
            c.Set(x + 9, 2, "S1");
            break;
        default:
            break;  // the CRATES group goes here (see Groups)
        }
    }
}

void SceneryLayers(CLegacyGrid& a, CLegacyGrid& b, CLegacyGrid& d)
{
    for (int col = 0; col < a.Columns(); col++) {
        a.Set(col, 1, "F1");
        if (col % 3 == 1)
            a.Set(col, 3, col % 2 ? "T1" : "T2");
    }
    for (int col = 0; col < b.Columns(); col++) {
        if (col % 9 == 2)
            b.Set(col, 4, "B1");
        if (col % 7 == 5)
            b.Set(col, 6, "L1");
        if (col % 11 == 8)
            b.Set(col, 7, "H1");
    }
    for (int col = 0; col < d.Columns(); col++) {
        if (col % 4 == 1)
            d.Set(col, 1, "P1");
        if (col % 13 == 6)
            d.Set(col, 1, "WA");
    }
}

// The crawler creeps along the ground; the others fly.
bool IsGroundKind(const std::string& code)
{
    return code[0] == 'P';
}

// The first column from nColumn on where a ground kind stands on bare ground, clear of the main
// layer's blocks and of the passers-by; nColumn when the screen has none.
int FreeGroundColumn(const CLegacyGrid& main, const CLegacyGrid& e, int nColumn)
{
    for (int col = nColumn; col < main.Columns(); col++)
        if (main.Get(col, 1) != "00" && main.Get(col, 2) == "00" && e.Get(col, 2) == "00")
            return col;
    return nColumn;
}

void EnemyLayer(CLegacyGrid& e, const CLegacyGrid& main, int nStage, const STAGEPLAN& plan)
{
    std::vector<std::string> codes = StageEnemyCodes(nStage);
    size_t n = 0;
    int nSlots = 0;
    for (int s = 1; s < plan.nBossScreen - 1; s++) {
        int x = e.FirstColumn(s);
        // Passers-by stand on the ground of the first screens.
        if (s <= 3) {
            const char* const kPeople[] = {"Q1", "Q2", "Q3"};
            e.Set(x + 1, 2, kPeople[s - 1]);
        }
        const int kCols[] = {3, 6, 8};
        int nPerScreen = nStage == 1 ? 2 : 3;
        for (int k = 0; k < nPerScreen; k++, nSlots++) {
            const std::string& code = codes[n % codes.size()];
            if (IsGroundKind(code))
                e.Set(FreeGroundColumn(main, e, x + kCols[k]), 2, code.c_str());
            else
                e.Set(x + kCols[k], 4 + (nSlots % 3), code.c_str());
            n++;
        }
    }
}

void Events(std::vector<std::string>& lines, int nStage, const STAGEPLAN& plan)
{
    char sz[128];
    const int b = plan.nBossScreen;
    auto at = [&lines, &sz](int nScreen, const std::string& text) {
        snprintf(sz, sizeof(sz), "#%03dXXX:", nScreen);
        lines.push_back(sz + text);
    };
    char szBgm[32];
    snprintf(szBgm, sizeof(szBgm), "BGM=Stage%02d.wav:%u", nStage, MakeMusicPiece(2 + nStage).nLoopStartMs);
    at(0, "BG0=Sky.bmp");
    at(0, szBgm);
    // The chat and the danger beacons come once the start banner has gone.
    at(1, "CONSTRUCTIVE=On");
    at(2, std::string("CHAT=ChatWin1.bmp:Chat01.wav:") + kChatStart);
    at(3, "DANGER=560:240:2");
    at(3, "PLAY=Horn.wav");
    // Stage 1 is short: its backgrounds change faster.
    at(nStage == 1 ? 3 : 4, "BG0=Far2.bmp");
    at(nStage == 1 ? 4 : 7, "BG0=Far3.bmp:200%");
    // A beacon low on the right warns of each gap as the screen that holds it comes in.
    for (int s = 1; nStage > 1 && s < b - 1; s++)
        if (FeatureOf(nStage, s) == 3)
            at(s, "DANGER=600:120:1");
    at(4, "XSPEED=" + std::to_string(nStage == 1 ? 5 : 8));
    at(6, "XSPEED=" + std::to_string(nStage == 1 ? 4 : 5 + nStage / 3));
    at(b - 3, "CONSTRUCTIVE=Off");
    at(b - 2, "BG0=Sky.bmp");
    at(b - 1, "DANGER=Boss");
    at(b - 1, "BGM=Off");
    at(b - 1, std::string("CHAT=ChatWin2.bmp:Chat02.wav:") + kChatBoss);
    if (nStage >= 4)
        at(b - 1, "AERIALMODE");
    at(b, std::string("BOSS=") + kBossNames[nStage - 1]);
    at(b, "BGM=Boss.wav:0");
    // The arena repeats while the boss lives.
    snprintf(sz, sizeof(sz), "LOOP=%d:Boss", b);
    at(b + 2, sz);
    // Reached only once the boss is gone: the arena's ground holds her while the tally counts.
    at(b + 3, "XSPEED=0");
}

// Rows kept in a group at a screen never reached, placed by name.
void Groups(std::vector<std::string>& lines, const STAGEPLAN& plan)
{
    // The steps: two platforms, each a jump above the last. No spikes: the steps come on the screen
    // before the boss warning, and from stage 4 on she rides the warning's first two seconds
    // without control on her way up into the air, so she could not jump them.
    lines.push_back("#999X03:0000000000K1K1000000,000000000000R1R10000");
    lines.push_back("#999X02:0000K1K1K1K1K1K10000,000000R1R10000000000");
    lines.push_back("#999X00:CRATES,STEPS");
    for (int s = 1; s < plan.nBossScreen - 1; s++) {
        char sz[32];
        // The first such screen gets the crates, a later one the steps: none near the arena,
        // where the ground must stay flat while the tally counts.
        if ((s - 1) % 6 == 5) {
            snprintf(sz, sizeof(sz), "#%03dC00:%s", s, s == 6 ? "CRATES" : "STEPS");
            lines.push_back(sz);
        }
    }
}

}  // namespace

std::string LegacyStageText(int nStage, bool bDemo)
{
    STAGEPLAN plan = PlanOf(nStage);
    std::vector<std::string> lines;
    char sz[96];
    snprintf(sz, sizeof(sz), "// Stage %d%s: generated sample stage.", nStage, bDemo ? " (demo play)" : "");
    lines.push_back(sz);
    Directives(lines, nStage);
    CLegacyGrid a('A', 5, plan.nScreens);
    CLegacyGrid bLayer('B', 7, plan.nScreens);
    CLegacyGrid c('C', 10, plan.nScreens);
    CLegacyGrid d('D', 15, plan.nScreens);
    CLegacyGrid e('E', 10, plan.nScreens);
    MainLayer(c, nStage, plan);
    SceneryLayers(a, bLayer, d);
    EnemyLayer(e, c, nStage, plan);
    lines.push_back("// main layer");
    c.Emit(lines);
    lines.push_back("// scenery");
    a.Emit(lines);
    bLayer.Emit(lines);
    d.Emit(lines);
    lines.push_back("// enemies and passers-by");
    e.Emit(lines);
    lines.push_back("// events");
    Events(lines, nStage, plan);
    Groups(lines, plan);
    return JoinCrLf(lines);
}

}  // namespace legacy

std::string MakeStageText(int nStage, bool bDemo)
{
    if (nStage >= 2)
        return legacy::LegacyStageText(nStage, bDemo);
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
