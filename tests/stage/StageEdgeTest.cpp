#include <gtest/gtest.h>

#include "engine/WinMain.h"
#include "StageHarness.h"
#include "support/DeviceFixture.h"

namespace {

class StageEdge : public CDeviceFixture {
protected:
    CStageHarness h;
    CStage& s = h.m_Stage;
};

} // namespace

TEST_F(StageEdge, AStageThatFailedToLoadStillRunsAndDrawsNothingOfItsOwn)
{
    h.PlugScreens();
    ASSERT_EQ(s.LoadStage(nullptr, 7, 0), 0);
    s.Reset();
    s.Start(1, 0);
    FillBack(0);
    for (int i = 0; i < 200; i++) {
        h.Tick();
        ASSERT_EQ(s.Draw(g_lpDDSBack, g_lpD3DDevice), 1);
    }
    EXPECT_EQ(s.GetState(), STAGE_STATE_PLAY);
    for (int i = 0; i < BG_NUM; i++)
        EXPECT_TRUE(s.GetLayerList(i).empty()) << i;
    EXPECT_EQ(s.m_pBgCur, nullptr);
    EXPECT_EQ(BackPixel(320, 240), 0);
    s.UnloadStage();
}
