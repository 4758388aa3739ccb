// The process frame: the program's entry, the one window and its procedure, the 60 Hz message
// loop with its update and render passes, and the ordered start-up and shutdown. It owns the
// process-wide handles and flags that the rest of the program reads.
#pragma once
#include <atomic>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/Win.h"

#define APP_NAME "Zorva"
#define APP_WIDTH 640
#define APP_HEIGHT 480

extern HINSTANCE g_hInstance;
extern HWND g_hWnd;
extern int g_bFullScreen;
extern int g_bPause;
extern int g_bAutoPause;
// The loading thread reads it.
extern std::atomic<int> g_bActive;
// 1 during the update pass, 0 during the render pass: drawing code tells the two apart by it.
extern int g_bUpdateOnly;
extern const char* g_pszError;
extern RECT g_rcPresentDst;
extern RECT g_rcPresentSrc;
extern int g_nFPS;
extern int g_bDebugDisp;

// Set by InitDirectDraw and InitDirect3D; released and cleared by ShutdownApp.
extern IDirectDraw7* g_lpDD;
extern IDirectDrawSurface7* g_lpDDSPrimary;
extern IDirectDrawClipper* g_lpDDClipper;
extern IDirectDrawSurface7* g_lpDDSBack;
extern IDirect3D7* g_lpD3D;
extern IDirect3DDevice7* g_lpD3DDevice;

extern int g_nObjFlashTime;
extern float g_fEnemyBulletSpeed[3];
extern float g_fMMCanonSpeed[2];
extern int g_nMaxPlaneWidth;
extern int g_nMaxPlaneHeight;

// 1 when only every second tick renders (30 frames per second); 0 for 60. The settings own this
// choice once they exist; until then it is this one value.
extern int g_bFrameSkip;

// The entry: single-instance guard, then RunApplication; the exit code.
int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Everything WinMain does while it holds the single-instance guard: start-up, the message loop
// and the releases after it. Every run starts from the documented initial state of the frame.
// The exit code: 1 when the run ended on a fatal error (g_pszError), else the WM_QUIT parameter.
int RunApplication(HINSTANCE hInstance, int nCmdShow);

int InitApp(HINSTANCE hInstance, int nCmdShow);
LRESULT WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
void TogglePause();
// 1 to go on, 0 on a rendering failure. Update pass when g_bUpdateOnly is 1, else render pass.
int RunFrame();
// Safe with anything missing, and does its work once per run.
void ShutdownApp();
void ReleaseDeviceObjects();

void OnActivate(WPARAM wParam);
void OnChar(WPARAM wParam);
void OnKeyDown(WPARAM wParam);
void OnMove(LPARAM lParam);

// The present rectangles for a client origin (x, y) on a W x H screen: only the visible part of
// the 640 x 480 client area is presented, the source shifted to match.
void ComputePresentRects(int x, int y, int nScreenW, int nScreenH, RECT* pDst, RECT* pSrc);

// The figure the frame-rate display shows: g_nFPS, halved at 30 frames per second.
int GetFrameRateFigure();
