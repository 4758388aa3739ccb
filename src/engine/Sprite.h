// The unit of every draw in the 3D pass: a picture in a texture and a picture-sized quad centred on
// the origin (y up), drawn as a triangle fan under the transform the caller gives.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CSprite {
public:
    CSprite();
    CSprite(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, const RECT* prc);
    CSprite(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc);
    virtual ~CSprite() { Release(); }
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // The picture (or its rectangle) as a texture. Key flag 0: pure green of the source is
    // transparent; non-zero: source pixels of dwKeyColor (a raw value in the source surface's
    // format) are. Transparent pixels get alpha 0 and all others full alpha, and the texture's
    // colour key is the key converted to the texture format.
    int Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, const RECT* prc, int bKeyFlag = 0,
               DWORD dwKeyColor = 0);
    int CreateFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc);
    // Builds the flash picture of the source into pTarget (keyed on the flash copy's key). This
    // sprite must hold a texture; 0 otherwise.
    int CreateFromSurfaceKeyed(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface, CSprite* pTarget);
    int CreateFromFileKeyed(IDirect3DDevice7* lpDevice, const char* pszPath, CSprite* pTarget);
    int CreateFromFileRect(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, CSprite* pTarget);
    // Draws with world = pMatrix x the current world transform; texture, world and material are put
    // back afterwards and Z writes switched on. Always 1.
    int Draw(IDirect3DDevice7* lpDevice, const D3DMATRIX* pMatrix, int nUnused = 0, int nUnused2 = 0);
    int Release();
    int GetSize(int* pnWidth, int* pnHeight) const;
    void BuildVertices(float fCenterX, float fCenterY);
    void ResetTexCoords();
    void SetColorKey(DWORD dwColor);
    int ClearPicture();

    void GetTextureSize(int* pnWidth, int* pnHeight) const;
    void SetMaterial(const D3DMATERIAL7& mtrl) { m_Material = mtrl; }
    void GetMaterial(D3DMATERIAL7* pMtrl) const { *pMtrl = m_Material; }
    // The raw value of the texture's top-left pixel (0 without a texture).
    DWORD GetFirstPixel();
    int Fill(DWORD dwColor);

    IDirectDrawSurface7* GetTexture() const { return m_lpTexture; }
    const D3DVERTEX* GetVertices() const { return m_Vertices; }
    DWORD GetColorKey() const { return m_dwColorKey; }

private:
    IDirectDrawSurface7* m_lpTexture = nullptr;
    IDirectDrawSurface7* m_lpSecond = nullptr;
    DDSURFACEDESC2 m_ddsd;
    D3DMATERIAL7 m_Material;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nTexWidth = 0;
    int m_nTexHeight = 0;
    D3DVERTEX m_Vertices[4];
    DWORD m_dwColorKey = 0;
};
