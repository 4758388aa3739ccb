// The whole program on the headless host: the process frame, the game object, its test screen,
// the fader and the present, checked on the frames the host receives.
#include <gtest/gtest.h>

#include "scene/Game.h"
#include "scene/ProgramRun.h"

namespace {

WORD Rgb565(int r, int g, int b)
{
    return static_cast<WORD>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

using TestScreenRun = CProgramRun;

} // namespace

TEST_F(TestScreenRun, ShowsThePictureOnceTheFadeInHasEnded)
{
    // The fade in from black ends on the 91st update; the next fade starts a second later.
    ASSERT_EQ(Run(120), 0);
    EXPECT_EQ(m_Host.GetPresentCount(), 121);
    ASSERT_EQ(m_Host.GetLastFrameWidth(), 640);
    EXPECT_TRUE(m_Game.GetFader().IsDone());
    EXPECT_EQ(m_Game.GetFader().GetAlpha(), 0.0f);
    // The plain copy keeps its green corner; the keyed one lets the background through.
    EXPECT_EQ(Pixel(8, 8), 0x07E0);
    EXPECT_EQ(Pixel(80, 8), Rgb565(40, 48, 72));
    EXPECT_EQ(Pixel(8 + 32, 8 + 32), Rgb565(40, 80, 255));
    EXPECT_EQ(Pixel(80 + 32, 8 + 32), Rgb565(40, 80, 255));
    // The colour bars, white first and black last.
    EXPECT_EQ(Pixel(40, 450), 0xFFFF);
    EXPECT_EQ(Pixel(600, 430), 0x0000);
    // The picture clipped at the bottom-right corner reaches the last pixel.
    EXPECT_NE(Pixel(639, 479), 0x0000);
}

TEST_F(TestScreenRun, StartsUnderABlackFade)
{
    ASSERT_EQ(Run(1), 0);
    // After one update the black quad is still all but opaque: at most one step of any channel
    // shows through, even over white and pure green.
    for (WORD w : {Pixel(40, 450), Pixel(8, 8), Pixel(320, 200)}) {
        EXPECT_LE(w >> 11, 1) << std::hex << w;
        EXPECT_LE((w >> 5) & 0x3F, 1) << std::hex << w;
        EXPECT_LE(w & 0x1F, 1) << std::hex << w;
    }
}

TEST_F(TestScreenRun, RunsWithoutTheDataSetAndLeavesTheMissingPicturesOut)
{
    // No GameData here: the index pictures are absent, the rest of the screen is drawn.
    ASSERT_EQ(Run(120), 0);
    EXPECT_EQ(Pixel(8 + 20, 120 + 20), Rgb565(40, 48, 72));
    EXPECT_TRUE(m_Host.GetMessageBoxes().empty());
}
