// The whole program on the headless host, in a fresh folder: the process frame, the game object
// and the present, run until a tick and closed the way the close box closes it.
#pragma once
#include <gtest/gtest.h>

#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/Game.h"
#include "support/TempFolder.h"

class CProgramRun : public ::testing::Test {
protected:
    int Run(uint32_t nTicks)
    {
        HOSTSCRIPTCMD close = {};
        close.nTick = nTicks + 1;
        close.op = HSOP_CLOSE;
        m_Host.Schedule(close);
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        ResetWindowSystem();
        SetGameFrame(&m_Game);
        const int nResult = RunApplication(nullptr, SW_SHOWNORMAL);
        SetGameFrame(nullptr);
        ResetWindowSystem();
        SetHost(nullptr);
        return nResult;
    }

    WORD Pixel(int x, int y) const { return m_Host.GetLastFrame()[static_cast<size_t>(y) * 640 + x]; }

    CTempFolder m_Folder;
    CHostHeadless m_Host;
    CGame m_Game;
};
