#include "Mcl/MclThread.h"

#include <cerrno>
#include <cstdio>

void ReportMclError(DWORD dwCode, const char* pszSource, int nLine) {
    char text[256];
    snprintf(text, sizeof text, "CMcl Library Win32 Error 0x%08x(%d) at %s line %d\n", dwCode, static_cast<int>(dwCode),
             pszSource, nLine);
    OutputDebugStringA(text);
    throw CMclException(dwCode);
}

CMclKernel::~CMclKernel() {
    if (IsValid()) CloseHandle(m_hHandle);
    m_hHandle = nullptr;
}

DWORD CMclKernel::Wait(DWORD dwMilliseconds) { return WaitForSingleObject(m_hHandle, dwMilliseconds); }

DWORD CMclKernel::WaitForTwo(CMclKernel& other, BOOL bWaitAll, DWORD dwMilliseconds) {
    HANDLE handles[2] = {m_hHandle, other.m_hHandle};
    return WaitForMultipleObjects(2, handles, bWaitAll, dwMilliseconds);
}

CMclThread::CMclThread(CMclThreadHandler* pHandler, unsigned nCreateFlags, LPSECURITY_ATTRIBUTES pSecurity,
                       unsigned nStackSize)
    : m_dwThreadId(0), m_pHandler(pHandler) {
    m_hHandle = reinterpret_cast<HANDLE>(
        _beginthreadex(pSecurity, nStackSize, ThreadEntry, pHandler, nCreateFlags, &m_dwThreadId));
    if (IsValid()) {
        m_dwStatus = 0;
        return;
    }
    m_hHandle = nullptr;
    m_dwStatus = static_cast<DWORD>(errno);
    ReportMclError(m_dwStatus, "CMclKernel", __LINE__);
}

unsigned CMclThread::ThreadEntry(void* pHandler) {
    return static_cast<CMclThreadHandler*>(pHandler)->ThreadHandlerProc();
}

DWORD CMclThread::Suspend() { return SuspendThread(m_hHandle); }

DWORD CMclThread::Resume() { return ResumeThread(m_hHandle); }

BOOL CMclThread::Terminate(DWORD dwExitCode) { return TerminateThread(m_hHandle, dwExitCode); }

BOOL CMclThread::GetExitCode(DWORD* pdwExitCode) { return GetExitCodeThread(m_hHandle, pdwExitCode); }

BOOL CMclThread::SetPriority(int nPriority) { return SetThreadPriority(m_hHandle, nPriority); }

int CMclThread::GetPriority() { return GetThreadPriority(m_hHandle); }
