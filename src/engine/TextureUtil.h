// Textures for the 3D pass: power-of-two textures in the device's alpha texture format made from a
// picture, the texture size a picture needs, the picture-sized quad and a point projection.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

// Set by the first texture creation on a device that accepts only square textures.
extern int g_bSquareTextureOnly;

// Each side rounded up to a power of two (1 at least); both the larger when square-only.
void GetTextureSize(int nWidth, int nHeight, int* pnTexWidth, int* pnTexHeight);
// The next power of two at or above n (1 for n below 2).
int NextPowerOfTwo(int n);
// A texture holding the picture (or its rectangle) at its top-left corner; with bKey set it gets
// the pure-green source colour key. Null on failure.
IDirectDrawSurface7* CreateTextureFromSurface(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSurface,
                                              const RECT* prc, int bKey);
IDirectDrawSurface7* CreateTextureFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc);
// Four lit vertices of a w x h quad centred on the origin, y up, uv covering the picture part of
// its power-of-two texture: top-left, top-right, bottom-right, bottom-left.
void MakeQuadVertices(float fWidth, float fHeight, D3DLVERTEX* pVertices /*[4]*/);
// The point through the matrix (row vector) divided by w; E_INVALIDARG when |w| < 0.01.
HRESULT ProjectPoint(D3DVECTOR* pOut, const D3DVECTOR* pPoint, const D3DMATRIX* pMatrix);
// An empty texture of that size in the device's alpha texture format (managed on hardware devices,
// system memory otherwise); null when there is no alpha format or creation fails.
IDirectDrawSurface7* CreateTextureSurface(IDirect3DDevice7* lpDevice, int nTexWidth, int nTexHeight);
// True for the hardware devices, whose textures Direct3D manages.
bool IsHardwareDevice(IDirect3DDevice7* lpDevice);
