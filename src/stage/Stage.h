// The stage being played: it owns the loaded stage definition, the live labels of every layer and
// the in-stage screens, drives the heroine, and runs everything once per tick and draws it once
// per frame in a fixed order. The scene holds exactly one for the whole process.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/FadePlane.h"
#include "engine/SlideSurface.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"
#include "stage/LabelEffects.h"
#include "stage/StageData.h"
#include "stage/StageEvent.h"
#include "stage/StageItem.h"
#include "stage/StagePlayer.h"
#include "stage/StageScreens.h"

class CObjectLabel;
class CBoundable;
class CMsgWin;
struct CONTACTINFO;

enum {
    STAGE_STATE_PLAY = 0,
    STAGE_STATE_GAMEOVER = 1,
    STAGE_STATE_PAUSE = 2,
    STAGE_STATE_LEAVE = 3,
    STAGE_STATE_QUIT = 4,
    STAGE_STATE_DEMO_OVER = 5,
    STAGE_STATE_CLEARED = 6,
};

#define STAGE_SILENT_ROUNDS 500
#define STAGE_MISS_DELAY 100    // ms from the miss to the game-over screen
#define STAGE_CLEAR_DELAY 1000  // ms from the boss's end to the tally
#define STAGE_LEAVE_DELAY 1500  // ms from the tally's total to the cleared state
// Below this y the heroine, whose pictures reach 110 px above her position, is wholly under the
// 512-pixel map.
#define STAGE_FALL_OUT_Y 640.0f

// A timed wait on game timer 0 (frame time).
struct DELAYRECORD {
    DWORD dwDuration = 0;
    DWORD dwStart = 0;
    DWORD bStopped = 1;

    void Arm(DWORD dwMs);
    void Stop() { bStopped = 1; }
    // 1 when running and more than the duration has passed (unsigned, so a wrapped clock works).
    int IsOver() const;
};

// What the stage calls in libraries above it (enemy bullets, explosions, items, option icons).
// They hand their functions over at start-up; a null one is skipped.
struct STAGEHOOKS {
    void (*MoveEnemyBullets)() = nullptr;
    int (*DrawEnemyBullets2D)(IDirectDrawSurface7* lpSurface) = nullptr;
    int (*DrawEnemyBullets3D)(IDirect3DDevice7* lpDevice) = nullptr;
    void (*ClearExpBombScrollPool)() = nullptr;
    void (*FreeAllItems)() = nullptr;  // CItemGun::FreeAll
    // A new item of the player library, owned by the caller; null when none can be made.
    IStageItem* (*CreateItem)() = nullptr;
    int (*DrawOptionIcons)(IDirectDrawSurface7* lpSurface) = nullptr;
    // The labels' own effects, made when a stage loads (never per frame); the caller deletes them.
    IScrollExplosion* (*CreateExplosion)() = nullptr;
    IStarCircle* (*CreateStarCircle)() = nullptr;
    // At the end of a restart, when the old attempt's explosions are gone: the explosions draw
    // their looks afresh, so a replay of the new attempt sees the same bursts.
    void (*ResetExplosions)() = nullptr;
};

// One far-background blit: source rectangle of a picture and its place on the back buffer.
struct FARBLIT {
    IDirectDrawSurface7* lpSurface;
    RECT rcSrc;
    RECT rcDst;
};

class CStage : public IStageEventTarget {
public:
    explicit CStage(IStagePlayer& player);
    ~CStage() override;
    CStage(const CStage&) = delete;
    CStage& operator=(const CStage&) = delete;

    static void SetHooks(const STAGEHOOKS& hooks);
    static const STAGEHOOKS& GetHooks();
    // Plug the screens in before Init, which loads them.
    void SetScreens(const STAGESCREENS& screens) { m_Screens = screens; }
    const STAGESCREENS& GetScreens() const { return m_Screens; }

    // Lifecycle.
    int Init(IDirect3DDevice7* lpDevice);
    // On the loading thread. 1 when the stage definition loaded; 0 leaves the stage empty.
    int LoadStage(IDirect3DDevice7* lpDevice, int nStage, int bDemo);
    void UnloadStage();
    void Reset();
    void RunSilentUpdates(int nRounds);
    void Start(int bFirst, int bReplay);
    void CheckPauseKey();
    int Update();
    int Draw(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice);
    int DrawLayer2D(IDirectDrawSurface7* lpSurface, int nLayer);
    int DrawLayer3D(IDirect3DDevice7* lpDevice, int nLayer);
    void StartGameOver();

    void SetState(int nState) { m_nState = nState; }
    int GetState() const { return m_nState; }
    int IsLeaving() const;
    int IsQuitByPause() const { return m_nState == STAGE_STATE_QUIT; }
    int IsDemoOver() const { return m_nState == STAGE_STATE_DEMO_OVER; }
    // The world stands still: the game-over screen covers it.
    int IsFrozen();

    // Progress and spawning.
    void UpdateProgress();
    void AddLabel(int nLayer, CObjectLabel* pLabel);
    float GetScreenStartX(int nLayer, int nScreen) const;
    int GetScreenAt(int nLayer, float fDistance) const;
    int GetLayerScreen(int nLayer) const;
    float ToLayerDistance(int nLayer, float fDistance, float fScreenX) const;
    // A distance truncated to whole pixels; a jump far beyond the map saturates instead of
    // overflowing.
    static int TruncDistance(float fDistance);

    // Far background and camera.
    void UpdateCamera();
    void UpdateFarBackground();
    int DrawFarBackground(IDirectDrawSurface7* lpSurface, float fOffsetY);
    // The clipped blits DrawFarBackground makes, in order; their count (0 to 2).
    int GetFarBackgroundBlits(float fOffsetY, FARBLIT pOut[2]) const;
    void SetBg0Record(BG0RECORD* pRecord) override;

    // Score, clear and call-backs.
    void AddScore(int nPoint, int nMode);
    void SetScore(int nShown, int nPoint);
    int GetScore();
    void SetBossName(int nBoss);
    void SetBossLifeMax(int nLife);
    void SetBossLife(int nLife);
    void StartBossBattle(CObjectLabel* pBoss);
    int IsBossHudHidden();
    void EndBossBattle();
    void RequestStageClear();
    // 100000 per stage number for stages 1 to 5; 0 for any other number.
    static int GetStageBonus(int nStage);
    void GetClearBonus(int* pnLife, int* pnTime, int* pnTarget);
    // The run is played back from a replay.
    int IsReplay() const { return m_bReplay; }
    void ComputeClearResults();
    int IsClearIdle();
    void UpdateClear();
    void StartBossWarning() override;
    void StartDanger(int x, int y, int n, int bChat) override;
    void AddChat(CMsgWin* pWin) override;
    void AddChat(CMsgWin* pWin, int nValue);
    void SetConstructive(int bOn) override;
    void StartAerialMode() override;
    int IsBossBattle() override;
    void StartBoss(CObjectLabel* pLabel, int nBossNumber) override;

    // Terrain.
    void CollideTerrain(CBoundable* pBody, int nUnused);
    // The horizontal move of a body from p by v; 1 when it slid along a slope.
    int MoveBody(CBoundable* pBody, D3DVECTOR p, D3DVECTOR v, int* pbLanded, float* pfGroundY);
    static D3DVECTOR ExtendVector(const D3DVECTOR& v, float fLength);
    CObjectLabel* GetMainLabelAt(const D3DVECTOR& vPoint);
    CObjectLabel* GetMainLabelAtEx(const D3DVECTOR& vPoint);
    void CheckDamageTerrain();

    // Read access.
    IStagePlayer& GetPlayer() { return m_Player; }
    CStageData& GetStageData() { return m_StageData; }
    const rvm::list<CObjectLabel*>& GetLayerList(int nLayer) const { return m_BgList[nLayer]; }
    float GetLayerPos(int nLayer) const { return m_fLayerPos[nLayer]; }
    float GetOffsetY(int nLayer) const { return m_fOffsetY[nLayer]; }
    int GetScreen() const { return m_nScreen; }
    // The main layer's step x, the distance the stage scrolls per tick.
    float GetStep(int nLayer) const { return m_StageData.m_vVelocity[nLayer].x; }

    int m_nState;
    int m_bReplay = 0;
    IStagePlayer& m_Player;
    CStageData m_StageData;
    rvm::list<CObjectLabel*> m_BgList[BG_NUM];
    CSlideSurface m_StageName;
    CFadePlane m_Fade;
    int m_bFadeOut;
    CObjectLabel* m_pBoss;
    int m_nLastCountDown;
    int m_nLifePercent;
    int m_nTimeLeft;
    int m_nTargetBonus;
    DELAYRECORD m_ClearDelay;
    DELAYRECORD m_LeaveDelay;
    int m_bClearAdded;
    float m_fLayerPos[BG_NUM];
    float m_fLoopFrom[BG_NUM];
    float m_fLoopTo[BG_NUM];
    float m_fSeam[BG_NUM];
    float m_fSeamStart[BG_NUM];
    float m_fOffsetY[BG_NUM];
    int m_nScreen;
    float m_fColumnGap[BG_NUM];
    BG0RECORD* m_pBgPrev;
    BG0RECORD* m_pBgCur;
    float m_fBgRemain;
    float m_fBgNextGap;
    float m_fBgGap;
    DELAYRECORD m_MissDelay;
    int m_bTabLatch;
    // The last screen jump went to a higher screen number.
    int m_bJumpedAhead;
    // A terrain probe had to look through an XSPEED change this tick.
    int m_bXSpeedCorrected;

private:
    void UpdatePause();
    void UpdateGameOver();
    void Continue();
    void UpdateScreens();
    void BroadcastScroll();
    void TestMiss();
    void KeepInView(D3DVECTOR vPos);
    void SpawnColumn(int nLayer, const D3DVECTOR& vTarget);
    void ChangeScreen();
    void UpdateLabels(const D3DVECTOR& vTarget);
    // 1 when the time limit ended the boss fight.
    int UpdateBossTime();
    // The tally's total goes to the score once; the leave delay starts.
    void AddClearTotal(int nTotal);
    void DrawWorld(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice);
    void DrawHud(IDirectDrawSurface7* lpSurface);
    void SetWorldOffset(IDirect3DDevice7* lpDevice, const D3DMATRIX& saved, float fOffsetY);
    int RecordUsable(const BG0RECORD* pRecord) const;
    // Asks the label under vProbe whether a fall from vPos meets it; 1 with the contact in pInfo.
    int ProbeGround(CBoundable* pBody, const D3DVECTOR& vPos, const D3DVECTOR& vProbe, int nDirY, CONTACTINFO* pInfo);
    int IsPassable(CBoundable* pBody, CObjectLabel* pLabel);
    // The distance of the main layer to look up a point at screen x by, from the layer's own.
    int GetMainDistanceAt(float fScreenX, float fDistance) const;
    CObjectLabel* FindMainLabel(const D3DVECTOR& vPoint, int bSolid, float fDistance);
    // The solid main-layer label in the map's column left or right of the point's, when it is
    // drawn over the point; null otherwise.
    CObjectLabel* FindSolidLabelBeside(const D3DVECTOR& vPoint);

    STAGESCREENS m_Screens;
};
