// One placement of an enemy code in layer E of a stage map. The stage drives it like any placed
// object; everything beyond bookkeeping goes to its kind, which acts on the label's parts.
#pragma once
#include <new>

#include "enemy/EnemyPart.h"
#include "stage/ObjectLabel.h"

class CEnemy;

// The label's part arrays, one per family of part classes.
enum {
    ENEMY_FAMILY_A = 0,
    ENEMY_FAMILY_B = 1,  // kinds B, F and G
    ENEMY_FAMILY_C = 2,
    ENEMY_FAMILY_J = 3,
    ENEMY_FAMILY_L = 4,
    ENEMY_FAMILY_M = 5,
    ENEMY_FAMILY_N = 6,
    ENEMY_FAMILY_P = 7,
    ENEMY_FAMILY_ZZ = 8,
    ENEMY_FAMILY_F91 = 9,
    ENEMY_FAMILY_MM = 10,
    ENEMY_FAMILY_ZM = 11,
    ENEMY_FAMILY_NM = 12,
    ENEMY_FAMILY_NUM = 13
};

// One block of parts from the enemy heap.
struct ENEMYPARTS {
    void* pBlock = nullptr;
    int nCount = 0;
    size_t nStride = 0;
    // The first part's CEnemyPart; the others follow at nStride bytes.
    CEnemyPart* pFirst = nullptr;
    void (*pfnDestroy)(void* pBlock, int nCount) = nullptr;

    CEnemyPart* At(int i) const
    {
        return reinterpret_cast<CEnemyPart*>(reinterpret_cast<char*>(pFirst) + (size_t)i * nStride);
    }
};

class CEnemyLabel : public CObjectLabel {
public:
    CEnemyLabel();
    ~CEnemyLabel() override;

    BOOL IsFinished() override { return m_bFinished; }
    void SetTarget(const D3DVECTOR* pPos) override;
    void OnTimeOut() override;
    int Setup(IDirect3DDevice7* lpDevice, const char* pszValue) override;
    void Release() override;
    void Spawn() override;
    void Update() override;
    void Stop() override;
    int Draw2D(IDirectDrawSurface7* lpTarget) override;
    int Draw3D(IDirect3DDevice7* lpDevice) override;
    // Enemy labels are not destroyable terrain.
    HITQUAD* GetHitQuad(HITQUAD* pOut) override
    {
        pOut->Clear();
        return pOut;
    }

    void CreateParts(int nValue);
    // (target x, target y + the vertical offset, target z).
    D3DVECTOR* GetTargetPos(D3DVECTOR* pOut);
    float GetPlayerScroll() { return GetSpeed(); }

    // Makes nCount parts of class T in one enemy-heap block for the family; 0 when the heap has no
    // room.
    template <class T> int MakeParts(int nFamily, int nCount);
    void DestroyParts(int nFamily);
    template <class T> T* GetParts(int nFamily) const
    {
        return static_cast<T*>(m_Parts[nFamily].pFirst);
    }

    CEnemy* m_pEnemy = nullptr;
    ENEMYPARTS m_Parts[ENEMY_FAMILY_NUM];
    D3DVECTOR m_vTarget{};

private:
    CEnemy* GetKind();
};

void* AllocEnemyPartBlock(size_t nBytes);
void FreeEnemyPartBlock(void* p);

template <class T> int CEnemyLabel::MakeParts(int nFamily, int nCount)
{
    DestroyParts(nFamily);
    void* pBlock = AllocEnemyPartBlock(sizeof(T) * (size_t)nCount);
    if (!pBlock)
        return 0;
    T* pParts = static_cast<T*>(pBlock);
    for (int i = 0; i < nCount; i++)
        new (&pParts[i]) T;
    ENEMYPARTS& parts = m_Parts[nFamily];
    parts.pBlock = pBlock;
    parts.nCount = nCount;
    parts.nStride = sizeof(T);
    parts.pFirst = pParts;
    parts.pfnDestroy = [](void* p, int n) {
        T* pAll = static_cast<T*>(p);
        for (int i = 0; i < n; i++)
            pAll[i].~T();
    };
    return 1;
}
