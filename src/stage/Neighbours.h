// What the stage needs of the player, enemy and enemy-bullet classes, which live in libraries above
// it: small interfaces that those classes implement. (The labels' explosions and star circles are
// reached through LabelEffects.h.)
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/StagePlayer.h"

class CStage;

// What the stage, the heroine and her guns ask of a live, hittable piece of a placed enemy: the
// enemy library's parts implement it.
class IEnemyPart : public CCrushable {
public:
    IEnemyPart() : CCrushable(CRUSH_ENEMY_PART) {}
    IEnemyPart* GetEnemyPart() override { return this; }
    // Where it is hit and drawn (screen pixels, y down, before the view offset).
    virtual D3DVECTOR* GetPos(D3DVECTOR* pOut) = 0;
    // The four corners of its hit box in screen pixels (top-left, top-right, bottom-right,
    // bottom-left).
    virtual void GetHitQuad(D3DVECTOR* pOut /*[4]*/) = 0;
    // Non-zero while the part is not in play.
    virtual BOOL IsDead() = 0;
};

// What a player bullet asks of an enemy bullet that it meets: the enemy-bullet base implements it.
class IEnemyBullet : public CCrushable {
public:
    IEnemyBullet() : CCrushable(CRUSH_ENEMY_BULLET) {}
    // The four corners of its hit box in screen pixels, as GetHitQuad of the parts.
    virtual void GetHitQuad(D3DVECTOR* pOut /*[4]*/) = 0;
};

// What a label asks of a player bullet that hits it: the player library's guns implement it.
class IPlayerBullet : public CCrushable {
public:
    IPlayerBullet() : CCrushable(CRUSH_PLAYER_BULLET) {}
    // The power of one bullet, taken off a label's durability.
    virtual int GetPower() = 0;
};
