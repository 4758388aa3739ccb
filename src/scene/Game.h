// The top-level game object: the program as a machine of 21 numbered states. Each odd state from
// 3 to 19 runs one scene, the even state after it waits for the game's own fade to finish before
// the next scene is entered; 1 and 2 show the start-up logo, 21 quits. Every scene is a member and
// lives as long as the game; only the loader of a stage is made per load.
#pragma once
#include <atomic>

#include "bullet/PlayerEffects.h"
#include "engine/FadePlane.h"
#include "engine/GameFrame.h"
#include "player/Beacon.h"
#include "player/BossCockpit.h"
#include "player/Chat.h"
#include "player/Constructive.h"
#include "player/DemoPlayLogo.h"
#include "player/GameOver.h"
#include "player/GameStart.h"
#include "player/Pause.h"
#include "player/Player.h"
#include "player/StageClear.h"
#include "scene/EndingKari.h"
#include "scene/Loading.h"
#include "scene/Logo.h"
#include "scene/Opening.h"
#include "scene/ReplaySel.h"
#include "scene/Start.h"
#include "scene/Title.h"
#include "stage/Stage.h"

#define OPENING_FOLDER ".\\GameData\\Opening\\"
#define ENDING_FOLDER ".\\GameData\\Ending\\"
#define DEMO_REPLAY_FOLDER ".\\GameData\\Title\\"
#define DEMO_COUNT_MAX 3
// How long shutdown waits for a load under way, on the game's clock.
#define LOAD_WAIT_MAX_MS 120000

class CGame : public IGameFrame {
public:
    enum {
        STATE_NONE = 0,
        STATE_LOGO = 1,
        STATE_LOGO_BAR = 2,
        STATE_LOADING = 3,
        STATE_LOADING_FADE = 4,
        STATE_SETTINGS = 5,
        STATE_SETTINGS_FADE = 6,
        STATE_REPLAY_SELECT = 7,
        STATE_REPLAY_SELECT_FADE = 8,
        STATE_OPENING = 9,
        STATE_OPENING_FADE = 10,
        STATE_START_MENU = 11,
        STATE_START_MENU_FADE = 12,
        STATE_TITLE = 13,
        STATE_TITLE_FADE = 14,
        STATE_STAGE = 15,
        STATE_STAGE_FADE = 16,
        STATE_ENDING_KARI = 17,
        STATE_ENDING_KARI_FADE = 18,
        STATE_ENDING = 19,
        STATE_ENDING_FADE = 20,
        STATE_QUIT = 21,
    };

    typedef void (CGame::*PFNUPDATE)();
    typedef void (CGame::*PFNDRAW)(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);

    CGame();
    ~CGame() override;
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // ---- The process frame's calls ----
    int GetState() override { return m_nState; }
    bool IsLoading() override;
    bool IsStagePaused() override;
    void InitFader() override;
    // 0 when the logo, the title or the provisional ending fails to load.
    bool Init(IDirect3DDevice7* lpDevice) override;
    void Update() override;
    // Due transitions first, then the current scene, then the game's fade.
    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override;
    // Waits for a running load (at most LOAD_WAIT_MAX_MS), then releases the scenes and the shared
    // pictures. A load that runs longer ends the process on the spot, with a line on stderr.
    void Release() override;
    void DebugRestart() override;

    // ---- The machine ----
    void ChangeState(int nState, IDirect3DDevice7* lpDevice);
    void StartFade(int nKind);
    // 0 (and nothing changed) when the replay does not load; else the stage loads from it.
    int StartReplay(IDirect3DDevice7* lpDevice, const char* pszFolder, const char* pszName);
    // The pictures and settings every later scene needs; runs once, from the logo or a debug start.
    int LoadAll(IDirect3DDevice7* lpDevice);
    void LoadSystemIndexes(IDirect3DDevice7* lpDevice);
    // Once per run: the class-wide pictures; they go again in Release.
    void LoadSharedImages(IDirect3DDevice7* lpDevice);
    int GetMaxStage() const;
    // The loading thread's work; sets the load-done flag last, after the load-failed flag.
    // Virtual so that a check can stand in a load of its own.
    virtual void LoadInThread(IDirect3DDevice7* lpDevice);

    // ---- For the scenes and for checks ----
    int GetNextState() const { return m_nNextState; }
    int IsFading() const { return m_bFading; }
    int IsReplay() const { return m_bReplay; }
    int IsDemo() const { return m_bDemo; }
    int GetStageNumber() const { return m_nStage; }
    int GetNextDemo() const { return m_nNextDemo; }
    int IsToEnding() const { return m_bToEnding; }
    int IsLoadDone() const { return m_bLoadDone.load(); }
    // The stage of the last load did not load; read once the load is done.
    int IsLoadFailed() const { return m_bLoadFailed; }
    const CLoading* GetLoader() const { return m_pLoading; }
    CStage& GetStage() { return m_Stage; }
    CPlayer& GetPlayer() { return m_Player; }
    CLogo& GetLogo() { return m_Logo; }
    CTitle& GetTitle() { return m_Title; }
    CStart& GetStartMenu() { return m_Start; }
    CReplaySel& GetReplaySel() { return m_ReplaySel; }
    CEndingKari& GetEndingKari() { return m_EndingKari; }
    COpening& GetOpening() { return m_Opening; }
    COpening& GetEnding() { return m_Ending; }
    CDemoPlayLogo& GetDemoPlayLogo() { return m_DemoPlayLogo; }
    CPause& GetPause() { return m_Pause; }
    CGameStart& GetGameStart() { return m_GameStart; }
    CGameOver& GetGameOver() { return m_GameOver; }
    CStageClear& GetStageClear() { return m_StageClear; }
    CBeacon& GetBeacon(int i) { return m_Beacon[i]; }
    CBossCockpit& GetBossCockpit() { return m_BossCockpit; }
    CChat& GetChat() { return m_Chat; }
    CLoadingInfo& GetLoadingInfo() { return m_LoadingInfo; }
    const CFadePlane& GetFader() const { return m_Fader; }

private:
    // Entry actions of the scene states.
    void EnterLoading(IDirect3DDevice7* lpDevice);
    void EnterReplaySelect(int nPrevState, IDirect3DDevice7* lpDevice);
    void EnterStartMenu();
    void EnterTitle(int nPrevState);
    void EnterStage();
    void EnterCutScene(COpening& player, const char* pszPack, const char* pszWave, const char* pszCueKey);
    void SetHandlers(PFNUPDATE pfnUpdate, PFNDRAW pfnDraw);

    // Transitions, one per state that has any.
    void RunTransition(IDirect3DDevice7* lpDevice);
    void AfterLogo(IDirect3DDevice7* lpDevice);
    void AfterLoading(IDirect3DDevice7* lpDevice);
    void LeaveFailedLoad(IDirect3DDevice7* lpDevice);
    bool FailInit(const char* pszWhat);
    void AfterReplaySelect(IDirect3DDevice7* lpDevice);
    void AfterReplayFade(IDirect3DDevice7* lpDevice);
    void AfterStartMenu(IDirect3DDevice7* lpDevice);
    void AfterTitle(IDirect3DDevice7* lpDevice);
    void AfterTitleFade(IDirect3DDevice7* lpDevice);
    void AfterStage(IDirect3DDevice7* lpDevice);
    void AfterStageFade(IDirect3DDevice7* lpDevice);
    void AfterCutScene(COpening& player, int nFadeState);
    // The fade of the game has finished and is consumed; the state then becomes nState.
    bool IsFaded() const;
    void ChangeStateFaded(int nState, IDirect3DDevice7* lpDevice);
    void StageCleared();
    void SelectDemo(IDirect3DDevice7* lpDevice);
    void RestartCutScene(COpening& player, const char* pszFolder, IDirect3DDevice7* lpDevice);
    void ReleaseScenes();
    // Deletes the loader once its worker has ended; false (the loader kept) when a load still
    // runs after LOAD_WAIT_MAX_MS.
    bool WaitForLoader();
    // Hands the stage what it calls in the libraries above it: the item factory and pool, the
    // option icons and the CONSTRUCTIVE bonus.
    void WireStage();

    // Handlers.
    void UpdateLogo();
    void DrawLogo(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void DrawLoading(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateSettings();
    void DrawSettings(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateReplaySelect();
    void DrawReplaySelect(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateOpening();
    void DrawOpening(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateStartMenu();
    void DrawStartMenu(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateTitle();
    void DrawTitle(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateStage();
    void DrawStage(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateEndingKari();
    void DrawEndingKari(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateEnding();
    void DrawEnding(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    void UpdateDemo();

    int m_nState = STATE_NONE;
    int m_nNextState = STATE_NONE;
    int m_bFading = 0;
    int m_bReplay = 0;
    int m_bDemo = 0;
    int m_bDemoPrevInput = 0;
    int m_nDemoTime = 0;
    DWORD m_nDemoStart = 0;
    int m_bDemoEnded = 0;
    PFNUPDATE m_pfnUpdate = nullptr;
    PFNDRAW m_pfnDraw = nullptr;
    int m_nStage = 1;

    CLogo m_Logo;
    // Her hit and miss effects; declared before her so that they outlive her.
    CPlayerEffects m_PlayerEffects;
    // The stage knows her and its screens only through interfaces; they are declared first so that
    // they outlive it.
    CPlayer m_Player;
    CPause m_Pause;
    CGameStart m_GameStart;
    CGameOver m_GameOver;
    CStageClear m_StageClear;
    CBossCockpit m_BossCockpit;
    CBeacon m_Beacon[STAGE_BEACON_NUM];
    CChat m_Chat;
    CStage m_Stage{m_Player};
    CConstructive m_Constructive;
    CTitle m_Title;
    CStart m_Start;
    CEndingKari m_EndingKari;
    COpening m_Opening;
    COpening m_Ending;
    CReplaySel m_ReplaySel;
    CDemoPlayLogo m_DemoPlayLogo;
    int m_nNextDemo = 1;
    CLoadingInfo m_LoadingInfo;
    CLoading* m_pLoading = nullptr;
    // Written once by the loading thread, as its last action.
    std::atomic<int> m_bLoadDone{0};
    // Written by the loading thread before the load-done flag, read after it.
    int m_bLoadFailed = 0;
    int m_bToEnding = 0;
    CFadePlane m_Fader;
    // timeGetTime at the start of the running load, for the log.
    DWORD m_dwLoadStart = 0;
};
