// The bike's effects: the two-frame exhaust flame behind it, and the puff of smoke when she lands.
// The heroine owns both and places them every tick; both draw additively in the 3D pass.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "player/SmokeSW.h"

#define BACKFIRE_PATH ".\\GameData\\System\\BackFire.bmp"
#define LANDSMOKE_PATH ".\\GameData\\System\\smoke2.bmp"
#define BACKFIRE_POSES 4
#define LANDSMOKE_PUFFS 16

class CBackFire {
public:
    enum { POSE_UP = 0, POSE_FLAT = 1, POSE_DOWN = 2, POSE_JUMP = 3 };

    CBackFire();
    virtual ~CBackFire() { Release(); }

    // The pose offsets, then the eight frames cut from BackFire.bmp; 0 when the picture is missing.
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Start();
    void Stop() { m_bStopped = 1; }
    void Update();
    int Draw(IDirect3DDevice7* lpDevice);

    void SetPose(int nPose) { m_nPose = nPose; }
    // Her position less (100, 160), y negated: the top-left of her picture frame.
    void SetOrigin(float x, float y, float z) { m_vOrigin = D3DVECTOR{x, y, z}; }
    int GetPose() const { return m_nPose; }
    int GetFrame() const { return m_nFrame; }
    int IsStopped() const { return m_bStopped; }
    const D3DVECTOR& GetOffset(int nPose) const { return m_vOffset[nPose]; }
    const D3DVECTOR& GetOrigin() const { return m_vOrigin; }

private:
    int DrawPose(IDirect3DDevice7* lpDevice, int nPose);

    D3DLVERTEX m_Quad[2][4];  // ground poses 100 x 80, the jump 120 x 120
    IDirectDrawSurface7* m_lpTexture[BACKFIRE_POSES][2] = {};
    D3DVECTOR m_vOffset[BACKFIRE_POSES];
    D3DVECTOR m_vOrigin{};
    int m_nPose = POSE_FLAT;
    int m_nFrame = 0;
    DWORD m_dwFrameTime = 30;
    DWORD m_dwStamp = 0;
    int m_bStopped = 1;
};

// The landing smoke: a handful of grey puffs thrown back and up from where the wheels touch,
// drifting as they fade.
class CLandSmokeSW {
public:
    virtual ~CLandSmokeSW() { Release(); }

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // The size of a puff (1: the smoke picture's own size), how many puffs, their drift per update
    // (x, y), how far they spread (at 100 the slowest leave at 3 px per update, the others up to
    // twice as fast, so they show beyond her bike) and the fan they leave over, in radians.
    void SetScale(float f) { m_fScale = f; }
    void SetCount(float f) { m_nCount = (int)f; }
    void SetDrift(float x, float y) { m_fDrift[0] = x; m_fDrift[1] = y; }
    void SetSpread(float f) { m_fSpread = f; }
    void SetRotation(float f) { m_fRotation = f; }
    void SetPosition(float x, float y) { m_vPos = D3DVECTOR{x, y, 0.0f}; }
    void Start();
    void Stop();
    void Update();
    int Draw(IDirect3DDevice7* lpDevice);

    int IsStopped() const { return m_bStopped; }
    int CountShown() const;
    const CSmokeSW& GetPuff(int i) const { return m_Puffs[i]; }

private:
    CSmokeSW m_Puffs[LANDSMOKE_PUFFS];
    float m_fVel[LANDSMOKE_PUFFS][2] = {};
    IDirectDrawSurface7* m_lpTexture = nullptr;
    float m_fTextureHalf = 16.0f;  // half the smoke picture's width
    float m_fScale = 1.0f;
    int m_nCount = 10;
    float m_fDrift[2] = {-0.02f, -0.1f};
    float m_fSpread = 100.0f;
    float m_fRotation = 1.0466667f;
    D3DVECTOR m_vPos{};
    int m_bStopped = 1;
};
