// The mine: its braking slide to the target x, the sway and the sinking, the end below the screen,
// its boxes, and the burst when the heroine's gun wears it down.
#include <cmath>

#include "BulletFixture.h"
#include "bullet/EBMine.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBMineTest : public CBulletTest {
protected:
    void SetUp() override
    {
        CBulletTest::SetUp();
        m.m_nWidth = 32;
        m.m_nHeight = 32;
        m.m_Explosion.m_nStyle = 2;
    }
    void Launch(float x, float y, float fTarget)
    {
        m.SetPosition(D3DVECTOR{{x}, {y}, {0.0f}});
        m.SetTargetX(fTarget);
        m.Fire();
    }
    CEBMine m;
};

TEST_F(EBMineTest, FiredFortyPixelsRightOfItsTargetItBrakesByFiveAndSwaysOffToTheRight)
{
    Launch(540.0f, -200.0f, 500.0f);
    EXPECT_EQ(m.m_Horz.fStep, 5.0f);
    EXPECT_EQ(m.m_nHitPoints, 16);
    const float kX[5] = {520.0f, 505.0f, 495.0f, 490.0f, 490.0f};
    for (int i = 0; i < 5; i++) {
        Step();
        EXPECT_EQ(m.m_vPos.x, kX[i]) << i;
        EXPECT_EQ(m.m_vPos.y, -200.0f - 2.0f * (float)(i + 1)) << i;
        EXPECT_EQ(m.GetState(), CEBMine::STATE_SLIDE) << i;
    }
    // Resting: the sway starts the way the braking pushed, +0.4, up to 7.5 and back.
    Step();
    EXPECT_EQ(m.GetState(), CEBMine::STATE_SWAY);
    EXPECT_EQ(m.m_vPos.x, 490.0f);
    EXPECT_FLOAT_EQ(m.m_Horz.fValue, 0.4f);
    float fFastest = 0.0f, fSlowest = 0.0f;
    for (int i = 0; i < 80; i++) {
        Step();
        fFastest = std::max(fFastest, m.m_Horz.fValue);
        fSlowest = std::min(fSlowest, m.m_Horz.fValue);
    }
    EXPECT_EQ(fFastest, 7.5f);
    EXPECT_EQ(fSlowest, -7.5f);
    EXPECT_EQ(m.m_vPos.y, -200.0f - 2.0f * 86.0f);
}

TEST_F(EBMineTest, FiredLeftOfItsTargetItSlidesRightAndSwaysOffToTheLeft)
{
    Launch(100.0f, -100.0f, 200.0f);
    EXPECT_EQ(m.m_Horz.fStep, -2.0f);
    Step();
    EXPECT_EQ(m.m_vPos.x, 120.0f);
    Step();
    EXPECT_EQ(m.m_vPos.x, 138.0f);
    int n = 2;
    while (m.GetState() == CEBMine::STATE_SLIDE && n < 50)
        Step(), n++;
    EXPECT_FLOAT_EQ(m.m_Horz.fValue, -0.4f);
    EXPECT_NEAR(m.m_vPos.x, 200.0f, 10.0f);
}

TEST_F(EBMineTest, FiredRightAtItsTargetItSwaysAtOnceWithoutFlyingOff)
{
    Launch(300.0f, -100.0f, 300.0f);
    EXPECT_EQ(m.GetState(), CEBMine::STATE_SWAY);
    Step(3);
    EXPECT_TRUE(std::isfinite(m.m_vPos.x));
    EXPECT_FLOAT_EQ(m.m_vPos.x, 300.0f + 0.0f + 0.4f + 0.8f);
}

TEST_F(EBMineTest, ItStopsItselfOnceMoreThanFiveHundredAndTwentyPixelsDown)
{
    Launch(300.0f, -500.0f, 200.0f);
    Step(10);
    EXPECT_EQ(m.m_vPos.y, -520.0f);
    EXPECT_FALSE(m.IsIdle());
    Step();
    EXPECT_TRUE(m.IsIdle());
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(EBMineTest, ItsBoxesAreCentredSixteenPixelsBelowItsRowWithTheViewOffset)
{
    m_fViewOffset = 8.0f;
    Launch(300.0f, -200.0f, 300.0f);
    Step();
    const float x = m.m_vPos.x, fRow = 200.0f + 2.0f + 8.0f + 16.0f;
    D3DVECTOR q[4];
    m.GetQuad(q);
    EXPECT_EQ(q[0].x, std::trunc(x - 25.6f));
    EXPECT_EQ(q[2].x, std::trunc(x + 25.6f));
    EXPECT_EQ(q[0].y, std::trunc(fRow - 25.6f));
    EXPECT_EQ(q[2].y, std::trunc(fRow + 25.6f));
    m.GetHitQuad(q);
    EXPECT_EQ(q[0].y, fRow - 8.0f);
    EXPECT_EQ(q[2].y, fRow + 8.0f);
    EXPECT_EQ(q[1].x - q[0].x, 16.0f);
}

TEST_F(EBMineTest, SixteenPointsOfDamageBurstItIntoFourDiagonalShotsAnExplosionAndAFloatingTwoHundred)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    Launch(540.0f, -200.0f, 500.0f);
    Step(8);
    const D3DVECTOR v = m.m_vPos;
    CTestGun gun(5);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(m.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(heroine.m_nPoint, 150);
    EXPECT_EQ(m.m_nHitPoints, 1);
    EXPECT_TRUE(m.m_Flash.IsFlashing());
    for (const CEBHiSpeed& shot : m.m_Shots)
        EXPECT_TRUE(shot.m_Shots[0].m_bIdle);
    // The last hit scores only the one point it took, and 200 for the burst.
    EXPECT_EQ(m.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(heroine.m_nPoint, 150 + 10 + 200);
    EXPECT_TRUE(m.IsIdle());
    for (int i = 0; i < EBMINE_SHOTS; i++) {
        const CEBHiSpeed& shot = m.m_Shots[i];
        EXPECT_FALSE(shot.m_Shots[0].m_bIdle) << i;
        EXPECT_FLOAT_EQ(shot.m_fAngle, (float)i * 1.57f + 0.785f) << i;
        EXPECT_EQ(shot.m_vShotPos.x, v.x) << i;
        EXPECT_EQ(shot.m_vShotPos.y, v.y) << i;
        EXPECT_EQ(shot.m_Shots[0].m_Speed.fValue, 8.0f) << i;
    }
    ASSERT_NE(m.m_Explosion.m_pElement, nullptr);
    EXPECT_EQ(m.m_Explosion.m_pElement->m_fX, v.x);
    EXPECT_EQ(m.m_Point.GetNumber(), 200);
    EXPECT_FALSE(m.m_Point.IsStopped());
    EXPECT_EQ(m.m_Point.m_fX, v.x);
    EXPECT_EQ(m.m_Point.m_fY, 30.0f - v.y);
    // A burst mine takes no more hits.
    EXPECT_EQ(m.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(heroine.m_nPoint, 360);
    // The shots fly on by themselves, diagonally away from where the mine was.
    Step();
    EXPECT_GT(m.m_Shots[0].m_Shots[0].m_vPos.x, v.x);
    EXPECT_GT(m.m_Shots[0].m_Shots[0].m_vPos.y, v.y);
    EXPECT_LT(m.m_Shots[2].m_Shots[0].m_vPos.x, v.x);
    EXPECT_LT(m.m_Shots[2].m_Shots[0].m_vPos.y, v.y);
}

} // namespace
