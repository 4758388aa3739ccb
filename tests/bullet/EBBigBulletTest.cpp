#include "BulletFixture.h"
#include "bullet/EBBigBullet.h"

namespace {

float TenthOfFrame(int nFrame)
{
    return (float)nFrame / 10.0f;
}

class EBBigBulletTest : public CBulletTest {};

TEST_F(EBBigBulletTest, MovesFirstThenTestsTheScreenAndCountsTheFramesItsCurveSees)
{
    CEBBigBullet b;
    EXPECT_EQ(b.m_Speed.fValue, 6.5f);
    EXPECT_EQ(b.m_pfnCurve(7), 1.0f);
    b.m_nWidth = b.m_nHeight = 32;
    b.SetPosition(D3DVECTOR{{640.0f + 32.0f - 6.5f}, {-240.0f}, {0.0f}});
    b.SetAngle(0.0f);
    b.SetCurve(TenthOfFrame);
    ASSERT_GE(b.Fire(), 0);
    Step();
    // On the edge after its move: it flies on. The first frame drawn is at scale 0.1.
    EXPECT_EQ(b.m_vPos.x, 672.0f);
    EXPECT_FALSE(b.IsIdle());
    EXPECT_EQ(b.m_nFrameCount, 1);
    EXPECT_EQ(b.m_pfnCurve(b.m_nFrameCount), 0.1f);
    Step();
    EXPECT_TRUE(b.IsIdle());
    EXPECT_EQ(RegistryCount(), 0);

    // Fire starts over from the start speed and frame 0.
    ACCINFO info;
    info.Set(2.0f, 1.0f, 0.0f, 4.0f, 1);
    b.SetSpeedInfo(&info);
    b.SetPosition(D3DVECTOR{{100.0f}, {-100.0f}, {0.0f}});
    b.m_Speed.fValue = 9.0f;
    b.Fire();
    EXPECT_EQ(b.m_nFrameCount, 0);
    Step(4);
    EXPECT_EQ(b.m_vPos.x, 100.0f + 2.0f + 3.0f + 4.0f + 4.0f);
    EXPECT_EQ(b.m_Speed.nReached, 1);
}

TEST_F(EBBigBulletTest, NeverShotDownAndItsHitBoxIsLoweredByTheViewOffsetAndSixteen)
{
    CEBBigBullet b;
    b.m_nWidth = b.m_nHeight = 32;
    b.SetPosition(D3DVECTOR{{100.0f}, {-200.0f}, {0.0f}});
    b.Fire();
    CTestGun gun(100);
    EXPECT_EQ(b.HitByPlayerBullet(nullptr, &gun), 0);
    EXPECT_EQ(gun.m_nConfirms, 0);
    m_fViewOffset = 10.0f;
    Step();  // the speed is 6.5 along angle 0
    D3DVECTOR q[4];
    b.GetQuad(q);
    EXPECT_EQ(q[0].y, 184.0f);
    b.GetHitQuad(q);
    EXPECT_EQ(q[0].x, 98.0f);  // 106.5 - 8
    EXPECT_EQ(q[0].y, 192.0f + 26.0f);
    EXPECT_EQ(q[2].y, 208.0f + 26.0f);
    // An owner's picture halves the picture box, and the hit box is that box.
    CSprite sprite;
    b.SetSprite(nullptr, &sprite);
    EXPECT_EQ(b.m_bExternalSprite, 1);
    b.m_nWidth = b.m_nHeight = 32;
    b.GetHitQuad(q);
    EXPECT_EQ(q[0].y, 192.0f + 26.0f);
    b.SetSprite(nullptr, nullptr);  // nothing for null
    EXPECT_EQ(b.m_pSprite, &sprite);
}

} // namespace
