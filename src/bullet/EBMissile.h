// The missile an enemy launches in volleys: a keyed picture whose horizontal and vertical speeds
// each follow their own motion record, so it can fly back, fan out and turn forwards. One hit of
// the heroine's gun brings it down.
#pragma once
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/ShowableSet.h"

#define EBMISSILE_REGION "EnemyMissile.bmp"
#define EBMISSILE_KILL_BONUS 100
#define EBMISSILE_FRAME_MS 20

class CEBMissile : public CEBulletPart, public CScrollable {
public:
    CEBMissile();
    ~CEBMissile() override;

    // The shared picture, once at start-up; 0 when it is missing.
    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static CDSurfaceEx& GetSharedPicture();

    int Collide(CStage* pStage, CCrushable* pOther) override;
    // 10 points per hit point taken off, and 100 more for the kill.
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    void GetQuad(D3DVECTOR* pOut) override;
    // Swept back to where the missile was before its last step, then lowered by the view offset and
    // 16 px.
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
    // The shared picture's size; 0 when there is none.
    virtual int Load(IDirect3DDevice7* lpDevice);
    // Lets go of an owner's pictures.
    virtual void Release();

    // Both records are copied whole.
    void SetAccInfo(const ACCINFO& horz, const ACCINFO& vert);
    // Splits the speed along the angle (rows grow downwards, so a positive angle flies down); both
    // axes take the record's acceleration as it is, and lose limits and flags.
    void SetAngleSpeed(float fAngle, const ACCINFO& speed);
    // An owner's two animation frames (ppPair[0], ppPair[1]) instead of the shared picture; 1 when
    // both are there.
    int SetSurfaces(IDirect3DDevice7* lpDevice, CDSurfaceEx* pPair /*[2]*/);

    ACCINFO m_Horz;
    ACCINFO m_Vert;
    D3DVECTOR m_vPrev{};
    int m_nHitPoints = 0;
    float m_fScale = 1.0f;
    CExpBombScrollRef m_Explosion;
    int m_nExplosionStyle = 2;
    // Below 1 the picture is mirrored left-right.
    int m_nFacing = 1;
    float m_fViewOffset = 0.0f;
    BOOL m_bSmallBox = 0;
    BOOL m_bExternal = 0;
    CDSurfaceEx* m_pPair = nullptr;
    int m_nFramePeriod = EBMISSILE_FRAME_MS;
    DWORD m_dwFrameStart = 0;
    BOOL m_bBusy = 0;
    int m_nFrame = 0;

private:
    BOOL IsExploding() const { return m_Explosion.m_pElement && !m_Explosion.m_pElement->m_bIdle; }
};
