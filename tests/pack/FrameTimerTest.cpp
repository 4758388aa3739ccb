#include <gtest/gtest.h>

#include <vector>

#include "pack/FrameTimer.h"

namespace {

uint32_t g_dwNow = 0;
std::vector<uint32_t> g_Sleeps;

uint32_t FakeClock()
{
    return g_dwNow;
}

void FakeSleep(uint32_t dwMs)
{
    g_Sleeps.push_back(dwMs);
    g_dwNow += dwMs;
}

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_dwNow = 1000;
        g_Sleeps.clear();
    }
};

} // namespace

TEST_F(FrameTimerTest, FixedPointFrameLengthsWithoutDrift)
{
    CFrameTimer timer(FakeClock, FakeSleep);
    std::vector<uint32_t> lengths;
    for (int i = 0; i < 60; i++) {
        uint32_t dwBefore = g_dwNow;
        timer.WaitFrame();
        lengths.push_back(g_dwNow - dwBefore);   // no work: each frame sleeps its whole length
    }
    EXPECT_EQ((std::vector<uint32_t>(lengths.begin(), lengths.begin() + 6)),
              (std::vector<uint32_t>{16, 17, 16, 17, 17, 16}));
    uint32_t nSum = 0;
    for (uint32_t n : lengths)
        nSum += n;
    EXPECT_EQ(nSum, 999u);
    EXPECT_EQ(timer.GetFrameCount(false), 60u);
    EXPECT_EQ(timer.GetRealFPS(), 60);
    EXPECT_EQ(timer.GetIdlePercent(), 100);
}

TEST_F(FrameTimerTest, LateFramesSkipOrForgive)
{
    CFrameTimer timer(FakeClock, FakeSleep);
    timer.WaitFrame();               // 16 ms frame
    g_dwNow += 16 + 60;              // the next frame starts 60 ms late
    g_Sleeps.clear();
    timer.WaitFrame();
    EXPECT_EQ(timer.IsSkip(), 1);
    EXPECT_TRUE(g_Sleeps.empty());
    g_dwNow += 300;                  // far behind: forgiven, no skip
    timer.WaitFrame();
    EXPECT_EQ(timer.IsSkip(), 0);
    g_Sleeps.clear();
    timer.WaitFrame();               // the schedule restarted at the late frame
    ASSERT_EQ(g_Sleeps.size(), 1u);
    EXPECT_GE(g_Sleeps[0], 16u);
}

TEST_F(FrameTimerTest, StatisticsNeedSixteenFrames)
{
    CFrameTimer timer(FakeClock, FakeSleep);
    for (int i = 0; i < 15; i++) {
        timer.WaitFrame();
        EXPECT_EQ(timer.GetRealFPS(), 0);
        EXPECT_EQ(timer.GetIdlePercent(), 0);
    }
    timer.WaitFrame();
    EXPECT_GT(timer.GetRealFPS(), 0);
    // Half of each frame used by work: idle about half.
    CFrameTimer busy(FakeClock, FakeSleep);
    for (int i = 0; i < 100; i++) {
        g_dwNow += 8;
        busy.WaitFrame();
    }
    EXPECT_EQ(busy.GetIdlePercent(), 100 - 60 * (16 * 8) / 160);
    EXPECT_EQ(busy.GetRealFPS(), 60);
    CFrameTimer off(FakeClock, FakeSleep);
    off.SetFPS(0);
    g_Sleeps.clear();
    off.WaitFrame();
    EXPECT_TRUE(g_Sleeps.empty());
}
