// The boss's attendant craft: it enters from the right edge at a given row and brakes to a halt;
// on its owner's order it fires its eight missiles one after another at a target point, kicking
// back with each; on another it bursts in five staggered explosions and drops a power item. The
// heroine's gun scores on it and makes it flash but never destroys it. Its y is a screen row.
#pragma once
#include "bullet/EBMissile.h"
#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/ShowableSet.h"
#include "player/Item.h"

#define EBFAMILIAR_MISSILES 8
#define EBFAMILIAR_EXPLOSIONS 5
#define EBFAMILIAR_ITEM_KIND 2
#define EBFAMILIAR_DAMAGE_WAVE ".\\GameData\\System\\EnemyDamage.wav"

class CEBFamiliar : public CEBulletPart, public CScrollable {
public:
    enum { MODE_ENTERING = 0, MODE_FIRING = 1, MODE_EXPLODING = 2 };

    CEBFamiliar();
    ~CEBFamiliar() override;

    int Collide(CStage* pStage, CCrushable* pOther) override;
    // 10 points a power and a flash; it has no hit points to lose.
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    void GetQuad(D3DVECTOR* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override;
    // Keeps its five explosions taken and hands them the scroll.
    void SetPlayerScroll(int nScroll) override;
    void Stop() override;
    void Move() override;
    int Render2D(IDirectDrawSurface7* lpSurface) override;
    int Render3D(IDirect3DDevice7*) override { return 0; }

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { SetPlayerScroll((int)fStep); }

    // Its picture from the surface, its missiles' two frames; 0 when the picture cannot be made.
    int Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture, CDSurfaceEx* pMissilePair /*[2]*/);
    // Enters at the row y.
    void Launch(float y);
    // Starts the firing mode.
    void Retreat();
    void Explode();
    // The point its missiles are aimed at (x, screen row).
    void SetOrigin(float x, float y, float z) { m_vTarget = D3DVECTOR{{x}, {y}, {z}}; }
    void SetMode(int nMode) { m_nMode = nMode; }
    void SetTimer(int nValue, int nPeriod);
    BOOL IsExplosionDone();
    void Finish();
    // The picture's top-left corner before the kick-back.
    void GetDrawPos(float* pX, float* pY) const;

    int m_nMode = MODE_ENTERING;
    int m_nTimerValue = 0;
    int m_nTimerPeriod = 0;
    DWORD m_dwTimerStart = 0;
    BOOL m_bTimerBusy = 0;
    ACCINFO m_Entry;
    CDSurfaceEx m_Picture;
    CEBMissile m_Missiles[EBFAMILIAR_MISSILES];
    int m_nMissile = 0;
    int m_nFrameCount = 0;
    float m_fKickHeading = 3.14159f;
    float m_fKickDistance = 0.0f;
    float m_fViewOffset = 0.0f;
    D3DVECTOR m_vTarget{};
    CExpBombScrollRef m_Explosions[EBFAMILIAR_EXPLOSIONS];
    CItemPower m_Item;

private:
    void FireMissile();
};
