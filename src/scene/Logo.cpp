#include "scene/Logo.h"

#include "engine/Param.h"
#include "engine/WinMain.h"
#include "scene/Game.h"
#include "scene/Opening.h"

namespace {

// The sequence's pause before the fade is where the opening's script is read.
void LoadOpening(COpening* pOpening)
{
    if (pOpening && GetParamInt("PLAY_OPENING", 0, 1)) {
        pOpening->Load(g_lpD3DDevice, OPENING_FOLDER);
    }
}

} // namespace

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
    LoadOpening(m_pOpening);
    m_nState = STATE_FINISHED;
}

void CLogo::StartBar()
{
    LoadOpening(m_pOpening);
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
