// The Win32 synchronisation calls the game makes: critical sections, events and threads started
// the C runtime's way. Events and threads are kernel objects: CloseHandle frees them and
// WaitForSingleObject waits on them as on any other handle.
#pragma once
#include <cstdint>

#include "platform/win/Win.h"

typedef DWORD* LPDWORD;

// ---- Critical sections (re-entrant on the owning thread, as on Windows) -------------------------
struct CRITICAL_SECTION {
    void* pImpl;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// ---- Events -------------------------------------------------------------------------------------
// Names are not shared between processes here: a named event is as private as an unnamed one.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);

// ---- Threads ------------------------------------------------------------------------------------
#define CREATE_SUSPENDED 0x00000004
#define STILL_ACTIVE 259
#define ERROR_NOT_SUPPORTED 50

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

#define MAXIMUM_WAIT_OBJECTS 64

typedef unsigned (*BEGINTHREADEX_PROC)(void*);

// The C runtime's thread start: 0 on failure with errno set (EAGAIN when no thread can be made,
// EINVAL for a null start address). A thread created suspended runs at its first ResumeThread.
uintptr_t _beginthreadex(void* pSecurity, unsigned nStackSize, BEGINTHREADEX_PROC pStartAddress, void* pArgList,
                         unsigned nInitFlag, unsigned* pThrdAddr);
// Only the start of a thread created suspended can be held: suspending a running thread and
// terminating one are refused (the host cannot do either safely), with ERROR_NOT_SUPPORTED.
DWORD SuspendThread(HANDLE hThread);
DWORD ResumeThread(HANDLE hThread);
BOOL TerminateThread(HANDLE hThread, DWORD dwExitCode);
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
// The priority is kept as asked; the host is asked for the nearest it grants (best effort: an
// unprivileged process may not raise a thread above normal).
BOOL SetThreadPriority(HANDLE hThread, int nPriority);
int GetThreadPriority(HANDLE hThread);
DWORD GetCurrentThreadId();

// Events and threads only (a named mutex answers WAIT_FAILED here).
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds);
