// The top-level game object. Until the scene machine arrives it shows one fixed test screen that
// exercises the frame: 2D blits (fills, keyed, stretched), a 3D pass (a lit textured quad, an
// additive glow) and the scene fader cycling through its four kinds.
#pragma once
#include "engine/FadePlane.h"
#include "engine/GameFrame.h"
#include "platform/ddraw/DDraw.h"

class CGame : public IGameFrame {
public:
    enum { STATE_TEST_SCREEN = 1 };

    CGame() = default;
    ~CGame() override;

    int GetState() override { return m_nState; }
    bool IsLoading() override { return false; }
    bool IsStagePaused() override { return false; }
    void InitFader() override;
    bool Init(IDirect3DDevice7* lpDevice) override;
    void Update() override;
    void Render(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice) override;
    void Release() override;
    void DebugRestart() override;

    const CFadePlane& GetFader() const { return m_Fader; }
    int GetTick() const { return m_nTick; }

private:
    void StepFadeCycle();
    void DrawTest2D(IDirectDrawSurface7* lpBackBuffer);
    void DrawTest3D(IDirect3DDevice7* lpDevice);

    int m_nState = STATE_TEST_SCREEN;
    int m_nTick = 0;
    int m_nFadeStage = 0;
    int m_nHoldTicks = 0;
    CFadePlane m_Fader;
    IDirect3DDevice7* m_lpDevice = nullptr;
    IDirectDrawSurface7* m_lpSprite = nullptr;
    IDirectDrawSurface7* m_lpTexture = nullptr;
};
