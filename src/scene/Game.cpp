#include "scene/Game.h"

#include "effect/RVMEffect.h"

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
    m_Gallery.Load(lpDevice);
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

// The gallery comes in from black and stays; the fade cycle belongs to the test screen.
void CGame::ShowGallery()
{
    m_nState = STATE_GALLERY;
    m_Gallery.Start();
    m_Fader.SetKind(CFadePlane::KIND_IN_BLACK);
    m_Fader.Start();
}

void CGame::Update()
{
    if (m_nState == STATE_TEST_SCREEN && ++m_nPageTicks > TEST_SCREEN_TICKS) {
        ShowGallery();
    }
    if (m_nState == STATE_GALLERY) {
        m_Gallery.Update();
    } else {
        m_TestScreen.Update();
        StepFadeCycle();
    }
    m_Fader.Draw(m_lpDevice);
}

void CGame::Render(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice)
{
    if (m_nState == STATE_GALLERY) {
        m_Gallery.Draw(lpBackBuffer, lpDevice);
    } else {
        m_TestScreen.Draw(lpBackBuffer, lpDevice);
    }
    m_Fader.Draw(lpDevice);
}

void CGame::Release()
{
    m_TestScreen.Release();
    m_Gallery.Release();
    // The effect library's textures go with the scenes, before the device does.
    ReleaseEffectTextures();
    m_lpDevice = nullptr;
}

void CGame::DebugRestart()
{
    m_TestScreen.Reset();
    m_nState = STATE_TEST_SCREEN;
    m_nPageTicks = 0;
    m_nFadeStage = 0;
    m_nHoldTicks = 0;
    m_Fader.SetKind(CFadePlane::KIND_IN_BLACK);
    m_Fader.Start();
}
