// Paces a loop at a fixed frame rate: sleeps away the rest of each frame, keeps the schedule in
// 16.16 fixed-point milliseconds so it never drifts, forgives lag of 250 ms or more, and flags
// frames three or more frame lengths late so the caller can skip drawing.
#pragma once
#include <cstdint>

#define FRAMETIMER_RING 32

typedef uint32_t (*FRAMECLOCK)();
typedef void (*FRAMESLEEP)(uint32_t dwMs);

class CFrameTimer {
public:
    // The real-time clock and Sleep unless a test gives its own.
    explicit CFrameTimer(FRAMECLOCK pfnClock = nullptr, FRAMESLEEP pfnSleep = nullptr);

    void SetFPS(int nFPS);
    void WaitFrame();

    int GetFPS() const { return m_nFPS; }
    uint32_t GetWorkSum(bool bClear);
    uint32_t GetFrameCount(bool bClear);
    int IsSkip() const { return m_bSkip; }
    int GetPrevSkipCount() const { return m_nPrevSkips; }
    int GetRealFPS() const;
    int GetIdlePercent() const;

private:
    int m_nFPS;
    uint32_t m_nStep;
    uint32_t m_dwStart;
    uint32_t m_nAccum;
    uint32_t m_dwWorkSum;
    uint32_t m_dwStamps[FRAMETIMER_RING];
    uint32_t m_dwWork[FRAMETIMER_RING];
    int m_nRing;   // counts up from 0; 64 goes back to 32, so 32 or more means the rings are full
    uint32_t m_nFrames;
    int m_bSkip;
    int m_nPrevSkips;
    int m_nSkips;
    FRAMECLOCK m_pfnClock;
    FRAMESLEEP m_pfnSleep;
};
