// Modal dialogs: a record per running dialog, its window procedure in front of the dialog
// procedure, and the loop that paints the client area and feeds it the host's dialog input.
#include <algorithm>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/host/Host.h"
#include "platform/win/WinInternal.h"

namespace {

struct DIALOGRECORD {
    HWND hDlg;
    DLGPROC pfnProc;
    bool bEnded;
    INT_PTR nResult;
    bool bButtonDown;
};

// Dialogs run on the main thread only; a dialog may open another from its procedure.
std::vector<DIALOGRECORD*>& Dialogs()
{
    static std::vector<DIALOGRECORD*> dialogs;
    return dialogs;
}

DIALOGRECORD* FindDialog(HWND hDlg)
{
    for (DIALOGRECORD* p : Dialogs()) {
        if (p->hDlg == hDlg) {
            return p;
        }
    }
    return nullptr;
}

// The face colour of dialogs, for a background nobody draws.
const COLORREF kDialogFace = RGB(192, 192, 192);

void FillClient(HWND hDlg, HDC hdc)
{
    RECT rc;
    GetClientRect(hDlg, &rc);
    HBRUSH hBrush = CreateSolidBrush(kDialogFace);
    HGDIOBJ hOld = SelectObject(hdc, hBrush);
    PatBlt(hdc, 0, 0, rc.right, rc.bottom, PATCOPY);
    SelectObject(hdc, hOld);
    DeleteObject(hBrush);
}

LRESULT DialogWndProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DIALOGRECORD* pRec = FindDialog(hDlg);
    if (!pRec) {
        return 0;
    }
    if (INT_PTR r = pRec->pfnProc(hDlg, uMsg, wParam, lParam)) {
        return r;
    }
    switch (uMsg) {
    case WM_CLOSE:
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, IDCANCEL);
        }
        return 0;
    case WM_ERASEBKGND:
        FillClient(hDlg, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hDlg, &ps);
        EndPaint(hDlg, &ps);
        return 0;
    }
    default:
        return 0;
    }
}

void RegisterDialogClass()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DialogWndProc;
    wc.lpszClassName = WIN_DIALOG_CLASS;
    RegisterClassA(&wc);  // already there after the first dialog of a run
}

// Paints what is due and shows the client area; false when nothing was due.
bool PaintDue(HWND hDlg, IHost* pHost)
{
    bool bDue = false;
    {
        std::lock_guard<std::mutex> guard(WinLock());
        HWND__* pWnd = WinFindWindow(hDlg);
        bDue = pWnd && pWnd->bInvalid;
    }
    if (!bDue) {
        return false;
    }
    SendMessageA(hDlg, WM_PAINT, 0, 0);
    std::lock_guard<std::mutex> guard(WinLock());
    HWND__* pWnd = WinFindWindow(hDlg);
    if (!pWnd) {
        return false;
    }
    pWnd->bInvalid = false;
    pWnd->bEraseNeeded = false;
    pHost->PresentDialog(pWnd->clientPixels.data(), pWnd->nClientW * 2, pWnd->nClientW, pWnd->nClientH);
    return true;
}

// A dialog's keyboard interface: Escape is the Cancel button, Enter (the keypad's too) the default
// button, and Space presses the button with the focus, which is the default one here, OK. Other
// keys reach the procedure, so that it can move a highlight of its own.
void DeliverKey(HWND hDlg, int nVirtKey)
{
    switch (nVirtKey) {
    case VK_ESCAPE:
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        break;
    case VK_RETURN:
    case VK_SPACE:
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        break;
    default:
        SendMessageA(hDlg, WM_KEYDOWN, static_cast<WPARAM>(nVirtKey), 0);
        break;
    }
}

void Deliver(DIALOGRECORD& rec, const HOSTEVENT& ev)
{
    const LPARAM lPos = MAKELPARAM(ev.x, ev.y);
    switch (ev.type) {
    case HOSTEV_MOUSEMOVE:
        SendMessageA(rec.hDlg, WM_MOUSEMOVE, rec.bButtonDown ? MK_LBUTTON : 0, lPos);
        break;
    case HOSTEV_LBUTTONDOWN:
        rec.bButtonDown = true;
        SendMessageA(rec.hDlg, WM_LBUTTONDOWN, MK_LBUTTON, lPos);
        break;
    case HOSTEV_LBUTTONUP:
        rec.bButtonDown = false;
        SendMessageA(rec.hDlg, WM_LBUTTONUP, 0, lPos);
        break;
    case HOSTEV_KEYDOWN:
        DeliverKey(rec.hDlg, ev.nVirtKey);
        break;
    case HOSTEV_CLOSE:
        SendMessageA(rec.hDlg, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// Opens the host's window at the size and place the procedure gave, and runs it to its end.
void RunDialog(DIALOGRECORD& rec, IHost* pHost)
{
    std::string strTitle;
    int x = 0, y = 0, w = 0, h = 0;
    {
        std::lock_guard<std::mutex> guard(WinLock());
        HWND__* pWnd = WinFindWindow(rec.hDlg);
        if (!pWnd) {
            return;
        }
        strTitle = pWnd->strTitle;
        x = pWnd->ptClient.x;
        y = pWnd->ptClient.y;
        w = pWnd->nClientW;
        h = pWnd->nClientH;
        pWnd->clientPixels.assign(static_cast<size_t>(std::max(w, 0)) * static_cast<size_t>(std::max(h, 0)), 0);
        pWnd->bInvalid = true;
        pWnd->bEraseNeeded = true;
    }
    if (w <= 0 || h <= 0 || !pHost->OpenDialogWindow(strTitle.c_str(), w, h, x, y)) {
        rec.bEnded = true;
        rec.nResult = -1;
        return;
    }
    while (!rec.bEnded) {
        PaintDue(rec.hDlg, pHost);
        HOSTEVENT ev;
        if (pHost->PollDialogEvent(&ev)) {
            Deliver(rec, ev);
        } else {
            pHost->WaitEvent(10);
        }
    }
    pHost->CloseDialogWindow();
}

} // namespace

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    IHost* pHost = GetHost();
    if (!lpDialogFunc || !pHost) {
        return -1;
    }
    RegisterDialogClass();
    HWND hDlg = CreateWindowExA(0, WIN_DIALOG_CLASS, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, hWndParent,
                                nullptr, nullptr, nullptr);
    if (!hDlg) {
        return -1;
    }
    DIALOGRECORD rec = {hDlg, lpDialogFunc, false, 0, false};
    Dialogs().push_back(&rec);
    SendMessageA(hDlg, WM_INITDIALOG, 0, dwInitParam);
    if (!rec.bEnded) {
        RunDialog(rec, pHost);
    }
    if (GetCapture() == hDlg) {
        ReleaseCapture();
    }
    Dialogs().erase(std::find(Dialogs().begin(), Dialogs().end(), &rec));
    DestroyWindow(hDlg);
    return rec.nResult;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult)
{
    DIALOGRECORD* pRec = FindDialog(hDlg);
    if (!pRec) {
        return FALSE;
    }
    pRec->bEnded = true;
    pRec->nResult = nResult;
    return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL bErase)
{
    std::lock_guard<std::mutex> guard(WinLock());
    HWND__* pWnd = WinFindWindow(hWnd);
    if (!pWnd) {
        return FALSE;
    }
    pWnd->bInvalid = true;
    pWnd->bEraseNeeded = pWnd->bEraseNeeded || bErase;
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint)
{
    if (!lpPaint) {
        return nullptr;
    }
    *lpPaint = PAINTSTRUCT{};
    bool bErase = false;
    {
        std::lock_guard<std::mutex> guard(WinLock());
        HWND__* pWnd = WinFindWindow(hWnd);
        if (!pWnd) {
            return nullptr;
        }
        bErase = pWnd->bEraseNeeded;
        pWnd->bEraseNeeded = false;
        pWnd->bInvalid = false;
        lpPaint->rcPaint = RECT{0, 0, pWnd->nClientW, pWnd->nClientH};
    }
    lpPaint->hdc = GetDC(hWnd);
    if (bErase) {
        lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(lpPaint->hdc), 0) ? FALSE : TRUE;
    }
    return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (lpPaint && lpPaint->hdc) {
        ReleaseDC(hWnd, lpPaint->hdc);
    }
    return TRUE;
}
