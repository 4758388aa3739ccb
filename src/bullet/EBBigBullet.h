// A large additive shot drawn in 3D that the heroine's gun cannot destroy. It flies like the
// normal shot, and its drawn size follows a scale function of the updates since it was fired.
#pragma once
#include "bullet/EBulletPart.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "engine/Sprite.h"

#define EBBIGBULLET_PICTURE_PATH ".\\GameData\\System\\EnemyShot3.bmp"

class CEBBigBullet : public CEBulletPart, public CScrollable {
public:
    typedef float (*PFNCURVE)(int nFrame);

    CEBBigBullet();
    ~CEBBigBullet() override;

    // The shared picture and the big bullet's speed, once at start-up; 0 when the picture is missing.
    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static CSprite& GetSharedSprite();
    static float GetDefaultSpeed();
    // The default scale: 1.0 at every frame.
    static float DefaultCurve(int nFrame);

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByPlayerBullet(CStage*, CCrushable*) override { return 0; }
    void GetQuad(D3DVECTOR* pOut) override;
    // Lowered by the view offset and 16 px.
    void GetHitQuad(D3DVECTOR* pOut) override;
    void SetPlayerScroll(int) override {}
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { SetPlayerScroll((int)fStep); }

    // The shared picture: 0 when there is none.
    virtual int Load(IDirect3DDevice7* lpDevice);
    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual void SetAngle(float fAngle) { m_fAngle = fAngle; }
    // All nine words are copied.
    virtual void SetSpeedInfo(const ACCINFO* pInfo) { m_Speed = *pInfo; }
    virtual void SetCurve(PFNCURVE pfnCurve) { m_pfnCurve = pfnCurve; }
    virtual void Release() {}
    // An owner's own picture instead of the shared one; nothing for null.
    void SetSprite(IDirect3DDevice7* lpDevice, CSprite* pSprite);

    float m_fAngle = 0.0f;
    ACCINFO m_Speed;
    PFNCURVE m_pfnCurve = DefaultCurve;
    int m_nFrameCount = 0;
    float m_fViewOffset = 0.0f;
    BOOL m_bExternalSprite = 0;
    CSprite* m_pSprite = nullptr;
};
