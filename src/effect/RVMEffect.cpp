#include "effect/RVMEffect.h"

#include <cmath>

#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "rvm/rvm_stl.h"

IDirect3DDevice7* m_lpDevice = nullptr;

namespace {

CRVMEffectBase* g_pEffects[RVM_EFFECT_MAX];
rvm::map<rvm::string, IDirectDrawSurface7*> g_Textures;

// 2 pi / 62: 31 pairs of vertices round the ring.
constexpr float kRingAngleStep = 0.10129032f;

bool HasDevice(int nLine)
{
    if (!m_lpDevice) {
        RaiseRuntimeAssert("m_lpDevice", "RVMEffect", nLine);
        return false;
    }
    return true;
}

DWORD PackColor(const float* pRgb)
{
    return 0xFF000000u | ((DWORD)(pRgb[0] * 255.0f) << 16) | ((DWORD)(pRgb[1] * 255.0f) << 8) |
           (DWORD)(pRgb[2] * 255.0f);
}

} // namespace

// ---- The effect list ------------------------------------------------------------------------------

void AddEffect(CRVMEffectBase* pEffect)
{
    if (!pEffect || IsEffectListed(pEffect)) {
        return;
    }
    for (CRVMEffectBase*& p : g_pEffects) {
        if (!p) {
            p = pEffect;
            return;
        }
    }
}

void RemoveEffect(CRVMEffectBase* pEffect)
{
    for (CRVMEffectBase*& p : g_pEffects) {
        if (p == pEffect) {
            p = nullptr;
            return;
        }
    }
}

void ClearEffects()
{
    for (CRVMEffectBase*& p : g_pEffects) {
        p = nullptr;
    }
}

void UpdateAllEffects()
{
    for (CRVMEffectBase* p : g_pEffects) {
        if (p) {
            p->Update();
        }
    }
}

BOOL RenderAllEffects(IDirect3DDevice7* lpDevice)
{
    m_lpDevice = lpDevice;
    bool bOk = true;
    for (CRVMEffectBase* p : g_pEffects) {
        if (p) {
            bOk = p->Render() && bOk;
        }
    }
    return bOk ? 1 : 0;
}

BOOL RenderEffect(IDirect3DDevice7* lpDevice, CRVMEffectBase* pEffect)
{
    m_lpDevice = lpDevice;
    return pEffect ? pEffect->Render() : 0;
}

int IsEffectListed(const CRVMEffectBase* pEffect)
{
    for (const CRVMEffectBase* p : g_pEffects) {
        if (p && p == pEffect) {
            return 1;
        }
    }
    return 0;
}

int GetEffectCount()
{
    int n = 0;
    for (const CRVMEffectBase* p : g_pEffects) {
        n += p ? 1 : 0;
    }
    return n;
}

// ---- Device wrappers ------------------------------------------------------------------------------

HRESULT SetRenderState(D3DRENDERSTATETYPE dwState, DWORD dwValue)
{
    return HasDevice(__LINE__) ? m_lpDevice->SetRenderState(dwState, dwValue) : E_FAIL;
}

HRESULT GetRenderState(D3DRENDERSTATETYPE dwState, DWORD* pdwValue)
{
    return HasDevice(__LINE__) ? m_lpDevice->GetRenderState(dwState, pdwValue) : E_FAIL;
}

HRESULT SetTransform(D3DTRANSFORMSTATETYPE dwKind, D3DMATRIX* pMatrix)
{
    return HasDevice(__LINE__) ? m_lpDevice->SetTransform(dwKind, pMatrix) : E_FAIL;
}

HRESULT GetTransform(D3DTRANSFORMSTATETYPE dwKind, D3DMATRIX* pMatrix)
{
    return HasDevice(__LINE__) ? m_lpDevice->GetTransform(dwKind, pMatrix) : E_FAIL;
}

HRESULT SetTexture(DWORD dwStage, const char* pszTexture)
{
    if (!HasDevice(__LINE__)) {
        return E_FAIL;
    }
    if (!pszTexture || !*pszTexture) {
        return m_lpDevice->SetTexture(dwStage, nullptr);
    }
    IDirectDrawSurface7*& lpTexture = g_Textures[pszTexture];
    if (!lpTexture) {
        lpTexture = CreateTextureFromFile(m_lpDevice, pszTexture, nullptr);
    }
    return m_lpDevice->SetTexture(dwStage, lpTexture);
}

HRESULT DrawPrimitive(D3DPRIMITIVETYPE dwType, DWORD dwFormat, void* pVertices, DWORD, DWORD dwVertexCount, DWORD,
                      DWORD dwFlags)
{
    return HasDevice(__LINE__) ? m_lpDevice->DrawPrimitive(dwType, dwFormat, pVertices, dwVertexCount, dwFlags)
                               : E_FAIL;
}

void ReleaseEffectTextures()
{
    for (auto& entry : g_Textures) {
        SafeRelease(entry.second);
    }
    g_Textures.clear();
}

// ---- Matrix and vector helpers --------------------------------------------------------------------

float RVMVecLengthSq(const D3DVECTOR& v)
{
    return v.x * v.x + v.y * v.y + v.z * v.z;
}

float RVMVecLength(const D3DVECTOR& v)
{
    return std::sqrt(RVMVecLengthSq(v));
}

D3DVECTOR RVMVecNormalize(const D3DVECTOR& v)
{
    const float f = RVMVecLength(v);
    D3DVECTOR r = v;
    if (f > 0.0f) {
        r.x /= f;
        r.y /= f;
        r.z /= f;
    }
    return r;
}

void RVMMatIdentity(D3DMATRIX* pOut)
{
    for (int i = 0; i < 4; i++) {
        for (int j = 0; j < 4; j++) {
            pOut->m[i][j] = i == j ? 1.0f : 0.0f;
        }
    }
}

void RVMMatTranslation(D3DMATRIX* pOut, float x, float y, float z)
{
    RVMMatIdentity(pOut);
    pOut->_41 = x;
    pOut->_42 = y;
    pOut->_43 = z;
}

void RVMMatTranslation(D3DMATRIX* pOut, const D3DVECTOR& v)
{
    RVMMatTranslation(pOut, v.x, v.y, v.z);
}

void RVMMatScale(D3DMATRIX* pOut, float x, float y, float z)
{
    RVMMatIdentity(pOut);
    pOut->_11 = x;
    pOut->_22 = y;
    pOut->_33 = z;
}

void RVMMatScale(D3DMATRIX* pOut, const D3DVECTOR& v)
{
    RVMMatScale(pOut, v.x, v.y, v.z);
}

namespace {

// The plane rotation over axes a and b (a before b in the row-vector sense).
void PlaneRotation(D3DMATRIX* pOut, int a, int b, float fAngle)
{
    RVMMatIdentity(pOut);
    const float c = std::cos(fAngle);
    const float s = std::sin(fAngle);
    pOut->m[a][a] = c;
    pOut->m[a][b] = s;
    pOut->m[b][a] = -s;
    pOut->m[b][b] = c;
}

} // namespace

void RVMMatRotationX(D3DMATRIX* pOut, float fAngle)
{
    PlaneRotation(pOut, 1, 2, fAngle);
}

void RVMMatRotationY(D3DMATRIX* pOut, float fAngle)
{
    PlaneRotation(pOut, 2, 0, fAngle);
}

void RVMMatRotationZ(D3DMATRIX* pOut, float fAngle)
{
    PlaneRotation(pOut, 0, 1, fAngle);
}

void RVMMatRotationAxis(D3DMATRIX* pOut, const D3DVECTOR& axis, float fAngle)
{
    const D3DVECTOR n = RVMVecNormalize(axis);
    const float c = std::cos(fAngle);
    const float s = std::sin(fAngle);
    const float t = 1.0f - c;
    RVMMatIdentity(pOut);
    pOut->_11 = t * n.x * n.x + c;
    pOut->_12 = t * n.x * n.y + s * n.z;
    pOut->_13 = t * n.x * n.z - s * n.y;
    pOut->_21 = t * n.x * n.y - s * n.z;
    pOut->_22 = t * n.y * n.y + c;
    pOut->_23 = t * n.y * n.z + s * n.x;
    pOut->_31 = t * n.x * n.z + s * n.y;
    pOut->_32 = t * n.y * n.z - s * n.x;
    pOut->_33 = t * n.z * n.z + c;
}

void RVMMatMultiply(D3DMATRIX* pOut, const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r;
    for (int i = 0; i < 4; i++) {
        for (int j = 0; j < 4; j++) {
            float f = 0.0f;
            for (int k = 0; k < 4; k++) {
                f += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = f;
        }
    }
    *pOut = r;
}

// ---- CRVMEffectBase -------------------------------------------------------------------------------

CRVMEffectBase::CRVMEffectBase()
{
    RVMMatIdentity(&m_Matrix);
}

CRVMEffectBase::~CRVMEffectBase()
{
    RemoveEffect(this);
}

// ---- CRVMParticleEffect ---------------------------------------------------------------------------

CRVMParticleEffect::CRVMParticleEffect()
{
    BuildVertices();
}

CRVMParticleEffect::~CRVMParticleEffect()
{
    CRVMParticleEffect::Stop();
    RemoveEffect(this);
}

void CRVMParticleEffect::SetPosition(float x, float y)
{
    m_fPosition[0] = x;
    m_fPosition[1] = y;
    m_fPosition[2] = 0.0f;
}

void CRVMParticleEffect::SetOuterColor(float r, float g, float b)
{
    m_fOuterStart[0] = r;
    m_fOuterStart[1] = g;
    m_fOuterStart[2] = b;
}

void CRVMParticleEffect::SetInnerColor(float r, float g, float b)
{
    m_fInnerStart[0] = r;
    m_fInnerStart[1] = g;
    m_fInnerStart[2] = b;
}

void CRVMParticleEffect::Reset()
{
    for (int i = 0; i < 3; i++) {
        m_fOuter[i] = m_fOuterStart[i];
        m_fInner[i] = m_fInnerStart[i];
    }
    m_fRadius = 0.0f;
    m_bStopped = 0;
}

// A triangle strip of outer and inner vertices in turn, closed by repeating the first pair.
void CRVMParticleEffect::BuildVertices()
{
    const float fInner = m_fRadius - m_fWidth > 0.0f ? m_fRadius - m_fWidth : 0.0f;
    const DWORD dwOuter = PackColor(m_fOuter);
    const DWORD dwInner = PackColor(m_fInner);
    for (int k = 0; k <= 60; k += 2) {
        const float fAngle = (float)k * kRingAngleStep;
        const float c = std::cos(fAngle);
        const float s = std::sin(fAngle);
        m_Vertices[k] = RVMPARTICLEVERTEX{c * m_fRadius, s * m_fRadius, 0.0f, dwOuter, dwOuter, 0.0f, 0.0f};
        m_Vertices[k + 1] = RVMPARTICLEVERTEX{c * fInner, s * fInner, 0.0f, dwInner, dwInner, 0.0f, 0.0f};
    }
    m_Vertices[62] = m_Vertices[0];
    m_Vertices[63] = m_Vertices[1];
}

void CRVMParticleEffect::Update()
{
    if (m_bStopped) {
        return;
    }
    m_fRadius += m_fSpeed;
    bool bAllBelow = true;
    for (float* pColor : {m_fOuter, m_fInner}) {
        for (int i = 0; i < 3; i++) {
            pColor[i] += m_fFade;
            if (pColor[i] < 0.0f) {
                pColor[i] = 0.0f;
            } else {
                bAllBelow = false;
            }
        }
    }
    BuildVertices();
    if (bAllBelow) {
        Stop();
    }
}

BOOL CRVMParticleEffect::Render()
{
    if (m_bStopped) {
        return 1;
    }
    DWORD dwSrcBlend = D3DBLEND_ONE, dwDestBlend = D3DBLEND_ZERO;
    D3DMATRIX matSaved;
    GetRenderState(D3DRENDERSTATE_SRCBLEND, &dwSrcBlend);
    GetRenderState(D3DRENDERSTATE_DESTBLEND, &dwDestBlend);
    if (FAILED(GetTransform(D3DTRANSFORMSTATE_WORLD, &matSaved))) {
        RVMMatIdentity(&matSaved);
    }
    SetTexture(0, nullptr);
    SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    D3DMATRIX matMove, matWorld;
    RVMMatTranslation(&matMove, m_fPosition[0], m_fPosition[1], m_fPosition[2]);
    RVMMatMultiply(&matWorld, m_Matrix, matMove);
    RVMMatMultiply(&matWorld, matWorld, matSaved);
    SetTransform(D3DTRANSFORMSTATE_WORLD, &matWorld);
    const HRESULT hr = DrawPrimitive(D3DPT_TRIANGLESTRIP, RVM_PARTICLE_FVF, m_Vertices, sizeof(RVMPARTICLEVERTEX),
                                     RVM_PARTICLE_VERTICES, RVM_PARTICLE_VERTICES - 2, 0);
    // The states go back even when the draw failed, so that what is drawn next is not additive.
    SetTransform(D3DTRANSFORMSTATE_WORLD, &matSaved);
    SetRenderState(D3DRENDERSTATE_SRCBLEND, dwSrcBlend);
    SetRenderState(D3DRENDERSTATE_DESTBLEND, dwDestBlend);
    SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    return SUCCEEDED(hr) ? 1 : 0;
}

// ---- CRVMDecayParticleEffect ----------------------------------------------------------------------

CRVMDecayParticleEffect::CRVMDecayParticleEffect() : m_fSavedSpeed(m_fSpeed) {}

void CRVMDecayParticleEffect::Update()
{
    CRVMParticleEffect::Update();
    // A stopped ring keeps its speed (Stop put the starting one back), so that the next run starts
    // from it.
    if (!m_bStopped) {
        m_fSpeed += m_fSpeedStep;
    }
}

void CRVMDecayParticleEffect::Reset()
{
    if (m_bStopped) {
        m_fSavedSpeed = m_fSpeed;
    } else {
        m_fSpeed = m_fSavedSpeed;
    }
    CRVMParticleEffect::Reset();
}

void CRVMDecayParticleEffect::Stop()
{
    m_fSpeed = m_fSavedSpeed;
    m_bStopped = 1;
}

void CRVMDecayParticleEffect::SetParam(float fSpeed)
{
    m_fSpeed = fSpeed;
    m_fSavedSpeed = fSpeed;
}
