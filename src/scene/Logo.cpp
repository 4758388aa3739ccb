#include "scene/Logo.h"

#include "engine/Input.h"
#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "engine/WinMain.h"
#include "scene/Game.h"
#include "scene/Opening.h"
#include "scene/SceneTime.h"

int CLogo::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_Fader.Init();
    if (!m_Bar.Load(lpDevice) || !m_Caution.LoadFromFile(lpDevice, CAUTION_PICTURE, nullptr, MEM_VIDEO)) {
        return 0;
    }
    if (!m_White.Attach(CreateDevicePlaneSurface(lpDevice, SCREEN_WIDTH, SCREEN_HEIGHT, MEM_VIDEO))) {
        return 0;
    }
    return m_White.FillColor(1.0f, 1.0f, 1.0f);
}

void CLogo::Release()
{
    m_Bar.Release();
    m_Caution.Release();
    m_White.Release();
}

void CLogo::StartFade(int nKind)
{
    m_Fader.SetKind(nKind);
    m_Fader.SetSpeed(kFadeStep);
    m_Fader.Start();
}

void CLogo::StartCaution()
{
    m_Fader.Init();
    StartFade(CFadePlane::KIND_IN_WHITE);
    m_nState = STATE_CAUTION_IN;
}

void CLogo::StartBar()
{
    m_Fader.Init();
    m_Fader.Stop();
    m_Bar.Reset();
    Wait(BAR_DELAY_MS, STATE_BAR);
}

void CLogo::Wait(int nMs, int nNext)
{
    m_dwWait = (DWORD)nMs;
    m_dwWaitStart = SceneNow();
    m_nNextState = nNext;
    m_nState = STATE_WAIT;
}

// Any key of the game, any joystick button, or Enter.
bool CLogo::IsInput() const
{
    return CInputState::IsAnyInput() || CInputState::IsAnyJoyButton() || GetAsyncKeyState(VK_RETURN) < 0;
}

void CLogo::Update()
{
    switch (m_nState) {
    case STATE_CAUTION_IN:
        if (m_Fader.IsDone()) {
            Wait(CAUTION_MS, STATE_CAUTION_WAIT);
            // The pictures and settings every later scene needs are read behind the caution screen.
            if (m_pGame) {
                m_pGame->LoadAll(g_lpD3DDevice);
            }
        }
        m_Fader.Update();
        break;
    case STATE_WAIT:
        if (HasPassed(m_dwWaitStart, m_dwWait)) {
            m_nState = m_nNextState;
            if (m_nState == STATE_BAR) {
                m_Bar.Start();
            } else if (m_nState == STATE_OPENING_LOAD) {
                m_dwDelayStart = SceneNow();
                m_dwDelay = OPENING_DELAY_MS;
            }
        }
        break;
    case STATE_CAUTION_WAIT:
        if (IsInput()) {
            StartFade(CFadePlane::KIND_OUT_WHITE);
            m_nState = STATE_CAUTION_OUT;
        }
        break;
    case STATE_CAUTION_OUT:
        m_Fader.Update();
        if (m_Fader.IsDone()) {
            Wait(0, STATE_BAR);
        }
        break;
    case STATE_BAR:
        m_Bar.Update();
        if (m_Bar.GetState() == CBriskoBar::STATE_DONE) {
            Wait(AFTER_BAR_MS, STATE_OPENING_LOAD);
        }
        break;
    case STATE_OPENING_LOAD:
        if (HasPassed(m_dwDelayStart, m_dwDelay)) {
            if (m_pOpening && GetParamInt("PLAY_OPENING", 0, 1)) {
                m_pOpening->Unload();
                m_pOpening->Load(g_lpD3DDevice, OPENING_FOLDER);
            }
            StartFade(CFadePlane::KIND_OUT_WHITE);
            m_nState = STATE_FADE_OUT;
        }
        break;
    case STATE_FADE_OUT:
        m_Fader.Update();
        if (m_Fader.IsDone()) {
            m_nState = STATE_FINISHED;
        }
        break;
    default:
        break;
    }
}

void CLogo::Draw(IDirectDrawSurface7* lpDest)
{
    if (m_nState == STATE_FINISHED || !lpDest) {
        return;
    }
    if (m_White.GetSurface()) {
        lpDest->Blt(nullptr, m_White.GetSurface(), nullptr, DDBLT_WAIT, nullptr);
    }
    const bool bCaution = m_nState == STATE_CAUTION_IN || m_nState == STATE_CAUTION_OUT ||
                          m_nState == STATE_CAUTION_WAIT ||
                          (m_nState == STATE_WAIT && m_nNextState == STATE_CAUTION_WAIT);
    const bool bBar = m_nState == STATE_BAR || m_nState == STATE_OPENING_LOAD || m_nState == STATE_FADE_OUT ||
                      m_nState == STATE_WAIT;
    if (bBar) {
        m_Bar.Draw(lpDest);
    }
    if (bCaution && m_Caution.GetSurface()) {
        lpDest->Blt(nullptr, m_Caution.GetSurface(), nullptr, DDBLT_WAIT, nullptr);
    }
}

void CLogo::DrawFade(IDirect3DDevice7* lpDevice)
{
    if (!m_Fader.IsDone()) {
        m_Fader.Draw(lpDevice);
    }
}
