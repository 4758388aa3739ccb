#include "engine/MenuItem.h"

#include <algorithm>

#include "engine/Blender.h"
#include "engine/DSurface.h"
#include "engine/WidgetDraw.h"

CMenuItem::CMenuItem()
{
    m_Scale.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
}

void CMenuItem::SetPicture(IDirectDrawSurface7* lpSurface)
{
    SafeRelease(m_lpNormal);
    m_lpNormal = lpSurface;
    GetSurfaceSize(lpSurface, &m_nWidth, &m_nHeight);
    SetColorKeyGreen(lpSurface);
}

BOOL CMenuItem::LoadImage(IDirect3DDevice7* lpDevice, const IMGKEY& key)
{
    IDirectDrawSurface7* lpSurface = LoadIndexSurface(lpDevice, key, MEM_SYSTEM);
    if (!lpSurface) {
        return 0;
    }
    SetPicture(lpSurface);
    return 1;
}

BOOL CMenuItem::LoadImages(IDirect3DDevice7* lpDevice, const IMGKEY& key, const IMGKEY& keyHighlight)
{
    const BOOL bOk = LoadImage(lpDevice, key);
    if (!keyHighlight.IsNULL()) {
        SafeRelease(m_lpHighlight);
        m_lpHighlight = LoadIndexSurface(lpDevice, keyHighlight, MEM_SYSTEM);
        if (m_lpHighlight) {
            SetColorKeyGreen(m_lpHighlight);
        }
    }
    return bOk;
}

BOOL CMenuItem::LoadImageFiles(IDirect3DDevice7* lpDevice, const char* pszPath, const char* pszHighlightPath)
{
    IDirectDrawSurface7* lpSurface = pszPath ? LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM) : nullptr;
    if (!lpSurface) {
        return 0;
    }
    SetPicture(lpSurface);
    if (!pszHighlightPath) {
        return 1;
    }
    SafeRelease(m_lpHighlight);
    m_lpHighlight = LoadBitmapSurface(lpDevice, pszHighlightPath, MEM_SYSTEM);
    if (!m_lpHighlight) {
        return 0;
    }
    SetColorKeyGreen(m_lpHighlight);
    return 1;
}

BOOL CMenuItem::CreateFromSurface(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, const RECT* prc)
{
    IDirectDrawSurface7* lpSurface = CreateSurfaceCopyByDevice(lpDevice, lpSource, prc, MEM_SYSTEM);
    if (!lpSurface) {
        return 0;
    }
    SetPicture(lpSurface);
    return 1;
}

void CMenuItem::Release()
{
    SafeRelease(m_lpNormal);
    SafeRelease(m_lpHighlight);
}

void CMenuItem::StartPopIn()
{
    m_Scale.Set(0.0f, 0.3f, 0.0f, 1.0f, 1);
    m_bHidden = 0;
    m_dwFlags = (m_dwFlags & ~(DWORD)(FLAG_FULL | FLAG_CLOSING)) | FLAG_OPENING;
}

void CMenuItem::StartPopOut()
{
    m_Scale.Set(1.0f, -0.3f, 0.0f, 1.0f, 1);
    m_bHidden = 0;
    m_dwFlags = (m_dwFlags & ~(DWORD)(FLAG_FULL | FLAG_OPENING)) | FLAG_CLOSING;
}

void CMenuItem::ShowNow()
{
    m_Scale.SetConstant(1.0f);
    m_dwFlags |= FLAG_FULL;
    m_bHidden = 0;
}

void CMenuItem::Update()
{
    if (m_bHidden || !(m_dwFlags & (FLAG_OPENING | FLAG_CLOSING))) {
        return;
    }
    m_Scale.Step();
    if (!m_Scale.nReached) {
        return;
    }
    if (m_dwFlags & FLAG_OPENING) {
        ShowNow();
    } else {
        Hide();
    }
}

BOOL CMenuItem::Draw(IDirectDrawSurface7* lpSurface)
{
    const int h = DrawnHeight();
    if (m_bHidden || h <= 0 || !m_lpNormal) {
        return 1;
    }
    RECT rcSrc, rcDest;
    GetCentredClippedRects(m_fX, m_fY, m_nWidth, h, &rcSrc, &rcDest);
    if (!m_bClipSource) {
        rcSrc = RECT{0, 0, m_nWidth, m_nHeight};
    }
    if (!(m_dwFlags & FLAG_SELECTED) && m_lpHighlight) {
        // Not chosen: the background shows through the normal picture.
        return BlendBltStrong(lpSurface, &rcDest, m_lpNormal, &rcSrc);
    }
    IDirectDrawSurface7* lpPicture = m_lpHighlight ? m_lpHighlight : m_lpNormal;
    return BltOk(lpSurface, &rcDest, lpPicture, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

void CMIBoss::Update()
{
    if (!m_bHidden) {
        m_fOffset += m_fScrollSpeed;
        if (m_fOffset > (float)m_nWidth) {
            m_fOffset -= (float)m_nWidth;
        } else if (m_fOffset < 0.0f) {
            m_fOffset += (float)m_nWidth;
        }
    }
    CMenuItem::Update();
}

BOOL CMIBoss::Draw(IDirectDrawSurface7* lpSurface)
{
    const int h = DrawnHeight();
    if (m_bHidden || h <= 0 || !m_lpNormal) {
        return 1;
    }
    const int nTop = (int)m_fY - h / 2;
    const int o = (int)m_fOffset;
    const DWORD dwFlags = DDBLT_WAIT | DDBLT_KEYSRC;
    if (m_fOffset < (float)SCREEN_WIDTH) {
        // The picture's start, from the offset rightwards.
        const int nRight = std::min(SCREEN_WIDTH, o + (m_nWidth - o));
        RECT rcSrc = {0, 0, nRight - o, m_nHeight};
        RECT rcDest = {o, nTop, nRight, nTop + h};
        if (!IsRectEmpty(rcDest)) {
            lpSurface->Blt(&rcDest, m_lpNormal, &rcSrc, dwFlags, nullptr);
        }
    }
    // Its end, wrapped round to the screen's left edge.
    const int nEnd = std::min(o, SCREEN_WIDTH);
    RECT rcSrc = {m_nWidth - o, 0, m_nWidth - o + nEnd, m_nHeight};
    RECT rcDest = {0, nTop, nEnd, nTop + h};
    if (!IsRectEmpty(rcDest)) {
        lpSurface->Blt(&rcDest, m_lpNormal, &rcSrc, dwFlags, nullptr);
    }
    return 1;
}
