#include "scene/EndingKari.h"

#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/SurfaceUtil.h"
#include "platform/win/Win.h"
#include "scene/SceneTime.h"

int CEndingKari::Load(IDirect3DDevice7* lpDevice)
{
    return m_Picture.LoadFromFile(lpDevice, ENDING_KARI_PICTURE, nullptr, MEM_VIDEO);
}

void CEndingKari::Release()
{
    m_Picture.Release();
}

void CEndingKari::Reset()
{
    m_nState = STATE_SHOWING;
    m_dwShowTime = SHOW_MS;
    m_bTimerDone = 1;
    m_bStopped = 1;
}

void CEndingKari::Start()
{
    Reset();
    m_dwStart = SceneNow();
    m_bTimerDone = 0;
    m_bStopped = 0;
}

// A button held through the ten seconds ends the scene at once: the keys are read as held.
void CEndingKari::Update()
{
    if (m_bStopped) {
        return;
    }
    if (m_nState == STATE_SHOWING) {
        if (!HasPassed(m_dwStart, m_dwShowTime)) {
            return;
        }
        m_bTimerDone = 1;
        m_nState = STATE_WAITING;
    }
    if (m_nState == STATE_WAITING) {
        const int nInput = CInputState::GetInput(0);
        for (const int nKey : {(int)'Z', (int)'X', VK_SHIFT, VK_RETURN}) {
            if (CKeyRecorder::IsKeyDown(nInput, nKey)) {
                m_nState = STATE_ENDED;
                return;
            }
        }
    }
}

void CEndingKari::Draw(IDirectDrawSurface7* lpDest)
{
    if (m_bStopped || !lpDest || !m_Picture.GetSurface()) {
        return;
    }
    lpDest->Blt(nullptr, m_Picture.GetSurface(), nullptr, DDBLT_WAIT, nullptr);
}
