// The homing missile: drawn in 3D, it turns toward its target point by a fixed rate each update
// until the target lies within one turn, then flies straight at it. It bursts when it passes the
// target, when its lifetime runs out, when it touches the heroine or when her gun brings it down;
// only the last drops the item it may carry.
#pragma once
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"
#include "engine/Sprite.h"
#include "player/Item.h"

#define EBHOMING_PICTURE_PATH ".\\GameData\\System\\MSZ006Missile.bmp"
#define EBHOMING_LIFETIME_MS 2000
#define EBHOMING_FRAME_MS 20
#define EBHOMING_BONUS 100

class CEBHoming : public CEBulletPart, public CScrollable {
public:
    enum { PHASE_LAUNCH = 0, PHASE_HOMING = 1 };

    CEBHoming();
    ~CEBHoming() override;

    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static CSprite& GetSharedSprite();

    // Its hits on the heroine are settled from her side (HitByPlayer), once per pair test.
    int Collide(CStage*, CCrushable*) override { return 0; }
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    // The heroine decides; a hit scores 100 and bursts the missile at once.
    int HitByPlayer(CStage* pStage, CCrushable* pPlayer) override;
    void GetQuad(D3DVECTOR* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { SetPlayerScroll((int)fStep); }

    virtual int Load(IDirect3DDevice7* lpDevice);
    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual void Release();
    using CEBulletPart::Fire;
    // Launches along the launch heading toward the target (y up).
    virtual int Fire(const D3DVECTOR* pTarget);

    // An owner's two animation frames instead of the shared sprite.
    int SetSprites(IDirect3DDevice7* lpDevice, CSprite* pPair /*[2]*/);
    // The speed record, replaced whole.
    void SetAccInfo(const ACCINFO& speed) { m_Speed = speed; }
    // Bursts where it is; the item goes out only when asked and carried.
    void Explode(BOOL bDropItem);

    int m_nPhase = PHASE_HOMING;
    ACCINFO m_Launch;
    ACCINFO m_Speed;
    ACCINFO m_Magnitude;
    float m_fHeading = 0.0f;
    float m_fLaunchHeading = 0.0f;
    float m_fDrawHeading = 0.0f;
    int m_nHitPoints = 0;
    CExpBombScrollRef m_Explosion;
    int m_nExplosionStyle = 2;
    D3DVECTOR m_vTarget{};
    float m_fTurnRate = 0.1f;
    DWORD m_dwLifetime = 0;
    DWORD m_dwFireTime = 0;
    BOOL m_bExpired = 0;
    int m_nLifetimeSetting = EBHOMING_LIFETIME_MS;
    float m_fTurnStep = 0.0f;
    float m_fVelocityX = 0.0f;
    float m_fVelocityY = 0.0f;
    BOOL m_bItem = 0;
    CItemGun m_Item;
    float m_fViewOffset = 0.0f;
    BOOL m_bExternal = 0;
    CSprite* m_pPair = nullptr;
    int m_nFramePeriod = EBHOMING_FRAME_MS;
    DWORD m_dwFrameStart = 0;
    BOOL m_bBusy = 0;
    int m_nFrame = 0;

private:
    // Steps 2a-2e of homing: 1 when the missile has passed its target.
    BOOL Home();
};
