#include "scene/Title.h"

int CTitle::Load(IDirect3DDevice7*)
{
    return 1;
}

void CTitle::Release()
{
}

void CTitle::Reset(int nStage, int bFresh)
{
    m_nStage = nStage;
    ResetInput(bFresh);
    m_nResult = RESULT_START;
}

void CTitle::ResetInput(int)
{
    m_nResult = RESULT_NONE;
}

void CTitle::Update()
{
}

void CTitle::Draw(IDirectDrawSurface7*)
{
}
