// The stage-clear tally: "stage clear" pops in, the pictures and counter rows slide in, the life,
// time and target rows count up, their sum rolls into the total, and the stage reads the total to
// add it to the score. Its states change after timed pauses on game timer 0.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/PopSurface.h"
#include "player/StagePoint.h"
#include "stage/StageScreens.h"

#define STAGECLEAR_SLIDES 6
#define STAGECLEAR_ROWS 4

// A picture's or a row's way in: from its start along a direction for a distance, braking evenly so
// that it comes to rest on its place.
struct SLIDEMOTION {
    float x = 0.0f, y = 0.0f;
    float fStartX = 0.0f, fStartY = 0.0f;
    float fPlaceX = 0.0f, fPlaceY = 0.0f;
    float fDirX = 0.0f, fDirY = 0.0f;
    float fTravel = 0.0f;  // distance left
    ACCINFO speed{};

    void Init(float fStartX0, float fStartY0, float fPlaceX0, float fPlaceY0);
    // Back at the start, standing.
    void Reset();
    // Off along (dx, dy) (a unit vector) for fDistance at fSpeed, braking to rest at the end.
    void Launch(float dx, float dy, float fDistance, float fSpeed);
    void Step();
    void Place();
    int IsDone() const { return fTravel <= 0.0f; }
};

class CStageClear : public IStageClear {
public:
    enum {
        STATE_TITLE = 0,
        STATE_SLIDE_IN = 1,
        STATE_TALLY = 2,
        STATE_TOTAL = 3,
        STATE_DONE = STAGECLEAR_STATE_DONE,
        STATE_WAIT = 5,
    };
    enum { ROW_LIFE = 0, ROW_TIME = 1, ROW_TARGET = 2, ROW_TOTAL = 3 };
    enum { SLIDE_ZORVA = 0, SLIDE_LIFE = 1, SLIDE_TIME = 2, SLIDE_TARGET = 3, SLIDE_BAR = 4, SLIDE_TOTAL = 5 };
    enum { VOICE_MS = 5500, DIGIT_WIDTH = 16, DIGIT_HEIGHT = 29 };

    CStageClear();
    ~CStageClear() override = default;

    int Load(IDirect3DDevice7* lpDevice) override;
    void Start() override;
    void Update() override;
    void Hide() override { m_bHidden = 1; }
    int Draw(IDirectDrawSurface7* lpSurface) override;
    int IsHidden() override { return m_bHidden; }
    int GetState() override { return m_nState; }
    int GetTotal() override;
    void SetLastStage(int bLast) override { m_bExtra = bLast; }
    void SetResults(int nLifePercent, int nTimeLeft, int nTargetBonus) override;

    // The wait before the next state, and the state after it (read while waiting).
    int GetPendingState() const { return m_nPendingState; }
    int GetRowValue(int i) { return m_Row[i].GetNumber(); }
    int GetRowCount(int i) const { return m_nCount[i]; }
    const SLIDEMOTION& GetSlide(int i) const { return m_Slide[i]; }
    const SLIDEMOTION& GetRowMotion(int i) const { return m_RowMotion[i]; }
    const SLIDEMOTION& GetTitleMotion() const { return m_TitleMotion; }
    int IsVoiceDone() const { return m_bVoiceDone; }

private:
    // Waits, then moves on to the state after the present one.
    void Switch();
    void Enter(int nState);
    void StartSlideIn();
    void StartCount();
    void UpdateSlideIn();
    void UpdateTally();
    void PlaceAll();
    void DrawDigits(IDirectDrawSurface7* lpSurface, int nValue, int x, int y);
    CDSurface& SlidePicture(int i) { return i == SLIDE_ZORVA && m_bExtra ? m_Extra : m_SlidePicture[i]; }

    CPopSurface m_Title;
    int m_nTitleWidth = 0;
    int m_nTitleHeight = 0;
    SLIDEMOTION m_TitleMotion;
    CDSurface m_SlidePicture[STAGECLEAR_SLIDES];
    SLIDEMOTION m_Slide[STAGECLEAR_SLIDES];
    CStagePointEx m_Row[STAGECLEAR_ROWS];
    SLIDEMOTION m_RowMotion[STAGECLEAR_ROWS];
    int m_nCount[STAGECLEAR_ROWS] = {};
    CDSurface m_Extra;
    CDSurface m_Numbers;
    int m_nState = STATE_TITLE;
    int m_nPendingState = STATE_TITLE;
    DWORD m_dwPendingDelay = 0;
    DWORD m_dwPendingStart = 0;
    int m_bHidden = 1;
    int m_nLifePercent = 0;
    int m_nTimeLeft = 0;
    int m_nTargetBonus = 0;
    int m_bExtra = 0;
    DWORD m_dwVoiceStart = 0;
    int m_bVoiceDone = 1;
};
