// The Win32-shaped calls the game makes: one window, one message queue, the keyboard state, the
// multimedia clock, message boxes, the named single-instance mutex and a few process queries.
// Everything is served by the process-wide host (GetHost()); without a host the calls still work
// (windows exist only as records, time comes from the monotonic clock, nothing is shown).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win/WinTypes.h"

#define WINAPI
#define CALLBACK

typedef struct HICON__* HICON;
typedef struct HCURSOR__* HCURSOR;
typedef struct HBRUSH__* HBRUSH;
typedef struct HMENU__* HMENU;
typedef struct HHOOK__* HHOOK;
typedef void* HGDIOBJ;

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xFFFF))
#define MAKELONG(lo, hi) ((LONG)(((WORD)(((DWORD_PTR)(lo)) & 0xFFFF)) | ((DWORD)((WORD)(((DWORD_PTR)(hi)) & 0xFFFF))) << 16))
#define MAKEWPARAM(lo, hi) ((WPARAM)(DWORD)MAKELONG(lo, hi))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)MAKELONG(lo, hi))
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))

// ---- Messages -----------------------------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MOVING 0x0216
#define WM_USER 0x0400

// WM_ACTIVATE: low word of wParam; the high word is non-zero when the window is minimised.
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_SYSCOMMAND wParam (the low four bits are the system's own).
#define SC_CLOSE 0xF060
#define SC_KEYMENU 0xF100

// Key message lParam bits: repeat count in bits 0-15, Alt held (29), previous state down (30),
// transition up (31).
#define KF_REPEAT_COUNT_MASK 0x0000FFFF
#define KF_ALTDOWN_BIT 0x20000000
#define KF_PREVDOWN_BIT 0x40000000
#define KF_UP_BIT 0x80000000

// ---- Window classes, styles and placement -------------------------------------------------------
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002

#define WS_OVERLAPPED 0x00000000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_THICKFRAME 0x00040000L
#define WS_SYSMENU 0x00080000L
#define WS_VSCROLL 0x00200000L
#define WS_BORDER 0x00800000L
#define WS_CAPTION 0x00C00000L
#define WS_VISIBLE 0x10000000L
#define WS_CHILD 0x40000000L
#define WS_POPUP 0x80000000L
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L

#define CW_USEDEFAULT ((int)0x80000000)

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_RESTORE 9

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define HWND_TOP ((HWND)0)

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4

// Our window decoration as AdjustWindowRect reports it for a caption style: the host's own frame
// is drawn by the desktop, so these only keep the outer and client rectangles consistent.
#define WIN_FRAME_EDGE 3
#define WIN_CAPTION_HEIGHT 19

// ---- Message boxes, message retrieval -----------------------------------------------------------
#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define MB_ICONWARNING 0x00000030L
#define IDOK 1
#define IDCANCEL 2

// Mouse messages: the key state in wParam, the client position in lParam (signed 16-bit halves,
// negative left of or above the client area while the mouse is captured).
#define MK_LBUTTON 0x0001
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define BN_CLICKED 0

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef LRESULT (*HOOKPROC)(int, WPARAM, LPARAM);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
    DWORD lPrivate;  // our stand-in: the character a key-down types (TranslateMessage makes WM_CHAR)
};
typedef MSG* LPMSG;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

// ---- Low-level keyboard hook --------------------------------------------------------------------
#define WH_KEYBOARD_LL 13
#define HC_ACTION 0
#define LLKHF_EXTENDED 0x00000001
#define LLKHF_ALTDOWN 0x00000020
#define LLKHF_UP 0x00000080

struct KBDLLHOOKSTRUCT {
    DWORD vkCode;
    DWORD scanCode;
    DWORD flags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};

// ---- Virtual-key codes --------------------------------------------------------------------------
// Letters and digits are their upper-case ASCII codes ('A'..'Z', '0'..'9').
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_NUMPAD0 0x60
#define VK_NUMPAD9 0x69
#define VK_F1 0x70
#define VK_F4 0x73
#define VK_F10 0x79
#define VK_F12 0x7B
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5

// ---- Multimedia timer, waits --------------------------------------------------------------------
typedef UINT MMRESULT;
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

struct TIMECAPS {
    UINT wPeriodMin;
    UINT wPeriodMax;
};
typedef TIMECAPS* LPTIMECAPS;

#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_TIMEOUT 0x00000102L
#define WAIT_FAILED 0xFFFFFFFF

// ---- Windows and messages -----------------------------------------------------------------------
ATOM RegisterClassA(const WNDCLASSA* pClass);
// The first top-level window becomes the host's main window, created hidden; WM_CREATE is sent
// before this returns (a WndProc that returns -1 from it makes the creation fail).
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL UpdateWindow(HWND hWnd);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags);
LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL ClientToScreen(HWND hWnd, POINT* lpPoint);
int GetSystemMetrics(int nIndex);
BOOL SetForegroundWindow(HWND hWnd);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
// The window given as parent (or owner) when it was made; null for none.
HWND GetParent(HWND hWnd);
// Named values kept with a window until removed or the window goes.
BOOL SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData);
HANDLE GetPropA(HWND hWnd, LPCSTR lpString);
HANDLE RemovePropA(HWND hWnd, LPCSTR lpString);
// The window that receives the mouse messages wherever the pointer is (our dialogs only).
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
// Blocks until the host has an event (or a short while has passed): what an idle loop waits on.
BOOL WaitMessage();

HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
HGDIOBJ GetStockObject(int nObject);
int ShowCursor(BOOL bShow);
BOOL ClipCursor(const RECT* lpRect);

SHORT GetAsyncKeyState(int vKey);
SHORT GetKeyState(int nVirtKey);

// The hook is recorded, but our host delivers no system-wide keys to it: it is never called.
HHOOK SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
BOOL UnhookWindowsHookEx(HHOOK hhk);
LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);

void InitCommonControls();
// Text and caption are UTF-8. Shown by the host; headless hosts record it and never block.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// ---- Time ---------------------------------------------------------------------------------------
DWORD timeGetTime();
DWORD GetTickCount();
MMRESULT timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc);
MMRESULT timeBeginPeriod(UINT uPeriod);
MMRESULT timeEndPeriod(UINT uPeriod);
void Sleep(DWORD dwMilliseconds);

// ---- Kernel objects, process --------------------------------------------------------------------
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
// A named mutex is a lock file; it exists exactly while some process owns it. When another
// process owns it, the handle is still returned and GetLastError() is ERROR_ALREADY_EXISTS.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
BOOL ReleaseMutex(HANDLE hMutex);
BOOL CloseHandle(HANDLE hObject);
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
void OutputDebugStringA(LPCSTR lpOutputString);
DWORD GetCurrentProcessId();

// ---- Our own --------------------------------------------------------------------------------------
// Asks the process that owns the named mutex to raise its main window; TRUE when delivered.
BOOL RaiseInstanceWindow(const char* pszMutexName);

// The game's text as UTF-8. The game's own messages are UTF-8 literals with code-page-932 text
// from its data files (paths, codes, lines) set into them, so a sequence that is valid UTF-8 is
// kept and every other byte is read as code page 932; a byte that is neither becomes U+FFFD. A
// half-width katakana followed by a byte that could end a UTF-8 sequence is taken for UTF-8.
std::string GameTextToUtf8(const char* pszText);
// A line for the user about data the game refused or found damaged (game text, no line end
// needed): converted and handed to the host, which prints each distinct line once a run on
// stderr. Nothing happens without a host.
void ReportToUser(const char* pszText);

// The game's rand/srand: RAND_MAX 32767, x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF.
// Each thread has its own seed, starting at 1, as the multi-threaded C runtime keeps it.
#define CRT_RAND_MAX 32767
int CrtRand();
void CrtSrand(unsigned int nSeed);

// The C runtime's heap as its debug checkpoints see it: the bytes the program holds and the bytes
// the heap took from the system. Both 0 where the runtime keeps no statistics (false then).
struct CRTMEMSTATE {
    size_t cbInUse;
    size_t cbFromSystem;
};
bool CrtMemCheckpoint(CRTMEMSTATE* pState);

// regs receive EAX, EBX, ECX, EDX of the leaf; false (regs zeroed) where there is no CPUID or the
// leaf lies beyond the processor's maximum.
bool CpuId(uint32_t leaf, uint32_t regs[4]);

// The operating system's name and release (uname); false when unavailable (both set to "").
bool GetHostSystemName(char* pszName, size_t cbName, char* pszVersion, size_t cbVersion);

// Forgets every window, class, hook, queued message and pending quit (tests start clean with it).
void ResetWindowSystem();
