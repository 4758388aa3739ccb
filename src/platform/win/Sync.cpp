// Critical sections, events and threads over the C++ library. All events and threads share one
// lock and one condition: waits are rare and short here (a streaming thread and a loader), and a
// single condition makes waits on several objects at once straightforward.
#include "platform/win/Sync.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/host/HostHeadless.h"
#include "platform/win/WinInternal.h"

namespace {

std::mutex& SyncLock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& SyncChanged() {
    static std::condition_variable cv;
    return cv;
}

std::atomic<DWORD> g_nNextThreadId{1};
thread_local DWORD t_dwThreadId = 0;

DWORD ThisThreadId() {
    if (t_dwThreadId == 0) t_dwThreadId = g_nNextThreadId++;
    return t_dwThreadId;
}

class CSyncObject : public CKernelObject {
public:
    // Under SyncLock: whether a wait would be satisfied now, and what satisfying it consumes.
    virtual bool IsSignalled() const = 0;
    virtual void Consume() {}
};

class CEventObject : public CSyncObject {
public:
    CEventObject(bool bManual, bool bInitial) : m_bManual(bManual), m_bSignalled(bInitial) {}
    bool IsSignalled() const override { return m_bSignalled; }
    void Consume() override {
        if (!m_bManual) m_bSignalled = false;
    }
    void Set(bool bOn) { m_bSignalled = bOn; }

private:
    bool m_bManual;
    bool m_bSignalled;
};

struct THREADSTATE {
    std::thread thread;
    bool bReleased = false;   // the start gate (closed only for a suspended creation)
    bool bFinished = false;
    DWORD dwExitCode = STILL_ACTIVE;
    int nPriority = THREAD_PRIORITY_NORMAL;
    std::atomic<bool> bRaised{false};  // above normal: the headless host may run it in step
    pid_t nTid = 0;           // the host's id, once the thread runs
    DWORD dwId = 0;
};

// Nice values for the Windows levels; a refusal (no privilege) leaves the thread as it is.
void ApplyPriority(pid_t nTid, int nPriority) {
    if (nTid == 0) return;
    int nNice = 0;
    if (nPriority >= THREAD_PRIORITY_TIME_CRITICAL) nNice = -10;
    else if (nPriority >= THREAD_PRIORITY_HIGHEST) nNice = -5;
    else if (nPriority >= THREAD_PRIORITY_ABOVE_NORMAL) nNice = -2;
    else if (nPriority <= THREAD_PRIORITY_IDLE) nNice = 19;
    else if (nPriority <= THREAD_PRIORITY_LOWEST) nNice = 5;
    else if (nPriority < 0) nNice = 2;
    setpriority(PRIO_PROCESS, static_cast<id_t>(nTid), nNice);
}

class CThreadObject : public CSyncObject {
public:
    explicit CThreadObject(std::shared_ptr<THREADSTATE> state) : m_State(std::move(state)) {}
    ~CThreadObject() override {
        // Closing the handle never ends the thread; a finished one is joined, a running one let go.
        std::thread t;
        bool bFinished;
        {
            std::lock_guard<std::mutex> guard(SyncLock());
            t = std::move(m_State->thread);
            bFinished = m_State->bFinished;
            m_State->bReleased = true;
        }
        SyncChanged().notify_all();
        if (!t.joinable()) return;
        if (bFinished)
            t.join();
        else
            t.detach();
    }
    bool IsSignalled() const override { return m_State->bFinished; }
    THREADSTATE& State() { return *m_State; }

private:
    std::shared_ptr<THREADSTATE> m_State;
};

template <class T>
T* ObjectFromHandle(HANDLE h) {
    return dynamic_cast<T*>(CKernelObject::FromHandle(h));
}

void ThreadMain(std::shared_ptr<THREADSTATE> state, BEGINTHREADEX_PROC pStart, void* pArg) {
    {
        std::unique_lock<std::mutex> lock(SyncLock());
        SyncChanged().wait(lock, [&] { return state->bReleased; });
        t_dwThreadId = state->dwId;
        state->nTid = static_cast<pid_t>(syscall(SYS_gettid));
        if (state->nPriority != THREAD_PRIORITY_NORMAL) ApplyPriority(state->nTid, state->nPriority);
    }
    SetHeadlessClockFollower(true, &state->bRaised);
    unsigned nResult = pStart(pArg);
    SetHeadlessClockFollower(false);
    {
        std::lock_guard<std::mutex> guard(SyncLock());
        state->dwExitCode = nResult;
        state->bFinished = true;
    }
    SyncChanged().notify_all();
}

bool WaitSatisfied(CSyncObject* const* ppObjects, DWORD nCount, bool bAll, DWORD* pIndex) {
    for (DWORD i = 0; i < nCount; ++i) {
        bool bOn = ppObjects[i]->IsSignalled();
        if (bOn && !bAll) {
            *pIndex = i;
            return true;
        }
        if (!bOn && bAll) return false;
    }
    *pIndex = 0;
    return bAll;
}

// Under the lock.
DWORD ConsumeSatisfied(CSyncObject* const* ppObjects, DWORD nCount, bool bAll, DWORD nIndex) {
    if (bAll) {
        for (DWORD i = 0; i < nCount; ++i) ppObjects[i]->Consume();
    } else {
        ppObjects[nIndex]->Consume();
    }
    return WAIT_OBJECT_0 + nIndex;
}

CHostHeadless* HostWithThreadsInStep() {
    auto* pHost = dynamic_cast<CHostHeadless*>(GetHost());
    return pHost && pHost->AreThreadsInStep() ? pHost : nullptr;
}

// A thread in step sees what others did to the objects only when the clock moves, as its sleeps
// end only then; its timeout is on that clock. False when it no longer runs in step.
bool WaitInStep(CHostHeadless* pHost, CSyncObject* const* ppObjects, DWORD nCount, bool bAll, DWORD dwMilliseconds,
                DWORD* pResult) {
    const uint32_t dwStart = pHost->NowMs();
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(SyncLock());
            DWORD nIndex = 0;
            if (WaitSatisfied(ppObjects, nCount, bAll, &nIndex)) {
                *pResult = ConsumeSatisfied(ppObjects, nCount, bAll, nIndex);
                return true;
            }
        }
        if (dwMilliseconds != INFINITE && pHost->NowMs() - dwStart >= dwMilliseconds) {
            *pResult = WAIT_TIMEOUT;
            return true;
        }
        if (!pHost->AwaitClockInStep()) return false;
    }
}

bool AnyRaisedThread(CSyncObject* const* ppObjects, DWORD nCount) {
    for (DWORD i = 0; i < nCount; ++i) {
        auto* pThread = dynamic_cast<CThreadObject*>(ppObjects[i]);
        if (pThread && pThread->State().bRaised) return true;
    }
    return false;
}

// Under the lock the objects stay alive only as long as nobody closes them mid-wait, which is the
// caller's contract on Windows too.
DWORD WaitObjects(CSyncObject* const* ppObjects, DWORD nCount, bool bAll, DWORD dwMilliseconds) {
    CHostHeadless* pStepHost = HostWithThreadsInStep();
    auto inStep = [&] { return pStepHost && pStepHost->AreThreadsInStep() && IsRaisedClockFollower(); };
    DWORD dwResult = 0;
    if (inStep() && WaitInStep(pStepHost, ppObjects, nCount, bAll, dwMilliseconds, &dwResult)) return dwResult;
    // The thread that drives the clock waiting for a thread in step to end: that thread's sleeps
    // cannot end on the clock meanwhile.
    const bool bAwaitsEnd = pStepHost && !IsRaisedClockFollower() && AnyRaisedThread(ppObjects, nCount);
    if (bAwaitsEnd) pStepHost->AwaitFollowerEnd(true);
    std::unique_lock<std::mutex> lock(SyncLock());
    DWORD nIndex = 0;
    bool bRaisedMeanwhile = false;
    auto ready = [&] {
        bRaisedMeanwhile = inStep();
        return bRaisedMeanwhile || WaitSatisfied(ppObjects, nCount, bAll, &nIndex);
    };
    bool bReady = true;
    if (dwMilliseconds == INFINITE)
        SyncChanged().wait(lock, ready);
    else
        bReady = SyncChanged().wait_for(lock, std::chrono::milliseconds(dwMilliseconds), ready);
    if (bReady && !bRaisedMeanwhile) dwResult = ConsumeSatisfied(ppObjects, nCount, bAll, nIndex);
    lock.unlock();
    if (bAwaitsEnd) pStepHost->AwaitFollowerEnd(false);
    if (!bReady) return WAIT_TIMEOUT;
    // A thread raised while it waited goes on waiting in step.
    if (bRaisedMeanwhile) return WaitObjects(ppObjects, nCount, bAll, dwMilliseconds);
    return dwResult;
}

}  // namespace

// ---- Critical sections --------------------------------------------------------------------------

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (lpCriticalSection) lpCriticalSection->pImpl = new std::recursive_mutex;
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    delete static_cast<std::recursive_mutex*>(lpCriticalSection->pImpl);
    lpCriticalSection->pImpl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    static_cast<std::recursive_mutex*>(lpCriticalSection->pImpl)->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    static_cast<std::recursive_mutex*>(lpCriticalSection->pImpl)->unlock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    return static_cast<std::recursive_mutex*>(lpCriticalSection->pImpl)->try_lock() ? TRUE : FALSE;
}

// ---- Events -------------------------------------------------------------------------------------

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
    SetLastError(ERROR_SUCCESS);
    return new CEventObject(bManualReset != FALSE, bInitialState != FALSE);
}

static BOOL SetEventState(HANDLE hEvent, bool bOn) {
    {
        std::lock_guard<std::mutex> guard(SyncLock());
        CEventObject* pEvent = ObjectFromHandle<CEventObject>(hEvent);
        if (!pEvent) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        pEvent->Set(bOn);
    }
    if (bOn) SyncChanged().notify_all();
    return TRUE;
}

BOOL SetEvent(HANDLE hEvent) { return SetEventState(hEvent, true); }

BOOL ResetEvent(HANDLE hEvent) { return SetEventState(hEvent, false); }

// ---- Threads ------------------------------------------------------------------------------------

uintptr_t _beginthreadex(void*, unsigned, BEGINTHREADEX_PROC pStartAddress, void* pArgList, unsigned nInitFlag,
                         unsigned* pThrdAddr) {
    if (!pStartAddress) {
        errno = EINVAL;
        return 0;
    }
    auto state = std::make_shared<THREADSTATE>();
    state->dwId = g_nNextThreadId++;
    state->bReleased = (nInitFlag & CREATE_SUSPENDED) == 0;
    try {
        state->thread = std::thread(ThreadMain, state, pStartAddress, pArgList);
    } catch (const std::system_error&) {
        errno = EAGAIN;
        return 0;
    }
    if (pThrdAddr) *pThrdAddr = state->dwId;
    return reinterpret_cast<uintptr_t>(static_cast<HANDLE>(new CThreadObject(state)));
}

DWORD SuspendThread(HANDLE hThread) {
    SetLastError(ObjectFromHandle<CThreadObject>(hThread) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE);
    return static_cast<DWORD>(-1);
}

DWORD ResumeThread(HANDLE hThread) {
    DWORD dwPrevious;
    {
        std::lock_guard<std::mutex> guard(SyncLock());
        CThreadObject* pThread = ObjectFromHandle<CThreadObject>(hThread);
        if (!pThread) {
            SetLastError(ERROR_INVALID_HANDLE);
            return static_cast<DWORD>(-1);
        }
        dwPrevious = pThread->State().bReleased ? 0 : 1;
        pThread->State().bReleased = true;
    }
    SyncChanged().notify_all();
    return dwPrevious;
}

BOOL TerminateThread(HANDLE hThread, DWORD) {
    SetLastError(ObjectFromHandle<CThreadObject>(hThread) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    std::lock_guard<std::mutex> guard(SyncLock());
    CThreadObject* pThread = ObjectFromHandle<CThreadObject>(hThread);
    if (!pThread || !lpExitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *lpExitCode = pThread->State().dwExitCode;
    return TRUE;
}

BOOL SetThreadPriority(HANDLE hThread, int nPriority) {
    std::lock_guard<std::mutex> guard(SyncLock());
    CThreadObject* pThread = ObjectFromHandle<CThreadObject>(hThread);
    if (!pThread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (nPriority < THREAD_PRIORITY_IDLE || nPriority > THREAD_PRIORITY_TIME_CRITICAL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pThread->State().nPriority = nPriority;
    pThread->State().bRaised = nPriority > THREAD_PRIORITY_NORMAL;
    ApplyPriority(pThread->State().nTid, nPriority);
    // A thread raised while it waits may now have to wait in step.
    SyncChanged().notify_all();
    return TRUE;
}

int GetThreadPriority(HANDLE hThread) {
    std::lock_guard<std::mutex> guard(SyncLock());
    CThreadObject* pThread = ObjectFromHandle<CThreadObject>(hThread);
    if (!pThread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return pThread->State().nPriority;
}

DWORD GetCurrentThreadId() { return ThisThreadId(); }

// ---- Waits --------------------------------------------------------------------------------------

bool WaitForSyncObject(HANDLE hHandle, DWORD dwMilliseconds, DWORD* pResult) {
    CSyncObject* pObject = ObjectFromHandle<CSyncObject>(hHandle);
    if (!pObject) return false;
    *pResult = WaitObjects(&pObject, 1, false, dwMilliseconds);
    return true;
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
    CSyncObject* objects[MAXIMUM_WAIT_OBJECTS];
    if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    for (DWORD i = 0; i < nCount; ++i) {
        objects[i] = ObjectFromHandle<CSyncObject>(lpHandles[i]);
        if (!objects[i]) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
    return WaitObjects(objects, nCount, bWaitAll != FALSE, dwMilliseconds);
}
