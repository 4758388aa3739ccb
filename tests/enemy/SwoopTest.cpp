// Kinds C and H tick by tick: the swoop that brakes, turns and fires on its way back out, and the
// braking unit that halts, waits, fires and dives; where they fire, at what angle, and when their
// labels end, whether they fly out or are shot down.
#include <algorithm>
#include <cmath>
#include <set>

#include "EnemyFixture.h"
#include "enemy/EnemyC.h"

namespace {

class Swoop : public CEnemyTest {
protected:
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
    // The aimed angle from (x, y) at the fixture's target.
    float Aim(float x, float y) const { return std::atan2(-(m_vTarget.y + m_fViewOffset - y), m_vTarget.x - x); }
};

} // namespace

TEST_F(Swoop, C1BrakesNearTheMiddleTurnsBackFiresOnceCrossing480AndLeavesRight)
{
    m_fViewOffset = 8.0f;
    CEnemyC* pKind = MakeKind<CEnemyC>(1);
    // The sheet's halves.
    EXPECT_EQ(pKind->m_nWidths[0], 48);
    EXPECT_EQ(pKind->m_nWidths[1], 48);
    EXPECT_EQ(pKind->m_nHeights[1], 40);
    EXPECT_EQ(pKind->m_Params[1].nLife, 6);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartC* pPart = pKind->GetUnit(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, 664.0f);
    EXPECT_EQ(pPart->m_vPos.y, 192.0f);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 0u);
    EXPECT_EQ(pPart->m_nLife, 6);
    EXPECT_EQ(pPart->m_nItemKind, 0);

    const float a = 0.22429906f, vy = a * 13.333333f;
    float x = 664.0f, y = 192.0f, v = -12.0f, fMin = x;
    int nFire = 0, nEnd = 0;
    std::set<int> frames;
    for (int n = 1; n < 400 && !nEnd; n++) {
        Step(pLabel);
        x += v;
        y += vy;
        v += a;
        fMin = std::min(fMin, x);
        frames.insert(pPart->m_nBlock);
        if (x > 688.0f && v > 0.0f) {
            nEnd = n;
            break;
        }
        ASSERT_EQ(pPart->m_vPos.x, x) << n;
        ASSERT_EQ(pPart->m_vPos.y, y) << n;
        if (!nFire && v > 0.0f && x > 480.0f) {
            nFire = n;
            ASSERT_TRUE(pPart->m_bFired);
            EXPECT_EQ(pPart->m_Normal.m_vPrev.x, x);
            EXPECT_EQ(pPart->m_Normal.m_vPrev.y, -y);
            EXPECT_EQ(pPart->m_Normal.m_fAngle, Aim(x, y));
            EXPECT_EQ(ShotCount(), 1);
        }
        ASSERT_EQ(pPart->m_bFired, nFire != 0) << n;
    }
    // It halts near 320 + width / 2 and both frames were shown.
    EXPECT_NEAR(fMin, 344.0f, 8.0f);
    EXPECT_EQ(frames.size(), 2u);
    // It fires on its 90th update and is past 688 on its 110th.
    EXPECT_EQ(nFire, 90);
    EXPECT_EQ(nEnd, 110);
    EXPECT_TRUE(pLabel->IsFinished());
    EXPECT_TRUE(pPart->m_bDead);
}

TEST_F(Swoop, C3EntersLeftAndTurnsBackOutLeftAndAShotDownCEndsAtOnceWithoutFiring)
{
    CEnemyC* pKind = MakeKind<CEnemyC>(3);
    CEnemyLabel* pLabel = Place(pKind, 5);
    pLabel->Spawn();
    CEnemyPartC* pPart = pKind->GetUnit(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, -24.0f);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 1u);
    Step(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, -24.0f + 12.0f);
    // Turned back it fires crossing 161 and leaves past -2 * width.
    const int n = RunOut(pLabel, 400);
    EXPECT_LT(n, 400);
    EXPECT_TRUE(pPart->m_bFired);
    EXPECT_LT(pPart->m_vPos.x, -96.0f);

    pLabel->Spawn();
    Step(pLabel, 20);
    CTestGun gun(6);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(RunOut(pLabel, 5), 1);
    Step(pLabel, 100);
    EXPECT_FALSE(pPart->m_bFired);
}

TEST_F(Swoop, H1BrakesToRestWaitsMoreThanHalfASecondFiresAimedThenBacksOffAndDives)
{
    m_fViewOffset = 4.0f;
    CEnemyH* pKind = MakeKind<CEnemyH>(1);
    CEnemyLabel* pLabel = Place(pKind, 4);
    pLabel->Spawn();
    CEnemyPartC* pPart = pKind->GetUnit(pLabel);
    const float w = (float)pKind->m_nWidths[0];
    EXPECT_EQ(pPart->m_vPos.x, (float)((int)w / 2 + 640));
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 0u);
    EXPECT_EQ(pPart->m_nLife, 5);

    float x = pPart->m_vPos.x, v = 12.0f;
    int nRest = 0;
    for (int n = 1; !nRest; n++) {
        Step(pLabel);
        x -= v;
        v = std::max(v - 0.22431f, 0.0f);
        ASSERT_EQ(pPart->m_vPos.x, x) << n;
        if (v == 0.0f)
            nRest = n;
        ASSERT_LT(n, 100);
    }
    const DWORD dwRest = Now();
    // 12 px per frame braked to rest: about 12 * 12 / 0.45 px in.
    EXPECT_NEAR(pPart->m_vPos.x, 666.0f - 12.0f * 12.0f / (2.0f * 0.22431f), 8.0f);
    int nFire = 0;
    for (int n = 1; n < 100 && !nFire; n++) {
        const DWORD dwBefore = Now();
        Step(pLabel);
        if (pPart->m_bFired) {
            nFire = n;
            EXPECT_GT(Now() - dwRest, 500u);
            EXPECT_LE(dwBefore - dwRest, 500u);
            EXPECT_EQ(pPart->m_Normal.m_vPrev.x, x);
            EXPECT_EQ(pPart->m_Normal.m_vPrev.y, -256.0f);
            EXPECT_EQ(pPart->m_Normal.m_fAngle, Aim(x, 256.0f));
        } else {
            ASSERT_EQ(pPart->m_vPos.x, x);
        }
    }
    ASSERT_GT(nFire, 0);
    // At rest on its 54th update; on the frame clock the shot follows on the 31st after that.
    EXPECT_EQ(nRest, 54);
    EXPECT_EQ(nFire, 31);
    // Backs off to the right at 10 px, facing right, sinking 2.5 px per frame.
    Step(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, x + 10.0f);
    EXPECT_EQ(pPart->m_vPos.y, 256.0f + 2.5f);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 1u);
    const int nEnd = RunOut(pLabel, 400);
    EXPECT_LT(nEnd, 400);
    EXPECT_EQ(nEnd, 94);
    EXPECT_LT(pPart->m_vPos.x, -2.0f * w);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 0u);
}

TEST_F(Swoop, H4ShotDownWhileWaitingNeverFiresFromItsWreck)
{
    CEnemyH* pKind = MakeKind<CEnemyH>(4);
    CEnemyLabel* pLabel = Place(pKind, 4);
    pLabel->Spawn();
    CEnemyPartC* pPart = pKind->GetUnit(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, -(float)(pKind->m_nWidths[0] / 2));
    Step(pLabel, 60);
    EXPECT_FALSE(pPart->m_bBusy);
    CTestGun gun(5);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(RunOut(pLabel, 5), 1);
    Step(pLabel, 60);
    EXPECT_FALSE(pPart->m_bFired);
    EXPECT_EQ(ShotCount(), 0);
}
