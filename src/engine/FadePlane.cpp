#include "engine/FadePlane.h"

#include "engine/RenderState.h"
#include "engine/WinMain.h"

namespace {

constexpr int kSavedStageStates = 6;
const D3DTEXTURESTAGESTATETYPE kStageState[kSavedStageStates] = {
    D3DTSS_COLOROP, D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAOP, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2,
};
// With no texture bound, TEXTURE reads as the current colour: the quad shows the material colour
// at the material's alpha.
const DWORD kFadeStageValue[kSavedStageStates] = {
    D3DTOP_SELECTARG2, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_CURRENT,
};

} // namespace

int CFadePlane::Init()
{
    const float fCorner[4][2] = {{0.0f, 0.0f}, {640.0f, 0.0f}, {640.0f, -480.0f}, {0.0f, -480.0f}};
    for (int i = 0; i < 4; i++) {
        D3DVERTEX& v = m_Vertex[i];
        v = D3DVERTEX{};
        v.x = fCorner[i][0];
        v.y = fCorner[i][1];
        v.z = 0.0f;
        v.nx = 0.0f;
        v.ny = 0.0f;
        v.nz = -1.0f;
        v.tu = 0.0f;
        v.tv = 0.0f;
    }
    return 1;
}

void CFadePlane::Start()
{
    // An unknown kind starts nothing, yet it is not done either: the picture stays as it is and a
    // caller waiting for the end waits until it stops the fade itself.
    m_bHeld = (m_nKind < KIND_OUT_WHITE || m_nKind > KIND_IN_BLACK);
    m_bDone = 0;
    if (m_bHeld) {
        return;
    }
    const bool bWhite = (m_nKind == KIND_OUT_WHITE || m_nKind == KIND_IN_WHITE);
    const bool bRising = (m_nKind == KIND_OUT_WHITE || m_nKind == KIND_OUT_BLACK);
    const float fLevel = bWhite ? 1.0f : 0.0f;
    m_fColor[0] = m_fColor[1] = m_fColor[2] = fLevel;
    m_fAlpha = bRising ? 0.0f : 1.0f;
    m_fStep = bRising ? m_fSpeed : -m_fSpeed;
}

void CFadePlane::Update()
{
    if (m_bDone || m_bHeld) {
        return;
    }
    m_fAlpha += m_fStep;
    if (m_fStep < 0.0f) {
        if (m_fAlpha < 0.1f) {
            m_fAlpha = 0.0f;
            m_bDone = 1;
        }
    } else if (m_fAlpha >= 1.0f) {
        m_fAlpha = 1.0f;
        m_bDone = 1;
    }
}

int CFadePlane::Draw(IDirect3DDevice7* lpDevice)
{
    if (g_bUpdateOnly) {
        Update();
        return 1;
    }
    if (!lpDevice) {
        return 0;
    }

    D3DMATERIAL7 mtrl = {};
    mtrl.diffuse.r = mtrl.ambient.r = m_fColor[0];
    mtrl.diffuse.g = mtrl.ambient.g = m_fColor[1];
    mtrl.diffuse.b = mtrl.ambient.b = m_fColor[2];
    mtrl.diffuse.a = m_fAlpha;
    mtrl.ambient.a = 0.0f;
    D3DMATERIAL7 mtrlSaved = {};
    lpDevice->GetMaterial(&mtrlSaved);
    lpDevice->SetMaterial(&mtrl);

    lpDevice->SetTexture(0, nullptr);
    lpDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    lpDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);

    DWORD dwSaved[kSavedStageStates] = {};
    for (int i = 0; i < kSavedStageStates; i++) {
        lpDevice->GetTextureStageState(0, kStageState[i], &dwSaved[i]);
        lpDevice->SetTextureStageState(0, kStageState[i], kFadeStageValue[i]);
    }

    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, m_Vertex, 4, 0);

    // Restore even when the draw failed, so a failure does not spoil every later draw.
    for (int i = 0; i < kSavedStageStates; i++) {
        lpDevice->SetTextureStageState(0, kStageState[i], dwSaved[i]);
    }
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    lpDevice->SetMaterial(&mtrlSaved);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_NONE);
    return SUCCEEDED(hr) ? 1 : 0;
}
