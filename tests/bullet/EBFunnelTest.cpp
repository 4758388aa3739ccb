// The boss's pods and funnel formations tick by tick on the frame clock: the triangle's entry,
// drift, hold and spin; points without destruction; the pods' boxes; the three-pod circle's
// deployment, beams 300, 500 and 700 ms after the order and their recoil, the recall and the way
// out; the four-pod formation's waypoints, the common volley after the last arrival, the waits by
// unit and the turn of the pods between waypoints.
#include <cmath>
#include <vector>

#include "BulletFixture.h"
#include "bullet/EBFunnel.h"
#include "bullet/EBFunnelType1.h"
#include "bullet/EBFunnelType2b.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBFunnelTest : public CBulletTest {
protected:
    // Ticks run until the condition holds (at most nMax); the number run.
    template <typename F> int StepUntil(F fn, int nMax = 2000)
    {
        int n = 0;
        while (!fn() && n < nMax)
            Step(), n++;
        return n;
    }
};

TEST_F(EBFunnelTest, ALaunchedTriangleComesInEightUpdatesTwentyPixelsEachThenHoldsAndKeepsItsSpinRate)
{
    CEBFunnelTri tri;
    tri.m_nWidth = 64;
    tri.m_nHeight = 64;
    tri.m_vPos = D3DVECTOR{{600.0f}, {-200.0f}, {0.0f}};
    tri.Launch();
    EXPECT_FALSE(tri.IsIdle());
    EXPECT_EQ(tri.m_nMode, CEBFunnelTri::MODE_LAUNCHED);
    EXPECT_EQ(tri.m_fAppear, 0.2f);
    int n = 0;
    while (tri.m_fAppear < 1.0f)
        Step(), n++;
    EXPECT_EQ(n, 8);
    EXPECT_EQ(tri.m_vPos.x, 600.0f - 160.0f);
    // In the entry the spin grows by -0.005 an update: -0.001, -0.006, ... -0.036 after eight.
    EXPECT_NEAR(tri.m_Spin.fValue, -0.001f - 8 * 0.005f, 1e-6f);
    Step();
    const float fRate = tri.m_Spin.fValue;
    EXPECT_NEAR(fRate, -0.041f, 1e-6f);
    for (int i = 0; i < 30; i++) {
        const float fAngle = tri.m_fAngle;
        Step();
        EXPECT_EQ(tri.m_vPos.x, 440.0f);
        EXPECT_EQ(tri.m_Spin.fValue, fRate);
        EXPECT_NEAR(tri.m_fAngle - fAngle, fRate, 1e-6f);
    }
    // Inactive: neither angle nor rate moves.
    tri.SetActive(0);
    const float fAngle = tri.m_fAngle;
    Step(10);
    EXPECT_EQ(tri.m_fAngle, fAngle);
    EXPECT_EQ(tri.m_Spin.fValue, fRate);
    // Withdrawn: gone at once, out of every registry.
    tri.Withdraw();
    EXPECT_TRUE(tri.IsIdle());
    EXPECT_EQ(tri.m_nMode, CEBFunnelTri::MODE_WITHDRAWN);
    EXPECT_EQ(RegistryCount(), 0);
    EXPECT_EQ(tri.CScrollable::m_nIndex, -1);
}

TEST_F(EBFunnelTest, AFiredTriangleComesInAtEightThenDriftsLeftFasterEachUpdateAndStopsPastItsWidth)
{
    CEBFunnelTri tri;
    tri.m_nWidth = 40;
    tri.m_nHeight = 40;
    tri.m_vPos = D3DVECTOR{{300.0f}, {-100.0f}, {0.0f}};
    ASSERT_GE(tri.Fire(), 0);
    Step(8);
    EXPECT_EQ(tri.m_vPos.x, 300.0f - 64.0f);
    // Drift: 2.0, 2.3, 2.6, ...
    Step();
    EXPECT_EQ(tri.m_vPos.x, 234.0f);
    Step();
    EXPECT_FLOAT_EQ(tri.m_vPos.x, 231.7f);
    Step();
    EXPECT_FLOAT_EQ(tri.m_vPos.x, 229.1f);
    const int n = StepUntil([&] { return tri.IsIdle(); });
    EXPECT_LT(tri.m_vPos.x, -40.0f);
    EXPECT_GT(tri.m_vPos.x + 40.0f, -(2.0f + 0.3f * (float)(n + 3)));
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBFunnelTest, PodsScoreTenAPowerPointForEveryHitAndNeverDieAndAnIdlePodTakesNothing)
{
    CStubPlayer her;
    CStage stage(her);
    CTestGun gun(3);
    CEBFunnel pod;
    CEBFunnelTri tri;
    EXPECT_EQ(pod.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(tri.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(gun.m_nConfirms, 0);
    EXPECT_EQ(her.m_nPoint, 0);
    EXPECT_FALSE(pod.m_Flash.IsFlashing());
    pod.Fire();
    tri.m_vPos.x = 500.0f;
    tri.Fire();
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(pod.HitByPlayerBullet(&stage, &gun), 1);
        EXPECT_EQ(tri.HitByPlayerBullet(&stage, &gun), 1);
    }
    EXPECT_EQ(her.m_nPoint, 10 * 3 * 10);
    EXPECT_TRUE(pod.m_Flash.IsFlashing());
    EXPECT_TRUE(tri.m_Flash.IsFlashing());
    EXPECT_FALSE(pod.IsIdle());
    EXPECT_FALSE(tri.IsIdle());
    // A bullet that refuses the hit gives nothing.
    gun.m_nConfirm = 0;
    EXPECT_EQ(pod.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(her.m_nPoint, 300);
}

TEST_F(EBFunnelTest, APodsBoxesSitOnItsPositionLoweredBySixteenAndTheTrianglesOnItsOffsetNarrowedByItsTurn)
{
    CEBFunnel pod;
    pod.m_nWidth = 48;
    pod.m_nHeight = 30;
    pod.m_vPos = D3DVECTOR{{100.5f}, {-200.0f}, {0.0f}};
    pod.SetScrollSpeed(8.0f);
    D3DVECTOR q[4];
    pod.GetQuad(q);
    // Half sizes 12 and 7.5 around (100.5, 200 + 8 + 16).
    EXPECT_EQ(q[0].x, 88.0f);
    EXPECT_EQ(q[1].x, 112.0f);
    EXPECT_EQ(q[0].y, 216.0f);
    EXPECT_EQ(q[2].y, 231.0f);
    pod.GetHitQuad(q);
    EXPECT_EQ(q[0].x, 98.0f);
    EXPECT_EQ(q[1].x, 102.0f);
    EXPECT_EQ(q[0].y, 222.0f);
    EXPECT_EQ(q[2].y, 226.0f);

    CEBFunnelTri tri;
    tri.m_nWidth = 64;
    tri.m_nHeight = 64;
    tri.m_vPos = D3DVECTOR{{300.0f}, {-100.0f}, {0.0f}};
    tri.m_fAppear = 1.0f;
    tri.GetQuad(q);
    // Centre (304, -127) y up, so row 127 + 16; half sizes 16 cos(1.0466667) and 16.
    const float fHw = std::cos(1.0466667f) * 64.0f * 0.25f;
    EXPECT_EQ(q[0].x, std::trunc(304.0f - fHw));
    EXPECT_EQ(q[1].x, std::trunc(304.0f + fHw));
    EXPECT_EQ(q[0].y, 127.0f);
    EXPECT_EQ(q[2].y, 159.0f);
    D3DVECTOR h[4];
    tri.GetHitQuad(h);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(h[i].x, q[i].x);
        EXPECT_EQ(h[i].y, q[i].y);
    }
}

TEST_F(EBFunnelTest, TheThreePodCircleDeploysToRadius130WithItsPodsATurnThirdApartAndUnitZeroOpposite)
{
    CEBFunnelType1 f;
    f.m_vPos = D3DVECTOR{{400.0f}, {-220.0f}, {0.0f}};
    ASSERT_GE(f.Fire(), 0);
    EXPECT_EQ(f.m_nState, CEBFunnelType1::STATE_DEPLOY);
    for (FunnelUnit1& unit : f.m_Units)
        EXPECT_FALSE(unit.Pod.IsIdle());
    Step();
    // Radius 10 after the first update; scale 0.2 (0.05 clamped up to its least).
    EXPECT_EQ(f.m_fRadius, 10.0f);
    EXPECT_EQ(f.m_Units[0].fScale, 0.2f);
    Step();
    EXPECT_NEAR(f.m_fRadius, 10.0f + 9.615385f, 1e-4f);
    const int n = StepUntil([&] { return f.m_nState == CEBFunnelType1::STATE_ROTATE; });
    EXPECT_EQ(n + 2, 28);
    EXPECT_EQ(f.m_fRadius, 130.0f);
    EXPECT_EQ(f.m_Units[0].fScale, 1.0f);
    // Unit 0 opposite the base angle, the others 2.0933335 rad on.
    for (int i = 0; i < EBFUNNEL1_UNITS; i++) {
        const float a = (float)i * 2.0933335f + f.m_fBaseAngle + 3.14f;
        EXPECT_FLOAT_EQ(f.m_Units[i].vOffset.x, std::cos(a) * 130.0f);
        EXPECT_FLOAT_EQ(f.m_Units[i].vOffset.y, std::sin(a) * 130.0f);
    }
    // Turning at -0.03 an update (kept in [0, 6.28)), the pods following the weapon.
    const float fAngle = f.m_fBaseAngle;
    Step();
    const float fTurned = fAngle - 0.03f < 0.0f ? fAngle - 0.03f + 6.28f : fAngle - 0.03f;
    EXPECT_FLOAT_EQ(f.m_fBaseAngle, fTurned);
    // Each update first puts the pods where the last one left their units.
    const D3DVECTOR vOffset = f.m_Units[1].vOffset;
    f.m_vPos.x = 300.0f;
    Step();
    EXPECT_FLOAT_EQ(f.m_Units[1].Pod.m_vPos.x, 300.0f + vOffset.x);
    EXPECT_FLOAT_EQ(f.m_Units[1].Pod.m_vPos.y, -220.0f + vOffset.y);
}

TEST_F(EBFunnelTest, TheCircleFiresItsBeamsThreeFiveAndSevenHundredMillisecondsAfterTheOrderAndRecoils)
{
    CEBFunnelType1 f;
    f.m_vPos = D3DVECTOR{{400.0f}, {-220.0f}, {0.0f}};
    f.Fire();
    StepUntil([&] { return f.m_nState == CEBFunnelType1::STATE_ROTATE; });
    Step();
    const DWORD dwOrder = CAppTimer::GetElapsed(0);
    f.FireBeams();
    std::vector<DWORD> fired(3, 0);
    std::vector<float> slides;
    float fLastX = f.m_Units[0].vOffset.x;
    const float fHome = f.m_Units[0].fHomeX;
    for (int t = 0; t < 80; t++) {
        const float fAngle = f.m_fBaseAngle;
        Step();
        for (int i = 0; i < 3; i++) {
            if (!fired[i] && !f.m_Units[i].Beam.IsIdle()) {
                fired[i] = CAppTimer::GetElapsed(0) - dwOrder;
                // Placed where the pod is (weapon + offset) and growing toward -x.
                EXPECT_EQ(f.m_Units[i].Beam.m_nDirection, -1);
            }
        }
        if (fired[0] && slides.size() < 8) {
            slides.push_back(f.m_Units[0].vOffset.x - fLastX);
        }
        fLastX = f.m_Units[0].vOffset.x;
        // The circle holds still while a pod is busy.
        if (fired[0] && f.m_Units[2].nState != FunnelUnit1::STATE_FORMATION) {
            EXPECT_EQ(f.m_fBaseAngle, fAngle);
        }
    }
    // The first update whose time is more than each delay after the order.
    EXPECT_GT(fired[0], 300u);
    EXPECT_LE(fired[0], 317u);
    EXPECT_GT(fired[1], 500u);
    EXPECT_LE(fired[1], 517u);
    EXPECT_GT(fired[2], 700u);
    EXPECT_LE(fired[2], 717u);
    // The pod slides right 20, 16, 12, 8, 4 (the record stepped twice an update), rests one
    // update, is kicked back 5 and holds.
    ASSERT_EQ(slides.size(), 8u);
    const float kSlides[8] = {20.0f, 16.0f, 12.0f, 8.0f, 4.0f, 0.0f, -5.0f, 0.0f};
    for (int i = 0; i < 8; i++)
        EXPECT_FLOAT_EQ(slides[i], kSlides[i]) << i;
    EXPECT_GT(f.m_Units[0].vOffset.x, fHome);
}

TEST_F(EBFunnelTest, ARecoilingPodRestsThenDriftsBackAtOneAndAHalfAndTakesItsPlaceAgain)
{
    CEBFunnelType1 f;
    f.m_vPos = D3DVECTOR{{400.0f}, {-220.0f}, {0.0f}};
    f.Fire();
    StepUntil([&] { return f.m_nState == CEBFunnelType1::STATE_ROTATE; });
    f.FireBeams();
    FunnelUnit1& u = f.m_Units[0];
    StepUntil([&] { return u.nState == FunnelUnit1::STATE_FIRING; });
    const float fHome = u.fHomeX;
    // Slide, kick, 500 ms of rest, then -1.5 an update until it passes home.
    StepUntil([&] { return u.Speed.fValue == -1.5f && u.Speed.fStep == 0.0f; });
    const float x0 = u.vOffset.x;
    EXPECT_GT(x0, fHome);
    Step();
    EXPECT_FLOAT_EQ(u.vOffset.x, x0 - 1.5f);
    StepUntil([&] { return u.nState == FunnelUnit1::STATE_PAUSE; });
    EXPECT_FLOAT_EQ(u.vOffset.x, f.GetFormationOffset(0).x);
    EXPECT_TRUE(u.Speed.nReached);
    const DWORD dwPause = CAppTimer::GetElapsed(0);
    StepUntil([&] { return u.nState == FunnelUnit1::STATE_FORMATION; });
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwPause, 500u);
    EXPECT_LE(CAppTimer::GetElapsed(0) - dwPause, 517u);
    // Ordering the beams again re-arms a busy unit from scratch.
    f.FireBeams();
    EXPECT_EQ(u.nState, FunnelUnit1::STATE_ARMED);
    EXPECT_EQ(u.bDelayBusy, 0);
}

TEST_F(EBFunnelTest, ARecalledCircleShrinksByFourAnUpdateAndStopsItselfBelowRadiusOne)
{
    CEBFunnelType1 f;
    f.m_vPos = D3DVECTOR{{400.0f}, {-220.0f}, {0.0f}};
    f.Fire();
    StepUntil([&] { return f.m_nState == CEBFunnelType1::STATE_ROTATE; });
    f.Recall();
    Step();
    EXPECT_EQ(f.m_fRadius, 126.0f);
    EXPECT_FLOAT_EQ(f.m_Spin.fValue, -0.04f);
    Step();
    EXPECT_EQ(f.m_fRadius, 122.0f);
    // 130 / 4: radius 2 after 32 updates, 0 after 33 (below 1: the pods stop), idle the next.
    Step(31);
    EXPECT_EQ(f.m_fRadius, 0.0f);
    EXPECT_EQ(f.m_nState, CEBFunnelType1::STATE_RECALL);
    Step();
    EXPECT_EQ(f.m_nState, CEBFunnelType1::STATE_STOP);
    EXPECT_TRUE(f.m_Units[0].Pod.IsIdle());
    EXPECT_FALSE(f.IsIdle());
    Step();
    EXPECT_TRUE(f.IsIdle());
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBFunnelTest, StoppedBeamsSendThePodsRightAcceleratingAndTheWeaponStopsOnceAllArePast960)
{
    CEBFunnelType1 idle;
    idle.StopBeams();
    EXPECT_EQ(idle.m_bLeaving, 0);

    CEBFunnelType1 f;
    f.m_vPos = D3DVECTOR{{400.0f}, {-220.0f}, {0.0f}};
    f.Fire();
    StepUntil([&] { return f.m_nState == CEBFunnelType1::STATE_ROTATE; });
    f.FireBeams();
    StepUntil([&] { return !f.m_Units[0].Beam.IsIdle(); });
    f.StopBeams();
    EXPECT_TRUE(f.m_Units[0].Beam.IsIdle());
    EXPECT_EQ(f.m_bLeaving, 1);
    float x[3], y[3];
    for (int i = 0; i < 3; i++) {
        x[i] = f.m_Units[i].Pod.m_vPos.x;
        y[i] = f.m_Units[i].Pod.m_vPos.y;
    }
    // 0, 1, 2, 3 ... pixels an update; the rows kept.
    for (int t = 0; t < 4; t++) {
        Step();
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(f.m_Units[i].Pod.m_vPos.y, y[i]);
        }
    }
    EXPECT_FLOAT_EQ(f.m_Units[1].Pod.m_vPos.x, x[1] + 0.0f + 1.0f + 2.0f + 3.0f);
    const int n = StepUntil([&] { return f.IsIdle(); });
    float fMin = x[0];
    for (float v : x)
        fMin = std::min(fMin, v);
    // The slowest pod needs k updates with k (k - 1) / 2 >= 960 - its x.
    int k = 0;
    while (fMin + (float)(k * (k - 1) / 2) < 960.0f)
        k++;
    EXPECT_EQ(n + 4, k);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBFunnelTest, TheFourPodWaypointsAndWaitsAreTheFormationsTable)
{
    const float expected[4][3][2] = {{{540, 80}, {610, 40}, {220, 420}},
                                     {{460, 160}, {460, 100}, {370, 480}},
                                     {{460, 320}, {370, 40}, {460, 420}},
                                     {{540, 400}, {220, 100}, {610, 480}}};
    for (int i = 0; i < 4; i++) {
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(FunnelWaypoints[i][k].x, expected[i][k][0]);
            EXPECT_EQ(FunnelWaypoints[i][k].y, expected[i][k][1]);
            EXPECT_EQ(FunnelWaypoints[i][k].z, 0.0f);
        }
    }
    EXPECT_EQ(FunnelAfterBeamWait[0], 500);
    EXPECT_EQ(FunnelAfterBeamWait[1], 600);
    EXPECT_EQ(FunnelAfterBeamWait[2], 700);
    EXPECT_EQ(FunnelAfterBeamWait[3], 800);
}

// Updates at which each unit's beam fires, with where the unit stands then.
struct VOLLEY {
    int nTick[4];
    D3DVECTOR vPos[4];
};

TEST_F(EBFunnelTest, TheFourPodsComeInFireTogetherFiveHundredMillisecondsAfterTheLastArrivesAndMoveOnInTurn)
{
    CEBFunnelType2b f;
    f.m_vPos = D3DVECTOR{{560.0f}, {-240.0f}, {0.0f}};
    ASSERT_GE(f.Fire(), 0);
    // Coming in: straight at waypoint 0, braking at 10 px an update over the distance.
    for (FunnelUnit2& unit : f.m_Units) {
        EXPECT_EQ(unit.nPhase, FunnelUnit2::PHASE_COME_IN);
        EXPECT_EQ(unit.Speed.fValue, 10.0f);
        EXPECT_FALSE(unit.Pod.IsIdle());
    }
    Step();
    EXPECT_FLOAT_EQ(f.m_Units[0].fScale, 0.3f);
    std::vector<VOLLEY> volleys;
    int nArrived = -1, nTick = 0;
    bool bBeam[4] = {};
    int nDeparted[4] = {-1, -1, -1, -1};
    while (volleys.size() < 3 && nTick < 1500) {
        Step();
        nTick++;
        bool bAll = true;
        for (const FunnelUnit2& unit : f.m_Units)
            bAll = bAll && unit.Speed.nReached;
        if (bAll && nArrived < 0 && volleys.empty())
            nArrived = nTick;
        for (int i = 0; i < 4; i++) {
            const bool bOn = !f.m_Units[i].Beam.IsIdle();
            if (bOn && !bBeam[i]) {
                if (i == 0)
                    volleys.push_back(VOLLEY{});
                volleys.back().nTick[i] = nTick;
                volleys.back().vPos[i] = f.m_Units[i].vPos;
            }
            bBeam[i] = bOn;
            if (nDeparted[i] < 0 && f.m_Units[i].nPhase == FunnelUnit2::PHASE_TO_1)
                nDeparted[i] = nTick;
        }
    }
    ASSERT_EQ(volleys.size(), 3u);
    // All four beams of a volley in one update, 500 ms (30 or 31 updates) after the last unit
    // arrived: the first where the braked approach ended (at most its last 10 px step past the
    // waypoint), then exactly on waypoints 1 and 2.
    for (size_t v = 0; v < volleys.size(); v++) {
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(volleys[v].nTick[i], volleys[v].nTick[0]) << "volley " << v << " unit " << i;
            const D3DVECTOR& w = FunnelWaypoints[i][v];
            const float fMiss = Vec2Length(volleys[v].vPos[i].x - w.x, volleys[v].vPos[i].y + w.y);
            if (v == 0) {
                EXPECT_LE(fMiss, 10.0f) << "unit " << i;
            } else {
                EXPECT_FLOAT_EQ(volleys[v].vPos[i].x, w.x) << "volley " << v << " unit " << i;
                EXPECT_FLOAT_EQ(volleys[v].vPos[i].y, -w.y) << "volley " << v << " unit " << i;
            }
        }
    }
    EXPECT_GE(volleys[0].nTick[0] - nArrived, 30);
    EXPECT_LE(volleys[0].nTick[0] - nArrived, 32);
    // After the beam each unit waits 500, 600, 700 or 800 ms: they leave one after another, 6 to 7
    // updates apart.
    for (int i = 1; i < 4; i++) {
        EXPECT_GE(nDeparted[i] - nDeparted[i - 1], 5) << i;
        EXPECT_LE(nDeparted[i] - nDeparted[i - 1], 7) << i;
    }
    // The pods turned on the way: the third volley's beams at -1.0466667.
    EXPECT_EQ(f.m_Units[2].Beam.m_fAngle, -1.0466667f);
}

TEST_F(EBFunnelTest, ATravelSpeedsUpToAThirteenthOfTheWayAndBrakesToRestOnTheWaypoint)
{
    CEBFunnelType2b f;
    f.m_vPos = D3DVECTOR{{300.0f}, {-300.0f}, {0.0f}};
    f.Fire();
    FunnelUnit2& u = f.m_Units[1];
    u.vPos = D3DVECTOR{{460.0f}, {-160.0f}, {0.0f}};
    u.Pod.m_fAngle = 0.0f;
    f.SetPhase(u, FunnelUnit2::PHASE_TO_1);
    // From (460, 160) to (460, 100): 60 px up, top speed 60 / 13.
    EXPECT_FLOAT_EQ(u.fPathLength, 60.0f);
    EXPECT_FLOAT_EQ(u.Speed.fMax, 60.0f * 0.07692308f);
    EXPECT_EQ(u.nNextPhase, FunnelUnit2::PHASE_TO_2);
    // The others are still coming in from afar meanwhile.
    int n = 0;
    float fTop = 0.0f;
    while (!u.Speed.nReached && n < 100) {
        const float y = u.vPos.y;
        Step();
        fTop = std::max(fTop, u.vPos.y - y);
        n++;
    }
    EXPECT_GE(n, 26);
    EXPECT_LE(n, 28);
    EXPECT_NEAR(fTop, 60.0f / 13.0f, 1e-3f);
    EXPECT_FLOAT_EQ(u.vPos.y, -100.0f);
    EXPECT_FLOAT_EQ(u.vPos.x, 460.0f);
    EXPECT_FLOAT_EQ(u.Pod.m_fAngle, 1.0519768f);
}

TEST_F(EBFunnelTest, AFourPodFormationPlacedOnAWaypointDoesNotDivideByZero)
{
    CEBFunnelType2b f;
    f.m_vPos = D3DVECTOR{{540.0f}, {-80.0f}, {0.0f}};
    f.Fire();
    EXPECT_TRUE(f.m_Units[0].Speed.nReached);
    EXPECT_EQ(f.m_Units[0].vPos.x, 540.0f);
    Step(100);
    for (const FunnelUnit2& unit : f.m_Units) {
        EXPECT_TRUE(std::isfinite(unit.vPos.x));
        EXPECT_TRUE(std::isfinite(unit.vPos.y));
    }
}

TEST_F(EBFunnelTest, TheFourPodsLeaveWhenTheirBeamsAreStoppedAndANewFireStartsThemOver)
{
    CEBFunnelType2b f;
    f.m_vPos = D3DVECTOR{{560.0f}, {-240.0f}, {0.0f}};
    f.Fire();
    StepUntil([&] { return !f.m_Units[0].Beam.IsIdle(); });
    f.StopBeams();
    for (FunnelUnit2& unit : f.m_Units)
        EXPECT_TRUE(unit.Beam.IsIdle());
    StepUntil([&] { return f.IsIdle(); });
    for (FunnelUnit2& unit : f.m_Units) {
        EXPECT_GE(unit.Pod.m_vPos.x, 960.0f);
        EXPECT_TRUE(unit.Pod.IsIdle());
    }
    EXPECT_EQ(RegistryCount(), 0);
    f.Fire();
    EXPECT_EQ(f.m_bLeaving, 0);
    EXPECT_EQ(f.m_Units[3].nPhase, FunnelUnit2::PHASE_COME_IN);
    EXPECT_EQ(f.m_Units[3].vPos.x, 560.0f);
    EXPECT_EQ(RegistryCount(), 5);
}

} // namespace
