// The start-up sequence of states 1 and 2: the caution screen fades in from white and waits for a
// key, then the maker's bar drops in, and after a pause (in which the opening's script is read)
// everything fades to white. State 1 enters at the caution screen, state 2 (after a demo, or the
// title's logo key) at the bar. The game moves on when the sequence reports it has finished.
#pragma once
#include "engine/DSurface.h"
#include "engine/FadePlane.h"
#include "scene/BriskoBar.h"

#define CAUTION_PICTURE ".\\GameData\\First\\Caution.bmp"

class CGame;
class COpening;

class CLogo {
public:
    enum {
        STATE_BAR = 0,
        STATE_OPENING_LOAD = 1,
        STATE_FADE_OUT = 2,
        STATE_CAUTION_IN = 3,
        STATE_CAUTION_OUT = 4,
        STATE_CAUTION_WAIT = 5,
        STATE_WAIT = 7,
        STATE_FINISHED = 8,
    };
    enum { CAUTION_MS = 5000, BAR_DELAY_MS = 1000, AFTER_BAR_MS = 1000, OPENING_DELAY_MS = 1000 };
    static constexpr float kFadeStep = 0.09f;

    CLogo() = default;
    virtual ~CLogo() = default;
    CLogo(const CLogo&) = delete;
    CLogo& operator=(const CLogo&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void SetOpening(COpening* pOpening) { m_pOpening = pOpening; }
    void SetGame(CGame* pGame) { m_pGame = pGame; }
    void StartCaution();
    void StartBar();
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);
    void DrawFade(IDirect3DDevice7* lpDevice);

    int GetState() const { return m_nState; }
    int GetNextState() const { return m_nNextState; }
    const CBriskoBar& GetBar() const { return m_Bar; }
    const CFadePlane& GetFader() const { return m_Fader; }

private:
    // The timed wait (state 7) of nMs towards nNext, from now.
    void Wait(int nMs, int nNext);
    void StartFade(int nKind);
    bool IsInput() const;

    int m_nState = STATE_FINISHED;
    int m_nNextState = STATE_FINISHED;
    CFadePlane m_Fader;
    CBriskoBar m_Bar;
    CDSurface m_Caution;
    CDSurface m_White;
    DWORD m_dwWait = 0;
    DWORD m_dwWaitStart = 0;
    DWORD m_dwDelay = 0;
    DWORD m_dwDelayStart = 0;
    COpening* m_pOpening = nullptr;
    CGame* m_pGame = nullptr;
};
