#include "stage/BoundableSet.h"

#include "engine/Log.h"

namespace {

CBoundable* s_pTable[BOUNDABLE_MAX];

} // namespace

CBoundable::~CBoundable()
{
    CBoundableSet::Unregister(this);
}

void CBoundableSet::Register(CBoundable* pObj)
{
    if (!pObj || pObj->m_nIndex >= 0)
        return;
    for (int i = 0; i < BOUNDABLE_MAX; i++) {
        if (!s_pTable[i]) {
            s_pTable[i] = pObj;
            pObj->m_nIndex = i;
            return;
        }
    }
}

void CBoundableSet::Unregister(CBoundable* pObj)
{
    if (!pObj || pObj->m_nIndex < 0)
        return;
    if (pObj->m_nIndex < BOUNDABLE_MAX && s_pTable[pObj->m_nIndex] == pObj) {
        s_pTable[pObj->m_nIndex] = nullptr;
        pObj->m_nIndex = -1;
        return;
    }
    DebugPrintf("判定リストのインデックスが不正です。\n");
    for (CBoundable*& pSlot : s_pTable) {
        if (pSlot == pObj) {
            pSlot = nullptr;
            pObj->m_nIndex = -1;
            return;
        }
    }
}

void CBoundableSet::UpdateAll()
{
    for (CBoundable* pObj : s_pTable) {
        if (pObj)
            pObj->Update();
    }
}

void CBoundableSet::MoveAll()
{
    for (CBoundable* pObj : s_pTable) {
        if (pObj)
            pObj->Move();
    }
}

void CBoundableSet::CollideTerrainAll(CStage* pStage, BOUNDCOLLIDEPROC pfnCollide)
{
    if (!pfnCollide)
        return;
    for (CBoundable* pObj : s_pTable) {
        if (pObj)
            pfnCollide(pStage, pObj);
    }
}

int CBoundableSet::DrawDebugAll(IDirectDrawSurface7* lpSurface)
{
    for (CBoundable* pObj : s_pTable) {
        if (pObj)
            pObj->DrawDebug(lpSurface);
    }
    return 1;
}

void CBoundableSet::Clear()
{
    for (CBoundable*& pSlot : s_pTable) {
        if (pSlot)
            pSlot->m_nIndex = -1;
        pSlot = nullptr;
    }
}

CBoundable* CBoundableSet::GetAt(int nSlot)
{
    return (nSlot >= 0 && nSlot < BOUNDABLE_MAX) ? s_pTable[nSlot] : nullptr;
}
