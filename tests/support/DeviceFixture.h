// A software device on a headless host, set up the way start-up sets it up, in a fresh temporary
// folder (the device report is written to the current folder).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EnumDriver.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"

class CDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The back buffer's pixel at (x, y).
    WORD BackPixel(int x, int y);
    // Fills the whole back buffer with one colour.
    void FillBack(WORD wColor);
    std::string ReadFile(const char* pszName);

    CHostHeadless m_Host;
    HWND m_hWnd = nullptr;
    bool m_bFullScreen = false;

private:
    std::string m_strOldDir;
    std::string m_strTempDir;
};
