// The stage-clear tally on the frame clock: its timed switches, the slide-in that stops on the
// layout's places, the rows that count up by their per-update steps, the total and the voice.
#include <gtest/gtest.h>

#include <vector>

#include "player/ScreenFixture.h"
#include "player/StageClear.h"

namespace {

class StageClearTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        ASSERT_EQ(m_Tally.Load(g_lpD3DDevice), 1);
    }
    void Step()
    {
        Tick();
        m_Tally.Update();
    }
    // Runs the tally to its end; the states it passed through, each once, in order.
    std::vector<int> RunToEnd(int nMax = 3000)
    {
        std::vector<int> states = {m_Tally.GetState()};
        for (int i = 0; i < nMax && m_Tally.GetState() != CStageClear::STATE_DONE; i++) {
            Step();
            if (m_Tally.GetState() != states.back())
                states.push_back(m_Tally.GetState());
        }
        return states;
    }
    int RunTotal(int nLife, int nTime, int nTarget)
    {
        m_Tally.SetResults(nLife, nTime, nTarget);
        m_Tally.Start();
        RunToEnd();
        EXPECT_EQ(m_Tally.GetState(), CStageClear::STATE_DONE);
        return m_Tally.GetTotal();
    }

    CStageClear m_Tally;
};

TEST_F(StageClearTest, TheStatesFollowEachOtherAfterTheirPauses)
{
    m_Tally.SetResults(50, 20, 100000);
    EXPECT_TRUE(m_Tally.IsHidden());
    m_Tally.Start();
    EXPECT_FALSE(m_Tally.IsHidden());
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\StageClear.wav"), m_bSound ? 1 : -1);
    // Each wait ends at the first update more than its delay after it began.
    const int kState[] = {CStageClear::STATE_SLIDE_IN, CStageClear::STATE_TALLY, CStageClear::STATE_TOTAL,
                          CStageClear::STATE_DONE};
    const DWORD kDelay[] = {2000, 1000, 500, 500};
    for (int k = 0; k < 4; k++) {
        int n = 0;
        while (m_Tally.GetState() != CStageClear::STATE_WAIT && n++ < 2000)
            Step();
        ASSERT_EQ(m_Tally.GetPendingState(), kState[k]);
        const DWORD dwStart = Now();
        DWORD dwLast = dwStart;
        while (m_Tally.GetState() == CStageClear::STATE_WAIT) {
            dwLast = Now();
            Step();
        }
        EXPECT_EQ(m_Tally.GetState(), kState[k]);
        EXPECT_GT(Now() - dwStart, kDelay[k]) << k;
        EXPECT_LE(dwLast - dwStart, kDelay[k]) << k;
    }
    EXPECT_EQ(m_Tally.GetTotal(), 50 * 2000 + 20 * 1000 + 100000);
}

TEST_F(StageClearTest, EveryPictureAndRowComesToRestOnItsPlace)
{
    m_Tally.SetResults(10, 1, 1);
    m_Tally.Start();
    EXPECT_EQ(m_Tally.GetTitleMotion().x, 320.0f);
    EXPECT_EQ(m_Tally.GetTitleMotion().y, 240.0f);
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x, 640.0f);
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_ZORVA).x, -320.0f);
    EXPECT_EQ(m_Tally.GetRowMotion(CStageClear::ROW_TOTAL).x, 1180.0f);
    while (m_Tally.GetState() != CStageClear::STATE_SLIDE_IN)
        Step();
    // 50 px in the first update, a little less in each after.
    const float x0 = m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x;
    Step();
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x, x0 - 50.0f);
    const float x1 = m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x;
    Step();
    EXPECT_LT(x1 - m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x, 50.0f);
    while (m_Tally.GetState() == CStageClear::STATE_SLIDE_IN)
        Step();
    const float kPlaceX[STAGECLEAR_SLIDES] = {280.0f, 40.0f, 40.0f, 40.0f, 17.0f, 40.0f};
    for (int i = 0; i < STAGECLEAR_SLIDES; i++) {
        EXPECT_EQ(m_Tally.GetSlide(i).x, kPlaceX[i]) << i;
    }
    for (int i = 0; i < STAGECLEAR_ROWS; i++) {
        EXPECT_EQ(m_Tally.GetRowMotion(i).x, 183.0f) << i;
    }
    // The title's top-left corner on (65, 90): its centre for a 264 x 52 picture.
    EXPECT_EQ(m_Tally.GetTitleMotion().x, 65.0f + 132.0f);
    EXPECT_EQ(m_Tally.GetTitleMotion().y, 90.0f + 26.0f);
}

TEST_F(StageClearTest, RowsCountUpByTheirStepsAndTheTotalIsTheirSum)
{
    m_Tally.SetResults(3, 2, 200000);
    m_Tally.Start();
    while (m_Tally.GetState() != CStageClear::STATE_TALLY)
        Step();
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_LIFE), 3);
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_TIME), 2);
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_TARGET), 200000);
    Step();
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_LIFE), 2000);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TIME), 1000);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TARGET), 200000);  // the target in one step
    Step();
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_LIFE), 4000);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TIME), 2000);
    Step();
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_LIFE), 6000);
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_LIFE), 0);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TOTAL), 0);
    RunToEnd();
    EXPECT_EQ(m_Tally.GetTotal(), 6000 + 2000 + 200000);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(m_Tally.GetRowCount(i), -1) << i;
    }
}

TEST_F(StageClearTest, BonusesFollowTheLifeTimeAndTargetRules)
{
    EXPECT_EQ(RunTotal(100, 0, 0), 300000);
    EXPECT_EQ(RunTotal(99, 0, 0), 198000);
    EXPECT_EQ(RunTotal(1, 180, 500000), 2000 + 180000 + 500000);
    EXPECT_EQ(RunTotal(100, 42, 300000), 300000 + 42000 + 300000);
}

TEST_F(StageClearTest, GetTotalBeforeTheEndGivesTheTotalSoFar)
{
    m_Tally.SetResults(20, 0, 0);
    m_Tally.Start();
    EXPECT_EQ(m_Tally.GetTotal(), 0);
    while (m_Tally.GetState() != CStageClear::STATE_TOTAL)
        Step();
    EXPECT_EQ(m_Tally.GetTotal(), 40000);
}

TEST_F(StageClearTest, TheVoiceComesOnceMoreThanFiveAndAHalfSecondsAfterTheStart)
{
    m_Tally.SetResults(1, 0, 0);
    m_Tally.Start();
    const DWORD dwStart = Now();
    const char kVoice[] = ".\\GameData\\System\\CvStageClear.wav";
    int nPlays = 0;
    DWORD dwAt = 0;
    for (int i = 0; i < 600; i++) {
        ClearSounds();
        Step();
        if (WasPlayed(kVoice) == 1) {
            nPlays++;
            dwAt = Now() - dwStart;
        }
        if (i == 400) {
            EXPECT_TRUE(m_Tally.IsVoiceDone());
        }
    }
    if (m_bSound) {
        EXPECT_EQ(nPlays, 1);
        EXPECT_GT(dwAt, 5500u);
        EXPECT_LE(dwAt, 5500u + 17u);
    }
    // Done long before: the voice does not wait for the tally.
    EXPECT_EQ(m_Tally.GetState(), CStageClear::STATE_DONE);
}

TEST_F(StageClearTest, HiddenItNeitherCountsNorDraws)
{
    m_Tally.SetResults(50, 10, 1000);
    m_Tally.Start();
    m_Tally.Hide();
    for (int i = 0; i < 500; i++)
        Step();
    EXPECT_EQ(m_Tally.GetState(), CStageClear::STATE_TITLE);
    FillBack(0x001F);
    ASSERT_EQ(m_Tally.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(CountBack(0, 0, 640, 480, 0x001F), 640 * 480);
}

TEST_F(StageClearTest, TheExtraPictureStandsInForTheHeroinesOnTheLastStage)
{
    m_Tally.SetLastStage(1);
    m_Tally.SetResults(50, 5, 500000);
    m_Tally.Start();
    // The extra picture's own width off the left edge.
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_ZORVA).x, -320.0f);
    RunToEnd();
    FillBack(0x001F);
    ASSERT_EQ(m_Tally.Draw(g_lpDDSBack), 1);
    EXPECT_LT(CountBack(280, 60, 600, 156, 0x001F), 320 * 96);
}

} // namespace
