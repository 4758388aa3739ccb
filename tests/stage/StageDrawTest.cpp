#include <gtest/gtest.h>

#include "engine/SurfaceUtil.h"
#include "engine/WinMain.h"
#include "StageHarness.h"
#include "support/DeviceFixture.h"

namespace {

class StageDraw : public CDeviceFixture {
protected:
    CStageHarness h;
    CStage& s = h.m_Stage;
};

} // namespace

TEST_F(StageDraw, TheFarBackgroundIsDrawnFirstAndNothingOfTheWorldWhileFrozen)
{
    h.PlugScreens();
    h.Load({"#OBJECTG1 Ground.bmp, TOUCH", "#000C01:G1"}, false);
    BG0RECORD* pSky = new BG0RECORD;
    pSky->lpSurface = CreateDevicePlaneSurface(g_lpD3DDevice, 800, 480, MEM_SYSTEM);
    ASSERT_NE(pSky->lpSurface, nullptr);
    pSky->nWidth = 800;
    pSky->nHeight = 480;
    // Left half red, right half blue: 10 pixels in, the screen shows 10..650 of it.
    RECT rcLeft{0, 0, 400, 480};
    RECT rcRight{400, 0, 800, 480};
    FillSurfaceColor(pSky->lpSurface, 1.0f, 0.0f, 0.0f, &rcLeft);
    FillSurfaceColor(pSky->lpSurface, 0.0f, 0.0f, 1.0f, &rcRight);
    s.GetStageData().m_BG0List.Set(0, pSky);
    s.Reset();
    s.Start(1, 0);

    FillBack(0);
    EXPECT_EQ(s.Draw(g_lpDDSBack, g_lpD3DDevice), 1);
    EXPECT_EQ(BackPixel(0, 100), 0xF800);
    EXPECT_EQ(BackPixel(389, 100), 0xF800);
    EXPECT_EQ(BackPixel(390, 100), 0x001F);
    EXPECT_EQ(BackPixel(639, 479), 0x001F);

    // The game-over screen stands over the stage: the world is not drawn.
    s.SetState(STAGE_STATE_GAMEOVER);
    h.m_GameOver.Start(1);
    h.m_GameOver.m_nState = 1;
    FillBack(0);
    s.Draw(g_lpDDSBack, g_lpD3DDevice);
    EXPECT_EQ(BackPixel(0, 100), 0);
    s.UnloadStage();
}
