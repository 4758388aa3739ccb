#include "engine/SlideSurface.h"

#include <cmath>

#include "engine/DSurface.h"

// ---- CSlideSurfBase -------------------------------------------------------------------------------

void CSlideSurfBase::Init()
{
    m_fSlideSpeed = 8.0f;
    m_fDeceleration = 0.0f;
}

void CSlideSurfBase::Setup(IDirectDrawSurface7* lpStrip, int nWindowWidth, int nFrameHeight, int nFrameCount)
{
    if (!lpStrip) {
        return;
    }
    int nHeight;
    GetSurfaceSize(lpStrip, &m_nStripWidth, &nHeight);
    m_nWindowWidth = nWindowWidth;
    m_nFrameHeight = nFrameHeight;
    m_nFrameCount = nFrameCount < 0 ? 0 : (nFrameCount > SLIDE_FRAME_MAX ? SLIDE_FRAME_MAX : nFrameCount);
    m_nStripHeight = nFrameHeight * m_nFrameCount;
    for (int i = 0; i < SLIDE_FRAME_MAX; i++) {
        m_fFrameTop[i] = (float)(i * nFrameHeight);
    }
}

void CSlideSurfBase::SetFrame(int i)
{
    if (i < 0 || i >= SLIDE_FRAME_MAX) {
        return;
    }
    m_nTarget = i;
    m_fPosition = FrameTop(i);
    m_fSpeed = 0.0f;
    m_fRemaining = 0.0f;
}

void CSlideSurfBase::SlideTo(int i, int bDirect)
{
    if (i < 0 || i >= m_nFrameCount) {
        return;
    }
    m_fSpeed = m_fSlideSpeed;
    if (bDirect && i == m_nFrameCount - 1 && m_nTarget == 0) {
        // One frame backwards across the strip's start.
        m_nTarget = i;
        m_fRemaining = (float)m_nFrameHeight;
        m_fSpeed = -m_fSlideSpeed;
        return;
    }
    m_nTarget = i;
    const float d = FrameTop(i) - m_fPosition;
    if (!bDirect) {
        m_fRemaining = d >= 0.0f ? d : (float)m_nStripHeight + d;
        return;
    }
    m_fRemaining = std::fabs(d);
    if (d < 0.0f) {
        m_fSpeed = -m_fSlideSpeed;
    }
}

void CSlideSurfBase::Move()
{
    m_fPosition += m_fSpeed;
    m_fRemaining -= std::fabs(m_fSpeed);
    if (m_fRemaining < 0.0f) {
        m_fRemaining = 0.0f;
        const float fTop = FrameTop(m_nTarget);
        if ((m_fSpeed > 0.0f && m_fPosition > fTop) || (m_fSpeed < 0.0f && m_fPosition < fTop)) {
            m_fPosition = fTop;
        }
    }
    if (m_fSpeed < 0.0f) {
        m_fSpeed += m_fDeceleration;
    } else if (m_fSpeed > 0.0f) {
        m_fSpeed -= m_fDeceleration;
    }
    if (m_fPosition < 0.0f) {
        m_fPosition += (float)m_nStripHeight;
    } else if (m_fPosition >= (float)(m_nStripHeight - 1)) {
        m_fPosition = 0.0f;
    }
}

BOOL CSlideSurfBase::Draw(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpStrip, float x, float y)
{
    if (!lpStrip || m_nFrameCount <= 0) {
        return 0;
    }
    const float p = m_fPosition;
    const int h = m_nFrameHeight;
    const int nLast = m_nFrameCount - 1;
    int nUpper = nLast;
    int nLower = 0;
    int nSplit = 0;
    if (p + (float)h <= (float)m_nStripHeight) {
        for (int k = 0; k < m_nFrameCount; k++) {
            const float t = FrameTop(k);
            if (p <= t && t < p + (float)h) {
                nSplit = (int)(t - p);
                nUpper = k == 0 ? nLast : k - 1;
                nLower = k;
                break;
            }
        }
    } else {
        nSplit = (int)((float)m_nStripHeight - p);
    }
    const int x0 = (int)x;
    const int y0 = (int)y;
    if (nSplit > 0) {
        RECT rcSrc = {0, nUpper * h, m_nWindowWidth, (nUpper + 1) * h};
        RECT rcDest = {x0, y0, x0 + m_nWindowWidth, y0 + nSplit};
        if (!BltOk(lpDest, &rcDest, lpStrip, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr)) {
            return 0;
        }
    }
    if (nSplit >= h) {
        return 1;
    }
    RECT rcSrc = {0, nLower * h, m_nWindowWidth, (nLower + 1) * h};
    RECT rcDest = {x0, y0 + nSplit, x0 + m_nWindowWidth, y0 + h};
    return BltOk(lpDest, &rcDest, lpStrip, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

// ---- CSlideSurface --------------------------------------------------------------------------------

BOOL CSlideSurface::CreateStrip(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nWindowWidth,
                                int nFrameHeight, int nFrameCount, PFNSTRIPBUILDER pfnBuilder)
{
    if (nFrameCount > SLIDE_FRAME_MAX || !lpSource) {
        return 0;
    }
    Release();
    if (pfnBuilder) {
        m_lpStrip = pfnBuilder(lpDevice, lpSource, nWindowWidth, nFrameHeight, nFrameCount);
    } else {
        m_lpStrip = CreateSurfaceCopyByDevice(lpDevice, lpSource, nullptr, MEM_VIDEO);
    }
    if (!m_lpStrip) {
        return 0;
    }
    SetColorKeyGreen(m_lpStrip);
    m_Roller.Setup(m_lpStrip, nWindowWidth, nFrameHeight, nFrameCount);
    return 1;
}

BOOL CSlideSurface::TakeSource(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nWindowWidth,
                               int nFrameHeight, int nFrameCount, PFNSTRIPBUILDER pfnBuilder)
{
    if (!lpSource) {
        return 0;
    }
    const BOOL bOk = CreateStrip(lpDevice, lpSource, nWindowWidth, nFrameHeight, nFrameCount, pfnBuilder);
    lpSource->Release();
    return bOk;
}

BOOL CSlideSurface::LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nWindowWidth, int nFrameHeight,
                                  int nFrameCount, PFNSTRIPBUILDER pfnBuilder)
{
    return TakeSource(lpDevice, LoadIndexSurface(lpDevice, key, MEM_SYSTEM), nWindowWidth, nFrameHeight,
                      nFrameCount, pfnBuilder);
}

BOOL CSlideSurface::LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, int nWindowWidth, int nFrameHeight,
                                 int nFrameCount, PFNSTRIPBUILDER pfnBuilder)
{
    return TakeSource(lpDevice, LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM), nWindowWidth, nFrameHeight,
                      nFrameCount, pfnBuilder);
}

void CSlideSurface::Release()
{
    SafeRelease(m_lpStrip);
}

void CSlideSurface::Show()
{
    m_Roller.SetFrame(0);
    m_bHidden = 0;
}

void CSlideSurface::Update()
{
    if (!m_bHidden) {
        m_Roller.Move();
    }
}

BOOL CSlideSurface::Draw(IDirectDrawSurface7* lpDest)
{
    return m_bHidden ? 1 : m_Roller.Draw(lpDest, m_lpStrip, m_fX, m_fY);
}
