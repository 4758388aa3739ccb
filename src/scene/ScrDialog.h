// The screen-mode question at start-up: a small modal dialog drawn from five pictures, a
// background and two picture buttons (full screen, window) that light up under the mouse and
// show pressed while held. Choosing needs a press and a release on the same button, or Enter or
// Space, which choose the lit button (the window at first; Up, Down and Tab move the light);
// cancel or close gives no choice, and the program then ends before any device exists.
#pragma once
#include "engine/GameFrame.h"
#include "platform/gdi/Gdi.h"

#define SCRDIALOG_FOLDER ".\\GameData\\Dialog\\"
#define SCRDIALOG_PROPERTY "CScrDialog"
#define SCRDIALOG_TEMPLATE 107

class CScrDialog : public IScreenDialog {
public:
    enum { BUTTON_FULLSCREEN = 0, BUTTON_WINDOW = 1, BUTTON_COUNT = 2 };
    enum { STATE_NORMAL = 0, STATE_PRESSED = 1, STATE_HOVER = 2 };
    // Where each button's pictures stand in the client area; a button answers the mouse from
    // 10 pixels inside that corner, over the picture's 160 x 60.
    enum { BUTTON_X = 140, BUTTON0_Y = 90, BUTTON1_Y = 158, HIT_INSET = 10, HIT_WIDTH = 160, HIT_HEIGHT = 60 };

    CScrDialog() = default;
    ~CScrDialog() override;
    CScrDialog(const CScrDialog&) = delete;
    CScrDialog& operator=(const CScrDialog&) = delete;

    // The five pictures, read with a context of the window; 0 when the background is missing.
    int Load(HWND hWnd) override;
    void Release() override;
    // Runs the dialog over the parent: 1 with the chosen button in *pnChoice, 0 when cancelled.
    int DoModal(HINSTANCE hInstance, HWND hWndParent, int* pnChoice) override;
    // The same, with the choice as the result and nDefault when cancelled.
    int DoModal(HINSTANCE hInstance, HWND hWndParent, int nDefault);

    static INT_PTR DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

    int GetButtonState(int nButton) const { return m_Buttons[nButton].nState; }
    int GetChoice() const { return m_nChoice; }
    int IsIdle() const { return m_bIdle; }
    // The button under a client point, or -1.
    int HitTest(int x, int y) const;
    static RECT HitRect(int nButton);

private:
    struct DLGBITMAP {
        HBITMAP hBitmap = nullptr;
        int nWidth = 0;
        int nHeight = 0;
    };
    struct DLGBUTTON {
        int nState = STATE_NORMAL;
        DLGBITMAP pictures[2];  // hover, pressed
        RECT rcHit = {};
    };

    static int LoadBitmap(HDC hdc, const char* pszName, DLGBITMAP* pOut);
    static void FreeBitmap(DLGBITMAP* pBitmap);
    static void DrawBitmap(HDC hdc, const DLGBITMAP& bitmap, int x, int y);

    INT_PTR OnMessage(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hDlg);
    void OnPaint(HWND hDlg);
    void OnMouseMove(HWND hDlg, int x, int y);
    void OnLButtonDown(HWND hDlg, int x, int y);
    void OnLButtonUp(HWND hDlg, int x, int y);
    void OnKeyDown(HWND hDlg, int nVirtKey);
    // The button in a state other than normal (hover or pressed), or -1.
    int LitButton() const;
    // The button shows hover, the other one rests.
    void Light(HWND hDlg, int nButton);
    // Ends the dialog with the lit button, or the default one when none is lit.
    void ChooseLit(HWND hDlg);
    // Every button not in its normal state returns to it, with a repaint that erases.
    void ClearButtons(HWND hDlg);

    DLGBITMAP m_Back;
    DLGBUTTON m_Buttons[BUTTON_COUNT];
    int m_nChoice = BUTTON_WINDOW;
    int m_bIdle = 1;
};
