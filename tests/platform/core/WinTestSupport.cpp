#include "WinTestSupport.h"

std::vector<RecordedMsg> HeadlessWinTest::s_received;

void HeadlessWinTest::SetUp() {
    m_host.SetQuiet(true);
    SetHost(&m_host);
    ResetWindowSystem();
    s_received.clear();
}

void HeadlessWinTest::TearDown() {
    ResetWindowSystem();
    SetHost(nullptr);
}

HWND HeadlessWinTest::CreateMainWindow() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 4;
    wc.lpszClassName = "Zorva";
    EXPECT_NE(RegisterClassA(&wc), 0);
    DWORD dwStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT rc{0, 0, 640, 480};
    AdjustWindowRect(&rc, dwStyle, FALSE);
    return CreateWindowExA(0, "Zorva", "Title", dwStyle, 192, 144, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                           nullptr, nullptr, nullptr);
}

bool HeadlessWinTest::PumpAll() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            m_nQuitCode = static_cast<int>(msg.wParam);
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}

LRESULT HeadlessWinTest::RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    s_received.push_back(RecordedMsg{uMsg, wParam, lParam});
    if (uMsg == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
