// The gauge: its glide, its limits, its blink and the part of the picture it shows.
#include <gtest/gtest.h>

#include <vector>

#include "engine/Gauge.h"
#include "engine/WidgetFixture.h"

namespace {

class GaugeTest : public CWidgetFixture {
protected:
    void SetUp() override
    {
        CWidgetFixture::SetUp();
        FillBack(0);
    }
    // A 100 x 10 bar: left half red, right half blue.
    void MakeBar(CGauge& g)
    {
        IDirectDrawSurface7* lp = MakePicture(100, 10, 0xF800);
        FillRect(lp, 50, 0, 50, 10, 0x001F);
        ASSERT_EQ(g.Create(g_lpD3DDevice, lp, 0), 1);
        lp->Release();
        g.SetMax(100.0f);
        g.Show();
    }
};

std::vector<float> Glide(CGauge& g, float fTarget, int nMax)
{
    std::vector<float> shown;
    g.MoveTo(fTarget);
    while (g.GetShownValue() != fTarget && (int)shown.size() < nMax) {
        g.Update();
        shown.push_back(g.GetShownValue());
    }
    return shown;
}

} // namespace

TEST(Gauge, GlidesFastThenBrakesToTheFloorOfThree)
{
    CGauge g;
    g.SetMax(100.0f);
    g.Show();
    EXPECT_EQ(Glide(g, 100.0f, 50),
              (std::vector<float>{18, 34, 48, 60, 70, 78, 84, 88, 91, 94, 97, 100}));
    EXPECT_EQ(g.IsFull(), 1);
}

TEST(Gauge, ShortGlidesMoveThreeAnUpdateAndSnapOntoTheTarget)
{
    CGauge g;
    g.SetMax(100.0f);
    g.Show();
    EXPECT_EQ(Glide(g, 10.0f, 50), (std::vector<float>{3, 6, 9, 10}));
    EXPECT_EQ(Glide(g, 0.0f, 50), (std::vector<float>{7, 4, 1, 0}));
}

TEST(Gauge, SetValueHoldsToTheMaximumAndFullIsWithinAHundredth)
{
    CGauge g;
    g.SetMax(100.0f);
    g.SetValue(150.0f);
    EXPECT_EQ(g.GetValue(), 100.0f);
    EXPECT_EQ(g.IsFull(), 1);
    g.SetValue(99.995f);
    EXPECT_EQ(g.IsFull(), 1);
    g.SetValue(99.98f);
    EXPECT_EQ(g.IsFull(), 0);
    g.AddValue(1.0f);
    EXPECT_EQ(g.GetValue(), 100.0f);
}

TEST_F(GaugeTest, DrawsTheFractionOfItsWidth)
{
    CGauge g;
    MakeBar(g);
    g.m_fX = 10.0f;
    g.m_fY = 20.0f;
    g.SetValue(30.0f);
    ASSERT_EQ(g.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(10, 20), 0xF800);
    EXPECT_EQ(BackPixel(39, 29), 0xF800);
    EXPECT_EQ(BackPixel(40, 25), 0);
    EXPECT_EQ(BackPixel(9, 25), 0);
}

TEST_F(GaugeTest, ALeftwardsGaugeAtHalfShowsTheRightHalfInTheRightHalf)
{
    CGauge g;
    MakeBar(g);
    g.m_nDirection = -1;
    g.m_fX = 100.0f;
    g.m_fY = 50.0f;
    g.SetValue(50.0f);
    ASSERT_EQ(g.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(149, 55), 0);
    EXPECT_EQ(BackPixel(150, 55), 0x001F);
    EXPECT_EQ(BackPixel(199, 55), 0x001F);
}

TEST_F(GaugeTest, AZeroMaximumDrawsNothingAndAGlidePastTheMaximumFillsTheBarOnly)
{
    CGauge g;
    MakeBar(g);
    g.SetMax(0.0f);
    g.SetValue(0.0f);
    EXPECT_EQ(g.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(0, 0), 0);

    g.SetMax(100.0f);
    g.SetValue(90.0f);
    g.MoveTo(200.0f);  // the target is not held to the maximum
    for (int i = 0; i < 8; i++) {
        g.Update();
    }
    ASSERT_GT(g.GetShownValue(), 100.0f);
    ASSERT_EQ(g.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(99, 5), 0x001F);
    EXPECT_EQ(BackPixel(100, 5), 0);
}

TEST_F(GaugeTest, AThreeStripGaugeBlinksOneTwoOneTwo)
{
    IDirectDrawSurface7* lp = MakePicture(40, 30, 0xF800);
    FillRect(lp, 0, 10, 40, 10, 0x07FF);
    FillRect(lp, 0, 20, 40, 10, 0xFFE0);
    CGauge g;
    ASSERT_EQ(g.Create(g_lpD3DDevice, lp, 1), 1);
    lp->Release();
    EXPECT_EQ(g.GetHeight(), 10);
    g.SetMax(10.0f);
    g.Show();
    g.SetValue(10.0f);
    g.StartBlink();
    std::vector<int> strips;
    for (int i = 0; i < 8; i++) {
        Tick();
        g.Update();
        strips.push_back(g.GetStrip());
    }
    // 30 ms: a toggle every second tick.
    EXPECT_EQ(strips, (std::vector<int>{0, 1, 1, 2, 2, 1, 1, 2}));
    ASSERT_EQ(g.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(5, 5), 0xFFE0);
    g.StopBlink();
    EXPECT_EQ(g.GetStrip(), 0);
}

TEST_F(GaugeTest, StartBlinkOnAOneStripGaugeDoesNothing)
{
    CGauge g;
    MakeBar(g);
    g.StartBlink();
    Tick(10);
    g.Update();
    EXPECT_EQ(g.GetStrip(), 0);
}

TEST_F(GaugeTest, ASlantedGaugeLeansOnePixelARow)
{
    CGauge g;
    MakeBar(g);
    g.m_bSlant = 1;
    g.m_fX = 100.0f;
    g.m_fY = 100.0f;
    g.SetValue(100.0f);
    ASSERT_EQ(g.Draw(g_lpDDSBack), 1);
    EXPECT_NE(BackPixel(100 + 9, 100), 0);
    EXPECT_NE(BackPixel(100, 109), 0);
}
