// The program's one source of time: ten pausable timers, each measured on the real clock and on
// the frame clock. Game timing reads the frame clock, which moves only when an update pass runs, so
// the game behaves the same at any machine speed and when a replay is played back.
#pragma once
#include "platform/win/WinTypes.h"

class CAppTimer {
public:
    enum { TIMER_COUNT = 10 };
    enum { CLOCK_REAL = 0, CLOCK_FRAME = 1, CLOCK_COUNT = 2 };

    virtual ~CAppTimer() = default;

    // 16 ms whole plus 0.666 ms kept as a float that is never reduced: replays depend on the
    // exact rounding of this sum, so it must not become two thirds or a double.
    static DWORD GetFrameClock() { return m_dwFrameMs + (DWORD)m_fFrameFrac; }
    static void FrameTick()
    {
        m_dwFrameMs += 16;
        m_fFrameFrac += 0.666f;
    }

    static void Reset(int i);
    static void ResetAll();
    static void Pause(int i);
    static void Resume(int i);
    static int IsPaused(int i);
    static DWORD GetElapsedOn(int i, int nClock);
    // The most called function of the program: on the frame clock it costs two loads and a
    // subtraction, no system call.
    static DWORD GetElapsed(int i)
    {
        if (m_nClock == CLOCK_FRAME && IsValid(i)) {
            return m_nPaused[i] ? m_dwPausedElapsed[i][CLOCK_FRAME] : GetFrameClock() - m_dwStart[i][CLOCK_FRAME];
        }
        return GetElapsedOn(i, m_nClock);
    }
    static void SetClock(int nClock);

    // A new process image starts the frame clock at zero; tools and tests that run several
    // sessions in one process put it back there.
    static void ResetFrameClock();
    // The frame clock from 0 again, every timer's reading kept. Its steps (16 or 17 ms) depend on
    // the passes since it started, so a stage run that restarts it sees the same steps whether it
    // is recorded or played back, however long the menus and the loading took before it.
    static void RestartFrameClock();

private:
    static bool IsValid(int i) { return (unsigned)i < (unsigned)TIMER_COUNT; }
    static DWORD Now(int nClock);

    static int m_nPaused[TIMER_COUNT];
    static DWORD m_dwStart[TIMER_COUNT][CLOCK_COUNT];
    static DWORD m_dwPausedElapsed[TIMER_COUNT][CLOCK_COUNT];
    static DWORD m_dwFrameMs;
    static float m_fFrameFrac;
    static int m_nClock;
};
