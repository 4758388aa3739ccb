// The game as headless runs drive it. The loading thread works in real time while the fake clock
// runs ticks as fast as they come, so the ticks a load takes would depend on the machine: the first
// loading frame, once drawn, waits (in real time) for the load, which makes a run's ticks, key
// script, shots and clock readings repeat exactly. On the real clock a load takes the ticks it
// takes, as in the window.
#pragma once
#include <chrono>
#include <thread>

#include "engine/GameFrame.h"
#include "engine/WinMain.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/Game.h"

class CHeadlessGame : public CGame {
public:
    // The wait comes after the pass, so the loading picture is on the screen while the run waits.
    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        CGame::Render(lpDest, lpDevice);
        if (GetState() == STATE_LOADING && m_bWaitForLoads) {
            for (int nWaited = 0; !IsLoadDone() && nWaited < kMaxLoadWaitMs; nWaited++)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    bool m_bWaitForLoads = true;

private:
    static constexpr int kMaxLoadWaitMs = 60000;
};

// The whole program in this process on the host, start-up to shutdown, closed at tick nCloseTick
// unless it ends before: the program's exit status.
inline int RunOnHost(CHostHeadless& host, IGameFrame& game, uint32_t nCloseTick)
{
    HOSTSCRIPTCMD close = {};
    close.nTick = nCloseTick;
    close.op = HSOP_CLOSE;
    host.Schedule(close);
    SetHost(&host);
    ResetWindowSystem();
    SetGameFrame(&game);
    const int nResult = RunApplication(nullptr, SW_SHOWNORMAL);
    SetGameFrame(nullptr);
    ResetWindowSystem();
    SetHost(nullptr);
    return nResult;
}
