#include "scene/EndingKari.h"

int CEndingKari::Load(IDirect3DDevice7*)
{
    return 1;
}

void CEndingKari::Release()
{
}

void CEndingKari::Reset()
{
    m_nState = STATE_SHOWING;
    m_bStopped = 1;
}

void CEndingKari::Start()
{
    Reset();
    m_bStopped = 0;
    m_nState = STATE_ENDED;
}

void CEndingKari::Stop()
{
    m_bStopped = 1;
}

void CEndingKari::Update()
{
}

void CEndingKari::Draw(IDirectDrawSurface7*)
{
}
