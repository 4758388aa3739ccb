// The glow before a laser fires: six particles fall from a ring into a core that swells over the
// charge time, then everything fades. It is drawn only and never hits anything.
#pragma once
#include "bullet/EBulletPart.h"
#include "bullet/SubtractiveRandom.h"
#include "engine/AccAdjust.h"

#define EBCHARGE_PARTICLES 6
#define EBCHARGE_PICTURE_PATH ".\\GameData\\System\\smoke2.bmp"
#define EBCHARGE_DURATION_MS 3000

struct CHARGEPARTICLE {
    float x, y, z;  // offset from the charge point
    float fSize;
    ACCINFO Speed;
    float fDistance;
    float fAngle;
};

class CEBCharge : public CEBulletPart {
public:
    enum { STATE_CHARGING = 0, STATE_FADING = 1 };

    CEBCharge();
    ~CEBCharge() override;

    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static IDirectDrawSurface7* GetSharedTexture();
    static CSubtractiveRandom& GetRandom();

    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual int Load(IDirect3DDevice7*) { return 1; }
    virtual void Release() { Stop(); }

    int m_nState = STATE_CHARGING;
    CHARGEPARTICLE m_Particles[EBCHARGE_PARTICLES];
    float m_fCoreSize = 0.0f;
    ACCINFO m_Core;
    float m_fMaxSize = 1.0f;
    float m_fInner = 50.0f;
    float m_fOuter = 100.0f;
    ACCINFO m_Template;
    DWORD m_dwDuration = EBCHARGE_DURATION_MS;
    DWORD m_dwStart = 0;
    BOOL m_bEnded = 0;

private:
    void Place(CHARGEPARTICLE& p);
};
