// The screen-mode dialog on the headless host, drawn from the generated pictures: which button a
// press and release choose, what the mouse shows, and the program's start-up around it (cancel
// ends it before any device, full screen really goes full screen).
#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include "engine/GameFrame.h"
#include "engine/WinMain.h"
#include "platform/host/HostSdl.h"
#include "scene/ProgramRun.h"
#include "scene/ScrDialog.h"
#include "support/BmpPixels.h"

namespace {

class ScrDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        LinkGeneratedData();
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        ResetWindowSystem();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Zorva";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(0, "Zorva", "", WS_CAPTION, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(m_Dialog.Load(m_hWnd), 1);
    }
    void TearDown() override
    {
        m_Dialog.Release();
        ResetWindowSystem();
        SetHost(nullptr);
    }

    void Push(HOSTEVENTTYPE type, int x, int y)
    {
        HOSTEVENT ev{};
        ev.type = type;
        ev.x = x;
        ev.y = y;
        m_Host.PushDialogEvent(ev);
    }
    void PushKey(int nVirtKey)
    {
        HOSTEVENT ev{};
        ev.type = HOSTEV_KEYDOWN;
        ev.nVirtKey = nVirtKey;
        m_Host.PushDialogEvent(ev);
    }
    // The choice the queued input makes, -1 when it makes none.
    int Choose()
    {
        int nChoice = -1;
        return m_Dialog.DoModal(nullptr, m_hWnd, &nChoice) ? nChoice : -1;
    }
    static POINT Centre(int nButton)
    {
        const RECT rc = CScrDialog::HitRect(nButton);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    // Whether the dialog's last picture shows the bitmap at (x, y).
    bool Shows(const char* pszFile, int x, int y) const
    {
        const CBmpPixels bmp(std::string("GameData/Dialog/") + pszFile);
        int w = 0;
        m_Host.GetDialogPlacement(nullptr, nullptr, &w, nullptr);
        const std::vector<uint16_t>& frame = m_Host.GetDialogFrame();
        for (int j = 0; j < bmp.Height(); j++)
            for (int i = 0; i < bmp.Width(); i++)
                if (frame[static_cast<size_t>(y + j) * w + x + i] != bmp.Rgb565(i, j))
                    return false;
        return bmp.Width() > 0;
    }

    CTempFolder m_Folder;
    CHostHeadless m_Host;
    HWND m_hWnd = nullptr;
    CScrDialog m_Dialog;
};

} // namespace

TEST_F(ScrDialog, APressAndReleaseOnAButtonChoosesIt)
{
    for (int nButton : {CScrDialog::BUTTON_FULLSCREEN, CScrDialog::BUTTON_WINDOW}) {
        m_Host.PushDialogClick(Centre(nButton).x, Centre(nButton).y);
        int nChoice = -1;
        EXPECT_EQ(m_Dialog.DoModal(nullptr, m_hWnd, &nChoice), 1);
        EXPECT_EQ(nChoice, nButton);
        EXPECT_TRUE(m_Dialog.IsIdle());
        // The parent's property goes with the dialog.
        EXPECT_EQ(GetPropA(m_hWnd, SCRDIALOG_PROPERTY), nullptr);
    }
    // The second form: the choice itself, the default when cancelled.
    m_Host.PushDialogClick(Centre(0).x, Centre(0).y);
    EXPECT_EQ(m_Dialog.DoModal(nullptr, m_hWnd, 1), 0);
    EXPECT_EQ(m_Dialog.DoModal(nullptr, m_hWnd, 5), 5);
}

TEST_F(ScrDialog, TheHitRectanglesLieTenPixelsInFromThePictures)
{
    EXPECT_EQ(m_Dialog.GetChoice(), CScrDialog::BUTTON_WINDOW);
    const RECT rc0 = CScrDialog::HitRect(0), rc1 = CScrDialog::HitRect(1);
    EXPECT_EQ(rc0.left, 150);
    EXPECT_EQ(rc0.top, 100);
    EXPECT_EQ(rc0.right, 310);
    EXPECT_EQ(rc0.bottom, 160);
    EXPECT_EQ(rc1.top, 168);
    EXPECT_EQ(rc1.bottom, 228);
    EXPECT_EQ(m_Dialog.HitTest(150, 100), 0);
    EXPECT_EQ(m_Dialog.HitTest(309, 159), 0);
    EXPECT_EQ(m_Dialog.HitTest(310, 159), -1);
    EXPECT_EQ(m_Dialog.HitTest(200, 164), -1);
    EXPECT_EQ(m_Dialog.HitTest(200, 168), 1);
    EXPECT_EQ(m_Dialog.HitTest(149, 200), -1);
}

TEST_F(ScrDialog, ReleasingOnTheOtherButtonChoosesNothingAndKeepsThePress)
{
    Push(HOSTEV_MOUSEMOVE, Centre(0).x, Centre(0).y);
    Push(HOSTEV_LBUTTONDOWN, Centre(0).x, Centre(0).y);
    // Moves while held are the capture's: they change nothing.
    Push(HOSTEV_MOUSEMOVE, Centre(1).x, Centre(1).y);
    Push(HOSTEV_LBUTTONUP, Centre(1).x, Centre(1).y);
    int nChoice = -1;
    EXPECT_EQ(m_Dialog.DoModal(nullptr, m_hWnd, &nChoice), 0);  // the input ran out: closed
    EXPECT_EQ(nChoice, -1);
    EXPECT_EQ(m_Dialog.GetButtonState(0), CScrDialog::STATE_PRESSED);
    EXPECT_EQ(m_Dialog.GetButtonState(1), CScrDialog::STATE_NORMAL);
    EXPECT_TRUE(Shows("FullScreen2.bmp", CScrDialog::BUTTON_X, CScrDialog::BUTTON0_Y));
}

TEST_F(ScrDialog, HoverLightsTheButtonUnderTheMouseEachInItsOwnPlace)
{
    Push(HOSTEV_MOUSEMOVE, Centre(1).x, Centre(1).y);
    m_Dialog.DoModal(nullptr, m_hWnd, nullptr);
    EXPECT_EQ(m_Dialog.GetButtonState(1), CScrDialog::STATE_HOVER);
    EXPECT_TRUE(Shows("Window1.bmp", CScrDialog::BUTTON_X, CScrDialog::BUTTON1_Y));
    EXPECT_FALSE(Shows("Window1.bmp", CScrDialog::BUTTON_X, CScrDialog::BUTTON0_Y));

    // From one button to the other: the first goes back to rest, the background erases it.
    Push(HOSTEV_MOUSEMOVE, Centre(1).x, Centre(1).y);
    Push(HOSTEV_MOUSEMOVE, Centre(0).x, Centre(0).y);
    m_Dialog.DoModal(nullptr, m_hWnd, nullptr);
    EXPECT_EQ(m_Dialog.GetButtonState(0), CScrDialog::STATE_HOVER);
    EXPECT_EQ(m_Dialog.GetButtonState(1), CScrDialog::STATE_NORMAL);
    EXPECT_TRUE(Shows("FullScreen1.bmp", CScrDialog::BUTTON_X, CScrDialog::BUTTON0_Y));
    const CBmpPixels back("GameData/Dialog/Back.bmp");
    const std::vector<uint16_t>& frame = m_Host.GetDialogFrame();
    for (int y = CScrDialog::BUTTON1_Y; y < CScrDialog::BUTTON1_Y + 60; y += 3)
        for (int x = CScrDialog::BUTTON_X; x < CScrDialog::BUTTON_X + 160; x += 3)
            ASSERT_EQ(frame[static_cast<size_t>(y) * back.Width() + x], back.Rgb565(x, y)) << x << "," << y;

    // Away from both: both at rest, the background alone.
    Push(HOSTEV_MOUSEMOVE, Centre(0).x, Centre(0).y);
    Push(HOSTEV_MOUSEMOVE, 20, 20);
    m_Dialog.DoModal(nullptr, m_hWnd, nullptr);
    EXPECT_EQ(m_Dialog.GetButtonState(0), CScrDialog::STATE_NORMAL);
    EXPECT_TRUE(Shows("Back.bmp", 0, 0));
}

TEST_F(ScrDialog, TheKeyboardAloneChoosesEitherButton)
{
    // The window is lit from the start: Enter, the keypad's Enter and Space choose it.
    const int nKeypadEnter = VirtKeyFromSdlKey(SDLK_KP_ENTER);
    for (int nKey : {VK_RETURN, nKeypadEnter, VK_SPACE}) {
        PushKey(nKey);
        EXPECT_EQ(Choose(), CScrDialog::BUTTON_WINDOW) << nKey;
    }
    EXPECT_TRUE(Shows("Window1.bmp", CScrDialog::BUTTON_X, CScrDialog::BUTTON1_Y));
    // Up lights full screen, Down the window, Tab the other one.
    PushKey(VK_UP);
    PushKey(VK_RETURN);
    EXPECT_EQ(Choose(), CScrDialog::BUTTON_FULLSCREEN);
    EXPECT_TRUE(Shows("FullScreen1.bmp", CScrDialog::BUTTON_X, CScrDialog::BUTTON0_Y));
    PushKey(VK_DOWN);
    PushKey(VK_SPACE);
    EXPECT_EQ(Choose(), CScrDialog::BUTTON_WINDOW);
    PushKey(VK_TAB);
    PushKey(VK_SPACE);
    EXPECT_EQ(Choose(), CScrDialog::BUTTON_FULLSCREEN);
    PushKey(VK_TAB);
    PushKey(VK_TAB);
    PushKey(VK_RETURN);
    EXPECT_EQ(Choose(), CScrDialog::BUTTON_FULLSCREEN);
    // The mouse's light counts the same; with none lit Enter takes the last choice.
    Push(HOSTEV_MOUSEMOVE, Centre(1).x, Centre(1).y);
    PushKey(VK_RETURN);
    EXPECT_EQ(Choose(), CScrDialog::BUTTON_WINDOW);
    Push(HOSTEV_MOUSEMOVE, Centre(0).x, Centre(0).y);
    Push(HOSTEV_MOUSEMOVE, 20, 20);
    PushKey(VK_RETURN);
    EXPECT_EQ(Choose(), CScrDialog::BUTTON_WINDOW);
}

TEST_F(ScrDialog, TheWindowIsTheBackgroundsSizeTitledAndCentred)
{
    m_Host.PushDialogClick(Centre(1).x, Centre(1).y);
    m_Dialog.DoModal(nullptr, m_hWnd, nullptr);
    const CBmpPixels back("GameData/Dialog/Back.bmp");
    int x, y, w, h, sw, sh;
    m_Host.GetDialogPlacement(&x, &y, &w, &h);
    m_Host.GetScreenSize(&sw, &sh);
    EXPECT_EQ(w, back.Width());
    EXPECT_EQ(h, back.Height());
    EXPECT_GE(w, 310);
    EXPECT_GE(h, 228);
    const int nOuterW = w + 2 * WIN_FRAME_EDGE, nOuterH = h + 2 * WIN_FRAME_EDGE + WIN_CAPTION_HEIGHT;
    EXPECT_EQ(x - WIN_FRAME_EDGE, (sw - nOuterW) / 2);
    EXPECT_EQ(y - WIN_FRAME_EDGE - WIN_CAPTION_HEIGHT, (sh - nOuterH) / 2);
    EXPECT_EQ(m_Host.GetDialogTitle(), "ぞるばくるむ！");
}

TEST_F(ScrDialog, EscapeAndTheCloseBoxCancel)
{
    HOSTEVENT esc{};
    esc.type = HOSTEV_KEYDOWN;
    esc.nVirtKey = VK_ESCAPE;
    m_Host.PushDialogEvent(esc);
    int nChoice = -1;
    EXPECT_EQ(m_Dialog.DoModal(nullptr, m_hWnd, &nChoice), 0);
    HOSTEVENT close{};
    close.type = HOSTEV_CLOSE;
    m_Host.PushDialogEvent(close);
    EXPECT_EQ(m_Dialog.DoModal(nullptr, m_hWnd, &nChoice), 0);
    EXPECT_EQ(nChoice, -1);
    EXPECT_EQ(m_Host.GetDialogCount(), 2);
}

TEST_F(ScrDialog, WithoutItsBackgroundTheDialogDoesNotLoad)
{
    CScrDialog dialog;
    std::filesystem::remove("GameData");
    CopyGeneratedData();
    std::filesystem::remove("GameData/Dialog/Window2.bmp");
    EXPECT_EQ(dialog.Load(m_hWnd), 1);  // a missing button picture only goes undrawn
    std::filesystem::remove("GameData/Dialog/Back.bmp");
    EXPECT_EQ(dialog.Load(m_hWnd), 0);
}

namespace {

// The whole program with the dialog asked for.
class ScreenModeRun : public CProgramRun {
protected:
    void SetUp() override
    {
        MakeData();
        SetParam("SCREEN_SETTING", "1");
        SetScreenDialog(&m_Dialog);
    }
    void TearDown() override { SetScreenDialog(nullptr); }
    void Answer(int nButton)
    {
        const RECT rc = CScrDialog::HitRect(nButton);
        m_Host.PushDialogClick((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    CScrDialog m_Dialog;
};

} // namespace

TEST_F(ScreenModeRun, CancellingEndsTheProgramBeforeAnyDeviceOrTick)
{
    HOSTEVENT esc{};
    esc.type = HOSTEV_KEYDOWN;
    esc.nVirtKey = VK_ESCAPE;
    m_Host.PushDialogEvent(esc);
    EXPECT_EQ(Run(100), 0);
    EXPECT_EQ(m_Host.GetDialogCount(), 1);
    EXPECT_EQ(m_Host.GetFrameTicks(), 0u);
    EXPECT_EQ(m_Host.GetPresentCount(), 0);
    EXPECT_EQ(m_Game.GetState(), CGame::STATE_NONE);
    EXPECT_FALSE(m_Host.HasMainWindow());
    EXPECT_TRUE(m_Host.GetMessageBoxes().empty());
}

TEST_F(ScreenModeRun, FullScreenRunsFullScreenAndWindowInAWindow)
{
    Answer(CScrDialog::BUTTON_FULLSCREEN);
    bool bFullWhileRunning = false;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        bFullWhileRunning = m_Host.IsFullScreen() && g_bFullScreen && !m_Host.IsCursorShown();
        game.m_OnRender = nullptr;
        CloseSoon(30);
    };
    EXPECT_EQ(Run(200000), 0);
    EXPECT_TRUE(bFullWhileRunning);
    // The frame is the game's 640 x 480 picture: the host scales it to the desktop.
    EXPECT_GT(m_Host.GetPresentCount(), 0);
    EXPECT_EQ(m_Host.GetLastFrameWidth(), 640);
    EXPECT_EQ(m_Host.GetLastFrameHeight(), 480);

    CHostHeadless host;
    CObservedGame game(host);
    const RECT rc = CScrDialog::HitRect(CScrDialog::BUTTON_WINDOW);
    host.PushDialogClick((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    bool bWindowed = false;
    game.m_OnRender = [&](CObservedGame& g) {
        bWindowed = !host.IsFullScreen() && !g_bFullScreen && host.IsWindowShown() && host.IsCursorShown();
        g.m_OnRender = nullptr;
        CloseSoonOn(host, g, 30);
    };
    EXPECT_EQ(RunOn(host, game, 200000), 0);
    EXPECT_TRUE(bWindowed);
}

TEST_F(ScreenModeRun, MissingPicturesSayTheDialogFailedAndEndTheProgram)
{
    std::filesystem::remove("GameData/Dialog/Back.bmp");
    EXPECT_EQ(Run(100), 0);
    EXPECT_EQ(m_Host.GetDialogCount(), 0);
    EXPECT_EQ(m_Host.GetFrameTicks(), 0u);
    ASSERT_EQ(m_Host.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(m_Host.GetMessageBoxes()[0].first, "ダイアログのセットアップに失敗しました。");
    EXPECT_EQ(m_Host.GetMessageBoxes()[0].second, "Zorva");
}
