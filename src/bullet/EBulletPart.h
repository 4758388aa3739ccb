// The base of every enemy projectile and weapon object. Owners keep them as members or fixed
// arrays, take an idle one, set it up and fire it; firing puts it in the hit registry (category 0)
// and the render registry, through which the stage moves it once per update and draws it once per
// frame. Positions are y-up: the screen row of a point is -y.
#pragma once
#include "bullet/Render.h"
#include "engine/Geometry.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"
#include "stage/Flashable.h"
#include "stage/Neighbours.h"

#define EBULLET_DAMAGE_WAVE ".\\GameData\\System\\EnemyDamage.wav"

class CEBulletPart;
class CScrollable;
typedef IRender<CEBulletPart*> IEBulletRender;

class CEBulletPart : public IEnemyBullet, public IEBulletRender {
public:
    CEBulletPart() = default;
    ~CEBulletPart() override = default;

    // Hits on the heroine go through the classes that can hit her.
    int Collide(CStage*, CCrushable*) override { return 0; }

    virtual BOOL IsIdle() { return m_bIdle; }
    // The picture box and the hit box (half as wide and half as high), screen rows, corners
    // truncated toward zero: top-left, top-right, bottom-right, bottom-left.
    virtual void GetQuad(D3DVECTOR* pOut /*[4]*/);
    virtual CELLMASK* GetRect(CELLMASK* pOut);
    void GetHitQuad(D3DVECTOR* pOut /*[4]*/) override;
    virtual CELLMASK* GetHitRect(CELLMASK* pOut);
    virtual void SetPlayerScroll(int nScroll) { m_nPlayerScroll = nScroll; }
    // Joins the render registry: the slot, or -1 when it is full.
    virtual int Fire() { return AddRender(); }
    virtual void Stop() { RemoveRender(); }

    int Render2D(IDirectDrawSurface7*) override { return 0; }
    int Render3D(IDirect3DDevice7*) override { return 0; }

    D3DVECTOR m_vPos{};
    int m_nPlayerScroll = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    // Set to 1 by every concrete class's constructor.
    BOOL m_bIdle = 1;
    CFlashable m_Flash;

protected:
    // What every firing shares once the shot has its start state: into the hit registry, into the
    // scroll registry as pScroll (itself; null for a shot that does not scroll), busy, and into the
    // render registry. A full render registry would leave a shot that hurts but is never seen: it
    // stays idle instead. The render slot, or -1.
    int JoinRegistries(CScrollable* pScroll);
    // What every stop shares: idle and out of the three registries.
    void LeaveRegistries(CScrollable* pScroll);
};

// A box of half sizes (fHw, fHh) around (x, -y), each corner truncated toward zero.
void MakeTruncQuad(D3DVECTOR* pOut /*[4]*/, float x, float y, float fHw, float fHh);
// A box of half sizes (fHw, fHh) around the screen point (x, fRow), each corner truncated toward
// zero; the corners in the order of every quad.
void MakeTruncRowQuad(D3DVECTOR* pOut /*[4]*/, float x, float fRow, float fHw, float fHh);
// Stretches a hit quad (screen rows) to reach the point (x, fRow).
void SweepQuad(D3DVECTOR* pQuad /*[4]*/, float x, float fRow);
// Every row of the quad moved down by dy.
void LowerQuad(D3DVECTOR* pQuad /*[4]*/, float dy);
CELLMASK* GetQuadCellMask(CELLMASK* pOut, const D3DVECTOR* pQuad /*[4]*/);

// The stage's three passes over the registry, in ascending slot order; objects added above the
// current slot during a pass are visited in it.
void MoveEnemyBullets();
int DrawEnemyBullets2D(IDirectDrawSurface7* lpSurface);
int DrawEnemyBullets3D(IDirect3DDevice7* lpDevice);

// A player bullet's hit on a shootable weapon, once the bullet has confirmed it: 10 points per hit
// point taken (never more than the weapon has left; summed wide so a huge power cannot overflow),
// the hit points lowered, the flash and the damage sound. The bullet's answer; 0 when it declines.
int TakePlayerShot(CStage* pStage, CEBulletPart* pSelf, CCrushable* pBullet, int* pnHitPoints);
// A sprite drawn at (x, y, z) (y up) over everything before it: the depth test is off for the draw.
void DrawSpriteAt(IDirect3DDevice7* lpDevice, class CSprite& sprite, float x, float y, float z);
