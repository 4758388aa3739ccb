// Seams between the parts of the Win32 stand-in (not for the game).
#pragma once
#include "platform/win/WinTypes.h"

// Accepts waiting "raise your window" requests for the mutexes this process owns and raises the
// host's main window once for any; called from the message pump on the main thread.
void PollInstanceRequests();

// Waits on an event or a thread (Sync.cpp); false when the handle is neither.
bool WaitForSyncObject(HANDLE hHandle, DWORD dwMilliseconds, DWORD* pResult);
