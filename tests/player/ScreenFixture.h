// The stage's screens on a software device with the generated data set, the system indexes, the
// sound bank, the key map and the frame clock, stepped tick by tick.
#pragma once
#include <gtest/gtest.h>

#include "engine/AppTimer.h"
#include "support/DeviceFixture.h"

class CScreenFixture : public CDeviceFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // One tick of frame time.
    static void Tick(int n = 1)
    {
        for (int i = 0; i < n; i++)
            CAppTimer::FrameTick();
    }
    static DWORD Now() { return CAppTimer::GetElapsed(0); }
    // Steps until fnDone holds: the number of steps it took, -1 when nMax were not enough.
    template <class FStep, class FDone> static int StepsUntil(FStep fnStep, FDone fnDone, int nMax)
    {
        for (int i = 1; i <= nMax; i++) {
            fnStep();
            if (fnDone())
                return i;
        }
        return -1;
    }
    void Press(int nVirtKey) { m_Host.PressKey(nVirtKey); }
    void Release(int nVirtKey) { m_Host.ReleaseKey(nVirtKey); }
    // Whether the system sound was asked for since the last ClearSounds; -1 when it is not in the
    // bank (or there is no sound).
    int WasPlayed(const char* pszPath);
    void ClearSounds();
    // The back-buffer pixels of one colour in the rectangle.
    int CountBack(int x0, int y0, int x1, int y1, WORD wColor);

    bool m_bSound = false;
};
