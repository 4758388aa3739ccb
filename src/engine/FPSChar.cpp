#include "engine/FPSChar.h"

#include <cstdio>

#include "engine/SurfaceUtil.h"

char g_szFPSExtra[8] = "00";
int g_bFPSExtra = 0;

CFPSChar& GetFPSChar()
{
    static CFPSChar s_FPSChar;
    return s_FPSChar;
}

void CFPSChar::SetNumber(int n)
{
    char szText[32];
    snprintf(szText, sizeof(szText), "%0*d", GetDigitCount(), n);
    m_nNumber = n;
    m_Text = szText;
}

int CFPSChar::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_lpDigits = LoadIndexSurface(lpDevice, IMGKEY{"CockpitIndex.txt", "FPSNumbers.bmp"}, MEM_VIDEO);
    m_lpLabel = LoadIndexSurface(lpDevice, IMGKEY{"CockpitIndex.txt", "FPS.bmp"}, MEM_VIDEO);
    if (!m_lpDigits || !m_lpLabel) {
        Release();
        return 0;
    }
    SetColorKeyGreen(m_lpDigits);
    SetColorKeyGreen(m_lpLabel);
    return 1;
}

void CFPSChar::Release()
{
    SafeRelease(m_lpLabel);
    SafeRelease(m_lpDigits);
}

int CFPSChar::Draw(IDirectDrawSurface7* lpDest)
{
    const int x = (int)m_fX, y = (int)m_fY;
    RECT rcDest = {x, y, x + FPS_LABEL_WIDTH, y + FPS_CELL_HEIGHT};
    if (!lpDest || !m_lpLabel || lpDest->Blt(&rcDest, m_lpLabel, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr) != DD_OK) {
        return 0;
    }
    const int nX = x + FPS_LABEL_WIDTH;
    DrawDigits(lpDest, nX, y, FPS_CELL_WIDTH, FPS_CELL_HEIGHT, m_Text.c_str());
    if (g_bFPSExtra) {
        int nPos = (int)m_Text.size();
        DrawCell(lpDest, nX, y, FPS_CELL_WIDTH, FPS_CELL_HEIGHT, FPS_GLYPH_OPEN, nPos++);
        DrawDigits(lpDest, nX + nPos * FPS_CELL_WIDTH, y, FPS_CELL_WIDTH, FPS_CELL_HEIGHT, g_szFPSExtra);
        for (const char* p = g_szFPSExtra; *p; p++) {
            nPos++;
        }
        DrawCell(lpDest, nX, y, FPS_CELL_WIDTH, FPS_CELL_HEIGHT, FPS_GLYPH_CLOSE, nPos);
    }
    return 1;
}

int CFPSChar::DrawDigits(IDirectDrawSurface7* lpDest, int x, int y, int nCellW, int nCellH, const char* pszText)
{
    int nResult = 1;
    for (int i = 0; pszText && pszText[i]; i++) {
        const char c = pszText[i];
        if (c < '0' || c > '9') {
            continue;  // a sign or any other character would address cells off the strip
        }
        const int nCell = c == '0' ? 9 : c - '1';
        if (!DrawCell(lpDest, x, y, nCellW, nCellH, nCell, i)) {
            nResult = 0;
        }
    }
    return nResult;
}

int CFPSChar::DrawCell(IDirectDrawSurface7* lpDest, int x, int y, int nCellW, int nCellH, int nCell, int nPosition)
{
    if (!lpDest || !m_lpDigits) {
        return 0;
    }
    RECT rcSrc = {nCell * nCellW, 0, (nCell + 1) * nCellW, nCellH};
    RECT rcDest = {x + nPosition * nCellW, y, x + (nPosition + 1) * nCellW, y + nCellH};
    return lpDest->Blt(&rcDest, m_lpDigits, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr) == DD_OK ? 1 : 0;
}
