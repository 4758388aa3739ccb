// The heroine's miss: a scrolling explosion, the effect library's ring turned about x, and the
// flash ring of 16 particles that lasts five seconds.
#pragma once
#include "bullet/ExpBombScroll.h"
#include "bullet/ExpDamage.h"
#include "effect/RVMEffect.h"

class CExpPlayer {
public:
    CExpPlayer() = default;
    virtual ~CExpPlayer() = default;
    CExpPlayer(const CExpPlayer&) = delete;
    CExpPlayer& operator=(const CExpPlayer&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    // At her screen point (y down).
    void Start(float x, float y);
    void Update();
    void Stop();
    int Render(IDirect3DDevice7* lpDevice);
    void Release() {}

    CExpBombScroll m_Explosion;
    CRVMParticleEffect m_Effect;
    CExpDamageEx m_Ring;
    float m_fX = 0.0f, m_fY = 0.0f, m_fZ = 0.0f;
};
