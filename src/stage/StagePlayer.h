// The heroine as the running stage drives her. The stage sits below the player library, so it
// knows her only through this interface; the player library's CPlayer implements it and the scene
// that owns the stage hands her over.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"

// Bits of her state word that the stage tests.
#define PLAYER_STATE_FLAT 0x1
#define PLAYER_STATE_UP 0x2
#define PLAYER_STATE_DOWN 0x4
#define PLAYER_STATE_JUMP 0x8
#define PLAYER_STATE_SLOPES 0x7
#define PLAYER_STATE_EMBEDDED 0x10000
#define PLAYER_STATE_ENTERING 0x1000000
#define PLAYER_STATE_MISS 0x2000000
#define PLAYER_STATE_PLAYBACK 0x4000000

// Sub-weapons, as the start menu chooses and the replay records them.
enum { SUBWEAPON_ION_SHIELD = 0, SUBWEAPON_HAWK_WIND = 1, SUBWEAPON_FIRE_STORM = 2, SUBWEAPON_GROUND_WIPER = 3 };

class IStagePlayer : public CCrushable, public CBoundable {
public:
    IStagePlayer() : CCrushable(CRUSH_PLAYER), CBoundable(0) {}

    // Pictures and tuning; 0 when a picture is missing.
    virtual int Load(IDirect3DDevice7* lpDevice) = 0;
    // Stage start and retry: places her off the left edge, starts recording or playback.
    virtual void Start(int bPlayback, int bResetScore) = 0;
    // Puts her out (the miss sequence).
    virtual void Miss() = 0;
    virtual void Damage(int nDamage) = 0;
    // The centre of her damage box, the point enemies aim at.
    virtual D3DVECTOR* GetDamageCenter(D3DVECTOR* pOut) = 0;
    // The integer rectangle and the four corners (top-left, top-right, bottom-right, bottom-left)
    // of her damage box; empty while she is missing.
    virtual void GetDamageRect(RECT* pOut) = 0;
    virtual void GetDamageQuad(D3DVECTOR* pOut /*[4]*/) = 0;
    // Life over maximum life, 0 to 1.
    virtual float GetLifeRatio() = 0;
    virtual void AddPoint(int nPoint, int nMode) = 0;
    virtual void SetPoint(int nShown, int nPoint) = 0;
    virtual int GetPoint() = 0;
    virtual void AddExp(int nExp, int bAnimate, int bSound) = 0;
    virtual void StartAerialMode() = 0;
    // After the stage's pair tests: advances the key recorder and settles the gun level.
    virtual void UpdateKeyRecord() = 0;
    // Jump and Down held together: she drops through RIDEON platforms.
    virtual int IsDropDown() = 0;
    // Marks the stage as finished for her (from the boss's fall until the stage ends): nothing may
    // put her out any more.
    virtual void SetStageFinished(int bFinished) = 0;
    virtual int IsStageFinished() = 0;
    // The sub-weapon for the next stage start (SUBWEAPON_*).
    virtual void SetSubWeapon(int nWeapon) = 0;
    virtual int GetSubWeapon() = 0;

    // 2D draw of her and her bike; fOffsetY is the main layer's vertical camera offset.
    virtual int Draw(IDirectDrawSurface7* lpSurface, float fOffsetY) = 0;
    virtual int DrawEffects(IDirectDrawSurface7* lpSurface) = 0;
    // The 3D pass of her weapons (inside the stage's scene).
    virtual int RenderWeapons(IDirect3DDevice7* lpDevice) = 0;
    virtual int DrawCockpit(IDirectDrawSurface7* lpSurface) = 0;

    // The main layer's vertical camera offset, written by the stage every tick.
    float m_fCameraOffsetY = 0.0f;
};
