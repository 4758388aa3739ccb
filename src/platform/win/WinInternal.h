// Seams between the parts of the Win32 stand-in (not for the game).
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/Win.h"

// A window's record. Fields are read and written under WinLock().
struct HWND__ {
    std::string strClass;
    std::string strTitle;
    WNDPROC pfnWndProc = nullptr;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    std::vector<uint8_t> extraBytes;
    RECT rcWindow{};
    POINT ptClient{};  // client origin in screen coordinates
    LONG nClientW = 0;
    LONG nClientH = 0;
    bool bVisible = false;
    bool bMain = false;
    bool bDestroying = false;
    HWND hParent = nullptr;
    std::map<std::string, HANDLE> props;
    // Dialogs only: the client area's pixels (RGB565, nClientW a row) and what needs painting.
    std::vector<uint16_t> clientPixels;
    bool bInvalid = false;
    bool bEraseNeeded = false;
};

// The lock over every window record, and the live record a handle names (null for none); the
// caller holds the lock.
std::mutex& WinLock();
HWND__* WinFindWindow(HWND hWnd);
// The class of the dialog windows: never a main window.
#define WIN_DIALOG_CLASS "#32770"

// The pixels a window context draws on: a dialog's client area; false for any other window.
bool WinGetClientPixels(HWND hWnd, uint16_t** ppBits, int* pnWidth, int* pnHeight);

// Accepts waiting "raise your window" requests for the mutexes this process owns and raises the
// host's main window once for any; called from the message pump on the main thread.
void PollInstanceRequests();

// Waits on an event or a thread (Sync.cpp); false when the handle is neither.
bool WaitForSyncObject(HANDLE hHandle, DWORD dwMilliseconds, DWORD* pResult);
