// Boss F91 on the frame clock, without a running stage: one full cycle of each phase with the tick
// and place of every shot it fires, its teleports and afterimages, and the hits it ignores.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "EnemyFixture.h"
#include "enemy/EnemyF91.h"
#include "engine/WinMain.h"

namespace {

#define F91_FOLDER ".\\GameData\\Stage04\\"

// One thing the boss did in an update: what, the phase's update count and the body's tick counter,
// and where.
struct F91EVENT {
    std::string what;
    int nUpdate;
    int nTick;
    float x, y;
};

class BossF91 : public CEnemyTest {
protected:
    void SetUp() override
    {
        CEnemyTest::SetUp();
        m_pKind = std::make_unique<CEnemyF91>();
        ASSERT_EQ(m_pKind->Load(g_lpD3DDevice, F91_FOLDER), 1);
        m_pLabel = std::make_unique<CEnemyLabel>();
        m_pLabel->m_pEnemy = m_pKind.get();
        m_pLabel->SetObject(m_pKind.get());
        m_pLabel->SetCell(20, 10);
        m_pLabel->CreateParts(0);
        ASSERT_EQ(m_pLabel->Setup(g_lpD3DDevice, F91_FOLDER), 1);
        m_pLabel->SetOffsetY(m_fViewOffset);
        m_pLabel->SetTarget(&m_vTarget);
        m_pBody = m_pKind->GetF91Body(m_pLabel.get());
        ASSERT_NE(m_pBody, nullptr);
    }
    void TearDown() override
    {
        m_pLabel.reset();
        m_pKind.reset();
        CEnemyTest::TearDown();
    }

    CEnemyPartF91& Body() { return *m_pBody; }

    // One stage update, noting every shot that left and every change of the afterimages.
    void Update()
    {
        CEnemyPartF91& b = Body();
        bool bMissileIdle[F91_MISSILES], bHiIdle[F91_HISPEEDS], bThrownIdle[F91_THROWN];
        for (int k = 0; k < F91_MISSILES; k++)
            bMissileIdle[k] = b.m_Missiles[k].IsIdle();
        for (int i = 0; i < F91_HISPEEDS; i++)
            bHiIdle[i] = b.m_HiSpeed[i].IsIdle();
        for (int t = 0; t < F91_THROWN; t++)
            bThrownIdle[t] = b.m_Thrown[t].IsIdle();
        const DWORD dwVulcan = b.m_Vulcan.m_dwFireTime;
        const BOOL bVulcanIdle = b.m_Vulcan.IsIdle();
        const BOOL bLaserIdle = b.m_Laser.IsIdle();
        const BOOL bSaberIdle = b.m_Saber.IsIdle();
        const int nAfter = b.m_After.nState;

        CAppTimer::FrameTick();
        CShowableSet::UpdateAll();
        m_pLabel->SetTarget(&m_vTarget);
        m_pLabel->SetOffsetY(m_fViewOffset);
        m_pLabel->Update();
        m_nUpdates++;

        for (int k = 0; k < F91_MISSILES; k++)
            if (bMissileIdle[k] && !b.m_Missiles[k].IsIdle())
                Note("missile" + std::to_string(k), b.m_Missiles[k].m_vPos);
        for (int i = 0; i < F91_HISPEEDS; i++)
            if (bHiIdle[i] && !b.m_HiSpeed[i].IsIdle())
                Note("hispeed" + std::to_string(i), b.m_HiSpeed[i].m_vShotPos);
        for (int t = 0; t < F91_THROWN; t++)
            if (bThrownIdle[t] && !b.m_Thrown[t].IsIdle())
                Note("thrown" + std::to_string(t), b.m_Thrown[t].m_vPos);
        if (b.m_Vulcan.m_dwFireTime != dwVulcan || (bVulcanIdle && !b.m_Vulcan.IsIdle()))
            Note("vulcan", b.m_Vulcan.m_vMuzzle);
        if (bLaserIdle && !b.m_Laser.IsIdle())
            Note("laser", b.m_Laser.m_vOrigin);
        if (bSaberIdle && !b.m_Saber.IsIdle())
            Note("saber", b.m_Saber.m_vCenter);
        if (b.m_After.nState != nAfter)
            Note("after" + std::to_string(b.m_After.nState), b.m_vPos);

        MoveEnemyBullets();
        CScrollableSet::SetScrollPos(0.0f);
        CScrollableSet::SetScrollSpeed(m_fViewOffset);
        CScrollableSet::Tick();
    }
    void Note(const std::string& what, const D3DVECTOR& v)
    {
        m_Events.push_back(F91EVENT{what, m_nUpdates, Body().m_nTick, v.x, v.y});
    }
    void Run(int n)
    {
        for (int i = 0; i < n; i++)
            Update();
    }
    // Runs until the body is in the state (at most nMax updates), then counts the phase's updates
    // from 0 and forgets what came before.
    void RunInto(int nState, int nMax)
    {
        for (int i = 0; i < nMax && Body().m_nState != nState; i++)
            Update();
        ASSERT_EQ(Body().m_nState, nState);
        m_Events.clear();
        m_nUpdates = 0;
    }
    // The events named what, in order.
    std::vector<F91EVENT> Events(const std::string& what) const
    {
        std::vector<F91EVENT> out;
        for (const F91EVENT& e : m_Events)
            if (e.what == what)
                out.push_back(e);
        return out;
    }
    std::vector<int> Updates(const std::string& what) const
    {
        std::vector<int> out;
        for (const F91EVENT& e : Events(what))
            out.push_back(e.nUpdate);
        return out;
    }
    // A hit of the given power; the body's answer.
    int Hit(int nPower)
    {
        CTestGun gun(nPower);
        return Body().HitByPlayerBullet(&m_Stage, &gun);
    }
    // Life just under the threshold of the next phase; the next phase check sends it on.
    void WoundToNextPhase()
    {
        const int nThird = Body().m_nMaxLife / 3;
        Body().m_nLife = Body().m_nState == 0 ? 2 * nThird - 1 : nThird - 1;
    }
    // The dash to her height, as the dash record runs it: the updates it takes to reach.
    static int DashLength(float fFrom, float fTo)
    {
        const float dy = (float)(int)fTo - fFrom, r = std::fabs(dy), v = std::min(5.0f, r);
        ACCINFO a;
        a.Set(0.0f, v * v / r, -0.5f, v, 1, 1, 0);
        int n = 0;
        while (!a.nReached) {
            a.Step();
            n++;
        }
        return n;
    }

    // The lit pixels of a column span of the back buffer, on black.
    int LitIn(int x0, int x1)
    {
        int n = 0;
        for (int y = 0; y < 480; y++)
            for (int x = std::max(x0, 0); x < std::min(x1, 640); x++)
                n += BackPixel(x, y) != 0;
        return n;
    }

    std::unique_ptr<CEnemyF91> m_pKind;
    std::unique_ptr<CEnemyLabel> m_pLabel;
    CEnemyPartF91* m_pBody = nullptr;
    std::vector<F91EVENT> m_Events;
    int m_nUpdates = 0;
};

const float kHiSpeedAngles[4] = {2.3561945f, 2.8797932f, -2.8797932f, -2.3561945f};

TEST_F(BossF91, ItLoadsItsPicturesLifeAndHitBoxFromTheSampleData)
{
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(m_pKind->m_nWidths[i], 288) << i;
        EXPECT_EQ(m_pKind->m_nHeights[i], 288) << i;
    }
    EXPECT_NE(Body().m_OwnImage.GetSurface(), nullptr);
    EXPECT_NE(m_pKind->m_MissilePictures[0].GetSurface(), nullptr);
    EXPECT_NE(m_pKind->m_MissilePictures[1].GetSurface(), nullptr);
    EXPECT_EQ(Body().m_Missiles[0].m_nWidth, 40);
    EXPECT_EQ(m_pKind->m_Block.nLife, GetParamIntOrMax("ENEMY_M.ZorvaF91", 0));
    EXPECT_EQ(m_pKind->m_Block.nScore, GetParamIntOrMax("ENEMY_M.ZorvaF91", 3));
    EXPECT_FLOAT_EQ(Body().m_fScaleX, GetParamFloat("BOSS_HRR_F91", 0, 0.0f));
    EXPECT_FLOAT_EQ(Body().m_Laser.m_fGrowth, 40.0f);
    EXPECT_EQ(Body().m_Laser.m_dwHoldTime, 500u);
    EXPECT_FLOAT_EQ(Body().m_Thrown[1].m_fAngle, 3.6633334f);
}

// The stage sets its labels up while it reads the map and loads the kinds after: the weapons'
// pictures come from the index all the same, and loading the body images leaves them alone.
TEST_F(BossF91, SetUpBeforeItsKindLoadsAsTheStageDoesItsWeaponsStillHaveTheirPictures)
{
    CEnemyF91 kind;
    CEnemyLabel label;
    label.m_pEnemy = &kind;
    label.SetObject(&kind);
    label.CreateParts(0);
    ASSERT_EQ(label.Setup(g_lpD3DDevice, F91_FOLDER), 1);
    ASSERT_EQ(kind.Load(g_lpD3DDevice, F91_FOLDER), 1);
    CEnemyPartF91& b = *kind.GetF91Body(&label);
    EXPECT_NE(kind.m_MissilePictures[0].GetImage(CDSurfaceEx::IMAGE_NORMAL), nullptr);
    EXPECT_NE(kind.m_ThrownSprites[1].GetTexture(), nullptr);
    EXPECT_EQ(b.m_SaberLight.m_bLoaded, 1);
    EXPECT_NE(b.m_OwnImage.GetSurface(), nullptr);
    EXPECT_EQ(kind.m_nWidths[3], 288);
}

TEST_F(BossF91, TheAfterimagesConvergeInFortyOneUpdatesAndBlinkOnEveryOtherOne)
{
    F91AFTERIMAGE a{};
    a.dwBlinkPeriod = 1;
    CAppTimer::FrameTick();
    a.Converge(465.0f, 256.0f, 0.0f);
    EXPECT_FLOAT_EQ(a.vPoint[0].x, 565.0f);
    EXPECT_FLOAT_EQ(a.vPoint[1].x, 365.0f);
    std::vector<int> blinks;
    int n = 0;
    while (a.nState == F91AFTERIMAGE::CONVERGING && n < 100) {
        CAppTimer::FrameTick();
        a.Step();
        blinks.push_back(a.bBlink);
        n++;
    }
    EXPECT_EQ(n, 41);
    // -5 + 0.125 k summed over k = 0 .. 40: both points end 2.5 px past the body.
    EXPECT_FLOAT_EQ(a.vPoint[0].x, 462.5f);
    EXPECT_FLOAT_EQ(a.vPoint[1].x, 467.5f);
    for (size_t i = 1; i < blinks.size(); i++)
        EXPECT_NE(blinks[i], blinks[i - 1]) << i;

    a.Scatter(465.0f, 256.0f, 0.0f);
    a.bBlinkLock = 1;
    const BOOL bBlink = a.bBlink;
    for (n = 0; a.nState == F91AFTERIMAGE::SCATTERING && n < 100; n++) {
        CAppTimer::FrameTick();
        a.Step();
        EXPECT_EQ(a.bBlink, bBlink);
    }
    EXPECT_EQ(n, 41);
    EXPECT_FLOAT_EQ(a.vPoint[0].x, 567.5f);
    EXPECT_FLOAT_EQ(a.vPoint[1].x, 362.5f);
}

TEST_F(BossF91, PhaseZeroTeleportsInDashesToHerHeightAndFiresEightMissilesSevenTicksApart)
{
    m_vTarget = D3DVECTOR{{121.0f}, {420.0f}, {0.0f}};
    m_pLabel->Spawn();
    Update();
    ASSERT_EQ(Events("after1").size(), 1u);
    EXPECT_EQ(Events("after1")[0].nUpdate, 1);
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 144.0f + 321.0f);
    EXPECT_FLOAT_EQ(Body().m_vPos.y, 256.0f);
    Run(40);
    EXPECT_EQ(Updates("after0"), std::vector<int>{41});

    // Tick 70 dashes to her height less 9, at most 130 px: from 256 towards 386. The volley's
    // base is the tick after the dash record reached.
    const int nBase = 71 + DashLength(256.0f, 386.0f);
    Run(nBase + 139 - 41);
    EXPECT_EQ(Body().m_nTick, 60);
    // It speeds up to 5 px a tick, brakes, and comes to rest moving back at 0.5.
    const float y = Body().m_vPos.y;
    EXPECT_NEAR(y, 386.0f, 5.0f);
    const std::vector<F91EVENT> first = m_Events;
    // The second cycle dashes from where the first ended to her height less 9.
    const int nBase2 = 71 + DashLength(y, 411.0f);
    const int nCycle = nBase + 139;
    Run(nBase2 + 139 - 60);
    EXPECT_EQ(Body().m_nTick, 60);

    for (int c = 0; c < 2; c++) {
        const int nStart = c == 0 ? 0 : nCycle - 60;
        const int nB = c == 0 ? nBase : nBase2;
        for (int k = 0; k < F91_MISSILES; k++) {
            const std::vector<F91EVENT> e = Events("missile" + std::to_string(k));
            ASSERT_EQ(e.size(), 2u) << k;
            EXPECT_EQ(e[c].nUpdate, nStart + nB + 30 + 7 * k) << c << " " << k;
            EXPECT_EQ(e[c].nTick, nB + 30 + 7 * k);
        }
    }
    // From the pod, 40 px ahead of the body's centre, aimed at her.
    const F91EVENT e = Events("missile3")[0];
    const float x = Body().m_vPos.x;
    EXPECT_FLOAT_EQ(e.x, x + 40.0f);
    EXPECT_FLOAT_EQ(e.y, -(y - 8.5f));
    // The second volley's missile 3 is the one still flying.
    const F91EVENT e2 = Events("missile3")[1];
    const CEBMissile& m = Body().m_Missiles[3];
    EXPECT_NEAR(std::atan2(m.m_Vert.fValue, m.m_Horz.fValue), std::atan2(420.0f - 16.0f + e2.y, 121.0f - e2.x), 1e-4f);
    EXPECT_FLOAT_EQ(std::hypot(m.m_Horz.fValue, m.m_Vert.fValue), 19.0f);
    // No other shot in phase 0.
    EXPECT_TRUE(Events("vulcan").empty());
    EXPECT_TRUE(Events("hispeed0").empty());
    EXPECT_EQ(first.size() + 8u, m_Events.size());
}

TEST_F(BossF91, PhaseZeroLeansAwayFromHerWhileItFiresAndBackFiveTicksAfterTheLastMissile)
{
    m_pLabel->Spawn();
    Run(71 + DashLength(256.0f, 386.0f) + 30);
    EXPECT_FLOAT_EQ(Body().m_fLean, 5.0f);
    // Away from her: she is down and to the left, so the lean points up and right.
    EXPECT_GT(std::cos(Body().m_fLeanAngle), 0.0f);
    EXPECT_LT(std::sin(Body().m_fLeanAngle), 0.0f);
    Run(4);
    EXPECT_FLOAT_EQ(Body().m_fLean, 5.0f);
    Run(1);
    EXPECT_FLOAT_EQ(Body().m_fLean, 0.0f);
}

TEST_F(BossF91, PhaseChangesLeaveByTeleportParkTheBodyAndPlaceItAgainOnceTheAfterimagesAreApart)
{
    m_pLabel->Spawn();
    Run(50);
    const float x = Body().m_vPos.x, y = Body().m_vPos.y;
    // A slow shot still out when it comes back in: its placement stops nothing.
    CEBHiSpeed& shot = Body().m_HiSpeed[11];
    shot.SetSpeed(1.0f);
    shot.SetPosition(D3DVECTOR{{320.0f}, {-200.0f}, {0.0f}});
    shot.SetAngle(3.14f);
    shot.Fire();
    WoundToNextPhase();
    Update();
    EXPECT_EQ(Body().m_nState, CEnemyPartBoss::STATE_EXIT);
    EXPECT_EQ(Body().m_nNextState, CEnemyPartBoss::STATE_PHASE1);
    EXPECT_EQ(Body().m_After.nState, F91AFTERIMAGE::SCATTERING);
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 640000.0f);
    EXPECT_FLOAT_EQ(Body().m_After.vPoint[0].x, x);
    EXPECT_FLOAT_EQ(Body().m_After.vPoint[0].y, y);
    m_Events.clear();
    m_nUpdates = 0;
    int n = 0;
    while (Body().m_nState == CEnemyPartBoss::STATE_EXIT && n < 200) {
        Update();
        n++;
    }
    EXPECT_EQ(n, 41);
    EXPECT_EQ(Body().m_nState, CEnemyPartBoss::STATE_PHASE1);
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 940.0f);
    EXPECT_FLOAT_EQ(Body().m_vPos.y, 256.0f);
    EXPECT_EQ(Body().m_nTick, 0);
    EXPECT_FALSE(shot.m_Shots[0].IsIdle());
    EXPECT_FALSE(Body().m_SaberLight.m_bStopped);
}

TEST_F(BossF91, PhaseOneFiresTheVulcanTwiceLungesThrowsTwoSabersAndTeleportsSixTimesAPass)
{
    m_vTarget = D3DVECTOR{{121.0f}, {300.0f}, {0.0f}};
    m_pLabel->Spawn();
    Run(5);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE1, 100);
    Run(760 + 700);
    EXPECT_EQ(Body().m_nTick, 60);

    // Her height 300, less 3, plus 16 for the view offset of 0.
    const float y = 313.0f, x = 465.0f;
    EXPECT_EQ(Updates("after1"), (std::vector<int>{121, 351, 570, 821, 1051, 1270}));
    EXPECT_EQ(Updates("after2"), (std::vector<int>{250, 480, 700, 950, 1180, 1400}));
    // Each converge and each scatter ends.
    EXPECT_EQ(Updates("after0").size(), 12u);
    EXPECT_EQ(Updates("vulcan"), (std::vector<int>{180, 410, 880, 1110}));
    for (const F91EVENT& e : Events("vulcan")) {
        EXPECT_FLOAT_EQ(e.x, x - 135.0f);
        EXPECT_FLOAT_EQ(e.y, -(y - 22.0f));
    }
    EXPECT_EQ(Updates("saber"), (std::vector<int>{634, 1334}));
    // The lunge: 0, -20, -40, then at rest; the sabers leave at its end.
    for (int t = 0; t < F91_THROWN; t++) {
        const std::vector<F91EVENT> e = Events("thrown" + std::to_string(t));
        ASSERT_EQ(e.size(), 2u);
        EXPECT_EQ(e[0].nUpdate, 634);
        EXPECT_EQ(e[1].nUpdate, 1334);
        // In at her height less 40 for the lunge.
        EXPECT_FLOAT_EQ(e[0].x, x - 60.0f - 40.0f);
        EXPECT_FLOAT_EQ(e[0].y, -(300.0f - 40.0f + 16.0f + 20.0f));
    }
    EXPECT_TRUE(Events("missile0").empty());
    EXPECT_TRUE(Events("laser").empty());
}

TEST_F(BossF91, PhaseOneVulcanRecoilPushesTheBodyRightKicksItBackAndTheRestDriftsItLeft)
{
    m_pLabel->Spawn();
    Run(5);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE1, 100);
    Run(180);
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 465.0f);
    // The recoil slides it right, its own step and the sequencer's each taking 2 off: 18, 14, 10,
    // 6, 2; then the kick back of 5.
    Run(5);
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 465.0f + 50.0f);
    Run(2);
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 465.0f + 45.0f);
    // After the half-second wait it drifts left a pixel a tick until it teleports out at 250.
    Run(40);
    const float x = Body().m_vPos.x;
    EXPECT_LT(x, 465.0f + 45.0f);
    Update();
    EXPECT_FLOAT_EQ(Body().m_vPos.x, x - 1.0f);
    EXPECT_EQ(Body().m_Bounce.pAcc, nullptr);
}

TEST_F(BossF91, PhaseTwoFiresThreeWayVolleysAndItsStandingAfterimagesFireTheVulcanAndTheLaser)
{
    m_vTarget = D3DVECTOR{{121.0f}, {300.0f}, {0.0f}};
    m_pLabel->Spawn();
    Run(5);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE1, 100);
    Run(10);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE2, 1000);
    Run(830 + 720);
    EXPECT_EQ(Body().m_nTick, 110);

    std::vector<int> volleys;
    for (int c = 0; c < 2; c++)
        for (int v = 150; v <= 780; v += 90)
            volleys.push_back(v + 720 * c);
    for (int i = 0; i < F91_HISPEEDS; i++) {
        std::vector<int> expected;
        for (int v : volleys)
            expected.push_back(v + 10 * (i / 4));
        EXPECT_EQ(Updates("hispeed" + std::to_string(i)), expected) << i;
        EXPECT_FLOAT_EQ(Body().m_HiSpeed[i].m_fAngle, kHiSpeedAngles[i % 4]);
    }
    EXPECT_EQ(Updates("after3"), (std::vector<int>{260, 440, 980, 1160}));
    EXPECT_EQ(Updates("after4"), (std::vector<int>{620, 1340}));
    EXPECT_EQ(Updates("vulcan"), (std::vector<int>{320, 500, 1040, 1220}));
    EXPECT_EQ(Updates("laser"), (std::vector<int>{680, 1400}));
    // The afterimage stood where the body was and slid 21 px right before the vulcan.
    for (const F91EVENT& e : Events("vulcan")) {
        const std::vector<F91EVENT> stand = Events("after3");
        const F91EVENT* pStand = nullptr;
        for (const F91EVENT& s : stand)
            if (s.nUpdate < e.nUpdate)
                pStand = &s;
        ASSERT_NE(pStand, nullptr);
        EXPECT_NEAR(e.x, pStand->x + 21.0f - 135.0f, 0.01f) << e.nUpdate;
        EXPECT_NEAR(e.y, -(pStand->y - 22.0f), 0.01f) << e.nUpdate;
    }
    // The body bobs from tick 110 but never leaves x = 465 in this phase.
    EXPECT_FLOAT_EQ(Body().m_vPos.x, 465.0f);
    for (const F91EVENT& e : Events("hispeed0"))
        EXPECT_FLOAT_EQ(e.x, 465.0f);
    EXPECT_TRUE(Events("missile0").empty());
}

TEST_F(BossF91, TheLaserAfterimageAimsLeftFromItsRifleAndEveryStandingAfterimageShows)
{
    m_pLabel->Spawn();
    Run(5);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE1, 100);
    Run(10);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE2, 1000);
    Run(680);
    const D3DVECTOR p = Body().m_After.vPoint[0];
    EXPECT_EQ(Body().m_After.nState, F91AFTERIMAGE::STANDING_LASER);
    EXPECT_EQ(Body().m_Laser.m_nDirection, -1);
    EXPECT_FLOAT_EQ(Body().m_Laser.m_vOrigin.x, p.x - 23.0f);
    EXPECT_FLOAT_EQ(Body().m_Laser.m_vOrigin.y, -(p.y - 85.0f));
    // The lock of the afterimage that ended at 540 does not hide this one: it blinks.
    EXPECT_EQ(Body().m_After.bBlinkLock, 0);
    const BOOL bBlink = Body().m_After.bBlink;
    Update();
    EXPECT_NE(Body().m_After.bBlink, bBlink);
}

TEST_F(BossF91, HitsWhileTheAfterimagesMoveDoNothingAndPhaseOneTakesDoubleDamage)
{
    m_pLabel->Spawn();
    Update();
    const int nLife = Body().m_nLife;
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::CONVERGING);
    const int nScore = m_Stage.GetScore();
    EXPECT_EQ(Hit(5), 0);
    EXPECT_EQ(Body().m_nLife, nLife);
    EXPECT_EQ(m_Stage.GetScore(), nScore);
    EXPECT_FALSE(Body().m_Flash.IsFlashing());
    Run(40);
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::NONE);
    EXPECT_EQ(Hit(5), 1);
    EXPECT_EQ(Body().m_nLife, nLife - 5);

    WoundToNextPhase();
    Update();
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::SCATTERING);
    const int nWounded = Body().m_nLife;
    EXPECT_EQ(Hit(5), 0);
    EXPECT_EQ(Body().m_nLife, nWounded);
    RunInto(CEnemyPartBoss::STATE_PHASE1, 100);
    Run(121);
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::CONVERGING);
    EXPECT_EQ(Hit(5), 0);
    Run(41);
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::NONE);
    EXPECT_EQ(Hit(5), 1);
    EXPECT_EQ(Body().m_nLife, nWounded - 10);
}

TEST_F(BossF91, ATimeOutDuringATeleportStillLetsTheDeadBodyTakeTheTestThatEndsTheStage)
{
    m_pLabel->Spawn();
    Update();
    ASSERT_TRUE(Body().m_After.IsMoving());
    m_pLabel->OnTimeOut();
    ASSERT_TRUE(Body().m_bDead);
    Body().m_ExpBoss.Stop();
    Body().m_vPos.y = 480.0f + 289.0f;
    ASSERT_TRUE(Body().m_ExpBoss.IsFinished());
    CTestGun gun(1);
    EXPECT_EQ(Body().HitByPlayerBullet(&m_Stage, &gun), 0);
    // Fallen below the screen after its explosion: the stage clear is asked for.
    EXPECT_EQ(Body().m_bClearRequested, 1);
}

TEST_F(BossF91, WhileItTeleportsOnlyTheTwoAfterimagesAreDrawnAndTheBlinkHidesThemEveryOtherUpdate)
{
    m_pLabel->Spawn();
    Run(10);
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::CONVERGING);
    if (Body().m_After.bBlink)
        Run(1);
    ASSERT_FALSE(Body().m_After.bBlink);
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    EXPECT_EQ(m_pKind->Draw(g_lpDDSBack, m_pLabel.get(), 0.0f), 1);
    // The two points are 2 x 100 px apart less what they came in; each shows a whole body.
    const int x0 = (int)Body().m_After.vPoint[0].x, x1 = (int)Body().m_After.vPoint[1].x;
    EXPECT_GT(x0 - x1, 100);
    EXPECT_GT(LitIn(x0 + 50, x0 + 144), 1000);
    EXPECT_GT(LitIn(x1 - 144, x1 - 50), 1000);
    Run(1);
    ASSERT_TRUE(Body().m_After.bBlink);
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pKind->Draw(g_lpDDSBack, m_pLabel.get(), 0.0f);
    EXPECT_EQ(LitIn(0, 640), 0);
}

TEST_F(BossF91, TheStandingAfterimageIsDrawnBesideTheBodyWithItsOwnPicture)
{
    m_pLabel->Spawn();
    Run(5);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE1, 100);
    Run(10);
    WoundToNextPhase();
    RunInto(CEnemyPartBoss::STATE_PHASE2, 1000);
    Run(620);
    ASSERT_EQ(Body().m_After.nState, F91AFTERIMAGE::STANDING_LASER);
    Run(21);
    if (Body().m_After.bBlink)
        Run(1);
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pKind->Draw(g_lpDDSBack, m_pLabel.get(), 0.0f);
    const int nBoth = LitIn(0, 640);
    Run(1);
    ASSERT_TRUE(Body().m_After.bBlink);
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pKind->Draw(g_lpDDSBack, m_pLabel.get(), 0.0f);
    const int nBody = LitIn(0, 640);
    // The afterimage stands 21 px to the right of where the body was: it adds a strip of pixels.
    EXPECT_GT(nBody, 20000);
    EXPECT_GT(nBoth, nBody + 500);
}

} // namespace
