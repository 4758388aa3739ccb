// The eased motion record, the braking adjuster and the motions built on them.
#include <gtest/gtest.h>

#include "engine/AccAdjust.h"
#include "engine/AppTimer.h"
#include "engine/Geometry.h"

namespace {

ACCINFO Record(float fValue, float fStep, float fMin, float fMax, int nClamp, int nBounceMax = 0, int nBounceMin = 0)
{
    ACCINFO a;
    a.Set(fValue, fStep, fMin, fMax, nClamp, nBounceMax, nBounceMin);
    return a;
}

class FrameClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        // Earlier tests may have left timers paused.
        for (int i = 0; i < CAppTimer::TIMER_COUNT; i++) {
            CAppTimer::Resume(i);
        }
        CAppTimer::ResetAll();
    }
    void TearDown() override { CAppTimer::SetClock(CAppTimer::CLOCK_FRAME); }
};

} // namespace

TEST(AccInfo, StopsOrBouncesAtItsLimits)
{
    ACCINFO a = Record(10.0f, 5.0f, 0.0f, 12.0f, 1);
    a.Step();
    EXPECT_EQ(a.fValue, 12.0f);
    EXPECT_EQ(a.nReached, 1);
    EXPECT_EQ(a.fStep, 5.0f);

    ACCINFO b = Record(10.0f, 5.0f, 0.0f, 12.0f, 1, 1, 0);
    b.Step();
    EXPECT_EQ(b.fValue, 12.0f);
    EXPECT_EQ(b.nReached, 0);
    EXPECT_EQ(b.fStep, -5.0f);

    ACCINFO c = Record(2.0f, -5.0f, 0.0f, 12.0f, 1, 0, 1);
    c.Step();
    EXPECT_EQ(c.fValue, 0.0f);
    EXPECT_EQ(c.fStep, 5.0f);
    EXPECT_EQ(c.nReached, 0);
}

TEST(AccInfo, AValueOnALimitIsNotStoppedAndWithoutClampLimitsMeanNothing)
{
    ACCINFO a = Record(7.0f, 5.0f, 0.0f, 12.0f, 1);
    a.Step();
    EXPECT_EQ(a.fValue, 12.0f);
    EXPECT_EQ(a.nReached, 0);

    ACCINFO b = Record(10.0f, 5.0f, 0.0f, 12.0f, 0);
    b.Step();
    b.Step();
    EXPECT_EQ(b.fValue, 20.0f);
    EXPECT_EQ(b.nReached, 0);
}

TEST(AccAdjust, StartsAtRestWithClampOn)
{
    CAccAdjust adj;
    EXPECT_EQ(adj.fValue, 0.0f);
    EXPECT_EQ(adj.nClamp, 1);
    EXPECT_EQ(adj.GetState(), CAccAdjust::STATE_FREE);
}

TEST(AccAdjust, FromRestAcceleratesFreelyOnlyBeyondHalfAPixel)
{
    CAccAdjust adj;
    adj.SetTarget(0.4f);
    EXPECT_EQ(adj.fStep, 0.0f);
    adj.SetTarget(100.0f);
    EXPECT_EQ(adj.fStep, 0.5f);
    EXPECT_EQ(adj.nClamp, 0);
    for (int i = 0; i < 100; i++) {
        adj.Step();
    }
    EXPECT_EQ(adj.fValue, 50.0f);
    adj.fValue = -0.2f;  // counts as rest
    adj.SetTarget(-10.0f);
    EXPECT_EQ(adj.fValue, 0.0f);
    EXPECT_EQ(adj.fStep, -0.5f);
}

TEST(AccAdjust, BrakesToRestExactlyOverTheDistance)
{
    CAccAdjust adj;
    adj.fValue = 10.0f;
    adj.SetTarget(50.0f);
    EXPECT_EQ(adj.fStep, -1.0f);
    EXPECT_EQ(adj.fMin, 0.0f);
    EXPECT_EQ(adj.fMax, 10.0f);
    float fTravelled = 0.0f;
    for (int i = 0; i < 10; i++) {
        fTravelled += adj.fValue;
        adj.Step();
    }
    EXPECT_EQ(adj.fValue, 0.0f);
    EXPECT_EQ(adj.nReached, 0);
    EXPECT_EQ(fTravelled, 55.0f);
    adj.Step();
    EXPECT_EQ(adj.fValue, 0.0f);
    EXPECT_EQ(adj.nReached, 1);
}

TEST(AccAdjust, MovingAwayBrakesHardAndWaitsForRestBeforeTurning)
{
    CAccAdjust adj;
    adj.fValue = 10.0f;
    adj.SetTarget(-50.0f);
    EXPECT_EQ(adj.fStep, -5.0f);
    EXPECT_EQ(adj.GetState(), CAccAdjust::STATE_BRAKING);
    adj.Step();  // 5
    adj.SetTarget(-45.0f);
    EXPECT_EQ(adj.fStep, -5.0f);
    EXPECT_EQ(adj.GetState(), CAccAdjust::STATE_BRAKING);
    adj.Step();  // 0
    adj.SetTarget(-40.0f);  // finds it at rest: free again, nothing else
    EXPECT_EQ(adj.GetState(), CAccAdjust::STATE_FREE);
    EXPECT_EQ(adj.fStep, -5.0f);
    adj.SetTarget(-40.0f);
    EXPECT_EQ(adj.fStep, -0.5f);
}

TEST_F(FrameClock, BounceSlidesInKicksBackWaitsAndRests)
{
    ACCINFO acc;
    ACCBOUNCE b = {};
    b.fRest = 1.5f;
    EXPECT_EQ(b.IsLimitHit(), 1);
    b.Attach(&acc);
    b.Start();
    float fPos = 0.0f;
    int nTicks = 0;
    while (b.nState != ACCBOUNCE::STATE_WAIT && nTicks < 100) {
        fPos += acc.fValue;
        b.Update();
        nTicks++;
    }
    // 20 + 18 + ... + 2 forwards; the kick's -10 is stepped in the update that sets it, so the
    // owner sees only the -5 of the way back.
    EXPECT_EQ(fPos, 110.0f - 5.0f);
    EXPECT_EQ(nTicks, 15);
    for (int i = 0; i < 31; i++) {
        CAppTimer::FrameTick();
        b.Update();
    }
    EXPECT_EQ(b.nState, ACCBOUNCE::STATE_DONE);
    EXPECT_EQ(acc.fValue, 1.5f);
    EXPECT_EQ(acc.fStep, 0.0f);
}

TEST_F(FrameClock, AnObjectOffScreenIsGivenUpAfterMoreThanASecond)
{
    ACCINFO acc;
    acc.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    OFFSCREENTIMER timer = {0, 0, 1};
    float x = 641.0f + 5.0f;  // width 10: one pixel off the right edge
    EXPECT_EQ(UpdateAccMoveX(&x, 10.0f, &acc, &timer), 0);
    EXPECT_EQ(timer.bIdle, 0u);
    int nTicks = 0;
    while (UpdateAccMoveX(&x, 10.0f, &acc, &timer) == 0) {
        CAppTimer::FrameTick();
        nTicks++;
        ASSERT_LT(nTicks, 100);
    }
    // 61 ticks of 16.666 ms: 1016 ms, the first time past 1000.
    EXPECT_EQ(nTicks, 61);
    EXPECT_EQ(timer.bIdle, 1u);
}

TEST_F(FrameClock, SteeringAimsAtTheClampedPointOncePerPeriod)
{
    CAccAdjust adj;
    STEERTIMER timer = {100, 0, 0};
    SteerAccAdjust(600.0f, 20.0f, &timer, &adj);
    EXPECT_EQ(adj.fStep, 0.0f);  // the period has not passed
    for (int i = 0; i < 7; i++) {
        CAppTimer::FrameTick();
    }
    SteerAccAdjust(600.0f, 20.0f, &timer, &adj);
    EXPECT_EQ(adj.fStep, 0.5f);  // towards 420 - 20
    EXPECT_EQ(timer.dwStamp, CAppTimer::GetElapsed(0));
}
