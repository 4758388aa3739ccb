// Boss ZZ, the heavy gunship that ends stage 3. It mostly holds the right side: first it bobs and
// launches pairs of homing missiles; then it dashes to her height, fans out missiles and fires its
// twin beam gun, whose recoil decides when it may change phase; last it adds aimed volleys, six
// waves of homing pairs, two shouted words rising over it and a charged heavy laser.
#pragma once
#include "bullet/EBCharge.h"
#include "bullet/EBHoming.h"
#include "bullet/EBLaserEx.h"
#include "bullet/EBMissile.h"
#include "bullet/EBNormal.h"
#include "bullet/EBVulcanEx.h"
#include "engine/Sprite.h"
#include "engine/TextSurface.h"
#include "enemy/EnemyBoss.h"

#define ZZ_BOSS_NUMBER 2
#define ZZ_LAUNCHER_WAVE ".\\GameData\\System\\HighMegaLauncher.wav"

enum {
    ZZ_HISPEEDS = 7,
    ZZ_MISSILE_GROUPS = 3,
    ZZ_GROUP_SIZE = 4,
    ZZ_MISSILES = ZZ_MISSILE_GROUPS * ZZ_GROUP_SIZE,
    ZZ_VULCANS = 2,
    ZZ_HOMINGS = 12,
    ZZ_HOMING_PAIRS = ZZ_HOMINGS / 2,
    ZZ_TEXTS = 2,
    ZZ_DASH_TARGETS = 4,
};

// The two motion records of the missile of one index within a group.
struct ZZMISSILEPATH {
    ACCINFO Horz;
    ACCINFO Vert;
};

// What each homing pair of the full attack is launched with: its speed record, turn rate and
// lifetime.
struct ZZHOMINGPAIR {
    float fSpeed;
    float fAcceleration;
    float fTurnDegrees;
    int nLifetimeMs;
};

struct ZZPOINT {
    int x, y;
};

extern const ZZMISSILEPATH g_ZZMissilePaths[ZZ_GROUP_SIZE];
// Launch headings of the twelve homing missiles: A in the first phase, B in the full attack.
extern const float g_fZZHomingAnglesA[ZZ_HOMINGS];
extern const float g_fZZHomingAnglesB[ZZ_HOMINGS];
extern const ZZHOMINGPAIR g_ZZHomingPairs[ZZ_HOMING_PAIRS];
// The dashes of the full attack: three within the cycle and the one that ends it.
extern const ZZPOINT g_ZZDashTargets[ZZ_DASH_TARGETS];

class CEnemyZZ;

class CEnemyPartZZ : public CEnemyPartBoss {
public:
    void Place(CEnemyLabel* pLabel) override;
    void OnSpawn(CEnemyLabel*) override { SetFacing(1); }
    void OnTick(int nState, CEnemyLabel* pLabel) override;
    int LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel) override;
    void StopWeapons() override;
    void FinishWeapons(CStage* pStage) override;

    // The attacks, as each phase's schedule calls them.
    void FireHomingPair(CEnemyLabel* pLabel, int nPair);
    void FireMissile(CEnemyLabel* pLabel, int nGroup, int nIndex);
    void FireAimedShot(CEnemyLabel* pLabel, int i);
    void FireVulcans();
    // The vulcans fire and the kind's recoil sequencer kicks the body back along x.
    void StartRecoil();
    void PlaceVulcans();
    // Speeds up towards the point and brakes to rest on it; a point it stands on starts nothing.
    void DashTo(int x, int y);
    void DashToPlayerHeight(CEnemyLabel* pLabel);
    // The x record brakes the body to rest at fTargetX from the speed fSpeed.
    void GlideTo(float fTargetX, float fSpeed);
    void SetHomingAngles(const float* pAngles);

    // Where the recoil brings the body back to, and where it holds it in the full attack.
    float m_fRememberedX = 0.0f;

    CEBHiSpeed m_HiSpeed[ZZ_HISPEEDS];
    CEBCharge m_Charge;
    CEBLaserEx m_Laser;
    CTextSurface m_Texts[ZZ_TEXTS];
    CEBMissile m_Missiles[ZZ_MISSILES];
    CEBVulcanEx m_Vulcans[ZZ_VULCANS];
    CEBHoming m_Homings[ZZ_HOMINGS];

private:
    void TickBob(CEnemyLabel* pLabel);
    void TickDash(CEnemyLabel* pLabel);
    void TickFullAttack(CEnemyLabel* pLabel);
    // State 1's phase check: when the recoil has carried the body back past where it fired.
    BOOL EndRecoil(CEnemyLabel* pLabel);
    ACCBOUNCE& Recoil();
    CEnemyZZ* Kind();
};

class CEnemyZZ : public CEnemyBoss {
public:
    CEnemyZZ();
    ~CEnemyZZ() override;

    int CreateBody(CEnemyLabel* pLabel) override;

    // The homing missiles' two frames and the missiles' two frames, cut from the index.
    int LoadMissilePictures(IDirect3DDevice7* lpDevice);

    CSprite m_HomingFrames[2];
    CDSurfaceEx m_MissileFrames[2];
};
