// Loading a stage (or the ending) takes long, so it runs on a worker thread while the main thread
// keeps the window alive and shows the loading picture. The two threads share only flags.
#pragma once
#include <atomic>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"

class CGame;

#define LOADING_PICTURE_PATH ".\\GameData\\First\\Loading.bmp"

// The loading picture, shown through a 640 x 480 plane straight on the primary surface: the back
// buffer is not presented while loading.
class CLoadingInfo {
public:
    CLoadingInfo() = default;
    virtual ~CLoadingInfo();
    CLoadingInfo(const CLoadingInfo&) = delete;
    CLoadingInfo& operator=(const CLoadingInfo&) = delete;

    virtual void Begin() {}
    // The picture onto the plane, then the plane's source rectangle (the whole plane when null)
    // onto the destination rectangle. 0 without a plane or when the last blit fails; 1 at once
    // while the window is inactive.
    virtual int Draw(IDirectDrawSurface7* lpDest, RECT* prcDest, RECT* prcSrc = nullptr);
    // Onto the primary surface where the window's client area shows.
    virtual int DrawToScreen();

    // 0 when the plane or the picture cannot be made.
    int Load(IDirect3DDevice7* lpDevice);
    // Hides it and frees the plane; the picture stays for the next load.
    void Release();
    int IsHidden() const { return m_bHidden; }

private:
    int m_bHidden = 1;
    IDirectDrawSurface7* m_pPicture = nullptr;
    IDirectDrawSurface7* m_pPlane = nullptr;
};

// One load: created by the game on entering the loading state, deleted when the load is done.
class CLoading {
public:
    // The worker loads only when the start token is set; a null token makes it wait for deletion.
    CLoading(CLoadingInfo* pStart, CGame* pGame);
    virtual ~CLoading();
    CLoading(const CLoading&) = delete;
    CLoading& operator=(const CLoading&) = delete;

    // 1 once the worker has started (and until the object is deleted).
    int IsRunning() const { return m_bRunning.load() == RUNNING_YES; }
    // Returns once the worker has started (or the object is being deleted). A wait on the worker's
    // report, not a poll: it takes only the time the start takes, and no time of the game's clock.
    void WaitUntilRunning() const { m_bRunning.wait(RUNNING_NOT_YET); }
    // 0 when no thread could be made: the caller has to load by itself.
    int HasThread() const { return m_hThread != nullptr; }
    // Tells the worker to stop: one still waiting for the go ends without loading; a load under
    // way runs to its end all the same.
    void Stop();
    // 1 once the worker has ended (at once without one), 0 when it still runs after the wait.
    int WaitForEnd(DWORD dwMilliseconds) const;

private:
    // Not yet started, asked to stop, started.
    enum { RUNNING_NOT_YET = -1, RUNNING_NO = 0, RUNNING_YES = 1 };

    static unsigned ThreadProc(void* pArg);
    unsigned Work();
    // Waits for the go; false when asked to stop instead.
    bool WaitForStart();

    CLoadingInfo* m_pStart;
    unsigned m_nThreadId = 0;
    HANDLE m_hThread = nullptr;
    HANDLE m_hEvent = nullptr;
    std::atomic<int> m_bRunning{RUNNING_NOT_YET};
};
