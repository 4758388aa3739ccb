#include "engine/AppTimer.h"
#include "platform/win/Win.h"

int CAppTimer::m_nPaused[TIMER_COUNT];
DWORD CAppTimer::m_dwStart[TIMER_COUNT][CLOCK_COUNT];
DWORD CAppTimer::m_dwPausedElapsed[TIMER_COUNT][CLOCK_COUNT];
DWORD CAppTimer::m_dwFrameMs;
float CAppTimer::m_fFrameFrac;
int CAppTimer::m_nClock = CAppTimer::CLOCK_FRAME;

DWORD CAppTimer::Now(int nClock)
{
    return nClock == CLOCK_REAL ? (DWORD)timeGetTime() : GetFrameClock();
}

void CAppTimer::Reset(int i)
{
    if (!IsValid(i)) {
        return;
    }
    const DWORD dwNow[CLOCK_COUNT] = {Now(CLOCK_REAL), Now(CLOCK_FRAME)};
    for (int c = 0; c < CLOCK_COUNT; c++) {
        m_dwStart[i][c] = dwNow[c];
        m_dwPausedElapsed[i][c] = 0;
    }
}

void CAppTimer::ResetAll()
{
    for (int i = 0; i < TIMER_COUNT; i++) {
        Reset(i);
    }
}

void CAppTimer::Pause(int i)
{
    if (!IsValid(i) || m_nPaused[i]) {
        return;
    }
    const DWORD dwNow[CLOCK_COUNT] = {Now(CLOCK_REAL), Now(CLOCK_FRAME)};
    for (int c = 0; c < CLOCK_COUNT; c++) {
        m_dwPausedElapsed[i][c] = dwNow[c] - m_dwStart[i][c];
    }
    m_nPaused[i] = 1;
}

void CAppTimer::Resume(int i)
{
    if (!IsValid(i) || !m_nPaused[i]) {
        return;
    }
    const DWORD dwNow[CLOCK_COUNT] = {Now(CLOCK_REAL), Now(CLOCK_FRAME)};
    for (int c = 0; c < CLOCK_COUNT; c++) {
        m_dwStart[i][c] = dwNow[c] - m_dwPausedElapsed[i][c];
    }
    m_nPaused[i] = 0;
}

int CAppTimer::IsPaused(int i)
{
    return IsValid(i) && m_nPaused[i] ? 1 : 0;
}

DWORD CAppTimer::GetElapsedOn(int i, int nClock)
{
    if (!IsValid(i) || (unsigned)nClock >= (unsigned)CLOCK_COUNT) {
        return 0;
    }
    if (m_nPaused[i]) {
        return m_dwPausedElapsed[i][nClock];
    }
    // Unsigned difference: a wrap of the millisecond clock still gives the right span.
    return Now(nClock) - m_dwStart[i][nClock];
}

void CAppTimer::SetClock(int nClock)
{
    if ((unsigned)nClock >= (unsigned)CLOCK_COUNT || nClock == m_nClock) {
        return;
    }
    const DWORD dwOldNow = Now(m_nClock);
    const DWORD dwNewNow = Now(nClock);
    for (int i = 0; i < TIMER_COUNT; i++) {
        m_dwStart[i][nClock] = m_dwStart[i][m_nClock] - dwOldNow + dwNewNow;
    }
    m_nClock = nClock;
}

void CAppTimer::ResetFrameClock()
{
    m_dwFrameMs = 0;
    m_fFrameFrac = 0.0f;
}

void CAppTimer::RestartFrameClock()
{
    const DWORD dwNow = GetFrameClock();
    for (int i = 0; i < TIMER_COUNT; i++)
        m_dwStart[i][CLOCK_FRAME] -= dwNow;
    ResetFrameClock();
}
