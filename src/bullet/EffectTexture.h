// Shared effect textures and quads: each cell of a sheet picture is centred in a black texture of
// the next power-of-two size, so a quad with u and v from 0 to 1 shows the cell at its size in the
// middle, and black adds nothing under the additive blend.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

// The cell (x, y, w, h) of the sheet as a texture; null on failure.
IDirectDrawSurface7* CreateCellTexture(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSheet, int x, int y, int w,
                                       int h);
// Cuts nCols x nRows cells of w x h from the sheet into ppOut[row * nCols + col]. 0 when the sheet
// does not load (the textures stay null).
int LoadCellTextures(IDirect3DDevice7* lpDevice, const char* pszPath, int w, int h, int nCols, int nRows,
                     IDirectDrawSurface7** ppOut);
void ReleaseTextures(IDirectDrawSurface7** ppTextures, int nCount);

// A square fan of lit vertices, half size fHalf, centred on 0, y up, u and v 0 to 1.
void MakeLitQuad(D3DLVERTEX* pOut /*[4]*/, float fHalf, D3DCOLOR dwColor);
void SetQuadColor(D3DLVERTEX* pQuad /*[4]*/, D3DCOLOR dwColor);
// Grey of a brightness limited to 0..1 (alpha 255).
D3DCOLOR GreyOf(float fBrightness);
// The quad with world = mLocal x the saved world; the texture is bound first. A null texture
// draws nothing and counts as drawn. 0 when the draw failed.
int DrawLitQuad(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTexture, const D3DLVERTEX* pQuad,
                const D3DMATRIX& mLocal, const D3DMATRIX& mSaved);
