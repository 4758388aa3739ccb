#include "stage/CrushableSet.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "engine/Log.h"
#include "stage/Neighbours.h"
#include "stage/ObjectLabel.h"

namespace {

CCrushable* s_pTable[CRUSH_CATEGORY_NUM][CRUSHABLE_MAX];

// Which slots of each category are taken, kept beside the table so that the pair tests step from
// one live slot to the next instead of reading every empty one.
constexpr int kLiveWords = CRUSHABLE_MAX / 64;
static_assert(CRUSHABLE_MAX % 64 == 0);
uint64_t s_nLive[CRUSH_CATEGORY_NUM][kLiveWords];

bool IsValidCategory(int nCategory)
{
    return nCategory >= 0 && nCategory < CRUSH_CATEGORY_NUM;
}

void SetSlot(int nCategory, int nSlot, CCrushable* pObj)
{
    s_pTable[nCategory][nSlot] = pObj;
    const uint64_t nBit = uint64_t{1} << (nSlot % 64);
    if (pObj)
        s_nLive[nCategory][nSlot / 64] |= nBit;
    else
        s_nLive[nCategory][nSlot / 64] &= ~nBit;
}

// The first taken slot at or after nFrom, read from the map as it is now; CRUSHABLE_MAX when none.
// Stepping with this visits exactly the slots a scan of every slot would find taken, handlers
// that register or unregister objects on the way included.
int NextLive(int nCategory, int nFrom)
{
    for (int w = nFrom / 64; w < kLiveWords; w++) {
        uint64_t nBits = s_nLive[nCategory][w];
        if (w == nFrom / 64)
            nBits &= ~uint64_t{0} << (nFrom % 64);
        if (nBits)
            return w * 64 + __builtin_ctzll(nBits);
    }
    return CRUSHABLE_MAX;
}

// The first free slot; CRUSHABLE_MAX when the category is full.
int FirstFree(int nCategory)
{
    for (int w = 0; w < kLiveWords; w++) {
        const uint64_t nFree = ~s_nLive[nCategory][w];
        if (nFree)
            return w * 64 + __builtin_ctzll(nFree);
    }
    return CRUSHABLE_MAX;
}

// Both slots of a pair are read when the pair is tested, so an object that left inside a handler
// is not tested again in the same pass. An empty outer slot stays empty until a handler runs, and
// none runs without it: the pass over the inner slots ends there.
void CollideCategory(CStage* pStage, int nOuterCat, int nOuterSlot, int nInnerCat, bool bInnerFirst,
                     bool bBothWays)
{
    for (int j = NextLive(nInnerCat, 0); j < CRUSHABLE_MAX; j = NextLive(nInnerCat, j + 1)) {
        CCrushable* pOuter = s_pTable[nOuterCat][nOuterSlot];
        CCrushable* pInner = s_pTable[nInnerCat][j];
        if (!pOuter)
            return;
        if (bInnerFirst) {
            pInner->Collide(pStage, pOuter);
            if (bBothWays)
                pOuter->Collide(pStage, pInner);
        } else {
            pOuter->Collide(pStage, pInner);
            if (bBothWays)
                pInner->Collide(pStage, pOuter);
        }
    }
}

struct TargetPick {
    float fAheadDist = FLT_MAX;
    float fBehindDist = FLT_MAX;
    D3DVECTOR vAhead{};
    D3DVECTOR vBehind{};
    bool bAhead = false;
    bool bBehind = false;

    void Offer(const D3DVECTOR& v, float fX)
    {
        float fDist = std::fabs(v.x - fX);
        if (v.x >= fX) {
            if (fDist < fAheadDist) {
                fAheadDist = fDist;
                vAhead = v;
                bAhead = true;
            }
        } else if (fDist < fBehindDist) {
            fBehindDist = fDist;
            vBehind = v;
            bBehind = true;
        }
    }
};

} // namespace

CCrushable::~CCrushable()
{
    CCrushableSet::Unregister(this);
}

int CCrushable::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitBy(m_nCategory, pStage, this) : 0;
}

int CCrushable::HitBy(int nCategory, CStage* pStage, CCrushable* pOther)
{
    switch (nCategory) {
    case CRUSH_ENEMY_BULLET: return HitByEnemyBullet(pStage, pOther);
    case CRUSH_ENEMY_PART: return HitByEnemyPart(pStage, pOther);
    case CRUSH_PLAYER_BULLET: return HitByPlayerBullet(pStage, pOther);
    case CRUSH_PLAYER: return HitByPlayer(pStage, pOther);
    case CRUSH_LABEL: return HitByLabel(pStage, pOther);
    case CRUSH_ITEM: return HitByItem(pStage, pOther);
    default: return 0;
    }
}

void CCrushableSet::Register(CCrushable* pObj)
{
    if (!pObj || pObj->m_nIndex >= 0 || !IsValidCategory(pObj->m_nCategory))
        return;
    const int nSlot = FirstFree(pObj->m_nCategory);
    if (nSlot < CRUSHABLE_MAX) {
        SetSlot(pObj->m_nCategory, nSlot, pObj);
        pObj->m_nIndex = nSlot;
    }
}

void CCrushableSet::Unregister(CCrushable* pObj)
{
    if (!pObj || pObj->m_nIndex < 0 || !IsValidCategory(pObj->m_nCategory))
        return;
    const int nCategory = pObj->m_nCategory;
    CCrushable** pSlots = s_pTable[nCategory];
    if (pObj->m_nIndex < CRUSHABLE_MAX && pSlots[pObj->m_nIndex] == pObj) {
        SetSlot(nCategory, pObj->m_nIndex, nullptr);
        pObj->m_nIndex = -1;
        return;
    }
    DebugPrintf("判定リストのインデックスが不正です。\n");
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        if (pSlots[i] == pObj) {
            SetSlot(nCategory, i, nullptr);
            pObj->m_nIndex = -1;
            return;
        }
    }
}

void CCrushableSet::CollideAll(CStage* pStage)
{
    // An empty outer slot tests nothing, so only taken ones are visited (read afresh after each).
    for (int i = NextLive(CRUSH_PLAYER_BULLET, 0); i < CRUSHABLE_MAX; i = NextLive(CRUSH_PLAYER_BULLET, i + 1)) {
        CollideCategory(pStage, CRUSH_PLAYER_BULLET, i, CRUSH_ENEMY_PART, false, false);
        CollideCategory(pStage, CRUSH_PLAYER_BULLET, i, CRUSH_ENEMY_BULLET, false, false);
        CollideCategory(pStage, CRUSH_PLAYER_BULLET, i, CRUSH_LABEL, true, false);
    }
    for (int i = NextLive(CRUSH_ENEMY_BULLET, 0); i < CRUSHABLE_MAX; i = NextLive(CRUSH_ENEMY_BULLET, i + 1)) {
        CollideCategory(pStage, CRUSH_ENEMY_BULLET, i, CRUSH_PLAYER, false, true);
        CollideCategory(pStage, CRUSH_ENEMY_BULLET, i, CRUSH_LABEL, false, false);
    }
    // Only the heroine's own slot meets parts, items and labels.
    CollideCategory(pStage, CRUSH_PLAYER, 0, CRUSH_ENEMY_PART, true, false);
    CollideCategory(pStage, CRUSH_PLAYER, 0, CRUSH_ITEM, false, true);
    CollideCategory(pStage, CRUSH_PLAYER, 0, CRUSH_LABEL, false, false);
}

D3DVECTOR* CCrushableSet::FindTarget(D3DVECTOR* pOut, float fX)
{
    TargetPick parts;
    for (int i = NextLive(CRUSH_ENEMY_PART, 0); i < CRUSHABLE_MAX; i = NextLive(CRUSH_ENEMY_PART, i + 1)) {
        IEnemyPart* pPart = s_pTable[CRUSH_ENEMY_PART][i]->GetEnemyPart();
        if (!pPart || pPart->IsDead())
            continue;
        D3DVECTOR v;
        pPart->GetPos(&v);
        parts.Offer(v, fX);
    }
    TargetPick labels;
    for (int i = NextLive(CRUSH_LABEL, 0); i < CRUSHABLE_MAX; i = NextLive(CRUSH_LABEL, i + 1)) {
        CObjectLabel* pLabel = s_pTable[CRUSH_LABEL][i]->GetObjectLabel();
        if (!pLabel || pLabel->IsFinished())
            continue;
        HITQUAD q;
        pLabel->GetHitQuad(&q);
        D3DVECTOR v;
        v.x = (q.v[0].x + q.v[2].x) / 2.0f;
        v.y = (q.v[0].y + q.v[2].y) / 2.0f;
        v.z = 0.0f;
        labels.Offer(v, fX);
    }
    if (parts.bAhead)
        *pOut = parts.vAhead;
    else if (labels.bAhead)
        *pOut = labels.vAhead;
    else if (parts.bBehind)
        *pOut = parts.vBehind;
    else if (labels.bBehind)
        *pOut = labels.vBehind;
    else {
        pOut->x = 6000.0f;
        pOut->y = 240.0f;
        pOut->z = 0.0f;
    }
    return pOut;
}

void CCrushableSet::Clear()
{
    for (auto& slots : s_pTable) {
        for (CCrushable*& pObj : slots) {
            if (pObj)
                pObj->m_nIndex = -1;
            pObj = nullptr;
        }
    }
    for (auto& words : s_nLive) {
        for (uint64_t& nWord : words)
            nWord = 0;
    }
}

CCrushable* CCrushableSet::GetAt(int nCategory, int nSlot)
{
    if (!IsValidCategory(nCategory) || nSlot < 0 || nSlot >= CRUSHABLE_MAX)
        return nullptr;
    return s_pTable[nCategory][nSlot];
}
