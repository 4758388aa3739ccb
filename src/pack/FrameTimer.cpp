#include "pack/FrameTimer.h"

#include <cstring>

#include "platform/win/Win.h"

namespace {

uint32_t RealClock()
{
    return timeGetTime();
}

void RealSleep(uint32_t dwMs)
{
    Sleep(dwMs);
}

const int kLagForgiven = 250;

} // namespace

CFrameTimer::CFrameTimer(FRAMECLOCK pfnClock, FRAMESLEEP pfnSleep)
    : m_nFPS(0), m_nStep(0), m_dwStart(0), m_nAccum(0), m_dwWorkSum(0), m_nRing(0), m_nFrames(0),
      m_bSkip(0), m_nPrevSkips(0), m_nSkips(0), m_pfnClock(pfnClock ? pfnClock : RealClock),
      m_pfnSleep(pfnSleep ? pfnSleep : RealSleep)
{
    memset(m_dwStamps, 0, sizeof(m_dwStamps));
    memset(m_dwWork, 0, sizeof(m_dwWork));
    SetFPS(60);
}

void CFrameTimer::SetFPS(int nFPS)
{
    m_dwStart = m_pfnClock();
    m_nSkips = 0;
    m_nPrevSkips = 0;
    m_dwWorkSum = 0;
    m_nFrames = 0;
    m_nRing = 0;
    m_nFPS = nFPS;
    if (nFPS != 0) {
        m_nStep = 65536000u / (uint32_t)nFPS;
        m_nAccum = 0;
    }
}

uint32_t CFrameTimer::GetWorkSum(bool bClear)
{
    uint32_t n = m_dwWorkSum;
    if (bClear)
        m_dwWorkSum = 0;
    return n;
}

uint32_t CFrameTimer::GetFrameCount(bool bClear)
{
    uint32_t n = m_nFrames;
    if (bClear)
        m_nFrames = 0;
    return n;
}

void CFrameTimer::WaitFrame()
{
    uint32_t dwNow = m_pfnClock();
    if (m_nFPS != 0 && m_nFrames % (uint32_t)m_nFPS == 0) {
        m_nPrevSkips = m_nSkips;
        m_nSkips = 0;
    }
    // The counter runs up to 63; the rings have 32 slots.
    int nSlot = m_nRing % FRAMETIMER_RING;
    m_dwStamps[nSlot] = dwNow;
    if (++m_nRing == 2 * FRAMETIMER_RING)
        m_nRing = FRAMETIMER_RING;
    m_nFrames++;
    if (m_nFPS == 0) {
        m_dwWork[nSlot] = 0;
        return;
    }
    m_nAccum = (m_nAccum & 0xFFFF) + m_nStep;
    int nLength = (int)(m_nAccum >> 16);
    int nUsed = (int)(dwNow - m_dwStart);
    if (nUsed < nLength) {
        int nWork = nUsed > 0 ? nUsed : 0;
        m_dwWorkSum += (uint32_t)nWork;
        m_dwWork[nSlot] = (uint32_t)nWork;
        m_bSkip = 0;
        m_pfnSleep((uint32_t)(nLength - nUsed));
        m_dwStart += (uint32_t)nLength;
        return;
    }
    int nLag = nUsed - nLength;
    if (nLag >= kLagForgiven)
        nLag = 0;
    m_bSkip = nLag >= 3 * nLength ? 1 : 0;
    if (m_bSkip)
        m_nSkips++;
    m_dwStart = dwNow - (uint32_t)nLag;
    m_dwWork[nSlot] = 0;
}

int CFrameTimer::GetRealFPS() const
{
    if (m_nRing < 16)
        return 0;
    int nNewest = (m_nRing - 1) % FRAMETIMER_RING;
    uint32_t d;
    uint32_t nFrames;
    if (m_nRing < FRAMETIMER_RING) {
        d = m_dwStamps[nNewest] - m_dwStamps[nNewest - 15];
        nFrames = 15000;
    } else {
        d = m_dwStamps[nNewest] - m_dwStamps[m_nRing % FRAMETIMER_RING];
        nFrames = 31000;
    }
    if (d == 0)
        return 0;
    return (int)((nFrames + d / 2) / d);
}

int CFrameTimer::GetIdlePercent() const
{
    if (m_nRing < 16)
        return 0;
    uint32_t nSum = 0;
    for (int i = 0; i < 16; i++)
        nSum += m_dwWork[i];
    return 100 - (int)((uint32_t)m_nFPS * nSum / 160);
}
