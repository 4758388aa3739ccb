// Construction of the Direct3D object behind IDirectDraw7::QueryInterface(IID_IDirect3D7), and the
// fixed description of our one software device.
#pragma once
#include "platform/d3d/D3D.h"

// A new Direct3D object on the DirectDraw object (it keeps a reference to it); null on failure.
IDirect3D7* CreateDirect3DObject(IDirectDraw7* pDD);

// The description EnumDevices and GetCaps report: software rasterisation, no hardware transform
// and lighting, 16-bit render and Z depths, textures 1 x 1 to 2048 x 2048, every blend factor.
void FillSoftwareDeviceDesc(D3DDEVICEDESC7* pDesc);

// Extra triangle texture capabilities the device reports (D3DPTEXTURECAPS_POW2 and/or
// D3DPTEXTURECAPS_SQUAREONLY), so that callers' power-of-two and square paths can be exercised in
// tests. Process-wide; 0 by default.
void SetDeviceExtraTextureCaps(DWORD dwCaps);
