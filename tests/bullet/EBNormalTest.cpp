#include "BulletFixture.h"
#include "bullet/EBNormal.h"
#include "stage/Stage.h"
#include "stage/StubPlayer.h"

namespace {

class EBNormalTest : public CBulletTest {
protected:
    // A shot of the given size at (x, y), flying along the angle at the speed.
    static void Aim(CEBNormal& shot, float x, float y, float fAngle, float fSpeed, int nSize = 12)
    {
        shot.m_nWidth = shot.m_nHeight = nSize;
        shot.SetPosition(D3DVECTOR{{x}, {y}, {0.0f}});
        shot.SetAngle(fAngle);
        shot.SetSpeed(fSpeed);
    }
};

TEST_F(EBNormalTest, FliesAlongItsAngleAndSpeedsUpOrBouncesBetweenItsLimits)
{
    CEBNormal shot;
    EXPECT_EQ(shot.m_Speed.fValue, 6.5f);
    EXPECT_TRUE(shot.IsIdle());
    Aim(shot, 100.0f, -200.0f, 0.0f, 2.0f);
    shot.m_Speed.fStep = 0.5f;
    shot.m_Speed.fMax = 3.0f;
    shot.m_Speed.nClamp = 1;
    shot.m_Speed.nBounceMax = 1;
    ASSERT_GE(shot.Fire(), 0);
    EXPECT_FALSE(shot.IsIdle());
    const float kX[6] = {102.0f, 104.5f, 107.5f, 110.5f, 113.0f, 115.0f};
    for (float x : kX) {
        Step();
        EXPECT_EQ(shot.m_vPos.x, x);
        EXPECT_EQ(shot.m_vPos.y, -200.0f);
    }
    // Moving, then the speed: the speed passed 3.0, came back as 3.0 and now slows by 0.5.
    EXPECT_EQ(shot.m_Speed.fValue, 1.5f);
    EXPECT_EQ(shot.m_Speed.fStep, -0.5f);

    // Without the clamp the limits mean nothing.
    CEBNormal free;
    Aim(free, 100.0f, -200.0f, 0.0f, 2.0f);
    free.m_Speed.fStep = 0.5f;
    free.m_Speed.fMax = 3.0f;
    free.m_Speed.fMin = 2.5f;
    free.Fire();
    Step(4);
    EXPECT_EQ(free.m_Speed.fValue, 4.0f);
    EXPECT_EQ(free.m_Speed.nReached, 0);
}

TEST_F(EBNormalTest, LeavesOnlyBeyondTheScreenBoxWithItsOwnSizeAsMargin)
{
    CEBNormal on, off, below;
    Aim(on, 640.0f + 12.0f, -240.0f, 0.0f, 0.0f);
    Aim(off, 640.0f + 12.5f, -240.0f, 0.0f, 0.0f);
    Aim(below, 320.0f, -(480.0f + 12.5f), 0.0f, 0.0f);
    on.Fire();
    off.Fire();
    below.Fire();
    Step();
    EXPECT_FALSE(on.IsIdle());
    EXPECT_TRUE(off.IsIdle());
    EXPECT_TRUE(below.IsIdle());
    EXPECT_EQ(on.CCrushable::m_nIndex >= 0, true);
    EXPECT_EQ(off.CCrushable::m_nIndex, -1);
    EXPECT_EQ(RegistryCount(), 1);
}

TEST_F(EBNormalTest, BoxesOfTheTwoPicturesAndTheHitBoxSweptBackAlongTheLastStep)
{
    CEBNormal shot;
    Aim(shot, 100.0f, -100.0f, 0.0f, 6.5f, 16);
    D3DVECTOR q[4];
    shot.GetQuad(q);
    EXPECT_EQ(q[0].x, 92.0f);
    EXPECT_EQ(q[2].x, 108.0f);
    shot.m_nGraphic = 1;  // four thirds of the picture
    shot.GetQuad(q);
    EXPECT_EQ(q[0].x, 89.0f);
    EXPECT_EQ(q[0].y, 89.0f);
    EXPECT_EQ(q[2].x, 110.0f);
    EXPECT_EQ(q[2].y, 110.0f);

    // Rightward: the hit box (half of the half size) reaches back to the previous x.
    CEBNormal right;
    Aim(right, 100.0f, -100.0f, 0.0f, 6.5f);
    right.Fire();
    Step();
    right.GetHitQuad(q);
    EXPECT_EQ(q[0].x, 100.0f);
    EXPECT_EQ(q[3].x, 100.0f);
    EXPECT_EQ(q[1].x, 109.0f);  // 106.5 + 3
    EXPECT_EQ(q[0].y, 97.0f);
    EXPECT_EQ(q[2].y, 103.0f);
    // Upward on the screen (y grows): the bottom edge reaches back to the previous row.
    CEBNormal up;
    Aim(up, 100.0f, -100.0f, 1.5707964f, 6.5f);
    up.Fire();
    Step();
    up.GetHitQuad(q);
    EXPECT_EQ(q[0].y, 90.0f);  // 93.5 - 3
    EXPECT_EQ(q[2].y, 100.0f);
    EXPECT_EQ(q[3].y, 100.0f);
    EXPECT_EQ(q[0].x, 97.0f);
}

TEST_F(EBNormalTest, ShootingItDownScoresTenAPointAndEndsInAStyleFourExplosion)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    CEBNormal weak, strong;
    Aim(weak, 300.0f, -200.0f, 3.14159f, 0.0f);
    Aim(strong, 200.0f, -200.0f, 3.14159f, 0.0f);
    weak.SetGraphic(nullptr, 0);
    strong.SetGraphic(nullptr, 0);
    weak.m_nWidth = weak.m_nHeight = strong.m_nWidth = strong.m_nHeight = 12;
    weak.Fire();
    strong.Fire();

    CTestGun one(1), ten(10);
    EXPECT_EQ(weak.HitByPlayerBullet(&stage, &one), 1);
    EXPECT_EQ(heroine.m_nPoint, 10);
    EXPECT_EQ(weak.m_nHitPoints, 3);
    EXPECT_GE(weak.CCrushable::m_nIndex, 0);
    // A gun that does not confirm the meeting does nothing.
    one.m_nConfirm = 0;
    EXPECT_EQ(weak.HitByPlayerBullet(&stage, &one), 0);
    EXPECT_EQ(heroine.m_nPoint, 10);

    EXPECT_EQ(strong.HitByPlayerBullet(&stage, &ten), 1);
    EXPECT_EQ(heroine.m_nPoint, 10 + 40);
    EXPECT_EQ(strong.CCrushable::m_nIndex, -1);  // out of the hit registry at once
    CExpBombScroll* pExp = strong.m_Explosion.m_pElement;
    ASSERT_NE(pExp, nullptr);
    EXPECT_EQ(pExp->m_pOwner, &strong.m_Explosion);
    EXPECT_STREQ(pExp->m_pszSound, EXPBOMB_BREAK1_WAVE);
    EXPECT_EQ(pExp->m_bPicture, 0);
    EXPECT_EQ(pExp->m_nLongestLife, 8);
    EXPECT_EQ(pExp->m_fX, 200.0f);
    EXPECT_EQ(pExp->m_fY, 200.0f);  // screen y
    EXPECT_FALSE(pExp->m_bFinished);
    EXPECT_TRUE(pExp->m_bIdle);
    // Not drawn while its explosion waits.
    EXPECT_EQ(strong.Render2D(nullptr), 1);

    // The next update begins the burst (the handle lets go of it) and the shot then stops.
    Step();
    EXPECT_FALSE(pExp->m_bIdle);
    EXPECT_EQ(strong.m_Explosion.m_pElement, nullptr);
    EXPECT_TRUE(strong.IsIdle());
    EXPECT_EQ(strong.GetIndex(), -1);
    EXPECT_FALSE(weak.IsIdle());
    EXPECT_EQ(heroine.m_nPoint, 50);
}

TEST_F(EBNormalTest, AHiSpeedPairSitsTenEitherSideOfItsLineAndIsIdleOnlyWhenBothAre)
{
    CEBHiSpeed hi;
    EXPECT_TRUE(hi.IsIdle());
    EXPECT_EQ(hi.m_Shots[0].m_Speed.fValue, 15.0f);
    hi.SetLowSpeed();
    EXPECT_EQ(hi.m_Shots[1].m_Speed.fValue, 8.0f);
    ASSERT_EQ(hi.Setup(nullptr, CEBHiSpeed::MODE_PAIR), 1);
    EXPECT_EQ(hi.m_Shots[0].m_nGraphic, 1);
    hi.SetPosition(D3DVECTOR{{100.0f}, {-100.0f}, {0.0f}});
    hi.SetAngle(0.0f);
    EXPECT_GE(hi.Fire(), 0);
    EXPECT_EQ(hi.m_Shots[0].m_vPos.x, 100.0f);
    EXPECT_EQ(hi.m_Shots[0].m_vPos.y, -90.0f);
    EXPECT_EQ(hi.m_Shots[1].m_vPos.y, -110.0f);
    EXPECT_FALSE(hi.IsIdle());
    Step();
    EXPECT_EQ(hi.m_Shots[0].m_vPos.x, 108.0f);
    EXPECT_EQ(hi.m_Shots[1].m_vPos.x, 108.0f);
    hi.m_Shots[0].Stop();
    EXPECT_FALSE(hi.IsIdle());
    hi.Stop();
    EXPECT_TRUE(hi.IsIdle());

    // Single: the first shot only, at the composite's point; another mode fires nothing.
    CEBHiSpeed single;
    single.Setup(nullptr, CEBHiSpeed::MODE_SINGLE);
    single.SetPosition(D3DVECTOR{{50.0f}, {-60.0f}, {0.0f}});
    single.Fire();
    EXPECT_FALSE(single.m_Shots[0].IsIdle());
    EXPECT_TRUE(single.m_Shots[1].IsIdle());
    EXPECT_EQ(single.m_Shots[0].m_vPos.y, -60.0f);
    CEBHiSpeed odd;
    odd.Setup(nullptr, 5);
    EXPECT_EQ(odd.Fire(), 5);
    EXPECT_TRUE(odd.m_Shots[0].IsIdle());
    EXPECT_EQ(RegistryCount(), 1);
}

} // namespace
