#include "platform/d3d/D3DDevice.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d/D3DObjects.h"
#include "platform/d3d/DrawBounds.h"
#include "platform/d3d/PixelOps.h"
#include "platform/ddraw/DDObjects.h"

namespace {

constexpr DWORD kMaxLights = 1024;

D3DMATRIX Identity()
{
    D3DMATRIX m = {};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r;
    for (int i = 0; i < 4; i++) {
        for (int j = 0; j < 4; j++) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

DWORD FloatBits(float f)
{
    DWORD d;
    std::memcpy(&d, &f, 4);
    return d;
}

// The documented power-on values of the device.
void SetDefaultStates(DEVICESTATES& s, bool bHasZ)
{
    std::memset(&s, 0, sizeof(s));
    DWORD* rs = s.dwRender;
    rs[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = TRUE;
    rs[D3DRENDERSTATE_ZENABLE] = bHasZ ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    rs[D3DRENDERSTATE_LASTPIXEL] = TRUE;
    rs[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    rs[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRENDERSTATE_FOGEND] = FloatBits(1.0f);
    rs[D3DRENDERSTATE_FOGDENSITY] = FloatBits(1.0f);
    rs[D3DRENDERSTATE_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRENDERSTATE_STENCILMASK] = 0xFFFFFFFFu;
    rs[D3DRENDERSTATE_STENCILWRITEMASK] = 0xFFFFFFFFu;
    rs[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFFu;
    rs[D3DRENDERSTATE_CLIPPING] = TRUE;
    rs[D3DRENDERSTATE_LIGHTING] = TRUE;
    rs[D3DRENDERSTATE_COLORVERTEX] = TRUE;
    rs[D3DRENDERSTATE_LOCALVIEWER] = TRUE;
    rs[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRENDERSTATE_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRENDERSTATE_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRENDERSTATE_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    for (int i = 0; i < D3D_MAX_STAGES; i++) {
        DWORD* ts = s.dwStage[i];
        ts[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = (DWORD)i;
        ts[D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = D3DTFG_POINT;
        ts[D3DTSS_MINFILTER] = D3DTFN_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTFP_NONE;
        ts[D3DTSS_MAXANISOTROPY] = 1;
    }
}

} // namespace

CD3DDevice::CD3DDevice(IDirect3D7* pD3D, CDDSurface* pTarget) : m_pD3D(pD3D), m_pTarget(pTarget)
{
    m_pD3D->AddRef();
    m_pTarget->AddRef();
    m_pZ = pTarget->AttachedZBuffer();
    if (m_pZ) {
        m_pZ->AddRef();
    }
    SetDefaultStates(m_states, m_pZ != nullptr);
    m_mWorld = m_mView = m_mProj = m_mCombined = Identity();
    m_viewport = D3DVIEWPORT7{0, 0, (DWORD)pTarget->Width(), (DWORD)pTarget->Height(), 0.0f, 1.0f};
}

CD3DDevice::~CD3DDevice()
{
    for (CDDSurface*& p : m_pTexture) {
        if (p) {
            p->Release();
        }
    }
    if (m_pZ) {
        m_pZ->Release();
    }
    m_pTarget->Release();
    m_pD3D->Release();
}

HRESULT CD3DDevice::QueryInterface(REFIID riid, LPVOID* ppvObj)
{
    if (!ppvObj) {
        return DDERR_INVALIDPARAMS;
    }
    *ppvObj = nullptr;
    if (IsSameGUID(riid, IID_IDirect3DDevice7)) {
        AddRef();
        *ppvObj = static_cast<IDirect3DDevice7*>(this);
        return D3D_OK;
    }
    return DDERR_NOINTERFACE;
}

ULONG CD3DDevice::AddRef()
{
    return ++m_nRef;
}

ULONG CD3DDevice::Release()
{
    const ULONG n = --m_nRef;
    if (n == 0) {
        delete this;
    }
    return n;
}

HRESULT CD3DDevice::GetCaps(D3DDEVICEDESC7* lpDesc)
{
    if (!lpDesc) {
        return DDERR_INVALIDPARAMS;
    }
    FillSoftwareDeviceDesc(lpDesc);
    return D3D_OK;
}

HRESULT CD3DDevice::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK lpCallback, LPVOID lpContext)
{
    if (!lpCallback) {
        return DDERR_INVALIDPARAMS;
    }
    for (PIXELKIND eKind : kTextureFormats) {
        DDPIXELFORMAT pf = MakePixelFormat(eKind);
        if (lpCallback(&pf, lpContext) == D3DENUMRET_CANCEL) {
            break;
        }
    }
    return D3D_OK;
}

HRESULT CD3DDevice::BeginScene()
{
    if (m_bInScene) {
        return D3DERR_SCENE_IN_SCENE;
    }
    m_bInScene = true;
    return D3D_OK;
}

HRESULT CD3DDevice::EndScene()
{
    if (!m_bInScene) {
        return D3DERR_SCENE_NOT_IN_SCENE;
    }
    m_bInScene = false;
    return D3D_OK;
}

HRESULT CD3DDevice::GetDirect3D(IDirect3D7** lplpD3D)
{
    if (!lplpD3D) {
        return DDERR_INVALIDPARAMS;
    }
    m_pD3D->AddRef();
    *lplpD3D = m_pD3D;
    return D3D_OK;
}

HRESULT CD3DDevice::SetRenderTarget(IDirectDrawSurface7* lpSurface, DWORD)
{
    if (!lpSurface) {
        return DDERR_INVALIDPARAMS;
    }
    CDDSurface* p = CDDSurface::From(lpSurface);
    if (p->Kind() != PK_R5G6B5) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    p->AddRef();
    CDDSurface* pZ = p->AttachedZBuffer();
    if (pZ) {
        pZ->AddRef();
    }
    if (m_pZ) {
        m_pZ->Release();
    }
    m_pTarget->Release();
    m_pTarget = p;
    m_pZ = pZ;
    m_viewport = D3DVIEWPORT7{0, 0, (DWORD)p->Width(), (DWORD)p->Height(), 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT CD3DDevice::GetRenderTarget(IDirectDrawSurface7** lplpSurface)
{
    if (!lplpSurface) {
        return DDERR_INVALIDPARAMS;
    }
    m_pTarget->AddRef();
    *lplpSurface = m_pTarget;
    return D3D_OK;
}

HRESULT CD3DDevice::Clear(DWORD dwCount, D3DRECT* lpRects, DWORD dwFlags, D3DCOLOR dwColor, D3DVALUE dvZ, DWORD)
{
    if ((dwFlags & D3DCLEAR_ZBUFFER) && !m_pZ) {
        return D3DERR_ZBUFFER_NOTPRESENT;
    }
    const RECT rcView = ViewportRect();
    if (dwCount == 0 || !lpRects) {
        ClearRect(rcView, dwFlags, dwColor, dvZ);
    } else {
        for (DWORD i = 0; i < dwCount; i++) {
            const RECT rc = {std::max<LONG>(lpRects[i].x1, rcView.left), std::max<LONG>(lpRects[i].y1, rcView.top),
                             std::min<LONG>(lpRects[i].x2, rcView.right), std::min<LONG>(lpRects[i].y2, rcView.bottom)};
            ClearRect(rc, dwFlags, dwColor, dvZ);
        }
    }
    m_pTarget->NotifyChanged();
    return D3D_OK;
}

RECT CD3DDevice::ViewportRect() const
{
    return RECT{(LONG)m_viewport.dwX, (LONG)m_viewport.dwY, (LONG)(m_viewport.dwX + m_viewport.dwWidth),
                (LONG)(m_viewport.dwY + m_viewport.dwHeight)};
}

// The fills wait in the surfaces: a frame's clear is mostly hidden by its first blit, and a depth
// buffer may go unread all frame.
void CD3DDevice::ClearRect(const RECT& rc, DWORD dwFlags, D3DCOLOR dwColor, float fZ)
{
    if (dwFlags & D3DCLEAR_TARGET) {
        m_pTarget->DeferFill(rc, Pack565(RGBA_GETRED(dwColor), RGBA_GETGREEN(dwColor), RGBA_GETBLUE(dwColor)));
    }
    if ((dwFlags & D3DCLEAR_ZBUFFER) && m_pZ) {
        // A buffer that holds this value throughout already (cleared to it and not written since,
        // the usual case from one frame to the next) stays as it is.
        const uint16_t z = DepthToZ16(fZ);
        uint16_t zNow = 0;
        if (m_pZ->GetUniformWord(&zNow) && zNow == z) {
            return;
        }
        m_pZ->DeferFill(rc, z);
        if (rc.left <= 0 && rc.top <= 0 && rc.right >= m_pZ->Width() && rc.bottom >= m_pZ->Height()) {
            m_pZ->SetUniformWord(z);
        }
    }
}

// ---- Transforms, viewport, material, lights -----------------------------------------------------
HRESULT CD3DDevice::SetTransform(D3DTRANSFORMSTATETYPE dtsType, D3DMATRIX* lpMatrix)
{
    if (!lpMatrix) {
        return DDERR_INVALIDPARAMS;
    }
    switch (dtsType) {
    case D3DTRANSFORMSTATE_WORLD: m_mWorld = *lpMatrix; break;
    case D3DTRANSFORMSTATE_VIEW: m_mView = *lpMatrix; break;
    case D3DTRANSFORMSTATE_PROJECTION: m_mProj = *lpMatrix; break;
    default: return DDERR_INVALIDPARAMS;
    }
    m_bCombinedStale = true;
    return D3D_OK;
}

HRESULT CD3DDevice::GetTransform(D3DTRANSFORMSTATETYPE dtsType, D3DMATRIX* lpMatrix)
{
    if (!lpMatrix) {
        return DDERR_INVALIDPARAMS;
    }
    switch (dtsType) {
    case D3DTRANSFORMSTATE_WORLD: *lpMatrix = m_mWorld; break;
    case D3DTRANSFORMSTATE_VIEW: *lpMatrix = m_mView; break;
    case D3DTRANSFORMSTATE_PROJECTION: *lpMatrix = m_mProj; break;
    default: return DDERR_INVALIDPARAMS;
    }
    return D3D_OK;
}

HRESULT CD3DDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE dtsType, D3DMATRIX* lpMatrix)
{
    D3DMATRIX m;
    const HRESULT hr = GetTransform(dtsType, &m);
    if (FAILED(hr) || !lpMatrix) {
        return FAILED(hr) ? hr : DDERR_INVALIDPARAMS;
    }
    D3DMATRIX r = Multiply(*lpMatrix, m);
    return SetTransform(dtsType, &r);
}

const D3DMATRIX& CD3DDevice::CombinedMatrix()
{
    if (m_bCombinedStale) {
        m_mCombined = Multiply(Multiply(m_mWorld, m_mView), m_mProj);
        m_bCombinedStale = false;
    }
    return m_mCombined;
}

HRESULT CD3DDevice::SetViewport(D3DVIEWPORT7* lpViewport)
{
    if (!lpViewport) {
        return DDERR_INVALIDPARAMS;
    }
    const D3DVIEWPORT7& v = *lpViewport;
    if (v.dwWidth == 0 || v.dwHeight == 0 || (int64_t)v.dwX + v.dwWidth > m_pTarget->Width() ||
        (int64_t)v.dwY + v.dwHeight > m_pTarget->Height()) {
        return DDERR_INVALIDPARAMS;
    }
    if (!(v.dvMinZ >= 0.0f && v.dvMaxZ <= 1.0f && v.dvMinZ <= v.dvMaxZ)) {
        return DDERR_INVALIDPARAMS;
    }
    m_viewport = v;
    return D3D_OK;
}

HRESULT CD3DDevice::GetViewport(D3DVIEWPORT7* lpViewport)
{
    if (!lpViewport) {
        return DDERR_INVALIDPARAMS;
    }
    *lpViewport = m_viewport;
    return D3D_OK;
}

HRESULT CD3DDevice::SetMaterial(D3DMATERIAL7* lpMaterial)
{
    if (!lpMaterial) {
        return DDERR_INVALIDPARAMS;
    }
    m_material = *lpMaterial;
    return D3D_OK;
}

HRESULT CD3DDevice::GetMaterial(D3DMATERIAL7* lpMaterial)
{
    if (!lpMaterial) {
        return DDERR_INVALIDPARAMS;
    }
    *lpMaterial = m_material;
    return D3D_OK;
}

HRESULT CD3DDevice::SetLight(DWORD dwIndex, D3DLIGHT7* lpLight)
{
    if (!lpLight || dwIndex >= kMaxLights) {
        return DDERR_INVALIDPARAMS;
    }
    if (lpLight->dltType < D3DLIGHT_POINT || lpLight->dltType > D3DLIGHT_DIRECTIONAL) {
        return DDERR_INVALIDPARAMS;
    }
    if (dwIndex >= m_lights.size()) {
        m_lights.resize(dwIndex + 1, D3DLIGHT7{});
        m_lightOn.resize(dwIndex + 1, FALSE);
    }
    m_lights[dwIndex] = *lpLight;
    return D3D_OK;
}

HRESULT CD3DDevice::GetLight(DWORD dwIndex, D3DLIGHT7* lpLight)
{
    if (!lpLight || dwIndex >= m_lights.size() || m_lights[dwIndex].dltType == 0) {
        return DDERR_INVALIDPARAMS;
    }
    *lpLight = m_lights[dwIndex];
    return D3D_OK;
}

HRESULT CD3DDevice::LightEnable(DWORD dwLightIndex, BOOL bEnable)
{
    if (dwLightIndex >= kMaxLights) {
        return DDERR_INVALIDPARAMS;
    }
    if (dwLightIndex >= m_lights.size() || m_lights[dwLightIndex].dltType == 0) {
        // Enabling a light never set gives the default one: white, shining along +z.
        D3DLIGHT7 def = {};
        def.dltType = D3DLIGHT_DIRECTIONAL;
        def.dcvDiffuse = D3DCOLORVALUE{{1.0f}, {1.0f}, {1.0f}, {0.0f}};
        def.dvDirection.z = 1.0f;
        SetLight(dwLightIndex, &def);
    }
    m_lightOn[dwLightIndex] = bEnable ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT CD3DDevice::GetLightEnable(DWORD dwLightIndex, BOOL* pbEnable)
{
    if (!pbEnable || dwLightIndex >= m_lights.size() || m_lights[dwLightIndex].dltType == 0) {
        return DDERR_INVALIDPARAMS;
    }
    *pbEnable = m_lightOn[dwLightIndex];
    return D3D_OK;
}

// ---- Render and texture stage states, state blocks ----------------------------------------------
void CD3DDevice::Record(int nStage, DWORD dwState, DWORD dwValue)
{
    for (RECORDEDSTATE& r : m_recording) {
        if (r.nStage == nStage && r.dwState == dwState) {
            r.dwValue = dwValue;
            return;
        }
    }
    m_recording.push_back(RECORDEDSTATE{nStage, dwState, dwValue});
}

HRESULT CD3DDevice::SetRenderState(D3DRENDERSTATETYPE dwState, DWORD dwValue)
{
    if ((DWORD)dwState >= D3D_MAX_RENDERSTATES) {
        return DDERR_INVALIDPARAMS;
    }
    // While a block is being recorded, states go into the block, not onto the device.
    if (m_bRecording) {
        Record(-1, dwState, dwValue);
    } else {
        m_states.dwRender[dwState] = dwValue;
    }
    return D3D_OK;
}

HRESULT CD3DDevice::GetRenderState(D3DRENDERSTATETYPE dwState, DWORD* lpdwValue)
{
    if (!lpdwValue || (DWORD)dwState >= D3D_MAX_RENDERSTATES) {
        return DDERR_INVALIDPARAMS;
    }
    *lpdwValue = m_states.dwRender[dwState];
    return D3D_OK;
}

HRESULT CD3DDevice::SetTextureStageState(DWORD dwStage, D3DTEXTURESTAGESTATETYPE dwState, DWORD dwValue)
{
    if (dwStage >= D3D_MAX_STAGES || (DWORD)dwState >= D3D_MAX_TEXTURESTAGESTATES) {
        return DDERR_INVALIDPARAMS;
    }
    if (m_bRecording) {
        Record((int)dwStage, dwState, dwValue);
    } else {
        m_states.dwStage[dwStage][dwState] = dwValue;
    }
    return D3D_OK;
}

HRESULT CD3DDevice::GetTextureStageState(DWORD dwStage, D3DTEXTURESTAGESTATETYPE dwState, DWORD* lpdwValue)
{
    if (!lpdwValue || dwStage >= D3D_MAX_STAGES || (DWORD)dwState >= D3D_MAX_TEXTURESTAGESTATES) {
        return DDERR_INVALIDPARAMS;
    }
    *lpdwValue = m_states.dwStage[dwStage][dwState];
    return D3D_OK;
}

HRESULT CD3DDevice::BeginStateBlock()
{
    if (m_bRecording) {
        return D3DERR_INBEGINSTATEBLOCK;
    }
    m_bRecording = true;
    m_recording.clear();
    return D3D_OK;
}

HRESULT CD3DDevice::EndStateBlock(DWORD* lpdwBlockHandle)
{
    if (!lpdwBlockHandle) {
        return DDERR_INVALIDPARAMS;
    }
    if (!m_bRecording) {
        return D3DERR_NOTINBEGINSTATEBLOCK;
    }
    m_bRecording = false;
    auto pBlock = std::make_unique<std::vector<RECORDEDSTATE>>(std::move(m_recording));
    m_recording.clear();
    for (size_t i = 0; i < m_blocks.size(); i++) {
        if (!m_blocks[i]) {
            m_blocks[i] = std::move(pBlock);
            *lpdwBlockHandle = (DWORD)(i + 1);
            return D3D_OK;
        }
    }
    m_blocks.push_back(std::move(pBlock));
    *lpdwBlockHandle = (DWORD)m_blocks.size();
    return D3D_OK;
}

std::vector<RECORDEDSTATE>* CD3DDevice::FindBlock(DWORD dwHandle)
{
    if (dwHandle == 0 || dwHandle > m_blocks.size()) {
        return nullptr;
    }
    return m_blocks[dwHandle - 1].get();
}

HRESULT CD3DDevice::ApplyStateBlock(DWORD dwBlockHandle)
{
    if (m_bRecording) {
        return D3DERR_INBEGINSTATEBLOCK;
    }
    std::vector<RECORDEDSTATE>* pBlock = FindBlock(dwBlockHandle);
    if (!pBlock) {
        return D3DERR_INVALIDSTATEBLOCK;
    }
    for (const RECORDEDSTATE& r : *pBlock) {
        if (r.nStage < 0) {
            m_states.dwRender[r.dwState] = r.dwValue;
        } else {
            m_states.dwStage[r.nStage][r.dwState] = r.dwValue;
        }
    }
    return D3D_OK;
}

HRESULT CD3DDevice::CaptureStateBlock(DWORD dwBlockHandle)
{
    if (m_bRecording) {
        return D3DERR_INBEGINSTATEBLOCK;
    }
    std::vector<RECORDEDSTATE>* pBlock = FindBlock(dwBlockHandle);
    if (!pBlock) {
        return D3DERR_INVALIDSTATEBLOCK;
    }
    for (RECORDEDSTATE& r : *pBlock) {
        r.dwValue = r.nStage < 0 ? m_states.dwRender[r.dwState] : m_states.dwStage[r.nStage][r.dwState];
    }
    return D3D_OK;
}

HRESULT CD3DDevice::DeleteStateBlock(DWORD dwBlockHandle)
{
    if (m_bRecording) {
        return D3DERR_INBEGINSTATEBLOCK;
    }
    if (!FindBlock(dwBlockHandle)) {
        return D3DERR_INVALIDSTATEBLOCK;
    }
    m_blocks[dwBlockHandle - 1].reset();
    return D3D_OK;
}

// ---- Textures -----------------------------------------------------------------------------------
HRESULT CD3DDevice::GetTexture(DWORD dwStage, IDirectDrawSurface7** lplpTexture)
{
    if (!lplpTexture || dwStage >= D3D_MAX_STAGES) {
        return DDERR_INVALIDPARAMS;
    }
    *lplpTexture = m_pTexture[dwStage];
    if (m_pTexture[dwStage]) {
        m_pTexture[dwStage]->AddRef();
    }
    return D3D_OK;
}

HRESULT CD3DDevice::SetTexture(DWORD dwStage, IDirectDrawSurface7* lpTexture)
{
    if (dwStage >= D3D_MAX_STAGES) {
        return DDERR_INVALIDPARAMS;
    }
    CDDSurface* p = lpTexture ? CDDSurface::From(lpTexture) : nullptr;
    if (p && (p->Kind() == PK_Z16 || p->Kind() == PK_UNKNOWN)) {
        return D3DERR_WRONGTEXTUREFORMAT;
    }
    if (p) {
        p->AddRef();
    }
    if (m_pTexture[dwStage]) {
        m_pTexture[dwStage]->Release();
    }
    m_pTexture[dwStage] = p;
    return D3D_OK;
}

// ---- Drawing ------------------------------------------------------------------------------------
HRESULT CD3DDevice::PrepareDraw(bool bDepth)
{
    if (m_pTexture[0]) {
        m_pTexture[0]->ResolveFill();
    }
    DRAWSTATE ds = {};
    ds.pTarget = m_pTarget;
    ds.pZ = bDepth ? m_pZ : nullptr;
    ds.pTexture = m_pTexture[0];
    ds.pWorld = &m_mWorld;
    ds.pView = &m_mView;
    ds.pCombined = &CombinedMatrix();
    ds.pViewport = &m_viewport;
    ds.pMaterial = &m_material;
    ds.pLights = m_lights.data();
    ds.pLightOn = m_lightOn.data();
    ds.nLights = m_lights.size();
    ds.pRender = m_states.dwRender;
    ds.pStage0 = m_states.dwStage[0];
    return m_raster.Begin(ds);
}

// A draw that writes no depth, over depths that all hold the far plane (the whole buffer known as
// that one value, or the draw's rectangle still waiting for a clear to it), passes every LESSEQUAL
// test: it draws the same without the depth buffer, which then stays untouched. Without rcDraw
// only the whole buffer is asked about.
bool CD3DDevice::DepthIsMoot(const RECT* pDraw) const
{
    const DWORD* rs = m_states.dwRender;
    if (rs[D3DRENDERSTATE_ZWRITEENABLE]) {
        return false;
    }
    if (rs[D3DRENDERSTATE_ZFUNC] == D3DCMP_ALWAYS) {
        return true;
    }
    if (rs[D3DRENDERSTATE_ZFUNC] != D3DCMP_LESSEQUAL) {
        return false;
    }
    uint16_t wAll = 0;
    if (!pDraw) {
        return m_pZ->GetUniformWord(&wAll) && wAll == 0xFFFF;
    }
    return m_pZ->IsFillWaiting(pDraw->left, pDraw->top, pDraw->right, pDraw->bottom, 0xFFFF);
}

HRESULT CD3DDevice::ValidateDevice(DWORD* lpdwPasses)
{
    const HRESULT hr = PrepareDraw(true);
    if (lpdwPasses) {
        *lpdwPasses = SUCCEEDED(hr) ? 1 : 0;
    }
    return hr;
}

HRESULT CD3DDevice::Draw(D3DPRIMITIVETYPE dptType, DWORD dwVertexFormat, const void* pVertices, DWORD dwVertexCount,
                         const WORD* pIndices, DWORD dwIndexCount)
{
    bool bDepth = m_pZ && m_states.dwRender[D3DRENDERSTATE_ZENABLE] != D3DZB_FALSE;
    if (bDepth && DepthIsMoot(nullptr)) {
        bDepth = false;
    }
    // The waiting clears are done only under what the draw may touch.
    const bool bZWaits = bDepth && m_pZ->HasWaitingFill();
    if (m_pTarget->HasWaitingFill() || bZWaits) {
        const RECT rc = DrawScreenBounds(dwVertexFormat, pVertices, dwVertexCount, CombinedMatrix(), m_viewport);
        if (bZWaits && DepthIsMoot(&rc)) {
            bDepth = false;
        }
        m_pTarget->ResolveFillFor(rc.left, rc.top, rc.right, rc.bottom, false);
        if (bDepth) {
            m_pZ->ResolveFillFor(rc.left, rc.top, rc.right, rc.bottom, false);
        }
    }
    m_pTarget->OwnPixels();
    HRESULT hr = PrepareDraw(bDepth);
    if (FAILED(hr)) {
        return hr;
    }
    hr = m_raster.Draw(dptType, dwVertexFormat, pVertices, dwVertexCount, pIndices, dwIndexCount);
    m_pTarget->NotifyChanged();
    return hr;
}

HRESULT CD3DDevice::DrawPrimitive(D3DPRIMITIVETYPE dptType, DWORD dwVertexFormat, LPVOID lpVertices,
                                  DWORD dwVertexCount, DWORD)
{
    return Draw(dptType, dwVertexFormat, lpVertices, dwVertexCount, nullptr, 0);
}

HRESULT CD3DDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE dptType, DWORD dwVertexFormat, LPVOID lpVertices,
                                         DWORD dwVertexCount, WORD* lpwIndices, DWORD dwIndexCount, DWORD)
{
    if (!lpwIndices) {
        return DDERR_INVALIDPARAMS;
    }
    return Draw(dptType, dwVertexFormat, lpVertices, dwVertexCount, lpwIndices, dwIndexCount);
}
