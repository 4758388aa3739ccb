// The fairness review of the stages: every stage the generator writes passes it, and a stage
// written to break each of its rules fails that rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "StageReview.h"
#include "engine/Param.h"
#include "stage/StageData.h"
#include "support/GeneratedData.h"
#include "support/TempFolder.h"

namespace {

const JUMPPHYSICS kJump = {16.0f, 1.6333333f};

// A stage of nScreens of level ground (RR 1), with the boss's warning on screen nWarning and the
// boss on the next; cells[i] = {column, RR, code} on the main layer, then any further lines.
struct CELLAT {
    int nColumn;
    int nRR;
    const char* pszCode;
};

std::string Row(int nRR, int nColumns, const std::vector<CELLAT>& cells, bool bGround)
{
    std::string codes;
    for (int c = 0; c < nColumns; c++) {
        const char* pszCode = bGround ? "G1" : "00";
        for (const CELLAT& cell : cells) {
            if (cell.nColumn == c && cell.nRR == nRR)
                pszCode = cell.pszCode;
        }
        codes += pszCode;
    }
    std::string line = "#000C0" + std::to_string(nRR) + ":";
    for (int s = 0; s * 10 < nColumns; s++)
        line += (s ? "," : "") + codes.substr((size_t)s * 20, 20);
    return line + "\r\n";
}

STAGEREVIEW Review(int nSpeed, const std::vector<CELLAT>& cells, const std::string& more = "")
{
    const int nWarning = 12, nColumns = (nWarning + 6) * 10;
    std::string text = "#XFIRST " + std::to_string(nSpeed) + "\r\n";
    text += "#OBJECTG1 Ground.bmp=1:1:64:64, TOUCH\r\n#OBJECTK1 Crate.bmp, TOUCH, CRUSH16\r\n";
    text += "#OBJECTK4 Safe.bmp, TOUCH, CRUSH00\r\n";
    text += "#OBJECTR1 Platform.bmp, RIDEON\r\n#OBJECTS1 Spike.bmp, DAMAGE\r\n#OBJECTT1 Tree.bmp\r\n";
    for (int nRR = 8; nRR >= 1; nRR--)
        text += Row(nRR, nColumns, cells, nRR == 1);
    text += "#" + std::string(nWarning < 10 ? "00" : "0") + std::to_string(nWarning) + "XXX:DANGER=Boss\r\n";
    text += "#0" + std::to_string(nWarning + 1) + "XXX:BOSS=M.Zorva\r\n" + more;
    CTempFolder::Put("Crafted.txt", text);
    CStageData data;
    EXPECT_EQ(data.ReadDefinition("Crafted.txt"), 1);
    return ReviewStage(data, kJump);
}

std::string Faults(const STAGEREVIEW& review)
{
    std::string all;
    for (const FAIRFAULT& fault : review.faults)
        all += DescribeFault(fault) + "\n";
    return all;
}

class StageFairness : public ::testing::Test {
protected:
    CTempFolder m_Folder;
};

} // namespace

TEST_F(StageFairness, EveryGeneratedStageIsFair)
{
    LinkGeneratedData();
    ClearParams();
    const JUMPPHYSICS jump = ReadJumpPhysics();
    EXPECT_FLOAT_EQ(jump.fJump, 16.0f);
    std::vector<STAGEREVIEW> reviews;
    for (int nStage = 1; nStage <= 5; nStage++) {
        char szPath[64];
        snprintf(szPath, sizeof(szPath), ".\\GameData\\Stage%02d\\Stage.txt", nStage);
        CStageData data;
        ASSERT_EQ(data.ReadDefinition(szPath), 1) << szPath;
        reviews.push_back(ReviewStage(data, jump));
    }
    ClearParams();
    // The curve's faults join the stages': the rides stay fair and the difficulty only grows.
    ReviewCurve(reviews);
    double fSeconds = 0.0;
    for (int nStage = 1; nStage <= 5; nStage++) {
        const STAGEREVIEW& review = reviews[nStage - 1];
        EXPECT_TRUE(review.faults.empty()) << "stage " << nStage << "\n" << Faults(review);
        EXPECT_GT(review.nBossScreen, 0) << "stage " << nStage;
        fSeconds += review.nRideTicks / 60.0;
        printf("stage %d: %.0f s, a minute %.1f walls, %.1f gaps, %.1f enemies\n", nStage, review.nRideTicks / 60.0,
               review.PerMinute(review.nWalls), review.PerMinute(review.nGaps), review.PerMinute(review.nEnemies));
    }
    printf("the five rides to the bosses: %.0f s\n", fSeconds);
}

TEST_F(StageFairness, LevelGroundWithAStepACrateAndABridgedGapIsFair)
{
    const STAGEREVIEW review =
        Review(4, {{40, 2, "G1"}, {41, 2, "G1"}, {50, 2, "K1"}, {60, 1, "R1"}, {61, 1, "R1"}, {70, 2, "T1"}});
    EXPECT_TRUE(review.faults.empty()) << Faults(review);
    EXPECT_EQ(review.nWalls, 2);
    EXPECT_EQ(review.nBossScreen, 13);
    // From 704 to 13 screens of 640 at 4 a tick.
    EXPECT_EQ(review.nRideTicks, (13 * 640 - 704 + 3) / 4);
}

TEST_F(StageFairness, AWallTwoCellsHighFailsIt)
{
    const STAGEREVIEW review = Review(5, {{40, 2, "G1"}, {40, 3, "G1"}});
    EXPECT_TRUE(review.HasFault(FAIR_WALL)) << Faults(review);
    // Crates stacked two high behind a crate a cell high: her gun breaks the step first.
    const STAGEREVIEW crates = Review(5, {{40, 2, "K1"}, {41, 2, "K1"}, {41, 3, "K1"}});
    EXPECT_TRUE(crates.HasFault(FAIR_WALL, 41)) << Faults(crates);
    // A safe for the step stays.
    EXPECT_TRUE(Review(5, {{40, 2, "K4"}, {41, 2, "K1"}, {41, 3, "K1"}}).faults.empty());
}

TEST_F(StageFairness, ABlockOverTheRoadBeforeAWallPinsHer)
{
    // She rides under the blocks, and under them her jump at the wall stops short of its top.
    const STAGEREVIEW review = Review(5, {{37, 3, "G1"}, {38, 3, "G1"}, {39, 3, "G1"}, {40, 2, "G1"}});
    EXPECT_TRUE(review.HasFault(FAIR_PIN)) << Faults(review);
}

TEST_F(StageFairness, PlanksSheCanStandOnThatCarryHerIntoAWallPinHer)
{
    // Planks a cell over the road and a block at her height at their end. The road below is clear;
    // from the planks she jumps the block, unless a roof over them stops her jump: then the planks
    // carry her into it and off the screen.
    std::vector<CELLAT> cells = {{45, 3, "G1"}};
    for (int c = 40; c <= 44; c++)
        cells.push_back({c, 2, "R1"});
    const STAGEREVIEW open = Review(5, cells);
    EXPECT_TRUE(open.faults.empty()) << Faults(open);
    for (int c = 43; c <= 46; c++)
        cells.push_back({c, 4, "G1"});
    const STAGEREVIEW roofed = Review(5, cells);
    EXPECT_TRUE(roofed.HasFault(FAIR_PIN, 45)) << Faults(roofed);
}

TEST_F(StageFairness, AGapTooWideForTheSpeedFailsIt)
{
    // Open ground at 6 a tick carries a normal jump over one cell, not over two.
    EXPECT_TRUE(Review(6, {{40, 1, "00"}}).faults.empty());
    const STAGEREVIEW review = Review(6, {{40, 1, "00"}, {41, 1, "00"}});
    EXPECT_TRUE(review.HasFault(FAIR_GAP)) << Faults(review);
    // Spikes she cannot jump clear of are a gap of their own.
    const STAGEREVIEW spikes = Review(4, {{40, 2, "S1"}, {41, 2, "S1"}, {42, 2, "S1"}});
    EXPECT_TRUE(spikes.HasFault(FAIR_GAP)) << Faults(spikes);
}

TEST_F(StageFairness, AGapRightAfterAStepComesWithoutWarning)
{
    const STAGEREVIEW review = Review(6, {{38, 2, "G1"}, {39, 2, "G1"}, {40, 1, "00"}, {40, 2, "00"}});
    ASSERT_TRUE(review.HasFault(FAIR_GAP)) << Faults(review);
    EXPECT_NE(Faults(review).find("level ground"), std::string::npos) << Faults(review);
}

TEST_F(StageFairness, SomethingToJumpOrAnEnemyInViewWhereTheRoadSpeedsUpFailsIt)
{
    // The road speeds up at screen 7: screen 6 is in view then.
    const std::string up = "#007XXX:XSPEED=6\r\n";
    EXPECT_TRUE(Review(5, {{50, 2, "K4"}, {75, 2, "K4"}}, up).faults.empty());
    const STAGEREVIEW wall = Review(5, {{65, 2, "K4"}}, up);
    EXPECT_TRUE(wall.HasFault(FAIR_SPEEDUP, 65)) << Faults(wall);
    const STAGEREVIEW enemy = Review(5, {}, up + "#006E05:0000A1\r\n");
    EXPECT_TRUE(enemy.HasFault(FAIR_SPEEDUP, 62)) << Faults(enemy);
    // A slower road keeps the cells in step.
    EXPECT_FALSE(Review(5, {{65, 2, "K4"}}, "#007XXX:XSPEED=4\r\n").HasFault(FAIR_SPEEDUP));
}

TEST_F(StageFairness, SomethingInTheFirstSecondsFailsIt)
{
    EXPECT_TRUE(Review(4, {{12, 2, "K1"}}).HasFault(FAIR_START));
    // An enemy whose column comes in before four seconds are up.
    const STAGEREVIEW review = Review(4, {}, "#001E04:0000A1\r\n");
    EXPECT_TRUE(review.HasFault(FAIR_START)) << Faults(review);
    // A passer-by is no enemy.
    EXPECT_FALSE(Review(4, {}, "#001E02:0000Q1\r\n").HasFault(FAIR_START));
}

TEST_F(StageFairness, AStageEasierThanTheOneBeforeBreaksTheCurve)
{
    // Two kinds in a first stage, each alone the first time; a second stage with as many walls and
    // enemies and more gaps.
    const std::string teach = "#005E05:0000A1\r\n#007E05:0000F1\r\n#009E05:0000A1000000F1\r\n";
    std::vector<STAGEREVIEW> stages = {Review(6, {{50, 2, "G1"}}, teach),
                                       Review(6, {{50, 2, "G1"}, {70, 2, "G1"}, {90, 1, "00"}}, teach)};
    ReviewCurve(stages);
    EXPECT_TRUE(stages[0].faults.empty()) << Faults(stages[0]);
    EXPECT_TRUE(stages[1].faults.empty()) << Faults(stages[1]);
    // Fewer gaps than the stage before, and no more walls than the first.
    stages = {stages[1], Review(6, {{50, 2, "G1"}, {70, 2, "G1"}}, teach)};
    ReviewCurve(stages);
    EXPECT_TRUE(stages[1].HasFault(FAIR_CURVE)) << Faults(stages[1]);
    EXPECT_NE(Faults(stages[1]).find("gaps"), std::string::npos) << Faults(stages[1]);
    // A kind met first beside another enemy.
    stages = {Review(6, {}, "#006E05:0000A1000000F1\r\n")};
    ReviewCurve(stages);
    EXPECT_TRUE(stages[0].HasFault(FAIR_CURVE)) << Faults(stages[0]);
}

TEST_F(StageFairness, AnArenaWithABlockOrAnEnemyFailsIt)
{
    EXPECT_TRUE(Review(4, {{125, 2, "K1"}}).HasFault(FAIR_ARENA));
    EXPECT_TRUE(Review(4, {}, "#013E05:0000A1\r\n").HasFault(FAIR_ARENA));
}
