// A development overlay: coloured markers and lines in ten layers, recorded during the update pass
// while the debug display is on and drawn by the running stage in its 3D pass.
#pragma once
#include "rvm/rvm_stl.h"
#include "platform/d3d/D3D.h"

#define DEBUGPRIM_LAYERS 10
#define DEBUGPRIM_START_MASK 384  // layers 7 and 8

struct DEBUGPOINT {
    float fSize;
    float x, y, z;
    DWORD dwColor;
};

struct DEBUGLINE {
    float fSize;
    float x0, y0, z0;
    float x1, y1, z1;
    DWORD dwColor;
};

class CDebugPrim {
public:
    virtual ~CDebugPrim() = default;
    static CDebugPrim* GetInstance();
    static void DeleteInstance();

    void ClearAll();
    // The layer is the highest set bit of nLayerBit; bits 10 and above (and 0) add nothing.
    // Coordinates are screen pixels.
    void AddPoint(int nLayerBit, const D3DVECTOR& pos, DWORD dwColor, float fSize);
    void AddLine(int nLayerBit, const D3DVECTOR& from, const D3DVECTOR& to, DWORD dwColor, float fSize);
    void AddQuad(int nLayerBit, const D3DVECTOR* pCorners /*[4]*/, DWORD dwColor, float fSize);
    // Draws the enabled layers; blend states are put back on every path. 0 when a draw fails.
    int Render(IDirect3DDevice7* lpDevice);

    int m_nLayerMask = -1;
    const rvm::vector<DEBUGPOINT>& GetPoints(int nLayer) const { return m_Points[nLayer]; }
    const rvm::vector<DEBUGLINE>& GetLines(int nLayer) const { return m_Lines[nLayer]; }
    // The layer a bit selects, or -1.
    static int LayerOf(int nLayerBit);

private:
    CDebugPrim() = default;
    bool DrawMarker(IDirect3DDevice7* lpDevice, float x, float y, float z, DWORD dwColor, float fSize);

    rvm::vector<DEBUGPOINT> m_Points[DEBUGPRIM_LAYERS];
    rvm::vector<DEBUGLINE> m_Lines[DEBUGPRIM_LAYERS];
    static CDebugPrim* s_pInstance;
};
