// The Direct3D utility calls the game uses: matrix builders, the error-string lookup, and the
// DirectX file interface the device set-up probes for.
#pragma once
#include "platform/d3d/D3D.h"

struct D3DXMATRIX : public D3DMATRIX {};
typedef D3DXMATRIX* LPD3DXMATRIX;

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut);
// Left-handed orthographic projection of a w x h view volume between zn and zf:
// [2/w 0 0 0; 0 2/h 0 0; 0 0 1/(zf-zn) 0; 0 0 zn/(zn-zf) 1].
D3DXMATRIX* D3DXMatrixOrtho(D3DXMATRIX* pOut, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float fAngle);
// pOut = pM1 x pM2 (pM1 applied first); pOut may alias either operand.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DMATRIX* pM1, const D3DMATRIX* pM2);

// The published constant name of a DirectDraw, Direct3D or retained-mode result code, or null for
// a code we do not know.
const char* DXGetErrorName(HRESULT hr);
// Writes the code's name (or "Unknown error 0x%08X") into the buffer, always terminated. Fails with
// E_INVALIDARG only for a null or empty buffer.
HRESULT D3DXGetErrorStringA(HRESULT hr, LPSTR pBuffer, UINT cchBuffer);

// The DirectX file interface: only created and released.
class IDirectXFile : public IUnknown {};
typedef IDirectXFile* LPDIRECTXFILE;
HRESULT DirectXFileCreate(IDirectXFile** lplpDirectXFile);
