// The game-over screen: two shutters close over the stage, the picture fades to black and back with
// the game-over music, the game-over pictures fall in, bounce and brake to their places, and a menu
// offers another try or the title. In replay playback there is no menu: the screen only reports the
// end of its fade to black, and the stage ends the replay.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/FadePlane.h"
#include "engine/MenuItem.h"
#include "player/MenuKeys.h"
#include "stage/StageScreens.h"

#define GAMEOVER_ITEM_NUM 7
#define GAMEOVER_SLIDE_NUM 3

// A moving picture's motion as a drawer reads it.
class IBOUNDINFO {
public:
    virtual ~IBOUNDINFO() = default;
    virtual void Reset() = 0;
    virtual void Update() = 0;
    virtual int IsFinished() = 0;
    virtual D3DVECTOR GetPosition() = 0;
    virtual D3DVECTOR GetScale() = 0;
};

// Falls under gravity 1.0 while it flies sideways, bounces once at half speed, and on landing again
// brakes evenly so that it stops exactly on its target x.
class SLIDING_MOVEINFO : public IBOUNDINFO {
public:
    enum { PHASE_FALL = 0, PHASE_BOUNCE = 1, PHASE_SLIDE = 2 };

    SLIDING_MOVEINFO() = default;
    SLIDING_MOVEINFO(const D3DVECTOR& vStart, float fSpeed, float fTargetX, float fGroundY);

    void Reset() override;
    void Update() override;
    int IsFinished() override { return m_Horizontal.nReached; }
    D3DVECTOR GetPosition() override { return m_vPos; }
    D3DVECTOR GetScale() override { return D3DVECTOR{{1.0f}, {1.0f}, {1.0f}}; }

    int GetPhase() const { return m_nPhase; }
    const ACCINFO& GetHorizontal() const { return m_Horizontal; }
    const ACCINFO& GetVertical() const { return m_Vertical; }

private:
    void StartBraking();

    D3DVECTOR m_vStart{};
    D3DVECTOR m_vPos{};
    ACCINFO m_Horizontal{};  // its value is the sideways speed
    ACCINFO m_Vertical{};    // its value is the falling speed
    float m_fStartSpeed = 0.0f;
    float m_fTargetX = 0.0f;
    float m_fGroundY = 0.0f;
    int m_nPhase = PHASE_FALL;
};

class CGameOver : public IGameOver {
public:
    enum { STATE_SHUTTERS = 0, STATE_FADE = 1, STATE_SLIDE_IN = 2, STATE_MENU = 3 };
    enum { RESULT_NONE = GAMEOVER_CHOICE_NONE, RESULT_CONTINUE = GAMEOVER_CHOICE_CONTINUE,
           RESULT_TITLE = GAMEOVER_CHOICE_TITLE };
    enum { ITEM_NONE = 0, ITEM_CONTINUE = 1, ITEM_TITLE = 2 };
    enum { WAIT_MS = 500 };

    CGameOver();
    ~CGameOver() override = default;

    int Load(IDirect3DDevice7* lpDevice) override;
    void Start(int bInteractive) override;
    void Update() override;
    void Hide() override;
    int Draw(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice) override;
    int IsHidden() override { return m_bHidden; }
    int GetState() override { return m_nState; }
    void SetRunning(int bRunning) override { m_bMenuActive = bRunning; }
    int GetChoice() override { return m_nResult; }
    int IsFinished() override;

    float GetShutter() const { return m_fShutter; }
    const CFadePlane& GetFade() const { return m_Fade; }
    SLIDING_MOVEINFO& GetSlide(int i) { return m_Slide[i]; }
    const CMenuItem& GetItem(int i) const { return m_Item[i]; }
    int GetSelected() const { return m_nSelect; }
    int IsInteractive() const { return m_bInteractive; }

private:
    void UpdateShutters();
    void UpdateFade();
    void UpdateSlides();
    void UpdateMenuInput();
    // The wait of 500 ms that follows the shutters and the fade; 1 once it is over.
    int IsWaitOver();
    void LatchMenuKeys();
    int DrawShutters(IDirectDrawSurface7* lpSurface);
    int DrawSlides(IDirectDrawSurface7* lpSurface);

    int m_nState = STATE_SHUTTERS;
    int m_nResult = RESULT_NONE;
    CMenuItem m_Item[GAMEOVER_ITEM_NUM];
    // What the slide records carry: the game-over picture and the two choices.
    CDSurface m_SlidePicture[GAMEOVER_SLIDE_NUM];
    CDSurface m_Shutter[2];
    SLIDING_MOVEINFO m_Slide[GAMEOVER_SLIDE_NUM];
    float m_fShutter = 0.0f;
    ACCINFO m_ShutterSpeed{};
    DWORD m_dwWaitStart = 0;
    int m_bWaiting = 0;
    CFadePlane m_Fade;
    int m_bMenuActive = 0;
    int m_bInteractive = 1;
    int m_bHidden = 1;
    int m_nSelect = ITEM_CONTINUE;
    CKeyEdge m_Up, m_Down, m_Left, m_Right, m_Z;
};
