#include <vector>

#include "BulletFixture.h"

namespace {

// A projectile whose move writes down the order of the pass and can stop itself or fire another.
class CTestShot : public CEBulletPart {
public:
    explicit CTestShot(std::vector<int>* pLog, int nId) : m_pLog(pLog), m_nId(nId) {}
    ~CTestShot() override { Stop(); }
    int Fire() override
    {
        CCrushableSet::Register(this);
        m_bIdle = 0;
        const int nSlot = CEBulletPart::Fire();
        if (nSlot < 0)
            Stop();
        return nSlot;
    }
    void Stop() override
    {
        m_bIdle = 1;
        CCrushableSet::Unregister(this);
        CEBulletPart::Stop();
    }
    void Move() override
    {
        m_pLog->push_back(m_nId);
        if (m_bStopInMove)
            Stop();
        if (m_pFireInMove) {
            m_pFireInMove->Fire();
            m_pFireInMove = nullptr;
        }
    }
    int Render2D(IDirectDrawSurface7*) override
    {
        m_nDraws++;
        return 1;
    }

    std::vector<int>* m_pLog;
    int m_nId;
    int m_nDraws = 0;
    bool m_bStopInMove = false;
    CEBulletPart* m_pFireInMove = nullptr;
};

class RenderRegistry : public CBulletTest {};

TEST_F(RenderRegistry, FiringTakesTheLowestFreeSlotOnceAndStoppingTwiceRemovesOnce)
{
    std::vector<int> log;
    CTestShot a(&log, 0), b(&log, 1), c(&log, 2), d(&log, 3);
    EXPECT_EQ(a.Fire(), 0);
    EXPECT_EQ(b.Fire(), 1);
    EXPECT_EQ(c.Fire(), 2);
    EXPECT_EQ(b.Fire(), 1);  // already flying: its own slot again
    EXPECT_EQ(RegistryCount(), 3);
    b.Stop();
    b.Stop();
    EXPECT_EQ(RegistryCount(), 2);
    EXPECT_EQ(b.GetIndex(), -1);
    EXPECT_EQ(d.Fire(), 1);
    // With nothing registered the passes visit nothing.
    a.Stop();
    c.Stop();
    d.Stop();
    MoveEnemyBullets();
    EXPECT_TRUE(log.empty());
}

TEST_F(RenderRegistry, AFullRegistryRefusesTheShotWhichStaysIdleAndHarmless)
{
    std::vector<int> log;
    std::vector<CTestShot*> shots;
    for (int i = 0; i < 257; i++)
        shots.push_back(new CTestShot(&log, i));
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(shots[i]->Fire(), i);
    EXPECT_EQ(shots[256]->Fire(), -1);
    EXPECT_EQ(RegistryCount(), 256);
    EXPECT_TRUE(shots[256]->IsIdle());
    EXPECT_EQ(shots[256]->m_nIndex, -1);  // not in the hit registry either
    for (CTestShot* p : shots)
        delete p;
    EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(RenderRegistry, AShotFiredDuringTheMoveIsMovedInTheSamePassOnlyAboveTheCursor)
{
    std::vector<int> log;
    CTestShot s0(&log, 0), s1(&log, 1), s2(&log, 2), s3(&log, 3), s4(&log, 4);
    s0.Fire();
    s1.Fire();
    s2.Fire();
    s1.Stop();  // slot 1 free
    s2.m_pFireInMove = &s4;
    // Now slots 0 and 2 fly; s2 fires s4 into slot 1 during its move, and s0 nothing.
    MoveEnemyBullets();
    EXPECT_EQ(log, (std::vector<int>{0, 2}));
    EXPECT_EQ(s4.GetIndex(), 1);
    log.clear();
    s4.m_pFireInMove = &s3;  // from slot 1 into slot 3: ahead of the cursor
    MoveEnemyBullets();
    EXPECT_EQ(log, (std::vector<int>{0, 4, 2, 3}));
    EXPECT_EQ(s3.GetIndex(), 3);
}

TEST_F(RenderRegistry, AShotThatStopsItselfInItsMoveIsNotDrawnThatFrame)
{
    std::vector<int> log;
    CTestShot a(&log, 0), b(&log, 1);
    a.Fire();
    b.Fire();
    a.m_bStopInMove = true;
    MoveEnemyBullets();
    EXPECT_EQ(DrawEnemyBullets2D(nullptr), 1);
    EXPECT_EQ(a.m_nDraws, 0);
    EXPECT_EQ(b.m_nDraws, 1);
    EXPECT_EQ(DrawEnemyBullets3D(nullptr), 1);
}

TEST_F(RenderRegistry, BaseBoxesTruncateTowardZeroWithIntegerHalvesFirst)
{
    std::vector<int> log;
    CTestShot s(&log, 0);
    s.m_nWidth = 10;
    s.m_nHeight = 10;
    s.m_vPos = D3DVECTOR{{100.0f}, {-200.0f}, {0.0f}};
    D3DVECTOR q[4];
    s.GetQuad(q);
    EXPECT_EQ(q[0].x, 95.0f);
    EXPECT_EQ(q[0].y, 195.0f);
    EXPECT_EQ(q[2].x, 105.0f);
    EXPECT_EQ(q[2].y, 205.0f);
    s.GetHitQuad(q);
    EXPECT_EQ(q[0].x, 97.0f);   // 100 - 2.5
    EXPECT_EQ(q[0].y, 197.0f);
    EXPECT_EQ(q[1].x, 102.0f);  // 100 + 2.5
    EXPECT_EQ(q[2].y, 202.0f);
    // Odd sizes halve as integers; negative corners go toward zero, not down.
    s.m_nWidth = 11;
    s.m_vPos = D3DVECTOR{{1.5f}, {0.0f}, {0.0f}};
    s.GetQuad(q);
    EXPECT_EQ(q[0].x, -3.0f);  // 1.5 - 5 = -3.5
    EXPECT_EQ(q[1].x, 6.0f);   // 6.5
    CELLMASK mask, expected;
    s.GetRect(&mask);
    GetRectCellMask(&expected, RECT{-3, -5, 6, 5});
    EXPECT_EQ(mask.dwCols[0], expected.dwCols[0]);
    EXPECT_EQ(mask.dwRows[0], expected.dwRows[0]);
}

TEST_F(RenderRegistry, TwoFlyingShotsSwapTheirSlotsAndAreMovedInTheNewOrderAndAnIdleOneSwapsNothing)
{
    std::vector<int> log;
    CTestShot a(&log, 0), b(&log, 1), c(&log, 2);
    a.Fire();
    b.Fire();
    c.Fire();
    EXPECT_EQ(IEBulletRender::SwapRender(&a, &c), 1);
    EXPECT_EQ(a.GetIndex(), 2);
    EXPECT_EQ(c.GetIndex(), 0);
    MoveEnemyBullets();
    EXPECT_EQ(log, (std::vector<int>{2, 1, 0}));
    // Each still leaves its own slot.
    c.Stop();
    EXPECT_EQ(IEBulletRender::GetRegistry().Get(0), nullptr);
    EXPECT_EQ(IEBulletRender::SwapRender(&a, &c), 0);
    EXPECT_EQ(a.GetIndex(), 2);
    EXPECT_EQ(RegistryCount(), 2);
    a.Stop();
    b.Stop();
    EXPECT_EQ(RegistryCount(), 0);
}

} // namespace
