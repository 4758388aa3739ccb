// A picture that may be larger than one surface, cut into a row-major grid of CDSurface tiles
// (256 x 256 at most each by default) and drawn as one picture.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/DSurface.h"

#define BIGSURFACE_TILE_DEFAULT 256

class CBigSurface {
public:
    CBigSurface() = default;
    virtual ~CBigSurface() { ClearTiles(); }
    CBigSurface(const CBigSurface&) = delete;
    CBigSurface& operator=(const CBigSurface&) = delete;

    int Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag);
    int LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prc, int nMemFlag);
    int LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, int nMemFlag);
    // From the flash copy of the source, keyed with the flash key.
    int CreateBlended(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag);
    int LoadBlendedFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prc, int nMemFlag);
    int LoadBlendedFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, int nMemFlag);
    void ClearTiles();
    void SetTileSize(int nWidth, int nHeight);
    void GetSize(int* pnWidth, int* pnHeight) const;
    void FillColor(float fRed, float fGreen, float fBlue);
    void SetColorKey(DWORD dwKey);
    void SetColorKeyGreen();
    // Draws the picture with its top-left corner at (x, y), clipped to the screen. Always 1.
    int Draw(IDirectDrawSurface7* lpDest, int x, int y, int nUnused, DWORD dwFlags, int nUnused2);

    int GetColumns() const { return m_nColumns; }
    int GetRows() const { return m_nRows; }
    const rvm::vector<CDSurface*>& GetTiles() const { return m_Tiles; }

private:
    rvm::vector<CDSurface*> m_Tiles;
    int m_nTileWidth = BIGSURFACE_TILE_DEFAULT;
    int m_nTileHeight = BIGSURFACE_TILE_DEFAULT;
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_bKeyed = 0;
};
