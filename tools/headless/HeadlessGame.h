// The game as headless runs drive it. The loading thread works in real time while the fake clock
// runs ticks as fast as they come, so the ticks a load takes would depend on the machine: the first
// loading frame, once drawn, waits (in real time) for the load, which makes a run's ticks, key
// script, shots and clock readings repeat exactly. On the real clock a load takes the ticks it
// takes, as in the window.
#pragma once
#include <chrono>
#include <thread>

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
