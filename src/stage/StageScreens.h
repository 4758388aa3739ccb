// The in-stage screens and HUD parts the running stage owns but whose classes live in the player
// library above it: the stage drives them through these interfaces. The scene plugs the concrete
// screens in with CStage::SetScreens; a null entry (a stage run without that screen, as in the
// stage's own tests) is skipped.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CMsgWin;
class CStage;
class IStagePlayer;

#define STAGE_BEACON_NUM 9    // 0 to 6 danger beacons, 7 unused, 8 the boss warning
#define STAGE_DANGER_BEACONS 7
#define STAGE_BOSS_BEACON 8

// The pause menu.
class IPause {
public:
    virtual ~IPause() = default;
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    virtual void Start() = 0;
    virtual void UpdateInput() = 0;
    virtual void Update() = 0;
    virtual void Hide() = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
    // Non-zero once the menu has been answered.
    virtual int IsDecided() = 0;
    // The answer: PAUSE_CHOICE_TITLE returns to the title, anything else to the game.
    virtual int GetChoice() = 0;
};
enum { PAUSE_CHOICE_GAME = 1, PAUSE_CHOICE_TITLE = 2 };

// The stage-start banner.
class IGameStart {
public:
    virtual ~IGameStart() = default;
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    virtual void SetPoint(const D3DVECTOR& vPoint) = 0;
    virtual void Start() = 0;
    virtual void Update() = 0;
    virtual void Hide() = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
};

// The game-over screen.
class IGameOver {
public:
    virtual ~IGameOver() = default;
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    // Shows the screen; bInteractive 0 for a replay (no choice is offered). Clears the hidden flag.
    virtual void Start(int bInteractive) = 0;
    virtual void Update() = 0;
    virtual void Hide() = 0;
    // Its fades are drawn in scenes of their own on the device.
    virtual int Draw(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice) = 0;
    virtual int IsHidden() = 0;
    // Its own state: 0 right after Start, non-zero once it stands over the stage.
    virtual int GetState() = 0;
    // The stage lets it offer its choice (always, right after Start).
    virtual void SetRunning(int bRunning) = 0;
    // GAMEOVER_CHOICE_*, 0 while none is made.
    virtual int GetChoice() = 0;
    // 1 when its fade-out has finished.
    virtual int IsFinished() = 0;
};
enum { GAMEOVER_CHOICE_NONE = 0, GAMEOVER_CHOICE_CONTINUE = 1, GAMEOVER_CHOICE_TITLE = 2 };

// The stage-clear tally.
class IStageClear {
public:
    virtual ~IStageClear() = default;
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    // Starts the count and shows the tally.
    virtual void Start() = 0;
    virtual void Update() = 0;
    virtual void Hide() = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
    virtual int IsHidden() = 0;
    // STAGECLEAR_STATE_DONE once the count has finished.
    virtual int GetState() = 0;
    virtual int GetTotal() = 0;
    virtual void SetLastStage(int bLast) = 0;
    // What it counts: life in percent, seconds left, the target bonus.
    virtual void SetResults(int nLifePercent, int nTimeLeft, int nTargetBonus) = 0;
};
#define STAGECLEAR_STATE_DONE 4

// A danger beacon or the boss warning.
class IBeacon {
public:
    virtual ~IBeacon() = default;
    virtual int Load(IDirect3DDevice7* lpDevice, int bBossWarning) = 0;
    virtual void SetPoint(float x, float y) = 0;
    virtual void Start(int bChat) = 0;
    virtual void Stop() = 0;
    // 1 while idle.
    virtual int IsFinished() = 0;
    virtual void Update() = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
    // The height of its picture.
    virtual int GetHeight() = 0;
};

// The queued chat windows.
class IChat {
public:
    virtual ~IChat() = default;
    // Keeps the window with its value in the chat's indexed list.
    virtual void SetEntry(CMsgWin* pWin, int nValue) = 0;
    virtual void Add(CMsgWin* pWin) = 0;
    virtual void Show() = 0;
    virtual void Update() = 0;
    virtual void Clear() = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
};

// The boss HUD with its time-limit counter.
class IBossCockpit {
public:
    virtual ~IBossCockpit() = default;
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    // Shows the HUD and starts the time limit.
    virtual void Start() = 0;
    virtual void SetBoss(int nBoss) = 0;
    virtual void SetLifeMax(int nLife) = 0;
    virtual void SetLife(int nLife) = 0;
    virtual void Update() = 0;
    virtual void Hide() = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
    virtual int IsHidden() = 0;
    // The time counter: whole seconds left, and freezing it.
    virtual int GetSecondsLeft() = 0;
    virtual void StopTime() = 0;
};

// The CONSTRUCTIVE bonus counter.
class IConstructive {
public:
    virtual ~IConstructive() = default;
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    virtual void Reset() = 0;
    virtual void Start() = 0;
    virtual void PopOut() = 0;
    virtual void Update() = 0;
    // Counts the bonus; asks the stage whether the tally shows and adds the points through it.
    virtual void UpdateBonus(IStagePlayer& player, CStage& stage) = 0;
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
};

struct STAGESCREENS {
    IPause* pPause = nullptr;
    IGameStart* pGameStart = nullptr;
    IGameOver* pGameOver = nullptr;
    IStageClear* pStageClear = nullptr;
    IBossCockpit* pBossCockpit = nullptr;
    IChat* pChat = nullptr;
    IConstructive* pConstructive = nullptr;
    IBeacon* pBeacon[STAGE_BEACON_NUM] = {};
};
