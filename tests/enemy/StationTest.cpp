// Kinds M, N and P tick by tick: M halts on the firing line and fires exactly three volleys of four
// missiles a second apart, N three bursts of four shots of four big bullets, P crawls across and
// drops its power item when destroyed; and when each label ends.
#include <cmath>

#include "EnemyFixture.h"
#include "enemy/EnemyM.h"
#include "enemy/EnemyP.h"

namespace {

class Station : public CEnemyTest {
protected:
    static DWORD Now() { return CAppTimer::GetElapsed(0); }

    // Steps until the unit halts; the ticks taken.
    int RunToStay(CEnemyLabel* pLabel, CEnemyPartStation* pPart)
    {
        for (int n = 1; n < 400; n++) {
            Step(pLabel);
            if (pPart->m_nState == CEnemyPartStation::STATE_STAY)
                return n;
        }
        return 0;
    }
};

int CountLive(const CEBMissile* p, int n)
{
    int nLive = 0;
    for (int i = 0; i < n; i++)
        nLive += !p[i].m_bIdle;
    return nLive;
}

} // namespace

TEST_F(Station, M1HaltsOnTheLineFiresThreeVolleysOfFourASecondApartAndNeverAFourth)
{
    CEnemyM* pKind = MakeKind<CEnemyM>(1);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    auto* pPart = static_cast<CEnemyPartM*>(pKind->GetUnit(pLabel));
    const int w = pKind->m_nWidths[0];
    EXPECT_EQ(pPart->m_vPos.x, (float)(w / 2 + 640));
    EXPECT_EQ(pPart->m_nItemKind, 1);
    // 2 px per frame until past 480.
    const int nHalt = RunToStay(pLabel, pPart);
    EXPECT_EQ(nHalt, (w / 2 + 640 - 480) / 2 + 1);
    const float x = pPart->m_vPos.x, y = 192.0f;
    EXPECT_LT(x, 480.0f);
    EXPECT_EQ(pPart->m_vPos.y, y);
    const DWORD dwStop = Now();
    DWORD dwLast = dwStop;
    int nVolleys = 0, nLeave = 0;
    for (int n = 1; n < 400 && !nLeave; n++) {
        const DWORD dwBefore = Now();
        Step(pLabel);
        if (pPart->m_nState == CEnemyPartStation::STATE_LEAVE) {
            nLeave = n;
            EXPECT_EQ(n, 241);
            EXPECT_GT(Now() - dwStop, 4000u);
            EXPECT_LE(dwBefore - dwStop, 4000u);
            break;
        }
        ASSERT_EQ(pPart->m_vPos.x, x);
        if (pPart->m_nVolleys == nVolleys)
            continue;
        ASSERT_EQ(pPart->m_nVolleys, nVolleys + 1);
        // On the frame clock: the 61st, 122nd and 183rd update after the halt.
        EXPECT_EQ(n, 61 * (nVolleys + 1));
        EXPECT_GT(Now() - dwLast, 1000u);
        EXPECT_LE(dwBefore - dwLast, 1000u);
        dwLast = Now();
        const CEBMissile* pVolley = &pPart->m_Missiles[nVolleys * 4];
        EXPECT_EQ(CountLive(pVolley, 4), 4);
        const float fVy[4] = {5.5f, 2.2f, -5.5f, -2.2f};
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(pVolley[i].m_vPrev.x, x) << i;
            EXPECT_EQ(pVolley[i].m_vPrev.y, 16.0f - y) << i;
            EXPECT_EQ(pVolley[i].m_nFacing, 1);
            EXPECT_EQ(pVolley[i].m_Horz.fStart, 5.0f);
            EXPECT_EQ(pVolley[i].m_Vert.fStart, fVy[i]) << i;
        }
        nVolleys++;
    }
    EXPECT_EQ(nVolleys, 3);
    ASSERT_GT(nLeave, 0);
    // It backs out the way it came, climbing.
    Step(pLabel, 3);
    EXPECT_GT(pPart->m_vPos.x, x);
    EXPECT_LT(pPart->m_vPos.y, y);
    EXPECT_LT(RunOut(pLabel, 300), 300);
    EXPECT_GT(pPart->m_vPos.x, 640.0f + (float)w);
    EXPECT_EQ(pPart->m_nVolleys, 3);
}

TEST_F(Station, M4FiresMirroredMissilesFromTheLeftAndAShotDownMStopsFiringAtOnce)
{
    CEnemyM* pKind = MakeKind<CEnemyM>(4);
    CEnemyLabel* pLabel = Place(pKind, 2);
    pLabel->Spawn();
    auto* pPart = static_cast<CEnemyPartM*>(pKind->GetUnit(pLabel));
    EXPECT_EQ(pPart->m_vPos.x, -(float)(pKind->m_nWidths[0] / 2));
    ASSERT_GT(RunToStay(pLabel, pPart), 0);
    EXPECT_GT(pPart->m_vPos.x, 161.0f);
    while (pPart->m_nVolleys == 0)
        Step(pLabel);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(pPart->m_Missiles[i].m_nFacing, -1);
        EXPECT_EQ(pPart->m_Missiles[i].m_Horz.fStart, -5.0f);
        EXPECT_EQ(pPart->m_Missiles[i].m_Horz.fMax, 100.0f);
    }
    CTestGun gun(10);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(RunOut(pLabel, 3), 1);
    Step(pLabel, 200);
    EXPECT_EQ(pPart->m_nVolleys, 1);
}

TEST_F(Station, N1FiresThreeBurstsOfFourShotsOfFourBigBulletsFanningLeft)
{
    CEnemyN* pKind = MakeKind<CEnemyN>(1);
    CEnemyLabel* pLabel = Place(pKind, 4);
    pLabel->Spawn();
    auto* pPart = static_cast<CEnemyPartN*>(pKind->GetUnit(pLabel));
    const int w = pKind->m_nWidths[0];
    EXPECT_EQ(pPart->m_vPos.x, (float)(w / 2 + 640));
    EXPECT_EQ(pPart->m_vPos.y, 256.0f);
    EXPECT_EQ(RunToStay(pLabel, pPart), (w / 2 + 640 - 480) / 2 + 1);
    // Every bullet leaves from the halt, in y-up space with the view offset added, at the default
    // speed (its first move comes in the next update).
    const float x = pPart->m_vPos.x, y = 16.0f - pPart->m_vPos.y;
    const DWORD dwStop = Now();
    const float fFan[4] = {2.356194f, 2.879793f, -2.879793f, -2.356194f};
    BOOL bFired[CEnemyPartN::BULLETS] = {};
    int nFired = 0, nShots = 0;
    DWORD dwFirst = 0, dwShot = 0;
    int nTick = 0;
    while (pPart->m_nState == CEnemyPartStation::STATE_STAY) {
        Step(pLabel);
        nTick++;
        int nNew = 0;
        for (int i = 0; i < CEnemyPartN::BULLETS; i++) {
            if (bFired[i] || pPart->m_Bullets[i].m_bIdle)
                continue;
            bFired[i] = 1;
            nNew++;
            EXPECT_EQ(i, nFired + nNew - 1);
            const CEBBigBullet& bullet = pPart->m_Bullets[i];
            EXPECT_EQ(bullet.m_fAngle, fFan[i % 4]) << i;
            EXPECT_EQ(bullet.m_vPos.x, x) << i;
            EXPECT_EQ(bullet.m_vPos.y, y) << i;
            EXPECT_EQ(bullet.m_Speed.fValue, CEBBigBullet::GetDefaultSpeed()) << i;
        }
        if (!nNew)
            continue;
        ASSERT_EQ(nNew, 4);
        // On the frame clock: a burst every 65 updates from the 65th after the halt, its shots
        // every 4th update.
        EXPECT_EQ(nTick, 65 + 65 * (nShots / 4) + 4 * (nShots % 4)) << nShots;
        if (!dwFirst) {
            dwFirst = Now();
            EXPECT_GT(dwFirst - dwStop, 1000u + 50u);
        } else if (nShots % 4) {
            // Shots of a burst more than 50 ms apart, bursts more than 800 ms.
            EXPECT_GT(Now() - dwShot, 50u);
            EXPECT_LT(Now() - dwShot, 100u);
        } else {
            EXPECT_GT(Now() - dwShot, 800u);
        }
        dwShot = Now();
        nFired += nNew;
        nShots++;
    }
    EXPECT_EQ(nShots, 12);
    EXPECT_EQ(nFired, 48);
    EXPECT_EQ(pPart->m_nBurst, 3);
    EXPECT_EQ(pPart->m_vPos.x, x);
    EXPECT_LT(RunOut(pLabel, 300), 300);
    EXPECT_GT(pPart->m_vPos.x, 640.0f + (float)w);
}

TEST_F(Station, N2ShotDownBetweenItsBurstsEndsAtOnceAndFiresNoMore)
{
    CEnemyN* pKind = MakeKind<CEnemyN>(2);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    auto* pPart = static_cast<CEnemyPartN*>(pKind->GetUnit(pLabel));
    ASSERT_GT(RunToStay(pLabel, pPart), 0);
    while (pPart->m_nBurst == 0)
        Step(pLabel);
    EXPECT_EQ(pPart->m_nLife, 5);
    CTestGun gun(5);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    // Five points of life at ten each, and the kind's score.
    EXPECT_EQ(m_Stage.GetScore(), 50 + 160);
    EXPECT_EQ(RunOut(pLabel, 3), 1);
    Step(pLabel, 200);
    EXPECT_EQ(pPart->m_nBurst, 1);
    EXPECT_EQ(pPart->m_nShots, CEnemyPartN::SHOTS);
}

TEST_F(Station, P2CrawlsLeftAndDropsAPowerItemOfKindFourWhereItIsDestroyed)
{
    m_fViewOffset = 6.0f;
    CEnemyP* pKind = MakeKind<CEnemyP>(2);
    CEnemyLabel* pLabel = Place(pKind, 1);
    pLabel->Spawn();
    CEnemyPartP* pPart = pKind->GetUnit(pLabel);
    const int w = pKind->m_nWidths[1];
    EXPECT_EQ(pPart->m_nBlock, 1);
    EXPECT_EQ(pPart->m_nLife, 20);
    EXPECT_EQ(pPart->m_vPos.x, (float)(w / 2 + 640));
    Step(pLabel, 100);
    EXPECT_EQ(pPart->m_vPos.x, (float)(w / 2 + 640) - 150.0f);
    EXPECT_EQ(pPart->m_vPos.y, 64.0f);
    EXPECT_EQ(ShotCount(), 0);
    CTestGun gun(20);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(pPart->m_Power.GetKind(), 4);
    D3DVECTOR v;
    pPart->m_Power.GetPosition(&v);
    EXPECT_EQ(v.x, pPart->m_vPos.x);
    EXPECT_EQ(v.y, 64.0f + 6.0f);
    // No gun item came with it.
    EXPECT_EQ(pPart->m_Item.Get(), nullptr);
    EXPECT_EQ(RunOut(pLabel, 3), 1);
}

TEST_F(Station, P1CrawlsOffTheLeftEdgeAtOneAndAHalfPixelsAFrame)
{
    CEnemyP* pKind = MakeKind<CEnemyP>(1);
    CEnemyLabel* pLabel = Place(pKind, 1);
    pLabel->Spawn();
    CEnemyPartP* pPart = pKind->GetUnit(pLabel);
    const int w = pKind->m_nWidths[0];
    EXPECT_EQ(pPart->m_nBlock, 0);
    EXPECT_EQ(pPart->m_dwDrawFlags & 1u, 0u);
    // w / 2 + 640 - 1.5 n < -2 w first at this n.
    const int nEnd = (int)std::floor((float)(w / 2 + 640 + 2 * w) / 1.5f) + 1;
    EXPECT_EQ(RunOut(pLabel, 1000), nEnd);
}
