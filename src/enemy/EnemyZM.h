// Boss Z.M.Zorva, the fast one. In its first phase it swoops across the screen firing aimed
// shots and lunges with a beam saber; in its second it dashes up and down, fires its rifle's laser
// with a recoil and charges across the screen; in its last it marks the height of each shielded
// charge with two danger beacons and swings the saber from both sides.
#pragma once
#include "bullet/EBLaserEx.h"
#include "bullet/EBNormal.h"
#include "bullet/EBSaber.h"
#include "bullet/EBSaberLight.h"
#include "enemy/EnemyBoss.h"
#include "player/Beacon.h"
#include "player/SWeapon1b.h"

#define ZM_HISPEED_NUM 4
#define ZM_FIRE_WAVE ".\\GameData\\System\\BeamRifle.wav"

class CEnemyPartZM : public CEnemyPartBoss {
public:
    // The second phase's sub-machine.
    enum {
        SUB_IDLE = 0,
        SUB_CHOOSE_DOWN = 1,
        SUB_CHOOSE_UP = 2,
        SUB_DASH_DOWN = 3,
        SUB_DASH_UP = 4,
        SUB_DASH_BOTTOM = 5,
        SUB_DASH_TOP = 6,
        SUB_FIRE_LOW = 7,
        SUB_FIRE_HIGH = 8,
        SUB_CHARGE = 9,
        SUB_WAIT = 10,
        SUB_WAITING = 11
    };

    CEnemyPartZM();
    ~CEnemyPartZM() override;

    void Place(CEnemyLabel* pLabel) override;
    void OnSpawn(CEnemyLabel*) override { m_SaberLight.Start(); }
    void OnTick(int nState, CEnemyLabel* pLabel) override;
    void PositionWeapons(CEnemyLabel* pLabel) override;
    int LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel) override;
    void StopWeapons() override;
    void FinishWeapons(CStage* pStage) override;
    // The charge's image takes double damage.
    void FilterDamage(int* pnDamage) override;
    // After the death, through the drawables: the rifle until the destruction fades, then the body.
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;

    // The rifle beside the body drawn at (x, y).
    void DrawGun(IDirectDrawSurface7* lpSurface);
    // The shield and, while it swings, the saber's glow.
    int DrawExtra(IDirect3DDevice7* lpDevice);

    BOOL IsFacingRight() const { return (m_dwDrawFlags & 1u) != 0; }
    void SetFacingRight(BOOL bRight);

    // ---- The moves, each as the boss's schedule calls it ----
    void FireHiSpeed(int i, CEnemyLabel* pLabel);
    void SwingSaber(int nDirection, float ox, float oy, CEnemyLabel* pLabel);
    void DashTo(float x, float y);
    void FireLaser(int nDirection);
    void PlaceDangerBeacons(CEnemyLabel* pLabel);
    void StartShieldCharge(int bFromRight);
    void SetReentryHeight(CEnemyLabel* pLabel);

    // ---- The three phases' ticks ----
    void TickPhase0(CEnemyLabel* pLabel);
    void TickPhase1(CEnemyLabel* pLabel);
    void TickPhase2(CEnemyLabel* pLabel);
    void StepSubMachine(CEnemyLabel* pLabel);
    void StepCharge(CEnemyLabel* pLabel);
    void StepRecoil();
    // The lunge of a swing; bTwoSided: the saber follows on the side the lunge goes.
    void StepLunge(BOOL bTwoSided);
    void Swoop(float y, float fSpeedY);
    void Glide();
    // Waits nTicks of the sub-machine's steps, then goes to nNext.
    void Wait(int nTicks, int nNext);

    int m_nSub = SUB_IDLE;
    int m_nSubNext = SUB_IDLE;
    int m_nWaitStart = 0;
    int m_nWaitLength = 0;
    BOOL m_bSubActive = 0;
    BOOL m_bFirstPass = 0;
    float m_fRecoilX = 0.0f;
    float m_fTargetY = 0.0f;
    int m_nChargeBase = 0;
    BOOL m_bFacingRight = 0;
    // Lunges and glides.
    ACCINFO m_AccLunge{};

    CEBLaserEx m_Laser;
    CEBSaber m_Saber;
    CEBMoveSaber m_MoveSaber[2];
    CEBSaberLight m_SaberLight;
    CEBHiSpeed m_HiSpeed[ZM_HISPEED_NUM];
    CSWeapon1b m_Shield;
    CBeacon m_Beacon[2];
    CDSurfaceEx m_Gun;
    int m_nGunWidth = 0;
    int m_nGunHeight = 0;
    // What the swing needs from its label while it lunges: the player scroll and the view offset.
    float m_fLabelOffset = 0.0f;
};

class CEnemyZM : public CEnemyBoss {
public:
    CEnemyZM();

    int CreateBody(CEnemyLabel* pLabel) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;
    int DrawExtra(int, CEnemyLabel* pLabel) override;

    static const BOSSINFO s_Info;
};
