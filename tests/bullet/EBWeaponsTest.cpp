// The vulcan burst, the bullet ring and the familiar tick by tick: segments laid every 60 px and
// fading, the muzzle flash, the swept hit box; volleys every 100 ms from 54 shots in turn and the
// interleaved order; the familiar's entry, its eight missiles at its target, its kick-back, the
// points it gives without ever dying, and its five explosions and the item it drops.
#include <cmath>

#include "BulletFixture.h"
#include "bullet/EBFamiliar.h"
#include "bullet/EBRoundEx.h"
#include "bullet/EBVulcanEx.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBWeaponsTest : public CBulletTest {};

TEST_F(EBWeaponsTest, AVulcanHeadLaysASegmentEveryTwoUpdatesAndTheShotEndsWhenTheLastHasFaded)
{
    CEBVulcanEx v;
    v.m_nWidth = 32;
    v.m_nHeight = 8;
    v.SetMuzzlePoint(600.0f, -240.0f, 0.0f);
    ASSERT_GE(v.Fire(0), 0);
    EXPECT_EQ(v.m_vPos.x, 580.0f);
    EXPECT_EQ(v.m_vPos.y, -237.0f);
    EXPECT_EQ(v.CountLiveSegments(), 1);
    EXPECT_EQ(v.m_Segments[0].x, 580.0f);
    EXPECT_EQ(v.m_Segments[0].Quad[0].color, 0xFFCCCCCCu);
    Step();
    EXPECT_NEAR(v.m_vPos.x, 550.0f, 1e-3f);
    EXPECT_EQ(v.m_vPrev.x, 580.0f);
    EXPECT_EQ(v.CountLiveSegments(), 1);
    EXPECT_EQ(v.m_nMuzzleFrame, 0);
    Step();
    // 60 px flown: the next segment 60 px on from the last.
    EXPECT_EQ(v.CountLiveSegments(), 2);
    EXPECT_NEAR(v.m_Segments[1].x, 580.0f + 60.0f * std::cos(3.14f), 1e-3f);
    EXPECT_EQ(v.m_fDistance, 0.0f);
    Step();  // 50 ms: the second muzzle frame
    EXPECT_EQ(v.m_nMuzzleFrame, 1);
    EXPECT_EQ(v.m_bMuzzleOver, 0);
    Step();  // the flash is over after 50 ms, and the first fade took 0.2 off
    EXPECT_EQ(v.m_bMuzzleOver, 1);
    EXPECT_FLOAT_EQ(v.m_Segments[0].fBrightness, 0.6f);
    EXPECT_EQ(v.m_Segments[0].Quad[0].color, 0xFF999999u);
    // The hit box: the head's, reaching back to where it was, 8 px taller, lowered by 16.
    D3DVECTOR q[4];
    v.GetHitQuad(q);
    EXPECT_EQ(q[1].x, v.m_vPrev.x);
    EXPECT_EQ(q[0].x, std::trunc(v.m_vPos.x - 8.0f));
    EXPECT_EQ(q[0].y, std::trunc(-v.m_vPos.y - 2.0f) - 4.0f + 16.0f);
    EXPECT_EQ(q[2].y, std::trunc(-v.m_vPos.y + 2.0f) + 4.0f + 16.0f);
    // It leaves after 21 updates in all and stops once its segments have faded.
    int n = 4;
    while (v.m_vPos.x >= -32.0f)
        Step(), n++;
    EXPECT_EQ(n, 21);
    EXPECT_FALSE(v.IsIdle());
    const DWORD dwLeft = CAppTimer::GetElapsed(0);
    while (!v.IsIdle() && n < 100)
        Step(), n++;
    EXPECT_TRUE(v.IsIdle());
    EXPECT_LE(CAppTimer::GetElapsed(0) - dwLeft, 250u);
    EXPECT_EQ(v.CountLiveSegments(), 0);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBWeaponsTest, TheTwentyFirstSegmentIsLaidAtTheHead)
{
    CEBVulcanEx v;
    v.m_nWidth = 2000;  // a screen box wide enough for a long flight
    v.m_nHeight = 8;
    v.m_fAngle = 0.0f;
    v.SetMuzzlePoint(20.0f, -240.0f, 0.0f);
    v.Fire(0);
    Step(38);
    EXPECT_EQ(v.m_nNextSegment, 0);
    EXPECT_EQ(v.m_Segments[19].x, 60.0f * 19.0f);
    Step(2);
    EXPECT_EQ(v.m_nNextSegment, 1);
    EXPECT_EQ(v.m_Segments[0].x, v.m_vPos.x);
    EXPECT_EQ(v.m_Segments[0].x, 30.0f * 40.0f);
}

const float kSix[6] = {0.0f, 1.0466667f, 2.0933335f, 3.14f, 4.186667f, 5.2333336f};

TEST_F(EBWeaponsTest, ARingSendsAVolleyEveryHundredMillisecondsFromItsFiftyFourShotsInTurn)
{
    CEBRoundEx ring;
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(ring.m_fAngles[i], kSix[i]);
    EXPECT_EQ(ring.m_Shots[0].m_Speed.fValue, 2.0f);
    EXPECT_EQ(ring.m_Shots[53].m_Speed.fStep, 0.5f);
    for (CEBBigBullet& shot : ring.m_Shots)
        shot.m_nWidth = shot.m_nHeight = 32;
    ring.SetPosition(320.0f, -240.0f, 0.0f);
    ASSERT_GE(ring.Fire(), 0);
    Step();
    // The first volley comes on the first update, six shots at once along the six directions.
    for (int i = 0; i < 6; i++) {
        EXPECT_FALSE(ring.m_Shots[i].IsIdle());
        EXPECT_EQ(ring.m_Shots[i].m_fAngle, kSix[i]);
    }
    EXPECT_TRUE(ring.m_Shots[6].IsIdle());
    DWORD dwLast = CAppTimer::GetElapsed(0);
    int nVolleys = 1;
    while (nVolleys < 9) {
        const int nBefore = ring.m_nNextShot;
        Step();
        if (ring.m_nNextShot != nBefore) {
            EXPECT_GT(CAppTimer::GetElapsed(0) - dwLast, 100u);
            EXPECT_LE(CAppTimer::GetElapsed(0) - dwLast, 117u);
            dwLast = CAppTimer::GetElapsed(0);
            nVolleys++;
        }
    }
    // Nine volleys used all 54: the tenth takes shot 0 again, still flying or not.
    EXPECT_EQ(ring.m_nNextShot, 0);
    const float fX0 = ring.m_Shots[0].m_vPos.x;
    while (ring.m_nNextShot == 0)
        Step();
    EXPECT_LT(std::fabs(ring.m_Shots[0].m_vPos.x - 320.0f), std::fabs(fX0 - 320.0f));
    // Stopping the volleys lets the shots fly out; then the ring stops itself.
    ring.StopShooting();
    const int nNext = ring.m_nNextShot;
    int n = 0;
    while (!ring.IsIdle() && n < 300)
        Step(), n++;
    EXPECT_TRUE(ring.IsIdle());
    EXPECT_EQ(ring.m_nNextShot, nNext);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBWeaponsTest, TheInterleavedStepVisitsEightDirectionsInItsOrderAndTheCountIsLimited)
{
    CEBRoundEx ring;
    const float kAngles[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const float kOffsets[8] = {70, 50, 30, 10, -10, -30, -50, -70};
    ring.SetDirections(12, kAngles, nullptr);
    EXPECT_EQ(ring.m_nCount, 10);
    ring.SetDirections(8, kAngles, kOffsets);
    ring.SetStep(&CEBRoundEx::EmitInterleaved);
    ring.m_dwStepInterval = 10;
    ring.SetPosition(320.0f, -240.0f, 0.0f);
    ring.Fire();
    Step(8);
    const int kOrder[8] = {0, 2, 4, 6, 1, 3, 5, 7};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(ring.m_Shots[i].m_fAngle, (float)kOrder[i]) << i;
        // The y offset of the direction, before the shot's own moves.
        const float fMoved = ring.m_Shots[i].m_vPos.y - (-240.0f + kOffsets[kOrder[i]]);
        EXPECT_LE(std::fabs(fMoved), 40.0f) << i;
    }
    // A turning pattern turns every direction by its turn angle.
    ring.m_Turn.Set(0.5f, 0.0f, 0.0f, 0.0f, 0);
    ring.SetStep(&CEBRoundEx::EmitAll);
    ring.SetDirections(1, kAngles, nullptr);
    ring.Fire();
    Step();
    EXPECT_EQ(ring.m_Shots[0].m_fAngle, 0.0f);
    Step(2);
    EXPECT_FLOAT_EQ(ring.m_Shots[1].m_fAngle, -0.5f);
    EXPECT_FLOAT_EQ(ring.m_Shots[2].m_fAngle, -1.0f);
    // With no directions there is nothing to emit: the ring stops.
    ring.SetDirections(0, nullptr, nullptr);
    ring.Fire();
    Step();
    EXPECT_TRUE(ring.IsIdle());
}

class EBFamiliarTest : public CBulletTest {
protected:
    void SetUp() override
    {
        CBulletTest::SetUp();
        f.m_nWidth = 64;
        f.m_nHeight = 48;
        for (CEBMissile& m : f.m_Missiles) {
            m.m_nWidth = 24;
            m.m_nHeight = 12;
            m.m_bSmallBox = 1;
        }
        for (CExpBombScrollRef& e : f.m_Explosions)
            e.m_nStyle = 2;
    }
    CEBFamiliar f;
};

TEST_F(EBFamiliarTest, ItEntersFromTheRightEdgeAndBrakesToAHaltAboutAHundredPixelsIn)
{
    f.Launch(200.0f);
    EXPECT_EQ(f.m_vPos.x, 672.0f);
    Step();
    EXPECT_EQ(f.m_vPos.x, 667.0f);
    int n = 1;
    while (!f.m_Entry.nReached && n < 100)
        Step(), n++;
    EXPECT_GE(n, 40);
    EXPECT_LE(n, 41);
    EXPECT_NEAR(f.m_vPos.x, 672.0f - 102.5f, 1.0f);
    const float x = f.m_vPos.x;
    Step(5);
    EXPECT_EQ(f.m_vPos.x, x);
    EXPECT_EQ(f.m_vPos.y, 200.0f);
    // Its boxes sit 32 px below its row: half the picture, and a 4 x 4 hit box.
    D3DVECTOR q[4];
    f.GetQuad(q);
    EXPECT_EQ(q[0].y, 232.0f - 12.0f);
    EXPECT_EQ(q[2].y, 232.0f + 12.0f);
    f.GetHitQuad(q);
    EXPECT_EQ(q[2].y - q[0].y, 4.0f);
}

TEST_F(EBFamiliarTest, FiringItSendsItsEightMissilesAtTheTargetOneEverySevenUpdatesAndKicksBack)
{
    f.Launch(200.0f);
    Step(3);  // not yet halted: firing keeps it where it is
    f.SetOrigin(100.0f, 316.0f, 0.0f);
    f.Retreat();
    const float x = f.m_vPos.x;
    const float fAngle = std::atan2((316.0f - 16.0f) - 220.0f, 100.0f - x);
    for (int i = 0; i < EBFAMILIAR_MISSILES; i++) {
        Step(6);
        EXPECT_TRUE(f.m_Missiles[i].IsIdle()) << i;
        Step();
        ASSERT_FALSE(f.m_Missiles[i].IsIdle()) << i;
        EXPECT_EQ(f.m_nMissile, i + 1);
        EXPECT_FLOAT_EQ(f.m_Missiles[i].m_Horz.fStart, std::cos(fAngle) * 19.0f);
        EXPECT_FLOAT_EQ(f.m_Missiles[i].m_Vert.fStart, std::sin(fAngle) * 19.0f);
        EXPECT_EQ(f.m_fKickDistance, 5.0f);
        EXPECT_FLOAT_EQ(f.m_fKickHeading, std::atan2(-((316.0f - 16.0f) - 220.0f), -(100.0f - x)));
    }
    EXPECT_EQ(f.m_vPos.x, x);
    // The kick-back lasts five updates; after eight missiles nothing more goes.
    Step(5);
    EXPECT_EQ(f.m_fKickDistance, 0.0f);
    Step(20);
    EXPECT_EQ(f.m_nMissile, EBFAMILIAR_MISSILES);
    // The first missile left the gun 20 px below the familiar's row and flies toward the target.
    const CEBMissile& m = f.m_Missiles[0];
    EXPECT_LT(m.m_vPos.x, x);
    EXPECT_LT(m.m_vPos.y, -220.0f);
    // Stopping the familiar stops the missiles in flight too.
    f.Stop();
    for (const CEBMissile& missile : f.m_Missiles)
        EXPECT_TRUE(missile.m_bIdle);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBFamiliarTest, HerGunScoresOnItAndMakesItFlashButItOnlyBurstsOnItsOwnersOrderDroppingItsItem)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    f.Launch(200.0f);
    Step(50);
    CTestGun gun(3);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(f.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(heroine.m_nPoint, 150);
    EXPECT_TRUE(f.m_Flash.IsFlashing());
    EXPECT_FALSE(f.IsIdle());
    const float x = f.m_vPos.x;
    f.Explode();
    EXPECT_EQ(f.m_nMode, CEBFamiliar::MODE_EXPLODING);
    EXPECT_EQ(f.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(heroine.m_nPoint, 150);
    const float kDx[5] = {0, 40, -40, 0, 0}, kDy[5] = {0, 0, -40, 40, -40};
    for (int i = 0; i < 5; i++) {
        CExpBombScroll* p = f.m_Explosions[i].m_pElement;
        ASSERT_NE(p, nullptr) << i;
        EXPECT_EQ(p->m_fX, x + kDx[i]);
        EXPECT_EQ(p->m_fY, 200.0f + 16.0f + kDy[i]);
        EXPECT_EQ(p->m_dwDelay, 125u * (DWORD)i);
        EXPECT_EQ(p->m_nLongestLife, 40);
    }
    EXPECT_FALSE(f.m_Item.IsFinished());
    D3DVECTOR v;
    f.m_Item.GetPosition(&v);
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, 230.0f);
    // It finishes once the fifth explosion has gone off, 500 ms on.
    const DWORD dwExploded = CAppTimer::GetElapsed(0);
    int n = 0;
    while (!f.IsIdle() && n < 100)
        Step(), n++;
    EXPECT_TRUE(f.IsIdle());
    EXPECT_GE(CAppTimer::GetElapsed(0) - dwExploded, 500u);
    EXPECT_LE(CAppTimer::GetElapsed(0) - dwExploded, 534u);
}

} // namespace

namespace {

TEST_F(EBWeaponsTest, ARingWhoseShotsAreAllGoneEndsThoughItWasNeverToldToStopShooting)
{
    CEBRoundEx ring;
    ring.SetPosition(-500.0f, -240.0f, 0.0f);
    ASSERT_GE(ring.Fire(), 0);
    // Its first volley, far off the screen: every shot ends in its own first move.
    Step();
    EXPECT_FALSE(ring.IsIdle());
    EXPECT_EQ(ring.m_nNextShot, 6);
    for (CEBBigBullet& shot : ring.m_Shots)
        EXPECT_TRUE(shot.IsIdle());
    // No volley is due in the next update, and nothing of it flies: it ends.
    Step();
    EXPECT_TRUE(ring.m_bEmitting);
    EXPECT_TRUE(ring.IsIdle());
    EXPECT_EQ(RegistryCount(), 0);
}

} // namespace
