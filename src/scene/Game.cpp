#include "scene/Game.h"

#include "engine/BmpIndex.h"

namespace {
constexpr int kHoldTicks = 60;
}

CGame::~CGame()
{
    Release();
}

void CGame::InitFader()
{
    m_Fader.Init();
    m_Fader.SetSpeed(0.01f);
}

void CGame::LoadSystemIndexes(IDirect3DDevice7* lpDevice)
{
    ::LoadSystemIndexes(lpDevice);
}

bool CGame::Init(IDirect3DDevice7* lpDevice)
{
    m_lpDevice = lpDevice;
    LoadSystemIndexes(lpDevice);
    if (!m_TestScreen.Load(lpDevice)) {
        return false;
    }
    DebugRestart();
    return true;
}

// In from black, then out to white, in from white, out to black, and round again, holding a
// second between fades.
void CGame::StepFadeCycle()
{
    static const int kCycle[4] = {CFadePlane::KIND_OUT_WHITE, CFadePlane::KIND_IN_WHITE,
                                  CFadePlane::KIND_OUT_BLACK, CFadePlane::KIND_IN_BLACK};
    if (!m_Fader.IsDone()) {
        return;
    }
    if (++m_nHoldTicks < kHoldTicks) {
        return;
    }
    m_nHoldTicks = 0;
    m_Fader.SetKind(kCycle[m_nFadeStage]);
    m_Fader.Start();
    m_nFadeStage = (m_nFadeStage + 1) % 4;
}

void CGame::Update()
{
    m_TestScreen.Update();
    StepFadeCycle();
    m_Fader.Draw(m_lpDevice);
}

void CGame::Render(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice)
{
    m_TestScreen.Draw(lpBackBuffer, lpDevice);
    m_Fader.Draw(lpDevice);
}

void CGame::Release()
{
    m_TestScreen.Release();
    m_lpDevice = nullptr;
}

void CGame::DebugRestart()
{
    m_TestScreen.Reset();
    m_nFadeStage = 0;
    m_nHoldTicks = 0;
    m_Fader.SetKind(CFadePlane::KIND_IN_BLACK);
    m_Fader.Start();
}
