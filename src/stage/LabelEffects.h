// The effects that placed labels own: the scrolling explosions of a destroyable label and the
// star circle of a passer-by. The real classes live in the bullet library above this one; the
// labels see them only through these interfaces and get them from the factory hooks the scene
// installs (STAGEHOOKS). A label whose hook is null shows no effect.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"

// Offsets of a five-explosion burst around one point (explosion coordinates, y up); explosion i
// starts 125 x i ms after the first.
extern const D3DVECTOR g_ExpBombOffset[5];

// Explosion styles (the large one is the labels').
enum { EXPBOMB_STYLE_SMALL = 1, EXPBOMB_STYLE_LARGE = 2, EXPBOMB_STYLE_3 = 3, EXPBOMB_STYLE_SHOT = 4 };

class IScrollExplosion {
public:
    virtual ~IScrollExplosion() = default;
    virtual void SetStyle(int nStyle) = 0;
    // The per-instance load.
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    // Goes off once the delay (ms on game timer 0) has passed.
    virtual void Start(DWORD dwDelay) = 0;
    // Explosion coordinates: y up.
    virtual void SetPosition(float x, float y) = 0;
    virtual void SetDrift(const D3DVECTOR& vDrift) = 0;
    // Ends a waiting or running explosion at once.
    virtual void Stop() = 0;
    // 1 unless the burst runs.
    virtual BOOL IsIdle() = 0;
    // 1 unless started and not yet burnt out.
    virtual BOOL IsFinished() = 0;
};

class IStarCircle {
public:
    virtual ~IStarCircle() = default;
    // Where the ring bursts out, in the 3D pass's y-up space.
    virtual void SetPoint(float x, float y, float z) = 0;
    virtual void Start() = 0;
};
