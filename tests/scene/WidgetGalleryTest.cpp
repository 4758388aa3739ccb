// The second page of the test screen on the headless host: when it follows the first, and what of
// it shows without a data set (the rings and the rolling counter's schedule need no pictures).
#include <gtest/gtest.h>

#include "scene/Game.h"
#include "scene/ProgramRun.h"

namespace {

const WORD kBackground = (3 << 11) | (7 << 5) | 6;

using GalleryRun = CProgramRun;

} // namespace

TEST_F(GalleryRun, FollowsTheTestScreenAfterSixHundredTicks)
{
    // Run(n) makes n + 1 updates: the 600th is still the test screen's.
    ASSERT_EQ(Run(CGame::TEST_SCREEN_TICKS - 1), 0);
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_TEST_SCREEN);
}

TEST_F(GalleryRun, ShowsExpandingRingsOverItsBackgroundOnceFadedIn)
{
    // The page starts on update 601; its first ring starts 100 updates later and grows 2 pixels an
    // update, fading by a hundredth.
    ASSERT_EQ(Run(CGame::TEST_SCREEN_TICKS + 119), 0);
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_GALLERY);
    EXPECT_EQ(m_Game.GetGallery().GetTick(), 120);
    EXPECT_TRUE(m_Game.GetFader().IsDone());
    EXPECT_EQ(Pixel(0, 479), kBackground);
    const CRVMParticleEffect& ring = m_Game.GetGallery().GetRing();
    EXPECT_EQ(ring.GetRadius(), 40.0f);
    // Additive white over the background: every channel brighter on the ring, none beyond it.
    const WORD wOnRing = Pixel(560 + 30, 300);
    EXPECT_GT(wOnRing >> 11, kBackground >> 11);
    EXPECT_GT((wOnRing >> 5) & 0x3F, (kBackground >> 5) & 0x3F);
    EXPECT_EQ(Pixel(560 + 50, 300), kBackground);
    // The counter has gone up by 1234 every 20 updates of the page.
    EXPECT_STREQ(m_Game.GetGallery().GetCounter().GetText(), "007404");
    EXPECT_TRUE(m_Host.GetMessageBoxes().empty());
}
