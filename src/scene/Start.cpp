#include "scene/Start.h"

int CStart::Load(IDirect3DDevice7*)
{
    return 1;
}

void CStart::Release()
{
}

void CStart::Enter()
{
    m_nSubWeapon = 0;
    m_nResult = RESULT_START;
}

void CStart::Update()
{
}

void CStart::Draw(IDirectDrawSurface7*)
{
}

void CStart::Stop()
{
}
