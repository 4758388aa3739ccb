#include <gtest/gtest.h>

#include "StageHarness.h"

namespace {

D3DVECTOR Pt(float x, float y)
{
    return D3DVECTOR{{x}, {y}, {0.0f}};
}

// A flying item: a body of kind 1 that keeps what the terrain test tells it.
class CTestItem : public CBoundable {
public:
    CTestItem(float x, float y) : CBoundable(1), m_vPos(Pt(x, y)) {}
    void SetState(DWORD dw) override { m_dwState = dw; }
    DWORD GetState() override { return m_dwState; }
    void SetPosition(const D3DVECTOR& v) override { m_vPos = v; }
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override
    {
        *pOut = m_vPos;
        return pOut;
    }
    void Land(float y) override
    {
        m_vPos.y = y;
        m_nLands++;
    }
    DWORD m_dwState = 0;
    D3DVECTOR m_vPos;
    int m_nLands = 0;
};

class StageTerrain : public ::testing::Test {
protected:
    // The heroine at (x, y) falling by fFall this tick.
    void Place(float x, float y, float fFall)
    {
        h.m_Player.m_vPos = Pt(x, y);
        h.m_Player.m_vB = Pt(0.0f, fFall);
        h.m_Player.m_vA = Pt(0.0f, 0.0f);
        h.m_Player.m_dwState = PLAYER_STATE_JUMP;
    }

    CStageHarness h;
    CStage& s = h.m_Stage;
    CStubPlayer& p = h.m_Player;
};

} // namespace

TEST_F(StageTerrain, ExtendVectorLengthensAlongItself)
{
    D3DVECTOR v = CStage::ExtendVector(Pt(3.0f, 4.0f), -5.0f);
    EXPECT_FLOAT_EQ(v.x, 6.0f);
    EXPECT_FLOAT_EQ(v.y, 8.0f);
    v = CStage::ExtendVector(Pt(0.005f, 0.0f), 10.0f);
    EXPECT_FLOAT_EQ(v.x, 0.005f);
}

TEST_F(StageTerrain, AFallOntoAFlatBlockLandsFivePixelsAbove)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"});
    Place(300.0f, 430.0f, 10.0f);
    s.CollideTerrain(&p, 0);
    // The look-ahead probe at 450 finds the block whose top is 448.
    EXPECT_FLOAT_EQ(p.m_vPos.x, 300.0f);
    EXPECT_FLOAT_EQ(p.m_vPos.y, 443.0f);
    EXPECT_EQ(p.m_dwState & PLAYER_STATE_SLOPES, (DWORD)PLAYER_STATE_FLAT);
    EXPECT_EQ(p.m_nLands, 1);
    EXPECT_FLOAT_EQ(p.m_fGroundY, 443.0f);
    EXPECT_FLOAT_EQ(p.m_vB.y, 0.0f);
    EXPECT_FLOAT_EQ(p.m_vC.y, 0.0f);
}

TEST_F(StageTerrain, AFallThatDoesNotReachTheTopStaysAirborne)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"});
    Place(300.0f, 400.0f, 10.0f);
    p.m_dwState = PLAYER_STATE_FLAT;
    s.CollideTerrain(&p, 0);
    EXPECT_EQ(p.m_dwState, (DWORD)PLAYER_STATE_JUMP);
    EXPECT_EQ(p.m_nLands, 0);
    // The fall is handed over whole.
    EXPECT_FLOAT_EQ(p.m_vC.y, 10.0f);
    EXPECT_FLOAT_EQ(p.m_vB.y, 0.0f);
    p.Move();
    EXPECT_FLOAT_EQ(p.m_vPos.y, 410.0f);
}

TEST_F(StageTerrain, AJumpStopsUnderACeiling)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C05:0000000000G1"});
    // The block spans y 192 to 256; she rises from 270 by 10.
    Place(330.0f, 270.0f, -10.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(p.m_vPos.y, 261.0f);
    EXPECT_FLOAT_EQ(p.m_fGroundY, 261.0f);
    EXPECT_EQ(p.m_nLands, 0);
    EXPECT_EQ(p.m_dwState & (PLAYER_STATE_JUMP | PLAYER_STATE_SLOPES), (DWORD)PLAYER_STATE_JUMP);
}

TEST_F(StageTerrain, TheScrollPressesABodyAgainstAWallFivePixelsLeft)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C05:0000000000G1", "#000C04:0000000000G1"});
    CObjectLabel* pWall = h.Listed(3, 0, 5, 3);
    ASSERT_NE(pWall, nullptr);
    ASSERT_FLOAT_EQ(pWall->m_vPos.x, 300.0f);
    Place(290.0f, 230.0f, 0.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(p.m_vPos.x, 295.0f);
    EXPECT_FLOAT_EQ(p.m_vPos.y, 230.0f);
    // Next tick the wall has moved on by the step and she is carried with it.
    s.UpdateProgress();
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(pWall->m_vPos.x, 290.0f);
    EXPECT_FLOAT_EQ(p.m_vPos.x, 285.0f);
}

TEST_F(StageTerrain, WithoutAWallTheScrollCarriesNothing)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1"});
    Place(290.0f, 230.0f, 0.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(p.m_vPos.x, 290.0f);
}

TEST_F(StageTerrain, ARunUpSlopeLiftsByAThirdOfTheWay)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#OBJECTU1 Slope.bmp=1:1:64:64, RUNUP1",
                 "#000C01:0000000000U1G1G1G1G1"});
    // Standing 5 above the slope's foot (top 511 at x = 320), riding right by 30: her height
    // meets the slope line (511 - (x - 320) / 3) at x = 335.
    Place(310.0f, 506.0f, 0.0f);
    p.m_dwState = PLAYER_STATE_FLAT;
    int bLanded = 0;
    float fGround = 0.0f;
    EXPECT_EQ(s.MoveBody(&p, p.m_vPos, Pt(30.0f, 0.0f), &bLanded, &fGround), 1);
    EXPECT_EQ(bLanded, 1);
    // The slide sets the up-slope bit and clears the down-slope bit only; the ground probes of
    // the terrain test settle the rest.
    EXPECT_EQ(p.m_dwState & PLAYER_STATE_SLOPES, (DWORD)(PLAYER_STATE_UP | PLAYER_STATE_FLAT));
    EXPECT_FLOAT_EQ(fGround, 501.0f);
    // From 5 above the contact the rest of the move rises by a third of the way from the contact
    // to the 5-pixel-extended end at 345: 501 - 10 / 3.
    EXPECT_FLOAT_EQ(p.m_vPos.x, 340.0f);
    EXPECT_NEAR(p.m_vPos.y, 501.0f - 10.0f / 3.0f, 0.001f);
}

TEST_F(StageTerrain, DropDownPassesRideOnPlatformsAndItemsAlwaysDo)
{
    h.LoadStill({"#OBJECTR1 Platform.bmp, RIDEON", "#000C01:R1R1R1R1R1R1R1R1R1R1"});
    Place(300.0f, 430.0f, 10.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(p.m_vPos.y, 443.0f);
    EXPECT_EQ(p.m_dwState & PLAYER_STATE_SLOPES, (DWORD)PLAYER_STATE_FLAT);

    Place(300.0f, 430.0f, 10.0f);
    p.m_bDropDown = 1;
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(p.m_vPos.y, 430.0f);
    EXPECT_EQ(p.m_dwState & PLAYER_STATE_JUMP, (DWORD)PLAYER_STATE_JUMP);
    EXPECT_FLOAT_EQ(p.m_vC.y, 10.0f);

    CTestItem item(300.0f, 430.0f);
    item.m_vB = Pt(0.0f, 10.0f);
    s.CollideTerrain(&item, 0);
    EXPECT_EQ(item.m_nLands, 0);
    EXPECT_FLOAT_EQ(item.m_vC.y, 10.0f);
}

TEST_F(StageTerrain, ItemsLandOnSolidBlocksThroughTheRegistry)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"});
    CTestItem item(200.0f, 430.0f);
    item.m_vB = Pt(0.0f, 10.0f);
    CBoundableSet::Register(&item);
    CBoundableSet::CollideTerrainAll(&s, [](CStage* pStage, CBoundable* pObj) { pStage->CollideTerrain(pObj, 0); });
    CBoundableSet::Unregister(&item);
    EXPECT_EQ(item.m_nLands, 1);
    EXPECT_FLOAT_EQ(item.m_vPos.y, 443.0f);
    EXPECT_EQ(item.m_dwState, (DWORD)PLAYER_STATE_FLAT);
}

TEST_F(StageTerrain, OffScreenBodiesMoveFreelyAndMarkEmbedding)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:0000000000,G1"});
    Place(640.5f, 470.0f, 0.0f);
    p.m_vA = Pt(2.0f, 0.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_EQ(p.m_dwState & BOUND_STATE_EMBEDDED, BOUND_STATE_EMBEDDED);
    EXPECT_FLOAT_EQ(p.m_vC.x, 2.0f);
    EXPECT_FLOAT_EQ(p.m_vA.x, 0.0f);
    EXPECT_EQ(p.m_nLands, 0);

    // Embedded, she still moves freely even on screen, until she is out of the label.
    p.m_vPos = Pt(300.0f, 200.0f);
    p.m_vB = Pt(0.0f, 3.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_EQ(p.m_dwState & BOUND_STATE_EMBEDDED, 0u);
    EXPECT_FLOAT_EQ(p.m_vC.y, 3.0f);
    // Back on screen and free: the terrain test proper runs (airborne over nothing).
    p.m_vB = Pt(0.0f, 3.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_EQ(p.m_dwState & PLAYER_STATE_JUMP, (DWORD)PLAYER_STATE_JUMP);
}

TEST_F(StageTerrain, OffScreenToTheLeftIsFreeToo)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"});
    // Carried from 5 to -5 by the scroll: free, so the scroll's 10 is handed back.
    Place(5.0f, 300.0f, 1.0f);
    s.CollideTerrain(&p, 0);
    EXPECT_FLOAT_EQ(p.m_vPos.x, -5.0f);
    EXPECT_FLOAT_EQ(p.m_vC.x, 10.0f);
    EXPECT_FLOAT_EQ(p.m_vC.y, 1.0f);
}

TEST_F(StageTerrain, DamageTerrainHurtsOncePerSamplePoint)
{
    h.Load({"#OBJECTS1 Spike.bmp, TOUCH, DAMAGE", "#OBJECTS2 Spike.bmp, DAMAGE", "#000C05:0000000000S1",
            "#000C06:00000000S2"},
           false);
    CObject* pTall = s.GetStageData().GetObject("S2");
    pTall->m_nWidth = 128;
    pTall->m_nHeight = 128;
    h.StopAllLayers();
    s.Reset();
    s.Start(1, 0);
    // Damage-box centre (330, 200): inside S1 (320..384 x 192..256) and inside S2 (256..384 x
    // 128..256). S1 is found from (330, 200) and (330, 216), S2 from (266, 152).
    p.PlaceDamageBox(314.0f, 176.0f, 32.0f, 48.0f);
    s.CheckDamageTerrain();
    EXPECT_EQ(p.m_nDamage, 15);

    // Her own step carries the first samples onto S1, but her centre (200, 200) lies outside it.
    p.m_nDamage = 0;
    p.m_vA = Pt(130.0f, 0.0f);
    p.PlaceDamageBox(184.0f, 176.0f, 32.0f, 48.0f);
    s.CheckDamageTerrain();
    EXPECT_EQ(p.m_nDamage, 0);
}

TEST_F(StageTerrain, MainLabelLookupsSkipNoTouchAndFinishedLabels)
{
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#OBJECTT1 Tree.bmp", "#000C01:G1T1"});
    CObjectLabel* pGround = h.Listed(3, 0, 0, 7);
    CObjectLabel* pTree = s.GetStageData().GetCell(3, 7, 1);
    ASSERT_TRUE(pGround && pTree);
    EXPECT_EQ(s.GetMainLabelAt(Pt(10.0f, 460.0f)), pGround);
    EXPECT_EQ(s.GetMainLabelAtEx(Pt(10.0f, 460.0f)), pGround);
    EXPECT_EQ(s.GetMainLabelAt(Pt(70.0f, 460.0f)), pTree);
    EXPECT_EQ(s.GetMainLabelAtEx(Pt(70.0f, 460.0f)), nullptr);
    pGround->Stop();
    EXPECT_EQ(s.GetMainLabelAtEx(Pt(10.0f, 460.0f)), nullptr);
}

TEST_F(StageTerrain, OnlyARealSpeedChangeIsCorrected)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1G1G1G1G1G1G1G1G1G1"});
    // Counters 20 ahead of the labels: the map's cell for the point lies right of it; the cell
    // drawn over it, beside that one, is found without a correction.
    s.m_fLayerPos[3] = 734.0f;
    CObjectLabel* pCell = s.GetMainLabelAtEx(Pt(40.0f, 460.0f));
    ASSERT_NE(pCell, nullptr);
    EXPECT_EQ(pCell, h.Listed(3, 0, 0, 7));
    EXPECT_EQ(s.m_bXSpeedCorrected, 0);
    g_nXSpeedState = 1;
    s.GetMainLabelAtEx(Pt(40.0f, 460.0f));
    EXPECT_EQ(s.m_bXSpeedCorrected, 0);
    // Applied change of -4: the lookup is repeated 4 further on and flags the correction; that
    // does not reach the cell drawn there either, which is found beside.
    g_nXSpeedState = 3;
    g_fXSpeedDelta = -4.0f;
    EXPECT_EQ(s.GetMainLabelAtEx(Pt(40.0f, 460.0f)), h.Listed(3, 0, 0, 7));
    EXPECT_EQ(s.m_bXSpeedCorrected, 1);
    g_nXSpeedState = 0;
    g_fXSpeedDelta = 0.0f;
}

TEST_F(StageTerrain, EveryMoveProbeIsLookedUpBeforeTheFirstContactCounts)
{
    // A wall block at column 1, row 5 and, in the cell left of it, a label that has drifted away
    // from its cell, so that a lookup there must look through the speed change.
    h.LoadStill({"#OBJECTG1 Ground.bmp, TOUCH", "#000C03:G1G1"});
    CObjectLabel* pDrifted = h.Listed(3, 0, 0, 5);
    ASSERT_NE(pDrifted, nullptr);
    const D3DVECTOR vAway = Pt(300.0f, 320.0f);
    pDrifted->SetPos(&vAway);
    g_nXSpeedState = 3;
    g_fXSpeedDelta = -4.0f;
    // Up and right under the block: the probe at the target finds it and its bottom stops the
    // move; the probe above the start, looked up after it, finds the drifted label, which is
    // never asked.
    CTestItem item(55.0f, 390.0f);
    const int bSlid = s.MoveBody(&item, Pt(55.0f, 390.0f), Pt(10.0f, -8.0f), nullptr, nullptr);
    g_nXSpeedState = 0;
    g_fXSpeedDelta = 0.0f;
    EXPECT_EQ(bSlid, 0);
    EXPECT_FLOAT_EQ(item.m_vPos.x, 55.0f);
    EXPECT_FLOAT_EQ(item.m_vPos.y, 390.0f);
    EXPECT_EQ(s.m_bXSpeedCorrected, 1);
}

namespace {

// Level ground on screens 0 to 7, and on screen 1 two blocks standing on it with open air beside
// them (columns 2 and 6).
const char kGroundRows[] = "#000C01:G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1,"
                           "G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1,G1G1G1G1G1G1G1G1G1G1";
const char kBlockRow[] = "#001C02:0000G1000000G1000000";

class StageSeams : public StageTerrain {
protected:
    void SetUp() override { h.PlugScreens(); }
    // She falls 8 onto the top of the cell, fInto right of its left edge, in the next tick's terrain
    // test (the cell moves on by the step before it); true when she stands on it after the tick.
    bool LandsOn(CObjectLabel* pCell, float fInto)
    {
        const float fTop = pCell->m_vPos.y;
        Place(pCell->m_vPos.x - s.GetStep(STAGE_MAIN_LAYER) + fInto, fTop - 8.0f, 8.0f);
        const int nLands = p.m_nLands;
        h.Tick();
        return p.m_nLands == nLands + 1 && p.m_vPos.y == fTop - 5.0f;
    }
    // A listed cell of the level ground (or a block, bBlock) of screen 1 whose right neighbour is of
    // the same row and whose left edge lies between 100 and 500: the cell and its column.
    CObjectLabel* CellOfScreenOne(bool bBlock, int nAfterColumn)
    {
        for (int c = nAfterColumn + 1; c < MAX_COLUMN_NUM; c++) {
            const bool bBlockColumn = c == 2 || c == 6;
            if (bBlockColumn != bBlock || (!bBlock && (c == 1 || c == 5 || c == 9)))
                continue;
            CObjectLabel* pCell = h.Listed(STAGE_MAIN_LAYER, 1, c, bBlock ? 6 : 7);
            if (pCell && pCell->m_vPos.x > 100.0f && pCell->m_vPos.x < 500.0f)
                return pCell;
        }
        return nullptr;
    }
};

} // namespace

// The road speeds up by one: the cells already on screen sit a pixel off the columns the map puts
// at their places until they have scrolled by. A landing on their last pixel still stands on them,
// after the one correction the change allows has been spent, and on a block with open air beside it.
TEST_F(StageSeams, AfterASpeedUpSheLandsOnEveryPixelOfTheCellsDrawnBeforeIt)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#XFIRST 5", kGroundRows, kBlockRow, "#002XXX:XSPEED=6"});
    Place(300.0f, 100.0f, 0.0f);
    for (int i = 0; i < 400 && s.GetStep(STAGE_MAIN_LAYER) != 6.0f; i++)
        h.Tick();
    ASSERT_EQ(s.GetStep(STAGE_MAIN_LAYER), 6.0f);
    ASSERT_EQ(g_nXSpeedState, 3);

    CObjectLabel* pFirst = CellOfScreenOne(false, -1);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_TRUE(LandsOn(pFirst, 63.5f));
    EXPECT_EQ(g_nXSpeedState, 0) << "the correction is spent";
    h.Tick(3);

    int nFirstColumn = -1, nRow = -1;
    pFirst->GetCell(&nFirstColumn, &nRow);
    CObjectLabel* pNext = CellOfScreenOne(false, nFirstColumn);
    ASSERT_NE(pNext, nullptr);
    for (float fInto : {0.0f, 0.5f, 32.0f, 63.0f, 63.5f})
        EXPECT_TRUE(LandsOn(pNext, fInto)) << fInto;

    CObjectLabel* pBlock = CellOfScreenOne(true, -1);
    ASSERT_NE(pBlock, nullptr);
    for (float fInto : {0.0f, 32.0f, 63.5f})
        EXPECT_TRUE(LandsOn(pBlock, fInto)) << fInto;
}

// The road loops back: right of the seam the screen looped to comes in, left of it the screen left
// runs out. A landing on the seam itself stands on the first cell of the new screen.
TEST_F(StageSeams, AcrossALoopBackSheLandsOnTheSeam)
{
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#XFIRST 5", kGroundRows, "#003XXX:LOOP=1"});
    Place(300.0f, 100.0f, 0.0f);
    for (int i = 0; i < 400 && !(s.m_fSeam[STAGE_MAIN_LAYER] > 0.0f); i++)
        h.Tick();
    ASSERT_EQ(s.GetScreen(), 1);
    // Until the seam is well inside the screen.
    while (s.m_fSeam[STAGE_MAIN_LAYER] > 400.0f)
        h.Tick();
    CObjectLabel* pNew = h.Listed(STAGE_MAIN_LAYER, 1, 0, 7);
    ASSERT_NE(pNew, nullptr);
    EXPECT_FLOAT_EQ(pNew->m_vPos.x, s.m_fSeam[STAGE_MAIN_LAYER] - 5.0f);
    for (float fInto : {0.0f, 0.0f, 63.0f, -0.5f, -64.0f})
        EXPECT_TRUE(LandsOn(pNew, fInto)) << fInto;
}
