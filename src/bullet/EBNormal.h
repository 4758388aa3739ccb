// The basic enemy shot: a small keyed picture that flies along an angle, optionally speeding up or
// slowing down to a limit, and that the heroine's gun can shoot down for points. The hi-speed
// shot is a pair of them fired one at a time or side by side.
#pragma once
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/ShowableSet.h"

#define EBNORMAL_HIT_POINTS 4
#define EBNORMAL_GRAPHICS 2
#define EBHISPEED_LOW_SPEED 8.0f

class CEBNormal : public CEBulletPart, public CScrollable {
public:
    CEBNormal();
    ~CEBNormal() override;

    // The two shared pictures and the shot speeds, once at start-up; 0 when a picture is missing.
    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static float GetDefaultSpeed();
    static float GetHiSpeed();

    int Collide(CStage* pStage, CCrushable* pOther) override;
    // Shot down by the heroine's gun: 10 points per hit point taken off.
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    void GetQuad(D3DVECTOR* pOut) override;
    // Swept back to where the shot was before its last step.
    void GetHitQuad(D3DVECTOR* pOut) override;
    void SetPlayerScroll(int) override {}
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render2D(IDirectDrawSurface7* lpSurface) override;
    int Render3D(IDirect3DDevice7*) override { return 1; }

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { SetPlayerScroll((int)fStep); }

    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual void SetAngle(float fAngle) { m_fAngle = fAngle; }
    // Clears acceleration, limits and flags too.
    virtual int SetSpeed(float fSpeed);
    // Picture 0 or 1; the size follows the picture and the explosion style becomes 4.
    virtual int SetGraphic(IDirect3DDevice7* lpDevice, int nGraphic);
    virtual void Release() {}

    int m_nGraphic = 0;
    ACCINFO m_Speed;
    float m_fAngle = 0.0f;
    int m_nHitPoints = 0;
    D3DVECTOR m_vPrev{};
    CExpBombScrollRef m_Explosion;
    float m_fViewOffset = 0.0f;

private:
    // A held explosion has begun its burst.
    BOOL IsExploding() const { return m_Explosion.m_pElement && !m_Explosion.m_pElement->m_bIdle; }
};

class CEBHiSpeed : public CEBulletPart {
public:
    enum { MODE_SINGLE = 0, MODE_PAIR = 1 };

    CEBHiSpeed();
    ~CEBHiSpeed() override;

    // Idle when the shots its mode fires are.
    BOOL IsIdle() override;
    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    virtual void SetSpeed(float fSpeed);
    virtual void SetPosition(const D3DVECTOR& v) { m_vShotPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vShotPos; }
    virtual void SetAngle(float fAngle);
    virtual int Setup(IDirect3DDevice7* lpDevice, int nMode);
    virtual void Release();
    void SetLowSpeed() { SetSpeed(EBHISPEED_LOW_SPEED); }

    CEBNormal m_Shots[2];
    D3DVECTOR m_vShotPos{};
    float m_fAngle = 0.0f;
    int m_nMode = MODE_SINGLE;
};
