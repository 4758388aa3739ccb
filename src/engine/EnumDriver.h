// The holder of everything the program draws with: DirectDraw, the primary surface and back
// buffer, the clipper, Direct3D, the Z buffer and the device; it also writes the device report
// (debug.txt) while it sets them up.
#pragma once
#include "platform/win/WinTypes.h"
#include "platform/ddraw/DDraw.h"
#include "platform/d3d/D3D.h"

class CEnumDriver {
public:
    // Request flags for the device search.
    enum { REQ_SOFTWARE = 1, REQ_GUID = 2, REQ_DEPTHMATCH = 4 };
    // Result flags of the device search.
    enum { FOUND = 1, FOUND_HW = 2, FOUND_TNL = 4 };
    // Texture restrictions.
    enum { TEX_POW2 = 1, TEX_SQUARE = 2 };

    virtual ~CEnumDriver();

    static CEnumDriver* GetInstance();
    static void DeleteInstance();

    int CreateDirectDraw(HWND hWnd, int nWidth, int nHeight, int nBpp, int bFullScreen);

    IDirectDraw7* GetDirectDraw();
    IDirectDrawSurface7* GetPrimary();
    IDirectDrawSurface7* GetBackBuffer();
    IDirect3D7* GetDirect3D();
    IDirect3DDevice7* GetDevice();
    IDirectDrawSurface7* GetZBuffer();
    DDPIXELFORMAT* GetAlphaTextureFormat();

    int IsDDReady() const { return m_bDDReady; }
    int IsD3DReady() const { return m_bD3DReady; }

private:
    CEnumDriver();
    int CreateDirect3D();

    int m_bDDReady = 0;
    int m_bD3DReady = 0;
};

int InitDirectDraw(HINSTANCE hInstance, HWND hWnd, int bFullScreen);
int InitDirect3D(HWND hWnd);

// The published constant name of a DirectDraw or Direct3D error code, or "不明".
const char* GetErrorName(HRESULT hr);
