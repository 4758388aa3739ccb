// The scene machine on a software device, driven pass by pass: the fresh-title rule, the fades,
// the mode the replay selection is entered in, and shutdown during a load.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/AppTimer.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "engine/WinMain.h"
#include "scene/Game.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"
#include "support/TempFolder.h"

namespace {

class GameState : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        CTempFolder::Put("GameData/System/Param.txt", std::string("#INIT_STAGE_NUM 2\r\n#PLAY_ENDING 1\r\n"));
        ClearParams();
        m_Game.InitFader();
    }
    void TearDown() override
    {
        m_Game.Release();
        CKeyRecorder::DeleteInstance();
        ClearParams();
        CDeviceFixture::TearDown();
    }

    // One tick of the frame loop: an update pass, then a render pass.
    void Tick()
    {
        CAppTimer::FrameTick();
        g_bUpdateOnly = 1;
        m_Game.Update();
        g_bUpdateOnly = 0;
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        m_Game.Render(g_lpDDSBack, g_lpD3DDevice);
    }
    // Ticks until the state changes (at most n); the ticks it took.
    int TicksToLeave(int n)
    {
        const int nState = m_Game.GetState();
        for (int i = 1; i <= n; i++) {
            Tick();
            if (m_Game.GetState() != nState) {
                return i;
            }
        }
        return -1;
    }
    // The title chose stage n: the game's stage becomes n on the way to the start menu.
    void ChooseStageOnTitle(int n)
    {
        m_Game.ChangeState(CGame::STATE_TITLE, g_lpD3DDevice);
        m_Game.GetTitle().Reset(n, 1);
        m_Game.GetTitle().SetResult(CTitle::RESULT_START);
        Tick();
        ASSERT_EQ(m_Game.GetState(), CGame::STATE_TITLE_FADE);
        ASSERT_EQ(m_Game.GetStageNumber(), n);
    }

    CGame m_Game;
};

} // namespace

TEST_F(GameState, TitleVisitsFromTheMenusKeepTheChosenStage)
{
    // From the settings' fade and the start menu's back: kept.
    for (int nFrom : {CGame::STATE_SETTINGS_FADE, CGame::STATE_START_MENU_FADE}) {
        ChooseStageOnTitle(4);
        m_Game.ChangeState(nFrom, g_lpD3DDevice);
        m_Game.ChangeState(CGame::STATE_TITLE, g_lpD3DDevice);
        EXPECT_EQ(m_Game.GetStageNumber(), 4) << nFrom;
        EXPECT_EQ(m_Game.GetTitle().GetStage(), 4) << nFrom;
    }
}

TEST_F(GameState, OtherTitleVisitsStartAgainFromTheFirstStage)
{
    // After a stage, the ending, the logo, or a replay choice that went back (result 4): fresh.
    for (int nFrom : {CGame::STATE_STAGE_FADE, CGame::STATE_ENDING_FADE, CGame::STATE_OPENING_FADE, CGame::STATE_LOGO}) {
        ChooseStageOnTitle(4);
        m_Game.ChangeState(nFrom, g_lpD3DDevice);
        m_Game.ChangeState(CGame::STATE_TITLE, g_lpD3DDevice);
        EXPECT_EQ(m_Game.GetStageNumber(), 2) << nFrom;
        EXPECT_EQ(m_Game.GetTitle().GetStage(), 2) << nFrom;
    }
    ChooseStageOnTitle(4);
    m_Game.ChangeState(CGame::STATE_REPLAY_SELECT, g_lpD3DDevice);
    // Saved: the confirmation's second, then the fade.
    m_Game.GetReplaySel().ShowSaved();
    EXPECT_GT(TicksToLeave(100), 60);
    ASSERT_EQ(m_Game.GetState(), CGame::STATE_REPLAY_SELECT_FADE);
    ASSERT_EQ(m_Game.GetReplaySel().GetResult(), CReplaySel::RESULT_BACK);
    m_Game.ChangeState(CGame::STATE_TITLE, g_lpD3DDevice);
    EXPECT_EQ(m_Game.GetStageNumber(), 2);
}

TEST_F(GameState, EnteringTheTitleClearsDemoReplayAndEndingAndResetsTheReplayChoice)
{
    m_Game.ChangeState(CGame::STATE_REPLAY_SELECT, g_lpD3DDevice);
    m_Game.GetDemoPlayLogo().Start();
    m_Game.ChangeState(CGame::STATE_TITLE, g_lpD3DDevice);
    EXPECT_EQ(m_Game.GetReplaySel().GetResult(), CReplaySel::RESULT_NONE);
    EXPECT_TRUE(m_Game.GetDemoPlayLogo().IsHidden());
    EXPECT_FALSE(m_Game.IsDemo());
    EXPECT_FALSE(m_Game.IsReplay());
    EXPECT_FALSE(m_Game.IsToEnding());
}

TEST_F(GameState, TheReplaySelectionLoadsFromTheTitleAndSavesOtherwise)
{
    m_Game.ChangeState(CGame::STATE_TITLE_FADE, g_lpD3DDevice);
    m_Game.ChangeState(CGame::STATE_REPLAY_SELECT, g_lpD3DDevice);
    EXPECT_FALSE(m_Game.GetReplaySel().IsSaveMode());
    m_Game.ChangeState(CGame::STATE_STAGE_FADE, g_lpD3DDevice);
    m_Game.ChangeState(CGame::STATE_REPLAY_SELECT, g_lpD3DDevice);
    EXPECT_TRUE(m_Game.GetReplaySel().IsSaveMode());
}

TEST_F(GameState, FadeStatesKeepTheSceneAndWaitForTheGamesOwnFade)
{
    // The start menu asks to start: the fade to black runs 34 passes of 0.03, then loading.
    m_Game.ChangeState(CGame::STATE_START_MENU, g_lpD3DDevice);
    m_Game.GetStartMenu().SetResult(CStart::RESULT_START);
    Tick();
    ASSERT_EQ(m_Game.GetState(), CGame::STATE_START_MENU_FADE);
    EXPECT_EQ(m_Game.GetNextState(), CGame::STATE_LOADING);
    EXPECT_TRUE(m_Game.IsFading());
    EXPECT_EQ(TicksToLeave(100), 34);
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_LOADING);
    EXPECT_FALSE(m_Game.IsFading());
    EXPECT_TRUE(m_Game.IsLoading());
}

TEST_F(GameState, TheFadeIsDrawnOverTheSceneUntilConsumed)
{
    m_Game.ChangeState(CGame::STATE_SETTINGS_FADE, g_lpD3DDevice);
    m_Game.StartFade(CFadePlane::KIND_OUT_WHITE);
    for (int i = 0; i < 17; i++) {
        Tick();
    }
    // Half way, 0.51 white over the cleared back buffer: a middle grey.
    const WORD w = BackPixel(320, 240);
    EXPECT_EQ(w >> 11, 16);
    EXPECT_EQ((w >> 5) & 0x3F, 32);
    for (int i = 17; i < 33; i++) {
        Tick();
    }
    ASSERT_EQ(m_Game.GetState(), CGame::STATE_SETTINGS_FADE);
    Tick();
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_TITLE);
    Tick();
    EXPECT_EQ(BackPixel(320, 240), 0);
}

TEST_F(GameState, TheStartMenusSubWeaponGoesToTheHeroineOnLoading)
{
    m_Game.GetPlayer().SetSubWeapon(SUBWEAPON_GROUND_WIPER);
    m_Game.ChangeState(CGame::STATE_START_MENU, g_lpD3DDevice);
    m_Game.ChangeState(CGame::STATE_LOADING, g_lpD3DDevice);
    EXPECT_EQ(m_Game.GetPlayer().GetSubWeapon(), m_Game.GetStartMenu().GetSubWeapon());
    EXPECT_NE(m_Game.GetLoader(), nullptr);
}

TEST_F(GameState, AFinishedLoadDeletesTheLoaderAndFadesToTheStage)
{
    CopyGeneratedData();
    ClearParams();
    m_Game.ChangeState(CGame::STATE_LOADING, g_lpD3DDevice);
    ASSERT_NE(m_Game.GetLoader(), nullptr);
    for (int i = 0; i < 10000 && m_Game.GetState() == CGame::STATE_LOADING; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Tick();
    }
    ASSERT_EQ(m_Game.GetState(), CGame::STATE_LOADING_FADE);
    EXPECT_EQ(m_Game.GetLoader(), nullptr);
    EXPECT_TRUE(m_Game.GetLoadingInfo().IsHidden());
    EXPECT_EQ(TicksToLeave(100), 34);
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_STAGE);
}

TEST_F(GameState, AStageThatDoesNotLoadIsNeverRunAndEndsTheProgramWithTheReason)
{
    // No data: the stage does not load.
    m_Game.ChangeState(CGame::STATE_LOADING, g_lpD3DDevice);
    for (int i = 0; i < 10000 && m_Game.GetState() == CGame::STATE_LOADING; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Tick();
    }
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_QUIT);
    EXPECT_TRUE(m_Game.IsLoadFailed());
    EXPECT_FALSE(m_Game.IsFading());
    EXPECT_EQ(m_Game.GetLoader(), nullptr);
    EXPECT_TRUE(m_Game.GetLoadingInfo().IsHidden());
    ASSERT_NE(g_pszError, nullptr);
    EXPECT_STREQ(g_pszError, "Stage 1 could not be loaded: GameData/Stage01 is missing or damaged");
    g_pszError = nullptr;
}

TEST_F(GameState, ReleaseDuringALoadLeavesNoWorkerBehind)
{
    CopyGeneratedData();
    ClearParams();
    m_Game.ChangeState(CGame::STATE_LOADING, g_lpD3DDevice);
    m_Game.Release();
    EXPECT_EQ(m_Game.GetLoader(), nullptr);
    // Whether the worker got to load or was stopped first, it is gone: nothing changes later.
    const int bDone = m_Game.IsLoadDone();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(m_Game.IsLoadDone(), bDone);
}

namespace {

// A load that takes its time on the game's clock: while it runs, the clock moves a second for
// every millisecond of real time.
class CSlowLoadGame : public CGame {
public:
    CSlowLoadGame(CHostHeadless& host, DWORD dwLoadMs) : m_Host(host), m_dwLoadMs(dwLoadMs) {}
    void LoadInThread(IDirect3DDevice7* lpDevice) override
    {
        m_bStarted = true;
        const DWORD dwStart = timeGetTime();
        while (timeGetTime() - dwStart < m_dwLoadMs) {
            m_Host.AdvanceClock(100);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        CGame::LoadInThread(lpDevice);
    }
    // Enters the loading state and returns once the load is under way.
    void StartLoad()
    {
        ChangeState(STATE_LOADING, g_lpD3DDevice);
        while (!m_bStarted) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }

private:
    CHostHeadless& m_Host;
    DWORD m_dwLoadMs;
    std::atomic<bool> m_bStarted{false};
};

} // namespace

TEST_F(GameState, ShutdownWaitsForALoadOfUnderTwoMinutes)
{
    CSlowLoadGame game(m_Host, 100000);
    game.InitFader();
    game.StartLoad();
    game.Release();
    EXPECT_EQ(game.GetLoader(), nullptr);
    EXPECT_TRUE(game.IsLoadDone());
}

TEST_F(GameState, ALoadStillRunningTwoMinutesAfterTheCloseEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CSlowLoadGame game(m_Host, 600000);
            game.InitFader();
            game.StartLoad();
            // The process ends inside Release, where the fixture cannot remove its folder.
            std::filesystem::remove_all(std::filesystem::current_path());
            game.Release();
        },
        ::testing::ExitedWithCode(1), "still loading 120 seconds after the close");
}

TEST_F(GameState, StageStatesAnswerTheFramesQuestions)
{
    m_Game.ChangeState(CGame::STATE_STAGE, g_lpD3DDevice);
    m_Game.GetStage().SetState(STAGE_STATE_PAUSE);
    EXPECT_TRUE(m_Game.IsStagePaused());
    EXPECT_FALSE(m_Game.IsLoading());
    m_Game.GetStage().SetState(STAGE_STATE_PLAY);
    EXPECT_FALSE(m_Game.IsStagePaused());
    EXPECT_EQ(m_Game.GetMaxStage(), 5);
}

TEST_F(GameState, DebugRestartReloadsTheCutSceneOfItsStateAndNothingElsewhere)
{
    m_Game.ChangeState(CGame::STATE_OPENING, g_lpD3DDevice);
    m_Game.DebugRestart();
    EXPECT_EQ(m_Game.GetOpening().GetFolder(), OPENING_FOLDER);
    EXPECT_EQ(m_Game.GetEnding().GetFolder(), "");
    m_Game.ChangeState(CGame::STATE_ENDING, g_lpD3DDevice);
    m_Game.DebugRestart();
    EXPECT_EQ(m_Game.GetEnding().GetFolder(), ENDING_FOLDER);
    m_Game.ChangeState(CGame::STATE_TITLE, g_lpD3DDevice);
    m_Game.GetEnding().Unload();
    m_Game.DebugRestart();
    EXPECT_EQ(m_Game.GetOpening().GetFolder(), "");
    EXPECT_EQ(m_Game.GetEnding().GetFolder(), "");
}
