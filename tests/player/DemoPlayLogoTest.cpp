// The demo-play caption: its two halves in turn every 30 ms of frame time, drawn at (330, 395),
// nothing while hidden.
#include <gtest/gtest.h>

#include "player/DemoPlayLogo.h"
#include "player/ScreenFixture.h"
#include "support/BmpPixels.h"

namespace {

using DemoPlayLogoTest = CScreenFixture;

TEST_F(DemoPlayLogoTest, TheHalvesAlternateEverySecondPass)
{
    CDemoPlayLogo logo;
    ASSERT_EQ(logo.Load(g_lpD3DDevice), 1);
    EXPECT_TRUE(logo.IsHidden());
    logo.Start();
    std::vector<int> frames;
    for (int i = 0; i < 8; i++) {
        Tick();
        logo.Update();
        frames.push_back(logo.GetFrame());
    }
    // 16.666 ms a pass: more than 30 ms have passed at every second one.
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 1, 0, 0, 1, 1, 0}));
    logo.Hide();
    for (int i = 0; i < 5; i++) {
        Tick();
        logo.Update();
    }
    EXPECT_EQ(logo.GetFrame(), 0);
    logo.Start();
    EXPECT_EQ(logo.GetFrame(), 0);
    EXPECT_FALSE(logo.IsHidden());
}

TEST_F(DemoPlayLogoTest, ItDrawsTheCurrentHalfAtItsPlaceAndNothingWhenHidden)
{
    const CBmpPixels picture("GameData/System/DemoPlay.bmp");
    const int w = picture.Width(), h = picture.Height() / 2;
    ASSERT_GT(w, 0);
    CDemoPlayLogo logo;
    ASSERT_EQ(logo.Load(g_lpD3DDevice), 1);
    logo.Start();
    for (int nFrame = 0; nFrame < 2; nFrame++) {
        while (logo.GetFrame() != nFrame) {
            Tick();
            logo.Update();
        }
        FillBack(0x0001);
        logo.Draw(g_lpDDSBack);
        int nSame = 0, nKey = 0;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w && 330 + x < 640; x++) {
                const WORD src = picture.Rgb565(x, nFrame * h + y);
                if (src == 0x07E0) {
                    nKey++;
                    nSame += BackPixel(330 + x, 395 + y) == 0x0001;
                } else {
                    nSame += BackPixel(330 + x, 395 + y) == src;
                }
            }
        }
        EXPECT_EQ(nSame, std::min(w, 310) * h) << nFrame;
        EXPECT_GT(nKey, 0);
        EXPECT_EQ(CountBack(0, 0, 640, 395, 0x0001), 640 * 395);
    }
    logo.Hide();
    FillBack(0x0001);
    logo.Draw(g_lpDDSBack);
    EXPECT_EQ(CountBack(0, 0, 640, 480, 0x0001), 640 * 480);
}

} // namespace
