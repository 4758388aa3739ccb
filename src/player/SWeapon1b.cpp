#include "player/SWeapon1b.h"

#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "player/WeaponDraw.h"

int CSWeapon1b::Load(IDirect3DDevice7* lpDevice)
{
    m_Frame[0].Release();
    m_Frame[1].Release();
    m_Frame[0].CreateFromFile(lpDevice, ION_SHIELD1_PATH, nullptr);
    m_Frame[1].CreateFromFile(lpDevice, ION_SHIELD2_PATH, nullptr);
    return 1;
}

int CSWeapon1b::Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpFrame1, IDirectDrawSurface7* lpFrame2)
{
    m_Frame[0].Release();
    m_Frame[1].Release();
    const int bOk = m_Frame[0].Create(lpDevice, lpFrame1, nullptr) & m_Frame[1].Create(lpDevice, lpFrame2, nullptr);
    return bOk ? 1 : 0;
}

void CSWeapon1b::Start()
{
    m_dwStart = m_dwFrameTime = CAppTimer::GetElapsed(0);
    m_dwFramePeriod = 30;
    m_nFrameCount = 2;
    m_nFrame = 0;
    m_bFrameLock = 0;
    m_bFinished = 0;
}

void CSWeapon1b::Update()
{
    if (m_bFinished)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (!m_bFrameLock && dwNow - m_dwFrameTime > m_dwFramePeriod) {
        m_dwFrameTime = dwNow;
        m_nFrame = (m_nFrame + 1) % m_nFrameCount;
    }
    if (dwNow - m_dwStart > m_dwLifetime)
        Stop();
}

int CSWeapon1b::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !lpDevice || !m_Frame[m_nFrame].GetTexture())
        return 1;
    lpDevice->SetTexture(0, nullptr);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    const D3DMATRIX m = ScaleRotateMove((float)m_nFacing * m_fScale, m_fScale, 0.0f, m_vPos.x, m_vPos.y, m_vPos.z);
    return m_Frame[m_nFrame].Draw(lpDevice, &m);
}
