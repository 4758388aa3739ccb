// The chained hammer: its throw out and back, the swing on the tilted ellipse and its swish, its
// boxes below the head, and what the heroine's gun does to it.
#include <climits>
#include <cmath>

#include "BulletFixture.h"
#include "bullet/EBHammer.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBHammerTest : public CBulletTest {
protected:
    void SetUp() override
    {
        CBulletTest::SetUp();
        h.m_nWidth = 64;
        h.m_nHeight = 48;
        h.m_Explosion.m_nStyle = 2;
    }
    CEBHammer h;
};

TEST_F(EBHammerTest, AThrowFromThreeHundredAndThirtyBrakesToRestThreeHundredAndTenOutAndComesBackToTheHand)
{
    h.SetPosition(D3DVECTOR{{330.0f}, {-200.0f}, {0.0f}});
    h.StartThrow();
    EXPECT_EQ(h.GetState(), CEBHammer::STATE_THROWN);
    EXPECT_FLOAT_EQ(h.m_Throw.fStep, 400.0f / 600.0f);
    Step();
    EXPECT_EQ(h.m_vHead.x, -20.0f);
    Step();
    EXPECT_FLOAT_EQ(h.m_vHead.x, -20.0f - (20.0f - 400.0f / 600.0f));
    Step(28);
    // Thirty updates out, at rest.
    EXPECT_NEAR(h.m_vHead.x, -310.0f, 0.01f);
    EXPECT_NEAR(h.m_Throw.fValue, 0.0f, 0.001f);
    EXPECT_EQ(h.GetState(), CEBHammer::STATE_THROWN);
    float fFarthest = h.m_vHead.x;
    int n = 30;
    while (h.GetState() == CEBHammer::STATE_THROWN && n < 200) {
        Step(), n++;
        fFarthest = std::min(fFarthest, h.m_vHead.x);
        EXPECT_EQ(h.m_vHead.y, 0.0f);
    }
    // Back at full speed as it reaches the hand, and held there.
    EXPECT_EQ(h.GetState(), CEBHammer::STATE_HELD);
    EXPECT_GE(n, 60);
    EXPECT_LE(n, 62);
    EXPECT_NEAR(fFarthest, -310.0f, 0.7f);
    EXPECT_NEAR(h.m_vHead.x, 0.0f, 20.0f);
    EXPECT_EQ(h.m_Throw.fValue, 20.0f);
    Step();
    EXPECT_EQ(h.m_vHead.x, 0.0f);
    float x, y;
    h.GetHeadPos(&x, &y);
    EXPECT_EQ(x, 330.0f);
    EXPECT_EQ(y, -200.0f);
}

TEST_F(EBHammerTest, AnAnchorAtTheLeftEdgeStillThrowsTheHeadOutAndBack)
{
    h.SetPosition(D3DVECTOR{{20.0f}, {-200.0f}, {0.0f}});
    h.StartThrow();
    // Braking for a one-pixel run: it turns at once instead of flying off.
    EXPECT_EQ(h.m_Throw.fStep, 200.0f);
    int n = 0;
    while (h.GetState() == CEBHammer::STATE_THROWN && n < 10)
        Step(), n++;
    EXPECT_EQ(h.GetState(), CEBHammer::STATE_HELD);
    EXPECT_GE(h.m_vHead.x, -20.0f);
}

TEST_F(EBHammerTest, TheSwingRunsRoundTheTiltedEllipseSpeedingUpToItsLimit)
{
    h.m_SwingPreset.fMax = 1.2f;
    h.SetPosition(D3DVECTOR{{400.0f}, {-150.0f}, {0.0f}});
    h.StartSwing();
    EXPECT_EQ(h.GetState(), CEBHammer::STATE_SWING);
    EXPECT_EQ(h.m_nHitPoints, INT_MAX);
    Step();
    // The first update turns by the speed it started with (0), then speeds up by 0.01.
    EXPECT_EQ(h.m_fAngle, 0.0f);
    EXPECT_FLOAT_EQ(h.m_Swing.fValue, 0.01f);
    float x, y;
    h.GetHeadPos(&x, &y);
    EXPECT_NEAR(x, 400.0f + 150.0f * std::cos(0.5235988f), 1e-3f);
    EXPECT_NEAR(y, -150.0f + 150.0f * std::sin(0.5235988f), 1e-3f);
    Step();
    EXPECT_FLOAT_EQ(h.m_fAngle, 0.01f);
    EXPECT_NEAR(h.m_vHead.x, 150.0f * std::cos(0.01f), 1e-3f);
    EXPECT_NEAR(h.m_vHead.y, 75.0f * std::sin(0.01f), 1e-3f);
    Step(200);
    EXPECT_EQ(h.m_Swing.fValue, 1.2f);
    EXPECT_GE(h.m_fAngle, 0.0f);
    EXPECT_LT(h.m_fAngle, 6.28f);
    // On the ellipse of 150 by 75 before the tilt.
    const float e = (h.m_vHead.x / 150.0f) * (h.m_vHead.x / 150.0f) + (h.m_vHead.y / 75.0f) * (h.m_vHead.y / 75.0f);
    EXPECT_NEAR(e, 1.0f, 1e-3f);
    // The links lie on the chain from the anchor to the head; the middle one halfway.
    h.GetHeadPos(&x, &y);
    EXPECT_NEAR(std::hypot(x - 400.0f, y + 150.0f), std::hypot(h.m_vHead.x, h.m_vHead.y), 1e-3f);
}

TEST_F(EBHammerTest, TheSwishComesEverySevenHundredMillisecondsAtFirstAndEveryTwoHundredAndFourAtFullSpeed)
{
    h.StartSwing();
    Step();
    EXPECT_EQ(h.m_nSwishInterval, 700);
    // Held at the slowest speed, the swish comes back on the first update past 700 ms.
    h.m_Swing.fStep = 0.0f;
    h.m_Swing.fValue = 0.01f;
    const DWORD dwFirst = h.m_dwSwishStart;
    while (h.m_dwSwishStart == dwFirst)
        Step();
    EXPECT_GT(h.m_dwSwishStart - dwFirst, 700u);
    EXPECT_LE(h.m_dwSwishStart - dwFirst, 717u);
    // At 0.6 the interval is 204 ms; faster than 0.7 it stays at 120.
    h.m_Swing.fValue = 0.6f;
    Step();
    EXPECT_EQ(h.m_nSwishInterval, 204);
    DWORD dwLast = h.m_dwSwishStart;
    for (int i = 0; i < 3; i++) {
        while (h.m_dwSwishStart == dwLast)
            Step();
        EXPECT_GT(h.m_dwSwishStart - dwLast, 204u);
        EXPECT_LE(h.m_dwSwishStart - dwLast, 221u);
        dwLast = h.m_dwSwishStart;
    }
    h.m_Swing.fMax = h.m_Swing.fValue = 1.2f;
    Step();
    EXPECT_EQ(h.m_nSwishInterval, 120);
}

TEST_F(EBHammerTest, ItsBoxesSitOnTheHeadSixteenPixelsBelowItsRowWithTheViewOffset)
{
    m_fViewOffset = 10.0f;
    h.SetPosition(D3DVECTOR{{200.5f}, {-300.0f}, {0.0f}});
    h.StartHold();
    Step();
    D3DVECTOR q[4];
    h.GetHitQuad(q);
    EXPECT_EQ(q[0].x, 184.0f);
    EXPECT_EQ(q[1].x, 216.0f);
    EXPECT_EQ(q[0].y, 326.0f - 12.0f);
    EXPECT_EQ(q[2].y, 326.0f + 12.0f);
    h.GetQuad(q);
    EXPECT_EQ(q[1].x - q[0].x, 32.0f);
    EXPECT_EQ(q[2].y - q[0].y, 24.0f);
}

TEST_F(EBHammerTest, HerGunScoresAndFlashesItButOnlyItsOwnersDeathBurstsIt)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    h.SetPosition(D3DVECTOR{{300.0f}, {-200.0f}, {0.0f}});
    h.StartHold();
    CTestGun gun(7);
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(heroine.m_nPoint, 140);
    EXPECT_EQ(h.m_nHitPoints, INT_MAX - 14);
    EXPECT_TRUE(h.m_Flash.IsFlashing());
    EXPECT_FALSE(h.IsIdle());
    // A declined hit costs nothing.
    gun.m_nConfirm = 0;
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(heroine.m_nPoint, 140);
    gun.m_nConfirm = 1;
    // Worn down to nothing (never in play), it bursts at the anchor for 200 more and stays out.
    h.m_nHitPoints = 3;
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(heroine.m_nPoint, 140 + 30 + 200);
    ASSERT_NE(h.m_Explosion.m_pElement, nullptr);
    EXPECT_EQ(h.m_Explosion.m_pElement->m_fX, 300.0f);
    EXPECT_FALSE(h.IsIdle());
    // Its owner's death: the burst at the head, out of every registry, deaf to the gun.
    h.m_nHitPoints = INT_MAX;
    h.StartThrow();
    Step(5);
    const float fHeadX = 300.0f + h.m_vHead.x;
    h.Explode();
    EXPECT_EQ(h.GetState(), CEBHammer::STATE_EXPLODED);
    EXPECT_TRUE(h.IsIdle());
    ASSERT_NE(h.m_Explosion.m_pElement, nullptr);
    EXPECT_EQ(h.m_Explosion.m_pElement->m_fX, fHeadX);
    EXPECT_EQ(RegistryCount(), 0);
    EXPECT_EQ(h.HitByPlayerBullet(&stage, &gun), 0);
    EXPECT_EQ(heroine.m_nPoint, 370);
}

} // namespace
