// The running stage's lifecycle, its per-tick update and its per-frame draw.
#include "stage/Stage.h"

#include "effect/RVMEffect.h"
#include "engine/AppTimer.h"
#include "engine/BgmWave.h"
#include "engine/DebugPrim.h"
#include "engine/FPSChar.h"
#include "engine/KeyRecorder.h"
#include "engine/Log.h"
#include "engine/PCMManagerTask.h"
#include "engine/ShowableSet.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "platform/d3d/D3DX.h"
#include "platform/win/Win.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/ObjectLabel.h"
#include "rvm/rvm_stl.h"

namespace {

STAGEHOOKS s_Hooks;

const char kGameOverBgm[] = ".\\GameData\\System\\BgmGameOver.wav";
const char kGameOverVoice[] = ".\\GameData\\System\\CvGameOver.wav";

void CollideRegistered(CStage* pStage, CBoundable* pObj)
{
    pStage->CollideTerrain(pObj, 0);
}

// One Direct3D scene; skipped whole when it cannot begin.
template <class DRAW>
void DrawScene(IDirect3DDevice7* lpDevice, DRAW draw)
{
    if (FAILED(lpDevice->BeginScene()))
        return;
    draw();
    lpDevice->EndScene();
}

bool IsLayer(int bg)
{
    if (bg >= 0 && bg < BG_NUM)
        return true;
    RaiseRuntimeAssert("bg >= 0 && bg < BG_NUM", __FILE__, __LINE__);
    return false;
}

} // namespace

void DELAYRECORD::Arm(DWORD dwMs)
{
    dwDuration = dwMs;
    bStopped = 1;
    dwStart = CAppTimer::GetElapsed(0);
    bStopped = 0;
}

int DELAYRECORD::IsOver() const
{
    return !bStopped && (DWORD)(CAppTimer::GetElapsed(0) - dwStart) > dwDuration;
}

void CStage::SetHooks(const STAGEHOOKS& hooks)
{
    s_Hooks = hooks;
}

const STAGEHOOKS& CStage::GetHooks()
{
    return s_Hooks;
}

CStage::CStage(IStagePlayer& player)
    : m_nState(STAGE_STATE_PLAY), m_Player(player), m_bFadeOut(0), m_pBoss(nullptr), m_nLastCountDown(-1),
      m_nLifePercent(0), m_nTimeLeft(0), m_nTargetBonus(0), m_bClearAdded(1), m_fLayerPos{}, m_fLoopFrom{},
      m_fLoopTo{}, m_fSeam{}, m_fSeamStart{}, m_fOffsetY{}, m_nScreen(0), m_fColumnGap{}, m_pBgPrev(nullptr),
      m_pBgCur(nullptr), m_fBgRemain(0.0f), m_fBgNextGap(0.0f), m_fBgGap(0.0f), m_bTabLatch(0), m_bJumpedAhead(0),
      m_bXSpeedCorrected(0)
{
    SetConstructive(0);
}

CStage::~CStage() = default;

int CStage::Init(IDirect3DDevice7* lpDevice)
{
    GetFPSChar().Load(lpDevice);
    GetFPSChar().SetPosition(5.0f, 460.0f);
    m_Player.Load(lpDevice);
    for (int i = 0; i < STAGE_BEACON_NUM; i++) {
        // Beacon 7 is never loaded or started.
        if (m_Screens.pBeacon[i] && i != STAGE_DANGER_BEACONS)
            m_Screens.pBeacon[i]->Load(lpDevice, i == STAGE_BOSS_BEACON);
    }
    m_StageName.m_fX = 417.0f;
    m_StageName.m_fY = 5.0f;
    m_StageName.LoadFromIndex(lpDevice, IMGKEY{"CockpitIndex.txt", "StageName.bmp"}, 218, 38, 5, nullptr);
    if (m_Screens.pPause)
        m_Screens.pPause->Load(lpDevice);
    if (IGameStart* pStart = m_Screens.pGameStart) {
        pStart->Load(lpDevice);
        pStart->SetPoint(D3DVECTOR{{320.0f}, {145.0f}, {0.0f}});
    }
    if (m_Screens.pGameOver)
        m_Screens.pGameOver->Load(lpDevice);
    m_Fade.Init();
    m_Fade.SetSpeed(0.03f);
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->Load(lpDevice);
    if (m_Screens.pStageClear)
        m_Screens.pStageClear->Load(lpDevice);
    if (m_Screens.pConstructive)
        m_Screens.pConstructive->Load(lpDevice);
    return 1;
}

int CStage::LoadStage(IDirect3DDevice7* lpDevice, int nStage, int bDemo)
{
    if (s_Hooks.ClearExpBombScrollPool)
        s_Hooks.ClearExpBombScrollPool();
    if (s_Hooks.FreeAllItems)
        s_Hooks.FreeAllItems();
    if (g_bSoundOn)
        m_StageData.SetServices(&g_PCMManagerTask, &g_BgmWave);
    else
        m_StageData.SetServices(nullptr, nullptr);
    // A failed load leaves the stage data empty; the caller hears of it instead of running a
    // half-built stage.
    const int bLoaded = m_StageData.Load(lpDevice, nStage, bDemo);
    m_StageName.Show();
    if (g_bSoundOn)
        g_PCMManagerTask.LoadStageSounds();
    return bLoaded;
}

void CStage::UnloadStage()
{
    // The lists and record pointers point into the stage data: forget them before it goes.
    for (rvm::list<CObjectLabel*>& list : m_BgList)
        list.clear();
    m_pBoss = nullptr;
    m_pBgPrev = m_pBgCur = nullptr;
    // The chat points at windows of the stage data.
    if (m_Screens.pChat)
        m_Screens.pChat->Clear();
    m_StageData.PreUnload();
    m_StageData.Unload();
    if (g_bSoundOn)
        g_PCMManagerTask.ReleaseStageSounds();
    if (s_Hooks.ClearExpBombScrollPool)
        s_Hooks.ClearExpBombScrollPool();
}

void CStage::RunSilentUpdates(int nRounds)
{
    for (int i = 0; i < nRounds; i++) {
        UpdateAllEffects();
        CShowableSet::UpdateAll();
        if (s_Hooks.MoveEnemyBullets)
            s_Hooks.MoveEnemyBullets();
        CBoundableSet::UpdateAll();
    }
}

void CStage::Reset()
{
    CAppTimer::RestartFrameClock();
    RunSilentUpdates(STAGE_SILENT_ROUNDS);
    for (int i = 0; i < BG_NUM; i++) {
        m_fLayerPos[i] = 0.0f;
        m_fColumnGap[i] = 0.0f;
        m_fOffsetY[i] = 0.0f;
        m_fSeam[i] = 0.0f;
        m_BgList[i].clear();
    }
    m_nScreen = 0;
    m_bXSpeedCorrected = 0;
    m_StageData.Reset();
    m_StageName.Reset();
    m_StageName.SetFrame(m_StageData.m_nStageNo - 1);

    for (IBeacon* pBeacon : m_Screens.pBeacon)
        if (pBeacon)
            pBeacon->Stop();
    if (m_Screens.pPause)
        m_Screens.pPause->Hide();
    if (m_Screens.pGameStart)
        m_Screens.pGameStart->Hide();
    if (m_Screens.pGameOver)
        m_Screens.pGameOver->Hide();
    m_Fade.Stop();
    m_bFadeOut = 0;
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->Hide();
    if (m_Screens.pStageClear)
        m_Screens.pStageClear->Hide();

    m_ClearDelay.Stop();
    m_LeaveDelay.Stop();
    if (m_Screens.pChat)
        m_Screens.pChat->Clear();
    m_pBgPrev = m_pBgCur = nullptr;

    if (m_Screens.pGameStart)
        m_Screens.pGameStart->Start();
    if (m_Screens.pConstructive)
        m_Screens.pConstructive->Reset();
    CAppTimer::Resume(0);
    m_nState = STAGE_STATE_PLAY;
    if (s_Hooks.ResetExplosions)
        s_Hooks.ResetExplosions();
}

int CStage::IsLeaving() const
{
    return m_nState == STAGE_STATE_LEAVE || m_nState == STAGE_STATE_QUIT || m_nState == STAGE_STATE_DEMO_OVER;
}

void CStage::CheckPauseKey()
{
    if (m_nState != STAGE_STATE_PLAY)
        return;
    if (!(GetAsyncKeyState(VK_TAB) & 0x8000)) {
        m_bTabLatch = 0;
        return;
    }
    if (m_bTabLatch)
        return;
    m_bTabLatch = 1;
    m_nState = STAGE_STATE_PAUSE;
    if (m_Screens.pPause)
        m_Screens.pPause->Start();
    CAppTimer::Pause(0);
}

void CStage::UpdatePause()
{
    IPause* pPause = m_Screens.pPause;
    if (pPause) {
        pPause->UpdateInput();
        pPause->Update();
        if (!pPause->IsDecided())
            return;
    }
    // Without a menu the pause ends at once, back to the game.
    CAppTimer::Resume(0);
    m_nState = STAGE_STATE_PLAY;
    if (pPause && pPause->GetChoice() == PAUSE_CHOICE_TITLE)
        m_nState = STAGE_STATE_QUIT;
}

void CStage::Continue()
{
    Reset();
    Start(1, 0);
    CKeyRecorder::GetInstance()->ClearEarlierTracks();
}

void CStage::UpdateGameOver()
{
    IGameOver* pOver = m_Screens.pGameOver;
    if (pOver)
        pOver->Update();
    if (!m_MissDelay.IsOver())
        return;
    const int bPlayback = (m_Player.GetState() & PLAYER_STATE_PLAYBACK) != 0;
    if (!pOver) {
        // No screen to choose on: a replay ends, a live game continues.
        if (m_nState == STAGE_STATE_GAMEOVER && bPlayback)
            m_nState = STAGE_STATE_LEAVE;
        else if (m_nState == STAGE_STATE_GAMEOVER)
            Continue();
        return;
    }
    if (m_nState == STAGE_STATE_GAMEOVER && pOver->IsHidden()) {
        pOver->Start(!bPlayback);
        pOver->SetRunning(1);
        m_StageData.StopScroll();
    }
    if (bPlayback) {
        if (pOver->IsFinished())
            m_nState = STAGE_STATE_LEAVE;
        return;
    }
    if (m_nState != STAGE_STATE_GAMEOVER)
        return;
    const int nChoice = pOver->GetChoice();
    if (nChoice == GAMEOVER_CHOICE_CONTINUE)
        Continue();
    else if (nChoice == GAMEOVER_CHOICE_TITLE)
        m_nState = STAGE_STATE_LEAVE;
    if (nChoice == GAMEOVER_CHOICE_CONTINUE || nChoice == GAMEOVER_CHOICE_TITLE) {
        StopSoundFile(kGameOverBgm);
        StopSoundFile(kGameOverVoice);
    }
}

int CStage::IsFrozen()
{
    IGameOver* pOver = m_Screens.pGameOver;
    if (pOver && !pOver->IsHidden() && pOver->GetState() != 0)
        return 1;
    return m_bFadeOut && m_Fade.IsDone();
}

void CStage::BroadcastScroll()
{
    CScrollableSet::SetScrollPos(GetStep(STAGE_MAIN_LAYER));
    CScrollableSet::SetScrollSpeed(m_fOffsetY[STAGE_MAIN_LAYER]);
    CScrollableSet::Tick();
}

void CStage::UpdateScreens()
{
    for (IBeacon* pBeacon : m_Screens.pBeacon)
        if (pBeacon)
            pBeacon->Update();
    if (m_Screens.pGameStart)
        m_Screens.pGameStart->Update();
    if (m_Screens.pChat)
        m_Screens.pChat->Update();
    if (IConstructive* pCounter = m_Screens.pConstructive) {
        pCounter->Update();
        pCounter->UpdateBonus(m_Player, *this);
    }
    m_StageName.Update();
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->Update();
    UpdateClear();
}

void CStage::TestMiss()
{
    // Only a stage in play can be lost: a leaving or cleared stage keeps its state, or a heroine
    // still out after the game-over choice would turn it back into a game over every tick.
    if (m_nState != STAGE_STATE_PLAY)
        return;
    const DWORD dwState = m_Player.GetState();
    D3DVECTOR vPos;
    m_Player.GetPosition(&vPos);
    // A body at the left edge moves freely (the scroll carry and the free move cancel out), so a
    // heroine pushed there by a wall falls through the ground without ever leaving 0..640: once
    // she is wholly below the map she is out, or the stage could never end.
    const bool bFallen = vPos.y > STAGE_FALL_OUT_Y;
    // She rides in from beyond the left edge, and her entry ends only when she lands: where no
    // ground meets her (its picture refused) she would fall for ever, out of sight, in a stage
    // that never ends.
    if ((dwState & PLAYER_STATE_ENTERING) && !bFallen)
        return;
    const bool bOutside = vPos.x < 0.0f || vPos.x > 640.0f || bFallen;
    if (dwState & PLAYER_STATE_MISS)
        StartGameOver();
    else if (bOutside && m_Player.IsStageFinished())
        KeepInView(vPos);
    else if (bOutside)
        StartGameOver();
}

// Once the boss has fallen the stage is won: what still pushes her or opens under her during the
// clear delay and the tally may not take it away, so the edges and the fall line hold her instead.
void CStage::KeepInView(D3DVECTOR vPos)
{
    vPos.x = vPos.x < 0.0f ? 0.0f : (vPos.x > 640.0f ? 640.0f : vPos.x);
    m_Player.SetPosition(vPos);
    if (vPos.y > STAGE_FALL_OUT_Y)
        m_Player.SetGroundY(STAGE_FALL_OUT_Y);
}

void CStage::StartGameOver()
{
    m_Player.Miss();
    m_MissDelay.Arm(STAGE_MISS_DELAY);
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->StopTime();
    g_BgmWave.FadeOut();
    m_nState = STAGE_STATE_GAMEOVER;
}

int CStage::Update()
{
    if (m_nState == STAGE_STATE_PAUSE) {
        UpdatePause();
        if (m_nState != STAGE_STATE_PLAY)
            return 1;
    }
    if (m_nState == STAGE_STATE_GAMEOVER || IsLeaving())
        UpdateGameOver();
    if (IsFrozen()) {
        m_Player.UpdateKeyRecord();
        return 1;
    }
    UpdateAllEffects();
    CShowableSet::UpdateAll();
    if (s_Hooks.MoveEnemyBullets)
        s_Hooks.MoveEnemyBullets();
    BroadcastScroll();
    UpdateScreens();
    UpdateCamera();
    m_Player.Update();
    m_Player.m_fCameraOffsetY = m_fOffsetY[STAGE_MAIN_LAYER];
    CBoundableSet::UpdateAll();
    CheckDamageTerrain();
    UpdateProgress();
    if (m_Player.GetState() != PLAYER_STATE_MISS)
        CollideTerrain(&m_Player, 0);
    CBoundableSet::CollideTerrainAll(this, CollideRegistered);
    m_Player.Move();
    CBoundableSet::MoveAll();
    if (m_bXSpeedCorrected) {
        // The probes looked through the speed change: let it go rather than jump under the body.
        g_nXSpeedState = 0;
        m_bXSpeedCorrected = 0;
    }
    m_StageData.Update();
    TestMiss();
    if (!IsClearIdle())
        CCrushableSet::CollideAll(this);
    m_Player.UpdateKeyRecord();
    return 1;
}

void CStage::SetWorldOffset(IDirect3DDevice7* lpDevice, const D3DMATRIX& saved, float fOffsetY)
{
    D3DXMATRIX shift;
    D3DXMatrixTranslation(&shift, 0.0f, -fOffsetY, 0.0f);
    D3DXMATRIX world;
    D3DXMatrixMultiply(&world, &saved, &shift);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
}

void CStage::DrawHud(IDirectDrawSurface7* lpSurface)
{
    for (IBeacon* pBeacon : m_Screens.pBeacon)
        if (pBeacon)
            pBeacon->Draw(lpSurface);
    if (m_Screens.pChat)
        m_Screens.pChat->Draw(lpSurface);
    if (m_Screens.pConstructive)
        m_Screens.pConstructive->Draw(lpSurface);
    m_StageName.Draw(lpSurface);
    m_Player.DrawCockpit(lpSurface);
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->Draw(lpSurface);
    if (m_Screens.pStageClear)
        m_Screens.pStageClear->Draw(lpSurface);
}

void CStage::DrawWorld(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice)
{
    D3DMATRIX saved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &saved);

    DrawFarBackground(lpSurface, m_fOffsetY[0]);
    for (int bg = 1; bg <= 3; bg++) {
        DrawLayer2D(lpSurface, bg);
        DrawScene(lpDevice, [&] { DrawLayer3D(lpDevice, bg); });
    }
    SetWorldOffset(lpDevice, saved, m_fOffsetY[STAGE_MAIN_LAYER]);
    DrawScene(lpDevice, [&] {
        RenderAllEffects(lpDevice);
        m_Player.DrawEffects(lpSurface);
    });
    DrawLayer2D(lpSurface, STAGE_ENEMY_LAYER);
    DrawScene(lpDevice, [&] { DrawLayer3D(lpDevice, STAGE_ENEMY_LAYER); });

    SetWorldOffset(lpDevice, saved, m_fOffsetY[STAGE_ENEMY_LAYER]);
    CShowableSet::DrawAll(lpSurface, lpDevice);
    CBoundableSet::DrawDebugAll(lpSurface);
    m_Player.Draw(lpSurface, m_fOffsetY[STAGE_MAIN_LAYER]);
    if (s_Hooks.DrawEnemyBullets2D)
        s_Hooks.DrawEnemyBullets2D(lpSurface);
    SetWorldOffset(lpDevice, saved, m_fOffsetY[STAGE_ENEMY_LAYER]);
    DrawScene(lpDevice, [&] {
        if (s_Hooks.DrawEnemyBullets3D)
            s_Hooks.DrawEnemyBullets3D(lpDevice);
    });
    SetWorldOffset(lpDevice, saved, m_fOffsetY[STAGE_MAIN_LAYER]);
    DrawScene(lpDevice, [&] { m_Player.RenderWeapons(lpDevice); });

    DrawLayer2D(lpSurface, 4);
    DrawScene(lpDevice, [&] { DrawLayer3D(lpDevice, 4); });

    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &saved);
    DrawScene(lpDevice, [&] { CDebugPrim::GetInstance()->Render(lpDevice); });

    DrawHud(lpSurface);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &saved);
    if (m_Screens.pGameStart)
        m_Screens.pGameStart->Draw(lpSurface);
    GetFPSChar().Draw(lpSurface);
    if (s_Hooks.DrawOptionIcons)
        s_Hooks.DrawOptionIcons(lpSurface);
}

int CStage::Draw(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice)
{
    if (!IsFrozen())
        DrawWorld(lpSurface, lpDevice);
    if (m_nState == STAGE_STATE_GAMEOVER || IsLeaving()) {
        if (m_bFadeOut)
            DrawScene(lpDevice, [&] { m_Fade.Draw(lpDevice); });
        if (m_Screens.pGameOver)
            m_Screens.pGameOver->Draw(lpSurface, lpDevice);
    }
    if (m_nState == STAGE_STATE_PAUSE && m_Screens.pPause)
        m_Screens.pPause->Draw(lpSurface);
    return 1;
}

int CStage::DrawLayer2D(IDirectDrawSurface7* lpSurface, int bg)
{
    if (!IsLayer(bg))
        return 0;
    for (CObjectLabel* pLabel : m_BgList[bg])
        pLabel->Draw2D(lpSurface);
    return 1;
}

int CStage::DrawLayer3D(IDirect3DDevice7* lpDevice, int bg)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    if (!IsLayer(bg))
        return 0;
    for (CObjectLabel* pLabel : m_BgList[bg])
        pLabel->Draw3D(lpDevice);
    return 1;
}
