#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "engine/Geometry.h"
#include "StageHarness.h"

namespace {

// Screen 0 of the main layer's bottom row is ground; screen 1 opens with two crates.
const std::initializer_list<const char*> kGroundAndCrates = {
    "#OBJECTG1 Ground.bmp, TOUCH",
    "#OBJECTK1 Crate.bmp, TOUCH, CRUSH16",
    "#BGSPEED2 0.5:0.5",
    "#000C01:G1G1G1G1G1G1G1G1G1G1,K1K1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1",
    "#000B01:G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1,G1G1G1G1G1",
};

class StageProgress : public ::testing::Test {
protected:
    CStageHarness h;
    CStage& s = h.m_Stage;
};

} // namespace

TEST_F(StageProgress, StartPlacesScreenZeroAndTheHeadOfScreenOne)
{
    h.Load(kGroundAndCrates);
    // Distances 704, 640, ..., 0: twelve columns, then one tick of progress.
    const auto& main = s.GetLayerList(3);
    EXPECT_EQ(main.size(), 12u);
    EXPECT_FLOAT_EQ(s.GetLayerPos(3), 714.0f);
    EXPECT_EQ(s.GetScreenAt(3, 704.0f), 1);
    CObjectLabel* pFirst = h.Listed(3, 0, 0, 7);
    CObjectLabel* pCrate = h.Listed(3, 1, 1, 7);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pCrate, nullptr);
    // Placed at distance - step, then moved by one step.
    EXPECT_FLOAT_EQ(pFirst->m_vPos.x, -20.0f);
    EXPECT_FLOAT_EQ(pCrate->m_vPos.x, 684.0f);
    EXPECT_FLOAT_EQ(pCrate->m_vPos.y, 448.0f);
    // Destructible main-layer objects are listed last.
    EXPECT_EQ(main.back()->GetCrushBits() != 0, true);
    EXPECT_EQ((*std::next(main.rbegin()))->GetCrushBits() != 0, true);
    EXPECT_EQ(main.front()->GetCrushBits(), 0u);
    EXPECT_EQ(h.Listed(3, 1, 2, 7), nullptr);
    // First stage, live: her score is reset, she is not played back.
    EXPECT_EQ(h.m_Player.m_nStarts, 1);
    EXPECT_EQ(h.m_Player.m_bPlayback, 0);
    EXPECT_EQ(h.m_Player.m_nExp, 0);
}

TEST_F(StageProgress, ShotLevelGivesTheStartExperience)
{
    h.Load({"#SHOTLEVEL 3", "#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1"});
    EXPECT_EQ(h.m_Player.m_nExp, 64);
}

TEST_F(StageProgress, AColumnSpawnsOnlyPastAGapOf64)
{
    h.Load(kGroundAndCrates);
    const size_t nBefore = s.GetLayerList(3).size();
    // 54 + 10 = 64.0 exactly: nothing.
    s.m_fLayerPos[3] = 758.0f;
    s.m_fColumnGap[3] = 54.0f;
    s.UpdateProgress();
    EXPECT_EQ(s.GetLayerList(3).size(), nBefore);
    EXPECT_FLOAT_EQ(s.m_fColumnGap[3], 64.0f);

    // 64.1: the column at distance 778 (screen 1, column 2) enters at x = 703.9, 0.1 is left.
    s.m_fLayerPos[3] = 758.0f;
    s.m_fColumnGap[3] = 54.1f;
    s.UpdateProgress();
    ASSERT_EQ(s.GetLayerList(3).size(), nBefore + 1);
    CObjectLabel* pNew = h.Listed(3, 1, 2, 7);
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(s.GetLayerList(3).front(), pNew);
    // Spawned, then moved by this tick's step like every label.
    EXPECT_NEAR(pNew->m_vPos.x + 10.0f, 703.9f, 1e-3);
    EXPECT_NEAR(s.m_fColumnGap[3], 0.1f, 1e-4);
}

TEST_F(StageProgress, AtMostOneColumnPerLayerPerTick)
{
    h.Load(kGroundAndCrates);
    const size_t nBefore = s.GetLayerList(3).size();
    s.m_fLayerPos[3] = 758.0f;
    s.m_fColumnGap[3] = 190.0f;
    s.UpdateProgress();
    EXPECT_EQ(s.GetLayerList(3).size(), nBefore + 1);
    EXPECT_FLOAT_EQ(s.m_fColumnGap[3], 136.0f);
    s.UpdateProgress();
    EXPECT_FLOAT_EQ(s.m_fColumnGap[3], 82.0f);
}

TEST_F(StageProgress, AStillLayerSpawnsNothingButItsLabelsAreStillUpdated)
{
    h.Load(kGroundAndCrates);
    s.GetStageData().m_vVelocity[2].x = 0.0f;
    const float fPos = s.GetLayerPos(2);
    const float fGap = s.m_fColumnGap[2];
    const size_t nBefore = s.GetLayerList(2).size();
    ASSERT_GT(nBefore, 0u);
    s.m_fOffsetY[2] = 5.0f;
    for (int i = 0; i < 20; i++)
        s.UpdateProgress();
    EXPECT_EQ(s.GetLayerPos(2), fPos);
    EXPECT_EQ(s.m_fColumnGap[2], fGap);
    EXPECT_EQ(s.GetLayerList(2).size(), nBefore);
    for (CObjectLabel* p : s.GetLayerList(2))
        EXPECT_EQ(p->GetOffsetY(), 5.0f);
}

TEST_F(StageProgress, FinishedLabelsLeaveTheListOnly)
{
    h.Load(kGroundAndCrates);
    CObjectLabel* pFirst = h.Listed(3, 0, 0, 7);
    ASSERT_NE(pFirst, nullptr);
    // It leaves once x < -64 - 64; it started at -20 and moves 10 per tick.
    for (int i = 0; i < 11; i++)
        s.UpdateProgress();
    EXPECT_FLOAT_EQ(pFirst->m_vPos.x, -130.0f);
    EXPECT_EQ(h.Listed(3, 0, 0, 7), nullptr);
    EXPECT_EQ(s.GetStageData().GetCell(3, 7, 0), pFirst);
}

TEST_F(StageProgress, ScreenGeometry)
{
    h.Load(kGroundAndCrates);
    EXPECT_EQ(s.GetScreenStartX(3, 0), 639.0f);
    EXPECT_EQ(s.GetScreenStartX(3, -1), 639.0f);
    EXPECT_EQ(s.GetScreenStartX(3, 1), 640.0f);
    EXPECT_EQ(s.GetScreenStartX(3, 3), 1920.0f);
    // Layer 2 has five columns per screen.
    EXPECT_EQ(s.GetScreenStartX(2, 3), 1280.0f);
    EXPECT_EQ(s.GetScreenAt(3, 639.9f), 0);
    EXPECT_EQ(s.GetScreenAt(3, 640.0f), 1);
    EXPECT_EQ(s.GetScreenAt(3, 1279.9f), 1);
    EXPECT_EQ(s.GetScreenAt(3, 1280.0f), 2);
    EXPECT_EQ(s.GetScreenAt(2, 960.0f), 2);
    // A layer whose ratio leaves no column has no screens.
    s.GetStageData().m_vRatio[1].x = 0.05f;
    EXPECT_EQ(s.GetScreenAt(1, 5000.0f), 0);
}

TEST_F(StageProgress, AddLabelKeepsOneEntryFrontOrBack)
{
    h.Load(kGroundAndCrates);
    CObjectLabel* pGround = h.Listed(3, 0, 5, 7);
    CObjectLabel* pCrate = h.Listed(3, 1, 0, 7);
    ASSERT_TRUE(pGround && pCrate);
    const size_t n = s.GetLayerList(3).size();
    s.AddLabel(3, pGround);
    s.AddLabel(3, pGround);
    EXPECT_EQ(s.GetLayerList(3).size(), n);
    EXPECT_EQ(s.GetLayerList(3).front(), pGround);
    s.AddLabel(3, pCrate);
    EXPECT_EQ(s.GetLayerList(3).back(), pCrate);
    // Off the main layer a destructible object goes to the front like any other.
    s.AddLabel(4, pCrate);
    s.AddLabel(4, pGround);
    EXPECT_EQ(s.GetLayerList(4).front(), pGround);
    EXPECT_EQ(s.GetLayerList(4).back(), pCrate);
    s.AddLabel(4, nullptr);
    s.AddLabel(9, pGround);
    EXPECT_EQ(s.GetLayerList(4).size(), 2u);
}

TEST_F(StageProgress, ScreenEventsRunOnlyWhenTheMainLayerSpawns)
{
    h.PlugScreens();
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1", "#002XXX:DANGER=100:80:1"});
    s.m_fLayerPos[3] = 1270.0f;
    s.m_fColumnGap[3] = 10.0f;
    // The layer is on screen 2 from the next tick, but the column boundary comes five ticks later.
    for (int i = 0; i < 5; i++) {
        s.UpdateProgress();
        EXPECT_EQ(s.GetLayerScreen(3), 2);
        EXPECT_EQ(s.GetScreen(), 1) << i;
    }
    EXPECT_EQ(h.m_Beacon[0].m_nStarts, 0);
    s.UpdateProgress();
    EXPECT_EQ(s.GetScreen(), 2);
    EXPECT_EQ(h.m_Beacon[0].m_nStarts, 1);
    EXPECT_FLOAT_EQ(h.m_Beacon[0].m_fY, 400.0f);
}

TEST_F(StageProgress, ALoopBackRebasesEveryLayer)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#BGSPEED2 0.5:0.5", "#000C01:G1", "#003XXX:LOOP=1"});
    s.m_fLayerPos[3] = 1915.0f;
    s.m_fColumnGap[3] = 60.0f;
    s.m_fColumnGap[2] = 30.0f;
    s.UpdateProgress();
    // Screen 3 was reached with a gap of 70 (t = 6): back to screen 1.
    EXPECT_EQ(s.GetScreen(), 1);
    EXPECT_EQ(s.m_bJumpedAhead, 0);
    EXPECT_FLOAT_EQ(s.m_fLoopFrom[3], 1920.0f);
    EXPECT_FLOAT_EQ(s.m_fLoopTo[3], 640.0f);
    EXPECT_FLOAT_EQ(s.GetLayerPos(3), 646.0f);
    EXPECT_FLOAT_EQ(s.m_fSeam[3], 698.0f);
    EXPECT_FLOAT_EQ(s.m_fSeamStart[3], 698.0f);
    // Layer 2 steps 5 and has five columns per screen: t = 35 - 64.
    EXPECT_FLOAT_EQ(s.m_fLoopFrom[2], 1280.0f);
    EXPECT_FLOAT_EQ(s.GetLayerPos(2), 640.0f - 29.0f);
    EXPECT_FLOAT_EQ(s.m_fSeam[2], 733.0f);

    // Right of the seam the new screen shows, left of it the screen that was left.
    EXPECT_FLOAT_EQ(s.ToLayerDistance(3, 646.0f, 689.0f), 646.0f);
    EXPECT_FLOAT_EQ(s.ToLayerDistance(3, 646.0f, 100.0f), 0.0f + 6.0f + 1920.0f);
    s.UpdateProgress();
    EXPECT_FLOAT_EQ(s.m_fSeam[3], 688.0f);
    EXPECT_FLOAT_EQ(s.ToLayerDistance(3, 656.0f, 100.0f), 10.0f + 6.0f + 1920.0f);
    // The seam runs down to 0 and stays there.
    for (int i = 0; i < 80; i++)
        s.UpdateProgress();
    EXPECT_EQ(s.m_fSeam[3], 0.0f);
}

TEST_F(StageProgress, AJumpAheadLooksUpTheMiddleFromTheSeam)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1", "#002XXX:LOOP=4"});
    s.m_fLayerPos[3] = 1275.0f;
    s.m_fColumnGap[3] = 60.0f;
    s.UpdateProgress();
    EXPECT_EQ(s.GetScreen(), 4);
    EXPECT_EQ(s.m_bJumpedAhead, 1);
    EXPECT_FLOAT_EQ(s.GetLayerPos(3), 2560.0f + 6.0f);
    EXPECT_FLOAT_EQ(s.m_fLoopFrom[3], 1280.0f);
    // Between 64 and 576: A = 704 - S; outside: S0 - S; B = 0.
    EXPECT_FLOAT_EQ(s.ToLayerDistance(3, 2566.0f, 300.0f), 6.0f + 1280.0f);
    EXPECT_FLOAT_EQ(s.ToLayerDistance(3, 2566.0f, 600.0f), 0.0f + 1280.0f);
}

TEST_F(StageProgress, BossTimeCountsDownOnceAndEndsTheFightAtZero)
{
    h.PlugScreens();
    h.Load(kGroundAndCrates);
    CObjectLabel* pBoss = h.Listed(3, 0, 3, 7);
    s.StartBossBattle(pBoss);
    EXPECT_EQ(h.m_Cockpit.IsHidden(), 0);
    EXPECT_EQ(s.m_nLastCountDown, -1);
    h.m_Cockpit.m_nSeconds = 11;
    s.UpdateProgress();
    EXPECT_EQ(s.m_nLastCountDown, -1);
    h.m_Cockpit.m_nSeconds = 10;
    s.UpdateProgress();
    EXPECT_EQ(s.m_nLastCountDown, 10);
    h.m_Cockpit.m_nSeconds = 1;
    s.UpdateProgress();
    EXPECT_EQ(s.m_nLastCountDown, 1);
    h.m_Cockpit.m_nSeconds = 0;
    s.UpdateProgress();
    EXPECT_EQ(s.m_pBoss, nullptr);
    EXPECT_EQ(h.m_Cockpit.IsHidden(), 1);
    EXPECT_EQ(h.m_Player.m_bStageFinished, 1);
}

TEST_F(StageProgress, AJumpFarBeyondTheStageLeavesNothingToSpawnOrStandOn)
{
    h.PlugScreens();
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1",
            "#001XXX:LOOP=2147483647"});
    EXPECT_FLOAT_EQ(s.GetScreenStartX(3, INT_MAX), (float)((10.0 * (INT_MAX - 1.0) + 10.0) * 64.0));
    h.m_Player.m_vPos = D3DVECTOR{{300.0f}, {200.0f}, {0.0f}};
    for (int i = 0; i < 120; i++)
        h.Tick();
    EXPECT_EQ(s.GetScreen(), INT_MAX);
    EXPECT_GT(s.GetLayerPos(3), 1.0e12f);
    // The seam has run out: the ground of the old screens is gone from under her.
    EXPECT_EQ(s.m_fSeam[3], 0.0f);
    EXPECT_EQ(s.GetMainLabelAt(D3DVECTOR{{300.0f}, {480.0f}, {0.0f}}), nullptr);
}
