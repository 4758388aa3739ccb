// Pop-in images, slide surfaces, menu items and text surfaces: their motion update by update, and
// what they put on the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/MenuItem.h"
#include "engine/PopSurface.h"
#include "engine/ShowableSet.h"
#include "engine/SlideSurface.h"
#include "engine/TextSurface.h"
#include "engine/WidgetFixture.h"

namespace {

std::vector<float> Rounded(const std::vector<float>& v)
{
    std::vector<float> r;
    for (float f : v) {
        r.push_back(std::round(f * 100.0f) / 100.0f);
    }
    return r;
}

class Widgets : public CWidgetFixture {
protected:
    void SetUp() override
    {
        CWidgetFixture::SetUp();
        FillBack(0);
    }
};

} // namespace

// ---- Pop-in images ----------------------------------------------------------------------------------

TEST(PopSurface, PopsTwiceAndComesToRestAtFullSize)
{
    CPopSurface pop;
    pop.Start();
    std::vector<float> scales;
    for (int i = 0; i < 12; i++) {
        pop.Update();
        scales.push_back(pop.GetPopScale().fValue);
    }
    EXPECT_EQ(Rounded(scales),
              (std::vector<float>{0.4f, 0.8f, 1.2f, 1.5f, 1.1f, 0.18f, 0.58f, 0.98f, 1.2f, 1.0f, 1.0f, 1.0f}));
}

TEST(PopSurface, PopOutFlattensInFourUpdates)
{
    CPopSurface pop;
    pop.StartPopOut();  // finished: nothing
    EXPECT_EQ(pop.GetMode(), CPopSurface::MODE_POP);
    pop.Start();
    pop.StartPopOut();
    std::vector<float> heights;
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(pop.IsFinished(), 0);
        pop.Update();
        heights.push_back(pop.GetHeightScale().fValue);
    }
    EXPECT_EQ(Rounded(heights), (std::vector<float>{0.7f, 0.4f, 0.1f, 0.0f}));
    EXPECT_EQ(pop.IsFinished(), 1);
    EXPECT_EQ(pop.GetWidthScale().fValue, 1.0f);
}

TEST(PopSurface, BurstStretchesUpwardsAndDrifts)
{
    CPopSurface pop;
    pop.m_fY = 100.0f;
    pop.Start();
    pop.StartBurst();
    std::vector<float> heights, widths;
    for (int i = 0; i < 4; i++) {
        pop.Update();
        heights.push_back(pop.GetHeightScale().fValue);
        widths.push_back(pop.GetWidthScale().fValue);
    }
    EXPECT_EQ(Rounded(heights), (std::vector<float>{1.3f, 1.6f, 1.9f, 2.0f}));
    EXPECT_EQ(Rounded(widths), (std::vector<float>{0.85f, 0.7f, 0.55f, 0.4f}));
    EXPECT_EQ(pop.m_fY, 84.0f);
    EXPECT_EQ(pop.IsFinished(), 1);
}

TEST_F(Widgets, PopBlinksEverySecondTickAtTwentyMilliseconds)
{
    CPopSurface pop;
    pop.Start();
    std::vector<int> images;
    for (int i = 0; i < 6; i++) {
        Tick();
        pop.Update();
        images.push_back(pop.GetImageIndex());
    }
    EXPECT_EQ(images, (std::vector<int>{0, 1, 1, 0, 0, 1}));
    pop.SetBlink(0);
    EXPECT_EQ(pop.GetImageIndex(), 0);
}

TEST_F(Widgets, APopHalfOffTheRightEdgeShowsItsVisibleHalf)
{
    IDirectDrawSurface7* lp = MakePicture(40, 20, 0xF800);
    FillRect(lp, 20, 0, 20, 20, 0x001F);
    CPopSurface pop;
    const RECT rc = {0, 0, 40, 20};
    ASSERT_EQ(pop.LoadImageFiles(g_lpD3DDevice, lp, &rc, nullptr), 1);
    lp->Release();
    pop.Start();
    for (int i = 0; i < 10; i++) {
        pop.Update();
    }
    ASSERT_EQ(pop.GetPopScale().fValue, 1.0f);
    pop.m_fX = 640.0f;
    pop.m_fY = 100.0f;
    ASSERT_EQ(pop.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(620, 95), 0xF800);
    EXPECT_EQ(BackPixel(639, 105), 0xF800);
    EXPECT_EQ(BackPixel(619, 95), 0);
}

TEST_F(Widgets, AClippedPopAtDoubleSizeCutsThePictureInProportion)
{
    IDirectDrawSurface7* lp = MakePicture(40, 20, 0xF800);
    FillRect(lp, 20, 0, 20, 20, 0x001F);
    CPopSurface pop;
    ASSERT_EQ(pop.LoadImageFiles(g_lpD3DDevice, lp, nullptr, nullptr), 1);
    lp->Release();
    pop.Start();
    pop.StartBurst();
    for (int i = 0; i < 3; i++) {
        pop.Update();  // height 1.9, width 0.55: 22 x 38
    }
    pop.m_fX = 0.0f;  // left half of the stretched picture off screen
    pop.m_fY = 100.0f;
    ASSERT_EQ(pop.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(0, 100), 0x001F);
    EXPECT_EQ(BackPixel(10, 100), 0x001F);
    EXPECT_EQ(BackPixel(11, 100), 0);
}

// ---- Slide surfaces ---------------------------------------------------------------------------------

namespace {

// Four frames 16 high on a 10-wide strip, frame i in colour 0x0800 * (i + 1).
IDirectDrawSurface7* MakeStrip()
{
    IDirectDrawSurface7* lp = CreateDevicePlaneSurface(g_lpD3DDevice, 10, 64, MEM_SYSTEM);
    for (int i = 0; i < 4; i++) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = (DWORD)(0x0800 * (i + 1));
        RECT rc = {0, 16 * i, 10, 16 * i + 16};
        lp->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    SetColorKeyGreen(lp);
    return lp;
}

std::vector<float> Roll(CSlideSurfBase& s, int n)
{
    std::vector<float> v;
    for (int i = 0; i < n; i++) {
        s.Move();
        v.push_back(s.GetPosition());
    }
    return v;
}

} // namespace

TEST_F(Widgets, TheDrumRollsForwardsAndRoundThroughItsEnd)
{
    IDirectDrawSurface7* lp = MakeStrip();
    CSlideSurfBase s;
    s.Setup(lp, 10, 16, 4);
    s.SetFrame(1);
    s.SlideTo(3, 0);
    EXPECT_EQ(Roll(s, 5), (std::vector<float>{24, 32, 40, 48, 48}));
    s.SlideTo(0, 0);
    EXPECT_EQ(Roll(s, 3), (std::vector<float>{56, 0, 0}));
    s.SlideTo(3, 1);
    EXPECT_EQ(Roll(s, 3), (std::vector<float>{56, 48, 48}));
    s.SlideTo(9, 0);  // no such frame
    EXPECT_EQ(s.GetFrame(), 3);
    lp->Release();
}

TEST_F(Widgets, TheWindowSqueezesTheTwoFramesThatMeetInIt)
{
    IDirectDrawSurface7* lp = MakeStrip();
    CSlideSurfBase s;
    s.Setup(lp, 10, 16, 4);
    s.SetFrame(0);
    s.SlideTo(1, 1);
    s.SetSlideSpeed(8.0f);
    s.Move();  // position 8
    ASSERT_EQ(s.Draw(g_lpDDSBack, lp, 100.0f, 50.0f), 1);
    EXPECT_EQ(BackPixel(105, 50), 0x0800);
    EXPECT_EQ(BackPixel(105, 57), 0x0800);
    EXPECT_EQ(BackPixel(105, 58), 0x1000);
    EXPECT_EQ(BackPixel(105, 65), 0x1000);
    EXPECT_EQ(BackPixel(105, 66), 0);
    s.SetFrame(1);
    ASSERT_EQ(s.Draw(g_lpDDSBack, lp, 100.0f, 50.0f), 1);
    EXPECT_EQ(BackPixel(105, 50), 0x1000);
    EXPECT_EQ(BackPixel(105, 65), 0x1000);
    lp->Release();
}

TEST_F(Widgets, ASlideSurfaceTakesAtMostTenFrames)
{
    IDirectDrawSurface7* lp = MakeStrip();
    CSlideSurface s;
    EXPECT_EQ(s.CreateStrip(g_lpD3DDevice, lp, 10, 16, 11, nullptr), 0);
    EXPECT_EQ(s.CreateStrip(g_lpD3DDevice, lp, 10, 16, 4, nullptr), 1);
    EXPECT_EQ(s.Draw(g_lpDDSBack), 1);  // hidden
    EXPECT_EQ(BackPixel(0, 0), 0);
    s.Show();
    s.SlideTo(2, 1);
    for (int i = 0; i < 4; i++) {
        s.Update();
    }
    EXPECT_EQ(s.GetRoller().GetPosition(), 32.0f);
    EXPECT_EQ(s.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(5, 5), 0x1800);
    lp->Release();
}

// ---- Menu items -------------------------------------------------------------------------------------

namespace {

void MakeItem(CMenuItem& item)
{
    IDirectDrawSurface7* lp = CreateDevicePlaneSurface(g_lpD3DDevice, 200, 40, MEM_SYSTEM);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0xFFFF;
    lp->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    ASSERT_EQ(item.CreateFromSurface(g_lpD3DDevice, lp, nullptr), 1);
    lp->Release();
}

} // namespace

TEST(MenuItem, OpensAndClosesInFourUpdates)
{
    CMenuItem item;
    EXPECT_EQ(item.IsHidden(), 1);
    EXPECT_EQ(item.GetFlags(), (DWORD)CMenuItem::FLAG_NOT_SELECTED);
    item.StartPopIn();
    std::vector<float> scales;
    for (int i = 0; i < 4; i++) {
        item.Update();
        scales.push_back(item.GetScale().fValue);
    }
    EXPECT_EQ(Rounded(scales), (std::vector<float>{0.3f, 0.6f, 0.9f, 1.0f}));
    EXPECT_TRUE(item.GetFlags() & CMenuItem::FLAG_FULL);
    EXPECT_EQ(item.IsHidden(), 0);
    item.StartPopOut();
    scales.clear();
    for (int i = 0; i < 4; i++) {
        item.Update();
        scales.push_back(item.GetScale().fValue);
    }
    EXPECT_EQ(Rounded(scales), (std::vector<float>{0.7f, 0.4f, 0.1f, 0.0f}));
    EXPECT_EQ(item.IsHidden(), 1);
    item.Select();
    EXPECT_EQ(item.GetFlags() & 3u, (DWORD)CMenuItem::FLAG_SELECTED);
    item.Deselect();
    EXPECT_EQ(item.GetFlags() & 3u, (DWORD)CMenuItem::FLAG_NOT_SELECTED);
}

TEST_F(Widgets, AHalfOpenItemSqueezesTheWholePictureAboutItsCentre)
{
    CMenuItem item;
    MakeItem(item);
    item.m_fX = 320.0f;
    item.m_fY = 240.0f;
    item.StartPopIn();
    item.Update();  // 0.3
    ASSERT_EQ(item.Draw(g_lpDDSBack), 1);
    // 200 x 12 centred on (320, 240).
    EXPECT_EQ(BackPixel(220, 234), 0xFFFF);
    EXPECT_EQ(BackPixel(419, 245), 0xFFFF);
    EXPECT_EQ(BackPixel(220, 233), 0);
    EXPECT_EQ(BackPixel(220, 246), 0);
    EXPECT_EQ(BackPixel(219, 240), 0);
}

TEST_F(Widgets, ADeselectedItemWithAHighlightIsBlendedOverTheBackground)
{
    const RECT rcKey = {0, 0, 4, 10};  // a keyed margin on the left
    ASSERT_TRUE(WriteBmp("Normal.bmp", 20, 10, 0xFFFFFF, &rcKey, 0x00FF00));
    ASSERT_TRUE(WriteBmp("High.bmp", 20, 10, 0xFF0000, &rcKey, 0x00FF00));
    CMenuItem item;
    ASSERT_EQ(item.LoadImageFiles(g_lpD3DDevice, "Normal.bmp", "High.bmp"), 1);
    item.ShowNow();
    item.m_fX = 50.0f;
    item.m_fY = 50.0f;
    FillBack(0x001F);
    ASSERT_EQ(item.Draw(g_lpDDSBack), 1);
    // (55 * background + 200 * white) / 256 per channel; the keyed margin leaves the background.
    EXPECT_EQ(BackPixel(50, 50), (WORD)((24 << 11) | (49 << 5) | ((55 * 31 + 200 * 31) / 256)));
    EXPECT_EQ(BackPixel(41, 50), 0x001F);
    item.Select();
    ASSERT_EQ(item.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(50, 50), 0xF800);
    EXPECT_EQ(BackPixel(41, 50), 0x001F);
    EXPECT_EQ(item.LoadImageFiles(g_lpD3DDevice, "Missing.bmp", nullptr), 0);
}

TEST_F(Widgets, TheMarqueeWrapsOnlyAboveItsWidth)
{
    IDirectDrawSurface7* lp = MakePicture(640, 10, 0xF800);
    FillRect(lp, 540, 0, 100, 10, 0x001F);
    CMIBoss band;
    ASSERT_EQ(band.CreateFromSurface(g_lpD3DDevice, lp, nullptr), 1);
    lp->Release();
    band.ShowNow();
    band.m_fY = 100.0f;
    band.SetOffset(100.0f);
    ASSERT_EQ(band.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(0, 100), 0x001F);
    EXPECT_EQ(BackPixel(99, 100), 0x001F);
    EXPECT_EQ(BackPixel(100, 100), 0xF800);
    EXPECT_EQ(BackPixel(639, 100), 0xF800);
    band.m_fScrollSpeed = 4.0f;
    band.SetOffset(636.0f);
    band.Update();
    EXPECT_EQ(band.GetOffset(), 640.0f);
    FillBack(0);
    ASSERT_EQ(band.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(0, 100), 0xF800);
    EXPECT_EQ(BackPixel(639, 100), 0x001F);
    band.Update();
    EXPECT_EQ(band.GetOffset(), 4.0f);
}

// ---- Text surfaces ----------------------------------------------------------------------------------

TEST_F(Widgets, TextRisesAlongItsAngleWhileTheSpeedEases)
{
    CShowableSet::Clear();
    CTextSurface text;
    text.SetStartPos(100.0f, 100.0f, 0.0f);
    text.m_fAngle = 0.0f;
    text.m_Speed.Set(4.0f, -0.5f, 0.0f, 4.0f, 1);
    text.m_nLifetime = 60;
    text.Start();
    EXPECT_EQ(CShowableSet::GetAt(0, 0), &text);
    std::vector<float> xs;
    for (int i = 0; i < 10; i++) {
        text.Update();
        xs.push_back(text.m_fX);
    }
    EXPECT_EQ(xs, (std::vector<float>{104, 107.5f, 110.5f, 113, 115, 116.5f, 117.5f, 118, 118, 118}));
    for (int i = 10; i < 59; i++) {
        text.Update();
    }
    EXPECT_EQ(text.IsStopped(), 0);
    text.Update();
    EXPECT_EQ(text.IsStopped(), 1);
    EXPECT_EQ(CShowableSet::GetAt(0, 0), nullptr);
}

TEST_F(Widgets, TheShadowLiesOnePixelRightAndBelowTheText)
{
    CShowableSet::Clear();
    CTextSurface text;
    ASSERT_EQ(text.SetSurfaces(g_lpD3DDevice, MakePicture(10, 10, 0xFFFF), MakePicture(10, 10, 0x0841)), 1);
    text.SetStartPos(50.0f, 50.0f, 0.0f);
    text.Start();
    ASSERT_EQ(text.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(45, 45), 0xFFFF);
    EXPECT_EQ(BackPixel(54, 54), 0xFFFF);
    EXPECT_EQ(BackPixel(55, 55), 0x0841);
    EXPECT_EQ(BackPixel(46, 55), 0x0841);
    EXPECT_EQ(BackPixel(45, 55), 0);
}

TEST_F(Widgets, DrawAllDrawsLayerOneThenTheScenesThenLayerZero)
{
    CShowableSet::Clear();
    CTextSurface over, under;
    ASSERT_EQ(over.SetSurfaces(g_lpD3DDevice, MakePicture(10, 10, 0xFFFF), nullptr), 1);
    ASSERT_EQ(under.SetSurfaces(g_lpD3DDevice, MakePicture(10, 10, 0xF800), nullptr), 1);
    over.SetStartPos(50.0f, 50.0f, 0.0f);
    under.SetStartPos(55.0f, 50.0f, 0.0f);
    over.Start();
    under.Start();
    CShowableSet::Unregister(&under, 0);
    CShowableSet::Register(&under, 1);
    // Text surfaces keep the default 3D draw: the result is 0, the pictures are drawn all the same.
    EXPECT_EQ(CShowableSet::DrawAll(g_lpDDSBack, g_lpD3DDevice), 0);
    EXPECT_EQ(BackPixel(54, 50), 0xFFFF);
    EXPECT_EQ(BackPixel(55, 50), 0xF800);
    under.Stop();
    CShowableSet::Unregister(&under, 1);
}
