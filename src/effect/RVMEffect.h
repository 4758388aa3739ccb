// A small library of Direct3D effects kept apart from the game: a list of live effects that the
// stage updates each tick and renders in its 3D pass, checked wrappers around the device the
// effects draw with, 4 x 4 matrix helpers, and the expanding, fading ring.
#pragma once
#include "platform/d3d/D3D.h"

#define RVM_EFFECT_MAX 256

// The device the effects draw with; every render entry point sets it first.
extern IDirect3DDevice7* m_lpDevice;

// Declared for outside users; the effects here do not implement it.
class IRVMEffect {
public:
    virtual ~IRVMEffect() = default;
};

class CRVMEffectBase {
public:
    CRVMEffectBase();
    virtual DWORD GetVertexFormat() = 0;
    virtual DWORD GetVertexSize() = 0;
    virtual void Update() = 0;
    virtual BOOL Render() = 0;
    // Leaves the effect list.
    virtual ~CRVMEffectBase();
    virtual void Reset() = 0;
    virtual void Stop() = 0;

    int IsStopped() const { return m_bStopped; }
    void SetMatrix(const D3DMATRIX& m) { m_Matrix = m; }
    const D3DMATRIX& GetMatrix() const { return m_Matrix; }

protected:
    int m_bStopped = 1;
    D3DMATRIX m_Matrix;
};

// ---- The effect list ------------------------------------------------------------------------------
// Nothing when the effect is listed already, or when the list is full.
void AddEffect(CRVMEffectBase* pEffect);
void RemoveEffect(CRVMEffectBase* pEffect);
void ClearEffects();
void UpdateAllEffects();
// 1 when every listed effect rendered.
BOOL RenderAllEffects(IDirect3DDevice7* lpDevice);
// One effect at a moment of the owner's choosing, listed or not; 0 for none.
BOOL RenderEffect(IDirect3DDevice7* lpDevice, CRVMEffectBase* pEffect);
int IsEffectListed(const CRVMEffectBase* pEffect);
int GetEffectCount();

// ---- Device wrappers: each fails (and reports) while no device is set -------------------------------
HRESULT SetRenderState(D3DRENDERSTATETYPE dwState, DWORD dwValue);
HRESULT GetRenderState(D3DRENDERSTATETYPE dwState, DWORD* pdwValue);
HRESULT SetTransform(D3DTRANSFORMSTATETYPE dwKind, D3DMATRIX* pMatrix);
HRESULT GetTransform(D3DTRANSFORMSTATETYPE dwKind, D3DMATRIX* pMatrix);
// A texture by file name, made (and kept) on first use; null or empty sets none.
HRESULT SetTexture(DWORD dwStage, const char* pszTexture);
// The vertex size and primitive count are for the caller's bookkeeping only.
HRESULT DrawPrimitive(D3DPRIMITIVETYPE dwType, DWORD dwFormat, void* pVertices, DWORD dwVertexSize,
                      DWORD dwVertexCount, DWORD dwPrimitiveCount, DWORD dwFlags);
// Releases the textures SetTexture made (shutdown).
void ReleaseEffectTextures();

// ---- Matrix and vector helpers (row vectors) --------------------------------------------------------
float RVMVecLengthSq(const D3DVECTOR& v);
float RVMVecLength(const D3DVECTOR& v);
D3DVECTOR RVMVecNormalize(const D3DVECTOR& v);
void RVMMatIdentity(D3DMATRIX* pOut);
void RVMMatTranslation(D3DMATRIX* pOut, float x, float y, float z);
void RVMMatTranslation(D3DMATRIX* pOut, const D3DVECTOR& v);
void RVMMatScale(D3DMATRIX* pOut, float x, float y, float z);
void RVMMatScale(D3DMATRIX* pOut, const D3DVECTOR& v);
void RVMMatRotationX(D3DMATRIX* pOut, float fAngle);
void RVMMatRotationY(D3DMATRIX* pOut, float fAngle);
void RVMMatRotationZ(D3DMATRIX* pOut, float fAngle);
void RVMMatRotationAxis(D3DMATRIX* pOut, const D3DVECTOR& axis, float fAngle);
// a x b.
void RVMMatMultiply(D3DMATRIX* pOut, const D3DMATRIX& a, const D3DMATRIX& b);

// ---- The ring ---------------------------------------------------------------------------------------
struct RVMPARTICLEVERTEX {
    float x, y, z;
    DWORD dwDiffuse;
    DWORD dwSpecular;
    float u, v;
};

#define RVM_PARTICLE_FVF (D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1)
#define RVM_PARTICLE_VERTICES 64

// An additive ring that grows from a disc and fades to black, then stops itself.
class CRVMParticleEffect : public CRVMEffectBase {
public:
    CRVMParticleEffect();
    DWORD GetVertexFormat() override { return RVM_PARTICLE_FVF; }
    DWORD GetVertexSize() override { return sizeof(RVMPARTICLEVERTEX); }
    void Update() override;
    BOOL Render() override;
    ~CRVMParticleEffect() override;
    void Reset() override;
    void Stop() override { m_bStopped = 1; }
    virtual void SetPosition(float x, float y);
    virtual void SetParam(float fSpeed) { m_fSpeed = fSpeed; }

    void SetWidth(float f) { m_fWidth = f; }
    void SetFade(float f) { m_fFade = f; }
    void SetOuterColor(float r, float g, float b);
    void SetInnerColor(float r, float g, float b);
    float GetRadius() const { return m_fRadius; }
    float GetSpeed() const { return m_fSpeed; }
    const float* GetOuterColor() const { return m_fOuter; }
    const RVMPARTICLEVERTEX* GetVertices() const { return m_Vertices; }

protected:
    void BuildVertices();

    RVMPARTICLEVERTEX m_Vertices[RVM_PARTICLE_VERTICES];
    float m_fPosition[3] = {0.0f, 0.0f, 0.0f};
    float m_fRadius = 0.0f;
    float m_fWidth = 25.0f;
    float m_fFade = -0.01f;
    float m_fSpeed = 5.0f;
    float m_fOuter[3] = {1.0f, 1.0f, 1.0f};
    float m_fOuterStart[3] = {1.0f, 1.0f, 1.0f};
    float m_fInner[3] = {1.0f, 1.0f, 1.0f};
    float m_fInnerStart[3] = {1.0f, 1.0f, 1.0f};
};

// The ring whose growth slows by a step each update (and turns into shrinking).
class CRVMDecayParticleEffect : public CRVMParticleEffect {
public:
    CRVMDecayParticleEffect();
    void Update() override;
    void Reset() override;
    void Stop() override;
    void SetParam(float fSpeed) override;

protected:
    float m_fSpeedStep = -0.1f;
    float m_fSavedSpeed;
};
