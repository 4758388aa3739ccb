// Kind A tick by tick: where it enters, its wave, the one shot at the firing line (strictly past
// x = 480 or x = 161), the shot's start and aim, and the tick it leaves.
#include <cmath>

#include "EnemyFixture.h"

namespace {

// The wave as the rules give it: move by the speed, then step it by 0.2 within +-2.5; at a limit
// the step turns round.
struct WAVE {
    float y, v = -2.5f, a = 0.2f;
    void Step(bool bUp)
    {
        y = bUp ? y - v : y + v;
        v += a;
        if (v > 2.5f) {
            v = 2.5f;
            a = -a;
        }
        if (v < -2.5f) {
            v = -2.5f;
            a = -a;
        }
    }
};

class EnemyA : public CEnemyTest {};

} // namespace

TEST_F(EnemyA, A1EntersRightWavesFiresOneAimedShotJustPast480AndLeavesBelowMinusTwiceItsWidth)
{
    CEnemyA* pKind = MakeKind<CEnemyA>(1);
    ASSERT_EQ(pKind->m_nWidths[0], 48);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartA* pPart = pKind->GetUsedPart(pLabel);
    ASSERT_EQ(pPart, &pLabel->GetParts<CEnemyPartA>(ENEMY_FAMILY_A)[0]);
    EXPECT_FALSE(pLabel->IsFinished());
    EXPECT_EQ(pPart->m_vPos.x, 664.0f);
    EXPECT_EQ(pPart->m_vPos.y, 192.0f);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 0u);  // faces left: the picture as drawn
    EXPECT_EQ(pPart->m_nLife, 3);
    EXPECT_EQ(pPart->m_nItemKind, 0);
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_ENEMY_PART, 0), pPart);

    WAVE wave{192.0f};
    for (int n = 1; n <= 36; n++) {
        Step(pLabel);
        wave.Step(false);
        ASSERT_EQ(pPart->m_vPos.x, 664.0f - 5.25f * (float)n) << n;
        ASSERT_EQ(pPart->m_vPos.y, wave.y) << n;
        // 664 - 5.25 * 35 = 480.25 is not past the line; 475 is.
        ASSERT_EQ(pPart->m_bFired, n == 36) << n;
    }
    ASSERT_EQ(ShotCount(), 1);
    const CEBNormal& shot = pPart->m_Normal;
    EXPECT_FALSE(shot.m_bIdle);
    // Fired from (475, y), y negated, and moved once by the shot pass of the same update.
    const float fAngle = std::atan2(-(420.0f - wave.y), 121.0f - 475.0f);
    EXPECT_EQ(shot.m_fAngle, fAngle);
    EXPECT_EQ(shot.m_vPrev.x, 475.0f);
    EXPECT_EQ(shot.m_vPrev.y, -wave.y);

    // 664 - 5.25 n < -96 first at n = 145.
    EXPECT_EQ(36 + RunOut(pLabel, 200), 145);
    EXPECT_TRUE(pPart->m_bDead);
    EXPECT_EQ(CCrushableSet::GetAt(CRUSH_ENEMY_PART, 0), nullptr);
    EXPECT_TRUE(pPart->m_Normal.m_bIdle || pPart->m_Normal.m_vPos.x < 690.0f);
}

TEST_F(EnemyA, A0CrossesWithoutFiringAndA7EntersLeftFiresOneBigBulletOnlyPast161)
{
    CEnemyA* pDrone = MakeKind<CEnemyA>(0);
    CEnemyLabel* pLabel = Place(pDrone, 2);
    pLabel->Spawn();
    const int nTicks = RunOut(pLabel, 400);
    // 40 px wide: 660 - 5.25 n < -80 first at n = 141.
    EXPECT_EQ(nTicks, 141);
    EXPECT_EQ(ShotCount(), 0);
    EXPECT_EQ(pLabel->GetParts<CEnemyPartA>(ENEMY_FAMILY_A)[0].m_nBlock, 2);

    m_fViewOffset = -32.0f;
    CEnemyA* pKind = MakeKind<CEnemyA>(7);
    CEnemyLabel* pRight = Place(pKind, 4);
    pRight->Spawn();
    CEnemyPartA* pPart = pKind->GetUsedPart(pRight);
    ASSERT_EQ(pPart, &pRight->GetParts<CEnemyPartA>(ENEMY_FAMILY_A)[1]);
    ASSERT_EQ(pPart->m_nWidth, 56);
    EXPECT_EQ(pPart->m_vPos.x, -28.0f);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 1u);  // faces right: the mirrored picture
    EXPECT_EQ(pPart->m_nItemKind, 1);
    EXPECT_EQ(pPart->m_Param.nBigDeath, 1);
    WAVE wave{256.0f};
    for (int n = 1; n <= 37; n++) {
        Step(pRight);
        wave.Step(false);  // 7 is not one of the rising variants
        ASSERT_EQ(pPart->m_vPos.y, wave.y) << n;
        // At n = 36 it stands on 161 exactly: not past.
        ASSERT_EQ(pPart->m_bFired, n == 37) << n;
    }
    EXPECT_EQ(pPart->m_vPos.x, 166.25f);
    ASSERT_FALSE(pPart->m_Big.m_bIdle);
    EXPECT_TRUE(pPart->m_Normal.m_bIdle);
    EXPECT_EQ(pPart->m_Big.m_fAngle, std::atan2(-(420.0f - 32.0f - wave.y), 121.0f - 166.25f));
    // -28 + 5.25 n > 696 first at n = 138.
    EXPECT_EQ(37 + RunOut(pRight, 200), 138);
}

TEST_F(EnemyA, APartShotDownBeforeTheLineNeverFiresAndARespawnStartsAfresh)
{
    CEnemyA* pKind = MakeKind<CEnemyA>(1);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartA* pPart = pKind->GetUsedPart(pLabel);
    Step(pLabel, 10);
    CTestGun gun(5);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_TRUE(pPart->m_bDead);
    EXPECT_EQ(RunOut(pLabel, 5), 1);
    Step(pLabel, 60);
    EXPECT_EQ(ShotCount(), 0);
    EXPECT_FALSE(pPart->m_bFired);

    pLabel->Spawn();
    EXPECT_FALSE(pLabel->IsFinished());
    EXPECT_EQ(pPart->m_vPos.x, 664.0f);
    EXPECT_EQ(pPart->m_nLife, 3);
    EXPECT_FALSE(pPart->m_bDead);
    Step(pLabel, 36);
    EXPECT_TRUE(pPart->m_bFired);
}
