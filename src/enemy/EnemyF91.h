// Boss F91, the stage-4 boss: it moves by vanishing and reappearing. Two flickering afterimages
// converge on its new place or fly apart from the old one, and nothing hurts it while they move.
// Phase 0 dashes to her height and fires a fan of eight missiles; phase 1 alternates vulcan bursts
// with recoil and a saber lunge that throws two spinning sabers, taking double damage; phase 2 bobs
// in place firing three-way hi-speed volleys while a standing afterimage fires the vulcan and a
// beam laser. It leaves between phases by its own teleport, and keeps its recoil in its body.
#pragma once
#include "bullet/EBBigBullet.h"
#include "bullet/EBLaserEx.h"
#include "bullet/EBMissile.h"
#include "bullet/EBNormal.h"
#include "bullet/EBSaber.h"
#include "bullet/EBSaberLight.h"
#include "bullet/EBVulcanEx.h"
#include "engine/Sprite.h"
#include "enemy/EnemyBoss.h"

#define F91_BOSS_NUMBER 3
#define F91_MISSILES 8
#define F91_HISPEEDS 12
#define F91_THROWN 2
#define F91_LASER_WAVE ".\\GameData\\System\\BeamRifle.wav"

// The afterimages: two points that converge on the body or fly apart from it, or one that stands
// where the body was; the blink hides them on every other update.
struct F91AFTERIMAGE {
    enum { NONE = 0, CONVERGING = 1, SCATTERING = 2, STANDING = 3, STANDING_LASER = 4 };

    int nState;
    D3DVECTOR vPoint[2];
    ACCINFO X[2];
    BOOL bBlink;  // 1: hidden
    DWORD dwBlinkPeriod;
    DWORD dwBlinkTime;
    BOOL bBlinkLock;

    // The points from x + 100 and x - 100 in to x.
    void Converge(float x, float y, float z);
    // The points from x out to x + 100 and x - 100.
    void Scatter(float x, float y, float z);
    BOOL IsMoving() const { return nState == CONVERGING || nState == SCATTERING; }
    // Each point moves by its record; both at rest end the move. Then the blink.
    void Step();
    // Inverts the blink once more than its period has passed, unless it is locked.
    void Blink();
    void StampBlink() { dwBlinkTime = CEnemy::Now(); }
};

class CEnemyF91;

class CEnemyPartF91 : public CEnemyPartBoss {
public:
    CEnemyPartF91();

    void Place(CEnemyLabel* pLabel) override;
    void OnSpawn(CEnemyLabel* pLabel) override;
    void OnTick(int nState, CEnemyLabel* pLabel) override;
    void OnPassEnd(int nState, CEnemyLabel* pLabel) override;
    void RunState(int nState, CEnemyLabel* pLabel) override;
    void PositionWeapons(CEnemyLabel* pLabel) override;
    int LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel) override;
    void StopWeapons() override;
    void FinishWeapons(CStage* pStage) override;
    void OnPhaseQueued(int nNext) override;
    void StartExit(CEnemyLabel* pLabel) override;

    // Hits while the afterimages move do nothing at all.
    int HitByPlayerBullet(CStage* pStage, CCrushable* pAttacker) override;
    // Double damage in phase 1, unless it is teleporting.
    void FilterDamage(int* pnDamage) override;

    // In at the right of the screen at the height, clamped to 100 .. 420.
    void TeleportIn(float h);
    // In at her height plus the offset.
    void TeleportInAt(CEnemyLabel* pLabel, float fOffset);
    void TeleportOut();
    void StandAfterimage(int nState);
    // Dash speed along the dash angle to her height, at most 130 px up or down.
    void DashToPlayer(CEnemyLabel* pLabel);
    void FireMissile(CEnemyLabel* pLabel, int k);
    void FireHiSpeed(CEnemyLabel* pLabel, int i);
    void FireVulcan(ACCINFO* pRecoil);
    void FireLaser(const D3DVECTOR& p, int d);
    void ThrowSabers(CEnemyLabel* pLabel);
    // The recoil step after the ticks of a pass, let go once it is over.
    void UpdateBounce();
    CEnemyF91* GetF91Kind();

    F91AFTERIMAGE m_After{};
    BOOL m_bVolley = 0;
    int m_nVolleyBase = 0;
    int m_nLastMissile = 0;
    float m_fLean = 0.0f;
    float m_fLeanAngle = 0.0f;
    BOOL m_bThrow = 0;
    // The second record (the standing afterimage's slide and recoil), the third (the lunge) and
    // the fourth (the standing afterimage's height, idle).
    ACCINFO m_Slide{};
    ACCINFO m_Lunge{};
    ACCINFO m_StandY{};
    ACCBOUNCE m_Bounce{};

    CEBMissile m_Missiles[F91_MISSILES];
    CEBSaber m_Saber;
    CEBBigBullet m_Thrown[F91_THROWN];
    CEBSaberLight m_SaberLight;
    CEBLaserEx m_Laser;
    CEBHiSpeed m_HiSpeed[F91_HISPEEDS];
    CEBVulcanEx m_Vulcan;

private:
    void Tick0(CEnemyLabel* pLabel);
    void Tick1(CEnemyLabel* pLabel);
    void Tick2(CEnemyLabel* pLabel);
    void Move1(CEnemyLabel* pLabel);
    void Move2();
    void Standing2();
    void Volleys2(CEnemyLabel* pLabel);
};

class CEnemyF91 : public CEnemyBoss {
public:
    CEnemyF91();
    ~CEnemyF91() override;

    int CreateBody(CEnemyLabel* pLabel) override;
    int Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY) override;
    int DrawExtra(int nValue, CEnemyLabel* pLabel) override;

    CEnemyPartF91* GetF91Body(CEnemyLabel* pLabel) { return static_cast<CEnemyPartF91*>(GetBody(pLabel)); }

    CSprite m_ThrownSprites[F91_THROWN];
    CDSurfaceEx m_MissilePictures[2];

private:
    // Image n of the kind with its top-left at (x, y), clipped, with the body's draw flags.
    void DrawImage(IDirectDrawSurface7* lpTarget, CEnemyPartF91& b, int nImage, int x, int y);
    // An afterimage point: the current image's size sets the corner, image n's its own size.
    void DrawAfterimage(IDirectDrawSurface7* lpTarget, CEnemyPartF91& b, int nImage, const D3DVECTOR& p);
};
