// The last boss on the frame clock: one full attack cycle of each phase with the tick and place of
// every weapon order (the three-pod circle, its beams and recall, the laser, the triangular pod; the
// four-pod round, homing pairs, the ring and the laser; the familiars, fans, moves and the orbit),
// the beams cut when a phase is queued, the laser drawn over the triangular pod, and a replay that
// ends on the boss's death ending on its recorded score.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "EnemyFixture.h"
#include "enemy/EnemyNM.h"
#include "engine/KeyRecorder.h"

namespace {

#define NM_FOLDER ".\\GameData\\Stage05\\"

struct NMEVENT {
    int nTick;  // the body's tick counter after the update
    std::string what;
    float x, y;    // where it was sent from (y up, as weapons keep it)
    float bx, by;  // the body then (screen rows)
};

class EnemyNM : public CEnemyTest {
protected:
    void SetUp() override
    {
        CEnemyTest::SetUp();
        WriteParams("#ENEMY_N.M.Zorva 900, 0, 0, 30000, 1\r\n#BOSS_HRR_NM 0.6, 0.7\r\n");
        m_pKind = new CEnemyNM;
        m_Kinds.emplace_back(m_pKind);
        ASSERT_EQ(m_pKind->Load(g_lpD3DDevice, NM_FOLDER), 1);
        // Her row keeps the dash short: 300 + 16 - 1 - 256.
        m_vTarget = D3DVECTOR{{100.0f}, {300.0f}, {0.0f}};
        auto pLabel = std::make_unique<CEnemyLabel>();
        pLabel->m_pEnemy = m_pKind;
        pLabel->SetObject(m_pKind);
        pLabel->SetCell(20, 4);
        pLabel->CreateParts(0);
        m_nSetup = pLabel->Setup(g_lpD3DDevice, NM_FOLDER);
        pLabel->SetOffsetY(m_fViewOffset);
        pLabel->SetTarget(&m_vTarget);
        m_pLabel = pLabel.get();
        m_Labels.push_back(std::move(pLabel));
        m_pBody = static_cast<CEnemyPartNM*>(m_pKind->GetBody(m_pLabel));
        ASSERT_NE(m_pBody, nullptr);
        m_pLabel->Spawn();
        m_pBody->m_pStage = &m_Stage;
    }
    void TearDown() override
    {
        CEnemyTest::TearDown();
        std::remove("Param.txt");
    }
    static void WriteParams(const char* pszText)
    {
        std::ofstream("Param.txt", std::ios::binary) << pszText;
        ClearParams();
        ASSERT_EQ(LoadParamFile("Param.txt"), 1);
    }

    // One update, and what the boss's weapons began in it.
    void Frame()
    {
        CEnemyPartNM& b = *m_pBody;
        const bool bF1 = b.m_Funnel1.IsIdle(), bF2 = b.m_Funnel2.IsIdle(), bTri = b.m_Tri.IsIdle();
        const bool bLaser = b.m_Laser.IsIdle(), bRing = b.m_Ring.IsIdle() || !b.m_Ring.m_bEmitting;
        const int nF1State = b.m_Funnel1.m_nState, nArmed = b.m_Funnel1.m_Units[0].nState;
        const int bDashing = !b.m_Adjust.nReached && b.m_nState == CEnemyPartBoss::STATE_PHASE0;
        bool bHoming[ENEMYNM_HOMINGS], bFam[ENEMYNM_FAMILIARS];
        int nFamMode[ENEMYNM_FAMILIARS];
        for (int i = 0; i < ENEMYNM_HOMINGS; i++)
            bHoming[i] = b.m_Homing[i].IsIdle();
        for (int i = 0; i < ENEMYNM_FAMILIARS; i++) {
            bFam[i] = b.m_Familiars[i].IsIdle();
            nFamMode[i] = b.m_Familiars[i].m_nMode;
        }
        const int nFamMissile = b.m_Familiars[0].m_nMissile;
        const int nImage = b.m_nImage;
        const float fAngular = b.m_AccY.nReached ? 0.0f : b.m_AccY.fValue;
        const float fVx = b.m_AccX.fStep;
        // She moves between the first circle's dashes, so each has a way to go.
        if (b.m_nState == CEnemyPartBoss::STATE_PHASE0 && (b.m_nTick + 1) % 250 == 241)
            m_vTarget.y = m_vTarget.y > 250.0f ? 200.0f : 330.0f;
        Step(m_pLabel);
        if (bF1 && !b.m_Funnel1.IsIdle())
            Note("circle", b.m_Funnel1.m_vPos.x, b.m_Funnel1.m_vPos.y);
        if (nArmed == FunnelUnit1::STATE_FORMATION && b.m_Funnel1.m_Units[0].nState == FunnelUnit1::STATE_ARMED)
            Note("beams", b.m_Funnel1.m_vPos.x, b.m_Funnel1.m_vPos.y);
        if (nF1State != CEBFunnelType1::STATE_RECALL && b.m_Funnel1.m_nState == CEBFunnelType1::STATE_RECALL)
            Note("recall", 0.0f, 0.0f);
        if (bLaser && !b.m_Laser.IsIdle())
            Note("laser", b.m_Laser.m_vOrigin.x, b.m_Laser.m_vOrigin.y);
        if (!bDashing && !b.m_Adjust.nReached && b.m_nState == CEnemyPartBoss::STATE_PHASE0)
            Note("dash", b.m_vPos.x, -b.m_vPos.y);
        if (bTri && !b.m_Tri.IsIdle())
            Note(b.m_Tri.m_nMode == CEBFunnelTri::MODE_LAUNCHED ? "tri launch" : "tri", b.m_Tri.m_vPos.x, b.m_Tri.m_vPos.y);
        if (!bTri && b.m_Tri.IsIdle() && b.m_Tri.m_nMode == CEBFunnelTri::MODE_WITHDRAWN)
            Note("tri withdraw", 0.0f, 0.0f);
        if (bF2 && !b.m_Funnel2.IsIdle())
            Note("round", b.m_Funnel2.m_vPos.x, b.m_Funnel2.m_vPos.y);
        for (int i = 0; i < ENEMYNM_HOMINGS; i++) {
            if (bHoming[i] && !b.m_Homing[i].IsIdle())
                Note("homing" + std::to_string(i), b.m_Homing[i].m_vPos.x, b.m_Homing[i].m_vPos.y);
        }
        if (bRing && !b.m_Ring.IsIdle() && b.m_Ring.m_bEmitting)
            Note("ring" + std::to_string(b.m_Ring.m_nCount), b.m_Ring.m_vPos.x, b.m_Ring.m_vPos.y);
        if (!bRing && (b.m_Ring.IsIdle() || !b.m_Ring.m_bEmitting))
            Note("ring stop", 0.0f, 0.0f);
        for (int i = 0; i < ENEMYNM_FAMILIARS; i++) {
            if (bFam[i] && !b.m_Familiars[i].IsIdle())
                Note("familiar" + std::to_string(i), b.m_Familiars[i].m_vPos.x, b.m_Familiars[i].m_vPos.y);
        }
        // Familiar 0 speaks for both: a new burst of missiles, or its explosion.
        const CEBFamiliar& f0 = b.m_Familiars[0];
        if (f0.m_nMode == CEBFamiliar::MODE_FIRING && (nFamMode[0] != f0.m_nMode || f0.m_nMissile < nFamMissile))
            Note("retreat", 0.0f, 0.0f);
        if (f0.m_nMode == CEBFamiliar::MODE_EXPLODING && nFamMode[0] != f0.m_nMode)
            Note("explode", 0.0f, 0.0f);
        if (nImage != b.m_nImage)
            Note("image" + std::to_string(b.m_nImage), 0.0f, 0.0f);
        const float fNowAngular = b.m_AccY.nReached ? 0.0f : b.m_AccY.fValue;
        if (b.m_nState == CEnemyPartBoss::STATE_PHASE2 && fAngular != fNowAngular)
            Note(fNowAngular == 0.0f ? "orbit stop" : (fNowAngular > 0.0f ? "orbit +" : "orbit -"), b.m_vPos.x, b.m_vPos.y);
        if (b.m_nState == CEnemyPartBoss::STATE_PHASE2 && fVx != b.m_AccX.fStep && b.m_AccX.fValue == 0.0f)
            Note(b.m_AccX.fStep < 0.0f ? "move left" : "move right", b.m_vPos.x, b.m_vPos.y);
    }
    void Note(const std::string& what, float x, float y)
    {
        m_Events.push_back(NMEVENT{m_pBody->m_nTick, what, x, y, m_pBody->m_vPos.x, m_pBody->m_vPos.y});
    }

    // Runs until the tick counter is set back at the end of the phase's cycle; the updates taken.
    int RunCycle(int nMax = 5000)
    {
        int nPrev = m_pBody->m_nTick;
        for (int n = 1; n <= nMax; n++) {
            Frame();
            if (m_pBody->m_nTick != nPrev + 1)
                return n;
            nPrev = m_pBody->m_nTick;
        }
        return -1;
    }
    // Worn below the threshold, runs to the exit and through the re-entry into the next phase.
    void EnterPhase(int nState, int nLife)
    {
        m_pBody->m_nLife = nLife;
        for (int n = 0; n < 3000 && m_pBody->m_nState != CEnemyPartBoss::STATE_EXIT; n++)
            Frame();
        ASSERT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
        for (int n = 0; n < 1000 && m_pBody->m_nState == CEnemyPartBoss::STATE_EXIT; n++)
            Frame();
        ASSERT_EQ(m_pBody->m_nState, nState);
        EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
        m_Events.clear();
    }
    // The ticks of the events named, in order.
    std::vector<int> TicksOf(const std::string& what) const
    {
        std::vector<int> ticks;
        for (const NMEVENT& e : m_Events) {
            if (e.what == what)
                ticks.push_back(e.nTick);
        }
        return ticks;
    }
    const NMEVENT* First(const std::string& what) const
    {
        for (const NMEVENT& e : m_Events) {
            if (e.what == what)
                return &e;
        }
        return nullptr;
    }

    CEnemyNM* m_pKind = nullptr;
    CEnemyLabel* m_pLabel = nullptr;
    CEnemyPartNM* m_pBody = nullptr;
    int m_nSetup = 0;
    std::vector<NMEVENT> m_Events;
};

typedef std::vector<int> TICKS;

TEST_F(EnemyNM, ItLoadsItsWeaponsFromTheStageFiveSheetAndEntersFrom940ToRestAt500)
{
    EXPECT_EQ(m_nSetup, 1);
    EXPECT_EQ(m_pBody->m_nLife, 900);
    EXPECT_EQ(m_pBody->m_nWidth, 224);
    EXPECT_EQ(m_pBody->m_fScaleX, 0.6f);
    EXPECT_EQ(m_pBody->m_fScaleY, 0.7f);
    EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
    EXPECT_NE(m_pBody->m_Tri.m_pNormal, nullptr);
    EXPECT_EQ(m_pBody->m_Funnel1.m_Units[2].Beam.m_fGrowth, 40.0f);
    EXPECT_EQ(m_pBody->m_Laser.m_nDirection, -1);
    // The homing missiles draw their own frames but keep the box of the shared missile picture.
    int w = 0, h = 0;
    CEBHoming::GetSharedSprite().GetSize(&w, &h);
    ASSERT_GT(w, 0);
    for (CEBHoming& homing : m_pBody->m_Homing) {
        EXPECT_TRUE(homing.m_bExternal);
        EXPECT_EQ(homing.m_nWidth, w);
        EXPECT_EQ(homing.m_nHeight, h);
    }
    // The glide from 940 brakes to rest at x = 500 (within a step) long before the circle deploys.
    for (int i = 0; i < 190; i++)
        Frame();
    EXPECT_NEAR(m_pBody->m_vPos.x, 500.0f, 5.0f);
    EXPECT_EQ(m_pBody->m_vPos.y, 256.0f);
    EXPECT_TRUE(m_pBody->m_AccX.nReached);
}

TEST_F(EnemyNM, SetUpBeforeItsKindLoadsAsTheStageDoesItsWeaponsStillGetTheirPictures)
{
    // The stage makes and sets up its labels first and loads its kinds after.
    CEnemyNM kind;
    CEnemyLabel label;
    label.m_pEnemy = &kind;
    label.SetObject(&kind);
    label.CreateParts(0);
    EXPECT_EQ(label.Setup(g_lpD3DDevice, NM_FOLDER), 1);
    ASSERT_EQ(kind.Load(g_lpD3DDevice, NM_FOLDER), 1);
    CEnemyPartNM* pBody = static_cast<CEnemyPartNM*>(kind.GetBody(&label));
    ASSERT_NE(pBody, nullptr);
    EXPECT_NE(pBody->m_OwnImage.GetSurface(), nullptr);
    EXPECT_NE(kind.m_Funnel[2].GetTexture(), nullptr);
    EXPECT_NE(kind.m_TriangleFlash[1].GetTexture(), nullptr);
    EXPECT_EQ(pBody->m_Tri.m_nWidth, 64);
    EXPECT_NE(pBody->m_Familiars[1].m_Picture.GetSurface(), nullptr);
    EXPECT_NE(pBody->m_Ring.m_Sprite.GetTexture(), nullptr);
    EXPECT_EQ(kind.m_nWidths[1], 224);
    label.Release();
}

TEST_F(EnemyNM, PhaseZeroCircleLaserAndTriangleTicksOfOneCycle)
{
    ASSERT_GT(RunCycle(), 1000);  // ticks 1 to 1081
    m_Events.clear();
    ASSERT_EQ(RunCycle(), 1081 - 170);
    EXPECT_EQ(TicksOf("circle"), TICKS{171});
    EXPECT_EQ(TicksOf("dash"), (TICKS{241, 491, 741}));
    EXPECT_EQ(TicksOf("laser"), (TICKS{341, 591, 841}));
    EXPECT_EQ(TicksOf("beams"), (TICKS{371, 621, 871}));
    EXPECT_EQ(TicksOf("recall"), TICKS{961});
    // The triangle goes once the circle is back in and stopped (33 updates of the recall and one).
    const TICKS tri = TicksOf("tri");
    ASSERT_EQ(tri.size(), 1u);
    EXPECT_GE(tri[0], 962);
    EXPECT_LE(tri[0], 1000);
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_PHASE0);
    EXPECT_EQ(m_pBody->m_nTick, 170);
    // Places: the circle 35 px above the body, at rest within a step of x = 500; the laser 65 px
    // ahead of it and 19 above; the triangle where the circle was.
    for (const NMEVENT& e : m_Events) {
        if (e.what == "circle") {
            EXPECT_NEAR(e.bx, 500.0f, 5.0f);
            EXPECT_FLOAT_EQ(e.x, e.bx);
            EXPECT_FLOAT_EQ(e.y, -(e.by - 35.0f));
        } else if (e.what == "laser") {
            EXPECT_FLOAT_EQ(e.x, e.bx - 65.0f);
            EXPECT_FLOAT_EQ(e.y, -(e.by - 19.0f));
        } else if (e.what == "tri") {
            EXPECT_FLOAT_EQ(e.x, e.bx);
            EXPECT_FLOAT_EQ(e.y, -(e.by - 35.0f));
        }
    }
    // The dashes go to her row (plus 16, less 1), at most 130 px from the body's: 330 + 15 = 345,
    // then 215, then 345 again; each a run up to 6 px a tick and back.
    EXPECT_NEAR(m_Events[1].by, 256.0f, 130.0f);
}

TEST_F(EnemyNM, TheLaserRecoilEndsBackWhereItFiredAndOnlyThenChecksThePhaseStoppingTheCirclesBeams)
{
    ASSERT_GT(RunCycle(), 1000);
    // Just below two thirds: 2 x (900 / 3) - 1.
    m_pBody->m_nLife = 599;
    m_Events.clear();
    while (TicksOf("laser").empty())
        Frame();
    const float fFired = m_pBody->m_fRememberedX;
    int n = 0;
    // Slides right, is kicked back, waits 500 ms, drifts back at 1 px a tick until past where it fired.
    float fMax = fFired;
    while (m_pBody->m_nState == CEnemyPartBoss::STATE_PHASE0 && n < 400) {
        Frame();
        fMax = std::max(fMax, m_pBody->m_vPos.x);
        n++;
    }
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
    EXPECT_EQ(m_pBody->m_nNextState, CEnemyPartBoss::STATE_PHASE1);
    // 18 + 14 + 10 + 6 + 2: the record is stepped twice a tick, by the body and by the sequencer.
    EXPECT_FLOAT_EQ(fMax, fFired + 50.0f);
    EXPECT_EQ(m_pBody->m_vPos.x, fFired);
    EXPECT_EQ(m_pBody->m_pKind->m_Recoil.pAcc, nullptr);
    // The circle was flying: its beams stop and its pods leave to the right.
    EXPECT_EQ(m_pBody->m_Funnel1.m_bLeaving, 1);
    for (FunnelUnit1& unit : m_pBody->m_Funnel1.m_Units)
        EXPECT_TRUE(unit.Beam.IsIdle());
    // A missile still out when it comes back in flies on: its placement stops nothing.
    CEBHoming& homing = m_pBody->m_Homing[5];
    homing.m_nLifetimeSetting = 10000;
    homing.m_fLaunchHeading = 3.14f;
    homing.SetPosition(D3DVECTOR{{320.0f}, {-240.0f}, {0.0f}});
    const D3DVECTOR far{{-5000.0f}, {-240.0f}, {0.0f}};
    homing.Fire(&far);
    for (n = 0; n < 1000 && m_pBody->m_nState == CEnemyPartBoss::STATE_EXIT; n++)
        Frame();
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_PHASE1);
    EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
    EXPECT_FALSE(homing.IsIdle());
}

TEST_F(EnemyNM, PhaseOneRoundHomingRingAndLaserTicksOfOneCycle)
{
    ASSERT_GT(RunCycle(), 1000);
    EnterPhase(CEnemyPartBoss::STATE_PHASE1, 599);
    // Ticks 1 to 590: the first cycle, with the round fired at 150.
    ASSERT_EQ(RunCycle(), 590);
    EXPECT_EQ(TicksOf("round"), TICKS{150});
    EXPECT_FLOAT_EQ(First("round")->y, -240.0f);
    EXPECT_EQ(TicksOf("homing0"), TICKS{180});
    EXPECT_EQ(TicksOf("homing1"), TICKS{180});
    EXPECT_EQ(TicksOf("homing2"), TICKS{250});
    EXPECT_EQ(TicksOf("homing4"), TICKS{320});
    EXPECT_EQ(TicksOf("homing5"), TICKS{320});
    EXPECT_EQ(TicksOf("ring4"), TICKS{380});
    EXPECT_EQ(TicksOf("ring stop"), TICKS{440});
    EXPECT_EQ(TicksOf("laser"), TICKS{460});
    EXPECT_EQ(TicksOf("image1"), TICKS{360});
    EXPECT_EQ(TicksOf("image0"), TICKS{550});
    // The pair from the body, 60 px apart (y up: 16 - y, then 60 lower), each one move on.
    const NMEVENT* p0 = First("homing0");
    const NMEVENT* p1 = First("homing1");
    EXPECT_NEAR(p0->y, 16.0f - p0->by, 6.0f);
    EXPECT_NEAR(p1->y, 16.0f - p1->by - 60.0f, 6.0f);
    EXPECT_NEAR(p0->x, p0->bx, 6.0f);
    // The ring 20 px above the body.
    EXPECT_NEAR(First("ring4")->y, -(m_pBody->m_vPos.y - 20.0f), 40.0f);
    EXPECT_EQ(m_pBody->m_nTick, 169);
    // The second cycle runs 170 to 590.
    m_Events.clear();
    ASSERT_EQ(RunCycle(), 590 - 169);
    EXPECT_EQ(TicksOf("round"), TICKS{});
    EXPECT_EQ(TicksOf("homing3"), TICKS{250});
    EXPECT_EQ(TicksOf("laser"), TICKS{460});
}

TEST_F(EnemyNM, PhaseTwoFamiliarsFansMovesAndOrbitTicksOfOneCycle)
{
    ASSERT_GT(RunCycle(), 1000);
    EnterPhase(CEnemyPartBoss::STATE_PHASE1, 599);
    m_pBody->m_nLife = 299;
    // The check at the end of the laser's recoil queues the last phase: the round's beams stop
    // and its pods leave.
    while (m_pBody->m_nState == CEnemyPartBoss::STATE_PHASE1)
        Frame();
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
    EXPECT_GT(m_pBody->m_nTick, 460);
    EXPECT_EQ(m_pBody->m_Funnel2.m_bLeaving, 1);
    EnterPhase(CEnemyPartBoss::STATE_PHASE2, 299);
    ASSERT_EQ(RunCycle(), 3541);
    EXPECT_EQ(TicksOf("familiar0"), (TICKS{171, 1841}));
    EXPECT_EQ(TicksOf("familiar1"), (TICKS{171, 1841}));
    EXPECT_EQ(TicksOf("tri launch"), (TICKS{171, 1841}));
    EXPECT_EQ(TicksOf("homing0"), (TICKS{231, 1901}));
    EXPECT_EQ(TicksOf("homing2"), (TICKS{351, 2021}));
    EXPECT_EQ(TicksOf("homing4"), (TICKS{471, 2141}));
    EXPECT_EQ(TicksOf("retreat"), (TICKS{291, 411, 531, 1961, 2081, 2201}));
    EXPECT_EQ(TicksOf("explode"), (TICKS{651, 2321}));
    EXPECT_EQ(TicksOf("laser"), (TICKS{711, 2381}));
    EXPECT_EQ(TicksOf("ring8"), (TICKS{711, 2381}));
    EXPECT_EQ(TicksOf("ring6"), (TICKS{941, 2641}));
    EXPECT_EQ(TicksOf("move left"), (TICKS{821, 2521}));
    EXPECT_EQ(TicksOf("move right"), (TICKS{1781, 3481}));
    EXPECT_EQ(TicksOf("orbit +"), TICKS{1001});
    EXPECT_EQ(TicksOf("orbit -"), TICKS{2701});
    EXPECT_EQ(TicksOf("orbit stop"), (TICKS{1721, 3421}));
    EXPECT_EQ(TicksOf("image1"), (TICKS{941, 2641}));
    // The triangle is withdrawn only once the long laser is over (1000 ms and its narrowing).
    const TICKS withdrawn = TicksOf("tri withdraw");
    ASSERT_EQ(withdrawn.size(), 2u);
    EXPECT_GT(withdrawn[0], 711 + 60);
    EXPECT_LE(withdrawn[0], 820);
    EXPECT_GT(withdrawn[1], 2381 + 60);
    EXPECT_LE(withdrawn[1], 2520);
    // Familiars at 180 above and 90 below the body's row (screen rows).
    const NMEVENT* f0 = First("familiar0");
    const NMEVENT* f1 = First("familiar1");
    EXPECT_FLOAT_EQ(f1->y - f0->y, 270.0f);
    // The fan comes from 200 px ahead of the body, the ring around it.
    EXPECT_EQ(m_pBody->m_nTick, 170);
}

TEST_F(EnemyNM, TheOrbitGrowsToTwentyPixelsAndBackWhileTheBodyCirclesAndTheRingTurnsWithIt)
{
    ASSERT_GT(RunCycle(), 1000);
    EnterPhase(CEnemyPartBoss::STATE_PHASE1, 599);
    EnterPhase(CEnemyPartBoss::STATE_PHASE2, 299);
    while (m_pBody->m_nTick < 1001)
        Frame();
    const D3DVECTOR c = m_pBody->m_vOrbitCentre;
    EXPECT_EQ(c.x, m_pBody->m_vPos.x);
    float fMaxR = 0.0f;
    int nAtMax = 0;
    for (int t = 1002; t <= 1720; t++) {
        Frame();
        const float r = m_pBody->m_fOrbitRadius;
        if (r > fMaxR) {
            fMaxR = r;
            nAtMax = t;
        }
        // On the circle of the radius before this tick's growth.
        EXPECT_LE(Vec2Length(m_pBody->m_vPos.x - c.x, m_pBody->m_vPos.y - c.y), 20.01f);
        EXPECT_GE(m_pBody->m_fOrbitAngle, 0.0f);
        EXPECT_LT(m_pBody->m_fOrbitAngle, 6.28f);
    }
    EXPECT_EQ(fMaxR, 20.0f);
    // 0.05 px a tick: 400 ticks out, then back in; the circling stops at 1721 with the radius on
    // its way back, which goes on shrinking to 0.
    EXPECT_NEAR(nAtMax, 1001 + 400, 2);
    EXPECT_NEAR(m_pBody->m_fOrbitRadius, 20.0f - 0.05f * (1720 - nAtMax), 0.1f);
    EXPECT_EQ(m_pBody->m_AccY.fValue, 0.06f);
    Frame();
    EXPECT_TRUE(m_pBody->m_AccY.nReached);
    const float x = m_pBody->m_vPos.x;
    for (int i = 0; i < 50; i++)
        Frame();
    EXPECT_EQ(m_pBody->m_vPos.x, x);
    for (int i = 0; i < 50; i++)
        Frame();
    EXPECT_EQ(m_pBody->m_fOrbitRadius, 0.0f);
}

TEST_F(EnemyNM, TheLaserIsMovedAboveTheTriangleInTheRenderRegistryWhenItFiresBelowIt)
{
    ASSERT_GT(RunCycle(), 1000);
    EnterPhase(CEnemyPartBoss::STATE_PHASE1, 599);
    EnterPhase(CEnemyPartBoss::STATE_PHASE2, 299);
    while (m_pBody->m_nTick < 710)
        Frame();
    // The triangle came first and holds a low slot; a free slot below it takes the laser.
    ASSERT_FALSE(m_pBody->m_Tri.IsIdle());
    const int nTri = m_pBody->m_Tri.GetIndex();
    Frame();
    ASSERT_FALSE(m_pBody->m_Laser.IsIdle());
    EXPECT_GT(m_pBody->m_Laser.GetIndex(), m_pBody->m_Tri.GetIndex());
    EXPECT_EQ(m_pBody->m_Tri.m_bSpin, 0);
    if (m_pBody->m_Tri.GetIndex() != nTri) {
        EXPECT_EQ(m_pBody->m_Laser.GetIndex(), nTri);
    }
    // Each is visited where it now stands.
    EXPECT_EQ(IEBulletRender::GetRegistry().Get(m_pBody->m_Laser.GetIndex()), &m_pBody->m_Laser);
    EXPECT_EQ(IEBulletRender::GetRegistry().Get(m_pBody->m_Tri.GetIndex()), &m_pBody->m_Tri);
}

TEST_F(EnemyNM, KilledItStopsEveryWeaponBeforeTheBattleEndsAndInAReplayEndsOnTheRecordedScore)
{
    ASSERT_GT(RunCycle(), 1000);
    REPLAYIMAGE image{};
    image.header.nFormat = 6;
    image.header.nScore = 400000;
    CKeyRecorder::GetInstance()->Restore(image);
    m_Stage.m_bReplay = 1;
    m_Player.m_nPoint = 5000;
    m_Player.m_fLifeRatio = 0.5f;  // 50 % of her life: 100000 of bonus, no time left: nothing more
    m_pBody->m_nLife = 10;
    CTestGun gun(30);
    EXPECT_EQ(m_pBody->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_TRUE(m_pBody->m_bDead);
    EXPECT_EQ(m_Player.m_nPoint, 400000 - 100000);
    EXPECT_TRUE(m_pBody->m_Funnel1.IsIdle());
    EXPECT_TRUE(m_pBody->m_Tri.IsIdle());
    EXPECT_TRUE(m_pBody->m_Laser.IsIdle());
    for (CEBHoming& homing : m_pBody->m_Homing)
        EXPECT_TRUE(homing.IsIdle());
}

TEST_F(EnemyNM, ARecordedScoreBelowTheBonusesEndsAtZeroAndALiveRunAddsTheScoreValue)
{
    REPLAYIMAGE image{};
    image.header.nFormat = 6;
    image.header.nScore = 1000;
    CKeyRecorder::GetInstance()->Restore(image);
    m_Stage.m_bReplay = 1;
    m_Player.m_fLifeRatio = 1.0f;
    m_pBody->m_nLife = 1;
    CTestGun gun(1);
    m_pBody->HitByPlayerBullet(&m_Stage, &gun);
    EXPECT_EQ(m_Player.m_nPoint, 0);
    // Not a replay: 10 a life point and the score value.
    m_Stage.m_bReplay = 0;
    m_pLabel->Spawn();
    m_Player.m_nPoint = 0;
    m_pBody->m_nLife = 1;
    m_pBody->HitByPlayerBullet(&m_Stage, &gun);
    EXPECT_EQ(m_Player.m_nPoint, 10 + 30000);
}

} // namespace

namespace {

TEST_F(EnemyNM, TheSecondPhasesRingShotsSpeedUpAndLeaveTheScreenInsteadOfSwellingInPlace)
{
    ASSERT_GT(RunCycle(), 1000);
    EnterPhase(CEnemyPartBoss::STATE_PHASE1, 599);
    while (m_pBody->m_nTick < 381)
        Frame();
    ASSERT_FALSE(m_pBody->m_Ring.IsIdle());
    CEBBigBullet& shot = m_pBody->m_Ring.m_Shots[0];
    ASSERT_FALSE(shot.IsIdle());
    const D3DVECTOR v0 = shot.m_vPos;
    Frame();
    Frame();
    EXPECT_GT(Vec2Length(shot.m_vPos.x - v0.x, shot.m_vPos.y - v0.y), 4.0f);
    // Stopped shooting at 440, the ring drains: its last shot leaves and it ends.
    while (m_pBody->m_nTick < 540)
        Frame();
    EXPECT_TRUE(m_pBody->m_Ring.IsIdle());
}

} // namespace
