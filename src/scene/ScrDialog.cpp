#include "scene/ScrDialog.h"

#include <cstdio>
#include <cstring>

#include "engine/BmpLoader.h"
#include "engine/WinMain.h"

namespace {

const char kDialogTitle[] = "ぞるばくるむ！";
const char* const kPictures[CScrDialog::BUTTON_COUNT][2] = {
    {"FullScreen1.bmp", "FullScreen2.bmp"},
    {"Window1.bmp", "Window2.bmp"},
};

bool InRect(const RECT& rc, int x, int y)
{
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

int ButtonTop(int nButton)
{
    return nButton == CScrDialog::BUTTON_FULLSCREEN ? CScrDialog::BUTTON0_Y : CScrDialog::BUTTON1_Y;
}

} // namespace

CScrDialog::~CScrDialog()
{
    Release();
    if (!m_bIdle) {
        ReleaseCapture();
    }
}

RECT CScrDialog::HitRect(int nButton)
{
    const int x = BUTTON_X + HIT_INSET;
    const int y = ButtonTop(nButton) + HIT_INSET;
    return RECT{x, y, x + HIT_WIDTH, y + HIT_HEIGHT};
}

int CScrDialog::HitTest(int x, int y) const
{
    for (int i = 0; i < BUTTON_COUNT; i++) {
        if (InRect(m_Buttons[i].rcHit, x, y)) {
            return i;
        }
    }
    return -1;
}

int CScrDialog::LoadBitmap(HDC hdc, const char* pszName, DLGBITMAP* pOut)
{
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", SCRDIALOG_FOLDER, pszName);
    CBmpLoader loader;
    if (!loader.Load(szPath)) {
        return 0;
    }
    const BMPIMAGE& image = loader.GetImage();
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = image.nWidth;
    bmi.bmiHeader.biHeight = -image.nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap || !pBits) {
        return 0;
    }
    memcpy(pBits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
    BITMAP bm = {};
    GetObjectA(hBitmap, sizeof(bm), &bm);
    pOut->hBitmap = hBitmap;
    pOut->nWidth = bm.bmWidth;
    pOut->nHeight = bm.bmHeight;
    return 1;
}

void CScrDialog::FreeBitmap(DLGBITMAP* pBitmap)
{
    if (pBitmap->hBitmap) {
        DeleteObject(pBitmap->hBitmap);
    }
    *pBitmap = DLGBITMAP{};
}

void CScrDialog::DrawBitmap(HDC hdc, const DLGBITMAP& bitmap, int x, int y)
{
    if (!bitmap.hBitmap) {
        return;
    }
    HDC hMem = CreateCompatibleDC(hdc);
    HGDIOBJ hOld = SelectObject(hMem, bitmap.hBitmap);
    BitBlt(hdc, x, y, bitmap.nWidth, bitmap.nHeight, hMem, 0, 0, SRCCOPY);
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
}

int CScrDialog::Load(HWND hWnd)
{
    Release();
    HDC hdc = GetDC(hWnd);
    const int bBack = LoadBitmap(hdc, "Back.bmp", &m_Back);
    for (int i = 0; i < BUTTON_COUNT; i++) {
        for (int j = 0; j < 2; j++) {
            LoadBitmap(hdc, kPictures[i][j], &m_Buttons[i].pictures[j]);
        }
        m_Buttons[i].nState = STATE_NORMAL;
        m_Buttons[i].rcHit = HitRect(i);
    }
    ReleaseDC(hWnd, hdc);
    return bBack;
}

void CScrDialog::Release()
{
    FreeBitmap(&m_Back);
    for (DLGBUTTON& button : m_Buttons) {
        FreeBitmap(&button.pictures[0]);
        FreeBitmap(&button.pictures[1]);
    }
}

int CScrDialog::DoModal(HINSTANCE hInstance, HWND hWndParent, int* pnChoice)
{
    SetPropA(hWndParent, SCRDIALOG_PROPERTY, this);
    m_bIdle = 0;
    const INT_PTR nResult =
        DialogBoxParamA(hInstance, MAKEINTRESOURCEA(SCRDIALOG_TEMPLATE), hWndParent, DialogProc, 0);
    m_bIdle = 1;
    RemovePropA(hWndParent, SCRDIALOG_PROPERTY);
    if (nResult != 1) {
        return 0;
    }
    if (pnChoice) {
        *pnChoice = m_nChoice;
    }
    return 1;
}

int CScrDialog::DoModal(HINSTANCE hInstance, HWND hWndParent, int nDefault)
{
    int nChoice = nDefault;
    return DoModal(hInstance, hWndParent, &nChoice) ? nChoice : nDefault;
}

INT_PTR CScrDialog::DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CScrDialog* pThis = static_cast<CScrDialog*>(GetPropA(GetParent(hDlg), SCRDIALOG_PROPERTY));
    return pThis ? pThis->OnMessage(hDlg, uMsg, wParam, lParam) : FALSE;
}

INT_PTR CScrDialog::OnMessage(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        return FALSE;
    case WM_KEYDOWN:
        OnKeyDown(hDlg, static_cast<int>(wParam));
        return TRUE;
    case WM_ERASEBKGND:
        DrawBitmap(reinterpret_cast<HDC>(wParam), m_Back, 0, 0);
        return TRUE;
    case WM_PAINT:
        OnPaint(hDlg);
        return TRUE;
    case WM_MOUSEMOVE:
        OnMouseMove(hDlg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(hDlg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_LBUTTONUP:
        OnLButtonUp(hDlg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            SendMessageA(hDlg, WM_CLOSE, 0, 0);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            ChooseLit(hDlg);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(hDlg, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

// The client area takes the background's size, in the middle of the screen.
void CScrDialog::OnInitDialog(HWND hDlg)
{
    SetWindowTextA(hDlg, kDialogTitle);
    RECT rc = {0, 0, m_Back.nWidth, m_Back.nHeight};
    AdjustWindowRect(&rc, static_cast<DWORD>(GetWindowLongA(hDlg, GWL_STYLE)), FALSE);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    SetWindowPos(hDlg, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                 h, SWP_NOZORDER);
    // A player without a mouse sees from the start which button Enter chooses.
    if (LitButton() < 0) {
        Light(hDlg, m_nChoice);
    }
}

// The background already shows both buttons at rest; hover and pressed pictures go over them,
// each at its own button.
void CScrDialog::OnPaint(HWND hDlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hDlg, &ps);
    for (int i = 0; i < BUTTON_COUNT; i++) {
        const DLGBUTTON& button = m_Buttons[i];
        if (button.nState == STATE_HOVER) {
            DrawBitmap(hdc, button.pictures[0], BUTTON_X, ButtonTop(i));
        } else if (button.nState == STATE_PRESSED) {
            DrawBitmap(hdc, button.pictures[1], BUTTON_X, ButtonTop(i));
        }
    }
    EndPaint(hDlg, &ps);
}

void CScrDialog::ClearButtons(HWND hDlg)
{
    for (DLGBUTTON& button : m_Buttons) {
        if (button.nState != STATE_NORMAL) {
            button.nState = STATE_NORMAL;
            InvalidateRect(hDlg, nullptr, TRUE);
        }
    }
}

int CScrDialog::LitButton() const
{
    for (int i = 0; i < BUTTON_COUNT; i++) {
        if (m_Buttons[i].nState != STATE_NORMAL) {
            return i;
        }
    }
    return -1;
}

void CScrDialog::Light(HWND hDlg, int nButton)
{
    DLGBUTTON& lit = m_Buttons[nButton];
    DLGBUTTON& other = m_Buttons[1 - nButton];
    if (lit.nState != STATE_HOVER) {
        lit.nState = STATE_HOVER;
        InvalidateRect(hDlg, nullptr, FALSE);
    }
    if (other.nState != STATE_NORMAL) {
        // Its picture must go: the background is drawn again under both.
        other.nState = STATE_NORMAL;
        InvalidateRect(hDlg, nullptr, TRUE);
    }
}

void CScrDialog::OnMouseMove(HWND hDlg, int x, int y)
{
    if (GetCapture() == hDlg) {
        return;
    }
    const int nOver = HitTest(x, y);
    if (nOver < 0) {
        ClearButtons(hDlg);
        return;
    }
    Light(hDlg, nOver);
}

// Up and Down light the upper and the lower button, Tab the other one, so that either can be
// chosen without a mouse. A button held down with the mouse keeps its state.
void CScrDialog::OnKeyDown(HWND hDlg, int nVirtKey)
{
    if (GetCapture() == hDlg) {
        return;
    }
    const int nLit = LitButton();
    if (nVirtKey == VK_UP) {
        Light(hDlg, BUTTON_FULLSCREEN);
    } else if (nVirtKey == VK_DOWN) {
        Light(hDlg, BUTTON_WINDOW);
    } else if (nVirtKey == VK_TAB) {
        Light(hDlg, 1 - (nLit < 0 ? m_nChoice : nLit));
    }
}

// Enter and Space: the lit button, or with none lit the default one (the last choice, at first
// the window).
void CScrDialog::ChooseLit(HWND hDlg)
{
    const int nLit = LitButton();
    if (nLit >= 0) {
        m_nChoice = nLit;
    }
    if (GetCapture() == hDlg) {
        ReleaseCapture();
    }
    EndDialog(hDlg, 1);
}

void CScrDialog::OnLButtonDown(HWND hDlg, int x, int y)
{
    const int nOver = HitTest(x, y);
    if (nOver < 0 || m_Buttons[nOver].nState == STATE_PRESSED) {
        return;
    }
    m_Buttons[nOver].nState = STATE_PRESSED;
    InvalidateRect(hDlg, nullptr, FALSE);
    SetCapture(hDlg);
}

void CScrDialog::OnLButtonUp(HWND hDlg, int x, int y)
{
    ReleaseCapture();
    const int nOver = HitTest(x, y);
    if (nOver < 0) {
        ClearButtons(hDlg);
        return;
    }
    if (m_Buttons[nOver].nState == STATE_PRESSED) {
        m_nChoice = nOver;
        EndDialog(hDlg, 1);
    }
}
