// An emitter of big shots in up to 10 fixed directions at a steady rhythm, all directions at once
// or one a step in an interleaved order; the pattern may turn as it goes. It hits nothing and draws
// nothing itself: its 54 shots do both.
#pragma once
#include "bullet/EBBigBullet.h"
#include "bullet/EBulletPart.h"
#include "engine/AccAdjust.h"
#include "engine/Sprite.h"

#define EBROUND_DIRECTIONS 10
#define EBROUND_SHOTS 54
#define EBROUND_STEP_MS 100

class CEBRoundEx : public CEBulletPart {
public:
    typedef int (CEBRoundEx::*PFNSTEP)();

    CEBRoundEx();
    ~CEBRoundEx() override;

    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7*) override { return 1; }

    virtual void SetPosition(float x, float y, float z) { m_vPos = D3DVECTOR{{x}, {y}, {z}}; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    // Each shot's shared-picture load; 0 when one fails.
    virtual int LoadShots(IDirect3DDevice7* lpDevice);
    virtual void Release();

    // Its own picture for all its shots; 0 when the sprite cannot be made.
    int Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture);
    // At most 10 directions; null offsets are zero.
    void SetDirections(int nCount, const float* pAngles, const float* pOffsetsY);
    void SetSpeedInfo(const ACCINFO& speed);
    void SetCurve(CEBBigBullet::PFNCURVE pfnCurve);
    void SetStep(PFNSTEP pfnStep) { m_pfnStep = pfnStep; }
    // No more volleys; the shots in flight go on.
    void StopShooting() { m_bEmitting = 0; }

    // The steps: every direction at once, or one direction in the order 0, 2, 4, 6, 1, 3, 5, 7.
    int EmitAll();
    int EmitInterleaved();

    ACCINFO m_Turn;
    float m_fTurnAngle = 0.0f;
    int m_nCount = 0;
    float m_fAngles[EBROUND_DIRECTIONS] = {};
    float m_fOffsetsY[EBROUND_DIRECTIONS] = {};
    int m_nNextShot = 0;
    int m_nStepCounter = 0;
    DWORD m_dwInterval = 0;
    DWORD m_dwLastStep = 0;
    BOOL m_bStepFlag = 0;
    DWORD m_dwStepInterval = EBROUND_STEP_MS;
    BOOL m_bEmitting = 1;
    CEBBigBullet m_Shots[EBROUND_SHOTS];
    CSprite m_Sprite;
    PFNSTEP m_pfnStep = &CEBRoundEx::EmitAll;

private:
    void Shoot(int nDirection);
};
