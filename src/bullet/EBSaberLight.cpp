#include "bullet/EBSaberLight.h"

#include "engine/AppTimer.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "platform/d3d/D3DX.h"

namespace {

// Where the blade sits on the body picture, from the glow's top-left corner.
const float kBladeX = 139.0f;
const float kBladeMirrorX = 140.0f;
const float kBladeY = 192.0f;

} // namespace

CEBSaberLight::~CEBSaberLight()
{
    Release();
}

void CEBSaberLight::Release()
{
    for (CSprite& s : m_Sprite)
        s.Release();
    m_bLoaded = 0;
}

int CEBSaberLight::Load(IDirect3DDevice7* lpDevice, CBmpIndex* pIndex, const char* pszFrame1, const char* pszFrame2)
{
    Release();
    m_nPeriod = EBSABERLIGHT_PERIOD_MS;
    m_bBusy = 1;
    m_nFrames = EBSABERLIGHT_FRAMES;
    if (!lpDevice || !pIndex)
        return 0;
    const char* names[EBSABERLIGHT_FRAMES] = {pszFrame1, pszFrame2};
    for (int i = 0; i < EBSABERLIGHT_FRAMES; i++) {
        IDirectDrawSurface7* lpSurface = pIndex->CreateSurfaceByDevice(lpDevice, names[i], nullptr, MEM_SYSTEM);
        if (!lpSurface) {
            Release();
            return 0;
        }
        const int nOk = m_Sprite[i].Create(lpDevice, lpSurface, nullptr);
        lpSurface->Release();
        if (!nOk) {
            Release();
            return 0;
        }
    }
    const D3DVERTEX* pVertices = m_Sprite[0].GetVertices();
    for (int i = 0; i < 4; i++)
        m_Quad[i] = pVertices[i];
    m_bLoaded = 1;
    return 1;
}

void CEBSaberLight::Start()
{
    m_dwFrameStart = CAppTimer::GetElapsed(0);
    m_bBusy = 0;
    m_nFrame = 0;
    m_bStopped = 0;
}

void CEBSaberLight::Update()
{
    if (m_bStopped || m_bBusy)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwFrameStart > (DWORD)m_nPeriod) {
        m_nFrame = (m_nFrame + 1) % m_nFrames;
        m_dwFrameStart = dwNow;
    }
}

void CEBSaberLight::GetCenter(int x, int y, int nImageWidth, int, int bMirror, float* pfX, float* pfY) const
{
    int w = 0, h = 0;
    m_Sprite[m_nFrame].GetSize(&w, &h);
    *pfX = bMirror ? (float)x + (float)nImageWidth - (float)(w / 2) - kBladeMirrorX
                   : (float)x + (float)(w / 2) + kBladeX;
    *pfY = (float)y + (float)(h / 2) + kBladeY;
}

int CEBSaberLight::Render(IDirect3DDevice7* lpDevice, int x, int y, int nImageWidth, int nImageHeight, int bMirror)
{
    if (m_bStopped || !m_bLoaded || !lpDevice)
        return 1;
    float fX = 0.0f, fY = 0.0f;
    GetCenter(x, y, nImageWidth, nImageHeight, bMirror, &fX, &fY);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    D3DXMATRIX mFlip, mMove, mWorld;
    D3DXMatrixScaling(&mFlip, bMirror ? -1.0f : 1.0f, 1.0f, 1.0f);
    D3DXMatrixTranslation(&mMove, fX, -fY, 0.0f);
    D3DXMatrixMultiply(&mWorld, &mFlip, &mMove);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->SetTexture(0, m_Sprite[m_nFrame].GetTexture());
    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, m_Quad, 4, 0);
    lpDevice->SetTexture(0, nullptr);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return FAILED(hr) ? 0 : 1;
}
