// Windows, messages and the translation of host events, on the headless host.
#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace {

std::vector<UINT> MessagesOf(const std::vector<RecordedMsg>& received) {
    std::vector<UINT> out;
    for (const RecordedMsg& m : received) out.push_back(m.message);
    return out;
}

HOSTEVENT Event(HOSTEVENTTYPE type) {
    HOSTEVENT ev{};
    ev.type = type;
    return ev;
}

using WindowTest = HeadlessWinTest;

TEST_F(WindowTest, CreationSendsCreateAndMakesHiddenHostWindowWithExactClientArea) {
    RECT rc{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&rc, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE));
    EXPECT_EQ(rc.left, -3);
    EXPECT_EQ(rc.top, -22);
    EXPECT_EQ(rc.right, 643);
    EXPECT_EQ(rc.bottom, 483);

    HWND hWnd = CreateMainWindow();
    ASSERT_NE(hWnd, nullptr);
    ASSERT_EQ(s_received.size(), 1u);
    EXPECT_EQ(s_received[0].message, static_cast<UINT>(WM_CREATE));
    EXPECT_TRUE(m_host.HasMainWindow());
    EXPECT_FALSE(m_host.IsWindowShown());
    EXPECT_EQ(m_host.GetWindowTitle(), "Title");
    EXPECT_EQ(m_host.GetAppName(), "Zorva");
    int x, y, w, h;
    m_host.GetWindowPlacement(&x, &y, &w, &h);
    EXPECT_EQ(x, 195);
    EXPECT_EQ(y, 166);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);

    RECT client;
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    POINT pt{10, 20};
    ClientToScreen(hWnd, &pt);
    EXPECT_EQ(pt.x, 205);
    EXPECT_EQ(pt.y, 186);

    EXPECT_FALSE(ShowWindow(hWnd, SW_SHOWNORMAL));
    EXPECT_TRUE(m_host.IsWindowShown());
    EXPECT_NE(GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(WindowTest, UnknownClassAndDuplicateClassFail) {
    EXPECT_EQ(CreateWindowExA(0, "Nope", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    ASSERT_NE(CreateMainWindow(), nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "ZORVA";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
}

TEST_F(WindowTest, HostCreationFailureFailsCreateWindow) {
    m_host.SetFailCreateWindow(true);
    EXPECT_EQ(CreateMainWindow(), nullptr);
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST_F(WindowTest, WindowLongsHoldStylesAndFourExtraBytes) {
    HWND hWnd = CreateMainWindow();
    EXPECT_EQ(GetWindowLongA(hWnd, 0), 0);
    EXPECT_EQ(SetWindowLongA(hWnd, 0, 0x12345678), 0);
    EXPECT_EQ(GetWindowLongA(hWnd, 0), 0x12345678);
    EXPECT_EQ(GetWindowLongA(hWnd, 1), 0);  // would read past the four bytes
    EXPECT_EQ(GetLastError(), 1413u);
    LONG ex = GetWindowLongA(hWnd, GWL_EXSTYLE);
    SetWindowLongA(hWnd, GWL_EXSTYLE, ex | WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongA(hWnd, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongA(hWnd, GWL_STYLE) & ~WS_VISIBLE, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
}

TEST_F(WindowTest, HostEventsBecomeWin32Messages) {
    HWND hWnd = CreateMainWindow();
    s_received.clear();
    m_host.PressKey('Z');
    m_host.PressKey('Z');  // auto-repeat: the key was already down
    m_host.ReleaseKey('Z');
    HOSTEVENT act = Event(HOSTEV_ACTIVATE);
    m_host.PushEvent(act);
    act.bMinimized = 1;
    m_host.PushEvent(act);
    act.bActive = 1;
    act.bMinimized = 0;
    m_host.PushEvent(act);
    HOSTEVENT move = Event(HOSTEV_MOVE);
    move.x = -100;
    move.y = 50;
    m_host.PushEvent(move);
    m_host.PushEvent(Event(HOSTEV_CLOSE));
    EXPECT_TRUE(PumpAll());
    EXPECT_EQ(m_nQuitCode, 7);

    std::vector<UINT> expected = {WM_KEYDOWN, WM_CHAR,     WM_KEYDOWN,  WM_CHAR, WM_KEYUP, WM_ACTIVATE,
                                  WM_ACTIVATE, WM_ACTIVATE, WM_MOVE, WM_CLOSE, WM_DESTROY};
    ASSERT_EQ(MessagesOf(s_received), expected);
    EXPECT_EQ(s_received[0].wParam, 'Z');
    EXPECT_EQ(s_received[0].lParam, 1);
    EXPECT_EQ(s_received[1].wParam, 'z');
    EXPECT_EQ(s_received[2].lParam, 0x40000001);
    EXPECT_EQ(static_cast<DWORD>(s_received[4].lParam), 0xC0000001u);
    EXPECT_EQ(s_received[5].wParam, MAKEWPARAM(WA_INACTIVE, 0));
    EXPECT_EQ(LOWORD(s_received[6].wParam), WA_INACTIVE);
    EXPECT_NE(HIWORD(s_received[6].wParam), 0);
    EXPECT_EQ(s_received[7].wParam, WA_ACTIVE);
    EXPECT_EQ(LOWORD(s_received[8].lParam), 0xFF9C);  // -100 as the low 16 bits
    EXPECT_EQ(HIWORD(s_received[8].lParam), 50);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_FALSE(m_host.HasMainWindow());
}

TEST_F(WindowTest, MoveUpdatesClientOrigin) {
    HWND hWnd = CreateMainWindow();
    HOSTEVENT move = Event(HOSTEV_MOVE);
    move.x = 900;
    move.y = 400;
    m_host.PushEvent(move);
    PumpAll();
    POINT pt{0, 0};
    ClientToScreen(hWnd, &pt);
    EXPECT_EQ(pt.x, 900);
    EXPECT_EQ(pt.y, 400);
    RECT rc;
    GetWindowRect(hWnd, &rc);
    EXPECT_EQ(rc.left, 897);
    EXPECT_EQ(rc.top, 378);
}

TEST_F(WindowTest, AltTurnsKeysIntoSystemKeysAndShiftChangesTheCharacter) {
    CreateMainWindow();
    m_host.PressKey(VK_SHIFT);
    m_host.PressKey('Q');
    m_host.ReleaseKey(VK_SHIFT);
    m_host.PressKey(VK_MENU);
    m_host.PressKey(VK_ESCAPE);
    s_received.clear();
    PumpAll();
    std::vector<UINT> expected = {WM_KEYDOWN, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYDOWN};
    ASSERT_EQ(MessagesOf(s_received), expected);
    EXPECT_EQ(s_received[2].wParam, 'Q');
    EXPECT_EQ(s_received[5].wParam, VK_ESCAPE);
    EXPECT_NE(static_cast<DWORD>(s_received[5].lParam) & KF_ALTDOWN_BIT, 0u);
}

TEST_F(WindowTest, QueueKeepsPostOrderAndQuitComesLast) {
    HWND hWnd = CreateMainWindow();
    s_received.clear();
    PostQuitMessage(3);
    PostMessageA(hWnd, WM_USER + 1, 1, 0);
    PostMessageA(hWnd, WM_USER + 2, 2, 0);
    m_host.PushEvent(Event(HOSTEV_ACTIVATE));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    std::vector<UINT> order;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) order.push_back(msg.message);
    std::vector<UINT> expected = {WM_USER + 1, WM_USER + 2, WM_ACTIVATE, WM_QUIT};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(msg.wParam, 3);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, PostToUnknownWindowFails) {
    HWND hWnd = CreateMainWindow();
    DestroyWindow(hWnd);
    EXPECT_FALSE(PostMessageA(hWnd, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(DestroyWindow(hWnd));
}

int g_nDepth = 0;
int g_nMaxDepth = 0;
std::vector<int> g_order;

LRESULT ReentrantProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg != WM_USER) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    ++g_nDepth;
    g_nMaxDepth = std::max(g_nMaxDepth, g_nDepth);
    g_order.push_back(static_cast<int>(wParam));
    LRESULT result = wParam < 3 ? SendMessageA(hWnd, WM_USER, wParam + 1, 0) + 1 : 100;
    g_order.push_back(-static_cast<int>(wParam));
    --g_nDepth;
    return result;
}

TEST_F(WindowTest, SendMessageReentersTheWindowProcedure) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ReentrantProc;
    wc.lpszClassName = "Re";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "Re", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    g_order.clear();
    EXPECT_EQ(SendMessageA(hWnd, WM_USER, 0, 0), 103);
    EXPECT_EQ(g_nMaxDepth, 4);
    std::vector<int> expected = {0, 1, 2, 3, -3, -2, -1, 0};
    EXPECT_EQ(g_order, expected);
}

LRESULT CloseInsideDestroyProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    // A second destroy while the first is under way must be refused, not run twice.
    if (uMsg == WM_DESTROY) {
        EXPECT_FALSE(DestroyWindow(hWnd));
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

TEST_F(WindowTest, DestroyPurgesQueuedMessagesAndIsNotReentered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CloseInsideDestroyProc;
    wc.lpszClassName = "Cd";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "Cd", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(hWnd, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 5, 0, 0);
    EXPECT_TRUE(SendMessageA(hWnd, WM_CLOSE, 0, 0) == 0);
    EXPECT_FALSE(IsWindow(hWnd));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, ScriptedKeysDriveAsyncKeyState) {
    ASSERT_TRUE(m_host.AddScript("1 down R\n3 up R\n2 down Shift\n", nullptr));
    EXPECT_EQ(GetAsyncKeyState('R'), 0);
    m_host.FrameTick();
    EXPECT_LT(GetAsyncKeyState('R'), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    m_host.FrameTick();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_SHIFT)), 0x8000);
    m_host.FrameTick();
    EXPECT_EQ(GetAsyncKeyState('R'), 0);
    EXPECT_EQ(GetAsyncKeyState(0x1234), 0);
}

TEST_F(WindowTest, SystemKeyCloseAndSysCommandGoThroughDefaultProcedure) {
    HWND hWnd = CreateMainWindow();
    s_received.clear();
    SendMessageA(hWnd, WM_SYSKEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT);
    std::vector<UINT> expected = {WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY};
    EXPECT_EQ(MessagesOf(s_received), expected);
}

TEST_F(WindowTest, ServicesReachTheHost) {
    HWND hWnd = CreateMainWindow();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(MessageBoxA(nullptr, "Fail to Blt", "Zorva", MB_OK), IDOK);
    OutputDebugStringA("line\n");
    auto boxes = m_host.GetMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Fail to Blt");
    EXPECT_EQ(boxes[0].second, "Zorva");
    ASSERT_EQ(m_host.GetDebugLines().size(), 1u);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(m_host.IsCursorShown());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(m_host.IsCursorShown());
    EXPECT_TRUE(SetForegroundWindow(hWnd));
    EXPECT_EQ(m_host.GetRaiseCount(), 1);
    HCURSOR hArrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(SetCursor(hArrow), nullptr);
    EXPECT_EQ(SetCursor(nullptr), hArrow);
}

LRESULT HookProc(int, WPARAM, LPARAM) { return 1; }

TEST_F(WindowTest, HooksAreRecordedAndRemovedOnce) {
    HHOOK hHook = SetWindowsHookExA(WH_KEYBOARD_LL, HookProc, nullptr, 0);
    ASSERT_NE(hHook, nullptr);
    EXPECT_EQ(CallNextHookEx(hHook, HC_ACTION, WM_KEYDOWN, 0), 0);
    EXPECT_TRUE(UnhookWindowsHookEx(hHook));
    EXPECT_FALSE(UnhookWindowsHookEx(hHook));
}

TEST_F(WindowTest, TimeComesFromTheHostClock) {
    m_host.AdvanceClock(1000);
    EXPECT_EQ(timeGetTime(), 1000u);
    Sleep(15);
    EXPECT_EQ(timeGetTime(), 1015u);
    TIMECAPS tc{};
    ASSERT_EQ(timeGetDevCaps(&tc, sizeof tc), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_EQ(tc.wPeriodMin, 1u);
    EXPECT_EQ(tc.wPeriodMax, 1000000u);
    EXPECT_EQ(timeGetDevCaps(&tc, 4), static_cast<MMRESULT>(TIMERR_NOCANDO));
    EXPECT_EQ(timeBeginPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_EQ(timeBeginPeriod(0), static_cast<MMRESULT>(TIMERR_NOCANDO));
}

}  // namespace
