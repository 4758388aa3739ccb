// Kind J tick by tick: it slides away from the screen's middle while it drops (or climbs) into its
// row, reaching the row as the slide ends; the heavy variants fire four fast shots 50 ms apart
// from 501 ms after arriving; then it leaves across the screen.
#include <cmath>

#include "EnemyFixture.h"
#include "enemy/EnemyJ.h"

namespace {

class Hover : public CEnemyTest {
protected:
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
};

} // namespace

TEST_F(Hover, J5DropsIntoItsRowAtRestNearTheRightEdgeFiresFourShotsFiftyMsApartAndLeavesLeft)
{
    // With the camera offset its shots still go straight at her.
    m_fViewOffset = 16.0f;
    CEnemyJ* pKind = MakeKind<CEnemyJ>(5);
    CEnemyLabel* pLabel = Place(pKind, 4);
    pLabel->Spawn();
    CEnemyPartJ* pPart = pKind->GetUnit(pLabel);
    EXPECT_EQ(pPart, pLabel->GetParts<CEnemyPartJ>(ENEMY_FAMILY_J) + 1);
    const int w = pKind->m_nWidths[1], h = pKind->m_nHeights[1];
    EXPECT_EQ(pPart->m_nBlock, 1);
    EXPECT_EQ(pPart->m_nItemKind, 1);
    EXPECT_EQ(pPart->m_vPos.x, 480.0f);
    EXPECT_EQ(pPart->m_vPos.y, -(float)(h / 2));
    const float t = (float)(160 - w / 2);
    const float d = 256.0f - pPart->m_vPos.y;
    EXPECT_EQ(pPart->m_Y.fValue, 4.0f * d / t);
    int nArrive = 0;
    for (int n = 1; n < 200 && !nArrive; n++) {
        Step(pLabel);
        if (pPart->m_nState == CEnemyPartJ::STATE_HOVER)
            nArrive = n;
        else
            ASSERT_LT(pPart->m_vPos.y, 256.0f + 4.0f * d / t) << n;
    }
    ASSERT_GT(nArrive, 0);
    EXPECT_EQ(nArrive, 34);
    // The slide of t px takes about t / 4 frames, and ends at 640 - width / 2.
    EXPECT_NEAR((float)nArrive, t / 4.0f, 2.0f);
    EXPECT_NEAR(pPart->m_vPos.x, 640.0f - (float)(w / 2), 6.0f);
    EXPECT_EQ(pPart->m_vPos.y, 256.0f);
    const float x = pPart->m_vPos.x;
    const DWORD dwArrive = Now();
    DWORD dwShots[4] = {};
    DWORD dwLast = dwArrive;
    int nLeave = 0;
    for (int n = 1; n < 200 && !nLeave; n++) {
        const int nBefore = pPart->m_nShots;
        const DWORD dwBefore = Now();
        Step(pLabel);
        if (pPart->m_nShots != nBefore) {
            ASSERT_EQ(pPart->m_nShots, nBefore + 1);
            dwShots[nBefore] = Now();
            // On the frame clock: the 31st update after arriving, then every 4th.
            EXPECT_EQ(n, 31 + 4 * nBefore);
            EXPECT_GT(Now() - dwArrive, 500u);
            EXPECT_GT(Now() - dwLast, 50u);
            // Not a tick later than the rules allow.
            EXPECT_TRUE(dwBefore - dwArrive <= 500u || dwBefore - dwLast <= 50u) << nBefore;
            dwLast = Now();
            const CEBHiSpeed& shot = pPart->m_HiSpeed[nBefore];
            EXPECT_EQ(shot.m_vShotPos.x, x);
            EXPECT_EQ(shot.m_vShotPos.y, -(16.0f + 256.0f));
            EXPECT_EQ(shot.m_fAngle, std::atan2(-(420.0f - 256.0f), 121.0f - x));
        }
        if (pPart->m_nState == CEnemyPartJ::STATE_LEAVE) {
            nLeave = n;
            EXPECT_GT(Now() - dwArrive, 1500u);
            EXPECT_LE(dwBefore - dwArrive, 1500u);
        }
    }
    EXPECT_EQ(pPart->m_nShots, 4);
    EXPECT_GT(dwShots[3], dwShots[2]);
    ASSERT_GT(nLeave, 0);
    EXPECT_EQ(nLeave, 91);
    EXPECT_LT(RunOut(pLabel, 300), 300);
    EXPECT_LT(pPart->m_vPos.x, -2.0f * (float)w);
    EXPECT_EQ(pPart->m_nShots, 4);
}

TEST_F(Hover, J4ClimbsFromBelowSlidesLeftNeverFiresAndAShotDownUnitEndsTheLabel)
{
    m_fViewOffset = 10.0f;
    CEnemyJ* pKind = MakeKind<CEnemyJ>(4);
    CEnemyLabel* pLabel = Place(pKind, 2);
    pLabel->Spawn();
    CEnemyPartJ* pPart = pKind->GetUnit(pLabel);
    EXPECT_EQ(pPart, pLabel->GetParts<CEnemyPartJ>(ENEMY_FAMILY_J));
    const int w = pKind->m_nWidths[0], h = pKind->m_nHeights[0];
    EXPECT_EQ(pPart->m_vPos.x, 161.0f);
    EXPECT_EQ(pPart->m_vPos.y, 16.0f - 10.0f + (float)(h / 2) + 480.0f);
    Step(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, 161.0f - 8.0f);
    while (pPart->m_nState == CEnemyPartJ::STATE_ENTER)
        Step(pLabel);
    EXPECT_EQ(pPart->m_vPos.y, 128.0f);
    EXPECT_NEAR(pPart->m_vPos.x, (float)(w / 2), 4.0f);
    // It leaves to the right, past 640 + width, without a shot.
    EXPECT_LT(RunOut(pLabel, 300), 300);
    EXPECT_GT(pPart->m_vPos.x, 640.0f + (float)w);
    EXPECT_EQ(ShotCount(), 0);

    pLabel->Spawn();
    Step(pLabel, 5);
    CTestGun gun(6);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(RunOut(pLabel, 3), 1);
}
