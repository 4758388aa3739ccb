#include "player/DemoPlayLogo.h"

#include "engine/AppTimer.h"
#include "player/HudDraw.h"

int CDemoPlayLogo::Load(IDirect3DDevice7* lpDevice)
{
    if (!m_Picture.LoadFromFile(lpDevice, DEMOPLAY_LOGO_FILE, nullptr, MEM_SYSTEM)) {
        return 0;
    }
    m_Picture.SetColorKeyGreen();
    return 1;
}

void CDemoPlayLogo::Start()
{
    m_dwPeriod = FRAME_PERIOD_MS;
    m_nFrameCount = FRAME_COUNT;
    m_dwFrameTime = CAppTimer::GetElapsed(0);
    m_nFrame = 0;
    m_bHidden = 0;
}

void CDemoPlayLogo::Update()
{
    if (m_bHidden || m_bLocked) {
        return;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwFrameTime > m_dwPeriod) {
        m_dwFrameTime = dwNow;
        m_nFrame = (m_nFrame + 1) % m_nFrameCount;
    }
}

void CDemoPlayLogo::Draw(IDirectDrawSurface7* lpDest)
{
    int w = 0, h = 0;
    m_Picture.GetSize(&w, &h);
    if (m_bHidden || !m_Picture.GetSurface() || h < m_nFrameCount) {
        return;
    }
    const int nFrameH = h / m_nFrameCount;
    const RECT rcFrame = {0, m_nFrame * nFrameH, w, (m_nFrame + 1) * nFrameH};
    BltKeyedCell(lpDest, m_Picture.GetSurface(), &rcFrame, DEMOPLAY_LOGO_X, DEMOPLAY_LOGO_Y);
}
