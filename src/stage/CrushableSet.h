// The hit registry: every object that can hit or be hit in a stage stands in one global table
// under its category while it is live. Once per update CollideAll pairs the categories in a fixed
// order and each pair is settled by double dispatch: Collide on one object calls the other's
// handler for the caller's own category. The registry does no geometry itself.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"

class CStage;
class IEnemyPart;
class CObjectLabel;

#define CRUSHABLE_MAX 256
#define CRUSH_CATEGORY_NUM 6

enum {
    CRUSH_ENEMY_BULLET = 0,
    CRUSH_ENEMY_PART = 1,
    CRUSH_PLAYER_BULLET = 2,
    CRUSH_PLAYER = 3,
    CRUSH_LABEL = 4,
    CRUSH_ITEM = 5,
};

class CCrushable {
public:
    explicit CCrushable(int nCategory) : m_nCategory(nCategory) {}
    CCrushable(const CCrushable&) = delete;
    CCrushable& operator=(const CCrushable&) = delete;
    // Leaves the registry, so a destroyed object is never visited.
    virtual ~CCrushable();

    virtual IEnemyPart* GetEnemyPart() { return nullptr; }
    virtual CObjectLabel* GetObjectLabel() { return nullptr; }
    // Calls pOther's handler for this object's category; the handler's result.
    virtual int Collide(CStage* pStage, CCrushable* pOther);
    virtual int HitByEnemyBullet(CStage*, CCrushable*) { return 0; }
    virtual int HitByEnemyPart(CStage*, CCrushable*) { return 0; }
    virtual int HitByPlayerBullet(CStage*, CCrushable*) { return 0; }
    virtual int HitByPlayer(CStage*, CCrushable*) { return 0; }
    virtual int HitByLabel(CStage*, CCrushable*) { return 0; }
    virtual int HitByItem(CStage*, CCrushable*) { return 0; }

    // The handler for a hit by an object of nCategory (0 when the category is unknown).
    int HitBy(int nCategory, CStage* pStage, CCrushable* pOther);

    int m_nIndex = -1;
    const int m_nCategory;
};

class CCrushableSet {
public:
    virtual ~CCrushableSet() = default;
    // Nothing for an object already registered, of a bad category, or when its category is full.
    static void Register(CCrushable* pObj);
    static void Unregister(CCrushable* pObj);
    // Objects may register or unregister inside the handlers: every slot is read afresh.
    static void CollideAll(CStage* pStage);
    // The nearest target to x (parts before labels, ahead before behind); (6000, 240, 0) when none.
    static D3DVECTOR* FindTarget(D3DVECTOR* pOut, float fX);
    static void Clear();
    static CCrushable* GetAt(int nCategory, int nSlot);
};
