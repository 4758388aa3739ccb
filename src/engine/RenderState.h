// Three blending set-ups every drawing routine can put the device into with one call. They are
// recorded once as state blocks after the device is set up and applied by number.
#pragma once
#include "platform/d3d/D3D.h"

class CRenderState {
public:
    enum { PRESET_NONE = 0, PRESET_OPAQUE = 1, PRESET_ADDITIVE = 2, MAX_PRESETS = 12 };

    virtual ~CRenderState() = default;

    static int CreatePresets(IDirect3DDevice7* lpDevice);
    static void Apply(IDirect3DDevice7* lpDevice, int nPreset);
    static void Capture(IDirect3DDevice7* lpDevice, int nPreset);
    static void DeletePresets(IDirect3DDevice7* lpDevice);
    static DWORD GetHandle(int nPreset);

private:
    static DWORD m_dwBlock[MAX_PRESETS];
};
