#include "scene/Game.h"

#include <cstdio>
#include <cstdlib>

#include "bullet/BulletHooks.h"
#include "effect/RVMEffect.h"
#include "enemy/EnemyHooks.h"
#include "engine/AppTimer.h"
#include "engine/BgmWave.h"
#include "engine/BmpIndex.h"
#include "engine/Config.h"
#include "engine/FPSChar.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Log.h"
#include "engine/NumberBase.h"
#include "engine/Param.h"
#include "engine/Util.h"
#include "engine/WinMain.h"
#include "player/Item.h"
#include "player/OptionIcon.h"
#include "player/PBullet.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/PeopleSet.h"

namespace {

const char kReplayFolder[] = ".\\Replay\\";
const float kFadeStep = 0.03f;

// The class-wide pictures are loaded once per run and released with the scenes.
bool s_bSharedImagesLoaded = false;

// Music from a pack (or its folder), looping from the loop start that the key gives.
void PlayMusic(const char* pszPack, const char* pszWave, const char* pszCueKey)
{
    if (g_BgmWave.Open(pszPack, pszWave, GetParamInt(pszCueKey, 0, 0))) {
        g_BgmWave.Play(1);
    }
}

void MusicOff()
{
    g_BgmWave.FadeOut();
}

// The screen's pictures come from several folders (its own, the system and cockpit sheets), and
// the loader of the one that failed has named it already: this line only says what that costs.
void ReportBareScreen(const char* pszScreen)
{
    ReportDataError(".\\GameData",
                    "%s could not be loaded (the file is named above): it shows without its pictures, though its "
                    "keys work",
                    pszScreen);
}

int NextDemo(int n)
{
    return n % DEMO_COUNT_MAX + 1;
}

int InitStageNumber()
{
    return GetParamInt("INIT_STAGE_NUM", 0, 1);
}

} // namespace

CGame::CGame()
{
    m_Player.SetEffects(&m_PlayerEffects);
    WireStage();
}

// Each entry is set on what is there already: other libraries plug their own in beside these.
void CGame::WireStage()
{
    STAGEHOOKS hooks = CStage::GetHooks();
    FillBulletHooks(&hooks);
    hooks.FreeAllItems = CItemGun::FreeAll;
    hooks.CreateItem = CItemGun::Create;
    hooks.DrawOptionIcons = COptionIcon::Draw;
    CStage::SetHooks(hooks);
    InstallEnemyMakers();
    STAGESCREENS screens = m_Stage.GetScreens();
    screens.pPause = &m_Pause;
    screens.pGameStart = &m_GameStart;
    screens.pGameOver = &m_GameOver;
    screens.pStageClear = &m_StageClear;
    screens.pBossCockpit = &m_BossCockpit;
    screens.pChat = &m_Chat;
    for (int i = 0; i < STAGE_BEACON_NUM; i++)
        screens.pBeacon[i] = &m_Beacon[i];
    screens.pConstructive = &m_Constructive;
    m_Stage.SetScreens(screens);
}

CGame::~CGame()
{
    delete m_pLoading;
}

// ---- The process frame's calls --------------------------------------------------------------------

bool CGame::IsLoading()
{
    return m_nState == STATE_LOADING || m_nState == STATE_LOADING_FADE;
}

// The stage is the loading thread's while a load runs.
bool CGame::IsStagePaused()
{
    return !IsLoading() && m_Stage.GetState() == STAGE_STATE_PAUSE;
}

void CGame::InitFader()
{
    m_Fader.Init();
    m_Fader.SetSpeed(kFadeStep);
}

// The program cannot start without the screens it opens with; it says which are missing.
bool CGame::FailInit(const char* pszWhat)
{
    static char s_szReason[160];
    snprintf(s_szReason, sizeof(s_szReason), "The program could not start: %s is missing or damaged", pszWhat);
    DebugPrintf("%s\n", s_szReason);
    g_pszError = s_szReason;
    return false;
}

bool CGame::Init(IDirect3DDevice7* lpDevice)
{
    if (!m_Logo.Load(lpDevice)) {
        return FailInit("GameData/First (the caution screen and the logo)");
    }
    m_Logo.SetOpening(&m_Opening);
    m_Logo.SetGame(this);
    if (!m_Title.Load(lpDevice)) {
        return FailInit("GameData/Title (the title screen)");
    }
    if (!m_EndingKari.Load(lpDevice)) {
        return FailInit("GameData/System/TestEnding.bmp");
    }
    // Everything the loading thread reads is settled before a debug start sets it going.
    m_DemoPlayLogo.Load(lpDevice);
    m_bToEnding = 0;
    if (GetParamInt("STAGE_INIT_STATE", 0, 0) == 1) {
        LoadAll(lpDevice);
        m_Title.Reset(InitStageNumber(), 1);
        m_nStage = m_Title.GetStage();
        ChangeState(STATE_LOADING, lpDevice);
    } else {
        m_nStage = m_Title.GetStage();
        ChangeState(STATE_LOGO, lpDevice);
    }
    return true;
}

void CGame::Update()
{
    if (m_pfnUpdate) {
        (this->*m_pfnUpdate)();
    }
    if (m_bFading) {
        m_Fader.Update();
    }
}

void CGame::Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    RunTransition(lpDevice);
    if (m_pfnDraw) {
        (this->*m_pfnDraw)(lpDest, lpDevice);
    }
    if (!m_bFading || !lpDevice || FAILED(lpDevice->BeginScene())) {
        return;
    }
    m_Fader.Draw(lpDevice);
    lpDevice->EndScene();
}

void CGame::Release()
{
    if (!WaitForLoader()) {
        // The worker still fills the stage with the device's surfaces and the shared heaps, and
        // the process frame would free those next: nothing can be released while it runs, and no
        // thread can be stopped from outside. The process ends here, and the system takes it all.
        fprintf(stderr, "zorva: the stage was still loading %d seconds after the close; ending without waiting\n",
                LOAD_WAIT_MAX_MS / 1000);
        fflush(nullptr);
        _Exit(1);
    }
    ReleaseScenes();
    if (s_bSharedImagesLoaded) {
        CPBullet::ReleaseImages();
        ReleaseBulletImages();
        CItem::ReleaseImages();
        COptionIcon::Release();
        s_bSharedImagesLoaded = false;
    }
    CPeopleSet::Clear();
    // Nothing of this game stays registered: a later game of the same process (a replay played by
    // a test after its recording) would otherwise meet this heroine in its hit tests.
    CCrushableSet::Clear();
    CBoundableSet::Clear();
    CScrollableSet::Clear();
    CShowableSet::Clear();
    // The effect library's textures go with the scenes, before the device does.
    ReleaseEffectTextures();
}

// A millisecond of real time for the worker, then one of the game's clock: on the real clock both
// pass, and on a clock that only sleeps move (the headless one) the limit cannot run out faster
// than the worker loads.
bool CGame::WaitForLoader()
{
    if (!m_pLoading) {
        return true;
    }
    // A worker that has not begun loading ends at once; one that has loads to the end.
    m_pLoading->Stop();
    const DWORD dwStart = timeGetTime();
    while (!m_pLoading->WaitForEnd(1)) {
        if (timeGetTime() - dwStart >= LOAD_WAIT_MAX_MS) {
            return false;
        }
        Sleep(1);
    }
    delete m_pLoading;
    m_pLoading = nullptr;
    return true;
}

void CGame::ReleaseScenes()
{
    g_Config.Release();
    m_Logo.Release();
    m_Stage.UnloadStage();
    m_Player.LeaveStage();
    CItemGun::FreeAll();
    m_Title.Release();
    m_EndingKari.Release();
    m_Fader.Release();
    m_Opening.Unload();
    m_Ending.Unload();
    m_DemoPlayLogo.Release();
    m_Start.Release();
    m_ReplaySel.Release();
    m_LoadingInfo.Release();
}

void CGame::DebugRestart()
{
    switch (m_nState) {
    case STATE_STAGE: {
        const int bCtrlReplay = IsDebugKey() && GetAsyncKeyState(VK_CONTROL) < 0;
        m_Stage.Reset();
        m_Stage.Start(1, bCtrlReplay ? 1 : m_bReplay);
        break;
    }
    case STATE_OPENING:
        RestartCutScene(m_Opening, OPENING_FOLDER, g_lpD3DDevice);
        break;
    case STATE_ENDING:
        RestartCutScene(m_Ending, ENDING_FOLDER, g_lpD3DDevice);
        break;
    default:
        break;
    }
}

void CGame::RestartCutScene(COpening& player, const char* pszFolder, IDirect3DDevice7* lpDevice)
{
    player.Unload();
    player.Load(lpDevice, pszFolder);
    player.Start();
}

// ---- The machine ----------------------------------------------------------------------------------

void CGame::ChangeState(int nState, IDirect3DDevice7* lpDevice)
{
    const int nPrevState = m_nState;
    switch (nState) {
    case STATE_LOGO:
        m_Logo.StartCaution();
        SetHandlers(&CGame::UpdateLogo, &CGame::DrawLogo);
        break;
    case STATE_LOGO_BAR:
        m_Logo.StartBar();
        SetHandlers(&CGame::UpdateLogo, &CGame::DrawLogo);
        break;
    case STATE_LOADING:
        SetHandlers(nullptr, &CGame::DrawLoading);
        EnterLoading(lpDevice);
        break;
    case STATE_SETTINGS:
        g_Config.Start();
        SetHandlers(&CGame::UpdateSettings, &CGame::DrawSettings);
        break;
    case STATE_REPLAY_SELECT:
        EnterReplaySelect(nPrevState, lpDevice);
        SetHandlers(&CGame::UpdateReplaySelect, &CGame::DrawReplaySelect);
        break;
    case STATE_OPENING:
        EnterCutScene(m_Opening, ".\\GameData\\Opening.dat", ".\\GameData\\Opening\\Opening.wav", "CUE_TITLE");
        SetHandlers(&CGame::UpdateOpening, &CGame::DrawOpening);
        break;
    case STATE_START_MENU:
        EnterStartMenu();
        SetHandlers(&CGame::UpdateStartMenu, &CGame::DrawStartMenu);
        break;
    case STATE_TITLE:
        EnterTitle(nPrevState);
        SetHandlers(&CGame::UpdateTitle, &CGame::DrawTitle);
        break;
    case STATE_STAGE:
        EnterStage();
        SetHandlers(&CGame::UpdateStage, &CGame::DrawStage);
        break;
    case STATE_ENDING_KARI:
        m_EndingKari.Start();
        SetHandlers(&CGame::UpdateEndingKari, &CGame::DrawEndingKari);
        break;
    case STATE_ENDING:
        EnterCutScene(m_Ending, ".\\GameData\\Ending.dat", ".\\GameData\\Ending\\Ending.wav", "CUE_ENDING");
        SetHandlers(&CGame::UpdateEnding, &CGame::DrawEnding);
        break;
    default:
        // The fade states keep the scene before them going while the fade runs.
        break;
    }
    m_nState = nState;
}

void CGame::SetHandlers(PFNUPDATE pfnUpdate, PFNDRAW pfnDraw)
{
    m_pfnUpdate = pfnUpdate;
    m_pfnDraw = pfnDraw;
}

void CGame::StartFade(int nKind)
{
    m_Fader.SetKind(nKind);
    m_Fader.Start();
    m_bFading = 1;
}

int CGame::StartReplay(IDirect3DDevice7* lpDevice, const char* pszFolder, const char* pszName)
{
    CKeyRecorder* pRecorder = CKeyRecorder::GetInstance();
    pRecorder->SetStartStage(m_nStage);
    m_bReplay = 1;
    if (!pRecorder->LoadReplay(pszFolder, pszName)) {
        return 0;
    }
    ChangeState(STATE_LOADING, lpDevice);
    m_bFading = 0;
    return 1;
}

int CGame::LoadAll(IDirect3DDevice7* lpDevice)
{
    LoadSystemIndexes(lpDevice);
    LoadSharedImages(lpDevice);
    // A menu whose pictures do not load still answers its keys: the game goes on, and the user,
    // told of the file by its loader, also hears which screen that leaves bare.
    if (!g_Config.Load(lpDevice))
        ReportBareScreen("the settings screen");
    if (!m_Start.Load(lpDevice))
        ReportBareScreen("the start menu");
    if (!m_ReplaySel.Load(lpDevice))
        ReportBareScreen("the replay selection");
    return 1;
}

void CGame::LoadSystemIndexes(IDirect3DDevice7* lpDevice)
{
    ::LoadSystemIndexes(lpDevice);
}

void CGame::LoadSharedImages(IDirect3DDevice7* lpDevice)
{
    if (s_bSharedImagesLoaded) {
        return;
    }
    s_bSharedImagesLoaded = true;
    CPointNumber::LoadImage(lpDevice);
    LoadBulletImages(lpDevice);
    CPBullet::LoadImages(lpDevice);
    CItem::LoadImages(lpDevice);
    COptionIcon::Load(lpDevice);
}

int CGame::GetMaxStage() const
{
    return GetParamInt("MAX_STAGE_NUM", 0, 5);
}

void CGame::LoadInThread(IDirect3DDevice7* lpDevice)
{
    m_bLoadFailed = 0;
    if (!m_bToEnding) {
        m_Stage.Init(lpDevice);
        m_bLoadFailed = !m_Stage.LoadStage(lpDevice, m_nStage, m_bDemo);
    } else {
        m_Ending.Unload();
        if (!m_Ending.Load(lpDevice, ENDING_FOLDER)) {
            ReportDataError(ENDING_FOLDER, "ERROR 40 : エンディングの準備に失敗しました \n");
        }
    }
    // Last: the main thread takes the stage back once it sees this.
    m_bLoadDone.store(1, std::memory_order_release);
}

// ---- Entry actions --------------------------------------------------------------------------------

void CGame::EnterLoading(IDirect3DDevice7* lpDevice)
{
    m_Player.SetSubWeapon(m_Start.GetSubWeapon());
    m_Opening.Unload();
    // Without its picture the load still runs, behind a black screen: the state has no other way
    // out than a finished load.
    if (!m_LoadingInfo.Load(lpDevice)) {
        DebugPrintf("%s の読み込みに失敗しました\n", LOADING_PICTURE_PATH);
    }
    m_dwLoadStart = timeGetTime();
    WriteOpenLog("setup Start = %ld\n", (long)m_dwLoadStart);
    m_bLoadDone = 0;
    delete m_pLoading;
    m_pLoading = new CLoading(&m_LoadingInfo, this);
    if (!m_pLoading->HasThread()) {
        // No thread to be had: load here rather than wait for one that never comes.
        LoadInThread(lpDevice);
        return;
    }
    // Until the worker runs. Polling with 1-ms sleeps would do on a real clock, but a clock that
    // only sleeps move (the headless one) would count every poll, a number that differs per run.
    m_pLoading->WaitUntilRunning();
}

void CGame::EnterReplaySelect(int nPrevState, IDirect3DDevice7* lpDevice)
{
    m_ReplaySel.Enter(lpDevice);
    const int bFromTitle = nPrevState == STATE_TITLE || nPrevState == STATE_TITLE_FADE;
    m_ReplaySel.SetMode(bFromTitle ? 0 : 1);
}

void CGame::EnterCutScene(COpening& player, const char* pszPack, const char* pszWave, const char* pszCueKey)
{
    player.Start();
    PlayMusic(pszPack, pszWave, pszCueKey);
}

void CGame::EnterStartMenu()
{
    m_Title.ResetInput(1);
    m_Start.Enter();
}

// A visit from the settings, the start menu's back or a cancelled replay choice keeps the music
// and the chosen stage; any other visit starts the title afresh.
void CGame::EnterTitle(int nPrevState)
{
    const int nReplayResult = m_ReplaySel.GetResult();
    const bool bFromMenu = nPrevState == STATE_SETTINGS_FADE || nPrevState == STATE_REPLAY_SELECT_FADE ||
                           nPrevState == STATE_START_MENU_FADE;
    const int bFresh = !(bFromMenu && nReplayResult != 4 && nReplayResult != 6);
    if (bFresh) {
        PlayMusic(".\\GameData\\Title.dat", ".\\GameData\\Title\\StartMenu.wav", "CUE_STARTMENU");
        m_nStage = InitStageNumber();
    }
    m_Opening.Unload();
    m_bDemo = 0;
    m_DemoPlayLogo.Hide();
    m_bReplay = 0;
    m_ReplaySel.ResetSelection();
    m_Title.Reset(m_nStage, bFresh);
    m_bToEnding = 0;
}

void CGame::EnterStage()
{
    m_Stage.Reset();
    m_Stage.Start(m_nStage == m_Title.GetStage() || m_bDemo, m_bReplay);
    if (!m_bDemo) {
        return;
    }
    m_nDemoStart = CAppTimer::GetElapsed(0);
    m_bDemoEnded = 0;
    m_bDemoPrevInput = CInputState::IsAnyInput();
    // A demo is a replay without the replay marks: no recorded frame rate, no shifted icons.
    g_bFPSExtra = 0;
    g_bPlayerReplaying = 0;
    m_DemoPlayLogo.Start();
}

// ---- Transitions ----------------------------------------------------------------------------------

bool CGame::IsFaded() const
{
    return m_bFading && m_Fader.IsDone();
}

void CGame::ChangeStateFaded(int nState, IDirect3DDevice7* lpDevice)
{
    ChangeState(nState, lpDevice);
    m_bFading = 0;
}

void CGame::RunTransition(IDirect3DDevice7* lpDevice)
{
    switch (m_nState) {
    case STATE_LOGO:
    case STATE_LOGO_BAR:
        AfterLogo(lpDevice);
        break;
    case STATE_LOADING:
        AfterLoading(lpDevice);
        break;
    case STATE_LOADING_FADE:
        if (IsFaded()) {
            MusicOff();
            const int nNext = m_bToEnding ? STATE_ENDING : STATE_STAGE;
            m_bToEnding = 0;
            ChangeStateFaded(nNext, lpDevice);
        }
        break;
    case STATE_SETTINGS:
        if (g_Config.IsDone()) {
            StartFade(CFadePlane::KIND_OUT_BLACK);
            ChangeState(STATE_SETTINGS_FADE, lpDevice);
        }
        break;
    case STATE_REPLAY_SELECT:
        AfterReplaySelect(lpDevice);
        break;
    case STATE_REPLAY_SELECT_FADE:
        AfterReplayFade(lpDevice);
        break;
    case STATE_OPENING:
        AfterCutScene(m_Opening, STATE_OPENING_FADE);
        break;
    case STATE_START_MENU:
        AfterStartMenu(lpDevice);
        break;
    case STATE_TITLE:
        AfterTitle(lpDevice);
        break;
    case STATE_TITLE_FADE:
        AfterTitleFade(lpDevice);
        break;
    case STATE_STAGE:
        AfterStage(lpDevice);
        break;
    case STATE_STAGE_FADE:
        AfterStageFade(lpDevice);
        break;
    case STATE_ENDING_KARI:
        if (m_EndingKari.GetState() == CEndingKari::STATE_ENDED) {
            StartFade(CFadePlane::KIND_OUT_WHITE);
            ChangeState(STATE_ENDING_KARI_FADE, lpDevice);
        }
        break;
    case STATE_ENDING_KARI_FADE:
        if (IsFaded()) {
            m_EndingKari.Stop();
            ChangeStateFaded(STATE_REPLAY_SELECT, lpDevice);
        }
        break;
    case STATE_ENDING:
        AfterCutScene(m_Ending, STATE_ENDING_FADE);
        break;
    case STATE_ENDING_FADE:
        if (IsFaded()) {
            m_Ending.Unload();
            ChangeStateFaded(GetParamInt("PLAY_ENDING", 0, 1) ? STATE_REPLAY_SELECT : STATE_TITLE, lpDevice);
        }
        break;
    case STATE_SETTINGS_FADE:
    case STATE_OPENING_FADE:
        if (IsFaded()) {
            ChangeStateFaded(STATE_TITLE, lpDevice);
        }
        break;
    case STATE_START_MENU_FADE:
        if (IsFaded()) {
            ChangeStateFaded(m_nNextState, lpDevice);
        }
        break;
    default:
        break;
    }
}

void CGame::AfterLogo(IDirect3DDevice7* lpDevice)
{
    if (m_Logo.GetState() == CLogo::STATE_FINISHED) {
        ChangeState(GetParamInt("PLAY_OPENING", 0, 1) ? STATE_OPENING : STATE_TITLE, lpDevice);
    }
}

void CGame::AfterLoading(IDirect3DDevice7* lpDevice)
{
    if (!m_pLoading || !m_bLoadDone.load(std::memory_order_acquire)) {
        return;
    }
    delete m_pLoading;
    m_pLoading = nullptr;
    m_LoadingInfo.Release();
    const DWORD dwEnd = timeGetTime();
    WriteOpenLog("setup end = %ld  time = %ld\n", (long)dwEnd, (long)(dwEnd - m_dwLoadStart));
    if (m_bLoadFailed) {
        LeaveFailedLoad(lpDevice);
        return;
    }
    StartFade(CFadePlane::KIND_OUT_BLACK);
    ChangeState(STATE_LOADING_FADE, lpDevice);
}

// A stage that did not load is never run. Its folder is missing or damaged, so every start of it
// would fail the same way: the program ends and says which folder, rather than leave the player at
// a title whose start cannot work. A demo is the title's own show and has a file of its own: the
// title comes back, as after a replay that does not load, and the user is told which file failed.
void CGame::LeaveFailedLoad(IDirect3DDevice7* lpDevice)
{
    if (m_bDemo) {
        ReportDataError(m_Stage.GetStageData().m_szDefinition,
                        "the demo play of stage %d could not be loaded; back to the title", m_nStage);
        m_Stage.UnloadStage();
        ChangeStateFaded(STATE_TITLE, lpDevice);
        return;
    }
    static char s_szReason[128];
    snprintf(s_szReason, sizeof(s_szReason),
             "Stage %d could not be loaded: GameData/Stage%02d is missing or damaged", m_nStage, m_nStage);
    DebugPrintf("%s\n", s_szReason);
    m_Stage.UnloadStage();
    g_pszError = s_szReason;
    ChangeState(STATE_QUIT, lpDevice);
}

void CGame::AfterReplaySelect(IDirect3DDevice7* lpDevice)
{
    const int nResult = m_ReplaySel.GetResult();
    if (nResult == CReplaySel::RESULT_SAVE) {
        const char* pszName = m_ReplaySel.GetFileName();
        int nWhy = USERFILE_FAILED;
        if (pszName && CKeyRecorder::GetInstance()->SaveReplay(pszName, m_Stage.GetScore(), &nWhy)) {
            m_ReplaySel.Enter(lpDevice);
            m_ReplaySel.ShowSaved();
        } else {
            // Never claim a save that did not happen: the row says why, and the player chooses again.
            DebugPrintf("ERROR : リプレイの保存に失敗しました [%s]\n", pszName ? pszName : "");
            m_ReplaySel.ShowSaveFailure(nWhy);
        }
        return;
    }
    if (nResult == 1 || nResult == 4 || nResult == 5 || nResult == 6) {
        if (nResult == CReplaySel::RESULT_PLAY) {
            MusicOff();
        }
        StartFade(CFadePlane::KIND_OUT_BLACK);
        ChangeState(STATE_REPLAY_SELECT_FADE, lpDevice);
    }
}

void CGame::AfterReplayFade(IDirect3DDevice7* lpDevice)
{
    if (!IsFaded()) {
        return;
    }
    const int nResult = m_ReplaySel.GetResult();
    if (nResult == CReplaySel::RESULT_PLAY) {
        const char* pszName = m_ReplaySel.GetFileName();
        m_Title.Reset(m_ReplaySel.GetStage(), 1);
        m_nStage = m_ReplaySel.GetStage();
        if (!pszName || !StartReplay(lpDevice, kReplayFolder, pszName)) {
            // A replay that does not load leads back to the title instead of a black screen.
            DebugPrintf("ERROR : リプレイの読み込みに失敗しました [%s]\n", pszName ? pszName : "");
            ChangeStateFaded(STATE_TITLE, lpDevice);
        }
    } else if (nResult == 4 || nResult == 5 || nResult == 6) {
        ChangeStateFaded(STATE_TITLE, lpDevice);
    }
}

void CGame::AfterCutScene(COpening& player, int nFadeState)
{
    if (!player.IsFinished()) {
        return;
    }
    MusicOff();
    player.FadeOutVoices();
    StartFade(CFadePlane::KIND_OUT_WHITE);
    ChangeState(nFadeState, nullptr);
}

void CGame::AfterStartMenu(IDirect3DDevice7* lpDevice)
{
    const int nResult = m_Start.GetResult();
    if (nResult == CStart::RESULT_START) {
        MusicOff();
        m_nNextState = STATE_LOADING;
    } else if (nResult == CStart::RESULT_BACK) {
        m_nNextState = STATE_TITLE;
    } else {
        return;
    }
    StartFade(CFadePlane::KIND_OUT_BLACK);
    ChangeState(STATE_START_MENU_FADE, lpDevice);
}

void CGame::AfterTitle(IDirect3DDevice7* lpDevice)
{
    const int nResult = m_Title.GetResult();
    if (nResult < CTitle::RESULT_START || nResult > CTitle::RESULT_QUIT) {
        return;
    }
    m_nStage = m_Title.GetStage();
    CKeyRecorder::GetInstance()->SetStartStage(m_nStage);
    if (nResult == CTitle::RESULT_LOGO || nResult == CTitle::RESULT_ENDING || nResult == CTitle::RESULT_DEMO) {
        MusicOff();
    }
    StartFade(CFadePlane::KIND_OUT_BLACK);
    ChangeState(STATE_TITLE_FADE, lpDevice);
}

void CGame::AfterTitleFade(IDirect3DDevice7* lpDevice)
{
    if (!IsFaded()) {
        return;
    }
    switch (m_Title.GetResult()) {
    case CTitle::RESULT_START:
        ChangeStateFaded(STATE_START_MENU, lpDevice);
        break;
    case CTitle::RESULT_SETTINGS:
        ChangeStateFaded(STATE_SETTINGS, lpDevice);
        break;
    case CTitle::RESULT_REPLAY:
        ChangeStateFaded(STATE_REPLAY_SELECT, lpDevice);
        break;
    case CTitle::RESULT_LOGO:
        ChangeStateFaded(STATE_LOGO_BAR, lpDevice);
        break;
    case CTitle::RESULT_ENDING:
        m_bToEnding = 1;
        ChangeStateFaded(STATE_LOADING, lpDevice);
        break;
    case CTitle::RESULT_DEMO:
        SelectDemo(lpDevice);
        m_bFading = 0;
        break;
    case CTitle::RESULT_QUIT:
        ChangeStateFaded(STATE_QUIT, lpDevice);
        break;
    default:
        break;
    }
}

// The next demo replay that can be played; the title stays up when none of them can.
void CGame::SelectDemo(IDirect3DDevice7* lpDevice)
{
    for (int i = 0; i < DEMO_COUNT_MAX && !IsDemoPlayAvailable(m_nNextDemo); i++) {
        m_nNextDemo = NextDemo(m_nNextDemo);
    }
    m_nStage = m_nNextDemo;
    char szKey[32];
    snprintf(szKey, sizeof(szKey), "DEMOPLAY%02d", m_nNextDemo);
    if (!ParamExists(szKey)) {
        ReportDataError(PARAM_FILE_PATH, "ERROR 38 : デモプレイのパラメータが存在しません [#%s]\n", szKey);
        ChangeState(STATE_TITLE, lpDevice);
        return;
    }
    char szName[32];
    snprintf(szName, sizeof(szName), "ReplayDemo%02d.dat", m_nStage);
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", DEMO_REPLAY_FOLDER, szName);
    if (!IsPackFileExist(szPath)) {
        ReportDataError(szPath, "ERROR 39 : デモプレイのファイルが存在しません [%s]\n", szPath);
        ChangeState(STATE_TITLE, lpDevice);
        return;
    }
    // Set before the loading thread starts: it loads the stage's demo definition by it.
    m_bDemo = 1;
    if (!StartReplay(lpDevice, DEMO_REPLAY_FOLDER, szName)) {
        m_bDemo = 0;
        // A damaged replay still opens, so it would be chosen at every count-down and the demos
        // after it never shown: the next turn goes to the one after it.
        m_nNextDemo = NextDemo(m_nNextDemo);
        ChangeState(STATE_TITLE, lpDevice);
        return;
    }
    m_nNextDemo = NextDemo(m_nNextDemo);
    m_nDemoTime = GetParamInt(szKey, 0, 0);
    m_bDemoEnded = 1;
}

void CGame::AfterStage(IDirect3DDevice7* lpDevice)
{
    if (m_bReplay && !CKeyRecorder::GetInstance()->HasMorePlayData()) {
        m_Stage.SetState(m_bDemo ? STAGE_STATE_DEMO_OVER : STAGE_STATE_LEAVE);
    }
    if (m_Stage.IsLeaving()) {
        MusicOff();
        StartFade(CFadePlane::KIND_OUT_BLACK);
        if (m_Stage.IsDemoOver()) {
            m_nNextState = STATE_LOGO_BAR;
        } else if (m_bReplay || m_Stage.IsQuitByPause()) {
            m_nNextState = STATE_TITLE;
        } else {
            m_nNextState = STATE_REPLAY_SELECT;
        }
        ChangeState(STATE_STAGE_FADE, lpDevice);
    }
    if (m_nState == STATE_STAGE && m_Stage.GetState() == STAGE_STATE_CLEARED) {
        StageCleared();
        ChangeState(STATE_STAGE_FADE, lpDevice);
    }
}

// The next stage while there is one; after the last, the title for a replay, else the ending.
void CGame::StageCleared()
{
    MusicOff();
    m_bToEnding = 0;
    if (m_nStage + 1 <= GetMaxStage() && IsStageExist(m_nStage + 1)) {
        m_nNextState = STATE_LOADING;
    } else if (m_bReplay) {
        m_nNextState = STATE_TITLE;
    } else if (GetParamInt("PLAY_ENDING", 0, 1)) {
        m_nNextState = STATE_LOADING;
        m_bToEnding = 1;
    } else {
        m_nNextState = STATE_ENDING_KARI;
    }
    StartFade(CFadePlane::KIND_OUT_BLACK);
}

void CGame::AfterStageFade(IDirect3DDevice7* lpDevice)
{
    if (!IsFaded()) {
        return;
    }
    m_Stage.UnloadStage();
    CKeyRecorder* pRecorder = CKeyRecorder::GetInstance();
    pRecorder->CloseTrack();
    if (m_nNextState == STATE_LOADING && !m_bToEnding) {
        m_nStage++;
        int nTrack = pRecorder->GetCurrentTrack() + 1;
        nTrack = nTrack > KEYREC_TRACKS - 1 ? KEYREC_TRACKS - 1 : nTrack;
        pRecorder->SetCurrentTrack(nTrack < 0 ? 0 : nTrack);
    }
    ChangeStateFaded(m_nNextState, lpDevice);
}

// ---- Handlers -------------------------------------------------------------------------------------

void CGame::UpdateLogo()
{
    m_Logo.Update();
}

void CGame::DrawLogo(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    m_Logo.Draw(lpDest);
    if (lpDevice && SUCCEEDED(lpDevice->BeginScene())) {
        m_Logo.DrawFade(lpDevice);
        lpDevice->EndScene();
    }
}

// Straight onto the primary surface: the back buffer is not presented while loading.
void CGame::DrawLoading(IDirectDrawSurface7*, IDirect3DDevice7*)
{
    m_LoadingInfo.Begin();
    m_LoadingInfo.DrawToScreen();
}

void CGame::UpdateSettings()
{
    g_Config.Update();
}

void CGame::DrawSettings(IDirectDrawSurface7* lpDest, IDirect3DDevice7*)
{
    g_Config.Draw(lpDest);
}

void CGame::UpdateReplaySelect()
{
    m_ReplaySel.Update();
}

void CGame::DrawReplaySelect(IDirectDrawSurface7* lpDest, IDirect3DDevice7*)
{
    m_ReplaySel.Draw(lpDest);
}

void CGame::UpdateOpening()
{
    m_Opening.PollKeys();
    m_Opening.Update();
}

void CGame::DrawOpening(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    m_Opening.Draw(lpDest, lpDevice);
}

void CGame::UpdateStartMenu()
{
    m_Start.Update();
}

void CGame::DrawStartMenu(IDirectDrawSurface7* lpDest, IDirect3DDevice7*)
{
    m_Start.Draw(lpDest);
}

void CGame::UpdateTitle()
{
    m_Title.Update();
}

void CGame::DrawTitle(IDirectDrawSurface7* lpDest, IDirect3DDevice7*)
{
    m_Title.Draw(lpDest);
}

void CGame::UpdateStage()
{
    m_Stage.CheckPauseKey();
    if (m_bDemo) {
        UpdateDemo();
    }
    m_Stage.Update();
}

// Demo play ends on a new press (back to the title) or when its time or its record runs out.
void CGame::UpdateDemo()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    int bTimeOut = 0;
    if (!m_bDemoEnded && (long long)(DWORD)(dwNow - m_nDemoStart) > (long long)m_nDemoTime) {
        bTimeOut = 1;
        m_bDemoEnded = 1;
    }
    const int bAny = CInputState::IsAnyInput();
    const int bNewPress = bAny != 0 && bAny != m_bDemoPrevInput;
    m_bDemoPrevInput = bAny;
    if (bNewPress) {
        m_Stage.SetState(STAGE_STATE_LEAVE);
    } else if (bTimeOut) {
        m_Stage.SetState(STAGE_STATE_DEMO_OVER);
    }
    m_DemoPlayLogo.Update();
}

void CGame::DrawStage(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    m_Stage.Draw(lpDest, lpDevice);
    if (m_bDemo) {
        m_DemoPlayLogo.Draw(lpDest);
    }
}

void CGame::UpdateEndingKari()
{
    m_EndingKari.Update();
}

void CGame::DrawEndingKari(IDirectDrawSurface7* lpDest, IDirect3DDevice7*)
{
    m_EndingKari.Draw(lpDest);
}

void CGame::UpdateEnding()
{
    m_Ending.PollKeys();
    m_Ending.Update();
}

void CGame::DrawEnding(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    m_Ending.Draw(lpDest, lpDevice);
}
