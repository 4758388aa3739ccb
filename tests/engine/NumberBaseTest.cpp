// Number displays: padding, the floating score's rise, hold and draw, and the rolling digit strip.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/NumberBase.h"
#include "engine/WidgetDraw.h"
#include "engine/WidgetFixture.h"

namespace {

// Cell k of the digit row drawn in colour 0x0100 * (k + 1); everything else pure green.
IDirectDrawSurface7* MakeDigitPicture()
{
    IDirectDrawSurface7* lp = CreateDevicePlaneSurface(g_lpD3DDevice, 110, 32, MEM_SYSTEM);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x07E0;
    lp->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    for (int k = 0; k < 10; k++) {
        fx.dwFillColor = (DWORD)(0x0800 * (k + 1));
        RECT rc = {10 * k, 16, 10 * k + 10, 32};
        lp->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    return lp;
}

WORD CellColor(char c)
{
    return (WORD)(0x0800 * ((c == '0' ? 9 : c - '1') + 1));
}

class CWideNumber : public CSlideNumber {
public:
    int GetDigitCount() override { return 6; }
    void SetNumber(int n) override
    {
        m_nCalls++;
        CNumberBase::SetNumber(n);
    }
    int m_nCalls = 0;
};

class PointNumber : public CWidgetFixture {
protected:
    void SetUp() override
    {
        CWidgetFixture::SetUp();
        CShowableSet::Clear();
        CPointNumber::AttachImage(MakeDigitPicture());
        FillBack(0);
    }
    void TearDown() override
    {
        CPointNumber::ReleaseImage();
        CShowableSet::Clear();
        CWidgetFixture::TearDown();
    }
};

} // namespace

TEST(NumberBase, PadsToTwoDigitsWithTheSignCounted)
{
    CNumberBase n;
    EXPECT_STREQ(n.GetText(), "0");
    n.SetNumber(7);
    EXPECT_STREQ(n.GetText(), "07");
    n.SetNumber(1234);
    EXPECT_STREQ(n.GetText(), "1234");
    n.SetNumber(-5);
    EXPECT_STREQ(n.GetText(), "-5");
    n.SetNumber(-2147483647 - 1);
    EXPECT_STREQ(n.GetText(), "-2147483648");
    EXPECT_EQ(n.GetNumber(), -2147483647 - 1);
}

TEST(NumberBase, AddNumberRunsOnlyTheBaseRule)
{
    CWideNumber n;
    n.SetNumber(40);
    EXPECT_EQ(n.m_nCalls, 1);
    n.AddNumber(2);
    EXPECT_EQ(n.m_nCalls, 1);
    EXPECT_EQ(n.GetNumber(), 42);
    EXPECT_STREQ(n.GetText(), "000042");
}

TEST_F(PointNumber, RisesBrakingThenHoldsThenStops)
{
    CPointNumber p;
    p.m_fY = 200.0f;
    p.Start(6.0f, 50.0f, 500);
    EXPECT_EQ(p.m_nIndex, 0);
    int nMoving = 0;
    for (int i = 0; i < 17; i++) {
        p.Update();
        Tick();
        nMoving++;
    }
    EXPECT_NEAR(200.0f - p.m_fY, 53.04f, 1e-3f);
    const float fRest = p.m_fY;
    // 500 ms of frame time: the 31st tick after the hold began is the first past it.
    int nHeld = 0;
    while (!p.IsStopped() && nHeld < 100) {
        p.Update();
        Tick();
        nHeld++;
    }
    EXPECT_EQ(p.m_fY, fRest);
    EXPECT_EQ(nHeld, 31);
    EXPECT_EQ(p.m_nIndex, -1);
}

TEST_F(PointNumber, NoDistanceMeansNoRiseJustTheHold)
{
    CPointNumber p;
    p.m_fY = 100.0f;
    p.Start(6.0f, 0.0f, 0);
    Tick();
    p.Update();
    EXPECT_EQ(p.m_fY, 100.0f);
    EXPECT_EQ(p.IsStopped(), 1);
}

TEST_F(PointNumber, LivesAtMostThreeHundredUpdates)
{
    CPointNumber p;
    p.Start(0.001f, 1000.0f, 0xFFFFFFFF);
    for (int i = 0; i < 300; i++) {
        p.Update();
    }
    EXPECT_EQ(p.IsStopped(), 0);
    p.Update();
    EXPECT_EQ(p.IsStopped(), 1);
}

TEST_F(PointNumber, DrawsCentredDigitsSixtyPixelsAbove)
{
    CPointNumber p;
    p.SetNumber(500);
    p.m_fX = 320.0f;
    p.m_fY = 200.0f;
    p.Start(6.0f, 50.0f, 500);
    ASSERT_EQ(p.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(305, 140), CellColor('5'));
    EXPECT_EQ(BackPixel(314, 155), CellColor('5'));
    EXPECT_EQ(BackPixel(315, 140), CellColor('0'));
    EXPECT_EQ(BackPixel(334, 155), CellColor('0'));
    EXPECT_EQ(BackPixel(304, 140), 0);
    EXPECT_EQ(BackPixel(335, 140), 0);
    EXPECT_EQ(BackPixel(320, 156), 0);
}

TEST_F(PointNumber, AMinusSignLeavesAGapAndDigitsOffScreenAreSkipped)
{
    CPointNumber p;
    p.SetNumber(-5);
    p.m_fX = 320.0f;
    p.m_fY = 200.0f;
    p.Start(6.0f, 50.0f, 500);
    ASSERT_EQ(p.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(312, 145), 0);
    EXPECT_EQ(BackPixel(322, 145), CellColor('5'));

    FillBack(0);
    p.SetNumber(12);
    p.m_fX = 0.0f;  // "1" lies wholly left of the screen
    ASSERT_EQ(p.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(0, 145), CellColor('2'));
    EXPECT_EQ(BackPixel(9, 145), CellColor('2'));

    FillBack(0);
    p.SetNumber(47);
    p.m_fX = 638.0f;  // "7" cut at the right edge
    ASSERT_EQ(p.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(628, 145), CellColor('4'));
    EXPECT_EQ(BackPixel(639, 145), CellColor('7'));
}

TEST_F(PointNumber, TheDigitStripRunsZeroToNineFromTheTop)
{
    IDirectDrawSurface7* lpSource = CreateDevicePlaneSurface(g_lpD3DDevice, 100, 16, MEM_SYSTEM);
    for (int k = 0; k < 10; k++) {
        FillRect(lpSource, 10 * k, 0, 10, 16, (WORD)(0x0800 * (k + 1)));  // cells 1..9, 0
    }
    IDirectDrawSurface7* lpStrip = CSlideNumber::BuildDigitStrip(g_lpD3DDevice, lpSource, 10, 16);
    ASSERT_NE(lpStrip, nullptr);
    int w, h;
    GetSurfaceSize(lpStrip, &w, &h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 160);
    RECT rcSrc = {0, 0, 10, 160};
    RECT rcDest = {0, 0, 10, 160};
    ASSERT_EQ(BltOk(g_lpDDSBack, &rcDest, lpStrip, &rcSrc, DDBLT_WAIT, nullptr), 1);
    EXPECT_EQ(BackPixel(5, 5), CellColor('0'));
    EXPECT_EQ(BackPixel(5, 16 + 5), CellColor('1'));
    EXPECT_EQ(BackPixel(5, 9 * 16 + 5), CellColor('9'));
    lpStrip->Release();
    lpSource->Release();
}
