// Thin wrappers of kernel objects: a thread that runs a handler's body, a critical section, and
// their common base. A failure to make a kernel object is reported and raised as CMclException.
#pragma once
#include <exception>

#include "platform/win/Sync.h"

// Formats "CMcl Library Win32 Error 0x%08x(%d) at %s line %d\n", sends it to the debugger output
// and throws CMclException carrying the code.
[[noreturn]] void ReportMclError(DWORD dwCode, const char* pszSource, int nLine);

class CMclException : public std::exception {
public:
    explicit CMclException(DWORD dwCode) : m_dwCode(dwCode) {}
    const char* what() const noexcept override { return "CMcl Library Win32 Error"; }
    DWORD GetCode() const { return m_dwCode; }

private:
    DWORD m_dwCode;
};

class CMclThreadHandler {
public:
    virtual ~CMclThreadHandler() {}
    virtual unsigned ThreadHandlerProc() = 0;
};

class CMclKernel {
public:
    CMclKernel() : m_hHandle(nullptr), m_dwStatus(ERROR_INVALID_HANDLE) {}
    virtual ~CMclKernel();
    CMclKernel(const CMclKernel&) = delete;
    CMclKernel& operator=(const CMclKernel&) = delete;

    DWORD Status() const { return m_dwStatus; }
    DWORD Wait(DWORD dwMilliseconds);
    // Both (bWaitAll) or either of this object and the other, like WaitForMultipleObjects.
    DWORD WaitForTwo(CMclKernel& other, BOOL bWaitAll, DWORD dwMilliseconds);
    // The handle of an object, 0 for a null object.
    static HANDLE GetHandle(const CMclKernel* pObject) { return pObject ? pObject->m_hHandle : nullptr; }
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }

protected:
    HANDLE m_hHandle;
    DWORD m_dwStatus;
};

class CMclThread : public CMclKernel {
public:
    // The handler is not owned and must outlive the thread.
    explicit CMclThread(CMclThreadHandler* pHandler, unsigned nCreateFlags = 0,
                        LPSECURITY_ATTRIBUTES pSecurity = nullptr, unsigned nStackSize = 0);

    DWORD Suspend();
    DWORD Resume();
    BOOL Terminate(DWORD dwExitCode);
    BOOL GetExitCode(DWORD* pdwExitCode);
    BOOL SetPriority(int nPriority);
    int GetPriority();
    DWORD GetThreadId() const { return m_dwThreadId; }
    CMclThreadHandler* GetHandler() const { return m_pHandler; }

private:
    static unsigned ThreadEntry(void* pHandler);

    unsigned m_dwThreadId;
    CMclThreadHandler* m_pHandler;
};

class CMclCritSec {
public:
    CMclCritSec() { InitializeCriticalSection(&m_CritSec); }
    ~CMclCritSec() { DeleteCriticalSection(&m_CritSec); }
    CMclCritSec(const CMclCritSec&) = delete;
    CMclCritSec& operator=(const CMclCritSec&) = delete;

    void Enter() { EnterCriticalSection(&m_CritSec); }
    void Leave() { LeaveCriticalSection(&m_CritSec); }
    CRITICAL_SECTION* GetCritSec() { return &m_CritSec; }

private:
    CRITICAL_SECTION m_CritSec;
};
