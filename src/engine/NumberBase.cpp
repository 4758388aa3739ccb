#include "engine/NumberBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/AppTimer.h"
#include "engine/WidgetDraw.h"

// ---- CNumberBase ----------------------------------------------------------------------------------

CNumberBase::CNumberBase()
{
    m_szText[0] = '0';
    m_szText[1] = '\0';
}

void CNumberBase::SetNumber(int nNumber)
{
    m_nNumber = nNumber;
    const int nWidth = std::clamp(GetDigitCount(), 0, (int)sizeof(m_szText) - 1);
    snprintf(m_szText, sizeof(m_szText), "%0*d", nWidth, nNumber);
}

// ---- CPointNumber ---------------------------------------------------------------------------------

CDSurface CPointNumber::s_Digits;

CPointNumber::CPointNumber()
{
    m_Speed.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
}

CPointNumber::~CPointNumber()
{
    Stop();
}

BOOL CPointNumber::LoadImage(IDirect3DDevice7* lpDevice)
{
    const IMGKEY key = {"CockpitIndex.txt", "LvNumbers.bmp"};
    if (!s_Digits.LoadFromIndex(lpDevice, key, nullptr, MEM_VIDEO)) {
        return 0;
    }
    s_Digits.SetColorKeyGreen();
    return 1;
}

void CPointNumber::ReleaseImage()
{
    s_Digits.Release();
}

void CPointNumber::AttachImage(IDirectDrawSurface7* lpSurface)
{
    s_Digits.Release();
    if (lpSurface) {
        s_Digits.Attach(lpSurface);
        s_Digits.SetColorKeyGreen();
    }
}

void CPointNumber::Start(float fSpeed, float fDistance, DWORD dwHoldMs)
{
    Stop();
    m_dwHoldTime = dwHoldMs;
    m_nUpdateCount = 0;
    m_bStopped = 0;
    CShowableSet::Register(this, 0);
    if (!(fDistance > 0.0f)) {
        // No distance to rise over: the braking rule would divide by zero.
        m_Speed.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
        StartHold();
        return;
    }
    const float fSign = fSpeed > 0.0f ? 1.0f : (fSpeed < 0.0f ? -1.0f : 0.0f);
    const float fStep = -fSign * fSpeed * fSpeed / (2.0f * fDistance);
    m_Speed.Set(fSpeed, fStep, std::min(fSpeed, 0.0f), std::max(fSpeed, 0.0f), 1);
    m_bMoving = 1;
}

void CPointNumber::StartHold()
{
    m_dwHoldStart = CAppTimer::GetElapsed(0);
    m_bMoving = 0;
}

void CPointNumber::Stop()
{
    m_bStopped = 1;
    CShowableSet::Unregister(this, 0);
}

void CPointNumber::Update()
{
    if (m_bStopped) {
        return;
    }
    if (++m_nUpdateCount > LIFE_UPDATES) {
        Stop();
        return;
    }
    if (m_bMoving) {
        m_fY -= m_Speed.fValue;
        m_Speed.Step();
        if (m_Speed.nReached) {
            StartHold();
        }
    }
    if (!m_bMoving && CAppTimer::GetElapsed(0) - m_dwHoldStart > m_dwHoldTime) {
        Stop();
    }
}

BOOL CPointNumber::Draw(IDirectDrawSurface7* lpSurface)
{
    IDirectDrawSurface7* lpDigits = s_Digits.GetSurface();
    if (m_bStopped) {
        return 1;
    }
    const int n = (int)strlen(m_szText);
    int x = (int)m_fX - (n * DIGIT_WIDTH) / 2;
    const int y = (int)m_fY - RISE_OFFSET;
    for (int i = 0; i < n; i++, x += DIGIT_WIDTH) {
        const char c = m_szText[i];
        // A minus sign (or anything but a digit) has no cell of its own: it leaves a gap.
        if (c < '0' || c > '9') {
            continue;
        }
        const int nCell = c == '0' ? 9 : c - '1';
        RECT rcSrc, rcDest;
        GetClippedBltRects(x, y, DIGIT_WIDTH, DIGIT_HEIGHT, &rcSrc, &rcDest);
        // A digit wholly off screen is skipped; the rest of the number is still drawn.
        if (IsRectEmpty(rcDest)) {
            continue;
        }
        ShiftRect(&rcSrc, nCell * DIGIT_WIDTH, DIGIT_HEIGHT);
        if (!BltOk(lpSurface, &rcDest, lpDigits, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr)) {
            return 0;
        }
    }
    return 1;
}

// ---- CSlideNumber ---------------------------------------------------------------------------------

CSlideNumber::CSlideNumber()
{
    CSlideNumber::Init();
}

CSlideNumber::~CSlideNumber()
{
    CSlideNumber::Release();
}

void CSlideNumber::Init()
{
    m_lpStrip = nullptr;
    m_bHidden = 1;
}

IDirectDrawSurface7* CSlideNumber::BuildDigitStrip(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource,
                                                   int nDigitWidth, int nDigitHeight)
{
    if (!lpSource || nDigitWidth <= 0 || nDigitHeight <= 0) {
        return nullptr;
    }
    IDirectDrawSurface7* lpStrip = CreateDevicePlaneSurface(lpDevice, nDigitWidth, 10 * nDigitHeight, MEM_SYSTEM);
    if (!lpStrip) {
        return nullptr;
    }
    for (int k = 0; k < 10; k++) {
        const int sx = (k >= 1 ? k - 1 : 9) * nDigitWidth;
        RECT rcSrc = {sx, 0, sx + nDigitWidth, nDigitHeight};
        RECT rcDest = {0, k * nDigitHeight, nDigitWidth, (k + 1) * nDigitHeight};
        if (!BltOk(lpStrip, &rcDest, lpSource, &rcSrc, DDBLT_WAIT, nullptr)) {
            // A half-made strip is not kept.
            lpStrip->Release();
            return nullptr;
        }
    }
    SetColorKeyGreen(lpStrip);
    return lpStrip;
}

BOOL CSlideNumber::TakeSource(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSource, int nDigitWidth,
                              int nDigitHeight)
{
    m_nDigitWidth = nDigitWidth;
    m_nDigitHeight = nDigitHeight;
    if (!lpSource) {
        return 0;
    }
    CSlideNumber::Release();
    m_lpStrip = BuildDigitStrip(lpDevice, lpSource, nDigitWidth, nDigitHeight);
    lpSource->Release();
    return m_lpStrip ? 1 : 0;
}

BOOL CSlideNumber::Load(IDirect3DDevice7* lpDevice, const IMGKEY& key, int nDigitWidth, int nDigitHeight)
{
    return TakeSource(lpDevice, LoadIndexSurface(lpDevice, key, MEM_SYSTEM), nDigitWidth, nDigitHeight);
}

BOOL CSlideNumber::LoadFile(IDirect3DDevice7* lpDevice, const char* pszPath, int nDigitWidth, int nDigitHeight)
{
    return TakeSource(lpDevice, LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM), nDigitWidth, nDigitHeight);
}

void CSlideNumber::Release()
{
    SafeRelease(m_lpStrip);
}

void CSlideNumber::AddNumber(int nDelta)
{
    CNumberBase::SetNumber(m_nNumber + nDelta);
}
