// The money counters on the generated pictures: where the Yen sign, the digits and the commas land,
// which digits roll, the white flash after a roll, the delayed set and the value limits.
#include <gtest/gtest.h>

#include <climits>

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/WinMain.h"
#include "player/PlayerFixture.h"
#include "player/StagePoint.h"

namespace {

const float kX = 100.0f, kY = 200.0f;

class StagePointRun : public CPlayerFixture {
protected:
    void SetUp() override
    {
        CPlayerFixture::SetUp();
        ASSERT_EQ(m_Counter.Load(g_lpD3DDevice), 1);
        m_Counter.SetZerosShown(0);
        m_Counter.m_fX = kX;
        m_Counter.m_fY = kY;
        m_Counter.Reset();
    }

    // Whether any pixel of the column span [x0, x1) of the counter's rows was drawn.
    bool Drawn(int x0, int x1)
    {
        for (int y = (int)kY; y < (int)kY + STAGEPOINT_DIGIT_HEIGHT; y++)
            for (int x = x0; x < x1; x++)
                if (BackPixel(x, y) != 0)
                    return true;
        return false;
    }
    void DrawOnBlack()
    {
        FillBack(0);
        ASSERT_EQ(m_Counter.Draw(g_lpDDSBack), 1);
    }
    // The left edge of digit i when nothing is blanked.
    int DigitX(int i)
    {
        const int nCommas = i >= 7 ? 3 : (i >= 4 ? 2 : (i >= 1 ? 1 : 0));
        return (int)kX + m_Counter.GetYenWidth() + 20 * i + m_Counter.GetCommaWidth() * nCommas;
    }
    int RunUntilStill()
    {
        int n = 0;
        while (!m_Counter.IsFinished() && n < 200) {
            CAppTimer::FrameTick();
            m_Counter.Update();
            n++;
        }
        return n;
    }

    CStagePointEx m_Counter;
};

} // namespace

TEST_F(StagePointRun, ZeroIsASingleDigitWithTheYenRightBeforeIt)
{
    DrawOnBlack();
    const int nYen = m_Counter.GetYenWidth();
    const int nLast = DigitX(9);
    // The Yen sign ends 5 px left of the last digit's cell; everything further left is blank.
    EXPECT_FALSE(Drawn(0, nLast - 5 - nYen));
    EXPECT_TRUE(Drawn(nLast - 5 - nYen, nLast - 5));
    EXPECT_FALSE(Drawn(nLast - 5, nLast));
    EXPECT_TRUE(Drawn(nLast, nLast + 20));
    EXPECT_FALSE(Drawn(nLast + 20, 640));
}

TEST_F(StagePointRun, SevenDigitsShowWithCommasAfterTheFirstAndTheFourth)
{
    m_Counter.SetNumber(1234567);
    DrawOnBlack();
    const int nComma = m_Counter.GetCommaWidth();
    // "1" is digit 3; the commas before digits 4 and 7 are drawn, the one before digit 1 is not.
    EXPECT_TRUE(Drawn(DigitX(3), DigitX(3) + 20));
    EXPECT_TRUE(Drawn(DigitX(4) - nComma, DigitX(4)));
    EXPECT_TRUE(Drawn(DigitX(7) - nComma, DigitX(7)));
    // The Yen moved up to the first digit shown; nothing stands before it.
    const int nYen = m_Counter.GetYenWidth();
    EXPECT_TRUE(Drawn(DigitX(3) - 5 - nYen, DigitX(3) - 5));
    EXPECT_FALSE(Drawn(0, DigitX(3) - 5 - nYen));
    // With the zeros shown every digit and comma is there and the Yen stands in front.
    m_Counter.SetZerosShown(1);
    DrawOnBlack();
    EXPECT_TRUE(Drawn(DigitX(0), DigitX(0) + 20));
    EXPECT_TRUE(Drawn(DigitX(1) - nComma, DigitX(1)));
    EXPECT_TRUE(Drawn((int)kX - 5, (int)kX - 5 + nYen));
    EXPECT_FALSE(Drawn(0, (int)kX - 5));
}

TEST_F(StagePointRun, AddingTenToNinetyRollsTwoDigitsForwards)
{
    m_Counter.SetNumber(90);
    m_Counter.Add(10);
    EXPECT_EQ(m_Counter.GetNumber(), 100);
    for (int i = 0; i < 10; i++) {
        const bool bRolls = i == 7 || i == 8;
        EXPECT_EQ(m_Counter.GetRoller(i).GetSpeed() != 0.0f, bRolls) << i;
    }
    EXPECT_EQ(m_Counter.GetRoller(8).GetFrame(), 0);
    // 9 to 0 rolls on through the strip's end: one digit, 34 px at 8 a pass.
    EXPECT_EQ(m_Counter.GetRoller(8).GetRemaining(), 34.0f);
    EXPECT_EQ(RunUntilStill(), 5);
    EXPECT_EQ(m_Counter.GetRoller(7).GetPosition(), 34.0f);
    EXPECT_EQ(m_Counter.GetRoller(8).GetPosition(), 0.0f);
}

TEST_F(StagePointRun, TheWhiteFlashLastsFortyMsAfterTheRollStops)
{
    m_Counter.AddAndFlash(3);
    EXPECT_EQ(m_Counter.IsWhite(), 0);
    int nTicks = 0;
    while (!m_Counter.IsWhite() && nTicks < 100) {
        CAppTimer::FrameTick();
        m_Counter.Update();
        nTicks++;
    }
    ASSERT_EQ(m_Counter.IsWhite(), 1);
    EXPECT_TRUE(m_Counter.IsFinished());
    const DWORD dwStart = CAppTimer::GetElapsed(0);
    while (m_Counter.IsWhite()) {
        CAppTimer::FrameTick();
        m_Counter.Update();
        if (m_Counter.IsWhite()) {
            ASSERT_LE(CAppTimer::GetElapsed(0) - dwStart, 40u);
        }
    }
    EXPECT_GT(CAppTimer::GetElapsed(0) - dwStart, 40u);
    EXPECT_LE(CAppTimer::GetElapsed(0) - dwStart, 57u);
}

TEST_F(StagePointRun, ADelayedSetRollsOnThenJumpsOnTheNextUpdate)
{
    m_Counter.SetNumber(500);
    m_Counter.AddThenSet(20, 9000);
    EXPECT_EQ(m_Counter.GetNumber(), 520);
    CAppTimer::FrameTick();
    m_Counter.Update();
    EXPECT_EQ(m_Counter.GetNumber(), 9000);
    EXPECT_TRUE(m_Counter.IsFinished());
    EXPECT_EQ(m_Counter.GetRoller(6).GetFrame(), 9);
}

TEST_F(StagePointRun, NeitherANegativeValueNorAnOverflowReachesTheDigits)
{
    m_Counter.SetNumber(-25);
    EXPECT_EQ(m_Counter.GetNumber(), 0);
    EXPECT_STREQ(m_Counter.GetText(), "0000000000");
    m_Counter.SetNumber(INT_MAX - 5);
    m_Counter.Add(100);
    EXPECT_EQ(m_Counter.GetNumber(), INT_MAX);
    EXPECT_STREQ(m_Counter.GetText(), "2147483647");
    m_Counter.Add(-INT_MAX);
    EXPECT_EQ(m_Counter.GetNumber(), 0);
}

TEST_F(StagePointRun, HiddenItNeitherRollsNorDraws)
{
    m_Counter.Add(5);
    m_Counter.Hide();
    CAppTimer::FrameTick();
    m_Counter.Update();
    EXPECT_EQ(m_Counter.GetRoller(9).GetPosition(), 0.0f);
    DrawOnBlack();
    EXPECT_FALSE(Drawn(0, 640));
}
