// The multimedia clock and Sleep, on the host's clock (the headless host may fake it).
#include "platform/host/Clock.h"
#include "platform/host/Host.h"
#include "platform/win/Win.h"

DWORD timeGetTime() {
    IHost* pHost = GetHost();
    return pHost ? pHost->NowMs() : MonotonicMs();
}

DWORD GetTickCount() { return timeGetTime(); }

MMRESULT timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc) {
    if (!ptc || cbtc < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    ptc->wPeriodMin = 1;
    ptc->wPeriodMax = 1000000;
    return TIMERR_NOERROR;
}

// The clock already has millisecond resolution here: only the range is checked.
MMRESULT timeBeginPeriod(UINT uPeriod) { return (uPeriod >= 1 && uPeriod <= 1000000) ? TIMERR_NOERROR : TIMERR_NOCANDO; }

MMRESULT timeEndPeriod(UINT uPeriod) { return timeBeginPeriod(uPeriod); }

void Sleep(DWORD dwMilliseconds) {
    IHost* pHost = GetHost();
    if (pHost)
        pHost->SleepMs(dwMilliseconds);
    else
        SleepRealMs(dwMilliseconds);
}
