// The software Direct3D device: its state, state blocks and the draw entry points. The pixel work
// is in Rasterizer.
#pragma once
#include <atomic>
#include <memory>
#include <vector>

#include "platform/d3d/D3D.h"
#include "platform/d3d/Rasterizer.h"

class CDDSurface;

// Every state a state block may hold: render states and the texture stage states.
struct DEVICESTATES {
    DWORD dwRender[D3D_MAX_RENDERSTATES];
    DWORD dwStage[D3D_MAX_STAGES][D3D_MAX_TEXTURESTAGESTATES];
};

// One recorded state: a render state (stage < 0) or a texture stage state.
struct RECORDEDSTATE {
    int nStage;
    DWORD dwState;
    DWORD dwValue;
};

class CD3DDevice final : public IDirect3DDevice7 {
public:
    CD3DDevice(IDirect3D7* pD3D, CDDSurface* pTarget);

    HRESULT QueryInterface(REFIID riid, LPVOID* ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetCaps(D3DDEVICEDESC7* lpDesc) override;
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK lpCallback, LPVOID lpContext) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT GetDirect3D(IDirect3D7** lplpD3D) override;
    HRESULT SetRenderTarget(IDirectDrawSurface7* lpSurface, DWORD dwFlags) override;
    HRESULT GetRenderTarget(IDirectDrawSurface7** lplpSurface) override;
    HRESULT Clear(DWORD dwCount, D3DRECT* lpRects, DWORD dwFlags, D3DCOLOR dwColor, D3DVALUE dvZ,
                  DWORD dwStencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE dtsType, D3DMATRIX* lpMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE dtsType, D3DMATRIX* lpMatrix) override;
    HRESULT SetViewport(D3DVIEWPORT7* lpViewport) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE dtsType, D3DMATRIX* lpMatrix) override;
    HRESULT GetViewport(D3DVIEWPORT7* lpViewport) override;
    HRESULT SetMaterial(D3DMATERIAL7* lpMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL7* lpMaterial) override;
    HRESULT SetLight(DWORD dwIndex, D3DLIGHT7* lpLight) override;
    HRESULT GetLight(DWORD dwIndex, D3DLIGHT7* lpLight) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE dwState, DWORD dwValue) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE dwState, DWORD* lpdwValue) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* lpdwBlockHandle) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE dptType, DWORD dwVertexFormat, LPVOID lpVertices, DWORD dwVertexCount,
                          DWORD dwFlags) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE dptType, DWORD dwVertexFormat, LPVOID lpVertices,
                                 DWORD dwVertexCount, WORD* lpwIndices, DWORD dwIndexCount, DWORD dwFlags) override;
    HRESULT GetTexture(DWORD dwStage, IDirectDrawSurface7** lplpTexture) override;
    HRESULT SetTexture(DWORD dwStage, IDirectDrawSurface7* lpTexture) override;
    HRESULT GetTextureStageState(DWORD dwStage, D3DTEXTURESTAGESTATETYPE dwState, DWORD* lpdwValue) override;
    HRESULT SetTextureStageState(DWORD dwStage, D3DTEXTURESTAGESTATETYPE dwState, DWORD dwValue) override;
    HRESULT ValidateDevice(DWORD* lpdwPasses) override;
    HRESULT ApplyStateBlock(DWORD dwBlockHandle) override;
    HRESULT CaptureStateBlock(DWORD dwBlockHandle) override;
    HRESULT DeleteStateBlock(DWORD dwBlockHandle) override;
    HRESULT LightEnable(DWORD dwLightIndex, BOOL bEnable) override;
    HRESULT GetLightEnable(DWORD dwLightIndex, BOOL* pbEnable) override;

private:
    ~CD3DDevice() override;
    // The block a handle names, or null.
    std::vector<RECORDEDSTATE>* FindBlock(DWORD dwHandle);
    void Record(int nStage, DWORD dwState, DWORD dwValue);
    // World x view x projection, made again only when a draw asks for it after a change: the game
    // sets the world for each quad and puts it back after.
    const D3DMATRIX& CombinedMatrix();
    RECT ViewportRect() const;
    void ClearRect(const RECT& rc, DWORD dwFlags, D3DCOLOR dwColor, float fZ);
    bool DepthIsMoot(const RECT* pDraw) const;
    // Checks the stage set-up and fills the rasteriser's per-draw state.
    // bDepth false draws without the depth buffer.
    HRESULT PrepareDraw(bool bDepth);
    HRESULT Draw(D3DPRIMITIVETYPE dptType, DWORD dwVertexFormat, const void* pVertices, DWORD dwVertexCount,
                 const WORD* pIndices, DWORD dwIndexCount);

    std::atomic<ULONG> m_nRef{1};
    IDirect3D7* m_pD3D;       // referenced
    CDDSurface* m_pTarget;    // referenced
    CDDSurface* m_pZ;         // referenced; null without a Z buffer
    CDDSurface* m_pTexture[D3D_MAX_STAGES] = {};  // referenced
    DEVICESTATES m_states;
    D3DMATRIX m_mWorld, m_mView, m_mProj, m_mCombined;
    bool m_bCombinedStale = false;  // a transform has changed since m_mCombined was made
    D3DVIEWPORT7 m_viewport;
    D3DMATERIAL7 m_material = {};
    std::vector<D3DLIGHT7> m_lights;
    std::vector<BOOL> m_lightOn;
    bool m_bInScene = false;
    bool m_bRecording = false;
    std::vector<RECORDEDSTATE> m_recording;
    std::vector<std::unique_ptr<std::vector<RECORDEDSTATE>>> m_blocks;  // handle = index + 1
    CRasterizer m_raster;
};
