#include "engine/WinMain.h"

#include "engine/AppTimer.h"
#include "engine/NumberBase.h"
#include "engine/Config.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/BgmWave.h"
#include "engine/PCMManagerTask.h"
#include "engine/Sound.h"
#include "engine/BmpIndex.h"
#include "engine/DSurface.h"
#include "engine/DebugPrim.h"
#include "engine/FPSChar.h"
#include "engine/DebugOut.h"
#include "engine/EnumDriver.h"
#include "engine/GameFrame.h"
#include "engine/Log.h"
#include "engine/MemState.h"
#include "engine/Mutex.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/WindowInfo.h"
#include "platform/host/Host.h"
#include "rvm/Heap.h"

HINSTANCE g_hInstance;
HWND g_hWnd;
int g_bFullScreen;
int g_bPause;
int g_bAutoPause;
std::atomic<int> g_bActive{1};
int g_bUpdateOnly;
const char* g_pszError;
RECT g_rcPresentDst = {0, 0, APP_WIDTH, APP_HEIGHT};
RECT g_rcPresentSrc = {0, 0, APP_WIDTH, APP_HEIGHT};
int g_nFPS;
int g_bDebugDisp;

IDirectDraw7* g_lpDD;
IDirectDrawSurface7* g_lpDDSPrimary;
IDirectDrawClipper* g_lpDDClipper;
IDirectDrawSurface7* g_lpDDSBack;
IDirect3D7* g_lpD3D;
IDirect3DDevice7* g_lpD3DDevice;

int g_nObjFlashTime = 20;
float g_fEnemyBulletSpeed[3] = {6.5f, 15.0f, 6.5f};
float g_fMMCanonSpeed[2] = {2.0f, 0.5f};
int g_nMaxPlaneWidth = 64;
int g_nMaxPlaneHeight = 64;

int g_bFrameSkip;

namespace {

const double FRAME_PERIOD_MS = 1000.0 / 60.0;
const char WINDOW_TITLE[] = "ぞるばくるむ！";
const int ICON_RESOURCE = 113;
const int WINDOW_EXTRA_BYTES = 4;
const DWORD WINDOW_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int PLANE_PROBE_SIZES[] = {64, 128, 256};

// Saves the other programs' windows before full screen and puts them back after WinMain.
CWindowInfo s_WindowInfo;

struct FRAMELOOP {
    DWORD dwFpsBase;
    int nFrames;
    double dTickBase;
    int bRenderTurn;
};

UINT s_uTimerPeriod;
HHOOK s_hKeyboardHook;
bool s_bShutdownDone;
// A close request that came from outside while the stage was loading: honoured once it is done.
bool s_bCloseDeferred;
// Nesting depth of the close requests the frame sends itself (Esc, quit state, dialog cancel).
int s_nOwnCloseDepth;

IGameFrame* Game()
{
    return GetGameFrame();
}

bool IsGameLoading()
{
    return Game() && Game()->IsLoading();
}

// Every run starts as a fresh process image would.
void ResetFrameState()
{
    g_hInstance = nullptr;
    g_hWnd = nullptr;
    g_bFullScreen = 0;
    g_bPause = 0;
    g_bAutoPause = 0;
    g_bActive = 1;
    g_bUpdateOnly = 0;
    g_pszError = nullptr;
    g_rcPresentDst = {0, 0, APP_WIDTH, APP_HEIGHT};
    g_rcPresentSrc = {0, 0, APP_WIDTH, APP_HEIGHT};
    g_nFPS = 0;
    g_bDebugDisp = 0;
    g_lpDD = nullptr;
    g_lpDDSPrimary = nullptr;
    g_lpDDClipper = nullptr;
    g_lpDDSBack = nullptr;
    g_lpD3D = nullptr;
    g_lpD3DDevice = nullptr;
    g_nObjFlashTime = 20;
    g_fEnemyBulletSpeed[0] = 6.5f;
    g_fEnemyBulletSpeed[1] = 15.0f;
    g_fEnemyBulletSpeed[2] = 6.5f;
    g_fMMCanonSpeed[0] = 2.0f;
    g_fMMCanonSpeed[1] = 0.5f;
    g_nMaxPlaneWidth = 64;
    g_nMaxPlaneHeight = 64;
    s_uTimerPeriod = 0;
    s_hKeyboardHook = nullptr;
    s_bShutdownDone = false;
    s_bCloseDeferred = false;
    s_nOwnCloseDepth = 0;
}

// A run that ended on a fatal error, shown at shutdown, says so in its exit status too.
int ExitStatus(int nQuitParam)
{
    return g_pszError ? 1 : nQuitParam;
}

void SendOwnClose()
{
    s_nOwnCloseDepth++;
    SendMessageA(g_hWnd, WM_CLOSE, 0, 0);
    s_nOwnCloseDepth--;
}

template <class T>
void ReleaseGlobal(T*& lpObject)
{
    if (lpObject) {
        lpObject->Release();
        lpObject = nullptr;
    }
}

void BeginTimerPeriod()
{
    TIMECAPS tc;
    if (timeGetDevCaps(&tc, sizeof(tc)) != TIMERR_NOERROR) {
        return;
    }
    UINT uPeriod = tc.wPeriodMin ? tc.wPeriodMin : 1;
    if (uPeriod > tc.wPeriodMax) {
        uPeriod = tc.wPeriodMax;
    }
    if (timeBeginPeriod(uPeriod) == TIMERR_NOERROR) {
        s_uTimerPeriod = uPeriod;
    }
}

int CreateMainWindow(HINSTANCE hInstance)
{
    g_hInstance = hInstance;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.cbWndExtra = WINDOW_EXTRA_BYTES;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(ICON_RESOURCE));
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = APP_NAME;
    if (!RegisterClassA(&wc)) {
        g_pszError = "Fail to RegisterClass";
        return 0;
    }
    RECT rc = {0, 0, APP_WIDTH, APP_HEIGHT};
    AdjustWindowRect(&rc, WINDOW_STYLE, FALSE);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - APP_WIDTH / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - APP_HEIGHT / 2;
    g_hWnd = CreateWindowExA(0, APP_NAME, WINDOW_TITLE, WINDOW_STYLE, x, y, rc.right - rc.left, rc.bottom - rc.top,
                             nullptr, nullptr, hInstance, nullptr);
    if (!g_hWnd) {
        g_pszError = "Fail to CreateWindow";
        return 0;
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return 1;
}

// The largest square off-screen plane the device's DirectDraw makes; terrain images are cut to it.
void ProbePlaneSize()
{
    if (!g_lpDD) {
        return;
    }
    for (int nSize : PLANE_PROBE_SIZES) {
        DDSURFACEDESC2 ddsd = {};
        ddsd.dwSize = sizeof(ddsd);
        ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        ddsd.dwWidth = nSize;
        ddsd.dwHeight = nSize;
        ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
        IDirectDrawSurface7* lpSurface = nullptr;
        if (FAILED(g_lpDD->CreateSurface(&ddsd, &lpSurface, nullptr)) || !lpSurface) {
            break;
        }
        g_nMaxPlaneWidth = nSize;
        g_nMaxPlaneHeight = nSize;
        lpSurface->Release();
    }
}

// Without sound the game goes on silent; each failure is said once in a box.
void StartSound()
{
    if (InitSound(g_hWnd) < 0) {
        MessageBoxA(nullptr, "DirectSoundの初期化に失敗しました", APP_NAME, MB_OK);
        return;
    }
    if (!g_BgmWave.StartThread(g_lpDS, g_lpDSBPrimary)) {
        MessageBoxA(nullptr, "BGMの初期化に失敗しました", APP_NAME, MB_OK);
        return;
    }
    g_PCMManagerTask.Init();
}

// The screen-mode dialog, full screen preselected; 0 when it cannot be shown or is cancelled.
int AskScreenMode(HINSTANCE hInstance, int* pbFullScreen)
{
    IScreenDialog* pDialog = GetScreenDialog();
    if (!pDialog) {
        return 1;
    }
    int nChoice = IScreenDialog::CHOICE_FULLSCREEN;
    int bOk = 0;
    if (!pDialog->Load(g_hWnd)) {
        MessageBoxA(nullptr, "ダイアログのセットアップに失敗しました。", APP_NAME, MB_OK);
    } else {
        bOk = pDialog->DoModal(hInstance, g_hWnd, &nChoice);
    }
    pDialog->Release();
    if (bOk) {
        *pbFullScreen = nChoice == IScreenDialog::CHOICE_FULLSCREEN ? 1 : 0;
    }
    return bOk;
}

void SetInitialPresentRects()
{
    if (g_bFullScreen) {
        g_rcPresentDst = {0, 0, APP_WIDTH, APP_HEIGHT};
        return;
    }
    RECT rc;
    GetClientRect(g_hWnd, &rc);
    POINT pt = {0, 0};
    ClientToScreen(g_hWnd, &pt);
    g_rcPresentDst = {rc.left + pt.x, rc.top + pt.y, rc.right + pt.x, rc.bottom + pt.y};
}

int Present()
{
    // A window dragged wholly off the screen has nothing to show; that is no rendering failure.
    if (g_rcPresentDst.right <= g_rcPresentDst.left || g_rcPresentDst.bottom <= g_rcPresentDst.top) {
        return 1;
    }
    if (FAILED(g_lpDDSPrimary->Blt(&g_rcPresentDst, g_lpDDSBack, &g_rcPresentSrc, DDBLT_WAIT, nullptr))) {
        g_pszError = "Fail to Blt";
        return 0;
    }
    return 1;
}

int UpdatePass()
{
    // A paused stage holds the frame clock as well as the game timer: the clock's 16 and 17 ms steps
    // then fall on the same updates after the pause as they would have without it, so a run and its
    // replay, which has no pause, keep every timing alike.
    if (!Game()->IsStagePaused()) {
        CAppTimer::FrameTick();
    }
    CDebugPrim::GetInstance()->ClearAll();
    Game()->Update();
    g_PCMManagerTask.Update();
    return 1;
}

int RenderPass()
{
    if (FAILED(g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0))) {
        return 0;
    }
    Game()->Render(g_lpDDSBack, g_lpD3DDevice);
    if (Game()->GetState() == IGameFrame::STATE_QUIT) {
        SendOwnClose();
        return 1;
    }
    g_PCMManagerTask.Update();
    // The loading screen draws straight to the primary surface.
    if (Game()->IsLoading()) {
        return 1;
    }
    return Present();
}

DWORD RealElapsed()
{
    return CAppTimer::GetElapsedOn(0, CAppTimer::CLOCK_REAL);
}

void CountFrame(FRAMELOOP* pLoop, DWORD dwNow)
{
    if (g_bPause || CAppTimer::IsPaused(0)) {
        return;
    }
    if (dwNow - pLoop->dwFpsBase >= 1000) {
        pLoop->dwFpsBase = dwNow;
        g_nFPS = pLoop->nFrames;
        pLoop->nFrames = 0;
    } else {
        pLoop->nFrames++;
    }
}

// Sleeps the rest of the period, truncated to whole milliseconds; a late tick is not caught up.
void Pace(FRAMELOOP* pLoop)
{
    // Measured as an unsigned difference so that a wrap of the millisecond clock cannot turn into
    // a sleep of 49 days.
    const double dElapsed = (double)(DWORD)(RealElapsed() - (DWORD)pLoop->dTickBase);
    if (dElapsed < FRAME_PERIOD_MS) {
        Sleep((DWORD)(FRAME_PERIOD_MS - dElapsed));
    }
    pLoop->dTickBase = (double)RealElapsed();
}

// One tick of the loop; false after a rendering failure.
bool RunTick(FRAMELOOP* pLoop)
{
    if (IHost* pHost = GetHost()) {
        pHost->FrameTick();
    }
    CountFrame(pLoop, RealElapsed());
    Pace(pLoop);
    GetFPSChar().SetNumber(GetFrameRateFigure());

    if (!g_bPause) {
        g_bUpdateOnly = 1;
        RunFrame();
    }
    const bool bAlternate = g_bFrameSkip || (Game() && Game()->GetState() == IGameFrame::STATE_LOADING);
    const bool bRender = !bAlternate || pLoop->bRenderTurn;
    pLoop->bRenderTurn = !pLoop->bRenderTurn;
    if (bRender) {
        g_bUpdateOnly = 0;
        if (!RunFrame()) {
            g_pszError = "Fail to Rendering";
            ShutdownApp();
            return false;
        }
    }
    return true;
}

// The WM_QUIT parameter, or 0 when a rendering failure ended the loop.
int MessageLoop()
{
    FRAMELOOP loop = {};
    loop.dwFpsBase = RealElapsed();
    loop.dTickBase = (double)loop.dwFpsBase;
    loop.bRenderTurn = 1;
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                return (int)msg.wParam;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (s_bCloseDeferred && !IsGameLoading()) {
            s_bCloseDeferred = false;
            SendMessageA(g_hWnd, WM_CLOSE, 0, 0);
            continue;
        }
        if (!g_bActive) {
            // No ticks while inactive; wait for the next event rather than spin.
            WaitMessage();
            continue;
        }
        if (!RunTick(&loop)) {
            return 0;
        }
    }
}


LRESULT OnClose(HWND hWnd)
{
    if (IsGameLoading()) {
        // The stage loader is running on another thread; a close from outside (the close box,
        // the session ending) is kept for when it is done, the game's own requests are dropped.
        if (s_nOwnCloseDepth == 0) {
            s_bCloseDeferred = true;
        }
        return 0;
    }
    g_bActive = 0;
    SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE);
    SetWindowLongA(hWnd, GWL_EXSTYLE, GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    UpdateWindow(hWnd);
    DestroyWindow(hWnd);
    return 0;
}

LRESULT OnDestroy()
{
    if (IsGameLoading()) {
        return 0;
    }
    ShutdownApp();
    PostQuitMessage(0);
    return 0;
}

}  // namespace

// The COM objects of the frame, texture stage 0 unset first, each handle cleared.
void ReleaseDeviceObjects()
{
    if (g_lpD3DDevice) {
        g_lpD3DDevice->SetTexture(0, nullptr);
    }
    ReleaseGlobal(g_lpD3DDevice);
    ReleaseGlobal(g_lpD3D);
    ReleaseGlobal(g_lpDDClipper);
    ReleaseGlobal(g_lpDDSBack);
    ReleaseGlobal(g_lpDDSPrimary);
    ReleaseGlobal(g_lpDD);
}

int WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    CMutex mutex;
    if (!CheckSingleInstance(&mutex, "")) {
        return 0;
    }
    const int nResult = RunApplication(hInstance, nCmdShow);
    mutex.Release();
    return nResult;
}

int RunApplication(HINSTANCE hInstance, int nCmdShow)
{
    ResetFrameState();
    CMemState memStart, memEnd, memDiff;  // the third only ever compared the other two
    memStart.Checkpoint();
    g_bDebugDisp = 0;
    ReadLoggingFlag();
    CDebugPrim::GetInstance()->m_nLayerMask = DEBUGPRIM_START_MASK;
    CAppTimer::ResetAll();

    if (!InitApp(hInstance, nCmdShow)) {
        ShutdownApp();
        // Not left for the process end: a later run in this process starts with a new holder.
        CEnumDriver::DeleteInstance();
        CDebugPrim::DeleteInstance();
        return ExitStatus(0);
    }
    CDebugInfo::SetWindow(g_hWnd);
    if (g_bFullScreen) {
        s_hKeyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, hInstance, 0);
    }

    const int nResult = MessageLoop();

    CEnumDriver::DeleteInstance();
    CDebugPrim::DeleteInstance();
    g_PCMManagerTask.Release();
    CKeyRecorder::DeleteInstance();
    CDebugInfo::Close();
    if (s_hKeyboardHook) {
        UnhookWindowsHookEx(s_hKeyboardHook);
        s_hKeyboardHook = nullptr;
    }
    memEnd.Checkpoint();
    return ExitStatus(nResult);
}

int InitApp(HINSTANCE hInstance, int)
{
    if (!Game()) {
        return 0;
    }
    BeginTimerPeriod();
    if (!CreateMainWindow(hInstance)) {
        return 0;
    }
    int nScreenSetting = 0;
    ReadStartupParams(&nScreenSetting, &g_nObjFlashTime, g_fEnemyBulletSpeed, g_fMMCanonSpeed);
    int bFullScreen = 0;
    if (nScreenSetting && !AskScreenMode(hInstance, &bFullScreen)) {
        // Cancelled: the program closes through the ordinary close path before any tick runs.
        SendOwnClose();
        return 1;
    }

    if (bFullScreen) {
        g_bFullScreen = 1;
        s_WindowInfo.SaveAll();
        ShowCursor(FALSE);
    } else {
        g_bFullScreen = 0;
        ShowWindow(g_hWnd, SW_SHOWNORMAL);
        UpdateWindow(g_hWnd);
    }
    if (!InitDirectDraw(hInstance, g_hWnd, g_bFullScreen) || !InitDirect3D(g_hWnd)) {
        return 0;
    }
    CKeyRecorder::InitKeyMap();
    CInputState::Init();
    CInputState::SetMode(INPUT_MODE_MERGED);
    // The settings choose the frame rate and the music volume, so they come before the sound.
    g_Config.ReadFile();
    StartSound();
    ProbePlaneSize();
    SetInitialPresentRects();
    Game()->InitFader();
    return Game()->Init(g_lpD3DDevice) ? 1 : 0;
}

LRESULT WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        InitCommonControls();
        return 0;
    case WM_DESTROY:
        return OnDestroy();
    case WM_MOVE:
        OnMove(lParam);
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_CLOSE:
        return OnClose(hWnd);
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_CHAR:
        OnChar(wParam);
        return 0;
    case WM_SYSCOMMAND:
        if (g_bFullScreen || (wParam & 0xFFF0) == SC_KEYMENU) {
            return 0;
        }
        break;
    case WM_COMMAND:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOVING:
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

LRESULT LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const bool bKeyMessage = wParam == WM_KEYDOWN || wParam == WM_KEYUP || wParam == WM_SYSKEYDOWN || wParam == WM_SYSKEYUP;
    if (g_bFullScreen && nCode == HC_ACTION && bKeyMessage && lParam) {
        const KBDLLHOOKSTRUCT* pInfo = (const KBDLLHOOKSTRUCT*)lParam;
        const bool bAlt = (pInfo->flags & LLKHF_ALTDOWN) != 0;
        const DWORD vk = pInfo->vkCode;
        const bool bSwallow = (vk == VK_TAB && bAlt) || (vk == VK_ESCAPE && bAlt) ||
                              (vk == VK_ESCAPE && GetKeyState(VK_CONTROL) < 0) || vk == VK_LWIN || vk == VK_RWIN;
        if (bSwallow) {
            return 1;
        }
    }
    return CallNextHookEx(s_hKeyboardHook, nCode, wParam, lParam);
}

void TogglePause()
{
    if (g_bPause) {
        CAppTimer::Resume(0);
        g_bPause = 0;
    } else {
        CAppTimer::Pause(0);
        g_bPause = 1;
    }
}

int RunFrame()
{
    if (!g_lpD3DDevice || !g_lpDDSBack || !g_lpDDSPrimary || !Game()) {
        return 1;
    }
    return g_bUpdateOnly ? UpdatePass() : RenderPass();
}

void ShutdownApp()
{
    if (s_bShutdownDone) {
        return;
    }
    s_bShutdownDone = true;
    if (g_bFullScreen) {
        if (g_lpDD) {
            g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_NORMAL);
        }
        ShowCursor(TRUE);
    }
    if (g_pszError) {
        // The host writes the box's text on stderr too, once, where a terminal that started the
        // program sees it.
        MessageBoxA(nullptr, g_pszError, APP_NAME, MB_OK);
    }
    if (Game()) {
        Game()->Release();
    }
    if (g_lpD3DDevice) {
        CRenderState::DeletePresets(g_lpD3DDevice);
    }
    CDSurfaceCache::ClearAll();
    // The index sheets are surfaces too: gone before the DirectDraw object is.
    ReleaseSystemIndexes();
    CKeyRecorder::ClearKeyMap();
    CPointNumber::ReleaseImage();
    g_Config.Release();
    ClipCursor(nullptr);
    g_PCMManagerTask.ReleaseSystemSounds();
    g_BgmWave.Close();
    ReleaseSound();
    ReleaseDeviceObjects();
    if (s_uTimerPeriod) {
        timeEndPeriod(s_uTimerPeriod);
        s_uTimerPeriod = 0;
    }
    ClearParams();
    CloseHeap(GetEnemyHeap());
    CloseHeap(GetSoundHeap());
    CloseHeap(GetGeneralHeap());
}

void OnActivate(WPARAM wParam)
{
    const bool bInactive = LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam) != 0;
    if (bInactive) {
        g_bActive = 0;
        if (!g_bPause && !(Game() && Game()->IsStagePaused())) {
            TogglePause();
            g_bAutoPause = 1;
        }
        return;
    }
    g_bActive = 1;
    if (g_bPause && g_bAutoPause) {
        TogglePause();
        g_bAutoPause = 0;
    }
}

void OnChar(WPARAM wParam)
{
    if (!IsDebugKey() || wParam < 'P' || wParam > 'q') {
        return;
    }
    if (wParam == 'P' || wParam == 'p') {
        g_bDebugDisp = !g_bDebugDisp;
    } else if (wParam == 'Q' || wParam == 'q') {
        TogglePause();
    }
}

void OnKeyDown(WPARAM wParam)
{
    if (wParam == VK_ESCAPE) {
        SendOwnClose();
        // The close went through: the game is released and must not be restarted.
        if (s_bShutdownDone) {
            return;
        }
    }
    if (!IsDebugKey()) {
        return;
    }
    if (wParam == VK_END) {
        TogglePause();
    }
    if (GetAsyncKeyState('R') < 0 && Game()) {
        Game()->DebugRestart();
    }
}

void OnMove(LPARAM lParam)
{
    // Signed 16-bit coordinates: a window on a monitor left of or above the primary one has a
    // negative origin, one right of or below it a large positive one.
    const int x = (SHORT)LOWORD(lParam);
    const int y = (SHORT)HIWORD(lParam);
    ComputePresentRects(x, y, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), &g_rcPresentDst,
                        &g_rcPresentSrc);
}

void ComputePresentRects(int x, int y, int nScreenW, int nScreenH, RECT* pDst, RECT* pSrc)
{
    int nRight = x + APP_WIDTH;
    int nSrcRight = APP_WIDTH;
    if (nRight > nScreenW) {
        nRight = nScreenW;
        nSrcRight = nScreenW - x;
    }
    int nBottom = y + APP_HEIGHT;
    int nSrcBottom = APP_HEIGHT;
    if (nBottom > nScreenH) {
        nBottom = nScreenH;
        nSrcBottom = nScreenH - y;
    }
    *pDst = {x > 0 ? x : 0, y > 0 ? y : 0, nRight, nBottom};
    *pSrc = {x < 0 ? -x : 0, y < 0 ? -y : 0, nSrcRight, nSrcBottom};
}

int GetFrameRateFigure()
{
    return g_bFrameSkip ? g_nFPS / 2 : g_nFPS;
}
