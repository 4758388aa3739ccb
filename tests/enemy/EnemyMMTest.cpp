// The first boss on the frame clock: one full attack cycle of each phase with the tick and place of
// every weapon order (mines, hi-speed volleys, the vulcan, the hammer's hold, swing and throw), the
// straight or aimed volleys, the x = 500 floor of the volleys, the wider picture while the hammer
// head is out, and the hammer's burst at the boss's death.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "EnemyFixture.h"
#include "enemy/EnemyMM.h"

namespace {

struct MMEVENT {
    int nUpdate;  // updates since the phase began
    int nTick;    // the body's tick counter when it was given
    std::string what;
    int i;
    float x, y;   // where the weapon was sent from (y up, as weapons keep it)
};

std::vector<MMEVENT>* g_pEvents = nullptr;
int g_nUpdate = 0;

class CLoggedBodyMM : public CEnemyPartMM {
public:
    void LaunchMine(int i) override
    {
        CEnemyPartMM::LaunchMine(i);
        Note("mine", i, m_vPos.x, -m_vPos.y);
    }
    void FireHiSpeed(int i, CEnemyLabel* pLabel) override
    {
        CEnemyPartMM::FireHiSpeed(i, pLabel);
        Note("shot", i, m_HiSpeed[i].m_vShotPos.x, m_HiSpeed[i].m_vShotPos.y);
    }
    void FireVulcan() override
    {
        CEnemyPartMM::FireVulcan();
        Note("vulcan", 0, m_Vulcan.m_vMuzzle.x, m_Vulcan.m_vMuzzle.y);
    }
    void Note(const char* pszWhat, int i, float x, float y)
    {
        if (g_pEvents)
            g_pEvents->push_back(MMEVENT{g_nUpdate, m_nTick, pszWhat, i, x, y});
    }
};

class CLoggedMM : public CEnemyMM {
public:
    int CreateBody(CEnemyLabel* pLabel) override { return pLabel->MakeParts<CLoggedBodyMM>(ENEMY_FAMILY_MM, 1); }
};

class EnemyMM : public CEnemyTest {
protected:
    void SetUp() override
    {
        CEnemyTest::SetUp();
        g_pEvents = &m_Events;
        g_nUpdate = 0;
        WriteParams("#ENEMY_M.Zorva 300, 0, 0, 5000, 1\r\n#BOSS_HRR_MM 0.6, 0.7\r\n");
        m_pKind = new CLoggedMM;
        m_Kinds.emplace_back(m_pKind);
        ASSERT_EQ(m_pKind->Load(g_lpD3DDevice, ENEMY_TEST_FOLDER), 1);
        // Her row keeps the steering at rest: 245 + 16 - 5 is the body's own 256.
        m_vTarget = D3DVECTOR{{100.0f}, {245.0f}, {0.0f}};
        m_pLabel = Place(m_pKind, 4);
        m_pBody = static_cast<CLoggedBodyMM*>(m_pKind->GetBody(m_pLabel));
        ASSERT_NE(m_pBody, nullptr);
        m_pLabel->Spawn();
    }
    void TearDown() override
    {
        g_pEvents = nullptr;
        CEnemyTest::TearDown();
        std::remove("Param.txt");
    }
    static void WriteParams(const char* pszText)
    {
        std::ofstream("Param.txt", std::ios::binary) << pszText;
        ClearParams();
        ASSERT_EQ(LoadParamFile("Param.txt"), 1);
    }
    void Frame(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            g_nUpdate++;
            Step(m_pLabel);
        }
    }
    // Runs until the tick counter is set back at the end of the phase's cycle; the updates taken.
    int RunCycle()
    {
        int nPrev = m_pBody->m_nTick;
        for (int n = 1; n <= 1000; n++) {
            Frame();
            if (m_pBody->m_nTick != nPrev + 1)
                return n;
            nPrev = m_pBody->m_nTick;
        }
        return -1;
    }
    // Worn below the threshold, runs out the cycle, the exit and the re-entry into the next phase.
    void EnterPhase(int nState, int nLife)
    {
        m_pBody->m_nLife = nLife;
        ASSERT_GT(RunCycle(), 0);
        ASSERT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
        for (int n = 0; n < 1000 && m_pBody->m_nState == CEnemyPartBoss::STATE_EXIT; n++)
            Frame();
        ASSERT_EQ(m_pBody->m_nState, nState);
        EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
        m_Events.clear();
        g_nUpdate = 0;
    }
    std::vector<MMEVENT> EventsOf(const std::string& what) const
    {
        std::vector<MMEVENT> out;
        for (const MMEVENT& e : m_Events)
            if (e.what == what)
                out.push_back(e);
        return out;
    }

    std::vector<MMEVENT> m_Events;
    CLoggedMM* m_pKind = nullptr;
    CEnemyLabel* m_pLabel = nullptr;
    CLoggedBodyMM* m_pBody = nullptr;
};

} // namespace

TEST_F(EnemyMM, ItLoadsItsFourPosesItsOwnPictureAndItsWeaponsFromTheIndex)
{
    EXPECT_EQ(m_pKind->m_nWidths[0], 208);
    EXPECT_EQ(m_pKind->m_nWidths[2], 208);
    // The thrown pose is the wider one.
    EXPECT_GT(m_pKind->m_nWidths[3], m_pKind->m_nWidths[2]);
    EXPECT_NE(m_pBody->m_OwnImage.GetSurface(), nullptr);
    EXPECT_EQ(m_pBody->m_fScaleX, 0.6f);
    EXPECT_EQ(m_pBody->m_Mines[7].m_nWidth, 32);
    EXPECT_EQ(m_pBody->m_Hammer.m_nWidth, 48);
    EXPECT_EQ(m_pBody->m_Hammer.m_SwingPreset.fMax, 1.2f);
    EXPECT_EQ(m_pBody->m_Hammer.m_fThrowSpeed, 40.0f);
    EXPECT_EQ(m_pBody->m_nLevel, 0);
    EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
    EXPECT_EQ(m_pBody->m_vPos.y, 256.0f);
}

TEST_F(EnemyMM, PhaseZeroGlidesInAndLaysFourMinesACycleTowardsFiveFourThreeAndTwoHundred)
{
    // The first pass: the glide from 940 comes to rest at 487.5 by tick 180.
    Frame();
    EXPECT_EQ(m_pBody->m_vPos.y, 192.0f);
    EXPECT_EQ(m_pBody->m_nImage, 1);
    const int nFirst = RunCycle() + 1;
    EXPECT_EQ(nFirst, 300);
    // And one full cycle (ticks 171 to 300) after it.
    EXPECT_EQ(RunCycle(), 130);
    const int kUpdates[8] = {180, 210, 240, 270, 310, 340, 370, 400};
        // Rows from the bob's rule worked out apart in single precision: from 192, once the glide has
    // come to rest, it rises at 1.5 per tick slowing by 1/54, and turns at each limit.
    const float kRows[8] = {192.0f, 155.6111f, 135.8889f, 132.8334f, 154.6853f, 190.5187f, 227.9816f, 248.8149f};
    std::vector<MMEVENT> mines = EventsOf("mine");
    ASSERT_EQ(mines.size(), 8u);
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(mines[k].nUpdate, kUpdates[k]) << k;
        EXPECT_EQ(mines[k].i, k % 4) << k;
        EXPECT_NEAR(mines[k].x, 487.4986f, 0.0001f) << k;
        EXPECT_NEAR(-mines[k].y, kRows[k], 0.0001f) << k;
    }
    // Each took the first idle mine: the first two of the cycle before had sunk out of sight by
    // the third and fourth launch of this one.
    const float kSlots[MM_MINES] = {300.0f, 200.0f, 300.0f, 200.0f, 500.0f, 400.0f, 0.0f, 0.0f};
    for (int k = 0; k < MM_MINES; k++)
        EXPECT_EQ(m_pBody->m_Mines[k].m_fTargetX, kSlots[k]) << k;
    EXPECT_TRUE(EventsOf("shot").empty());
    EXPECT_EQ(m_pBody->m_nState, 0);
}

TEST_F(EnemyMM, TwoThirdsOfItsLifeLeftKeepItInPhaseZeroAndOneLessSendsItOutAndBackForPhaseOne)
{
    m_pBody->m_nLife = 200;
    EXPECT_EQ(RunCycle(), 300);
    EXPECT_EQ(m_pBody->m_nState, 0);
    m_pBody->m_nLife = 199;
    EXPECT_EQ(RunCycle(), 130);
    EXPECT_EQ(m_pBody->m_nState, CEnemyPartBoss::STATE_EXIT);
    EXPECT_EQ(m_pBody->m_nNextState, 1);
    // The mines in flight are not called back by the exit.
    int nFlying = 0;
    for (const CEBMine& mine : m_pBody->m_Mines)
        nFlying += !mine.m_bIdle;
    EXPECT_GT(nFlying, 0);
}

TEST_F(EnemyMM, PhaseOneFiresTwoStraightVolleysOfFourAndTheVulcanAndNeverStandsLeftOfFiveHundred)
{
    EnterPhase(1, 199);
    EXPECT_EQ(RunCycle(), 410);
    EXPECT_EQ(RunCycle(), 300);
    const int kShotUpdates[8] = {180, 186, 192, 198, 250, 256, 262, 268};
    std::vector<MMEVENT> shots = EventsOf("shot");
    ASSERT_EQ(shots.size(), 16u);
    for (int k = 0; k < 16; k++) {
        const int nCycle = k / 8, j = k % 8;
        EXPECT_EQ(shots[k].nUpdate, kShotUpdates[j] + (nCycle ? 300 : 0)) << k;
        EXPECT_EQ(shots[k].nTick, kShotUpdates[j]) << k;
        EXPECT_EQ(shots[k].i, j % 4) << k;
        // From the gun at (x - 30, y - 70), straight to the left.
        EXPECT_EQ(shots[k].x, 470.0f) << k;
        EXPECT_EQ(shots[k].y, -186.0f) << k;
        EXPECT_EQ(m_pBody->m_HiSpeed[j % 4].m_fAngle, 3.14f) << k;
    }
    std::vector<MMEVENT> vulcans = EventsOf("vulcan");
    ASSERT_EQ(vulcans.size(), 2u);
    EXPECT_EQ(vulcans[0].nUpdate, 310);
    EXPECT_EQ(vulcans[1].nUpdate, 610);
    for (const MMEVENT& e : vulcans) {
        EXPECT_EQ(e.x, 350.0f);
        EXPECT_EQ(e.y, -236.0f);
    }
    EXPECT_EQ(m_pBody->m_Vulcan.m_fAngle, 3.14f);
    EXPECT_EQ(m_pBody->m_nImage, 0);
}

TEST_F(EnemyMM, TheVulcansRecoilKicksItRightAndItDriftsBackOnlyAsFarAsFiveHundred)
{
    EnterPhase(1, 199);
    Frame(310);
    EXPECT_EQ(m_pBody->m_vPos.x, 500.0f);
    float fFarthest = 500.0f;
    for (int n = 0; n < 99; n++) {
        Frame();
        fFarthest = std::max(fFarthest, m_pBody->m_vPos.x);
        ASSERT_GE(m_pBody->m_vPos.x, 500.0f) << n;
    }
    // The kick: 20 falling by 2 a step, stepped twice a tick.
    EXPECT_GT(fFarthest, 540.0f);
    EXPECT_EQ(m_pBody->m_vPos.x, 500.0f);
    EXPECT_EQ(m_pKind->m_Recoil.pAcc, nullptr);
}

TEST_F(EnemyMM, AtTheNextLevelTheVolleysAimAtHer)
{
    WriteParams("#ENEMY_M.Zorva 300, 0, 0, 5000, 1\r\n#BOSS_LEVEL_MM 1\r\n");
    CLoggedMM* pKind = new CLoggedMM;
    m_Kinds.emplace_back(pKind);
    ASSERT_EQ(pKind->Load(g_lpD3DDevice, ENEMY_TEST_FOLDER), 1);
    m_pLabel->Stop();
    m_pLabel = Place(pKind, 4);
    m_pKind = pKind;
    m_pBody = static_cast<CLoggedBodyMM*>(pKind->GetBody(m_pLabel));
    m_pLabel->Spawn();
    EXPECT_EQ(m_pBody->m_nLevel, 1);
    EnterPhase(1, 199);
    Frame(180);
    ASSERT_EQ(EventsOf("shot").size(), 1u);
    EXPECT_FLOAT_EQ(m_pBody->m_HiSpeed[0].m_fAngle, std::atan2(-(245.0f - 186.0f), 100.0f - 470.0f));
}

TEST_F(EnemyMM, PhaseTwoHoldsSwingsAndThrowsTheHammerAndWidensOnlyWhileTheHeadIsOut)
{
    EnterPhase(1, 199);
    EnterPhase(2, 99);
    // What the hammer is doing after each update of the first pass and one full cycle.
    std::vector<std::pair<int, int>> changes;
    int nState = -1, nWide = 0, nWideBack = 0;
    float fRemembered = 0.0f;
    for (int n = 1; n <= 370 + 260; n++) {
        Frame();
        const int s = m_pBody->m_Hammer.IsIdle() ? -1 : m_pBody->m_Hammer.GetState();
        if (s != nState)
            changes.emplace_back(n, s);
        nState = s;
        if (m_pBody->m_nTick == 270)
            fRemembered = m_pBody->m_fRememberedX;
        if (s == CEBHammer::STATE_THROWN) {
            nWide++;
            ASSERT_EQ(m_pBody->m_nImage, 3) << n;
            // The left edge stays where the narrower picture had it.
            ASSERT_EQ(m_pBody->m_vPos.x - (float)(m_pBody->m_nWidth / 2), fRemembered - 104.0f) << n;
        } else if (m_pBody->m_nTick > 1) {
            nWideBack += m_pBody->m_nImage != 2;
        }
    }
    const std::vector<std::pair<int, int>> kExpected = {
        {1, CEBHammer::STATE_HELD},   {130, CEBHammer::STATE_SWING}, {270, CEBHammer::STATE_THROWN},
        {321, CEBHammer::STATE_HELD}, {390, CEBHammer::STATE_SWING}, {530, CEBHammer::STATE_THROWN},
        {581, CEBHammer::STATE_HELD},
    };
    EXPECT_EQ(changes, kExpected);
    // The head moves before the body: on the update it comes home the narrow picture is back.
    EXPECT_EQ(nWideBack, 0);
    EXPECT_GT(nWide, 0);
    EXPECT_EQ(m_pBody->m_nState, 2);
}

TEST_F(EnemyMM, ItsDeathBurstsTheHammerBeforeTheBattleEnds)
{
    CStubPlayer heroine;
    CStage stage(heroine);
    EnterPhase(1, 199);
    EnterPhase(2, 99);
    Frame(200);
    ASSERT_EQ(m_pBody->m_Hammer.GetState(), CEBHammer::STATE_SWING);
    m_pBody->m_nLife = 3;
    CTestGun gun(5);
    CCrushable* pBody = m_pBody;
    EXPECT_EQ(pBody->HitByPlayerBullet(&stage, &gun), 1);
    EXPECT_EQ(m_pBody->m_Hammer.GetState(), CEBHammer::STATE_EXPLODED);
    EXPECT_TRUE(m_pBody->m_Hammer.IsIdle());
    EXPECT_NE(m_pBody->m_Hammer.m_Explosion.m_pElement, nullptr);
    EXPECT_EQ(heroine.m_nPoint, 30 + 5000);
}
