// Kind L tick by tick: it halts exactly on the firing line and charges, fires its laser along its
// row more than a second later, recoils, and backs away after 2.5 s; destroyed while charging, it
// never fires.
#include <algorithm>

#include "EnemyFixture.h"
#include "enemy/EnemyL.h"

namespace {

class Lancer : public CEnemyTest {
protected:
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
};

} // namespace

TEST_F(Lancer, L1HaltsOn480ChargesFiresItsLaserLeftAfterOneSecondRecoilsAndBacksAway)
{
    CEnemyL* pKind = MakeKind<CEnemyL>(1);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartL* pPart = pKind->GetUnitL(pLabel);
    const int w = pKind->m_nWidths[0];
    EXPECT_EQ(pPart->m_vPos.x, (float)(w / 2 + 640));
    EXPECT_EQ(pPart->m_Laser.m_fGrowth, 40.0f);
    EXPECT_EQ(pPart->m_Charge.m_dwDuration, 800u);
    int nHalt = 0;
    for (int n = 1; n < 200 && !nHalt; n++) {
        Step(pLabel);
        if (pPart->m_nState == CEnemyPartStation::STATE_STAY)
            nHalt = n;
    }
    EXPECT_EQ(nHalt, (w / 2 + 640 - 480) / 2 + 1);
    EXPECT_EQ(pPart->m_vPos.x, 480.0f);
    EXPECT_FALSE(pPart->m_Charge.m_bIdle);
    D3DVECTOR c;
    pPart->m_Charge.GetPosition(&c);
    EXPECT_EQ(c.x, 480.0f - 45.0f);
    EXPECT_EQ(c.y, 16.0f - 192.0f);
    EXPECT_TRUE(pPart->m_Laser.m_bIdle);
    const DWORD dwStop = Now();
    int nFire = 0, nLeave = 0;
    float fMax = 480.0f;
    for (int n = 1; n < 300 && !nLeave; n++) {
        const DWORD dwBefore = Now();
        Step(pLabel);
        fMax = std::max(fMax, pPart->m_vPos.x);
        if (!nFire && pPart->m_bLaserFired) {
            nFire = n;
            EXPECT_GT(Now() - dwStop, 1000u);
            EXPECT_LE(dwBefore - dwStop, 1000u);
            EXPECT_TRUE(pPart->m_Charge.m_bIdle);
            EXPECT_FALSE(pPart->m_Laser.m_bIdle);
            EXPECT_EQ(pPart->m_Laser.m_nDirection, -1);
            // The recoil's first push of 20 px, backwards.
            EXPECT_EQ(pPart->m_vPos.x, 500.0f);
        }
        if (!nFire)
            ASSERT_EQ(pPart->m_vPos.x, 480.0f) << n;
        EXPECT_EQ(pPart->m_Laser.m_vOrigin.x, pPart->m_vPos.x + 20.0f);
        EXPECT_EQ(pPart->m_Laser.m_vOrigin.y, 16.0f - pPart->m_vPos.y);
        if (pPart->m_nState == CEnemyPartStation::STATE_LEAVE) {
            nLeave = n;
            EXPECT_GT(Now() - dwStop, 2500u);
            EXPECT_LE(dwBefore - dwStop, 2500u);
        }
    }
    ASSERT_GT(nFire, 0);
    ASSERT_GT(nLeave, nFire);
    // On the frame clock: the laser on the 61st update after the halt, the leaving on the 151st.
    EXPECT_EQ(nFire, 61);
    EXPECT_EQ(nLeave, 151);
    // Slid back 20 + 18 + ... + 2 = 110 px, kicked forward 5 and came to rest.
    EXPECT_EQ(fMax, 590.0f);
    const float x = pPart->m_vPos.x;
    EXPECT_EQ(x, 585.0f);
    Step(pLabel, 2);
    EXPECT_GT(pPart->m_vPos.x, x);
    EXPECT_LT(pPart->m_vPos.y, 192.0f);
    EXPECT_LT(RunOut(pLabel, 300), 300);
    EXPECT_GT(pPart->m_vPos.x, 640.0f + (float)w);
}

TEST_F(Lancer, L3DestroyedWhileChargingNeverFiresItsLaser)
{
    CEnemyL* pKind = MakeKind<CEnemyL>(3);
    CEnemyLabel* pLabel = Place(pKind, 5);
    pLabel->Spawn();
    CEnemyPartL* pPart = pKind->GetUnitL(pLabel);
    while (pPart->m_nState != CEnemyPartStation::STATE_STAY)
        Step(pLabel);
    EXPECT_EQ(pPart->m_vPos.x, 161.0f);
    D3DVECTOR c;
    pPart->m_Charge.GetPosition(&c);
    EXPECT_EQ(c.x, 161.0f + 45.0f);
    Step(pLabel, 30);
    CTestGun gun(10);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(RunOut(pLabel, 3), 1);
    EXPECT_TRUE(pPart->m_Charge.m_bIdle);
    Step(pLabel, 120);
    EXPECT_FALSE(pPart->m_bLaserFired);
    EXPECT_TRUE(pPart->m_Laser.m_bIdle);
}

TEST_F(Lancer, L1ShotDownWhileItsLaserFiresTakesTheBeamAndTheChargeWithIt)
{
    CEnemyL* pKind = MakeKind<CEnemyL>(1);
    CEnemyLabel* pLabel = Place(pKind, 3);
    pLabel->Spawn();
    CEnemyPartL* pPart = pKind->GetUnitL(pLabel);
    for (int n = 0; n < 400 && !pPart->m_bLaserFired; n++)
        Step(pLabel);
    ASSERT_TRUE(pPart->m_bLaserFired);
    Step(pLabel, 5);
    ASSERT_FALSE(pPart->m_Laser.m_bIdle);
    // A charge of its own still glowing goes with it too.
    pPart->m_Charge.Fire();
    CTestGun gun(pPart->m_nLife);
    EXPECT_EQ(pPart->HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(RunOut(pLabel, 3), 1);
    EXPECT_TRUE(pPart->m_Laser.m_bIdle);
    EXPECT_TRUE(pPart->m_Charge.m_bIdle);
    EXPECT_EQ(ShotCount(), 0);
}
