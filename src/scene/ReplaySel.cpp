#include "scene/ReplaySel.h"

int CReplaySel::Load(IDirect3DDevice7*)
{
    return 1;
}

void CReplaySel::Release()
{
}

void CReplaySel::Enter(IDirect3DDevice7*)
{
}

void CReplaySel::SetMode(int bSave)
{
    m_bSave = bSave;
    ResetSelection();
    m_nResult = RESULT_BACK;
}

void CReplaySel::ResetSelection()
{
    m_nResult = RESULT_NONE;
}

const char* CReplaySel::GetFileName() const
{
    return nullptr;
}

int CReplaySel::GetStage() const
{
    return 0;
}

void CReplaySel::ShowSaved()
{
    m_nResult = RESULT_SAVED;
}

// The confirmation of a save ends at once.
void CReplaySel::Update()
{
    if (m_nResult == RESULT_SAVED) {
        m_nResult = RESULT_BACK;
    }
}

void CReplaySel::UpdateCursor()
{
}

void CReplaySel::Draw(IDirectDrawSurface7*)
{
}
