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
    double fSeconds = 0.0;
    for (int nStage = 1; nStage <= 5; nStage++) {
        char szPath[64];
        snprintf(szPath, sizeof(szPath), ".\\GameData\\Stage%02d\\Stage.txt", nStage);
        CStageData data;
        ASSERT_EQ(data.ReadDefinition(szPath), 1) << szPath;
        const STAGEREVIEW review = ReviewStage(data, jump);
        EXPECT_TRUE(review.faults.empty()) << "stage " << nStage << "\n" << Faults(review);
        EXPECT_GT(review.nBossScreen, 0) << "stage " << nStage;
        fSeconds += review.nRideTicks / 60.0;
    }
    ClearParams();
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

TEST_F(StageFairness, SomethingInTheFirstSecondsFailsIt)
{
    EXPECT_TRUE(Review(4, {{12, 2, "K1"}}).HasFault(FAIR_START));
    // An enemy whose column comes in before four seconds are up.
    const STAGEREVIEW review = Review(4, {}, "#001E04:0000A1\r\n");
    EXPECT_TRUE(review.HasFault(FAIR_START)) << Faults(review);
    // A passer-by is no enemy.
    EXPECT_FALSE(Review(4, {}, "#001E02:0000Q1\r\n").HasFault(FAIR_START));
}

TEST_F(StageFairness, AnArenaWithABlockOrAnEnemyFailsIt)
{
    EXPECT_TRUE(Review(4, {{125, 2, "K1"}}).HasFault(FAIR_ARENA));
    EXPECT_TRUE(Review(4, {}, "#013E05:0000A1\r\n").HasFault(FAIR_ARENA));
}
