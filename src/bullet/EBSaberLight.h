// The glow over a swinging boss's blade: two pictures shown in turn every 30 ms, drawn additively
// by the boss in its own draw step at a fixed place on its body picture. It is no bullet and joins
// no registry.
#pragma once
#include "engine/BmpIndex.h"
#include "engine/Sprite.h"
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"

#define EBSABERLIGHT_FRAMES 2
#define EBSABERLIGHT_PERIOD_MS 30

class CEBSaberLight {
public:
    CEBSaberLight() = default;
    virtual ~CEBSaberLight();
    CEBSaberLight(const CEBSaberLight&) = delete;
    CEBSaberLight& operator=(const CEBSaberLight&) = delete;

    // The two frames from the index's regions; 0 (and the glow stays dark) when either is missing.
    int Load(IDirect3DDevice7* lpDevice, CBmpIndex* pIndex, const char* pszFrame1, const char* pszFrame2);
    void Start();
    void Update();
    void Stop() { m_bStopped = 1; }
    // The glow at its place on the body picture drawn at (x, y) of the given size, mirrored with the
    // body; 0 when the draw fails.
    int Render(IDirect3DDevice7* lpDevice, int x, int y, int nImageWidth, int nImageHeight, int bMirror);
    void Release();
    // The glow's centre in screen pixels for that body draw.
    void GetCenter(int x, int y, int nImageWidth, int nImageHeight, int bMirror, float* pfX, float* pfY) const;

    CSprite m_Sprite[EBSABERLIGHT_FRAMES];
    D3DVERTEX m_Quad[4]{};
    int m_nPeriod = EBSABERLIGHT_PERIOD_MS;
    DWORD m_dwFrameStart = 0;
    BOOL m_bBusy = 0;
    int m_nFrames = EBSABERLIGHT_FRAMES;
    int m_nFrame = 0;
    BOOL m_bStopped = 1;
    BOOL m_bLoaded = 0;
};
