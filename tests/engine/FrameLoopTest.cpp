// The process frame driven tick by tick on the headless host with its fake clock, and a scripted
// game object in place of the scene flow.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/AppTimer.h"
#include "engine/GameFrame.h"
#include "engine/Mutex.h"
#include "engine/Param.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "support/TempFolder.h"

namespace {

class FakeGame : public IGameFrame {
public:
    explicit FakeGame(CHostHeadless* pHost) : m_pHost(pHost) {}

    int GetState() override { return m_fnState ? m_fnState(Tick()) : 1; }
    bool IsLoading() override
    {
        const int nState = GetState();
        return nState == STATE_LOADING || nState == STATE_LOADING_DONE;
    }
    bool IsStagePaused() override { return m_bStagePaused; }
    void InitFader() override { m_nInitFader++; }
    bool Init(IDirect3DDevice7* lpDevice) override
    {
        m_lpInitDevice = lpDevice;
        m_nInit++;
        return m_bInitResult;
    }
    void Update() override
    {
        m_updates.push_back(Tick());
        m_fpsAtUpdate.push_back(g_nFPS);
        EXPECT_EQ(g_bUpdateOnly, 1);
    }
    void Render(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice) override
    {
        EXPECT_EQ(g_bUpdateOnly, 0);
        EXPECT_EQ(lpBackBuffer, g_lpDDSBack);
        EXPECT_EQ(lpDevice, g_lpD3DDevice);
        m_renders.push_back(Tick());
        if (Tick() == RUNAWAY_TICK) {
            // A close that was lost would leave the loop running for ever.
            ADD_FAILURE() << "the run did not end";
            PostQuitMessage(0);
        }
        if (m_fnOnRender) {
            m_fnOnRender(Tick());
        }
    }
    void Release() override { m_nRelease++; }
    void DebugRestart() override { m_nDebugRestart++; }

    uint32_t Tick() const { return m_pHost->GetFrameTicks(); }

    static const uint32_t RUNAWAY_TICK = 5000;

    CHostHeadless* m_pHost;
    std::function<int(uint32_t)> m_fnState;
    std::function<void(uint32_t)> m_fnOnRender;
    bool m_bStagePaused = false;
    bool m_bInitResult = true;
    int m_nInitFader = 0;
    int m_nInit = 0;
    int m_nRelease = 0;
    int m_nDebugRestart = 0;
    IDirect3DDevice7* m_lpInitDevice = nullptr;
    std::vector<uint32_t> m_updates;
    std::vector<uint32_t> m_renders;
    std::vector<int> m_fpsAtUpdate;
};

std::vector<uint32_t> Range(uint32_t nFirst, uint32_t nLast, uint32_t nStep = 1)
{
    std::vector<uint32_t> v;
    for (uint32_t t = nFirst; t <= nLast; t += nStep) {
        v.push_back(t);
    }
    return v;
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szOld[4096];
        ASSERT_NE(getcwd(szOld, sizeof(szOld)), nullptr);
        m_strOldDir = szOld;
        std::string strTemplate = TempTemplate("zorva-frame");
        ASSERT_NE(mkdtemp(strTemplate.data()), nullptr);
        m_strTempDir = strTemplate;
        ASSERT_EQ(chdir(m_strTempDir.c_str()), 0);

        m_host.SetQuiet(true);
        SetHost(&m_host);
        ResetWindowSystem();
        ClearParams();
        SetGameFrame(&m_game);
        g_bFrameSkip = 0;
        CAppTimer::ResetFrameClock();
        // A run that ended paused leaves timer 0 paused; a new process would start running.
        for (int i = 0; i < CAppTimer::TIMER_COUNT; i++) {
            CAppTimer::Resume(i);
        }
    }

    void TearDown() override
    {
        SetGameFrame(nullptr);
        ResetWindowSystem();
        ClearParams();
        SetHost(nullptr);
        g_bFrameSkip = 0;
        ASSERT_EQ(chdir(m_strOldDir.c_str()), 0);
        std::error_code ec;
        std::filesystem::remove_all(m_strTempDir, ec);
    }

    void WriteParams(const char* pszText)
    {
        mkdir("GameData", 0700);
        mkdir("GameData/System", 0700);
        FILE* fp = fopen("GameData/System/Param.txt", "wb");
        ASSERT_NE(fp, nullptr);
        fputs(pszText, fp);
        fclose(fp);
        ClearParams();
    }

    void Script(const char* pszText)
    {
        std::string strError;
        ASSERT_TRUE(m_host.AddScript(pszText, &strError)) << strError;
    }

    int Run() { return RunApplication(nullptr, SW_SHOWNORMAL); }

    std::vector<std::string> MessageBoxTexts()
    {
        std::vector<std::string> texts;
        for (const auto& box : m_host.GetMessageBoxes()) {
            EXPECT_EQ(box.second, "Zorva");
            texts.push_back(box.first);
        }
        return texts;
    }

    CHostHeadless m_host;
    FakeGame m_game{&m_host};

private:
    std::string m_strOldDir;
    std::string m_strTempDir;
};

}  // namespace

TEST_F(FrameLoopTest, StartUpOpensTheWindowAndRunsUntilTheCloseBox)
{
    Script("10 close\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_host.GetWindowTitle(), "ぞるばくるむ！");
    EXPECT_EQ(m_host.GetAppName(), "Zorva");
    EXPECT_EQ(m_game.m_nInitFader, 1);
    EXPECT_EQ(m_game.m_nInit, 1);
    EXPECT_NE(m_game.m_lpInitDevice, nullptr);
    EXPECT_EQ(m_game.m_nRelease, 1);
    EXPECT_EQ(m_host.GetFrameTicks(), 10u);
    EXPECT_EQ(m_game.m_updates, Range(1, 10));
    EXPECT_EQ(m_game.m_renders, Range(1, 10));
    EXPECT_FALSE(m_host.HasMainWindow());
    EXPECT_TRUE(MessageBoxTexts().empty());
    // Shut down: every device handle released and cleared.
    EXPECT_EQ(g_lpD3DDevice, nullptr);
    EXPECT_EQ(g_lpDDSBack, nullptr);
    EXPECT_EQ(g_lpDD, nullptr);
    // The plane probe reaches the largest size and the defaults stand without a parameter file.
    EXPECT_EQ(g_nMaxPlaneWidth, 256);
    EXPECT_EQ(g_nMaxPlaneHeight, 256);
    EXPECT_EQ(g_nObjFlashTime, 20);
    EXPECT_FLOAT_EQ(g_fEnemyBulletSpeed[1], 15.0f);
    EXPECT_FLOAT_EQ(g_fMMCanonSpeed[1], 0.5f);
    EXPECT_EQ(g_bFullScreen, 0);
    // Ten update passes of frame time: 160 + trunc(6.66).
    EXPECT_EQ(CAppTimer::GetFrameClock(), 166u);
}

TEST_F(FrameLoopTest, StartUpParametersKeepDefaultsForMissingValues)
{
    WriteParams("#OBJ_FLASH_TIME 31\r\n#ENEMY_BULLET_SPEED 1.5\r\n#M_M_CANON_SPEED 3.0, 4.0\r\n");
    Script("2 close\n");
    Run();
    EXPECT_EQ(g_nObjFlashTime, 31);
    EXPECT_FLOAT_EQ(g_fEnemyBulletSpeed[0], 1.5f);
    EXPECT_FLOAT_EQ(g_fEnemyBulletSpeed[1], 15.0f);
    EXPECT_FLOAT_EQ(g_fEnemyBulletSpeed[2], 6.5f);
    EXPECT_FLOAT_EQ(g_fMMCanonSpeed[0], 3.0f);
    EXPECT_FLOAT_EQ(g_fMMCanonSpeed[1], 4.0f);

    // The next run starts from the defaults again.
    ResetWindowSystem();
    WriteParams("#DEBUG_KEY 0\r\n");
    Script("4 close\n");
    Run();
    EXPECT_EQ(g_nObjFlashTime, 20);
    EXPECT_FLOAT_EQ(g_fEnemyBulletSpeed[0], 6.5f);
    EXPECT_FLOAT_EQ(g_fMMCanonSpeed[0], 2.0f);
}

TEST_F(FrameLoopTest, PacingSleepsTheTruncatedRestAndNeverCatchesUp)
{
    // Each tick costs 5 ms before the pacing reads the clock: the rest of 16.67 ms is 11.67.
    m_host.SetTickCost(5);
    Script("6 close\n");
    Run();
    // The base is read again after the sleep; taken before it, the next rest would be 0.
    EXPECT_EQ(m_host.GetSleeps(), std::vector<uint32_t>(6, 11));

    // A tick that is late sleeps not at all and still runs exactly one update pass.
    ResetWindowSystem();
    m_host.ClearSleeps();
    m_host.SetTickCost(40);
    m_game.m_updates.clear();
    Script("12 close\n");
    Run();
    EXPECT_TRUE(m_host.GetSleeps().empty());
    EXPECT_EQ(m_game.m_updates, Range(7, 12));
}

TEST_F(FrameLoopTest, NoCostTicksSleepTheWholePeriod)
{
    Script("3 close\n");
    Run();
    EXPECT_EQ(m_host.GetSleeps(), std::vector<uint32_t>(3, 16));
}

TEST_F(FrameLoopTest, ThirtyFramesPerSecondRendersEverySecondTick)
{
    // The frame rate comes from the settings file, read at start-up.
    mkdir("GameData", 0755);
    FILE* fp = fopen("GameData/Config.dat", "wb");
    ASSERT_NE(fp, nullptr);
    fputs("#CFG_FPS 30\r\n", fp);
    fclose(fp);
    const int nPresentsBefore = m_host.GetPresentCount();
    Script("8 close\n");
    Run();
    EXPECT_EQ(m_game.m_updates, Range(1, 8));
    EXPECT_EQ(m_game.m_renders, Range(1, 7, 2));
    EXPECT_EQ(m_host.GetPresentCount() - nPresentsBefore, 4);
}

TEST_F(FrameLoopTest, LoadingStateRendersOddTicksAndDoesNotPresent)
{
    // State 3 up to tick 6, then the title (1).
    m_game.m_fnState = [](uint32_t t) { return t <= 6 ? 3 : 1; };
    int nPresentsAtTick6 = -1;
    m_game.m_fnOnRender = [&](uint32_t t) {
        if (t == 5) nPresentsAtTick6 = m_host.GetPresentCount();
    };
    const int nPresentsBefore = m_host.GetPresentCount();
    Script("10 close\n");
    Run();
    EXPECT_EQ(m_game.m_renders, (std::vector<uint32_t>{1, 3, 5, 7, 8, 9, 10}));
    EXPECT_EQ(nPresentsAtTick6, nPresentsBefore);
    EXPECT_EQ(m_host.GetPresentCount() - nPresentsBefore, 4);
}

TEST_F(FrameLoopTest, PauseKeepsRenderingButStopsUpdatesTimeAndCounting)
{
    // The game pauses in the render pass of tick 5 and resumes in that of tick 10.
    m_game.m_fnOnRender = [](uint32_t t) {
        if (t == 5 || t == 10) TogglePause();
    };
    Script("14 close\n");
    Run();
    EXPECT_EQ(m_game.m_renders, Range(1, 14));
    EXPECT_EQ(m_game.m_updates, (std::vector<uint32_t>{1, 2, 3, 4, 5, 11, 12, 13, 14}));
    // Nine update passes of frame time.
    EXPECT_EQ(CAppTimer::GetFrameClock(), 16u * 9 + 5);
    EXPECT_EQ(CAppTimer::IsPaused(0), 0);
}

TEST_F(FrameLoopTest, APausedStageKeepsUpdatingButHoldsTheFrameClock)
{
    // The stage pauses in the update of tick 6 (its menu runs) and goes on in that of tick 11: the
    // update passes of ticks 7 to 11 begin paused. A replay, which has no pause, must meet the
    // same clock steps after it: the clock moves only in passes that begin in play.
    m_game.m_fnOnRender = [this](uint32_t t) { m_game.m_bStagePaused = t >= 6 && t < 11; };
    Script("14 close\n");
    Run();
    EXPECT_EQ(m_game.m_updates, Range(1, 14));
    EXPECT_EQ(CAppTimer::GetFrameClock(), 16u * 9 + 5);
}

TEST_F(FrameLoopTest, FrameRateFigureIsPublishedEachSecondWithoutThePublishingTick)
{
    // Ticks 16 ms apart: tick k reads 16 (k - 1) ms.
    Script("130 close\n");
    Run();
    ASSERT_EQ(m_game.m_fpsAtUpdate.size(), 130u);
    EXPECT_EQ(m_game.m_fpsAtUpdate[62], 0);    // tick 63: 992 ms
    EXPECT_EQ(m_game.m_fpsAtUpdate[63], 63);   // tick 64: 1008 ms, ticks 1..63 counted
    EXPECT_EQ(m_game.m_fpsAtUpdate[125], 63);  // tick 126
    EXPECT_EQ(m_game.m_fpsAtUpdate[126], 62);  // tick 127: ticks 65..126 counted
    EXPECT_EQ(GetFrameRateFigure(), 62);
    g_bFrameSkip = 1;
    EXPECT_EQ(GetFrameRateFigure(), 31);
}

TEST_F(FrameLoopTest, FrameRateFigureStandsStillWhilePaused)
{
    m_game.m_fnOnRender = [](uint32_t t) {
        if (t == 60 || t == 200) TogglePause();
    };
    std::vector<int> fpsAtRender;
    auto fnPause = m_game.m_fnOnRender;
    m_game.m_fnOnRender = [&](uint32_t t) {
        fpsAtRender.push_back(g_nFPS);
        fnPause(t);
    };
    Script("203 close\n");
    Run();
    ASSERT_EQ(fpsAtRender.size(), 203u);
    for (uint32_t t = 60; t <= 200; t++) {
        EXPECT_EQ(fpsAtRender[t - 1], 0) << "tick " << t;
    }
    // The paused stretch does not count as time: the first figure comes 4 counted ticks later.
    EXPECT_EQ(fpsAtRender[201], 0);
    EXPECT_EQ(fpsAtRender[202], 0);
}

TEST_F(FrameLoopTest, DeactivationPausesAndReactivationResumes)
{
    Script("4 deactivate\n8 activate\n14 close\n");
    Run();
    // Ticks stop while inactive: the host's idle waits stand for the ticks 5 to 7.
    EXPECT_EQ(m_host.GetTick(), 14u);
    EXPECT_EQ(m_game.m_updates.size(), m_game.m_renders.size());
    EXPECT_EQ(g_bPause, 0);
    EXPECT_EQ(g_bAutoPause, 0);
}

TEST_F(FrameLoopTest, AutoPauseRules)
{
    // Deactivation while the stage holds its own pause leaves the application running.
    g_bPause = 0;
    g_bAutoPause = 0;
    m_game.m_bStagePaused = true;
    OnActivate(WA_INACTIVE);
    EXPECT_EQ(g_bActive.load(), 0);
    EXPECT_EQ(g_bPause, 0);
    OnActivate(WA_ACTIVE);
    EXPECT_EQ(g_bActive.load(), 1);
    EXPECT_EQ(g_bPause, 0);

    // Minimising counts as deactivation even with an active low word.
    m_game.m_bStagePaused = false;
    OnActivate(MAKEWPARAM(WA_ACTIVE, 1));
    EXPECT_EQ(g_bActive.load(), 0);
    EXPECT_EQ(g_bPause, 1);
    EXPECT_EQ(g_bAutoPause, 1);
    EXPECT_EQ(CAppTimer::IsPaused(0), 1);
    OnActivate(WA_CLICKACTIVE);
    EXPECT_EQ(g_bPause, 0);
    EXPECT_EQ(g_bAutoPause, 0);
    EXPECT_EQ(CAppTimer::IsPaused(0), 0);

    // A pause the user set survives deactivation and reactivation.
    TogglePause();
    OnActivate(WA_INACTIVE);
    EXPECT_EQ(g_bAutoPause, 0);
    OnActivate(WA_ACTIVE);
    EXPECT_EQ(g_bPause, 1);
    TogglePause();
    EXPECT_EQ(CAppTimer::IsPaused(0), 0);
}

TEST_F(FrameLoopTest, DebugKeysOnlyWithDebugKeyParameter)
{
    g_bPause = 0;
    g_bDebugDisp = 0;
    OnChar('p');
    OnChar('Q');
    OnKeyDown(VK_END);
    EXPECT_EQ(g_bDebugDisp, 0);
    EXPECT_EQ(g_bPause, 0);

    WriteParams("#DEBUG_KEY 1\r\n");
    OnChar('p');
    EXPECT_EQ(g_bDebugDisp, 1);
    OnChar('P');
    EXPECT_EQ(g_bDebugDisp, 0);
    OnChar('q');
    EXPECT_EQ(g_bPause, 1);
    OnChar('Q');
    EXPECT_EQ(g_bPause, 0);
    OnChar('x');
    OnChar('A');
    EXPECT_EQ(g_bPause, 0);
    OnKeyDown(VK_END);
    EXPECT_EQ(g_bPause, 1);
    OnKeyDown(VK_END);
    EXPECT_EQ(g_bPause, 0);

    EXPECT_EQ(m_game.m_nDebugRestart, 0);
    m_host.PressKey('R');
    OnKeyDown('Z');
    EXPECT_EQ(m_game.m_nDebugRestart, 1);
    m_host.ReleaseKey('R');
    OnKeyDown('Z');
    EXPECT_EQ(m_game.m_nDebugRestart, 1);
}

TEST_F(FrameLoopTest, QPauseSurvivesLosingAndRegainingTheWindow)
{
    WriteParams("#DEBUG_KEY 1\r\n");
    Script("3 down Q\n4 up Q\n5 deactivate\n7 activate\n12 close\n");
    Run();
    // Paused by Q in tick 3's messages (handled before tick 4): updates stop after tick 3 and
    // do not come back with the window.
    EXPECT_EQ(m_game.m_updates, Range(1, 3));
    EXPECT_GE(m_game.m_renders.size(), 8u);
}

TEST_F(FrameLoopTest, EscapeCloseBoxAndQuitStateTakeTheSameClosePath)
{
    Script("6 down Esc\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_host.GetFrameTicks(), 6u);
    EXPECT_EQ(m_game.m_nRelease, 1);
    EXPECT_FALSE(m_host.HasMainWindow());

    ResetWindowSystem();
    Script("12 close\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_host.GetFrameTicks(), 12u);
    EXPECT_EQ(m_game.m_nRelease, 2);
    EXPECT_FALSE(m_host.HasMainWindow());

    // State 21 reached in tick 15: its render pass closes instead of presenting.
    ResetWindowSystem();
    m_game.m_fnState = [](uint32_t t) { return t >= 15 ? 21 : 1; };
    int nPresentsAfter14 = -1;
    m_game.m_fnOnRender = [&](uint32_t t) {
        if (t == 14) nPresentsAfter14 = m_host.GetPresentCount();
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_host.GetFrameTicks(), 15u);
    EXPECT_EQ(m_game.m_nRelease, 3);
    EXPECT_EQ(m_host.GetPresentCount(), nPresentsAfter14 + 1);  // tick 14's own present
    EXPECT_FALSE(m_host.HasMainWindow());
    EXPECT_TRUE(MessageBoxTexts().empty());
}

TEST_F(FrameLoopTest, NothingClosesWhileLoadingButAnOutsideCloseIsKeptForLater)
{
    // Loading (state 4) from tick 3 to tick 20.
    m_game.m_fnState = [](uint32_t t) { return t >= 3 && t <= 20 ? 4 : 1; };
    Script("5 down Esc\n6 up Esc\n30 close\n");
    Run();
    EXPECT_EQ(m_host.GetFrameTicks(), 30u);

    // The close box during loading closes the program right after the loading ends.
    ResetWindowSystem();
    Script("35 close\n90 close\n");  // the second only ends a run that lost the first
    m_game.m_fnState = [](uint32_t t) { return t >= 33 && t <= 40 ? 4 : 1; };
    Run();
    EXPECT_EQ(m_host.GetFrameTicks(), 41u);
    EXPECT_EQ(m_game.m_nRelease, 2);
}

TEST_F(FrameLoopTest, FailedStartUpShutsDownOnceWithWhatExists)
{
    m_game.m_bInitResult = false;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_host.GetFrameTicks(), 0u);
    EXPECT_EQ(m_game.m_nRelease, 1);
    EXPECT_EQ(g_lpD3DDevice, nullptr);
    EXPECT_EQ(g_lpDD, nullptr);
    EXPECT_TRUE(MessageBoxTexts().empty());
    // Running the shutdown again does nothing more.
    ShutdownApp();
    EXPECT_EQ(m_game.m_nRelease, 1);

    // A window that cannot be made: reported at shutdown and in the exit status, the game never
    // initialised.
    ResetWindowSystem();
    m_host.SetFailCreateWindow(true);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_game.m_nInit, 1);
    EXPECT_EQ(m_game.m_nRelease, 2);
    EXPECT_EQ(MessageBoxTexts(), std::vector<std::string>{"Fail to CreateWindow"});
}

TEST_F(FrameLoopTest, PresentFailureEndsTheRunAsRenderingFailure)
{
    m_game.m_fnOnRender = [](uint32_t t) {
        if (t == 7) g_rcPresentSrc = {0, 0, APP_WIDTH + 1, APP_HEIGHT};
    };
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_host.GetFrameTicks(), 7u);
    EXPECT_EQ(m_game.m_nRelease, 1);
    EXPECT_EQ(MessageBoxTexts(), std::vector<std::string>{"Fail to Rendering"});
    EXPECT_EQ(g_pszError, std::string("Fail to Rendering"));
    EXPECT_EQ(g_lpD3DDevice, nullptr);
}

TEST_F(FrameLoopTest, PresentRectanglesFollowTheVisiblePartOfTheWindow)
{
    RECT dst, src;
    ComputePresentRects(-100, 50, 1024, 768, &dst, &src);
    EXPECT_EQ((std::vector<LONG>{dst.left, dst.top, dst.right, dst.bottom}), (std::vector<LONG>{0, 50, 540, 530}));
    EXPECT_EQ((std::vector<LONG>{src.left, src.top, src.right, src.bottom}), (std::vector<LONG>{100, 0, 640, 480}));
    ComputePresentRects(900, 400, 1024, 768, &dst, &src);
    EXPECT_EQ((std::vector<LONG>{dst.left, dst.top, dst.right, dst.bottom}), (std::vector<LONG>{900, 400, 1024, 768}));
    EXPECT_EQ((std::vector<LONG>{src.left, src.top, src.right, src.bottom}), (std::vector<LONG>{0, 0, 124, 368}));

    // The message carries signed 16-bit coordinates; the headless screen is 1024 x 768.
    OnMove(MAKELPARAM(-100, 50));
    EXPECT_EQ(g_rcPresentDst.left, 0);
    EXPECT_EQ(g_rcPresentDst.right, 540);
    EXPECT_EQ(g_rcPresentSrc.left, 100);
    // A window on a monitor to the right keeps its positive origin.
    OnMove(MAKELPARAM(1500, 100));
    EXPECT_EQ(g_rcPresentDst.left, 1500);
    EXPECT_EQ(g_rcPresentSrc.right, 1024 - 1500);
}

TEST_F(FrameLoopTest, WindowWhollyOffScreenIsNoRenderingFailure)
{
    Script("3 move 1500 100\n6 move 10 10\n9 close\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_host.GetFrameTicks(), 9u);
    EXPECT_TRUE(MessageBoxTexts().empty());
}

TEST_F(FrameLoopTest, FullScreenHookSwallowsOnlyTheSystemKeys)
{
    KBDLLHOOKSTRUCT info = {};
    const LPARAM lParam = (LPARAM)&info;
    g_bFullScreen = 1;
    info.vkCode = VK_TAB;
    info.flags = LLKHF_ALTDOWN;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_SYSKEYDOWN, lParam), 1);
    info.vkCode = VK_ESCAPE;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_SYSKEYUP, lParam), 1);
    info.flags = 0;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_KEYDOWN, lParam), 0);
    m_host.PressKey(VK_CONTROL);
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_KEYDOWN, lParam), 1);
    m_host.ReleaseKey(VK_CONTROL);
    info.vkCode = VK_LWIN;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_KEYUP, lParam), 1);
    info.vkCode = VK_RWIN;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_KEYDOWN, lParam), 1);
    EXPECT_EQ(LowLevelKeyboardProc(1, WM_KEYDOWN, lParam), 0);
    info.vkCode = VK_TAB;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_KEYDOWN, lParam), 0);
    g_bFullScreen = 0;
    info.vkCode = VK_LWIN;
    EXPECT_EQ(LowLevelKeyboardProc(HC_ACTION, WM_KEYDOWN, lParam), 0);
}

TEST_F(FrameLoopTest, SecondCopyLeavesBeforeOpeningAWindow)
{
    // The only test that takes this program's own instance name.
    CMutex firstCopy;
    ASSERT_TRUE(CheckSingleInstance(&firstCopy, ""));
    char szCmdLine[] = "";
    EXPECT_EQ(WinMain(nullptr, nullptr, szCmdLine, SW_SHOWNORMAL), 0);
    EXPECT_EQ(m_game.m_nInit, 0);
    EXPECT_EQ(m_host.GetWindowTitle(), "");

    // Once the first copy is gone, the program starts.
    firstCopy.Release();
    Script("2 close\n");
    EXPECT_EQ(WinMain(nullptr, nullptr, szCmdLine, SW_SHOWNORMAL), 0);
    EXPECT_EQ(m_game.m_nInit, 1);
    EXPECT_EQ(m_host.GetFrameTicks(), 2u);
}
