#include "engine/Gauge.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/AppTimer.h"
#include "engine/DSurface.h"
#include "engine/WidgetDraw.h"

CGauge::CGauge()
{
    ClearGlide();
    m_Speed.nClamp = 1;
}

void CGauge::ClearGlide()
{
    std::memset(&m_Speed, 0, sizeof(m_Speed));
}

BOOL CGauge::Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nBlinkMode)
{
    Release();
    if (!lpSource) {
        return 0;
    }
    int w, h;
    GetSurfaceSize(lpSource, &w, &h);
    m_bBlinkMode = nBlinkMode ? 1 : 0;
    const int nStrips = m_bBlinkMode ? 3 : 1;
    m_nWidth = w;
    m_nHeight = h / nStrips;
    for (int k = 0; k < nStrips; k++) {
        const RECT rc = {0, k * m_nHeight, w, (k + 1) * m_nHeight};
        m_lpStrip[k] = CreateSurfaceCopyByDevice(lpDevice, lpSource, nStrips > 1 ? &rc : nullptr, MEM_VIDEO);
        if (!m_lpStrip[k]) {
            Release();
            return 0;
        }
        SetColorKeyGreen(m_lpStrip[k]);
    }
    return 1;
}

BOOL CGauge::LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nBlinkMode)
{
    IDirectDrawSurface7* lpSource = LoadIndexSurface(lpDevice, key, MEM_SYSTEM);
    const BOOL bOk = lpSource ? Create(lpDevice, lpSource, nBlinkMode) : 0;
    SafeRelease(lpSource);
    return bOk;
}

BOOL CGauge::LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, int nBlinkMode)
{
    IDirectDrawSurface7* lpSource = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    const BOOL bOk = lpSource ? Create(lpDevice, lpSource, nBlinkMode) : 0;
    SafeRelease(lpSource);
    return bOk;
}

void CGauge::Release()
{
    for (IDirectDrawSurface7*& lp : m_lpStrip) {
        SafeRelease(lp);
    }
}

int CGauge::IsFull() const
{
    return std::fabs(m_fMax - m_fTarget) < 0.01f ? 1 : 0;
}

void CGauge::SetValue(float fValue)
{
    if (fValue > m_fMax) {
        fValue = m_fMax;
    }
    m_fTarget = fValue;
    m_fValue = fValue;
    ClearGlide();
}

// A fifth of the distance per update at first, braking to half a unit, never slower than 3.
void CGauge::MoveTo(float fValue)
{
    m_fTarget = fValue;
    const float d = std::fabs(fValue - m_fValue);
    const float s = 0.2f * d;
    if (s >= (float)MIN_GLIDE_SPEED) {
        m_Speed.Set(s, -s * s / (2.0f * d), 0.5f, s, 1);
    } else {
        m_Speed.SetConstant((float)MIN_GLIDE_SPEED);
    }
}

void CGauge::Reset()
{
    m_nStrip = 0;
    StopBlink();
    SetValue(0.0f);
}

void CGauge::Show()
{
    ClearGlide();
    Reset();
    m_bHidden = 0;
}

void CGauge::Hide()
{
    StopBlink();
    m_bHidden = 1;
}

void CGauge::StartBlink()
{
    if (!m_bBlinkMode) {
        return;
    }
    m_dwBlinkPeriod = BLINK_PERIOD_MS;
    m_dwBlinkStamp = CAppTimer::GetElapsed(0);
    m_bBlinkOff = 0;
}

void CGauge::StopBlink()
{
    if (!m_bBlinkMode) {
        return;
    }
    m_bBlinkOff = 1;
    m_nStrip = 0;
}

void CGauge::UpdateBlink()
{
    if (!m_bBlinkMode || m_bBlinkOff) {
        return;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwBlinkStamp > m_dwBlinkPeriod) {
        m_nStrip = m_nStrip == 1 ? 2 : 1;
        m_dwBlinkStamp = dwNow;
    }
}

void CGauge::Update()
{
    if (m_bHidden) {
        return;
    }
    m_Speed.Step();
    if (m_Speed.fValue < (float)MIN_GLIDE_SPEED) {
        m_Speed.SetConstant((float)MIN_GLIDE_SPEED);
    }
    if (m_fValue > m_fTarget) {
        m_fValue -= m_Speed.fValue;
        if (m_fValue < m_fTarget) {
            SetValue(m_fTarget);
        }
    } else if (m_fValue < m_fTarget) {
        m_fValue += m_Speed.fValue;
        if (m_fValue > m_fTarget) {
            SetValue(m_fTarget);
        }
    }
    UpdateBlink();
}

BOOL CGauge::Draw(IDirectDrawSurface7* lpSurface)
{
    // A gauge without a maximum has nothing to show (and nothing to divide by).
    if (m_bHidden || !(m_fMax > 0.0f)) {
        return 1;
    }
    const int w = m_nWidth - (m_bSlant ? m_nHeight : 0);
    const int h = m_nHeight;
    RECT rcSrc, rcDest;
    GetClippedBltRects((int)m_fX, (int)m_fY, w, h, &rcSrc, &rcDest);
    // Shown beyond the maximum (a glide to a larger target) fills the bar and no more.
    const float fFill = std::clamp(m_fValue / m_fMax * (float)w, 0.0f, (float)w);
    if (m_nDirection >= 0) {
        rcSrc.right = std::min<LONG>(rcSrc.right, (LONG)((float)rcSrc.left + fFill));
        rcDest.right = std::min<LONG>(rcDest.right, (LONG)((float)rcDest.left + fFill));
    } else {
        rcSrc.left = std::max<LONG>(rcSrc.left, (LONG)((float)rcSrc.right - fFill));
        rcDest.left = std::max<LONG>(rcDest.left, (LONG)((float)rcDest.right - fFill));
    }
    if (IsRectEmpty(rcSrc) || IsRectEmpty(rcDest)) {
        return 1;
    }
    IDirectDrawSurface7* lpStrip = m_lpStrip[m_nStrip] ? m_lpStrip[m_nStrip] : m_lpStrip[0];
    if (m_bSlant) {
        return BltSlanted(lpSurface, (int)m_fX, (int)m_fY, lpStrip, (rcDest.right - rcDest.left) + h, h);
    }
    return BltOk(lpSurface, &rcDest, lpStrip, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}
