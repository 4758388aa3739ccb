// What the process frame needs of the game: its state number, the loading and stage-pause
// questions, and one call per start-up step, pass and shutdown. The scene's game object
// implements it; the program's entry hands it over before WinMain runs.
#pragma once
#include "platform/win/WinTypes.h"

class IDirect3DDevice7;
class IDirectDrawSurface7;

class IGameFrame {
public:
    enum { STATE_LOADING = 3, STATE_LOADING_DONE = 4, STATE_QUIT = 21 };

    virtual ~IGameFrame() = default;

    virtual int GetState() = 0;
    // True in the two loading states: a worker thread is building the stage.
    virtual bool IsLoading() = 0;
    virtual bool IsStagePaused() = 0;
    virtual void InitFader() = 0;
    virtual bool Init(IDirect3DDevice7* lpDevice) = 0;
    virtual void Update() = 0;
    virtual void Render(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice) = 0;
    // Must be safe on an object that was never initialised.
    virtual void Release() = 0;
    virtual void DebugRestart() = 0;
};

void SetGameFrame(IGameFrame* pGame);
IGameFrame* GetGameFrame();

// The start-up question "full screen or window?", asked when SCREEN_SETTING is non-zero, before
// any device exists. The scene folder's dialog implements it; the program's entry hands it over
// like the game. Without one the program starts in a window.
class IScreenDialog {
public:
    enum { CHOICE_FULLSCREEN = 0, CHOICE_WINDOW = 1 };

    virtual ~IScreenDialog() = default;

    // Its pictures; 0 when they cannot be had.
    virtual int Load(HWND hWnd) = 0;
    // 1 with the choice in *pnChoice (when given); 0 when the dialog was cancelled or closed.
    virtual int DoModal(HINSTANCE hInstance, HWND hWndParent, int* pnChoice) = 0;
    virtual void Release() = 0;
};

void SetScreenDialog(IScreenDialog* pDialog);
IScreenDialog* GetScreenDialog();
