// Windows, the message queue and the user-interface calls. One queue serves the process: the game
// has one window and one thread that pumps. Window procedures are always called without the lock
// held, so a procedure may send, post or destroy freely (SendMessageA re-enters as on Windows).
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/win/Win.h"
#include "platform/win/WinInternal.h"

namespace {

struct WindowClass {
    std::string strName;
    WNDPROC pfnWndProc;
    int cbWndExtra;
};

struct Hook {
    int idHook;
    HOOKPROC pfn;
};

struct WindowSystem {
    std::mutex lock;
    std::deque<MSG> queue;
    std::vector<std::unique_ptr<HWND__>> windows;
    std::vector<WindowClass> classes;
    std::vector<std::unique_ptr<Hook>> hooks;
    bool bQuitPending = false;
    int nQuitCode = 0;
    int nCursorCount = 0;
    HCURSOR hCursor = nullptr;
    HWND hCapture = nullptr;
};

WindowSystem& Sys() {
    static WindowSystem sys;
    return sys;
}

// Caller holds the lock.
HWND__* FindWindowLocked(HWND hWnd) {
    for (auto& p : Sys().windows)
        if (p.get() == hWnd) return p.get();
    return nullptr;
}

HWND__* FindMainLocked() {
    for (auto& p : Sys().windows)
        if (p->bMain) return p.get();
    return nullptr;
}

// Runs fn on the live window under the lock; FALSE with ERROR_INVALID_WINDOW_HANDLE when the
// handle names no window.
template <typename Fn>
BOOL WithWindow(HWND hWnd, Fn fn) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    HWND__* pWnd = FindWindowLocked(hWnd);
    if (!pWnd) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    fn(pWnd);
    return TRUE;
}

HWND FindMainWindow() {
    std::lock_guard<std::mutex> guard(Sys().lock);
    return FindMainLocked();
}

WNDPROC ProcOf(HWND hWnd) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    HWND__* pWnd = FindWindowLocked(hWnd);
    return pWnd ? pWnd->pfnWndProc : nullptr;
}

// Outer-frame insets of a style: the edge on every side plus the caption on top.
RECT DecorationOf(DWORD dwStyle) {
    RECT rc{0, 0, 0, 0};
    if ((dwStyle & WS_CAPTION) == WS_CAPTION) rc.top = WIN_CAPTION_HEIGHT;
    if (dwStyle & (WS_BORDER | WS_THICKFRAME)) {
        rc.left = rc.right = rc.bottom = WIN_FRAME_EDGE;
        rc.top += WIN_FRAME_EDGE;
    }
    return rc;
}

void PlaceWindow(HWND__* pWnd, int x, int y, int w, int h) {
    RECT deco = DecorationOf(pWnd->dwStyle);
    pWnd->rcWindow = RECT{x, y, x + w, y + h};
    pWnd->ptClient = POINT{x + deco.left, y + deco.top};
    pWnd->nClientW = std::max<LONG>(0, w - deco.left - deco.right);
    pWnd->nClientH = std::max<LONG>(0, h - deco.top - deco.bottom);
}

const char* Text(LPCSTR psz) { return psz ? psz : ""; }

MSG MakeMsg(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    return msg;
}

void Enqueue(const MSG& msg, bool bFront) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    if (bFront)
        Sys().queue.push_front(msg);
    else
        Sys().queue.push_back(msg);
}

// A key message as Windows reports it: Alt turns it into a system key, the lParam carries the
// repeat count, the Alt context bit, the previous state and the transition.
MSG KeyMessage(HWND hWnd, const HOSTEVENT& ev, bool bDown) {
    bool bAlt = ev.bAlt || ev.nVirtKey == VK_MENU;
    bool bSys = bAlt || ev.nVirtKey == VK_F10;
    DWORD dwBits = 1;
    if (bAlt) dwBits |= KF_ALTDOWN_BIT;
    if (!bDown || ev.bRepeat) dwBits |= KF_PREVDOWN_BIT;
    if (!bDown) dwBits |= KF_UP_BIT;
    UINT message = bDown ? (bSys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (bSys ? WM_SYSKEYUP : WM_KEYUP);
    MSG msg = MakeMsg(hWnd, message, static_cast<WPARAM>(ev.nVirtKey), static_cast<LPARAM>(dwBits));
    if (message == WM_KEYDOWN) msg.lPrivate = static_cast<DWORD>(ev.nChar);
    return msg;
}

void PostHostEvent(HWND hWnd, const HOSTEVENT& ev) {
    switch (ev.type) {
    case HOSTEV_CLOSE:
        Enqueue(MakeMsg(hWnd, WM_CLOSE, 0, 0), false);
        break;
    case HOSTEV_ACTIVATE:
        Enqueue(MakeMsg(hWnd, WM_ACTIVATE, MAKEWPARAM(ev.bActive ? WA_ACTIVE : WA_INACTIVE, ev.bMinimized ? 1 : 0), 0),
                false);
        break;
    case HOSTEV_KEYDOWN:
        Enqueue(KeyMessage(hWnd, ev, true), false);
        break;
    case HOSTEV_KEYUP:
        Enqueue(KeyMessage(hWnd, ev, false), false);
        break;
    case HOSTEV_MOVE: {
        std::lock_guard<std::mutex> guard(Sys().lock);
        if (HWND__* pWnd = FindWindowLocked(hWnd)) {
            RECT deco = DecorationOf(pWnd->dwStyle);
            pWnd->ptClient = POINT{ev.x, ev.y};
            pWnd->rcWindow = RECT{ev.x - deco.left, ev.y - deco.top, ev.x + pWnd->nClientW + deco.right,
                                  ev.y + pWnd->nClientH + deco.bottom};
        }
        Sys().queue.push_back(MakeMsg(hWnd, WM_MOVE, 0, MAKELPARAM(ev.x, ev.y)));
        break;
    }
    default:  // the mouse reaches dialogs only
        break;
    }
}

// Turns every waiting host event into a message for the main window.
void PumpHost() {
    IHost* pHost = GetHost();
    PollInstanceRequests();
    if (!pHost) return;
    HWND hMain = FindMainWindow();
    HOSTEVENT ev;
    while (pHost->PollEvent(&ev)) {
        if (hMain) PostHostEvent(hMain, ev);
    }
}

bool Matches(const MSG& msg, HWND hWnd, UINT uMin, UINT uMax) {
    if (hWnd && msg.hwnd != hWnd) return false;
    if (uMin == 0 && uMax == 0) return true;
    return msg.message >= uMin && msg.message <= uMax;
}

}  // namespace

std::mutex& WinLock() { return Sys().lock; }

HWND__* WinFindWindow(HWND hWnd) { return FindWindowLocked(hWnd); }

bool WinGetClientPixels(HWND hWnd, uint16_t** ppBits, int* pnWidth, int* pnHeight) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    HWND__* pWnd = FindWindowLocked(hWnd);
    if (!pWnd || pWnd->clientPixels.empty() ||
        pWnd->clientPixels.size() != static_cast<size_t>(pWnd->nClientW) * static_cast<size_t>(pWnd->nClientH))
        return false;
    *ppBits = pWnd->clientPixels.data();
    *pnWidth = pWnd->nClientW;
    *pnHeight = pWnd->nClientH;
    return true;
}

BOOL SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
    if (!lpString) return FALSE;
    return WithWindow(hWnd, [&](HWND__* pWnd) { pWnd->props[lpString] = hData; });
}

HANDLE GetPropA(HWND hWnd, LPCSTR lpString) {
    HANDLE h = nullptr;
    if (lpString)
        WithWindow(hWnd, [&](HWND__* pWnd) {
            auto it = pWnd->props.find(lpString);
            if (it != pWnd->props.end()) h = it->second;
        });
    return h;
}

HANDLE RemovePropA(HWND hWnd, LPCSTR lpString) {
    HANDLE h = nullptr;
    if (lpString)
        WithWindow(hWnd, [&](HWND__* pWnd) {
            auto it = pWnd->props.find(lpString);
            if (it == pWnd->props.end()) return;
            h = it->second;
            pWnd->props.erase(it);
        });
    return h;
}

HWND GetParent(HWND hWnd) {
    HWND hParent = nullptr;
    WithWindow(hWnd, [&](HWND__* pWnd) { hParent = pWnd->hParent; });
    return hParent;
}

HWND SetCapture(HWND hWnd) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    HWND hPrevious = Sys().hCapture;
    Sys().hCapture = FindWindowLocked(hWnd) ? hWnd : nullptr;
    return hPrevious;
}

BOOL ReleaseCapture() {
    std::lock_guard<std::mutex> guard(Sys().lock);
    Sys().hCapture = nullptr;
    return TRUE;
}

HWND GetCapture() {
    std::lock_guard<std::mutex> guard(Sys().lock);
    return Sys().hCapture;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    return WithWindow(hWnd, [&](HWND__* pWnd) { pWnd->strTitle = Text(lpString); });
}

ATOM RegisterClassA(const WNDCLASSA* pClass) {
    if (!pClass || !pClass->lpszClassName || !*pClass->lpszClassName || !pClass->lpfnWndProc ||
        pClass->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> guard(Sys().lock);
    for (const WindowClass& wc : Sys().classes) {
        if (strcasecmp(wc.strName.c_str(), pClass->lpszClassName) == 0) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    Sys().classes.push_back(WindowClass{pClass->lpszClassName, pClass->lpfnWndProc, pClass->cbWndExtra});
    return static_cast<ATOM>(0xC000 + Sys().classes.size());
}

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU, HINSTANCE, LPVOID) {
    auto pWnd = std::make_unique<HWND__>();
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        const WindowClass* pClass = nullptr;
        for (const WindowClass& wc : Sys().classes)
            if (lpClassName && strcasecmp(wc.strName.c_str(), lpClassName) == 0) pClass = &wc;
        if (!pClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        pWnd->strClass = pClass->strName;
        pWnd->pfnWndProc = pClass->pfnWndProc;
        pWnd->extraBytes.assign(static_cast<size_t>(pClass->cbWndExtra), 0);
        pWnd->bMain = !hWndParent && !(dwStyle & WS_CHILD) && !FindMainLocked() &&
                      strcasecmp(pClass->strName.c_str(), WIN_DIALOG_CLASS) != 0;
    }
    pWnd->strTitle = Text(lpWindowName);
    pWnd->hParent = hWndParent;
    pWnd->dwStyle = dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
    pWnd->dwExStyle = dwExStyle;
    PlaceWindow(pWnd.get(), x == CW_USEDEFAULT ? 0 : x, y == CW_USEDEFAULT ? 0 : y,
                nWidth == CW_USEDEFAULT ? 0 : nWidth, nHeight == CW_USEDEFAULT ? 0 : nHeight);

    IHost* pHost = GetHost();
    if (pWnd->bMain && pHost &&
        !pHost->CreateMainWindow(pWnd->strTitle.c_str(), pWnd->strClass.c_str(), pWnd->nClientW, pWnd->nClientH,
                                 pWnd->ptClient.x, pWnd->ptClient.y, false)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND hWnd = pWnd.get();
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        Sys().windows.push_back(std::move(pWnd));
    }
    if (SendMessageA(hWnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hWnd);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (dwStyle & WS_VISIBLE) ShowWindow(hWnd, SW_SHOWNORMAL);
    return hWnd;
}

BOOL DestroyWindow(HWND hWnd) {
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        HWND__* pWnd = FindWindowLocked(hWnd);
        if (!pWnd || pWnd->bDestroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        pWnd->bDestroying = true;
    }
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    bool bMain = false;
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        auto& windows = Sys().windows;
        auto it = std::find_if(windows.begin(), windows.end(), [hWnd](const auto& p) { return p.get() == hWnd; });
        bMain = (*it)->bMain;
        windows.erase(it);
        if (Sys().hCapture == hWnd) Sys().hCapture = nullptr;
        auto& queue = Sys().queue;
        queue.erase(std::remove_if(queue.begin(), queue.end(), [hWnd](const MSG& m) { return m.hwnd == hWnd; }),
                    queue.end());
    }
    IHost* pHost = GetHost();
    if (bMain && pHost) pHost->DestroyMainWindow();
    return TRUE;
}

BOOL IsWindow(HWND hWnd) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    return FindWindowLocked(hWnd) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    bool bWasVisible = false;
    bool bMain = false;
    BOOL bFound = WithWindow(hWnd, [&](HWND__* pWnd) {
        bWasVisible = pWnd->bVisible;
        pWnd->bVisible = nCmdShow != SW_HIDE;
        bMain = pWnd->bMain;
    });
    if (!bFound) return FALSE;
    IHost* pHost = GetHost();
    if (bMain && pHost && nCmdShow != SW_HIDE) pHost->ShowMainWindow();
    return bWasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hWnd) { return IsWindow(hWnd); }

BOOL SetWindowPos(HWND hWnd, HWND, int x, int y, int cx, int cy, UINT uFlags) {
    BOOL bFound = WithWindow(hWnd, [&](HWND__* pWnd) {
        RECT rc = pWnd->rcWindow;
        int nx = (uFlags & SWP_NOMOVE) ? rc.left : x;
        int ny = (uFlags & SWP_NOMOVE) ? rc.top : y;
        int nw = (uFlags & SWP_NOSIZE) ? rc.right - rc.left : cx;
        int nh = (uFlags & SWP_NOSIZE) ? rc.bottom - rc.top : cy;
        PlaceWindow(pWnd, nx, ny, nw, nh);
        if (uFlags & SWP_HIDEWINDOW) pWnd->bVisible = false;
    });
    if (!bFound) return FALSE;
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOWNORMAL);
    return TRUE;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    HWND__* pWnd = FindWindowLocked(hWnd);
    if (!pWnd) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (nIndex == GWL_STYLE) return static_cast<LONG>(pWnd->dwStyle | (pWnd->bVisible ? WS_VISIBLE : 0));
    if (nIndex == GWL_EXSTYLE) return static_cast<LONG>(pWnd->dwExStyle);
    if (nIndex < 0 || static_cast<size_t>(nIndex) + sizeof(LONG) > pWnd->extraBytes.size()) {
        SetLastError(1413);  // ERROR_INVALID_INDEX
        return 0;
    }
    LONG value;
    memcpy(&value, pWnd->extraBytes.data() + nIndex, sizeof value);
    return value;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    LONG previous = GetWindowLongA(hWnd, nIndex);
    std::lock_guard<std::mutex> guard(Sys().lock);
    HWND__* pWnd = FindWindowLocked(hWnd);
    if (!pWnd) return 0;
    if (nIndex == GWL_STYLE) {
        pWnd->dwStyle = static_cast<DWORD>(dwNewLong) & ~static_cast<DWORD>(WS_VISIBLE);
        pWnd->bVisible = (static_cast<DWORD>(dwNewLong) & WS_VISIBLE) != 0;
    } else if (nIndex == GWL_EXSTYLE) {
        pWnd->dwExStyle = static_cast<DWORD>(dwNewLong);
    } else if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG) <= pWnd->extraBytes.size()) {
        memcpy(pWnd->extraBytes.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    }
    return previous;
}

BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL) {
    if (!lpRect) return FALSE;
    RECT deco = DecorationOf(dwStyle);
    lpRect->left -= deco.left;
    lpRect->top -= deco.top;
    lpRect->right += deco.right;
    lpRect->bottom += deco.bottom;
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return FALSE;
    return WithWindow(hWnd, [&](HWND__* pWnd) { *lpRect = RECT{0, 0, pWnd->nClientW, pWnd->nClientH}; });
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return FALSE;
    return WithWindow(hWnd, [&](HWND__* pWnd) { *lpRect = pWnd->rcWindow; });
}

BOOL ClientToScreen(HWND hWnd, POINT* lpPoint) {
    if (!lpPoint) return FALSE;
    return WithWindow(hWnd, [&](HWND__* pWnd) {
        lpPoint->x += pWnd->ptClient.x;
        lpPoint->y += pWnd->ptClient.y;
    });
}

int GetSystemMetrics(int nIndex) {
    int w = 1024, h = 768;
    if (IHost* pHost = GetHost()) pHost->GetScreenSize(&w, &h);
    if (nIndex == SM_CXSCREEN) return w;
    if (nIndex == SM_CYSCREEN) return h;
    return 0;
}

BOOL SetForegroundWindow(HWND hWnd) {
    bool bMain = false;
    if (!WithWindow(hWnd, [&](HWND__* pWnd) { bMain = pWnd->bMain; })) return FALSE;
    IHost* pHost = GetHost();
    if (bMain && pHost) pHost->RaiseMainWindow();
    return TRUE;
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    PumpHost();
    std::lock_guard<std::mutex> guard(Sys().lock);
    auto& queue = Sys().queue;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
        if (lpMsg) *lpMsg = *it;
        if (wRemoveMsg & PM_REMOVE) queue.erase(it);
        return TRUE;
    }
    // WM_QUIT comes only once everything posted before it has been taken, as on Windows.
    bool bWantsQuit = (wMsgFilterMin == 0 && wMsgFilterMax == 0) || (wMsgFilterMin <= WM_QUIT && WM_QUIT <= wMsgFilterMax);
    if (Sys().bQuitPending && bWantsQuit && queue.empty()) {
        if (lpMsg) {
            *lpMsg = MSG{};
            lpMsg->message = WM_QUIT;
            lpMsg->wParam = static_cast<WPARAM>(Sys().nQuitCode);
        }
        if (wRemoveMsg & PM_REMOVE) Sys().bQuitPending = false;
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    bool bKey = lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYDOWN ||
                lpMsg->message == WM_SYSKEYUP;
    if (lpMsg->message == WM_KEYDOWN && lpMsg->lPrivate != 0) {
        MSG chr = *lpMsg;
        chr.message = WM_CHAR;
        chr.wParam = static_cast<WPARAM>(lpMsg->lPrivate);
        chr.lPrivate = 0;
        // The character is the next message taken, ahead of later input.
        Enqueue(chr, true);
    }
    return bKey ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd) return 0;
    WNDPROC pfn = ProcOf(lpMsg->hwnd);
    return pfn ? pfn(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    MSG msg = MakeMsg(hWnd, Msg, wParam, lParam);
    std::lock_guard<std::mutex> guard(Sys().lock);
    if (hWnd && !FindWindowLocked(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Sys().queue.push_back(msg);
    return TRUE;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfn = ProcOf(hWnd);
    if (!pfn) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return pfn(hWnd, Msg, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (static_cast<DWORD>(lParam) & KF_ALTDOWN_BIT))
            return SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((static_cast<UINT>(wParam) & 0xFFF0) == SC_CLOSE) return SendMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

void PostQuitMessage(int nExitCode) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    Sys().bQuitPending = true;
    Sys().nQuitCode = nExitCode;
}

BOOL WaitMessage() {
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        if (!Sys().queue.empty() || Sys().bQuitPending) return TRUE;
    }
    IHost* pHost = GetHost();
    if (pHost)
        pHost->WaitEvent(100);
    else
        Sleep(10);
    return TRUE;
}

HCURSOR SetCursor(HCURSOR hCursor) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    HCURSOR hPrevious = Sys().hCursor;
    Sys().hCursor = hCursor;
    return hPrevious;
}

// The system cursors are tokens: the host shows its own arrow.
HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
    return reinterpret_cast<HCURSOR>(const_cast<char*>(lpCursorName));
}

// There are no icon resources in our executable; a class without an icon gets the host's default.
HICON LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }

HGDIOBJ GetStockObject(int nObject) {
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x1000 + nObject));
}

int ShowCursor(BOOL bShow) {
    int nCount;
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        Sys().nCursorCount += bShow ? 1 : -1;
        nCount = Sys().nCursorCount;
    }
    if (IHost* pHost = GetHost()) pHost->ShowCursor(nCount >= 0);
    return nCount;
}

// The desktop owns the pointer here; there is no confinement to undo or apply.
BOOL ClipCursor(const RECT*) { return TRUE; }

SHORT GetAsyncKeyState(int vKey) {
    IHost* pHost = GetHost();
    return (pHost && pHost->IsKeyDown(vKey)) ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetKeyState(int nVirtKey) { return GetAsyncKeyState(nVirtKey); }

HHOOK SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD) {
    if (!lpfn) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(Sys().lock);
    Sys().hooks.push_back(std::make_unique<Hook>(Hook{idHook, lpfn}));
    return reinterpret_cast<HHOOK>(Sys().hooks.back().get());
}

BOOL UnhookWindowsHookEx(HHOOK hhk) {
    std::lock_guard<std::mutex> guard(Sys().lock);
    auto& hooks = Sys().hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(),
                           [hhk](const auto& p) { return reinterpret_cast<HHOOK>(p.get()) == hhk; });
    if (it == hooks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK, int, WPARAM, LPARAM) { return 0; }

void InitCommonControls() {}

int MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
    if (IHost* pHost = GetHost())
        pHost->MessageBox(Text(lpText), Text(lpCaption));
    else
        fprintf(stderr, "[%s] %s\n", Text(lpCaption), Text(lpText));
    return IDOK;
}

void ResetWindowSystem() {
    bool bHadMain;
    {
        std::lock_guard<std::mutex> guard(Sys().lock);
        bHadMain = FindMainLocked() != nullptr;
        Sys().queue.clear();
        Sys().windows.clear();
        Sys().classes.clear();
        Sys().hooks.clear();
        Sys().bQuitPending = false;
        Sys().nQuitCode = 0;
        Sys().nCursorCount = 0;
        Sys().hCursor = nullptr;
        Sys().hCapture = nullptr;
    }
    IHost* pHost = GetHost();
    if (bHadMain && pHost) pHost->DestroyMainWindow();
}
