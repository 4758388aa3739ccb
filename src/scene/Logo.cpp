#include "scene/Logo.h"

#include "engine/WinMain.h"
#include "scene/Game.h"

int CLogo::Load(IDirect3DDevice7*)
{
    return 1;
}

void CLogo::Release()
{
}

void CLogo::StartCaution()
{
    if (m_pGame) {
        m_pGame->LoadAll(g_lpD3DDevice);
    }
    m_nState = STATE_FINISHED;
}

void CLogo::StartBar()
{
    m_nState = STATE_FINISHED;
}

void CLogo::Update()
{
}

void CLogo::Draw(IDirectDrawSurface7*)
{
}

void CLogo::DrawFade(IDirect3DDevice7*)
{
}
