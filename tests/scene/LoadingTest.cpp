// The loader thread and the loading picture on a software device: a loader deleted while its
// worker waits ends it without loading; the picture reaches the destination through its plane,
// and nothing is drawn while the window is inactive.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/Param.h"
#include "scene/Game.h"
#include "scene/Loading.h"
#include "support/BmpPixels.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

namespace {

const WORD kMarker = 0x1234;

class Loading : public CDeviceFixture {
protected:
    void TearDown() override
    {
        g_bActive = 1;
        ClearParams();
        CDeviceFixture::TearDown();
    }
    static void MakeData() { CopyGeneratedData(); }
};

} // namespace

TEST_F(Loading, DeletingALoaderWhoseWorkerWaitsEndsItWithoutLoading)
{
    CGame game;
    for (int i = 0; i < 20; i++) {
        // Without a start token the worker waits for the go that never comes.
        CLoading* pLoading = new CLoading(nullptr, &game);
        ASSERT_TRUE(pLoading->HasThread());
        while (!pLoading->IsRunning()) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        delete pLoading;
    }
    EXPECT_FALSE(game.IsLoadDone());
    // Deleted at once: a worker that got going first may load (the destructor waits for it), but
    // none may start after the destructor has returned.
    for (int i = 0; i < 20; i++) {
        delete new CLoading(&game.GetLoadingInfo(), &game);
    }
    const int bDoneAtDelete = game.IsLoadDone();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(game.IsLoadDone(), bDoneAtDelete);
}

TEST_F(Loading, AWorkerWithItsTokenLoadsAndReportsDoneLast)
{
    CGame game;
    CLoading* pLoading = new CLoading(&game.GetLoadingInfo(), &game);
    for (int i = 0; i < 10000 && !game.IsLoadDone(); i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(game.IsLoadDone());
    EXPECT_TRUE(pLoading->IsRunning());
    delete pLoading;
}

TEST_F(Loading, ThePictureNeedsItsFileAndAPlane)
{
    CLoadingInfo info;
    EXPECT_EQ(info.Load(g_lpD3DDevice), 0);
    EXPECT_TRUE(info.IsHidden());
    EXPECT_EQ(info.Draw(g_lpDDSBack, nullptr), 1) << "a plane was made; only the picture is missing";
    info.Release();
    EXPECT_EQ(info.Draw(g_lpDDSBack, nullptr), 0);
}

TEST_F(Loading, ThePictureGoesThroughThePlaneOntoTheDestinationRectangle)
{
    MakeData();
    CLoadingInfo info;
    ASSERT_EQ(info.Load(g_lpD3DDevice), 1);
    EXPECT_FALSE(info.IsHidden());
    const CBmpPixels picture("GameData/First/Loading.bmp");
    ASSERT_EQ(picture.Width(), 640);
    FillBack(kMarker);
    RECT rcDest = {100, 100, 420, 340};
    EXPECT_EQ(info.Draw(g_lpDDSBack, &rcDest), 1);
    // Half size: every other pixel of the picture (the stretch samples odd ones) fills the
    // rectangle, the rest is untouched.
    for (int y = 0; y < 240; y += 7)
        for (int x = 0; x < 320; x += 7)
            ASSERT_EQ(BackPixel(100 + x, 100 + y), picture.Rgb565(2 * x + 1, 2 * y + 1)) << x << ", " << y;
    EXPECT_EQ(BackPixel(99, 99), kMarker);
    EXPECT_EQ(BackPixel(420, 340), kMarker);
    // Hidden after Release: the plane is gone and nothing more is drawn.
    info.Release();
    FillBack(kMarker);
    EXPECT_EQ(info.Draw(g_lpDDSBack, &rcDest), 0);
    EXPECT_EQ(BackPixel(102, 102), kMarker);
}

TEST_F(Loading, NothingIsDrawnWhileTheWindowIsInactive)
{
    MakeData();
    const CBmpPixels picture("GameData/First/Loading.bmp");
    ASSERT_EQ(picture.Width(), 640);
    CLoadingInfo info;
    ASSERT_EQ(info.Load(g_lpD3DDevice), 1);
    FillBack(kMarker);
    g_bActive = 0;
    EXPECT_EQ(info.Draw(g_lpDDSBack, nullptr), 1);
    EXPECT_EQ(BackPixel(2, 2), kMarker);
    g_bActive = 1;
    EXPECT_EQ(info.Draw(g_lpDDSBack, nullptr), 1);
    EXPECT_EQ(BackPixel(2, 2), picture.Rgb565(2, 2));
    EXPECT_EQ(BackPixel(320, 240), picture.Rgb565(320, 240));
}
