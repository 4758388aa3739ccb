#include "player/GameStart.h"

#include "engine/AppTimer.h"
#include "engine/Sound.h"
#include "player/HudDraw.h"

namespace {

const float kGoSpeed = 50.0f;
const float kGoMinSpeed = 0.1f;
const float kPinchVelocity = -0.1f;
const float kPinchStep = 0.02f;
const float kReadyStep = 0.15f;

int LoadKeyedFile(IDirect3DDevice7* lpDevice, CDSurface& picture, const char* pszPath, int* pnWidth, int* pnHeight)
{
    if (!picture.LoadFromFile(lpDevice, pszPath, nullptr, MEM_SYSTEM)) {
        *pnWidth = *pnHeight = 0;
        return 0;
    }
    picture.SetColorKeyGreen();
    picture.GetSize(pnWidth, pnHeight);
    return 1;
}

bool IsHoldOver(DWORD dwStart, DWORD dwHold)
{
    return CAppTimer::GetElapsed(0) - dwStart > dwHold;
}

} // namespace

// ---- CGo ------------------------------------------------------------------------------------------

CGo::CGo()
{
    m_Slide.Set(kGoSpeed, 0.0f, kGoMinSpeed, kGoSpeed, 1);
    m_Pinch.Set(kPinchVelocity, kPinchStep, 0.0f, 0.0f, 0);
}

int CGo::Load(IDirect3DDevice7* lpDevice)
{
    return LoadKeyedFile(lpDevice, m_Picture, GAMESTART_GO_FILE, &m_nWidth, &m_nHeight);
}

void CGo::Start()
{
    m_fX = (float)-m_nWidth;
    m_fY = m_fCentreY;
    m_fStretch = 1.0f;
    m_Slide.Set(kGoSpeed, 0.0f, kGoMinSpeed, kGoSpeed, 1);
    m_nState = STATE_FLY_IN;
    m_bFinished = 0;
}

void CGo::StartPinch()
{
    m_Pinch.Set(kPinchVelocity, kPinchStep, 0.0f, 0.0f, 0);
    m_fStretch = 1.0f;
}

int CGo::StepPinch()
{
    m_fStretch += m_Pinch.fValue;
    m_Pinch.Step();
    if (m_fStretch < 1.0f) {
        return 0;
    }
    m_fStretch = 1.0f;
    return 1;
}

void CGo::Update()
{
    if (m_bFinished) {
        return;
    }
    const float fHalf = (float)(m_nWidth / 2);
    switch (m_nState) {
    case STATE_FLY_IN:
        m_fX += m_Slide.fValue;
        m_Slide.Step();
        if (m_fX - fHalf > m_fCentreX) {
            m_fX = m_fCentreX + fHalf;
            StartPinch();
            m_nState = STATE_PINCH;
        }
        break;
    case STATE_PINCH:
        if (StepPinch()) {
            m_dwHoldStart = CAppTimer::GetElapsed(0);
            m_nState = STATE_HOLD;
        }
        break;
    case STATE_HOLD:
        if (IsHoldOver(m_dwHoldStart, HOLD_MS)) {
            m_fX = m_fCentreX - fHalf;
            StartPinch();
            m_nState = STATE_PINCH_OUT;
        }
        break;
    case STATE_PINCH_OUT:
        if (StepPinch()) {
            m_Slide.Set(kGoSpeed, 0.0f, kGoMinSpeed, kGoSpeed, 1);
            m_nState = STATE_FLY_OUT;
        }
        break;
    case STATE_FLY_OUT:
        m_fX += m_Slide.fValue;
        m_Slide.Step();
        if (m_fX >= (float)SCREEN_WIDTH) {
            m_bFinished = 1;
        }
        break;
    default:
        break;
    }
}

// Narrower and taller by the stretch; anchored on its right edge while it comes in, on its left
// edge while it goes.
RECT CGo::GetDrawRect() const
{
    if (m_bFinished || m_fStretch <= 0.0f) {
        return RECT{0, 0, 0, 0};
    }
    const int w = (int)((float)m_nWidth * m_fStretch);
    const int h = (int)((float)m_nHeight / m_fStretch);
    const int x = (int)m_fX;
    const int nLeft = m_nState <= STATE_HOLD ? x - w : x;
    const int nTop = (int)m_fY - h / 2;
    return RECT{nLeft, nTop, nLeft + w, nTop + h};
}

int CGo::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bFinished) {
        return 1;
    }
    return BltKeyedStretched(lpSurface, m_Picture.GetSurface(), GetDrawRect());
}

// ---- CGameStart -----------------------------------------------------------------------------------

CGameStart::CGameStart()
{
    m_Scale.Set(0.0f, kReadyStep, 0.0f, 1.0f, 1);
}

int CGameStart::Load(IDirect3DDevice7* lpDevice)
{
    const int bReady = LoadKeyedFile(lpDevice, m_Ready, GAMESTART_READY_FILE, &m_nWidth, &m_nHeight);
    const int bGo = m_Go.Load(lpDevice);
    return bReady && bGo;
}

void CGameStart::SetPoint(const D3DVECTOR& vPoint)
{
    m_vStart = vPoint;
    m_vCentre = vPoint;
}

void CGameStart::Start()
{
    m_Go.Hide();
    m_vCentre = m_vStart;
    m_Go.SetCentre(m_vCentre.x, m_vCentre.y);
    m_Scale.Set(0.0f, kReadyStep, 0.0f, 1.0f, 1);
    m_nState = STATE_OPENING;
    PlaySoundFile(GAMESTART_VOICE);
    m_bHidden = 0;
}

void CGameStart::Update()
{
    if (m_bHidden) {
        return;
    }
    switch (m_nState) {
    case STATE_OPENING:
        m_Scale.Step();
        if (m_Scale.nReached) {
            m_dwHoldStart = CAppTimer::GetElapsed(0);
            m_nState = STATE_HOLDING;
        }
        break;
    case STATE_HOLDING:
        if (IsHoldOver(m_dwHoldStart, HOLD_MS)) {
            m_Go.Start();
            m_Scale.Set(1.0f, -kReadyStep, 0.0f, 1.0f, 1);
            m_nState = STATE_CLOSING;
        }
        break;
    case STATE_CLOSING:
        m_Scale.Step();
        m_Go.Update();
        if (m_Go.IsFinished()) {
            Hide();
        }
        break;
    default:
        break;
    }
}

void CGameStart::Hide()
{
    m_Go.Hide();
    m_bHidden = 1;
}

RECT CGameStart::GetReadyRect() const
{
    const int h = (int)((float)m_nHeight * m_Scale.fValue);
    if (h <= 0) {
        return RECT{0, 0, 0, 0};
    }
    const int nLeft = (int)m_vCentre.x - m_nWidth / 2;
    const int nTop = (int)m_vCentre.y - h / 2;
    return RECT{nLeft, nTop, nLeft + m_nWidth, nTop + h};
}

int CGameStart::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden) {
        return 1;
    }
    const int bReady = BltKeyedStretched(lpSurface, m_Ready.GetSurface(), GetReadyRect());
    const int bGo = m_Go.Draw(lpSurface);
    return bReady && bGo;
}
