#include "engine/TextSprite.h"

#include <algorithm>

#include "engine/Log.h"
#include "engine/SurfaceUtil.h"

namespace {

// The ring around outlined text, walked clockwise from the right.
const POINT kOutline[8] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

void ReportCreateFailure(const char* pszText, int nLength)
{
    DebugPrintf("%.*s のテキストスプライトの作成に失敗しました\n", nLength, pszText);
}

// Copies the rectangle of the source into the top-left of a new plane surface of its size. A
// failed copy is reported and still gives the (empty) surface; null when the surface can't be had.
IDirectDrawSurface7* CopyToNewSurface(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, RECT rc,
                                      const char* pszText, int nLength)
{
    IDirectDrawSurface7* lpResult = CreateDevicePlaneSurface(lpDevice, rc.right - rc.left, rc.bottom - rc.top, MEM_VIDEO);
    if (!lpResult) {
        ReportCreateFailure(pszText, nLength);
        return nullptr;
    }
    if (lpResult->Blt(nullptr, lpSrc, &rc, DDBLT_WAIT, nullptr) != DD_OK) {
        DebugPrintf("テキストサーフェスのBltに失敗しました。[%.*s]\n", nLength, pszText);
    }
    return lpResult;
}

// The end of a chunk of nChunk bytes from nStart, moved past a trail byte so that no character of
// two bytes is cut in half.
int ChunkEnd(const char* pszText, int nLength, int nStart, int nChunk)
{
    int i = nStart;
    const int nWanted = std::min(nLength, nStart + nChunk);
    while (i < nWanted) {
        i += (IsDBCSLeadByte(static_cast<BYTE>(pszText[i])) && i + 1 < nLength) ? 2 : 1;
    }
    return i;
}

}  // namespace

HFONT CreateTextFont(int, const char* pszFace, int nHeight, int nEscapement)
{
    return CreateFontA(nHeight, 0, nEscapement, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, pszFace);
}

int DrawGothicText(HDC hdc, int x, int y, const char* pszText, int nLength, int nHeight)
{
    HFONT hFont = CreateTextFont(0, FONT_UI_GOTHIC, nHeight, 0);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    TextOutA(hdc, x, y, pszText, nLength);
    SelectObject(hdc, hOld);
    DeleteObject(hFont);
    return 1;
}

SIZE DrawTextWithFont(HDC hdc, int x, int y, const char* pszText, int nLength, HFONT hFont, COLORREF color)
{
    const COLORREF oldColor = SetTextColor(hdc, color);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(hdc, pszText, nLength, &size);
    TextOutA(hdc, x, y, pszText, nLength);
    SelectObject(hdc, hOld);
    SetTextColor(hdc, oldColor);
    return size;
}

IDirectDrawSurface7* CreateOutlinedTextSurface(IDirect3DDevice7* lpDevice, const char* pszText, int nLength)
{
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    if (!lpDD) {
        return nullptr;
    }
    HDC hScreen = GetDC(nullptr);
    HFONT hFont = CreateTextFont(0, FONT_UI_GOTHIC,
                                 -MulDiv(OUTLINED_TEXT_POINTS, GetDeviceCaps(hScreen, LOGPIXELSY), 72), 0);
    HGDIOBJ hOldScreenFont = SelectObject(hScreen, hFont);
    SIZE size = {0, 0};
    const BOOL bMeasured = hFont && GetTextExtentPoint32A(hScreen, pszText, nLength, &size);
    SelectObject(hScreen, hOldScreenFont);
    ReleaseDC(nullptr, hScreen);

    IDirectDrawSurface7* lpWork = bMeasured ? CreatePlaneSurface(lpDD, size.cx + 3, size.cy + 3, MEM_VIDEO) : nullptr;
    if (!lpWork) {
        ReportCreateFailure(pszText, nLength);
        DeleteObject(hFont);
        lpDD->Release();
        return nullptr;
    }
    FillSurfaceColor(lpWork, 0.0f, 1.0f, 0.0f, nullptr);
    HDC hdc = nullptr;
    if (lpWork->GetDC(&hdc) == DD_OK) {
        const int nOldMode = SetBkMode(hdc, TRANSPARENT);
        HPEN hPen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        HGDIOBJ hOldPen = SelectObject(hdc, hPen);
        HGDIOBJ hOldFont = SelectObject(hdc, hFont);
        SetTextColor(hdc, OUTLINE_TEXT_COLOR);
        for (const POINT& d : kOutline) {
            TextOutA(hdc, 1 + d.x, 1 + d.y, pszText, nLength);
        }
        SetTextColor(hdc, RGB(255, 255, 255));
        TextOutA(hdc, 1, 1, pszText, nLength);
        SelectObject(hdc, hOldFont);
        SelectObject(hdc, hOldPen);
        SetBkMode(hdc, nOldMode);
        DeleteObject(hPen);
        lpWork->ReleaseDC(hdc);
    }
    DeleteObject(hFont);

    const RECT rc = {0, 0, size.cx + 3, size.cy + 3};
    IDirectDrawSurface7* lpResult = CopyToNewSurface(lpDevice, lpWork, rc, pszText, nLength);
    lpWork->Release();
    lpDD->Release();
    return lpResult;
}

IDirectDrawSurface7* CreateShadowTextSurface(IDirect3DDevice7* lpDevice, const char* pszText, int nLength, int nAdvance,
                                             int nShadowHeight, int nFrontHeight, COLORREF color, int nChunk)
{
    return CreateShadowTextSurfaceFace(lpDevice, pszText, nLength, nAdvance, nShadowHeight, nFrontHeight, color, nChunk,
                                       FONT_MS_GOTHIC);
}

IDirectDrawSurface7* CreateShadowTextSurfaceFace(IDirect3DDevice7* lpDevice, const char* pszText, int nLength,
                                                 int nAdvance, int nShadowHeight, int nFrontHeight, COLORREF color,
                                                 int nChunk, const char* pszFace)
{
    IDirectDrawSurface7* lpWork =
        CreateDevicePlaneSurface(lpDevice, SHADOW_TEXT_WORK_WIDTH, SHADOW_TEXT_WORK_HEIGHT, MEM_VIDEO);
    if (!lpWork) {
        ReportCreateFailure(pszText, nLength);
        return nullptr;
    }
    FillSurfaceColor(lpWork, 0.0f, 1.0f, 0.0f, nullptr);
    HFONT hShadow = CreateTextFont(0, pszFace, nShadowHeight, 0);
    HFONT hFront = CreateTextFont(0, pszFace, nFrontHeight, 0);
    HDC hdc = nullptr;
    if (nChunk > 0 && lpWork->GetDC(&hdc) == DD_OK) {
        const int nOldMode = SetBkMode(hdc, TRANSPARENT);
        const COLORREF oldColor = GetTextColor(hdc);
        HPEN hPen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        HGDIOBJ hOldPen = SelectObject(hdc, hPen);
        HGDIOBJ hOldFont = SelectObject(hdc, hShadow);
        for (int nStart = 0; nStart < nLength;) {
            const int nEnd = ChunkEnd(pszText, nLength, nStart, nChunk);
            const int x = 1 + nAdvance * nStart;
            DrawTextWithFont(hdc, x, 1, pszText + nStart, nEnd - nStart, hShadow, SHADOW_TEXT_COLOR);
            DrawTextWithFont(hdc, x, 1, pszText + nStart, nEnd - nStart, hFront, color);
            nStart = nEnd;
        }
        SelectObject(hdc, hOldFont);
        SelectObject(hdc, hOldPen);
        SetBkMode(hdc, nOldMode);
        SetTextColor(hdc, oldColor);
        DeleteObject(hPen);
        lpWork->ReleaseDC(hdc);
    }
    const RECT rc = {0, 0, std::clamp(nLength * nAdvance + 1, 1, SHADOW_TEXT_WORK_WIDTH),
                     std::clamp(nShadowHeight + 1, 1, SHADOW_TEXT_WORK_HEIGHT)};
    IDirectDrawSurface7* lpResult = CopyToNewSurface(lpDevice, lpWork, rc, pszText, nLength);
    DeleteObject(hShadow);
    DeleteObject(hFront);
    lpWork->Release();
    return lpResult;
}
