// Full screen shows the 640 x 480 picture as large as the desktop allows with its aspect kept:
// the destination rectangle that the SDL host copies the frame into.
#include <gtest/gtest.h>

#include "platform/host/Host.h"

namespace {

void ExpectRect(const HOSTRECT& rc, int x, int y, int w, int h)
{
    EXPECT_EQ(rc.x, x);
    EXPECT_EQ(rc.y, y);
    EXPECT_EQ(rc.w, w);
    EXPECT_EQ(rc.h, h);
}

} // namespace

TEST(HostFitTest, WideDesktopsGetBarsLeftAndRight)
{
    ExpectRect(FitKeepingAspect(640, 480, 1920, 1080), 240, 0, 1440, 1080);
    ExpectRect(FitKeepingAspect(640, 480, 1366, 768), 171, 0, 1024, 768);
    ExpectRect(FitKeepingAspect(640, 480, 2560, 1440), 320, 0, 1920, 1440);
}

TEST(HostFitTest, TallDesktopsGetBarsAboveAndBelow)
{
    ExpectRect(FitKeepingAspect(640, 480, 1280, 1024), 0, 32, 1280, 960);
    ExpectRect(FitKeepingAspect(640, 480, 1080, 1920), 0, 555, 1080, 810);
}

TEST(HostFitTest, TheSameAspectFillsTheOutputAndTheWindowIsUnchanged)
{
    ExpectRect(FitKeepingAspect(640, 480, 640, 480), 0, 0, 640, 480);
    ExpectRect(FitKeepingAspect(640, 480, 1600, 1200), 0, 0, 1600, 1200);
    ExpectRect(FitKeepingAspect(640, 480, 320, 240), 0, 0, 320, 240);
}

TEST(HostFitTest, TheScaledPictureNeverLeavesTheOutputNorStretchesItsAspect)
{
    for (int w = 100; w <= 2000; w += 37) {
        for (int h = 100; h <= 2000; h += 53) {
            const HOSTRECT rc = FitKeepingAspect(640, 480, w, h);
            ASSERT_GE(rc.x, 0);
            ASSERT_GE(rc.y, 0);
            ASSERT_LE(rc.x + rc.w, w);
            ASSERT_LE(rc.y + rc.h, h);
            // One side fills the output; the other is within a pixel of 4:3.
            ASSERT_TRUE(rc.w == w || rc.h == h) << w << "x" << h;
            ASSERT_LE(std::abs(rc.w * 3 - rc.h * 4), 4) << w << "x" << h;
            // Centred: the bars on both sides differ by at most a pixel.
            ASSERT_LE(std::abs((w - rc.w - rc.x) - rc.x), 1);
            ASSERT_LE(std::abs((h - rc.h - rc.y) - rc.y), 1);
        }
    }
}

TEST(HostFitTest, EmptySizesGiveAnEmptyRectangle)
{
    ExpectRect(FitKeepingAspect(0, 480, 1920, 1080), 0, 0, 0, 0);
    ExpectRect(FitKeepingAspect(640, 480, 0, 1080), 0, 0, 0, 0);
    ExpectRect(FitKeepingAspect(640, -1, 1920, 1080), 0, 0, 0, 0);
}
