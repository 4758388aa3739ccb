// A headless host installed for one test, with a clean window system and a recording WndProc.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"

struct RecordedMsg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class HeadlessWinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Registers "Zorva" with RecordingProc and creates the main window (640 x 480 client).
    HWND CreateMainWindow();
    // Takes, translates and dispatches every waiting message; true when WM_QUIT came.
    bool PumpAll();

    static LRESULT RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static std::vector<RecordedMsg> s_received;

    CHostHeadless m_host;
    int m_nQuitCode = -1;
};
