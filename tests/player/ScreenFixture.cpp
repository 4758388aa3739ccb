#include "player/ScreenFixture.h"

#include "engine/BmpIndex.h"
#include "engine/KeyRecorder.h"
#include "engine/PCMManagerTask.h"
#include "engine/Param.h"
#include "engine/ShowableSet.h"
#include "engine/Sound.h"
#include "pack/teskFile.h"
#include "support/GeneratedData.h"

void CScreenFixture::SetUp()
{
    CDeviceFixture::SetUp();
    LinkGeneratedData();
    CFile reset(1);
    ClearParams();
    CKeyRecorder::InitKeyMap();
    CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
    CAppTimer::ResetFrameClock();
    for (int i = 0; i < CAppTimer::TIMER_COUNT; i++)
        CAppTimer::Resume(i);
    CAppTimer::ResetAll();
    ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
    if (InitSound(nullptr) == 1) {
        g_PCMManagerTask.Init();
        m_bSound = true;
    }
}

void CScreenFixture::TearDown()
{
    CScrollableSet::Clear();
    if (m_bSound) {
        g_PCMManagerTask.Release();
        ReleaseSound();
    }
    ReleaseSystemIndexes();
    CKeyRecorder::ClearKeyMap();
    ClearParams();
    CDeviceFixture::TearDown();
}

int CScreenFixture::WasPlayed(const char* pszPath)
{
    const int nSlot = m_bSound ? g_PCMManagerTask.FindSystemSlot(pszPath) : -1;
    return nSlot < 0 ? -1 : g_PCMManagerTask.GetState(PCM_BANK_SYSTEM, nSlot) == PCM_STATE_REQUESTED;
}

void CScreenFixture::ClearSounds()
{
    if (m_bSound)
        g_PCMManagerTask.Update();
}

int CScreenFixture::CountBack(int x0, int y0, int x1, int y1, WORD wColor)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += BackPixel(x, y) == wColor;
    return n;
}
