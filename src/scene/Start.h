// The start menu of state 11: two rows, the mode (easy or hard, which sets the half-damage play
// option) and then the sub-weapon (four tabs). Confirming the sub-weapon starts the game after a
// short pause; the jump key steps back a row, and from the mode row back to the title. The arrows
// beside the row being chosen blink, spring aside when pressed and light up on confirming.
#pragma once
#include "engine/BmpIndex.h"
#include "scene/MenuEdge.h"

#define START_MENU_INDEX "StartMenuIndex.txt"

class CStart {
public:
    enum { RESULT_MODE = 0, RESULT_SUBWEAPON = 1, RESULT_CONFIRMED = 2, RESULT_START = 3, RESULT_BACK = 4 };
    enum { MODE_EASY = 0, MODE_HARD = 1, MODE_COUNT = 2, TAB_COUNT = 4 };
    enum { PAUSE_MS = 1000, BLINK_MS = 100, HIGHLIGHT_MS = 40 };
    enum { LATCH_UP, LATCH_DOWN, LATCH_LEFT, LATCH_RIGHT, LATCH_ENTER, LATCHES };
    enum { ARROW_LEFT = 0, ARROW_RIGHT = 1 };

    // One arrow's spring aside: an offset in x that runs back to 0.
    struct NUDGE {
        float fOffset = 0.0f;
        float fSpeed = 0.0f;
        float fAccel = 0.0f;
        float fMinSpeed = 0.0f;
        float fMaxSpeed = 0.0f;
        int bStopped = 1;
        int bBounded = 0;
        int bBounceMax = 0;
        int bBounceMin = 0;
    };

    CStart() = default;
    virtual ~CStart();
    CStart(const CStart&) = delete;
    CStart& operator=(const CStart&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Enter();
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);
    void Stop() { m_bStopped = 1; }
    int GetResult() const { return m_nResult; }
    // The game reads the result; its tests may set it.
    void SetResult(int nResult) { m_nResult = nResult; }
    // The sub-weapon of the chosen tab: 0 Ion Shield, 1 Hawk Wind, 2 Fire Storm, 3 Ground Wiper.
    int GetSubWeapon() const;
    int GetMode() const { return m_nMode; }
    int GetTab() const { return m_nTab; }
    int IsBlinkOn() const { return m_bBlink; }
    int IsHighlighted() const { return !m_bHighlightDone; }
    const NUDGE& GetNudge(int nArrow) const { return m_Nudge[nArrow]; }
    // Steps a nudge once.
    static void StepNudge(NUDGE* pNudge);

private:
    int IsConfirm(int nInput) const;
    void Nudge(int nArrow);
    // Left and right over the choices of a row; the new choice, or the old one with no press.
    int ChooseInRow(int nInput, int nChoice, int nCount);
    void UpdateInput();
    void DrawRegion(IDirectDrawSurface7* lpDest, const char* pszName, int x, int y);
    void DrawSurface(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSurface, int x, int y);
    void DrawArrows(IDirectDrawSurface7* lpDest, int nRow, bool bBlinking);

    int m_nResult = RESULT_MODE;
    CBmpIndex m_Index;
    IDirectDrawSurface7* m_lpLitArrow[2] = {};
    DWORD m_dwPause = PAUSE_MS;
    DWORD m_dwPauseStart = 0;
    int m_bPauseDone = 1;
    POINT m_ptLit[2] = {};
    int m_bBlink = 0;
    DWORD m_dwBlinkPeriod = BLINK_MS;
    DWORD m_dwBlinkStart = 0;
    int m_bBlinkRunning = 0;
    DWORD m_dwHighlight = HIGHLIGHT_MS;
    DWORD m_dwHighlightStart = 0;
    int m_bHighlightDone = 1;
    NUDGE m_Nudge[2];
    int m_nTab = 0;
    int m_nMode = MODE_EASY;
    CKeyEdge m_Latches[LATCHES];
    CKeyEdge m_ConfirmLatch;
    CKeyEdge m_BackLatch;
    int m_bStopped = 1;
};
