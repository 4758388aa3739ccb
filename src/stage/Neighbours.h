// What the stage needs of the player and enemy classes, which live in their own libraries. Until
// those are built, the classes below are the least the stage calls on them: the names, fields and
// calls the stage uses, with no behaviour of their own beyond storing what they are given. The
// player and enemy libraries replace them. (The labels' explosions and star circles are reached
// through LabelEffects.h.)
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/StagePlayer.h"

class CStage;

// A live, hittable piece of a placed enemy.
class CEnemyPart : public CCrushable {
public:
    CEnemyPart() : CCrushable(CRUSH_ENEMY_PART) {}
    CEnemyPart* GetEnemyPart() override { return this; }
    D3DVECTOR* GetPos(D3DVECTOR* pOut) const
    {
        *pOut = m_vPos;
        return pOut;
    }

    // The four corners of its hit box in screen pixels (top-left, top-right, bottom-right,
    // bottom-left); the stand-in has none.
    virtual void GetHitQuad(D3DVECTOR* pOut /*[4]*/)
    {
        for (int i = 0; i < 4; i++)
            pOut[i] = D3DVECTOR{};
    }

    // Non-zero while the part is not in play.
    BOOL m_bInactive = 1;
    D3DVECTOR m_vPos{};
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
