#include "scene/Opening.h"

int COpening::Load(IDirect3DDevice7*, const char* pszFolder)
{
    Unload();
    m_strFolder = pszFolder ? pszFolder : "";
    return 1;
}

void COpening::Unload()
{
    m_strFolder.clear();
}

void COpening::Start()
{
}

void COpening::PollKeys()
{
}

void COpening::Update()
{
}

void COpening::Stop()
{
}

void COpening::FadeOutVoices()
{
}

void COpening::Draw(IDirectDrawSurface7*, IDirect3DDevice7*)
{
}
