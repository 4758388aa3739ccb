// The heroine's hit and miss effects: the spray of stars and the flash fountain when she is hit,
// the explosion, particle burst and flash ring when she is out. They live in the bullet library,
// above this one, with the other explosions; the heroine drives them through this interface and
// the scene that owns her hands the implementation over (CPlayer::SetEffects). Without one she
// draws no effects.
#pragma once
#include "platform/d3d/D3D.h"

class IPlayerEffects {
public:
    virtual ~IPlayerEffects() = default;

    // The miss effect's load and release (the hit effects' pictures are shared images).
    virtual int LoadMiss(IDirect3DDevice7* lpDevice) = 0;
    virtual void ReleaseMiss() = 0;

    // The hit effects. The stars take their origin and the fountain its angle and point each
    // tick before the stars' update, in the 3D pass's y-up space.
    virtual void PlaceDamage(float x, float y, float z) = 0;
    virtual void PlaceDamageFlash(float fAngle, float x, float y, float z) = 0;
    virtual void StartDamage() = 0;  // both hit effects
    virtual void UpdateDamage() = 0; // the stars; the fountain steps with the draw registry
    virtual void StopDamage() = 0;
    virtual int RenderDamage(IDirect3DDevice7* lpDevice) = 0;

    // The miss sequence at her screen point (x, y down).
    virtual void StartMiss(float x, float y) = 0;
    virtual void UpdateMiss() = 0;
    virtual void StopMiss() = 0;
    virtual int RenderMiss(IDirect3DDevice7* lpDevice) = 0;
};
