// The top-level game object. Until the scene machine arrives it shows the fixed test screen,
// running the scene fader through its four kinds, and after it the widget gallery.
#pragma once
#include "engine/FadePlane.h"
#include "engine/GameFrame.h"
#include "scene/TestScreen.h"
#include "scene/WidgetGallery.h"

class CGame : public IGameFrame {
public:
    enum { STATE_TEST_SCREEN = 1, STATE_GALLERY = 2 };
    // Ticks of the test screen before the gallery follows.
    enum { TEST_SCREEN_TICKS = 600 };

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

    // The three system index files, registered together or not at all.
    void LoadSystemIndexes(IDirect3DDevice7* lpDevice);

    const CFadePlane& GetFader() const { return m_Fader; }
    const CWidgetGallery& GetGallery() const { return m_Gallery; }

private:
    void StepFadeCycle();
    void ShowGallery();

    int m_nState = STATE_TEST_SCREEN;
    int m_nFadeStage = 0;
    int m_nHoldTicks = 0;
    CFadePlane m_Fader;
    int m_nPageTicks = 0;
    CTestScreen m_TestScreen;
    CWidgetGallery m_Gallery;
    IDirect3DDevice7* m_lpDevice = nullptr;
};
