// Modal dialogs on the headless host: the procedure's messages in order, drawing through window
// contexts onto the dialog's own client area, the host's input turned into messages, and the ends
// a dialog can come to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"

namespace {

struct DIALOGLOG {
    std::vector<UINT> messages;
    std::vector<std::pair<int, int>> clicks;
    std::vector<WORD> commands;
    bool bHandleCancel = true;
};
DIALOGLOG g_log;

const COLORREF kBackground = RGB(0, 0, 255);
const COLORREF kMark = RGB(255, 0, 0);

void FillWith(HDC hdc, int x, int y, int w, int h, COLORREF c)
{
    HBRUSH hBrush = CreateSolidBrush(c);
    HGDIOBJ hOld = SelectObject(hdc, hBrush);
    PatBlt(hdc, x, y, w, h, PATCOPY);
    SelectObject(hdc, hOld);
    DeleteObject(hBrush);
}

// A 100 x 50 dialog that paints itself blue and marks each click with a red 4 x 4 square; a click
// at x >= 90 ends it with 7.
INT_PTR TestProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    g_log.messages.push_back(uMsg);
    switch (uMsg) {
    case WM_INITDIALOG: {
        SetWindowTextA(hDlg, "test dialog");
        RECT rc = {0, 0, 100, 50};
        AdjustWindowRect(&rc, static_cast<DWORD>(GetWindowLongA(hDlg, GWL_STYLE)), FALSE);
        SetWindowPos(hDlg, HWND_TOP, 30, 40, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER);
        return FALSE;
    }
    case WM_ERASEBKGND:
        FillWith(reinterpret_cast<HDC>(wParam), 0, 0, 100, 50, kBackground);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hDlg, &ps);
        for (const auto& click : g_log.clicks)
            FillWith(hdc, click.first, click.second, 4, 4, kMark);
        EndPaint(hDlg, &ps);
        return TRUE;
    }
    case WM_LBUTTONUP: {
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (x >= 90) {
            EndDialog(hDlg, 7);
        } else {
            g_log.clicks.emplace_back(x, y);
            InvalidateRect(hDlg, nullptr, FALSE);
        }
        return TRUE;
    }
    case WM_COMMAND:
        g_log.commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDCANCEL && g_log.bHandleCancel) {
            EndDialog(hDlg, 3);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

class GdiDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log = DIALOGLOG{};
        m_host.SetQuiet(true);
        SetHost(&m_host);
        ResetWindowSystem();
    }
    void TearDown() override
    {
        ResetWindowSystem();
        SetHost(nullptr);
    }
    INT_PTR Run() { return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(1), nullptr, TestProc, 0); }
    HOSTEVENT Event(HOSTEVENTTYPE type, int x = 0, int y = 0, int nVirtKey = 0)
    {
        HOSTEVENT ev{};
        ev.type = type;
        ev.x = x;
        ev.y = y;
        ev.nVirtKey = nVirtKey;
        return ev;
    }
    uint16_t DialogPixel(int x, int y) const { return m_host.GetDialogFrame()[static_cast<size_t>(y) * 100 + x]; }

    CHostHeadless m_host;
};

} // namespace

TEST_F(GdiDialogTest, TheProcedureSizesItsWindowAndPaintsOntoItsOwnClientArea)
{
    m_host.PushDialogClick(10, 20);
    m_host.PushDialogClick(95, 5);
    EXPECT_EQ(Run(), 7);
    EXPECT_EQ(m_host.GetDialogCount(), 1);
    EXPECT_FALSE(m_host.IsDialogOpen());
    EXPECT_EQ(m_host.GetDialogTitle(), "test dialog");
    int x, y, w, h;
    m_host.GetDialogPlacement(&x, &y, &w, &h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    EXPECT_EQ(x, 30 + WIN_FRAME_EDGE);
    EXPECT_EQ(y, 40 + WIN_FRAME_EDGE + WIN_CAPTION_HEIGHT);
    // Painted once at the start and once after the first click; the end comes before a repaint.
    EXPECT_EQ(m_host.GetDialogPresentCount(), 2);
    EXPECT_EQ(DialogPixel(0, 0), 0x001F);
    EXPECT_EQ(DialogPixel(11, 21), 0xF800);
    EXPECT_EQ(DialogPixel(14, 21), 0x001F);
    // The first paint erased before drawing; the second did not.
    const std::vector<UINT>& m = g_log.messages;
    ASSERT_GE(m.size(), 3u);
    EXPECT_EQ(m[0], static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(m[1], static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(m[2], static_cast<UINT>(WM_ERASEBKGND));
    EXPECT_EQ(std::count(m.begin(), m.end(), static_cast<UINT>(WM_ERASEBKGND)), 1);
    EXPECT_EQ(std::count(m.begin(), m.end(), static_cast<UINT>(WM_PAINT)), 2);
}

TEST_F(GdiDialogTest, MouseInputArrivesInClientCoordinatesWithTheButtonState)
{
    m_host.PushDialogEvent(Event(HOSTEV_MOUSEMOVE, 5, 6));
    m_host.PushDialogEvent(Event(HOSTEV_LBUTTONDOWN, 5, 6));
    m_host.PushDialogEvent(Event(HOSTEV_MOUSEMOVE, -3, 70));  // dragged outside
    m_host.PushDialogEvent(Event(HOSTEV_LBUTTONUP, 92, 6));
    EXPECT_EQ(Run(), 7);
    std::vector<UINT> mouse;
    for (UINT u : g_log.messages)
        if (u >= WM_MOUSEMOVE && u <= WM_LBUTTONUP)
            mouse.push_back(u);
    EXPECT_EQ(mouse, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
}

TEST_F(GdiDialogTest, EnterSpaceAndEscapeAreCommandsOtherKeysArriveAndTheCloseBoxIsACloseMessage)
{
    m_host.PushDialogEvent(Event(HOSTEV_KEYDOWN, 0, 0, VK_RETURN));
    m_host.PushDialogEvent(Event(HOSTEV_KEYDOWN, 0, 0, VK_SPACE));
    m_host.PushDialogEvent(Event(HOSTEV_KEYDOWN, 0, 0, VK_DOWN));
    m_host.PushDialogEvent(Event(HOSTEV_KEYDOWN, 0, 0, VK_ESCAPE));
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(g_log.commands, (std::vector<WORD>{IDOK, IDOK, IDCANCEL}));
    EXPECT_EQ(std::count(g_log.messages.begin(), g_log.messages.end(), static_cast<UINT>(WM_KEYDOWN)), 1);

    // A close box the procedure leaves alone becomes IDCANCEL, and an unhandled IDCANCEL ends it.
    g_log = DIALOGLOG{};
    g_log.bHandleCancel = false;
    m_host.PushDialogEvent(Event(HOSTEV_CLOSE));
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(g_log.commands, (std::vector<WORD>{IDCANCEL}));
    EXPECT_NE(std::find(g_log.messages.begin(), g_log.messages.end(), static_cast<UINT>(WM_CLOSE)),
              g_log.messages.end());
}

TEST_F(GdiDialogTest, InputThatRunsOutClosesTheDialogInsteadOfWaitingForever)
{
    m_host.PushDialogClick(10, 10);
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(g_log.clicks.size(), 1u);
    EXPECT_FALSE(m_host.IsDialogOpen());
}

TEST_F(GdiDialogTest, WithoutAHostNoDialogIsShown)
{
    SetHost(nullptr);
    EXPECT_EQ(Run(), -1);
    EXPECT_TRUE(g_log.messages.empty());
}

TEST_F(GdiDialogTest, CaptureAndPropertiesBelongToTheirWindowAndGoWithIt)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Zorva";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND hWnd = CreateWindowExA(0, "Zorva", "", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    int nValue = 5;
    EXPECT_TRUE(SetPropA(hWnd, "CScrDialog", &nValue));
    EXPECT_EQ(GetPropA(hWnd, "CScrDialog"), &nValue);
    EXPECT_EQ(GetPropA(hWnd, "Other"), nullptr);
    EXPECT_EQ(SetCapture(hWnd), nullptr);
    EXPECT_EQ(GetCapture(), hWnd);
    EXPECT_EQ(RemovePropA(hWnd, "CScrDialog"), &nValue);
    EXPECT_EQ(GetPropA(hWnd, "CScrDialog"), nullptr);
    DestroyWindow(hWnd);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(SetPropA(hWnd, "CScrDialog", &nValue));
}
