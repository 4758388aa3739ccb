// The Hawk Wind: four missiles fan out from the launch point, speed up, turn onto one target chosen
// once, and fly on straight when they come level with it or the homing time is over. Each hits
// once for MISSILE_DAMAGE and is gone; a missile that never hits flies until the next launch. A
// player bullet of the hit registry while it flies; it works in the 3D pass's y-up space.
#pragma once
#include "player/PBullet.h"
#include "player/SmokeSW.h"
#include "player/WeaponDraw.h"

#define HAWK_MISSILES 4
#define HAWK_TRAILS 3
#define STAMP_NUM 256
#define STAR_TEXTURE_PATH ".\\GameData\\System\\StarY32.bmp"

class CSWeapon2 : public CPBullet {
public:
    struct STAMP {
        D3DVECTOR vPos;
        float fAngle;
    };
    struct TRAIL {
        D3DVECTOR vPos;
        CSmokeSW Puff;
    };
    struct MISSILE {
        TRAIL Trail[HAWK_TRAILS];  // 0 is the head
        float fAngle;
        float fSpeed;
        float fAcc;
        int nState;
        int bHit;
        float fSpacing;
        float fDistance;
        STAMP Stamps[STAMP_NUM];
        int nHead;
    };

    CSWeapon2();
    ~CSWeapon2() override;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // nVoice 0..8 picks the voice by nVoice mod 3; any other value plays none.
    void Start(int nVoice);
    void Stop();
    void Update();
    int Draw(IDirect3DDevice7* lpDevice);

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByEnemyBullet(CStage* pStage, CCrushable* pBullet) override;
    int HitByEnemyPart(CStage* pStage, CCrushable* pPart) override;
    int HitByLabel(CStage* pStage, CCrushable* pLabel) override;
    int GetPower() override { return m_nDamage; }

    int IsFinished() const { return m_bFinished; }
    int GetPhase() const { return m_nPhase; }
    const MISSILE& GetMissile(int i) const { return m_Missiles[i]; }
    const D3DVECTOR& GetTarget() const { return m_vTarget; }
    // A missile's box in screen pixels: left, top, right, bottom.
    void GetMissileBox(int i, float* pBox /*[4]*/) const;

    D3DVECTOR m_vOrigin{};  // written by the heroine before each launch

private:
    void ResetMissiles();
    void StepMissile(MISSILE& m, DWORD dwNow);
    void PlaceTrails(MISSILE& m);
    int TestHit(CCrushable* pOther, int nFamily);

    IDirectDrawSurface7* m_lpStar = nullptr;
    int m_nPhase = 0;
    MISSILE m_Missiles[HAWK_MISSILES];
    float m_fMissileSpeed = 0.0f;
    float m_fMissileAcc = 1.0f;
    DWORD m_dwAccTime = 200;
    DWORD m_dwHomingTime = 1800;
    int m_nDamage = 2;
    DWORD m_dwLaunch = 0;
    D3DVECTOR m_vLaunch{};
    D3DVECTOR m_vTarget{};
    int m_bFinished = 1;
};
