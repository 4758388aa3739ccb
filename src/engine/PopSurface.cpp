#include "engine/PopSurface.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/WidgetDraw.h"

CPopSurface::CPopSurface()
{
    Reset();
}

BOOL CPopSurface::KeyPicture(int i, BOOL bLoaded)
{
    if (bLoaded) {
        m_Image[i].SetColorKeyGreen();
    }
    return bLoaded ? 1 : 0;
}

BOOL CPopSurface::LoadImage(IDirect3DDevice7* lpDevice, const IMGKEY& key)
{
    return KeyPicture(0, m_Image[0].LoadFromIndex(lpDevice, key, nullptr, MEM_SYSTEM));
}

BOOL CPopSurface::LoadImages(IDirect3DDevice7* lpDevice, const IMGKEY& key0, const IMGKEY& key1)
{
    const BOOL bFirst = LoadImage(lpDevice, key0);
    if (key1.IsNULL()) {
        return bFirst;
    }
    const BOOL bSecond = KeyPicture(1, m_Image[1].LoadFromIndex(lpDevice, key1, nullptr, MEM_SYSTEM));
    return bFirst && bSecond ? 1 : 0;
}

BOOL CPopSurface::LoadImageFiles(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, const RECT* prc0,
                                 const RECT* prc1)
{
    if (!KeyPicture(0, m_Image[0].Create(lpDevice, lpSource, prc0, MEM_SYSTEM))) {
        return 0;
    }
    return prc1 ? KeyPicture(1, m_Image[1].Create(lpDevice, lpSource, prc1, MEM_SYSTEM)) : 1;
}

BOOL CPopSurface::LoadFiles(IDirect3DDevice7* lpDevice, const char* pszPath0, const char* pszPath1)
{
    if (!KeyPicture(0, m_Image[0].LoadFromFile(lpDevice, pszPath0, nullptr, MEM_SYSTEM))) {
        return 0;
    }
    return pszPath1 ? KeyPicture(1, m_Image[1].LoadFromFile(lpDevice, pszPath1, nullptr, MEM_SYSTEM)) : 1;
}

void CPopSurface::Release()
{
    m_Image[0].Release();
    m_Image[1].Release();
}

void CPopSurface::SetBlink(int bOn)
{
    m_bBlink = bOn;
    if (!bOn) {
        m_nImage = 0;
    }
}

void CPopSurface::Reset()
{
    m_Pop.Set(0.0f, m_fPopSpeed, 0.0f, 1.5f, 1);
    m_Height.Set(1.0f, 0.0f, 0.0f, 0.0f, 0);
    m_Width.Set(1.0f, 0.0f, 0.0f, 0.0f, 0);
    m_fDrift = 0.0f;
    m_nImage = 0;
    m_nMode = MODE_POP;
}

void CPopSurface::Start()
{
    Reset();
    m_dwBlinkPeriod = m_dwBlinkSetting;
    m_dwBlinkStamp = CAppTimer::GetElapsed(0);
    m_nPopCount = 0;
    m_bFinished = 0;
}

void CPopSurface::StartPopOut()
{
    if (m_bFinished) {
        return;
    }
    m_Height.Set(1.0f, -0.3f, 0.0f, 1.0f, 1);
    m_nMode = MODE_STRETCH;
}

void CPopSurface::StartBurst()
{
    if (m_bFinished) {
        return;
    }
    m_Height.Set(1.0f, 0.3f, 0.0f, 2.0f, 1);
    m_Width.Set(1.0f, -0.15f, 0.0f, 1.0f, 1);
    m_fDrift = -4.0f;
    m_nMode = MODE_STRETCH;
}

// Up past full size, down to 0.9, a second smaller pop from a fifth of that, then rest at 1.
void CPopSurface::UpdatePop()
{
    m_Pop.Step();
    if (!m_Pop.nReached) {
        return;
    }
    const float s = m_Pop.fStep;
    if (s < 0.0f) {
        if (m_nPopCount < 1) {
            m_Pop.Set(m_Pop.fValue * 0.2f, m_fPopSpeed, 0.0f, 1.2f, 1);
            m_nPopCount++;
        } else {
            m_Pop.SetConstant(1.0f);
        }
    } else if (s > 0.0f) {
        m_Pop.Set(m_Pop.fValue, -std::fabs(s), 0.9f, 1.6f, 1);
    }
}

void CPopSurface::UpdateBlink()
{
    if (m_bBlinkBusy) {
        return;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwBlinkStamp > m_dwBlinkPeriod) {
        m_nImage = m_bBlink ? 1 - m_nImage : 0;
        m_dwBlinkStamp = dwNow;
    }
}

void CPopSurface::Update()
{
    if (m_bFinished) {
        return;
    }
    if (m_nMode == MODE_POP) {
        UpdatePop();
    } else {
        m_Height.Step();
        m_Width.Step();
        m_fY += m_fDrift;
        if (m_Height.nReached) {
            Stop();
        }
    }
    UpdateBlink();
}

namespace {

// The part of a picture of size nFull that shows in a span stretched to nSpan and cut by the given
// amounts on either side, in picture pixels.
void KeepVisibleSpan(int nFull, int nSpan, int nCutLow, int nCutHigh, LONG* pLow, LONG* pHigh)
{
    *pLow = std::clamp(nCutLow * nFull / nSpan, 0, nFull);
    *pHigh = std::clamp(nFull - nCutHigh * nFull / nSpan, 0, nFull);
}

} // namespace

BOOL CPopSurface::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bFinished) {
        return 1;
    }
    CDSurface& image = m_Image[m_nImage].GetSurface() ? m_Image[m_nImage] : m_Image[0];
    int w0, h0;
    image.GetSize(&w0, &h0);
    const ACCINFO& sx = m_nMode == MODE_POP ? m_Pop : m_Width;
    const ACCINFO& sy = m_nMode == MODE_POP ? m_Pop : m_Height;
    const int w = (int)(sx.fValue * (float)w0);
    const int h = (int)(sy.fValue * (float)h0);
    if (w <= 0 || h <= 0) {
        return 1;
    }
    RECT rcClip, rcDest;
    GetCentredClippedRects(m_fX, m_fY, w, h, &rcClip, &rcDest);
    if (IsRectEmpty(rcDest)) {
        return 1;
    }
    // What is cut off the stretched picture is cut off the picture in proportion.
    RECT rcSrc;
    KeepVisibleSpan(w0, w, rcClip.left, w - rcClip.right, &rcSrc.left, &rcSrc.right);
    KeepVisibleSpan(h0, h, rcClip.top, h - rcClip.bottom, &rcSrc.top, &rcSrc.bottom);
    return BltOk(lpSurface, &rcDest, image.GetSurface(), &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}
