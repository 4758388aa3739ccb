#include "engine/DebugPrim.h"

#include <cmath>

#include "engine/WinMain.h"

CDebugPrim* CDebugPrim::s_pInstance = nullptr;

namespace {

// Screen y is drawn 16 pixels higher, under the camera's y-up world.
float WorldY(float y)
{
    return 16.0f - y;
}

D3DLVERTEX MakeVertex(float x, float y, float z, DWORD dwColor)
{
    D3DLVERTEX v = {};
    v.x = x;
    v.y = y;
    v.z = z;
    v.color = dwColor;
    v.specular = 0;
    return v;
}

} // namespace

CDebugPrim* CDebugPrim::GetInstance()
{
    if (!s_pInstance) {
        s_pInstance = new CDebugPrim();
    }
    return s_pInstance;
}

void CDebugPrim::DeleteInstance()
{
    delete s_pInstance;
    s_pInstance = nullptr;
}

int CDebugPrim::LayerOf(int nLayerBit)
{
    if (nLayerBit <= 0) {
        return -1;
    }
    int n = 0;
    while (nLayerBit >>= 1) {
        n++;
    }
    return n < DEBUGPRIM_LAYERS ? n : -1;
}

void CDebugPrim::ClearAll()
{
    for (int i = 0; i < DEBUGPRIM_LAYERS; i++) {
        m_Points[i].clear();
        m_Lines[i].clear();
    }
}

void CDebugPrim::AddPoint(int nLayerBit, const D3DVECTOR& pos, DWORD dwColor, float fSize)
{
    const int nLayer = LayerOf(nLayerBit);
    if (g_bDebugDisp && nLayer >= 0) {
        m_Points[nLayer].push_back(DEBUGPOINT{fSize, pos.x, pos.y, pos.z, dwColor});
    }
}

void CDebugPrim::AddLine(int nLayerBit, const D3DVECTOR& from, const D3DVECTOR& to, DWORD dwColor, float fSize)
{
    const int nLayer = LayerOf(nLayerBit);
    if (g_bDebugDisp && nLayer >= 0) {
        m_Lines[nLayer].push_back(DEBUGLINE{fSize, from.x, from.y, from.z, to.x, to.y, to.z, dwColor});
    }
}

void CDebugPrim::AddQuad(int nLayerBit, const D3DVECTOR* pCorners, DWORD dwColor, float fSize)
{
    if (!g_bDebugDisp || !pCorners) {
        return;
    }
    for (int i = 0; i < 4; i++) {
        AddLine(nLayerBit, pCorners[i], pCorners[(i + 1) % 4], dwColor, fSize);
    }
}

bool CDebugPrim::DrawMarker(IDirect3DDevice7* lpDevice, float x, float y, float z, DWORD dwColor, float fSize)
{
    D3DLVERTEX v[6];
    v[0] = MakeVertex(x, WorldY(y), z, dwColor);
    for (int k = 0; k < 5; k++) {
        const float a = (float)k * 1.57f;
        v[k + 1] = MakeVertex(x + fSize * std::cos(a), WorldY(y + fSize * std::sin(a)), z, dwColor);
    }
    return lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 6, 0) == D3D_OK;
}

int CDebugPrim::Render(IDirect3DDevice7* lpDevice)
{
    if (!g_bDebugDisp || !lpDevice) {
        return 1;
    }
    DWORD dwSrc = D3DBLEND_ONE, dwDest = D3DBLEND_ZERO;
    lpDevice->GetRenderState(D3DRENDERSTATE_SRCBLEND, &dwSrc);
    lpDevice->GetRenderState(D3DRENDERSTATE_DESTBLEND, &dwDest);
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
    lpDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    lpDevice->SetTexture(0, nullptr);
    bool bOk = true;
    for (int nLayer = 0; nLayer < DEBUGPRIM_LAYERS && bOk; nLayer++) {
        if (!(m_nLayerMask & (1 << nLayer))) {
            continue;
        }
        for (const DEBUGPOINT& p : m_Points[nLayer]) {
            if (!(bOk = DrawMarker(lpDevice, p.x, p.y, p.z, p.dwColor, p.fSize))) {
                break;
            }
        }
        for (const DEBUGLINE& l : m_Lines[nLayer]) {
            if (!bOk) {
                break;
            }
            D3DLVERTEX v[2] = {MakeVertex(l.x0, WorldY(l.y0), l.z0, l.dwColor),
                               MakeVertex(l.x1, WorldY(l.y1), l.z1, l.dwColor)};
            bOk = lpDevice->DrawPrimitive(D3DPT_LINELIST, D3DFVF_LVERTEX, v, 2, 0) == D3D_OK &&
                  DrawMarker(lpDevice, l.x0, l.y0, l.z0, l.dwColor, l.fSize) &&
                  DrawMarker(lpDevice, l.x1, l.y1, l.z1, l.dwColor, l.fSize);
        }
    }
    // Put the blend states back even after a failed draw, so later draws are not corrupted.
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, dwSrc);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, dwDest);
    return bOk ? 1 : 0;
}
