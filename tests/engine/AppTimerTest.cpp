#include <gtest/gtest.h>
#include "engine/AppTimer.h"
#include "platform/host/Host.h"
#include "platform/win/Win.h"

namespace {

// Only the clock of a host matters to the timers: a counter the test moves by hand.
class ClockOnlyHost : public IHost {
public:
    uint32_t m_dwNow = 1000;

    bool CreateMainWindow(const char*, const char*, int, int, int, int, bool) override { return false; }
    void ShowMainWindow() override {}
    void RaiseMainWindow() override {}
    void DestroyMainWindow() override {}
    bool HasMainWindow() const override { return false; }
    void GetScreenSize(int* pW, int* pH) override { *pW = 1024, *pH = 768; }
    void ShowCursor(bool) override {}
    bool PollEvent(HOSTEVENT*) override { return false; }
    void WaitEvent(uint32_t) override {}
    bool IsKeyDown(int) override { return false; }
    uint32_t NowMs() override { return m_dwNow; }
    void SleepMs(uint32_t dwMs) override { m_dwNow += dwMs; }
    bool Present(const uint16_t*, int, int, int) override { return true; }
    void MessageBox(const char*, const char*) override {}
    void FrameTick() override {}
};

class AppTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pOldHost = GetHost();
        SetHost(&m_host);
        CAppTimer::ResetFrameClock();
        for (int i = 0; i < CAppTimer::TIMER_COUNT; i++) {
            CAppTimer::Resume(i);
        }
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetAll();
    }
    void TearDown() override { SetHost(m_pOldHost); }

    static void Frames(int n)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
        }
    }

    ClockOnlyHost m_host;
    IHost* m_pOldHost = nullptr;
};

}  // namespace

TEST_F(AppTimerTest, FrameClockAccumulatesPointSixSixSixInSinglePrecision)
{
    EXPECT_EQ(CAppTimer::GetFrameClock(), 0u);
    Frames(1);
    EXPECT_EQ(CAppTimer::GetFrameClock(), 16u);
    Frames(2);
    EXPECT_EQ(CAppTimer::GetFrameClock(), 49u);  // 48 + trunc(1.998)
    Frames(57);
    EXPECT_EQ(CAppTimer::GetFrameClock(), 999u);  // two thirds would give 1000
    Frames(940);
    EXPECT_EQ(CAppTimer::GetFrameClock(), 16665u);
    Frames(2600);
    EXPECT_EQ(CAppTimer::GetFrameClock(), 59997u);
}

TEST_F(AppTimerTest, ElapsedOnBothClocksFromReset)
{
    Frames(10);
    m_host.m_dwNow += 250;
    CAppTimer::Reset(3);
    Frames(3);
    m_host.m_dwNow += 40;
    EXPECT_EQ(CAppTimer::GetElapsedOn(3, CAppTimer::CLOCK_REAL), 40u);
    // 13 frames read 208 + trunc(8.658) = 216, 10 frames read 160 + trunc(6.66) = 166.
    EXPECT_EQ(CAppTimer::GetElapsedOn(3, CAppTimer::CLOCK_FRAME), 50u);
    EXPECT_EQ(CAppTimer::GetElapsed(3), 50u);
    // Timer 0 was reset at 0 frames and 1000 ms.
    EXPECT_EQ(CAppTimer::GetElapsed(0), 216u);
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL), 290u);
}

TEST_F(AppTimerTest, PauseFreezesAndResumeContinuesWithoutJump)
{
    Frames(6);
    m_host.m_dwNow += 100;
    CAppTimer::Pause(0);
    EXPECT_EQ(CAppTimer::IsPaused(0), 1);
    const DWORD dwFrame = CAppTimer::GetElapsed(0);
    const DWORD dwReal = CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL);
    EXPECT_EQ(dwFrame, 99u);
    EXPECT_EQ(dwReal, 100u);

    Frames(30);
    m_host.m_dwNow += 5000;
    EXPECT_EQ(CAppTimer::GetElapsed(0), dwFrame);
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_FRAME), dwFrame);
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL), dwReal);

    // A second pause keeps the first frozen value.
    CAppTimer::Pause(0);
    CAppTimer::Resume(0);
    EXPECT_EQ(CAppTimer::IsPaused(0), 0);
    EXPECT_EQ(CAppTimer::GetElapsed(0), dwFrame);
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL), dwReal);
    m_host.m_dwNow += 7;
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL), dwReal + 7);

    // Resuming a running timer changes nothing; other timers never paused.
    CAppTimer::Resume(0);
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL), dwReal + 7);
    EXPECT_EQ(CAppTimer::IsPaused(1), 0);
    EXPECT_EQ(CAppTimer::GetElapsedOn(1, CAppTimer::CLOCK_REAL), 5107u);
}

TEST_F(AppTimerTest, RealClockWrapKeepsTheSpan)
{
    m_host.m_dwNow = 0xFFFFFFF0u;
    CAppTimer::Reset(2);
    m_host.m_dwNow = 0x20;
    EXPECT_EQ(CAppTimer::GetElapsedOn(2, CAppTimer::CLOCK_REAL), 0x30u);
}

TEST_F(AppTimerTest, SetClockCarriesElapsedValuesOver)
{
    Frames(60);
    m_host.m_dwNow += 1234;
    CAppTimer::SetClock(CAppTimer::CLOCK_REAL);
    EXPECT_EQ(CAppTimer::GetElapsed(0), 999u);
    m_host.m_dwNow += 10;
    EXPECT_EQ(CAppTimer::GetElapsed(0), 1009u);
    CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
    EXPECT_EQ(CAppTimer::GetElapsed(0), 1009u);
    Frames(1);
    EXPECT_EQ(CAppTimer::GetElapsed(0), 1026u);
}

TEST_F(AppTimerTest, BadIndicesAreHarmless)
{
    CAppTimer::Pause(-1);
    CAppTimer::Pause(10);
    CAppTimer::Reset(10);
    EXPECT_EQ(CAppTimer::IsPaused(10), 0);
    EXPECT_EQ(CAppTimer::GetElapsed(-1), 0u);
    EXPECT_EQ(CAppTimer::GetElapsedOn(0, 2), 0u);
}

TEST_F(AppTimerTest, RestartedFrameClockKeepsReadingsAndRepeatsItsSteps)
{
    // Two histories of different length before the restart: afterwards both step alike.
    for (int nBefore : {1, 1234}) {
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        Frames(nBefore);
        CAppTimer::Reset(2);
        Frames(2);
        CAppTimer::Pause(4);
        const DWORD dw0 = CAppTimer::GetElapsed(0), dw2 = CAppTimer::GetElapsed(2), dw4 = CAppTimer::GetElapsed(4);
        CAppTimer::RestartFrameClock();
        EXPECT_EQ(CAppTimer::GetFrameClock(), 0u);
        EXPECT_EQ(CAppTimer::GetElapsed(0), dw0);
        EXPECT_EQ(CAppTimer::GetElapsed(2), dw2);
        EXPECT_EQ(CAppTimer::GetElapsed(4), dw4);
        Frames(3);
        EXPECT_EQ(CAppTimer::GetElapsed(2), dw2 + 49u) << nBefore;
        EXPECT_EQ(CAppTimer::GetElapsed(4), dw4);
        CAppTimer::Resume(4);
        Frames(57);
        EXPECT_EQ(CAppTimer::GetElapsed(4), dw4 + 999u - 49u);  // the clock at 60 passes less at 3
    }
}
