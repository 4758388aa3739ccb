#include "scene/Loading.h"

#include "engine/SurfaceUtil.h"
#include "engine/WinMain.h"
#include "platform/win/Sync.h"
#include "scene/Game.h"

namespace {

// The game the worker loads for; set by every new loader.
std::atomic<CGame*> s_pGame{nullptr};

RECT WholePlane()
{
    return RECT{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
}

} // namespace

// ---- CLoadingInfo --------------------------------------------------------------------------------

CLoadingInfo::~CLoadingInfo()
{
    Release();
    SafeRelease(m_pPicture);
}

int CLoadingInfo::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_pPlane = CreateDevicePlaneSurface(lpDevice, SCREEN_WIDTH, SCREEN_HEIGHT, MEM_VIDEO);
    if (!m_pPlane) {
        return 0;
    }
    if (!m_pPicture) {
        m_pPicture = LoadBitmapSurface(lpDevice, LOADING_PICTURE_PATH, MEM_VIDEO);
    }
    if (!m_pPicture) {
        return 0;
    }
    m_bHidden = 0;
    return 1;
}

void CLoadingInfo::Release()
{
    m_bHidden = 1;
    SafeRelease(m_pPlane);
}

int CLoadingInfo::Draw(IDirectDrawSurface7* lpDest, RECT* prcDest, RECT* prcSrc)
{
    if (!m_pPlane) {
        return 0;
    }
    if (!g_bActive) {
        return 1;
    }
    if (!m_bHidden) {
        m_pPlane->Blt(nullptr, m_pPicture, nullptr, DDBLT_WAIT, nullptr);
    }
    if (!lpDest || lpDest->IsLost() != DD_OK) {
        return 1;
    }
    RECT rcSrc = prcSrc ? *prcSrc : WholePlane();
    return lpDest->Blt(prcDest, m_pPlane, &rcSrc, DDBLT_WAIT, nullptr) == DD_OK ? 1 : 0;
}

// The present rectangles: a window partly off the screen shows only its visible part.
int CLoadingInfo::DrawToScreen()
{
    return Draw(g_lpDDSPrimary, &g_rcPresentDst, &g_rcPresentSrc);
}

// ---- CLoading ------------------------------------------------------------------------------------

CLoading::CLoading(CLoadingInfo* pStart, CGame* pGame) : m_pStart(pStart)
{
    s_pGame = pGame;
    m_hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(m_hEvent);
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, 0, &m_nThreadId));
    SetEvent(m_hEvent);
}

// The worker may be waiting or loading: it is told to stop and then waited for, so nothing it
// touches goes away under it.
CLoading::~CLoading()
{
    Stop();
    if (m_hThread) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
    }
    CloseHandle(m_hEvent);
}

void CLoading::Stop()
{
    m_bRunning = RUNNING_NO;
    m_bRunning.notify_all();
    SetEvent(m_hEvent);
}

int CLoading::WaitForEnd(DWORD dwMilliseconds) const
{
    return !m_hThread || WaitForSingleObject(m_hThread, dwMilliseconds) == WAIT_OBJECT_0;
}

unsigned CLoading::ThreadProc(void* pArg)
{
    return static_cast<CLoading*>(pArg)->Work();
}

unsigned CLoading::Work()
{
    // A loader deleted before its worker got going must not start loading afterwards.
    int nExpected = RUNNING_NOT_YET;
    if (!m_bRunning.compare_exchange_strong(nExpected, RUNNING_YES)) {
        return 0;
    }
    m_bRunning.notify_all();
    if (!WaitForStart()) {
        return 0;
    }
    s_pGame.load()->LoadInThread(g_lpD3DDevice);
    return 0;
}

bool CLoading::WaitForStart()
{
    for (;;) {
        WaitForSingleObject(m_hEvent, INFINITE);
        if (m_bRunning == RUNNING_NO) {
            return false;
        }
        if (m_pStart && s_pGame.load()) {
            return true;
        }
        ResetEvent(m_hEvent);
        if (m_bRunning == RUNNING_NO) {
            return false;
        }
    }
}
