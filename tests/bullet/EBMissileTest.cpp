// The missile and the homing missile tick by tick: the missile's two motion records and its
// swept, lowered boxes; the homing missile's fixed turn, its lifetime, and both brought down by
// the heroine's gun for exactly 10 a hit point and 100 for the kill.
#include <cmath>

#include "BulletFixture.h"
#include "bullet/EBHoming.h"
#include "bullet/EBMissile.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBMissileTest : public CBulletTest {
protected:
    static void Place(CEBMissile& m, float x, float y)
    {
        m.m_nWidth = 24;
        m.m_nHeight = 12;
        m.SetPosition(D3DVECTOR{{x}, {y}, {0.0f}});
    }
    static void Place(CEBHoming& h, float x, float y, float fHeading)
    {
        h.m_nWidth = 40;
        h.m_nHeight = 16;
        h.SetPosition(D3DVECTOR{{x}, {y}, {0.0f}});
        h.m_fLaunchHeading = fHeading;
    }
};

TEST_F(EBMissileTest, TheConstructorsRecordsFlyRightAndDownThenTurnBackLeft)
{
    CEBMissile m;
    Place(m, 100.0f, -100.0f);
    ASSERT_GE(m.Fire(), 0);
    Step();
    // Moved by the speeds it had, then the speeds stepped.
    EXPECT_EQ(m.m_vPos.x, 105.0f);
    EXPECT_EQ(m.m_vPos.y, -105.0f);
    EXPECT_FLOAT_EQ(m.m_Horz.fValue, 4.8f);
    EXPECT_FLOAT_EQ(m.m_Vert.fValue, 4.8f);
    EXPECT_EQ(m.m_vPrev.x, 100.0f);
    Step(23);
    EXPECT_GT(m.m_Vert.fValue, 0.0f);
    Step(2);
    // The vertical speed died away after 25 updates and is held at 0.
    EXPECT_EQ(m.m_Vert.fValue, 0.0f);
    EXPECT_EQ(m.m_Vert.nReached, 1);
    const float fRowHeld = m.m_vPos.y;
    EXPECT_LT(m.m_Horz.fValue, 0.0f);
    Step(3);
    EXPECT_EQ(m.m_vPos.y, fRowHeld);
    // Leftward, faster and faster, until it leaves at x below -w.
    int n = 0;
    while (!m.IsIdle() && n < 200) {
        Step();
        n++;
    }
    EXPECT_TRUE(m.IsIdle());
    EXPECT_LT(m.m_vPos.x, -24.0f);
    EXPECT_EQ(m.CCrushable::m_nIndex, -1);
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBMissileTest, AngleAndSpeedSplitTheSpeedAndShareTheAcceleration)
{
    CEBMissile m;
    ACCINFO speed{};
    speed.Set(10.0f, 0.5f, 1.0f, 20.0f, 1, 1, 1);
    m.SetAngleSpeed(std::atan2(3.0f, 4.0f), speed);
    EXPECT_FLOAT_EQ(m.m_Horz.fValue, 8.0f);
    EXPECT_FLOAT_EQ(m.m_Vert.fStart, 6.0f);
    EXPECT_EQ(m.m_Horz.fStep, 0.5f);
    EXPECT_EQ(m.m_Vert.fStep, 0.5f);
    EXPECT_EQ(m.m_Horz.nClamp + m.m_Vert.nBounceMax + m.m_Horz.fMax, 0.0f);
    Place(m, 300.0f, -200.0f);
    m.Fire();
    Step();
    EXPECT_FLOAT_EQ(m.m_vPos.x, 308.0f);
    EXPECT_FLOAT_EQ(m.m_vPos.y, -206.0f);  // a positive vertical speed flies down the screen
}

TEST_F(EBMissileTest, BoxesAreLoweredByTheViewOffsetAndTheHitBoxSweptBack)
{
    CEBMissile m;
    Place(m, 100.0f, -100.0f);
    m.Fire();
    m_fViewOffset = 10.0f;
    Step();
    ASSERT_EQ(m.m_fViewOffset, 10.0f);
    D3DVECTOR q[4];
    m.GetQuad(q);  // 0.8 of the picture around (105, 105 + 26)
    EXPECT_EQ(q[0].x, 85.0f);
    EXPECT_EQ(q[1].x, 124.0f);
    EXPECT_EQ(q[0].y, 121.0f);
    EXPECT_EQ(q[2].y, 140.0f);
    m.GetHitQuad(q);  // 99..111 x 102..108, reaching up to the row it came from (100), + 26
    EXPECT_EQ(q[0].x, 99.0f);
    EXPECT_EQ(q[2].x, 111.0f);
    EXPECT_EQ(q[0].y, 126.0f);
    EXPECT_EQ(q[1].y, 126.0f);
    EXPECT_EQ(q[2].y, 134.0f);
    m.m_bSmallBox = 1;
    m.GetQuad(q);
    EXPECT_EQ(q[0].x, 93.0f);
    EXPECT_EQ(q[2].y, 137.0f);
}

TEST_F(EBMissileTest, ShotDownItScoresElevenTimesTenWhateverThePowerAndBurstsOnce)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    CEBMissile weak, strong;
    Place(weak, 200.0f, -200.0f);
    Place(strong, 300.0f, -200.0f);
    weak.Load(nullptr);
    EXPECT_EQ(weak.m_Explosion.m_nStyle, 2);
    strong.m_Explosion.m_nStyle = 2;
    weak.Fire();
    strong.Fire();
    CTestGun one(1), five(5);
    EXPECT_EQ(weak.HitByPlayerBullet(&stage, &one), 1);
    EXPECT_EQ(heroine.m_nPoint, 110);
    // A second bullet in the same pass finds it already down.
    EXPECT_EQ(weak.HitByPlayerBullet(&stage, &five), 0);
    EXPECT_EQ(heroine.m_nPoint, 110);
    EXPECT_EQ(strong.HitByPlayerBullet(&stage, &five), 1);
    EXPECT_EQ(heroine.m_nPoint, 220);
    CExpBombScroll* pExp = strong.m_Explosion.m_pElement;
    ASSERT_NE(pExp, nullptr);
    EXPECT_EQ(pExp->m_fX, 300.0f);
    EXPECT_EQ(pExp->m_fY, 200.0f);
    EXPECT_EQ(pExp->m_nLongestLife, 40);  // style 2
    EXPECT_EQ(strong.Render2D(nullptr), 1);  // not drawn while it bursts
    Step();
    EXPECT_TRUE(weak.IsIdle());
    EXPECT_TRUE(strong.IsIdle());
    EXPECT_FALSE(pExp->m_bIdle);
}

TEST_F(EBMissileTest, AHomingMissileLevelWithItsTargetFliesStraightUntilItsLifetimeEnds)
{
    CEBHoming h;
    Place(h, 100.0f, -200.0f, 0.0f);
    const D3DVECTOR target{{600.0f}, {-200.0f}, {0.0f}};
    ASSERT_GE(h.Fire(&target), 0);
    EXPECT_EQ(h.m_fTurnStep, 0.0f);
    const DWORD dwFired = CAppTimer::GetElapsed(0);
    int n = 0;
    while (!h.IsIdle() && n < 500) {
        Step();
        n++;
        if (!h.IsIdle()) {
            EXPECT_LE(CAppTimer::GetElapsed(0) - dwFired, 2000u);
        }
    }
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwFired, 2000u);
    EXPECT_EQ(h.m_bExpired, 1);
    EXPECT_EQ(h.m_vPos.y, -200.0f);
    EXPECT_EQ(h.m_vPos.x, 100.0f + 2.0f * (float)n);
    ASSERT_NE(h.m_Explosion.m_pElement, nullptr);
    EXPECT_EQ(h.m_Explosion.m_pElement->m_fX, h.m_vPos.x);
}

TEST_F(EBMissileTest, AHomingMissileTurnsByItsRateThenFliesStraightAtItsTargetAndBurstsPassingIt)
{
    CEBHoming h;
    h.m_bItem = 1;
    Place(h, 300.0f, -300.0f, 0.0f);
    const D3DVECTOR target{{380.0f}, {-200.0f}, {0.0f}};  // up and to the right
    h.Fire(&target);
    EXPECT_FLOAT_EQ(h.m_fTurnStep, 0.1f);
    for (int i = 1; i <= 3; i++) {
        Step();
        EXPECT_NEAR(h.m_fHeading, 0.1f * (float)i, 1e-5f);
        EXPECT_NEAR(std::hypot(h.m_fVelocityX, h.m_fVelocityY), 2.0f, 1e-5f);
    }
    int n = 0;
    float fDistance = 1e9f;
    while (!h.IsIdle() && n < 200) {
        Step();
        n++;
        fDistance = std::hypot(target.x - h.m_vPos.x, target.y - h.m_vPos.y);
    }
    ASSERT_TRUE(h.IsIdle());
    EXPECT_EQ(h.m_bExpired, 0);
    EXPECT_LT(fDistance, 50.0f);
    // Passing its target drops nothing.
    EXPECT_TRUE(h.m_Item.IsFinished());
}

TEST_F(EBMissileTest, AHomingMissileShotDownScoresOneHundredAndTenAndDropsItsItem)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    CEBHoming h, plain;
    h.Load(nullptr);
    h.m_bItem = 1;
    h.m_Explosion.m_nStyle = 2;
    Place(h, 300.0f, -200.0f, 3.14159f);
    Place(plain, 400.0f, -200.0f, 3.14159f);
    const D3DVECTOR target{{0.0f}, {-200.0f}, {0.0f}};
    h.Fire(&target);
    plain.Fire(&target);
    CTestGun gun(3);
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(heroine.m_nPoint, 110);
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(heroine.m_nPoint, 110);
    EXPECT_FALSE(h.IsIdle());  // it bursts in its next update
    Step();
    EXPECT_TRUE(h.IsIdle());
    EXPECT_FALSE(h.m_Item.IsFinished());
    D3DVECTOR v;
    h.m_Item.GetPosition(&v);
    EXPECT_EQ(v.x, h.m_vPos.x);
    EXPECT_EQ(v.y, 200.0f);  // a screen row
    EXPECT_EQ(h.m_Item.GetKind(), 0);
    // Without the item flag it drops nothing.
    EXPECT_EQ(plain.HitByPlayerBullet(&stage, &gun), 1);
    Step();
    EXPECT_TRUE(plain.IsIdle());
    EXPECT_TRUE(plain.m_Item.IsFinished());
}

TEST_F(EBMissileTest, AHomingMissileThatTouchesTheHeroineScoresAndBurstsAtOnce)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    int nAsked = 0;
    heroine.m_fnHitByEnemyBullet = [&](CStage*, CCrushable*) { return ++nAsked == 2 ? 1 : 0; };
    CEBHoming h;
    Place(h, 300.0f, -200.0f, 3.14159f);
    const D3DVECTOR target{{0.0f}, {-200.0f}, {0.0f}};
    h.Fire(&target);
    EXPECT_EQ(h.HitByPlayer(&stage, &heroine), 0);
    EXPECT_FALSE(h.IsIdle());
    EXPECT_EQ(h.HitByPlayer(&stage, &heroine), 1);
    EXPECT_EQ(heroine.m_nPoint, 100);
    EXPECT_TRUE(h.IsIdle());
    ASSERT_NE(h.m_Explosion.m_pElement, nullptr);
    EXPECT_EQ(h.HitByPlayer(&stage, &heroine), 0);  // idle: no more
    EXPECT_EQ(nAsked, 2);
}

TEST_F(EBMissileTest, AnOwnersLaunchPhaseRunsUntilTheLaunchRecordIsSpent)
{
    CEBHoming h;
    Place(h, 300.0f, -200.0f, 1.57f);
    const D3DVECTOR target{{0.0f}, {-200.0f}, {0.0f}};
    h.Fire(&target);
    h.m_nPhase = CEBHoming::PHASE_LAUNCH;
    Step(24);
    EXPECT_EQ(h.m_nPhase, CEBHoming::PHASE_LAUNCH);
    EXPECT_NEAR(h.m_vPos.y, -200.0f + 24.0f * 2.0f * std::sin(1.57f), 1e-3f);
    Step(2);
    EXPECT_EQ(h.m_nPhase, CEBHoming::PHASE_HOMING);
    EXPECT_FLOAT_EQ(h.m_Magnitude.fValue, 2.0f);
    EXPECT_EQ(h.m_Magnitude.fStep, 0.35f);
}

} // namespace
