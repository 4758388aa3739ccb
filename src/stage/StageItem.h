// A pick-up item as the stage's own objects hold one: a passer-by carries the items it throws when
// the heroine knocks it over. The items live in the player library above this one; the scene hands
// their factory over through STAGEHOOKS::CreateItem, and whoever creates an item owns it.
#pragma once
#include "platform/d3d/D3D.h"

class IStageItem {
public:
    virtual ~IStageItem() = default;
    // The kind of the item table (0 to 10).
    virtual void SetKind(int nKind) = 0;
    // Screen pixels, y down.
    virtual void SetPosition(const D3DVECTOR& vPos) = 0;
    // The scroll the item is carried back with, per tick.
    virtual void SetScroll(float fScroll) = 0;
    // Throws it at fSpeed along fAngle (radians, y down: negative angles rise).
    virtual void Launch(float fSpeed, float fAngle) = 0;
};
