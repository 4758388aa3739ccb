// Formation kinds B, F and G tick by tick: where they halt, how long they wait (strictly more than
// the time on game timer 0), where their shots start, their hit boxes at given ticks, and when
// their labels end.
#include <algorithm>
#include <cmath>

#include "EnemyFixture.h"

namespace {

class Formation : public CEnemyTest {
protected:
    // Game timer 0 now.
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
};

// The hit box as the rules give it, from the centre (x, y), the size and the view offset.
RECT HitBoxOf(float x, float y, int w, int h, float vo)
{
    const float dx = x - (float)(w / 2), dy = y - (float)(h / 2) - 16.0f + vo;
    const int l = (int)(dx + (float)(w / 2) - (float)(w / 2)), t = (int)(dy + (float)(h / 2) - (float)(h / 2) + 16.0f);
    return RECT{l, t, l + w, t + h};
}

RECT QuadRect(CEnemyPart& part)
{
    RECT rc;
    return *part.GetHitRect(&rc);
}

} // namespace

TEST_F(Formation, B6HaltsAt480ThenRingAndCoreFireFromTheirOrbitAfterOneSecondAndLeaveAfterTwo)
{
    m_fViewOffset = 12.0f;
    CEnemyB* pKind = MakeKind<CEnemyB>(6);
    EXPECT_EQ(pKind->m_fRadius, 96.0f);
    CEnemyLabel* pLabel = Place(pKind, 4);
    pLabel->Spawn();
    CEnemyPartB* pParts = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B);
    for (int k = 0; k < 5; k++)
        EXPECT_FALSE(pParts[k].m_bDead) << k;
    EXPECT_EQ(pParts[4].m_nWidth, 48);
    EXPECT_EQ(pParts[4].m_nItemKind, 1);
    EXPECT_EQ(pParts[0].m_nItemKind, 0);

    // The brake as the rules give it: 740 + v, v from -7.5 by 0.1 up to 0.
    float x = 740.0f, v = -7.5f;
    int nHalt = 0;
    for (int n = 1; !nHalt; n++) {
        x += v;
        v = std::min(v + 0.1f, 0.0f);
        if (x < 480.0f)
            nHalt = n;
        ASSERT_LT(n, 200);
    }
    float a[4] = {0.0f, 1.57f, 2.0f * 1.57f, 3.0f * 1.57f};
    DWORD dwStop = 0;
    int nFire = 0, nLeave = 0;
    for (int n = 1; n < 400 && !nLeave; n++) {
        const DWORD dwBefore = Now();
        Step(pLabel);
        for (float& f : a)
            f += -0.05f;
        if (n < nHalt) {
            ASSERT_GT(pParts[4].m_vPos.x, 480.0f) << n;
        }
        if (n == nHalt) {
            ASSERT_EQ(pParts[4].m_vPos.x, 480.0f);
            ASSERT_EQ(pParts[4].m_nState, CEnemyPartB::STATE_STOP);
            dwStop = Now();
        }
        if (!nFire && pParts[0].m_bFired) {
            nFire = n;
            // Strictly more than 1000 ms, and not a tick later.
            EXPECT_GT(Now() - dwStop, 1000u);
            EXPECT_LE(dwBefore - dwStop, 1000u);
            for (int k = 0; k < 4; k++) {
                const float ox = 480.0f + std::cos(a[k]) * 96.0f, oy = 256.0f + std::sin(a[k]) * 96.0f;
                EXPECT_EQ(pParts[k].m_vOrbit.x, ox) << k;
                EXPECT_EQ(pParts[k].m_vOrbit.y, oy) << k;
                EXPECT_TRUE(pParts[k].m_bFired);
                EXPECT_EQ(pParts[k].m_Normal.m_vPrev.x, ox) << k;
                EXPECT_EQ(pParts[k].m_Normal.m_vPrev.y, -oy) << k;
                EXPECT_EQ(pParts[k].m_Normal.m_fAngle, std::atan2(-(420.0f + 12.0f - oy), 121.0f - ox)) << k;
                const RECT rc = HitBoxOf(ox, oy, 32, 32, 12.0f), got = QuadRect(pParts[k]);
                EXPECT_EQ(got.left, rc.left) << k;
                EXPECT_EQ(got.top, rc.top) << k;
                EXPECT_EQ(got.right, rc.right) << k;
                EXPECT_EQ(got.bottom, rc.bottom) << k;
            }
            EXPECT_TRUE(pParts[4].m_bFired);
            EXPECT_FALSE(pParts[4].m_Big.m_bIdle);
            EXPECT_EQ(pParts[4].m_Big.m_fAngle, std::atan2(-(432.0f - 256.0f), 121.0f - 480.0f));
            EXPECT_EQ(ShotCount(), 5);
        }
        if (!nLeave && pParts[4].m_nState == CEnemyPartB::STATE_LEAVE) {
            nLeave = n;
            EXPECT_GT(Now() - dwStop, 2000u);
            EXPECT_LE(dwBefore - dwStop, 2000u);
            // It starts from rest and flies on the way it went.
            EXPECT_EQ(pParts[4].m_vPos.x, 480.0f);
            Step(pLabel);
            EXPECT_EQ(pParts[4].m_vPos.x, 480.0f - 0.2f);
        }
    }
    EXPECT_GT(nFire, nHalt);
    EXPECT_GT(nLeave, nFire);
    EXPECT_LT(RunOut(pLabel, 400), 400);
    for (int k = 0; k < 5; k++)
        EXPECT_TRUE(pParts[k].m_bDead) << k;
}

TEST_F(Formation, B8EntersFromTheLeftMirroredAndHaltsExactlyOn161)
{
    CEnemyB* pKind = MakeKind<CEnemyB>(8);
    CEnemyLabel* pLabel = Place(pKind, 2);
    pLabel->Spawn();
    CEnemyPartB* pParts = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B);
    EXPECT_EQ(pParts[4].m_vPos.x, -100.0f);
    EXPECT_EQ(pParts[4].m_dwDrawFlags & 1u, 1u);
    float x = -100.0f, v = -7.5f;
    int n = 0;
    while (!(x > 161.0f)) {
        x -= v;
        v = std::min(v + 0.1f, 0.0f);
        n++;
    }
    Step(pLabel, n - 1);
    EXPECT_EQ(pParts[4].m_nState, CEnemyPartB::STATE_ENTER);
    EXPECT_LE(pParts[4].m_vPos.x, 161.0f);
    Step(pLabel);
    EXPECT_EQ(pParts[4].m_nState, CEnemyPartB::STATE_STOP);
    EXPECT_EQ(pParts[4].m_vPos.x, 161.0f);
    // It leaves at the far side, past 740.
    EXPECT_LT(RunOut(pLabel, 600), 600);
    EXPECT_GT(pParts[4].m_vPos.x, 740.0f);
}

TEST_F(Formation, B1FliesTwoRingUnitsRoundAnEmptyCentreAndEndsWhenAllFiveHavePassed)
{
    CEnemyB* pKind = MakeKind<CEnemyB>(1);
    EXPECT_EQ(pKind->m_fRadius, 48.0f);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartB* pParts = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B);
    int nRegistered = 0;
    for (int i = 0; i < CRUSHABLE_MAX; i++)
        nRegistered += CCrushableSet::GetAt(CRUSH_ENEMY_PART, i) != nullptr;
    EXPECT_EQ(nRegistered, 2);
    EXPECT_TRUE(pParts[0].m_bDead);
    EXPECT_FALSE(pParts[1].m_bDead);
    EXPECT_TRUE(pParts[2].m_bDead);
    EXPECT_FALSE(pParts[3].m_bDead);
    EXPECT_TRUE(pParts[4].m_bDead);
    const int nTicks = RunOut(pLabel, 1000);
    EXPECT_LT(nTicks, 1000);
    EXPECT_EQ(pParts[1].m_bFired, 1);
    EXPECT_EQ(pParts[0].m_bFired, 0);
    // Every unit, the unseen ones too, flew past -width.
    for (int k = 0; k < 5; k++)
        EXPECT_LT(pParts[k].m_vPos.x, -(float)pParts[k].m_nWidth) << k;
}

TEST_F(Formation, F0HaltsInItsFirstFrameAndDivesAtTheHeroineFromTheNext)
{
    CEnemyF* pKind = MakeKind<CEnemyF>(0);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartB& unit = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B)[4];
    ASSERT_EQ(unit.m_nWidth, 48);
    EXPECT_EQ(unit.m_vPos.x, 664.0f);
    Step(pLabel);
    EXPECT_EQ(unit.m_nState, CEnemyPartB::STATE_STOP);
    EXPECT_EQ(unit.m_vPos.x, 664.0f);
    const float y1 = 192.0f + std::sin(-3.14f) * -15.0f;
    EXPECT_EQ(unit.m_vPos.y, y1);
    Step(pLabel);
    EXPECT_EQ(unit.m_nState, CEnemyPartB::STATE_LEAVE);
    const float fAim = std::atan2(-(420.0f - y1), 121.0f - 664.0f);
    EXPECT_EQ(unit.m_Angle.fValue, fAim);
    Step(pLabel);
    EXPECT_EQ(unit.m_vPos.x, 664.0f - std::cos(fAim) * -0.6f);
    EXPECT_EQ(unit.m_vPos.y, y1 + std::sin(fAim) * -0.6f);
    EXPECT_EQ(ShotCount(), 0);
    EXPECT_LT(RunOut(pLabel, 400), 400);
    EXPECT_EQ(ShotCount(), 0);
}

TEST_F(Formation, F2AndF6HaltAtTheLineAndFireOnceStrictlyAfter250Ms)
{
    for (int nVariant : {2, 6}) {
        CEnemyF* pKind = MakeKind<CEnemyF>(nVariant);
        CEnemyLabel* pLabel = Place(pKind, 2);
        pLabel->Spawn();
        CEnemyPartB& unit = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B)[4];
        EXPECT_EQ(unit.m_nBlock, nVariant == 2 ? 1 : 3);
        DWORD dwStop = 0;
        int nFired = 0;
        for (int n = 1; n < 300 && !nFired; n++) {
            const DWORD dwBefore = Now();
            Step(pLabel);
            if (!dwStop && unit.m_nState == CEnemyPartB::STATE_STOP) {
                EXPECT_EQ(unit.m_vPos.x, 480.0f);
                dwStop = Now();
            }
            if (unit.m_bFired) {
                nFired = n;
                EXPECT_GT(Now() - dwStop, 250u);
                EXPECT_LE(dwBefore - dwStop, 250u);
            }
        }
        ASSERT_GT(nFired, 0) << nVariant;
        EXPECT_EQ(nVariant == 2 ? unit.m_Normal.m_bIdle : unit.m_Big.m_bIdle, 0) << nVariant;
        EXPECT_EQ(nVariant == 2 ? unit.m_Big.m_bIdle : unit.m_Normal.m_bIdle, 1) << nVariant;
        EXPECT_LT(RunOut(pLabel, 600), 600);
        Clean();
    }
}

TEST_F(Formation, G3DropsOneUnitAt272FromJustAboveTheScreenThatFallsFasterAndFaster)
{
    m_fViewOffset = 8.0f;
    CEnemyG* pKind = MakeKind<CEnemyG>(3);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartB* pParts = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B);
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(pParts[i].m_bDead, i != 2) << i;
    EXPECT_EQ(pParts[2].m_vPos.x, 272.0f);
    EXPECT_EQ(pParts[2].m_vPos.y, 16.0f - 16.0f - 8.0f);
    float y = -8.0f, x = 272.0f, v = 0.0f;
    for (int n = 1; n <= 30; n++) {
        Step(pLabel);
        x += std::cos(-1.57f) * v;
        y -= std::sin(-1.57f) * v;
        v = std::min(v + 0.2f, 100.0f);
        ASSERT_EQ(pParts[2].m_vPos.y, y) << n;
        ASSERT_EQ(pParts[2].m_vPos.x, x) << n;
    }
    const RECT rc = HitBoxOf(x, y, 32, 32, 8.0f), got = QuadRect(pParts[2]);
    EXPECT_EQ(got.left, rc.left);
    EXPECT_EQ(got.top, rc.top);
    EXPECT_EQ(got.bottom, rc.bottom);
    EXPECT_LT(RunOut(pLabel, 400), 400);
    EXPECT_GT(pParts[2].m_vPos.y, 512.0f);
    EXPECT_EQ(ShotCount(), 0);
}

TEST_F(Formation, G7CarrierShotDownBefore272DropsOnlyUnitsFiveFourAndThree)
{
    CEnemyG* pKind = MakeKind<CEnemyG>(7);
    CEnemyLabel* pLabel = Place(pKind, 2);
    pLabel->Spawn();
    CEnemyPartB* pParts = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B);
    CEnemyPartB& carrier = pParts[6];
    ASSERT_EQ(carrier.m_nWidth, 160);
    EXPECT_EQ(carrier.m_vPos.x, 720.0f);
    int nDropTick[6] = {};
    for (int n = 1; n <= 60; n++) {
        Step(pLabel);
        for (int i = 0; i < 6; i++) {
            if (pParts[i].m_bDropped && !nDropTick[i]) {
                nDropTick[i] = n;
                EXPECT_EQ(pParts[i].m_vPos.x, 80.0f + 96.0f * (float)i);
                EXPECT_EQ(pParts[i].m_vPos.y, 128.0f);
                EXPECT_EQ(pParts[i].m_dwDrawFlags & 1u, 0u);
            }
        }
    }
    // 720 - 7 n below 560, 464 and 368.
    EXPECT_EQ(nDropTick[5], 23);
    EXPECT_EQ(nDropTick[4], 37);
    EXPECT_EQ(nDropTick[3], 51);
    CTestGun gun(1000);
    EXPECT_EQ(carrier.HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(m_Player.m_nPoint, 10 * 12 + 500);
    Step(pLabel, 200);
    EXPECT_EQ(nDropTick[2] + nDropTick[1] + nDropTick[0], 0);
    EXPECT_FALSE(pParts[2].m_bDropped);
    EXPECT_TRUE(pLabel->IsFinished());
    EXPECT_EQ(ShotCount(), 0);
}

TEST_F(Formation, G0CutsDiagonallyDownLeftFromOffTheTopRightCorner)
{
    CEnemyG* pKind = MakeKind<CEnemyG>(0);
    CEnemyLabel* pLabel = Place(pKind, 5);
    pLabel->Spawn();
    CEnemyPartB& unit = pLabel->GetParts<CEnemyPartB>(ENEMY_FAMILY_B)[6];
    EXPECT_EQ(unit.m_vPos.x, 660.0f);
    EXPECT_EQ(unit.m_vPos.y, -20.0f);
    float x = 660.0f, y = -20.0f;
    int n = 0;
    while (!pLabel->IsFinished() && n < 500) {
        Step(pLabel);
        n++;
        x += std::cos(0.785f) * -3.0f;
        y -= std::sin(0.785f) * -3.0f;
        if (!unit.m_bDead) {
            ASSERT_EQ(unit.m_vPos.x, x) << n;
            ASSERT_EQ(unit.m_vPos.y, y) << n;
        }
    }
    EXPECT_LT(x, -80.0f);
    EXPECT_GE(x + std::cos(0.785f) * 3.0f, -80.0f);
}
