#include <gtest/gtest.h>

#include "engine/AppTimer.h"
#include "engine/WinMain.h"
#include "stage/Flashable.h"

namespace {

class FlashableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::Reset(0);
        for (int i = 0; i < 10; i++)
            CAppTimer::FrameTick();
    }
};

} // namespace

TEST_F(FlashableTest, DefaultFlashTimeIsTwentyMilliseconds)
{
    CFlashable f;
    f.Reset();
    EXPECT_EQ(f.m_dwDuration, 20u);
    EXPECT_EQ(g_nObjFlashTime, 20);
}

TEST_F(FlashableTest, ElapsedEqualToTheDurationStillFlashesOneMoreEndsIt)
{
    CFlashable f;
    f.Reset();
    f.Start();
    DWORD now = CAppTimer::GetElapsed(0);
    f.m_dwStartTime = now - 20;
    EXPECT_EQ(f.Update(), 20u);
    EXPECT_TRUE(f.IsFlashing());
    f.m_dwStartTime = now - 21;
    f.Update();
    EXPECT_FALSE(f.IsFlashing());
    EXPECT_EQ(f.m_bFlashing, 0);
    EXPECT_EQ(f.m_bExpired, 1);
}

TEST_F(FlashableTest, FlashEndsOnTheFrameClock)
{
    CFlashable f;
    f.Reset();
    f.Start();
    CAppTimer::FrameTick();  // 16.67 ms
    f.Update();
    EXPECT_TRUE(f.IsFlashing());
    CAppTimer::FrameTick();  // 33 ms
    f.Update();
    EXPECT_FALSE(f.IsFlashing());
}

TEST_F(FlashableTest, ResetWhileFlashingDoesNotLeaveTheFlashOn)
{
    CFlashable f;
    f.Reset();
    f.Start();
    f.Reset();
    EXPECT_FALSE(f.IsFlashing());
    f.Start();
    EXPECT_TRUE(f.IsFlashing());
    f.Stop();
    EXPECT_FALSE(f.IsFlashing());
    EXPECT_EQ(f.m_bFlashing, 0);
}
