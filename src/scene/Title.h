// The title screen of state 13: the title picture comes in slat by slat over white, then a menu of
// four items (start, replay, settings, exit) takes the cursor. Left alone, a count-down starts the
// demo play; hidden key sequences switch play options on; with the debug switch, keys choose the
// start stage or jump to other scenes. The game reads the result and the chosen stage.
#pragma once
#include "engine/BmpIndex.h"
#include "engine/DSurface.h"
#include "scene/MenuEdge.h"
#include "scene/StateSwitch.h"

#define TITLE_FOLDER ".\\GameData\\Title\\"
#define TITLE_PICTURE ".\\GameData\\Title\\Title.bmp"
#define TITLE_INDEX "TitleIndex.txt"
#define TITLE_DETECTORS 3
#define TITLE_MENU_ITEMS 4
#define TITLE_DEBUG_STAGES 5

class CTitle {
public:
    enum {
        RESULT_WIPE = 0,
        RESULT_MENU = 1,
        RESULT_DELAYED = 2,
        RESULT_START = 3,
        RESULT_SETTINGS = 4,
        RESULT_REPLAY = 5,
        RESULT_LOGO = 6,
        RESULT_ENDING = 7,
        RESULT_DEMO = 8,
        RESULT_QUIT = 9,
    };
    enum { ITEM_START = 0, ITEM_REPLAY = 1, ITEM_SETTINGS = 2, ITEM_EXIT = 3 };
    enum { SLAT_WIDTH = 20, SLAT_FIRST_X = -10, MENU_X = 0, MENU_Y = 185, MENU_STEP = 60 };
    enum { MENU_DELAY_MS = 100, TICK_MS = 1000 };

    CTitle() = default;
    virtual ~CTitle() = default;
    CTitle(const CTitle&) = delete;
    CTitle& operator=(const CTitle&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // Entered with the stage a start begins at; a fresh visit starts the count-down anew and
    // forgets the sequences typed.
    void Reset(int nStage, int bFresh);
    void ResetInput(int bFresh);
    void Update();
    // 0 when the white plane cannot be drawn.
    int Draw(IDirectDrawSurface7* lpDest);
    int GetResult() const { return m_nResult; }
    void SetResult(int nResult) { m_nResult = nResult; }
    int GetStage() const { return m_nStage; }

    int GetCursor() const { return m_nCursor; }
    // This visit started afresh (count-down, unlocks and music from the start).
    int IsFresh() const { return m_bFresh; }
    float GetSlatWidth() const { return m_fSlatWidth; }
    int GetRemaining() const { return m_nRemaining; }
    int IsLastStretch() const { return m_bLastStretch; }
    int IsStopped() const { return m_bStopped; }
    const CStateSwitch& GetDetector(int i) const { return m_Detectors[i]; }
    // The hidden sequences, as the detectors are given them (the keys' virtual codes).
    static void GetSequence(int nDetector, const int** ppKeys, int* pnCount);
    // The region of a menu item.
    static const char* ItemRegion(int nItem);

private:
    void UpdateCountDown();
    void UpdateMenu();
    void MoveCursor(int nStep);
    void Confirm();
    void UpdateDebugKeys();
    int IsConfirmDown(int nInput) const;

    int m_nResult = RESULT_WIPE;
    int m_nDelayedResult = RESULT_MENU;
    DWORD m_dwDelay = MENU_DELAY_MS;
    DWORD m_dwDelayStart = 0;
    int m_bDelayDone = 1;
    CBmpIndex m_Index;
    CDSurface m_Picture;
    CDSurface m_White;
    int m_nCursor = 0;
    CKeyEdge m_Up, m_Down, m_Confirm;
    CKeyEdge m_Digits[TITLE_DEBUG_STAGES];
    int m_nStage = 1;
    float m_fSlatWidth = 0.0f;
    float m_fSlatTarget = (float)SLAT_WIDTH;
    float m_fSlatPos = 0.0f;
    float m_fSlatSpeed = 1.0f;
    CStateSwitch m_Detectors[TITLE_DETECTORS];
    int m_bAnnounced[TITLE_DETECTORS] = {};
    int m_bReplayExists = 0;
    int m_bFresh = 1;
    int m_bStopped = 1;
    DWORD m_dwTickPeriod = TICK_MS;
    DWORD m_dwTickStart = 0;
    int m_bTick = 0;
    int m_nRemaining = 30000;
    int m_bLastStretch = 0;
};
