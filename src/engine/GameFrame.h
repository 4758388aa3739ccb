// What the process frame needs of the game: its state number, the loading and stage-pause
// questions, and one call per start-up step, pass and shutdown. The scene's game object
// implements it; the program's entry hands it over before WinMain runs.
#pragma once

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
