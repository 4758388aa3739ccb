#include <gtest/gtest.h>

#include <string>

#include "engine/AppTimer.h"
#include "engine/SurfaceUtil.h"
#include "platform/ddraw/DDraw.h"
#include "stage/Object.h"

namespace {

DWORD Check(DWORD dwAttr)
{
    CObject obj("K1");
    obj.SetAttribute(dwAttr);
    return obj.CheckAttribute();
}

class ObjectClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::Reset(0);
        for (int i = 0; i < 3; i++)
            CAppTimer::FrameTick();  // a running clock is never 0
    }
    // Advances the frame clock past ms milliseconds.
    static void Wait(int ms)
    {
        DWORD dwEnd = CAppTimer::GetElapsed(0) + (DWORD)ms;
        while (CAppTimer::GetElapsed(0) <= dwEnd)
            CAppTimer::FrameTick();
    }
};

} // namespace

TEST(ObjectTest, ExclusiveAttributeGroups)
{
    EXPECT_FALSE(Check(OBJATTR_RIDEON | OBJATTR_RUNUP2));
    EXPECT_TRUE(Check(OBJATTR_TOUCH | OBJATTR_CRUSH32 | OBJATTR_ADDBLT));
    EXPECT_FALSE(Check(OBJATTR_CRUSH16 | OBJATTR_CRUSH00));
    EXPECT_FALSE(Check(OBJATTR_TOUCH | OBJATTR_NOTOUCH));
    EXPECT_FALSE(Check(OBJATTR_RUNUP1 | OBJATTR_RUNUP3));
    EXPECT_FALSE(Check(OBJATTR_TOUCH | OBJATTR_RUNDOWN2));
    EXPECT_FALSE(Check(OBJATTR_ADDBLT | OBJATTR_50BLT));
    EXPECT_FALSE(Check(OBJATTR_NOTOUCH | OBJATTR_MOVEUP));
    EXPECT_TRUE(Check(OBJATTR_RUNUP1 | OBJATTR_DAMAGE | OBJATTR_CRUSH64));
}

TEST(ObjectTest, AddNoTouchMakesOnlyTypesWithoutTerrainBitsScenery)
{
    const DWORD kTerrain[] = {OBJATTR_TOUCH, OBJATTR_RIDEON, OBJATTR_RUNUP2, OBJATTR_RUNDOWN3, OBJATTR_MOVEUP,
                              OBJATTR_MOVEDOWN};
    for (DWORD dw : kTerrain) {
        CObject obj("A1");
        obj.SetAttribute(dw);
        obj.AddNoTouch();
        EXPECT_EQ(obj.GetAttribute(), dw);
    }
    CObject scenery("T1");
    scenery.SetAttribute(OBJATTR_ADDBLT | OBJATTR_DAMAGE);
    scenery.AddNoTouch();
    EXPECT_EQ(scenery.GetAttribute(), OBJATTR_ADDBLT | OBJATTR_DAMAGE | OBJATTR_NOTOUCH);
}

TEST(ObjectTest, AttributeTextUsesTheStageFileWords)
{
    CObject obj("A1");
    obj.SetAttribute(OBJATTR_TOUCH | OBJATTR_RUNUP2 | OBJATTR_CRUSH16);
    EXPECT_STREQ(obj.AttributeToText(), "TOUCH, RUNUP2, CRUSH16, ");
    obj.SetAttribute(OBJATTR_RUNDOWN1 | OBJATTR_50BLT | OBJATTR_DAMAGE | OBJATTR_NOTRANCE);
    EXPECT_STREQ(obj.AttributeToText(), "RUNDOWN1, 50%BLT, NOTRANCE, ");
}

TEST(ObjectTest, NameRegionKeyAndCrushLife)
{
    CObject obj("G1xyz");
    EXPECT_STREQ(obj.GetName(), "G1");
    EXPECT_STREQ(obj.GetRectKey(), "");
    RECT rc = {1, 1, 64, 64};
    obj.SetRect(&rc);
    EXPECT_STREQ(obj.GetRectKey(), "=1:1:64:64");
    RECT adj = AdjustObjectRegion(rc);
    EXPECT_EQ(adj.left, 0);
    EXPECT_EQ(adj.top, 0);
    EXPECT_EQ(adj.right - adj.left, 64);
    EXPECT_EQ(adj.bottom - adj.top, 64);
    EXPECT_TRUE(IsValidObjectRegion(1, 1, 64, 64));
    EXPECT_TRUE(IsValidObjectRegion(5, 5, 5, 5));
    EXPECT_FALSE(IsValidObjectRegion(0, 1, 64, 64));
    EXPECT_FALSE(IsValidObjectRegion(10, 1, 9, 64));

    const struct {
        DWORD dwAttr;
        int nLife;
    } kCases[] = {{OBJATTR_CRUSH16, 16}, {OBJATTR_CRUSH32, 32}, {OBJATTR_CRUSH48, 48},
                  {OBJATTR_CRUSH64, 64}, {OBJATTR_CRUSH00, 0x7FFFFFFF}, {OBJATTR_TOUCH, -1}};
    for (const auto& c : kCases) {
        CObject k("K1");
        k.SetAttribute(c.dwAttr | OBJATTR_TOUCH);
        k.SetImageFile("Missing.bmp");
        EXPECT_EQ(k.Load(nullptr, "./no-such-folder/"), 1);
        EXPECT_EQ(k.GetCrushLife(), c.nLife);
        EXPECT_EQ(k.GetCrushBits(), c.dwAttr & OBJATTR_CRUSH);
    }
}

TEST(ObjectTest, MissingPictureDrawsNothingAndSucceeds)
{
    CObject obj("G1");
    obj.SetAttribute(OBJATTR_TOUCH);
    obj.SetImageFile("Missing.bmp");
    obj.Load(nullptr, "./no-such-folder/");
    D3DVECTOR pos = {{10.0f}, {100.0f}, {0.0f}};
    EXPECT_EQ(obj.Draw2D(nullptr, &pos), 1);
    EXPECT_EQ(obj.DrawFlash2D(nullptr, &pos), 1);
    EXPECT_EQ(obj.Draw3D(nullptr, &pos), 1);
}

TEST_F(ObjectClockTest, AnimationShowsTheLastFrameFirstThenCycles)
{
    CObject a("A1"), b("B1"), anim("WA");
    a.SetAttribute(OBJATTR_TOUCH);
    b.SetAttribute(OBJATTR_RIDEON);
    anim.AddAnimFrame(&a, 100);
    anim.AddAnimFrame(&b, 200);
    EXPECT_TRUE(anim.IsAnimate());
    anim.SetAttribute(OBJATTR_RIDEON | OBJATTR_RUNUP1);
    EXPECT_TRUE(anim.CheckAttribute());
    EXPECT_EQ(anim.GetAttribute(), OBJATTR_RIDEON);  // frame B first
    anim.StartAnimationClock();
    float x = 100.0f;
    Wait(150);
    anim.Advance(2.0f, &x);
    EXPECT_EQ(x, 98.0f);
    EXPECT_EQ(anim.GetAttribute(), OBJATTR_RIDEON);  // B lasts 200 ms
    Wait(60);
    anim.Advance(2.0f, &x);
    EXPECT_EQ(anim.GetAttribute(), OBJATTR_TOUCH);  // then A
    Wait(101);
    anim.Advance(2.0f, &x);
    EXPECT_EQ(anim.GetAttribute(), OBJATTR_RIDEON);  // back to B
    EXPECT_EQ(x, 94.0f);
}

TEST_F(ObjectClockTest, AnimationClockStartsOnce)
{
    CObject a("A1"), anim("WA");
    anim.AddAnimFrame(&a, 500);
    anim.StartAnimationClock();
    DWORD dwStart = anim.m_dwFrameClock;
    EXPECT_NE(dwStart, 0u);
    CAppTimer::FrameTick();
    anim.StartAnimationClock();
    EXPECT_EQ(anim.m_dwFrameClock, dwStart);
    anim.ClearAnimation();
    EXPECT_FALSE(anim.IsAnimate());
    EXPECT_EQ(anim.m_dwFrameClock, 0u);
}

namespace {

IDirectDraw7* TestDirectDraw()
{
    static IDirectDraw7* s_lpDD = nullptr;
    if (!s_lpDD)
        DirectDrawCreateEx(nullptr, (LPVOID*)&s_lpDD, IID_IDirectDraw7, nullptr);
    return s_lpDD;
}

DWORD PixelAt(IDirectDrawSurface7* lpSurface, int x, int y)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (!LockSurfaceRetrying(lpSurface, &desc))
        return 0xFFFFFFFF;
    DWORD dw = ReadRowPixel((const uint8_t*)desc.lpSurface + y * desc.lPitch, x, 2);
    lpSurface->Unlock(nullptr);
    return dw;
}

} // namespace

TEST(ObjectDrawTest, PictureIsBlittedSixteenPixelsHigherWithItsKeyAndClipped)
{
    IDirectDrawSurface7* lpTarget = CreatePlaneSurface(TestDirectDraw(), 640, 480, MEM_SYSTEM);
    IDirectDrawSurface7* lpPicture = CreatePlaneSurface(TestDirectDraw(), 8, 8, MEM_SYSTEM);
    ASSERT_NE(lpTarget, nullptr);
    ASSERT_NE(lpPicture, nullptr);
    FillSurfaceColor(lpTarget, 0.0f, 0.0f, 0.0f, nullptr);
    FillSurfaceColor(lpPicture, 1.0f, 0.0f, 0.0f, nullptr);
    RECT rcKey = {0, 0, 4, 8};
    FillSurfaceColor(lpPicture, 0.0f, 1.0f, 0.0f, &rcKey);  // left half transparent
    SetColorKeyGreen(lpPicture);

    CObject obj("K1");
    obj.SetAttribute(OBJATTR_TOUCH);
    obj.m_lpPicture = lpPicture;  // the type releases it
    obj.m_nWidth = 8;
    obj.m_nHeight = 8;
    D3DVECTOR pos = {{100.7f}, {216.9f}, {0.0f}};
    EXPECT_EQ(obj.Draw2D(lpTarget, &pos), 1);
    EXPECT_EQ(PixelAt(lpTarget, 103, 200), 0u);       // keyed
    EXPECT_EQ(PixelAt(lpTarget, 104, 200), 0xF800u);  // red at (x, y - 16)
    EXPECT_EQ(PixelAt(lpTarget, 107, 207), 0xF800u);
    EXPECT_EQ(PixelAt(lpTarget, 108, 200), 0u);
    EXPECT_EQ(PixelAt(lpTarget, 104, 208), 0u);

    // Partly off the left edge: the visible columns land at the screen edge.
    D3DVECTOR edge = {{-6.0f}, {16.0f}, {0.0f}};
    EXPECT_EQ(obj.Draw2D(lpTarget, &edge), 1);
    EXPECT_EQ(PixelAt(lpTarget, 0, 0), 0xF800u);
    EXPECT_EQ(PixelAt(lpTarget, 1, 0), 0xF800u);
    EXPECT_EQ(PixelAt(lpTarget, 2, 0), 0u);
    // At x = -width nothing is visible; the draw still succeeds.
    D3DVECTOR gone = {{-8.0f}, {100.0f}, {0.0f}};
    EXPECT_EQ(obj.Draw2D(lpTarget, &gone), 1);

    // A blended type has no 2D picture.
    obj.SetAttribute(OBJATTR_ADDBLT);
    FillSurfaceColor(lpTarget, 0.0f, 0.0f, 0.0f, nullptr);
    EXPECT_EQ(obj.Draw2D(lpTarget, &pos), 1);
    EXPECT_EQ(PixelAt(lpTarget, 104, 200), 0u);
    lpTarget->Release();
}
