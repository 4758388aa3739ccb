// The boss explosion on the frame clock: the chain's shrinking intervals and their floor, the forty
// handles used in turn, the smoke that starts once the chain is fast and stops at the burst, the
// disc that grows for 200 ms and fades, and the end that counts from the first fading frame.
#include <cmath>
#include <vector>

#include "BulletFixture.h"
#include "bullet/ExpBoss.h"

namespace {

class ExpBossTest : public CBulletTest {
protected:
    void SetUp() override
    {
        CBulletTest::SetUp();
        m_Exp.Load(nullptr);
        m_Exp.SetPoint(kX, kY, 0.0f);
    }
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
    // Pool elements exploding at distance 40 from the point.
    static int CountAroundPoint()
    {
        int n = 0;
        CExpBombScroll* pPool = GetExpBombScrollPool();
        for (int i = 0; i < EXPBOMB_POOL_SIZE; i++) {
            const CExpBombScroll& e = pPool[i];
            if (e.m_bFinished)
                continue;
            const float d = std::sqrt((e.m_fX - kX) * (e.m_fX - kX) + (e.m_fY + kY) * (e.m_fY + kY));
            n += std::fabs(d - 40.0f) < 0.01f;
        }
        return n;
    }

    static constexpr float kX = 400.0f;
    static constexpr float kY = -250.0f;
    CExpBoss m_Exp;
};

} // namespace

TEST_F(ExpBossTest, TheChainComesFasterByFiveMillisecondsDownToFiftyAndUsesFortyHandlesInTurn)
{
    EXPECT_TRUE(m_Exp.IsFinished());
    m_Exp.Start();
    EXPECT_FALSE(m_Exp.IsFinished());
    EXPECT_EQ(m_Exp.m_nState, CExpBoss::STATE_CHAIN);
    DWORD dwLast = Now();
    int nSteps = 0;
    int nSmokeStep = 0;
    while (m_Exp.m_nState == CExpBoss::STATE_CHAIN) {
        const DWORD dwBefore = Now();
        const int nCount = m_Exp.m_nChainCount;
        Step();
        if (m_Exp.m_nChainCount == nCount) {
            ASSERT_LT(Now() - dwLast, 3100u);
            continue;
        }
        ASSERT_EQ(m_Exp.m_nChainCount, nCount + 1);
        nSteps++;
        const DWORD dwWait = nSteps <= 20 ? 150u - 5u * (DWORD)(nSteps - 1) : 50u;
        ASSERT_GT(Now() - dwLast, dwWait) << nSteps;
        ASSERT_LE(dwBefore - dwLast, dwWait) << nSteps;
        ASSERT_EQ(m_Exp.m_dwChainInterval, nSteps < 20 ? dwWait - 5u : 50u) << nSteps;
        ASSERT_EQ(m_Exp.m_nNextHandle, nSteps % EXPBOSS_HANDLES);
        if (nSteps == 1) {
            EXPECT_EQ(CountAroundPoint(), 1);
        }
        if (!nSmokeStep && !m_Exp.m_Smoke.m_bDisabled)
            nSmokeStep = nSteps;
        dwLast = Now();
    }
    // The first twenty take a little over two seconds, then the 50-ms beat (every fourth frame)
    // fills the rest of the three seconds.
    EXPECT_EQ(nSteps, 31);
    EXPECT_EQ(nSmokeStep, 11);
    EXPECT_EQ(m_Exp.m_dwNextInterval, 50u);
    // After the fortieth handle the first comes round again.
    m_Exp.m_nNextHandle = EXPBOSS_HANDLES - 1;
    const int nCount = m_Exp.m_nChainCount;
    while (m_Exp.m_nChainCount == nCount)
        Step();
    EXPECT_EQ(m_Exp.m_nNextHandle, 0);
}

TEST_F(ExpBossTest, AtThreeSecondsTheDiscGrowsForTwoHundredMillisecondsThenFadesAndTheEndCountsFromThere)
{
    m_Exp.Start();
    const DWORD dwStart = Now();
    DWORD dwBefore = Now();
    while (m_Exp.m_nState == CExpBoss::STATE_CHAIN) {
        dwBefore = Now();
        Step();
    }
    EXPECT_EQ(m_Exp.m_nState, CExpBoss::STATE_GROWING);
    EXPECT_GT(Now() - dwStart, 3000u);
    EXPECT_LE(dwBefore - dwStart, 3000u);
    EXPECT_EQ(m_Exp.m_Smoke.m_bEmitStopped, 1);
    EXPECT_FALSE(m_Exp.m_Effect.IsStopped());
    EXPECT_FALSE(m_Exp.IsFinished());
    EXPECT_EQ(m_Exp.m_Scale.fValue, 0.4f);
    const DWORD dwGrow = Now();
    float fScale = m_Exp.m_Scale.fValue;
    int nChains = m_Exp.m_nChainCount;
    while (m_Exp.m_nState == CExpBoss::STATE_GROWING) {
        dwBefore = Now();
        Step();
        // The radius grows 20 px an update, and the chain goes on.
        EXPECT_EQ(m_Exp.m_Scale.fValue, fScale + 2.0f);
        fScale = m_Exp.m_Scale.fValue;
    }
    EXPECT_GT(m_Exp.m_nChainCount, nChains);
    EXPECT_EQ(m_Exp.m_nState, CExpBoss::STATE_FADING);
    EXPECT_GT(Now() - dwGrow, 200u);
    EXPECT_LE(dwBefore - dwGrow, 200u);
    EXPECT_TRUE(m_Exp.IsFinished());
    EXPECT_GT(Now() - dwStart, 3200u);
    EXPECT_LT(Now() - dwStart, 3250u);
    nChains = m_Exp.m_nChainCount;
    // Fading: 0.08 darker an update, gone once below black.
    const DWORD kGreys[3] = {0xFFEAEAEAu, 0xFFD6D6D6u, 0xFFC1C1C1u};
    for (int i = 0; i < 3; i++) {
        Step();
        EXPECT_EQ(m_Exp.m_Disc[0].color, kGreys[i]) << i;
    }
    int nFade = 3;
    while (!m_Exp.m_bFinished && nFade < 100) {
        Step();
        nFade++;
    }
    EXPECT_EQ(nFade, 13);
    EXPECT_EQ(m_Exp.m_nChainCount, nChains);
    EXPECT_EQ(m_Exp.m_fBrightness, 0.0f);
    EXPECT_LT(m_Exp.m_nIndex, 0);
    EXPECT_TRUE(m_Exp.m_Smoke.m_bDisabled);
}

TEST_F(ExpBossTest, TheDiscIsACentreSixteenRimVerticesAndTheFirstAgainAndStopEndsEverything)
{
    m_Exp.Start();
    EXPECT_EQ(m_Exp.m_Disc[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(m_Exp.m_Disc[0].x, 0.0f);
    EXPECT_EQ(m_Exp.m_Disc[1].x, 10.0f);
    EXPECT_EQ(m_Exp.m_Disc[1].color, 0xFF000000u);
    EXPECT_NEAR(m_Exp.m_Disc[5].x, 10.0f * std::cos(4 * 0.3925f), 1e-5f);
    EXPECT_NEAR(m_Exp.m_Disc[5].y, 10.0f * std::sin(4 * 0.3925f), 1e-5f);
    EXPECT_EQ(m_Exp.m_Disc[17].x, m_Exp.m_Disc[1].x);
    EXPECT_EQ(m_Exp.m_Disc[17].y, m_Exp.m_Disc[1].y);
    EXPECT_GE(m_Exp.m_nIndex, 0);
    Step(60);
    m_Exp.Stop();
    EXPECT_TRUE(m_Exp.IsFinished());
    EXPECT_LT(m_Exp.m_nIndex, 0);
    EXPECT_TRUE(m_Exp.m_Smoke.m_bDisabled);
    const int n = m_Exp.m_nChainCount;
    m_Exp.Update();
    EXPECT_EQ(m_Exp.m_nChainCount, n);
    // A new start begins the chain over at its first interval.
    m_Exp.Start();
    EXPECT_EQ(m_Exp.m_dwChainInterval, 150u);
    EXPECT_EQ(m_Exp.m_nNextHandle, 0);
}

TEST_F(ExpBossTest, SmokePuffsLiveThreeToNineteenUpdatesFadeAndSlotsOutsideTheTableChangeNothing)
{
    CSmokeEx& smoke = m_Exp.m_Smoke;
    smoke.Start(10000);
    EXPECT_FALSE(smoke.m_bDisabled);
    smoke.Emit(-1);
    smoke.Emit(SMOKEEX_PUFFS);
    EXPECT_EQ(smoke.CountAlive(), 0);
    int nMin = 100, nMax = 0;
    for (int k = 0; k < 40; k++) {
        for (int i = 0; i < SMOKEEX_PUFFS; i++) {
            smoke.Emit(i);
            const SMOKEPUFF& p = smoke.m_Puffs[i];
            nMin = std::min(nMin, p.nLife);
            nMax = std::max(nMax, p.nLife);
            ASSERT_GE(p.fRed, 0.3f);
            ASSERT_LT(p.fRed, 0.8f);
            ASSERT_GE(p.fScale, 1.0f);
            ASSERT_LT(p.fScale, 1.3f);
            const float d = std::sqrt(p.x * p.x + p.y * p.y);
            ASSERT_GE(d, 19.99f);
            ASSERT_LT(d, 80.01f);
        }
    }
    EXPECT_EQ(nMin, 3);
    EXPECT_EQ(nMax, 19);
    smoke.Clear();
    smoke.Start(10000);
    smoke.Emit(0);
    SMOKEPUFF& p = smoke.m_Puffs[0];
    p.nLife = 5;
    const float fRed = p.fRed;
    smoke.StopEmit();
    Step();
    smoke.Update();
    EXPECT_EQ(p.nLife, 4);
    EXPECT_FLOAT_EQ(p.fRed, fRed - 0.01f);
    for (int i = 0; i < 4; i++)
        smoke.Update();
    EXPECT_EQ(smoke.CountAlive(), 0);
}

TEST_F(ExpBossTest, EmittingSmokeFillsUpToFiveDeadPuffsEveryTwentyMillisecondsUntilItsTimeIsUp)
{
    CSmokeEx& smoke = m_Exp.m_Smoke;
    smoke.Start(100);
    smoke.Update();
    EXPECT_EQ(smoke.CountAlive(), 0);
    Step();
    smoke.Update();
    EXPECT_EQ(smoke.CountAlive(), 0);
    Step();
    smoke.Update();
    EXPECT_EQ(smoke.CountAlive(), 5);
    for (int i = 0; i < 6; i++) {
        Step();
        smoke.Update();
    }
    EXPECT_EQ(smoke.m_bEmitStopped, 1);
    const int n = smoke.CountAlive();
    Step();
    smoke.Update();
    EXPECT_LE(smoke.CountAlive(), n);
}
