#include "engine/RenderState.h"

DWORD CRenderState::m_dwBlock[CRenderState::MAX_PRESETS] = {};

namespace {

// Opaque, colour-keyed and lit: sprites and terrain pictures.
void RecordOpaque(IDirect3DDevice7* lpDevice)
{
    lpDevice->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
}

// Additive, unlit glow. Z writes stay off afterwards: whoever needs them sets them again.
void RecordAdditive(IDirect3DDevice7* lpDevice)
{
    lpDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
}

DWORD Record(IDirect3DDevice7* lpDevice, void (*pfnBody)(IDirect3DDevice7*))
{
    DWORD dwBlock = 0;
    if (FAILED(lpDevice->BeginStateBlock())) {
        return 0;
    }
    if (pfnBody) {
        pfnBody(lpDevice);
    }
    if (FAILED(lpDevice->EndStateBlock(&dwBlock))) {
        return 0;
    }
    return dwBlock;
}

} // namespace

int CRenderState::CreatePresets(IDirect3DDevice7* lpDevice)
{
    DeletePresets(lpDevice);
    m_dwBlock[PRESET_NONE] = Record(lpDevice, nullptr);
    Capture(lpDevice, PRESET_NONE);
    m_dwBlock[PRESET_OPAQUE] = Record(lpDevice, RecordOpaque);
    m_dwBlock[PRESET_ADDITIVE] = Record(lpDevice, RecordAdditive);
    return 1;
}

void CRenderState::Apply(IDirect3DDevice7* lpDevice, int nPreset)
{
    if (lpDevice && nPreset >= 0 && nPreset < MAX_PRESETS && m_dwBlock[nPreset]) {
        lpDevice->ApplyStateBlock(m_dwBlock[nPreset]);
    }
}

void CRenderState::Capture(IDirect3DDevice7* lpDevice, int nPreset)
{
    if (lpDevice && nPreset >= 0 && nPreset < MAX_PRESETS && m_dwBlock[nPreset]) {
        lpDevice->CaptureStateBlock(m_dwBlock[nPreset]);
    }
}

void CRenderState::DeletePresets(IDirect3DDevice7* lpDevice)
{
    for (DWORD& dwBlock : m_dwBlock) {
        if (dwBlock && lpDevice) {
            lpDevice->DeleteStateBlock(dwBlock);
        }
        dwBlock = 0;
    }
}

DWORD CRenderState::GetHandle(int nPreset)
{
    return (nPreset >= 0 && nPreset < MAX_PRESETS) ? m_dwBlock[nPreset] : 0;
}
