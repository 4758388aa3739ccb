#include <cmath>
#include <vector>

#include "BulletFixture.h"
#include "bullet/ExpDamage.h"
#include "bullet/ExpPlayer.h"
#include "bullet/ExpStarCir.h"
#include "engine/Param.h"
#include "platform/win/Win.h"
#include "support/TempFolder.h"

namespace {

class HitEffects : public CBulletTest {
protected:
    void SetUp() override
    {
        CBulletTest::SetUp();
        ClearParams();
    }
    void TearDown() override
    {
        ClearParams();
        CBulletTest::TearDown();
    }
    static void SetParamFile(const std::string& text)
    {
        CTempFolder::Put("GameData/System/Param.txt", text);
        ClearParams();
    }
    CTempFolder m_Dir;
};

TEST_F(HitEffects, StarsGoOutEightEightThenAfterAPauseEightAndAfterAnotherTheLast)
{
    CExpDamage stars;
    stars.SetOrigin(300.0f, -200.0f, 0.0f);
    stars.Start();
    std::vector<int> released;  // stars released by each update
    std::vector<int> states;
    for (int t = 1; t <= 16; t++) {
        Step();
        stars.Update();
        released.push_back(std::min(stars.m_nNextStar, EXPDAMAGE_STARS));
        states.push_back(stars.m_nState);
    }
    EXPECT_EQ(released, (std::vector<int>{8, 16, 16, 16, 16, 16, 16, 24, 24, 24, 24, 24, 24, 24, 25, 25}));
    // The pause after the second burst ends on the fifth update (83 ms > 80 ms).
    EXPECT_EQ(states[1], CExpDamage::STATE_PAUSE);
    EXPECT_EQ(states[6], CExpDamage::STATE_SECOND);
    EXPECT_EQ(states[14], CExpDamage::STATE_DONE);
    for (const DAMAGESTAR& s : stars.m_Stars) {
        EXPECT_GE(s.nStartLife, 8);
        EXPECT_LE(s.nStartLife, 17);
        EXPECT_GE(s.nKind, 0);
        EXPECT_LT(s.nKind, 10);
    }
    // The last star flies 15 px to the left each update from near the origin.
    const DAMAGESTAR& last = stars.m_Stars[24];
    EXPECT_NEAR(last.x, 300.0f - 2.0f * 15.0f, 40.0f);
    const float x = last.x;
    Step();
    stars.Update();
    if (!last.bWaiting) {
        EXPECT_EQ(last.x, x - 15.0f);
    }
    // It ends when the last star has died: within 17 updates of its release.
    int n = 0;
    while (!stars.IsStopped() && n < 40) {
        Step();
        stars.Update();
        n++;
    }
    EXPECT_TRUE(stars.IsStopped());
    EXPECT_LE(n, 17);
    EXPECT_EQ(stars.CountLive(), 0);
}

TEST_F(HitEffects, AStartWhileTheStarsFlyStartsThemOverAndTouchesNoOtherGenerator)
{
    CExpDamage stars;
    stars.Start();
    Step(2);
    stars.Update();
    stars.Update();
    ASSERT_GT(stars.CountLive(), 0);
    // The restart takes the time for its looks; the game's generator and the explosions' do not move.
    CrtSrand(99);
    GetExplosionRandom().Srand(5);
    const int nGame = CrtRand(), nExp = GetExplosionRandom().Rand();
    CrtSrand(99);
    GetExplosionRandom().Srand(5);
    stars.Start();
    EXPECT_EQ(stars.CountLive(), 0);
    EXPECT_EQ(stars.m_nNextStar, 0);
    EXPECT_EQ(CrtRand(), nGame);
    EXPECT_EQ(GetExplosionRandom().Rand(), nExp);
}

TEST_F(HitEffects, TheFountainBurstsSixEveryHundredMillisecondsUntilItsCountRunsOut)
{
    CExpDamageEx fountain;
    fountain.SetPoint(100.0f, -100.0f, 0.0f);
    fountain.Start();
    EXPECT_EQ(CShowableSet::Count(0), 1);
    Step();
    EXPECT_EQ(fountain.CountLive(), 6);
    EXPECT_EQ(fountain.m_dwBurstInterval, 100u);
    // Born between 0 and 85, it has moved once at its first speed of -3.
    const FLASHPARTICLE& p = fountain.m_Particles[0];
    EXPECT_GE(p.x, 0.0f - 3.0f);
    EXPECT_LE(p.x, 85.0f - 3.0f);
    EXPECT_GE(p.fYSpeed, -8.0f);
    EXPECT_LE(p.fYSpeed, 8.0f);
    EXPECT_FLOAT_EQ(p.XSpeed.fValue, -3.0f + p.XSpeed.fStep);
    EXPECT_FLOAT_EQ(p.Brightness.fValue, 0.6f - 0.03f);
    Step(6);  // 100 ms after the first burst: not yet more than the interval
    EXPECT_EQ(fountain.CountLive(), 6);
    Step();
    EXPECT_EQ(fountain.CountLive(), 6 + 5);
    // The count falls by 0.1 an update in f32; the fountain stops at the update that reads < 1.
    float v = 6.5f;
    int nExpected = 1;
    while ((int)v >= 1) {
        v += -0.1f;
        nExpected++;
    }
    int nUpdates = 8;
    while (!fountain.IsStopped() && nUpdates < 200) {
        Step();
        nUpdates++;
    }
    EXPECT_EQ(nUpdates, nExpected);
    EXPECT_EQ(nUpdates, 57);
    EXPECT_EQ(fountain.CountLive(), 0);
    EXPECT_EQ(CShowableSet::Count(0), 0);
}

TEST_F(HitEffects, TheMissRingIsSixteenParticlesThatLastFiveSeconds)
{
    CExpPlayer miss;
    ASSERT_EQ(miss.Load(nullptr), 1);
    EXPECT_STREQ(miss.m_Explosion.m_pszSound, EXPBOMB_BREAK2_WAVE);
    miss.Start(320.0f, 240.0f);
    EXPECT_EQ(miss.m_Ring.m_fY, -240.0f);
    EXPECT_EQ(miss.m_Ring.m_fAngle, 1.57f);
    Step();
    EXPECT_EQ(miss.m_Ring.CountLive(), 16);
    EXPECT_FALSE(miss.m_Explosion.m_bIdle);  // its explosion began on the first update
    EXPECT_FLOAT_EQ(miss.m_Ring.m_Particles[4].fYSpeed, std::sin(4.0f * 0.3925f) * 9.0f);
    // Emitted at 16 ms; it goes once more than 5000 ms have passed: at 5033 ms, update 302.
    for (int t = 2; t <= 301; t++) {
        Step();
        ASSERT_FALSE(miss.m_Ring.IsStopped()) << t;
    }
    EXPECT_EQ(miss.m_Ring.CountLive(), 16);
    Step();
    EXPECT_TRUE(miss.m_Ring.IsStopped());
    miss.Stop();
}

class StarCircle : public HitEffects {
protected:
    static float Distance(const CIRCLESTAR& s) { return std::sqrt(s.x * s.x + s.y * s.y); }
};

TEST_F(StarCircle, RunsOutAboutAHundredPixelsBrakingThenFadesAndVanishesAtUpdateTwentyOne)
{
    CExpStarCir ring;
    ring.SetPoint(200.0f, -300.0f, 0.0f);
    ring.Start();
    EXPECT_FLOAT_EQ(Distance(ring.m_Stars[3]), 10.0f);
    std::vector<DWORD> colours;
    for (int t = 1; t <= 20; t++) {
        Step();
        colours.push_back(ring.m_Quad[0].color);
        if (t == 13) {
            EXPECT_FALSE(ring.m_Stars[0].Speed.nReached);
        }
        if (t == 14) {
            EXPECT_TRUE(ring.m_Stars[0].Speed.nReached);
            EXPECT_NEAR(Distance(ring.m_Stars[0]), 10.0f + 107.625f, 0.01f);
        }
    }
    EXPECT_EQ(colours[9], 0xFFFFFFFFu);   // update 10
    EXPECT_EQ(colours[10], 0xFFFFFFFFu);  // update 11: the fade's first step comes after the colour
    EXPECT_EQ(colours[11], 0xFFE5E5E5u);  // 0.9
    EXPECT_FALSE(ring.IsStopped());
    EXPECT_EQ(ring.m_Stars[5].nColor, 0);  // twenty colour steps
    Step();
    EXPECT_TRUE(ring.IsStopped());
    EXPECT_EQ(CShowableSet::Count(0), 0);
}

TEST_F(StarCircle, ParametersTurnItInwardsOrHoldItOnTheStartCircle)
{
    SetParamFile("#DEBUG_EXP_CRUSH -15.0, 100.0, 10, 20\r\n");
    CExpStarCir inward;
    inward.Start();
    Step();
    EXPECT_FLOAT_EQ(inward.m_Stars[0].x, 10.0f - 15.0f);
    Step(20);
    EXPECT_TRUE(inward.IsStopped());

    SetParamFile("#DEBUG_EXP_CRUSH 0, 100.0, 10, 20\r\n");
    CExpStarCir still;
    still.Start();
    Step(5);
    EXPECT_FLOAT_EQ(Distance(still.m_Stars[7]), 10.0f);

    // No travel distance would divide by zero: the stars stay on the circle instead.
    SetParamFile("#DEBUG_EXP_CRUSH 15.0, 0, 2, 4\r\n");
    CExpStarCir none;
    none.Start();
    Step(3);
    EXPECT_FLOAT_EQ(Distance(none.m_Stars[2]), 10.0f);
    EXPECT_FALSE(std::isnan(none.m_Stars[2].x));
    Step(2);
    EXPECT_TRUE(none.IsStopped());
    // A start while it runs starts it over from the circle.
    still.Start();
    EXPECT_EQ(still.m_nCount, 0);
}

} // namespace
